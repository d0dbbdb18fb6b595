#include "bars/MenuAnimator.h"

#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <chrono>

namespace dxbar {

MenuAnimator::~MenuAnimator() { abort_and_wait(); }

void MenuAnimator::start(ui::HWND menu, const MenuAnimationPlan& plan, std::unique_ptr<TBitmap> image,
                         TPoint client_offset, FramePainter frame) {
    abort_and_wait();
    if (m_thread.joinable()) m_thread.join();
    m_menu = menu;
    m_plan = std::make_unique<MenuAnimationPlan>(plan);
    m_image = std::move(image);
    m_client_offset = client_offset;
    m_frame = std::move(frame);
    m_steps_drawn = 0;
    m_abort = false;
    m_running = true;
    m_thread = std::thread([this] { run(); });
}

void MenuAnimator::abort_and_wait() {
    if (m_running) {
        m_abort = true;
        m_ws.wait_dispatching([this] { return !m_running; });
    }
    if (m_thread.joinable()) m_thread.join();
}

void MenuAnimator::run() {
    const int steps = m_plan->steps();
    for (int k = 1; k <= steps && !m_abort; ++k) {
        std::uint32_t drawn_at = 0;
        m_ws.call_on_gui_thread([&] {
            if (!m_abort) draw_step(k);
            drawn_at = m_ws.tick_count();
        });
        const FramePacer pacer(drawn_at);
        while (!m_abort) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::uint32_t tick = drawn_at;
            m_ws.call_on_gui_thread([&] { tick = m_ws.tick_count(); });
            if (pacer.may_step(tick)) break;
        }
    }
    m_ws.call_on_gui_thread([&] { finish(); });
}

void MenuAnimator::draw_step(int k) {
    if (!m_ws.is_window(m_menu)) {
        m_abort = true;
        return;
    }
    const TRect bounds = m_plan->window(k);
    m_ws.move_window(m_menu, bounds);
    if (!m_ws.is_visible(m_menu)) m_ws.show_window(m_menu, ui::SW_SHOWNOACTIVATE);
    m_ws.validate_rect(m_menu, nullptr);  // the steps draw it; no paint in between
    ui::WindowDC dc = m_ws.get_dc(m_menu);
    if (m_frame) m_frame(dc.canvas(), TSize{bounds.Width(), bounds.Height()});
    const TSize visible = m_plan->visible(k);
    const TPoint src = m_plan->source(k);
    dc->BitBlt(m_client_offset.X, m_client_offset.Y, visible.cx, visible.cy, m_image->Canvas(), src.X, src.Y,
               cmSrcCopy);
    ++m_steps_drawn;
}

void MenuAnimator::finish() {
    m_image.reset();
    // A menu that stays open after an abort (a key pressed in it) must not
    // stay cut, so it is shown whole in either case.
    show_whole();
    m_running = false;
}

void MenuAnimator::show_whole() {
    if (!m_ws.is_window(m_menu)) return;
    m_ws.move_window(m_menu, m_plan->final_window());
    m_ws.invalidate_rect(m_menu, nullptr);
    m_ws.update_window(m_menu);
}

}  // namespace dxbar
