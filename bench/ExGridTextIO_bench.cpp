// The grid's CSV file on 100,000 rows of 10 columns: save and load. Each
// should stay under 800 ms.
#include "grid/ExGrid.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <memory>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;

const bool kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

// A file in the temporary folder, removed at the end of the benchmark.
struct TempFile {
    std::filesystem::path Path =
        std::filesystem::temp_directory_path() / ("grid_bench_" + std::to_string(getpid()) + ".csv");
    ~TempFile() { std::filesystem::remove(Path); }
    String Name() const { return Utf8ToString(Path.string()); }
};

void Fill(TExStringGrid& g) {
    std::mt19937 gen(1);
    std::uniform_int_distribution<int> pick(0, 999999);
    g.SetColCount(kCols);
    g.SetRowCount(kRows);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) g.SetGridCell(c, r, u"cell " + IntToStr(pick(gen)));
}

void BM_SaveToCSV(benchmark::State& state) {
    TempFile t;
    TExStringGrid g(nullptr);
    Fill(g);
    const String file = t.Name();
    for (auto _ : state) g.Tools().SaveToCSV(file);
}
BENCHMARK(BM_SaveToCSV)->Unit(benchmark::kMillisecond);

void BM_LoadFromCSV(benchmark::State& state) {
    TempFile t;
    const String file = t.Name();
    {
        TExStringGrid g(nullptr);
        Fill(g);
        g.Tools().SaveToCSV(file);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<TExStringGrid>(nullptr);
        state.ResumeTiming();
        g->Tools().LoadFromCSV(file);
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadFromCSV)->Unit(benchmark::kMillisecond);

}  // namespace

// The binary cell stream of 20,000 cells that carry properties: save and
// load. Each should stay under 300 ms.
namespace {

constexpr int kStreamRows = 2000;

void FillWithProperties(TExStringGrid& g) {
    g.SetColCount(kCols);
    g.SetRowCount(kStreamRows);
    for (int r = 0; r < kStreamRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            g.SetGridCell(c, r, u"cell " + IntToStr(r * kCols + c));
            g.SetAlignments(c, r, (r + c) % 2 ? taRightJustify : taCenter);
        }
}

// Save and load of a grid made by Fill: the cells with properties above, or
// the CSV's 100,000 x 10 grid, whose cells hold text only.
void BM_SaveToBinStream(benchmark::State& state, void (*FillGrid)(TExStringGrid&)) {
    TExStringGrid g(nullptr);
    FillGrid(g);
    for (auto _ : state) {
        TMemoryStream s;
        g.Tools().SaveToBinStream(s);
        benchmark::DoNotOptimize(s.Size());
    }
}

void BM_LoadFromBinStream(benchmark::State& state, void (*FillGrid)(TExStringGrid&)) {
    TMemoryStream s;
    {
        TExStringGrid g(nullptr);
        FillGrid(g);
        g.Tools().SaveToBinStream(s);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto g = std::make_unique<TExStringGrid>(nullptr);
        s.SetPosition(0);
        state.ResumeTiming();
        g->Tools().LoadFromBinStream(s);
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_SaveToBinStream, , FillWithProperties)->Name("BM_SaveToBinStream")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFromBinStream, , FillWithProperties)->Name("BM_LoadFromBinStream")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveToBinStream, , Fill)->Name("BM_SaveToBinStreamPlain")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFromBinStream, , Fill)->Name("BM_LoadFromBinStreamPlain")->Unit(benchmark::kMillisecond);

}  // namespace
