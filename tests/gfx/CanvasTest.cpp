#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"

#include "tests/gfx/ProbeBoard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using gfxtest::Board;
using gfxtest::kBack;

TEST(CanvasTest, FillRectCoversLeftTopButNotRightBottom) {
    Board b;
    b.c().Brush().SetColor(clRed);
    b.c().FillRect(Rect(2, 3, 6, 8));
    EXPECT_EQ(b.at(2, 3), clRed);
    EXPECT_EQ(b.at(5, 7), clRed);
    EXPECT_EQ(b.at(6, 7), kBack);
    EXPECT_EQ(b.at(5, 8), kBack);
    EXPECT_EQ(b.count(clRed), 4 * 5);
    b.c().Brush().SetStyle(bsClear);
    b.c().FillRect(Rect(0, 0, 32, 32));
    EXPECT_EQ(b.count(clRed), 20);
}

TEST(CanvasTest, LinesStopBeforeTheirLastPoint) {
    struct Case { TPoint a, b; int pixels; };
    const Case cases[] = {
        {{2, 5}, {9, 5}, 7},  {{9, 5}, {2, 5}, 7},   {{4, 1}, {4, 20}, 19},
        {{4, 20}, {4, 1}, 19}, {{1, 1}, {11, 11}, 10}, {{20, 3}, {10, 8}, 10},
    };
    for (const Case& t : cases) {
        Board b;
        b.c().Pen().SetColor(clLime);
        b.c().MoveTo(t.a.X, t.a.Y);
        b.c().LineTo(t.b.X, t.b.Y);
        EXPECT_EQ(b.at(t.a.X, t.a.Y), clLime) << t.a.X << "," << t.a.Y;
        EXPECT_EQ(b.at(t.b.X, t.b.Y), kBack) << t.b.X << "," << t.b.Y;
        EXPECT_EQ(b.count(clLime), t.pixels);
        EXPECT_EQ(b.c().PenPos(), t.b);
    }
}

TEST(CanvasTest, PolylineDrawsCornersOnceAndPolyPolylineSplitsRuns) {
    Board b;
    b.c().Pen().SetColor(clWhite);
    b.c().Pen().SetMode(pmXor);
    const TPoint corner[] = {{1, 1}, {6, 1}, {6, 6}};
    b.c().Polyline(corner);
    // Under XOR a corner drawn twice would vanish.
    EXPECT_EQ(b.at(6, 1), ColorToRGB(kBack) ^ 0xFFFFFF);
    EXPECT_EQ(b.at(6, 6), kBack);
    EXPECT_EQ(b.count(ColorToRGB(kBack) ^ 0xFFFFFF), 10);

    Board g;
    g.c().Pen().SetColor(clBlack);
    const TPoint segs[] = {{0, 10}, {20, 10}, {5, 0}, {5, 10}, {0, 20}, {3, 20}};
    const int counts[] = {2, 2, 2};
    g.c().PolyPolyline(segs, counts);
    EXPECT_EQ(g.count(clBlack), 20 + 10 + 3);
    EXPECT_EQ(g.at(5, 9), clBlack);
    EXPECT_EQ(g.at(4, 20), kBack);  // no connecting line between runs
}

TEST(CanvasTest, PenModesCombineWithTheScreen) {
    struct Case { TPenMode mode; TColor pen; TColor expected; };
    const TColor dst = RGB(0x12, 0x34, 0x56);
    const Case cases[] = {
        {pmCopy, clRed, clRed},
        {pmXor, RGB(0xFF, 0x00, 0x0F), RGB(0xED, 0x34, 0x59)},
        {pmNotXor, clBlack, RGB(0xED, 0xCB, 0xA9)},  // black pen, not-XOR: inversion
        {pmNot, clRed, RGB(0xED, 0xCB, 0xA9)},
        {pmNop, clRed, dst},
    };
    for (const Case& t : cases) {
        TBitmap bmp(4, 1);
        bmp.Canvas().Brush().SetColor(dst);
        bmp.Canvas().FillRect(Rect(0, 0, 4, 1));
        bmp.Canvas().Pen().SetColor(t.pen);
        bmp.Canvas().Pen().SetMode(t.mode);
        bmp.Canvas().MoveTo(0, 0);
        bmp.Canvas().LineTo(3, 0);
        EXPECT_EQ(bmp.color_at(1, 0), t.expected) << t.mode;
        EXPECT_EQ(bmp.color_at(3, 0), dst);
    }
}

TEST(CanvasTest, InversionsUndoThemselves) {
    Board b;
    b.c().Brush().SetColor(clRed);
    b.c().FillRect(Rect(3, 3, 20, 9));
    const auto before = b.pixels();

    b.c().InvertRect(Rect(1, 1, 10, 10));
    EXPECT_EQ(b.at(1, 1), ColorToRGB(kBack) ^ 0xFFFFFF);
    EXPECT_EQ(b.at(5, 5), clAqua);
    b.c().InvertRect(Rect(1, 1, 10, 10));
    EXPECT_EQ(b.pixels(), before);

    b.c().InvertFrame(Rect(2, 2, 12, 9));
    EXPECT_EQ(b.count(ColorToRGB(kBack) ^ 0xFFFFFF), 30 - 14);  // the border pixels off the red area
    EXPECT_EQ(b.at(2, 2), ColorToRGB(kBack) ^ 0xFFFFFF);  // corners once, not twice
    EXPECT_EQ(b.at(11, 8), clAqua);
    b.c().InvertFrame(Rect(2, 2, 12, 9));
    EXPECT_EQ(b.pixels(), before);

    b.c().DrawFocusRect(Rect(2, 2, 12, 9));
    EXPECT_NE(b.pixels(), before);
    b.c().DrawFocusRect(Rect(2, 2, 12, 9));
    EXPECT_EQ(b.pixels(), before);

    b.c().Pen().SetColor(clBlack);
    b.c().Pen().SetMode(pmNotXor);
    for (int pass = 0; pass < 2; ++pass) {
        b.c().MoveTo(7, 0);
        b.c().LineTo(7, 30);
    }
    EXPECT_EQ(b.pixels(), before);
}

TEST(CanvasTest, FocusRectDotsEveryOtherBorderPixelFromTheCorner) {
    Board b;
    b.c().DrawFocusRect(Rect(4, 4, 12, 10));
    const TColor inv = ColorToRGB(kBack) ^ 0xFFFFFF;
    EXPECT_EQ(b.at(4, 4), inv);
    EXPECT_EQ(b.at(5, 4), kBack);
    EXPECT_EQ(b.at(6, 4), inv);
    EXPECT_EQ(b.at(4, 5), kBack);
    EXPECT_EQ(b.at(4, 6), inv);
    EXPECT_EQ(b.at(11, 5), inv);  // (11-4)+(5-4) even
    EXPECT_EQ(b.at(6, 6), kBack);  // inside untouched
    EXPECT_EQ(b.at(12, 4), kBack);
    EXPECT_EQ(b.count(inv), 12);  // half of the 24 border pixels
}

TEST(CanvasTest, FrameAndRectangleGeometry) {
    Board b;
    b.c().Brush().SetColor(clRed);
    b.c().FrameRect(Rect(2, 2, 7, 6));
    EXPECT_EQ(b.count(clRed), 14);
    EXPECT_EQ(b.at(6, 5), clRed);
    EXPECT_EQ(b.at(3, 3), kBack);

    Board r;
    r.c().Pen().SetColor(clBlack);
    r.c().Brush().SetColor(clYellow);
    r.c().Rectangle(2, 2, 7, 6);
    EXPECT_EQ(r.count(clBlack), 14);
    EXPECT_EQ(r.count(clYellow), 3 * 2);
    r.c().Pen().SetStyle(psClear);
    r.c().Brush().SetColor(clBlue);
    r.c().Rectangle(10, 10, 14, 13);  // without a pen the fill loses its last row and column
    EXPECT_EQ(r.count(clBlue), 3 * 2);
}

TEST(CanvasTest, EdgesUseThe3DColours) {
    Board b;
    TRect r = Rect(2, 2, 10, 8);
    b.c().DrawEdge(r, gfx::EDGE_RAISED, gfx::BF_RECT | gfx::BF_ADJUST | gfx::BF_MIDDLE);
    EXPECT_EQ(r, Rect(4, 4, 8, 6));
    const TColor light = ColorToRGB(cl3DLight), dk = ColorToRGB(cl3DDkShadow);
    const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
    struct Probe { int x, y; TColor c; };
    const Probe probes[] = {
        {2, 2, light}, {8, 2, light}, {9, 2, dk}, {2, 7, dk}, {9, 7, dk}, {2, 6, light},
        {3, 3, hi},    {8, 3, sh},    {3, 6, sh}, {7, 3, hi}, {5, 5, ColorToRGB(clBtnFace)},
    };
    for (const Probe& p : probes) EXPECT_EQ(b.at(p.x, p.y), p.c) << p.x << "," << p.y;

    Board s;
    TRect q = Rect(0, 0, 4, 4);
    s.c().DrawEdge(q, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
    EXPECT_EQ(s.at(0, 0), sh);
    EXPECT_EQ(s.at(3, 0), hi);
    EXPECT_EQ(s.at(3, 3), hi);
    EXPECT_EQ(q, Rect(0, 0, 4, 4));

    Board f;
    TRect fl = Rect(0, 0, 4, 4);
    f.c().DrawEdge(fl, gfx::BDR_SUNKENOUTER, gfx::BF_RECT | gfx::BF_FLAT);
    EXPECT_EQ(f.count(sh), 12);
}

TEST(CanvasTest, PatternBrushFollowsTheCanvasOrigin) {
    TBitmap screen(40, 20);
    TCanvas child(screen.surface());
    child.set_origin({3, 5});
    child.Brush().SetPattern(gfx::checkerboard(clWhite, clBlack));
    child.FillRect(Rect(0, 0, 4, 4));
    child.FillRect(Rect(4, 0, 8, 4));  // continues the same phase
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(screen.color_at(x + 3, y + 5), (x + y) % 2 == 0 ? clWhite : clBlack) << x << "," << y;
    child.SetBrushOrigin({1, 0});
    child.FillRect(Rect(0, 0, 2, 1));
    EXPECT_EQ(screen.color_at(3, 5), clBlack);
}

TEST(CanvasTest, APatternRepeatsEveryEightPixelsFromItsPhase) {
    // Sixty-four different pixels, so that any slip of the phase shows.
    gfx::Pattern pattern{};
    for (int i = 0; i < 64; ++i) pattern[static_cast<std::size_t>(i)] = 0xFF000000u | static_cast<gfx::Pixel>(i * 0x030201);
    TBitmap screen(40, 20);
    TCanvas child(screen.surface());
    child.set_origin({3, 5});
    child.SetBrushOrigin({2, 1});
    child.Brush().SetPattern(pattern);
    const TRect filled = Rect(1, 0, 30, 11);  // wider and taller than the pattern, from an odd column
    child.FillRect(filled);
    for (int y = filled.Top; y < filled.Bottom; ++y)
        for (int x = filled.Left; x < filled.Right; ++x)
            ASSERT_EQ(screen.pixel(x + 3, y + 5), pattern[static_cast<std::size_t>(((y - 1) & 7) * 8 + ((x - 2) & 7))])
                << x << "," << y;
    EXPECT_EQ(screen.pixel(3, 5), screen.pixel(2, 5)) << "nothing left of the rectangle";
}

TEST(CanvasTest, ClipRegionAndOriginConfineDrawing) {
    Board b(40, 40);
    TCanvas child(b.bmp.surface());
    child.set_origin({10, 10});
    gfx::Region clip(Rect(0, 0, 5, 5));
    clip.add(Rect(8, 0, 12, 3));
    child.set_clip_region(clip);
    EXPECT_TRUE(child.RectVisible(Rect(9, 1, 10, 2)));
    EXPECT_FALSE(child.RectVisible(Rect(5, 0, 8, 20)));
    child.Brush().SetColor(clRed);
    child.FillRect(Rect(-10, -10, 40, 40));
    EXPECT_EQ(b.count(clRed), 25 + 12);
    EXPECT_EQ(b.at(10, 10), clRed);
    EXPECT_EQ(b.at(9, 10), kBack);
    EXPECT_EQ(b.at(18, 12), clRed);
    EXPECT_EQ(b.at(18, 13), kBack);

    child.ExcludeClipRect(Rect(0, 0, 1, 1));
    child.Brush().SetColor(clBlue);
    child.FillRect(Rect(0, 0, 3, 3));
    EXPECT_EQ(b.at(10, 10), clRed);
    EXPECT_EQ(b.at(11, 10), clBlue);
    // A surface edge clips too.
    child.set_clip_region(std::nullopt);
    child.FillRect(Rect(25, 25, 100, 100));
    EXPECT_EQ(b.at(39, 39), clBlue);
}

TEST(CanvasTest, PolygonFillsPixelCentresAndOutlinesWithThePen) {
    Board b;
    b.c().Pen().SetStyle(psClear);
    b.c().Brush().SetColor(clRed);
    const TPoint square[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
    b.c().Polygon(square);
    EXPECT_EQ(b.count(clRed), 100);
    EXPECT_EQ(b.at(11, 11), clRed);
    EXPECT_EQ(b.at(12, 11), kBack);

    // The header-drag arrow pointing down, outlined black and filled green.
    Board a;
    a.c().Pen().SetColor(clBlack);
    a.c().Brush().SetColor(clLime);
    const TPoint arrow[] = {{5, 8}, {0, 3}, {3, 3}, {3, 0}, {7, 0}, {7, 3}, {10, 3}};
    a.c().Polygon(arrow);
    for (const TPoint& p : arrow) EXPECT_EQ(a.at(p.X, p.Y), clBlack) << p.X << "," << p.Y;
    EXPECT_EQ(a.at(5, 2), clLime);
    EXPECT_EQ(a.at(5, 5), clLime);
    EXPECT_EQ(a.at(1, 1), kBack);
    EXPECT_EQ(a.at(5, 9), kBack);
}

TEST(CanvasTest, BitBltCopiesInvertsAndHandlesOverlap) {
    Board src(8, 8);
    src.c().Brush().SetColor(clRed);
    src.c().FillRect(Rect(0, 0, 4, 4));
    Board dst;
    dst.c().BitBlt(10, 10, 8, 8, src.c(), 0, 0, cmSrcCopy);
    EXPECT_EQ(dst.at(10, 10), clRed);
    EXPECT_EQ(dst.at(14, 14), kBack);
    EXPECT_EQ(dst.count(clRed), 16);
    dst.c().BitBlt(10, 10, 2, 2, src.c(), 0, 0, cmDstInvert);
    EXPECT_EQ(dst.at(10, 10), clAqua);
    dst.c().BitBlt(10, 10, 2, 2, src.c(), 0, 0, cmSrcInvert);
    EXPECT_EQ(dst.at(11, 11), clWhite);

    // Overlapping copy within one bitmap reads the original pixels.
    Board row(8, 1);
    for (int x = 0; x < 8; ++x) row.c().SetPixel(x, 0, RGB(x, 0, 0));
    row.c().BitBlt(1, 0, 7, 1, row.c(), 0, 0, cmSrcCopy);
    for (int x = 1; x < 8; ++x) EXPECT_EQ(row.at(x, 0), RGB(x - 1, 0, 0));

    // A transparent bitmap leaves out the colour of its bottom-left pixel.
    TBitmap glyph(3, 2);  // white, bottom-left pixel white
    glyph.Canvas().SetPixel(1, 0, clRed);
    glyph.SetTransparent(true);
    Board t;
    t.c().Draw(4, 4, glyph);
    EXPECT_EQ(t.at(5, 4), clRed);
    EXPECT_EQ(t.count(kBack), 32 * 32 - 1);
    glyph.SetTransparentColor(clRed);
    t.c().Draw(4, 4, glyph);
    EXPECT_EQ(t.at(4, 4), clWhite);
    EXPECT_EQ(t.at(5, 4), clRed);

    Board big;
    big.c().CopyRect(Rect(0, 0, 16, 16), src.c(), Rect(0, 0, 8, 8));
    EXPECT_EQ(big.count(clRed), 64);
}

TEST(CanvasTest, ScrollRectMovesPixelsAndReportsTheUncoveredStrip) {
    struct Case { int dx, dy; TRect uncovered; };
    const Case cases[] = {
        {0, 3, Rect(0, 0, 10, 3)}, {0, -3, Rect(0, 17, 10, 20)}, {2, 0, Rect(0, 0, 2, 20)},
    };
    for (const Case& t : cases) {
        Board b(10, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 10; ++x) b.c().SetPixel(x, y, RGB(x, y, 0));
        const gfx::Region left = b.c().ScrollRect(t.dx, t.dy, Rect(0, 0, 10, 20), Rect(0, 0, 10, 20));
        EXPECT_EQ(left, gfx::Region(t.uncovered));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 10; ++x)
                if (!t.uncovered.Contains({x, y})) {
                    ASSERT_EQ(b.at(x, y), RGB(x - t.dx, y - t.dy, 0)) << x << "," << y;
                }
    }
    // A child window's canvas scrolls its own part of the top-level bitmap only.
    Board top(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) top.c().SetPixel(x, y, RGB(x, y, 0));
    TCanvas child(top.bmp.surface());
    child.set_origin({5, 5});
    child.SetClipRect(Rect(0, 0, 10, 10));
    const gfx::Region strip = child.ScrollRect(0, -2, Rect(0, 0, 10, 10), Rect(0, 0, 10, 10));
    EXPECT_EQ(strip, gfx::Region(Rect(0, 8, 10, 10)));
    EXPECT_EQ(top.at(5, 5), RGB(5, 7, 0));
    EXPECT_EQ(top.at(14, 12), RGB(14, 14, 0));
    EXPECT_EQ(top.at(4, 5), RGB(4, 5, 0));    // left of the child
    EXPECT_EQ(top.at(5, 15), RGB(5, 15, 0));  // below the child

    // Strips move together, each within itself, up or down.
    for (const int dy : {-3, 4}) {
        Board s(30, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) s.c().SetPixel(x, y, RGB(x, y, 0));
        gfx::Region strips(Rect(2, 2, 8, 18));
        strips.add(Rect(12, 2, 20, 18));
        const gfx::Region left = s.c().ScrollRegion(0, dy, strips);
        gfx::Region expected(dy < 0 ? Rect(2, 18 + dy, 8, 18) : Rect(2, 2, 8, 2 + dy));
        expected.add(dy < 0 ? Rect(12, 18 + dy, 20, 18) : Rect(12, 2, 20, 2 + dy));
        EXPECT_EQ(left.area(), expected.area());
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool moved = strips.contains({x, y}) && !expected.contains({x, y});
                ASSERT_EQ(s.at(x, y), moved ? RGB(x, y - dy, 0) : RGB(x, y, 0)) << dy << ": " << x << "," << y;
            }
    }

    // A clip cuts both what moves and where it may land.
    Board c(10, 10);
    for (int y = 0; y < 10; ++y) c.c().SetPixel(0, y, RGB(0, y, 0));
    const gfx::Region left = c.c().ScrollRect(0, 2, Rect(0, 0, 10, 10), Rect(0, 2, 10, 8));
    EXPECT_EQ(left, gfx::Region(Rect(0, 2, 10, 4)));
    EXPECT_EQ(c.at(0, 4), RGB(0, 2, 0));
    EXPECT_EQ(c.at(0, 7), RGB(0, 5, 0));
    EXPECT_EQ(c.at(0, 8), RGB(0, 8, 0));
}

}  // namespace
