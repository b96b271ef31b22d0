#include "shell/Globals.h"

int Model_Code = 4;

const String& TLang_Table::operator[](int index) const {
    static const String none;
    if (index < 0 || index >= Count())
        return none;
    return texts_[static_cast<std::size_t>(index)];
}

void TLang_Table::Set(int index, String text) {
    if (index >= 0 && index < Count())
        texts_[static_cast<std::size_t>(index)] = std::move(text);
}

TLang_Table Lang_Table;
int Lang_Table_Size = 0;

String Project_Name;
String Project_Dir;
String Projects_Dir;
String Exe_Dir;
String Master_Dir;
String Language_Dir;
String Main_Caption;
String SW_Code;
String SW_Title;
String Last_IP_Address;
String Language_Name;
bool Opt_Enable_Internet = false;
bool Opt_Enable_Update = false;
bool Opt_Jump_Field_Tables = false;
bool Opt_Double_Click_Auto_Size = false;

String Path_ParGen;
String Path_CAN_Rec_Frames;
String Path_CAN_Send_Frames;
String Path_CAN_Rec_Info;
String Path_CAN_Send_Info;
String Path_DNETM_Net;
String Path_DNETM_DefOff;
String Path_ModbusM_SetAccess;
String Path_J1939_Rec_Frames;
String Path_J1939_Send_Frames;
String Path_NMEA_Rec_Frames;
String Path_NMEA_Send_Frames;
String Path_SDO_Server_CANopen;
String Path_SDO_Client_CANopen;
String Path_PDO_CANopen;
String Path_ReStart_CANopen;
String Path_NodeGuard;
String Path_M_Bus;
String Path_ModbusTCPM_SetAccess;
String Path_DMX_Default_Values;
String Path_SNMP_Trap;

std::vector<String> Row_Clipboard;
std::vector<TObject*> MBus_Slave_List;
std::vector<TObject*> WMBus_Slave_List;
std::vector<String> SNMP_MIB_Read_List;
std::vector<String> SNMP_MIB_Write_List;
