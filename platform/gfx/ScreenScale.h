// The screen's scale: one integer factor S for the whole run, by which every
// size the program lays out in pixels is multiplied (font heights, system
// metrics, the grid's and the bars' geometry, images and cursors). Sizes kept
// in files stay in units of a 96 pixels-per-inch screen. S is chosen once at
// the start, before any window or font is made (ui::choose_screen_scale);
// headless tests set it themselves. At S = 1 every pixel is as it always was.
#pragma once

namespace gfx {

inline constexpr int kMaxScreenScale = 4;

int screen_scale();
// Clamped to 1..kMaxScreenScale.
void set_screen_scale(int scale);

// A size of a 96 pixels-per-inch screen on this one.
inline int scaled(int logical) { return logical * screen_scale(); }
// A size on this screen in 96 pixels-per-inch units, rounded to the nearest,
// halves away from zero (what the layout file keeps).
int unscaled(int pixels);

}  // namespace gfx
