#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "support/Place.h"

#include <gtest/gtest.h>

// A field whose exit refuses its text and takes the focus back, as the
// configurator's position fields do: the focus stays in it, its exit runs
// once per attempt to leave, and the control that was to get the focus is
// not entered.
namespace {
// A form with a field and the field after it.
struct Two_Fields {
    Two_Fields() {
        form.SetClientWidth(200);
        form.SetClientHeight(100);
    }
    TScriptedDialogService dialogs;
    TForm form{nullptr};
    TEdit* field = Place<TEdit>(&form, 8, 8, 100, 21);
    TEdit* next = Place<TEdit>(&form, 8, 40, 100, 21);
};
}  // namespace

TEST(FormsFocus, AnExitThatTakesTheFocusBackEndsTheFocusChange) {
    Two_Fields f;
    TScriptedDialogService& dialogs = f.dialogs;
    TForm& form = f.form;
    TEdit *field = f.field, *next = f.next;
    int exits = 0, entered_next = 0;
    field->OnExit = [&](TObject*) {
        ++exits;
        if (field->Text() != u"ok") field->SetFocus();
    };
    next->OnEnter = [&](TObject*) { ++entered_next; };
    dialogs.OnModalForm = [&](TCustomForm*) {
        field->SetFocus();
        SimulateText(u"bad");
        SimulateKey(VK_TAB);
        EXPECT_EQ(exits, 1);
        EXPECT_TRUE(field->Focused());
        EXPECT_EQ(form.ActiveControl(), field);
        EXPECT_EQ(entered_next, 0);
        SimulateClick(next, 5, 5);
        EXPECT_EQ(exits, 2);
        EXPECT_TRUE(field->Focused());
        field->SetText(u"ok");
        SimulateKey(VK_TAB);
        EXPECT_EQ(exits, 3);
        EXPECT_TRUE(next->Focused());
        EXPECT_EQ(entered_next, 1);
        form.SetModalResult(mrOk);
    };
    EXPECT_EQ(form.ShowModal(), mrOk);
}

// The same refusal told in a message box, which in the window system takes
// the release of the press that moved the focus: that press holds nothing
// afterwards, so the next click reaches the control clicked.
TEST(FormsFocus, APressWhoseFocusChangeIsRefusedInAMessageHoldsNoMouse) {
    Two_Fields f;
    TScriptedDialogService& dialogs = f.dialogs;
    TForm& form = f.form;
    TEdit *field = f.field, *next = f.next;
    field->OnExit = [&](TObject*) {
        if (field->Text() == u"ok") return;
        MessageDlg(u"refused", mtError, TMsgDlgButtons{mbOK});
        field->SetFocus();
    };
    int next_downs = 0;
    next->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++next_downs; };
    dialogs.OnModalForm = [&](TCustomForm*) {
        field->SetFocus();
        SimulateText(u"bad");
        SimulateMouseDown(next, mbLeft, 5, 5);
        EXPECT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_TRUE(field->Focused());
        EXPECT_EQ(GetCaptureControl(), nullptr);
        EXPECT_EQ(next_downs, 0);
        SimulateMouseUp(next, mbLeft, 5, 5);
        field->SetText(u"ok");
        SimulateClick(next, 5, 5);
        EXPECT_TRUE(next->Focused());
        EXPECT_EQ(next_downs, 1);
        form.SetModalResult(mrOk);
    };
    EXPECT_EQ(form.ShowModal(), mrOk);
}
