// Choosing an index from a list of field names, as IndexFieldNames does.
#pragma once

#include "platform/db/TableAccess.h"

#include <string_view>
#include <vector>

namespace db {

// The index for `field_names` (names separated by ";"), or -1. First the
// first index whose field list equals the names, letter case aside; then the
// first whose field list begins with them and ends or goes on with ";".
// Descending and expression indexes are never chosen: their order is not the
// plain ascending order of the fields that the searches rely on.
int select_index(const std::vector<IndexDef>& indexes, std::string_view field_names);

// The index of that name (letter case aside), or -1.
int find_index_by_name(const std::vector<IndexDef>& indexes, std::string_view name);

}  // namespace db
