// The bars' own tooltip: a top-most popup that never takes the focus or the
// mouse (clicks pass through to what lies below), on the tooltip colours,
// with a raised one-pixel edge and the text word-wrapped inside it.
// One exists for the whole program (see HintController).
#pragma once

#include "platform/forms/TCustomControl.h"

class TdxBarHintWindow : public TCustomControl {
public:
    explicit TdxBarHintWindow(TComponent* AOwner);

    // Shows text with its top-left corner 20 pixels below the cursor point,
    // inside the work area of the monitor that holds it.
    void ActivateHint(TPoint cursor, const AnsiString& text);
    void HideHint();
    bool HintShowing() const { return m_showing; }
    const AnsiString& HintText() const { return m_text; }

protected:
    void CreateParams(ui::CreateParams& params) override;
    void Paint() override;

private:
    AnsiString m_text;
    bool m_showing = false;
};
