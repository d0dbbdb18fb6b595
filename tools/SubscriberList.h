// A directory's subscribers as a list: one UTF-8 CSV line per subscriber with
// the city and the street by name, the form people keep their lists in and
// the form `abonix-db dump DIRECTORY` prints and `abonix-db import` reads.
//
//   Phone,LastName,FirstName,MiddleName,City,Street,House,Flat
//   234567,Иванов,Иван,Иванович,Ольмарск,ул. Ленина,12а,5
#pragma once

#include <array>
#include <filesystem>
#include <ostream>
#include <string_view>

namespace tools {

// The list's columns, in the order the dump writes them.
enum ListColumn { kListPhone, kListLastName, kListFirstName, kListMiddleName, kListCity, kListStreet, kListHouse, kListFlat, kListColumns };

// The header name of each column (the field names of Phone2k.db).
extern const std::array<std::string_view, kListColumns> kListColumnNames;

// The column a header cell names, or -1: the field name, the name with a space
// ("Last name") or the Russian one ("Фамилия"), in any letter case.
int list_column_of(std::string_view utf8_header);

// Prints the header and the subscribers of the directory's Phone2k.db in
// record order; a city or street code that has no name prints empty.
// Throws EngineError when a table cannot be read.
void print_subscriber_list(const std::filesystem::path& dir, std::ostream& out);

}  // namespace tools
