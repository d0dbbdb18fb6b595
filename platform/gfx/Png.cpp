#include "platform/gfx/Png.h"

#include "platform/classes/Exception.h"
#include "platform/gfx/TBitmap.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace gfx {

void save_png(const TBitmap& bitmap, const std::string& path) {
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw Exception("Cannot create file " + path);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        throw Exception("Cannot write PNG " + path);
    }
    const int w = std::max(bitmap.Width(), 1), h = std::max(bitmap.Height(), 1);
    std::vector<png_byte> row(static_cast<std::size_t>(w) * 3);
    // libpng reports errors by longjmp; nothing with a destructor lives
    // between here and the end of the writing.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw Exception("Cannot write PNG " + path);
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Pixel p = (x < bitmap.Width() && y < bitmap.Height()) ? bitmap.pixel(x, y) : 0xFFFFFFFFu;
            row[static_cast<std::size_t>(x) * 3 + 0] = static_cast<png_byte>((p >> 16) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>((p >> 8) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(p & 0xFF);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
}

}  // namespace gfx
