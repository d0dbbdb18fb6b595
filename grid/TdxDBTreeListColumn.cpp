#include "grid/TdxDBTreeListColumn.h"

#include "grid/TCustomdxDBTreeListControl.h"
#include "platform/db/TDataSet.h"
#include "platform/db/TField.h"
#include "platform/gfx/FontFace.h"

#include <algorithm>

TdxDBTreeListColumn::TdxDBTreeListColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {}

void TdxDBTreeListColumn::SetFieldName(const AnsiString& value) {
    m_fieldName = value;
    if (Loading()) return;
    BindField();
    Changed();
}

void TdxDBTreeListColumn::BindField() {
    TField* field = nullptr;
    if (auto* grid = dynamic_cast<TCustomdxDBTreeListControl*>(ATreeList()))
        if (TDataSet* ds = grid->DataSet(); ds && !m_fieldName.empty()) field = ds->FindField(m_fieldName);
    m_field = field;
}

AnsiString TdxDBTreeListColumn::DefaultCaption() const { return m_field ? m_field->DisplayName() : m_fieldName; }

TAlignment TdxDBTreeListColumn::DefaultAlignment() const { return m_field ? m_field->Alignment() : taLeftJustify; }

bool TdxDBTreeListColumn::DefaultReadOnly() const { return m_field ? m_field->ReadOnly() : false; }

int TdxDBTreeListColumn::DefaultMaxLength() const {
    return m_field && m_field->DataType() == ftString ? m_field->Size() : 0;
}

int TdxDBTreeListColumn::DefaultWidth() const {
    int width = TdxTreeListColumn::DefaultWidth();
    if (m_field && ATreeList()) {
        const TFont& font = FontAssigned() ? Font() : ATreeList()->Font();
        // Widths are kept at 96 dpi: measured there.
        gfx::FontFace& face = gfx::font_face(font, 1);
        const int overhang = face.metrics().overhang;
        const int w = (face.text_width("0") - overhang) * m_field->DisplayWidth() + overhang + 4;
        width = std::max(width, w);
    }
    return width;
}

AnsiString TdxDBTreeListColumn::GetDisplayText() const { return m_field ? m_field->DisplayText() : AnsiString(); }
