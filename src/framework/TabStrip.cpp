#include "framework/TabStrip.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TCustomImageList

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}
TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetWidth(int Value) {
    if (Value == FWidth) return;
    FWidth = Value;
    FImages.clear();
    Changed();
}

void TCustomImageList::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    FImages.clear();
    Changed();
}

int TCustomImageList::Add(const TBitmap& Image) {
    auto bmp = std::make_unique<TBitmap>(FWidth, FHeight);
    if (!Image.Empty())
        bmp->Canvas().CopyRect(Rect(0, 0, FWidth, FHeight), const_cast<TBitmap&>(Image).Canvas(),
                               Rect(0, 0, FWidth, FHeight));
    bmp->SetTransparent(true);
    FImages.push_back(std::move(bmp));
    Changed();
    return Count() - 1;
}

void TCustomImageList::Clear() {
    FImages.clear();
    Changed();
}

void TCustomImageList::Draw(TCanvas& Canvas, int X, int Y, int Index) const {
    if (Index < 0 || Index >= Count()) return;
    Canvas.Draw(X, Y, *FImages[size_t(Index)]);
}

void TCustomImageList::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TCustomTabControl

namespace {
// Space between a tab's text and its ends, and above and below the text.
constexpr int TextPadAlong = 6;
constexpr int TextPadAcross = 3;
// The tabs start this far from the control's edge; the display area keeps
// a border of this width inside the frame.
constexpr int StripInset = 2;
constexpr int DisplayBorder = 4;

bool Horizontal(TTabPosition p) { return p == tpTop || p == tpBottom; }
}  // namespace

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner), FTabs(std::make_unique<TStrings>()) {
    SetBounds(Left(), Top(), 289, 193);
    SetTabStop(true);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::SetItemText(int Index, const String& Text) {
    if (FTabs->Strings(Index) == Text) return;
    FTabs->SetStrings(Index, Text);
    TabsChanged();
}

void TCustomTabControl::InsertItem(int Index, const String& Text, TObject* Object) {
    Index = std::clamp(Index, 0, FTabs->Count());
    FTabs->InsertObject(Index, Text, Object);
    FHighlights.insert(FHighlights.begin() + std::min<size_t>(size_t(Index), FHighlights.size()), false);
    if (FTabs->Count() == 1) FTabIndex = 0;
    else if (FTabIndex >= Index) ++FTabIndex;
    TabsChanged();
}

void TCustomTabControl::DeleteItem(int Index) {
    FTabs->Delete(Index);
    if (size_t(Index) < FHighlights.size()) FHighlights.erase(FHighlights.begin() + Index);
    if (Index == FTabIndex) FTabIndex = -1;
    else if (Index < FTabIndex) --FTabIndex;
    TabsChanged();
}

void TCustomTabControl::MoveItem(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    TObject* selected = FTabIndex >= 0 ? FTabs->Objects(FTabIndex) : nullptr;
    const bool wasSelected = CurIndex == FTabIndex;
    FTabs->Move(CurIndex, NewIndex);
    FHighlights.resize(size_t(FTabs->Count()), false);
    const bool h = FHighlights[size_t(CurIndex)];
    FHighlights.erase(FHighlights.begin() + CurIndex);
    FHighlights.insert(FHighlights.begin() + NewIndex, h);
    if (wasSelected) FTabIndex = NewIndex;
    else if (selected) FTabIndex = FTabs->IndexOfObject(selected);
    TabsChanged();
}

void TCustomTabControl::SetTabIndex(int Value) {
    if (Value < -1 || Value >= FTabs->Count()) Value = -1;
    if (Value == FTabIndex) return;
    FTabIndex = Value;
    Invalidate();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
    if (Value == FTabPosition) return;
    FTabPosition = Value;
    TabsChanged();
}

void TCustomTabControl::SetMultiLine(bool Value) {
    if (Value == FMultiLine) return;
    FMultiLine = Value;
    TabsChanged();
}

void TCustomTabControl::SetOwnerDraw(bool Value) {
    if (Value == FOwnerDraw) return;
    FOwnerDraw = Value;
    Invalidate();
}

void TCustomTabControl::SetTabHeight(int Value) {
    if (Value == FTabHeight) return;
    FTabHeight = std::max(Value, 0);
    TabsChanged();
}

void TCustomTabControl::SetTabWidth(int Value) {
    if (Value == FTabWidth) return;
    FTabWidth = std::max(Value, 0);
    TabsChanged();
}

void TCustomTabControl::SetRaggedRight(bool Value) {
    if (Value == FRaggedRight) return;
    FRaggedRight = Value;
    TabsChanged();
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->OnChange = nullptr;
    FImages = Value;
    if (FImages) FImages->OnChange = [this](TObject*) { TabsChanged(); };
    TabsChanged();
}

void TCustomTabControl::TabsChanged() {
    FLayoutValid = false;
    FHighlights.resize(size_t(FTabs->Count()), false);
    Realign();
    Invalidate();
}

TSize TCustomTabControl::TabSize(int Index) {
    TCanvas measure;
    measure.SetFont(Font());
    const bool horz = Horizontal(FTabPosition);
    int along = FTabWidth;
    if (along == 0) {
        along = measure.TextWidth(FTabs->Strings(Index)) + 2 * TextPadAlong;
        if (FImages) {
            const int img = horz ? FImages->Width() : FImages->Height();
            if (img > 0) along += img + TextPadAcross;
        }
    }
    int across = FTabHeight;
    if (across == 0) {
        across = measure.TextHeight(S("Ag"));
        if (FImages) across = std::max(across, horz ? FImages->Height() : FImages->Width());
        across += 2 * TextPadAcross;
    }
    return {along, across};
}

void TCustomTabControl::Layout() {
    const int W = Width(), H = Height();
    if (FLayoutValid && FLayoutW == W && FLayoutH == H && FLayoutFont == Font().Revision()) return;
    FLayoutValid = true;
    FLayoutW = W;
    FLayoutH = H;
    FLayoutFont = Font().Revision();

    const int n = FTabs->Count();
    const bool horz = Horizontal(FTabPosition);
    const int avail = (horz ? W : H) - 2 * StripInset;

    // Tabs into rows along the edge; row 0 lies next to the display area.
    struct Place { int row, pos, len; };
    std::vector<Place> places(static_cast<size_t>(n));
    int thick = 0, row = 0, pos = StripInset;
    for (int i = 0; i < n; ++i) {
        const TSize sz = TabSize(i);
        thick = std::max(thick, sz.cy);
        if (FMultiLine && pos > StripInset && pos + sz.cx > StripInset + avail) {
            ++row;
            pos = StripInset;
        }
        places[size_t(i)] = {row, pos, sz.cx};
        pos += sz.cx;
    }
    FRows = n > 0 ? row + 1 : 0;

    // With several rows the tabs of each row share out the row's spare room.
    if (FRows > 1 && !FRaggedRight) {
        for (int r = 0; r < FRows; ++r) {
            std::vector<int> members;
            for (int i = 0; i < n; ++i)
                if (places[size_t(i)].row == r) members.push_back(i);
            const Place& last = places[size_t(members.back())];
            const int spare = StripInset + avail - (last.pos + last.len);
            if (spare <= 0) continue;
            int shift = 0;
            for (size_t k = 0; k < members.size(); ++k) {
                Place& p = places[size_t(members[k])];
                const int extra = spare * int(k + 1) / int(members.size()) - spare * int(k) / int(members.size());
                p.pos += shift;
                p.len += extra;
                shift += extra;
            }
        }
    }

    const int band = FRows * thick;
    FRects.assign(size_t(n), TRect{});
    for (int i = 0; i < n; ++i) {
        const Place& p = places[size_t(i)];
        TRect r;
        switch (FTabPosition) {
        case tpTop: {
            const int top = StripInset + (FRows - 1 - p.row) * thick;
            r = Rect(p.pos, top, p.pos + p.len, top + thick);
            break;
        }
        case tpBottom: {
            const int top = H - StripInset - band + p.row * thick;
            r = Rect(p.pos, top, p.pos + p.len, top + thick);
            break;
        }
        case tpLeft: {
            const int left = StripInset + (FRows - 1 - p.row) * thick;
            r = Rect(left, p.pos, left + thick, p.pos + p.len);
            break;
        }
        case tpRight: {
            const int left = W - StripInset - band + p.row * thick;
            r = Rect(left, p.pos, left + thick, p.pos + p.len);
            break;
        }
        }
        FRects[size_t(i)] = r;
    }

    const int edge = StripInset + band;
    switch (FTabPosition) {
    case tpTop: FDisplay = Rect(DisplayBorder, edge + DisplayBorder, W - DisplayBorder, H - DisplayBorder); break;
    case tpBottom: FDisplay = Rect(DisplayBorder, DisplayBorder, W - DisplayBorder, H - edge - DisplayBorder); break;
    case tpLeft: FDisplay = Rect(edge + DisplayBorder, DisplayBorder, W - DisplayBorder, H - DisplayBorder); break;
    case tpRight: FDisplay = Rect(DisplayBorder, DisplayBorder, W - edge - DisplayBorder, H - DisplayBorder); break;
    }
    if (FDisplay.Right < FDisplay.Left) FDisplay.Right = FDisplay.Left;
    if (FDisplay.Bottom < FDisplay.Top) FDisplay.Bottom = FDisplay.Top;
}

TRect TCustomTabControl::TabRect(int Index) {
    Layout();
    if (Index < 0 || Index >= int(FRects.size())) return TRect{};
    return FRects[size_t(Index)];
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
    Layout();
    for (size_t i = 0; i < FRects.size(); ++i)
        if (PtInRect(FRects[i], {X, Y})) return int(i);
    return -1;
}

TRect TCustomTabControl::DisplayRect() {
    Layout();
    return FDisplay;
}

int TCustomTabControl::RowCount() {
    Layout();
    return FRows;
}

void TCustomTabControl::SetTabHighlighted(int Index, bool Value) {
    if (Index < 0 || Index >= FTabs->Count()) return;
    FHighlights.resize(size_t(FTabs->Count()), false);
    FHighlights[size_t(Index)] = Value;
    Invalidate();
}

bool TCustomTabControl::TabHighlighted(int Index) const {
    return Index >= 0 && Index < int(FHighlights.size()) && FHighlights[size_t(Index)];
}

bool TCustomTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

int TCustomTabControl::GetImageIndex(int TabIndex) {
    int index = TabIndex;
    if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
    if (OnDrawTab) OnDrawTab(this, TabIndex, Rect, Active);
}

void TCustomTabControl::SelectTabByUser(int Index) {
    if (Index < 0 || Index >= FTabs->Count() || Index == FTabIndex) return;
    if (!CanChange()) return;
    FTabIndex = Index;
    Invalidate();
    Change();
}

void TCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        const int i = IndexOfTabAt(X, Y);
        if (i >= 0) {
            if (CanFocus() && !Focused()) SetFocus();
            SelectTabByUser(i);
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTabControl::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    const int n = FTabs->Count();
    if (n == 0) return;
    if (Key == VK_LEFT || Key == VK_UP) {
        SelectTabByUser(std::max(FTabIndex - 1, 0));
        Key = 0;
    } else if (Key == VK_RIGHT || Key == VK_DOWN) {
        SelectTabByUser(std::min(FTabIndex + 1, n - 1));
        Key = 0;
    }
}

void TCustomTabControl::AlignControls(TControl* AControl, TRect& Rect) {
    Rect = DisplayRect();
    TCustomControl::AlignControls(AControl, Rect);
}

void TCustomTabControl::Paint() {
    Layout();
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    // Frame of the display area.
    TRect frame = FDisplay;
    InflateRect(frame, 2, 2);
    c.DrawEdge(frame, EDGE_RAISED, BF_RECT);
    for (int i = 0; i < FTabs->Count(); ++i) {
        const TRect& r = FRects[size_t(i)];
        if (FOwnerDraw)
            DrawTab(i, r, i == FTabIndex);
        else
            PaintPlainTab(i, r, i == FTabIndex);
    }
}

void TCustomTabControl::PaintPlainTab(int Index, const TRect& R, bool Active) {
    TCanvas& c = Canvas();
    TRect r = R;
    if (Active) InflateRect(r, 1, 1);
    c.Brush().SetColor(TabHighlighted(Index) ? clHighlight : Color());
    c.FillRect(r);
    TRect edge = r;
    c.DrawEdge(edge, EDGE_RAISED, BF_RECT);
    c.SetFont(Font());
    if (!CanShowTab(Index)) c.Font().SetColor(clGrayText);
    c.Brush().SetStyle(bsClear);
    const String& text = FTabs->Strings(Index);
    const int tw = c.TextWidth(text), th = c.TextHeight(text);
    switch (FTabPosition) {
    case tpTop:
    case tpBottom:
        c.TextOut(r.Left + (r.Width() - tw) / 2, r.Top + (r.Height() - th) / 2, text);
        break;
    case tpLeft:
        c.Font().SetEscapement(900);
        c.TextOut(r.Left + (r.Width() - th) / 2, r.Bottom - (r.Height() - tw) / 2, text);
        break;
    case tpRight:
        c.Font().SetEscapement(2700);
        c.TextOut(r.Right - (r.Width() - th) / 2, r.Top + (r.Height() - tw) / 2, text);
        break;
    }
    c.Brush().SetStyle(bsSolid);
    if (Active && Focused()) {
        TRect f = r;
        InflateRect(f, -3, -3);
        c.DrawFocusRect(f);
    }
}
