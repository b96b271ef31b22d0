#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanModbusStart.h"

#include "controls/FlatButton.h"
#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"
#include "grid/ExCGrid.h"
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
        const auto [result, errors] = Show(dlg, [&, text = text] {
            dlg.E_StartModAdd->SetText(text);
            dlg.Btn_OK->Click();
        });
        EXPECT_EQ(result, accepted ? mrOk : mrCancel);
        EXPECT_EQ(dlg.StartModAdd, accepted ? StrToInt(text) : -7);
        EXPECT_EQ(errors, accepted ? std::vector<String>{}
                                   : std::vector<String>{u"Error!! The Star Modbus Address must be between 1 and 65535"});
    }
}

TEST_F(ScanDialogs, StartAddressGridStopsAtTheFirstBadRow) {
    SW_Code = u"SW-TEST";
    TFModbusStartAdd_SD dlg(nullptr);
    dlg.AfterConstruction();
    EXPECT_EQ(dlg.Caption(), u"Modbus Start Address");
    EXPECT_EQ(dlg.ClientWidth(), 511);
    EXPECT_EQ(dlg.ClientHeight(), 336);
    EXPECT_EQ(dlg.L_SW_Code->Caption(), u"SW-TEST");
    EXPECT_EQ(dlg.CB_En_IndNum->Caption(), u"Enable Identification Number");
    EXPECT_EQ(dlg.sga->GetCellEx(0, 0), u"M-Bus ID");
    EXPECT_EQ(dlg.sga->GetCellEx(1, 0), u"Modbus Start Address");
    EXPECT_EQ(dlg.sga->ColWidths(1), 200);
    const String empty = u"Error row 1!! Modbus Start Address cannot be empty";
    const String range2 = u"Error row 2!! Modbus Start Address must be between 1 and 59999";
    const struct {
        std::vector<String> addresses;
        const String* error;
    } cases[] = {
        {{u"1", u"59999", u"300"}, nullptr},
        {{u"1", u"60000", u""}, &range2},  // the empty row 3 is never reached
        {{u"", u"0"}, &empty},
        {{u"1", u"0"}, &range2},
        {{u"1", u"x"}, &range2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error ? StringToUtf8(*c.error) : "accepted");
        // The scan window fills the grid before showing the dialog.
        dlg.sga->SetRowCount(static_cast<int>(c.addresses.size()) + 1);
        for (std::size_t i = 0; i < c.addresses.size(); ++i) {
            dlg.sga->SetCellEx(0, static_cast<int>(i) + 1, u"Meter " + IntToStr(static_cast<int>(i)));
            dlg.sga->SetCellEx(1, static_cast<int>(i) + 1, c.addresses[i]);
        }
        const auto [result, errors] = Show(dlg, [&] { dlg.Btn_OK->Click(); });
        EXPECT_EQ(result, c.error ? mrCancel : mrOk);
        EXPECT_EQ(errors, c.error ? std::vector<String>{*c.error} : std::vector<String>{});
    }
    // An address typed into the shown grid is what OK judges.
    dlg.sga->SetRowCount(3);
    for (int r = 1; r <= 2; ++r) dlg.sga->SetCellEx(1, r, u"1");
    const auto [result, errors] = Show(dlg, [&] {
        dlg.sga->SetFocus();
        const TRect R = dlg.sga->CellRect(1, 2);
        SimulateClick(dlg.sga, R.Left + 5, R.Top + 5);
        SimulateKey(VK_F2);
        ASSERT_TRUE(dlg.sga->InplaceEditor());
        dlg.sga->InplaceEditor()->SelectAll();
        SimulateText(u"60000");
        SimulateKey(VK_RETURN);
        dlg.Btn_OK->Click();
    });
    EXPECT_EQ(dlg.sga->GetCellEx(1, 2), u"60000");
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(errors, std::vector<String>{range2});
}
