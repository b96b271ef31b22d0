// The combo editor of the grid: its opening and write-back, the grid's
// combo operations, and the editor's keys, changes and exit.
#include "grid/ExGrid.h"

#include "framework/Messages.h"
#include "framework/StdCtrls.h"

#include <utility>

// ---------------------------------------------------------------------------
// The grid's combo operations

void TExStringGrid::AddComboString(const String& S) { FEditCombo->Items().Add(S); }

void TExStringGrid::AddComboStringObject(const String& S, TObject* AObject) { FEditCombo->Items().AddObject(S, AObject); }

bool TExStringGrid::RemoveComboString(const String& S) {
    int i = FEditCombo->Items().IndexOf(S);
    if (i < 0) return false;
    FEditCombo->Items().Delete(i);
    return true;
}

void TExStringGrid::ClearComboString() { FEditCombo->Items().Clear(); }

int TExStringGrid::GetComboCount() { return FEditCombo->Items().Count(); }

bool TExStringGrid::SetComboSelectionString(const String& S) {
    int i = FEditCombo->Items().IndexOf(S);
    if (i < 0) return false;
    FComboIdx = i;
    return true;
}

void TExStringGrid::SetComboIndex(int ACol, int ARow, int Value) {
    DoGetEditorProp(ACol, ARow);
    if (Value >= 0 && Value < FEditCombo->Items().Count()) SetCellEx(ACol, ARow, FEditCombo->Items()[Value]);
}

int TExStringGrid::GetComboIndex(int ACol, int ARow) {
    DoGetEditorProp(ACol, ARow);
    return FEditCombo->Items().IndexOf(GetCellEx(ACol, ARow));
}

void TExStringGrid::TabFromEditor(TShiftState Shift) {
    if (CanFocus()) SetFocus();
    if (Options().Contains(goTabs)) TabAdvance(Shift.Contains(ssShift));
    else Perform(CN_KEYDOWN, VK_TAB, 0);
}

bool TExStringGrid::TakeCaretPress(const TControl& E, TPoint& P) {
    if (!LButFlg) return false;
    P = E.ScreenToClient(GetCursorPos());
    if (P.X < 0 || P.Y < 0 || P.X > E.Width() || P.Y > E.Height()) return false;
    LButFlg = false;
    return true;
}

void TExStringGrid::DoGetEditorProp(int ACol, int ARow, TEditLink* AEditLink) {
    if (OnGetEditorProp) OnGetEditorProp(this, ACol, ARow, AEditLink);
    if (OnGetEditorPropInt) OnGetEditorPropInt(this, ACol, ARow);
}

// ---------------------------------------------------------------------------
// Opening and write-back

void TExStringGrid::ShowCellEditor(int ACol, int ARow) {
    FEditCtrl = nullptr;
    if (IsFurtherEditorKind(FEditControl)) {
        ShowFurtherEditor(ACol, ARow);
        // Buttons and check boxes take no text: typing only opens them.
        if (FEditControl == edButton || FEditControl == edCheckBox) FStartEditChar = 0;
        TypeStartEditChar(Screen->ActiveControl());
        return;
    }
    FEditing = FSpecialEditor = FEditActive = true;
    TRect R = CellRect(ACol, ARow);
    const int W = R.Right - R.Left - 1, H = R.Bottom - R.Top - 1;
    const int rc = RealColIndex(ACol);
    FLastValidation = true;
    const String T = GetEditText(ACol, ARow);
    TGridCombo& c = *FEditCombo;
    if (c.Parent() != this) c.SetParent(this);
    c.SetDropDownCount(FControlLook.DropDownCount);
    DoGetEditorProp(rc, ARow, FEditLink);
    c.SetDroppedDown(false);
    c.SetEnabled(true);
    bool first = false;
    if (FEditControl == edComboList) {
        c.SetStyle(csDropDownList);
        int idx = c.Items().IndexOf(GetGridCell(rc, ARow));
        if (idx < 0 && FComboIdx == -1) {
            idx = c.Items().IndexOf(T);
            if (idx < 0 && c.Items().Count() > 0) idx = 0;
            first = true;
        } else if (idx < 0) {
            idx = FComboIdx;
        }
        c.SetItemIndex(idx);
    } else {
        c.SetStyle(csDropDown);
        c.SetMaxLength(FMaxComboLength);
        c.SetItemHeight(-1, H - 6);
        c.SetText(T);
        if (FComboIdx != -1 && c.ItemIndex() == -1) c.SetItemIndex(FComboIdx);
    }
    c.SetBounds(R.Left, R.Top, W, H);
    c.SetColor(Color());
    c.SetFlat(FLook != glStandard && FLook != glClassic && FLook != glCustom);
    c.SetEtched(c.Flat());
    if (FNavigation.AutoComboDropSize()) c.SizeDropDownWidth();
    c.ReportedIndex = c.ItemIndex();
    c.SetVisible(true);
    FEditCtrl = &c;
    if (c.CanFocus()) c.SetFocus();
    if (first && c.Items().Count() > 0) {
        if (OnComboChange) OnComboChange(this, rc, ARow, 0, c.Items()[0]);
        if (OnComboObjectChange) OnComboObjectChange(this, rc, ARow, 0, c.Items()[0], c.Items().Objects(0));
    }
    if (FMouseActions.DirectComboDrop() || FControlLook.DropDownAlwaysVisible) c.SetDroppedDown(true);
    TypeStartEditChar(&c);
}

void TExStringGrid::TypeStartEditChar(TWinControl* Editor) {
    // The character typed to open the editor is its first input, not lost;
    // as in the text editor it replaces the cell's text.
    const Char ch = std::exchange(FStartEditChar, Char(0));
    if (!ch || !Editor || Editor == this || !Editor->Visible()) return;
    if (auto* e = dynamic_cast<TCustomEdit*>(Editor)) e->SelectAll();
    TypeChar(Editor, ch);
}

void TExStringGrid::EditorToCell(int ACol, int ARow) {
    if (!FSpecialEditor) return;
    FSpecialEditor = false;
    if (FurtherEditorToCell(ACol, ARow)) return;
    FEditActive = false;
    if (FEditCombo->Visible()) {
        // Writing the cell refreshes the grid's editor: with the editor mode
        // still on, a grid that has the focus would open the combo again.
        HideEditor();
        SetEditorValue(RealColIndex(ACol), ARow, FEditCombo->Text());
        FEditCombo->SetVisible(false);
    }
}

void TExStringGrid::TopLeftChanged() {
    TBaseGrid::TopLeftChanged();
    // What stands still while the cells move is drawn anew: a frame around
    // several rows, a background picture or gradient.
    const TGridRect sel = Selection();
    bool repaint = FSelectionRectangle && sel.Bottom > sel.Top;
    if (FTools) {
        TBackGround& bg = BackGround();
        const TBackGroundDisplay d = bg.Display();
        if ((d == bdFixed || d == bdTile) && !bg.Bitmap().Empty()) repaint = true;
        if ((d == bdGradientHorz || d == bdGradientVert) && bg.ColorTo() != clNone) repaint = true;
        if (TFooterPanel* p = FTools->FooterPanel(); p && p->Visible()) p->Invalidate();
    }
    if (repaint) InvalidateGrid();
    UpdateMetroBars();
    if (FSpecialEditor && FEditMode) HideInplaceEdit();
    CellControlsUpdate(false);
    // A grid coupled for scrolling follows (through the framework's setters, which do nothing when equal).
    if (TStringGrid* other = FSyncGrid.Grid()) {
        if (FSyncGrid.ScrollVertical() && other->TopRow() != TopRow() && TopRow() < other->RowCount())
            other->SetTopRow(TopRow());
        if (FSyncGrid.ScrollHorizontal() && other->LeftCol() != LeftCol() && LeftCol() < other->ColCount())
            other->SetLeftCol(LeftCol());
    }
}

// ---------------------------------------------------------------------------
// The combo editor

TGridCombo::TGridCombo(TExStringGrid* AGrid) : TExgComboBox(AGrid), FGrid(AGrid) {
    SetButtonWidth(16);
    // A themed system: the button needs no ring. IsVista stays off: the
    // platform's own combo look never replaces the grid's flat one.
    SetIsWinXP(true);
    SetVisible(false);
}

void TGridCombo::SizeDropDownWidth() {
    int w = Width();
    const bool scrolls = Items().Count() > DropDownCount();
    TCanvas& canvas = FGrid->Canvas();
    for (int i = 0; i < Items().Count(); ++i) {
        int tw = canvas.TextWidth(Items()[i]);
        if (scrolls && tw > w - 25) w = tw + 25;
        if (!scrolls && tw > w - 5) w = tw + 8;
    }
    SetDroppedWidth(w);
}

void TGridCombo::ReportIndexChange() {
    if (ItemIndex() == ReportedIndex) return;
    ReportedIndex = ItemIndex();
    const int rc = FGrid->RealColIndex(FGrid->Col());
    const String sel = ReportedIndex >= 0 ? Items()[ReportedIndex] : Text();
    TObject* obj = ReportedIndex >= 0 ? Items().Objects(ReportedIndex) : nullptr;
    if (FGrid->OnComboChange) FGrid->OnComboChange(FGrid, rc, FGrid->Row(), ReportedIndex, sel);
    if (FGrid->OnComboObjectChange) FGrid->OnComboObjectChange(FGrid, rc, FGrid->Row(), ReportedIndex, sel, obj);
}

void TGridCombo::KeyDown(Word& Key, TShiftState Shift) {
    FWorkMode = Key != VK_BACK && Key != VK_DELETE;
    const bool list = Style() == csDropDownList || DroppedDown();
    bool special;
    if (Shift.Contains(ssAlt) || Key == VK_F4) special = false;
    else if (list) special = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_LEFT || Key == VK_RIGHT;
    else
        special = Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT ||
                  Key == VK_END || Key == VK_UP || Key == VK_DOWN;
    if ((Key == VK_UP || Key == VK_DOWN) && !FGrid->Navigation().ComboGetUpDown() && !DroppedDown()) {
        FGrid->HideInplaceEdit();
        // The grid takes the focus without reopening an editor; its move opens the next one.
        const bool always = FGrid->Navigation().AlwaysEdit();
        FGrid->Navigation().SetAlwaysEdit(false);
        if (FGrid->CanFocus()) FGrid->SetFocus();
        FGrid->Navigation().SetAlwaysEdit(always);
        FGrid->KeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if (!special) {
        TExgComboBox::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        const String cur = FGrid->GetCurrentCell();
        SetText(cur);
        if (int i = Items().IndexOf(cur); i >= 0) SetItemIndex(i);
        FGrid->HideInplaceEdit();
        FGrid->SetFocus();
        Key = 0;
        return;
    }
    if (Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN) {
        FGrid->SetCurrentCell(Text());
        if (!FGrid->ValidateCell(Text())) {
            SetText(FGrid->FNewCellText);
            if (Style() != csDropDownList) SelectAll();
            Key = 0;
            return;
        }
        const String cell = FGrid->GetCurrentCell();
        if (Style() == csDropDownList) {
            if (int i = Items().IndexOf(cell); i >= 0) SetItemIndex(i);
        } else {
            SetText(cell);
        }
    }
    if (Key == VK_TAB) {
        FGrid->SetCurrentCell(Text());
        if (!FGrid->ValidateCell(Text())) {
            SetText(FGrid->FNewCellText);
            SetSelStart(int(Text().size()));
            Key = 0;
            return;
        }
        const String cell = FGrid->GetCurrentCell();
        if (Style() == csDropDownList) SetItemIndex(Items().IndexOf(cell));
        else SetText(cell);
        Key = 0;
        FGrid->HideInplaceEdit();
        FGrid->TabFromEditor(Shift);
        return;
    }
    if (list) {
        // Left and Right commit without validation and move the grid once; the list's own close is no pick.
        if (Key == VK_LEFT || Key == VK_RIGHT) FGrid->FEditing = false;
        const bool directClose = FGrid->MouseActions().DirectComboClose();
        FGrid->MouseActions().SetDirectComboClose(false);
        FGrid->HideInplaceEdit();
        FGrid->MouseActions().SetDirectComboClose(directClose);
        if (Key == VK_LEFT || Key == VK_RIGHT) {
            FGrid->KeyDown(Key, Shift);
            Key = 0;
        }
        if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN) Key = 0;
    } else if (Key == VK_END) {
        TExgComboBox::KeyDown(Key, Shift);
        return;
    }
    FGrid->DoneInplaceEdit(Key, Shift);
    if (FGrid->Navigation().AdvanceOnEnter() && FGrid->Navigation().AdvanceAutoEdit()) FGrid->ShowInplaceEdit();
    Key = 0;
}

void TGridCombo::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    TExgComboBox::CMWantSpecialKey(Message);
    const Word k = Message.CharCode();
    if (FGrid->EditorClaimsKey(k)) Message.Result = 1;
}

void TGridCombo::KeyUp(Word& Key, TShiftState Shift) {
    // Left at the start or Right at the end of the text walks on to the cell beside.
    if ((Key == VK_LEFT || Key == VK_RIGHT) && Style() != csDropDownList && FGrid->Navigation().CursorWalkEditor() &&
        SelLength() == 0 && !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt) &&
        SelStart() == (Key == VK_LEFT ? 0 : int(Text().size()))) {
        const bool forward = Key == VK_RIGHT;
        Key = 0;
        FGrid->CursorWalk(forward, false, [this] {
            FGrid->SetCurrentCell(Text());
            if (!FGrid->ValidateCell(Text())) {
                SetText(FGrid->FNewCellText);
                return false;
            }
            SetText(FGrid->GetCurrentCell());
            return true;
        });
        return;
    }
    TExgComboBox::KeyUp(Key, Shift);
    DoChange();
}

void TGridCombo::DoChange() {
    if (!FWorkMode || !FGrid->Lookup() || Style() == csDropDownList) return;
    const int typed = SelStart();
    String completed;
    const bool cs = FGrid->LookupCaseSensitive();
    int item = LookupCompletion(Text(), typed, Items(), cs, completed);
    if (item < 0 && LookupCompletion(Text(), typed, FGrid->LookupItems(), cs, completed) < 0) return;
    // The item first: selecting it shows its own text, the typed part keeps the person's case.
    if (item >= 0) SetItemIndex(item);
    SetText(completed);
    SetSelStart(typed);
    SetSelLength(int(completed.size()) - typed);
}

void TGridCombo::KeyPress(Char& Key) {
    // The grid's handler sees the editor as Sender: table editors rely on it.
    if (FGrid->OnKeyPress) FGrid->OnKeyPress(this, Key);
    if (Key == 13 && OnReturnKey) OnReturnKey(this);
    if (Key == 27 || Key == 13 || Key == 9) Key = 0;
    TExgComboBox::KeyPress(Key);
}

void TGridCombo::Change() {
    TExgComboBox::Change();
    if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
    // Every pick and every typed change is told, with the typed text when it is no item.
    if (FGrid->FEditMode) {
        ReportedIndex = -2;
        ReportIndexChange();
    }
}

void TGridCombo::WndProc(TMessage& Message) {
    if (Message.Msg != WM_MOUSEWHEEL) {
        TExgComboBox::WndProc(Message);
        return;
    }
    // Toward the user: the next item, never past the last; away: the previous one.
    const int delta = short(Message.WParamHi());
    const int i = ItemIndex();
    if (delta < 0 && i < Items().Count() - 1) SetItemIndex(i + 1);
    else if (delta > 0 && i > 0) SetItemIndex(i - 1);
    const int rc = FGrid->RealColIndex(FGrid->Col());
    const String sel = ItemIndex() >= 0 ? Items()[ItemIndex()] : String();
    if (FGrid->OnEditChange) FGrid->OnEditChange(FGrid, rc, FGrid->Row(), sel);
    ReportedIndex = -2;
    ReportIndexChange();
    Message.Result = 0;
}

void TGridCombo::DropDown() {
    TExgComboBox::DropDown();
    if (ComponentState().Contains(csDestroying)) return;
    FGrid->DoComboDropDown(FGrid->Row(), FGrid->RealColIndex(FGrid->Col()));
}

void TGridCombo::CloseUp() {
    TExgComboBox::CloseUp();
    // Hiding the list while the grid goes away tells nobody.
    if (ComponentState().Contains(csDestroying)) return;
    const int row = FGrid->Row(), rc = FGrid->RealColIndex(FGrid->Col());
    // A list closed by the editor's own ending (FSpecialEditor already off) is no pick.
    if (FGrid->MouseActions().DirectComboClose() && Visible() && FGrid->FSpecialEditor && FGrid->FEditMode) {
        if (ItemIndex() >= 0) SetText(Items()[ItemIndex()]);
        ReportIndexChange();
        FGrid->FEditControl = edComboEdit;
        // The pick is final: DirectEdit must not reopen the editor on the grid's focus.
        const bool direct = FGrid->MouseActions().DirectEdit();
        FGrid->MouseActions().SetDirectEdit(false);
        FGrid->HideInplaceEdit();
        FGrid->MouseActions().SetDirectEdit(direct);
        if (FGrid->CanFocus()) FGrid->SetFocus();
    }
    FGrid->DoComboCloseUp(row, rc);
}

void TGridCombo::DoEnter() {
    TExgComboBox::DoEnter();
    FGotFocus = true;
    if (Style() == csDropDownList) return;
    if (FGrid->Navigation().EditSelectAll()) SelectAll();
    else SetSelStart(int(Text().size()));
    TPoint p;
    if (FGrid->TakeCaretPress(*this, p)) {
        // Over no character the caret stays as it was.
        if (const int at = CharFromPos(p); at >= 0) {
            SetSelStart(at);
            SetSelLength(0);
        }
    }
}

void TGridCombo::DoExit() {
    if (FGrid->LookupHistory() && !Text().empty() && Items().IndexOf(Text()) < 0) Items().Add(Text());
    TExgComboBox::DoExit();
    if (!FGotFocus) return;
    FGotFocus = false;
    // The focus left while the combo was open: its text goes into the cell.
    if (FGrid->FSpecialEditor && FGrid->FEditMode) FGrid->HideInplaceEdit();
    FGrid->EditingDone(FGrid->RealColIndex(FGrid->Col()), FGrid->Row());
}
