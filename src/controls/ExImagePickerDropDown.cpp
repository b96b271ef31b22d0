// The image picker.

#include "controls/ExImagePickerDropDown.h"

#include "framework/Files.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

// ---------------------------------------------------------------------------
// Entries
// ---------------------------------------------------------------------------
void TImageItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TImageItem*>(Source);
    if (!s) {
        TPickerItem::Assign(Source);
        return;
    }
    TPickerItem::Assign(Source);
    Enabled = s->Enabled;
    Hint = s->Hint;
}

TImageItems::TImageItems(TPersistent* AOwner)
    : TPickerItems([](TCollection* c) { return new TImageItem(c); }, AOwner) {}

// ---------------------------------------------------------------------------
// The picker
// ---------------------------------------------------------------------------
namespace {
// "*" and "?" of a file mask; file names match regardless of case, as the
// masks users type expect.
bool MaskMatches(const String& Mask, const String& Name) {
    const String m = AnsiUpperCase(Mask), n = AnsiUpperCase(Name);
    size_t mi = 0, ni = 0, star = String::npos, mark = 0;
    while (ni < n.size()) {
        if (mi < m.size() && (m[mi] == u'?' || m[mi] == n[ni])) {
            ++mi, ++ni;
        } else if (mi < m.size() && m[mi] == u'*') {
            star = mi++;
            mark = ni;
        } else if (star != String::npos) {
            mi = star + 1;
            ni = ++mark;
        } else {
            return false;
        }
    }
    while (mi < m.size() && m[mi] == u'*') ++mi;
    return mi == m.size();
}
}  // namespace

TExImagePickerDropDown::TExImagePickerDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner), FItems(this) {
    FItems.OnChange = [](TObject*) {};
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetCursor(crArrow);
    FKeyTimer = NewSearchTimer(this, FCurSearch);
    CreateDropDownForm();
}

TExImagePickerDropDown::~TExImagePickerDropDown() {
    FKeyTimer->SetEnabled(false);
    if (FItemSelector) {
        FItemSelector->OnItemSelect = nullptr;
        FItemSelector->OnDrawItem = nullptr;
    }
}

void TExImagePickerDropDown::SetItemIndex(int Value) {
    if (Value == FItemIndex || Value >= FItems.Count() || Value < -1) return;
    FItemIndex = Value;
    Invalidate();
    if (OnChange) OnChange(this);
    if (OnSelect) OnSelect(this);
}

int TExImagePickerDropDown::ImageIndex() const {
    return FItemIndex >= 0 ? FItems.GetItem(FItemIndex)->ImageIndex() : -1;
}

void TExImagePickerDropDown::SetImageIndex(int Value) {
    int found = -1;
    for (int i = 0; i < FItems.Count() && found < 0; ++i)
        if (FItems.GetItem(i)->ImageIndex() == Value) found = i;
    SetItemIndex(found);
}

void TExImagePickerDropDown::AddImagesFromImageList() {
    if (!Images()) return;
    for (int i = 0; i < Images()->Count(); ++i) FItems.Add()->SetImageIndex(i);
}

void TExImagePickerDropDown::AddImageFile(const String& FileName, const String& Caption) {
    TImageItem* it = FItems.Add();
    try {
        TPicture p;
        p.LoadFromFile(FileName);
        it->Image().Assign(&p.Bitmap());
        it->SetCaption(Caption);
    } catch (const Exception&) {
        // Not a picture: the entry stays, empty and without a caption.
        it->Image().SetSize(0, 0);
    }
}

void TExImagePickerDropDown::AddImagesFromFolder(const String& AFolder, bool SetImageCaption) {
    const String folder = ExtractFilePath(AFolder);
    const String mask = ExtractFileName(AFolder);
    std::vector<TDirEntry> entries;
    try {
        entries = ListDirectory(folder.empty() ? String(u".") : folder);
    } catch (const Exception&) {
        return;  // an unreadable folder adds nothing
    }
    for (const TDirEntry& e : entries)
        if (MaskMatches(mask, e.Name)) AddImageFile(folder + e.Name, SetImageCaption ? e.Name : String());
}

void TExImagePickerDropDown::SelectFirst() {
    if (FItems.Count() > 0) SetItemIndex(0);
}

void TExImagePickerDropDown::SelectLast() {
    if (FItems.Count() > 0) SetItemIndex(FItems.Count() - 1);
}

void TExImagePickerDropDown::SelectNext() {
    if (FItemIndex < 0) SelectFirst();
    else if (FItemIndex + 1 < FItems.Count()) SetItemIndex(FItemIndex + 1);
}

void TExImagePickerDropDown::SelectPrevious() {
    if (FItemIndex < 0) SelectFirst();
    else if (FItemIndex > 0) SetItemIndex(FItemIndex - 1);
}

void TExImagePickerDropDown::SetComponentStyle(TGPKStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(&FItemAppearance, AStyle);
}

void TExImagePickerDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    TExCustomDropDown::SetSelectionColorStyle(Value);
    if (FItemSelector) FItemSelector->ItemAppearance().SetColorStyle(Value);
}

// ---------------------------------------------------------------------------
// The pop-up
// ---------------------------------------------------------------------------
void TExImagePickerDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    if (!FDropDownForm) return;
    if (!FItemSelector) {
        FItemSelector = NewPickerSelector(this, FDropDownForm, stImage);
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TExImagePickerDropDown::UpdateItemSelector() {
    if (!FItemSelector) return;
    TExCustomItemSelector& s = *FItemSelector;
    LoadPickerSelector(
        s, FColumns, Images(), FLayout, DropDownColor(), FItemAppearance, FItems.Count(),
        [this](int i) { return FItems.GetItem(i); },
        [this](int i, TSelectorItem& It) { It.Hint = FItems.GetItem(i)->Hint; });
    s.SetItemIndex(FItemIndex);
    s.OnItemSelect = [this](TObject*) { SelectorItemSelect(); };
    s.SetShowHint(ShowHint());
}

void TExImagePickerDropDown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    UpdateItemSelector();
    if (FItemSelector) {
        if (OnDrawItem)
            FItemSelector->OnDrawItem = [this](TObject*, TCanvas& Canvas, TRect R, int Index) {
                OnDrawItem(this, Canvas, R, Index);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
    }
    FOldItemIndex = FItemIndex;
}

void TExImagePickerDropDown::UpdateDropDownSize() {
    if (!FItemSelector) {
        TExCustomDropDown::UpdateDropDownSize();
        return;
    }
    FItemSelector->SetAlign(alNone);
    TSize panel;
    FItemSelector->GetPanelSize(panel);
    if (DropDownWidth() < 1) FItemSelector->SetWidth(panel.cx);
    if (DropDownHeight() < 1) FItemSelector->SetHeight(panel.cy);
    TExCustomDropDown::UpdateDropDownSize();
    if (FDropDownForm && FItemSelector->VertRange() > FItemSelector->ClientHeight())
        FDropDownForm->SetWidth(FDropDownForm->Width() + GetSystemMetrics(SM_CXVSCROLL));
}

void TExImagePickerDropDown::DoHideDropDown(bool Cancelled) {
    TExCustomDropDown::DoHideDropDown(Cancelled);
    if (Cancelled && FItemSelector) SetItemIndex(FOldItemIndex);
}

void TExImagePickerDropDown::SelectorItemSelect() {
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FInternalCall) DoHideDropDown(false);
}

void TExImagePickerDropDown::WheelDown() {
    TExCustomDropDown::WheelDown();
    if (!Enabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) FItemSelector->HotNext();
    else Internally([&] { FItemSelector->SelectNext(); });
}

void TExImagePickerDropDown::WheelUp() {
    TExCustomDropDown::WheelUp();
    if (!Enabled() || ReadOnly() || !FItemSelector) return;
    if (DroppedDown()) FItemSelector->HotPrevious();
    else Internally([&] { FItemSelector->SelectPrevious(); });
}

// ---------------------------------------------------------------------------
// The edit area
// ---------------------------------------------------------------------------
void TExImagePickerDropDown::DrawSelectedImage() {
    if (!HandleAllocated()) return;
    TControlCanvas c;
    c.SetControl(this);
    const TRect r = GetEditRect();
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, c, r);
        return;
    }
    if (FItemIndex < 0) return;
    TImageItem* it = FItems.GetItem(FItemIndex);
    if (!it->Image().Empty()) {
        TBitmap& b = it->Image();
        c.Draw(r.Left + (r.Width() - b.Width()) / 2, r.Top + (r.Height() - b.Height()) / 2, b);
    } else if (Images() && it->ImageIndex() >= 0) {
        Images()->Draw(c, r.Left + (r.Width() - Images()->Width()) / 2, r.Top + (r.Height() - Images()->Height()) / 2,
                       it->ImageIndex(), true);
    }
}

void TExImagePickerDropDown::PaintEditArea() {
    TExCustomDropDown::PaintEditArea();
    DrawSelectedImage();
}

void TExImagePickerDropDown::WMPaint(TMessage& Message) {
    TExCustomDropDown::WMPaint(Message);
    DrawSelectedImage();
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------
void TExImagePickerDropDown::WMKeyDown(TWMKey& Message) {
    const Word key = Message.CharCode();
    bool handled = false;
    if (Enabled() && DroppedDown() && key == VK_RETURN && FItemSelector && FItemSelector->ItemHot() >= 0) {
        FItemSelector->SetItemIndex(FItemSelector->ItemHot());
        handled = true;
    }
    const bool open = DroppedDown();
    TExCustomDropDown::WMKeyDown(Message);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    HandlePickerListKey(key, open, EditorEnabled(), handled,
                        PickerListKeys(*this, FItemSelector, FItems.Count(), FColumns, FInternalCall, FCurSearch, FKeyTimer,
                                       [this] { UpdateItemSelector(); }));
}
