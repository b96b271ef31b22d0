#include "grid/ExGridDropDowns.h"
#include "grid/ExGridEditors.h"

#include "GridEditorForm.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The editor form with the drop-down open.
struct DropForm : EditorForm {
    DropForm(TEditorType Kind, const String& Text, TColor CellColor = clNone) : EditorForm(Kind, Text) {
        if (CellColor != clNone) g->SetColors(1, 2, CellColor);
        Open();
    }
};

TEST(GridDropDowns, EscapeRestoresTheCellInEveryWrapper) {
    struct Case {
        TEditorType kind;
        const char16_t* cell;
    };
    const Case cases[] = {{edTrackbarDropDown, u"4"},  {edMemoDropDown, u"memo"},     {edCalculatorDropDown, u"12"},
                          {edTimePickerDropDown, u"10:30:00"}, {edDetailDropDown, u"detail"}, {edImagePickerDropDown, u"pic"},
                          {edGridDropDown, u"grid"}, {edExGridDropDown, u"exgrid"}, {edColorPickerDropDown, u"Red"}};
    for (const Case& c : cases) {
        // A colour cell's text is the name of its colour.
        DropForm f(c.kind, c.cell, c.kind == edColorPickerDropDown ? TColor(0x0000FF) : clNone);
        TExCustomDropDown* d = nullptr;
        for (int i = 0; i < f.g->ControlCount(); ++i)
            if (auto* dd = dynamic_cast<TExCustomDropDown*>(f.g->Controls(i)); dd && dd->Visible()) d = dd;
        ASSERT_TRUE(d) << int(c.kind);
        EXPECT_TRUE(d->Focused()) << int(c.kind);
        d->SetText(u"changed");
        SimulateKey(VK_ESCAPE);
        EXPECT_FALSE(d->Visible()) << int(c.kind);
        EXPECT_EQ(f.g->GetCellEx(1, 2), String(c.cell)) << int(c.kind);
        EXPECT_TRUE(f.g->Focused()) << int(c.kind);
    }
}

TEST(GridDropDowns, ATrackBarCellsUpWithThePopupClosedValidatesWritesAndMovesUp) {
    DropForm f(edTrackbarDropDown, u"5");
    TGridTrackbarDropDown* t = f.g->TrackbarDropDown();
    ASSERT_TRUE(t->Visible());
    EXPECT_EQ(t->Position(), 5);
    t->SetText(u"7");
    SimulateKey(VK_UP);
    EXPECT_FALSE(t->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"7");
    EXPECT_EQ(f.log, std::vector<std::string>{"validate 2 7"});
    EXPECT_EQ(f.g->Row(), 1);
}

TEST(GridDropDowns, ACalculatorCellWritesThePendingSumOnEnter) {
    DropForm f(edCalculatorDropDown, u"0");
    TGridCalculatorDropDown* c = f.g->CalculatorDropDown();
    ASSERT_TRUE(c->Visible());
    SimulateText(u"2+3");
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(c->Visible());
    // The calculator shows its results with its default two decimals.
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"5.00");
}

TEST(GridDropDowns, AColourCellsOpenPaletteKeepsTheArrowsAndEnterWritesTheChosenColour) {
    DropForm f(edColorPickerDropDown, u"Red", TColor(0x0000FF));
    TGridColorDropDown* c = f.g->ColorPickerDropDown();
    ASSERT_TRUE(c->Visible());
    EXPECT_EQ(c->SelectedColor(), TColor(0x0000FF));
    std::vector<std::string> selected;
    f.g->OnColorSelected = [&](TObject*, int ACol, int ARow, TColor& Color, String& Value) {
        selected.push_back(std::to_string(ACol) + " " + std::to_string(ARow) + " " + StringToUtf8(Value));
        (void)Color;
    };
    SimulateKey(VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(c->DroppedDown());
    // One column of the sixteen colours: Down goes from Red to Lime.
    SimulateKey(VK_DOWN);
    EXPECT_TRUE(c->Visible());
    EXPECT_TRUE(c->DroppedDown());
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"Lime");
    EXPECT_EQ(f.g->Colors(1, 2), TColor(0x00FF00));
    EXPECT_EQ(selected, std::vector<std::string>{"1 2 Lime"});
    EXPECT_EQ(f.log.size(), 1u);
}

TEST(GridDropDowns, EscapeOverTheOpenPaletteKeepsTheCellsColourAndText) {
    DropForm f(edColorPickerDropDown, u"Red", TColor(0x0000FF));
    TGridColorDropDown* c = f.g->ColorPickerDropDown();
    SimulateKey(VK_DOWN, TShiftState{ssAlt});
    ASSERT_TRUE(c->DroppedDown());
    SimulateKey(VK_DOWN);
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"Red");
    EXPECT_EQ(f.g->Colors(1, 2), TColor(0x0000FF));
    EXPECT_TRUE(f.g->Focused());
}

TEST(GridDropDowns, AClosedColourPickersPagingAndHomeKeysCommitWithoutValidation) {
    for (Word key : {Word(VK_HOME), Word(VK_PRIOR), Word(VK_NEXT)}) {
        DropForm f(edColorPickerDropDown, u"Red", TColor(0x0000FF));
        TGridColorDropDown* c = f.g->ColorPickerDropDown();
        ASSERT_TRUE(c->Visible());
        SimulateKey(key);
        EXPECT_FALSE(c->Visible()) << key;
        EXPECT_TRUE(f.log.empty()) << key;
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"Red") << key;
    }
}

TEST(GridDropDowns, TheGridDropDownsOpenOnTheCellsItemAndWriteTheirTextOnEnter) {
    {
        EditorForm f(edGridDropDown, u"beta");
        TGridGridDropDown* d = f.g->GridDropDown();
        for (const char16_t* t : {u"alpha", u"beta"}) d->Items().Add()->Text().Add(t);
        f.Open();
        ASSERT_TRUE(d->Visible());
        EXPECT_EQ(d->ItemIndex(), 1);
        EXPECT_EQ(d->Text(), u"beta");
        d->SetText(u"alpha");
        SimulateKey(VK_RETURN);
        EXPECT_FALSE(d->Visible());
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"alpha");
    }
    {
        EditorForm f(edExGridDropDown, u"beta");
        TGridExGridDropDown* d = f.g->ExGridDropDown();
        for (const char16_t* t : {u"alpha", u"beta"}) d->Items().Add()->Text().Add(t);
        EXPECT_EQ(d->Grid(), d->GetGrid());
        ASSERT_TRUE(d->Grid());
        f.Open();
        ASSERT_TRUE(d->Visible());
        EXPECT_EQ(d->ItemIndex(), 1);
        EXPECT_TRUE(d->Grid()->FixedRowAlways());
        d->SetText(u"alpha");
        SimulateKey(VK_RETURN);
        EXPECT_FALSE(d->Visible());
        EXPECT_EQ(f.g->GetCellEx(1, 2), u"alpha");
    }
}

TEST(GridDropDowns, TheStripButtonsAndTheMemoReachTheGridForTheCurrentCell) {
    DropForm f(edMemoDropDown, u"memo");
    TGridMemoDropDown* m = f.g->MemoDropDown();
    ASSERT_TRUE(m->Visible());
    std::vector<std::string> clicks;
    auto logger = [&](const char* Strip) {
        return [&clicks, Strip](TObject*, int ACol, int ARow, int Index) {
            clicks.push_back(std::string(Strip) + " " + std::to_string(ACol) + " " + std::to_string(ARow) + " " +
                             std::to_string(Index));
        };
    };
    f.g->OnDropDownHeaderButtonClick = logger("header");
    f.g->OnDropDownFooterButtonClick = logger("footer");
    m->OnDropDownHeaderButtonClick(m, 2);
    m->OnDropDownFooterButtonClick(m, 0);
    EXPECT_EQ(clicks, (std::vector<std::string>{"header 1 2 2", "footer 1 2 0"}));
    ASSERT_TRUE(m->Memo());
    m->Memo()->SetText(u"first\r\nsecond");
    EXPECT_EQ(f.g->GetCellEx(1, 2), String(u"first\r\nsecond"));
}

}  // namespace

namespace {

TEST(GridDropDowns, AShapeCellsColourPickerEditsTheShapesColourNotTheCells) {
    EditorForm f(edColorPickerDropDown, u"Red");
    f.g->SetColors(1, 2, clYellow);
    f.g->AddShape(1, 2, csCircle, TColor(0x0000FF), clBlack, haCenter, vaCenter);
    f.Open();
    TGridColorDropDown* c = f.g->ColorPickerDropDown();
    ASSERT_TRUE(c->Visible());
    EXPECT_EQ(c->SelectedColor(), TColor(0x0000FF));
    SimulateKey(VK_DOWN, TShiftState{ssAlt});
    SimulateKey(VK_DOWN);
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(c->Visible());
    EXPECT_EQ(f.g->GetShapeColor(1, 2), TColor(0x00FF00));
    EXPECT_EQ(f.g->Colors(1, 2), clYellow);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"Lime");
}

TEST(GridDropDowns, AnImageCellsPickerOffersTheGridsImagesAndWritesTheChosenOne) {
    TImageList images;
    AddRedLimeBlue(images);
    EditorForm f(edImagePickerDropDown, u"pic");
    f.g->SetGridImages(&images);
    f.g->AddImageIdx(1, 2, 1, haCenter, vaCenter);
    std::vector<int> chosen;
    f.g->OnImageSelected = [&](TObject*, int, int, int& index) {
        chosen.push_back(index);
        index = 0;
    };
    f.Open();
    TGridImageDropDown* p = f.g->ImagePickerDropDown();
    ASSERT_TRUE(p->Visible());
    EXPECT_EQ(p->Images(), &images);
    EXPECT_EQ(p->Items().Count(), 3);
    EXPECT_EQ(p->ItemIndex(), 1);
    // Leaving the editor writes the choice; Enter would also write the picker's text first.
    p->SetItemIndex(2);
    f.Click(2, 5);
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(chosen, std::vector<int>{2});
    EXPECT_EQ(f.g->GetImageIdx(1, 2), 0);
    EXPECT_EQ(f.g->GetCellEx(1, 2), u"pic");
    // A cell without an image takes nothing from the picker.
    f.Click(1, 3);
    f.Open();
    ASSERT_TRUE(p->Visible());
    p->SetText(u"other");
    f.Click(2, 5);
    EXPECT_FALSE(p->Visible());
    EXPECT_EQ(f.g->GetCellEx(1, 3), u"pic");
    EXPECT_EQ(chosen.size(), 1u);
    f.g->SetGridImages(nullptr);
}

}  // namespace

namespace {

TEST(GridDropDowns, TheGridsStyleAndTonesReachItsEditors) {
    EditorForm f(edMemoDropDown, u"memo");
    TGridColorDropDown* colour = f.g->ColorPickerDropDown();
    TColorTones t;
    t.Background = {TColor(0x101010), TColor(0x202020), clBlack};
    t.Hover.BrushColor = TColor(0x303030);
    t.Selected.BrushColor = TColor(0x404040);
    f.g->HandTonesToEditors(t);
    auto expectTones = [&](const auto& b, const char* what) {
        EXPECT_EQ(b.ButtonColor, TColor(0x101010)) << what;
        EXPECT_EQ(b.ButtonColorHot, TColor(0x303030)) << what;
        EXPECT_EQ(b.ButtonColorDown, TColor(0x404040)) << what;
        EXPECT_EQ(b.ButtonBorderColor, TColor(0x202020)) << what;
    };
    expectTones(*f.g->EditBtn()->Button(), "edit button");
    expectTones(*f.g->UnitEditBtn()->Button(), "unit button");
    expectTones(*f.g->Combobox(), "combo");
    expectTones(*f.g->SpinEdit()->Button(), "spin");
    expectTones(*f.g->GetEditDate(), "date");
    EXPECT_TRUE(f.g->Combobox()->Flat());
    EXPECT_EQ(f.g->Combobox()->BorderColor(), f.g->Color());
    EXPECT_TRUE(f.g->GetEditDate()->MetroStyle());
    EXPECT_EQ(f.g->GetEditDate()->BorderColor(), TColor(0x101010));
    EXPECT_EQ(colour->BorderColor(), TColor(0x202020));

    // The style reaches the drop-downs there are and those opened later.
    f.g->HandStyleToEditors(tsOffice2007Luna);
    EXPECT_EQ(colour->GetComponentStyle(), tsOffice2007Luna);
    f.Open();
    ASSERT_TRUE(f.g->MemoDropDown()->Visible());
    EXPECT_EQ(f.g->MemoDropDown()->GetComponentStyle(), tsOffice2007Luna);
}

// The grid's own style and tone operations reach the editors, also those opened afterwards.
TEST(GridDropDowns, StyleAndTonesOfTheGridReachItsEditors) {
    struct Case {
        const char* what;
        std::function<void(TExStringGrid&)> apply;
        TGPKStyle expected;
    };
    const Case cases[] = {
        {"component style", [](TExStringGrid& g) { g.SetComponentStyle(tsOffice2007Luna); }, tsOffice2007Luna},
        {"plain look", [](TExStringGrid& g) { g.SetLook(glGPK); }, tsWindowsXP},
    };
    for (const Case& c : cases) {
        EditorForm f(edMemoDropDown, u"memo");
        TGridColorDropDown* colour = f.g->ColorPickerDropDown();
        c.apply(*f.g);
        EXPECT_EQ(colour->GetComponentStyle(), c.expected) << c.what;
        f.Open();
        ASSERT_TRUE(f.g->MemoDropDown()->Visible()) << c.what;
        EXPECT_EQ(f.g->MemoDropDown()->GetComponentStyle(), c.expected) << c.what;
    }

    // Tones reach an editor there is.
    EditorForm f(edMemoDropDown, u"memo");
    f.g->ColorPickerDropDown();
    TColorTones t;
    t.Background = {TColor(0x101010), TColor(0x202020), clBlack};
    t.Hover.BrushColor = TColor(0x303030);
    t.Selected.BrushColor = TColor(0x404040);
    f.g->SetColorTones(t);
    EXPECT_EQ(f.g->EditBtn()->Button()->ButtonColorHot, TColor(0x303030));
    EXPECT_TRUE(f.g->GetEditDate()->MetroStyle());
    EXPECT_EQ(f.g->ColorPickerDropDown()->BorderColor(), TColor(0x202020));
    // An editor made afterwards takes them on too.
    EXPECT_EQ(f.g->ImagePickerDropDown()->BorderColor(), TColor(0x202020));
    EXPECT_EQ(f.g->ImagePickerDropDown()->GetComponentStyle(), tsWindowsXP);
}

}  // namespace

namespace {

// Every drop-down editor opens with the grid's header and footer bars; a
// button of the copied header clicks through to the grid for the current cell.
TEST(GridDropDowns, EveryEditorOpensWithTheGridsHeaderAndFooterBars) {
    const TEditorType kinds[] = {edTrackbarDropDown, edMemoDropDown,     edCalculatorDropDown,
                                 edTimePickerDropDown, edDetailDropDown, edImagePickerDropDown,
                                 edGridDropDown,       edExGridDropDown, edColorPickerDropDown};
    for (TEditorType kind : kinds) {
        EditorForm f(kind, u"");
        TControlLook& look = f.g->ControlLook();
        look.DropDownHeader.SetCaption(u"Pick");
        look.DropDownHeader.SetHeight(30);
        for (const char16_t* caption : {u"A", u"B"}) {
            THeaderButton* b = look.DropDownHeader.Buttons().Add();
            b->SetCaption(caption);
            b->SetWidth(30);
        }
        look.DropDownFooter.SetVisible(false);
        look.DropDownFooter.SetCaption(u"Done");
        f.Open();
        TExCustomDropDown* d = nullptr;
        for (int i = 0; i < f.g->ControlCount(); ++i)
            if (auto* dd = dynamic_cast<TExCustomDropDown*>(f.g->Controls(i)); dd && dd->Visible()) d = dd;
        ASSERT_TRUE(d && d->Visible()) << int(kind);
        EXPECT_EQ(d->DropDownHeader().Caption(), u"Pick") << int(kind);
        EXPECT_EQ(d->DropDownHeader().Height(), 30) << int(kind);
        ASSERT_EQ(d->DropDownHeader().Buttons().Count(), 2) << int(kind);
        EXPECT_EQ(d->DropDownHeader().Buttons().Items(1)->Caption(), u"B") << int(kind);
        EXPECT_FALSE(d->DropDownFooter().Visible()) << int(kind);
        EXPECT_EQ(d->DropDownFooter().Caption(), u"Done") << int(kind);
        // The grid keeps its own bars: the copy is the editor's.
        d->DropDownHeader().SetCaption(u"changed");
        EXPECT_EQ(look.DropDownHeader.Caption(), u"Pick") << int(kind);
        SimulateKey(VK_ESCAPE);
        look.DropDownHeader.SetCaption(u"Again");
        f.Open();
        EXPECT_EQ(d->DropDownHeader().Caption(), u"Again") << int(kind);
    }

    EditorForm f(edMemoDropDown, u"memo");
    THeaderButton* b = f.g->ControlLook().DropDownHeader.Buttons().Add();
    b->SetCaption(u"Go");
    b->SetWidth(30);
    b = f.g->ControlLook().DropDownHeader.Buttons().Add();
    b->SetCaption(u"Stop");
    b->SetWidth(30);
    std::vector<std::string> clicks;
    f.g->OnDropDownHeaderButtonClick = [&](TObject*, int ACol, int ARow, int Index) {
        clicks.push_back(std::to_string(ACol) + " " + std::to_string(ARow) + " " + std::to_string(Index));
    };
    f.Open();
    TGridMemoDropDown* m = f.g->MemoDropDown();
    m->ShowDropDown();
    ASSERT_TRUE(m->DroppedDown());
    TExHeader* h = m->DropDownForm()->Header();
    ASSERT_TRUE(h);
    ASSERT_EQ(h->ButtonList().Count(), 2);
    SimulateClick(h->ButtonList().GetItemsEx(1), 3, 3);
    EXPECT_EQ(clicks, std::vector<std::string>{"1 2 1"});
    m->HideDropDown(true);
}

}  // namespace
