#include "XSession.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

// Leaks of the system libraries under our programs are not ours to fix.

// The block colour the smoke window gives a CP1251 character (RGB(c, 255 - c, 64)).
std::uint32_t block_pixel(unsigned char c) { return (std::uint32_t{c} << 16) | (std::uint32_t(255 - c) << 8) | 64; }

TEST(Smoke, OurWindowAppearsTakesCyrillicTypingAndRepaints) {
    Xvfb x(800, 600);
    Child app({ABONIX_SMOKE_WINDOW}, {x.env(), leak_rules()});
    ASSERT_TRUE(app.wait_for_line("ready", 20000)) << app.output();
    // Real time drives the timers, and a worker's post wakes the waiting loop.
    EXPECT_TRUE(app.wait_for_line("timer", 20000)) << app.output();
    EXPECT_TRUE(app.wait_for_line("posted", 20000)) << app.output();

    // The form is at the screen's corner, white and empty.
    const Xvfb::Shot before = x.screenshot();
    ASSERT_EQ(before.width, 800);
    EXPECT_EQ(before.at(100, 100), 0xFFFFFFu);
    EXPECT_EQ(before.at(15, 15), 0xFFFFFFu);

    ASSERT_EQ(run({"xdotool", "mousemove", "100", "100"}, {x.env()}, 10000), 0);
    ASSERT_EQ(run({"xdotool", "type", "--delay", "50", "Ив"}, {x.env()}, 20000), 0);
    const auto line = app.wait_for_line("text: Ив", 20000);
    ASSERT_TRUE(line) << app.output();
    EXPECT_EQ(*line, "text: Ив");

    // The window repainted: one block per character in the character's colour.
    const Xvfb::Shot after = x.screenshot();
    EXPECT_EQ(after.at(15, 15), block_pixel(0xC8));  // "И"
    EXPECT_EQ(after.at(35, 15), block_pixel(0xE2));  // "в"
    EXPECT_EQ(after.at(100, 100), 0xFFFFFFu);

    // A top-most popup that never takes the focus: typing still goes to the form,
    // even after a click on the popup.
    ASSERT_EQ(run({"xdotool", "key", "F2"}, {x.env()}, 10000), 0);
    const auto popup = app.wait_for_line("popup", 20000);
    ASSERT_TRUE(popup) << app.output();
    EXPECT_EQ(*popup, "popup focus kept");
    ASSERT_EQ(run({"xdotool", "mousemove", "240", "120", "click", "1"}, {x.env()}, 10000), 0);
    ASSERT_EQ(run({"xdotool", "type", "--delay", "50", "д"}, {x.env()}, 20000), 0);
    EXPECT_TRUE(app.wait_for_line("text: Ивд", 20000)) << app.output();
    const Xvfb::Shot with_popup = x.screenshot();
    if (HasFailure()) {
        const std::string path = ::testing::TempDir() + "abonix_smoke_screen.png";
        Xvfb::save_png(with_popup, path);
        ADD_FAILURE() << "the screen is in " << path;
    }
    EXPECT_EQ(with_popup.at(210, 110), 0x0000FFu);  // the popup, over the form
    EXPECT_EQ(with_popup.at(55, 15), block_pixel(0xE4));  // "д" on the form

    // A Russian layout: the key in W's place types "ц"; with Ctrl it is the
    // key W (87) for shortcuts and types no letter.
    ASSERT_EQ(run({"setxkbmap", "-layout", "ru"}, {x.env()}, 10000), 0);
    ASSERT_EQ(run({"xdotool", "key", "Cyrillic_tse"}, {x.env()}, 10000), 0);
    EXPECT_EQ(app.wait_for_line("text:", 20000), "text: Ивдц") << app.output();
    ASSERT_EQ(run({"xdotool", "key", "ctrl+Cyrillic_tse"}, {x.env()}, 10000), 0);
    EXPECT_EQ(app.wait_for_line("ctrl key", 20000), "ctrl key 87") << app.output();
    ASSERT_EQ(run({"xdotool", "key", "Cyrillic_a"}, {x.env()}, 10000), 0);
    EXPECT_EQ(app.wait_for_line("text:", 20000), "text: Ивдца") << app.output();

    ASSERT_EQ(run({"xdotool", "key", "Escape"}, {x.env()}, 10000), 0);
    EXPECT_EQ(app.wait_exit(10000), 0) << app.output();
}

TEST(Smoke, WithoutADisplayTheProgramSaysSoAndFails) {
    Child app({ABONIX_SMOKE_WINDOW}, {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", leak_rules()});
    const auto status = app.wait_exit(20000);
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, 2) << app.output();
    app.wait_for_line("", 1000);
    EXPECT_NE(app.output().find("Cannot open the display"), std::string::npos) << app.output();
}

}  // namespace
}  // namespace e2e
