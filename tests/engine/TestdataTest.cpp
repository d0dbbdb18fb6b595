// The Paradox files from elsewhere, read by our engine and, as an independent
// check, by pxlib.
#include "engine/CodePage.h"
#include "engine/EngineError.h"
#include "engine/Table.h"
#include "engine/TableWriter.h"
#include "tests/engine/PxlibCheck.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace engine;
using pxlib_check::expect_agrees_with_pxlib;

namespace {

std::filesystem::path testdata(const char* name) { return std::filesystem::path(ABONIX_TESTDATA) / "paradox" / name; }

class AgreesWithPxlib : public ::testing::TestWithParam<const char*> {};

TEST_P(AgreesWithPxlib, EveryValue) { expect_agrees_with_pxlib(testdata(GetParam())); }

TEST(AgreesWithPxlib, TablesWeWrite) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Id", FieldType::AutoInc}, {"Name", FieldType::Alpha, 30}, {"Small", FieldType::Short},
                   {"Big", FieldType::Long},   {"Price", FieldType::Currency}, {"Ratio", FieldType::Number},
                   {"Flag", FieldType::Logical}, {"Day", FieldType::Date},      {"At", FieldType::Time},
                   {"Stamp", FieldType::Timestamp}};
    schema.key_fields = 1;
    for (int code_page : {1251, 866}) {
        schema.code_page = code_page;
        TableWriter w(dir / ("t" + std::to_string(code_page) + ".db"), schema);
        for (int i = 0; i < 3000; ++i) {
            // Every fifth value blank, the others spread over sign and size.
            auto v = [&](Value x) { return (i + static_cast<int>(x.kind)) % 5 == 0 ? Value::null() : x; };
            w.append({Value::null(), v(Value::of_text(AnsiString("Ёлкин-"_a) + std::to_string(i * 7919 % 1000) + AnsiString(" Пётр"_a))),
                      v(Value::of_int(i % 2 ? -i : i)), v(Value::of_int(i * 104729 - 150000000)), v(Value::of_float(i * 0.01)),
                      v(Value::of_float((i - 1500) * 1e-3)), v(Value::of_bool(i % 3 == 0)), v(Value::of_date(700000 + i)),
                      v(Value::of_time(i * 28801)), v(Value::of_timestamp(6.3e13 + i * 1e6))});
        }
        w.finish();
        expect_agrees_with_pxlib(dir / ("t" + std::to_string(code_page) + ".db"));
    }
}

INSTANTIATE_TEST_SUITE_P(Testdata, AgreesWithPxlib,
                         ::testing::Values("biolife.db", "country.db", "empty.db", "of.db", "of_cp866.db", "TypSammlung.DB"));

TEST(Testdata, Cp866TableReadsInCyrillic) {
    auto t = Table::open(testdata("of_cp866.db"));
    EXPECT_EQ(t->code_page(), 866);
    EXPECT_EQ(t->fields()[3].name, AnsiString("Наименование"_a));
    EXPECT_EQ(t->fields()[18].name, AnsiString("Мол"_a));
    EXPECT_EQ(t->value(0, 3).text, AnsiString("АП-Т УЗТ-ПЕРЕНОСНОЙ"_a));
    EXPECT_EQ(t->value(0, 7).text, AnsiString("Получено 29.09.2000 от 170 МОЛ"_a));
    const auto d = date_from_days(t->value(0, 4).integer);
    EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 19720101);
}

TEST(Testdata, TableWithoutCodePageUsesTheDefault) {
    auto old = Table::open(testdata("of.db"));
    auto cp866 = Table::open(testdata("of_cp866.db"));
    EXPECT_EQ(old->version(), 35);
    EXPECT_EQ(old->code_page(), 866);
    for (std::uint32_t r = 0; r < old->record_count(); r += 97)
        for (int f = 0; f < 19; ++f) EXPECT_EQ(old->value(r, f), cp866->value(r, f));
    Config latin;
    latin.default_code_page = 1252;
    EXPECT_EQ(Table::open(testdata("of.db"), {}, latin)->code_page(), 1252);
}

TEST(Testdata, TypesTable) {
    auto t = Table::open(testdata("TypSammlung.DB"));
    EXPECT_EQ(t->version(), 70);
    EXPECT_EQ(t->key_field_count(), 2);
    // "Zweite Zeile": -40 everywhere, 1999-09-09, 11:11:11, true.
    const std::uint32_t r = 4;
    EXPECT_EQ(t->value(r, 0).text, "Zweite Zeile");
    EXPECT_EQ(t->value(r, 1), Value::of_float(-40));
    EXPECT_EQ(t->value(r, 3), Value::of_int(-40));
    EXPECT_EQ(t->value(r, 5), Value::of_float(-40));
    EXPECT_EQ(t->value(r, 6), Value::of_date(days_from_date(1999, 9, 9)));
    EXPECT_EQ(t->value(r, 7), Value::of_time((11 * 3600 + 11 * 60 + 11) * 1000));
    EXPECT_EQ(t->value(r, 10), Value::of_bool(true));
    EXPECT_TRUE(t->value(1, 5).is_null());  // blank BCD
    EXPECT_EQ(t->value(r, 9).kind, ValueKind::Blob);
    // Characters CP1251 lacks become "?".
    EXPECT_EQ(t->fields()[2].name, "W?hrung");
}

TEST(Testdata, ReadWriteOpenOfAReadOnlyFileReportsNoWriteAccess) {
    TempDir dir;
    const auto path = dir / "country.db";
    std::filesystem::copy_file(testdata("country.db"), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    try {
        Table::open(path, OpenOptions{.read_write = true});
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrNoWriteAccess);
    }
    EXPECT_TRUE(Table::open(path)->read_only());
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_FALSE(Table::open(path, OpenOptions{.read_write = true})->read_only());
}

}  // namespace
