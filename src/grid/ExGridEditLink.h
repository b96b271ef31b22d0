#pragma once
// Custom cell editors: a link lets an application use any control as the
// editor of an edCustom cell. A descendant creates its control, moves values
// between the control and the cell and reports the control; the link places
// it in the cell or on a borderless pop-up window, hands it the focus,
// decides which keys end editing, writes the value back and returns to the
// grid.

#include "grid/ExGrid.h"

enum TEditStyle { esInplace, esPopup };

class TEditLink : public TComponent {
public:
    explicit TEditLink(TComponent* AOwner);
    ~TEditLink() override;

    virtual void EditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    virtual TWinControl* GetEditControl() { return nullptr; }
    virtual void CreateEditor(TWinControl* AParent) {}
    virtual void DestroyEditor() {}
    virtual void SetFocus(bool Value);
    virtual void SetRect(TRect R);
    virtual void SetVisible(bool Value);
    virtual void SetProperties() {}
    virtual void SetCellProps(TColor AColor, TFont& AFont) {}
    virtual String GetEditorValue() { return String(); }
    virtual void SetEditorValue(const String& S) {}

    // The control's exit: the value goes into the cell and the edit ends.
    void EditExit(TObject* Sender);
    void HideEditor();
    void SetCellValue(const String& S);
    String GetCellValue();
    TWinControl* GetParent();
    // The control's own window procedure back in place.
    void RestoreWinProc();

    TExStringGrid* Grid() const { return FOwner; }
    TPoint EditCell() const { return FEditCell; }
    TEditStyle EditStyle() const { return FEditStyle; }
    void SetEditStyle(TEditStyle Value) { FEditStyle = Value; }
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int Value) { FPopupWidth = Value; }
    int PopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int Value) { FPopupHeight = Value; }
    bool AutoPopupWidth() const { return FAutoPopupWidth; }
    void SetAutoPopupWidth(bool Value) { FAutoPopupWidth = Value; }
    int PopupLeft() const { return FPopupLeft; }
    void SetPopupLeft(int Value) { FPopupLeft = Value; }
    int PopupTop() const { return FPopupTop; }
    void SetPopupTop(int Value) { FPopupTop = Value; }
    TForm* PopupForm() const { return FPopupForm; }
    bool WantKeyLeftRight = false, WantKeyUpDown = false, WantKeyHomeEnd = false, WantKeyPriorNext = false;
    bool WantKeyReturn = false, WantKeyEscape = false, WantTabs = false, WantReturns = false;
    int Tag = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TExStringGrid;
    void Open(TExStringGrid* AGrid, int ACol, int ARow);
    void FormExit(TObject* Sender);
    // The value goes into the cell while the grid takes the focus.
    void ForcedExit();
    TExStringGrid* FOwner = nullptr;
    TPoint FEditCell{-1, -1};
    TEditStyle FEditStyle = esInplace;
    int FPopupWidth = 0, FPopupHeight = 0;
    bool FAutoPopupWidth = false;
    int FPopupLeft = -1, FPopupTop = -1;
    TForm* FPopupForm = nullptr;
    bool FForcedExit = false;
    bool FSubClassed = false;
    TWinControl* FSubClassedControl = nullptr;
    TControl::TWndMethod FGridControlWndProc;
};
