// The tree as a window: a scan-window-shaped string tree (check boxes, lines,
// buttons, no columns, hidden header) rendered offscreen and driven by the
// simulated mouse and keyboard.

#include "tree/LazyTrees.h"
#include "tree/LazyTrees.Utils.h"
#include "tree/LazyTrees.StyleHooks.h"

#include "framework/Files.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/Styles.h"
#include "framework/Themes.h"
#include "framework/Windows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <map>
#include <set>
#include <thread>

namespace {

// Two top-level nodes with two children each; every node has a check box.
struct ScanTree {
    ScanTree() {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 300, 200);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 200, 150);
        tree->SetColor(clWhite);
        tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
        tree->OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode Node, TLazyNodeInitStates& States) {
            Node->CheckType = ctCheckBox;
            if (!Parent) States.Include(ivsHasChildren);
        };
        tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 2; };
        tree->OnGetText = [](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType Type, String& Text) {
            if (Type == ttNormal) Text = S(T->GetNodeLevel(Node) == 0 ? "Bus" : "Meter") + String(1, u'0' + Node->Index);
        };
        tree->OnChecking = [this](TBaseLazyTree*, PLazyNode Node, TCheckState& NewState, bool&) {
            log += "checking " + std::to_string(Node->Index) + "->" + std::to_string(NewState) + ";";
        };
        tree->OnChecked = [this](TBaseLazyTree*, PLazyNode Node) { log += "checked " + std::to_string(Node->Index) + ";"; };
        tree->SetRootNodeCount(2);
        first = tree->GetFirst();
        tree->SetExpanded(first, true);
        form.Show();
        tree->SetFocus();
    }
    ~ScanTree() { SetThemeRenderer(trStyled); }
    TForm form{nullptr};
    TLazyStringTree* tree;
    PLazyNode first;
    std::string log;
};

// Rows are 18 high. A top-level row has its button at x 5..13, y 4..12, its
// check box at x 21..33, y 3..15, and its text area from x 37.
constexpr int CheckX = 27, CheckY = 9, ButtonX = 9, ButtonY = 8;

// A rendered window in client coordinates: the sunken client edge is two pixels wide.
struct Rendered {
    explicit Rendered(TControl* Control) { RenderControlToBitmap(Control, Bitmap); }
    TColor operator()(int X, int Y) { return Bitmap.Canvas().Pixels(X + 2, Y + 2); }
    TBitmap Bitmap;
};

// Whether the first node's check box, a Size square at x 21 and y Top, shows picture Index of List
// as drawn over white.
bool FirstBoxIs(TLazyStringTree& t, TImageList* List, int Index, int Size, int Top) {
    TBitmap Want(Size, Size);
    Want.Canvas().Brush().SetColor(clWhite);
    Want.Canvas().FillRect(TRect{0, 0, Size, Size});
    List->Draw(Want.Canvas(), 0, 0, Index, dsTransparent, itImage);
    Rendered At(&t);
    for (int Y = 0; Y < Size; ++Y)
        for (int X = 0; X < Size; ++X)
            if (At(21 + X, Top + Y) != Want.Canvas().Pixels(X, Y)) return false;
    return true;
}

}  // namespace

TEST(LazyTreesWindow, RenderedRowsShowLinesButtonsChecksAndSelection) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetCheckState(f.first, csCheckedNormal);
    PLazyNode second = t.GetNextSibling(f.first);
    t.SetFocusedNode(second);
    t.AddToSelection(second);
    Rendered At(&t);
    const TColor Line = ColorToRGB(t.Colors().GetColor(TLTColors::TreeLineColor));
    const TColor Back = ColorToRGB(clWhite);
    // The expanded node's button: frame in the line colour, a minus stroke only.
    EXPECT_EQ(At(5, 4), Line);
    EXPECT_EQ(At(13, 12), Line);
    EXPECT_EQ(At(9, 8), ColorToRGB(t.Colors().NodeFontColor()));
    EXPECT_EQ(At(9, 6), Back);
    // The collapsed second node's button has the plus stroke too.
    EXPECT_EQ(At(9, 54 + 6), ColorToRGB(t.Colors().NodeFontColor()));
    // Dotted lines keep one phase across rows: the children's connector at x 27
    // runs through the first child and stops at the middle of the last one.
    for (int Y = 18; Y < 46; ++Y) {
        if (Y == 18 + 9 || Y == 36 + 9) continue;
        EXPECT_EQ(At(27, Y), ((27 + Y) & 1) == 0 ? Line : Back) << Y;
    }
    EXPECT_EQ(At(27, 47), Back);
    // The top-level line runs past the children from the first button to the second.
    EXPECT_EQ(At(9, 19), Line);
    EXPECT_EQ(At(9, 20), Back);
    // The checked box differs from the unchecked one in its middle.
    EXPECT_NE(At(CheckX, CheckY), At(CheckX, 54 + CheckY));
    EXPECT_NE(At(21, 3), Back);
    // The selected, focused node: highlight behind its text from x 37.
    EXPECT_EQ(At(38, 54 + 2), ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor)));
    EXPECT_EQ(At(38, 2), Back);
    // Some text is painted in the first row.
    bool Ink = false;
    for (int X = 41; X < 80; ++X)
        for (int Y = 2; Y < 16; ++Y) Ink |= At(X, Y) != Back;
    EXPECT_TRUE(Ink);
}

TEST(LazyTreesWindow, GridLineEmptyMessageAndOwnerDrawnRow) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toShowHorzGridLines});
    t.OnBeforeItemPaint = [&](TBaseLazyTree*, TCanvas* C, PLazyNode Node, const TRect& R, bool& Custom) {
        if (Node != f.first) return;
        C->Brush().SetColor(clRed);
        C->FillRect(R);
        Custom = true;
    };
    Rendered At(&t);
    EXPECT_EQ(At(CheckX, CheckY), clRed);  // no check box over the owner's row
    EXPECT_EQ(At(150, 17), clRed);
    EXPECT_EQ(At(151, 35), ColorToRGB(t.Colors().GetColor(TLTColors::GridLineColor)));
    EXPECT_EQ(At(150, 35), ColorToRGB(clWhite)) << "dotted";
    EXPECT_EQ(At(151, 34), ColorToRGB(clWhite));

    t.Clear();
    t.EmptyListMessage = S("Nothing found");
    t.Font().SetColor(clBlack);
    Rendered Empty(&t);
    int Top = 1000, Left = 1000;
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 150; ++X)
            if (Empty(X, Y) != ColorToRGB(clWhite)) {
                Top = std::min(Top, Y);
                Left = std::min(Left, X);
            }
    EXPECT_GE(Top, 2);
    EXPECT_GE(Left, 2);
    EXPECT_LT(Top, 10);
    EXPECT_LT(Left, 6);
}

TEST(LazyTreesWindow, HitTestFindsTheRowParts) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    PLazyNode child = t.GetFirstChild(f.first);
    struct Case {
        int X, Y;
        PLazyNode Node;
        TBaseLazyTree::THitPosition Position;
    } Cases[] = {
        {ButtonX, ButtonY, f.first, TBaseLazyTree::hiOnItemButton},
        {CheckX, CheckY, f.first, TBaseLazyTree::hiOnItemCheckbox},
        {40, 9, f.first, TBaseLazyTree::hiOnItemLabel},
        {190, 9, f.first, TBaseLazyTree::hiOnItemRight},
        {9, 18 + 9, child, TBaseLazyTree::hiOnItemIndent},
        {CheckX + 18, 18 + 9, child, TBaseLazyTree::hiOnItemCheckbox},
        {40, 140, nullptr, TBaseLazyTree::hiNowhere},
    };
    for (const Case& c : Cases) {
        auto Hit = t.GetHitTestInfoAt(c.X, c.Y);
        EXPECT_EQ(Hit.HitNode, c.Node) << c.X << "," << c.Y;
        EXPECT_TRUE(Hit.HitPositions.Contains(c.Position)) << c.X << "," << c.Y;
    }
    EXPECT_EQ(t.GetNodeAt(0, 54), t.GetNextSibling(f.first));
    PLazyNode Hidden = t.GetFirstChild(t.GetNextSibling(f.first));
    for (bool TextOnly : {false, true})
        for (bool Unclipped : {false, true})
            EXPECT_EQ(t.GetDisplayRect(Hidden, -1, TextOnly, Unclipped), TRect{}) << "under a collapsed parent";
    EXPECT_THROW(t.GetDisplayRect(nullptr, false), std::exception);
    EXPECT_THROW(t.GetDisplayRect(t.RootNode(), false), std::exception);
}

TEST(LazyTreesWindow, FixedIndentPutsEveryTextWhereTheTopLevelOnesStart) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    PLazyNode Child = t.GetFirstChild(f.first);
    const int Top = t.GetDisplayRect(f.first, true).Left, Deep = t.GetDisplayRect(Child, true).Left;
    EXPECT_EQ(Deep - Top, int(t.Indent()));
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toFixedIndent});
    EXPECT_EQ(t.GetDisplayRect(Child, true).Left, Top);
    EXPECT_EQ(t.GetDisplayRect(f.first, true).Left, Top);
}

TEST(LazyTreesWindow, CheckBoxClickCommitsOnlyWhenReleasedOnTheBox) {
    struct Case {
        const char* Name;
        int UpX, UpY;
        TCheckState After;
        std::string Log;
    } Cases[] = {
        {"released on the box", CheckX, CheckY, csCheckedNormal, "checking 0->2;checked 0;"},
        {"released on the label", 45, CheckY, csCheckedNormal, "checking 0->2;checked 0;"},
        {"released elsewhere", 150, 140, csUncheckedNormal, "checking 0->2;"},
    };
    for (const Case& c : Cases) {
        ScanTree f;
        SimulateMouseDown(f.tree, mbLeft, CheckX, CheckY);
        EXPECT_EQ(f.first->CheckState, csUncheckedPressed) << c.Name;
        SimulateMouseUp(f.tree, mbLeft, c.UpX, c.UpY);
        EXPECT_EQ(f.first->CheckState, c.After) << c.Name;
        EXPECT_EQ(f.log, c.Log) << c.Name;
    }
}

TEST(LazyTreesWindow, SpaceChecksTheFocusedNodeUnlessAnotherKeyComesBetween) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetFocusedNode(f.first);
    SimulateKeyDown(VK_SPACE);
    EXPECT_EQ(f.first->CheckState, csUncheckedPressed);
    SimulateKeyUp(VK_SPACE);
    EXPECT_EQ(f.first->CheckState, csCheckedNormal);
    SimulateKeyDown(VK_SPACE);
    SimulateKeyDown(VK_DOWN);
    SimulateKeyUp(VK_SPACE);
    EXPECT_EQ(f.first->CheckState, csCheckedNormal);
    EXPECT_EQ(t.FocusedNode(), t.GetFirstChild(f.first));
    EXPECT_EQ(f.log, "checking 0->2;checked 0;checking 0->0;");
}

TEST(LazyTreesWindow, ButtonsClicksAndKeysMoveFocusAndExpand) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    PLazyNode second = t.GetNextSibling(f.first);
    SimulateClick(&t, ButtonX, 54 + ButtonY);
    EXPECT_TRUE(t.GetExpanded(second));
    SimulateClick(&t, ButtonX, ButtonY);
    EXPECT_FALSE(t.GetExpanded(f.first));
    SimulateClick(&t, 45, 18 + 9);  // now the second top-level row
    EXPECT_EQ(t.FocusedNode(), second);
    EXPECT_TRUE(t.GetSelected(second));
    SimulateKey(VK_DOWN);
    EXPECT_EQ(t.FocusedNode(), t.GetFirstChild(second));
    EXPECT_FALSE(t.GetSelected(second));
    SimulateKey(VK_LEFT);
    EXPECT_EQ(t.FocusedNode(), second);
    SimulateKey(VK_SUBTRACT);
    EXPECT_FALSE(t.GetExpanded(second));
    SimulateKey(VK_HOME);
    EXPECT_EQ(t.FocusedNode(), f.first);
    SimulateKey(VK_RIGHT);
    EXPECT_TRUE(t.GetExpanded(f.first));
}

TEST(LazyTreesWindow, ScrollBarsShowWhenTheContentPassesTheWindowAndTellTheOwner) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    std::string Log;
    t.OnShowScrollBar = [&](TBaseLazyTree*, int Bar, bool Show) {
        Log += std::string(Bar == SB_VERT ? "v" : "h") + (Show ? "+" : "-");
    };
    struct Case {
        Cardinal Nodes;
        TScrollStyle Style;
        bool Always;
        const char* Expected;
        bool VerticalShown;
    } Cases[] = {
        {2, ssBoth, false, "v-h-", false},
        {20, ssBoth, false, "v+h-", true},
        {20, ssHorizontal, false, "v-h-", false},
        {2, ssBoth, true, "v+h+", true},
    };
    for (const Case& c : Cases) {
        t.SetRootNodeCount(c.Nodes);
        t.ScrollBarOptions().SetScrollBars(c.Style);
        t.ScrollBarOptions().SetAlwaysVisible(c.Always);
        Log.clear();
        t.UpdateScrollBars(false);
        EXPECT_EQ(Log, c.Expected) << c.Nodes << " " << c.Style << " " << c.Always;
        EXPECT_EQ((WindowStyle(&t) & WS_VSCROLL) != 0, c.VerticalShown) << c.Nodes;
    }
    t.ScrollBarOptions().SetAlwaysVisible(false);
    t.SetRootNodeCount(20);
    EXPECT_TRUE(t.ApplyOffsets(TPoint{0, -18}));
    EXPECT_FALSE(t.ApplyOffsets(TPoint{0, -18}));
    EXPECT_TRUE(t.ApplyOffsets(TPoint{0, 40}));
    EXPECT_EQ(t.OffsetY(), 0) << "clamped to the top";
    EXPECT_FALSE(t.ApplyOffsets(TPoint{0, 5})) << "clamped to where it is";
}

TEST(LazyTreesWindow, ScrollingClampsAndBringsNodesIntoView) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(20);
    EXPECT_EQ(t.RangeY(), 22 * 18);  // 20 top-level rows and two children
    t.SetOffsetXY(0, -10000);
    EXPECT_EQ(t.OffsetY(), t.ClientHeight() - t.RangeY());
    t.SetOffsetXY(0, 50);
    EXPECT_EQ(t.OffsetY(), 0);
    PLazyNode last = t.GetLast();
    EXPECT_TRUE(t.ScrollIntoView(last, false));
    TRect R = t.GetDisplayRect(last, false);
    EXPECT_EQ(R.Bottom, t.ClientHeight());
    t.ScrollIntoView(t.GetFirstChild(f.first), true);
    R = t.GetDisplayRect(t.GetFirstChild(f.first), false);
    EXPECT_EQ(t.OffsetY(), 0);  // the centred row cannot pull the top below 0
    SimulateWheel(&t, 20, 20, -120);
    EXPECT_EQ(t.OffsetY(), -3 * 18);
    t.Perform(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(t.OffsetY(), -3 * 18 - 20);
    struct Wheel {
        int Delta;
        TShiftState Shift;
        int Moved;
    } Wheels[] = {
        {-60, {}, -27},                     // half a notch: 1.5 rows
        {120, {}, 54},
        {-120, {ssCtrl}, -t.ClientHeight()},  // a page
    };
    for (const Wheel& w : Wheels) {
        t.SetOffsetXY(0, -100);
        SimulateWheel(&t, 20, 20, w.Delta, w.Shift);
        EXPECT_EQ(t.OffsetY(), -100 + w.Moved) << w.Delta;
    }
}

TEST(LazyTreesString, TextsPathSearchAndCsv) {
    TLazyStringTree t(nullptr);
    t.SetRootNodeCount(2);
    PLazyNode first = t.GetFirst();
    EXPECT_EQ(t.GetText(first, NoColumn), S("Node"));
    EXPECT_EQ(t.GetStaticText(first, NoColumn), S(""));
    EXPECT_EQ(t.Path(t.RootNode(), NoColumn, u'\\'), S("\\"));
    EXPECT_EQ(t.Path(first, NoColumn, u'\\'), S("Node\\"));
    EXPECT_EQ(t.DoIncrementalSearch(first, S("No")), 0);
    EXPECT_EQ(t.DoIncrementalSearch(first, S("no")), 1);
    t.SetChildCount(first, 1);
    t.OnGetText = [](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType Type, String& Text) {
        if (Type == ttNormal) Text = S(T->GetNodeLevel(Node) == 0 ? "A" : "B");
    };
    EXPECT_EQ(t.Path(t.GetFirstChild(first), NoColumn, u'/'), S("A/B/"));
    std::vector<String> Told;
    t.OnNewText = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, String Text) { Told.push_back(Text); };
    t.SetText(first, NoColumn, S("X"));
    EXPECT_EQ(Told, std::vector<String>{S("X")});

    TempDir Dir;
    String File = Utf8ToString(Dir.file("tree.csv"));
    EXPECT_FALSE(t.SaveToCSVFile(S(""), true));
    ASSERT_TRUE(t.SaveToCSVFile(File, true));
    EXPECT_EQ(ReadFileBytes(File), "\r\n\r\n\r\n");  // heading and two top-level nodes, no columns
}

TEST(LazyTreesWindow, LineImagesFollowTheVisibleSiblingsAndTheOptions) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    using L = TBaseLazyTree::TLineImage;
    PLazyNode Bus0 = f.first, Bus1 = t.GetNextSibling(Bus0);
    t.SetExpanded(Bus1, true);
    PLazyNode Meter00 = t.GetFirstChild(Bus0), Meter01 = t.GetNextSibling(Meter00), Meter10 = t.GetFirstChild(Bus1);
    const TLTPaintOptions Default = t.TreeOptions().PaintOptions();
    struct Case {
        TLTPaintOptions Options;
        bool HideBus1;
        PLazyNode Node;
        L Expected;
    } Cases[] = {
        {Default, false, Bus0, {TBaseLazyTree::ltBottomRight}},
        {Default, false, Bus1, {TBaseLazyTree::ltTopRight}},
        {Default, false, Meter00, {TBaseLazyTree::ltTopDown, TBaseLazyTree::ltTopDownRight}},
        {Default, false, Meter01, {TBaseLazyTree::ltTopDown, TBaseLazyTree::ltTopRight}},
        {Default, false, Meter10, {TBaseLazyTree::ltNone, TBaseLazyTree::ltTopDownRight}},
        // A hidden sibling does not count.
        {Default, true, Bus0, {TBaseLazyTree::ltRight}},
        {Default, true, Meter01, {TBaseLazyTree::ltNone, TBaseLazyTree::ltTopRight}},
        {Default - TLTPaintOptions{toShowRoot}, false, Bus0, {}},
        {Default - TLTPaintOptions{toShowRoot}, false, Meter00, {TBaseLazyTree::ltTopDownRight}},
        {Default + TLTPaintOptions{toChildrenAbove}, false, Bus0, {TBaseLazyTree::ltBottomRight}},
        {Default + TLTPaintOptions{toChildrenAbove}, false, Bus1, {TBaseLazyTree::ltTopRight}},
        {Default + TLTPaintOptions{toChildrenAbove}, false, Meter00, {TBaseLazyTree::ltNone, TBaseLazyTree::ltBottomRight}},
        {Default + TLTPaintOptions{toChildrenAbove}, false, Meter01, {TBaseLazyTree::ltNone, TBaseLazyTree::ltTopDownRight}},
        {Default + TLTPaintOptions{toChildrenAbove}, false, Meter10, {TBaseLazyTree::ltTopDown, TBaseLazyTree::ltBottomRight}},
        {Default - TLTPaintOptions{toShowTreeLines}, false, Meter00, {TBaseLazyTree::ltNone, TBaseLazyTree::ltNone}},
    };
    for (const Case& c : Cases) {
        t.TreeOptions().SetPaintOptions(c.Options);
        t.SetVisible(Bus1, !c.HideBus1);
        L Got;
        t.BuildLineImage(c.Node, Got);
        EXPECT_EQ(Got, c.Expected) << t.GetNodeLevel(c.Node) << " " << c.Node->Index << " " << c.HideBus1;
    }
    t.TreeOptions().SetPaintOptions(Default);
    t.AddToSelection(Bus0);
    L Got;
    EXPECT_EQ(t.BuildLineImage(Meter00, Got), 1) << "one selected ancestor";
    EXPECT_EQ(t.BuildLineImage(Bus0, Got), 0);
}

TEST(LazyTreesWindow, LineStylesPatternsAndTheOwnersPlaceOfALevel) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    const TColor Line = ColorToRGB(t.Colors().GetColor(TLTColors::TreeLineColor));
    const TColor Back = ColorToRGB(clWhite);
    // The top-level line between the two buttons, dotted by default.
    {
        Rendered At(&t);
        EXPECT_EQ(At(9, 19), Line);
        EXPECT_EQ(At(9, 20), Back);
    }
    t.SetLineStyle(TBaseLazyTree::lsSolid);
    {
        Rendered At(&t);
        for (int Y = 19; Y < 50; ++Y) EXPECT_EQ(At(9, Y), Line) << Y;
    }
    // An owner's pattern: the left half of every row a line, the right half a gap.
    static const Byte HalfAndHalf[16] = {0x0F, 0, 0x0F, 0, 0x0F, 0, 0x0F, 0, 0x0F, 0, 0x0F, 0, 0x0F, 0, 0x0F, 0};
    int Asked = 0;
    t.OnGetLineStyle = [&](TBaseLazyTree*, const void*& Bits) {
        ++Asked;
        Bits = HalfAndHalf;
    };
    t.SetLineStyle(TBaseLazyTree::lsCustomStyle);
    {
        Rendered At(&t);
        EXPECT_EQ(Asked, 1) << "the pattern is made once";
        // The first child's connector at y 26 runs from x 27 to 36.
        EXPECT_EQ(At(27, 26), Line);
        for (int X = 28; X < 32; ++X) EXPECT_EQ(At(X, 26), Back) << X;
        for (int X = 32; X < 36; ++X) EXPECT_EQ(At(X, 26), Line) << X;
    }
    t.OnGetLineStyle = nullptr;
    t.SetLineStyle(TBaseLazyTree::lsDotted);
    t.SetLineStyle(TBaseLazyTree::lsCustomStyle);  // without a handler: dotted
    std::vector<int> Levels;
    t.OnBeforeDrawTreeLine = [&](TBaseLazyTree*, PLazyNode Node, int Level, int& PosX) {
        if (Node == t.GetFirstChild(f.first)) Levels.push_back(Level);
        if (Level == 1) PosX += 3;
    };
    Rendered At(&t);
    EXPECT_EQ(Levels, (std::vector<int>{0, 1}));
    EXPECT_EQ(At(9, 20), Back);
    EXPECT_EQ(At(27, 19), Back) << "the children's connector moved right";
    EXPECT_EQ(At(30, 20), Line);
}

TEST(LazyTreesWindow, ContentWidthCoversTheRowsInTheWindowOnly) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(12);
    PLazyNode Last = t.GetLastChild(t.RootNode());
    t.OnGetText = [Last](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
        Text = Node == Last ? S("A bus far below with a long name") : S(T->GetNodeLevel(Node) ? "Meter" : "Bus");
    };
    auto Expected = [&](int ImageRoom) {
        int Width = 0;
        int Top = 0;
        for (PLazyNode N = t.GetNodeAt(0, 0, &Top); N && Top <= t.Height(); Top += 18, N = t.GetNextVisible(N)) {
            const TRect Text = t.GetDisplayRect(N, true);
            Width = std::max(Width, int(t.GetNodeLevel(N) + 1) * 18 + ImageRoom + 15 + Text.Right - Text.Left);
        }
        return Width + 4;
    };
    const int Near = Expected(0);
    EXPECT_EQ(t.GetVisibleContentWidth(), Near);
    EXPECT_EQ(t.RangeX(), Near);
    // Scrolled to the end, the long name is in the window.
    t.SetOffsetXY(0, -1000);
    EXPECT_GT(t.GetVisibleContentWidth(), Near);
    EXPECT_EQ(t.GetVisibleContentWidth(), Expected(0));
    // An image list keeps room for its pictures on every row, shown or not.
    TImageList Images(16, 16);
    t.SetImages(&Images);
    EXPECT_EQ(t.GetVisibleContentWidth(), Expected(18));
    t.SetImages(nullptr);
}

TEST(LazyTreesWindow, BandsMarkEachLevelsEdgeAndCloseBelowALastOrLeafNode) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetLineStyle(TBaseLazyTree::lsSolid);
    t.SetLineMode(TBaseLazyTree::lmBands);
    const TColor Grid = ColorToRGB(t.Colors().GetColor(TLTColors::GridLineColor));
    ASSERT_NE(Grid, ColorToRGB(clWhite));
    Rendered At(&t);
    // Rows: the open bus (0), its two meters (18, 36), the closed bus (54).
    EXPECT_EQ(At(0, 10), Grid) << "the open bus keeps its level's edge";
    EXPECT_NE(At(5, 17), Grid) << "and does not close it";
    EXPECT_EQ(At(0, 25), Grid);
    EXPECT_EQ(At(18, 25), Grid) << "the first meter's own level";
    EXPECT_EQ(At(25, 35), Grid) << "closed below the leaf";
    EXPECT_NE(At(5, 35), Grid) << "the bus level runs on";
    EXPECT_EQ(At(5, 53), Grid) << "below the last meter both levels close";
    EXPECT_EQ(At(25, 53), Grid);
    EXPECT_EQ(At(5, 71), Grid) << "the closed bus closes its band";
}

TEST(LazyTreesWindow, ButtonsAreFramedAndFilledByTheFillModeOrTriangles) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetColor(clYellow);
    const TColor Black = ColorToRGB(clBlack);
    {
        Rendered At(&t);
        EXPECT_EQ(At(6, 5), ColorToRGB(clYellow)) << "filled in the tree's colour";
    }
    t.SetButtonFillMode(TBaseLazyTree::fmWindowColor);
    {
        Rendered At(&t);
        EXPECT_EQ(At(6, 5), ColorToRGB(clWindow));
        EXPECT_EQ(At(9, 8), ColorToRGB(t.Colors().NodeFontColor())) << "the minus stroke stays";
    }
    t.SetButtonStyle(TBaseLazyTree::bsTriangle);
    Rendered At(&t);
    // The open bus points down (x 5..13, y 6..10), the closed one right (x 7..11, y 54 + 4..12).
    EXPECT_EQ(At(9, 7), Black);
    EXPECT_NE(At(9, 4), Black);
    EXPECT_EQ(At(8, 54 + 8), Black);
    EXPECT_NE(At(12, 54 + 5), Black);
}

TEST(LazyTreesWindow, CheckPicturesComeFromTheKindsListOrTheOwners) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    // The first node's unchecked box (picture 9) stands at x 21..33, y 3..15.
    auto BoxIs = [&](TImageList* List, int Index) { return FirstBoxIs(t, List, Index, 13, 3); };
    EXPECT_TRUE(BoxIs(SystemCheckList(), 9));
    t.SetCheckImageKind(TBaseLazyTree::ckSystemFlat);
    EXPECT_TRUE(BoxIs(SystemFlatCheckList(), 9));
    EXPECT_FALSE(BoxIs(SystemCheckList(), 9)) << "the flat look differs";
    // The owner's pictures, also while a theme is active.
    auto* Own = new TImageList(13, 13);
    for (int I = 0; I < 25; ++I) {
        TBitmap Picture(13, 13);
        Picture.Canvas().Brush().SetColor(I == 9 ? clRed : clBlue);
        Picture.Canvas().FillRect(TRect{0, 0, 13, 13});
        Own->Add(&Picture, nullptr);
    }
    t.SetCustomCheckImages(Own);
    t.SetCheckImageKind(TBaseLazyTree::ckCustom);
    EXPECT_TRUE(BoxIs(Own, 9));
    SetThemeRenderer(trStyled);
    EXPECT_TRUE(BoxIs(Own, 9));
    SetThemeRenderer(trClassic);
    delete Own;  // freed elsewhere: the tree lets go and returns to the platform's pictures
    EXPECT_EQ(t.CustomCheckImages(), nullptr);
    EXPECT_EQ(t.CheckImageKind(), TBaseLazyTree::ckSystemDefault);
    EXPECT_TRUE(BoxIs(SystemCheckList(), 9));
}

// The drawn kinds take 16-pixel pictures from their shared strips, the box centred on the row.
TEST(LazyTreesWindow, DrawnCheckKindsPaintTheirStripsPictures) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    auto BoxIs = [&](TImageList* List, int Index) { return FirstBoxIs(t, List, Index, 16, 1); };
    const struct {
        TBaseLazyTree::TCheckImageKind Kind;
        int Look;
    } Kinds[] = {{TBaseLazyTree::ckLightCheck, 0}, {TBaseLazyTree::ckDarkCheck, 1}, {TBaseLazyTree::ckLightTick, 2},
                 {TBaseLazyTree::ckDarkTick, 3},   {TBaseLazyTree::ckFlat, 4},      {TBaseLazyTree::ckXP, 5}};
    for (const auto& k : Kinds) {
        t.SetCheckImageKind(k.Kind);
        EXPECT_EQ(t.CheckImageListForKind(k.Kind), DrawnCheckList(k.Look));
        t.SetCheckState(f.first, csUncheckedNormal);
        EXPECT_TRUE(BoxIs(DrawnCheckList(k.Look), 9)) << k.Look;
        t.SetCheckState(f.first, csCheckedNormal);
        EXPECT_TRUE(BoxIs(DrawnCheckList(k.Look), 13)) << k.Look;
        EXPECT_FALSE(BoxIs(DrawnCheckList(k.Look), 9)) << k.Look << ": checked and unchecked differ";
        // The text moves right by the wider picture: the hit test finds the box at its new width.
        EXPECT_TRUE(t.GetHitTestInfoAt(21 + 15, 9).HitPositions.Contains(TBaseLazyTree::hiOnItemCheckbox)) << k.Look;
    }
}

TEST(LazyTreesWindow, SelectionIsARoundedRectangleInItsColoursOrBlendedOverTheRow) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.Colors().SetColor(TLTColors::FocusedSelectionColor, clNavy);
    t.Colors().SetColor(TLTColors::FocusedSelectionBorderColor, clRed);
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toHideFocusRect});
    t.AddToSelection(f.first);
    const TRect R = t.GetDisplayRect(f.first, true);
    const TColor Navy = ColorToRGB(clNavy), Red = ColorToRGB(clRed), White = ColorToRGB(clWhite);
    struct Case {
        int Radius;
        bool Blended;
        TColor Corner, Edge, Middle;  // clNone: a mix of white and navy
    } Cases[] = {
        {0, false, Red, Red, Navy},
        {8, false, White, Red, Navy},
        {0, true, clNone, clNone, clNone},
    };
    for (const Case& c : Cases) {
        t.SelectionCurveRadius = c.Radius;
        TLTPaintOptions Paint = t.TreeOptions().PaintOptions();
        if (c.Blended) Paint.Include(toUseBlendedSelection);
        else Paint.Exclude(toUseBlendedSelection);
        t.TreeOptions().SetPaintOptions(Paint);
        Rendered At(&t);
        const int MidX = (R.Left + R.Right) / 2;
        if (c.Corner != clNone) {
            EXPECT_EQ(At(R.Left, R.Top), c.Corner) << c.Radius;
            EXPECT_EQ(At(MidX, R.Top), c.Edge) << c.Radius;
            EXPECT_EQ(At(R.Left + 2, R.Bottom - 2), c.Middle) << c.Radius;
        } else {
            const TColor Mix = At(R.Left + 2, R.Bottom - 2);
            EXPECT_NE(Mix, White);
            EXPECT_NE(Mix, Navy);
            EXPECT_EQ(GetRValue(Mix), GetGValue(Mix)) << "white and navy blended half and half";
            EXPECT_GT(GetBValue(Mix), GetRValue(Mix));
        }
    }
}

TEST(LazyTreesWindow, NodeImagesCarryOverlaysAndAreBlendedGhostedOrGreyed) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    // Image 0 red, 1..15 blue, 16 a lime corner (overlay numbers 0 and 1).
    TImageList Images(16, 16);
    for (int I = 0; I < 17; ++I) {
        TBitmap Picture;
        Picture.SetSize(16, 16);
        Picture.Canvas().Brush().SetColor(clFuchsia);
        Picture.Canvas().FillRect(TRect{0, 0, 16, 16});
        Picture.Canvas().Brush().SetColor(I == 16 ? clLime : I == 0 ? clRed : clBlue);
        Picture.Canvas().FillRect(I == 16 ? TRect{0, 0, 6, 6} : TRect{0, 0, 16, 16});
        Images.AddMasked(Picture, clFuchsia);
    }
    ASSERT_TRUE(Images.Overlay(16, 0));
    ASSERT_TRUE(Images.Overlay(16, 1));
    t.SetImages(&Images);
    enum TLook { Red, Tinted, Grey };
    struct Case {
        const char* Name;
        int Overlay;
        bool Ghosted, Blended, Disabled, Selected;
        TLook Middle;
        TColor Corner;
    } Cases[] = {
        {"plain", -1, false, false, false, false, Red, clRed},
        {"overlay mask", 1, false, false, false, false, Red, clLime},
        {"overlay past the masks", 16, false, false, false, false, Red, clLime},
        {"overlay naming the image itself", 0, false, false, false, false, Red, clRed},
        {"ghosted without blending", -1, true, false, false, false, Red, clRed},
        {"ghosted and blended", -1, true, true, false, false, Tinted, clNone},
        {"selected and blended", -1, false, true, false, true, Tinted, clNone},
        {"selected without blending", -1, false, false, false, true, Red, clRed},
        {"disabled", -1, false, false, true, false, Grey, clNone},
    };
    for (const Case& c : Cases) {
        t.OnGetImageIndexEx = [&](TBaseLazyTree* T, PLazyNode Node, TBaseLazyTree::TLTImageKind Kind, TColumnIndex,
                                  bool& Ghosted, int& Index, TImageList*&) {
            if (T->GetNodeLevel(Node) != 0 || Node->Index != 0) return;
            if (Kind == TBaseLazyTree::ikOverlay) Index = c.Overlay;
            else if (Kind == TBaseLazyTree::ikNormal || Kind == TBaseLazyTree::ikSelected) {
                Index = 0;
                Ghosted = c.Ghosted;
            }
        };
        TLTPaintOptions Paint = t.TreeOptions().PaintOptions();
        if (c.Blended) Paint.Include(toUseBlendedImages);
        else Paint.Exclude(toUseBlendedImages);
        t.TreeOptions().SetPaintOptions(Paint);
        t.SetDisabled(f.first, c.Disabled);
        t.ClearSelection();
        if (c.Selected) t.AddToSelection(f.first);
        Rendered At(&t);
        const TColor Middle = At(44, 9);
        switch (c.Middle) {
        case Red: EXPECT_EQ(Middle, clRed) << c.Name; break;
        case Tinted:
            EXPECT_NE(Middle, clRed) << c.Name;
            EXPECT_GT(GetRValue(Middle), 128) << c.Name << " three quarters of the image stay";
            break;
        case Grey:
            EXPECT_EQ(GetRValue(Middle), GetGValue(Middle)) << c.Name;
            EXPECT_EQ(GetGValue(Middle), GetBValue(Middle)) << c.Name;
            EXPECT_NE(Middle, ColorToRGB(clWhite)) << c.Name;
            break;
        }
        if (c.Corner != clNone) EXPECT_EQ(At(37, 2), c.Corner) << c.Name;
    }
}

TEST(LazyTreesWindow, OneImagePerLevelStandsAfterTheCheckBox) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    TImageList Images(16, 16);
    for (TColor Color : {clRed, clBlue}) {
        TBitmap Picture;
        Picture.SetSize(16, 16);
        Picture.Canvas().Brush().SetColor(Color);
        Picture.Canvas().FillRect(TRect{0, 0, 16, 16});
        Images.Add(&Picture, nullptr);
    }
    t.SetImages(&Images);
    std::vector<TBaseLazyTree::TLTImageKind> Kinds;
    t.OnGetImageIndexEx = [&](TBaseLazyTree* T, PLazyNode Node, TBaseLazyTree::TLTImageKind Kind, TColumnIndex,
                              bool&, int& Index, TImageList*&) {
        Kinds.push_back(Kind);
        if (Kind == TBaseLazyTree::ikNormal || Kind == TBaseLazyTree::ikSelected) Index = int(T->GetNodeLevel(Node));
    };
    Rendered At(&t);
    EXPECT_EQ(At(36, 1), clRed);  // top level: x 36..51, y 1..16
    EXPECT_EQ(At(51, 16), clRed);
    EXPECT_NE(At(52, 8), clRed);
    EXPECT_EQ(At(36 + 18, 18 + 8), clBlue);  // the children one indent step further
    EXPECT_FALSE(Kinds.empty());
    // The text and its hit area move behind the image.
    EXPECT_TRUE(t.GetHitTestInfoAt(40, 8).HitPositions.Contains(TBaseLazyTree::hiOnNormalIcon));
    EXPECT_TRUE(t.GetHitTestInfoAt(57, 8).HitPositions.Contains(TBaseLazyTree::hiOnItemLabel));
    EXPECT_EQ(t.GetDisplayRect(f.first, true).Left, 55);
}

TEST(LazyTreesWindow, BorderIsASunkenEdgeUnlessNone) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    EXPECT_EQ(t.ClientWidth(), 196);
    TBitmap Bitmap;
    RenderControlToBitmap(&t, Bitmap);
    EXPECT_NE(Bitmap.Canvas().Pixels(0, 0), ColorToRGB(clWhite));
    t.SetBorderStyle(TBaseLazyTree::bsNone);
    EXPECT_EQ(t.ClientWidth(), 200);
    t.SetBorderStyle(TBaseLazyTree::bsSingle);
    t.SetCtl3D(false);
    EXPECT_EQ(t.ClientWidth(), 198);
}

TEST(LazyTreesDraw, OwnerPaintsTheContentAndTellsItsWidth) {
    SetThemeRenderer(trClassic);
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    auto* t = new TLazyDrawTree(&form);
    t->SetParent(&form);
    t->SetBounds(0, 0, 200, 150);
    t->SetColor(clWhite);
    t->SetRootNodeCount(3);
    form.Show();
    PLazyNode first = t->GetFirst();
    EXPECT_EQ(t->GetDisplayRect(first, true).Right - t->GetDisplayRect(first, true).Left, 8);
    EXPECT_TRUE(t->GetHitTestInfoAt(22 + 9, 9).HitPositions.Contains(TBaseLazyTree::hiOnItemRight));
    // The owner gets the rest of the cell and the width it told; it paints that much.
    std::vector<TRect> Drawn;
    std::vector<int> Widths;
    t->OnDrawNode = [&](TBaseLazyTree*, const TLTPaintInfo& Info) {
        Drawn.push_back(Info.ContentRect);
        Widths.push_back(Info.NodeWidth);
        Info.Canvas->Brush().SetColor(clLime);
        Info.Canvas->FillRect(TRect{Info.ContentRect.Left, Info.ContentRect.Top,
                                    Info.ContentRect.Left + Info.NodeWidth, Info.ContentRect.Bottom});
    };
    t->OnGetNodeWidth = [](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, int& Width) { Width = 40; };
    EXPECT_TRUE(t->GetHitTestInfoAt(22 + 30, 9).HitPositions.Contains(TBaseLazyTree::hiOnItemLabel));
    Rendered At(t);
    ASSERT_EQ(Drawn.size(), 3u);
    EXPECT_EQ(Drawn[1], (TRect{22, 18, 196, 36}));
    EXPECT_EQ(Widths[1], 40);
    EXPECT_EQ(At(30, 20), clLime);
    EXPECT_EQ(At(70, 20), ColorToRGB(clWhite));
    SetThemeRenderer(trStyled);
}

namespace {
// The content margins come from the descendant: 7 pixels across, 3 down, per side type.
class MarginDrawTree : public TLazyDrawTree {
public:
    explicit MarginDrawTree(TComponent* AOwner) : TLazyDrawTree(AOwner) {
        OnGetCellContentMargin = [this](TBaseLazyTree*, TCanvas* Canvas, PLazyNode, TColumnIndex Column,
                                        TLTCellContentMarginType Type, TPoint& Margin) {
            Asked.push_back({Column, Type, Canvas != nullptr});
            Margin = Type == ccmtAllSides ? TPoint{7, 3} : TPoint{4, 2};
        };
    }
    struct Ask {
        TColumnIndex Column;
        TLTCellContentMarginType Type;
        bool HasCanvas;
    };
    std::vector<Ask> Asked;
};
}  // namespace

TEST(LazyTreesDraw, EachColumnIsAskedForItsWidthAndOnlyTheDescendantGivesMargins) {
    SetThemeRenderer(trClassic);
    TForm form(nullptr);
    form.SetBounds(50, 50, 320, 200);
    auto* t = new TLazyDrawTree(&form);
    auto* m = new MarginDrawTree(&form);
    for (TLazyDrawTree* Tree : {t, static_cast<TLazyDrawTree*>(m)}) {
        Tree->SetParent(&form);
        Tree->SetBorderStyle(TBaseLazyTree::bsNone);
        Tree->ScrollBarOptions().SetScrollBars(ssNone);
        Tree->SetBounds(0, Tree == t ? 0 : 80, 300, 70);
        Tree->SetColor(clWhite);
        for (int I = 0; I < 2; ++I) Tree->Header().Columns().Add()->SetWidth(100);
        Tree->SetRootNodeCount(2);
    }
    form.Show();
    PLazyNode first = t->GetFirst();
    // Without an answer every column's content is twice the text margin wide.
    for (TColumnIndex Column : {0, 1})
        EXPECT_EQ(t->GetDisplayRect(first, Column, true).Right - t->GetDisplayRect(first, Column, true).Left, 8);
    std::set<TColumnIndex> Asked;
    t->OnGetNodeWidth = [&](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex Column, int& Width) {
        Asked.insert(Column);
        Width = 30 + 20 * Column;
    };
    std::map<TColumnIndex, TRect> Drawn;
    std::map<TColumnIndex, int> Widths;
    t->OnDrawNode = [&](TBaseLazyTree*, const TLTPaintInfo& Info) {
        if (Info.Node == first) Drawn[Info.Column] = Info.ContentRect, Widths[Info.Column] = Info.NodeWidth;
        Info.Canvas->Brush().SetColor(clLime);
        Info.Canvas->FillRect(Info.ContentRect);
    };
    EXPECT_EQ(t->GetDisplayRect(first, 1, true).Right - t->GetDisplayRect(first, 1, true).Left, 50);
    TBitmap Picture;  // no border: client and picture coincide
    RenderControlToBitmap(t, Picture);
    ASSERT_TRUE(Drawn.count(0));
    const TRect Main = Drawn[0];
    // The owner draws into the rest of the cell and is told the width it answered for column 0.
    EXPECT_EQ(Widths[0], 30);
    EXPECT_EQ(Widths[1], 50);
    EXPECT_EQ(Main.Right, 100);
    EXPECT_EQ(Picture.Canvas().Pixels(Main.Right - 1, 9), clLime);
    EXPECT_EQ(Picture.Canvas().Pixels(Main.Left - 1, 9), ColorToRGB(clWhite));
    EXPECT_EQ(Asked, (std::set<TColumnIndex>{0, 1})) << "no width is asked without its column";

    // Margins: none on the plain draw tree, even when OnBeforeCellPaint would give some.
    t->OnBeforeCellPaint = [](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, TBaseLazyTree::TLTCellPaintMode,
                              const TRect&, TRect& Content) { Content.Left += 5; };
    EXPECT_EQ(t->GetCellContentMargin(first, 1), (TPoint{0, 0}));
    // The descendant's answer, asked for the column and side type, with the tree's canvas for none given.
    PLazyNode mfirst = m->GetFirst();
    EXPECT_EQ(m->GetCellContentMargin(mfirst, 1, TBaseLazyTree::ccmtTopLeftOnly), (TPoint{4, 2}));
    ASSERT_EQ(m->Asked.size(), 1u);
    EXPECT_EQ(m->Asked[0].Column, 1);
    EXPECT_EQ(m->Asked[0].Type, TBaseLazyTree::ccmtTopLeftOnly);
    EXPECT_TRUE(m->Asked[0].HasCanvas);
    // A column fitted to its content makes room for the margin across.
    m->OnGetNodeWidth = t->OnGetNodeWidth;
    const int WithMargin = m->GetMaxColumnWidth(1);
    EXPECT_EQ(WithMargin, t->GetMaxColumnWidth(1) + 7);
    SetThemeRenderer(trStyled);
}

TEST(LazyTreesString, TextWidthIsKeptUntilTheNodeOrTheFontChanges) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetNodeDataSize(8);
    t.Clear();
    t.SetRootNodeCount(2);
    PLazyNode first = t.GetFirst();
    int Asked = 0;
    String Text = S("Bus");
    t.OnGetText = [&](TBaseLazyTree*, PLazyNode, TColumnIndex, TLSTTextType Type, String& Cell) {
        if (Type == ttNormal) {
            ++Asked;
            Cell = Text;
        }
    };
    auto Width = [&] { return t.GetDisplayRect(first, true).Right - t.GetDisplayRect(first, true).Left; };
    const int Narrow = Width();
    EXPECT_GT(Narrow, 8);
    Text = S("Bus with a long name");
    Asked = 0;
    EXPECT_EQ(Width(), Narrow);  // kept: the text is not asked again
    EXPECT_EQ(Asked, 0);
    t.InvalidateNode(first);
    const int Wide = Width();
    EXPECT_GT(Wide, Narrow);
    const int Height = t.TextHeight();
    EXPECT_GT(Height, 0);
    EXPECT_GT(t.EllipsisWidth(), 0);
    t.Font().SetSize(t.Font().Size() * 2);
    EXPECT_GT(t.TextHeight(), Height);
    EXPECT_GT(Width(), Wide);  // every width measured anew in the bigger font
    // The owner's data area and the kept width do not overlap.
    *t.GetNodeData<std::int64_t>(first) = -1;
    t.InvalidateNode(first);
    EXPECT_EQ(*t.GetNodeData<std::int64_t>(first), -1);
}

TEST(LazyTreesWindow, ShrinkingTreeAndDoubleClickKeepTheViewSound) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(40);
    t.SetOffsetXY(0, -10000);
    ASSERT_LT(t.OffsetY(), 0);
    t.SetRootNodeCount(3);
    EXPECT_EQ(t.OffsetY(), 0);
    PLazyNode second = t.GetNextSibling(f.first);
    SimulateDblClick(&t, 45, 54 + 9);  // on the second top-level row's text
    EXPECT_TRUE(t.GetExpanded(second));
    SimulateDblClick(&t, CheckX, 54 + CheckY);  // a double click on a check box toggles nothing
    EXPECT_TRUE(t.GetExpanded(second));
}

TEST(LazyTreesWindow, ShiftArrowsGrowAndShrinkARangeAndKeypadKeysExpand) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() + TLTSelectionOptions{toMultiSelect});
    PLazyNode child1 = t.GetFirstChild(f.first), child2 = t.GetNextSibling(child1);
    PLazyNode second = t.GetNextSibling(f.first);
    SimulateClick(&t, 45, 9);
    ASSERT_EQ(t.FocusedNode(), f.first);
    SimulateKey(VK_DOWN, {ssShift});
    SimulateKey(VK_DOWN, {ssShift});
    EXPECT_EQ(t.SelectedCount(), 3);
    EXPECT_TRUE(t.GetSelected(child2));
    SimulateKey(VK_UP, {ssShift});  // back towards the anchor: the range shrinks
    EXPECT_EQ(t.SelectedCount(), 2);
    EXPECT_FALSE(t.GetSelected(child2));
    SimulateKey(VK_END, {ssShift});
    EXPECT_EQ(t.FocusedNode(), second);
    EXPECT_EQ(t.SelectedCount(), 4);
    SimulateKey(VK_HOME);
    EXPECT_EQ(t.SelectedCount(), 1);
    EXPECT_EQ(t.FocusedNode(), f.first);
    SimulateKey(0x41, {ssCtrl});
    EXPECT_EQ(t.SelectedCount(), 4);
    SimulateKey(VK_NUMPAD0 + 1, {ssCtrl});  // the keypad's 1 is not the letter A
    EXPECT_EQ(t.SelectedCount(), 4);

    SimulateKey(VK_DIVIDE);
    EXPECT_FALSE(t.GetExpanded(f.first));
    SimulateKey(VK_MULTIPLY);
    EXPECT_TRUE(t.GetExpanded(f.first));
    SimulateKey(VK_SUBTRACT, {ssCtrl});  // without Shift the header's business
    EXPECT_TRUE(t.GetExpanded(f.first));
    SimulateKey(VK_SUBTRACT, {ssCtrl, ssShift});
    EXPECT_FALSE(t.GetExpanded(f.first));
    SimulateKey(VK_ADD, {ssCtrl, ssShift});
    EXPECT_TRUE(t.GetExpanded(second));
    SimulateKey(VK_DOWN);
    SimulateKey(VK_BACK);  // back to the parent
    EXPECT_EQ(t.FocusedNode(), f.first);
}

TEST(LazyTreesString, AFontChangedWhilePaintingIsNoticedAndTheCanvasKeepsItsOwnHandler) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    TBitmap B(4, 4);
    TCanvas& C = B.Canvas();
    int Own = 0;
    C.Font().OnChange = [&](TObject*) { ++Own; };
    t.HookCanvasFontChange(C);
    t.HookCanvasFontChange(C);  // hooked already: the canvas's handler is not lost under the tree's
    t.ClearFontChanged();
    C.Font().SetSize(20);
    EXPECT_TRUE(t.FontChanged());
    EXPECT_EQ(Own, 1);
    t.UnhookCanvasFontChange(C);
    t.ClearFontChanged();
    C.Font().SetSize(12);
    EXPECT_FALSE(t.FontChanged());
    EXPECT_EQ(Own, 2);
    // A paint-text handler that makes the text bold is seen while the rows are painted.
    for (bool Bold : {false, true}) {
        t.OnPaintText = [Bold](TBaseLazyTree*, TCanvas* Canvas, PLazyNode, TColumnIndex, TLSTTextType) {
            if (Bold) Canvas->Font().SetStyle(TFontStyles{fsBold});
        };
        t.ClearFontChanged();
        Rendered At(&t);
        EXPECT_EQ(t.FontChanged(), Bold);
    }
}

TEST(LazyTreesString, SelectionComesBackWhenNodesWithTheSameCaptionsAreAdded) {
    TLazyStringTree t(nullptr);
    t.SetNodeDataSize(sizeof(int));
    t.TreeOptions().SetSelectionOptions(t.TreeOptions().SelectionOptions() +
                                        TLTSelectionOptions{toRestoreSelection, toMultiSelect});
    std::vector<String> Names{S("Meter A"), S("Meter B"), S("meter b"), S("Meter C")};
    t.OnGetText = [&](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
        Text = Names[*T->GetNodeData<int>(Node)];
    };
    // The new node's caption is read inside AddChild: its data comes from OnInitNode.
    int Next = 0;
    t.OnInitNode = [&](TBaseLazyTree* T, PLazyNode, PLazyNode Node, TLazyNodeInitStates&) {
        *T->GetNodeData<int>(Node) = Next;
    };
    auto Add = [&](int Name) {
        Next = Name;
        return t.AddChild(nullptr);
    };
    Add(0);
    PLazyNode B = Add(1);
    PLazyNode C = Add(3);
    t.AddToSelection(B);
    t.AddToSelection(C);
    t.RemoveFromSelection(C);  // no longer remembered
    t.Clear();
    std::vector<PLazyNode> Again;
    for (int Name : {3, 2, 0}) Again.push_back(Add(Name));
    EXPECT_FALSE(t.GetSelected(Again[0]));
    EXPECT_TRUE(t.GetSelected(Again[1]));  // "meter b" is "Meter B" ignoring case
    EXPECT_FALSE(t.GetSelected(Again[2]));
    EXPECT_EQ(t.SelectedCount(), 1);
}

TEST(LazyTreesWindow, RefusedOrDisabledChecksShowNoPress) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    bool Allow = false;
    t.OnChecking = [&](TBaseLazyTree*, PLazyNode, TCheckState&, bool& Allowed) { Allowed = Allow; };
    SimulateMouseDown(&t, mbLeft, CheckX, CheckY);
    EXPECT_EQ(f.first->CheckState, csUncheckedNormal);
    EXPECT_FALSE(t.TreeStates().Contains(tsMouseCheckPending));
    SimulateMouseUp(&t, mbLeft, CheckX, CheckY);
    EXPECT_EQ(f.first->CheckState, csUncheckedNormal);
    Allow = true;
    t.SetDisabled(f.first, true);
    SimulateClick(&t, CheckX, CheckY);
    EXPECT_EQ(f.first->CheckState, csUncheckedNormal);
    SimulateMouseDown(&t, mbRight, CheckX + 18, 18 + CheckY);  // only the left button checks
    EXPECT_EQ(t.GetFirstChild(f.first)->CheckState, csUncheckedNormal);
}

TEST(LazyTreesString, ImageTextsComeFromTheOwnerForInitialisedNodes) {
    TLazyStringTree Tree(nullptr);
    int Initialised = 0;
    Tree.OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates&) { ++Initialised; };
    Tree.SetRootNodeCount(1);
    PLazyNode Node = Tree.GetFirstNoInit();
    EXPECT_EQ(Tree.GetImageText(Node, TBaseLazyTree::ikNormal, -1), u"");
    EXPECT_EQ(Initialised, 1);
    Tree.OnGetImageText = [](TBaseLazyTree*, PLazyNode, TBaseLazyTree::TLTImageKind Kind, TColumnIndex Column,
                             String& Text) {
        EXPECT_TRUE(Text.empty());
        Text = Kind == TBaseLazyTree::ikState ? u"state " + String(1, u'0' + Column) : u"meter";
    };
    EXPECT_EQ(Tree.GetImageText(Node, TBaseLazyTree::ikNormal, -1), u"meter");
    EXPECT_EQ(Tree.GetImageText(Node, TBaseLazyTree::ikState, 2), u"state 2");
    EXPECT_EQ(Initialised, 1);
    EXPECT_THROW(Tree.GetImageText(nullptr, TBaseLazyTree::ikNormal, -1), EAssertionFailed);
}

TEST(LazyTreesString, CaptionsTravelInTheNodeStreamToOnNewText) {
    TLazyStringTree Source(nullptr);
    Source.OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
        Text = Node->Index == 1 ? String{} : S("Zähler ") + String(1, u'0' + Node->Index);
    };
    Source.SetRootNodeCount(3);
    for (PLazyNode Run = Source.GetFirst(); Run; Run = Source.GetNext(Run)) {}
    TMemoryStream Stream;
    Source.SaveToStream(Stream);
    TLazyStringTree Target(nullptr);
    std::vector<std::pair<Cardinal, String>> Told;
    Target.OnNewText = [&](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, String Text) {
        EXPECT_EQ(Column, Target.Header().MainColumn);
        Told.emplace_back(Node->Index, Text);
    };
    Stream.SetPosition(0);
    Target.LoadFromStream(Stream);
    EXPECT_EQ(Target.RootNodeCount(), 3u);
    // The empty caption is not written.
    std::vector<std::pair<Cardinal, String>> Expected{{0, S("Zähler 0")}, {2, S("Zähler 2")}};
    EXPECT_EQ(Told, Expected);

    Source.SetStringOptions({});
    TMemoryStream Plain;
    Source.SaveToStream(Plain);
    EXPECT_LT(Plain.Size(), Stream.Size());
}

TEST(LazyTreesWindow, HotNodeFollowsTheMouseUntilItLeaves) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    SimulateMouseMove(&t, 60, CheckY);
    EXPECT_EQ(t.HotNode(), f.first);
    SimulateMouseMove(&t, 60, 140);
    EXPECT_EQ(t.HotNode(), nullptr);
    SimulateMouseMove(&t, 60, 18 + CheckY);
    EXPECT_EQ(t.HotNode(), t.GetFirstChild(f.first));
    SimulateMouseLeave();
    EXPECT_EQ(t.HotNode(), nullptr);
}

TEST(LazyTreesWindow, CheckPictureIndexByTypeStateAndLook) {
    struct Case {
        TCheckType Type;
        TCheckState State;
        bool Enabled, Hot;
        int Index;
    } Cases[] = {
        {ctNone, csCheckedNormal, true, false, -1},
        {ctCheckBox, csUncheckedNormal, true, false, 9},
        {ctCheckBox, csUncheckedNormal, true, true, 10},
        {ctTriStateCheckBox, csCheckedPressed, true, true, 15},
        {ctCheckBox, csCheckedDisabled, true, false, 16},  // a disabled state counts as disabled
        {ctCheckBox, csMixedNormal, false, false, 20},
        {ctRadioButton, csCheckedNormal, true, true, 6},
        {ctRadioButton, csUncheckedNormal, false, false, 4},
        {ctButton, csCheckedNormal, true, false, 21},
        {ctButton, csUncheckedPressed, false, false, 24},
    };
    for (const Case& c : Cases)
        EXPECT_EQ(TBaseLazyTree::GetCheckImageIndex(c.Type, c.State, c.Enabled, c.Hot), c.Index)
            << int(c.Type) << " " << int(c.State);
}

TEST(LazyTreesWindow, ButtonStandsInTheMiddleOfItsIndentRoundingHalvesToEven) {
    struct Case {
        Cardinal Indent;
        int Left;
    } Cases[] = {{18, 5}, {19, 6}, {20, 7}, {22, 7}};
    for (const Case& c : Cases) {
        ScanTree f;
        f.tree->SetIndent(c.Indent);
        Rendered At(f.tree);
        const TColor Line = ColorToRGB(f.tree->Colors().GetColor(TLTColors::TreeLineColor));
        EXPECT_EQ(At(c.Left, 8), Line) << c.Indent;
        EXPECT_NE(At(c.Left - 1, 8), Line) << c.Indent;
        EXPECT_EQ(At(c.Left + 8, 8), Line) << c.Indent;
    }
}

TEST(LazyTreesWindow, StyledRendererDrawsTheCheckBoxesToo) {
    ScanTree f;
    SetThemeRenderer(trStyled);
    f.tree->SetCheckState(f.first, csCheckedNormal);
    Rendered At(f.tree);
    EXPECT_NE(At(CheckX, CheckY), At(CheckX, 54 + CheckY));
    EXPECT_NE(At(21, 54 + 3), ColorToRGB(clWhite));  // the unchecked box's frame
    EXPECT_TRUE(f.tree->TreeStates().Contains(tsUseThemes));
}

TEST(LazyTreesWindow, TopAndBottomNodeReadAndScroll) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(20);  // rows: Bus0, its two meters, then Bus1 .. Bus19
    PLazyNode bus5 = t.GetFirstLevel(0);
    for (int I = 0; I < 5; ++I) bus5 = t.GetNextSibling(bus5);
    EXPECT_EQ(t.TopNode(), f.first);
    EXPECT_EQ(t.BottomNode(), t.GetNodeAt(0, t.ClientHeight() - 1));
    t.SetTopNode(bus5);
    EXPECT_EQ(t.OffsetY(), -(5 + 2) * 18);
    EXPECT_EQ(t.TopNode(), bus5);
    PLazyNode bus10 = bus5;
    for (int I = 0; I < 5; ++I) bus10 = t.GetNextSibling(bus10);
    t.SetBottomNode(bus10);
    EXPECT_EQ(t.GetDisplayRect(bus10, false).Bottom, t.ClientHeight());
    EXPECT_EQ(t.BottomNode(), bus10);
    // A node under a collapsed parent: the parent opens, the node comes to the top.
    PLazyNode hidden = t.GetFirstChild(bus5);
    t.SetTopNode(hidden);
    EXPECT_TRUE(t.GetExpanded(bus5));
    EXPECT_EQ(t.TopNode(), hidden);
    t.SetTopNode(nullptr);  // ignored
    EXPECT_EQ(t.TopNode(), hidden);
    // The last rows cannot come to the top: the offset stays clamped.
    t.SetTopNode(t.GetLast());
    EXPECT_EQ(t.OffsetY(), t.ClientHeight() - t.RangeY());
    EXPECT_EQ(t.BottomNode(), t.GetLast());
}

TEST(LazyTreesWindow, FreedImageListsLeaveTheTree) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    auto* images = new TImageList(16, 16);
    auto* states = new TImageList(16, 16);
    t.SetImages(images);
    t.SetStateImages(states);
    delete images;
    EXPECT_EQ(t.Images(), nullptr);
    EXPECT_EQ(t.StateImages(), states);
    delete states;
    EXPECT_EQ(t.StateImages(), nullptr);
    Rendered At(&t);  // painting after the lists are gone draws no picture
    EXPECT_TRUE(t.GetHitTestInfoAt(40, 9).HitPositions.Contains(TBaseLazyTree::hiOnItemLabel));
}

TEST(LazyTreesWindow, ChangeScaleScalesHeightAndIndentWithTheOption) {
    struct Case {
        bool AutoChange;
        int M, D;
        Cardinal Height, Indent;
    } Cases[] = {
        {true, 3, 2, 27, 27},
        {true, 144, 96, 27, 27},
        {true, 96, 120, 14, 14},  // 14.4 rounds to 14
        {true, 5, 5, 18, 18},
        {false, 3, 2, 18, 18},
    };
    for (const Case& c : Cases) {
        ScanTree f;
        TLazyStringTree& t = *f.tree;
        TLTAutoOptions Auto = t.TreeOptions().AutoOptions();
        if (c.AutoChange) Auto.Include(toAutoChangeScale);
        else Auto.Exclude(toAutoChangeScale);
        t.TreeOptions().SetAutoOptions(Auto);
        t.SetDefaultNodeHeight(18);
        t.ChangeScale(c.M, c.D);
        EXPECT_EQ(t.DefaultNodeHeight(), c.Height) << c.M << "/" << c.D;
        EXPECT_EQ(t.Indent(), c.Indent) << c.M << "/" << c.D;
    }
}

namespace {

// The scan tree with multiple selection: rows Bus0, Meter0, Meter1 (y 0..54), Bus1.
struct BandTree : ScanTree {
    BandTree() {
        tree->TreeOptions().SetSelectionOptions(tree->TreeOptions().SelectionOptions() +
                                                TLTSelectionOptions{toMultiSelect});
        meter0 = tree->GetFirstChild(first);
        meter1 = tree->GetNextSibling(meter0);
        bus1 = tree->GetNextSibling(first);
    }
    std::vector<PLazyNode> Selected() {
        std::vector<PLazyNode> Result;
        for (PLazyNode N = tree->GetFirstSelected(); N; N = tree->GetNextSelected(N)) Result.push_back(N);
        return Result;
    }
    PLazyNode meter0, meter1, bus1;
};

}  // namespace

TEST(LazyTreesWindow, RubberBandSelectsWhatItCoversAndLetsGoWhatItLeaves) {
    BandTree f;
    TLazyStringTree& t = *f.tree;
    t.AddToSelection(f.bus1);
    // Pressed right of the first row's text: the selection clears, a band is pending.
    SimulateMouseDown(&t, mbLeft, 150, 5);
    EXPECT_TRUE(t.TreeStates().Contains(tsDrawSelPending));
    EXPECT_TRUE(f.Selected().empty());
    SimulateMouseMove(&t, 148, 6, {ssLeft});  // within the drag distance: still pending
    EXPECT_TRUE(t.TreeStates().Contains(tsDrawSelPending));
    SimulateMouseMove(&t, 30, 40, {ssLeft});
    EXPECT_TRUE(t.TreeStates().Contains(tsDrawSelecting));
    EXPECT_EQ(f.Selected(), (std::vector<PLazyNode>{f.first, f.meter0, f.meter1}));
    SimulateMouseMove(&t, 30, 20, {ssLeft});  // back up: Meter1 leaves the band
    EXPECT_EQ(f.Selected(), (std::vector<PLazyNode>{f.first, f.meter0}));
    SimulateMouseMove(&t, 170, 20, {ssLeft});  // the band right of the texts covers none of them
    EXPECT_TRUE(f.Selected().empty());
    SimulateMouseMove(&t, 60, 20, {ssLeft});  // reaching into the texts again
    EXPECT_EQ(f.Selected(), (std::vector<PLazyNode>{f.first, f.meter0}));
    SimulateMouseUp(&t, mbLeft, 60, 20);
    EXPECT_FALSE(t.IsMouseSelecting());
    EXPECT_EQ(t.SelectedCount(), 2);

    // With Ctrl the band toggles: the covered selected nodes go, the others come.
    SimulateMouseDown(&t, mbLeft, 150, 25, {ssCtrl});
    SimulateMouseMove(&t, 30, 60, {ssLeft, ssCtrl});
    EXPECT_EQ(f.Selected(), (std::vector<PLazyNode>{f.first, f.meter1, f.bus1}));
    SimulateMouseUp(&t, mbLeft, 30, 60, {ssCtrl});

    // A press on a text selects it instead of starting a band; Escape-like cancel mode ends a band.
    SimulateMouseDown(&t, mbLeft, 40, 9);
    EXPECT_FALSE(t.IsMouseSelecting());
    SimulateMouseUp(&t, mbLeft, 40, 9);
    SimulateMouseDown(&t, mbLeft, 150, 5);
    SimulateMouseMove(&t, 100, 50, {ssLeft});
    t.Perform(WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(t.IsMouseSelecting());
}

TEST(LazyTreesWindow, RubberBandNeedsMultiSelectionAndMayBeSwitchedOff) {
    struct Case {
        TLTSelectionOptions Options;
        bool Band;
    } Cases[] = {
        {{}, false},
        {{toMultiSelect}, true},
        {{toMultiSelect, toDisableDrawSelection}, false},
    };
    for (const Case& c : Cases) {
        ScanTree f;
        f.tree->TreeOptions().SetSelectionOptions(c.Options);
        SimulateMouseDown(f.tree, mbLeft, 150, 5);
        SimulateMouseMove(f.tree, 30, 40, {ssLeft});
        EXPECT_EQ(f.tree->TreeStates().Contains(tsDrawSelecting), c.Band);
        SimulateMouseUp(f.tree, mbLeft, 30, 40);
    }
}

TEST(LazyTreesWindow, RubberBandIsDottedOrBlendedWithTheBorderColour) {
    BandTree f;
    TLazyStringTree& t = *f.tree;
    SimulateMouseDown(&t, mbLeft, 150, 80);
    SimulateMouseMove(&t, 100, 120, {ssLeft});
    ASSERT_TRUE(t.TreeStates().Contains(tsDrawSelecting));
    const TColor Back = ColorToRGB(clWhite);
    {
        Rendered At(&t);  // classic look: a dotted frame, the inside untouched
        bool Dotted = false;
        for (int X = 100; X < 150; ++X) Dotted |= At(X, 80) != Back;
        EXPECT_TRUE(Dotted);
        EXPECT_EQ(At(125, 100), Back);
    }
    t.DrawSelectionMode = TBaseLazyTree::smBlendedRectangle;
    t.SelectionBlendFactor = 128;
    t.Colors().SetColor(TLTColors::SelectionRectangleBlendColor, TColor(0x00FF0000));
    t.Colors().SetColor(TLTColors::SelectionRectangleBorderColor, clRed);
    {
        Rendered At(&t);
        EXPECT_EQ(At(100, 80), ColorToRGB(clRed));
        EXPECT_EQ(At(149, 119), ColorToRGB(clRed));
        // (255 * 128 + c * 128) div 256 per channel: blue 255, green and red 127.
        EXPECT_EQ(At(125, 100), TColor(0x00FF7F7F));
    }
    MMXAvailable = false;  // without blending the band is the dotted frame whatever the mode
    {
        Rendered At(&t);
        EXPECT_EQ(At(125, 100), Back);
    }
    MMXAvailable = true;
    SimulateMouseUp(&t, mbLeft, 100, 120);
    Rendered After(&t);
    EXPECT_EQ(After(125, 100), Back);
}

TEST(LazyTreesWindow, MiddleButtonPanningScrollsByTheDistanceFromTheMark) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(20);
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() - TLTMiscOptions{toWheelPanning});
    SimulateMouseDown(&t, mbMiddle, 50, 50);
    EXPECT_FALSE(t.IsPanning());  // only with the option
    SimulateMouseUp(&t, mbMiddle, 50, 50);
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toWheelPanning});

    // Click and release without moving: panning stays on until the next click.
    SimulateMouseDown(&t, mbMiddle, 50, 50);
    ASSERT_TRUE(t.IsPanning());
    ASSERT_NE(t.PanningWindow(), nullptr);
    const TPoint Start = t.ClientToScreen(TPoint{50, 50});
    EXPECT_EQ(t.PanningWindow()->Left() + t.PanningWindow()->Width() / 2, Start.X);
    EXPECT_EQ(t.PanningWindow()->Top() + t.PanningWindow()->Height() / 2, Start.Y);
    {
        // The mark paints its picture: the dot in the middle, arrows up and down, none sideways.
        TBitmap Mark;
        RenderControlToBitmap(t.PanningWindow(), Mark);
        ASSERT_EQ(Mark.Width(), 32);
        EXPECT_EQ(Mark.Canvas().Pixels(14, 13), ColorToRGB(clBlack));
        EXPECT_EQ(Mark.Canvas().Pixels(14, 6), ColorToRGB(clBlack));
        EXPECT_EQ(Mark.Canvas().Pixels(14, 21), ColorToRGB(clBlack));
        EXPECT_EQ(Mark.Canvas().Pixels(5, 13), TColor(0xE0E0E0));
        EXPECT_EQ(Mark.Canvas().Pixels(24, 13), TColor(0xE0E0E0));
    }
    SimulateMouseUp(&t, mbMiddle, 50, 50);
    EXPECT_TRUE(t.IsPanning());
    EXPECT_FALSE(t.TreeStates().Contains(tsWheelPanning));
    const TCursor Resting = t.Cursor();
    SimulateMouseMove(&t, 50, 90);
    EXPECT_NE(t.Cursor(), Resting);  // pointing downwards now
    t.TimerFired(4);
    EXPECT_EQ(t.OffsetY(), -(90 - 50 - 8));  // the distance beyond the dead zone
    SimulateMouseMove(&t, 52, 53);  // within the dead zone: no step
    t.TimerFired(4);
    EXPECT_EQ(t.OffsetY(), -32);
    SimulateMouseDown(&t, mbLeft, 52, 53);
    EXPECT_FALSE(t.IsPanning());
    EXPECT_EQ(t.PanningWindow(), nullptr);
    EXPECT_EQ(t.Cursor(), crDefault);
    SimulateMouseUp(&t, mbLeft, 52, 53);

    // Dragged with the button held: the release ends it.
    SimulateMouseDown(&t, mbMiddle, 50, 50);
    SimulateMouseMove(&t, 50, 70, {ssMiddle});
    SimulateMouseUp(&t, mbMiddle, 50, 70);
    EXPECT_FALSE(t.IsPanning());
}

TEST(LazyTreesWindow, RubberBandAtTheBottomEdgeScrollsAfterTheDelay) {
    BandTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(20);
    t.TreeOptions().SetAutoOptions(t.TreeOptions().AutoOptions() + TLTAutoOptions{toAutoScroll});
    SimulateMouseDown(&t, mbLeft, 150, 5);
    SimulateMouseMove(&t, 100, 60, {ssLeft});
    ASSERT_TRUE(t.TreeStates().Contains(tsDrawSelecting));
    const Cardinal Before = t.TimerStarts(4);
    SimulateMouseMove(&t, 100, t.ClientHeight() - 5, {ssLeft});
    EXPECT_TRUE(t.TreeStates().Contains(tsScrollPending));
    EXPECT_EQ(t.TimerStarts(4), Before + 1);
    t.TimerFired(4);  // the delay is over: scrolling by the vertical increment
    EXPECT_TRUE(t.TreeStates().Contains(tsScrolling));
    EXPECT_EQ(t.OffsetY(), -20);
    // The band's corner followed the pointer into the rows that came up.
    EXPECT_EQ(t.DrawSelectionRect().Bottom, t.ClientHeight() - 5 + 20);
    SimulateMouseMove(&t, 100, 60, {ssLeft});  // away from the edge: scrolling stops
    EXPECT_FALSE(t.TreeStates().Contains(tsScrolling));
    SimulateMouseUp(&t, mbLeft, 100, 60);
}

TEST(LazyTreesWindow, ADragScrollsOnlyAfterThePointerStoodAtTheEdgeForTheDelay) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(20);
    t.TreeOptions().SetAutoOptions(t.TreeOptions().AutoOptions() + TLTAutoOptions{toAutoScroll});
    t.AutoScrollDelay = 60;
    const int Bottom = t.ClientHeight() - 5;
    using Dirs = TBaseLazyTree::TScrollDirections;
    const Dirs Down{TBaseLazyTree::sdDown};
    EXPECT_EQ(t.ScrollDirectionsAt(100, Bottom), Dirs()) << "no drag, no band: nothing scrolls";
    auto Data = t.CreateDataObject(false);
    auto Target = t.DragManager();
    Cardinal Effect = DROPEFFECT_COPY;
    Target->DragEnter(Data, MK_LBUTTON, t.ClientToScreen(TPoint{100, 60}), Effect);
    EXPECT_EQ(t.ScrollDirectionsAt(100, 60), Dirs()) << "away from the edges";
    EXPECT_EQ(t.ScrollDirectionsAt(100, Bottom), Dirs()) << "the delay starts now";
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_EQ(t.ScrollDirectionsAt(100, Bottom), Down);
    EXPECT_EQ(t.ScrollDirectionsAt(100, 60), Dirs());
    EXPECT_EQ(t.ScrollDirectionsAt(100, Bottom), Down) << "the start holds for the whole drag";
    Target->DragLeave();
    EXPECT_EQ(t.ScrollDirectionsAt(100, Bottom), Dirs());
    Effect = DROPEFFECT_COPY;
    Target->DragEnter(Data, MK_LBUTTON, t.ClientToScreen(TPoint{100, 60}), Effect);
    EXPECT_EQ(t.ScrollDirectionsAt(100, Bottom), Dirs()) << "a new drag waits again";
    Target->DragLeave();
}

TEST(LazyTreesWindow, DropMarkStandsAboveOrBelowTheTargetRow) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.OnDragOver = [](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Cardinal&, bool& Accept) {
        Accept = true;
    };
    const TColor Mark = ColorToRGB(t.Colors().GetColor(TLTColors::DropMarkColor));
    auto Data = t.CreateDataObject(false);
    auto Target = t.DragManager();
    // The mark's middle band is two rows at the row's top or bottom edge.
    struct Case {
        int Y;
        TDropMode Mode;
        int BandFrom, BandTo, ClearY;
    } Cases[] = {
        {18 + 2, dmAbove, 18, 21, 23},   // the second row's top edge
        {18 + 16, dmBelow, 32, 35, 29},  // its bottom edge
    };
    for (const Case& c : Cases) {
        Cardinal Effect = DROPEFFECT_COPY;
        Target->DragEnter(Data, MK_LBUTTON, t.ClientToScreen(TPoint{150, c.Y}), Effect);
        Effect = DROPEFFECT_COPY;
        Target->DragOver(MK_LBUTTON, t.ClientToScreen(TPoint{150, c.Y}), Effect);
        ASSERT_EQ(t.DropTargetNode(), t.GetFirstChild(f.first));
        ASSERT_EQ(t.LastDropMode(), c.Mode);
        auto Rows = [&](Rendered& At, int X, int From, int To) {
            int Count = 0;
            for (int Y = From; Y <= To; ++Y) Count += At(X, Y) == Mark;
            return Count;
        };
        {
            Rendered At(&t);
            EXPECT_EQ(Rows(At, 100, c.BandFrom, c.BandTo), 2) << c.Mode;
            EXPECT_EQ(Rows(At, 100, 18, 35), 2) << c.Mode;
            EXPECT_NE(At(100, c.ClearY), Mark) << c.Mode;
            // The ends reach further into the row.
            EXPECT_GT(Rows(At, 3, 18, 35), 2) << c.Mode;
            EXPECT_GT(Rows(At, 192, 18, 35), 2) << c.Mode;
        }
        Target->DragLeave();
        Rendered At(&t);
        EXPECT_EQ(Rows(At, 100, 18, 35), 0) << "gone with the drag";
    }
}

TEST(LazyTreesWindow, ClickHotAndScrollNotices) {
    ScanTree f;
    TLazyStringTree& t = *f.tree;
    t.SetRootNodeCount(20);
    std::string Log;
    auto Name = [&](PLazyNode N) { return N ? std::to_string(t.AbsoluteIndex(N)) : std::string("nil"); };
    t.OnNodeClick = [&](TBaseLazyTree*, const TBaseLazyTree::THitInfo& Hit) {
        Log += "click " + Name(Hit.HitNode) + " check " + std::to_string(t.GetCheckState(Hit.HitNode)) + ";";
    };
    t.OnNodeDblClick = [&](TBaseLazyTree*, const TBaseLazyTree::THitInfo& Hit) { Log += "dbl " + Name(Hit.HitNode) + ";"; };
    t.OnHotChange = [&](TBaseLazyTree*, PLazyNode Old, PLazyNode New) { Log += "hot " + Name(Old) + ">" + Name(New) + ";"; };
    t.OnScroll = [&](TBaseLazyTree*, int DX, int DY) { Log += "scroll " + std::to_string(DX) + "," + std::to_string(DY) + ";"; };
    SimulateMouseMove(&t, 40, 9);
    SimulateMouseDown(&t, mbLeft, CheckX, CheckY);
    SimulateMouseUp(&t, mbLeft, CheckX, CheckY);  // the click notice sees the new check state
    SimulateMouseMove(&t, 40, 18 + 9);
    SimulateMouseUp(&t, mbLeft, 40, 140);  // any release over a node tells it
    t.SetOffsetXY(0, -18);  // the pointer resting over row 7 now stands on node 8
    t.SetOffsetXY(0, -18);  // unchanged: no notice
    EXPECT_EQ(Log, "hot nil>0;click 0 check " + std::to_string(csCheckedNormal) +
                       ";hot 0>1;click 7 check 0;hot 1>8;scroll 0,-18;");
    Log.clear();
    SimulateDblClick(&t, 40, 9);
    EXPECT_NE(Log.find("dbl 1;"), std::string::npos);  // the top row is now the first child
}

namespace {

// Colours no system look uses, so that a pixel tells which part it shows.
TStyleColors SlateColors() {
    TStyleColors c;
    c.Track = RGB(10, 20, 30);
    c.Face = RGB(40, 50, 60);
    c.FaceHot = RGB(70, 80, 90);
    c.FacePressed = RGB(100, 110, 120);
    c.FaceBorder = RGB(130, 140, 150);
    c.Glyph = RGB(160, 170, 180);
    c.GlyphDisabled = RGB(190, 200, 210);
    return c;
}

// A string tree of 100 rows, its header (20 high) shown, at (10, 20) on a
// form, wearing the style "Test Slate" while it lives.
struct StyledTree {
    StyledTree() {
        static const bool known = TStyleManager::RegisterStyle(std::make_unique<TColorStyle>(u"Test Slate", SlateColors()));
        (void)known;
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 400, 320);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(10, 20, 200, 240);
        tree->Header().SetHeight(20);
        tree->Header().SetOptions(tree->Header().Options + THeaderOptions{hoVisible});
        tree->SetRootNodeCount(100);
        form.Show();
        TStyleManager::TrySetStyle(u"Test Slate");
        hook = dynamic_cast<TFwStyleScrollBarsHook*>(TCustomStyleEngine::HookOf(tree));
    }
    ~StyledTree() {
        TStyleManager::TrySetStyle(u"Windows");
        SetThemeRenderer(trStyled);
    }
    SCROLLBARINFO Bar() {
        SCROLLBARINFO i;
        GetScrollBarInfo(tree->Handle(), OBJID_VSCROLL, i);
        return i;
    }
    // A point of the tree's client area in the vertical bar window's coordinates.
    TPoint OnBarWindow(int X, int Y) { return hook->VertScrollBarWindow()->ScreenToClient(tree->ClientToScreen({X, Y})); }
    TColor Pixel(int X, int Y) {
        TBitmap b;
        RenderControlToBitmap(&form, b);
        const TPoint p = form.ScreenToClient(tree->ClientToScreen({X, Y}));
        return b.Canvas().Pixels(p.X, p.Y);
    }
    TForm form{nullptr};
    TLazyStringTree* tree;
    TFwStyleScrollBarsHook* hook = nullptr;
};

TEST(StyledScrollBars, AWindowLiesOverTheVerticalBarBelowTheHeaderInTheStylesColours) {
    StyledTree f;
    ASSERT_NE(f.hook, nullptr);
    auto* w = f.hook->VertScrollBarWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Parent(), &f.form);
    EXPECT_TRUE(w->Visible());
    EXPECT_FALSE(f.hook->HorzScrollBarWindow()->Visible()) << "no horizontal bar, no window";
    // Inside the client edge, below the header, to the bottom edge; shortened by the header.
    EXPECT_EQ(w->BoundsRect(), Rect(10 + 200 - 2 - 17, 20 + 2 + 20, 10 + 200 - 2, 20 + 240 - 2));
    const int x = f.tree->ClientWidth() + 8;
    const SCROLLBARINFO bar = f.Bar();
    const int thumb = (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    const TColor face = RGB(40, 50, 60), track = RGB(10, 20, 30), hot = RGB(70, 80, 90);
    EXPECT_EQ(f.Pixel(x, thumb), face);
    EXPECT_EQ(f.Pixel(x, bar.xyThumbBottom + 20), track);
    EXPECT_EQ(f.Pixel(f.tree->ClientWidth(), 1), RGB(130, 140, 150)) << "the up arrow's frame";
    // The mouse over the thumb lights it; leaving the tree puts it out.
    SimulateMouseMove(f.tree, x, thumb);
    EXPECT_EQ(f.hook->VertScrollBarSliderState(), tsThumbBtnVertHot);
    EXPECT_EQ(f.Pixel(x, thumb), hot);
    SimulateMouseLeave();
    EXPECT_EQ(f.hook->VertScrollBarSliderState(), tsThumbBtnVertNormal);
    // Back to the system's look: the hook and its windows go.
    TStyleManager::TrySetStyle(u"Windows");
    EXPECT_EQ(TCustomStyleEngine::HookOf(f.tree), nullptr);
    EXPECT_EQ(f.form.ControlCount(), 1);
    EXPECT_FALSE(f.tree->FwStyleEnabled());
}

TEST(StyledScrollBars, DraggingTheThumbMovesByTheTrackKeepingFractionsAndStopsAtTheLastPage) {
    StyledTree f;
    ASSERT_NE(f.hook, nullptr);
    // Fourteen rows of 18 in 216 pixels: a pixel of the track is a little more than one unit.
    f.tree->SetRootNodeCount(14);
    const HWND h = f.tree->Handle();
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(h, SB_VERT, si);
    ASSERT_GT(si.nMax, si.nMin);
    const SCROLLBARINFO bar = f.Bar();
    const int track = (bar.rcScrollBar.Bottom - bar.rcScrollBar.Top) - 2 * 17;
    const int x = f.tree->ClientWidth() + 8;
    // The press lands on the window over the bar and passes through to the tree.
    const TPoint start = f.OnBarWindow(x, (bar.xyThumbTop + bar.xyThumbBottom) / 2);
    SimulateMouseDown(f.hook->VertScrollBarWindow(), mbLeft, start.X, start.Y);
    EXPECT_EQ(f.hook->VertScrollBarSliderState(), tsThumbBtnVertPressed);
    EXPECT_EQ(GetCapture(), h);
    const float unit = float(si.nMax - si.nMin) / float(track);
    struct Step {
        int dy;
        float pos;
    };
    ASSERT_GT(unit, 1.0f);
    ASSERT_LT(unit, 1.5f);
    // Each step moves by a fraction more than a unit; the fractions add up
    // (three rounded steps would give 3).
    for (const Step& s : {Step{1, unit}, Step{2, 2 * unit}, Step{3, 3 * unit}}) {
        SimulateMouseMove(f.hook->VertScrollBarWindow(), start.X, start.Y + s.dy, {ssLeft});
        EXPECT_NEAR(f.hook->ScrollPos(), s.pos, 0.01f) << s.dy;
        EXPECT_EQ(GetScrollPos(h, SB_VERT), std::lround(s.pos));
    }
    Application->ProcessMessages();
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 4);
    EXPECT_EQ(f.tree->OffsetY(), -4) << "the tree follows the posted position";
    // A drag by the whole track ends at the last page.
    SimulateMouseMove(f.hook->VertScrollBarWindow(), start.X, start.Y + track + 40, {ssLeft});
    const int last = si.nMax - int(si.nPage) + 1;
    EXPECT_EQ(GetScrollPos(h, SB_VERT), last);
    SimulateMouseUp(f.hook->VertScrollBarWindow(), mbLeft, start.X, start.Y + track + 40);
    Application->ProcessMessages();
    EXPECT_EQ(f.hook->VertScrollBarSliderState(), tsThumbBtnVertNormal);
    EXPECT_EQ(GetCapture(), HWND(0));
    EXPECT_EQ(-f.tree->OffsetY(), std::min(last, f.tree->RangeY() - f.tree->ClientHeight()));
}

TEST(StyledScrollBars, AnArrowShowsPressedWhileTheBarBeneathScrolls) {
    StyledTree f;
    ASSERT_NE(f.hook, nullptr);
    const int x = f.tree->ClientWidth() + 8, y = f.tree->ClientHeight() - 5;  // the down arrow
    SimulateMouseMove(f.tree, x, y);
    EXPECT_EQ(f.hook->VertScrollBarDownButtonState(), tsArrowBtnDownHot);
    SimulateMouseDown(f.tree, mbLeft, x, y);
    EXPECT_EQ(f.hook->VertScrollBarDownButtonState(), tsArrowBtnDownPressed);
    EXPECT_EQ(f.Pixel(f.tree->ClientWidth() + 2, f.tree->ClientHeight() - 15), RGB(100, 110, 120));
    SimulateMouseUp(f.tree, mbLeft, x, y);
    EXPECT_EQ(f.tree->OffsetY(), -int(f.tree->ScrollBarOptions().VerticalIncrement));
    EXPECT_EQ(f.hook->VertScrollBarDownButtonState(), tsArrowBtnDownNormal);
}

}  // namespace
