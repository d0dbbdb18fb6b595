#include "platform/gfx/TCanvas.h"

#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// What a fill puts down: a solid pixel or a pattern, combined with the
// screen by a raster operation.
struct Paint {
    gfx::Pixel solid = 0;
    const gfx::Pattern* pattern = nullptr;
    TPenMode mode = pmCopy;
    int phase_x = 0;  // device x of the pattern's column 0
    int phase_y = 0;

    gfx::Pixel at(int x, int y) const {
        if (!pattern) return solid;
        return (*pattern)[static_cast<std::size_t>(((y - phase_y) & 7) * 8 + ((x - phase_x) & 7))];
    }
};

// The pixels of r's one-pixel border, as rectangles that do not overlap.
std::vector<TRect> frame_rects(const TRect& r) {
    std::vector<TRect> out;
    if (r.IsEmpty()) return out;
    out.push_back({r.Left, r.Top, r.Right, r.Top + 1});
    if (r.Height() > 1) out.push_back({r.Left, r.Bottom - 1, r.Right, r.Bottom});
    if (r.Height() > 2) {
        out.push_back({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1});
        if (r.Width() > 1) out.push_back({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1});
    }
    return out;
}

// A frame as the system draws it: one pixel at 96 dpi, the screen's scale in
// pixels here, ring inside ring.
std::vector<TRect> scaled_frame_rects(const TRect& r) {
    std::vector<TRect> out = frame_rects(r);
    TRect ring = r;
    for (int k = 1; k < gfx::screen_scale(); ++k) {
        ring = TRect{ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1};
        for (const TRect& part : frame_rects(ring)) out.push_back(part);
    }
    return out;
}

TRect normalized(const TRect& r) {
    return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom)};
}

gfx::Pixel apply_copy_mode(TCopyMode mode, gfx::Pixel s, gfx::Pixel d) {
    gfx::Pixel r = 0;
    switch (mode) {
    case cmSrcCopy: r = s; break;
    case cmNotSrcCopy: r = ~s; break;
    case cmSrcInvert: r = s ^ d; break;
    case cmSrcAnd: r = s & d; break;
    case cmSrcPaint: r = s | d; break;
    case cmDstInvert: r = ~d; break;
    case cmBlackness: r = 0; break;
    case cmWhiteness: r = 0xFFFFFF; break;
    }
    return 0xFF000000u | (r & 0xFFFFFFu);
}

}  // namespace

// The pixel loops, kept out of the header.
struct TCanvas::Ops {
    static gfx::Pixel* row(TCanvas& c, int y) {
        return c.m_surface.pixels + static_cast<std::ptrdiff_t>(y) * c.m_surface.stride;
    }

    // Fills a rectangle given in surface coordinates, already clipped.
    static void fill_device(TCanvas& c, const TRect& d, const Paint& paint) {
        if (paint.pattern && paint.mode == pmCopy) {
            // A pattern repeats every 8 pixels each way (scroll bar shafts are
            // long fills of one): its 8 × 8 pixels are worked out once, from
            // the rectangle's corner, then laid along the rows.
            gfx::Pixel tile[8][8];
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) tile[j][i] = gfx::apply_pen_mode(pmCopy, paint.at(d.Left + i, d.Top + j), 0);
            for (int y = d.Top; y < d.Bottom; ++y) {
                const gfx::Pixel* line = tile[(y - d.Top) & 7];
                gfx::Pixel* p = row(c, y);
                for (int x = d.Left; x < d.Right; ++x) p[x] = line[(x - d.Left) & 7];
            }
            return;
        }
        for (int y = d.Top; y < d.Bottom; ++y) {
            gfx::Pixel* p = row(c, y);
            if (!paint.pattern && paint.mode == pmCopy) {
                std::fill(p + d.Left, p + d.Right, paint.solid);
                continue;
            }
            for (int x = d.Left; x < d.Right; ++x) p[x] = gfx::apply_pen_mode(paint.mode, paint.at(x, y), p[x]);
        }
    }

    // Fills a rectangle in canvas coordinates within the clip region.
    static void fill(TCanvas& c, const TRect& r, const Paint& paint) {
        if (r.IsEmpty()) return;
        const TRect d = gfx::offset(r, c.m_origin.X, c.m_origin.Y);
        for (const TRect& clip : c.m_device_clip) {
            const TRect part = gfx::intersect(d, clip);
            if (!part.IsEmpty()) fill_device(c, part, paint);
        }
    }

    static Paint brush_paint(const TCanvas& c, TPenMode mode) {
        Paint p;
        p.mode = mode;
        if (c.m_brush.pattern()) {
            p.pattern = &*c.m_brush.pattern();
            p.phase_x = c.m_origin.X + c.m_brush_origin.X;
            p.phase_y = c.m_origin.Y + c.m_brush_origin.Y;
        } else {
            p.solid = gfx::to_pixel(c.m_brush.Color());
        }
        return p;
    }

    static Paint pen_paint(const TCanvas& c) {
        Paint p;
        p.solid = gfx::to_pixel(c.m_pen.Color());
        p.mode = c.m_pen.Mode();
        return p;
    }

    static Paint solid(TColor color) {
        Paint p;
        p.solid = gfx::to_pixel(color);
        return p;
    }

    static bool brush_visible(const TCanvas& c) { return c.m_brush.Style() != bsClear; }
};

TCanvas::TCanvas() = default;

TCanvas::TCanvas(gfx::Surface surface) { set_surface(surface); }

TCanvas::~TCanvas() = default;

void TCanvas::set_surface(gfx::Surface surface) {
    m_surface = surface;
    rebuild_device_clip();
}

void TCanvas::set_origin(TPoint origin) {
    m_origin = origin;
    rebuild_device_clip();
}

void TCanvas::set_clip_region(std::optional<gfx::Region> clip) {
    m_clip = std::move(clip);
    rebuild_device_clip();
}

void TCanvas::IntersectClipRect(const TRect& r) {
    gfx::Region clip = visible_region();
    clip.intersect(r);
    set_clip_region(std::move(clip));
}

void TCanvas::ExcludeClipRect(const TRect& r) {
    gfx::Region clip = visible_region();
    clip.subtract(r);
    set_clip_region(std::move(clip));
}

void TCanvas::rebuild_device_clip() {
    m_device_clip.clear();
    const TRect bounds{0, 0, m_surface.width, m_surface.height};
    if (!m_surface.pixels || bounds.IsEmpty()) return;
    if (!m_clip) {
        m_device_clip.push_back(bounds);
        return;
    }
    for (const TRect& r : m_clip->rects()) {
        const TRect d = gfx::intersect(gfx::offset(r, m_origin.X, m_origin.Y), bounds);
        if (!d.IsEmpty()) m_device_clip.push_back(d);
    }
}

gfx::Region TCanvas::visible_region() const {
    gfx::Region out;
    for (const TRect& d : m_device_clip) out.add(gfx::offset(d, -m_origin.X, -m_origin.Y));
    return out;
}

bool TCanvas::RectVisible(const TRect& r) const {
    const TRect d = gfx::offset(r, m_origin.X, m_origin.Y);
    for (const TRect& clip : m_device_clip)
        if (gfx::intersects(d, clip)) return true;
    return false;
}

bool TCanvas::PtVisible(TPoint p) const { return RectVisible(TRect{p.X, p.Y, p.X + 1, p.Y + 1}); }

TColor TCanvas::Pixel(int x, int y) const {
    const int dx = x + m_origin.X, dy = y + m_origin.Y;
    if (!m_surface.pixels || dx < 0 || dy < 0 || dx >= m_surface.width || dy >= m_surface.height) return clNone;
    return gfx::to_color(m_surface.pixels[static_cast<std::ptrdiff_t>(dy) * m_surface.stride + dx]);
}

void TCanvas::SetPixel(int x, int y, TColor color) { Ops::fill(*this, TRect{x, y, x + 1, y + 1}, Ops::solid(color)); }

void TCanvas::fill_solid(const TRect& r, gfx::Pixel color, const TRect* clip) {
    Paint paint;
    paint.solid = color;
    Ops::fill(*this, clip ? gfx::intersect(r, *clip) : r, paint);
}

void TCanvas::FillRect(const TRect& r) {
    if (Ops::brush_visible(*this)) Ops::fill(*this, r, Ops::brush_paint(*this, pmCopy));
}

void TCanvas::FrameRect(const TRect& r) {
    if (!Ops::brush_visible(*this)) return;
    const Paint paint = Ops::brush_paint(*this, pmCopy);
    for (const TRect& part : scaled_frame_rects(r)) Ops::fill(*this, part, paint);
}

void TCanvas::InvertRect(const TRect& r) {
    Paint paint;
    paint.mode = pmNot;
    Ops::fill(*this, r, paint);
}

void TCanvas::InvertFrame(const TRect& r) {
    for (const TRect& part : scaled_frame_rects(r)) InvertRect(part);
}

void TCanvas::DrawFocusRect(const TRect& r) {
    Paint paint;
    paint.mode = pmNot;
    // The dots grow with the screen's scale, so the frame looks as it does at 96 dpi.
    const int s = gfx::screen_scale();
    for (const TRect& part : scaled_frame_rects(r))
        for (int y = part.Top; y < part.Bottom; ++y)
            for (int x = part.Left; x < part.Right; ++x)
                if (((x - r.Left) / s + (y - r.Top) / s) % 2 == 0) Ops::fill(*this, TRect{x, y, x + 1, y + 1}, paint);
}

void TCanvas::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
    using namespace gfx;
    struct Ring {
        unsigned raised, sunken;
        TColor raised_light, raised_dark, sunken_light, sunken_dark;
    };
    // Outer ring first, then the inner one; "light" is the top/left colour.
    const Ring rings[2] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, cl3DLight, cl3DDkShadow, clBtnShadow, clBtnHighlight},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, clBtnHighlight, clBtnShadow, cl3DDkShadow, cl3DLight},
    };
    TRect inner = r;
    for (int i = 0; i < 2; ++i) {
        const Ring& ring = rings[i];
        TColor light, dark;
        if (edge & ring.raised) {
            light = ring.raised_light;
            dark = ring.raised_dark;
        } else if (edge & ring.sunken) {
            light = ring.sunken_light;
            dark = ring.sunken_dark;
        } else {
            continue;
        }
        if (flags & BF_MONO) light = dark = (i == 0 ? clWindowFrame : clWindow);
        else if (flags & BF_FLAT) light = dark = (i == 0 ? clBtnShadow : clBtnFace);
        // Each ring is one pixel at 96 dpi: the screen's scale in pixels here.
        for (int k = 0; k < gfx::screen_scale(); ++k) {
            const TRect q = inner;
            if (q.IsEmpty()) break;
            if (flags & BF_TOP) Ops::fill(*this, {q.Left, q.Top, q.Right - 1, q.Top + 1}, Ops::solid(light));
            if (flags & BF_LEFT) Ops::fill(*this, {q.Left, q.Top, q.Left + 1, q.Bottom - 1}, Ops::solid(light));
            if (flags & BF_RIGHT) Ops::fill(*this, {q.Right - 1, q.Top, q.Right, q.Bottom}, Ops::solid(dark));
            if (flags & BF_BOTTOM) Ops::fill(*this, {q.Left, q.Bottom - 1, q.Right, q.Bottom}, Ops::solid(dark));
            if (flags & BF_LEFT) ++inner.Left;
            if (flags & BF_TOP) ++inner.Top;
            if (flags & BF_RIGHT) --inner.Right;
            if (flags & BF_BOTTOM) --inner.Bottom;
        }
        if (inner.IsEmpty()) break;
    }
    if ((flags & BF_MIDDLE) && !inner.IsEmpty())
        Ops::fill(*this, inner, Ops::solid((flags & BF_MONO) ? clWindow : clBtnFace));
    if (flags & BF_ADJUST) r = inner;
}

void TCanvas::Rectangle(const TRect& rect) {
    const TRect r = normalized(rect);
    const bool pen = m_pen.Style() != psClear;
    if (Ops::brush_visible(*this)) {
        const TRect inside = pen ? TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}
                                 : TRect{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
        Ops::fill(*this, inside, Ops::brush_paint(*this, m_pen.Mode()));
    }
    if (!pen) return;
    const Paint paint = Ops::pen_paint(*this);
    for (const TRect& part : frame_rects(r)) Ops::fill(*this, part, paint);
}

void TCanvas::plot(int x, int y) { Ops::fill(*this, TRect{x, y, x + 1, y + 1}, Ops::pen_paint(*this)); }

void TCanvas::draw_line(TPoint a, TPoint b) {
    if (m_pen.Style() == psClear || a == b) return;
    const Paint paint = Ops::pen_paint(*this);
    if (a.Y == b.Y) {
        const TRect r = b.X > a.X ? TRect{a.X, a.Y, b.X, a.Y + 1} : TRect{b.X + 1, a.Y, a.X + 1, a.Y + 1};
        Ops::fill(*this, r, paint);
        return;
    }
    if (a.X == b.X) {
        const TRect r = b.Y > a.Y ? TRect{a.X, a.Y, a.X + 1, b.Y} : TRect{a.X, b.Y + 1, a.X + 1, a.Y + 1};
        Ops::fill(*this, r, paint);
        return;
    }
    const int dx = std::abs(b.X - a.X), dy = std::abs(b.Y - a.Y);
    const int sx = b.X > a.X ? 1 : -1, sy = b.Y > a.Y ? 1 : -1;
    int err = dx - dy;
    int x = a.X, y = a.Y;
    while (x != b.X || y != b.Y) {
        Ops::fill(*this, TRect{x, y, x + 1, y + 1}, paint);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::LineTo(int x, int y) {
    draw_line(m_pen_pos, {x, y});
    m_pen_pos = {x, y};
}

void TCanvas::Polyline(std::span<const TPoint> points) {
    for (std::size_t i = 1; i < points.size(); ++i) draw_line(points[i - 1], points[i]);
}

void TCanvas::PolyPolyline(std::span<const TPoint> points, std::span<const int> counts) {
    std::size_t at = 0;
    for (int n : counts) {
        if (n <= 0) continue;
        const std::size_t count = std::min(static_cast<std::size_t>(n), points.size() - at);
        Polyline(points.subspan(at, count));
        at += count;
        if (at >= points.size()) break;
    }
}

void TCanvas::fill_polygon(std::span<const TPoint> points) {
    int top = points[0].Y, bottom = points[0].Y;
    for (const TPoint& p : points) {
        top = std::min(top, p.Y);
        bottom = std::max(bottom, p.Y);
    }
    const Paint paint = Ops::brush_paint(*this, m_pen.Mode());
    std::vector<double> xs;
    for (int y = top; y < bottom; ++y) {
        const double yc = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const TPoint& p = points[i];
            const TPoint& q = points[(i + 1) % points.size()];
            if (p.Y == q.Y) continue;
            if (yc < std::min(p.Y, q.Y) || yc > std::max(p.Y, q.Y)) continue;
            xs.push_back(p.X + (yc - p.Y) * (q.X - p.X) / (q.Y - p.Y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Pixels whose centres lie in [xa, xb).
            const int x0 = static_cast<int>(std::ceil(xs[i] - 0.5));
            const int x1 = static_cast<int>(std::ceil(xs[i + 1] - 0.5));
            Ops::fill(*this, TRect{x0, y, x1, y + 1}, paint);
        }
    }
}

void TCanvas::Polygon(std::span<const TPoint> points) {
    if (points.size() < 2) return;
    if (Ops::brush_visible(*this) && points.size() >= 3) fill_polygon(points);
    for (std::size_t i = 0; i < points.size(); ++i) draw_line(points[i], points[(i + 1) % points.size()]);
}

void TCanvas::BitBlt(int x, int y, int w, int h, const TCanvas& source, int sx, int sy, TCopyMode mode) {
    if (w <= 0 || h <= 0) return;
    const gfx::Surface& src = source.m_surface;
    // Source pixels that exist, in source surface coordinates.
    TRect src_dev = gfx::intersect(Bounds(sx + source.m_origin.X, sy + source.m_origin.Y, w, h),
                                   TRect{0, 0, src.width, src.height});
    const bool needs_source = mode != cmDstInvert && mode != cmBlackness && mode != cmWhiteness;
    if (!needs_source) src_dev = Bounds(sx + source.m_origin.X, sy + source.m_origin.Y, w, h);
    if (src_dev.IsEmpty() || (needs_source && !src.pixels)) return;
    // Destination surface = source surface + shift.
    const int shift_x = (x + m_origin.X) - (sx + source.m_origin.X);
    const int shift_y = (y + m_origin.Y) - (sy + source.m_origin.Y);
    const TRect dst_dev = gfx::offset(src_dev, shift_x, shift_y);

    // Copying within one surface may overlap; read from a snapshot then.
    std::vector<gfx::Pixel> snapshot;
    const gfx::Pixel* src_base = src.pixels;
    int src_stride = src.stride, base_x = 0, base_y = 0;
    if (needs_source && src.pixels == m_surface.pixels) {
        snapshot.resize(static_cast<std::size_t>(src_dev.Width()) * static_cast<std::size_t>(src_dev.Height()));
        for (int row = 0; row < src_dev.Height(); ++row)
            std::memcpy(snapshot.data() + static_cast<std::ptrdiff_t>(row) * src_dev.Width(),
                        src.pixels + static_cast<std::ptrdiff_t>(src_dev.Top + row) * src.stride + src_dev.Left,
                        sizeof(gfx::Pixel) * static_cast<std::size_t>(src_dev.Width()));
        src_base = snapshot.data();
        src_stride = src_dev.Width();
        base_x = src_dev.Left;
        base_y = src_dev.Top;
    }
    for (const TRect& clip : m_device_clip) {
        const TRect d = gfx::intersect(dst_dev, clip);
        if (d.IsEmpty()) continue;
        for (int yy = d.Top; yy < d.Bottom; ++yy) {
            gfx::Pixel* out = Ops::row(*this, yy);
            if (!needs_source) {
                for (int xx = d.Left; xx < d.Right; ++xx) out[xx] = apply_copy_mode(mode, 0, out[xx]);
                continue;
            }
            const gfx::Pixel* in = src_base + static_cast<std::ptrdiff_t>(yy - shift_y - base_y) * src_stride +
                                   (d.Left - shift_x - base_x);
            if (mode == cmSrcCopy) {
                std::memcpy(out + d.Left, in, sizeof(gfx::Pixel) * static_cast<std::size_t>(d.Width()));
                continue;
            }
            for (int xx = d.Left; xx < d.Right; ++xx) out[xx] = apply_copy_mode(mode, in[xx - d.Left], out[xx]);
        }
    }
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& source_rect) {
    if (dest.Width() == source_rect.Width() && dest.Height() == source_rect.Height()) {
        BitBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), source, source_rect.Left, source_rect.Top,
               m_copy_mode);
        return;
    }
    if (dest.IsEmpty() || source_rect.IsEmpty()) return;
    // Stretching picks the nearest source pixel; copy through a bitmap so that
    // overlapping canvases read the original pixels.
    TBitmap stretched(dest.Width(), dest.Height());
    for (int y = 0; y < dest.Height(); ++y) {
        const int sy = source_rect.Top + y * source_rect.Height() / dest.Height();
        for (int x = 0; x < dest.Width(); ++x) {
            const int sx = source_rect.Left + x * source_rect.Width() / dest.Width();
            const TColor c = source.Pixel(sx, sy);
            if (c != clNone) stretched.set_pixel(x, y, gfx::rgb_to_pixel(c));
        }
    }
    BitBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), stretched.Canvas(), 0, 0, m_copy_mode);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
    if (!bitmap.Transparent()) {
        BitBlt(x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas(), 0, 0, cmSrcCopy);
        return;
    }
    const gfx::Pixel key = gfx::rgb_to_pixel(bitmap.TransparentColor()) & 0xFFFFFFu;
    const TRect dest = gfx::offset(Bounds(x, y, bitmap.Width(), bitmap.Height()), m_origin.X, m_origin.Y);
    for (const TRect& clip : m_device_clip) {
        const TRect d = gfx::intersect(dest, clip);
        for (int yy = d.Top; yy < d.Bottom; ++yy) {
            const gfx::Pixel* in = bitmap.ScanLine(yy - dest.Top);
            gfx::Pixel* out = Ops::row(*this, yy);
            for (int xx = d.Left; xx < d.Right; ++xx) {
                const gfx::Pixel p = in[xx - dest.Left];
                if ((p & 0xFFFFFFu) != key) out[xx] = p;
            }
        }
    }
}

void TCanvas::move_pixels(const TRect& dest, int dx, int dy) {
    // dest lies inside the visible surface and so does dest - (dx, dy); rows
    // are walked away from the direction of the move so none is read after
    // being overwritten, and memmove handles the overlap within a row.
    const TRect d = gfx::offset(dest, m_origin.X, m_origin.Y);
    const std::size_t bytes = sizeof(gfx::Pixel) * static_cast<std::size_t>(d.Width());
    if (dy > 0) {
        for (int y = d.Bottom - 1; y >= d.Top; --y)
            std::memmove(Ops::row(*this, y) + d.Left, Ops::row(*this, y - dy) + d.Left - dx, bytes);
    } else {
        for (int y = d.Top; y < d.Bottom; ++y)
            std::memmove(Ops::row(*this, y) + d.Left, Ops::row(*this, y - dy) + d.Left - dx, bytes);
    }
}

void TCanvas::move_region(const gfx::Region& area, const gfx::Region& dest, int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    if (dx == 0) {
        // Rows are walked away from the direction of the move, across every
        // rectangle at once, so no row is read after being overwritten and
        // each pass over memory stays near the last one.
        const TRect b = dest.bounds();
        const int first = dy > 0 ? b.Bottom - 1 : b.Top;
        const int end = dy > 0 ? b.Top - 1 : b.Bottom;
        const int step = dy > 0 ? -1 : 1;
        for (int y = first; y != end; y += step) {
            gfx::Pixel* to = Ops::row(*this, y + m_origin.Y) + m_origin.X;
            const gfx::Pixel* from = Ops::row(*this, y - dy + m_origin.Y) + m_origin.X;
            for (const TRect& r : dest.rects())
                if (y >= r.Top && y < r.Bottom)
                    std::memcpy(to + r.Left, from + r.Left, sizeof(gfx::Pixel) * static_cast<std::size_t>(r.Width()));
        }
        return;
    }
    if (area.rects().size() == 1 && dest.rects().size() == 1) {
        move_pixels(dest.rects()[0], dx, dy);
        return;
    }
    // Pixels that share a surface overlap; moving them through a copy of
    // the area keeps the source intact while the destination is written.
    const TRect from = area.bounds();
    TBitmap snapshot(from.Width(), from.Height());
    snapshot.Canvas().BitBlt(0, 0, from.Width(), from.Height(), *this, from.Left, from.Top, cmSrcCopy);
    for (const TRect& d : dest.rects())
        BitBlt(d.Left, d.Top, d.Width(), d.Height(), snapshot.Canvas(), d.Left - dx - from.Left, d.Top - dy - from.Top,
               cmSrcCopy);
}

gfx::Region TCanvas::ScrollRect(int dx, int dy, const TRect& scroll, const TRect& clip) {
    gfx::Region area(gfx::intersect(scroll, clip));
    area.intersect(visible_region());
    if (area.empty()) return area;
    gfx::Region dest = area;
    dest.offset(dx, dy);
    dest.intersect(clip);
    dest.intersect(visible_region());
    if (!dest.empty()) move_region(area, dest, dx, dy);
    // What was moved in from the area covers dest; the rest needs painting.
    gfx::Region uncovered = area;
    uncovered.subtract(dest);
    return uncovered;
}

gfx::Region TCanvas::ScrollRegion(int dx, int dy, const gfx::Region& region) {
    gfx::Region area = region;
    area.intersect(visible_region());
    if (area.empty()) return area;
    gfx::Region dest = area;
    dest.offset(dx, dy);
    dest.intersect(area);
    if (!dest.empty()) move_region(area, dest, dx, dy);
    gfx::Region uncovered = area;
    uncovered.subtract(dest);
    return uncovered;
}
