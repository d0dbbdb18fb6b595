// The in-place field scan against what a cursor decodes, in every kind of
// order (physical, an index file holding the field, an order that does not).
#include "engine/Cursor.h"
#include "engine/FieldScan.h"
#include "engine/TableWriter.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

AnsiString A(std::string_view utf8) { return text::utf8_to_cp1251(utf8); }

class FieldScanTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        TableSchema schema;
        schema.fields = {{"Code", FieldType::AutoInc}, {"Name", FieldType::Alpha, 8}, {"Phone", FieldType::Alpha, 6},
                       {"City", FieldType::Long}, {"Rank", FieldType::Short}};
        schema.key_fields = 1;
        schema.indexes = {{"Name", {"Name"}}, {"City", {"City"}}, {"Full", {"Phone", "Name"}}};
        schema.code_page = GetParam();
        const char* names[] = {"Петров", "иванов", "Ёлкин", "Иванова", "Егоров", "", "Ива", "ёж", "ИВАНОВ", "Жуков"};
        const char* phones[] = {"250011", "123456", "990000", "250010", "400000", "123400", "", "250", "12", "999999"};
        const int cities[] = {3, 12, 2, 1, 31, 0, 1, -12, 120, 5};
        std::vector<std::vector<Value>> rows;
        for (int i = 0; i < 10; ++i)
            rows.push_back({Value::null(), Value::of_text(A(names[i])), Value::of_text(phones[i]),
                            cities[i] ? Value::of_int(cities[i]) : Value::null(), Value::of_int(100 - 7 * i)});
        write_table(dir / "t.db", schema, rows);
        table = Table::open(dir / "t.db");
    }

    // What the scan must find: the cursor's decoded values compared one by one.
    std::int64_t reference(int index, int field, std::string_view prefix, std::uint32_t from, std::uint32_t to) {
        Cursor c(table);
        c.switch_index_number(index, false);
        const std::int64_t step = to >= from ? 1 : -1;
        for (std::int64_t p = from; p != static_cast<std::int64_t>(to) + step; p += step) {
            const Value v = c.value_at(p + 1, field);
            const AnsiString shown = v.kind == ValueKind::Text ? v.text : v.is_null() ? "" : std::to_string(v.integer);
            if (!prefix.empty() && text::ansi_starts_with_text(shown, prefix)) return p;
        }
        return -1;
    }

    TempDir dir;
    std::shared_ptr<Table> table;
};

TEST_P(FieldScanTest, FindsWhatTheDecodedValuesShowInEveryOrder) {
    const std::vector<AnsiString> prefixes = {A("и"), A("Ив"), A("ИВАНОВ"), A("иванова"), A("ё"), A("е"), A("ж"),
                                              A("Петровский"), "2", "25", "12", "-1", "1", "9", "x", A("ЁЖ")};
    const struct { std::uint32_t from, to; } ranges[] = {{0, 9}, {9, 0}, {3, 9}, {3, 0}, {5, 5}, {0, 2}, {8, 4}};
    int checked = 0;
    for (int index = -1; index < static_cast<int>(table->indexes().size()); ++index)
        for (int field = 0; field < 5; ++field) {
            const FieldScan scan(*table, index, field);
            ASSERT_TRUE(scan.text_searchable());
            for (const AnsiString& p : prefixes)
                for (const auto& r : ranges) {
                    SCOPED_TRACE(testing::Message() << "index " << index << " field " << field << " prefix "
                                                    << text::cp1251_to_utf8(p) << " " << r.from << ".." << r.to);
                    EXPECT_EQ(scan.find_prefix(p, r.from, r.to), reference(index, field, p, r.from, r.to));
                    ++checked;
                }
        }
    EXPECT_GT(checked, 2000);
}

TEST_P(FieldScanTest, LetterCaseIsIgnoredAndYoIsItsOwnLetter) {
    // Physical order is the order of the rows written above.
    const FieldScan scan(*table, -1, table->field_index("Name"));
    const struct { const char* prefix; std::uint32_t from, to; std::int64_t found; } cases[] = {
        {"ёЛ", 0, 9, 2},       {"Ел", 0, 9, -1},   {"Е", 0, 9, 4},  {"Ё", 9, 0, 7},
        {"иванова", 0, 9, 3},  {"иВаН", 4, 9, 8},  {"ИВАН", 2, 0, 1},
        {"Иван", 6, 6, -1},    // "Ива" is shorter than the text
        {"ИвановичИ", 0, 9, -1},  // longer than the field
        {"", 0, 9, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(scan.find_prefix(A(c.prefix), c.from, c.to), c.found) << c.prefix;
}

TEST_P(FieldScanTest, FindsTheFirstOfASetOfIntegersInEveryOrder) {
    const int city = table->field_index("City");
    const std::vector<std::vector<std::int64_t>> sets = {{-12, 31}, {1}, {4, 6}, {}, {2, 3, 5, 120}};
    for (int index = -1; index < static_cast<int>(table->indexes().size()); ++index) {
        const FieldScan scan(*table, index, city);
        Cursor c(table);
        c.switch_index_number(index, false);
        for (const auto& set : sets)
            for (const auto& [from, to] : {std::pair<std::uint32_t, std::uint32_t>{0, 9}, {9, 0}, {4, 7}}) {
                std::int64_t expected = -1;
                const std::int64_t step = to >= from ? 1 : -1;
                for (std::int64_t p = from; p != static_cast<std::int64_t>(to) + step && expected < 0; p += step) {
                    const Value v = c.value_at(p + 1, city);
                    if (!v.is_null() && std::find(set.begin(), set.end(), v.integer) != set.end()) expected = p;
                }
                EXPECT_EQ(scan.find_integer(set, from, to), expected) << "index " << index << " from " << from;
            }
    }
    EXPECT_FALSE(FieldScan(*table, -1, table->field_index("Name")).integer_searchable());
}

INSTANTIATE_TEST_SUITE_P(CodePages, FieldScanTest, ::testing::Values(1251, 866));

}  // namespace
