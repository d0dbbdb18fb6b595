#include "platform/gfx/Region.h"

#include <gtest/gtest.h>

namespace {

bool overlap_free(const gfx::Region& r) {
    const auto& rs = r.rects();
    for (std::size_t i = 0; i < rs.size(); ++i)
        for (std::size_t j = i + 1; j < rs.size(); ++j)
            if (gfx::intersects(rs[i], rs[j])) return false;
    return true;
}

TEST(RegionTest, UnionSubtractIntersectKeepPixelsOnce) {
    gfx::Region r(Rect(0, 0, 10, 10));
    r.add(Rect(5, 5, 15, 15));
    EXPECT_EQ(r.area(), 175);
    EXPECT_TRUE(overlap_free(r));
    EXPECT_TRUE(r.contains({14, 14}));
    EXPECT_FALSE(r.contains({14, 2}));
    EXPECT_EQ(r.bounds(), Rect(0, 0, 15, 15));

    r.subtract(Rect(2, 2, 12, 12));
    EXPECT_EQ(r.area(), 175 - 88);
    EXPECT_FALSE(r.intersects(Rect(3, 3, 11, 11)));
    EXPECT_TRUE(overlap_free(r));

    r.intersect(Rect(0, 0, 2, 15));
    EXPECT_EQ(r.area(), 20);
    EXPECT_TRUE(r.covers(Rect(0, 0, 2, 10)));
    EXPECT_FALSE(r.covers(Rect(0, 0, 3, 10)));
}

TEST(RegionTest, EqualityIsBySetOfPixels) {
    gfx::Region a(Rect(0, 0, 4, 2));
    a.add(Rect(0, 2, 4, 4));
    EXPECT_EQ(a, gfx::Region(Rect(0, 0, 4, 4)));
    EXPECT_FALSE(a == gfx::Region(Rect(0, 0, 4, 3)));
}

}  // namespace
