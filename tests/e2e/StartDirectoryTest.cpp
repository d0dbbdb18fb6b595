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

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// The first line a program prints, or "" when it prints none in time.
std::string first_line(const std::vector<std::string>& argv, const Xvfb& x) {
    Child c(argv, {x.env()});
    const auto line = c.wait_for_line("", 30000);
    c.kill();
    return line.value_or("");
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

const char* const kMainWindow = "Ольмарск 2001";

TEST(StartDirectory, StartedElsewhereWithADirectoryTheProgramWorksThere) {
    const TempDir tmp;
    const fs::path dir = tmp / "Справочник Ольмарска";  // spaces and Cyrillic on the command line
    tools::SampleOptions options;
    options.subscribers = 2000;
    tools::generate_sample_directory(dir, options);

    Xvfb x(1024, 768);
    Child app({ABONIX_PROGRAM, dir.string()}, {x.env(), leak_rules()});
    XClient client(x);
    const unsigned long w = client.wait_for_window(kMainWindow, 30000);
    ASSERT_NE(w, 0u) << app.output();
    expect_works_in(view_of(x, w), dir);

    client.close_window(w);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

TEST(StartDirectory, ADirectoryWithoutTheSubscriberTableGivesOneMessageAndTheWindowStillOpens) {
    const TempDir tmp;
    Xvfb x(1024, 768);
    Child app({ABONIX_PROGRAM, tmp.path().string()}, {x.env(), leak_rules()});
    XClient client(x);
    const unsigned long box = client.wait_for_window("Abonix", 30000);
    ASSERT_NE(box, 0u) << app.output();
    client.close_window(box);
    const unsigned long w = client.wait_for_window(kMainWindow, 30000);
    ASSERT_NE(w, 0u) << app.output();
    EXPECT_EQ(client.wait_for_window("Abonix", 0), 0u) << "a second message";
    EXPECT_EQ(view_of(x, w).cwd, fs::canonical(tmp.path()));
    client.close_window(w);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

TEST(StartDirectory, WithNoTablesAroundTheProgramOpensTheUsersFolderSetUpFromTheSample) {
    const TempDir tmp;
    fs::create_directories(tmp / "elsewhere");
    Xvfb x(1024, 768);
    std::optional<CurrentDir> cd(std::in_place, tmp / "elsewhere");
    Child app({ABONIX_PROGRAM}, {x.env(), leak_rules(), "XDG_DATA_HOME=" + (tmp / "data").string()});
    cd.reset();
    XClient client(x);
    const unsigned long w = client.wait_for_window(kMainWindow, 30000);
    ASSERT_NE(w, 0u) << app.output();
    expect_works_in(view_of(x, w), tmp / "data" / "abonix");
    client.close_window(w);
    EXPECT_EQ(app.wait_exit(30000), 0) << app.output();
}

}  // namespace
}  // namespace e2e
