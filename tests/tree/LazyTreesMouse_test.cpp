// The mouse on a shown tree: the parts of a row a point lies on, left to
// right, and what a press, a release and a double click of each button do
// there (checks, expanding, selecting, the edit that follows a click); the
// shared pictures after a change of the system colours.

#include "tree/LazyTrees.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"
#include "framework/Threads.h"
#include "tree/LazyTrees.Utils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using T = TBaseLazyTree;

// Two expanded top-level nodes with two children each; every node has a check
// box, a state image and a normal image in the main column and content 40
// pixels wide. Rows are 18 high, the indent 18, the margin 4.
struct RowParts {
    explicit RowParts(int Columns = 0) {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 400, 260);
        tree = new TLazyDrawTree(&form);
        tree->SetParent(&form);
        tree->SetBorderStyle(T::bsNone);
        tree->ScrollBarOptions().SetScrollBars(ssNone);
        tree->SetBounds(0, 0, 300, 200);
        tree->TreeOptions().SetPaintOptions({toShowRoot, toShowButtons});
        tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        tree->SetCheckImageKind(T::ckSystemDefault);
        for (int I = 0; I < Columns; ++I) tree->Header().Columns().Add()->SetWidth(150);
        TBitmap Picture;
        Picture.SetSize(16, 16);
        Images.Add(&Picture, nullptr);
        tree->SetImages(&Images);
        tree->SetStateImages(&Images);
        tree->OnInitNode = [](T*, PLazyNode Parent, PLazyNode, TLazyNodeInitStates& States) {
            if (!Parent) States += TLazyNodeInitStates{ivsHasChildren, ivsExpanded};
        };
        tree->OnInitChildren = [](T*, PLazyNode, Cardinal& Count) { Count = 2; };
        tree->OnGetImageIndex = [](T*, PLazyNode, T::TLTImageKind, TColumnIndex Column, bool&, int& Index) {
            Index = Column <= 0 ? 0 : -1;
        };
        // Only the main column has content.
        tree->OnGetNodeWidth = [this](T*, TCanvas*, PLazyNode, TColumnIndex Column, int& Width) {
            Width = Column <= 0 ? ContentWidth : 0;
        };
        tree->SetRootNodeCount(2);
        for (PLazyNode Node = tree->GetFirst(); Node; Node = tree->GetNext(Node)) tree->SetCheckType(Node, ctCheckBox);
        form.Show();
        top = tree->GetFirst();
        child = tree->GetFirstChild(top);
    }
    ~RowParts() { SetThemeRenderer(trStyled); }
    TImageList Images{16, 16};
    TForm form{nullptr};
    TLazyDrawTree* tree;
    int ContentWidth = 40;
    PLazyNode top, child;
};

std::string Names(T::THitPositions Set) {
    static const char* const All[] = {"Above", "Below", "Nowhere", "OnItem", "Button", "ButtonExact", "Checkbox",
                                      "Indent", "Label", "Left", "Right", "NormalIcon", "StateIcon", "ToLeft",
                                      "ToRight", "UpperSplitter", "LowerSplitter"};
    std::string Out;
    for (int I = 0; I <= T::hiLowerSplitter; ++I)
        if (Set.Contains(T::THitPosition(I))) Out += std::string(Out.empty() ? "" : " ") + All[I];
    return Out;
}

struct HitCase {
    int X, Y;
    const char* Expected;
};

void CheckTable(RowParts& f, std::initializer_list<HitCase> Cases, const char* What) {
    for (const HitCase& c : Cases) {
        T::THitInfo Hit;
        f.tree->GetHitTestInfoAt(c.X, c.Y, true, Hit);
        EXPECT_EQ(Names(Hit.HitPositions), c.Expected) << What << " at " << c.X << "," << c.Y;
    }
}

}  // namespace

TEST(LazyTreesMouse, EveryPartOfARowLeftToRight) {
    RowParts f;
    const int Plus = f.tree->ButtonBitmap(T::bpPlus).Width();
    ASSERT_EQ(Plus, 9);
    // Top level: indent 18 holding the button, margin 4, box 13 + 2, two images of 16 + 2, content 40.
    CheckTable(f,
               {{0, 9, "OnItem Button"},        {17 - Plus, 9, "OnItem Button"},
                {18 - Plus, 9, "OnItem Button ButtonExact"}, {21, 9, "OnItem Button ButtonExact"},
                {22, 9, "OnItem Checkbox"},     {36, 9, "OnItem Checkbox"},
                {37, 9, "OnItem StateIcon"},    {54, 9, "OnItem StateIcon"},
                {55, 9, "OnItem NormalIcon"},   {72, 9, "OnItem NormalIcon"},
                {73, 9, "OnItem Label"},        {112, 9, "OnItem Label"},
                {113, 9, "OnItem Right"},       {299, 9, "OnItem Right"},
                // A child without children: its two indent steps and the margin are indentation.
                {0, 27, "OnItem Indent"},       {39, 27, "OnItem Indent"},
                {40, 27, "OnItem Checkbox"},    {91, 27, "OnItem Label"},
                // Outside the window only the side is named; below the rows nothing is hit.
                {-1, 9, "ToLeft"},              {301, 9, "ToRight"},
                {10, -1, "Above"},              {-1, -1, "Above ToLeft"},
                {10, 201, "Below"},             {10, 150, "Nowhere"}},
               "plain");
    T::THitInfo Hit;
    f.tree->GetHitTestInfoAt(-1, 9, true, Hit);
    EXPECT_EQ(Hit.HitNode, nullptr);
    f.tree->GetHitTestInfoAt(80, 27, true, Hit);
    EXPECT_EQ(Hit.HitNode, f.child);
    EXPECT_EQ(Hit.HitPoint, (TPoint{80, 27}));

    // Every level indents by one step only.
    f.tree->TreeOptions().SetPaintOptions(f.tree->TreeOptions().PaintOptions() + TLTPaintOptions{toFixedIndent});
    CheckTable(f, {{21, 27, "OnItem Indent"}, {22, 27, "OnItem Checkbox"}, {73, 27, "OnItem Label"}}, "fixed indent");
    f.tree->TreeOptions().SetPaintOptions(f.tree->TreeOptions().PaintOptions() - TLTPaintOptions{toFixedIndent});

    // Row edges: two pixels at the top, three at the bottom; the box still replaces what was found.
    f.tree->TreeOptions().SetMiscOptions(f.tree->TreeOptions().MiscOptions() + TLTMiscOptions{toNodeHeightResize});
    CheckTable(f,
               {{80, 0, "OnItem Label UpperSplitter"}, {80, 1, "OnItem Label UpperSplitter"},
                {80, 2, "OnItem Label"}, {80, 14, "OnItem Label"}, {80, 15, "OnItem Label LowerSplitter"},
                {80, 17, "OnItem Label LowerSplitter"}, {5, 16, "OnItem Button LowerSplitter"},
                {30, 16, "OnItem Checkbox"}},
               "row edges");
    f.tree->TreeOptions().SetMiscOptions(f.tree->TreeOptions().MiscOptions() - TLTMiscOptions{toNodeHeightResize});

    // Content wider than what is left of the row is label wherever it is.
    f.ContentWidth = 400;
    CheckTable(f, {{73, 9, "OnItem Label"}, {299, 9, "OnItem Label"}}, "too wide");
}

TEST(LazyTreesMouse, AlignmentDecidesWhatLiesLeftAndRightOfTheContent) {
    RowParts f(2);  // two columns of 150, the first the main one
    TLazyTreeColumn* Main = f.tree->Header().Columns()[0];
    // The images end at 73 in the main column; the content is 40 wide in a cell 150 wide.
    Main->SetAlignment(taRightJustify);
    CheckTable(f, {{73, 9, "OnItem Left"}, {109, 9, "OnItem Left"}, {110, 9, "OnItem Label"}, {149, 9, "OnItem Label"}},
               "right");
    Main->SetAlignment(taCenter);  // the content starts at (73 + 150 - 40) / 2 = 91
    CheckTable(f,
               {{73, 9, "OnItem Left"}, {90, 9, "OnItem Left"}, {91, 9, "OnItem Label"}, {130, 9, "OnItem Label"},
                {131, 9, "OnItem Right"}},
               "centre");
    Main->SetAlignment(taLeftJustify);
    CheckTable(f, {{112, 9, "OnItem Label"}, {113, 9, "OnItem Right"}}, "left");
    // Another column has neither indent nor box; in report mode nothing of it is classified.
    T::THitInfo Hit;
    f.tree->GetHitTestInfoAt(160, 9, true, Hit);
    EXPECT_EQ(Hit.HitColumn, 1);
    EXPECT_EQ(Names(Hit.HitPositions), "OnItem Right");
    f.tree->TreeOptions().SetMiscOptions(f.tree->TreeOptions().MiscOptions() + TLTMiscOptions{toReportMode});
    CheckTable(f, {{160, 9, "OnItem"}, {80, 9, "OnItem Label"}}, "report mode");
    // Right of the last column: no column, nothing hit.
    f.tree->GetHitTestInfoAt(299 + 1, 9, true, Hit);
    EXPECT_EQ(Names(Hit.HitPositions), "Nowhere");
    EXPECT_EQ(Hit.HitColumn, InvalidColumn);
}

TEST(LazyTreesMouse, ACheckPressedWithTheMouseChangesOnReleaseAnywhereOnItsRow) {
    RowParts f;
    TLazyDrawTree& t = *f.tree;
    int Checking = 0, Checked = 0;
    t.OnChecking = [&](T*, PLazyNode, TCheckState&, bool&) { ++Checking; };
    t.OnChecked = [&](T*, PLazyNode) { ++Checked; };
    struct Case {
        int ReleaseX, ReleaseY;
        TCheckState After;
        const char* Where;
    } Cases[] = {
        {30, 9, csCheckedNormal, "on the box"},
        {200, 9, csCheckedNormal, "right of the content, same row"},
        {5, 9, csCheckedNormal, "on the button, same row"},
        {80, 27, csUncheckedNormal, "another row"},
        {80, 150, csUncheckedNormal, "below the rows"},
    };
    for (const Case& c : Cases) {
        t.SetCheckState(f.top, csUncheckedNormal);
        Checking = Checked = 0;
        SimulateMouseDown(&t, mbLeft, 30, 9);
        EXPECT_EQ(f.top->CheckState, csUncheckedPressed) << c.Where;
        EXPECT_TRUE(t.TreeStates().Contains(tsMouseCheckPending)) << c.Where;
        SimulateMouseUp(&t, mbLeft, c.ReleaseX, c.ReleaseY);
        EXPECT_EQ(f.top->CheckState, c.After) << c.Where;
        EXPECT_EQ(Checking, 1) << c.Where;
        EXPECT_EQ(Checked, c.After == csCheckedNormal ? 1 : 0) << c.Where;
        EXPECT_FALSE(t.TreeStates().Contains(tsMouseCheckPending)) << c.Where;
    }
    // The right button neither presses nor toggles a box, even when it selects.
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toRightClickSelect});
    t.SetCheckState(f.top, csUncheckedNormal);
    SimulateMouseDown(&t, mbRight, 30, 9);
    SimulateMouseUp(&t, mbRight, 30, 9);
    EXPECT_EQ(f.top->CheckState, csUncheckedNormal);
}

TEST(LazyTreesMouse, DoubleClicksToggleOnButtonsAndByOptionElsewhere) {
    RowParts f;
    TLazyDrawTree& t = *f.tree;
    std::vector<std::string> Log;
    t.OnNodeDblClick = [&](T*, const T::THitInfo& Hit) { Log.push_back("node " + Names(Hit.HitPositions)); };
    t.OnColumnDblClick = [&](T*, TColumnIndex Column, TShiftState) { Log.push_back("column " + std::to_string(Column)); };
    struct Case {
        int X;
        bool ToggleOption;
        bool Toggles;
    } Cases[] = {
        {15, false, true},   // the button toggles with or without the option
        {80, false, false},  // the content only with the option
        {80, true, true},    {60, true, true},  {45, true, true},  // content, normal and state image
        {200, true, false},                     // right of the content: not even with the option
    };
    for (const Case& c : Cases) {
        t.TreeOptions().SetMiscOptions(c.ToggleOption ? t.TreeOptions().MiscOptions() + TLTMiscOptions{toToggleOnDblClick}
                                                      : t.TreeOptions().MiscOptions() - TLTMiscOptions{toToggleOnDblClick});
        t.SetExpanded(f.top, true);
        Log.clear();
        // The first click of a double click on the button toggles too: count only the double click's part.
        SimulateMouseDown(&t, mbLeft, c.X, 9);
        SimulateMouseUp(&t, mbLeft, c.X, 9);
        const bool Before = t.GetExpanded(f.top);
        t.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(c.X, 9));
        SimulateMouseUp(&t, mbLeft, c.X, 9);
        EXPECT_EQ(t.GetExpanded(f.top) != Before, c.Toggles) << c.X << " option " << c.ToggleOption;
        ASSERT_EQ(Log.size(), 2u) << c.X;
        EXPECT_EQ(Log[0], "column -1") << "without columns the click index and the hit column are both -1";
        EXPECT_EQ(Log[1].substr(0, 4), "node");
        EXPECT_FALSE(t.TreeStates().Contains(tsLeftDblClick));
    }
}

TEST(LazyTreesMouse, APressOnASelectedNodeThatMayBeDraggedClearsTheOthersOnlyOnRelease) {
    RowParts f;
    TLazyDrawTree& t = *f.tree;
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toMultiSelect});
    bool MayDrag = true;
    t.OnDragAllowed = [&](T*, PLazyNode, TColumnIndex, bool& Allowed) { Allowed = MayDrag; };
    auto SelectBoth = [&] {
        t.ClearSelection();
        SimulateClick(&t, 80, 9);
        SimulateMouseDown(&t, mbLeft, 80, 27, {ssCtrl});
        SimulateMouseUp(&t, mbLeft, 80, 27, {ssCtrl});
        ASSERT_EQ(t.SelectedCount(), 2);
    };
    SelectBoth();
    SimulateMouseDown(&t, mbLeft, 80, 9);
    EXPECT_TRUE(t.TreeStates().Contains(tsClearPending));
    EXPECT_TRUE(t.TreeStates().Contains(tsOLEDragPending)) << "the drag waits for the mouse to move";
    EXPECT_EQ(t.SelectedCount(), 2) << "both stay selected while a drag may follow";
    EXPECT_EQ(t.FocusedNode(), f.top);
    SimulateMouseUp(&t, mbLeft, 80, 9);
    EXPECT_EQ(t.SelectedCount(), 1);
    EXPECT_TRUE(t.GetSelected(f.top));
    EXPECT_FALSE(t.TreeStates().Contains(tsClearPending));
    EXPECT_FALSE(t.TreeStates().Contains(tsOLEDragPending));

    // Without a drag the press itself leaves the clicked node alone in the selection.
    MayDrag = false;
    SelectBoth();
    SimulateMouseDown(&t, mbLeft, 80, 9);
    EXPECT_FALSE(t.TreeStates().Contains(tsClearPending));
    EXPECT_EQ(t.SelectedCount(), 1);
    EXPECT_TRUE(t.GetSelected(f.top));
    SimulateMouseUp(&t, mbLeft, 80, 9);

    // Beside the content the press waits for a band and clears the selection at once.
    SelectBoth();
    SimulateMouseDown(&t, mbLeft, 250, 9);
    EXPECT_TRUE(t.TreeStates().Contains(tsDrawSelPending));
    EXPECT_EQ(t.SelectedCount(), 0);
    SimulateMouseUp(&t, mbLeft, 250, 9);
    EXPECT_FALSE(t.IsMouseSelecting());
}

TEST(LazyTreesMouse, OtherButtonsSelectOnlyWithTheirOptions) {
    struct Case {
        TMouseButton Button;
        TLTSelectionOption Option;
    } Cases[] = {{mbRight, toRightClickSelect}, {mbMiddle, toMiddleClickSelect}};
    for (const Case& c : Cases) {
        RowParts f;
        TLazyDrawTree& t = *f.tree;
        SimulateMouseDown(&t, c.Button, 80, 27);
        SimulateMouseUp(&t, c.Button, 80, 27);
        EXPECT_EQ(t.FocusedNode(), nullptr) << c.Button;
        t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{c.Option});
        SimulateMouseDown(&t, c.Button, 80, 27);
        EXPECT_EQ(t.FocusedNode(), f.child) << c.Button;
        EXPECT_TRUE(t.GetSelected(f.child)) << c.Button;
        SimulateMouseUp(&t, c.Button, 80, 27);
        EXPECT_FALSE(t.TreeStates().Contains(tsRightButtonDown));
        EXPECT_FALSE(t.TreeStates().Contains(tsMiddleButtonDown));
        // Their expand buttons work like the left one's.
        SimulateMouseDown(&t, c.Button, 15, 9);
        SimulateMouseUp(&t, c.Button, 15, 9);
        EXPECT_FALSE(t.GetExpanded(f.top)) << c.Button;
    }
}

TEST(LazyTreesMouse, AnEditFollowsAClickOnTheFocusedSelectedNodeOrADoubleClick) {
    RowParts f;
    TLazyDrawTree& t = *f.tree;
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toEditable, toEditOnClick});
    SimulateClick(&t, 80, 9);
    EXPECT_EQ(t.FocusedNode(), f.top);
    EXPECT_FALSE(t.TreeStates().Contains(tsEditPending)) << "the node was not selected when pressed";
    SimulateClick(&t, 80, 9);
    EXPECT_TRUE(t.TreeStates().Contains(tsEditPending)) << "the edit waits for the edit delay";
    SimulateClick(&t, 80, 27);
    EXPECT_FALSE(t.TreeStates().Contains(tsEditPending)) << "a press calls the waiting edit off";
    SimulateClick(&t, 200, 27);
    EXPECT_FALSE(t.TreeStates().Contains(tsEditPending)) << "beside the content no edit waits";
    bool Refuse = true;
    t.OnEditing = [&](T*, PLazyNode, TColumnIndex, bool& Allowed) { Allowed = !Refuse; };
    SimulateClick(&t, 80, 27);
    EXPECT_FALSE(t.TreeStates().Contains(tsEditPending)) << "the owner refused";

    // A double click on the focused node starts the edit without a delay, unless it toggles the node;
    // on the button it only toggles.
    Refuse = false;
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() - TLTMiscOptions{toEditOnClick} +
                                   TLTMiscOptions{toEditOnDblClick, toToggleOnDblClick});
    t.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(80, 27));
    EXPECT_FALSE(t.TreeStates().Contains(tsEditPending));
    SimulateMouseUp(&t, mbLeft, 80, 27);
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() - TLTMiscOptions{toToggleOnDblClick});
    t.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(80, 27));
    EXPECT_TRUE(t.TreeStates().Contains(tsEditPending));
    SimulateMouseUp(&t, mbLeft, 80, 27);
    SimulateClick(&t, 80, 9);
    t.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MakeLParam(15, 9));
    EXPECT_FALSE(t.TreeStates().Contains(tsEditPending));
    EXPECT_FALSE(t.GetExpanded(f.top));
    SimulateMouseUp(&t, mbLeft, 15, 9);
}

TEST(LazyTreesMessages, ASystemColourChangeReloadsTheRemappedSharedPictures) {
    RowParts f;
    TImageList* Light = DrawnCheckList(0);
    TImageList* Utilities = UtilityImageList();
    TImageList* XP = DrawnCheckList(5);
    ASSERT_EQ(Light->Count(), 25);
    const int UtilityCount = Utilities->Count();
    ASSERT_GT(UtilityCount, 0);
    Light->Clear();
    Utilities->Clear();
    XP->Clear();
    f.tree->Perform(CM_SYSCOLORCHANGE);
    EXPECT_EQ(DrawnCheckList(0), Light) << "the lists stay where the trees find them";
    EXPECT_EQ(Light->Count(), 25);
    EXPECT_EQ(Utilities->Count(), UtilityCount);
    EXPECT_EQ(XP->Count(), 0) << "the XP pictures keep their own colours and are not loaded again";
    LoadSharedImageList(*XP, u"LT_XP", false);
    EXPECT_EQ(XP->Count(), 25);
}

namespace {

// Three top-level nodes "Bus0".."Bus2" with two children each and two
// grandchildren under each child, collapsed, in a string tree that has the focus.
struct KeyTree {
    explicit KeyTree(int Columns = 0) {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 400, 260);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBorderStyle(T::bsNone);
        tree->ScrollBarOptions().SetScrollBars(ssNone);
        tree->SetBounds(0, 0, 200, 200);
        tree->OnInitNode = [](T* Tree, PLazyNode, PLazyNode Node, TLazyNodeInitStates& States) {
            if (Tree->GetNodeLevel(Node) < 2) States += TLazyNodeInitStates{ivsHasChildren};
        };
        tree->OnInitChildren = [](T*, PLazyNode, Cardinal& Count) { Count = 2; };
        tree->OnGetText = [](T* Tree, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            Text = S(Tree->GetNodeLevel(Node) == 0 ? "Bus" : "Meter") + String(1, u'0' + Node->Index);
        };
        for (int I = 0; I < Columns; ++I) tree->Header().Columns().Add()->SetWidth(90);
        tree->SetRootNodeCount(3);
        form.Show();
        SimulateActivate(&form);
        tree->SetFocus();
        bus0 = tree->GetFirst();
        bus1 = tree->GetNextSibling(bus0);
        bus2 = tree->GetNextSibling(bus1);
    }
    ~KeyTree() { SetThemeRenderer(trStyled); }
    TForm form{nullptr};
    TLazyStringTree* tree;
    PLazyNode bus0, bus1, bus2;
};

}  // namespace

TEST(LazyTreesKeys, OperatorCharactersActAsTheKeypadKeysWhereverTyped) {
    struct Case {
        Word Key;
        TShiftState Shift;
        const char* Typed;
        bool Expanded, ChildExpanded;
    } Cases[] = {
        {VK_OEM_PLUS, {ssShift}, "+ beside Backspace", true, false},
        {VK_ADD, {}, "keypad +", true, false},
        {u'8', {ssShift}, "* over the 8", true, true},
        {VK_OEM_MINUS, {}, "- beside 0 (the children keep their own state)", false, true},
        {VK_OEM_2, {}, "/ beside the right Shift", false, false},
        {VK_OEM_PLUS, {}, "= (the same key without Shift)", false, false},
    };
    for (const Case& c : Cases) {
        KeyTree f;
        T& t = *f.tree;
        t.SetFocusedNode(f.bus1);
        const bool Collapses = c.Key == VK_OEM_MINUS || c.Key == VK_OEM_2;
        if (Collapses) t.FullExpand(f.bus1);
        SimulateKey(c.Key, c.Shift);
        EXPECT_EQ(t.GetExpanded(f.bus1), c.Expanded) << c.Typed;
        EXPECT_EQ(t.GetExpanded(t.GetFirstChild(f.bus1)), c.ChildExpanded) << c.Typed;
    }
}

TEST(LazyTreesKeys, TypedCharactersSearchIncrementallyAndEscapeEndsABand) {
    KeyTree f;
    T& t = *f.tree;
    t.SetIncrementalSearch(isAll);
    t.SetFocusedNode(f.bus0);
    SimulateText(u"Bus2");
    EXPECT_EQ(t.FocusedNode(), f.bus2);
    EXPECT_FALSE(t.TreeStates().Contains(tsIncrementalSearchPending)) << "the character took the pending search";
    EXPECT_TRUE(t.TreeStates().Contains(tsIncrementalSearching));
    // With Ctrl alone a key types nothing for the search.
    SimulateKeyDown(u'B', {ssCtrl});
    EXPECT_FALSE(t.TreeStates().Contains(tsIncrementalSearchPending));
    SimulateKeyUp(u'B', {ssCtrl});
    t.TimerFired(7);

    // A band waiting for the mouse is given up with Escape.
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toMultiSelect});
    SimulateMouseDown(&t, mbLeft, 150, 9);
    ASSERT_TRUE(t.IsMouseSelecting());
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(t.IsMouseSelecting());
    SimulateMouseUp(&t, mbLeft, 150, 9);
}

TEST(LazyTreesKeys, F2StartsTheEditAtOnceAndTabMovesThroughTheCells) {
    KeyTree f(2);
    T& t = *f.tree;
    int Created = 0;
    t.OnCreateEditor = [&](T*, PLazyNode, TColumnIndex, std::shared_ptr<ILTEditLink>&) { ++Created; };
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toEditable});
    t.OnEditing = [](T*, PLazyNode, TColumnIndex, bool& Allowed) { Allowed = true; };
    t.SetFocusedNode(f.bus2);
    SimulateKey(VK_F2, {ssShift});
    EXPECT_EQ(Created, 0) << "only without Shift, Ctrl or Alt";
    SimulateKey(VK_F2);
    EXPECT_EQ(Created, 1);
    EXPECT_TRUE(t.IsEditing()) << "the string tree's own editor took over";
    t.CancelEditNode();
    t.SetFocus();

    // Tab: only with extended focus; forward through the columns and on to the next row, not round.
    EXPECT_EQ(t.Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    t.WantTabs = true;
    EXPECT_NE(t.Perform(WM_GETDLGCODE) & DLGC_WANTTAB, 0);
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toExtendedFocus});
    t.SetFocusedNode(f.bus1);
    t.SetFocusedColumn(0);
    struct Step {
        TShiftState Shift;
        PLazyNode Node;
        TColumnIndex Column;
    } Steps[] = {{{}, f.bus1, 1}, {{}, f.bus2, 0}, {{}, f.bus2, 1}, {{}, f.bus2, 1}, {{ssShift}, f.bus2, 0},
                 {{ssShift}, f.bus1, 1}};
    int I = 0;
    for (const Step& s : Steps) {
        SimulateKey(VK_TAB, s.Shift);
        EXPECT_EQ(t.FocusedNode(), s.Node) << "step " << I;
        EXPECT_EQ(t.FocusedColumn(), s.Column) << "step " << I;
        EXPECT_TRUE(t.GetSelected(s.Node)) << "step " << I;
        ++I;
    }
}

TEST(LazyTreesKeys, ColumnsByHomeEndPagingAndTheArrowsWithGridExtensions) {
    KeyTree f(5);  // five columns of 90 in a window 200 wide
    T& t = *f.tree;
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toExtendedFocus});
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toGridExtensions});
    t.SetFocusedNode(f.bus1);
    t.SetFocusedColumn(0);
    struct Step {
        Word Key;
        TShiftState Shift;
        PLazyNode Node;
        TColumnIndex Column;
        const char* What;
    } Steps[] = {
        {VK_RIGHT, {}, f.bus1, 1, "the next column"},
        {VK_END, {}, f.bus1, 4, "the last column of the same row"},
        {VK_RIGHT, {}, f.bus1, 4, "no column after the last"},
        {VK_HOME, {}, f.bus1, 0, "the first column"},
        {VK_NEXT, {ssShift, ssAlt}, f.bus1, 2, "a page of columns: two of 90 fit in 200"},
        {VK_NEXT, {ssShift, ssAlt}, f.bus1, 4, "and the next page"},
        {VK_PRIOR, {ssShift, ssAlt}, f.bus1, 2, "back a page"},
        {VK_LEFT, {}, f.bus1, 1, "the previous column"},
        {VK_END, {ssCtrl}, f.bus2, 4, "with Ctrl the last row too"},
    };
    for (const Step& s : Steps) {
        SimulateKey(s.Key, s.Shift);
        EXPECT_EQ(t.FocusedNode(), s.Node) << s.What;
        EXPECT_EQ(t.FocusedColumn(), s.Column) << s.What;
    }

    // Without grid extensions Ctrl+Home and Ctrl+End move only the view, to the far ends.
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() - TLTMiscOptions{toGridExtensions});
    SimulateKey(VK_END, {ssCtrl});
    EXPECT_EQ(t.OffsetX(), 200 - 450);
    EXPECT_EQ(t.FocusedNode(), f.bus2);
    SimulateKey(VK_HOME, {ssCtrl});
    EXPECT_EQ(t.OffsetX(), 0);
    EXPECT_EQ(t.FocusedNode(), f.bus2);
    // Ctrl+Shift+Page Down pages sideways by the window; Ctrl+Right by the average scrolling column.
    SimulateKey(VK_NEXT, {ssShift, ssCtrl});
    EXPECT_EQ(t.OffsetX(), -200);
    SimulateKey(VK_LEFT, {ssCtrl});
    EXPECT_EQ(t.OffsetX(), -110);
    SimulateKey(VK_PRIOR, {ssShift, ssCtrl});
    EXPECT_EQ(t.OffsetX(), 0);
    // Releasing Tab with nothing focused focuses the first selected node, else the first one.
    t.SetFocusedNode(nullptr);
    SimulateKeyUp(VK_TAB);
    EXPECT_EQ(t.FocusedNode(), f.bus2);
    t.SetFocusedNode(nullptr);
    t.ClearSelection();
    SimulateKeyUp(VK_TAB);
    EXPECT_EQ(t.FocusedNode(), f.bus0);
}

TEST(LazyTreesMessages, TheHeaderBandIsFrameAndLeavingForgetsTheHotNodeAndTheScrolling) {
    KeyTree f(2);
    T& t = *f.tree;
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoVisible});
    const int Band = t.Header().Height();
    ASSERT_GT(Band, 0);
    auto CodeAt = [&](int X, int Y) {
        const TPoint S = t.ClientToScreen(TPoint{X, Y});
        return t.Perform(WM_NCHITTEST, 0, MakeLParam(S.X, S.Y));
    };
    EXPECT_EQ(CodeAt(50, -Band / 2), HTBORDER);
    EXPECT_EQ(CodeAt(50, 10), HTCLIENT);
    t.Header().SetOptions(t.Header().Options - THeaderOptions{hoVisible});
    EXPECT_NE(CodeAt(50, -1), HTBORDER) << "without the band the frame is the framework's";

    // A press on the frame focuses the tree.
    auto* Other = new TLazyDrawTree(&f.form);
    Other->SetParent(&f.form);
    Other->SetBounds(210, 0, 50, 50);
    for (Cardinal Press : {WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCMBUTTONDOWN}) {
        Other->SetFocus();
        ASSERT_FALSE(t.Focused());
        const TPoint S = t.ClientToScreen(TPoint{50, -1});
        t.Perform(Press, HTBORDER, MakeLParam(S.X, S.Y));
        EXPECT_TRUE(t.Focused()) << Press;
    }

    // Leaving: no hot node, no automatic scrolling waiting.
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toHotTrack});
    SimulateMouseMove(&t, 30, 9);
    ASSERT_EQ(t.HotNode(), f.bus0);
    t.DoStateChange({tsScrollPending});
    SimulateMouseLeave();
    EXPECT_EQ(t.HotNode(), nullptr);
    EXPECT_FALSE(t.TreeStates().Contains(tsScrollPending));
}

namespace {
// Counts what the style-changed message asks of the tree.
class StyleTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    int StyleChecks = 0, Recreations = 0;
    void UpdateStyleEnabled() override {
        ++StyleChecks;
        TLazyStringTree::UpdateStyleEnabled();
    }
    void RecreateWnd() override {
        ++Recreations;
        TLazyStringTree::RecreateWnd();
    }
};
}  // namespace

TEST(LazyTreesMessages, ComponentMessagesAndTheWindowsEnd) {
    TForm Form{nullptr};
    Form.SetBounds(50, 50, 300, 200);
    auto* Tree = new StyleTree(&Form);
    Tree->SetParent(&Form);
    Tree->SetBounds(0, 0, 200, 150);
    Form.Show();
    ASSERT_TRUE(Tree->HandleAllocated());
    EXPECT_EQ(Tree->Perform(CM_TREEQUERY, 0, 0), 1);
    // A style change looks at the style again and builds the window anew.
    const int Checks = Tree->StyleChecks, Recreations = Tree->Recreations;
    Tree->Perform(CM_STYLECHANGED, 0, 0);
    EXPECT_EQ(Tree->StyleChecks, Checks + 1);
    EXPECT_EQ(Tree->Recreations, Recreations + 1);
    // The window's end stops the cache's validation and gives up the drop target.
    Tree->TreeOptions().SetAutoOptions({});
    Tree->TreeOptions().SetMiscOptions(Tree->TreeOptions().MiscOptions() + TLTMiscOptions{toAcceptOLEDrop});
    Tree->SetRootNodeCount(30000);
    Tree->Perform(WM_NCDESTROY, 0, 0);
    EXPECT_EQ(RevokeDragDrop(Tree), DRAGDROP_E_NOTREGISTERED) << "revoked already";
    // No cache comes afterwards: the walk was stopped, or never began.
    const Cardinal Start = GetTickCount();
    while (GetTickCount() - Start < 200) CheckSynchronize(1);
    for (TLazyTreeState S : {tsUseCache, tsValidating}) EXPECT_FALSE(Tree->TreeStates().Contains(S)) << int(S);
}
