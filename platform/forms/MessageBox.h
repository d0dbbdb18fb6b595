// The message box: a small modal dialog with a text and its buttons, centred
// over the main form, ended by a button, Enter (the first button), Esc or the
// close box (the last button's cancel answer).
#pragma once

#include "text/AnsiString.h"

namespace forms {

enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

// Shows the box and returns the button chosen: mrOk, mrCancel, mrYes or mrNo.
int message_box(const AnsiString& text, const AnsiString& caption, unsigned flags);

}  // namespace forms
