#include "platform/db/IndexSelection.h"

#include "text/Cp1251.h"

namespace db {

namespace {

AnsiString joined_fields(const IndexDef& index) {
    AnsiString out;
    for (const AnsiString& f : index.fields) {
        if (!out.empty()) out += ';';
        out += f;
    }
    return out;
}

bool usable(const IndexDef& index) { return !index.descending && !index.expression; }

}  // namespace

int select_index(const std::vector<IndexDef>& indexes, std::string_view field_names) {
    for (std::size_t i = 0; i < indexes.size(); ++i)
        if (usable(indexes[i]) && text::ansi_compare_text(joined_fields(indexes[i]), field_names) == 0)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < indexes.size(); ++i) {
        if (!usable(indexes[i])) continue;
        const AnsiString fields = joined_fields(indexes[i]);
        if (fields.size() > field_names.size() && fields[field_names.size()] == ';' &&
            text::ansi_starts_with_text(fields, field_names))
            return static_cast<int>(i);
    }
    return -1;
}

int find_index_by_name(const std::vector<IndexDef>& indexes, std::string_view name) {
    for (std::size_t i = 0; i < indexes.size(); ++i)
        if (text::ansi_compare_text(indexes[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

}  // namespace db
