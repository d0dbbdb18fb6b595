// The type-ahead search of a dataset: where the found record lands, what the
// links hear, and that the engine's scan ends exactly where a walk through
// the records would.
#include "tests/db/DbFixture.h"

#include "platform/db/TDataSource.h"
#include "platform/db/TDatabase.h"
#include "platform/db/TIntegerField.h"
#include "platform/db/TStringField.h"
#include "platform/db/TTable.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using dbtest::num;
using dbtest::RecordingLink;
using dbtest::txt;
using Log = std::vector<std::string>;

namespace {

AnsiString A(std::string_view utf8) { return text::utf8_to_cp1251(utf8); }

// A table store that cannot scan: the dataset has to walk.
class NoScanCursor final : public db::TableCursor {
public:
    explicit NoScanCursor(std::unique_ptr<db::TableCursor> inner) : m_inner(std::move(inner)) {}
    const std::vector<db::FieldDef>& field_defs() const override { return m_inner->field_defs(); }
    std::vector<db::IndexDef> index_defs() const override { return m_inner->index_defs(); }
    std::int64_t set_order(int index, std::int64_t current) override { return m_inner->set_order(index, current); }
    std::int64_t record_count() const override { return m_inner->record_count(); }
    db::RecordId record_at(std::int64_t seq) const override { return m_inner->record_at(seq); }
    std::int64_t seq_of(db::RecordId id) const override { return m_inner->seq_of(id); }
    bool read(std::int64_t seq, int field, db::Value& out) const override { return m_inner->read(seq, field, out); }
    void prefetch(std::int64_t seq) const override { m_inner->prefetch(seq); }
    std::int64_t seek_nearest(const db::Value& key) const override { return m_inner->seek_nearest(key); }
    std::int64_t seek_key(const db::Value& key) const override { return m_inner->seek_key(key); }
    std::unique_ptr<db::TableCursor> clone() const override { return m_inner->clone(); }

private:
    std::unique_ptr<db::TableCursor> m_inner;
};

class WalkingTable : public TTable {
public:
    using TTable::TTable;

protected:
    std::unique_ptr<db::TableCursor> OpenCursor() override {
        return std::make_unique<NoScanCursor>(TTable::OpenCursor());
    }
};

const char* const kNames[] = {"Иванов", "Петров", "иванова", "Сидоров", "Ёлкин", "Ивлев", "Абрамов", "", "Ива",
                              "Егоров", "ИВАНЕНКО", "Жуков", "Ившин", "Кузнецов", "Ёжиков", "Петрова"};
const char* const kCities[] = {"Ольмарск", "Березовка", "Вишнёвое", "Заречье", "Ивановка"};

// Subscribers.db: N 1..64 (the key), Name from kNames, City 1..6 (6 has no
// name, every ninth subscriber has none); City.db: Code 1..5, City.
void write_tables(const std::filesystem::path& dir) {
    engine::TableSchema people;
    people.fields = {{"N", engine::FieldType::Long}, {"Name", engine::FieldType::Alpha, 12}, {"City", engine::FieldType::Long}};
    people.key_fields = 1;
    people.indexes = {{"Name", {"Name"}}, {"City", {"City"}}};
    std::vector<std::vector<engine::Value>> rows;
    for (int n = 1; n <= 64; ++n)
        rows.push_back({num(n), txt(A(kNames[(n * 7) % 16])), n % 9 == 0 ? engine::Value::null() : num(n * 5 % 6 + 1)});
    engine::write_table(dir / "Subscribers.db", people, rows);
    engine::TableSchema cities;
    cities.fields = {{"Code", engine::FieldType::Long}, {"City", engine::FieldType::Alpha, 20}};
    cities.key_fields = 1;
    std::vector<std::vector<engine::Value>> city_rows;
    for (int c = 1; c <= 5; ++c) city_rows.push_back({num(c), txt(A(kCities[c - 1]))});
    engine::write_table(dir / "City.db", cities, city_rows);
}

// One subscriber table with its fields, a data source and a recording link of 7 rows.
struct Subscribers {
    TTable* table = nullptr;
    TStringField* name = nullptr;
    TIntegerField* city = nullptr;
    TStringField* city_name = nullptr;
    RecordingLink link;

    void make(TComponent* form, TTable* t, TTable* cities) {
        table = t;
        table->SetDatabaseName("Test");
        table->SetTableName("Subscribers.db");
        table->SetIndexFieldNames("Name");
        auto* n = TComponent::Own<TIntegerField>(form);
        n->SetFieldName("N");
        n->SetDataSet(table);
        name = TComponent::Own<TStringField>(form);
        name->SetFieldName("Name");
        name->SetSize(12);
        name->SetDataSet(table);
        city = TComponent::Own<TIntegerField>(form);
        city->SetFieldName("City");
        city->SetDataSet(table);
        city_name = TComponent::Own<TStringField>(form);
        city_name->SetFieldName("CityName");
        city_name->SetFieldKind(fkLookup);
        city_name->SetLookupDataSet(cities);
        city_name->SetKeyFields("City");
        city_name->SetLookupKeyFields("Code");
        city_name->SetLookupResultField("City");
        city_name->SetDataSet(table);
        auto* source = TComponent::Own<TDataSource>(form);
        source->SetDataSet(table);
        link.SetBufferCount(7);
        link.SetDataSource(source);
        table->Open();
        link.take();
    }

    // The window as the links see it: the N of every row, the active row marked.
    std::string window() {
        std::string out;
        const std::vector<int> rows = link.rows("N");
        for (std::size_t i = 0; i < rows.size(); ++i)
            out += (static_cast<int>(i) == link.ActiveRecord() ? "[" : "") + std::to_string(rows[i]) +
                   (static_cast<int>(i) == link.ActiveRecord() ? "] " : " ");
        return out;
    }
};

class LocatePrefixTest : public ::testing::Test {
protected:
    void SetUp() override {
        write_tables(dir.path());
        database = TComponent::Own<TDatabase>(&form);
        database->SetDatabaseName("Test");
        database->SetParams({"PATH=" + dir.path().string()});
        cities = TComponent::Own<TTable>(&form);
        cities->SetDatabaseName("Test");
        cities->SetTableName("City.db");
        cities->Open();
        fast.make(&form, TComponent::Own<TTable>(&form), cities);
        walk.make(&form, TComponent::Own<WalkingTable>(&form), cities);
    }

    TempDir dir;
    TComponent form;
    TDatabase* database = nullptr;
    TTable* cities = nullptr;
    Subscribers fast;
    Subscribers walk;
};

}  // namespace

TEST_F(LocatePrefixTest, TheScanEndsWhereAWalkThroughTheRecordsEnds) {
    const char* const texts[] = {"и", "Ив", "ИВА", "иванов", "Ивановка", "ё", "е", "П", "Петрова", "z", "Абрамов", "Иванович12345"};
    const int starts[] = {1, 5, 17, 40, 64};
    int found = 0, checked = 0;
    for (int field = 0; field < 3; ++field)
        for (const char* t : texts)
            for (int start : starts)
                for (int direction : {0, 1, 2}) {
                    for (Subscribers* s : {&fast, &walk}) {
                        s->table->SetRecNo(start);
                        s->table->MoveBy(2);  // the current record off the window's middle
                        s->link.take();
                    }
                    const auto field_of = [&](Subscribers& s) -> TField* {
                        return field == 0 ? static_cast<TField*>(s.name) : field == 1 ? static_cast<TField*>(s.city_name) : s.city;
                    };
                    const AnsiString text = field == 2 ? AnsiString(std::to_string(start % 7)) : A(t);
                    SCOPED_TRACE(testing::Message() << "field " << field << " text " << text::cp1251_to_utf8(text)
                                                    << " start " << start << " direction " << direction);
                    const bool a = fast.table->LocatePrefix(field_of(fast), text, direction);
                    const bool b = walk.table->LocatePrefix(field_of(walk), text, direction);
                    ASSERT_EQ(a, b);
                    EXPECT_EQ(fast.window(), walk.window());
                    EXPECT_EQ(fast.link.take(), walk.link.take());
                    found += a;
                    ++checked;
                }
    EXPECT_GT(found, checked / 3);
    EXPECT_LT(found, checked);
}

TEST_F(LocatePrefixTest, StepsThroughTheMatchesWrappingAtEitherEnd) {
    // Name order: Абрамов(4) ... the names beginning with "Ива" are
    // Ива, ИВАНЕНКО, Иванов, иванова: every 16th subscriber, four of each.
    TTable& t = *fast.table;
    t.First();
    ASSERT_TRUE(t.LocatePrefix(fast.name, A("ива"), 0));
    std::vector<std::string> seen;
    const int first = t.RecNo();
    for (int i = 0; i < 17; ++i) {
        seen.push_back(text::cp1251_to_utf8(fast.name->AsString()));
        ASSERT_TRUE(t.LocatePrefix(fast.name, A("ива"), 2));
    }
    EXPECT_EQ(t.RecNo(), first + 1);  // 16 matches: the 17th step wrapped to the first and went one further
    EXPECT_EQ(seen.front(), "Ива");
    EXPECT_EQ(seen[4], "ИВАНЕНКО");
    EXPECT_EQ(seen[15], "иванова");
    EXPECT_EQ(seen[16], "Ива");
    // Backwards from the first match wraps to the last one.
    t.SetRecNo(first);
    ASSERT_TRUE(t.LocatePrefix(fast.name, A("ива"), 1));
    EXPECT_EQ(t.RecNo(), first + 15);
    EXPECT_EQ(text::cp1251_to_utf8(fast.name->AsString()), "иванова");
}

TEST_F(LocatePrefixTest, WhatTheLinksSeeForEachOutcome) {
    TTable& t = *fast.table;
    // Name order begins with the four blank names, then the four Абрамовs (N = 10, 26, 42, 58).
    t.First();
    t.MoveBy(4);
    fast.link.take();
    // Found on the current record: nothing moves, nothing is sent.
    EXPECT_TRUE(t.LocatePrefix(fast.name, A("абр"), 0));
    EXPECT_EQ(fast.link.take(), Log{});
    EXPECT_EQ(fast.window(), "1 17 33 49 [10] 26 42 ");
    // Found further on: one change, the record on the bottom row as a walk leaves it.
    EXPECT_TRUE(t.LocatePrefix(fast.name, A("Ёж"), 0));
    EXPECT_EQ(fast.link.take(), Log{"changed"});
    EXPECT_EQ(fast.window().substr(fast.window().size() - 4), "[2] ");
    EXPECT_EQ(fast.name->AsString(), A("Ёжиков"));
    // Not found: the record stays current, centred again.
    const int before = t.RecNo();
    EXPECT_FALSE(t.LocatePrefix(fast.name, A("Ёжz"), 0));
    EXPECT_EQ(fast.link.take(), Log{"changed"});
    EXPECT_EQ(t.RecNo(), before);
    EXPECT_EQ(fast.link.ActiveRecord(), 3);
    // An empty text, or a closed table, finds nothing.
    EXPECT_FALSE(t.LocatePrefix(fast.name, "", 0));
    EXPECT_EQ(fast.link.take(), Log{});
    t.Close();
    EXPECT_FALSE(t.LocatePrefix(fast.name, A("и"), 0));
}
