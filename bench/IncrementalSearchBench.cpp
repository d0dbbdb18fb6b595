// The grid's own work on the 1,000,000-subscriber directory: its type-ahead
// search in the LastName order, as the grid runs it through the dataset.
#include "directory/DirectoryTables.h"
#include "platform/db/TDataLink.h"
#include "text/Cp1251.h"
#include "tools/SampleDirectory.h"

#include "bench/BenchDirectory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

constexpr int kRows = 40;

class RowsLink : public TDataLink {
public:
    RowsLink() { SetBufferCount(kRows); }
};

// The directory as the main window opens it, ordered by LastName as after a click on its header.
struct Directory {
    Directory() : old_dir(std::filesystem::current_path()) {
        std::filesystem::current_path(bench::million_directory());
        tables = directory::DirectoryTables::Create(&form);
        tables.Loaded();
        link.SetDataSource(tables.PhoneDS);
        tables.OpenTables();
        std::filesystem::current_path(old_dir);
        tables.PhoneT->SetIndexFieldNames("LastName");
    }
    std::filesystem::path old_dir;
    RowsLink link;
    TComponent form;
    directory::DirectoryTables tables;
};

void Grid_IncrementalSearchNoMatch(benchmark::State& state) {
    Directory d;
    TTable* phones = d.tables.PhoneT;
    phones->SetRecNo(bench::kMillion / 3);
    const AnsiString text = text::utf8_to_cp1251("Ъ");
    for (auto _ : state)
        if (phones->LocatePrefix(d.tables.PhoneTLastName, text, 0)) state.SkipWithError("a last name begins with Ъ");
    state.SetLabel("no last name matches: the whole order read, the record centred again");
}

void Grid_IncrementalSearchNext(benchmark::State& state) {
    Directory d;
    TTable* phones = d.tables.PhoneT;
    TField* last_name = d.tables.PhoneTLastName;
    const AnsiString text = text::utf8_to_cp1251("Ив");
    phones->First();
    if (!phones->LocatePrefix(last_name, text, 0)) state.SkipWithError("no last name begins with Ив");
    const int first = phones->RecNo();
    std::int64_t steps = 0, matches = 0;
    // One iteration walks through every match and wraps back to the first.
    for (auto _ : state) {
        matches = 0;
        do {
            phones->LocatePrefix(last_name, text, 2);
            ++matches;
        } while (phones->RecNo() != first);
        steps += matches;
    }
    state.counters["matches"] = static_cast<double>(matches);
    state.counters["per_step"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetLabel("Ctrl+Enter through every last name beginning with Ив; per_step = average time of one");
}

}  // namespace

BENCHMARK(Grid_IncrementalSearchNoMatch)->Name("Grid/IncrementalSearchNoMatch")->Unit(benchmark::kMillisecond);
BENCHMARK(Grid_IncrementalSearchNext)->Name("Grid/IncrementalSearchNext")->Unit(benchmark::kMillisecond);
