#include "bars/HintController.h"

#include "platform/classes/Invariant.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <cassert>

namespace dxbar {

HintController::HintController(ui::WindowSystem& ws)
    : m_ws(ws), m_window(std::make_unique<TdxBarHintWindow>(nullptr)) {}

HintController::~HintController() {
    if (m_timer) m_ws.kill_timer(ui::kNoWindow, m_timer);
}

void HintController::hot_changed(Source source) {
    const bool has_item = static_cast<bool>(source.text);
    m_source = std::move(source);
    apply(m_schedule.hot_changed(m_ws.clock().now_ms(), has_item));
    arm_timer();
}

void HintController::hide() {
    m_source = {};
    apply(m_schedule.hot_changed(m_ws.clock().now_ms(), false));
    arm_timer();
}

void HintController::apply(HintSchedule::Action action) {
    switch (action) {
    case HintSchedule::Action::show: show_now(); break;
    case HintSchedule::Action::hide: m_window->HideHint(); break;
    case HintSchedule::Action::none: break;
    }
}

void HintController::show_now() {
    const AnsiString text = m_source.text ? m_source.text() : AnsiString();
    const std::int64_t now = m_ws.clock().now_ms();
    if (text.empty()) {
        m_window->HideHint();
        m_schedule.shown(now, false);
        return;
    }
    if (m_source.font) m_source.font(m_window->Font());
    m_window->ActivateHint(m_ws.get_cursor_pos(), text);
    m_schedule.shown(now, true);
}

void HintController::arm_timer() {
    if (m_timer) {
        m_ws.kill_timer(ui::kNoWindow, m_timer);
        m_timer = 0;
    }
    const auto deadline = m_schedule.deadline();
    if (!deadline) return;
    const int interval = static_cast<int>(std::max<std::int64_t>(*deadline - m_ws.clock().now_ms(), 1));
    m_timer = m_ws.set_timer(ui::kNoWindow, 0, interval, [this](ui::HWND, ui::UINT) { on_timer(); }, true);
}

void HintController::on_timer() {
    m_timer = 0;  // one-shot: gone once it fired
    apply(m_schedule.advance(m_ws.clock().now_ms()));
    arm_timer();
}

void HintController::check_invariants() const {
#ifndef NDEBUG
    m_schedule.check_invariants();
    INVARIANT((m_timer != 0) == m_schedule.deadline().has_value(), "HintController: (m_timer != 0) == m_schedule.deadline().has_value()");
#endif
}

}  // namespace dxbar
