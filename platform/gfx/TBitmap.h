// A 32-bit off-screen bitmap with its own canvas. Pixels are gfx::Pixel
// (0xFFRRGGBB), rows stored top to bottom without padding.
#pragma once

#include "platform/classes/TObject.h"
#include "platform/gfx/TCanvas.h"
#include "platform/gfx/PixelAllocator.h"
#include "platform/gfx/TColor.h"

#include <memory>
#include <vector>

class TBitmap : public TObject {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return m_width == 0 || m_height == 0; }
    void SetWidth(int value) { SetSize(value, m_height); }
    void SetHeight(int value) { SetSize(m_width, value); }
    // Resizing keeps the pixels of the common part; new pixels are white.
    // Negative sizes are taken as 0.
    void SetSize(int width, int height);

    // Makes this bitmap a copy of another (size, pixels, transparency).
    void Assign(const TBitmap& source);

    // A transparent bitmap is drawn by TCanvas::Draw without the pixels of
    // its transparent colour; clDefault means the colour of the bottom-left
    // pixel, the rule for glyphs.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value) { m_transparent = value; }
    TColor TransparentColor() const;
    void SetTransparentColor(TColor value) { m_transparent_color = value; }

    TCanvas& Canvas() { return *m_canvas; }
    const TCanvas& Canvas() const { return *m_canvas; }

    gfx::Pixel pixel(int x, int y) const { return m_pixels[index(x, y)]; }
    void set_pixel(int x, int y, gfx::Pixel p) { m_pixels[index(x, y)] = p; }
    // Colour of a pixel as RGB; points outside give clNone.
    TColor color_at(int x, int y) const;
    gfx::Pixel* ScanLine(int y) { return m_pixels.data() + index(0, y); }
    const gfx::Pixel* ScanLine(int y) const { return m_pixels.data() + index(0, y); }
    gfx::Surface surface();

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }

    int m_width = 0;
    int m_height = 0;
    std::vector<gfx::Pixel, gfx::PixelAllocator> m_pixels;
    std::unique_ptr<TCanvas> m_canvas;
    bool m_transparent = false;
    TColor m_transparent_color = clDefault;
};
