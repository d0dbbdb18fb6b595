#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

struct Hooks : ::testing::Test {
    Log log;
    HeadlessHost host;
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(0, 0, 300, 200), logging_proc(log, "form"));
    HWND edit = make_child(ws, form, Bounds(0, 0, 100, 20), logging_proc(log, "edit"));

    void SetUp() override {
        ws.set_focus(edit);
        log.clear();
    }
    // A keyboard hook that logs and passes on, or swallows the given key's down.
    HHOOK logging_hook(const std::string& name, int swallow_vk = 0) {
        auto handle = std::make_shared<HHOOK>(0);
        *handle = ws.set_windows_hook(HookKind::keyboard, [this, name, swallow_vk, handle](int code, WPARAM w, LPARAM l) {
            const bool up = (l & KF_UP) != 0;
            log.push_back(name + (up ? ":up " : ":down ") + std::to_string(w));
            if (static_cast<int>(w) == swallow_vk && !up) return LRESULT{1};
            return ws.call_next_hook(*handle, code, w, l);
        });
        return *handle;
    }
};

TEST_F(Hooks, NewestHookRunsFirstAndPassesOn) {
    logging_hook("old");
    logging_hook("new");
    host.key_down(VK_F1);
    EXPECT_EQ(log, (Log{"new:down 112", "old:down 112", "edit:KEYDOWN"}));
}

TEST_F(Hooks, ASwallowedKeyNeverReachesTheFocusedWindowNorDoesItsCharacter) {
    logging_hook("old");
    logging_hook("bars", 'X');
    ws.queue_key(VK_CONTROL, true);
    ws.queue_key('X', true);
    ws.queue_char(0x18);
    ws.queue_key('X', false);
    ws.queue_key(VK_CONTROL, false);
    host.pump();
    EXPECT_EQ(log, (Log{"bars:down 17", "old:down 17", "edit:KEYDOWN",  // Ctrl
                        "bars:down 88",                                 // swallowed, "old" never sees it
                        "bars:up 88", "old:up 88", "edit:KEYUP",
                        "bars:up 17", "old:up 17", "edit:KEYUP"}));
    // The swallowed key still counts as having been down.
    EXPECT_EQ(ws.get_key_state('X') & 1, 1);
}

TEST_F(Hooks, RemovedHooksLeaveTheChainEvenFromInsideACall) {
    const HHOOK a = logging_hook("a");
    HHOOK self = 0;
    self = ws.set_windows_hook(HookKind::keyboard, [&](int code, WPARAM w, LPARAM l) {
        log.push_back("once");
        ws.unhook_windows_hook(self);
        return ws.call_next_hook(self, code, w, l);
    });
    host.key_down(VK_F1);
    host.key_down(VK_F2);
    EXPECT_EQ(log, (Log{"once", "a:down 112", "edit:KEYDOWN", "a:down 113", "edit:KEYDOWN"}));
    EXPECT_TRUE(ws.unhook_windows_hook(a));
    EXPECT_FALSE(ws.unhook_windows_hook(a));
}

TEST_F(Hooks, MouseHookSeesScreenPointAndCanSwallow) {
    std::vector<std::pair<UINT, TPoint>> seen;
    const HHOOK hook = ws.set_windows_hook(HookKind::mouse, [&](int, WPARAM w, LPARAM l) {
        const auto* info = reinterpret_cast<const MouseHookInfo*>(l);
        seen.emplace_back(static_cast<UINT>(w), info->pt);
        return LRESULT(w == WM_LBUTTONDOWN ? 1 : 0);
    });
    host.click(TPoint{50, 10});
    EXPECT_EQ(log, (Log{"edit:MOUSEENTER", "edit:LBUTTONUP"}));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], (std::pair<UINT, TPoint>{WM_LBUTTONDOWN, TPoint{50, 10}}));
    ws.unhook_windows_hook(hook);
}

TEST_F(Hooks, CallWndProcHookSeesSentMessagesOnly) {
    std::vector<UINT> seen;
    const HHOOK hook = ws.set_windows_hook(HookKind::call_wnd_proc, [&](int, WPARAM, LPARAM l) {
        const auto* info = reinterpret_cast<const CallWndProcInfo*>(l);
        if (info->hwnd == form) seen.push_back(info->message);
        return LRESULT{0};
    });
    ws.send_message(form, WM_USER + 1, 7, 9);
    ws.post_message(form, WM_USER + 2);
    host.pump();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1}));
    ws.unhook_windows_hook(hook);
}

}  // namespace
}  // namespace ui::test
