#include "grid/TCustomdxTreeList.h"

#include "grid/TdxTreeListBand.h"
#include "grid/TdxTreeListColumn.h"
#include "platform/classes/Invariant.h"
#include "platform/forms/FormsMessages.h"
#include "platform/forms/ScrollBarModel.h"
#include "platform/gfx/FontFace.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <stdexcept>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

// Heights follow the font's metrics at 96 dpi, so that a row is exactly the
// screen's scale times as high as there (the text is rendered at the scaled
// size, whose hinted metrics need not be an exact multiple).
int text_height(const TFont& font) { return gfx::font_face(font, 1).metrics().height; }

}  // namespace

TCustomdxTreeList::TCustomdxTreeList(TComponent* AOwner) : TCustomdxContainer(AOwner) {
    SetBounds(Left(), Top(), 250, 150);
    SetParentColor(false);
    SetColor(clWindow);
    FollowFont();
    // Writing a font of the header, bands or previews ends following the grid's font.
    const auto own_font_changed = [this](TObject*) {
        if (!Loading() && !m_followingFont) SetParentFont(false);
        LayoutChanged();
    };
    m_headerFont.OnChange = own_font_changed;
    m_bandFont.OnChange = own_font_changed;
    m_previewFont.OnChange = own_font_changed;
    CalcMetrics();
}

TCustomdxTreeList::~TCustomdxTreeList() {
    m_headerFont.OnChange = nullptr;
    m_bandFont.OnChange = nullptr;
    m_previewFont.OnChange = nullptr;
}

// ---- flags and predicates -------------------------------------------------------------

void TCustomdxTreeList::SetTreeListOptions(TdxTreeListOptions options, TdxTreeListOptionsEx ex) {
    if (options == m_options && ex == m_optionsEx) return;
    m_options = options;
    m_optionsEx = ex;
    LayoutChanged();
}

#define DX_PREDICATE(name) \
    bool TCustomdxTreeList::Is##name() const { return m_options.Contains(ao##name); }
DX_TREELIST_OPTIONS(DX_PREDICATE)
#undef DX_PREDICATE
#define DX_PREDICATE(name) \
    bool TCustomdxTreeList::Is##name() const { return m_optionsEx.Contains(ao##name); }
DX_TREELIST_OPTIONS_EX(DX_PREDICATE)
#undef DX_PREDICATE

bool TCustomdxTreeList::IsColumnSizingFor(const TdxTreeListColumn* column) const {
    return IsColumnSizing() && column && column->Sizing();
}

bool TCustomdxTreeList::IsColumnMovingFor(const TdxTreeListColumn* column) const {
    (void)column;
    return IsColumnMoving();
}

bool TCustomdxTreeList::IsBandSizingFor(const TdxTreeListBand* band) const {
    if (!IsBandSizing() || !band || !band->Sizing()) return false;
    return !IsBandHeaderWidth() || ShowBands();
}

bool TCustomdxTreeList::IsBandMovingFor(const TdxTreeListBand* band) const {
    return IsBandMoving() && band && !band->DisableDragging();
}

// ---- update bracket ------------------------------------------------------------------

void TCustomdxTreeList::BeginUpdate() {
    ++m_lockUpdate;
    if (m_state != tsNormal) CancelMouseState();
    DiscardLayout();
    DoBeginUpdate();
}

void TCustomdxTreeList::EndUpdate() {
    if (m_lockUpdate > 0) --m_lockUpdate;
    LayoutChanged();
    DoEndUpdate();
    CHECK_INVARIANTS(*this);
}

void TCustomdxTreeList::LayoutChanged() {
    DiscardLayout();
    if (m_lockUpdate > 0 || Loading() || Destroying()) {
        m_layoutPending = true;
        return;
    }
    m_layoutPending = false;
    CalcMetrics();
    DiscardLayout();
    LayoutRefreshed();
    Invalidate();
}

void TCustomdxTreeList::LayoutRefreshed() { UpdateScrollBars(); }

void TCustomdxTreeList::Loaded() {
    TCustomdxContainer::Loaded();
    if (ParentFont()) FollowFont();
    LayoutChanged();
}

// ---- nodes and focus -------------------------------------------------------------------

std::unique_ptr<TdxTreeListNode> TCustomdxTreeList::CreateNode(TdxTreeListNode* parent) {
    return std::make_unique<TdxTreeListTextNode>(this, parent);
}

TdxTreeListNode* TCustomdxTreeList::Add() {
    m_nodes.push_back(CreateNode(nullptr));
    DiscardLayout();
    return m_nodes.back().get();
}

void TCustomdxTreeList::ClearNodes() {
    m_nodes.clear();
    m_focused = -1;
    DiscardLayout();
}

int TCustomdxTreeList::IndexOfNode(const TdxTreeListNode* node) const {
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i].get() == node) return static_cast<int>(i);
    return -1;
}

void TCustomdxTreeList::SetNodeCount(int count) {
    count = std::max(count, 0);
    if (count == Count()) return;
    while (Count() > count) {
        if (m_focused == Count() - 1) m_focused = -1;
        m_nodes.back()->Deleting = true;
        m_nodes.pop_back();
    }
    while (Count() < count) m_nodes.push_back(CreateNode(nullptr));
    DiscardLayout();
}

void TCustomdxTreeList::SetFocusedNumber(int index) { FocusNodeInternal(index); }

void TCustomdxTreeList::FocusNodeInternal(int index) {
    if (index < -1 || index >= Count()) index = -1;
    if (index == m_focused) return;
    if (m_focused >= 0) InvalidateRow(m_focused);
    m_focused = index;
    if (m_focused >= 0) InvalidateRow(m_focused);
}

void TCustomdxTreeList::SetFocusedColumn(int column) {
    if (column == m_focusedColumn) return;
    if (m_focused >= 0) {
        InvalidateCell(m_focused, m_focusedColumn);
        InvalidateCell(m_focused, column);
    }
    m_focusedColumn = column;
}

AnsiString TCustomdxTreeList::GetCellText(TdxTreeListNode* node, int column) {
    if (auto* text = dynamic_cast<TdxTreeListTextNode*>(node)) return text->Strings(column);
    return AnsiString();
}

void TCustomdxTreeList::InvalidateRow(int row) {
    if (!HandleAllocated() || row < 0) return;
    const TRect r = Layout().row_rect(row);
    InvalidateRect(TRect{0, r.Top, ClientWidth(), r.Bottom});
}

void TCustomdxTreeList::InvalidateCell(int row, int column) {
    if (!HandleAllocated() || row < 0 || column < 0) return;
    const TRect r = Layout().cell_rect(row, column);
    if (!r.IsEmpty()) InvalidateRect(r);
}

void TCustomdxTreeList::SetSearchState(const SearchPaintState& state) {
    m_search = state;
    if (m_focused >= 0) InvalidateCell(m_focused, m_focusedColumn);
}

void TCustomdxTreeList::SetPressedHeader(int column, bool look) {
    if (column == m_pressedColumn && look == m_pressedLook) return;
    const auto invalidate = [this](int c) {
        if (c < 0 || !HandleAllocated()) return;
        if (const dxgrid::HeaderCell* cell = Layout().header_cell(c)) InvalidateRect(cell->rect);
    };
    invalidate(m_pressedColumn);
    m_pressedColumn = column;
    m_pressedLook = look;
    invalidate(m_pressedColumn);
}

// ---- metrics and layout ---------------------------------------------------------------

void TCustomdxTreeList::FollowFont() {
    m_followingFont = true;
    m_headerFont.Assign(Font());
    m_bandFont.Assign(Font());
    m_previewFont.SetName(Font().Name());
    m_previewFont.SetHeight(Font().Height());
    m_previewFont.SetStyle(Font().Style());
    m_previewFont.SetCharset(Font().Charset());
    m_previewFont.SetColor(clBlue);
    m_followingFont = false;
}

void TCustomdxTreeList::FontChanged() {
    TCustomdxContainer::FontChanged();
    // The grid's font changes by itself only while it follows its parent's.
    if (ParentFont()) FollowFont();
    LayoutChanged();
}

void TCustomdxTreeList::ParentFontChanged() {
    TCustomdxContainer::ParentFontChanged();
    if (ParentFont()) FollowFont();
    LayoutChanged();
}

void TCustomdxTreeList::LookAndFeelChanged() {
    TCustomdxContainer::LookAndFeelChanged();
    LayoutChanged();
}

void TCustomdxTreeList::CalcMetrics() {
    const int lines = std::max(HeaderLines(), 1);
    m_headerRowHeight = text_height(m_headerFont) * lines + (Flat() ? 0 : 1) + 5;
    int h = std::max(text_height(Font()) + 3, 16);
    const int s = m_showGrid && m_showPreviewGrid ? 1 : 0;
    const int columns = ColumnFontRowHeight();
    if (columns > 0 && (h + s) * HeaderRows() < columns) h = columns;
    h += s;
    if (IsInvertSelect()) h += 2;
    m_computedRowHeight = h;
    if (m_rowHeightAssigned && m_rowHeight == m_computedRowHeight) m_rowHeightAssigned = false;
}

int TCustomdxTreeList::HeaderPanelHeight() const { return m_showHeader ? m_headerRowHeight * HeaderRows() : 0; }

int TCustomdxTreeList::DefaultRowHeight() const {
    return m_rowHeightAssigned ? std::max(m_rowHeight, m_computedRowHeight) : m_computedRowHeight;
}

void TCustomdxTreeList::SetDefaultRowHeight(int value) {
    if (m_rowHeightAssigned ? value == m_rowHeight : value == m_computedRowHeight) return;
    m_rowHeight = value;
    m_rowHeightAssigned = value != m_computedRowHeight;
    LayoutChanged();
}

int TCustomdxTreeList::NodeHeight() const {
    return HeaderRows() * DefaultRowHeight() + (m_showGrid ? m_rowSeparatorLineWidth : 0) -
           (m_showGrid && m_showPreviewGrid ? 1 : 0);
}

void TCustomdxTreeList::FillLayoutInput(dxgrid::LayoutInput& in) const {
    in.client = ClientRect();
    in.auto_width = IsAutoWidth();
    in.band_header_width = IsBandHeaderWidth();
    in.show_bands = m_showBands;
    in.header_row_count = HeaderRows();
    in.group_indent = GroupIndent();
    in.indicator_width = IndicatorWidth();
    in.header_row_height = m_showHeader ? m_headerRowHeight : 0;
    in.row_height = NodeHeight();
    in.row_count = Count();
    in.left_coord = m_leftCoord;
    in.fixed_band_line_width = m_fixedBandLineWidth;
}

const dxgrid::GridLayout& TCustomdxTreeList::Layout() const {
    if (!m_layoutValid) {
        dxgrid::LayoutInput in;
        FillLayoutInput(in);
        m_layout.build(dxgrid::at_scale(in, gfx::screen_scale()));
        m_layoutValid = true;
    }
    return m_layout;
}

dxgrid::GridLayout TCustomdxTreeList::LayoutAt96Dpi() const {
    dxgrid::LayoutInput in;
    FillLayoutInput(in);
    dxgrid::GridLayout layout;
    layout.build(dxgrid::at_96_dpi(in, gfx::screen_scale()));
    return layout;
}

TdxTreeListHitInfo TCustomdxTreeList::GetHitInfo(TPoint p) const {
    TdxTreeListHitInfo hit = Layout().hit_test(p);
    if (hit.row >= 0 && hit.row < Count()) hit.node = Items(hit.row);
    return hit;
}

void TCustomdxTreeList::SetLeftCoord(int value) {
    const int most = std::max(Layout().total_width() - (ClientWidth() - Layout().input().indicator_width), 0);
    value = std::clamp(value, 0, most);
    if (value == m_leftCoord) return;
    m_leftCoord = value;
    DiscardLayout();
    UpdateScrollBars();
    Invalidate();
}

void TCustomdxTreeList::Resize() {
    TCustomdxContainer::Resize();
    // Stored widths stay; the display widths follow the new client width.
    DiscardLayout();
    if (m_leftCoord) SetLeftCoord(m_leftCoord);
    LayoutRefreshed();
    Invalidate();
}

// ---- view properties ------------------------------------------------------------------

void TCustomdxTreeList::SetHideSelection(bool value) {
    if (value == m_hideSelection) return;
    m_hideSelection = value;
    Invalidate();
}
void TCustomdxTreeList::SetHideFocusRect(bool value) {
    if (value == m_hideFocusRect) return;
    m_hideFocusRect = value;
    Invalidate();
}
void TCustomdxTreeList::SetShowGrid(bool value) {
    if (value == m_showGrid) return;
    m_showGrid = value;
    LayoutChanged();
}
void TCustomdxTreeList::SetShowPreviewGrid(bool value) {
    if (value == m_showPreviewGrid) return;
    m_showPreviewGrid = value;
    LayoutChanged();
}
void TCustomdxTreeList::SetShowHeader(bool value) {
    if (value == m_showHeader) return;
    m_showHeader = value;
    LayoutChanged();
}
void TCustomdxTreeList::SetShowBands(bool value) {
    if (value == m_showBands) return;
    m_showBands = value;
    LayoutChanged();
}
void TCustomdxTreeList::SetGrIndicatorWidth(int value) {
    value = std::max(value, 12);
    if (value == m_grIndicatorWidth) return;
    m_grIndicatorWidth = value;
    LayoutChanged();
}
void TCustomdxTreeList::SetMaxRowLineCount(int value) {
    value = std::max(value, -1);
    if (value == m_maxRowLineCount) return;
    m_maxRowLineCount = value;
    LayoutChanged();
}
void TCustomdxTreeList::SetRowSeparatorLineWidth(int value) {
    value = std::max(value, 1);
    if (value == m_rowSeparatorLineWidth) return;
    m_rowSeparatorLineWidth = value;
    LayoutChanged();
}
void TCustomdxTreeList::SetFixedBandLineWidth(int value) {
    value = std::max(value, 1);
    if (value == m_fixedBandLineWidth) return;
    m_fixedBandLineWidth = value;
    LayoutChanged();
}

// ---- input ----------------------------------------------------------------------------

bool TCustomdxTreeList::HasFocus() const {
    if (!HandleAllocated() || !ui::WindowSystem::exists()) return false;
    const ui::HWND f = ws().get_focus();
    const ui::HWND h = const_cast<TCustomdxTreeList*>(this)->Handle();
    return f == h || ws().is_child(h, f);
}

void TCustomdxTreeList::WndProc(TMessage& m) {
    using namespace ui;
    switch (m.Msg) {
    case WM_MOUSEMOVE:
        m_pointerInside = true;
        break;
    case WM_CANCELMODE:
        DoCancelMode();
        break;
    case WM_CAPTURECHANGED:
        if (m_state != tsNormal && static_cast<HWND>(m.LParam) != Handle()) DoCancelMode();
        break;
    case forms::WM_VSCROLL:
        VScroll(loword(m.WParam));
        return;
    case forms::WM_HSCROLL:
        HScroll(loword(m.WParam));
        return;
    default:
        break;
    }
    TCustomdxContainer::WndProc(m);
}

void TCustomdxTreeList::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomdxContainer::MouseDown(button, shift, x, y);
    if (button != mbLeft) {
        if (m_state != tsNormal) CancelMouseState();
        return;
    }
    if (CanFocus() && !HasFocus()) SetFocus();
    const TdxTreeListHitInfo hit = GetHitInfo(TPoint{x, y});
    if (hit.kind != htColumnEdge) return;
    if (shift.Contains(ssDouble)) {
        BestFitColumn(hit.column);
        return;
    }
    ws().set_capture(Handle());
    m_state = tsColumnSizing;
    m_sizingColumn = hit.column;
    dxgrid::sizing_bounds(Layout(), hit.column, IsFullSizing(), m_sizingLower, m_sizingUpper);
    m_sizingStartX = std::clamp(x, m_sizingLower, m_sizingUpper);
    m_sizingX = m_sizingStartX;
    InvertSizingLine(m_sizingX);
    m_sizingLineShown = true;
}

void TCustomdxTreeList::MouseMove(TShiftState shift, int x, int y) {
    TCustomdxContainer::MouseMove(shift, x, y);
    if (m_state == tsColumnSizing) {
        const int nx = std::clamp(x, m_sizingLower, m_sizingUpper);
        if (nx != m_sizingX) {
            InvertSizingLine(m_sizingX);
            m_sizingX = nx;
            InvertSizingLine(m_sizingX);
        }
    }
    const TdxTreeListHitInfo hit = GetHitInfo(TPoint{x, y});
    if (IsHotTrack()) UpdateHotTrack(hit);
    const bool sizing = m_state == tsColumnSizing || (m_state == tsNormal && hit.kind == htColumnEdge);
    SetCursor(sizing ? crSizeWE : crDefault);
}

void TCustomdxTreeList::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomdxContainer::MouseUp(button, shift, x, y);
    if (button != mbLeft || m_state != tsColumnSizing) return;
    const int nx = std::clamp(x, m_sizingLower, m_sizingUpper);
    const int column = m_sizingColumn;
    const int start = m_sizingStartX;
    CancelMouseState();
    if (nx == start) return;
    const dxgrid::HeaderCell* cell = Layout().header_cell(column);
    if (cell) ApplyColumnSizing(column, nx - cell->rect.Left + 1);
}

void TCustomdxTreeList::MouseLeave() {
    m_pointerInside = false;
    if (IsHotTrack()) UpdateHotTrack(TdxTreeListHitInfo{});
}

void TCustomdxTreeList::DoCancelMode() { CancelMouseState(); }

void TCustomdxTreeList::CancelMouseState() {
    if (m_state == tsColumnSizing) {
        if (m_sizingLineShown) InvertSizingLine(m_sizingX);
        m_sizingLineShown = false;
        m_sizingColumn = -1;
    }
    const bool captured = m_state != tsNormal;
    m_state = tsNormal;
    if (captured && HandleAllocated() && ws().get_capture() == Handle()) ws().release_capture();
}

void TCustomdxTreeList::InvertSizingLine(int x) {
    if (!HandleAllocated()) return;
    const dxgrid::GridLayout& l = Layout();
    const int top = l.band_panel().Top;
    ui::WindowDC dc = ws().get_dc(Handle());
    dc->InvertRect(TRect{x, top, x + 1, l.rows_area().Bottom});
}

void TCustomdxTreeList::UpdateHotTrack(const TdxTreeListHitInfo& hit) {
    TdxTreeListHotTrackInfo info;
    if (hit.kind == htLabel && hit.column >= 0) {
        info = {hit.node, hit.column, 0};
    } else if ((hit.kind == htColumn || hit.kind == htColumnEdge) && hit.column >= 0) {
        const dxgrid::HeaderCell* cell = Layout().header_cell(hit.column);
        info = {nullptr, hit.column, 1};
        if (cell) {
            const TRect inner{cell->rect.Left + 2, cell->rect.Top + 2, cell->rect.Right - 2, cell->rect.Bottom - 2};
            if (inner.Width() >= 16 && hit.pt.X >= inner.Right - 15 && hit.pt.X < inner.Right) info.kind = 2;
        }
    }
    if (info == m_hot) return;
    ui::Cursor cursor;
    if (OnHotTrackNode) OnHotTrackNode(this, info, cursor);
    const auto invalidate = [this](const TdxTreeListHotTrackInfo& h) {
        if (h.column < 0 || !HandleAllocated()) return;
        if (h.kind == 0) {
            InvalidateCell(IndexOfNode(h.node), h.column);
        } else if (const dxgrid::HeaderCell* cell = Layout().header_cell(h.column)) {
            InvalidateRect(cell->rect);
        }
    };
    invalidate(m_hot);
    m_hot = info;
    invalidate(m_hot);
}

void TCustomdxTreeList::VScroll(int) {}

void TCustomdxTreeList::HScroll(int code) {
    const int page = std::max(ClientWidth() - Layout().input().indicator_width, 1);
    const int line = gfx::scaled(8);
    switch (code) {
    case forms::SB_LINELEFT: SetLeftCoord(m_leftCoord - line); break;
    case forms::SB_LINERIGHT: SetLeftCoord(m_leftCoord + line); break;
    case forms::SB_PAGELEFT: SetLeftCoord(m_leftCoord - page); break;
    case forms::SB_PAGERIGHT: SetLeftCoord(m_leftCoord + page); break;
    case forms::SB_THUMBTRACK:
    case forms::SB_THUMBPOSITION: SetLeftCoord(GetScrollTrackPos(sbHorizontal)); break;
    case forms::SB_LEFT: SetLeftCoord(0); break;
    case forms::SB_RIGHT: SetLeftCoord(1 << 30); break;
    default: break;
    }
}

void TCustomdxTreeList::FocusChanged(bool) {
    // The focused cell changes its colours and its frame.
    if (m_focused >= 0) InvalidateRow(m_focused);
}

void TCustomdxTreeList::DoEnter() {
    TCustomdxContainer::DoEnter();
    FocusChanged(true);
}

void TCustomdxTreeList::DoExit() {
    TCustomdxContainer::DoExit();
    FocusChanged(false);
}

void TCustomdxTreeList::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Brush().SetColor(Color());
    canvas->FillRect(ClientRect());
}

void TCustomdxTreeList::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(!(m_focused < -1 || m_focused >= Count()), "TCustomdxTreeList: focused node out of range");
    INVARIANT(!(m_lockUpdate > 0 && m_state != tsNormal), "TCustomdxTreeList: mouse state inside a bracket");
    if (m_layoutValid) m_layout.check_invariants();
    m_textInk.check_invariants();
#endif
}
