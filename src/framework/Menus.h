#pragma once
// Menu items and popup menus.

#include "framework/Components.h"
#include "framework/Controls.h"

#include <vector>

class TImageList;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    // "-" makes a separator; "&x" marks the accelerator.
    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value) { FCaption = Value; }
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    bool RadioItem = false;
    int GroupIndex = 0;
    String Hint;
    // The item's picture in its menu's Images (-1: none).
    int ImageIndex = -1;
    TNotifyEvent OnClick;

    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return FParent; }
    int IndexOf(const TMenuItem* Item) const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    void Clear();
    bool IsLine() const { return FCaption == u"-"; }
    // Fires OnClick (when enabled); a radio item turns the others of its group off.
    virtual void Click();

private:
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    String FCaption;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    TMenuItem& Items() { return *FItems; }
    // Shows the menu at a screen point and clicks the item chosen, if any;
    // a menu that builds its items as it opens does so here.
    virtual void Popup(int X, int Y);
    bool AutoPopup = true;
    // The pictures of the items (ImageIndex); nil: none.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // The control the menu was opened for (set before Popup by the control).
    TComponent* PopupComponent = nullptr;
    TNotifyEvent OnPopup;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::unique_ptr<TMenuItem> FItems;
    TImageList* FImages = nullptr;
};

// A menu item with a caption and click handler, as menus are built in code.
TMenuItem* NewItem(TComponent* Owner, const String& Caption, TNotifyEvent OnClick);
TMenuItem* NewLine(TComponent* Owner);
