#include "directory/DirectorySearch.h"

#include "platform/db/TField.h"

namespace directory {

void DirectorySearch::order_phones_by(const char* field) {
    // Only a different text re-orders: the same order set again would
    // rebuild the window for nothing.
    if (m_phones->IndexFieldNames() != field) m_phones->SetIndexFieldNames(field);
}

void DirectorySearch::search_phones(const char* field, const AnsiString& text) {
    order_phones_by(field);
    m_phones->FindNearest({text});
}

void DirectorySearch::search_by_name(TTable* names, const char* field, const AnsiString& text) {
    // The name table is searched before the subscribers' order changes, and
    // its code read after: a failed search leaves the subscribers as they were.
    names->FindNearest({text});
    order_phones_by(field);
    const int code = names->FieldByName("Code")->AsInteger();
    m_phones->FindKey({code});
}

void DirectorySearch::PhoneGridColumnClick(const AnsiString& field_name) {
    // The name columns order by the code behind the name.
    static constexpr struct {
        const char* column;
        const char* order;
    } kOrders[] = {{"Phone", "Phone"},           {"LastName", "LastName"}, {"FirstName", "FirstName"},
                   {"MiddleName", "MiddleName"}, {"CityStr", "City"},      {"StreetStr", "Street"}};
    for (const auto& o : kOrders)
        if (field_name == o.column) {
            order_phones_by(o.order);
            return;
        }
}

}  // namespace directory
