// PNG files of bitmaps, for screenshots and for looking at test results.
#pragma once

#include <string>

class TBitmap;

namespace gfx {

// Writes the bitmap as an 8-bit RGB PNG; throws Exception when the file
// cannot be written.
void save_png(const TBitmap& bitmap, const std::string& path);

}  // namespace gfx
