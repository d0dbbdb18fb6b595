// PNG files of bitmaps: screenshots, test results to look at, and the
// program's icon for the desktop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

namespace gfx {

// Writes the bitmap as an 8-bit RGB PNG (an empty one as one white pixel);
// throws Exception when the file cannot be written or closed.
void save_png(const TBitmap& bitmap, const std::string& path);

// Writes the bitmap as an 8-bit RGBA PNG: transparent, and black, where the
// mask (one byte a pixel, row by row) is 0, opaque elsewhere. Throws as above.
void save_png(const TBitmap& bitmap, const std::vector<std::uint8_t>& mask, const std::string& path);

}  // namespace gfx
