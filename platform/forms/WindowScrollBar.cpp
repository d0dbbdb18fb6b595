#include "platform/forms/WindowScrollBar.h"

#include "platform/gfx/TCanvas.h"

#include <array>

namespace forms {

void WindowScrollBar::set_rect(const TRect& r) {
    m_rect = r;
    if (m_vertical)
        m_model.set_size(r.Height(), r.Width());
    else
        m_model.set_size(r.Width(), r.Height());
}

TRect WindowScrollBar::part_rect(ScrollPart part) const {
    int from = 0, to = 0;
    const int len = m_model.length();
    const int arrow = m_model.arrow_size();
    switch (part) {
    case ScrollPart::None: return {};
    case ScrollPart::LineUp: from = 0; to = arrow; break;
    case ScrollPart::LineDown: from = len - arrow; to = len; break;
    case ScrollPart::Thumb: from = m_model.thumb_start(); to = m_model.thumb_end(); break;
    case ScrollPart::PageUp: from = arrow; to = m_model.has_thumb() ? m_model.thumb_start() : arrow; break;
    case ScrollPart::PageDown: from = m_model.has_thumb() ? m_model.thumb_end() : arrow; to = len - arrow; break;
    }
    if (m_vertical) return TRect{m_rect.Left, m_rect.Top + from, m_rect.Right, m_rect.Top + to};
    return TRect{m_rect.Left + from, m_rect.Top, m_rect.Left + to, m_rect.Bottom};
}

void WindowScrollBar::send(int code, int pos) {
    if (on_command) on_command(code, pos);
}

bool WindowScrollBar::mouse_down(TPoint p, bool ctrl) {
    if (!m_rect.Contains(p) || !m_model.scrollable()) return false;
    const ScrollPart part = m_model.hit(along(p));
    if (part == ScrollPart::None) return false;
    m_pressed = part;
    m_pointer = p;
    m_pointer_on_pressed = true;
    invalidate();
    switch (part) {
    case ScrollPart::LineUp:
    case ScrollPart::LineDown:
        if (ctrl) {
            send(part == ScrollPart::LineUp ? SB_TOP : SB_BOTTOM, 0);
            break;
        }
        send(part == ScrollPart::LineUp ? SB_LINEUP : SB_LINEDOWN, 0);
        if (on_timer) on_timer(kRepeatDelay);
        break;
    case ScrollPart::PageUp:
    case ScrollPart::PageDown:
        send(part == ScrollPart::PageUp ? SB_PAGEUP : SB_PAGEDOWN, 0);
        if (on_timer) on_timer(kRepeatDelay);
        break;
    case ScrollPart::Thumb:
        m_model.begin_track(along(p));
        break;
    case ScrollPart::None: break;
    }
    return true;
}

void WindowScrollBar::mouse_move(TPoint p) {
    m_pointer = p;
    if (m_pressed == ScrollPart::None) {
        set_hot(p);
        return;
    }
    if (m_pressed == ScrollPart::Thumb) {
        const int before = m_model.track_pos();
        const int now = m_model.track_to(along(p));
        if (now != before) {
            invalidate();
            send(SB_THUMBTRACK, now);
        }
        return;
    }
    // Arrows and pages repeat only while the pointer stays on the pressed part.
    const bool on = m_rect.Contains(p) && m_model.hit(along(p)) == m_pressed;
    if (on != m_pointer_on_pressed) {
        m_pointer_on_pressed = on;
        invalidate();
    }
}

void WindowScrollBar::timer() {
    if (m_pressed == ScrollPart::None || m_pressed == ScrollPart::Thumb) {
        if (on_timer) on_timer(0);
        return;
    }
    if (on_timer) on_timer(kRepeatInterval);
    repeat_step();
}

void WindowScrollBar::repeat_step() {
    if (!m_pointer_on_pressed) return;
    // The thumb moves under a held page press: stop once it reaches the pointer.
    if ((m_pressed == ScrollPart::PageUp || m_pressed == ScrollPart::PageDown) &&
        m_model.hit(along(m_pointer)) != m_pressed)
        return;
    switch (m_pressed) {
    case ScrollPart::LineUp: send(SB_LINEUP, 0); break;
    case ScrollPart::LineDown: send(SB_LINEDOWN, 0); break;
    case ScrollPart::PageUp: send(SB_PAGEUP, 0); break;
    case ScrollPart::PageDown: send(SB_PAGEDOWN, 0); break;
    default: break;
    }
}

void WindowScrollBar::mouse_up(TPoint p) {
    if (m_pressed == ScrollPart::None) return;
    m_pointer = p;
    const ScrollPart part = m_pressed;
    m_pressed = ScrollPart::None;
    if (on_timer) on_timer(0);
    if (part == ScrollPart::Thumb) {
        const int pos = m_model.track_pos();
        send(SB_THUMBPOSITION, pos);
        m_model.end_track();
    }
    send(SB_ENDSCROLL, 0);
    invalidate();
}

void WindowScrollBar::cancel() {
    if (m_pressed == ScrollPart::None) return;
    m_pressed = ScrollPart::None;
    m_model.end_track();
    if (on_timer) on_timer(0);
    send(SB_ENDSCROLL, 0);
    invalidate();
}

void WindowScrollBar::set_hot(TPoint p) {
    const ScrollPart hot = m_rect.Contains(p) ? m_model.hit(along(p)) : ScrollPart::None;
    if (hot == m_hot) return;
    m_hot = hot;
    if (m_flat) invalidate();
}

namespace {

// A solid triangle pointing up, down, left or right, centred in r.
void draw_arrow_glyph(TCanvas& canvas, const TRect& r, bool vertical, bool first, TColor color) {
    const int size = std::max(1, std::min(r.Width(), r.Height()) / 4);  // half the base
    const int cx = r.Left + r.Width() / 2;
    const int cy = r.Top + r.Height() / 2;
    canvas.Brush().SetColor(color);
    for (int i = 0; i < size; ++i) {
        // Row i of the triangle from its tip: 2i + 1 pixels wide.
        const int tip_offset = (size - 1) / 2 + 1;
        if (vertical) {
            const int y = first ? cy - tip_offset + i : cy + tip_offset - i - 1;
            canvas.FillRect(TRect{cx - i, y, cx + i + 1, y + 1});
        } else {
            const int x = first ? cx - tip_offset + i : cx + tip_offset - i - 1;
            canvas.FillRect(TRect{x, cy - i, x + 1, cy + i + 1});
        }
    }
}

}  // namespace

void WindowScrollBar::paint(TCanvas& canvas) const {
    if (m_rect.IsEmpty()) return;
    const bool enabled = m_model.scrollable();
    // The shaft: the classic checkerboard of face and highlight; darker where a page press is held.
    for (ScrollPart page : {ScrollPart::PageUp, ScrollPart::PageDown}) {
        const TRect r = part_rect(page);
        if (r.IsEmpty()) continue;
        const bool down = m_pressed == page && m_pointer_on_pressed;
        canvas.Brush().SetPattern(down ? gfx::checkerboard(clBtnShadow, clBtnFace) : gfx::checkerboard(clBtnHighlight, clBtnFace));
        canvas.FillRect(r);
    }
    if (!m_model.has_thumb()) {
        // No thumb: the whole shaft between the arrows.
        TRect shaft = part_rect(ScrollPart::PageDown);
        if (m_vertical) {
            shaft.Top = m_rect.Top + m_model.arrow_size();
            shaft.Bottom = m_rect.Bottom - m_model.arrow_size();
        } else {
            shaft.Left = m_rect.Left + m_model.arrow_size();
            shaft.Right = m_rect.Right - m_model.arrow_size();
        }
        canvas.Brush().SetPattern(gfx::checkerboard(clBtnHighlight, clBtnFace));
        canvas.FillRect(shaft);
    }

    auto draw_button = [&](TRect r, bool down, bool hot) {
        if (r.IsEmpty()) return r;
        if (m_flat) {
            canvas.Brush().SetColor(down ? clBtnShadow : clBtnFace);
            canvas.FillRect(r);
            canvas.Brush().SetColor(hot || down ? clBtnText : clBtnShadow);
            canvas.FrameRect(r);
            return gfx::inflate(r, -1, -1);
        }
        if (down) {
            canvas.Brush().SetColor(clBtnFace);
            canvas.FillRect(r);
            canvas.Brush().SetColor(clBtnShadow);
            canvas.FrameRect(r);
            return gfx::offset(gfx::inflate(r, -1, -1), 1, 1);
        }
        TRect edge = r;
        canvas.DrawEdge(edge, gfx::EDGE_RAISED, gfx::BF_RECT | gfx::BF_MIDDLE);
        return gfx::inflate(r, -2, -2);
    };

    for (ScrollPart arrow : {ScrollPart::LineUp, ScrollPart::LineDown}) {
        const bool down = m_pressed == arrow && m_pointer_on_pressed;
        const TRect inner = draw_button(part_rect(arrow), down, m_hot == arrow);
        if (inner.IsEmpty()) continue;
        if (enabled) {
            draw_arrow_glyph(canvas, inner, m_vertical, arrow == ScrollPart::LineUp, clBtnText);
        } else {
            // Disabled: the embossed gray glyph.
            draw_arrow_glyph(canvas, gfx::offset(inner, 1, 1), m_vertical, arrow == ScrollPart::LineUp, clBtnHighlight);
            draw_arrow_glyph(canvas, inner, m_vertical, arrow == ScrollPart::LineUp, clGrayText);
        }
    }
    if (m_model.has_thumb()) draw_button(part_rect(ScrollPart::Thumb), false, m_hot == ScrollPart::Thumb || m_pressed == ScrollPart::Thumb);
}

}  // namespace forms
