// Presses on the check boxes of the SNMP map editors, as the mouse gives them.
#include "tables/USNMP_Trap_Access.h"
#include "tables/USNMP_Trap_Access_MBus.h"

#include "Editor_Windows.h"
#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// A press inside the cell at display column col, row row.
void Press(TExColumnGrid* g, int col, int row) {
    const TRect R = g->CellRect(col, row);
    SimulateClick(g, R.Left + 4, R.Top + 4);
}

// Column 0 of rows 1..n, joined by "|".
std::string Numbers(TExColumnGrid* g, int n) {
    std::string s;
    for (int r = 1; r <= n; ++r) s += (r > 1 ? "|" : "") + StringToUtf8(g->GetCellEx(0, r));
    return s;
}

class SnmpCheckBoxClick : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_SNMP_Trap = S(dir.file("SNMP_Trap.xml"));
        Path_ParGen = S(dir.file("ParGen.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        Path_SNMP_Trap.clear();
        Path_ParGen.clear();
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST_F(SnmpCheckBoxClick, OnlyAPressOnAnEnableBoxRenumbersItsOwnMap) {
    using namespace snmp_col;
    Model_Code = 20;  // On Command and Conversion hidden: display and real columns differ after Enable
    dir.write("SNMP_Trap.xml",
              "<SNMP_Trap><SNMP_Trap_Read><row Enable='Y' Community_Name='a'/><row Enable='Y' Community_Name='b'/>"
              "<row Enable='Y' Community_Name='c'/></SNMP_Trap_Read>"
              "<SNMP_Trap_Write><row Enable='Y' Community_Name='w'/><row Enable='Y' Community_Name='v'/>"
              "</SNMP_Trap_Write></SNMP_Trap>");
    auto w = Make_Window<TFSNMP_Trap_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_SNMP_Read;
        TExColumnGrid* wr = w->ACG_SNMP_Write;
        ASSERT_TRUE(r->IsHiddenColumn(R_On_CMD));
        EXPECT_EQ(Numbers(r, 4), "1|2|3|4");
        Press(r, Enable, 1);
        EXPECT_EQ(r->GetCellEx(Enable, 1), u"N");
        EXPECT_EQ(Numbers(r, 4), "|1|2|3");
        // On Timer (shown at display column 5): toggled, nothing renumbered.
        Press(r, r->DisplColIndex(R_On_Timer), 2);
        EXPECT_EQ(r->GetCellEx(R_On_Timer, 2), u"Y");
        EXPECT_EQ(Numbers(r, 4), "|1|2|3");
        // An inserted row comes unchecked and is numbered only by a press on its box.
        r->SetRow(2);
        w->Btn_InsRow->Click();
        EXPECT_EQ(r->GetCellEx(Enable, 2), u"");
        EXPECT_EQ(Numbers(r, 4), "|1|2|3");
        Press(r, Enable, 2);
        EXPECT_EQ(r->GetCellEx(Enable, 2), u"Y");
        EXPECT_EQ(Numbers(r, 5), "|1|2|3|4");
        Press(r, Enable, 1);
        EXPECT_EQ(Numbers(r, 5), "1|2|3|4|5");
        // The write map renumbers itself only.
        w->PageControl1->SetActivePage(w->TS_SNMP_Write);
        Press(wr, Enable, 1);
        EXPECT_EQ(wr->GetCellEx(Enable, 1), u"N");
        EXPECT_EQ(Numbers(wr, 3), "|1|2");
        EXPECT_EQ(Numbers(r, 5), "1|2|3|4|5");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(SnmpCheckBoxClick, APressInTheMBusMapTogglesOnTimerAndLeavesTheNumbers) {
    using namespace snmp_mbus_col;
    auto w = Make_Window<TFSNMP_Trap_Access_MBus>();
    std::vector<std::array<String, 14>> rows(2);
    for (int i = 0; i < 2; ++i)
        rows[static_cast<std::size_t>(i)] = {IntToStr(i + 1), u"0", IntToStr(i), u"ID Pri : 1 - m", u"Energy",
                                             u"public", u"Int", u"N", u"N", u"", u"32", u"e" + IntToStr(i),
                                             u"10.0.0.1", u""};
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->ACG_SNMP_Read;
        Press(g, g->DisplColIndex(On_Timer), 2);
        EXPECT_EQ(g->GetCellEx(On_Timer, 2), u"Y");
        EXPECT_EQ(g->GetCellEx(On_Change, 2), u"N");  // the hidden box beside it
        EXPECT_EQ(Numbers(g, 2), "1|2");
        g->SetCellEx(Trap_Time, 2, u"500");
        w->Btn_OK->Click();
    };
    EXPECT_TRUE(w->Edit_Rows(rows));
    EXPECT_EQ(rows[1][On_Timer], u"Y");
    EXPECT_EQ(rows[0][On_Timer], u"N");
}
