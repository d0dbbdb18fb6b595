// A column bound to a field of the grid's dataset by FieldName. Its caption,
// alignment, maximum length, read-only flag and default width come from the
// field while they are unassigned.
#pragma once

#include "grid/TdxTreeListColumn.h"
#include "platform/classes/ComponentLink.h"

#include <functional>

class TField;
class TdxTreeListNode;

class TdxDBTreeListColumn : public TdxTreeListColumn {
public:
    explicit TdxDBTreeListColumn(TComponent* AOwner);

    const AnsiString& FieldName() const { return m_fieldName; }
    // Looks the field up by name in the grid's dataset; none when absent.
    void SetFieldName(const AnsiString& value);
    TField* Field() const { return m_field; }
    bool DisableGrouping() const { return m_disableGrouping; }
    void SetDisableGrouping(bool value) { m_disableGrouping = value; }
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int value) { m_groupIndex = value; }

    int DefaultWidth() const override;
    // The text the column shows for its field's value in the active record.
    virtual AnsiString GetDisplayText() const;

    std::function<void(TObject* Sender, TdxTreeListNode* Node, AnsiString& Text)> OnGetText;

protected:
    AnsiString DefaultCaption() const override;
    TAlignment DefaultAlignment() const override;
    bool DefaultReadOnly() const override;
    int DefaultMaxLength() const override;

private:
    friend class TCustomdxDBTreeListControl;
    void BindField();

    AnsiString m_fieldName;
    ComponentLink<TField> m_field;
    bool m_disableGrouping = false;
    int m_groupIndex = -1;
};

// The plain DB grid column.
class TdxDBGridColumn : public TdxDBTreeListColumn {
public:
    using TdxDBTreeListColumn::TdxDBTreeListColumn;
};
