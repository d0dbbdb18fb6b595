// The real program under a window manager (Openbox) on a private X server, as
// on a desktop: the main window is maximised by the manager, a toolbar dragged
// off its dock stays above the main window when the user clicks the grid, the
// window minimised and brought back is maximised and painted whole, and
// restored from the maximum it takes its designed size.
#include "tests/app/ProgramOnX.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using e2e::eventually;
using e2e::xdotool;

const char* const kTitle = "Ольмарск 2001";

// The atoms of a window's list property (_NET_WM_STATE, _NET_SUPPORTING_WM_CHECK).
std::vector<Atom> atoms_of(Display* d, ::Window w, const char* property, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<Atom> out;
    if (XGetWindowProperty(d, w, XInternAtom(d, property, False), 0, 64, False, type, &actual, &format, &count,
                           &after, &data) == Success &&
        data) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        out.assign(items, items + count);
        XFree(data);
    }
    return out;
}

bool maximised(Display* d, ::Window w) {
    const std::vector<Atom> state = atoms_of(d, w, "_NET_WM_STATE", XA_ATOM);
    auto has = [&](const char* name) { return std::count(state.begin(), state.end(), XInternAtom(d, name, False)) > 0; };
    return has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
}

// The child of the root that holds the window: the window manager's frame.
::Window frame_of(Display* d, ::Window w) {
    for (;;) {
        ::Window root = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        if (parent == root) return w;
        w = parent;
    }
}

// The place of a frame among the root's children, bottom first.
int stacking_place(Display* d, ::Window frame) {
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    int place = -1;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i)
            if (children[i] == frame) place = static_cast<int>(i);
        if (children) XFree(children);
    }
    return place;
}

// Whether the window's pixels around a point were drawn: most of them are
// not the black of a window nobody painted.
bool painted_near(const e2e::Xvfb::Shot& shot, int cx, int cy) {
    int drawn = 0;
    for (int y = cy - 10; y < cy + 10; ++y)
        for (int x = cx - 10; x < cx + 10; ++x) drawn += shot.at(x, y) != 0x000000;
    return drawn > 200;
}

TEST(WindowManagerOnX, TheMaximisedWindowComesBackWholeRestoresToItsDesignedSizeAndAFloatingToolbarStaysAboveIt) {
    const TempDir dir;
    apptest::generate_directory(dir.path());
    e2e::Xvfb x(1024, 768);
    e2e::XClient client(x);
    Display* d = client.display();

    e2e::Child wm({"openbox", "--sm-disable"}, {x.env()});
    ASSERT_TRUE(eventually(
        [&] { return !atoms_of(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty(); }, 10000))
        << "openbox did not start: " << wm.output();

    const std::unique_ptr<e2e::Child> app = apptest::start_program(x, dir.path());
    const ::Window w = client.wait_for_window(kTitle, 30000);
    ASSERT_NE(w, 0u) << app->output();
    ASSERT_TRUE(eventually([&] { return maximised(d, w); }, 10000));
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &a));
    EXPECT_EQ(a.width, 1024);
    int left = 0, top = 0;
    ::Window unused = 0;
    ASSERT_TRUE(XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &left, &top, &unused));
    const int height = a.height;

    // The search toolbar dragged by its grip into the middle of the grid floats.
    const int grip_x = left + 4, grip_y = top + 38;
    ASSERT_EQ(xdotool(x, {"mousemove", std::to_string(grip_x), std::to_string(grip_y), "mousedown", "1"}), 0);
    for (int i = 1; i <= 10; ++i)
        ASSERT_EQ(xdotool(x, {"mousemove", std::to_string(grip_x + 40 * i), std::to_string(grip_y + 30 * i)}), 0);
    ASSERT_EQ(xdotool(x, {"mouseup", "1"}), 0);
    std::vector<unsigned long> floating;
    ASSERT_TRUE(eventually([&] { return (floating = client.transients_of(w)).size() == 1; }, 10000));

    // A click on the grid activates the main window; the toolbar stays above it.
    ASSERT_EQ(xdotool(x, {"mousemove", "900", std::to_string(top + height - 100), "click", "1"}), 0);
    EXPECT_TRUE(eventually(
        [&] { return stacking_place(d, frame_of(d, floating[0])) > stacking_place(d, frame_of(d, w)); }, 10000));

    // Minimised by the window manager and brought back: maximised, and
    // painted to its bottom-right corner.
    ASSERT_EQ(xdotool(x, {"windowminimize", std::to_string(w)}), 0);
    ASSERT_TRUE(eventually([&] { return !client.is_viewable(w); }, 10000));
    ASSERT_EQ(xdotool(x, {"windowactivate", std::to_string(w)}), 0);
    ASSERT_TRUE(eventually([&] { return client.is_viewable(w); }, 10000));
    const bool whole = eventually(
        [&] {
            XWindowAttributes now;
            return XGetWindowAttributes(d, w, &now) && now.width == 1024 && now.height == height &&
                   maximised(d, w) && painted_near(x.screenshot(), 990, top + height - 50);
        },
        10000);
    if (!whole)
        e2e::Xvfb::save_png(x.screenshot(), (std::filesystem::path(::testing::TempDir()) / "wm_restored.png").string());
    EXPECT_TRUE(whole);

    // Restored from the maximum, as a pager or the title bar's button asks.
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "_NET_WM_STATE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = 0;  // remove
    e.xclient.data.l[1] = static_cast<long>(XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    e.xclient.data.l[2] = static_cast<long>(XInternAtom(d, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureNotifyMask | SubstructureRedirectMask, &e);
    XFlush(d);
    EXPECT_TRUE(eventually(
        [&] {
            XWindowAttributes now;
            return XGetWindowAttributes(d, w, &now) && now.width == 635 && now.height == 450 && !maximised(d, w);
        },
        10000));

    ASSERT_TRUE(XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &left, &top, &unused));
    ASSERT_EQ(xdotool(x, {"mousemove", std::to_string(left + 300), std::to_string(top + 300), "click", "1"}), 0);
    ASSERT_EQ(xdotool(x, {"key", "ctrl+x"}), 0);
    EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
    wm.kill();
}

}  // namespace
