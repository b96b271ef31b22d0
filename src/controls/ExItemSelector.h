#pragma once
// The item selector: a scrolling grid of items (caption, picture, image or
// colour box) in a fixed number of columns, with a hot and a selected item,
// the moves the pickers map their keys onto and a type-ahead lookup. The
// outer control scrolls the inner panel, which lays out, paints and
// hit-tests the items.

#include "controls/ExDropDown.h"

#include "framework/Components.h"
#include "framework/ExtCtrls.h"

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

// The type-to-find text of a picker: a timer that empties Search 500 ms
// after the key that started it (enabling a running timer does not restart it).
TTimer* NewSearchTimer(TComponent* Owner, String& Search);

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
