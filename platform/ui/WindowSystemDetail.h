// The window system's private records, shared by its implementation files:
// WindowSystem.cpp the window tree, WindowSystemQueue.cpp the queue, loops
// and cross-thread sends, WindowSystemFocus.cpp focus, activation and
// capture, WindowSystemInput.cpp input routing and hooks,
// WindowSystemTimers.cpp timers, WindowSystemPaint.cpp painting.
#pragma once

#include "platform/ui/Host.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>

namespace ui {

struct WindowSystem::Window {
    HWND handle = kNoWindow;
    HWND parent = kNoWindow;
    HWND owner = kNoWindow;
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    TRect bounds;
    // The non-client frame's thickness on each side (Left, Top, Right,
    // Bottom), as WM_NCCALCSIZE last answered; zero for most windows.
    TRect frame{0, 0, 0, 0};
    bool frame_dirty = false;  // WM_NCPAINT is due
    TRect restore_bounds;
    bool maximized = false;
    bool minimized = false;
    // A shaped window: only these pixels (window coordinates) are its own.
    std::optional<gfx::Region> shape;
    AnsiString text;
    std::shared_ptr<const gfx::MaskedImage> icon;
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
    HWND focus_to_restore = kNoWindow;  // top-level only: see WindowSystem::focus_to_restore

    bool top_level() const { return parent == kNoWindow; }
    // Whether a point in the parent's client coordinates (screen for a
    // top-level window) falls on the window, shown and inside its shape.
    bool hit(TPoint in_parent) const;
    bool has_frame() const { return frame.Left || frame.Top || frame.Right || frame.Bottom; }
    // The client area in window coordinates.
    TRect client_in_window() const {
        const int w = bounds.Width(), h = bounds.Height();
        const int left = std::min(frame.Left, w), top = std::min(frame.Top, h);
        return TRect{left, top, std::max(left, w - frame.Right), std::max(top, h - frame.Bottom)};
    }
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
    bool failed = false;  // the handler threw
};

template <typename F>
LRESULT WindowSystem::guarded(F&& f) {
    if (!m_exception_handler) return f();
    try {
        return f();
    } catch (...) {
        // Exceptions never cross the window system: the program's handler
        // hears of them, and the caller gets the neutral result.
        report_exception(std::current_exception());
        return 0;
    }
}

struct WindowSystem::ModalState {
    HWND hwnd = kNoWindow;
    bool ended = false;
    int result = 0;
};

}  // namespace ui
