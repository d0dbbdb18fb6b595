// The dataset layer on the 1,000,000-subscriber directory, as the main
// window uses it: the six searches with a window of 40 rows, scrolling one
// row at the window's edge, and a scan of the whole table with controls
// disabled (the grid's incremental search when nothing matches).
#include "directory/DirectorySearch.h"
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

class WindowLink : public TDataLink {
public:
    WindowLink() { SetBufferCount(kRows); }

    // What a repaint reads: every field of every row of the window.
    std::size_t read_window() {
        std::size_t bytes = 0;
        const int saved = ActiveRecord();
        for (int i = 0; i < RecordCount(); ++i) {
            SetActiveRecord(i);
            for (int f = 0; f < DataSet()->FieldCount(); ++f) bytes += DataSet()->Fields(f)->DisplayText().size();
        }
        SetActiveRecord(saved);
        return bytes;
    }

    // What repainting the one new row after a scroll reads.
    std::size_t read_row(int row) {
        std::size_t bytes = 0;
        const int saved = ActiveRecord();
        SetActiveRecord(row);
        for (int f = 0; f < DataSet()->FieldCount(); ++f) bytes += DataSet()->Fields(f)->DisplayText().size();
        SetActiveRecord(saved);
        return bytes;
    }
};

// The directory opened as at start-up, its subscriber table shown in a window of 40 rows.
struct OpenDirectory {
    OpenDirectory() : old_dir(std::filesystem::current_path()) {
        std::filesystem::current_path(bench::million_directory());
        tables = directory::DirectoryTables::Create(&form);
        tables.Loaded();
        link.SetDataSource(tables.PhoneDS);
        tables.OpenTables();
        std::filesystem::current_path(old_dir);
    }
    std::filesystem::path old_dir;
    WindowLink link;
    TComponent form;
    directory::DirectoryTables tables;
};

void Dataset_Search(benchmark::State& state) {
    OpenDirectory d;
    directory::DirectorySearch search(d.tables.PhoneT, d.tables.CityT, d.tables.StreetT);
    using Handler = void (directory::DirectorySearch::*)(const AnsiString&);
    const struct {
        Handler handler;
        AnsiString texts[2];
    } kSearches[] = {
        {&directory::DirectorySearch::PhoneEditChange, {"52", "318"}},
        {&directory::DirectorySearch::LastNameEditChange, {text::utf8_to_cp1251("Ив"), text::utf8_to_cp1251("Сми")}},
        {&directory::DirectorySearch::FirstNameEditChange, {text::utf8_to_cp1251("Ол"), text::utf8_to_cp1251("Ма")}},
        {&directory::DirectorySearch::MiddleNameEditChange, {text::utf8_to_cp1251("Пет"), text::utf8_to_cp1251("Ник")}},
        {&directory::DirectorySearch::CityEditChange, {text::utf8_to_cp1251("Ольм"), text::utf8_to_cp1251("Б")}},
        {&directory::DirectorySearch::StreetEditChange, {text::utf8_to_cp1251("Лен"), text::utf8_to_cp1251("Сад")}},
    };
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& s = kSearches[i % 6];
        (search.*s.handler)(s.texts[(i / 6) % 2]);
        benchmark::DoNotOptimize(d.link.read_window());
        ++i;
    }
    state.SetLabel("one search, order change included, 40 rows read");
}

void Dataset_ScrollOneRow(benchmark::State& state) {
    OpenDirectory d;
    d.tables.PhoneT->MoveBy(kRows - 1);
    for (auto _ : state) {
        if (d.tables.PhoneT->MoveBy(1) == 0) {
            state.PauseTiming();
            d.tables.PhoneT->First();
            d.tables.PhoneT->MoveBy(kRows - 1);
            state.ResumeTiming();
            continue;
        }
        benchmark::DoNotOptimize(d.link.read_row(kRows - 1));
    }
    state.SetLabel("fetch one record, read its row");
}

void Dataset_ScanAll(benchmark::State& state) {
    OpenDirectory d;
    TTable* phones = d.tables.PhoneT;
    TField* last_name = d.tables.PhoneTLastName;
    std::int64_t records = 0;
    for (auto _ : state) {
        phones->DisableControls();
        phones->First();
        std::size_t bytes = 0;
        while (!phones->Eof()) {
            bytes += last_name->AsString().size();
            phones->Next();
            ++records;
        }
        phones->EnableControls();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["records"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
    state.SetLabel("first to last, controls disabled, LastName read");
}

}  // namespace

BENCHMARK(Dataset_Search)->Name("Dataset/Search")->Unit(benchmark::kMicrosecond);
BENCHMARK(Dataset_ScrollOneRow)->Name("Dataset/ScrollOneRow")->Unit(benchmark::kMicrosecond);
BENCHMARK(Dataset_ScanAll)->Name("Dataset/ScanAll")->Unit(benchmark::kMillisecond);
