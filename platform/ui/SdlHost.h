// The host that puts our windows on a real display through SDL2. Every
// top-level window is an SDL window: forms are framed, resizable windows;
// popups and hints are borderless popup-menu or tooltip windows that stay on
// top and take no focus. Pixels reach the screen through the window surface
// on SDL's software path, and only the rectangles that changed are presented.
//
// Construction throws Exception with a clear message when there is no display
// (or SDL cannot start); the program reports it and exits with a failure.
#pragma once

#include "platform/ui/Host.h"
#include "platform/ui/WindowSystem.h"

#include <cstdint>
#include <map>
#include <memory>
#include <thread>
#include <unordered_map>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace ui {

class SdlHost final : public Host {
public:
    SdlHost();
    ~SdlHost() override;
    SdlHost(const SdlHost&) = delete;
    SdlHost& operator=(const SdlHost&) = delete;

    WindowSystem& windows() override { return *m_ws; }
    const Clock& clock() const override { return m_clock; }

    void create_native(HWND h, const NativeWindowInfo& info) override;
    void destroy_native(HWND h) override;
    void show_native(HWND h, bool visible, bool activate) override;
    void move_native(HWND h, const TRect& bounds) override;
    void set_native_title(HWND h, const AnsiString& title) override;
    void set_native_icon(HWND h, const std::shared_ptr<const gfx::MaskedImage>& icon) override;
    void maximize_native(HWND h) override;
    void minimize_native(HWND h) override;
    void restore_native(HWND h) override;
    void set_native_shape(HWND h, const gfx::Region* shape) override;
    void raise_native(HWND h, bool focus) override;
    void focus_native(HWND h) override;
    void present(HWND h, const TBitmap& pixels, const std::vector<TRect>& changed) override;
    void wait_for_input(std::optional<std::int64_t> deadline_ms) override;
    void wake() override;
    TRect screen_rect() const override;
    TRect work_area_at(TPoint screen) const override;
    void set_cursor(const Cursor& cursor) override;
    void set_cursor_pos(TPoint screen) override;
    void capture_mouse(bool on) override;
    bool set_clipboard_text(const std::string& utf8) override;
    std::int16_t key_for_char(unsigned char cp1251) const override;
    std::string clipboard_text() override;

private:
    struct Native {
        SDL_Window* window = nullptr;
        NativeWindowInfo info;
        bool skip_expose = false;  // the exposure of its mapping is coming
        bool mapped = false;       // shown once: the window manager has its hints
        bool presented = false;    // its pixels went to the screen once; the icon follows
    };

    void handle_event(const SDL_Event& e);
    HWND hwnd_of(std::uint32_t sdl_window_id) const;
    TPoint to_screen(std::uint32_t sdl_window_id, int x, int y) const;
    void present_all(HWND h);
    void prepare_surface(SDL_Window* window);
    void tell_window_manager(const Native& native) const;
    // Whether the server has given the keyboard focus to another of our
    // windows than this one since SDL reported it.
    bool x_focus_on_another_window(HWND h) const;
    void finish_surface();

    RealClock m_clock;
    std::uint32_t m_wake_event = 0;
    std::unordered_map<HWND, Native> m_natives;
    std::unordered_map<std::uint32_t, HWND> m_by_sdl_id;
    std::map<int, SDL_Cursor*> m_system_cursors;
    SDL_Cursor* m_custom_cursor = nullptr;
    bool m_focus_lost_pending = false;
    // Touches the pages of a new window's surface while the GUI thread goes
    // on; joined before anything may use or free that surface.
    std::thread m_surface_pages;
    std::unique_ptr<WindowSystem> m_ws;
};

}  // namespace ui
