#include "platform/classes/Invariant.h"
#include "platform/classes/ScopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Counted {
    int updates = 0;
    int ends = 0;
    void BeginUpdate() { ++updates; }
    void EndUpdate() {
        --updates;
        ++ends;
    }
    void Disable() { ++updates; }
    void Enable() { --updates; }
};

}  // namespace

TEST(ScopeExit, AStepRunsOnEveryWayOutUnlessReleased) {
    int runs = 0;
    { ScopeExit s([&] { ++runs; }); }
    EXPECT_THROW(
        {
            ScopeExit s([&] { ++runs; });
            throw std::runtime_error("fails half-way");
        },
        std::runtime_error);
    {
        ScopeExit s([&] { ++runs; });
        s.release();
    }
    EXPECT_EQ(runs, 2);
}

TEST(ScopeExit, UpdateLockEndsTheUpdateAlsoWhenTheScopeThrows) {
    Counted c;
    EXPECT_THROW(
        {
            const UpdateLock outer(c);
            const UpdateLock inner(c);
            EXPECT_EQ(c.updates, 2);
            throw std::runtime_error("a handler failed");
        },
        std::runtime_error);
    EXPECT_EQ(c.updates, 0);
    EXPECT_EQ(c.ends, 2);
    {
        const UpdateLock<Counted, &Counted::Disable, &Counted::Enable> other(c);
        EXPECT_EQ(c.updates, 1);
    }
    EXPECT_EQ(c.updates, 0);
}

TEST(ScopeExit, AnEndStepThatThrowsOnANormalExitReachesTheCaller) {
    EXPECT_THROW({ ScopeExit s([] { throw std::runtime_error("end failed"); }); }, std::runtime_error);
}

TEST(ScopeExit, ScopedValuePutsTheOldValueBack) {
    int depth = 3;
    EXPECT_THROW(
        {
            const ScopedValue d(depth, depth + 1);
            EXPECT_EQ(depth, 4);
            throw std::runtime_error("x");
        },
        std::runtime_error);
    EXPECT_EQ(depth, 3);
}

#ifndef NDEBUG
TEST(InvariantDeathTest, ABrokenInvariantNamesItselfAndEndsTheProgram) {
    const int rows = 2;
    INVARIANT(rows == 2, "never fails");
    EXPECT_DEATH(INVARIANT(rows < 0, "rows: never negative"), "invariant broken: rows: never negative");
}
#endif
