// The 1,000,000-subscriber directory every benchmark works on: ABONIX_BENCH_DIR
// or the build's default folder, generated there when it is missing.
#pragma once

#include <cstdint>
#include <filesystem>

namespace bench {

inline constexpr std::uint32_t kMillion = 1000000;

// The folder, absolute, with the directory's tables in it.
std::filesystem::path million_directory();

}  // namespace bench
