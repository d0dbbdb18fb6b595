// Which key types a character: the table behind "key for character"
// (VkKeyScan), so that a menu caption's "&Файл" is opened by Alt and the key
// that types "ф" (A under a Russian layout).
//
// Invariants: a character maps to at most one key; the value is the
// virtual-key code in the low byte and 0x100 when Shift is needed, or -1
// when the layout has no key for the character.
#pragma once

#include <array>
#include <cstdint>

namespace ui {

inline constexpr std::int16_t kShiftForKey = 0x100;

class KeyboardLayout {
public:
    KeyboardLayout() { m_keys.fill(-1); }

    // The US layout's letters, digits and punctuation.
    static KeyboardLayout english();
    // The Russian (ЙЦУКЕН) letters on their keys, the digits as in the US layout.
    static KeyboardLayout russian();

    std::int16_t key_for_char(unsigned char cp1251) const { return m_keys[cp1251]; }
    // The character typed by the key without Shift; its capital (if it has
    // one) is that key with Shift. An earlier entry is kept.
    void add(unsigned char cp1251, int vk);
    void add_shifted(unsigned char cp1251, int vk);

private:
    std::array<std::int16_t, 256> m_keys{};
};

}  // namespace ui
