// A field of a dataset: a named column of its records, either data read from
// the table or a lookup taken from another dataset through a key.
//
// A field reads the dataset's active record of the record window; with no
// active record (closed or empty dataset) it is null. Persistent fields are
// components of the form, linked to their dataset by SetDataSet; a dataset
// without persistent fields makes default fields from the table when it opens
// and frees them when it closes.
#pragma once

#include "platform/classes/TAlignment.h"
#include "platform/classes/TComponent.h"
#include "platform/db/DBTypes.h"
#include "platform/db/TableAccess.h"

class TDataSet;

class TField : public TComponent {
public:
    explicit TField(TComponent* AOwner = nullptr);
    ~TField() override;

    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* value);
    // Position in the dataset's field list, -1 without a dataset.
    int Index() const;

    const AnsiString& FieldName() const { return m_fieldName; }
    void SetFieldName(const AnsiString& value);
    TFieldKind FieldKind() const { return m_fieldKind; }
    void SetFieldKind(TFieldKind value);
    bool Lookup() const { return m_fieldKind == fkLookup; }
    TFieldType DataType() const { return m_dataType; }

    int Size() const { return m_size; }
    void SetSize(int value);
    int DisplayWidth() const;
    void SetDisplayWidth(int value);
    // The label shown for the field: DisplayLabel when set, else FieldName.
    AnsiString DisplayLabel() const { return m_displayLabel.empty() ? m_fieldName : m_displayLabel; }
    void SetDisplayLabel(const AnsiString& value);
    AnsiString DisplayName() const { return DisplayLabel(); }
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value) { m_readOnly = value; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);

    TDataSet* LookupDataSet() const { return m_lookupDataSet; }
    void SetLookupDataSet(TDataSet* value);
    const AnsiString& LookupKeyFields() const { return m_lookupKeyFields; }
    void SetLookupKeyFields(const AnsiString& value) { m_lookupKeyFields = value; }
    const AnsiString& LookupResultField() const { return m_lookupResultField; }
    void SetLookupResultField(const AnsiString& value) { m_lookupResultField = value; }
    const AnsiString& KeyFields() const { return m_keyFields; }
    void SetKeyFields(const AnsiString& value) { m_keyFields = value; }
    bool LookupCache() const { return m_lookupCache; }
    void SetLookupCache(bool value) { m_lookupCache = value; }

    bool IsNull() const;
    AnsiString AsString() const;
    // Null is 0; a text that is no integer raises an error.
    int AsInteger() const;
    // The text a grid shows for the value.
    AnsiString DisplayText() const { return AsString(); }
    AnsiString Text() const { return AsString(); }
    const db::Value& Value() const;

    // Asks the dataset's controls to focus the control bound to this field.
    void FocusControl();

protected:
    TField(TComponent* AOwner, TFieldType type, int size, TAlignment alignment);
    virtual int DefaultWidth() const { return 10; }
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataSet;
    void PropertyChanged();

    TDataSet* m_dataSet = nullptr;
    AnsiString m_fieldName;
    TFieldKind m_fieldKind = fkData;
    TFieldType m_dataType = ftUnknown;
    int m_size = 0;
    int m_displayWidth = 0;  // 0: the default width
    AnsiString m_displayLabel;
    TAlignment m_alignment = taLeftJustify;
    bool m_readOnly = false;
    bool m_visible = true;
    TDataSet* m_lookupDataSet = nullptr;
    AnsiString m_lookupKeyFields;
    AnsiString m_lookupResultField;
    AnsiString m_keyFields;
    bool m_lookupCache = false;
    int m_slot = -1;  // the field's value slot in the dataset's record window rows
    int m_source = -1;  // the table field a data field reads, -1 while closed
};
