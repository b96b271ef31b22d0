#pragma once
// Editors that work beside the normal cell editing: the borderless edit and
// combo that sit on a header cell and write through the grid's validation,
// and the edit and combo the grid opens over a control written in a cell's
// markup text, whose value goes back into the markup when they are left.

#include "grid/ExGrid.h"
#include "grid/ExgCombo.h"

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

// The plain editor of a fixed cell.
class TGridTransEdit : public TCustomEdit {
public:
    explicit TGridTransEdit(TComponent* AOwner);
    // The fixed cell being edited: real column, row.
    int Col() const { return FCol; }
    void SetCol(int Value) { FCol = Value; }
    int Row() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    TExStringGrid* FGrid = nullptr;
    // Stored only: the editor draws no border of its own.
    TFormBorderStyle BorderStyle = bsNone;
    // Ends the edit; false when the value was refused and editing goes on.
    bool StopEdit();

protected:
    void KeyPress(Char& Key) override;
    void DoExit() override;

private:
    int FCol = 0, FRow = 0;
};

// The combo editor of a fixed cell (editable or list only).
class TGridTransCombo : public TComboBox {
public:
    explicit TGridTransCombo(TComponent* AOwner);
    int Col() const { return FCol; }
    void SetCol(int Value) { FCol = Value; }
    int Row() const { return FRow; }
    void SetRow(int Value) { FRow = Value; }
    TExStringGrid* FGrid = nullptr;
    bool StopEdit();

protected:
    void KeyPress(Char& Key) override;
    void DoExit() override;

private:
    int FCol = 0, FRow = 0;
};

// The editor of EDIT, PASSWORD and MASK controls in a cell's text.
class TControlEdit : public TMaskEdit {
public:
    explicit TControlEdit(TComponent* AOwner);

protected:
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
    void KeyPress(Char& Key) override;
};

// The editor of COMBO controls in a cell's text.
class TControlCombo : public TExgComboBox {
public:
    explicit TControlCombo(TComponent* AOwner);

protected:
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
    void KeyPress(Char& Key) override;
};
