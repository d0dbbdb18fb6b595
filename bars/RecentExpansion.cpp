#include "bars/RecentExpansion.h"

#include "platform/classes/Invariant.h"

#include <cassert>

namespace dxbar {

RecentExpansion::RecentExpansion(bool after_delay, bool already_expanded)
    : m_after_delay(after_delay), m_state(already_expanded ? 2 : 0) {}

void RecentExpansion::set(Timer timer, std::int64_t due) {
    m_timer = timer;
    if (timer == Timer::none)
        m_deadline.reset();
    else
        m_deadline = due;
}

void RecentExpansion::activated(std::int64_t now) {
    if (m_state != 2 && m_after_delay) set(Timer::expand, now + kMenuDelay);
}

void RecentExpansion::selection_changed(std::int64_t now) {
    if (m_state == 2) return;
    if (m_state == 1 && !m_mouse_on_button) m_state = 0;
    if (m_after_delay && !(m_mouse_on_button && m_timer == Timer::button))
        set(Timer::highlight, now + kMenuDelay);
}

RecentExpansion::Event RecentExpansion::highlight(std::int64_t now) {
    m_state = 1;
    if (m_after_delay && m_mouse_on_button)
        set(Timer::button, now + kButtonDelay);
    else
        set(Timer::none, 0);
    return Event::highlight;
}

void RecentExpansion::mouse_on_button(std::int64_t now, bool on) {
    m_mouse_on_button = on;
    if (m_state == 2) return;
    if (on) {
        highlight(now);
    } else if (m_timer == Timer::button) {
        set(Timer::none, 0);
    }
}

RecentExpansion::Event RecentExpansion::expand_now() {
    if (m_state == 2) return Event::none;
    m_state = 2;
    set(Timer::none, 0);
    return Event::expand;
}

RecentExpansion::Event RecentExpansion::advance(std::int64_t now, bool nested_open) {
    if (!m_deadline || now < *m_deadline) return Event::none;
    switch (m_timer) {
    case Timer::expand:
    case Timer::button: return expand_now();
    case Timer::highlight:
        if (nested_open) {
            set(Timer::none, 0);
            return Event::none;
        }
        return highlight(now);
    case Timer::none: break;
    }
    return Event::none;
}

void RecentExpansion::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(m_state >= 0 && m_state <= 2, "RecentExpansion: m_state >= 0 && m_state <= 2");
    INVARIANT(m_deadline.has_value() == (m_timer != Timer::none), "RecentExpansion: m_deadline.has_value() == (m_timer != Timer::none)");
    INVARIANT(m_state != 2 || !m_deadline, "RecentExpansion: m_state != 2 || !m_deadline");
#endif
}

}  // namespace dxbar
