// The timing decisions of the grid's mouse scrolling, apart from the control:
// what holding the left button above or below the rows does, and the speed
// and direction of panning with the middle button. The control runs the
// timers on the window system's clock and carries the decisions out.
#pragma once

#include "platform/gfx/TRect.h"

namespace grid {

// Interval of the timer that walks the rows while the button is held outside them.
inline constexpr unsigned kMouseScrollInterval = 60;
// Interval of the timers of a drag over the grid and of a header drag.
inline constexpr unsigned kDragScrollInterval = 100;
// Pixels a drag's sideways scroll moves the columns on each tick.
inline constexpr int kDragScrollStep = 32;
// Interval of the panning timer.
inline constexpr unsigned kPanningInterval = 20;
// The panning mark is a square bitmap of this size.
inline constexpr int kPanningMarkSize = 29;

// The left button is held on the rows and the pointer moves to `y`.
struct RowsPressMove {
    enum Kind {
        FocusRowAt,       // stop the timer; focus the row under the pointer
        ScrollUp,         // focus the top row; the timer moves the focus up a row per tick
        ScrollDown,       // focus the last fully shown row; the timer moves it down a row per tick
    };
    Kind kind = FocusRowAt;
};
RowsPressMove rows_press_move(int y, int data_top, int data_bottom);

// Panning: the pointer's offset from the origin, and which scroll bars show.
struct PanningStep {
    enum Direction { None, Up, Down, Left, Right };
    Direction direction = None;
    int speed = 0;  // 1 (a line every 12 ticks) .. 12 (a line every tick); 0 in the dead zone
    // Timer ticks between two line scrolls: 13 - speed.
    int ticks_per_line() const { return speed > 0 ? 13 - speed : 0; }
};
PanningStep panning_step(int dx, int dy, bool horizontal_bar, bool vertical_bar);

// Which of the three marks (and the matching dead-zone cursor) panning shows.
enum class PanningMark { Full, Horizontal, Vertical };
inline PanningMark panning_mark(bool horizontal_bar, bool vertical_bar) {
    if (horizontal_bar && vertical_bar) return PanningMark::Full;
    return horizontal_bar ? PanningMark::Horizontal : PanningMark::Vertical;
}

}  // namespace grid
