#include "UiTestSupport.h"

#include "text/Cp1251.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

struct Input : ::testing::Test {
    std::vector<Msg> got;
    HeadlessHost host{800, 600};
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(0, 0, 400, 300), recorder());
    HWND edit = make_child(ws, form, Bounds(10, 10, 100, 20), recorder());
    HWND grid = make_child(ws, form, Bounds(10, 40, 300, 200), recorder());

    WndProc recorder() {
        return [this](HWND h, UINT m, WPARAM w, LPARAM l) {
            if (is_key_message(m) || is_mouse_message(m) || m == CM_MOUSEENTER || m == CM_MOUSELEAVE)
                got.push_back(Msg{h, m, w, l, 0, {}});
            return ws.def_window_proc(h, m, w, l);
        };
    }
    void SetUp() override {
        ws.set_focus(grid);
        got.clear();
    }
};

TEST_F(Input, KeysArriveWithWindowsCodesAndFlags) {
    struct Case {
        int vk;
        std::vector<int> modifiers;
        UINT message;
        bool alt_flag;
    };
    const Case cases[] = {
        {VK_F1, {}, WM_KEYDOWN, false},
        {'W', {VK_CONTROL}, WM_KEYDOWN, false},
        {'X', {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, false},
        {'F', {VK_MENU}, WM_SYSKEYDOWN, true},
        {VK_F10, {}, WM_SYSKEYDOWN, false},
    };
    for (const Case& c : cases) {
        got.clear();
        for (int m : c.modifiers) ws.queue_key(m, true);
        ws.queue_key(c.vk, true);
        ws.queue_key(c.vk, false);
        for (int m : c.modifiers) ws.queue_key(m, false);
        host.pump();
        const auto it = std::find_if(got.begin(), got.end(), [&](const Msg& m) { return int(m.wParam) == c.vk; });
        ASSERT_NE(it, got.end()) << c.vk;
        EXPECT_EQ(it->hwnd, grid);
        EXPECT_EQ(it->message, c.message) << c.vk;
        EXPECT_EQ((it->lParam & KF_ALTDOWN) != 0, c.alt_flag) << c.vk;
        const auto up = std::find_if(it + 1, got.end(), [&](const Msg& m) { return int(m.wParam) == c.vk; });
        ASSERT_NE(up, got.end());
        EXPECT_EQ(up->message, c.message + 1) << "its key-up";
        EXPECT_NE(up->lParam & KF_UP, 0);
    }
}

TEST_F(Input, KeysThatTypeControlCharacters) {
    struct Case {
        int vk;
        std::vector<int> modifiers;
        int ch;  // 0: none
    };
    const Case cases[] = {{VK_RETURN, {}, 13}, {VK_BACK, {}, 8},   {VK_ESCAPE, {}, 27},         {VK_TAB, {}, 9},
                          {'X', {VK_CONTROL}, 0x18}, {'X', {}, 0}, {'X', {VK_CONTROL, VK_MENU}, 0}, {VK_F1, {}, 0}};
    for (const Case& c : cases) {
        got.clear();
        host.press_key(c.vk, c.modifiers);
        std::vector<WPARAM> chars;
        for (const Msg& m : got)
            if (m.message == WM_CHAR) chars.push_back(m.wParam);
        EXPECT_EQ(chars, c.ch ? std::vector<WPARAM>{WPARAM(c.ch)} : std::vector<WPARAM>{}) << c.vk;
    }
}

TEST_F(Input, CharactersArriveAsCp1251) {
    host.type_chars("Ив"_a);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_CHAR);
    EXPECT_EQ(got[0].wParam, 0xC8u);
    EXPECT_EQ(got[1].wParam, 0xE2u);
}

TEST_F(Input, KeyStateFollowsTheLoopWhileAsyncStateFollowsTheKeyboard) {
    std::int16_t state_seen = 0;
    ws.subclass_window(grid, [&, prev = ws.get_window_proc(grid)](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_KEYDOWN && w == 'A') state_seen = ws.get_key_state(VK_SHIFT);
        return ws.call_window_proc(prev, h, m, w, l);
    });
    ws.queue_key(VK_SHIFT, true);
    ws.queue_key('A', true);
    ws.queue_key(VK_SHIFT, false);
    EXPECT_LT(ws.get_async_key_state('A'), 0);
    EXPECT_GE(ws.get_async_key_state(VK_SHIFT), 0);
    EXPECT_GE(ws.get_key_state(VK_SHIFT), 0) << "the loop has not seen the press yet";
    host.pump();
    EXPECT_LT(state_seen, 0) << "Shift was down when A was handled";
    EXPECT_GE(ws.get_key_state(VK_SHIFT), 0);
    EXPECT_EQ(ws.get_key_state(VK_SHIFT) & 1, 1) << "one press toggles";
}

TEST_F(Input, SecondPressBecomesADoubleClickOnlyWhenCloseInTimeAndPlace) {
    struct Case {
        const char* what;
        int wait_ms;
        int dx;
        bool double_clicks;
        UINT second;
    };
    const Case cases[] = {
        {"quick", 100, 0, true, WM_LBUTTONDBLCLK},  {"at the limit", 500, 2, true, WM_LBUTTONDBLCLK},
        {"too slow", 501, 0, true, WM_LBUTTONDOWN}, {"moved", 100, 3, true, WM_LBUTTONDOWN},
        {"window without double clicks", 100, 0, false, WM_LBUTTONDOWN},
    };
    for (const Case& c : cases) {
        HeadlessHost h;
        auto& w = h.windows();
        std::vector<UINT> downs;
        CreateParams p;
        p.bounds = Bounds(0, 0, 100, 100);
        p.style = WS_POPUP | WS_VISIBLE;
        p.double_clicks = c.double_clicks;
        p.proc = [&](HWND hw, UINT m, WPARAM wp, LPARAM lp) {
            if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) downs.push_back(m);
            return w.def_window_proc(hw, m, wp, lp);
        };
        w.create_window(p);
        h.click(TPoint{50, 50});
        h.advance(c.wait_ms);
        h.click(TPoint{50 + c.dx, 50});
        h.click(TPoint{50 + c.dx, 50});
        ASSERT_EQ(downs.size(), 3u) << c.what;
        EXPECT_EQ(downs[1], c.second) << c.what;
        const UINT third = !c.double_clicks ? WM_LBUTTONDOWN
                           : c.second == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK;
        EXPECT_EQ(downs[2], third) << c.what << ": a pair is never three presses";
    }
}

TEST_F(Input, MouseMessagesCarryClientPointButtonsAndModifiers) {
    ws.queue_key(VK_SHIFT, true);
    host.mouse_down(MouseButton::right, TPoint{20, 50});
    host.mouse_up(MouseButton::right, TPoint{20, 50});
    ws.queue_key(VK_SHIFT, false);
    host.pump();
    std::vector<Msg> buttons;
    std::copy_if(got.begin(), got.end(), std::back_inserter(buttons),
                 [](const Msg& m) { return m.message == WM_RBUTTONDOWN || m.message == WM_RBUTTONUP; });
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].hwnd, grid);
    EXPECT_EQ(buttons[0].lParam, make_lparam(10, 10));
    EXPECT_EQ(buttons[0].wParam, MK_RBUTTON | MK_SHIFT);
    EXPECT_EQ(buttons[1].wParam, MK_SHIFT);
}

TEST_F(Input, PointerEnteringAndLeavingWindows) {
    host.mouse_move(TPoint{20, 15});
    host.mouse_move(TPoint{25, 15});
    host.mouse_move(TPoint{20, 50});
    host.mouse_move(TPoint{700, 500});
    std::vector<std::pair<HWND, UINT>> seen;
    for (const Msg& m : got)
        if (m.message != WM_MOUSEMOVE) seen.emplace_back(m.hwnd, m.message);
    const std::vector<std::pair<HWND, UINT>> expected{
        {edit, CM_MOUSEENTER}, {edit, CM_MOUSELEAVE}, {grid, CM_MOUSEENTER}, {grid, CM_MOUSELEAVE}};
    EXPECT_EQ(seen, expected);
}

TEST_F(Input, EachWindowShowsItsOwnCursorUnlessAParentDecides) {
    ws.set_window_cursor(edit, Cursor{StandardCursor::ibeam, nullptr});
    make_child(ws, grid, Bounds(0, 0, 20, 20));  // at (15, 45): no cursor of its own
    struct Step {
        TPoint pt;
        StandardCursor shape;
    };
    const Step steps[] = {{{20, 15}, StandardCursor::ibeam}, {{5, 5}, StandardCursor::arrow},
                          {{20, 15}, StandardCursor::ibeam}, {{15, 45}, StandardCursor::arrow}};
    for (const Step& s : steps) {
        host.mouse_move(s.pt);
        EXPECT_EQ(host.cursor().shape, s.shape) << s.pt.X << "," << s.pt.Y;
    }
    // A parent that decides for its children wins.
    ws.subclass_window(form, [&, prev = ws.get_window_proc(form)](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_SETCURSOR) {
            ws.set_cursor(Cursor{StandardCursor::wait, nullptr});
            return LRESULT{1};
        }
        return ws.call_window_proc(prev, h, m, w, l);
    });
    host.mouse_move(TPoint{20, 15});
    EXPECT_EQ(host.cursor().shape, StandardCursor::wait);
}

TEST_F(Input, RightButtonReleaseAsksForAContextMenuUpTheParents) {
    std::vector<std::pair<HWND, LPARAM>> asked;
    ws.subclass_window(form, [&, prev = ws.get_window_proc(form)](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_CONTEXTMENU) asked.emplace_back(static_cast<HWND>(w), l);
        return ws.call_window_proc(prev, h, m, w, l);
    });
    host.click(TPoint{50, 60}, MouseButton::right);
    EXPECT_EQ(asked, (std::vector<std::pair<HWND, LPARAM>>{{grid, make_lparam(50, 60)}}));
}

TEST_F(Input, WheelGoesToTheFocusAndUpToItsParentsByDefault) {
    host.wheel(-WHEEL_DELTA, TPoint{300, 250});
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].hwnd, grid);
    EXPECT_EQ(got[1].hwnd, form);
    EXPECT_EQ(get_wheel_delta_wparam(got[0].wParam), -120);
    EXPECT_EQ(got[0].lParam, make_lparam(300, 250)) << "screen coordinates";
}

}  // namespace
}  // namespace ui::test
