// Windows whose procedures write what they receive into a shared log, so a
// test can state the exact order of messages across windows.
#pragma once

#include "platform/ui/HeadlessHost.h"

#include <set>
#include <string>
#include <vector>

namespace ui::test {

inline std::string message_name(UINT m) {
    switch (m) {
    case WM_CREATE: return "CREATE";
    case WM_DESTROY: return "DESTROY";
    case WM_SIZE: return "SIZE";
    case WM_MOVE: return "MOVE";
    case WM_ACTIVATE: return "ACTIVATE";
    case WM_ACTIVATEAPP: return "ACTIVATEAPP";
    case WM_SETFOCUS: return "SETFOCUS";
    case WM_KILLFOCUS: return "KILLFOCUS";
    case WM_PAINT: return "PAINT";
    case WM_CLOSE: return "CLOSE";
    case WM_SHOWWINDOW: return "SHOWWINDOW";
    case WM_CANCELMODE: return "CANCELMODE";
    case WM_KEYDOWN: return "KEYDOWN";
    case WM_KEYUP: return "KEYUP";
    case WM_CHAR: return "CHAR";
    case WM_SYSKEYDOWN: return "SYSKEYDOWN";
    case WM_SYSKEYUP: return "SYSKEYUP";
    case WM_SYSCHAR: return "SYSCHAR";
    case WM_TIMER: return "TIMER";
    case WM_MOUSEMOVE: return "MOUSEMOVE";
    case WM_LBUTTONDOWN: return "LBUTTONDOWN";
    case WM_LBUTTONUP: return "LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "RBUTTONDOWN";
    case WM_RBUTTONUP: return "RBUTTONUP";
    case WM_MBUTTONDOWN: return "MBUTTONDOWN";
    case WM_MBUTTONUP: return "MBUTTONUP";
    case WM_MOUSEWHEEL: return "MOUSEWHEEL";
    case WM_CAPTURECHANGED: return "CAPTURECHANGED";
    case CM_MOUSEENTER: return "MOUSEENTER";
    case CM_MOUSELEAVE: return "MOUSELEAVE";
    default: return std::to_string(m);
    }
}

using Log = std::vector<std::string>;

// Messages every test may watch; the rest (SETCURSOR, NCDESTROY, …) would only add noise.
inline const std::set<UINT>& default_watched() {
    static const std::set<UINT> watched{WM_ACTIVATE,   WM_SETFOCUS,      WM_KILLFOCUS,  WM_KEYDOWN,     WM_KEYUP,
                                        WM_CHAR,       WM_SYSKEYDOWN,    WM_SYSKEYUP,   WM_SYSCHAR,     WM_TIMER,
                                        WM_LBUTTONDOWN, WM_LBUTTONUP,    WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                        WM_MBUTTONDOWN, WM_MBUTTONUP,    WM_MOUSEWHEEL, WM_CAPTURECHANGED, WM_CANCELMODE,
                                        CM_MOUSEENTER, CM_MOUSELEAVE,    WM_CLOSE,      WM_DESTROY,     WM_ACTIVATEAPP};
    return watched;
}

// A procedure that logs "name:MESSAGE" and then does the default.
inline WndProc logging_proc(Log& log, std::string name, std::set<UINT> watched = default_watched()) {
    return [&log, name, watched](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (watched.count(m)) log.push_back(name + ":" + message_name(m));
        return WindowSystem::current().def_window_proc(h, m, w, l);
    };
}

inline HWND make_top(WindowSystem& ws, TRect bounds, WndProc proc = {}, std::uint32_t ex_style = 0,
                     bool visible = true, HWND owner = kNoWindow) {
    CreateParams p;
    p.bounds = bounds;
    p.style = WS_POPUP | (visible ? WS_VISIBLE : 0);
    p.ex_style = ex_style;
    p.proc = std::move(proc);
    p.owner = owner;
    return ws.create_window(p);
}

inline HWND make_child(WindowSystem& ws, HWND parent, TRect bounds, WndProc proc = {}, bool visible = true) {
    CreateParams p;
    p.parent = parent;
    p.bounds = bounds;
    p.style = WS_CHILD | (visible ? WS_VISIBLE : 0);
    p.proc = std::move(proc);
    return ws.create_window(p);
}

// A popup of the kind menus and hints are: top-most, never activated.
inline HWND make_popup(WindowSystem& ws, TRect bounds, WndProc proc = {}, HWND owner = kNoWindow) {
    CreateParams p;
    p.bounds = bounds;
    p.style = WS_POPUP;
    p.ex_style = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
    p.proc = std::move(proc);
    p.owner = owner;
    const HWND h = ws.create_window(p);
    ws.show_window(h, SW_SHOWNOACTIVATE);
    return h;
}

}  // namespace ui::test
