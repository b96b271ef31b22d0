// The detail picker.

#include "controls/ExDetailDropDown.h"

#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "grid/foundation/MarkupRender.h"

// ---------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------
void TDetailItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TDetailItem*>(Source);
    if (!s) {
        TPickerItem::Assign(Source);
        return;
    }
    TPickerItem::Assign(Source);
    Notes = s->Notes;
    Tag = s->Tag;
    ItemObject = s->ItemObject;
}

TDetailItems::TDetailItems(TPersistent* AOwner)
    : TPickerItems([](TCollection* c) { return new TDetailItem(c); }, AOwner) {}

int TDetailItems::IndexOf(const String& AValue) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Caption() == AValue) return i;
    return -1;
}

// ---------------------------------------------------------------------------
// The picker
// ---------------------------------------------------------------------------

TExDetailDropDown::TExDetailDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner), FItems(this) {
    FItems.OnChange = [](TObject*) {};
    FCaptionFont.Assign(&Font());
    FNotesFont.Assign(&Font());
    SetEditorEnabled(true);
    SetDropDownEnabled(true);
    FKeyTimer = NewSearchTimer(this, FCurSearch);
    CreateDropDownForm();
}

TExDetailDropDown::~TExDetailDropDown() {
    // The selector's handlers name this control.
    if (FItemSelector) {
        FItemSelector->OnItemSelect = nullptr;
        FItemSelector->OnDrawItem = nullptr;
        FItemSelector->OnItemSize = nullptr;
        // The base class frees the pop-up, which resizes the selector on its way out.
        FItemSelector->OnResize = nullptr;
    }
}

void TExDetailDropDown::SetItemIndex(int Value) {
    if (Value == FItemIndex) return;
    if (Value >= 0 && Value < FItems.Count()) {
        FItemIndex = Value;
        Completing([&] { SetTextValue(FItems.Items(Value)->Caption()); });
        SelectAll();
        Invalidate();
        if (FItemSelector) FItemSelector->Invalidate();
        if (OnSelect) OnSelect(this);
    } else if (Value == -1) {
        Completing([&] { SetTextValue(String()); });
        FItemIndex = -1;
    }
}

void TExDetailDropDown::SelectFirst() {
    if (FItems.Count() > 0) SetItemIndex(0);
}

void TExDetailDropDown::SelectLast() {
    if (FItems.Count() > 0) SetItemIndex(FItems.Count() - 1);
}

void TExDetailDropDown::SelectNext() {
    if (FItems.Count() == 0) return;
    if (FItemIndex == -1) SetItemIndex(0);
    else if (FItemIndex + 1 < FItems.Count()) SetItemIndex(FItemIndex + 1);
}

void TExDetailDropDown::SelectPrevious() {
    if (FItems.Count() == 0) return;
    if (FItemIndex == -1) SetItemIndex(0);
    else if (FItemIndex - 1 >= 0) SetItemIndex(FItemIndex - 1);
}

void TExDetailDropDown::SetComponentStyle(TGPKStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(&FItemAppearance, AStyle);
}

void TExDetailDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    TExCustomDropDown::SetSelectionColorStyle(Value);
    if (FItemSelector) FItemSelector->ItemAppearance().SetColorStyle(Value);
}

// ---------------------------------------------------------------------------
// The pop-up
// ---------------------------------------------------------------------------
void TExDetailDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FDropDownForm) return;
    if (!FItemSelector) {
        FItemSelector = NewPickerSelector(this, FDropDownForm, stImage);
        FItemSelector->SetDoubleBuffered(true);
        FItemSelector->OnDrawItem = [this](TObject*, TCanvas& Canvas, TRect R, int Index) {
            DrawRow(Canvas, R, Index);
        };
        FItemSelector->OnItemSize = [this](TObject*, TSize& Size) { RowSize(Size); };
        FItemSelector->OnResize = [this](TObject*) {
            if (FItemSelector) FItemSelector->UpdateSelectorPanel();
        };
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TExDetailDropDown::LoadSelector() {
    TExCustomItemSelector& s = *FItemSelector;
    LoadPickerSelector(
        s, 1, Images(), FLayout, DropDownColor(), FItemAppearance, FItems.Count(),
        [this](int i) { return FItems.Items(i); }, nullptr);
    Internally([&] { s.SetItemIndex(FItemIndex); });
    s.OnItemSelect = [this](TObject*) { SelectorSelect(); };
}

void TExDetailDropDown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    if (FItemSelector) LoadSelector();
    FOldItemIndex = FItemIndex;
}

void TExDetailDropDown::DoShowDropDown() {
    TExCustomDropDown::DoShowDropDown();
    if (FItemSelector && FItemSelector->CanFocus()) FItemSelector->SetFocus();
}

void TExDetailDropDown::UpdateDropDownSize() {
    if (FItemSelector) {
        FItemSelector->SetAlign(alNone);
        if (DropDownWidth() <= 0) FItemSelector->SetWidth(Width());
        if (DropDownHeight() <= 0) FItemSelector->SetHeight(100);
    }
    TExCustomDropDown::UpdateDropDownSize();
}

void TExDetailDropDown::DoHideDropDown(bool Cancelled) {
    TExCustomDropDown::DoHideDropDown(Cancelled);
    if (Cancelled && FOldItemIndex != -1) SetItemIndex(FOldItemIndex);
}

void TExDetailDropDown::FormSizing() {
    TExCustomDropDown::FormSizing();
    if (FItemSelector) FItemSelector->UpdateSelectorPanel();
}

void TExDetailDropDown::InternalSelect(int Index) {
    Internally([&] { FItemSelector->SetItemIndex(Index); });
}

void TExDetailDropDown::SelectorSelect() {
    const int i = FItemSelector->ItemIndex();
    SetItemIndex(i);
    if (i >= 0 && i < FItems.Count()) {
        Completing([&] { SetTextValue(FItems.Items(i)->Caption()); });
        SelectAll();
    }
    // A click picks and closes; keys and the wheel move inside the open pop-up.
    if (!FInternalCall) DoHideDropDown(false);
}

void TExDetailDropDown::WheelDown() {
    TExCustomDropDown::WheelDown();
    if (!IsOpen()) {
        SelectNext();
        return;
    }
    const int i = FItemSelector->ItemIndex() == -1 ? 0 : FItemSelector->ItemIndex() + 1;
    if (i < FItems.Count()) InternalSelect(i);
    Invalidate();
}

void TExDetailDropDown::WheelUp() {
    TExCustomDropDown::WheelUp();
    if (!IsOpen()) {
        SelectPrevious();
        return;
    }
    const int i = FItemSelector->ItemIndex() == -1 ? 0 : FItemSelector->ItemIndex() - 1;
    if (i >= 0 && i < FItems.Count()) InternalSelect(i);
    Invalidate();
}

void TExDetailDropDown::RowSize(TSize& Size) {
    const int w = DropDownWidth() > 0 ? DropDownWidth() : FDropDownForm ? FDropDownForm->Width() : Width();
    int cx = w - 2 * GetSystemMetrics(SM_CXBORDER) - 4;
    if (FItemSelector && FItemSelector->VertRange() > FItemSelector->ClientHeight())
        cx -= GetSystemMetrics(SM_CXVSCROLL);
    Size.cx = cx;
    Size.cy = FItemHeight;
}

void TExDetailDropDown::DrawRow(TCanvas& Canvas, TRect R, int Index) {
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, Canvas, R);
        return;
    }
    if (Index < 0 || Index >= FItems.Count()) return;
    TDetailItem* it = FItems.Items(Index);
    // The picture or image, left or (without caption) centred, centred vertically.
    auto place = [&](int w, int h) {
        const int x = it->Caption().empty() ? R.Left + (R.Width() - w) / 2 : R.Left + 2;
        return TPoint{x, R.Top + (R.Height() - h) / 2};
    };
    if (it->Image().Empty()) {
        if (Images() && it->ImageIndex() >= 0) {
            const TPoint p = place(Images()->Width(), Images()->Height());
            Images()->Draw(Canvas, p.X, p.Y, it->ImageIndex());
            R.Left += Images()->Width() + 4;
        }
    } else {
        TBitmap& b = it->Image();
        const TPoint p = place(b.Width(), b.Height());
        b.SetTransparent(true);
        Canvas.Draw(p.X, p.Y, b);
        R.Left += b.Width() + 4;
    }
    const bool hot = FItemSelector && Index == FItemSelector->ItemHot();
    const bool selected = Index == FItemIndex;
    auto useFont = [&](const TFont& f) {
        Canvas.SetFont(f);
        if (hot) Canvas.Font().SetColor(FItemAppearance.ColorHotText);
        if (selected) Canvas.Font().SetColor(FItemAppearance.ColorSelectedText);
    };
    useFont(FCaptionFont);
    Canvas.Brush().SetStyle(bsClear);
    R.Left += 4;
    R.Top += 2;
    R.Right -= 4;
    TRect cr = R;
    Canvas.DrawText(it->Caption(), cr, DT_LEFT | DT_END_ELLIPSIS | DT_SINGLELINE | DT_NOPREFIX);
    if (it->Notes.empty()) return;
    R.Top += Canvas.TextHeight(u"gh");
    useFont(FNotesFont);
    TMarkupDrawArgs in;
    in.Images = Images();
    TMarkupDrawResult out;
    DrawHTMLText(Canvas, it->Notes, R, in, out);
}

// ---------------------------------------------------------------------------
// Type-ahead and keys
// ---------------------------------------------------------------------------
void TExDetailDropDown::Change() {
    FPending.Pending = false;
    TExCustomDropDown::Change();
    // The completion below changes the text again: that change is ours.
    const int i = FPending.Complete(
        *this, FWorkMode, FCompleting, FItems.Count(), [&](int i) { return FItems.Items(i)->Caption(); }, MatchCase);
    if (i >= 0) FItemIndex = i;
}

void TExDetailDropDown::KeyUp(Word& Key, TShiftState Shift) {
    TExCustomDropDown::KeyUp(Key, Shift);
    FPending.Apply(*this, [this](int i) { SetItemIndex(i); });
}

void TExDetailDropDown::KeyDown(Word& Key, TShiftState Shift) {
    if (FItems.Count() == 0) {
        TExCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    const Word k = Key;
    TypeAheadKeyDown(
        k, FWorkMode, [&] { return FItems.IndexOf(GetText()); },
        [&](int i) {
            Completing([&] { SetTextValue(FItems.Items(i)->Caption()); });
            SetItemIndex(i);
            Change();
        });
    TExCustomDropDown::KeyDown(Key, Shift);
    if (k == VK_ESCAPE) {
        const int i = FItems.IndexOf(GetText());
        if (i >= 0) SetItemIndex(i);
    }
}

void TExDetailDropDown::WMKeyDown(TWMKey& Message) {
    const Word key = Message.CharCode();
    if (Enabled() && GetKeyState(VK_MENU) >= 0) {
        const bool open = IsOpen();
        switch (key) {
        case VK_PRIOR:
        case VK_NEXT:
            if (open) {
                if (FItemSelector->Items().Count() != FItems.Count()) LoadSelector();
                const int n = FItemSelector->GetVisibleItemCount();
                if (n >= 1) {
                    int i = FItemSelector->ItemIndex();
                    i = key == VK_PRIOR ? std::max(0, i - n) : std::min(FItems.Count() - 1, i + n);
                    if (key == VK_PRIOR && i < 1) i = 0;
                    InternalSelect(i);
                }
            }
            break;
        case VK_END:
        case VK_HOME:
            if (open) Internally([&] { key == VK_END ? FItemSelector->SelectLast() : FItemSelector->SelectFirst(); });
            else if (!EditorEnabled()) key == VK_END ? SelectLast() : SelectFirst();
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (open && !EditorEnabled())
                Internally([&] { key == VK_LEFT ? FItemSelector->SelectPrevious() : FItemSelector->SelectNext(); });
            break;
        case VK_UP:
        case VK_DOWN:
            if (open) {
                const int cur = FItemSelector->ItemIndex();
                const int i = cur == -1 ? 0 : cur + (key == VK_UP ? -1 : 1);
                if (i >= 0 && i < FItems.Count()) InternalSelect(i);
                Invalidate();
            } else {
                key == VK_UP ? SelectPrevious() : SelectNext();
            }
            break;
        default:
            if (GetKeyState(VK_CONTROL) >= 0 && FItemSelector) {
                FCurSearch += Char(key);
                Internally([&] { FItemSelector->LookupItem(FCurSearch); });
                FKeyTimer->SetEnabled(true);
            }
            break;
        }
    }
    if (DroppedDown() &&
        (key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN))
        return;
    TExCustomDropDown::WMKeyDown(Message);
}
