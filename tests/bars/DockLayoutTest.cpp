#include "bars/BarLineLayout.h"
#include "bars/DockLayout.h"

#include <gtest/gtest.h>

namespace bars {
namespace {

// A bar whose items are `line` pixels thick and wrap when multi-line: its
// thickness at a length is the lines it needs times the line.
RowBar bar(int min, int natural, int position, int line = 20) {
    RowBar b;
    b.min_length = min;
    b.natural_length = natural;
    b.position = position;
    b.mark_counted = true;
    b.thickness_at = [=](int length) { return line * ((natural + length - 1) / std::max(length, 1)); };
    return b;
}

struct Place {
    int position, length;
    bool truncated;
    bool operator==(const Place&) const = default;
};

std::vector<Place> places(const RowLayout& l) {
    std::vector<Place> out;
    for (const RowPlace& p : l.bars) out.push_back(Place{p.position, p.length, p.truncated});
    return out;
}

TEST(DockLayout, RowsShareTheirLength) {
    struct Case {
        const char* what;
        std::vector<RowBar> bars;
        int site;
        std::vector<Place> expected;
    };
    std::vector<Case> cases = {
        {"one bar keeps its stored place", {bar(50, 200, 30)}, 1000, {{30, 200, false}}},
        {"negative places become 0", {bar(50, 200, -10)}, 1000, {{0, 200, false}}},
        {"the last bar moves left to end before the site's end", {bar(50, 200, 900)}, 1000, {{800, 200, false}}},
        {"bars never overlap: the second starts after the first's natural length",
         {bar(50, 200, 0), bar(50, 100, 50)},
         1000,
         {{0, 200, false}, {200, 100, false}}},
        {"a bar pushed left pushes the one before it",
         {bar(50, 200, 100), bar(50, 300, 900)},
         1000,
         {{100, 200, false}, {700, 300, false}}},
        {"too long: from the last bar, each gets what the minimums before it leave",
         {bar(50, 300, 0), bar(80, 400, 310)},
         500,
         {{0, 100, true}, {100, 400, false}}},
        {"too long: the first bar is left its minimum",
         {bar(50, 300, 0), bar(80, 400, 310)},
         300,
         {{0, 50, true}, {50, 250, true}}},
        {"one bar narrower than the site",
         {bar(120, 800, 0)},
         400,
         {{0, 400, true}}},
        {"one bar narrower than its minimum",
         {bar(120, 800, 0)},
         100,
         {{0, 120, true}}},
    };
    for (const Case& c : cases) {
        const RowLayout l = layout_row(c.bars, c.site);
        EXPECT_EQ(places(l), c.expected) << c.what;
        check_row_layout(c.bars, l);
    }
}

TEST(DockLayout, WholeRowBarsTakeTheSiteAndMultiLineBarsWrap) {
    RowBar menu = bar(60, 300, 0, 23);
    menu.whole_row = true;
    menu.multi_line = true;
    struct Case {
        int site, length, thickness;
        bool truncated;
    };
    for (const Case c : {Case{1000, 1000, 23, false}, Case{200, 200, 46, false}, Case{100, 100, 69, false},
                         Case{40, 60, 115, false}}) {
        const RowLayout l = layout_row({menu}, c.site);
        EXPECT_EQ(l.bars[0].position, 0);
        EXPECT_EQ(l.bars[0].length, c.length) << c.site;
        EXPECT_EQ(l.thickness, c.thickness) << c.site;
        EXPECT_EQ(l.bars[0].truncated, c.truncated) << c.site;
    }
    menu.multi_line = false;
    EXPECT_TRUE(layout_row({menu}, 200).bars[0].truncated);
}

TEST(DockLayout, EveryBarOfARowGetsTheRowsThickness) {
    const RowLayout l = layout_row({bar(10, 100, 0, 22), bar(10, 100, 200, 30)}, 1000);
    EXPECT_EQ(l.thickness, 30);
    EXPECT_EQ(l.bars[0].thickness, 30);
    EXPECT_EQ(l.bars[1].thickness, 30);
}

TEST(DockLayout, RestSpaceAndMarkRoom) {
    RowBar rest = bar(30, 100, 0);
    rest.use_rest_space = true;
    const RowLayout l = layout_row({rest, bar(30, 100, 600)}, 1000);
    EXPECT_EQ(places(l), (std::vector<Place>{{0, 600, false}, {600, 100, false}}));
    // A bar whose mark button is not in its natural length needs room for it when shortened.
    RowBar b = bar(50, 300, 0);
    b.mark_counted = false;
    EXPECT_EQ(layout_row({b}, 20).bars[0].length, 50 + kMarkButtonLength);
}

TEST(DockLayout, SiteThickness) {
    EXPECT_EQ(site_thickness({}, true), 0);
    EXPECT_EQ(site_thickness({27, 23}, false), 50);
    EXPECT_EQ(site_thickness({27, 23}, true), 52);
}

TEST(DockLayout, StoredBarsFindTheirRows) {
    struct Case {
        const char* what;
        std::vector<RowInfo> rows;
        int row;
        bool oneOnRow, wholeRow, loading;
        RowTarget expected;
    };
    const RowInfo plain{};
    const RowInfo wide{true, false};
    const RowInfo empty{false, true};
    const Case cases[] = {
        {"loading makes the rows in front", {}, 1, true, false, true, {1, false, 2}},
        {"loading uses the empty row made for it", {plain, empty}, 1, true, false, true, {1, false, 0}},
        {"loading: one-on-row into a row with bars gets a new row", {plain, plain}, 1, true, false, true, {1, true, 0}},
        {"loading: a row with a whole-row bar takes nobody", {wide}, 0, false, false, true, {0, true, 0}},
        {"loading: joining a plain row", {plain}, 0, false, false, true, {0, false, 0}},
        {"later: the row is clamped", {plain, plain}, 7, false, false, false, {1, false, 0}},
        {"later: a new row is clamped one past the last", {plain}, 7, true, false, false, {1, true, 0}},
        {"later: whole-row bars always get a new row", {plain}, 0, false, true, false, {0, true, 0}},
        {"later: no rows", {}, 3, false, false, false, {0, true, 0}},
    };
    for (const Case& c : cases) {
        const RowTarget t = place_stored_bar(c.rows, c.row, c.oneOnRow, c.wholeRow, c.loading);
        EXPECT_EQ(t.row, c.expected.row) << c.what;
        EXPECT_EQ(t.new_row, c.expected.new_row) << c.what;
        EXPECT_EQ(t.rows_to_create, c.expected.rows_to_create) << c.what;
    }
    EXPECT_EQ(insert_index({0, 200, 400}, 150), 1);
    EXPECT_EQ(insert_index({0, 200, 400}, 200), 1);
    EXPECT_EQ(insert_index({0, 200, 400}, 900), 3);
}

TEST(DockLayout, DraggedBarsChooseRowsByBands) {
    // The directory's top dock: the menu row 27 high, the search bar's 23.
    const std::vector<int> rows{27, 23};
    struct Case {
        int across;
        bool trailing;
        DragRow expected;
    };
    const Case cases[] = {
        {-23, false, {0, true}},  // above the first row: a new first row
        {-1, false, {0, true}},  {0, false, {0, false}},   {8, false, {0, false}},
        {9, false, {1, true}},   // the band 9..13 after a row's edge: a new row after it
        {13, false, {1, true}},  {14, false, {1, false}},  {26, false, {1, false}},
        {27, false, {1, false}}, {36, false, {2, true}},   {41, false, {2, true}},
        {49, false, {2, true}},  {50, false, {2, true}},   {70, false, {2, true}},
        // A bottom site counts from its outer edge.
        {50, true, {0, false}},  {41, true, {1, true}},    {-5, true, {2, true}},
    };
    for (const Case& c : cases) {
        const DragRow r = drag_row(rows, c.across, c.trailing);
        EXPECT_EQ(r.row, c.expected.row) << c.across << (c.trailing ? " trailing" : "");
        EXPECT_EQ(r.new_row, c.expected.new_row) << c.across << (c.trailing ? " trailing" : "");
    }
}

TEST(BarLineLayout, ItemsGoInLinesWithSeparators) {
    const std::vector<LineItem> items{{50, 20, false}, {40, 22, true}, {30, 20, false}};
    EXPECT_EQ(natural_line_length(items), 50 + kSeparatorLength + 40 + 30);
    EXPECT_EQ(widest_item(items), 50);
    LineLayout one = layout_lines(items, -1, false);
    EXPECT_EQ(one.lines, 1);
    EXPECT_EQ(one.thickness, 22);
    EXPECT_TRUE(one.items[1].separator_before);
    EXPECT_EQ(one.items[2].position, 50 + kSeparatorLength + 40);
    LineLayout wrapped = layout_lines(items, 90, true);
    EXPECT_EQ(wrapped.lines, 2);
    EXPECT_EQ(wrapped.items[1].line, 1);
    EXPECT_FALSE(wrapped.items[1].separator_before);  // never at a line's start
    EXPECT_EQ(wrapped.items[1].position, 0);
    EXPECT_EQ(wrapped.items[2].position, 40);
    EXPECT_EQ(wrapped.thickness, 20 + 22);
    LineLayout cut = layout_lines(items, 90, false);
    EXPECT_EQ(cut.lines, 1);
    EXPECT_TRUE(cut.items[1].hidden);
    EXPECT_TRUE(cut.items[2].hidden);
}

}  // namespace
}  // namespace bars
