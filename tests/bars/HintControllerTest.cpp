#include "bars/HintController.h"

#include "platform/forms/TApplication.h"
#include "platform/ui/HeadlessHost.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

#include <memory>

using text::utf8_to_cp1251;

namespace {

struct HintControllerTest : ::testing::Test {
    ui::HeadlessHost host{800, 600};
    std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
    ui::WindowSystem& ws = host.windows();
    std::unique_ptr<dxbar::HintController> hints = std::make_unique<dxbar::HintController>(ws);

    ~HintControllerTest() override {
        hints.reset();
        app.reset();
    }
    static dxbar::HintController::Source source(const char* utf8) {
        const AnsiString text = utf8_to_cp1251(utf8);
        return {[text] { return text; }, {}};
    }
    bool showing() {
        auto& w = hints->window();
        return w.HintShowing() && w.HandleAllocated() && ws.is_visible(w.Handle());
    }
    AnsiString shown_text() { return showing() ? hints->window().HintText() : AnsiString("(none)"); }
};

TEST_F(HintControllerTest, ShowsAfterTheDelayAndSwitchesAtOnce) {
    ws.set_cursor_pos({100, 30});
    hints->hot_changed(source("Фамилия"));
    host.advance(999);
    EXPECT_FALSE(showing());
    host.advance(1);
    EXPECT_EQ(shown_text(), utf8_to_cp1251("Фамилия"));
    const TRect r = ws.get_window_rect(hints->window().Handle());
    EXPECT_EQ(r.Left, 100);
    EXPECT_EQ(r.Top, 50);
    // The hint window is on the tooltip colour inside a raised edge.
    EXPECT_EQ(host.pixel(hints->window().Handle(), r.Width() - 3, r.Height() - 3), ColorToRGB(clInfoBk));
    // The next box: at once, at the cursor of that moment.
    ws.set_cursor_pos({220, 30});
    hints->hot_changed(source("Имя"));
    EXPECT_EQ(shown_text(), utf8_to_cp1251("Имя"));
    EXPECT_EQ(ws.get_window_rect(hints->window().Handle()).Left, 220);
    // Ten seconds later it goes by itself.
    host.advance(9999);
    EXPECT_TRUE(showing());
    host.advance(1);
    EXPECT_FALSE(showing());
    hints->check_invariants();
}

TEST_F(HintControllerTest, HiddenByAPressAndQuietAfterTheReshowWindow) {
    hints->hot_changed(source("Телефон"));
    host.advance(1000);
    ASSERT_TRUE(showing());
    hints->hide();
    EXPECT_FALSE(showing());
    host.advance(400);
    hints->hot_changed(source("Телефон"));
    EXPECT_FALSE(showing());
    // An item that has no hint shows nothing when its time comes.
    hints->hot_changed(source(""));
    host.advance(1000);
    EXPECT_FALSE(showing());
    hints->check_invariants();
}

TEST_F(HintControllerTest, ALongTextWrapsInsideTheWorkArea) {
    host.set_work_area(Rect(0, 0, 300, 560));
    ws.set_cursor_pos({250, 100});
    std::string words;
    for (int i = 0; i < 40; ++i) words += "слово ";
    hints->hot_changed(source(words.c_str()));
    host.advance(1000);
    ASSERT_TRUE(showing());
    const TRect r = ws.get_window_rect(hints->window().Handle());
    EXPECT_GE(r.Left, 0);
    EXPECT_LE(r.Right, 300 + 6);
    EXPECT_GT(r.Height(), 3 * 13) << "several lines";
    EXPECT_EQ(r.Top, 120);
}

}  // namespace
