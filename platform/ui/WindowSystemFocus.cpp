// Focus, activation and mouse capture.
//
// Invariants:
//  - m_focus, m_capture, m_active and m_hover name live windows or none; a
//    window that dies or hides gives them up first (lose_window).
//  - The focus lies in the active window or in no window; popups that never
//    activate never hold it.
//  - A top-level window's focus to restore is only a note: it may name a
//    window since gone or moved (handles are never reused), so it is checked
//    each time it is read, never followed blindly.
#include "platform/ui/WindowSystemDetail.h"

#include "platform/classes/Exception.h"

#include <algorithm>

namespace ui {
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
    // The top-level window itself is where activation puts the focus when
    // nothing better is known; it never hides the control noted before.
    if (Window* top = find(get_top_level(h)); top && top->handle != h) top->focus_to_restore = h;
    if (is_window(old)) send_message(old, WM_KILLFOCUS, h);
    if (m_focus == h && is_window(h)) send_message(h, WM_SETFOCUS, old);
    return old;
}

HWND WindowSystem::focus_to_restore(HWND top) const {
    const Window* w = find(top);
    if (!w || !w->top_level()) return kNoWindow;
    const HWND h = w->focus_to_restore;
    return get_top_level(h) == top && can_take_focus(h) ? h : kNoWindow;
}

void WindowSystem::set_focus_to_restore(HWND h) {
    if (Window* top = find(get_top_level(h)); top && top->handle != h) top->focus_to_restore = h;
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

}  // namespace ui
