#include "framework/ComCtrls.h"

#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include "support/Place.h"

#include <gtest/gtest.h>

TEST(TrackBar, PageKeysMoveByThePageSize) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* bar = Place<TTrackBar>(&form, 10, 10, 200, 40);
    bar->SetMax(100);
    EXPECT_EQ(bar->PageSize(), 2);
    bar->SetPageSize(25);
    form.Show();
    form.SetFocus();
    bar->SetFocus();
    SimulateKey(VK_NEXT);
    EXPECT_EQ(bar->Position(), 25);
    bar->SetPageSize(10);
    SimulateKey(VK_NEXT);
    EXPECT_EQ(bar->Position(), 35);
}

TEST(TreeView, RowSelectMarksTheWholeRow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* tree = Place<TTreeView>(&form, 10, 10, 200, 150);
    TTreeNode* root = tree->Items().Add(nullptr, u"Root");
    TTreeNode* child = tree->Items().AddChild(root, u"Child");
    root->Expand(false);
    tree->SetHideSelection(false);
    tree->SetSelected(child);
    form.Show();
    EXPECT_FALSE(tree->RowSelect());
    tree->SetRowSelect(true);
    EXPECT_TRUE(tree->RowSelect());
    // The selected row's left end (its indentation) and its far right show
    // the mark's colour, as the text does.
    TBitmap shot;
    RenderControlToBitmap(tree, shot);
    TTreeNode* hit = nullptr;
    int y = 0;
    for (; y < shot.Height() && hit != child; ++y) hit = tree->GetNodeAt(150, y);
    ASSERT_EQ(hit, child);
    y += 3;
    const TColor mark = shot.Canvas().Pixels(150, y);
    EXPECT_NE(mark, shot.Canvas().Pixels(150, 2));  // the mark is not the background
    EXPECT_EQ(shot.Canvas().Pixels(3, y), mark);
    EXPECT_EQ(shot.Canvas().Pixels(185, y), mark);
}

TEST(PopupMenu, ItemsNameTheirPictureInTheMenusImages) {
    TPopupMenu menu(nullptr);
    TMenuItem* item = NewItem(&menu, u"Copy", nullptr);
    menu.Items().Add(item);
    EXPECT_EQ(item->ImageIndex, -1);
    item->ImageIndex = 0;
    {
        TImageList images(nullptr);
        menu.SetImages(&images);
        EXPECT_EQ(menu.Images(), &images);
    }
    EXPECT_EQ(menu.Images(), nullptr);  // the list went away first
}
