// The main window on the 1,000,000-subscriber directory, on a headless
// 1920 × 1080 screen: from creating the form (its components, the layout file,
// the tables opened) to its first complete paint, maximized as it starts.
#include "app/Main.h"
#include "platform/forms/TApplication.h"
#include "platform/ui/HeadlessHost.h"

#include "bench/BenchDirectory.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace {

void Window_FirstFrame(benchmark::State& state) {
    ui::HeadlessHost host(1920, 1080);
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(bench::million_directory());
    int presents = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto app = std::make_unique<TApplication>();
        const int before = host.present_count();
        state.ResumeTiming();
        Phones = Application->CreateForm<TPhones>();
        Phones->Show();
        host.pump();
        state.PauseTiming();
        presents += host.present_count() - before;
        app.reset();
        Phones = nullptr;
        host.pump();
        state.ResumeTiming();
    }
    std::filesystem::current_path(old);
    state.counters["presents"] = benchmark::Counter(static_cast<double>(presents), benchmark::Counter::kAvgIterations);
    state.SetLabel("form created, tables opened, shown and painted");
}

}  // namespace

BENCHMARK(Window_FirstFrame)->Name("Window/FirstFrame")->Unit(benchmark::kMillisecond);
