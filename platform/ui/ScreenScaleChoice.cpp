#include "platform/ui/ScreenScaleChoice.h"

#include "platform/gfx/ScreenScale.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace ui {

namespace {

// A positive number, the whole text of it (surrounding blanks allowed).
std::optional<double> number(std::string_view text) {
    const std::string s(text);
    const char* begin = s.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin) return std::nullopt;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

int rounded_scale(double v) {
    return std::clamp(static_cast<int>(std::floor(v + 0.5)), 1, gfx::kMaxScreenScale);
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

double xft_dpi(std::string_view resources) {
    double dpi = 0;
    while (!resources.empty()) {
        const std::size_t eol = resources.find('\n');
        const std::string_view line = resources.substr(0, eol);
        resources = eol == std::string_view::npos ? std::string_view{} : resources.substr(eol + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
        // The last entry holds, as in the resource manager.
        if (const auto v = number(trimmed(line.substr(colon + 1)))) dpi = *v;
    }
    return dpi;
}

ScaleChoice choose_screen_scale(const char* abonix_scale, const char* gdk_scale, std::string_view resources) {
    if (abonix_scale)
        if (const auto v = number(abonix_scale)) return {rounded_scale(*v), "ABONIX_SCALE"};
    if (gdk_scale)
        if (const auto v = number(gdk_scale)) return {rounded_scale(*v), "GDK_SCALE"};
    if (const double dpi = xft_dpi(resources); dpi > 0) return {rounded_scale(dpi / 96.0), "Xft.dpi"};
    return {1, "default"};
}

ScaleChoice choose_screen_scale() {
    const char* abonix_scale = std::getenv("ABONIX_SCALE");
    const char* gdk_scale = std::getenv("GDK_SCALE");
    const ScaleChoice from_environment = choose_screen_scale(abonix_scale, gdk_scale, {});
    if (from_environment.source != "default") return from_environment;
    // Xlib reads the root window's RESOURCE_MANAGER when it connects; a short
    // connection of its own, since the window system starts only later.
    std::string resources;
    if (Display* display = XOpenDisplay(nullptr)) {
        if (const char* text = XResourceManagerString(display)) resources = text;
        XCloseDisplay(display);
    }
    return choose_screen_scale(nullptr, nullptr, resources);
}

}  // namespace ui
