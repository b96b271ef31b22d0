#pragma once
// The flat date picker: the platform's picker with a metro look of its own
// (a one-pixel border in chosen colours, also when focused or disabled, and
// a drop-down button painted in colours of its own with hover and pressed
// states). Without MetroStyle it looks and behaves like the platform's
// picker. The grid's date cell editor derives from it.

#include "controls/ExDateTimePicker.h"

class TExgDateTimePicker : public TCustomDateTimePicker {
public:
    explicit TExgDateTimePicker(TComponent* AOwner);
    // It is a picker of its own, never the inner time part of another.
    bool IsInnerPicker() const override { return false; }
    String Version() const { return u"1.0.0.0"; }
};
