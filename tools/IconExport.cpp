// abonix-icon ICON FILE.png: writes one of the program's icons, drawn in code,
// as an RGBA PNG whose transparent pixels are the icon's mask. The build runs
// it to make the icon the desktop shows for the program.
#include "platform/classes/Exception.h"
#include "platform/gfx/Png.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/TBitmap.h"
#include "text/Cp1251.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: abonix-icon MAINICON|ABOUTICON FILE.png\n");
        return 2;
    }
    try {
        const gfx::MaskedImage icon = gfx::load_icon(argv[1]);
        gfx::save_png(*icon.image, icon.mask, argv[2]);
    } catch (const Exception& e) {
        std::fprintf(stderr, "abonix-icon: %s\n", text::cp1251_to_utf8(e.Message()).c_str());
        return 1;
    }
    return 0;
}
