#include "grid/TCustomdxDBGrid.h"

#include "platform/forms/TApplication.h"

#include "platform/classes/ScopeExit.h"
#include "grid/TdxDBTreeListColumn.h"
#include "platform/db/TDataSet.h"

#include <algorithm>

namespace {

constexpr std::uint64_t bit(int n) { return std::uint64_t{1} << n; }

}  // namespace

TCustomdxDBGrid::TCustomdxDBGrid(TComponent* AOwner) : TCustomdxDBTreeListControl(AOwner) {
    m_published.bits[0] = TdxDBGridOptionsBehavior{edgoAutoSort, edgoDragScroll, edgoEditing, edgoEnterShowEditor,
                                                   edgoImmediateEditor, edgoTabThrough, edgoVertThrough}
                              .Bits();
    m_published.bits[1] =
        TdxDBGridOptionsCustomize{edgoBandMoving, edgoBandSizing, edgoColumnMoving, edgoColumnSizing}.Bits();
    m_published.bits[2] = TdxDBGridOptionsDB{edgoCancelOnExit, edgoCanDelete, edgoCanInsert, edgoCanNavigation,
                                             edgoConfirmDelete, edgoUseBookmarks}
                              .Bits();
    m_published.bits[3] = TdxDBGridOptionsView{edgoBandHeaderWidth, edgoUseBitmap}.Bits();
    TdxTreeListOptions core;
    TdxTreeListOptionsEx coreEx;
    dxgrid::core_flags_of(m_published, core, coreEx);
    SetTreeListOptions(core, coreEx);
}

void TCustomdxDBGrid::BeforeDestruction() {
    SaveLayoutOnce();
    TCustomdxDBTreeListControl::BeforeDestruction();
}

// ---- option sets ---------------------------------------------------------------------------

void TCustomdxDBGrid::SetOptionsBehavior(TdxDBGridOptionsBehavior value) {
    dxgrid::PublishedOptions p = m_published;
    p.bits[0] = value.Bits();
    WriteOptions(p);
}

void TCustomdxDBGrid::SetOptionsCustomize(TdxDBGridOptionsCustomize value) {
    dxgrid::PublishedOptions p = m_published;
    p.bits[1] = value.Bits();
    WriteOptions(p);
}

void TCustomdxDBGrid::SetOptionsDB(TdxDBGridOptionsDB value) {
    // Load-all and partial load exclude each other; load-all wins.
    if (value.Contains(edgoLoadAllRecords)) value -= edgoPartialLoad;
    dxgrid::PublishedOptions p = m_published;
    p.bits[2] = value.Bits();
    WriteOptions(p);
}

void TCustomdxDBGrid::SetOptionsView(TdxDBGridOptionsView value) {
    // Inverted selection and row selection exclude each other; inverted selection wins.
    if (value.Contains(edgoInvertSelect)) value -= edgoRowSelect;
    dxgrid::PublishedOptions p = m_published;
    p.bits[3] = value.Bits();
    WriteOptions(p);
}

TdxDBGridOptions TCustomdxDBGrid::Options() const {
    TdxDBGridOptions o;
    TdxDBGridOptionsEx ex;
    dxgrid::mirrors_of(m_published, o, ex);
    return o;
}

TdxDBGridOptionsEx TCustomdxDBGrid::OptionsEx() const {
    TdxDBGridOptions o;
    TdxDBGridOptionsEx ex;
    dxgrid::mirrors_of(m_published, o, ex);
    return ex;
}

void TCustomdxDBGrid::SetOptions(TdxDBGridOptions value) {
    dxgrid::PublishedOptions p = m_published;
    dxgrid::apply_mirrors(p, value, OptionsEx());
    SetOptionsView(TdxDBGridOptionsView::FromBits(p.bits[3]));
    SetOptionsDB(TdxDBGridOptionsDB::FromBits(p.bits[2]));
    p.bits[2] = m_published.bits[2];
    p.bits[3] = m_published.bits[3];
    WriteOptions(p);
}

void TCustomdxDBGrid::SetOptionsEx(TdxDBGridOptionsEx value) {
    dxgrid::PublishedOptions p = m_published;
    dxgrid::apply_mirrors(p, Options(), value);
    if (p.bits[2] & bit(edgoLoadAllRecords)) p.bits[2] &= ~bit(edgoPartialLoad);
    if (p.bits[3] & bit(edgoInvertSelect)) p.bits[3] &= ~bit(edgoRowSelect);
    WriteOptions(p);
}

void TCustomdxDBGrid::SetPartialLoad(bool value) {
    SetOptionsDB(value ? OptionsDB() + edgoPartialLoad : OptionsDB() - edgoPartialLoad);
}

void TCustomdxDBGrid::SetUseBookmarks(bool value) {
    SetOptionsDB(value ? OptionsDB() + edgoUseBookmarks : OptionsDB() - edgoUseBookmarks);
}

void TCustomdxDBGrid::WriteOptions(dxgrid::PublishedOptions value) {
    if (value == m_published) return;
    TdxTreeListOptions core;
    TdxTreeListOptionsEx coreEx;
    dxgrid::core_flags_of(value, core, coreEx);
    if (Loading()) {
        m_published = value;
        SetTreeListOptions(core, coreEx);
        return;
    }
    const dxgrid::PublishedOptions old = m_published;
    const UpdateLock lock(*this);
    const auto changed = [&](int group, int flag) { return ((old.bits[group] ^ value.bits[group]) & bit(flag)) != 0; };
    const auto set = [&](const dxgrid::PublishedOptions& p, int group, int flag) { return (p.bits[group] & bit(flag)) != 0; };
    if (changed(3, edgoAutoWidth) && !set(value, 3, edgoAutoWidth) && set(old, 1, edgoKeepColumnWidth))
        FreezeColumnWidths();
    const bool autoSortOn = !TreeListOptions().Contains(aoAutoSort) && core.Contains(aoAutoSort);
    m_published = value;
    SetTreeListOptions(core, coreEx);
    if (autoSortOn || changed(0, edgoAutoSort) || changed(0, edgoMultiSort)) ClearSorting();
}

void TCustomdxDBGrid::ClearSorting() {
    for (int i = 0; i < ColumnCount(); ++i) {
        auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(i));
        if (c && c->GroupIndex() >= 0) continue;
        Columns(i)->SetSorted(csNone);
    }
    RebuildSortedColumns();
}

void TCustomdxDBGrid::FreezeColumnWidths() {
    const dxgrid::GridLayout layout = LayoutAt96Dpi();
    if (IsBandHeaderWidth() && layout.bands().size() == 1) {
        const auto& rows = layout.bands().front().rows;
        if (rows.empty() || rows.front().empty()) return;
        const int first = rows.front().front();
        const dxgrid::SizingResult r = dxgrid::size_column(layout, first, layout.column_width(first));
        for (int i = 0; i < ColumnCount() && i < static_cast<int>(r.widths.size()); ++i)
            Columns(i)->SetWidth(r.widths[static_cast<std::size_t>(i)]);
    } else if (!layout.bands().empty()) {
        const dxgrid::VisibleBand& vb = layout.bands().front();
        Bands().Items(vb.band)->SetWidth(vb.display_width + GroupIndent());
    }
}

// ---- data modes ------------------------------------------------------------------------------

bool TCustomdxDBGrid::HasGroupedColumns() const {
    if (!DataLink().Active()) return false;
    for (int i = 0; i < ColumnCount(); ++i)
        if (auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(i)); c && c->GroupIndex() >= 0) return true;
    return false;
}

bool TCustomdxDBGrid::IsGridMode() const {
    return !OptionsDB().Contains(edgoLoadAllRecords) && !OptionsDB().Contains(edgoPartialLoad) && !HasGroupedColumns();
}

bool TCustomdxDBGrid::IsPartialLoadMode() const {
    return !OptionsDB().Contains(edgoLoadAllRecords) && OptionsDB().Contains(edgoPartialLoad) && !HasGroupedColumns();
}

bool TCustomdxDBGrid::IsLoadAllMode() const { return !IsGridMode() && !IsPartialLoadMode(); }

bool TCustomdxDBGrid::IsAutoSort() const { return Options().Contains(egoAutoSort) && IsLoadAllMode(); }

bool TCustomdxDBGrid::IsMultiSort() const { return Options().Contains(egoMultiSort) && !IsGridMode(); }

bool TCustomdxDBGrid::IsDragScroll() const {
    if (!TCustomdxDBTreeListControl::IsDragScroll()) return false;
    const TDataSet* ds = DataSet();
    const TDataSetState state = ds ? ds->State() : dsInactive;
    return state != dsEdit && state != dsInsert && state != dsSetKey;
}

bool TCustomdxDBGrid::IsColumnMovingFor(const TdxTreeListColumn* column) const {
    if (!IsColumnMoving() || !column || column->DisableDragging()) return false;
    bool allow = true;
    if (OnCanHeaderDragging) OnCanHeaderDragging(const_cast<TCustomdxDBGrid*>(this), const_cast<TdxTreeListColumn*>(column), allow);
    return allow;
}

// ---- loading and the stored layout ------------------------------------------------------------

void TCustomdxDBGrid::LoadedColumns() {
    // Grid mode sorts nothing itself: at most one sorted column unless multi-sort is possible.
    if (!IsMultiSort()) {
        bool kept = false;
        for (int i = 0; i < ColumnCount(); ++i) {
            auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(i));
            if (Columns(i)->Sorted() == csNone || (c && c->GroupIndex() >= 0)) continue;
            if (kept) Columns(i)->m_sorted = csNone;
            kept = true;
        }
        RebuildSortedColumns();
    }
    TCustomdxDBTreeListControl::LoadedColumns();
    LoadLayout();
}

void TCustomdxDBGrid::SaveLayoutOnce() {
    if (m_layoutSaved) return;
    m_layoutSaved = true;
    // Runs while the grid or its form is being destroyed: a file that cannot
    // be written must not end the program; the user is told on standard error.
    try {
        SaveLayout();
    } catch (const std::exception& e) {
        forms::report_unsaved_layout(e);
    }
}
