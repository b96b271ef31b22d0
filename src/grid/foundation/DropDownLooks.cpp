#include "grid/foundation/DropDownLooks.h"

#include <typeinfo>

// ---------------------------------------------------------------------------
// Buttons

void THeaderButton::ReportChange() {
    if (auto* buttons = dynamic_cast<THeaderButtons*>(Collection())) buttons->DoChange();
}

void THeaderButton::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    ReportChange();
}

void THeaderButton::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    ReportChange();
}

void THeaderButton::SetWidth(int Value) {
    if (FWidth == Value) return;
    FWidth = Value;
    ReportChange();
}

void THeaderButton::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const THeaderButton*>(Source);
    if (!s || typeid(*s) != typeid(*this)) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(s->FCaption);
    SetEnabled(s->FEnabled);
    SetWidth(s->FWidth);
    SetHeight(s->FHeight);
    FImageIndex = s->FImageIndex;
}

void TFooterButton::Assign(const TPersistent* Source) {
    THeaderButton::Assign(Source);
    if (const auto* s = dynamic_cast<const TFooterButton*>(Source)) FModalResult = s->FModalResult;
}

THeaderButtons::THeaderButtons(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new THeaderButton(c); }, AOwner) {}

void THeaderButtons::DoChange() {
    if (OnChange) OnChange(this);
}

TFooterButtons::TFooterButtons(TPersistent* AOwner)
    : THeaderButtons([](TCollection* c) { return new TFooterButton(c); }, AOwner) {}

// ---------------------------------------------------------------------------
// Looks

TBarAppearance::TBarAppearance(TPersistent* AOwner, THeaderButtons* AButtons) : FOwner(AOwner), FButtons(AButtons) {
    FButtons->OnChange = [this](TObject*) { DoButtonsChanged(); };
}

TBarAppearance::~TBarAppearance() { delete FButtons; }

void TBarAppearance::DoChange() {
    if (OnChange) OnChange(this);
}

void TBarAppearance::DoButtonsChanged() {
    if (OnButtonsChanged) OnButtonsChanged(this);
}

void TBarAppearance::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    DoChange();
}

void TBarAppearance::AssignBar(const TBarAppearance& s) {
    FColorTo = s.FColorTo;
    FColor = s.FColor;
    FBorderColor = s.FBorderColor;
    FCaption = s.FCaption;
    FFont.Assign(&s.FFont);
    FImageIndex = s.FImageIndex;
    FBorderWidth = s.FBorderWidth;
    FGradientDirection = s.FGradientDirection;
    FHeight = s.FHeight;
    SetVisible(s.FVisible);
    FButtonAlignment = s.FButtonAlignment;
    FButtons->Assign(s.FButtons);
}

void TBarAppearance::AssignColors(const TPersistent* Source) {
    if (!SameKind(Source)) return;
    const auto& s = static_cast<const TBarAppearance&>(*Source);
    FColorTo = s.FColorTo;
    FColor = s.FColor;
    FBorderColor = s.FBorderColor;
    FFont.Assign(&s.FFont);
    FGradientDirection = s.FGradientDirection;
}

THeaderAppearance::THeaderAppearance(TPersistent* AOwner) : TBarAppearance(AOwner, new THeaderButtons(AOwner)) {
    Font().SetName(u"Tahoma");
}

bool THeaderAppearance::SameKind(const TPersistent* Source) const {
    return dynamic_cast<const THeaderAppearance*>(Source) != nullptr;
}

void THeaderAppearance::Assign(const TPersistent* Source) {
    if (SameKind(Source)) AssignBar(static_cast<const TBarAppearance&>(*Source));
}

TFooterAppearance::TFooterAppearance(TPersistent* AOwner) : TBarAppearance(AOwner, new TFooterButtons(AOwner)) {}

bool TFooterAppearance::SameKind(const TPersistent* Source) const {
    return dynamic_cast<const TFooterAppearance*>(Source) != nullptr;
}

void TFooterAppearance::Assign(const TPersistent* Source) {
    if (!SameKind(Source)) return;
    const auto& s = static_cast<const TFooterAppearance&>(*Source);
    AssignBar(s);
    FSizeGrip = s.FSizeGrip;
}
