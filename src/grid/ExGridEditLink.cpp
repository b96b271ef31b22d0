#include "grid/ExGridEditLink.h"

#include "framework/Messages.h"
#include "framework/StdCtrls.h"

namespace {

bool IsLeaveKey(Word Key) {
    switch (Key) {
        case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END:
        case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
            return true;
        default: return false;
    }
}

}  // namespace

TEditLink::TEditLink(TComponent* AOwner) : TComponent(AOwner) {}

TEditLink::~TEditLink() {
    RestoreWinProc();
    if (FPopupForm) FPopupForm->RemoveFreeNotification(this);
}

void TEditLink::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FPopupForm) FPopupForm = nullptr;
    if (AComponent == FSubClassedControl) FSubClassedControl = nullptr, FSubClassed = false;
}

// ---------------------------------------------------------------------------
// Opening

void TEditLink::Open(TExStringGrid* AGrid, int ACol, int ARow) {
    TExStringGrid& g = *AGrid;
    g.FEditMode = true;
    FOwner = AGrid;
    const int rc = g.RealColIndex(ACol);
    FEditCell = TPoint{rc, ARow};
    const TRect cell = g.CellRect(ACol, ARow);
    if (FEditStyle == esPopup) {
        if (FAutoPopupWidth) FPopupWidth = cell.Right - cell.Left;
        if (!FPopupForm) {
            // One pop-up window of that name: a stray one is freed first.
            if (TComponent* stray = Application->FindComponent(u"gridform")) delete stray;
            FPopupForm = new TForm(Application.operator->());
            FPopupForm->SetName(u"gridform");
            FPopupForm->FreeNotification(this);
        }
        TPoint p = FPopupLeft == -1 || FPopupTop == -1 ? g.ClientToScreen(TPoint{cell.Left, cell.Top})
                                                        : TPoint{FPopupLeft, FPopupTop};
        TForm& f = *FPopupForm;
        f.SetBounds(p.X, p.Y, 0, 0);
        f.OnDeactivate = [this](TObject* Sender) { FormExit(Sender); };
        f.SetFormStyle(fsStayOnTop);
        f.SetBorderStyle(bsNone);
        f.Show();
        f.SetBounds(p.X, p.Y, FPopupWidth, FPopupHeight);
        CreateEditor(&f);
        SetRect(Rect(0, 0, FPopupWidth, FPopupHeight));
    } else {
        CreateEditor(&g);
        SetRect(cell);
    }
    SetVisible(true);
    SetCellProps(g.Color(), g.Font());
    SetProperties();
    g.DoGetEditorProp(rc, ARow, this);
    SetEditorValue(g.GetEditText(ACol, ARow));
    SetFocus(true);
    g.FEditActive = true;
}

void TEditLink::SetRect(TRect R) {
    TWinControl* c = GetEditControl();
    if (!c || !FOwner) return;
    const int lw = FOwner->GridLineWidth();
    c->SetBounds(R.Left, R.Top, R.Right - R.Left - lw, R.Bottom - R.Top - lw);
}

void TEditLink::SetVisible(bool Value) {
    if (TWinControl* c = GetEditControl()) c->SetVisible(Value);
}

void TEditLink::SetFocus(bool Value) {
    TWinControl* e = GetEditControl();
    if (!e || !FOwner) return;
    if (Value) {
        if (!e->Visible()) e->SetVisible(true);
        if (!e->Enabled()) e->SetEnabled(true);
    }
    if (FEditStyle == esInplace && !FSubClassed) {
        // The grid answers the control's dialog-code query: the control is
        // asked for Enter and Escape, which end the edit, never the form's
        // default and cancel buttons; for Tab when the grid claims it; with
        // goTabs for the arrows too.
        FSubClassedControl = e;
        e->FreeNotification(this);
        FGridControlWndProc = e->WindowProc;
        TExStringGrid* grid = FOwner;
        TControl::TWndMethod own = FGridControlWndProc;
        e->WindowProc = [grid, own](TMessage& Message) {
            own(Message);
            if (Message.Msg != WM_GETDLGCODE) return;
            Message.Result |= DLGC_WANTALLKEYS;
            if (grid->EditorTakesTab()) Message.Result |= DLGC_WANTTAB;
            if (grid->Options().Contains(goTabs)) Message.Result |= DLGC_WANTCHARS | DLGC_WANTARROWS;
        };
        FSubClassed = true;
    }
    if (Value) {
        if (e->CanFocus()) e->SetFocus();
    } else if (FOwner->CanFocus()) {
        FOwner->SetFocus();
    }
}

void TEditLink::RestoreWinProc() {
    if (!FSubClassed || !FSubClassedControl) return;
    FSubClassedControl->WindowProc = FGridControlWndProc;
    FSubClassed = false;
    if (FSubClassedControl->HandleAllocated()) FSubClassedControl->SetVisible(false);
    FSubClassedControl = nullptr;
}

// ---------------------------------------------------------------------------
// Values and leaving

void TEditLink::SetCellValue(const String& S) {
    if (FOwner) FOwner->SetEditorValue(FOwner->RealColIndex(FOwner->Col()), FOwner->Row(), S);
}

String TEditLink::GetCellValue() {
    return FOwner ? FOwner->GetCellEx(FOwner->RealColIndex(FOwner->Col()), FOwner->Row()) : String();
}

TWinControl* TEditLink::GetParent() {
    if (FEditStyle == esPopup) return FPopupForm;
    return FOwner;
}

void TEditLink::HideEditor() {
    SetCellValue(GetEditorValue());
    if (FOwner) FOwner->HideInplaceEdit();
    RestoreWinProc();
}

void TEditLink::EditExit(TObject*) {
    HideEditor();
    if (FEditStyle == esPopup && FPopupForm) {
        DestroyEditor();
        FPopupForm->Hide();
    }
}

void TEditLink::FormExit(TObject* Sender) {
    if (FForcedExit) SetCellValue(GetEditorValue());
    else EditExit(Sender);
}

void TEditLink::ForcedExit() {
    // The value goes into the cell and the edit ends before the grid takes
    // the focus, so that entering the grid does not open the editor again.
    FForcedExit = true;
    FOwner->HideInplaceEdit();
    if (FOwner->CanFocus()) FOwner->SetFocus();
    FForcedExit = false;
}

void TEditLink::EditKeyDown(TObject*, Word& Key, TShiftState Shift) {
    if (!FOwner) return;
    TExStringGrid& g = *FOwner;
    bool leaves = IsLeaveKey(Key) || Shift.Contains(ssAlt);
    if ((Key == VK_UP || Key == VK_DOWN) && WantKeyUpDown) leaves = false;
    if ((Key == VK_LEFT || Key == VK_RIGHT) && WantKeyLeftRight) leaves = false;
    if ((Key == VK_HOME || Key == VK_END) && WantKeyHomeEnd) leaves = false;
    if ((Key == VK_PRIOR || Key == VK_NEXT) && WantKeyPriorNext) leaves = false;
    if (Key == VK_RETURN && WantKeyReturn) leaves = false;
    if (Key == VK_ESCAPE && WantKeyEscape) leaves = false;
    if (Key == VK_TAB && WantTabs) leaves = false;
    if (!leaves) return;
    const Word key = Key;
    if (key == VK_TAB && g.Navigation().TabToNextAtEnd()) {
        ForcedExit();
        const int c = g.Col(), r = g.Row();
        Word tab = VK_TAB;
        g.KeyDown(tab, Shift);
        if ((g.Col() != c || g.Row() != r) && g.HandleAllocated()) PostMessage(g.Handle(), WM_KEYDOWN, VK_F2);
        Key = 0;
        return;
    }
    Key = 0;
    if (key == VK_ESCAPE) SetEditorValue(g.FCellCache);
    ForcedExit();
    if (FEditStyle == esPopup) EditExit(this);
    if (!g.FLastValidation) {
        // Refused: the editor opens again on the same cell.
        g.FLastValidation = true;
        g.FEditControl = edCustom;
        g.FEditMode = true;
        g.ShowCellEditor(g.Col(), g.Row());
        return;
    }
    if (key == VK_TAB && !g.Options().Contains(goTabs)) {
        // Claimed only to validate: the form moves the focus on.
        if (TWinControl* e = GetEditControl()) e->SetEnabled(false);
        g.TabFromEditor(Shift);
        return;
    }
    if (key == VK_RETURN) {
        g.AdvanceCell(g.Col(), g.Row(), true, !Shift.Contains(ssShift), true, false);
    } else if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        Word k = key;
        g.KeyDown(k, Shift);
    }
    if (key != VK_RETURN && key != VK_ESCAPE) {
        if (TWinControl* e = GetEditControl()) e->SetEnabled(false);
    }
    FForcedExit = true;
    if (g.CanFocus()) g.SetFocus();
    FForcedExit = false;
}

void TExStringGrid::EditLinkComboNotify(const TMessage& Message) {
    const Word code = Word(Message.WParam >> 16);
    if (FEditControl != edCustom || !FEditLink || (code != CBN_SELCHANGE && code != CBN_EDITCHANGE)) return;
    auto* combo = dynamic_cast<TComboBox*>(FEditLink->GetEditControl());
    if (!combo || !combo->HandleAllocated() || LPARAM(combo->Handle()) != Message.LParam) return;
    const int idx = combo->ItemIndex();
    const String item = idx >= 0 && idx < combo->Items().Count() ? combo->Items()[idx] : String();
    if (OnComboChange) OnComboChange(this, Col(), Row(), idx, item);
}
