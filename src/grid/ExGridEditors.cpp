// The grid's further cell editors: their making, opening and write-back,
// and each editor's keys.
#include "grid/ExGridEditors.h"
#include "grid/ExGridDropDowns.h"
#include "grid/ExGridEditLink.h"
#include "grid/ExRichEdit.h"

#include "framework/Messages.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "grid/foundation/ExStyleIF.h"
#include "grid/foundation/GridText.h"

#include <algorithm>

namespace {

bool IsOneOf(Word Key, std::initializer_list<Word> Keys) {
    for (Word k : Keys)
        if (k == Key) return true;
    return false;
}

// The character filter of the numeric and float button editors: a dropped
// character becomes 0 (with a beep where the person should notice).
void FilterNumberKey(TCustomEdit& E, TEditorType Kind, Char& Key) {
    const bool numeric = Kind == edNumericEditBtn || Kind == edNumericUnitEditBtn;
    const bool floating = Kind == edFloatEditBtn || Kind == edFloatUnitEditBtn;
    if (!numeric && !floating) return;
    const String text = E.Text();
    const bool hasMinus = text.find(u'-') != String::npos;
    const bool digit = Key >= u'0' && Key <= u'9';
    const bool control = Key == VK_BACK || Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE;
    if (numeric) {
        // A minus only leads the number, and only once.
        if (control || digit || (Key == u'-' && !hasMinus && E.SelStart() == 0)) return;
        MessageBeep(0);
        Key = 0;
        return;
    }
    if (!(control || digit || Key == u',' || Key == u'-' || Key == u'.')) {
        // Ctrl+C, Ctrl+V and Ctrl+X still work.
        if (GetKeyState(VK_CONTROL) >= 0) Key = 0;
        return;
    }
    const Char dec = GetDecimalSeparatorChar();
    if ((Key == dec && text.find(dec) != String::npos && E.SelText().find(dec) == String::npos) ||
        (Key == GetThousandSeparatorChar() && Key != dec)) {
        Key = 0;
        return;
    }
    if (Key == u'-' && !((E.SelStart() == 0 && !hasMinus) || E.SelText().find(u'-') != String::npos)) {
        MessageBeep(0);
        Key = 0;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Making, opening and write-back

void TExStringGrid::CreateFurtherEditors() {
    FEditBtn = new TGridEditBtn(this);
    FUnitEditBtn = new TGridUnitEditBtn(this);
    FUnitEditBtn->OnUnitChanged = [this](TObject*, const String& NewUnit) {
        if (OnUnitChanged) OnUnitChanged(this, Col(), Row(), NewUnit);
    };
    FEditCheck = new TGridCheckBox(this);
    FGridButton = new TGridButton(this);
    CreateCellControlEditors();
}

TGridSpin* TExStringGrid::SpinEdit() {
    if (!FEditSpin) FEditSpin = new TGridSpin(this);
    return FEditSpin;
}

String TExStringGrid::DoEllipsClick(const String& Value) {
    String s = Value;
    if (OnEllipsClick) OnEllipsClick(this, RealColIndex(Col()), Row(), s);
    return s;
}

bool TExStringGrid::IsFurtherEditorKind(TEditorType Kind) const {
    switch (Kind) {
        case edSpinEdit: case edFloatSpinEdit: case edTimeSpinEdit: case edDateSpinEdit:
        case edEditBtn: case edNumericEditBtn: case edFloatEditBtn: case edMaskEditBtn:
        case edUnitEditBtn: case edNumericUnitEditBtn: case edFloatUnitEditBtn:
        case edCheckBox: case edButton: case edRichEdit:
        case edDateEdit: case edDateEditUpDown: case edTimeEdit: case edDateTimeEdit:
            return true;
        case edCustom: return FEditLink != nullptr;
        case edTrackbarDropDown: case edMemoDropDown: case edCalculatorDropDown: case edTimePickerDropDown:
        case edDetailDropDown: case edImagePickerDropDown: case edGridDropDown: case edExGridDropDown:
        case edColorPickerDropDown:
            return true;
        default: return false;
    }
}

void TExStringGrid::ShowFurtherEditor(int ACol, int ARow) {
    FEditing = FSpecialEditor = FEditActive = true;
    if (FEditControl == edCustom) {
        FEditLink->Open(this, ACol, ARow);
        // A link may free its control when it closes: the grid lets go of it then.
        FEditCtrl = FEditLink->GetEditControl();
        if (FEditCtrl) FEditCtrl->FreeNotification(this);
        return;
    }
    if (TExCustomDropDown* d = DropDownOfKind(FEditControl)) {
        ShowDropDownEditor(ACol, ARow, *d);
        return;
    }
    const TRect R = CellRect(ACol, ARow);
    const int W = R.Right - R.Left - 1, H = R.Bottom - R.Top - 1;
    const int rc = RealColIndex(ACol);
    FLastValidation = true;
    const String T = GetEditText(ACol, ARow);
    TWinControl* shown = nullptr;
    switch (FEditControl) {
        case edSpinEdit: case edFloatSpinEdit: case edTimeSpinEdit: case edDateSpinEdit: {
            TGridSpin& s = *SpinEdit();
            s.ReCreate();
            s.SetBounds(R.Left, R.Top, W, H);
            DoGetEditorProp(rc, ARow, FEditLink);
            if (FEditControl == edSpinEdit) {
                int v = 0;
                s.SetSpinType(sptNormal);
                s.SetValue(TryStrToInt(Trim(T), v) ? v : 0);
            } else if (FEditControl == edFloatSpinEdit) {
                double v = 0;
                s.SetSpinType(sptFloat);
                s.SetFloatValue(TryStrToFloat(DisplayToFloatText(T), v) ? v : 0);
            } else if (FEditControl == edTimeSpinEdit) {
                s.SetSpinType(sptTime);
                s.SetText(T);
            } else {
                TDateTime d = 0;
                s.SetSpinType(sptDate);
                s.SetDateValue(!T.empty() && TryStrToDate(T, d) ? d : Now());
            }
            // Opened by a press on the cell's spin button: that press steps once.
            if (FSpinUpClick) s.UpClick(nullptr);
            else if (FSpinDnClick) s.DownClick(nullptr);
            FSpinUpClick = FSpinDnClick = false;
            shown = &s;
            break;
        }
        case edEditBtn: case edNumericEditBtn: case edFloatEditBtn: case edMaskEditBtn: {
            TGridEditBtn& e = *FEditBtn;
            e.ReCreate();
            e.SetEditMask(FEditControl == edMaskEditBtn ? GetEditMask(ACol, ARow) : String());
            e.SetBounds(R.Left, R.Top, W, H);
            e.SetText(T);
            e.SetMaxLength(GetEditLimit());
            shown = &e;
            break;
        }
        case edUnitEditBtn: case edNumericUnitEditBtn: case edFloatUnitEditBtn: {
            TGridUnitEditBtn& u = *FUnitEditBtn;
            u.ReCreate();
            u.SetBounds(R.Left, R.Top, W, H);
            u.SetMaxLength(GetEditLimit());
            u.SetUnitID(String());
            u.SetText(String());
            DoGetEditorProp(rc, ARow, FEditLink);
            u.SetTextAndUnit(T);
            // A value ending in none of the units is all text: left empty, the edit would clear the cell.
            if (u.Text().empty() && u.UnitID().empty()) u.SetText(T);
            shown = &u;
            break;
        }
        case edCheckBox: {
            TGridCheckBox& c = *FEditCheck;
            c.ReCreate();
            c.SetBounds(R.Left, R.Top, W, H);
            c.SetCaption(T);
            c.SetState(cbUnchecked);
            shown = &c;
            break;
        }
        case edButton: {
            TGridButton& b = *FGridButton;
            b.ReCreate();
            // One pixel outside the cell on every side, so the button covers its lines.
            b.SetBounds(R.Left - 1, R.Top - 1, W + 2, H + 2);
            b.SetCaption(T);
            shown = &b;
            break;
        }
        case edDateEdit: case edDateEditUpDown: case edTimeEdit: {
            TGridDatePicker& d = *GetEditDate();
            d.ReCreate();
            TDateTime v = 0;
            if (FEditControl == edTimeEdit) {
                d.SetKind(dtkTime);
                d.SetDateTime(!T.empty() && TryStrToTime(T, v) ? v : Now());
            } else {
                if (OnCustomStrToDate) {
                    v = Now();
                    OnCustomStrToDate(this, T, v);
                } else if (T.empty() || !TryStrToDateTime(T, v)) v = Now();
                // Just inside the picker's range, so that it shows a day it takes.
                else if (d.MaxDate() != 0 && d.MaxDate() < v) v = d.MaxDate() - 1;
                else if (d.MinDate() != 0 && d.MinDate() >= v) v = d.MinDate() + 1;
                d.SetKind(dtkDate);
                d.SetDateMode(FEditControl == edDateEditUpDown ? dmUpDown : dmComboBox);
                d.SetDateTime(v);
            }
            DoGetEditorProp(rc, ARow, FEditLink);
            d.SetBounds(R.Left, R.Top, W, H);
            shown = &d;
            break;
        }
        case edDateTimeEdit: {
            TGridDateTimePicker& d = *DateAndTimePicker();
            TDateTime v = 0;
            if (T.empty() || !TryStrToDateTime(T, v)) v = Now();
            FOriginalDateTime = v;
            d.SetKind(dkDateTime);
            d.SetDateTime(v);
            d.SetBounds(R.Left, R.Top, W, std::max(d.Height(), H));
            DoGetEditorProp(rc, ARow, FEditLink);
            shown = &d;
            break;
        }
        case edRichEdit: {
            TExRichEdit& e = *InplaceRichEdit();
            e.ReCreate();
            e.SetBounds(R.Left, R.Top, W, H);
            DoGetEditorProp(rc, ARow, FEditLink);
            // Placing and filling the editor is no typing: the row keeps its height.
            e.Lock();
            CellToRich(rc, ARow, &e);
            if (FNavigation.EditSelectAll()) e.SelectAll();
            e.Unlock();
            shown = &e;
            break;
        }
        default: return;
    }
    if (shown->Parent() != this) shown->SetParent(this);
    if (FEditControl != edCheckBox && FEditControl != edDateTimeEdit) FEditCtrl = shown;
    shown->SetEnabled(true);
    if (FEditControl != edButton && FEditControl != edCheckBox) shown->SetColor(Color());
    shown->SetVisible(true);
    if (shown->CanFocus()) shown->SetFocus();
    if ((FEditControl == edDateEdit || FEditControl == edDateEditUpDown) && FMouseActions.DirectDateDrop())
        shown->Perform(WM_KEYDOWN, VK_F4);
}

bool TExStringGrid::FurtherEditorToCell(int ACol, int ARow) {
    if (!IsFurtherEditorKind(FEditControl)) return false;
    const int rc = RealColIndex(ACol);
    auto close = [](TWinControl* C) {
        C->SetVisible(false);
        C->SetEnabled(false);
    };
    if (TExCustomDropDown* d = DropDownOfKind(FEditControl)) {
        if (d->Visible()) {
            if (FEditControl == edColorPickerDropDown) {
                TColor c = FEditColorPicker->SelectedColor();
                String s = FEditColorPicker->SelectedColorText();
                if (OnColorSelected) OnColorSelected(this, rc, ARow, c, s);
                SetEditorValue(rc, ARow, s);
                if (GetShapeColor(rc, ARow) != clNone) {
                    SetShapeColor(rc, ARow, c);
                    RepaintCell(ACol, ARow);
                } else {
                    SetColors(rc, ARow, c);
                }
            } else if (FEditControl == edImagePickerDropDown) {
                // Only image cells take the choice.
                if (TCellGraphic* g = ImageCell(rc, ARow)) {
                    int index = FEditImagePicker->ImageIndex();
                    if (OnImageSelected) OnImageSelected(this, rc, ARow, index);
                    if (g->CellType == ctImageList) {
                        g->CellIndex = index;
                        RepaintCell(ACol, ARow);
                    } else {
                        SetEditorValue(rc, ARow, IntToStr(index));
                    }
                }
            } else {
                SetEditorValue(rc, ARow, d->Text());
            }
            close(d);
        }
    } else switch (FEditControl) {
        case edCustom:
            SetEditorValue(rc, ARow, FEditLink->GetEditorValue());
            if (FEditLink->EditStyle() != esPopup) FEditLink->SetVisible(false);
            FEditLink->RestoreWinProc();
            FEditMode = false;
            break;
        case edSpinEdit: case edFloatSpinEdit: case edTimeSpinEdit: case edDateSpinEdit: {
            TGridSpin& s = *SpinEdit();
            if (!s.Visible()) break;
            if (s.AllowEmptyValue() && Trim(s.Text()).empty()) SetCellEx(rc, ARow, String());
            else if (FEditControl == edSpinEdit) SetInts(rc, ARow, s.Value());
            else if (FEditControl == edFloatSpinEdit) SetFloats(rc, ARow, s.FloatValue());
            else if (FEditControl == edTimeSpinEdit) SetEditorValue(rc, ARow, s.Text());
            else SetDates(rc, ARow, s.DateValue());
            close(&s);
            break;
        }
        case edEditBtn: case edNumericEditBtn: case edFloatEditBtn: case edMaskEditBtn:
            if (!FEditBtn->Visible()) break;
            SetEditorValue(rc, ARow, FEditBtn->Text());
            close(FEditBtn);
            break;
        case edUnitEditBtn: case edNumericUnitEditBtn: case edFloatUnitEditBtn:
            if (!FUnitEditBtn->Visible()) break;
            SetEditorValue(rc, ARow, FUnitEditBtn->TextAndUnit());
            close(FUnitEditBtn);
            break;
        case edRichEdit:
            if (!FInplaceRichEdit || !FInplaceRichEdit->Visible()) break;
            SetEditorValue(rc, ARow, RichToString(FInplaceRichEdit));
            close(FInplaceRichEdit);
            break;
        case edDateEdit: case edDateEditUpDown: case edTimeEdit:
            if (!FEditDate || !FEditDate->Visible()) break;
            SetEditorValue(rc, ARow, FEditControl == edTimeEdit || FEditDate->Checked() ? FEditDate->ValueText() : String());
            close(FEditDate);
            break;
        case edDateTimeEdit:
            if (!FEditDateTime || !FEditDateTime->Visible()) break;
            SetEditorValue(rc, ARow, FEditDateTime->ValueText());
            close(FEditDateTime);
            break;
        case edCheckBox: close(FEditCheck); break;
        case edButton: close(FGridButton); break;
        default: break;
    }
    // The end of the edit is told once the value is in the cell.
    if (FEditActive) EditingDone(rc, ARow);
    FEditActive = false;
    return true;
}

TGridDatePicker* TExStringGrid::GetEditDate() {
    if (!FEditDate) {
        FEditDate = new TGridDatePicker(this);
        FEditDate->SetParent(this);
        FEditDate->OnCloseUp = [this](TObject*) { DatePickerClosedUp(); };
        FEditDate->OnDropDown = [this](TObject*) {
            if (OnDatePickerDropDown) OnDatePickerDropDown(this, Row(), Col());
        };
        FEditDate->OnChange = [this](TObject*) {
            if (OnEditChange) OnEditChange(this, Col(), Row(), FEditDate->ValueText());
        };
    }
    return FEditDate;
}

TGridDateTimePicker* TExStringGrid::DateAndTimePicker() {
    if (!FEditDateTime) {
        FEditDateTime = new TGridDateTimePicker(this);
        FEditDateTime->SetParent(this);
        FEditDateTime->OnCloseUp = [this](TObject*) { DatePickerClosedUp(); };
        const TNotifyEvent changed = [this](TObject*) {
            if (OnDateTimeChange) OnDateTimeChange(this, Col(), Row(), FEditDateTime->GetDateTime());
        };
        FEditDateTime->OnChange = changed;
        FEditDateTime->OnTimeChange = changed;
    }
    return FEditDateTime;
}

void TExStringGrid::DatePickerClosedUp() {
    if (OnDatePickerCloseUp) OnDatePickerCloseUp(this, Row(), Col());
    if (FMouseActions.DirectDateClose()) HideInplaceEdit();
}

TExRichEdit* TExStringGrid::RichEdit() {
    if (!FRichEdit) {
        FRichEdit = new TExRichEdit(this);
        FRichEdit->SetVisible(false);
        FRichEdit->SetParent(this);
        FRichEdit->SetBounds(0, 0, 0, 0);
    }
    return FRichEdit;
}

TExRichEdit* TExStringGrid::InplaceRichEdit() {
    if (!FInplaceRichEdit) {
        FInplaceRichEdit = new TExRichEdit(this);
        FInplaceRichEdit->SetVisible(false);
        FInplaceRichEdit->SetParent(this);
        FInplaceRichEdit->OnSelectionChange = [this](TObject*) {
            if (OnRichEditSelectionChange) OnRichEditSelectionChange(this);
        };
    }
    return FInplaceRichEdit;
}

void TExStringGrid::CellToRich(int ACol, int ARow, TRichEdit* Richeditor) {
    const String cell = GetGridCell(ACol, ARow);
    if (cell.empty()) {
        Richeditor->SetText(String());
        return;
    }
    ByteString source;
    source.reserve(cell.size());
    for (Char ch : cell) source.push_back(char(ch & 0xFF));
    Richeditor->SetRTF(source);
}

String TExStringGrid::RichToString(TRichEdit* Richeditor) {
    if (ComponentState().Contains(csDestroying)) return String();
    // One character per byte of the RTF source, so that the cell loads again unchanged.
    const ByteString source = Richeditor->RTF();
    String s;
    s.reserve(source.size());
    for (char b : source) s.push_back(Char(static_cast<unsigned char>(b)));
    return s;
}

void TExStringGrid::RichToCell(int ACol, int ARow, TRichEdit* Richeditor) {
    SetCellEx(ACol, ARow, RichToString(Richeditor));
}

bool TExStringGrid::WriteAndValidate(const String& Text) {
    SetCurrentCell(Text);
    return ValidateCell(Text);
}

// ---------------------------------------------------------------------------
// TGridSpin

TGridSpin::TGridSpin(TExStringGrid* AGrid) : TExgSpinEdit(AGrid), FGrid(AGrid) {
    SetMaxValue(100);
    SetMinValue(0);
    SetIncrement(1);
    SetEnabled(false);
    SetVisible(false);
    Button()->SetIsWinXP(IsWinXPOrLater());
}

void TGridSpin::ReCreate() {
    if (HandleAllocated()) RecreateWnd();
}

void TGridSpin::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    const Word k = Message.CharCode();
    if (k == VK_RETURN || k == VK_ESCAPE || (k == VK_TAB && FGrid->Options().Contains(goTabs))) Message.Result = 1;
    else TExgSpinEdit::CMWantSpecialKey(Message);
}

void TGridSpin::KeyDown(Word& Key, TShiftState Shift) {
    TExStringGrid& g = *FGrid;
    const bool numeric = SpinType() == sptNormal || SpinType() == sptFloat;
    if (numeric && IsOneOf(Key, {VK_PRIOR, VK_NEXT, VK_HOME, VK_END})) {
        const bool up = Key == VK_PRIOR || Key == VK_HOME;
        // A page step that would pass a limit is not made: the value stays.
        if (SpinType() == sptNormal) {
            const int v = Value();
            if (Key == VK_PRIOR && v + Increment() <= MaxValue()) SetValue(v + Increment());
            else if (Key == VK_NEXT && v - Increment() >= MinValue()) SetValue(v - Increment());
            else if (Key == VK_HOME) SetValue(MaxValue());
            else if (Key == VK_END) SetValue(MinValue());
        } else {
            const double v = FloatValue();
            if (Key == VK_PRIOR && v + IncrementFloat() <= MaxFloatValue()) SetFloatValue(v + IncrementFloat());
            else if (Key == VK_NEXT && v - IncrementFloat() >= MinFloatValue()) SetFloatValue(v - IncrementFloat());
            else if (Key == VK_HOME) SetFloatValue(MaxFloatValue());
            else if (Key == VK_END) SetFloatValue(MinFloatValue());
        }
        if (g.OnSpinClick) g.OnSpinClick(&g, g.Col(), g.Row(), Value(), up);
        Key = 0;
        return;
    }
    if (!IsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN})) {
        TExgSpinEdit::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        SetText(g.FCellCache);
        if (SpinType() == sptNormal) SetValue(Value());
        else if (SpinType() == sptFloat) SetFloatValue(FloatValue());
    } else {
        if (!g.WriteAndValidate(Text())) {
            SetText(g.GetCurrentCell());
            SetSelStart(int(Text().size()));
            Invalidate();
            Key = 0;
            return;
        }
        SetText(g.GetCurrentCell());
    }
    if (Key == VK_TAB && g.Options().Contains(goTabs)) {
        g.DoneInplaceEdit(Key, Shift);
        Key = 0;
        return;
    }
    g.DoneInplaceEdit(Key, Shift);
    if (g.Navigation().AdvanceOnEnter() && g.Navigation().AdvanceAutoEdit()) g.ShowInplaceEdit();
    Key = 0;
}

void TGridSpin::KeyPress(Char& Key) {
    if (Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE) {
        Key = 0;
        return;
    }
    TExgSpinEdit::KeyPress(Key);
}

void TGridSpin::DoExit() {
    FGrid->HideInplaceEdit();
    TExgSpinEdit::DoExit();
}

void TGridSpin::Change() {
    TExgSpinEdit::Change();
    if (FGrid->OnEditChange && Visible()) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TGridSpin::UpClick(TObject* Sender) {
    TExgSpinEdit::UpClick(Sender);
    SpinClicked(true);
}

void TGridSpin::DownClick(TObject* Sender) {
    TExgSpinEdit::DownClick(Sender);
    SpinClicked(false);
}

void TGridSpin::SpinClicked(bool Up) {
    TExStringGrid& g = *FGrid;
    switch (SpinType()) {
        case sptNormal:
            if (g.OnSpinClick) g.OnSpinClick(&g, g.Col(), g.Row(), Value(), Up);
            break;
        case sptFloat:
            if (g.OnFloatSpinClick) g.OnFloatSpinClick(&g, g.Col(), g.Row(), FloatValue(), Up);
            break;
        case sptDate:
            if (g.OnDateSpinClick) g.OnDateSpinClick(&g, g.Col(), g.Row(), DateValue(), Up);
            break;
        case sptTime:
            if (g.OnTimeSpinClick) g.OnTimeSpinClick(&g, g.Col(), g.Row(), TimeValue(), Up);
            break;
    }
}

// ---------------------------------------------------------------------------
// TGridEditBtn

TGridEditBtn::TGridEditBtn(TExStringGrid* AGrid) : TExgEditBtn(AGrid), FGrid(AGrid) {
    SetEnabled(false);
    SetVisible(false);
    SetButtonCaption(u"...");
    SetIsWinXP(IsWinXPOrLater());
    OnClickBtn = [this](TObject* Sender) { ButtonClicked(Sender); };
}

void TGridEditBtn::ReCreate() {
    if (HandleAllocated()) RecreateWnd();
}

void TGridEditBtn::ButtonClicked(TObject*) {
    SetText(FGrid->DoEllipsClick(Text()));
    SelectAll();
    if (FStopEditAfterClick) {
        FGrid->HideInplaceEdit();
        FGrid->SetFocus();
    }
}

void TGridEditBtn::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    const Word k = Message.CharCode();
    if (FGrid->EditorClaimsKey(k)) Message.Result = 1;
    else TExgEditBtn::CMWantSpecialKey(Message);
}

void TGridEditBtn::KeyDown(Word& Key, TShiftState Shift) {
    TExStringGrid& g = *FGrid;
    FWorkMode = Key != VK_BACK && Key != VK_DELETE;
    FSelKeyDown = SelStart();
    const bool leaving = IsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN});
    if (!leaving && g.OnKeyDown) g.OnKeyDown(&g, Key, Shift);
    if (Shift.Contains(ssCtrl) || !leaving) {
        TExgEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
    if (IsOneOf(Key, {VK_TAB, VK_RETURN, VK_UP, VK_DOWN})) {
        const bool ok = g.WriteAndValidate(Text());
        SetText(g.FNewCellText);
        if (!ok) {
            SelectAll();
            Invalidate();
            Key = 0;
            return;
        }
    }
    if (Key == VK_ESCAPE) SetText(g.FCellCache);
    if (Key == VK_TAB && !g.Options().Contains(goTabs)) {
        // Claimed only to validate: the form moves the focus on as for the combo.
        Key = 0;
        g.HideInplaceEdit();
        g.TabFromEditor(Shift);
        return;
    }
    g.DoneInplaceEdit(Key, Shift);
    Key = 0;
}

void TGridEditBtn::KeyUp(Word& Key, TShiftState Shift) {
    TExStringGrid& g = *FGrid;
    if (g.OnKeyUp) g.OnKeyUp(&g, Key, Shift);
    const bool atEdge = SelLength() == 0 && ((Key == VK_LEFT && FSelKeyDown == 0) ||
                                             (Key == VK_RIGHT && SelStart() == int(Text().size())));
    if ((Key == VK_LEFT || Key == VK_RIGHT) && atEdge && g.Navigation().CursorWalkEditor() &&
        !Shift.Contains(ssShift)) {
        const bool forward = Key == VK_RIGHT;
        Key = 0;
        g.CursorWalk(forward, false, [this, &g] {
            if (g.WriteAndValidate(Text())) return true;
            SetText(g.FNewCellText);
            return false;
        });
        return;
    }
    if (Key != VK_RETURN) TExgEditBtn::KeyUp(Key, Shift);
    if (!FWorkMode || SelLength() != 0 || !g.Lookup() || g.LookupItems().Count() == 0) return;
    const int typed = SelStart();
    String completed;
    if (LookupCompletion(Text(), typed, g.LookupItems(), g.LookupCaseSensitive(), completed) < 0) return;
    SetText(completed);
    SetSelStart(typed);
    SetSelLength(int(completed.size()) - typed);
}

void TGridEditBtn::KeyPress(Char& Key) {
    if (Key == VK_RETURN || Key == VK_TAB) {
        Key = 0;
        return;
    }
    FilterNumberKey(*this, FGrid->EditControl(), Key);
    if (Key != 0) TExgEditBtn::KeyPress(Key);
}

void TGridEditBtn::DoExit() {
    FGrid->HideInplaceEdit();
    TExgEditBtn::DoExit();
}

void TGridEditBtn::Change() {
    TExgEditBtn::Change();
    if (FGrid->OnEditChange && Visible()) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), Text());
}

void TGridEditBtn::DblClick() {
    TExgEditBtn::DblClick();
    if (FGrid->OnDblClickCell) FGrid->OnDblClickCell(FGrid, FGrid->Row(), FGrid->Col());
}

// ---------------------------------------------------------------------------
// TGridUnitEditBtn

TGridUnitEditBtn::TGridUnitEditBtn(TExStringGrid* AGrid) : TExgUnitEditBtn(AGrid), FGrid(AGrid) {
    SetEnabled(false);
    SetVisible(false);
    SetButtonCaption(u"...");
    SetIsWinXP(IsWinXPOrLater());
    OnClickBtn = [this](TObject* Sender) { ButtonClicked(Sender); };
}

void TGridUnitEditBtn::ReCreate() {
    if (HandleAllocated()) RecreateWnd();
}

void TGridUnitEditBtn::ButtonClicked(TObject*) {
    SetText(FGrid->DoEllipsClick(Text()));
    SelectAll();
}

void TGridUnitEditBtn::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    const Word k = Message.CharCode();
    if (k == VK_RETURN || k == VK_ESCAPE || (k == VK_TAB && FGrid->Options().Contains(goTabs))) Message.Result = 1;
    else TExgUnitEditBtn::CMWantSpecialKey(Message);
}

void TGridUnitEditBtn::KeyDown(Word& Key, TShiftState Shift) {
    TExStringGrid& g = *FGrid;
    if (!IsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN})) {
        TExgUnitEditBtn::KeyDown(Key, Shift);
        return;
    }
    if (IsOneOf(Key, {VK_TAB, VK_RETURN, VK_UP, VK_DOWN})) {
        if (!g.WriteAndValidate(TextAndUnit())) {
            SetText(g.GetCurrentCell());
            return;
        }
        SetTextAndUnit(g.GetCurrentCell());
    }
    if (Key == VK_RETURN && g.Navigation().AdvanceOnEnter()) {
        g.HideInplaceEdit();
        g.SetFocus();
        Key = 0;
        g.AdvanceCell(g.Col(), g.Row(), false, true, false, false);
        return;
    }
    if (Key == VK_TAB && g.Options().Contains(goTabs)) {
        g.DoneInplaceEdit(Key, Shift);
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        SetUnitID(String());
        SetText(g.GetCurrentCell());
    }
    g.DoneInplaceEdit(Key, Shift);
    Key = 0;
}

void TGridUnitEditBtn::KeyPress(Char& Key) {
    if (Key == VK_RETURN) {
        Key = 0;
        return;
    }
    FilterNumberKey(*this, FGrid->EditControl(), Key);
    if (Key != 0) TExgUnitEditBtn::KeyPress(Key);
}

void TGridUnitEditBtn::DoExit() {
    FGrid->HideInplaceEdit();
    TExgUnitEditBtn::DoExit();
}

// ---------------------------------------------------------------------------
// TGridButton

TGridButton::TGridButton(TExStringGrid* AGrid) : TButton(AGrid), FGrid(AGrid) {
    SetEnabled(false);
    SetVisible(false);
    OnClick = [this](TObject*) {
        FGrid->DoButtonClick(FGrid->Col(), FGrid->Row());
    };
}

void TGridButton::ReCreate() {
    if (HandleAllocated()) RecreateWnd();
}

void TGridButton::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    if (IsOneOf(Message.CharCode(), {VK_ESCAPE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})) Message.Result = 1;
    else TButton::CMWantSpecialKey(Message);
}

void TGridButton::Leave() {
    // Ends editing (the button writes nothing) before the grid takes the
    // focus, so that entering the grid does not open the button again.
    FGrid->HideInplaceEdit();
    SetVisible(false);
    SetEnabled(false);
    if (FGrid->CanFocus()) FGrid->SetFocus();
}

void TGridButton::KeyDown(Word& Key, TShiftState Shift) {
    if (IsOneOf(Key, {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})) {
        Word k = Key;
        Leave();
        FGrid->KeyDown(k, Shift);
        Key = 0;
        return;
    }
    if (Key == VK_ESCAPE) {
        Leave();
        FGrid->RestoreEditValue();
        Char esc = VK_ESCAPE;
        FGrid->KeyPress(esc);
        Key = 0;
        return;
    }
    TButton::KeyDown(Key, Shift);
}

void TGridButton::TakeCaption() {
    const String s = FGrid->DoEllipsClick(Caption());
    SetCaption(s);
    FGrid->SetCurrentCell(s);
}

void TGridButton::KeyUp(Word& Key, TShiftState Shift) {
    if (Key == VK_SPACE) {
        TakeCaption();
        Invalidate();
    }
    TButton::KeyUp(Key, Shift);
}

void TGridButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Parent() == FGrid) TakeCaption();
    TButton::MouseUp(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------
// TGridCheckBox

TGridCheckBox::TGridCheckBox(TExStringGrid* AGrid) : TCheckBox(AGrid), FGrid(AGrid) {
    SetEnabled(false);
    SetVisible(false);
}

void TGridCheckBox::ReCreate() {
    if (HandleAllocated()) RecreateWnd();
}

void TGridCheckBox::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    if (IsOneOf(Message.CharCode(), {VK_RETURN, VK_ESCAPE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})) Message.Result = 1;
    else TCheckBox::CMWantSpecialKey(Message);
}

void TGridCheckBox::KeyDown(Word& Key, TShiftState Shift) {
    if (!IsOneOf(Key, {VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})) {
        TCheckBox::KeyDown(Key, Shift);
        return;
    }
    TExStringGrid& g = *FGrid;
    if (Key == VK_ESCAPE) SetCaption(g.GetCurrentCell());
    const Word k = Key;
    g.HideInplaceEdit();
    if (g.CanFocus()) g.SetFocus();
    Key = 0;
    if (k == VK_RETURN) g.AdvanceCell(g.Col(), g.Row(), false, true, false, false);
    if (k == VK_UP || k == VK_DOWN) {
        Word pass = k;
        g.KeyDown(pass, Shift);
    }
}

// ---------------------------------------------------------------------------
// TGridDatePicker

TGridDatePicker::TGridDatePicker(TExStringGrid* AGrid) : TExgDateTimePicker(AGrid), FGrid(AGrid) {
    SetEnabled(false);
    SetVisible(false);
    // Typed digits move on to the next field.
    SetAutoTab(true);
}

void TGridDatePicker::ReCreate() {
    if (HandleAllocated()) RecreateWnd();
}

String TGridDatePicker::ValueText() const {
    if (!Format().empty()) return FormatDateTime(Format(), DateTime());
    return Kind() == dtkTime ? TimeToStr(Time()) : DateToStr(Date());
}

void TGridDatePicker::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    const Word k = Message.CharCode();
    if (FGrid->EditorClaimsKey(k)) Message.Result = 1;
    else TExgDateTimePicker::CMWantSpecialKey(Message);
}

void TGridDatePicker::KeyDown(Word& Key, TShiftState Shift) {
    TExStringGrid& g = *FGrid;
    if (!IsOneOf(Key, {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END})) {
        TExgDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        const String cell = g.GetCurrentCell();
        TDateTime v = 0;
        const bool ok = Kind() == dtkTime ? TryStrToTime(cell, v) : TryStrToDate(cell, v);
        SetDateTime(ok ? v : Now());
    } else if (Key == VK_RETURN || Key == VK_TAB) {
        if (Key == VK_RETURN) SetField(Field() + 1);
        if (!g.WriteAndValidate(ValueText())) {
            TDateTime v = 0;
            if (TryStrToDateTime(g.FNewCellText, v)) SetDateTime(v);
            Invalidate();
            Key = 0;
            return;
        }
    }
    if (Key == VK_TAB && !g.Options().Contains(goTabs) && !DroppedDown()) {
        // Claimed only to validate: the form moves the focus on as for the combo.
        Key = 0;
        g.HideInplaceEdit();
        g.TabFromEditor(Shift);
        return;
    }
    if (!DroppedDown()) g.DoneInplaceEdit(Key, Shift);
    Key = 0;
}

void TGridDatePicker::KeyPress(Char& Key) {
    TExgDateTimePicker::KeyPress(Key);
    if (FGrid->OnKeyPress) FGrid->OnKeyPress(FGrid, Key);
}

void TGridDatePicker::DoExit() {
    if (!DroppedDown()) FGrid->HideInplaceEdit();
    TExgDateTimePicker::DoExit();
}

void TGridDatePicker::RememberFields() {
    DecodeDate(DateTime(), FYear, FMonth, FDay);
    DecodeTime(DateTime(), Fh, Fm, Fs, Fms);
}

void TGridDatePicker::ShiftFocus() {
    if (Kind() == dtkTime) {
        TExgDateTimePicker::ShiftFocus();
        return;
    }
    Word y, m, d;
    DecodeDate(DateTime(), y, m, d);
    const bool day = d != FDay, month = m != FMonth, year = y != FYear;
    const String format = Format();
    bool next;
    if (!format.empty()) {
        const Char last = UpperCase(format.substr(format.size() - 1))[0];
        // A digit that completed the format's last field has nowhere to move.
        if ((day && last == u'D') || (!day && month && last == u'M') || (!day && !month && year && last == u'Y'))
            return;
        next = day || month || year;
    } else {
        next = day || month;
    }
    if (next) PostMessage(Handle(), WM_KEYDOWN, VK_RIGHT);
}

// ---------------------------------------------------------------------------
// TGridDateTimePicker

TGridDateTimePicker::TGridDateTimePicker(TExStringGrid* AGrid) : TExDateTimePicker(AGrid), FGrid(AGrid) {
    SetEnabled(false);
    SetVisible(false);
    SetAutoTab(true);
}

String TGridDateTimePicker::ValueText() const {
    if (!Checked()) return String();
    const TDateTime v = GetDateTime();
    return DateToStr(v) + u" " + FormatDateTime(FormatSettings().ShortTimeFormat, v);
}

void TGridDateTimePicker::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    const Word k = Message.CharCode();
    if (FGrid->EditorClaimsKey(k)) Message.Result = 1;
    else TExDateTimePicker::CMWantSpecialKey(Message);
}

void TGridDateTimePicker::KeyDown(Word& Key, TShiftState Shift) {
    TExStringGrid& g = *FGrid;
    const bool tab = Key == VK_TAB && g.EditorTakesTab();
    if (Key != VK_ESCAPE && Key != VK_RETURN && !tab) {
        TExDateTimePicker::KeyDown(Key, Shift);
        return;
    }
    const Word k = Key;
    Key = 0;
    if (k == VK_ESCAPE) SetDateTime(g.FOriginalDateTime);
    // Tab leaves only with a value the validation accepts; a refused one stays in the editor.
    if (tab && !g.WriteAndValidate(ValueText())) {
        TDateTime v = 0;
        if (TryStrToDateTime(g.FNewCellText, v)) SetDateTime(v);
        return;
    }
    g.HideInplaceEdit();
    if (tab) {
        g.TabFromEditor(Shift);
        return;
    }
    if (g.CanFocus()) g.SetFocus();
    if (k == VK_RETURN) g.AdvanceCell(g.Col(), g.Row(), false, true, false, false);
}

void TGridDateTimePicker::DoExit() {
    // The focus left for another window: the value goes into the cell as validated.
    if (!DroppedDown()) FGrid->HideInplaceEdit();
    TExDateTimePicker::DoExit();
}
