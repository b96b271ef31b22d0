// A string grid of 100,000 rows and 20 columns, as a large scan or protocol
// table would fill it: filling every cell, deleting 1,000 rows in the
// middle, and one full repaint of the window. The grid library's base grid
// does the same through GetCellEx / SetCellEx and its own cell painter.
#include "framework/Forms.h"
#include "framework/Grids.h"

#include "grid/foundation/BaseGrid.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <type_traits>
#include <string>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 20;
constexpr int kDeletions = 1000;

// The benchmarks draw without a display.
const bool kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

// As the grid control keeps it: the display-text hooks apply to every row.
class BenchBaseGrid : public TBaseGrid {
public:
    using TBaseGrid::TBaseGrid;
    void SetCells(int c, int r, const String& v) { SetCellEx(c, r, v); }
    void Normal(int rows) { FNormalRowCount = rows; }
};

template <class Grid>
void Fill(Grid& g) {
    g.SetColCount(kCols);
    g.SetRowCount(kRows);
    if constexpr (std::is_same_v<Grid, BenchBaseGrid>) g.Normal(kRows);
    for (int r = 0; r < kRows; ++r) {
        const String row = Utf8ToString(std::to_string(r));
        for (int c = 0; c < kCols; ++c) g.SetCells(c, r, row + u":" + Utf8ToString(std::to_string(c)));
    }
}

// A cell's text as each grid's users read it.
const String& CellText(TStringGrid& g, int c, int r) { return g.Cells(c, r); }
String CellText(BenchBaseGrid& g, int c, int r) { return g.GetCellEx(c, r); }

template <class Grid>
void BM_Grid_Fill(benchmark::State& state) {
    for (auto _ : state) {
        Grid g(nullptr);
        Fill(g);
        benchmark::DoNotOptimize(g.Cells(kCols - 1, kRows - 1));
    }
}
BENCHMARK(BM_Grid_Fill<TStringGrid>)->Name("BM_Grid_Fill_100000x20")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grid_Fill<BenchBaseGrid>)->Name("BM_BaseGrid_SetCellEx_100000x20")->Unit(benchmark::kMillisecond);

template <class Grid>
void BM_Grid_Read(benchmark::State& state) {
    Grid g(nullptr);
    Fill(g);
    for (auto _ : state) {
        size_t total = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) total += CellText(g, c, r).size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_Grid_Read<TStringGrid>)->Name("BM_Grid_Read_100000x20")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grid_Read<BenchBaseGrid>)->Name("BM_BaseGrid_GetCellEx_100000x20")->Unit(benchmark::kMillisecond);

void BM_Grid_Delete_1000_Middle_Rows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TStringGrid g(nullptr);
        Fill(g);
        state.ResumeTiming();
        for (int i = 0; i < kDeletions; ++i) g.DeleteRow(kRows / 2);
        benchmark::DoNotOptimize(g.RowCount());
    }
}
BENCHMARK(BM_Grid_Delete_1000_Middle_Rows)->Unit(benchmark::kMillisecond);

template <class Grid>
void BM_Grid_Full_Repaint(benchmark::State& state) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 1280, 1000);
    auto* g = new Grid(&form);
    g->SetParent(&form);
    g->SetBounds(0, 0, 1280, 1000);
    Fill(*g);
    g->SetRow(kRows / 2);
    TBitmap bmp;
    for (auto _ : state) {
        RenderControlToBitmap(g, bmp);
        benchmark::DoNotOptimize(bmp.Width());
    }
}
BENCHMARK(BM_Grid_Full_Repaint<TStringGrid>)->Name("BM_Grid_Full_Repaint")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grid_Full_Repaint<BenchBaseGrid>)->Name("BM_BaseGrid_Full_Repaint")->Unit(benchmark::kMillisecond);

// Sorting swaps rows: 1,000,000 swaps of row pairs spread over the filled
// store must take well under 50 ms, whatever the rows hold.
void BM_Grid_SwapRows_1000000(benchmark::State& state) {
    TGridCells cells;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) cells.SetText(c, r, Utf8ToString(std::to_string(r * kCols + c)));
    for (auto _ : state) {
        unsigned a = 12345;
        for (int i = 0; i < 1000000; ++i) {
            a = a * 1103515245u + 12345u;  // a cheap spread of row pairs
            cells.SwapRows(int(a % kRows), int((a >> 8) % kRows));
        }
        benchmark::DoNotOptimize(cells.Text(0, 0));
    }
}
BENCHMARK(BM_Grid_SwapRows_1000000)->Unit(benchmark::kMillisecond);

}  // namespace
