#include "bars/RecentExpansion.h"

#include <gtest/gtest.h>

using dxbar::RecentExpansion;
using Event = RecentExpansion::Event;

TEST(RecentExpansion, FourSecondsAfterOpeningUnlessTheSelectionMoved) {
    RecentExpansion e(true, false);
    e.activated(0);
    EXPECT_EQ(e.advance(3999, false), Event::none);
    EXPECT_EQ(e.advance(4000, false), Event::expand);
    EXPECT_EQ(e.state(), 2);
    e.check_invariants();

    RecentExpansion moved(true, false);
    moved.activated(0);
    moved.selection_changed(3000);
    EXPECT_EQ(moved.advance(4000, false), Event::none);
    // Four seconds after the change only the button lights up.
    EXPECT_EQ(moved.advance(7000, false), Event::highlight);
    EXPECT_EQ(moved.state(), 1);
    EXPECT_EQ(moved.advance(60000, false), Event::none);
    // The mouse resting on the lit button expands it a second later.
    moved.mouse_on_button(60000, true);
    EXPECT_EQ(moved.advance(60999, false), Event::none);
    EXPECT_EQ(moved.advance(61000, false), Event::expand);
    moved.check_invariants();
}

TEST(RecentExpansion, ButtonHoverNestedMenusAndTheKeys) {
    RecentExpansion e(true, false);
    e.activated(0);
    // Onto the button and off again before the second is over: no expansion.
    e.mouse_on_button(100, true);
    EXPECT_EQ(e.state(), 1);
    e.mouse_on_button(900, false);
    EXPECT_EQ(e.advance(5000, false), Event::none);
    // A nested menu open when the highlight is due keeps the button dark.
    e.selection_changed(5000);
    EXPECT_EQ(e.advance(9000, true), Event::none);
    EXPECT_EQ(e.state(), 0);
    // Ctrl+Down expands at once, once.
    EXPECT_EQ(e.expand_now(), Event::expand);
    EXPECT_EQ(e.expand_now(), Event::none);
    e.check_invariants();

    // Without the delay option nothing happens by time.
    RecentExpansion quiet(false, false);
    quiet.activated(0);
    quiet.selection_changed(10);
    quiet.mouse_on_button(20, true);
    EXPECT_EQ(quiet.state(), 1);
    EXPECT_FALSE(quiet.deadline());
    EXPECT_EQ(quiet.advance(100000, false), Event::none);
    // A chain already expanded opens its menus expanded.
    EXPECT_TRUE(RecentExpansion(true, true).expanded());
}
