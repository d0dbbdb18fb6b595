#include "directory/DirectoryTables.h"

namespace directory {

namespace {

template <typename T>
T* make(TComponent* owner, const char* name) {
    T* c = TComponent::Own<T>(owner);
    c->BeginLoading();
    c->SetName(name);
    return c;
}

template <typename T>
T* data_field(TComponent* owner, TTable* table, const char* field, int size = 0) {
    T* f = make<T>(owner, ("PhoneT" + AnsiString(field)).c_str());
    f->SetFieldName(field);
    if (size > 0) f->SetSize(size);
    f->SetDataSet(table);
    return f;
}

void lookup_field(TStringField* f, TTable* lookup, const char* result_field, const char* key_field) {
    f->SetLookupDataSet(lookup);
    f->SetLookupKeyFields("Code");
    f->SetLookupResultField(result_field);
    f->SetKeyFields(key_field);
}

}  // namespace

DirectoryTables DirectoryTables::Create(TComponent* owner) {
    DirectoryTables t;
    t.PhoneT = make<TTable>(owner, "PhoneT");
    t.PhoneT->SetDatabaseName("Phone");
    t.PhoneT->SetSessionName("Default");
    t.PhoneT->SetTableName("Phone2k.db");
    t.PhoneT->SetIndexName("LastName Index");

    t.PhoneTCode = data_field<TAutoIncField>(owner, t.PhoneT, "Code");
    t.PhoneTCode->SetReadOnly(true);
    t.PhoneTPhone = data_field<TStringField>(owner, t.PhoneT, "Phone", 6);
    t.PhoneTLastName = data_field<TStringField>(owner, t.PhoneT, "LastName", 25);
    t.PhoneTFirstName = data_field<TStringField>(owner, t.PhoneT, "FirstName", 15);
    t.PhoneTMiddleName = data_field<TStringField>(owner, t.PhoneT, "MiddleName", 15);
    t.PhoneTCity = data_field<TIntegerField>(owner, t.PhoneT, "City");
    t.PhoneTStreet = data_field<TIntegerField>(owner, t.PhoneT, "Street");
    t.PhoneTHouse = data_field<TStringField>(owner, t.PhoneT, "House", 8);
    t.PhoneTFlat = data_field<TStringField>(owner, t.PhoneT, "Flat", 5);
    t.PhoneTCityStr = data_field<TStringField>(owner, t.PhoneT, "CityStr", 25);
    t.PhoneTCityStr->SetFieldKind(fkLookup);
    t.PhoneTStreetStr = data_field<TStringField>(owner, t.PhoneT, "StreetStr", 25);
    t.PhoneTStreetStr->SetFieldKind(fkLookup);

    t.Abonix = make<TDatabase>(owner, "Abonix");
    t.Abonix->SetDatabaseName("Phone");
    t.Abonix->SetDriverName("STANDARD");
    t.Abonix->SetParams({"DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"});
    t.Abonix->SetLoginPrompt(false);
    t.Abonix->SetSessionName("Default");
    t.Abonix->SetConnected(true);

    t.PhoneDS = make<TDataSource>(owner, "PhoneDS");
    t.PhoneDS->SetDataSet(t.PhoneT);

    t.CityT = make<TTable>(owner, "CityT");
    t.CityT->SetDatabaseName("Phone");
    t.CityT->SetTableName("City.db");
    t.CityT->SetIndexFieldNames("City");
    t.CityDS = make<TDataSource>(owner, "CityDS");
    t.CityDS->SetDataSet(t.CityT);

    t.StreetT = make<TTable>(owner, "StreetT");
    t.StreetT->SetDatabaseName("Phone");
    t.StreetT->SetTableName("Street.db");
    t.StreetT->SetIndexFieldNames("Street");
    t.StreetDS = make<TDataSource>(owner, "StreetDS");
    t.StreetDS->SetDataSet(t.StreetT);

    // References to components stored later are resolved once all exist.
    lookup_field(t.PhoneTCityStr, t.CityT, "City", "City");
    lookup_field(t.PhoneTStreetStr, t.StreetT, "Street", "Street");
    return t;
}

std::vector<TComponent*> DirectoryTables::Components() const {
    return {PhoneT,         PhoneTCode,      PhoneTPhone, PhoneTLastName, PhoneTFirstName, PhoneTMiddleName,
            PhoneTCity,     PhoneTStreet,    PhoneTHouse, PhoneTFlat,     PhoneTCityStr,   PhoneTStreetStr,
            Abonix,         PhoneDS,         CityT,       CityDS,         StreetT,         StreetDS};
}

void DirectoryTables::Loaded() const {
    for (TComponent* c : Components()) c->Loaded();
}

void DirectoryTables::OpenTables() const {
    PhoneT->Open();
    CityT->Open();
    StreetT->Open();
}

}  // namespace directory
