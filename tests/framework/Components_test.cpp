#include "framework/Components.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records its own end and the notifications it hears.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<String>* log, String name) : TComponent(owner), log_(log) { SetName(name); }
    ~Probe() override { log_->push_back(u"free " + Name()); }
    TComponent* watched = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && c == watched) {
            log_->push_back(Name() + u" lost " + c->Name());
            watched = nullptr;
        }
    }

private:
    std::vector<String>* log_;
};

}  // namespace

TEST(Components, OwnerFreesWhatItOwnsLastFirstAndWatchersLetGo) {
    std::vector<String> log;
    auto* root = new Probe(nullptr, &log, u"root");
    auto* a = new Probe(root, &log, u"a");
    new Probe(root, &log, u"b");
    new Probe(a, &log, u"a1");
    auto* outsider = new Probe(nullptr, &log, u"outsider");
    outsider->watched = a;
    a->FreeNotification(outsider);

    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->FindComponent(u"B")->Name(), u"b");
    EXPECT_EQ(a->ComponentIndex(), 0);

    delete root;
    // Owned components go last first (b, then a); the outsider hears of a's
    // end before a's own components go.
    std::vector<String> expected{u"free root", u"free b", u"free a", u"outsider lost a", u"free a1"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(outsider->watched, nullptr);
    delete outsider;
}

TEST(Components, AWatchedSiblingFreedWithItsOwnerIsReportedToItsWatcher) {
    std::vector<String> log;
    auto* root = new Probe(nullptr, &log, u"root");
    auto* watcher = new Probe(root, &log, u"watcher");
    auto* watched = new Probe(root, &log, u"watched");  // freed first: last first
    watcher->watched = watched;
    watched->FreeNotification(watcher);
    delete root;
    std::vector<String> expected{u"free root", u"watcher lost watched", u"free watched", u"free watcher"};
    EXPECT_EQ(log, expected);
}

TEST(Components, FreeingAnOwnedComponentTakesItOutOfItsOwner) {
    std::vector<String> log;
    Probe root(nullptr, &log, u"root");
    auto* a = new Probe(&root, &log, u"a");
    auto* b = new Probe(&root, &log, u"b");
    b->watched = a;  // siblings hear of each other through the owner
    delete a;
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(b->watched, nullptr);
    EXPECT_EQ(b->ClassName(), u"Probe");
}

TEST(Collections, ChangesInsideAnUpdateAreReportedOnceAtTheEnd) {
    TCollection coll(nullptr);
    int updates = 0;
    coll.OnUpdate = [&](TCollection*, TCollectionItem* item) { ++updates; };
    coll.Add();
    EXPECT_EQ(updates, 1);

    updates = 0;
    coll.BeginUpdate();
    coll.Add();
    TCollectionItem* inserted = coll.Insert(0);
    coll.BeginUpdate();
    coll.Delete(2);
    coll.EndUpdate();
    EXPECT_EQ(updates, 0);
    coll.EndUpdate();
    EXPECT_EQ(updates, 1);

    EXPECT_EQ(coll.Count(), 2);
    EXPECT_EQ(coll.Items(0), inserted);
    EXPECT_EQ(inserted->Index(), 0);
    EXPECT_EQ(coll.FindItemID(inserted->ID()), inserted);
    EXPECT_THROW(coll.Items(5), EListError);

    inserted->SetIndex(1);
    EXPECT_EQ(coll.IndexOf(inserted), 1);
    delete inserted;  // an item freed on its own leaves its collection
    EXPECT_EQ(coll.Count(), 1);
}

TEST(Collections, AnItemLeavingFromAnyPlaceKeepsTheOthersInOrder) {
    const struct {
        int removed;
        std::vector<int> left;
    } cases[] = {{0, {1, 2, 3, 4}}, {2, {0, 1, 3, 4}}, {4, {0, 1, 2, 3}}};
    for (const auto& c : cases) {
        TCollection coll(nullptr);
        std::vector<TCollectionItem*> items;
        for (int i = 0; i < 5; ++i) items.push_back(coll.Add());
        items[size_t(c.removed)]->SetCollection(nullptr);
        std::vector<int> left;
        for (int i = 0; i < coll.Count(); ++i) left.push_back(coll.Items(i)->ID());
        EXPECT_EQ(left, c.left) << c.removed;
        EXPECT_EQ(items[size_t(c.removed)]->Collection(), nullptr);
        delete items[size_t(c.removed)];
        EXPECT_EQ(coll.Count(), 4);
    }
}

TEST(Collections, AssignFromAnotherKindRaisesCannotAssign) {
    TCollection coll(nullptr);
    TComponent other(nullptr);
    try {
        coll.Assign(&other);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a TComponent to a TCollection");
    }
}

namespace {
// Counts its Loaded calls and what it saw of csLoading meanwhile.
class LoadCounter : public TComponent {
public:
    LoadCounter(TComponent* owner, std::vector<std::string>* log, std::string name)
        : TComponent(owner), log_(log), name_(std::move(name)) {}
    int loaded = 0;

protected:
    void Loaded() override {
        ++loaded;
        log_->push_back(name_ + (ComponentState().Contains(csLoading) ? " loading" : " not loading"));
        TComponent::Loaded();
    }

private:
    std::vector<std::string>* log_;
    std::string name_;
};
}  // namespace

TEST(Components, LoadingBracketMarksTheTreeAndCallsLoadedOnceEach) {
    std::vector<std::string> log;
    LoadCounter root(nullptr, &log, "root");
    auto* child = new LoadCounter(&root, &log, "child");
    auto* grandchild = new LoadCounter(child, &log, "grandchild");
    root.BeginLoading();
    root.BeginLoading();  // nested: only the outermost end loads
    for (TComponent* c : std::initializer_list<TComponent*>{&root, child, grandchild})
        EXPECT_TRUE(c->ComponentState().Contains(csLoading));
    auto* late = new LoadCounter(&root, &log, "late");  // made while loading: not read, not loaded
    root.EndLoading();
    EXPECT_TRUE(log.empty());
    // The child loads on its own first; the root's end does not load it again.
    child->EndLoading();  // no bracket of its own: nothing
    EXPECT_TRUE(log.empty());
    root.EndLoading();
    const std::vector<std::string> expected{"root loading", "child loading", "grandchild loading"};
    EXPECT_EQ(log, expected);
    for (LoadCounter* c : {&root, child, grandchild}) {
        EXPECT_EQ(c->loaded, 1);
        EXPECT_FALSE(c->ComponentState().Contains(csLoading));
    }
    EXPECT_EQ(late->loaded, 0);
    root.EndLoading();  // unbalanced: nothing
    EXPECT_EQ(root.loaded, 1);
}
