#pragma once
// Program-wide state of the configurator that every subsystem reads. The shell
// sets it at start (folders, settings, model strings, texts) and whenever a
// project is opened or created (project name, folder and file paths).

#include "framework/System.h"

#include <vector>

// The converter model this build serves (0..35, 1018, 2004). The executable
// sets it before anything else runs; tests set it to cover every model.
extern int Model_Code;

// The user-interface texts by index (0..1999): the built-in English texts
// overridden from the chosen language file. Reading an index outside the
// table gives an empty text rather than undefined behaviour.
class TLang_Table {
public:
    const String& operator[](int index) const;
    int Count() const { return static_cast<int>(texts_.size()); }
    void Clear() { texts_.clear(); }
    void Add(String text) { texts_.push_back(std::move(text)); }
    // Replaces entry index; an index outside the table is ignored.
    void Set(int index, String text);

private:
    std::vector<String> texts_;
};
extern TLang_Table Lang_Table;
extern int Lang_Table_Size;  // 2000 once the defaults are loaded

// The open project; an empty Project_Dir means that no project is open.
extern String Project_Name;
extern String Project_Dir;

// The executable's folder (no trailing separator) and its sub-folders.
extern String Projects_Dir;
extern String Exe_Dir;
extern String Master_Dir;
extern String Language_Dir;

// Window caption, software code and converter title of the model.
extern String Main_Caption;
extern String SW_Code;
extern String SW_Title;

// Settings kept between runs in "Bridgeform.xml".
extern String Last_IP_Address;
extern String Language_Name;
extern bool Opt_Enable_Internet;
extern bool Opt_Enable_Update;
extern bool Opt_Jump_Field_Tables;
extern bool Opt_Double_Click_Auto_Size;

// Full path of each project file; a path the model does not use stays empty.
extern String Path_ParGen;
extern String Path_CAN_Rec_Frames;
extern String Path_CAN_Send_Frames;
extern String Path_CAN_Rec_Info;
extern String Path_CAN_Send_Info;
extern String Path_DNETM_Net;
extern String Path_DNETM_DefOff;
extern String Path_ModbusM_SetAccess;
extern String Path_J1939_Rec_Frames;
extern String Path_J1939_Send_Frames;
extern String Path_NMEA_Rec_Frames;
extern String Path_NMEA_Send_Frames;
extern String Path_SDO_Server_CANopen;
extern String Path_SDO_Client_CANopen;
extern String Path_PDO_CANopen;
extern String Path_ReStart_CANopen;
extern String Path_NodeGuard;
extern String Path_M_Bus;
extern String Path_ModbusTCPM_SetAccess;
extern String Path_DMX_Default_Values;
extern String Path_SNMP_Trap;

// The cells (columns 1 onward) of the grid row copied last, in any grid.
extern std::vector<String> Row_Clipboard;

// Wired and wireless M-Bus meters found by the last scan. The M-Bus subsystem
// creates, owns and frees the elements; the shell only holds the lists.
extern std::vector<TObject*> MBus_Slave_List;
extern std::vector<TObject*> WMBus_Slave_List;

// Working lists of the MIB writer.
extern std::vector<String> SNMP_MIB_Read_List;
extern std::vector<String> SNMP_MIB_Write_List;
