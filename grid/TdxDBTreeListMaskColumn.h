// A data-aware column with an edit mask for its in-place editor (never shown here).
#pragma once

#include "grid/TdxDBTreeListColumn.h"

class TdxDBTreeListMaskColumn : public TdxDBTreeListColumn {
public:
    using TdxDBTreeListColumn::TdxDBTreeListColumn;
    const AnsiString& EditMask() const { return m_editMask; }
    void SetEditMask(const AnsiString& value) { m_editMask = value; }

private:
    AnsiString m_editMask;
};
