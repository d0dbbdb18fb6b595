// The program itself on a private X server, as the end-to-end tests start it:
// in a generated directory, which it finds as its current folder.
#pragma once

#include "tests/e2e/XSession.h"
#include "tests/support/TempDir.h"
#include "tools/SampleDirectory.h"

#include <filesystem>
#include <memory>
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

}  // namespace apptest
