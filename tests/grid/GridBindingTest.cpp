// The grid on a form bound to a generated subscriber table: its rows are the
// table's record window, moves of the focus are moves of the table, a
// one-row scroll moves the pixels of the other rows, searches show their
// record, and the scroll bar follows the record number.
#include "tests/grid/GridTestSupport.h"

#include "directory/DirectorySearch.h"
#include "grid/GridScrollModel.h"
#include "platform/db/TField.h"

#include <gtest/gtest.h>

using gridtest::GridOnForm;

namespace {

class GridBindingTest : public GridOnForm {
protected:
    // Every pixel of the grid as the screen shows it.
    std::vector<gfx::Pixel> grid_pixels() {
        std::vector<gfx::Pixel> pixels;
        const ui::HWND top = ws().get_top_level(grid->Handle());
        const TPoint origin = ws().client_to_screen(grid->Handle(), {0, 0});
        const TPoint top_origin = ws().client_to_screen(top, {0, 0});
        const TBitmap& bitmap = *ws().window_pixels(top);
        for (int y = 0; y < grid->ClientHeight(); ++y) {
            const gfx::Pixel* row = bitmap.ScanLine(origin.Y - top_origin.Y + y) + (origin.X - top_origin.X);
            pixels.insert(pixels.end(), row, row + grid->ClientWidth());
        }
        return pixels;
    }
    AnsiString field(const char* name) { return phones().FieldByName(name)->DisplayText(); }
};

}  // namespace

TEST_F(GridBindingTest, TheRowsAreTheRecordWindowAndFollowTheWindowSize) {
    open(1000, 700, 400);
    const int rowsHeight = grid->ClientHeight() - grid->HeaderPanelHeight();
    const int F = rowsHeight / grid->NodeHeight();
    EXPECT_EQ(grid->FullRows(), F);
    EXPECT_EQ(grid->DataLink().BufferCount(), F);
    EXPECT_EQ(grid->Count(), F);
    EXPECT_EQ(grid->FocusedNumber(), grid->DataLink().ActiveRecord());
    grid->check_invariants();

    form->SetHeight(400 + 5 * grid->NodeHeight());
    host.pump();
    EXPECT_EQ(grid->FullRows(), F + 5);
    EXPECT_EQ(grid->DataLink().BufferCount(), F + 5);
    EXPECT_EQ(grid->Count(), F + 5);
    grid->check_invariants();

    // The cells show the fields of their records.
    const int row = 3;
    grid->DataLink().SetActiveRecord(row);
    const AnsiString lastName = field("LastName");
    grid->DataLink().SetActiveRecord(grid->FocusedNumber());
    EXPECT_EQ(grid->GetCellText(grid->Items(row), form->column("PhoneGridLastName")->Index()), lastName);
}

TEST_F(GridBindingTest, AClosedTableLeavesOneEmptyFocusedRow) {
    open(1000, 700, 400);
    phones().Close();
    host.pump();
    EXPECT_EQ(grid->Count(), 1);
    EXPECT_EQ(grid->FocusedNumber(), 0);
    EXPECT_EQ(grid->GetCellText(grid->Items(0), 2), AnsiString());
    grid->check_invariants();
}

TEST_F(GridBindingTest, FocusingARowMovesTheTable) {
    open(1000, 700, 400);
    const int recno = phones().RecNo();
    grid->SetFocusedNumber(grid->FocusedNumber() + 2);
    EXPECT_EQ(phones().RecNo(), recno + 2);
    EXPECT_EQ(grid->FocusedNumber(), grid->DataLink().ActiveRecord());
    grid->check_invariants();
}

TEST_F(GridBindingTest, DownAtTheBottomRowScrollsThePixelsOfTheOtherRowsByOneRow) {
    open(1000, 700, 400);
    grid->SetFocus();
    grid->SetFocusedNumber(grid->Count() - 1);
    host.pump();
    const int F = grid->FullRows();
    const int recno = phones().RecNo();
    const int pos = grid->GetScrollInfo(sbVertical).pos;

    grid->SetFocusedNumber(grid->FocusedNumber() + 1);
    EXPECT_EQ(phones().RecNo(), recno + 1);
    EXPECT_EQ(grid->FocusedNumber(), F - 1);
    EXPECT_EQ(grid->Count(), F);
    EXPECT_EQ(grid->GetScrollInfo(sbVertical).pos, pos + 1);
    // Only the new bottom row and the row the focus left wait for painting.
    const gfx::Region pending = ws().get_update_region(grid->Handle());
    const TRect rows = grid->Layout().rows_area();
    const int h = grid->NodeHeight();
    const int width = grid->ClientWidth();
    EXPECT_TRUE(pending.covers(TRect{0, rows.Top + (F - 2) * h, width, rows.Top + F * h}));
    EXPECT_FALSE(pending.intersects(TRect{0, 0, width, rows.Top + (F - 2) * h}));
    host.pump();
    const auto scrolled = grid_pixels();
    grid->Invalidate();
    host.pump();
    EXPECT_TRUE(scrolled == grid_pixels()) << "the scrolled rows differ from a full repaint";
    grid->check_invariants();
}

TEST_F(GridBindingTest, RowScrollsLeaveWhatAFullRepaintShows) {
    // D: Down at the bottom row; U: Up at the top row; W, w: a wheel notch
    // down, up; f: the focus to the next column; p: paint what is due.
    const char* const cases[] = {"Dp", "DDDp", "DpDpDp", "UpUp", "UUp", "DUp", "WWWp", "wpWp", "fDpfDDp", "DfUp"};
    open(1000, 700, 400);
    grid->SetFocus();
    // Away from the first record, so that Up scrolls too.
    for (int i = 0; i < 3; ++i) grid->SetFocusedNumber(grid->Count() - 1 + i * grid->Count());
    host.pump();
    const TPoint overRows = ws().client_to_screen(grid->Handle(), {200, grid->ClientHeight() / 2});
    for (const char* steps : cases) {
        for (const char* c = steps; *c; ++c) {
            switch (*c) {
            case 'D':
                grid->SetFocusedNumber(grid->Count() - 1);
                grid->SetFocusedNumber(grid->Count());
                break;
            case 'U':
                grid->SetFocusedNumber(0);
                grid->SetFocusedNumber(-1);
                break;
            case 'W': host.wheel(-120, overRows); break;
            case 'w': host.wheel(120, overRows); break;
            case 'f': grid->SetFocusedColumn((grid->FocusedColumn() + 1) % grid->ColumnCount()); break;
            case 'p': host.pump(); break;
            }
        }
        const auto scrolled = grid_pixels();
        grid->Invalidate();
        host.pump();
        EXPECT_TRUE(scrolled == grid_pixels()) << "after " << steps;
        grid->check_invariants();
    }
}

TEST_F(GridBindingTest, ASearchRebuildsTheRowsWithTheFoundRecordInTheMiddle) {
    open(1000, 700, 400);
    directory::DirectorySearch search(form->tables.PhoneT, form->tables.CityT, form->tables.StreetT);
    search.LastNameEditChange(text::utf8_to_cp1251("Ив"));
    const int F = grid->FullRows();
    EXPECT_EQ(grid->FocusedNumber(), (F - 1) / 2);
    EXPECT_EQ(grid->FocusedNumber(), grid->DataLink().ActiveRecord());
    const AnsiString found = field("LastName");
    EXPECT_GE(found, text::utf8_to_cp1251("Ив"));
    const int lastName = form->column("PhoneGridLastName")->Index();
    EXPECT_EQ(grid->GetCellText(grid->FocusedNode(), lastName), found);
    // Every row is drawn again.
    EXPECT_TRUE(ws().get_update_region(grid->Handle()).covers(grid->ClientRect()));
    EXPECT_EQ(grid->GetScrollInfo(sbVertical).pos, phones().RecNo());
    grid->check_invariants();
}

TEST_F(GridBindingTest, TheScrollBarThumbTracksTheRecordNumber) {
    open(20000, 700, 400);
    grid->SetFocus();
    const int F = grid->FullRows();
    auto bar = grid->GetScrollInfo(sbVertical);
    EXPECT_EQ(bar.min, 1);
    EXPECT_EQ(bar.max, 20000 + F - 1);
    EXPECT_EQ(bar.page, F);
    EXPECT_EQ(bar.pos, phones().RecNo());
    phones().First();
    grid->Perform(forms::WM_VSCROLL, forms::SB_PAGEDOWN);
    EXPECT_EQ(phones().RecNo(), 1 + F);
    EXPECT_EQ(grid->GetScrollInfo(sbVertical).pos, 1 + F);
    grid->Perform(forms::WM_VSCROLL, forms::SB_BOTTOM);
    EXPECT_EQ(phones().RecNo(), 20000);
    EXPECT_EQ(grid->GetScrollInfo(sbVertical).pos, 20000);
    EXPECT_EQ(grid->FocusedNumber(), F - 1);
    grid->Perform(forms::WM_VSCROLL, forms::SB_LINEUP);
    EXPECT_EQ(phones().RecNo(), 20000 - F);
    grid->Perform(forms::WM_VSCROLL, forms::SB_TOP);
    EXPECT_EQ(phones().RecNo(), 1);
    EXPECT_EQ(grid->GetScrollInfo(sbVertical).pos, 1);
    grid->Perform(forms::WM_VSCROLL, forms::SB_LINEDOWN);
    EXPECT_EQ(phones().RecNo(), F + 1);
    grid->check_invariants();
}

TEST(GridScrollModelTest, CommandsBecomeDatasetMoves) {
    using namespace dxgrid;
    DataPosition seq;
    seq.active = true;
    seq.record_count = 1000;
    DataPosition unseq = seq;
    unseq.sequenced = false;
    const struct {
        int code;
        const DataPosition* data;
        int track;
        ScrollAction action;
    } cases[] = {
        {forms::SB_LINEUP, &seq, 0, {DataMove::MoveBy, -6}},
        {forms::SB_LINEDOWN, &seq, 0, {DataMove::MoveBy, 15}},
        {forms::SB_PAGEUP, &seq, 0, {DataMove::MoveBy, -20}},
        {forms::SB_PAGEDOWN, &seq, 0, {DataMove::MoveBy, 20}},
        {forms::SB_THUMBPOSITION, &seq, 1, {DataMove::First, 0}},
        {forms::SB_THUMBPOSITION, &seq, 500, {DataMove::RecNo, 500}},
        {forms::SB_THUMBPOSITION, &seq, 1000, {DataMove::Last, 0}},
        {forms::SB_THUMBPOSITION, &seq, 5000, {DataMove::Last, 0}},
        {forms::SB_THUMBPOSITION, &unseq, 0, {DataMove::First, 0}},
        {forms::SB_THUMBPOSITION, &unseq, 1, {DataMove::MoveBy, -20}},
        {forms::SB_THUMBPOSITION, &unseq, 2, {}},
        {forms::SB_THUMBPOSITION, &unseq, 3, {DataMove::MoveBy, 20}},
        {forms::SB_THUMBPOSITION, &unseq, 4, {DataMove::Last, 0}},
        {forms::SB_THUMBTRACK, &seq, 300, {}},
        {forms::SB_TOP, &seq, 0, {DataMove::First, 0}},
        {forms::SB_BOTTOM, &seq, 0, {DataMove::Last, 0}},
        {forms::SB_ENDSCROLL, &seq, 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vertical_scroll_action(c.code, *c.data, 5, 20, 20, c.track), c.action) << "code " << c.code;

    DataPosition inactive;
    EXPECT_EQ(vertical_scroll_values(inactive, 20, 7).max, 4);
    EXPECT_EQ(vertical_scroll_values(inactive, 20, 7).pos, 7);
    unseq.eof = true;
    EXPECT_EQ(vertical_scroll_values(unseq, 20, 0).pos, 4);
    seq.recno = 42;
    const forms::ScrollValues v = vertical_scroll_values(seq, 20, 0);
    EXPECT_EQ(v.min, 1);
    EXPECT_EQ(v.max, 1019);
    EXPECT_EQ(v.page, 20);
    EXPECT_EQ(v.pos, 42);
    seq.recno = -1;
    EXPECT_EQ(vertical_scroll_values(seq, 20, 9).pos, 9);
}
