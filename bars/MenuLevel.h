// One level of the chain of menus that takes the keys: the main menu bar (or
// another bar) at the root, then every open menu. The bar classes implement
// it; MenuChain drives it. Indices are positions among the level's shown
// items; -1 means none.
#pragma once

#include "platform/ui/Messages.h"
#include "text/AnsiString.h"

#include <functional>

namespace dxbar {

enum class MenuItemKind { button, submenu, edit, other };

enum class OpenedBy { keyboard, mouse, hover };

class MenuLevel {
public:
    virtual ~MenuLevel() = default;

    virtual int item_count() const = 0;
    // Enabled, shown, and not a separator row.
    virtual bool item_selectable(int index) const = 0;
    virtual MenuItemKind item_kind(int index) const = 0;
    // The caption as shown, with its "&" marks.
    virtual AnsiString item_caption(int index) const = 0;

    virtual int selected() const = 0;
    // Selects and repaints (the old and the new item).
    virtual void set_selected(int index) = 0;

    // A bar lays its items out side by side; a menu stacks them.
    virtual bool is_bar() const = 0;
    // The window of the level (the menu's popup or the bar's window).
    virtual ui::HWND window() const = 0;

    // Opens the menu of the submenu item at index and returns it; nullptr
    // when nothing opened. The chain owns no level: a menu's window goes
    // away with close().
    virtual MenuLevel* open_submenu(int index, OpenedBy by) = 0;
    // Closes this menu (destroys its window); never called on the root bar.
    virtual void close() = 0;
    // What choosing the item at index does, to be run once the chain has
    // closed (the level may be gone by then): marks the link as used and
    // returns the item's click.
    virtual std::function<void()> prepare_click(int index) = 0;

    // The menu has opened and has its first selection: its time starts now.
    virtual void activated() {}

    // A menu hiding less used items behind its expand button.
    virtual bool can_expand() const { return false; }
    // Shows every item; returns the level that replaces this one (a menu
    // is re-created expanded at the same place), or this.
    virtual MenuLevel* expand() { return this; }
};

}  // namespace dxbar
