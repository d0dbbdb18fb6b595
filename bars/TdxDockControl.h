// Dock sites: the four at the form's edges that the manager makes, and
// TdxBarDockControl, placed on a form by the user. A site holds rows of bar
// windows; it lays them out with the row arithmetic of DockLayout and sizes
// itself to its rows (an empty TdxBarDockControl is 0 pixels thick).
//
// Invariants (check_invariants):
//  - no row is empty, except rows made empty while the manager loads;
//  - each bar window is in one row once, and is a child of this site;
//  - the site's thickness is what site_thickness gives for its rows (after layout).
#pragma once

#include "bars/dxBarTypes.h"
#include "platform/classes/ComponentLink.h"
#include "platform/forms/TCustomControl.h"

#include <vector>

class TdxDockControl : public TCustomControl {
public:
    // An edge site of a manager (manager set), or a user's site (nullptr, see TdxBarDockControl).
    TdxDockControl(TComponent* AOwner, TdxBarManager* manager, TdxBarDockingStyle edge);
    ~TdxDockControl() override;

    TdxBarManager* BarManager() const { return m_manager; }
    // The edge the site lies on, from its alignment.
    TdxBarDockingStyle DockingStyle() const;
    bool Horizontal() const { return is_horizontal(DockingStyle()); }
    bool AllowDocking() const { return m_allowDocking; }
    void SetAllowDocking(bool v) { m_allowDocking = v; }
    virtual bool SunkenBorderShown() const;
    TColor DockColor() const;

    // ---- rows ------------------------------------------------------------------
    struct Cell {
        TdxBarControl* bar = nullptr;
        int position = 0;
    };
    using Row = std::vector<Cell>;
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const Row& Rows(int index) const { return m_rows.at(static_cast<std::size_t>(index)); }
    // Row index of a bar window, -1 when it is not docked here.
    int RowOf(const TdxBarControl* bar) const;

    // Docks a bar window from its bar's stored Row, OneOnRow, WholeRow, DockedLeft and DockedTop.
    void DockStored(TdxBarControl* bar);
    // Docks a bar window into a row (new_row: a row inserted at that index) at a position along it.
    void DockAt(TdxBarControl* bar, int row, bool new_row, int position);
    void Undock(TdxBarControl* bar);

    // Lays the rows out and sizes the site.
    void UpdateDock();
    // The length of the site along its rows.
    int SiteLength() const;
    // Thickness of each row after the last layout.
    const std::vector<int>& RowThicknesses() const { return m_rowThickness; }
    // Where a row starts across the site (client coordinates).
    int RowStart(int row) const;

    // Stored size until the first layout (DockControlHeights).
    void SetStoredThickness(int value);
    int Thickness() const { return Horizontal() ? Height() : Width(); }

    void check_invariants() const;

protected:
    void Paint() override;
    void Resize() override;
    void WndProc(TMessage& message) override;
    // The thickness of the site when it holds no rows.
    virtual int EmptyThickness() const;
    // Whether an empty site keeps the size it was given (the edge sites, until their first layout).
    virtual bool KeepsGivenSize() const { return !m_laidOut; }
    ComponentLink<TdxBarManager>& BarManagerRef() { return m_manager; }
    const TdxBarManager* BarManagerRef() const { return m_manager; }

private:
    void SetThickness(int value);
    void RemoveEmptyRows();

    ComponentLink<TdxBarManager> m_manager;
    TdxBarDockingStyle m_edge;
    bool m_allowDocking = true;
    std::vector<Row> m_rows;
    std::vector<int> m_rowThickness;
    bool m_laidOut = false;
    int m_updating = 0;
};

class TdxBarDockControl : public TdxDockControl {
public:
    explicit TdxBarDockControl(TComponent* AOwner);
    ~TdxBarDockControl() override;

    TdxDockControlAlign DockAlign() const { return m_dockAlign; }
    // dalTop by default; aligns the control to that edge.
    void SetDockAlign(TdxDockControlAlign value);
    // Registers the site with a manager.
    void SetBarManager(TdxBarManager* value);
    bool UseOwnColor() const { return m_useOwnColor; }
    void SetUseOwnColor(bool v) { m_useOwnColor = v; }
    bool SunkenBorder() const { return m_sunkenBorder; }
    void SetSunkenBorder(bool v) { m_sunkenBorder = v; }
    bool UseOwnSunkenBorder() const { return m_useOwnSunkenBorder; }
    void SetUseOwnSunkenBorder(bool v) { m_useOwnSunkenBorder = v; }
    bool AllowZeroSizeInDesignTime() const { return m_allowZeroSizeInDesignTime; }
    void SetAllowZeroSizeInDesignTime(bool v) { m_allowZeroSizeInDesignTime = v; }
    bool SunkenBorderShown() const override;

protected:
    void Loaded() override;
    int EmptyThickness() const override;
    bool KeepsGivenSize() const override { return false; }

private:
    TdxDockControlAlign m_dockAlign = dalTop;
    bool m_useOwnColor = false;
    bool m_sunkenBorder = false;
    bool m_useOwnSunkenBorder = false;
    bool m_allowZeroSizeInDesignTime = false;
};
