#include "grid/TCustomdxDBTreeListControl.h"

#include "grid/GridScrollModel.h"
#include "platform/classes/Invariant.h"
#include "platform/classes/ScopeExit.h"
#include "grid/TdxDBGridNode.h"
#include "grid/TdxDBTreeListColumn.h"
#include "platform/db/TDataSet.h"
#include "platform/db/TDataSource.h"
#include "platform/db/TField.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {
// Strips of text closer than this are moved as one: a separate strip costs a
// call per pixel row, more than moving the few pixels between.
constexpr int kScrollStripGap = 16;
}  // namespace

TCustomdxDBTreeListControl::TCustomdxDBTreeListControl(TComponent* AOwner)
    : TCustomdxTreeListControl(AOwner), m_link(std::make_unique<TdxGridDataLink>(*this)) {
    // Without records the grid shows one empty focused row.
    SetNodeCount(1);
    FocusNodeInternal(0);
}

TCustomdxDBTreeListControl::~TCustomdxDBTreeListControl() {
    if (TDataSource* ds = m_link->DataSource()) ds->RemoveFreeNotification(this);
    m_link.reset();
}

TDataSource* TCustomdxDBTreeListControl::DataSource() const { return m_link->DataSource(); }

void TCustomdxDBTreeListControl::SetDataSource(TDataSource* value) {
    if (value == DataSource()) return;
    if (DataSource()) DataSource()->RemoveFreeNotification(this);
    if (value) value->FreeNotification(this);
    m_link->SetDataSource(value);
    if (!m_link->Active()) Rebind();
}

TDataSet* TCustomdxDBTreeListControl::DataSet() const { return m_link->DataSet(); }

void TCustomdxDBTreeListControl::SetKeyField(const AnsiString& value) {
    if (value == m_keyField) return;
    m_keyField = value;
    if (!Loading() && m_link->Active()) Rebind();
}

void TCustomdxDBTreeListControl::Notification(TComponent* component, TOperation operation) {
    TCustomdxTreeListControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (m_link && component == m_link->DataSource()) SetDataSource(nullptr);
}

TdxDBTreeListColumn* TCustomdxDBTreeListControl::ColumnByField(const TField* field) const {
    if (!field) return nullptr;
    for (int i = 0; i < ColumnCount(); ++i)
        if (auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(i)); c && c->Field() == field) return c;
    return nullptr;
}

std::unique_ptr<TdxTreeListNode> TCustomdxDBTreeListControl::CreateNode(TdxTreeListNode* parent) {
    return std::make_unique<TdxDBGridNode>(this, parent);
}

// ---- binding ------------------------------------------------------------------------------

void TCustomdxDBTreeListControl::Rebind() {
    const UpdateLock lock(*this);
    ClearNodes();
    m_link->ClearMapping();
    TDataSet* ds = m_link->Active() ? DataSet() : nullptr;
    for (int i = 0; i < ColumnCount(); ++i) {
        auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(i));
        if (!c) continue;
        if (ds) {
            TField* f = ds->FindField(c->FieldName());
            m_link->AddMapping(f ? f->Index() : -1);
        }
        // Re-assigning the name looks the field up again.
        c->BindField();
        c->RestoreDefaultWidth();
    }
    m_keyFieldObject = ds && !m_keyField.empty() ? ds->FindField(m_keyField) : nullptr;
    SetNodeCount(1);
}

void TCustomdxDBTreeListControl::LinkActiveChanged() { Rebind(); }

void TCustomdxDBTreeListControl::LoadedColumns() {
    TCustomdxTreeListControl::LoadedColumns();
    for (int i = 0; i < ColumnCount(); ++i)
        if (auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(i))) {
            c->BindField();
            c->RestoreDefaultWidth();
        }
}

void TCustomdxDBTreeListControl::CreateWnd() {
    TCustomdxTreeListControl::CreateWnd();
    // The first refresh with a window asks the dataset for a window of rows.
    LayoutChanged();
}

void TCustomdxDBTreeListControl::LayoutRefreshed() {
    GridModeRefresh();
    TCustomdxTreeListControl::LayoutRefreshed();
}

void TCustomdxDBTreeListControl::GridModeRefresh() {
    if (m_refreshing) return;
    m_refreshing = true;
    ScopeExit done([this] { m_refreshing = false; });
    TdxGridDataLink& link = *m_link;
    const int full = Layout().full_rows();
    if (link.Active() && link.RecordCount() > 0 && HandleAllocated()) {
        if (link.BufferCount() != full) link.SetBufferCount(full);
        SetNodeCount(link.RecordCount());
    } else {
        SetNodeCount(1);
    }
    TDataSet* ds = DataSet();
    if (link.Active() && !Loading() && ds && ds->Active() && HandleAllocated()) {
        const int active = link.ActiveRecord();
        if (active != FocusedNumber() && active < Count()) FocusNodeInternal(active);
    } else if (FocusedNumber() < 0) {
        FocusNodeInternal(0);
    }
}

void TCustomdxDBTreeListControl::LinkDataSetChanged() {
    if (!HandleAllocated()) return;
    GridModeRefresh();
    // Nothing survives from the previous rows: every row is drawn again.
    Invalidate();
    UpdateScrollBars();
}

void TCustomdxDBTreeListControl::LinkDataSetScrolled(int distance) {
    if (!HandleAllocated()) return;
    const int shift = -distance;
    const dxgrid::GridLayout& before = Layout();
    const TRect oldFocus = FocusedNumber() >= 0 ? before.row_rect(FocusedNumber()) : TRect{};
    GridModeRefresh();
    const dxgrid::GridLayout& layout = Layout();
    const TRect newFocus = FocusedNumber() >= 0 ? layout.row_rect(FocusedNumber()) : TRect{};
    if (!oldFocus.IsEmpty()) InvalidateRect(oldFocus);
    if (!newFocus.IsEmpty()) InvalidateRect(newFocus);
    if (shift != 0) {
        const int full = layout.full_rows();
        if (std::abs(shift) > full) {
            Invalidate();
        } else {
            // Only the whole rows move; the new rows are what the move uncovers.
            const TRect area = layout.rows_area();
            const TRect rows{0, area.Top, ClientWidth(), std::min(area.Top + full * layout.row_height(), area.Bottom)};
            ScrollRows(rows, shift * layout.row_height());
        }
    }
    UpdateScrollBars();
    if (OnChangeNodeEx) OnChangeNodeEx(this);
}

void TCustomdxDBTreeListControl::ScrollRows(const TRect& rows, int dy) {
    // Rows differ only in their text (the focused row is repainted wherever
    // it goes), so only the strips of pixels that hold text are moved: far
    // fewer bytes than the whole width of the rows.
    ui::WindowSystem& ws = ui::WindowSystem::current();
    gfx::Region pending = ws.get_update_region(Handle());
    pending.intersect(rows);
    gfx::Region strips;
    for (const dxgrid::TextInk::Span& s : RowTextInk().strips(kScrollStripGap))
        strips.add(TRect{s.left, rows.Top, s.right, rows.Bottom});
    strips.intersect(rows);
    gfx::Region due = pending;
    due.add(ws.scroll_window(Handle(), 0, dy, strips));
    // What waited for painting is due where it was (the pixels outside the
    // strips stayed) and where it went (those inside moved).
    pending.offset(0, dy);
    due.add(pending);
    // The uncovered rows are new across their whole width.
    due.add(dy < 0 ? TRect{rows.Left, rows.Bottom + dy, rows.Right, rows.Bottom} : TRect{rows.Left, rows.Top, rows.Right, rows.Top + dy});
    // Painted as bands of the whole width: the strips would cut the update
    // region into many pieces, each costing every drawing call of the paint.
    gfx::Region bands;
    for (const TRect& r : due.rects()) bands.add(TRect{rows.Left, r.Top, rows.Right, r.Bottom});
    bands.intersect(rows);
    ws.validate_rect(Handle(), &rows);
    for (const TRect& r : bands.rects()) InvalidateRect(r);
}

void TCustomdxDBTreeListControl::LinkRecordChanged(TField*) { InvalidateRow(FocusedNumber()); }

void TCustomdxDBTreeListControl::LinkLayoutChanged() {
    LayoutChanged();
    LinkDataSetChanged();
}

void TCustomdxDBTreeListControl::LinkFocusControl(TField*& field) {
    if (!IsCanNavigation()) return;
    TdxDBTreeListColumn* column = ColumnByField(field);
    if (!column) return;
    if (!IsRowSelect()) SetFocusedColumn(ColumnIndexOf(column));
    if (CanFocus()) SetFocus();
    field = nullptr;
}

// ---- rows ----------------------------------------------------------------------------------

void TCustomdxDBTreeListControl::SetFocusedNumber(int index) {
    if (!m_link->Active()) {
        TCustomdxTreeListControl::SetFocusedNumber(index);
        return;
    }
    // The focus follows the dataset: its notification brings the focus to the active record.
    const int from = FocusedNumber() >= 0 ? FocusedNumber() : m_link->ActiveRecord();
    if (index != from) m_link->MoveBy(index - from);
}

AnsiString TCustomdxDBTreeListControl::GetCellText(TdxTreeListNode* node, int column) {
    if (column < 0 || column >= ColumnCount()) return AnsiString();
    auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(column));
    if (!c) return TCustomdxTreeListControl::GetCellText(node, column);
    if (!m_link->Active()) return AnsiString();
    const int row = IndexOfNode(node);
    if (row < 0 || row >= m_link->RecordCount()) return AnsiString();
    const int saved = m_link->ActiveRecord();
    ScopeExit restore([this, saved] { m_link->SetActiveRecord(saved); });
    m_link->SetActiveRecord(row);
    AnsiString text = c->GetDisplayText();
    if (c->OnGetText) c->OnGetText(c, node, text);
    return text;
}

AnsiString TCustomdxDBTreeListControl::GetPaintedCellText(int row, int column) {
    // Inside the row's paint bracket its record is already the active one.
    if (m_rowPaintDepth == 0 || row != m_rowPainted || column < 0 || column >= ColumnCount())
        return GetCellText(Items(row), column);
    auto* c = dynamic_cast<TdxDBTreeListColumn*>(Columns(column));
    if (!c) return TCustomdxTreeListControl::GetCellText(Items(row), column);
    AnsiString text = c->GetDisplayText();
    if (c->OnGetText) c->OnGetText(c, Items(row), text);
    return text;
}

void TCustomdxDBTreeListControl::BeginRowPaint(int row) {
    if (m_rowPaintDepth++ > 0 || !m_link->Active()) return;
    m_rowPaintSaved = m_link->ActiveRecord();
    if (row < m_link->RecordCount()) {
        m_link->SetActiveRecord(row);
        m_rowPainted = row;
    }
}

void TCustomdxDBTreeListControl::EndRowPaint(int) {
    if (--m_rowPaintDepth > 0 || !m_link->Active()) return;
    m_rowPainted = -1;
    m_link->SetActiveRecord(m_rowPaintSaved);
}

// ---- scroll bars ---------------------------------------------------------------------------

namespace {

dxgrid::DataPosition data_position(const TdxGridDataLink& link, bool handle) {
    dxgrid::DataPosition pos;
    TDataSet* ds = link.DataSet();
    pos.active = link.Active() && ds && ds->Active() && handle;
    if (!pos.active) return pos;
    pos.sequenced = ds->IsSequenced();
    pos.record_count = ds->RecordCount();
    try {
        pos.recno = ds->RecNo();
    } catch (const std::exception&) {
        pos.recno = -1;  // a number that cannot be read keeps the thumb where it is
    }
    pos.browsing = ds->State() == dsBrowse || ds->State() == dsEdit;
    pos.bof = ds->Bof();
    pos.eof = ds->Eof();
    return pos;
}

}  // namespace

void TCustomdxDBTreeListControl::UpdateScrollBars() {
    if (!HandleAllocated()) return;
    const dxgrid::GridLayout& layout = Layout();
    const forms::ScrollValues v = dxgrid::vertical_scroll_values(data_position(*m_link, true), layout.full_rows(),
                                                                 GetScrollInfo(sbVertical).pos);
    SetScrollInfo(sbVertical, v);
    const int width = ClientWidth() - layout.input().indicator_width;
    const bool horizontal = layout.total_width() > width;
    if (horizontal) SetScrollInfo(sbHorizontal, forms::ScrollValues{0, layout.total_width() - 1, width, LeftCoord()});
    const bool vertical = v.max - v.min + 1 > v.page;
    if (vertical == ScrollBarVisible(sbVertical) && horizontal == ScrollBarVisible(sbHorizontal)) return;
    // A bar that comes or goes changes the client area: lay out again once.
    ShowScrollBar(sbVertical, vertical);
    ShowScrollBar(sbHorizontal, horizontal);
    DiscardLayout();
    if (!horizontal && LeftCoord()) SetLeftCoord(0);
    GridModeRefresh();
    Invalidate();
}

void TCustomdxDBTreeListControl::VScroll(int code) {
    if (CanFocus() && !HasFocus()) {
        SetFocus();
        if (!HasFocus()) return;
    }
    if (!m_link->Active()) return;
    TDataSet* ds = DataSet();
    const dxgrid::DataPosition pos = data_position(*m_link, HandleAllocated());
    const dxgrid::ScrollAction action =
        dxgrid::vertical_scroll_action(code, pos, m_link->ActiveRecord(), m_link->RecordCount(), Layout().full_rows(),
                                       GetScrollTrackPos(sbVertical));
    switch (action.move) {
    case dxgrid::DataMove::MoveBy: m_link->MoveBy(action.value); break;
    case dxgrid::DataMove::First: ds->First(); break;
    case dxgrid::DataMove::Last: ds->Last(); break;
    case dxgrid::DataMove::RecNo: ds->SetRecNo(action.value); break;
    case dxgrid::DataMove::None: break;
    }
    // A command that moved nothing still leaves the thumb at the record's number.
    UpdateScrollBars();
}

void TCustomdxDBTreeListControl::FocusChanged(bool gained) {
    TCustomdxTreeListControl::FocusChanged(gained);
    // Leaving the grid: an untouched new record would be cancelled here and
    // pending edits written; this grid never inserts nor edits.
}

void TCustomdxDBTreeListControl::check_invariants() const {
    TCustomdxTreeListControl::check_invariants();
#ifndef NDEBUG
    const bool bound = m_link->Active() && m_link->RecordCount() > 0 && HandleAllocated();
    if (bound && !m_refreshing) {
        INVARIANT(Count() == m_link->RecordCount(), "grid: nodes differ from the record window");
        INVARIANT(m_link->BufferCount() == Layout().full_rows(), "grid: buffer count differs from the full rows");
        INVARIANT(FocusedNumber() == m_link->ActiveRecord(), "grid: focus differs from the active record");
    }
    INVARIANT(bound || Count() == 1, "grid: an unbound grid holds one node");
#endif
}
