// A column on a lookup field: it shows the value the dataset's lookup field
// already holds (the looked-up name, empty when the key had no match) and
// looks nothing up itself.
#pragma once

#include "grid/TdxDBTreeListDropDownColumn.h"

class TdxDBTreeListLookupColumn : public TdxDBTreeListDropDownColumn {
public:
    using TdxDBTreeListDropDownColumn::TdxDBTreeListDropDownColumn;

    const AnsiString& ListFieldName() const { return m_listFieldName; }
    void SetListFieldName(const AnsiString& value) { m_listFieldName = value; }
    int ListFieldIndex() const { return m_listFieldIndex; }
    void SetListFieldIndex(int value) { m_listFieldIndex = value; }
    int ClearKey() const { return m_clearKey; }
    void SetClearKey(int value) { m_clearKey = value; }
    bool CanDeleteText() const { return m_canDeleteText; }
    void SetCanDeleteText(bool value) { m_canDeleteText = value; }

private:
    AnsiString m_listFieldName;
    int m_listFieldIndex = 0;
    int m_clearKey = 0;
    bool m_canDeleteText = false;
};
