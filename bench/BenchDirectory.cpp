#include "bench/BenchDirectory.h"

#include "tools/SampleDirectory.h"

#include <cstdlib>
#include <iostream>

namespace bench {

std::filesystem::path million_directory() {
    const char* env = std::getenv("ABONIX_BENCH_DIR");
    const std::filesystem::path dir = env && *env ? std::filesystem::path(env) : std::filesystem::path(ABONIX_BENCH_DEFAULT_DIR);
    if (!std::filesystem::exists(dir / "Phone2k.db")) {
        std::cerr << "abonix-bench: generating " << kMillion << " subscribers in " << dir << "\n";
        tools::SampleOptions options;
        options.subscribers = kMillion;
        options.progress = &std::cerr;
        tools::generate_sample_directory(dir, options);
    }
    return std::filesystem::absolute(dir);
}

}  // namespace bench
