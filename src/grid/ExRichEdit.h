#pragma once
// The grid's rich edit: once hidden, to convert and measure rich-text cells,
// and once as the in-place editor of rich-text cells. It selects sub- and
// superscript, keeps the size the control asks for, and hands Tab and the
// arrow keys back to its grid.

#include "framework/RichEdit.h"

class TExStringGrid;

class TExRichEdit : public TRichEdit {
public:
    // The owner must be a grid.
    explicit TExRichEdit(TExStringGrid* AGrid);

    // The selection's vertical offset: 0, -40 or +40 twips.
    void SelNormal() { SetSelOffset(0); }
    void SelSubscript() { SetSelOffset(-40); }
    void SelSuperscript() { SetSelOffset(40); }
    bool IsSelNormal() const { return SelAttributes().Offset == 0; }
    bool IsSelSubscript() const { return SelAttributes().Offset == -40; }
    bool IsSelSuperscript() const { return SelAttributes().Offset == 40; }
    void ReCreate();
    // Suspends growing the row while the editor is being placed.
    void Lock() { FLocked = true; }
    void Unlock() { FLocked = false; }
    bool Locked() const { return FLocked; }
    // The size last asked for by the control.
    int ReqWidth() const { return FReqWidth; }
    int ReqHeight() const { return FReqHeight; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void DoExit() override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    TExStringGrid* FGrid;
    int FReqWidth = 0;
    int FReqHeight = 0;
    bool FLocked = false;
};
