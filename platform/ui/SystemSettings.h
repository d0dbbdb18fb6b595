// What the program reads of the system's settings: the fonts of menus,
// message boxes and status bars, sizes of scroll bars and menu buttons, the
// double-click time, the work area and the button face colour. The values are
// those of a classic desktop of the original system's time, so that layouts
// measured in the original come out the same.
#pragma once

#include "platform/gfx/TColor.h"
#include "platform/gfx/TFont.h"
#include "platform/ui/Geometry.h"
#include "text/AnsiString.h"

namespace ui {

struct SystemFont {
    AnsiString name;
    int height = 0;       // pixels; negative: the character height without leading
    int charset = 204;    // RUSSIAN_CHARSET
    bool bold = false;
};

// Fills a font from a system font description.
void assign_system_font(const SystemFont& from, TFont& to);

SystemFont menu_font();
SystemFont message_font();
SystemFont status_font();

// get_system_metrics indexes (Windows values).
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXMENUSIZE = 54;
inline constexpr int SM_CYMENUSIZE = 55;

// The metric's value; 0 for an index the program never asks for. Screen
// sizes come from the running window system.
int get_system_metrics(int index);
int double_click_time();
TRect work_area_at(TPoint screen);
TColor button_face_color();

}  // namespace ui
