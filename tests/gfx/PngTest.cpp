#include "platform/gfx/Png.h"

#include "platform/classes/Exception.h"
#include "platform/gfx/TBitmap.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <vector>

namespace {

// The file read back as 8-bit RGBA, row by row.
std::vector<png_byte> read_rgba(const std::string& path, int& w, int& h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    return pixels;
}

void fill_two_by_two(TBitmap& b) {
    b.set_pixel(0, 0, 0xFF102030u);
    b.set_pixel(1, 0, 0xFF405060u);
    b.set_pixel(0, 1, 0xFF708090u);
    b.set_pixel(1, 1, 0xFFA0B0C0u);
}

TEST(Png, ColoursAndTheMaskComeBackAsWritten) {
    TempDir dir;
    TBitmap b(2, 2);
    fill_two_by_two(b);
    int w = 0, h = 0;
    gfx::save_png(b, (dir / "rgb.png").string());
    EXPECT_EQ(read_rgba((dir / "rgb.png").string(), w, h),
              (std::vector<png_byte>{0x10, 0x20, 0x30, 255, 0x40, 0x50, 0x60, 255, 0x70, 0x80, 0x90, 255, 0xA0, 0xB0, 0xC0, 255}));
    gfx::save_png(b, {1, 0, 0, 1}, (dir / "rgba.png").string());
    EXPECT_EQ(read_rgba((dir / "rgba.png").string(), w, h),
              (std::vector<png_byte>{0x10, 0x20, 0x30, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0xA0, 0xB0, 0xC0, 255}));
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
}

TEST(Png, AnEmptyBitmapIsOneWhitePixel) {
    TempDir dir;
    int w = 0, h = 0;
    gfx::save_png(TBitmap(0, 0), (dir / "empty.png").string());
    EXPECT_EQ(read_rgba((dir / "empty.png").string(), w, h), (std::vector<png_byte>{255, 255, 255, 255}));
}

// A disk that fills up shows only when the buffered rest is written out on closing.
TEST(Png, AFileThatCannotBeWrittenOrClosedThrows) {
    TBitmap b(2, 2);
    fill_two_by_two(b);
    EXPECT_THROW(gfx::save_png(b, "/dev/full"), Exception);
    EXPECT_THROW(gfx::save_png(b, {1, 1, 1, 1}, "/dev/full"), Exception);
    EXPECT_THROW(gfx::save_png(b, "/nonexistent-folder/x.png"), Exception);
    TempDir dir;
    EXPECT_THROW(gfx::save_png(b, {1, 1, 1}, (dir / "short-mask.png").string()), Exception);
}

}  // namespace
