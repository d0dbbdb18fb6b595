// What the start does beside the display's own start-up, measured in-process
// on the 1,000,000-subscriber directory: the workers opening the three tables
// in their orders (the faces are made once a process, so the rounds after
// the first measure the tables), and the one-time making of the compose
// subset from the system's table.
#include "BenchDirectory.h"

#include "app/StartupPrefetch.h"
#include "platform/gfx/FontCache.h"
#include "platform/ui/ComposeSubset.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

void Startup_Prefetch(benchmark::State& state) {
    const std::filesystem::path old_dir = std::filesystem::current_path();
    std::filesystem::current_path(bench::million_directory());
    const std::filesystem::path fonts = std::filesystem::temp_directory_path() / "abonix-bench-fonts";
    gfx::use_font_cache(fonts);
    for (auto _ : state) {
        app::StartupPrefetch prefetch;
        prefetch.finish();
        benchmark::DoNotOptimize(prefetch.unused_tables());
    }
    gfx::use_font_cache({});
    std::filesystem::remove(fonts);
    std::filesystem::current_path(old_dir);
}
BENCHMARK(Startup_Prefetch)->Unit(benchmark::kMillisecond);

void Startup_ComposeSubset(benchmark::State& state) {
    const auto table = ui::ComposeSubset::locale_table("/usr/share/X11/locale", "en_US.UTF-8");
    std::ifstream in(table ? *table : std::filesystem::path());
    std::ostringstream text;
    text << in.rdbuf();
    if (!table || text.str().empty()) {
        state.SkipWithError("no X compose table installed");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(ui::ComposeSubset::filter(text.str()));
}
BENCHMARK(Startup_ComposeSubset)->Unit(benchmark::kMillisecond);

}  // namespace
