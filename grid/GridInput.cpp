#include "grid/GridInput.h"

#include "grid/MouseScrollModel.h"
#include "grid/NavigationKeys.h"
#include "platform/classes/ScopeExit.h"
#include "grid/TdxDBGrid.h"
#include "grid/TdxDBTreeListColumn.h"
#include "platform/db/TDataSet.h"
#include "platform/forms/ScrollBarModel.h"
#include "platform/forms/TScreen.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

// The grid window's one timer for scrolling while the mouse is held: the walk
// of the rows while the button is held outside them, and the sideways scroll
// of a header dragged to an end of the header. Starting one replaces the other.
constexpr ui::UINT kScrollTimer = 0x6D01;
// The panning timer, apart from the scroll timer.
constexpr ui::UINT kPanningTimer = 0x6D02;

}  // namespace

GridInput::GridInput(TdxDBGrid& grid) : m_grid(grid) {
    // The panning cursors join the framework's table once, with the first grid.
    static const bool registered = [] {
        const std::pair<TCursor, const char*> cursors[] = {
            {crFullScroll, "DXTL_FULLSCROLLCURSOR"}, {crHorScroll, "DXTL_HORSCROLLCURSOR"},
            {crVerScroll, "DXTL_VERSCROLLCURSOR"},   {crUpScroll, "DXTL_UPSCROLLCURSOR"},
            {crDownScroll, "DXTL_DOWNSCROLLCURSOR"}, {crLeftScroll, "DXTL_LEFTSCROLLCURSOR"},
            {crRightScroll, "DXTL_RIGHTSCROLLCURSOR"},
        };
        for (const auto& [index, name] : cursors) Screen().SetCursors(index, ui::named_cursor(name));
        return true;
    }();
    (void)registered;
}

// ---- keys ------------------------------------------------------------------------------------

std::vector<int> GridInput::VisibleColumns() const {
    std::vector<int> out;
    for (const dxgrid::HeaderCell& c : m_grid.Layout().header_cells()) out.push_back(c.column);
    return out;
}

int GridInput::FocusedPosition() const {
    const std::vector<int> cols = VisibleColumns();
    const auto it = std::find(cols.begin(), cols.end(), m_grid.FocusedColumn());
    return it == cols.end() ? -1 : static_cast<int>(it - cols.begin());
}

void GridInput::FocusColumnAt(int position) {
    const std::vector<int> cols = VisibleColumns();
    if (position < 0 || position >= static_cast<int>(cols.size())) return;
    const int column = cols[static_cast<std::size_t>(position)];
    if (column == m_grid.FocusedColumn()) return;
    m_grid.SetFocusedColumn(column);
    EndSearch();
}

void GridInput::MoveFocusBy(int rows) {
    if (m_grid.FocusedNumber() < 0) return;
    m_grid.SetFocusedNumber(m_grid.FocusedNumber() + rows);
}

bool GridInput::KeyDown(int key, TShiftState shift) {
    if (m_panning) {
        // Panning takes every key; Esc ends it.
        if (key == ui::VK_ESCAPE) EndPanning();
        return true;
    }
    const bool ctrl = shift.Contains(ssCtrl), sh = shift.Contains(ssShift);
    if (m_search.active()) {
        const grid::SearchKeyResult r = m_search.key(key, sh, ctrl, m_grid.FocusedColumn());
        if (r.kind == grid::SearchKeyResult::Step) {
            SearchStep(r.direction, false);
            return true;
        }
        if (r.kind == grid::SearchKeyResult::End) {
            EndSearch();
            return true;
        }
    }
    grid::NavOptions options;
    options.grid_mode = m_grid.IsGridMode();
    options.row_select = m_grid.IsRowSelect();
    options.enter_editor = m_grid.IsEnterThrough() && m_grid.IsEnterShowEditor();
    const grid::NavAction action = grid::navigation_action(key, sh, ctrl, options);
    TDataSet* ds = m_grid.DataLink().Active() ? m_grid.DataSet() : nullptr;
    switch (action) {
    case grid::NavAction::None:
    case grid::NavAction::ResetSelection:  // Esc goes on to the form; there is no selection to reset
        return false;
    case grid::NavAction::DataSetFirst:
        if (ds) ds->First();
        return true;
    case grid::NavAction::DataSetLast:
        if (ds) ds->Last();
        return true;
    case grid::NavAction::CopyToClipboard:
        ws().set_clipboard_text(ClipboardText());
        return true;
    case grid::NavAction::ShowEditor:
    case grid::NavAction::ToggleSelection:
        return true;  // a read-only grid without multi-select: nothing to show or mark
    default:
        break;
    }
    if (m_grid.Count() == 0 || m_grid.FocusedNumber() < 0) return true;
    const int focused = m_grid.FocusedNumber();
    switch (action) {
    case grid::NavAction::Up: MoveFocusBy(-1); break;
    case grid::NavAction::Down: MoveFocusBy(1); break;
    case grid::NavAction::PageUp:
    case grid::NavAction::PageDown: {
        const int direction = action == grid::NavAction::PageUp ? -1 : 1;
        const int page = std::max(m_grid.FullRows(), 1);
        m_grid.SetFocusedNumber(grid::page_move_target(focused, m_grid.TopIndex(), page, m_grid.Count() - 1, direction));
        break;
    }
    case grid::NavAction::FirstRow: m_grid.SetFocusedNumber(0); break;
    case grid::NavAction::LastRow: m_grid.SetFocusedNumber(m_grid.Count() - 1); break;
    case grid::NavAction::FirstColumn: FocusColumnAt(0); break;
    case grid::NavAction::LastColumn: FocusColumnAt(static_cast<int>(VisibleColumns().size()) - 1); break;
    case grid::NavAction::PrevColumn: FocusColumnAt(FocusedPosition() - 1); break;
    case grid::NavAction::NextColumn: FocusColumnAt(FocusedPosition() + 1); break;
    default: break;
    }
    return true;
}

AnsiString GridInput::ClipboardText() const {
    const std::vector<int> cols = VisibleColumns();
    AnsiString captions, cells;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        if (i > 0) {
            captions += '\t';
            cells += '\t';
        }
        captions += m_grid.Columns(cols[i])->Caption();
        if (TdxTreeListNode* node = m_grid.FocusedNode()) cells += m_grid.GetCellText(node, cols[i]);
    }
    return captions + "\r\n\r\n" + cells + "\r\n";
}

// ---- the type-ahead search ---------------------------------------------------------------------

void GridInput::CharBefore(char ch, TShiftState shift) {
    if (!grid::IncrementalSearch::starts(ch, m_grid.IsAutoSearch(), shift.Contains(ssCtrl),
                                          m_grid.State() == tsNormal, m_search.active()))
        return;
    m_search.start(m_grid.FocusedColumn());
    SearchStep(grid::SearchDirection::FromFocused, true);
}

void GridInput::CharAfter(char ch, TShiftState shift) {
    if (m_search.type(ch, shift.Contains(ssCtrl), m_grid.FocusedColumn()))
        SearchStep(grid::SearchDirection::FromFocused, false);
}

void GridInput::SearchStep(grid::SearchDirection direction, bool clear_on_failure) {
    bool found = false;
    TDataSet* ds = m_grid.DataLink().Active() ? m_grid.DataSet() : nullptr;
    {
        m_search.begin_step();
        ScopeExit end([this] { m_search.end_step(); });
        const int column = m_search.column();
        auto* c = column >= 0 && column < m_grid.ColumnCount() ? dynamic_cast<TdxDBTreeListColumn*>(m_grid.Columns(column)) : nullptr;
        if (ds && c && c->Field() && !m_search.text().empty())
            found = ds->LocatePrefix(c->Field(), m_search.text(), static_cast<int>(direction));
        m_searchRecord = ds ? ds->RecNo() : 0;
    }
    m_search.after_step(found, direction, clear_on_failure);
    ShowSearch();
}

void GridInput::ShowSearch() {
    m_grid.SetSearchState({m_search.active(), m_search.column(), m_search.text()});
}

void GridInput::EndSearch() {
    if (!m_search.active()) return;
    m_search.end();
    ShowSearch();
}

void GridInput::DataSetMoved() {
    if (!m_search.active() || m_search.in_search()) return;
    TDataSet* ds = m_grid.DataLink().Active() ? m_grid.DataSet() : nullptr;
    if (!ds || ds->RecNo() != m_searchRecord) EndSearch();
}

void GridInput::Wheel(int delta) {
    m_grid.VScroll(grid::wheel_lines(delta) < 0 ? forms::SB_LINEUP : forms::SB_LINEDOWN);
}

// ---- the mouse -------------------------------------------------------------------------------------

const std::vector<dxgrid::HeaderCell>& GridInput::Cells() const { return m_grid.Layout().header_cells(); }

dxgrid::HeaderCell GridInput::CellOf(int column) const {
    for (const dxgrid::HeaderCell& c : Cells())
        if (c.column == column) return c;
    return {};
}

bool GridInput::MouseDown(TMouseButton button, TShiftState, int x, int y) {
    if (m_panning) {
        EndPanning();  // any other button ends panning
        return true;
    }
    if (button == mbMiddle && m_grid.State() == tsNormal) {
        StartPanning(ws().client_to_screen(m_grid.Handle(), TPoint{x, y}));
        return true;
    }
    if (button == mbRight) {
        Cancel();  // the core leaves the state
        return false;
    }
    if (button != mbLeft) return false;
    if (m_grid.State() != tsNormal) return true;
    if (m_grid.CanFocus() && !m_grid.HasFocus()) {
        m_grid.SetFocus();
        if (!m_grid.HasFocus()) return true;
    }
    const TdxTreeListHitInfo hit = m_grid.GetHitInfo(TPoint{x, y});
    if (hit.kind == htColumn && hit.column >= 0) {
        m_pressedColumn = hit.column;
        m_pressPoint = TPoint{x, y};
        m_grid.SetState(tsColumnDown);
        ws().set_capture(m_grid.Handle());
        m_grid.SetPressedHeader(hit.column, true);
        return true;
    }
    if ((hit.kind == htLabel || hit.kind == htIndicator || hit.kind == htPreview) && hit.row >= 0) {
        m_pressPoint = TPoint{x, y};
        m_grid.SetState(tsNodeDown);
        ws().set_capture(m_grid.Handle());
        if (hit.kind == htLabel && hit.column >= 0 && hit.column != m_grid.FocusedColumn()) {
            m_grid.SetFocusedColumn(hit.column);
            EndSearch();
        }
        if (hit.row != m_grid.FocusedNumber()) m_grid.SetFocusedNumber(hit.row);
        return true;
    }
    return false;
}

bool GridInput::MouseMove(TShiftState, int x, int y) {
    const TPoint p{x, y};
    if (m_panning) {
        PanningMove(ws().client_to_screen(m_grid.Handle(), p));
        return true;
    }
    switch (m_grid.State()) {
    case tsColumnDown: {
        const TdxTreeListHitInfo hit = m_grid.GetHitInfo(p);
        m_grid.SetPressedHeader(m_pressedColumn, hit.kind == htColumn && hit.column == m_pressedColumn);
        if (grid::drag_threshold_passed(m_pressPoint, p) && m_grid.IsColumnMovingFor(m_grid.Columns(m_pressedColumn))) {
            bool allow = true;
            if (m_grid.OnCanHeaderDragging) m_grid.OnCanHeaderDragging(&m_grid, m_grid.Columns(m_pressedColumn), allow);
            if (allow) StartHeaderDrag();
        }
        return true;
    }
    case tsColumnDragging:
        HeaderDragMove(p);
        return true;
    case tsNodeDown: {
        if (!m_grid.IsMouseScroll() || m_grid.Count() == 0) return true;
        const TRect rows = m_grid.Layout().rows_area();
        switch (grid::rows_press_move(y, rows.Top, rows.Bottom).kind) {
        case grid::RowsPressMove::ScrollUp:
            if (m_grid.FocusedNumber() != 0) m_grid.SetFocusedNumber(0);
            StartRowsTimer(-1);
            break;
        case grid::RowsPressMove::ScrollDown: {
            const int last_full = std::min(m_grid.FullRows(), m_grid.Count()) - 1;
            if (m_grid.FocusedNumber() != last_full) m_grid.SetFocusedNumber(last_full);
            StartRowsTimer(1);
            break;
        }
        case grid::RowsPressMove::FocusRowAt: {
            StopRowsTimer();
            const TdxTreeListHitInfo hit = m_grid.GetHitInfo(TPoint{std::max(x, rows.Left), y});
            if (hit.row >= 0 && hit.row != m_grid.FocusedNumber()) m_grid.SetFocusedNumber(hit.row);
            break;
        }
        }
        return true;
    }
    default:
        return false;
    }
}

bool GridInput::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (m_panning) {
        // A release without a move keeps panning on: the user clicked to start it.
        if (button == mbMiddle && m_panLeftDeadZone) EndPanning();
        return true;
    }
    if (button != mbLeft) return false;
    const TPoint p{x, y};
    switch (m_grid.State()) {
    case tsColumnDown: {
        const int pressed = m_pressedColumn;
        Cancel();
        m_grid.CancelMouseState();
        const TdxTreeListHitInfo hit = m_grid.GetHitInfo(p);
        // A click: released over the header it was pressed on. The grid never sorts in grid mode.
        if (hit.kind == htColumn && hit.column == pressed && m_grid.OnColumnClick)
            m_grid.OnColumnClick(&m_grid, m_grid.Columns(pressed));
        return true;
    }
    case tsColumnDragging:
        Drop(p);
        return true;
    case tsNodeDown:
        Cancel();
        m_grid.CancelMouseState();
        return true;
    default:
        return false;
    }
}

void GridInput::Cancel() {
    EndPanning();
    StopRowsTimer();
    StopDragScroll();
    m_feedback.reset();
    if (m_pressedColumn >= 0) m_grid.SetPressedHeader(-1, false);
    m_pressedColumn = -1;
}

void GridInput::StartRowsTimer(int direction) {
    if (direction == m_rowsTimerDirection) return;
    m_rowsTimerDirection = direction;
    ws().set_timer(m_grid.Handle(), kScrollTimer, static_cast<int>(grid::kMouseScrollInterval), [this](ui::HWND, ui::UINT) {
        // The first tick after the state ended stops the timer.
        if (m_grid.State() != tsNodeDown || m_rowsTimerDirection == 0) return StopRowsTimer();
        MoveFocusBy(m_rowsTimerDirection);
    });
}

void GridInput::StopRowsTimer() {
    if (m_rowsTimerDirection == 0) return;
    m_rowsTimerDirection = 0;
    if (m_grid.HandleAllocated()) ws().kill_timer(m_grid.Handle(), kScrollTimer);
}

// ---- header dragging ---------------------------------------------------------------------------------

void GridInput::StartHeaderDrag() {
    m_grid.SetPressedHeader(-1, false);
    m_grid.SetState(tsColumnDragging);
    if (m_grid.HandleAllocated()) {
        m_feedback = std::make_unique<HeaderDragFeedback>(m_grid.Handle(), CellOf(m_pressedColumn).rect, m_grid.ArrowsColor());
        m_feedback->MoveImage(ws().get_cursor_pos());
    }
    if (m_grid.OnStartHeaderDragging) m_grid.OnStartHeaderDragging(&m_grid, m_grid.Columns(m_pressedColumn));
}

void GridInput::HeaderDragMove(TPoint p) {
    const grid::DropTarget target = grid::drop_target(Cells(), CellOf(m_pressedColumn), m_grid.Layout().header_panel(), p);
    bool accept = true;
    if (m_grid.OnDragOverHeader) m_grid.OnDragOverHeader(&m_grid, m_grid.Columns(m_pressedColumn), p, accept);
    // Off the header panel, or refused, the pointer says the drop will not move the column.
    const bool over_header = m_grid.Layout().header_panel().Contains(p);
    if (!m_grid.HandleAllocated()) return;
    ws().set_cursor(over_header && accept ? ui::Cursor{} : ui::named_cursor("DXTLDELETECURSOR"));
    m_dragPoint = p;
    StartDragScroll(grid::header_drag_scroll(p.X, ScrollableLeft(), m_grid.Layout().header_panel().Right, gfx::screen_scale()));
    if (!m_feedback) return;
    m_feedback->MoveImage(ws().client_to_screen(m_grid.Handle(), p));
    TRect box;
    if (target.kind == grid::DropTarget::Before || target.kind == grid::DropTarget::After) {
        const TPoint origin = ws().client_to_screen(m_grid.Handle(), {0, 0});
        box = gfx::offset(grid::arrows_box(target, m_grid.Layout().header_panel(), m_grid.Layout().input().header_row_height, gfx::screen_scale()), origin.X, origin.Y);
    }
    m_feedback->ShowArrows(box);
}

void GridInput::Drop(TPoint p) {
    const int column_index = m_pressedColumn;
    const dxgrid::HeaderCell dragged = CellOf(column_index);
    const dxgrid::GridLayout& layout = m_grid.Layout();
    const grid::DropTarget target = grid::drop_target(Cells(), dragged, layout.header_panel(), p);
    const int band = target.band >= 0 && target.band < static_cast<int>(layout.bands().size())
                         ? layout.bands()[static_cast<std::size_t>(target.band)].band
                         : -1;
    const int visible_bands = static_cast<int>(layout.bands().size());
    m_pressedColumn = -1;
    m_feedback.reset();
    StopDragScroll();
    m_grid.CancelMouseState();
    if (m_grid.HandleAllocated()) ws().set_cursor(ui::Cursor{});
    TdxTreeListColumn* column = m_grid.Columns(column_index);
    bool accept = true;
    if (m_grid.OnDragEndHeader) m_grid.OnDragEndHeader(&m_grid, column, p, accept);
    if (!accept) return;
    if (visible_bands == 1 && m_grid.OnColumnMoved) m_grid.OnColumnMoved(&m_grid, column);
    if (target.kind != grid::DropTarget::Before && target.kind != grid::DropTarget::After) return;
    {
        const UpdateLock lock(m_grid);
        column->SetBandIndex(band);
        column->SetRowIndex(target.row);
        column->SetColIndex(grid::drop_position(target, dragged));
    }
    if (m_grid.OnHeaderMoved) m_grid.OnHeaderMoved(&m_grid, column);
}

int GridInput::ScrollableLeft() const {
    // A band fixed on the left never scrolls: the scrolling zone starts right of it and its line.
    const dxgrid::GridLayout& layout = m_grid.Layout();
    const std::vector<dxgrid::VisibleBand>& bands = layout.bands();
    if (!bands.empty() && layout.input().bands[static_cast<std::size_t>(bands.front().band)].fixed == bfLeft)
        return bands.front().left + bands.front().display_width + layout.input().fixed_band_line_width;
    return layout.header_panel().Left;
}

void GridInput::StartDragScroll(int direction) {
    if (direction == m_dragScrollDirection) return;
    if (direction == 0) return StopDragScroll();
    m_dragScrollDirection = direction;
    ws().set_timer(m_grid.Handle(), kScrollTimer, static_cast<int>(grid::kDragScrollInterval), [this](ui::HWND, ui::UINT) {
        // The first tick after the drag ended, or after the columns' end came into view, stops the timer.
        if (m_grid.State() != tsColumnDragging || m_dragScrollDirection == 0) return StopDragScroll();
        const int before = m_grid.LeftCoord();
        m_grid.SetLeftCoord(before + grid::kDragScrollStep * m_dragScrollDirection);
        if (m_grid.LeftCoord() == before) return StopDragScroll();
        // The headers moved under the pointer: the drop target and the arrows follow them.
        HeaderDragMove(m_dragPoint);
    });
}

void GridInput::StopDragScroll() {
    if (m_dragScrollDirection == 0) return;
    m_dragScrollDirection = 0;
    if (m_grid.HandleAllocated()) ws().kill_timer(m_grid.Handle(), kScrollTimer);
}

// ---- panning -------------------------------------------------------------------------------------------

namespace {

// The pixels of a circle of diameter d: one span per row.
std::vector<TRect> circle_spans(int d) {
    std::vector<TRect> spans;
    const double c = (d - 1) / 2.0, r2 = (d / 2.0) * (d / 2.0);
    for (int y = 0; y < d; ++y) {
        int left = 0;
        while (left < d && (left - c) * (left - c) + (y - c) * (y - c) > r2) ++left;
        if (left < d) spans.push_back(TRect{left, y, d - left, y + 1});
    }
    return spans;
}

gfx::Region circle(int d) {
    gfx::Region r;
    for (const TRect& span : circle_spans(d)) r.add(span);
    return r;
}

}  // namespace

void GridInput::StartPanning(TPoint screen) {
    m_panH = m_grid.ScrollBarVisible(sbHorizontal);
    m_panV = m_grid.ScrollBarVisible(sbVertical);
    m_panning = true;
    m_panOrigin = screen;
    m_panStep = {};
    m_panTicks = 0;
    m_panLeftDeadZone = false;
    EndSearch();

    // The origin mark: a round window holding the arrows of the directions there are.
    const int d = grid::kPanningMarkSize;
    const grid::PanningMark mark = grid::panning_mark(m_panH, m_panV);
    ui::CreateParams p;
    p.owner = ws().get_top_level(m_grid.Handle());
    p.style = ui::WS_POPUP;
    p.ex_style = ui::WS_EX_TOPMOST | ui::WS_EX_NOACTIVATE | ui::WS_EX_TRANSPARENT | ui::WS_EX_TOOLWINDOW;
    p.bounds = Bounds(screen.X - d / 2, screen.Y - d / 2, d, d);
    p.proc = [mark, d](ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) -> ui::LRESULT {
        if (msg != ui::WM_PAINT) return ws().def_window_proc(h, msg, w, l);
        ui::PaintStruct ps;
        TCanvas& c = ws().begin_paint(h, ps);
        c.Brush().SetColor(clWindow);
        c.FillRect(TRect{0, 0, d, d});
        c.Pen().SetColor(clWindowText);
        c.Brush().SetColor(clWindowText);
        const int m = d / 2;
        if (mark != grid::PanningMark::Horizontal) {
            const TPoint up[] = {{m, 4}, {m - 4, 9}, {m + 4, 9}};
            const TPoint down[] = {{m, d - 5}, {m - 4, d - 10}, {m + 4, d - 10}};
            c.Polygon(up);
            c.Polygon(down);
        }
        if (mark != grid::PanningMark::Vertical) {
            const TPoint left[] = {{4, m}, {9, m - 4}, {9, m + 4}};
            const TPoint right[] = {{d - 5, m}, {d - 10, m - 4}, {d - 10, m + 4}};
            c.Polygon(left);
            c.Polygon(right);
        }
        c.FillRect(TRect{m - 1, m - 1, m + 2, m + 2});
        // The 1-pixel outline: the edge pixels of every row, the whole first and last rows.
        const std::vector<TRect> spans = circle_spans(d);
        for (const TRect& r : spans) {
            c.SetPixel(r.Left, r.Top, clWindowText);
            c.SetPixel(r.Right - 1, r.Top, clWindowText);
        }
        c.FillRect(spans.front());
        c.FillRect(spans.back());
        ws().end_paint(h, ps);
        return 0;
    };
    m_panMark = ws().create_window(p);
    const gfx::Region shape = circle(d);
    ws().set_window_region(m_panMark, &shape);
    ws().show_window(m_panMark, ui::SW_SHOWNOACTIVATE);

    ws().set_capture(m_grid.Handle());
    ws().set_timer(m_grid.Handle(), kPanningTimer, static_cast<int>(grid::kPanningInterval),
                   [this](ui::HWND, ui::UINT) { PanningTick(); });
    PanningMove(screen);
}

void GridInput::PanningMove(TPoint screen) {
    m_panStep = grid::panning_step(screen.X - m_panOrigin.X, screen.Y - m_panOrigin.Y, m_panH, m_panV);
    if (m_panStep.direction != grid::PanningStep::None) m_panLeftDeadZone = true;
    TCursor shape = crFullScroll;
    switch (m_panStep.direction) {
    case grid::PanningStep::None: shape = m_panH && m_panV ? crFullScroll : m_panH ? crHorScroll : crVerScroll; break;
    case grid::PanningStep::Up: shape = crUpScroll; break;
    case grid::PanningStep::Down: shape = crDownScroll; break;
    case grid::PanningStep::Left: shape = crLeftScroll; break;
    case grid::PanningStep::Right: shape = crRightScroll; break;
    }
    ws().set_cursor(Screen().Cursors(shape));
}

void GridInput::PanningTick() {
    if (!m_panning) return;
    // Losing the capture ends panning.
    if (ws().get_capture() != m_grid.Handle()) return EndPanning();
    if (m_panStep.speed == 0) {
        m_panTicks = 0;
        return;
    }
    if (++m_panTicks < m_panStep.ticks_per_line()) return;
    m_panTicks = 0;
    switch (m_panStep.direction) {
    case grid::PanningStep::Up: m_grid.VScroll(forms::SB_LINEUP); break;
    case grid::PanningStep::Down: m_grid.VScroll(forms::SB_LINEDOWN); break;
    case grid::PanningStep::Left: m_grid.HScroll(forms::SB_LINELEFT); break;
    case grid::PanningStep::Right: m_grid.HScroll(forms::SB_LINERIGHT); break;
    case grid::PanningStep::None: break;
    }
}

void GridInput::EndPanning() {
    if (!m_panning) return;
    m_panning = false;
    if (m_grid.HandleAllocated()) ws().kill_timer(m_grid.Handle(), kPanningTimer);
    if (ws().is_window(m_panMark)) ws().destroy_window(m_panMark);
    m_panMark = ui::kNoWindow;
    if (m_grid.HandleAllocated() && ws().get_capture() == m_grid.Handle()) ws().release_capture();
    ws().set_cursor(ui::Cursor{});
}
