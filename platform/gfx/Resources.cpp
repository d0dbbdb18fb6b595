#include "platform/gfx/Resources.h"

#include "platform/classes/Exception.h"
#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TImageList.h"
#include "text/Cp1251.h"

#include <functional>
#include <initializer_list>

namespace gfx {

MaskedImage::MaskedImage() = default;
MaskedImage::~MaskedImage() = default;
MaskedImage::MaskedImage(MaskedImage&&) noexcept = default;
MaskedImage& MaskedImage::operator=(MaskedImage&&) noexcept = default;

namespace {

// The key colour behind every picture; never used in a picture itself.
constexpr TColor kKey = clFuchsia;

// The 16 colours of the classic palette, by letter; '.' is the key colour.
TColor art_color(char c) {
    switch (c) {
    case 'k': return clBlack;
    case 'r': return clMaroon;
    case 'g': return clGreen;
    case 'y': return clOlive;
    case 'n': return clNavy;
    case 'p': return clPurple;
    case 't': return clTeal;
    case 's': return clSilver;
    case 'd': return clGray;
    case 'R': return clRed;
    case 'G': return clLime;
    case 'Y': return clYellow;
    case 'B': return clBlue;
    case 'C': return clAqua;
    case 'w': return clWhite;
    default: return kKey;
    }
}

// Draws rows of palette letters at (x, y); '.' leaves the pixel alone.
void art(TCanvas& c, int x, int y, std::initializer_list<const char*> rows) {
    int yy = y;
    for (const char* row : rows) {
        for (int xx = 0; row[xx]; ++xx)
            if (row[xx] != '.') c.SetPixel(x + xx, yy, art_color(row[xx]));
        ++yy;
    }
}

void line(TCanvas& c, TColor color, int x0, int y0, int x1, int y1) {
    c.Pen().SetColor(color);
    c.Pen().SetMode(pmCopy);
    c.MoveTo(x0, y0);
    c.LineTo(x1, y1);
    c.SetPixel(x1, y1, color);  // pictures want both ends
}

void box(TCanvas& c, TColor fill, TColor frame, const TRect& r) {
    c.Brush().SetColor(fill);
    c.FillRect(r);
    c.Brush().SetColor(frame);
    c.FrameRect(r);
}

// A filled circle by pixel centres, optionally with an outline ring.
void disc(TCanvas& c, double cx, double cy, double radius, TColor fill, TColor ring = clNone) {
    for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; ++y)
        for (int x = static_cast<int>(cx - radius) - 1; x <= static_cast<int>(cx + radius) + 1; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d2 = dx * dx + dy * dy;
            if (d2 > radius * radius) continue;
            const bool edge = ring != clNone && d2 > (radius - 1) * (radius - 1);
            c.SetPixel(x, y, edge ? ring : fill);
        }
}

void polygon(TCanvas& c, TColor fill, TColor outline, std::initializer_list<TPoint> points) {
    c.Brush().SetColor(fill);
    c.Pen().SetColor(outline);
    c.Pen().SetMode(pmCopy);
    c.Polygon(std::span<const TPoint>(points.begin(), points.size()));
}

std::unique_ptr<TBitmap> canvas_of(int w, int h) {
    auto bmp = std::make_unique<TBitmap>(w, h);
    bmp->Canvas().Brush().SetColor(kKey);
    bmp->Canvas().FillRect(Rect(0, 0, w, h));
    return bmp;
}

// --- the nine images -----------------------------------------------------

// A sheet of paper with a folded corner and lines of text.
void sheet(TCanvas& c, int x, int y, int w, int h) {
    box(c, clWhite, clBlack, Bounds(x, y, w, h));
    for (int i = 0; i < 3; ++i) c.SetPixel(x + w - 1 - i, y + i, kKey);
    line(c, clBlack, x + w - 4, y, x + w - 4, y + 3);
    line(c, clBlack, x + w - 4, y + 3, x + w - 1, y + 3);
    line(c, clBlack, x + w - 3, y + 1, x + w - 1, y + 3);
    for (int ty = y + 5; ty < y + h - 2; ty += 2) line(c, clGray, x + 2, ty, x + w - 4, ty);
}

void image_pen_sheet(TCanvas& c) {
    sheet(c, 0, 1, 11, 14);
    // The pen lies from the top right down to the left, its tip on the sheet.
    line(c, clBlack, 13, 1, 6, 8);
    line(c, clYellow, 14, 2, 7, 9);
    line(c, clOlive, 15, 3, 8, 10);
    line(c, clBlack, 15, 4, 9, 10);
    art(c, 5, 8, {"kk..", "kwk.", ".kkk", "..k."});
    art(c, 13, 0, {"RR.", "RRR", ".RR"});
}

void image_key_sheet(TCanvas& c) {
    sheet(c, 0, 0, 11, 14);
    disc(c, 9.5, 6.5, 3.5, clYellow, clBlack);
    c.SetPixel(9, 6, clBlack);
    c.SetPixel(10, 6, clBlack);
    line(c, clBlack, 11, 9, 15, 13);
    line(c, clOlive, 11, 10, 15, 14);
    art(c, 12, 13, {"k.", "kk"});
    art(c, 14, 11, {"k", "k"});
}

void image_globe_page(TCanvas& c) {
    sheet(c, 0, 0, 12, 15);
    disc(c, 10.5, 10.5, 5.5, clBlue, clNavy);
    art(c, 7, 7, {"..GG..", ".GGGG.", "..GGGG", "...GG.", "....G."});
    art(c, 11, 12, {"GG", "G."});
    line(c, clAqua, 6, 10, 14, 10);
}

void image_question_page(TCanvas& c) {
    sheet(c, 0, 0, 12, 15);
    disc(c, 11, 10.5, 5, clWhite, clNavy);
    art(c, 9, 7, {".BB.", "B..B", "...B", "..B.", ".B..", "....", ".B.."});
}

void image_paper_clip(TCanvas& c) {
    art(c, 4, 0, {
        "..kkkk..",
        ".k....k.",
        "k..kk..k",
        "k.k..k.k",
        "k.k..k.k",
        "k.k..k.k",
        "k.k..k.k",
        "k.k..k.k",
        "k.k....k",
        "k.k....k",
        "k.k....k",
        "k..k...k",
        "k...k..k",
        ".k.....k",
        "..kkkkk.",
        "........",
    });
    line(c, clGray, 5, 2, 5, 12);
}

void image_information(TCanvas& c) {
    disc(c, 8, 8, 7.5, clBlue, clNavy);
    art(c, 6, 3, {".ww.", ".ww.", "....", "www.", ".ww.", ".ww.", ".ww.", ".ww.", "wwww"});
}

void image_set_square_pencil(TCanvas& c) {
    polygon(c, clYellow, clOlive, {{0, 1}, {0, 15}, {14, 15}});
    polygon(c, kKey, clOlive, {{3, 8}, {3, 12}, {7, 12}});
    line(c, clBlack, 15, 0, 6, 9);
    line(c, clRed, 15, 1, 7, 9);
    line(c, clBlack, 15, 2, 8, 9);
    art(c, 5, 9, {"kkk", "kk.", "k.."});
}

void image_form_binoculars(TCanvas& c) {
    box(c, clSilver, clBlack, Rect(0, 0, 14, 12));
    c.Brush().SetColor(clNavy);
    c.FillRect(Rect(1, 1, 13, 3));
    c.Brush().SetColor(clWhite);
    c.FillRect(Rect(2, 4, 9, 6));
    c.FillRect(Rect(2, 7, 9, 9));
    disc(c, 8.5, 11.5, 3.5, clBlack);
    disc(c, 13, 11.5, 3, clBlack);
    c.SetPixel(8, 11, clAqua);
    c.SetPixel(13, 11, clAqua);
    line(c, clBlack, 9, 8, 13, 8);
}

void image_box(TCanvas& c) {
    polygon(c, clYellow, clBlack, {{1, 5}, {7, 2}, {14, 5}, {8, 8}});
    polygon(c, clOlive, clBlack, {{1, 5}, {8, 8}, {8, 15}, {1, 12}});
    polygon(c, clMaroon, clBlack, {{8, 8}, {14, 5}, {14, 12}, {8, 15}});
    line(c, clBlack, 4, 4, 11, 7);
}

// --- the grid's pictures -------------------------------------------------

void indicator(TBitmap& bmp, std::initializer_list<const char*> rows) {
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(Rect(0, 0, bmp.Width(), bmp.Height()));
    art(bmp.Canvas(), 0, 0, rows);
}

enum Arrows : unsigned { kUp = 1, kDown = 2, kLeft = 4, kRight = 8 };

// A dot with arrowheads around it: the panning mark and its cursors.
void pan_mark(TCanvas& c, int size, unsigned arrows, TColor fill) {
    const int m = size / 2, a = size / 6 + 1;
    disc(c, m + 0.5, m + 0.5, size / 10.0 + 1, clBlack);
    const int far = 1, near = far + a;
    if (arrows & kUp) polygon(c, fill, clBlack, {{m, far}, {m + a, near}, {m - a, near}});
    if (arrows & kDown) polygon(c, fill, clBlack, {{m, size - 1 - far}, {m - a, size - 1 - near}, {m + a, size - 1 - near}});
    if (arrows & kLeft) polygon(c, fill, clBlack, {{far, m}, {near, m - a}, {near, m + a}});
    if (arrows & kRight) polygon(c, fill, clBlack, {{size - 1 - far, m}, {size - 1 - near, m + a}, {size - 1 - near, m - a}});
}

std::unique_ptr<TBitmap> pan_bitmap(unsigned arrows) {
    auto bmp = std::make_unique<TBitmap>(29, 29);
    bmp->Canvas().Brush().SetColor(clWindow);
    bmp->Canvas().FillRect(Rect(0, 0, 29, 29));
    pan_mark(bmp->Canvas(), 29, arrows, clGray);
    return bmp;
}

MaskedImage masked(std::unique_ptr<TBitmap> bmp, TPoint hotspot) {
    MaskedImage m;
    m.mask.resize(static_cast<std::size_t>(bmp->Width() * bmp->Height()));
    for (int y = 0; y < bmp->Height(); ++y)
        for (int x = 0; x < bmp->Width(); ++x)
            m.mask[static_cast<std::size_t>(y * bmp->Width() + x)] = bmp->color_at(x, y) != kKey ? 1 : 0;
    // The bitmap alone carries the transparency too, for users that take only it.
    bmp->SetTransparent(true);
    bmp->SetTransparentColor(kKey);
    m.image = std::move(bmp);
    m.hotspot = hotspot;
    return m;
}

MaskedImage pan_cursor(unsigned arrows) {
    auto bmp = canvas_of(32, 32);
    // Drawn in the middle 21 x 21 pixels; white arrows show on dark grids too.
    TCanvas inner(bmp->surface());
    inner.set_origin({5, 5});
    pan_mark(inner, 21, arrows, clWhite);
    return masked(std::move(bmp), {15, 15});
}

MaskedImage delete_cursor() {
    auto bmp = canvas_of(32, 32);
    TCanvas& c = bmp->Canvas();
    // The pointer arrow, and a cross beside it: dropping here removes the column.
    polygon(c, clWhite, clBlack, {{0, 0}, {0, 15}, {4, 11}, {7, 17}, {9, 16}, {6, 10}, {11, 10}});
    for (int i = 0; i < 8; ++i) {
        c.SetPixel(14 + i, 14 + i, clRed);
        c.SetPixel(15 + i, 14 + i, clRed);
        c.SetPixel(21 - i, 14 + i, clRed);
        c.SetPixel(22 - i, 14 + i, clRed);
    }
    return masked(std::move(bmp), {0, 0});
}

// --- the form icons --------------------------------------------------------

void book(TCanvas& c, TColor cover) {
    box(c, clWhite, clBlack, Rect(6, 3, 29, 30));
    box(c, cover, clBlack, Rect(3, 1, 26, 28));
    c.Brush().SetColor(clNavy);
    c.FillRect(Rect(4, 2, 7, 27));
    for (int y = 6; y < 27; y += 4) line(c, clSilver, 27, y, 27, y + 2);
}

MaskedImage main_icon() {
    auto bmp = canvas_of(32, 32);
    TCanvas& c = bmp->Canvas();
    book(c, clBlue);
    // A telephone on the cover.
    polygon(c, clBlack, clBlack, {{9, 12}, {23, 12}, {23, 15}, {20, 15}, {20, 13}, {12, 13}, {12, 15}, {9, 15}});
    polygon(c, clYellow, clBlack, {{12, 15}, {20, 15}, {23, 23}, {9, 23}});
    disc(c, 16, 19, 2.5, clBlack);
    art(c, 10, 6, {"wwwwwwwwwwww", "w..........w", "wwwwwwwwwwww"});
    return masked(std::move(bmp), {0, 0});
}

MaskedImage about_icon() {
    auto bmp = canvas_of(32, 32);
    TCanvas& c = bmp->Canvas();
    book(c, clTeal);
    disc(c, 16, 15, 8, clWhite, clBlack);
    art(c, 14, 9, {".BB.", ".BB.", "....", "BBB.", ".BB.", ".BB.", ".BB.", ".BB.", "BBBB"});
    return masked(std::move(bmp), {0, 0});
}

bool same_name(std::string_view a, std::string_view b) { return text::ansi_compare_text(a, b) == 0; }

struct BitmapEntry {
    const char* name;
    std::function<std::unique_ptr<TBitmap>()> make;
};

const std::vector<BitmapEntry>& bitmap_table() {
    static const std::vector<BitmapEntry> table = {
        {"DXGRID_ARROW", [] { auto b = std::make_unique<TBitmap>(5, 9);
             indicator(*b, {"k....", "kk...", "kkk..", "kkkk.", "kkkkk", "kkkk.", "kkk..", "kk...", "k...."}); return b; }},
        {"DXGRID_MULTIARROW", [] { auto b = std::make_unique<TBitmap>(5, 9);
             indicator(*b, {"k....", "kk...", "kkk..", "kk...", "k....", ".....", "...kk", "...kk", "....."}); return b; }},
        {"DXGRID_EDIT", [] { auto b = std::make_unique<TBitmap>(5, 9);
             indicator(*b, {"kk.kk", "..k..", "..k..", "..k..", "..k..", "..k..", "..k..", "..k..", "kk.kk"}); return b; }},
        {"DXGRID_INSERT", [] { auto b = std::make_unique<TBitmap>(5, 9);
             indicator(*b, {".....", ".....", "k.k.k", ".kkk.", "kkkkk", ".kkk.", "k.k.k", ".....", "....."}); return b; }},
        {"DXGRID_MULTIDOT", [] { auto b = std::make_unique<TBitmap>(5, 9);
             indicator(*b, {".....", ".....", ".....", ".kkk.", ".kkk.", ".kkk.", ".....", ".....", "....."}); return b; }},
        {"DXGRID_FULLSCROLLBITMAP", [] { return pan_bitmap(kUp | kDown | kLeft | kRight); }},
        {"DXGRID_HORSCROLLBITMAP", [] { return pan_bitmap(kLeft | kRight); }},
        {"DXGRID_VERSCROLLBITMAP", [] { return pan_bitmap(kUp | kDown); }},
        {"IMAGELIST1", [] { return image_list1_strip(); }},
    };
    return table;
}

struct CursorEntry {
    const char* name;
    std::function<MaskedImage()> make;
};

const std::vector<CursorEntry>& cursor_table() {
    static const std::vector<CursorEntry> table = {
        {"DXTL_FULLSCROLLCURSOR", [] { return pan_cursor(kUp | kDown | kLeft | kRight); }},
        {"DXTL_HORSCROLLCURSOR", [] { return pan_cursor(kLeft | kRight); }},
        {"DXTL_VERSCROLLCURSOR", [] { return pan_cursor(kUp | kDown); }},
        {"DXTL_UPSCROLLCURSOR", [] { return pan_cursor(kUp); }},
        {"DXTL_DOWNSCROLLCURSOR", [] { return pan_cursor(kDown); }},
        {"DXTL_LEFTSCROLLCURSOR", [] { return pan_cursor(kLeft); }},
        {"DXTL_RIGHTSCROLLCURSOR", [] { return pan_cursor(kRight); }},
        {"DXTLDELETECURSOR", [] { return delete_cursor(); }},
    };
    return table;
}

}  // namespace

std::unique_ptr<TBitmap> image_list1_strip() {
    using Painter = void (*)(TCanvas&);
    constexpr Painter painters[] = {image_pen_sheet,      image_key_sheet,         image_globe_page,
                                    image_question_page,  image_paper_clip,        image_information,
                                    image_set_square_pencil, image_form_binoculars, image_box};
    auto strip = canvas_of(16 * 9, 16);
    for (int i = 0; i < 9; ++i) {
        TCanvas cell(strip->surface());
        cell.set_origin({16 * i, 0});
        cell.SetClipRect(Rect(0, 0, 16, 16));
        painters[i](cell);
    }
    // The transparent colour is read from the bottom-left pixel.
    strip->set_pixel(0, 15, rgb_to_pixel(kKey));
    return strip;
}

void load_image_list1(TImageList& list) {
    list.SetWidth(16);
    list.SetHeight(16);
    list.Clear();
    list.AddMasked(*image_list1_strip(), clDefault);
}

std::unique_ptr<TBitmap> load_bitmap(std::string_view name) {
    for (const BitmapEntry& e : bitmap_table())
        if (same_name(e.name, name)) return e.make();
    throw Exception("Resource " + AnsiString(name) + " not found");
}

MaskedImage load_cursor(std::string_view name) {
    for (const CursorEntry& e : cursor_table())
        if (same_name(e.name, name)) return e.make();
    throw Exception("Resource " + AnsiString(name) + " not found");
}

MaskedImage load_icon(std::string_view name) {
    if (same_name(name, "MAINICON")) return main_icon();
    if (same_name(name, "ABOUTICON")) return about_icon();
    throw Exception("Resource " + AnsiString(name) + " not found");
}

std::vector<std::string> bitmap_names() {
    std::vector<std::string> out;
    for (const BitmapEntry& e : bitmap_table()) out.emplace_back(e.name);
    return out;
}

std::vector<std::string> cursor_names() {
    std::vector<std::string> out;
    for (const CursorEntry& e : cursor_table()) out.emplace_back(e.name);
    return out;
}

std::vector<std::string> icon_names() { return {"MAINICON", "ABOUTICON"}; }

}  // namespace gfx
