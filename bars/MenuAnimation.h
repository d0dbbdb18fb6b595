// How a menu window comes onto the screen. Only a menu opened by a mouse
// press animates (a menu opened by the keyboard or by hovering appears at
// once), and only when the manager asks for an animation, the menu has a
// visible link and nothing is being customized. "Random" draws anew for
// every opening.
//
// Unfold grows width and height together by 8 pixels a step, starting from
// the strip that makes the menu square; slide shows the full width and
// lets the height grow by 17 pixels a step. The window stays anchored at
// the menu's top-left corner, or at its right edge when it opened leftwards
// and at its bottom edge when it opened upwards; horizontally the image
// shows the part next to the anchor side, vertically the part farthest from
// the anchor edge shows first, so the menu slides out of its opening edge.
//
// The steps are paced by the system tick: a step is not drawn before the
// tick count has moved on since the previous one.
#pragma once

#include "platform/gfx/TRect.h"

#include <cstdint>

namespace dxbar {

enum class MenuAnimationSetting { none, random, unfold, slide };
enum class MenuAnimationKind { none, unfold, slide };

struct MenuAnimationRequest {
    MenuAnimationSetting setting = MenuAnimationSetting::none;
    bool by_mouse = false;        // opened by a press on its item (or the list-of-bars popup)
    bool has_visible_link = false;
    bool customizing = false;
};

// `draw` is a fresh pseudo-random number below 100, read only for "random":
// 50 and above slides, below unfolds.
MenuAnimationKind choose_menu_animation(const MenuAnimationRequest& request, int draw);

class MenuAnimationPlan {
public:
    // client: the menu's client size; frame: what the frame adds to the
    // window's width and height; final_window: the window's place when shown
    // whole (screen coordinates).
    MenuAnimationPlan(MenuAnimationKind kind, TSize client, TSize frame, TRect final_window, bool leftwards,
                      bool upwards);

    MenuAnimationKind kind() const { return m_kind; }
    int step_size() const { return m_step; }
    int distance() const { return m_distance; }
    int steps() const { return m_kind == MenuAnimationKind::none ? 0 : m_distance / m_step; }
    // The window's place when the menu shows whole.
    const TRect& final_window() const { return m_final; }

    // The visible client size after step k (1 .. steps()).
    TSize visible(int k) const;
    // The window's place after step k.
    TRect window(int k) const;
    // The image pixel that shows at the client's top-left corner after step k.
    TPoint source(int k) const;

private:
    MenuAnimationKind m_kind;
    TSize m_client;
    TSize m_frame;
    TRect m_final;
    bool m_leftwards;
    bool m_upwards;
    TSize m_start;
    int m_step = 1;
    int m_distance = 0;
};

// Lets a step go once the tick count differs from the one of the previous step.
class FramePacer {
public:
    explicit FramePacer(std::uint32_t start_tick) : m_last(start_tick) {}
    bool may_step(std::uint32_t tick) const { return tick != m_last; }
    void stepped(std::uint32_t tick) { m_last = tick; }

private:
    std::uint32_t m_last;
};

}  // namespace dxbar
