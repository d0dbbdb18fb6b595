// What the user sees while dragging a column header: the drag image (a copy
// of the pressed header cell following the pointer, its hot spot in the
// middle) and the two insertion arrows at the drop place. Both are
// borderless top-most popups that never take the focus and let the mouse
// through, so the grid keeps the capture and the input; they go away with
// this object.
#pragma once

#include "platform/gfx/TBitmap.h"
#include "platform/gfx/TColor.h"
#include "platform/gfx/TRect.h"
#include "platform/ui/WindowSystem.h"

class HeaderDragFeedback {
public:
    // `cell` is the header cell in `grid`'s client coordinates; its pixels are copied now.
    HeaderDragFeedback(ui::HWND grid, const TRect& cell, TColor arrows_color);
    ~HeaderDragFeedback();
    HeaderDragFeedback(const HeaderDragFeedback&) = delete;
    HeaderDragFeedback& operator=(const HeaderDragFeedback&) = delete;

    // The drag image centred on a screen point.
    void MoveImage(TPoint screen);
    // The arrows in a box of screen coordinates; an empty box hides them.
    void ShowArrows(const TRect& screen_box);

    ui::HWND image() const { return m_image; }
    ui::HWND arrows() const { return m_arrows; }

private:
    ui::HWND m_image = ui::kNoWindow;
    ui::HWND m_arrows = ui::kNoWindow;
    TBitmap m_cell;
    TColor m_arrowsColor;
    TRect m_arrowsBox;
};
