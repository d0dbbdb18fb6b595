// A data-aware column whose in-place editor drops a list down. The grid is
// read-only, so the editor settings here are only kept.
#pragma once

#include "grid/TdxDBTreeListColumn.h"
#include "platform/gfx/TBitmap.h"

#include <functional>

enum TdxShowButtonStyle { sbDefault, sbAlways, sbNone };
enum TdxPopupBorder { pbDefault, pbSingle, pbFrame3D, pbFlat };

class TdxDBTreeListDropDownColumn : public TdxDBTreeListColumn {
public:
    using TdxDBTreeListColumn::TdxDBTreeListColumn;

    TdxShowButtonStyle ShowButtonStyle() const { return m_showButtonStyle; }
    void SetShowButtonStyle(TdxShowButtonStyle value) {
        if (value == m_showButtonStyle) return;
        m_showButtonStyle = value;
        Changed(false);
    }
    int DropDownRows() const { return m_dropDownRows; }
    void SetDropDownRows(int value) { m_dropDownRows = value; }
    int DropDownWidth() const { return m_dropDownWidth; }
    void SetDropDownWidth(int value) { m_dropDownWidth = value; }
    bool ImmediateDropDown() const { return m_immediateDropDown; }
    void SetImmediateDropDown(bool value) { m_immediateDropDown = value; }
    TAlignment PopupAlignment() const { return m_popupAlignment; }
    void SetPopupAlignment(TAlignment value) { m_popupAlignment = value; }
    TdxPopupBorder PopupBorder() const { return m_popupBorder; }
    void SetPopupBorder(TdxPopupBorder value) { m_popupBorder = value; }

    TNotifyEvent OnEditButtonClick;
    TNotifyEvent OnCloseUp;

private:
    TdxShowButtonStyle m_showButtonStyle = sbDefault;
    int m_dropDownRows = 7;
    int m_dropDownWidth = 0;
    bool m_immediateDropDown = false;
    TAlignment m_popupAlignment = taLeftJustify;
    TdxPopupBorder m_popupBorder = pbDefault;
};
