#include "bars/MenuAnimation.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using dxbar::MenuAnimationKind;
using dxbar::MenuAnimationSetting;

TEST(MenuAnimation, OnlyMouseOpeningsAnimate) {
    struct Case {
        const char* name;
        dxbar::MenuAnimationRequest request;
        int draw;
        MenuAnimationKind kind;
    };
    const Case cases[] = {
        {"random, low draw", {MenuAnimationSetting::random, true, true, false}, 49, MenuAnimationKind::unfold},
        {"random, high draw", {MenuAnimationSetting::random, true, true, false}, 50, MenuAnimationKind::slide},
        {"keyboard", {MenuAnimationSetting::random, false, true, false}, 70, MenuAnimationKind::none},
        {"no visible link", {MenuAnimationSetting::slide, true, false, false}, 70, MenuAnimationKind::none},
        {"customizing", {MenuAnimationSetting::unfold, true, true, true}, 0, MenuAnimationKind::none},
        {"off", {MenuAnimationSetting::none, true, true, false}, 0, MenuAnimationKind::none},
        {"unfold ignores the draw", {MenuAnimationSetting::unfold, true, true, false}, 99, MenuAnimationKind::unfold},
        {"slide ignores the draw", {MenuAnimationSetting::slide, true, true, false}, 0, MenuAnimationKind::slide},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dxbar::choose_menu_animation(c.request, c.draw), c.kind);
    }
}

TEST(MenuAnimation, StepsGrowFromTheOpeningEdge) {
    const TSize frame{2, 2};
    struct Case {
        const char* name;
        MenuAnimationKind kind;
        TSize client;
        bool leftwards, upwards;
        int steps;
        int k;
        TSize visible;
        TPoint source;
    };
    const Case cases[] = {
        // Wider than high: d = -60, starts 60 x 0, grows to the height of 40 in 5 steps.
        {"unfold wide", MenuAnimationKind::unfold, {100, 40}, false, false, 5, 1, {68, 8}, {0, 32}},
        {"unfold wide, last step", MenuAnimationKind::unfold, {100, 40}, false, false, 5, 5, {100, 40}, {0, 0}},
        // Higher than wide: d = 60, starts 0 x 60, distance = the width 40.
        {"unfold tall", MenuAnimationKind::unfold, {40, 100}, false, false, 5, 2, {16, 76}, {0, 24}},
        {"unfold leftwards shows the right part", MenuAnimationKind::unfold, {100, 40}, true, false, 5, 1, {68, 8},
         {32, 32}},
        {"unfold upwards shows the top part", MenuAnimationKind::unfold, {100, 40}, false, true, 5, 1, {68, 8}, {0, 0}},
        {"slide", MenuAnimationKind::slide, {100, 60}, false, false, 3, 1, {100, 17}, {0, 43}},
        {"slide, last step stops short", MenuAnimationKind::slide, {100, 60}, false, false, 3, 3, {100, 51}, {0, 9}},
        {"slide shorter than a step", MenuAnimationKind::slide, {100, 10}, false, false, 0, 0, {100, 0}, {0, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRect final_window = Bounds(300, 200, c.client.cx + frame.cx, c.client.cy + frame.cy);
        const dxbar::MenuAnimationPlan plan(c.kind, c.client, frame, final_window, c.leftwards, c.upwards);
        EXPECT_EQ(plan.steps(), c.steps);
        EXPECT_EQ(plan.visible(c.k), c.visible);
        EXPECT_EQ(plan.source(c.k), c.source);
        const TRect w = plan.window(c.k);
        EXPECT_EQ(w.Width(), c.visible.cx + frame.cx);
        EXPECT_EQ(w.Height(), c.visible.cy + frame.cy);
        // Anchored at the corner the menu opened from.
        EXPECT_EQ(c.leftwards ? w.Right : w.Left, c.leftwards ? final_window.Right : final_window.Left);
        EXPECT_EQ(c.upwards ? w.Bottom : w.Top, c.upwards ? final_window.Bottom : final_window.Top);
    }
}

TEST(MenuAnimation, RandomSettingGivesBothKindsOverOpenings) {
    std::mt19937 generator(2001);
    std::uniform_int_distribution<int> below_100(0, 99);
    std::set<MenuAnimationKind> seen;
    for (int i = 0; i < 20; ++i)
        seen.insert(dxbar::choose_menu_animation({MenuAnimationSetting::random, true, true, false}, below_100(generator)));
    EXPECT_EQ(seen, (std::set<MenuAnimationKind>{MenuAnimationKind::unfold, MenuAnimationKind::slide}));
}

TEST(MenuAnimation, AStepWaitsForTheTickToMove) {
    dxbar::FramePacer pacer(1000);
    EXPECT_FALSE(pacer.may_step(1000));
    EXPECT_TRUE(pacer.may_step(1001));
    pacer.stepped(1001);
    EXPECT_FALSE(pacer.may_step(1001));
    EXPECT_TRUE(pacer.may_step(0));  // the tick count wraps; any change counts
}
