#include "grid/ExGridDropDowns.h"
#include "grid/ExGridEditors.h"

#include "GridEditorForm.h"
#include "GridOnForm.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

// The grid with its button questions open to the test.
template <class G>
struct Asking : G {
    using G::G;
    using G::DoHasComboBox;
    using G::DoHasSpinEdit;
};

// A white string grid of 40 x 20 cells, no scroll bars, rendered for pixel checks.
struct PlainGrid : GridOnForm<Asking<TExStringGrid>> {
    PlainGrid() {
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    }
    // Some pixel of the right 14 pixels of cell (c, r) is not white (border 2).
    bool ButtonAt(const std::unique_ptr<TBitmap>& b, int c, int r) {
        const TRect R = g->CellRect(c, r);
        for (int y = R.Top + 3; y < R.Bottom - 3; ++y)
            for (int x = R.Right - 14; x < R.Right - 2; ++x)
                if (b->Canvas().Pixels(x + 2, y + 2) != clWhite) return true;
        return false;
    }
};

TEST(ExGridQueries, TheComboKindsShowTheirButtonAlwaysUnlessTheEventDecidesOtherwise) {
    PlainGrid f;
    f.g->SetDefaultEditor(edComboList);
    EXPECT_FALSE(f.ButtonAt(f.Render(), 1, 3));
    f.g->ControlLook().DropDownAlwaysVisible = true;
    auto b = f.Render();
    EXPECT_TRUE(f.ButtonAt(b, 1, 3));
    EXPECT_TRUE(f.ButtonAt(b, 2, 3));
    // The event answers alone, from false: also for a kind without a list.
    f.g->SetDefaultEditor(edNormal);
    f.g->OnHasComboBox = [](TObject*, int ACol, int, bool& Has) { Has = ACol == 2; };
    b = f.Render();
    EXPECT_FALSE(f.ButtonAt(b, 1, 3));
    EXPECT_TRUE(f.ButtonAt(b, 2, 3));
}

TEST(ExGridQueries, SpinButtonsShowAlwaysOnDataCellsOnly) {
    PlainGrid f;
    f.g->SetDefaultEditor(edFloatSpinEdit);
    f.g->ControlLook().SpinButtonsAlwaysVisible = true;
    auto b = f.Render();
    EXPECT_TRUE(f.ButtonAt(b, 2, 3));
    f.g->SetDefaultEditor(edComboList);
    EXPECT_FALSE(f.ButtonAt(f.Render(), 2, 3));
    // A fixed cell never gets them, whatever the event says.
    std::vector<int> asked;
    f.g->OnHasSpinEdit = [&](TObject*, int ACol, int ARow, bool& Has) {
        asked.push_back(ARow);
        Has = ACol == 2;
    };
    EXPECT_TRUE(f.g->DoHasSpinEdit(2, 3));
    EXPECT_FALSE(f.g->DoHasSpinEdit(2, 0));
    EXPECT_FALSE(f.g->DoHasSpinEdit(0, 3));
    EXPECT_FALSE(f.g->DoHasSpinEdit(1, 3));
    EXPECT_EQ(asked, (std::vector<int>{3, 3}));
    b = f.Render();
    EXPECT_TRUE(f.ButtonAt(b, 2, 3));
    EXPECT_FALSE(f.ButtonAt(b, 1, 3));
}

// A column grid answers its combo columns itself, and the event may still change the answer.
TEST(ExGridQueries, AColumnGridsComboColumnsShowTheButtonAndTheEventHasTheLastWord) {
    GridOnForm<Asking<TExColumnGrid>> f;
    f.g->Columns().Items(2)->SetEditor(edComboEdit);
    f.g->SetDefaultEditor(edComboList);
    f.g->ControlLook().DropDownAlwaysVisible = true;
    EXPECT_TRUE(f.g->DoHasComboBox(2, 3));
    EXPECT_FALSE(f.g->DoHasComboBox(1, 3));  // the grid's DefaultEditor is not asked
    EXPECT_FALSE(f.g->DoHasComboBox(2, 0));
    f.g->OnHasComboBox = [](TObject*, int ACol, int ARow, bool& Has) { Has = Has != (ACol == 2 && ARow == 4); };
    EXPECT_TRUE(f.g->DoHasComboBox(2, 3));
    EXPECT_FALSE(f.g->DoHasComboBox(2, 4));
    // Its password columns likewise.
    f.g->Columns().Items(1)->SetPassword(true);
    f.g->OnIsPasswordCell = [](TObject*, int ARow, int, bool& P) { P = P && ARow != 2; };
    EXPECT_TRUE(f.g->IsPasswordCell(1, 3));
    EXPECT_FALSE(f.g->IsPasswordCell(1, 2));
    EXPECT_FALSE(f.g->IsPasswordCell(2, 3));
}

TEST(ExGridQueries, ACellDeclaredFixedIsNotEditableAndOnlyCellsNotFixedAreAsked) {
    GridOnForm<> f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goEditing});
    std::vector<std::pair<int, int>> asked;
    f.g->OnIsFixedCell = [&](TObject*, int ARow, int ACol, bool& IsFixed) {
        asked.emplace_back(ACol, ARow);
        IsFixed = ACol == 2 && ARow == 3;
    };
    EXPECT_TRUE(f.g->IsFixed(2, 3));
    EXPECT_FALSE(f.g->IsFixed(2, 4));
    EXPECT_FALSE(f.g->IsCellEditable(2, 3));
    EXPECT_TRUE(f.g->IsCellEditable(2, 4));
    asked.clear();
    EXPECT_TRUE(f.g->IsFixed(0, 3));
    EXPECT_TRUE(f.g->IsFixed(2, 0));
    EXPECT_TRUE(asked.empty());
}

TEST(ExGridQueries, TheCellUnderTheMouseShowsTheCursorTheEventChoosesFromTheGrids) {
    GridOnForm<> f;
    f.g->SetDefaultColWidth(40);
    f.g->SetCursor(crIBeam);
    std::vector<std::string> log;
    f.g->OnGetCellCursor = [&](TObject*, int ACol, int ARow, int X, int Y, TCursor& C) {
        log.push_back(std::to_string(ACol) + " " + std::to_string(ARow) + " " + std::to_string(X) + " " +
                      std::to_string(Y) + (C == crIBeam ? " grid's" : " other"));
        if (ACol == 2) C = crHandPoint;
    };
    const TRect R2 = f.g->CellRect(2, 3), R1 = f.g->CellRect(1, 3);
    SimulateMouseMove(f.g, R2.Left + 5, R2.Top + 4);
    EXPECT_EQ(ShownCursor(), crHandPoint);
    SimulateMouseMove(f.g, R1.Left + 5, R1.Top + 4);
    EXPECT_EQ(ShownCursor(), crIBeam);
    EXPECT_EQ(log, (std::vector<std::string>{
                       "2 3 " + std::to_string(R2.Left + 5) + " " + std::to_string(R2.Top + 4) + " grid's",
                       "1 3 " + std::to_string(R1.Left + 5) + " " + std::to_string(R1.Top + 4) + " grid's"}));
}

// A descendant answering the slot sees every colour and image chosen in the open editor.
struct SelectGrid : TExColumnGrid {
    using TExColumnGrid::TExColumnGrid;
    std::vector<std::string> seen;
    void DoColorSelect(int ACol, int ARow, TColor Color, const String& Value) override {
        seen.push_back("colour " + std::to_string(ACol) + " " + std::to_string(ARow) + " " +
                       std::to_string(int(Color)) + " " + StringToUtf8(Value));
        TExColumnGrid::DoColorSelect(ACol, ARow, Color, Value);
    }
    void DoImageSelect(int ACol, int ARow, int Index) override {
        seen.push_back("image " + std::to_string(ACol) + " " + std::to_string(ARow) + " " + std::to_string(Index));
        TExColumnGrid::DoImageSelect(ACol, ARow, Index);
    }
};

struct SelectForm {
    TForm form{nullptr};
    SelectGrid* g;
    explicit SelectForm(TEditorType Kind) {
        form.SetBounds(0, 0, 500, 350);
        g = new SelectGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->Columns().Items(1)->SetEditor(Kind);
        form.Show();
        g->SetFocus();
        const TRect R = g->CellRect(1, 2);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
};

TEST(ExGridQueries, TheOpenColourDropDownsChoiceReachesTheSlotAndTheEvent) {
    SelectForm f(edColorPickerDropDown);
    f.g->SetCellEx(1, 2, u"Red");
    f.g->SetColors(1, 2, TColor(0x0000FF));
    std::vector<std::string> events;
    f.g->OnColorSelect = [&](TObject*, int ACol, int ARow, TColor Color, const String& Value) {
        events.push_back(std::to_string(ACol) + " " + std::to_string(ARow) + " " + std::to_string(int(Color)) + " " +
                         StringToUtf8(Value));
    };
    SimulateKey(VK_F2);
    TGridColorDropDown* c = f.g->ColorPickerDropDown();
    ASSERT_TRUE(c->Visible());
    EXPECT_TRUE(f.g->seen.empty());  // opening on the cell's colour chose nothing
    c->SetSelectedColor(TColor(0x00FF00));
    EXPECT_EQ(f.g->seen, std::vector<std::string>{"colour 1 2 65280 Lime"});
    EXPECT_EQ(events, std::vector<std::string>{"1 2 65280 Lime"});
}

TEST(ExGridQueries, TheOpenImageDropDownsChoiceReachesTheSlotAndTheEvent) {
    TImageList images;
    AddRedLimeBlue(images);
    SelectForm f(edImagePickerDropDown);
    f.g->SetGridImages(&images);
    f.g->AddImageIdx(1, 2, 1, haCenter, vaCenter);
    std::vector<int> events;
    f.g->OnImageSelect = [&](TObject*, int, int, int Index) { events.push_back(Index); };
    SimulateKey(VK_F2);
    TGridImageDropDown* p = f.g->ImagePickerDropDown();
    ASSERT_TRUE(p->Visible());
    EXPECT_TRUE(f.g->seen.empty());
    p->SetItemIndex(2);
    EXPECT_EQ(f.g->seen, std::vector<std::string>{"image 1 2 2"});
    EXPECT_EQ(events, std::vector<int>{2});
    SimulateKey(VK_ESCAPE);
    f.g->SetGridImages(nullptr);
}

TEST(ExGridQueries, FindParentFormClimbsToTheFormOrGivesNil) {
    GridOnForm<> f;
    TPanel* panel = new TPanel(&f.form);
    panel->SetParent(&f.form);
    TEdit* edit = new TEdit(&f.form);
    edit->SetParent(panel);
    EXPECT_EQ(TExStringGrid::FindParentForm(edit), &f.form);
    EXPECT_EQ(TExStringGrid::FindParentForm(f.g), &f.form);
    EXPECT_EQ(TExStringGrid::FindParentForm(&f.form), &f.form);
    EXPECT_EQ(TExStringGrid::FindParentForm(nullptr), nullptr);
    TEdit loose(nullptr);
    EXPECT_EQ(TExStringGrid::FindParentForm(&loose), nullptr);
}

// A descendant's hooks: another image list for column 2, and the presses it sees.
struct HookGrid : TExStringGrid {
    using TExStringGrid::TExStringGrid;
    TImageList* Column2Images = nullptr;
    std::vector<std::string> presses;
    TImageList* GetCellImageList(int ACol, int ARow) override {
        return ACol == 2 ? Column2Images : TExStringGrid::GetCellImageList(ACol, ARow);
    }
    void MouseDownHook(TMouseButton Button, TShiftState, int X, int Y) override {
        presses.push_back((Button == mbLeft ? "left " : "right ") + std::to_string(X) + " " + std::to_string(Y));
    }
};

void FillImages(TImageList& L, TColor C) {
    L.SetWidth(16);
    L.SetHeight(16);
    TBitmap b(16, 16);
    b.Canvas().Brush().SetColor(C);
    b.Canvas().FillRect(Rect(0, 0, 16, 16));
    L.Add(&b, nullptr);
}

TEST(ExGridQueries, ACellsImageComesFromTheListTheHookGivesForIt) {
    GridOnForm<HookGrid> f;
    f.g->SetDefaultColWidth(40);
    f.g->SetDefaultRowHeight(20);
    TImageList red, blue;
    FillImages(red, clRed);
    FillImages(blue, clBlue);
    f.g->SetGridImages(&red);
    f.g->Column2Images = &blue;
    f.g->AddImageIdx(1, 3, 0, haCenter, vaCenter);
    f.g->AddImageIdx(2, 3, 0, haCenter, vaCenter);
    TBitmap b;
    RenderControlToBitmap(f.g, b);
    auto centre = [&](int c) {
        const TRect R = f.g->CellRect(c, 3);
        return b.Canvas().Pixels((R.Left + R.Right) / 2 + 2, (R.Top + R.Bottom) / 2 + 2);
    };
    EXPECT_EQ(centre(1), clRed);
    EXPECT_EQ(centre(2), clBlue);
    f.g->SetGridImages(nullptr);
}

TEST(ExGridQueries, MouseDownHookSeesEveryPressOnTheGrid) {
    GridOnForm<HookGrid> f;
    SimulateMouseDown(f.g, mbLeft, 90, 50);
    SimulateMouseUp(f.g, mbLeft, 90, 50);
    SimulateMouseDown(f.g, mbRight, 130, 70);
    SimulateMouseUp(f.g, mbRight, 130, 70);
    EXPECT_EQ(f.g->presses, (std::vector<std::string>{"left 90 50", "right 130 70"}));
}

TEST(ExGridQueries, TheCurrentCellsDisplayTextPassesTheDisplayHooksOfItsBaseCell) {
    GridOnForm<> f;
    f.g->SetCellEx(2, 3, u"raw");
    f.g->MergeCells(2, 3, 2, 1);
    f.g->OnGetDisplText = [](TObject*, int ACol, int ARow, String& V) {
        if (ACol == 2 && ARow == 3) V = u"shown " + V;
    };
    f.g->FocusCell(2, 3);
    EXPECT_EQ(f.g->CurrentCell(), u"raw");
    EXPECT_EQ(f.g->GetCurrentCellText(), u"shown raw");
}

TEST(ExGridQueries, TheButtonEditorsAreReachedByTheirPublishedNames) {
    EditorForm f(edUnitEditBtn, u"5");
    ASSERT_TRUE(f.g->BtnEdit());
    ASSERT_TRUE(f.g->BtnUnitEdit());
    EXPECT_EQ(f.g->BtnEdit(), f.g->EditBtn());
    f.Open();
    EXPECT_TRUE(f.g->BtnUnitEdit()->Visible());
    EXPECT_FALSE(f.g->BtnEdit()->Visible());
}

}  // namespace

namespace {

// What OnGetCellColor sees of a cell after the grid's own rules, while the grid paints.
struct SeenLook {
    TColor brush = clNone;
    TColor font = clNone;
    bool bold = false;
};

TEST(ExGridQueries, TheCurrentCellsHeadersAndTheCellsOwnColoursReachThePainter) {
    PlainGrid f;
    f.g->SetRowCount(7);
    f.g->SetActiveCellShow(true);
    f.g->SetActiveCellColor(clAqua);
    f.g->ActiveCellFont().SetColor(clMaroon);
    f.g->FocusCell(3, 5);
    f.g->SetColors(2, 2, clYellow);
    f.g->SetFontColors(2, 2, clRed);
    f.g->AddCheckBox(1, 2, true);
    f.g->SetColors(1, 2, clYellow);
    f.g->SetFontColors(1, 2, clRed);
    std::map<std::pair<int, int>, SeenLook> seen;
    f.g->OnGetCellColor = [&](TObject*, int ARow, int ACol, TGridDrawState, TBrush& B, TFont& F) {
        seen[{ACol, ARow}] = {B.Color(), F.Color(), F.Style().Contains(fsBold)};
    };
    f.Render();
    auto at = [&](int c, int r) { return seen[std::pair{c, r}]; };
    for (auto cell : {std::pair{0, 5}, std::pair{3, 0}}) {
        EXPECT_EQ(seen[cell].brush, clAqua) << cell.first << "," << cell.second;
        EXPECT_EQ(seen[cell].font, clMaroon);
        EXPECT_TRUE(seen[cell].bold);
    }
    EXPECT_NE(at(0, 4).brush, clAqua);
    EXPECT_NE(at(2, 0).font, clMaroon);
    // A plain cell shows its own colours; a check box cell keeps the brush it was given.
    EXPECT_EQ(at(2, 2).brush, clYellow);
    EXPECT_EQ(at(2, 2).font, clRed);
    EXPECT_NE(at(1, 2).brush, clYellow);
    EXPECT_EQ(at(1, 2).font, clRed);
}

TEST(ExGridQueries, RowCheckBoxesInColumnZeroStandCentred) {
    GridOnForm<> f;
    f.g->OnGetAlignment = [](TObject*, int, int ACol, TAlignment& HA, TVAlignment&) {
        if (ACol == 2) HA = taRightJustify;
    };
    EXPECT_EQ(f.g->CellAlignment(0, 2), taLeftJustify);
    f.g->MouseActions().SetHotmailRowSelect(true);
    EXPECT_EQ(f.g->CellAlignment(0, 2), taCenter);
    EXPECT_EQ(f.g->CellAlignment(1, 2), taLeftJustify);
    EXPECT_EQ(f.g->CellAlignment(2, 2), taRightJustify);
}

}  // namespace

namespace {

// Properties made for a header cell (here by its alignment) keep its fixed
// look; a data cell's start with the grid's colour.
TEST(ExGridQueries, AHeaderCellGivenPropertiesKeepsItsFixedColourAndFont) {
    PlainGrid f;
    f.g->FixedFont().SetColor(clMaroon);
    f.g->SetCellEx(2, 0, u"MMM");
    f.g->SetCellEx(3, 0, u"MMM");
    f.g->SetAlignments(2, 0, taLeftJustify);
    auto b = f.Render();
    const TRect R2 = f.g->CellRect(2, 0), R3 = f.g->CellRect(3, 0);
    for (int y = R2.Top + 1; y < R2.Bottom - 1; ++y)
        for (int x = 1; x < 38; ++x)
            ASSERT_EQ(b->Canvas().Pixels(R2.Left + x + 2, y + 2), b->Canvas().Pixels(R3.Left + x + 2, y + 2))
                << x << "," << y;
    EXPECT_EQ(f.g->Colors(2, 0), clNone);
    EXPECT_TRUE(f.g->FontStyles(2, 0).Contains(fsBold));
    f.g->SetAlignments(2, 3, taLeftJustify);
    EXPECT_EQ(f.g->Colors(2, 3), f.g->Color());
    // The selected cell's properties take no colour: the selection paints it.
    f.g->SetAlignments(1, 1, taLeftJustify);
    EXPECT_EQ(f.g->Colors(1, 1), clNone);
}

}  // namespace

namespace {

TEST(ExGridQueries, ARefusedColumnOrRowKeepsItsSizeWhenItsBorderIsDragged) {
    GridOnForm<> f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goColSizing, goRowSizing});
    std::vector<int> refused;
    f.g->OnColumnSize = [&](TObject*, int ACol, bool& Allow) { Allow = ACol != 2; };
    f.g->OnRowSize = [&](TObject*, int ARow, bool& Allow) {
        Allow = ARow != 3;
        if (!Allow) refused.push_back(ARow);
    };
    auto drag = [&](int X, int Y, int DX, int DY) {
        SimulateMouseMove(f.g, X, Y);
        SimulateMouseDown(f.g, mbLeft, X, Y);
        SimulateMouseMove(f.g, X + DX, Y + DY, TShiftState{ssLeft});
        SimulateMouseUp(f.g, mbLeft, X + DX, Y + DY);
    };
    const int w2 = f.g->ColWidths(2), w3 = f.g->ColWidths(3);
    drag(f.g->CellRect(2, 0).Right, 8, 30, 0);
    EXPECT_EQ(f.g->ColWidths(2), w2);
    drag(f.g->CellRect(3, 0).Right, 8, 30, 0);
    EXPECT_GT(f.g->ColWidths(3), w3);
    const int h3 = f.g->RowHeights(3), h4 = f.g->RowHeights(4);
    drag(20, f.g->CellRect(0, 3).Bottom, 0, 15);
    EXPECT_EQ(f.g->RowHeights(3), h3);
    EXPECT_FALSE(refused.empty());
    drag(20, f.g->CellRect(0, 4).Bottom, 0, 15);
    EXPECT_GT(f.g->RowHeights(4), h4);
}

// Records the end of a filter pick before the grid's own handling fires the event.
template <class G>
struct FilterDoneGrid : G {
    using G::G;
    std::vector<std::string>* log = nullptr;
    void DoFilterDone() override {
        log->push_back("slot");
        G::DoFilterDone();
    }
};

// A pick in the filter list of column 1: its grid-built values, or the column's own.
template <class G>
std::vector<std::string> PickAFilter(bool AutoUpdate, const std::function<void(G&)>& Prepare) {
    std::vector<std::string> log;
    GridOnForm<FilterDoneGrid<G>> f(400, 250, false);
    f.g->log = &log;
    f.g->SetRowCount(5);
    for (int r = 1; r <= 4; ++r) f.g->SetCellEx(1, r, r % 2 ? u"odd" : u"even");
    f.g->Tools().FilterDropDownAuto = true;
    f.g->Tools().AutoFilterUpdate = AutoUpdate;
    f.g->Tools().OnFilterDone = [&](TObject* Sender) { log.push_back(Sender == f.g ? "event" : "event?"); };
    Prepare(*f.g);
    f.form.Show();
    const TRect r = f.g->CellRect(1, 0);
    f.g->FilterButtonRelease(r.Right - 8, r.Top + 5);
    TDropList* list = f.g->Tools().DropList();
    if (!list->Visible()) return {"no list"};
    list->SetItemIndex(1);
    SimulateKey(VK_RETURN);
    log.push_back(std::to_string(f.g->RowCount()) + " rows");
    return log;
}

TEST(ExGridQueries, TheEndOfAFilterPickGoesThroughTheSlotBeforeTheEvent) {
    auto plain = [](TExStringGrid&) {};
    auto ownValues = [](TExColumnGrid& g) {
        g.Columns().Items(1)->Filter().Add(u"Odd=odd");
        g.Columns().Items(1)->Filter().Add(u"Even=even");
    };
    const std::vector<std::string> done{"slot", "event", "3 rows"};
    EXPECT_EQ(PickAFilter<TExStringGrid>(true, plain), done);
    EXPECT_EQ(PickAFilter<TExColumnGrid>(true, ownValues), done);
    // Without the automatic update the filter is not applied, and nothing is done.
    EXPECT_EQ(PickAFilter<TExStringGrid>(false, plain), std::vector<std::string>{"5 rows"});
    EXPECT_EQ(PickAFilter<TExColumnGrid>(false, ownValues), std::vector<std::string>{"5 rows"});
}

}  // namespace
