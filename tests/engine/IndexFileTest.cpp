// Index files as other Paradox programs leave them, and as our writer leaves
// them: listed from their headers, followed in their own order while they
// match their table, never followed when they do not. pxlib, which reads an
// index data file as a table, is the independent reader of the entries.
#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "engine/TableWriter.h"
#include "tests/engine/PxlibCheck.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>

using namespace engine;
using pxlib_check::PxDoc;

namespace {

std::filesystem::path wild(const std::string& name) { return std::filesystem::path(ABONIX_TESTDATA) / "paradox-wild" / name; }

std::string field_list(const Table& t, const IndexDesc& ix) {
    std::string out;
    for (int f : ix.fields) out += (out.empty() ? "" : ";") + text::cp1251_to_utf8(t.fields()[static_cast<std::size_t>(f)].name);
    return out;
}

std::string flags(const IndexDesc& ix) {
    std::string out;
    if (ix.unique) out += "u";
    if (ix.descending) out += "d";
    if (ix.case_insensitive) out += "i";
    if (ix.maintained) out += "m";
    return out;
}

// The entries of an index data file as pxlib reads them, each as raw bytes.
std::vector<std::vector<unsigned char>> entries_by_pxlib(const std::filesystem::path& file) {
    PxDoc px(file);
    EXPECT_TRUE(px.opened) << file;
    std::vector<std::vector<unsigned char>> out;
    if (!px.opened) return out;
    const int n = PX_get_num_records(px.doc);
    for (int r = 0; r < n; ++r) {
        std::vector<unsigned char> rec(static_cast<std::size_t>(px.doc->px_head->px_recordsize));
        EXPECT_NE(PX_get_record(px.doc, r, reinterpret_cast<char*>(rec.data())), nullptr);
        out.push_back(std::move(rec));
    }
    return out;
}

// The order of an index must be the file's: the record at each position
// holds the entry's indexed fields, and for a keyed table its primary key.
void expect_order_of_file(const Table& t, int index) {
    const IndexDesc& ix = t.indexes()[static_cast<std::size_t>(index)];
    const auto entries = entries_by_pxlib(ix.file);
    const IndexOrder& order = t.order(index);
    ASSERT_EQ(order.size(), entries.size()) << ix.file;
    for (std::uint32_t p = 0; p < order.size(); ++p) {
        const unsigned char* rec = t.raw_record(order.record_at(p));
        const unsigned char* e = entries[p].data();
        int at = 0;
        for (int f : ix.fields) {
            const FieldDesc& fd = t.fields()[static_cast<std::size_t>(f)];
            EXPECT_EQ(std::memcmp(rec + fd.offset, e + at, static_cast<std::size_t>(fd.width)), 0) << ix.file << " entry " << p;
            at += fd.width;
        }
        for (int k = 0; k < t.key_field_count(); ++k) {
            const FieldDesc& fd = t.fields()[static_cast<std::size_t>(k)];
            EXPECT_EQ(std::memcmp(rec + fd.offset, e + at, static_cast<std::size_t>(fd.width)), 0) << ix.file << " entry " << p;
            at += fd.width;
        }
    }
}

TEST(WildIndexFiles, EveryTableOpensAndReadsWhole) {
    int tables = 0;
    for (const char* folder : {"db", "fields", "joins", "encrypt"}) {
        for (const auto& entry : std::filesystem::directory_iterator(wild(folder))) {
            const std::string ext = text::ansi_upper_case(entry.path().extension().string());
            if (ext != ".DB") continue;
            ++tables;
            SCOPED_TRACE(entry.path().string());
            try {
                auto t = Table::open(entry.path());
                for (std::uint32_t r = 0; r < t->record_count(); ++r)
                    for (int f = 0; f < static_cast<int>(t->fields().size()); ++f) t->value(r, f);
                for (int i = 0; i < static_cast<int>(t->indexes().size()); ++i) ASSERT_EQ(t->order(i).size(), t->record_count());
                EXPECT_NE(std::string(folder), "encrypt");
            } catch (const EngineError& e) {
                EXPECT_EQ(std::string(folder), "encrypt") << e.Message();
                EXPECT_EQ(e.code(), kErrPasswordRequired);
            }
        }
    }
    EXPECT_GE(tables, 36);
}

TEST(WildIndexFiles, GenuineIndexesAreListedWithTheirFieldsAndFlags) {
    struct Case { const char* table; std::vector<std::string> indexes; };  // "name (fields) flags", primary first
    const Case cases[] = {
        {"db/AREACODES.DB", {" (AC) uim", "ste (State) im"}},
        {"joins/C.DB", {" (C) um", "A (A) m", "B (B) m"}},
        {"joins/fk4.db", {" (ID) um", "reference (FK1;FK) m"}},
        {"joins/fk1.db", {" (ID) um", "FK (FK) m"}},
        {"joins/multiple.db", {" (ID) um", "FK (FK) m", "FK2 (FK2) m"}},
        {"joins/to_multiple.db", {" (ID) um", "FK (FK) m"}},
        {"joins/case.db", {"C (C) i"}},                      // not kept up to date by its writer
        {"joins/indexed.db", {"Descending (Indexed) di"}},
        {"joins/two.db", {" (ID1;ID2) um"}},
    };
    for (const auto& c : cases) {
        auto t = Table::open(wild(c.table));
        std::vector<std::string> got;
        for (const auto& ix : t->indexes())
            got.push_back(text::cp1251_to_utf8(ix.name) + " (" + field_list(*t, ix) + ") " + flags(ix));
        EXPECT_EQ(got, c.indexes) << c.table;
    }
}

TEST(WildIndexFiles, OrderIsTheFilesOwnWithoutSorting) {
    struct Case { const char* table; const char* index; };
    const Case cases[] = {{"db/AREACODES.DB", "ste"}, {"joins/fk4.db", "reference"}, {"joins/C.DB", "A"}, {"joins/C.DB", "B"}};
    for (const auto& c : cases) {
        auto t = Table::open(wild(c.table));
        const int i = t->find_index(c.index);
        ASSERT_GE(i, 0) << c.table << " " << c.index;
        expect_order_of_file(*t, i);
        EXPECT_TRUE(t->order_from_file(i)) << c.table << " " << c.index;
#ifndef NDEBUG
        t->order(i).check_invariants();
#endif
    }
}

TEST(WildIndexFiles, IndexNotKeptUpToDateIsRebuiltFromTheTable) {
    // case.x01 holds no entries although case.db holds a record.
    auto t = Table::open(wild("joins/case.db"));
    Cursor c(t);
    c.switch_index("C", false);
    EXPECT_FALSE(t->order_from_file(0));
    EXPECT_EQ(c.next().record, 0u);
}

class CopiedFamily : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* f : {"AREACODES.DB", "AREACODES.PX", "AREACODES.XG0", "AREACODES.YG0"})
            std::filesystem::copy_file(wild(std::string("db/") + f), dir / f, std::filesystem::copy_options::overwrite_existing);
    }
    std::vector<unsigned char> read(const char* name) {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const char* name, const std::vector<unsigned char>& b) {
        std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    TempDir dir;
};

TEST_F(CopiedFamily, StaleOrDamagedIndexFileIsNeverFollowed) {
    struct Case { const char* what; const char* file; std::function<void(std::vector<unsigned char>&)> change; };
    const std::size_t header = 2048;
    const Case cases[] = {
        // A record's State changed by a program that did not update the index.
        {"changed record", "AREACODES.DB", [&](std::vector<unsigned char>& b) { b[header + 6 + 5] = 'Z'; }},
        {"flag: needs rebuild", "AREACODES.XG0", [](std::vector<unsigned char>& b) { b[0x14] = 1; }},
        {"entry moved to a wrong key", "AREACODES.XG0", [&](std::vector<unsigned char>& b) { b[header + 6 + 3] = '9'; }},
        {"cut inside the entries", "AREACODES.XG0", [&](std::vector<unsigned char>& b) { b.resize(header + 1000); }},
        {"fewer entries than records", "AREACODES.XG0", [](std::vector<unsigned char>& b) { b[6] = 1; }},
    };
    for (const auto& c : cases) {
        SetUp();
        auto bytes = read(c.file);
        c.change(bytes);
        write(c.file, bytes);
        auto t = Table::open(dir / "AREACODES.DB");
        const int i = t->find_index("ste");
        ASSERT_GE(i, 0) << c.what;
        Cursor cur(t);
        cur.switch_index("ste", false);
        EXPECT_FALSE(t->order_from_file(i)) << c.what;
        // The order built instead is sorted by State.
        std::string previous;
        for (std::uint32_t p = 1; p <= t->record_count(); ++p) {
            const auto r = cur.set_sequence_number(p);
            const std::string state = text::ansi_upper_case(t->value(r.record, 1).text);
            EXPECT_LE(previous, state) << c.what << " at " << p;
            previous = state;
        }
    }
}

TEST_F(CopiedFamily, IndexFileNamesInAnyLetterCase) {
    std::filesystem::rename(dir / "AREACODES.XG0", dir / "areacodes.xg0");
    std::filesystem::rename(dir / "AREACODES.DB", dir / "AreaCodes.db");
    auto t = Table::open(dir / "AreaCodes.db");
    ASSERT_EQ(t->find_index("STE"), 1);
    expect_order_of_file(*t, 1);
    EXPECT_TRUE(t->order_from_file(1));
}

// Our writer's files: pxlib reads every index data file as a table in key
// order, each entry naming its record's primary key and block, and our
// engine follows them without sorting.
TEST(WrittenIndexFiles, ReadAsTablesInKeyOrderByPxlib) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::AutoInc}, {"Last", FieldType::Alpha, 20}, {"First", FieldType::Alpha, 12},
                     {"City", FieldType::Long}};
    schema.key_fields = 1;
    schema.block_kb = 1;  // many blocks, so block numbers and the trees matter
    schema.indexes = {{"Full", {"Last", "First"}}, {"Last", {"Last"}}, {"City", {"City"}},
                      {"CityDown", {"City"}, false, true}};
    const char* lasts[] = {"Петров", "Иванов", "Сидоров", "Агеев", "Ёлкин", "Жуков"};
    const char* firsts[] = {"Анна", "Пётр", "Олег"};
    TableWriter w(dir / "p.db", schema);
    for (int i = 0; i < 700; ++i)
        w.append({Value::null(), Value::of_text(text::utf8_to_cp1251(lasts[i * 7 % 6])),
                  Value::of_text(text::utf8_to_cp1251(firsts[i % 3])), Value::of_int(i * 37 % 11)});
    w.finish();
    for (const char* f : {"p.PX", "p.X02", "p.Y02", "p.X04", "p.Y04", "p.XG0", "p.YG0", "p.XG1", "p.YG1"})
        EXPECT_TRUE(std::filesystem::exists(dir / f)) << f;

    auto t = Table::open(dir / "p.db");
    ASSERT_EQ(t->indexes().size(), 5u);
    for (int i = 1; i < 5; ++i) {
        const IndexDesc& ix = t->indexes()[static_cast<std::size_t>(i)];
        SCOPED_TRACE(ix.file.string());
        expect_order_of_file(*t, i);
        EXPECT_TRUE(t->order_from_file(i));
        // Each entry's block number names the table block that holds its record.
        const auto entries = entries_by_pxlib(ix.file);
        const std::uint32_t per_block = (1024 - 6) / 40;
        for (std::uint32_t p = 0; p < entries.size(); ++p) {
            const auto& e = entries[p];
            const int block = ((e[e.size() - 2] ^ 0x80) << 8) | e[e.size() - 1];
            EXPECT_EQ(static_cast<std::uint32_t>(block), t->order(i).record_at(p) / per_block + 1);
        }
        // Sorted as the index sorts, ties by primary key.
        const auto built = t->key_encoder(i).sort(t->record_count(), [&](std::uint32_t n) { return t->raw_record(n); });
        for (std::uint32_t p = 0; p < built.size(); ++p) EXPECT_EQ(t->order(i).record_at(p), built[p]);
#ifndef NDEBUG
        t->order(i).check_invariants();
#endif
    }
    EXPECT_TRUE(t->indexes()[4].descending);
}

// The trees (.PX, .Y*) as pxlib sees them: entries in key order whose counts
// add up to the rows below them.
TEST(WrittenIndexFiles, TreesCountEveryRecord) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::Long}, {"Name", FieldType::Alpha, 100}};
    schema.key_fields = 1;
    schema.block_kb = 1;
    schema.indexes = {{"Name", {"Name"}}};
    TableWriter w(dir / "t.db", schema);
    for (int i = 0; i < 3000; ++i) w.append({Value::of_int(i), Value::of_text("n" + std::to_string(i * 7919 % 3000))});
    w.finish();
    for (const char* tree : {"t.PX", "t.Y02"}) {
        SCOPED_TRACE(tree);
        PxDoc px(dir / tree);
        ASSERT_TRUE(px.opened);
        const auto* h = px.doc->px_head;
        const int entry_size = h->px_recordsize;
        const auto entries = entries_by_pxlib(dir / tree);
        ASSERT_EQ(static_cast<int>(entries.size()), h->px_numrecords);
        // Every level counts each row once below it.
        long rows = 0;
        for (const auto& e : entries)
            rows += ((e[static_cast<std::size_t>(entry_size) - 4] ^ 0x80) << 8) | e[static_cast<std::size_t>(entry_size) - 3];
        EXPECT_GE(h->px_numindexlevels, 2);
        EXPECT_EQ(rows, 3000L * h->px_numindexlevels);
        // The root's entries hold ascending first keys.
        EXPECT_GE(h->px_indexroot, 1);
    }
}

// A big index is resolved entry by entry at first and then all at once, block
// by block; either way each position names the record a sort would put there,
// and an entry whose record is gone is an error at its position only.
TEST(WrittenIndexFiles, BigIndexResolvedInOnePassAgreesWithASort) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::Long}, {"Name", FieldType::Alpha, 10}};
    schema.key_fields = 1;
    schema.block_kb = 4;
    schema.indexes = {{"Name", {"Name"}}};
    TableWriter w(dir / "t.db", schema);
    const std::uint32_t n = 70000;
    for (std::uint32_t i = 0; i < n; ++i)
        w.append({Value::of_int(static_cast<std::int64_t>(i) * 3), Value::of_text("n" + std::to_string(i * 7919 % 5003))});
    w.finish();
    // The first entry names a key that is not in the table.
    std::vector<unsigned char> x;
    {
        std::ifstream in(dir / "t.X02", std::ios::binary);
        x.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::size_t header = x[2] | (x[3] << 8);
    x[header + 6 + 10 + 3] ^= 1;  // Code 0 becomes 1
    {
        std::ofstream out(dir / "t.X02", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(x.data()), static_cast<std::streamsize>(x.size()));
    }
    Config lazy;
    lazy.index_check_limit = 0;
    auto t = Table::open(dir / "t.db", {}, lazy);
    const int name = t->find_index("Name");
    const IndexOrder& order = t->order(name);
    ASSERT_TRUE(t->order_from_file(name));
    const auto built = t->key_encoder(name).sort(n, [&](std::uint32_t r) { return t->raw_record(r); });
    for (std::uint32_t p = 1; p < n; ++p) ASSERT_EQ(order.record_at(p), built[p]) << p;
    EXPECT_THROW(order.record_at(0), EngineError);
#ifndef NDEBUG
    order.check_invariants();
#endif
    // Checked whole before use, the same file is not followed.
    Config whole;
    whole.index_check_limit = n;
    auto checked = Table::open(dir / "t.db", {}, whole);
    checked->order(name);
    EXPECT_FALSE(checked->order_from_file(name));
}

}  // namespace
