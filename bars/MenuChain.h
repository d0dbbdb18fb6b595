// Keyboard mode and the chain of open menus. While a bar is in keyboard mode
// the chain takes every key: the root is the bar, every open menu is one
// more level, and the innermost level (the head) gets the keys.
//
// In the main menu bar: Left/Right (Shift+Tab/Tab) move between titles with
// wrapping and, once a menu has been dropped, open the new title's menu;
// Home/End; Enter, Down and Up drop the title's menu with its first item
// selected (Enter on a button clicks it); Esc, F10 and Alt leave.
// In an open menu: Up/Down with wrapping, Home/End, Enter clicks or opens;
// Esc closes it (the bar keeps the title selected, nothing dropped); Left
// closes a nested menu or moves the bar to the previous title; Right moves
// the bar to the next title; Ctrl+Down, and Down or Tab on the last item,
// expand a menu that hides items. Any other key looks for a mnemonic.
//
// Leaving keyboard mode closes every open menu, innermost first, clears the
// selection and gives the focus back to the window that had it when the
// mode began, when the application and the bar's form are active.
//
// Invariants: levels are empty exactly when not active; levels after the
// root are menus; the root is the only bar.
#pragma once

#include "bars/MenuLevel.h"
#include "bars/MenuNavigation.h"
#include "platform/forms/TWinControl.h"
#include "platform/ui/WindowSystem.h"

#include <functional>
#include <vector>

namespace dxbar {

class MenuChain {
public:
    explicit MenuChain(ui::WindowSystem& ws) : m_ws(ws) {}

    bool active() const { return !m_levels.empty(); }
    MenuLevel* root() const { return m_levels.empty() ? nullptr : m_levels.front(); }
    MenuLevel* head() const { return m_levels.empty() ? nullptr : m_levels.back(); }
    const std::vector<MenuLevel*>& levels() const { return m_levels; }
    bool menu_dropped() const { return m_dropped; }
    // Whether h is the window of a level (a press there does not close the chain).
    bool contains_window(ui::HWND h) const;
    // A menu of this opening was expanded: the menus opened after it show
    // every item too, until keyboard mode ends.
    bool expanded() const { return m_expanded; }
    void set_expanded() { m_expanded = active(); }

    // Enters keyboard mode on a bar with an item selected (-1: the first
    // selectable one). A mode already on another bar is left first.
    void enter(MenuLevel* bar, int item = -1);
    // Leaves keyboard mode (nothing when not active).
    void leave();

    // A key-down while active; always taken.
    void key_down(int vk, TShiftState shift);
    // Alt+key outside keyboard mode: when an item of the bar has the key as
    // its mnemonic, keyboard mode begins there and the item is selected (or
    // opened or run when it is the only one). False when none matches.
    bool try_mnemonic(MenuLevel* bar, int vk, TShiftState shift);

    // A mouse press on an item of a level: in a bar not in keyboard mode it
    // enters it; on a submenu item it drops its menu (animated); on the title
    // of the open menu it leaves; on a button it clicks it.
    void press_item(MenuLevel* level, int index);
    // The left button went up over an item: a button or edit box is chosen.
    void release_item(MenuLevel* level, int index);
    // The mouse moved onto an item: in a bar with a dropped menu another
    // title opens at once (not animated); in a menu the item is selected.
    void hover_item(MenuLevel* level, int index);
    // Opens or closes a submenu item's menu after the hover delay.
    void hover_open(MenuLevel* level, int index);
    // Closes every level after the given one, innermost first.
    void close_after(MenuLevel* level);
    // A level's window went away by itself: forget it and everything after it.
    void forget(MenuLevel* level);

    // The platform's translation of a character to a key, for mnemonics.
    KeyForCharFn key_for_char;
    // Runs after keyboard mode began or ended (hints, mouse-move to the bar under the cursor).
    std::function<void()> on_enter;
    std::function<void()> on_leave;

    void check_invariants() const;

private:
    void bar_key(int vk, TShiftState shift);
    void menu_key(int vk, TShiftState shift);
    void move_in_bar(bool forward);
    void select_in(MenuLevel* level, int index);
    void activate(MenuLevel* level, int index, OpenedBy by);
    void open(MenuLevel* level, int index, OpenedBy by, bool select_first);
    void choose(MenuLevel* level, int index);
    bool mnemonic(MenuLevel* level, int vk, TShiftState shift);
    std::vector<int> mnemonic_matches_in(const MenuLevel* level, int vk, TShiftState shift) const;
    int level_index(const MenuLevel* level) const;

    ui::WindowSystem& m_ws;
    std::vector<MenuLevel*> m_levels;
    bool m_dropped = false;
    bool m_expanded = false;
    ui::HWND m_focus = ui::kNoWindow;
};

}  // namespace dxbar
