#include "platform/ui/SystemSettings.h"

#include "platform/gfx/ScreenScale.h"
#include "platform/ui/WindowSystem.h"

namespace ui {

namespace {
// The classic desktop's UI font: Tahoma, 8 points at 96 pixels per inch.
SystemFont ui_font() { return SystemFont{"Tahoma", -11, 204, false}; }

int metric_at_96_dpi(int index) {
    switch (index) {
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CYMENU: return 19;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    default: return 0;
    }
}
}  // namespace

void assign_system_font(const SystemFont& from, TFont& to) {
    to.SetName(from.name);
    to.SetHeight(from.height);
    to.SetCharset(static_cast<TFontCharset>(from.charset));
    to.SetStyle(from.bold ? TFontStyles{fsBold} : TFontStyles{});
}

SystemFont menu_font() { return ui_font(); }
SystemFont message_font() { return ui_font(); }
SystemFont status_font() { return ui_font(); }

// Sizes are those of a 96 pixels-per-inch screen times the screen's scale.
int get_system_metrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return WindowSystem::current().screen_rect().Width();
    case SM_CYSCREEN: return WindowSystem::current().screen_rect().Height();
    default: return gfx::scaled(metric_at_96_dpi(index));
    }
}

int double_click_time() { return WindowSystem::current().double_click_time(); }

TRect work_area_at(TPoint screen) { return WindowSystem::current().work_area_at(screen); }

TColor button_face_color() { return ColorToRGB(clBtnFace); }

}  // namespace ui
