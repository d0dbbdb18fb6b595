// abonix-icon ICON FILE.png: writes one of the program's icons, drawn in code,
// as an RGBA PNG whose transparent pixels are the icon's mask. The build runs
// it to make the icon the desktop shows for the program.
#include "platform/classes/Exception.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/TBitmap.h"
#include "text/Cp1251.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Only plain values live in this function, since libpng reports errors by
// longjmp back into it. False when the file cannot be written.
bool write_png_rows(std::FILE* file, png_bytep* rows, int w, int h) {
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
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

void write_rgba_png(const gfx::MaskedImage& icon, const char* path) {
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file) throw Exception(AnsiString("Cannot create file ") + path);
    const int w = icon.image->Width(), h = icon.image->Height();
    std::vector<png_byte> pixels(static_cast<std::size_t>(w * h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const gfx::Pixel p = icon.image->pixel(x, y);
            png_byte* out = &pixels[static_cast<std::size_t>(y * w + x) * 4];
            const bool opaque = icon.mask[static_cast<std::size_t>(y * w + x)] != 0;
            out[0] = opaque ? static_cast<png_byte>(p >> 16) : 0;
            out[1] = opaque ? static_cast<png_byte>(p >> 8) : 0;
            out[2] = opaque ? static_cast<png_byte>(p) : 0;
            out[3] = opaque ? 255 : 0;
        }
    std::vector<png_bytep> rows(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) rows[static_cast<std::size_t>(y)] = &pixels[static_cast<std::size_t>(y * w) * 4];
    if (!write_png_rows(file.get(), rows.data(), w, h)) throw Exception(AnsiString("Cannot write PNG ") + path);
    if (std::fclose(file.release()) != 0) throw Exception(AnsiString("Cannot write PNG ") + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: abonix-icon MAINICON|ABOUTICON FILE.png\n");
        return 2;
    }
    try {
        write_rgba_png(gfx::load_icon(argv[1]), argv[2]);
    } catch (const Exception& e) {
        std::fprintf(stderr, "abonix-icon: %s\n", text::cp1251_to_utf8(e.Message()).c_str());
        return 1;
    }
    return 0;
}
