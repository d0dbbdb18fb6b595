// The grid driven by the keyboard, the mouse and the wheel on a headless
// screen over a generated directory: header clicks order the directory,
// header drags move columns, keys and the wheel move the table, the
// type-ahead search finds last names, and holding the button below the rows
// walks through the table on the virtual clock.
#include "tests/grid/GridTestSupport.h"

#include "directory/DirectorySearch.h"
#include "grid/IncrementalSearch.h"
#include "platform/db/TField.h"
#include "platform/forms/TScreen.h"
#include "platform/ui/Messages.h"

#include <gtest/gtest.h>

using gridtest::GridOnForm;
using namespace ui;

namespace {

class GridInputTest : public GridOnForm {
protected:
    void SetUp() override {
        open(1000, 700, 300);
        // The client as wide as the worked examples' 677 pixels.
        form->SetWidth(700 + 677 - grid->ClientWidth());
        host.pump();
        ASSERT_EQ(grid->ClientWidth(), 677);
        search = std::make_unique<directory::DirectorySearch>(form->tables.PhoneT, form->tables.CityT, form->tables.StreetT);
        grid->OnColumnClick = [this](TObject*, TdxTreeListColumn* column) {
            clicks.push_back(column->Name());
            search->PhoneGridColumnClick(static_cast<TdxDBTreeListColumn*>(column)->FieldName());
        };
        grid->SetFocus();
        host.pump();
    }

    const dxgrid::HeaderCell& cell(const char* column) { return *grid->Layout().header_cell(form->column(column)->Index()); }
    TPoint header_point(const char* column, int dx = 0) {
        const TRect r = cell(column).rect;
        return at((r.Left + r.Right) / 2 + dx, (r.Top + r.Bottom) / 2);
    }
    // A point on data row `row` in a column.
    TPoint row_point(int row, const char* column) {
        const TRect r = grid->CellRect(row, form->column(column)->Index());
        return at(r.Left + 3, (r.Top + r.Bottom) / 2);
    }
    // The visible columns in display order with their display widths.
    std::string header() {
        std::string out;
        for (const dxgrid::HeaderCell& c : grid->Layout().header_cells())
            out += grid->Columns(c.column)->Name() + ":" + std::to_string(c.rect.Width()) + " ";
        return out;
    }
    std::string last_name() { return text::cp1251_to_utf8(phones().FieldByName("LastName")->AsString()); }
    std::string focused_column() { return grid->Columns(grid->FocusedColumn())->Name(); }

    std::unique_ptr<directory::DirectorySearch> search;
    std::vector<std::string> clicks;
};

}  // namespace

TEST_F(GridInputTest, AHeaderClickOrdersTheDirectoryAndADragIsNoClick) {
    host.click(header_point("PhoneGridStreetStr"));
    EXPECT_EQ(clicks, std::vector<std::string>{"PhoneGridStreetStr"});
    EXPECT_EQ(phones().IndexFieldNames(), "Street");
    EXPECT_EQ(form->column("PhoneGridStreetStr")->Sorted(), csNone);

    // Pressed on one header, released on another: no click.
    host.mouse_down(MouseButton::left, header_point("PhoneGridLastName"));
    EXPECT_EQ(grid->PressedColumn(), form->column("PhoneGridLastName")->Index());
    host.mouse_move(header_point("PhoneGridFirstName"));
    EXPECT_FALSE(grid->PressedLook());  // the pressed look follows the pointer
    host.mouse_up(MouseButton::left, header_point("PhoneGridFirstName"));
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_EQ(grid->State(), tsNormal);

    // A move of 5 pixels is still a click; 6 starts a drag, whose release is no click.
    host.mouse_down(MouseButton::left, header_point("PhoneGridLastName"));
    host.mouse_move(header_point("PhoneGridLastName", 5));
    host.mouse_up(MouseButton::left, header_point("PhoneGridLastName", 5));
    EXPECT_EQ(clicks.back(), "PhoneGridLastName");
    EXPECT_EQ(phones().IndexFieldNames(), "LastName");
    host.mouse_down(MouseButton::left, header_point("PhoneGridLastName"));
    host.mouse_move(header_point("PhoneGridLastName", 6));
    EXPECT_EQ(grid->State(), tsColumnDragging);
    host.mouse_up(MouseButton::left, header_point("PhoneGridLastName", 6));
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(grid->State(), tsNormal);
}

TEST_F(GridInputTest, DraggingTheCityHeaderOntoTheLeftHalfOfLastName) {
    const std::string before = header();
    EXPECT_EQ(before, "PhoneGridPhone:49 PhoneGridLastName:130 PhoneGridFirstName:79 PhoneGridMiddleName:87 "
                      "PhoneGridCityStr:130 PhoneGridStreetStr:130 PhoneGridHouse:44 PhoneGridFlat:28 ");
    const TRect last = cell("PhoneGridLastName").rect;
    host.mouse_down(MouseButton::left, header_point("PhoneGridCityStr"));
    host.mouse_move(header_point("PhoneGridCityStr", -20));
    host.mouse_move(at(last.Left + 10, last.Top + 5));
    // The arrows point at LastName's left edge: the lower one's stem shows just below the header.
    const TPoint stem = at(last.Left, last.Top - 9 + grid->HeaderRowHeight() + 18 - 2);
    EXPECT_EQ(host.screenshot()->color_at(stem.X, stem.Y), clLime);
    host.mouse_up(MouseButton::left, at(last.Left + 10, last.Top + 5));
    EXPECT_NE(host.screenshot()->color_at(stem.X, stem.Y), clLime);
    EXPECT_EQ(header(), "PhoneGridPhone:49 PhoneGridCityStr:130 PhoneGridLastName:130 PhoneGridFirstName:79 "
                        "PhoneGridMiddleName:87 PhoneGridStreetStr:130 PhoneGridHouse:44 PhoneGridFlat:28 ");
    EXPECT_TRUE(clicks.empty());

    // Onto the right half of its left neighbour, or the left half of its right neighbour: nothing moves.
    const auto drag_to = [&](const char* from, TPoint to) {
        host.mouse_down(MouseButton::left, header_point(from));
        host.mouse_move(header_point(from, 10));
        host.mouse_move(to);
        host.mouse_up(MouseButton::left, to);
    };
    drag_to("PhoneGridLastName", at(cell("PhoneGridCityStr").rect.Right - 5, 5));
    drag_to("PhoneGridLastName", at(cell("PhoneGridFirstName").rect.Left + 5, 5));
    // Below the header panel: the column stays where it was and visible.
    drag_to("PhoneGridLastName", at(cell("PhoneGridLastName").rect.Left + 5, 150));
    EXPECT_EQ(header(), "PhoneGridPhone:49 PhoneGridCityStr:130 PhoneGridLastName:130 PhoneGridFirstName:79 "
                        "PhoneGridMiddleName:87 PhoneGridStreetStr:130 PhoneGridHouse:44 PhoneGridFlat:28 ");
}

TEST_F(GridInputTest, KeysMoveTheTableAndTheFocusedColumn) {
    const int F = grid->FullRows();
    ASSERT_EQ(phones().RecNo(), 1);
    host.press_key(VK_NEXT);  // from the top row: to the bottom row of the page
    EXPECT_EQ(phones().RecNo(), F);
    EXPECT_EQ(grid->FocusedNumber(), F - 1);
    host.press_key(VK_DOWN);  // below the bottom row: the rows scroll, the focus stays on the bottom row
    EXPECT_EQ(phones().RecNo(), F + 1);
    EXPECT_EQ(grid->FocusedNumber(), F - 1);
    host.press_key(VK_NEXT);
    EXPECT_EQ(phones().RecNo(), F + 1 + F - 1);
    host.press_key(VK_END, {VK_CONTROL});
    EXPECT_EQ(phones().RecNo(), 1000);
    host.press_key(VK_DOWN);
    EXPECT_EQ(phones().RecNo(), 1000);
    host.press_key(VK_HOME, {VK_CONTROL});
    EXPECT_EQ(phones().RecNo(), 1);

    EXPECT_EQ(focused_column(), "PhoneGridPhone");
    host.press_key(VK_LEFT);
    EXPECT_EQ(focused_column(), "PhoneGridPhone");
    host.press_key(VK_RIGHT);
    EXPECT_EQ(focused_column(), "PhoneGridLastName");
    host.press_key(VK_END);
    EXPECT_EQ(focused_column(), "PhoneGridFlat");
    EXPECT_EQ(phones().RecNo(), 1);
    host.press_key(VK_RIGHT);
    EXPECT_EQ(focused_column(), "PhoneGridFlat");
    host.press_key(VK_LEFT, {VK_CONTROL});
    EXPECT_EQ(focused_column(), "PhoneGridPhone");
    grid->check_invariants();
}

TEST_F(GridInputTest, CtrlInsertCopiesTheCaptionsAndTheFocusedRow) {
    host.press_key(VK_DOWN);
    host.press_key(VK_INSERT, {VK_CONTROL});
    AnsiString cells;
    for (const char* f : {"Phone", "LastName", "FirstName", "MiddleName", "CityStr", "StreetStr", "House", "Flat"})
        cells += (cells.empty() ? "" : "\t") + phones().FieldByName(f)->DisplayText();
    EXPECT_EQ(text::cp1251_to_utf8(ws().clipboard_text()),
              "Телефон\tФамилия\tИмя\tОтчество\tГород\tУлица\tДом\tКвартира\r\n\r\n" + text::cp1251_to_utf8(cells) + "\r\n");
}

TEST_F(GridInputTest, EveryWheelMessageScrollsOneLine) {
    const int R = grid->DataLink().RecordCount();
    host.wheel(-30, row_point(2, "PhoneGridLastName"));  // a high-resolution step down
    EXPECT_EQ(phones().RecNo(), R + 1);
    host.wheel(-120, row_point(2, "PhoneGridLastName"));
    EXPECT_EQ(phones().RecNo(), R + 2);
    host.wheel(120, row_point(2, "PhoneGridLastName"));  // to the record above the top row
    EXPECT_EQ(phones().RecNo(), 2);
}

TEST_F(GridInputTest, TypingSearchesTheFocusedColumnInTheTablesOrder) {
    host.click(header_point("PhoneGridLastName"));  // order by last name
    host.click(row_point(0, "PhoneGridLastName"));
    ASSERT_EQ(focused_column(), "PhoneGridLastName");
    host.type_chars("ив"_a);
    const grid::IncrementalSearch& s = grid->IncrementalSearch();
    EXPECT_TRUE(s.active());
    EXPECT_EQ(s.text(), AnsiString("ив"_a));
    EXPECT_EQ(last_name().substr(0, 4), "Ив");
    const int first = phones().RecNo();
    // No last name goes on with "ъ": the character is refused and nothing moves.
    host.type_chars("ъ"_a);
    EXPECT_EQ(s.text(), AnsiString("ив"_a));
    EXPECT_EQ(phones().RecNo(), first);
    // Ctrl+Enter: the next match; Shift+Enter back.
    host.press_key(VK_RETURN, {VK_CONTROL});
    EXPECT_EQ(phones().RecNo(), first + 1);
    EXPECT_EQ(last_name().substr(0, 4), "Ив");
    host.press_key(VK_RETURN, {VK_SHIFT});
    EXPECT_EQ(phones().RecNo(), first);
    EXPECT_TRUE(s.active());
    // Backspace keeps the row; an arrow key ends the search.
    host.press_key(VK_BACK);
    EXPECT_EQ(s.text(), AnsiString("и"_a));
    EXPECT_EQ(phones().RecNo(), first);
    host.press_key(VK_DOWN);
    EXPECT_FALSE(s.active());
    // A toolbar search moving the table ends a search too.
    host.type_chars("с"_a);
    EXPECT_TRUE(s.active());
    search->LastNameEditChange("Я"_a);
    EXPECT_FALSE(s.active());
}

TEST_F(GridInputTest, HoldingTheButtonBelowTheRowsWalksTheTableEvery60Milliseconds) {
    const int F = grid->FullRows();
    host.mouse_down(MouseButton::left, row_point(1, "PhoneGridFirstName"));
    EXPECT_EQ(phones().RecNo(), 2);
    EXPECT_EQ(focused_column(), "PhoneGridFirstName");
    host.mouse_move(at(100, grid->ClientHeight() + 20));
    EXPECT_EQ(phones().RecNo(), F);  // the last fully shown row
    host.advance(59);
    EXPECT_EQ(phones().RecNo(), F);
    host.advance(1);
    EXPECT_EQ(phones().RecNo(), F + 1);
    host.advance(120);
    EXPECT_EQ(phones().RecNo(), F + 3);
    host.mouse_up(MouseButton::left, at(100, grid->ClientHeight() + 20));
    host.advance(600);
    EXPECT_EQ(phones().RecNo(), F + 3);
    EXPECT_EQ(grid->State(), tsNormal);
}

namespace {
class EmptyGridInputTest : public GridOnForm {};
}  // namespace

TEST_F(EmptyGridInputTest, AnEmptyTableMovesNothingAndRefusesEveryCharacter) {
    open(0, 700, 300);
    grid->SetFocus();
    host.pump();
    ASSERT_TRUE(phones().IsEmpty());
    for (int vk : {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_RIGHT}) host.press_key(vk);
    host.press_key(VK_END, {VK_CONTROL});
    host.press_key(VK_HOME, {VK_CONTROL});
    host.wheel(-120, at(100, 100));
    EXPECT_EQ(grid->Count(), 1);
    EXPECT_EQ(phones().RecNo(), -1);
    host.type_chars("аб"_a);
    EXPECT_TRUE(grid->IncrementalSearch().active());
    EXPECT_EQ(grid->IncrementalSearch().text(), "");
    grid->check_invariants();
}

TEST_F(GridInputTest, PanningWithTheMiddleButtonScrollsFasterFurtherFromTheOrigin) {
    const int R = grid->DataLink().RecordCount();
    const TPoint origin = row_point(3, "PhoneGridFirstName");
    host.mouse_down(MouseButton::middle, origin);
    host.mouse_up(MouseButton::middle, origin);  // released without a move: panning goes on
    EXPECT_EQ(host.cursor(), named_cursor("DXTL_VERSCROLLCURSOR"));  // only the vertical bar shows
    EXPECT_EQ(Screen().Cursors(-1133), named_cursor("DXTL_VERSCROLLCURSOR"));
    host.mouse_move(TPoint{origin.X, origin.Y + 40});  // speed (40 - 14) / 5 + 1 = 6: a line every 7 ticks
    EXPECT_EQ(host.cursor(), named_cursor("DXTL_DOWNSCROLLCURSOR"));
    host.advance(139);
    EXPECT_EQ(phones().RecNo(), 1);
    host.advance(1);
    EXPECT_EQ(phones().RecNo(), R + 1);  // a line down: the record below the bottom row
    host.advance(140);
    EXPECT_EQ(phones().RecNo(), R + 2);
    host.mouse_move(TPoint{origin.X + 300, origin.Y + 10});  // no horizontal bar: the dead zone spans the width
    host.advance(500);
    EXPECT_EQ(phones().RecNo(), R + 2);
    host.mouse_move(TPoint{origin.X, origin.Y - 200});  // far up: every tick
    EXPECT_EQ(host.cursor(), named_cursor("DXTL_UPSCROLLCURSOR"));
    host.advance(60);
    EXPECT_EQ(phones().RecNo(), 1);  // line up: the record above the top row, each tick
    host.press_key(VK_ESCAPE);
    host.advance(200);
    const int after = phones().RecNo();
    host.advance(200);
    EXPECT_EQ(phones().RecNo(), after);
    EXPECT_FALSE(host.mouse_captured());
}

TEST_F(GridInputTest, AHeaderDraggedToAnEndOfTheHeaderScrollsTheColumnsSidewaysEvery100Milliseconds) {
    // Without auto-width the columns are 200 pixels wider than the grid.
    grid->SetOptionsView({edgoHideFocusRect, edgoHotTrack, edgoUseBitmap});
    form->SetWidth(form->Width() - 200);
    host.pump();
    const int most = grid->Layout().total_width() - grid->ClientWidth();
    ASSERT_GT(most, 3 * 32);
    const TRect panel = grid->Layout().header_panel();
    const int y = (panel.Top + panel.Bottom) / 2;

    host.mouse_down(MouseButton::left, header_point("PhoneGridCityStr"));
    host.mouse_move(header_point("PhoneGridCityStr", -10));
    host.mouse_move(at(panel.Left + 40, panel.Bottom + 30));
    EXPECT_EQ(host.cursor(), named_cursor("DXTLDELETECURSOR"));  // a drop there would not move the column
    host.mouse_move(at(panel.Right - 13, y));  // just outside the right zone
    EXPECT_EQ(host.cursor(), Cursor{});
    host.advance(300);
    EXPECT_EQ(grid->LeftCoord(), 0);

    host.mouse_move(at(panel.Right - 5, y));
    host.advance(99);
    EXPECT_EQ(grid->LeftCoord(), 0);
    host.advance(1);
    EXPECT_EQ(grid->LeftCoord(), 32);
    host.advance(100);
    EXPECT_EQ(grid->LeftCoord(), 64);
    host.advance(1000);
    EXPECT_EQ(grid->LeftCoord(), most);  // up to the end, no further

    host.mouse_move(at(panel.Right - 40, y));  // out of the zone: the scrolling stops
    host.advance(300);
    EXPECT_EQ(grid->LeftCoord(), most);
    host.mouse_move(at(panel.Left + 3, y));
    host.advance(100);
    EXPECT_EQ(grid->LeftCoord(), most - 32);

    // The drop ends the drag and its scrolling; the column lands beside the one under the
    // pointer in the scrolled header panel.
    const TdxTreeListHitInfo under = grid->GetHitInfo(TPoint{panel.Left + 3, y});
    ASSERT_EQ(under.kind, htColumn);
    host.mouse_up(MouseButton::left, at(panel.Left + 3, y));
    EXPECT_EQ(grid->State(), tsNormal);
    host.advance(500);
    EXPECT_EQ(grid->LeftCoord(), most - 32);
    const int city = cell("PhoneGridCityStr").pos, target = grid->Layout().header_cell(under.column)->pos;
    EXPECT_EQ(std::abs(city - target), 1) << header();
    EXPECT_TRUE(clicks.empty());
    grid->check_invariants();
}
