// Drawing at a screen scale: text rendered by FreeType at the scaled height
// (not blown up from the small one), frames, edges and focus rectangles as
// thick as the scale, and the rounding of sizes kept at 96 dpi.
#include "platform/gfx/FontFace.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TBitmap.h"
#include "tests/support/ScreenScaleScope.h"

#include "tests/gfx/ProbeBoard.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using gfxtest::Board;
using gfxtest::kBack;

// A font description of a name and height, kept for the test's duration.
const TFont& font_of(const char* name, int height) {
    static std::vector<std::unique_ptr<TFont>> fonts;
    fonts.push_back(std::make_unique<TFont>());
    fonts.back()->SetName(name);
    fonts.back()->SetHeight(height);
    return *fonts.back();
}

}  // namespace

TEST(ScreenScaleTest, TextIsRenderedAtTheScaledHeightItself) {
    for (const char* name : {"Courier New", "Arial", "Tahoma"}) {
        // A face of its own, outside the cache, rendered at 26 pixels.
        gfx::FontFace big(gfx::resolve_font(name, {}, fpDefault), font_of(name, -26));
        ScreenScaleScope scale(2);
        gfx::FontFace& scaled = gfx::font_face(font_of(name, -13));
        EXPECT_EQ(scaled.pixel_size(), 26) << name;
        EXPECT_EQ(scaled.metrics().height, big.metrics().height) << name;
        EXPECT_EQ(&gfx::font_face(font_of(name, -13), 1), &gfx::font_face(font_of(name, -13), 1));
        EXPECT_NE(&gfx::font_face(font_of(name, -13), 1), &scaled);
        for (unsigned char c : {0x57, 0x67, 0x30, 0xC6}) {  // W g 0 and a capital Zhe
            const gfx::Glyph& a = scaled.glyph(c);
            const gfx::Glyph& b = big.glyph(c);
            EXPECT_EQ(a.advance, b.advance) << name << " " << int(c);
            EXPECT_EQ(a.width, b.width) << name << " " << int(c);
            EXPECT_EQ(a.coverage, b.coverage) << name << " " << int(c);
        }
    }
}

TEST(ScreenScaleTest, FramesEdgesAndFocusRectanglesAreTheScaleThick) {
    for (int s : {1, 2, 3}) {
        ScreenScaleScope scale(s);
        Board frame(40, 40);
        frame.c().Brush().SetColor(clRed);
        frame.c().FrameRect(Rect(2, 2, 22, 22));
        // s rings of a 20 x 20 square, each 8 pixels shorter than the one outside it.
        int ring_pixels = 0;
        for (int k = 0; k < s; ++k) ring_pixels += 4 * (20 - 2 * k) - 4;
        EXPECT_EQ(frame.count(clRed), ring_pixels) << s;
        EXPECT_EQ(frame.at(2 + s - 1, 10), clRed) << s;
        EXPECT_EQ(frame.at(2 + s, 10), kBack) << s;

        Board edge(40, 40);
        TRect r = Rect(2, 2, 30, 30);
        edge.c().DrawEdge(r, gfx::EDGE_RAISED, gfx::BF_RECT | gfx::BF_ADJUST);
        EXPECT_EQ(r, Rect(2 + 2 * s, 2 + 2 * s, 30 - 2 * s, 30 - 2 * s)) << s;
        EXPECT_EQ(edge.at(2 + s - 1, 15), ColorToRGB(cl3DLight)) << s;
        EXPECT_EQ(edge.at(2 + s, 15), ColorToRGB(clBtnHighlight)) << s;
        EXPECT_EQ(edge.at(30 - 2 * s, 15), ColorToRGB(clBtnShadow)) << s;
        EXPECT_EQ(edge.at(30 - 2 * s - 1, 15), kBack) << s;

        Board focus(40, 40);
        focus.c().DrawFocusRect(Rect(0, 0, 8 * s, 8 * s));
        const TColor inv = ColorToRGB(kBack) ^ 0xFFFFFF;
        // The dots are s x s squares: the pattern of 96 dpi, every pixel s times.
        EXPECT_EQ(focus.count(inv), 14 * s * s) << s;
        EXPECT_EQ(focus.at(s - 1, s - 1), inv) << s;
        EXPECT_EQ(focus.at(s, 0), kBack) << s;
        EXPECT_EQ(focus.at(2 * s, 0), inv) << s;
    }
}

TEST(ScreenScaleTest, SizesKeptAt96DpiRoundToTheNearest) {
    const struct {
        int scale, pixels, logical;
    } cases[] = {{1, 7, 7}, {2, 98, 49}, {2, 5, 3}, {2, 4, 2}, {2, -5, -3}, {3, 4, 1}, {3, 5, 2}, {4, 6, 2}, {4, 5, 1}};
    for (const auto& c : cases) {
        ScreenScaleScope scale(c.scale);
        EXPECT_EQ(gfx::unscaled(c.pixels), c.logical) << c.scale << " " << c.pixels;
        EXPECT_EQ(gfx::unscaled(gfx::scaled(c.logical)), c.logical);
    }
    gfx::set_screen_scale(9);
    EXPECT_EQ(gfx::screen_scale(), gfx::kMaxScreenScale);
    gfx::set_screen_scale(0);
    EXPECT_EQ(gfx::screen_scale(), 1);
}
