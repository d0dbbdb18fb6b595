// What a host does for the window system: it shows top-level windows to
// someone (a real display, or memory), brings in their input and owns time.
// The window system calls the host only on the GUI thread, except wake().
#pragma once

#include "platform/ui/Clock.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Messages.h"
#include "text/AnsiString.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TBitmap;
namespace gfx {
class Region;
}

namespace ui {

class WindowSystem;

struct NativeWindowInfo {
    TRect bounds;  // screen coordinates
    AnsiString title;
    bool popup = false;         // borderless, no frame, no taskbar entry
    bool tool = false;          // a hint or tooltip rather than a menu
    bool topmost = false;
    bool no_activate = false;   // never takes the focus from the form below it
    bool transparent = false;   // an overlay: the pointer goes through it
    bool resizable = false;     // a framed window the user may resize
    bool maximized = false;     // made maximised, at the work area's size
    bool dialog = false;        // a dialog's or fixed tool window's frame: no minimise or maximise
    HWND owner = kNoWindow;     // the top-level window it stays above and goes with
    // A framed window's icon in its title bar and the task bar; none: the desktop's own.
    std::shared_ptr<const gfx::MaskedImage> icon;
};

class Host {
public:
    virtual ~Host() = default;

    virtual WindowSystem& windows() = 0;
    virtual const Clock& clock() const = 0;

    // A top-level window came into being, changed or went away.
    virtual void create_native(HWND h, const NativeWindowInfo& info) = 0;
    virtual void destroy_native(HWND h) = 0;
    virtual void show_native(HWND h, bool visible, bool activate) = 0;
    virtual void move_native(HWND h, const TRect& bounds) = 0;
    virtual void set_native_title(HWND h, const AnsiString& title) = 0;
    virtual void set_native_icon(HWND h, const std::shared_ptr<const gfx::MaskedImage>& icon) = 0;
    virtual void maximize_native(HWND h) = 0;
    virtual void minimize_native(HWND h) = 0;
    // Back from minimised (to the size it had before).
    virtual void restore_native(HWND h) = 0;
    // A shaped window: only the region's pixels (window coordinates) show;
    // nullptr: the whole rectangle again.
    virtual void set_native_shape(HWND h, const gfx::Region* shape) = 0;
    // Brings the window to the front; with focus, it also takes the display's
    // keyboard focus, as raising a window does on most systems.
    virtual void raise_native(HWND h, bool focus) = 0;
    // Gives the display's keyboard focus to a shown window without changing
    // the stacking (popups still open stay above it).
    virtual void focus_native(HWND h) = 0;
    // The pixels of a top-level window changed inside these rectangles (window coordinates).
    virtual void present(HWND h, const TBitmap& pixels, const std::vector<TRect>& changed) = 0;

    // Blocks until input or a wake-up arrives, or until the deadline on the
    // host's clock passes, and queues the input with the window system.
    virtual void wait_for_input(std::optional<std::int64_t> deadline_ms) = 0;
    // Makes a wait_for_input on the GUI thread return; any thread.
    virtual void wake() = 0;

    virtual TRect screen_rect() const = 0;
    // The part of the monitor holding the point that windows may use (without
    // panels and task bars).
    virtual TRect work_area_at(TPoint screen) const = 0;
    virtual void set_cursor(const Cursor& cursor) = 0;
    virtual void set_cursor_pos(TPoint screen) = 0;
    // While a window of ours holds the mouse capture, the pointer is followed
    // beyond our windows too (a column dragged past the form's edge).
    virtual void capture_mouse(bool on) = 0;
    // The key of the current keyboard layout that types a CP1251 character:
    // the key code, plus kShiftForKey when Shift is needed; -1 when none does.
    virtual std::int16_t key_for_char(unsigned char cp1251) const = 0;
    // UTF-8 text for the system clipboard.
    virtual bool set_clipboard_text(const std::string& utf8) = 0;
    // UTF-8 text on the system clipboard; empty when it holds no text.
    virtual std::string clipboard_text() = 0;
};

}  // namespace ui
