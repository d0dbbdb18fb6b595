// Window and thread timers.
//
// Invariants:
//  - A timer belongs to a live window or is a thread timer (kNoWindow) with
//    a procedure; a window's timers die with it.
//  - A timer fires at most once per due time, in due order (ties: the order
//    they were set); a one-shot timer is removed once its message is handled.
#include "platform/ui/WindowSystemDetail.h"

#include "platform/classes/Exception.h"

#include <algorithm>

namespace ui {
// ---- timers ----------------------------------------------------------------------------

UINT WindowSystem::set_timer(HWND h, UINT id, int interval_ms, TimerProc proc, bool one_shot) {
    if (h != kNoWindow && !is_window(h)) return 0;
    if (h == kNoWindow) {
        if (!proc) return 0;
        if (id == 0 || !m_timers.count({kNoWindow, id})) id = m_next_thread_timer++;
    }
    Timer t;
    t.interval = std::max(1, interval_ms);
    t.due = clock().now_ms() + t.interval;
    t.seq = m_timer_seq++;
    t.proc = std::move(proc);
    t.one_shot = one_shot;
    m_timers[{h, id}] = std::move(t);
    return id;
}

bool WindowSystem::kill_timer(HWND h, UINT id) { return m_timers.erase({h, id}) > 0; }

std::optional<std::int64_t> WindowSystem::next_timer_due() const {
    std::optional<std::int64_t> due;
    for (const auto& [key, t] : m_timers)
        if (!t.expired && (!due || t.due < *due)) due = t.due;
    return due;
}

bool WindowSystem::take_timer(Msg& msg, HWND filter, UINT min, UINT max, unsigned remove) {
    const std::int64_t now = clock().now_ms();
    auto best = m_timers.end();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        const Timer& t = it->second;
        if (t.expired || t.due > now) continue;
        Msg probe;
        probe.hwnd = it->first.first;
        probe.message = WM_TIMER;
        if (!matches(probe, filter, min, max)) continue;
        if (best == m_timers.end() || t.due < best->second.due ||
            (t.due == best->second.due && t.seq < best->second.seq))
            best = it;
    }
    if (best == m_timers.end()) return false;
    msg = Msg{};
    msg.hwnd = best->first.first;
    msg.message = WM_TIMER;
    msg.wParam = best->first.second;
    msg.time = now;
    msg.pt = m_cursor_pos;
    if (remove & PM_REMOVE) {
        Timer& t = best->second;
        if (t.one_shot) {
            t.expired = true;
        } else {
            // The next tick counts from the one that was due, so a late loop
            // does not stretch the timer; missed ticks are not made up.
            t.due = std::max(t.due + t.interval, now + 1);
            t.seq = m_timer_seq++;
        }
    }
    return true;
}

}  // namespace ui
