#include "platform/gfx/TColor.h"

#include <algorithm>
#include <map>

namespace gfx {
namespace {

constexpr TColor hex(std::uint32_t rrggbb) {
    return RGB(static_cast<int>(rrggbb >> 16), static_cast<int>((rrggbb >> 8) & 0xFF), static_cast<int>(rrggbb & 0xFF));
}

// The Windows 2000 "Windows Standard" scheme, by system colour index.
constexpr std::array<TColor, kSystemColorCount> kDefaults = {
    hex(0xD4D0C8),  //  0 scroll bar
    hex(0x3A6EA5),  //  1 desktop
    hex(0x0A246A),  //  2 active caption
    hex(0x808080),  //  3 inactive caption
    hex(0xD4D0C8),  //  4 menu
    hex(0xFFFFFF),  //  5 window
    hex(0x000000),  //  6 window frame
    hex(0x000000),  //  7 menu text
    hex(0x000000),  //  8 window text
    hex(0xFFFFFF),  //  9 caption text
    hex(0xD4D0C8),  // 10 active border
    hex(0xD4D0C8),  // 11 inactive border
    hex(0x808080),  // 12 application workspace
    hex(0x0A246A),  // 13 highlight
    hex(0xFFFFFF),  // 14 highlight text
    hex(0xD4D0C8),  // 15 button face
    hex(0x808080),  // 16 button shadow
    hex(0x808080),  // 17 gray text
    hex(0x000000),  // 18 button text
    hex(0xD4D0C8),  // 19 inactive caption text
    hex(0xFFFFFF),  // 20 button highlight
    hex(0x404040),  // 21 3D dark shadow
    hex(0xD4D0C8),  // 22 3D light
    hex(0x000000),  // 23 info text
    hex(0xFFFFE1),  // 24 info background
    hex(0xB5B5B5),  // 25 (unused)
    hex(0x000080),  // 26 hot-tracked item
    hex(0xA6CAF0),  // 27 active caption gradient
    hex(0xC0C0C0),  // 28 inactive caption gradient
    hex(0x000000),  // 29 (unused)
    hex(0x000000),  // 30 (unused)
};

struct State {
    std::array<TColor, kSystemColorCount> table = kDefaults;
    std::map<SystemColors::ListenerId, SystemColors::Listener> listeners;
    SystemColors::ListenerId next_id = 1;
};

State& state() {
    static State s;
    return s;
}

void notify() {
    // A listener may remove itself while being told; walk a copy.
    auto copy = state().listeners;
    for (auto& [id, listener] : copy) listener();
}

}  // namespace

TColor SystemColors::get(int index) {
    if (index < 0 || index >= kSystemColorCount) return 0;
    return state().table[static_cast<std::size_t>(index)];
}

void SystemColors::set(int index, TColor rgb) {
    if (index < 0 || index >= kSystemColorCount) return;
    TColor& entry = state().table[static_cast<std::size_t>(index)];
    rgb &= 0xFFFFFF;
    if (entry == rgb) return;
    entry = rgb;
    notify();
}

void SystemColors::set_all(const std::array<TColor, kSystemColorCount>& table) {
    std::array<TColor, kSystemColorCount> masked;
    std::transform(table.begin(), table.end(), masked.begin(), [](TColor c) { return c & 0xFFFFFF; });
    if (state().table == masked) return;
    state().table = masked;
    notify();
}

std::array<TColor, kSystemColorCount> SystemColors::table() { return state().table; }

void SystemColors::reset_defaults() { set_all(kDefaults); }

SystemColors::ListenerId SystemColors::add_listener(Listener listener) {
    const ListenerId id = state().next_id++;
    state().listeners.emplace(id, std::move(listener));
    return id;
}

void SystemColors::remove_listener(ListenerId id) { state().listeners.erase(id); }

TColor shifted_color(TColor base, int dr, int dg, int db) {
    const TColor rgb = ColorToRGB(base);
    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    return nearest_color(RGB(clamp(GetRValue(rgb) + dr), clamp(GetGValue(rgb) + dg), clamp(GetBValue(rgb) + db)));
}

}  // namespace gfx

TColor ColorToRGB(TColor color) {
    if (gfx::is_system_color(color)) return gfx::SystemColors::get(gfx::system_color_index(color));
    return color & 0xFFFFFF;
}
