// What the bars share across the whole program while any manager exists:
// the keyboard, mouse and window-procedure hooks, the chain of menus in
// keyboard mode, the hint controller and the menu animation. Managers take
// a share with acquire() when they are made and give it back with
// release(); the last release removes the hooks.
//
// The keyboard hook sees every key before the focused window:
//  - while a bar is in keyboard mode (and no edit box of it has the focus)
//    every key goes to the chain and is swallowed;
//  - Alt pressed and released alone, or F10 released without modifiers,
//    puts the main menu bar of the active form's manager in keyboard mode;
//  - any other key-down with no bar in keyboard mode is looked up among
//    the manager's shortcuts; a match runs its item and the key is swallowed
//    (its key-up is not); with Alt held and no match, the mnemonics of the
//    bars are tried.
// The mouse hook closes the chain on a press outside its windows (the press
// still reaches its target) and hides the hint on any press. The
// window-procedure hook closes the chain when the form or the application
// loses the activation.
//
// Invariant: the hooks are installed exactly while the share count is positive.
#pragma once

#include "bars/HintController.h"
#include "bars/MenuAnimator.h"
#include "bars/MenuChain.h"
#include "bars/MenuKeyWatch.h"
#include "bars/ShortCut.h"
#include "platform/ui/ScopedHook.h"

#include <functional>
#include <memory>

namespace dxbar {

// What the hooks need of the manager of the active form.
class MenuClient {
public:
    virtual ~MenuClient() = default;
    virtual bool customizing() const = 0;
    virtual bool use_f10_for_menu() const = 0;
    // The main menu bar as a level, when there is one and it is shown.
    virtual MenuLevel* main_menu() = 0;
    // The click of the first enabled item whose shortcut is the value (in
    // the search order of the manager's bars); empty when none matches.
    virtual std::function<void()> shortcut_click(TShortCut value) = 0;
    // Where Alt+key looks for a mnemonic when no shortcut matched: the main
    // menu bar, then the other visible bars.
    virtual std::vector<MenuLevel*> bars_for_mnemonics() { return {}; }
    // The selected item of a level in keyboard mode is an edit box that has
    // the focus: keys go to its edit window.
    virtual bool edit_box_has_focus() const { return false; }
    // A bar of the manager is in keyboard mode on its own (a toolbar whose
    // edit box was left with Esc): it takes the keys as the chain would.
    virtual bool bar_in_keyboard_mode() const { return false; }
    virtual void bar_keyboard_key(int /*vk*/, TShiftState /*shift*/) {}
};

class MenuSystem {
public:
    // The shared state, made by the first acquire().
    static MenuSystem& acquire(ui::WindowSystem& ws);
    static void release();
    static MenuSystem* instance();

    MenuSystem(const MenuSystem&) = delete;
    MenuSystem& operator=(const MenuSystem&) = delete;
    ~MenuSystem();

    // Finds the manager of the active form (the bars set it).
    std::function<MenuClient*()> active_client;
    // Sees every mouse message before its window, after a press outside the
    // chain has closed it; true swallows the message (a press on a title
    // that opens its menu).
    std::function<bool(ui::UINT message, const ui::MouseHookInfo& info)> mouse_filter;

    MenuChain& chain() { return m_chain; }
    HintController& hints() { return m_hints; }
    MenuAnimator& animator() { return m_animator; }

private:
    explicit MenuSystem(ui::WindowSystem& ws);

    ui::LRESULT keyboard_hook(int code, ui::WPARAM w, ui::LPARAM l);
    ui::LRESULT mouse_hook(int code, ui::WPARAM w, ui::LPARAM l);
    ui::LRESULT wnd_proc_hook(int code, ui::WPARAM w, ui::LPARAM l);
    bool key_down(int vk, bool repeat);
    bool key_up(int vk);
    bool inside_chain(ui::HWND h) const;

    ui::WindowSystem& m_ws;
    MenuChain m_chain;
    HintController m_hints;
    MenuAnimator m_animator;
    MenuKeyWatch m_keys;
    std::unique_ptr<ui::ScopedHook> m_keyboard;
    std::unique_ptr<ui::ScopedHook> m_mouse;
    std::unique_ptr<ui::ScopedHook> m_wnd_proc;
};

}  // namespace dxbar
