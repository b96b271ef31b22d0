#include "controls/ExPageControl.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TTabMargin

void TTabMargin::SetByIndex(int Index, int Value) {
    int* field = Index == 0 ? &FLeftMargin : Index == 1 ? &FTopMargin : &FRightMargin;
    if (*field == Value) return;
    if (OnMarginChange) OnMarginChange(Value, *field, Index);
    *field = Value;
}

void TTabMargin::Assign(const TPersistent* Source) {
    if (auto m = dynamic_cast<const TTabMargin*>(Source)) {
        FLeftMargin = m->FLeftMargin;
        FTopMargin = m->FTopMargin;
        FRightMargin = m->FRightMargin;
    }
}

// ---------------------------------------------------------------------------
// TExTabSheet

TExTabSheet::TExTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
    SetAlign(alClient);
    TControlStyle style = ControlStyle();
    style.Include(csAcceptsControls);
    style.Include(csNoDesignVisible);
    SetControlStyle(style);
    SetVisible(false);
}

TExTabSheet::~TExTabSheet() {
    if (FExPageControl) {
        if (FExPageControl->FUndockingPage == this) FExPageControl->FUndockingPage = nullptr;
        FExPageControl->RemovePage(this);
    }
}

void TExTabSheet::InvalidateControl() {
    if (FExPageControl) FExPageControl->Invalidate();
}

void TExTabSheet::SetCaption(const String& Value) {
    // The tab item is measured on a text two characters shorter than the
    // caption (the painter writes the whole caption); with a close button it
    // is one blank longer instead, to make room for the button.
    if (FShowClose)
        FTabCaption = Value + u" ";
    else
        FTabCaption = Value.size() <= 2 ? String() : Value.substr(0, Value.size() - 2);
    SetText(Value);
    if (FExPageControl) FExPageControl->UpdateTab(this);
}

void TExTabSheet::SetTextColor(TColor Value) {
    FTextColor = Value;
    InvalidateControl();
}

void TExTabSheet::SetTabColor(TColor Value) {
    FTabColor = Value;
    Invalidate();
}

void TExTabSheet::SetTabColorTo(TColor Value) {
    FTabColorTo = Value;
    Invalidate();
}

void TExTabSheet::SetShowClose(bool Value) {
    FShowClose = Value;
    SetCaption(GetCaption());
    InvalidateControl();
}

void TExTabSheet::SetTabGradientDirection(TGradientDirection Value) {
    if (Value == FTabGradientDirection) return;
    FTabGradientDirection = Value;
    InvalidateControl();
}

void TExTabSheet::SetHoverGradientDirection(TGradientDirection Value) {
    FHoverGradientDirection = Value;
}

void TExTabSheet::SetImageIndex(int Value) {
    if (Value < 0) {
        FImageIndex = -1;
        FImageIndexDummy = 0;
    } else {
        FImageIndex = Value;
        FImageIndexDummy = Value;
    }
    SetCaption(GetCaption());
}

void TExTabSheet::SetExPageControl(TExPageControl* Value) {
    if (Value == FExPageControl) return;
    if (FExPageControl) FExPageControl->RemovePage(this);
    SetParent(Value);
    if (Value) {
        Value->InsertPage(this);
        if (FTextColor == clBlack) FTextColor = Value->DefaultTextColor();
        if (FTabColor == clNone) FTabColor = Value->DefaultTabColor();
        if (FTabColorTo == clNone) FTabColorTo = Value->DefaultTabColorTo();
    }
}

void TExTabSheet::SetTabVisible(bool Value) {
    if (Value == FTabVisible) return;
    FTabVisible = Value;
    UpdateTabShowing();
}

void TExTabSheet::UpdateTabShowing() {
    SetTabShowing(FExPageControl != nullptr && FTabVisible);
}

void TExTabSheet::SetTabShowing(bool Value) {
    if (Value == FTabShowing) return;
    if (Value) {
        FTabShowing = true;
        FExPageControl->InsertTab(this);
    } else {
        const int index = TabIndex();
        FTabShowing = false;
        FExPageControl->DeleteTab(this, index);
    }
}

void TExTabSheet::SetHighlighted(bool Value) {
    if (!ControlState().Contains(csReadingState) && FExPageControl)
        FExPageControl->SetTabHighlighted(TabIndex(), Value);
    FHighlighted = Value;
}

void TExTabSheet::SetTabEnable(bool Value) {
    if (Value == FTabEnable) return;
    if (FExPageControl) {
        if (!Value && FExPageControl->ActivePage() == this) throw Exception(S("Can not disable active tab."));
        FTabEnable = Value;
        FExPageControl->Invalidate();
    } else {
        FTabEnable = Value;
    }
}

void TExTabSheet::SetColorTo(TColor Value) {
    FColorTo = Value;
    Invalidate();
    InvalidateControl();
}

void TExTabSheet::SetColor(TColor Value) {
    TCustomControl::SetColor(Value);
    InvalidateControl();
}

int TExTabSheet::PageIndex() const {
    if (!FExPageControl) return -1;
    const auto& pages = FExPageControl->FPages;
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : int(it - pages.begin());
}

void TExTabSheet::SetPageIndex(int Value) {
    if (!FExPageControl) return;
    auto& pages = FExPageControl->FPages;
    const int maxIndex = int(pages.size()) - 1;
    // A negative index is refused like one past the end: the list has no such place.
    if (Value < 0 || Value > maxIndex)
        throw EListError(Format(S("%d is an invalid PageIndex value.  PageIndex must be between 0 and %d"),
                                {Value, maxIndex}));
    const int cur = PageIndex();
    const int oldTab = TabIndex();
    pages.erase(pages.begin() + cur);
    pages.insert(pages.begin() + Value, this);
    const int newTab = TabIndex();
    if (oldTab >= 0 && oldTab != newTab) FExPageControl->MoveTab(oldTab, newTab);
}

int TExTabSheet::TabIndex() const {
    if (!FTabShowing) return -1;
    int result = 0;
    for (TExTabSheet* page : FExPageControl->FPages) {
        if (page == this) break;
        if (page->FTabShowing) ++result;
    }
    return result;
}

bool TExTabSheet::CanClose() {
    bool result = true;
    if (OnCanClose) OnCanClose(this, result);
    return result;
}

void TExTabSheet::DoClose() {
    if (OnClose) OnClose(this);
}

void TExTabSheet::DoShow() {
    if (OnShow) OnShow(this);
}

void TExTabSheet::DoHide() {
    if (OnHide) OnHide(this);
}

void TExTabSheet::CMShowingChanged(TMessage& Message) {
    TCustomControl::CMShowingChanged(Message);
    const bool showing = Showing();
    if (showing == FWasShowing) return;
    FWasShowing = showing;
    // A failing handler must not break the page switch: the application shows its error.
    try {
        if (showing) DoShow();
        else DoHide();
    } catch (const std::exception& e) {
        Application->HandleException(e);
    }
}

void TExTabSheet::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    if (FTabShowing) FExPageControl->UpdateTab(this);
}

void TExTabSheet::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    if (FColorTo != clNone) DrawTabGradient(c, Color(), FColorTo, 64, ClientRect(), false);
}

// ---------------------------------------------------------------------------
// TExPageControl

TExPageControl::TExPageControl(TComponent* AOwner)
    : TCustomTabControl(AOwner),
      FTabMargin(std::make_unique<TTabMargin>()),
      FClosedTabList(std::make_unique<TStringList>()),
      FDummyImages(std::make_unique<TCustomImageList>(nullptr)),
      FTabBackGround(std::make_unique<TBitmap>()),
      FTabBackGroundActive(std::make_unique<TBitmap>()),
      FActiveFont(std::make_unique<TFont>()),
      FCloseGlyph(std::make_unique<TBitmap>()) {
    TControlStyle style = ControlStyle();
    style.Include(csOpaque);
    style.Include(csDoubleClicks);
    SetControlStyle(style);
    Font().SetName(S("Tahoma"));
    FActiveFont->SetName(S("Tahoma"));
    FDummyImages->SetWidth(0);
    FDummyImages->SetHeight(0);
    FTabMargin->OnMarginChange = [this](int n, int o, int i) { MarginChanged(n, o, i); };
    FImages = FDummyImages.get();
    SetOwnerDraw(!FTabBorder3D);
    FActiveFont->OnChange = [this](TObject* s) { ActiveFontChanged(s); };
    TCustomTabControl::OnChange = [this](TObject* s) { DoTabChange(s); };
}

TExPageControl::~TExPageControl() {
    // The pages belong to their owner, which frees them; they only forget this control.
    for (TExTabSheet* page : FPages) page->FExPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
    FActiveFont->OnChange = nullptr;
}

TExTabSheet* TExPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount()) throw EListError(Format(S("List index out of bounds (%d)"), {Index}));
    return FPages[size_t(Index)];
}

void TExPageControl::InsertPage(TExTabSheet* Page) {
    FPages.push_back(Page);
    Page->FExPageControl = this;
    Page->UpdateTabShowing();
}

void TExPageControl::InsertTab(TExTabSheet* Page) {
    InsertItem(Page->TabIndex(), Page->FTabCaption, Page);
    UpdateActivePage();
}

void TExPageControl::DeleteTab(TExTabSheet* Page, int Index) {
    const bool wasActive = Page == FActivePage;
    DeleteItem(Index);
    if (wasActive) {
        if (Index >= ItemCount()) Index = ItemCount() - 1;
        SetTabIndex(Index);
    }
    UpdateActivePage();
}

void TExPageControl::MoveTab(int CurIndex, int NewIndex) {
    MoveItem(CurIndex, NewIndex);
}

void TExPageControl::RemovePage(TExTabSheet* Page) {
    TExTabSheet* next = FindNextPage(Page, true, true);
    if (next == Page) next = nullptr;
    Page->SetTabShowing(false);
    Page->FExPageControl = nullptr;
    FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
    if (FActivePage == Page) FActivePage = nullptr;
    if (FHoverTab >= PageCount()) FHoverTab = -1;
    SetActivePage(next);
}

TExTabSheet* TExPageControl::FindNextPage(TExTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
    const int n = PageCount();
    if (n == 0) return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), CurPage);
    int i = it != FPages.end() ? int(it - FPages.begin()) : (GoForward ? n - 1 : 0);
    // n steps: the last one comes back to the start page and tests it too.
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TExTabSheet* page = FPages[size_t(i)];
        if (!CheckTabVisible || page->TabVisible()) return page;
    }
    return nullptr;
}

void TExPageControl::SelectNextPage(bool GoForward) {
    TExTabSheet* page = FindNextPage(FActivePage, GoForward, true);
    if (page && page != FActivePage && CanChange()) {
        SetTabIndex(page->TabIndex());
        Change();
    }
}

void TExPageControl::SetActivePage(TExTabSheet* Page) {
    if (Page && Page->FExPageControl != this) return;
    ChangeActivePage(Page);
    if (!Page) {
        SetTabIndex(-1);
        FActivePage = nullptr;
    } else if (Page == FActivePage) {
        SetTabIndex(Page->TabIndex());
    }
}

void TExPageControl::ChangeActivePage(TExTabSheet* Page) {
    if (Page == FActivePage || !Page || !Page->TabEnable()) return;
    TCustomForm* form = GetParentForm(this);
    if (form && FActivePage && form->ActiveControl() && FActivePage->ContainsControl(form->ActiveControl())) {
        form->SetActiveControl(FActivePage);
        if (form->ActiveControl() != FActivePage) {
            SetTabIndex(FActivePage->TabIndex());
            return;
        }
    }
    Page->BringToFront();
    Page->SetVisible(true);
    if (form && FActivePage && form->ActiveControl() == FActivePage) {
        if (Page->CanFocus()) form->SetActiveControl(Page);
        else form->SetActiveControl(this);
    }
    TExTabSheet* old = FActivePage;
    if (old) old->SetVisible(false);
    FActivePage = Page;
    if (old) AdjustTabText(old);
    AdjustTabText(Page);
    if (form && form->ActiveControl() == Page) Page->SelectFirst();
    Invalidate();
}

int TExPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TExPageControl::SetActivePageIndex(int Value) {
    if (Value >= 0 && Value < PageCount())
        SetActivePage(FPages[size_t(Value)]);
    else
        SetActivePage(nullptr);
}

void TExPageControl::UpdateActivePage() {
    if (TabIndex() < 0)
        SetActivePage(nullptr);
    else
        SetActivePage(static_cast<TExTabSheet*>(ItemObject(TabIndex())));
}

bool TExPageControl::CanChange() {
    const TPoint p = ScreenToClient(GetCursorPos());
    const int target = PageIndexAt(p.X, p.Y);
    bool allow = true;
    if (OnCanChange) OnCanChange(this, ActivePageIndex(), target, allow);
    return allow && TCustomTabControl::CanChange();
}

void TExPageControl::Change() {
    UpdateActivePage();
    TCustomTabControl::Change();
}

void TExPageControl::DoTabChange(TObject* Sender) {
    if (OnChange) OnChange(Sender);
    Invalidate();
}

bool TExPageControl::CanShowTab(int TabIndex) {
    // As the original: the tab index is taken as a page index here.
    return TabIndex >= 0 && TabIndex < PageCount() && FPages[size_t(TabIndex)]->Enabled();
}

int TExPageControl::GetImageIndex(int TabIndex) {
    if (TCustomTabControl::OnGetImageIndex) return TCustomTabControl::GetImageIndex(TabIndex);
    int shown = -1;
    for (TExTabSheet* page : FPages) {
        if (!page->TabVisible()) continue;
        if (++shown == TabIndex) return page->StripImageIndex();
    }
    return TabIndex;
}

void TExPageControl::AdjustTabText(TExTabSheet* Page) {
    if (FTabBorder3D || !Page) return;
    const int index = Page->TabIndex();
    if (index < 0 || index >= ItemCount()) return;
    String text = Page->FTabCaption;
    if (Page == FActivePage &&
        (FActiveFont->Style().Contains(fsBold) || FActiveFont->Style().Contains(fsItalic))) {
        // Widen the item with blanks so that the bolder text fits its tab.
        TCanvas measure;
        measure.SetFont(*FActiveFont);
        const int activeWidth = measure.TextWidth(text);
        measure.SetFont(Font());
        const int plainWidth = measure.TextWidth(text);
        String blanks;
        while (measure.TextWidth(blanks) < activeWidth - plainWidth) blanks += u' ';
        text += blanks;
    }
    SetItemText(index, text);
}

void TExPageControl::UpdateTab(TExTabSheet* Page) {
    if (!Page->FTabShowing) return;
    const int index = Page->TabIndex();
    if (index < 0 || index >= ItemCount()) return;
    SetItemText(index, FTabBorder3D ? Page->GetCaption() : Page->FTabCaption);
}

void TExPageControl::ActiveFontChanged(TObject*) {
    AdjustTabText(FActivePage);
    Invalidate();
}

// --- colours and looks

void TExPageControl::SetDefaultTextColor(TColor Value) {
    for (TExTabSheet* page : FPages)
        if (page->TextColor() == FDefaultTextColor) page->FTextColor = Value;
    FDefaultTextColor = Value;
    Invalidate();
}

void TExPageControl::SetDefaultTabColor(TColor Value) {
    for (TExTabSheet* page : FPages)
        if (page->TabColor() == FDefaultTabColor) page->FTabColor = Value;
    FDefaultTabColor = Value;
    Invalidate();
}

void TExPageControl::SetDefaultTabColorTo(TColor Value) {
    for (TExTabSheet* page : FPages)
        if (page->TabColorTo() == FDefaultTabColorTo) page->FTabColorTo = Value;
    FDefaultTabColorTo = Value;
    Invalidate();
}

void TExPageControl::SetActiveColor(TColor Value) { FActiveColor = Value; Invalidate(); }
void TExPageControl::SetActiveColorTo(TColor Value) { FActiveColorTo = Value; Invalidate(); }
void TExPageControl::SetTabBorderColor(TColor Value) { FTabBorderColor = Value; Invalidate(); }
void TExPageControl::SetTabOverlap(int Value) { FTabOverlap = std::clamp(Value, 0, 15); Invalidate(); }
void TExPageControl::SetActiveFont(const TFont& Value) { FActiveFont->Assign(&Value); Invalidate(); }

void TExPageControl::SetCloseGlyph(const TBitmap* Value) {
    if (Value) FCloseGlyph->Assign(Value);
    else FCloseGlyph->SetSize(0, 0);
    Invalidate();
}

void TExPageControl::SetTabBackGroundActive(const TBitmap* Value) {
    if (Value) FTabBackGroundActive->Assign(Value);
    else FTabBackGroundActive->SetSize(0, 0);
    Invalidate();
}

void TExPageControl::SetTabBackGround(const TBitmap* Value) {
    if (Value) FTabBackGround->Assign(Value);
    else FTabBackGround->SetSize(0, 0);
    Invalidate();
}

void TExPageControl::SetTabSheet3D(bool Value) {
    if (Value == FTabSheet3D) return;
    FTabSheet3D = Value;
    Invalidate();
}

void TExPageControl::SetTabSheetBorderColor(TColor Value) {
    if (Value == FTabSheetBorderColor) return;
    FTabSheetBorderColor = Value;
    Invalidate();
}

void TExPageControl::SetTabBackGroundColor(TColor Value) {
    if (Value == FTabBackGroundColor) return;
    FTabBackGroundColor = Value;
    Invalidate();
}

void TExPageControl::SetRoundEdges(bool Value) {
    if (Value == FRoundEdges) return;
    FRoundEdges = Value;
    Invalidate();
}

void TExPageControl::SetTabStyle(TTabStyle Value) {
    if (Value == FTabStyle) return;
    FTabStyle = Value;
    Invalidate();
}

void TExPageControl::SetLowerActive(int Value) {
    if (Value == FLowerActive) return;
    FLowerActive = Value;
    Invalidate();
}

void TExPageControl::SetTabSplitLine(bool Value) {
    if (Value && FTabStyle == tsDotNet) throw Exception(S("TabSplitLine must be false when TabStyle is tsDotNet"));
    if (Value == FTabSplitLine) return;
    FTabSplitLine = Value;
    Invalidate();
}

void TExPageControl::SetTabBorder3D(bool Value) {
    if (Value == FTabBorder3D) return;
    FTabBorder3D = Value;
    TCustomTabControl::SetImages(Value ? FImages : FDummyImages.get());
    SetOwnerDraw(!Value);
    for (int i = PageCount() - 1; i >= 0; --i) UpdateTab(FPages[size_t(i)]);
    if (!Value) AdjustTabText(FActivePage);
    Invalidate();
}

// --- images and margins

void TExPageControl::SetImages(TCustomImageList* Value) {
    const bool vertical = TabPosition() == tpLeft || TabPosition() == tpRight;
    if (FImages) {
        if (vertical) FDummyImages->SetHeight(FDummyImages->Height() - FImages->Height());
        else FDummyImages->SetWidth(FDummyImages->Width() - FImages->Width());
    }
    FImages = Value;
    if (FImages) {
        if (vertical) FDummyImages->SetHeight(FDummyImages->Height() + FImages->Height());
        else FDummyImages->SetWidth(FDummyImages->Width() + FImages->Width());
    }
    if (FTabBorder3D) TCustomTabControl::SetImages(FImages);
    Invalidate();
}

void TExPageControl::SetTabPosition(TTabPosition Value) {
    if (FImages) {
        TCustomImageList* images = FImages;
        SetImages(nullptr);
        TCustomTabControl::SetTabPosition(Value);
        SetImages(images);
    } else {
        TCustomTabControl::SetTabPosition(Value);
    }
    UpdateMarginImages();
}

void TExPageControl::UpdateMarginImages() {
    const int w = FImages ? FImages->Width() : 0;
    const int h = FImages ? FImages->Height() : 0;
    if (TabPosition() == tpTop || TabPosition() == tpBottom)
        FDummyImages->SetWidth(w + FTabMargin->RightMargin() + FTabMargin->LeftMargin());
    else
        FDummyImages->SetHeight(h + FTabMargin->RightMargin() + FTabMargin->TopMargin());
}

void TExPageControl::SetTabMargin(const TTabMargin* Value) {
    if (Value) FTabMargin->Assign(Value);
}

void TExPageControl::MarginChanged(int NewValue, int OldValue, int Index) {
    if (FPropertiesLoaded) {
        const int w = FImages ? FImages->Width() : 0;
        const int h = FImages ? FImages->Height() : 0;
        const bool horizontal = TabPosition() == tpTop || TabPosition() == tpBottom;
        if (Index == 0 && horizontal)
            FDummyImages->SetWidth(w + FTabMargin->RightMargin() + NewValue);
        else if (Index == 1 && !horizontal)
            FDummyImages->SetHeight(h + FTabMargin->RightMargin() + NewValue);
        else if (Index == 2) {
            if (horizontal) FDummyImages->SetWidth(FDummyImages->Width() + NewValue - OldValue);
            else FDummyImages->SetHeight(FDummyImages->Height() + NewValue - OldValue);
        }
    }
    Invalidate();
}

void TExPageControl::Loaded() {
    TCustomTabControl::Loaded();
    for (TExTabSheet* page : FPages)
        if (page->TabIndex() >= 0) SetTabHighlighted(page->TabIndex(), page->Highlighted());
    UpdateMarginImages();
    FPropertiesLoaded = true;
}

// --- closing tabs

TRect TExPageControl::GetPageTabRect(TExTabSheet* Page) {
    if (!Page) return TRect{};
    const int index = Page->TabIndex();
    return index < 0 ? TRect{} : TabRect(index);
}

int TExPageControl::PageIndexAt(int X, int Y) {
    const int tab = IndexOfTabAt(X, Y);
    if (tab < 0) return -1;
    int index = tab;
    for (int j = 0; j <= index && j < PageCount(); ++j)
        if (!FPages[size_t(j)]->TabVisible()) ++index;
    return index < PageCount() ? index : -1;
}

bool TExPageControl::PtInCloseButton(TExTabSheet* Page, int X, int Y) {
    const TRect R = GetPageTabRect(Page);
    if (IsRectEmpty(R)) return false;
    TRect button;
    if (TabPosition() == tpLeft) {
        int l = R.Left + FTabMargin->LeftMargin();
        int b = R.Bottom - FTabMargin->TopMargin();
        if (!FTabBackGroundActive->Empty()) {
            l += 2;
            b += FTabOverlap;
        }
        button = Rect(l + 2, b - 13, l + 14, b - 2);
    } else {
        const int l = R.Left + FTabMargin->LeftMargin();
        const int t = R.Top + FTabMargin->TopMargin();
        button = Rect(l + 2, t + 2, l + 14, t + 13);
    }
    return PtInRect(button, {X, Y});
}

void TExPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomTabControl::MouseDown(Button, Shift, X, Y);
    if (FTabBorder3D || !FActivePage) return;
    if (FActivePage->ShowClose() && PtInCloseButton(FActivePage, X, Y)) {
        FCloseLook = CloseDown;
        Invalidate();
    }
}

void TExPageControl::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomTabControl::MouseMove(Shift, X, Y);
    if (FTabBorder3D || FTabHoverColor == clNone || !FActivePage) return;
    if (FTabBackGround->Empty()) {
        const int page = PageIndexAt(X, Y);
        if (page != FHoverTab) {
            FHoverTab = page;
            Invalidate();
        }
    }
    if (FActivePage->ShowClose()) {
        const bool over = PtInCloseButton(FActivePage, X, Y);
        if (over && !FHoverClosedButton) {
            FHoverClosedButton = true;
            if (FCloseLook != CloseDown) FCloseLook = CloseHot;
            Invalidate();
        } else if (!over && FHoverClosedButton) {
            FHoverClosedButton = false;
            FCloseLook = CloseRest;
            Invalidate();
        }
    }
}

void TExPageControl::CMMouseLeave(TMessage& Message) {
    TCustomTabControl::CMMouseLeave(Message);
    if (FTabBackGround->Empty()) Invalidate();
    FHoverTab = -1;
}

void TExPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomTabControl::MouseUp(Button, Shift, X, Y);
    if (FTabBorder3D || Button != mbLeft || !FActivePage) return;
    const bool wasDown = FCloseLook == CloseDown;
    FCloseLook = FHoverClosedButton ? CloseHot : CloseRest;
    if (wasDown) Invalidate();
    // Only a page that shows a close button can be closed by it.
    if (!FActivePage->ShowClose() || !PtInCloseButton(FActivePage, X, Y)) return;
    TExTabSheet* page = FActivePage;
    TExTabSheet* next = FindNextPage(page, true, true);
    if (!page->CanClose()) return;
    page->DoClose();
    SetActivePage(next);
    FCloseLook = CloseRest;
    FHoverClosedButton = false;
    if (FFreeOnClose) {
        delete page;
    } else {
        FClosedTabList->AddObject(page->Name(), page);
        page->SetExPageControl(nullptr);
    }
    Invalidate();
}

bool TExPageControl::OpenClosedTab(const String& Name) {
    const int i = FClosedTabList->IndexOf(Name);
    if (i < 0) return false;
    static_cast<TExTabSheet*>(FClosedTabList->Objects(i))->SetExPageControl(this);
    return true;
}

void TExPageControl::OpenAllClosedTabs() {
    for (int i = 0; i < FClosedTabList->Count(); ++i) {
        auto* page = static_cast<TExTabSheet*>(FClosedTabList->Objects(i));
        if (page->ExPageControl() != this) page->SetExPageControl(this);
    }
}

// --- keyboard

void TExPageControl::CMDialogKey(TCMDialogKey& Message) {
    TWinControl* focused = FindFocusedControl();
    const bool ours = Focused() || (focused && ContainsControl(focused));
    if (ours && Message.CharCode() == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        Message.Result = 1;
        return;
    }
    TCustomTabControl::CMDialogKey(Message);
}

void TExPageControl::Paint() {
    if (FTabBorder3D) {
        TCustomTabControl::Paint();
        return;
    }
    // The strip's own drawing, then the whole tab area painted over it.
    TCustomTabControl::Paint();
    PaintTabs(Canvas());
}

// ---------------------------------------------------------------------------
// Docking

TExTabSheet* TExPageControl::GetPageFromDockClient(TControl* Client) const {
    if (!Client || Client->HostDockSite() != this) return nullptr;
    for (TExTabSheet* p : FPages)
        if (Client->Parent() == p) return p;
    return nullptr;
}

TControl* TExPageControl::GetDockClientFromPoint(TPoint P) {
    if (!DockSite()) return nullptr;
    const int tab = IndexOfTabAt(P.X, P.Y);
    if (tab < 0) return nullptr;
    // The tab's page: stepping over the pages whose tab shows.
    TExTabSheet* page = nullptr;
    for (int i = 0; i <= tab; ++i) {
        page = FindNextPage(page, true, true);
        if (!page) return nullptr;
    }
    if (page->ControlCount() == 0) return nullptr;
    TControl* c = page->Controls(0);
    return c->HostDockSite() == this ? c : nullptr;
}

void TExPageControl::GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) {
    // A control docked in one of the pages does not dock again.
    CanDock = GetPageFromDockClient(Client) == nullptr;
    TCustomTabControl::GetSiteInfo(Client, InfluenceRect, MousePos, CanDock);
}

void TExPageControl::DockOver(TDragDockObject& Source, int X, int Y, TDragState State, bool& Accept) {
    const TPoint o = ClientToScreen({0, 0});
    Source.DockRect = Bounds(o.X, o.Y, Width(), Height());
    TCustomTabControl::DockOver(Source, X, Y, State, Accept);
}

void TExPageControl::CMDockClient(TDragDockObject& Source) {
    TControl* client = Source.Control;
    struct Clear {
        TExTabSheet*& Sheet;
        ~Clear() { Sheet = nullptr; }
    } clear{FNewDockSheet};
    FNewDockSheet = new TExTabSheet(this);
    try {
        if (auto* form = dynamic_cast<TCustomForm*>(client)) FNewDockSheet->SetCaption(form->Caption());
        FNewDockSheet->SetExPageControl(this);
        client->Dock(this, Source.DockRect);
    } catch (...) {
        delete FNewDockSheet;
        throw;
    }
    FNewDockSheet->SetTabVisible(client->Visible());
    if (client->Visible()) SetActivePage(FNewDockSheet);
    client->SetAlign(alClient);
}

void TExPageControl::DoAddDockClient(TControl* Client, const TRect& ARect) {
    if (!FNewDockSheet) return TCustomTabControl::DoAddDockClient(Client, ARect);
    Client->SetParent(FNewDockSheet);
}

void TExPageControl::CMUnDockClient(TWinControl* NewTarget, TControl* Client) {
    TCustomTabControl::CMUnDockClient(NewTarget, Client);
    if (TExTabSheet* page = GetPageFromDockClient(Client)) {
        FUndockingPage = page;
        Client->SetAlign(alNone);
    }
}

void TExPageControl::DoRemoveDockClient(TControl* Client) {
    if (!FUndockingPage || Client->ComponentState().Contains(csDestroying)) return;
    SelectNextPage(true);
    TExTabSheet* page = FUndockingPage;
    FUndockingPage = nullptr;
    delete page;
}

void TExPageControl::CMDockNotification(TControl* Client, Cardinal Msg) {
    TExTabSheet* page = GetPageFromDockClient(Client);
    if (!page) return;
    if (Msg == CM_TEXTCHANGED) {
        // The first line of the docked control's text names the tab.
        const String text = Client->Text();
        page->SetCaption(text.substr(0, text.find_first_of(u"\r\n")));
    } else if (Msg == CM_VISIBLECHANGED) {
        page->SetTabVisible(Client->Visible());
    }
}

void TExPageControl::WMLButtonDown(TWMMouse& Message) {
    TCustomTabControl::WMLButtonDown(Message);
    // The strip has plain tabs only: a docked control is dragged off its tab.
    if (TControl* c = GetDockClientFromPoint({Message.XPos(), Message.YPos()})) c->BeginDrag(false);
}

void TExPageControl::WMLButtonDblClk(TWMMouse& Message) {
    TCustomTabControl::WMLButtonDblClk(Message);
    if (TControl* c = GetDockClientFromPoint({Message.XPos(), Message.YPos()})) {
        const TPoint o = c->ClientToScreen({0, 0});
        c->ManualFloat(Bounds(o.X, o.Y, c->Width(), c->Height()));
    }
}
