// The peer our grid and tree are measured against: Qt's standard item model
// doing the same work as ColumnGrid_bench (fill 100,000 x 20, 1,000 removals
// in the middle), ExGridTools_bench (numeric sort of 100,000 rows of 10
// columns) and LazyTrees_bench (a tree of 1,000 nodes with 999 children
// each), so that the ratios come from one run on one machine.
#include <QGuiApplication>
#include <QStandardItemModel>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kFillRows = 100000;
constexpr int kFillCols = 20;
constexpr int kRemovals = 1000;
constexpr int kSortRows = 100000;
constexpr int kSortCols = 10;

// The model needs no display, but its item data are GUI types.
QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "QtItemModel_bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(argc, argv);
    return app;
}

// The same texts as ColumnGrid_bench, made before the clock.
const std::vector<QString>& Texts() {
    static const std::vector<QString> texts = [] {
        std::vector<QString> t;
        t.reserve(size_t(kFillRows) * kFillCols);
        for (int r = 0; r < kFillRows; ++r)
            for (int c = 0; c < kFillCols; ++c)
                t.push_back(QString::fromStdString(std::to_string(r) + ":" + std::to_string(c)));
        return t;
    }();
    return texts;
}

void Fill(QStandardItemModel& m) {
    const std::vector<QString>& t = Texts();
    for (int r = 0; r < kFillRows; ++r)
        for (int c = 0; c < kFillCols; ++c) m.setItem(r, c, new QStandardItem(t[size_t(r) * kFillCols + c]));
}

void BM_QtModel_Fill(benchmark::State& state) {
    App();
    Texts();
    for (auto _ : state) {
        state.PauseTiming();
        auto m = std::make_unique<QStandardItemModel>(kFillRows, kFillCols);
        state.ResumeTiming();
        Fill(*m);
        benchmark::DoNotOptimize(m->item(kFillRows - 1, kFillCols - 1));
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QtModel_Fill)->Name("BM_QtModel_Fill_100000x20")->Unit(benchmark::kMillisecond);

void BM_QtModel_RemoveRows(benchmark::State& state) {
    App();
    for (auto _ : state) {
        state.PauseTiming();
        auto m = std::make_unique<QStandardItemModel>(kFillRows, kFillCols);
        Fill(*m);
        state.ResumeTiming();
        for (int i = 0; i < kRemovals; ++i) m->removeRow(kFillRows / 2);
        benchmark::DoNotOptimize(m->rowCount());
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QtModel_RemoveRows)->Name("BM_QtModel_RemoveRows_1000")->Unit(benchmark::kMillisecond);

// The numbers of ExGridTools_bench's sort column: the same generator and
// draws. Qt sorts numbers when they are stored as numbers, so they are.
void BM_QtModel_SortNumeric(benchmark::State& state) {
    App();
    std::mt19937 gen(1);
    for (auto _ : state) {
        state.PauseTiming();
        auto m = std::make_unique<QStandardItemModel>(kSortRows, kSortCols);
        std::uniform_int_distribution<int> pick(0, 999999);
        for (int r = 0; r < kSortRows; ++r)
            for (int c = 1; c < kSortCols; ++c) {
                auto* item = new QStandardItem;
                item->setData(pick(gen), Qt::DisplayRole);
                m->setItem(r, c, item);
            }
        state.ResumeTiming();
        m->sort(1);
        state.PauseTiming();
        // This Qt frees the items of a sorted model in quadratic time (its
        // child-index hints are stale after the sort): minutes for these rows.
        // The models are left to the end of the process instead; three
        // iterations keep that to a few hundred megabytes.
        (void)m.release();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QtModel_SortNumeric)->Unit(benchmark::kMillisecond)->Iterations(3);

// 1,000 top-level items with 999 children each, as LazyTrees_bench's tree,
// added one by one as a model is usually filled.
void BM_QtModel_BuildMillionNodeTree(benchmark::State& state) {
    App();
    for (auto _ : state) {
        state.PauseTiming();
        auto m = std::make_unique<QStandardItemModel>();
        state.ResumeTiming();
        QStandardItem* root = m->invisibleRootItem();
        for (int i = 0; i < 1000; ++i) {
            auto* parent = new QStandardItem;
            root->appendRow(parent);
            for (int k = 0; k < 999; ++k) parent->appendRow(new QStandardItem);
        }
        benchmark::DoNotOptimize(m->rowCount());
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QtModel_BuildMillionNodeTree)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
