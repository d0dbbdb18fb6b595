#include "platform/ui/HeadlessHost.h"

#include "platform/classes/ScopeExit.h"

#include "platform/classes/Exception.h"
#include "platform/gfx/Png.h"

#include <algorithm>

namespace ui {

HeadlessHost::HeadlessHost(int screen_width, int screen_height)
    : m_screen{0, 0, screen_width, screen_height}, m_work_area(m_screen) {
    m_ws = std::make_unique<WindowSystem>(*this);
}

HeadlessHost::~HeadlessHost() { m_ws.reset(); }

void HeadlessHost::advance(std::int64_t ms) {
    m_advance_target = std::max(m_advance_target, m_clock.now_ms() + std::max<std::int64_t>(ms, 0));
    // Inside a waiting loop the loop itself moves on; the clock follows in
    // wait_for_input, one due timer at a time.
    if (m_wait_depth > 0) return;
    for (;;) {
        m_ws->process_messages();
        if (m_clock.now_ms() >= m_advance_target) break;
        const auto due = m_ws->next_timer_due();
        m_clock.set_now(due && *due < m_advance_target ? *due : m_advance_target);
    }
}

void HeadlessHost::wait_for_input(std::optional<std::int64_t> deadline_ms) {
    if (m_clock.now_ms() < m_advance_target) {
        m_clock.set_now(deadline_ms && *deadline_ms < m_advance_target ? *deadline_ms : m_advance_target);
        return;
    }
    if (!m_idle)
        throw Exception("A loop waits for input, but the headless host has none: set an idle handler");
    const std::int64_t before = m_clock.now_ms();
    const int injected_before = m_injected;
    {
        ++m_wait_depth;
        ScopeExit leave([this] { --m_wait_depth; });
        m_idle();
    }
    Msg probe;
    if (m_advance_target <= before && m_injected == injected_before &&
        !m_ws->peek_message(probe, kNoWindow, 0, 0, PM_NOREMOVE))
        throw Exception("The idle handler gave a waiting loop nothing to do");
}

void HeadlessHost::after_input() {
    ++m_injected;
    if (m_wait_depth == 0) m_ws->process_messages();
}

void HeadlessHost::pump() { m_ws->process_messages(); }

void HeadlessHost::key_down(int vk) {
    m_ws->queue_key(vk, true);
    after_input();
}

void HeadlessHost::key_up(int vk) {
    m_ws->queue_key(vk, false);
    after_input();
}

void HeadlessHost::press_key(int vk, const std::vector<int>& modifiers) {
    for (int m : modifiers) m_ws->queue_key(m, true);
    m_ws->queue_key(vk, true);
    m_ws->queue_key(vk, false);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) m_ws->queue_key(*it, false);
    after_input();
}

void HeadlessHost::type_chars(std::string_view cp1251) {
    for (char c : cp1251) m_ws->queue_char(static_cast<unsigned char>(c));
    after_input();
}

void HeadlessHost::mouse_move(TPoint screen) {
    m_ws->queue_mouse_move(screen);
    after_input();
}

void HeadlessHost::mouse_down(MouseButton button, TPoint screen) {
    m_ws->queue_mouse_button(button, true, screen);
    after_input();
}

void HeadlessHost::mouse_up(MouseButton button, TPoint screen) {
    m_ws->queue_mouse_button(button, false, screen);
    after_input();
}

void HeadlessHost::click(TPoint screen, MouseButton button) {
    m_ws->queue_mouse_move(screen);
    m_ws->queue_mouse_button(button, true, screen);
    m_ws->queue_mouse_button(button, false, screen);
    after_input();
}

void HeadlessHost::double_click(TPoint screen, MouseButton button) {
    m_ws->queue_mouse_move(screen);
    for (int i = 0; i < 2; ++i) {
        m_ws->queue_mouse_button(button, true, screen);
        m_ws->queue_mouse_button(button, false, screen);
    }
    after_input();
}

void HeadlessHost::wheel(int delta, TPoint screen) {
    m_ws->queue_mouse_wheel(delta, screen);
    after_input();
}

TColor HeadlessHost::pixel(HWND top, int x, int y) const {
    const TBitmap* pixels = m_ws->window_pixels(top);
    return pixels ? pixels->color_at(x, y) : clNone;
}

std::unique_ptr<TBitmap> HeadlessHost::screenshot() const {
    auto shot = std::make_unique<TBitmap>(m_screen.Width(), m_screen.Height());
    TBitmap& screen = *shot;
    screen.Canvas().Brush().SetColor(clBackground);
    screen.Canvas().FillRect(TRect{0, 0, screen.Width(), screen.Height()});
    const auto tops = m_ws->top_level_windows();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (!m_ws->is_visible(*it) || minimized(*it)) continue;
        const TRect r = m_ws->get_window_rect(*it);
        // A shaped window covers only its shape.
        auto shape = m_native_shapes.find(*it);
        if (shape != m_native_shapes.end()) {
            gfx::Region clip = shape->second;
            clip.offset(r.Left, r.Top);
            screen.Canvas().set_clip_region(clip);
        }
        screen.Canvas().Draw(r.Left, r.Top, *m_ws->window_pixels(*it));
        screen.Canvas().set_clip_region(std::nullopt);
    }
    return shot;
}

void HeadlessHost::save_png(HWND top, const std::string& path) const {
    const TBitmap* pixels = m_ws->window_pixels(top);
    if (!pixels) throw Exception("No such top-level window to save");
    gfx::save_png(*pixels, path);
}

void HeadlessHost::save_screenshot_png(const std::string& path) const { gfx::save_png(*screenshot(), path); }

bool HeadlessHost::shown(HWND h) const {
    auto it = m_native_shown.find(h);
    return it != m_native_shown.end() && it->second;
}

bool HeadlessHost::minimized(HWND h) const {
    auto it = m_native_minimized.find(h);
    return it != m_native_minimized.end() && it->second;
}

void HeadlessHost::set_native_icon(HWND h, const std::shared_ptr<const gfx::MaskedImage>& icon) {
    if (auto it = m_native_info.find(h); it != m_native_info.end()) it->second.icon = icon;
}

const NativeWindowInfo* HeadlessHost::native_info(HWND h) const {
    auto it = m_native_info.find(h);
    return it == m_native_info.end() ? nullptr : &it->second;
}

void HeadlessHost::create_native(HWND h, const NativeWindowInfo& info) {
    m_native_shown[h] = false;
    m_native_info[h] = info;
}

void HeadlessHost::destroy_native(HWND h) {
    m_native_shown.erase(h);
    if (m_display_focus == h) m_display_focus = kNoWindow;
    m_native_minimized.erase(h);
    m_native_info.erase(h);
    m_native_shapes.erase(h);
}

void HeadlessHost::set_native_shape(HWND h, const gfx::Region* shape) {
    if (shape)
        m_native_shapes[h] = *shape;
    else
        m_native_shapes.erase(h);
}

void HeadlessHost::show_native(HWND h, bool visible, bool activate) {
    m_native_shown[h] = visible;
    const auto info = m_native_info.find(h);
    const bool popup = info != m_native_info.end() && info->second.no_activate;
    if (visible && (activate || popup || m_display_focus == kNoWindow))
        m_display_focus = h;
    else if (m_display_focus == h)
        m_display_focus = kNoWindow;
}

void HeadlessHost::raise_native(HWND h, bool focus) {
    ++m_raises;
    const auto info = m_native_info.find(h);
    if (focus && info != m_native_info.end() && !info->second.no_activate && shown(h)) m_display_focus = h;
}

void HeadlessHost::focus_native(HWND h) {
    if (shown(h)) m_display_focus = h;
}

void HeadlessHost::present(HWND, const TBitmap&, const std::vector<TRect>&) { ++m_presents; }

bool HeadlessHost::set_clipboard_text(const std::string& utf8) {
    m_clipboard = utf8;
    return true;
}

}  // namespace ui
