#include "platform/gfx/ScreenScale.h"

#include <algorithm>

namespace gfx {

namespace {
int g_scale = 1;
}  // namespace

int screen_scale() { return g_scale; }

void set_screen_scale(int scale) { g_scale = std::clamp(scale, 1, kMaxScreenScale); }

int unscaled(int pixels) {
    const int s = g_scale;
    if (s == 1) return pixels;
    return pixels >= 0 ? (pixels + s / 2) / s : -((-pixels + s / 2) / s);
}

}  // namespace gfx
