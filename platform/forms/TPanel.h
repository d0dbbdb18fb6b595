// A container with a bevelled border and an optional centred caption.
// Aligned children are placed inside the border and the bevels.
#pragma once

#include "platform/classes/TAlignment.h"
#include "platform/forms/TCustomControl.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);

    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel value);
    TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel value);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int value);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);

protected:
    void AdjustClientRect(TRect& rect) const override;
    void Paint() override;

private:
    void Changed();

    TPanelBevel m_bevelOuter = bvRaised;
    TPanelBevel m_bevelInner = bvNone;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    TAlignment m_alignment = taCenter;
};
