#pragma once
// The flat combo box: the framework's combo box with a flat look switch,
// an etched frame, a drop-down button width and a drop width of its own.

#include "framework/StdCtrls.h"

class TExgCustomCombo : public TComboBox {
public:
    explicit TExgCustomCombo(TComponent* AOwner) : TComboBox(AOwner) {}

    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; Invalidate(); }
    bool Etched() const { return FEtched; }
    void SetEtched(bool Value) { FEtched = Value; Invalidate(); }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value) { FButtonWidth = Value; Invalidate(); }
    // The list's width when positive; the combo's own width otherwise.
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int Value);

private:
    bool FFlat = true;
    bool FEtched = false;
    int FButtonWidth = 12;
    int FDropWidth = 0;
};

class TExgComboBox : public TExgCustomCombo {
public:
    using TExgCustomCombo::TExgCustomCombo;
};
