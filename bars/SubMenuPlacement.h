// Where a submenu window goes on the screen: below a title of a horizontal
// bar, beside an item of a vertical bar or of another menu, kept inside the
// work area of the monitor of its wanted corner by moving, flipping to the
// other side of its owner, or cutting its height (a cut menu scrolls).
//
// Invariants of the result: the rectangle lies inside the work area whenever
// the menu is not wider than the work area; a menu is marked opened leftwards
// or upwards only when it was flipped to that side of its owner.
#pragma once

#include "platform/gfx/TRect.h"

namespace dxbar {

enum class SubMenuOwner { horizontal_bar, vertical_bar, submenu };

struct SubMenuPlacement {
    TRect bounds;            // screen coordinates
    bool leftwards = false;  // flipped to the left of its owner
    bool upwards = false;    // flipped above its owner
    bool height_cut = false; // shorter than its layout: shows scroll buttons
    // The owner's height below a horizontal title, else its width: what the
    // frame painting leaves open where the menu meets its owner.
    int owner_extent = 0;
};

// The corner the menu would like to start at; the work area is the one of
// the monitor holding it. `flat` is the bmsFlat style, whose nested menus
// rise 2 pixels instead of 3.
TPoint submenu_corner(const TRect& owner, SubMenuOwner place, bool flat);

SubMenuPlacement place_submenu(const TRect& owner, SubMenuOwner place, bool flat, TSize size,
                               const TRect& work_area);

}  // namespace dxbar
