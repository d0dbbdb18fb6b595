#include "tools/SubscriberList.h"

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Table.h"
#include "text/Cp1251.h"
#include "tools/TableReport.h"

#include <map>

namespace tools {

const std::array<std::string_view, kListColumns> kListColumnNames = {
    "Phone", "LastName", "FirstName", "MiddleName", "City", "Street", "House", "Flat"};

namespace {

// Further names people give the columns, in UTF-8.
const std::array<std::array<std::string_view, 2>, kListColumns> kOtherNames = {{
    {"Телефон", "Номер"}, {"Last name", "Фамилия"}, {"First name", "Имя"}, {"Middle name", "Отчество"},
    {"Город", "Населённый пункт"}, {"Улица", ""}, {"Дом", ""}, {"Квартира", ""},
}};

// A table's codes and names, for looking names up by code.
std::map<std::int64_t, std::string> names_by_code(const engine::Table& table) {
    std::map<std::int64_t, std::string> out;
    for (std::uint32_t r = 0; r < table.record_count(); ++r)
        out[table.value(r, 0).integer] = text::cp1251_to_utf8(table.value(r, 1).text);
    return out;
}

}  // namespace

int list_column_of(std::string_view header) {
    std::string_view h = header;
    while (!h.empty() && h.front() == ' ') h.remove_prefix(1);
    while (!h.empty() && h.back() == ' ') h.remove_suffix(1);
    const AnsiString name = text::utf8_to_cp1251(h);
    auto same = [&](std::string_view utf8) {
        return !utf8.empty() && text::ansi_compare_text(name, text::utf8_to_cp1251(utf8)) == 0;
    };
    for (int c = 0; c < kListColumns; ++c) {
        if (same(kListColumnNames[static_cast<std::size_t>(c)])) return c;
        for (std::string_view other : kOtherNames[static_cast<std::size_t>(c)])
            if (same(other)) return c;
    }
    return -1;
}

void print_subscriber_list(const std::filesystem::path& dir, std::ostream& out) {
    engine::Config config;
    config.aliases["List"] = dir;
    const engine::Database db = engine::Database::connect("List", config);
    const auto phones = db.open_table("Phone2k");
    const auto cities = names_by_code(*db.open_table("City"));
    const auto streets = names_by_code(*db.open_table("Street"));
    for (int c = 0; c < kListColumns; ++c) out << (c ? "," : "") << kListColumnNames[static_cast<std::size_t>(c)];
    out << "\r\n";

    int field[kListColumns];
    for (int c = 0; c < kListColumns; ++c) {
        field[c] = phones->field_index(kListColumnNames[static_cast<std::size_t>(c)]);
        if (field[c] < 0)
            throw engine::EngineError(engine::kErrInvalidArgument,
                                      "Phone2k.db has no field " + AnsiString(kListColumnNames[static_cast<std::size_t>(c)]));
    }
    std::string line;
    for (std::uint32_t r = 0; r < phones->record_count(); ++r) {
        line.clear();
        for (int c = 0; c < kListColumns; ++c) {
            if (c) line.push_back(',');
            const engine::Value v = phones->value(r, field[c]);
            if (c == kListCity || c == kListStreet) {
                const auto& names = c == kListCity ? cities : streets;
                const auto it = v.is_null() ? names.end() : names.find(v.integer);
                if (it != names.end()) line += csv_field(it->second);
            } else {
                line += csv_field(format_value(v));
            }
        }
        line += "\r\n";
        out << line;
    }
}

}  // namespace tools
