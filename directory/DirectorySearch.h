// The directory's searches and its ordering by a column: the logic behind the
// main window's six search-box handlers and its column-click handler. Each
// acts on the tables only; the grid follows PhoneT through its data link.
#pragma once

#include "platform/db/TTable.h"

namespace directory {

class DirectorySearch {
public:
    DirectorySearch(TTable* phones, TTable* cities, TTable* streets)
        : m_phones(phones), m_cities(cities), m_streets(streets) {}

    // Each takes the edit item's committed text.
    void PhoneEditChange(const AnsiString& text) { search_phones("Phone", text); }
    void LastNameEditChange(const AnsiString& text) { search_phones("LastName", text); }
    void FirstNameEditChange(const AnsiString& text) { search_phones("FirstName", text); }
    void MiddleNameEditChange(const AnsiString& text) { search_phones("MiddleName", text); }
    void CityEditChange(const AnsiString& text) { search_by_name(m_cities, "City", text); }
    void StreetEditChange(const AnsiString& text) { search_by_name(m_streets, "Street", text); }
    // Takes the clicked column's FieldName.
    void PhoneGridColumnClick(const AnsiString& field_name);

private:
    void order_phones_by(const char* field);
    void search_phones(const char* field, const AnsiString& text);
    void search_by_name(TTable* names, const char* field, const AnsiString& text);

    TTable* m_phones;
    TTable* m_cities;
    TTable* m_streets;
};

}  // namespace directory
