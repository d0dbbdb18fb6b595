// abonix-db import: lists in, directories out, bad rows refused with their
// line numbers, and the directory untouched unless the whole list is good.
#include "engine/Table.h"
#include "tests/engine/PxlibCheck.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"
#include "tools/ListImport.h"
#include "tools/ProgressBar.h"
#include "tools/SampleDirectory.h"
#include "tools/SubscriberList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const std::string kHeader = "Phone,LastName,FirstName,MiddleName,City,Street,House,Flat\n";

void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::string list_of(const fs::path& dir) {
    std::ostringstream out;
    tools::print_subscriber_list(dir, out);
    return out.str();
}

std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(Import, DumpOfAGeneratedDirectoryImportsBackToTheSameSubscribersInEveryEncoding) {
    TempDir tmp;
    tools::SampleOptions o;
    o.subscribers = 3000;
    o.seed = 5;
    tools::generate_sample_directory(tmp / "generated", o);
    const std::string dump = list_of(tmp / "generated");
    ASSERT_GT(dump.size(), 3000u * 30);

    const struct { const char* name; std::string bytes; } lists[] = {
        {"utf-8", dump},
        {"utf-8 with a byte order mark", "\xEF\xBB\xBF" + dump},
        {"cp1251", text::utf8_to_cp1251(dump)},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.name);
        write_file(tmp / "list.csv", list.bytes);
        const fs::path dir = tmp / "imported";
        fs::remove_all(dir);
        const tools::ImportResult r = tools::import_list(tmp / "list.csv", dir, {});
        EXPECT_TRUE(r.written);
        EXPECT_TRUE(r.bad_rows.empty());
        EXPECT_EQ(r.subscribers, 3000u);
        EXPECT_EQ(list_of(dir), dump);
        // The same files as the generator writes, every index included, and nothing else.
        EXPECT_EQ(entries(dir), entries(tmp / "generated"));
    }
    for (const char* table : {"Phone2k.db", "City.db", "Street.db"})
        pxlib_check::expect_agrees_with_pxlib(tmp / "imported" / table);
}

TEST(Import, CitiesAndStreetsGetCodesInAlphabeticalOrderAndColumnsMayComeInAnyOrder) {
    TempDir tmp;
    write_file(tmp / "list.csv",
               "Город,Улица,Дом,Квартира,Телефон,Фамилия,Имя,Отчество\r\n"
               "Сосновка,ул. Лесная,3,,100001,Петров,Пётр,Петрович\r\n"
               "Берёзовка,ул. Ленина,1,2,100002,\"Иванова, Анна\",Анна,Ивановна\r\n"
               "Берёзовка,,7,,100003,Ёлкин,Иван,\r\n"
               "Ольмарск,ул. Лесная,9б,12,100004,Сидоров,,\r\n");
    const auto r = tools::import_list(tmp / "list.csv", tmp.path(), {});
    ASSERT_TRUE(r.written);
    EXPECT_EQ(list_of(tmp.path()),
              kHeader.substr(0, kHeader.size() - 1) + "\r\n"
              "100001,Петров,Пётр,Петрович,Сосновка,ул. Лесная,3,\r\n"
              "100002,\"Иванова, Анна\",Анна,Ивановна,Берёзовка,ул. Ленина,1,2\r\n"
              "100003,Ёлкин,Иван,,Берёзовка,,7,\r\n"
              "100004,Сидоров,,,Ольмарск,ул. Лесная,9б,12\r\n");
    auto city = engine::Table::open(tmp / "City.db");
    ASSERT_EQ(city->record_count(), 3u);
    EXPECT_EQ(text::cp1251_to_utf8(city->value(0, 1).text), "Берёзовка");
    EXPECT_EQ(city->value(0, 0).integer, 1);
    EXPECT_EQ(text::cp1251_to_utf8(city->value(2, 1).text), "Сосновка");
    auto phone = engine::Table::open(tmp / "Phone2k.db");
    EXPECT_TRUE(phone->value(2, phone->field_index("Street")).is_null());
}

TEST(Import, BadRowsAreReportedByLineAndNothingIsWrittenUnlessTheyAreSkipped) {
    const std::string good = "200001,Иванов,Иван,Иванович,Ольмарск,ул. Ленина,1,1\n";
    const struct { const char* what; std::string row; std::vector<std::size_t> lines; const char* reason; } cases[] = {
        {"phone too long", "1234567,Иванов,Иван,Иванович,Ольмарск,ул. Ленина,1,1\n", {3}, "Phone \"1234567\" is 7 characters long, more than 6"},
        {"last name too long", "200002,Константинопольский-Задунайский,Иван,,Ольмарск,,1,\n", {3}, "LastName"},
        {"city name too long", "200002,Иванов,Иван,,Верхне-Ольмарский рабочий посёлок,,1,\n", {3}, "City"},
        {"flat too long", "200002,Иванов,Иван,,Ольмарск,,1,123456\n", {3}, "Flat"},
        {"outside cp1251", "200002,Ivanović,Ivan,,Ольмарск,,1,\n", {3}, "U+0107"},
        {"an emoji", "200002,Иванов,Иван 🙂,,Ольмарск,,1,\n", {3}, "not in code page 1251"},
        {"a tab", "200002,Иванов,\"Иван\t\",,Ольмарск,,1,\n", {3}, "control character"},
        {"too few fields", "200002,Иванов,Иван\n", {3}, "3 fields where the header has 8"},
        {"too many fields", "200002,Иванов,Иван,,Ольмарск,,1,,9\n", {3}, "9 fields"},
        {"a quoted line break is a line", "\"2000\n02\",Иванов,Иван,,Ольмарск,,1,\n" + good + "2000003,Петров,,,,,,\n", {3, 6}, "Phone \"2000003\""},
        {"a quote never closed", "200002,\"Иванов,Иван,,Ольмарск,,1,\n", {3}, "never closed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir tmp;
        write_file(tmp / "list.csv", kHeader + good + c.row + "\n");
        const fs::path dir = tmp / "dir";
        const auto r = tools::import_list(tmp / "list.csv", dir, {});
        EXPECT_FALSE(r.written);
        std::vector<std::size_t> lines;
        for (const auto& b : r.bad_rows) lines.push_back(b.line);
        EXPECT_EQ(lines, c.lines);
        ASSERT_FALSE(r.bad_rows.empty());
        EXPECT_NE(r.bad_rows.back().reason.find(c.reason), std::string::npos) << r.bad_rows.back().reason;
        EXPECT_FALSE(fs::exists(dir));

        tools::ImportOptions skip;
        skip.skip_bad = true;
        const auto s = tools::import_list(tmp / "list.csv", dir, skip);
        EXPECT_TRUE(s.written);
        EXPECT_EQ(s.bad_rows.size(), c.lines.size());
        EXPECT_EQ(engine::Table::open(dir / "Phone2k.db")->record_count(), s.subscribers);
    }
}

TEST(Import, AListItCannotReadLeavesTheDirectoryAsItWas) {
    TempDir tmp;
    tools::SampleOptions o;
    o.subscribers = 200;
    tools::generate_sample_directory(tmp.path(), o);
    const std::string before = list_of(tmp.path());
    const struct { const char* what; std::string list; const char* message; } cases[] = {
        {"empty", "", "no header row"},
        {"unknown column", "Phone,LastName,FirstName,MiddleName,City,Street,House,Flat,Email\n", "unknown column \"Email\""},
        {"missing column", "Phone,LastName,FirstName,MiddleName,City,Street,House\n", "no column Flat"},
        {"repeated column", "Phone,Телефон,LastName,FirstName,MiddleName,City,Street,House,Flat\n", "repeated column"},
        {"a table dump", "Code,Phone,LastName,FirstName,MiddleName,City,Street,House,Flat\n", "unknown column \"Code\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write_file(tmp / "list.csv", c.list);
        try {
            tools::import_list(tmp / "list.csv", tmp.path(), {});
            ADD_FAILURE() << "imported";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(list_of(tmp.path()), before);
    }
    EXPECT_THROW(tools::import_list(tmp / "no such list.csv", tmp.path(), {}), std::runtime_error);
    EXPECT_THROW(tools::import_list(tmp.path(), tmp.path(), {}), std::runtime_error);  // a folder, not a list
}

TEST(Import, ReplacesTheTablesOfADirectoryAndClearsWhatOlderRunsLeft) {
    TempDir tmp;
    tools::SampleOptions o;
    o.subscribers = 200;
    tools::generate_sample_directory(tmp.path(), o);
    write_file(tmp / "Phone2k.X08", "an index of an older layout");
    write_file(tmp / "Abonix.ini", "[Grid]\n");
    fs::create_directory(tmp / ".abonix-import-999999999");  // a killed import's (no such process)
    write_file(tmp / ".abonix-import-999999999" / "Phone2k.db", "half");

    write_file(tmp / "list.csv", kHeader + "300001,Орлов,Олег,,Ольмарск,,1,\n");
    ASSERT_TRUE(tools::import_list(tmp / "list.csv", tmp.path(), {}).written);
    EXPECT_EQ(list_of(tmp.path()), "Phone,LastName,FirstName,MiddleName,City,Street,House,Flat\r\n300001,Орлов,Олег,,Ольмарск,,1,\r\n");
    const auto left = entries(tmp.path());
    EXPECT_EQ(std::count(left.begin(), left.end(), "Phone2k.X08"), 0);
    EXPECT_EQ(std::count(left.begin(), left.end(), "Abonix.ini"), 1);  // the user's layout stays
    for (const auto& name : left) EXPECT_FALSE(name.starts_with(".abonix-import-")) << name;
}

TEST(Import, OutsideTextInAMessageIsShownSafelyAndKeepsItsLine) {
    const std::string long_name(300, 'z');
    const struct { const char* what; std::string list; std::size_t line; std::string message; } cases[] = {
        {"terminal control bytes in the header", "Phone,\x1B[2J\x07Name\n", 1, "unknown column \"\\x1B[2J\\x07Name\""},
        {"bytes that are no character in the header", std::string("Phone,\xFF\xFE\x98x\n"), 1, "unknown column \"яю\\x98x\""},
        {"a long header cut short", "Phone," + long_name + "\n", 1, "unknown column \"" + std::string(40, 'z') + "…\""},
        {"a control character in a field", kHeader + "200001,\"Ив\x1Bан\",,,,,,\n", 2, "LastName: a control character (\\x1B)"},
        {"a direction override", kHeader + "200001,Ив\xE2\x80\xAEан,,,,,,\n", 2, "LastName: the character \\xE2\\x80\\xAE (U+202E)"},
        {"a long field cut short", kHeader + "200001," + long_name + ",,,,,,\n", 2, "LastName \"" + std::string(40, 'z') + "…\" is 300 bytes long"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir tmp;
        write_file(tmp / "list.csv", c.list);
        std::string message;
        try {
            const auto r = tools::import_list(tmp / "list.csv", tmp / "dir", {});
            ASSERT_EQ(r.bad_rows.size(), 1u);
            EXPECT_EQ(r.bad_rows[0].line, c.line);
            message = r.bad_rows[0].reason;
        } catch (const std::runtime_error& e) {
            message = e.what();
            EXPECT_NE(message.find("list.csv: line " + std::to_string(c.line) + ": "), std::string::npos) << message;
        }
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        for (unsigned char ch : message) EXPECT_GE(ch, 0x20) << message;
    }
}

TEST(ProgressBar, RedrawsOnlyWhenThePercentageGrowsAndEndsItsLine) {
    std::ostringstream out;
    {
        tools::ProgressBar bar(&out, "Reading", 200);
        for (int i = 0; i <= 3; ++i) bar.update(static_cast<std::uint64_t>(i));  // 0 %, 0 %, 1 %, 1 %
        bar.update(100);
        bar.finish();
    }
    const std::string dots(30, '.'), half = std::string(15, '#') + std::string(15, '.'), full(30, '#');
    EXPECT_EQ(out.str(), "\rReading [" + dots + "] 0%\rReading [" + dots + "] 1%\rReading [" + half + "] 50%\rReading [" + full +
                             "] 100%\n");

    std::ostringstream broken;
    {
        tools::ProgressBar bar(&broken, "Writing", 10);
        bar.update(5);
    }
    EXPECT_EQ(broken.str().back(), '\n');  // an interrupted run leaves a fresh line

    tools::ProgressBar silent(nullptr, "Reading", 10);
    silent.update(5);
    silent.finish();
}

TEST(ProgressBar, NeverGoesIntoAPipe) {
    TempDir tmp;
    write_file(tmp / "list.csv", kHeader + "300001,Орлов,Олег,,Ольмарск,,1,\n");
    const std::string command = std::string(ABONIX_DB) + " import '" + (tmp / "list.csv").string() + "' '" + (tmp / "dir").string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buf[256];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, pipe)) output.append(buf, n);
    EXPECT_EQ(::pclose(pipe), 0) << output;
    EXPECT_EQ(output, "abonix-db: 1 subscribers written to " + (tmp / "dir").string() + "\n");
}

}  // namespace
