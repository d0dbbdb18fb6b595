// The window's frame (non-client area), its shape, its parent and its
// minimised state.
#include "UiTestSupport.h"

#include "platform/ui/ScopedHook.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

// A window with a frame: 3 pixels around, 12 at the top (a caption), painted
// green; its client area is painted blue. Presses on the caption are HTCAPTION.
struct Framed {
    int frame = 3;
    int caption = 12;
    std::vector<std::string>* log = nullptr;
    WndProc proc() {
        return [this](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            auto& ws = WindowSystem::current();
            switch (m) {
            case WM_NCCALCSIZE: {
                auto* r = reinterpret_cast<TRect*>(l);
                *r = TRect{r->Left + frame, r->Top + caption, r->Right - frame, r->Bottom - frame};
                return 0;
            }
            case WM_NCHITTEST: {
                const LRESULT hit = ws.def_window_proc(h, m, w, l);
                const TPoint p = ws.screen_to_client(h, TPoint{get_x_lparam(l), get_y_lparam(l)});
                return hit == HTBORDER && p.Y < 0 && p.Y >= -caption + frame ? HTCAPTION : hit;
            }
            case WM_NCPAINT: {
                WindowDC dc = ws.get_window_dc(h);
                dc->Brush().SetColor(clLime);
                dc->FillRect(TRect{0, 0, ws.get_bounds(h).Width(), ws.get_bounds(h).Height()});
                return 0;
            }
            case WM_PAINT: {
                PaintStruct ps;
                TCanvas& c = ws.begin_paint(h, ps);
                c.Brush().SetColor(clBlue);
                c.FillRect(ws.get_client_rect(h));
                ws.end_paint(h, ps);
                return 0;
            }
            default:
                if (log && (is_mouse_message(m) || is_nc_mouse_message(m)) && m != WM_NCMOUSEMOVE && m != WM_MOUSEMOVE) {
                    const bool nc = is_nc_mouse_message(m);
                    log->push_back(std::string(nc ? "nc " : "") + std::to_string(m) + " " + std::to_string(nc ? static_cast<int>(w) : 0) +
                                   " " + std::to_string(get_x_lparam(l)) + "," + std::to_string(get_y_lparam(l)));
                }
                return ws.def_window_proc(h, m, w, l);
            }
        };
    }
};

struct Shapes : ::testing::Test {
    Framed f;
    Log log;  // before the host: windows that log die before it
    std::vector<std::string> sizes;
    HeadlessHost host{800, 600};
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(100, 100, 300, 200));
};

TEST_F(Shapes, AFrameTakesItsPartOfTheWindowAndPaintsAroundTheClientArea) {
    f.log = &log;
    const HWND bar = make_child(ws, form, Bounds(20, 30, 100, 50), f.proc());
    const HWND inner = make_child(ws, bar, Bounds(0, 0, 10, 10));
    host.pump();
    EXPECT_EQ(ws.get_client_rect(bar), (TRect{0, 0, 94, 35}));
    EXPECT_EQ(ws.get_frame(bar), (TRect{3, 12, 3, 3}));
    EXPECT_EQ(ws.client_to_screen(bar, TPoint{0, 0}), (TPoint{123, 142}));
    EXPECT_EQ(ws.get_window_rect(bar), Bounds(120, 130, 100, 50));
    // Children live in the client area.
    EXPECT_EQ(ws.get_window_rect(inner), Bounds(123, 142, 10, 10));
    struct Probe {
        TPoint pt;  // form pixels
        TColor expected;
    } probes[] = {{{20, 30}, clLime}, {{22, 41}, clLime}, {{119, 79}, clLime}, {{40, 50}, clBlue}, {{116, 76}, clBlue}};
    for (const Probe& p : probes) EXPECT_EQ(host.pixel(form, p.pt.X, p.pt.Y), p.expected) << p.pt.X << "," << p.pt.Y;
    // Presses on the frame are non-client messages with the part and the
    // screen point; the mouse hook sees them as such.
    std::vector<UINT> hooked;
    ScopedHook hook(ws, HookKind::mouse, [&](int code, WPARAM w, LPARAM l) -> LRESULT {
        hooked.push_back(static_cast<UINT>(w));
        (void)code;
        (void)l;
        return 0;
    });
    host.click(TPoint{150, 135});   // caption
    host.click(TPoint{121, 160});   // left edge
    host.click(TPoint{160, 160});   // client
    EXPECT_EQ(log, (std::vector<std::string>{"nc 161 2 150,135", "nc 162 2 150,135", "nc 161 18 121,160",
                                             "nc 162 18 121,160", "513 0 37,18", "514 0 37,18"}));
    EXPECT_EQ(hooked, (std::vector<UINT>{WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCMOUSEMOVE,
                                         WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDOWN,
                                         WM_LBUTTONUP}));
    // A new frame size: the client area follows, and hears its new size.
    f.caption = 3;
    ws.frame_changed(bar);
    host.pump();
    EXPECT_EQ(ws.get_client_rect(bar), (TRect{0, 0, 94, 44}));
    EXPECT_EQ(host.pixel(form, 40, 36), clBlue);
    EXPECT_EQ(host.pixel(form, 40, 32), clLime);
}

TEST_F(Shapes, AShapedWindowShowsAndTakesThePointerOnlyInsideItsShape) {
    const HWND popup = make_popup(ws, Bounds(400, 300, 29, 29), {});
    const gfx::Region circle = gfx::ellipse_region(TRect{0, 0, 29, 29});
    ws.set_window_region(popup, &circle);
    host.pump();
    EXPECT_EQ(ws.window_from_point(TPoint{414, 314}), popup);  // the centre
    EXPECT_EQ(ws.window_from_point(TPoint{400, 300}), kNoWindow);  // a corner is not the window's
    EXPECT_TRUE(circle.contains(TPoint{0, 14}));
    EXPECT_TRUE(circle.contains(TPoint{28, 14}));
    EXPECT_TRUE(circle.contains(TPoint{14, 0}));
    EXPECT_FALSE(circle.contains(TPoint{1, 1}));
    const auto shot = host.screenshot();
    EXPECT_EQ(shot->color_at(400, 300), ColorToRGB(clBackground));  // the desktop shows through the corner
    EXPECT_NE(shot->color_at(414, 314), ColorToRGB(clBackground));
}

TEST_F(Shapes, AnOverlayIsDrawnOnTopButThePointerGoesThroughIt) {
    CreateParams p;
    p.bounds = Bounds(150, 150, 20, 20);
    p.style = WS_POPUP;
    p.ex_style = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
    const HWND overlay = ws.create_window(p);
    ws.show_window(overlay, SW_SHOWNOACTIVATE);
    host.pump();
    EXPECT_EQ(ws.top_level_windows().front(), overlay);
    EXPECT_EQ(ws.window_from_point(TPoint{155, 155}), form);
    EXPECT_TRUE(host.native_info(overlay)->transparent);
    EXPECT_EQ(ws.get_active_window(), form);
}

TEST_F(Shapes, ReparentingKeepsTheWindowItsChildrenCaptureAndFocus) {
    const HWND dock1 = make_child(ws, form, Bounds(0, 0, 300, 30));
    const HWND dock2 = make_child(ws, form, Bounds(0, 170, 300, 30));
    const HWND bar = make_child(ws, dock1, Bounds(5, 2, 100, 26), logging_proc(log, "bar"));
    const HWND edit = make_child(ws, bar, Bounds(10, 2, 50, 20), logging_proc(log, "edit"));
    ws.set_focus(edit);
    ws.set_capture(bar);
    log.clear();
    EXPECT_EQ(ws.set_parent(bar, dock2), dock1);
    EXPECT_EQ(ws.get_parent(bar), dock2);
    EXPECT_EQ(ws.children(dock1), std::vector<HWND>{});
    EXPECT_EQ(ws.get_focus(), edit);
    EXPECT_EQ(ws.get_capture(), bar);
    EXPECT_EQ(ws.get_window_rect(edit), Bounds(115, 274, 50, 20));
    EXPECT_EQ(log, Log{});  // nobody was destroyed or lost anything
    // Floating: a top-level window of its own, shown by the host.
    ws.set_parent(bar, kNoWindow);
    ws.move_window(bar, Bounds(500, 400, 100, 26));
    EXPECT_EQ(ws.get_parent(bar), kNoWindow);
    EXPECT_TRUE(host.shown(bar));
    EXPECT_EQ(ws.get_capture(), bar);
    EXPECT_EQ(ws.window_from_point(TPoint{515, 405}), edit);
    host.pump();
    // And docked again.
    ws.set_parent(bar, dock1);
    EXPECT_FALSE(host.shown(bar));
    EXPECT_TRUE(ws.is_child(form, edit));
    // Not into itself.
    EXPECT_EQ(ws.set_parent(bar, edit), kNoWindow);
    EXPECT_EQ(ws.get_parent(bar), dock1);
}

TEST_F(Shapes, SystemCommandsMinimiseRestoreAndMaximise) {
    const HWND main = make_top(ws, Bounds(10, 10, 200, 100), [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_SYSCOMMAND) log.push_back("syscommand " + std::to_string(w));
        if (m == WM_SIZE) sizes.push_back(std::to_string(w) + ":" + std::to_string(loword(static_cast<WPARAM>(l))));
        return WindowSystem::current().def_window_proc(h, m, w, l);
    });
    ws.set_active_window(main);
    host.pump();
    ws.host_system_command(main, SC_MINIMIZE);
    EXPECT_TRUE(ws.is_iconic(main));
    EXPECT_TRUE(host.minimized(main));
    EXPECT_TRUE(ws.is_visible(main));
    EXPECT_NE(ws.get_active_window(), main);
    EXPECT_NE(ws.window_from_point(TPoint{50, 50}), main);
    ws.host_system_command(main, SC_RESTORE);
    EXPECT_FALSE(ws.is_iconic(main));
    EXPECT_FALSE(host.minimized(main));
    ws.host_system_command(main, SC_MAXIMIZE);
    EXPECT_TRUE(ws.is_zoomed(main));
    // Minimised from maximised, restored back to maximised.
    ws.show_window(main, SW_MINIMIZE);
    ws.show_window(main, SW_RESTORE);
    EXPECT_TRUE(ws.is_zoomed(main));
    EXPECT_FALSE(ws.is_iconic(main));
    EXPECT_EQ(log, (Log{"syscommand 61472", "syscommand 61728", "syscommand 61488"}));
    EXPECT_EQ(sizes, (std::vector<std::string>{"1:200", "0:200", "2:800", "1:800", "2:800"}));
}

}  // namespace
}  // namespace ui::test
