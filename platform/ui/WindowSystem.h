// The window system: a tree of windows with window procedures, the message
// queue and its loop, keyboard focus, mouse capture, thread hooks, timers and
// painting. It is modelled on the Windows window system because the grid and
// the bar manager were designed against it: they subclass window procedures,
// swallow keys in a keyboard hook, capture the mouse, run nested loops and
// open top-most popups that never take the focus.
//
// Invariants:
//  - Every operation except send_message, post_message, call_on_gui_thread,
//    signal and the queue_* input calls runs on the thread that created the
//    window system (the GUI thread). A worker that sends waits until the GUI thread has handled the
//    message; the GUI thread handles such sends whenever it looks at its queue
//    or waits in wait_dispatching.
//  - Input arrives from the host as raw events (a key, a character, the
//    pointer at a screen point) and becomes a window message only when the
//    loop takes it from the queue, so a capture or focus change made by one
//    message already routes the next.
//  - Retrieval order: sends from other threads, posted messages, input, paint,
//    timers. Paint and timer messages are made when nothing else waits.
//  - Handles are never reused; every call on an invalid handle does nothing
//    and returns a neutral value.
#pragma once

#include "platform/ui/Clock.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Forward.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Messages.h"
#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"
#include "text/AnsiString.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace ui {


// Window styles (Windows values).
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_CHILD = 0x40000000u;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000u;
// A framed top-level window the user can resize; without it dialogs and
// tool windows keep their size on the real display.
inline constexpr std::uint32_t WS_THICKFRAME = 0x00040000u;
// A framed top-level window made maximised, at its final size.
inline constexpr std::uint32_t WS_MAXIMIZE = 0x01000000u;
// A dialog's frame: the window cannot be minimised or maximised on its own.
inline constexpr std::uint32_t WS_EX_DLGMODALFRAME = 0x00000001u;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008u;
// An overlay: drawn over the other windows, never under the pointer (input
// goes to what lies below it).
inline constexpr std::uint32_t WS_EX_TRANSPARENT = 0x00000020u;
inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080u;
inline constexpr std::uint32_t WS_EX_NOACTIVATE = 0x08000000u;

// show_window commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// peek_message
inline constexpr unsigned PM_NOREMOVE = 0;
inline constexpr unsigned PM_REMOVE = 1;

enum class HookKind { keyboard, mouse, call_wnd_proc };

// What a mouse hook receives through lParam (MOUSEHOOKSTRUCT); wParam is the message.
struct MouseHookInfo {
    TPoint pt;  // screen coordinates
    HWND hwnd = kNoWindow;
    int hit_test = HTCLIENT;  // the part of the window under the pointer
};

// What a call-window-procedure hook receives through lParam (CWPSTRUCT).
struct CallWndProcInfo {
    LPARAM lParam = 0;
    WPARAM wParam = 0;
    UINT message = 0;
    HWND hwnd = kNoWindow;
};

struct Msg {
    HWND hwnd = kNoWindow;
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::int64_t time = 0;
    TPoint pt;  // pointer position in screen coordinates when the message was made
};

struct CreateParams {
    // A child window lives in its parent's client area and moves with it;
    // a window without a parent is top-level (a form, a popup, a hint).
    HWND parent = kNoWindow;
    // A top-level window's owner: owned windows stay above their owner and go with it.
    HWND owner = kNoWindow;
    // A top-level window with WS_POPUP is borderless (menus, hints, drag
    // images); one without it is a framed form window. WS_EX_NOACTIVATE
    // windows are never activated and never hold the focus.
    std::uint32_t style = 0;
    std::uint32_t ex_style = 0;
    // In the parent's client coordinates for a child, in screen coordinates otherwise.
    TRect bounds;
    AnsiString text;
    // A framed top-level window's icon (title bar, task bar).
    std::shared_ptr<const gfx::MaskedImage> icon;
    int id = 0;
    WndProc proc;  // empty: def_window_proc only
    // The second press within the double-click time and distance becomes a
    // *BUTTONDBLCLK message (the class style CS_DBLCLKS).
    bool double_clicks = true;
};

enum class MouseButton { left, right, middle };

// What begin_paint hands out: a canvas on the window's part of its form's
// pixels, clipped to what needs painting.
struct PaintStruct {
    TRect rcPaint;  // bounds of the update region, client coordinates
    std::unique_ptr<TCanvas> canvas;
};

class WindowSystem;

// A canvas for drawing into a window outside WM_PAINT (inversion marks,
// the menu animation). What it draws reaches the screen when it is dropped.
class WindowDC {
public:
    WindowDC(WindowSystem& ws, HWND h, std::unique_ptr<TCanvas> canvas, bool whole_window = false);
    WindowDC(WindowDC&&) noexcept;
    WindowDC& operator=(WindowDC&&) = delete;
    ~WindowDC();
    TCanvas& canvas() { return *m_canvas; }
    TCanvas* operator->() { return m_canvas.get(); }

private:
    WindowSystem* m_ws;
    HWND m_hwnd;
    std::unique_ptr<TCanvas> m_canvas;
    bool m_whole_window = false;
};

class WindowSystem {
public:
    explicit WindowSystem(Host& host);
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    // The window system of the program, made by its host: the one started
    // last that still runs (tests may start a second one for a moment).
    // Throws when no host has been started.
    static WindowSystem& current();
    static bool exists();

    Host& host() { return m_host; }
    const Clock& clock() const;
    std::uint32_t tick_count() const { return clock().tick_count(); }

    // ---- windows ------------------------------------------------------------
    HWND create_window(const CreateParams& params);
    // Destroys the window, its children and the windows it owns.
    bool destroy_window(HWND h);
    bool is_window(HWND h) const;

    HWND get_parent(HWND h) const;
    HWND get_owner(HWND h) const;
    HWND get_top_level(HWND h) const;
    // True when child is a descendant of parent (not parent itself).
    bool is_child(HWND parent, HWND child) const;
    // Children front to back.
    std::vector<HWND> children(HWND h) const;
    // Top-level windows front to back (top-most ones first).
    std::vector<HWND> top_level_windows() const;

    std::uint32_t get_style(HWND h) const;
    std::uint32_t get_ex_style(HWND h) const;
    int get_window_id(HWND h) const;
    AnsiString get_window_text(HWND h) const;
    void set_window_text(HWND h, const AnsiString& text);
    void set_window_icon(HWND h, std::shared_ptr<const gfx::MaskedImage> icon);
    // A value the framework keeps per window (its control object).
    void set_user_data(HWND h, void* data);
    void* get_user_data(HWND h) const;

    // Visible: shown, and so are all its parents.
    bool is_visible(HWND h) const;
    // The window's own state; input also needs its parents enabled.
    bool is_enabled(HWND h) const;
    // Returns whether the window was enabled before. Disabling takes the
    // focus and the capture from the window and its children.
    bool enable_window(HWND h, bool enable);
    // Windows semantics: returns whether the window was visible before.
    bool show_window(HWND h, int cmd);
    bool is_zoomed(HWND h) const;
    // Shapes the window (SetWindowRgn): only the region's pixels (window
    // coordinates) show and take the pointer; nullptr makes it whole again.
    // A top-level shaped popup is shaped on the real display too.
    void set_window_region(HWND h, const gfx::Region* shape);
    // Minimised (SW_MINIMIZE, or the user through the host): still visible
    // to is_visible, but not painted, not under the pointer and not active.
    bool is_iconic(HWND h) const;
    // Moves the window, with its children, its capture, its focus and its
    // timers, into another parent (kNoWindow: it becomes top-level, its
    // bounds now screen coordinates). Returns the old parent, or kNoWindow
    // when it cannot (a parent inside the window itself).
    HWND set_parent(HWND h, HWND parent);
    void bring_window_to_top(HWND h);

    // ---- geometry ------------------------------------------------------------
    // The window's rectangle in its parent's client coordinates (screen for top-level).
    TRect get_bounds(HWND h) const;
    TRect get_window_rect(HWND h) const;  // screen coordinates
    // (0, 0, width, height) of the client area: the window less its frame.
    TRect get_client_rect(HWND h) const;
    // The non-client frame's thickness on each side (Left, Top, Right, Bottom).
    TRect get_frame(HWND h) const;
    // The frame's size may have changed: asks WM_NCCALCSIZE again, and when
    // the client area changed size the window hears WM_SIZE and is repainted
    // whole (SetWindowPos with SWP_FRAMECHANGED).
    void frame_changed(HWND h);
    // Asks for WM_NCPAINT with the next paint.
    void redraw_frame(HWND h);
    // Moves and sizes; WM_MOVE and WM_SIZE follow when they changed.
    void move_window(HWND h, const TRect& bounds);
    TPoint client_to_screen(HWND h, TPoint p) const;
    TPoint screen_to_client(HWND h, TPoint p) const;
    // The deepest visible, enabled window at a screen point, or kNoWindow:
    // a disabled child lets its parent answer, a disabled top-level window
    // (a hint) the windows behind it.
    HWND window_from_point(TPoint screen) const;

    // ---- painting ----------------------------------------------------------------
    // Adds to the update region (client coordinates; nullptr: the whole
    // window). With include_children the children under the rectangle are
    // invalidated too, as when something that covered them goes away.
    void invalidate_rect(HWND h, const TRect* r, bool include_children = false);
    void validate_rect(HWND h, const TRect* r);
    gfx::Region get_update_region(HWND h) const;
    bool get_update_rect(HWND h, TRect& r) const;
    // Paints h and its children now when they have something to paint.
    void update_window(HWND h);
    // In a WM_PAINT handler: the canvas to paint with; the update region is
    // then empty. end_paint hands the painted pixels to the screen.
    TCanvas& begin_paint(HWND h, PaintStruct& ps);
    void end_paint(HWND h, PaintStruct& ps);
    // A canvas on the visible part of the window, for drawing at any time on
    // the GUI thread; a worker draws through call_on_gui_thread, and what it
    // drew is shown as soon as that call returns.
    WindowDC get_dc(HWND h);
    // The same on the whole window, frame included, in window coordinates
    // (for WM_NCPAINT).
    WindowDC get_window_dc(HWND h);
    // Moves the pixels of scroll ∩ clip (client coordinates; nullptr: the
    // whole window) by (dx, dy) and invalidates what the move uncovered; the
    // update region moves along. Returns the invalidated region.
    gfx::Region scroll_window(HWND h, int dx, int dy, const TRect* scroll = nullptr, const TRect* clip = nullptr);
    // The same for a region that is both what moves and where it may land:
    // strips scrolled together in one pass over the pixels.
    gfx::Region scroll_window(HWND h, int dx, int dy, const gfx::Region& region);
    // The part of the window not hidden by its children, by siblings in front
    // of it or of its parents, or by its parents' edges (client coordinates).
    gfx::Region visible_region(HWND h) const;
    // The pixels of a top-level window (its children included).
    const TBitmap* window_pixels(HWND top) const;

    // ---- window procedures ---------------------------------------------------
    // Installs a new procedure and returns the one it replaces, which the new
    // one calls for what it does not handle (call_window_proc) and which
    // set_window_proc puts back.
    WndProcRef subclass_window(HWND h, WndProc proc);
    void set_window_proc(HWND h, WndProcRef proc);
    WndProcRef get_window_proc(HWND h) const;
    LRESULT call_window_proc(const WndProcRef& proc, HWND h, UINT msg, WPARAM w, LPARAM l);
    // What a window does by default: WM_CLOSE destroys it, WM_CANCELMODE
    // releases its capture, WM_ACTIVATE gives it the focus when none of its
    // children has it, WM_SETCURSOR asks the parents and then shows the
    // window's cursor, WM_RBUTTONUP asks for WM_CONTEXTMENU, which like
    // WM_MOUSEWHEEL goes up to the parent, and WM_PAINT validates.
    LRESULT def_window_proc(HWND h, UINT msg, WPARAM w, LPARAM l);

    // ---- messages --------------------------------------------------------------
    // Runs the window procedure at once (on the GUI thread) and returns its
    // result; from another thread, waits until the GUI thread has run it.
    LRESULT send_message(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0);
    // Queues the message; any thread. False for an invalid window.
    bool post_message(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0);
    // From a worker: as send_message, but says whether the message was
    // handled: nullopt when its handler failed with an exception (which the
    // GUI thread reported) or the window system is shutting down.
    std::optional<LRESULT> try_send_message(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0);
    // From a worker: runs fn on the GUI thread and waits for it. On the GUI
    // thread: runs it at once. False when fn failed or nothing ran it.
    bool call_on_gui_thread(const std::function<void()>& fn);

    // ---- failures -------------------------------------------------------------
    // Where exceptions from window procedures, hooks, timer procedures and
    // the handlers of a worker's sends go (the application's message box);
    // the loop goes on and the caller gets a neutral result (0). Without a
    // handler they travel on to the caller.
    using ExceptionHandler = std::function<void(std::exception_ptr)>;
    void set_exception_handler(ExceptionHandler handler);
    void post_quit_message(int exit_code);
    bool quit_requested() const { return m_quit.has_value(); }
    int exit_code() const { return m_quit.value_or(0); }

    // Takes the next message, restricted to a window (with its children) and
    // a range of ids when given (0, 0: all). Sends from worker threads are
    // handled on the way, and queued input passes the hooks when removed.
    bool peek_message(Msg& msg, HWND filter = kNoWindow, UINT min = 0, UINT max = 0,
                      unsigned remove = PM_REMOVE);
    // Waits for the next message; false once WM_QUIT is taken.
    bool get_message(Msg& msg);
    LRESULT dispatch_message(const Msg& msg);
    // Handles everything that is waiting, without waiting for more.
    void process_messages();
    // A nested message loop: runs while keep_running() holds; returns false
    // when WM_QUIT arrived (it is left in force for the outer loop).
    bool run_loop(const std::function<bool()>& keep_running);
    // Waits until done() holds, handling only sends from other threads
    // meanwhile; done is re-checked whenever signal() is called.
    void wait_dispatching(const std::function<bool()>& done);
    // Wakes a GUI thread in wait_dispatching or waiting for input; any thread.
    void signal();

    // The system colours changed: every window hears WM_SYSCOLORCHANGE (parents
    // first) and is repainted. Called by the colour table itself.
    void system_colors_changed();

    // ---- screen and clipboard ----------------------------------------------------
    TRect screen_rect() const;
    TRect work_area_at(TPoint screen) const;
    // CP1251 text onto the system clipboard (as Unicode).
    bool set_clipboard_text(const AnsiString& text);
    // The system clipboard's text in CP1251; characters CP1251 lacks become '?'.
    AnsiString clipboard_text();

    // Shows h as a modal window: the capture holder gets WM_CANCELMODE and the
    // other top-level windows are disabled until end_modal(h, result), h's
    // destruction or WM_QUIT; then h is hidden, the window activated in its
    // place gets the focus back where it had it (focus_to_restore), and the
    // result is returned (0 when destroyed or quit).
    int run_modal(HWND h);
    void end_modal(HWND h, int result);
    bool in_modal_loop(HWND h) const;

    // ---- focus, activation, capture ---------------------------------------
    HWND get_focus() const { return m_focus; }
    // Returns the previous focus, or kNoWindow when the window cannot take it
    // (hidden, disabled, or inside a popup that never takes the focus).
    HWND set_focus(HWND h);
    HWND get_active_window() const { return m_active; }
    HWND set_active_window(HWND h);
    // The window inside a top-level window (a descendant) that the focus
    // goes back to when the window becomes active again after another took
    // the focus from it (a modal window above it, another form): the one
    // that held the focus there last, or the one handed over by
    // set_focus_to_restore. kNoWindow when none did, or it can no longer
    // take the focus (gone, hidden, disabled, moved to another window).
    HWND focus_to_restore(HWND top) const;
    // Makes h the window its top-level window gives the focus back to: a
    // window giving up the focus while it hides (an edit box of a bar) names
    // the one the user came from.
    void set_focus_to_restore(HWND h);
    bool application_active() const { return m_app_active; }
    HWND get_capture() const { return m_capture; }
    HWND set_capture(HWND h);
    void release_capture();

    // ---- keyboard and pointer state ---------------------------------------
    // High bit set (negative) while down, low bit toggled by each press, as the
    // loop has seen the keys (get_key_state) or as the devices are now (async).
    std::int16_t get_key_state(int vk) const;
    std::int16_t get_async_key_state(int vk) const;
    TPoint get_cursor_pos() const { return m_cursor_pos; }
    void set_cursor_pos(TPoint p);
    // The cursor shown now; a window's own cursor is put up by def_window_proc on WM_SETCURSOR.
    void set_cursor(const Cursor& cursor);
    const Cursor& get_cursor() const { return m_cursor; }
    void set_window_cursor(HWND h, const Cursor& cursor);
    int double_click_time() const { return m_double_click_ms; }
    // The layout's key for a typed character (VkKeyScan): the key code in
    // the low byte, 0x100 (kShiftForKey) when Shift is needed; -1 when the
    // current layout has no key for it.
    std::int16_t key_for_char(unsigned char cp1251) const;
    void set_double_click_time(int ms) { m_double_click_ms = ms; }

    // ---- timers -------------------------------------------------------------------
    // Starts or restarts timer id of h with an interval in milliseconds (at
    // least 1). With a proc the proc runs instead of WM_TIMER; a thread timer
    // (h == kNoWindow) needs one and gets a fresh id, which is returned.
    // A one-shot timer removes itself when it fires. Returns 0 on failure.
    UINT set_timer(HWND h, UINT id, int interval_ms, TimerProc proc = {}, bool one_shot = false);
    bool kill_timer(HWND h, UINT id);
    // When the earliest timer is due, if any.
    std::optional<std::int64_t> next_timer_due() const;

    // ---- hooks --------------------------------------------------------------------
    // The newest hook of a kind runs first and passes on with call_next_hook.
    // Keyboard: wParam the key code, lParam the key flags (KF_UP, KF_REPEAT,
    // KF_ALTDOWN); non-zero swallows the key. Mouse: wParam the message, lParam
    // a MouseHookInfo*; non-zero swallows. Call-window-procedure: lParam a
    // CallWndProcInfo* before each sent message; the result is ignored.
    HHOOK set_windows_hook(HookKind kind, HookProc proc);
    bool unhook_windows_hook(HHOOK hook);
    LRESULT call_next_hook(HHOOK hook, int code, WPARAM w, LPARAM l);

    // Checks the tree's, the focus's and the timers' invariants in debug
    // builds (throws Exception naming the one broken); nothing otherwise.
    void check_invariants() const;

    // ---- input from the host ------------------------------------------------------
    // Raw input; routed to windows when the loop takes it (any thread may queue).
    // A key that types a control character (Enter, Backspace, Tab, Esc,
    // Ctrl+letter) queues that character too; other text comes by queue_char.
    void queue_key(int vk, bool down);
    void queue_char(unsigned char cp1251);
    void queue_mouse_move(TPoint screen);
    void queue_mouse_button(MouseButton button, bool down, TPoint screen);
    void queue_mouse_wheel(int delta, TPoint screen);
    // The application as a whole gained or lost the user's attention.
    void host_activate_app(bool active);
    // The host's own window was moved, resized or asked to close by the user.
    void host_window_moved(HWND h, const TRect& screen_bounds);
    void host_close_request(HWND h);
    // The user minimised, maximised or restored a top-level window (SC_*):
    // it hears WM_SYSCOMMAND, whose default carries the command out.
    void host_system_command(HWND h, WPARAM command);

private:
    struct Window;
    struct Timer;
    struct Hook;
    struct RawInput;
    struct CrossSend;
    struct ModalState;

    friend class WindowDC;

    Window* find(HWND h);
    const Window* find(HWND h) const;
    LRESULT call_proc(Window& w, UINT msg, WPARAM wp, LPARAM lp);
    template <typename F>
    LRESULT guarded(F&& f);
    bool report_exception(std::exception_ptr error);
    bool wait_for_cross_send(const std::shared_ptr<CrossSend>& send);
    bool is_popup_that_never_activates(HWND h) const;
    bool can_take_focus(HWND h) const;
    void remove_from_z_order(HWND h);
    void insert_in_z_order(HWND h);
    void destroy_tree(HWND h);
    void lose_window(HWND h);  // focus, capture, activation leave a dying or hidden window
    HWND next_window_to_activate(HWND leaving) const;
    void handle_cross_sends();
    bool take_input(Msg& msg, HWND filter, UINT min, UINT max, unsigned remove);
    bool translate_raw_input(const RawInput& raw, Msg& msg);
    bool run_keyboard_hooks(int vk, LPARAM flags);
    bool run_mouse_hooks(UINT msg, const MouseHookInfo& info);
    void run_call_wnd_proc_hooks(HWND h, UINT msg, WPARAM w, LPARAM l);
    LRESULT call_hook_from(std::size_t index, HookKind kind, int code, WPARAM w, LPARAM l);
    bool take_timer(Msg& msg, HWND filter, UINT min, UINT max, unsigned remove);
    bool take_paint(Msg& msg, HWND filter, UINT min, UINT max) const;
    HWND find_window_to_paint(HWND h) const;
    void finish_paint_message(HWND h);
    void default_paint(HWND h);
    void present_changes();
    void mark_changed(HWND h, const gfx::Region& region, bool whole_window = false);
    std::unique_ptr<TCanvas> make_canvas(HWND h, bool whole_window);
    gfx::Region visible_area(HWND h, bool whole_window) const;
    void recalc_frame(HWND h);
    void paint_frame_if_due(HWND h);
    void on_created(HWND h);
    void on_shown(HWND h);
    void on_hiding(HWND h);
    void on_moving(HWND h, const TRect& old_bounds);
    void on_moved(HWND h, const TRect& old_bounds);
    void on_visual_change(HWND h);
    void invalidate_parent_area(HWND h, const TRect& bounds);
    void apply_bounds(HWND h, const TRect& bounds, WPARAM size_kind, bool state_changed);
    HWND change_focus(HWND h);
    void activate_window(HWND h, WPARAM how);
    bool can_receive_input(HWND h) const;
    HWND window_at(TPoint screen, bool skip_disabled_top_levels) const;
    NativeWindowInfo native_info(const Window& w) const;
    void raise_owned_windows(HWND owner);
    void update_hover(HWND under);
    bool matches(const Msg& m, HWND filter, UINT min, UINT max) const;
    void wait_for_input();
    void set_key_down(std::uint8_t* table, int vk, bool down);
    void set_async_key_down(int vk, bool down);
    WPARAM mouse_key_flags() const;

    Host& m_host;
    std::thread::id m_gui_thread;
    WindowSystem* m_previous;
    int m_color_listener = 0;
    std::unordered_map<HWND, std::unique_ptr<Window>> m_windows;
    std::vector<HWND> m_top_levels;  // front to back

    HWND m_focus = kNoWindow;
    HWND m_active = kNoWindow;
    HWND m_capture = kNoWindow;
    HWND m_hover = kNoWindow;
    bool m_app_active = true;

    std::uint8_t m_key_state[256] = {};
    // Written by input threads under m_mutex, read from any thread.
    std::atomic<std::uint8_t> m_async_key_state[256] = {};
    bool m_drop_chars = false;  // the key-down that made them was swallowed
    // Written by input threads, read from any thread: one word, so a reader
    // never sees x of one position and y of another.
    class AtomicPoint {
    public:
        operator TPoint() const {
            const std::uint64_t v = m_v.load(std::memory_order_relaxed);
            return TPoint{static_cast<std::int32_t>(v & 0xFFFFFFFFu), static_cast<std::int32_t>(v >> 32)};
        }
        AtomicPoint& operator=(TPoint p) {
            m_v.store(static_cast<std::uint32_t>(p.X) | (static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.Y)) << 32),
                      std::memory_order_relaxed);
            return *this;
        }

    private:
        std::atomic<std::uint64_t> m_v{0};
    } m_cursor_pos;
    Cursor m_cursor;
    int m_double_click_ms = 500;
    struct LastClick {
        HWND hwnd = kNoWindow;
        MouseButton button = MouseButton::left;
        std::int64_t time = 0;
        TPoint pt;
        bool valid = false;
    } m_last_click;

    std::map<std::pair<HWND, UINT>, Timer> m_timers;
    std::uint64_t m_timer_seq = 0;
    UINT m_next_thread_timer = 0x7F00;

    std::vector<Hook> m_hooks;  // in installation order
    HHOOK m_next_hook = 1;

    std::deque<Msg> m_posted;
    std::deque<RawInput> m_input;
    std::deque<Msg> m_ready_input;  // input already routed and past the hooks
    std::optional<int> m_quit;

    mutable std::mutex m_mutex;  // m_posted, m_input, m_cross, m_shutting_down
    std::condition_variable m_cv;
    std::deque<std::shared_ptr<CrossSend>> m_cross;
    bool m_shutting_down = false;
    bool m_signalled = false;
    int m_hook_depth = 0;  // unhooked entries are erased only outside hook calls

    std::vector<std::unique_ptr<ModalState>> m_modal;
    ExceptionHandler m_exception_handler;
    std::uint64_t m_failures = 0;  // exceptions reported so far
};

}  // namespace ui
