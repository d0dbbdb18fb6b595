// A line of text drawn by its parent: no window, no focus. Its colour
// follows the parent's unless set, its font too unless ParentFont is false.
// The text is drawn from the top of the label, aligned within its width and
// clipped to it; "&" is shown as it is.
#pragma once

#include "platform/classes/TAlignment.h"
#include "platform/forms/TGraphicControl.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    // A transparent label leaves its background to the parent.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

protected:
    void Paint() override;

private:
    TAlignment m_alignment = taLeftJustify;
    bool m_transparent = false;
};
