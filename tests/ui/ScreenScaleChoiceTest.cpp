// The run's screen scale from its sources, in their order.
#include "platform/ui/ScreenScaleChoice.h"

#include <gtest/gtest.h>

TEST(ScreenScaleChoiceTest, FirstSourceThatGivesANumberDecides) {
    const char* const dpi192 = "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n";
    const struct {
        const char* abonix;
        const char* gdk;
        const char* resources;
        int scale;
        const char* source;
    } cases[] = {
        {nullptr, nullptr, "", 1, "default"},
        {nullptr, nullptr, "Xft.hinting:\t1\n", 1, "default"},
        {nullptr, nullptr, dpi192, 2, "Xft.dpi"},
        {nullptr, nullptr, "Xft.dpi: 144", 2, "Xft.dpi"},     // 1.5 rounds up
        {nullptr, nullptr, "Xft.dpi:\t120\n", 1, "Xft.dpi"},  // 1.25 rounds down
        {nullptr, nullptr, "Xft.dpi:\t96\n", 1, "Xft.dpi"},
        {nullptr, nullptr, "Xft.dpi:\t288\n", 3, "Xft.dpi"},
        {nullptr, nullptr, "Xft.dpi:\t1000\n", 4, "Xft.dpi"},
        {nullptr, nullptr, "Xft.dpi:\t40\n", 1, "Xft.dpi"},
        {nullptr, nullptr, "Xft.dpi:\thigh\n", 1, "default"},
        {nullptr, nullptr, "Xft.dpix: 192\n*dpi: 192\n", 1, "default"},
        {nullptr, nullptr, "Xft.dpi: 96\nXft.dpi: 192\n", 2, "Xft.dpi"},  // the last entry holds
        {nullptr, "2", "Xft.dpi: 96", 2, "GDK_SCALE"},
        {nullptr, "1.5", "", 2, "GDK_SCALE"},
        {nullptr, "1.49", "", 1, "GDK_SCALE"},
        {nullptr, "", dpi192, 2, "Xft.dpi"},
        {nullptr, "x", dpi192, 2, "Xft.dpi"},
        {"3", "2", dpi192, 3, "ABONIX_SCALE"},
        {"1", "2", dpi192, 1, "ABONIX_SCALE"},
        {"2.5", nullptr, "", 3, "ABONIX_SCALE"},
        {"7", nullptr, "", 4, "ABONIX_SCALE"},
        {"0.3", nullptr, "", 1, "ABONIX_SCALE"},
        {"0", "2", "", 2, "GDK_SCALE"},
        {"-2", nullptr, dpi192, 2, "Xft.dpi"},
        {"2x", nullptr, "", 1, "default"},
    };
    for (const auto& c : cases) {
        const ui::ScaleChoice choice = ui::choose_screen_scale(c.abonix, c.gdk, c.resources);
        const std::string what = std::string(c.abonix ? c.abonix : "-") + " / " + (c.gdk ? c.gdk : "-") + " / " + c.resources;
        EXPECT_EQ(choice.scale, c.scale) << what;
        EXPECT_EQ(choice.source, c.source) << what;
    }
}
