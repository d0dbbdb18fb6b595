// The windows a menu test works among: an active form, a grid child with the
// focus (its procedure given by the test, if any) and a strip for the bar.
#pragma once

#include "platform/gfx/TRect.h"
#include "platform/ui/WindowSystem.h"

#include <utility>

namespace dxbar::test {

struct MenuWindows {
    ui::HWND form = ui::kNoWindow, grid = ui::kNoWindow, bar = ui::kNoWindow;
};

inline MenuWindows create_menu_windows(ui::WindowSystem& ws, ui::WndProc grid_proc = {}) {
    MenuWindows w;
    ui::CreateParams f;
    f.bounds = Bounds(0, 0, 600, 400);
    f.style = ui::WS_VISIBLE;
    w.form = ws.create_window(f);
    ui::CreateParams c;
    c.parent = w.form;
    c.style = ui::WS_CHILD | ui::WS_VISIBLE;
    c.bounds = Bounds(0, 50, 600, 350);
    c.proc = std::move(grid_proc);
    w.grid = ws.create_window(c);
    c.proc = {};
    c.bounds = Bounds(0, 0, 600, 24);
    w.bar = ws.create_window(c);
    ws.set_active_window(w.form);
    ws.set_focus(w.grid);
    return w;
}

}  // namespace dxbar::test
