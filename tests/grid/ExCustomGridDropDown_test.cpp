#include "grid/ExCustomGridDropDown.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

namespace {

using namespace ExCustomGridDropDown;

struct GridDropDownFixture : ::testing::Test {
    TForm form{nullptr};
    TCustomExGridDropDown* dd = nullptr;
    TEdit* other = nullptr;
    int selects = 0;
    // The focus leaves the drop-down and comes back.
    void Reenter() {
        other->SetFocus();
        dd->SetFocus();
    }
    void SetUp() override {
        other = new TEdit(&form);
        other->SetParent(&form);
        other->SetBounds(10, 200, 80, 21);
        form.SetBounds(100, 100, 400, 300);
        dd = new TCustomExGridDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 160, 21);
        for (const char16_t* h : {u"Fruit", u"Colour"}) dd->Columns().Add()->Header = h;
        AddItems({u"Apple", u"Apricot", u"Banana"});
        dd->OnSelect = [this](TObject*) { ++selects; };
        form.Show();
        dd->SetFocus();
    }
    void AddItems(std::initializer_list<const char16_t*> Names) {
        for (const char16_t* n : Names) {
            TDropDownItem* it = dd->Items().Add();
            it->Text().Add(n);
            it->Text().Add(String(n) + u" colour");
        }
        dd->EndUpdate();
    }
    TPoint RowPoint(int Row) {
        const TRect r = dd->GetGrid()->CellRect(0, Row);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
};

TEST_F(GridDropDownFixture, TypingCompletesAndLooksUpTheLookupColumn) {
    SimulateText(u"a");
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->GetText(), u"Apple");
    EXPECT_EQ(dd->SelText(), u"pple");
    SimulateText(u"pr");
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->GetText(), u"Apricot");
    EXPECT_EQ(dd->SelText(), u"icot");

    // Without the character lookup the completion still works.
    dd->LookupMethod = lmNone;
    dd->SetText(u"");
    SimulateText(u"b");
    EXPECT_EQ(dd->GetText(), u"Banana");
    EXPECT_EQ(dd->LookupEntry(), u"apr") << "the entry is left alone";
}

TEST_F(GridDropDownFixture, AListLooksUpCharactersWithTheSingleCharacterRetry) {
    dd->SetStyle(dsDropDownList);
    EXPECT_FALSE(dd->EditorEnabled());
    struct Case {
        const char16_t* typed;
        bool caseSensitive;
        int index;
        const char16_t* entry;
    };
    const Case cases[] = {
        {u"a", false, 0, u"a"},    {u"A", true, 0, u"A"},     {u"a", true, -1, u""},
        {u"z", false, -1, u""},    {u"apb", false, 2, u"b"},  {u"apr", false, 1, u"apr"},
    };
    for (const Case& c : cases) {
        dd->SetItemIndex(-1);
        Reenter();
        dd->CaseSensitive = c.caseSensitive;
        SimulateText(c.typed);
        EXPECT_EQ(dd->ItemIndex(), c.index) << StringToUtf8(c.typed) << " " << c.caseSensitive;
        EXPECT_EQ(dd->LookupEntry(), String(c.entry)) << StringToUtf8(c.typed);
    }
    dd->SetItemIndex(2);
    dd->CaseSensitive = false;
    SimulateText(u"z");
    EXPECT_EQ(dd->ItemIndex(), 2) << "nothing found keeps the item";
}

TEST_F(GridDropDownFixture, NarrowingDownHidesTheRowsThatDoNotMatch) {
    dd->LookupMethod = lmNarrowDown;
    dd->ShowDropDown();
    TExColGrid* g = dd->GetGrid();
    ASSERT_EQ(g->RowCount(), 4);
    dd->SetFocus();
    SimulateText(u"ap");
    EXPECT_EQ(g->RowCount(), 3) << "Apple and Apricot under the header";
    EXPECT_EQ(g->Cells(0, 1), u"Apple");
    SimulateText(u"r");
    EXPECT_EQ(g->RowCount(), 2);
    Reenter();
    EXPECT_EQ(g->RowCount(), 4) << "entering the edit lifts the filters";
}

TEST_F(GridDropDownFixture, SizesOfThePopup) {
    dd->DropDownHeader().SetVisible(false);
    dd->DropDownFooter().SetVisible(false);
    int h = 200;
    dd->AdjustDropDownHeight(h);
    EXPECT_EQ(h, 185);

    dd->Columns().Clear();
    for (int i = 0; i < 3; ++i) dd->Columns().Add()->Width = 80;
    dd->DropDownAutoWidth = false;
    dd->SetDropDownWidth(200);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExColGrid* g = dd->GetGrid();
    EXPECT_EQ(g->ColWidths(0), 66);
    EXPECT_EQ(g->ColWidths(1), 66);
    EXPECT_EQ(g->ColWidths(2), 67);
    dd->HideDropDown(true);

    g->SetColWidths(0, 50);
    g->SetColWidths(1, 60);
    g->SetColWidths(2, 70);
    EXPECT_EQ(g->GetTotalWidth(), 180);
}

TEST_F(GridDropDownFixture, PagesAndSteps) {
    for (int i = 3; i < 100; ++i) dd->Items().Add()->Text().Add(IntToStr(i));
    struct Case {
        int from;
        void (TCustomExGridDropDown::*step)();
        int to;
    };
    const Case cases[] = {{95, &TCustomExGridDropDown::SelectNextPage, 99},
                          {-1, &TCustomExGridDropDown::SelectNextPage, 0},
                          {7, &TCustomExGridDropDown::SelectPreviousPage, 0},
                          {50, &TCustomExGridDropDown::SelectPreviousPage, 40},
                          {99, &TCustomExGridDropDown::SelectNext, 99},
                          {-1, &TCustomExGridDropDown::SelectPrevious, 0}};
    for (const Case& c : cases) {
        dd->SetItemIndex(c.from);
        (dd->*c.step)();
        EXPECT_EQ(dd->ItemIndex(), c.to) << c.from;
    }
    dd->SetItemIndex(99);
    dd->SetItemIndex(100);
    EXPECT_EQ(dd->ItemIndex(), 99) << "beyond the items: ignored";
}

TEST_F(GridDropDownFixture, LoadingTheItemsCarriesTheirIndexes) {
    dd->Items().Items(1)->Text().Delete(1);  // Apricot has no colour
    dd->ShowDropDown();
    TExColGrid* g = dd->GetGrid();
    ASSERT_EQ(g->RowCount(), 4);
    EXPECT_EQ(g->Cells(0, 0), u"Fruit");
    EXPECT_EQ(g->Cells(1, 2), u"");
    EXPECT_EQ(g->Cells(1, 3), u"Banana colour");
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(dd->RowToItemIndex(r), r - 1);
    EXPECT_EQ(dd->RowToItemIndex(0), -1) << "the header";
    dd->HideDropDown(true);

    // Items removed: the grid keeps its rows, the completion its texts.
    dd->Items().Clear();
    dd->EndUpdate();
    EXPECT_EQ(dd->LookupItems().Count(), 3);
    dd->ShowDropDown();
    EXPECT_EQ(g->RowCount(), 1);
    dd->HideDropDown(true);
    dd->SetFocus();
    SimulateText(u"b");
    EXPECT_EQ(dd->GetText(), u"banana") << "completed from the kept texts";
    EXPECT_EQ(dd->ItemIndex(), -1) << "but no item is named by a text whose item is gone";
}

TEST_F(GridDropDownFixture, AutoSizedItemColumnsCountImageAndText) {
    TImageList images(16, 16);
    dd->SetImages(&images);
    TDropDownColumn* col = dd->Columns().Items(1);
    col->AutoSize = true;
    col->ColumnType = ctImage;
    TStringList t;
    t.Add(u"x");
    dd->Items().Clear();
    struct Row {
        int image;
        bool hasLine;
        const char16_t* line;
    };
    const Row rows[] = {{2, true, u""}, {2, false, u""}};
    for (const Row& r : rows) {
        TDropDownItem* it = dd->Items().Add();
        it->ImageIndex = r.image;
        it->Text().Add(u"x");
        if (r.hasLine) it->Text().Add(r.line);
    }
    dd->ShowDropDown();
    EXPECT_EQ(dd->GetGrid()->Columns().Items(1)->Width, 20) << "an image alone";
    dd->HideDropDown(true);
    dd->Items().Items(0)->Text().SetStrings(1, u"Pear");
    dd->ShowDropDown();
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(col->Font());
    EXPECT_EQ(dd->GetGrid()->Columns().Items(1)->Width, 20 + probe.Canvas().TextWidth(u"Pear") + 6);
    dd->HideDropDown(true);
    dd->Items().Delete(0);
    dd->ShowDropDown();
    EXPECT_EQ(dd->GetGrid()->Columns().Items(1)->Width, 0) << "no line: nothing to measure";
}

TEST_F(GridDropDownFixture, AClickPicksTheRowAndCloses) {
    dd->ShowDropDown();
    const TPoint p = RowPoint(3);
    SimulateClick(dd->GetGrid(), p.X, p.Y);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(dd->GetText(), u"Banana");
    EXPECT_EQ(selects, 1);

    // A click on the header picks nothing.
    dd->ShowDropDown();
    const TPoint h = RowPoint(0);
    SimulateClick(dd->GetGrid(), h.X, h.Y);
    EXPECT_TRUE(dd->DroppedDown());
    EXPECT_EQ(selects, 1);
}

TEST_F(GridDropDownFixture, EnterAtOnceKeepsTheItemAndTheWheelDoesNotChoose) {
    AddItems({u"Cherry", u"Date", u"Fig"});
    dd->SetItemIndex(5);
    dd->ShowDropDown();
    TExColGrid* g = dd->GetGrid();
    ASSERT_TRUE(g->Focused());
    EXPECT_EQ(g->Row(), 6);
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 5);
    EXPECT_EQ(selects, 1);

    dd->SetItemIndex(1);
    dd->ShowDropDown();
    const TPoint p = RowPoint(2);
    SimulateWheel(g, p.X, p.Y, -120);
    EXPECT_GT(g->Row(), 2);
    EXPECT_EQ(dd->ItemIndex(), 1);
    dd->HideDropDown(false);
    EXPECT_EQ(dd->ItemIndex(), 1) << "an accepting close after the wheel keeps the item";
}

TEST_F(GridDropDownFixture, GridKeyEventsComeFromTheDropDown) {
    AddItems({u"Cherry", u"Date", u"Fig", u"Grape", u"Kiwi", u"Lemon", u"Mango", u"Olive", u"Pear"});
    std::vector<TObject*> senders;
    dd->OnGridKeyDown = [&](TObject* Sender, Word&, TShiftState) { senders.push_back(Sender); };
    dd->OnGridKeyPress = [&](TObject* Sender, Char&) { senders.push_back(Sender); };
    dd->OnGridTopLeftChanged = [&](TObject* Sender) { senders.push_back(Sender); };
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    for (int i = 0; i < 8; ++i) SimulateKey(VK_DOWN);
    EXPECT_EQ(dd->ItemIndex(), 8);
    ASSERT_FALSE(senders.empty());
    for (TObject* s : senders) EXPECT_EQ(s, dd);
    // Typing in the list looks up and moves the row.
    SimulateText(u"k");
    EXPECT_EQ(dd->ItemIndex(), 7);
    EXPECT_EQ(dd->GetGrid()->Row(), 8);
}

}  // namespace

namespace {

TEST_F(GridDropDownFixture, GridModeReadsTheOwnersRows) {
    dd->UseItems = false;
    dd->LookupColumn = 1;
    TExColGrid* g = dd->GetGrid();
    g->SetColCount(2);
    g->SetRowCount(4);
    const char16_t* rows[][2] = {{u"1", u"North"}, {u"2", u"South"}, {u"3", u"Sunset"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) g->SetCellEx(c, r + 1, rows[r][c]);
    String found;
    int index = -1;
    EXPECT_TRUE(dd->LookupPrefix(u"su", found, index));
    EXPECT_EQ(found, u"Sunset");
    EXPECT_EQ(index, 3) << "the row";
    EXPECT_FALSE(dd->LookupPrefix(u"", found, index)) << "an empty text matches nothing";

    dd->SetItemIndex(1);
    EXPECT_EQ(dd->GetText(), u"South");
    dd->SetItemIndex(3);
    EXPECT_EQ(dd->ItemIndex(), 1) << "beyond the data rows: ignored";
    dd->SelectNext();
    EXPECT_EQ(dd->GetText(), u"Sunset");

    // Opening finds the row of the text; a click reads the row's cell.
    dd->SetText(u"Nor");
    dd->ShowDropDown();
    EXPECT_EQ(g->Row(), 1);
    const TPoint p = RowPoint(2);
    SimulateClick(g, p.X, p.Y);
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->GetText(), u"South");
    EXPECT_EQ(selects, 1);
}

TEST_F(GridDropDownFixture, LooksSetTheListColours) {
    struct Case {
        TGPKStyle style;
        TColor header, headerTo, font, lines, fixedLines, selectionText;
    };
    const Case cases[] = {
        {tsOffice2003Blue, 0xD68759, 0x933803, 0xFFFFFF, 0x962D00, 0x962D00, 0},
        {tsOffice2003Silver, 0xBDA4A5, 0x957475, 0xFFFFFF, 0x947C7C, 0x947C7C, 0},
        {tsWindowsXP, clBtnFace, clBtnFace, 0x000000, 0xC0C0C0, 0x000000, clHighlightText},
        {tsWindows7, 0xFDFBFA, 0xFDF3EB, 0x000000, 0xFBD6B8, 0xFBD6B8, 0},
        {tsOffice2010Blue, 0xFDFBFA, 0xFDF3EB, 0x000000, 0xFBD6B8, 0xFBD6B8, 0},
    };
    EXPECT_EQ(dd->LineColor, 0xF1EDEB);
    EXPECT_EQ(dd->HeaderFont().Color(), 0x723708);
    for (const Case& c : cases) {
        dd->SetComponentStyle(c.style);
        EXPECT_EQ(dd->HeaderColor, c.header) << c.style;
        EXPECT_EQ(dd->HeaderColorTo, c.headerTo) << c.style;
        EXPECT_EQ(dd->HeaderFont().Color(), c.font) << c.style << " (silver keeps the font)";
        EXPECT_EQ(dd->LineColor, c.lines) << c.style;
        EXPECT_EQ(dd->FixedLineColor, c.fixedLines) << c.style;
        EXPECT_EQ(dd->SelectionTextColor, c.selectionText) << c.style;
    }
    dd->SetComponentStyle(tsWindowsXP);
    EXPECT_EQ(dd->SelectionColor(), clHighlight);
}

}  // namespace
