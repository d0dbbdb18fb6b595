// A host without a display, for tests: a virtual screen of a chosen size,
// time from a virtual clock that only the test moves, input injected by the
// test at screen points, and every window's pixels readable.
//
// Injected input is handled at once (the messages it causes are dispatched
// before the call returns), except while a loop of the program is waiting
// for input inside the idle handler: then it is only queued, and the
// waiting loop takes it.
#pragma once

#include "platform/ui/Host.h"
#include "platform/gfx/Region.h"
#include "platform/ui/KeyboardLayout.h"
#include "platform/ui/WindowSystem.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace ui {

class HeadlessHost final : public Host {
public:
    explicit HeadlessHost(int screen_width = 1024, int screen_height = 768);
    ~HeadlessHost() override;

    WindowSystem& windows() override { return *m_ws; }
    const Clock& clock() const override { return m_clock; }

    // ---- time ----------------------------------------------------------------
    // Moves the virtual clock on by ms; the timers due meanwhile fire in
    // order, each at its own time, with the messages they cause handled in
    // between.
    void advance(std::int64_t ms);
    std::int64_t now() const { return m_clock.now_ms(); }

    // Called when a loop of the program waits and nothing is queued: it must
    // inject input, advance the clock or post a message. Without one, such a
    // wait throws rather than hang the test.
    void set_idle_handler(std::function<void()> handler) { m_idle = std::move(handler); }

    // ---- input ---------------------------------------------------------------
    void key_down(int vk);
    void key_up(int vk);
    // Down and up of a key, with modifiers (VK_SHIFT, VK_CONTROL, VK_MENU) held around it.
    void press_key(int vk, const std::vector<int>& modifiers = {});
    // Characters as a keyboard layout would produce them (CP1251).
    void type_chars(std::string_view cp1251);
    void mouse_move(TPoint screen);
    void mouse_down(MouseButton button, TPoint screen);
    void mouse_up(MouseButton button, TPoint screen);
    void click(TPoint screen, MouseButton button = MouseButton::left);
    void double_click(TPoint screen, MouseButton button = MouseButton::left);
    void wheel(int delta, TPoint screen);
    // Handles everything queued.
    void pump();

    // ---- screen ----------------------------------------------------------------
    void set_work_area(const TRect& area) { m_work_area = area; }
    // The colour of a window's pixel (window coordinates, children included).
    TColor pixel(HWND top, int x, int y) const;
    // The screen as a person would see it: the visible top-level windows
    // drawn back to front over the desktop colour.
    std::unique_ptr<TBitmap> screenshot() const;
    // PNG files for looking at a test's result; throw Exception when they cannot be written.
    void save_png(HWND top, const std::string& path) const;
    void save_screenshot_png(const std::string& path) const;
    // Whether the host has been told to show the window.
    bool shown(HWND h) const;
    // The window holding the display's keyboard focus, kept as X does without
    // a window manager: a window mapped takes it (SDL forces it there, popups
    // included) unless it is shown without activation while another holds
    // it, unmapping the window holding it leaves it nowhere, and only
    // an explicit raise or focus gives it back.
    HWND display_focus() const { return m_display_focus; }
    // How often the window system raised a window (brought it above the others).
    int raise_count() const { return m_raises; }
    bool minimized(HWND h) const;
    // What the host was told about a top-level window when it was made.
    const NativeWindowInfo* native_info(HWND h) const;
    const Cursor& cursor() const { return m_cursor; }
    int present_count() const { return m_presents; }
    bool mouse_captured() const { return m_mouse_captured; }

    // ---- clipboard ---------------------------------------------------------------
    const std::string& clipboard_utf8() const { return m_clipboard; }

    // Host interface.
    void create_native(HWND h, const NativeWindowInfo& info) override;
    void destroy_native(HWND h) override;
    void show_native(HWND h, bool visible, bool activate) override;
    void move_native(HWND, const TRect&) override {}
    void set_native_title(HWND, const AnsiString&) override {}
    void set_native_icon(HWND h, const std::shared_ptr<const gfx::MaskedImage>& icon) override;
    void maximize_native(HWND) override {}
    void minimize_native(HWND h) override { m_native_minimized[h] = true; }
    void restore_native(HWND h) override { m_native_minimized[h] = false; }
    void set_native_shape(HWND h, const gfx::Region* shape) override;
    void raise_native(HWND h, bool focus) override;
    void focus_native(HWND h) override;
    void present(HWND h, const TBitmap& pixels, const std::vector<TRect>& changed) override;
    void wait_for_input(std::optional<std::int64_t> deadline_ms) override;
    void wake() override {}
    TRect screen_rect() const override { return m_screen; }
    TRect work_area_at(TPoint) const override { return m_work_area; }
    void set_cursor(const Cursor& cursor) override { m_cursor = cursor; }
    void set_cursor_pos(TPoint) override {}
    void capture_mouse(bool on) override { m_mouse_captured = on; }
    bool set_clipboard_text(const std::string& utf8) override;
    std::int16_t key_for_char(unsigned char cp1251) const override { return m_layout.key_for_char(cp1251); }
    // The keyboard layout key_for_char answers from (English at first).
    void set_keyboard_layout(const KeyboardLayout& layout) { m_layout = layout; }
    std::string clipboard_text() override { return m_clipboard; }

private:
    void after_input();

    VirtualClock m_clock;
    TRect m_screen;
    TRect m_work_area;
    std::unique_ptr<WindowSystem> m_ws;
    std::function<void()> m_idle;
    std::int64_t m_advance_target = 0;
    int m_wait_depth = 0;
    int m_injected = 0;
    std::map<HWND, bool> m_native_shown;
    HWND m_display_focus = kNoWindow;
    int m_raises = 0;
    std::map<HWND, bool> m_native_minimized;
    std::map<HWND, NativeWindowInfo> m_native_info;
    std::map<HWND, gfx::Region> m_native_shapes;
    Cursor m_cursor;
    int m_presents = 0;
    bool m_mouse_captured = false;
    std::string m_clipboard;
    KeyboardLayout m_layout = KeyboardLayout::english();
};

}  // namespace ui
