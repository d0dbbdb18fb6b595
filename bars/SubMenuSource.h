// What a menu window shows, apart from where it comes from: the rows of a
// submenu item's visible links (or of a popup menu), whether each belongs to
// the recent subset, and what choosing a row does. The bar classes provide
// it for a submenu item; tests provide plain rows.
#pragma once

#include "bars/MenuAnimation.h"
#include "bars/MenuLevel.h"
#include "bars/ShortCut.h"
#include "text/AnsiString.h"

#include <functional>
#include <vector>

class TFont;
class TImageList;

namespace dxbar {

struct MenuRow {
    AnsiString caption;
    TShortCut shortcut = 0;
    int image_index = -1;
    bool enabled = true;
    bool begin_group = false;
    MenuItemKind kind = MenuItemKind::button;
    // In the recent subset; the other rows wait behind the expand button.
    bool recent = true;
};

class SubMenuSource {
public:
    virtual ~SubMenuSource() = default;

    // The visible links in collection order.
    virtual std::vector<MenuRow> rows() const = 0;
    // The menu of a row that is a submenu item, or nullptr.
    virtual SubMenuSource* submenu(int row) = 0;
    // Marks the row's link used and returns its item's click (see MenuLevel).
    virtual std::function<void()> prepare_click(int row) = 0;
    // The item opening this menu: OnPopup and the item's click path before
    // the menu opens, OnCloseUp after it closed.
    virtual void popup() {}
    virtual void close_up() {}

    virtual const TFont& font() const = 0;
    virtual const TImageList* images() const { return nullptr; }
    virtual MenuAnimationSetting animations() const { return MenuAnimationSetting::none; }
    virtual bool customizing() const { return false; }
    virtual bool show_full_menus_after_delay() const { return true; }
};

}  // namespace dxbar
