#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "engine/TableWriter.h"
#include "tests/engine/PxlibCheck.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"
#include "tools/SampleDirectory.h"
#include "tools/TableReport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <sys/wait.h>

using namespace engine;

namespace {

std::string utf8(const AnsiString& s) { return text::cp1251_to_utf8(s); }

TEST(Dump, FormatsEveryKindOfValue) {
    const struct { Value v; const char* text; } cases[] = {
        {Value::null(), ""},
        {Value::of_int(-42), "-42"},
        {Value::of_float(0.1), "0.1"},
        {Value::of_float(1e21), "1e+21"},
        {Value::of_float(2.5), "2.5"},
        {Value::of_text("Ольмарск"_a), "Ольмарск"},
        {Value::of_bool(true), "true"},
        {Value::of_bool(false), "false"},
        {Value::of_date(days_from_date(2001, 3, 9)), "2001-03-09"},
        {Value::of_time((7 * 3600 + 5 * 60 + 9) * 1000 + 250), "07:05:09"},
        {Value::of_timestamp(static_cast<double>(days_from_date(1999, 12, 31)) * 86400000.0 + 3600000.0), "1999-12-31 01:00:00"},
        {Value::of_bytes(std::string("\x00\xff", 2)), "00ff"},
    };
    for (const auto& c : cases) EXPECT_EQ(tools::format_value(c.v), c.text);
    Value blob;
    blob.kind = ValueKind::Blob;
    EXPECT_EQ(tools::format_value(blob), "");
}

TEST(Dump, QuotesOnlyWhereCsvNeedsIt) {
    const struct { const char* in; const char* out; } cases[] = {
        {"plain", "plain"}, {"", ""}, {"a,b", "\"a,b\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}, {"two\nlines", "\"two\nlines\""},
    };
    for (const auto& c : cases) EXPECT_EQ(tools::csv_field(c.in), c.out);
}

TEST(Dump, PrintsHeaderAndRecordsInIndexOrder) {
    TempDir dir;
    TableSchema schema;
    schema.fields = {{"Code", FieldType::AutoInc}, {"Name", FieldType::Alpha, 10}, {"Sum", FieldType::Number}};
    schema.key_fields = 1;
    schema.indexes = {{"Name", {"Name"}}};
    write_table(dir / "t.db", schema,
                {{Value::null(), Value::of_text("Яков"_a), Value::of_float(1.5)},
                 {Value::null(), Value::of_text("Ан, на"_a), Value::null()}});
    auto t = Table::open(dir / "t.db");
    std::ostringstream physical, by_name;
    tools::print_csv(*t, "", physical);
    tools::print_csv(*t, "Name", by_name);
    EXPECT_EQ(physical.str(), "Code,Name,Sum\r\n1,Яков,1.5\r\n2,\"Ан, на\",\r\n");
    EXPECT_EQ(by_name.str(), "Code,Name,Sum\r\n2,\"Ан, на\",\r\n1,Яков,1.5\r\n");
    std::ostringstream ignored;
    EXPECT_THROW(tools::print_csv(*t, "Nope", ignored), EngineError);
}

std::vector<char> bytes_of(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

class Sample : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDir>();
        tools::SampleOptions o;
        o.subscribers = 5000;
        o.seed = 11;
        tools::generate_sample_directory(dir->path(), o);
    }
    static void TearDownTestSuite() { dir.reset(); }
    static std::unique_ptr<TempDir> dir;
};
std::unique_ptr<TempDir> Sample::dir;

TEST_F(Sample, SameSeedSameFilesOtherSeedOtherData) {
    TempDir again, other;
    tools::SampleOptions o;
    o.subscribers = 5000;
    o.seed = 11;
    tools::generate_sample_directory(again.path(), o);
    o.seed = 12;
    tools::generate_sample_directory(other.path(), o);
    for (const char* f : {"Phone2k.db", "Phone2k.XG0", "Phone2k.X03", "City.db", "Street.db"})
        EXPECT_EQ(bytes_of(dir->path() / f), bytes_of(again.path() / f)) << f;
    EXPECT_NE(bytes_of(dir->path() / "Phone2k.db"), bytes_of(other.path() / "Phone2k.db"));
}

TEST_F(Sample, TablesHaveTheDirectorysFieldsAndIndexes) {
    auto phone = Table::open(dir->path() / "Phone2k.db");
    const struct { const char* name; FieldType type; int size; } fields[] = {
        {"Code", FieldType::AutoInc, 0},  {"Phone", FieldType::Alpha, 6},      {"LastName", FieldType::Alpha, 25},
        {"FirstName", FieldType::Alpha, 15}, {"MiddleName", FieldType::Alpha, 15}, {"City", FieldType::Long, 0},
        {"Street", FieldType::Long, 0},   {"House", FieldType::Alpha, 8},      {"Flat", FieldType::Alpha, 5},
    };
    ASSERT_EQ(phone->fields().size(), std::size(fields));
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        EXPECT_EQ(phone->fields()[i].name, fields[i].name);
        EXPECT_EQ(phone->fields()[i].type, fields[i].type);
        if (fields[i].size) {
            EXPECT_EQ(phone->fields()[i].size, fields[i].size);
        }
    }
    EXPECT_EQ(phone->record_count(), 5000u);
    const int named = phone->find_index("LastName Index");
    ASSERT_GE(named, 0);
    EXPECT_EQ(phone->indexes()[static_cast<std::size_t>(named)].fields, (std::vector<int>{2, 3, 4}));
    for (const char* f : {"Phone", "LastName", "FirstName", "MiddleName", "City", "Street"}) {
        const int i = phone->find_index(f);
        ASSERT_GE(i, 0) << f;
        EXPECT_EQ(phone->indexes()[static_cast<std::size_t>(i)].fields, std::vector<int>{phone->field_index(f)});
        EXPECT_FALSE(phone->indexes()[static_cast<std::size_t>(i)].descending);
    }
    for (const char* name : {"City", "Street"}) {
        auto t = Table::open(dir->path() / (std::string(name) + ".db"));
        ASSERT_EQ(t->indexes().size(), 2u) << name;
        EXPECT_EQ(t->indexes()[0].fields, std::vector<int>{t->field_index("Code")});  // primary key
        EXPECT_EQ(t->indexes()[1].fields, std::vector<int>{t->field_index(name)});
    }
}

TEST_F(Sample, DataLookLikeARussianDirectory) {
    auto phone = Table::open(dir->path() / "Phone2k.db");
    auto city = Table::open(dir->path() / "City.db");
    auto street = Table::open(dir->path() / "Street.db");
    EXPECT_EQ(utf8(city->value(0, 1).text), "Ольмарск");
    EXPECT_GE(street->record_count(), 200u);
    Cursor city_codes(city), street_codes(street);
    std::set<std::string> phones;
    const std::regex house("^[0-9]+(а|б|/[0-9])?$");
    int missing_city = 0, missing_street = 0;
    for (std::uint32_t r = 0; r < phone->record_count(); ++r) {
        const std::string number = utf8(phone->value(r, 1).text);
        const std::string last = utf8(phone->value(r, 2).text);
        const std::string middle = utf8(phone->value(r, 4).text);
        const std::string home = utf8(phone->value(r, 7).text);
        ASSERT_EQ(number.size(), 6u);
        ASSERT_TRUE(phones.insert(number).second) << number;
        ASSERT_TRUE(std::regex_match(home, house)) << home;
        const bool female = middle.ends_with("на");
        const bool male_form = last.ends_with("ов") || last.ends_with("ев") || last.ends_with("ин") || last.ends_with("ий");
        const bool female_form = last.ends_with("ова") || last.ends_with("ева") || last.ends_with("ина") || last.ends_with("ая");
        ASSERT_TRUE(female ? !male_form : !female_form) << last << " " << middle;
        const Value code = phone->value(r, 5);
        if (code.integer != 1 && code.integer != tools::kMissingCityCode) {
            EXPECT_TRUE(phone->value(r, 8).is_null()) << "settlement houses have no flats";
        }
        if (!city_codes.get_record_for_key(code)) ++missing_city;
        if (!street_codes.get_record_for_key(phone->value(r, 6))) ++missing_street;
    }
    EXPECT_GT(missing_city, 0);
    EXPECT_GT(missing_street, 0);
    EXPECT_LT(missing_city + missing_street, 20);
}

TEST_F(Sample, PxlibReadsTheSameValues) {
    for (const char* table : {"Phone2k.db", "City.db", "Street.db"})
        pxlib_check::expect_agrees_with_pxlib(dir->path() / table);
}

TEST_F(Sample, InfoDescribesTheTable) {
    std::ostringstream out;
    tools::print_info(*Table::open(dir->path() / "Phone2k.db"), out);
    const std::string s = out.str();
    for (const char* line : {"Version:     7.0\n", "Code page:   1251\n", "Records:     5000\n", "  LastName  A25\n", "  Code  +\n",
                             "  LastName Index  (LastName; FirstName; MiddleName) case-insensitive maintained\n",
                             "  (primary)  (Code) primary unique maintained\n"})
        EXPECT_NE(s.find(line), std::string::npos) << line << "\n" << s;
}

TEST_F(Sample, IndexFilesAreReadByPxlibAndFollowedWithoutSorting) {
    for (const char* table : {"Phone2k.db", "City.db", "Street.db"}) {
        auto t = Table::open(dir->path() / table);
        for (int i = 1; i < static_cast<int>(t->indexes().size()); ++i) {
            const IndexDesc& ix = t->indexes()[static_cast<std::size_t>(i)];
            pxlib_check::PxDoc px(ix.file);
            ASSERT_TRUE(px.opened) << ix.file;
            EXPECT_EQ(static_cast<std::uint32_t>(PX_get_num_records(px.doc)), t->record_count()) << ix.file;
            t->order(i);
            EXPECT_TRUE(t->order_from_file(i)) << ix.file;
        }
    }
}

// abonix-db's output and exit status.
std::pair<std::string, int> run_db(const std::string& args) {
    const std::string command = std::string(ABONIX_DB) + " " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {"", -1};
    std::string output;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) output.append(buf, n);
    const int status = ::pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(Password, GeneratedProtectedDirectoryReadsAsItsPlainTwinWithItsPasswordOnly) {
    TempDir plain, locked;
    const std::string common = " --subscribers 300 --seed 5";
    ASSERT_EQ(run_db("generate '" + plain.path().string() + "'" + common).second, 0);
    ASSERT_EQ(run_db("generate '" + locked.path().string() + "'" + common + " --password 'Ключ 1'").second, 0);
    for (const char* table : {"Phone2k.db", "City.db", "Street.db"}) {
        SCOPED_TRACE(table);
        const std::string p = "'" + (plain.path() / table).string() + "'";
        const std::string l = "'" + (locked.path() / table).string() + "'";
        for (const char* index : {"", " --index 'LastName Index'"}) {
            if (*index && std::string(table) != "Phone2k.db") continue;
            const auto expected = run_db("dump " + p + index);
            ASSERT_EQ(expected.second, 0) << expected.first;
            EXPECT_EQ(run_db("dump " + l + index + " --password 'Ключ 1'"), expected);
        }
        for (const char* refused : {"", " --password 'ключ 1'", " --password 'Ключ'"}) {
            const auto [output, status] = run_db("info " + l + refused);
            EXPECT_EQ(status, 1) << refused;
            EXPECT_NE(output.find("password"), std::string::npos) << output;
        }
        EXPECT_EQ(run_db("info " + l + " --password 'Ключ 1'").second, 0);
    }
}

// Tables and index files written by other programs.
TEST(Wild, InfoListsTheGenuineIndexesAndDumpFollowsTheirOrder) {
    const auto wild = std::filesystem::path(ABONIX_TESTDATA) / "paradox-wild";
    struct Case { const char* table; const char* index; const char* info_line; const char* first_rows; };
    const Case cases[] = {
        {"db/AREACODES.DB", "ste", "  ste  (State) case-insensitive maintained\n",
         "AC,State,Cities\r\n242,--,BAHAMAS (Atlantic Ocean)\r\n246,--,BARBADOS (Caribbean)\r\n"},
        {"joins/fk4.db", "reference", "  reference  (FK1; FK) maintained\n", "ID,FK1,B1,FK\r\n1,,1,\r\n2,,2,\r\n"},
        {"joins/C.DB", "B", "  B  (B) maintained\n", "C,A,B\r\n1,1,4\r\n2,2,5\r\n3,3,6\r\n"},
    };
    for (const auto& c : cases) {
        auto t = Table::open(wild / c.table);
        std::ostringstream info, dump;
        tools::print_info(*t, info);
        EXPECT_NE(info.str().find(c.info_line), std::string::npos) << info.str();
        tools::print_csv(*t, c.index, dump);
        EXPECT_EQ(dump.str().substr(0, std::string(c.first_rows).size()), c.first_rows) << c.table;
    }
}

}  // namespace
