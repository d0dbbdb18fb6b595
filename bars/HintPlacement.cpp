#include "bars/HintPlacement.h"

#include <algorithm>

namespace dxbar {

AnsiString short_hint(const AnsiString& hint) { return hint.substr(0, hint.find('|')); }

AnsiString hint_text(const AnsiString& hint, TShortCut shortcut, bool show_shortcut) {
    AnsiString text = short_hint(hint);
    if (text.empty()) return text;
    if (show_shortcut) {
        const AnsiString name = ShortCutToText(shortcut);
        if (!name.empty()) text += " (" + name + ")";
    }
    return text;
}

TRect place_hint(TPoint cursor, TSize text, const TRect& wa) {
    const int width = text.cx + 2 * kHintMargin;
    const int height = text.cy + 2 * kHintMargin;
    int left = cursor.X;
    int top = cursor.Y + kHintBelowCursor;
    if (left + width > wa.Right) left = wa.Right - width;
    if (top + height > wa.Bottom) top = cursor.Y - kHintAboveCursor;
    left = std::max(left, wa.Left);
    top = std::max(top, wa.Top);
    return Bounds(left, top, width, height);
}

}  // namespace dxbar
