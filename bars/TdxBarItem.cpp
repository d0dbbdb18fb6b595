#include "bars/TdxBarItem.h"

#include "bars/TdxBar.h"
#include "bars/TdxBarControl.h"
#include "bars/TdxBarEditControl.h"
#include "bars/TdxBarItemControl.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "platform/classes/Invariant.h"
#include "platform/classes/ScopeExit.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"

#include <algorithm>
#include <stdexcept>

namespace {

TdxBarManager* manager_for_owner(TComponent* owner) {
    if (auto* form = dynamic_cast<TCustomForm*>(owner)) return TdxBarManager::FindForForm(form);
    return TdxBarManagerList::Count() > 0 ? TdxBarManagerList::Items(0) : nullptr;
}

// The caption as a hint shows it: without its first "&" and its first "...".
AnsiString reduced_caption(AnsiString s) {
    if (auto p = s.find('&'); p != AnsiString::npos) s.erase(p, 1);
    if (auto p = s.find("..."); p != AnsiString::npos) s.erase(p, 3);
    return s;
}


}  // namespace

// ---- TdxBarItem -------------------------------------------------------------------------------

TdxBarItem::TdxBarItem(TComponent* AOwner) : TComponent(AOwner) {
    if (TdxBarManager* m = manager_for_owner(AOwner)) SetBarManager(m);
}

TdxBarItem::~TdxBarItem() {
    if (OnDestroy) OnDestroy(this);
    // The links lose their item: each destroys itself.
    while (!m_links.empty()) {
        TdxBarItemLink* link = m_links.back();
        link->SetItem(nullptr);
    }
    if (m_manager) {
        if (m_manager->HotItemControl() && m_manager->HotItemControl()->Item() == this) m_manager->SetHotItemControl(nullptr);
        m_manager->UnregisterItem(this);
    }
}

void TdxBarItem::SetBarManager(TdxBarManager* value) {
    if (value == m_manager) return;
    if (m_manager) m_manager->UnregisterItem(this);
    m_manager = value;
    if (m_manager) m_manager->RegisterItem(this);
}

bool TdxBarItem::Storing() const { return Loading() || (m_manager && m_manager->IsLoading()); }

void TdxBarItem::Loaded() { TComponent::Loaded(); }

void TdxBarItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_manager) m_manager = nullptr;
}

void TdxBarItem::SetAlign(TdxBarItemAlign value) {
    if (value == m_align) return;
    m_align = value;
    if (!Storing()) Changed();
}

void TdxBarItem::SetCaption(const AnsiString& value) {
    if (value == m_caption) return;
    const AnsiString old = m_caption;
    m_caption = value;
    if (Storing()) return;
    if (!dynamic_cast<TCustomdxBarSubItem*>(this)) {
        // The hint follows the caption while it was made from it.
        const AnsiString reducedOld = reduced_caption(old);
        const auto bar = m_hint.find('|');
        const AnsiString shortHint = m_hint.substr(0, bar);
        if (m_hint.empty() || shortHint == reducedOld)
            m_hint = reduced_caption(value) + (bar == AnsiString::npos ? AnsiString() : m_hint.substr(bar));
    }
    Changed();
}

void TdxBarItem::SetEnabled(bool value) {
    if (value == m_enabled) return;
    m_enabled = value;
    if (Storing()) return;
    for (TdxBarItemLink* link : m_links)
        if (TdxBarItemControl* c = link->Control()) c->Repaint();
}

void TdxBarItem::SetVisible(TdxBarItemVisible value) {
    if (value == m_visible) return;
    m_visible = value;
    if (!Storing()) VisibilityChanged();
}

void TdxBarItem::SetImageIndex(int value) {
    if (value == m_imageIndex) return;
    m_imageIndex = value;
    if (!Storing()) Changed();
}

void TdxBarItem::SetShortCut(int value) {
    if (value == m_shortCut) return;
    m_shortCut = value;
    if (!Storing()) Changed();
}

bool TdxBarItem::IsVisible() const {
    if (m_visible == ivAlways) return true;
    return m_visible == ivInCustomizing && m_manager && m_manager->IsCustomizing();
}

bool TdxBarItem::IsEnabled() const {
    if (m_manager && m_manager->IsCustomizing() && m_category >= 0) return true;
    return m_enabled;
}

void TdxBarItem::AddLink(TdxBarItemLink* link) { m_links.push_back(link); }

void TdxBarItem::RemoveLink(TdxBarItemLink* link) {
    m_links.erase(std::remove(m_links.begin(), m_links.end(), link), m_links.end());
    if (m_clickedLink == link) m_clickedLink = nullptr;
}

void TdxBarItem::Changed() {
    std::vector<TCustomdxBarControl*> done;
    for (TdxBarItemLink* link : m_links) {
        TCustomdxBarControl* c = link->Collection().BarControl();
        if (!c || std::find(done.begin(), done.end(), c) != done.end()) continue;
        done.push_back(c);
        c->LayoutChanged();
    }
}

void TdxBarItem::VisibilityChanged() {
    std::vector<TdxBarItemLinks*> done;
    for (TdxBarItemLink* link : std::vector<TdxBarItemLink*>(m_links)) {
        TdxBarItemLinks* links = &link->Collection();
        if (std::find(done.begin(), done.end(), links) != done.end()) continue;
        done.push_back(links);
        links->RefreshLists();
    }
}

void TdxBarItem::RunHandler() {
    if (OnClick) OnClick(this);
}

void TdxBarItem::CloseMenus(TdxBarItemLink* link) {
    if (link) link->MarkUsed();
    if (m_manager) m_manager->HideAll();
}

void TdxBarItem::RunClick(TdxBarItemLink* link) {
    // Cleared when the click ends, also when its handler fails.
    m_clickedLink = link;
    ScopeExit clear([this] { m_clickedLink = nullptr; });
    if (!IsEnabled()) return;
    forms::run_handler(this, [this] {
        if (m_manager && m_manager->OnClickItem) m_manager->OnClickItem(m_manager, this);
        RunHandler();
    });
}

void TdxBarItem::DoClick(TdxBarItemLink* link, bool) {
    // A click closes every open menu and ends keyboard mode before anything else runs.
    CloseMenus(link);
    RunClick(link);
}

std::unique_ptr<TdxBarItemControl> TdxBarItem::CreateItemControl(TdxBarItemLink* link, TCustomdxBarControl* bar,
                                                                 bool) {
    return std::make_unique<TdxBarButtonControl>(link, bar);
}

void TdxBarItem::check_invariants() const {
#ifndef NDEBUG
    for (TdxBarItemLink* link : m_links) {
        INVARIANT(link->Item() == this, "item: a link of another item");
        INVARIANT(!(m_manager && &link->Collection().BarManager() != m_manager), "item: a link of another manager");
    }
#endif
}

// ---- TdxBarButton -------------------------------------------------------------------------------

TdxBarButton::TdxBarButton(TComponent* AOwner) : TdxBarItem(AOwner) {}

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle value) {
    if (value == m_buttonStyle) return;
    m_buttonStyle = value;
    if (m_buttonStyle != bsChecked) m_down = false;
    if (!Storing()) Changed();
}

void TdxBarButton::SetDown(bool value) {
    if (m_buttonStyle != bsChecked) value = false;
    if (value == m_down) return;
    m_down = value;
    if (Storing()) return;
    for (int i = 0; i < LinkCount(); ++i)
        if (TdxBarItemControl* c = Links(i)->Control()) c->Repaint();
}

void TdxBarButton::SetPaintStyle(TdxBarPaintStyle value) {
    if (value == m_paintStyle) return;
    m_paintStyle = value;
    if (!Storing()) Changed();
}

void TdxBarButton::DoClick(TdxBarItemLink* link, bool byMouse) {
    if (m_buttonStyle == bsChecked && byMouse) SetDown(!m_down);
    const bool inBar = link && link->Collection().OwnerBar();
    // A button in a bar always closes the menus; one in a submenu unless it keeps it open.
    if (inBar || m_closeSubMenuOnClick) CloseMenus(link);
    RunClick(link);
    if (m_unclickAfterDoing && link && link->Control()) link->Control()->Repaint();
}

// ---- TdxBarWindowItem ---------------------------------------------------------------------------

void TdxBarWindowItem::SetText(const AnsiString& value) {
    if (value == m_text) return;
    m_text = value;
    auto repaint = [this] {
        for (int i = 0; i < LinkCount(); ++i)
            if (TdxBarItemControl* c = Links(i)->Control()) c->Repaint();
    };
    repaint();
    // A failing handler is reported here, so that the edit box that
    // committed the text still finishes its work (hides, gives the focus back).
    if (!Loading() && OnChange) {
        try {
            OnChange(this);
        } catch (...) {
            forms::handle_exception(this, std::current_exception());
        }
    }
    repaint();
}

TdxBarEditControl* TdxBarWindowItem::ActiveControl() const {
    for (int i = 0; i < LinkCount(); ++i)
        if (auto* c = dynamic_cast<TdxBarEditControl*>(Links(i)->Control()); c && c->Active()) return c;
    return nullptr;
}

AnsiString TdxBarWindowItem::CurText() const {
    if (TdxBarEditControl* c = ActiveControl()) return c->WindowText();
    return m_text;
}

// ---- TdxBarEdit ------------------------------------------------------------------------------------

TdxBarEdit::TdxBarEdit(TComponent* AOwner) : TdxBarWindowItem(AOwner) {}

void TdxBarEdit::SetWidth(int value) {
    value = std::clamp(value, 20, 600);
    if (value == m_width) return;
    m_width = value;
    if (!Storing()) Changed();
}

void TdxBarEdit::SetShowCaption(bool value) {
    if (value == m_showCaption) return;
    m_showCaption = value;
    if (!Storing()) Changed();
}

void TdxBarEdit::SetMaxLength(int value) { m_maxLength = std::max(value, 0); }

std::unique_ptr<TdxBarItemControl> TdxBarEdit::CreateItemControl(TdxBarItemLink* link, TCustomdxBarControl* bar,
                                                                 bool vertical) {
    // A vertical bar shows an edit item as a plain button.
    if (vertical) return std::make_unique<TdxBarButtonControl>(link, bar);
    return std::make_unique<TdxBarEditControl>(link, bar);
}

// ---- TCustomdxBarSubItem ---------------------------------------------------------------------------

TCustomdxBarSubItem::TCustomdxBarSubItem(TComponent* AOwner)
    : TdxBarItem(AOwner) {
    if (!BarManager()) throw EComponentError(bars::texts::sNoManagers);
    m_itemLinks = std::make_unique<TdxBarItemLinks>(*BarManager(), this);
}

TCustomdxBarSubItem::~TCustomdxBarSubItem() { m_itemLinks.reset(); }

bool TCustomdxBarSubItem::Contains(const TdxBarItem* item) const {
    for (int i = 0; i < m_itemLinks->Count(); ++i) {
        const TdxBarItem* it = m_itemLinks->Items(i)->Item();
        if (!it) continue;
        if (it == item) return true;
        if (auto* sub = dynamic_cast<const TCustomdxBarSubItem*>(it); sub && sub->Contains(item)) return true;
    }
    return false;
}

std::unique_ptr<TdxBarItemControl> TCustomdxBarSubItem::CreateItemControl(TdxBarItemLink* link,
                                                                          TCustomdxBarControl* bar, bool) {
    return std::make_unique<TdxBarSubItemControl>(link, bar);
}

void TCustomdxBarSubItem::RunHandler() {
    if (OnClick) OnClick(this);
}
