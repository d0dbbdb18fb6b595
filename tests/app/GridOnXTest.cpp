// The directory's grid in the real program on a private X server, in a
// user's hands: a header click orders the list by phone, Down on the bottom
// row scrolls it by one, Ctrl+End and the wheel walk the table, a dragged
// header moves its column, and letters typed on a Russian keyboard find a
// subscriber. What the grid shows is read back from the real clipboard
// (Ctrl+Insert copies the captions and the focused row) and from the screen.
#include "tests/app/ProgramOnX.h"
#include "tools/SubscriberList.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using e2e::eventually;
using e2e::xdotool;

constexpr const char* kCaptions = "Телефон\tФамилия\tИмя\tОтчество\tГород\tУлица\tДом\tКвартира";
// The focused cell's background, the system's highlight colour.
// Within the phone column, left of any text.
constexpr int kPhoneX = 4;

// One line of the subscriber list split into its fields (quoted fields as RFC 4180 has them).
std::vector<std::string> csv_fields(const std::string& line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') out.back() += line[++i];
            else if (c == '"') quoted = false;
            else out.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    return out;
}

// Line ends and tabs made visible for a failure message.
std::string visible(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\r' ? std::string("\\r") : c == '\t' ? std::string("\\t") : c == '\n' ? std::string("\\n\n") : std::string(1, c);
    return out;
}

struct Subscriber {
    std::vector<std::string> fields;  // in the list's order, which is the grid's column order
    std::string row() const {
        std::string out;
        for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "\t" : "") + fields[i];
        return out;
    }
};

// The program on a fresh directory of 2000 subscribers under its own X server.
class GridOnX : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::generate_directory(dir.path());
        std::ostringstream list;
        tools::print_subscriber_list(dir.path(), list);
        std::istringstream lines(list.str());
        std::string line;
        std::getline(lines, line);  // the header
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();  // the list's lines end in CR LF
            by_phone.push_back({csv_fields(line)});
        }
        ASSERT_EQ(by_phone.size(), 2000u);
        // Six-digit phone numbers, all different: their text order is the Phone index's.
        std::sort(by_phone.begin(), by_phone.end(),
                  [](const Subscriber& a, const Subscriber& b) { return a.fields[tools::kListPhone] < b.fields[tools::kListPhone]; });

        x.emplace(1024, 768);
        ASSERT_TRUE(layout("ru"));
        app = apptest::start_program(*x, dir.path());
        client.emplace(*x);
        window = client->wait_for_window("Ольмарск 2001", 30000);
        ASSERT_NE(window, 0u) << app->output();
        // The first row is focused once the grid has painted.
        ASSERT_TRUE(eventually([&] { return (first_row = focused_row_top()) > 0; }, 10000)) << app->output();
    }

    void TearDown() override {
        if (HasFailure() && x) e2e::Xvfb::save_png(x->screenshot(), ::testing::TempDir() + "GridOnX.png");
        if (!client || !window) return;
        if (const std::optional<int> status = app->wait_exit(0)) {
            ADD_FAILURE() << "the program ended by itself (" << *status << ")\n" << app->output();
            return;
        }
        // The program ends cleanly: no fault and no leak on the way out.
        client->close_window(window);
        EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
    }

    // xdotool's typing may leave another keymap behind, so the layout is set again
    // before keys that depend on it.
    bool layout(const char* name) { return apptest::set_layout(*x, name); }
    // Keys one after another, separated by spaces ("ctrl+Home", "Cyrillic_i Cyrillic_ve").
    int key(const std::string& keys) { return apptest::press_keys(*x, keys); }
    int click(int px, int py) { return xdotool(*x, {"mousemove", std::to_string(px), std::to_string(py), "click", "1"}); }
    // The pointer where it hot-tracks nothing in the grid.
    int park_pointer() { return xdotool(*x, {"mousemove", "1020", "3"}); }

    // The top of the highlighted (focused) cell in the column at column_x; -1 when none.
    int focused_row_top(int column_x = kPhoneX) const { return apptest::focused_row_top(*x, column_x); }

    std::string clipboard() const { return apptest::clipboard_text(*x); }
    // Ctrl+Insert, then the clipboard until it holds the captions and this row.
    ::testing::AssertionResult copies(const std::string& captions, const std::string& row) {
        if (key("ctrl+Insert") != 0) return ::testing::AssertionFailure() << "xdotool failed";
        const std::string expected = captions + "\r\n\r\n" + row + "\r\n";
        std::string got;
        if (eventually([&] { return (got = clipboard()) == expected; }, 10000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the clipboard holds\n" << visible(got) << "\ninstead of\n" << visible(expected);
    }
    ::testing::AssertionResult copies(const Subscriber& s) { return copies(kCaptions, s.row()); }

    // The header's middle, just above the first data row, and a header cell's
    // middle: with auto-width the columns share the grid's width in the
    // proportions of their stored widths (49, 130, 79, 87, 130, 130, 44, 28).
    int header_y() const { return first_row - 9; }
    static int column_x(int stored_left, int stored_width) { return (stored_left + stored_width / 2) * 1000 / 677; }

    TempDir dir;
    std::vector<Subscriber> by_phone;
    std::optional<e2e::Xvfb> x;
    std::unique_ptr<e2e::Child> app;
    std::optional<e2e::XClient> client;
    unsigned long window = 0;
    int first_row = -1;
};

TEST_F(GridOnX, AHeaderClickOrdersByPhoneAndTheKeysAndTheWheelWalkTheList) {
    // The list starts in last-name order; a click on the phone header orders it by phone.
    ASSERT_EQ(click(column_x(0, 49), header_y()), 0);
    ASSERT_EQ(park_pointer(), 0);
    ASSERT_TRUE(layout("ru"));
    ASSERT_EQ(key("ctrl+Home"), 0);
    EXPECT_TRUE(copies(by_phone.front()));
    ASSERT_EQ(key("ctrl+End"), 0);
    EXPECT_TRUE(copies(by_phone.back()));

    // Down from the first row moves the focus one row down: the row pitch.
    ASSERT_EQ(key("ctrl+Home"), 0);
    ASSERT_TRUE(copies(by_phone[0]));
    ASSERT_EQ(key("Down"), 0);
    ASSERT_TRUE(copies(by_phone[1]));
    const int pitch = focused_row_top() - first_row;
    ASSERT_GT(pitch, 10);

    // Page Down from the second row stops at the bottom row of the page.
    ASSERT_EQ(key("Next"), 0);
    int bottom = -1;
    ASSERT_TRUE(eventually([&] { return (bottom = focused_row_top()) > first_row + 10 * pitch; }, 10000));
    ASSERT_EQ((bottom - first_row) % pitch, 0);
    const std::size_t last = static_cast<std::size_t>((bottom - first_row) / pitch);
    EXPECT_TRUE(copies(by_phone[last]));

    // Down on the bottom row: the next record, focused on the bottom row, the list one row up.
    const e2e::Xvfb::Shot before = x->screenshot();
    ASSERT_EQ(key("Down"), 0);
    EXPECT_TRUE(copies(by_phone[last + 1]));
    EXPECT_EQ(focused_row_top(), bottom);
    // The rows above the focused one come to show what the row below each showed.
    const auto scrolled_by_one = [&] {
        const e2e::Xvfb::Shot after = x->screenshot();
        for (int y = first_row; y < bottom - pitch; ++y)
            for (int px = 0; px < 1000; ++px)
                if (after.at(px, y) != before.at(px, y + pitch)) return false;
        return true;
    };
    EXPECT_TRUE(eventually(scrolled_by_one, 10000));

    // A wheel notch up: the record above the top row becomes current and the top row.
    ASSERT_EQ(xdotool(*x, {"mousemove", "500", std::to_string(first_row + 5 * pitch), "click", "4"}), 0);
    EXPECT_TRUE(copies(by_phone[0]));
    EXPECT_TRUE(eventually([&] { return focused_row_top() == first_row; }, 10000));
    // Two notches down: each makes the record below the bottom row current.
    ASSERT_EQ(xdotool(*x, {"click", "--repeat", "2", "--delay", "100", "5"}), 0);
    EXPECT_TRUE(copies(by_phone[last + 2]));
    EXPECT_TRUE(eventually([&] { return focused_row_top() == bottom; }, 10000));
}

TEST_F(GridOnX, TheCityHeaderDraggedOntoTheLeftHalfOfLastNameMovesItsColumn) {
    const int y = header_y();
    ASSERT_EQ(xdotool(*x, {"mousemove", std::to_string(column_x(345, 130)), std::to_string(y), "mousedown", "1"}), 0);
    // A drag in steps, as a hand makes it, to the left quarter of "Фамилия".
    for (const int to : {column_x(345, 130) - 20, 400, 250, column_x(49, 65)})
        ASSERT_EQ(xdotool(*x, {"mousemove", std::to_string(to), std::to_string(y)}), 0);
    // The insertion arrows (lime, shaped windows of their own) point at the left edge of "Фамилия".
    const int edge = column_x(49, 0);
    const auto arrows_shown = [&] {
        const e2e::Xvfb::Shot shot = x->screenshot();
        int lime = 0;
        for (int py = y - 30; py < y + 30; ++py)
            for (int px = edge - 12; px < edge + 12; ++px) lime += shot.at(px, py) == 0x00FF00;
        return lime > 20;
    };
    EXPECT_TRUE(eventually(arrows_shown, 10000));
    ASSERT_EQ(xdotool(*x, {"mouseup", "1"}), 0);
    EXPECT_TRUE(eventually([&] { return !arrows_shown(); }, 10000));
    ASSERT_EQ(park_pointer(), 0);

    // The captions and the focused row's cells in the new column order; the
    // row is still one of the directory's subscribers.
    const std::string moved = "Телефон\tГород\tФамилия\tИмя\tОтчество\tУлица\tДом\tКвартира\r\n\r\n";
    ASSERT_TRUE(layout("ru"));
    ASSERT_EQ(key("ctrl+Insert"), 0);
    std::string got;
    ASSERT_TRUE(eventually([&] { return (got = clipboard()).rfind(moved, 0) == 0; }, 10000)) << visible(got) << app->output();
    std::vector<std::string> cells(1);
    for (const char c : got.substr(moved.size(), got.size() - moved.size() - 2)) {
        if (c == '\t') cells.emplace_back();
        else cells.back() += c;
    }
    ASSERT_EQ(cells.size(), 8u) << got;
    const Subscriber shown{{cells[0], cells[2], cells[3], cells[4], cells[1], cells[5], cells[6], cells[7]}};
    EXPECT_TRUE(std::any_of(by_phone.begin(), by_phone.end(), [&](const Subscriber& s) { return s.row() == shown.row(); }))
        << got;
}

TEST_F(GridOnX, CyrillicLettersTypedIntoTheGridFindTheNextSubscriberWithThatLastName) {
    ASSERT_EQ(click(column_x(0, 49), header_y()), 0);  // phone order
    ASSERT_EQ(key("ctrl+Home"), 0);
    // A click on the top row's last name: that column is searched.
    ASSERT_EQ(click(column_x(49, 130), first_row + 4), 0);
    ASSERT_EQ(park_pointer(), 0);
    ASSERT_TRUE(copies(by_phone.front()));

    std::vector<const Subscriber*> ivanovs;
    for (const Subscriber& s : by_phone)
        if (s.fields[tools::kListLastName].rfind("Ива", 0) == 0) ivanovs.push_back(&s);
    ASSERT_GE(ivanovs.size(), 2u);
    ASSERT_NE(ivanovs.front(), &by_phone.front());

    // "ива" on the Russian layout, in lower case: the first "Ива…" in phone order.
    ASSERT_TRUE(layout("ru"));
    ASSERT_EQ(key("Cyrillic_i Cyrillic_ve Cyrillic_a"), 0);
    EXPECT_TRUE(copies(*ivanovs[0]));
    // A letter no last name has after "Ива" is refused and the subscriber stays.
    ASSERT_EQ(key("Cyrillic_hardsign"), 0);
    EXPECT_TRUE(copies(*ivanovs[0]));
    // Ctrl+Enter: the next one; Shift+Enter back.
    ASSERT_EQ(key("ctrl+Return"), 0);
    EXPECT_TRUE(copies(*ivanovs[1]));
    ASSERT_EQ(key("shift+Return"), 0);
    EXPECT_TRUE(copies(*ivanovs[0]));
}

}  // namespace
