// What the bars' keyboard hook remembers between keys to start the main
// menu from the keyboard: Alt pressed and released with no other key in
// between (and none held), or F10 released with no modifier held. It also
// remembers the key whose key-down went to a bar in keyboard mode, so that
// the key-up of that key is swallowed as well and the focused window never
// sees half a keystroke.
//
// Invariants: held() holds exactly the keys that went down and not yet up;
// armed() implies Alt is held and nothing else is.
#pragma once

#include <bitset>

namespace dxbar {

class MenuKeyWatch {
public:
    // A key went down. A key other than Alt disarms; an auto-repeat of Alt
    // keeps whatever state the first press left.
    void key_down(int vk, bool repeat = false);
    // A key went up. True when this key-up starts the main menu: the key is
    // then to be swallowed. Shift, Ctrl and Alt are read from the keys held.
    bool key_up(int vk, bool use_f10);
    // Forget the Alt press (a mouse press, a menu that took the keys).
    void disarm() { m_armed = false; }
    bool armed() const { return m_armed; }
    bool held(int vk) const { return m_held.test(static_cast<std::size_t>(vk & 0xFF)); }

    // The key-down of vk was handed to a bar window; its key-up goes there too.
    void handed_to_bar(int vk) { m_handed = vk; }
    // Whether the key-up of vk is to be swallowed (once).
    bool take_handed_up(int vk);

    static bool is_alt(int vk);

    void check_invariants() const;

private:
    bool only_alt_held() const;

    std::bitset<256> m_held;
    bool m_armed = false;
    int m_handed = 0;
};

}  // namespace dxbar
