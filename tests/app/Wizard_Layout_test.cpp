#include "app/Wizard_Layout.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Rows 3 onward per model, written as the wizard shows them: rows split by
// ";", two buttons of one row joined by "+", the "Btn_" prefix left out.
// "Update Device" (CreateBin) closes every list.
const std::map<int, std::string> Rows_From_3 = {
    {0, "CAN_Rec_Frame+CAN_Rec_Info;CAN_Send_Frame+CAN_Send_Info;PROFINET_XML"},
    {27, "CAN_Rec_Frame+CAN_Rec_Info;CAN_Send_Frame+CAN_Send_Info;PROFINET_XML"},
    {1, "DNet_Net+DNet_Offset;PROFINET_XML"},
    {2, "PROFINET_XML"}, {5, "PROFINET_XML"}, {9, "PROFINET_XML"}, {12, "PROFINET_XML"},
    {13, "PROFINET_XML"}, {26, "PROFINET_XML"}, {31, "PROFINET_XML"},
    {3, "PROFINET_XML+PROFIBUS_GSD"},
    {4, "ModM_SetAccess;PROFINET_XML"}, {11, "ModM_SetAccess;PROFINET_XML"}, {25, "ModM_SetAccess;PROFINET_XML"},
    {6, "J1939_Rec_Frame;J1939_Send_Frame;PROFINET_XML"}, {14, "J1939_Rec_Frame;J1939_Send_Frame;PROFINET_XML"},
    {7, "NMEA_Rec_Frame;NMEA_Send_Frame;PROFINET_XML"}, {28, "NMEA_Rec_Frame;NMEA_Send_Frame;PROFINET_XML"},
    {8, "SDO_Server_CANopen;SDO_Client_CANopen;PDO_CANopen;NodeGuard_CANopen;ReStart_Devices_CANopen;"
        "PROFINET_XML+CANopen_EDS"},
    {10, "MBus;PROFINET_XML"},
    {15, "CAN_Rec_Frame+CAN_Rec_Info;CAN_Send_Frame+CAN_Send_Info;SNMP_Trap;SNMP_MIB"},
    {34, "CAN_Rec_Frame+CAN_Rec_Info;CAN_Send_Frame+CAN_Send_Info;SNMP_Trap;SNMP_MIB"},
    {16, "SNMP_Trap;SNMP_MIB"}, {17, "SNMP_Trap;SNMP_MIB"}, {35, "SNMP_Trap;SNMP_MIB"},
    {18, "ModM_SetAccess;SNMP_Trap;SNMP_MIB"}, {19, "ModM_SetAccess;SNMP_Trap;SNMP_MIB"},
    {30, "ModM_SetAccess;SNMP_Trap;SNMP_MIB"}, {1018, "ModM_SetAccess;SNMP_Trap;SNMP_MIB"},
    {20, "SNMP_Trap;PROFINET_XML;SNMP_MIB"},
    {21, "MBus;SNMP_Trap;SNMP_MIB"},
    {22, "DMX_Default;PROFINET_XML"}, {29, "DMX_Default;PROFINET_XML"},
    {23, "PROFIBUS_GSD"},
    {24, "SDO_Server_CANopen;SDO_Client_CANopen;PDO_CANopen;PROFINET_XML+CANopen_EDS"},
    {32, "J1939_Rec_Frame;J1939_Send_Frame;SNMP_Trap;SNMP_MIB"},
    {33, "SDO_Server_CANopen;SDO_Client_CANopen;PDO_CANopen;NodeGuard_CANopen;ReStart_Devices_CANopen;SNMP_Trap;"
         "SNMP_MIB+CANopen_EDS"},
    {2004, ""},
};

const std::map<int, int> Step_Counts = {
    {0, 6},  {1, 5},  {2, 4},  {3, 4},  {4, 5},  {5, 4},  {6, 6},  {7, 6},  {8, 9},  {9, 4},
    {10, 5}, {11, 5}, {12, 4}, {13, 4}, {14, 6}, {15, 7}, {16, 5}, {17, 5}, {18, 6}, {19, 6},
    {20, 6}, {21, 6}, {22, 5}, {23, 4}, {24, 7}, {25, 5}, {26, 4}, {27, 6}, {28, 6}, {29, 5},
    {30, 6}, {31, 4}, {32, 7}, {33, 10}, {34, 7}, {35, 5}, {1018, 6}, {2004, 3},
};

std::string Encode(int model) {
    std::string rows[11];
    for (const TWizard_Place& p : Wizard_Places(model)) {
        std::string name = StringToUtf8(p.Button).substr(4);
        EXPECT_EQ(p.Column == 2, !rows[p.Row].empty()) << model << " " << name;
        rows[p.Row] += (p.Column == 2 ? "+" : "") + name;
    }
    std::string s;
    for (int r = 1; r <= 10; ++r)
        if (!rows[r].empty())
            s += (s.empty() ? "" : ";") + rows[r];
    return s;
}

}  // namespace

TEST(WizardLayout, RowsPerModel) {
    ASSERT_EQ(Rows_From_3.size(), 38u);
    for (const auto& [model, rows] : Rows_From_3) {
        const std::string head = model == 2004 ? "Open;Prm_Gen" : "New+Open;Prm_Gen";
        EXPECT_EQ(Encode(model), head + (rows.empty() ? "" : ";" + rows) + ";CreateBin") << model;
        EXPECT_EQ(Wizard_Step_Count(model), Step_Counts.at(model)) << model;
    }
}

TEST(WizardLayout, WindowHeightFollowsTheLastStep) {
    EXPECT_EQ(Main_Client_Height(2004), 352);
    EXPECT_EQ(Main_Client_Height(33), 660);
    EXPECT_EQ(Wizard_Row_Top(10), 508);
    EXPECT_EQ(Wizard_Step_Label_Top(1), 128);
}
