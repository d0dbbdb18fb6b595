// The Paradox files from elsewhere, read by our engine and, as an independent
// check, by pxlib.
#include "engine/CodePage.h"
#include "engine/EngineError.h"
#include "engine/Table.h"
#include "engine/TableWriter.h"
#include "tests/engine/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace engine;

namespace {

std::filesystem::path testdata(const char* name) { return std::filesystem::path(ABONIX_TESTDATA) / "paradox" / name; }

struct PxDoc {
    explicit PxDoc(const std::filesystem::path& p) : doc(PX_new()) { opened = PX_open_file(doc, p.c_str()) == 0; }
    ~PxDoc() {
        if (opened) PX_close(doc);
        PX_delete(doc);
    }
    pxdoc_t* doc;
    bool opened = false;
};

// Every value of every record as our engine and pxlib read it.
void expect_agrees_with_pxlib(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    auto table = Table::open(path);
    PxDoc px(path);
    ASSERT_TRUE(px.opened);
    const int nf = PX_get_num_fields(px.doc);
    ASSERT_EQ(static_cast<std::size_t>(nf), table->fields().size());
    ASSERT_EQ(static_cast<std::uint32_t>(PX_get_num_records(px.doc)), table->record_count());
    pxfield_t* pf = PX_get_fields(px.doc);
    const CodePage& cp = CodePage::get(table->code_page());
    std::vector<char> rec(static_cast<std::size_t>(px.doc->px_head->px_recordsize));
    for (std::uint32_t r = 0; r < table->record_count(); ++r) {
        ASSERT_NE(PX_get_record(px.doc, static_cast<int>(r), rec.data()), nullptr);
        int off = 0;
        for (int i = 0; i < nf; ++i) {
            const FieldDesc& f = table->fields()[static_cast<std::size_t>(i)];
            ASSERT_EQ(static_cast<int>(f.type), pf[i].px_ftype);
            ASSERT_EQ(f.width, pf[i].px_flen);
            char* d = rec.data() + off;
            off += pf[i].px_flen;
            const Value v = table->value(r, i);
            SCOPED_TRACE(::testing::Message() << name << " record " << r << " field " << i);
            // pxlib hands out all-zero numbers as values; Paradox means blank by them.
            bool blank = true;
            for (int k = 0; k < f.width; ++k) blank = blank && d[k] == 0;
            if (blank && !is_blob_type(f.type)) {
                EXPECT_TRUE(v.is_null());
                continue;
            }
            switch (f.type) {
            case FieldType::Alpha: {
                char* s = nullptr;
                if (PX_get_data_alpha(px.doc, d, pf[i].px_flen, &s) > 0 && s) {
                    EXPECT_EQ(v.text, cp.to_ansi(s));
                    px.doc->free(px.doc, s);
                } else {
                    EXPECT_TRUE(v.is_null());
                }
                break;
            }
            case FieldType::Short: {
                short s = 0;
                if (PX_get_data_short(px.doc, d, 2, &s) > 0) EXPECT_EQ(v.integer, s); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Long:
            case FieldType::AutoInc:
            case FieldType::Date:
            case FieldType::Time: {
                long l = 0;
                if (PX_get_data_long(px.doc, d, 4, &l) > 0) EXPECT_EQ(v.integer, l); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Number:
            case FieldType::Currency:
            case FieldType::Timestamp: {
                double x = 0;
                if (PX_get_data_double(px.doc, d, 8, &x) > 0) EXPECT_EQ(v.number, x); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Logical: {
                char b = 0;
                if (PX_get_data_byte(px.doc, d, 1, &b) > 0) EXPECT_EQ(v.integer, b ? 1 : 0); else EXPECT_TRUE(v.is_null());
                break;
            }
            case FieldType::Bcd: {
                char* s = nullptr;
                if (!v.is_null() && PX_get_data_bcd(px.doc, reinterpret_cast<unsigned char*>(d), pf[i].px_fdc, &s) > 0 && s) {
                    EXPECT_NEAR(v.number, std::strtod(s, nullptr), 1e-9);
                    px.doc->free(px.doc, s);
                }
                break;
            }
            default:
                EXPECT_TRUE(v.kind == ValueKind::Blob || v.kind == ValueKind::Bytes || v.is_null());
                break;
            }
        }
    }
}

class AgreesWithPxlib : public ::testing::TestWithParam<const char*> {};

TEST_P(AgreesWithPxlib, EveryValue) { expect_agrees_with_pxlib(testdata(GetParam())); }

TEST(AgreesWithPxlib, TablesWeWrite) {
    TempDir dir;
    TableSpec spec;
    spec.fields = {{"Id", FieldType::AutoInc}, {"Name", FieldType::Alpha, 30}, {"Small", FieldType::Short},
                   {"Big", FieldType::Long},   {"Price", FieldType::Currency}, {"Ratio", FieldType::Number},
                   {"Flag", FieldType::Logical}, {"Day", FieldType::Date},      {"At", FieldType::Time},
                   {"Stamp", FieldType::Timestamp}};
    spec.key_fields = 1;
    for (int code_page : {1251, 866}) {
        spec.code_page = code_page;
        TableWriter w(dir / ("t" + std::to_string(code_page) + ".db"), spec);
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
        Table::open(path, OpenOptions{true, false});
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), kErrNoWriteAccess);
    }
    EXPECT_TRUE(Table::open(path)->read_only());
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_FALSE(Table::open(path, OpenOptions{true, false})->read_only());
}

}  // namespace
