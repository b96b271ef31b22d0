#include "controls/ExColorPickerDropDown.h"

#include "framework/Forms.h"
#include "framework/Resources.h"
#include "framework/Simulate.h"
#include "framework/Windows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

int Channel(TColor c, int shift) { return (c >> shift) & 0xFF; }

// ---------------------------------------------------------------------------
// The honeycomb
// ---------------------------------------------------------------------------
struct CubeFixture : ::testing::Test {
    TForm form{nullptr};
    TExColorCubePanel* cube = nullptr;
    int selects = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 250);
        cube = new TExColorCubePanel(&form);
        cube->SetParent(&form);
        cube->OnSelect = [this](TObject*) { ++selects; };
        form.Show();
    }
};

TEST_F(CubeFixture, CellsLieRowByRowAndAreHitWithinTheirCircle) {
    EXPECT_EQ(cube->Width(), 182);
    EXPECT_EQ(cube->Height(), 160);
    struct Case {
        int cell, x, y;
        TColor colour;
    };
    const Case cells[] = {
        {1, 55, 20, 0x663300},   {7, 127, 20, 0x660000},  {58, 19, 80, 0x003300},  {64, 91, 80, 0xFFFFFF},
        {70, 163, 80, 0x660066}, {71, 25, 90, 0x006633},  {118, 109, 130, 0x0000FF}, {121, 55, 140, 0x003366},
        {127, 127, 140, 0x2100A5},
    };
    for (const Case& c : cells) {
        EXPECT_EQ(cube->Cell(c.cell).Center.X, c.x) << c.cell;
        EXPECT_EQ(cube->Cell(c.cell).Center.Y, c.y) << c.cell;
        EXPECT_EQ(cube->Cell(c.cell).Color, c.colour) << c.cell;
        EXPECT_EQ(cube->CellAtPos(c.x, c.y), c.cell);
    }
    EXPECT_EQ(cube->CellAtPos(91 + 6, 80), 64) << "the rim of the circle";
    EXPECT_EQ(cube->CellAtPos(91 + 5, 80 + 4), -1) << "outside every circle";
    EXPECT_EQ(cube->CellAtPos(2, 2), -1);
}

TEST_F(CubeFixture, SelectedColorMarksTheFirstCellOfThatColour) {
    cube->SetSelectedColor(0x0000FF);
    EXPECT_EQ(cube->SelectedIndex(), 118);
    cube->SetSelectedColor(0x123456);
    EXPECT_EQ(cube->SelectedIndex(), -1);
    EXPECT_EQ(cube->SelectedColor(), 0x123456);
    cube->SelectColor(0x123456, 5);
    EXPECT_EQ(cube->SelectedIndex(), 5) << "an index names the cell";
}

TEST_F(CubeFixture, HoverHintsTheColourAndAClickChoosesTheCell) {
    SimulateMouseMove(cube, 109, 130);
    EXPECT_EQ(cube->HotIndex(), 118);
    EXPECT_EQ(cube->Hint(), u"Red: 255,  Green: 0,  Blue: 0");
    const TPoint c13 = cube->Cell(13).Center;
    SimulateMouseMove(cube, c13.X, c13.Y);
    EXPECT_EQ(cube->Hint(), u"Red: 0,  Green: 0,  Blue: 255");
    SimulateMouseMove(cube, 2, 2);
    EXPECT_EQ(cube->HotIndex(), 13) << "over no cell the hot cell stays";
    EXPECT_EQ(cube->Hint(), u"");

    SimulateClick(cube, 91, 80);
    EXPECT_EQ(cube->SelectedIndex(), 64);
    EXPECT_EQ(cube->SelectedColor(), 0xFFFFFF);
    EXPECT_EQ(selects, 1);
    SimulateClick(cube, 2, 2);
    EXPECT_EQ(cube->SelectedIndex(), 64) << "a click on no cell changes nothing";
    EXPECT_EQ(selects, 1);

    // The cells are painted in their colours, the selected one framed.
    cube->ResetPanel();
    cube->Repaint();
    TBitmap shot;
    RenderControlToBitmap(cube, shot);
    EXPECT_EQ(shot.Canvas().Pixels(109, 130), 0x0000FF);
    EXPECT_EQ(shot.Canvas().Pixels(91 - 5, 80), 0x000000) << "the selected frame";
}

// ---------------------------------------------------------------------------
// The spectrum
// ---------------------------------------------------------------------------
TEST(ColorSpectrum, ThePictureHoldsItsTellingPixels) {
    TBitmap b;
    LoadBitmapResource(b, u"GPK_SPECTRUM");
    ASSERT_EQ(b.Width(), 128);
    ASSERT_EQ(b.Height(), 128);
    const int columns[] = {0, 21, 43, 64, 85, 107, 127};
    const struct {
        int row;
        TColor pixels[7];
    } rows[] = {
        {0, {0xFDFDFE, 0xFCFDFD, 0xFCFEFD, 0xFDFEFD, 0xFEFDFD, 0xFEFDFE, 0xFDFCFE}},
        {32, {0x5E5FEA, 0x5EEAE6, 0x63EB5D, 0xE8EB5E, 0xE95F5D, 0xEA5DE5, 0x5F5EEB}},
        {64, {0x0006FF, 0x00FFF8, 0x09FF00, 0xFAFF00, 0xFF0200, 0xFF00F7, 0x0400FF}},
        {96, {0x1C1DAA, 0x1CAAA6, 0x22AA1C, 0xA8AA1C, 0xA91C1B, 0xAA1CA5, 0x1E1CAA}},
        {127, {0x000003, 0x000303, 0x000200, 0x030200, 0x030000, 0x020002, 0x000003}},
    };
    for (const auto& r : rows)
        for (int i = 0; i < 7; ++i) {
            const TColor got = b.Canvas().Pixels(columns[i], r.row), want = r.pixels[i];
            for (int shift : {0, 8, 16})
                EXPECT_LE(std::abs(Channel(got, shift) - Channel(want, shift)), 6)
                    << "row " << r.row << " column " << columns[i] << " shift " << shift;
        }
}

TEST(ColorSpectrum, HoverShowsThePixelAndAClickChoosesIt) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 250);
    auto* panel = new TExColorSpectrumPanel(&form);
    panel->SetParent(&form);
    int selects = 0;
    panel->OnSelect = [&](TObject*) { ++selects; };
    form.Show();

    EXPECT_EQ(panel->Width(), 150);
    EXPECT_EQ(panel->Height(), 174);
    EXPECT_EQ(panel->SpectrumImage()->BoundsRect(), Rect(11, 10, 139, 138));
    EXPECT_EQ(panel->SelectedRect(), Rect(10, 146, 73, 166));
    EXPECT_EQ(panel->HotRect(), Rect(77, 146, 140, 166));
    EXPECT_EQ(panel->SelectedColor(), 0xFFFFFF);
    TCursorResource pipette;
    ASSERT_TRUE(Screen->Cursors(crPipette, pipette));
    EXPECT_EQ(pipette.HotSpot, (TPoint{1, 30}));

    // A click without a move over the picture chooses no colour.
    TImage* image = panel->SpectrumImage();
    SimulateMouseDown(image, mbLeft, 64, 64);
    SimulateMouseUp(image, mbLeft, 64, 64);
    EXPECT_EQ(panel->SelectedColor(), clNone);
    EXPECT_EQ(selects, 1);

    SimulateMouseMove(image, 85, 64);
    const TColor blue = panel->HotColor();
    EXPECT_GE(Channel(blue, 16), 0xF9);
    EXPECT_LE(Channel(blue, 0), 6);
    SimulateClick(image, 85, 64);
    EXPECT_EQ(panel->SelectedColor(), blue);
    panel->Repaint();
    TBitmap shot;
    RenderControlToBitmap(panel, shot);
    EXPECT_EQ(shot.Canvas().Pixels(40, 156), blue) << "the selected swatch";
    panel->ResetPanel();
    EXPECT_EQ(panel->HotColor(), clNone);
    EXPECT_EQ(panel->SelectedColor(), blue) << "kept across resets";
}

// ---------------------------------------------------------------------------
// The discrete selector
// ---------------------------------------------------------------------------
struct ColorSelectorFixture : ::testing::Test {
    TForm form{nullptr};
    TCustomColorSelector* sel = nullptr;
    int selects = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 250);
        sel = new TCustomColorSelector(&form);
        sel->SetParent(&form);
        sel->OnItemSelect = [this](TObject*) { ++selects; };
        form.Show();
    }
};

TEST_F(ColorSelectorFixture, ThePaletteIsLaidOutInRowsAndStrips) {
    sel->ArrangeItems();
    EXPECT_EQ(sel->Width(), 100);
    EXPECT_EQ(sel->Height(), 50);
    sel->LoadThemeColors();
    sel->ArrangeItems();
    ASSERT_EQ(sel->Items().Count(), 60);
    EXPECT_EQ(sel->Width(), 165);
    EXPECT_EQ(sel->Height(), 84);
    EXPECT_EQ(sel->GetItemRect(0), Rect(4, 4, 16, 16));
    EXPECT_EQ(sel->GetItemRect(1).Left, 20) << "boxes in a row stand 4 apart";
    EXPECT_EQ(sel->GetItemRect(10).Top, 20) << "a gap below the standalone row";
    for (int i = 20; i < 60; ++i) EXPECT_EQ(sel->GetItemRect(i).Top, sel->GetItemRect(i - 10).Bottom) << i;
    EXPECT_EQ(sel->Items().Items(10)->ColorBoxPos, ipTop);
    EXPECT_EQ(sel->Items().Items(59)->ColorBoxPos, ipBottom);

    sel->SetSelectedColor(0x7F7F7F);
    EXPECT_EQ(sel->ItemIndex(), 11) << "the first of two boxes with that colour";
    EXPECT_EQ(selects, 1);
    sel->SetItemIndex(60);
    EXPECT_EQ(sel->ItemIndex(), 11) << "beyond the boxes: refused";
    sel->SetSelectedColor(clNone);
    EXPECT_EQ(sel->ItemIndex(), -1);
}

TEST_F(ColorSelectorFixture, ADisabledBoxIsNeitherHotNorSelected) {
    sel->LoadThemeColors();
    sel->ArrangeItems();
    sel->Items().Items(1)->Enabled = false;
    sel->SetItemIndex(1);
    EXPECT_EQ(sel->ItemIndex(), -1);
    const TRect r = sel->GetItemRect(1);
    SimulateMouseMove(sel, r.Left + 3, r.Top + 3);
    EXPECT_EQ(sel->ItemHot(), -1);
    SimulateClick(sel, r.Left + 3, r.Top + 3);
    EXPECT_EQ(sel->ItemIndex(), -1);
    sel->SetItemIndex(0);
    sel->HandleKey(VK_RIGHT, false, true);
    EXPECT_EQ(sel->ItemIndex(), 0) << "the step onto a disabled box is refused";
    const TRect r2 = sel->GetItemRect(2);
    SimulateClick(sel, r2.Left + 3, r2.Top + 3);
    EXPECT_EQ(sel->ItemIndex(), 2);
}

TEST_F(ColorSelectorFixture, HandleKeyMovesByBoxesAndRows) {
    sel->LoadThemeColors();
    sel->ArrangeItems();
    struct Case {
        int from;
        Word key;
        bool editor, open;
        int to;
    };
    const Case cases[] = {
        {-1, VK_UP, false, true, 0},     {-1, VK_DOWN, false, true, 0},  {25, VK_UP, false, true, 15},
        {25, VK_DOWN, false, true, 35},  {55, VK_DOWN, false, true, 55}, {5, VK_UP, false, true, 5},
        {25, VK_UP, false, false, 24},   {25, VK_DOWN, false, false, 26}, {25, VK_LEFT, false, false, 24},
        {25, VK_LEFT, true, false, 25},  {25, VK_RIGHT, true, true, 26}, {25, VK_PRIOR, false, true, 0},
        {25, VK_END, false, false, 59},  {59, VK_RIGHT, false, true, 59}, {0, VK_LEFT, false, true, 0},
        {25, VK_TAB, false, true, 25},
    };
    for (const Case& c : cases) {
        sel->SetItemIndex(c.from);
        sel->HandleKey(c.key, c.editor, c.open);
        EXPECT_EQ(sel->ItemIndex(), c.to) << "from " << c.from << " key " << c.key << " open " << c.open;
    }
    sel->SetEnabled(false);
    sel->HandleKey(VK_HOME, false, true);
    EXPECT_EQ(sel->ItemIndex(), 25) << "a disabled selector takes no keys";
}

// ---------------------------------------------------------------------------
// The picker
// ---------------------------------------------------------------------------
TEST(WebColorNames, TheTableHas138DistinctNamesAndValues) {
    std::set<String> names;
    std::set<unsigned> values;
    for (const TWebColor& w : WebColors) {
        ASSERT_NE(w.Name, nullptr);
        names.insert(w.Name);
        values.insert(w.RRGGBB);
    }
    EXPECT_EQ(names.size(), 138u);
    EXPECT_EQ(values.size(), 138u);
    EXPECT_EQ(WebColorName(0xFFFFFF), u"clWebWhite");
    EXPECT_EQ(WebColorName(0x00FFFF), u"clWebYellow");
    EXPECT_EQ(WebColorName(0xED9564), u"clWebCornFlowerBlue");
    EXPECT_EQ(WebColorName(0x123456), u"#563412");
}

struct ColorPickerFixture : ::testing::Test {
    TForm form{nullptr};
    TExColorPickerDropDown* dd = nullptr;
    int selects = 0;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 200);
        dd = new TExColorPickerDropDown(&form);
        dd->SetParent(&form);
        dd->SetBounds(10, 10, 140, 24);
        dd->AddDefaultColors();
        dd->OnSelect = [this](TObject*) { ++selects; };
        form.Show();
        dd->SetFocus();
    }
};

TEST_F(ColorPickerFixture, SelectedColorFindsItsEntryAndTheTextFollowsTheForm) {
    ASSERT_EQ(dd->Colors().Count(), 16);
    EXPECT_EQ(dd->Colors().GetItem(8)->Caption(), u"Silver");
    dd->SetSelectedColor(0x0000FF);
    EXPECT_EQ(dd->ItemIndex(), 9);
    EXPECT_EQ(dd->SelectedColorText(), u"Red");
    EXPECT_EQ(selects, 1);

    dd->SetSelectedColor(0x123456);
    EXPECT_EQ(dd->ItemIndex(), -1) << "no entry, and never the earlier entry's caption";
    const struct {
        TColorValueText form;
        const char16_t* text;
    } texts[] = {{cvtNone, u""},
                 {cvtHTML, u"#563412"},
                 {cvtHex, u"123456"},
                 {cvtRGB, u"Red:86,Green:52,Blue:18"},
                 {cvtWebName, u"#563412"}};
    for (const auto& t : texts) {
        dd->SetColorValueText(t.form);
        EXPECT_EQ(dd->SelectedColorText(), t.text) << int(t.form);
    }
    dd->SetSelectedColor(clHighlight);
    dd->SetColorValueText(cvtHex);
    EXPECT_EQ(dd->SelectedColorText().size(), 8u) << "a system colour in full";
    dd->SetColorValueText(cvtHTML);
    EXPECT_EQ(dd->SelectedColorText()[0], u'#') << "a system colour by its value";

    dd->SetSelectedColor(0x00FF00);
    const int before = selects;
    dd->SetItemIndex(16);
    EXPECT_EQ(dd->ItemIndex(), 10) << "at or above the count: ignored";
    EXPECT_EQ(selects, before);
    dd->SetItemIndex(-1);
    EXPECT_EQ(dd->SelectedColor(), 0x00FF00) << "clearing the entry keeps the colour";
    EXPECT_EQ(selects, before + 1);
}

TEST_F(ColorPickerFixture, TheEditShowsTheColourBoxAndText) {
    dd->SetSelectedColor(0xFF0000);
    dd->Repaint();
    TBitmap shot;
    RenderControlToBitmap(dd, shot);
    // The box: 14 x 14 from x 5, centred down the edit.
    const int top = 1 + (dd->Height() - 14) / 2;
    EXPECT_EQ(shot.Canvas().Pixels(5 + 7, top + 7), 0xFF0000);
    EXPECT_EQ(shot.Canvas().Pixels(5, top + 7), 0x000000) << "its black frame";

    bool drawn = false;
    dd->OnDrawSelectedColor = [&](TObject* Sender, TCanvas& Canvas, TRect R) {
        drawn = Sender == dd && R == Rect(1, 1, dd->Width() - dd->DropDownButtonWidth() - 2, dd->Height() - 2);
        Canvas.Brush().SetColor(0x00FF00);
        Canvas.FillRect(R);
    };
    dd->Repaint();
    RenderControlToBitmap(dd, shot);
    EXPECT_TRUE(drawn);
    EXPECT_EQ(shot.Canvas().Pixels(5 + 7, top + 7), 0x00FF00);
}

TEST_F(ColorPickerFixture, ListKeysMoveInsideThePopupAndEscRestores) {
    dd->SetItemIndex(3);
    selects = 0;
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    ASSERT_NE(dd->ItemSelector(), nullptr);
    EXPECT_EQ(dd->ItemSelector()->Items().Count(), 16);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(dd->ItemIndex(), 4);
    EXPECT_EQ(selects, 1);
    EXPECT_TRUE(dd->DroppedDown()) << "a key move does not close";
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 4);
    EXPECT_EQ(selects, 2);

    dd->ShowDropDown();
    SimulateKey(VK_END);
    SimulateKey(VK_UP);
    EXPECT_EQ(dd->ItemIndex(), 14);
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->ItemIndex(), 4);
    EXPECT_EQ(dd->SelectedColor(), 0x800000);

    // Closed: the arrows and the wheel step through the entries.
    SimulateKey(VK_DOWN);
    EXPECT_EQ(dd->ItemIndex(), 5);
    SimulateWheel(dd, 5, 5, -120);
    EXPECT_EQ(dd->ItemIndex(), 6);
    SimulateKey(VK_HOME);
    EXPECT_EQ(dd->ItemIndex(), 0);
}

TEST_F(ColorPickerFixture, TypedLettersSearchForHalfASecond) {
    dd->ShowDropDown();
    SimulateKey('B');
    EXPECT_EQ(dd->CurSearch(), u"B");
    EXPECT_EQ(dd->ItemIndex(), 0) << "Black";
    SimulateKey('L');
    SimulateKey('U');
    EXPECT_EQ(dd->CurSearch(), u"BLU");
    EXPECT_EQ(dd->ItemIndex(), 12) << "Blue";
    EXPECT_TRUE(dd->DroppedDown());
    ASSERT_TRUE(dd->KeyTimer().Enabled());
    dd->KeyTimer().Tick();
    EXPECT_EQ(dd->CurSearch(), u"");
    EXPECT_FALSE(dd->KeyTimer().Enabled());
    SimulateKey('W');
    EXPECT_EQ(dd->ItemIndex(), 15) << "a new search after the pause";
}

TEST_F(ColorPickerFixture, ACubeClickSetsTheColourAndCloses) {
    dd->SetColorValueText(cvtHTML);
    dd->SetColorSelectionStyle(csColorCube);
    dd->ShowDropDown();
    ASSERT_TRUE(dd->DroppedDown());
    TExColorCubePanel* cube = dd->CubePanel();
    ASSERT_NE(cube, nullptr);
    EXPECT_TRUE(cube->Visible());
    EXPECT_FALSE(dd->ItemSelector()->Visible());
    EXPECT_FALSE(dd->DropDownForm()->Sizeable());
    EXPECT_EQ(dd->DropDownForm()->Width(), 182 + 2);
    EXPECT_EQ(dd->DropDownForm()->Height(), 160 + 2);
    selects = 0;
    const TPoint c = cube->Cell(118).Center;
    SimulateClick(cube, c.X, c.Y);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->SelectedColor(), 0x0000FF);
    EXPECT_EQ(dd->ItemIndex(), -1) << "the entry found for red is let go again";
    EXPECT_EQ(dd->SelectedColorText(), u"#FF0000");
    EXPECT_EQ(selects, 2);
}

TEST_F(ColorPickerFixture, TheDiscretePaletteChoosesByKeysAndEscRestores) {
    dd->SetSelectedColor(0x123456);  // in no box of the palette
    dd->SetColorSelectionStyle(csDiscrete);
    dd->ShowDropDown();
    TCustomColorSelector* sel = dd->ColorSelector();
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(dd->DropDownForm()->Width(), 165 + 2);
    EXPECT_EQ(dd->DropDownForm()->Height(), 84 + 2);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(sel->ItemIndex(), 0);
    EXPECT_EQ(dd->SelectedColor(), 0xFFFFFF);
    SimulateKey(VK_DOWN);
    EXPECT_EQ(dd->SelectedColor(), 0xF2F2F2) << "one row down";
    EXPECT_TRUE(dd->DroppedDown());
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->SelectedColor(), 0x123456) << "back to the colour held at the opening";

    // Closed, wheel and keys step on from the picker's own colour.
    dd->SetSelectedColor(0x000000);
    SimulateWheel(dd, 5, 5, -120);
    EXPECT_EQ(dd->SelectedColor(), 0xE1ECEE);
    dd->SetSelectedColor(0xBD814F);
    SimulateKey(VK_LEFT);
    EXPECT_EQ(dd->SelectedColor(), 0x7D491F);

    dd->ShowDropDown();
    const TRect r = sel->GetItemRect(5);
    SimulateClick(sel, r.Left + 3, r.Top + 3);
    EXPECT_FALSE(dd->DroppedDown());
    EXPECT_EQ(dd->SelectedColor(), 0x4D50C0);
}

}  // namespace

namespace {

TEST_F(ColorPickerFixture, SwitchingStylesShowsOneControlAndListEntriesCanBeDrawnByTheOwner) {
    dd->SetColorSelectionStyle(csSpectrum);
    ASSERT_NE(dd->SpectrumPanel(), nullptr);
    EXPECT_TRUE(dd->SpectrumPanel()->Visible());
    EXPECT_EQ(dd->DropDownForm()->Width(), 150 + 2) << "sized when the style is set";
    dd->SetColorSelectionStyle(csList);
    EXPECT_TRUE(dd->ItemSelector()->Visible());
    EXPECT_FALSE(dd->SpectrumPanel()->Visible());

    std::vector<int> drawn;
    dd->OnDrawColor = [&](TObject* Sender, TCanvas&, TRect, int Index) {
        if (Sender == dd) drawn.push_back(Index);
    };
    dd->ShowDropDown();
    EXPECT_TRUE(dd->DropDownForm()->Sizeable()) << "only the list can be sized";
    dd->ItemSelector()->Panel()->Repaint();
    TBitmap shot;
    RenderControlToBitmap(dd->ItemSelector()->Panel(), shot);
    EXPECT_FALSE(drawn.empty());
    dd->HideDropDown(true);
}

}  // namespace
