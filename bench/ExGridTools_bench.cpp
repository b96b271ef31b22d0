// The grid's data tools on 100,000 rows: a sort of 10 columns by a numeric
// column, the filter "*7*" over one column, and the sum of a column; and
// the page count of a 20,000-row print.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;

const bool kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

void Fill(TExStringGrid& g, std::mt19937& gen) {
    g.SetColCount(kCols);
    g.SetRowCount(kRows + 1);
    std::uniform_int_distribution<int> pick(0, 999999);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c < kCols; ++c) g.SetGridCell(c, r, IntToStr(pick(gen)));
}

void BM_QSortNumeric(benchmark::State& state) {
    std::mt19937 gen(1);
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<TExStringGrid>(nullptr);
        Fill(*g, gen);
        g->SortSettings().SetColumn(1);
        state.ResumeTiming();
        g->QSort();
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QSortNumeric)->Unit(benchmark::kMillisecond);

void BM_ApplyFilter(benchmark::State& state) {
    std::mt19937 gen(2);
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<TExStringGrid>(nullptr);
        Fill(*g, gen);
        g->Filter().GetColFilter(1)->SetCondition(u"*7*");
        state.ResumeTiming();
        g->ApplyFilter();
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ApplyFilter)->Unit(benchmark::kMillisecond);

void BM_ColumnSum(benchmark::State& state) {
    std::mt19937 gen(3);
    TExStringGrid g(nullptr);
    Fill(g, gen);
    for (auto _ : state) benchmark::DoNotOptimize(g.ColumnSum(1, 1, kRows));
}
BENCHMARK(BM_ColumnSum)->Unit(benchmark::kMillisecond);

// Counting the pages of a 20,000-row print (the preview's counting pass).
void BM_PrintPageCount(benchmark::State& state) {
    std::mt19937 gen(4);
    TExStringGrid g(nullptr);
    g.SetColCount(6);
    g.SetRowCount(20001);
    std::uniform_int_distribution<int> pick(0, 999999);
    for (int r = 1; r <= 20000; ++r)
        for (int c = 1; c < 6; ++c) g.SetGridCell(c, r, IntToStr(pick(gen)));
    TBitmap bmp;
    bmp.SetSize(800, 1100);
    g.Tools().SetPreviewPage(1);
    for (auto _ : state) g.Tools().PrintPreview(bmp.Canvas(), Rect(0, 0, 800, 1100));
}
BENCHMARK(BM_PrintPageCount)->Unit(benchmark::kMillisecond);

}  // namespace
