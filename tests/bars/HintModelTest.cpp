#include "bars/HintPlacement.h"
#include "bars/HintSchedule.h"

#include "text/Cp1251.h"

#include <gtest/gtest.h>

using text::utf8_to_cp1251;

using dxbar::HintSchedule;
using Action = HintSchedule::Action;
using State = HintSchedule::State;

TEST(HintText, ShortPartAndShortcut) {
    struct Case {
        const char* hint;
        TShortCut shortcut;
        bool show_shortcut;
        const char* text;
    };
    const Case cases[] = {
        {"О программе", 112, true, "О программе (F1)"},
        {"Мы в интернете", 16471, true, "Мы в интернете (Ctrl+W)"},
        {"Выход|Закрывает программу", 16472, true, "Выход (Ctrl+X)"},
        {"Выход", 16472, false, "Выход"},
        {"Фамилия", 0, true, "Фамилия"},
        {"|только длинная", 112, true, ""},
        {"", 112, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(dxbar::hint_text(utf8_to_cp1251(c.hint), c.shortcut, c.show_shortcut), utf8_to_cp1251(c.text));
    }
}

TEST(HintPlacement, BelowTheCursorInsideTheWorkArea) {
    const TRect wa = Rect(0, 0, 800, 570);
    struct Case {
        const char* name;
        TPoint cursor;
        TSize text;
        TRect bounds;
    };
    const Case cases[] = {
        {"20 below the cursor, 3 around the text", {100, 100}, {60, 13}, Bounds(100, 120, 66, 19)},
        {"right edge: moved left", {780, 100}, {60, 13}, Bounds(734, 120, 66, 19)},
        {"bottom edge: above the cursor", {100, 560}, {60, 13}, Bounds(100, 530, 66, 19)},
        // Wrapped at the work area's width it is as wide as the area: starts at its left.
        {"as wide as the work area", {300, 100}, {800, 26}, Bounds(0, 120, 806, 32)},
        {"never above the work area", {100, 10}, {60, 600}, Bounds(100, 0, 66, 606)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dxbar::place_hint(c.cursor, c.text, wa), c.bounds);
    }
}

TEST(HintSchedule, DelayLifetimeAndTheReshowWindow) {
    HintSchedule s;
    // Resting on an item: nothing for a second, then the hint.
    EXPECT_EQ(s.hot_changed(0, true), Action::none);
    EXPECT_EQ(s.state(), State::pending);
    EXPECT_EQ(s.advance(999), Action::none);
    EXPECT_EQ(s.advance(1000), Action::show);
    s.shown(1000, true);
    EXPECT_EQ(s.deadline(), 11000);
    // The next item while shown: at once.
    EXPECT_EQ(s.hot_changed(1500, true), Action::show);
    s.shown(1500, true);
    // Ten seconds later it goes; within 400 ms a new item shows at once.
    EXPECT_EQ(s.advance(11499), Action::none);
    EXPECT_EQ(s.advance(11500), Action::hide);
    EXPECT_EQ(s.state(), State::recently_hidden);
    EXPECT_EQ(s.hot_changed(11899, true), Action::show);
    s.shown(11899, true);
    // Off all items: hidden, and the next item within 400 ms is at once...
    EXPECT_EQ(s.hot_changed(12000, false), Action::hide);
    EXPECT_EQ(s.hot_changed(12399, true), Action::show);
    s.shown(12399, true);
    // ...but after 400 ms the delay applies again.
    EXPECT_EQ(s.hot_changed(13000, false), Action::hide);
    EXPECT_EQ(s.hot_changed(13400, true), Action::none);
    EXPECT_EQ(s.state(), State::pending);
    s.check_invariants();
}

TEST(HintSchedule, LeavingBeforeTheDelayShowsNothingAndOpensNoReshowWindow) {
    HintSchedule s;
    s.hot_changed(0, true);
    EXPECT_EQ(s.hot_changed(500, false), Action::none);
    EXPECT_EQ(s.state(), State::idle);
    EXPECT_EQ(s.advance(5000), Action::none);
    // A new item after that waits its full second.
    EXPECT_EQ(s.hot_changed(5000, true), Action::none);
    EXPECT_EQ(s.advance(5999), Action::none);
    EXPECT_EQ(s.advance(6000), Action::show);
    // An item without a hint text shows nothing: the schedule goes back to idle.
    s.shown(6000, false);
    EXPECT_EQ(s.state(), State::idle);
    EXPECT_EQ(s.hot_changed(6100, true), Action::none);
    s.check_invariants();
}
