#include "platform/ui/KeyboardLayout.h"

#include "platform/ui/Messages.h"
#include "text/Cp1251.h"

#include <string_view>

namespace ui {

namespace {

// The keys of the three letter rows and the key left of 1, in order.
constexpr int kLetterKeys[] = {'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', VK_OEM_4, VK_OEM_6,
                               'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', VK_OEM_1, VK_OEM_7,
                               'Z', 'X', 'C', 'V', 'B', 'N', 'M', VK_OEM_COMMA, VK_OEM_PERIOD, VK_OEM_3};

void add_digits(KeyboardLayout& layout) {
    for (int d = 0; d <= 9; ++d) layout.add(static_cast<unsigned char>('0' + d), '0' + d);
    layout.add(' ', VK_SPACE);
}

}  // namespace

void KeyboardLayout::add(unsigned char c, int vk) {
    if (m_keys[c] < 0) m_keys[c] = static_cast<std::int16_t>(vk & 0xFF);
    const unsigned char upper = text::ansi_upper(c);
    if (upper != c) add_shifted(upper, vk);
}

void KeyboardLayout::add_shifted(unsigned char c, int vk) {
    if (m_keys[c] < 0) m_keys[c] = static_cast<std::int16_t>((vk & 0xFF) | kShiftForKey);
}

KeyboardLayout KeyboardLayout::english() {
    KeyboardLayout layout;
    constexpr std::string_view chars = "qwertyuiop[]asdfghjkl;'zxcvbnm,.`";
    for (std::size_t i = 0; i < chars.size(); ++i) layout.add(static_cast<unsigned char>(chars[i]), kLetterKeys[i]);
    add_digits(layout);
    layout.add('-', VK_OEM_MINUS);
    layout.add('=', VK_OEM_PLUS);
    layout.add('/', VK_OEM_2);
    layout.add('\\', VK_OEM_5);
    return layout;
}

KeyboardLayout KeyboardLayout::russian() {
    KeyboardLayout layout;
    // "йцукенгшщзхъфывапролджэячсмитьбюё" in CP1251.
    constexpr std::string_view chars =
        "\xE9\xF6\xF3\xEA\xE5\xED\xE3\xF8\xF9\xE7\xF5\xFA\xF4\xFB\xE2\xE0\xEF\xF0\xEE\xEB\xE4\xE6\xFD"
        "\xFF\xF7\xF1\xEC\xE8\xF2\xFC\xE1\xFE\xB8";
    for (std::size_t i = 0; i < chars.size(); ++i) layout.add(static_cast<unsigned char>(chars[i]), kLetterKeys[i]);
    add_digits(layout);
    layout.add('.', VK_OEM_2);
    return layout;
}

}  // namespace ui
