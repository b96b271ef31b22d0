#include "tree/TreeCheck.h"

#include "framework/System.h"

#include <string>
#include <thread>
#include <vector>

namespace {

TEST(LazyTreeClass, UpdateAndSynchBrackets) {
    TBaseLazyTree Tree(nullptr);
    std::vector<TLTUpdateState> States;
    std::vector<TChangeReason> Reasons;
    Tree.OnUpdating = [&](TBaseLazyTree*, TLTUpdateState S) { States.push_back(S); };
    Tree.OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason R) { Reasons.push_back(R); };
    Tree.EndUpdate();  // without a begin: only the end is told
    EXPECT_EQ(States, (std::vector<TLTUpdateState>{usEnd}));
    EXPECT_EQ(Tree.UpdateCount(), 0);
    States.clear();
    Tree.BeginUpdate();
    Tree.BeginUpdate();
    Tree.EndUpdate();
    Tree.EndUpdate();
    EXPECT_EQ(States, (std::vector<TLTUpdateState>{usBegin, usUpdate, usUpdate, usEnd}));

    // A delayed structure change waits for its timer; synchronous mode fires it at once.
    Tree.SetChangeDelay(100);
    Tree.HandleNeeded();
    Tree.AddChild(nullptr);
    EXPECT_TRUE(Reasons.empty());
    Tree.BeginSynch();
    EXPECT_EQ(Reasons.size(), 1u);
    Tree.AddChild(nullptr);  // in synchronous mode: at once
    EXPECT_EQ(Reasons.size(), 2u);
    Tree.EndSynch();
    EXPECT_FALSE(Tree.TreeStates().Contains(tsSynchMode));

    bool Refused = false;
    std::thread Other([&] {
        try {
            Tree.BeginUpdate();
        } catch (const EAssertionFailed& E) {
            Refused = StringToUtf8(E.Message()).find("should only be manipulated through the main thread") != std::string::npos;
        }
    });
    Other.join();
    EXPECT_TRUE(Refused);

    Tree.CancelOperation();  // nothing runs: no effect on the next one
    Tree.StartOperation(okExport);
    EXPECT_FALSE(Tree.OperationCanceled());
    Tree.CancelOperation();
    EXPECT_TRUE(Tree.OperationCanceled());
    Tree.EndOperation(okExport);
    EXPECT_FALSE(Tree.OperationCanceled());
}

TEST(LazyTreeClass, AnimationLoopCoversItsStepsWithinItsDuration) {
    TBaseLazyTree Tree(nullptr);
    int Total = 0, Calls = 0;
    bool Final = false, Nested = true;
    Tree.RunAnimation(40, 20, [&](int, int StepSize, void*) {
        ++Calls;
        if (StepSize == 0) Final = true;
        Total += StepSize;
        Nested = Tree.TreeStates().Contains(tsInAnimation);
        return true;
    }, nullptr);
    EXPECT_TRUE(Final);
    EXPECT_TRUE(Nested);
    EXPECT_GT(Calls, 1);
    EXPECT_LE(Total, 40);
    EXPECT_FALSE(Tree.TreeStates().Contains(tsInAnimation));
    Calls = 0;
    Tree.RunAnimation(40, 0, [&](int, int, void*) { ++Calls; return true; }, nullptr);  // no duration: nothing
    EXPECT_EQ(Calls, 0);
}

TEST(LazyTreeClass, OptionDefaultsColoursAndAssignment) {
    TBaseLazyTree Source(nullptr), Target(nullptr);
    const auto& O = Source.TreeOptions();
    EXPECT_EQ(O.PaintOptions().Bits(), 7008u);
    EXPECT_EQ(O.AutoOptions().Bits(), 1369u);
    EXPECT_EQ(O.MiscOptions().Bits(), 16809u);
    EXPECT_TRUE(O.AnimationOptions().Empty());
    EXPECT_EQ(Source.Header().SortColumn, -1);
    EXPECT_EQ(Source.Header().MainColumn, -1);
    EXPECT_EQ(Source.AnimationDuration(), 200u);
    Source.SetAnimationDuration(0);
    EXPECT_FALSE(O.AnimationOptions().Contains(toAnimatedToggle));
    Source.TreeOptions().SetExportMode(emChecked);
    Source.TreeOptions().SetSelectionOptions({toMultiSelect});
    Source.Colors().SetColor(TLTColors::UnfocusedColor, 0x123456);
    Source.SetRootNodeCount(4);
    Target.Assign(Source);
    EXPECT_EQ(Target.TreeOptions().ExportMode(), emAll);
    EXPECT_TRUE(Target.TreeOptions().SelectionOptions().Contains(toMultiSelect));
    EXPECT_EQ(Target.Colors().GetColor(TLTColors::UnfocusedColor), 0x123456);
    EXPECT_EQ(Target.RootNodeCount(), 4u);
    treetest::ExpectConsistent(Target);
}

}  // namespace
