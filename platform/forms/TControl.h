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
#include "platform/classes/TSet.h"
#include "platform/gfx/TColor.h"
#include "platform/gfx/TFont.h"
#include "platform/gfx/TRect.h"
#include "text/AnsiString.h"

#include <functional>

class TWinControl;
class TCustomForm;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TShiftFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftFlag>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// A pointer shape by its number in the screen's cursor table (TScreen):
// the standard shapes have the negative numbers below, components register
// their own pictures under numbers of their choosing.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// X and Y in the control's client coordinates.
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// MousePos in screen coordinates; a handler sets Handled to keep the wheel from the parent.
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;

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

    virtual TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Asks for a repaint of the whole control.
    virtual void Invalidate();

    TNotifyEvent OnClick;
    virtual void Click();

    // ---- the mouse ------------------------------------------------------------
    // The shape shown while the pointer is over the control (and no
    // Screen().Cursor overrides it).
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor value);

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnDblClick;
    TMouseWheelEvent OnMouseWheel;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;

    // The framework's mouse steps, called with the control's client
    // coordinates; descendants override them and call the base to raise the events.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DblClick();
    // OnMouseWheel, then OnMouseWheelDown or OnMouseWheelUp (by the sign of
    // the delta) unless handled; true when handled.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);

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
    // Cursor changed: a windowed control shows it at once when the pointer is over it.
    virtual void CursorChanged();
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
    TCursor m_cursor = crDefault;
};
