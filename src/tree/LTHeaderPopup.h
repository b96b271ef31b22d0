#pragma once
// A popup menu that lists a tree's columns with check marks, so that the
// user can show and hide them, optionally after an item that fits all
// column widths. It is built anew each time it pops up, from the tree that
// is its popup component.

#include "tree/LazyTrees.h"

#include "framework/Menus.h"

enum TLTHeaderPopupOption {
    poOriginalOrder,    // columns by index instead of by position
    poAllowHideAll,     // the last visible column may be hidden too
    poResizeToFitItem   // the fit-all item first
};
using TLTHeaderPopupOptions = TSet<TLTHeaderPopupOption>;

enum TAddPopupItemType { apNormal, apDisabled, apHidden };

using TAddHeaderPopupItemEvent =
    std::function<void(const TBaseLazyTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd)>;
using TColumnChangeEvent = TBaseLazyTree::TColumnChangeEvent;

class TLTHeaderPopupMenu : public TPopupMenu {
public:
    explicit TLTHeaderPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
    TLTHeaderPopupOptions Options;
    TAddHeaderPopupItemEvent OnAddHeaderPopupItem;
    TColumnChangeEvent OnColumnChange;
    // Builds the items when the popup component is a tree, then shows the menu.
    void Popup(int X, int Y) override;

protected:
    virtual void DoAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd);
    virtual void DoColumnChange(TColumnIndex Column, bool Visible);

private:
    void OnMenuItemClick(TObject* Sender);
    TBaseLazyTree* Tree() const { return dynamic_cast<TBaseLazyTree*>(PopupComponent); }
};
