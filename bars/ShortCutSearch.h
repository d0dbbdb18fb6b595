// Which item a shortcut runs: the search of the manager's bars in a fixed
// order, apart from the bar classes so that the order and the skipping rules
// can be checked on their own.
//
// Order: the links of the main menu bar first (shown or not), then the links
// of every other visible bar in the bars' order. Within a list of links, in
// order, only links whose item is visible take part, whatever the link's own
// visibility:
//  - a disabled item is skipped and the search goes on, so a later enabled
//    item with the same shortcut still runs;
//  - a submenu item is searched through its own links (its own shortcut is
//    never compared);
//  - a button whose shortcut equals the value wins; a drop-down button that
//    does not match is searched through its drop-down menu's links;
//  - window items (edit boxes) never match.
//
// A list that is reached a second time on one search path (a drop-down menu
// that lists its own button) is not searched again, so the search ends.
//
// The model describes the bars through an adapter A with
//   using Item; using Links;               // opaque to the search
//   template <class F> void links(const Links&, F f) const;  // f(Item*) in order; stop when f returns true
//   ShortCutItemKind kind(const Item*) const;
//   bool visible(const Item*) const;        // ivAlways, or ivInCustomizing while customizing
//   bool enabled(const Item*) const;
//   TShortCut shortcut(const Item*) const;  // buttons only
//   const Links* sub_links(const Item*) const;        // a submenu item's links
//   const Links* drop_down_links(const Item*) const;  // a bsDropDown button's menu, or nullptr
#pragma once

#include "bars/ShortCut.h"

#include <vector>

namespace dxbar {

enum class ShortCutItemKind { button, submenu, window, other };

namespace detail {

template <class A>
typename A::Item* search_links(const A& a, const typename A::Links& list, TShortCut value,
                               std::vector<const typename A::Links*>& path) {
    for (const auto* seen : path)
        if (seen == &list) return nullptr;
    path.push_back(&list);
    typename A::Item* found = nullptr;
    a.links(list, [&](typename A::Item* item) {
        if (!item || !a.visible(item) || !a.enabled(item)) return false;
        switch (a.kind(item)) {
        case ShortCutItemKind::submenu:
            if (const auto* sub = a.sub_links(item)) found = search_links(a, *sub, value, path);
            break;
        case ShortCutItemKind::button:
            if (a.shortcut(item) == value)
                found = item;
            else if (const auto* menu = a.drop_down_links(item))
                found = search_links(a, *menu, value, path);
            break;
        case ShortCutItemKind::window:
        case ShortCutItemKind::other:
            break;
        }
        return found != nullptr;
    });
    path.pop_back();
    return found;
}

}  // namespace detail

// The first item of one list of links that the shortcut runs, or nullptr.
template <class A>
typename A::Item* find_shortcut_in(const A& a, const typename A::Links& list, TShortCut value) {
    if (value == scNone) return nullptr;
    std::vector<const typename A::Links*> path;
    return detail::search_links(a, list, value, path);
}

// The item the shortcut runs: main_menu is the main menu bar's links (or
// nullptr without one), others the links of the other visible bars in order.
template <class A>
typename A::Item* find_shortcut_item(const A& a, const typename A::Links* main_menu,
                                     const std::vector<const typename A::Links*>& others, TShortCut value) {
    if (main_menu)
        if (auto* item = find_shortcut_in(a, *main_menu, value)) return item;
    for (const auto* links : others)
        if (auto* item = find_shortcut_in(a, *links, value)) return item;
    return nullptr;
}

}  // namespace dxbar
