#include "platform/gfx/Region.h"

#include <cmath>

namespace gfx {

std::vector<TRect> subtract_rect(const TRect& a, const TRect& b) {
    std::vector<TRect> out;
    if (a.IsEmpty()) return out;
    const TRect c = gfx::intersect(a, b);
    if (c.IsEmpty()) {
        out.push_back(a);
        return out;
    }
    if (a.Top < c.Top) out.push_back({a.Left, a.Top, a.Right, c.Top});
    if (c.Bottom < a.Bottom) out.push_back({a.Left, c.Bottom, a.Right, a.Bottom});
    if (a.Left < c.Left) out.push_back({a.Left, c.Top, c.Left, c.Bottom});
    if (c.Right < a.Right) out.push_back({c.Right, c.Top, a.Right, c.Bottom});
    return out;
}

TRect Region::bounds() const {
    TRect b;
    for (const TRect& r : m_rects) b = bounding(b, r);
    return b;
}

long long Region::area() const {
    long long sum = 0;
    for (const TRect& r : m_rects) sum += static_cast<long long>(r.Width()) * r.Height();
    return sum;
}

void Region::add(const TRect& r) {
    if (r.IsEmpty()) return;
    std::vector<TRect> pieces{r};
    for (const TRect& have : m_rects) {
        std::vector<TRect> next;
        for (const TRect& p : pieces) {
            auto rest = subtract_rect(p, have);
            next.insert(next.end(), rest.begin(), rest.end());
        }
        pieces.swap(next);
        if (pieces.empty()) return;
    }
    m_rects.insert(m_rects.end(), pieces.begin(), pieces.end());
}

void Region::add(const Region& other) {
    for (const TRect& r : other.m_rects) add(r);
}

void Region::subtract(const TRect& r) {
    if (r.IsEmpty()) return;
    std::vector<TRect> next;
    for (const TRect& have : m_rects) {
        auto rest = subtract_rect(have, r);
        next.insert(next.end(), rest.begin(), rest.end());
    }
    m_rects.swap(next);
}

void Region::subtract(const Region& other) {
    for (const TRect& r : other.m_rects) subtract(r);
}

void Region::intersect(const TRect& r) {
    std::vector<TRect> next;
    for (const TRect& have : m_rects) {
        TRect c = gfx::intersect(have, r);
        if (!c.IsEmpty()) next.push_back(c);
    }
    m_rects.swap(next);
}

void Region::intersect(const Region& other) {
    std::vector<TRect> next;
    // Pieces of two non-overlapping lists cannot overlap each other.
    for (const TRect& have : m_rects)
        for (const TRect& o : other.m_rects) {
            TRect c = gfx::intersect(have, o);
            if (!c.IsEmpty()) next.push_back(c);
        }
    m_rects.swap(next);
}

void Region::offset(int dx, int dy) {
    for (TRect& r : m_rects) r = gfx::offset(r, dx, dy);
}

bool Region::contains(TPoint p) const {
    for (const TRect& r : m_rects)
        if (r.Contains(p)) return true;
    return false;
}

bool Region::intersects(const TRect& r) const {
    for (const TRect& have : m_rects)
        if (gfx::intersects(have, r)) return true;
    return false;
}

bool Region::covers(const TRect& r) const {
    if (r.IsEmpty()) return true;
    Region rest(r);
    rest.subtract(*this);
    return rest.empty();
}

bool Region::operator==(const Region& other) const {
    if (area() != other.area()) return false;
    Region both = *this;
    both.intersect(other);
    return both.area() == area();
}

Region ellipse_region(const TRect& r) {
    Region out;
    const int w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0) return out;
    // Row y covers the pixels whose centres lie inside the ellipse, measured
    // at the row's centre; in doubled units everything stays integral.
    const long long a = w, b = h;  // doubled semi-axes
    for (int y = 0; y < h; ++y) {
        const long long dy = 2LL * y + 1 - b;  // doubled distance of the row's centre from the middle
        const long long rest = a * a * (b * b - dy * dy);
        if (rest <= 0) continue;
        // Doubled half-width: the largest dx with dx*dx*b*b <= rest.
        long long dx = static_cast<long long>(std::sqrt(static_cast<double>(rest)) / static_cast<double>(b));
        while ((dx + 1) * (dx + 1) * b * b <= rest) ++dx;
        while (dx > 0 && dx * dx * b * b > rest) --dx;
        // Pixels whose doubled centre offset 2x+1-a lies within ±dx.
        const int left = static_cast<int>((a - dx) / 2);
        const int right = static_cast<int>(w - left);
        if (right > left) out.add(TRect{r.Left + left, r.Top + y, r.Left + right, r.Top + y + 1});
    }
    return out;
}

}  // namespace gfx
