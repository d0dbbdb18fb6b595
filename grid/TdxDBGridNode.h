// The data-aware nodes: a record's key value and description, and in the DB
// grid its record number. In grid mode a node stands for a row of the
// dataset's record window and holds nothing the window does not.
#pragma once

#include "grid/TdxTreeListNode.h"

class TdxDBTreeListControlNode : public TdxTreeListTextNode {
public:
    using TdxTreeListTextNode::TdxTreeListTextNode;
    AnsiString KeyValue;
    AnsiString Description;
};

class TdxDBGridNode : public TdxDBTreeListControlNode {
public:
    using TdxDBTreeListControlNode::TdxDBTreeListControlNode;
    int RecNo = -1;
};
