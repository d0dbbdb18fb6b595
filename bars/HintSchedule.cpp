#include "bars/HintSchedule.h"

#include "platform/classes/Invariant.h"

#include <cassert>

namespace dxbar {

HintSchedule::Action HintSchedule::hot_changed(std::int64_t now, bool has_item) {
    advance(now);
    const bool at_once = m_state == State::shown || m_state == State::recently_hidden;
    if (has_item) {
        if (at_once) return Action::show;
        m_state = State::pending;
        m_deadline = now + kDelay;
        return Action::none;
    }
    if (m_state == State::shown) {
        hidden(now);
        return Action::hide;
    }
    if (m_state == State::pending) {
        m_state = State::idle;
        m_deadline.reset();
    }
    return Action::none;
}

HintSchedule::Action HintSchedule::advance(std::int64_t now) {
    if (!m_deadline || now < *m_deadline) return Action::none;
    switch (m_state) {
    case State::pending:
        m_state = State::idle;
        m_deadline.reset();
        return Action::show;
    case State::shown:
        hidden(now);
        return Action::hide;
    case State::recently_hidden:
        m_state = State::idle;
        m_deadline.reset();
        return Action::none;
    case State::idle:
        break;
    }
    return Action::none;
}

void HintSchedule::shown(std::int64_t now, bool on_screen) {
    if (on_screen) {
        m_state = State::shown;
        m_deadline = now + kLifetime;
    } else if (m_state == State::shown) {
        hidden(now);
    }
}

void HintSchedule::hidden(std::int64_t now) {
    m_state = State::recently_hidden;
    m_deadline = now + kReshow;
}

void HintSchedule::check_invariants() const {
#ifndef NDEBUG
    INVARIANT((m_state == State::idle) == !m_deadline.has_value(), "HintSchedule: (m_state == State::idle) == !m_deadline.has_value()");
#endif
}

}  // namespace dxbar
