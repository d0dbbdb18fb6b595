// Builds the parts of the main window from the tables of app/PhonesLayout.h,
// as the layout reader creates components: the program's window and the test
// windows and benchmarks that stand in for it call the same functions, each
// in the order the stored layout lists its components.
#pragma once

#include "platform/gfx/TRect.h"

#include <array>

class TFont;
class TImageList;
class TWinControl;
class TdxDBGrid;
class TdxBar;
class TdxBarButton;
class TdxBarDockControl;
class TdxBarEdit;
class TdxBarManager;
class TdxBarSubItem;
namespace forms {
class LayoutReader;
}
namespace phones {
struct FontDef;
}

namespace phones {

void apply_font(TFont& font, const FontDef& def);

// The four extra dock controls, children of `parent`, in the order of kDocks.
std::array<TdxBarDockControl*, 4> read_docks(forms::LayoutReader& reader, TWinControl* parent);

// The grid's stored properties (bounds, alignment, border, options, its
// layout file and section), for a grid already created and parented.
void configure_grid(TdxDBGrid& grid);
// The grid's eleven columns, and the phone column's own font.
void read_columns(forms::LayoutReader& reader, TdxDBGrid& grid);

// The bar manager with its categories, items and bars; no images yet, and no
// handlers: the window binds those.
struct Bars {
    TdxBarManager* PhoneBarManager = nullptr;
    TdxBarSubItem* FileMenu = nullptr;
    TdxBarSubItem* N1 = nullptr;
    TdxBarButton* AboutMenu = nullptr;
    TdxBarButton* WebPageMenu = nullptr;
    TdxBarButton* CloseButton = nullptr;
    TdxBarEdit* LastNameEdit = nullptr;
    TdxBarEdit* FirstNameEdit = nullptr;
    TdxBarEdit* MiddleNameEdit = nullptr;
    TdxBarEdit* PhoneEdit = nullptr;
    TdxBarEdit* CityEdit = nullptr;
    TdxBarEdit* StreetEdit = nullptr;
    TdxBar* MainMenu = nullptr;
    TdxBar* SearchBar = nullptr;
};
Bars read_bar_manager(forms::LayoutReader& reader);

// ImageList1 with the program's images, the bar manager's images.
TImageList* read_image_list(forms::LayoutReader& reader, TdxBarManager& manager);

}  // namespace phones
