// Push buttons drawn by the framework: a raised face that sinks while
// pressed, a dark frame around the default button, a focus rectangle, and a
// click from the mouse (press and release over the button) or from Space.
// A click with a ModalResult hands it to the form, which ends a modal showing.
#pragma once

#include "platform/forms/TForm.h"

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

    // Enter anywhere on the form clicks the default button, Esc the cancel button.
    bool Default() const { return m_default; }
    void SetDefault(bool value);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value) { m_cancel = value; }
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult value) { m_modalResult = value; }

    void Click() override;
    bool Down() const { return m_down; }

protected:
    void WndProc(TMessage& message) override;
    void PaintWindow(TCanvas& canvas) override;
    // The face's contents inside the border; the default draws the caption centred.
    virtual void PaintContents(TCanvas& canvas, const TRect& face, bool down);

private:
    void SetDown(bool value);

    bool m_default = false;
    bool m_cancel = false;
    TModalResult m_modalResult = mrNone;
    bool m_down = false;       // drawn pressed
    bool m_tracking = false;   // the left button went down on us
    bool m_spaceDown = false;
};
