// The sample directory of Ольмарск 2001: Phone2k.db, City.db and Street.db
// with their index files, filled with made-up but plausible subscribers.
// The same seed and count always give the same records.
#pragma once

#include "text/AnsiString.h"

#include <cstdint>
#include <filesystem>
#include <ostream>

namespace tools {

struct SampleOptions {
    std::uint32_t subscribers = 120000;  // at most 1,000,000: phone numbers have six digits
    std::uint64_t seed = 2001;
    std::ostream* progress = nullptr;    // a terminal to draw a progress bar on for large counts
    AnsiString password;                 // CP1251; non-empty: all three tables are protected by it
};

// Creates dir when missing. Throws EngineError on a bad count or a write failure.
void generate_sample_directory(const std::filesystem::path& dir, const SampleOptions& options);

// City and street codes the generator deliberately leaves without a name.
inline constexpr int kMissingCityCode = 99;
inline constexpr int kMissingStreetCode = 9999;

}  // namespace tools
