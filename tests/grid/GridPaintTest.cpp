// The grid as the screen shows it and as the mouse sizes it: pixel probes of
// the ultra-flat header, the focused cell with and without the focus, grid
// lines, the area below the last row and the sort glyph; what a change
// repaints; sizing a column by its header edge; the lookup columns' text.
#include "tests/grid/GridTestSupport.h"

#include "grid/GridPainter.h"
#include "platform/db/TField.h"

#include <gtest/gtest.h>

using gridtest::GridOnForm;

namespace {

class GridPaintTest : public GridOnForm {
protected:
    // A pixel of the grid's client area, as RGB.
    TColor px(int x, int y) {
        const ui::HWND top = ws().get_top_level(grid->Handle());
        const TPoint p = ws().client_to_screen(grid->Handle(), {x, y});
        const TPoint o = ws().client_to_screen(top, {0, 0});
        return host.pixel(top, p.X - o.X, p.Y - o.Y);
    }
    static TColor rgb(TColor c) { return ColorToRGB(c); }
    const dxgrid::HeaderCell& cell(const char* column) { return *grid->Layout().header_cell(form->column(column)->Index()); }
    TRect data_cell(int row, const char* column) { return grid->CellRect(row, form->column(column)->Index()); }
};

}  // namespace

TEST_F(GridPaintTest, UltraFlatHeaderCellsHaveShadowLinesOnTheHeaderColour) {
    open(1000, 700, 300);
    const dxgrid::HeaderCell& c = cell("PhoneGridLastName");
    const int bottom = c.rect.Bottom - 1, right = c.rect.Right - 1, mid = (c.rect.Top + c.rect.Bottom) / 2;
    EXPECT_EQ(px(c.rect.Left + 1, c.rect.Top), rgb(clBtnShadow));
    EXPECT_EQ(px(c.rect.Left + 1, bottom), rgb(clBtnShadow));
    EXPECT_EQ(px(c.rect.Left + 1, c.rect.Top + 1), rgb(clBtnFace));
    EXPECT_EQ(px(right, mid), rgb(clBtnShadow));
    // The separator stops short of the top and bottom lines.
    EXPECT_EQ(px(right, c.rect.Top + 1), rgb(clBtnFace));
    EXPECT_EQ(px(right, bottom - 1), rgb(clBtnFace));
    // The last cell's separator runs from the top.
    const dxgrid::HeaderCell& last = cell("PhoneGridFlat");
    EXPECT_EQ(px(last.rect.Right - 1, last.rect.Top + 1), rgb(clBtnShadow));
}

TEST_F(GridPaintTest, FocusedCellInHighlightColoursAndAnInvertedFrameWithoutTheFocus) {
    open(1000, 700, 300);
    grid->SetFocus();
    host.pump();
    const int row = grid->FocusedNumber();
    const TRect focused = data_cell(row, "PhoneGridPhone");
    EXPECT_EQ(grid->FocusedColumn(), form->column("PhoneGridPhone")->Index());
    // No focus rectangle while focused: the corner is the highlight colour.
    EXPECT_EQ(px(focused.Left, focused.Top), rgb(clHighlight));
    EXPECT_EQ(px(focused.Right - 3, focused.Top + 1), rgb(clHighlight));
    // The rest of the focused row is painted like any other row.
    const TRect other = data_cell(row, "PhoneGridLastName");
    EXPECT_EQ(px(other.Right - 3, other.Top + 1), rgb(clWindow));

    // The focus goes elsewhere: the cell keeps the highlight, framed by inverted pixels.
    ws().set_focus(form->Handle());
    host.pump();
    EXPECT_EQ(px(focused.Left, focused.Top), rgb(clHighlight) ^ 0xFFFFFF);
    EXPECT_EQ(px(focused.Right - 3, focused.Top + 3), rgb(clHighlight));
}

TEST_F(GridPaintTest, GridLinesRunUnderRowsAndBetweenCells) {
    open(1000, 700, 300);
    const TRect c = data_cell(2, "PhoneGridFirstName");
    const TColor line = rgb(clBtnFace);  // the window colour differs from the button face
    EXPECT_EQ(px(c.Left + 5, c.Bottom - 1), line);
    EXPECT_EQ(px(c.Right - 1, c.Top + 3), line);
    EXPECT_EQ(GridPainter::grid_line_color(clNone, clBtnFace, false), clBtnShadow);
    EXPECT_EQ(GridPainter::grid_line_color(clNone, clWindow, true), clBtnShadow);
    EXPECT_EQ(GridPainter::grid_line_color(clRed, clWindow, false), clRed);
}

TEST_F(GridPaintTest, BelowTheLastRowIsTheGridColour) {
    open(4, 700, 300);
    ASSERT_EQ(grid->Count(), 4);
    const TRect last = grid->Layout().row_rect(3);
    EXPECT_EQ(px(10, last.Bottom + 5), rgb(clWindow));
    EXPECT_EQ(px(grid->Layout().cells_right() - 1, last.Bottom + 5), rgb(clWindow));
}

TEST_F(GridPaintTest, SortGlyphInTheHeaderOfASortedColumn) {
    open(1000, 700, 300);
    form->column("PhoneGridLastName")->SetSorted(csUp);
    host.pump();
    const dxgrid::HeaderCell& c = cell("PhoneGridLastName");
    const TRect content{c.rect.Left + 3, c.rect.Top + 2, c.rect.Right - 3, c.rect.Bottom - 3};
    const int cx = (content.Right - 16 + content.Right) / 2, cy = (content.Top + content.Bottom) / 2;
    const int X0 = cx - 4, Y0 = cy - 3, Y1 = cy + 4;
    EXPECT_EQ(px(X0 + 3, Y0), rgb(clBtnShadow));
    EXPECT_EQ(px(X0 + 1, Y1 - 1), rgb(clBtnHighlight));
    form->column("PhoneGridLastName")->SetSorted(csDown);
    host.pump();
    EXPECT_EQ(px(X0, Y0), rgb(clBtnShadow));
    EXPECT_EQ(px(X0 + 7, Y0 + 1), rgb(clBtnHighlight));
}

TEST_F(GridPaintTest, MovingTheFocusedColumnRepaintsOnlyTheTwoCells) {
    open(1000, 700, 300);
    host.pump();
    const int row = grid->FocusedNumber();
    grid->SetFocusedColumn(form->column("PhoneGridFirstName")->Index());
    const gfx::Region pending = ws().get_update_region(grid->Handle());
    gfx::Region expected(data_cell(row, "PhoneGridPhone"));
    expected.add((data_cell(row, "PhoneGridFirstName")));
    EXPECT_EQ(pending, expected);
}

TEST_F(GridPaintTest, BelowItsMinimumWidthTheGridScrollsSideways) {
    open(1000, 150, 300);
    EXPECT_EQ(grid->Layout().total_width(), 160);
    EXPECT_TRUE(grid->ScrollBarVisible(sbHorizontal));
    const int left = cell("PhoneGridLastName").rect.Left;
    grid->Perform(forms::WM_HSCROLL, forms::SB_LINERIGHT);
    EXPECT_EQ(grid->LeftCoord(), 8);
    EXPECT_EQ(cell("PhoneGridLastName").rect.Left, left - 8);
    grid->Perform(forms::WM_HSCROLL, forms::SB_RIGHT);
    EXPECT_EQ(grid->LeftCoord(), 160 - grid->ClientWidth());
}

TEST_F(GridPaintTest, DraggingAHeaderEdgeSizesTheColumnAndItsNeighbours) {
    // The grid's client area is 677 pixels wide beside its vertical scroll bar.
    open(1000, 677 + TWinControl::kScrollBarSize, 300);
    ASSERT_EQ(grid->ClientWidth(), 677);
    int changes = 0;
    grid->OnChangedColumnsWidth = [&](TObject*) { ++changes; };
    const dxgrid::HeaderCell& c = cell("PhoneGridFirstName");
    ASSERT_EQ(c.rect.Width(), 79);
    const int y = c.rect.Top + 5, x = c.rect.Right - 1;
    host.mouse_move(at(x, y));
    host.pump();
    EXPECT_EQ(host.cursor().shape, ui::StandardCursor::size_we);
    host.mouse_down(ui::MouseButton::left, at(x, y));
    host.pump();
    EXPECT_EQ(grid->State(), tsColumnSizing);
    host.mouse_move(at(x + 30, y));
    host.mouse_up(ui::MouseButton::left, at(x + 30, y));
    host.pump();
    EXPECT_EQ(grid->State(), tsNormal);
    EXPECT_EQ(changes, 1);
    std::vector<int> widths;
    for (int i = 0; i < grid->ColumnCount(); ++i) widths.push_back(grid->Columns(i)->Width());
    EXPECT_EQ(widths, (std::vector<int>{58, 49, 130, 109, 81, 58, 58, 121, 121, 41, 25}));
    EXPECT_EQ(grid->ColumnDisplayWidth(form->column("PhoneGridFirstName")), 109);

    // A right-button press ends a sizing without a change.
    host.mouse_down(ui::MouseButton::left, at(cell("PhoneGridFirstName").rect.Right - 1, y));
    host.mouse_move(at(x + 60, y));
    host.mouse_down(ui::MouseButton::right, at(x + 60, y));
    host.mouse_up(ui::MouseButton::right, at(x + 60, y));
    host.mouse_up(ui::MouseButton::left, at(x + 60, y));
    host.pump();
    EXPECT_EQ(grid->State(), tsNormal);
    EXPECT_EQ(form->column("PhoneGridFirstName")->Width(), 109);
    EXPECT_EQ(changes, 1);

    // Resizing the window changes no stored width.
    form->SetWidth(500);
    host.pump();
    EXPECT_EQ(form->column("PhoneGridFirstName")->Width(), 109);
    grid->check_invariants();
}

TEST_F(GridPaintTest, ALookupColumnShowsTheNameOrNothingForAnUnknownCode) {
    open(1000, 700, 300);
    TTable& t = phones();
    t.First();
    while (!t.Eof() && t.FieldByName("Street")->AsInteger() != tools::kMissingStreetCode) t.Next();
    ASSERT_FALSE(t.Eof());
    TdxTreeListNode* node = grid->FocusedNode();
    EXPECT_EQ(grid->GetCellText(node, form->column("PhoneGridStreetStr")->Index()), AnsiString());
    EXPECT_NE(grid->GetCellText(node, form->column("PhoneGridLastName")->Index()), AnsiString());
    EXPECT_NE(grid->GetCellText(node, form->column("PhoneGridCityStr")->Index()), AnsiString());
    t.First();
    EXPECT_EQ(grid->GetCellText(grid->FocusedNode(), form->column("PhoneGridCityStr")->Index()),
              t.FieldByName("CityStr")->DisplayText());
}
