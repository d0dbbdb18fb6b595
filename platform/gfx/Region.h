// A clip or update region: a union of rectangles kept as a list of
// rectangles that never overlap, so that an operation walking the list
// touches every pixel of the region exactly once (inversion and XOR drawing
// depend on that).
#pragma once

#include "platform/gfx/TRect.h"

#include <vector>

namespace gfx {

class Region {
public:
    Region() = default;
    explicit Region(const TRect& r) { add(r); }

    bool empty() const { return m_rects.empty(); }
    const std::vector<TRect>& rects() const { return m_rects; }
    TRect bounds() const;
    long long area() const;

    void clear() { m_rects.clear(); }
    void add(const TRect& r);
    void add(const Region& other);
    void subtract(const TRect& r);
    void subtract(const Region& other);
    void intersect(const TRect& r);
    void intersect(const Region& other);
    void offset(int dx, int dy);

    bool contains(TPoint p) const;
    bool intersects(const TRect& r) const;
    // True when every pixel of r lies in the region.
    bool covers(const TRect& r) const;

    bool operator==(const Region& other) const;

private:
    std::vector<TRect> m_rects;
};

// The pixels of the ellipse inscribed in r (a circle in a square): one
// rectangle per row, symmetric about both axes.
Region ellipse_region(const TRect& r);

// The parts of a that b does not cover, at most four rectangles.
std::vector<TRect> subtract_rect(const TRect& a, const TRect& b);

}  // namespace gfx
