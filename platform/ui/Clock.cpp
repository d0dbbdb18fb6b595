#include "platform/ui/Clock.h"

#include <chrono>

namespace ui {

namespace {
std::int64_t steady_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

RealClock::RealClock() : m_start_ns(steady_ns()) {}

std::int64_t RealClock::now_ms() const { return (steady_ns() - m_start_ns) / 1'000'000; }

}  // namespace ui
