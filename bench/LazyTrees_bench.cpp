// A tree of 1,000,000 nodes: 1,000 top-level nodes with 999 children each,
// made through OnInitChildren, fully expanded inside one update, then cleared.

#include "tree/LazyTrees.h"

#include <benchmark/benchmark.h>

namespace {

void MakeTree(TBaseLazyTree& Tree) {
    Tree.SetNodeDataSize(8);
    Tree.OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode, TLazyNodeInitStates& States) {
        if (!Parent) States.Include(ivsHasChildren);
    };
    Tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 999; };
    Tree.SetRootNodeCount(1000);
}

void BM_BuildAndFullExpandMillionNodes(benchmark::State& State) {
    for (auto _ : State) {
        State.PauseTiming();
        auto Tree = std::make_unique<TBaseLazyTree>(nullptr);
        State.ResumeTiming();
        MakeTree(*Tree);
        Tree->BeginUpdate();
        Tree->FullExpand();
        Tree->EndUpdate();
        benchmark::DoNotOptimize(Tree->RootNode()->TotalCount);
        State.PauseTiming();
        Tree.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_BuildAndFullExpandMillionNodes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ClearMillionNodes(benchmark::State& State) {
    for (auto _ : State) {
        State.PauseTiming();
        auto Tree = std::make_unique<TBaseLazyTree>(nullptr);
        MakeTree(*Tree);
        Tree->BeginUpdate();
        Tree->FullExpand();
        Tree->EndUpdate();
        State.ResumeTiming();
        Tree->Clear();
        benchmark::DoNotOptimize(Tree->RootNode()->TotalCount);
        State.PauseTiming();
        Tree.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_ClearMillionNodes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
