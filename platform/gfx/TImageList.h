// A list of equally sized images with transparency masks (16 x 16 unless
// set otherwise), drawn normally or disabled. Adding a bitmap wider than one
// image adds as many images as it holds side by side.
#pragma once

#include "platform/classes/TComponent.h"
#include "platform/gfx/TColor.h"

#include <cstdint>
#include <vector>

class TBitmap;
class TCanvas;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner = nullptr);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Changing the size clears the list, as the images no longer fit.
    void SetWidth(int value);
    void SetHeight(int value);
    bool Masked() const { return m_masked; }
    void SetMasked(bool value) { m_masked = value; }
    int Count() const { return static_cast<int>(m_images.size()); }

    // Adds the images of a bitmap; the mask (optional) is opaque where its
    // pixels are black. Returns the index of the first image added, -1 for none.
    int Add(const TBitmap& image, const TBitmap* mask = nullptr);
    // Adds with the pixels of one colour transparent; clDefault takes the
    // colour of the bitmap's bottom-left pixel.
    int AddMasked(const TBitmap& image, TColor mask_color);
    void Delete(int index);
    void Clear() { m_images.clear(); }

    // Draws image index with its top-left corner at (x, y); a disabled image
    // is an embossed silhouette: button highlight one pixel down and right,
    // button shadow on top. Indexes out of range draw nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Copies image index into bitmap (resized to one image); transparent
    // pixels become the button face.
    void GetBitmap(int index, TBitmap& bitmap) const;
    // Whether pixel (x, y) of image index is opaque.
    bool opaque(int index, int x, int y) const;

private:
    struct Image {
        std::vector<gfx::Pixel> pixels;
        std::vector<std::uint8_t> mask;  // 1 = opaque
    };
    int add_images(const TBitmap& image, const TBitmap* mask, bool use_color, gfx::Pixel transparent);

    int m_width = 16;
    int m_height = 16;
    bool m_masked = true;
    std::vector<Image> m_images;
};
