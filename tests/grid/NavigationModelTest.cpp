// The grid's input rules as tables: navigation keys, page moves, the wheel,
// the type-ahead search's text, header drags and mouse scrolling.
#include "grid/HeaderDragModel.h"
#include "grid/IncrementalSearch.h"
#include "grid/MouseScrollModel.h"
#include "grid/NavigationKeys.h"
#include "platform/ui/Messages.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using namespace grid;
using namespace ui;

TEST(NavigationKeysTest, KeyTable) {
    const NavOptions grid_mode;
    NavOptions row_select;
    row_select.row_select = true;
    const struct { int vk; bool shift, ctrl; const NavOptions& o; NavAction action; } cases[] = {
        {VK_UP, false, false, grid_mode, NavAction::Up},
        {VK_DOWN, true, false, grid_mode, NavAction::Down},
        {VK_NEXT, false, false, grid_mode, NavAction::PageDown},
        {VK_PRIOR, false, true, grid_mode, NavAction::PageUp},
        {VK_HOME, false, false, grid_mode, NavAction::FirstColumn},
        {VK_END, false, false, grid_mode, NavAction::LastColumn},
        {VK_HOME, true, false, grid_mode, NavAction::FirstRow},
        {VK_END, true, false, grid_mode, NavAction::LastRow},
        {VK_HOME, false, true, grid_mode, NavAction::DataSetFirst},
        {VK_END, false, true, grid_mode, NavAction::DataSetLast},
        {VK_END, true, true, grid_mode, NavAction::LastRow},
        {VK_HOME, false, false, row_select, NavAction::DataSetFirst},
        {VK_END, false, false, row_select, NavAction::DataSetLast},
        {VK_LEFT, false, false, grid_mode, NavAction::PrevColumn},
        {VK_RIGHT, false, false, grid_mode, NavAction::NextColumn},
        {VK_LEFT, false, true, grid_mode, NavAction::FirstColumn},
        {VK_RIGHT, false, true, grid_mode, NavAction::LastColumn},
        {VK_INSERT, false, true, grid_mode, NavAction::CopyToClipboard},
        {VK_INSERT, false, false, grid_mode, NavAction::None},
        {VK_SPACE, false, true, grid_mode, NavAction::ToggleSelection},
        {VK_RETURN, false, false, grid_mode, NavAction::None},
        {VK_F2, false, false, grid_mode, NavAction::ShowEditor},
        {VK_ESCAPE, false, false, grid_mode, NavAction::ResetSelection},
        {VK_TAB, false, false, grid_mode, NavAction::None},
        {'A', false, false, grid_mode, NavAction::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(navigation_action(c.vk, c.shift, c.ctrl, c.o), c.action)
            << "vk " << c.vk << " shift " << c.shift << " ctrl " << c.ctrl;
}

TEST(NavigationKeysTest, PageMoveStopsAtThePageEdgeFirst) {
    const struct { int focused, top, page, last, direction, target; } cases[] = {
        {5, 0, 20, 99, +1, 19},   // middle of the page: to the bottom row
        {19, 0, 20, 99, +1, 38},  // at the bottom: page size - 1 further
        {5, 0, 20, 99, -1, 0},    // to the top row
        {0, 0, 20, 99, -1, -19},  // at the top: the dataset clamps
        {3, 0, 20, 7, +1, 7},     // fewer rows than a page: the last row is the page's edge
        {7, 0, 20, 7, +1, 26},
        {4, 4, 1, 99, +1, 5},     // a page of one row moves by one
        {30, 20, 10, 99, -1, 21},   // below the page (scrolled away): page size - 1 up
    };
    for (const auto& c : cases)
        EXPECT_EQ(page_move_target(c.focused, c.top, c.page, c.last, c.direction), c.target) << c.focused << " " << c.direction;
}

TEST(NavigationKeysTest, EveryWheelMessageScrollsOneLine) {
    EXPECT_EQ(wheel_lines(120), -1);
    EXPECT_EQ(wheel_lines(30), -1);
    EXPECT_EQ(wheel_lines(-30), 1);
    EXPECT_EQ(wheel_lines(-360), 1);
}

TEST(IncrementalSearchTest, WhatStartsASearch) {
    const struct { char ch; bool auto_search, ctrl, mouse_idle, searching, starts; } cases[] = {
        {'a', true, false, true, false, true},   {'\xC8', true, false, true, false, true},
        {' ', true, false, true, false, true},   {'a', false, false, true, false, false},
        {'a', true, true, true, false, false},   {'a', true, false, false, false, false},
        {'a', true, false, true, true, false},   {'\b', true, false, true, false, false},
        {'\t', true, false, true, false, false}, {'\r', true, false, true, false, false},
        {'\x1B', true, false, true, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IncrementalSearch::starts(c.ch, c.auto_search, c.ctrl, c.mouse_idle, c.searching), c.starts)
            << int(static_cast<unsigned char>(c.ch));
}

// A whole session: typed characters, a refused one, the keys, a column change.
TEST(IncrementalSearchTest, TextFollowsTypingKeysAndOutcomes) {
    IncrementalSearch s;
    const auto run = [&](bool found, SearchDirection d = SearchDirection::FromFocused) {
        s.begin_step();
        EXPECT_TRUE(s.in_search());
        s.end_step();
        s.after_step(found, d, false);
        s.check_invariants();
    };
    s.start(2);
    s.after_step(false, SearchDirection::FromFocused, true);  // the empty start step
    EXPECT_TRUE(s.active());
    ASSERT_TRUE(s.type("И"_a.bytes[0], false, 2));
    run(true);
    ASSERT_TRUE(s.type("в"_a.bytes[0], false, 2));
    run(true);
    ASSERT_TRUE(s.type("ъ"_a.bytes[0], false, 2));
    run(false);  // refused
    EXPECT_EQ(s.text(), AnsiString("Ив"_a));
    EXPECT_FALSE(s.type('\x01', false, 2));
    EXPECT_FALSE(s.type('x', true, 2));
    EXPECT_EQ(s.text(), AnsiString("Ив"_a));

    SearchKeyResult k = s.key(VK_RETURN, true, true, 2);  // Ctrl wins
    EXPECT_EQ(k.kind, SearchKeyResult::Step);
    EXPECT_EQ(k.direction, SearchDirection::Next);
    run(false, k.direction);  // no next match: the text stays
    EXPECT_EQ(s.text(), AnsiString("Ив"_a));
    EXPECT_EQ(s.key(VK_RETURN, true, false, 2).direction, SearchDirection::Previous);
    EXPECT_EQ(s.key(VK_RETURN, false, false, 2).kind, SearchKeyResult::NotTaken);
    EXPECT_EQ(s.key(VK_DOWN, false, false, 2).kind, SearchKeyResult::NotTaken);

    EXPECT_EQ(s.key(VK_BACK, false, false, 2).kind, SearchKeyResult::Step);
    EXPECT_EQ(s.text(), AnsiString("И"_a));
    s.key(VK_BACK, false, false, 2);
    s.key(VK_BACK, false, false, 2);
    EXPECT_EQ(s.text(), "");
    EXPECT_TRUE(s.active());  // Backspace to the empty text keeps the search

    s.type('a', false, 2);
    s.type('b', false, 2);
    EXPECT_EQ(s.key(VK_DELETE, false, false, 2).kind, SearchKeyResult::Step);
    EXPECT_EQ(s.text(), "");

    s.type('a', false, 2);
    s.type('b', false, 4);  // the focused column changed: the text starts again there
    EXPECT_EQ(s.column(), 4);
    EXPECT_EQ(s.text(), "b");

    EXPECT_EQ(s.key(VK_ESCAPE, false, false, 4).kind, SearchKeyResult::End);
    s.end();
    s.check_invariants();
    EXPECT_FALSE(s.active());
    EXPECT_FALSE(s.type('a', false, 4));
    EXPECT_EQ(s.key(VK_BACK, false, false, 4).kind, SearchKeyResult::NotTaken);
}

namespace {

// PhoneGrid's header at a client width of 677: eight cells of one row, 18 pixels high.
std::vector<HeaderCell> phone_header() {
    const int widths[] = {49, 130, 79, 87, 130, 130, 44, 28};
    std::vector<HeaderCell> cells;
    int x = 0;
    for (int i = 0; i < 8; ++i) {
        cells.push_back({.column = i + 10, .band = 0, .row = 0, .pos = i, .rect = Rect(x, 0, x + widths[i], 18)});
        x += widths[i];
    }
    return cells;
}

}  // namespace

TEST(HeaderDragModelTest, DropTargets) {
    const auto cells = phone_header();
    const TRect header = Rect(0, 0, 700, 18);  // 23 pixels of empty header right of the last cell
    const HeaderCell& city = cells[4];  // x 345..475
    const struct { int x, y; DropTarget::Kind kind; int column, edge, new_pos; } cases[] = {
        {49, 5, DropTarget::Before, 11, 49, 1},     // left edge of LastName (49..179, middle 114)
        {114, 5, DropTarget::Before, 11, 49, 1},    // exactly the middle counts as the left half
        {115, 5, DropTarget::After, 11, 179, 2},
        {320, 5, DropTarget::NoMove, -1, 0, -1},    // right half of the left neighbour
        {400, 5, DropTarget::NoMove, -1, 0, -1},    // its own cell
        {480, 5, DropTarget::NoMove, -1, 0, -1},    // left half of the right neighbour
        {560, 5, DropTarget::After, 15, 605, 5},    // right half of Street: after it
        {690, 5, DropTarget::After, 17, 677, 7},    // right of the last cell: after the last column
        {10, 5, DropTarget::Before, 10, 0, 0},
        {400, 18, DropTarget::Outside, -1, 0, -1},  // below the header panel
        {400, -1, DropTarget::Outside, -1, 0, -1},
    };
    for (const auto& c : cases) {
        const DropTarget t = drop_target(cells, city, header, Point(c.x, c.y));
        EXPECT_EQ(t.kind, c.kind) << c.x << "," << c.y;
        if (t.kind != DropTarget::Before && t.kind != DropTarget::After) continue;
        EXPECT_EQ(t.column, c.column) << c.x;
        EXPECT_EQ(t.edge_x, c.edge) << c.x;
        EXPECT_EQ(drop_position(t, city), c.new_pos) << c.x;
    }
    // The last column dragged right of itself stays.
    EXPECT_EQ(drop_target(cells, cells[7], header, Point(690, 5)).kind, DropTarget::NoMove);
    // Dragged forwards, the column leaves a gap behind: before Отчество (3) from Телефон (0) is position 2.
    EXPECT_EQ(drop_position(drop_target(cells, cells[0], header, Point(260, 5)), cells[0]), 2);
}

TEST(HeaderDragModelTest, ThresholdArrowsAndScrollZones) {
    EXPECT_FALSE(drag_threshold_passed(Point(100, 10), Point(105, 10)));
    EXPECT_FALSE(drag_threshold_passed(Point(100, 10), Point(95, 15)));
    EXPECT_TRUE(drag_threshold_passed(Point(100, 10), Point(106, 10)));
    EXPECT_TRUE(drag_threshold_passed(Point(100, 10), Point(100, 4)));

    const TRect header = Rect(0, 0, 677, 18);
    DropTarget t;
    t.kind = DropTarget::Before;
    t.edge_x = 49;
    t.row_top = 0;
    EXPECT_EQ(arrows_box(t, header, 18), Rect(44, -9, 55, 27));
    t.edge_x = 0;
    EXPECT_EQ(arrows_box(t, header, 18).Left, -5);
    t.edge_x = 677;  // after the last column: kept within the header
    EXPECT_EQ(arrows_box(t, header, 18).Left, 671);

    EXPECT_EQ(header_drag_scroll(0, 0, 677), -1);
    EXPECT_EQ(header_drag_scroll(11, 0, 677), -1);
    EXPECT_EQ(header_drag_scroll(12, 0, 677), 0);
    EXPECT_EQ(header_drag_scroll(664, 0, 677), 0);
    EXPECT_EQ(header_drag_scroll(665, 0, 677), 1);
    EXPECT_EQ(header_drag_scroll(680, 0, 677), 0);
}

TEST(MouseScrollModelTest, RowsPressAndPanning) {
    EXPECT_EQ(rows_press_move(10, 20, 300).kind, RowsPressMove::ScrollUp);
    EXPECT_EQ(rows_press_move(20, 20, 300).kind, RowsPressMove::FocusRowAt);
    EXPECT_EQ(rows_press_move(299, 20, 300).kind, RowsPressMove::FocusRowAt);
    EXPECT_EQ(rows_press_move(300, 20, 300).kind, RowsPressMove::ScrollDown);

    const struct { int dx, dy; bool h, v; PanningStep::Direction d; int speed, ticks; } cases[] = {
        {0, 14, false, true, PanningStep::None, 0, 0},      // inside the dead zone
        {0, 15, false, true, PanningStep::Down, 1, 12},     // every 240 ms
        {0, -19, false, true, PanningStep::Up, 2, 11},
        {500, 0, false, true, PanningStep::None, 0, 0},     // no horizontal bar: never sideways
        {500, 20, false, true, PanningStep::Down, 2, 11},
        {0, 400, false, true, PanningStep::Down, 12, 1},    // at most 12: every 20 ms
        {-40, 30, true, true, PanningStep::Left, 6, 7},
        {30, 30, true, true, PanningStep::Down, 4, 9},      // a tie goes vertical
        {40, 0, true, false, PanningStep::Right, 6, 7},
    };
    for (const auto& c : cases) {
        const PanningStep s = panning_step(c.dx, c.dy, c.h, c.v);
        EXPECT_EQ(s.direction, c.d) << c.dx << "," << c.dy;
        EXPECT_EQ(s.speed, c.speed) << c.dx << "," << c.dy;
        EXPECT_EQ(s.ticks_per_line(), c.ticks) << c.dx << "," << c.dy;
    }
    EXPECT_EQ(panning_mark(false, true), PanningMark::Vertical);
    EXPECT_EQ(panning_mark(true, true), PanningMark::Full);
    EXPECT_EQ(panning_mark(true, false), PanningMark::Horizontal);
}
