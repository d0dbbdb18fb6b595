#include "bars/MenuKeyWatch.h"

#include "platform/classes/Invariant.h"
#include "platform/ui/Messages.h"

#include <cassert>

namespace dxbar {

bool MenuKeyWatch::is_alt(int vk) { return vk == ui::VK_MENU || vk == ui::VK_LMENU || vk == ui::VK_RMENU; }

bool MenuKeyWatch::only_alt_held() const {
    for (std::size_t k = 0; k < m_held.size(); ++k)
        if (m_held.test(k) && !is_alt(static_cast<int>(k))) return false;
    return held(ui::VK_MENU) || held(ui::VK_LMENU) || held(ui::VK_RMENU);
}

void MenuKeyWatch::key_down(int vk, bool repeat) {
    m_held.set(static_cast<std::size_t>(vk & 0xFF));
    if (repeat && is_alt(vk)) {
        m_armed = m_armed && only_alt_held();
        return;
    }
    m_armed = is_alt(vk) && only_alt_held();
}

bool MenuKeyWatch::key_up(int vk, bool use_f10) {
    const bool alt_alone = is_alt(vk) && m_armed && only_alt_held();
    m_held.reset(static_cast<std::size_t>(vk & 0xFF));
    if (is_alt(vk)) m_armed = false;
    if (alt_alone) return true;
    if (vk == ui::VK_F10 && use_f10) {
        const bool modifier = held(ui::VK_SHIFT) || held(ui::VK_CONTROL) || held(ui::VK_LSHIFT) ||
                              held(ui::VK_RSHIFT) || held(ui::VK_LCONTROL) || held(ui::VK_RCONTROL) ||
                              held(ui::VK_MENU) || held(ui::VK_LMENU) || held(ui::VK_RMENU);
        return !modifier;
    }
    return false;
}

bool MenuKeyWatch::take_handed_up(int vk) {
    if (m_handed == 0 || m_handed != vk) return false;
    m_handed = 0;
    return true;
}

void MenuKeyWatch::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(!m_armed || only_alt_held(), "MenuKeyWatch: !m_armed || only_alt_held()");
#endif
}

}  // namespace dxbar
