// Where the window system's time comes from. Timers, double-click detection
// and the tick count all read one Clock: the real monotonic clock when a
// person is at the screen, a virtual one that tests move by hand, so that a
// 10-second hint timer is tested without anyone waiting ten seconds.
#pragma once

#include <cstdint>

namespace ui {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual std::int64_t now_ms() const = 0;
    // The 32-bit tick count of the Windows API: wraps after about 49 days.
    std::uint32_t tick_count() const { return static_cast<std::uint32_t>(now_ms()); }
};

class RealClock final : public Clock {
public:
    RealClock();
    std::int64_t now_ms() const override;

private:
    std::int64_t m_start_ns;
};

// Moves only when told to. The headless host advances it step by step so
// that the timers due in between fire in order (HeadlessHost::advance).
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::int64_t start_ms = 0) : m_now(start_ms) {}
    std::int64_t now_ms() const override { return m_now; }
    // Moving backwards is ignored: time never runs back for a timer.
    void set_now(std::int64_t ms) {
        if (ms > m_now) m_now = ms;
    }

private:
    std::int64_t m_now;
};

}  // namespace ui
