#pragma once
// The component model: a component may own others and frees them with
// itself; components that refer to one another hear of each other's end
// through Notification. Collections hold owned items of one kind with a
// change notification that can be held back during a batch of changes.

#include "framework/Sets.h"
#include "framework/System.h"

#include <cstdint>
#include <functional>
#include <vector>

enum TComponentStateValue {
    csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
    csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateValue>;

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* Components(int Index) const;
    // Position in the owner's list, -1 without owner.
    int ComponentIndex() const;
    TComponent* FindComponent(const String& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, the last first.
    void DestroyComponents();

    const String& Name() const { return FName; }
    virtual void SetName(const String& NewName);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }
    // Marks the component as going away (sets csDestroying in it and in all
    // it owns); the destructor does this too.
    void Destroying();

    // AComponent will tell this one of its end through Notification even
    // when this one does not own it.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    String ClassName() const override;

    // The loading bracket, as reading the component from a form stream
    // sets it: BeginLoading puts csLoading on this component and every
    // component it owns (at any depth); the outermost EndLoading calls
    // Loaded once for each of them still loading, this one first, then the
    // owned ones in order, and csLoading is gone afterwards.
    void BeginLoading();
    void EndLoading();

protected:
    // Told when AComponent is inserted into or removed from the owned list
    // of this component's owner chain, or is freed while it holds a free
    // notification to this one.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void SetComponentState(TComponentState State) { FComponentState = State; }
    void SetDesigning(bool Value);
    virtual void Loaded();

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    String FName;
    std::intptr_t FTag = 0;
    TComponentState FComponentState;
    int FLoadingLevel = 0;
};

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    virtual void SetIndex(int Value);
    virtual String DisplayName() const;

protected:
    // Tells the collection that this item changed (AllItems: the whole
    // collection is to be refreshed).
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
public:
    using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(TItemFactory Factory, TPersistent* AOwner = nullptr);
    ~TCollection() override;

    int Count() const { return int(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    template <class T> T* ItemsAs(int Index) const { return static_cast<T*>(Items(Index)); }
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;
    int IndexOf(const TCollectionItem* Item) const;
    // Copies the count and each item's settings from another collection.
    void Assign(const TPersistent* Source) override;

    // Changes between BeginUpdate and the outermost EndUpdate are reported
    // once, as a change of all items, at that EndUpdate.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    TPersistent* Owner() const { return FOwner; }
    // Told with nil on a change of the whole collection, with the item when
    // one item changed.
    std::function<void(TCollection* Sender, TCollectionItem* Item)> OnUpdate;

    String ClassName() const override { return u"TCollection"; }

protected:
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);

    TItemFactory FFactory;
    TPersistent* FOwner;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};
