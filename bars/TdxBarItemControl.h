// Item controls: the light-weight objects that lay out, paint and handle the
// mouse and keyboard for one shown link inside a bar window. They have no
// window of their own (an edit control owns a child edit window).
//
// The mouse and keyboard entry points are virtual so that menus can give
// their own behaviour to the same items.
//
// Invariants: a control lives exactly as long as its link is shown in the
// bar window Parent(); Hot and Pressed are only set while the parent exists.
#pragma once

#include "bars/dxBarTypes.h"
#include "platform/forms/TWinControl.h"
#include "platform/gfx/TRect.h"

class TCanvas;

class TdxBarItemControl : public TObject {
public:
    TdxBarItemControl(TdxBarItemLink* link, TCustomdxBarControl* parent);
    ~TdxBarItemControl() override;

    TdxBarItemLink* Link() const { return m_link; }
    TdxBarItem* Item() const;
    TCustomdxBarControl* Parent() const { return m_parent; }
    TdxBarManager& BarManager() const;
    // The rectangle in the bar window given by the last layout.
    TRect ItemRect() const;

    // Size wanted in a horizontal bar (a vertical bar turns it).
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Paint(TCanvas& canvas, const TRect& r) = 0;

    bool Hot() const { return m_hot; }
    void SetHot(bool value);
    bool Pressed() const { return m_pressed; }
    void SetPressed(bool value);
    bool Enabled() const;
    // Selected by the keyboard in its bar: drawn like the hot item.
    bool Selected() const;
    // Whether keyboard mode can select the control.
    virtual bool CanSelect() const;

    // ---- input (client coordinates of the bar window) -----------------------------
    virtual void MouseDown(TPoint p, TShiftState shift);
    virtual void MouseMove(TPoint p, TShiftState shift);
    virtual void MouseUp(TPoint p, TShiftState shift);
    virtual void DblClick(TPoint p);
    // Enter on the selected control in keyboard mode.
    virtual void ActivateByKey();
    // Tab moved keyboard selection here.
    virtual void SelectedByTab() {}
    // The click of the link.
    virtual void Click(bool byMouse);

    // The bar window got or lost its window.
    virtual void HandleCreated() {}
    virtual void HandleDestroyed() {}
    // The layout moved the control.
    virtual void BoundsChanged() {}

    void Repaint();

    void check_invariants() const;

protected:
    // Caption without "&" characters, as measured and drawn.
    AnsiString PlainCaption() const;

private:
    TdxBarItemLink* m_link;
    TCustomdxBarControl* m_parent;
    bool m_hot = false;
    bool m_pressed = false;
};

class TdxBarButtonControl : public TdxBarItemControl {
public:
    using TdxBarItemControl::TdxBarItemControl;
    int Width() const override;
    int Height() const override;
    void Paint(TCanvas& canvas, const TRect& r) override;

protected:
    bool ShowsGlyph() const;
    bool ShowsCaption() const;
    // Down (checked) state of a checked button.
    virtual bool Checked() const;
};

class TdxBarSubItemControl : public TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    int Width() const override;
    void Paint(TCanvas& canvas, const TRect& r) override;
    // Menus open on press: the click is theirs.
    void MouseDown(TPoint p, TShiftState shift) override;
    void MouseUp(TPoint p, TShiftState shift) override;

    bool DroppedDown() const { return m_droppedDown; }
    void SetDroppedDown(bool value);

private:
    bool m_droppedDown = false;
};

// Controls that own a child window inside the bar window.
class TdxBarWinControl : public TdxBarItemControl {
public:
    using TdxBarItemControl::TdxBarItemControl;
    // The child window, while there is one.
    virtual ui::HWND WindowHandle() const = 0;
    // Notifications of the child window, passed back by the bar window.
    virtual void Command(int notification) = 0;
};
