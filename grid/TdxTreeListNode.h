// A row of the grid: a node of the grid's node tree. The root-level nodes
// form the grid's node list; children are made on first use.
#pragma once

#include "text/AnsiString.h"

#include <cstdint>
#include <memory>
#include <vector>

class TCustomdxTreeList;

class TdxTreeListNode {
public:
    // Fails with "Неверный владелец TdxTreeListNode" without an owner grid.
    TdxTreeListNode(TCustomdxTreeList* owner, TdxTreeListNode* parent);
    virtual ~TdxTreeListNode();
    TdxTreeListNode(const TdxTreeListNode&) = delete;
    TdxTreeListNode& operator=(const TdxTreeListNode&) = delete;

    TCustomdxTreeList* Owner() const { return m_owner; }
    TdxTreeListNode* Parent() const { return m_parent; }
    int Count() const { return m_children ? static_cast<int>(m_children->size()) : 0; }
    TdxTreeListNode* Items(int index) const { return (*m_children).at(static_cast<std::size_t>(index)).get(); }
    TdxTreeListNode* AddChild();
    // Position among the siblings (the grid's node list at the root level).
    int Index() const;
    int Level() const { return m_parent ? m_parent->Level() + 1 : 0; }

    bool Expanded = false;
    bool HasChildren = false;
    bool Deleting = false;
    std::intptr_t Data = 0;

private:
    TCustomdxTreeList* m_owner;
    TdxTreeListNode* m_parent;
    std::unique_ptr<std::vector<std::unique_ptr<TdxTreeListNode>>> m_children;
};

// A node with images and one text value per column.
class TdxTreeListTextNode : public TdxTreeListNode {
public:
    using TdxTreeListNode::TdxTreeListNode;
    int ImageIndex = -1;
    int SelectedIndex = -1;
    int StateIndex = -1;
    const AnsiString& Strings(int column) const;
    void SetStrings(int column, const AnsiString& value);

private:
    std::vector<AnsiString> m_strings;
};
