#include "framework/Menus.h"
#include "framework/ImgList.h"

#include "framework/Controls_p.h"
#include "framework/Dialogs.h"

#include <algorithm>

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    for (TMenuItem* i : FItems) i->FParent = nullptr;
    if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    return FItems[size_t(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FParent = nullptr;
}

void TMenuItem::Delete(int Index) { Remove(Items(Index)); }

void TMenuItem::Clear() {
    // Items belong to their owner; items without one go with the menu.
    while (!FItems.empty()) {
        TMenuItem* i = FItems.back();
        Remove(i);
        if (!i->Owner()) delete i;
    }
}

void TMenuItem::Click() {
    if (!Enabled) return;
    if (RadioItem && FParent) {
        for (TMenuItem* other : FParent->FItems)
            if (other != this && other->RadioItem && other->GroupIndex == GroupIndex) other->Checked = false;
        Checked = true;
    }
    if (OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr)) {}

TPopupMenu::~TPopupMenu() {
    FItems->Clear();
}

void TPopupMenu::SetImages(TImageList* Value) {
    FImages = Value;
    if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup) OnPopup(this);
    TMenuItem* chosen = nullptr;
    if (DialogService()->PopupMenu(this, X, Y, chosen) && chosen) chosen->Click();
}

TMenuItem* NewItem(TComponent* Owner, const String& Caption, TNotifyEvent OnClick) {
    auto* i = new TMenuItem(Owner);
    i->SetCaption(Caption);
    i->OnClick = std::move(OnClick);
    return i;
}

TMenuItem* NewLine(TComponent* Owner) {
    auto* i = new TMenuItem(Owner);
    i->SetCaption(u"-");
    return i;
}
