// The main window's stored layout as constant tables: its fonts, the four
// extra dock controls, the grid's columns, and the bar manager's categories,
// items and bars. TPhones is built from them (app/PhonesBuild.h), and so is
// every test window and benchmark that stands in for the main window, so
// none of them drifts from the program. Texts are UTF-8; the builders convert
// them to the program's code page.
#pragma once

#include "bars/ShortCut.h"
#include "bars/dxBarTypes.h"
#include "platform/gfx/TFont.h"
#include "platform/gfx/TRect.h"
#include "platform/ui/Messages.h"

#include <array>

namespace phones {

struct FontDef {
    const char* name;
    int height;
    TFontCharset charset;
    TColor color;
    TFontStyles style;
};

// The window's font, which the grid takes; the phone column's own; the bars'.
inline constexpr FontDef kWindowFont{"Courier New", -13, RUSSIAN_CHARSET, clWindowText, {}};
inline constexpr FontDef kPhoneColumnFont{"Courier New", -11, RUSSIAN_CHARSET, clWindowText, {}};
inline constexpr FontDef kBarManagerFont{"MS Sans Serif", -11, ANSI_CHARSET, clWindowText, {}};

// The window's bounds in the normal state (it opens maximised).
inline constexpr TRect kWindowBounds = Bounds(232, 104, 635, 450);
inline constexpr TRect kGridBounds = Bounds(3, 53, 621, 367);

// The extra dock controls: none holds a bar, so at run time each is 0 pixels thick.
struct DockDef {
    const char* name;
    TdxDockControlAlign align;
    TRect bounds;
};
inline constexpr DockDef kDocks[] = {{"dxBarDockControl1", dalTop, Bounds(0, 50, 627, 3)},
                                     {"dxBarDockControl2", dalBottom, Bounds(0, 420, 627, 3)},
                                     {"dxBarDockControl3", dalLeft, Bounds(0, 53, 3, 367)},
                                     {"dxBarDockControl4", dalRight, Bounds(624, 53, 3, 367)}};

// The grid's columns in list order, all in band 0, row 0.
struct ColumnDef {
    const char* name;
    bool lookup;          // a lookup column; otherwise a mask column
    const char* field;
    const char* caption;  // nullptr: the field's own
    int width;
    bool visible;
    bool oem_convert;
};
inline constexpr ColumnDef kColumns[] = {
    {"PhoneGridCode", false, "Code", nullptr, 63, false, false},
    {"PhoneGridPhone", false, "Phone", "Телефон", 49, true, true},
    {"PhoneGridLastName", false, "LastName", "Фамилия", 130, true, true},
    {"PhoneGridFirstName", false, "FirstName", "Имя", 79, true, true},
    {"PhoneGridMiddleName", false, "MiddleName", "Отчество", 87, true, true},
    {"PhoneGridCity", false, "City", nullptr, 63, false, true},
    {"PhoneGridStreet", false, "Street", nullptr, 63, false, true},
    {"PhoneGridCityStr", true, "CityStr", "Город", 130, true, true},
    {"PhoneGridStreetStr", true, "StreetStr", "Улица", 130, true, true},
    {"PhoneGridHouse", false, "House", "Дом", 44, true, true},
    {"PhoneGridFlat", false, "Flat", "Квартира", 28, true, true},
};
// The column with a font of its own (kPhoneColumnFont).
inline constexpr const char* kPhoneColumn = "PhoneGridPhone";

// The bar manager's categories, numbered 0 to 3; each is visible and shows its items always.
inline constexpr const char* kCategories[] = {"Меню", "?", "Файл", "Поиск"};
inline constexpr std::array<int, 4> kDockControlHeights{0, 0, 50, 0};  // left, right, top, bottom

enum class ItemKind { SubItem, Button, Edit };

// The items in stored order. Edit items show their caption, are 100 pixels
// wide and take their caption as their hint.
struct ItemDef {
    const char* name;
    ItemKind kind;
    const char* caption;
    int category;
    const char* hint;  // nullptr: none
    int image;         // -1: none
    TShortCut shortcut;
};
inline constexpr int kEditWidth = 100;
inline constexpr ItemDef kItems[] = {
    {"FileMenu", ItemKind::SubItem, "Файл", 0, nullptr, 4, scNone},
    {"N1", ItemKind::SubItem, "?", 0, nullptr, 5, scNone},
    {"AboutMenu", ItemKind::Button, "О программе...", 1, "О программе", 3, ShortCut(ui::VK_F1, {})},
    {"WebPageMenu", ItemKind::Button, "Мы в интернете", 1, "Мы в интернете", 2, ShortCut('W', {ssCtrl})},
    {"CloseButton", ItemKind::Button, "Выход", 2, "Выход", 0, ShortCut('X', {ssCtrl})},
    {"LastNameEdit", ItemKind::Edit, "Фамилия", 3, "Фамилия", -1, scNone},
    {"FirstNameEdit", ItemKind::Edit, "Имя", 3, "Имя", -1, scNone},
    {"MiddleNameEdit", ItemKind::Edit, "Отчество", 3, "Отчество", -1, scNone},
    {"PhoneEdit", ItemKind::Edit, "Телефон", 3, "Телефон", -1, scNone},
    {"CityEdit", ItemKind::Edit, "Город", 3, "Город", -1, scNone},
    {"StreetEdit", ItemKind::Edit, "Улица", 3, "Улица", -1, scNone},
};

// A link of a submenu or a bar to an item.
struct LinkDef {
    const char* owner;  // the submenu's or the bar's name
    const char* item;
    bool begin_group;
    int user_width;  // 0: the item's own width
};
inline constexpr LinkDef kLinks[] = {
    {"FileMenu", "CloseButton", false, 0},
    {"N1", "AboutMenu", false, 0},
    {"N1", "WebPageMenu", true, 0},
    {"Main Menu", "FileMenu", false, 0},
    {"Main Menu", "N1", false, 0},
    {"SearchBar", "PhoneEdit", false, 71},
    {"SearchBar", "LastNameEdit", false, 105},
    {"SearchBar", "FirstNameEdit", false, 89},
    {"SearchBar", "MiddleNameEdit", false, 67},
    {"SearchBar", "StreetEdit", false, 0},
    {"SearchBar", "CityEdit", false, 0},
};

// The bars, both docked at the top; their name is also their caption.
struct BarDef {
    const char* name;
    bool is_main_menu;
    TdxBarDockingStyle docking_style;  // also the docked docking style
    int row;
    int docked_top;
    TRect float_rect;  // FloatLeft, FloatTop, FloatClientWidth, FloatClientHeight
    bool one_on_row;
    bool whole_row;
    bool multi_line;
    bool visible;
};
inline constexpr BarDef kBars[] = {
    {"Main Menu", true, dsTop, 0, 0, Bounds(0, 0, 0, 0), true, true, true, true},
    {"SearchBar", false, dsTop, 1, 26, Bounds(276, 216, 23, 22), true, false, false, true},
};

}  // namespace phones
