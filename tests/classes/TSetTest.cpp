#include "platform/classes/TSet.h"

#include <gtest/gtest.h>

namespace {
enum Opt { oA, oB, oC, oLast = 63 };
}

TEST(TSet, OperatorsAddRemoveAndIntersect) {
    TSet<Opt> s{oA, oC};
    EXPECT_TRUE(s.Contains(oA));
    EXPECT_FALSE(s.Contains(oB));
    EXPECT_EQ(s + oB, (TSet<Opt>{oA, oB, oC}));
    EXPECT_EQ(s - oA, TSet<Opt>{oC});
    EXPECT_EQ(s * (TSet<Opt>{oC, oB}), TSet<Opt>{oC});
    s += oLast;
    EXPECT_TRUE(s.Contains(oLast));
    s -= TSet<Opt>{oA, oC, oLast};
    EXPECT_TRUE(s.Empty());
}
