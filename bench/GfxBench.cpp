// Drawing costs behind the grid's painting: a full-screen fill, one grid row
// of text, a pixel scroll of the rows area and a whole window of rows.
#include "platform/gfx/TBitmap.h"
#include "text/Cp1251.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kScreenW = 1920;
constexpr int kScreenH = 1080;
constexpr int kRowHeight = 17;  // "Courier New" -13: text height + 3 (the grid's row height)
constexpr int kCells = 8;

const AnsiString& cell_text(int i) {
    static const AnsiString texts[kCells] = {
        "2345678"_a, "Константинопольская"_a, "Александр"_a, "Владимирович"_a,
        "Ольмарск"_a, "Набережная Ленина"_a,   "123а"_a,      "45"_a,
    };
    return texts[i % kCells];
}

// One data row as the grid paints it: each cell filled with its background,
// its text single-line in the cell less its margins, clipped; the grid lines
// of the row gathered for one poly-polyline call.
void paint_row(TCanvas& c, int top, std::vector<TPoint>& lines, std::vector<int>& counts) {
    const int cell_w = kScreenW / kCells;
    for (int i = 0; i < kCells; ++i) {
        const TRect cell{i * cell_w, top, (i + 1) * cell_w - 1, top + kRowHeight - 1};
        const bool focused = i == 1 && top == 0;
        c.Brush().SetColor(focused ? clHighlight : clWindow);
        c.Font().SetColor(focused ? clHighlightText : clWindowText);
        c.FillRect(cell);
        c.Brush().SetStyle(bsClear);
        TRect text{cell.Left + 2, cell.Top + 1, cell.Right - 1, cell.Bottom - 1};
        c.TextRect(text, cell_text(i), TTextFormat{tfSingleLine, tfNoPrefix});
        lines.push_back({cell.Right, top});
        lines.push_back({cell.Right, top + kRowHeight});
        counts.push_back(2);
    }
    lines.push_back({0, top + kRowHeight - 1});
    lines.push_back({kScreenW, top + kRowHeight - 1});
    counts.push_back(2);
}

void set_grid_font(TCanvas& c) {
    c.Font().SetName("Courier New");
    c.Font().SetHeight(-13);
    c.Font().SetCharset(RUSSIAN_CHARSET);
}

void BM_FillScreen(benchmark::State& state) {
    TBitmap screen(kScreenW, kScreenH);
    TCanvas& c = screen.Canvas();
    int n = 0;
    for (auto _ : state) {
        c.Brush().SetColor((n++ & 1) ? clBtnFace : clWindow);
        c.FillRect(Rect(0, 0, kScreenW, kScreenH));
        benchmark::DoNotOptimize(screen.ScanLine(0));
    }
    state.SetBytesProcessed(state.iterations() * kScreenW * kScreenH * 4);
}
BENCHMARK(BM_FillScreen)->Name("Gfx/FillScreen")->Unit(benchmark::kMicrosecond);

void BM_TextRow(benchmark::State& state) {
    TBitmap screen(kScreenW, kRowHeight);
    TCanvas& c = screen.Canvas();
    set_grid_font(c);
    std::vector<TPoint> lines;
    std::vector<int> counts;
    for (auto _ : state) {
        lines.clear();
        counts.clear();
        paint_row(c, 0, lines, counts);
        c.Pen().SetColor(clBtnFace);
        c.PolyPolyline(lines, counts);
        benchmark::DoNotOptimize(screen.ScanLine(0));
    }
}
BENCHMARK(BM_TextRow)->Name("Gfx/TextRow")->Unit(benchmark::kMicrosecond);

void BM_ScrollRect(benchmark::State& state) {
    TBitmap screen(kScreenW, kScreenH);
    TCanvas& c = screen.Canvas();
    const TRect rows{0, kRowHeight, kScreenW, kScreenH};
    int dir = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.ScrollRect(0, dir * kRowHeight, rows, rows));
        dir = -dir;
    }
    state.SetBytesProcessed(state.iterations() * kScreenW * (kScreenH - 2 * kRowHeight) * 4);
}
BENCHMARK(BM_ScrollRect)->Name("Gfx/ScrollRect")->Unit(benchmark::kMicrosecond);

// A whole 1920 x 1080 grid: a header row and 50 data rows of eight cells,
// grid lines in one call, the rest of the window in the background colour.
void BM_GridWindow(benchmark::State& state) {
    TBitmap screen(kScreenW, kScreenH);
    TCanvas& c = screen.Canvas();
    set_grid_font(c);
    std::vector<TPoint> lines;
    std::vector<int> counts;
    for (auto _ : state) {
        lines.clear();
        counts.clear();
        for (int row = 0; row < 50; ++row) paint_row(c, kRowHeight + row * kRowHeight, lines, counts);
        c.Pen().SetColor(clBtnFace);
        c.PolyPolyline(lines, counts);
        c.Brush().SetColor(clWindow);
        c.FillRect(Rect(0, 51 * kRowHeight, kScreenW, kScreenH));
        for (int i = 0; i < kCells; ++i) {
            const TRect cell{i * (kScreenW / kCells), 0, (i + 1) * (kScreenW / kCells), kRowHeight};
            c.Brush().SetColor(clBtnFace);
            c.FillRect(cell);
            c.Brush().SetColor(clBtnShadow);
            c.FrameRect(cell);
            c.Brush().SetStyle(bsClear);
            TRect text{cell.Left + 3, cell.Top + 2, cell.Right - 3, cell.Bottom - 3};
            c.TextRect(text, cell_text(i), TTextFormat{tfSingleLine, tfVerticalCenter, tfEndEllipsis, tfNoPrefix});
        }
        benchmark::DoNotOptimize(screen.ScanLine(0));
    }
}
BENCHMARK(BM_GridWindow)->Name("Gfx/GridWindow50Rows")->Unit(benchmark::kMicrosecond);

}  // namespace
