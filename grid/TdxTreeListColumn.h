// A column of the tree-list control: a component of the grid's form that the
// grid keeps in its ordered column list.
//
// Assigned flags: Alignment, Caption, ReadOnly, Width, Color, Font and
// MaxLength read their default until written. The default width follows the
// caption and (in the data-aware columns) the field, and is recomputed when
// they change while Width is unassigned.
#pragma once

#include "grid/GridTypes.h"
#include "platform/classes/TAlignment.h"
#include "platform/classes/TComponent.h"
#include "platform/gfx/TColor.h"
#include "platform/gfx/TFont.h"

#include <functional>

class TCustomdxTreeListControl;
class TdxTreeListNode;

class TdxTreeListColumn : public TComponent {
public:
    explicit TdxTreeListColumn(TComponent* AOwner);
    ~TdxTreeListColumn() override;

    // The grid the column belongs to; setting it appends the column to the grid's list.
    TCustomdxTreeListControl* ATreeList() const { return m_treeList; }
    void SetATreeList(TCustomdxTreeListControl* value);
    int Index() const;
    void SetIndex(int value);

    AnsiString Caption() const;
    void SetCaption(const AnsiString& value);
    TAlignment Alignment() const;
    void SetAlignment(TAlignment value);
    TAlignment HeaderAlignment() const { return m_headerAlignment; }
    void SetHeaderAlignment(TAlignment value);
    TTextLayout VertAlignment() const { return m_vertAlignment; }
    void SetVertAlignment(TTextLayout value);
    int Width() const;
    void SetWidth(int value);
    int MinWidth() const { return m_minWidth; }
    void SetMinWidth(int value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool Sizing() const { return m_sizing; }
    void SetSizing(bool value);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool value) { m_tabStop = value; }
    TdxTreeListColumnSort Sorted() const { return m_sorted; }
    void SetSorted(TdxTreeListColumnSort value);
    int BandIndex() const { return m_bandIndex; }
    void SetBandIndex(int value);
    // The effective row: the stored row, at most the last header row.
    int RowIndex() const;
    void SetRowIndex(int value);
    int StoredRowIndex() const { return m_storedRowIndex; }
    void SetStoredRowIndex(int value);
    int ColIndex() const;
    void SetColIndex(int value);
    int HeaderMaxLineCount() const { return m_headerMaxLineCount; }
    void SetHeaderMaxLineCount(int value);
    TColor Color() const;
    void SetColor(TColor value);
    // The column's font: a copy of the grid's while unassigned; changing it assigns it.
    TFont& Font();
    const TFont& Font() const;
    bool FontAssigned() const { return m_fontAssigned; }
    bool ColorAssigned() const { return m_colorAssigned; }
    bool WidthAssigned() const { return m_widthAssigned; }
    bool CaptionAssigned() const { return m_captionAssigned; }
    TdxEditCharCase CharCase() const { return m_charCase; }
    void SetCharCase(TdxEditCharCase value);
    int MaxLength() const;
    void SetMaxLength(int value);
    char PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char value) { m_passwordChar = value; }
    bool ReadOnly() const;
    void SetReadOnly(bool value);
    bool OEMConvert() const { return m_oemConvert; }
    void SetOEMConvert(bool value) { m_oemConvert = value; }
    bool DisableCaption() const { return m_disableCaption; }
    void SetDisableCaption(bool value);
    bool DisableCustomizing() const { return m_disableCustomizing; }
    void SetDisableCustomizing(bool value) { m_disableCustomizing = value; }
    bool DisableDragging() const { return m_disableDragging; }
    void SetDisableDragging(bool value) { m_disableDragging = value; }
    bool DisableEditor() const { return m_disableEditor; }
    void SetDisableEditor(bool value) { m_disableEditor = value; }
    bool DisableFilter() const { return m_disableFilter; }
    void SetDisableFilter(bool value) { m_disableFilter = value; }
    // The position among the sorted columns as read from a stream, -1 none.
    int SortOrder() const { return m_sortOrder; }
    void SetSortOrder(int value) { m_sortOrder = value; }

    // The width the column has while Width is unassigned.
    virtual int DefaultWidth() const;
    // Recomputes an unassigned width (a changed caption, field or grid font).
    void RestoreDefaultWidth();

    std::function<void(TObject* Sender)> OnChange;

protected:
    void Loaded() override;
    // The caption, alignment, read-only flag and maximum length the column has while unassigned.
    virtual AnsiString DefaultCaption() const { return AnsiString(); }
    virtual TAlignment DefaultAlignment() const { return taLeftJustify; }
    virtual bool DefaultReadOnly() const { return false; }
    virtual int DefaultMaxLength() const { return 0; }
    // A property changed; `size_related` changes also recompute an unassigned width.
    void Changed(bool size_related = true);

private:
    friend class TCustomdxTreeListControl;
    friend class TCustomdxDBGrid;
    void FontChanged();
    void FollowGridFont();

    TCustomdxTreeListControl* m_treeList = nullptr;
    AnsiString m_caption;
    TAlignment m_alignment = taLeftJustify;
    TAlignment m_headerAlignment = taLeftJustify;
    TTextLayout m_vertAlignment = tlTop;
    int m_width = 64;
    int m_minWidth = 20;
    bool m_visible = true;
    bool m_sizing = true;
    bool m_tabStop = true;
    TdxTreeListColumnSort m_sorted = csNone;
    int m_bandIndex = 0;
    int m_storedRowIndex = 0;
    int m_headerMaxLineCount = 1;
    TColor m_color = clWindow;
    TFont m_font;
    TdxEditCharCase m_charCase = ecNormal;
    int m_maxLength = 0;
    char m_passwordChar = 0;
    bool m_readOnly = false;
    bool m_oemConvert = false;
    bool m_disableCaption = false;
    bool m_disableCustomizing = false;
    bool m_disableDragging = false;
    bool m_disableEditor = false;
    bool m_disableFilter = false;
    int m_sortOrder = -1;
    bool m_captionAssigned = false;
    bool m_alignmentAssigned = false;
    bool m_widthAssigned = false;
    bool m_colorAssigned = false;
    bool m_fontAssigned = false;
    bool m_readOnlyAssigned = false;
    bool m_maxLengthAssigned = false;
    bool m_followingGridFont = false;
};
