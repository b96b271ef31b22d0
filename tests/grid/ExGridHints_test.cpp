#include "grid/ExCGrid.h"

#include "grid/foundation/CellCodecs.h"

#include "framework/BalloonTip.h"
#include "framework/ExtCtrls.h"
#include "framework/ImgList.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A shown form with a column grid that shows hints; column 1 holds data
// check boxes, the others text.
struct HintForm {
    TForm form{nullptr};
    TExColumnGrid* g;

    HintForm() {
        form.SetBounds(0, 0, 600, 400);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 450, 250);
        g->SetRowCount(5);
        g->SetShowHint(true);
        g->SetHint(u"plain");
        g->Columns().Items(1)->SetEditor(edDataCheckBox);
        for (int r = 1; r < g->RowCount(); ++r) g->SetCellEx(3, r, u"text " + IntToStr(r));
        form.Show();
    }
    ~HintForm() { Application->CancelHint(); }
    // The mouse rests at a point of cell (c, r) and the hint comes up.
    THintWindow* HintAt(int c, int r, int dx = 7, int dy = 5) {
        TRect R = g->CellRect(c, r);
        SimulateMouseMove(g, R.Left + dx, R.Top + dy);
        Application->ActivateHint(g->ClientToScreen({R.Left + dx, R.Top + dy}));
        THintWindow* w = Application->HintWindow();
        return w && w->IsHintShowing() ? w : nullptr;
    }
    TPoint ScreenOf(int X, int Y) { return g->ClientToScreen({X, Y}); }
};

TEST(ExGridHints, TheHandlerGivesTheTextOfDataAndHeaderCellsEachAtItsPlace) {
    HintForm f;
    f.g->SetHintShowCells(true);
    std::string asked;
    f.g->OnGridHint = [&](TObject*, int ARow, int ACol, String& hint) {
        asked += " " + std::to_string(ACol) + "," + std::to_string(ARow) + ":" + StringToUtf8(hint);
        hint = u"cell " + IntToStr(ACol) + u"," + IntToStr(ARow);
    };
    THintWindow* w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"cell 3,2");
    // The handler saw the cell's own text first.
    EXPECT_EQ(asked, " 3,2:text 2");
    TRect R = f.g->CellRect(3, 2);
    EXPECT_EQ(w->Left(), f.ScreenOf(R.Left + 7, 0).X);
    EXPECT_EQ(w->Top(), f.ScreenOf(0, R.Top).Y);

    // A header cell keeps the grid's ordinary hint for the handler and shows below the cell.
    asked.clear();
    w = f.HintAt(2, 0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(asked, " 2,0:plain");
    EXPECT_EQ(w->Text(), u"cell 2,0");
    R = f.g->CellRect(2, 0);
    EXPECT_EQ(w->Top(), f.ScreenOf(0, R.Bottom + 6).Y);
    EXPECT_EQ(f.g->LastHintPos(), (TPoint{2, 0}));

    // Moving to another cell cancels the hint.
    TRect other = f.g->CellRect(3, 0);
    SimulateMouseMove(f.g, other.Left + 5, other.Top + 5);
    EXPECT_FALSE(w->IsHintShowing());
    EXPECT_EQ(f.g->LastHintPos(), (TPoint{-1, -1}));
}

TEST(ExGridHints, CellTextsAsHints) {
    HintForm f;
    // Without HintShowCells data cells keep the grid's hint.
    THintWindow* w = f.HintAt(3, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"plain");

    f.g->SetHintShowCells(true);
    f.g->SetCellEx(3, 2, u"<b>bold</b> text");
    w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"bold text");
    EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(w), nullptr);

    // Kept as markup, it is drawn by the grid's own hint window.
    f.g->SetHTMLHint(true);
    w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"<b>bold</b> text");
    EXPECT_NE(dynamic_cast<THTMLHintWindow*>(w), nullptr);
    f.g->SetUseInternalHintClass(false);
    w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(w), nullptr);

    // An empty answer of the handler shows nothing.
    f.g->OnGridHint = [](TObject*, int, int, String& hint) { hint.clear(); };
    EXPECT_EQ(f.HintAt(3, 3), nullptr);
}

TEST(ExGridHints, TheFullTextOfACellTooSmallForItShowsOverTheCell) {
    HintForm f;
    f.g->SetHintShowLargeText(true);
    f.g->SetColWidths(3, 40);
    f.g->SetCellEx(3, 1, u"a text much wider than forty pixels");
    f.g->SetCellEx(3, 2, u"ab");
    THintWindow* w = f.HintAt(3, 1, 20, 8);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"a text much wider than forty pixels");
    TRect R = f.g->CellRect(3, 1);
    EXPECT_EQ(w->Left(), f.ScreenOf(R.Left, 0).X);
    EXPECT_EQ(w->Top(), f.ScreenOf(0, R.Top).Y);
    // A text that fits leaves the ordinary hint.
    w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"plain");
    // At the cursor instead.
    f.g->SetHintShowLargeTextPos(hpCursor);
    w = f.HintAt(3, 1, 20, 8);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Left(), f.ScreenOf(R.Left + 20, 0).X);
}

// Whether a cell's text needs more room than the cell is judged by the text
// as shown: markup without its tags, wide text decoded.
TEST(ExGridHints, TheLargeTextHintMeasuresTheTextAsShown) {
    HintForm f;
    f.g->SetHintShowLargeText(true);
    f.g->SetColWidths(3, 60);
    struct Case {
        String cell;
        String hint;  // the hint text the window gets
    } cases[] = {
        {u"ab", u"plain"},
        {u"<b>ab</b> <i>c</i> <u>d</u> <b>e</b>", u"plain"},
        {EncodeWideCellText(u"ab \u03A9"), u"plain"},
        {EncodeWideCellText(u"a wide text far wider than the cell"),
         EncodeWideCellText(u"a wide text far wider than the cell")},
        {u"<b>a markup text far wider</b> than the cell", u"a markup text far wider than the cell"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.hint.begin(), k.hint.end()));
        f.g->SetCellEx(3, 2, k.cell);
        THintWindow* w = f.HintAt(3, 2);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->Text(), k.hint);
    }
}

TEST(ExGridHints, TheHintWindowStaysInsideTheWorkArea) {
    TForm form(nullptr);
    auto* w = new THTMLHintWindow(&form);
    const TRect area = Screen->MonitorWorkAreaFromPoint({0, 0});
    w->ActivateHint(Rect(area.Right - 10, area.Bottom - 5, area.Right, area.Bottom), u"a <b>wide</b> hint text");
    ASSERT_TRUE(w->IsHintShowing());
    EXPECT_GT(w->TextWidth(), 10);
    EXPECT_EQ(w->Left() + w->Width(), area.Right - 2);
    EXPECT_EQ(w->Top() + w->Height(), area.Bottom - 2);
    EXPECT_EQ(w->Width(), w->TextWidth() + 16);
    EXPECT_EQ(w->Height(), w->TextHeight() + 4);
    w->ReleaseHandle();
}

TEST(ExGridHints, TheHintWindowDrawsItsFrameAndTheMarkup) {
    TForm form(nullptr);
    auto* w = new THTMLHintWindow(&form);
    w->SetColor(clWhite);
    w->ActivateHint(Rect(10, 10, 20, 20), u"<font color=\"#FF0000\">red</font>");
    TBitmap shot;
    RenderControlToBitmap(w, shot);
    EXPECT_EQ(shot.Canvas().Pixels(w->Width() / 2, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(shot.Canvas().Pixels(w->Width() / 2, w->Height() - 1), ColorToRGB(cl3DDkShadow));
    int red = 0;
    for (int y = 1; y < w->Height() - 1; ++y)
        for (int x = 1; x < w->Width() - 1; ++x)
            if (shot.Canvas().Pixels(x, y) == TColor(0x0000FF)) ++red;
    EXPECT_GT(red, 5);
    w->ReleaseHandle();
}

TEST(ExGridHints, BalloonsOfCells) {
    HintForm f;
    TExColumnGrid& g = *f.g;
    String title, text;
    TBalloonIcon icon = biNone;
    struct Case {
        const char* what;
        int col, row;
        bool has, is;
    };
    g.AddCheckBox(2, 3, true);
    g.AddBalloon(3, 1, u"T1", u"x1", biWarning);
    g.AddBalloon(1, 2, u"T2", u"x2", biInfo);
    g.AddBalloon(2, 3, u"T3", u"x3", biError);
    const Case cases[] = {
        {"a plain cell gets a balloon of its own", 3, 1, true, true},
        {"a data check box carries it and stays", 1, 2, false, true},
        {"a check box of its own carries it", 2, 3, false, true},
        {"a cell without one", 3, 2, false, false},
        {"outside the grid", -1, 2, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(g.HasBalloon(c.col, c.row), c.has);
        EXPECT_EQ(g.IsBalloon(c.col, c.row, title, text, icon), c.is);
    }
    ASSERT_TRUE(g.IsBalloon(1, 2, title, text, icon));
    EXPECT_EQ(title, u"T2");
    EXPECT_EQ(text, u"x2");
    EXPECT_EQ(icon, biInfo);
    EXPECT_EQ(g.GetCellType(1, 2), ctDataCheckBox);
    // Other cells of the check-box column carry nothing.
    EXPECT_FALSE(g.IsBalloon(1, 3, title, text, icon));

    g.RemoveBalloon(1, 2);
    g.RemoveBalloon(2, 3);
    g.RemoveBalloon(3, 1);
    EXPECT_FALSE(g.IsBalloon(1, 2, title, text, icon));
    EXPECT_TRUE(g.HasCheckBox(2, 3));
    EXPECT_FALSE(g.IsBalloon(2, 3, title, text, icon));
    EXPECT_FALSE(g.HasBalloon(3, 1));
    EXPECT_EQ(g.GetCellType(3, 1), ctEmpty);
}

TEST(ExGridHints, HTMLHintsForTheWholeProgram) {
    HintForm f;
    const THintWindowFactory saved = HintWindowClass;
    auto* panel = new TPanel(&f.form);
    panel->SetParent(&f.form);
    panel->SetBounds(460, 10, 60, 40);
    panel->SetHint(u"<b>tip</b>");
    panel->SetShowHint(true);
    auto show = [&] {
        SimulateMouseMove(panel, 5, 5);
        Application->ActivateHint(panel->ClientToScreen({5, 5}));
        THintWindow* w = Application->HintWindow();
        Application->CancelHint();
        return w;
    };
    f.g->SetUseHTMLHints(true);
    EXPECT_NE(dynamic_cast<THTMLHintWindow*>(show()), nullptr);
    f.g->SetUseHTMLHints(false);
    EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(show()), nullptr);
    HintWindowClass = saved;
}

TEST(ExGridHints, ACommentShowsBesideItsCellUntilTheCellTextTakesOver) {
    HintForm f;
    f.g->AddComment(3, 2, u"checked by hand");
    String c;
    EXPECT_TRUE(f.g->IsComment(3, 2, c));
    EXPECT_EQ(c, u"checked by hand");
    EXPECT_FALSE(f.g->IsComment(3, 1, c));
    THintWindow* w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"checked by hand");
    const TRect R = f.g->CellRect(3, 2);
    EXPECT_EQ(w->Left(), f.ScreenOf(R.Right, 0).X);
    EXPECT_EQ(w->Top(), f.ScreenOf(0, R.Top).Y);
    // The cell text replaces the comment.
    f.g->SetHintShowCells(true);
    w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"text 2");
    EXPECT_EQ(w->Left(), f.ScreenOf(R.Right, 0).X);
    EXPECT_EQ(w->Top(), f.ScreenOf(0, R.Top).Y);
    // A comment does not sit on a cell that holds another graphic; removed, the ordinary hint is back.
    f.g->SetHintShowCells(false);
    f.g->RemoveComment(3, 2);
    EXPECT_FALSE(f.g->IsComment(3, 2, c));
    w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"plain");
    EXPECT_THROW(f.g->AddComment(99, 2, u"x"), Exception);
}

TEST(ExGridHints, ALinkUnderTheMouseShowsItsTitleOrTarget) {
    HintForm f;
    f.g->SetColWidths(3, 200);
    f.g->SetCellEx(3, 1, u"<A HREF=\"http://x.example\">here</A>");
    f.g->SetCellEx(3, 2, u"<A HREF=\"http://y.example\" TITLE=\"Manual\">here</A>");
    // Off without AnchorHint.
    THintWindow* w = f.HintAt(3, 1, 4, 5);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"plain");

    f.g->SetAnchorHint(true);
    struct Case {
        int row;
        int dx;
        const char16_t* hint;
    } cases[] = {
        {1, 4, u"http://x.example"},
        {2, 4, u"Manual"},
        {1, 150, u"plain"},  // beside the link text
    };
    for (const Case& c : cases) {
        w = f.HintAt(3, c.row, c.dx, 5);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->Text(), c.hint) << c.row << "," << c.dx;
    }
    const TRect R = f.g->CellRect(3, 1);
    w = f.HintAt(3, 1, 4, 5);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Left(), f.ScreenOf(R.Left + 4 + 8, 0).X);
    EXPECT_EQ(w->Top(), f.ScreenOf(0, R.Top + 5 - 16).Y);

    int seenRow = -1, seenCol = -1;
    f.g->OnAnchorHint = [&](TObject*, int ARow, int ACol, String& A) {
        seenRow = ARow;
        seenCol = ACol;
        A = u"go to " + A;
    };
    w = f.HintAt(3, 2, 4, 5);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"go to Manual");
    EXPECT_EQ(f.g->LastAnchorHint(), u"go to Manual");
    EXPECT_EQ(seenRow, 2);
    EXPECT_EQ(seenCol, 3);
}

TEST(ExGridHints, AWideHintIsDrawnByTheGridsHintWindowInTheGridsFont) {
    HintForm f;
    f.g->Font().SetName(u"DejaVu Serif");
    f.g->OnGridWideHint = [](TObject*, int ARow, int, String& hint) {
        if (ARow == 2) hint = u"\u03A9 ohm";
    };
    THintWindow* w = f.HintAt(3, 2);
    ASSERT_NE(w, nullptr);
    ASSERT_NE(dynamic_cast<THTMLHintWindow*>(w), nullptr);
    EXPECT_EQ(w->Text(), EncodeWideCellText(u"\u03A9 ohm"));
    EXPECT_EQ(TExStringGrid::HintFontName(), u"DejaVu Serif");
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas().Font().Assign(&w->Font());
    measure.Canvas().Font().SetName(u"DejaVu Serif");
    EXPECT_EQ(static_cast<THTMLHintWindow*>(w)->TextWidth(), measure.Canvas().TextWidth(u"\u03A9 ohm"));
    // An empty wide answer keeps the hint.
    w = f.HintAt(3, 1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Text(), u"plain");
}

TEST(ExGridHints, ImagesOfTheGridDrawInItsMarkupHints) {
    HintForm f;
    TImageList images(16, 16);
    TBitmap red;
    red.SetSize(16, 16);
    red.Canvas().Brush().SetColor(clRed);
    red.Canvas().FillRect(TRect{0, 0, 16, 16});
    images.Add(&red, nullptr);
    f.g->SetGridImages(&images);
    f.g->SetHintShowCells(true);
    f.g->SetHTMLHint(true);
    f.g->SetCellEx(3, 2, u"<IMG SRC=\"IDX:0\"> ok");
    auto* w = dynamic_cast<THTMLHintWindow*>(f.HintAt(3, 2));
    ASSERT_NE(w, nullptr);
    EXPECT_GE(w->TextHeight(), 16);
    TBitmap shot;
    RenderControlToBitmap(w, shot);
    int reds = 0;
    for (int y = 0; y < w->Height(); ++y)
        for (int x = 0; x < w->Width(); ++x)
            if (shot.Canvas().Pixels(x, y) == clRed) ++reds;
    EXPECT_GE(reds, 16 * 16 - 32);
    // A hint of a grid without images draws none.
    f.g->SetGridImages(nullptr);
    w = dynamic_cast<THTMLHintWindow*>(f.HintAt(3, 2));
    ASSERT_NE(w, nullptr);
    RenderControlToBitmap(w, shot);
    reds = 0;
    for (int y = 0; y < w->Height(); ++y)
        for (int x = 0; x < w->Width(); ++x)
            if (shot.Canvas().Pixels(x, y) == clRed) ++reds;
    EXPECT_EQ(reds, 0);
}

TEST(ExGridHints, TheBalloonOfACellShowsItsOwnTitleTextAndIcon) {
    HintForm f;
    f.g->Balloon().SetEnable(true);
    f.g->AddBalloon(3, 2, u"Range", u"0 to 255", biWarning);
    f.g->AddBalloon(1, 3, u"Switch", u"on or off", biError);  // a data check-box cell carries it
    TBalloonTip* tip = f.g->Tools().BalloonTip();
    ASSERT_NE(tip, nullptr);
    struct Case {
        int col, row;
        const char16_t* title;
        const char16_t* text;
        int icon;
    } cases[] = {
        {3, 2, u"Range", u"0 to 255", TTI_WARNING},
        {1, 3, u"Switch", u"on or off", TTI_ERROR},
        {3, 1, u" ", u"text 1", TTI_INFO},  // no balloon data: the cell text
    };
    for (const Case& c : cases) {
        const TRect R = f.g->CellRect(c.col, c.row);
        SimulateMouseMove(f.g, R.Left + 5, R.Top + 5);
        tip->Popup(f.g, f.ScreenOf(R.Left + 5, R.Bottom));
        ASSERT_TRUE(tip->IsTipShowing()) << c.col << "," << c.row;
        EXPECT_EQ(tip->Title(), c.title);
        EXPECT_EQ(tip->TipText(), c.text);
        EXPECT_EQ(tip->Icon(), c.icon);
        tip->Pop();
    }
    // The merged area answers with its base cell's balloon.
    f.g->SetCellEx(2, 2, u"base text");
    f.g->MergeCells(2, 2, 2, 1);
    const TRect R = f.g->CellRect(3, 2);
    SimulateMouseMove(f.g, R.Right - 3, R.Top + 5);
    tip->Popup(f.g, f.ScreenOf(R.Right - 3, R.Bottom));
    EXPECT_EQ(tip->TipText(), u"base text");
    f.g->AddBalloon(2, 2, u"Base", u"merged", biInfo);
    tip->Popup(f.g, f.ScreenOf(R.Right - 3, R.Bottom));
    EXPECT_EQ(tip->Title(), u"Base");
    tip->Pop();
}

// A balloon shows while the mouse stays over its cell (a merged area counts
// as its base cell) and closes once the mouse moves on to another cell.
TEST(ExGridHints, ABalloonClosesWhenTheMouseLeavesItsCell) {
    HintForm f;
    f.g->Balloon().SetEnable(true);
    f.g->SetCellEx(2, 2, u"merged");
    f.g->MergeCells(2, 2, 2, 1);
    TBalloonTip* tip = f.g->Tools().BalloonTip();
    ASSERT_NE(tip, nullptr);
    const TRect base = f.g->CellRect(2, 2), inArea = f.g->CellRect(3, 2), below = f.g->CellRect(3, 3);
    SimulateMouseMove(f.g, base.Left + 5, base.Top + 5);
    tip->Popup(f.g, f.ScreenOf(base.Left + 5, base.Bottom));
    ASSERT_TRUE(tip->IsTipShowing());
    EXPECT_EQ(f.g->LastBalloonPos(), (TPoint{2, 2}));
    struct Step {
        TRect cell;
        bool shows;
    } steps[] = {{base, true}, {inArea, true}, {below, false}};
    for (const Step& s : steps) {
        SimulateMouseMove(f.g, s.cell.Left + 9, s.cell.Top + 7);
        EXPECT_EQ(tip->IsTipShowing(), s.shows) << s.cell.Left << "," << s.cell.Top;
    }
    EXPECT_EQ(f.g->LastBalloonPos(), (TPoint{-1, -1}));
    // The next cell's balloon tells its own text.
    tip->Popup(f.g, f.ScreenOf(below.Left + 9, below.Bottom));
    EXPECT_EQ(tip->TipText(), u"text 3");
    EXPECT_EQ(f.g->LastBalloonPos(), (TPoint{3, 3}));
    tip->Pop();
}

}  // namespace
