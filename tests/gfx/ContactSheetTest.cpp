// Draws every operation, the fonts and the program's pictures on one sheet
// and writes it as gfx_contact_sheet.png in the test's working directory
// (the build tree), for a person to look at.
#include "platform/gfx/Png.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TImageList.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

void label(TCanvas& c, int x, int y, const AnsiString& text) {
    c.Font().SetName("Arial");
    c.Font().SetHeight(-11);
    c.Font().SetStyle({});
    c.Font().SetColor(clBlack);
    c.Brush().SetStyle(bsClear);
    c.TextOut(x, y, text);
}

void draw_operations(TCanvas& c) {
    int x = 10;
    const int y = 30;
    label(c, x, 10, "fill / frame / invert / focus");
    c.Brush().SetColor(clHighlight);
    c.FillRect(Rect(x, y, x + 60, y + 40));
    c.Brush().SetColor(clBlack);
    c.FrameRect(Rect(x + 70, y, x + 130, y + 40));
    c.InvertRect(Rect(x + 30, y + 10, x + 100, y + 30));
    c.DrawFocusRect(Rect(x + 140, y, x + 200, y + 40));

    x = 230;
    label(c, x, 10, "edges: raised sunken etched flat");
    const unsigned edges[] = {gfx::EDGE_RAISED, gfx::EDGE_SUNKEN, gfx::EDGE_ETCHED, gfx::BDR_SUNKENOUTER};
    for (int i = 0; i < 4; ++i) {
        TRect r = Bounds(x + i * 55, y, 50, 40);
        c.DrawEdge(r, edges[i], gfx::BF_RECT | gfx::BF_MIDDLE | (i == 3 ? gfx::BF_FLAT : 0u));
    }

    x = 470;
    label(c, x, 10, "pens: copy xor notxor, polyline");
    c.Brush().SetColor(clYellow);
    c.FillRect(Rect(x, y, x + 200, y + 40));
    const TPenMode modes[] = {pmCopy, pmXor, pmNotXor};
    for (int i = 0; i < 3; ++i) {
        c.Pen().SetColor(i == 1 ? clWhite : clBlack);
        c.Pen().SetMode(modes[i]);
        c.MoveTo(x + 10 + i * 20, y - 5);
        c.LineTo(x + 30 + i * 20, y + 45);
    }
    c.Pen().SetMode(pmCopy);
    c.Pen().SetColor(clRed);
    const TPoint zig[] = {{x + 90, y + 35}, {x + 110, y + 5}, {x + 130, y + 35}, {x + 150, y + 5}, {x + 170, y + 35}};
    c.Polyline(zig);

    x = 10;
    const int y2 = 110;
    label(c, x, y2 - 20, "pattern brush, polygons, clip region");
    c.Brush().SetPattern(gfx::checkerboard(clBtnHighlight, clBtnFace));
    c.FillRect(Rect(x, y2, x + 60, y2 + 40));
    c.Brush().SetPattern(gfx::checkerboard(clBlack, clWhite));
    c.FillRect(Rect(x + 60, y2, x + 120, y2 + 40));
    c.Pen().SetColor(clBlack);
    c.Brush().SetColor(clLime);
    const int B = 40;
    const TPoint down[] = {{5, 8}, {0, 3}, {3, 3}, {3, 0}, {7, 0}, {7, 3}, {10, 3}};
    const TPoint up[] = {{5, B - 9}, {10, B - 4}, {7, B - 4}, {7, B - 1}, {3, B - 1}, {3, B - 4}, {0, B - 4}};
    std::vector<TPoint> a(std::begin(down), std::end(down)), b(std::begin(up), std::end(up));
    for (TPoint& p : a) p = {p.X + x + 130, p.Y + y2};
    for (TPoint& p : b) p = {p.X + x + 130, p.Y + y2};
    c.Polygon(a);
    c.Polygon(b);
    gfx::Region clip(Rect(x + 160, y2, x + 200, y2 + 20));
    clip.add(Rect(x + 180, y2 + 20, x + 220, y2 + 40));
    c.set_clip_region(clip);
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 2000, 2000));
    c.set_clip_region(std::nullopt);
}

void draw_copies_and_scroll(TCanvas& c) {
    const int x = 250, y = 110;
    label(c, x, y - 20, "bitblt copy / invert, stretch, scroll");
    TBitmap src(30, 30);
    src.Canvas().Brush().SetColor(clBlue);
    src.Canvas().FillRect(Rect(0, 0, 30, 30));
    src.Canvas().Brush().SetColor(clYellow);
    src.Canvas().FillRect(Rect(5, 5, 15, 25));
    c.Draw(x, y, src);
    c.BitBlt(x + 40, y, 30, 30, src.Canvas(), 0, 0, cmNotSrcCopy);
    c.CopyRect(Rect(x + 80, y, x + 140, y + 40), src.Canvas(), Rect(0, 0, 30, 30));
    c.Draw(x + 150, y, src);
    const gfx::Region left = c.ScrollRect(10, 5, Bounds(x + 150, y, 30, 30), Bounds(x + 150, y, 30, 30));
    c.Brush().SetColor(clSilver);
    for (const TRect& r : left.rects()) c.FillRect(r);
}

void draw_fonts(TCanvas& c) {
    struct Sample { const char* name; int height; TFontStyles style; };
    const Sample samples[] = {
        {"Courier New", -13, {}}, {"Courier New", -11, {}}, {"Times New Roman", -13, {}},
        {"Arial", -13, {}},       {"MS Sans Serif", -11, {}}, {"Tahoma", -11, {fsBold}},
        {"Arial", -16, {fsItalic, fsUnderline}}, {"No Such Face", -13, {fsStrikeOut}},
    };
    int y = 180;
    for (const Sample& s : samples) {
        c.Font().SetName(s.name);
        c.Font().SetHeight(s.height);
        c.Font().SetStyle(s.style);
        c.Font().SetColor(clWindowText);
        c.Brush().SetStyle(bsClear);
        const gfx::FontFace& face = gfx::font_face(c.Font());
        c.TextOut(10, y, AnsiString(s.name) + " " + std::to_string(s.height) + " -> " + text::utf8_to_cp1251(face.match().family) +
                             AnsiString(": Ольмарск 2001, Фамилия Имя Отчество, Wg"_a));
        y += c.TextHeight("Wg") + 3;
    }

    // Alignment, ellipsis, prefix, opaque text and wrapping in boxes.
    c.Font().SetName("Arial");
    c.Font().SetHeight(-13);
    c.Font().SetStyle({});
    const TTextFormats aligns[] = {tfLeft, tfCenter, tfRight};
    for (int i = 0; i < 3; ++i) {
        TRect r = Bounds(10 + i * 130, 360, 120, 24);
        c.Brush().SetColor(clBtnShadow);
        c.FrameRect(gfx::inflate(r, 1, 1));
        c.Brush().SetStyle(bsClear);
        c.TextRect(r, "&Файл"_a, TTextFormat{aligns[i], tfSingleLine, tfVerticalCenter});
    }
    TRect ell = Bounds(400, 360, 120, 24);
    c.Brush().SetColor(clBtnFace);
    c.FillRect(ell);
    c.Brush().SetStyle(bsClear);
    c.TextRect(ell, "Константинопольский проспект"_a, TTextFormat{tfSingleLine, tfVerticalCenter, tfEndEllipsis});
    TRect wrap = Bounds(530, 360, 120, 60);
    c.Brush().SetColor(clInfoBk);
    c.FillRect(wrap);
    c.Brush().SetStyle(bsClear);
    c.TextRect(wrap, "Телефонный справочник города Ольмарска"_a, TTextFormat{tfWordBreak});
    c.Brush().SetColor(clHighlight);
    c.Font().SetColor(clHighlightText);
    c.TextOut(10, 395, "Иванов"_a);
    const int prefix = c.CharWidths("Иванов"_a)[0] + c.CharWidths("Иванов"_a)[1];
    c.Brush().SetColor(ColorToRGB(clHighlight) ^ 0xFFFFFF);
    c.Font().SetColor(ColorToRGB(clHighlightText) ^ 0xFFFFFF);
    c.TextOut(10, 395, "Ив"_a);
    c.DrawFocusRect(Rect(9, 394, 11 + prefix + 40, 396 + c.TextHeight("Wg")));
}

void draw_pictures(TCanvas& c) {
    label(c, 10, 430, "ImageList1: normal, disabled, x3");
    TImageList list;
    gfx::load_image_list1(list);
    for (int i = 0; i < list.Count(); ++i) {
        list.Draw(c, 10 + i * 20, 450, i, true);
        list.Draw(c, 10 + i * 20, 470, i, false);
        TBitmap one;
        list.GetBitmap(i, one);
        c.CopyRect(Bounds(200 + i * 52, 450, 48, 48), one.Canvas(), Rect(0, 0, 16, 16));
    }
    label(c, 10, 510, "bitmaps, cursors, icons");
    int x = 10;
    for (const std::string& name : gfx::bitmap_names()) {
        if (name == "IMAGELIST1") continue;
        const auto bmp = gfx::load_bitmap(name);
        c.Draw(x, 530, *bmp);
        x += bmp->Width() + 8;
    }
    auto draw_masked = [&](const gfx::MaskedImage& m, int px, int py) {
        for (int yy = 0; yy < m.image->Height(); ++yy)
            for (int xx = 0; xx < m.image->Width(); ++xx)
                if (m.mask[static_cast<std::size_t>(yy * m.image->Width() + xx)])
                    c.SetPixel(px + xx, py + yy, m.image->color_at(xx, yy));
    };
    c.Brush().SetColor(clTeal);
    c.FillRect(Rect(x, 525, x + 8 * 36 + 4, 565));
    for (const std::string& name : gfx::cursor_names()) {
        draw_masked(gfx::load_cursor(name), x + 4, 529);
        x += 36;
    }
    x += 12;
    for (const std::string& name : gfx::icon_names()) {
        draw_masked(gfx::load_icon(name), x, 529);
        x += 40;
    }
}

bool is_png_of_size(const std::string& path, int w, int h) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> head(24);
    in.read(reinterpret_cast<char*>(head.data()), 24);
    if (!in) return false;
    const unsigned char sig[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!std::equal(std::begin(sig), std::end(sig), head.begin())) return false;
    auto be32 = [&](int at) { return (head[at] << 24) | (head[at + 1] << 16) | (head[at + 2] << 8) | head[at + 3]; };
    return be32(16) == w && be32(20) == h;
}

TEST(ContactSheetTest, WritesEveryOperationFontAndPictureAsPng) {
    TBitmap sheet(960, 580);
    TCanvas& c = sheet.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect(Rect(0, 0, 960, 580));
    draw_operations(c);
    draw_copies_and_scroll(c);
    draw_fonts(c);
    draw_pictures(c);

    const std::string path = "gfx_contact_sheet.png";
    gfx::save_png(sheet, path);
    EXPECT_TRUE(is_png_of_size(path, 960, 580));
    EXPECT_THROW(gfx::save_png(sheet, "/nonexistent-folder/x.png"), Exception);
}

}  // namespace
