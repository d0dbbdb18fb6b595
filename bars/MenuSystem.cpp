#include "bars/MenuSystem.h"

#include "platform/ui/WindowSystem.h"

namespace dxbar {

namespace {

std::unique_ptr<MenuSystem> g_system;
int g_shares = 0;

// Any button, in the client area or on a window's frame.
bool is_button_down(ui::UINT m) {
    switch (m) {
    case ui::WM_LBUTTONDOWN:
    case ui::WM_RBUTTONDOWN:
    case ui::WM_MBUTTONDOWN:
    case ui::WM_LBUTTONDBLCLK:
    case ui::WM_RBUTTONDBLCLK:
    case ui::WM_MBUTTONDBLCLK:
    case ui::WM_NCLBUTTONDOWN:
    case ui::WM_NCRBUTTONDOWN:
    case ui::WM_NCMBUTTONDOWN:
    case ui::WM_NCLBUTTONDBLCLK:
    case ui::WM_NCRBUTTONDBLCLK:
    case ui::WM_NCMBUTTONDBLCLK: return true;
    default: return false;
    }
}

}  // namespace

MenuSystem& MenuSystem::acquire(ui::WindowSystem& ws) {
    if (!g_system) g_system.reset(new MenuSystem(ws));
    ++g_shares;
    return *g_system;
}

void MenuSystem::release() {
    if (g_shares > 0 && --g_shares == 0) g_system.reset();
}

MenuSystem* MenuSystem::instance() { return g_system.get(); }

MenuSystem::MenuSystem(ui::WindowSystem& ws) : m_ws(ws), m_chain(ws), m_hints(ws), m_animator(ws) {
    m_keyboard = std::make_unique<ui::ScopedHook>(
        ws, ui::HookKind::keyboard, [this](int c, ui::WPARAM w, ui::LPARAM l) { return keyboard_hook(c, w, l); });
    m_mouse = std::make_unique<ui::ScopedHook>(
        ws, ui::HookKind::mouse, [this](int c, ui::WPARAM w, ui::LPARAM l) { return mouse_hook(c, w, l); });
    m_wnd_proc = std::make_unique<ui::ScopedHook>(
        ws, ui::HookKind::call_wnd_proc, [this](int c, ui::WPARAM w, ui::LPARAM l) { return wnd_proc_hook(c, w, l); });
}

MenuSystem::~MenuSystem() {
    m_animator.abort_and_wait();
    m_keyboard.reset();
    m_mouse.reset();
    m_wnd_proc.reset();
}

ui::LRESULT MenuSystem::keyboard_hook(int code, ui::WPARAM w, ui::LPARAM l) {
    const int vk = static_cast<int>(w);
    const bool up = (l & ui::KF_UP) != 0;
    const bool swallow = up ? key_up(vk) : key_down(vk, (l & ui::KF_REPEAT) != 0);
    return swallow ? 1 : m_keyboard->call_next(code, w, l);
}

bool MenuSystem::key_down(int vk, bool repeat) {
    m_keys.key_down(vk, repeat);
    m_hints.hide();
    MenuClient* client = active_client ? active_client() : nullptr;
    if (m_chain.active()) {
        if (client && client->edit_box_has_focus()) return false;
        m_animator.abort_and_wait();
        const ui::HWND head = m_chain.head()->window();
        if (vk == ui::VK_ESCAPE && head != ui::kNoWindow && m_ws.get_capture() == head) {
            m_ws.release_capture();
        } else {
            m_chain.key_down(vk, TWinControl::KeyboardShiftState(m_ws));
        }
        m_keys.handed_to_bar(vk);
        return true;
    }
    if (client && client->bar_in_keyboard_mode()) {
        if (client->edit_box_has_focus()) return false;
        client->bar_keyboard_key(vk, TWinControl::KeyboardShiftState(m_ws));
        m_keys.handed_to_bar(vk);
        return true;
    }
    if (MenuKeyWatch::is_alt(vk)) return false;
    if (m_ws.get_capture() != ui::kNoWindow || !client || client->customizing()) return false;
    if (auto click = client->shortcut_click(shortcut_of_key_down(vk))) {
        click();
        return true;
    }
    if (m_ws.get_key_state(ui::VK_MENU) < 0) {
        for (MenuLevel* bar : client->bars_for_mnemonics()) {
            if (m_chain.try_mnemonic(bar, vk, TWinControl::KeyboardShiftState(m_ws))) {
                m_keys.handed_to_bar(vk);
                return true;
            }
        }
    }
    return false;
}

bool MenuSystem::key_up(int vk) {
    MenuClient* client = active_client ? active_client() : nullptr;
    const bool start = m_keys.key_up(vk, client && client->use_f10_for_menu());
    if (m_keys.take_handed_up(vk)) return true;
    if (m_chain.active()) return !(client && client->edit_box_has_focus());
    if (!start || (client && client->bar_in_keyboard_mode())) return false;
    if (!client || client->customizing() || m_ws.get_capture() != ui::kNoWindow) return false;
    MenuLevel* menu = client->main_menu();
    if (!menu) return false;
    m_hints.hide();
    m_chain.enter(menu);
    return true;
}

bool MenuSystem::inside_chain(ui::HWND h) const {
    for (ui::HWND w = h; w != ui::kNoWindow; w = m_ws.get_parent(w))
        if (m_chain.contains_window(w)) return true;
    return false;
}

ui::LRESULT MenuSystem::mouse_hook(int code, ui::WPARAM w, ui::LPARAM l) {
    const auto message = static_cast<ui::UINT>(w);
    if (is_button_down(message)) {
        m_keys.disarm();
        m_hints.hide();
        const auto* info = reinterpret_cast<const ui::MouseHookInfo*>(l);
        if (m_chain.active() && !inside_chain(info->hwnd)) {
            m_animator.abort_and_wait();
            m_chain.leave();
        }
    }
    if (mouse_filter && mouse_filter(message, *reinterpret_cast<const ui::MouseHookInfo*>(l))) return 1;
    return m_mouse->call_next(code, w, l);
}

ui::LRESULT MenuSystem::wnd_proc_hook(int code, ui::WPARAM w, ui::LPARAM l) {
    const auto* info = reinterpret_cast<const ui::CallWndProcInfo*>(l);
    if (m_chain.active()) {
        const bool form_inactive = info->message == ui::WM_ACTIVATE && info->wParam == ui::WA_INACTIVE &&
                                   info->hwnd == m_ws.get_top_level(m_chain.root()->window());
        const bool app_inactive = info->message == ui::WM_ACTIVATEAPP && info->wParam == 0;
        if (form_inactive || app_inactive) {
            m_animator.abort_and_wait();
            m_chain.leave();
        }
    }
    if (info->message == ui::WM_ACTIVATEAPP && info->wParam == 0) m_hints.hide();
    return m_wnd_proc->call_next(code, w, l);
}

}  // namespace dxbar
