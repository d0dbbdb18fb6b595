#include "bars/MenuAnimator.h"

#include "platform/gfx/TCanvas.h"
#include "platform/ui/HeadlessHost.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ui;

namespace {

struct MenuAnimatorTest : ::testing::Test {
    HeadlessHost host{800, 600};
    WindowSystem& ws = host.windows();
    HWND menu = kNoWindow;
    const TRect final_window = Bounds(300, 200, 102, 62);  // client 100 x 60 in a one-pixel frame

    void SetUp() override {
        CreateParams p;
        p.bounds = final_window;
        p.style = WS_POPUP;
        p.ex_style = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
        menu = ws.create_window(p);
    }
    // The menu's image: rows coloured by their y, so a pixel tells where it came from.
    static std::unique_ptr<TBitmap> image() {
        auto bmp = std::make_unique<TBitmap>(100, 60);
        for (int y = 0; y < 60; ++y) {
            bmp->Canvas().Brush().SetColor(RGB(0, 0, y * 4));
            bmp->Canvas().FillRect(Rect(0, y, 100, y + 1));
        }
        return bmp;
    }
    static void frame(TCanvas& c, TSize size) {
        c.Brush().SetColor(clBlack);
        c.FrameRect(Rect(0, 0, size.cx, size.cy));
    }
};

TEST_F(MenuAnimatorTest, StepsFollowTheTickAndEndWithTheWholeMenu) {
    const dxbar::MenuAnimationPlan plan(dxbar::MenuAnimationKind::slide, {100, 60}, {2, 2}, final_window, false, false);
    dxbar::MenuAnimator animator(ws);
    animator.start(menu, plan, image(), {1, 1}, frame);
    std::vector<TRect> seen;
    std::vector<TColor> first_rows;
    int drawn = 0;
    while (animator.running()) {
        // The worker draws no step before the tick moves on.
        ws.wait_dispatching([&] { return !animator.running() || animator.steps_drawn() != drawn; });
        if (animator.steps_drawn() != drawn) {
            drawn = animator.steps_drawn();
            seen.push_back(ws.get_window_rect(menu));
            first_rows.push_back(host.pixel(menu, 50, 1));
        }
        host.advance(1);
    }
    ASSERT_EQ(seen.size(), 3u);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(seen[static_cast<std::size_t>(k - 1)], plan.window(k));
    // The menu slides out of its top edge: the first row shows the image's row 43, then 26, then 9.
    EXPECT_EQ(first_rows, (std::vector<TColor>{RGB(0, 0, 43 * 4), RGB(0, 0, 26 * 4), RGB(0, 0, 9 * 4)}));
    EXPECT_EQ(ws.get_window_rect(menu), final_window);
    EXPECT_TRUE(ws.is_visible(menu));
}

TEST_F(MenuAnimatorTest, AbortStopsTheWorkerAndShowsTheMenuWhole) {
    const dxbar::MenuAnimationPlan plan(dxbar::MenuAnimationKind::unfold, {100, 60}, {2, 2}, final_window, true, true);
    dxbar::MenuAnimator animator(ws);
    animator.start(menu, plan, image(), {1, 1}, frame);
    ws.wait_dispatching([&] { return animator.steps_drawn() == 1; });
    EXPECT_EQ(ws.get_window_rect(menu), plan.window(1));
    animator.abort_and_wait();
    EXPECT_FALSE(animator.running());
    EXPECT_EQ(animator.steps_drawn(), 1);
    EXPECT_EQ(ws.get_window_rect(menu), final_window);
    // A menu destroyed while animating ends the animation too.
    animator.start(menu, plan, image(), {1, 1}, frame);
    ws.destroy_window(menu);
    animator.abort_and_wait();
    EXPECT_FALSE(animator.running());
}

}  // namespace
