// Messages of the framework and of the window system's standard controls
// that the window system itself does not define (Windows values).
#pragma once

#include "platform/ui/Messages.h"

namespace forms {

inline constexpr ui::UINT WM_GETTEXT = 0x000D;
inline constexpr ui::UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr ui::UINT WM_SETFONT = 0x0030;
inline constexpr ui::UINT WM_GETFONT = 0x0031;
inline constexpr ui::UINT WM_HSCROLL = 0x0114;
inline constexpr ui::UINT WM_VSCROLL = 0x0115;
inline constexpr ui::UINT WM_CTLCOLOREDIT = 0x0133;
inline constexpr ui::UINT WM_CUT = 0x0300;
inline constexpr ui::UINT WM_COPY = 0x0301;
inline constexpr ui::UINT WM_PASTE = 0x0302;
inline constexpr ui::UINT WM_CLEAR = 0x0303;

// A child's WM_COMMAND notification, handed back to the child's control by its parent.
inline constexpr ui::UINT CN_BASE = 0xBC00;
inline constexpr ui::UINT CN_COMMAND = CN_BASE + ui::WM_COMMAND;

}  // namespace forms
