#include "platform/forms/TCustomControl.h"

void TCustomControl::PaintWindow(TCanvas& canvas) {
    m_canvas = &canvas;
    try {
        Paint();
    } catch (...) {
        m_canvas = nullptr;
        throw;
    }
    m_canvas = nullptr;
}
