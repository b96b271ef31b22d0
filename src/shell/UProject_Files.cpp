#include "shell/UProject_Files.h"

#include "framework/Files.h"
#include "shell/Globals.h"

#include <algorithm>

const std::vector<TProject_File>& Project_Files() {
    static const std::vector<TProject_File> files = {
        {&Path_ParGen, u"ParGen.xml", {}},
        {&Path_CAN_Rec_Frames, u"CAN_Rec_Frames.xml", {0, 15, 27, 34}},
        {&Path_CAN_Send_Frames, u"CAN_Send_Frames.xml", {0, 15, 27, 34}},
        {&Path_CAN_Rec_Info, u"CAN_Rec_Info.xml", {0, 15, 27, 34}},
        {&Path_CAN_Send_Info, u"CAN_Send_Info.xml", {0, 15, 27, 34}},
        {&Path_DNETM_Net, u"DNETM_Net.xml", {1}},
        {&Path_DNETM_DefOff, u"DNETM_DefOff.xml", {1}},
        {&Path_ModbusM_SetAccess, u"ModbusM_SetAccess.xml", {4, 18, 25, 30, 1018, 2004}},
        {&Path_J1939_Rec_Frames, u"J1939_Rec_Frames.xml", {6, 14, 32}},
        {&Path_J1939_Send_Frames, u"J1939_Send_Frames.xml", {6, 14, 32}},
        {&Path_NMEA_Rec_Frames, u"NMEA_Rec_Frames.xml", {7, 28}},
        {&Path_NMEA_Send_Frames, u"NMEA_Send_Frames.xml", {7, 28}},
        {&Path_SDO_Server_CANopen, u"SDO_Server_CANopen.xml", {8, 24, 33}},
        {&Path_SDO_Client_CANopen, u"SDO_Client_CANopen.xml", {8, 24, 33}},
        {&Path_PDO_CANopen, u"PDO_CANopen.xml", {8, 24, 33}},
        {&Path_ReStart_CANopen, u"ReStart_CANopen.xml", {8, 24, 33}},
        {&Path_NodeGuard, u"NodeGuard.xml", {8, 24, 33}},
        {&Path_M_Bus, u"M_Bus.xml", {10, 21}},
        {&Path_ModbusTCPM_SetAccess, u"ModbusTCPM_SetAccess.xml", {11, 19}},
        {&Path_DMX_Default_Values, u"DMX_Default_Values.xml", {22, 29}},
        {&Path_SNMP_Trap, u"SNMP_Trap.xml", {}},
    };
    return files;
}

void Set_Program_Folders(const String& exeDir) {
    Exe_Dir = exeDir;
    Master_Dir = PathJoin(Exe_Dir, u"MASTER");
    Projects_Dir = PathJoin(Exe_Dir, u"PROJECTS");
    Language_Dir = PathJoin(Exe_Dir, u"LANGUAGE");
    for (const String* dir : {&Master_Dir, &Projects_Dir, &Language_Dir})
        if (!DirectoryExists(*dir))
            CreateDir(*dir);
}

String Project_Folder(const String& name) { return Projects_Dir + u"/" + name; }

bool Is_Plain_Project_Name(const String& name) {
    return !name.empty() && name != u"." && name != u".." && name.find_first_of(u"/\\") == String::npos;
}

void Reopen_Last_Project() {
    // The settings file may have been edited by hand: a name that is not a
    // plain folder name opens no project.
    if (Is_Plain_Project_Name(Project_Name) && DirectoryExists(Project_Folder(Project_Name)))
        Project_Dir = Project_Folder(Project_Name);
    else
        Project_Dir.clear();
}

void Open_Project_Named(const String& name) {
    Project_Name = name;
    Project_Dir = name.empty() ? String() : Project_Folder(name);
    Set_Files();
}

void Set_Files() {
    for (const TProject_File& file : Project_Files()) {
        const bool used = file.Models.empty() ||
                          std::find(file.Models.begin(), file.Models.end(), Model_Code) != file.Models.end();
        // A path the model does not use is never set.
        if (used)
            *file.Path = Project_Dir + u"/" + file.File_Name;
    }
}
