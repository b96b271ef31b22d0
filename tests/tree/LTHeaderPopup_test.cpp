// The column menu: its items follow the columns, the last visible column
// cannot be hidden, and a right click in the header opens it.

#include "tree/LTHeaderPopup.h"

#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/Themes.h"

#include <gtest/gtest.h>

namespace {

struct MenuTree {
    MenuTree() {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 400, 300);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 300, 200);
        for (const char* Caption : {"Name", "Size", "Date"}) tree->Header().Columns().Add()->SetText(S(Caption));
        tree->Header().SetOptions(tree->Header().Options + THeaderOptions{hoVisible});
        form.Show();
        menu.PopupComponent = tree;
    }
    ~MenuTree() { SetThemeRenderer(trStyled); }
    TLazyTreeColumn& Col(int I) { return *tree->Header().Columns()[I]; }
    void Hide(int I) { Col(I).SetOptions(Col(I).Options() - TLTColumnOptions{coVisible}); }
    // Each item as caption, then "x" for checked and "-" for disabled.
    std::string Items() {
        std::string Result;
        for (int I = 0; I < menu.Items().Count(); ++I) {
            TMenuItem* Item = menu.Items().Items(I);
            Result += StringToUtf8(Item->Caption()) + (Item->Checked ? "x" : "") + (Item->Enabled ? "" : "-") + ";";
        }
        return Result;
    }
    TScriptedDialogService dialogs;
    TForm form{nullptr};
    TLazyStringTree* tree;
    TLTHeaderPopupMenu menu{nullptr};
};

}  // namespace

TEST(LTHeaderPopup, ItemsFollowTheColumnsAndKeepTheLastVisibleOne) {
    struct Case {
        const char* What;
        TLTHeaderPopupOptions Options;
        std::vector<int> Hidden;
        bool MoveDateFirst;
        TColumnIndex HideItemOf;  // apHidden for this column
        const char* Items;
    };
    const Case Cases[] = {
        {"all visible", {}, {}, false, -1, "Namex;Sizex;Datex;"},
        {"one visible", {}, {0, 2}, false, -1, "Name;Sizex-;Date;"},
        {"hiding all allowed", {poAllowHideAll}, {0, 2}, false, -1, "Name;Sizex;Date;"},
        {"by position", {}, {}, true, -1, "Datex;Namex;Sizex;"},
        {"by index", {poOriginalOrder}, {}, true, -1, "Namex;Sizex;Datex;"},
        // The hidden item still counts as visible: Size is not the last one.
        {"an item left out", {}, {2}, false, 0, "Sizex;Date;"},
        {"fit item", {poResizeToFitItem}, {}, false, -1, "&Resize All Columns To Fit;-;Namex;Sizex;Datex;"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        MenuTree f;
        for (int I : C.Hidden) f.Hide(I);
        if (C.MoveDateFirst) f.Col(2).SetPosition(0);
        f.menu.Options = C.Options;
        f.menu.OnAddHeaderPopupItem = [&](const TBaseLazyTree* Sender, TColumnIndex Column, TAddPopupItemType& Cmd) {
            EXPECT_EQ(Sender, f.tree);
            if (Column == C.HideItemOf) Cmd = apHidden;
        };
        f.menu.Popup(10, 10);
        EXPECT_EQ(f.Items(), C.Items);
        f.menu.Popup(10, 10);  // built anew, not added to
        EXPECT_EQ(f.Items(), C.Items);
    }
}

TEST(LTHeaderPopup, ClickingAnItemShowsOrHidesItsColumn) {
    MenuTree f;
    std::string Log;
    f.menu.OnColumnChange = [&](TBaseLazyTree*, TColumnIndex Column, bool Visible) {
        Log += std::to_string(Column) + (Visible ? "+;" : "-;");
    };
    f.dialogs.AnswerMenu(S("Size"));
    f.menu.Popup(10, 10);
    EXPECT_FALSE(f.Col(1).Options().Contains(coVisible));
    f.dialogs.AnswerMenu(S("Size"));
    f.menu.Popup(10, 10);
    EXPECT_TRUE(f.Col(1).Options().Contains(coVisible));
    EXPECT_EQ(Log, "1-;1+;");

    // A menu that is not for a tree keeps its own items.
    TLTHeaderPopupMenu Other{nullptr};
    Other.Items().Add(NewItem(nullptr, S("Mine"), nullptr));
    Other.Popup(10, 10);
    ASSERT_EQ(Other.Items().Count(), 1);
    EXPECT_EQ(Other.Items().Items(0)->Caption(), S("Mine"));
}

TEST(LTHeaderPopup, RightClickInTheHeaderOpensTheColumnMenu) {
    MenuTree f;
    TLTHeader& H = f.tree->Header();
    H.SetOptions(H.Options + THeaderOptions{hoAutoColumnPopupMenu, hoDblClickResize});
    f.tree->SetRootNodeCount(2);
    std::string Log;
    f.tree->OnColumnVisibilityChanged = [&](TBaseLazyTree* Sender, TColumnIndex Column, bool Visible) {
        EXPECT_EQ(Sender, f.tree);
        Log += "visibility " + std::to_string(Column) + (Visible ? "+;" : "-;");
    };
    f.tree->OnHeaderClick = [&](TLTHeader*, TBaseLazyTree::TLTHeaderHitInfo& Hit) {
        Log += "click " + std::to_string(Hit.Column) + (Hit.Button == mbRight ? " right;" : ";");
    };
    f.dialogs.AnswerMenu(S("Date"));
    SimulateMouseDown(f.tree, mbRight, 120, -8);
    SimulateMouseUp(f.tree, mbRight, 120, -8);
    EXPECT_EQ(Log, "visibility 2-;click 2 right;");
    EXPECT_FALSE(f.Col(2).Options().Contains(coVisible));
    ASSERT_EQ(f.dialogs.Shown.size(), 1u);
    EXPECT_EQ(f.dialogs.Shown[0].Kind, dkPopupMenu);
    // With rows and double-click resizing the menu offers the fit-all item.
    f.dialogs.AnswerMenu(S("Resize All Columns To Fit"));
    f.Col(0).SetWidth(200);
    SimulateMouseDown(f.tree, mbRight, 20, -8);
    SimulateMouseUp(f.tree, mbRight, 20, -8);
    EXPECT_EQ(f.dialogs.Shown.size(), 2u);
    EXPECT_LT(f.Col(0).Width(), 200);
}
