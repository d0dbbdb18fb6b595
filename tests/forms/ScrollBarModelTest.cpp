#include "platform/forms/ScrollBarModel.h"

#include <gtest/gtest.h>

using forms::ScrollBarModel;
using forms::ScrollPart;
using forms::ScrollValues;

TEST(ScrollBarModel, ValuesAreClamped) {
    struct Case {
        ScrollValues in;
        ScrollValues out;
    } cases[] = {
        {{0, 100, 0, 50}, {0, 100, 0, 50}},
        {{0, 100, 0, 150}, {0, 100, 0, 100}},
        {{0, 100, 0, -5}, {0, 100, 0, 0}},
        {{0, 100, 10, 100}, {0, 100, 10, 91}},  // the last page ends at max
        {{0, 100, 500, 3}, {0, 100, 101, 0}},   // page at most the whole range
        {{0, 100, -3, 3}, {0, 100, 0, 3}},
        {{1, 1012, 40, 2000}, {1, 1012, 40, 973}},
        {{0, 4, 0, 2}, {0, 4, 0, 2}},
        {{5, 2, 0, 9}, {5, 5, 0, 5}},  // max below min becomes min
    };
    for (const auto& c : cases) {
        ScrollBarModel m;
        m.set_values(c.in);
        const ScrollValues& v = m.values();
        EXPECT_EQ(v.min, c.out.min);
        EXPECT_EQ(v.max, c.out.max);
        EXPECT_EQ(v.page, c.out.page);
        EXPECT_EQ(v.pos, c.out.pos) << "pos " << c.in.pos << " page " << c.in.page;
    }
    ScrollBarModel m;
    EXPECT_FALSE(m.set_values({0, 100, 0, 0}));
    EXPECT_TRUE(m.set_pos(7));
    EXPECT_FALSE(m.set_pos(7));
}

TEST(ScrollBarModel, GeometryAndHitTest) {
    ScrollBarModel m;
    m.set_size(216, 16);  // shaft 184 between two 16-pixel arrows
    m.set_values({0, 99, 25, 0});
    // A quarter of the range is one page: the thumb is a quarter of the shaft.
    EXPECT_EQ(m.thumb_start(), 16);
    EXPECT_EQ(m.thumb_end(), 16 + 46);
    m.set_pos(75);  // the last position puts the thumb against the lower arrow
    EXPECT_EQ(m.thumb_end(), 200);
    m.set_pos(36);  // half-way: 36/75 of the free 138 pixels
    EXPECT_EQ(m.thumb_start(), 16 + 66);

    struct Case {
        int offset;
        ScrollPart part;
    } cases[] = {
        {-1, ScrollPart::None},      {0, ScrollPart::LineUp},    {15, ScrollPart::LineUp},
        {16, ScrollPart::PageUp},    {81, ScrollPart::PageUp},   {82, ScrollPart::Thumb},
        {127, ScrollPart::Thumb},    {128, ScrollPart::PageDown}, {199, ScrollPart::PageDown},
        {200, ScrollPart::LineDown}, {215, ScrollPart::LineDown}, {216, ScrollPart::None},
    };
    for (const auto& c : cases) EXPECT_EQ(m.hit(c.offset), c.part) << "offset " << c.offset;
}

TEST(ScrollBarModel, ThumbSizeLimitsAndShortBars) {
    ScrollBarModel m;
    m.set_size(216, 16);
    m.set_values({0, 9999, 1, 0});
    EXPECT_EQ(m.thumb_end() - m.thumb_start(), ScrollBarModel::kMinThumb);
    m.set_values({0, 100, 0, 0});  // no page: a square thumb
    EXPECT_EQ(m.thumb_end() - m.thumb_start(), 16);
    m.set_values({0, 100, 101, 0});  // everything visible: nothing to scroll, no thumb
    EXPECT_FALSE(m.scrollable());
    EXPECT_FALSE(m.has_thumb());
    EXPECT_EQ(m.hit(100), ScrollPart::None);
    m.set_values({0, 100, 10, 0});
    m.set_size(20, 16);  // too short for full arrows: they share the length
    EXPECT_EQ(m.arrow_size(), 10);
    EXPECT_FALSE(m.has_thumb());
    EXPECT_EQ(m.hit(9), ScrollPart::LineUp);
    EXPECT_EQ(m.hit(10), ScrollPart::LineDown);
}

TEST(ScrollBarModel, TrackingFollowsThePointerWithoutMovingThePosition) {
    ScrollBarModel m;
    m.set_size(216, 16);
    m.set_values({0, 99, 25, 0});
    m.begin_track(20);  // grabbed 4 pixels into the thumb
    EXPECT_EQ(m.track_to(20 + 69), 38);  // 69 of 138 free pixels: half of 75, rounded
    EXPECT_EQ(m.values().pos, 0);
    EXPECT_EQ(m.thumb_start(), 16 + 70);  // drawn at the track position: 38/75 of 138
    EXPECT_EQ(m.track_to(-500), 0);
    EXPECT_EQ(m.track_to(5000), 75);
    m.end_track();
    EXPECT_EQ(m.track_pos(), 0);
    EXPECT_EQ(m.thumb_start(), 16);
}
