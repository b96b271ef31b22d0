#include "grid/foundation/DropDownLooks.h"

#include <gtest/gtest.h>

namespace {

TEST(DropDownLooks, NewLooks) {
    TPersistent owner;
    THeaderAppearance header(&owner);
    TFooterAppearance footer(&owner);
    for (TBarAppearance* look : {static_cast<TBarAppearance*>(&header), static_cast<TBarAppearance*>(&footer)}) {
        EXPECT_TRUE(look->Visible());
        EXPECT_EQ(look->Height(), 22);
        EXPECT_EQ(look->Color(), clSilver);
        EXPECT_EQ(look->ColorTo(), clWhite);
        EXPECT_EQ(look->GradientDirection(), TBarAppearance::gdVertical);
        EXPECT_EQ(look->BorderColor(), clBlack);
        EXPECT_EQ(look->BorderWidth(), 1);
        EXPECT_EQ(look->ImageIndex(), -1);
        EXPECT_EQ(look->Caption(), u"");
        EXPECT_EQ(look->ButtonAlignment(), TBarAppearance::baRight);
        EXPECT_EQ(look->Owner(), &owner);
    }
    EXPECT_EQ(header.Font().Name(), u"Tahoma");
    EXPECT_EQ(footer.Font().Name(), TFont().Name());
    EXPECT_TRUE(footer.SizeGrip());
    EXPECT_EQ(header.Buttons().Owner(), &owner);
    EXPECT_EQ(footer.Buttons().Add()->ModalResult(), mrNone);
}

TEST(DropDownLooks, ChangesReportedAndNot) {
    THeaderAppearance look(nullptr);
    int changes = 0, buttonChanges = 0;
    look.OnChange = [&](TObject*) { ++changes; };
    look.OnButtonsChanged = [&](TObject*) { ++buttonChanges; };
    look.SetVisible(true);
    look.SetCaption(u"x");
    look.SetHeight(30);
    EXPECT_EQ(changes, 0);
    look.SetVisible(false);
    EXPECT_EQ(changes, 1);

    THeaderButton* b = look.Buttons().Add();
    EXPECT_EQ(b->ImageIndex(), -1);
    EXPECT_TRUE(b->Enabled());
    b->SetHeight(10);
    b->SetImageIndex(2);
    EXPECT_EQ(buttonChanges, 0);
    b->SetWidth(40);
    b->SetWidth(40);
    b->SetCaption(u"OK");
    b->SetEnabled(false);
    EXPECT_EQ(buttonChanges, 3);
}

TEST(DropDownLooks, AssignAndAssignColors) {
    THeaderAppearance a(nullptr), b(nullptr);
    a.SetColor(clRed);
    a.SetColorTo(clBlue);
    a.SetBorderColor(clGreen);
    a.Font().SetName(u"Probe Sans");
    a.SetGradientDirection(TBarAppearance::gdHorizontal);
    a.SetCaption(u"Title");
    a.SetHeight(40);
    a.SetVisible(false);
    a.Buttons().Add()->SetCaption(u"One");

    b.AssignColors(&a);
    EXPECT_EQ(b.Color(), clRed);
    EXPECT_EQ(b.ColorTo(), clBlue);
    EXPECT_EQ(b.BorderColor(), clGreen);
    EXPECT_EQ(b.Font().Name(), u"Probe Sans");
    EXPECT_EQ(b.GradientDirection(), TBarAppearance::gdHorizontal);
    EXPECT_EQ(b.Caption(), u"");
    EXPECT_EQ(b.Height(), 22);
    EXPECT_TRUE(b.Visible());
    EXPECT_EQ(b.Buttons().Count(), 0);

    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Assign(&a);
    EXPECT_EQ(b.Caption(), u"Title");
    EXPECT_EQ(b.Height(), 40);
    EXPECT_FALSE(b.Visible());
    EXPECT_EQ(changes, 1);  // visibility goes through its setter
    ASSERT_EQ(b.Buttons().Count(), 1);
    EXPECT_EQ(b.Buttons().Items(0)->Caption(), u"One");

    // A footer look into a header look changes nothing.
    TFooterAppearance footer(nullptr);
    footer.SetCaption(u"Foot");
    footer.SetColor(clYellow);
    b.Assign(&footer);
    b.AssignColors(&footer);
    EXPECT_EQ(b.Caption(), u"Title");
    EXPECT_EQ(b.Color(), clRed);

    TFooterAppearance copy(nullptr);
    footer.SetSizeGrip(false);
    footer.Buttons().Add()->SetModalResult(mrCancel);
    copy.Assign(&footer);
    EXPECT_FALSE(copy.SizeGrip());
    ASSERT_EQ(copy.Buttons().Count(), 1);
    EXPECT_EQ(copy.Buttons().Items(0)->ModalResult(), mrCancel);

    // A button takes only a button of its own kind.
    THeaderButton* hb = b.Buttons().Items(0);
    EXPECT_THROW(hb->Assign(copy.Buttons().Items(0)), EConvertError);
    b.Buttons().SetItems(0, a.Buttons().Add());
    EXPECT_EQ(hb->Caption(), u"");
}

}  // namespace
