// The window tree: windows, their parents, owners, z-order, styles,
// geometry, frames and shapes, and their procedures.
//
// Invariants (check_invariants):
//  - A window is a child of exactly its parent's children list, or
//    top-level and in m_top_levels exactly once; top-most windows come first.
//  - A top-level window owns pixels of its own size; a child owns none.
//  - A frame's thicknesses are not negative; the client area lies inside the window.
//  - Handles are unique in the process and never reused.
#include "platform/ui/WindowSystemDetail.h"

#include "platform/classes/Exception.h"
#include "platform/classes/Invariant.h"
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
    // Unique in the process: a handle kept from another window system (a test's
    // earlier one) never names a window of this one.
    static std::atomic<HWND> next_handle{1};
    const HWND h = next_handle++;
    w->handle = h;
    w->parent = p.parent;
    w->owner = p.parent == kNoWindow && find(p.owner) ? get_top_level(p.owner) : kNoWindow;
    w->style = (p.style & ~(WS_VISIBLE | WS_MAXIMIZE)) | (p.parent != kNoWindow ? WS_CHILD : 0);
    w->ex_style = p.ex_style;
    w->bounds = p.bounds;
    w->restore_bounds = p.bounds;
    if (p.parent == kNoWindow && (p.style & WS_MAXIMIZE) && !(p.style & WS_POPUP)) {
        // Made at its final size, so nobody sees (or paints) the normal size first.
        w->bounds = m_host.work_area_at(TPoint{p.bounds.Left, p.bounds.Top});
        w->maximized = true;
    }
    w->text = p.text;
    w->icon = p.icon;
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
    info.maximized = w.maximized;
    // A dialog's frame, or a tool window's that keeps its size.
    info.dialog = !info.popup && (w.ex_style & WS_EX_DLGMODALFRAME ||
                                  (w.ex_style & WS_EX_TOOLWINDOW && !(w.style & WS_THICKFRAME)));
    info.owner = w.owner;
    if (!info.popup) info.icon = w.icon;
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

void WindowSystem::set_window_icon(HWND h, std::shared_ptr<const gfx::MaskedImage> icon) {
    Window* w = find(h);
    if (!w || w->icon == icon) return;
    w->icon = std::move(icon);
    if (w->top_level() && !(w->style & WS_POPUP)) m_host.set_native_icon(h, w->icon);
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
        if (is_window(h) && get_parent(h) == kNoWindow) {
            m_host.show_native(h, false, false);
            // The window activated in its place was raised while the hidden one
            // still held the display's keyboard focus; without a window manager
            // that focus goes nowhere once the hidden window is unmapped, so the
            // active window asks for it again.
            // A popup that never took the activation gives back only the
            // focus: raising the active window would bury the popups still open.
            if (m_active != kNoWindow && m_active != h && is_visible(m_active)) {
                const Window* hidden = find(h);
                if (hidden && (hidden->ex_style & WS_EX_NOACTIVATE))
                    m_host.focus_native(m_active);
                else
                    m_host.raise_native(m_active, true);
            }
        }
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
    if (w->style & WS_VISIBLE) m_host.raise_native(h, true);
    raise_owned_windows(h);
}

void WindowSystem::raise_owned_windows(HWND owner) {
    // Owned windows stay in front of their owner, without taking its focus.
    for (HWND t : std::vector<HWND>(m_top_levels)) {
        if (t == owner || !find(t) || find(t)->owner != owner || !is_visible(t)) continue;
        remove_from_z_order(t);
        insert_in_z_order(t);
        m_host.raise_native(t, false);
        raise_owned_windows(t);
    }
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
    return guarded([&] { return (*proc)(h, msg, wp, lp); });
}

void WindowSystem::set_exception_handler(ExceptionHandler handler) { m_exception_handler = std::move(handler); }

bool WindowSystem::report_exception(std::exception_ptr error) {
    if (!m_exception_handler) return false;
    ++m_failures;
    // A handler that fails itself (it shows a message box, which runs a loop)
    // has nobody left to tell: that one goes on to the caller.
    const ExceptionHandler handler = m_exception_handler;
    handler(error);
    return true;
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

// ---- screen and clipboard ------------------------------------------------------------

TRect WindowSystem::screen_rect() const { return m_host.screen_rect(); }

TRect WindowSystem::work_area_at(TPoint screen) const { return m_host.work_area_at(screen); }

bool WindowSystem::set_clipboard_text(const AnsiString& text) {
    return m_host.set_clipboard_text(text::cp1251_to_utf8(text));
}

AnsiString WindowSystem::clipboard_text() { return text::utf8_to_cp1251(m_host.clipboard_text()); }

// ---- invariants ---------------------------------------------------------------

void WindowSystem::check_invariants() const {
#ifndef NDEBUG
    std::size_t top_count = 0;
    for (const auto& [h, w] : m_windows) {
        INVARIANT(w->handle == h, "WindowSystem: a window's handle");
        INVARIANT(!(w->frame.Left < 0 || w->frame.Top < 0 || w->frame.Right < 0 || w->frame.Bottom < 0), "WindowSystem: a negative frame");
        if (w->top_level()) {
            ++top_count;
            INVARIANT(!(std::count(m_top_levels.begin(), m_top_levels.end(), h) != 1), "WindowSystem: a top-level window outside the z-order");
            INVARIANT(!(!w->pixels || w->pixels->Width() != w->bounds.Width() || w->pixels->Height() != w->bounds.Height()), "WindowSystem: a top-level window's pixels");
        } else {
            const Window* parent = find(w->parent);
            INVARIANT(parent, "WindowSystem: a child without its parent");
            INVARIANT(!(std::count(parent->children.begin(), parent->children.end(), h) != 1), "WindowSystem: a child not listed once");
            INVARIANT(!(w->pixels), "WindowSystem: a child with pixels of its own");
        }
        for (HWND c : w->children)
            INVARIANT(!(!find(c) || find(c)->parent != h), "WindowSystem: a listed child of another parent");
    }
    INVARIANT(top_count == m_top_levels.size(), "WindowSystem: the z-order lists a dead window");
    bool past_topmost = false;
    for (HWND t : m_top_levels) {
        const bool topmost = (find(t)->ex_style & WS_EX_TOPMOST) != 0;
        INVARIANT(!(topmost && past_topmost), "WindowSystem: a top-most window behind a normal one");
        past_topmost = past_topmost || !topmost;
    }
    for (HWND h : {m_focus, m_capture, m_active, m_hover})
        INVARIANT(!(h != kNoWindow && !find(h)), "WindowSystem: focus, capture, activation or hover on a dead window");
    for (const auto& [key, timer] : m_timers)
        INVARIANT(!(key.first != kNoWindow ? !find(key.first) : !timer.proc), "WindowSystem: a timer of a dead window");
#endif
}

}  // namespace ui
