// The canvas: every drawing operation of the program, on 32-bit pixels.
//
// A canvas draws into a surface (a bitmap's pixels, or the pixels of a
// top-level window) through an origin and a clip region:
//  - canvas coordinates (0, 0) are the surface pixel at origin(); a child
//    window paints through a canvas whose origin is its place in the
//    top-level window's bitmap;
//  - nothing is drawn outside the clip region (canvas coordinates), which the
//    window layer sets to the window's visible part and, while painting, its
//    update region; RectVisible() lets each drawing stage skip what lies
//    outside it. Without a clip region the whole surface is drawable.
//
// Geometry follows the classic rules: rectangles exclude their right and
// bottom edges, lines stop before their last point, patterns repeat from the
// brush origin (by default the canvas origin, i.e. the window's corner).
//
// Threads: a canvas keeps no state shared with other canvases except the
// font cache, so a worker thread (the menu animation) may fill, frame and
// copy pixels on a canvas of its own; text output belongs to the GUI thread.
#pragma once

#include "platform/classes/TObject.h"
#include "platform/classes/TSet.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/TBrush.h"
#include "platform/gfx/FontFace.h"
#include "platform/gfx/TColor.h"
#include "platform/gfx/TFont.h"
#include "platform/gfx/TPen.h"
#include "platform/gfx/TRect.h"
#include "text/AnsiString.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

class TBitmap;

namespace gfx {

// A view of pixels owned by someone else; stride counts pixels per row.
struct Surface {
    Pixel* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// Edges for TCanvas::DrawEdge: which borders, how raised or sunken.
enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};
enum : unsigned {
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = 0xF,
    BF_MIDDLE = 0x800,   // fill the inside with the button face
    BF_ADJUST = 0x2000,  // shrink the rectangle by what was drawn
    BF_FLAT = 0x4000,    // outer ring in button shadow, inner in button face
    BF_MONO = 0x8000,    // outer ring in window frame, inner in window colour
};

}  // namespace gfx

// How CopyRect/BitBlt combine source pixels with the destination.
enum TCopyMode { cmSrcCopy, cmNotSrcCopy, cmSrcInvert, cmSrcAnd, cmSrcPaint, cmDstInvert, cmBlackness, cmWhiteness };

// Text formats for TextRect (the flags of the platform's text output).
enum TTextFormats {
    tfLeft, tfCenter, tfRight, tfVerticalCenter, tfBottom, tfSingleLine, tfWordBreak,
    tfEndEllipsis, tfNoPrefix, tfExpandTabs, tfNoClip, tfCalcRect
};
using TTextFormat = TSet<TTextFormats>;

class TCanvas : public TObject {
public:
    TCanvas();
    explicit TCanvas(gfx::Surface surface);
    ~TCanvas() override;

    // --- where the canvas draws -------------------------------------------
    void set_surface(gfx::Surface surface);
    const gfx::Surface& surface() const { return m_surface; }
    void set_origin(TPoint origin);
    TPoint origin() const { return m_origin; }
    // Clip region in canvas coordinates; nullopt = the whole surface.
    void set_clip_region(std::optional<gfx::Region> clip);
    const std::optional<gfx::Region>& clip_region() const { return m_clip; }
    void SetClipRect(const TRect& r) { set_clip_region(gfx::Region(r)); }
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    // The part of the canvas that can be drawn on, in canvas coordinates.
    gfx::Region visible_region() const;
    TRect ClipRect() const { return visible_region().bounds(); }
    bool RectVisible(const TRect& r) const;
    bool PtVisible(TPoint p) const;

    // --- drawing tools ----------------------------------------------------
    TPen& Pen() { return m_pen; }
    TBrush& Brush() { return m_brush; }
    TFont& Font() { return m_font; }
    const TPen& Pen() const { return m_pen; }
    const TBrush& Brush() const { return m_brush; }
    const TFont& Font() const { return m_font; }
    TCopyMode CopyMode() const { return m_copy_mode; }
    void SetCopyMode(TCopyMode mode) { m_copy_mode = mode; }
    TPoint BrushOrigin() const { return m_brush_origin; }
    void SetBrushOrigin(TPoint p) { m_brush_origin = p; }
    TPoint PenPos() const { return m_pen_pos; }
    void SetPenPos(TPoint p) { m_pen_pos = p; }

    // --- pixels and rectangles --------------------------------------------
    // Colour at a canvas point (RGB), clNone outside the surface.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Fills r with the brush (a bsClear brush fills nothing).
    void FillRect(const TRect& r);
    // A one-pixel frame just inside r, in the brush.
    void FrameRect(const TRect& r);
    // Inverts every pixel of r (drawing it twice restores it).
    void InvertRect(const TRect& r);
    // Inverts r's one-pixel border, every pixel once (the focus frame of an
    // unfocused grid); twice restores it.
    void InvertFrame(const TRect& r);
    // The dotted focus rectangle: every other pixel of r's one-pixel border
    // is inverted, starting with the top-left corner; twice removes it.
    void DrawFocusRect(const TRect& r);
    // Raised, sunken, etched or flat borders in the system's 3D colours.
    void DrawEdge(TRect& r, unsigned edge, unsigned flags);
    // Pen outline and brush interior; the outline covers r's border pixels.
    void Rectangle(const TRect& r);
    void Rectangle(int x1, int y1, int x2, int y2) { Rectangle(TRect{x1, y1, x2, y2}); }

    // --- lines ------------------------------------------------------------
    void MoveTo(int x, int y) { m_pen_pos = {x, y}; }
    // From the pen position up to, not including, (x, y); the pen moves there.
    void LineTo(int x, int y);
    // Connected segments; the last point is not drawn.
    void Polyline(std::span<const TPoint> points);
    // Many polylines in one call: counts[i] points each, taken in order.
    void PolyPolyline(std::span<const TPoint> points, std::span<const int> counts);
    // Filled with the brush (alternate rule, pixel centres), outlined with the pen.
    void Polygon(std::span<const TPoint> points);

    // --- copying pixels ---------------------------------------------------
    // Copies w x h pixels from source (its canvas coordinates) to (x, y) by mode.
    void BitBlt(int x, int y, int w, int h, const TCanvas& source, int sx, int sy, TCopyMode mode);
    // Copies source_rect of source into dest by CopyMode(), stretching when the sizes differ.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& source_rect);
    // Copies a bitmap, leaving out its transparent colour when it is Transparent().
    void Draw(int x, int y, const TBitmap& bitmap);
    // Moves the pixels of scroll ∩ clip by (dx, dy), writing only inside clip;
    // returns the part of scroll ∩ clip the move left uncovered, to be repainted.
    gfx::Region ScrollRect(int dx, int dy, const TRect& scroll, const TRect& clip);
    // The same for a region that is both what moves and where it may land
    // (strips of a window scrolled together); returns what it left uncovered.
    gfx::Region ScrollRegion(int dx, int dy, const gfx::Region& region);

    // --- text ---------------------------------------------------------------
    // One line at (x, y) (top-left of the character cell). With a bsSolid
    // brush the text's cell is filled with the brush colour first.
    void TextOut(int x, int y, std::string_view text);
    // TextOut clipped to r.
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    // Formatted output in r; returns the height of the text drawn. With
    // tfCalcRect nothing is drawn and r becomes the rectangle the text needs.
    int TextRect(TRect& r, std::string_view text, TTextFormat format);
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    TSize TextExtent(std::string_view text);
    // Widths of each character of text in the current font (a prefix of n
    // characters is as wide as the first n widths together).
    std::vector<int> CharWidths(std::string_view text);
    // Metrics of the current font.
    gfx::TextMetrics TextMetrics() const;

private:
    struct Ops;
    friend struct Ops;
    // Fills r with one colour within the clip region and, when given, within
    // clip: what text puts behind and under its characters.
    void fill_solid(const TRect& r, gfx::Pixel color, const TRect* clip);

    void rebuild_device_clip();
    void draw_span_h(int x0, int x1, int y);
    void plot(int x, int y);
    void fill_polygon(std::span<const TPoint> points);
    void draw_line(TPoint a, TPoint b);
    void move_pixels(const TRect& dest, int dx, int dy);
    // Fills dest (canvas coordinates, visible) from dest - (dx, dy), which lies in area.
    void move_region(const gfx::Region& area, const gfx::Region& dest, int dx, int dy);
    // Draws one line of glyphs with its top-left at (x, y) inside clip
    // (canvas coordinates); underline_at marks a prefixed character or -1.
    void draw_glyphs(int x, int y, std::string_view text, const TRect* clip, int underline_at, int tab_width);

    gfx::Surface m_surface;
    TPoint m_origin;
    std::optional<gfx::Region> m_clip;
    std::vector<TRect> m_device_clip;  // in surface coordinates, non-overlapping
    TPen m_pen;
    TBrush m_brush;
    TFont m_font;
    TCopyMode m_copy_mode = cmSrcCopy;
    TPoint m_brush_origin;
    TPoint m_pen_pos;
};
