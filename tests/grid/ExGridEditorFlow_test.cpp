// The grid's further dedicated editors edited as a person does, on a form
// with a default and a cancel button: each writes only its own cell, keeps
// Enter and Escape from the form's buttons, leaves only with a value the
// validation accepts, and takes the character typed to open it.
#include "grid/ExCGrid.h"

#include "PlainEditLink.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Kind {
    TEditorType Editor;
    const char16_t* Cell;   // every cell of column 1
    const char16_t* Typed;  // a text the editor takes, or none
    const char16_t* Written;  // the cell after Typed replaced the editor's text
};

// Column 1 holds the editor kind under test, column 2 plain text cells.
struct FlowForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    TPlainEditLink link{nullptr};
    TButton* ok;
    TButton* cancel;
    int clicks = 0;
    bool refuse = false;
    std::vector<std::string> log;

    explicit FlowForm(const Kind& K) {
        form.SetBounds(0, 0, 560, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 420, 250);
        g->SetOptions(g->Options() + TGridOptions{goEditing});
        g->Columns().Items(1)->SetEditor(K.Editor);
        g->Columns().Items(1)->SetWidth(110);
        g->Columns().Items(2)->SetEditor(edNormal);
        if (K.Editor == edCustom) g->SetEditLink(&link);
        for (int r = 1; r < g->RowCount(); ++r) {
            g->SetCellEx(1, r, K.Cell);
            g->SetCellEx(2, r, u"t" + IntToStr(r));
        }
        g->OnCellValidate = [this](TObject*, int c, int r, String& v, bool& valid) {
            log.push_back(std::to_string(c) + "," + std::to_string(r) + " " + StringToUtf8(v));
            valid = !refuse;
        };
        ok = Button(10, false);
        cancel = Button(50, true);
        form.Show();
        g->SetFocus();
    }
    ~FlowForm() { g->SetEditLink(nullptr); }
    TButton* Button(int Top, bool Cancel) {
        TButton* b = new TButton(&form);
        b->SetParent(&form);
        b->SetBounds(440, Top, 80, 25);
        if (Cancel) b->SetCancel(true);
        else b->SetDefault(true);
        b->OnClick = [this](TObject*) { ++clicks; };
        return b;
    }
    void Click(int c, int r) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + 5, R.Top + (R.Bottom - R.Top) / 2);
    }
    // The focused control inside the grid: the open editor, if any.
    TWinControl* Editor() const {
        TWinControl* a = form.ActiveControl();
        return a && a != g && a != ok && a != cancel ? a : nullptr;
    }
};

const Kind kinds[] = {
    {edSpinEdit, u"5", u"7", u"7"},
    {edFloatSpinEdit, u"1.5", u"2", u"2.00"},
    {edEditBtn, u"abc", u"xy", u"xy"},
    {edNumericEditBtn, u"12", u"34", u"34"},
    {edUnitEditBtn, u"12", u"34", u"34"},
    {edMemoDropDown, u"memo", u"note", u"note"},
    {edCalculatorDropDown, u"12", u"34", u"34.00"},
    {edCustom, u"old", u"new", u"new"},
    {edTimeSpinEdit, u"10:00:00", u"11:30:00", u"11:30:00"},
    {edFloatEditBtn, u"1.5", u"2.5", u"2.5"},
    {edMaskEditBtn, u"abc", u"xy", u"xy"},
    {edFloatUnitEditBtn, u"1.5", u"2.5", u"2.5"},
    {edTrackbarDropDown, u"4", u"7", u"7"},
    {edTimePickerDropDown, u"10:00:00", u"11:30:00", u"11:30:00"},
    {edDetailDropDown, u"abc", u"xy", u"xy"},
    {edDateEdit, u"05/05/2024", nullptr, nullptr},
    {edDateEditUpDown, u"05/05/2024", nullptr, nullptr},
    {edTimeEdit, u"10:00:00", nullptr, nullptr},
    {edDateTimeEdit, u"03/02/2025 14:05", nullptr, nullptr},
};

// Kinds checked for their keys only.
const Kind keyKinds[] = {
    {edDateSpinEdit, u"05/05/2024", nullptr, nullptr},
    {edNumericUnitEditBtn, u"12", nullptr, nullptr},
    {edRichEdit, u"", nullptr, nullptr},
    {edColorPickerDropDown, u"", nullptr, nullptr},
    {edGridDropDown, u"abc", nullptr, nullptr},
    {edExGridDropDown, u"abc", nullptr, nullptr},
    {edImagePickerDropDown, u"", nullptr, nullptr},
    {edButton, u"Press", nullptr, nullptr},
    {edCheckBox, u"Box", nullptr, nullptr},
};

std::string Name(const Kind& k) { return std::to_string(int(k.Editor)); }

// Enter and Escape end the editor, never the form's default or cancel button.
TEST(GridEditorFlow, EnterAndEscapeStayWithEveryEditor) {
    std::vector<Kind> all(std::begin(kinds), std::end(kinds));
    all.insert(all.end(), std::begin(keyKinds), std::end(keyKinds));
    for (const Kind& k : all) {
        for (Word key : {Word(VK_RETURN), Word(VK_ESCAPE)}) {
            SCOPED_TRACE(Name(k) + (key == VK_RETURN ? " enter" : " escape"));
            FlowForm f(k);
            f.Click(1, 2);
            SimulateKey(VK_F2);
            ASSERT_TRUE(f.Editor()) << "no editor opened";
            SimulateKey(key);
            EXPECT_EQ(f.clicks, 0);
            // The rich text editor takes Enter as a new line and Escape as
            // nothing; the cell's button takes Enter as its press.
            if (k.Editor != edRichEdit && !(k.Editor == edButton && key == VK_RETURN))
                EXPECT_FALSE(f.g->EditorMode());
            EXPECT_EQ(f.g->GetCellEx(2, 2), u"t2");
        }
    }
}

// Typing into an editor and leaving it by Tab or for another window keeps the
// cell's value when the validation refuses the typed one.
TEST(GridEditorFlow, LeavingWithARefusedValueKeepsTheCell) {
    std::vector<Kind> all(std::begin(kinds), std::end(kinds));
    all.push_back({edRichEdit, u"", u"rich", nullptr});
    for (const Kind& k : all) {
        if (!k.Typed) continue;
        for (bool tab : {true, false}) {
            // Tab is a character of rich text without goTabs.
            if (tab && k.Editor == edRichEdit) continue;
            SCOPED_TRACE(Name(k) + (tab ? " tab" : " other window"));
            FlowForm f(k);
            f.refuse = true;
            f.Click(1, 2);
            SimulateKey(VK_F2);
            ASSERT_TRUE(f.Editor());
            SimulateText(k.Typed);
            if (tab) SimulateKey(VK_TAB);
            else SimulateClick(f.ok, 5, 5);
            EXPECT_EQ(f.g->GetCellEx(1, 2), k.Cell);
            // A link's control leaving for another window is the link's own concern.
            if (tab || k.Editor != edCustom) EXPECT_FALSE(f.log.empty()) << "not validated";
        }
    }
}

// The first character typed on a cell opens its editor and is its first
// input. Enter writes the value; Tab with an accepted value writes it too and
// the form moves the focus on.
TEST(GridEditorFlow, TheCharacterThatOpensAnEditorIsKept) {
    for (const Kind& k : kinds) {
        if (!k.Typed) continue;
        for (Word key : {Word(VK_RETURN), Word(VK_TAB)}) {
            SCOPED_TRACE(Name(k) + (key == VK_RETURN ? " enter" : " tab"));
            FlowForm f(k);
            f.Click(1, 2);
            SimulateText(k.Typed);
            ASSERT_TRUE(f.Editor());
            EXPECT_EQ(f.Editor()->Text(), k.Typed);
            SimulateKey(key);
            // The calculator completes its sum on Enter only.
            const String cell = f.g->GetCellEx(1, 2);
            EXPECT_TRUE(cell == k.Written || (key == VK_TAB && cell == k.Typed)) << StringToUtf8(cell);
            ASSERT_EQ(f.log.size(), 1u);
            EXPECT_EQ(f.log[0].substr(0, 4), "1,2 ");
            EXPECT_FALSE(f.g->EditorMode());
            if (key == VK_TAB) EXPECT_TRUE(f.ok->Focused());
        }
    }
}

// A click on another cell while the editor is open moves there with the
// editor's value written; typing there then edits that cell only; and an
// edit before the editor opened stays in its own cell.
TEST(GridEditorFlow, EachEditorWritesOnlyItsOwnCell) {
    std::vector<Kind> all(std::begin(kinds), std::end(kinds));
    all.insert(all.end(), std::begin(keyKinds), std::end(keyKinds));
    for (const Kind& k : all) {
        SCOPED_TRACE(Name(k));
        FlowForm f(k);
        f.Click(2, 1);
        SimulateText(u"before");
        f.Click(1, 2);
        if (k.Typed) SimulateText(k.Typed);
        else SimulateKey(VK_F2);
        ASSERT_TRUE(f.Editor());
        f.Click(2, 4);
        EXPECT_EQ(f.g->Col(), 2);
        EXPECT_EQ(f.g->Row(), 4);
        EXPECT_EQ(f.Editor(), nullptr);
        SimulateText(u"after");
        SimulateKey(VK_RETURN);
        EXPECT_EQ(f.g->GetCellEx(2, 1), u"before");
        // A rich text cell takes the editor's source, written back on leaving.
        if (k.Editor != edRichEdit) {
            EXPECT_EQ(f.g->GetCellEx(1, 2), k.Typed ? k.Written : k.Cell);
            // Each validation names the cell its value was typed in.
            std::vector<std::string> validated{"2,1 before", "2,4 after"};
            if (k.Typed) validated.insert(validated.begin() + 1, "1,2 " + StringToUtf8(k.Written));
            EXPECT_EQ(f.log, validated);
        }
        EXPECT_EQ(f.g->GetCellEx(2, 4), u"after");
        EXPECT_EQ(f.g->GetCellEx(1, 4), k.Cell);
        EXPECT_EQ(f.g->GetCellEx(2, 2), u"t2");
    }
}

}  // namespace
