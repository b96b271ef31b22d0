// The selection resizer: a drag on the grip at the selection's bottom-right
// corner stretches the selection and pastes what it held over the new one.
#include "grid/ExGrid.h"

#include "grid/ExGridTools.h"

namespace {
constexpr int GripSize = 6;
}  // namespace

bool TExStringGrid::OnSelectionGrip(int X, int Y) {
    if (!FSelectionResizer || !FSelectionRectangle) return false;
    const TGridRect sel = Selection();
    const TRect R = CellRect(sel.Right, sel.Bottom);
    if (R.Right <= R.Left || R.Bottom <= R.Top) return false;
    // Right to left the corner lies at the cell's left on the screen.
    const int Left = UseRightToLeftAlignment() ? R.Left : R.Right - GripSize;
    return X >= Left && X < Left + GripSize && Y >= R.Bottom - GripSize && Y < R.Bottom;
}

bool TExStringGrid::SelectionResizePress(int X, int Y, TWMMouse& Message) {
    if (!OnSelectionGrip(X, Y)) return false;
    const TGridRect sel = Selection();
    SetGridState(gsSelecting);
    FTools->SetDropSelection(sel);
    CopySelectionToClipboard();
    FMouseResize = true;
    // The framework's press (mouse capture) only where it opens no editor.
    if (!Options().Contains(goEditing) && !FMouseActions.RangeSelectAndEdit()) TBaseGrid::WMLButtonDown(Message);
    // The press only grabs the grip: the selection stays as it was, held at
    // its top-left corner while the drag moves the bottom-right one.
    TGridRect held;
    held.Left = sel.Right;
    held.Top = sel.Bottom;
    held.Right = sel.Left;
    held.Bottom = sel.Top;
    SetSelection(held);
    MouseMove(TShiftState{}, X, Y);
    Message.Result = 1;
    return true;
}

void TExStringGrid::SelectionResizeRelease() {
    if (!FMouseResize) return;
    const TGridRect from = FTools->DropSelection(), to = Selection();
    if (OnSelectionResize) OnSelectionResize(this, from, to);
    // The paste fills the cells themselves, never an open editor.
    HideInplaceEdit();
    PasteSelectionFromClipboard();
    FMouseResize = false;
    if (OnSelectionResized) OnSelectionResized(this, from, to);
}
