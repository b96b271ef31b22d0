#pragma once
// The grid's drop-down cell editors: thin wrappers of the drop-down edits
// that know their grid and hand the keyboard back to it, as the combo
// editor does.

#include "grid/ExGrid.h"

#include "grid/ExCustomGridDropDown.h"

#include "controls/ExCalculatorDropdown.h"
#include "controls/ExColorPickerDropDown.h"
#include "controls/ExDetailDropDown.h"
#include "controls/ExImagePickerDropDown.h"
#include "controls/ExMemoDropDown.h"
#include "controls/ExMultiColumnDropDown.h"
#include "controls/ExTimePickerDropDown.h"
#include "controls/ExTrackBarDropDown.h"

// The family's shared behaviour over the drop-down kind Parent.
template <class Parent>
class TGridDropDownWrapper : public Parent {
public:
    explicit TGridDropDownWrapper(TExStringGrid* AGrid);
    TExStringGrid* FGrid;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;

protected:
    void Change() override;
    void DoExit() override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
    // The wrapper claims Enter and Esc itself, not only Tab.
    virtual bool ClaimsEnterAndEscape() const { return false; }
    // Before Enter writes the text.
    virtual void BeforeEnter() {}
    // The keys the wrapper handles itself instead of the drop-down.
    virtual bool IsSpecialKey(Word Key, TShiftState Shift) const;
};

class TGridTrackbarDropDown : public TGridDropDownWrapper<TExTrackBarDropDown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;

protected:
    bool ClaimsEnterAndEscape() const override { return true; }
};

class TGridMemoDropDown : public TGridDropDownWrapper<TExMemoDropDown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;
};

class TGridCalculatorDropDown : public TGridDropDownWrapper<TExCalculatorDropdown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;

protected:
    // A pending operation is computed before the result is written.
    void BeforeEnter() override { CalcResult(); }
};

class TGridTimepickerDropDown : public TGridDropDownWrapper<TExTimePickerDropDown> {
public:
    explicit TGridTimepickerDropDown(TExStringGrid* AGrid) : TGridDropDownWrapper(AGrid) { SetFocusDraw(false); }
};

class TGridDetailPickerDropDown : public TGridDropDownWrapper<TExDetailDropDown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;
};

class TGridGridDropDown : public TGridDropDownWrapper<TExMultiColumnDropDown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;
};

class TGridExGridDropDown : public TGridDropDownWrapper<ExCustomGridDropDown::TCustomExGridDropDown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;
    // The grid in the pop-up.
    TExStringGrid* Grid() const { return GetGrid(); }
};

class TGridColorDropDown : public TGridDropDownWrapper<TExColorPickerDropDown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;

protected:
    bool ClaimsEnterAndEscape() const override { return true; }
    // The open palette keeps the arrows and paging keys; the closed one
    // leaves Home to the grid as well.
    bool IsSpecialKey(Word Key, TShiftState Shift) const override;
    // The picker keeps every key but Enter and Esc from its key-down
    // handling, and a cancel while closed would fall back to the colour of
    // its last opening: the grid's keys go to the key-down handling first.
    void WMKeyDown(TWMKey& Message) override;
};

class TGridImageDropDown : public TGridDropDownWrapper<TExImagePickerDropDown> {
public:
    using TGridDropDownWrapper::TGridDropDownWrapper;
};
