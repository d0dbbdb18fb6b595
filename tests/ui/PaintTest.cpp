#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace ui::test {
namespace {

// A procedure that fills its whole client area with a colour the test can change.
WndProc filler(TColor& color, int* paints = nullptr) {
    return [&color, paints](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        auto& ws = WindowSystem::current();
        if (m != WM_PAINT) return ws.def_window_proc(h, m, w, l);
        if (paints) ++*paints;
        PaintStruct ps;
        TCanvas& c = ws.begin_paint(h, ps);
        c.Brush().SetColor(color);
        c.FillRect(ws.get_client_rect(h));
        ws.end_paint(h, ps);
        return 0;
    };
}

struct Paint : ::testing::Test {
    TColor form_color = clRed;
    TColor child_color = clBlue;
    TColor front_color = clLime;
    int form_paints = 0;
    HeadlessHost host{800, 600};
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(100, 100, 200, 100), filler(form_color, &form_paints));
    HWND child = make_child(ws, form, Bounds(10, 10, 50, 50), filler(child_color));
    HWND front = make_child(ws, form, Bounds(40, 40, 50, 50), filler(front_color));  // overlaps child, in front

    void SetUp() override { host.pump(); }
};

TEST_F(Paint, WindowsPaintTheirVisiblePartOfTheFormsPixels) {
    struct Probe {
        TPoint pt;
        TColor expected;
    };
    const Probe probes[] = {{{0, 0}, clRed},   {{9, 9}, clRed},    {{10, 10}, clBlue}, {{39, 39}, clBlue},
                            {{40, 40}, clLime}, {{59, 45}, clLime}, {{89, 89}, clLime}, {{90, 90}, clRed},
                            {{199, 99}, clRed}};
    for (const Probe& p : probes) EXPECT_EQ(host.pixel(form, p.pt.X, p.pt.Y), p.expected) << p.pt.X << "," << p.pt.Y;
    EXPECT_GT(host.present_count(), 0);
}

TEST_F(Paint, InvalidationRepaintsOnlyTheUpdateRegionAroundChildren) {
    form_color = clYellow;
    child_color = clBlack;
    const TRect strip{0, 0, 200, 20};
    ws.invalidate_rect(form, &strip);
    TRect update;
    EXPECT_TRUE(ws.get_update_rect(form, update));
    EXPECT_EQ(update, strip);
    host.pump();
    EXPECT_FALSE(ws.get_update_rect(form, update));
    EXPECT_EQ(host.pixel(form, 5, 5), clYellow);
    EXPECT_EQ(host.pixel(form, 5, 25), clRed);    // outside the strip
    EXPECT_EQ(host.pixel(form, 15, 15), clBlue);  // the child keeps its pixels
    ws.invalidate_rect(child, nullptr);
    host.pump();
    EXPECT_EQ(host.pixel(form, 15, 15), clBlack);
    EXPECT_EQ(host.pixel(form, 45, 45), clLime);  // the sibling in front is not painted over
}

TEST_F(Paint, HidingOrMovingAChildUncoversWhatWasBelow) {
    ws.show_window(front, SW_HIDE);
    host.pump();
    EXPECT_EQ(host.pixel(form, 45, 45), clBlue);
    EXPECT_EQ(host.pixel(form, 80, 80), clRed);
    ws.move_window(child, Bounds(100, 10, 50, 50));
    host.pump();
    EXPECT_EQ(host.pixel(form, 15, 15), clRed);
    EXPECT_EQ(host.pixel(form, 105, 15), clBlue);
}

TEST_F(Paint, AProcedureThatDoesNotPaintIsNotAskedForever) {
    const HWND lazy = make_top(ws, Bounds(0, 0, 10, 10), [&](HWND h, UINT m, WPARAM w, LPARAM l) {
        return m == WM_PAINT ? LRESULT{0} : ws.def_window_proc(h, m, w, l);
    });
    host.pump();
    TRect r;
    EXPECT_FALSE(ws.get_update_rect(lazy, r));
}

TEST_F(Paint, ScrollingMovesPixelsAndInvalidatesTheUncoveredStrip) {
    // Rows of the form in distinct colours, drawn through a device context.
    ws.show_window(child, SW_HIDE);
    ws.show_window(front, SW_HIDE);
    host.pump();
    {
        WindowDC dc = ws.get_dc(form);
        for (int y = 0; y < 100; ++y) {
            dc->Brush().SetColor(RGB(y, 0, 0));
            dc->FillRect(TRect{0, y, 200, y + 1});
        }
    }
    const int before = form_paints;
    const gfx::Region uncovered = ws.scroll_window(form, 0, -10);
    EXPECT_EQ(uncovered.bounds(), (TRect{0, 90, 200, 100}));
    EXPECT_EQ(host.pixel(form, 3, 0), RGB(10, 0, 0));
    EXPECT_EQ(host.pixel(form, 3, 89), RGB(99, 0, 0));
    host.pump();
    EXPECT_EQ(form_paints, before + 1);
    EXPECT_EQ(host.pixel(form, 3, 95), clRed);
    EXPECT_EQ(host.pixel(form, 3, 50), RGB(60, 0, 0));
}

TEST_F(Paint, ScrollingStripsMovesOnlyThemAndTheirPendingUpdate) {
    ws.show_window(child, SW_HIDE);
    ws.show_window(front, SW_HIDE);
    host.pump();
    {
        WindowDC dc = ws.get_dc(form);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) dc->SetPixel(x, y, RGB(x, y, 0));
    }
    gfx::Region strips(TRect{10, 20, 30, 80});
    strips.add(TRect{100, 20, 150, 80});
    const TRect band{0, 50, 200, 52};
    ws.invalidate_rect(form, &band);
    const gfx::Region uncovered = ws.scroll_window(form, 0, -5, strips);
    gfx::Region expected(TRect{10, 75, 30, 80});
    expected.add(TRect{100, 75, 150, 80});
    EXPECT_EQ(uncovered, expected);
    for (const TPoint p : {TPoint{10, 20}, TPoint{29, 74}, TPoint{120, 40}, TPoint{149, 20}})
        EXPECT_EQ(host.pixel(form, p.X, p.Y), RGB(p.X, p.Y + 5, 0)) << p.X << "," << p.Y;
    for (const TPoint p : {TPoint{9, 40}, TPoint{30, 40}, TPoint{60, 40}, TPoint{150, 40}, TPoint{120, 19}, TPoint{120, 80}})
        EXPECT_EQ(host.pixel(form, p.X, p.Y), RGB(p.X, p.Y, 0)) << p.X << "," << p.Y;
    // The pending rows moved inside the strips and stayed outside them.
    gfx::Region pending(band);
    pending.subtract(strips);
    pending.add(TRect{10, 45, 30, 47});
    pending.add(TRect{100, 45, 150, 47});
    pending.add(expected);
    gfx::Region extra = ws.get_update_region(form);
    extra.subtract(pending);
    gfx::Region missing = pending;
    missing.subtract(ws.get_update_region(form));
    EXPECT_TRUE(extra.empty() && missing.empty());
}

TEST_F(Paint, ScreenshotStacksWindowsAsShown) {
    TColor popup_color = clAqua;
    const HWND popup = make_popup(ws, Bounds(250, 150, 100, 100), filler(popup_color));
    host.pump();
    const auto screen = host.screenshot();
    EXPECT_EQ(screen->color_at(105, 105), clRed);
    EXPECT_EQ(screen->color_at(260, 160), clAqua);  // the popup is over the form
    EXPECT_EQ(screen->color_at(5, 5), ColorToRGB(clBackground));
    ws.destroy_window(popup);
    EXPECT_EQ(host.screenshot()->color_at(260, 160), clRed);
}

}  // namespace
}  // namespace ui::test
