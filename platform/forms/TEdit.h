// A one-line edit box: the window system's standard edit control as a
// component. Text, MaxLength and ReadOnly are kept while there is no window
// and handed to it when it is made.
#pragma once

#include "platform/forms/TWinControl.h"

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);

    // The window's contents (what was set while there is no window).
    AnsiString Text() const;
    void SetText(const AnsiString& value);
    int MaxLength() const { return m_maxLength; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool value);
    // Shown in place of each character typed (a password); 0 shows the text.
    char PasswordChar() const { return m_passwordChar; }
    void SetPasswordChar(char value);
    void SelectAll();
    int SelStart() const;
    int SelLength() const;

    // Every change of the contents, by the user or by SetText.
    TNotifyEvent OnChange;

protected:
    ui::HWND CreateWindowHandle(const ui::CreateParams& params) override;
    void WndProc(TMessage& message) override;
    void FontChanged() override;

private:
    AnsiString m_text;  // while there is no window
    int m_maxLength = 0;
    bool m_readOnly = false;
    char m_passwordChar = 0;
};
