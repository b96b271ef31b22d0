// A tree of 1,000,000 nodes: 1,000 top-level nodes with 999 children each,
// made through OnInitChildren, fully expanded inside one update, then cleared.

#include "tree/LazyTrees.h"

#include "framework/Forms.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

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

// The window parts draw without a display.
const bool Offscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();

class PaintedTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    using TLazyStringTree::Paint;
};

// An 800 x 600 client over the million nodes with check boxes, images and
// lines, scrolled to the middle.
struct PagedTree {
    PagedTree() {
        Form.SetBounds(0, 0, 820, 620);
        Tree = new PaintedTree(&Form);
        Tree->SetParent(&Form);
        Tree->SetBorderStyle(TBaseLazyTree::bsNone);
        Tree->SetBounds(0, 0, 800, 600);
        Tree->ScrollBarOptions().SetScrollBars(ssNone);
        Tree->TreeOptions().SetMiscOptions(Tree->TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        Images.SetSize(16, 16);
        TBitmap Picture;
        Picture.SetSize(16, 16);
        Images.Add(&Picture, nullptr);
        Tree->SetImages(&Images);
        Tree->OnGetImageIndexEx = [](TBaseLazyTree*, PLazyNode, TBaseLazyTree::TLTImageKind, TColumnIndex, bool&,
                                     int& Index, TImageList*&) { Index = 0; };
        Tree->OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            Text = Utf8ToString("Meter " + std::to_string(Node->Index));
        };
        Tree->OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode Node, TLazyNodeInitStates& States) {
            Node->CheckType = ctCheckBox;
            if (!Parent) States.Include(ivsHasChildren);
        };
        Tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 999; };
        Tree->SetRootNodeCount(1000);
        Tree->BeginUpdate();
        Tree->FullExpand();
        Tree->EndUpdate();
        Form.Show();
        Tree->SetOffsetXY(0, -Tree->RangeY() / 2);
    }
    TForm Form{nullptr};
    PaintedTree* Tree;
    TImageList Images;
};

void BM_PaintPageOfMillionNodeTree(benchmark::State& State) {
    PagedTree Paged;
    for (auto _ : State) {
        Paged.Tree->Paint();
        benchmark::DoNotOptimize(Paged.Tree->Canvas().Pixels(400, 300));
    }
}
BENCHMARK(BM_PaintPageOfMillionNodeTree)->Unit(benchmark::kMillisecond);

void BM_NodeAtLastRowOfMillionNodeTree(benchmark::State& State) {
    PagedTree Paged;
    Paged.Tree->SetOffsetXY(0, -Paged.Tree->RangeY());
    for (auto _ : State) benchmark::DoNotOptimize(Paged.Tree->GetNodeAt(10, 590));
}
BENCHMARK(BM_NodeAtLastRowOfMillionNodeTree)->Unit(benchmark::kMicrosecond);

}  // namespace
