#include "framework/Components.h"

#include <algorithm>
#include <iterator>
#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Those that asked to hear of our end let go of their pointers to us.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= int(FComponents.size()))
        throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    return FComponents[size_t(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

TComponent* TComponent::FindComponent(const String& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents) {
        const String& n = c->Name();
        if (n.size() == AName.size() &&
            std::equal(n.begin(), n.end(), AName.begin(), [](Char a, Char b) {
                auto up = [](Char x) { return (x >= u'a' && x <= u'z') ? Char(x - 32) : x; };
                return up(a) == up(b);
            }))
            return c;
    }
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        // One that others watch goes with a notification to its siblings.
        if (instance->FComponentState.Contains(csFreeNotification)) RemoveComponent(instance);
        else Remove(instance);
        delete instance;
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::SetName(const String& NewName) { FName = NewName; }

void TComponent::SetDesigning(bool Value) {
    if (Value) FComponentState.Include(csDesigning);
    else FComponentState.Exclude(csDesigning);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

namespace {
void CollectTree(TComponent* c, std::vector<TComponent*>& out) {
    out.push_back(c);
    for (int i = 0; i < c->ComponentCount(); ++i) CollectTree(c->Components(i), out);
}
}  // namespace

void TComponent::BeginLoading() {
    if (FLoadingLevel++ > 0) return;
    std::vector<TComponent*> tree;
    CollectTree(this, tree);
    for (TComponent* c : tree) c->FComponentState.Include(csLoading);
}

void TComponent::EndLoading() {
    if (FLoadingLevel == 0 || --FLoadingLevel > 0) return;
    std::vector<TComponent*> tree;
    CollectTree(this, tree);
    for (TComponent* c : tree) {
        if (!c->FComponentState.Contains(csLoading)) continue;  // loaded already (or not loading)
        c->Loaded();
        // An override that skips the base still ends the loading state.
        c->FComponentState.Exclude(csLoading);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    // The owner chain hears of every insertion and removal below it.
    for (TComponent* c : std::vector<TComponent*>(FComponents))
        if (c != AComponent) c->Notification(AComponent, Operation);
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    // Siblings hear of each other through their owner; the mark makes the
    // owner tell them also when it frees its components.
    if ((!FOwner || AComponent->FOwner != FOwner) &&
        std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FreeNotification(this);
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

String TComponent::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = (status == 0 && demangled) ? demangled : mangled;
    std::free(demangled);
    auto colon = name.rfind("::");
    if (colon != std::string::npos) name = name.substr(colon + 2);
    return Utf8ToString(name);
}

// ---------------------------------------------------------------------------
// TCollectionItem / TCollection
// ---------------------------------------------------------------------------
TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int Value) {
    if (FCollection && Value != Index()) {
        FCollection->MoveItem(this, Value);
        Changed(true);
    }
}

String TCollectionItem::DisplayName() const { return u"TCollectionItem"; }

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TItemFactory Factory, TPersistent* AOwner)
    : FFactory(std::move(Factory)), FOwner(AOwner) {
    if (!FFactory) FFactory = [](TCollection* c) { return new TCollectionItem(c); };
}

TCollection::~TCollection() {
    FUpdateCount = 1;  // no change reports while going away
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(S("List index out of bounds (") + Utf8ToString(std::to_string(Index)) + u")");
    return FItems[size_t(Index)];
}

TCollectionItem* TCollection::Add() {
    BeginUpdate();
    TCollectionItem* item = nullptr;
    try {
        item = FFactory(this);
        if (item->Collection() != this) item->SetCollection(this);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    BeginUpdate();
    TCollectionItem* item = nullptr;
    try {
        item = Add();
        MoveItem(item, Index);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    while (!FItems.empty()) delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* i : FItems)
        if (i->FID == ID) return i;
    return nullptr;
}

int TCollection::IndexOf(const TCollectionItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TCollection::Assign(const TPersistent* Source) {
    auto* src = dynamic_cast<const TCollection*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* i : src->FItems) Add()->Assign(i);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem* Item) {
    if (OnUpdate) OnUpdate(this, Item);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    // Searched from the back: Clear and the destructor free the last item
    // first, which makes emptying a large collection linear.
    auto it = std::find(FItems.rbegin(), FItems.rend(), Item);
    if (it != FItems.rend()) FItems.erase(std::next(it).base());
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex) {
    int old = IndexOf(Item);
    if (old < 0) return;
    NewIndex = std::clamp(NewIndex, 0, Count() - 1);
    FItems.erase(FItems.begin() + old);
    FItems.insert(FItems.begin() + NewIndex, Item);
}
