#pragma once
// The containers of the run-time library: the string list with an object per
// string, the pointer list, the owning object list and a list of integers.
// Indexes count from 0; an index out of range raises EListError
// "List index out of bounds (<index>)".

#include "framework/System.h"

#include <functional>
#include <vector>

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// <0, 0, >0 comparing the items at two indexes of the list.
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

// A list of strings, each with an optional object. Sorted lists keep their
// order on Add and find by binary search; comparison ignores case unless
// CaseSensitive (see AnsiCompareText / AnsiCompareStr).
// OnChanging fires before and OnChange after every change, except between
// BeginUpdate and EndUpdate, whose outermost pair fires them once.
class TStringList : public TPersistent {
public:
    TStringList() = default;
    explicit TStringList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
    ~TStringList() override;
    TStringList(const TStringList& other);
    TStringList& operator=(const TStringList& other);

    int Count() const { return static_cast<int>(items_.size()); }
    const String& Strings(int index) const;
    const String& operator[](int index) const { return Strings(index); }
    // Refused on a sorted list (EListError "Operation not allowed on sorted list").
    void SetStrings(int index, const String& s);
    TObject* Objects(int index) const;
    void SetObjects(int index, TObject* object);

    // The index of the new string. On a sorted list a duplicate is, by
    // Duplicates: not added (the existing index is returned), added, or
    // refused with EListError "String list does not allow duplicates".
    int Add(const String& s);
    int AddObject(const String& s, TObject* object);
    // Takes the string over instead of copying it.
    int AddObject(String&& s, TObject* object);
    void AddStrings(const TStringList& strings);
    // Appends Count items, each filled in place by Fill (its text and object
    // start empty), as one change: a whole row at one copy per text and one
    // allocation. Refused on a sorted list.
    void AddItems(int count, const std::function<void(int index, String& s, TObject*& object)>& fill);
    void Append(const String& s) { Add(s); }
    // Refused on a sorted list.
    void Insert(int index, const String& s);
    void InsertObject(int index, const String& s, TObject* object);
    void Delete(int index);
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    int IndexOf(const String& s) const;
    int IndexOfObject(const TObject* object) const;
    int IndexOfName(const String& name) const;
    // Binary search of a sorted list: true when found; Index is the position
    // of the match, or where S would be inserted.
    bool Find(const String& s, int& index) const;

    // "Name=Value" lines. Names(i) is "" for a line without "=".
    String Names(int index) const;
    String Values(const String& name) const;
    // An empty value deletes the line; a new name adds a line.
    void SetValues(const String& name, const String& value);
    String ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const String& value);
    Char NameValueSeparator() const { return nameValueSeparator_; }
    void SetNameValueSeparator(Char c) { nameValueSeparator_ = c; }

    // Every string followed by CR LF. Setting splits at CR LF, LF or CR; a
    // final line break adds no empty line.
    String Text() const;
    void SetText(const String& text);
    // Delimited with "," and '"', blanks separating too (see SplitDelimitedText).
    String CommaText() const;
    void SetCommaText(const String& text);
    String DelimitedText() const;
    void SetDelimitedText(const String& text);
    Char Delimiter() const { return delimiter_; }
    void SetDelimiter(Char c) { delimiter_ = c; }
    Char QuoteChar() const { return quoteChar_; }
    void SetQuoteChar(Char c) { quoteChar_ = c; }
    bool StrictDelimiter() const { return strictDelimiter_; }
    void SetStrictDelimiter(bool on) { strictDelimiter_ = on; }

    bool Sorted() const { return sorted_; }
    // Turning sorting on sorts the list.
    void SetSorted(bool on);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool CaseSensitive() const { return caseSensitive_; }
    // A sorted list is sorted again by the new rule.
    void SetCaseSensitive(bool on);
    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool on) { ownsObjects_ = on; }

    // The original's quicksort (not stable), so equal strings end in the
    // same order as there.
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);
    // The comparison used by sorting, IndexOf and Find.
    virtual int CompareStrings(const String& a, const String& b) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Copies strings and objects (objects are shared, not copied).
    void Assign(const TPersistent* source) override;
    void Assign(const TStringList& source);
    std::vector<String> ToVector() const;
    bool Equals(const TStringList& other) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    String ClassName() const override { return u"TStringList"; }

private:
    struct Item {
        String s;
        TObject* object = nullptr;
    };
    void CheckIndex(int index) const;
    void CheckNotSorted() const;
    void InsertItem(int index, String&& s, TObject* object);
    void QuickSort(int l, int r, const TStringListSortCompare& compare);
    void FreeObject(TObject* object);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    bool ownsObjects_ = false;
    bool strictDelimiter_ = false;
    TDuplicates duplicates_ = dupIgnore;
    Char delimiter_ = u',';
    Char quoteChar_ = u'"';
    Char nameValueSeparator_ = u'=';
    int updateCount_ = 0;
};

// The framework's controls hold their items as a string list.
using TStrings = TStringList;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
using TListSortCompare = std::function<int(void* item1, void* item2)>;

// A list of untyped pointers.
class TList : public TObject {
public:
    TList() = default;
    ~TList() override;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // Growing adds nil items; shrinking drops items (as deletions).
    void SetCount(int count);
    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // The index the item had, -1 when absent.
    int Remove(void* item);
    // Takes the item out without deleting it; nil when absent.
    void* Extract(void* item);
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    int IndexOf(const void* item) const;
    void Sort(const TListSortCompare& compare);
    // Removes the nil items.
    void Pack();
    const std::vector<void*>& List() const { return items_; }

protected:
    virtual void Notify(void* item, TListNotification action);
    void CheckIndex(int index) const;

private:
    void QuickSort(int l, int r, const TListSortCompare& compare);
    std::vector<void*> items_;
};

// A list of objects that deletes the objects it loses (Delete, Remove,
// Clear, its own end) while OwnsObjects; Extract hands an object back.
class TObjectList : public TList {
public:
    explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
    ~TObjectList() override;

    TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
    void SetItems(int index, TObject* object) { TList::SetItems(index, object); }
    TObject* operator[](int index) const { return Items(index); }
    TObject* First() const { return Items(0); }
    TObject* Last() const { return Items(Count() - 1); }
    int Add(TObject* object) { return TList::Add(object); }
    void Insert(int index, TObject* object) { TList::Insert(index, object); }
    int Remove(TObject* object) { return TList::Remove(object); }
    TObject* Extract(TObject* object) { return static_cast<TObject*>(TList::Extract(object)); }
    int IndexOf(const TObject* object) const { return TList::IndexOf(object); }
    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool on) { ownsObjects_ = on; }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    bool ownsObjects_;
};

// A list of integers with the string list's operations; a sorted list keeps
// its order on Add and treats duplicates by Duplicates.
class TIntegerList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    int Items(int index) const;
    void SetItems(int index, int value);
    int operator[](int index) const { return Items(index); }
    int Add(int value);
    void Insert(int index, int value);
    void Delete(int index);
    int Remove(int value);
    void Clear() { items_.clear(); }
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    int IndexOf(int value) const;
    bool Find(int value, int& index) const;
    void Sort();
    bool Sorted() const { return sorted_; }
    void SetSorted(bool on);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    const std::vector<int>& List() const { return items_; }

private:
    void CheckIndex(int index) const;
    std::vector<int> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = dupIgnore;
};
