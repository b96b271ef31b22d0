#include "tree/LTHeaderPopup.h"

namespace {
const char16_t* const ResizeToFitName = u"LT_ResizeToFitMenuItem";
}

void TLTHeaderPopupMenu::DoAddHeaderPopupItem(TColumnIndex Column, TAddPopupItemType& Cmd) {
    Cmd = apNormal;
    if (OnAddHeaderPopupItem) OnAddHeaderPopupItem(Tree(), Column, Cmd);
}

void TLTHeaderPopupMenu::DoColumnChange(TColumnIndex Column, bool Visible) {
    if (OnColumnChange) OnColumnChange(Tree(), Column, Visible);
}

void TLTHeaderPopupMenu::OnMenuItemClick(TObject* Sender) {
    TBaseLazyTree* T = Tree();
    auto* Item = dynamic_cast<TMenuItem*>(Sender);
    if (!T || !Item) return;
    TLTHeader& H = T->Header();
    if (Item->Name() == ResizeToFitName) {
        H.AutoFitColumns(true, smaUseColumnOption, -1, -1);
        return;
    }
    const auto Column = TColumnIndex(Item->Tag());
    if (!H.Columns().IsValidColumn(Column)) return;
    TLazyTreeColumn* C = H.Columns()[Column];
    TLTColumnOptions Options = C->Options();
    if (Item->Checked) Options.Exclude(coVisible);
    else Options.Include(coVisible);
    C->SetOptions(Options);
    DoColumnChange(Column, Options.Contains(coVisible));
}

void TLTHeaderPopupMenu::Popup(int X, int Y) {
    if (TBaseLazyTree* T = Tree()) {
        while (Items().Count() > 0) delete Items().Items(Items().Count() - 1);
        const auto Click = [this](TObject* Sender) { OnMenuItemClick(Sender); };
        if (Options.Contains(poResizeToFitItem)) {
            TMenuItem* Fit = NewItem(nullptr, S("&Resize All Columns To Fit"), Click);
            Fit->SetName(ResizeToFitName);
            Items().Add(Fit);
            Items().Add(NewLine(nullptr));
        }
        const TLazyTreeColumns& Columns = T->Header().Columns();
        int VisibleCount = 0;
        TMenuItem* LastVisible = nullptr;
        for (int I = 0; I < Columns.Count(); ++I) {
            const TColumnIndex Column = Options.Contains(poOriginalOrder) ? I : Columns.ColumnFromPosition(I);
            if (!Columns.IsValidColumn(Column)) continue;
            const TLazyTreeColumn* C = Columns[Column];
            const bool Visible = C->Options().Contains(coVisible);
            if (Visible) ++VisibleCount;
            TAddPopupItemType Cmd = apNormal;
            DoAddHeaderPopupItem(Column, Cmd);
            if (Cmd == apHidden) continue;
            TMenuItem* Item = NewItem(nullptr, C->GetText(), Click);
            Item->SetTag(Column);
            Item->Hint = C->Hint();
            Item->ImageIndex = C->ImageIndex();
            Item->Checked = Visible;
            Item->Enabled = Cmd != apDisabled;
            if (Item->Enabled && Visible) LastVisible = Item;
            Items().Add(Item);
        }
        // The last visible column cannot be hidden unless the menu allows it.
        if (VisibleCount == 1 && LastVisible && !Options.Contains(poAllowHideAll)) LastVisible->Enabled = false;
    }
    TPopupMenu::Popup(X, Y);
}
