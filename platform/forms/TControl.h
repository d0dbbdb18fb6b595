// Controls: components with a place on a parent control.
//
// A TControl has bounds in its parent's client coordinates, an alignment, a
// colour and a font that may follow the parent's, and visible and enabled
// states. A control without a window of its own (TGraphicControl) is drawn by
// its parent; TWinControl adds the window.
//
// While loading, setters only store; Loaded() realigns the parent and brings
// any window up to date. Out-of-range sizes are clamped to zero.
#pragma once

#include "platform/classes/TComponent.h"
#include "platform/gfx/TColor.h"
#include "platform/gfx/TFont.h"
#include "platform/gfx/TRect.h"
#include "text/AnsiString.h"

class TWinControl;
class TCustomForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* value);

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetLeft(int value) { SetBounds(value, m_top, m_width, m_height); }
    void SetTop(int value) { SetBounds(m_left, value, m_width, m_height); }
    void SetWidth(int value) { SetBounds(m_left, m_top, value, m_height); }
    void SetHeight(int value) { SetBounds(m_left, m_top, m_width, value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(m_left, m_top, m_width, m_height); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }

    // The client area in the control's own coordinates.
    virtual TRect ClientRect() const { return TRect{0, 0, m_width, m_height}; }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    // Sizes the control so that its client area gets the given size.
    void SetClientWidth(int value) { SetWidth(m_width + value - ClientWidth()); }
    void SetClientHeight(int value) { SetHeight(m_height + value - ClientHeight()); }

    TAlign Align() const { return m_align; }
    void SetAlign(TAlign value);

    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents up to a form.
    bool Showing() const;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);

    TColor Color() const { return m_color; }
    void SetColor(TColor value);
    bool ParentColor() const { return m_parentColor; }
    void SetParentColor(bool value);

    // The control's font; with ParentFont it follows the parent's, and changing
    // the font here ends that.
    TFont& Font() { return m_font; }
    const TFont& Font() const { return m_font; }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);

    const AnsiString& Caption() const { return m_caption; }
    void SetCaption(const AnsiString& value);

    // The form the control lies on, or nullptr.
    TCustomForm* GetParentForm() const;

    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Asks for a repaint of the whole control.
    virtual void Invalidate();

    TNotifyEvent OnClick;
    virtual void Click();

protected:
    void Loaded() override;
    virtual bool IsWindowed() const { return false; }
    // Hooks for descendants; called outside the loading state.
    virtual void BoundsChanged() {}
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void ColorChanged();
    virtual void FontChanged();
    virtual void CaptionChanged();
    // The parent's font or colour changed.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // Applies the parent's font and colour where this control follows them.
    void FollowParent();
    // Realigns the parent's controls, unless a loading step will.
    void RequestParentRealign();

private:
    friend class TWinControl;
    friend class TCustomForm;

    TWinControl* m_parent = nullptr;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    TAlign m_align = alNone;
    bool m_visible = true;
    bool m_enabled = true;
    TColor m_color = clBtnFace;
    bool m_parentColor = false;
    TFont m_font;
    bool m_followingParentFont = false;  // the font is being set from the parent's
    bool m_parentFont = true;
    AnsiString m_caption;
};
