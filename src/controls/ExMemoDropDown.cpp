// The memo drop-down.

#include "controls/ExMemoDropDown.h"

#include "framework/Menus.h"

#include "grid/foundation/DropDownUtil.h"

TExMemoDropDown::TExMemoDropDown(TComponent* AOwner)
    : TExCustomDropDown(AOwner), FMemoText(std::make_unique<TStringList>()) {
    FMemoText->OnChange = [this](TObject*) { MemoTextChanged(); };
    CreateDropDownForm();
}

TExMemoDropDown::~TExMemoDropDown() { FMemoText->OnChange = nullptr; }

void TExMemoDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FDropDownForm) return;
    if (!FMemo) {
        FMemo = new TMemo(this);
        FMemo->SetParent(FDropDownForm);
        FMemo->SetHeight(100);
        FMemo->OnChange = [this](TObject*) {
            if (OnMemoChange) OnMemoChange(this);
        };
    }
    SetControl(FMemo);
}

String TExMemoDropDown::WholeText() const {
    String s;
    for (int i = 0; i < FMemoText->Count(); ++i) {
        if (i > 0) s += u"\r\n";
        s += FMemoText->Strings(i);
    }
    return s;
}

void TExMemoDropDown::SetMemoText(const TStringList& Value) {
    FMemoText->Assign(Value);
    if (FMemo) FMemo->Lines().Assign(Value);
}

void TExMemoDropDown::SetMemoReadOnly(bool Value) {
    FMemoReadOnly = Value;
    if (FMemo && DroppedDown()) FMemo->SetReadOnly(Value);
}

void TExMemoDropDown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    FDropDownForm->SetCancelOnDeActivate(false);
    if (!FMemo) return;
    FMemo->SetText(WholeText());
    FMemo->SetPopupMenu(FMemoPopup);
    FMemo->SetMaxLength(MaxLength());
    FMemo->SetScrollBars(FMemoScrollBars);
    FMemo->SetReadOnly(FMemoReadOnly);
}

void TExMemoDropDown::DoHideDropDown(bool Cancelled) {
    const bool autoDrop = FAutoDrop;
    FAutoDrop = false;
    // The edits made in the pop-up are dropped.
    if (Cancelled && FMemo) FMemo->SetText(WholeText());
    TExCustomDropDown::DoHideDropDown(Cancelled);
    FAutoDrop = autoDrop;
}

void TExMemoDropDown::FormHide() {
    TExCustomDropDown::FormHide();
    if (FMemo) FMemoText->SetText(FMemo->Text());
    MemoTextChanged();
    SetSelStart(0);
    SetSelLength(0);
}

void TExMemoDropDown::MemoTextChanged() {
    String text;
    if (FMemoText->Count() == 0 || EditorEnabled()) {
        text = WholeText();
    } else {
        const String line = FMemoText->Strings(0);
        const TRect r = GetEditRect();
        const int available = r.Right - r.Left;
        TBitmap probe;
        probe.SetSize(1, 1);
        TCanvas& c = probe.Canvas();
        c.SetFont(Font());
        if (MeasureText(c, line).X < available) text = FMemoText->Count() > 1 ? line + u"..." : line;
        else text = EllipsisText(c, line, available, true);
    }
    FInternalUpdate = true;
    try {
        SetText(text);
    } catch (...) {
        FInternalUpdate = false;
        throw;
    }
    FInternalUpdate = false;
}

void TExMemoDropDown::Change() {
    if (!FInternalUpdate) {
        TNotifyEvent keep = FMemoText->OnChange;
        FMemoText->OnChange = nullptr;
        FMemoText->SetText(GetText());
        FMemoText->OnChange = keep;
    }
    TExCustomDropDown::Change();
}

void TExMemoDropDown::ControlKeyDown(Word& Key, TShiftState Shift) {
    if (Shift.Contains(ssAlt) || Key == VK_ESCAPE || Key == VK_F4) TExCustomDropDown::ControlKeyDown(Key, Shift);
    if (Shift.Contains(ssCtrl) && (Key == u'A' || Key == u'a') && FMemo) FMemo->SelectAll();
}

void TExMemoDropDown::ControlKeyUp(Word& Key, TShiftState Shift) {
    if (Shift.Contains(ssAlt) || Key == VK_ESCAPE || Key == VK_F4) TExCustomDropDown::ControlKeyUp(Key, Shift);
}

void TExMemoDropDown::ControlKeyPress(Char& Key) {
    if (GetKeyState(VK_MENU) < 0 || Key == VK_ESCAPE) TExCustomDropDown::ControlKeyPress(Key);
}

void TExMemoDropDown::DoEnter() {
    TExCustomDropDown::DoEnter();
    if (FAutoDrop) DoShowDropDown();
}
