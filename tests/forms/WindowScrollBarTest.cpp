#include "platform/forms/WindowScrollBar.h"

#include "platform/gfx/TBitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace forms;

namespace {

std::string code_name(int code) {
    static const char* names[] = {"line up", "line down", "page up", "page down", "thumb position",
                                  "thumb track", "top", "bottom", "end"};
    return names[code];
}

// A vertical bar 16 × 216 at x = 100, a page of 25 in 0..99: the thumb is
// 46 pixels long, the free shaft 138. The owner moves the position the way
// the grid does, so held presses see the thumb move.
struct Bar {
    WindowScrollBar bar{true};
    std::vector<std::string> log;
    std::vector<int> timers;
    Bar() {
        bar.set_rect(TRect{100, 0, 116, 216});
        bar.model().set_values({0, 99, 25, 0});
        bar.on_command = [this](int code, int pos) {
            log.push_back(code_name(code) + (code == SB_THUMBTRACK || code == SB_THUMBPOSITION ? " " + std::to_string(pos) : ""));
            ScrollBarModel& m = bar.model();
            if (code == SB_PAGEDOWN) m.set_pos(m.values().pos + 25);
            if (code == SB_LINEDOWN) m.set_pos(m.values().pos + 1);
        };
        bar.on_timer = [this](int ms) { timers.push_back(ms); };
    }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(WindowScrollBar, ArrowPressSendsAndRepeatsWhileHeldOverIt) {
    Bar b;
    EXPECT_TRUE(b.bar.mouse_down({105, 5}, false));
    b.bar.timer();
    b.bar.mouse_move({105, 100});  // off the arrow: no repeats
    b.bar.timer();
    b.bar.mouse_move({105, 6});
    b.bar.timer();
    b.bar.mouse_up({105, 6});
    EXPECT_EQ(b.log, (Log{"line up", "line up", "line up", "end"}));
    EXPECT_EQ(b.timers, (std::vector<int>{WindowScrollBar::kRepeatDelay, WindowScrollBar::kRepeatInterval,
                                          WindowScrollBar::kRepeatInterval, WindowScrollBar::kRepeatInterval, 0}));
}

TEST(WindowScrollBar, CommandsForEachPart) {
    struct Case {
        const char* name;
        TPoint press;
        bool ctrl;
        TPoint release;
        Log expected;
    } cases[] = {
        {"lower arrow", {105, 210}, false, {105, 210}, {"line down", "end"}},
        {"page up above the thumb", {105, 150}, false, {105, 150}, {"page down", "end"}},
        {"ctrl on the upper arrow", {105, 3}, true, {105, 3}, {"top", "end"}},
        {"ctrl on the lower arrow", {105, 212}, true, {105, 212}, {"bottom", "end"}},
        {"thumb drag", {105, 20}, false, {105, 89}, {"thumb track 38", "thumb position 38", "end"}},
        {"thumb press and release", {105, 20}, false, {105, 20}, {"thumb position 0", "end"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bar b;
        EXPECT_TRUE(b.bar.mouse_down(c.press, c.ctrl));
        b.bar.mouse_move(c.release);
        b.bar.mouse_up(c.release);
        EXPECT_EQ(b.log, c.expected);
        EXPECT_FALSE(b.bar.model().tracking());
    }
    Bar b;
    b.bar.model().set_pos(50);  // thumb at 16 + 92
    EXPECT_TRUE(b.bar.mouse_down({105, 30}, false));
    b.bar.mouse_up({105, 30});
    EXPECT_EQ(b.log, (Log{"page up", "end"}));
}

TEST(WindowScrollBar, HeldPageStopsWhenTheThumbReachesThePointer) {
    Bar b;
    b.bar.mouse_down({105, 150}, false);  // page down: pos 25, thumb 62..108
    b.bar.timer();                         // pos 50, thumb 108..154: now under the pointer
    b.bar.timer();
    b.bar.timer();
    b.bar.mouse_up({105, 150});
    EXPECT_EQ(b.log, (Log{"page down", "page down", "end"}));
}

TEST(WindowScrollBar, NothingToScrollTakesNoPressAndCancelEndsADrag) {
    Bar b;
    b.bar.model().set_values({0, 10, 11, 0});
    EXPECT_FALSE(b.bar.mouse_down({105, 5}, false));
    EXPECT_FALSE(b.bar.mouse_down({50, 5}, false));  // outside the strip
    b.bar.model().set_values({0, 99, 25, 0});
    b.bar.mouse_down({105, 20}, false);
    b.bar.mouse_move({105, 60});
    b.bar.cancel();
    EXPECT_EQ(b.log, (Log{"thumb track 22", "end"}));
    EXPECT_EQ(b.bar.model().track_pos(), 0);
}

TEST(WindowScrollBar, ArrowsAndThumbAreDrawnInBothModes) {
    for (bool flat : {false, true}) {
        SCOPED_TRACE(flat ? "flat" : "regular");
        Bar b;
        b.bar.set_flat(flat);
        TBitmap bmp(116, 216);
        b.bar.paint(bmp.Canvas());
        const TColor text = ColorToRGB(clBtnText), face = ColorToRGB(clBtnFace), shadow = ColorToRGB(clBtnShadow);
        // The upper arrow's glyph points up: its tip row is one pixel, the row below three.
        int tip = -1;
        for (int y = 0; y < 16 && tip < 0; ++y)
            if (bmp.color_at(108, y) == text) tip = y;
        ASSERT_GE(tip, 0);
        EXPECT_NE(bmp.color_at(107, tip), text);
        EXPECT_EQ(bmp.color_at(107, tip + 1), text);
        EXPECT_EQ(bmp.color_at(109, tip + 1), text);
        // The lower arrow's glyph points down.
        int low_tip = -1;
        for (int y = 215; y >= 200 && low_tip < 0; --y)
            if (bmp.color_at(108, y) == text) low_tip = y;
        ASSERT_GE(low_tip, 0);
        EXPECT_EQ(bmp.color_at(107, low_tip - 1), text);
        // The thumb (16..62) is a solid face with a frame; the shaft below is a checkerboard.
        EXPECT_EQ(bmp.color_at(108, 40), face);
        EXPECT_NE(bmp.color_at(108, 100), bmp.color_at(109, 100));
        EXPECT_NE(bmp.color_at(108, 61), face);  // the thumb's lower border
        // The frame differs between the modes: flat has a shadow line at the thumb's top.
        EXPECT_EQ(bmp.color_at(108, 16) == shadow, flat);
    }
}
