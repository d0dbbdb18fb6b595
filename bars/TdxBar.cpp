#include "bars/TdxBar.h"

#include "bars/TdxBarControl.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "bars/TdxDockControl.h"
#include "platform/classes/Invariant.h"
#include "platform/forms/TForm.h"

#include <algorithm>
#include <stdexcept>

// ---- TdxBar -----------------------------------------------------------------------------------------

TdxBar::TdxBar(TdxBars& bars) : m_bars(bars), m_dockingStyle(dsNone) {
    m_itemLinks = std::make_unique<TdxBarItemLinks>(bars.BarManager(), this);
    m_font.Assign(bars.BarManager().Font());
}

TdxBar::~TdxBar() {
    HideWindow();
    if (BarManager().MainMenuBar() == this) BarManager().SetMainMenuBar(nullptr);
    m_itemLinks.reset();
}

TdxBarManager& TdxBar::BarManager() const { return m_bars.BarManager(); }

int TdxBar::Index() const { return m_bars.IndexOf(this); }

bool TdxBar::Storing() const { return BarManager().IsLoading(); }

void TdxBar::SetAllowQuickCustomizing(bool v) {
    if (v == m_allowQuickCustomizing) return;
    m_allowQuickCustomizing = v;
    Relayout();
}

void TdxBar::SetBorderStyle(TdxBarBorderStyle v) {
    if (v == m_borderStyle) return;
    m_borderStyle = v;
    Relayout();
}

void TdxBar::SetCaption(const AnsiString& v) {
    if (v == m_caption) return;
    m_caption = v;
    if (m_control) m_control->Invalidate();
}

void TdxBar::SetDockControl(TdxBarDockControl* value) {
    if (value == m_dockControl) return;
    // Only a site of this manager takes the bar.
    if (value && value->BarManager() != &BarManager()) return;
    if (Storing()) {
        m_dockControl = value;
        if (value) m_dockingStyle = value->DockingStyle();
        return;
    }
    Rebuild([&] {
        m_dockControl = value;
        if (value) m_dockingStyle = value->DockingStyle();
    });
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle value) {
    if (value == m_dockingStyle && !m_dockControl) return;
    if (Storing()) {
        m_dockingStyle = value;
        return;
    }
    Rebuild([&] {
        m_dockingStyle = value;
        m_dockControl = nullptr;
    });
    if (BarManager().OnBarDockingStyleChange) BarManager().OnBarDockingStyleChange(&BarManager(), this);
}

void TdxBar::SetDockedLeft(int v) {
    if (v == m_dockedLeft) return;
    m_dockedLeft = v;
    if (!Storing() && CurrentDock()) Rebuild([] {});
}

void TdxBar::SetDockedTop(int v) {
    if (v == m_dockedTop) return;
    m_dockedTop = v;
    if (!Storing() && CurrentDock()) Rebuild([] {});
}

void TdxBar::SetRow(int v) {
    if (v == m_row) return;
    m_row = v;
    if (!Storing() && CurrentDock()) Rebuild([] {});
}

void TdxBar::SetOneOnRow(bool v) {
    if (v == m_oneOnRow) return;
    m_oneOnRow = v;
    if (!Storing() && CurrentDock()) Rebuild([] {});
}

void TdxBar::SetIsMainMenu(bool value) {
    if (value == m_isMainMenu) return;
    if (value) {
        if (TdxBar* previous = BarManager().MainMenuBar(); previous && previous != this) previous->SetIsMainMenu(false);
        m_isMainMenu = true;
        BarManager().SetMainMenuBar(this);
        m_wholeRow = true;
        m_multiLine = true;
    } else {
        m_isMainMenu = false;
        if (BarManager().MainMenuBar() == this) BarManager().SetMainMenuBar(nullptr);
        m_wholeRow = false;
        m_multiLine = false;
    }
    if (!Storing() && CurrentDock()) Rebuild([] {});
    else Relayout();
}

void TdxBar::SetMultiLine(bool value) {
    if (value == m_multiLine) return;
    m_multiLine = value;
    Relayout();
}

void TdxBar::SetWholeRow(bool value) {
    if (value == m_wholeRow) return;
    m_wholeRow = value;
    if (!Storing() && CurrentDock()) Rebuild([] {});
}

void TdxBar::SetShowMark(bool v) {
    if (v == m_showMark) return;
    m_showMark = v;
    Relayout();
}

void TdxBar::SetUseOwnFont(bool v) {
    if (v == m_useOwnFont) return;
    m_useOwnFont = v;
    Relayout();
}

void TdxBar::SetUseRestSpace(bool v) {
    if (v == m_useRestSpace) return;
    m_useRestSpace = v;
    Relayout();
}

void TdxBar::SetVisible(bool value) {
    if (value == m_visible) return;
    m_visible = value;
    if (Storing()) return;
    if (value) ShowWindow();
    else HideWindow();
    if (BarManager().OnBarVisibleChange) BarManager().OnBarVisibleChange(&BarManager(), this);
}

const TFont& TdxBar::BarFont() const { return m_useOwnFont ? m_font : BarManager().BarFont(); }

TdxDockControl* TdxBar::CurrentDock() const { return m_control ? m_control->DockControl() : nullptr; }

bool TdxBar::IsVertical() const {
    const TdxDockControl* d = CurrentDock();
    return d && !d->Horizontal();
}

TdxDockControl* TdxBar::TargetDock() const {
    if (m_dockControl) return m_dockControl;
    if (m_dockingStyle == dsNone) return nullptr;
    return m_bars.DockControl(m_dockingStyle);
}

void TdxBar::ApplyLoaded() {
    m_itemLinks->RefreshLists();
    if (m_dockControl) m_dockingStyle = m_dockControl->DockingStyle();
    if (m_visible) ShowWindow();
}

void TdxBar::ShowWindow() {
    if (m_control) return;
    m_control = std::make_unique<TdxBarControl>(*this);
    m_itemLinks->SetBarControl(m_control.get());
    TdxDockControl* dock = TargetDock();
    m_control->SetDockControl(dock);
    m_control->RebuildControls();
    if (dock) {
        m_control->SetParent(dock);
        m_everDocked = true;
        m_dockedDockingStyle = dock->DockingStyle();
        m_dockedDockControl = m_dockControl;
        dock->DockStored(m_control.get());
    } else {
        m_control->UpdateFloatingSize();
        m_control->SetBounds(m_floatLeft, m_floatTop, m_control->Width(), m_control->Height());
        // Floating windows need their form's window as owner; until it exists they wait.
        if (BarManager().ParentForm() && BarManager().ParentForm()->HandleAllocated()) BarManager().ShowFloatingBars(true);
    }
}

void TdxBar::HideWindow() {
    if (!m_control) return;
    if (TdxDockControl* d = m_control->DockControl()) d->Undock(m_control.get());
    std::unique_ptr<TdxBarControl> control = std::move(m_control);
    control.reset();
    m_itemLinks->SetBarControl(nullptr);
}

template <typename F>
void TdxBar::Rebuild(F change) {
    HideWindow();
    change();
    if (m_visible) ShowWindow();
}

void TdxBar::LinksChanged() {
    if (m_control) m_control->RebuildControls();
}

void TdxBar::Relayout() {
    if (Storing() || !m_control) return;
    m_control->LayoutChanged();
}

void TdxBar::TakeDockedPlace(int row, int left, int top) {
    m_row = row;
    m_dockedLeft = left;
    m_dockedTop = top;
}

void TdxBar::DockInto(TdxDockControl* dock, int row, bool new_row, int position) {
    if (!m_control || !dock) return;
    TdxDockControl* old = m_control->DockControl();
    if (old && old != dock) old->Undock(m_control.get());
    m_dockControl = dynamic_cast<TdxBarDockControl*>(dock);
    m_dockingStyle = dock->DockingStyle();
    m_dockedDockingStyle = m_dockingStyle;
    m_dockedDockControl = m_dockControl;
    m_everDocked = true;
    if (old != dock) {
        m_control->SetDockControl(dock);
        m_control->Reparent(dock);
    }
    dock->DockAt(m_control.get(), row, new_row, position);
}

void TdxBar::FloatAt(int screenLeft, int screenTop) {
    if (!m_control) return;
    if (TdxDockControl* old = m_control->DockControl()) {
        old->Undock(m_control.get());
        m_control->SetDockControl(nullptr);
        m_dockingStyle = dsNone;
        m_dockControl = nullptr;
        m_floatLeft = screenLeft;
        m_floatTop = screenTop;
        m_control->UpdateFloatingSize();
        m_control->SetBounds(screenLeft, screenTop, m_control->Width(), m_control->Height());
        m_control->Reparent(nullptr);
        if (BarManager().OnBarDockingStyleChange) BarManager().OnBarDockingStyleChange(&BarManager(), this);
        return;
    }
    m_floatLeft = screenLeft;
    m_floatTop = screenTop;
    m_control->SetBounds(screenLeft, screenTop, m_control->Width(), m_control->Height());
}

void TdxBar::ToggleDocking() {
    if (!m_control) return;
    if (m_control->Docked()) {
        FloatAt(m_floatLeft, m_floatTop);
        return;
    }
    TdxDockControl* target = m_dockedDockControl;
    if (!target) target = m_bars.DockControl(m_everDocked && m_dockedDockingStyle != dsNone ? m_dockedDockingStyle : dsTop);
    if (!m_everDocked) m_oneOnRow = true;
    bool canDock = true;
    if (BarManager().OnDocking) BarManager().OnDocking(this, target, canDock);
    if (!canDock) return;
    int row = m_row;
    bool newRow = m_oneOnRow || m_wholeRow;
    if (!m_everDocked) {
        row = target->RowCount();
        newRow = true;
    }
    row = std::clamp(row, 0, target->RowCount());
    if (row == target->RowCount()) newRow = true;
    DockInto(target, row, newRow, target->Horizontal() ? m_dockedLeft : m_dockedTop);
    if (BarManager().OnBarDockingStyleChange) BarManager().OnBarDockingStyleChange(&BarManager(), this);
}

void TdxBar::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(!(m_isMainMenu && (!m_wholeRow || !m_multiLine)), "bar: a main menu is whole-row and multi-line");
    if (!Storing()) {
        INVARIANT(!(m_visible != (m_control != nullptr)), "bar: window and Visible disagree");
    }
    if (m_control) {
        const TdxDockControl* d = m_control->DockControl();
        INVARIANT(!d || d->RowOf(m_control.get()) >= 0, "bar: docked window missing from its site's rows");
        m_control->check_invariants();
    }
    m_itemLinks->check_invariants();
#endif
}

// ---- TdxBars ------------------------------------------------------------------------------------------

TdxBars::TdxBars(TdxBarManager& manager) : m_manager(manager) {
    const TdxBarDockingStyle edges[4] = {dsLeft, dsTop, dsRight, dsBottom};
    for (int i = 0; i < 4; ++i) {
        m_docks[static_cast<std::size_t>(i)] = std::make_unique<TdxDockControl>(nullptr, &manager, edges[i]);
        m_docks[static_cast<std::size_t>(i)]->SetParent(manager.ParentForm());
    }
}

TdxBars::~TdxBars() { Destroy(); }

void TdxBars::Destroy() {
    while (!m_bars.empty()) {
        std::unique_ptr<TdxBar> bar = std::move(m_bars.back());
        m_bars.pop_back();
        bar.reset();
    }
    for (auto& d : m_docks) {
        if (!d) continue;
        m_manager.RemoveDockControl(d.get());
        d.reset();
    }
}

TdxBar* TdxBars::Add() {
    m_bars.push_back(std::make_unique<TdxBar>(*this));
    TdxBar* bar = m_bars.back().get();
    if (m_manager.OnBarAdd && !m_manager.IsLoading()) m_manager.OnBarAdd(&m_manager, bar);
    return bar;
}

void TdxBars::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    TdxBar* bar = Items(index);
    if (m_manager.OnBarDelete && !m_manager.IsLoading()) m_manager.OnBarDelete(&m_manager, bar);
    std::unique_ptr<TdxBar> taken = std::move(m_bars[static_cast<std::size_t>(index)]);
    m_bars.erase(m_bars.begin() + index);
    taken.reset();
}

int TdxBars::IndexOf(const TdxBar* bar) const {
    for (std::size_t i = 0; i < m_bars.size(); ++i)
        if (m_bars[i].get() == bar) return static_cast<int>(i);
    return -1;
}

TdxBar* TdxBars::FindByName(const AnsiString& name) const {
    for (const auto& b : m_bars)
        if (b->Name() == name) return b.get();
    return nullptr;
}

TdxDockControl* TdxBars::DockControl(TdxBarDockingStyle edge) const {
    switch (edge) {
    case dsLeft: return m_docks[0].get();
    case dsTop: return m_docks[1].get();
    case dsRight: return m_docks[2].get();
    case dsBottom: return m_docks[3].get();
    default: return nullptr;
    }
}
