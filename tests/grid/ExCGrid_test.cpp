#include "grid/ExCGrid.h"

#include "GridOnForm.h"

#include "framework/DateUtils.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(ExCGrid, ColumnsDecideEditabilityWithoutGoEditing) {
    TExColumnGrid g(nullptr);
    EXPECT_FALSE(g.Options().Contains(goEditing));
    g.Columns().Items(2)->SetReadOnly(true);
    g.Columns().Items(3)->SetFixed(true);
    struct Case {
        int col, row;
        bool editable;
    } cases[] = {{1, 1, true}, {2, 1, false}, {3, 1, false}, {1, 0, false}, {0, 1, false}, {4, 9, true}};
    for (const Case& c : cases) EXPECT_EQ(g.IsCellEditable(c.col, c.row), c.editable) << c.col << "," << c.row;
    // A cell's own read-only flag and the event have the last word; the event sees the base cell.
    g.SetReadOnly(4, 2, true);
    EXPECT_FALSE(g.IsCellEditable(4, 2));
    std::vector<std::pair<int, int>> asked;
    g.MergeCells(1, 3, 2, 2);
    g.OnCanEditCell = [&](TObject*, int row, int col, bool& can) {
        asked.push_back({col, row});
        can = false;
    };
    EXPECT_FALSE(g.IsCellEditable(2, 4));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), std::make_pair(1, 3));
}

TEST(ExCGrid, HeadersWidthsAndNewColumns) {
    TExColumnGrid g(nullptr);
    g.Columns().Items(2)->SetHeader(u"Address");
    EXPECT_EQ(g.GetCellEx(2, 0), u"Address");
    ASSERT_GT(g.ColumnHeaders().Count(), 2);
    EXPECT_EQ(g.ColumnHeaders()[2], u"Address");
    g.Columns().Items(1)->SetWidth(120);
    EXPECT_EQ(g.ColWidths(1), 120);
    g.SetColWidths(1, 77);
    EXPECT_EQ(g.Columns().Items(1)->Width(), 77);

    TFont big;
    big.SetSize(20);
    g.Columns().Items(4)->SetFont(big);
    g.Columns().Items(4)->SetEditor(edComboList);
    g.Columns().Items(4)->SetReadOnly(true);
    g.SetColCount(6);
    ASSERT_EQ(g.Columns().Count(), 6);
    TGridColumnItem* added = g.Columns().Items(5);
    EXPECT_EQ(added->Editor(), edComboList);
    EXPECT_TRUE(added->ReadOnly());
    EXPECT_EQ(added->Font().Size(), g.Font().Size());
    g.Columns().Items(5)->SetName(u"tail");
    EXPECT_EQ(g.GetColumnByName(u"tail"), added);
    EXPECT_EQ(g.GetColumnByName(u"none"), nullptr);
    EXPECT_EQ(added->DisplayName(), u"Col 5: tail");
}

TEST(ExCGrid, ColumnCheckTextsBeatTheEventAndToggle) {
    TExColumnGrid g(nullptr);
    TGridColumnItem* col = g.Columns().Items(2);
    col->SetEditor(edDataCheckBox);
    col->SetCheckTrue(u"1");
    col->SetCheckFalse(u"0");
    g.OnGetCheckTrue = [](TObject*, int, int, String& v) { v = u"yes"; };
    g.SetCellEx(2, 1, u"1");
    EXPECT_EQ(g.GetCellType(2, 1), ctDataCheckBox);
    EXPECT_TRUE(g.IsChecked(2, 1));
    EXPECT_EQ(g.GetCellType(2, 0), ctEmpty);

    TExColumnGrid y(nullptr);
    y.Columns().Items(1)->SetEditor(edDataCheckBox);
    y.SetCellEx(1, 1, u"Y");
    std::vector<bool> changes;
    y.OnCheckBoxChange = [&](TObject*, int, int, bool s) { changes.push_back(s); };
    EXPECT_TRUE(y.ToggleCellCheck(1, 1, true));
    EXPECT_EQ(y.GetCellEx(1, 1), u"N");
    EXPECT_EQ(changes, std::vector<bool>{false});
    y.Columns().Items(1)->SetReadOnly(true);
    EXPECT_FALSE(y.ToggleCellCheck(1, 1, true));
    EXPECT_EQ(y.GetCellEx(1, 1), u"N");
}

TEST(ExCGrid, ColumnPositionsInAnIniFile) {
    TempDir dir;
    String ini = Utf8ToString(dir.file("cols.ini"));
    TExColumnGrid g(nullptr);
    g.SetColCount(3);
    g.Columns().SetOrganization();
    g.Columns().Items(0)->DefIdx = 1;
    g.Columns().Items(1)->DefIdx = 0;
    g.SaveColumnPositions(ini, u"Grid");
    std::string text = dir.read("cols.ini");
    EXPECT_NE(text.find("[Grid]"), std::string::npos);
    EXPECT_NE(text.find("CP0=1"), std::string::npos);
    EXPECT_NE(text.find("CP1=0"), std::string::npos);
    EXPECT_NE(text.find("CP2=2"), std::string::npos);

    // A section missing a key leaves the order alone.
    TExColumnGrid h(nullptr);
    h.SetColCount(4);
    h.Columns().SetOrganization();
    for (int i = 0; i < 4; ++i) h.Columns().Items(i)->SetHeader(u"H" + IntToStr(i));
    h.LoadColumnPositions(ini, u"Grid");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(h.Columns().Items(i)->Header(), u"H" + IntToStr(i));
}

TEST(ExCGrid, ColumnStreamRoundTrip) {
    TExColumnGrid g(nullptr);
    TGridColumnItem* c = g.Columns().Items(3);
    c->SetHeader(u"Line\nbreak");
    c->SetEditor(edComboList);
    c->ComboItems().SetCommaText(u"a,\"b c\"");
    c->SetCheckTrue(u"on");
    c->SetReadOnly(true);
    c->SetColor(clAqua);
    c->Font().SetStyle({fsBold});
    c->SetName(u"third");
    c->SetPrintFontCustom(false);
    c->SetPrintBorderCustom(false);
    c->SetPrintBorders(TSet<int>{cbTop, cbBottom});
    c->PrintBorderPen().SetColor(clBlue);
    c->PrintBorderPen().SetWidth(3);
    c->PrintFont().SetSize(17);
    c->SetColumnPopupType(cpAllCellsLClick);
    c->SetBorders(TSet<int>{cbLeft});
    TMemoryStream stream;
    g.SaveColumnsToStream(stream);
    stream.SetPosition(0);

    TExColumnGrid h(nullptr);
    h.LoadColumnsFromStream(stream);
    ASSERT_EQ(h.Columns().Count(), 5);
    TGridColumnItem* r = h.Columns().Items(3);
    EXPECT_EQ(r->Header(), u"Line\nbreak");
    EXPECT_EQ(r->Editor(), edComboList);
    EXPECT_EQ(r->ComboItems().Count(), 2);
    EXPECT_EQ(r->ComboItems()[1], u"b c");
    EXPECT_EQ(r->CheckTrue(), u"on");
    EXPECT_TRUE(r->ReadOnly());
    EXPECT_EQ(r->Color(), clAqua);
    EXPECT_TRUE(r->Font().Style().Contains(fsBold));
    EXPECT_EQ(r->Name(), u"third");
    EXPECT_FALSE(r->PrintFontCustom());
    EXPECT_FALSE(r->PrintBorderCustom());
    EXPECT_EQ(r->PrintBorders(), (TSet<int>{cbTop, cbBottom}));
    EXPECT_EQ(r->PrintBorderPen().Color(), clBlue);
    EXPECT_EQ(r->PrintBorderPen().Width(), 3);
    EXPECT_EQ(r->PrintFont().Size(), 17);
    EXPECT_EQ(r->ColumnPopupType(), cpAllCellsLClick);
    EXPECT_EQ(r->Borders(), TSet<int>{cbLeft});

    TMemoryStream junk;
    junk.WriteBuffer("garbage", 7);
    junk.SetPosition(0);
    EXPECT_THROW(h.LoadColumnsFromStream(junk), EReadError);
    EXPECT_EQ(h.Columns().Items(3)->Name(), u"third");
}

TEST(ExCGrid, RemovingAndInsertingColumnsMovesTheItems) {
    TExColumnGrid g(nullptr);
    for (int i = 0; i < 5; ++i) g.Columns().Items(i)->SetName(u"c" + IntToStr(i));
    g.RemoveCols(1, 1);
    ASSERT_EQ(g.Columns().Count(), 4);
    EXPECT_EQ(g.Columns().Items(1)->Name(), u"c2");
    g.InsertCols(1, 2);
    ASSERT_EQ(g.Columns().Count(), 6);
    EXPECT_EQ(g.Columns().Items(3)->Name(), u"c2");
    g.HideColumn(2);
    EXPECT_EQ(g.Columns().Count(), 6);
}

}  // namespace

namespace {

TEST(ExCGrid, AMovedColumnTakesItsItemAlong) {
    TExColumnGrid g(nullptr);
    for (int i = 0; i < 5; ++i) {
        g.Columns().Items(i)->SetHeader(u"H" + IntToStr(i));
        g.SetCellEx(i, 1, u"v" + IntToStr(i));
    }
    g.Columns().Items(1)->SetEditor(edComboList);
    g.Columns().Items(1)->SetWidth(99);
    g.HideColumn(3);
    std::vector<std::pair<int, int>> moved;
    g.OnAfterColumnMoved = [&](TObject*, int from, int to) { moved.push_back({from, to}); };
    g.MoveColumn(1, 3);  // displayed 3 is real 4
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0], std::make_pair(1, 4));
    TGridColumnItem* it = g.Columns().Items(4);
    EXPECT_EQ(it->Header(), u"H1");
    EXPECT_EQ(it->Editor(), edComboList);
    EXPECT_EQ(g.ColWidths(3), 99);
    EXPECT_EQ(g.GetCellEx(4, 1), u"v1");
    // The hidden column keeps its place among the others.
    EXPECT_TRUE(g.IsHiddenColumn(2));
    EXPECT_EQ(g.GetCellEx(2, 1), u"v3");
    EXPECT_EQ(g.NumHiddenColumns(), 1);
}

}  // namespace

namespace {

// A test grid that can be scaled as a form scales it.
struct ScalableGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
    void Scale(int M, int D) { ChangeScale(M, D); }
};

TEST(ExCGrid, ScalingTakesTheColumnFontsAlong) {
    ScalableGrid g(nullptr);
    TFont f;
    f.SetSize(8);
    g.Columns().Items(1)->SetFont(f);
    g.Columns().Items(1)->SetHeaderFont(f);
    int fixedSize = g.FixedFont().Size();
    g.Scale(3, 2);
    EXPECT_EQ(g.Columns().Items(1)->Font().Size(), 12);
    EXPECT_EQ(g.Columns().Items(1)->HeaderFont().Size(), 12);
    EXPECT_EQ(g.FixedFont().Size(), int(std::lround(fixedSize * 1.5)));
}

TEST(ExCGrid, DatesAndTimesInTheLocaleFormats) {
    TExColumnGrid g(nullptr);
    g.SetDates(1, 1, EncodeDate(2024, 2, 29));
    EXPECT_EQ(g.GetCellEx(1, 1), u"29/02/2024");
    EXPECT_EQ(g.GetDates(1, 1), EncodeDate(2024, 2, 29));
    g.SetCellEx(1, 2, u"nodate");
    EXPECT_THROW(g.GetDates(1, 2), EExGridError);
    g.SetTimes(2, 1, EncodeTime(13, 5, 0, 0));
    EXPECT_DOUBLE_EQ(g.GetTimes(2, 1), EncodeTime(13, 5, 0, 0));
}

}  // namespace

namespace {

TEST(ExCGrid, ColumnFloatFormatShowsAndWritesNumbers) {
    TExColumnGrid g(nullptr);
    g.Columns().Items(1)->SetFloatFormat(u"%.3f");
    struct Case {
        const char16_t* text;
        const char16_t* shown;
    } cases[] = {{u"2", u"2.000"}, {u"1.5", u"1.500"}, {u"1e3", u"1e3"}, {u"abc", u"abc"}, {u"", u""}};
    for (const Case& c : cases) {
        g.SetCellEx(1, 1, c.text);
        EXPECT_EQ(g.GetFormattedCell(1, 1), String(c.shown)) << StringToUtf8(c.text);
    }
    g.SetFloats(1, 2, 2.71828);
    EXPECT_EQ(g.GetCellEx(1, 2), u"2.718");
    g.SetFloats(2, 2, 2.71828);
    EXPECT_EQ(g.GetCellEx(2, 2), u"2.72");
}

}  // namespace

namespace {

// The first preview page of a column grid, 600 x 400 on white.
std::unique_ptr<TBitmap> Preview(TExColumnGrid& g) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(600, 400);
    bmp->Canvas().Brush().SetColor(clWhite);
    bmp->Canvas().FillRect(Rect(0, 0, 600, 400));
    g.Tools().SetPreviewPage(1);
    g.Tools().PrintPreview(bmp->Canvas(), Rect(0, 0, 600, 400));
    return bmp;
}

int Count(const TBitmap& b, const std::function<bool(TColor)>& Test) {
    int n = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) n += Test(const_cast<TBitmap&>(b).Canvas().Pixels(x, y));
    return n;
}

bool Yellow(TColor c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) < 60; }
bool Red(TColor c) { return GetRValue(c) > 180 && GetGValue(c) < 80 && GetBValue(c) < 80; }
bool Blue(TColor c) { return GetBValue(c) > 180 && GetRValue(c) < 80 && GetGValue(c) < 80; }

// Counts and forwards the print slots.
struct PrintGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
    bool noBorders = false;
    int pageNums = 0;
    void DoGetCellPrintBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) override {
        TExColumnGrid::DoGetCellPrintBorder(ACol, ARow, APen, Borders);
        if (noBorders) Borders = {};
    }
    void DoPrintGetPageNum(int PageNum, int PageColNum, String& PageNumString) override {
        ++pageNums;
        TExColumnGrid::DoPrintGetPageNum(PageNum, PageColNum, PageNumString);
    }
};

TEST(ExCGrid, AColumnPrintsWithItsOwnColourFontAndBorders) {
    PrintGrid g(nullptr);
    for (int r = 1; r < 6; ++r)
        for (int c = 1; c < 5; ++c) g.SetCellEx(c, r, u"MMMM");
    TGridColumnItem* col = g.Columns().Items(2);
    col->SetPrintColor(clYellow);
    col->PrintFont().SetColor(clRed);
    col->PrintBorderPen().SetColor(clBlue);
    const auto plain = [&] {
        PrintGrid h(nullptr);
        for (int r = 1; r < 6; ++r)
            for (int c = 1; c < 5; ++c) h.SetCellEx(c, r, u"MMMM");
        return Preview(h);
    }();
    EXPECT_EQ(Count(*plain, Yellow), 0);
    EXPECT_EQ(Count(*plain, Red), 0);
    auto b = Preview(g);
    EXPECT_GT(Count(*b, Yellow), 0);
    EXPECT_GT(Count(*b, Red), 0);
    EXPECT_GT(Count(*b, Blue), 0);
    // The events see the column's answer in the border vocabulary of the screen.
    std::vector<std::string> seen;
    g.Tools().OnGetCellPrintBorder = [&](TObject*, int ARow, int ACol, TPen& Pen, TSet<int>& Borders) {
        if (ACol == 2 && ARow == 3)
            seen.push_back(std::to_string(int(Pen.Color())) + (Borders == TSet<int>{cbLeft, cbTop, cbRight, cbBottom}
                                                                    ? " all" : " other"));
    };
    g.OnGetCellPrintColor = [&](TObject*, int ARow, int ACol, TGridDrawState, TBrush& Brush, TFont& Font) {
        if (ACol == 2 && ARow == 3) seen.push_back(Brush.Color() == clYellow && Font.Color() == clRed ? "look" : "?");
    };
    Preview(g);
    EXPECT_EQ(seen, (std::vector<std::string>{std::to_string(int(clBlue)) + " all", "look"}));
    // Without the custom settings the print settings' font and borders hold.
    col->SetPrintFontCustom(false);
    col->SetPrintBorderCustom(false);
    g.OnGetCellPrintColor = nullptr;
    g.Tools().OnGetCellPrintBorder = nullptr;
    b = Preview(g);
    EXPECT_EQ(Count(*b, Red), 0);
    EXPECT_EQ(Count(*b, Blue), 0);
    // A descendant's border slot decides what is drawn.
    col->SetPrintBorderCustom(true);
    g.noBorders = true;
    b = Preview(g);
    EXPECT_EQ(Count(*b, Blue), 0);
    // The page number goes through its slot to the event.
    g.PrintSettings().PageNr = ppBottomCenter;
    std::vector<int> pages;
    g.Tools().OnPrintGetPageNum = [&](TObject*, int PageNum, int, String&) { pages.push_back(PageNum); };
    g.pageNums = 0;
    Preview(g);
    EXPECT_EQ(g.pageNums, 1);
    EXPECT_EQ(pages, std::vector<int>{1});
}

// A menu that records where it was asked to show.
struct RecordingMenu : TPopupMenu {
    using TPopupMenu::TPopupMenu;
    std::vector<TPoint> shown;
    void Popup(int X, int Y) override { shown.push_back({X, Y}); }
};

TEST(ExCGrid, AColumnsPopupMenuShowsForTheClicksOfItsKind) {
    GridOnForm<TExColumnGrid> f(400, 250, false);
    TForm& form = f.form;
    TExColumnGrid* g = f.g;
    auto* menu = new RecordingMenu(&form);
    g->Columns().Items(1)->SetColumnPopup(menu);  // right clicks on the header
    auto* other = new RecordingMenu(&form);
    g->Columns().Items(2)->SetColumnPopup(other);
    g->Columns().Items(2)->SetColumnPopupType(cpAllCellsLClick);
    std::vector<std::string> told;
    g->OnColumnPopup = [&](TObject*, int ACol, int ARow, TPopupMenu* M) {
        told.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + (M == menu ? " menu" : " other"));
    };
    form.Show();
    auto press = [&](TMouseButton B, int c, int r) {
        const TRect R = g->CellRect(c, r);
        SimulateMouseDown(g, B, R.Left + 5, R.Top + 5);
        SimulateMouseUp(g, B, R.Left + 5, R.Top + 5);
    };
    press(mbRight, 1, 0);
    press(mbLeft, 1, 0);
    press(mbRight, 1, 3);
    ASSERT_EQ(menu->shown.size(), 1u);
    const TRect R = g->CellRect(1, 0);
    EXPECT_EQ(menu->shown[0], g->ClientToScreen({R.Left, R.Bottom}));
    press(mbLeft, 2, 3);
    press(mbLeft, 2, 0);
    press(mbRight, 2, 3);
    EXPECT_EQ(other->shown.size(), 2u);
    EXPECT_EQ(told, (std::vector<std::string>{"1,0 menu", "2,3 other", "2,0 other"}));
    // A new column takes the popup of the one before it; a freed menu is let go.
    g->SetColCount(6);
    EXPECT_EQ(g->Columns().Items(5)->ColumnPopup(), nullptr);
    g->Columns().Items(5)->SetColumnPopup(menu);
    g->SetColCount(7);
    EXPECT_EQ(g->Columns().Items(6)->ColumnPopup(), menu);
    delete menu;
    EXPECT_EQ(g->Columns().Items(1)->ColumnPopup(), nullptr);
    EXPECT_EQ(g->Columns().Items(6)->ColumnPopup(), nullptr);
    press(mbRight, 1, 0);
}

}  // namespace

namespace {

// A column's own filter values: the list shows their names, a pick applies the condition behind the name.
TEST(ExCGrid, APickAmongAColumnsFilterValuesAppliesItsCondition) {
    GridOnForm<TExColumnGrid> f(460, 300, false);
    TForm& form = f.form;
    TExColumnGrid* g = f.g;
    g->SetRowCount(7);
    for (int r = 1; r <= 6; ++r) g->SetCellEx(1, r, IntToStr(r * 2));
    TGridColumnItem* col = g->Columns().Items(1);
    col->Filter().Add(u"Small=<5");
    col->Filter().Add(u"Big=>7");
    col->SetHeader(u"Value");
    g->SetAutoFilterDisplay(true);
    std::vector<std::string> picked;
    g->Tools().OnFilterSelect = [&](TObject*, int c, int i, const String& friendly, String& condition) {
        picked.push_back(std::to_string(c) + " " + std::to_string(i) + " " + StringToUtf8(friendly) + " " +
                         StringToUtf8(condition));
    };
    form.Show();
    const TRect r = g->CellRect(1, 0);
    g->FilterButtonRelease(r.Right - 8, r.Top + 5);
    TDropList* list = g->Tools().DropList();
    ASSERT_TRUE(list->Visible());
    ASSERT_EQ(list->Items().Count(), 2);
    EXPECT_EQ(list->Items()[1], u"Big");
    list->SetItemIndex(1);
    SimulateKey(VK_RETURN);
    EXPECT_EQ(picked, std::vector<std::string>{"1 1 Big >7"});
    EXPECT_EQ(g->Filter().GetColFilter(1)->Condition(), u">7");
    EXPECT_EQ(g->GetCellEx(1, 1), u"8");
    EXPECT_EQ(g->RowCount(), 4);
    EXPECT_EQ(col->Header(), u"Big");
    EXPECT_EQ(g->Row(), 1);
    EXPECT_EQ(g->FilterCol(), -1);
}

}  // namespace

namespace {

TEST(ExCGrid, AGroupedColumnComesBackWithItsSettings) {
    GridOnForm<TExColumnGrid> f(460, 300, false);
    TForm& form = f.form;
    TExColumnGrid* g = f.g;
    g->SetColCount(4);
    g->SetRowCount(5);
    for (int r = 1; r <= 4; ++r) {
        g->SetCellEx(1, r, u"n" + IntToStr(r));
        g->SetCellEx(2, r, r <= 2 ? u"A" : u"B");
        g->SetCellEx(3, r, IntToStr(r));
    }
    TGridColumnItem* col = g->Columns().Items(2);
    col->SetHeader(u"Group");
    col->SetEditor(edComboList);
    col->ComboItems().Add(u"A");
    col->SetReadOnly(true);
    col->SetColumnPopupType(cpAllCellsLClick);
    g->Columns().Items(3)->SetName(u"third");
    form.Show();
    g->Group(2);
    ASSERT_EQ(g->Columns().Count(), 3);
    EXPECT_EQ(g->Columns().Items(2)->Name(), u"third");
    g->UnGroup();
    ASSERT_EQ(g->Columns().Count(), 4);
    TGridColumnItem* back = g->Columns().Items(2);
    EXPECT_EQ(back->Header(), u"Group");
    EXPECT_EQ(back->Editor(), edComboList);
    EXPECT_EQ(back->ComboItems().Count(), 1);
    EXPECT_TRUE(back->ReadOnly());
    EXPECT_EQ(back->ColumnPopupType(), cpAllCellsLClick);
    EXPECT_EQ(g->Columns().Items(3)->Name(), u"third");
    // Grouping by another column first gives the first one back.
    g->Group(2);
    g->Group(3);
    EXPECT_EQ(g->Columns().Items(2)->Editor(), edComboList);
    g->UnGroup();
    EXPECT_EQ(g->Columns().Items(3)->Name(), u"third");
}

}  // namespace
