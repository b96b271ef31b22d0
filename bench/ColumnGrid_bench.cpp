// The column grid on a form with 100,000 rows and 20 columns: filling every
// cell through SetCellEx (texts made before the clock; on the shown form and
// before the form shows), 1,000 one-row removals in the middle, and one full
// repaint of a 1280 x 1000 window.
#include "framework/Forms.h"

#include "grid/ExCGrid.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 20;
constexpr int kRemovals = 1000;

// The benchmarks draw without a display.
const bool kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

struct GridForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    explicit GridForm(bool shown = true) {
        form.SetBounds(0, 0, 1300, 1020);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 1280, 1000);
        g->SetColCount(kCols);
        g->SetRowCount(kRows);
        if (shown) form.Show();
    }
};

const std::vector<String>& Texts() {
    static const std::vector<String> texts = [] {
        std::vector<String> t;
        t.reserve(size_t(kRows) * kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) t.push_back(Utf8ToString(std::to_string(r) + ":" + std::to_string(c)));
        return t;
    }();
    return texts;
}

void Fill(TExColumnGrid& g) {
    const std::vector<String>& t = Texts();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) g.SetCellEx(c, r, t[size_t(r) * kCols + c]);
}

// Shown: on the shown form; else while the form is not shown yet, as a
// window fills its grids before it shows.
void BM_ColumnGrid_SetCellEx(benchmark::State& state, bool Shown) {
    Texts();
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<GridForm>(Shown);
        state.ResumeTiming();
        Fill(*f->g);
        benchmark::DoNotOptimize(f->g->GetGridCell(kCols - 1, kRows - 1));
        state.PauseTiming();
        f.reset();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_ColumnGrid_SetCellEx, Shown, true)
    ->Name("BM_ColumnGrid_SetCellEx_100000x20")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ColumnGrid_SetCellEx, BeforeShow, false)
    ->Name("BM_ColumnGrid_SetCellExBeforeShow_100000x20")
    ->Unit(benchmark::kMillisecond);

void BM_ColumnGrid_RemoveRows(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<GridForm>();
        Fill(*f->g);
        state.ResumeTiming();
        for (int i = 0; i < kRemovals; ++i) f->g->RemoveRows(kRows / 2, 1);
        benchmark::DoNotOptimize(f->g->RowCount());
        state.PauseTiming();
        f.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ColumnGrid_RemoveRows)->Name("BM_ColumnGrid_RemoveRows_1000")->Unit(benchmark::kMillisecond);

void BM_ColumnGrid_Repaint(benchmark::State& state) {
    GridForm f;
    Fill(*f.g);
    TBitmap b;
    for (auto _ : state) {
        RenderControlToBitmap(f.g, b);
        benchmark::DoNotOptimize(b.Canvas().Pixels(10, 10));
    }
}
BENCHMARK(BM_ColumnGrid_Repaint)->Name("BM_ColumnGrid_Repaint_1280x1000")->Unit(benchmark::kMillisecond);

}  // namespace
