// Exceptions never leave the message loop, and the keyboard layout's key for
// a typed character.
#include "UiTestSupport.h"

#include "platform/classes/Exception.h"
#include "platform/ui/KeyboardLayout.h"
#include "platform/ui/ScopedHook.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace ui::test {
namespace {

struct Failures : ::testing::Test {
    std::vector<std::string> reported;
    HeadlessHost host;
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(0, 0, 300, 200));

    void SetUp() override {
        ws.set_exception_handler([this](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const Exception& x) {
                reported.push_back(x.Message());
            }
        });
        host.pump();
    }
    void TearDown() override { ws.set_exception_handler({}); }
};

TEST_F(Failures, EachPlaceReportsToTheHandlerAndTheLoopGoesOn) {
    int handled_after = 0;
    // A subclassed window procedure.
    ws.subclass_window(form, [&, prev = ws.get_window_proc(form)](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_USER) throw Exception("procedure");
        if (m == WM_USER + 1) ++handled_after;
        return ws.call_window_proc(prev, h, m, w, l);
    });
    ws.post_message(form, WM_USER);
    ws.post_message(form, WM_USER + 1);
    host.pump();
    // A hook.
    {
        ScopedHook hook(ws, HookKind::keyboard, [](int, WPARAM w, LPARAM l) -> LRESULT {
            if (w == VK_F5 && !(l & KF_UP)) throw Exception("hook");
            return 0;
        });
        host.press_key(VK_F5);
    }
    // A timer procedure.
    ws.set_timer(kNoWindow, 0, 10, [](HWND, UINT) { throw Exception("timer"); }, true);
    host.advance(20);
    // A worker's send: the worker learns that it failed; other sends succeed.
    std::optional<LRESULT> failed_send = LRESULT{1};
    std::optional<LRESULT> good_send;
    bool call_ok = true;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        failed_send = ws.try_send_message(form, WM_USER);
        good_send = ws.try_send_message(form, WM_USER + 1);
        call_ok = ws.call_on_gui_thread([] { throw Exception("worker call"); });
        finished = true;
        ws.signal();
    });
    ws.wait_dispatching([&] { return finished.load(); });
    worker.join();
    EXPECT_FALSE(failed_send.has_value());
    EXPECT_TRUE(good_send.has_value());
    EXPECT_FALSE(call_ok);
    ws.post_message(form, WM_USER + 1);
    host.pump();
    EXPECT_EQ(reported, (std::vector<std::string>{"procedure", "hook", "timer", "procedure", "worker call"}));
    EXPECT_EQ(handled_after, 3);
    EXPECT_NO_THROW(ws.check_invariants());
}

TEST(Handles, AreUniqueAcrossWindowSystems) {
    HWND first = kNoWindow;
    {
        HeadlessHost host;
        first = make_top(host.windows(), Bounds(0, 0, 10, 10));
    }
    HeadlessHost host;
    const HWND second = make_top(host.windows(), Bounds(0, 0, 10, 10));
    EXPECT_NE(first, second);
    EXPECT_FALSE(host.windows().is_window(first));
}

TEST(KeyForChar, TheLayoutsKeyTypesTheCharacter) {
    HeadlessHost host;
    struct Case {
        bool russian;
        unsigned char ch;
        std::int16_t expected;
    } cases[] = {
        {false, 'f', 'F'},          {false, 'F', 'F' | kShiftForKey}, {false, '1', '1'},
        {false, 0xF4 /* ф */, -1},  {true, 0xF4 /* ф */, 'A'},       {true, 0xD4 /* Ф */, 'A' | kShiftForKey},
        {true, 0xE9 /* й */, 'Q'},  {true, 0xE6 /* ж */, VK_OEM_1},   {true, 0xB8 /* ё */, VK_OEM_3},
        {true, 'f', -1},
    };
    for (const Case& c : cases) {
        host.set_keyboard_layout(c.russian ? KeyboardLayout::russian() : KeyboardLayout::english());
        EXPECT_EQ(host.windows().key_for_char(c.ch), c.expected) << int(c.ch);
    }
}

}  // namespace
}  // namespace ui::test
