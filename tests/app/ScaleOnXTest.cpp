// The program's screen scale on a real X server: the desktop's Xft.dpi,
// set with xrdb before the start as a desktop session does, makes everything
// twice as large with no variable set; ABONIX_SCALE still decides over it.
#include "tests/app/ProgramOnX.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using apptest::generate_directory;
using apptest::start_program;

// Loads resources into the server's RESOURCE_MANAGER as a session's start does.
void xrdb_merge(const e2e::Xvfb& x, const TempDir& dir, const std::string& resources) {
    const std::filesystem::path file = dir.path() / "resources";
    std::ofstream(file) << resources;
    ASSERT_EQ(e2e::run({"xrdb", "-merge", file.string()}, {x.env()}, 10000), 0);
}

TEST(ScaleOnX, XftDpiOf192GivesScaleTwoAndAbonixScaleDecidesOverIt) {
    const TempDir dir;
    generate_directory(dir.path(), 500);
    e2e::Xvfb x(2560, 1600);
    xrdb_merge(x, dir, "Xft.dpi: 192\n");
    const struct {
        const char* abonix_scale;  // nullptr: not set
        const char* expected;
    } cases[] = {
        {nullptr, "Startup/scale 2 from Xft.dpi"},
        {"1", "Startup/scale 1 from ABONIX_SCALE"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> env{"ABONIX_TRACE_STARTUP=1", "GDK_SCALE"};
        env.push_back(c.abonix_scale ? std::string("ABONIX_SCALE=") + c.abonix_scale : "ABONIX_SCALE");
        const std::unique_ptr<e2e::Child> app = start_program(x, dir.path(), env);
        const auto line = app->wait_for_line("Startup/scale", 30000);
        ASSERT_TRUE(line) << app->output();
        EXPECT_EQ(line->substr(0, std::string(c.expected).size()), c.expected) << *line;
        e2e::XClient client(x);
        const unsigned long w = client.wait_for_window("Ольмарск 2001", 30000);
        ASSERT_NE(w, 0u) << app->output();
        client.close_window(w);
        EXPECT_EQ(app->wait_exit(30000), 0) << app->output();
    }
}

TEST(ScaleOnX, HelpSaysHowTheScaleIsChosen) {
    e2e::Child help({ABONIX_PROGRAM, "--help"}, {});
    ASSERT_EQ(help.wait_exit(30000), 0) << help.output();
    const std::string& out = help.output();
    const std::size_t abonix = out.find("ABONIX_SCALE"), gdk = out.find("GDK_SCALE"), dpi = out.find("Xft.dpi");
    ASSERT_NE(abonix, std::string::npos) << out;
    ASSERT_NE(gdk, std::string::npos) << out;
    ASSERT_NE(dpi, std::string::npos) << out;
    EXPECT_LT(abonix, gdk);
    EXPECT_LT(gdk, dpi);
}

}  // namespace
