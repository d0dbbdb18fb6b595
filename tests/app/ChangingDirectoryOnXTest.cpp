// The program on a private X server while another program changes the files
// of the directory it shows: the subscriber table cut short, an index file
// overwritten with zeros, the whole directory replaced by `abonix-db import`,
// the city table deleted and put back. The program never dies: it says once
// which file is wrong, shows no row it cannot read, keeps answering the keys,
// the mouse and the clipboard, shows the new files once they are whole, and
// ends with status 0 on Ctrl+X.
#include "tests/app/ProgramOnX.h"
#include "tools/SubscriberList.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using e2e::eventually;
using e2e::xdotool;

constexpr const char* kCaptions = "Телефон\tФамилия\tИмя\tОтчество\tГород\tУлица\tДом\tКвартира";
constexpr int kPhoneX = 4;
// The message box's title.
constexpr const char* kMessageTitle = "Abonix";

class ChangingDirectoryOnX : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::generate_directory(dir.path());
        x.emplace(1024, 768);
        ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "ru"}, {x->env()}, 10000), 0);
        app = apptest::start_program(*x, dir.path());
        client.emplace(*x);
        window = client->wait_for_window("Ольмарск 2001", 30000);
        ASSERT_NE(window, 0u) << app->output();
        ASSERT_TRUE(eventually([&] { return (first_row = focused_row_top()) > 0; }, 10000)) << app->output();
    }

    void TearDown() override {
        if (HasFailure() && x) e2e::Xvfb::save_png(x->screenshot(), ::testing::TempDir() + "ChangingDirectoryOnX.png");
        if (!client || !window) return;
        if (const std::optional<int> status = app->wait_exit(0)) {
            ADD_FAILURE() << "the program ended by itself (" << *status << ")\n" << app->output();
            return;
        }
        // Ctrl+X closes the program, cleanly: no fault and no leak on the way out.
        ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "us"}, {x->env()}, 10000), 0);
        ASSERT_EQ(key("ctrl+x"), 0);
        EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
    }

    int key(const std::string& keys) { return apptest::press_keys(*x, keys); }
    int click(int px, int py) { return xdotool(*x, {"mousemove", std::to_string(px), std::to_string(py), "click", "1"}); }
    int focused_row_top() const { return apptest::focused_row_top(*x, kPhoneX); }
    std::string clipboard() const { return apptest::clipboard_text(*x); }
    // Ctrl+Insert (after `keys`), again and again until the clipboard holds what `holds` wants.
    ::testing::AssertionResult copies(const std::function<bool(const std::string&)>& holds, const std::string& keys = "") {
        std::string got;
        const bool ok = eventually([&] {
            xdotool(*x, {"mousemove", "1020", "3"});
            if (!keys.empty() && key(keys) != 0) return false;
            if (key("ctrl+Insert") != 0) return false;
            return eventually([&] { return holds(got = clipboard()); }, 500);
        }, 15000);
        if (ok) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the clipboard holds\n" << got;
    }
    // The copied row: captions, an empty line, the focused row.
    static std::string row_of(const std::string& copied) {
        const std::string head = std::string(kCaptions) + "\r\n\r\n";
        if (copied.rfind(head, 0) != 0) return {};
        std::string row = copied.substr(head.size());
        while (!row.empty() && (row.back() == '\n' || row.back() == '\r')) row.pop_back();
        return row;
    }
    // A row with something in it (a grid without records copies one of empty cells).
    static bool shows_a_row(const std::string& copied) {
        return row_of(copied).find_first_not_of('\t') != std::string::npos;
    }
    // The message box is up; Enter closes it.
    ::testing::AssertionResult message_shown() {
        const unsigned long box = client->wait_for_window(kMessageTitle, 15000);
        if (!box) return ::testing::AssertionFailure() << "no message box\n" << app->output();
        if (key("Return") != 0) return ::testing::AssertionFailure() << "xdotool failed";
        if (!eventually([&] { return !client->is_viewable(box); }, 10000))
            return ::testing::AssertionFailure() << "the message box stays";
        return ::testing::AssertionSuccess();
    }
    int header_y() const { return first_row - 9; }
    static int column_x(int stored_left, int stored_width) { return (stored_left + stored_width / 2) * 1000 / 677; }

    std::vector<char> bytes_of(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write_in_place(const std::filesystem::path& p, const std::vector<char>& data) {
        std::ofstream out(p, std::ios::binary | std::ios::in | std::ios::out);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
    }

    TempDir dir;
    std::optional<e2e::Xvfb> x;
    std::unique_ptr<e2e::Child> app;
    std::optional<e2e::XClient> client;
    unsigned long window = 0;
    int first_row = -1;
};

TEST_F(ChangingDirectoryOnX, ATableCutShortIsReportedOnceAndShownAgainWhenWhole) {
    std::string before;
    ASSERT_TRUE(copies([&](const std::string& c) { return shows_a_row(before = c); }, "ctrl+End"));
    const std::vector<char> whole = bytes_of(dir / "Phone2k.db");
    ASSERT_EQ(::truncate((dir / "Phone2k.db").c_str(), 4096), 0);
    ASSERT_TRUE(message_shown());
    // The keys, a header click and a search on a table that shows nothing.
    ASSERT_EQ(key("ctrl+End Prior"), 0);
    ASSERT_EQ(click(column_x(0, 49), header_y()), 0);
    ASSERT_EQ(key("Cyrillic_i"), 0);
    EXPECT_TRUE(copies([](const std::string& c) { return c.rfind(kCaptions, 0) == 0 && !shows_a_row(c); }));
    EXPECT_EQ(client->wait_for_window(kMessageTitle, 0), 0u) << "a second message";
    // Whole again: the list is back.
    write_in_place(dir / "Phone2k.db", whole);
    EXPECT_TRUE(copies(shows_a_row, "ctrl+End"));
}

TEST_F(ChangingDirectoryOnX, AnIndexFileOverwrittenWithZerosLeavesTheListReadable) {
    const auto x03 = dir / "Phone2k.X03";
    ASSERT_TRUE(std::filesystem::exists(x03));
    write_in_place(x03, std::vector<char>(std::filesystem::file_size(x03), 0));
    // The header click looks at the files first, then orders by phone.
    ASSERT_EQ(click(column_x(0, 49), header_y()), 0);
    std::string first;
    ASSERT_TRUE(copies([&](const std::string& c) { return shows_a_row(first = c); }, "ctrl+Home"));
    ASSERT_TRUE(copies([&](const std::string& c) { return shows_a_row(c) && c != first; }, "Down"));
}

TEST_F(ChangingDirectoryOnX, AnImportIntoTheFolderShowsTheNewList) {
    const auto list = dir / "new-list.csv";
    {
        std::ofstream out(list, std::ios::binary);
        out << "Phone,LastName,FirstName,MiddleName,City,Street,House,Flat\n"
               "111111,Аавик,Яан,Юханович,Ольмарск,ул. Новая,1,2\n"
               "222222,Борисов,Борис,Борисович,Ольмарск,ул. Новая,3,4\n";
    }
    ASSERT_EQ(e2e::run({ABONIX_DB, "import", list.string(), dir.path().string()}, {}, 60000), 0);
    // Within the timer's period, without a click to bring it on: the new first record.
    EXPECT_TRUE(copies([](const std::string& c) { return row_of(c).find("Аавик") != std::string::npos; }, "ctrl+Home"));
    EXPECT_TRUE(copies([](const std::string& c) { return row_of(c).find("Борисов") != std::string::npos; }, "ctrl+End"));
}

TEST_F(ChangingDirectoryOnX, TheCityTableDeletedAndPutBack) {
    std::string before;
    ASSERT_TRUE(copies([&](const std::string& c) { return shows_a_row(before = c); }));
    const auto city = dir / "City.db", aside = dir / "City.db.aside";
    std::filesystem::rename(city, aside);
    ASSERT_TRUE(message_shown());
    // The subscribers still show.
    EXPECT_TRUE(copies(shows_a_row, "Down"));
    std::filesystem::rename(aside, city);
    EXPECT_TRUE(copies([&](const std::string& c) { return c == before; }, "ctrl+Home"));
}

}  // namespace
