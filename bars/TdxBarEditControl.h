// The control of an edit item's link in a horizontal bar: a caption and a
// text box. Its edit window exists while the link is shown and is visible
// only while the box is active; the item's Text changes only on Enter and Tab.
//
// Invariants (check_invariants):
//  - Active() implies the edit window exists, is visible and this control is
//    the process's active edit control;
//  - not Active() implies the edit window (if any) is hidden.
#pragma once

#include "bars/TdxBarItemControl.h"
#include "platform/ui/Forward.h"

class TdxBarEditControl : public TdxBarWinControl {
public:
    TdxBarEditControl(TdxBarItemLink* link, TCustomdxBarControl* parent);
    ~TdxBarEditControl() override;

    TdxBarEdit* Edit() const;
    int Width() const override;
    int Height() const override;
    void Paint(TCanvas& canvas, const TRect& r) override;
    bool CanSelect() const override;

    void MouseDown(TPoint p, TShiftState shift) override;
    void MouseUp(TPoint, TShiftState) override {}
    void ActivateByKey() override { Activate(); }
    void SelectedByTab() override { Activate(); }
    void HandleCreated() override;
    void HandleDestroyed() override;
    void BoundsChanged() override;

    ui::HWND WindowHandle() const override { return m_edit; }
    void Command(int notification) override;

    bool Active() const { return m_active; }
    // Shows the edit window over the box with the item's Text selected, and focuses it.
    void Activate();
    // Hides the box; copies its text into Text first when `commit`.
    void Deactivate(bool commit);
    // The edit window's contents, at most 254 characters.
    AnsiString WindowText() const;

    // Width of the caption part (0 without a caption) and the box part.
    int CaptionWidth() const;
    int BoxWidth() const;
    // The text area inside the box frame (bar window coordinates).
    TRect TextRect() const;

    void check_invariants() const;

private:
    ui::LRESULT EditProc(ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l);
    bool EditKeyDown(int& key);
    void CreateEditWindow();
    void DestroyEditWindow();
    void RestoreFocus(ui::HWND target);

    ui::HWND m_edit = ui::kNoWindow;
    ui::WndProcRef m_editProc;  // the edit window's own procedure
    bool m_active = false;
    bool m_settingText = false;
    bool m_deactivating = false;
    bool m_altAlone = false;  // Alt went down with no other key since
    ui::HWND m_focusBefore = ui::kNoWindow;
};
