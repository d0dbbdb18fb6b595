// Keyboard shortcuts of bar items: a key code with the state of Shift, Ctrl
// and Alt folded into one 16-bit value, and the name a person reads in menus
// and hints ("F1", "Ctrl+W").
//
// A shortcut names the physical key (its virtual-key code), never the
// character the key types: Ctrl+W is the same shortcut under a Russian layout,
// where that key types "ц".
#pragma once

#include "platform/forms/TWinControl.h"
#include "text/AnsiString.h"

#include <cstdint>

using TShortCut = std::uint16_t;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// The key code in the low byte plus the bits of the modifiers held.
constexpr TShortCut ShortCut(int Key, TShiftState Shift) {
    TShortCut result = static_cast<TShortCut>(Key & 0xFF);
    if (Shift.Contains(ssShift)) result |= scShift;
    if (Shift.Contains(ssCtrl)) result |= scCtrl;
    if (Shift.Contains(ssAlt)) result |= scAlt;
    return result;
}

// "Shift+", "Ctrl+", "Alt+" in that order, then the key's name; empty for no
// shortcut or a key without a name.
AnsiString ShortCutToText(TShortCut shortCut);

namespace dxbar {

// The shortcut of a key going down now, with the modifiers as the window
// system has seen them up to this key.
TShortCut shortcut_of_key_down(int vk);

}  // namespace dxbar
