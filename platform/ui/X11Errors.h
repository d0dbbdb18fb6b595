// A guard against a race in SDL's X11 back end: while it waits for events it
// wakes itself by sending an event, over a second connection, to its newest
// window. When that window is destroyed just then (a menu closing), the
// server reports BadWindow for the send, and Xlib's default handler ends the
// whole program. That one error is harmless and is ignored; every other X
// error still goes to the handler that was there before.
#pragma once

namespace ui {

// Installs the filter once for the process; must run before SDL starts its
// video subsystem so that SDL's own handler passes errors on to it.
void install_x11_error_filter();

}  // namespace ui
