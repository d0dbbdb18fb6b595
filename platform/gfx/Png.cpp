#include "platform/gfx/Png.h"

#include "platform/classes/Exception.h"
#include "platform/gfx/TBitmap.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace gfx {
namespace {

// Fills row `y` of the image, `channels` bytes a pixel.
using RowFill = void (*)(const void* source, int y, png_byte* row);

// Only plain values live in this function, since libpng reports errors by
// longjmp back into it. False when the file cannot be written.
bool write_rows(std::FILE* file, int w, int h, int channels, RowFill fill, const void* source, png_byte* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        fill(source, y, row);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

void write_png(const std::string& path, int w, int h, int channels, RowFill fill, const void* source) {
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw Exception("Cannot create file " + path);
    std::vector<png_byte> row(static_cast<std::size_t>(w) * static_cast<std::size_t>(channels));
    if (!write_rows(file.get(), w, h, channels, fill, source, row.data())) throw Exception("Cannot write PNG " + path);
    // A full disk shows only when the buffered rest is written out.
    if (std::fclose(file.release()) != 0) throw Exception("Cannot write PNG " + path);
}

struct Masked {
    const TBitmap& bitmap;
    const std::vector<std::uint8_t>& mask;
};

}  // namespace

void save_png(const TBitmap& bitmap, const std::string& path) {
    const int w = std::max(bitmap.Width(), 1), h = std::max(bitmap.Height(), 1);
    write_png(path, w, h, 3, [](const void* source, int y, png_byte* row) {
        const auto& b = *static_cast<const TBitmap*>(source);
        const int w = std::max(b.Width(), 1);
        for (int x = 0; x < w; ++x, row += 3) {
            const Pixel p = (x < b.Width() && y < b.Height()) ? b.pixel(x, y) : 0xFFFFFFFFu;
            row[0] = static_cast<png_byte>((p >> 16) & 0xFF);
            row[1] = static_cast<png_byte>((p >> 8) & 0xFF);
            row[2] = static_cast<png_byte>(p & 0xFF);
        }
    }, &bitmap);
}

void save_png(const TBitmap& bitmap, const std::vector<std::uint8_t>& mask, const std::string& path) {
    const std::size_t pixels = static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height());
    if (mask.size() != pixels) throw Exception("Cannot write PNG " + path + ": the mask does not fit the image");
    const Masked masked{bitmap, mask};
    write_png(path, bitmap.Width(), bitmap.Height(), 4, [](const void* source, int y, png_byte* row) {
        const auto& m = *static_cast<const Masked*>(source);
        const int w = m.bitmap.Width();
        for (int x = 0; x < w; ++x, row += 4) {
            const Pixel p = m.bitmap.pixel(x, y);
            const bool opaque = m.mask[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] != 0;
            row[0] = opaque ? static_cast<png_byte>((p >> 16) & 0xFF) : 0;
            row[1] = opaque ? static_cast<png_byte>((p >> 8) & 0xFF) : 0;
            row[2] = opaque ? static_cast<png_byte>(p & 0xFF) : 0;
            row[3] = opaque ? 255 : 0;
        }
    }, &masked);
}

}  // namespace gfx
