#include "grid/TdxTreeListNode.h"

#include "grid/TCustomdxTreeList.h"
#include "platform/classes/Exception.h"
#include "text/Cp1251.h"

TdxTreeListNode::TdxTreeListNode(TCustomdxTreeList* owner, TdxTreeListNode* parent) : m_owner(owner), m_parent(parent) {
    if (!owner) throw EComponentError("Неверный владелец TdxTreeListNode"_a);
}

TdxTreeListNode::~TdxTreeListNode() = default;

TdxTreeListNode* TdxTreeListNode::AddChild() {
    if (!m_children) m_children = std::make_unique<std::vector<std::unique_ptr<TdxTreeListNode>>>();
    m_children->push_back(m_owner->CreateNode(this));
    HasChildren = true;
    return m_children->back().get();
}

int TdxTreeListNode::Index() const {
    if (!m_parent) return m_owner->IndexOfNode(this);
    for (int i = 0; i < m_parent->Count(); ++i)
        if (m_parent->Items(i) == this) return i;
    return -1;
}

const AnsiString& TdxTreeListTextNode::Strings(int column) const {
    static const AnsiString empty;
    return column >= 0 && column < static_cast<int>(m_strings.size()) ? m_strings[static_cast<std::size_t>(column)] : empty;
}

void TdxTreeListTextNode::SetStrings(int column, const AnsiString& value) {
    if (column < 0) return;
    if (column >= static_cast<int>(m_strings.size())) m_strings.resize(static_cast<std::size_t>(column) + 1);
    m_strings[static_cast<std::size_t>(column)] = value;
}
