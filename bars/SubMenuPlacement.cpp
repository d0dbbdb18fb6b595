#include "bars/SubMenuPlacement.h"

#include <algorithm>

namespace dxbar {

TPoint submenu_corner(const TRect& owner, SubMenuOwner place, bool flat) {
    switch (place) {
    case SubMenuOwner::horizontal_bar: return {owner.Left, owner.Bottom};
    case SubMenuOwner::vertical_bar: return {owner.Right, owner.Top};
    case SubMenuOwner::submenu: return {owner.Right, owner.Top - (flat ? 2 : 3)};
    }
    return {owner.Left, owner.Bottom};
}

SubMenuPlacement place_submenu(const TRect& owner, SubMenuOwner place, bool flat, TSize size,
                               const TRect& wa) {
    SubMenuPlacement p;
    const bool below = place == SubMenuOwner::horizontal_bar;
    p.owner_extent = below ? owner.Height() : owner.Width();
    const TPoint corner = submenu_corner(owner, place, flat);
    int left = corner.X;
    int top = corner.Y;
    const int width = size.cx;
    int height = size.cy;

    if (left + width > wa.Right) {
        if (below) {
            left = wa.Right - width;
        } else if (owner.Left - wa.Left > wa.Right - owner.Right) {
            left = owner.Left - width;
            p.leftwards = true;
        }
    }
    if (below && left < wa.Left) left = wa.Left;
    left = std::max(wa.Left, std::min(left, wa.Right - width));

    if (top + height > wa.Bottom) {
        if (below) {
            if (owner.Top - wa.Top > wa.Bottom - owner.Bottom) {
                top = owner.Top - height;
                p.upwards = true;
            } else {
                height = wa.Bottom - top;
                p.height_cut = true;
            }
        } else {
            top = wa.Bottom - height;
        }
    }
    if (top < wa.Top) {
        // Keep the edge that meets the owner (the bottom of a menu opened
        // upwards) and give up rows at the far end.
        const int bottom = std::min(top + height, wa.Bottom);
        top = wa.Top;
        height = bottom - top;
        p.height_cut = true;
    }
    p.bounds = Bounds(left, top, width, std::max(height, 0));
    return p;
}

}  // namespace dxbar
