// A small bitmap on a known background, for tests that probe what the canvas drew.
#pragma once

#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"

#include <vector>

namespace gfxtest {

constexpr TColor kBack = RGB(0x10, 0x20, 0x30);

struct Board {
    TBitmap bmp;
    explicit Board(int w = 32, int h = 32) : bmp(w, h) {
        bmp.Canvas().Brush().SetColor(kBack);
        bmp.Canvas().FillRect(Rect(0, 0, w, h));
    }
    TCanvas& c() { return bmp.Canvas(); }
    TColor at(int x, int y) const { return bmp.color_at(x, y); }
    int count(TColor color) const {
        int n = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) n += at(x, y) == color;
        return n;
    }
    std::vector<gfx::Pixel> pixels() const {
        std::vector<gfx::Pixel> v;
        for (int y = 0; y < bmp.Height(); ++y) v.insert(v.end(), bmp.ScanLine(y), bmp.ScanLine(y) + bmp.Width());
        return v;
    }
};

}  // namespace gfxtest
