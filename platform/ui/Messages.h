// Message identifiers, virtual-key codes and the packing of message
// parameters. The values are those of the Windows window system so that the
// grid and the bar manager, written against that system, read naturally:
// WM_KEYDOWN is 0x0100, VK_F1 is 112, the key "W" is 87. Only the messages
// this program uses are listed; a window procedure must pass anything it does
// not handle to def_window_proc.
#pragma once

#include <cstdint>

namespace ui {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// A window handle. Handles are never reused while the program runs, so a
// stale handle is simply invalid rather than pointing at someone else's window.
using HWND = std::uint32_t;
inline constexpr HWND kNoWindow = 0;

// ---- window messages ----------------------------------------------------
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
// Never sent here: a window's WM_PAINT paints its background itself. The id
// stays for code written against the original system that answers it.
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_ACTIVATEAPP = 0x001C;
inline constexpr UINT WM_CANCELMODE = 0x001F;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_NCDESTROY = 0x0082;
// lParam: a TRect* holding the window's bounds (its parent's client
// coordinates); the procedure shrinks it to where the client area goes.
inline constexpr UINT WM_NCCALCSIZE = 0x0083;
// lParam: the screen point; the result is an HT* code.
inline constexpr UINT WM_NCHITTEST = 0x0084;
// The frame needs painting: draw it through get_window_dc.
inline constexpr UINT WM_NCPAINT = 0x0085;
// Non-client mouse messages: wParam the HT* code, lParam the screen point.
inline constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
inline constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr UINT WM_NCLBUTTONUP = 0x00A2;
inline constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
inline constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
inline constexpr UINT WM_NCRBUTTONUP = 0x00A5;
inline constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
inline constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
inline constexpr UINT WM_NCMBUTTONUP = 0x00A8;
inline constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
inline constexpr UINT WM_COMMAND = 0x0111;
// wParam an SC_* command; the default procedure carries it out.
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

// Windows reports the pointer entering a window only to those who ask; our
// windows always get both notifications, under the framework's own ids.
inline constexpr UINT CM_MOUSEENTER = 0xB013;
inline constexpr UINT CM_MOUSELEAVE = 0xB014;

inline constexpr bool is_key_message(UINT m) { return m >= WM_KEYDOWN && m <= WM_SYSCHAR; }
inline constexpr bool is_mouse_message(UINT m) { return m >= WM_MOUSEMOVE && m <= WM_MOUSEWHEEL; }
inline constexpr bool is_nc_mouse_message(UINT m) { return m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK; }
// The non-client counterpart of a client mouse message (WM_MOUSEWHEEL has none).
inline constexpr UINT nc_mouse_message(UINT m) { return m - WM_MOUSEMOVE + WM_NCMOUSEMOVE; }

// WM_NCHITTEST results.
inline constexpr int HTERROR = -2;
inline constexpr int HTTRANSPARENT = -1;
inline constexpr int HTNOWHERE = 0;
inline constexpr int HTCLIENT = 1;
inline constexpr int HTCAPTION = 2;
inline constexpr int HTSYSMENU = 3;
inline constexpr int HTGROWBOX = 4;
inline constexpr int HTMENU = 5;
inline constexpr int HTHSCROLL = 6;
inline constexpr int HTVSCROLL = 7;
inline constexpr int HTMINBUTTON = 8;
inline constexpr int HTMAXBUTTON = 9;
inline constexpr int HTLEFT = 10;
inline constexpr int HTRIGHT = 11;
inline constexpr int HTTOP = 12;
inline constexpr int HTTOPLEFT = 13;
inline constexpr int HTTOPRIGHT = 14;
inline constexpr int HTBOTTOM = 15;
inline constexpr int HTBOTTOMLEFT = 16;
inline constexpr int HTBOTTOMRIGHT = 17;
inline constexpr int HTBORDER = 18;
inline constexpr int HTCLOSE = 20;

// WM_SYSCOMMAND commands.
inline constexpr WPARAM SC_SIZE = 0xF000;
inline constexpr WPARAM SC_MOVE = 0xF010;
inline constexpr WPARAM SC_MINIMIZE = 0xF020;
inline constexpr WPARAM SC_MAXIMIZE = 0xF030;
inline constexpr WPARAM SC_CLOSE = 0xF060;
inline constexpr WPARAM SC_RESTORE = 0xF120;

// WM_COMMAND notification codes (the high word of wParam; lParam is the child window).
inline constexpr int BN_CLICKED = 0;
inline constexpr int EN_SETFOCUS = 0x0100;
inline constexpr int EN_KILLFOCUS = 0x0200;
inline constexpr int EN_CHANGE = 0x0300;
inline constexpr int EN_UPDATE = 0x0400;

// WM_ACTIVATE
inline constexpr WPARAM WA_INACTIVE = 0;
inline constexpr WPARAM WA_ACTIVE = 1;
inline constexpr WPARAM WA_CLICKACTIVE = 2;

// WM_SIZE
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

// Mouse message wParam flags.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;

inline constexpr int WHEEL_DELTA = 120;

// Key message lParam bits.
inline constexpr LPARAM KF_ALTDOWN = LPARAM(1) << 29;
inline constexpr LPARAM KF_REPEAT = LPARAM(1) << 30;
inline constexpr LPARAM KF_UP = LPARAM(1) << 31;

// ---- virtual-key codes ----------------------------------------------------
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
inline constexpr int VK_CANCEL = 0x03;
inline constexpr int VK_MBUTTON = 0x04;
inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_CLEAR = 0x0C;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_SNAPSHOT = 0x2C;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
inline constexpr int VK_LWIN = 0x5B;
inline constexpr int VK_RWIN = 0x5C;
inline constexpr int VK_APPS = 0x5D;
inline constexpr int VK_NUMPAD0 = 0x60;
inline constexpr int VK_MULTIPLY = 0x6A;
inline constexpr int VK_ADD = 0x6B;
inline constexpr int VK_SUBTRACT = 0x6D;
inline constexpr int VK_DECIMAL = 0x6E;
inline constexpr int VK_DIVIDE = 0x6F;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F2 = 0x71;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F4 = 0x73;
inline constexpr int VK_F5 = 0x74;
inline constexpr int VK_F6 = 0x75;
inline constexpr int VK_F7 = 0x76;
inline constexpr int VK_F8 = 0x77;
inline constexpr int VK_F9 = 0x78;
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F11 = 0x7A;
inline constexpr int VK_F12 = 0x7B;
inline constexpr int VK_NUMLOCK = 0x90;
inline constexpr int VK_SCROLL = 0x91;
inline constexpr int VK_LSHIFT = 0xA0;
inline constexpr int VK_RSHIFT = 0xA1;
inline constexpr int VK_LCONTROL = 0xA2;
inline constexpr int VK_RCONTROL = 0xA3;
inline constexpr int VK_LMENU = 0xA4;
inline constexpr int VK_RMENU = 0xA5;
inline constexpr int VK_OEM_1 = 0xBA;       // ;:
inline constexpr int VK_OEM_PLUS = 0xBB;    // =+
inline constexpr int VK_OEM_COMMA = 0xBC;
inline constexpr int VK_OEM_MINUS = 0xBD;
inline constexpr int VK_OEM_PERIOD = 0xBE;
inline constexpr int VK_OEM_2 = 0xBF;       // /?
inline constexpr int VK_OEM_3 = 0xC0;       // `~
inline constexpr int VK_OEM_4 = 0xDB;       // [{
inline constexpr int VK_OEM_5 = 0xDC;       // \|
inline constexpr int VK_OEM_6 = 0xDD;       // ]}
inline constexpr int VK_OEM_7 = 0xDE;       // '"

// ---- hooks ------------------------------------------------------------------
inline constexpr int HC_ACTION = 0;

// ---- parameter packing --------------------------------------------------------
inline constexpr LPARAM make_lparam(int lo, int hi) {
    return static_cast<LPARAM>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(lo))) |
                               (static_cast<std::uint32_t>(static_cast<std::uint16_t>(hi)) << 16));
}
inline constexpr WPARAM make_wparam(int lo, int hi) {
    return static_cast<WPARAM>(static_cast<std::uint32_t>(make_lparam(lo, hi)));
}
inline constexpr int loword(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }
inline constexpr int hiword(std::uintptr_t v) { return static_cast<std::uint16_t>((v >> 16) & 0xFFFF); }
// Coordinates are signed 16-bit: a point left of or above a window is negative.
inline constexpr int get_x_lparam(LPARAM l) { return static_cast<std::int16_t>(l & 0xFFFF); }
inline constexpr int get_y_lparam(LPARAM l) { return static_cast<std::int16_t>((l >> 16) & 0xFFFF); }
inline constexpr int get_wheel_delta_wparam(WPARAM w) { return static_cast<std::int16_t>((w >> 16) & 0xFFFF); }

}  // namespace ui
