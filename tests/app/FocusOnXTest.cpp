// The keyboard after the About box, in the real program on a private X server,
// without a window manager and under Openbox: opened by F1 and closed by
// Enter, or opened from the menu and closed by its button with the mouse, the
// grid answers the keys at once (Down moves the record, Ctrl+Insert copies the
// new row, Russian letters search the focused column). The same after the
// message box of a search that fails in its handler (a directory without its
// street table, searched by street).
#include "tests/app/ProgramOnX.h"
#include "tools/SubscriberList.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using e2e::eventually;
using e2e::xdotool;

constexpr const char* kCaptions = "Телефон\tФамилия\tИмя\tОтчество\tГород\tУлица\tДом\tКвартира";

// The subscribers as the list prints them (no field holds a comma or a quote), tab-joined, in phone order.
std::vector<std::vector<std::string>> subscribers_by_phone(const std::filesystem::path& dir) {
    std::ostringstream list;
    tools::print_subscriber_list(dir, list);
    std::istringstream lines(list.str());
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields(1);
        for (const char c : line) {
            if (c == ',') fields.emplace_back();
            else if (c != '"') fields.back() += c;
        }
        rows.push_back(fields);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a[tools::kListPhone] < b[tools::kListPhone]; });
    return rows;
}

std::string joined(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "\t" : "") + fields[i];
    return out;
}

// Whether the window manager's check window is up.
bool window_manager_runs(Display* d) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool up = XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False), 0, 1,
                                       False, XA_WINDOW, &actual, &format, &count, &after, &data) == Success &&
                    data && count == 1;
    if (data) XFree(data);
    return up;
}

// The parameter: whether Openbox manages the windows.
class FocusOnX : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        apptest::generate_directory(dir.path());
        by_phone = subscribers_by_phone(dir.path());
        ASSERT_EQ(by_phone.size(), 2000u);
        x.emplace(1024, 768);
        client.emplace(*x);
        if (GetParam()) {
            wm = std::make_unique<e2e::Child>(std::vector<std::string>{"openbox", "--sm-disable"},
                                              std::vector<std::string>{x->env()});
            ASSERT_TRUE(eventually([&] { return window_manager_runs(client->display()); }, 10000)) << wm->output();
        }
        ASSERT_TRUE(layout("ru"));
        if (without_streets) {
            for (const char* file : {"Street.db", "Street.PX"}) std::filesystem::remove(dir.path() / file);
            for (auto& row : by_phone) row[tools::kListStreet].clear();
        }
        app = apptest::start_program(*x, dir.path());
        if (without_streets) {
            // The table that cannot be opened is reported before the window shows.
            const unsigned long box = client->wait_for_window("Abonix", 30000);
            ASSERT_NE(box, 0u) << app->output();
            ASSERT_EQ(key("Return"), 0);
        }
        window = client->wait_for_window("Ольмарск 2001", 30000);
        ASSERT_NE(window, 0u) << app->output();
        ASSERT_TRUE(eventually([&] { return (first_row = focused_row_top()) > 0; }, 10000)) << app->output();
    }

    void TearDown() override {
        if (HasFailure() && x) e2e::Xvfb::save_png(x->screenshot(), ::testing::TempDir() + "FocusOnX.png");
        if (app && window && !app->wait_exit(0)) {
            client->close_window(window);
            EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
        }
        if (wm) wm->kill();
    }

    bool layout(const char* name) { return apptest::set_layout(*x, name); }
    int key(const std::string& keys) { return apptest::press_keys(*x, keys); }
    int focused_row_top() const { return apptest::focused_row_top(*x, 4); }
    std::string clipboard() const { return apptest::clipboard_text(*x); }
    // Ctrl+Insert, then the clipboard until it holds the captions and this subscriber's row.
    ::testing::AssertionResult copies(std::size_t index) {
        if (key("ctrl+Insert") != 0) return ::testing::AssertionFailure() << "xdotool failed";
        const std::string expected = std::string(kCaptions) + "\r\n\r\n" + joined(by_phone[index]) + "\r\n";
        std::string got;
        if (eventually([&] { return (got = clipboard()) == expected; }, 10000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the clipboard holds\n" << got << "\ninstead of row " << index;
    }

    // Right to the last-name column, then "пе" typed on the Russian layout: the
    // first "Пе…" from the current record on in phone order is found.
    std::size_t searches_last_names_from(std::size_t current) {
        EXPECT_EQ(key("Right"), 0);
        EXPECT_TRUE(layout("ru"));
        EXPECT_EQ(key("Cyrillic_pe Cyrillic_ie"), 0);
        std::size_t found = current;
        while (found < by_phone.size() && by_phone[found][tools::kListLastName].rfind("Пе", 0) != 0) ++found;
        EXPECT_LT(found, by_phone.size());
        EXPECT_TRUE(copies(found));
        return found;
    }

    TempDir dir;
    std::vector<std::vector<std::string>> by_phone;
    std::optional<e2e::Xvfb> x;
    std::optional<e2e::XClient> client;
    std::unique_ptr<e2e::Child> wm;
    std::unique_ptr<e2e::Child> app;
    unsigned long window = 0;
    int first_row = -1;
    bool without_streets = false;
};

// The same directory without its street table: a search by street fails in its handler.
class FocusOnXWithoutStreets : public FocusOnX {
protected:
    void SetUp() override {
        without_streets = true;
        FocusOnX::SetUp();
    }
};

TEST_P(FocusOnX, AfterTheAboutBoxTheGridAnswersTheKeys) {
    // The phone header (the first of the proportional columns) orders the list by phone.
    ASSERT_EQ(xdotool(*x, {"mousemove", std::to_string(24 * 1000 / 677), std::to_string(first_row - 9), "click", "1"}), 0);
    ASSERT_EQ(xdotool(*x, {"mousemove", "1020", "3"}), 0);
    ASSERT_TRUE(layout("ru"));
    ASSERT_EQ(key("ctrl+Home"), 0);
    ASSERT_TRUE(copies(0));

    ASSERT_EQ(key("F1"), 0);
    const unsigned long about = client->wait_for_window("О программе...", 10000);
    ASSERT_NE(about, 0u) << app->output();
    ASSERT_EQ(key("Return"), 0);
    ASSERT_TRUE(eventually([&] { return !client->is_viewable(about); }, 10000));

    ASSERT_EQ(key("Down"), 0);
    EXPECT_TRUE(copies(1));
    std::size_t found = 0;
    ASSERT_NO_FATAL_FAILURE(found = searches_last_names_from(1));

    // The box opened from the "?" menu with the mouse and closed by its button.
    int left = 0, top = 0;
    ::Window unused = 0;
    ASSERT_TRUE(XTranslateCoordinates(client->display(), window, DefaultRootWindow(client->display()), 0, 0, &left, &top, &unused));
    ASSERT_EQ(xdotool(*x, {"mousemove", std::to_string(left + 80), std::to_string(top + 13), "click", "1"}), 0);
    const unsigned long again = [&] {
        unsigned long shown = 0;
        eventually([&] {
            xdotool(*x, {"mousemove", std::to_string(left + 110), std::to_string(top + 37), "click", "1"});
            return (shown = client->wait_for_window("О программе...", 1000)) != 0;
        }, 10000);
        return shown;
    }();
    ASSERT_NE(again, 0u) << app->output();
    int box_left = 0, box_top = 0;
    ASSERT_TRUE(XTranslateCoordinates(client->display(), again, DefaultRootWindow(client->display()), 0, 0, &box_left, &box_top, &unused));
    ASSERT_EQ(xdotool(*x, {"mousemove", std::to_string(box_left + 133), std::to_string(box_top + 120), "click", "1"}), 0);
    ASSERT_TRUE(eventually([&] { return !client->is_viewable(again); }, 10000));
    ASSERT_EQ(xdotool(*x, {"mousemove", "1020", "3"}), 0);
    ASSERT_EQ(key("Down"), 0);
    EXPECT_TRUE(copies(found + 1));
}

TEST_P(FocusOnXWithoutStreets, AfterTheMessageBoxOfAFailingSearchTheGridAnswersTheKeys) {
    ASSERT_EQ(xdotool(*x, {"mousemove", std::to_string(24 * 1000 / 677), std::to_string(first_row - 9), "click", "1"}), 0);
    ASSERT_TRUE(layout("ru"));
    ASSERT_EQ(key("ctrl+Home"), 0);
    ASSERT_TRUE(copies(0));
    int left = 0, top = 0;
    ::Window unused = 0;
    ASSERT_TRUE(XTranslateCoordinates(client->display(), window, DefaultRootWindow(client->display()), 0, 0, &left, &top, &unused));
    // The street box, a street typed and Enter: the search's failure comes up in a message box.
    ASSERT_EQ(xdotool(*x, {"mousemove", std::to_string(left + 640), std::to_string(top + 38), "click", "1"}), 0);
    ASSERT_EQ(xdotool(*x, {"mousemove", "1020", "3"}), 0);
    ASSERT_TRUE(layout("ru"));
    ASSERT_EQ(key("Cyrillic_u Return"), 0);
    const unsigned long box = client->wait_for_window("Abonix", 10000);
    ASSERT_NE(box, 0u) << app->output();
    ASSERT_EQ(key("Return"), 0);
    ASSERT_TRUE(eventually([&] { return !client->is_viewable(box); }, 10000));
    ASSERT_EQ(key("Down"), 0);
    EXPECT_TRUE(copies(1));
    searches_last_names_from(1);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, FocusOnXWithoutStreets, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Openbox" : "None"; });

INSTANTIATE_TEST_SUITE_P(WindowManager, FocusOnX, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Openbox" : "None"; });

}  // namespace
