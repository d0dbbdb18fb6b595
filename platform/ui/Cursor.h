// The pointer's shape: one of the system's standard shapes, or an image of
// our own (the drawing layer's named cursors) with its hot spot.
#pragma once

#include "platform/ui/Geometry.h"

#include <memory>

class TBitmap;

namespace ui {

enum class StandardCursor { arrow, ibeam, wait, cross, size_we, size_ns, size_all, no, hand };

struct Cursor {
    StandardCursor shape = StandardCursor::arrow;
    // When set, shown instead of the shape.
    std::shared_ptr<const TBitmap> image;
    TPoint hotspot;

    bool operator==(const Cursor& other) const {
        return shape == other.shape && image == other.image && hotspot == other.hotspot;
    }
};

}  // namespace ui
