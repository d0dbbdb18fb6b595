#include "grid/TdxTreeListColumn.h"

#include "grid/TCustomdxTreeListControl.h"
#include "platform/gfx/FontFace.h"

#include <algorithm>

TdxTreeListColumn::TdxTreeListColumn(TComponent* AOwner) : TComponent(AOwner) {
    m_font.OnChange = [this](TObject*) { FontChanged(); };
}

TdxTreeListColumn::~TdxTreeListColumn() {
    m_font.OnChange = nullptr;
    if (m_treeList) m_treeList->RemoveColumn(this, true);
}

void TdxTreeListColumn::SetATreeList(TCustomdxTreeListControl* value) {
    if (value == m_treeList) return;
    if (m_treeList) m_treeList->RemoveColumn(this);
    if (value) value->AddColumn(this);
}

int TdxTreeListColumn::Index() const { return m_treeList ? m_treeList->ColumnIndexOf(this) : -1; }

void TdxTreeListColumn::SetIndex(int value) {
    if (m_treeList) m_treeList->MoveColumn(Index(), value);
}

void TdxTreeListColumn::Changed(bool size_related) {
    if (Loading() || !m_treeList || m_treeList->Loading()) return;
    if (size_related && !m_widthAssigned) RestoreDefaultWidth();
    m_treeList->ColumnChanged(this, size_related);
    if (OnChange) OnChange(this);
}

AnsiString TdxTreeListColumn::Caption() const { return m_captionAssigned ? m_caption : DefaultCaption(); }

void TdxTreeListColumn::SetCaption(const AnsiString& value) {
    if (m_captionAssigned && value == m_caption) return;
    m_caption = value;
    m_captionAssigned = true;
    Changed();
}

TAlignment TdxTreeListColumn::Alignment() const { return m_alignmentAssigned ? m_alignment : DefaultAlignment(); }

void TdxTreeListColumn::SetAlignment(TAlignment value) {
    if (m_alignmentAssigned && value == m_alignment) return;
    m_alignment = value;
    m_alignmentAssigned = true;
    Changed();
}

void TdxTreeListColumn::SetHeaderAlignment(TAlignment value) {
    if (value == m_headerAlignment) return;
    m_headerAlignment = value;
    Changed(false);
}

void TdxTreeListColumn::SetVertAlignment(TTextLayout value) {
    if (value == m_vertAlignment) return;
    m_vertAlignment = value;
    Changed();
}

int TdxTreeListColumn::Width() const { return std::max(m_width, m_minWidth); }

void TdxTreeListColumn::SetWidth(int value) {
    value = std::max(value, m_minWidth);
    if (Loading()) {
        m_width = value;
        m_widthAssigned = true;
        return;
    }
    if (!m_widthAssigned && value == std::max(DefaultWidth(), m_minWidth)) {
        m_width = value;
        return;
    }
    if (m_widthAssigned && value == m_width) return;
    m_width = value;
    m_widthAssigned = true;
    Changed();
}

void TdxTreeListColumn::RestoreDefaultWidth() {
    if (m_widthAssigned) return;
    m_width = std::max(DefaultWidth(), m_minWidth);
}

int TdxTreeListColumn::DefaultWidth() const {
    int width = 64;
    if (m_treeList) {
        const AnsiString caption = Caption();
        if (!caption.empty()) width = gfx::font_face(m_treeList->HeaderFont(), 1).text_width(caption) + 6;
    }
    return width;
}

void TdxTreeListColumn::SetMinWidth(int value) {
    value = std::max(value, 0);
    if (value == m_minWidth) return;
    m_minWidth = value;
    m_width = std::max(m_width, m_minWidth);
    Changed();
}

void TdxTreeListColumn::SetVisible(bool value) {
    if (value == m_visible) return;
    m_visible = value;
    Changed();
}

void TdxTreeListColumn::SetSizing(bool value) {
    if (value == m_sizing) return;
    m_sizing = value;
    Changed();
}

void TdxTreeListColumn::SetSorted(TdxTreeListColumnSort value) {
    if (value == m_sorted) return;
    m_sorted = value;
    Changed(false);
}

void TdxTreeListColumn::SetBandIndex(int value) {
    if (m_treeList && !Loading()) value = std::clamp(value, -1, m_treeList->Bands().Count() - 1);
    if (value == m_bandIndex) return;
    m_bandIndex = value;
    Changed();
}

int TdxTreeListColumn::RowIndex() const {
    const int rows = m_treeList ? m_treeList->HeaderPanelRowCount() : 1;
    return std::clamp(m_storedRowIndex, 0, rows - 1);
}

void TdxTreeListColumn::SetRowIndex(int value) {
    const int rows = m_treeList && !Loading() ? m_treeList->HeaderPanelRowCount() : 1 << 20;
    SetStoredRowIndex(std::clamp(value, 0, rows - 1));
}

void TdxTreeListColumn::SetStoredRowIndex(int value) {
    value = std::max(value, 0);
    if (value == m_storedRowIndex) return;
    m_storedRowIndex = value;
    Changed();
}

int TdxTreeListColumn::ColIndex() const {
    if (!m_treeList) return -1;
    const auto list = m_treeList->VisibleColumnsOf(m_bandIndex, RowIndex());
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TdxTreeListColumn::SetColIndex(int value) {
    if (!m_treeList) return;
    const auto list = m_treeList->VisibleColumnsOf(m_bandIndex, RowIndex());
    if (list.empty()) return;
    const TdxTreeListColumn* target = list[static_cast<std::size_t>(std::clamp(value, 0, static_cast<int>(list.size()) - 1))];
    if (target != this) SetIndex(target->Index());
}

void TdxTreeListColumn::SetHeaderMaxLineCount(int value) {
    value = std::max(value, 0);
    if (value == m_headerMaxLineCount) return;
    m_headerMaxLineCount = value;
    Changed(false);
}

TColor TdxTreeListColumn::Color() const {
    if (m_colorAssigned) return m_color;
    return m_treeList ? m_treeList->Color() : clWindow;
}

void TdxTreeListColumn::SetColor(TColor value) {
    if (m_colorAssigned && value == m_color) return;
    m_color = value;
    m_colorAssigned = true;
    Changed();
}

TFont& TdxTreeListColumn::Font() { return m_font; }
const TFont& TdxTreeListColumn::Font() const { return m_font; }

void TdxTreeListColumn::FontChanged() {
    if (m_followingGridFont) return;
    m_fontAssigned = true;
    Changed(false);
}

void TdxTreeListColumn::FollowGridFont() {
    if (m_fontAssigned || !m_treeList) return;
    m_followingGridFont = true;
    m_font.Assign(m_treeList->Font());
    m_followingGridFont = false;
}

void TdxTreeListColumn::SetCharCase(TdxEditCharCase value) {
    if (value == m_charCase) return;
    m_charCase = value;
    Changed(false);
}

int TdxTreeListColumn::MaxLength() const { return m_maxLengthAssigned ? m_maxLength : DefaultMaxLength(); }

void TdxTreeListColumn::SetMaxLength(int value) {
    if (m_maxLengthAssigned && value == m_maxLength) return;
    m_maxLength = value;
    m_maxLengthAssigned = true;
    Changed();
}

bool TdxTreeListColumn::ReadOnly() const { return m_readOnlyAssigned ? m_readOnly : DefaultReadOnly(); }

void TdxTreeListColumn::SetReadOnly(bool value) {
    if (m_readOnlyAssigned && value == m_readOnly) return;
    m_readOnly = value;
    m_readOnlyAssigned = true;
    Changed();
}

void TdxTreeListColumn::SetDisableCaption(bool value) {
    if (value == m_disableCaption) return;
    m_disableCaption = value;
    Changed(false);
}

void TdxTreeListColumn::Loaded() { TComponent::Loaded(); }
