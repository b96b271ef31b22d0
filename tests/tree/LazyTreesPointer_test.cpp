// The pointer over a shown tree: popup menus handed out by the owner, the
// cursor it asks for, entering and leaving, row edges dragged and double
// clicked, key actions; and the painting events around rows, cells and the
// area below the last row.

#include "tree/LazyTrees.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"

#include <gtest/gtest.h>

namespace {

// Two buses with two meters each, all expanded; rows are 18 high.
struct PointerTree {
    explicit PointerTree(int Columns = 0) {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 360, 260);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBorderStyle(TBaseLazyTree::bsNone);
        tree->ScrollBarOptions().SetScrollBars(ssNone);
        tree->SetBounds(0, 0, 240, 200);
        tree->SetColor(clWhite);
        tree->OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode, TLazyNodeInitStates& States) {
            if (!Parent) States += TLazyNodeInitStates{ivsHasChildren, ivsExpanded};
        };
        tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 2; };
        tree->OnGetText = [](TBaseLazyTree* T, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            Text = S(T->GetNodeLevel(Node) == 0 ? "Bus" : "Meter") + String(1, u'0' + Node->Index);
        };
        for (int I = 0; I < Columns; ++I) tree->Header().Columns().Add()->SetWidth(100);
        tree->SetRootNodeCount(2);
        form.Show();
        tree->SetFocus();
        bus0 = tree->GetFirst();
        meter0 = tree->GetFirstChild(bus0);
        bus1 = tree->GetNextSibling(bus0);
    }
    ~PointerTree() { SetThemeRenderer(trStyled); }
    TForm form{nullptr};
    TLazyStringTree* tree;
    PLazyNode bus0, meter0, bus1;
};

String Name(TBaseLazyTree* T, PLazyNode Node) {
    return Node ? static_cast<TLazyStringTree*>(T)->GetText(Node, -1) : S("nil");
}

}  // namespace

TEST(LazyTreesPointer, RightClickShowsTheOwnersMenuAskingTheParentsInTurn) {
    TScriptedDialogService Dialogs;
    PointerTree f;
    TLazyStringTree& t = *f.tree;
    TPopupMenu BusMenu(&f.form), TreeMenu(&f.form);
    std::vector<String> Asked;
    bool StopAtMeters = false;
    TPoint AskedAt;
    t.OnGetPopupMenu = [&](TBaseLazyTree* T, PLazyNode Node, TColumnIndex Column, TPoint P, bool& AskParent,
                           TPopupMenu*& Menu) {
        Asked.push_back(Name(T, Node) + S(" ") + IntToStr(Column));
        AskedAt = P;
        if (!Node) Menu = &TreeMenu;
        else if (T->GetNodeLevel(Node) == 0) Menu = &BusMenu;
        else if (StopAtMeters) AskParent = false;
    };
    // A meter has no menu of its own: its bus is asked next and gives one.
    SimulateMouseDown(&t, mbRight, 60, 27);
    SimulateMouseUp(&t, mbRight, 60, 27);
    EXPECT_EQ(Asked, (std::vector<String>{S("Meter0 -1"), S("Bus0 -1")}));
    ASSERT_EQ(Dialogs.Shown.size(), 1u);
    EXPECT_EQ(Dialogs.Shown[0].Kind, dkPopupMenu);
    EXPECT_EQ(BusMenu.PopupComponent, &t);
    EXPECT_EQ(AskedAt, (TPoint{60, 27}));
    // Below the last row nobody's node is asked: the tree's menu for column -1.
    Asked.clear();
    SimulateMouseDown(&t, mbRight, 60, 150);
    SimulateMouseUp(&t, mbRight, 60, 150);
    EXPECT_EQ(Asked, (std::vector<String>{S("nil -1")}));
    EXPECT_EQ(Dialogs.Shown.size(), 2u);
    EXPECT_EQ(TreeMenu.PopupComponent, &t);
    // A handler that stops the search leaves the meter without a menu.
    StopAtMeters = true;
    Asked.clear();
    SimulateMouseDown(&t, mbRight, 60, 27);
    SimulateMouseUp(&t, mbRight, 60, 27);
    EXPECT_EQ(Asked, (std::vector<String>{S("Meter0 -1")}));
    EXPECT_EQ(Dialogs.Shown.size(), 2u);
    EXPECT_FALSE(t.PopupMenuAvailable(f.meter0, -1, TPoint{}));
    EXPECT_TRUE(t.PopupMenuAvailable(f.bus1, -1, TPoint{}));

    // The menu key opens the focused node's menu at the middle of its text.
    t.SetFocusedNode(f.bus1);
    Asked.clear();
    SimulateKey(VK_APPS);
    EXPECT_EQ(Asked, (std::vector<String>{S("Bus1 -1")}));
    EXPECT_EQ(Dialogs.Shown.size(), 3u);
    const TRect Text = t.GetDisplayRect(f.bus1, true);
    EXPECT_EQ(AskedAt, (TPoint{Text.Left + (Text.Right - Text.Left) / 2, (Text.Top + Text.Bottom) / 2}));

    // The control's own menu is the framework's: the owner is not asked.
    TPopupMenu Own(&f.form);
    t.SetPopupMenu(&Own);
    Asked.clear();
    SimulateMouseDown(&t, mbRight, 60, 9);
    SimulateMouseUp(&t, mbRight, 60, 9);
    EXPECT_TRUE(Asked.empty());
    EXPECT_EQ(Dialogs.Shown.size(), 4u);
    EXPECT_EQ(Own.PopupComponent, &t);
}

TEST(LazyTreesPointer, CursorOverRowEdgesAndHotNodesGoesThroughTheOwner) {
    PointerTree f(2);
    TLazyStringTree& t = *f.tree;
    TLazyTreeColumn& Fixed = *t.Header().Columns()[0];
    Fixed.SetOptions(Fixed.Options() + TLTColumnOptions{coFixed});
    t.HotCursor = crHandPoint;
    TCursor Seen = 1;
    t.OnGetCursor = [&](TBaseLazyTree*, TCursor& Cursor) { Seen = Cursor; };
    struct Case {
        const char* What;
        TLTMiscOptions Misc;
        TLTPaintOptions Paint;
        int X, Y;
        TCursor Expected;
    } Cases[] = {
        {"lower edge of a row in a fixed column", {toNodeHeightResize}, {}, 60, 16, crVSplit},
        {"upper edge: the row above", {toNodeHeightResize}, {}, 60, 18, crVSplit},
        {"middle of the row", {toNodeHeightResize}, {}, 60, 9, crDefault},
        {"edge in a scrolling column", {toNodeHeightResize}, {}, 150, 16, crDefault},
        {"edge without the option", {}, {}, 60, 16, crDefault},
        {"hot node with hot tracking", {}, {toHotTrack}, 30, 9, crHandPoint},
        {"right of the text: no hot node", {}, {toHotTrack}, 60, 9, crDefault},
        {"hot node without it", {}, {}, 30, 9, crDefault},
    };
    for (const Case& c : Cases) {
        t.TreeOptions().SetMiscOptions(c.Misc);
        t.TreeOptions().SetPaintOptions(c.Paint);
        SimulateMouseMove(&t, c.X, c.Y);
        SimulateMouseMove(&t, c.X, c.Y + 0);
        EXPECT_EQ(Seen, c.Expected) << c.What;
    }
    // The owner may allow a scrolling column's edge.
    t.TreeOptions().SetMiscOptions({toNodeHeightResize});
    t.TreeOptions().SetPaintOptions({});
    t.OnCanSplitterResizeNode = [](TBaseLazyTree*, TPoint, PLazyNode, TColumnIndex Column, bool& Allowed) {
        Allowed = Column == 1;
    };
    SimulateMouseMove(&t, 150, 16);
    EXPECT_EQ(Seen, crVSplit);
    SimulateMouseMove(&t, 60, 16);
    EXPECT_EQ(Seen, crDefault);
}

TEST(LazyTreesPointer, DraggingARowEdgeSetsTheHeightAndADoubleClickResetsIt) {
    PointerTree f(2);
    TLazyStringTree& t = *f.tree;
    TLazyTreeColumn& Fixed = *t.Header().Columns()[0];
    Fixed.SetOptions(Fixed.Options() + TLTColumnOptions{coFixed});
    t.TreeOptions().SetMiscOptions({toNodeHeightResize, toNodeHeightDblClickResize});
    std::vector<int> Tracked;
    bool Refuse = false;
    t.OnNodeHeightTracking = [&](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, TShiftState, TPoint& Track,
                                 TPoint P, bool& Allowed) {
        EXPECT_EQ(Column, 0);
        EXPECT_EQ(Track, (TPoint{0, Node == f.bus0 ? 0 : 18}));
        Tracked.push_back(P.Y);
        Allowed = !Refuse;
    };
    // The first row's lower edge: the drag follows the mouse, never below one pixel.
    SimulateMouseDown(&t, mbLeft, 60, 16);
    EXPECT_TRUE(t.TreeStates().Contains(tsNodeHeightTrackPending));
    SimulateMouseMove(&t, 60, 40, {ssLeft});
    EXPECT_TRUE(t.IsHeightTracking());
    EXPECT_EQ(t.GetNodeHeight(f.bus0), 40u);
    EXPECT_EQ(t.GetDisplayRect(f.meter0, false).Top, 40);
    SimulateMouseMove(&t, 60, -10, {ssLeft});
    EXPECT_EQ(t.GetNodeHeight(f.bus0), 1u);
    Refuse = true;
    SimulateMouseMove(&t, 60, 25, {ssLeft});
    EXPECT_EQ(t.GetNodeHeight(f.bus0), 1u);
    Refuse = false;
    SimulateMouseMove(&t, 60, 25, {ssLeft});
    SimulateMouseMove(&t, 60, 30, {ssLeft});
    SimulateMouseUp(&t, mbLeft, 60, 30);
    EXPECT_FALSE(t.IsHeightTracking());
    EXPECT_EQ(t.GetNodeHeight(f.bus0), 30u);
    EXPECT_EQ(Tracked, (std::vector<int>{40, -10, 25, 25, 30}));
    // The press did not select or focus anything.
    EXPECT_EQ(t.SelectedCount(), 0);

    // A press on the upper edge of the second row drags the first row's edge
    // too; in a scrolling column the press is a plain click.
    SimulateMouseDown(&t, mbLeft, 150, 29);
    EXPECT_FALSE(t.TreeStates().Contains(tsNodeHeightTrackPending));
    SimulateMouseUp(&t, mbLeft, 150, 29);

    // A double click on the edge goes back to the default height, asking first.
    std::vector<PLazyNode> Asked;
    bool AllowReset = false;
    t.OnNodeHeightDblClickResize = [&](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TShiftState, TPoint, bool& Allowed) {
        Asked.push_back(Node);
        Allowed = AllowReset;
    };
    SimulateDblClick(&t, 60, 31);  // the second row's top edge belongs to the first row
    EXPECT_EQ(Asked, (std::vector<PLazyNode>{f.bus0}));
    EXPECT_EQ(t.GetNodeHeight(f.bus0), 30u);
    AllowReset = true;
    SimulateDblClick(&t, 60, 28);
    EXPECT_EQ(t.GetNodeHeight(f.bus0), 18u);
}

TEST(LazyTreesPointer, EnterLeaveColumnDoubleClicksAndKeyActions) {
    PointerTree f(2);
    TLazyStringTree& t = *f.tree;
    std::string Log;
    t.OnMouseEnter = [&](TObject*) { Log += "enter;"; };
    t.OnMouseLeave = [&](TObject*) { Log += "leave;"; };
    t.OnColumnDblClick = [&](TBaseLazyTree*, TColumnIndex Column, TShiftState) {
        Log += "dbl " + std::to_string(Column) + ";";
    };
    SimulateMouseMove(&t, 150, 9);
    SimulateMouseMove(&t, 151, 9);
    SimulateDblClick(&t, 150, 9);
    SimulateMouseLeave();
    EXPECT_EQ(Log, "enter;dbl 1;leave;");

    // The key action sees every key first: it may change it or swallow it.
    t.SetExpanded(f.bus0, true);  // the double click toggled it
    t.SetFocusedNode(f.bus0);
    t.OnKeyAction = [](TBaseLazyTree*, Word& Key, TShiftState&, bool& DoDefault) {
        if (Key == VK_END) Key = VK_DOWN;
        if (Key == VK_HOME) DoDefault = false;
    };
    SimulateKey(VK_END);
    EXPECT_EQ(t.FocusedNode(), f.meter0);
    SimulateKey(VK_HOME);
    EXPECT_EQ(t.FocusedNode(), f.meter0);
}

TEST(LazyTreesPaintEvents, RowsCellsAndTheAreaBelowGoThroughTheOwner) {
    PointerTree f(2);
    TLazyStringTree& t = *f.tree;
    std::vector<std::string> Log;
    auto Short = [&](PLazyNode Node) { return StringToUtf8(Name(&t, Node)); };
    t.OnBeforePaint = [&](TBaseLazyTree*, TCanvas*) { Log.push_back("before"); };
    t.OnAfterPaint = [&](TBaseLazyTree*, TCanvas*) { Log.push_back("after"); };
    t.OnBeforeItemErase = [&](TBaseLazyTree*, TCanvas*, PLazyNode Node, const TRect&, TColor& Color,
                              TBaseLazyTree::TItemEraseAction& Action) {
        Log.push_back("erase " + Short(Node));
        if (Node == f.meter0) {
            Color = clYellow;
            Action = TBaseLazyTree::eaColor;
        }
    };
    t.OnAfterItemPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode Node, const TRect&) {
        Log.push_back("item " + Short(Node));
    };
    t.OnBeforeCellPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode Node, TColumnIndex Column,
                              TBaseLazyTree::TLTCellPaintMode Mode, const TRect& Cell, TRect& Content) {
        EXPECT_EQ(Mode, TBaseLazyTree::cpmPaint);
        // The selection of the second column covers only its left half.
        if (Column == 1) Content.Right = Cell.Left + 50;
        (void)Node;
    };
    int Cells = 0;
    t.OnAfterCellPaint = [&](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, const TRect&) { ++Cells; };
    TRect Below;
    t.OnPaintBackground = [&](TBaseLazyTree*, TCanvas* C, const TRect& R, bool& Handled) {
        Below = R;
        C->Brush().SetColor(clBlue);
        C->FillRect(R);
        Handled = true;
    };
    t.TreeOptions().SetSelectionOptions({toFullRowSelect});
    t.AddToSelection(f.bus1);
    TBitmap Bitmap;
    RenderControlToBitmap(&t, Bitmap);
    auto At = [&](int X, int Y) { return Bitmap.Canvas().Pixels(X, Y); };
    // Six rows, each with two cells; the events come in row order.
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.front(), "before");
    EXPECT_EQ(Log.back(), "after");
    EXPECT_EQ(Log[1], "erase Bus0");
    EXPECT_EQ(Log[2], "item Bus0");
    EXPECT_EQ(Cells, 12);
    EXPECT_EQ(Below, (TRect{0, 6 * 18, 240, 200}));
    EXPECT_EQ(At(120, 150), clBlue);
    // The erase colour stands where no cell paints over it: the row beyond the columns.
    EXPECT_EQ(At(220, 18 + 9), clYellow);
    EXPECT_EQ(At(220, 9), ColorToRGB(clWhite));
    // The selected row: the narrowed second cell keeps its right half unselected.
    const TColor Selection = ColorToRGB(t.Colors().GetColor(TLTColors::FocusedSelectionColor));
    const int SelectedRow = 3 * 18 + 2;
    EXPECT_EQ(At(105, SelectedRow), Selection);
    EXPECT_NE(At(180, SelectedRow), Selection);
}

TEST(LazyTreesPaintEvents, VariableHeightsAreMeasuredWhenRowsArePainted) {
    PointerTree f;
    TLazyStringTree& t = *f.tree;
    std::vector<PLazyNode> Measured;
    t.OnMeasureItem = [&](TBaseLazyTree*, TCanvas* Canvas, PLazyNode Node, int& Height) {
        EXPECT_NE(Canvas, nullptr);
        Measured.push_back(Node);
        if (Node == f.meter0) Height = 30;
    };
    t.TreeOptions().SetMiscOptions(t.TreeOptions().MiscOptions() + TLTMiscOptions{toVariableNodeHeight});
    TBitmap Bitmap;
    RenderControlToBitmap(&t, Bitmap);
    EXPECT_NE(std::find(Measured.begin(), Measured.end(), f.meter0), Measured.end());
    EXPECT_EQ(t.GetDisplayRect(f.meter0, false).Bottom - t.GetDisplayRect(f.meter0, false).Top, 30);
    EXPECT_EQ(t.GetDisplayRect(t.GetNextSibling(f.meter0), false).Top, 18 + 30);
    // Each node is measured once until its height is asked for anew.
    const auto Count = Measured.size();
    RenderControlToBitmap(&t, Bitmap);
    EXPECT_EQ(Measured.size(), Count);
}

TEST(LazyTreesRubberBand, TextBoxesFollowTheMainColumnsAlignmentInEveryDirection) {
    // The first bus's text box in a 100-pixel main column starts at 22 (margin and one indent)
    // and is about 40 wide: left-justified it ends before 67, right-justified it starts after 55,
    // centred it lies between 38 and 84.
    struct Case {
        TAlignment Alignment;
        int From, To;
        bool Selected;
    } Cases[] = {
        {taLeftJustify, 23, 30, true},   {taLeftJustify, 50, 52, true},  {taLeftJustify, 90, 98, false},
        {taRightJustify, 23, 30, false}, {taRightJustify, 50, 52, false}, {taRightJustify, 90, 98, true},
        {taCenter, 23, 30, false},       {taCenter, 50, 52, true},        {taCenter, 90, 98, false},
    };
    for (const Case& c : Cases)
        for (bool LeftToRight : {true, false}) {
            PointerTree f(2);
            TLazyStringTree& t = *f.tree;
            t.TreeOptions().SetSelectionOptions({toMultiSelect});
            t.Header().Columns()[0]->SetAlignment(c.Alignment);
            // From below the last row up over every row, starting at either side.
            SimulateMouseDown(&t, mbLeft, LeftToRight ? c.From : c.To, 150);
            SimulateMouseMove(&t, LeftToRight ? c.To : c.From, 5, {ssLeft});
            ASSERT_TRUE(t.TreeStates().Contains(tsDrawSelecting));
            EXPECT_EQ(t.GetSelected(f.bus0), c.Selected) << c.Alignment << " " << c.From << " " << LeftToRight;
            EXPECT_EQ(t.GetSelected(f.bus1), c.Selected) << c.Alignment << " " << c.From << " " << LeftToRight;
            SimulateMouseUp(&t, mbLeft, LeftToRight ? c.To : c.From, 5);
        }
}

TEST(LazyTreesRubberBand, EmptyNeighbourCellsWidenTheTextAndTheBandReachesBeyondTheWindow) {
    for (bool Span : {false, true}) {
        PointerTree f(3);
        TLazyStringTree& t = *f.tree;
        t.Header().Columns()[0]->SetWidth(40);
        t.Header().Columns()[2]->SetWidth(200);
        t.OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, TLSTTextType, String& Text) {
            Text = Column == 0 ? S("Bus") + String(1, u'0' + Node->Index) : String();
        };
        t.TreeOptions().SetSelectionOptions({toMultiSelect});
        if (Span) t.TreeOptions().SetAutoOptions(t.TreeOptions().AutoOptions() + TLTAutoOptions{toAutoSpanColumns});
        // The text does not fit its 40 pixels: alone it is cut at the column's end, spanning it runs on.
        SimulateMouseDown(&t, mbLeft, 45, 150);
        SimulateMouseMove(&t, 50, 5, {ssLeft});
        EXPECT_EQ(t.GetSelected(f.bus0), Span);
        // Dragged far beyond the window, the band ends at the right end of the columns.
        SimulateMouseMove(&t, 1000, 5, {ssLeft});
        EXPECT_EQ(t.DrawSelectionRect().Right, 340);
        SimulateMouseUp(&t, mbLeft, 1000, 5);
    }
}

// The owner's six button pictures: which one a button shows follows its node's state, whether the
// pointer is over the button itself, and whether the node is selected.
TEST(LazyTreesButtons, OwnerDrawnPicturesFollowExpansionPointerAndSelection) {
    PointerTree f;
    TLazyStringTree& t = *f.tree;
    const TColor Colours[6] = {clRed, clLime, clBlue, clYellow, clAqua, clPurple};
    TSize Arrived{};
    TColor Ground = clNone;
    int Calls = 0;
    t.OnPrepareButtonBitmaps = [&](TBaseLazyTree*, TBitmap& P, TBitmap& PH, TBitmap& PSH, TBitmap& M, TBitmap& MH,
                                   TBitmap& MSH, TSize& Size) {
        ++Calls;
        Arrived = Size;
        Ground = P.Canvas().Pixels(0, 0);
        TBitmap* All[6] = {&P, &PH, &PSH, &M, &MH, &MSH};
        for (int I = 0; I < 6; ++I) {
            All[I]->Canvas().Brush().SetColor(Colours[I]);
            All[I]->Canvas().FillRect(TRect{0, 0, All[I]->Width(), All[I]->Height()});
        }
        Size = TSize{30, 30};  // not applied
    };
    t.SetExpanded(f.bus1, false);
    // The button's middle, found through the hit test on each root row.
    auto ButtonMiddle = [&](PLazyNode Node) {
        const int Y = t.GetDisplayRect(Node, -1, false).Top + 9;
        int First = -1, Last = -1;
        for (int X = 0; X < 40; ++X)
            if (t.GetHitTestInfoAt(X, Y).HitPositions.Contains(TBaseLazyTree::hiOnItemButton)) {
                if (First < 0) First = X;
                Last = X;
            }
        EXPECT_GE(First, 0);
        return TPoint{(First + Last) / 2, Y};
    };
    const TPoint Minus = ButtonMiddle(f.bus0), Plus = ButtonMiddle(f.bus1);
    // A button is lit only on a hot node: without the explorer look a node is hot over its check box or
    // text, or anywhere on its row when the full row selects.
    struct Case {
        const char* What;
        bool OnPlus;     // the expanded bus0 shows minus, the collapsed bus1 plus
        int PointerDX;   // pointer offset from that button's middle; 1000: outside the tree's rows
        bool Selected;
        bool FullRow;
        TColor Expected;
    } Cases[] = {
        {"minus, pointer away", false, 1000, false, false, clYellow},
        {"minus, pointer on the button: the node is not hot", false, 0, false, false, clYellow},
        {"minus, pointer on the button, full row", false, 0, false, true, clAqua},
        {"minus, pointer on the node's text", false, 30, false, false, clYellow},
        {"minus, pointer on the node's text, full row", false, 30, false, true, clYellow},
        {"minus, selected, pointer on the button, full row", false, 0, true, true, clPurple},
        {"plus, pointer away", true, 1000, false, false, clRed},
        {"plus, pointer on the button", true, 0, false, false, clRed},
        {"plus, pointer on the button, full row", true, 0, false, true, clLime},
        {"plus, selected, pointer on the button, full row", true, 0, true, true, clBlue},
        {"plus, selected, pointer away", true, 1000, true, true, clRed},
    };
    for (const Case& c : Cases) {
        const TPoint B = c.OnPlus ? Plus : Minus;
        PLazyNode Node = c.OnPlus ? f.bus1 : f.bus0;
        t.TreeOptions().SetSelectionOptions(c.FullRow ? TLTSelectionOptions{toFullRowSelect} : TLTSelectionOptions{});
        t.ClearSelection();
        if (c.Selected) t.AddToSelection(Node);
        if (c.PointerDX == 1000) SimulateMouseMove(&t, 200, 190);
        else SimulateMouseMove(&t, B.X + c.PointerDX, B.Y);
        TBitmap Bitmap;
        RenderControlToBitmap(&t, Bitmap);
        EXPECT_EQ(Bitmap.Canvas().Pixels(B.X, B.Y), c.Expected) << c.What;
    }
    EXPECT_EQ(Arrived.cx, 9);
    EXPECT_EQ(Arrived.cy, 9);
    EXPECT_EQ(Ground, TColor(0xFF00FF));
    EXPECT_EQ(Calls, 1) << "the pictures are drawn again only when what they show changes";
    // Drawn by the tree, the hot pictures of the classic look repeat the normal ones.
    t.OnPrepareButtonBitmaps = nullptr;
    for (auto Which : {TBaseLazyTree::bpPlus, TBaseLazyTree::bpMinus})
        for (int Copy : {1, 2}) {
            const TBitmap& Normal = t.ButtonBitmap(Which);
            const TBitmap& Hot = t.ButtonBitmap(TBaseLazyTree::TLTButtonPicture(Which + Copy));
            for (int Y = 0; Y < 9; ++Y)
                for (int X = 0; X < 9; ++X)
                    EXPECT_EQ(const_cast<TBitmap&>(Hot).Canvas().Pixels(X, Y),
                              const_cast<TBitmap&>(Normal).Canvas().Pixels(X, Y));
        }
}
