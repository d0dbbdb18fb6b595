#include "bars/ShortCut.h"

#include "platform/ui/WindowSystem.h"

namespace {

AnsiString key_name(int key) {
    using namespace ui;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return AnsiString(1, static_cast<char>(key));
    // Appending to a named string: GCC 12 at -O3 warns falsely on "F" + std::to_string(n).
    AnsiString numbered;
    if (key >= VK_F1 && key <= VK_F12) {
        numbered = "F";
        numbered += std::to_string(key - VK_F1 + 1);
        return numbered;
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) {
        numbered = "Num ";
        numbered += std::to_string(key - VK_NUMPAD0);
        return numbered;
    }
    switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num .";
    case VK_DIVIDE: return "Num /";
    case VK_OEM_1: return ";";
    case VK_OEM_PLUS: return "=";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_PERIOD: return ".";
    case VK_OEM_2: return "/";
    case VK_OEM_3: return "`";
    case VK_OEM_4: return "[";
    case VK_OEM_5: return "\\";
    case VK_OEM_6: return "]";
    case VK_OEM_7: return "'";
    default: return {};
    }
}

}  // namespace

AnsiString ShortCutToText(TShortCut shortCut) {
    const AnsiString name = key_name(shortCut & 0xFF);
    if (name.empty()) return {};
    AnsiString text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    return text + name;
}

namespace dxbar {

TShortCut shortcut_of_key_down(int vk) {
    return ShortCut(vk, TWinControl::KeyboardShiftState(ui::WindowSystem::current()));
}

}  // namespace dxbar
