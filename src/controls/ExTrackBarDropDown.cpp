// The track-bar drop-down.

#include "controls/ExTrackBarDropDown.h"

#include "framework/SysUtils.h"

TExTrackBarDropDown::TExTrackBarDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner) {
    CreateDropDownForm();
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetEditType(etNumeric);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    FForceShadow = true;
}

void TExTrackBarDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FDropDownForm) return;
    if (!FTrackBar) {
        FTrackBar = new TTrackBar(this);
        FTrackBar->SetParent(FDropDownForm);
        FTrackBar->SetBounds(0, 0, FTrackBar->Width(), 40);
    }
    FTrackBar->OnChange = [this](TObject*) { TrackBarChange(); };
}

void TExTrackBarDropDown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    FDropDownForm->SetCancelOnDeActivate(false);
    FTrackBar->SetMin(FMin);
    FTrackBar->SetMax(FMax);
    FTrackBar->SetPosition(FPosition);
    FTrackBar->SetPageSize(FPageSize);
    FTrackBar->SetFrequency(FFrequency);
    FTrackBar->SetWidth(Width());
    SetControl(FTrackBar);
}

void TExTrackBarDropDown::SetMin(int Value) {
    FMin = Value;
    if (FTrackBar) {
        FTrackBar->SetMin(Value);
        FMin = FTrackBar->Min();
    }
}

void TExTrackBarDropDown::SetMax(int Value) {
    FMax = Value;
    if (FTrackBar) {
        FTrackBar->SetMax(Value);
        FMax = FTrackBar->Max();
    }
}

void TExTrackBarDropDown::SetPosition(int Value) {
    FPosition = Value;
    if (FTrackBar) {
        // The track bar keeps it within its range.
        FTrackBar->SetMin(FMin);
        FTrackBar->SetMax(FMax);
        const int old = FTrackBar->Position();
        FTrackBar->SetPosition(Value);
        FPosition = FTrackBar->Position();
        // The track bar tells of the move as it does for the person's.
        if (FPosition != old || GetText() != IntToStr(FPosition)) TrackBarChange();
    }
}

void TExTrackBarDropDown::SetPageSize(int Value) {
    FPageSize = Value;
    if (FTrackBar) FTrackBar->SetPageSize(Value);
}

void TExTrackBarDropDown::SetFrequency(int Value) {
    FFrequency = Value;
    if (FTrackBar) FTrackBar->SetFrequency(Value);
}

void TExTrackBarDropDown::TrackBarChange() {
    FPosition = FTrackBar->Position();
    SetText(IntToStr(FPosition));
    if (OnTrackChange) OnTrackChange(this);
}

void TExTrackBarDropDown::Change() {
    TExCustomDropDown::Change();
    // Text that is not a whole number leaves the position as it is.
    int v = 0;
    if (TryStrToInt(GetText(), v)) SetPosition(v);
}

void TExTrackBarDropDown::WMKeyDown(TWMKey& Message) {
    const Word key = Message.CharCode();
    TExCustomDropDown::WMKeyDown(Message);
    if (EditorEnabled() || GetKeyState(VK_MENU) < 0) return;
    if (key == VK_UP && FPosition - FFrequency >= FMin) SetPosition(FPosition - FFrequency);
    else if (key == VK_DOWN && FPosition + FFrequency <= FMax) SetPosition(FPosition + FFrequency);
}

void TExTrackBarDropDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomDropDown::MouseDown(Button, Shift, X, Y);
    if (DropDownEnabled() && !EditorEnabled()) {
        FMouseX = X;
        FMouseDraging = true;
    }
}

void TExTrackBarDropDown::MouseMove(TShiftState Shift, int X, int Y) {
    TExCustomDropDown::MouseMove(Shift, X, Y);
    if (!FMouseDraging) return;
    const int delta = X - FMouseX;
    FMouseX = X;
    // A page size below 1 counts as 1.
    const int page = FPageSize < 1 ? 1 : FPageSize;
    SetPosition(FPosition + delta / page);
}

void TExTrackBarDropDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomDropDown::MouseUp(Button, Shift, X, Y);
    FMouseDraging = false;
}
