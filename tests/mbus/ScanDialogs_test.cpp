#include "mbus/UInsertKeyWireless.h"
#include "mbus/UScanModbusStart.h"

#include "controls/FlatButton.h"
#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Shows a dialog modally; body runs while it is open and may close it. Gives
// the modal result (the dialog is closed with the cancel result when body
// leaves it open) and the texts of the error boxes shown meanwhile.
template <class Form>
std::pair<int, std::vector<String>> Show(Form& form, const std::function<void()>& body) {
    TScriptedDialogService dialogs;
    dialogs.OnModalForm = [&](TCustomForm* shown) {
        if (shown != &form) return;
        body();
        if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
    };
    const int result = form.ShowModal();
    std::vector<String> errors;
    for (const auto& r : dialogs.Shown)
        if (r.Icon == diError) errors.push_back(r.Text);
    return {result, errors};
}

class ScanDialogs : public testing::Test {
protected:
    void SetUp() override { Load_Default_Texts(); }
};

}  // namespace

TEST_F(ScanDialogs, KeyMustBeThirtyTwoHexCharacters) {
    TFInsertKeyWireless dlg(nullptr);
    dlg.AfterConstruction();
    EXPECT_EQ(dlg.ClientWidth(), 481);
    EXPECT_EQ(dlg.L_InsKey->Caption(), u"Insert Key (HEX)");
    const String valid = u"000102030405060708090A0B0C0D0E0F";
    const struct {
        String key;
        int result;
        const char16_t* error;
    } cases[] = {
        {valid.substr(0, 31), mrCancel, u"Error!! The Key must contain 16 bytes (32 characters in HEX)"},
        {valid.substr(0, 31) + u"G", mrCancel, u"Error!! Acceptable characters are from 0 to 9 and from A to F"},
        {valid, mrOk, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.key));
        const auto [result, errors] = Show(dlg, [&] {
            dlg.E_Key->SetText(c.key);
            dlg.Btn_OK->Click();
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(errors, c.error ? std::vector<String>{c.error} : std::vector<String>{});
    }
    // Typed lower-case letters become upper case and pass.
    const auto [result, errors] = Show(dlg, [&] {
        dlg.E_Key->SetText(u"");
        dlg.E_Key->SetFocus();
        SimulateText(u"00112233445566778899aabbccddeeff");
        dlg.Btn_OK->Click();
    });
    EXPECT_EQ(dlg.E_Key->Text(), u"00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ScanDialogs, StartRegisterFromOneTo65535) {
    TFScanModbusStart dlg(nullptr);
    dlg.AfterConstruction();
    EXPECT_EQ(dlg.Caption(), u"Start Modbus Register");
    EXPECT_EQ(dlg.ClientHeight(), 162);
    for (const auto& [text, accepted] : {std::pair{u"0", false}, {u"1", true}, {u"65535", true}, {u"65536", false},
                                         {u"x", false}}) {
        SCOPED_TRACE(StringToUtf8(text));
        dlg.StartModAdd = -7;
        const auto [result, errors] = Show(dlg, [&] {
            dlg.E_StartModAdd->SetText(text);
            dlg.Btn_OK->Click();
        });
        EXPECT_EQ(result, accepted ? mrOk : mrCancel);
        EXPECT_EQ(dlg.StartModAdd, accepted ? StrToInt(text) : -7);
        EXPECT_EQ(errors, accepted ? std::vector<String>{}
                                   : std::vector<String>{u"Error!! The Star Modbus Address must be between 1 and 65535"});
    }
}
