#include "platform/forms/TWinControl.h"

#include "platform/classes/ScopeExit.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"
#include "platform/forms/TGraphicControl.h"
#include "platform/forms/TScreen.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <array>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

constexpr ui::UINT kScrollTimerBase = 0xFF10;  // + bar kind

}  // namespace

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    for (int kind : {sbHorizontal, sbVertical}) {
        forms::WindowScrollBar& bar = m_scroll[kind];
        bar.on_command = [this, kind](int code, int pos) {
            if (HandleAllocated())
                ws().send_message(m_handle, kind == sbVertical ? forms::WM_VSCROLL : forms::WM_HSCROLL,
                                  ui::make_wparam(code, pos), 0);
        };
        bar.on_timer = [this, kind](int ms) {
            if (!HandleAllocated()) return;
            if (ms > 0)
                ws().set_timer(m_handle, kScrollTimerBase + static_cast<ui::UINT>(kind), ms);
            else
                ws().kill_timer(m_handle, kScrollTimerBase + static_cast<ui::UINT>(kind));
        };
        bar.on_invalidate = [this, kind] {
            if (HandleAllocated()) InvalidateRect(m_scroll[kind].rect());
        };
    }
}

TWinControl::~TWinControl() {
    for (TControl* c : m_controls) c->m_parent = nullptr;
    m_controls.clear();
    m_tabList.clear();
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(ui::HWND h) {
    if (h == ui::kNoWindow || !ui::WindowSystem::exists()) return nullptr;
    return static_cast<TWinControl*>(ws().get_user_data(h));
}

// ---- the window ------------------------------------------------------------------

ui::HWND TWinControl::Handle() {
    if (!m_handle) CreateWnd();
    return m_handle;
}

void TWinControl::CreateParams(ui::CreateParams& params) {
    if (Parent()) {
        params.parent = Parent()->Handle();
        params.style |= ui::WS_CHILD;
        if (Visible()) params.style |= ui::WS_VISIBLE;
    }
    if (!Enabled()) params.style |= ui::WS_DISABLED;
    params.bounds = BoundsRect();
    params.text = Caption();
    params.proc = [this](ui::HWND, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) { return MainWndProc(msg, w, l); };
}

void TWinControl::CreateWnd() {
    ui::CreateParams params;
    CreateParams(params);
    if (m_handle) return;  // the parent's creation made ours
    m_handle = CreateWindowHandle(params);
    if (!m_handle) throw EComponentError("Cannot create a window for " + Name());
    ws().set_user_data(m_handle, this);
    // A window made at another size than asked (a maximised form) sets the bounds.
    if (ws().get_bounds(m_handle) != BoundsRect()) WindowResized();
    LayoutScrollBars();
    for (TWinControl* child : m_tabList) child->HandleNeeded();
}

ui::HWND TWinControl::CreateWindowHandle(const ui::CreateParams& params) { return ws().create_window(params); }

void TWinControl::DestroyHandle() {
    if (!m_handle) return;
    const ui::HWND h = m_handle;
    if (ui::WindowSystem::exists()) {
        ws().set_user_data(h, nullptr);
        ws().destroy_window(h);
    }
    m_handle = ui::kNoWindow;
}

ui::LRESULT TWinControl::Perform(ui::UINT msg, ui::WPARAM w, ui::LPARAM l) {
    TMessage m{msg, w, l, 0};
    WndProc(m);
    return m.Result;
}

ui::LRESULT TWinControl::MainWndProc(ui::UINT msg, ui::WPARAM w, ui::LPARAM l) {
    if (msg == ui::WM_NCDESTROY) {
        TMessage m{msg, w, l, 0};
        DefaultHandler(m);
        m_handle = ui::kNoWindow;
        m_scrollPressed = -1;
        return m.Result;
    }
    if (ScrollBarMessage(msg, w, l)) return 0;
    TMessage m{msg, w, l, 0};
    // A handler may free this control: it is destroyed when the message is done.
    ComponentGuard guard(this);
    forms::run_handler(this, [this, &m] { WndProc(m); });
    return m.Result;
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (!m_handle) return;
    if (m_defaultProc)
        message.Result = ws().call_window_proc(m_defaultProc, m_handle, message.Msg, message.WParam, message.LParam);
    else
        message.Result = ws().def_window_proc(m_handle, message.Msg, message.WParam, message.LParam);
}

TShiftState TWinControl::KeyboardShiftState() {
    return ui::WindowSystem::exists() ? KeyboardShiftState(ws()) : TShiftState{};
}

TShiftState TWinControl::KeyboardShiftState(const ui::WindowSystem& ws) {
    TShiftState s;
    if (ws.get_key_state(ui::VK_SHIFT) < 0) s += ssShift;
    if (ws.get_key_state(ui::VK_CONTROL) < 0) s += ssCtrl;
    if (ws.get_key_state(ui::VK_MENU) < 0) s += ssAlt;
    return s;
}

TShiftState TWinControl::MouseShiftState(ui::WPARAM keys) {
    TShiftState s;
    if (keys & ui::MK_SHIFT) s += ssShift;
    if (keys & ui::MK_CONTROL) s += ssCtrl;
    if (keys & ui::MK_LBUTTON) s += ssLeft;
    if (keys & ui::MK_RBUTTON) s += ssRight;
    if (keys & ui::MK_MBUTTON) s += ssMiddle;
    if (ui::WindowSystem::exists() && ws().get_key_state(ui::VK_MENU) < 0) s += ssAlt;
    return s;
}

TControl* TWinControl::ControlAtPos(TPoint p) const {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        TControl* c = *it;
        if (!c->IsWindowed() && c->Visible() && c->Enabled() && c->BoundsRect().Contains(p)) return c;
    }
    return nullptr;
}

bool TWinControl::MouseMessage(TMessage& m) {
    const TPoint p{ui::get_x_lparam(m.LParam), ui::get_y_lparam(m.LParam)};
    TShiftState shift = MouseShiftState(m.WParam);
    TMouseButton button = mbLeft;
    enum { none, down, dbl, move, up } kind = none;
    switch (m.Msg) {
    case ui::WM_MOUSEMOVE: kind = move; break;
    case ui::WM_LBUTTONDOWN: kind = down; break;
    case ui::WM_RBUTTONDOWN: kind = down, button = mbRight; break;
    case ui::WM_MBUTTONDOWN: kind = down, button = mbMiddle; break;
    case ui::WM_LBUTTONDBLCLK: kind = dbl; break;
    case ui::WM_RBUTTONDBLCLK: kind = dbl, button = mbRight; break;
    case ui::WM_MBUTTONDBLCLK: kind = dbl, button = mbMiddle; break;
    case ui::WM_LBUTTONUP: kind = up; break;
    case ui::WM_RBUTTONUP: kind = up, button = mbRight; break;
    case ui::WM_MBUTTONUP: kind = up, button = mbMiddle; break;
    default: return false;
    }
    // A control without a window under the pointer gets the mouse of its
    // parent, and keeps it from the press until the last button is up.
    TControl* target = this;
    if (m_mouseControl)
        target = m_mouseControl;
    else if (TControl* c = ControlAtPos(p))
        target = c;
    if (target != this && (kind == down || kind == dbl)) m_mouseControl = target;
    const TPoint local = target == this ? p : TPoint{p.X - target->Left(), p.Y - target->Top()};
    // The target may free itself (or this control) in its handler.
    ComponentGuard self(this), held(target);
    switch (kind) {
    case down: target->MouseDown(button, shift, local.X, local.Y); break;
    case dbl: {
        target->DblClick();
        if (self.Gone() || held.Gone() || (target != this && target != m_mouseControl)) return true;
        shift += ssDouble;
        target->MouseDown(button, shift, local.X, local.Y);
        break;
    }
    case move: target->MouseMove(shift, local.X, local.Y); break;
    case up: {
        const bool last = (m.WParam & (ui::MK_LBUTTON | ui::MK_RBUTTON | ui::MK_MBUTTON)) == 0;
        if (last) m_mouseControl = nullptr;
        target->MouseUp(button, shift, local.X, local.Y);
        break;
    }
    case none: break;
    }
    return true;
}

void TWinControl::CursorChanged() {
    // Shown at once when the pointer is over the window and nothing holds it.
    if (!m_handle || !ui::WindowSystem::exists()) return;
    if (ws().get_capture() == ui::kNoWindow && ws().window_from_point(ws().get_cursor_pos()) == m_handle)
        ws().send_message(m_handle, ui::WM_SETCURSOR, m_handle, ui::make_lparam(ui::HTCLIENT, ui::WM_MOUSEMOVE));
}

bool TWinControl::SetCursorMessage(const TMessage& m) {
    if (static_cast<ui::HWND>(m.WParam) != m_handle || ui::loword(static_cast<ui::WPARAM>(m.LParam)) != ui::HTCLIENT)
        return false;
    TCursor cursor = Screen().Cursor();
    if (cursor == crDefault) {
        if (TControl* c = ControlAtPos(ScreenToClient(ws().get_cursor_pos()))) cursor = c->Cursor();
    }
    if (cursor == crDefault) cursor = Cursor();
    if (cursor == crDefault) return false;
    ws().set_cursor(Screen().Cursors(cursor));
    return true;
}

void TWinControl::WndProc(TMessage& m) {
    if (ui::is_mouse_message(m.Msg) && m.Msg != ui::WM_MOUSEWHEEL) {
        const ui::HWND h = m_handle;
        if (MouseMessage(m) && !ws().is_window(h)) return;  // freed by its handler
        DefaultHandler(m);
        return;
    }
    switch (m.Msg) {
    case ui::WM_MOUSEWHEEL: {
        const TPoint pos{ui::get_x_lparam(m.LParam), ui::get_y_lparam(m.LParam)};
        const ui::HWND h = m_handle;
        if (DoMouseWheel(MouseShiftState(static_cast<ui::WPARAM>(ui::loword(m.WParam))),
                         ui::get_wheel_delta_wparam(m.WParam), pos)) {
            m.Result = 1;
            return;
        }
        if (ws().is_window(h)) DefaultHandler(m);
        return;
    }
    case ui::WM_SETCURSOR:
        if (SetCursorMessage(m)) {
            m.Result = 1;
            return;
        }
        DefaultHandler(m);
        return;
    case ui::WM_PAINT:
        PaintHandler();
        return;
    case ui::WM_SIZE:
    case ui::WM_MOVE:
        WindowResized();
        DefaultHandler(m);
        return;
    case ui::WM_SETFOCUS:
        DefaultHandler(m);
        DoEnter();
        return;
    case ui::WM_KILLFOCUS:
        DefaultHandler(m);
        DoExit();
        return;
    case ui::WM_KEYDOWN:
    case ui::WM_SYSKEYDOWN: {
        int key = static_cast<int>(m.WParam);
        const TShiftState shift = KeyboardShiftState();
        KeyDown(key, shift);
        if (key == 0) return;
        if ((key == ui::VK_TAB || key == ui::VK_RETURN || key == ui::VK_ESCAPE) && !WantsKey(key)) {
            if (TCustomForm* form = GetParentForm(); form && form->DialogKey(key, shift)) return;
        }
        m.WParam = static_cast<ui::WPARAM>(key);
        DefaultHandler(m);
        return;
    }
    case ui::WM_KEYUP:
    case ui::WM_SYSKEYUP: {
        int key = static_cast<int>(m.WParam);
        KeyUp(key, KeyboardShiftState());
        if (key == 0) return;
        m.WParam = static_cast<ui::WPARAM>(key);
        DefaultHandler(m);
        return;
    }
    case ui::WM_CHAR: {
        char c = static_cast<char>(m.WParam);
        // The characters of dialog keys the form took are not typed.
        if ((c == '\t' || c == '\r' || c == 27) && !WantsKey(c == '\t' ? ui::VK_TAB : c == '\r' ? ui::VK_RETURN : ui::VK_ESCAPE))
            return;
        KeyPress(c);
        if (c == 0) return;
        m.WParam = static_cast<unsigned char>(c);
        DefaultHandler(m);
        return;
    }
    case ui::WM_COMMAND:
        // Notifications of child windows go back to the child's control.
        if (TWinControl* child = FindControl(static_cast<ui::HWND>(m.LParam)); child && child != this) {
            m.Result = child->Perform(forms::CN_COMMAND, m.WParam, m.LParam);
            return;
        }
        DefaultHandler(m);
        return;
    default:
        DefaultHandler(m);
    }
}

bool TWinControl::WantsKey(int) const { return false; }

void TWinControl::KeyDown(int& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(int& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}
void TWinControl::Resize() {
    if (OnResize) OnResize(this);
}

void TWinControl::SetParent(TWinControl* value) {
    // From one parent to another the window moves along instead of being made anew.
    ScopedValue keep(m_keepHandle, m_handle && value && Parent());
    TControl::SetParent(value);
}

void TWinControl::WindowResized() {
    if (!m_handle) return;
    // The window system moved or sized the window (a maximised form): take its bounds.
    const TRect b = ws().get_bounds(m_handle);
    if (b == BoundsRect()) return;
    ScopedValue taking(m_takingWindowBounds, true);
    TControl::SetBounds(b.Left, b.Top, b.Width(), b.Height());
}

// ---- children and alignment --------------------------------------------------------

void TWinControl::InsertControl(TControl* control) {
    control->m_parent = this;
    m_controls.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        m_tabList.push_back(w);
        if (w->m_storedTabOrder >= 0) {
            w->SetTabOrder(w->m_storedTabOrder);
            w->m_storedTabOrder = -1;
        }
        if (m_handle && !Loading()) {
            if (w->m_handle) {
                // Moved here from another parent: the same window, with its
                // children, focus and capture, in its new place.
                ws().set_parent(w->m_handle, m_handle);
                ws().move_window(w->m_handle, w->BoundsRect());
                if (w->Visible() && !ws().is_visible(w->m_handle)) ws().show_window(w->m_handle, ui::SW_SHOWNA);
            } else {
                w->HandleNeeded();
            }
        } else if (w->m_handle) {
            w->DestroyHandle();
        }
    }
    if (!control->Loading()) {
        control->FollowParent();
        control->RequestParentRealign();
        control->Invalidate();
    }
}

void TWinControl::RemoveControl(TControl* control) {
    if (m_mouseControl == control) m_mouseControl = nullptr;
    if (control->m_visible && !control->IsWindowed()) InvalidateRect(control->BoundsRect());
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        m_tabList.erase(std::remove(m_tabList.begin(), m_tabList.end(), w), m_tabList.end());
        if (!w->m_keepHandle) w->DestroyHandle();
    }
    control->m_parent = nullptr;
    if (!Loading() && !Destroying() && control->Align() != alNone) Realign();
}

TRect TWinControl::ClientRect() const {
    // The window's frame (non-client area) is not part of the client area.
    const TRect frame = m_handle && ui::WindowSystem::exists() ? ws().get_frame(m_handle) : TRect{};
    TRect r{0, 0, std::max(0, Width() - frame.Left - frame.Right), std::max(0, Height() - frame.Top - frame.Bottom)};
    const int bar = gfx::scaled(kScrollBarSize);
    if (m_scrollShown[sbVertical]) r.Right = std::max(r.Left, r.Right - bar);
    if (m_scrollShown[sbHorizontal]) r.Bottom = std::max(r.Top, r.Bottom - bar);
    return r;
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::Realign() {
    if (Loading() || Destroying()) return;
    TRect r = ClientRect();
    AdjustClientRect(r);
    AlignControls(r);
}

void TWinControl::AlignControls(TRect rect) {
    const ScopedValue aligning(m_aligning, m_aligning + 1);
    auto take = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : m_controls)
            if (c->Align() == align && c->Visible()) list.push_back(c);
        // Aligned controls keep the order of their stored positions (ties: creation order).
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->Top() < b->Top();
            case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
            case alLeft: return a->Left() < b->Left();
            case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
            default: return false;
            }
        });
        return list;
    };
    for (TControl* c : take(alTop)) {
        c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
        rect.Top += c->Height();
    }
    for (TControl* c : take(alBottom)) {
        c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
        rect.Bottom -= c->Height();
    }
    for (TControl* c : take(alLeft)) {
        c->SetBounds(rect.Left, rect.Top, c->Width(), std::max(rect.Height(), 0));
        rect.Left += c->Width();
    }
    for (TControl* c : take(alRight)) {
        c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), std::max(rect.Height(), 0));
        rect.Right -= c->Width();
    }
    for (TControl* c : take(alClient))
        c->SetBounds(rect.Left, rect.Top, std::max(rect.Width(), 0), std::max(rect.Height(), 0));
}

// ---- state changes --------------------------------------------------------------------

void TWinControl::Loaded() {
    TControl::Loaded();
    LayoutScrollBars();
    Realign();
}

void TWinControl::BoundsChanged() {
    LayoutScrollBars();
    if (m_handle && !m_takingWindowBounds) ws().move_window(m_handle, BoundsRect());
    Realign();
    Resize();
}

void TWinControl::VisibleChanged() {
    if (m_handle && Parent()) ws().show_window(m_handle, Visible() ? ui::SW_SHOW : ui::SW_HIDE);
    if (Visible() && Parent() && Parent()->HandleAllocated()) HandleNeeded();
}

void TWinControl::EnabledChanged() {
    if (m_handle) ws().enable_window(m_handle, Enabled());
    Invalidate();
}

void TWinControl::CaptionChanged() {
    if (m_handle) ws().set_window_text(m_handle, Caption());
    Invalidate();
}

void TWinControl::FontChanged() {
    Invalidate();
    for (TControl* c : m_controls) c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    Invalidate();
    for (TControl* c : m_controls) c->ParentColorChanged();
}

void TWinControl::ParentFontChanged() { FollowParent(); }
void TWinControl::ParentColorChanged() { FollowParent(); }

// ---- focus -------------------------------------------------------------------------------

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->m_tabList;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value) {
    if (!Parent()) {
        m_storedTabOrder = value;
        return;
    }
    auto& list = Parent()->m_tabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> out;
    for (TWinControl* c : m_tabList) {
        out.push_back(c);
        const auto inner = c->TabList();
        out.insert(out.end(), inner.begin(), inner.end());
    }
    return out;
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const { return m_handle && ui::WindowSystem::exists() && ws().get_focus() == m_handle; }

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EComponentError("Cannot focus a disabled or invisible window");
    ws().set_focus(Handle());
}

TWinControl* TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    const std::vector<TWinControl*> list = TabList();
    if (list.empty()) return nullptr;
    const int n = static_cast<int>(list.size());
    int start = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
    if (start == n) start = forward ? n - 1 : 0;
    for (int step = 1; step <= n; ++step) {
        const int i = ((start + (forward ? step : -step)) % n + n) % n;
        TWinControl* c = list[static_cast<std::size_t>(i)];
        // Containers pass the focus on to their children instead of taking it.
        if (!c->CanFocus() || (checkTabStop && !c->TabStop())) continue;
        c->SetFocus();
        return c;
    }
    return nullptr;
}

// ---- painting ------------------------------------------------------------------------------

TPoint TWinControl::ClientToScreen(TPoint p) const {
    if (m_handle && ui::WindowSystem::exists()) return ws().client_to_screen(m_handle, p);
    return TControl::ClientToScreen(p);
}

void TWinControl::FrameChanged() {
    if (!m_handle) return;
    ws().frame_changed(m_handle);
    LayoutScrollBars();
    Realign();
}

void TWinControl::InvalidateFrame() {
    if (m_handle) ws().redraw_frame(m_handle);
}

void TWinControl::Invalidate() {
    if (m_handle) ws().invalidate_rect(m_handle, nullptr, false);
}

void TWinControl::InvalidateRect(const TRect& r) {
    if (m_handle) ws().invalidate_rect(m_handle, &r, false);
}

void TWinControl::Update() {
    if (m_handle) ws().update_window(m_handle);
}

void TWinControl::PaintWindow(TCanvas& canvas) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
}

void TWinControl::PaintHandler() {
    ui::PaintStruct ps;
    const ui::HWND h = m_handle;
    TCanvas& canvas = ws().begin_paint(h, ps);
    // What was painted reaches the screen even when a Paint fails half-way.
    ScopeExit end_paint([&] { ws().end_paint(h, ps); });
    PaintWindow(canvas);
    for (TControl* c : m_controls) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible() || g->Width() == 0 || g->Height() == 0) continue;
        const TRect bounds = g->BoundsRect();
        if (!canvas.RectVisible(bounds)) continue;
        // Each graphic control draws in its own coordinates, clipped to its bounds.
        TCanvas child(canvas.surface());
        child.set_origin(TPoint{canvas.origin().X + bounds.Left, canvas.origin().Y + bounds.Top});
        gfx::Region clip = canvas.visible_region();
        clip.intersect(bounds);
        clip.offset(-bounds.Left, -bounds.Top);
        child.set_clip_region(clip);
        ScopedValue<TCanvas*> painting(g->m_canvas, &child);
        g->Paint();
    }
    PaintScrollBars(canvas);
}

// ---- scroll bars --------------------------------------------------------------------------

void TWinControl::LayoutScrollBars() {
    const TRect client = ClientRect();
    m_scroll[sbVertical].set_rect(m_scrollShown[sbVertical] ? TRect{client.Right, 0, Width(), client.Bottom} : TRect{});
    m_scroll[sbHorizontal].set_rect(m_scrollShown[sbHorizontal] ? TRect{0, client.Bottom, client.Right, Height()} : TRect{});
}

void TWinControl::PaintScrollBars(TCanvas& canvas) {
    for (int kind : {sbHorizontal, sbVertical})
        if (m_scrollShown[kind]) m_scroll[kind].paint(canvas);
    if (m_scrollShown[sbHorizontal] && m_scrollShown[sbVertical]) {
        const TRect client = ClientRect();
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(TRect{client.Right, client.Bottom, Width(), Height()});
    }
}

void TWinControl::SetScrollInfo(TScrollBarKind kind, const forms::ScrollValues& values, bool redraw) {
    // The bar looks the same while its thumb keeps its pixels: over a long
    // table that is most moves of one record.
    const forms::ScrollBarModel& model = m_scroll[kind].model();
    const auto look = [&model] { return std::array{int{model.scrollable()}, model.thumb_start(), model.thumb_end()}; };
    const auto before = look();
    if (m_scroll[kind].model().set_values(values) && redraw && m_scrollShown[kind] && look() != before)
        InvalidateRect(m_scroll[kind].rect());
}

forms::ScrollValues TWinControl::GetScrollInfo(TScrollBarKind kind) const { return m_scroll[kind].model().values(); }

int TWinControl::GetScrollTrackPos(TScrollBarKind kind) const { return m_scroll[kind].model().track_pos(); }

void TWinControl::ShowScrollBar(TScrollBarKind kind, bool show) {
    if (m_scrollShown[kind] == show) return;
    if (!show && m_scrollPressed == kind) {
        m_scrollPressed = -1;
        m_scroll[kind].cancel();
        if (m_handle && ws().get_capture() == m_handle) ws().release_capture();
    }
    m_scrollShown[kind] = show;
    LayoutScrollBars();
    Invalidate();
    Realign();
    Resize();
}

void TWinControl::SetFlatScrollBars(bool flat) {
    if (m_scroll[0].flat() == flat) return;
    for (auto& bar : m_scroll) bar.set_flat(flat);
    for (int kind : {sbHorizontal, sbVertical})
        if (m_scrollShown[kind]) InvalidateRect(m_scroll[kind].rect());
}

bool TWinControl::ScrollBarMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l) {
    if (!m_scrollShown[0] && !m_scrollShown[1] && m_scrollPressed < 0) return false;
    const TPoint p{ui::get_x_lparam(l), ui::get_y_lparam(l)};
    switch (msg) {
    case ui::WM_LBUTTONDOWN:
    case ui::WM_LBUTTONDBLCLK:
        for (int kind : {sbHorizontal, sbVertical}) {
            if (!m_scrollShown[kind] || !m_scroll[kind].rect().Contains(p)) continue;
            if (m_scroll[kind].mouse_down(p, (w & ui::MK_CONTROL) != 0)) {
                m_scrollPressed = kind;
                ws().set_capture(m_handle);
            }
            return true;  // the strip is not the control's
        }
        return false;
    case ui::WM_MOUSEMOVE:
        if (m_scrollPressed >= 0) {
            m_scroll[m_scrollPressed].mouse_move(p);
            return true;
        }
        for (int kind : {sbHorizontal, sbVertical})
            if (m_scrollShown[kind]) m_scroll[kind].set_hot(p);
        for (int kind : {sbHorizontal, sbVertical})
            if (m_scrollShown[kind] && m_scroll[kind].rect().Contains(p)) return true;
        return false;
    case ui::WM_LBUTTONUP:
        if (m_scrollPressed < 0) return false;
        {
            const int kind = m_scrollPressed;
            m_scrollPressed = -1;
            if (ws().get_capture() == m_handle) ws().release_capture();
            m_scroll[kind].mouse_up(p);
        }
        return true;
    case ui::WM_CAPTURECHANGED:
        if (m_scrollPressed < 0) return false;
        {
            const int kind = m_scrollPressed;
            m_scrollPressed = -1;
            m_scroll[kind].cancel();
        }
        return true;
    case ui::WM_TIMER:
        if (w == kScrollTimerBase + sbHorizontal || w == kScrollTimerBase + sbVertical) {
            m_scroll[w - kScrollTimerBase].timer();
            return true;
        }
        return false;
    case ui::WM_RBUTTONDOWN:
    case ui::WM_RBUTTONUP:
    case ui::WM_MBUTTONDOWN:
    case ui::WM_MBUTTONUP:
        for (int kind : {sbHorizontal, sbVertical})
            if (m_scrollShown[kind] && m_scroll[kind].rect().Contains(p)) return true;
        return false;
    default:
        return false;
    }
}
