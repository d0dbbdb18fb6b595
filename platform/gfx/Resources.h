// The program's own pictures, looked up by name as resources of the program
// file would be: the grid's indicator images and panning marks (DXGRID_*),
// its cursors (DXTL_*, DXTLDELETECURSOR), the nine images of the main
// window's image list and the two form icons. All are drawn here in code
// from the 16-colour palette, so nothing is loaded from disk.
#pragma once

#include "platform/gfx/TRect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TBitmap;
class TImageList;

namespace gfx {

// A picture with a transparency mask (1 = opaque) and a hot spot; the image
// is also Transparent() with the key colour, so drawing it alone leaves the
// transparent pixels out.
struct MaskedImage {
    // Made and destroyed where TBitmap is known, so that holders (a form's
    // icon) need not include it.
    MaskedImage();
    ~MaskedImage();
    MaskedImage(MaskedImage&&) noexcept;
    MaskedImage& operator=(MaskedImage&&) noexcept;

    std::unique_ptr<TBitmap> image;
    std::vector<std::uint8_t> mask;
    TPoint hotspot;
};

// A bitmap resource; throws Exception for a name that does not exist.
// Names are compared without regard to letter case.
std::unique_ptr<TBitmap> load_bitmap(std::string_view name);
// A cursor resource (32 x 32); throws for an unknown name.
MaskedImage load_cursor(std::string_view name);
// "MAINICON" (the main window) and "ABOUTICON" (the About box), 32 x 32.
MaskedImage load_icon(std::string_view name);

std::vector<std::string> bitmap_names();
std::vector<std::string> cursor_names();
std::vector<std::string> icon_names();

// The strip of the main window's nine 16 x 16 images, as one 144 x 16
// bitmap whose bottom-left pixel is the transparent colour: 0 a pen over a
// sheet, 1 a key over a sheet, 2 a page with a globe, 3 a page with a
// question mark, 4 a paper clip, 5 an information sign, 6 a set square with
// a pencil, 7 a form with binoculars, 8 a box.
std::unique_ptr<TBitmap> image_list1_strip();
// Fills an image list with those nine images.
void load_image_list1(TImageList& list);

}  // namespace gfx
