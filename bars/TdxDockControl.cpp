#include "bars/TdxDockControl.h"

#include "bars/DockLayout.h"
#include "bars/TdxBar.h"
#include "bars/TdxBarControl.h"
#include "bars/TdxBarManager.h"
#include "platform/classes/Invariant.h"
#include "platform/classes/ScopeExit.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <stdexcept>

namespace {

TAlign align_of(TdxBarDockingStyle edge) {
    switch (edge) {
    case dsLeft: return alLeft;
    case dsTop: return alTop;
    case dsRight: return alRight;
    case dsBottom: return alBottom;
    default: return alNone;
    }
}

}  // namespace

// ---- TdxDockControl ----------------------------------------------------------------------------------

TdxDockControl::TdxDockControl(TComponent* AOwner, TdxBarManager* manager, TdxBarDockingStyle edge)
    : TCustomControl(AOwner), m_edge(edge) {
    m_manager = manager;
    SetAlign(align_of(edge));
    if (Horizontal()) SetHeight(0);
    else SetWidth(0);
    if (m_manager) m_manager->AddDockControl(this);
}

TdxDockControl::~TdxDockControl() {
    if (m_manager) m_manager->RemoveDockControl(this);
}

TdxBarDockingStyle TdxDockControl::DockingStyle() const {
    switch (Align()) {
    case alLeft: return dsLeft;
    case alTop: return dsTop;
    case alRight: return dsRight;
    case alBottom: return dsBottom;
    default: return m_edge;
    }
}

bool TdxDockControl::SunkenBorderShown() const { return m_manager && m_manager->SunkenBorder(); }

TColor TdxDockControl::DockColor() const {
    if (auto* own = dynamic_cast<const TdxBarDockControl*>(this); own && own->UseOwnColor()) return Color();
    if (m_manager) return m_manager->DockColor();
    return Color();
}

int TdxDockControl::RowOf(const TdxBarControl* bar) const {
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        for (const Cell& c : m_rows[r])
            if (c.bar == bar) return static_cast<int>(r);
    return -1;
}

int TdxDockControl::SiteLength() const { return Horizontal() ? ClientWidth() : ClientHeight(); }

int TdxDockControl::RowStart(int row) const {
    const int border = SunkenBorderShown() ? 1 : 0;
    int before = 0;
    for (int r = 0; r < row && r < static_cast<int>(m_rowThickness.size()); ++r) before += m_rowThickness[static_cast<std::size_t>(r)];
    const TdxBarDockingStyle edge = DockingStyle();
    if (edge != dsRight && edge != dsBottom) return border + before;
    // Right and bottom sites stack their rows from their outer edge inwards.
    int total = 0;
    for (int t : m_rowThickness) total += t;
    const int own = row < static_cast<int>(m_rowThickness.size()) ? m_rowThickness[static_cast<std::size_t>(row)] : 0;
    return border + total - before - own;
}

void TdxDockControl::SetStoredThickness(int value) {
    if (m_laidOut) return;
    SetThickness(std::max(value, 0));
}

void TdxDockControl::SetThickness(int value) {
    if (Horizontal()) SetHeight(value);
    else SetWidth(value);
}

int TdxDockControl::EmptyThickness() const { return 0; }

void TdxDockControl::DockStored(TdxBarControl* bar) {
    TdxBar& b = bar->Bar();
    std::vector<bars::RowInfo> info;
    for (const Row& row : m_rows) {
        bars::RowInfo ri;
        ri.empty = row.empty();
        for (const Cell& c : row) ri.holds_whole_row_bar = ri.holds_whole_row_bar || c.bar->Bar().WholeRow();
        info.push_back(ri);
    }
    const bool loading = m_manager && m_manager->IsLoading();
    const bars::RowTarget t = bars::place_stored_bar(info, b.Row(), b.OneOnRow(), b.WholeRow(), loading);
    for (int i = 0; i < t.rows_to_create; ++i) m_rows.emplace_back();
    const int along = std::max(Horizontal() ? b.DockedLeft() : b.DockedTop(), 0);
    if (t.new_row) {
        m_rows.insert(m_rows.begin() + std::min(t.row, RowCount()), Row{Cell{bar, along}});
    } else {
        Row& row = m_rows[static_cast<std::size_t>(t.row)];
        std::vector<int> positions;
        for (const Cell& c : row) positions.push_back(c.position);
        row.insert(row.begin() + bars::insert_index(positions, along), Cell{bar, along});
    }
    UpdateDock();
}

void TdxDockControl::DockAt(TdxBarControl* bar, int row, bool new_row, int position) {
    const int oldRow = RowOf(bar);
    if (oldRow >= 0) {
        Row& r = m_rows[static_cast<std::size_t>(oldRow)];
        r.erase(std::remove_if(r.begin(), r.end(), [bar](const Cell& c) { return c.bar == bar; }), r.end());
        if (r.empty()) {
            m_rows.erase(m_rows.begin() + oldRow);
            if (oldRow < row) --row;
            else if (oldRow == row && !new_row) new_row = true;
        }
    }
    row = std::clamp(row, 0, RowCount());
    if (row == RowCount()) new_row = true;
    position = std::max(position, 0);
    if (!new_row) {
        const Row& target = m_rows[static_cast<std::size_t>(row)];
        bool wholeRowThere = bar->Bar().WholeRow();
        for (const Cell& c : target) wholeRowThere = wholeRowThere || c.bar->Bar().WholeRow();
        if (wholeRowThere) {
            // A whole-row bar shares its row with nobody: the bar gets a row of its own after it.
            new_row = true;
            ++row;
        }
    }
    if (new_row) {
        m_rows.insert(m_rows.begin() + row, Row{Cell{bar, position}});
    } else {
        Row& target = m_rows[static_cast<std::size_t>(row)];
        std::vector<int> positions;
        for (const Cell& c : target) positions.push_back(c.position);
        target.insert(target.begin() + bars::insert_index(positions, position), Cell{bar, position});
    }
    UpdateDock();
}

void TdxDockControl::Undock(TdxBarControl* bar) {
    const int r = RowOf(bar);
    if (r < 0) return;
    Row& row = m_rows[static_cast<std::size_t>(r)];
    row.erase(std::remove_if(row.begin(), row.end(), [bar](const Cell& c) { return c.bar == bar; }), row.end());
    if (Destroying()) return;
    UpdateDock();
}

void TdxDockControl::RemoveEmptyRows() {
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.empty(); }), m_rows.end());
}

void TdxDockControl::UpdateDock() {
    if (m_manager && (m_manager->IsLoading() || m_manager->LockUpdate())) return;
    if (m_updating > 0 || Destroying()) return;
    const ScopedValue updating(m_updating, m_updating + 1);
    RemoveEmptyRows();
    const int length = SiteLength();
    m_rowThickness.clear();
    std::vector<bars::RowLayout> layouts;
    for (Row& row : m_rows) {
        std::vector<bars::RowBar> input;
        for (const Cell& c : row) {
            bars::RowBar rb;
            const TdxBar& b = c.bar->Bar();
            rb.min_length = c.bar->MinLength();
            rb.natural_length = c.bar->NaturalLength();
            rb.position = c.position;
            rb.whole_row = b.WholeRow();
            rb.multi_line = b.MultiLine();
            rb.use_rest_space = b.UseRestSpace();
            rb.mark_counted = c.bar->MarkAlwaysShown();
            TdxBarControl* bc = c.bar;
            rb.thickness_at = [bc](int len) { return bc->ThicknessAt(len); };
            input.push_back(std::move(rb));
        }
        layouts.push_back(bars::layout_row(input, length));
        bars::check_row_layout(input, layouts.back());
        m_rowThickness.push_back(layouts.back().thickness);
    }
    // Until the window is on the screen the site has the length of the form
    // as designed, which nobody sees (a maximised window gets its size as it
    // shows): the bars keep the places they were given then, or a place the
    // user chose in a larger window would be pushed back and lost.
    const bool keepPlaces = !Showing();
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        Row& row = m_rows[r];
        const int across = RowStart(static_cast<int>(r));
        for (std::size_t i = 0; i < row.size(); ++i) {
            const bars::RowPlace& p = layouts[r].bars[i];
            if (!keepPlaces) row[i].position = p.position;
            const int along = row[i].position;
            row[i].bar->SetDockedPlace(p.position, across, p.length, p.thickness, p.truncated);
            row[i].bar->Bar().TakeDockedPlace(static_cast<int>(r), Horizontal() ? along : across, Horizontal() ? across : along);
        }
    }
    m_laidOut = true;
    SetThickness(m_rows.empty() ? EmptyThickness() : bars::site_thickness(m_rowThickness, SunkenBorderShown()));
    Invalidate();
    CHECK_INVARIANTS(*this);
}

void TdxDockControl::Resize() {
    TCustomControl::Resize();
    if (m_updating > 0) return;
    if (m_rows.empty()) {
        if (!KeepsGivenSize() && Thickness() != EmptyThickness()) SetThickness(EmptyThickness());
        return;
    }
    UpdateDock();
}

void TdxDockControl::Paint() {
    TCanvas& c = *Canvas();
    c.Brush().SetColor(DockColor());
    c.FillRect(ClientRect());
    if (SunkenBorderShown() && !m_rows.empty()) {
        TRect r = ClientRect();
        c.DrawEdge(r, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
    }
}

void TdxDockControl::WndProc(TMessage& message) { TCustomControl::WndProc(message); }

void TdxDockControl::check_invariants() const {
#ifndef NDEBUG
    const bool loading = m_manager && m_manager->IsLoading();
    std::vector<const TdxBarControl*> seen;
    for (const Row& row : m_rows) {
        INVARIANT(!(row.empty() && !loading), "dock: an empty row");
        for (const Cell& c : row) {
            INVARIANT(!(std::find(seen.begin(), seen.end(), c.bar) != seen.end()), "dock: a bar twice");
            seen.push_back(c.bar);
            INVARIANT(c.bar->Parent() == this, "dock: a bar window with another parent");
        }
    }
    if (m_laidOut && !loading && !(m_manager && m_manager->LockUpdate())) {
        const int expected = m_rows.empty() ? EmptyThickness() : bars::site_thickness(m_rowThickness, SunkenBorderShown());
        INVARIANT(Thickness() == expected, "dock: thickness differs from its rows");
    }
#endif
}

// ---- TdxBarDockControl --------------------------------------------------------------------------------

TdxBarDockControl::TdxBarDockControl(TComponent* AOwner) : TdxDockControl(AOwner, nullptr, dsTop) {}

TdxBarDockControl::~TdxBarDockControl() { SetBarManager(nullptr); }

void TdxBarDockControl::SetDockAlign(TdxDockControlAlign value) {
    m_dockAlign = value;
    switch (value) {
    case dalTop: SetAlign(alTop); break;
    case dalBottom: SetAlign(alBottom); break;
    case dalLeft: SetAlign(alLeft); break;
    case dalRight: SetAlign(alRight); break;
    default: SetAlign(alNone); break;
    }
}

void TdxBarDockControl::SetBarManager(TdxBarManager* value) {
    if (value == BarManagerRef()) return;
    if (BarManagerRef()) BarManagerRef()->RemoveDockControl(this);
    BarManagerRef() = value;
    if (value) value->AddDockControl(this);
}

bool TdxBarDockControl::SunkenBorderShown() const {
    if (m_useOwnSunkenBorder) return m_sunkenBorder;
    return TdxDockControl::SunkenBorderShown();
}

int TdxBarDockControl::EmptyThickness() const {
    if (ComponentState().Contains(csDesigning) && !m_allowZeroSizeInDesignTime) return 3;
    return 0;
}

void TdxBarDockControl::Loaded() {
    TdxDockControl::Loaded();
    // At run time an empty site takes no room.
    if (RowCount() == 0) {
        if (Horizontal()) SetHeight(EmptyThickness());
        else SetWidth(EmptyThickness());
    }
}
