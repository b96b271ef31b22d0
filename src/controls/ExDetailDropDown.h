#pragma once
// The detail picker: a pick list whose items carry a caption, a picture or
// an image-list image and a second line of notes in markup. The edit shows
// the chosen caption and completes typed text against the captions; the
// pop-up lists the items one per row in the item selector.

#include "controls/ExDropDown.h"
#include "controls/ExItemSelector.h"

#include "framework/Classes.h"
#include "framework/ExtCtrls.h"

class TDetailItem : public TPickerItem {
public:
    using TPickerItem::TPickerItem;
    void Assign(const TPersistent* Source) override;
    String Notes;
    int Tag = 0;
    TObject* ItemObject = nullptr;  // not owned

protected:
    String ClassName() const override { return u"TDetailItem"; }
};

class TDetailItems : public TPickerItems {
public:
    explicit TDetailItems(TPersistent* AOwner);
    TDetailItem* Add() { return static_cast<TDetailItem*>(TCollection::Add()); }
    TDetailItem* Insert(int Index) { return static_cast<TDetailItem*>(TCollection::Insert(Index)); }
    TDetailItem* Items(int Index) const { return ItemsAs<TDetailItem>(Index); }
    void SetItems(int Index, const TDetailItem* Value) { Items(Index)->Assign(Value); }
    // The first item whose caption equals AValue exactly, or -1.
    int IndexOf(const String& AValue) const;
    using TCollection::IndexOf;
};

using TOnDrawSelectedItem = std::function<void(TObject* Sender, TCanvas& Canvas, TRect R)>;

class TExDetailDropDown : public TExCustomDropDown {
public:
    explicit TExDetailDropDown(TComponent* AOwner);
    ~TExDetailDropDown() override;

    TDetailItems& Items() { return FItems; }
    void SetItems(const TDetailItems& Value) { FItems.Assign(&Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    TItemAppearance& ItemAppearance() { return FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& Value) { FItemAppearance.Assign(&Value); }
    TFont& CaptionFont() { return FCaptionFont; }
    TFont& NotesFont() { return FNotesFont; }
    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    bool MatchCase = false;
    TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedImage;

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SetComponentStyle(TGPKStyle AStyle) override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;

    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DoHideDropDown(bool Cancelled) override;

protected:
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void DoShowDropDown() override;
    void UpdateDropDownSize() override;
    void FormSizing() override;
    void WheelDown() override;
    void WheelUp() override;
    void WMKeyDown(TWMKey& Message) override;

private:
    void LoadSelector();
    // Sets the selector's index without closing the pop-up.
    void InternalSelect(int Index);
    template <typename F> void Internally(F f) { WithFlagRaised(FInternalCall, f); }
    template <typename F> void Completing(F f) { WithFlagRaised(FCompleting, f); }
    void SelectorSelect();
    void DrawRow(TCanvas& Canvas, TRect R, int Index);
    void RowSize(TSize& Size);
    bool IsOpen() const { return DroppedDown() && FItemSelector; }

    TDetailItems FItems;
    int FItemIndex = -1;
    int FItemHeight = 22;
    TItemLayout FLayout = ilCaptionRight;
    TItemAppearance FItemAppearance;
    TFont FCaptionFont, FNotesFont;
    TExCustomItemSelector* FItemSelector = nullptr;
    int FOldItemIndex = -1;
    String FCurSearch;
    TTimer* FKeyTimer = nullptr;
    bool FWorkMode = true;
    TPendingCompletion FPending;
    bool FInternalCall = false;
    bool FCompleting = false;
};
