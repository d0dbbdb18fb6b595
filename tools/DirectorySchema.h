// The layout of the directory's three tables, shared by everything that
// writes a directory (the sample generator and the list import), so that a
// directory made either way is the same kind of directory the program reads.
//
// Phone2k.db: Code (+), Phone A6, LastName A25, FirstName A15, MiddleName A15,
// City (I, a code of City.db), Street (I, a code of Street.db), House A8,
// Flat A5; keyed by Code, with the indexes the program orders and searches by.
// City.db and Street.db: Code (I, key) and the name (A25), indexed by name.
#pragma once

#include "engine/TableWriter.h"

#include <filesystem>
#include <vector>

namespace tools {

// Field numbers of Phone2k.db, in the order of its record.
enum SubscriberField { kCode, kPhone, kLastName, kFirstName, kMiddleName, kCity, kStreet, kHouse, kFlat, kSubscriberFields };

engine::TableSchema subscriber_schema();

// Widths of the text fields of Phone2k.db (0 for the integer ones), and of a city or street name.
int subscriber_field_size(SubscriberField field);
inline constexpr int kPlaceNameSize = 25;

// Writes City.db or Street.db (name_field "City" or "Street"): code i + 1 for
// names[i], names in CP1251; protected by password unless it is empty.
void write_place_table(const std::filesystem::path& path, const char* name_field, const std::vector<AnsiString>& names,
                       const AnsiString& password = {});

}  // namespace tools
