#include "platform/ui/X11Errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace ui {

namespace {

XErrorHandler g_previous = nullptr;

int filter_errors(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
    return g_previous ? g_previous(display, error) : 0;
}

}  // namespace

void install_x11_error_filter() {
    static const bool installed = [] {
        g_previous = XSetErrorHandler(filter_errors);
        return true;
    }();
    (void)installed;
}

}  // namespace ui
