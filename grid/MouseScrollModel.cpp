#include "grid/MouseScrollModel.h"

#include <algorithm>
#include <cstdlib>

namespace grid {

RowsPressMove rows_press_move(int y, int data_top, int data_bottom) {
    if (y < data_top) return {RowsPressMove::ScrollUp};
    if (y >= data_bottom) return {RowsPressMove::ScrollDown};
    return {RowsPressMove::FocusRowAt};
}

PanningStep panning_step(int dx, int dy, bool horizontal_bar, bool vertical_bar) {
    const int half = kPanningMarkSize / 2;
    // Along an axis without a scroll bar the dead zone spans the whole screen.
    const bool out_x = horizontal_bar && std::abs(dx) > half;
    const bool out_y = vertical_bar && std::abs(dy) > half;
    if (!out_x && !out_y) return {};
    PanningStep s;
    const bool vertical = vertical_bar && (!horizontal_bar || std::abs(dy) >= std::abs(dx));
    const int distance = vertical ? std::abs(dy) : std::abs(dx);
    if (vertical)
        s.direction = dy < 0 ? PanningStep::Up : PanningStep::Down;
    else
        s.direction = dx < 0 ? PanningStep::Left : PanningStep::Right;
    s.speed = std::clamp((distance - half) / 5 + 1, 1, 12);
    return s;
}

}  // namespace grid
