#include "framework/ActnList.h"
#include "framework/ImgList.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"

#include "support/Place.h"

#include <gtest/gtest.h>

#include <memory>

TEST(Actions, ALinkedControlFollowsTheActionAndItsClickRunsIt) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* button = Place<TButton>(&form, 10, 10, 80, 25);
    auto* other = Place<TButton>(&form, 100, 10, 80, 25);
    TAction action(nullptr);
    int runs = 0, updates = 0;
    TComponent* ranFor = nullptr;
    action.SetCaption(u"&Sort");
    action.SetHint(u"Sort the rows");
    action.OnExecute = [&](TObject* sender) {
        ++runs;
        EXPECT_EQ(sender, &action);
        ranFor = action.ActionComponent;
    };
    action.OnUpdate = [&](TObject*) { ++updates; };
    button->SetAction(&action);
    other->SetAction(&action);
    EXPECT_EQ(button->Action(), &action);
    EXPECT_EQ(button->Caption(), u"&Sort");
    EXPECT_EQ(button->Hint(), u"Sort the rows");

    action.SetEnabled(false);
    EXPECT_FALSE(button->Enabled());
    EXPECT_FALSE(other->Enabled());
    action.SetEnabled(true);
    action.SetCaption(u"Sort &again");
    EXPECT_EQ(other->Caption(), u"Sort &again");

    form.Show();
    SimulateClick(button, 5, 5);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ranFor, button);
    EXPECT_EQ(updates, 1);  // brought up to date before it runs
    EXPECT_EQ(action.ActionComponent, nullptr);

    // A click handler of the control's own wins over the action.
    int own = 0;
    button->OnClick = [&](TObject*) { ++own; };
    SimulateClick(button, 5, 5);
    EXPECT_EQ(own, 1);
    EXPECT_EQ(runs, 1);

    // A disabled action does not run from code either.
    action.SetEnabled(false);
    EXPECT_FALSE(action.Execute());
    action.SetEnabled(true);
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(runs, 2);

    // Unlinked, the control keeps what it showed and no longer follows.
    other->SetAction(nullptr);
    action.SetCaption(u"Changed");
    EXPECT_EQ(other->Caption(), u"Sort &again");
    EXPECT_EQ(other->Action(), nullptr);
}

TEST(Actions, AnActionFreedFirstLeavesItsControlsUnlinked) {
    TForm form(nullptr);
    auto* button = Place<TButton>(&form, 10, 10, 80, 25);
    {
        TAction action(nullptr);
        action.OnExecute = [](TObject*) { FAIL() << "ran after its end"; };
        button->SetAction(&action);
    }
    EXPECT_EQ(button->Action(), nullptr);
    button->Click();  // nothing to run
    // A control freed first unregisters from its action.
    TAction action(nullptr);
    auto* temp = Place<TButton>(&form, 10, 40, 80, 25);
    temp->SetAction(&action);
    delete temp;
    action.SetCaption(u"Still fine");
}

TEST(Actions, CheckingAnActionOfAGroupUnchecksTheOthersOfItsOwner) {
    TComponent owner(nullptr);
    auto* a = new TAction(&owner);
    auto* b = new TAction(&owner);
    auto* c = new TAction(&owner);
    TAction stranger(nullptr);  // same group index, other owner
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    c->SetGroupIndex(2);
    stranger.SetGroupIndex(1);
    a->SetChecked(true);
    c->SetChecked(true);
    stranger.SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked());
    EXPECT_TRUE(stranger.Checked());
    // A checked action moving into a group unchecks that group's others.
    c->SetGroupIndex(1);
    EXPECT_FALSE(b->Checked());
    EXPECT_TRUE(c->Checked());
    // Group 0 is no group.
    a->SetGroupIndex(0);
    b->SetGroupIndex(0);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_TRUE(a->Checked());
}

TEST(ActionList, ActionsAndImagesLeaveTheListWhenTheyGo) {
    auto list = std::make_unique<TActionList>(nullptr);
    auto images = std::make_unique<TImageList>(16, 16);
    list->SetImages(images.get());
    auto a = std::make_unique<TAction>(nullptr);
    auto b = std::make_unique<TAction>(nullptr);
    a->SetActionList(list.get());
    b->SetActionList(list.get());
    ASSERT_EQ(list->ActionCount(), 2);
    EXPECT_EQ(list->Actions(1), b.get());
    a.reset();
    ASSERT_EQ(list->ActionCount(), 1);
    EXPECT_EQ(list->Actions(0), b.get());
    images.reset();
    EXPECT_EQ(list->Images(), nullptr);
    list.reset();
    EXPECT_EQ(b->ActionList(), nullptr);
}
