#include "tables/USNMP_Trap_Access_MBus.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"

#include <gtest/gtest.h>

#include <functional>

using namespace snmp_mbus_col;

namespace {

// The grid as the M-Bus network editor fills it: rows 1..n, columns 1, 2
// and 7 hidden (11 shown, 3 hidden).
StandInGrid Filled(int objects) {
    StandInGrid g(objects + 1, 11, 3);
    g.checkBoxCols = {7, 8};
    const char* const rows[] = {
        "0|-1|ID Pri : 1 - m|Node State|public|String|N|N|0|3|mNodeState|192.168.1.5|",
        "0|-2|ID Pri : 1 - m|Identification Number|public|String|N|Y|1000|8|mIdentNum|192.168.1.5|",
        "0|0|ID Pri : 1 - m|Energy|public|String|Y|N||20|menergy|192.168.1.5|kWh",
    };
    for (int r = 1; r <= objects; ++r) {
        g.SetCellEx(0, r, IntToStr(r));
        g.SetRow(r, rows[(r - 1) % 3]);
    }
    return g;
}

}  // namespace

TEST(SnmpTrapAccessMBus, ValidationOfTheFilledRows) {
    Load_Default_Texts();
    using Edit = std::function<void(StandInGrid&)>;
    auto cell = [](int col, int row, const char* text) { return [=](StandInGrid& g) { g.SetCellEx(col, row, S(text)); }; };
    const struct {
        const char* name;
        Edit edit;
        const char* message;
    } cases[] = {
        {"as filled", [](StandInGrid&) {}, nullptr},
        {"empty community", cell(Community, 2, ""), nullptr},
        {"community with an underscore", cell(Community, 2, "pub_lic"), "Error row 2!! Community Name is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
        {"timer off, time 0", cell(Trap_Time, 1, "0"), nullptr},
        {"timer on, time 0", cell(Trap_Time, 2, "0"), "Error row 2!! Time must be between 1 and 1000000000 ms"},
        {"default description of a capital meter", cell(Description, 3, "MeterNodeState"),
         "Error row 3!! Description is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
        {"empty address", cell(IP, 1, ""), "Error row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"same description", cell(Description, 3, "mNodeState"), "Error!! The Descriptions must be all differents"},
        {"type, on change and read-only columns unchecked",
         [](StandInGrid& g) { g.SetRow(1, "0|-1|x y|z z|public|Nonsense|maybe|N|0|abc|mNodeState|1.2.3.4|"); }, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StandInGrid g = Filled(3);
        c.edit(g);
        TScriptedDialogService dialogs;
        std::vector<String> descs;
        EXPECT_EQ(SNMP_MBus_Controllo_dati(g, descs), c.message == nullptr);
        if (c.message) {
            ASSERT_EQ(dialogs.Shown.size(), 1u);
            EXPECT_EQ(StringToUtf8(dialogs.Shown[0].Text), c.message);
        } else {
            EXPECT_TRUE(dialogs.Shown.empty());
        }
    }
}

TEST(SnmpTrapAccessMBus, AnEmptyNetworkPassesAndHintsFollowTheRealColumn) {
    Load_Default_Texts();
    // The filler's empty network: row count 2 and row 1 emptied.
    StandInGrid g(2, 11, 3);
    TScriptedDialogService dialogs;
    std::vector<String> descs;
    EXPECT_TRUE(SNMP_MBus_Controllo_dati(g, descs));
    EXPECT_TRUE(dialogs.Shown.empty());

    EXPECT_EQ(SNMP_MBus_Header_Hint(0, Community), u"Insert the Community Name for the SNMP Trap (Max 15 characters)");
    EXPECT_EQ(SNMP_MBus_Header_Hint(0, N_ID), u"Index of MBus Node");
    EXPECT_EQ(SNMP_MBus_Header_Hint(0, Mnemonic), u"Insert a Description of SNMP Trap");
    EXPECT_EQ(SNMP_MBus_Header_Hint(1, Community), u"");
    EXPECT_EQ(SNMP_MBus_Header_Hint(0, 0), u"");
}
