#pragma once
// Editors that work beside the normal cell editing: the borderless edit and
// combo that sit on a header cell and write through the grid's validation,
// and the edit and combo the grid opens over a control written in a cell's
// markup text, whose value goes back into the markup when they are left.

#include "grid/ExGrid.h"
#include "grid/ExgCombo.h"

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "framework/Windows.h"

// What both fixed-cell editors share: the cell they edit, Enter kept from
// ending the edit, and the grid's validation when they are left.
template <class Base>
class TGridTransEditor : public Base {
public:
    explicit TGridTransEditor(TComponent* AOwner) : Base(AOwner) { this->SetVisible(false); }
    // The fixed cell being edited: real column, row.
    int Col() const { return FCol; }
    void SetCol(int Value) { FCol = Value; }
    int Row() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    TExStringGrid* FGrid = nullptr;
    // Ends the edit; false when the value was refused and editing goes on.
    bool StopEdit() {
        if (!FGrid) {
            this->SetVisible(false);
            return true;
        }
        return FGrid->StopFixedEdit(this, this->Text(), FCol, FRow);
    }

protected:
    void KeyPress(Char& Key) override {
        if (Key == VK_RETURN) Key = 0;
        if (Key) Base::KeyPress(Key);
    }
    void DoExit() override {
        Base::DoExit();
        if (this->Visible()) StopEdit();
    }

private:
    int FCol = 0, FRow = 0;
};

// The plain editor of a fixed cell.
class TGridTransEdit : public TGridTransEditor<TCustomEdit> {
public:
    using TGridTransEditor::TGridTransEditor;
    // Stored only: the editor draws no border of its own.
    TFormBorderStyle BorderStyle = bsNone;
};

// The combo editor of a fixed cell (editable or list only).
class TGridTransCombo : public TGridTransEditor<TComboBox> {
public:
    using TGridTransEditor::TGridTransEditor;
};

// What both in-text editors share: they claim Tab, and Enter and Tab go to
// their grid while it is their parent. Enter is not claimed, so that a
// default button of the form takes it first.
template <class Base>
class TCellControlEditor : public Base {
public:
    explicit TCellControlEditor(TComponent* AOwner) : Base(AOwner) { this->SetVisible(false); }

protected:
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override {
        if (Message.CharCode() == VK_TAB) Message.Result = 1;
        else Base::CMWantSpecialKey(Message);
    }
    void KeyPress(Char& Key) override {
        if (auto* g = dynamic_cast<TExStringGrid*>(this->Parent())) g->CellControlKey(Key);
        if (Key) Base::KeyPress(Key);
    }
};

// The editor of EDIT, PASSWORD and MASK controls in a cell's text.
class TControlEdit : public TCellControlEditor<TMaskEdit> {
public:
    using TCellControlEditor::TCellControlEditor;
};

// The editor of COMBO controls in a cell's text.
class TControlCombo : public TCellControlEditor<TExgComboBox> {
public:
    using TCellControlEditor::TCellControlEditor;
};
