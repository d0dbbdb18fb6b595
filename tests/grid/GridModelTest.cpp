// The grid's model without data: option sets and their views, columns with
// their clamps and assigned flags, bands, header rows and nodes.
#include "tests/grid/GridTestSupport.h"

#include <gtest/gtest.h>

using forms::test::HeadlessApp;

namespace {

class GridModelTest : public HeadlessApp {
protected:
    void SetUp() override {
        form = TComponent::Own<TForm>(app.get());
        form->SetBounds(0, 0, 700, 400);
        grid = TComponent::Own<TdxDBGrid>(form);
        grid->SetParent(form);
        grid->SetAlign(alClient);
    }
    TdxDBGridMaskColumn* add_column(const char* name, const char* field = "") {
        auto* c = TComponent::Own<TdxDBGridMaskColumn>(form);
        c->SetName(name);
        c->SetATreeList(grid);
        c->SetFieldName(field);
        return c;
    }
    TForm* form = nullptr;
    TdxDBGrid* grid = nullptr;
};

}  // namespace

TEST_F(GridModelTest, OptionSetsKeepTheirMirrorsAndCoreFlagsInStep) {
    grid->SetOptionsView({edgoInvertSelect, edgoRowSelect, edgoAutoWidth});
    EXPECT_EQ(grid->OptionsView(), (TdxDBGridOptionsView{edgoInvertSelect, edgoAutoWidth}));
    EXPECT_TRUE(grid->TreeListOptionsEx().Contains(aoAutoWidth));
    EXPECT_FALSE(grid->TreeListOptionsEx().Contains(aoRowSelect));
    grid->SetOptionsDB({edgoLoadAllRecords, edgoPartialLoad});
    EXPECT_EQ(grid->OptionsDB(), TdxDBGridOptionsDB{edgoLoadAllRecords});
    EXPECT_TRUE(grid->IsLoadAllMode());

    grid->SetOptions(grid->Options() - egoAutoSort);
    EXPECT_FALSE(grid->OptionsBehavior().Contains(edgoAutoSort));
    EXPECT_FALSE(grid->TreeListOptions().Contains(aoAutoSort));
    grid->SetOptionsBehavior(grid->OptionsBehavior() + edgoAutoSort);
    EXPECT_TRUE(grid->Options().Contains(egoAutoSort));
    grid->SetOptionsEx(grid->OptionsEx() + egoIndicator);
    EXPECT_TRUE(grid->OptionsView().Contains(edgoIndicator));
    EXPECT_TRUE(grid->IsIndicator());
    // Flags without a mirror keep their value when the mirrors are written.
    grid->SetOptionsView(grid->OptionsView() + edgoHotTrack);
    grid->SetOptions(grid->Options());
    grid->SetOptionsEx(grid->OptionsEx() - egoIndicator);
    EXPECT_TRUE(grid->OptionsView().Contains(edgoHotTrack));
    EXPECT_TRUE(grid->IsHotTrack());
}

TEST_F(GridModelTest, TheDirectoryGridsOptionsGiveGridModeWithoutSorting) {
    grid->SetOptionsBehavior({edgoAnsiSort, edgoAutoSearch, edgoAutoSort, edgoDragScroll, edgoEnterShowEditor,
                              edgoImmediateEditor, edgoMouseScroll, edgoStoreToIniFile, edgoTabThrough, edgoVertThrough});
    grid->SetOptionsDB({edgoCancelOnExit, edgoCanNavigation, edgoConfirmDelete, edgoUseBookmarks});
    grid->SetOptionsView({edgoAutoWidth, edgoHideFocusRect, edgoHotTrack, edgoUseBitmap});
    EXPECT_TRUE(grid->IsGridMode());
    EXPECT_FALSE(grid->IsAutoSort());
    EXPECT_FALSE(grid->IsMultiSort());
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_TRUE(grid->IsBandHeaderWidth());  // the default layout
    EXPECT_TRUE(grid->UseBookmarks());
    EXPECT_FALSE(grid->PartialLoad());
}

TEST_F(GridModelTest, ChangingAutoSortClearsTheSortedColumns) {
    TdxDBGridMaskColumn* c = add_column("C1");
    c->SetSorted(csUp);
    grid->RebuildSortedColumns();
    ASSERT_EQ(grid->SortedColumns().size(), 1u);
    grid->SetOptionsBehavior(grid->OptionsBehavior() - edgoAutoSort);
    EXPECT_EQ(c->Sorted(), csNone);
    EXPECT_TRUE(grid->SortedColumns().empty());
}

TEST_F(GridModelTest, ColumnPropertiesAreClamped) {
    TdxDBGridMaskColumn* c = add_column("C1", "Name");
    c->SetWidth(10);
    EXPECT_EQ(c->Width(), 20);
    c->SetMinWidth(-5);
    EXPECT_EQ(c->MinWidth(), 0);
    c->SetRowIndex(1);
    EXPECT_EQ(c->RowIndex(), 0);
    c->SetBandIndex(7);
    EXPECT_EQ(c->BandIndex(), 0);
    c->SetBandIndex(-3);
    EXPECT_EQ(c->BandIndex(), -1);
    c->SetHeaderMaxLineCount(-2);
    EXPECT_EQ(c->HeaderMaxLineCount(), 0);
    grid->SetGrIndicatorWidth(3);
    EXPECT_EQ(grid->GrIndicatorWidth(), 12);
    grid->SetRowSeparatorLineWidth(0);
    EXPECT_EQ(grid->RowSeparatorLineWidth(), 1);
    grid->SetMaxRowLineCount(-9);
    EXPECT_EQ(grid->MaxRowLineCount(), -1);
    grid->SetHeaderPanelRowCount(9);
    EXPECT_EQ(grid->HeaderPanelRowCount(), 5);
    EXPECT_FALSE(grid->DefaultLayout());
}

TEST_F(GridModelTest, UnassignedCaptionAndWidthFollowTheDefaults) {
    TdxDBGridMaskColumn* c = add_column("C1", "Name");
    EXPECT_EQ(c->Caption(), "Name");
    EXPECT_FALSE(c->WidthAssigned());
    const int byName = c->Width();
    c->SetCaption("A much longer caption than before");
    EXPECT_GT(c->Width(), byName);  // recomputed from the caption
    c->SetWidth(77);
    EXPECT_TRUE(c->WidthAssigned());
    c->SetCaption("X");
    EXPECT_EQ(c->Width(), 77);  // an assigned width is never recomputed
    TdxDBGridMaskColumn* d = add_column("C2");
    EXPECT_EQ(d->Width(), 64);
    d->SetWidth(64);
    EXPECT_FALSE(d->WidthAssigned());
}

TEST_F(GridModelTest, EmptyHeaderRowsCloseUp) {
    grid->SetHeaderPanelRowCount(3);
    TdxDBGridMaskColumn* a = add_column("A");
    TdxDBGridMaskColumn* b = add_column("B");
    a->SetRowIndex(0);
    b->SetRowIndex(2);
    EXPECT_EQ(b->RowIndex(), 1);
    a->SetVisible(false);
    EXPECT_EQ(b->RowIndex(), 0);
    // A temporary reduction of the row count keeps the stored row.
    a->SetVisible(true);
    TdxDBGridMaskColumn* c = add_column("C");
    c->SetRowIndex(1);
    b->SetRowIndex(2);
    EXPECT_EQ(b->RowIndex(), 2);
    grid->SetHeaderPanelRowCount(2);
    EXPECT_EQ(b->RowIndex(), 1);
    EXPECT_EQ(b->StoredRowIndex(), 2);
    grid->SetHeaderPanelRowCount(3);
    EXPECT_EQ(b->RowIndex(), 2);
}

TEST_F(GridModelTest, DefaultLayoutLeavesOneVisibleBandWithEveryColumn) {
    grid->SetDefaultLayout(false);
    grid->Bands().Add();
    grid->Bands().Add();
    ASSERT_EQ(grid->Bands().Count(), 3);
    EXPECT_EQ(grid->Bands().Items(2)->ID(), 2);
    TdxDBGridMaskColumn* a = add_column("A");
    a->SetBandIndex(2);
    grid->Bands().Items(0)->SetVisible(false);
    grid->SetDefaultLayout(true);
    EXPECT_EQ(grid->Bands().Count(), 1);
    EXPECT_TRUE(grid->Bands().Items(0)->Visible());
    EXPECT_EQ(a->BandIndex(), 0);
    EXPECT_FALSE(grid->ShowBands());
    // Band numbers are never reused.
    EXPECT_EQ(grid->Bands().Add()->ID(), 3);
}

TEST_F(GridModelTest, ColIndexMovesTheColumnAmongTheVisibleOnes) {
    TdxDBGridMaskColumn* a = add_column("A");
    TdxDBGridMaskColumn* hidden = add_column("H");
    TdxDBGridMaskColumn* b = add_column("B");
    TdxDBGridMaskColumn* c = add_column("C");
    hidden->SetVisible(false);
    EXPECT_EQ(b->ColIndex(), 1);
    c->SetColIndex(0);
    EXPECT_EQ(c->Index(), 0);
    EXPECT_EQ(a->ColIndex(), 1);
    a->SetColIndex(99);
    EXPECT_EQ(a->ColIndex(), 2);
    EXPECT_EQ(grid->Columns(grid->ColumnCount() - 1), a);
    grid->check_invariants();
}

TEST_F(GridModelTest, AssignedRowHeightBelowTheComputedReadsBackTheComputed) {
    const int computed = grid->DefaultRowHeight();
    grid->SetDefaultRowHeight(computed - 5);
    EXPECT_EQ(grid->DefaultRowHeight(), computed);
    grid->SetDefaultRowHeight(computed + 5);
    EXPECT_EQ(grid->DefaultRowHeight(), computed + 5);
    EXPECT_TRUE(grid->DefaultRowHeightAssigned());
    grid->SetDefaultRowHeight(computed);
    EXPECT_FALSE(grid->DefaultRowHeightAssigned());
}

TEST_F(GridModelTest, ANodeNeedsAnOwner) {
    try {
        TdxTreeListNode node(nullptr, nullptr);
        FAIL() << "a node without an owner was made";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), text::utf8_to_cp1251("Неверный владелец TdxTreeListNode"));
    }
    EXPECT_EQ(grid->Count(), 1);  // an unbound grid holds one node
}
