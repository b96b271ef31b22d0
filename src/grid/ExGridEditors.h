#pragma once
// The grid's further cell editors: thin subclasses of the spin edit, the
// edits with a button, the check box and the push button that know their
// grid and hand the keyboard back to it.

#include "grid/EXGEdit.h"
#include "grid/ExgDateTimePicker.h"
#include "grid/ExGrid.h"
#include "grid/ExgSpinEdit.h"

#include "framework/StdCtrls.h"

// The spin editor of the spin kinds.
class TGridSpin : public TExgSpinEdit {
public:
    explicit TGridSpin(TExStringGrid* AGrid);
    void ReCreate();
    void UpClick(TObject* Sender) override;
    void DownClick(TObject* Sender) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoExit() override;
    void Change() override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;

private:
    void SpinClicked(bool Up);
    TExStringGrid* FGrid;
};

// The editor of the button kinds: plain, numeric, float and masked text.
class TGridEditBtn : public TExgEditBtn {
public:
    explicit TGridEditBtn(TExStringGrid* AGrid);
    void ReCreate();
    // End editing after the button's action.
    bool StopEditAfterClick() const { return FStopEditAfterClick; }
    void SetStopEditAfterClick(bool Value) { FStopEditAfterClick = Value; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Left at the start and Right at the end walk to the neighbouring cell;
    // other keys complete the text from the grid's lookup items.
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoExit() override;
    void Change() override;
    void DblClick() override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;

private:
    void ButtonClicked(TObject* Sender);
    TExStringGrid* FGrid;
    bool FStopEditAfterClick = false;
    bool FWorkMode = true;  // Backspace and Delete suspend the lookup until the next key
    int FSelKeyDown = 0;    // the caret when the last key went down
};

// The editor of the unit kinds: the cell holds the value and its unit as one text.
class TGridUnitEditBtn : public TExgUnitEditBtn {
public:
    explicit TGridUnitEditBtn(TExStringGrid* AGrid);
    void ReCreate();

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoExit() override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;

private:
    void ButtonClicked(TObject* Sender);
    TExStringGrid* FGrid;
};

// The push button of the button kind: its caption is the cell text.
class TGridButton : public TButton {
public:
    explicit TGridButton(TExStringGrid* AGrid);
    void ReCreate();

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;

private:
    // Leaves the button for the grid.
    void Leave();
    void TakeCaption();
    TExStringGrid* FGrid;
};

// The check box of the check box kind: its caption is the cell text.
class TGridCheckBox : public TCheckBox {
public:
    explicit TGridCheckBox(TExStringGrid* AGrid);
    void ReCreate();

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;

private:
    TExStringGrid* FGrid;
};

// The date picker of the date and time kinds.
class TGridDatePicker : public TExgDateTimePicker {
public:
    explicit TGridDatePicker(TExStringGrid* AGrid);
    void ReCreate();
    // The picker's value as cell text, in its format or the locale's.
    String ValueText() const;
    // Stored only.
    bool Weeknumbers = false, ShowToday = true, ShowTodayCircle = true;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void DoExit() override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
    // After a typed digit: on to the next field unless it completed the last one.
    void RememberFields() override;
    void ShiftFocus() override;

private:
    TExStringGrid* FGrid;
};

// The date-and-time picker of edDateTimeEdit.
class TGridDateTimePicker : public TExDateTimePicker {
public:
    explicit TGridDateTimePicker(TExStringGrid* AGrid);
    // The cell text: the short date, a blank and the short time; empty when unchecked.
    String ValueText() const;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
    void DoExit() override;

private:
    TExStringGrid* FGrid;
};
