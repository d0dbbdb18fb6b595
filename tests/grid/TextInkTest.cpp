// The record of where the rows' text lies: spans added in any order merge
// into sorted, separate spans; strips close small gaps.
#include "grid/TextInk.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using dxgrid::TextInk;
using Span = TextInk::Span;

TEST(TextInkTest, AddedSpansMergeWhereTheyOverlapOrTouch) {
    const struct {
        std::vector<std::pair<int, int>> added;
        std::vector<Span> spans;
    } cases[] = {
        {{}, {}},
        {{{5, 5}, {7, 3}}, {}},                                       // empty ones are nothing
        {{{10, 20}}, {{10, 20}}},
        {{{30, 40}, {10, 20}}, {{10, 20}, {30, 40}}},                 // kept in order
        {{{10, 20}, {20, 30}}, {{10, 30}}},                           // touching
        {{{10, 20}, {15, 25}}, {{10, 25}}},                           // overlapping
        {{{10, 20}, {12, 18}}, {{10, 20}}},                           // inside
        {{{10, 20}, {30, 40}, {50, 60}, {15, 55}}, {{10, 60}}},       // one bridging three
        {{{10, 20}, {30, 40}, {50, 60}, {25, 45}}, {{10, 20}, {25, 45}, {50, 60}}},
        {{{50, 60}, {10, 20}, {0, 5}}, {{0, 5}, {10, 20}, {50, 60}}},
        {{{-8, 2}, {2, 4}}, {{-8, 4}}},
    };
    for (const auto& c : cases) {
        TextInk ink;
        for (const auto& [l, r] : c.added) {
            ink.add(l, r);
            ink.check_invariants();
        }
        EXPECT_EQ(ink.spans(), c.spans) << "after " << c.added.size() << " spans";
    }
}

TEST(TextInkTest, StripsCloseGapsNarrowerThanAsked) {
    TextInk ink;
    for (const auto& [l, r] : std::vector<std::pair<int, int>>{{0, 10}, {20, 30}, {45, 50}, {100, 120}}) ink.add(l, r);
    const struct {
        int gap;
        std::vector<Span> strips;
    } cases[] = {
        {0, {{0, 10}, {20, 30}, {45, 50}, {100, 120}}},
        {10, {{0, 10}, {20, 30}, {45, 50}, {100, 120}}},  // a gap of exactly 10 stays
        {11, {{0, 30}, {45, 50}, {100, 120}}},
        {16, {{0, 50}, {100, 120}}},
        {51, {{0, 120}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ink.strips(c.gap), c.strips) << "gap " << c.gap;
    ink.reset();
    EXPECT_TRUE(ink.spans().empty());
    EXPECT_TRUE(ink.strips(16).empty());
}
