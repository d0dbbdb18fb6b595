#include "platform/forms/TCustomControl.h"

#include "platform/classes/ScopeExit.h"

void TCustomControl::PaintWindow(TCanvas& canvas) {
    m_canvas = &canvas;
    ScopeExit done([this] { m_canvas = nullptr; });
    Paint();
}
