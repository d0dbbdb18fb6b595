// The checks of a class's invariants, in debug builds only.
//
// A class states its invariants at the top of its file and tests them in
// check_invariants() with INVARIANT(condition, "what must hold"). A broken
// one names itself (and where it is checked) on standard error and ends the
// program at once: a test, a sanitizer run or an end-to-end run stops at the
// first fault instead of going on from a broken state, and no handler on the
// way can mistake it for an ordinary error.
//
// The entry points that change an object's state end with
// CHECK_INVARIANTS(object). Release builds compile both away.
#pragma once

#ifdef NDEBUG

// The condition is named but never evaluated, so what it reads counts as used.
#define INVARIANT(condition, what) ((void)sizeof(!(condition)))
#define CHECK_INVARIANTS(object) ((void)0)

#else

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void invariant_broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

#define INVARIANT(condition, what) ((condition) ? (void)0 : invariant_broken(what, __FILE__, __LINE__))
#define CHECK_INVARIANTS(object) (object).check_invariants()

#endif
