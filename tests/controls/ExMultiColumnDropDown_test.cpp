#include "controls/ExMultiColumnDropDown.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

namespace {

using namespace ExMultiColumnDropDown;

struct MultiColumnFixture : ::testing::Test {
    TForm form{nullptr};
    TExMultiColumnDropDown* dd = nullptr;
    int selects = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 400, 300);
        dd = new TExMultiColumnDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 160, 21);
        for (const char16_t* h : {u"Fruit", u"Colour"}) dd->Columns().Add()->Header = h;
        const char16_t* rows[][2] = {{u"Apple", u"red"},   {u"Apricot", u"orange"}, {u"Banana", u"yellow"},
                                     {u"Cherry", u"red"},  {u"Date", u"brown"},     {u"Fig", u"purple"},
                                     {u"Grape", u"green"}, {u"Lemon", u"yellow"}};
        for (auto& r : rows) {
            TDropDownItem* it = dd->Items().Add();
            it->Text().Add(r[0]);
            it->Text().Add(r[1]);
        }
        dd->BeginUpdate();
        dd->EndUpdate();
        dd->OnSelect = [this](TObject*) { ++selects; };
        form.Show();
        dd->SetFocus();
    }
    // The middle of a data row of the open list.
    TPoint RowPoint(int Row) {
        const TRect r = dd->Grid()->CellRect(0, Row);
        return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
};

TEST_F(MultiColumnFixture, ItemIndexShowsTheLookupColumn) {
    dd->SetItemIndex(2);
    EXPECT_EQ(dd->GetText(), u"Banana");
    dd->LookupColumn = 1;
    dd->SetItemIndex(3);
    EXPECT_EQ(dd->GetText(), u"red");
    dd->SetItemIndex(8);
    EXPECT_EQ(dd->ItemIndex(), 3) << "at or above the count: ignored";
    dd->SetItemIndex(-1);
    EXPECT_EQ(dd->GetText(), u"");
    EXPECT_EQ(selects, 0) << "setting the index is no pick";

    dd->LookupColumn = 0;
    EXPECT_EQ(dd->GetItemIndex(u"Cherry"), 3);
    EXPECT_EQ(dd->GetItemIndex(u"cherry"), -1) << "exact case";
    dd->Items().Add()->Text().Add(u"Kiwi");  // no colour
    EXPECT_EQ(dd->Items().IndexInColumn(1, u""), -1) << "a short item is skipped";
    dd->LookupColumn = 1;
    EXPECT_EQ(dd->GetItemIndex(u"Kiwi"), -1) << "a short item counts as empty, without an exception";
    EXPECT_EQ(dd->GetItemIndex(u""), 8);
}

TEST_F(MultiColumnFixture, PagesStepByTen) {
    for (int i = 0; i < 92; ++i) dd->Items().Add()->Text().Add(IntToStr(i));
    struct Case {
        int from;
        bool next;
        int to;
    };
    const Case cases[] = {{-1, true, 0}, {95, true, 99}, {50, true, 60}, {7, false, 0}, {-1, false, 0}, {25, false, 15}};
    for (const Case& c : cases) {
        dd->SetItemIndex(c.from);
        c.next ? dd->SelectNextPage() : dd->SelectPreviousPage();
        EXPECT_EQ(dd->ItemIndex(), c.to) << c.from << (c.next ? " next" : " previous");
    }
}

TEST_F(MultiColumnFixture, ThePopupHeightSnapsToWholeRows) {
    dd->DropDownHeader().SetVisible(true);
    dd->DropDownFooter().SetVisible(true);
    ASSERT_EQ(dd->DropDownHeader().Height(), 22);
    int h = 200;
    dd->AdjustDropDownHeight(h);
    EXPECT_EQ(h, 181) << "5 rows";
    dd->DropDownHeader().SetVisible(false);
    dd->DropDownFooter().SetVisible(false);
    h = 200;
    dd->AdjustDropDownHeight(h);
    EXPECT_EQ(h, 181) << "7 rows";
    dd->DropDownRowHeight = 0;
    h = 200;
    dd->AdjustDropDownHeight(h);
    EXPECT_EQ(h, 200) << "no row height: no snapping";
}

TEST_F(MultiColumnFixture, ColumnsStretchToThePopupWidth) {
    dd->DropDownAutoWidth = false;
    struct Case {
        std::vector<int> widths;
        int popup;
        std::vector<int> want;
    };
    // Eight items do not all show: the scroll bar (17) takes its room first.
    const Case cases[] = {
        {{100, 50}, 300, {187, 94}},
        {{10, 10, 10, 10}, 117, {24, 24, 25, 24}},
    };
    for (const Case& c : cases) {
        dd->Columns().Clear();
        for (int w : c.widths) dd->Columns().Add()->Width = w;
        dd->SetDropDownWidth(c.popup);
        dd->ShowDropDown();
        ASSERT_TRUE(dd->DroppedDown());
        ASSERT_EQ(dd->DropDownForm()->Width(), c.popup);
        for (size_t i = 0; i < c.want.size(); ++i)
            EXPECT_EQ(dd->Grid()->ColWidths(int(i)), c.want[i]) << c.popup << " column " << i;
        dd->HideDropDown(true);
    }
}

TEST_F(MultiColumnFixture, TheWheelMovesTheRowButOnlyAPickChooses) {
    dd->SetItemIndex(1);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExColGrid* g = dd->Grid();
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(g->Cells(0, 0), u"");
    const TPoint p = RowPoint(2);
    SimulateWheel(g, p.X, p.Y, -120);
    EXPECT_EQ(g->Row(), 3);
    EXPECT_EQ(dd->ItemIndex(), 1) << "the wheel does not choose";
    EXPECT_FALSE(g->ConfirmSelection());
    dd->HideDropDown(false);
    EXPECT_EQ(dd->ItemIndex(), 1) << "an accepting close keeps the item";
    EXPECT_EQ(dd->GetText(), u"Apricot");

    dd->ShowDropDown();
    const TPoint q = RowPoint(4);
    SimulateClick(dd->Grid(), q.X, q.Y);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 3);
    EXPECT_EQ(dd->GetText(), u"Cherry");
    EXPECT_EQ(selects, 1);
}

TEST_F(MultiColumnFixture, KeysInTheListMoveAndEnterPicksEscRestores) {
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->Grid()->Focused());
    SimulateKey(VK_DOWN);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(dd->ItemIndex(), 2) << "moving shows each row at once";
    EXPECT_EQ(dd->GetText(), u"Banana");
    SimulateKey(VK_TAB);
    EXPECT_TRUE(dd->DroppedDown()) << "Tab does nothing";
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->GetText(), u"Apple");

    dd->ShowDropDown();
    SimulateKey(VK_DOWN);
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(selects, 1);
}

TEST_F(MultiColumnFixture, TypingInTheOpenListFindsTheFirstMatch) {
    dd->ShowDropDown();
    SimulateText(u"a");
    EXPECT_EQ(dd->ItemIndex(), 0);
    EXPECT_EQ(dd->GetText(), u"Apple");
    EXPECT_EQ(dd->SelText(), u"pple");
    SimulateText(u"p");
    SimulateText(u"r");
    EXPECT_EQ(dd->ItemIndex(), 1);
    EXPECT_EQ(dd->LookupEntry(), u"apr");
    EXPECT_EQ(dd->Grid()->Row(), 2);
    // "aprc" continues nothing, but "c" alone begins Cherry.
    SimulateText(u"c");
    EXPECT_EQ(dd->ItemIndex(), 3);
    EXPECT_EQ(dd->LookupEntry(), u"c");
    EXPECT_EQ(dd->GetText(), u"Cherry");
    // A letter that continues and begins nothing clears the entry.
    SimulateText(u"x");
    EXPECT_EQ(dd->LookupEntry(), u"");
    EXPECT_EQ(dd->ItemIndex(), 3);
    dd->CaseSensitive = true;
    SimulateText(u"l");
    EXPECT_EQ(dd->ItemIndex(), 3) << "case counts now";
    SimulateText(u"L");
    EXPECT_EQ(dd->ItemIndex(), 7);
}

TEST_F(MultiColumnFixture, TypingInTheEditCompletesAndEnterAcceptsAnyCase) {
    dd->SetEditorEnabled(true);
    SimulateText(u"gr");
    EXPECT_EQ(dd->GetText(), u"Grape");
    EXPECT_EQ(dd->SelText(), u"ape");
    EXPECT_EQ(dd->ItemIndex(), 6);

    dd->SetText(u"BANANA");
    EXPECT_EQ(dd->GetItemIndex(u"BANANA"), -1);
    SimulateKey(VK_RETURN);
    EXPECT_EQ(dd->ItemIndex(), 2);
    EXPECT_EQ(dd->GetText(), u"Banana") << "rewritten in the item's case";

    dd->SetText(u"Mango");
    SimulateKey(VK_ESCAPE);
    EXPECT_EQ(dd->GetText(), u"") << "Esc with a text that is no item clears it";
    EXPECT_EQ(dd->ItemIndex(), -1);
}

TEST_F(MultiColumnFixture, AutoSizedAndWrappedColumns) {
    dd->Columns().Items(1)->AutoSize = true;
    dd->Columns().Items(0)->Wordwrap = true;
    dd->DropDownRowHeight = 16;
    for (int i = 0; i < dd->Items().Count(); ++i) dd->Items().Items(i)->Text().SetStrings(1, u"");
    dd->ShowDropDown();
    TExColGrid* g = dd->Grid();
    EXPECT_EQ(g->ColWidths(1) > 0, true) << "stretched after sizing";
    EXPECT_EQ(g->Columns().Items(1)->Width, 0) << "all empty: width 0";
    for (int r = 1; r < g->RowCount(); ++r) EXPECT_GE(g->RowHeights(r), 24) << r;
}

}  // namespace

namespace {

TEST_F(MultiColumnFixture, LooksSetTheListColours) {
    EXPECT_EQ(dd->LineColor, 0xF1EDEB);
    EXPECT_EQ(dd->FixedLineColor, 0xD1BBA4);
    EXPECT_EQ(dd->HeaderFont().Color(), 0x723708);
    struct Case {
        TGPKStyle style;
        TColor header, headerTo, font, lines, fixedLines, selectionText;
    };
    const Case cases[] = {
        {tsOffice2003Blue, 0xD68759, 0x933803, 0xFFFFFF, 0x962D00, 0x962D00, 0x000000},
        {tsOffice2007Luna, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF, 0xFFD2AF, 0x000000},
        {tsWindowsXP, clBtnFace, clBtnFace, 0x000000, 0xC0C0C0, 0x000000, clHighlightText},
        {tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0x000000, 0xFCF2DA, 0xFCF2DA, 0x000000},
        {tsOffice2010Blue, 0xEDDBCD, clNone, 0x5B391E, 0xEEDDCF, 0xEEDDCF, 0x000000},
        {tsTerminal, clBtnFace, clBtnFace, 0x000000, 0x808080, 0x000000, clHighlightText},
    };
    for (const Case& c : cases) {
        dd->SetComponentStyle(c.style);
        EXPECT_EQ(dd->HeaderColor, c.header) << c.style;
        EXPECT_EQ(dd->HeaderColorTo, c.headerTo) << c.style;
        EXPECT_EQ(dd->HeaderFont().Color(), c.font) << c.style;
        EXPECT_EQ(dd->LineColor, c.lines) << c.style;
        EXPECT_EQ(dd->FixedLineColor, c.fixedLines) << c.style;
        EXPECT_EQ(dd->SelectionTextColor, c.selectionText) << c.style;
    }
    EXPECT_EQ(dd->SelectionColor(), clHighlight) << "the terminal's selection";
    dd->SetComponentStyle(tsOffice2010Blue);
    EXPECT_EQ(dd->SelectionColor(), 0x6CD0FF);
    EXPECT_EQ(dd->SelectionColorTo(), 0x6CD0FF);
}

TEST_F(MultiColumnFixture, TheListPaintsColumnsHeaderAndSelection) {
    dd->Columns().Items(1)->Color = 0x00FF00;
    dd->HeaderColorTo = clNone;
    dd->HeaderColor = 0x0000FF;
    dd->SetItemIndex(0);
    dd->ShowDropDown();
    TExColGrid* g = dd->Grid();
    g->Repaint();
    TBitmap shot;
    RenderControlToBitmap(g, shot);
    const TRect data = g->CellRect(1, 3), head = g->CellRect(0, 0), sel = g->CellRect(1, 1);
    EXPECT_EQ(shot.Canvas().Pixels(data.Left + 4, data.Top + 3), 0x00FF00) << "the column's colour";
    EXPECT_EQ(shot.Canvas().Pixels(head.Left + 4, head.Top + 3), 0x0000FF) << "a plain header";
    EXPECT_NE(shot.Canvas().Pixels(sel.Left + 4, sel.Top + 3), 0x00FF00) << "the chosen row is drawn selected";

    bool asked = false;
    dd->OnDropDownGetItemText = [&](TObject* Sender, int Column, int Row, String& Text) {
        asked = asked || (Sender == dd && Column == 0 && Row == 2 && Text == u"Apricot");
    };
    g->Repaint();
    RenderControlToBitmap(g, shot);
    EXPECT_TRUE(asked);
}

}  // namespace

namespace {

TEST_F(MultiColumnFixture, ReturnIsTabTakesTheTextAndMovesOn) {
    auto* next = new TExMultiColumnDropDown(&form);
    next->SetParent(&form);
    next->SetBounds(10, 60, 160, 21);
    dd->SetEditorEnabled(true);
    dd->SetReturnIsTab(true);
    dd->SetText(u"date");
    SimulateKey(VK_RETURN);
    Application->ProcessMessages();
    EXPECT_EQ(dd->ItemIndex(), 4);
    EXPECT_EQ(dd->GetText(), u"Date");
    EXPECT_TRUE(next->Focused()) << "Enter went on as Tab";
}

}  // namespace
