// abonix-db import of a 1,000,000-subscriber list (the dump of the
// benchmark's generated directory): the goal is at most 15 s for the whole
// import, reading the list and writing the three tables with every index.
#include "tools/ListImport.h"
#include "tools/SampleDirectory.h"
#include "tools/SubscriberList.h"

#include "bench/BenchDirectory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

namespace fs = std::filesystem;

// The list, made once from a generated directory beside the other benchmarks' data.
fs::path million_list() {
    const fs::path dir = bench::million_directory();
    const fs::path list = dir.parent_path() / "import-list.csv";
    if (fs::exists(list)) return list;
    std::ofstream out(list, std::ios::binary);
    tools::print_subscriber_list(dir, out);
    return list;
}

void Import_MillionRows(benchmark::State& state) {
    const fs::path list = million_list();
    const fs::path target = list.parent_path() / "imported";
    for (auto _ : state) {
        const tools::ImportResult r = tools::import_list(list, target, {});
        if (!r.written || r.subscribers != 1000000) state.SkipWithError("the import failed");
    }
    state.counters["rows/s"] = benchmark::Counter(1000000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(Import_MillionRows)->Name("Import/MillionRows")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
