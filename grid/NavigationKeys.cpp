#include "grid/NavigationKeys.h"

#include "platform/ui/Messages.h"

#include <algorithm>

namespace grid {

NavAction navigation_action(int vk, bool shift, bool ctrl, const NavOptions& options) {
    using namespace ui;
    if (ctrl) {
        switch (vk) {
        case VK_UP: return NavAction::Up;
        case VK_DOWN: return NavAction::Down;
        case VK_PRIOR: return NavAction::PageUp;
        case VK_NEXT: return NavAction::PageDown;
        // Ctrl+Home and Ctrl+End with Shift reach the row table; without it the dataset's ends.
        case VK_HOME: return options.grid_mode && !shift ? NavAction::DataSetFirst : NavAction::FirstRow;
        case VK_END: return options.grid_mode && !shift ? NavAction::DataSetLast : NavAction::LastRow;
        case VK_LEFT: return NavAction::FirstColumn;
        case VK_RIGHT: return NavAction::LastColumn;
        case VK_INSERT: return NavAction::CopyToClipboard;
        case VK_SPACE: return NavAction::ToggleSelection;
        default: return NavAction::None;
        }
    }
    switch (vk) {
    case VK_UP: return NavAction::Up;
    case VK_DOWN: return NavAction::Down;
    case VK_PRIOR: return NavAction::PageUp;
    case VK_NEXT: return NavAction::PageDown;
    case VK_HOME:
        if (options.row_select) return options.grid_mode ? NavAction::DataSetFirst : NavAction::FirstRow;
        return shift ? NavAction::FirstRow : NavAction::FirstColumn;
    case VK_END:
        if (options.row_select) return options.grid_mode ? NavAction::DataSetLast : NavAction::LastRow;
        return shift ? NavAction::LastRow : NavAction::LastColumn;
    case VK_LEFT: return NavAction::PrevColumn;
    case VK_RIGHT: return NavAction::NextColumn;
    case VK_RETURN: return options.enter_editor ? NavAction::ShowEditor : NavAction::None;
    case VK_F2: return NavAction::ShowEditor;
    case VK_ESCAPE: return NavAction::ResetSelection;
    default: return NavAction::None;
    }
}

int page_move_target(int focused, int top, int page, int last, int direction) {
    const int bottom = std::min(top + page - 1, last);
    if (top < focused && focused < bottom) return direction < 0 ? top : bottom;
    const int step = page > 1 ? page - 1 : 1;
    return focused + direction * step;
}

}  // namespace grid
