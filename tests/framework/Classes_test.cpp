#include "framework/Classes.h"

#include <gtest/gtest.h>

namespace {
std::vector<String> Items(const TStringList& list) { return list.ToVector(); }

// Counts its destructions, to see who frees owned objects.
struct Tracked : TObject {
    explicit Tracked(int* deaths) : deaths_(deaths) {}
    ~Tracked() override { ++*deaths_; }
    int* deaths_;
};
}  // namespace

TEST(StringList, SortedListKeepsOrderAndTreatsDuplicatesByTheSetting) {
    TStringList list;
    list.SetSorted(true);
    for (const char16_t* s : {u"pear", u"Apple", u"banana", u"apple"}) list.Add(s);
    // Case-insensitive by default: "apple" is a duplicate of "Apple" and ignored.
    EXPECT_EQ(Items(list), (std::vector<String>{u"Apple", u"banana", u"pear"}));
    EXPECT_EQ(list.Add(u"PEAR"), 2);
    EXPECT_EQ(list.IndexOf(u"BANANA"), 1);
    EXPECT_EQ(list.IndexOf(u"cherry"), -1);
    int at = -1;
    EXPECT_FALSE(list.Find(u"cherry", at));
    EXPECT_EQ(at, 2);

    list.SetDuplicates(dupAccept);
    EXPECT_EQ(list.Add(u"apple"), 0);
    EXPECT_EQ(list.Count(), 4);

    list.SetDuplicates(dupError);
    try {
        list.Add(u"Banana");
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), u"String list does not allow duplicates");
    }
    EXPECT_THROW(list.Insert(0, u"x"), EListError);
    EXPECT_THROW(list.SetStrings(0, u"x"), EListError);

    TStringList cs;
    cs.SetCaseSensitive(true);
    cs.SetSorted(true);
    for (const char16_t* s : {u"b", u"B", u"a", u"A"}) cs.Add(s);
    EXPECT_EQ(Items(cs), (std::vector<String>{u"a", u"A", u"b", u"B"}));
}

TEST(StringList, SortFollowsTheOriginalQuicksortAndCustomCompare) {
    TStringList list;
    list.SetCommaText(u"delta,Alpha,charlie,bravo,alpha");
    list.Sort();
    EXPECT_EQ(list.CommaText(), u"Alpha,alpha,bravo,charlie,delta");
    list.CustomSort([](TStringList* l, int a, int b) {
        return static_cast<int>(l->Strings(b).size()) - static_cast<int>(l->Strings(a).size());
    });
    EXPECT_EQ(list.Strings(0).size(), 7u);  // longest first
    EXPECT_EQ(list.Strings(4).size(), 5u);
}

TEST(StringList, IndexOutOfRangeNamesTheIndex) {
    TStringList list;
    list.Add(u"a");
    try {
        list.Strings(1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (1)");
    }
    EXPECT_THROW(list.Objects(-1), EListError);
    EXPECT_THROW(list.Delete(5), EListError);
    EXPECT_THROW(list.Insert(2, u"x"), EListError);
    list.Insert(1, u"b");  // at the end is allowed
    EXPECT_EQ(list.Text(), u"a\r\nb\r\n");
}

TEST(StringList, TextSplitsAtEveryLineEnd) {
    struct Case { const char16_t* text; std::vector<String> lines; } cases[] = {
        {u"", {}},
        {u"a", {u"a"}},
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\r\nb\r\n", {u"a", u"b"}},
        {u"a\nb\rc\r\n\r\nd", {u"a", u"b", u"c", u"", u"d"}},
        {u"\r\n", {u""}},
        {u"a\n\rb", {u"a", u"", u"b"}},
    };
    TStringList list;
    for (const auto& c : cases) {
        list.SetText(c.text);
        EXPECT_EQ(Items(list), c.lines) << StringToUtf8(c.text);
    }
    list.SetText(u"x\ny");
    EXPECT_EQ(list.Text(), u"x\r\ny\r\n");
}

TEST(StringList, CommaAndDelimitedTextRoundTrip) {
    TStringList list;
    list.Add(u"plain");
    list.Add(u"with space");
    list.Add(u"quote\"d");
    list.Add(u"");
    list.Add(u"a,b");
    EXPECT_EQ(list.CommaText(), u"plain,\"with space\",\"quote\"\"d\",,\"a,b\"");
    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(back), Items(list));

    TStringList d;
    d.SetDelimiter(u';');
    d.SetStrictDelimiter(true);
    d.SetDelimitedText(u"a b;c;");
    EXPECT_EQ(Items(d), (std::vector<String>{u"a b", u"c", u""}));
    EXPECT_EQ(d.DelimitedText(), u"a b;c;");
    d.SetStrictDelimiter(false);
    d.SetDelimitedText(u"a b;c");
    EXPECT_EQ(Items(d), (std::vector<String>{u"a", u"b", u"c"}));
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.SetText(u"Port=502\nHost=10.0.0.1\nflag\n=empty");
    EXPECT_EQ(list.Names(0), u"Port");
    EXPECT_EQ(list.Names(2), u"");
    EXPECT_EQ(list.Values(u"host"), u"10.0.0.1");
    EXPECT_EQ(list.Values(u"missing"), u"");
    EXPECT_EQ(list.IndexOfName(u"PORT"), 0);
    EXPECT_EQ(list.ValueFromIndex(1), u"10.0.0.1");
    list.SetValues(u"Port", u"503");
    list.SetValues(u"Baud", u"9600");
    EXPECT_EQ(list.Strings(0), u"Port=503");
    EXPECT_EQ(list.Strings(4), u"Baud=9600");
    list.SetValues(u"Host", u"");
    EXPECT_EQ(list.IndexOfName(u"Host"), -1);
    EXPECT_EQ(list.Count(), 4);
}

TEST(StringList, NotifiesChangesOncePerUpdateBlock) {
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changing;
    };
    list.OnChange = [&](TObject*) { ++changed; };
    list.Add(u"a");
    list.Add(u"b");
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    list.BeginUpdate();
    list.Add(u"c");
    list.Delete(0);
    list.Exchange(0, 1);
    EXPECT_EQ(changed, 2);
    list.EndUpdate();
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
    list.SetText(u"x\ny\nz");  // one change for the whole text
    EXPECT_EQ(changed, 4);
    list.Move(0, 2);
    EXPECT_EQ(Items(list), (std::vector<String>{u"y", u"z", u"x"}));
    // Items added in one go are one change too, and none when there are none.
    TObject marker;
    list.AddItems(2, [&](int i, String& s, TObject*& object) {
        EXPECT_TRUE(s.empty() && object == nullptr);
        s = i == 0 ? u"p" : u"a text longer than a short string's room";
        if (i == 1) object = &marker;
    });
    list.AddItems(0, [](int, String&, TObject*&) { FAIL(); });
    EXPECT_EQ(changing, 6);
    EXPECT_EQ(changed, 6);
    EXPECT_EQ(Items(list), (std::vector<String>{u"y", u"z", u"x", u"p", u"a text longer than a short string's room"}));
    EXPECT_EQ(list.Objects(3), nullptr);
    EXPECT_EQ(list.Objects(4), &marker);
    list.SetSorted(true);
    EXPECT_THROW(list.AddItems(1, [](int, String&, TObject*&) {}), EListError);
    EXPECT_EQ(list.Count(), 5);
}

TEST(StringList, OwnedObjectsAreFreedWhenTheListLetsGo) {
    int deaths = 0;
    {
        TStringList list(true);
        list.AddObject(u"a", new Tracked(&deaths));
        list.AddObject(u"b", new Tracked(&deaths));
        list.AddObject(u"c", new Tracked(&deaths));
        list.Move(0, 2);  // moving keeps the object
        EXPECT_EQ(deaths, 0);
        list.Delete(0);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(list.IndexOfObject(list.Objects(1)), 1);
    }
    EXPECT_EQ(deaths, 3);

    TStringList plain;
    Tracked kept(&deaths);
    plain.AddObject(u"k", &kept);
    plain.Clear();
    EXPECT_EQ(deaths, 3);
}

TEST(Lists, PointerObjectAndIntegerLists) {
    int a = 1, b = 2, c = 3;
    TList list;
    list.Add(&c);
    list.Add(&a);
    list.Insert(1, &b);
    list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
    EXPECT_EQ(list.Items(0), &a);
    EXPECT_EQ(list.Last(), &c);
    EXPECT_EQ(list.Remove(&b), 1);
    EXPECT_EQ(list.Remove(&b), -1);
    EXPECT_EQ(list.Extract(&a), &a);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_THROW(list.Items(1), EListError);

    int deaths = 0;
    {
        TObjectList objects;
        auto* kept = new Tracked(&deaths);
        objects.Add(new Tracked(&deaths));
        objects.Add(kept);
        objects.Add(new Tracked(&deaths));
        objects.Delete(0);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(objects.Extract(kept), kept);
        EXPECT_EQ(deaths, 1);
        delete kept;
    }
    EXPECT_EQ(deaths, 3);

    TIntegerList ints;
    ints.SetSorted(true);
    for (int v : {5, 1, 3, 1}) ints.Add(v);
    EXPECT_EQ(ints.List(), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(ints.IndexOf(5), 2);
    ints.SetDuplicates(dupError);
    EXPECT_THROW(ints.Add(3), EListError);
    ints.SetSorted(false);
    ints.Move(0, 2);
    EXPECT_EQ(ints.List(), (std::vector<int>{3, 5, 1}));
}
