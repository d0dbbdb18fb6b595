// The program started from outside its directory: with a DIRECTORY argument
// it works there (its current directory, and the tables it has open are that
// directory's); a directory without the subscriber table gives one message
// and the window still opens; with no tables around it opens the user's own
// folder, set up from the sample beside the program.
//
// The main window shows no grid yet, so what is checked is what the process
// itself shows: its working directory and the table files it has mapped.
#include "XSession.h"
#include "tests/support/TempDir.h"
#include "tools/SampleDirectory.h"

// Before the X headers, whose macros (None, Status) clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kLeakRules = "LSAN_OPTIONS=print_suppressions=0:suppressions=" ABONIX_SOURCE_DIR "/tests/e2e/lsan.supp";

// The first line a program prints, or "" when it prints none in time.
std::string first_line(const std::vector<std::string>& argv, const Xvfb& x) {
    Child c(argv, {x.env()});
    const auto line = c.wait_for_line("", 30000);
    c.kill();
    return line.value_or("");
}

// A visible window whose title matches the pattern, waiting for it; 0 when none comes.
unsigned long wait_for_window(const Xvfb& x, const std::string& pattern) {
    const std::string id = first_line({"xdotool", "search", "--sync", "--onlyvisible", "--name", pattern}, x);
    return id.empty() ? 0 : std::stoul(id);
}

// A visible window whose title matches the pattern now; 0 when there is none.
unsigned long find_window(const Xvfb& x, const std::string& pattern) {
    Child search({"xdotool", "search", "--onlyvisible", "--name", pattern}, {x.env()});
    search.wait_exit(30000);
    const std::string& out = search.output();
    return out.empty() || out[0] < '0' || out[0] > '9' ? 0 : std::stoul(out);
}

// What a window manager sends when the user clicks the close box.
void close_window(const Xvfb& x, unsigned long window) {
    std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(x.display().c_str()), &XCloseDisplay);
    ASSERT_NE(display, nullptr);
    Display* d = display.get();
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, NoEventMask, &e);
    XFlush(d);
}

struct ProcessView {
    fs::path cwd;
    std::string maps;  // the files it has mapped, one per line
};

// The working directory and mapped files of the program that owns the window.
ProcessView view_of(const Xvfb& x, unsigned long window) {
    const std::string pid = first_line({"xdotool", "getwindowpid", std::to_string(window)}, x);
    if (pid.empty()) return {};
    const fs::path proc = fs::path("/proc") / pid;
    std::error_code ec;
    std::ifstream maps(proc / "maps");
    return {fs::read_symlink(proc / "cwd", ec), std::string(std::istreambuf_iterator<char>(maps), {})};
}

void expect_works_in(const ProcessView& v, const fs::path& dir) {
    EXPECT_EQ(v.cwd, fs::canonical(dir));
    for (const char* table : {"Phone2k.db", "City.db", "Street.db"})
        EXPECT_NE(v.maps.find((fs::canonical(dir) / table).string()), std::string::npos) << table << " is not open";
}

const char* const kMainWindow = "2001$";  // "Ольмарск 2001"

TEST(StartDirectory, StartedElsewhereWithADirectoryTheProgramWorksThere) {
    const TempDir tmp;
    const fs::path dir = tmp / "Справочник Ольмарска";  // spaces and Cyrillic on the command line
    tools::SampleOptions options;
    options.subscribers = 2000;
    tools::generate_sample_directory(dir, options);

    Xvfb x(1024, 768);
    Child app({ABONIX_PROGRAM, dir.string()}, {x.env(), kLeakRules});
    const unsigned long w = wait_for_window(x, kMainWindow);
    ASSERT_NE(w, 0u) << app.output();
    expect_works_in(view_of(x, w), dir);

    close_window(x, w);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

TEST(StartDirectory, ADirectoryWithoutTheSubscriberTableGivesOneMessageAndTheWindowStillOpens) {
    const TempDir tmp;
    Xvfb x(1024, 768);
    Child app({ABONIX_PROGRAM, tmp.path().string()}, {x.env(), kLeakRules});
    const unsigned long box = wait_for_window(x, "^Abonix$");
    ASSERT_NE(box, 0u) << app.output();
    close_window(x, box);
    const unsigned long w = wait_for_window(x, kMainWindow);
    ASSERT_NE(w, 0u) << app.output();
    EXPECT_EQ(find_window(x, "^Abonix$"), 0u) << "a second message";
    EXPECT_EQ(view_of(x, w).cwd, fs::canonical(tmp.path()));
    close_window(x, w);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

TEST(StartDirectory, WithNoTablesAroundTheProgramOpensTheUsersFolderSetUpFromTheSample) {
    const TempDir tmp;
    fs::create_directories(tmp / "elsewhere");
    Xvfb x(1024, 768);
    std::optional<CurrentDir> cd(std::in_place, tmp / "elsewhere");
    Child app({ABONIX_PROGRAM}, {x.env(), kLeakRules, "XDG_DATA_HOME=" + (tmp / "data").string()});
    cd.reset();
    const unsigned long w = wait_for_window(x, kMainWindow);
    ASSERT_NE(w, 0u) << app.output();
    expect_works_in(view_of(x, w), tmp / "data" / "abonix");
    close_window(x, w);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

}  // namespace
}  // namespace e2e
