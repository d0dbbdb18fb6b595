// The program itself on a private X server, as the end-to-end tests start it:
// in a generated directory, which it finds as its current folder.
#pragma once

#include "tests/e2e/XSession.h"
#include "tests/support/TempDir.h"
#include "tools/SampleDirectory.h"

#include <filesystem>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace apptest {

// A directory of `subscribers` made up subscribers in `dir`.
inline void generate_directory(const std::filesystem::path& dir, int subscribers = 2000) {
    tools::SampleOptions options;
    options.subscribers = subscribers;
    tools::generate_sample_directory(dir, options);
}

// The program started in `dir` on the server, its leaks checked on the way
// out; `env` adds to (or replaces in) the environment.
inline std::unique_ptr<e2e::Child> start_program(const e2e::Xvfb& x, const std::filesystem::path& dir,
                                                 std::vector<std::string> env = {}) {
    env.insert(env.begin(), {x.env(), e2e::leak_rules()});
    const CurrentDir cd(dir);
    return std::make_unique<e2e::Child>(std::vector<std::string>{ABONIX_PROGRAM}, env);
}

// The background of the grid's focused cell.
constexpr std::uint32_t kHighlight = 0x0A246A;

// Keys one after another, separated by spaces ("ctrl+Home", "Cyrillic_i Cyrillic_ve");
// xdotool's exit status.
inline int press_keys(const e2e::Xvfb& x, const std::string& keys) {
    std::vector<std::string> args{"key", "--delay", "30"};
    std::istringstream in(keys);
    for (std::string k; in >> k;) args.push_back(k);
    return e2e::xdotool(x, args);
}

// The keyboard layout `name` set on the server. xdotool's typing may leave another
// keymap behind, so tests set it again before keys that depend on it.
inline bool set_layout(const e2e::Xvfb& x, const char* name) {
    return e2e::run({"setxkbmap", "-layout", name}, {x.env()}, 10000) == 0;
}

// The top of the highlighted (focused) cell in the column at column_x; -1 when none.
inline int focused_row_top(const e2e::Xvfb& x, int column_x) {
    const e2e::Xvfb::Shot shot = x.screenshot();
    for (int y = 0; y < shot.height; ++y)
        if (shot.at(column_x, y) == kHighlight) return y;
    return -1;
}

// The clipboard's text; empty when xclip cannot read it.
inline std::string clipboard_text(const e2e::Xvfb& x) {
    e2e::Child xclip({"xclip", "-o", "-selection", "clipboard"}, {x.env()});
    return xclip.wait_exit(5000) == 0 ? xclip.output() : std::string{};
}

}  // namespace apptest
