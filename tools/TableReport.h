// What abonix-db prints about a table: its description and its records as CSV.
#pragma once

#include "engine/Table.h"

#include <ostream>
#include <string>
#include <string_view>

namespace tools {

// A value as the dump shows it (UTF-8): integers in decimal, numbers in
// shortest round-trip form, dates YYYY-MM-DD, times HH:MM:SS, logical
// true/false, bytes in hex, blobs and blanks empty.
std::string format_value(const engine::Value& value);

// RFC 4180 field: quoted when it holds a comma, quote or line break.
std::string csv_field(std::string_view text);

// Version, code page, sort order, record count, fields and indexes.
void print_info(const engine::Table& table, std::ostream& out);

// A header line of field names, then one line per record in the order of the
// named index (physical order for an empty name). Throws EngineError for an unknown index.
void print_csv(const engine::Table& table, std::string_view index_name, std::ostream& out);

}  // namespace tools
