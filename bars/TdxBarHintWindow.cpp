#include "bars/TdxBarHintWindow.h"

#include "bars/HintPlacement.h"
#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

namespace {

const TTextFormat kHintFormat{tfLeft, tfWordBreak, tfNoPrefix};

}  // namespace

TdxBarHintWindow::TdxBarHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetVisible(false);
    SetColor(clInfoBk);
    Font().SetColor(clInfoText);
}

void TdxBarHintWindow::CreateParams(ui::CreateParams& params) {
    TCustomControl::CreateParams(params);
    params.style |= ui::WS_POPUP | ui::WS_DISABLED;
    params.ex_style |= ui::WS_EX_TOPMOST | ui::WS_EX_NOACTIVATE | ui::WS_EX_TOOLWINDOW;
}

void TdxBarHintWindow::ActivateHint(TPoint cursor, const AnsiString& text) {
    ui::WindowSystem& ws = ui::WindowSystem::current();
    const TRect wa = ws.work_area_at(cursor);
    TBitmap measure(1, 1);
    measure.Canvas().Font().Assign(Font());
    TRect r = Rect(0, 0, wa.Width(), 0);
    measure.Canvas().TextRect(r, text, kHintFormat + tfCalcRect);
    const TRect bounds = dxbar::place_hint(cursor, TSize{r.Width(), r.Height()}, wa);
    const bool same = m_showing && text == m_text && bounds == BoundsRect();
    m_text = text;
    SetBoundsRect(bounds);
    const ui::HWND h = Handle();
    if (!same) ws.invalidate_rect(h, nullptr);
    ws.show_window(h, ui::SW_SHOWNOACTIVATE);
    m_showing = true;
}

void TdxBarHintWindow::HideHint() {
    if (!m_showing) return;
    m_showing = false;
    if (HandleAllocated()) ui::WindowSystem::current().show_window(Handle(), ui::SW_HIDE);
}

void TdxBarHintWindow::Paint() {
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush().SetColor(Color());
    c.FillRect(r);
    c.DrawEdge(r, gfx::BDR_RAISEDOUTER, gfx::BF_RECT);
    c.Font().Assign(Font());
    c.Brush().SetStyle(bsClear);
    TRect text = ClientRect();
    text.Left += dxbar::kHintMargin;
    text.Top += dxbar::kHintMargin;
    c.TextRect(text, m_text, kHintFormat);
}
