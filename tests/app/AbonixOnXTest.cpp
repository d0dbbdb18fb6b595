// The real program on a private X server: it opens its maximised main window
// on a generated directory and ends cleanly when the window is closed; a user
// with a Russian keyboard layout searches through the toolbar, opens the
// About box with F1 and leaves with Ctrl+X.
#include "tests/e2e/XSession.h"
#include "tests/support/TempDir.h"
#include "tools/SampleDirectory.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

const std::string kLeakRules = "LSAN_OPTIONS=print_suppressions=0:suppressions=" ABONIX_SOURCE_DIR "/tests/e2e/lsan.supp";

// The window's title as the program set it (_NET_WM_NAME, UTF-8).
std::string window_name(Display* d, Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after, &data) == Success &&
        data) {
        name.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return name;
}

using DisplayPtr = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

// Waits for a top-level window with the title to be mapped; 0 on timeout.
Window wait_for_window(Display* d, const std::string& title, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    auto find = [&]() -> Window {
        Window root_return, parent;
        Window* children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (XQueryTree(d, DefaultRootWindow(d), &root_return, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && !found; ++i) {
                XWindowAttributes a;
                if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
                    window_name(d, children[i]) == title)
                    found = children[i];
            }
            if (children) XFree(children);
        }
        return found;
    };
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask | PropertyChangeMask);
    for (;;) {
        if (Window w = find()) return w;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return 0;
        // Sleep until the server reports a change of the window tree.
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        if (XPending(d) == 0) ::poll(&p, 1, static_cast<int>(left));
        while (XPending(d) > 0) {
            XEvent e;
            XNextEvent(d, &e);
        }
    }
}

// What a window manager sends when the user clicks the close box.
void close_window(Display* d, Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
}

TEST(AbonixOnX, OpensItsMaximisedWindowOnTheSampleDirectoryAndExitsWhenClosed) {
    const TempDir dir;
    tools::SampleOptions options;
    options.subscribers = 2000;
    tools::generate_sample_directory(dir.path(), options);

    e2e::Xvfb x(1024, 768);
    std::optional<CurrentDir> cd(std::in_place, dir.path());  // the program works in the current directory
    e2e::Child app({ABONIX_PROGRAM}, {x.env(), kLeakRules});
    cd.reset();

    DisplayPtr display(XOpenDisplay(x.display().c_str()), &XCloseDisplay);
    ASSERT_NE(display, nullptr);
    Display* d = display.get();
    const Window w = wait_for_window(d, "Ольмарск 2001", 30000);
    ASSERT_NE(w, 0u) << app.output();
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &a));
    EXPECT_EQ(a.width, 1024);
    EXPECT_EQ(a.height, 768);

    close_window(d, w);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

// The top of the first screen row, at x, in the highlight colour of the focused
// cell; -1 when there is none.
int focused_row_top(const e2e::Xvfb& x, int column_x) {
    const e2e::Xvfb::Shot shot = x.screenshot();
    for (int y = 0; y < shot.height; ++y)
        if (shot.at(column_x, y) == 0x0A246A) return y;
    return -1;
}

// Polls until the predicate holds or the time is up.
template <typename Predicate>
bool eventually(Predicate holds, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!holds()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int xdotool(const e2e::Xvfb& x, std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return e2e::run(args, {x.env()}, 20000).value_or(-1);
}

TEST(AbonixOnX, SearchesByLastNameThroughARussianLayoutShowsAboutWithF1AndLeavesWithCtrlX) {
    const TempDir dir;
    tools::SampleOptions options;
    options.subscribers = 2000;
    tools::generate_sample_directory(dir.path(), options);

    e2e::Xvfb x(1024, 768);
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "ru"}, {x.env()}, 10000), 0);
    std::optional<CurrentDir> cd(std::in_place, dir.path());
    e2e::Child app({ABONIX_PROGRAM}, {x.env(), kLeakRules});
    cd.reset();

    DisplayPtr display(XOpenDisplay(x.display().c_str()), &XCloseDisplay);
    ASSERT_NE(display, nullptr);
    Display* d = display.get();
    ASSERT_NE(wait_for_window(d, "Ольмарск 2001", 30000), 0u) << app.output();

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
    const Window about = wait_for_window(d, "О программе...", 10000);
    ASSERT_NE(about, 0u) << app.output();
    ASSERT_EQ(xdotool(x, {"key", "Return"}), 0);
    EXPECT_TRUE(eventually(
        [&] {
            XWindowAttributes a;
            return !XGetWindowAttributes(d, about, &a) || a.map_state != IsViewable;
        },
        10000));

    // Ctrl with the key in X's place (it types "ч" in this layout) runs Exit.
    // xdotool's typing of letters may leave the server's keymap changed, so
    // the Russian layout is set again first.
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "ru"}, {x.env()}, 10000), 0);
    ASSERT_EQ(xdotool(x, {"key", "ctrl+Cyrillic_che"}), 0);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
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
    tools::SampleOptions options;
    options.subscribers = 2000;
    tools::generate_sample_directory(dir.path(), options);
    // A stand-in for the desktop's opener, found first on the PATH: it notes
    // its arguments, and the compose table it would be given.
    const TempDir bin;
    const std::filesystem::path opened = bin.path() / "opened.txt";
    const std::filesystem::path compose = bin.path() / "compose.txt";
    {
        std::ofstream script(bin.path() / "xdg-open");
        script << "#!/bin/sh\necho \"$@\" >> '" << opened.string() << "'\necho \"[$XCOMPOSEFILE]\" >> '"
               << compose.string() << "'\n";
    }
    std::filesystem::permissions(bin.path() / "xdg-open", std::filesystem::perms::owner_all);
    // The program's cache in a folder of the test's own; no user compose file.
    const TempDir home;

    e2e::Xvfb x(1024, 768);
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "us"}, {x.env()}, 10000), 0);
    std::optional<CurrentDir> cd(std::in_place, dir.path());
    e2e::Child app({ABONIX_PROGRAM}, {x.env(), kLeakRules, "PATH=" + bin.path().string() + ":" + std::getenv("PATH"),
                                      "HOME=" + home.path().string(), "XDG_CACHE_HOME", "XCOMPOSEFILE", "XLOCALEDIR",
                                      "LC_ALL=C.UTF-8"});
    cd.reset();

    DisplayPtr display(XOpenDisplay(x.display().c_str()), &XCloseDisplay);
    ASSERT_NE(display, nullptr);
    ASSERT_NE(wait_for_window(display.get(), "Ольмарск 2001", 30000), 0u) << app.output();

    ASSERT_EQ(xdotool(x, {"key", "ctrl+w"}), 0);
    EXPECT_TRUE(eventually([&] { return line_count(opened) == 1; }, 10000)) << app.output();
    ASSERT_EQ(e2e::run({"setxkbmap", "-layout", "ru"}, {x.env()}, 10000), 0);
    ASSERT_EQ(xdotool(x, {"key", "ctrl+Cyrillic_tse"}), 0);
    EXPECT_TRUE(eventually([&] { return line_count(opened) == 2; }, 10000)) << app.output();
    // The display started with the compose subset, typed Russian through it,
    // and the browser gets the environment without it.
    if (std::filesystem::exists("/usr/share/X11/locale/compose.dir")) {
        bool made = false;
        for (const auto& e : std::filesystem::directory_iterator(home.path() / ".cache" / "abonix"))
            made = made || e.path().filename().string().starts_with("Compose-");
        EXPECT_TRUE(made);
    }
    std::ifstream given(compose);
    for (std::string line; std::getline(given, line);) EXPECT_EQ(line, "[]");

    // The main menu by keyboard: F10 selects "Файл", Down opens it, Enter runs "Выход".
    ASSERT_EQ(xdotool(x, {"key", "F10"}), 0);
    ASSERT_EQ(xdotool(x, {"key", "Down"}), 0);
    ASSERT_EQ(xdotool(x, {"key", "Return"}), 0);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

}  // namespace
