#include "bars/TdxBarEditControl.h"

#include "bars/TdxBarControl.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "bars/TdxBarPainter.h"
#include "platform/classes/Invariant.h"
#include "platform/forms/EditWindow.h"
#include "platform/forms/TForm.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>
#include <stdexcept>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

// At most this many characters reach Text: the edit window's get-text limit less its terminating null.
constexpr std::size_t kMaxCommittedText = 254;

}  // namespace

TdxBarEditControl::TdxBarEditControl(TdxBarItemLink* link, TCustomdxBarControl* parent)
    : TdxBarWinControl(link, parent) {
    if (parent->HandleAllocated()) CreateEditWindow();
}

TdxBarEditControl::~TdxBarEditControl() {
    if (m_active) {
        m_active = false;
        if (TdxBarManagerList::ActiveEditControl() == this) TdxBarManagerList::SetActiveEditControl(nullptr);
    }
    DestroyEditWindow();
}

TdxBarEdit* TdxBarEditControl::Edit() const { return dynamic_cast<TdxBarEdit*>(Item()); }

int TdxBarEditControl::CaptionWidth() const {
    if (!Edit() || !Edit()->ShowCaption()) return 0;
    return Parent()->TextWidth(PlainCaption()) + gfx::scaled(BarManager().Style() == bmsFlat ? 11 : 6);
}

// The widths are kept at 96 dpi (the layout file holds the user's one).
int TdxBarEditControl::BoxWidth() const {
    if (Link()->UserDefine().Contains(udWidth)) return gfx::scaled(Link()->UserWidth());
    return gfx::scaled(Edit() ? Edit()->Width() : 100);
}

int TdxBarEditControl::Width() const { return CaptionWidth() + BoxWidth(); }

int TdxBarEditControl::Height() const {
    int h = Parent()->EditHeight();
    if (Edit() && Edit()->ShowCaption()) h = std::max(h, Parent()->TextItemHeight());
    return h;
}

bool TdxBarEditControl::CanSelect() const { return Enabled(); }

TRect TdxBarEditControl::TextRect() const {
    const TRect r = ItemRect();
    TRect box{r.Left + CaptionWidth(), r.Top, r.Right, r.Bottom};
    const int inset = gfx::scaled(BarManager().Style() == bmsFlat ? 1 : 2);
    return TRect{box.Left + inset, box.Top + inset, box.Right - inset, box.Bottom - inset};
}

void TdxBarEditControl::Paint(TCanvas& canvas, const TRect& r) {
    const TColor back = Parent()->BackgroundColor();
    const int cw = CaptionWidth();
    canvas.Font().Assign(Parent()->ItemsFont());
    if (cw > 0) {
        const TRect cap{r.Left, r.Top, r.Left + cw, r.Bottom};
        bars::fill(canvas, cap, back);
        canvas.Font().SetColor(Enabled() ? clBtnText : clGrayText);
        canvas.Brush().SetStyle(bsClear);
        const int th = canvas.TextHeight("0");
        canvas.TextRect(cap, cap.Left + gfx::scaled(5), cap.Top + (cap.Height() - th) / 2, PlainCaption());
        canvas.Brush().SetStyle(bsSolid);
    }
    const TRect box{r.Left + cw, r.Top, r.Right, r.Bottom};
    if (Hot() || m_active || Selected()) bars::frame(canvas, box, clHighlight);
    else bars::frame(canvas, box, Enabled() ? back : clBtnShadow);
    const TRect text = TextRect();
    // While the box is active the edit window covers its text area.
    if (m_active) return;
    bars::fill(canvas, text, Enabled() ? clWindow : back);
    canvas.Font().SetColor(Enabled() ? clWindowText : clGrayText);
    canvas.Brush().SetStyle(bsClear);
    const AnsiString shown = Edit() ? Edit()->Text() : AnsiString();
    canvas.TextRect(text, text.Left + gfx::scaled(2), text.Top + gfx::scaled(BarManager().Style() == bmsFlat ? 2 : 0), shown);
    canvas.Brush().SetStyle(bsSolid);
}

// ---- the edit window ------------------------------------------------------------------------------------

void TdxBarEditControl::CreateEditWindow() {
    if (m_edit != ui::kNoWindow || !ui::WindowSystem::exists()) return;
    ui::CreateParams p;
    p.parent = Parent()->Handle();
    // Multi-line in the flat style so that a formatting rectangle can be set.
    p.style = ui::WS_CHILD | forms::ES_AUTOHSCROLL | (BarManager().Style() == bmsFlat ? forms::ES_MULTILINE : 0);
    p.bounds = TRect{0, 0, 100, 100};
    p.text = Edit() ? Edit()->Text() : AnsiString();
    m_edit = forms::create_edit_window(p);
    if (m_edit == ui::kNoWindow) return;
    m_editProc = ws().subclass_window(m_edit, [this](ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) {
        return EditProc(h, msg, w, l);
    });
    if (Edit())
        ws().call_window_proc(m_editProc, m_edit, forms::EM_LIMITTEXT, static_cast<ui::WPARAM>(Edit()->MaxLength()), 0);
}

void TdxBarEditControl::DestroyEditWindow() {
    if (m_edit == ui::kNoWindow) return;
    const ui::HWND h = m_edit;
    m_edit = ui::kNoWindow;
    if (ui::WindowSystem::exists() && ws().is_window(h)) {
        ws().set_window_proc(h, m_editProc);
        ws().destroy_window(h);
    }
    m_editProc.reset();
}

void TdxBarEditControl::HandleCreated() { CreateEditWindow(); }

void TdxBarEditControl::HandleDestroyed() {
    if (m_active) {
        m_active = false;
        if (TdxBarManagerList::ActiveEditControl() == this) TdxBarManagerList::SetActiveEditControl(nullptr);
    }
    // The bar window's destruction takes its child with it.
    m_edit = ui::kNoWindow;
    m_editProc.reset();
}

void TdxBarEditControl::BoundsChanged() {
    if (m_active && m_edit) {
        const TRect t = TextRect();
        ws().move_window(m_edit, t);
    }
}

AnsiString TdxBarEditControl::WindowText() const {
    if (m_edit == ui::kNoWindow) return Edit() ? Edit()->Text() : AnsiString();
    char buffer[kMaxCommittedText + 1] = {};
    const auto n = ws().send_message(m_edit, forms::WM_GETTEXT, sizeof buffer, reinterpret_cast<ui::LPARAM>(buffer));
    return AnsiString(buffer, static_cast<std::size_t>(std::clamp<ui::LRESULT>(n, 0, kMaxCommittedText)));
}

void TdxBarEditControl::MouseDown(TPoint p, TShiftState) {
    const TRect r = ItemRect();
    const TRect box{r.Left + CaptionWidth(), r.Top, r.Right, r.Bottom};
    if (box.Contains(p) && Enabled()) Activate();
}

void TdxBarEditControl::Activate() {
    if (m_active || !Enabled()) return;
    CreateEditWindow();
    if (m_edit == ui::kNoWindow) return;
    // Another box still active gives the focus back first, so that this one
    // records the window the user came from, not a box about to be hidden.
    if (TdxBarEditControl* other = TdxBarManagerList::ActiveEditControl(); other && other != this) other->Deactivate(false);
    Parent()->EnterKeyboardMode(this);
    Parent()->SetSelectedControl(this);
    ui::HWND focus = ws().get_focus();
    if (focus == ui::kNoWindow || !ws().is_visible(focus)) {
        TCustomForm* form = BarManager().ParentForm();
        focus = form && form->HandleAllocated() ? form->Handle() : ui::kNoWindow;
    }
    m_focusBefore = focus;
    TdxBarEdit* edit = Edit();
    ws().send_message(m_edit, forms::EM_SETREADONLY, edit && edit->ReadOnly() ? 1 : 0, 0);
    ws().send_message(m_edit, forms::EM_LIMITTEXT, static_cast<ui::WPARAM>(edit ? edit->MaxLength() : 0), 0);
    ws().send_message(m_edit, forms::WM_SETFONT, reinterpret_cast<ui::WPARAM>(&Parent()->ItemsFont()), 0);
    if (BarManager().Style() != bmsFlat)
        ws().send_message(m_edit, forms::EM_SETMARGINS, forms::EC_LEFTMARGIN | forms::EC_RIGHTMARGIN, ui::make_lparam(2, 2));
    const TRect t = TextRect();
    m_active = true;
    TdxBarManagerList::SetActiveEditControl(this);
    ws().move_window(m_edit, t);
    ws().show_window(m_edit, ui::SW_SHOW);
    if (BarManager().Style() == bmsFlat) {
        TRect fr{2, 2, std::max(2, t.Width() - 2), std::max(2, t.Height() - 2)};
        ws().send_message(m_edit, forms::EM_SETRECT, 0, reinterpret_cast<ui::LPARAM>(&fr));
    }
    {
        m_settingText = true;
        const AnsiString text = edit ? edit->Text() : AnsiString();
        ws().send_message(m_edit, ui::WM_SETTEXT, 0, reinterpret_cast<ui::LPARAM>(text.c_str()));
        m_settingText = false;
    }
    ws().send_message(m_edit, forms::EM_SETSEL, 0, -1);
    Repaint();
    ws().set_focus(m_edit);
}

void TdxBarEditControl::RestoreFocus(ui::HWND target) {
    if (target != ui::kNoWindow && ws().is_window(target) && ws().get_focus() == m_edit) ws().set_focus(target);
}

void TdxBarEditControl::Deactivate(bool commit) {
    if (!m_active || m_deactivating) return;
    m_deactivating = true;
    if (commit && Edit()) Edit()->SetText(WindowText());
    m_active = false;
    if (TdxBarManagerList::ActiveEditControl() == this) TdxBarManagerList::SetActiveEditControl(nullptr);
    RestoreFocus(m_focusBefore);
    if (m_edit) ws().show_window(m_edit, ui::SW_HIDE);
    m_focusBefore = ui::kNoWindow;
    m_deactivating = false;
    Repaint();
}

void TdxBarEditControl::Command(int notification) {
    switch (notification) {
    case ui::EN_CHANGE:
        if (!m_settingText && m_active && Edit() && Edit()->OnCurChange) Edit()->OnCurChange(Edit());
        break;
    case ui::EN_SETFOCUS:
        if (Edit() && Edit()->OnEnter) Edit()->OnEnter(Edit());
        break;
    case ui::EN_KILLFOCUS:
        if (Edit() && Edit()->OnExit) Edit()->OnExit(Edit());
        break;
    default:
        break;
    }
}

// Returns true when the key was used up here.
bool TdxBarEditControl::EditKeyDown(int& key) {
    const TShiftState shift = TWinControl::KeyboardShiftState();
    switch (key) {
    case ui::VK_RETURN: {
        // The character of the key is not typed anywhere: the focus may move before it comes.
        ui::Msg pending;
        ws().peek_message(pending, ui::kNoWindow, ui::WM_CHAR, ui::WM_CHAR, ui::PM_REMOVE);
        Link()->MarkUsed();
        TCustomdxBarControl* bar = Parent();
        Deactivate(true);
        const bool appActive = ws().application_active();
        TCustomForm* form = BarManager().ParentForm();
        const bool formActive = form && form->HandleAllocated() && ws().get_active_window() == form->Handle();
        bar->LeaveKeyboardMode(appActive && formActive);
        return true;
    }
    case ui::VK_TAB: {
        ui::Msg pending;
        ws().peek_message(pending, ui::kNoWindow, ui::WM_CHAR, ui::WM_CHAR, ui::PM_REMOVE);
        if (Edit()) Edit()->SetText(WindowText());
        Parent()->SelectNext(this, !shift.Contains(ssShift));
        return true;
    }
    case ui::VK_ESCAPE: {
        ui::Msg pending;
        ws().peek_message(pending, ui::kNoWindow, ui::WM_CHAR, ui::WM_CHAR, ui::PM_REMOVE);
        // The typed text is lost; the bar stays in keyboard mode with this item selected.
        Deactivate(false);
        return true;
    }
    case ui::VK_F10: {
        TCustomdxBarControl* bar = Parent();
        Deactivate(false);
        bar->LeaveKeyboardMode(false);
        return true;
    }
    default:
        return false;
    }
}

ui::LRESULT TdxBarEditControl::EditProc(ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) {
    const ui::WndProcRef own = m_editProc;  // the control may go while a handler runs
    switch (msg) {
    case ui::WM_KEYDOWN:
    case ui::WM_SYSKEYDOWN: {
        int key = static_cast<int>(w);
        m_altAlone = key == ui::VK_MENU && msg == ui::WM_SYSKEYDOWN;
        if (Edit() && Edit()->OnKeyDown) Edit()->OnKeyDown(Edit(), key, TWinControl::KeyboardShiftState());
        if (key == 0) return 0;
        if (m_active && EditKeyDown(key)) return 0;
        return ws().call_window_proc(own, h, msg, static_cast<ui::WPARAM>(key), l);
    }
    case ui::WM_KEYUP:
    case ui::WM_SYSKEYUP: {
        int key = static_cast<int>(w);
        if (key == ui::VK_MENU && m_altAlone && m_active) {
            // Alt alone leaves the box for the menus.
            m_altAlone = false;
            TCustomdxBarControl* bar = Parent();
            Deactivate(false);
            bar->LeaveKeyboardMode(false);
            return 0;
        }
        if (Edit() && Edit()->OnKeyUp) Edit()->OnKeyUp(Edit(), key, TWinControl::KeyboardShiftState());
        if (key == 0) return 0;
        return ws().call_window_proc(own, h, msg, static_cast<ui::WPARAM>(key), l);
    }
    case ui::WM_CHAR: {
        char c = static_cast<char>(w);
        if (c == '\r' || c == '\t' || c == 27) return 0;
        if (Edit() && Edit()->OnKeyPress) Edit()->OnKeyPress(Edit(), c);
        if (c == 0) return 0;
        return ws().call_window_proc(own, h, msg, static_cast<unsigned char>(c), l);
    }
    case ui::WM_KILLFOCUS: {
        const ui::LRESULT r = ws().call_window_proc(own, h, msg, w, l);
        if (m_active && !m_deactivating) {
            // Focus taken elsewhere: the typing is lost unless the manager always saves it.
            const bool escHeld = ws().get_async_key_state(ui::VK_ESCAPE) < 0 && ws().get_async_key_state(ui::VK_CONTROL) >= 0 &&
                                 ws().get_async_key_state(ui::VK_MENU) >= 0;
            const bool commit = BarManager().AlwaysSaveText() && !escHeld;
            m_deactivating = true;
            if (commit && Edit()) Edit()->SetText(WindowText());
            m_active = false;
            if (TdxBarManagerList::ActiveEditControl() == this) TdxBarManagerList::SetActiveEditControl(nullptr);
            ws().show_window(h, ui::SW_HIDE);
            // Taken by another window (a dialog over the form): when the form
            // has the focus again, it goes where the user came from, not to
            // this hidden box.
            if (ws().get_top_level(static_cast<ui::HWND>(w)) != ws().get_top_level(h) && m_focusBefore != ui::kNoWindow)
                ws().set_focus_to_restore(m_focusBefore);
            m_focusBefore = ui::kNoWindow;
            m_deactivating = false;
            Parent()->LeaveKeyboardMode(false);
            Repaint();
        }
        return r;
    }
    default:
        return ws().call_window_proc(own, h, msg, w, l);
    }
}

void TdxBarEditControl::check_invariants() const {
#ifndef NDEBUG
    const bool shown = m_edit != ui::kNoWindow && ws().is_visible(m_edit);
    INVARIANT(!m_active || shown, "edit control: active without a shown window");
    INVARIANT(!m_active || TdxBarManagerList::ActiveEditControl() == this, "edit control: active but not recorded");
    INVARIANT(m_active || !shown, "edit control: inactive with a shown window");
#endif
}
