#include "platform/forms/TControl.h"

#include "platform/forms/TForm.h"
#include "platform/forms/TWinControl.h"

#include <algorithm>

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    m_font.OnChange = [this](TObject*) {
        if (!m_followingParentFont) m_parentFont = false;
        if (!Loading()) FontChanged();
    };
}

TControl::~TControl() {
    if (m_parent) m_parent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* value) {
    if (value == m_parent) return;
    if (value == this) throw EComponentError("A control cannot be its own parent");
    for (TWinControl* p = value; p; p = p->Parent())
        if (p == this) throw EComponentError("A control cannot be placed inside itself");
    if (m_parent) m_parent->RemoveControl(this);
    if (value) value->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == m_left && ATop == m_top && AWidth == m_width && AHeight == m_height) return;
    const TRect old = BoundsRect();
    m_left = ALeft;
    m_top = ATop;
    m_width = AWidth;
    m_height = AHeight;
    if (Loading()) return;
    if (m_parent && !IsWindowed() && m_visible) {
        m_parent->InvalidateRect(old);
        m_parent->InvalidateRect(BoundsRect());
    }
    BoundsChanged();
    // A control placed by its alignment does not trigger another pass; one
    // moved by hand makes the parent place its aligned controls again.
    if (m_parent && !m_parent->Aligning()) RequestParentRealign();
}

void TControl::SetAlign(TAlign value) {
    if (value == m_align) return;
    m_align = value;
    if (!Loading()) RequestParentRealign();
}

void TControl::SetVisible(bool value) {
    if (value == m_visible) return;
    m_visible = value;
    if (Loading()) return;
    VisibleChanged();
    RequestParentRealign();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->m_parent)
        if (!c->m_visible) return false;
    return true;
}

void TControl::SetEnabled(bool value) {
    if (value == m_enabled) return;
    m_enabled = value;
    if (!Loading()) EnabledChanged();
}

void TControl::SetColor(TColor value) {
    if (value == m_color && !m_parentColor) return;
    m_color = value;
    m_parentColor = false;
    if (!Loading()) ColorChanged();
}

void TControl::SetParentColor(bool value) {
    if (value == m_parentColor) return;
    m_parentColor = value;
    if (!Loading()) FollowParent();
}

void TControl::SetParentFont(bool value) {
    if (value == m_parentFont) return;
    m_parentFont = value;
    if (!Loading()) FollowParent();
}

void TControl::SetCaption(const AnsiString& value) {
    if (value == m_caption) return;
    m_caption = value;
    if (!Loading()) CaptionChanged();
}

void TControl::FollowParent() {
    if (!m_parent) return;
    if (m_parentFont) {
        // Assign raises the font's change only when something differs.
        m_followingParentFont = true;
        m_font.Assign(m_parent->Font());
        m_followingParentFont = false;
    }
    if (m_parentColor && m_color != m_parent->Color()) {
        m_color = m_parent->Color();
        ColorChanged();
    }
}

void TControl::ParentFontChanged() { FollowParent(); }
void TControl::ParentColorChanged() { FollowParent(); }

void TControl::VisibleChanged() {
    if (m_parent) m_parent->InvalidateRect(BoundsRect());
}
void TControl::EnabledChanged() { Invalidate(); }
void TControl::ColorChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }
void TControl::CaptionChanged() { Invalidate(); }

void TControl::Invalidate() {
    if (m_parent && m_visible) m_parent->InvalidateRect(BoundsRect());
}

void TControl::RequestParentRealign() {
    if (m_parent && !m_parent->Loading()) m_parent->Realign();
}

void TControl::Loaded() {
    TComponent::Loaded();
    FollowParent();
    RequestParentRealign();
    Invalidate();
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->m_parent) c = c->m_parent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint q{p.X + m_left, p.Y + m_top};
    if (m_parent) return m_parent->ClientToScreen(q);
    return q;
}

TPoint TControl::ScreenToClient(TPoint p) const {
    const TPoint origin = ClientToScreen(TPoint{0, 0});
    return TPoint{p.X - origin.X, p.Y - origin.Y};
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

// ---- the mouse --------------------------------------------------------------------

void TControl::SetCursor(TCursor value) {
    if (value == m_cursor) return;
    m_cursor = value;
    CursorChanged();
}

void TControl::CursorChanged() {}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
    if (handled) return true;
    return WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
    return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    bool handled = false;
    if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
    return handled;
}
