// The screen as the framework sees it: the table of pointer shapes by
// number, and the shape that overrides every control's while set (an
// hourglass during a long operation).
//
// Invariants: every number has a shape (unknown numbers show the arrow);
// the standard numbers (crArrow … crSizeAll) are present from the start
// and may be replaced; a component registers its own pictures once.
#pragma once

#include "platform/forms/TControl.h"
#include "platform/ui/Cursor.h"

#include <map>

class TScreen {
public:
    TScreen();

    ui::Cursor Cursors(TCursor index) const;
    void SetCursors(TCursor index, const ui::Cursor& cursor);

    // While not crDefault, shown wherever the pointer is.
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor value);

    int Width() const;
    int Height() const;

private:
    std::map<TCursor, ui::Cursor> m_cursors;
    TCursor m_cursor = crDefault;
};

// The program's screen; made on first use.
TScreen& Screen();
