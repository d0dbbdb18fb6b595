#include "platform/gfx/TBitmap.h"

#include <algorithm>

TBitmap::TBitmap() : m_canvas(std::make_unique<TCanvas>()) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height) return;
    std::vector<gfx::Pixel, gfx::PixelAllocator> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                   gfx::rgb_to_pixel(clWhite));
    const int w = std::min(width, m_width);
    const int h = std::min(height, m_height);
    for (int y = 0; y < h; ++y)
        std::copy_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(index(0, y)), w,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    m_pixels.swap(pixels);
    m_width = width;
    m_height = height;
    m_canvas->set_surface(surface());
}

void TBitmap::Assign(const TBitmap& source) {
    if (&source == this) return;
    SetSize(source.m_width, source.m_height);
    m_pixels = source.m_pixels;
    m_transparent = source.m_transparent;
    m_transparent_color = source.m_transparent_color;
    m_canvas->set_surface(surface());
}

TColor TBitmap::color_at(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return clNone;
    return gfx::to_color(pixel(x, y));
}

gfx::Surface TBitmap::surface() { return gfx::Surface{m_pixels.data(), m_width, m_height, m_width}; }

TColor TBitmap::TransparentColor() const {
    if (m_transparent_color != clDefault) return ColorToRGB(m_transparent_color);
    return Empty() ? clNone : color_at(0, m_height - 1);
}
