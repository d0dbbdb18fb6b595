// The column layout as a pure model: the directory grid's widths at several
// client widths, the user's sizing of a column, the hit test, and a
// randomised check that every header row fills its band.
#include "app/PhonesLayout.h"
#include "grid/GridLayout.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

using namespace dxgrid;

namespace {

// The directory grid's columns in list order: Code, Phone, LastName,
// FirstName, MiddleName, City, Street, CityStr, StreetStr, House, Flat; the
// shown ones are all but Code, City and Street.
constexpr int kShown[] = {1, 2, 3, 4, 7, 8, 9, 10};
constexpr int kRowHeight = 17;

LayoutInput phone_grid(int client_width, int client_height = 400) {
    LayoutInput in;
    in.bands.push_back(BandSpec{});
    for (const phones::ColumnDef& d : phones::kColumns) {
        ColumnSpec c;
        c.width = d.width;
        c.visible = d.visible;
        in.columns.push_back(c);
    }
    in.auto_width = true;
    in.band_header_width = true;  // the default layout
    in.client = TRect{0, 0, client_width, client_height};
    in.header_row_height = 20;
    in.row_height = kRowHeight;
    in.row_count = 10;
    return in;
}

std::vector<int> shown_widths(const GridLayout& l) {
    std::vector<int> w;
    for (int c : kShown) w.push_back(l.column_width(c));
    return w;
}

}  // namespace

TEST(GridLayoutTest, DirectoryGridWidthsFollowTheClientWidth) {
    const struct {
        int client;
        std::vector<int> widths;
        int total;
    } cases[] = {
        {677, {49, 130, 79, 87, 130, 130, 44, 28}, 677},
        {621, {45, 119, 72, 80, 119, 119, 40, 27}, 621},
        {400, {38, 68, 49, 52, 68, 68, 36, 21}, 400},
        {300, {31, 50, 38, 40, 50, 50, 20, 21}, 300},
        {160, {20, 20, 20, 20, 20, 20, 20, 20}, 160},
        {100, {20, 20, 20, 20, 20, 20, 20, 20}, 160},
    };
    for (const auto& c : cases) {
        GridLayout l;
        l.build(phone_grid(c.client));
        l.check_invariants();
        EXPECT_EQ(shown_widths(l), c.widths) << "client width " << c.client;
        EXPECT_EQ(l.total_width(), c.total) << "client width " << c.client;
        EXPECT_EQ(l.column_width(0), 0);
        EXPECT_EQ(l.header_cell(5), nullptr);
    }
}

TEST(GridLayoutTest, SizingFirstNameWiderTakesFromTheColumnsToItsRight) {
    GridLayout l;
    l.build(phone_grid(677));
    const SizingResult r = size_column(l, 3, 109);
    EXPECT_EQ(r.widths, (std::vector<int>{58, 49, 130, 109, 81, 58, 58, 121, 121, 41, 25}));
    EXPECT_EQ(r.band, -1);
}

TEST(GridLayoutTest, SizingTheLastColumnTakesFromAllBeforeIt) {
    GridLayout l;
    l.build(phone_grid(677));
    const SizingResult r = size_column(l, 10, 28 + 49);
    int sum = 0;
    for (int c : kShown) sum += r.widths[static_cast<std::size_t>(c)];
    EXPECT_EQ(sum, 677);
    EXPECT_EQ(r.widths[10], 77);
    EXPECT_LT(r.widths[2], 130);
    // Narrower than its minimum stops at the minimum.
    int lower, upper;
    sizing_bounds(l, 10, false, lower, upper);
    EXPECT_EQ(lower, l.header_cell(10)->rect.Left + 20);
    EXPECT_EQ(upper, 676);
}

TEST(GridLayoutTest, UnsizedColumnsKeepTheirDisplayWidthsAsStoredWidths) {
    GridLayout l;
    l.build(phone_grid(400));
    const SizingResult r = size_column(l, 3, 49 + 10);
    EXPECT_EQ(r.widths[1], 38);
    EXPECT_EQ(r.widths[2], 68);
    EXPECT_EQ(r.widths[3], 59);
}

TEST(GridLayoutTest, ColumnWithoutSizingKeepsItsWidth) {
    LayoutInput in = phone_grid(400);
    in.columns[2].sizing = false;
    GridLayout l;
    l.build(in);
    l.check_invariants();
    EXPECT_EQ(l.column_width(2), 130);
}

TEST(GridLayoutTest, HiddenColumnGivesItsSpaceToTheOthers) {
    LayoutInput in = phone_grid(677);
    in.columns[2].visible = false;
    GridLayout l;
    l.build(in);
    l.check_invariants();
    EXPECT_EQ(l.header_cell(2), nullptr);
    EXPECT_GT(l.column_width(1), 49);
    EXPECT_EQ(l.total_width(), 677);
}

TEST(GridLayoutTest, HitTestFindsHeadersEdgesCellsAndRowEnds) {
    LayoutInput in = phone_grid(677);
    in.row_count = 3;
    GridLayout l;
    l.build(in);
    const int boundary = l.header_cell(2)->rect.Left;  // between Phone and LastName
    const struct {
        TPoint p;
        TdxTreeListHitTest kind;
        int column;
        int row;
    } cases[] = {
        {{boundary + 3, 5}, htColumnEdge, 1, -1},
        {{boundary + 5, 5}, htColumn, 2, -1},
        {{boundary - 2, 5}, htColumnEdge, 1, -1},
        {{676, 5}, htColumnEdge, 10, -1},
        {{10, 20 + kRowHeight + 3}, htLabel, 1, 1},
        {{10, 20 + 3 * kRowHeight + 3}, htEmpty, -1, -1},
        {{700, 5}, htOutside, -1, -1},
    };
    for (const auto& c : cases) {
        const TdxTreeListHitInfo hit = l.hit_test(c.p);
        EXPECT_EQ(hit.kind, c.kind) << c.p.X << "," << c.p.Y;
        EXPECT_EQ(hit.column, c.column) << c.p.X << "," << c.p.Y;
        EXPECT_EQ(hit.row, c.row) << c.p.X << "," << c.p.Y;
    }
    // Below the minimum width the grid is wider than the client: the rows end before the client's edge.
    GridLayout narrow;
    in.client = TRect{0, 0, 100, 400};
    in.left_coord = 0;
    narrow.build(in);
    EXPECT_EQ(narrow.cells_right(), 100);
    in.client = TRect{0, 0, 1000, 400};
    in.auto_width = false;
    GridLayout wide;
    wide.build(in);
    EXPECT_EQ(wide.hit_test(TPoint{900, 20 + 5}).kind, htRight);
}

TEST(GridLayoutTest, FullAndAllRowsOfTheRowsArea) {
    LayoutInput in = phone_grid(677, 20 + 10 * kRowHeight);
    GridLayout l;
    l.build(in);
    EXPECT_EQ(l.full_rows(), 10);
    EXPECT_EQ(l.all_rows(), 10);
    in.client.Bottom += 1;
    l.build(in);
    EXPECT_EQ(l.full_rows(), 10);
    EXPECT_EQ(l.all_rows(), 11);
}

TEST(GridLayoutTest, AnyWidthsFillEveryRowAndRespectMinimums) {
    std::mt19937 rng(2001);
    for (int round = 0; round < 2000; ++round) {
        LayoutInput in;
        const int bands = 1 + static_cast<int>(rng() % 3);
        for (int b = 0; b < bands; ++b) {
            BandSpec band;
            band.width = 30 + static_cast<int>(rng() % 400);
            band.sizing = rng() % 5 != 0;
            in.bands.push_back(band);
        }
        in.header_row_count = 1 + static_cast<int>(rng() % 3);
        const int columns = 1 + static_cast<int>(rng() % 14);
        for (int c = 0; c < columns; ++c) {
            ColumnSpec col;
            col.min_width = static_cast<int>(rng() % 40);
            col.width = col.min_width + static_cast<int>(rng() % 300);
            col.sizing = rng() % 6 != 0;
            col.visible = rng() % 7 != 0;
            col.band = static_cast<int>(rng() % static_cast<unsigned>(bands));
            col.row = static_cast<int>(rng() % static_cast<unsigned>(in.header_row_count));
            in.columns.push_back(col);
        }
        in.auto_width = rng() % 4 != 0;
        in.band_header_width = rng() % 2 == 0;
        in.client = TRect{0, 0, 1 + static_cast<int>(rng() % 2000), 300};
        in.header_row_height = 18;
        in.row_height = 17;
        GridLayout l;
        l.build(in);
        ASSERT_NO_THROW(l.check_invariants()) << "round " << round;
        for (const VisibleBand& vb : l.bands())
            for (const auto& row : vb.rows) {
                if (row.empty()) continue;
                int sum = 0, minimums = 0;
                for (int c : row) {
                    sum += l.column_width(c);
                    minimums += in.columns[static_cast<std::size_t>(c)].sizing ? in.columns[static_cast<std::size_t>(c)].min_width
                                                                               : in.columns[static_cast<std::size_t>(c)].width;
                }
                ASSERT_EQ(sum, vb.display_width) << "round " << round;
                if (!in.auto_width || vb.display_width < minimums) continue;
                for (int c : row) {
                    if (!in.columns[static_cast<std::size_t>(c)].sizing) continue;
                    ASSERT_GE(l.column_width(c), in.columns[static_cast<std::size_t>(c)].min_width) << "round " << round;
                }
            }
    }
}
