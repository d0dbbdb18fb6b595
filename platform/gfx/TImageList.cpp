#include "platform/gfx/TImageList.h"

#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"

#include <algorithm>

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

void TImageList::SetWidth(int value) {
    value = std::max(value, 1);
    if (value == m_width) return;
    m_width = value;
    m_images.clear();
}

void TImageList::SetHeight(int value) {
    value = std::max(value, 1);
    if (value == m_height) return;
    m_height = value;
    m_images.clear();
}

int TImageList::add_images(const TBitmap& image, const TBitmap* mask, bool use_color, gfx::Pixel transparent) {
    const int count = image.Width() / m_width;
    if (count == 0 || image.Height() == 0) return -1;
    const int first = Count();
    for (int n = 0; n < count; ++n) {
        Image img;
        img.pixels.assign(static_cast<std::size_t>(m_width * m_height), gfx::to_pixel(clBtnFace));
        img.mask.assign(img.pixels.size(), 0);
        for (int y = 0; y < std::min(m_height, image.Height()); ++y)
            for (int x = 0; x < m_width; ++x) {
                const gfx::Pixel p = image.pixel(n * m_width + x, y);
                bool on = true;
                if (use_color) on = (p & 0xFFFFFF) != (transparent & 0xFFFFFF);
                else if (mask && n * m_width + x < mask->Width() && y < mask->Height())
                    on = (mask->pixel(n * m_width + x, y) & 0xFFFFFF) == 0;
                if (!m_masked) on = true;
                const std::size_t i = static_cast<std::size_t>(y * m_width + x);
                img.pixels[i] = p;
                img.mask[i] = on ? 1 : 0;
            }
        m_images.push_back(std::move(img));
    }
    return first;
}

int TImageList::Add(const TBitmap& image, const TBitmap* mask) { return add_images(image, mask, false, 0); }

int TImageList::AddMasked(const TBitmap& image, TColor mask_color) {
    if (image.Empty()) return -1;
    const gfx::Pixel transparent =
        mask_color == clDefault ? image.pixel(0, image.Height() - 1) : gfx::to_pixel(mask_color);
    return add_images(image, nullptr, true, transparent);
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    m_images.erase(m_images.begin() + index);
}

bool TImageList::opaque(int index, int x, int y) const {
    if (index < 0 || index >= Count() || x < 0 || y < 0 || x >= m_width || y >= m_height) return false;
    return m_images[static_cast<std::size_t>(index)].mask[static_cast<std::size_t>(y * m_width + x)] != 0;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    const Image& img = m_images[static_cast<std::size_t>(index)];
    auto silhouette = [&](int dx, int dy, TColor color) {
        for (int yy = 0; yy < m_height; ++yy)
            for (int xx = 0; xx < m_width; ++xx)
                if (img.mask[static_cast<std::size_t>(yy * m_width + xx)]) canvas.SetPixel(x + xx + dx, y + yy + dy, color);
    };
    if (!enabled) {
        silhouette(1, 1, clBtnHighlight);
        silhouette(0, 0, clBtnShadow);
        return;
    }
    for (int yy = 0; yy < m_height; ++yy)
        for (int xx = 0; xx < m_width; ++xx) {
            const std::size_t i = static_cast<std::size_t>(yy * m_width + xx);
            if (img.mask[i]) canvas.SetPixel(x + xx, y + yy, gfx::to_color(img.pixels[i]));
        }
}

void TImageList::GetBitmap(int index, TBitmap& bitmap) const {
    if (index < 0 || index >= Count()) return;
    bitmap.SetSize(m_width, m_height);
    bitmap.Canvas().Brush().SetColor(clBtnFace);
    bitmap.Canvas().FillRect(Rect(0, 0, m_width, m_height));
    Draw(bitmap.Canvas(), 0, 0, index, true);
}
