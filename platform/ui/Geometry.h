// Points and rectangles of the window system are the drawing layer's.
#pragma once

#include "platform/gfx/Region.h"
#include "platform/gfx/TRect.h"
