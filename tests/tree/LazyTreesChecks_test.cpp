#include "tree/TreeCheck.h"

#include <string>
#include <vector>

using treetest::ExpectConsistent;

namespace {

// A tri-state parent with three children; the handlers log every event.
struct CheckTree {
    TBaseLazyTree Tree{nullptr};
    PLazyNode Parent, Kids[3];
    std::vector<std::string> Log;
    PLazyNode Refuse = nullptr;
    std::string Name(PLazyNode N) { return N == Parent ? "P" : "C" + std::to_string(N->Index); }
    CheckTree(TCheckType KidType = ctCheckBox) {
        Tree.TreeOptions().SetMiscOptions(Tree.TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        Parent = Tree.AddChild(nullptr);
        Parent->CheckType = ctTriStateCheckBox;
        Tree.SetChildCount(Parent, 3);
        int I = 0;
        for (PLazyNode N = Parent->FirstChild; N; N = N->NextSibling) {
            N->CheckType = KidType;
            Kids[I++] = N;
        }
        Tree.ValidateNode(Parent, true);
        Tree.OnChecking = [this](TBaseLazyTree*, PLazyNode N, TCheckState& S, bool& Allowed) {
            Log.push_back("checking " + Name(N) + " " + std::to_string(int(S)));
            if (N == Refuse) Allowed = false;
        };
        Tree.OnChecked = [this](TBaseLazyTree*, PLazyNode N) { Log.push_back("checked " + Name(N)); };
    }
};

TEST(LazyTreeChecks, PropagationTable) {
    struct Case {
        const char* Name;
        std::function<void(CheckTree&)> Step;
        TCheckState Parent;
        std::vector<TCheckState> Kids;
        std::vector<std::string> Events;
    };
    const Case Cases[] = {
        {"one child checked", [](CheckTree& F) { F.Tree.SetCheckState(F.Kids[0], csCheckedNormal); },
         csMixedNormal, {csCheckedNormal, csUncheckedNormal, csUncheckedNormal},
         {"checking C0 2", "checking P 4", "checked P", "checked C0"}},
        {"parent checked", [](CheckTree& F) { F.Tree.SetCheckState(F.Parent, csCheckedNormal); },
         csCheckedNormal, {csCheckedNormal, csCheckedNormal, csCheckedNormal},
         {"checking P 2", "checking C0 2", "checked C0", "checking C1 2", "checked C1", "checking C2 2", "checked C2", "checked P"}},
        {"refused child", [](CheckTree& F) { F.Refuse = F.Kids[1]; F.Tree.SetCheckState(F.Parent, csCheckedNormal); },
         csMixedNormal, {csCheckedNormal, csUncheckedNormal, csCheckedNormal},
         {"checking P 2", "checking C0 2", "checked C0", "checking C1 2", "checking C2 2", "checked C2", "checked P"}},
        {"disabled checked child, parent unchecked",
         [](CheckTree& F) {
             F.Kids[2]->CheckState = csCheckedDisabled;
             F.Parent->CheckState = csCheckedNormal;
             F.Kids[0]->CheckState = F.Kids[1]->CheckState = csCheckedNormal;
             F.Tree.SetCheckState(F.Parent, csUncheckedNormal);
         },
         csMixedNormal, {csUncheckedNormal, csUncheckedNormal, csCheckedDisabled},
         {"checking P 0", "checking C0 0", "checked C0", "checking C1 0", "checked C1", "checked P"}},
        {"refused parent: child changed, no OnChecked for it",
         [](CheckTree& F) { F.Refuse = F.Parent; F.Tree.SetCheckState(F.Kids[0], csCheckedNormal); },
         csUncheckedNormal, {csCheckedNormal, csUncheckedNormal, csUncheckedNormal},
         {"checking C0 2", "checking P 4"}},
        {"no tracking",
         [](CheckTree& F) {
             F.Tree.TreeOptions().SetAutoOptions({});
             F.Tree.SetCheckState(F.Kids[0], csCheckedNormal);
         },
         csUncheckedNormal, {csCheckedNormal, csUncheckedNormal, csUncheckedNormal}, {"checking C0 2", "checked C0"}},
        {"same state fires nothing", [](CheckTree& F) { F.Tree.SetCheckState(F.Kids[0], csUncheckedNormal); },
         csUncheckedNormal, {csUncheckedNormal, csUncheckedNormal, csUncheckedNormal}, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        CheckTree F;
        C.Step(F);
        EXPECT_EQ(F.Parent->CheckState, C.Parent);
        for (int I = 0; I < 3; ++I) EXPECT_EQ(F.Kids[I]->CheckState, C.Kids[I]) << I;
        EXPECT_EQ(F.Log, C.Events);
        EXPECT_FALSE(F.Tree.TreeStates().Contains(tsCheckPropagation));
        ExpectConsistent(F.Tree);
    }
}

TEST(LazyTreeChecks, RadioButtonsExcludeWithoutEventsAndPlainBoxesStayAlone) {
    CheckTree Radio(ctRadioButton);
    Radio.Kids[0]->CheckState = csCheckedNormal;
    Radio.Tree.SetCheckState(Radio.Kids[2], csCheckedNormal);
    EXPECT_EQ(Radio.Kids[0]->CheckState, csUncheckedNormal);
    EXPECT_EQ(Radio.Kids[2]->CheckState, csCheckedNormal);
    EXPECT_EQ(Radio.Log, (std::vector<std::string>{"checking C2 2", "checked C2"}));

    // The scan window's trees: plain check boxes at both levels.
    CheckTree Plain;
    Plain.Parent->CheckType = ctCheckBox;
    Plain.Tree.SetCheckState(Plain.Kids[1], csCheckedNormal);
    Plain.Tree.SetCheckState(Plain.Parent, csCheckedNormal);
    EXPECT_EQ(Plain.Kids[0]->CheckState, csUncheckedNormal);
    EXPECT_EQ(Plain.Kids[1]->CheckState, csCheckedNormal);
    EXPECT_EQ(Plain.Tree.CheckedCount(), 2);
    Plain.Tree.ClearChecked();
    EXPECT_EQ(Plain.Tree.CheckedCount(), 0);
    Plain.Tree.SetCheckType(Plain.Kids[0], ctTriStateCheckBox);
    Plain.Kids[0]->CheckState = csMixedNormal;
    Plain.Tree.SetCheckType(Plain.Kids[0], ctCheckBox);
    EXPECT_EQ(Plain.Kids[0]->CheckState, csUncheckedNormal);
}

TEST(LazyTreeChecks, CheckStateFunctions) {
    for (int I = 0; I <= int(csMixedDisabled); ++I) {
        auto S = TCheckState(I);
        EXPECT_EQ(CheckStateIsDisabled(S), I > 5);
        if (I % 2 == 0 && I < 6) {
            EXPECT_EQ(UnpressedCheckState(PressedCheckState(S)), S);
        }
        EXPECT_FALSE(CheckStateIsDisabled(EnabledCheckState(S)));
    }
    EXPECT_EQ(ToggledCheckState(csMixedNormal), csCheckedNormal);
    EXPECT_EQ(ToggledCheckState(csCheckedPressed), csUncheckedPressed);
    EXPECT_EQ(ToggledCheckState(csCheckedDisabled), csCheckedDisabled);
}

}  // namespace
