// Points and rectangles in pixels. A rectangle covers the pixels from
// (Left, Top) up to but not including (Right, Bottom), as every drawing
// operation of the program counts them.
#pragma once

#include <algorithm>

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return TPoint{Left, Top}; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int x, int y) { return TPoint{x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) {
    return TRect{left, top, left + width, top + height};
}

namespace gfx {

// The common part of two rectangles; empty rectangles come back as {0,0,0,0}
// so that callers can compare them without caring where they were.
constexpr TRect intersect(const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
}

constexpr bool intersects(const TRect& a, const TRect& b) { return !intersect(a, b).IsEmpty(); }

// The smallest rectangle holding both; an empty one adds nothing.
constexpr TRect bounding(const TRect& a, const TRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom)};
}

constexpr TRect offset(const TRect& r, int dx, int dy) {
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

constexpr TRect inflate(const TRect& r, int dx, int dy) {
    return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

}  // namespace gfx
