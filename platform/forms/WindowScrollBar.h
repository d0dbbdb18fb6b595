// One scroll bar of a window: its values (ScrollBarModel), the mouse
// interaction that turns presses and drags into scroll commands, and its
// look in the regular and the flat mode.
//
// The bar lives in a strip at the window's right (vertical) or bottom
// (horizontal) edge that is not part of the client area; the window passes
// mouse input inside the strip (and all of it while the bar holds the mouse)
// in the bar's own coordinates, and the bar reports commands and asks for its
// repeat timer through callbacks.
//
// Commands: a press on an arrow sends line up/down at once and repeats while
// the arrow is held; a press in the shaft sends page up/down and repeats while
// the pointer stays on that side of the thumb; dragging the thumb sends thumb
// track with each new track position and thumb position when released; Ctrl
// with a press on an arrow sends top or bottom. Every release ends with end
// of scroll.
#pragma once

#include "platform/forms/ScrollBarModel.h"
#include "platform/gfx/TRect.h"

#include <functional>

class TCanvas;

namespace forms {

class WindowScrollBar {
public:
    // First repeat after the press, then the repeat interval (milliseconds).
    static constexpr int kRepeatDelay = 350;
    static constexpr int kRepeatInterval = 50;

    explicit WindowScrollBar(bool vertical) : m_vertical(vertical) {}

    bool vertical() const { return m_vertical; }
    ScrollBarModel& model() { return m_model; }
    const ScrollBarModel& model() const { return m_model; }

    // The strip in window coordinates; the bar sizes its model from it.
    void set_rect(const TRect& r);
    const TRect& rect() const { return m_rect; }

    bool flat() const { return m_flat; }
    void set_flat(bool value) { m_flat = value; }

    // ---- input, in window coordinates --------------------------------------
    // Returns whether the bar took the press (it then holds the mouse until the release).
    bool mouse_down(TPoint p, bool ctrl);
    void mouse_move(TPoint p);
    void mouse_up(TPoint p);
    void timer();
    // The mouse was taken away (capture lost): stop as a release would, without a thumb position.
    void cancel();
    bool pressed() const { return m_pressed != ScrollPart::None; }
    ScrollPart pressed_part() const { return m_pressed; }
    // The part under the pointer, for the flat mode's hot tracking.
    void set_hot(TPoint p);
    ScrollPart hot_part() const { return m_hot; }

    std::function<void(int code, int pos)> on_command;
    // Asks for timer() after the given milliseconds (0: stop the timer).
    std::function<void(int ms)> on_timer;
    std::function<void()> on_invalidate;

    // ---- painting ----------------------------------------------------------------
    void paint(TCanvas& canvas) const;
    // Rectangles of the parts in window coordinates.
    TRect part_rect(ScrollPart part) const;

private:
    int along(TPoint p) const { return m_vertical ? p.Y - m_rect.Top : p.X - m_rect.Left; }
    void send(int code, int pos);
    void repeat_step();
    void invalidate() const {
        if (on_invalidate) on_invalidate();
    }

    bool m_vertical;
    bool m_flat = false;
    ScrollBarModel m_model;
    TRect m_rect;
    ScrollPart m_pressed = ScrollPart::None;
    ScrollPart m_hot = ScrollPart::None;
    bool m_pointer_on_pressed = false;
    TPoint m_pointer;
};

}  // namespace forms
