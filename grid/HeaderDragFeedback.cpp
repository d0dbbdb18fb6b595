#include "grid/HeaderDragFeedback.h"

#include "platform/gfx/Region.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/gfx/TCanvas.h"
#include "platform/ui/WindowSystem.h"

#include <array>

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

constexpr std::uint32_t kPopupExStyle = ui::WS_EX_TOPMOST | ui::WS_EX_NOACTIVATE | ui::WS_EX_TRANSPARENT | ui::WS_EX_TOOLWINDOW;

// The two arrows of a box of height h, relative to its top-left corner: the
// upper one pointing down, the lower one pointing up; drawn at 96 dpi and
// multiplied by the screen's scale s.
std::array<TPoint, 7> upper_arrow(int s) {
    std::array<TPoint, 7> p{{{5, 8}, {0, 3}, {3, 3}, {3, 0}, {7, 0}, {7, 3}, {10, 3}}};
    for (TPoint& q : p) q = TPoint{q.X * s, q.Y * s};
    return p;
}
std::array<TPoint, 7> lower_arrow(int h, int s) {
    std::array<TPoint, 7> p{{{5, 8}, {10, 3}, {7, 3}, {7, 0}, {3, 0}, {3, 3}, {0, 3}}};
    for (TPoint& q : p) q = TPoint{q.X * s, h - 1 - q.Y * s};
    return p;
}

// The pixels the arrows cover, row by row: a stem 5 wide, then a head
// narrowing to a point. The rows are listed top to bottom, the order the X
// server's shape request is told they come in (any other order is refused
// with an error that ends the program).
gfx::Region arrows_shape(int h, int s) {
    const auto span = [s](int y) {
        const TRect r = y < 3 ? TRect{3, y, 8, y + 1} : TRect{y - 3, y, 14 - y, y + 1};
        return TRect{r.Left * s, r.Top * s, r.Right * s, r.Bottom * s};
    };
    gfx::Region r;
    for (int y = 0; y < 9; ++y) r.add(span(y));
    for (int y = 8; y >= 0; --y) {
        const TRect upper = span(y);
        r.add(TRect{upper.Left, h - upper.Bottom, upper.Right, h - upper.Top});
    }
    return r;
}

}  // namespace

HeaderDragFeedback::HeaderDragFeedback(ui::HWND grid, const TRect& cell, TColor arrows_color)
    : m_cell(cell.Width(), cell.Height()), m_arrowsColor(arrows_color) {
    {
        ui::WindowDC dc = ws().get_dc(grid);
        m_cell.Canvas().BitBlt(0, 0, cell.Width(), cell.Height(), dc.canvas(), cell.Left, cell.Top, cmSrcCopy);
    }
    const ui::HWND owner = ws().get_top_level(grid);
    ui::CreateParams image;
    image.owner = owner;
    image.style = ui::WS_POPUP;
    image.ex_style = kPopupExStyle;
    image.bounds = Bounds(0, 0, cell.Width(), cell.Height());
    image.proc = [this](ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) -> ui::LRESULT {
        if (msg != ui::WM_PAINT) return ws().def_window_proc(h, msg, w, l);
        ui::PaintStruct ps;
        TCanvas& c = ws().begin_paint(h, ps);
        c.BitBlt(0, 0, m_cell.Width(), m_cell.Height(), m_cell.Canvas(), 0, 0, cmSrcCopy);
        ws().end_paint(h, ps);
        return 0;
    };
    m_image = ws().create_window(image);

    ui::CreateParams arrows;
    arrows.owner = owner;
    arrows.style = ui::WS_POPUP;
    arrows.ex_style = kPopupExStyle;
    arrows.bounds = Bounds(0, 0, gfx::scaled(11), gfx::scaled(20));
    arrows.proc = [this](ui::HWND h, ui::UINT msg, ui::WPARAM w, ui::LPARAM l) -> ui::LRESULT {
        if (msg != ui::WM_PAINT) return ws().def_window_proc(h, msg, w, l);
        ui::PaintStruct ps;
        TCanvas& c = ws().begin_paint(h, ps);
        c.Pen().SetColor(clBlack);
        c.Brush().SetColor(m_arrowsColor);
        const auto up = upper_arrow(gfx::screen_scale());
        const auto down = lower_arrow(m_arrowsBox.Height(), gfx::screen_scale());
        c.Polygon(up);
        c.Polygon(down);
        ws().end_paint(h, ps);
        return 0;
    };
    m_arrows = ws().create_window(arrows);
}

HeaderDragFeedback::~HeaderDragFeedback() {
    if (!ui::WindowSystem::exists()) return;
    if (ws().is_window(m_arrows)) ws().destroy_window(m_arrows);
    if (ws().is_window(m_image)) ws().destroy_window(m_image);
}

void HeaderDragFeedback::MoveImage(TPoint screen) {
    const int w = m_cell.Width(), h = m_cell.Height();
    ws().move_window(m_image, Bounds(screen.X - w / 2, screen.Y - h / 2, w, h));
    ws().show_window(m_image, ui::SW_SHOWNOACTIVATE);
}

void HeaderDragFeedback::ShowArrows(const TRect& screen_box) {
    if (screen_box.IsEmpty()) {
        ws().show_window(m_arrows, ui::SW_HIDE);
        m_arrowsBox = {};
        return;
    }
    if (screen_box != m_arrowsBox) {
        const bool resized = screen_box.Height() != m_arrowsBox.Height();
        m_arrowsBox = screen_box;
        ws().move_window(m_arrows, screen_box);
        if (resized) {
            const gfx::Region shape = arrows_shape(screen_box.Height(), gfx::screen_scale());
            ws().set_window_region(m_arrows, &shape);
        }
        ws().invalidate_rect(m_arrows, nullptr);
    }
    ws().show_window(m_arrows, ui::SW_SHOWNOACTIVATE);
}
