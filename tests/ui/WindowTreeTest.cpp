#include "UiTestSupport.h"

#include "text/Cp1251.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

struct Tree : ::testing::Test {
    Log log;
    HeadlessHost host{1024, 768};
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(0, 0, 400, 300), logging_proc(log, "form"));
};

TEST_F(Tree, SubclassesRunNewestFirstAndRestoreInReverse) {
    auto layer = [&](const char* name) {
        auto prev = std::make_shared<WndProcRef>();
        *prev = ws.subclass_window(form, [&, name, prev](HWND h, UINT m, WPARAM w, LPARAM l) {
            if (m == WM_USER) log.push_back(name);
            return ws.call_window_proc(*prev, h, m, w, l);
        });
        return *prev;
    };
    const WndProcRef original = ws.get_window_proc(form);
    const WndProcRef before_b = (layer("A"), ws.get_window_proc(form));
    layer("B");
    log.clear();
    ws.send_message(form, WM_USER);
    EXPECT_EQ(log, (Log{"B", "A"}));
    ws.set_window_proc(form, before_b);
    log.clear();
    ws.send_message(form, WM_USER);
    EXPECT_EQ(log, (Log{"A"}));
    ws.set_window_proc(form, original);
    log.clear();
    ws.send_message(form, WM_USER);
    EXPECT_TRUE(log.empty());
}

TEST_F(Tree, AProcedureMayDestroyOrSubclassItsOwnWindowWhileRunning) {
    const HWND w = make_top(ws, Bounds(0, 0, 10, 10), [&](HWND h, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_USER) {
            ws.subclass_window(h, {});
            ws.destroy_window(h);
            return LRESULT{5};
        }
        return ws.def_window_proc(h, m, wp, lp);
    });
    EXPECT_EQ(ws.send_message(w, WM_USER), 5);
    EXPECT_FALSE(ws.is_window(w));
    EXPECT_EQ(ws.send_message(w, WM_USER), 0);
    EXPECT_FALSE(ws.post_message(w, WM_USER));
}

TEST_F(Tree, DestructionReachesChildrenAndOwnedPopups) {
    const HWND child = make_child(ws, form, Bounds(0, 0, 10, 10), logging_proc(log, "child"));
    make_child(ws, child, Bounds(0, 0, 5, 5), logging_proc(log, "grandchild"));
    const HWND hint = make_popup(ws, Bounds(500, 500, 50, 20), logging_proc(log, "hint"), form);
    log.clear();
    ws.destroy_window(form);
    EXPECT_EQ(log, (Log{"hint:DESTROY", "form:KILLFOCUS", "form:ACTIVATE", "form:DESTROY", "child:DESTROY",
                        "grandchild:DESTROY"}));
    EXPECT_FALSE(ws.is_window(hint));
    EXPECT_FALSE(ws.is_window(child));
    EXPECT_TRUE(ws.top_level_windows().empty());
}

TEST_F(Tree, PopupsStayOnTopAndNeverTakeFocusOrActivation) {
    const HWND edit = make_child(ws, form, Bounds(0, 0, 100, 20));
    ws.set_focus(edit);
    const HWND menu = make_popup(ws, Bounds(50, 50, 100, 100), logging_proc(log, "menu"));
    EXPECT_EQ(ws.get_active_window(), form);
    EXPECT_EQ(ws.get_focus(), edit);
    EXPECT_TRUE(host.shown(menu));
    // A form shown later still stacks below the top-most popup.
    const HWND other = make_top(ws, Bounds(0, 0, 300, 300));
    EXPECT_EQ(ws.top_level_windows(), (std::vector<HWND>{menu, other, form}));
    EXPECT_EQ(ws.window_from_point(TPoint{60, 60}), menu);
    ws.set_focus(edit);
    log.clear();
    host.click(TPoint{60, 60});
    EXPECT_EQ(log, (Log{"menu:MOUSEENTER", "menu:LBUTTONDOWN", "menu:LBUTTONUP"}));
    EXPECT_EQ(ws.get_active_window(), form);
    EXPECT_EQ(ws.get_focus(), edit);
    EXPECT_EQ(ws.set_active_window(menu), kNoWindow);
}

TEST_F(Tree, WindowUnderAScreenPoint) {
    const HWND panel = make_child(ws, form, Bounds(100, 100, 200, 100));
    const HWND button = make_child(ws, panel, Bounds(10, 10, 50, 20));
    const HWND disabled = make_child(ws, panel, Bounds(100, 10, 50, 20));
    ws.enable_window(disabled, false);
    const HWND hidden = make_child(ws, panel, Bounds(10, 50, 50, 20), {}, false);
    const HWND front = make_child(ws, form, Bounds(250, 150, 100, 100));  // overlaps the panel, created later
    struct Case {
        TPoint pt;
        HWND expected;
    };
    const Case cases[] = {
        {{5, 5}, form},       {{115, 115}, button}, {{159, 129}, button}, {{160, 115}, panel},
        {{210, 115}, panel},  // a disabled child lets its parent answer
        {{260, 160}, front},  {{349, 249}, front},  {{399, 299}, form},    {{400, 300}, kNoWindow},
        {{-1, 0}, kNoWindow},
    };
    EXPECT_EQ(ws.window_from_point(ws.client_to_screen(hidden, TPoint{1, 1})), panel);
    // A disabled hint over the button: the button is still the window there.
    const HWND hint = make_popup(ws, Bounds(105, 105, 100, 20));
    ws.enable_window(hint, false);
    EXPECT_EQ(ws.window_from_point(TPoint{115, 115}), button);
    ws.enable_window(hint, true);
    EXPECT_EQ(ws.window_from_point(TPoint{115, 115}), hint);
    ws.destroy_window(hint);
    EXPECT_EQ(ws.window_from_point(ws.client_to_screen(disabled, TPoint{1, 1})), panel);
    for (const Case& c : cases)
        EXPECT_EQ(ws.window_from_point(c.pt), c.expected) << c.pt.X << "," << c.pt.Y;
}

TEST_F(Tree, MovingAndMaximisingReportSizes) {
    std::vector<std::pair<UINT, LPARAM>> got;
    ws.subclass_window(form, [&, prev = ws.get_window_proc(form)](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_MOVE || m == WM_SIZE) got.emplace_back(m, l);
        return ws.call_window_proc(prev, h, m, w, l);
    });
    ws.move_window(form, Bounds(10, 20, 400, 300));
    ws.move_window(form, Bounds(10, 20, 500, 300));
    host.set_work_area(TRect{0, 0, 1024, 740});
    ws.show_window(form, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(ws.is_zoomed(form));
    EXPECT_EQ(ws.get_window_rect(form), (TRect{0, 0, 1024, 740}));
    const std::vector<std::pair<UINT, LPARAM>> expected{{WM_MOVE, make_lparam(10, 20)},
                                                         {WM_SIZE, make_lparam(500, 300)},
                                                         {WM_MOVE, make_lparam(0, 0)},
                                                         {WM_SIZE, make_lparam(1024, 740)}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(ws.window_pixels(form)->Width(), 1024);
}

TEST_F(Tree, ClipboardGetsUnicode) {
    EXPECT_TRUE(ws.set_clipboard_text("Ольмарск 2001"_a));
    EXPECT_EQ(host.clipboard_utf8(), "Ольмарск 2001");
}

}  // namespace
}  // namespace ui::test
