// A test's screen scale: set for the scope, back to 1 after it.
#pragma once

#include "platform/gfx/ScreenScale.h"

struct ScreenScaleScope {
    explicit ScreenScaleScope(int scale) { gfx::set_screen_scale(scale); }
    ~ScreenScaleScope() { gfx::set_screen_scale(1); }
    ScreenScaleScope(const ScreenScaleScope&) = delete;
    ScreenScaleScope& operator=(const ScreenScaleScope&) = delete;
};
