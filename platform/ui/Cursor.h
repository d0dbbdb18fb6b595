// The pointer's shape: one of the system's standard shapes, or one of the
// program's own pictures (the drawing layer's named cursors) with its mask
// and hot spot.
#pragma once

#include "platform/gfx/Resources.h"

#include <memory>
#include <string_view>

namespace ui {

// The drag, no-drop and split shapes are the framework's own pictures on the
// original system; a host shows the nearest shape it has.
enum class StandardCursor {
    arrow, ibeam, wait, cross, size_we, size_ns, size_all, no, hand,
    size_nesw, size_nwse, up_arrow, drag, multi_drag, no_drop, hsplit, vsplit, help, app_start,
    none  // hidden
};

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
