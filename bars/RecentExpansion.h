// When a menu that hides its less used commands shows them all. At once on
// a click on its expand button, Ctrl+Down, or Down or Tab on its last item.
// With "show full menus after a delay" also by time: four seconds after the
// menu became active, unless the selection changed meanwhile; a change of
// selection instead starts four seconds after which the expand button is
// only highlighted (not while a nested menu is open); and while the button is
// highlighted and the mouse rests on it, the menu expands after one second.
// Without the delay option a highlighted button offers a hint instead.
//
// State: 0 recent items only, 1 expand button highlighted, 2 expanded.
// Invariant: a deadline exists only before the expanded state.
#pragma once

#include <cstdint>
#include <optional>

namespace dxbar {

class RecentExpansion {
public:
    static constexpr int kMenuDelay = 4000;
    static constexpr int kButtonDelay = 1000;

    enum class Event { none, highlight, expand };

    RecentExpansion(bool after_delay, bool already_expanded);

    int state() const { return m_state; }
    bool expanded() const { return m_state == 2; }

    void activated(std::int64_t now);
    void selection_changed(std::int64_t now);
    // The mouse came onto the expand button (true) or left it (false).
    void mouse_on_button(std::int64_t now, bool on);
    // A click on the button, Ctrl+Down, Down or Tab on the last item.
    Event expand_now();
    // Time went on; nested_open: a nested menu of this one is open.
    Event advance(std::int64_t now, bool nested_open);

    std::optional<std::int64_t> deadline() const { return m_deadline; }

    void check_invariants() const;

private:
    enum class Timer { none, expand, highlight, button };
    void set(Timer timer, std::int64_t due);
    Event highlight(std::int64_t now);

    bool m_after_delay;
    int m_state;
    bool m_mouse_on_button = false;
    Timer m_timer = Timer::none;
    std::optional<std::int64_t> m_deadline;
};

}  // namespace dxbar
