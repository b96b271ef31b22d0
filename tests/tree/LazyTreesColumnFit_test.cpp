// Fitting columns to their content: the width a column needs, the header's
// automatic fit of a range and its way back, the animated width change, and
// the keys that ask for them.

#include "tree/LazyTrees.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"

#include <gtest/gtest.h>

namespace {

// Two buses with two meters each under two 100-pixel columns; the second
// column shows a longer text for the second meter of the second bus.
struct FitTree {
    FitTree() {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 400, 260);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBorderStyle(TBaseLazyTree::bsNone);
        tree->ScrollBarOptions().SetScrollBars(ssNone);
        tree->SetBounds(0, 0, 300, 200);
        tree->OnInitNode = [](TBaseLazyTree*, PLazyNode Parent, PLazyNode, TLazyNodeInitStates& States) {
            if (!Parent) States += TLazyNodeInitStates{ivsHasChildren, ivsExpanded};
        };
        tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, Cardinal& Count) { Count = 2; };
        tree->OnGetText = [](TBaseLazyTree* T, PLazyNode Node, TColumnIndex Column, TLSTTextType, String& Text) {
            Text = Text_(T, Node, Column);
        };
        for (int I = 0; I < 2; ++I) tree->Header().Columns().Add()->SetWidth(100);
        tree->SetRootNodeCount(2);
        form.Show();
        tree->SetFocus();
    }
    ~FitTree() { SetThemeRenderer(trStyled); }
    static String Text_(TBaseLazyTree* T, PLazyNode Node, TColumnIndex Column) {
        const bool Level0 = T->GetNodeLevel(Node) == 0;
        if (Column == 0) return S(Level0 ? "Bus" : "Meter") + String(1, u'0' + Node->Index);
        if (!Level0 && Node->Index == 1 && Node->Parent->Index == 1) return S("Value with a long unit name");
        return S("V");
    }
    // What a column should measure: the widest indentation, images and text of the rows From..To.
    int Expected(TColumnIndex Column, int From = 0, int To = 5) {
        TBitmap Scratch;
        Scratch.Canvas().Font().Assign(&tree->Font());
        int Widest = 0, Row = 0;
        for (PLazyNode Node = tree->GetFirst(); Node; Node = tree->GetNextVisible(Node), ++Row) {
            if (Row < From || Row > To) continue;
            int Indent = Column == 0 ? int(tree->GetNodeLevel(Node) + 1) * 18 : 0;
            Widest = std::max(Widest, 4 + Indent + 8 + Scratch.Canvas().TextWidth(Text_(tree, Node, Column)));
        }
        return Widest;
    }
    TLazyTreeColumn& Col(int I) { return *tree->Header().Columns()[I]; }
    TForm form{nullptr};
    TLazyStringTree* tree;
};

}  // namespace

TEST(LazyTreesColumnFit, MaxColumnWidthMeasuresIndentTextAndGridLine) {
    FitTree f;
    TLazyStringTree& t = *f.tree;
    EXPECT_EQ(t.GetMaxColumnWidth(0), f.Expected(0));
    EXPECT_EQ(t.GetMaxColumnWidth(1), f.Expected(1));
    // Smart width measures only the rows in the window: the long text lies below it.
    t.SetBounds(0, 0, 300, 40);
    EXPECT_EQ(t.GetMaxColumnWidth(1, true), f.Expected(1, 0, 2));
    EXPECT_LT(t.GetMaxColumnWidth(1, true), t.GetMaxColumnWidth(1, false));
    // The vertical grid line takes a pixel; the owner has the last word and may choose the smart width.
    t.TreeOptions().SetPaintOptions(t.TreeOptions().PaintOptions() + TLTPaintOptions{toShowVertGridLines});
    EXPECT_EQ(t.GetMaxColumnWidth(1), f.Expected(1) + 1);
    t.OnBeforeGetMaxColumnWidth = [](TLTHeader*, TColumnIndex, bool& Smart) { Smart = true; };
    t.OnAfterGetMaxColumnWidth = [](TLTHeader*, TColumnIndex Column, int& Width) {
        if (Column == 0) Width = 77;
    };
    EXPECT_EQ(t.GetMaxColumnWidth(0), 77);
    EXPECT_EQ(t.GetMaxColumnWidth(1), f.Expected(1, 0, 2) + 1);
    // Margins the owner keeps in a cell count too.
    t.OnBeforeCellPaint = [](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, TBaseLazyTree::TLTCellPaintMode Mode,
                             const TRect&, TRect& Content) {
        if (Mode == TBaseLazyTree::cpmGetContentMargin) Content.Right -= 10;
    };
    EXPECT_EQ(t.GetMaxColumnWidth(1), f.Expected(1, 0, 2) + 1 + 10);
    EXPECT_EQ(t.OperationCount(), 0);
}

TEST(LazyTreesColumnFit, AutoFitMeasuresVisibleResizableColumnsWithEvents) {
    FitTree f;
    TLazyStringTree& t = *f.tree;
    t.Header().Columns().Add()->SetWidth(60);  // a third column without the resizable option
    f.Col(2).SetOptions(f.Col(2).Options() - TLTColumnOptions{coResizable});
    std::vector<std::string> Log;
    t.OnStartOperation = [&](TBaseLazyTree*, TLTOperationKind Kind) {
        if (Kind == okAutoFitColumns) Log.push_back("start");
    };
    t.OnEndOperation = [&](TBaseLazyTree*, TLTOperationKind Kind) {
        if (Kind == okAutoFitColumns) Log.push_back("end");
    };
    t.OnBeforeAutoFitColumns = [&](TLTHeader* H, TSmartAutoFitType&) {
        EXPECT_EQ(H, &t.Header());
        Log.push_back("before all");
    };
    t.OnAfterAutoFitColumns = [&](TLTHeader*) { Log.push_back("after all"); };
    t.OnBeforeAutoFitColumn = [&](TLTHeader*, TColumnIndex Column, TSmartAutoFitType&, bool&) {
        Log.push_back("before " + std::to_string(Column));
    };
    t.OnAfterAutoFitColumn = [&](TLTHeader*, TColumnIndex Column) { Log.push_back("after " + std::to_string(Column)); };
    t.Header().AutoFitColumns(false);
    EXPECT_EQ(Log, (std::vector<std::string>{"start", "before all", "before 0", "after 0", "before 1", "after 1",
                                             "after all", "end"}));
    EXPECT_EQ(f.Col(0).Width(), f.Expected(0));
    EXPECT_EQ(f.Col(1).Width(), f.Expected(1));
    EXPECT_EQ(f.Col(2).Width(), 60);

    // Back to the last widths, from the last position on.
    t.Header().RestoreColumns();
    EXPECT_EQ(f.Col(0).Width(), 100);
    EXPECT_EQ(f.Col(1).Width(), 100);

    // A range of positions, a refused column, a per-column smart choice; an empty range does nothing.
    struct Case {
        int Start, End;
        TSmartAutoFitType Type;
        bool RefuseFirst;
        int Width0, Width1;
    } Cases[] = {
        {1, 1, smaNoColumn, false, 100, f.Expected(1)},
        {-1, -1, smaNoColumn, true, 100, f.Expected(1)},
        {0, 5, smaNoColumn, false, f.Expected(0), f.Expected(1)},
        {2, 1, smaNoColumn, false, 100, 100},
    };
    t.SetBounds(0, 0, 300, 40);  // smart widths see two rows
    for (const Case& c : Cases) {
        f.Col(0).SetWidth(100);
        f.Col(1).SetWidth(100);
        Log.clear();
        t.OnBeforeAutoFitColumn = [&](TLTHeader*, TColumnIndex Column, TSmartAutoFitType&, bool& Allowed) {
            if (Column == 0 && c.RefuseFirst) Allowed = false;
        };
        t.Header().AutoFitColumns(false, c.Type, c.Start, c.End);
        EXPECT_EQ(f.Col(0).Width(), c.Width0) << c.Start << " " << c.End;
        EXPECT_EQ(f.Col(1).Width(), c.Width1) << c.Start << " " << c.End;
        if (c.Start > c.End) EXPECT_TRUE(Log.empty());
    }
    // The column's smart option counts with smaUseColumnOption; a handler may choose for one column.
    f.Col(1).SetOptions(f.Col(1).Options() + TLTColumnOptions{coSmartResize});
    t.OnBeforeAutoFitColumn = nullptr;
    t.Header().AutoFitColumns(false, smaUseColumnOption);
    EXPECT_EQ(f.Col(1).Width(), f.Expected(1, 0, 2));
    t.OnBeforeAutoFitColumn = [](TLTHeader*, TColumnIndex, TSmartAutoFitType& Type, bool&) { Type = smaNoColumn; };
    t.Header().AutoFitColumns(false, smaUseColumnOption);
    EXPECT_EQ(f.Col(1).Width(), f.Expected(1));
}

TEST(LazyTreesColumnFit, AnimatedResizeKeepsTheLimitsAndKeysFitAndRestore) {
    FitTree f;
    TLazyStringTree& t = *f.tree;
    TLazyTreeColumns& Columns = t.Header().Columns();
    f.Col(1).SetMaxWidth(150);
    int Resized = 0;
    t.OnColumnResize = [&](TLTHeader*, TColumnIndex) { ++Resized; };
    struct Case {
        const char* What;
        int NewWidth;
        int Expected;
        int Events;
    } Cases[] = {
        {"grown by 64 pixels, sliding in 32 steps of 2", 164, 150, 1},  // limited by MaxWidth
        {"shrunk below the minimum", 3, 10, 1},
        {"less than 32 pixels: no steps", 30, 30, 1},
        {"unchanged", 30, 30, 0},
    };
    for (const Case& c : Cases) {
        Resized = 0;
        Columns.AnimatedResize(1, c.NewWidth);
        EXPECT_EQ(f.Col(1).Width(), c.Expected) << c.What;
        EXPECT_EQ(Resized, c.Events) << c.What;
    }
    Columns.AnimatedResize(5, 80);  // no such column: nothing happens
    // Switched off for the header or the column: the width changes at once.
    t.Header().SetOptions(t.Header().Options + THeaderOptions{hoDisableAnimatedResize});
    Columns.AnimatedResize(1, 120);
    EXPECT_EQ(f.Col(1).Width(), 120);
    f.Col(1).RestoreLastWidth();
    EXPECT_EQ(f.Col(1).Width(), 30);

    // Ctrl and the keypad's plus fit the columns, Ctrl and minus restore them;
    // with Shift (or the reversed option) they expand and collapse the whole tree.
    f.Col(1).SetWidth(100);
    SimulateKey(VK_ADD, {ssCtrl});
    EXPECT_EQ(f.Col(0).Width(), f.Expected(0));
    EXPECT_EQ(f.Col(1).Width(), std::min(150, f.Expected(1)));
    SimulateKey(VK_SUBTRACT, {ssCtrl});
    EXPECT_EQ(f.Col(0).Width(), 100);
    EXPECT_EQ(f.Col(1).Width(), 100);
    SimulateKey(VK_SUBTRACT, {ssCtrl, ssShift});
    EXPECT_FALSE(t.GetExpanded(t.GetFirst()));
    EXPECT_EQ(f.Col(1).Width(), 100);
}
