#include "platform/forms/TForm.h"

#include "platform/classes/ScopeExit.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TButtonControl.h"
#include "platform/ui/WindowSystem.h"

#include <algorithm>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    m_visible = false;  // forms are created hidden
    SetBounds(0, 0, 320, 240);
}

void TCustomForm::BeforeDestruction() {
    if (OnDestroy) forms::run_handler(this, [this] { OnDestroy(this); });
    TWinControl::BeforeDestruction();
}

TCustomForm::~TCustomForm() {
    // The components go while the form is still whole, so that their
    // destructors can still reach it (parents, notifications).
    while (ComponentCount() > 0) TComponent::Free(Components(ComponentCount() - 1));
    DestroyHandle();
}

void TCustomForm::ReadLayout(forms::LayoutReader&) {}

void TCustomForm::CreateFromLayout() {
    {
        forms::LayoutReader reader(*this);
        ReadLayout(reader);
        reader.finish();
    }
    DoCreate();
}

void TCustomForm::DoCreate() {
    if (!OnCreate) return;
    forms::run_handler(this, [this] { OnCreate(this); });
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (value == m_borderStyle) return;
    m_borderStyle = value;
    // The frame is the window's own: a new one needs a new window.
    if (!Loading() && HandleAllocated()) {
        const bool shown = m_windowShown;
        DestroyHandle();
        m_windowShown = false;
        if (shown) ShowWindow();
    }
}

void TCustomForm::SetWindowState(TWindowState value) {
    if (value == m_windowState) return;
    m_windowState = value;
    if (!Loading() && HandleAllocated() && m_windowShown)
        ws().show_window(Handle(), ShowCommand());
}

void TCustomForm::CreateParams(ui::CreateParams& params) {
    TWinControl::CreateParams(params);
    params.parent = ui::kNoWindow;
    params.style &= ~ui::WS_CHILD;
    // Other forms stay above the main form.
    if (Application && Application->MainForm() && Application->MainForm() != this &&
        Application->MainForm()->HandleAllocated())
        params.owner = Application->MainForm()->Handle();
    if (m_borderStyle == bsToolWindow || m_borderStyle == bsSizeToolWin) params.ex_style |= ui::WS_EX_TOOLWINDOW;
    if (m_borderStyle == bsNone) params.style |= ui::WS_POPUP;
    if (m_borderStyle == bsDialog) params.ex_style |= ui::WS_EX_DLGMODALFRAME;
    params.icon = m_icon;
    // Dialogs and tool windows keep their size; the user sizes only these.
    if (m_borderStyle == bsSizeable || m_borderStyle == bsSizeToolWin) params.style |= ui::WS_THICKFRAME;
    if (m_windowState == wsMaximized && m_borderStyle != bsNone) params.style |= ui::WS_MAXIMIZE;
}

void TCustomForm::SetIcon(std::string_view resource) {
    m_icon = std::make_shared<const gfx::MaskedImage>(gfx::load_icon(resource));
    if (HandleAllocated()) ws().set_window_icon(Handle(), m_icon);
}

int TCustomForm::ShowCommand() const {
    switch (m_windowState) {
    case wsMaximized: return ui::SW_SHOWMAXIMIZED;
    case wsMinimized: return ui::SW_MINIMIZE;
    default: return ui::SW_RESTORE;
    }
}

TWinControl* TCustomForm::ActiveControl() const {
    if (!ui::WindowSystem::exists()) return nullptr;
    TWinControl* focused = FindControl(ws().get_focus());
    if (focused && focused != this && focused->GetParentForm() == this) return focused;
    return nullptr;
}

void TCustomForm::PlaceOnShow() {
    TRect area = ws().work_area_at(TPoint{Left(), Top()});
    TRect over = area;
    if (m_position == poMainFormCenter && Application && Application->MainForm() &&
        Application->MainForm() != this && Application->MainForm()->HandleAllocated())
        over = ws().get_window_rect(Application->MainForm()->Handle());
    else if (m_position != poScreenCenter && m_position != poDesktopCenter && m_position != poMainFormCenter)
        return;
    int left = over.Left + (over.Width() - Width()) / 2;
    int top = over.Top + (over.Height() - Height()) / 2;
    // Keep the form on the screen.
    left = std::max(area.Left, std::min(left, area.Right - Width()));
    top = std::max(area.Top, std::min(top, area.Bottom - Height()));
    SetBounds(left, top, Width(), Height());
}

void TCustomForm::ShowWindow() {
    if (m_windowShown) return;
    PlaceOnShow();
    const ui::HWND h = Handle();
    m_windowShown = true;
    ws().show_window(h, m_windowState == wsNormal ? ui::SW_SHOW : ShowCommand());
    ws().set_active_window(h);
    if (!ActiveControl()) {
        if (!SelectNext(nullptr, true, true)) ws().set_focus(h);
    }
    if (OnShow) OnShow(this);
}

void TCustomForm::HideWindow() {
    if (!m_windowShown) return;
    m_windowShown = false;
    if (HandleAllocated()) ws().show_window(Handle(), ui::SW_HIDE);
    if (OnHide) OnHide(this);
}

void TCustomForm::VisibleChanged() {
    if (Loading()) return;
    if (Visible())
        ShowWindow();
    else
        HideWindow();
}

void TCustomForm::Show() {
    SetVisible(true);
    if (HandleAllocated()) ws().bring_window_to_top(Handle());
}

void TCustomForm::SetModalResult(TModalResult value) {
    m_modalResult = value;
    if (m_modal && value != mrNone && HandleAllocated()) ws().end_modal(Handle(), value);
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || m_modal) throw EComponentError("Cannot make a visible window modal");
    m_modalResult = mrNone;
    m_modal = true;
    // However the loop ends, the form is no longer modal and goes out of sight.
    ScopeExit done([this] {
        m_modal = false;
        SetVisible(false);
    });
    SetVisible(true);
    const ui::HWND h = Handle();
    TModalResult result = ws().run_modal(h);
    // A window destroyed under the loop ends it with 0.
    if (result == 0) result = m_modalResult != mrNone ? m_modalResult : mrCancel;
    m_modalResult = result;
    return result;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
    if (m_modal) {
        TCloseAction action = caHide;
        DoClose(action);
        if (action != caNone) SetModalResult(mrCancel);
        return;
    }
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    SetVisible(false);
}

bool TCustomForm::DialogKey(int key, TShiftState shift) {
    switch (key) {
    case ui::VK_TAB:
        SelectNext(ActiveControl(), !shift.Contains(ssShift), true);
        return true;
    case ui::VK_RETURN:
    case ui::VK_ESCAPE:
        for (TWinControl* c : TabList()) {
            auto* button = dynamic_cast<TButtonControl*>(c);
            if (!button || !button->CanFocus()) continue;
            if (key == ui::VK_RETURN ? button->Default() : button->Cancel()) {
                button->Click();
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case ui::WM_CLOSE:
        Close();
        return;
    case ui::WM_ACTIVATE:
        // Activated again (by the user, a window manager or the end of a
        // modal form above it), the form gives the keyboard back to the
        // control that had it, not to its own window.
        if (m.WParam != ui::WA_INACTIVE && HandleAllocated() && ws().get_top_level(ws().get_focus()) != Handle()) {
            if (const ui::HWND back = ws().focus_to_restore(Handle()); back != ui::kNoWindow && back != Handle()) {
                ws().set_focus(back);
                return;
            }
        }
        TWinControl::WndProc(m);
        return;
    case ui::WM_SIZE:
        // The user (or the window system) minimised, maximised or restored the form.
        if (m_windowShown) {
            m_windowState = m.WParam == ui::SIZE_MINIMIZED   ? wsMinimized
                            : m.WParam == ui::SIZE_MAXIMIZED ? wsMaximized
                                                              : wsNormal;
        }
        TWinControl::WndProc(m);
        return;
    default:
        TWinControl::WndProc(m);
    }
}
