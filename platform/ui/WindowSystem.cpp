#include "platform/ui/WindowSystemDetail.h"

#include "platform/classes/Exception.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

namespace {
WindowSystem* g_current = nullptr;
}  // namespace

WindowSystem::WindowSystem(Host& host)
    : m_host(host), m_gui_thread(std::this_thread::get_id()), m_previous(g_current) {
    g_current = this;
    m_color_listener = gfx::SystemColors::add_listener([this] { system_colors_changed(); });
}

WindowSystem::~WindowSystem() {
    {
        std::lock_guard lock(m_mutex);
        m_shutting_down = true;
    }
    m_cv.notify_all();
    gfx::SystemColors::remove_listener(m_color_listener);
    // Destroy what is left so that every window hears WM_DESTROY once.
    while (!m_top_levels.empty()) destroy_window(m_top_levels.back());
    if (g_current == this) g_current = m_previous;
}

WindowSystem& WindowSystem::current() {
    if (!g_current) throw Exception("The window system has not been started");
    return *g_current;
}

bool WindowSystem::exists() { return g_current != nullptr; }

const Clock& WindowSystem::clock() const { return m_host.clock(); }

WindowSystem::Window* WindowSystem::find(HWND h) {
    auto it = m_windows.find(h);
    return it == m_windows.end() ? nullptr : it->second.get();
}

const WindowSystem::Window* WindowSystem::find(HWND h) const {
    auto it = m_windows.find(h);
    return it == m_windows.end() ? nullptr : it->second.get();
}

// ---- windows ------------------------------------------------------------------

HWND WindowSystem::create_window(const CreateParams& p) {
    if (p.parent != kNoWindow && !find(p.parent)) return kNoWindow;
    auto w = std::make_unique<Window>();
    const HWND h = m_next_handle++;
    w->handle = h;
    w->parent = p.parent;
    w->owner = p.parent == kNoWindow && find(p.owner) ? get_top_level(p.owner) : kNoWindow;
    w->style = (p.style & ~WS_VISIBLE) | (p.parent != kNoWindow ? WS_CHILD : 0);
    w->ex_style = p.ex_style;
    w->bounds = p.bounds;
    w->restore_bounds = p.bounds;
    w->text = p.text;
    w->id = p.id;
    if (p.proc) w->proc = std::make_shared<const WndProc>(p.proc);
    w->double_clicks = p.double_clicks;
    m_windows.emplace(h, std::move(w));
    if (p.parent != kNoWindow) {
        auto& siblings = find(p.parent)->children;
        siblings.insert(siblings.begin(), h);
    } else {
        insert_in_z_order(h);
        m_host.create_native(h, native_info(*find(h)));
    }
    on_created(h);
    recalc_frame(h);
    send_message(h, WM_CREATE);
    if (is_window(h) && (p.style & WS_VISIBLE)) show_window(h, SW_SHOW);
    return is_window(h) ? h : kNoWindow;
}

NativeWindowInfo WindowSystem::native_info(const Window& w) const {
    NativeWindowInfo info;
    info.bounds = w.bounds;
    info.title = w.text;
    info.popup = (w.style & WS_POPUP) != 0;
    info.tool = (w.ex_style & WS_EX_TOOLWINDOW) != 0;
    info.topmost = (w.ex_style & WS_EX_TOPMOST) != 0;
    info.no_activate = (w.ex_style & WS_EX_NOACTIVATE) != 0;
    info.transparent = (w.ex_style & WS_EX_TRANSPARENT) != 0;
    info.resizable = !(w.style & WS_POPUP) && (w.style & WS_THICKFRAME) != 0;
    return info;
}

HWND WindowSystem::set_parent(HWND h, HWND parent) {
    Window* w = find(h);
    if (!w || w->destroying) return kNoWindow;
    if (parent != kNoWindow && (!find(parent) || parent == h || is_child(h, parent))) return kNoWindow;
    const HWND old = w->parent;
    if (old == parent) return old;
    if (is_visible(h)) on_hiding(h);
    if (old != kNoWindow) {
        std::erase(find(old)->children, h);
    } else {
        remove_from_z_order(h);
        m_host.destroy_native(h);
        w->pixels.reset();
        w->changed.clear();
        w->owner = kNoWindow;
    }
    w->parent = parent;
    if (parent != kNoWindow) {
        w->style |= WS_CHILD;
        auto& siblings = find(parent)->children;
        siblings.insert(siblings.begin(), h);
        if (m_active == h) activate_window(next_window_to_activate(h), WA_ACTIVE);
    } else {
        // Its bounds stay as they were, now taken as screen coordinates.
        w->style &= ~WS_CHILD;
        w->pixels = std::make_unique<TBitmap>(w->bounds.Width(), w->bounds.Height());
        insert_in_z_order(h);
        m_host.create_native(h, native_info(*w));
        if (w->style & WS_VISIBLE) m_host.show_native(h, true, false);
    }
    // The focus and the capture stay where they are; only the pixels move.
    invalidate_rect(h, nullptr, true);
    redraw_frame(h);
    return old;
}

bool WindowSystem::destroy_window(HWND h) {
    Window* w = find(h);
    if (!w || w->destroying) return false;
    // Owned windows go first, as a form takes its popups with it.
    for (HWND t : std::vector<HWND>(m_top_levels))
        if (auto* tw = find(t); tw && tw->owner == h) destroy_window(t);
    w = find(h);
    if (!w || w->destroying) return false;
    if (w->style & WS_VISIBLE) show_window(h, SW_HIDE);
    lose_window(h);
    destroy_tree(h);
    return true;
}

void WindowSystem::destroy_tree(HWND h) {
    Window* w = find(h);
    if (!w) return;
    w->destroying = true;
    send_message(h, WM_DESTROY);
    w = find(h);
    if (!w) return;
    for (HWND c : std::vector<HWND>(w->children)) destroy_tree(c);
    send_message(h, WM_NCDESTROY);
    w = find(h);
    if (!w) return;
    for (auto it = m_timers.begin(); it != m_timers.end();)
        it = it->first.first == h ? m_timers.erase(it) : std::next(it);
    if (m_hover == h) m_hover = kNoWindow;
    if (m_last_click.hwnd == h) m_last_click.valid = false;
    for (auto& m : m_modal)
        if (m->hwnd == h) m->ended = true;
    if (w->parent != kNoWindow) {
        if (Window* parent = find(w->parent)) std::erase(parent->children, h);
    } else {
        remove_from_z_order(h);
        m_host.destroy_native(h);
    }
    m_windows.erase(h);
}

bool WindowSystem::is_window(HWND h) const { return find(h) != nullptr; }

HWND WindowSystem::get_parent(HWND h) const {
    const Window* w = find(h);
    return w ? w->parent : kNoWindow;
}

HWND WindowSystem::get_owner(HWND h) const {
    const Window* w = find(h);
    return w ? w->owner : kNoWindow;
}

HWND WindowSystem::get_top_level(HWND h) const {
    const Window* w = find(h);
    while (w && w->parent != kNoWindow) w = find(w->parent);
    return w ? w->handle : kNoWindow;
}

bool WindowSystem::is_child(HWND parent, HWND child) const {
    if (parent == kNoWindow) return false;
    const Window* w = find(child);
    while (w && w->parent != kNoWindow) {
        if (w->parent == parent) return true;
        w = find(w->parent);
    }
    return false;
}

std::vector<HWND> WindowSystem::children(HWND h) const {
    const Window* w = find(h);
    return w ? w->children : std::vector<HWND>{};
}

std::vector<HWND> WindowSystem::top_level_windows() const { return m_top_levels; }

std::uint32_t WindowSystem::get_style(HWND h) const {
    const Window* w = find(h);
    return w ? w->style : 0;
}

std::uint32_t WindowSystem::get_ex_style(HWND h) const {
    const Window* w = find(h);
    return w ? w->ex_style : 0;
}

int WindowSystem::get_window_id(HWND h) const {
    const Window* w = find(h);
    return w ? w->id : 0;
}

AnsiString WindowSystem::get_window_text(HWND h) const {
    const Window* w = find(h);
    return w ? w->text : AnsiString{};
}

void WindowSystem::set_window_text(HWND h, const AnsiString& text) {
    Window* w = find(h);
    if (!w || w->text == text) return;
    w->text = text;
    if (w->top_level()) m_host.set_native_title(h, text);
}

void WindowSystem::set_user_data(HWND h, void* data) {
    if (Window* w = find(h)) w->user_data = data;
}

void* WindowSystem::get_user_data(HWND h) const {
    const Window* w = find(h);
    return w ? w->user_data : nullptr;
}

bool WindowSystem::is_visible(HWND h) const {
    const Window* w = find(h);
    if (!w) return false;
    for (; w; w = find(w->parent))
        if (!(w->style & WS_VISIBLE)) return false;
    return true;
}

bool WindowSystem::is_enabled(HWND h) const {
    const Window* w = find(h);
    return w && !(w->style & WS_DISABLED);
}

bool WindowSystem::enable_window(HWND h, bool enable) {
    Window* w = find(h);
    if (!w) return false;
    const bool was = !(w->style & WS_DISABLED);
    if (was == enable) return was;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        if (m_capture == h || is_child(h, m_capture)) release_capture();
        if (m_focus == h || is_child(h, m_focus)) set_focus(kNoWindow);
    }
    send_message(h, WM_ENABLE, enable ? 1 : 0);
    on_visual_change(h);
    return was;
}

bool WindowSystem::is_popup_that_never_activates(HWND h) const {
    const Window* w = find(get_top_level(h));
    return w && (w->ex_style & WS_EX_NOACTIVATE);
}

bool WindowSystem::show_window(HWND h, int cmd) {
    Window* w = find(h);
    if (!w) return false;
    const bool was = (w->style & WS_VISIBLE) != 0;
    if (cmd == SW_HIDE) {
        if (!was) return false;
        send_message(h, WM_SHOWWINDOW, 0);
        w = find(h);
        if (!w) return true;
        on_hiding(h);
        w->style &= ~WS_VISIBLE;
        lose_window(h);
        if (is_window(h) && get_parent(h) == kNoWindow) m_host.show_native(h, false, false);
        return true;
    }
    const bool top = w->top_level();
    if ((cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE) && top) {
        if (!w->minimized) {
            w->minimized = true;
            if (!was) w->style |= WS_VISIBLE;
            m_host.minimize_native(h);
            if (m_capture == h || is_child(h, m_capture)) release_capture();
            if (m_active == h) activate_window(next_window_to_activate(h), WA_ACTIVE);
            if (!is_window(h)) return was;
            const TRect client = get_client_rect(h);
            send_message(h, WM_SIZE, SIZE_MINIMIZED, make_lparam(client.Width(), client.Height()));
        }
        return was;
    }
    if (w->minimized && (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL || cmd == SW_SHOWMAXIMIZED)) {
        // Back from the task bar to the state it had before, maximised or not.
        w->minimized = false;
        m_host.restore_native(h);
        if (cmd == SW_RESTORE) cmd = SW_SHOW;
        const TRect client = get_client_rect(h);
        send_message(h, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, make_lparam(client.Width(), client.Height()));
        if (!(w = find(h))) return was;
        invalidate_rect(h, nullptr, true);
        redraw_frame(h);
    }
    if (cmd == SW_SHOWMAXIMIZED && top && !w->maximized) {
        w->restore_bounds = w->bounds;
        w->maximized = true;
        m_host.maximize_native(h);
        const TRect area = work_area_at(TPoint{w->bounds.Left, w->bounds.Top});
        apply_bounds(h, area, SIZE_MAXIMIZED, true);
    } else if (cmd == SW_RESTORE && top && w->maximized) {
        w->maximized = false;
        m_host.move_native(h, w->restore_bounds);
        apply_bounds(h, w->restore_bounds, SIZE_RESTORED, true);
    }
    w = find(h);
    if (!w) return was;
    if (!was) {
        send_message(h, WM_SHOWWINDOW, 1);
        w = find(h);
        if (!w) return was;
        w->style |= WS_VISIBLE;
    }
    const bool activate = top && !(w->ex_style & WS_EX_NOACTIVATE) && cmd != SW_SHOWNA &&
                          cmd != SW_SHOWNOACTIVATE && is_enabled(h);
    if (top) {
        if (!was || activate) bring_window_to_top(h);
        if (!was) m_host.show_native(h, true, activate);
    }
    if (!was) on_shown(h);
    if (activate) activate_window(h, WA_ACTIVE);
    return was;
}

bool WindowSystem::is_zoomed(HWND h) const {
    const Window* w = find(h);
    return w && w->maximized;
}

void WindowSystem::set_window_region(HWND h, const gfx::Region* shape) {
    Window* w = find(h);
    if (!w) return;
    // What the old shape covered in the parent shows again.
    if (!w->top_level() && is_visible(h)) invalidate_parent_area(h, w->bounds);
    if (shape)
        w->shape = *shape;
    else
        w->shape.reset();
    if (w->top_level()) m_host.set_native_shape(h, shape);
    invalidate_rect(h, nullptr, true);
    redraw_frame(h);
}

bool WindowSystem::is_iconic(HWND h) const {
    const Window* w = find(h);
    return w && w->minimized;
}

void WindowSystem::remove_from_z_order(HWND h) { std::erase(m_top_levels, h); }

void WindowSystem::insert_in_z_order(HWND h) {
    const Window* w = find(h);
    auto pos = m_top_levels.begin();
    if (!(w->ex_style & WS_EX_TOPMOST))
        pos = std::find_if(m_top_levels.begin(), m_top_levels.end(),
                           [&](HWND t) { return !(find(t)->ex_style & WS_EX_TOPMOST); });
    m_top_levels.insert(pos, h);
}

void WindowSystem::bring_window_to_top(HWND h) {
    Window* w = find(h);
    if (!w) return;
    if (!w->top_level()) {
        auto& siblings = find(w->parent)->children;
        std::erase(siblings, h);
        siblings.insert(siblings.begin(), h);
        on_visual_change(h);
        return;
    }
    remove_from_z_order(h);
    insert_in_z_order(h);
    if (w->style & WS_VISIBLE) m_host.raise_native(h);
    // Owned windows stay in front of their owner.
    for (HWND t : std::vector<HWND>(m_top_levels))
        if (t != h && find(t) && find(t)->owner == h && is_visible(t)) bring_window_to_top(t);
}

// ---- geometry ---------------------------------------------------------------------

TRect WindowSystem::get_bounds(HWND h) const {
    const Window* w = find(h);
    return w ? w->bounds : TRect{};
}

TRect WindowSystem::get_window_rect(HWND h) const {
    const Window* w = find(h);
    if (!w) return {};
    const TPoint origin = w->parent != kNoWindow ? client_to_screen(w->parent, TPoint{w->bounds.Left, w->bounds.Top})
                                                 : TPoint{w->bounds.Left, w->bounds.Top};
    return Bounds(origin.X, origin.Y, w->bounds.Width(), w->bounds.Height());
}

TRect WindowSystem::get_client_rect(HWND h) const {
    const Window* w = find(h);
    if (!w) return {};
    const TRect c = w->client_in_window();
    return TRect{0, 0, c.Width(), c.Height()};
}

TRect WindowSystem::get_frame(HWND h) const {
    const Window* w = find(h);
    return w ? w->frame : TRect{};
}

void WindowSystem::recalc_frame(HWND h) {
    Window* w = find(h);
    if (!w) return;
    TRect r = w->bounds;
    const TRect b = w->bounds;
    send_message(h, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r));
    if (!(w = find(h))) return;
    w->frame = TRect{std::max(0, r.Left - b.Left), std::max(0, r.Top - b.Top), std::max(0, b.Right - r.Right),
                     std::max(0, b.Bottom - r.Bottom)};
    if (w->has_frame()) w->frame_dirty = true;
}

void WindowSystem::frame_changed(HWND h) {
    Window* w = find(h);
    if (!w) return;
    const TRect old_frame = w->frame;
    const TRect old_client = get_client_rect(h);
    recalc_frame(h);
    if (!(w = find(h))) return;
    if (w->frame == old_frame) {
        redraw_frame(h);
        return;
    }
    invalidate_rect(h, nullptr, true);
    if (w->has_frame()) w->frame_dirty = true;
    const TRect client = get_client_rect(h);
    if (client != old_client)
        send_message(h, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, make_lparam(client.Width(), client.Height()));
}

void WindowSystem::redraw_frame(HWND h) {
    Window* w = find(h);
    if (w && w->has_frame() && is_visible(h)) w->frame_dirty = true;
}

void WindowSystem::move_window(HWND h, const TRect& bounds) {
    Window* w = find(h);
    if (!w) return;
    const bool top = w->top_level();
    if (top) {
        w->maximized = false;
        m_host.move_native(h, bounds);
    }
    apply_bounds(h, bounds, SIZE_RESTORED, false);
}

void WindowSystem::apply_bounds(HWND h, const TRect& bounds, WPARAM size_kind, bool state_changed) {
    Window* w = find(h);
    if (!w) return;
    const TRect old = w->bounds;
    if (old == bounds && !state_changed) return;
    on_moving(h, old);
    w->bounds = bounds;
    const bool resized = old.Width() != bounds.Width() || old.Height() != bounds.Height();
    if (resized) recalc_frame(h);
    if (!find(h)) return;
    on_moved(h, old);
    if (old.Left != bounds.Left || old.Top != bounds.Top)
        send_message(h, WM_MOVE, 0, make_lparam(bounds.Left, bounds.Top));
    // A change between maximised and restored is reported even at the same size.
    if (resized || state_changed) {
        const TRect client = get_client_rect(h);
        send_message(h, WM_SIZE, size_kind, make_lparam(client.Width(), client.Height()));
    }
}

TPoint WindowSystem::client_to_screen(HWND h, TPoint p) const {
    for (const Window* w = find(h); w; w = find(w->parent)) {
        p.X += w->bounds.Left + w->frame.Left;
        p.Y += w->bounds.Top + w->frame.Top;
    }
    return p;
}

TPoint WindowSystem::screen_to_client(HWND h, TPoint p) const {
    const TPoint origin = client_to_screen(h, TPoint{0, 0});
    return TPoint{p.X - origin.X, p.Y - origin.Y};
}

HWND WindowSystem::window_from_point(TPoint screen) const { return window_at(screen, true); }

bool WindowSystem::Window::hit(TPoint in_parent) const {
    if (!(style & WS_VISIBLE) || !bounds.Contains(in_parent)) return false;
    return !shape || shape->contains(TPoint{in_parent.X - bounds.Left, in_parent.Y - bounds.Top});
}

HWND WindowSystem::window_at(TPoint screen, bool skip_disabled_top_levels) const {
    for (HWND t : m_top_levels) {
        const Window* w = find(t);
        if (!w->hit(screen) || w->minimized) continue;
        // Overlays are drawn over the others and never take the pointer.
        if (w->ex_style & WS_EX_TRANSPARENT) continue;
        if (skip_disabled_top_levels && (w->style & WS_DISABLED)) continue;
        TPoint in_window{screen.X - w->bounds.Left, screen.Y - w->bounds.Top};
        for (bool descended = true; descended;) {
            descended = false;
            // Children lie in the client area; a point on the frame is the window's own.
            if (!w->client_in_window().Contains(in_window)) break;
            const TPoint local{in_window.X - w->frame.Left, in_window.Y - w->frame.Top};
            for (HWND c : w->children) {
                const Window* cw = find(c);
                if (cw->hit(local)) {
                    if (cw->style & WS_DISABLED) break;
                    in_window = TPoint{local.X - cw->bounds.Left, local.Y - cw->bounds.Top};
                    w = cw;
                    descended = true;
                    break;
                }
            }
        }
        return w->handle;
    }
    return kNoWindow;
}

// ---- window procedures -------------------------------------------------------------

WndProcRef WindowSystem::subclass_window(HWND h, WndProc proc) {
    Window* w = find(h);
    if (!w) return {};
    WndProcRef old = w->proc;
    w->proc = std::make_shared<const WndProc>(std::move(proc));
    return old;
}

void WindowSystem::set_window_proc(HWND h, WndProcRef proc) {
    if (Window* w = find(h)) w->proc = std::move(proc);
}

WndProcRef WindowSystem::get_window_proc(HWND h) const {
    const Window* w = find(h);
    return w ? w->proc : WndProcRef{};
}

LRESULT WindowSystem::call_window_proc(const WndProcRef& proc, HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (!is_window(h)) return 0;
    if (!proc || !*proc) return def_window_proc(h, msg, w, l);
    return (*proc)(h, msg, w, l);
}

LRESULT WindowSystem::call_proc(Window& w, UINT msg, WPARAM wp, LPARAM lp) {
    // Holding the reference keeps the procedure alive even when it destroys
    // its window or subclasses it while it runs.
    const WndProcRef proc = w.proc;
    const HWND h = w.handle;
    if (!proc || !*proc) return def_window_proc(h, msg, wp, lp);
    return (*proc)(h, msg, wp, lp);
}

LRESULT WindowSystem::def_window_proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    Window* win = find(h);
    if (!win) return 0;
    switch (msg) {
    case WM_CLOSE:
        destroy_window(h);
        return 0;
    case WM_SYSCOMMAND:
        switch (w & 0xFFF0) {
        case SC_MINIMIZE: show_window(h, SW_MINIMIZE); break;
        case SC_MAXIMIZE: show_window(h, SW_SHOWMAXIMIZED); break;
        case SC_RESTORE: show_window(h, SW_RESTORE); break;
        case SC_CLOSE: send_message(h, WM_CLOSE); break;
        default: break;
        }
        return 0;
    case WM_CANCELMODE:
        if (m_capture == h) release_capture();
        return 0;
    case WM_ACTIVATE:
        if (w != WA_INACTIVE && get_top_level(m_focus) != h) set_focus(h);
        return 0;
    case WM_SETCURSOR: {
        // A parent may decide for its children; a window answers for itself
        // only, never on behalf of the child under the pointer.
        if (win->parent != kNoWindow && send_message(win->parent, WM_SETCURSOR, w, l)) return 1;
        win = find(h);
        if (!win || static_cast<HWND>(w) != h) return 0;
        set_cursor(loword(static_cast<WPARAM>(l)) == HTCLIENT ? win->cursor.value_or(Cursor{}) : Cursor{});
        return 1;
    }
    case WM_RBUTTONUP: {
        const TPoint screen = client_to_screen(h, TPoint{get_x_lparam(l), get_y_lparam(l)});
        send_message(h, WM_CONTEXTMENU, h, make_lparam(screen.X, screen.Y));
        return 0;
    }
    case WM_CONTEXTMENU:
        return win->parent != kNoWindow ? send_message(win->parent, msg, w, l) : 0;
    case WM_MOUSEWHEEL:
        return win->parent != kNoWindow ? send_message(win->parent, msg, w, l) : 0;
    case WM_PAINT:
        default_paint(h);
        return 0;
    case WM_NCPAINT: {
        // The frame in the button face; windows with a frame of their own draw it.
        WindowDC dc = get_window_dc(h);
        gfx::Region frame(TRect{0, 0, win->bounds.Width(), win->bounds.Height()});
        frame.subtract(win->client_in_window());
        dc->Brush().SetColor(clBtnFace);
        for (const TRect& r : frame.rects()) dc->FillRect(r);
        return 0;
    }
    case WM_NCHITTEST: {
        const TRect wr = get_window_rect(h);
        const TPoint p{get_x_lparam(l) - wr.Left, get_y_lparam(l) - wr.Top};
        if (!TRect{0, 0, wr.Width(), wr.Height()}.Contains(p)) return HTNOWHERE;
        return win->client_in_window().Contains(p) ? HTCLIENT : HTBORDER;
    }
    default:
        return 0;
    }
}

// ---- messages -----------------------------------------------------------------------

LRESULT WindowSystem::send_message(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (std::this_thread::get_id() != m_gui_thread) {
        auto send = std::make_shared<CrossSend>();
        send->hwnd = h;
        send->msg = msg;
        send->wparam = w;
        send->lparam = l;
        std::unique_lock lock(m_mutex);
        if (m_shutting_down) return 0;
        m_cross.push_back(send);
        m_cv.notify_all();
        m_host.wake();
        m_cv.wait(lock, [&] { return send->done || m_shutting_down; });
        return send->result;
    }
    Window* win = find(h);
    if (!win) return 0;
    if (!m_hooks.empty()) {
        run_call_wnd_proc_hooks(h, msg, w, l);
        win = find(h);
        if (!win) return 0;
    }
    return call_proc(*win, msg, w, l);
}

void WindowSystem::call_on_gui_thread(const std::function<void()>& fn) {
    if (std::this_thread::get_id() == m_gui_thread) {
        fn();
        return;
    }
    auto send = std::make_shared<CrossSend>();
    send->fn = fn;
    std::unique_lock lock(m_mutex);
    if (m_shutting_down) return;
    m_cross.push_back(send);
    m_cv.notify_all();
    m_host.wake();
    m_cv.wait(lock, [&] { return send->done || m_shutting_down; });
}

void WindowSystem::handle_cross_sends() {
    for (bool handled = false;; handled = true) {
        std::shared_ptr<CrossSend> send;
        {
            std::lock_guard lock(m_mutex);
            if (m_cross.empty()) {
                // What a worker had drawn (a menu's animation step) shows now,
                // even while the GUI thread only waits for the worker.
                if (handled) present_changes();
                return;
            }
            send = m_cross.front();
            m_cross.pop_front();
        }
        LRESULT result = 0;
        try {
            if (send->fn)
                send->fn();
            else
                result = send_message(send->hwnd, send->msg, send->wparam, send->lparam);
        } catch (...) {
            // The sender must never be left waiting, whatever the handler did.
            {
                std::lock_guard lock(m_mutex);
                send->done = true;
            }
            m_cv.notify_all();
            throw;
        }
        {
            std::lock_guard lock(m_mutex);
            send->result = result;
            send->done = true;
        }
        m_cv.notify_all();
    }
}

bool WindowSystem::post_message(HWND h, UINT msg, WPARAM w, LPARAM l) {
    const bool on_gui = std::this_thread::get_id() == m_gui_thread;
    {
        std::lock_guard lock(m_mutex);
        // Handles are never reused, so the check needs only to see that the
        // window existed; the loop drops messages for windows gone since.
        if (on_gui && h != kNoWindow && !find(h)) return false;
        if (h == kNoWindow && msg != WM_QUIT && !on_gui) return false;
        Msg m;
        m.hwnd = h;
        m.message = msg;
        m.wParam = w;
        m.lParam = l;
        m.time = on_gui ? clock().now_ms() : 0;
        m.pt = m_cursor_pos;
        m_posted.push_back(m);
        m_signalled = true;
    }
    m_cv.notify_all();
    if (!on_gui) m_host.wake();
    return true;
}

void WindowSystem::post_quit_message(int exit_code) {
    if (!m_quit) m_quit = exit_code;
}

bool WindowSystem::matches(const Msg& m, HWND filter, UINT min, UINT max) const {
    if (filter != kNoWindow && m.hwnd != filter && !is_child(filter, m.hwnd)) return false;
    if (min == 0 && max == 0) return true;
    return m.message >= min && m.message <= max;
}

bool WindowSystem::peek_message(Msg& msg, HWND filter, UINT min, UINT max, unsigned remove) {
    handle_cross_sends();
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
            if (!matches(*it, filter, min, max)) continue;
            msg = *it;
            if (remove & PM_REMOVE) m_posted.erase(it);
            if (msg.message == WM_QUIT && !m_quit) m_quit = static_cast<int>(msg.wParam);
            return true;
        }
    }
    if (m_quit && filter == kNoWindow && min == 0 && max == 0) {
        msg = Msg{};
        msg.message = WM_QUIT;
        msg.wParam = static_cast<WPARAM>(*m_quit);
        return true;
    }
    if (take_input(msg, filter, min, max, remove)) return true;
    if (take_paint(msg, filter, min, max)) return true;
    if (take_timer(msg, filter, min, max, remove)) return true;
    present_changes();
    return false;
}

bool WindowSystem::get_message(Msg& msg) {
    for (;;) {
        if (peek_message(msg)) return msg.message != WM_QUIT;
        wait_for_input();
    }
}

void WindowSystem::wait_for_input() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_cross.empty() || !m_posted.empty() || !m_input.empty()) return;
        m_signalled = false;
    }
    m_host.wait_for_input(next_timer_due());
}

LRESULT WindowSystem::dispatch_message(const Msg& m) {
    if (m.message == WM_TIMER) {
        auto key = std::make_pair(m.hwnd, static_cast<UINT>(m.wParam));
        auto it = m_timers.find(key);
        if (it == m_timers.end()) return 0;  // killed after it was taken
        LRESULT result = 0;
        if (it->second.proc) {
            const TimerProc proc = it->second.proc;
            proc(m.hwnd, static_cast<UINT>(m.wParam));
        } else if (Window* w = find(m.hwnd)) {
            result = call_proc(*w, m.message, m.wParam, m.lParam);
        }
        it = m_timers.find(key);
        if (it != m_timers.end() && it->second.expired) m_timers.erase(it);
        return result;
    }
    if (m.message == WM_PAINT) {
        paint_frame_if_due(m.hwnd);
        Window* w = find(m.hwnd);
        if (!w) return 0;
        const LRESULT result = w->update.empty() ? 0 : call_proc(*w, m.message, m.wParam, m.lParam);
        finish_paint_message(m.hwnd);
        return result;
    }
    Window* w = find(m.hwnd);
    if (!w) return 0;
    return call_proc(*w, m.message, m.wParam, m.lParam);
}

void WindowSystem::process_messages() {
    Msg m;
    while (peek_message(m)) {
        if (m.message == WM_QUIT) break;
        dispatch_message(m);
    }
}

bool WindowSystem::run_loop(const std::function<bool()>& keep_running) {
    Msg m;
    while (keep_running()) {
        if (!get_message(m)) return false;
        dispatch_message(m);
    }
    return true;
}

void WindowSystem::wait_dispatching(const std::function<bool()>& done) {
    for (;;) {
        handle_cross_sends();
        if (done()) return;
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return !m_cross.empty() || m_signalled; });
        m_signalled = false;
    }
}

void WindowSystem::signal() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_cv.notify_all();
    m_host.wake();
}

int WindowSystem::run_modal(HWND h) {
    if (!is_window(h) || in_modal_loop(h)) return 0;
    m_modal.push_back(std::make_unique<ModalState>());
    ModalState* state = m_modal.back().get();
    state->hwnd = h;
    const HWND previous_active = m_active;
    // A mouse mode of the window below (a drag, a press held) ends here.
    if (m_capture != kNoWindow) send_message(m_capture, WM_CANCELMODE);
    std::vector<HWND> disabled;
    for (HWND t : m_top_levels)
        if (t != h && is_visible(t) && is_enabled(t) && get_owner(t) != h) disabled.push_back(t);
    for (HWND t : disabled) enable_window(t, false);
    // Whatever ends the loop, an exception included, the other windows come back.
    struct Restore {
        WindowSystem& ws;
        std::vector<HWND>& disabled;
        ModalState* state;
        ~Restore() {
            for (HWND t : disabled) ws.enable_window(t, true);
            std::erase_if(ws.m_modal, [&](const auto& m) { return m.get() == state; });
        }
    } restore{*this, disabled, state};
    show_window(h, SW_SHOW);
    set_active_window(h);
    const bool quit = !run_loop([&] { return !state->ended && is_window(h); });
    const int result = quit ? 0 : state->result;
    for (HWND t : disabled) enable_window(t, true);
    if (is_window(h)) show_window(h, SW_HIDE);
    if (is_window(previous_active) && is_visible(previous_active)) set_active_window(previous_active);
    return result;
}

void WindowSystem::end_modal(HWND h, int result) {
    for (auto& m : m_modal)
        if (m->hwnd == h && !m->ended) {
            m->ended = true;
            m->result = result;
            // The loop checks its state after each message; make sure one comes.
            post_message(h, WM_NULL);
        }
}

bool WindowSystem::in_modal_loop(HWND h) const {
    return std::any_of(m_modal.begin(), m_modal.end(), [&](const auto& m) { return m->hwnd == h && !m->ended; });
}

void WindowSystem::system_colors_changed() {
    std::vector<HWND> all;
    for (HWND t : m_top_levels) {
        all.push_back(t);
        for (std::size_t i = all.size() - 1; i < all.size(); ++i)
            for (HWND c : find(all[i])->children) all.push_back(c);
    }
    for (HWND h : all) send_message(h, WM_SYSCOLORCHANGE);
    for (HWND t : m_top_levels) invalidate_rect(t, nullptr, true);
}

// ---- screen and clipboard ------------------------------------------------------------

TRect WindowSystem::screen_rect() const { return m_host.screen_rect(); }

TRect WindowSystem::work_area_at(TPoint screen) const { return m_host.work_area_at(screen); }

bool WindowSystem::set_clipboard_text(const AnsiString& text) {
    return m_host.set_clipboard_text(text::cp1251_to_utf8(text));
}

AnsiString WindowSystem::clipboard_text() { return text::utf8_to_cp1251(m_host.clipboard_text()); }

// ---- focus, activation, capture -----------------------------------------------------

bool WindowSystem::can_take_focus(HWND h) const {
    if (!is_window(h) || !is_visible(h) || is_popup_that_never_activates(h)) return false;
    for (const Window* w = find(h); w; w = find(w->parent))
        if (w->style & WS_DISABLED) return false;
    return true;
}

HWND WindowSystem::set_focus(HWND h) {
    if (h == kNoWindow) {
        const HWND old = m_focus;
        m_focus = kNoWindow;
        if (old != kNoWindow) send_message(old, WM_KILLFOCUS, 0);
        return old;
    }
    if (!can_take_focus(h)) return kNoWindow;
    if (h == m_focus) return h;
    const HWND top = get_top_level(h);
    if (top != m_active) {
        // Activation would put the focus on the form itself first; the focus
        // goes straight to h instead, as it does when a form activates a control.
        const HWND old_active = m_active;
        m_active = top;
        if (is_window(old_active)) send_message(old_active, WM_ACTIVATE, WA_INACTIVE, top);
        if (is_window(top)) bring_window_to_top(top);
        const HWND old_focus = change_focus(h);
        if (is_window(top)) send_message(top, WM_ACTIVATE, WA_ACTIVE, old_active);
        return old_focus;
    }
    return change_focus(h);
}

HWND WindowSystem::change_focus(HWND h) {
    const HWND old = m_focus;
    if (old == h) return old;
    m_focus = h;
    if (is_window(old)) send_message(old, WM_KILLFOCUS, h);
    if (m_focus == h && is_window(h)) send_message(h, WM_SETFOCUS, old);
    return old;
}

HWND WindowSystem::set_active_window(HWND h) {
    h = get_top_level(h);
    if (h == kNoWindow || is_popup_that_never_activates(h) || !is_visible(h) || !is_enabled(h)) return kNoWindow;
    const HWND old = m_active;
    activate_window(h, WA_ACTIVE);
    return old;
}

void WindowSystem::activate_window(HWND h, WPARAM how) {
    if (h == m_active) return;
    const HWND old = m_active;
    m_active = h;
    if (is_window(old)) send_message(old, WM_ACTIVATE, WA_INACTIVE, h);
    if (h == kNoWindow) {
        if (m_focus != kNoWindow) set_focus(kNoWindow);
        return;
    }
    if (m_active != h || !is_window(h)) return;
    bring_window_to_top(h);
    send_message(h, WM_ACTIVATE, how, old);
    // A procedure that kept WM_ACTIVATE to itself must not leave the focus
    // in a window that is no longer active.
    if (m_active == h && m_focus != kNoWindow && get_top_level(m_focus) != h) change_focus(can_take_focus(h) ? h : kNoWindow);
}

HWND WindowSystem::next_window_to_activate(HWND leaving) const {
    const HWND owner = get_owner(leaving);
    auto eligible = [&](HWND t) {
        return t != leaving && is_visible(t) && is_enabled(t) && !is_popup_that_never_activates(t) &&
               !is_child(leaving, t) && !is_iconic(t);
    };
    if (owner != kNoWindow && eligible(owner)) return owner;
    for (HWND t : m_top_levels)
        if (eligible(t) && !(find(t)->destroying)) return t;
    return kNoWindow;
}

void WindowSystem::lose_window(HWND h) {
    auto inside = [&](HWND x) { return x != kNoWindow && (x == h || is_child(h, x)); };
    if (inside(m_capture)) release_capture();
    if (inside(m_hover)) m_hover = kNoWindow;
    if (inside(m_focus)) {
        const HWND parent = get_parent(h);
        change_focus(parent != kNoWindow && can_take_focus(parent) ? parent : kNoWindow);
    }
    if (m_active == h) activate_window(next_window_to_activate(h), WA_ACTIVE);
}

HWND WindowSystem::set_capture(HWND h) {
    const HWND old = m_capture;
    if (!is_window(h) || old == h) return old;
    m_capture = h;
    if (old == kNoWindow) m_host.capture_mouse(true);
    if (is_window(old)) send_message(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(h));
    return old;
}

void WindowSystem::release_capture() {
    const HWND old = m_capture;
    if (old == kNoWindow) return;
    m_capture = kNoWindow;
    m_host.capture_mouse(false);
    if (is_window(old)) send_message(old, WM_CAPTURECHANGED, 0, 0);
}

void WindowSystem::host_activate_app(bool active) {
    if (active == m_app_active) return;
    m_app_active = active;
    if (!active && m_capture != kNoWindow) send_message(m_capture, WM_CANCELMODE);
    if (!active && is_window(m_active)) send_message(m_active, WM_ACTIVATE, WA_INACTIVE, 0);
    for (HWND t : std::vector<HWND>(m_top_levels)) send_message(t, WM_ACTIVATEAPP, active ? 1 : 0);
    if (active && is_window(m_active)) send_message(m_active, WM_ACTIVATE, WA_ACTIVE, 0);
}

void WindowSystem::host_window_moved(HWND h, const TRect& screen_bounds) {
    Window* w = find(h);
    if (!w || !w->top_level()) return;
    apply_bounds(h, screen_bounds, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, false);
}

void WindowSystem::host_system_command(HWND h, WPARAM command) {
    if (is_window(h) && get_parent(h) == kNoWindow) send_message(h, WM_SYSCOMMAND, command, 0);
}

void WindowSystem::host_close_request(HWND h) {
    if (is_window(h) && is_enabled(h)) post_message(h, WM_CLOSE);
}

// ---- timers ----------------------------------------------------------------------------

UINT WindowSystem::set_timer(HWND h, UINT id, int interval_ms, TimerProc proc, bool one_shot) {
    if (h != kNoWindow && !is_window(h)) return 0;
    if (h == kNoWindow) {
        if (!proc) return 0;
        if (id == 0 || !m_timers.count({kNoWindow, id})) id = m_next_thread_timer++;
    }
    Timer t;
    t.interval = std::max(1, interval_ms);
    t.due = clock().now_ms() + t.interval;
    t.seq = m_timer_seq++;
    t.proc = std::move(proc);
    t.one_shot = one_shot;
    m_timers[{h, id}] = std::move(t);
    return id;
}

bool WindowSystem::kill_timer(HWND h, UINT id) { return m_timers.erase({h, id}) > 0; }

std::optional<std::int64_t> WindowSystem::next_timer_due() const {
    std::optional<std::int64_t> due;
    for (const auto& [key, t] : m_timers)
        if (!t.expired && (!due || t.due < *due)) due = t.due;
    return due;
}

bool WindowSystem::take_timer(Msg& msg, HWND filter, UINT min, UINT max, unsigned remove) {
    const std::int64_t now = clock().now_ms();
    auto best = m_timers.end();
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        const Timer& t = it->second;
        if (t.expired || t.due > now) continue;
        Msg probe;
        probe.hwnd = it->first.first;
        probe.message = WM_TIMER;
        if (!matches(probe, filter, min, max)) continue;
        if (best == m_timers.end() || t.due < best->second.due ||
            (t.due == best->second.due && t.seq < best->second.seq))
            best = it;
    }
    if (best == m_timers.end()) return false;
    msg = Msg{};
    msg.hwnd = best->first.first;
    msg.message = WM_TIMER;
    msg.wParam = best->first.second;
    msg.time = now;
    msg.pt = m_cursor_pos;
    if (remove & PM_REMOVE) {
        Timer& t = best->second;
        if (t.one_shot) {
            t.expired = true;
        } else {
            // The next tick counts from the one that was due, so a late loop
            // does not stretch the timer; missed ticks are not made up.
            t.due = std::max(t.due + t.interval, now + 1);
            t.seq = m_timer_seq++;
        }
    }
    return true;
}

}  // namespace ui
