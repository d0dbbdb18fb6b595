// Colours. A TColor is a 32-bit value: 0x00BBGGRR for an RGB colour, or
// 0x80000000 + index for a system colour, which the system colour table turns
// into RGB at the moment of drawing. clNone (0x1FFFFFFF) means "not set".
//
// Bitmaps hold pixels as 0xFFRRGGBB (gfx::Pixel), the layout the display
// surfaces use; to_pixel and to_color translate.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);

constexpr TColor clScrollBar = clSystemColor + 0;
constexpr TColor clBackground = clSystemColor + 1;
constexpr TColor clActiveCaption = clSystemColor + 2;
constexpr TColor clInactiveCaption = clSystemColor + 3;
constexpr TColor clMenu = clSystemColor + 4;
constexpr TColor clWindow = clSystemColor + 5;
constexpr TColor clWindowFrame = clSystemColor + 6;
constexpr TColor clMenuText = clSystemColor + 7;
constexpr TColor clWindowText = clSystemColor + 8;
constexpr TColor clCaptionText = clSystemColor + 9;
constexpr TColor clActiveBorder = clSystemColor + 10;
constexpr TColor clInactiveBorder = clSystemColor + 11;
constexpr TColor clAppWorkSpace = clSystemColor + 12;
constexpr TColor clHighlight = clSystemColor + 13;
constexpr TColor clHighlightText = clSystemColor + 14;
constexpr TColor clBtnFace = clSystemColor + 15;
constexpr TColor clBtnShadow = clSystemColor + 16;
constexpr TColor clGrayText = clSystemColor + 17;
constexpr TColor clBtnText = clSystemColor + 18;
constexpr TColor clInactiveCaptionText = clSystemColor + 19;
constexpr TColor clBtnHighlight = clSystemColor + 20;
constexpr TColor cl3DDkShadow = clSystemColor + 21;
constexpr TColor cl3DLight = clSystemColor + 22;
constexpr TColor clInfoText = clSystemColor + 23;
constexpr TColor clInfoBk = clSystemColor + 24;
constexpr TColor clHotLight = clSystemColor + 26;
constexpr TColor clGradientActiveCaption = clSystemColor + 27;
constexpr TColor clGradientInactiveCaption = clSystemColor + 28;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// Builds a TColor from its components.
constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

// The RGB value of a colour: system colours are looked up in the current table;
// RGB colours, clNone and clDefault keep their low 24 bits.
TColor ColorToRGB(TColor color);

namespace gfx {

using Pixel = std::uint32_t;

constexpr int kSystemColorCount = 31;
constexpr bool is_system_color(TColor c) { return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0x80000000u; }
constexpr int system_color_index(TColor c) { return static_cast<int>(static_cast<std::uint32_t>(c) & 0xFFu); }

constexpr Pixel rgb_to_pixel(TColor rgb) {
    return 0xFF000000u | (static_cast<Pixel>(GetRValue(rgb)) << 16) |
           (static_cast<Pixel>(GetGValue(rgb)) << 8) | static_cast<Pixel>(GetBValue(rgb));
}
inline Pixel to_pixel(TColor color) { return rgb_to_pixel(ColorToRGB(color)); }
constexpr TColor to_color(Pixel p) {
    return RGB(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
}

// The system colour table. It starts with the classic Windows 2000 scheme;
// changing it tells every listener, so that components holding colours
// derived from system colours (the bars' faces, patterns) rebuild them.
class SystemColors {
public:
    using Listener = std::function<void()>;
    using ListenerId = int;

    static TColor get(int index);
    // Sets one entry (an RGB TColor) and notifies the listeners when it changed.
    static void set(int index, TColor rgb);
    // Sets several entries and notifies once.
    static void set_all(const std::array<TColor, kSystemColorCount>& table);
    static std::array<TColor, kSystemColorCount> table();
    static void reset_defaults();

    static ListenerId add_listener(Listener listener);
    static void remove_listener(ListenerId id);
};

// The colour the screen can show nearest to rgb. The screens we draw on are
// 32 bits deep, so that is the colour itself.
constexpr TColor nearest_color(TColor rgb) { return rgb & 0xFFFFFF; }

// A system colour plus a signed delta on each component, limited to 0..255.
TColor shifted_color(TColor base, int dr, int dg, int db);

}  // namespace gfx
