#include "grid/ExRichEdit.h"

#include "grid/ExGrid.h"

#include "framework/Messages.h"

TExRichEdit::TExRichEdit(TExStringGrid* AGrid) : TRichEdit(AGrid), FGrid(AGrid) {
    OnResizeRequest = [this](TObject*, TSize Requested) {
        if (ComponentState().Contains(csDesigning)) return;
        FReqWidth = Requested.cx;
        FReqHeight = Requested.cy;
    };
}

void TExRichEdit::ReCreate() {
    if (HandleAllocated()) RecreateWnd();
}

void TExRichEdit::WMGetDlgCode(TMessage& Message) {
    TRichEdit::WMGetDlgCode(Message);
    Message.Result |= DLGC_WANTTAB;
}

void TExRichEdit::DoExit() {
    // Leaving the in-place editor ends the edit; the grid moving the focus itself does not.
    if (FGrid && !FGrid->FBlockFocus && FGrid->InplaceRichEdit() == this && Visible()) FGrid->HideInplaceEdit();
    TRichEdit::DoExit();
}

void TExRichEdit::KeyDown(Word& Key, TShiftState Shift) {
    TRichEdit::KeyDown(Key, Shift);
    if (!FGrid) return;
    if (Key == VK_TAB && FGrid->Options().Contains(goTabs)) {
        Word k = Key;
        Key = 0;
        FGrid->SetFocus();
        FGrid->KeyDown(k, Shift);
        FGrid->ShowInplaceEdit();
        return;
    }
    if ((Key == VK_UP || Key == VK_DOWN) && !FGrid->WordWrap()) {
        Word k = Key;
        Key = 0;
        FGrid->SetFocus();
        FGrid->KeyDown(k, Shift);
    }
}
