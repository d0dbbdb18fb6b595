#include "platform/forms/TButtonControl.h"

#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

}  // namespace

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButtonControl::SetDefault(bool value) {
    if (value == m_default) return;
    m_default = value;
    if (!Loading()) Invalidate();
}

void TButtonControl::SetDown(bool value) {
    if (value == m_down) return;
    m_down = value;
    Invalidate();
}

void TButtonControl::Click() {
    if (m_modalResult != mrNone)
        if (TCustomForm* form = GetParentForm()) form->SetModalResult(m_modalResult);
    TWinControl::Click();
}

void TButtonControl::WndProc(TMessage& m) {
    switch (m.Msg) {
    case ui::WM_LBUTTONDOWN:
    case ui::WM_LBUTTONDBLCLK:
        if (CanFocus() && !Focused()) SetFocus();
        m_tracking = true;
        ws().set_capture(Handle());
        SetDown(true);
        return;
    case ui::WM_MOUSEMOVE:
        if (m_tracking) SetDown(ClientRect().Contains(TPoint{ui::get_x_lparam(m.LParam), ui::get_y_lparam(m.LParam)}));
        return;
    case ui::WM_LBUTTONUP:
        if (!m_tracking) return;
        m_tracking = false;
        if (ws().get_capture() == Handle()) ws().release_capture();
        if (m_down) {
            SetDown(false);
            Click();
        }
        return;
    case ui::WM_CAPTURECHANGED:
        if (m_tracking) {
            m_tracking = false;
            SetDown(false);
        }
        return;
    case ui::WM_KEYDOWN:
        if (m.WParam == ui::VK_SPACE) {
            m_spaceDown = true;
            SetDown(true);
            return;
        }
        break;
    case ui::WM_KEYUP:
        if (m.WParam == ui::VK_SPACE && m_spaceDown) {
            m_spaceDown = false;
            SetDown(false);
            Click();
            return;
        }
        break;
    case ui::WM_SETFOCUS:
    case ui::WM_KILLFOCUS:
        if (m.Msg == ui::WM_KILLFOCUS && m_spaceDown) {
            m_spaceDown = false;
            SetDown(false);
        }
        Invalidate();
        break;
    default:
        break;
    }
    TWinControl::WndProc(m);
}

void TButtonControl::PaintWindow(TCanvas& canvas) {
    TRect r = ClientRect();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    // The default button (and the focused one) wears a one-pixel dark frame.
    const bool framed = m_default || Focused();
    if (framed) {
        canvas.Brush().SetColor(cl3DDkShadow);
        canvas.FrameRect(r);
        r = gfx::inflate(r, -1, -1);
    }
    if (m_down) {
        canvas.Brush().SetColor(clBtnShadow);
        canvas.FrameRect(r);
    } else {
        TRect edge = r;
        canvas.DrawEdge(edge, gfx::EDGE_RAISED, gfx::BF_RECT | gfx::BF_MIDDLE);
    }
    const TRect face = gfx::inflate(r, -2, -2);
    PaintContents(canvas, m_down ? gfx::offset(face, 1, 1) : face, m_down);
    if (Focused()) canvas.DrawFocusRect(gfx::inflate(face, -1, -1));
}

void TButtonControl::PaintContents(TCanvas& canvas, const TRect& face, bool) {
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    TRect r = face;
    canvas.TextRect(r, Caption(), TTextFormat{tfCenter, tfVerticalCenter, tfSingleLine});
    canvas.Brush().SetStyle(bsSolid);
}
