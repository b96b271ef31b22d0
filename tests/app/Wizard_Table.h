#pragma once
// The wizard rows of every model as the person sees them, written down once
// for the layout and the window tests: rows 3 onward split by ";", the two
// buttons of one row joined by "+", the "Btn_" prefix left out. Every model
// starts with "New+Open;Prm_Gen" (2004: "Open;Prm_Gen") and ends with
// "CreateBin".

#include <map>
#include <sstream>
#include <string>
#include <vector>

inline const std::map<int, std::string> Rows_From_3 = {
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

// Every button the wizard may place.
inline const char* const All_Wizard_Buttons[] = {
    "Btn_New", "Btn_Open", "Btn_Prm_Gen", "Btn_CreateBin", "Btn_PROFINET_XML", "Btn_CAN_Rec_Frame",
    "Btn_CAN_Send_Frame", "Btn_CAN_Rec_Info", "Btn_CAN_Send_Info", "Btn_DNet_Net", "Btn_DNet_Offset",
    "Btn_ModM_SetAccess", "Btn_J1939_Rec_Frame", "Btn_J1939_Send_Frame", "Btn_NMEA_Rec_Frame",
    "Btn_NMEA_Send_Frame", "Btn_SDO_Server_CANopen", "Btn_SDO_Client_CANopen", "Btn_PDO_CANopen", "Btn_MBus",
    "Btn_PROFIBUS_GSD", "Btn_CANopen_EDS", "Btn_DMX_Default", "Btn_SNMP_Trap", "Btn_SNMP_MIB",
    "Btn_ReStart_Devices_CANopen", "Btn_NodeGuard_CANopen",
};

inline std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}
