#pragma once
// The update step after the images: the job file "Ethernet_Update.xml" that
// tells the external updater which firmware or bank file goes to which flash
// address of which processor, and the updater program with its command line.
// (The update dialog that pings the converter and starts the updater joins
// this unit; these routines are what it runs.)

#include "framework/System.h"
#include "image/ImageError.h"

#include <string>

class TXmlDocument;

// The dialog's four check boxes.
struct TUpdate_Options {
    bool Firmware = true;   // CB_Firmware
    bool Read_Firm = true;  // CB_Read_Firm
    bool Conf = true;       // CB_Conf
    bool Read_Conf = true;  // CB_Read_Conf
};

struct TUpdate_Context {
    int Model_Code = 0;
    String IP_Address;  // the four octet fields joined with "." exactly as typed
    String Exe_Dir, Master_Dir, Project_Dir;
    TUpdate_Options Options;
    int map_type_809 = 1;  // SNMP map type of models 16..19 (Get_Map_Type_809)

    // Model_Code and the folders of the shell.
    static TUpdate_Context From_Globals(const String& ipAddress, const TUpdate_Options& options);
};

// The fixed identity codes of the converter processors ("0x" and upper-case
// hexadecimal digits), per model that takes a job; nullptr where the model
// names no such processor. Listed in the README.
struct TProcessor_Identity {
    int Model_Code;
    const char16_t* Main;
    const char16_t* Second;
};
const TProcessor_Identity* Find_Processor_Identity(int modelCode);

// The name at the head of the job's title: the maker's web site, or the
// partner company for the partner variants 1018 and 2004. Listed in the README.
String Update_Title_Name(int modelCode);

// False for the models with their own updater (1, 2, 3, 5, 7, 14, 22, 23, 24).
bool Writes_Update_Job(int modelCode);

// The job tree of each writer, into doc (cleared first).
void Compile_XML_Parameter(TXmlDocument& doc, const TUpdate_Context& ctx);
void Compile_XML_Parameter_802(TXmlDocument& doc, const TUpdate_Context& ctx);
void Compile_XML_Parameter_New_Boot(TXmlDocument& doc, const TUpdate_Context& ctx);

// The job of the model's writer as the bytes of the file.
std::string Update_Job_Text(const TUpdate_Context& ctx);
// Writes Exe_Dir + "/Ethernet_Update.xml" atomically. EImageError when the
// model takes no job or the file cannot be written; the updater must then
// not be started.
void Write_Update_Job(const TUpdate_Context& ctx);

// 1 for models 1018 and 30 and when "ParGen.xml" does not exist; otherwise
// the number in its "SNMP_MapType" (0 when missing or not a number).
int Get_Map_Type_809(int modelCode, const String& pathParGen);

// The program to start and its command line (empty for the job models).
struct TUpdater_Call {
    String Program;
    String Parameters;
};
TUpdater_Call Updater_Call(const TUpdate_Context& ctx);

// The firmware file name in the "MASTER" folder, looked up without regard to
// letter case; the name as given when no file matches.
String Find_Master_File(const String& masterDir, const String& name);
