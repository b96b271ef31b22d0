#pragma once
// The item selector: a scrolling grid of items (caption, picture, image or
// colour box) in a fixed number of columns, with a hot and a selected item,
// the moves the pickers map their keys onto and a type-ahead lookup. The
// outer control scrolls the inner panel, which lays out, paints and
// hit-tests the items.

#include "controls/ExDropDown.h"

#include "framework/Components.h"
#include "framework/ExtCtrls.h"
#include "framework/Windows.h"

enum TSelectorType { stImage, stColor };

class TSelectorItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* Source) override;
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TBitmap& Image() { return FImage; }
    bool Enabled() const { return FEnabled; }
    String Hint;
    TRect ItemRect;  // set by the layout

protected:
    String ClassName() const override { return u"TSelectorItem"; }

private:
    void Changed();
    String FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    TColor FColor = clNone;
    TBitmap FImage;
};

class TSelectorItems : public TCollection {
public:
    explicit TSelectorItems(TPersistent* AOwner);
    TSelectorItem* Add() { return static_cast<TSelectorItem*>(TCollection::Add()); }
    TSelectorItem* Insert(int Index) { return static_cast<TSelectorItem*>(TCollection::Insert(Index)); }
    TSelectorItem* Items(int Index) const { return ItemsAs<TSelectorItem>(Index); }
    TNotifyEvent OnChange;
};

// An entry of a picker list: a caption, an image-list index and an own
// picture; a new caption or index tells the collection's OnChange, a new
// picture does not.
class TPickerItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* Source) override;
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TBitmap& Image() { return FImage; }
    void SetImage(const TBitmap& Value) { FImage.Assign(&Value); }

protected:
    // Tells the owning collection's OnChange.
    void Changed();

private:
    String FCaption;
    int FImageIndex = -1;
    TBitmap FImage;
};

class TPickerItems : public TCollection {
public:
    using TCollection::TCollection;
    TNotifyEvent OnChange;
};

// Moves Mark (the hot or the selected item) to Index; the item it leaves is
// repainted through Repaint while no longer marked.
template <typename F> void MoveItemMark(int& Mark, int Index, F Repaint) {
    if (Mark >= 0 && Mark != Index) {
        const int old = Mark;
        Mark = -1;
        Repaint(old);
    }
    Mark = Index;
}

// Runs F with Flag raised and puts Flag back afterwards, also when F throws.
template <typename F> void WithFlagRaised(bool& Flag, F f) {
    const bool keep = Flag;
    Flag = true;
    try {
        f();
    } catch (...) {
        Flag = keep;
        throw;
    }
    Flag = keep;
}

// Type-ahead of a pick edit: completes the text typed up to the caret with
// the first of Count candidates that begins with it (upper-cased unless
// MatchCase), keeping the typed characters as typed and selecting the
// completion; without a match the text is cut at the caret. Completing is
// raised while the edit's text is rewritten. Answers the candidate's index
// (-1: none) and, in Typed, the length of the typed part.
int CompleteTypedText(TExCustomDropDown& Edit, int Count, const std::function<String(int)>& Candidate,
                      bool MatchCase, bool& Completing, int& Typed);

// A completion made by the edit's change handling and taken as the item
// when the key goes up.
struct TPendingCompletion {
    bool Pending = false;
    int Index = -1, Typed = 0;
    // After the edit's own change handling: unless designing, WorkMode off
    // or Completing, marks the edit modified when it has text and completes
    // it (CompleteTypedText). Answers the completed candidate or -1.
    int Complete(TExCustomDropDown& Edit, bool WorkMode, bool& Completing, int Count,
                 const std::function<String(int)>& Candidate, bool MatchCase);
    // At key-up: the pending item through SetItemIndex, its tail selected again.
    void Apply(TExCustomDropDown& Edit, const std::function<void(int)>& SetItemIndex);
};

// The key-down part of a lookup edit's typing, before the edit's own:
// Backspace, Esc and Delete switch the completion (WorkMode) off, other
// keys but Enter switch it on; Enter on a text that Find names (-1: none)
// takes that entry through Take.
void TypeAheadKeyDown(Word Key, bool& WorkMode, const std::function<int()>& Find,
                      const std::function<void(int)>& Take);
// The entry of List equal to Text regardless of case, or -1.
int IndexOfAnyCase(const TStringList& List, const String& Text);
// Backspace in a character lookup: without a selection the entry loses its
// last character and becomes the text, else the selection is cut from the
// text; the caret goes to the end.
void EraseLookupEntry(TExCustomDropDown& Edit, String& Entry, bool& Completing);

// The type-to-find text of a picker: a timer that empties Search 500 ms
// after the key that started it (enabling a running timer does not restart it).
TTimer* NewSearchTimer(TComponent* Owner, String& Search);

class TExCustomItemSelector;

// The keys of a picker that lists its entries in an item selector: what
// the picker hands them.
struct TPickerListKeys {
    TExCustomItemSelector* Selector = nullptr;  // may be nil
    int Entries = 0;                             // the picker's own entries
    int Columns = 1;
    bool* InternalCall = nullptr;  // raised while the keys move the selector
    String* Search = nullptr;      // the type-to-find text
    TTimer* Timer = nullptr;       // empties Search
    std::function<void()> Reload;  // refills the selector from the entries
    // Home, End, Up and Down with the pop-up closed: the picker's own first,
    // last, previous and next entry.
    std::function<void(Word Key)> StepClosed;
    std::function<void()> Select;  // the picker's OnSelect
};
// Runs after the edit's own key handling: Enter (unless EnterHandled took
// the hot entry) tells Select; the pages, ends and arrows move the selector
// while Open (by rows of Columns), the picker's entry while closed; other
// keys (without Ctrl) extend the search text and look it up.
void HandlePickerListKey(Word Key, bool Open, bool EditorEnabled, bool EnterHandled, const TPickerListKeys& K);
// A closed picker's Home, End, Up and Down: its first, last, previous and next entry.
template <class TPicker> void StepPickerClosed(TPicker& Picker, Word Key) {
    switch (Key) {
    case VK_HOME: Picker.SelectFirst(); break;
    case VK_END: Picker.SelectLast(); break;
    case VK_UP: Picker.SelectPrevious(); break;
    case VK_DOWN: Picker.SelectNext(); break;
    default: break;
    }
}
// The keys of a picker that lists Entries in Selector by rows of Columns:
// closed, they step the picker itself; Enter tells its OnSelect.
template <class TPicker>
TPickerListKeys PickerListKeys(TPicker& Picker, TExCustomItemSelector* Selector, int Entries, int Columns,
                               bool& InternalCall, String& Search, TTimer* Timer, std::function<void()> Reload) {
    TPickerListKeys k;
    k.Selector = Selector;
    k.Entries = Entries;
    k.Columns = Columns;
    k.InternalCall = &InternalCall;
    k.Search = &Search;
    k.Timer = Timer;
    k.Reload = std::move(Reload);
    k.StepClosed = [&Picker](Word Key) { StepPickerClosed(Picker, Key); };
    k.Select = [&Picker] {
        if (Picker.OnSelect) Picker.OnSelect(&Picker);
    };
    return k;
}
// A picker's item selector on its pop-up Form: Type of items, at the top, 150 high.
TExCustomItemSelector* NewPickerSelector(TComponent* Owner, TWinControl* Form, TSelectorType Type);

// The colours of hot and selected items in four styles.
class TItemAppearance : public TPersistent {
public:
    TItemAppearance();
    void Assign(const TPersistent* Source) override;
    void SetColorStyle(TSelectionColorStyle Style);
    TSelectionColorStyle ColorStyle() const { return FStyle; }
    TColor BorderColor = clNone, BorderColorTop = clNone, BorderColorBottom = clNone, EdgeColor = clNone;
    TColor ColorHot = clNone, ColorHotTo = clNone, ColorMirrorHot = clNone, ColorMirrorHotTo = clNone;
    TColor ColorSelected = clNone, ColorSelectedTo = clNone, ColorMirrorSelected = clNone,
           ColorMirrorSelectedTo = clNone;
    TColor ColorHotText = 0, ColorSelectedText = 0, BorderColorHot = clNone, BorderColorSelected = clNone;
    TFont Font;
    TNotifyEvent OnChange;

protected:
    String ClassName() const override { return u"TItemAppearance"; }

private:
    TSelectionColorStyle FStyle = scCustom;
};

using TSelectorDrawItemEvent = std::function<void(TObject* Sender, TCanvas& Canvas, TRect R, int Index)>;
using TItemSizeEvent = std::function<void(TObject* Sender, TSize& ASize)>;

class TExCustomItemSelector;

// The panel inside the selector: lays out, paints and hit-tests the items.
class TCustomItemSelector : public TCustomControl {
public:
    // Raises "Invalid parent" unless the owner is an item selector.
    explicit TCustomItemSelector(TComponent* AOwner);
    TExCustomItemSelector* ExItemSelector() const { return FExItemSelector; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int Index);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const String& S);
    int ItemAtPos(int X, int Y) const;
    void GetItemRect(int Index, TRect& R) const;
    TNotifyEvent OnItemSelect;

    virtual void DrawItem(int Index, TCanvas& Canvas);
    virtual void GetItemsRect(TRect& R) const;
    virtual void GetItemSize(TSize& Size);
    virtual void InvalidateItem(int Index);
    virtual void ArrangeItems();

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    TSelectorItems& Items() const;
    bool Valid(int Index) const;
    bool Disabled(int Index) const;
    TExCustomItemSelector* FExItemSelector;
    int FItemIndex = -1, FItemHot = -1;
    int FOffSetX = 2, FOffSetY = 2, FItemOffSetX = 4, FItemOffSetY = 4, FCaptionGap = 4;
};

class TExCustomItemSelector : public TScrollBox {
public:
    explicit TExCustomItemSelector(TComponent* AOwner);
    ~TExCustomItemSelector() override;

    TSelectorItems& Items() { return FItems; }
    TSelectorType SelectorType() const { return FSelectorType; }
    void SetSelectorType(TSelectorType Value);
    TItemLayout ItemLayout() const { return FItemLayout; }
    void SetItemLayout(TItemLayout Value) { FItemLayout = Value; }
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int Value);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TItemAppearance& ItemAppearance() { return FItemAppearance; }
    int ItemIndex() const;
    void SetItemIndex(int Value);
    int ItemHot() const;
    TCustomItemSelector* Panel() const { return FPanel; }

    void UpdateSelectorPanel();
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const String& S);
    int GetVisibleItemCount();
    void ScrollItemInView(int Index);
    void GetPanelSize(TSize& Size) const;

    TNotifyEvent OnItemSelect;
    TSelectorDrawItemEvent OnDrawItem;
    TItemSizeEvent OnItemSize;

protected:
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TSelectorItems FItems;
    TSelectorType FSelectorType = stImage;
    TItemLayout FItemLayout = ilCaptionRight;
    int FColumns = 1;
    int FColorBoxWidth = 14, FColorBoxHeight = 14;
    TImageList* FImages = nullptr;
    TItemAppearance FItemAppearance;
    TCustomItemSelector* FPanel = nullptr;
};

// Refills a picker's selector S, its OnItemSelect unbound: the picker's look
// and one item per entry, with the entry's caption and pictures; Extra (may
// be nil) copies what an entry carries beyond them.
void LoadPickerSelector(TExCustomItemSelector& S, int Columns, TImageList* Images, TItemLayout Layout, TColor Color,
                        const TItemAppearance& Appearance, int Count, const std::function<TPickerItem*(int)>& Entry,
                        const std::function<void(int, TSelectorItem&)>& Extra);
