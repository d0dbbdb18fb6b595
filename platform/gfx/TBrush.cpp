#include "platform/gfx/TBrush.h"

#include "platform/gfx/TBitmap.h"

namespace gfx {

Pattern checkerboard(TColor even, TColor odd) {
    Pattern p;
    const Pixel a = to_pixel(even), b = to_pixel(odd);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) p[static_cast<std::size_t>(y * 8 + x)] = ((x + y) % 2 == 0) ? a : b;
    return p;
}

}  // namespace gfx

void TBrush::SetBitmap(const TBitmap* bitmap) {
    if (!bitmap || bitmap->Empty()) {
        m_pattern.reset();
        return;
    }
    gfx::Pattern p;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            p[static_cast<std::size_t>(y * 8 + x)] = bitmap->pixel(x % bitmap->Width(), y % bitmap->Height());
    SetPattern(p);
}
