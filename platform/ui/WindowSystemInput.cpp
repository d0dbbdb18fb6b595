// Input routing: raw input from the host becomes window messages when the
// loop takes it; keyboard, mouse and call-window-procedure hooks.
//
// Invariants:
//  - Raw input is routed when taken, never when queued, so a focus or
//    capture change made by one message already routes the next.
//  - Without a capture a mouse message goes to the window under the
//    pointer, as a non-client message outside its client area; with one, to
//    the capture holder in its client coordinates.
//  - A hook removed while hooks run is skipped at once and erased when the
//    outermost hook call returns.
#include "platform/ui/WindowSystemDetail.h"

#include "platform/classes/ScopeExit.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

namespace {

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

// ---- keyboard and pointer ------------------------------------------------------------

void WindowSystem::set_key_down(std::uint8_t* table, int vk, bool down) {
    std::uint8_t& s = table[vk & 0xFF];
    if (down && !(s & 0x80)) s ^= 0x01;
    s = down ? (s | 0x80) : (s & 0x01);
}

void WindowSystem::set_async_key_down(int vk, bool down) {
    // Writers hold m_mutex; readers on other threads see one whole value.
    std::uint8_t s = m_async_key_state[vk & 0xFF].load();
    set_key_down(&s, 0, down);  // the one entry, as a table of one
    m_async_key_state[vk & 0xFF].store(s);
}

std::int16_t WindowSystem::get_key_state(int vk) const {
    const std::uint8_t s = m_key_state[vk & 0xFF];
    return static_cast<std::int16_t>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

std::int16_t WindowSystem::get_async_key_state(int vk) const {
    const std::uint8_t s = m_async_key_state[vk & 0xFF];
    return static_cast<std::int16_t>(((s & 0x80) ? 0x8000 : 0) | (s & 0x01));
}

std::int16_t WindowSystem::key_for_char(unsigned char cp1251) const { return m_host.key_for_char(cp1251); }

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
    set_async_key_down(r.vk, down);
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
    set_async_key_down(button_vk(button), down);
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
        // A disabled form (below a modal one) swallows the pointer rather
        // than letting it through to whatever lies behind it.
        const HWND under = window_at(raw.pt, false);
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
        // Without a capture the window says which part of it is under the
        // pointer; outside its client area the message is a non-client one
        // with the part's code and the screen point.
        int hit = HTCLIENT;
        if (m_capture == kNoWindow) {
            hit = static_cast<int>(send_message(target, WM_NCHITTEST, 0, make_lparam(raw.pt.X, raw.pt.Y)));
            if (!is_window(target)) return false;
        }
        const UINT client_message = msg.message;
        if (hit == HTCLIENT) {
            msg.wParam = mouse_key_flags();
            const TPoint local = screen_to_client(target, raw.pt);
            msg.lParam = make_lparam(local.X, local.Y);
        } else {
            msg.message = nc_mouse_message(msg.message);
            msg.wParam = static_cast<WPARAM>(hit);
            msg.lParam = make_lparam(raw.pt.X, raw.pt.Y);
        }
        MouseHookInfo info{raw.pt, target, hit};
        if (run_mouse_hooks(msg.message, info)) return false;
        if (!is_window(target)) return false;
        if (m_capture == kNoWindow)
            send_message(target, WM_SETCURSOR, target, make_lparam(hit, static_cast<int>(client_message)));
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
        ScopeExit leave([this] {
            if (--m_hook_depth == 0) std::erase_if(m_hooks, [](const Hook& h) { return h.removed; });
        });
        return guarded([&] { return (*proc)(code, w, l); });
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

}  // namespace ui
