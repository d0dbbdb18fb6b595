#include "bars/MenuNavigation.h"

#include "text/Cp1251.h"

namespace dxbar {

int next_selectable(int count, int current, bool forward, const std::function<bool(int)>& selectable) {
    if (count <= 0) return -1;
    int index = current;
    for (int n = 0; n < count; ++n) {
        if (index < 0)
            index = forward ? 0 : count - 1;
        else
            index = (index + (forward ? 1 : count - 1)) % count;
        if (selectable(index)) return index;
    }
    return -1;
}

int first_selectable(int count, bool forward, const std::function<bool(int)>& selectable) {
    return next_selectable(count, -1, forward, selectable);
}

std::optional<Mnemonic> mnemonic_of(const AnsiString& caption) {
    std::optional<Mnemonic> found;
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        const auto c = static_cast<unsigned char>(caption[i + 1]);
        ++i;  // "&&" is a plain ampersand; either way the next byte is used up
        if (c == '&') continue;
        const unsigned char lower = text::ansi_lower(c);
        found = Mnemonic{lower, lower != c};
    }
    return found;
}

bool mnemonic_matches(const Mnemonic& m, int vk, bool shift, bool ctrl, const KeyForCharFn& key_for_char) {
    const auto key = key_for_char ? key_for_char(m.lower) : std::nullopt;
    if (!key || key->vk != vk) return false;
    if (key->ctrl != ctrl) return false;
    return m.upper || key->shift == shift;
}

}  // namespace dxbar
