#include "platform/forms/TMemIniFile.h"

#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const fs::path& p, const std::string& data) {
    std::ofstream(p, std::ios::binary) << data;
}

class IniFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("abonix-ini-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

std::unique_ptr<TMemIniFile> parsed(std::string_view text) {
    auto ini = std::make_unique<TMemIniFile>("/nonexistent-abonix-dir/none.ini");
    ini->SetText(text);
    return ini;
}

}  // namespace

TEST(TMemIniFile, ReadsEntriesByTheLineRules) {
    const std::string file =
        "Top=ignored before any section\r\n"
        "[Grid]\r\n"
        "ShowGrid=1\r\n"
        ";Comment=not an entry\r\n"
        "\r\n"
        "no equals sign\r\n"
        "Empty=\r\n"
        "Eq=a=b\r\n"
        " Spaced = x \r\n"
        "Dup=first\r\n"
        "Dup=second\r\n"
        "[\\Grid\\Columns\\PhoneGridPhone]\r\n"
        "Width=49\n"  // a bare LF or CR ends a line too
        "Height=17\r"
        "[x=1\r\n"
        "[]]\r\n"
        "Odd=in a section named ]\r\n"
        "[grid]\r\n"
        "Later=merged into the first [Grid]\r\n"
        "[Last]\r\n"
        "NoFinalBreak=yes";
    const auto ini = parsed(file);
    struct Case {
        const char* section;
        const char* ident;
        const char* expected;  // nullptr: missing
    } cases[] = {
        {"Grid", "Top", nullptr},
        {"Grid", "ShowGrid", "1"},
        {"GRID", "showgrid", "1"},
        {"Grid", ";Comment", nullptr},
        {"Grid", "no equals sign", nullptr},
        {"Grid", "Empty", ""},
        {"Grid", "Eq", "a=b"},
        {"Grid", " Spaced ", " x "},
        {"Grid", "Spaced", nullptr},
        {"Grid", "Dup", "first"},
        {"Grid", "Later", "merged into the first [Grid]"},
        {"\\grid\\columns\\phonegridphone", "WIDTH", "49"},
        {"\\Grid\\Columns\\PhoneGridPhone", "Height", "17"},
        {"\\Grid\\Columns\\PhoneGridPhone", "[x", "1"},
        {"]", "Odd", "in a section named ]"},
        {"Last", "NoFinalBreak", "yes"},
        {"Missing", "ShowGrid", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.ident);
        EXPECT_EQ(ini->ValueExists(c.section, c.ident), c.expected != nullptr);
        EXPECT_EQ(ini->ReadString(c.section, c.ident, "<def>"), c.expected ? c.expected : "<def>");
    }
    EXPECT_EQ(ini->ReadSections(), (std::vector<AnsiString>{"Grid", "\\Grid\\Columns\\PhoneGridPhone", "]", "Last"}));
    EXPECT_EQ(ini->ReadSection("grid"),
              (std::vector<AnsiString>{"ShowGrid", "Empty", "Eq", " Spaced ", "Dup", "Dup", "Later"}));
}

TEST(TMemIniFile, CyrillicNamesMatchWithoutRegardToCase) {
    auto ini = parsed("[Раздел]\r\nИмя=Ёлка\r\n"_a.c_str());
    EXPECT_EQ(ini->ReadString("РАЗДЕЛ"_a, "имя"_a, ""), AnsiString("Ёлка"_a));
    ini->WriteString("раздел"_a, "ИМЯ"_a, "ёж"_a);
    EXPECT_EQ(ini->Text(), AnsiString("[Раздел]\r\nИмя=ёж\r\n\r\n"_a));
}

TEST(TMemIniFile, WritesSectionsAndEntriesInFirstCreatedOrder) {
    auto ini = parsed(
        "; a comment is dropped on writing\r\n"
        "[B]\r\nx=1\r\ny=2\r\n\r\n\r\n"
        "[A]\r\nz=3\r\n");
    ini->WriteString("a", "new", "n");   // new entry appended to its section
    ini->WriteString("b", "X", "one");   // existing entry replaced in place, its name kept
    ini->WriteString("C", "c", "c");     // new section appended
    ini->WriteInteger("B", "neg", -42);
    ini->WriteBool("C", "t", true);
    ini->WriteBool("C", "f", false);
    EXPECT_EQ(ini->Text(),
              "[B]\r\nx=one\r\ny=2\r\nneg=-42\r\n\r\n"
              "[A]\r\nz=3\r\nnew=n\r\n\r\n"
              "[C]\r\nc=c\r\nt=1\r\nf=0\r\n\r\n");
    // What was written reads back as the same structure.
    EXPECT_EQ(parsed(ini->Text())->Text(), ini->Text());
}

TEST(TMemIniFile, EraseSectionAndDeleteKey) {
    auto ini = parsed("[A]\r\nk=1\r\nj=2\r\n[B]\r\nk=3\r\n");
    ini->DeleteKey("a", "K");
    ini->DeleteKey("Missing", "k");
    ini->EraseSection("b");
    EXPECT_EQ(ini->Text(), "[A]\r\nj=2\r\n\r\n");
    EXPECT_FALSE(ini->SectionExists("B"));
    ini->WriteString("B", "k", "again");  // an erased section comes back at the end
    EXPECT_EQ(ini->ReadSections(), (std::vector<AnsiString>{"A", "B"}));
}

TEST(TMemIniFile, IntegerAndBooleanValues) {
    constexpr int kDefault = 7;  // also: a Boolean read yields its default
    struct Case {
        const char* value;
        int integer;
    } cases[] = {
        {"0", 0},
        {"12", 12},
        {"-5", -5},
        {"+5", 5},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", kDefault},
        {"0x1F", 31},
        {"0X1f", 31},
        {"0x0", 0},
        {"0x80000000", -2147483647 - 1},
        {"0xFFFFFFFF", -1},
        {"0x100000000", kDefault},
        {"0x", kDefault},
        {"0xG", kDefault},
        {"-0x1", kDefault},
        {"", kDefault},
        {" 1", kDefault},
        {"1 ", kDefault},
        {"1.5", kDefault},
        {"abc", kDefault},
        {"+-1", kDefault},
        {"--1", kDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("value \"") + c.value + "\"");
        auto ini = parsed(std::string("[S]\r\nv=") + c.value + "\r\n");
        EXPECT_EQ(ini->ReadInteger("S", "v", kDefault), c.integer);
        const bool valid = c.integer != kDefault;
        EXPECT_EQ(ini->ReadBool("S", "v", true), valid ? c.integer != 0 : true);
        EXPECT_EQ(ini->ReadBool("S", "v", false), valid ? c.integer != 0 : false);
    }
    const auto empty = parsed("");
    EXPECT_EQ(empty->ReadInteger("S", "v", -3), -3);
    EXPECT_FALSE(empty->ReadBool("S", "v", false));
}

TEST(TMemIniFile, RefusesNamesAndValuesThatWouldNotReadBack) {
    struct Case {
        const char* section;
        const char* ident;
        const char* value;
    } cases[] = {
        {"A\r\nB", "k", "v"}, {"A", "k=1", "v"}, {"A", ";k", "v"}, {"A", "[k", "v]"}, {"A", "k\r", "v"},
        {"A", "k\n", "v"},    {"A", "k", "v\r\n[B]"}, {"A", "k", "line\nbreak"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.ident);
        auto ini = parsed("[A]\r\nk=old\r\n");
        EXPECT_THROW(ini->WriteString(c.section, c.ident, c.value), EIniFileException);
        EXPECT_EQ(ini->Text(), "[A]\r\nk=old\r\n\r\n");
    }
}

TEST_F(IniFolder, MissingFileReadsEmptyAndSaveCreatesIt) {
    const fs::path file = m_dir / "Abonix.ini";
    TMemIniFile ini(file.string());
    EXPECT_TRUE(ini.ReadSections().empty());
    ini.WriteInteger("\\Grid", "DefaultRowHeight", 17);
    ini.UpdateFile();
    EXPECT_EQ(read_file(file), "[\\Grid]\r\nDefaultRowHeight=17\r\n\r\n");
    EXPECT_EQ(TMemIniFile(file.string()).ReadInteger("\\grid", "defaultrowheight", 0), 17);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);  // no temporary left
}

TEST_F(IniFolder, AFileThatCannotBeReadIsAnErrorNotAnEmptyFile) {
    fs::create_directories(m_dir / "Abonix.ini");
    EXPECT_THROW(TMemIniFile((m_dir / "Abonix.ini").string()), EIniFileException);
}

TEST_F(IniFolder, SaveIntoAMissingFolderRaises) {
    TMemIniFile ini((m_dir / "gone" / "Abonix.ini").string());
    ini.WriteString("A", "k", "v");
    EXPECT_THROW(ini.UpdateFile(), EIniFileException);
}

TEST_F(IniFolder, SaveThatRunsOutOfSpaceKeepsTheOldFileByteForByte) {
    const fs::path file = m_dir / "Abonix.ini";
    const std::string old = "; hand-written\n[Keep]\nx=1\n";
    write_file(file, old);
    TMemIniFile ini(file.string());
    for (int i = 0; i < 2000; ++i) ini.WriteInteger("Big", "Entry" + std::to_string(i), i);

    // A file-size limit makes the write fail the way a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool raised = false;
    try {
        ini.UpdateFile();
    } catch (const EIniFileException&) {
        raised = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_TRUE(raised);
    EXPECT_EQ(read_file(file), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
    // The same save succeeds once there is room.
    ini.UpdateFile();
    EXPECT_EQ(TMemIniFile(file.string()).ReadInteger("Big", "Entry1999", 0), 1999);
}

TEST_F(IniFolder, NamesDifferingInLetterCaseAreOneFile) {
    // The grid writes "Abonix.ini", the bar manager "abonix.ini"; each
    // re-reads the file and replaces only its own sections.
    auto save = [&](const char* name, const char* section, int value) {
        TMemIniFile ini((m_dir / name).string());
        ini.EraseSection(section);
        ini.WriteInteger(section, "Value", value);
        ini.UpdateFile();
    };
    save("Abonix.ini", "\\Grid", 1);
    save("abonix.ini", "Phones.PhoneBarManager.Bar0", 2);
    save("ABONIX.INI", "\\Grid", 3);
    ASSERT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::exists(m_dir / "Abonix.ini"));  // the first spelling is kept
    const TMemIniFile ini((m_dir / "abonix.INI").string());
    EXPECT_EQ(ini.FileName(), (m_dir / "Abonix.ini").string());
    EXPECT_EQ(ini.ReadInteger("\\Grid", "Value", 0), 3);
    EXPECT_EQ(ini.ReadInteger("Phones.PhoneBarManager.Bar0", "Value", 0), 2);
    // Two writers opened before either file existed still end in one file.
    TMemIniFile grid((m_dir / "Other.ini").string());
    TMemIniFile bars((m_dir / "other.ini").string());
    grid.WriteInteger("\\Grid", "Value", 1);
    bars.WriteInteger("Bars", "Value", 2);
    grid.UpdateFile();
    bars.UpdateFile();
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
    EXPECT_EQ(bars.FileName(), (m_dir / "Other.ini").string());
}
