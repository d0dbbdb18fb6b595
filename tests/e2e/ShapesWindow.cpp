// A program of ours for the end-to-end test of window shapes: a dialog that
// the user cannot resize (white), a circular popup over it (red) and, on F3,
// an overlay (green) that lets the pointer through to the dialog; F4 hides
// the overlay again. Clicks that reach the dialog are reported with their
// client point. Esc or a right click ends it.
#include "platform/classes/Exception.h"
#include "platform/gfx/Region.h"
#include "platform/ui/SdlHost.h"

#include <cstdio>

using namespace ui;

namespace {

WndProc filler(WindowSystem& ws, TColor color, WndProc rest = {}) {
    return [&ws, color, rest](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m != WM_PAINT) return rest ? rest(h, m, w, l) : ws.def_window_proc(h, m, w, l);
        PaintStruct ps;
        TCanvas& c = ws.begin_paint(h, ps);
        c.Brush().SetColor(color);
        c.FillRect(ws.get_client_rect(h));
        ws.end_paint(h, ps);
        return 0;
    };
}

void say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

}  // namespace

int main() {
    try {
        SdlHost host;
        WindowSystem& ws = host.windows();
        HWND overlay = kNoWindow;
        CreateParams p;
        p.bounds = Bounds(0, 0, 400, 300);
        p.text = "Dialog";  // no WS_THICKFRAME: a dialog keeps its size
        p.proc = filler(ws, clWhite, [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            switch (m) {
            case WM_RBUTTONDOWN: ws.post_quit_message(0); return 0;
            case WM_LBUTTONDOWN:
                std::printf("click %d,%d\n", get_x_lparam(l), get_y_lparam(l));
                std::fflush(stdout);
                return 0;
            case WM_KEYDOWN:
                if (w == VK_ESCAPE) ws.post_quit_message(0);
                if (w == VK_F3) {
                    ws.show_window(overlay, SW_SHOWNOACTIVATE);
                    ws.update_window(overlay);
                    ws.process_messages();
                    say("overlay shown");
                }
                if (w == VK_F4) {
                    ws.show_window(overlay, SW_HIDE);
                    ws.process_messages();
                    say("overlay hidden");
                }
                return 0;
            case WM_DESTROY: ws.post_quit_message(0); return 0;
            default: return ws.def_window_proc(h, m, w, l);
            }
        });
        const HWND dialog = ws.create_window(p);
        ws.show_window(dialog, SW_SHOW);

        CreateParams c;
        c.bounds = Bounds(100, 100, 60, 60);
        c.owner = dialog;
        c.style = WS_POPUP;
        c.ex_style = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
        c.proc = filler(ws, clRed);
        const HWND circle = ws.create_window(c);
        const gfx::Region round = gfx::ellipse_region(TRect{0, 0, 60, 60});
        ws.set_window_region(circle, &round);
        ws.show_window(circle, SW_SHOWNOACTIVATE);

        CreateParams o = c;
        o.bounds = Bounds(250, 50, 40, 40);
        o.ex_style |= WS_EX_TRANSPARENT;
        o.proc = filler(ws, clLime);
        overlay = ws.create_window(o);

        ws.update_window(dialog);
        ws.update_window(circle);
        ws.process_messages();
        say("ready");
        Msg msg;
        while (ws.get_message(msg)) ws.dispatch_message(msg);
        return ws.exit_code();
    } catch (const Exception& e) {
        std::fprintf(stderr, "abonix: %s\n", e.what());
        return 2;
    }
}
