// The directory's data components: the database "Phone", the subscriber
// table PhoneT with its field components, the city and street name tables
// and their data sources, made on the main window that owns them.
#pragma once

#include "platform/db/TAutoIncField.h"
#include "platform/db/TDataSource.h"
#include "platform/db/TDatabase.h"
#include "platform/db/TIntegerField.h"
#include "platform/db/TStringField.h"
#include "platform/db/TTable.h"

#include <vector>

namespace directory {

struct DirectoryTables {
    TTable* PhoneT = nullptr;
    TAutoIncField* PhoneTCode = nullptr;
    TStringField* PhoneTPhone = nullptr;
    TStringField* PhoneTLastName = nullptr;
    TStringField* PhoneTFirstName = nullptr;
    TStringField* PhoneTMiddleName = nullptr;
    TIntegerField* PhoneTCity = nullptr;
    TIntegerField* PhoneTStreet = nullptr;
    TStringField* PhoneTHouse = nullptr;
    TStringField* PhoneTFlat = nullptr;
    TStringField* PhoneTCityStr = nullptr;
    TStringField* PhoneTStreetStr = nullptr;
    TDatabase* Abonix = nullptr;
    TDataSource* PhoneDS = nullptr;
    TTable* CityT = nullptr;
    TDataSource* CityDS = nullptr;
    TTable* StreetT = nullptr;
    TDataSource* StreetDS = nullptr;

    // Creates the components on `owner` in their stored order, each in its
    // loading state and given its stored settings. The owner's loader then
    // ends their loading in the same order (or Loaded() below does).
    static DirectoryTables Create(TComponent* owner);

    // The components in stored order.
    std::vector<TComponent*> Components() const;
    // Ends each component's loading in stored order; Abonix connects here.
    void Loaded() const;
    // Opens PhoneT, CityT and StreetT in that order; a failure leaves the
    // tables after it closed and goes on to the caller.
    void OpenTables() const;
};

}  // namespace directory
