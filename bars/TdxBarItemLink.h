// Links: the placements of items on a bar or in a submenu.
//
// A collection keeps its links in order and three derived lists, rebuilt
// whenever an item's or a link's visibility changes: the available links
// (item set and visible), the visible ones (available and the link's own
// Visible) and the shown ones (what a window shows: the visible links; the
// menus narrow them to the recent ones).
//
// Invariants (check_invariants):
//  - Shown ⊆ Visible ⊆ Available ⊆ the links, each in collection order;
//  - a link with an item is in that item's list of links;
//  - the links' recent indices are 0 .. Count() - 1, each once;
//  - only a shown link has an item control.
#pragma once

#include "bars/dxBarTypes.h"
#include "platform/gfx/TRect.h"

#include <algorithm>
#include <memory>
#include <vector>

class TObject;

class TdxBarItemLink {
public:
    explicit TdxBarItemLink(TdxBarItemLinks& collection);
    ~TdxBarItemLink();
    TdxBarItemLink(const TdxBarItemLink&) = delete;
    TdxBarItemLink& operator=(const TdxBarItemLink&) = delete;

    TdxBarItemLinks& Collection() const { return m_collection; }
    int Index() const;
    TdxBarManager& BarManager() const;

    TdxBarItem* Item() const { return m_item; }
    // Setting none destroys the link. A submenu cannot come to contain itself.
    void SetItem(TdxBarItem* value);

    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool BeginGroup() const { return m_beginGroup; }
    void SetBeginGroup(bool value);
    int Data() const { return m_data; }
    void SetData(int value) { m_data = value; }
    bool MostRecentlyUsed() const { return m_mostRecentlyUsed; }
    void SetMostRecentlyUsed(bool value) { m_mostRecentlyUsed = value; }
    const AnsiString& UserCaption() const { return m_userCaption; }
    void SetUserCaption(const AnsiString& value);
    TdxBarItemUserDefines UserDefine() const { return m_userDefine; }
    // Clearing a flag resets its value.
    void SetUserDefine(TdxBarItemUserDefines value);
    TdxBarPaintStyle UserPaintStyle() const { return m_userPaintStyle; }
    void SetUserPaintStyle(TdxBarPaintStyle value);
    int UserWidth() const { return m_userWidth; }
    // Clamped to 20..600; adds udWidth.
    void SetUserWidth(int value);

    // The caption shown: the user's when udCaption, else the item's.
    AnsiString Caption() const;

    // ---- run-time ----------------------------------------------------------------
    TdxBarItemControl* Control() const { return m_control.get(); }
    void SetControl(std::unique_ptr<TdxBarItemControl> control);
    void DestroyControl();
    TRect ItemRect() const { return m_itemRect; }
    void SetItemRect(const TRect& r) { m_itemRect = r; }
    int UseCount() const { return m_useCount; }
    void SetUseCount(int value) { m_useCount = std::max(value, 0); }
    // Counts a use of the link for the recent-items order.
    void MarkUsed() { ++m_useCount; }
    // The place in the collection's recent order (0 = used last); the
    // collection moves it.
    int RecentIndex() const { return m_recentIndex; }

private:
    friend class TdxBarItemLinks;  // keeps the recent order

    TdxBarItemLinks& m_collection;
    TdxBarItem* m_item = nullptr;
    bool m_visible = true;
    bool m_beginGroup = false;
    int m_data = 0;
    bool m_mostRecentlyUsed = true;
    AnsiString m_userCaption;
    TdxBarItemUserDefines m_userDefine;
    TdxBarPaintStyle m_userPaintStyle = psStandard;
    int m_userWidth = 0;

    std::unique_ptr<TdxBarItemControl> m_control;
    TRect m_itemRect;
    int m_useCount = 0;
    int m_recentIndex = -1;
};

class TdxBarItemLinks {
public:
    // The owner is a bar, a submenu item or a popup menu.
    TdxBarItemLinks(TdxBarManager& manager, TObject* owner);
    ~TdxBarItemLinks();

    TdxBarManager& BarManager() const { return m_manager; }
    TObject* Owner() const { return m_owner; }
    TdxBar* OwnerBar() const;
    TCustomdxBarSubItem* OwnerSubItem() const;

    int Count() const { return static_cast<int>(m_links.size()); }
    TdxBarItemLink* Items(int index) const { return m_links.at(static_cast<std::size_t>(index)).get(); }
    TdxBarItemLink* operator[](int index) const { return Items(index); }
    TdxBarItemLink* Add();
    // Adds a link to an item in one step.
    TdxBarItemLink* Add(TdxBarItem* item);
    void Delete(int index);
    void Clear();
    int IndexOf(const TdxBarItemLink* link) const;

    const std::vector<TdxBarItemLink*>& AvailableLinks() const { return m_available; }
    const std::vector<TdxBarItemLink*>& VisibleLinks() const { return m_visibleLinks; }
    const std::vector<TdxBarItemLink*>& ShownLinks() const { return m_shown; }
    // Rebuilds the derived lists and tells the window that shows them.
    void RefreshLists();

    // The links from the one used last to the one used longest ago.
    std::vector<TdxBarItemLink*> RecentOrder() const;
    // Moves a link to this place of the recent order (clamped to the order);
    // the others keep their order around it.
    void MoveInRecentOrder(TdxBarItemLink* link, int index);
    // The state a new link starts with: a most-recently-used one at the
    // front with the manager's threshold count, any other at the end with 0.
    void ResetRecentState(TdxBarItemLink* link);

    // The window that shows the links, while one exists.
    TCustomdxBarControl* BarControl() const { return m_barControl; }
    void SetBarControl(TCustomdxBarControl* control) { m_barControl = control; }

    void check_invariants() const;

private:
    friend class TdxBarItemLink;
    void Remove(TdxBarItemLink* link);  // the link destroys itself
    void SetRecentOrder(const std::vector<TdxBarItemLink*>& order);

    TdxBarManager& m_manager;
    TObject* m_owner;
    std::vector<std::unique_ptr<TdxBarItemLink>> m_links;
    std::vector<TdxBarItemLink*> m_available;
    std::vector<TdxBarItemLink*> m_visibleLinks;
    std::vector<TdxBarItemLink*> m_shown;
    TCustomdxBarControl* m_barControl = nullptr;
    bool m_clearing = false;
};
