#include "bars/dxBarMenus.h"

#include "platform/ui/KeyboardLayout.h"

#include "bars/HintPlacement.h"
#include "bars/RecentItems.h"
#include "bars/ShortCutSearch.h"
#include "bars/TdxBar.h"
#include "bars/TdxBarControl.h"
#include "bars/TdxBarEditControl.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemControl.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "bars/TdxBarSubMenuControl.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"
#include "platform/ui/KeyboardLayout.h"
#include "platform/ui/SystemSettings.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>

namespace dxbar {

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

std::map<TdxBarManager*, std::unique_ptr<ManagerMenuClient>>& clients() {
    static std::map<TdxBarManager*, std::unique_ptr<ManagerMenuClient>> all;
    return all;
}

MenuAnimationSetting setting_of(TdxBarMenuAnimations a) {
    switch (a) {
    case maNone: return MenuAnimationSetting::none;
    case maRandom: return MenuAnimationSetting::random;
    case maUnfold: return MenuAnimationSetting::unfold;
    case maSlide: return MenuAnimationSetting::slide;
    }
    return MenuAnimationSetting::none;
}

MenuItemKind kind_of(const TdxBarItem* item) {
    if (dynamic_cast<const TCustomdxBarSubItem*>(item)) return MenuItemKind::submenu;
    if (dynamic_cast<const TdxBarWindowItem*>(item)) return MenuItemKind::edit;
    if (dynamic_cast<const TdxBarButton*>(item)) return MenuItemKind::button;
    return MenuItemKind::other;
}

// A mnemonic's key is the key that types its letter in the keyboard layout in
// force, so "&Файл" answers to the key of "ф" under a Russian layout.
std::optional<KeyForChar> layout_key_for_char(unsigned char c) {
    const std::int16_t key = ws().key_for_char(c);
    if (key < 0) return std::nullopt;
    return KeyForChar{key & 0xFF, (key & ui::kShiftForKey) != 0, false};
}

// The shortcut search over the manager's links.
struct ShortCutLinks {
    using Item = TdxBarItemLink;
    using Links = TdxBarItemLinks;
    template <class F>
    void links(const Links& list, F f) const {
        for (int i = 0; i < list.Count(); ++i)
            if (f(list[i])) return;
    }
    ShortCutItemKind kind(const Item* l) const {
        switch (kind_of(l->Item())) {
        case MenuItemKind::submenu: return ShortCutItemKind::submenu;
        case MenuItemKind::edit: return ShortCutItemKind::window;
        case MenuItemKind::button: return ShortCutItemKind::button;
        case MenuItemKind::other: break;
        }
        return ShortCutItemKind::other;
    }
    bool visible(const Item* l) const { return l->Item() && l->Item()->IsVisible(); }
    bool enabled(const Item* l) const { return l->Item()->IsEnabled(); }
    TShortCut shortcut(const Item* l) const { return static_cast<TShortCut>(l->Item()->ShortCut()); }
    const Links* sub_links(const Item* l) const {
        auto* sub = dynamic_cast<TCustomdxBarSubItem*>(l->Item());
        return sub ? &sub->ItemLinks() : nullptr;
    }
    const Links* drop_down_links(const Item*) const { return nullptr; }
};

// The bars' hot item as the hints follow it: a bar window and a link.
struct HotItem {
    ui::HWND bar = ui::kNoWindow;
    const TdxBarItemLink* link = nullptr;
    bool operator==(const HotItem&) const = default;
};
HotItem g_hot;

TCustomdxBarControl* bar_of(ui::HWND h) { return dynamic_cast<TCustomdxBarControl*>(TWinControl::FindControl(h)); }

AnsiString hint_for(HotItem hot) {
    TCustomdxBarControl* bar = bar_of(hot.bar);
    if (!bar) return {};
    // The item under the cursor must still be the hot one.
    TdxBarItemControl* c = bar->ItemAt(ws().screen_to_client(hot.bar, ws().get_cursor_pos()));
    if (!c || c->Link() != hot.link || !c->Item()) return {};
    TdxBarItem* item = c->Item();
    TdxBarManager& m = bar->BarManager();
    if (!item->IsEnabled() && !m.ShowHintForDisabledItems()) return {};
    // The application's hint-shortcuts switch is on, so shortcuts always show.
    return hint_text(item->Hint(), static_cast<TShortCut>(item->ShortCut()), true);
}

void follow_hot_item(MenuSystem& system, TCustomdxBarControl* bar, TdxBarItemControl* c) {
    HotItem hot;
    if (bar && c && !bar->KeyboardMode() && bar->BarManager().ShowHint() && !bar->BarManager().IsCustomizing())
        hot = HotItem{bar->Handle(), c->Link()};
    if (hot == g_hot) return;
    g_hot = hot;
    if (!hot.link) {
        system.hints().hot_changed({});
        return;
    }
    TdxBarManager* manager = &bar->BarManager();
    system.hints().hot_changed({[hot] { return hint_for(hot); }, [manager](TFont& f) {
                                    if (manager->UseSystemFont())
                                        ui::assign_system_font(ui::status_font(), f);
                                    else
                                        f.Assign(manager->Font());
                                    f.SetColor(clInfoText);
                                }});
}

// A title was pressed and the button is still down.
bool g_title_pressed = false;

bool in_chain(const MenuChain& chain, ui::HWND h) {
    for (; h != ui::kNoWindow; h = ws().get_parent(h))
        if (chain.contains_window(h)) return true;
    return false;
}

bool filter_mouse(ui::UINT message, const ui::MouseHookInfo& info) {
    MenuSystem* system = MenuSystem::instance();
    if (!system) return false;
    if (message == ui::WM_LBUTTONUP && g_title_pressed) {
        g_title_pressed = false;
        // Pressed on a title and let go somewhere outside the menus: they close.
        MenuChain& chain = system->chain();
        if (chain.active() && !system->animator().running() && !in_chain(chain, info.hwnd)) {
            chain.leave();
            return false;
        }
    }
    TCustomdxBarControl* bar = bar_of(info.hwnd);
    ManagerMenuClient* client = bar ? BarMenus::ClientOf(&bar->BarManager()) : nullptr;
    TdxBarItemControl* c = client ? bar->ItemAt(ws().screen_to_client(info.hwnd, info.pt)) : nullptr;
    if (message == ui::WM_MOUSEMOVE) follow_hot_item(*system, client ? bar : nullptr, c);
    if (!client || !c) return false;
    BarMenuLevel* level = client->LevelOf(bar);
    const int index = level->IndexOf(c);
    MenuChain& chain = system->chain();
    switch (message) {
    case ui::WM_LBUTTONDOWN:
    case ui::WM_LBUTTONDBLCLK:
        if (kind_of(c->Item()) != MenuItemKind::submenu || !c->Enabled() || client->customizing()) return false;
        system->animator().abort_and_wait();
        chain.press_item(level, index);
        g_title_pressed = chain.active();
        return true;
    case ui::WM_MOUSEMOVE:
        if (chain.active() && chain.root() == level) chain.hover_item(level, index);
        return false;
    default: return false;
    }
}

// Keyboard mode begins: a mouse mode of the form ends, the form comes to
// the top and no hint stays up.
void keyboard_mode_entered() {
    MenuSystem* system = MenuSystem::instance();
    if (!system || !system->chain().root()) return;
    if (const ui::HWND capture = ws().get_capture(); capture != ui::kNoWindow)
        ws().send_message(capture, ui::WM_CANCELMODE);
    if (const ui::HWND form = ws().get_top_level(system->chain().root()->window()); form != ui::kNoWindow)
        ws().bring_window_to_top(form);
    g_hot = {};
    system->hints().hide();
}

// After keyboard mode the bar under the cursor updates its hot item.
void post_mouse_move() {
    const TPoint cursor = ws().get_cursor_pos();
    const ui::HWND under = ws().window_from_point(cursor);
    if (under == ui::kNoWindow) return;
    const TPoint p = ws().screen_to_client(under, cursor);
    ws().post_message(under, ui::WM_MOUSEMOVE, 0, ui::make_lparam(p.X, p.Y));
}

std::map<ManagerMenuClient*, std::unique_ptr<FreeWatcher>>& watchers() {
    static std::map<ManagerMenuClient*, std::unique_ptr<FreeWatcher>> all;
    return all;
}

}  // namespace

// ---- BarMenuLevel ---------------------------------------------------------------------------------

BarMenuLevel::BarMenuLevel(TCustomdxBarControl& control, MenuChain& chain) : m_control(control), m_chain(chain) {}

BarMenuLevel::~BarMenuLevel() {
    m_chain.forget(this);
    m_menu.reset();
    m_source.reset();
}

TdxBarSubMenuControl* BarMenuLevel::OpenMenu() const { return m_menu && !m_menu->Closed() ? m_menu.get() : nullptr; }

int BarMenuLevel::IndexOf(const TdxBarItemControl* control) const {
    const std::vector<TdxBarItemControl*> all = m_control.ItemControls();
    const auto it = std::find(all.begin(), all.end(), control);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

TdxBarItemControl* BarMenuLevel::ItemControl(int index) const {
    const std::vector<TdxBarItemControl*> all = m_control.ItemControls();
    return index >= 0 && index < static_cast<int>(all.size()) ? all[static_cast<std::size_t>(index)] : nullptr;
}

int BarMenuLevel::item_count() const { return static_cast<int>(m_control.ItemControls().size()); }

bool BarMenuLevel::item_selectable(int index) const {
    TdxBarItemControl* c = ItemControl(index);
    return c && c->CanSelect() && !c->ItemRect().IsEmpty();
}

MenuItemKind BarMenuLevel::item_kind(int index) const {
    TdxBarItemControl* c = ItemControl(index);
    return c ? kind_of(c->Item()) : MenuItemKind::other;
}

AnsiString BarMenuLevel::item_caption(int index) const {
    TdxBarItemControl* c = ItemControl(index);
    return c ? c->Link()->Caption() : AnsiString();
}

int BarMenuLevel::selected() const { return IndexOf(m_control.SelectedControl()); }

void BarMenuLevel::set_selected(int index) {
    TdxBarItemControl* c = ItemControl(index);
    if (!c) {
        m_control.LeaveKeyboardMode(false);
        m_control.SetHotControl(nullptr);
        return;
    }
    m_control.EnterKeyboardMode(c);
    // The selected title looks hot, as under the mouse.
    m_control.SetHotControl(c);
}

ui::HWND BarMenuLevel::window() const { return m_control.HandleAllocated() ? m_control.Handle() : ui::kNoWindow; }

MenuLevel* BarMenuLevel::open_submenu(int index, OpenedBy by) {
    TdxBarItemControl* c = ItemControl(index);
    auto* item = c ? dynamic_cast<TCustomdxBarSubItem*>(c->Item()) : nullptr;
    if (!item) return nullptr;
    m_menu.reset();
    m_source.reset();
    TdxBarItemLink* link = c->Link();
    m_source = std::make_unique<SubItemMenuSource>(*item, link, nullptr, [this, link] {
        // The title is drawn normally again once its menu has closed.
        for (TdxBarItemControl* t : m_control.ItemControls())
            if (t->Link() == link)
                if (auto* title = dynamic_cast<TdxBarSubItemControl*>(t)) title->SetDroppedDown(false);
    });
    const ui::HWND form = ws().get_top_level(m_control.Handle());
    m_menu = std::make_unique<TdxBarSubMenuControl>(*m_source, m_chain, form);
    if (auto* title = dynamic_cast<TdxBarSubItemControl*>(c)) title->SetDroppedDown(true);
    const TRect r = c->ItemRect();
    const TPoint tl = ws().client_to_screen(m_control.Handle(), Point(r.Left, r.Top));
    m_menu->Popup(Bounds(tl.X, tl.Y, r.Width(), r.Height()),
                  m_control.Vertical() ? SubMenuOwner::vertical_bar : SubMenuOwner::horizontal_bar, by);
    return m_menu.get();
}

std::function<void()> BarMenuLevel::prepare_click(int index) {
    TdxBarItemControl* c = ItemControl(index);
    if (!c || !c->Item()) return {};
    if (kind_of(c->Item()) == MenuItemKind::edit) return [c] { c->ActivateByKey(); };
    TdxBarItem* item = c->Item();
    TdxBarItemLink* link = c->Link();
    return [item, link] {
        move_to_recent_front(link);
        item->DoClick(link, false);
    };
}

// ---- SubItemMenuSource --------------------------------------------------------------------------------

FreeWatcher::FreeWatcher(std::function<void(TComponent*)> gone) : TComponent(nullptr), m_gone(std::move(gone)) {}

void FreeWatcher::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && m_gone) m_gone(component);
}

SubItemMenuSource::SubItemMenuSource(TCustomdxBarSubItem& item, TdxBarItemLink* link, SubItemMenuSource* parent,
                                     std::function<void()> closed)
    : m_item(item), m_manager(*item.BarManager()), m_link(link), m_parent(parent), m_closed(std::move(closed)) {
    // An item freed while its menu is open (the form going away) takes the
    // menus with it; what is left of the item is not touched again.
    m_watcher = std::make_unique<FreeWatcher>([this](TComponent*) {
        m_itemGone = true;
        if (MenuSystem* system = MenuSystem::instance()) {
            system->animator().abort_and_wait();
            system->chain().leave();
        }
    });
    m_item.FreeNotification(m_watcher.get());
}

SubItemMenuSource::~SubItemMenuSource() = default;

TdxBarManager& SubItemMenuSource::manager() const { return m_manager; }

bool SubItemMenuSource::recent_items_apply() const {
    const TdxBarManager& m = manager();
    if (m.Style() == bmsStandard || !m.MenusShowRecentItemsFirst()) return false;
    const SubItemMenuSource* root = this;
    while (root->m_parent) root = root->m_parent;
    TdxBar* bar = root->m_link ? root->m_link->Collection().OwnerBar() : nullptr;
    return !bar || bar->UseRecentItems();
}

std::vector<MenuRow> SubItemMenuSource::rows() const {
    m_rows = m_item.ItemLinks().VisibleLinks();
    std::vector<TdxBarItemLink*> recent = m_rows;
    if (recent_items_apply())
        recent = recent_shown(m_rows, manager().MostRecentItemsPercents(),
                              [](const TdxBarItemLink* l) { return l->UseCount(); },
                              [](const TdxBarItemLink* l) { return l->RecentIndex(); });
    std::vector<MenuRow> rows;
    for (TdxBarItemLink* link : m_rows) {
        TdxBarItem* item = link->Item();
        MenuRow row;
        row.caption = link->Caption();
        row.shortcut = static_cast<TShortCut>(item->ShortCut());
        row.image_index = item->ImageIndex();
        row.enabled = item->IsEnabled();
        row.begin_group = link->BeginGroup();
        // Window items in a menu are shown and chosen as buttons.
        row.kind = kind_of(item) == MenuItemKind::submenu ? MenuItemKind::submenu : MenuItemKind::button;
        row.recent = std::find(recent.begin(), recent.end(), link) != recent.end();
        rows.push_back(row);
    }
    return rows;
}

SubMenuSource* SubItemMenuSource::submenu(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return nullptr;
    TdxBarItemLink* link = m_rows[static_cast<std::size_t>(row)];
    auto* sub = dynamic_cast<TCustomdxBarSubItem*>(link->Item());
    if (!sub) return nullptr;
    auto& child = m_children[row];
    child = std::make_unique<SubItemMenuSource>(*sub, link, this);
    return child.get();
}

std::function<void()> SubItemMenuSource::prepare_click(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return {};
    TdxBarItemLink* link = m_rows[static_cast<std::size_t>(row)];
    TdxBarItem* item = link->Item();
    // The links around this menu are known now; the sources may be gone when the click runs.
    std::vector<TdxBarItemLink*> around;
    for (const SubItemMenuSource* s = this; s; s = s->m_parent)
        if (s->m_link) around.push_back(s->m_link);
    return [item, link, around] {
        move_to_recent_front(link);
        for (TdxBarItemLink* l : around) {
            l->MarkUsed();
            move_to_recent_front(l);
        }
        // The click marks the link itself as used.
        item->DoClick(link, true);
    };
}

void SubItemMenuSource::popup() {
    if (m_item.OnPopup) m_item.OnPopup(&m_item);
    m_item.RunClick(nullptr);
}

void SubItemMenuSource::close_up() {
    if (m_closed) m_closed();
    if (!m_itemGone && m_item.OnCloseUp) m_item.OnCloseUp(&m_item);
}

const TFont& SubItemMenuSource::font() const { return manager().BarFont(); }
const TImageList* SubItemMenuSource::images() const { return manager().Images(); }
MenuAnimationSetting SubItemMenuSource::animations() const { return setting_of(manager().MenuAnimations()); }
bool SubItemMenuSource::customizing() const { return manager().IsCustomizing(); }
bool SubItemMenuSource::show_full_menus_after_delay() const { return manager().ShowFullMenusAfterDelay(); }

void move_to_recent_front(TdxBarItemLink* link) { link->Collection().MoveInRecentOrder(link, 0); }

// ---- ManagerMenuClient --------------------------------------------------------------------------------

bool ManagerMenuClient::customizing() const { return m_manager.IsCustomizing(); }
bool ManagerMenuClient::use_f10_for_menu() const { return m_manager.UseF10ForMenu(); }

BarMenuLevel* ManagerMenuClient::LevelOf(TCustomdxBarControl* control) {
    auto& level = m_levels[control];
    if (!level) {
        level = std::make_unique<BarMenuLevel>(*control, MenuSystem::instance()->chain());
        auto& watcher = watchers()[this];
        if (!watcher)
            watcher = std::make_unique<FreeWatcher>([this](TComponent* gone) {
                if (auto* bar = dynamic_cast<TCustomdxBarControl*>(gone)) Forget(bar);
            });
        control->FreeNotification(watcher.get());
    }
    return level.get();
}

void ManagerMenuClient::Forget(TCustomdxBarControl* control) { m_levels.erase(control); }

MenuLevel* ManagerMenuClient::main_menu() {
    TdxBar* bar = m_manager.MainMenuBar();
    if (!bar || !bar->Visible() || !bar->Control() || !bar->Control()->Showing()) return nullptr;
    return LevelOf(bar->Control());
}

std::function<void()> ManagerMenuClient::shortcut_click(TShortCut value) {
    const ShortCutLinks adapter;
    TdxBar* main = m_manager.MainMenuBar();
    std::vector<const TdxBarItemLinks*> others;
    for (int i = 0; i < m_manager.Bars().Count(); ++i) {
        TdxBar* bar = m_manager.Bars()[i];
        if (bar != main && bar->Visible()) others.push_back(&bar->ItemLinks());
    }
    TdxBarItemLink* link = find_shortcut_item(adapter, main ? &main->ItemLinks() : nullptr, others, value);
    if (!link) return {};
    TdxBarItem* item = link->Item();
    // No menu is open: the click starts at its handlers, and uses no link.
    return [item] { item->RunClick(nullptr); };
}

std::vector<MenuLevel*> ManagerMenuClient::bars_for_mnemonics() {
    std::vector<MenuLevel*> levels;
    if (MenuLevel* main = main_menu()) levels.push_back(main);
    for (int i = 0; i < m_manager.Bars().Count(); ++i) {
        TdxBar* bar = m_manager.Bars()[i];
        if (bar != m_manager.MainMenuBar() && bar->Visible() && bar->Control() && bar->Control()->Showing())
            levels.push_back(LevelOf(bar->Control()));
    }
    return levels;
}

bool ManagerMenuClient::edit_box_has_focus() const {
    TdxBarEditControl* edit = TdxBarManagerList::ActiveEditControl();
    return edit && &edit->BarManager() == &m_manager;
}

bool ManagerMenuClient::bar_in_keyboard_mode() const {
    for (int i = 0; i < m_manager.Bars().Count(); ++i)
        if (TdxBarControl* c = m_manager.Bars()[i]->Control(); c && c->KeyboardMode()) return true;
    return false;
}

void ManagerMenuClient::bar_keyboard_key(int vk, TShiftState shift) {
    for (int i = 0; i < m_manager.Bars().Count(); ++i)
        if (TdxBarControl* c = m_manager.Bars()[i]->Control(); c && c->KeyboardMode()) {
            c->KeyboardModeKey(vk, shift);
            return;
        }
}

// ---- BarMenus -------------------------------------------------------------------------------------------

void BarMenus::ManagerCreated(TdxBarManager* manager) {
    if (!ui::WindowSystem::exists()) return;
    MenuSystem& system = MenuSystem::acquire(ws());
    system.active_client = [] { return static_cast<MenuClient*>(ActiveClient()); };
    system.mouse_filter = filter_mouse;
    if (!system.chain().key_for_char) system.chain().key_for_char = layout_key_for_char;
    system.chain().on_enter = keyboard_mode_entered;
    system.chain().on_leave = post_mouse_move;
    clients()[manager] = std::make_unique<ManagerMenuClient>(*manager);
}

void BarMenus::ManagerDestroyed(TdxBarManager* manager) {
    const auto it = clients().find(manager);
    if (it == clients().end()) return;
    HideAll(manager);
    if (g_hot.bar && bar_of(g_hot.bar) && &bar_of(g_hot.bar)->BarManager() == manager) {
        g_hot = {};
        if (MenuSystem* system = MenuSystem::instance()) system->hints().hide();
    }
    watchers().erase(it->second.get());
    clients().erase(it);
    MenuSystem::release();
}

void BarMenus::HideAll(TdxBarManager* manager) {
    MenuSystem* system = MenuSystem::instance();
    ManagerMenuClient* client = ClientOf(manager);
    if (!system || !client || !system->chain().active()) return;
    auto* root = dynamic_cast<BarMenuLevel*>(system->chain().root());
    if (!root || &root->Control().BarManager() != manager) return;
    system->animator().abort_and_wait();
    system->chain().leave();
}

ManagerMenuClient* BarMenus::ClientOf(TdxBarManager* manager) {
    const auto it = clients().find(manager);
    return it == clients().end() ? nullptr : it->second.get();
}

ManagerMenuClient* BarMenus::ActiveClient() {
    auto* control = TWinControl::FindControl(ws().get_active_window());
    auto* form = dynamic_cast<TCustomForm*>(control);
    if (!form && control) form = control->GetParentForm();
    if (!form || form->ComponentState().Contains(csDesigning)) return nullptr;
    if (TdxBarManager* m = TdxBarManager::FindForForm(form)) return ClientOf(m);
    // Another form may use the main form's manager when that allows it.
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != form && main->Enabled())
        if (TdxBarManager* m = TdxBarManager::FindForForm(main); m && m->AllowCallFromAnotherForm()) return ClientOf(m);
    return nullptr;
}

}  // namespace dxbar
