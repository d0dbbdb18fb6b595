// The grid of the main window on the 1,000,000-subscriber directory, on a
// headless 1920 × 1080 screen: the layout computation, one step down at the
// bottom row without painting, a full repaint, and a one-row scroll with its
// pixel move and repaint.
#include "app/PhonesBuild.h"
#include "app/PhonesLayout.h"
#include "directory/DirectoryTables.h"
#include "grid/dxDBGrid.h"
#include "platform/forms/LayoutReader.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"
#include "platform/ui/HeadlessHost.h"
#include "text/Cp1251.h"
#include "tools/SampleDirectory.h"

#include "bench/BenchDirectory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {


// The grid with its layout cache reachable, so that a benchmark can drop it.
class BenchGrid : public TdxDBGrid {
public:
    using TdxDBGrid::TdxDBGrid;
    void drop_layout() { DiscardLayout(); }
};

class GridForm : public TForm {
public:
    explicit GridForm(TComponent* owner) : TForm(owner) {}
    BenchGrid* grid = nullptr;
    directory::DirectoryTables tables;

protected:
    void ReadLayout(forms::LayoutReader& reader) override {
        SetBorderStyle(bsNone);
        SetBounds(0, 0, 1920, 1080);
        phones::apply_font(Font(), phones::kWindowFont);
        grid = reader.create<BenchGrid>("PhoneGrid");
        grid->SetParent(this);
        phones::configure_grid(*grid);
        grid->SetIniFileName("");  // no layout file: every run starts from the stored layout
        phones::read_columns(reader, *grid);
        tables = directory::DirectoryTables::Create(this);
        for (TComponent* c : tables.Components()) reader.add(c);
        grid->SetDataSource(tables.PhoneDS);
    }
};

// The window on a headless screen, its tables open; shown unless asked not to be.
struct Screen {
    explicit Screen(bool shown = true) : host(1920, 1080), app(std::make_unique<TApplication>()) {
        const std::filesystem::path old = std::filesystem::current_path();
        std::filesystem::current_path(bench::million_directory());
        form = TComponent::Own<GridForm>(app.get());
        form->CreateFromLayout();
        form->grid->HandleNeeded();
        if (shown) form->Show();
        host.pump();
        form->tables.OpenTables();
        host.pump();
        std::filesystem::current_path(old);
    }
    ~Screen() { app.reset(); }
    BenchGrid& grid() { return *form->grid; }

    ui::HeadlessHost host;
    std::unique_ptr<TApplication> app;
    GridForm* form = nullptr;
};

void Grid_Layout(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        s.grid().drop_layout();
        benchmark::DoNotOptimize(s.grid().Layout().total_width());
    }
    state.SetLabel("bands, widths, header cells and rows of the 1920-pixel grid");
}

// Down at the bottom row: the focus asks the table to move one record, the
// window fetches it, the grid follows. The window is not shown, so no pixels move.
void Grid_BindingStep(benchmark::State& state) {
    Screen s(false);
    BenchGrid& g = s.grid();
    g.SetFocusedNumber(g.Count() - 1);
    for (auto _ : state) {
        if (g.DataLink().DataSet()->Eof()) {
            state.PauseTiming();
            g.DataLink().DataSet()->First();
            g.SetFocusedNumber(g.Count() - 1);
            state.ResumeTiming();
        }
        g.SetFocusedNumber(g.FocusedNumber() + 1);
    }
    state.SetLabel("dataset move, record window and binding of " + std::to_string(g.Count()) + " rows");
}

void Grid_Repaint(benchmark::State& state) {
    Screen s;
    BenchGrid& g = s.grid();
    for (auto _ : state) {
        g.Invalidate();
        g.Update();
    }
    state.SetLabel(std::to_string(g.Count()) + " rows of 8 cells");
}

void Grid_ScrollOneRow(benchmark::State& state) {
    Screen s;
    BenchGrid& g = s.grid();
    g.SetFocus();
    g.SetFocusedNumber(g.Count() - 1);
    g.Update();
    for (auto _ : state) {
        if (g.DataLink().DataSet()->Eof()) {
            state.PauseTiming();
            g.DataLink().DataSet()->First();
            g.SetFocusedNumber(g.Count() - 1);
            g.Update();
            state.ResumeTiming();
        }
        g.SetFocusedNumber(g.FocusedNumber() + 1);
        g.Update();
    }
    state.SetLabel("fetch, pixel scroll, repaint of the new row and the two focus rows");
}

// One wheel notch down over the rows, as the window system delivers it: one
// line down, the fetch of one record, the pixel scroll and the repaint.
void Grid_WheelNotch(benchmark::State& state) {
    Screen s;
    BenchGrid& g = s.grid();
    g.SetFocus();
    const TPoint over_rows = s.host.windows().client_to_screen(g.Handle(), {200, g.ClientHeight() / 2});
    g.Update();
    for (auto _ : state) {
        if (g.DataLink().DataSet()->Eof()) {
            state.PauseTiming();
            g.DataLink().DataSet()->First();
            g.Update();
            state.ResumeTiming();
        }
        s.host.wheel(-120, over_rows);
        s.host.pump();
        g.Update();
    }
    state.SetLabel("message, one line down, pixel scroll and repaint");
}

}  // namespace

BENCHMARK(Grid_Layout)->Name("Grid/Layout")->Unit(benchmark::kMicrosecond);
BENCHMARK(Grid_BindingStep)->Name("Grid/BindingStep")->Unit(benchmark::kMicrosecond);
BENCHMARK(Grid_Repaint)->Name("Grid/Repaint")->Unit(benchmark::kMillisecond);
BENCHMARK(Grid_ScrollOneRow)->Name("Grid/ScrollOneRow")->Unit(benchmark::kMillisecond);
BENCHMARK(Grid_WheelNotch)->Name("Grid/WheelNotch")->Unit(benchmark::kMillisecond);
