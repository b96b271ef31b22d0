#include "framework/Classes.h"

#include "framework/SysUtils.h"

#include <algorithm>

namespace {
[[noreturn]] void RaiseIndex(int index) {
    throw EListError(u"List index out of bounds (" + IntToStr(index) + u")");
}
}  // namespace

// ---------------------------------------------------------------------------
// TStringList
// ---------------------------------------------------------------------------

TStringList::~TStringList() {
    // Events are not fired while the list goes away.
    OnChange = nullptr;
    OnChanging = nullptr;
    if (ownsObjects_)
        for (Item& item : items_) FreeObject(item.object);
}

TStringList::TStringList(const TStringList& other) : TPersistent() {
    sorted_ = other.sorted_;
    caseSensitive_ = other.caseSensitive_;
    strictDelimiter_ = other.strictDelimiter_;
    duplicates_ = other.duplicates_;
    delimiter_ = other.delimiter_;
    quoteChar_ = other.quoteChar_;
    nameValueSeparator_ = other.nameValueSeparator_;
    items_ = other.items_;  // objects shared; the copy does not own them
}

TStringList& TStringList::operator=(const TStringList& other) {
    if (this != &other) Assign(other);
    return *this;
}

void TStringList::FreeObject(TObject* object) { delete object; }

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) RaiseIndex(index);
}

void TStringList::CheckNotSorted() const {
    if (sorted_) throw EListError("Operation not allowed on sorted list");
}

void TStringList::Changed() {
    if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (updateCount_ == 0 && OnChanging) OnChanging(this);
}

void TStringList::BeginUpdate() {
    if (updateCount_ == 0) Changing();
    ++updateCount_;
}

void TStringList::EndUpdate() {
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0) Changed();
}

const String& TStringList::Strings(int index) const {
    CheckIndex(index);
    return items_[index].s;
}

void TStringList::SetStrings(int index, const String& s) {
    CheckNotSorted();
    CheckIndex(index);
    Changing();
    items_[index].s = s;
    Changed();
}

TObject* TStringList::Objects(int index) const {
    CheckIndex(index);
    return items_[index].object;
}

void TStringList::SetObjects(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    items_[index].object = object;
    Changed();
}

int TStringList::CompareStrings(const String& a, const String& b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(const String& s, int& index) const {
    int l = 0, h = Count() - 1;
    bool found = false;
    while (l <= h) {
        int i = (l + h) >> 1;
        int c = CompareStrings(items_[i].s, s);
        if (c < 0) {
            l = i + 1;
        } else {
            h = i - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != dupAccept) l = i;
            }
        }
    }
    index = l;
    return found;
}

int TStringList::Add(const String& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const String& s, TObject* object) { return AddObject(String(s), object); }

int TStringList::AddObject(String&& s, TObject* object) {
    int index;
    if (!sorted_) {
        index = Count();
    } else if (Find(s, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
    }
    InsertItem(index, std::move(s), object);
    return index;
}

void TStringList::AddStrings(const TStringList& strings) {
    BeginUpdate();
    try {
        for (const Item& item : std::vector<Item>(strings.items_)) AddObject(item.s, item.object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStringList::AddItems(int count, const std::function<void(int index, String& s, TObject*& object)>& fill) {
    CheckNotSorted();
    if (count <= 0) return;
    Changing();
    items_.reserve(items_.size() + size_t(count));
    for (int i = 0; i < count; ++i) {
        Item& item = items_.emplace_back();
        fill(i, item.s, item.object);
    }
    Changed();
}

void TStringList::Insert(int index, const String& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const String& s, TObject* object) {
    CheckNotSorted();
    if (index < 0 || index > Count()) RaiseIndex(index);
    InsertItem(index, String(s), object);
}

void TStringList::InsertItem(int index, String&& s, TObject* object) {
    Changing();
    // Inside an update block a list is mostly filled item by item (a grid
    // row's cells): room for several at once spares the first regrowths.
    if (updateCount_ > 0 && items_.size() == items_.capacity())
        items_.reserve(std::max<size_t>(16, items_.size() * 2));
    // Appending, the common case, builds the item in place: the general
    // insert goes through a temporary and costs several times as much.
    if (index == Count()) {
        Item& item = items_.emplace_back();
        item.s = std::move(s);
        item.object = object;
    } else {
        items_.insert(items_.begin() + index, Item{std::move(s), object});
    }
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    TObject* object = items_[index].object;
    items_.erase(items_.begin() + index);
    if (ownsObjects_) FreeObject(object);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(items_);
    if (ownsObjects_)
        for (Item& item : old) FreeObject(item.object);
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[index1], items_[index2]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckNotSorted();
    if (newIndex < 0 || newIndex >= Count()) RaiseIndex(newIndex);
    // Moved without passing through Delete, so an owned object survives.
    Changing();
    Item item = std::move(items_[curIndex]);
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
    Changed();
}

int TStringList::IndexOf(const String& s) const {
    if (sorted_) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(items_[i].s, s) == 0) return i;
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i].object == object) return i;
    return -1;
}

String TStringList::Names(int index) const {
    const String& s = Strings(index);
    size_t p = s.find(nameValueSeparator_);
    return p == String::npos ? String() : s.substr(0, p);
}

int TStringList::IndexOfName(const String& name) const {
    for (int i = 0; i < Count(); ++i) {
        const String& s = items_[i].s;
        size_t p = s.find(nameValueSeparator_);
        if (p != String::npos && CompareStrings(s.substr(0, p), name) == 0) return i;
    }
    return -1;
}

String TStringList::Values(const String& name) const {
    int i = IndexOfName(name);
    return i >= 0 ? Copy(items_[i].s, Length(name) + 2) : String();
}

void TStringList::SetValues(const String& name, const String& value) {
    int i = IndexOfName(name);
    if (!value.empty()) {
        if (i < 0) i = Add(String());
        SetStrings(i, name + nameValueSeparator_ + value);
    } else if (i >= 0) {
        Delete(i);
    }
}

String TStringList::ValueFromIndex(int index) const {
    if (index < 0) return String();
    return Copy(Strings(index), Length(Names(index)) + 2);
}

void TStringList::SetValueFromIndex(int index, const String& value) {
    if (!value.empty()) {
        if (index < 0) index = Add(String());
        SetStrings(index, Names(index) + nameValueSeparator_ + value);
    } else if (index >= 0) {
        Delete(index);
    }
}

String TStringList::Text() const {
    size_t total = 0;
    for (const Item& item : items_) total += item.s.size() + 2;
    String out;
    out.reserve(total);
    for (const Item& item : items_) {
        out += item.s;
        out += u"\r\n";
    }
    return out;
}

void TStringList::SetText(const String& text) {
    BeginUpdate();
    try {
        Clear();
        size_t p = 0, n = text.size();
        while (p < n) {
            size_t start = p;
            while (p < n && text[p] != u'\r' && text[p] != u'\n') ++p;
            Add(text.substr(start, p - start));
            if (p < n && text[p] == u'\r') ++p;
            if (p < n && text[p] == u'\n') ++p;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TStringList::CommaText() const {
    return JoinDelimitedText(ToVector(), u',', u'"', false);
}

void TStringList::SetCommaText(const String& text) {
    BeginUpdate();
    try {
        Clear();
        for (String& s : SplitDelimitedText(text, u',', u'"', false)) Add(s);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TStringList::DelimitedText() const {
    return JoinDelimitedText(ToVector(), delimiter_, quoteChar_, strictDelimiter_);
}

void TStringList::SetDelimitedText(const String& text) {
    BeginUpdate();
    try {
        Clear();
        for (String& s : SplitDelimitedText(text, delimiter_, quoteChar_, strictDelimiter_)) Add(s);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStringList::SetSorted(bool on) {
    if (on == sorted_) return;
    if (on) Sort();
    sorted_ = on;
}

void TStringList::SetCaseSensitive(bool on) {
    if (on == caseSensitive_) return;
    caseSensitive_ = on;
    if (sorted_) {
        sorted_ = false;
        Sort();
        sorted_ = true;
    }
}

void TStringList::QuickSort(int l, int r, const TStringListSortCompare& compare) {
    int i, j, p;
    do {
        i = l;
        j = r;
        p = (l + r) >> 1;
        do {
            while (compare(this, i, p) < 0) ++i;
            while (compare(this, j, p) > 0) --j;
            if (i <= j) {
                if (i != j) std::swap(items_[i], items_[j]);
                if (p == i) p = j;
                else if (p == j) p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j) QuickSort(l, j, compare);
        l = i;
    } while (i < r);
}

void TStringList::Sort() {
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->items_[a].s, list->items_[b].s);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    if (sorted_ || Count() <= 1) return;
    Changing();
    QuickSort(0, Count() - 1, compare);
    Changed();
}

void TStringList::Assign(const TStringList& source) {
    if (&source == this) return;
    BeginUpdate();
    try {
        Clear();
        AddStrings(source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStringList::Assign(const TPersistent* source) {
    if (auto list = dynamic_cast<const TStringList*>(source)) {
        Assign(*list);
        return;
    }
    TPersistent::Assign(source);
}

std::vector<String> TStringList::ToVector() const {
    std::vector<String> out;
    out.reserve(items_.size());
    for (const Item& item : items_) out.push_back(item.s);
    return out;
}

bool TStringList::Equals(const TStringList& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (items_[i].s != other.items_[i].s) return false;
    return true;
}

// ---------------------------------------------------------------------------
// TList, TObjectList
// ---------------------------------------------------------------------------

TList::~TList() {
    // Derived lists empty themselves in their own destructor, where their
    // Notify is still theirs.
}

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) RaiseIndex(index);
}

void TList::Notify(void*, TListNotification) {}

void TList::SetCount(int count) {
    if (count < 0) RaiseIndex(count);
    while (Count() > count) Delete(Count() - 1);
    items_.resize(static_cast<size_t>(count), nullptr);
}

void* TList::Items(int index) const {
    CheckIndex(index);
    return items_[index];
}

void TList::SetItems(int index, void* item) {
    CheckIndex(index);
    void* old = items_[index];
    if (old == item) return;
    items_[index] = item;
    if (old) Notify(old, lnDeleted);
    if (item) Notify(item, lnAdded);
}

int TList::Add(void* item) {
    items_.push_back(item);
    if (item) Notify(item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count()) RaiseIndex(index);
    items_.insert(items_.begin() + index, item);
    if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
    CheckIndex(index);
    void* item = items_[index];
    items_.erase(items_.begin() + index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
    int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* item) {
    int index = IndexOf(item);
    if (index < 0) return nullptr;
    items_.erase(items_.begin() + index);
    Notify(item, lnExtracted);
    return item;
}

void TList::Clear() {
    std::vector<void*> old;
    old.swap(items_);
    for (void* item : old)
        if (item) Notify(item, lnDeleted);
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[index1], items_[index2]);
}

void TList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = items_[curIndex];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, item);
}

int TList::IndexOf(const void* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::QuickSort(int l, int r, const TListSortCompare& compare) {
    int i, j;
    do {
        i = l;
        j = r;
        void* p = items_[(l + r) >> 1];
        do {
            while (compare(items_[i], p) < 0) ++i;
            while (compare(items_[j], p) > 0) --j;
            if (i <= j) {
                if (i != j) std::swap(items_[i], items_[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j) QuickSort(l, j, compare);
        l = i;
    } while (i < r);
}

void TList::Sort(const TListSortCompare& compare) {
    if (Count() > 1) QuickSort(0, Count() - 1, compare);
}

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* item, TListNotification action) {
    if (action == lnDeleted && ownsObjects_) delete static_cast<TObject*>(item);
}

// ---------------------------------------------------------------------------
// TIntegerList
// ---------------------------------------------------------------------------

void TIntegerList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) RaiseIndex(index);
}

int TIntegerList::Items(int index) const {
    CheckIndex(index);
    return items_[index];
}

void TIntegerList::SetItems(int index, int value) {
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    CheckIndex(index);
    items_[index] = value;
}

bool TIntegerList::Find(int value, int& index) const {
    auto it = std::lower_bound(items_.begin(), items_.end(), value);
    index = static_cast<int>(it - items_.begin());
    return it != items_.end() && *it == value;
}

int TIntegerList::Add(int value) {
    if (!sorted_) {
        items_.push_back(value);
        return Count() - 1;
    }
    int index;
    if (Find(value, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EListError("Integer list does not allow duplicates");
    }
    items_.insert(items_.begin() + index, value);
    return index;
}

void TIntegerList::Insert(int index, int value) {
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count()) RaiseIndex(index);
    items_.insert(items_.begin() + index, value);
}

void TIntegerList::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
}

int TIntegerList::Remove(int value) {
    int index = IndexOf(value);
    if (index >= 0) Delete(index);
    return index;
}

void TIntegerList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[index1], items_[index2]);
}

void TIntegerList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    if (sorted_) throw EListError("Operation not allowed on sorted list");
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    int value = items_[curIndex];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, value);
}

int TIntegerList::IndexOf(int value) const {
    if (sorted_) {
        int index;
        return Find(value, index) ? index : -1;
    }
    auto it = std::find(items_.begin(), items_.end(), value);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TIntegerList::Sort() { std::sort(items_.begin(), items_.end()); }

void TIntegerList::SetSorted(bool on) {
    if (on && !sorted_) Sort();
    sorted_ = on;
}
