#include "platform/forms/TEdit.h"

#include "platform/forms/EditWindow.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <array>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

}  // namespace

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

ui::HWND TEdit::CreateWindowHandle(const ui::CreateParams& params) {
    ui::CreateParams p = params;
    p.style |= forms::ES_AUTOHSCROLL | (m_readOnly ? forms::ES_READONLY : 0);
    p.text = m_text;
    const ui::WndProc ours = p.proc;
    p.proc = {};
    const ui::HWND h = forms::create_edit_window(p);
    if (h == ui::kNoWindow) return h;
    // Until CreateWnd has taken the handle, talk to the edit window's own procedure.
    const ui::WndProcRef edit = ws().subclass_window(h, ours);
    SetDefaultProc(edit);
    ws().call_window_proc(edit, h, forms::EM_LIMITTEXT, static_cast<ui::WPARAM>(m_maxLength), 0);
    if (m_passwordChar)
        ws().call_window_proc(edit, h, forms::EM_SETPASSWORDCHAR, static_cast<unsigned char>(m_passwordChar), 0);
    ws().call_window_proc(edit, h, forms::WM_SETFONT, reinterpret_cast<ui::WPARAM>(&Font()), 0);
    return h;
}

AnsiString TEdit::Text() const {
    if (!HandleAllocated()) return m_text;
    // With a window allocated, Handle() only returns it.
    const ui::HWND h = const_cast<TEdit*>(this)->Handle();
    AnsiString text(static_cast<std::size_t>(ws().send_message(h, forms::WM_GETTEXTLENGTH)) + 1, '\0');
    const auto n = ws().send_message(h, forms::WM_GETTEXT, text.size(), reinterpret_cast<ui::LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(n));
    return text;
}

void TEdit::SetText(const AnsiString& value) {
    if (HandleAllocated()) {
        if (value == Text()) return;
        ws().send_message(Handle(), ui::WM_SETTEXT, 0, reinterpret_cast<ui::LPARAM>(value.c_str()));
        return;
    }
    if (value == m_text) return;
    m_text = value;
    if (!Loading() && OnChange) OnChange(this);
}

void TEdit::SetMaxLength(int value) {
    value = std::max(value, 0);
    if (value == m_maxLength) return;
    m_maxLength = value;
    if (HandleAllocated()) Perform(forms::EM_LIMITTEXT, static_cast<ui::WPARAM>(value), 0);
}

void TEdit::SetReadOnly(bool value) {
    if (value == m_readOnly) return;
    m_readOnly = value;
    if (HandleAllocated()) Perform(forms::EM_SETREADONLY, value ? 1 : 0, 0);
}

void TEdit::SetPasswordChar(char value) {
    if (value == m_passwordChar) return;
    m_passwordChar = value;
    if (HandleAllocated()) Perform(forms::EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
}

void TEdit::SelectAll() {
    if (HandleAllocated()) Perform(forms::EM_SETSEL, 0, -1);
}

int TEdit::SelStart() const {
    if (!HandleAllocated()) return 0;
    return ui::loword(static_cast<std::uintptr_t>(const_cast<TEdit*>(this)->Perform(forms::EM_GETSEL)));
}

int TEdit::SelLength() const {
    if (!HandleAllocated()) return 0;
    const auto sel = static_cast<std::uintptr_t>(const_cast<TEdit*>(this)->Perform(forms::EM_GETSEL));
    return ui::hiword(sel) - ui::loword(sel);
}

void TEdit::FontChanged() {
    if (HandleAllocated()) Perform(forms::WM_SETFONT, reinterpret_cast<ui::WPARAM>(&Font()), 1);
    TWinControl::FontChanged();
}

void TEdit::WndProc(TMessage& m) {
    if (m.Msg == forms::CN_COMMAND && ui::hiword(m.WParam) == ui::EN_CHANGE) {
        if (OnChange) OnChange(this);
        return;
    }
    if (m.Msg == ui::WM_PAINT) {
        // The edit window paints itself.
        DefaultHandler(m);
        return;
    }
    TWinControl::WndProc(m);
}
