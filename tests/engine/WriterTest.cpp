#include "engine/EngineError.h"
#include "engine/Table.h"
#include "engine/TableWriter.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

using namespace engine;

namespace {

TableSchema all_types() {
    TableSchema schema;
    schema.fields = {{"Id", FieldType::AutoInc},     {"Name", FieldType::Alpha, 20}, {"Small", FieldType::Short},
                   {"Big", FieldType::Long},       {"Price", FieldType::Currency}, {"Ratio", FieldType::Number},
                   {"Flag", FieldType::Logical},   {"Day", FieldType::Date},       {"At", FieldType::Time},
                   {"Stamp", FieldType::Timestamp}, {"Raw", FieldType::Bytes, 4},   {"Note", FieldType::Memo, 20}};
    schema.key_fields = 1;
    return schema;
}

std::vector<std::vector<Value>> all_type_rows() {
    return {
        {Value::null(), Value::of_text("Ёжиков Пётр"_a), Value::of_int(-5), Value::of_int(2000000000), Value::of_float(12.5),
         Value::of_float(-0.1), Value::of_bool(true), Value::of_date(days_from_date(2001, 12, 31)), Value::of_time(43200123),
         Value::of_timestamp(63158400000000.0), Value::of_bytes(std::string("\x01\x00\xff\x02", 4)), Value::null()},
        {Value::null(), Value::null(), Value::null(), Value::null(), Value::null(), Value::null(), Value::of_bool(false),
         Value::null(), Value::null(), Value::null(), Value::null(), Value::null()},
        {Value::of_int(10), Value::of_text("a,\"b\""), Value::of_int(32767), Value::of_int(-2147483647), Value::of_float(-1e300),
         Value::of_float(3.141592653589793), Value::null(), Value::of_date(1), Value::of_time(0), Value::of_timestamp(1.0),
         Value::null(), Value::null()},
    };
}

TEST(Writer, ReadsBackEveryTypeIdentically) {
    TempDir dir;
    auto rows = all_type_rows();
    write_table(dir / "all.db", all_types(), rows);
    auto t = Table::open(dir / "all.db");
    EXPECT_EQ(t->version(), 70);
    EXPECT_EQ(t->code_page(), 1251);
    ASSERT_EQ(t->record_count(), 3u);
    rows[0][0] = Value::of_int(1);  // auto-increment numbers
    rows[1][0] = Value::of_int(2);
    rows[0][11].kind = ValueKind::Blob;
    rows[1][11].kind = ValueKind::Blob;
    rows[2][11].kind = ValueKind::Blob;
    for (std::uint32_t r = 0; r < 3; ++r)
        for (int f = 0; f < 12; ++f) EXPECT_EQ(t->value(r, f), rows[r][static_cast<std::size_t>(f)]) << r << "/" << f;
    EXPECT_EQ(t->auto_increment(), 10u);
}

TEST(Writer, PxlibReadsWhatWeWrite) {
    TempDir dir;
    TableSchema schema = all_types();
    schema.code_page = 866;
    write_table(dir / "all.db", schema, all_type_rows());
    pxdoc_t* px = PX_new();
    ASSERT_EQ(PX_open_file(px, (dir / "all.db").c_str()), 0);
    EXPECT_EQ(PX_get_num_records(px), 3);
    ASSERT_EQ(PX_get_num_fields(px), 12);
    EXPECT_STREQ(PX_get_field(px, 1)->px_fname, "Name");
    EXPECT_EQ(px->px_head->px_doscodepage, 866);
    std::vector<char> rec(static_cast<std::size_t>(px->px_head->px_recordsize));
    ASSERT_NE(PX_get_record(px, 0, rec.data()), nullptr);
    char* name = nullptr;
    ASSERT_GT(PX_get_data_alpha(px, rec.data() + 4, 20, &name), 0);
    EXPECT_EQ(CodePage::get(866).to_ansi(name), AnsiString("Ёжиков Пётр"_a));
    px->free(px, name);
    long big = 0;
    PX_get_data_long(px, rec.data() + 4 + 20 + 2, 4, &big);
    EXPECT_EQ(big, 2000000000);
    double price = 0;
    PX_get_data_double(px, rec.data() + 4 + 20 + 2 + 4, 8, &price);
    EXPECT_EQ(price, 12.5);
    PX_close(px);
    PX_delete(px);
}

TEST(Writer, KeyedTableIsStoredInKeyOrder) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::Long}, {"Name", FieldType::Alpha, 10}};
    schema.key_fields = 1;
    schema.block_kb = 1;  // several blocks
    TableWriter w(dir / "k.db", schema);
    for (int i = 0; i < 500; ++i) w.append({Value::of_int((i * 7919) % 500), Value::of_text(std::to_string(i))});
    w.finish();
    auto t = Table::open(dir / "k.db");
    ASSERT_EQ(t->record_count(), 500u);
    for (std::uint32_t r = 0; r < 500; ++r) ASSERT_EQ(t->value(r, 0).integer, r);
}

TEST(Writer, RejectsWhatItCannotWrite) {
    TempDir dir;
    struct Case { const char* what; TableSchema schema; std::vector<std::vector<Value>> rows; int code; };
    TableSchema base;
    base.fields = {{"Code", FieldType::Long}, {"Name", FieldType::Alpha, 10}};
    base.key_fields = 1;
    auto with = [&](auto change) { TableSchema s = base; change(s); return s; };
    const Case cases[] = {
        {"duplicate key", base, {{Value::of_int(1), Value::null()}, {Value::of_int(1), Value::null()}}, kErrKeyViolation},
        {"unique index", with([](TableSchema& s) { s.indexes = {{"U", {"Name"}, false, false, true}}; }),
         {{Value::of_int(1), Value::of_text("x")}, {Value::of_int(2), Value::of_text("X")}}, kErrKeyViolation},
        {"unknown index field", with([](TableSchema& s) { s.indexes = {{"U", {"Nope"}}}; }), {}, kErrInvalidArgument},
        {"repeated field", with([](TableSchema& s) { s.fields.push_back({"NAME", FieldType::Short}); }), {}, kErrInvalidArgument},
        {"alpha too long", with([](TableSchema& s) { s.fields[1].size = 300; }), {}, kErrInvalidArgument},
        {"text into number", base, {{Value::of_text("1"), Value::null()}}, kErrInvalidArgument},
        {"short out of range", with([](TableSchema& s) { s.fields[0].type = FieldType::Short; }), {{Value::of_int(40000), Value::null()}},
         kErrInvalidArgument},
        {"too few values", base, {{Value::of_int(1)}}, kErrInvalidArgument},
        {"unknown code page", with([](TableSchema& s) { s.code_page = 9999; }), {}, kErrUnsupported},
    };
    for (const auto& c : cases) {
        try {
            write_table(dir / "bad.db", c.schema, c.rows);
            ADD_FAILURE() << c.what;
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), c.code) << c.what;
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "bad.db")) << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir / "bad.db.tmp")) << c.what;
    }
}

TEST(Writer, RewriteWhileOpenLeavesOpenTablesOnTheirOwnData) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::Long}};
    write_table(dir / "t.db", schema, {{Value::of_int(1)}});
    auto before = Table::open(dir / "t.db");
    auto again = Table::open(dir / "t.db");  // an unchanged file: the same mapping is reused
    write_table(dir / "t.db", schema, {{Value::of_int(2)}, {Value::of_int(3)}});
    auto after = Table::open(dir / "t.db");
    EXPECT_EQ(before->record_count(), 1u);
    EXPECT_EQ(before->value(0, 0), Value::of_int(1));
    EXPECT_EQ(again->value(0, 0), Value::of_int(1));
    EXPECT_EQ(after->record_count(), 2u);
    EXPECT_EQ(after->value(1, 0), Value::of_int(3));
}

TEST(Writer, FailedRewriteLeavesTheOldTable) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::Long}};
    schema.key_fields = 1;
    write_table(dir / "t.db", schema, {{Value::of_int(1)}});
    EXPECT_THROW(write_table(dir / "t.db", schema, {{Value::of_int(2)}, {Value::of_int(2)}}), EngineError);
    EXPECT_EQ(Table::open(dir / "t.db")->value(0, 0), Value::of_int(1));
}

}  // namespace
