// What the bars' hint window says and where it goes: the short part of an
// item's hint (before "|"), followed by its shortcut in brackets when the
// manager shows shortcuts in hints; placed 20 pixels below the cursor,
// word-wrapped to the work area's width, with 3 pixels of room around the
// text, and kept inside the work area (moved left at the right edge, moved
// above the cursor at the bottom edge, never left of or above the area).
#pragma once

#include "bars/ShortCut.h"
#include "platform/gfx/TRect.h"
#include "text/AnsiString.h"

namespace dxbar {

// The part of a hint before the first "|".
AnsiString short_hint(const AnsiString& hint);

// The text a hint window shows for an item; empty when it shows nothing.
AnsiString hint_text(const AnsiString& hint, TShortCut shortcut, bool show_shortcut);

inline constexpr int kHintMargin = 3;       // text inset from the window's edges
inline constexpr int kHintBelowCursor = 20;
inline constexpr int kHintAboveCursor = 30; // where the top goes at the bottom edge

// text: the extent of the text word-wrapped at the work area's width.
TRect place_hint(TPoint cursor, TSize text, const TRect& work_area);

}  // namespace dxbar
