// Controls without a window, drawn by their parent in its paint.
#pragma once

#include "platform/forms/TControl.h"

class TCanvas;

class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    // The canvas of the paint in progress, in the control's coordinates
    // and clipped to it (nullptr outside Paint).
    TCanvas* Canvas() const { return m_canvas; }

protected:
    virtual void Paint() {}

private:
    friend class TWinControl;
    TCanvas* m_canvas = nullptr;
};
