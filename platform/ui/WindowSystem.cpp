#include "platform/ui/WindowSystem.h"

#include "platform/classes/Exception.h"
#include "platform/ui/Host.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

struct WindowSystem::Window {
    HWND handle = kNoWindow;
    HWND parent = kNoWindow;
    HWND owner = kNoWindow;
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    TRect bounds;
    TRect restore_bounds;
    bool maximized = false;
    AnsiString text;
    int id = 0;
    WndProcRef proc;
    void* user_data = nullptr;
    std::vector<HWND> children;  // front to back
    bool double_clicks = true;
    bool destroying = false;
    std::optional<Cursor> cursor;
    gfx::Region update;               // client coordinates
    std::unique_ptr<TBitmap> pixels;  // top-level only: the form and its children
    gfx::Region changed;              // top-level only: pixels not yet on the screen

    bool top_level() const { return parent == kNoWindow; }
};

struct WindowSystem::Timer {
    int interval = 0;
    std::int64_t due = 0;
    std::uint64_t seq = 0;
    TimerProc proc;
    bool one_shot = false;
    bool expired = false;  // a one-shot timer that fired, kept until its message is handled
};

struct WindowSystem::Hook {
    HHOOK handle = 0;
    HookKind kind = HookKind::keyboard;
    std::shared_ptr<const HookProc> proc;
    bool removed = false;
};

struct WindowSystem::RawInput {
    enum class Kind { key, character, move, button, wheel } kind = Kind::key;
    int vk = 0;
    bool down = false;
    unsigned char ch = 0;
    MouseButton button = MouseButton::left;
    TPoint pt;
    int delta = 0;
    std::int64_t time = 0;
};

struct WindowSystem::CrossSend {
    HWND hwnd = kNoWindow;
    UINT msg = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    std::function<void()> fn;
    LRESULT result = 0;
    bool done = false;
};

struct WindowSystem::ModalState {
    HWND hwnd = kNoWindow;
    bool ended = false;
    int result = 0;
};

namespace {
WindowSystem* g_current = nullptr;

int button_vk(MouseButton b) {
    switch (b) {
    case MouseButton::left: return VK_LBUTTON;
    case MouseButton::right: return VK_RBUTTON;
    case MouseButton::middle: return VK_MBUTTON;
    }
    return VK_LBUTTON;
}

UINT button_message(MouseButton b, bool down, bool dbl) {
    UINT base = b == MouseButton::left ? WM_LBUTTONDOWN : b == MouseButton::right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    if (!down) return base + 1;
    return dbl ? base + 2 : base;
}
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
        NativeWindowInfo info;
        info.bounds = p.bounds;
        info.title = p.text;
        info.popup = (p.style & WS_POPUP) != 0;
        info.tool = (p.ex_style & WS_EX_TOOLWINDOW) != 0;
        info.topmost = (p.ex_style & WS_EX_TOPMOST) != 0;
        info.no_activate = (p.ex_style & WS_EX_NOACTIVATE) != 0;
        m_host.create_native(h, info);
    }
    on_created(h);
    send_message(h, WM_CREATE);
    if (is_window(h) && (p.style & WS_VISIBLE)) show_window(h, SW_SHOW);
    return is_window(h) ? h : kNoWindow;
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
    on_destroyed(h);
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
    const TPoint origin = client_to_screen(h, TPoint{0, 0});
    return Bounds(origin.X, origin.Y, w->bounds.Width(), w->bounds.Height());
}

TRect WindowSystem::get_client_rect(HWND h) const {
    const Window* w = find(h);
    return w ? TRect{0, 0, w->bounds.Width(), w->bounds.Height()} : TRect{};
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
    on_moved(h, old);
    if (old.Left != bounds.Left || old.Top != bounds.Top)
        send_message(h, WM_MOVE, 0, make_lparam(bounds.Left, bounds.Top));
    // A change between maximised and restored is reported even at the same size.
    if (old.Width() != bounds.Width() || old.Height() != bounds.Height() || state_changed)
        send_message(h, WM_SIZE, size_kind, make_lparam(bounds.Width(), bounds.Height()));
}

TPoint WindowSystem::client_to_screen(HWND h, TPoint p) const {
    for (const Window* w = find(h); w; w = find(w->parent)) {
        p.X += w->bounds.Left;
        p.Y += w->bounds.Top;
    }
    return p;
}

TPoint WindowSystem::screen_to_client(HWND h, TPoint p) const {
    const TPoint origin = client_to_screen(h, TPoint{0, 0});
    return TPoint{p.X - origin.X, p.Y - origin.Y};
}

HWND WindowSystem::window_from_point(TPoint screen) const {
    for (HWND t : m_top_levels) {
        const Window* w = find(t);
        if (!(w->style & WS_VISIBLE) || !w->bounds.Contains(screen)) continue;
        TPoint local{screen.X - w->bounds.Left, screen.Y - w->bounds.Top};
        for (bool descended = true; descended;) {
            descended = false;
            for (HWND c : w->children) {
                const Window* cw = find(c);
                if ((cw->style & WS_VISIBLE) && cw->bounds.Contains(local)) {
                    if (cw->style & WS_DISABLED) break;
                    local = TPoint{local.X - cw->bounds.Left, local.Y - cw->bounds.Top};
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
    case WM_CANCELMODE:
        if (m_capture == h) release_capture();
        return 0;
    case WM_ACTIVATE:
        if (w != WA_INACTIVE && get_top_level(m_focus) != h) set_focus(h);
        return 0;
    case WM_SETCURSOR: {
        // A parent may decide for its children, as in the original system.
        if (win->parent != kNoWindow && send_message(win->parent, WM_SETCURSOR, w, l)) return 1;
        win = find(h);
        if (win && win->cursor) {
            set_cursor(*win->cursor);
            return 1;
        }
        if (win && win->top_level()) {
            set_cursor(Cursor{});
            return 1;
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        return win->parent != kNoWindow ? send_message(win->parent, msg, w, l) : 0;
    case WM_PAINT:
        default_paint(h);
        return 0;
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
    for (;;) {
        std::shared_ptr<CrossSend> send;
        {
            std::lock_guard lock(m_mutex);
            if (m_cross.empty()) return;
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
    Window* w = find(m.hwnd);
    if (!w) return 0;
    const LRESULT result = call_proc(*w, m.message, m.wParam, m.lParam);
    if (m.message == WM_PAINT) finish_paint_message(m.hwnd);
    return result;
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
    show_window(h, SW_SHOW);
    set_active_window(h);
    run_loop([&] { return !state->ended && is_window(h); });
    for (HWND t : disabled) enable_window(t, true);
    const int result = state->result;
    if (is_window(h)) show_window(h, SW_HIDE);
    if (is_window(previous_active) && is_visible(previous_active)) set_active_window(previous_active);
    std::erase_if(m_modal, [&](const auto& m) { return m.get() == state; });
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
        if (is_window(top)) {
            bring_window_to_top(top);
            m_host.raise_native(top);
        }
        change_focus(h);
        if (is_window(top)) send_message(top, WM_ACTIVATE, WA_ACTIVE, old_active);
        return m_focus == h ? kNoWindow : m_focus;
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
               !is_child(leaving, t);
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
    if (is_window(old)) send_message(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(h));
    return old;
}

void WindowSystem::release_capture() {
    const HWND old = m_capture;
    if (old == kNoWindow) return;
    m_capture = kNoWindow;
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

void WindowSystem::host_close_request(HWND h) {
    if (is_window(h) && is_enabled(h)) post_message(h, WM_CLOSE);
}

// ---- keyboard and pointer ------------------------------------------------------------

void WindowSystem::set_key_down(std::uint8_t* table, int vk, bool down) {
    std::uint8_t& s = table[vk & 0xFF];
    if (down && !(s & 0x80)) s ^= 0x01;
    s = down ? (s | 0x80) : (s & 0x01);
}

std::int16_t WindowSystem::get_key_state(int vk) const {
    const std::uint8_t s = m_key_state[vk & 0xFF];
    return static_cast<std::int16_t>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

std::int16_t WindowSystem::get_async_key_state(int vk) const {
    const std::uint8_t s = m_async_key_state[vk & 0xFF];
    return static_cast<std::int16_t>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

void WindowSystem::set_cursor_pos(TPoint p) {
    m_cursor_pos = p;
    m_host.set_cursor_pos(p);
    queue_mouse_move(p);
}

void WindowSystem::set_cursor(const Cursor& cursor) {
    if (cursor == m_cursor) return;
    m_cursor = cursor;
    m_host.set_cursor(cursor);
}

void WindowSystem::set_window_cursor(HWND h, const Cursor& cursor) {
    if (Window* w = find(h)) w->cursor = cursor;
}

WPARAM WindowSystem::mouse_key_flags() const {
    WPARAM f = 0;
    if (get_key_state(VK_LBUTTON) < 0) f |= MK_LBUTTON;
    if (get_key_state(VK_RBUTTON) < 0) f |= MK_RBUTTON;
    if (get_key_state(VK_MBUTTON) < 0) f |= MK_MBUTTON;
    if (get_key_state(VK_SHIFT) < 0) f |= MK_SHIFT;
    if (get_key_state(VK_CONTROL) < 0) f |= MK_CONTROL;
    return f;
}

void WindowSystem::queue_key(int vk, bool down) {
    RawInput r;
    r.kind = RawInput::Kind::key;
    r.vk = vk & 0xFF;
    r.down = down;
    r.time = clock().now_ms();
    std::lock_guard lock(m_mutex);
    set_key_down(m_async_key_state, r.vk, down);
    m_input.push_back(r);
    // Keys that type control characters: no keyboard layout reports them as
    // text, yet edits and the grid expect their WM_CHAR as on the original system.
    const bool ctrl = m_async_key_state[VK_CONTROL] & 0x80;
    const bool alt = m_async_key_state[VK_MENU] & 0x80;
    int ch = 0;
    if (down && !alt) {
        if (r.vk == VK_RETURN) ch = 13;
        else if (r.vk == VK_BACK) ch = 8;
        else if (r.vk == VK_TAB) ch = 9;
        else if (r.vk == VK_ESCAPE) ch = 27;
        else if (ctrl && r.vk >= 'A' && r.vk <= 'Z') ch = r.vk - 'A' + 1;
    }
    if (ch) {
        RawInput c;
        c.kind = RawInput::Kind::character;
        c.ch = static_cast<unsigned char>(ch);
        c.time = r.time;
        m_input.push_back(c);
    }
}

void WindowSystem::queue_char(unsigned char c) {
    RawInput r;
    r.kind = RawInput::Kind::character;
    r.ch = c;
    r.time = clock().now_ms();
    std::lock_guard lock(m_mutex);
    m_input.push_back(r);
}

void WindowSystem::queue_mouse_move(TPoint screen) {
    std::lock_guard lock(m_mutex);
    m_cursor_pos = screen;
    // Moves pile up faster than anyone paints; only the latest one matters.
    if (!m_input.empty() && m_input.back().kind == RawInput::Kind::move) {
        m_input.back().pt = screen;
        m_input.back().time = clock().now_ms();
        return;
    }
    RawInput r;
    r.kind = RawInput::Kind::move;
    r.pt = screen;
    r.time = clock().now_ms();
    m_input.push_back(r);
}

void WindowSystem::queue_mouse_button(MouseButton button, bool down, TPoint screen) {
    RawInput r;
    r.kind = RawInput::Kind::button;
    r.button = button;
    r.down = down;
    r.pt = screen;
    r.time = clock().now_ms();
    std::lock_guard lock(m_mutex);
    m_cursor_pos = screen;
    set_key_down(m_async_key_state, button_vk(button), down);
    m_input.push_back(r);
}

void WindowSystem::queue_mouse_wheel(int delta, TPoint screen) {
    RawInput r;
    r.kind = RawInput::Kind::wheel;
    r.delta = delta;
    r.pt = screen;
    r.time = clock().now_ms();
    std::lock_guard lock(m_mutex);
    m_cursor_pos = screen;
    m_input.push_back(r);
}

bool WindowSystem::take_input(Msg& msg, HWND filter, UINT min, UINT max, unsigned remove) {
    for (auto it = m_ready_input.begin(); it != m_ready_input.end(); ++it) {
        if (!matches(*it, filter, min, max)) continue;
        msg = *it;
        if (remove & PM_REMOVE) m_ready_input.erase(it);
        return true;
    }
    for (;;) {
        RawInput raw;
        {
            std::lock_guard lock(m_mutex);
            if (m_input.empty()) return false;
            raw = m_input.front();
            m_input.pop_front();
        }
        Msg m;
        if (!translate_raw_input(raw, m)) continue;
        if (matches(m, filter, min, max)) {
            msg = m;
            if (!(remove & PM_REMOVE)) m_ready_input.push_back(m);
            return true;
        }
        m_ready_input.push_back(m);
    }
}

bool WindowSystem::translate_raw_input(const RawInput& raw, Msg& msg) {
    msg = Msg{};
    msg.time = raw.time;
    msg.pt = raw.kind == RawInput::Kind::key || raw.kind == RawInput::Kind::character ? m_cursor_pos : raw.pt;
    switch (raw.kind) {
    case RawInput::Kind::key: {
        const bool was_down = get_key_state(raw.vk) < 0;
        set_key_down(m_key_state, raw.vk, raw.down);
        const bool alt = get_key_state(VK_MENU) < 0 || (raw.vk == VK_MENU && !raw.down);
        const bool ctrl = get_key_state(VK_CONTROL) < 0;
        LPARAM flags = 1;
        if (alt) flags |= KF_ALTDOWN;
        if (was_down) flags |= KF_REPEAT;
        if (!raw.down) flags |= KF_UP;
        // F10 and keys with Alt (but not AltGr-like Ctrl+Alt) are system keys.
        const bool sys = raw.vk == VK_F10 || raw.vk == VK_MENU || (alt && !ctrl);
        msg.hwnd = m_focus != kNoWindow ? m_focus : m_active;
        msg.message = raw.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        msg.wParam = static_cast<WPARAM>(raw.vk);
        msg.lParam = flags;
        if (run_keyboard_hooks(raw.vk, flags)) {
            if (raw.down) m_drop_chars = true;
            return false;
        }
        if (raw.down) m_drop_chars = false;
        return msg.hwnd != kNoWindow;
    }
    case RawInput::Kind::character: {
        if (m_drop_chars) return false;
        msg.hwnd = m_focus != kNoWindow ? m_focus : m_active;
        const bool alt = get_key_state(VK_MENU) < 0 && get_key_state(VK_CONTROL) >= 0;
        msg.message = alt ? WM_SYSCHAR : WM_CHAR;
        msg.wParam = raw.ch;
        msg.lParam = 1 | (alt ? KF_ALTDOWN : 0);
        return msg.hwnd != kNoWindow;
    }
    case RawInput::Kind::wheel: {
        msg.hwnd = m_focus != kNoWindow ? m_focus : m_active;
        msg.message = WM_MOUSEWHEEL;
        msg.wParam = make_wparam(static_cast<int>(mouse_key_flags()), raw.delta);
        msg.lParam = make_lparam(raw.pt.X, raw.pt.Y);
        if (msg.hwnd == kNoWindow) return false;
        MouseHookInfo info{raw.pt, msg.hwnd};
        return !run_mouse_hooks(msg.message, info);
    }
    case RawInput::Kind::move:
    case RawInput::Kind::button: {
        const bool button = raw.kind == RawInput::Kind::button;
        if (button) set_key_down(m_key_state, button_vk(raw.button), raw.down);
        const HWND under = window_from_point(raw.pt);
        update_hover(under);
        const HWND target = m_capture != kNoWindow ? m_capture : under;
        if (target == kNoWindow) return false;
        if (m_capture == kNoWindow && !can_receive_input(target)) return false;
        bool dbl = false;
        if (button && raw.down) {
            const Window* w = find(target);
            const auto& last = m_last_click;
            dbl = w->double_clicks && last.valid && last.hwnd == target && last.button == raw.button &&
                  raw.time - last.time <= m_double_click_ms && std::abs(raw.pt.X - last.pt.X) <= 2 &&
                  std::abs(raw.pt.Y - last.pt.Y) <= 2;
            if (dbl)
                m_last_click.valid = false;
            else
                m_last_click = LastClick{target, raw.button, raw.time, raw.pt, true};
        }
        msg.hwnd = target;
        msg.message = button ? button_message(raw.button, raw.down, dbl) : WM_MOUSEMOVE;
        msg.wParam = mouse_key_flags();
        const TPoint local = screen_to_client(target, raw.pt);
        msg.lParam = make_lparam(local.X, local.Y);
        MouseHookInfo info{raw.pt, target};
        if (run_mouse_hooks(msg.message, info)) return false;
        if (!is_window(target)) return false;
        if (m_capture == kNoWindow)
            send_message(target, WM_SETCURSOR, target, make_lparam(1, static_cast<int>(msg.message)));
        if (button && raw.down) {
            // A press on another form activates it; popups that never
            // activate leave the focus where it is.
            const HWND top = get_top_level(target);
            if (top != m_active && !is_popup_that_never_activates(top) && is_enabled(top))
                activate_window(top, WA_CLICKACTIVE);
        }
        return is_window(target);
    }
    }
    return false;
}

bool WindowSystem::can_receive_input(HWND h) const {
    for (const Window* w = find(h); w; w = find(w->parent))
        if (w->style & WS_DISABLED) return false;
    return true;
}

void WindowSystem::update_hover(HWND under) {
    if (under == m_hover) return;
    const HWND old = m_hover;
    m_hover = under;
    if (is_window(old)) send_message(old, CM_MOUSELEAVE);
    if (m_hover == under && is_window(under)) send_message(under, CM_MOUSEENTER);
}

// ---- hooks ----------------------------------------------------------------------------

HHOOK WindowSystem::set_windows_hook(HookKind kind, HookProc proc) {
    if (!proc) return 0;
    Hook hook;
    hook.handle = m_next_hook++;
    hook.kind = kind;
    hook.proc = std::make_shared<const HookProc>(std::move(proc));
    m_hooks.push_back(std::move(hook));
    return m_hooks.back().handle;
}

bool WindowSystem::unhook_windows_hook(HHOOK handle) {
    auto it = std::find_if(m_hooks.begin(), m_hooks.end(), [&](const Hook& h) { return h.handle == handle; });
    if (it == m_hooks.end() || it->removed) return false;
    it->removed = true;
    if (m_hook_depth == 0) m_hooks.erase(it);
    return true;
}

LRESULT WindowSystem::call_hook_from(std::size_t index, HookKind kind, int code, WPARAM w, LPARAM l) {
    // index is one past the hook to start looking at (newest first).
    while (index > 0) {
        --index;
        const Hook& hook = m_hooks[index];
        if (hook.kind != kind || hook.removed) continue;
        const auto proc = hook.proc;
        ++m_hook_depth;
        struct Leave {
            WindowSystem& ws;
            ~Leave() {
                if (--ws.m_hook_depth == 0) std::erase_if(ws.m_hooks, [](const Hook& h) { return h.removed; });
            }
        } leave{*this};
        return (*proc)(code, w, l);
    }
    return 0;
}

LRESULT WindowSystem::call_next_hook(HHOOK handle, int code, WPARAM w, LPARAM l) {
    auto it = std::find_if(m_hooks.begin(), m_hooks.end(), [&](const Hook& h) { return h.handle == handle; });
    if (it == m_hooks.end()) return 0;
    return call_hook_from(static_cast<std::size_t>(it - m_hooks.begin()), it->kind, code, w, l);
}

bool WindowSystem::run_keyboard_hooks(int vk, LPARAM flags) {
    return call_hook_from(m_hooks.size(), HookKind::keyboard, HC_ACTION, static_cast<WPARAM>(vk), flags) != 0;
}

bool WindowSystem::run_mouse_hooks(UINT msg, const MouseHookInfo& info) {
    return call_hook_from(m_hooks.size(), HookKind::mouse, HC_ACTION, msg, reinterpret_cast<LPARAM>(&info)) != 0;
}

void WindowSystem::run_call_wnd_proc_hooks(HWND h, UINT msg, WPARAM w, LPARAM l) {
    CallWndProcInfo info{l, w, msg, h};
    call_hook_from(m_hooks.size(), HookKind::call_wnd_proc, HC_ACTION, 0, reinterpret_cast<LPARAM>(&info));
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
        if (filter != kNoWindow && !matches(probe, filter, min, max)) continue;
        if (filter == kNoWindow && !matches(probe, kNoWindow, min, max)) continue;
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

// ---- painting --------------------------------------------------------------------------
//
// Each top-level window owns the pixels of itself and its children. A window
// paints through a canvas whose origin is its place in those pixels and whose
// clip is its visible region; what was painted is remembered as changed and
// handed to the host when the queue runs dry, so the screen sees one present
// per burst of painting.

void WindowSystem::on_created(HWND h) {
    Window* w = find(h);
    if (w->top_level()) w->pixels = std::make_unique<TBitmap>(w->bounds.Width(), w->bounds.Height());
}

void WindowSystem::on_destroyed(HWND) {}

void WindowSystem::on_shown(HWND h) { invalidate_rect(h, nullptr, true); }

void WindowSystem::on_hiding(HWND h) {
    const Window* w = find(h);
    if (!w->top_level() && is_visible(h)) invalidate_parent_area(h, w->bounds);
}

void WindowSystem::on_moving(HWND h, const TRect& old_bounds) {
    const Window* w = find(h);
    if (!w->top_level() && is_visible(h)) invalidate_parent_area(h, old_bounds);
}

void WindowSystem::on_moved(HWND h, const TRect& old_bounds) {
    Window* w = find(h);
    if (w->top_level()) {
        if (old_bounds.Width() == w->bounds.Width() && old_bounds.Height() == w->bounds.Height()) return;
        w->pixels->SetSize(w->bounds.Width(), w->bounds.Height());
    }
    invalidate_rect(h, nullptr, true);
}

void WindowSystem::on_visual_change(HWND h) { invalidate_rect(h, nullptr, true); }

void WindowSystem::invalidate_parent_area(HWND h, const TRect& bounds) {
    const HWND parent = get_parent(h);
    if (parent == kNoWindow) return;
    invalidate_rect(parent, &bounds, false);
    // Siblings that lay under the window show through now.
    for (HWND c : children(parent)) {
        if (c == h || !is_visible(c)) continue;
        const TRect cb = get_bounds(c);
        const TRect common = gfx::intersect(cb, bounds);
        if (common.IsEmpty()) continue;
        const TRect local = gfx::offset(common, -cb.Left, -cb.Top);
        invalidate_rect(c, &local, true);
    }
}

void WindowSystem::invalidate_rect(HWND h, const TRect* r, bool include_children) {
    Window* w = find(h);
    if (!w || !is_visible(h)) return;
    const TRect client{0, 0, w->bounds.Width(), w->bounds.Height()};
    const TRect area = r ? gfx::intersect(*r, client) : client;
    if (area.IsEmpty()) return;
    w->update.add(area);
    if (!include_children) return;
    for (HWND c : w->children) {
        const TRect cb = get_bounds(c);
        const TRect common = gfx::intersect(cb, area);
        if (common.IsEmpty()) continue;
        const TRect local = gfx::offset(common, -cb.Left, -cb.Top);
        invalidate_rect(c, &local, true);
    }
}

void WindowSystem::validate_rect(HWND h, const TRect* r) {
    Window* w = find(h);
    if (!w) return;
    if (r)
        w->update.subtract(*r);
    else
        w->update.clear();
}

gfx::Region WindowSystem::get_update_region(HWND h) const {
    const Window* w = find(h);
    return w ? w->update : gfx::Region{};
}

bool WindowSystem::get_update_rect(HWND h, TRect& r) const {
    const Window* w = find(h);
    r = w ? w->update.bounds() : TRect{};
    return w && !w->update.empty();
}

HWND WindowSystem::find_window_to_paint(HWND h) const {
    const Window* w = find(h);
    if (!w || !(w->style & WS_VISIBLE)) return kNoWindow;
    if (!w->update.empty()) return h;
    for (HWND c : w->children)
        if (HWND found = find_window_to_paint(c)) return found;
    return kNoWindow;
}

bool WindowSystem::take_paint(Msg& msg, HWND filter, UINT min, UINT max) const {
    if (!(min == 0 && max == 0) && (WM_PAINT < min || WM_PAINT > max)) return false;
    const std::vector<HWND> roots = filter != kNoWindow ? std::vector<HWND>{filter} : m_top_levels;
    for (HWND root : roots) {
        if (!is_visible(root)) continue;
        if (HWND h = find_window_to_paint(root)) {
            msg = Msg{};
            msg.hwnd = h;
            msg.message = WM_PAINT;
            msg.time = clock().now_ms();
            msg.pt = m_cursor_pos;
            return true;
        }
    }
    return false;
}

void WindowSystem::update_window(HWND h) {
    while (HWND p = find_window_to_paint(h)) {
        if (!is_visible(p)) break;
        send_message(p, WM_PAINT);
        finish_paint_message(p);
    }
}

void WindowSystem::finish_paint_message(HWND h) {
    // A procedure that ignored WM_PAINT would otherwise be asked again and
    // again; what it did not paint is given up.
    if (Window* w = find(h)) w->update.clear();
}

void WindowSystem::default_paint(HWND h) {
    PaintStruct ps;
    begin_paint(h, ps);
    end_paint(h, ps);
}

gfx::Region WindowSystem::visible_region(HWND h) const {
    const Window* w = find(h);
    if (!w || !is_visible(h)) return {};
    gfx::Region region(TRect{0, 0, w->bounds.Width(), w->bounds.Height()});
    for (HWND c : w->children) {
        const Window* cw = find(c);
        if (cw->style & WS_VISIBLE) region.subtract(cw->bounds);
    }
    // Walk up: clip to each parent and cut away the siblings in front.
    int dx = 0, dy = 0;  // offset of h's client origin in the current ancestor
    for (const Window* a = w; a->parent != kNoWindow;) {
        const Window* parent = find(a->parent);
        dx += a->bounds.Left;
        dy += a->bounds.Top;
        region.intersect(TRect{-dx, -dy, parent->bounds.Width() - dx, parent->bounds.Height() - dy});
        for (HWND s : parent->children) {
            if (s == a->handle) break;
            const Window* sw = find(s);
            if (sw->style & WS_VISIBLE) region.subtract(gfx::offset(sw->bounds, -dx, -dy));
        }
        a = parent;
    }
    return region;
}

std::unique_ptr<TCanvas> WindowSystem::make_canvas(HWND h) {
    const HWND top = get_top_level(h);
    Window* tw = find(top);
    auto canvas = std::make_unique<TCanvas>(tw->pixels->surface());
    const TPoint origin = client_to_screen(h, TPoint{0, 0});
    canvas->set_origin(TPoint{origin.X - tw->bounds.Left, origin.Y - tw->bounds.Top});
    canvas->set_clip_region(visible_region(h));
    return canvas;
}

TCanvas& WindowSystem::begin_paint(HWND h, PaintStruct& ps) {
    Window* w = find(h);
    if (!w) {
        // Painting a window that is gone draws nowhere.
        ps.rcPaint = TRect{};
        ps.canvas = std::make_unique<TCanvas>();
        ps.canvas->set_clip_region(gfx::Region{});
        return *ps.canvas;
    }
    gfx::Region area = visible_region(h);
    area.intersect(w->update);
    ps.rcPaint = w->update.bounds();
    w->update.clear();
    ps.canvas = make_canvas(h);
    ps.canvas->set_clip_region(area);
    return *ps.canvas;
}

void WindowSystem::end_paint(HWND h, PaintStruct& ps) {
    if (ps.canvas && ps.canvas->clip_region() && is_window(h)) mark_changed(h, *ps.canvas->clip_region());
    ps.canvas.reset();
}

void WindowSystem::mark_changed(HWND h, const gfx::Region& client_region) {
    const HWND top = get_top_level(h);
    Window* tw = find(top);
    if (!tw || client_region.empty()) return;
    gfx::Region r = client_region;
    const TPoint origin = client_to_screen(h, TPoint{0, 0});
    r.offset(origin.X - tw->bounds.Left, origin.Y - tw->bounds.Top);
    tw->changed.add(r);
}

void WindowSystem::present_changes() {
    for (HWND t : m_top_levels) {
        Window* w = find(t);
        if (w->changed.empty()) continue;
        if (w->style & WS_VISIBLE) {
            // Many small rectangles cost more to present than their bounds.
            std::vector<TRect> rects = w->changed.rects();
            if (rects.size() > 16) rects = {w->changed.bounds()};
            m_host.present(t, *w->pixels, rects);
        }
        w->changed.clear();
    }
}

WindowDC WindowSystem::get_dc(HWND h) {
    if (!is_window(h)) {
        auto canvas = std::make_unique<TCanvas>();
        canvas->set_clip_region(gfx::Region{});
        return WindowDC(*this, kNoWindow, std::move(canvas));
    }
    return WindowDC(*this, h, make_canvas(h));
}

WindowDC::WindowDC(WindowSystem& ws, HWND h, std::unique_ptr<TCanvas> canvas)
    : m_ws(&ws), m_hwnd(h), m_canvas(std::move(canvas)) {}

WindowDC::WindowDC(WindowDC&& other) noexcept
    : m_ws(other.m_ws), m_hwnd(other.m_hwnd), m_canvas(std::move(other.m_canvas)) {
    other.m_hwnd = kNoWindow;
}

WindowDC::~WindowDC() {
    if (m_hwnd != kNoWindow && m_canvas && m_ws->is_window(m_hwnd) && m_canvas->clip_region())
        m_ws->mark_changed(m_hwnd, *m_canvas->clip_region());
}

gfx::Region WindowSystem::scroll_window(HWND h, int dx, int dy, const TRect* scroll, const TRect* clip) {
    Window* w = find(h);
    if (!w || !is_visible(h) || (dx == 0 && dy == 0)) return {};
    const TRect client{0, 0, w->bounds.Width(), w->bounds.Height()};
    const TRect s = scroll ? gfx::intersect(*scroll, client) : client;
    const TRect c = clip ? gfx::intersect(*clip, client) : client;
    const TRect area = gfx::intersect(s, c);
    if (area.IsEmpty()) return {};
    gfx::Region visible = visible_region(h);
    auto canvas = make_canvas(h);
    canvas->ScrollRect(dx, dy, s, c);
    // Only pixels that were on view can be moved; whatever lands where the
    // source was hidden (or outside) is painted afresh.
    gfx::Region moved = visible;
    moved.intersect(s);
    moved.intersect(c);
    moved.offset(dx, dy);
    gfx::Region invalid(area);
    invalid.intersect(visible);
    gfx::Region landed = invalid;
    invalid.subtract(moved);
    // A pending update moves with the pixels it belongs to.
    gfx::Region pending = w->update;
    pending.intersect(area);
    w->update.subtract(area);
    pending.offset(dx, dy);
    pending.intersect(area);
    w->update.add(pending);
    w->update.add(invalid);
    mark_changed(h, landed);
    return invalid;
}

const TBitmap* WindowSystem::window_pixels(HWND top) const {
    const Window* w = find(top);
    return w && w->top_level() ? w->pixels.get() : nullptr;
}

}  // namespace ui
