#include "bars/TdxBarItemLink.h"

#include "bars/TdxBar.h"
#include "bars/TdxBarControl.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemControl.h"
#include "bars/TdxBarManager.h"
#include "platform/classes/Invariant.h"

#include <algorithm>
#include <stdexcept>

// ---- TdxBarItemLink ------------------------------------------------------------------------------

TdxBarItemLink::TdxBarItemLink(TdxBarItemLinks& collection) : m_collection(collection) {}

TdxBarItemLink::~TdxBarItemLink() {
    DestroyControl();
    if (m_item) m_item->RemoveLink(this);
}

int TdxBarItemLink::Index() const { return m_collection.IndexOf(this); }

TdxBarManager& TdxBarItemLink::BarManager() const { return m_collection.BarManager(); }

void TdxBarItemLink::SetItem(TdxBarItem* value) {
    if (value == m_item) return;
    if (!value) {
        // A link without an item is no placement: it goes.
        if (m_item) m_item->RemoveLink(this);
        m_item = nullptr;
        m_collection.Remove(this);
        return;
    }
    if (TCustomdxBarSubItem* owner = m_collection.OwnerSubItem()) {
        auto* sub = dynamic_cast<TCustomdxBarSubItem*>(value);
        if (value == owner || (sub && sub->Contains(owner))) {
            if (m_item) m_item->RemoveLink(this);
            m_item = nullptr;
            m_collection.RefreshLists();
            throw EComponentError(bars::texts::sRecursiveSubMenu);
        }
    }
    if (m_item) m_item->RemoveLink(this);
    m_item = value;
    m_item->AddLink(this);
    m_collection.RefreshLists();
}

void TdxBarItemLink::SetVisible(bool value) {
    if (value == m_visible) return;
    m_visible = value;
    m_collection.RefreshLists();
}

void TdxBarItemLink::SetBeginGroup(bool value) {
    if (value == m_beginGroup) return;
    m_beginGroup = value;
    if (TCustomdxBarControl* c = m_collection.BarControl()) c->LayoutChanged();
}

void TdxBarItemLink::SetUserCaption(const AnsiString& value) {
    m_userCaption = value;
    m_userDefine += udCaption;
    if (TCustomdxBarControl* c = m_collection.BarControl()) c->LayoutChanged();
}

void TdxBarItemLink::SetUserDefine(TdxBarItemUserDefines value) {
    if (!value.Contains(udCaption)) m_userCaption.clear();
    if (!value.Contains(udPaintStyle)) m_userPaintStyle = psStandard;
    if (!value.Contains(udWidth)) m_userWidth = 0;
    m_userDefine = value;
    if (TCustomdxBarControl* c = m_collection.BarControl()) c->LayoutChanged();
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle value) {
    m_userPaintStyle = value;
    m_userDefine += udPaintStyle;
    if (TCustomdxBarControl* c = m_collection.BarControl()) c->LayoutChanged();
}

void TdxBarItemLink::SetUserWidth(int value) {
    m_userWidth = std::clamp(value, 20, 600);
    m_userDefine += udWidth;
    if (TCustomdxBarControl* c = m_collection.BarControl()) c->LayoutChanged();
}

AnsiString TdxBarItemLink::Caption() const {
    if (m_userDefine.Contains(udCaption)) return m_userCaption;
    return m_item ? m_item->Caption() : AnsiString();
}

void TdxBarItemLink::SetControl(std::unique_ptr<TdxBarItemControl> control) {
    DestroyControl();
    m_control = std::move(control);
}

void TdxBarItemLink::DestroyControl() {
    if (!m_control) return;
    // Released first, so that nothing reaches the control while it goes.
    std::unique_ptr<TdxBarItemControl> c = std::move(m_control);
    c.reset();
}

// ---- TdxBarItemLinks ------------------------------------------------------------------------------

TdxBarItemLinks::TdxBarItemLinks(TdxBarManager& manager, TObject* owner) : m_manager(manager), m_owner(owner) {}

TdxBarItemLinks::~TdxBarItemLinks() {
    m_clearing = true;
    m_available.clear();
    m_visibleLinks.clear();
    m_shown.clear();
    while (!m_links.empty()) m_links.pop_back();
}

TdxBar* TdxBarItemLinks::OwnerBar() const { return dynamic_cast<TdxBar*>(m_owner); }

TCustomdxBarSubItem* TdxBarItemLinks::OwnerSubItem() const { return dynamic_cast<TCustomdxBarSubItem*>(m_owner); }

TdxBarItemLink* TdxBarItemLinks::Add() {
    m_links.push_back(std::make_unique<TdxBarItemLink>(*this));
    TdxBarItemLink* link = m_links.back().get();
    link->m_recentIndex = Count() - 1;
    ResetRecentState(link);
    if (m_manager.OnItemLinkAdd && !m_manager.IsLoading()) m_manager.OnItemLinkAdd(&m_manager, link);
    return link;
}

TdxBarItemLink* TdxBarItemLinks::Add(TdxBarItem* item) {
    TdxBarItemLink* link = Add();
    link->SetItem(item);
    return link;
}

int TdxBarItemLinks::IndexOf(const TdxBarItemLink* link) const {
    for (std::size_t i = 0; i < m_links.size(); ++i)
        if (m_links[i].get() == link) return static_cast<int>(i);
    return -1;
}

void TdxBarItemLinks::Remove(TdxBarItemLink* link) {
    if (m_clearing) return;
    const int i = IndexOf(link);
    if (i < 0) return;
    Delete(i);
}

void TdxBarItemLinks::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    std::unique_ptr<TdxBarItemLink> taken = std::move(m_links[static_cast<std::size_t>(index)]);
    m_links.erase(m_links.begin() + index);
    if (m_manager.OnItemLinkDelete && !m_manager.IsLoading()) m_manager.OnItemLinkDelete(&m_manager, taken.get());
    auto drop = [&](std::vector<TdxBarItemLink*>& v) { v.erase(std::remove(v.begin(), v.end(), taken.get()), v.end()); };
    drop(m_available);
    drop(m_visibleLinks);
    drop(m_shown);
    std::vector<TdxBarItemLink*> order = RecentOrder();
    std::erase(order, taken.get());
    SetRecentOrder(order);
    if (m_barControl) m_barControl->RebuildControls();
    taken.reset();
    RefreshLists();
}

void TdxBarItemLinks::Clear() {
    while (!m_links.empty()) Delete(Count() - 1);
}

void TdxBarItemLinks::RefreshLists() {
    m_available.clear();
    m_visibleLinks.clear();
    for (const auto& link : m_links) {
        TdxBarItem* item = link->Item();
        if (!item || !item->IsVisible()) continue;
        m_available.push_back(link.get());
        if (link->Visible()) m_visibleLinks.push_back(link.get());
    }
    m_shown = m_visibleLinks;
    if (m_barControl) m_barControl->RebuildControls();
}

std::vector<TdxBarItemLink*> TdxBarItemLinks::RecentOrder() const {
    std::vector<TdxBarItemLink*> order;
    for (const auto& link : m_links) order.push_back(link.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const TdxBarItemLink* a, const TdxBarItemLink* b) { return a->m_recentIndex < b->m_recentIndex; });
    return order;
}

void TdxBarItemLinks::SetRecentOrder(const std::vector<TdxBarItemLink*>& order) {
    for (std::size_t i = 0; i < order.size(); ++i) order[i]->m_recentIndex = static_cast<int>(i);
}

void TdxBarItemLinks::MoveInRecentOrder(TdxBarItemLink* link, int index) {
    std::vector<TdxBarItemLink*> order = RecentOrder();
    const auto it = std::find(order.begin(), order.end(), link);
    if (it == order.end()) return;
    order.erase(it);
    order.insert(order.begin() + std::clamp(index, 0, static_cast<int>(order.size())), link);
    SetRecentOrder(order);
}

void TdxBarItemLinks::ResetRecentState(TdxBarItemLink* link) {
    if (link->MostRecentlyUsed()) {
        link->SetUseCount(m_manager.RecentItemsThreshold());
        MoveInRecentOrder(link, 0);
    } else {
        link->SetUseCount(0);
        MoveInRecentOrder(link, Count());
    }
}

void TdxBarItemLinks::check_invariants() const {
#ifndef NDEBUG
    auto in_order_subset = [](const std::vector<TdxBarItemLink*>& sub, const std::vector<TdxBarItemLink*>& of) {
        std::size_t j = 0;
        for (TdxBarItemLink* l : sub) {
            while (j < of.size() && of[j] != l) ++j;
            if (j == of.size()) return false;
            ++j;
        }
        return true;
    };
    std::vector<TdxBarItemLink*> all;
    for (const auto& l : m_links) all.push_back(l.get());
    INVARIANT(in_order_subset(m_available, all) && in_order_subset(m_visibleLinks, m_available) &&
                  in_order_subset(m_shown, m_visibleLinks),
              "item links: derived lists out of order");
    for (const auto& l : m_links) {
        if (l->Item()) {
            bool found = false;
            for (int i = 0; i < l->Item()->LinkCount(); ++i) found = found || l->Item()->Links(i) == l.get();
            INVARIANT(found, "item links: a link missing from its item");
        }
        INVARIANT(!(l->Control() && std::find(m_shown.begin(), m_shown.end(), l.get()) == m_shown.end()), "item links: a control for a link not shown");
    }
    const std::vector<TdxBarItemLink*> order = RecentOrder();
    for (std::size_t i = 0; i < order.size(); ++i)
        INVARIANT(order[i]->RecentIndex() == static_cast<int>(i), "item links: a gap in the recent order");
#endif
}
