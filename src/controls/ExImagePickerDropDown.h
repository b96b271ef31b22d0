#pragma once
// The image picker: a drop-down whose value is one entry of an image list.
// The edit area shows the chosen picture (typing is off); the pop-up holds
// an item selector with one item per entry in a number of columns.

#include "controls/ExDropDown.h"
#include "controls/ExItemSelector.h"

#include "framework/ExtCtrls.h"

class TImageItem : public TPickerItem {
public:
    using TPickerItem::TPickerItem;
    void Assign(const TPersistent* Source) override;
    bool Enabled = true;
    TRect Rect{};  // not used by the picker
    String Hint;

protected:
    String ClassName() const override { return u"TImageItem"; }
};

class TImageItems : public TPickerItems {
public:
    explicit TImageItems(TPersistent* AOwner);
    TImageItem* Add() { return static_cast<TImageItem*>(TCollection::Add()); }
    TImageItem* Insert(int Index) { return static_cast<TImageItem*>(TCollection::Insert(Index)); }
    TImageItem* GetItem(int Index) const { return ItemsAs<TImageItem>(Index); }
};

using TDrawSelectedImageEvent = std::function<void(TObject* Sender, TCanvas& Canvas, TRect R)>;
using TImagePickerDrawItemEvent = std::function<void(TObject* Sender, TCanvas& Canvas, TRect R, int Index)>;

class TExImagePickerDropDown : public TExCustomDropDown {
public:
    explicit TExImagePickerDropDown(TComponent* AOwner);
    ~TExImagePickerDropDown() override;

    TImageItems& Items() { return FItems; }
    void SetItems(const TImageItems& Value) { FItems.Assign(&Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The chosen entry's image index; writing picks the first entry with it.
    int ImageIndex() const;
    void SetImageIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value) { FColumns = Value; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout Value) { FLayout = Value; }
    TItemAppearance& ItemAppearance() { return FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& Value) { FItemAppearance.Assign(&Value); }
    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    TNotifyEvent OnSelect;
    TDrawSelectedImageEvent OnDrawSelectedImage;
    TImagePickerDrawItemEvent OnDrawItem;

    void AddImagesFromImageList();
    // AFolder: a folder and a file mask ("/pictures/*.png"); SetImageCaption
    // names each entry after its file.
    void AddImagesFromFolder(const String& AFolder, bool SetImageCaption);
    void AddImageFile(const String& FileName, const String& Caption);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void SetComponentStyle(TGPKStyle AStyle) override;
    void SetSelectionColorStyle(TSelectionColorStyle Value) override;
    void DoHideDropDown(bool Cancelled) override;

protected:
    void CreateDropDownForm() override;
    void DoBeforeDropDown() override;
    void UpdateDropDownSize() override;
    void WheelDown() override;
    void WheelUp() override;
    void PaintEditArea() override;
    void WMPaint(TMessage& Message) override;
    void WMKeyDown(TWMKey& Message) override;

private:
    void UpdateItemSelector();
    void SelectorItemSelect();
    void DrawSelectedImage();
    template <typename F> void Internally(F f) { WithFlagRaised(FInternalCall, f); }

    TImageItems FItems;
    int FItemIndex = -1;
    int FColumns = 1;
    TItemLayout FLayout = ilCaptionRight;
    TItemAppearance FItemAppearance;
    TExCustomItemSelector* FItemSelector = nullptr;
    bool FInternalCall = false;
    TTimer* FKeyTimer = nullptr;
    String FCurSearch;
    int FOldItemIndex = -1;
};
