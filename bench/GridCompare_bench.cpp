// The comparisons and the swap step of sorting, over a grid of 100,000 rows
// of numbers in random order: a partition sort as the data tools run it,
// n log n CompareRowsFull calls and SortSwapRows swaps.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include <benchmark/benchmark.h>

#include <random>
#include <utility>
#include <vector>

namespace {

constexpr int Rows = 100000;

void Fill(TExStringGrid& g) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> value(0, 1000000);
    g.BeginUpdate();
    g.SetColCount(3);
    g.SetRowCount(Rows + 1);
    for (int r = 1; r <= Rows; ++r) g.SetGridCell(1, r, IntToStr(value(rng)));
    g.EndUpdate();
}

// The partition sort of the data tools, ascending by column 1 (the pivot
// row is compared in place: its cells do not move while it is the pivot
// once it is copied aside to the last row).
void Sort(TExStringGrid& g, int L, int R) {
    const int scratch = g.RowCount() - 1;
    while (L < R) {
        g.Data().SetText(1, scratch, g.GetGridCell(1, (L + R) / 2));
        int i = L, j = R;
        do {
            while (g.CompareRowsFull(1, scratch, i) == 1 && i < R) ++i;
            while (g.CompareRowsFull(1, j, scratch) == 1 && j > L) --j;
            if (i <= j) {
                if (i != j) g.SortSwapRows(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - L < R - i) {
            Sort(g, L, j);
            L = i;
        } else {
            Sort(g, i, R);
            R = j;
        }
    }
}

void BM_SortByNumbers(benchmark::State& state) {
    TExStringGrid g(nullptr);
    g.SortSettings().SetFull(false);
    for (auto _ : state) {
        state.PauseTiming();
        Fill(g);
        g.SetRowCount(Rows + 2);  // the pivot's scratch row
        g.SetCompares(0);
        g.SetSwaps(0);
        state.ResumeTiming();
        Sort(g, 1, Rows);
    }
    state.counters["compares"] = g.Compares();
    state.counters["swaps"] = g.Swaps();
}
BENCHMARK(BM_SortByNumbers)->Unit(benchmark::kMillisecond);

// The same sort reading each row's key once and swapping the keys with the rows.
void SortKeys(TExStringGrid& g, std::vector<TCellSortKey>& keys, int L, int R) {
    while (L < R) {
        const TCellSortKey pivot = keys[(L + R) / 2];
        int i = L, j = R;
        do {
            while (g.CompareCellSortKeys(pivot, keys[i], sdAscending) == 1 && i < R) ++i;
            while (g.CompareCellSortKeys(keys[j], pivot, sdAscending) == 1 && j > L) --j;
            if (i <= j) {
                if (i != j) {
                    g.SortSwapRows(i, j);
                    std::swap(keys[i], keys[j]);
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - L < R - i) {
            SortKeys(g, keys, L, j);
            L = i;
        } else {
            SortKeys(g, keys, i, R);
            R = j;
        }
    }
}

void BM_SortByNumberKeys(benchmark::State& state) {
    TExStringGrid g(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        Fill(g);
        state.ResumeTiming();
        std::vector<TCellSortKey> keys(Rows + 1);
        for (int r = 1; r <= Rows; ++r) keys[r] = g.CellSortKey(1, r);
        SortKeys(g, keys, 1, Rows);
    }
}
BENCHMARK(BM_SortByNumberKeys)->Unit(benchmark::kMillisecond);

// The data tools' sort of the grid by its column of numbers.
void BM_QSortNumbers(benchmark::State& state) {
    TExStringGrid g(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        Fill(g);
        g.SortSettings().SetColumn(1);
        state.ResumeTiming();
        g.QSort();
    }
}
BENCHMARK(BM_QSortNumbers)->Unit(benchmark::kMillisecond);

void BM_CompareCellsNumbers(benchmark::State& state) {
    TExStringGrid g(nullptr);
    Fill(g);
    int r = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(g.CompareCells(1, r, r + 1, sdAscending));
        r = r + 2 < Rows ? r + 1 : 1;
    }
}
BENCHMARK(BM_CompareCellsNumbers);

}  // namespace
