// Controls with a window of their own: they hold child controls, place the
// aligned ones, take the keyboard focus in tab order and receive the window
// system's messages through WndProc.
//
// The window is created on demand (Handle(), HandleNeeded()), after the
// parent's, and creates the windows of its windowed children with it; until
// then setters only record their values. Destroying the control destroys its
// window and leaves its children without a parent (their owner frees them).
//
// Window scroll bars live in strips at the right and bottom edges that are
// not part of ClientRect(); the control sees their commands as WM_VSCROLL and
// WM_HSCROLL and never the mouse input inside them.
#pragma once

#include "platform/forms/FormsMessages.h"
#include "platform/forms/TControl.h"
#include "platform/forms/WindowScrollBar.h"
#include "platform/ui/Forward.h"

#include <functional>
#include <vector>

class TCanvas;

// A message as a control's WndProc sees it.
struct TMessage {
    ui::UINT Msg = 0;
    ui::WPARAM WParam = 0;
    ui::LPARAM LParam = 0;
    ui::LRESULT Result = 0;
};

using TKeyEvent = std::function<void(TObject* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

enum TScrollBarKind { sbHorizontal, sbVertical };

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // ---- the window ---------------------------------------------------------
    ui::HWND Handle();
    // Moving a control with a window to another parent keeps the window.
    void SetParent(TWinControl* value) override;
    bool HandleAllocated() const { return m_handle != ui::kNoWindow; }
    void HandleNeeded() { (void)Handle(); }
    // The control of a window made by the framework, or nullptr.
    static TWinControl* FindControl(ui::HWND h);

    // Runs a message through the window's procedure, as the window system would.
    ui::LRESULT Perform(ui::UINT msg, ui::WPARAM w = 0, ui::LPARAM l = 0);

    // ---- children -------------------------------------------------------------
    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl* Controls(int index) const { return m_controls.at(static_cast<std::size_t>(index)); }

    // ---- alignment ---------------------------------------------------------------
    // Places the aligned children: alTop ones from the top in the order of
    // their tops, alBottom ones from the bottom in reverse order of their
    // bottoms, then alLeft, alRight, and alClient takes what is left.
    void Realign();
    bool Aligning() const { return m_aligning > 0; }
    TRect ClientRect() const override;

    // ---- focus and tab order -------------------------------------------------------
    // The position among the parent's windowed children; -1 without a parent.
    // Set before the control has a parent, it is applied when it gets one.
    int TabOrder() const;
    void SetTabOrder(int value);
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool value) { m_tabStop = value; }
    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();
    // Windowed descendants in tab order, depth first.
    std::vector<TWinControl*> TabList() const;
    // Gives the focus to the next (or previous) descendant in tab order after
    // `current` that can take it (and is a tab stop when asked), wrapping
    // around. Returns it, or nullptr.
    TWinControl* SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    // ---- the frame -----------------------------------------------------------------
    // A control with a frame answers WM_NCCALCSIZE (and WM_NCPAINT,
    // WM_NCHITTEST) in its WndProc; after a change of its size it calls
    // FrameChanged, after a change of its look InvalidateFrame.
    void FrameChanged();
    void InvalidateFrame();
    TPoint ClientToScreen(TPoint p) const override;

    // ---- painting --------------------------------------------------------------------
    void Invalidate() override;
    // Asks for a repaint of a rectangle of the window.
    void InvalidateRect(const TRect& r);
    // Paints what is pending now.
    void Update();

    // ---- scroll bars -------------------------------------------------------------------
    void SetScrollInfo(TScrollBarKind kind, const forms::ScrollValues& values, bool redraw = true);
    forms::ScrollValues GetScrollInfo(TScrollBarKind kind) const;
    int GetScrollTrackPos(TScrollBarKind kind) const;
    void ShowScrollBar(TScrollBarKind kind, bool show);
    bool ScrollBarVisible(TScrollBarKind kind) const { return m_scrollShown[kind]; }
    void SetFlatScrollBars(bool flat);
    bool FlatScrollBars() const { return m_scroll[0].flat(); }
    static constexpr int kScrollBarSize = 16;

    // ---- events -------------------------------------------------------------------------
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TNotifyEvent OnResize;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Shift, Ctrl and Alt as the keyboard holds them now: of the current
    // window system (none without one), or of the one given.
    static TShiftState KeyboardShiftState();
    static TShiftState KeyboardShiftState(const ui::WindowSystem& ws);
    // The shift state of a mouse message's key flags (MK_*), with Alt as the keyboard has it.
    static TShiftState MouseShiftState(ui::WPARAM keys);
    // The visible, enabled child without a window of its own at a client point, or nullptr.
    TControl* ControlAtPos(TPoint p) const;

protected:
    bool IsWindowed() const override { return true; }
    void Loaded() override;
    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void CaptionChanged() override;
    void ParentFontChanged() override;
    void ParentColorChanged() override;
    void CursorChanged() override;

    virtual void CreateParams(ui::CreateParams& params);
    virtual void CreateWnd();
    // Makes the window; controls built on a window class of the window system
    // create theirs here and take over its procedure (SetDefaultProc).
    virtual ui::HWND CreateWindowHandle(const ui::CreateParams& params);
    void DestroyHandle();
    // For controls built on a window class of the window system: the
    // procedure to pass unhandled messages to instead of the default one.
    void SetDefaultProc(ui::WndProcRef proc) { m_defaultProc = std::move(proc); }

    // Every message of the window arrives here; what it does not handle goes to DefaultHandler.
    virtual void WndProc(TMessage& message);
    void DefaultHandler(TMessage& message);
    // The client rectangle less what the control draws around it: where aligned children go.
    virtual void AdjustClientRect(TRect& rect) const;
    // Draws the control's pixels into the client area; the children without
    // windows are drawn over it afterwards. The default fills with Color.
    virtual void PaintWindow(TCanvas& canvas);
    // Keys the control handles itself; the others of Tab, Enter and Esc go to its form.
    virtual bool WantsKey(int key) const;
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    // The client area changed size.
    virtual void Resize();

private:
    friend class TControl;

    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void AlignControls(TRect rect);
    void PaintHandler();
    void PaintScrollBars(TCanvas& canvas);
    void LayoutScrollBars();
    bool ScrollBarMessage(ui::UINT msg, ui::WPARAM w, ui::LPARAM l);
    void WindowResized();
    ui::LRESULT MainWndProc(ui::UINT msg, ui::WPARAM w, ui::LPARAM l);
    bool MouseMessage(TMessage& m);
    bool SetCursorMessage(const TMessage& m);

    ui::HWND m_handle = ui::kNoWindow;
    ui::WndProcRef m_defaultProc;
    std::vector<TControl*> m_controls;    // in insertion order
    std::vector<TWinControl*> m_tabList;  // windowed children in tab order
    bool m_tabStop = false;
    int m_storedTabOrder = -1;  // set before the control had a parent
    int m_aligning = 0;
    bool m_takingWindowBounds = false;
    bool m_keepHandle = false;  // being moved to another parent  // the window system moved the window: no move back
    forms::WindowScrollBar m_scroll[2] = {forms::WindowScrollBar(false), forms::WindowScrollBar(true)};
    bool m_scrollShown[2] = {false, false};
    int m_scrollPressed = -1;  // the bar holding the mouse
    TControl* m_mouseControl = nullptr;  // a windowless child holding the mouse from a press
};
