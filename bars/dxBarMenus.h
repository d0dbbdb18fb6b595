// Menus, shortcuts and hints for the bar manager's classes: the glue
// between the managers, bars and items on one side and the program-wide
// menu machinery (MenuSystem: hooks, chain of menus, hints, animation) on
// the other.
//
//  - BarMenuLevel presents a bar window to the chain: its item controls are
//    the level's items, its submenu titles open TdxBarSubMenuControl windows.
//  - SubItemMenuSource feeds a menu window from a submenu item's links,
//    with the recent-items subset, and runs the clicks.
//  - ManagerMenuClient answers the hooks for one manager: its main menu,
//    its shortcuts in search order, whether an edit box is being edited.
//  - BarMenus ties them to the managers' lives (the manager calls it when
//    it is made, destroyed and when it closes everything).
#pragma once

#include "bars/MenuSystem.h"
#include "bars/SubMenuSource.h"
#include "bars/dxBarTypes.h"
#include "platform/classes/TComponent.h"

#include <map>
#include <memory>
#include <vector>

class TdxBarSubMenuControl;

namespace dxbar {

class SubItemMenuSource;

// Runs a function when a component it watches is freed.
class FreeWatcher : public TComponent {
public:
    explicit FreeWatcher(std::function<void(TComponent*)> gone);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::function<void(TComponent*)> m_gone;
};

class BarMenuLevel : public MenuLevel {
public:
    BarMenuLevel(TCustomdxBarControl& control, MenuChain& chain);
    ~BarMenuLevel() override;

    TCustomdxBarControl& Control() const { return m_control; }
    // The menu opened from one of the titles, while open.
    TdxBarSubMenuControl* OpenMenu() const;
    int IndexOf(const TdxBarItemControl* control) const;
    TdxBarItemControl* ItemControl(int index) const;

    int item_count() const override;
    bool item_selectable(int index) const override;
    MenuItemKind item_kind(int index) const override;
    AnsiString item_caption(int index) const override;
    int selected() const override;
    void set_selected(int index) override;
    bool is_bar() const override { return true; }
    ui::HWND window() const override;
    MenuLevel* open_submenu(int index, OpenedBy by) override;
    void close() override {}
    std::function<void()> prepare_click(int index) override;

private:
    TCustomdxBarControl& m_control;
    MenuChain& m_chain;
    TdxBarItemControl* m_titleOpen = nullptr;
    std::unique_ptr<SubItemMenuSource> m_source;     // before the menu: goes after it
    std::unique_ptr<TdxBarSubMenuControl> m_menu;
};

class SubItemMenuSource : public SubMenuSource {
public:
    // The menu of `item` opened through `link` (nullptr for none), inside
    // the menu of `parent` (nullptr: opened from a bar).
    SubItemMenuSource(TCustomdxBarSubItem& item, TdxBarItemLink* link, SubItemMenuSource* parent,
                      std::function<void()> closed = {});
    ~SubItemMenuSource() override;

    std::vector<MenuRow> rows() const override;
    SubMenuSource* submenu(int row) override;
    std::function<void()> prepare_click(int row) override;
    void popup() override;
    void close_up() override;
    const TFont& font() const override;
    const TImageList* images() const override;
    MenuAnimationSetting animations() const override;
    bool customizing() const override;
    bool show_full_menus_after_delay() const override;

private:
    bool recent_items_apply() const;
    TdxBarManager& manager() const;

    TCustomdxBarSubItem& m_item;
    // Kept apart from the item: the manager outlives the items it shows.
    TdxBarManager& m_manager;
    TdxBarItemLink* m_link;
    SubItemMenuSource* m_parent;
    std::function<void()> m_closed;
    mutable std::vector<TdxBarItemLink*> m_rows;  // the links behind the rows of the last rows()
    std::map<int, std::unique_ptr<SubItemMenuSource>> m_children;
    bool m_itemGone = false;
    std::unique_ptr<FreeWatcher> m_watcher;
};

// Moves a link to the front of its collection's recent order.
void move_to_recent_front(TdxBarItemLink* link);

class ManagerMenuClient : public MenuClient {
public:
    explicit ManagerMenuClient(TdxBarManager& manager) : m_manager(manager) {}

    bool customizing() const override;
    bool use_f10_for_menu() const override;
    MenuLevel* main_menu() override;
    std::function<void()> shortcut_click(TShortCut value) override;
    std::vector<MenuLevel*> bars_for_mnemonics() override;
    bool edit_box_has_focus() const override;
    bool bar_in_keyboard_mode() const override;
    void bar_keyboard_key(int vk, TShiftState shift) override;

    // The level of a bar window of this manager (made on first use).
    BarMenuLevel* LevelOf(TCustomdxBarControl* control);
    TdxBarManager& Manager() const { return m_manager; }
    // A bar window went away: its level goes too.
    void Forget(TCustomdxBarControl* control);

private:
    TdxBarManager& m_manager;
    std::map<TCustomdxBarControl*, std::unique_ptr<BarMenuLevel>> m_levels;
};

class BarMenus {
public:
    // Called by the manager.
    static void ManagerCreated(TdxBarManager* manager);
    static void ManagerDestroyed(TdxBarManager* manager);
    static void HideAll(TdxBarManager* manager);

    // The client of a manager, while it lives; the one of the active form.
    static ManagerMenuClient* ClientOf(TdxBarManager* manager);
    static ManagerMenuClient* ActiveClient();
};

}  // namespace dxbar
