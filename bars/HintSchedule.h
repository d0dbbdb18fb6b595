// When the bars' hint window shows and hides, on the clock: one second after
// the mouse comes to rest on an item, for ten seconds; while a hint is on the
// screen, or within 400 ms after one went away, the hint of the next item
// shows at once, so moving along a toolbar switches hints without a delay.
//
// States: idle -> pending (until the delay is over) -> shown (until its
// lifetime is over) -> recently hidden (400 ms) -> idle. The schedule only
// decides; the caller shows or hides the window and reports whether a show
// really put a hint on the screen (an item without a hint text shows none).
//
// Invariant: a deadline exists exactly in the states pending, shown and
// recently hidden.
#pragma once

#include <cstdint>
#include <optional>

namespace dxbar {

class HintSchedule {
public:
    static constexpr int kDelay = 1000;
    static constexpr int kLifetime = 10000;
    static constexpr int kReshow = 400;

    enum class State { idle, pending, shown, recently_hidden };
    enum class Action { none, show, hide };

    // The hot item changed: to an item that may show a hint (has_item), or
    // to none (the mouse left the items, a press, a key, a menu took the keys).
    // show: show the hint now and report with shown(); hide: hide the window.
    Action hot_changed(std::int64_t now, bool has_item);
    // Time went on: show when the delay is over, hide when the lifetime is.
    Action advance(std::int64_t now);
    // The caller showed a hint (true) or found nothing to show (false).
    void shown(std::int64_t now, bool on_screen);

    State state() const { return m_state; }
    std::optional<std::int64_t> deadline() const { return m_deadline; }

    void check_invariants() const;

private:
    void hidden(std::int64_t now);

    State m_state = State::idle;
    std::optional<std::int64_t> m_deadline;
};

}  // namespace dxbar
