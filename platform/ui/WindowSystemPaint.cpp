// Painting: update regions, frames (WM_NCPAINT), the pixels of top-level
// windows and their presentation.
//
// Invariants:
//  - Update regions are in client coordinates and lie inside the client area.
//  - A window paints only inside its visible region: its part of the
//    parent's client area, less the children and the siblings in front of
//    it, within its shape.
//  - What was painted reaches the host once per burst, when the queue runs dry.
#include "platform/ui/WindowSystemDetail.h"

namespace ui {

// ---- painting --------------------------------------------------------------------------
//
// Each top-level window owns the pixels of itself and its children. A window
// paints through a canvas whose origin is its place in those pixels and whose
// clip is its visible region; what was painted is remembered as changed and
// handed to the host when the queue runs dry, so the screen sees one present
// per burst of painting.

void WindowSystem::on_created(HWND h) {
    Window* w = find(h);
    if (w->top_level()) w->pixels = std::make_unique<TBitmap>(w->bounds.Width(), w->bounds.Height());
}

void WindowSystem::on_shown(HWND h) {
    invalidate_rect(h, nullptr, true);
    redraw_frame(h);
}

void WindowSystem::on_hiding(HWND h) {
    const Window* w = find(h);
    if (!w->top_level() && is_visible(h)) invalidate_parent_area(h, w->bounds);
}

void WindowSystem::on_moving(HWND h, const TRect& old_bounds) {
    const Window* w = find(h);
    if (!w->top_level() && is_visible(h)) invalidate_parent_area(h, old_bounds);
}

void WindowSystem::on_moved(HWND h, const TRect& old_bounds) {
    Window* w = find(h);
    if (w->top_level()) {
        if (old_bounds.Width() == w->bounds.Width() && old_bounds.Height() == w->bounds.Height()) return;
        w->pixels->SetSize(w->bounds.Width(), w->bounds.Height());
    }
    invalidate_rect(h, nullptr, true);
    if (w->has_frame()) w->frame_dirty = true;
}

void WindowSystem::on_visual_change(HWND h) {
    invalidate_rect(h, nullptr, true);
    redraw_frame(h);
}

void WindowSystem::invalidate_parent_area(HWND h, const TRect& bounds) {
    const HWND parent = get_parent(h);
    if (parent == kNoWindow) return;
    invalidate_rect(parent, &bounds, false);
    // Siblings that lay under the window show through now.
    for (HWND c : children(parent)) {
        if (c == h || !is_visible(c)) continue;
        const TRect cb = get_bounds(c);
        const TRect common = gfx::intersect(cb, bounds);
        if (common.IsEmpty()) continue;
        const TRect local = gfx::offset(common, -cb.Left, -cb.Top);
        invalidate_rect(c, &local, true);
    }
}

void WindowSystem::invalidate_rect(HWND h, const TRect* r, bool include_children) {
    Window* w = find(h);
    if (!w || !is_visible(h)) return;
    const TRect client{0, 0, w->bounds.Width(), w->bounds.Height()};
    const TRect area = r ? gfx::intersect(*r, client) : client;
    if (area.IsEmpty()) return;
    w->update.add(area);
    if (!include_children) return;
    for (HWND c : w->children) {
        Window* cw = find(c);
        const TRect common = gfx::intersect(cw->bounds, area);
        if (common.IsEmpty()) continue;
        // A frame under the area is painted again with the client area.
        if (cw->has_frame() && (cw->style & WS_VISIBLE)) cw->frame_dirty = true;
        const TRect local = gfx::offset(common, -cw->bounds.Left - cw->frame.Left, -cw->bounds.Top - cw->frame.Top);
        invalidate_rect(c, &local, true);
    }
}

void WindowSystem::validate_rect(HWND h, const TRect* r) {
    Window* w = find(h);
    if (!w) return;
    if (r)
        w->update.subtract(*r);
    else
        w->update.clear();
}

gfx::Region WindowSystem::get_update_region(HWND h) const {
    const Window* w = find(h);
    return w ? w->update : gfx::Region{};
}

bool WindowSystem::get_update_rect(HWND h, TRect& r) const {
    const Window* w = find(h);
    r = w ? w->update.bounds() : TRect{};
    return w && !w->update.empty();
}

HWND WindowSystem::find_window_to_paint(HWND h) const {
    const Window* w = find(h);
    if (!w || !(w->style & WS_VISIBLE) || w->minimized) return kNoWindow;
    if (!w->update.empty() || w->frame_dirty) return h;
    for (HWND c : w->children)
        if (HWND found = find_window_to_paint(c)) return found;
    return kNoWindow;
}

bool WindowSystem::take_paint(Msg& msg, HWND filter, UINT min, UINT max) const {
    if (!(min == 0 && max == 0) && (WM_PAINT < min || WM_PAINT > max)) return false;
    const std::vector<HWND> roots = filter != kNoWindow ? std::vector<HWND>{filter} : m_top_levels;
    for (HWND root : roots) {
        if (!is_visible(root)) continue;
        if (HWND h = find_window_to_paint(root)) {
            msg = Msg{};
            msg.hwnd = h;
            msg.message = WM_PAINT;
            msg.time = clock().now_ms();
            msg.pt = m_cursor_pos;
            return true;
        }
    }
    return false;
}

void WindowSystem::update_window(HWND h) {
    while (HWND p = find_window_to_paint(h)) {
        if (!is_visible(p)) break;
        paint_frame_if_due(p);
        if (const Window* w = find(p); w && !w->update.empty()) send_message(p, WM_PAINT);
        finish_paint_message(p);
    }
    // Painting now means showing now: callers update before a long operation.
    present_changes();
}

void WindowSystem::finish_paint_message(HWND h) {
    // A procedure that ignored WM_PAINT would otherwise be asked again and
    // again; what it did not paint is given up.
    if (Window* w = find(h)) {
        w->update.clear();
        w->frame_dirty = false;
    }
}

void WindowSystem::paint_frame_if_due(HWND h) {
    Window* w = find(h);
    if (!w || !w->frame_dirty) return;
    w->frame_dirty = false;
    if (w->has_frame()) send_message(h, WM_NCPAINT, 1, 0);
}

void WindowSystem::default_paint(HWND h) {
    PaintStruct ps;
    begin_paint(h, ps);
    end_paint(h, ps);
}

gfx::Region WindowSystem::visible_region(HWND h) const { return visible_area(h, false); }

gfx::Region WindowSystem::visible_area(HWND h, bool whole_window) const {
    const Window* w = find(h);
    if (!w || !is_visible(h)) return {};
    // Built in window coordinates, moved to client coordinates at the end.
    const TRect client = w->client_in_window();
    gfx::Region region(whole_window ? TRect{0, 0, w->bounds.Width(), w->bounds.Height()} : client);
    for (HWND c : w->children) {
        const Window* cw = find(c);
        if (cw->style & WS_VISIBLE)
            region.subtract(gfx::intersect(gfx::offset(cw->bounds, w->frame.Left, w->frame.Top), client));
    }
    if (w->shape) region.intersect(*w->shape);
    // Walk up: clip to each parent's client area and cut away the siblings in front.
    int dx = 0, dy = 0;  // offset of h's window origin in the current ancestor's client area
    for (const Window* a = w; a->parent != kNoWindow;) {
        const Window* parent = find(a->parent);
        dx += a->bounds.Left;
        dy += a->bounds.Top;
        const TRect pc = parent->client_in_window();
        region.intersect(TRect{-dx, -dy, pc.Width() - dx, pc.Height() - dy});
        for (HWND s : parent->children) {
            if (s == a->handle) break;
            const Window* sw = find(s);
            if (sw->style & WS_VISIBLE) region.subtract(gfx::offset(sw->bounds, -dx, -dy));
        }
        dx += parent->frame.Left;
        dy += parent->frame.Top;
        a = parent;
    }
    if (!whole_window) region.offset(-w->frame.Left, -w->frame.Top);
    return region;
}

std::unique_ptr<TCanvas> WindowSystem::make_canvas(HWND h, bool whole_window) {
    const HWND top = get_top_level(h);
    Window* tw = find(top);
    auto canvas = std::make_unique<TCanvas>(tw->pixels->surface());
    const TPoint origin = whole_window ? get_window_rect(h).TopLeft() : client_to_screen(h, TPoint{0, 0});
    canvas->set_origin(TPoint{origin.X - tw->bounds.Left, origin.Y - tw->bounds.Top});
    canvas->set_clip_region(visible_area(h, whole_window));
    return canvas;
}

TCanvas& WindowSystem::begin_paint(HWND h, PaintStruct& ps) {
    Window* w = find(h);
    if (!w) {
        // Painting a window that is gone draws nowhere.
        ps.rcPaint = TRect{};
        ps.canvas = std::make_unique<TCanvas>();
        ps.canvas->set_clip_region(gfx::Region{});
        return *ps.canvas;
    }
    gfx::Region area = visible_region(h);
    area.intersect(w->update);
    ps.rcPaint = w->update.bounds();
    w->update.clear();
    ps.canvas = make_canvas(h, false);
    ps.canvas->set_clip_region(area);
    return *ps.canvas;
}

void WindowSystem::end_paint(HWND h, PaintStruct& ps) {
    if (ps.canvas && ps.canvas->clip_region() && is_window(h)) mark_changed(h, *ps.canvas->clip_region());
    ps.canvas.reset();
}

void WindowSystem::mark_changed(HWND h, const gfx::Region& region, bool whole_window) {
    const HWND top = get_top_level(h);
    Window* tw = find(top);
    if (!tw || region.empty()) return;
    gfx::Region r = region;
    const TPoint origin = whole_window ? get_window_rect(h).TopLeft() : client_to_screen(h, TPoint{0, 0});
    r.offset(origin.X - tw->bounds.Left, origin.Y - tw->bounds.Top);
    tw->changed.add(r);
}

void WindowSystem::present_changes() {
    for (HWND t : m_top_levels) {
        Window* w = find(t);
        if (w->changed.empty()) continue;
        if ((w->style & WS_VISIBLE) && !w->minimized) {
            // Many small rectangles cost more to present than their bounds.
            std::vector<TRect> rects = w->changed.rects();
            if (rects.size() > 16) rects = {w->changed.bounds()};
            m_host.present(t, *w->pixels, rects);
        }
        w->changed.clear();
    }
}

WindowDC WindowSystem::get_dc(HWND h) {
    if (!is_window(h)) {
        auto canvas = std::make_unique<TCanvas>();
        canvas->set_clip_region(gfx::Region{});
        return WindowDC(*this, kNoWindow, std::move(canvas));
    }
    return WindowDC(*this, h, make_canvas(h, false));
}

WindowDC WindowSystem::get_window_dc(HWND h) {
    if (!is_window(h)) return get_dc(kNoWindow);
    return WindowDC(*this, h, make_canvas(h, true), true);
}

WindowDC::WindowDC(WindowSystem& ws, HWND h, std::unique_ptr<TCanvas> canvas, bool whole_window)
    : m_ws(&ws), m_hwnd(h), m_canvas(std::move(canvas)), m_whole_window(whole_window) {}

WindowDC::WindowDC(WindowDC&& other) noexcept
    : m_ws(other.m_ws), m_hwnd(other.m_hwnd), m_canvas(std::move(other.m_canvas)), m_whole_window(other.m_whole_window) {
    other.m_hwnd = kNoWindow;
}

WindowDC::~WindowDC() {
    if (m_hwnd != kNoWindow && m_canvas && m_ws->is_window(m_hwnd) && m_canvas->clip_region())
        m_ws->mark_changed(m_hwnd, *m_canvas->clip_region(), m_whole_window);
}

namespace {

// After the pixels of area moved by (dx, dy): only pixels that were on view
// can have moved, so whatever landed where the source was hidden (or outside)
// joins the window's update, and a pending update moves with the pixels it
// belongs to. Returns what must be painted afresh; landed is the part of the
// area on view, whose pixels changed.
gfx::Region account_for_scroll(gfx::Region& update, const gfx::Region& area, const gfx::Region& visible, int dx,
                               int dy, gfx::Region& landed) {
    gfx::Region moved = visible;
    moved.intersect(area);
    moved.offset(dx, dy);
    gfx::Region invalid = area;
    invalid.intersect(visible);
    landed = invalid;
    invalid.subtract(moved);
    gfx::Region pending = update;
    pending.intersect(area);
    update.subtract(area);
    pending.offset(dx, dy);
    pending.intersect(area);
    update.add(pending);
    update.add(invalid);
    return invalid;
}

}  // namespace

gfx::Region WindowSystem::scroll_window(HWND h, int dx, int dy, const TRect* scroll, const TRect* clip) {
    Window* w = find(h);
    if (!w || !is_visible(h) || (dx == 0 && dy == 0)) return {};
    const TRect client{0, 0, w->bounds.Width(), w->bounds.Height()};
    const TRect s = scroll ? gfx::intersect(*scroll, client) : client;
    const TRect c = clip ? gfx::intersect(*clip, client) : client;
    const TRect area = gfx::intersect(s, c);
    if (area.IsEmpty()) return {};
    const gfx::Region visible = visible_region(h);
    make_canvas(h, false)->ScrollRect(dx, dy, s, c);
    gfx::Region landed;
    gfx::Region invalid = account_for_scroll(w->update, gfx::Region(area), visible, dx, dy, landed);
    mark_changed(h, landed);
    return invalid;
}

gfx::Region WindowSystem::scroll_window(HWND h, int dx, int dy, const gfx::Region& region) {
    Window* w = find(h);
    if (!w || !is_visible(h) || (dx == 0 && dy == 0)) return {};
    gfx::Region area = region;
    area.intersect(TRect{0, 0, w->bounds.Width(), w->bounds.Height()});
    if (area.empty()) return {};
    const gfx::Region visible = visible_region(h);
    make_canvas(h, false)->ScrollRegion(dx, dy, area);
    gfx::Region landed;
    gfx::Region invalid = account_for_scroll(w->update, area, visible, dx, dy, landed);
    mark_changed(h, landed);
    return invalid;
}

const TBitmap* WindowSystem::window_pixels(HWND top) const {
    const Window* w = find(top);
    return w && w->top_level() ? w->pixels.get() : nullptr;
}

}  // namespace ui
