// The grid's drop-down cell editors: their keys, changes and exit, their
// making, opening and write-back.
#include "grid/ExGridDropDowns.h"
#include "grid/ExGridEditors.h"

#include "framework/Messages.h"
#include "framework/SysUtils.h"

template <class Parent>
bool TGridDropDownWrapper<Parent>::IsSpecialKey(Word Key, TShiftState Shift) const {
    // Alt+Down opens the pop-up through the drop-down itself.
    if (Key == VK_DOWN && Shift.Contains(ssAlt)) return false;
    switch (Key) {
        case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_UP: case VK_DOWN:
            return true;
        default: return false;
    }
}

template <class Parent>
TGridDropDownWrapper<Parent>::TGridDropDownWrapper(TExStringGrid* AGrid) : Parent(AGrid), FGrid(AGrid) {
    this->SetVisible(false);
}

template <class Parent>
void TGridDropDownWrapper<Parent>::CMWantSpecialKey(TCMWantSpecialKey& Message) {
    Parent::CMWantSpecialKey(Message);
    const Word k = Message.CharCode();
    if ((k == VK_TAB && FGrid->EditorTakesTab()) || (ClaimsEnterAndEscape() && (k == VK_RETURN || k == VK_ESCAPE)))
        Message.Result = 1;
}

template <class Parent>
void TGridDropDownWrapper<Parent>::KeyDown(Word& Key, TShiftState Shift) {
    TExStringGrid& g = *FGrid;
    if (!IsSpecialKey(Key, Shift)) {
        Parent::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_ESCAPE) {
        this->SetText(g.GetCurrentCell());
        g.HideInplaceEdit();
        g.SetFocus();
        Key = 0;
        return;
    }
    if (Key == VK_RETURN || Key == VK_UP || Key == VK_DOWN || Key == VK_TAB) {
        if (Key == VK_RETURN) BeforeEnter();
        if (!g.WriteAndValidate(this->Text())) {
            this->SetText(g.FNewCellText);
            if (Key == VK_TAB) this->SetSelStart(int(this->Text().size()));
            else this->SelectAll();
            this->Invalidate();
            Key = 0;
            return;
        }
        this->SetText(g.GetCurrentCell());
        if (Key == VK_TAB) {
            Key = 0;
            if (g.Options().Contains(goTabs)) {
                g.DoneInplaceEdit(VK_TAB, Shift);
            } else {
                // Claimed only to validate: the form moves the focus on.
                g.HideInplaceEdit();
                g.TabFromEditor(Shift);
            }
            return;
        }
    }
    if (this->DroppedDown()) {
        g.HideInplaceEdit();
        if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN) {
            Key = 0;
            return;
        }
    } else if (Key == VK_END) {
        Parent::KeyDown(Key, Shift);
        return;
    }
    g.DoneInplaceEdit(Key, Shift);
    if (g.Navigation().AdvanceOnEnter() && g.Navigation().AdvanceAutoEdit()) g.ShowInplaceEdit();
    Key = 0;
}

template <class Parent>
void TGridDropDownWrapper<Parent>::KeyPress(Char& Key) {
    if (FGrid->OnKeyPress) FGrid->OnKeyPress(this, Key);
    if (Key == VK_ESCAPE || Key == VK_RETURN || Key == VK_TAB) Key = 0;
    Parent::KeyPress(Key);
}

template <class Parent>
void TGridDropDownWrapper<Parent>::Change() {
    Parent::Change();
    if (FGrid->OnEditChange && this->Visible()) FGrid->OnEditChange(FGrid, FGrid->Col(), FGrid->Row(), this->Text());
}

template <class Parent>
void TGridDropDownWrapper<Parent>::DoExit() {
    FGrid->HideInplaceEdit();
    Parent::DoExit();
}

template class TGridDropDownWrapper<TExTrackBarDropDown>;
template class TGridDropDownWrapper<TExMemoDropDown>;
template class TGridDropDownWrapper<TExCalculatorDropdown>;
template class TGridDropDownWrapper<TExTimePickerDropDown>;
template class TGridDropDownWrapper<TExDetailDropDown>;
template class TGridDropDownWrapper<TExImagePickerDropDown>;
template class TGridDropDownWrapper<TExMultiColumnDropDown>;
template class TGridDropDownWrapper<ExCustomGridDropDown::TCustomExGridDropDown>;
template class TGridDropDownWrapper<TExColorPickerDropDown>;

bool TGridColorDropDown::IsSpecialKey(Word Key, TShiftState Shift) const {
    if (DroppedDown()) return Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE;
    return Key == VK_HOME || TGridDropDownWrapper::IsSpecialKey(Key, Shift);
}

void TGridColorDropDown::WMKeyDown(TWMKey& Message) {
    Word key = Message.CharCode();
    const TShiftState shift = KeyDataToShiftState(Message.KeyData());
    // Enter and Esc over the open palette take or cancel its choice first.
    const bool first = !(DroppedDown() && (key == VK_RETURN || key == VK_ESCAPE)) &&
                       (!EditorEnabled() || key == VK_ESCAPE);
    if (first && IsSpecialKey(key, shift)) {
        KeyDown(key, shift);
        if (key == 0) return;
        Message.SetCharCode(key);
    }
    TExColorPickerDropDown::WMKeyDown(Message);
}

// ---------------------------------------------------------------------------
// The grid's side

namespace {

// A new editor takes on the grid's editor style, and its colour tones once the grid has some.
template <class T>
T* MakeDropDown(T*& Field, TExStringGrid* Grid, TGPKStyle Style) {
    if (!Field) {
        Field = new T(Grid);
        Field->SetParent(Grid);
        Field->SetComponentStyle(Style);
        if (Grid->ColorTones().Background.BrushColor != clNone) Field->SetColorTones(Grid->ColorTones());
    }
    return Field;
}

}  // namespace

TGridTrackbarDropDown* TExStringGrid::TrackbarDropDown() {
    TGridTrackbarDropDown* d = MakeDropDown(FEditTrackBar, this, FEditorStyle);
    d->SetEditorEnabled(true);
    return d;
}

TGridMemoDropDown* TExStringGrid::MemoDropDown() {
    if (FEditMemo) return FEditMemo;
    TGridMemoDropDown* d = MakeDropDown(FEditMemo, this, FEditorStyle);
    d->OnMemoChange = [this](TObject*) { MemoDropDownToCell(); };
    return d;
}

void TExStringGrid::MemoDropDownToCell() {
    if (FEditMemo && FEditMemo->Memo()) SetEditText(Col(), Row(), FEditMemo->Memo()->Text());
}

void TExStringGrid::DoDropDownHeaderButtonClick(int ButtonIndex) {
    if (OnDropDownHeaderButtonClick) OnDropDownHeaderButtonClick(this, Col(), Row(), ButtonIndex);
}

void TExStringGrid::DoDropDownFooterButtonClick(int ButtonIndex) {
    if (OnDropDownFooterButtonClick) OnDropDownFooterButtonClick(this, Col(), Row(), ButtonIndex);
}

TGridCalculatorDropDown* TExStringGrid::CalculatorDropDown() {
    TGridCalculatorDropDown* d = MakeDropDown(FEditCalculator, this, FEditorStyle);
    d->SetEditorEnabled(true);
    return d;
}

TGridTimepickerDropDown* TExStringGrid::TimePickerDropDown() { return MakeDropDown(FEditTimePicker, this, FEditorStyle); }
TGridDetailPickerDropDown* TExStringGrid::DetailPickerDropDown() { return MakeDropDown(FEditDetailPicker, this, FEditorStyle); }
TGridImageDropDown* TExStringGrid::ImagePickerDropDown() {
    if (FEditImagePicker) return FEditImagePicker;
    TGridImageDropDown* d = MakeDropDown(FEditImagePicker, this, FEditorStyle);
    // Only a choice in the open editor: filling it on opening chooses nothing.
    d->OnSelect = [this](TObject*) {
        if (FEditImagePicker->Visible()) DoImageSelect(Col(), Row(), FEditImagePicker->ItemIndex());
    };
    return d;
}
TGridGridDropDown* TExStringGrid::GridDropDown() { return MakeDropDown(FEditGridPicker, this, FEditorStyle); }
TGridExGridDropDown* TExStringGrid::ExGridDropDown() { return MakeDropDown(FEditExGridPicker, this, FEditorStyle); }

TGridColorDropDown* TExStringGrid::ColorPickerDropDown() {
    if (FEditColorPicker) return FEditColorPicker;
    TGridColorDropDown* d = MakeDropDown(FEditColorPicker, this, FEditorStyle);
    d->AddDefaultColors();
    d->OnSelect = [this](TObject*) {
        if (FEditColorPicker->Visible())
            DoColorSelect(Col(), Row(), FEditColorPicker->SelectedColor(), FEditColorPicker->SelectedColorText());
    };
    return d;
}

TExCustomDropDown* TExStringGrid::DropDownOfKind(TEditorType Kind) {
    switch (Kind) {
        case edTrackbarDropDown: return TrackbarDropDown();
        case edMemoDropDown: return MemoDropDown();
        case edCalculatorDropDown: return CalculatorDropDown();
        case edTimePickerDropDown: return TimePickerDropDown();
        case edDetailDropDown: return DetailPickerDropDown();
        case edImagePickerDropDown: return ImagePickerDropDown();
        case edGridDropDown: return GridDropDown();
        case edExGridDropDown: return ExGridDropDown();
        case edColorPickerDropDown: return ColorPickerDropDown();
        default: return nullptr;
    }
}

void TExStringGrid::ShowDropDownEditor(int ACol, int ARow, TExCustomDropDown& D) {
    const TRect R = CellRect(ACol, ARow);
    const int W = R.Right - R.Left - 1, H = R.Bottom - R.Top - 1;
    const String T = GetEditText(ACol, ARow);
    // The grid's bars first: the style may then recolour them.
    D.SetDropDownHeader(FControlLook.DropDownHeader);
    D.SetDropDownFooter(FControlLook.DropDownFooter);
    D.OnDropDownHeaderButtonClick = [this](TObject*, int I) { DoDropDownHeaderButtonClick(I); };
    D.OnDropDownFooterButtonClick = [this](TObject*, int I) { DoDropDownFooterButtonClick(I); };
    D.SetComponentStyle(FEditorStyle);
    DoGetEditorProp(RealColIndex(ACol), ARow, FEditLink);
    D.SetBounds(R.Left, R.Top, W, H);
    D.SetEnabled(true);
    if (FEditControl == edTrackbarDropDown) {
        int v = 0;
        FEditTrackBar->SetPosition(TryStrToInt(Trim(T), v) ? v : 0);
    } else if (FEditControl == edColorPickerDropDown) {
        const int rc = RealColIndex(ACol);
        const TColor shape = GetShapeColor(rc, ARow);
        FEditColorPicker->SetSelectedColor(shape != clNone ? shape : Colors(rc, ARow));
    } else if (FEditControl == edImagePickerDropDown && ImageCell(RealColIndex(ACol), ARow)) {
        // An image cell opens on its image among the grid's images.
        const int rc = RealColIndex(ACol);
        TGridImageDropDown& p = *FEditImagePicker;
        p.SetImages(FGridImages);
        if (p.Items().Count() == 0) p.AddImagesFromImageList();
        const TCellGraphic* g = GetCellGraphic(rc, ARow);
        int index = g->CellIndex;
        if (g->CellType == ctDataImage && !TryStrToInt(Trim(GetCellEx(rc, ARow)), index)) index = -1;
        p.SetItemIndex(index);
        const int sel = p.ItemIndex();
        p.SetText(sel >= 0 ? p.Items().GetItem(sel)->Caption() : String());
    } else if (FEditControl == edGridDropDown) {
        TGridGridDropDown& g = *FEditGridPicker;
        g.BeginUpdate();
        g.EndUpdate();
        g.SetItemIndex(T.empty() ? 0 : g.GetItemIndex(T));
        g.SetText(T);
    } else if (FEditControl == edExGridDropDown) {
        TGridExGridDropDown& g = *FEditExGridPicker;
        g.GetGrid()->SetFixedRowAlways(true);
        g.BeginUpdate();
        g.EndUpdate();
        if (g.UseItems) g.SetItemIndex(T.empty() ? 0 : g.LookupItems().IndexOf(T));
        g.SetText(T);
    } else {
        D.SetText(T);
    }
    if (FEditControl == edTimePickerDropDown || FEditControl == edDetailDropDown) D.SetEditorEnabled(true);
    if (FEditControl == edDetailDropDown) {
        TDetailItems& items = FEditDetailPicker->Items();
        for (int i = 0; i < items.Count(); ++i)
            if (items.Items(i)->Caption() == T) FEditDetailPicker->SetItemIndex(i);
    }
    D.SetColor(Color());
    D.SetVisible(true);
    FEditCtrl = &D;
    if (D.CanFocus()) D.SetFocus();
    if (FEditControl == edMemoDropDown) D.SetSelStart(0);
}

TCellGraphic* TExStringGrid::ImageCell(int ACol, int ARow) {
    TCellGraphic* g = GetCellGraphic(ACol, ARow);
    return g && (g->CellType == ctImageList || g->CellType == ctDataImage) ? g : nullptr;
}

void TExStringGrid::HandStyleToEditors(TGPKStyle AStyle) {
    FEditorStyle = AStyle;
    if (IsDesigning()) return;
    for (TExCustomDropDown* d : std::initializer_list<TExCustomDropDown*>{
             FEditColorPicker, FEditImagePicker, FEditGridPicker, FEditDetailPicker, FEditTimePicker,
             FEditCalculator, FEditMemo})
        if (d) d->SetComponentStyle(AStyle);
}

void TExStringGrid::HandTonesToEditors(const TColorTones& T) {
    if (IsDesigning()) return;
    auto buttons = [&](auto& b) {
        b.ButtonColor = T.Background.BrushColor;
        b.ButtonColorHot = T.Hover.BrushColor;
        b.ButtonColorDown = T.Selected.BrushColor;
        b.ButtonBorderColor = T.Background.BorderColor;
    };
    buttons(*FEditBtn->Button());
    buttons(*FUnitEditBtn->Button());
    buttons(*FEditCombo);
    FEditCombo->SetBorderColor(Color());
    FEditCombo->SetFlat(true);
    buttons(*SpinEdit()->Button());
    TGridDatePicker& date = *GetEditDate();
    buttons(date);
    date.SetBorderColor(T.Background.BrushColor);
    date.SetMetroStyle(true);
    for (TExCustomDropDown* d : std::initializer_list<TExCustomDropDown*>{
             FEditTrackBar, FEditMemo, FEditCalculator, FEditTimePicker, FEditDetailPicker, FEditImagePicker,
             FEditGridPicker, FEditExGridPicker, FEditColorPicker})
        if (d) d->SetColorTones(T);
}
