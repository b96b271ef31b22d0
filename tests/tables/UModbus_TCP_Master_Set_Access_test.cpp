#include "tables/UModbus_TCP_Master_Set_Access.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"
#include "tables/Table_Test_Support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace {

using namespace tcpm_col;

class TcpMasterWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_ModbusTCPM_SetAccess = S(dir.file("ModbusTCPM_SetAccess.xml"));
        Path_ParGen = S(dir.file("ParGen.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        Path_ModbusTCPM_SetAccess.clear();
        Path_ParGen.clear();
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST(TcpMasterSetAccess, AddressCheck) {
    const struct {
        const char* text;
        bool invalid;
    } cases[] = {
        {"192.168.1.125", false}, {"0.0.0.0", false},     {"255.255.255.255", false}, {"0xC0.168.1.1", false},
        {" 192.168.1.1", false},  {"192.168.1", true},     {"1.2.3.4.5", true},         {"192.168.1.256", true},
        {"192..1.1", true},       {"192.168.1.1 ", true},  {"", true},                  {"a.b.c.d", true},
        {"1.2.3.", true},         {"-1.2.3.4", true},      {"$FF.1.1.1", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Check_IP_Address(S(c.text)), c.invalid) << c.text;
}

TEST(TcpMasterSetAccess, ValidationStopsAtTheFirstFailureWithItsMessage) {
    Load_Default_Texts();
    const char* const valid_read = "10.0.0.1|502|1|Holding Register|0|10|100|3|0|0|N|N|Byte|m";
    const char* const valid_write = "10.0.0.2|502|1|Holding Register|0|10|100|N|3|0|0|N|N|Byte|m";
    const struct {
        const char* name;
        bool read;
        const char* cells;
        bool format_required;
        const char* message;  // nullptr: passes
    } cases[] = {
        {"valid", true, valid_read, true, nullptr},
        {"address with five fields", true, "1.2.3.4.5|502|1|Holding Register|0|10|100|3|0|0|N|N|Byte|m", false,
         "Error row 1!! [Modbus Read] Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"address ends the table only when blank", true, "  |x|||||||||||||", false, nullptr},
        {"port 65535", true, "10.0.0.1|65535|1|Holding Register|0|10|100|3|0|0|N|N||m", false, nullptr},
        {"port 65536", true, "10.0.0.1|65536|1|Holding Register|0|10|100|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Read] Port must be between 0 and 65535"},
        {"slave 0 reads", true, "10.0.0.1|0|0|Holding Register|0|10|100|3|0|0|N|N||m", false, nullptr},
        {"slave 255 reads", true, "10.0.0.1|0|255|Holding Register|0|10|100|3|0|0|N|N||m", false, nullptr},
        {"slave 256 reads", true, "10.0.0.1|0|256|Holding Register|0|10|100|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Read] Slave ID must be between 0 and 255"},
        {"126 registers read", true, "10.0.0.1|0|1|Input Register|0|126|100|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Read] NPoint must be between 1 and 125"},
        {"2000 inputs read", true, "10.0.0.1|0|1|Input Status|0|2000|100|3|0|0|N|N||m", false, nullptr},
        {"poll time 0 reads", true, "10.0.0.1|0|1|Input Status|0|1|0|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Read] Poll Time must be between 1 and 100000000"},
        {"register past the last byte", true, "10.0.0.1|0|1|Input Register|0|1|1|3|511|0|N|N||m", false,
         "Error row 1!! [Modbus Read] Too many bytes to save starting from the Position indicate"},
        {"coil without start bit", true, "10.0.0.1|0|1|Coil Status|0|1|1|3|0||N|N||m", false,
         "Error row 1!! [Modbus Read] Bit must be between 0 and 7"},
        {"read format", true, "10.0.0.1|0|1|Coil Status|0|1|1|3|0|0|N|N||m", true,
         "Error row 1!! [Modbus Read] Select a Format SNMP from the list"},
        {"write valid", false, valid_write, true, nullptr},
        {"write address trailing blank", false, "10.0.0.2 |502|1|Coil Status|0|10|100|N|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Write] Slave IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)"},
        {"write port", false, "10.0.0.2|-1|1|Coil Status|0|10|100|N|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Write] Port must be between 0 and 65535"},
        {"slave 0 writes", false, "10.0.0.2|1|0|Coil Status|0|10|0|N|3|0|0|N|N||m", false, nullptr},
        {"slave 255 writes", false, "10.0.0.2|1|255|Coil Status|0|10|0|N|3|0|0|N|N||m", false, nullptr},
        {"slave 256 writes", false, "10.0.0.2|1|256|Coil Status|0|10|0|N|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Write] Slave ID must be between 0 and 255"},
        {"123 registers written", false, "10.0.0.2|1|1|Holding Register|0|123|0|N|3|0|0|N|N||m", false, nullptr},
        {"124 registers written", false, "10.0.0.2|1|1|Holding Register|0|124|0|N|3|0|0|N|N||m", false,
         "Error row 1!! [Modbus Write] NPoint must be between 1 and 123"},
        {"1968 coils written", false, "10.0.0.2|1|1|Coil Status|0|1968|0|N|3|0|0|N|N||m", false, nullptr},
        {"write max error", false, "10.0.0.2|1|1|Coil Status|0|1|0|N|x|0|0|N|N||m", false,
         "Error row 1!! [Modbus Write] Max Error must be between 0 and 100000000"},
        {"write position", false, "10.0.0.2|1|1|Coil Status|0|1|0|N|0|-1|0|N|N||m", false,
         "Error row 1!! [Modbus Write] Position must be between 0 and 511"},
        {"write bit", false, "10.0.0.2|1|1|Coil Status|0|1|0|N|0|0||N|N||m", false,
         "Error row 1!! [Modbus Write] Bit must be between 0 and 7"},
        {"write past the end", false, "10.0.0.2|1|1|Coil Status|0|9|0|N|0|511|0|N|N||m", false,
         "Error row 1!! [Modbus Write] Too many bytes to read starting from the Position indicate"},
        {"write format", false, "10.0.0.2|1|1|Coil Status|0|9|0|N|0|0|0|N|N| |m", true,
         "Error row 1!! [Modbus Write] Select a Format SNMP from the list"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StandInGrid read(481, 15), write(481, 16);
        read.SetRow(1, valid_read);
        write.SetRow(1, valid_write);
        (c.read ? read : write).SetRow(1, c.cells);
        TScriptedDialogService dialogs;
        Expect_Validation(dialogs, Modbus_Controllo_dati(TCP_Master_Desc, read, write, {512, 512}, c.format_required),
                          c.message);
    }
}

TEST_F(TcpMasterWindow, ModelsAndMapTypes) {
    const std::string file =
        "<PROFINET_Master_to_Modbus_TCP_Master><Modbus_Read><row IP_Address='10.0.0.1' Port='502' Slave_ID='1' "
        "Type='Coil Status' Address='0' NPoint='8' PollTime='10' MaxError='0' Position='3' Bit='0' Mnemonic='r'/>"
        "</Modbus_Read><Modbus_Write/></PROFINET_Master_to_Modbus_TCP_Master>";
    const struct {
        int model;
        const char* map_type;  // nullptr: no "ParGen.xml"
        int width_created, width;
        bool shown, written;
        int positions;
    } cases[] = {
        {11, nullptr, 980, 980, false, false, 512},
        {11, "0", 980, 980, false, false, 512},
        {19, nullptr, 1120, 980, false, true, 1024},
        {19, "1", 1120, 980, false, true, 1024},
        {19, "0", 1120, 1120, true, true, 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("model " + std::to_string(c.model) + " map " + (c.map_type ? c.map_type : "none"));
        Model_Code = c.model;
        std::remove(dir.file("ParGen.xml").c_str());
        if (c.map_type)
            dir.write("ParGen.xml", std::string("<Par_Gen><SNMP_MapType>") + c.map_type + "</SNMP_MapType></Par_Gen>");
        dir.write("ModbusTCPM_SetAccess.xml", file);
        auto w = Make_Window<TFModbus_TCP_Master_Set_Access>();
        EXPECT_EQ(w->ClientWidth(), c.width_created);
        EXPECT_EQ(w->Ind_Lang, 654);
        dialogs.Shown.clear();
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->ClientWidth(), c.width);
            EXPECT_EQ(w->ACG_Modbus_Read->IsHiddenColumn(R_Format), !c.shown);
            EXPECT_EQ(w->ACG_Modbus_Write->IsHiddenColumn(W_Format), !c.shown);
            EXPECT_EQ(w->ACG_Modbus_Read->GetCellEx(R_Format, 1), c.written ? u"Byte" : u"");
            EXPECT_EQ(w->ACG_Modbus_Read->Columns().Items(R_Position)->ComboItems().Count(), c.positions);
            w->ACG_Modbus_Read->SetCellEx(R_Format, 1, u"");
            w->Btn_OK->Click();
            if (c.shown) {
                ASSERT_EQ(dialogs.Shown.size(), 1u);
                EXPECT_EQ(dialogs.Shown[0].Text, u"Error row 1!! [Modbus Read] Select a Format SNMP from the list");
                w->ACG_Modbus_Read->SetCellEx(R_Format, 1, u"Int 8 bytes");
                w->Btn_OK->Click();
            }
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        EXPECT_EQ(dir.read("ModbusTCPM_SetAccess.xml").find("Format_SNMP") != std::string::npos, c.written);
    }
}

TEST_F(TcpMasterWindow, ScriptedEditsOfModel19AreSavedAsTheGoldenFile) {
    Model_Code = 19;
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MapType>1</SNMP_MapType></Par_Gen>");
    auto w = Make_Window<TFModbus_TCP_Master_Set_Access>();
    EXPECT_EQ(w->Caption(), u"Set Modbus TCP Master Access");
    EXPECT_EQ(w->ACG_Modbus_Write->Columns().Items(W_Swap)->Header(), u"Swap");
    EXPECT_EQ(w->ACG_Modbus_Write->Columns().Items(W_Swap_Word)->Header(), u"Swap Word");
    EXPECT_EQ(w->ACG_Modbus_Read->Columns().Items(IP)->Header(), u"Slave IP Address");
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_Modbus_Read;
        const char16_t* cells[] = {u"192.168.1.125", u"502", u"1", u"Input Register", u"30001", u"2", u"1000",
                                   u"3", u"4", u"0", u"N", u"Y", u"", u"level"};
        for (int c = 1; c <= 14; ++c) r->SetCellEx(c, 1, cells[c - 1]);
        // A row inserted before it and filled; its hidden format stays empty.
        r->SetRow(1);
        w->Btn_InsRow->Click();
        const char16_t* first[] = {u"0xC0.168.1.2", u"503", u"255", u"Coil Status", u"0", u"16", u"1"};
        for (int c = 1; c <= 7; ++c) r->SetCellEx(c, 1, first[c - 1]);
        r->SetCellEx(R_Max_Error, 1, u"0");
        r->SetCellEx(R_Position, 1, u"1022");
        r->SetCellEx(R_Bit, 1, u"0");
        TExColumnGrid* wr = w->ACG_Modbus_Write;
        const char16_t* wcells[] = {u"10.1.1.1", u"502", u"0", u"Holding Register", u"1", u"123", u"0", u"Y",
                                    u"2", u"0", u"", u"Y", u"N", u"Float to Int 8 bytes", u"out"};
        for (int c = 1; c <= 15; ++c) wr->SetCellEx(c, 1, wcells[c - 1]);
        // Delete Row acts on the grid of the active sheet and asks first.
        w->PageControl1->SetActivePage(w->TS_Modbus_Write);
        wr->SetRow(1);
        dialogs.AnswerBox(IDNO);
        w->Btn_DelRow->Click();
        EXPECT_EQ(wr->GetCellEx(IP, 1), u"10.1.1.1");
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Are you sure to delete the Row number 1");
    EXPECT_EQ(dir.read("ModbusTCPM_SetAccess.xml"), Golden("ModbusTCPM_SetAccess_19.xml"));
}
