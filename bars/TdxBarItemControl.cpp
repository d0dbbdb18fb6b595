#include "bars/TdxBarItemControl.h"

#include "bars/TdxBar.h"
#include "bars/TdxBarControl.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "bars/TdxBarPainter.h"
#include "platform/classes/Invariant.h"
#include "platform/gfx/TCanvas.h"
#include "platform/gfx/TImageList.h"

#include <algorithm>

namespace {

bool in_main_menu(const TCustomdxBarControl* parent) {
    const auto* bc = dynamic_cast<const TdxBarControl*>(parent);
    return bc && bc->Bar().IsMainMenu();
}

}  // namespace

// ---- TdxBarItemControl ------------------------------------------------------------------------------

TdxBarItemControl::TdxBarItemControl(TdxBarItemLink* link, TCustomdxBarControl* parent)
    : m_link(link), m_parent(parent) {}

TdxBarItemControl::~TdxBarItemControl() {
    if (m_parent) m_parent->ControlDestroyed(this);
    if (BarManager().HotItemControl() == this) BarManager().SetHotItemControl(nullptr);
}

TdxBarItem* TdxBarItemControl::Item() const { return m_link->Item(); }

TdxBarManager& TdxBarItemControl::BarManager() const { return m_link->BarManager(); }

TRect TdxBarItemControl::ItemRect() const { return m_link->ItemRect(); }

bool TdxBarItemControl::Selected() const { return m_parent && m_parent->KeyboardMode() && m_parent->SelectedControl() == this; }

bool TdxBarItemControl::Enabled() const { return Item() && Item()->IsEnabled(); }

bool TdxBarItemControl::CanSelect() const { return Item() && Item()->CanSelect() && Enabled(); }

void TdxBarItemControl::SetHot(bool value) {
    if (value == m_hot) return;
    m_hot = value;
    Repaint();
}

void TdxBarItemControl::SetPressed(bool value) {
    if (value == m_pressed) return;
    m_pressed = value;
    Repaint();
}

void TdxBarItemControl::Repaint() {
    if (m_parent) m_parent->InvalidateItem(this);
}

AnsiString TdxBarItemControl::PlainCaption() const {
    AnsiString s = m_link->Caption();
    AnsiString out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            // "&&" stands for one "&".
            if (i + 1 < s.size() && s[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

void TdxBarItemControl::MouseDown(TPoint, TShiftState) { SetPressed(true); }

void TdxBarItemControl::MouseMove(TPoint p, TShiftState) {
    (void)p;
}

void TdxBarItemControl::MouseUp(TPoint p, TShiftState) {
    const bool over = ItemRect().Contains(p);
    const bool wasPressed = m_pressed;
    SetPressed(false);
    // Nothing may touch this control after the click: its handler can change the bars.
    if (wasPressed && over) Click(true);
}

void TdxBarItemControl::DblClick(TPoint) {}

void TdxBarItemControl::ActivateByKey() { Click(false); }

void TdxBarItemControl::Click(bool byMouse) {
    if (TdxBarItem* item = Item()) item->DoClick(m_link, byMouse);
}

// ---- TdxBarButtonControl ----------------------------------------------------------------------------

bool TdxBarButtonControl::ShowsGlyph() const {
    TImageList* images = BarManager().Images();
    if (!Item() || !images || Item()->ImageIndex() < 0 || Item()->ImageIndex() >= images->Count()) return false;
    if (auto* b = dynamic_cast<TdxBarButton*>(Item())) {
        TdxBarPaintStyle ps = Link()->UserDefine().Contains(udPaintStyle) ? Link()->UserPaintStyle() : b->PaintStyle();
        return ps != psCaption;
    }
    return true;
}

bool TdxBarButtonControl::ShowsCaption() const {
    if (auto* s = dynamic_cast<TCustomdxBarSubItem*>(Item())) return s->ShowCaption() || !ShowsGlyph();
    if (auto* b = dynamic_cast<TdxBarButton*>(Item())) {
        TdxBarPaintStyle ps = Link()->UserDefine().Contains(udPaintStyle) ? Link()->UserPaintStyle() : b->PaintStyle();
        if (ps == psCaption || ps == psCaptionGlyph) return true;
        return !ShowsGlyph();
    }
    return true;
}

bool TdxBarButtonControl::Checked() const {
    auto* b = dynamic_cast<TdxBarButton*>(Item());
    return b && b->ButtonStyle() == bsChecked && b->Down();
}

int TdxBarButtonControl::Height() const {
    int h = Parent()->TextItemHeight();
    if (ShowsGlyph()) {
        h = std::max(h, BarManager().ButtonSize());
    }
    return h;
}

int TdxBarButtonControl::Width() const {
    int w = 0;
    const int pad = std::max(1, std::abs(Parent()->ItemsFont().Height()) / 2);
    if (ShowsGlyph()) w += BarManager().ButtonSize();
    else if (ShowsCaption()) w += pad;
    if (ShowsCaption()) w += Parent()->TextWidth(PlainCaption()) + pad;
    if (Link()->UserDefine().Contains(udWidth)) w = std::max(w, Link()->UserWidth());
    return std::max(w, 6);
}

void TdxBarButtonControl::Paint(TCanvas& canvas, const TRect& r) {
    const TColor back = Parent()->BackgroundColor();
    bars::paint_flat_button_face(canvas, r, Hot() || Pressed() || Selected(), Checked(), back);
    int x = r.Left;
    const int pad = std::max(1, std::abs(Parent()->ItemsFont().Height()) / 2);
    if (ShowsGlyph()) {
        const int square = BarManager().ButtonSize();
        TImageList* images = BarManager().Images();
        const int gx = x + (square - images->Width()) / 2;
        const int gy = r.Top + (r.Height() - images->Height()) / 2;
        images->Draw(canvas, gx, gy, Item()->ImageIndex(), Enabled());
        x += square;
    } else {
        x += pad;
    }
    if (ShowsCaption()) {
        canvas.Font().Assign(Parent()->ItemsFont());
        canvas.Font().SetColor(Enabled() ? clBtnText : clGrayText);
        canvas.Brush().SetStyle(bsClear);
        const int th = canvas.TextHeight("0");
        TRect tr{x, r.Top, r.Right, r.Bottom};
        canvas.TextRect(tr, x, r.Top + (r.Height() - th) / 2, Link()->Caption().find('&') == AnsiString::npos
                                                                   ? std::string_view(Link()->Caption())
                                                                   : std::string_view(PlainCaption()));
        canvas.Brush().SetStyle(bsSolid);
    }
}

// ---- TdxBarSubItemControl --------------------------------------------------------------------------

int TdxBarSubItemControl::Width() const {
    int w = TdxBarButtonControl::Width();
    // Outside the menu bar a drop-down arrow follows the caption.
    if (!in_main_menu(Parent())) w += BarManager().ArrowWidth();
    return w;
}

void TdxBarSubItemControl::Paint(TCanvas& canvas, const TRect& r) {
    const bool wasHot = Hot();
    // While its menu is open the title is drawn as the hot item.
    if (m_droppedDown && !wasHot) {
        TRect rr = r;
        bars::paint_flat_button_face(canvas, rr, true, false, Parent()->BackgroundColor());
    }
    TdxBarButtonControl::Paint(canvas, r);
    if (m_droppedDown && !wasHot) bars::frame(canvas, r, clHighlight);
    if (!in_main_menu(Parent())) {
        const int aw = BarManager().ArrowWidth();
        bars::paint_down_arrow(canvas, r.Right - aw / 2 - 1, r.Top + r.Height() / 2 - 1, Enabled() ? clBtnText : clGrayText);
    }
}

void TdxBarSubItemControl::SetDroppedDown(bool value) {
    if (value == m_droppedDown) return;
    m_droppedDown = value;
    Repaint();
}

void TdxBarSubItemControl::MouseDown(TPoint, TShiftState) {
    // Opening the submenu belongs to the menus; the bar only presses the title.
    SetPressed(true);
}

void TdxBarSubItemControl::MouseUp(TPoint p, TShiftState shift) { TdxBarItemControl::MouseUp(p, shift); }

void TdxBarItemControl::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(m_link && m_parent, "item control: without its link or its bar window");
    INVARIANT(!(m_hot || m_pressed) || m_parent->HandleAllocated(), "item control: hot or pressed while its bar window has no window");
#endif
}
