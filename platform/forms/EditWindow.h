// The window system's standard edit control: a one-line text box driven by
// messages, as the bars' edit items and TEdit use it.
//
// It keeps an EditBuffer (text, selection, limit, read-only) and answers:
//   WM_SETTEXT, WM_GETTEXT (wParam: buffer size with its terminating null),
//   WM_GETTEXTLENGTH, WM_SETFONT (wParam: const TFont*, copied), EM_SETSEL,
//   EM_GETSEL, EM_REPLACESEL, EM_LIMITTEXT, EM_GETLIMITTEXT, EM_SETREADONLY,
//   EM_SETMARGINS / EM_GETMARGINS, EM_SETRECT / EM_SETRECTNP / EM_GETRECT
//   (lParam: TRect*), WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, EM_SETPASSWORDCHAR
//   (wParam: the character shown for each one typed, 0 shows the text;
//   style ES_PASSWORD starts with '*'; a masked text is never cut or copied);
// and handles the keys Left, Right, Home, End (with Shift to select, with
// Ctrl by words), Backspace, Delete, Ctrl+C / Ctrl+Insert (copy), Ctrl+V /
// Shift+Insert (paste), Ctrl+X / Shift+Delete (cut), Ctrl+A, typed
// characters, and the mouse (click places the caret, Shift+click and
// dragging select, double click selects a word).
//
// Every change of the contents, WM_SETTEXT included, is reported to the
// parent as WM_COMMAND with EN_CHANGE in the high word of wParam, the
// window's id in the low word and the edit window in lParam. Before drawing,
// the parent is asked for colours with WM_CTLCOLOREDIT (lParam: EditColors*,
// filled with the defaults; a non-zero result keeps the parent's choice).
#pragma once

#include "platform/forms/EditBuffer.h"
#include "platform/forms/FormsMessages.h"
#include "platform/gfx/TFont.h"
#include "platform/ui/WindowSystem.h"

namespace forms {

inline constexpr ui::UINT EM_GETSEL = 0x00B0;
inline constexpr ui::UINT EM_SETSEL = 0x00B1;
inline constexpr ui::UINT EM_GETRECT = 0x00B2;
inline constexpr ui::UINT EM_SETRECT = 0x00B3;
inline constexpr ui::UINT EM_SETRECTNP = 0x00B4;
inline constexpr ui::UINT EM_REPLACESEL = 0x00C2;
inline constexpr ui::UINT EM_LIMITTEXT = 0x00C5;
inline constexpr ui::UINT EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr ui::UINT EM_SETREADONLY = 0x00CF;
inline constexpr ui::UINT EM_SETMARGINS = 0x00D3;
inline constexpr ui::UINT EM_GETMARGINS = 0x00D4;
inline constexpr ui::UINT EM_GETLIMITTEXT = 0x00D5;

// EN_CHANGE, EN_SETFOCUS and EN_KILLFOCUS are the window system's.
inline constexpr int EN_MAXTEXT = 0x0501;

inline constexpr ui::WPARAM EC_LEFTMARGIN = 1;
inline constexpr ui::WPARAM EC_RIGHTMARGIN = 2;

inline constexpr std::uint32_t ES_MULTILINE = 0x0004;
inline constexpr std::uint32_t ES_PASSWORD = 0x0020;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr std::uint32_t ES_READONLY = 0x0800;

struct EditColors {
    TColor text = clWindowText;
    TColor background = clWindow;
};

// Creates an edit window; it lives until the window is destroyed. Unhandled
// messages of a procedure that subclasses it go back to it through
// call_window_proc as usual.
ui::HWND create_edit_window(const ui::CreateParams& params);

// The clipboard's text: the system's while a window system runs, otherwise
// what the edit windows last cut or copied.
AnsiString clipboard_text();
void set_clipboard_text(const AnsiString& text);

}  // namespace forms
