// Password-protected tables: the cipher's tables and checksum, the genuine
// protected files, and tables our writer protects.
#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "engine/ParadoxCipher.h"
#include "engine/Table.h"
#include "engine/TableWriter.h"
#include "tests/engine/PxlibCheck.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <zlib.h>

using namespace engine;

namespace {

std::filesystem::path protected_file(const char* name) {
    return std::filesystem::path(ABONIX_TESTDATA) / "paradox-wild" / "encrypt" / name;
}

OpenOptions with_password(const char* p) { return OpenOptions{.passwords = {p}}; }

// Code of opening a table with the given passwords, 0 when it opens.
int open_code(const std::filesystem::path& path, std::vector<AnsiString> passwords) {
    try {
        Table::open(path, OpenOptions{.passwords = std::move(passwords)});
        return 0;
    } catch (const EngineError& e) {
        return e.code();
    }
}

TEST(ParadoxCipher, SubstitutionTablesMatchTheirFingerprints) {
    struct Case { int table; std::uint32_t first, last, crc; bool permutation; };
    for (const Case c : {Case{1, 0xB2A50CDD, 0xCB2109FA, 0x311C2CE1, false}, Case{2, 0x61A77902, 0xE3E857D7, 0xBA8FEEFA, true},
                         Case{3, 0xF908030F, 0xE5645F3F, 0x67F57ABD, true}}) {
        SCOPED_TRACE(c.table);
        const auto& t = ParadoxCipher::substitution(c.table);
        auto be32 = [&](std::size_t at) { return std::uint32_t(t[at]) << 24 | t[at + 1] << 16 | t[at + 2] << 8 | t[at + 3]; };
        EXPECT_EQ(be32(0), c.first);
        EXPECT_EQ(be32(252), c.last);
        EXPECT_EQ(crc32(0, t.data(), 256), c.crc);
        EXPECT_EQ(std::set<std::uint8_t>(t.begin(), t.end()).size() == 256, c.permutation);
    }
}

TEST(ParadoxCipher, PasswordChecksum) {
    EXPECT_EQ(ParadoxCipher::checksum("123"), 0x0A25E09AU);
    EXPECT_EQ(ParadoxCipher::checksum(""), 0U);
    std::set<std::uint32_t> seen;
    for (const char* p : {"123", "124", "1234", "12", "abc", "ABC", "Пароль"})
        EXPECT_TRUE(seen.insert(ParadoxCipher::checksum(p)).second) << p;
}

TEST(ParadoxCipher, BlocksRoundTripAndDependOnTheirNumber) {
    std::vector<unsigned char> plain(2048 + 100);
    std::iota(plain.begin(), plain.end(), 0);
    const ParadoxCipher c(ParadoxCipher::checksum("123"));
    auto a = plain, b = plain;
    c.encrypt_block(a.data(), a.size(), 3);
    c.encrypt_block(b.data(), b.size(), 4);
    EXPECT_NE(a, plain);
    EXPECT_NE(a, b);
    // A ragged tail past the last whole chunk is not touched.
    EXPECT_TRUE(std::equal(a.begin() + 2048, a.end(), plain.begin() + 2048));
    c.decrypt_block(a.data(), a.size(), 3);
    EXPECT_EQ(a, plain);
}

TEST(ProtectedTables, GenuineFilesOpenWithTheirPasswordOnly) {
    for (const char* name : {"encrypted.db", "encryptedmemo.db"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(open_code(protected_file(name), {"123"}), 0);
        EXPECT_EQ(open_code(protected_file(name), {"124", "123"}), 0);  // every password given is tried
        for (const char* wrong : {"124", "", "1234", "12"}) {
            EXPECT_EQ(open_code(protected_file(name), {wrong}), kErrPasswordRequired) << wrong;
        }
        EXPECT_EQ(open_code(protected_file(name), {}), kErrPasswordRequired);
        pxlib_check::expect_agrees_with_pxlib(protected_file(name), with_password("123"));
    }
}

TEST(ProtectedTables, GenuineFileReadsAsItsRows) {
    auto t = Table::open(protected_file("encrypted.db"), with_password("123"));
    ASSERT_EQ(t->record_count(), 4U);
    const std::vector<std::pair<std::int64_t, const char*>> rows = {{1, "Value 1"}, {2, "Value 2"}, {3, "Value 3"}, {4, "Last one"}};
    for (std::uint32_t r = 0; r < 4; ++r) {
        EXPECT_EQ(t->value(r, 0).integer, rows[r].first);
        EXPECT_EQ(t->value(r, 1).text, rows[r].second);
    }
}

TEST(ProtectedTables, WrittenWithAPasswordReadsAsItsPlainTwin) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Id", FieldType::AutoInc}, {"Name", FieldType::Alpha, 20}, {"Phone", FieldType::Long}};
    schema.key_fields = 1;
    schema.indexes = {{"Name", {"Name"}}, {"ByName", {"Name", "Phone"}, true}};
    schema.block_kb = 2;  // many blocks, so block numbers matter
    std::vector<std::vector<Value>> rows;
    for (int i = 0; i < 500; ++i)
        rows.push_back({Value::null(), Value::of_text(AnsiString("Абонент "_a) + std::to_string(i * 7919 % 500)), Value::of_int(i * 31)});
    write_table(dir / "plain.db", schema, rows);
    schema.password = "Секрет"_a;
    write_table(dir / "locked.db", schema, rows);

    EXPECT_EQ(open_code(dir / "locked.db", {}), kErrPasswordRequired);
    EXPECT_EQ(open_code(dir / "locked.db", {"секрет"_a}), kErrPasswordRequired);  // letter case counts
    auto plain = Table::open(dir / "plain.db");
    auto locked = Table::open(dir / "locked.db", OpenOptions{.passwords = {"Секрет"_a}});
    ASSERT_EQ(locked->record_count(), plain->record_count());
    ASSERT_EQ(locked->indexes().size(), plain->indexes().size());
    for (std::uint32_t r = 0; r < plain->record_count(); ++r) {
        for (int f = 0; f < 3; ++f) ASSERT_EQ(locked->value(r, f), plain->value(r, f));
    }
    // The protected index files give the same orders, read from the files.
    for (int i = 0; i < static_cast<int>(plain->indexes().size()); ++i) {
        Cursor a(plain), b(locked);
        a.switch_index_number(i, false);
        b.switch_index_number(i, false);
        if (i > 0) {
            EXPECT_TRUE(locked->order_from_file(i)) << i;
        }
        for (std::uint32_t n = 0; n < plain->record_count(); ++n) {
            ASSERT_EQ(a.next().record, b.next().record);
        }
    }
    // pxlib, which knows the cipher, reads our protected file as the plain one.
    pxlib_check::expect_agrees_with_pxlib(dir / "locked.db", OpenOptions{.passwords = {"Секрет"_a}});
}

}  // namespace
