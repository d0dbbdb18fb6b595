// Forms: top-level windows built from a stored layout.
//
// A form is created by TApplication::CreateForm (or CreateFromLayout on one
// made by hand): its ReadLayout creates the components in stored order
// through a LayoutReader, every loaded step runs when the whole layout has
// been read, and then OnCreate. An exception from OnCreate is shown by the
// application and creation goes on; one from the layout or a loaded step
// leaves the creation.
//
// Forms start hidden. ShowModal disables the other windows until
// ModalResult is set (a button with a ModalResult, Close, the close box).
#pragma once

#include "platform/forms/LayoutReader.h"
#include "platform/forms/TWinControl.h"
#include "platform/gfx/Resources.h"

#include <functional>
#include <memory>
#include <string_view>

// Enumerations are plain enums whose values carry the short prefix of their
// type (bsNone, wsMaximized), as the framework's users spell them. A value
// name belongs to one type in the whole program: where two option sets
// share values, they share the type (a control's TBorderStyle is the form's,
// used with bsNone and bsSingle only); a new set picks a prefix nobody uses,
// and the compiler refuses a second definition of a name.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    // Raises OnDestroy while the whole form still stands.
    void BeforeDestruction() override;

    // Reads the layout, runs the loaded steps, then OnCreate.
    void CreateFromLayout();

    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition value) { m_position = value; }
    TWindowState WindowState() const { return m_windowState; }
    void SetWindowState(TWindowState value);

    // The form's icon, a picture of the program's resources by name; the
    // window shows it in its title bar and the task bar.
    const gfx::MaskedImage* Icon() const { return m_icon.get(); }
    void SetIcon(std::string_view resource);

    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult value);
    TModalResult ShowModal();
    bool Modal() const { return m_modal; }

    void Show();
    void Close();

    // The focused control of this form, or nullptr.
    TWinControl* ActiveControl() const;
    // Tab and Shift+Tab move the focus; Enter clicks the default button and
    // Esc the cancel button. Returns whether the key was used.
    virtual bool DialogKey(int key, TShiftState shift);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;

protected:
    // Creates the stored components and sets the stored properties, form's first.
    virtual void ReadLayout(forms::LayoutReader& reader);
    void CreateParams(ui::CreateParams& params) override;
    void WndProc(TMessage& message) override;
    void VisibleChanged() override;
    virtual void DoCreate();
    virtual void DoClose(TCloseAction& action);

private:
    void PlaceOnShow();
    int ShowCommand() const;
    void ShowWindow();
    void HideWindow();

    TFormBorderStyle m_borderStyle = bsSizeable;
    TPosition m_position = poDesigned;
    TWindowState m_windowState = wsNormal;
    TModalResult m_modalResult = mrNone;
    bool m_modal = false;
    bool m_windowShown = false;
    std::shared_ptr<const gfx::MaskedImage> m_icon;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};
