#include "platform/ui/StartupTrace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <string>

#include <unistd.h>

namespace ui {

namespace {

// The process's start on the boot-time clock, from /proc/self/stat (field
// 22, in clock ticks since boot); -1 when it cannot be read.
double process_start_ms() {
    std::FILE* f = std::fopen("/proc/self/stat", "r");
    if (!f) return -1;
    char buf[1024] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = 0;
    // The command name may hold spaces: the fields after it follow the last ')'.
    const char* p = std::strrchr(buf, ')');
    if (!p) return -1;
    unsigned long long start = 0;
    int field = 2;
    for (const char* q = p + 1; *q && field < 22; ++q)
        if (*q == ' ') {
            ++field;
            if (field == 22) start = std::strtoull(q + 1, nullptr, 10);
        }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    return ticks > 0 ? static_cast<double>(start) * 1000.0 / static_cast<double>(ticks) : -1;
}

double clock_ms(clockid_t clock) {
    timespec ts{};
    ::clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The process's start counts in clock ticks (10 ms here), too coarse for a
// start that should take a few of them; a launcher that knows the moment it
// started us to the nanosecond (CLOCK_MONOTONIC) may say so in
// ABONIX_TRACE_T0_NS, and the steps then line up with its own measurements.
struct Origin {
    clockid_t clock = CLOCK_BOOTTIME;
    double ms = -1;
};

Origin origin() {
    if (const char* t0 = std::getenv("ABONIX_TRACE_T0_NS"); t0 && *t0)
        return Origin{CLOCK_MONOTONIC, static_cast<double>(std::strtoull(t0, nullptr, 10)) / 1e6};
    return Origin{CLOCK_BOOTTIME, process_start_ms()};
}

}  // namespace

void startup_step(const char* step) {
    static const bool on = [] {
        const char* v = std::getenv("ABONIX_TRACE_STARTUP");
        return v && std::strcmp(v, "1") == 0;
    }();
    if (!on) return;
    static std::mutex mutex;
    static std::set<std::string> done;
    static const Origin start = origin();
    std::lock_guard lock(mutex);
    if (!done.insert(step).second) return;
    if (done.size() == 1) std::fprintf(stderr, "Startup/process start %.1f\n", 0.0);
    std::fprintf(stderr, "Startup/%s %.1f\n", step, start.ms < 0 ? 0.0 : clock_ms(start.clock) - start.ms);
    std::fflush(stderr);
}

}  // namespace ui
