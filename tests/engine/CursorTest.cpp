#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "engine/TableWriter.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

Value T(std::string_view utf8) { return Value::of_text(text::utf8_to_cp1251(utf8)); }

int code(const EngineError& e) { return e.code(); }

template <class F>
int error_of(F&& f) {
    try {
        f();
    } catch (const EngineError& e) {
        return code(e);
    }
    return 0;
}

// Code, Name, Phone. Physical (primary key) order is by Code.
class CursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        TableSchema schema;
        schema.fields = {{"Code", FieldType::AutoInc}, {"Name", FieldType::Alpha, 20}, {"Phone", FieldType::Alpha, 6},
                       {"City", FieldType::Long}};
        schema.key_fields = 1;
        schema.indexes = {{"Name", {"Name"}},
                        {"Phone", {"Phone"}},
                        {"City", {"City"}},
                        {"Full", {"Name", "Phone"}},
                        {"NameDown", {"Name"}, false, true}};
        const char* names[] = {"Петров", "иванов", "Ёлкин", "Иванова", "Егоров", "Жуков", "Абрамов"};
        const char* phones[] = {"250011", "123456", "990000", "250010", "400000", "123400", "770000"};
        const int cities[] = {3, 1, 2, 1, 3, 5, 1};
        std::vector<std::vector<Value>> rows;
        for (int i = 0; i < 7; ++i) rows.push_back({Value::null(), T(names[i]), T(phones[i]), Value::of_int(cities[i])});
        write_table(dir / "t.db", schema, rows);
        table = Table::open(dir / "t.db");
    }
    std::vector<std::string> names_in(Cursor& c) {
        std::vector<std::string> out;
        c.to_begin();
        while (true) {
            try {
                auto r = c.next();
                out.push_back(text::cp1251_to_utf8(table->value(r.record, 1).text));
            } catch (const EngineError& e) {
                EXPECT_EQ(e.code(), kErrEof);
                break;
            }
        }
        return out;
    }
    TempDir dir;
    std::shared_ptr<Table> table;
};

TEST(Collation, FollowsTheSortOrderNamedInTheHeader) {
    const struct { const char* name; Collation collation; } cases[] = {
        {"", Collation::Binary},          {"ascii", Collation::Binary},      {"ANSIINTL", Collation::CaseInsensitive},
        {"intl850", Collation::CaseInsensitive}, {"cyrr", Collation::Russian}, {"ancyrr", Collation::Russian},
    };
    for (const auto& c : cases) EXPECT_EQ(collation_for(c.name), c.collation) << c.name;
}

TEST_F(CursorTest, IndexListComesPrimaryThenSingleThenComposite) {
    const auto& ix = table->indexes();
    ASSERT_EQ(ix.size(), 6u);
    EXPECT_TRUE(ix[0].primary);
    EXPECT_EQ(ix[0].fields, std::vector<int>{0});
    EXPECT_EQ(ix[1].name, "Name");
    EXPECT_EQ(ix[2].name, "Phone");
    EXPECT_EQ(ix[3].name, "City");
    EXPECT_EQ(ix[4].name, "Full");
    EXPECT_EQ(ix[4].fields, (std::vector<int>{1, 2}));
    EXPECT_FALSE(ix[4].descending);
    EXPECT_EQ(ix[5].name, "NameDown");
    EXPECT_TRUE(ix[5].descending);
    EXPECT_TRUE(ix[1].case_insensitive);  // the Cyrillic order ignores case
}

TEST_F(CursorTest, RussianOrderIgnoresCaseAndSortsYoWithYe) {
    Cursor c(table);
    c.switch_index("Name", false);
    EXPECT_EQ(names_in(c), (std::vector<std::string>{"Абрамов", "Егоров", "Ёлкин", "Жуков", "иванов", "Иванова", "Петров"}));
    c.switch_index("NameDown", false);
    EXPECT_EQ(names_in(c), (std::vector<std::string>{"Петров", "Иванова", "иванов", "Жуков", "Ёлкин", "Егоров", "Абрамов"}));
    EXPECT_TRUE(table->order_from_file(table->find_index("Name")));
}

TEST_F(CursorTest, NearestSearchUsesThePrefixRule) {
    struct Case { const char* index; Value key; const char* expect; };  // expect "" = end of table
    const Case cases[] = {
        {"Name", T("Ив"), "иванов"},      {"Name", T("ИВАНОВА"), "Иванова"}, {"Name", T("е"), "Егоров"},
        {"Name", T("ёл"), "Ёлкин"},       {"Name", T(""), "Абрамов"},       {"Name", T("Я"), ""},
        {"NameDown", T("Ив"), "Иванова"}, {"NameDown", T("Б"), "Абрамов"},   {"Phone", T("25"), "Иванова"},
        {"Phone", T("2500111"), "Петров"}, {"Phone", T("3"), "Егоров"},      {"City", Value::of_int(2), "Ёлкин"},
        {"City", Value::of_int(4), "Жуков"}, {"Full", T("Иванов"), "иванов"},
    };
    for (const auto& k : cases) {
        Cursor c(table);
        c.switch_index(k.index, false);
        c.set_to_key(k.key);
        EXPECT_EQ(error_of([&] { c.current(); }), *k.expect ? kErrNoCurrentRecord : kErrEof) << k.index << " " << k.expect;
        if (*k.expect) {
            EXPECT_EQ(text::cp1251_to_utf8(table->value(c.next().record, 1).text), k.expect) << k.index;
        } else {
            EXPECT_EQ(error_of([&] { c.next(); }), kErrEof);
            EXPECT_EQ(text::cp1251_to_utf8(table->value(c.prior().record, 1).text), "Петров");
        }
    }
}

TEST_F(CursorTest, KeySearchFindsFirstMatchOrLeavesTheCursor) {
    Cursor c(table);
    c.switch_index("City", false);
    ASSERT_TRUE(c.get_record_for_key(Value::of_int(1)));
    const auto first = c.current();
    EXPECT_EQ(first.sequence, 1u);
    EXPECT_EQ(table->value(first.record, 3).integer, 1);
    c.next();
    const auto before = c.current();
    EXPECT_FALSE(c.get_record_for_key(Value::of_int(4)));
    EXPECT_EQ(c.current().record, before.record);
    // Text keys match whole, letter case aside: a key that only begins with the text is no match.
    struct Case { const char* index; const char* key; const char* expect; };  // "" = none
    const Case cases[] = {
        {"Name", "ИВАНОВ", "иванов"}, {"Name", "ив", ""},       {"Name", "Ивановы", ""},
        {"Name", "иванова", "Иванова"}, {"NameDown", "Иванов", "иванов"}, {"NameDown", "Ив", ""},
        {"Phone", "25", ""},
    };
    for (const auto& k : cases) {
        c.switch_index(k.index, true);
        const auto at = c.current().record;
        EXPECT_EQ(c.get_record_for_key(T(k.key)), *k.expect != 0) << k.index << " " << k.key;
        if (*k.expect) EXPECT_EQ(text::cp1251_to_utf8(c.value(1).text), k.expect) << k.key;
        else EXPECT_EQ(c.current().record, at) << k.key;
    }
}

TEST_F(CursorTest, StepsReportBeginningAndEnd) {
    Cursor c(table);
    EXPECT_EQ(error_of([&] { c.current(); }), kErrBof);
    EXPECT_EQ(error_of([&] { c.prior(); }), kErrBof);
    EXPECT_EQ(c.next().sequence, 1u);
    EXPECT_EQ(error_of([&] { c.prior(); }), kErrBof);
    EXPECT_EQ(error_of([&] { c.current(); }), kErrBof);
    EXPECT_EQ(c.set_sequence_number(7).sequence, 7u);
    EXPECT_EQ(error_of([&] { c.next(); }), kErrEof);
    EXPECT_EQ(error_of([&] { c.current(); }), kErrEof);
    EXPECT_EQ(c.prior().sequence, 7u);
    EXPECT_EQ(error_of([&] { c.set_sequence_number(0); }), kErrBof);
    EXPECT_EQ(error_of([&] { c.set_sequence_number(8); }), kErrEof);
    EXPECT_EQ(c.record_count(), 7u);
}

TEST_F(CursorTest, SwitchIndexKeepsTheCurrentRecord) {
    Cursor c(table);
    c.switch_index("Name", false);
    c.set_sequence_number(3);  // Ёлкин
    const auto r = c.current().record;
    c.switch_index("Phone", true);
    EXPECT_EQ(c.current().record, r);
    EXPECT_EQ(c.sequence_number(), 7u);  // 990000 is the largest phone
    c.switch_index("", true);
    EXPECT_EQ(c.current().record, r);
    EXPECT_EQ(c.sequence_number(), 3u);  // Code 3
    c.set_to_key(Value::of_int(2));
    EXPECT_EQ(error_of([&] { c.switch_index("Name", true); }), kErrNoCurrentRecord);
    c.switch_index("Name", false);
    EXPECT_EQ(error_of([&] { c.current(); }), kErrBof);
    EXPECT_EQ(error_of([&] { c.switch_index("Nope", false); }), kErrInvalidArgument);
}

TEST_F(CursorTest, EveryRecordSurvivesEverySwitch) {
    Cursor c(table);
    for (int from = -1; from < static_cast<int>(table->indexes().size()); ++from)
        for (int to = -1; to < static_cast<int>(table->indexes().size()); ++to)
            for (std::uint32_t p = 1; p <= table->record_count(); ++p) {
                c.switch_index_number(from, false);
                const auto r = c.set_sequence_number(p).record;
                c.switch_index_number(to, true);
                EXPECT_EQ(c.current().record, r) << from << " -> " << to;
                EXPECT_EQ(c.sequence_number(), table->order(to).position_of(r) + 1);
            }
}

TEST_F(CursorTest, SecondCursorIsIndependent) {
    Cursor a(table), b(table);
    a.switch_index("Name", false);
    a.set_sequence_number(2);
    b.switch_index("Phone", false);
    b.set_to_key(T("1"));
    b.next();
    b.next();
    EXPECT_EQ(a.sequence_number(), 2u);
    EXPECT_EQ(text::cp1251_to_utf8(a.value(1).text), "Егоров");
}

TEST_F(CursorTest, OrdersReadFromFilesMatchOrdersBuiltInMemory) {
    for (int i = 1; i < static_cast<int>(table->indexes().size()); ++i) {
        const IndexOrder& from_file = table->order(i);
        ASSERT_TRUE(table->order_from_file(i));
        const auto built = table->key_encoder(i).sort(table->record_count(), [&](std::uint32_t n) { return table->raw_record(n); });
        for (std::uint32_t p = 0; p < built.size(); ++p) {
            EXPECT_EQ(from_file.record_at(p), built[p]) << table->indexes()[static_cast<std::size_t>(i)].name;
            EXPECT_EQ(from_file.position_of(built[p]), p);
        }
    }
}

TEST_F(CursorTest, FieldsReadThroughAnIndexFileEqualTheTables) {
    Cursor c(table);
    c.switch_index("Full", false);
    std::string text;
    for (std::uint32_t p = 1; p <= table->record_count(); ++p) {
        const auto r = c.set_sequence_number(p);
        for (int f = 0; f < 4; ++f) EXPECT_EQ(c.value(f), table->value(r.record, f));
        c.text(2, text);
        EXPECT_EQ(text, table->value(r.record, 2).text);
    }
    c.to_end();
    EXPECT_EQ(error_of([&] { c.value(1); }), kErrEof);
    EXPECT_EQ(error_of([&] { c.text(0, text); }), kErrEof);
}

TEST_F(CursorTest, ReadingAtAPositionMovesThereInEveryOrder) {
    // Physical order, an order from a file that holds Name and Phone, and one that holds City.
    for (const char* index : {"", "Full", "City"}) {
        Cursor c(table), probe(table);
        c.switch_index(index, false);
        probe.switch_index(index, false);
        std::string text;
        for (std::int64_t p = table->record_count(); p >= 1; --p) {
            const std::uint32_t record = probe.set_sequence_number(p).record;
            for (int f = 0; f < 4; ++f) EXPECT_EQ(c.value_at(p, f), table->value(record, f)) << index << " " << p;
            c.text_at(p, 1, text);
            EXPECT_EQ(text, table->value(record, 1).text) << index << " " << p;
            EXPECT_EQ(c.current().record, record);
        }
    }
}

TEST_F(CursorTest, ReadingAtAPositionOutsideTheOrderLeavesTheCursorAtThatEnd) {
    Cursor c(table);
    c.switch_index("Full", false);
    std::string text = "unchanged";
    EXPECT_EQ(error_of([&] { c.text_at(0, 1, text); }), kErrBof);
    EXPECT_EQ(c.next().sequence, 1u);
    EXPECT_EQ(error_of([&] { c.value_at(8, 1); }), kErrEof);
    EXPECT_EQ(c.prior().sequence, 7u);
    EXPECT_EQ(error_of([&] { c.text_at(-5, 2, text); }), kErrBof);
    EXPECT_EQ(text, "unchanged");
    // Text of a number field is refused, as by text().
    EXPECT_EQ(error_of([&] { c.text_at(2, 3, text); }), kErrInvalidArgument);
}

TEST_F(CursorTest, StaleIndexFileIsListedButItsOrderIsRebuilt) {
    std::filesystem::copy_file(dir / "t.XG0", dir / "keep");
    TableSchema schema;
    schema.fields = {{"Code", FieldType::AutoInc}, {"Name", FieldType::Alpha, 20}, {"Phone", FieldType::Alpha, 6},
                   {"City", FieldType::Long}};
    schema.key_fields = 1;
    write_table(dir / "t.db", schema, {{Value::null(), T("Я"), T("1"), Value::of_int(1)}, {Value::null(), T("Б"), T("2"), Value::null()}});
    EXPECT_FALSE(std::filesystem::exists(dir / "t.X02"));  // the writer removes index files of the old table
    std::filesystem::copy_file(dir / "keep", dir / "t.XG0");
    auto fresh = Table::open(dir / "t.db");
    ASSERT_EQ(fresh->indexes().size(), 2u);
    Cursor c(fresh);
    c.switch_index("Full", false);
    EXPECT_FALSE(fresh->order_from_file(1));
    EXPECT_EQ(text::cp1251_to_utf8(fresh->value(c.next().record, 1).text), "Б");
    EXPECT_EQ(text::cp1251_to_utf8(fresh->value(c.next().record, 1).text), "Я");
}

TEST_F(CursorTest, EmptyTableHasNoCurrentRecord) {
    TableSchema schema;
    schema.fields = {{"Name", FieldType::Alpha, 10}};
    schema.indexes = {{"Name", {"Name"}}};
    write_table(dir / "e.db", schema, {});
    Cursor c(Table::open(dir / "e.db"));
    c.switch_index("Name", false);
    c.set_to_key(T("a"));
    EXPECT_EQ(error_of([&] { c.current(); }), kErrEof);
    EXPECT_FALSE(c.get_record_for_key(T("")));
    EXPECT_EQ(error_of([&] { c.next(); }), kErrEof);
    EXPECT_EQ(error_of([&] { c.prior(); }), kErrBof);
}

}  // namespace
