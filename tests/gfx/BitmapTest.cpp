#include "platform/gfx/TBitmap.h"

#include <gtest/gtest.h>

namespace {

// Window-sized bitmaps live in memory of their own kind (huge pages); moving
// between the kinds must keep what the two sizes share and whiten the rest.
TEST(BitmapTest, ResizingAcrossWindowSizesKeepsTheCommonPart) {
    struct Step {
        int w, h;
    };
    const Step steps[] = {{30, 20}, {1920, 1080}, {700, 3000}, {25, 25}, {2000, 1200}};
    TBitmap bmp;
    int prev_w = 0, prev_h = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h);
        // Mark the corners of the part every later size shares.
        if (prev_w) {
            bmp.set_pixel(0, 0, 0xFF112233);
            bmp.set_pixel(std::min(prev_w, 25) - 1, std::min(prev_h, 20) - 1, 0xFF445566);
        }
        bmp.SetSize(s.w, s.h);
        ASSERT_EQ(bmp.Width(), s.w);
        ASSERT_EQ(bmp.Height(), s.h);
        if (prev_w) {
            EXPECT_EQ(bmp.pixel(0, 0), 0xFF112233u);
            EXPECT_EQ(bmp.pixel(std::min(prev_w, 25) - 1, std::min(prev_h, 20) - 1), 0xFF445566u);
            if (s.w > prev_w) {
                EXPECT_EQ(bmp.color_at(s.w - 1, 0), clWhite);
            }
            if (s.h > prev_h) {
                EXPECT_EQ(bmp.color_at(0, s.h - 1), clWhite);
            }
        }
        bmp.Canvas().Brush().SetColor(clRed);
        bmp.Canvas().FillRect(Rect(s.w - 2, s.h - 2, s.w, s.h));
        EXPECT_EQ(bmp.color_at(s.w - 1, s.h - 1), clRed);
        prev_w = s.w;
        prev_h = s.h;
    }
    TBitmap copy;
    copy.Assign(bmp);
    EXPECT_EQ(copy.Width(), 2000);
    EXPECT_EQ(copy.pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(copy.color_at(1999, 1199), clRed);
}

}  // namespace
