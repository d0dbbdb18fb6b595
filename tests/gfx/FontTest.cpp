#include "platform/gfx/FontFace.h"
#include "platform/gfx/TBitmap.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

// The bounding box of every pixel that is not the background.
TRect ink(const TBitmap& bmp, TColor back = clWhite) {
    TRect box;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.color_at(x, y) != back) box = gfx::bounding(box, Rect(x, y, x + 1, y + 1));
    return box;
}

struct TextBoard {
    TBitmap bmp{200, 60};
    TextBoard(const char* name = "Arial", int height = -13) {
        bmp.Canvas().Brush().SetColor(clWhite);
        bmp.Canvas().FillRect(Rect(0, 0, 200, 60));
        bmp.Canvas().Font().SetName(name);
        bmp.Canvas().Font().SetHeight(height);
        bmp.Canvas().Font().SetColor(clBlack);
        bmp.Canvas().Brush().SetStyle(bsClear);
    }
    TCanvas& c() { return bmp.Canvas(); }
};

TEST(FontTest, NamesResolveToMetricTwinsAndMissingFacesFallBackByPitch) {
    struct Case { const char* name; TFontPitch pitch; const char* family; bool fallback; };
    const Case cases[] = {
        {"Courier New", fpDefault, "Liberation Mono", false},
        {"Times New Roman", fpDefault, "Liberation Serif", false},
        {"Arial", fpDefault, "Liberation Sans", false},
        {"MS Sans Serif", fpDefault, "Liberation Sans", false},
        {"Tahoma", fpDefault, "Liberation Sans", false},
        {"Nonexistent Face 2001", fpDefault, "Liberation Sans", true},
        {"Nonexistent Face 2001", fpFixed, "Liberation Mono", true},
    };
    for (const Case& t : cases) {
        const gfx::FontMatch m = gfx::resolve_font(t.name, {}, t.pitch);
        EXPECT_EQ(m.family, t.family) << t.name;
        EXPECT_EQ(m.fallback, t.fallback) << t.name;
        EXPECT_FALSE(m.file.empty());
    }
    EXPECT_NE(gfx::resolve_font("Arial", {fsBold}, fpDefault).file.find("Bold"), std::string::npos);
}

TEST(FontTest, CourierNewIsFixedPitchWithPlausibleMetrics) {
    TextBoard b("Courier New", -13);
    const gfx::TextMetrics m = b.c().TextMetrics();
    EXPECT_TRUE(m.fixed_pitch);
    EXPECT_EQ(m.ave_char_width, 8);
    EXPECT_GE(m.height, 14);
    EXPECT_LE(m.height, 16);
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_EQ(b.c().TextHeight("Wg"), m.height);
    for (const AnsiString& s : {AnsiString("i"), AnsiString("W"), AnsiString("Жы"_a), AnsiString(".")})
        EXPECT_EQ(b.c().TextWidth(s), 8 * static_cast<int>(s.size())) << s;
    EXPECT_EQ(b.c().Font().Size(), 10);
}

TEST(FontTest, ProportionalWidthsAddUpCharacterByCharacter) {
    TextBoard b("Arial", -13);
    const AnsiString s = "Ивановский W.i"_a;
    const std::vector<int> widths = b.c().CharWidths(s);
    ASSERT_EQ(widths.size(), s.size());
    EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), b.c().TextWidth(s));
    EXPECT_EQ(widths[0] + widths[1], b.c().TextWidth(s.substr(0, 2)));
    EXPECT_GT(b.c().TextWidth("W"), b.c().TextWidth("i"));
    const int before = b.c().TextWidth("Wg");
    b.c().Font().SetStyle({fsBold});
    EXPECT_GE(b.c().TextWidth("Wg"), before);
    // A character without a glyph of its own still has a width.
    EXPECT_GT(b.c().TextWidth("\x98"), 0);
}

TEST(FontTest, SingleLineAlignmentAndVerticalCentring) {
    const TRect r = Rect(10, 5, 190, 55);
    const AnsiString s = "Фамилия"_a;
    int width = 0;
    {
        TextBoard b;
        width = b.c().TextWidth(s);
    }
    for (TTextFormats h : {tfLeft, tfCenter, tfRight}) {
        TextBoard b;
        TRect rr = r;
        b.c().TextRect(rr, s, TTextFormat{h, tfSingleLine, tfVerticalCenter});
        const TRect box = ink(b.bmp);
        const int expected_left = h == tfLeft ? r.Left : h == tfRight ? r.Right - width : r.Left + (r.Width() - width) / 2;
        EXPECT_NEAR(box.Left, expected_left, 1) << h;
        EXPECT_LE(box.Right, expected_left + width + 1) << h;
        const int cell_top = r.Top + (r.Height() - b.c().TextHeight(s)) / 2;
        EXPECT_GE(box.Top, cell_top);
        EXPECT_LE(box.Bottom, cell_top + b.c().TextHeight(s));
    }
}

TEST(FontTest, ClippingAndEndEllipsis) {
    const AnsiString s = "Константинопольский проспект"_a;
    const TRect r = Rect(20, 10, 90, 30);
    TextBoard clipped;
    TRect rr = r;
    clipped.c().TextRect(rr, s, TTextFormat{tfSingleLine});
    EXPECT_EQ(gfx::intersect(ink(clipped.bmp), r), ink(clipped.bmp));
    EXPECT_GE(ink(clipped.bmp).Right, r.Right - 2);

    TextBoard dots;
    rr = r;
    dots.c().TextRect(rr, s, TTextFormat{tfSingleLine, tfEndEllipsis});
    // The longest prefix that leaves room for "..." is drawn, then "...".
    std::size_t keep = 0;
    while (dots.c().TextWidth(s.substr(0, keep + 1)) + dots.c().TextWidth("...") <= r.Width()) ++keep;
    ASSERT_GT(keep, 0u);
    TextBoard expected;
    expected.c().TextOut(r.Left, r.Top, s.substr(0, keep) + "...");
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(dots.bmp.color_at(x, y), expected.bmp.color_at(x, y)) << x << "," << y;

    TextBoard fits;
    rr = Rect(20, 10, 190, 30);
    fits.c().TextRect(rr, "Ok", TTextFormat{tfSingleLine, tfEndEllipsis});
    TextBoard plain;
    plain.c().TextOut(20, 10, "Ok");
    EXPECT_EQ(ink(fits.bmp), ink(plain.bmp));
}

TEST(FontTest, WordWrapAndCalcRect) {
    TextBoard b;
    const AnsiString s = "Мы в интернете и дома"_a;
    const int line = b.c().TextHeight(s);
    TRect calc = Rect(0, 0, b.c().TextWidth("Мы в интернете"_a) + 2, 0);
    const int h = b.c().TextRect(calc, s, TTextFormat{tfWordBreak, tfCalcRect});
    EXPECT_EQ(h, 2 * line);
    EXPECT_EQ(calc.Height(), 2 * line);
    EXPECT_EQ(calc.Width(), b.c().TextWidth("Мы в интернете"_a));
    EXPECT_EQ(ink(b.bmp), TRect{});  // measuring draws nothing

    TRect two = Rect(0, 0, 200, 0);
    b.c().TextRect(two, "one\r\ntwo\nthree", TTextFormat{tfCalcRect});
    EXPECT_EQ(two.Height(), 3 * line);

    TRect draw = Rect(5, 5, 5 + b.c().TextWidth("Мы в интернете"_a) + 2, 55);
    b.c().TextRect(draw, s, TTextFormat{tfWordBreak});
    const TRect box = ink(b.bmp);
    EXPECT_GT(box.Bottom, 5 + line);
    EXPECT_LE(box.Right, draw.Right);
}

TEST(FontTest, AmpersandPrefixesAreProcessedUnlessSwitchedOff) {
    TextBoard b;
    const AnsiString s = "&Файл && Co"_a;
    TRect with = Rect(0, 0, 200, 0), without = with;
    b.c().TextRect(with, s, TTextFormat{tfSingleLine, tfCalcRect});
    b.c().TextRect(without, s, TTextFormat{tfSingleLine, tfCalcRect, tfNoPrefix});
    EXPECT_EQ(with.Width(), b.c().TextWidth("Файл & Co"_a));
    EXPECT_EQ(without.Width(), b.c().TextWidth(s));

    // The prefixed letter is underlined: ink reaches below the plain text.
    TextBoard plain, marked;
    TRect r = Rect(0, 0, 200, 40);
    plain.c().TextRect(r, "Файл"_a, TTextFormat{tfSingleLine});
    marked.c().TextRect(r, "&Файл"_a, TTextFormat{tfSingleLine});
    EXPECT_GT(ink(marked.bmp).Bottom, ink(plain.bmp).Bottom);
    EXPECT_EQ(ink(marked.bmp).Left, ink(plain.bmp).Left);
}

TEST(FontTest, OpaqueTextFillsItsCellTransparentTextDoesNot) {
    TextBoard b;
    b.c().Brush().SetColor(clYellow);
    b.c().TextOut(10, 10, "Wg");
    const TSize size = b.c().TextExtent("Wg");
    EXPECT_EQ(b.bmp.color_at(10, 10), clYellow);
    EXPECT_EQ(b.bmp.color_at(10 + size.cx - 1, 10 + size.cy - 1), clYellow);
    EXPECT_EQ(b.bmp.color_at(10 + size.cx, 10), clWhite);
    EXPECT_EQ(b.c().PenPos(), Point(10 + size.cx, 10));

    TextBoard t;
    t.c().TextOut(10, 10, "Wg");
    EXPECT_EQ(t.bmp.color_at(10 + size.cx - 1, 10), clWhite);
    EXPECT_NE(ink(t.bmp), TRect{});
}

}  // namespace

namespace {

TEST(FontDescriptionTest, HeightAndPointSizeConvertAtNinetySixPixelsPerInch) {
    struct Case { int height; int size; };
    const Case cases[] = {{-13, 10}, {-11, 8}, {-16, 12}, {-15, 11}, {-12, 9}};
    for (const Case& c : cases) {
        TFont f;
        f.SetHeight(c.height);
        EXPECT_EQ(f.Size(), c.size) << c.height;
    }
    TFont f;
    f.SetSize(10);
    EXPECT_EQ(f.Height(), -13);
    struct Div { int a, b, c, r; };
    for (const Div& d : {Div{389, 87, 419, 81}, Div{63, 389, 419, 58}, Div{1, 1, 2, 1}, Div{-1, 1, 2, -1}, Div{3, 1, 2, 2}})
        EXPECT_EQ(gfx::mul_div(d.a, d.b, d.c), d.r) << d.a << "*" << d.b << "/" << d.c;
}

TEST(FontDescriptionTest, ChangesAreAnnouncedOnlyWhenSomethingDiffers) {
    TFont f;
    int changes = 0;
    f.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &f);
        ++changes;
    };
    f.SetName("MS Sans Serif");
    f.SetHeight(-11);
    f.SetColor(clWindowText);
    EXPECT_EQ(changes, 0);
    f.SetName("Courier New");
    f.SetStyle({fsBold});
    EXPECT_EQ(changes, 2);
    TFont g;
    g.Assign(f);
    EXPECT_TRUE(g.same_face(f));
    f.Assign(g);
    EXPECT_EQ(changes, 2);
}

}  // namespace
