// The pop-up's header and footer strips and the look of their buttons.

#include "controls/ExDropDown.h"

TExButtonAppearance::TExButtonAppearance() { FFont.SetName(u"Tahoma"); }

void TExButtonAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TExButtonAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetColor(s->FColor);
    SetColorTo(s->FColorTo);
    SetColorHot(s->FColorHot);
    SetColorHotTo(s->FColorHotTo);
    SetColorDown(s->FColorDown);
    SetColorDownTo(s->FColorDownTo);
    SetColorChecked(s->FColorChecked);
    SetColorCheckedTo(s->FColorCheckedTo);
    SetColorDisabled(s->FColorDisabled);
    SetColorDisabledTo(s->FColorDisabledTo);
    SetBorderColor(s->FBorderColor);
    SetBorderColorHot(s->FBorderColorHot);
    SetBorderColorDown(s->FBorderColorDown);
    SetBorderColorChecked(s->FBorderColorChecked);
    SetBorderColorDisabled(s->FBorderColorDisabled);
    SetGradient(s->FGradient);
}

void TExButtonAppearance::SetGradient(TBarAppearance::TGradientDirection Value) {
    if (FGradient == Value) return;
    FGradient = Value;
    Changed();
}

void TDropDownForm::InitializeAndUpdate() {}
