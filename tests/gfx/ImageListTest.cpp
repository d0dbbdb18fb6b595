#include "platform/gfx/Resources.h"
#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TImageList.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kBack = RGB(1, 2, 3);

// Two 16 x 16 images side by side: a red square on green, a blue dot on green.
std::unique_ptr<TBitmap> two_images() {
    auto bmp = std::make_unique<TBitmap>(32, 16);
    bmp->Canvas().Brush().SetColor(clGreen);
    bmp->Canvas().FillRect(Rect(0, 0, 32, 16));
    bmp->Canvas().Brush().SetColor(clRed);
    bmp->Canvas().FillRect(Rect(4, 4, 8, 8));
    bmp->Canvas().SetPixel(20, 5, clBlue);
    return bmp;
}

TEST(ImageListTest, WideBitmapsSplitAndTheBottomLeftPixelIsTransparent) {
    TImageList list;
    EXPECT_EQ(list.AddMasked(*two_images(), clDefault), 0);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.opaque(0, 4, 4));
    EXPECT_FALSE(list.opaque(0, 0, 0));
    EXPECT_TRUE(list.opaque(1, 4, 5));

    TBitmap screen(40, 20);
    screen.Canvas().Brush().SetColor(kBack);
    screen.Canvas().FillRect(Rect(0, 0, 40, 20));
    list.Draw(screen.Canvas(), 10, 2, 0);
    EXPECT_EQ(screen.color_at(14, 6), clRed);
    EXPECT_EQ(screen.color_at(13, 6), kBack);
    EXPECT_EQ(screen.color_at(10, 2), kBack);
    list.Draw(screen.Canvas(), 0, 0, 5);  // out of range: nothing
    EXPECT_EQ(screen.color_at(0, 0), kBack);
}

TEST(ImageListTest, DisabledImagesAreEmbossedSilhouettes) {
    TImageList list;
    list.AddMasked(*two_images(), clDefault);
    TBitmap screen(20, 20);
    screen.Canvas().Brush().SetColor(kBack);
    screen.Canvas().FillRect(Rect(0, 0, 20, 20));
    list.Draw(screen.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(screen.color_at(4, 4), ColorToRGB(clBtnShadow));
    EXPECT_EQ(screen.color_at(7, 7), ColorToRGB(clBtnShadow));
    EXPECT_EQ(screen.color_at(8, 8), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(screen.color_at(8, 5), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(screen.color_at(3, 3), kBack);
}

TEST(ImageListTest, AnExplicitMaskBitmapDecidesOpacity) {
    TImageList list;
    list.SetWidth(4);
    list.SetHeight(4);
    TBitmap image(4, 4), mask(4, 4);  // both white: mask says transparent
    mask.Canvas().SetPixel(1, 2, clBlack);
    list.Add(image, &mask);
    EXPECT_TRUE(list.opaque(0, 1, 2));
    EXPECT_FALSE(list.opaque(0, 2, 2));
    list.SetWidth(8);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ResourcesTest, EveryNamedPictureExistsWithItsSize) {
    struct Case { const char* name; int w, h; };
    const Case bitmaps[] = {
        {"DXGRID_ARROW", 5, 9}, {"DXGRID_MULTIARROW", 5, 9}, {"DXGRID_EDIT", 5, 9}, {"DXGRID_INSERT", 5, 9},
        {"DXGRID_MULTIDOT", 5, 9}, {"DXGRID_FULLSCROLLBITMAP", 29, 29}, {"DXGRID_HORSCROLLBITMAP", 29, 29},
        {"dxgrid_verscrollbitmap", 29, 29},
    };
    for (const Case& c : bitmaps) {
        const auto bmp = gfx::load_bitmap(c.name);
        EXPECT_EQ(bmp->Width(), c.w) << c.name;
        EXPECT_EQ(bmp->Height(), c.h) << c.name;
    }
    // Indicator images are black on white, white being their transparent colour.
    const auto arrow = gfx::load_bitmap("DXGRID_ARROW");
    EXPECT_EQ(arrow->color_at(0, 4), clBlack);
    EXPECT_EQ(arrow->color_at(4, 0), clWhite);

    for (const std::string& name : gfx::cursor_names()) {
        const gfx::MaskedImage cur = gfx::load_cursor(name);
        EXPECT_EQ(cur.image->Width(), 32) << name;
        EXPECT_EQ(cur.mask.size(), 32u * 32u);
        EXPECT_TRUE(cur.mask[static_cast<std::size_t>(cur.hotspot.Y * 32 + cur.hotspot.X)]) << name;
        ASSERT_TRUE(cur.image->Transparent());
        int mismatches = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                mismatches += (cur.mask[static_cast<std::size_t>(y * 32 + x)] != 0) ==
                              (cur.image->color_at(x, y) == cur.image->TransparentColor());
        EXPECT_EQ(mismatches, 0) << name;
    }
    EXPECT_EQ(gfx::cursor_names().size(), 8u);
    for (const std::string& name : gfx::icon_names()) EXPECT_EQ(gfx::load_icon(name).image->Width(), 32);
    EXPECT_THROW(gfx::load_bitmap("NO_SUCH_BITMAP"), Exception);
    EXPECT_THROW(gfx::load_cursor("DXGRID_ARROW"), Exception);
}

TEST(ResourcesTest, IconsUseOnlySixteenColoursAndImageListOneHoldsNineImages) {
    const TColor palette[] = {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clSilver,
                              clGray,  clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
    for (const std::string& name : gfx::icon_names()) {
        const gfx::MaskedImage icon = gfx::load_icon(name);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                EXPECT_NE(std::find(std::begin(palette), std::end(palette), icon.image->color_at(x, y)), std::end(palette));
    }
    TImageList list;
    gfx::load_image_list1(list);
    ASSERT_EQ(list.Count(), 9);
    for (int i = 0; i < 9; ++i) {
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) opaque += list.opaque(i, x, y);
        EXPECT_GT(opaque, 30) << i;
        EXPECT_LT(opaque, 256) << i;  // every image has a transparent part
    }
}

}  // namespace
