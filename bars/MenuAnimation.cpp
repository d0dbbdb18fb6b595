#include "bars/MenuAnimation.h"

#include <algorithm>
#include <cstdlib>

namespace dxbar {

MenuAnimationKind choose_menu_animation(const MenuAnimationRequest& r, int draw) {
    if (!r.by_mouse || !r.has_visible_link || r.customizing) return MenuAnimationKind::none;
    switch (r.setting) {
    case MenuAnimationSetting::none: return MenuAnimationKind::none;
    case MenuAnimationSetting::unfold: return MenuAnimationKind::unfold;
    case MenuAnimationSetting::slide: return MenuAnimationKind::slide;
    case MenuAnimationSetting::random: return draw >= 50 ? MenuAnimationKind::slide : MenuAnimationKind::unfold;
    }
    return MenuAnimationKind::none;
}

MenuAnimationPlan::MenuAnimationPlan(MenuAnimationKind kind, TSize client, TSize frame, TRect final_window,
                                     bool leftwards, bool upwards)
    : m_kind(kind), m_client(client), m_frame(frame), m_final(final_window), m_leftwards(leftwards),
      m_upwards(upwards) {
    if (kind == MenuAnimationKind::unfold) {
        const int d = client.cy - client.cx;
        if (d <= 0) {
            m_start = {-d, 0};
            m_distance = client.cy;
        } else {
            m_start = {0, d};
            m_distance = client.cx;
        }
        m_step = 8;
    } else if (kind == MenuAnimationKind::slide) {
        m_start = {client.cx, 0};
        m_distance = client.cy;
        m_step = 17;
    }
    m_distance = std::max(m_distance, 0);
}

TSize MenuAnimationPlan::visible(int k) const {
    if (m_kind == MenuAnimationKind::none) return m_client;
    const int grown = m_step * std::max(k, 0);
    const int w = m_kind == MenuAnimationKind::slide ? m_client.cx : m_start.cx + grown;
    return {std::min(w, m_client.cx), std::min(m_start.cy + grown, m_client.cy)};
}

TRect MenuAnimationPlan::window(int k) const {
    const TSize v = visible(k);
    const int w = v.cx + m_frame.cx;
    const int h = v.cy + m_frame.cy;
    const int left = m_leftwards ? m_final.Right - w : m_final.Left;
    const int top = m_upwards ? m_final.Bottom - h : m_final.Top;
    return Bounds(left, top, w, h);
}

TPoint MenuAnimationPlan::source(int k) const {
    const TSize v = visible(k);
    return {m_leftwards ? m_client.cx - v.cx : 0, m_upwards ? 0 : m_client.cy - v.cy};
}

}  // namespace dxbar
