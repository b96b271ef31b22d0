#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "support/Place.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A form that runs a step of the test script when it gets WM_USER (posted
// by the script to go on once the modal loop has taken over).
class ScriptForm : public TForm {
public:
    ScriptForm() : TForm(nullptr) {}
    std::function<void()> OnUser;

protected:
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_USER && OnUser) {
            OnUser();
            return;
        }
        TForm::Dispatch(m);
    }
};

// A dialog as the configurator builds them: fields, a default OK button
// that validates, a cancel button.
struct Dialog {
    Dialog() {
        form.SetBorderStyle(bsDialog);
        form.SetPosition(poScreenCenter);
        form.SetCaption(u"Set Communication");
        form.SetClientWidth(312);
        form.SetClientHeight(160);
        name = Place<TEdit>(&form, 16, 16, 192, 21);
        kind = Place<TComboBox>(&form, 16, 50, 192, 22);
        kind->SetStyle(csDropDownList);
        kind->Items().Add(u"RS232");
        kind->Items().Add(u"RS485");
        check = Place<TCheckBox>(&form, 16, 84, 192, 17);
        check->SetCaption(u"Enable");
        ok = Place<TButton>(&form, 68, 120, 112, 28);
        ok->SetCaption(u"OK");
        ok->SetDefault(true);
        cancel = Place<TButton>(&form, 192, 120, 112, 28);
        cancel->SetCaption(u"Cancel");
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        for (TWinControl* c : {static_cast<TWinControl*>(name), static_cast<TWinControl*>(kind),
                               static_cast<TWinControl*>(check), static_cast<TWinControl*>(ok),
                               static_cast<TWinControl*>(cancel)})
            c->OnEnter = [this](TObject* s) { entered.push_back(static_cast<TControl*>(s)); };
        name->OnChange = [this](TObject*) { ++changes; };
        ok->OnClick = [this](TObject*) {
            if (name->Text().empty()) {
                MessageBox(0, u"Error! Name missing", u"Error", MB_OK | MB_ICONERROR);
                return;
            }
            form.SetModalResult(mrOk);
        };
    }
    ScriptForm form;
    TEdit* name;
    TComboBox* kind;
    TCheckBox* check;
    TButton* ok;
    TButton* cancel;
    std::vector<TControl*> entered;
    int changes = 0;
};

}  // namespace

TEST(Forms, AModalDialogFollowsEnterEscapeAndTabUnderAScript) {
    TScriptedDialogService dialogs;
    Dialog d;
    dialogs.AnswerBox(IDOK);
    dialogs.OnModalForm = [&](TCustomForm* f) {
        ASSERT_EQ(f, &d.form);
        // The first control in tab order has the focus.
        EXPECT_TRUE(d.name->Focused());
        SimulateKey(VK_TAB);
        SimulateKey(VK_TAB);
        EXPECT_TRUE(d.check->Focused());
        SimulateKey(VK_TAB, {ssShift});
        EXPECT_TRUE(d.kind->Focused());
        SimulateKey(VK_TAB);
        // Enter on a check box clicks the default button, whose check fails.
        SimulateKey(VK_RETURN);
        EXPECT_EQ(d.form.ModalResult(), mrNone);
        d.name->SetFocus();
        SimulateText(u"Pump 1");
        SimulateKey(VK_RETURN);
    };
    EXPECT_EQ(d.form.ShowModal(), mrOk);
    EXPECT_FALSE(d.form.Visible());
    EXPECT_EQ(d.name->Text(), u"Pump 1");
    EXPECT_EQ(d.changes, 6);
    std::vector<TControl*> entered{d.name, d.kind, d.check, d.kind, d.check, d.name};
    EXPECT_EQ(d.entered, entered);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    const auto& box = dialogs.Shown[0];
    EXPECT_EQ(box.Kind, dkMessageBox);
    EXPECT_EQ(box.Caption, u"Error");
    EXPECT_EQ(box.Text, u"Error! Name missing");
    EXPECT_EQ(box.Icon, diError);
    EXPECT_EQ(box.Buttons, std::vector<int>{IDOK});
    EXPECT_EQ(dialogs.Unanswered, 0);

    // Shown again: the window keeps its contents; Escape cancels, also with
    // a nested modal dialog opened and closed first.
    Dialog nested;
    nested.name->SetText(u"x");
    dialogs.OnModalForm = [&](TCustomForm* f) {
        if (f == &nested.form) {
            SimulateKey(VK_RETURN);
            return;
        }
        EXPECT_EQ(d.name->Text(), u"Pump 1");
        EXPECT_EQ(nested.form.ShowModal(), mrOk);
        EXPECT_EQ(Screen->ActiveForm(), &d.form);
        SimulateKey(VK_ESCAPE, {ssShift});  // Escape with Shift is no dialog key
        EXPECT_EQ(d.form.ModalResult(), mrNone);
        SimulateKey(VK_ESCAPE);
    };
    EXPECT_EQ(d.form.ShowModal(), mrCancel);

    // The close box ends a dialog like Cancel.
    bool closed = false;
    d.form.OnClose = [&](TObject*, TCloseAction& action) { closed = action == caHide; };
    dialogs.OnModalForm = [&](TCustomForm* f) { SimulateCloseBox(static_cast<TCustomForm*>(f)); };
    EXPECT_EQ(d.form.ShowModal(), mrCancel);
    EXPECT_TRUE(closed);
}

TEST(Forms, OnCloseQueryCanKeepAModalFormOpen) {
    TScriptedDialogService dialogs;
    Dialog d;
    int asked = 0;
    d.form.OnCloseQuery = [&](TObject*, bool& canClose) {
        canClose = ++asked > 1;
        if (!canClose) PostMessage(d.form.Handle(), WM_USER);
    };
    d.form.OnUser = [&] {
        EXPECT_TRUE(d.form.Visible());
        EXPECT_EQ(d.form.ModalResult(), mrNone);
        SimulateKey(VK_ESCAPE);
    };
    dialogs.OnModalForm = [&](TCustomForm*) { SimulateKey(VK_ESCAPE); };
    EXPECT_EQ(d.form.ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST(Forms, AnExceptionInAHandlerShowsOneErrorBoxAndTheProgramGoesOn) {
    TScriptedDialogService dialogs;
    Application->SetTitle(u"Configurator");
    TForm form(nullptr);
    form.SetBounds(50, 50, 200, 100);
    auto* failing = Place<TButton>(&form, 10, 10, 80, 25);
    failing->OnClick = [](TObject*) { throw EConvertError(u"'x' is not a valid integer value"); };
    auto* counting = Place<TButton>(&form, 100, 10, 80, 25);
    int clicks = 0;
    counting->OnClick = [&](TObject*) { ++clicks; };
    form.Show();

    SimulateClick(failing, 5, 5);
    SimulateClick(counting, 5, 5);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"'x' is not a valid integer value.");
    EXPECT_EQ(dialogs.Shown[0].Caption, u"Configurator");
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_EQ(clicks, 1);

    // The same from a posted message and a timer; EAbort stays silent.
    // A posted message whose handler aborts: EAbort shows nothing.
    PostMessage(failing->Handle(), WM_LBUTTONDOWN, 0, 0);
    failing->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { throw EAbort(u"silent"); };
    Application->ProcessMessages();
    EXPECT_EQ(dialogs.Shown.size(), 1u);
}

TEST(Forms, StandardControlsFireTheirEventsAsTheFormsExpect) {
    ScriptForm form;
    form.SetBounds(40, 40, 400, 300);
    auto* edit = Place<TEdit>(&form, 8, 8, 120, 21);
    auto* combo = Place<TComboBox>(&form, 8, 40, 120, 22);
    combo->SetStyle(csDropDownList);
    for (auto s : {u"125K", u"250K", u"500K"}) combo->Items().Add(s);
    auto* check = Place<TCheckBox>(&form, 8, 70, 120, 17);
    auto* box = Place<TGroupBox>(&form, 150, 8, 200, 100);
    auto* r1 = Place<TRadioButton>(box, 8, 20, 120, 17);
    auto* r2 = Place<TRadioButton>(box, 8, 44, 120, 17);
    auto* r3 = Place<TRadioButton>(&form, 8, 100, 120, 17);
    int editChanges = 0, comboChanges = 0, checkClicks = 0, r2Clicks = 0;
    edit->OnChange = [&](TObject*) { ++editChanges; };
    combo->OnChange = [&](TObject*) { ++comboChanges; };
    check->OnClick = [&](TObject*) { ++checkClicks; };
    r2->OnClick = [&](TObject*) { ++r2Clicks; };
    form.Show();

    // An edit field: OnChange also when code sets a different text; the key
    // of OnKeyPress may be changed or dropped.
    edit->SetText(u"1");
    edit->SetText(u"1");
    EXPECT_EQ(editChanges, 1);
    edit->OnKeyPress = [](TObject*, Char& key) {
        if (key == u'.') key = 0;
        else if (key == u'a') key = u'A';
    };
    edit->SetFocus();
    edit->SetSelStart(1);
    SimulateText(u"a.b");
    EXPECT_EQ(edit->Text(), u"1Ab");
    EXPECT_EQ(editChanges, 3);

    // A drop-down list: an index out of range reads back -1, code fires no
    // change, the person's choice does.
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), u"250K");
    EXPECT_EQ(comboChanges, 0);
    combo->SetFocus();
    SimulateKey(VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(comboChanges, 1);

    // A check box: OnClick also when code changes the state, once per change.
    check->SetChecked(true);
    check->SetChecked(true);
    EXPECT_EQ(checkClicks, 1);
    check->SetFocus();
    SimulateKey(VK_SPACE);
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(checkClicks, 2);

    // Radio buttons are exclusive within their parent only.
    r1->SetChecked(true);
    r3->SetChecked(true);
    r2->SetChecked(true);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r3->Checked());
    EXPECT_EQ(r2Clicks, 1);
    // An arrow key moves to the next radio button of the group and turns it on.
    r2->SetFocus();
    SimulateKey(VK_UP);
    EXPECT_TRUE(r1->Focused());
    EXPECT_TRUE(r1->Checked());
    EXPECT_FALSE(r2->Checked());

    // A scroll bar: the person's scrolling comes with its scroll code.
    auto* bar = Place<TScrollBar>(&form, 8, 130, 120, 17);
    std::vector<int> codes;
    bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) { codes.push_back(code); };
    SimulateMouseDown(bar, mbLeft, 115, 8);
    SimulateMouseUp(bar, mbLeft, 115, 8);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], scLineDown);
    EXPECT_EQ(bar->Position(), 1);

    // KeyPreview: the form sees keys first and can take them.
    std::vector<Word> seen;
    form.SetKeyPreview(true);
    form.OnKeyDown = [&](TObject*, Word& key, TShiftState) {
        seen.push_back(key);
        if (key == VK_F2) key = 0;
    };
    edit->OnKeyDown = [&](TObject*, Word& key, TShiftState) { seen.push_back(Word(1000 + key)); };
    edit->SetFocus();
    SimulateKey(VK_F2);
    SimulateKey(VK_F3);
    EXPECT_EQ(seen, (std::vector<Word>{VK_F2, VK_F3, Word(1000 + VK_F3)}));

    // A freed control leaves the tab order and the focus.
    delete edit;
    EXPECT_EQ(form.ActiveControl(), nullptr);
    bar->SetFocus();
    SimulateKey(VK_TAB);  // round from the last control to the first left
    EXPECT_TRUE(combo->Focused());
}
