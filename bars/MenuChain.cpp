#include "bars/MenuChain.h"

#include "platform/classes/Invariant.h"

#include <algorithm>
#include <cassert>

namespace dxbar {

namespace {

int first_of(const MenuLevel* level, bool forward) {
    return first_selectable(level->item_count(), forward, [level](int i) { return level->item_selectable(i); });
}

}  // namespace

int MenuChain::level_index(const MenuLevel* level) const {
    const auto it = std::find(m_levels.begin(), m_levels.end(), level);
    return it == m_levels.end() ? -1 : static_cast<int>(it - m_levels.begin());
}

bool MenuChain::contains_window(ui::HWND h) const {
    return h != ui::kNoWindow &&
           std::any_of(m_levels.begin(), m_levels.end(), [h](const MenuLevel* l) { return l->window() == h; });
}

void MenuChain::enter(MenuLevel* bar, int item) {
    if (active()) {
        if (root() != bar) {
            leave();
        } else {
            close_after(bar);
            m_dropped = false;
            select_in(bar, item >= 0 ? item : first_of(bar, true));
            return;
        }
    }
    m_focus = m_ws.get_focus();
    m_levels = {bar};
    m_dropped = false;
    select_in(bar, item >= 0 ? item : first_of(bar, true));
    if (on_enter) on_enter();
}

void MenuChain::leave() {
    if (!active()) return;
    MenuLevel* bar = root();
    close_after(bar);
    bar->set_selected(-1);
    const ui::HWND form = m_ws.get_top_level(bar->window());
    const ui::HWND focus = m_focus;
    m_levels.clear();
    m_dropped = false;
    m_expanded = false;
    m_focus = ui::kNoWindow;
    if (m_ws.application_active() && m_ws.get_active_window() == form && m_ws.is_window(focus)) m_ws.set_focus(focus);
    if (on_leave) on_leave();
}

void MenuChain::close_after(MenuLevel* level) {
    const int index = level_index(level);
    if (index < 0) return;
    while (static_cast<int>(m_levels.size()) > index + 1) {
        MenuLevel* menu = m_levels.back();
        m_levels.pop_back();
        menu->close();
    }
}

void MenuChain::forget(MenuLevel* level) {
    const int index = level_index(level);
    if (index < 0) return;
    if (index == 0) {
        // The bar itself went away: nothing is left to take the keys.
        while (m_levels.size() > 1) {
            MenuLevel* menu = m_levels.back();
            m_levels.pop_back();
            menu->close();
        }
        m_levels.clear();
        m_dropped = false;
        m_expanded = false;
        m_focus = ui::kNoWindow;
        if (on_leave) on_leave();
        return;
    }
    close_after(level);
    m_levels.pop_back();
}

void MenuChain::select_in(MenuLevel* level, int index) {
    if (level->selected() != index) level->set_selected(index);
}

void MenuChain::open(MenuLevel* level, int index, OpenedBy by, bool select_first) {
    close_after(level);
    select_in(level, index);
    if (index < 0 || level->item_kind(index) != MenuItemKind::submenu) return;
    MenuLevel* menu = level->open_submenu(index, by);
    if (!menu) return;
    m_levels.push_back(menu);
    if (select_first) select_in(menu, first_of(menu, true));
    menu->activated();
}

void MenuChain::choose(MenuLevel* level, int index) {
    if (index < 0 || !level->item_selectable(index)) return;
    std::function<void()> action = level->prepare_click(index);
    // An edit box takes the keys itself and keeps the bar in keyboard mode.
    if (level->item_kind(index) != MenuItemKind::edit) leave();
    if (action) action();
}

void MenuChain::activate(MenuLevel* level, int index, OpenedBy by) {
    if (level->item_kind(index) == MenuItemKind::submenu) {
        if (level->is_bar()) m_dropped = true;
        open(level, index, by, by == OpenedBy::keyboard);
    } else {
        choose(level, index);
    }
}

void MenuChain::key_down(int vk, TShiftState shift) {
    MenuLevel* h = head();
    if (!h) return;
    if (h->is_bar())
        bar_key(vk, shift);
    else
        menu_key(vk, shift);
}

void MenuChain::move_in_bar(bool forward) {
    MenuLevel* bar = root();
    close_after(bar);
    const int next = next_selectable(bar->item_count(), bar->selected(), forward,
                                     [bar](int i) { return bar->item_selectable(i); });
    if (next < 0) return;
    select_in(bar, next);
    if (m_dropped && bar->item_kind(next) == MenuItemKind::submenu) open(bar, next, OpenedBy::keyboard, true);
}

void MenuChain::bar_key(int vk, TShiftState shift) {
    MenuLevel* bar = head();
    switch (vk) {
    case ui::VK_LEFT: move_in_bar(false); return;
    case ui::VK_RIGHT: move_in_bar(true); return;
    case ui::VK_TAB: move_in_bar(!shift.Contains(ssShift)); return;
    case ui::VK_HOME:
    case ui::VK_END: select_in(bar, first_of(bar, vk == ui::VK_HOME)); return;
    case ui::VK_RETURN:
    case ui::VK_DOWN:
    case ui::VK_UP: {
        const int sel = bar->selected();
        if (sel < 0) return;
        if (bar->item_kind(sel) == MenuItemKind::submenu)
            activate(bar, sel, OpenedBy::keyboard);
        else if (vk == ui::VK_RETURN)
            choose(bar, sel);
        return;
    }
    case ui::VK_ESCAPE:
    case ui::VK_F10:
    case ui::VK_MENU:
    case ui::VK_LMENU:
    case ui::VK_RMENU: leave(); return;
    default: mnemonic(bar, vk, shift); return;
    }
}

void MenuChain::menu_key(int vk, TShiftState shift) {
    MenuLevel* menu = head();
    MenuLevel* parent = m_levels[m_levels.size() - 2];
    auto selectable = [menu](int i) { return menu->item_selectable(i); };
    const int count = menu->item_count();
    auto expand = [&] {
        MenuLevel* expanded = menu->expand();
        if (expanded && expanded != menu) m_levels.back() = expanded;
    };
    const bool down = vk == ui::VK_DOWN || (vk == ui::VK_TAB && !shift.Contains(ssShift));
    const bool up = vk == ui::VK_UP || (vk == ui::VK_TAB && shift.Contains(ssShift));
    if (down) {
        if (menu->can_expand() && (shift.Contains(ssCtrl) || menu->selected() == first_of(menu, false))) {
            expand();
            return;
        }
        select_in(menu, next_selectable(count, menu->selected(), true, selectable));
        return;
    }
    if (up) {
        select_in(menu, next_selectable(count, menu->selected(), false, selectable));
        return;
    }
    switch (vk) {
    case ui::VK_HOME:
    case ui::VK_END: select_in(menu, first_of(menu, vk == ui::VK_HOME)); return;
    case ui::VK_RETURN:
        if (menu->selected() >= 0) activate(menu, menu->selected(), OpenedBy::keyboard);
        return;
    case ui::VK_ESCAPE:
        close_after(parent);
        if (parent->is_bar()) m_dropped = false;
        return;
    case ui::VK_LEFT:
        if (parent->is_bar())
            move_in_bar(false);
        else
            close_after(parent);
        return;
    case ui::VK_RIGHT:
        if (root()->is_bar()) move_in_bar(true);
        return;
    default: mnemonic(menu, vk, shift); return;
    }
}

std::vector<int> MenuChain::mnemonic_matches_in(const MenuLevel* level, int vk, TShiftState shift) const {
    const int count = level->item_count();
    const int start = level->selected();
    std::vector<int> matches;
    for (int k = 1; k <= count; ++k) {
        const int i = (std::max(start, -1) + k + count) % count;
        if (!level->item_selectable(i)) continue;
        const auto m = mnemonic_of(level->item_caption(i));
        if (m && mnemonic_matches(*m, vk, shift.Contains(ssShift), shift.Contains(ssCtrl), key_for_char))
            matches.push_back(i);
    }
    return matches;
}

bool MenuChain::mnemonic(MenuLevel* level, int vk, TShiftState shift) {
    const std::vector<int> matches = mnemonic_matches_in(level, vk, shift);
    if (matches.empty()) return false;
    if (level->is_bar()) close_after(level);
    if (matches.size() == 1)
        activate(level, matches.front(), OpenedBy::keyboard);
    else
        select_in(level, matches.front());
    return true;
}

bool MenuChain::try_mnemonic(MenuLevel* bar, int vk, TShiftState shift) {
    if (mnemonic_matches_in(bar, vk, shift).empty()) return false;
    enter(bar, -1);
    bar->set_selected(-1);  // the search starts before the first item
    mnemonic(bar, vk, shift);
    return true;
}

void MenuChain::press_item(MenuLevel* level, int index) {
    if (index < 0) return;
    if (level_index(level) < 0) {
        if (!level->is_bar()) return;
        enter(level, index);
        if (level->item_kind(index) == MenuItemKind::submenu) {
            m_dropped = true;
            open(level, index, OpenedBy::mouse, false);
        }
        return;
    }
    const bool open_here = level_index(level) + 1 < static_cast<int>(m_levels.size()) && level->selected() == index;
    if (level->is_bar()) {
        if (open_here) {
            leave();
            return;
        }
        close_after(level);
        select_in(level, index);
        if (level->item_kind(index) == MenuItemKind::submenu) {
            m_dropped = true;
            open(level, index, OpenedBy::mouse, false);
        }
        return;
    }
    if (level->item_kind(index) != MenuItemKind::submenu) {
        select_in(level, index);
        return;
    }
    if (open_here)
        close_after(level);
    else
        open(level, index, OpenedBy::mouse, false);
}

void MenuChain::release_item(MenuLevel* level, int index) {
    if (index < 0 || level_index(level) < 0) return;
    const MenuItemKind kind = level->item_kind(index);
    if (kind == MenuItemKind::button || kind == MenuItemKind::edit) choose(level, index);
}

void MenuChain::hover_item(MenuLevel* level, int index) {
    if (level_index(level) < 0) return;
    if (level->is_bar()) {
        if (!m_dropped || index < 0 || index == level->selected() || !level->item_selectable(index)) return;
        close_after(level);
        select_in(level, index);
        open(level, index, OpenedBy::hover, false);
        return;
    }
    if (index >= 0 && !level->item_selectable(index)) index = -1;
    select_in(level, index);
}

void MenuChain::hover_open(MenuLevel* level, int index) {
    const int at = level_index(level);
    if (at < 0 || level->is_bar()) return;
    const bool something_open = at + 1 < static_cast<int>(m_levels.size());
    if (index >= 0 && level->item_kind(index) == MenuItemKind::submenu) {
        if (!(something_open && level->selected() == index)) open(level, index, OpenedBy::hover, false);
    } else if (something_open) {
        close_after(level);
    }
}

void MenuChain::check_invariants() const {
#ifndef NDEBUG
    if (m_levels.empty()) {
        INVARIANT(!m_dropped && !m_expanded, "MenuChain: !m_dropped && !m_expanded");
        return;
    }
    INVARIANT(m_levels.front()->is_bar(), "MenuChain: m_levels.front()->is_bar()");
    for (std::size_t i = 1; i < m_levels.size(); ++i) {
        INVARIANT(!m_levels[i]->is_bar(), "MenuChain: !m_levels[i]->is_bar()");
        INVARIANT(std::count(m_levels.begin(), m_levels.end(), m_levels[i]) == 1, "MenuChain: std::count(m_levels.begin(), m_levels.end(), m_levels[i]) == 1");
    }
#endif
}

}  // namespace dxbar
