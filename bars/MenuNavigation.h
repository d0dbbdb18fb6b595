// Keyboard navigation among the items of a bar or a menu: the next or
// previous selectable item with wrapping, and mnemonics ("&Файл" answers
// the key that types "ф" under the current layout, whatever that key is).
#pragma once

#include "text/AnsiString.h"

#include <functional>
#include <optional>

namespace dxbar {

// From `current` (-1: none) the next (forward) or previous index below
// `count` for which selectable() holds, wrapping around; -1 when none is.
int next_selectable(int count, int current, bool forward, const std::function<bool(int)>& selectable);
// The first (forward) or last selectable index, or -1.
int first_selectable(int count, bool forward, const std::function<bool(int)>& selectable);

struct Mnemonic {
    unsigned char lower = 0;  // the mnemonic character, lower-cased (CP1251)
    bool upper = false;       // the caption has it upper-case: Shift does not matter
};

// The last character after a single "&" of a caption ("&&" is a plain "&").
std::optional<Mnemonic> mnemonic_of(const AnsiString& caption);

// What the platform says about typing a character: the key and whether
// Shift and Ctrl must be held. Nothing when the layout has no key for it.
struct KeyForChar {
    int vk = 0;
    bool shift = false;
    bool ctrl = false;
};
using KeyForCharFn = std::function<std::optional<KeyForChar>(unsigned char cp1251)>;

// Whether a key pressed with the given Shift and Ctrl types the mnemonic;
// Alt never matters.
bool mnemonic_matches(const Mnemonic& m, int vk, bool shift, bool ctrl, const KeyForCharFn& key_for_char);

}  // namespace dxbar
