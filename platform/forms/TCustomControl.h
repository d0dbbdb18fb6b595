// Controls that draw themselves on a canvas: the grid and the bars derive from it.
#pragma once

#include "platform/forms/TWinControl.h"

class TCustomControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    // The canvas of the paint in progress (nullptr outside Paint).
    TCanvas* Canvas() const { return m_canvas; }

protected:
    void PaintWindow(TCanvas& canvas) override;
    virtual void Paint() {}

private:
    TCanvas* m_canvas = nullptr;
};
