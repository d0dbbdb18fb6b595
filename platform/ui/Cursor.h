// The pointer's shape: one of the system's standard shapes, or one of the
// program's own pictures (the drawing layer's named cursors) with its mask
// and hot spot.
#pragma once

#include "platform/gfx/Resources.h"

#include <memory>
#include <string_view>

namespace ui {

enum class StandardCursor { arrow, ibeam, wait, cross, size_we, size_ns, size_all, no, hand };

struct Cursor {
    StandardCursor shape = StandardCursor::arrow;
    // When set, shown instead of the shape.
    std::shared_ptr<const gfx::MaskedImage> image;

    bool operator==(const Cursor& other) const { return shape == other.shape && image == other.image; }
};

// A cursor resource by name ("DXTL_UPSCROLLCURSOR", …), loaded once and kept;
// throws Exception for an unknown name.
Cursor named_cursor(std::string_view name);

}  // namespace ui
