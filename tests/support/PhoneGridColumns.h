// The main window's subscriber grid columns as the stored layout makes them,
// for the grid's tests and benchmarks that build the grid without the window.
#pragma once

namespace gridtest {

// Component name, class (lookup or mask), field, caption, width, visible.
struct ColumnDef {
    const char* name;
    bool lookup;
    const char* field;
    const char* caption;  // UTF-8; nullptr: the field's
    int width;
    bool visible;
};
inline constexpr ColumnDef kColumns[] = {
    {"PhoneGridCode", false, "Code", nullptr, 63, false},
    {"PhoneGridPhone", false, "Phone", "Телефон", 49, true},
    {"PhoneGridLastName", false, "LastName", "Фамилия", 130, true},
    {"PhoneGridFirstName", false, "FirstName", "Имя", 79, true},
    {"PhoneGridMiddleName", false, "MiddleName", "Отчество", 87, true},
    {"PhoneGridCity", false, "City", nullptr, 63, false},
    {"PhoneGridStreet", false, "Street", nullptr, 63, false},
    {"PhoneGridCityStr", true, "CityStr", "Город", 130, true},
    {"PhoneGridStreetStr", true, "StreetStr", "Улица", 130, true},
    {"PhoneGridHouse", false, "House", "Дом", 44, true},
    {"PhoneGridFlat", false, "Flat", "Квартира", 28, true},
};

}  // namespace gridtest
