#include "grid/ExGrid.h"

#include "grid/foundation/GridOptions.h"

#include "framework/BalloonTip.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "GridOnForm.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int BalloonWindows(TExStringGrid& g) {
    int n = 0;
    for (int i = 0; i < g.ComponentCount(); ++i)
        if (dynamic_cast<TBalloonTip*>(g.Components(i))) ++n;
    return n;
}

TEST(ExGridBalloon, SwitchingLeavesOneWindowAndTheSettingsReachIt) {
    TExStringGrid g(nullptr);
    g.Balloon().SetInitialDelay(250);
    g.Balloon().SetTransparency(55);
    for (int i = 0; i < 20; ++i) {
        g.Balloon().SetEnable(true);
        EXPECT_EQ(BalloonWindows(g), 1);
        g.Balloon().SetEnable(false);
        EXPECT_EQ(BalloonWindows(g), 0);
    }
    g.Balloon().SetEnable(true);
    TBalloonTip* tip = g.Tools().BalloonTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->DelayTime(TTDT_INITIAL), 250);
    EXPECT_EQ(tip->Opacity(), 200);
    EXPECT_EQ(tip->Title(), u"ToolTipText");
}

TEST(ExGridBalloon, CellTextIsCutAndCleaned) {
    TExStringGrid g(nullptr);
    g.Balloon().SetTextColor(clRed);
    g.Balloon().SetEnable(true);
    g.SetCellEx(1, 1, String(3000, u'x'));
    g.SetCellEx(2, 1, u"\t\r\n<b>a</b>\tb");
    String title, text;
    int icon = 0;
    g.Tools().BalloonText(1, 1, title, text, icon);
    EXPECT_EQ(text, String(2045, u'x') + u"...");
    EXPECT_EQ(title, u" ");
    EXPECT_EQ(icon, TTI_INFO);
    g.Tools().BalloonText(2, 1, title, text, icon);
    EXPECT_EQ(text, u"a b");
    EXPECT_EQ(g.Tools().BalloonTip()->TipTextColor(), clRed);
    EXPECT_EQ(g.Tools().BalloonTip()->MaxTipWidth(), 300);

    g.Tools().OnCellBalloon = [](TObject*, int, int, String& t, String& s, int& i) {
        t = String(150, u't');
        s = u"own";
        i = 2;
    };
    g.Tools().BalloonText(2, 1, title, text, icon);
    EXPECT_EQ(title, String(97, u't') + u"...");
    EXPECT_EQ(text, u"own");
    EXPECT_EQ(icon, 2);
}

struct ExGridSnapshot : ::testing::Test {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
};

TEST_F(ExGridSnapshot, OneCellIsTheCellPlusOnePixelAndShowsItsPixels) {
    g->SetColors(2, 2, clRed);
    TRect cell = g->CellRect(2, 2);
    std::unique_ptr<TCustomForm> shot(g->SelectionToForm(TGridRect{2, 2, 2, 2}));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->ClientWidth(), cell.Right - cell.Left + 1);
    EXPECT_EQ(shot->ClientHeight(), cell.Bottom - cell.Top + 1);
    EXPECT_TRUE(shot->AlphaBlend());
    EXPECT_EQ(shot->AlphaBlendValue(), 192);
    EXPECT_EQ(shot->FormStyle(), fsStayOnTop);
    EXPECT_FALSE(shot->Visible());
    auto* view = dynamic_cast<TImage*>(shot->Controls(0));
    ASSERT_NE(view, nullptr);
    TBitmap* pic = dynamic_cast<TBitmap*>(view->Picture().Graphic());
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->Canvas().Pixels(5, 5), clRed);
}

TEST_F(ExGridSnapshot, FocusWindowLeavesTheCellOpen) {
    TRect cell = g->CellRect(1, 1);
    g->ShowFocusWindow(cell);
    TGridFocusWindow* w = g->Tools().FocusWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->Visible());
    int cw = cell.Right - cell.Left, ch = cell.Bottom - cell.Top;
    EXPECT_EQ(w->Width(), cw + 9);
    EXPECT_EQ(w->Height(), ch + 9);
    TRegion region;
    ASSERT_NE(GetWindowRgn(w->Handle(), region), ERROR);
    EXPECT_TRUE(region.Contains(1, 1));
    EXPECT_FALSE(region.Contains(4, 4));
    EXPECT_FALSE(region.Contains(3 + cw, 3 + ch));
    EXPECT_TRUE(region.Contains(4 + cw, 4 + ch));
    g->HideFocusWindow();
    EXPECT_FALSE(w->Visible());
}

}  // namespace

namespace {

struct DesignGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    void Design(bool On) { SetDesigning(On); }
};

TEST(QuickConfig, OnlyWhileDesigningAndEachEntryActs) {
    GridOnForm<DesignGrid> f;
    DesignGrid* g = f.g;
    TExGridTools& t = g->Tools();
    TRect r = g->ClientRect();
    TCanvas& probe = g->Canvas();
    probe.Font().SetName(u"Tahoma");
    probe.Font().SetSize(8);
    int th = probe.TextHeight(u"gh");
    int l = th + 2, top = r.Bottom - (4 * th + 18);
    TPoint allowEdit{r.Right - 140, top + l + 4 + l / 2};
    TPoint columnNrs{r.Right - 140, top + 2 * l + 4 + l / 2};
    TPoint look{r.Right - 140, top + 3 * l + 4 + l / 2};
    TPoint close{r.Right - 8, top + 8};

    // At run time the box takes no clicks and is not drawn.
    EXPECT_FALSE(t.DesignHitTest(allowEdit.X, allowEdit.Y));
    t.DesignHelperClick(allowEdit.X, allowEdit.Y);
    EXPECT_FALSE(g->Options().Contains(goEditing));
    TBitmap bmp;
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(g->Width(), g->Height());
    g->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_NE(bmp.Canvas().Pixels(r.Right - 3, r.Bottom - 3), ColorToRGB(clInfoBk));

    g->Design(true);
    g->PaintTo(bmp.Canvas(), 0, 0);
    EXPECT_EQ(bmp.Canvas().Pixels(r.Right - 30, r.Bottom - 5), ColorToRGB(clInfoBk));
    EXPECT_EQ(t.DesignHelperChoiceAt(allowEdit.X, allowEdit.Y), 1);
    EXPECT_EQ(t.DesignHelperChoiceAt(columnNrs.X, columnNrs.Y), 2);
    EXPECT_EQ(t.DesignHelperChoiceAt(look.X, look.Y), 3);
    EXPECT_EQ(t.DesignHelperChoiceAt(close.X, close.Y), 4);
    EXPECT_EQ(t.DesignHelperChoiceAt(10, 10), -1);
    EXPECT_TRUE(t.DesignHitTest(allowEdit.X, allowEdit.Y));

    t.DesignHelperClick(allowEdit.X, allowEdit.Y);
    EXPECT_TRUE(g->Options().Contains(goEditing));
    t.DesignHelperClick(columnNrs.X, columnNrs.Y);
    EXPECT_TRUE(t.ShowColNrs);
    // The designer's mouse reaches it too.
    SimulateClick(g, columnNrs.X, columnNrs.Y);
    EXPECT_FALSE(t.ShowColNrs);
    SimulateClick(g, columnNrs.X, columnNrs.Y);
    EXPECT_TRUE(t.ShowColNrs);

    TPopupMenu& menu = t.DesignLookMenu();
    ASSERT_EQ(menu.Items().Count(), 9);
    EXPECT_TRUE(menu.Items().Items(6)->Checked);  // "Windows XP", the grid's look
    EXPECT_EQ(menu.Items().Items(8)->Caption(), u"Windows 7");
    menu.Items().Items(8)->Click();
    EXPECT_EQ(g->Look(), glWin7);

    t.DesignHelperClick(close.X, close.Y);
    EXPECT_FALSE(t.ShowDesignHelper);
}

}  // namespace

namespace {

// The settings every table editor gives its grid change nothing on screen.
TEST(DataToolSettings, TableEditorValuesLeaveThePixelsAlone) {
    auto render = [](bool configured) {
        GridOnForm<> f(400, 250, false);
        TExStringGrid* g = f.g;
        for (int r = 1; r < 5; ++r) g->SetCellEx(1, r, u"cell " + IntToStr(r));
        if (configured) {
            g->Filter().Clear();
            TFont f;
            f.SetName(u"Tahoma");
            g->FilterDropDown().Font().Assign(&f);
            g->FilterDropDown().SetWidth(200);
            g->FilterDropDown().SetHeight(200);
            g->Tools().FilterDropDownClear = u"(All)";
            g->SortSettings().SetColumn(0);
            g->CellNode().SetTreeColor(clSilver);
            TSearchFooter& sf = g->SearchFooter();
            sf.SetFindNextCaption(u"Find &next");
            sf.SetFindPrevCaption(u"Find &previous");
            sf.SetMatchCaseCaption(u"Match case");
            sf.SetHighLightCaption(u"Highlight");
            sf.SetHintClose(u"Close");
            sf.SetHintFindNext(u"Find next occurrence");
            sf.SetHintFindPrev(u"Find previous occurrence");
            sf.SetHintHighlight(u"Highlight occurrences");
            TPrintSettings& ps = g->PrintSettings();
            for (TFont* pf : {&ps.Font(), &ps.FixedFont(), &ps.HeaderFont(), &ps.FooterFont()}) pf->Assign(&f);
            ps.DateFormat = u"dd/mm/yyyy";
            ps.PageNumSep = u"/";
        }
        f.form.Show();
        EXPECT_EQ(g->SearchPanel()->Height(), 0);
        EXPECT_EQ(g->Tools().FooterPanel()->Height(), 0);
        TBitmap bmp;
        bmp.SetPixelFormat(pf24bit);
        bmp.SetSize(400, 250);
        g->PaintTo(bmp.Canvas(), 0, 0);
        std::vector<TColor> pixels;
        for (int y = 0; y < 250; y += 3)
            for (int x = 0; x < 400; x += 3) pixels.push_back(bmp.Canvas().Pixels(x, y));
        return pixels;
    };
    EXPECT_EQ(render(true), render(false));
}

}  // namespace

namespace {

struct KeyGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    std::vector<TGridRect> changes;
    void SelectionChanged(int L, int T, int R, int B) override { changes.push_back({L, T, R, B}); }
};

TEST(GridKeyUp, ClearsTheSearchTextReportsMovesAndOpensTheEditor) {
    GridOnForm<KeyGrid> f;
    KeyGrid* g = f.g;
    g->SetFocus();
    g->SetCol(1);
    g->SetRow(1);
    struct Case {
        Word key;
        bool clears;
        bool moves;
    } cases[] = {{VK_RIGHT, true, true}, {VK_DOWN, true, true}, {VK_DELETE, true, false},
                 {VK_INSERT, true, false}, {'A', false, false}, {VK_END, true, false}};
    for (const Case& c : cases) {
        g->SearchInc = u"abc";
        g->changes.clear();
        SimulateKey(c.key);
        EXPECT_EQ(g->SearchInc.empty(), c.clears) << c.key;
        EXPECT_EQ(g->changes.size(), c.moves ? 1u : 0u) << c.key;
        if (c.moves && !g->changes.empty()) EXPECT_EQ(g->changes[0].Left, g->Col());
    }
    EXPECT_FALSE(g->EditorMode());
    g->SetOptions(g->Options() + TGridOptions{goEditing});
    g->Navigation().SetAlwaysEdit(true);
    g->SetCol(1);
    g->SetRow(1);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_TRUE(g->EditorMode());
}

TEST(GridKeyUp, SpaceChoosesCellsOneByOne) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->MouseActions().SetDisjunctCellSelect(true);
    g->SetFocus();
    g->SetCol(1);
    g->SetRow(1);
    SimulateKey(VK_SPACE);
    EXPECT_TRUE(g->SelectedCells(1, 1));
    g->SetCol(2);
    SimulateKey(VK_SPACE, TShiftState{ssCtrl});
    EXPECT_TRUE(g->SelectedCells(1, 1));
    EXPECT_TRUE(g->SelectedCells(2, 1));
    SimulateKey(VK_SPACE, TShiftState{ssCtrl});  // Control+Space on a chosen cell lets it go
    EXPECT_FALSE(g->SelectedCells(2, 1));
    EXPECT_TRUE(g->SelectedCells(1, 1));
    SimulateKey(VK_SPACE);  // a plain Space keeps only the current cell
    EXPECT_FALSE(g->SelectedCells(1, 1));
    EXPECT_TRUE(g->SelectedCells(2, 1));
    EXPECT_EQ(g->SelectedCellsCount(), 1);
    g->OnSelectCell = [](TObject*, int, int, bool& Can) { Can = false; };
    g->SetCol(3);
    SimulateKey(VK_SPACE, TShiftState{ssCtrl});
    EXPECT_FALSE(g->SelectedCells(3, 1));
}

// Pixels of the grid's client area as painted.
std::vector<TColor> Painted(TExStringGrid* g, TBitmap& bmp) {
    bmp.SetPixelFormat(pf24bit);
    bmp.SetSize(g->ClientWidth(), g->ClientHeight());
    g->PaintTo(bmp.Canvas(), 0, 0);
    std::vector<TColor> v;
    for (int y = 0; y < bmp.Height(); y += 2)
        for (int x = 0; x < bmp.Width(); x += 2) v.push_back(bmp.Canvas().Pixels(x, y));
    return v;
}

// A shown grid without scroll bars, its background set by the tests.
struct EmptyArea : ::testing::Test {
    GridOnForm<> f{400, 250};
    TExStringGrid* g = f.g;
    void SetUp() override { g->SetScrollBars(ssNone); }
    void Gradient(TBackGroundDisplay Display) {
        g->BackGround().SetDisplay(Display);
        g->BackGround().SetColor(clRed);
        g->BackGround().SetColorTo(clBlue);
    }
    // The empty-area painting alone leaves a white canvas white (the cells
    // take the background in their own painting).
    bool EmptyAreaUntouched() {
        TBitmap b;
        b.SetPixelFormat(pf24bit);
        b.SetSize(g->ClientWidth(), g->ClientHeight());
        b.Canvas().Brush().SetColor(clWhite);
        b.Canvas().FillRect(TRect{0, 0, b.Width(), b.Height()});
        g->Tools().PaintEmptyArea(b.Canvas());
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                if (b.Canvas().Pixels(x, y) != clWhite) return false;
        return true;
    }
};

TEST_F(EmptyArea, GradientRightOfTheLastColumnAndBelowTheLastRow) {
    g->SetColor(clWhite);
    TBitmap plain;
    const std::vector<TColor> before = Painted(g, plain);
    Gradient(bdGradientHorz);
    TBitmap bmp;
    const std::vector<TColor> after = Painted(g, bmp);
    const TRect last = g->CellRect(g->ColCount() - 1, g->RowCount() - 1);
    ASSERT_LT(last.Right + 4, g->ClientWidth());
    ASSERT_LT(last.Bottom + 4, g->ClientHeight());
    // Right of the last column the band runs from red at the left edge to blue.
    const TColor nearRight = bmp.Canvas().Pixels(g->ClientWidth() - 2, 10);
    const int x = last.Right + 3;
    const TColor mid = bmp.Canvas().Pixels(x, 10);
    EXPECT_GT(GetBValue(nearRight), 240);
    EXPECT_LT(GetRValue(nearRight), 16);
    EXPECT_NEAR(GetRValue(mid), 255 - 255 * x / g->ClientWidth(), 6);
    EXPECT_NEAR(GetBValue(mid), 255 * x / g->ClientWidth(), 6);
    EXPECT_EQ(bmp.Canvas().Pixels(2, last.Bottom + 3), TColor(0x0000FF));  // the left edge is red
    EXPECT_NE(after, before);

    // No end colour: nothing painted in the empty area.
    g->BackGround().SetColorTo(clNone);
    EXPECT_TRUE(EmptyAreaUntouched());
}

TEST_F(EmptyArea, AGridThatFillsItsClientPaintsNone) {
    g->SetColCount(30);
    g->SetRowCount(40);
    Gradient(bdGradientVert);
    EXPECT_TRUE(EmptyAreaUntouched());
}

TEST_F(EmptyArea, ABitmapAtItsPlace) {
    TBitmap pic;
    pic.SetSize(500, 300);
    pic.Canvas().Brush().SetColor(clLime);
    pic.Canvas().FillRect(TRect{0, 0, 500, 300});
    g->BackGround().SetBitmap(pic);
    g->BackGround().SetDisplay(bdFixed);
    g->BackGround().SetLeft(0);
    TBitmap bmp;
    Painted(g, bmp);
    const TRect last = g->CellRect(g->ColCount() - 1, g->RowCount() - 1);
    EXPECT_EQ(bmp.Canvas().Pixels(g->ClientWidth() - 2, 10), clLime);
    EXPECT_EQ(bmp.Canvas().Pixels(10, g->ClientHeight() - 2), clLime);
    ASSERT_LT(last.Right + 2, g->ClientWidth() - 2);
    // Tiles over fixed cells only never reach the empty area.
    g->BackGround().SetDisplay(bdTile);
    g->BackGround().SetCells(bcFixed);
    Painted(g, bmp);
    EXPECT_NE(bmp.Canvas().Pixels(g->ClientWidth() - 2, 10), clLime);
}

}  // namespace
