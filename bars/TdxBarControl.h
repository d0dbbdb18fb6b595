// Bar windows. TCustomdxBarControl shows a list of links through item
// controls and handles hot tracking, clicks and keyboard mode (a selected
// item that Tab, Enter and Esc act on); TdxBarControl is the window of a
// docked or floating bar: borders, grip, mark button, the lines of items,
// and dragging the bar by its grip.
//
// Invariants (check_invariants):
//  - every shown link of the bar has an item control whose parent is this window, and no other link has;
//  - the selected and hot controls are among them (or none).
#pragma once

#include "bars/BarLineLayout.h"
#include "bars/dxBarTypes.h"
#include "platform/forms/TCustomControl.h"

#include <vector>

class TCanvas;

class TCustomdxBarControl : public TCustomControl {
public:
    TCustomdxBarControl(TdxBarManager& manager, TdxBarItemLinks& links);
    ~TCustomdxBarControl() override;

    TdxBarManager& BarManager() const { return m_manager; }
    TdxBarItemLinks& ItemLinks() const { return m_links; }

    // The fonts of the items: the manager's (or the bar's own).
    virtual const TFont& ItemsFont() const;
    // Height of "0" plus 6; edit boxes add one in the flat style.
    int TextItemHeight() const;
    int EditHeight() const;
    // Text measurement in the items' font.
    int TextWidth(const AnsiString& text) const;
    virtual bool Vertical() const { return false; }
    // Background of the items.
    virtual TColor BackgroundColor() const;

    // The links' shown list changed: item controls made or freed.
    virtual void RebuildControls();
    // Lays the item controls out again.
    virtual void LayoutChanged() = 0;
    void InvalidateItem(TdxBarItemControl* control);

    TdxBarItemControl* ItemAt(TPoint p) const;
    std::vector<TdxBarItemControl*> ItemControls() const;

    // ---- keyboard mode ---------------------------------------------------------------
    bool KeyboardMode() const { return m_keyboardMode; }
    TdxBarItemControl* SelectedControl() const { return m_selected; }
    void EnterKeyboardMode(TdxBarItemControl* selected);
    // Leaves keyboard mode; gives the focus back to where it was when `restoreFocus`.
    void LeaveKeyboardMode(bool restoreFocus);
    void SetSelectedControl(TdxBarItemControl* control);
    // Moves the selection to the next (previous) selectable control, wrapping around,
    // and lets it know it was reached by Tab.
    void SelectNext(TdxBarItemControl* from, bool forward);
    // A key for the bar in keyboard mode (for the keyboard hook): Esc leaves,
    // Enter activates the selected control, Tab and the arrows move. Returns whether used.
    virtual bool KeyboardModeKey(int key, TShiftState shift);
    ui::HWND FocusBeforeKeyboardMode() const { return m_focusBefore; }

    void SetHotControl(TdxBarItemControl* control);
    TdxBarItemControl* HotControl() const { return m_hot; }
    // A control is about to go: forget it.
    void ControlDestroyed(TdxBarItemControl* control);

protected:
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    // Mouse messages in the items' area (client coordinates).
    virtual void MouseDown(TPoint p, TShiftState shift, bool dbl);
    virtual void MouseMove(TPoint p, TShiftState shift);
    virtual void MouseUp(TPoint p, TShiftState shift);
    virtual void MouseLeave();
    void PaintItems(TCanvas& canvas);
    TdxBarItemControl* m_pressedControl = nullptr;

private:
    TdxBarManager& m_manager;
    TdxBarItemLinks& m_links;
    bool m_keyboardMode = false;
    TdxBarItemControl* m_selected = nullptr;
    TdxBarItemControl* m_hot = nullptr;
    ui::HWND m_focusBefore = ui::kNoWindow;
};

class TdxBarControl : public TCustomdxBarControl {
public:
    explicit TdxBarControl(TdxBar& bar);
    ~TdxBarControl() override;

    TdxBar& Bar() const { return m_bar; }
    TdxDockControl* DockControl() const { return m_dock; }
    void SetDockControl(TdxDockControl* dock) { m_dock = dock; }
    bool Docked() const { return m_dock != nullptr; }
    bool Vertical() const override;
    const TFont& ItemsFont() const override;
    TColor BackgroundColor() const override;

    // ---- measures along and across the bar (docked) ---------------------------------
    // Borders: the grip side adds grip size plus 4 along, 4 across.
    int BorderAlong() const;
    int BorderAcross() const;
    bool MarkAlwaysShown() const;
    int NaturalLength() const;
    int MinLength() const;
    int ThicknessAt(int length) const;
    // Takes the place the dock's row layout gave (site client coordinates).
    void SetDockedPlace(int position, int across, int length, int thickness, bool truncated);
    bool Truncated() const { return m_truncated; }

    // ---- floating ------------------------------------------------------------------------
    static constexpr int kFloatFrame = 3;
    static constexpr int kFloatCaption = 15;
    // Sizes the floating window to its items at the stored float width.
    void UpdateFloatingSize();

    TRect GripRect() const;
    TRect MarkRect() const;
    TRect CaptionRect() const;
    // Where the items lie (client coordinates).
    TRect ItemsArea() const;

    void LayoutChanged() override;
    bool Dragging() const { return m_dragging; }
    // Moves the window object under another parent (nullptr: floating), making its window anew.
    void Reparent(TWinControl* parent);

    void check_invariants() const;

protected:
    void CreateParams(ui::CreateParams& params) override;
    void Paint() override;
    void WndProc(TMessage& message) override;
    void MouseDown(TPoint p, TShiftState shift, bool dbl) override;
    void MouseMove(TPoint p, TShiftState shift) override;
    void MouseUp(TPoint p, TShiftState shift) override;

private:
    std::vector<bars::LineItem> MeasureItems() const;
    void PlaceItems();
    void DragTo(TPoint screen);
    void EndDrag();
    void DockingTimer();
    // The dock zone under a would-be corner, with the row and position there.
    struct DockHit {
        TdxDockControl* dock = nullptr;
        int row = 0;
        bool new_row = false;
        int position = 0;
    };
    DockHit FindDockZone(TPoint corner) const;
    void PaintBorders(TCanvas& canvas);
    void PaintGrip(TCanvas& canvas);
    void PaintMark(TCanvas& canvas);
    void PaintFloatingFrame(TCanvas& canvas);

    TdxBar& m_bar;
    TdxDockControl* m_dock = nullptr;
    bool m_truncated = false;
    int m_length = 0;
    std::vector<bars::LinePlace> m_places;

    bool m_dragging = false;
    TPoint m_dragOffset;
    TPoint m_lastCursor;
    bool m_dockTimerRunning = false;
};
