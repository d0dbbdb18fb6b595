// Menus that show the commands used most: every link of a collection has a
// use count and a place in the collection's recent order (front = used
// last). A use adds one to the count and moves the link to the front.
//
// When a menu opens, the links to show are chosen from its visible links:
// with min and max their smallest and largest counts and
// c = (max − min) × (100 − percents) / 100 rounded half away from zero,
// the limit is the link nearest the end of the recent order whose count is
// at least min + c; it and every link before it in the recent order are
// shown, the others wait behind the menu's expand button. Equal counts hide
// nothing; so does a spread too small to make c at least 1.
//
// Invariants: order() holds every added id exactly once; counts are >= 0.
#pragma once

#include "platform/classes/Invariant.h"

#include <algorithm>
#include <cassert>
#include <utility>
#include <vector>

namespace dxbar {

// The count a new most-recently-used link starts with: the smallest n >= 1
// for which n × (100 − percents) / 100 is not 0 in integer arithmetic; 0 when
// every command is always shown (100 percent).
int recent_threshold(int percents);

// The links of `visible` (collection order) that show before the menu is
// expanded, given each link's use count and place in the recent order
// (a place below 0 counts as the front).
template <class Id, class CountFn, class IndexFn>
std::vector<Id> recent_shown(const std::vector<Id>& visible, int percents, CountFn use_count, IndexFn recent_index) {
    if (visible.empty()) return {};
    int min = use_count(visible.front());
    int max = min;
    for (const Id& id : visible) {
        min = std::min(min, use_count(id));
        max = std::max(max, use_count(id));
    }
    const int spread = (max - min) * (100 - std::clamp(percents, 0, 100));
    const int limit = min + (spread + 50) / 100;
    // The limit: the link latest in the recent order whose count reaches it.
    int limit_index = -1;
    for (const Id& id : visible)
        if (use_count(id) >= limit) limit_index = std::max(limit_index, recent_index(id));
    std::vector<Id> result;
    for (const Id& id : visible)
        if (recent_index(id) <= limit_index) result.push_back(id);
    return result;
}

template <class Id>
class RecentItems {
public:
    explicit RecentItems(int threshold = recent_threshold(95)) : m_threshold(threshold) {}

    int threshold() const { return m_threshold; }

    // A new link: a most-recently-used one starts at the threshold count at
    // the front of the order, any other at 0 at its end.
    void add(Id id, bool most_recently_used) {
        remove(id);
        if (most_recently_used) {
            m_order.insert(m_order.begin(), id);
            m_counts.insert(m_counts.begin(), {id, m_threshold});
        } else {
            m_order.push_back(id);
            m_counts.push_back({id, 0});
        }
    }
    void remove(Id id) {
        std::erase(m_order, id);
        std::erase_if(m_counts, [&](const auto& e) { return e.first == id; });
    }
    bool contains(Id id) const { return std::find(m_order.begin(), m_order.end(), id) != m_order.end(); }

    void use(Id id) {
        if (!contains(id)) return;
        ++count_ref(id);
        move_to(id, 0);
    }

    int use_count(Id id) const {
        for (const auto& e : m_counts)
            if (e.first == id) return e.second;
        return 0;
    }
    // The place in the recent order (0 = used last), -1 for an unknown id.
    int recent_index(Id id) const {
        const auto it = std::find(m_order.begin(), m_order.end(), id);
        return it == m_order.end() ? -1 : static_cast<int>(it - m_order.begin());
    }
    const std::vector<Id>& order() const { return m_order; }

    // A stored count and place, as the layout file keeps them.
    void restore(Id id, int use_count, int recent_index) {
        if (!contains(id)) return;
        count_ref(id) = std::max(use_count, 0);
        move_to(id, recent_index);
    }

    // The visible links (collection order) that show before the menu is
    // expanded, in collection order.
    std::vector<Id> shown(const std::vector<Id>& visible, int percents) const {
        return recent_shown(visible, percents, [this](Id id) { return use_count(id); },
                            [this](Id id) { return recent_index(id); });
    }

    void check_invariants() const {
#ifndef NDEBUG
        INVARIANT(m_order.size() == m_counts.size(), "RecentItems: m_order.size() == m_counts.size()");
        for (const auto& e : m_counts) {
            INVARIANT(e.second >= 0, "RecentItems: e.second >= 0");
            INVARIANT(std::count(m_order.begin(), m_order.end(), e.first) == 1, "RecentItems: std::count(m_order.begin(), m_order.end(), e.first) == 1");
        }
#endif
    }

private:
    int& count_ref(Id id) {
        for (auto& e : m_counts)
            if (e.first == id) return e.second;
        assert(false);
        return m_counts.front().second;
    }
    void move_to(Id id, int index) {
        std::erase(m_order, id);
        index = std::clamp(index, 0, static_cast<int>(m_order.size()));
        m_order.insert(m_order.begin() + index, id);
    }

    int m_threshold;
    std::vector<Id> m_order;                    // front: used last
    std::vector<std::pair<Id, int>> m_counts;   // use count per id
};

}  // namespace dxbar
