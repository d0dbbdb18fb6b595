// Damaged files: every one must fail with an error that names the file, never
// crash or read outside the mapping (the sanitizer build checks the latter).
#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "engine/TableWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

using namespace engine;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void write_file(const std::filesystem::path& p, const Bytes& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
void put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void unseal(Bytes& b) { b[0x1A] ^= 0xFF; }

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        TableSchema schema;
        schema.fields = {{"Code", FieldType::Long}, {"Name", FieldType::Alpha, 30}};
        schema.key_fields = 1;
        schema.block_kb = 1;
        schema.indexes = {{"Name", {"Name"}}};
        TableWriter w(dir / "t.db", schema);
        for (int i = 0; i < 100; ++i) w.append({Value::of_int(i), Value::of_text("name " + std::to_string(99 - i))});
        w.finish();
        good = read_file(dir / "t.db");
    }
    TempDir dir;
    Bytes good;
};

TEST_F(BadInput, DamagedTablesFailWithAClearError) {
    const std::size_t header = good[2] | (good[3] << 8);
    struct Case { const char* what; std::function<void(Bytes&)> damage; int code; };
    const Case cases[] = {
        {"empty file", [](Bytes& b) { b.clear(); }, kErrCorrupt},
        {"cut inside the header", [](Bytes& b) { b.resize(100); }, kErrCorrupt},
        {"cut inside the blocks", [&](Bytes& b) { b.resize(header + 1500); }, kErrCorrupt},
        {"header size past the end", [](Bytes& b) { put16(b, 2, 0xFFFF); }, kErrCorrupt},
        {"record size lies", [](Bytes& b) { put16(b, 0, 7); }, kErrCorrupt},
        {"no fields", [](Bytes& b) { put16(b, 0x21, 0); }, kErrCorrupt},
        {"too many fields for the header", [](Bytes& b) { put16(b, 0x21, 1000); }, kErrCorrupt},
        {"unknown field type", [](Bytes& b) { b[0x78] = 0x42; }, kErrCorrupt},
        {"unknown version", [](Bytes& b) { b[0x39] = 0x55; }, kErrCorrupt},
        {"invalid block size", [](Bytes& b) { b[5] = 5; }, kErrCorrupt},
        {"not a table", [](Bytes& b) { b[4] = 1; }, kErrUnsupported},
        // Without our writer's seal (a table from elsewhere) the blocks are checked as they are read.
        {"record count lies", [](Bytes& b) { b[6] = 101; }, kErrCorrupt},
        {"blocks loop", [&](Bytes& b) { unseal(b); put16(b, header + 1024, 1); }, kErrCorrupt},
        {"block beyond the file", [&](Bytes& b) { unseal(b); put16(b, header, 500); }, kErrCorrupt},
        {"block holds too many records", [&](Bytes& b) { unseal(b); put16(b, header + 4, 40 * 34); }, kErrCorrupt},
        {"ragged block", [&](Bytes& b) { unseal(b); put16(b, header + 4, 35); }, kErrCorrupt},
        {"sealed file trusts its block layout", [&](Bytes& b) { put16(b, header + 1024, 1); }, 0},
        {"unterminated names", [&](Bytes& b) { std::fill(b.begin() + 0x78 + 4 + 4 + 8 + 261, b.begin() + static_cast<long>(header), 'x'); }, kErrCorrupt},
        {"encrypted", [](Bytes& b) { b[0x5C] = 1; }, kErrPasswordRequired},
        {"unknown code page", [](Bytes& b) { put16(b, 0x6A, 1253); }, 0},  // read with ASCII only
    };
    for (const auto& c : cases) {
        Bytes bad = good;
        c.damage(bad);
        const auto path = dir / "bad.db";
        write_file(path, bad);
        try {
            // Damage inside the blocks may show only when the records are read.
            auto t = Table::open(path);
            for (std::uint32_t r = 0; r < t->record_count(); ++r) t->value(r, 1);
            EXPECT_EQ(c.code, 0) << c.what;
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), c.code) << c.what << ": " << e.Message();
            EXPECT_NE(e.Message().find("bad.db"), std::string::npos) << c.what;
        }
    }
}

TEST_F(BadInput, LastBlockCutShortAfterItsRecordsReadsWhole) {
    // 100 records of 34 bytes, 29 to a 1 KiB block: the fourth block holds 13, 6 + 13 * 34 bytes used.
    const std::size_t header = good[2] | (good[3] << 8);
    const std::size_t last_used = header + 3 * 1024 + 6 + 13 * 34;
    auto reference = Table::open(dir / "t.db");
    struct Case { const char* what; std::size_t length; bool sealed; bool whole; };
    const Case cases[] = {
        {"cut right after the records", last_used, true, true},
        {"cut right after the records, blocks walked", last_used, false, true},
        {"cut halfway through the unused tail", last_used + 200, false, true},
        {"cut inside the last record", last_used - 1, true, false},
        {"cut inside the last record, blocks walked", last_used - 1, false, false},
    };
    for (const auto& c : cases) {
        Bytes cut = good;
        if (!c.sealed) unseal(cut);
        cut.resize(c.length);
        write_file(dir / "cut.db", cut);
        try {
            auto t = Table::open(dir / "cut.db");
            ASSERT_EQ(t->record_count(), 100u);
            for (std::uint32_t r = 0; r < 100; ++r) EXPECT_EQ(t->value(r, 1), reference->value(r, 1)) << c.what;
            EXPECT_TRUE(c.whole) << c.what;
        } catch (const EngineError& e) {
            EXPECT_FALSE(c.whole) << c.what << ": " << e.Message();
            EXPECT_EQ(e.code(), kErrCorrupt) << c.what;
        }
    }
}

TEST_F(BadInput, MissingFileAndEncryptedTableWithPassword) {
    try {
        Table::open(dir / "none.db");
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrNotFound);
        EXPECT_NE(e.Message().find("none.db"), std::string::npos);
    }
    Bytes bad = good;
    bad[0x5C] = 1;
    write_file(dir / "bad.db", bad);
    try {
        Table::open(dir / "bad.db", OpenOptions{false, {"123"}});
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrPasswordRequired);
        EXPECT_NE(e.Message().find("wrong password"), std::string::npos);
    }
}

TEST_F(BadInput, IndexEntryWithoutItsRecordIsNeverFollowed) {
    Bytes x = read_file(dir / "t.X02");
    const std::size_t header = x[2] | (x[3] << 8);
    x[header + 6 + 30] = 0x80;  // first entry's primary key: 0x00FF.... names no record
    x[header + 6 + 31] = 0xFF;
    write_file(dir / "t.X02", x);
    // Checked whole before use: the order is built from the table instead.
    auto checked = Table::open(dir / "t.db");
    Cursor c(checked);
    c.switch_index("Name", false);
    EXPECT_FALSE(checked->order_from_file(1));
    EXPECT_EQ(checked->value(c.next().record, 1).text, "name 0");
    // Checked as entries are used (a big table): the bad entry is an error, not a wrong record.
    Config lazy;
    lazy.index_check_limit = 0;
    Cursor d(Table::open(dir / "t.db", {}, lazy));
    d.switch_index("Name", false);
    try {
        d.next();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrCorrupt);
        EXPECT_NE(e.Message().find("t.X02"), std::string::npos);
    }
    EXPECT_EQ(d.table().value(d.next().record, 1).text, "name 1");
}

TEST_F(BadInput, IndexFileWithBrokenBlockChainFailsEveryTime) {
    Bytes x = read_file(dir / "t.X02");
    const std::size_t header = x[2] | (x[3] << 8);
    unseal(x);
    put16(x, header, 7);  // the only block claims a successor that is not there
    write_file(dir / "t.X02", x);
    Config lazy;
    lazy.index_check_limit = 0;
    Cursor c(Table::open(dir / "t.db", {}, lazy));
    c.switch_index("Name", false);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            c.set_to_key(Value::of_text("name 5"));
            ADD_FAILURE();
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), kErrCorrupt);
            EXPECT_NE(e.Message().find("t.X02"), std::string::npos);
        }
    }
}

TEST_F(BadInput, DamagedIndexFileIsRebuiltFromTheTable) {
    Bytes x = read_file(dir / "t.X02");
    x.resize(x.size() - 700);  // inside the last block's entries
    write_file(dir / "t.X02", x);
    auto t = Table::open(dir / "t.db");
    Cursor c(t);
    c.switch_index("Name", false);
    EXPECT_FALSE(t->order_from_file(1));
    EXPECT_EQ(t->value(c.next().record, 1).text, "name 0");
}

}  // namespace
