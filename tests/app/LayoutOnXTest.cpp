// The layout file between runs of the real program on a private X server: a
// column header and the search toolbar dragged with the mouse are where the
// user left them after Ctrl+X and a new start, in the file and on the screen;
// a toolbar dragged off the dock floats in a window a window manager keeps
// above the main window, and floats again after a restart; in a folder that cannot be written the program says that the layout was
// not saved, ends normally and leaves the old file as it was.
#include "tests/app/ProgramOnX.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using e2e::eventually;
using e2e::xdotool;

const char* const kTitle = "Ольмарск 2001";
const std::string kBars = "Phones.PhoneBarManager.";

// On the 1024 x 768 screen the window is maximised: the main menu, the
// search toolbar below it (its grip at the left), then the grid's header.
constexpr int kToolbarY = 38;
constexpr int kGripX = 4;
constexpr int kHeaderY = 62;
// The header's captions are where the designed widths put them once the
// auto-width has scaled them to the window (Телефон, Фамилия, Имя, Отчество, Город, ...).
constexpr int kLastNameX = 160;
constexpr int kCityX = 620;

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An integer entry of the file as the program wrote it (CR LF lines,
// "[section]" then "name=value"); nullopt when it is not there.
std::optional<int> entry(const std::string& file, const std::string& section, const std::string& name) {
    std::istringstream in(file);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && line.rfind(name + "=", 0) == 0) return std::stoi(line.substr(name.size() + 1));
    }
    return std::nullopt;
}

// The mouse pressed at one point, moved to another in steps, and released.
void drag(const e2e::Xvfb& x, int x0, int y0, int x1, int y1) {
    ASSERT_EQ(xdotool(x, {"mousemove", std::to_string(x0), std::to_string(y0), "mousedown", "1"}), 0);
    constexpr int kSteps = 10;
    for (int i = 1; i <= kSteps; ++i)
        ASSERT_EQ(xdotool(x, {"mousemove", std::to_string(x0 + (x1 - x0) * i / kSteps), std::to_string(y0 + (y1 - y0) * i / kSteps)}), 0);
    ASSERT_EQ(xdotool(x, {"mouseup", "1"}), 0);
}

// The top of the screen down to the first rows of the grid: the bars and the header.
std::vector<std::uint32_t> top_of_screen(const e2e::Xvfb& x) {
    const e2e::Xvfb::Shot shot = x.screenshot();
    const int rows = std::min(shot.height, 120);
    return {shot.pixels.begin(), shot.pixels.begin() + static_cast<std::ptrdiff_t>(rows) * shot.width};
}

// Waits until the screen stops changing and returns what it shows then.
std::vector<std::uint32_t> settled_top(const e2e::Xvfb& x) {
    std::vector<std::uint32_t> last = top_of_screen(x);
    std::vector<std::uint32_t> now;
    eventually(
        [&] {
            now = top_of_screen(x);
            const bool same = now == last;
            last = now;
            return same;
        },
        5000);
    return last;
}

class LayoutOnX : public ::testing::Test {
protected:
    LayoutOnX() : x(1024, 768) { apptest::generate_directory(dir.path()); }

    // The program in the test's folder, its window shown and drawn.
    std::unique_ptr<e2e::Child> start(std::vector<std::string> argv = {ABONIX_PROGRAM}) {
        const CurrentDir cd(dir.path());  // the program works in the current directory
        auto app = std::make_unique<e2e::Child>(argv, std::vector<std::string>{x.env(), e2e::leak_rules()});
        e2e::XClient client(x);
        EXPECT_NE(client.wait_for_window(kTitle, 30000), 0u) << app->output();
        // Away from the bars and the header, so that no hint or hot item changes them.
        EXPECT_EQ(xdotool(x, {"mousemove", "1000", "700"}), 0);
        return app;
    }
    void save_screen(const std::string& name) {
        e2e::Xvfb::save_png(x.screenshot(), (std::filesystem::path(::testing::TempDir()) / name).string());
    }
    // The layout file, whichever of the two writers spelled its name.
    std::filesystem::path ini() const {
        return std::filesystem::exists(dir.path() / "abonix.ini") ? dir.path() / "abonix.ini" : dir.path() / "Abonix.ini";
    }

    const TempDir dir;
    e2e::Xvfb x;
};

TEST_F(LayoutOnX, ADraggedColumnAndToolbarAreWhereTheUserLeftThemAfterARestart) {
    auto app = start();
    const std::vector<std::uint32_t> designed = settled_top(x);

    // "Город" dragged by its header onto the left half of "Фамилия" goes before it.
    drag(x, kCityX, kHeaderY, kLastNameX - 40, kHeaderY);
    // The search toolbar dragged by its grip 200 pixels to the right along its row.
    drag(x, kGripX, kToolbarY, kGripX + 200, kToolbarY);
    ASSERT_EQ(xdotool(x, {"mousemove", "1000", "700"}), 0);
    const std::vector<std::uint32_t> arranged = settled_top(x);
    save_screen("layout_arranged.png");
    EXPECT_NE(arranged, designed) << "the drags changed nothing on the screen";

    ASSERT_EQ(xdotool(x, {"key", "ctrl+x"}), 0);
    ASSERT_EQ(app->wait_exit(30000), 0) << app->output();
    const std::string first = contents(ini());
    const auto city = entry(first, "\\Grid\\Columns\\PhoneGridCityStr", "Index");
    const auto lastName = entry(first, "\\Grid\\Columns\\PhoneGridLastName", "Index");
    ASSERT_TRUE(city && lastName) << first;
    EXPECT_EQ(*city + 1, *lastName);
    EXPECT_EQ(entry(first, kBars + "Bar1", "Row"), 1);
    const auto left = entry(first, kBars + "Bar1", "DockedLeft");
    ASSERT_TRUE(left);
    EXPECT_GE(*left, 180);
    EXPECT_LE(*left, 220);

    app = start();
    const std::vector<std::uint32_t> restored = settled_top(x);
    save_screen("layout_restored.png");
    EXPECT_TRUE(restored == arranged) << "the second start shows another arrangement";

    // Closed by its window's close box this time: the same file again.
    e2e::XClient client(x);
    client.close_window(client.wait_for_window(kTitle, 10000));
    ASSERT_EQ(app->wait_exit(30000), 0) << app->output();
    EXPECT_EQ(contents(ini()), first);
}

TEST_F(LayoutOnX, AToolbarDraggedOffTheDockFloatsAboveTheMainWindowAndFloatsAgainAfterARestart) {
    auto app = start();
    e2e::XClient client(x);
    const ::Window main_window = client.wait_for_window(kTitle, 10000);
    ASSERT_NE(main_window, 0u);
    EXPECT_TRUE(client.transients_of(main_window).empty());

    drag(x, kGripX, kToolbarY, 400, 400);
    ASSERT_EQ(xdotool(x, {"mousemove", "1000", "700"}), 0);
    std::vector<unsigned long> floating;
    ASSERT_TRUE(eventually([&] { return (floating = client.transients_of(main_window)).size() == 1; }, 10000));
    EXPECT_EQ(client.window_type(floating[0]), "_NET_WM_WINDOW_TYPE_UTILITY");
    save_screen("layout_floating.png");

    ASSERT_EQ(xdotool(x, {"key", "ctrl+x"}), 0);
    ASSERT_EQ(app->wait_exit(30000), 0) << app->output();
    EXPECT_EQ(entry(contents(ini()), kBars + "Bar1", "DockingStyle"), 0) << contents(ini());

    app = start();
    const ::Window second_main = client.wait_for_window(kTitle, 10000);
    ASSERT_NE(second_main, 0u);
    EXPECT_TRUE(eventually([&] { return client.transients_of(second_main).size() == 1; }, 10000));
    client.close_window(second_main);
    ASSERT_EQ(app->wait_exit(30000), 0) << app->output();
}

TEST_F(LayoutOnX, AFolderThatCannotBeWrittenKeepsTheOldFileAndTheProgramEndsNormally) {
    {
        auto app = start();
        ASSERT_EQ(xdotool(x, {"key", "ctrl+x"}), 0);
        ASSERT_EQ(app->wait_exit(30000), 0) << app->output();
    }
    const std::string old = contents(ini());
    ASSERT_FALSE(old.empty());

    // Running as root, permissions would not stop a write: the folder is made
    // read-only by a mount of its own, seen only by the program.
    const std::string folder = dir.path().string();
    const std::string readOnly = "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && cd \"$0\" && exec \"$1\"";
    ASSERT_EQ(e2e::run({"unshare", "-m", "sh", "-c", readOnly, folder, "true"}, {}, 10000), 0)
        << "a mount namespace of its own is needed (root, as in CI)";
    auto app = start({"unshare", "-m", "sh", "-c", readOnly, folder, ABONIX_PROGRAM});
    // The move of a column is what would be lost.
    drag(x, kCityX, kHeaderY, kLastNameX - 40, kHeaderY);
    ASSERT_EQ(xdotool(x, {"key", "ctrl+x"}), 0);

    // Ctrl+X has ended the message loop, where no message box could stay on
    // the screen: the grid and the bars each say so on standard error.
    EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
    int said = 0;
    for (std::size_t at = app->output().find("Abonix: the layout was not saved: "); at != std::string::npos;
         at = app->output().find("Abonix: the layout was not saved: ", at + 1))
        ++said;
    EXPECT_EQ(said, 2) << app->output();
    EXPECT_EQ(contents(ini()), old);
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) left.push_back(e.path().filename().string());
    EXPECT_EQ(std::count_if(left.begin(), left.end(), [](const std::string& n) { return n.find(".ini") != std::string::npos; }),
              1)
        << "a temporary file was left behind";
}

}  // namespace
