#include "engine/LostPages.h"

#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace engine {
namespace {

// Open tables and their index files, plus the mappings kept after closing: a
// few dozen at most in this program. A full table only costs the mapping.
constexpr std::size_t kSlots = 512;

struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<std::atomic<bool>*> lost{nullptr};
};

Slot g_slots[kSlots];
std::atomic<unsigned long> g_faults{0};
struct sigaction g_previous {};
std::once_flag g_installed;
std::mutex g_registering;  // watch() and unwatch(); the handler only reads

void pass_on(int sig, siginfo_t* info, void* context) {
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) return g_previous.sa_sigaction(sig, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        return g_previous.sa_handler(sig);
    }
    // The default action: put it back, and the faulting read raises the signal again on return.
    struct sigaction def {};
    def.sa_handler = SIG_DFL;
    sigemptyset(&def.sa_mask);
    ::sigaction(sig, &def, nullptr);
}

void on_bus_error(int sig, siginfo_t* info, void* context) {
    const auto addr = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& s : g_slots) {
        std::atomic<bool>* lost = s.lost.load(std::memory_order_acquire);
        if (!lost) continue;
        const std::uintptr_t begin = s.begin.load(std::memory_order_relaxed);
        const std::uintptr_t end = s.end.load(std::memory_order_relaxed);
        if (addr < begin || addr >= end) continue;
        const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        const std::uintptr_t from = addr & ~(page - 1);
        // Everything from the fault to the mapping's end: one fault per lost file, not per page.
        void* p = ::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (p == MAP_FAILED) break;
        lost->store(true, std::memory_order_relaxed);
        g_faults.fetch_add(1, std::memory_order_relaxed);
        std::atomic_signal_fence(std::memory_order_seq_cst);
        return;
    }
    pass_on(sig, info, context);
}

void install() {
    struct sigaction sa {};
    sa.sa_sigaction = on_bus_error;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGBUS, &sa, &g_previous);
}

}  // namespace

bool LostPages::watch(const void* begin, std::size_t size, std::atomic<bool>* lost) {
    std::call_once(g_installed, install);
    const auto b = reinterpret_cast<std::uintptr_t>(begin);
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    std::lock_guard lock(g_registering);
    for (Slot& s : g_slots) {
        if (s.lost.load(std::memory_order_relaxed)) continue;
        // The range first: the handler looks at a slot only once its flag is there.
        s.begin.store(b, std::memory_order_relaxed);
        s.end.store((b + size + page - 1) & ~(page - 1), std::memory_order_relaxed);
        s.lost.store(lost, std::memory_order_release);
        return true;
    }
    return false;
}

void LostPages::unwatch(std::atomic<bool>* lost) {
    std::lock_guard lock(g_registering);
    for (Slot& s : g_slots) {
        if (s.lost.load(std::memory_order_relaxed) != lost) continue;
        s.lost.store(nullptr, std::memory_order_release);
        return;
    }
}

unsigned long LostPages::faults() { return g_faults.load(std::memory_order_relaxed); }

}  // namespace engine
