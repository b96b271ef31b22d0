// The animation of expanding and collapsing: which bands of the window scroll
// and how far, the pixels of every step, and the timed loop that runs them.
// The tree's own loop waits for the clock; the pixel tests replace it by one
// that runs the same steps at once, so that nothing depends on timing.

#include "tree/LazyTrees.h"

#include "framework/Forms.h"
#include "framework/Themes.h"
#include "tree/TreePicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace {

using TData = TBaseLazyTree::TToggleAnimationData;

// A string tree that runs an animation's steps at once, six pixels at a time, and keeps the window's
// picture before the first step and after every step.
class StepTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    void RunAnimation(int Steps, int Duration, const TLTAnimationCallback& Callback, void* Data) override {
        AskedSteps = Steps;
        AskedDuration = Duration;
        Before.Assign(&BackBuffer());
        for (int Done = 0; Done < Steps;) {
            const int Size = std::min(StepSize, Steps - Done);
            Callback(Done, Size, Data);
            Done += Size;
            Frames.emplace_back();
            Frames.back().Moved = Done;
            Frames.back().Picture.Assign(&BackBuffer());
        }
        Callback(0, 0, Data);
    }
    bool ToggleAnimationStep(int Step, int Size, TData& Data) override {
        if (Step == 0 && Size > 0) First = Data;
        return TLazyStringTree::ToggleAnimationStep(Step, Size, Data);
    }
    struct Frame {
        int Moved = 0;
        TBitmap Picture;
    };
    int StepSize = 6;
    int AskedSteps = -1, AskedDuration = -1;
    TData First;
    TBitmap Before;
    std::deque<Frame> Frames;  // pictures stay where they are made
};

// Top-level rows 18 high in a window of 200 x 150 without border or scroll bars; each top-level node
// has four children.
struct ToggleTree {
    explicit ToggleTree(int TopLevel, TLTAnimationOptions Animation = {toAnimatedToggle}, TLTPaintOptions Add = {})
        : tree(PlaceBareTree<StepTree>(form, 200, 150)) {
        tree->TreeOptions().SetPaintOptions(tree->TreeOptions().PaintOptions() + Add);
        tree->TreeOptions().SetAnimationOptions(Animation);
        tree->OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode, TLazyNodeInitStates& States) {
            if (!Parent) States.Include(ivsHasChildren);
        };
        tree->OnInitChildren = [this](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = Children; };
        tree->OnGetText = [](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            Text = S(T->GetNodeLevel(Node) == 0 ? "Bus " : "Meter ") + String(1, u'0' + Node->Index);
        };
        tree->SetRootNodeCount(Cardinal(TopLevel));
        form.Show();
    }
    ~ToggleTree() { SetThemeRenderer(trStyled); }
    PLazyNode Bus(int Index) {
        PLazyNode Run = tree->GetFirst();
        while (Run && int(Run->Index) != Index) Run = tree->GetNextSibling(Run);
        return Run;
    }
    // Expands without animating, then paints the window as it stands.
    void Open(int Index) {
        TLTAnimationOptions Kept = tree->TreeOptions().AnimationOptions();
        tree->TreeOptions().SetAnimationOptions({});
        tree->SetExpanded(Bus(Index), true);
        tree->TreeOptions().SetAnimationOptions(Kept);
    }
    void Show() { tree->Repaint(); }
    TForm form{nullptr};
    StepTree* tree;
    Cardinal Children = 4;
};

// Whether rows From .. To of Got show rows From + Shift .. To + Shift of Want (all 200 pixels). The
// first step fills one row more than it uncovers, which the later steps carry along.
bool RowsShow(TBitmap& Got, int From, int To, TBitmap& Want, int Shift) {
    for (int Y = From; Y < To; ++Y)
        for (int X = 0; X < 200; ++X)
            if (Got.Canvas().Pixels(X, Y) != Want.Canvas().Pixels(X, Y + Shift)) return false;
    return true;
}

bool RowsBlank(TBitmap& Got, int From, int To) {
    for (int Y = From; Y < To; ++Y)
        for (int X = 0; X < 200; ++X)
            if (Got.Canvas().Pixels(X, Y) != clWhite) return false;
    return true;
}

std::string Describe(const TRect& R) {
    return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
           std::to_string(R.Bottom);
}

}  // namespace

TEST(LazyTreesToggle, CollapsingSlidesTheRowsBelowTheNodeUpOverItsChildren) {
    ToggleTree f(3);
    f.Open(0);  // Bus 0 at 0..18, its children at 18..90, Bus 1 and Bus 2 at 90..126
    f.Show();
    f.tree->SetAnimationDuration(150);
    f.tree->SetExpanded(f.Bus(0), false);
    StepTree& t = *f.tree;
    EXPECT_EQ(t.AskedSteps, 72);
    EXPECT_EQ(t.AskedDuration, 150);
    EXPECT_EQ(Describe(t.First.R1), "0,18,200,150");
    EXPECT_EQ(t.First.Mode1, TData::tsmUp);
    EXPECT_EQ(t.First.Mode2, TData::tsmNone);
    ASSERT_EQ(t.Frames.size(), 12u);
    for (auto& Frame : t.Frames) {
        const int M = Frame.Moved;
        EXPECT_TRUE(RowsShow(Frame.Picture, 0, 18, t.Before, 0)) << M << ": the node stays";
        EXPECT_TRUE(RowsShow(Frame.Picture, 18, 150 - M - 1, t.Before, M)) << M << ": the rest moved up";
        EXPECT_TRUE(RowsBlank(Frame.Picture, 150 - M - 1, 150)) << M << ": the ground below";
    }
    // The last step shows what the collapsed tree paints.
    EXPECT_FALSE(t.GetExpanded(f.Bus(0)));
    t.Repaint();
    EXPECT_TRUE(RowsShow(t.BackBuffer(), 0, 150, t.Frames.back().Picture, 0));
}

TEST(LazyTreesToggle, ExpandingPushesTheRowsBelowTheNodeDownToMakeRoomForTheChildren) {
    ToggleTree f(3);
    f.Show();
    f.tree->SetExpanded(f.Bus(0), true);
    StepTree& t = *f.tree;
    EXPECT_EQ(t.AskedSteps, 72);
    EXPECT_EQ(t.AskedDuration, 200) << "the default duration";
    EXPECT_EQ(Describe(t.First.R1), "0,18,200,150");
    EXPECT_EQ(t.First.Mode1, TData::tsmDown);
    for (auto& Frame : t.Frames) {
        const int M = Frame.Moved;
        EXPECT_TRUE(RowsShow(Frame.Picture, 18 + M + 1, 150, t.Before, -M)) << M;
        EXPECT_TRUE(RowsBlank(Frame.Picture, 18, 18 + M + 1)) << M << ": the room the children will take";
    }
    EXPECT_TRUE(t.GetExpanded(f.Bus(0)));
    EXPECT_EQ(t.OffsetY(), 0) << "the children fit below the node";
}

TEST(LazyTreesToggle, AdvancedAnimationMovesTheNodeUpWhereAutomaticScrollingWillPutIt) {
    ToggleTree f(8, {toAnimatedToggle, toAdvancedAnimatedToggle});
    f.Show();
    // Bus 6 at 108..126: its 72 pixels of children fit the window but not below the node.
    f.tree->SetExpanded(f.Bus(6), true);
    StepTree& t = *f.tree;
    EXPECT_EQ(Describe(t.First.R1), "0,0,200,127");
    EXPECT_EQ(t.First.Mode1, TData::tsmUp);
    EXPECT_EQ(Describe(t.First.R2), "0,127,200,150");
    EXPECT_EQ(t.First.Mode2, TData::tsmDown);
    EXPECT_DOUBLE_EQ(t.First.ScaleFactor, 23.0 / 48.0);
    EXPECT_EQ(t.AskedSteps, 48);
    for (auto& Frame : t.Frames)
        EXPECT_TRUE(RowsShow(Frame.Picture, 0, 127 - Frame.Moved - 1, t.Before, Frame.Moved)) << Frame.Moved;
    // Scrolling on expand shows the last child at the bottom: the node went up by those 48 pixels.
    EXPECT_EQ(t.OffsetY(), -48);
    EXPECT_EQ(t.GetDisplayRect(f.Bus(6), false).Top, 60);
    t.Repaint();
    EXPECT_TRUE(RowsShow(t.BackBuffer(), 0, 78, t.Frames.back().Picture, 0));
}

TEST(LazyTreesToggle, AdvancedCollapsingOfAScrolledTreeBringsTheRowsAboveDown) {
    ToggleTree f(10, {toAnimatedToggle, toAdvancedAnimatedToggle});
    f.Open(9);
    f.tree->SetOffsetXY(0, -1000);  // 252 pixels of rows: scrolled by 102, Bus 9 at 60..78
    ASSERT_EQ(f.tree->OffsetY(), -102);
    f.Show();
    f.tree->SetExpanded(f.Bus(9), false);
    StepTree& t = *f.tree;
    EXPECT_EQ(Describe(t.First.R1), "0,0,200,78");
    EXPECT_EQ(t.First.Mode1, TData::tsmDown);
    EXPECT_EQ(t.AskedSteps, 72);
    for (auto& Frame : t.Frames) {
        const int M = Frame.Moved;
        EXPECT_TRUE(RowsShow(Frame.Picture, M + 1, 78, t.Before, -M)) << M;
        EXPECT_TRUE(RowsBlank(Frame.Picture, 0, M + 1)) << M;
    }
    // The shorter tree scrolls back to show its last row at the bottom, where the animation left it.
    EXPECT_EQ(t.OffsetY(), -30);
    t.Repaint();
    EXPECT_TRUE(RowsShow(t.BackBuffer(), 72, 150, t.Frames.back().Picture, 0));
}

TEST(LazyTreesToggle, ExpandingScrollsTheChildrenIntoViewWithAutomaticScrolling) {
    struct Case {
        Cardinal Children;
        int Node, OffsetY;
        bool AutoScroll;
    } Cases[] = {
        {2, 0, 0, true},     // fits below the node: nothing moves
        {4, 6, -48, true},   // fits the window: the last child comes to the bottom
        {10, 2, -36, true},  // higher than the window: the node comes to the top
        {10, 2, 0, false},
    };
    for (const Case& c : Cases) {
        ToggleTree f(8, {});
        f.Children = c.Children;
        if (!c.AutoScroll)
            f.tree->TreeOptions().SetAutoOptions(f.tree->TreeOptions().AutoOptions() -
                                                 TLTAutoOptions{toAutoScrollOnExpand});
        f.tree->SetExpanded(f.Bus(c.Node), true);
        EXPECT_EQ(f.tree->OffsetY(), c.OffsetY) << c.Children << " children of Bus " << c.Node;
    }
}

TEST(LazyTreesToggle, ChildrenAboveTheNodeSlideAboveIt) {
    struct Case {
        const char* Name;
        bool Collapse;
        const char* R1;
        TData::TScrollMode Mode1;
        int Steps;
    } Cases[] = {
        // Bus 1 at 18..36: the rows above it (Bus 0) go up to make room for its children.
        {"expand", false, "0,0,200,18", TData::tsmUp, 18},
    };
    for (const Case& c : Cases) {
        ToggleTree f(3, {toAnimatedToggle}, {toChildrenAbove});
        if (c.Collapse) f.Open(1);
        f.Show();
        f.tree->SetExpanded(f.Bus(1), !c.Collapse);
        EXPECT_EQ(Describe(f.tree->First.R1), c.R1) << c.Name;
        EXPECT_EQ(f.tree->First.Mode1, c.Mode1) << c.Name;
        EXPECT_EQ(f.tree->First.Mode2, TData::tsmNone) << c.Name;
        EXPECT_EQ(f.tree->AskedSteps, c.Steps) << c.Name;
    }
}

TEST(LazyTreesToggle, NoAnimationWithoutTheOptionInsideAnUpdateOrForAWholeExpansion) {
    ToggleTree f(3);
    f.Show();
    StepTree& t = *f.tree;
    t.SetAnimationDuration(0);
    EXPECT_FALSE(t.TreeOptions().AnimationOptions().Contains(toAnimatedToggle));
    t.SetExpanded(f.Bus(0), true);
    EXPECT_EQ(t.AskedSteps, -1);
    t.SetAnimationDuration(120);
    EXPECT_TRUE(t.TreeOptions().AnimationOptions().Contains(toAnimatedToggle));
    t.BeginUpdate();
    t.SetExpanded(f.Bus(1), true);
    t.EndUpdate();
    EXPECT_EQ(t.AskedSteps, -1);
    t.FullCollapse();
    EXPECT_EQ(t.AskedSteps, -1);
    t.FullExpand();
    EXPECT_EQ(t.AskedSteps, -1);
    EXPECT_TRUE(t.GetExpanded(f.Bus(2)));
    // A node whose row lies below the window has nothing to slide; one in it has.
    t.SetExpanded(f.Bus(2), false);
    EXPECT_EQ(t.AskedSteps, -1);
    t.SetExpanded(f.Bus(0), false);
    EXPECT_EQ(t.AskedSteps, 72);
}

TEST(LazyTreesToggle, TheTimedLoopRunsStepsUntilTheyOrTheTimeAreUsedUpThenEnds) {
    ToggleTree f(1);
    TBaseLazyTree& t = *f.tree;
    struct Call {
        int Step, Size;
        bool InAnimation;
    };
    std::vector<Call> Calls;
    auto Record = [&](int Step, int Size, void*) {
        Calls.push_back({Step, Size, t.TreeStates().Contains(tsInAnimation)});
        // A second animation cannot start while one runs.
        t.TBaseLazyTree::RunAnimation(5, 5, [&](int, int, void*) {
            ADD_FAILURE() << "nested animation";
            return true;
        }, nullptr);
        return true;
    };
    t.TBaseLazyTree::RunAnimation(10, 0, Record, nullptr);
    EXPECT_TRUE(Calls.empty()) << "no time, no animation";

    t.TBaseLazyTree::RunAnimation(20, 40, Record, nullptr);
    ASSERT_GE(Calls.size(), 2u);
    EXPECT_EQ(Calls.front().Step, 0);
    EXPECT_GE(Calls.front().Size, 1);
    EXPECT_EQ(Calls.back().Step, 0);
    EXPECT_EQ(Calls.back().Size, 0) << "the closing call";
    int Sum = 0;
    for (std::size_t I = 0; I + 1 < Calls.size(); ++I) {
        EXPECT_TRUE(Calls[I].InAnimation);
        EXPECT_GE(Calls[I].Size, 1);
        if (I > 0) EXPECT_GT(Calls[I].Step, Calls[I - 1].Step);
        Sum += Calls[I].Size;
    }
    EXPECT_LE(Sum, 20 + Calls[Calls.size() - 2].Size);
    EXPECT_FALSE(t.TreeStates().Contains(tsInAnimation));

    // A callback that answers false ends the loop; the closing call still comes.
    Calls.clear();
    t.TBaseLazyTree::RunAnimation(20, 40, [&](int Step, int Size, void*) {
        Calls.push_back({Step, Size, true});
        return false;
    }, nullptr);
    ASSERT_EQ(Calls.size(), 2u);
    EXPECT_EQ(Calls[1].Size, 0);
}
