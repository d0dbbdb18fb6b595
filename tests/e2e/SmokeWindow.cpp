// A small program of ours for the end-to-end test: one form window on the
// SDL host. Each character typed into it is shown as a coloured block (the
// colour is the character's code) and reported on standard output as UTF-8,
// so the test can see both the keyboard path and the repaint. F2 opens a
// top-most popup that must not take the keyboard from the form. Keys pressed
// with Ctrl are reported by their key code. Esc ends it.
#include "platform/classes/Exception.h"
#include "platform/ui/SdlHost.h"
#include "text/Cp1251.h"

#include <cstdio>

using namespace ui;

namespace {

constexpr int kBlock = 20;

TColor block_color(unsigned char c) { return RGB(c, 255 - c, 64); }

}  // namespace

int main() {
    try {
        SdlHost host;
        WindowSystem& ws = host.windows();
        AnsiString typed;
        CreateParams p;
        p.bounds = Bounds(0, 0, 320, 200);
        p.text = "Абоникс";
        p.style = WS_VISIBLE;
        p.proc = [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            switch (m) {
            case WM_PAINT: {
                PaintStruct ps;
                TCanvas& c = ws.begin_paint(h, ps);
                c.Brush().SetColor(clWhite);
                c.FillRect(ws.get_client_rect(h));
                for (std::size_t i = 0; i < typed.size(); ++i) {
                    c.Brush().SetColor(block_color(static_cast<unsigned char>(typed[i])));
                    const int x = 10 + static_cast<int>(i) * kBlock;
                    c.FillRect(TRect{x, 10, x + kBlock - 2, 10 + kBlock});
                }
                ws.end_paint(h, ps);
                return 0;
            }
            case WM_CHAR:
                if (w >= 32) {
                    typed += static_cast<char>(w);
                    ws.invalidate_rect(h, nullptr);
                    ws.update_window(h);
                    std::printf("text: %s\n", text::cp1251_to_utf8(typed).c_str());
                    std::fflush(stdout);
                }
                return 0;
            case WM_KEYDOWN:
                if (w == VK_ESCAPE) ws.post_quit_message(0);
                if (ws.get_key_state(VK_CONTROL) < 0 && w != VK_CONTROL) {
                    std::printf("ctrl key %u\n", static_cast<unsigned>(w));
                    std::fflush(stdout);
                }
                if (w == VK_F2) {
                    CreateParams pp;
                    pp.bounds = Bounds(200, 100, 80, 40);
                    pp.owner = h;
                    pp.style = WS_POPUP;
                    pp.ex_style = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
                    pp.proc = [&](HWND ph, UINT pm, WPARAM pw, LPARAM pl) -> LRESULT {
                        if (pm != WM_PAINT) return ws.def_window_proc(ph, pm, pw, pl);
                        PaintStruct ps;
                        TCanvas& c = ws.begin_paint(ph, ps);
                        c.Brush().SetColor(clBlue);
                        c.FillRect(ws.get_client_rect(ph));
                        ws.end_paint(ph, ps);
                        return 0;
                    };
                    const HWND popup = ws.create_window(pp);
                    ws.show_window(popup, SW_SHOWNOACTIVATE);
                    ws.update_window(popup);
                    ws.process_messages();
                    std::printf("popup %s\n", ws.get_focus() == h ? "focus kept" : "focus lost");
                    std::fflush(stdout);
                }
                return 0;
            case WM_DESTROY: ws.post_quit_message(0); return 0;
            default: return ws.def_window_proc(h, m, w, l);
            }
        };
        const HWND form = ws.create_window(p);
        ws.update_window(form);
        ws.process_messages();
        std::printf("ready %u\n", form);
        std::fflush(stdout);
        Msg msg;
        while (ws.get_message(msg)) ws.dispatch_message(msg);
        return ws.exit_code();
    } catch (const Exception& e) {
        std::fprintf(stderr, "abonix: %s\n", e.what());
        return 2;
    }
}
