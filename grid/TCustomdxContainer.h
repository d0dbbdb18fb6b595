// The grid's window: a custom-drawn control with a border style and a look
// (standard, flat, ultra-flat). In-place editors would be hosted here; this
// program never shows one.
#pragma once

#include "grid/GridTypes.h"
#include "platform/forms/TCustomControl.h"
#include "platform/forms/TForm.h"

// The container's border: bsNone or bsSingle of the form border styles.
using TBorderStyle = TFormBorderStyle;

class TCustomdxContainer : public TCustomControl {
public:
    explicit TCustomdxContainer(TComponent* AOwner);

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TdxLookAndFeel LookAndFeel() const { return m_lookAndFeel; }
    void SetLookAndFeel(TdxLookAndFeel value);
    // Any look but the standard one.
    bool Flat() const { return m_lookAndFeel != lfStandard; }

protected:
    void Loaded() override;
    // The look or the border changed (outside loading).
    virtual void LookAndFeelChanged();

private:
    TBorderStyle m_borderStyle = bsSingle;
    TdxLookAndFeel m_lookAndFeel = lfStandard;
};
