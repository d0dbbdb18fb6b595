// The real program on a private X server: it opens its maximised main window
// on a generated directory and ends cleanly when the window is closed; a user
// with a Russian keyboard layout searches through the toolbar, opens the
// About box with F1 and leaves with Ctrl+X.
#include "tests/app/ProgramOnX.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using apptest::generate_directory;
using apptest::start_program;
using e2e::eventually;
using e2e::xdotool;

TEST(AbonixOnX, OpensItsMaximisedWindowOnTheSampleDirectoryAndExitsWhenClosed) {
    const TempDir dir;
    generate_directory(dir.path());

    e2e::Xvfb x(1024, 768);
    const std::unique_ptr<e2e::Child> app = start_program(x, dir.path());

    e2e::XClient client(x);
    const unsigned long w = client.wait_for_window("Ольмарск 2001", 30000);
    ASSERT_NE(w, 0u) << app->output();
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(client.display(), w, &a));
    EXPECT_EQ(a.width, 1024);
    EXPECT_EQ(a.height, 768);

    // The legacy title, which older window managers, task bars and xdotool
    // read, decodes to the same Cyrillic text.
    XTextProperty name{};
    ASSERT_TRUE(XGetWMName(client.display(), w, &name));
    char** list = nullptr;
    int count = 0;
    ASSERT_GE(Xutf8TextPropertyToTextList(client.display(), &name, &list, &count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(std::string(list[0]), "Ольмарск 2001");
    XFreeStringList(list);
    XFree(name.value);
    EXPECT_EQ(xdotool(x, {"search", "--name", "^Ольмарск 2001$"}), 0);

    // The task bar's icon, which follows the first frame: the main form's
    // 32 x 32 picture, opaque where it is drawn and clear around it.
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_TRUE(eventually(
        [&] {
            return XGetWindowProperty(client.display(), w, XInternAtom(client.display(), "_NET_WM_ICON", False), 0,
                                      4096, False, XA_CARDINAL, &type, &format, &items, &after, &data) == Success &&
                   data;
        },
        10000));
    const auto* icon = reinterpret_cast<const long*>(data);
    ASSERT_EQ(items, 2u + 32 * 32);
    EXPECT_EQ(icon[0], 32);
    EXPECT_EQ(icon[1], 32);
    int opaque = 0, clear = 0;
    for (unsigned long i = 2; i < items; ++i) (((icon[i] >> 24) & 0xFF) == 0xFF ? opaque : clear)++;
    EXPECT_GT(opaque, 300);
    EXPECT_GT(clear, 0);
    XFree(data);

    client.close_window(w);
    EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
}

// The top of the first screen row, at x, in the highlight colour of the focused
// cell; -1 when there is none.
int focused_row_top(const e2e::Xvfb& x, int column_x) {
    const e2e::Xvfb::Shot shot = x.screenshot();
    for (int y = 0; y < shot.height; ++y)
        if (shot.at(column_x, y) == 0x0A246A) return y;
    return -1;
}

TEST(AbonixOnX, SearchesByLastNameThroughARussianLayoutShowsAboutWithF1AndLeavesWithCtrlX) {
    const TempDir dir;
    generate_directory(dir.path());

    e2e::Xvfb x(1024, 768);
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "ru"}, {x.env()}, 10000), 0);
    const std::unique_ptr<e2e::Child> app = start_program(x, dir.path());

    e2e::XClient client(x);
    const unsigned long main_window = client.wait_for_window("Ольмарск 2001", 30000);
    ASSERT_NE(main_window, 0u) << app->output();

    // The first subscriber of the last-name order is focused on the first row.
    int first_row = -1;
    ASSERT_TRUE(eventually([&] { return (first_row = focused_row_top(x, 4)) > 0; }, 10000));

    // "Ив" typed into the last-name box of the search toolbar and Enter: the
    // first "Ив..." subscriber comes to the middle of the window, focused.
    ASSERT_EQ(xdotool(x, {"mousemove", "240", "38", "click", "1"}), 0);
    ASSERT_EQ(xdotool(x, {"type", "--delay", "50", "Ив"}), 0);
    ASSERT_EQ(xdotool(x, {"key", "Return"}), 0);
    int found_row = -1;
    EXPECT_TRUE(eventually([&] { return (found_row = focused_row_top(x, 4)) > first_row + 200; }, 10000))
        << "focused row at " << found_row << ", first row at " << first_row;

    // F1 opens the About box wherever the focus is; Enter closes it.
    ASSERT_EQ(xdotool(x, {"key", "F1"}), 0);
    const unsigned long about = client.wait_for_window("О программе...", 10000);
    ASSERT_NE(about, 0u) << app->output();
    // A window manager is told it is a dialog that belongs to the main window.
    ::Window transient_for = 0;
    ASSERT_TRUE(XGetTransientForHint(client.display(), about, &transient_for));
    EXPECT_EQ(transient_for, main_window);
    EXPECT_EQ(client.window_type(about), "_NET_WM_WINDOW_TYPE_DIALOG");
    ASSERT_EQ(xdotool(x, {"key", "Return"}), 0);
    EXPECT_TRUE(eventually([&] { return !client.is_viewable(about); }, 10000));

    // Ctrl with the key in X's place (it types "ч" in this layout) runs Exit.
    // xdotool's typing of letters may leave the server's keymap changed, so
    // the Russian layout is set again first.
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "ru"}, {x.env()}, 10000), 0);
    ASSERT_EQ(xdotool(x, {"key", "ctrl+Cyrillic_che"}), 0);
    EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
}

// How many of the stand-in's lines name the web page address.
int line_count(const std::filesystem::path& file) {
    std::ifstream in(file);
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line.find("http://abonix.example/") != std::string::npos;
    return n;
}

TEST(AbonixOnX, CtrlWStartsTheBrowserUnderLatinAndRussianLayoutsAndF10DownEnterEndsTheProgram) {
    const TempDir dir;
    generate_directory(dir.path());
    // A stand-in for the desktop's opener, found first on the PATH: it notes
    // its arguments, and the compose table and session bus it would be given.
    const TempDir bin;
    const std::filesystem::path opened = bin.path() / "opened.txt";
    const std::filesystem::path environment = bin.path() / "environment.txt";
    {
        std::ofstream script(bin.path() / "xdg-open");
        script << "#!/bin/sh\necho \"$@\" >> '" << opened.string() << "'\necho \"[$XCOMPOSEFILE][$DBUS_SESSION_BUS_ADDRESS]\" >> '"
               << environment.string() << "'\n";
    }
    std::filesystem::permissions(bin.path() / "xdg-open", std::filesystem::perms::owner_all);
    // The program's cache in a folder of the test's own; no user compose file.
    const TempDir home;

    e2e::Xvfb x(1024, 768);
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "us"}, {x.env()}, 10000), 0);
    const std::unique_ptr<e2e::Child> app =
        start_program(x, dir.path(), {"PATH=" + bin.path().string() + ":" + std::getenv("PATH"), "HOME=" + home.path().string(),
                                      "XDG_CACHE_HOME", "XCOMPOSEFILE", "XLOCALEDIR", "LC_ALL=C.UTF-8",
                                      "DBUS_SESSION_BUS_ADDRESS"});

    e2e::XClient client(x);
    ASSERT_NE(client.wait_for_window("Ольмарск 2001", 30000), 0u) << app->output();

    ASSERT_EQ(xdotool(x, {"key", "ctrl+w"}), 0);
    EXPECT_TRUE(eventually([&] { return line_count(opened) == 1; }, 10000)) << app->output();
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "ru"}, {x.env()}, 10000), 0);
    ASSERT_EQ(xdotool(x, {"key", "ctrl+Cyrillic_tse"}), 0);
    EXPECT_TRUE(eventually([&] { return line_count(opened) == 2; }, 10000)) << app->output();
    // The display started with the compose subset and typed Russian through
    // it; the browser gets the environment without the start's changes (the
    // compose subset, the session bus refused).
    if (std::filesystem::exists("/usr/share/X11/locale/compose.dir")) {
        bool made = false;
        for (const auto& e : std::filesystem::directory_iterator(home.path() / ".cache" / "abonix"))
            made = made || e.path().filename().string().starts_with("Compose-");
        EXPECT_TRUE(made);
    }
    std::ifstream given(environment);
    for (std::string line; std::getline(given, line);) EXPECT_EQ(line, "[][]");

    // The main menu by keyboard: F10 selects "Файл", Down opens it, Enter runs "Выход".
    ASSERT_EQ(xdotool(x, {"key", "F10"}), 0);
    ASSERT_EQ(xdotool(x, {"key", "Down"}), 0);
    ASSERT_EQ(xdotool(x, {"key", "Return"}), 0);
    EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
}

}  // namespace
