#include "bars/TdxBarControl.h"

#include "bars/DockLayout.h"
#include "bars/TdxBar.h"
#include "bars/TdxBarEditControl.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemControl.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "bars/TdxBarPainter.h"
#include "bars/TdxDockControl.h"
#include "platform/classes/Invariant.h"
#include "platform/forms/EditWindow.h"
#include "platform/forms/TForm.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <stdexcept>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

constexpr ui::UINT kDockTimerId = 1;

TPoint point_of(ui::LPARAM l) { return TPoint{ui::get_x_lparam(l), ui::get_y_lparam(l)}; }

TShiftState shift_of(ui::WPARAM w) {
    TShiftState s;
    if (w & ui::MK_SHIFT) s += ssShift;
    if (w & ui::MK_CONTROL) s += ssCtrl;
    if (w & ui::MK_LBUTTON) s += ssLeft;
    if (ui::WindowSystem::exists() && ws().get_key_state(ui::VK_MENU) < 0) s += ssAlt;
    return s;
}

// Measures text in a font without a window.
int measure_text(const TFont& font, std::string_view text) {
    static TCanvas canvas;
    canvas.Font().Assign(font);
    return canvas.TextWidth(text);
}

int measure_height(const TFont& font) {
    static TCanvas canvas;
    canvas.Font().Assign(font);
    return canvas.TextHeight("0");
}

}  // namespace

// ---- TCustomdxBarControl ----------------------------------------------------------------------------

TCustomdxBarControl::TCustomdxBarControl(TdxBarManager& manager, TdxBarItemLinks& links)
    : TCustomControl(nullptr), m_manager(manager), m_links(links) {}

TCustomdxBarControl::~TCustomdxBarControl() {
    if (m_keyboardMode) LeaveKeyboardMode(false);
    for (int i = 0; i < m_links.Count(); ++i) {
        TdxBarItemLink* link = m_links[i];
        if (link->Control() && link->Control()->Parent() == this) link->DestroyControl();
    }
    if (m_links.BarControl() == this) m_links.SetBarControl(nullptr);
}

const TFont& TCustomdxBarControl::ItemsFont() const { return m_manager.BarFont(); }

int TCustomdxBarControl::TextItemHeight() const { return measure_height(ItemsFont()) + gfx::scaled(6); }

int TCustomdxBarControl::EditHeight() const {
    return measure_height(ItemsFont()) + gfx::scaled(6 + (m_manager.Style() == bmsFlat ? 1 : 0));
}

int TCustomdxBarControl::TextWidth(const AnsiString& text) const { return measure_text(ItemsFont(), text); }

TColor TCustomdxBarControl::BackgroundColor() const { return bars::light_face(); }

void TCustomdxBarControl::RebuildControls() {
    const std::vector<TdxBarItemLink*>& shown = m_links.ShownLinks();
    for (int i = 0; i < m_links.Count(); ++i) {
        TdxBarItemLink* link = m_links[i];
        if (link->Control() && link->Control()->Parent() == this &&
            std::find(shown.begin(), shown.end(), link) == shown.end())
            link->DestroyControl();
    }
    for (TdxBarItemLink* link : shown)
        if (!link->Control() && link->Item()) link->SetControl(link->Item()->CreateItemControl(link, this, Vertical()));
    LayoutChanged();
}

std::vector<TdxBarItemControl*> TCustomdxBarControl::ItemControls() const {
    std::vector<TdxBarItemControl*> out;
    for (TdxBarItemLink* link : m_links.ShownLinks())
        if (link->Control() && link->Control()->Parent() == this) out.push_back(link->Control());
    return out;
}

TdxBarItemControl* TCustomdxBarControl::ItemAt(TPoint p) const {
    for (TdxBarItemControl* c : ItemControls())
        if (c->ItemRect().Contains(p)) return c;
    return nullptr;
}

void TCustomdxBarControl::InvalidateItem(TdxBarItemControl* control) {
    const TRect r = control->ItemRect();
    if (!r.IsEmpty()) InvalidateRect(r);
}

void TCustomdxBarControl::ControlDestroyed(TdxBarItemControl* control) {
    if (m_selected == control) m_selected = nullptr;
    if (m_hot == control) m_hot = nullptr;
    if (m_pressedControl == control) m_pressedControl = nullptr;
}

void TCustomdxBarControl::SetHotControl(TdxBarItemControl* control) {
    if (control == m_hot) return;
    if (m_hot) m_hot->SetHot(false);
    m_hot = control;
    if (m_hot) m_hot->SetHot(true);
    m_manager.SetHotItemControl(control);
}

void TCustomdxBarControl::EnterKeyboardMode(TdxBarItemControl* selected) {
    if (!m_keyboardMode) {
        m_focusBefore = ui::WindowSystem::exists() ? ws().get_focus() : ui::kNoWindow;
        m_keyboardMode = true;
    }
    SetSelectedControl(selected);
}

void TCustomdxBarControl::LeaveKeyboardMode(bool restoreFocus) {
    for (TdxBarItemControl* c : ItemControls())
        if (auto* e = dynamic_cast<TdxBarEditControl*>(c); e && e->Active()) e->Deactivate(false);
    if (!m_keyboardMode) return;
    m_keyboardMode = false;
    SetSelectedControl(nullptr);
    const ui::HWND back = m_focusBefore;
    m_focusBefore = ui::kNoWindow;
    if (restoreFocus && back != ui::kNoWindow && ws().is_window(back)) ws().set_focus(back);
}

void TCustomdxBarControl::SetSelectedControl(TdxBarItemControl* control) {
    if (control == m_selected) return;
    TdxBarItemControl* old = m_selected;
    m_selected = control;
    if (old) old->Repaint();
    if (m_selected) m_selected->Repaint();
}

void TCustomdxBarControl::SelectNext(TdxBarItemControl* from, bool forward) {
    std::vector<TdxBarItemControl*> list;
    for (TdxBarItemControl* c : ItemControls())
        if (c->CanSelect() && !c->ItemRect().IsEmpty()) list.push_back(c);
    if (list.empty()) return;
    auto it = std::find(list.begin(), list.end(), from);
    int index = it == list.end() ? (forward ? -1 : 0) : static_cast<int>(it - list.begin());
    const int n = static_cast<int>(list.size());
    index = ((forward ? index + 1 : index - 1) % n + n) % n;
    TdxBarItemControl* next = list[static_cast<std::size_t>(index)];
    if (auto* e = dynamic_cast<TdxBarEditControl*>(from); e && e->Active()) e->Deactivate(false);
    if (!m_keyboardMode) EnterKeyboardMode(next);
    SetSelectedControl(next);
    next->SelectedByTab();
}

bool TCustomdxBarControl::KeyboardModeKey(int key, TShiftState shift) {
    if (!m_keyboardMode) return false;
    switch (key) {
    case ui::VK_ESCAPE: LeaveKeyboardMode(true); return true;
    case ui::VK_RETURN:
        if (m_selected) m_selected->ActivateByKey();
        return true;
    case ui::VK_TAB: SelectNext(m_selected, !shift.Contains(ssShift)); return true;
    case ui::VK_RIGHT:
    case ui::VK_DOWN: SelectNext(m_selected, true); return true;
    case ui::VK_LEFT:
    case ui::VK_UP: SelectNext(m_selected, false); return true;
    default: return false;
    }
}

void TCustomdxBarControl::CreateWnd() {
    TCustomControl::CreateWnd();
    for (TdxBarItemControl* c : ItemControls()) c->HandleCreated();
}

void TCustomdxBarControl::PaintItems(TCanvas& canvas) {
    for (TdxBarItemControl* c : ItemControls()) {
        const TRect r = c->ItemRect();
        if (r.IsEmpty() || !canvas.RectVisible(r)) continue;
        c->Paint(canvas, r);
    }
}

void TCustomdxBarControl::MouseDown(TPoint p, TShiftState shift, bool) {
    TdxBarItemControl* c = ItemAt(p);
    if (!c || !c->Enabled()) return;
    m_pressedControl = c;
    if (HandleAllocated() && !dynamic_cast<TdxBarEditControl*>(c)) ws().set_capture(Handle());
    c->MouseDown(p, shift);
}

void TCustomdxBarControl::MouseMove(TPoint p, TShiftState shift) {
    TdxBarItemControl* c = ItemAt(p);
    if (!m_pressedControl) SetHotControl(c);
    if (m_pressedControl) m_pressedControl->MouseMove(p, shift);
}

void TCustomdxBarControl::MouseUp(TPoint p, TShiftState shift) {
    TdxBarItemControl* c = m_pressedControl;
    m_pressedControl = nullptr;
    if (HandleAllocated() && ws().get_capture() == Handle()) ws().release_capture();
    if (c) c->MouseUp(p, shift);
}

void TCustomdxBarControl::MouseLeave() {
    if (!m_pressedControl) SetHotControl(nullptr);
}

void TCustomdxBarControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case ui::WM_MOUSEMOVE: MouseMove(point_of(m.LParam), shift_of(m.WParam)); return;
    case ui::WM_LBUTTONDOWN: MouseDown(point_of(m.LParam), shift_of(m.WParam), false); return;
    case ui::WM_LBUTTONDBLCLK: MouseDown(point_of(m.LParam), shift_of(m.WParam) + ssDouble, true); return;
    case ui::WM_LBUTTONUP: MouseUp(point_of(m.LParam), shift_of(m.WParam)); return;
    case ui::CM_MOUSELEAVE: MouseLeave(); DefaultHandler(m); return;
    case ui::WM_CAPTURECHANGED:
        if (m_pressedControl) {
            TdxBarItemControl* c = m_pressedControl;
            m_pressedControl = nullptr;
            c->SetPressed(false);
        }
        DefaultHandler(m);
        return;
    case ui::WM_COMMAND:
        // Notifications of the item controls' edit windows go back to their controls.
        for (TdxBarItemControl* c : ItemControls())
            if (auto* w = dynamic_cast<TdxBarWinControl*>(c); w && w->WindowHandle() == static_cast<ui::HWND>(m.LParam)) {
                w->Command(ui::hiword(m.WParam));
                return;
            }
        TCustomControl::WndProc(m);
        return;
    case forms::WM_CTLCOLOREDIT: {
        auto* colors = reinterpret_cast<forms::EditColors*>(m.LParam);
        if (colors) {
            colors->text = clWindowText;
            colors->background = clWindow;
        }
        m.Result = 1;
        return;
    }
    case ui::WM_DESTROY:
        for (TdxBarItemControl* c : ItemControls()) c->HandleDestroyed();
        TCustomControl::WndProc(m);
        return;
    default: TCustomControl::WndProc(m);
    }
}

// ---- TdxBarControl ------------------------------------------------------------------------------------

TdxBarControl::TdxBarControl(TdxBar& bar) : TCustomdxBarControl(bar.BarManager(), bar.ItemLinks()), m_bar(bar) {}

TdxBarControl::~TdxBarControl() {
    if (m_dragging && HandleAllocated() && ws().get_capture() == Handle()) ws().release_capture();
    if (HandleAllocated()) ws().kill_timer(Handle(), kDockTimerId);
}

bool TdxBarControl::Vertical() const { return m_dock && !m_dock->Horizontal(); }

const TFont& TdxBarControl::ItemsFont() const { return m_bar.BarFont(); }

TColor TdxBarControl::BackgroundColor() const {
    if (m_bar.IsMainMenu()) return clBtnFace;
    if (m_bar.BorderStyle() == bbsNone && m_dock && m_dock->DockingStyle() == dsBottom) return clBtnFace;
    return bars::light_face();
}

int TdxBarControl::BorderAlong() const {
    return m_bar.BorderStyle() == bbsSingle ? BarManager().GripSize() + 4 : 4;
}

int TdxBarControl::BorderAcross() const { return 4; }

bool TdxBarControl::MarkAlwaysShown() const {
    return Docked() && !Vertical() && BarManager().Style() != bmsStandard && m_bar.ShowMark() &&
           m_bar.AllowQuickCustomizing();
}

std::vector<bars::LineItem> TdxBarControl::MeasureItems() const {
    std::vector<bars::LineItem> items;
    for (TdxBarItemLink* link : ItemLinks().ShownLinks()) {
        TdxBarItemControl* c = link->Control();
        if (!c || c->Parent() != this) continue;
        bars::LineItem it;
        it.length = Vertical() ? c->Height() : c->Width();
        it.thickness = Vertical() ? c->Width() : c->Height();
        it.begin_group = link->BeginGroup();
        items.push_back(it);
    }
    return items;
}

int TdxBarControl::NaturalLength() const {
    return BorderAlong() + bars::natural_line_length(MeasureItems()) + (MarkAlwaysShown() ? bars::kMarkButtonLength : 0);
}

int TdxBarControl::MinLength() const {
    return BorderAlong() + bars::widest_item(MeasureItems()) + (MarkAlwaysShown() ? bars::kMarkButtonLength : 0);
}

int TdxBarControl::ThicknessAt(int length) const {
    const std::vector<bars::LineItem> items = MeasureItems();
    const int avail = length - BorderAlong() - (MarkAlwaysShown() ? bars::kMarkButtonLength : 0);
    const bars::LineLayout l = bars::layout_lines(items, avail, m_bar.MultiLine());
    return BorderAcross() + std::max(l.thickness, TextItemHeight());
}

void TdxBarControl::SetDockedPlace(int position, int across, int length, int thickness, bool truncated) {
    m_truncated = truncated;
    m_length = length;
    if (Vertical()) SetBounds(across, position, thickness, length);
    else SetBounds(position, across, length, thickness);
    PlaceItems();
    Invalidate();
}

TRect TdxBarControl::GripRect() const {
    if (!Docked() || m_bar.BorderStyle() != bbsSingle) return TRect{};
    if (Vertical()) return TRect{3, 3, Width() - 3, 6};
    return TRect{3, 3, 6, Height() - 3};
}

TRect TdxBarControl::MarkRect() const {
    if (!Docked() || !(MarkAlwaysShown() || m_truncated)) return TRect{};
    if (Vertical()) return TRect{2, Height() - 2 - bars::kMarkButtonLength, Width() - 2, Height() - 2};
    return TRect{Width() - 2 - bars::kMarkButtonLength, 2, Width() - 2, Height() - 2};
}

TRect TdxBarControl::CaptionRect() const {
    if (Docked()) return TRect{};
    return TRect{kFloatFrame, kFloatFrame, Width() - kFloatFrame, kFloatFrame + kFloatCaption};
}

TRect TdxBarControl::ItemsArea() const {
    if (!Docked())
        return TRect{kFloatFrame + 1, kFloatFrame + kFloatCaption + 1, Width() - kFloatFrame - 1, Height() - kFloatFrame - 1};
    const int mark = MarkRect().IsEmpty() ? 0 : bars::kMarkButtonLength;
    const int lead = BorderAlong() - 2;
    if (Vertical()) return TRect{2, lead, Width() - 2, Height() - 2 - mark};
    return TRect{lead, 2, Width() - 2 - mark, Height() - 2};
}

void TdxBarControl::PlaceItems() {
    const std::vector<bars::LineItem> items = MeasureItems();
    const TRect area = ItemsArea();
    const bool wrap = m_bar.MultiLine() || !Docked();
    const int avail = Vertical() ? area.Height() : area.Width();
    const bars::LineLayout layout = bars::layout_lines(items, std::max(avail, 0), wrap);
    m_places = layout.items;
    std::size_t i = 0;
    for (TdxBarItemLink* link : ItemLinks().ShownLinks()) {
        TdxBarItemControl* c = link->Control();
        if (!c || c->Parent() != this) continue;
        const bars::LinePlace& p = m_places[i];
        const bars::LineItem& it = items[i];
        ++i;
        TRect r{};
        if (!p.hidden) {
            const int offset = (p.line_thickness - it.thickness) / 2;
            if (Vertical())
                r = Bounds(area.Left + p.line_top + offset, area.Top + p.position, it.thickness, it.length);
            else
                r = Bounds(area.Left + p.position, area.Top + p.line_top + offset, it.length, it.thickness);
        }
        if (!(r == link->ItemRect())) {
            link->SetItemRect(r);
            c->BoundsChanged();
        }
    }
}

void TdxBarControl::RebuildControls() {
    if (m_controlsVertical != Vertical()) {
        for (int i = 0; i < ItemLinks().Count(); ++i)
            if (ItemLinks()[i]->Control() && ItemLinks()[i]->Control()->Parent() == this) ItemLinks()[i]->DestroyControl();
        m_controlsVertical = Vertical();
    }
    TCustomdxBarControl::RebuildControls();
}

void TdxBarControl::UpdateFloatingSize() {
    if (Docked()) return;
    const std::vector<bars::LineItem> items = MeasureItems();
    const int widest = bars::widest_item(items);
    int width = m_bar.FloatClientWidth() > 0 ? std::max(m_bar.FloatClientWidth(), widest) : bars::natural_line_length(items);
    width = std::max(width, widest);
    const bars::LineLayout l = bars::layout_lines(items, width, true);
    const int height = std::max(l.thickness, TextItemHeight());
    m_bar.SetFloatClientWidth(width);
    m_bar.SetFloatClientHeight(height);
    SetBounds(Left(), Top(), width + 2 * (kFloatFrame + 1), height + 2 * (kFloatFrame + 1) + kFloatCaption);
    PlaceItems();
    Invalidate();
}

void TdxBarControl::LayoutChanged() {
    if (BarManager().IsLoading()) return;
    if (m_dock) m_dock->UpdateDock();
    else if (!BarManager().LockUpdate()) UpdateFloatingSize();
    Invalidate();
}

void TdxBarControl::CreateParams(ui::CreateParams& params) {
    TCustomdxBarControl::CreateParams(params);
    if (!Parent()) {
        // A floating bar: a borderless tool window of its own, owned by the form.
        params.style |= ui::WS_POPUP;
        params.ex_style |= ui::WS_EX_TOOLWINDOW;
        TCustomForm* form = BarManager().ParentForm();
        if (form && form->HandleAllocated()) params.owner = form->Handle();
    }
}

void TdxBarControl::Reparent(TWinControl* parent) {
    if (Parent()) SetParent(nullptr);
    else DestroyHandle();
    if (parent) {
        SetParent(parent);
        if (parent->HandleAllocated()) HandleNeeded();
    } else {
        TCustomForm* form = BarManager().ParentForm();
        if (form && form->HandleAllocated()) {
            HandleNeeded();
            ws().show_window(Handle(), ui::SW_SHOWNA);
        }
    }
    RebuildControls();
    if (m_dragging && HandleAllocated()) ws().set_capture(Handle());
}

// ---- dragging -------------------------------------------------------------------------------------------

TdxBarControl::DockHit TdxBarControl::FindDockZone(TPoint corner) const {
    DockHit hit;
    TdxBarManager& m = BarManager();
    const TdxBarDockingStyle order[4] = {dsLeft, dsRight, dsTop, dsBottom};
    for (TdxBarDockingStyle edge : order) {
        for (TdxDockControl* dock : m.DockControls()) {
            if (dock->DockingStyle() != edge || !dock->AllowDocking() || !dock->HandleAllocated() || !dock->Showing()) continue;
            if (m.NotDocking().Contains(edge) || m_bar.NotDocking().Contains(edge)) continue;
            TRect zone = ws().get_window_rect(dock->Handle());
            zone.Left -= bars::kDockZoneMargin;
            zone.Right += bars::kDockZoneMargin;
            if (dock->Horizontal()) {
                zone.Top -= bars::kDockZoneMargin;
                zone.Bottom += bars::kDockZoneMargin;
            }
            if (!zone.Contains(corner)) continue;
            bool canDock = true;
            if (m.OnDocking) m.OnDocking(&m_bar, dock, canDock);
            if (!canDock) continue;
            const TPoint local = ws().screen_to_client(dock->Handle(), corner);
            const int across = dock->Horizontal() ? local.Y : local.X;
            const bool trailing = edge == dsRight || edge == dsBottom;
            const bars::DragRow row = bars::drag_row(dock->RowThicknesses(), across, trailing);
            hit.dock = dock;
            hit.row = row.row;
            hit.new_row = row.new_row;
            hit.position = std::max(0, dock->Horizontal() ? local.X : local.Y);
            return hit;
        }
    }
    return hit;
}

void TdxBarControl::DragTo(TPoint screen) {
    const TPoint corner{screen.X - m_dragOffset.X, screen.Y - m_dragOffset.Y};
    m_lastCursor = screen;
    DockHit hit = FindDockZone(corner);
    if (!Docked() && ws().get_key_state(ui::VK_CONTROL) < 0) hit.dock = nullptr;
    if (hit.dock) {
        if (!Docked()) {
            // A floating bar docks only after a moment in the zone.
            if (!m_dockTimerRunning) {
                m_dockTimerRunning = true;
                ws().set_timer(Handle(), kDockTimerId, std::max(1, BarManager().WaitForDockingTime()),
                               [this](ui::HWND, ui::UINT) { DockingTimer(); }, true);
            }
            m_bar.FloatAt(corner.X, corner.Y);
            return;
        }
        const int currentRow = hit.dock->RowOf(this);
        const bool same = hit.dock == m_dock && !hit.new_row && currentRow == hit.row &&
                          (hit.dock->Horizontal() ? Left() : Top()) == hit.position;
        if (!same) m_bar.DockInto(hit.dock, hit.row, hit.new_row, hit.position);
        return;
    }
    if (m_dockTimerRunning && HandleAllocated()) {
        ws().kill_timer(Handle(), kDockTimerId);
        m_dockTimerRunning = false;
    }
    m_bar.FloatAt(corner.X, corner.Y);
}

void TdxBarControl::DockingTimer() {
    m_dockTimerRunning = false;
    if (!m_dragging || Docked()) return;
    const TPoint screen = ws().get_cursor_pos();
    const TPoint corner{screen.X - m_dragOffset.X, screen.Y - m_dragOffset.Y};
    const DockHit hit = FindDockZone(corner);
    if (hit.dock) m_bar.DockInto(hit.dock, hit.row, hit.new_row, hit.position);
}

void TdxBarControl::EndDrag() {
    m_dragging = false;
    if (m_dockTimerRunning && HandleAllocated()) ws().kill_timer(Handle(), kDockTimerId);
    m_dockTimerRunning = false;
    if (HandleAllocated() && ws().get_capture() == Handle()) ws().release_capture();
    if (!Docked()) {
        m_bar.SetFloatLeft(Left());
        m_bar.SetFloatTop(Top());
    }
}

void TdxBarControl::MouseDown(TPoint p, TShiftState shift, bool dbl) {
    const bool onHandle = GripRect().Contains(p) || CaptionRect().Contains(p);
    if (onHandle) {
        if (dbl) {
            m_bar.ToggleDocking();
            return;
        }
        m_dragging = true;
        m_dragOffset = p;
        ws().set_capture(Handle());
        return;
    }
    TCustomdxBarControl::MouseDown(p, shift, dbl);
}

void TdxBarControl::MouseMove(TPoint p, TShiftState shift) {
    if (m_dragging) {
        DragTo(ws().client_to_screen(Handle(), p));
        return;
    }
    TCustomdxBarControl::MouseMove(p, shift);
}

void TdxBarControl::MouseUp(TPoint p, TShiftState shift) {
    if (m_dragging) {
        EndDrag();
        return;
    }
    TCustomdxBarControl::MouseUp(p, shift);
}

void TdxBarControl::WndProc(TMessage& m) {
    if (m.Msg == ui::WM_CAPTURECHANGED && m_dragging && static_cast<ui::HWND>(m.LParam) != Handle()) {
        // The drag ends when another window takes the mouse; a new window of our own keeps it.
        if (!(HandleAllocated() && ws().get_capture() == Handle())) m_dragging = false;
    }
    TCustomdxBarControl::WndProc(m);
}

// ---- painting ----------------------------------------------------------------------------------------------

void TdxBarControl::Paint() {
    TCanvas& c = *Canvas();
    const TColor back = BackgroundColor();
    const TRect all{0, 0, Width(), Height()};
    bars::fill(c, all, back);
    if (Docked()) PaintBorders(c);
    else PaintFloatingFrame(c);
    PaintGrip(c);
    // Group separators between items.
    std::size_t i = 0;
    for (TdxBarItemLink* link : ItemLinks().ShownLinks()) {
        TdxBarItemControl* ic = link->Control();
        if (!ic || ic->Parent() != this) continue;
        if (i < m_places.size() && m_places[i].separator_before && !m_places[i].hidden) {
            const TRect r = link->ItemRect();
            const TRect area = ItemsArea();
            const TRect gap = Vertical() ? TRect{area.Left, r.Top - bars::kSeparatorLength, area.Right, r.Top}
                                         : TRect{r.Left - bars::kSeparatorLength, r.Top, r.Left, r.Bottom};
            bars::paint_separator(c, gap, !Vertical(), back);
        }
        ++i;
    }
    PaintItems(c);
    PaintMark(c);
}

void TdxBarControl::PaintBorders(TCanvas& c) {
    // A frame of button face with its inner corners set too: the bar looks slightly rounded.
    bars::frame(c, TRect{0, 0, Width(), Height()}, clBtnFace);
    const TColor face = ColorToRGB(clBtnFace);
    c.SetPixel(1, 1, face);
    c.SetPixel(Width() - 2, 1, face);
    c.SetPixel(1, Height() - 2, face);
    c.SetPixel(Width() - 2, Height() - 2, face);
}

void TdxBarControl::PaintGrip(TCanvas& c) {
    const TRect g = GripRect();
    if (g.IsEmpty()) return;
    bars::paint_grip(c, g, !Vertical(), BackgroundColor());
}

void TdxBarControl::PaintMark(TCanvas& c) {
    const TRect r = MarkRect();
    if (r.IsEmpty()) return;
    const TColor color = clBtnText;
    if (Vertical()) {
        bars::paint_down_arrow(c, r.Left + r.Width() / 2, r.Bottom - 6, color);
        return;
    }
    const int cx = r.Left + r.Width() / 2;
    if (m_truncated) {
        // Two small chevrons tell that items are hidden.
        for (int k = 0; k < 2; ++k) {
            const int x = cx - 3 + 3 * k;
            bars::fill(c, TRect{x, r.Top + 3, x + 1, r.Top + 4}, color);
            bars::fill(c, TRect{x + 1, r.Top + 4, x + 2, r.Top + 5}, color);
            bars::fill(c, TRect{x, r.Top + 5, x + 1, r.Top + 6}, color);
        }
    }
    bars::paint_down_arrow(c, cx, r.Bottom - 7, color);
}

void TdxBarControl::PaintFloatingFrame(TCanvas& c) {
    const TRect all{0, 0, Width(), Height()};
    for (int k = 0; k < kFloatFrame; ++k) bars::frame(c, TRect{k, k, all.Right - k, all.Bottom - k}, clBtnShadow);
    const TRect cap = CaptionRect();
    bars::fill(c, cap, clBtnShadow);
    c.Font().Assign(ItemsFont());
    c.Font().SetColor(clWindow);
    c.Brush().SetStyle(bsClear);
    c.TextRect(cap, cap.Left + 2, cap.Top + (cap.Height() - c.TextHeight("0")) / 2, m_bar.Caption());
    c.Brush().SetStyle(bsSolid);
}

void TdxBarControl::check_invariants() const {
#ifndef NDEBUG
    const std::vector<TdxBarItemLink*>& shown = ItemLinks().ShownLinks();
    for (int i = 0; i < ItemLinks().Count(); ++i) {
        TdxBarItemLink* link = ItemLinks()[i];
        const bool isShown = std::find(shown.begin(), shown.end(), link) != shown.end();
        const bool hasOurs = link->Control() && link->Control()->Parent() == this;
        INVARIANT(!(isShown && link->Item() && !hasOurs), "bar window: a shown link without a control");
        INVARIANT(!(!isShown && hasOurs), "bar window: a control for a link not shown");
    }
    for (TdxBarItemControl* c : ItemControls()) {
        c->check_invariants();
        if (auto* e = dynamic_cast<TdxBarEditControl*>(c)) e->check_invariants();
    }
#endif
}
