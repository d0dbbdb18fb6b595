#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

struct FocusWorld {
    Log log;
    HeadlessHost host{800, 600};
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(0, 0, 400, 300), logging_proc(log, "form"));
    HWND edit = make_child(ws, form, Bounds(10, 10, 100, 20), logging_proc(log, "edit"));
    HWND grid = make_child(ws, form, Bounds(10, 40, 300, 200), logging_proc(log, "grid"));
};

struct FocusCapture : ::testing::Test, FocusWorld {};

TEST_F(FocusCapture, FocusMovesWithKillBeforeSetAndReportsThePrevious) {
    ASSERT_EQ(ws.get_active_window(), form);
    ws.set_focus(edit);
    log.clear();
    EXPECT_EQ(ws.set_focus(grid), edit);
    EXPECT_EQ(ws.get_focus(), grid);
    EXPECT_EQ(log, (Log{"edit:KILLFOCUS", "grid:SETFOCUS"}));
    EXPECT_EQ(ws.get_parent(ws.get_focus()), form);
}

TEST_F(FocusCapture, WindowsThatCannotTakeTheFocus) {
    const HWND hidden = make_child(ws, form, Bounds(0, 0, 5, 5), {}, false);
    const HWND in_disabled_parent = make_child(ws, edit, Bounds(0, 0, 5, 5));
    ws.enable_window(edit, false);
    const HWND popup = make_popup(ws, Bounds(500, 500, 50, 50));
    const HWND popup_child = make_child(ws, popup, Bounds(0, 0, 10, 10));
    ws.set_focus(grid);
    for (HWND h : {hidden, edit, in_disabled_parent, popup, popup_child}) {
        EXPECT_EQ(ws.set_focus(h), kNoWindow) << h;
        EXPECT_EQ(ws.get_focus(), grid) << h;
    }
}

TEST_F(FocusCapture, LosingTheFocusedWindow) {
    struct Case {
        const char* what;
        std::function<void(FocusWorld&)> act;
        bool focus_on_form;
    };
    const Case cases[] = {
        {"destroy", [](FocusWorld& f) { f.ws.destroy_window(f.grid); }, true},
        {"hide", [](FocusWorld& f) { f.ws.show_window(f.grid, SW_HIDE); }, true},
        {"disable", [](FocusWorld& f) { f.ws.enable_window(f.grid, false); }, false},
    };
    for (const Case& c : cases) {
        FocusWorld f;
        f.ws.set_focus(f.grid);
        c.act(f);
        EXPECT_EQ(f.ws.get_focus(), c.focus_on_form ? f.form : kNoWindow) << c.what;
        EXPECT_NE(f.ws.get_focus(), f.grid) << c.what;
    }
}

TEST_F(FocusCapture, FocusInAnotherFormActivatesItAndDeactivatesTheFirst) {
    const HWND other = make_top(ws, Bounds(450, 0, 200, 200), logging_proc(log, "other"));
    const HWND other_edit = make_child(ws, other, Bounds(0, 0, 50, 20), logging_proc(log, "oedit"));
    ws.set_focus(grid);
    log.clear();
    EXPECT_EQ(ws.set_focus(other_edit), grid);
    EXPECT_EQ(ws.get_active_window(), other);
    EXPECT_EQ(log, (Log{"form:ACTIVATE", "grid:KILLFOCUS", "oedit:SETFOCUS", "other:ACTIVATE"}));
    // Clicking back into the first form activates it and gives it the focus.
    log.clear();
    host.click(TPoint{390, 290});
    EXPECT_EQ(ws.get_active_window(), form);
    EXPECT_EQ(ws.get_focus(), form);
}

TEST_F(FocusCapture, CapturedMouseGoesToTheCaptureWindowInItsCoordinates) {
    std::vector<TPoint> points;
    ws.subclass_window(grid, [&, prev = ws.get_window_proc(grid)](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_MOUSEMOVE || m == WM_LBUTTONUP) points.push_back(TPoint{get_x_lparam(l), get_y_lparam(l)});
        return ws.call_window_proc(prev, h, m, w, l);
    });
    ws.set_capture(grid);
    host.mouse_move(TPoint{5, 5});          // over the form, left of and above the grid
    host.mouse_up(MouseButton::left, TPoint{700, 500});  // outside every window
    EXPECT_EQ(points, (std::vector<TPoint>{{-5, -35}, {690, 460}}));
}

TEST_F(FocusCapture, CaptureChangesAreAnnouncedToTheLoser) {
    ws.set_capture(grid);
    EXPECT_TRUE(host.mouse_captured());
    log.clear();
    EXPECT_EQ(ws.set_capture(edit), grid);
    EXPECT_EQ(log, (Log{"grid:CAPTURECHANGED"}));
    log.clear();
    ws.send_message(edit, WM_CANCELMODE);
    EXPECT_EQ(ws.get_capture(), kNoWindow);
    EXPECT_FALSE(host.mouse_captured());
    EXPECT_EQ(log, (Log{"edit:CANCELMODE", "edit:CAPTURECHANGED"}));
    ws.set_capture(grid);
    ws.show_window(grid, SW_HIDE);
    EXPECT_EQ(ws.get_capture(), kNoWindow);
}

TEST_F(FocusCapture, LosingTheApplicationCancelsTheMouseMode) {
    ws.set_capture(grid);
    log.clear();
    ws.host_activate_app(false);
    EXPECT_EQ(ws.get_capture(), kNoWindow);
    EXPECT_EQ(log, (Log{"grid:CANCELMODE", "grid:CAPTURECHANGED", "form:ACTIVATE", "form:ACTIVATEAPP"}));
    EXPECT_FALSE(ws.application_active());
    log.clear();
    ws.host_activate_app(true);
    EXPECT_EQ(log, (Log{"form:ACTIVATEAPP", "form:ACTIVATE"}));
    EXPECT_EQ(ws.get_active_window(), form);
}

TEST(ModalFocus, TheWindowUnderAModalOneGetsTheFocusBackWhereItHadItWhenTheModalOneEnds) {
    struct Case {
        const char* what;
        // Runs once while the dialog is up; it must end the loop.
        std::function<void(FocusWorld&, HWND dialog)> act;
        bool dialog_activated_first;  // as a form shows itself before its modal loop
        HWND FocusWorld::*expected;   // nullptr: the form itself
    };
    auto end = [](FocusWorld& f, HWND dialog) { f.ws.end_modal(dialog, 1); };
    const Case cases[] = {
        {"ended", end, false, &FocusWorld::grid},
        {"ended, the dialog shown before its loop", end, true, &FocusWorld::grid},
        {"the dialog destroyed",
         [](FocusWorld& f, HWND dialog) {
             f.ws.destroy_window(dialog);
             f.ws.post_message(f.form, WM_NULL);  // the loop looks at its window after the next message
         },
         false, &FocusWorld::grid},
        {"the window hidden meanwhile",
         [](FocusWorld& f, HWND dialog) {
             f.ws.show_window(f.grid, SW_HIDE);
             f.ws.end_modal(dialog, 1);
         },
         false, nullptr},
        {"the window destroyed meanwhile",
         [](FocusWorld& f, HWND dialog) {
             f.ws.destroy_window(f.grid);
             f.ws.end_modal(dialog, 1);
         },
         false, nullptr},
        {"another window handed the focus over",
         [](FocusWorld& f, HWND dialog) {
             f.ws.set_focus_to_restore(f.edit);
             f.ws.end_modal(dialog, 1);
         },
         false, &FocusWorld::edit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FocusWorld f;
        f.ws.set_focus(f.grid);
        const HWND dialog = make_top(f.ws, Bounds(100, 100, 200, 100), {}, 0, false, f.form);
        const HWND button = make_child(f.ws, dialog, Bounds(10, 10, 50, 20));
        if (c.dialog_activated_first) {
            f.ws.show_window(dialog, SW_SHOW);
            f.ws.set_focus(button);
        }
        bool acted = false;
        f.host.set_idle_handler([&] {
            ASSERT_FALSE(acted) << "the loop did not end";
            acted = true;
            f.ws.set_focus(button);
            c.act(f, dialog);
        });
        f.ws.run_modal(dialog);
        EXPECT_EQ(f.ws.get_active_window(), f.form);
        const HWND expected = c.expected ? f.*c.expected : f.form;
        EXPECT_EQ(f.ws.get_focus(), expected);
        f.ws.check_invariants();
    }
}

TEST(ModalFocus, TheFocusToRestoreIsTheLastWindowThatHeldItAndOnlyWhileItCanTakeIt) {
    FocusWorld f;
    const HWND other = make_top(f.ws, Bounds(450, 0, 200, 200));
    // Activated on creation, the form took the focus itself: no control of it had it.
    EXPECT_EQ(f.ws.focus_to_restore(f.form), kNoWindow);
    f.ws.set_focus(f.edit);
    f.ws.set_focus(f.grid);
    f.ws.set_focus(f.form);
    f.ws.set_focus(other);
    EXPECT_EQ(f.ws.focus_to_restore(f.form), f.grid);
    EXPECT_EQ(f.ws.focus_to_restore(other), kNoWindow);
    EXPECT_EQ(f.ws.focus_to_restore(f.grid), kNoWindow);  // asked of a child
    f.ws.enable_window(f.grid, false);
    EXPECT_EQ(f.ws.focus_to_restore(f.form), kNoWindow);
    f.ws.enable_window(f.grid, true);
    EXPECT_EQ(f.ws.focus_to_restore(f.form), f.grid);
    // Moved into the other window, it is no longer the form's to give back.
    f.ws.set_parent(f.grid, other);
    EXPECT_EQ(f.ws.focus_to_restore(f.form), kNoWindow);
    f.ws.set_focus_to_restore(f.edit);
    EXPECT_EQ(f.ws.focus_to_restore(f.form), f.edit);
    f.ws.destroy_window(f.edit);
    EXPECT_EQ(f.ws.focus_to_restore(f.form), kNoWindow);
    f.ws.check_invariants();
}

}  // namespace
}  // namespace ui::test

namespace ui::test {
namespace {

TEST(DisplayFocus, AHiddenWindowLeavesTheKeyboardWithTheActiveFormAndPopupsStayAbove) {
    struct Case {
        const char* what;
        bool popup;
        std::function<void(WindowSystem&, HWND)> act;
        bool raised;  // a dialog's form comes to the top; a popup's does not
    };
    const Case cases[] = {
        {"popup hidden", true, [](WindowSystem& ws, HWND h) { ws.show_window(h, SW_HIDE); }, false},
        {"popup destroyed", true, [](WindowSystem& ws, HWND h) { ws.destroy_window(h); }, false},
        {"dialog hidden", false, [](WindowSystem& ws, HWND h) { ws.show_window(h, SW_HIDE); }, true},
    };
    for (const Case& c : cases) {
        FocusWorld f;
        const HWND other = c.popup ? make_popup(f.ws, Bounds(450, 10, 80, 80)) : kNoWindow;
        const HWND h = c.popup ? make_popup(f.ws, Bounds(450, 100, 80, 80))
                               : make_top(f.ws, Bounds(100, 100, 200, 100), {}, 0, true, f.form);
        if (!c.popup) f.ws.set_active_window(h);
        ASSERT_EQ(f.host.display_focus(), h) << c.what;
        const int raises_before = f.host.raise_count();
        c.act(f.ws, h);
        EXPECT_EQ(f.ws.get_active_window(), f.form) << c.what;
        EXPECT_EQ(f.host.display_focus(), f.form) << c.what;
        EXPECT_EQ(f.host.raise_count() > raises_before, c.raised) << c.what;
        if (other != kNoWindow) {
            EXPECT_TRUE(f.ws.is_visible(other)) << c.what;
        }
    }
}

}  // namespace
}  // namespace ui::test

namespace ui::test {
namespace {

TEST(DisplayFocus, AnOwnedToolWindowShownWithoutActivationLeavesTheFocusWithItsOwnerAndStaysAboveIt) {
    FocusWorld f;
    f.ws.set_focus(f.grid);
    // A floating toolbar: a borderless tool window the form owns, shown without activation.
    const HWND bar = make_top(f.ws, Bounds(100, 100, 160, 110), {}, WS_EX_TOOLWINDOW, false, f.form);
    f.ws.show_window(bar, SW_SHOWNA);
    EXPECT_EQ(f.ws.get_active_window(), f.form);
    EXPECT_EQ(f.ws.get_focus(), f.grid);
    EXPECT_EQ(f.host.display_focus(), f.form);
    // The form brought to the front takes its owned window along, not its focus away.
    f.ws.bring_window_to_top(f.form);
    EXPECT_EQ(f.ws.window_from_point(TPoint{120, 120}), bar);
    EXPECT_EQ(f.host.display_focus(), f.form);
}

}  // namespace
}  // namespace ui::test
