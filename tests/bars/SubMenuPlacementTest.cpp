#include "bars/SubMenuPlacement.h"

#include <gtest/gtest.h>

using dxbar::SubMenuOwner;

TEST(SubMenuPlacement, StaysInsideTheWorkArea) {
    const TRect wa = Rect(0, 0, 1024, 740);  // a task bar below 740
    struct Case {
        const char* name;
        TRect owner;
        SubMenuOwner place;
        TSize size;
        TRect bounds;
        bool leftwards, upwards, cut;
    };
    const Case cases[] = {
        {"below a title", Bounds(10, 20, 40, 22), SubMenuOwner::horizontal_bar, {150, 60},
         Bounds(10, 42, 150, 60), false, false, false},
        {"below a title at the right edge moves left", Bounds(1000, 20, 24, 22), SubMenuOwner::horizontal_bar,
         {150, 60}, Bounds(874, 42, 150, 60), false, false, false},
        {"below a title near the bottom flips above it", Bounds(10, 700, 40, 22), SubMenuOwner::horizontal_bar,
         {150, 60}, Bounds(10, 640, 150, 60), false, true, false},
        {"below a title with more room below is cut", Bounds(10, 300, 40, 22), SubMenuOwner::horizontal_bar,
         {150, 500}, Bounds(10, 322, 150, 418), false, false, true},
        {"flipped above and still too tall keeps its bottom at the title", Bounds(10, 500, 40, 22),
         SubMenuOwner::horizontal_bar, {150, 600}, Rect(10, 0, 160, 500), false, true, true},
        {"wider than the work area starts at its left", Bounds(10, 20, 40, 22), SubMenuOwner::horizontal_bar,
         {1100, 60}, Bounds(0, 42, 1100, 60), false, false, false},
        {"beside a vertical bar", Bounds(0, 100, 30, 23), SubMenuOwner::vertical_bar, {150, 60},
         Bounds(30, 100, 150, 60), false, false, false},
        {"nested menu rises 2 pixels in the flat style", Bounds(200, 100, 120, 20), SubMenuOwner::submenu,
         {150, 60}, Bounds(320, 98, 150, 60), false, false, false},
        {"nested at the right edge flips to the left", Bounds(800, 100, 120, 20), SubMenuOwner::submenu,
         {150, 60}, Bounds(650, 98, 150, 60), true, false, false},
        {"nested, more room right than left: clamped, not flipped", Bounds(50, 100, 900, 20),
         SubMenuOwner::submenu, {150, 60}, Bounds(874, 98, 150, 60), false, false, false},
        {"nested near the bottom moves up to meet it", Bounds(200, 720, 120, 20), SubMenuOwner::submenu,
         {150, 60}, Bounds(320, 680, 150, 60), false, false, false},
        {"nested taller than the work area", Bounds(200, 100, 120, 20), SubMenuOwner::submenu, {150, 800},
         Bounds(320, 0, 150, 740), false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = dxbar::place_submenu(c.owner, c.place, true, c.size, wa);
        EXPECT_EQ(p.bounds, c.bounds);
        EXPECT_EQ(p.leftwards, c.leftwards);
        EXPECT_EQ(p.upwards, c.upwards);
        EXPECT_EQ(p.height_cut, c.cut);
        EXPECT_EQ(p.owner_extent, c.place == SubMenuOwner::horizontal_bar ? c.owner.Height() : c.owner.Width());
    }
}

TEST(SubMenuPlacement, OtherStylesRaiseNestedMenusByThree) {
    EXPECT_EQ(dxbar::submenu_corner(Bounds(200, 100, 120, 20), SubMenuOwner::submenu, false), Point(320, 97));
    EXPECT_EQ(dxbar::submenu_corner(Bounds(200, 100, 120, 20), SubMenuOwner::horizontal_bar, false), Point(200, 120));
}
