// The item selector and its panel.

#include "controls/ExItemSelector.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/GridColors.h"
#include "grid/foundation/MarkupText.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Items and look
// ---------------------------------------------------------------------------
void TSelectorItem::Changed() {
    if (auto* items = dynamic_cast<TSelectorItems*>(Collection()); items && items->OnChange) items->OnChange(items);
}

void TSelectorItem::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

void TSelectorItem::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TSelectorItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed();
}

void TSelectorItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TSelectorItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(s->FCaption);
    SetColor(s->FColor);
    SetImageIndex(s->FImageIndex);
    FImage.Assign(&s->FImage);
    FEnabled = s->FEnabled;
    Hint = s->Hint;
}

void TPickerItem::Changed() {
    if (auto* items = dynamic_cast<TPickerItems*>(Collection()); items && items->OnChange) items->OnChange(items);
}

void TPickerItem::SetCaption(const String& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

void TPickerItem::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed();
}

void TPickerItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TPickerItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(s->FCaption);
    SetImageIndex(s->FImageIndex);
    FImage.Assign(&s->FImage);
}

int CompleteTypedText(TExCustomDropDown& Edit, int Count, const std::function<String(int)>& Candidate,
                      bool MatchCase, bool& Completing, int& Typed) {
    const String text = Edit.GetText();
    const String typed = text.substr(0, size_t(std::max(0, Edit.SelStart())));
    const String key = MatchCase ? typed : AnsiUpperCase(typed);
    Typed = int(key.size());
    if (key.empty()) return -1;
    for (int i = 0; i < Count; ++i) {
        const String candidate = Candidate(i);
        const String cmp = MatchCase ? candidate : AnsiUpperCase(candidate);
        if (cmp.compare(0, key.size(), key) != 0) continue;
        const String completed = (typed + candidate.substr(key.size())).substr(0, 255);
        WithFlagRaised(Completing, [&] { Edit.SetText(completed); });
        Edit.SetSelStart(int(typed.size()));
        Edit.SetSelLength(int(completed.size()) - int(typed.size()));
        return i;
    }
    WithFlagRaised(Completing, [&] { Edit.SetText(typed); });
    Edit.SetSelStart(int(typed.size()));
    return -1;
}

int TPendingCompletion::Complete(TExCustomDropDown& Edit, bool WorkMode, bool& Completing, int Count,
                                 const std::function<String(int)>& Candidate, bool MatchCase) {
    if (Edit.ComponentState().Contains(csDesigning) || !WorkMode || Completing) return -1;
    Edit.SetModified(!Edit.GetText().empty());
    int typed = 0;
    const int i = CompleteTypedText(Edit, Count, Candidate, MatchCase, Completing, typed);
    if (i < 0) return -1;
    Pending = true;
    Index = i;
    Typed = typed;
    return i;
}

void TPendingCompletion::Apply(TExCustomDropDown& Edit, const std::function<void(int)>& SetItemIndex) {
    if (!Pending) return;
    SetItemIndex(Index);
    Edit.SetSelStart(Typed);
    Edit.SetSelLength(int(Edit.GetText().size()) - Typed);
    Pending = false;
}

void TypeAheadKeyDown(Word Key, bool& WorkMode, const std::function<int()>& Find,
                      const std::function<void(int)>& Take) {
    if (Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE) {
        WorkMode = false;
    } else if (Key == VK_RETURN) {
        const int i = Find();
        if (i >= 0) Take(i);
    } else {
        WorkMode = true;
    }
}

int IndexOfAnyCase(const TStringList& List, const String& Text) {
    const String t = AnsiUpperCase(Text);
    for (int i = 0; i < List.Count(); ++i)
        if (AnsiUpperCase(List[i]) == t) return i;
    return -1;
}

void EraseLookupEntry(TExCustomDropDown& Edit, String& Entry, bool& Completing) {
    if (Edit.SelLength() == 0) {
        if (!Entry.empty()) Entry.pop_back();
        WithFlagRaised(Completing, [&] { Edit.SetTextValue(Entry); });
    } else {
        String t = Edit.TMaskEdit::Text();
        t.erase(size_t(Edit.SelStart()), size_t(Edit.SelLength()));
        WithFlagRaised(Completing, [&] { Edit.SetText(t); });
    }
    Edit.SetSelStart(int(Edit.TMaskEdit::Text().size()));
}

namespace {
// Moves the selector to Target (when in range) without closing the pop-up.
void MoveSelector(const TPickerListKeys& K, int Target) {
    if (!K.Selector || Target < 0 || Target >= K.Selector->Items().Count()) return;
    WithFlagRaised(*K.InternalCall, [&] { K.Selector->SetItemIndex(Target); });
    K.Selector->ScrollItemInView(Target);
}
}  // namespace

TExCustomItemSelector* NewPickerSelector(TComponent* Owner, TWinControl* Form, TSelectorType Type) {
    auto* s = new TExCustomItemSelector(Owner);
    s->SetParent(Form);
    s->SetSelectorType(Type);
    s->SetBounds(0, 0, s->Width(), 150);
    return s;
}

void HandlePickerListKey(Word Key, bool Open, bool EditorEnabled, bool EnterHandled, const TPickerListKeys& K) {
    TExCustomItemSelector* s = K.Selector;
    const bool open = Open && s;
    auto internally = [&](void (TExCustomItemSelector::*Step)()) {
        WithFlagRaised(*K.InternalCall, [&] { (s->*Step)(); });
    };
    const int cur = s ? s->ItemIndex() : -1;
    switch (Key) {
    case VK_RETURN:
        if (!EnterHandled && K.Select) K.Select();
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        if (!s) break;
        if (s->Items().Count() != K.Entries) K.Reload();
        const int v = s->GetVisibleItemCount();
        if (v < 1) break;
        const int i = s->ItemIndex();
        MoveSelector(K, Key == VK_PRIOR ? std::max(i - v, 0) : std::min(i + v, K.Entries - 1));
        break;
    }
    case VK_END:
    case VK_HOME:
        if (open) internally(Key == VK_END ? &TExCustomItemSelector::SelectLast : &TExCustomItemSelector::SelectFirst);
        else K.StepClosed(Key);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (!EditorEnabled && open)
            internally(Key == VK_LEFT ? &TExCustomItemSelector::SelectPrevious : &TExCustomItemSelector::SelectNext);
        break;
    case VK_UP:
    case VK_DOWN:
        if (open) MoveSelector(K, cur < 0 ? 0 : Key == VK_UP ? cur - K.Columns : cur + K.Columns);
        else K.StepClosed(Key);
        break;
    default:
        if (GetKeyState(VK_CONTROL) < 0 || !s) break;
        *K.Search += Char(Key >= u'a' && Key <= u'z' ? Key - 32 : Key);
        WithFlagRaised(*K.InternalCall, [&] { s->LookupItem(*K.Search); });
        K.Timer->SetEnabled(true);
        break;
    }
}

TTimer* NewSearchTimer(TComponent* Owner, String& Search) {
    auto* t = new TTimer(Owner);
    t->SetEnabled(false);
    t->SetInterval(500);
    t->OnTimer = [t, &Search](TObject*) {
        t->SetEnabled(false);
        Search.clear();
    };
    return t;
}

TSelectorItems::TSelectorItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TSelectorItem(c); }, AOwner) {}

namespace {
struct TStyleRow {
    TColor Hot, HotTo, MirrorHot, MirrorHotTo, Top, Bottom, Border, Edge, Selected, SelectedTo, MirrorSelected,
        MirrorSelectedTo;
};
// Indexed by TSelectionColorStyle (scCustom loads nothing).
const TStyleRow ItemStyles[] = {
    {},
    {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF, 0xA6FFFB, 0x04B9F4, 0x15C1FB,
     0x68E3F9},
    {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB, 0xFAEEDE, 0xFAE3B4, clNone, clNone},
    {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE, 0xF9D8B9, 0xFBCAA2, clNone, clNone},
};
}  // namespace

TItemAppearance::TItemAppearance() {
    Font.SetName(u"Tahoma");
    SetColorStyle(scOffice2007);
}

void TItemAppearance::SetColorStyle(TSelectionColorStyle Style) {
    if (Style == FStyle) return;
    FStyle = Style;
    if (Style == scCustom) return;
    const TStyleRow& r = ItemStyles[Style];
    ColorHot = r.Hot, ColorHotTo = r.HotTo, ColorMirrorHot = r.MirrorHot, ColorMirrorHotTo = r.MirrorHotTo;
    BorderColorTop = r.Top, BorderColorBottom = r.Bottom, BorderColor = r.Border, EdgeColor = r.Edge;
    ColorSelected = r.Selected, ColorSelectedTo = r.SelectedTo, ColorMirrorSelected = r.MirrorSelected;
    ColorMirrorSelectedTo = r.MirrorSelectedTo;
}

void TItemAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TItemAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    ColorHot = s->ColorHot, ColorHotTo = s->ColorHotTo, ColorMirrorHot = s->ColorMirrorHot;
    ColorMirrorHotTo = s->ColorMirrorHotTo, BorderColorTop = s->BorderColorTop;
    BorderColorBottom = s->BorderColorBottom, BorderColor = s->BorderColor, EdgeColor = s->EdgeColor;
    ColorSelected = s->ColorSelected, ColorSelectedTo = s->ColorSelectedTo;
    ColorMirrorSelected = s->ColorMirrorSelected, ColorMirrorSelectedTo = s->ColorMirrorSelectedTo;
    Font.Assign(&s->Font);
    SetColorStyle(s->FStyle);
    ColorSelectedText = s->ColorSelectedText;
    BorderColorHot = s->BorderColorHot;
    BorderColorSelected = s->BorderColorSelected;
}

// ---------------------------------------------------------------------------
// The panel
// ---------------------------------------------------------------------------
TCustomItemSelector::TCustomItemSelector(TComponent* AOwner)
    : TCustomControl(AOwner), FExItemSelector(dynamic_cast<TExCustomItemSelector*>(AOwner)) {
    if (!FExItemSelector) throw Exception(u"Invalid parent");
    SetParentColor(true);
}

TSelectorItems& TCustomItemSelector::Items() const { return FExItemSelector->Items(); }
bool TCustomItemSelector::Valid(int Index) const { return Index >= 0 && Index < Items().Count(); }
bool TCustomItemSelector::Disabled(int Index) const { return Valid(Index) && !Items().Items(Index)->Enabled(); }

void TCustomItemSelector::SetItemIndex(int Value) {
    if (Disabled(Value)) return;
    MoveItemMark(FItemIndex, Value, [this](int i) { InvalidateItem(i); });
    if (Value >= 0) {
        InvalidateItem(Value);
        if (OnItemSelect) OnItemSelect(this);
    }
}

void TCustomItemSelector::SetItemHot(int Index) {
    if (Index == FItemHot || Disabled(Index)) return;
    MoveItemMark(FItemHot, Index, [this](int i) { InvalidateItem(i); });
    if (Index >= 0) InvalidateItem(Index);
}

void TCustomItemSelector::SelectFirst() {
    if (Items().Count() > 0) SetItemIndex(0);
}

void TCustomItemSelector::SelectLast() {
    if (Items().Count() > 0) SetItemIndex(Items().Count() - 1);
}

void TCustomItemSelector::SelectNext() {
    if (Items().Count() == 0) return;
    if (FItemIndex == -1) SetItemIndex(0);
    else if (FItemIndex + 1 < Items().Count()) SetItemIndex(FItemIndex + 1);
}

void TCustomItemSelector::SelectPrevious() {
    if (Items().Count() == 0) return;
    if (FItemIndex == -1) SetItemIndex(0);
    else if (FItemIndex - 1 >= 0) SetItemIndex(FItemIndex - 1);
}

void TCustomItemSelector::HotNext() {
    if (Items().Count() == 0) return;
    if (FItemHot == -1) SetItemHot(0);
    else if (FItemHot + 1 < Items().Count()) SetItemHot(FItemHot + 1);
}

void TCustomItemSelector::HotPrevious() {
    if (Items().Count() == 0) return;
    if (FItemHot == -1) SetItemHot(0);
    else if (FItemHot - 1 >= 0) SetItemHot(FItemHot - 1);
}

bool TCustomItemSelector::LookupItem(const String& S) {
    for (int i = 0; i < Items().Count(); ++i) {
        const String caption = MatchCaseText(Trim(StripHTMLTags(Items().Items(i)->Caption())), false);
        if (caption.compare(0, S.size(), S) == 0) {
            SetItemIndex(i);
            return true;
        }
    }
    return false;
}

int TCustomItemSelector::ItemAtPos(int X, int Y) const {
    for (int i = 0; i < Items().Count(); ++i)
        if (PtInRect(Items().Items(i)->ItemRect, TPoint{X, Y})) return i;
    return -1;
}

void TCustomItemSelector::GetItemRect(int Index, TRect& R) const {
    R = Valid(Index) ? Items().Items(Index)->ItemRect : Rect(-1, -1, -1, -1);
}

void TCustomItemSelector::InvalidateItem(int Index) {
    if (!Valid(Index) || !HandleAllocated()) return;
    const TRect r = Items().Items(Index)->ItemRect;
    InvalidateRect(Handle(), &r, true);
}

void TCustomItemSelector::GetItemsRect(TRect& R) const {
    const TRect c = ClientRect();
    R = Rect(c.Left + FOffSetX, c.Top + FOffSetY, c.Right - FOffSetX, c.Bottom - FOffSetY);
}

void TCustomItemSelector::GetItemSize(TSize& Size) {
    TExCustomItemSelector& o = *FExItemSelector;
    if (o.OnItemSize) {
        o.OnItemSize(this, Size);
        return;
    }
    int cw = 0, ch = 0;
    if (o.SelectorType() == stColor) cw = o.ColorBoxWidth(), ch = o.ColorBoxHeight();
    else
        for (int i = 0; i < Items().Count(); ++i) {
            TSelectorItem* it = Items().Items(i);
            if (!it->Image().Empty()) cw = std::max(cw, it->Image().Width()), ch = std::max(ch, it->Image().Height());
            else if (o.Images() && it->ImageIndex() >= 0)
                cw = std::max(cw, o.Images()->Width()), ch = std::max(ch, o.Images()->Height());
        }
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas().SetFont(o.ItemAppearance().Font);
    int tw = 0, th = 0;
    for (int i = 0; i < Items().Count(); ++i) {
        const TPoint e =
            DrawMarkupTextInRect(probe.Canvas(), Items().Items(i)->Caption(), Rect(0, 0, 1000, 500), o.Images(), false, this);
        tw = std::max(tw, e.X);
        th = std::max(th, e.Y);
    }
    if (tw > 0) tw += 4;
    if (o.ItemLayout() == ilCaptionLeft || o.ItemLayout() == ilCaptionRight) {
        Size.cx = 2 * FItemOffSetX + (cw > 0 ? cw : 0) + (cw > 0 && tw > 0 ? FCaptionGap : 0) + tw;
        Size.cy = std::max(th, ch) + 2 * FItemOffSetY;
    } else {
        Size.cx = std::max(tw, cw) + 2 * FItemOffSetX;
        Size.cy = 2 * FItemOffSetY + (ch > 0 ? ch : 0) + (th >= 1 ? (ch > 0 ? FCaptionGap : 0) + th : 0);
    }
}

void TCustomItemSelector::ArrangeItems() {
    if (Items().Count() == 0) {
        SetBounds(Left(), Top(), 100, 50);
        return;
    }
    FItemHot = -1;
    TSize size;
    GetItemSize(size);
    const int w = size.cx, h = size.cy;
    TRect a;
    GetItemsRect(a);
    int x = a.Left, y = a.Top, column = 0, right = 0;
    const int columns = FExItemSelector->Columns();
    for (int i = 0; i < Items().Count(); ++i) {
        Items().Items(i)->ItemRect = Rect(x, y, x + w, y + h);
        ++column;
        if (i == Items().Count() - 1) break;
        if (column < columns) {
            x += w;
        } else {
            right = std::max(right, x);
            y += h;
            x = a.Left;
            column = 0;
        }
    }
    right = std::max(right, x);
    SetBounds(Left(), Top(), right + w + a.Left, y + h + a.Top);
    Invalidate();
}

void TCustomItemSelector::DrawItem(int Index, TCanvas& Canvas) {
    if (!Valid(Index)) return;
    TSelectorItem* it = Items().Items(Index);
    TRect r = it->ItemRect;
    if (r.Left < 0 && r.Right < 0) return;
    TExCustomItemSelector& o = *FExItemSelector;
    const TItemAppearance& a = o.ItemAppearance();
    TColor border = a.BorderColor, top = a.BorderColorTop, bottom = a.BorderColorBottom, edge = a.EdgeColor;
    TColor fill = clNone, fillTo = clNone, mirror = clNone, mirrorTo = clNone;
    const bool hot = Index == FItemHot, selected = Index == FItemIndex;
    if (hot) {
        fill = a.ColorHot, fillTo = a.ColorHotTo, mirror = a.ColorMirrorHot, mirrorTo = a.ColorMirrorHotTo;
        if (a.BorderColorHot != clNone) border = a.BorderColorHot, top = bottom = edge = clNone;
    }
    if (selected) {
        fill = a.ColorSelected, fillTo = a.ColorSelectedTo, mirror = a.ColorMirrorSelected;
        mirrorTo = a.ColorMirrorSelectedTo;
        if (a.BorderColorSelected != clNone) border = a.BorderColorSelected, top = bottom = edge = clNone;
    }
    if (!hot && !selected) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Color());
        Canvas.FillRect(r);
    } else if (top == clNone) {
        DrawGradientBackground(&Canvas, r, fill, fillTo, border, 1, true);
    } else {
        DrawStyledSelection(Canvas, fill, fillTo, mirror, mirrorTo, top, bottom, border, edge, Color(), r, 0);
    }
    if (o.OnDrawItem) {
        o.OnDrawItem(this, Canvas, r, Index);
        return;
    }
    int cw = 0, ch = 0;
    const bool box = o.SelectorType() == stColor;
    if (box) cw = o.ColorBoxWidth(), ch = o.ColorBoxHeight();
    else if (!it->Image().Empty()) cw = it->Image().Width(), ch = it->Image().Height();
    else if (o.Images() && it->ImageIndex() >= 0) cw = o.Images()->Width(), ch = o.Images()->Height();
    const TRect inner = Rect(r.Left + FItemOffSetX, r.Top + FItemOffSetY, r.Right - FItemOffSetX, r.Bottom - FItemOffSetY);
    TRect t = inner;
    TPoint p{inner.Left, inner.Top};
    Canvas.SetFont(const_cast<TItemAppearance&>(a).Font);
    if (hot) Canvas.Font().SetColor(a.ColorHotText);
    if (selected) Canvas.Font().SetColor(a.ColorSelectedText);
    Canvas.Brush().SetStyle(bsClear);
    const String caption = it->Caption();
    auto centre = [&](TRect& T) {
        const int th = DrawMarkupTextInRect(Canvas, caption, T, o.Images(), false, this).Y;
        if (th < T.Height()) T.Top += (T.Height() - th) / 2;
    };
    auto content = [&] {
        if (box) {
            Canvas.Pen().SetColor(clBlack);
            Canvas.Brush().SetStyle(bsSolid);
            Canvas.Brush().SetColor(it->Color());
            Canvas.Rectangle(p.X, p.Y, p.X + cw, p.Y + ch);
            Canvas.Brush().SetStyle(bsClear);
        } else if (!it->Image().Empty()) {
            Canvas.Draw(p.X, p.Y, it->Image());
        } else if (o.Images() && it->ImageIndex() >= 0) {
            o.Images()->Draw(Canvas, p.X, p.Y, it->ImageIndex(), it->Enabled());
        }
    };
    const bool sideways = o.ItemLayout() == ilCaptionLeft || o.ItemLayout() == ilCaptionRight;
    if (sideways && !box) p.Y = inner.Top + (inner.Height() - ch) / 2;
    switch (o.ItemLayout()) {
    case ilCaptionLeft:
        if (!caption.empty()) {
            t.Right -= cw;
            centre(t);
            const TPoint e = DrawMarkupTextInRect(Canvas, caption, t, o.Images(), true, this);
            p.X = t.Left + e.X + FCaptionGap;
        }
        content();
        break;
    case ilCaptionRight:
        content();
        if (cw > 0) t.Left = p.X + cw + FCaptionGap;
        if (!caption.empty()) {
            centre(t);
            DrawMarkupTextInRect(Canvas, caption, t, o.Images(), true, this);
        }
        break;
    case ilCaptionTop:
        if (!caption.empty()) {
            t.Bottom -= ch;
            const TPoint e = DrawMarkupTextInRect(Canvas, caption, t, o.Images(), true, this);
            p.Y = t.Top + e.Y + FCaptionGap;
        } else {
            p.Y = inner.Top + (inner.Height() - ch) / 2;
        }
        p.X = inner.Left + (inner.Width() - cw) / 2;
        content();
        break;
    case ilCaptionBottom:
        if (caption.empty()) p.Y = inner.Top + (inner.Height() - ch) / 2;
        p.X = inner.Left + (inner.Width() - cw) / 2;
        content();
        if (cw > 0 || ch > 0) t.Top = p.Y + ch + FCaptionGap;
        if (!caption.empty()) DrawMarkupTextInRect(Canvas, caption, t, o.Images(), true, this);
        break;
    }
}

void TCustomItemSelector::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    for (int i = 0; i < Items().Count(); ++i) DrawItem(i, c);
}

void TCustomItemSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i >= 0 && !Disabled(i)) SetItemIndex(i);
}

void TCustomItemSelector::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i < 0) {
        SetItemHot(-1);
    } else if (i != FItemHot) {
        if (Disabled(i)) SetItemHot(-1);
        else SetItemHot(i);
        SetHint(Items().Items(i)->Hint);
        Application->CancelHint();
    }
}

void TCustomItemSelector::CMMouseLeave(TMessage& Message) {
    TCustomControl::CMMouseLeave(Message);
    SetItemHot(-1);
}

// ---------------------------------------------------------------------------
// The outer control
// ---------------------------------------------------------------------------
TExCustomItemSelector::TExCustomItemSelector(TComponent* AOwner) : TScrollBox(AOwner), FItems(this) {
    SetAutoScroll(true);
    SetColor(clWindow);
    FItems.OnChange = [this](TObject*) { UpdateSelectorPanel(); };
    FItemAppearance.OnChange = [](TObject*) {};
    FPanel = new TCustomItemSelector(this);
    FPanel->SetParent(this);
    FPanel->OnItemSelect = [this](TObject*) {
        if (OnItemSelect) OnItemSelect(this);
    };
}

TExCustomItemSelector::~TExCustomItemSelector() = default;

void TExCustomItemSelector::Notification(TComponent* AComponent, TOperation Operation) {
    TScrollBox::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) FImages = nullptr;
    if (AComponent == FPanel) FPanel = nullptr;
}

void TExCustomItemSelector::SetSelectorType(TSelectorType Value) {
    if (FSelectorType == Value) return;
    FSelectorType = Value;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetColumns(int Value) {
    if (Value <= 0 || Value == FColumns) return;
    FColumns = Value;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetColorBoxWidth(int Value) {
    if (FColorBoxWidth == Value) return;
    FColorBoxWidth = Value;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetColorBoxHeight(int Value) {
    if (FColorBoxHeight == Value) return;
    FColorBoxHeight = Value;
    UpdateSelectorPanel();
}

void TExCustomItemSelector::SetImages(TImageList* Value) {
    if (FImages == Value) return;
    FImages = Value;
    UpdateSelectorPanel();
}

int TExCustomItemSelector::ItemIndex() const { return FPanel ? FPanel->ItemIndex() : -1; }
int TExCustomItemSelector::ItemHot() const { return FPanel ? FPanel->ItemHot() : -1; }

void TExCustomItemSelector::SetItemIndex(int Value) {
    if (!FPanel) return;
    FPanel->SetItemIndex(Value);
    ScrollItemInView(FPanel->ItemIndex());
}

void TExCustomItemSelector::UpdateSelectorPanel() {
    if (!FPanel) return;
    FPanel->ArrangeItems();
    UpdateScrollBars();
}

void TExCustomItemSelector::SelectFirst() {
    if (!FPanel) return;
    FPanel->SelectFirst();
    ScrollItemInView(FPanel->ItemIndex());
}

void TExCustomItemSelector::SelectLast() {
    if (!FPanel) return;
    FPanel->SelectLast();
    ScrollItemInView(FPanel->ItemIndex());
}

void TExCustomItemSelector::SelectNext() {
    if (!FPanel) return;
    FPanel->SelectNext();
    ScrollItemInView(FPanel->ItemIndex());
}

void TExCustomItemSelector::SelectPrevious() {
    if (!FPanel) return;
    FPanel->SelectPrevious();
    ScrollItemInView(FPanel->ItemIndex());
}

void TExCustomItemSelector::HotNext() {
    if (!FPanel) return;
    FPanel->HotNext();
    ScrollItemInView(FPanel->ItemHot());
}

void TExCustomItemSelector::HotPrevious() {
    if (!FPanel) return;
    FPanel->HotPrevious();
    ScrollItemInView(FPanel->ItemHot());
}

bool TExCustomItemSelector::LookupItem(const String& S) { return FPanel && FPanel->LookupItem(S); }

int TExCustomItemSelector::GetVisibleItemCount() {
    if (!FPanel || FItems.Count() == 0) return 0;
    int h = Height();
    if (HorzRange() > ClientWidth()) h -= 20;
    const int itemHeight = FItems.Items(0)->ItemRect.Height();
    // An item height below 1 (an odd OnItemSize) counts no rows.
    if (itemHeight < 1) return 0;
    return h / itemHeight * FColumns;
}

void TExCustomItemSelector::ScrollItemInView(int Index) {
    if (!FPanel || Index < 0 || Index >= FItems.Count() || VertRange() <= ClientHeight()) return;
    TRect r;
    FPanel->GetItemRect(Index, r);
    // Panel to outer client coordinates.
    r = Rect(r.Left + FPanel->Left(), r.Top + FPanel->Top(), r.Right + FPanel->Left(), r.Bottom + FPanel->Top());
    const int client = ClientHeight();
    if (r.Top < 0) {
        SetVertPosition(VertPosition() + r.Top);
    } else if (r.Bottom > client) {
        if (r.Height() > client) r.Bottom = client + r.Top;
        SetVertPosition(VertPosition() + r.Bottom - client);
    }
}

void TExCustomItemSelector::GetPanelSize(TSize& Size) const {
    Size = FPanel ? TSize{FPanel->Width(), FPanel->Height()} : TSize{100, 50};
}

void TExCustomItemSelector::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    }
    TScrollBox::Dispatch(Message);
    // The view follows the thumb while it is dragged.
    if (Message.Msg == WM_VSCROLL && Message.WParamLo() == SB_THUMBTRACK) SetVertPosition(SmallInt(Message.WParamHi()));
}

void LoadPickerSelector(TExCustomItemSelector& S, int Columns, TImageList* Images, TItemLayout Layout, TColor Color,
                        const TItemAppearance& Appearance, int Count, const std::function<TPickerItem*(int)>& Entry,
                        const std::function<void(int, TSelectorItem&)>& Extra) {
    S.OnItemSelect = nullptr;
    S.SetColumns(Columns);
    S.SetImages(Images);
    S.SetItemLayout(Layout);
    S.SetColor(Color);
    S.ItemAppearance().Assign(&Appearance);
    S.Items().BeginUpdate();
    S.Items().Clear();
    for (int i = 0; i < Count; ++i) {
        TPickerItem* e = Entry(i);
        TSelectorItem* it = S.Items().Add();
        it->SetCaption(e->Caption());
        it->Image().Assign(&e->Image());
        it->SetImageIndex(e->ImageIndex());
        if (Extra) Extra(i, *it);
    }
    S.Items().EndUpdate();
    S.UpdateSelectorPanel();
}
