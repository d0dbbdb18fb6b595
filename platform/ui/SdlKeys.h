// Physical keys to virtual-key codes. Shortcuts are recognised by the key's
// place on the keyboard, whatever the layout: with a Russian layout the key
// that types "ц" is still W (87), so Ctrl+W works in either layout, while
// the typed letters arrive separately as characters.
#pragma once

namespace ui {

// The virtual-key code of an SDL scancode, or 0 for keys the program does not know.
int vk_from_scancode(int scancode);

}  // namespace ui
