#include "grid/TdxTreeListBand.h"

#include "grid/TCustomdxTreeListControl.h"

#include <algorithm>

int TdxTreeListBand::Index() const { return m_owner.IndexOf(this); }

void TdxTreeListBand::SetIndex(int value) { m_owner.Move(Index(), value); }

void TdxTreeListBand::Changed() { m_owner.Grid().BandsChanged(); }

void TdxTreeListBand::SetAlignment(TAlignment value) {
    if (value == m_alignment) return;
    m_alignment = value;
    Changed();
}
void TdxTreeListBand::SetCaption(const AnsiString& value) {
    if (value == m_caption) return;
    m_caption = value;
    Changed();
}
void TdxTreeListBand::SetFixed(TdxGridBandFixed value) {
    if (value == m_fixed) return;
    m_fixed = value;
    Changed();
}
void TdxTreeListBand::SetMinWidth(int value) {
    value = std::max(value, 0);
    if (value == m_minWidth) return;
    m_minWidth = value;
    m_width = std::max(m_width, m_minWidth);
    Changed();
}
void TdxTreeListBand::SetSizing(bool value) {
    if (value == m_sizing) return;
    m_sizing = value;
    Changed();
}
void TdxTreeListBand::SetVisible(bool value) {
    if (value == m_visible) return;
    m_visible = value;
    if (!m_visible) m_fixed = bfNone;
    Changed();
}
void TdxTreeListBand::SetWidth(int value) {
    value = std::max(value, m_minWidth);
    if (value == m_width) return;
    m_width = value;
    Changed();
}

TdxTreeListBand* TdxTreeListBands::Add() {
    m_items.push_back(std::make_unique<TdxTreeListBand>(*this, m_nextID++));
    m_grid.BandsChanged();
    return m_items.back().get();
}

void TdxTreeListBands::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    m_items.erase(m_items.begin() + index);
    m_grid.BandsChanged();
}

void TdxTreeListBands::Clear() {
    m_items.clear();
    m_grid.BandsChanged();
}

int TdxTreeListBands::IndexOf(const TdxTreeListBand* band) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == band) return static_cast<int>(i);
    return -1;
}

void TdxTreeListBands::Move(int from, int to) {
    if (from < 0 || from >= Count()) return;
    to = std::clamp(to, 0, Count() - 1);
    if (from == to) return;
    auto item = std::move(m_items[static_cast<std::size_t>(from)]);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, std::move(item));
    m_grid.BandsChanged();
}

TdxTreeListBand* TdxTreeListBands::FindByID(int id) const {
    for (const auto& b : m_items)
        if (b->ID() == id) return b.get();
    return nullptr;
}

int TdxTreeListBands::VisibleCount() const {
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [](const auto& b) { return b->Visible(); }));
}

TdxTreeListBand* TdxTreeListBands::VisibleItems(int index) const {
    for (const auto& b : m_items)
        if (b->Visible() && index-- == 0) return b.get();
    return nullptr;
}

TdxTreeListBand* TdxTreeListBands::LeftFixedBand() const {
    TdxTreeListBand* first = VisibleItems(0);
    return first && first->Fixed() == bfLeft ? first : nullptr;
}

TdxTreeListBand* TdxTreeListBands::RightFixedBand() const {
    const int n = VisibleCount();
    TdxTreeListBand* last = n > 0 ? VisibleItems(n - 1) : nullptr;
    return last && last->Fixed() == bfRight ? last : nullptr;
}
