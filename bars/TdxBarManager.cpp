#include "bars/TdxBarManager.h"

#include "bars/BarLayoutIni.h"
#include "bars/TdxBar.h"
#include "bars/TdxBarControl.h"
#include "bars/TdxBarEditControl.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxDockControl.h"
#include "bars/dxBarMenus.h"
#include "platform/classes/Invariant.h"
#include "platform/classes/ScopeExit.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"
#include "platform/forms/TMemIniFile.h"
#include "platform/gfx/TImageList.h"
#include "platform/ui/SystemSettings.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <stdexcept>

namespace {

// What all managers of the GUI thread share; made with the first manager and
// removed with the last.
struct SharedState {
    std::vector<TdxBarManager*> managers;
    ui::HHOOK callWndProcHook = 0;
    TdxBarEditControl* activeEdit = nullptr;
};

SharedState& shared() {
    static SharedState s;
    return s;
}

TComponent* owner_or_main_form(TComponent* owner) {
    if (owner) return owner;
    return Application ? Application->MainForm() : nullptr;
}

}  // namespace

// ---- TdxBarManagerList ---------------------------------------------------------------------

int TdxBarManagerList::Count() { return static_cast<int>(shared().managers.size()); }
TdxBarManager* TdxBarManagerList::Items(int index) { return shared().managers.at(static_cast<std::size_t>(index)); }
TdxBarEditControl* TdxBarManagerList::ActiveEditControl() { return shared().activeEdit; }
void TdxBarManagerList::SetActiveEditControl(TdxBarEditControl* control) { shared().activeEdit = control; }

void TdxBarManagerList::Add(TdxBarManager* manager) {
    SharedState& s = shared();
    s.managers.push_back(manager);
    if (s.managers.size() == 1 && ui::WindowSystem::exists()) {
        // The managers hear their forms' messages through one window-procedure hook.
        s.callWndProcHook = ui::WindowSystem::current().set_windows_hook(
            ui::HookKind::call_wnd_proc, [](int code, ui::WPARAM w, ui::LPARAM l) -> ui::LRESULT {
                const auto* info = reinterpret_cast<const ui::CallWndProcInfo*>(l);
                if (code == ui::HC_ACTION && info) {
                    // Copy: a handler may add or remove managers.
                    const std::vector<TdxBarManager*> list = shared().managers;
                    for (TdxBarManager* m : list) {
                        if (std::find(shared().managers.begin(), shared().managers.end(), m) == shared().managers.end())
                            continue;
                        TCustomForm* form = m->ParentForm();
                        if (form && form->HandleAllocated() && form->Handle() == info->hwnd)
                            m->FormMessage(info->message, info->wParam, info->lParam);
                    }
                }
                return ui::WindowSystem::current().call_next_hook(shared().callWndProcHook, code, w, l);
            });
    }
}

void TdxBarManagerList::Remove(TdxBarManager* manager) {
    SharedState& s = shared();
    s.managers.erase(std::remove(s.managers.begin(), s.managers.end(), manager), s.managers.end());
    if (s.managers.empty()) {
        if (s.callWndProcHook && ui::WindowSystem::exists())
            ui::WindowSystem::current().unhook_windows_hook(s.callWndProcHook);
        s.callWndProcHook = 0;
        s.activeEdit = nullptr;
    }
}

// ---- TdxBarManagerCategories -------------------------------------------------------------------

TdxBarManagerCategories::TdxBarManagerCategories(TdxBarManager& manager) : m_manager(manager) {}

int TdxBarManagerCategories::Add(const AnsiString& name) {
    m_entries.push_back(Entry{name});
    return Count() - 1;
}

void TdxBarManagerCategories::Insert(int index, const AnsiString& name) {
    index = std::clamp(index, 0, Count());
    m_entries.insert(m_entries.begin() + index, Entry{name});
}

void TdxBarManagerCategories::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    m_entries.erase(m_entries.begin() + index);
}

int TdxBarManagerCategories::IndexOf(const AnsiString& name) const {
    for (int i = 0; i < Count(); ++i)
        if (m_entries[static_cast<std::size_t>(i)].name == name) return i;
    return -1;
}

TdxBarItemVisible TdxBarManagerCategories::ItemsVisibles(int index) const {
    return m_entries.at(static_cast<std::size_t>(index)).itemsVisible;
}

void TdxBarManagerCategories::SetItemsVisibles(int index, TdxBarItemVisible value) {
    Entry& e = m_entries.at(static_cast<std::size_t>(index));
    if (m_manager.IsLoading()) {
        e.loadedItemsVisible = value;
        return;
    }
    if (e.itemsVisible == value) return;
    const TdxBarItemVisible old = e.itemsVisible;
    e.itemsVisible = value;
    for (int i = 0; i < m_manager.ItemCount(); ++i) {
        TdxBarItem* item = m_manager.Items(i);
        if (item->Category() == index && item->Visible() == old) item->SetVisible(value);
    }
    if (m_manager.AutoHideEmptyBars()) {
        for (int b = 0; b < m_manager.Bars().Count(); ++b) {
            TdxBar* bar = m_manager.Bars()[b];
            if (bar->Hidden()) continue;
            bar->SetVisible(!bar->ItemLinks().VisibleLinks().empty());
        }
    }
}

bool TdxBarManagerCategories::Visibles(int index) const { return m_entries.at(static_cast<std::size_t>(index)).visible; }

void TdxBarManagerCategories::SetVisibles(int index, bool value) { m_entries.at(static_cast<std::size_t>(index)).visible = value; }

void TdxBarManagerCategories::ReadItemsVisibles(const std::vector<int>& values) {
    for (std::size_t i = 0; i < values.size() && i < m_entries.size(); ++i)
        m_entries[i].loadedItemsVisible = static_cast<TdxBarItemVisible>(std::clamp(values[i], 0, 2));
}

void TdxBarManagerCategories::ReadVisibles(const std::vector<bool>& values) {
    for (std::size_t i = 0; i < values.size() && i < m_entries.size(); ++i) m_entries[i].visible = values[i];
}

void TdxBarManagerCategories::ApplyLoadedItemsVisibles() {
    for (int i = 0; i < Count(); ++i) SetItemsVisibles(i, m_entries[static_cast<std::size_t>(i)].loadedItemsVisible);
}

// ---- TdxBarManager ----------------------------------------------------------------------------

TdxBarManager::TdxBarManager(TComponent* AOwner) : TComponent(owner_or_main_form(AOwner)) {
    m_form = dynamic_cast<TCustomForm*>(Owner());
    if (!m_form) throw EComponentError(bars::texts::sOwnerMustBeForm);
    if (FindForForm(m_form)) throw EComponentError(bars::texts::sOneManagerPerForm);
    m_categories = std::make_unique<TdxBarManagerCategories>(*this);
    m_categories->Add(bars::texts::sDefaultCategory);
    UpdateBarFont();
    m_font.OnChange = [this](TObject*) { UpdateBarFont(); };
    TdxBarManagerList::Add(this);
    dxbar::BarMenus::ManagerCreated(this);
    m_bars = std::make_unique<TdxBars>(*this);
    m_colorListener = gfx::SystemColors::add_listener([this] {
        // The derived faces follow the new colours at the next paint; the
        // window system repaints everything after a colour change.
        for (TdxDockControl* d : m_dockControls) d->Invalidate();
    });
}

TdxBarManager::~TdxBarManager() {
    gfx::SystemColors::remove_listener(m_colorListener);
    HideAll();
    dxbar::BarMenus::ManagerDestroyed(this);
    m_customizing = false;
    m_hotControl = nullptr;
    m_bars->Destroy();
    // The registered items go with the manager.
    while (!m_items.empty()) {
        TdxBarItem* item = m_items.back();
        m_items.pop_back();
        item->m_manager = nullptr;
        if (item->Owner() && !item->Owner()->Destroying()) TComponent::Free(item);
    }
    for (TdxDockControl* d : std::vector<TdxDockControl*>(m_dockControls)) RemoveDockControl(d);
    m_bars.reset();
    m_categories.reset();
    TdxBarManagerList::Remove(this);
}

TdxBarManager* TdxBarManager::FindForForm(const TCustomForm* form) {
    for (TdxBarManager* m : shared().managers)
        if (m->m_form == form) return m;
    return nullptr;
}

bool TdxBarManager::IsLoading() const { return Loading(); }

void TdxBarManager::UpdateBarFont() {
    if (m_useSystemFont) {
        ui::assign_system_font(ui::menu_font(), m_barFont);
        m_barFont.SetColor(clWindowText);
    } else {
        m_barFont.Assign(m_font);
    }
    if (!Loading() && m_bars) {
        for (int i = 0; i < m_bars->Count(); ++i) m_bars->Items(i)->Relayout();
    }
}

void TdxBarManager::SetUseSystemFont(bool value) {
    if (value == m_useSystemFont) return;
    m_useSystemFont = value;
    UpdateBarFont();
}

void TdxBarManager::SetImages(TImageList* value) {
    if (value == m_images) return;
    m_images = value;
    if (!Loading()) {
        for (int i = 0; i < m_bars->Count(); ++i) m_bars->Items(i)->Relayout();
    }
}

void TdxBarManager::ImagesGone() {
    if (!Destroying())
        for (int i = 0; i < m_bars->Count(); ++i) m_bars->Items(i)->Relayout();
}

void TdxBarManager::SetStyle(TdxBarManagerStyle value) {
    if (value == m_style) return;
    m_style = value;
    if (!Loading())
        for (int i = 0; i < m_bars->Count(); ++i) m_bars->Items(i)->Relayout();
}

void TdxBarManager::SetAutoDockColor(bool v) {
    m_autoDockColor = v;
    for (TdxDockControl* d : m_dockControls) d->Invalidate();
}

TColor TdxBarManager::DockColor() const {
    if (m_autoDockColor && m_form) return m_form->Color();
    return m_dockColor;
}

void TdxBarManager::SetDockColor(TColor v) {
    m_dockColor = v;
    m_autoDockColor = false;
    for (TdxDockControl* d : m_dockControls) d->Invalidate();
}

void TdxBarManager::SetLargeIcons(bool v) {
    if (v == m_largeIcons) return;
    m_largeIcons = v;
    if (!Loading())
        for (int i = 0; i < m_bars->Count(); ++i) m_bars->Items(i)->Relayout();
}

void TdxBarManager::SetMostRecentItemsPercents(int v) { m_mostRecentItemsPercents = std::clamp(v, 0, 100); }

void TdxBarManager::SetSunkenBorder(bool v) {
    if (v == m_sunkenBorder) return;
    m_sunkenBorder = v;
    if (!Loading())
        for (TdxDockControl* d : m_dockControls) d->UpdateDock();
}

std::array<int, 4> TdxBarManager::DockControlHeights() const {
    return {m_bars->DockControl(dsLeft)->Width(), m_bars->DockControl(dsRight)->Width(),
            m_bars->DockControl(dsTop)->Height(), m_bars->DockControl(dsBottom)->Height()};
}

void TdxBarManager::SetDockControlHeights(const std::array<int, 4>& values) {
    m_bars->DockControl(dsLeft)->SetStoredThickness(values[0]);
    m_bars->DockControl(dsRight)->SetStoredThickness(values[1]);
    m_bars->DockControl(dsTop)->SetStoredThickness(values[2]);
    m_bars->DockControl(dsBottom)->SetStoredThickness(values[3]);
}

int TdxBarManager::ArrowWidth() const {
    int w = m_buttonArrowWidth * (1 + (m_largeIcons ? 1 : 0));
    if (w % 2 == 0) ++w;
    if (m_style == bmsFlat) --w;
    return w;
}

int TdxBarManager::RecentItemsThreshold() const {
    if (m_mostRecentItemsPercents >= 100) return 0;
    int n = 1;
    while (n * (100 - m_mostRecentItemsPercents) / 100 <= 0) ++n;
    return n;
}

void TdxBarManager::RegisterItem(TdxBarItem* item) {
    if (std::find(m_items.begin(), m_items.end(), item) == m_items.end()) m_items.push_back(item);
}

void TdxBarManager::UnregisterItem(TdxBarItem* item) {
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
}

void TdxBarManager::AddDockControl(TdxDockControl* dock) {
    if (std::find(m_dockControls.begin(), m_dockControls.end(), dock) == m_dockControls.end())
        m_dockControls.push_back(dock);
}

void TdxBarManager::RemoveDockControl(TdxDockControl* dock) {
    m_dockControls.erase(std::remove(m_dockControls.begin(), m_dockControls.end(), dock), m_dockControls.end());
    for (int i = 0; m_bars && i < m_bars->Count(); ++i) {
        TdxBar* bar = m_bars->Items(i);
        if (static_cast<TdxDockControl*>(bar->DockControl()) == dock) bar->SetDockControl(nullptr);
        if (static_cast<TdxDockControl*>(bar->DockedDockControl()) == dock) bar->SetDockedDockControl(nullptr);
    }
}

void TdxBarManager::SetCustomizing(bool value) {
    if (value == m_customizing) return;
    m_customizing = value;
    for (TdxBarItem* item : std::vector<TdxBarItem*>(m_items)) item->VisibilityChanged();
}

void TdxBarManager::BeginUpdate() { ++m_lockUpdate; }

void TdxBarManager::EndUpdate() {
    if (m_lockUpdate == 0) return;
    if (--m_lockUpdate > 0) return;
    for (TdxDockControl* d : m_dockControls)
        if (d->Visible()) {
            d->UpdateDock();
            d->Invalidate();
        }
    for (int i = 0; i < m_bars->Count(); ++i) {
        TdxBarControl* c = m_bars->Items(i)->Control();
        if (c && !c->Docked()) {
            c->UpdateFloatingSize();
            c->Invalidate();
        }
    }
    CHECK_INVARIANTS(*this);
}

void TdxBarManager::Loaded() {
    const bool designing = ComponentState().Contains(csDesigning);
    // Items first, then each bar in order: links, dock, docking style, Visible.
    // The user's stored layout is read before the bars show, so that they come
    // up once, where it says; stored row numbers keep their meaning meanwhile.
    for (TdxBarItem* item : std::vector<TdxBarItem*>(m_items))
        if (auto* sub = dynamic_cast<TCustomdxBarSubItem*>(item)) sub->ItemLinks().RefreshLists();
    UpdateBarFont();
    for (TdxBarItem* item : std::vector<TdxBarItem*>(m_items)) item->VisibilityChanged();
    if (m_storeInIniFile && !designing) {
        try {
            LoadFromIniFile(m_iniFileName);
        } catch (const EIniFileException&) {
            // A layout file that cannot be read leaves the bars as designed; the user is told.
            forms::handle_exception(this, std::current_exception());
        }
    }
    for (int i = 0; i < m_bars->Count(); ++i) m_bars->Items(i)->ApplyLoaded();
    TComponent::Loaded();
    m_categories->ApplyLoadedItemsVisibles();
    for (TdxDockControl* d : m_dockControls) d->UpdateDock();
    if (m_storeInIniFile && !designing && m_form) {
        // The layout is written when the form goes for good, while its items still exist.
        TNotifyEvent previous = m_form->OnDestroy;
        m_form->OnDestroy = [this, previous](TObject* sender) {
            try {
                SaveToIniFile(m_iniFileName);
            } catch (const std::exception& e) {
                // After the message loop has ended a message box cannot stay on
                // the screen (it would close as it opens): standard error then.
                if (Application && Application->Terminated())
                    forms::report_unsaved_layout(e);
                else
                    forms::handle_exception(this, std::current_exception());
            }
            if (previous) previous(sender);
        };
    }
}

void TdxBarManager::LoadFromIniFile(const AnsiString& fileName) {
    if (fileName.empty()) return;
    const TMemIniFile ini(fileName);
    const UpdateLock lock(*this);
    bars::load_layout(*this, ini);
}

void TdxBarManager::SaveToIniFile(const AnsiString& fileName) {
    if (fileName.empty()) return;
    TMemIniFile ini(fileName);
    bars::save_layout(*this, ini);
    ini.UpdateFile();
}

void TdxBarManager::HideAll() {
    dxbar::BarMenus::HideAll(this);
    if (!m_bars) return;
    for (int i = 0; i < m_bars->Count(); ++i)
        if (TdxBarControl* c = m_bars->Items(i)->Control()) c->LeaveKeyboardMode(false);
}

void TdxBarManager::SetHotItemControl(TdxBarItemControl* control) { m_hotControl = control; }

void TdxBarManager::ShowFloatingBars(bool show) {
    if (!ui::WindowSystem::exists()) return;
    for (int i = 0; i < m_bars->Count(); ++i) {
        TdxBar* bar = m_bars->Items(i);
        TdxBarControl* c = bar->Control();
        if (!c || c->Docked()) continue;
        if (!c->HandleAllocated()) {
            // Floating windows are made once their form has its window to own them.
            if (!show || !bar->Visible() || !m_form || !m_form->HandleAllocated()) continue;
            c->HandleNeeded();
        }
        ui::WindowSystem::current().show_window(c->Handle(), show && bar->Visible() ? ui::SW_SHOWNA : ui::SW_HIDE);
    }
}

void TdxBarManager::FormActivated(bool active, bool otherProcess) {
    if (!active) {
        HideAll();
        if (otherProcess) ShowFloatingBars(false);
        return;
    }
    if (m_form && m_form->WindowState() != wsMinimized) ShowFloatingBars(true);
}

void TdxBarManager::FormShowStateChanged(bool minimized) { ShowFloatingBars(!minimized); }

void TdxBarManager::FormMessage(unsigned msg, std::uintptr_t w, std::intptr_t l) {
    switch (msg) {
    case ui::WM_ACTIVATE:
        FormActivated(w != ui::WA_INACTIVE, l == 0);
        break;
    case ui::WM_ACTIVATEAPP:
        if (!w) {
            HideAll();
            m_hotControl = nullptr;
        }
        break;
    case ui::WM_SYSCOMMAND:
        switch (w & 0xFFF0) {
        case ui::SC_MINIMIZE:
        case ui::SC_CLOSE: ShowFloatingBars(false); break;
        case ui::SC_MAXIMIZE:
        case ui::SC_RESTORE: ShowFloatingBars(true); break;
        default: break;
        }
        break;
    case ui::WM_SYSCOLORCHANGE:
        for (TdxDockControl* d : m_dockControls) d->Invalidate();
        break;
    default:
        break;
    }
}

void TdxBarManager::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(m_form, "bar manager: the owner is not a form");
    int count = 0;
    for (TdxBarManager* m : shared().managers) {
        if (m == this) ++count;
        else INVARIANT(m->m_form != m_form, "bar manager: two managers on one form");
    }
    INVARIANT(count == 1, "bar manager: not listed once");
    int mainMenus = 0;
    for (int i = 0; i < m_bars->Count(); ++i) {
        const TdxBar* bar = m_bars->Items(i);
        if (bar->IsMainMenu()) {
            ++mainMenus;
            INVARIANT(bar == m_mainMenuBar, "bar manager: main menu bar not recorded");
        }
        bar->check_invariants();
    }
    INVARIANT(!(mainMenus > 1), "bar manager: more than one main menu");
    for (TdxBarItem* item : m_items) {
        INVARIANT(item->BarManager() == this, "bar manager: registered item of another manager");
        item->check_invariants();
    }
    for (TdxDockControl* d : m_dockControls) d->check_invariants();
#endif
}
