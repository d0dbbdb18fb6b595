// How the run's screen scale is chosen, first source that gives one:
//  1. ABONIX_SCALE (1 to 4);
//  2. GDK_SCALE, as GTK programs follow it;
//  3. Xft.dpi in the X server's resources (RESOURCE_MANAGER on the root
//     window, as xrdb sets it), divided by 96;
//  4. otherwise 1.
// Fractions round to the nearest integer (halves up): sharp whole pixels suit
// a grid of text better than blurred fractions. Values outside 1 to 4 are
// brought into it; a value that is no number leaves the choice to the next
// source.
#pragma once

#include <string>
#include <string_view>

namespace ui {

struct ScaleChoice {
    int scale = 1;
    std::string source;  // "ABONIX_SCALE", "GDK_SCALE", "Xft.dpi" or "default"
};

// The choice from the sources' texts; nullptr for a variable not set,
// `resources` the resource database's text ("" when none).
ScaleChoice choose_screen_scale(const char* abonix_scale, const char* gdk_scale, std::string_view resources);

// The Xft.dpi value of a resource database's text; 0 when it has none.
double xft_dpi(std::string_view resources);

// The choice for this run: the environment, then the display named by
// DISPLAY (asked only when neither variable decides).
ScaleChoice choose_screen_scale();

}  // namespace ui
