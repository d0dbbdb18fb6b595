#include "XSession.h"

// Before Xlib, whose macros (None, Bool) would spoil its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace e2e {
namespace {


// The size hints of the top-level window with this title, as a window
// manager reads them.
std::optional<XSizeHints> size_hints_of(const std::string& display, const char* title) {
    Display* d = XOpenDisplay(display.c_str());
    if (!d) return std::nullopt;
    std::optional<XSizeHints> found;
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            if (XFetchName(d, children[i], &name) && name) {
                if (std::strcmp(name, title) == 0) {
                    XSizeHints hints{};
                    long supplied = 0;
                    if (XGetWMNormalHints(d, children[i], &hints, &supplied)) found = hints;
                }
                XFree(name);
            }
        }
        if (children) XFree(children);
    }
    XCloseDisplay(d);
    return found;
}

TEST(Shapes, AFixedDialogAShapedPopupAndAnOverlayThatLeavesThePixelsUnderIt) {
    Xvfb x(640, 480);
    Child app({ABONIX_SHAPES_WINDOW}, {x.env(), leak_rules()});
    ASSERT_TRUE(app.wait_for_line("ready", 20000)) << app.output();

    // The dialog tells the window manager it has one size only.
    const auto hints = size_hints_of(x.display(), "Dialog");
    ASSERT_TRUE(hints);
    EXPECT_TRUE((hints->flags & PMinSize) && (hints->flags & PMaxSize));
    EXPECT_EQ(hints->min_width, 400);
    EXPECT_EQ(hints->max_width, 400);
    EXPECT_EQ(hints->min_height, 300);
    EXPECT_EQ(hints->max_height, 300);

    // The circle covers only its round part of the dialog.
    const Xvfb::Shot before = x.screenshot();
    EXPECT_EQ(before.at(130, 130), 0xFF0000u);
    EXPECT_EQ(before.at(101, 101), 0xFFFFFFu);
    EXPECT_EQ(before.at(158, 102), 0xFFFFFFu);
    EXPECT_EQ(before.at(130, 101), 0xFF0000u);

    // The overlay shows over the dialog, yet a click on it reaches the dialog.
    ASSERT_EQ(run({"xdotool", "mousemove", "200", "200", "key", "F3"}, {x.env()}, 10000), 0);
    ASSERT_TRUE(app.wait_for_line("overlay shown", 20000)) << app.output();
    const Xvfb::Shot shown = x.screenshot();
    EXPECT_EQ(shown.at(270, 70), 0x00FF00u);
    ASSERT_EQ(run({"xdotool", "mousemove", "270", "70", "click", "1"}, {x.env()}, 10000), 0);
    EXPECT_EQ(app.wait_for_line("click", 20000), "click 270,70") << app.output();

    // Hidden again, it leaves the pixels under it as they were.
    ASSERT_EQ(run({"xdotool", "key", "F4"}, {x.env()}, 10000), 0);
    ASSERT_TRUE(app.wait_for_line("overlay hidden", 20000)) << app.output();
    Xvfb::Shot after = x.screenshot();
    // The X server uncovers the area at once; our repaint of it follows. A
    // bounded poll of the screen, as the harness waits for outside processes.
    for (int attempt = 0; attempt < 200 && after.at(270, 70) != before.at(270, 70); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        after = x.screenshot();
    }
    int differing = 0;
    for (int yy = 40; yy < 100; ++yy)
        for (int xx = 240; xx < 300; ++xx) differing += after.at(xx, yy) != before.at(xx, yy);
    EXPECT_EQ(differing, 0);
    if (HasFailure()) {
        const std::string path = ::testing::TempDir() + "abonix_shapes_screen.png";
        Xvfb::save_png(after, path);
        ADD_FAILURE() << "the screen is in " << path;
    }
    // Ended by the mouse: without a window manager, hiding the overlay
    // leaves the X keyboard focus nowhere, so a key would not arrive.
    ASSERT_EQ(run({"xdotool", "mousemove", "200", "200", "click", "3"}, {x.env()}, 10000), 0);
    EXPECT_EQ(app.wait_exit(10000), 0) << app.output();
}

}  // namespace
}  // namespace e2e
