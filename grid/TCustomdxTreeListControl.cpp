#include "grid/TCustomdxTreeListControl.h"

#include "grid/GridPainter.h"
#include "platform/classes/Invariant.h"
#include "platform/classes/ScopeExit.h"
#include "grid/TdxTreeListColumn.h"
#include "platform/gfx/FontFace.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <stdexcept>

namespace {

int text_width(const TFont& font, std::string_view text) { return gfx::font_face(font).text_width(text); }

}  // namespace

TCustomdxTreeListControl::TCustomdxTreeListControl(TComponent* AOwner) : TCustomdxTreeList(AOwner), m_bands(*this) {
    // A new grid has the default layout: one band.
    m_bands.Add();
}

TCustomdxTreeListControl::~TCustomdxTreeListControl() {
    for (TdxTreeListColumn* c : m_columns) c->m_treeList = nullptr;
    m_columns.clear();
}

// ---- header panel ---------------------------------------------------------------------

void TCustomdxTreeListControl::SetHeaderPanelRowCount(int value) {
    value = std::clamp(value, 1, m_headerPanelMaxRowCount);
    if (value == m_headerPanelRowCount) return;
    m_headerPanelRowCount = value;
    if (value > 1) m_defaultLayout = false;
    if (Loading()) return;
    NormalizeHeaderRows();
    LayoutChanged();
}

void TCustomdxTreeListControl::SetHeaderPanelMaxRowCount(int value) {
    value = std::max(value, 1);
    if (value == m_headerPanelMaxRowCount) return;
    m_headerPanelMaxRowCount = value;
    if (m_headerPanelRowCount > value) SetHeaderPanelRowCount(value);
}

void TCustomdxTreeListControl::SetHeaderMinRowCount(int value) {
    value = std::max(value, 1);
    if (value == m_headerMinRowCount) return;
    m_headerMinRowCount = value;
    LayoutChanged();
}

void TCustomdxTreeListControl::SetBandRowCount(int value) {
    value = std::clamp(value, 1, m_bandMaxRowCount);
    if (value == m_bandRowCount) return;
    m_bandRowCount = value;
    LayoutChanged();
}

void TCustomdxTreeListControl::SetBandMaxRowCount(int value) {
    value = std::max(value, 1);
    if (value == m_bandMaxRowCount) return;
    m_bandMaxRowCount = value;
    if (m_bandRowCount > value) SetBandRowCount(value);
}

void TCustomdxTreeListControl::SetDefaultLayout(bool value) {
    if (value == m_defaultLayout) return;
    m_defaultLayout = value;
    if (!value || Loading()) return;
    const UpdateLock lock(*this);
    SetShowBands(false);
    SetHeaderPanelRowCount(1);
    m_defaultLayout = true;
    while (m_bands.Count() > 1) m_bands.Delete(m_bands.Count() - 1);
    if (m_bands.Count() == 0) m_bands.Add();
    m_bands.Items(0)->SetVisible(true);
    for (TdxTreeListColumn* c : m_columns) c->SetBandIndex(0);
}

bool TCustomdxTreeListControl::IsBandHeaderWidth() const {
    return m_defaultLayout || TCustomdxTreeList::IsBandHeaderWidth();
}

// ---- columns ---------------------------------------------------------------------------

void TCustomdxTreeListControl::AddColumn(TdxTreeListColumn* column) {
    m_columns.push_back(column);
    column->m_treeList = this;
    column->FollowGridFont();
    if (Loading() || column->Loading()) return;
    column->RestoreDefaultWidth();
    NormalizeHeaderRows();
    LayoutChanged();
}

void TCustomdxTreeListControl::RemoveColumn(TdxTreeListColumn* column, bool destroying) {
    const int index = ColumnIndexOf(column);
    if (index < 0) return;
    if (destroying) ColumnDestroying(column);
    m_columns.erase(m_columns.begin() + index);
    m_sortedColumns.erase(std::remove(m_sortedColumns.begin(), m_sortedColumns.end(), column), m_sortedColumns.end());
    column->m_treeList = nullptr;
    if (FocusedColumn() == index) SetFocusedColumn(-1);
    else if (FocusedColumn() > index) SetFocusedColumn(FocusedColumn() - 1);
    if (Destroying() || Loading()) return;
    NormalizeHeaderRows();
    LayoutChanged();
}

int TCustomdxTreeListControl::ColumnIndexOf(const TdxTreeListColumn* column) const {
    const auto it = std::find(m_columns.begin(), m_columns.end(), column);
    return it == m_columns.end() ? -1 : static_cast<int>(it - m_columns.begin());
}

void TCustomdxTreeListControl::MoveColumn(int from, int to) {
    if (from < 0 || from >= ColumnCount()) return;
    to = std::clamp(to, 0, ColumnCount() - 1);
    if (from == to) return;
    TdxTreeListColumn* focused = FocusedColumn() >= 0 ? Columns(FocusedColumn()) : nullptr;
    TdxTreeListColumn* c = m_columns[static_cast<std::size_t>(from)];
    m_columns.erase(m_columns.begin() + from);
    m_columns.insert(m_columns.begin() + to, c);
    if (focused) SetFocusedColumn(ColumnIndexOf(focused));
    if (Loading()) return;
    NormalizeHeaderRows();
    LayoutChanged();
}

TdxTreeListColumn* TCustomdxTreeListControl::ColumnByName(const AnsiString& name) const {
    for (TdxTreeListColumn* c : m_columns)
        if (c->Name() == name) return c;
    return nullptr;
}

std::vector<TdxTreeListColumn*> TCustomdxTreeListControl::VisibleColumnsOf(int band, int row) const {
    std::vector<TdxTreeListColumn*> list;
    for (TdxTreeListColumn* c : m_columns)
        if (c->Visible() && c->BandIndex() == band && c->RowIndex() == row) list.push_back(c);
    return list;
}

int TCustomdxTreeListControl::NonEmptyRowCount(int band) const {
    int n = 0;
    for (int r = 0; r < m_headerPanelRowCount; ++r)
        if (!VisibleColumnsOf(band, r).empty()) ++n;
    return n;
}

TdxTreeListColumn* TCustomdxTreeListControl::ColumnAt(int visibleBand, int row, int pos) const {
    const TdxTreeListBand* band = m_bands.VisibleItems(visibleBand);
    if (!band) return nullptr;
    const auto list = VisibleColumnsOf(band->Index(), row);
    return pos >= 0 && pos < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(pos)] : nullptr;
}

void TCustomdxTreeListControl::NormalizeHeaderRows() {
    if (m_normalizing) return;
    m_normalizing = true;
    for (int b = 0; b < m_bands.Count(); ++b) {
        const int nonEmpty = NonEmptyRowCount(b);
        for (int r = nonEmpty - 1; r >= 0; --r) {
            if (!VisibleColumnsOf(b, r).empty()) continue;
            for (TdxTreeListColumn* c : m_columns)
                if (c->Visible() && c->BandIndex() == b && c->RowIndex() > r) c->m_storedRowIndex = c->RowIndex() - 1;
        }
    }
    m_normalizing = false;
}

void TCustomdxTreeListControl::RebuildSortedColumns() {
    m_sortedColumns.clear();
    for (TdxTreeListColumn* c : m_columns)
        if (c->Sorted() != csNone) m_sortedColumns.push_back(c);
    std::stable_sort(m_sortedColumns.begin(), m_sortedColumns.end(),
                     [](const TdxTreeListColumn* a, const TdxTreeListColumn* b) { return a->SortOrder() < b->SortOrder(); });
}

void TCustomdxTreeListControl::ColumnChanged(TdxTreeListColumn*, bool) {
    if (Loading()) return;
    NormalizeHeaderRows();
    LayoutChanged();
}

void TCustomdxTreeListControl::BandsChanged() {
    if (Loading()) return;
    NormalizeHeaderRows();
    LayoutChanged();
}

// ---- loading ---------------------------------------------------------------------------

void TCustomdxTreeListControl::Loaded() {
    NormalizeHeaderRows();
    RebuildSortedColumns();
    LoadedColumns();
    TCustomdxTreeList::Loaded();
}

void TCustomdxTreeListControl::LoadedColumns() {
    for (TdxTreeListColumn* c : m_columns) {
        c->FollowGridFont();
        c->RestoreDefaultWidth();
    }
}

void TCustomdxTreeListControl::FontChanged() {
    for (TdxTreeListColumn* c : m_columns) c->FollowGridFont();
    TCustomdxTreeList::FontChanged();
}

void TCustomdxTreeListControl::ParentFontChanged() {
    TCustomdxTreeList::ParentFontChanged();
    if (Loading()) return;
    for (TdxTreeListColumn* c : m_columns) {
        c->FollowGridFont();
        c->RestoreDefaultWidth();
    }
    LayoutChanged();
}

// ---- layout ------------------------------------------------------------------------------

void TCustomdxTreeListControl::FillLayoutInput(dxgrid::LayoutInput& in) const {
    TCustomdxTreeList::FillLayoutInput(in);
    in.bands.resize(static_cast<std::size_t>(m_bands.Count()));
    for (int b = 0; b < m_bands.Count(); ++b) {
        const TdxTreeListBand* band = m_bands.Items(b);
        dxgrid::BandSpec& s = in.bands[static_cast<std::size_t>(b)];
        s.width = band->Width();
        s.min_width = band->MinWidth();
        s.sizing = band->Sizing();
        s.can_size = IsBandSizingFor(band);
        s.visible = band->Visible();
        s.fixed = band->Fixed();
    }
    in.columns.resize(m_columns.size());
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const TdxTreeListColumn* c = m_columns[i];
        dxgrid::ColumnSpec& s = in.columns[i];
        s.width = c->Width();
        s.min_width = c->MinWidth();
        s.sizing = c->Sizing();
        s.can_size = IsColumnSizingFor(c);
        s.visible = c->Visible();
        s.band = c->BandIndex();
        s.row = c->RowIndex();
        s.header_max_line_count = c->HeaderMaxLineCount();
    }
}

int TCustomdxTreeListControl::ColumnFontRowHeight() const {
    int most = 0;
    for (const TdxTreeListColumn* c : m_columns) {
        if (!c->Visible() || !c->FontAssigned()) continue;
        const TdxTreeListBand* band = c->BandIndex() >= 0 && c->BandIndex() < m_bands.Count() ? m_bands.Items(c->BandIndex()) : nullptr;
        if (!band || !band->Visible()) continue;
        most = std::max(most, gfx::font_face(c->Font(), 1).metrics().height + 3);
    }
    return most;
}

int TCustomdxTreeListControl::ColumnDisplayWidth(const TdxTreeListColumn* column) const {
    return Layout().column_width(ColumnIndexOf(column));
}

void TCustomdxTreeListControl::ApplyColumnSizing(int column, int requested) {
    // Worked out at 96 dpi: the same drag gives the same stored widths on every screen.
    const dxgrid::SizingResult result = dxgrid::size_column(LayoutAt96Dpi(), column, gfx::unscaled(requested));
    {
        const UpdateLock lock(*this);
        for (std::size_t i = 0; i < m_columns.size() && i < result.widths.size(); ++i)
            if (m_columns[i]->Width() != result.widths[i]) m_columns[i]->SetWidth(result.widths[i]);
        if (result.band >= 0 && result.band < m_bands.Count()) m_bands.Items(result.band)->SetWidth(result.band_width);
    }
    if (OnChangedColumnsWidth) OnChangedColumnsWidth(this);
}

int TCustomdxTreeListControl::BestFitWidth(TdxTreeListColumn* column) {
    const int index = ColumnIndexOf(column);
    const TFont& font = column->FontAssigned() ? column->Font() : Font();
    int widest = 0;
    for (int i = 0; i < Count(); ++i) widest = std::max(widest, text_width(font, GetCellText(Items(i), index)));
    const int caption = text_width(HeaderFont(), column->Caption()) + gfx::scaled(column->DisableFilter() ? 0 : 15);
    // Measured as rendered on the screen, kept at 96 dpi: rounded up so the text still fits.
    const int s = gfx::screen_scale();
    return (std::max(widest, caption) + s - 1) / s + 2 * (gfx::font_face(Font(), 1).text_width("0") / 2 + 1);
}

void TCustomdxTreeListControl::BestFitColumn(int column) {
    if (column < 0 || column >= ColumnCount()) return;
    TdxTreeListColumn* c = Columns(column);
    if (c->Sizing()) c->SetWidth(BestFitWidth(c));
    if (OnChangedColumnsWidth) OnChangedColumnsWidth(this);
}

void TCustomdxTreeListControl::LayoutRefreshed() {
    // The focus sits on a shown column: the first one unless another was chosen.
    const int focused = FocusedColumn();
    if (focused < 0 || !Layout().header_cell(focused)) {
        const auto& cells = Layout().header_cells();
        SetFocusedColumn(cells.empty() ? -1 : cells.front().column);
    }
    TCustomdxTreeList::LayoutRefreshed();
}

void TCustomdxTreeListControl::Paint() {
    GridPainter painter(*this, *Canvas());
    painter.paint();
}

void TCustomdxTreeListControl::check_invariants() const {
    TCustomdxTreeList::check_invariants();
#ifndef NDEBUG
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        INVARIANT(m_columns[i]->ATreeList() == this, "TCustomdxTreeListControl: a column of another grid");
        INVARIANT(!(std::count(m_columns.begin(), m_columns.end(), m_columns[i]) != 1), "TCustomdxTreeListControl: a column listed twice");
    }
#endif
}
