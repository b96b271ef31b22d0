// The string tree's HTML export of 100,000 nodes in three columns, and
// 10,000 selected nodes copied to the clipboard and pasted into another tree.

#include "tree/LazyTrees.ClipboardFormats.h"
#include "tree/LazyTrees.h"

#include "framework/DataTransfer.h"

#include <benchmark/benchmark.h>

namespace {

void MakeTree(TLazyStringTree& Tree, Cardinal Top, Cardinal Children) {
    Tree.OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode, TLazyNodeInitStates& States) {
        if (!Parent) States.Include(ivsHasChildren);
    };
    Tree.OnInitChildren = [Children](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = Children; };
    Tree.OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
        Text = u"Node " + String(1, Char(u'A' + Node->Index % 26));
    };
    Tree.SetRootNodeCount(Top);
    Tree.FullExpand();
}

void BM_ContentToHTML100000Nodes(benchmark::State& State) {
    TLazyStringTree Tree(nullptr);
    for (int I = 0; I < 3; ++I) Tree.Header().Columns().Add();
    MakeTree(Tree, 1000, 99);
    for (auto _ : State) benchmark::DoNotOptimize(Tree.ContentToHTML(tstAll).size());
}
BENCHMARK(BM_ContentToHTML100000Nodes)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CopyAndPaste10000Nodes(benchmark::State& State) {
    UseMemoryClipboard(true);
    for (auto _ : State) {
        State.PauseTiming();
        TLazyStringTree Source(nullptr), Target(nullptr);
        Source.ClipboardFormats().Add(u"Lazy Tree Data");
        Source.TreeOptions().SetSelectionOptions({toMultiSelect});
        MakeTree(Source, 100, 99);
        Source.SelectAll(false);
        State.ResumeTiming();
        Source.CopyToClipboard();
        Target.PasteFromClipboard();
        benchmark::DoNotOptimize(Target.TotalCount());
        State.PauseTiming();
        OleSetClipboard(nullptr);
        State.ResumeTiming();
    }
    UseMemoryClipboard(false);
}
BENCHMARK(BM_CopyAndPaste10000Nodes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
