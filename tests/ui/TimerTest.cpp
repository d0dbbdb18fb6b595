#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

struct Timers : ::testing::Test {
    std::vector<std::pair<std::int64_t, UINT>> fired;  // (time, timer id)
    HeadlessHost host;
    WindowSystem& ws = host.windows();
    HWND win = make_top(ws, Bounds(0, 0, 100, 100), [this](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_TIMER) fired.emplace_back(host.now(), static_cast<UINT>(w));
        return ws.def_window_proc(h, m, w, l);
    });
};

TEST_F(Timers, FireInDueOrderEachAtItsOwnTime) {
    struct Start {
        UINT id;
        int interval;
        bool one_shot;
    };
    const Start starts[] = {{1, 100, false}, {2, 60, false}, {3, 20, false}, {4, 50, true}, {5, 60, false}};
    for (const Start& s : starts) ws.set_timer(win, s.id, s.interval, {}, s.one_shot);
    host.advance(130);
    const std::vector<std::pair<std::int64_t, UINT>> expected{
        {20, 3}, {40, 3}, {50, 4}, {60, 2}, {60, 5}, {60, 3}, {80, 3}, {100, 1}, {100, 3}, {120, 2}, {120, 5}, {120, 3}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(host.now(), 130);
}

TEST_F(Timers, RestartKillAndThreadTimers) {
    ws.set_timer(win, 7, 1000);
    host.advance(600);
    ws.set_timer(win, 7, 1000);  // a restart counts from now, as the hint delay does
    host.advance(999);
    EXPECT_TRUE(fired.empty());
    host.advance(1);
    EXPECT_EQ(fired, (std::vector<std::pair<std::int64_t, UINT>>{{1600, 7}}));
    EXPECT_TRUE(ws.kill_timer(win, 7));
    EXPECT_FALSE(ws.kill_timer(win, 7));

    std::vector<std::int64_t> ticks;
    UINT id = 0;
    id = ws.set_timer(kNoWindow, 0, 20, [&](HWND, UINT t) {
        ticks.push_back(host.now());
        if (ticks.size() == 3) ws.kill_timer(kNoWindow, t);
    });
    EXPECT_NE(id, 0u);
    EXPECT_EQ(ws.set_timer(kNoWindow, 0, 20), 0u) << "a thread timer needs a procedure";
    host.advance(200);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1620, 1640, 1660}));
}

TEST_F(Timers, DieWithTheirWindowOrWhenKilledByAnEarlierTick) {
    const HWND other = make_top(ws, Bounds(0, 0, 10, 10));
    ws.set_timer(other, 1, 10);
    ws.destroy_window(other);
    EXPECT_FALSE(ws.next_timer_due().has_value());

    // Two timers due at the same moment: the first one's handler stops the second.
    ws.subclass_window(win, [&, prev = ws.get_window_proc(win)](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_TIMER && w == 1) ws.kill_timer(h, 2);
        return ws.call_window_proc(prev, h, m, w, l);
    });
    ws.set_timer(win, 1, 10);
    ws.set_timer(win, 2, 10);
    host.advance(15);
    EXPECT_EQ(fired, (std::vector<std::pair<std::int64_t, UINT>>{{10, 1}}));
}

}  // namespace
}  // namespace ui::test
