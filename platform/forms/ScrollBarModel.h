// The values and the geometry of one scroll bar, apart from its window: the
// rules of range, page, position and track position, where the arrows and
// the thumb lie, and which part a point hits.
//
// Values follow the window system's scroll bars: the position stays within
// min .. max − max(page − 1, 0); the page within 0 .. max − min + 1. The bar
// never moves its position itself: it reports commands to its owner, which
// sets the position it wants. While the thumb is dragged, the track position
// follows the pointer and the thumb is drawn there.
#pragma once

namespace forms {

// Scroll command codes (the low word of WM_HSCROLL / WM_VSCROLL).
enum ScrollCode : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};

// The parts of a bar along its axis.
enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

struct ScrollValues {
    int min = 0;
    int max = 100;
    int page = 0;
    int pos = 0;
};

class ScrollBarModel {
public:
    // The smallest thumb, in pixels along the bar.
    static constexpr int kMinThumb = 8;

    // Sets the values, clamping page and position; returns whether anything changed.
    bool set_values(const ScrollValues& values);
    bool set_pos(int pos);
    const ScrollValues& values() const { return m_values; }
    int track_pos() const { return m_tracking ? m_track_pos : m_values.pos; }
    // The largest position the values allow.
    int max_pos() const;
    // Whether there is anything to scroll: a thumb can be shown and dragged.
    bool scrollable() const { return max_pos() > m_values.min; }

    // Geometry along the bar: its length and its thickness (the arrows are
    // squares of the thickness, smaller when the bar is too short for both).
    void set_size(int length, int thickness);
    int length() const { return m_length; }
    int arrow_size() const;
    // Thumb extent along the bar [start, end), or an empty one (0, 0) when there is no thumb.
    int thumb_start() const;
    int thumb_end() const;
    bool has_thumb() const { return thumb_end() > thumb_start(); }
    ScrollPart hit(int offset) const;

    // Thumb dragging: begin at a pointer offset inside the thumb, move, end.
    void begin_track(int pointer);
    // Returns the new track position.
    int track_to(int pointer);
    void end_track() { m_tracking = false; }
    bool tracking() const { return m_tracking; }

private:
    int thumb_length() const;
    int thumb_offset_for(int pos) const;

    ScrollValues m_values;
    int m_length = 0;
    int m_thickness = 16;
    bool m_tracking = false;
    int m_track_pos = 0;
    int m_grab = 0;  // pointer offset from the thumb's start while tracking
};

}  // namespace forms
