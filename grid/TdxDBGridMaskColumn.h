// The DB grid's mask column: nine of the directory grid's columns. Its text
// is the field's display text unchanged.
#pragma once

#include "grid/TdxDBTreeListMaskColumn.h"

class TdxDBGridMaskColumn : public TdxDBTreeListMaskColumn {
public:
    using TdxDBTreeListMaskColumn::TdxDBTreeListMaskColumn;
};
