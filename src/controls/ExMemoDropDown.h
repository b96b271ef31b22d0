#pragma once
// The memo drop-down: a multi-line text edited in a memo that drops down
// below a single-line edit. With typing off the edit shows the first line,
// shortened with "..." to fit or followed by "..." when more lines exist.

#include "controls/ExDropDown.h"

#include "framework/Classes.h"

class TPopupMenu;

class TExMemoDropDown : public TExCustomDropDown {
public:
    explicit TExMemoDropDown(TComponent* AOwner);
    ~TExMemoDropDown() override;

    TStringList& MemoText() { return *FMemoText; }
    void SetMemoText(const TStringList& Value);
    TMemo* Memo() const { return FMemo; }
    TPopupMenu* MemoPopup() const { return FMemoPopup; }
    void SetMemoPopup(TPopupMenu* Value) { FMemoPopup = Value; }
    TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle Value) { FMemoScrollBars = Value; }
    bool MemoReadOnly() const { return FMemoReadOnly; }
    void SetMemoReadOnly(bool Value);
    bool AutoDrop() const { return FAutoDrop; }
    void SetAutoDrop(bool Value) { FAutoDrop = Value; }
    TNotifyEvent OnMemoChange;

    void Change() override;
    void DoHideDropDown(bool Cancelled) override;

protected:
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void FormHide() override;
    void ControlKeyDown(Word& Key, TShiftState Shift) override;
    void ControlKeyUp(Word& Key, TShiftState Shift) override;
    void ControlKeyPress(Char& Key) override;
    void DoEnter() override;

private:
    // The edit's text from MemoText.
    void MemoTextChanged();
    String WholeText() const;
    std::unique_ptr<TStringList> FMemoText;
    TMemo* FMemo = nullptr;
    TPopupMenu* FMemoPopup = nullptr;
    TScrollStyle FMemoScrollBars = ssNone;
    bool FMemoReadOnly = false;
    bool FAutoDrop = false;
    bool FInternalUpdate = false;
};
