#include "platform/gfx/TColor.h"

#include <gtest/gtest.h>

namespace {

struct SystemColorsRestore : ::testing::Test {
    void TearDown() override { gfx::SystemColors::reset_defaults(); }
};

TEST(ColorTest, SystemColoursResolveThroughTheTable) {
    struct Case { TColor color; TColor rgb; };
    const Case cases[] = {
        {clBtnFace, RGB(0xD4, 0xD0, 0xC8)},   {clWindow, clWhite},
        {clBtnShadow, RGB(0x80, 0x80, 0x80)}, {clHighlight, RGB(0x0A, 0x24, 0x6A)},
        {cl3DDkShadow, RGB(0x40, 0x40, 0x40)}, {clInfoBk, RGB(0xFF, 0xFF, 0xE1)},
        {RGB(1, 2, 3), RGB(1, 2, 3)},
    };
    for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.color), c.rgb) << std::hex << c.color;
    EXPECT_EQ(clBtnFace, -2147483633);
    EXPECT_EQ(clWindow, -2147483643);
    EXPECT_EQ(clBtnShadow, -2147483632);
    EXPECT_EQ(clNone, 536870911);
    EXPECT_EQ(gfx::to_pixel(RGB(0x12, 0x34, 0x56)), 0xFF123456u);
    EXPECT_EQ(gfx::to_color(0xFF123456u), RGB(0x12, 0x34, 0x56));
}

TEST_F(SystemColorsRestore, ChangeIsBroadcastOnceAndOnlyWhenDifferent) {
    int calls = 0;
    const auto id = gfx::SystemColors::add_listener([&] { ++calls; });
    gfx::SystemColors::set(gfx::system_color_index(clHighlight), clRed);
    gfx::SystemColors::set(gfx::system_color_index(clHighlight), clRed);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ColorToRGB(clHighlight), clRed);
    gfx::SystemColors::remove_listener(id);
    gfx::SystemColors::reset_defaults();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(0x0A, 0x24, 0x6A));
}

TEST(ColorTest, ShiftedColourIsLimitedPerComponent) {
    // The hot face of the bars: highlight + (172, 153, 104).
    EXPECT_EQ(gfx::shifted_color(clHighlight, 172, 153, 104), RGB(0xB6, 0xBD, 0xD2));
    EXPECT_EQ(gfx::shifted_color(clBtnFace, -79, -62, -18), RGB(0x85, 0x92, 0xB6));
    EXPECT_EQ(gfx::shifted_color(RGB(250, 5, 128), 10, -10, 0), RGB(255, 0, 128));
}

}  // namespace
