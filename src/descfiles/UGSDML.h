#pragma once
// The PROFINET GSDML generator: asks for the folder, confirms overwriting,
// reads the lengths of the PROFINET data items from the project and has the
// model's template (UGSDML_Template) write the document.

#include "framework/System.h"

// Lengths of the module's Input item (data the converter sends to the
// PROFINET controller) and Output item, and the station text of the
// templates that write it; every generation sets them first.
extern int GSDML_Input_Len;
extern int GSDML_Output_Len;
extern String GSDML_Station_Name;
// Where the reader took each length from (a key of "ParGen.xml", or the
// byte counts of a frame table), for the message that refuses a length the
// bus cannot carry.
extern String GSDML_Input_Field;
extern String GSDML_Output_Field;

// FileName: the bare name composed by the file-name dialog. Asks for the
// folder (the name picked there counts only for its folder), asks text 196
// before replacing a file, then writes the model's document. Cancel or No
// writes nothing; a failure is shown in an error box and writes nothing.
void Create_GSDML_File(const String& FileName);

// The file the generator writes: the folder of the file picked in the save
// dialog, and the composed name.
String GSDML_Target_Path(const String& picked, const String& FileName);

// Size readers. Each sets both lengths and, where it reads it, the station
// name. A missing "ParGen.xml" or frame table gives the reader's defaults;
// a malformed one raises EXmlError; a frame row whose required TP_NByte does
// not read raises EDescFileError.
void Read_GSDML_Sizes_CAN();
void Read_GSDML_Sizes_CANopen();
void Read_GSDML_Sizes_Serial();
void Read_GSDML_Sizes_SNMP_Agent();
void Read_GSDML_Sizes_DeviceNet_Master();
void Read_GSDML_Sizes_DeviceNet_Slave();
void Read_GSDML_Sizes_PROFIBUS_Slave();
void Read_GSDML_Sizes_Modbus_Master();
void Read_GSDML_Sizes_Modbus_Slave();
void Read_GSDML_Sizes_Modbus_TCP_Master();
void Read_GSDML_Sizes_Modbus_TCP_Slave();
void Read_GSDML_Sizes_EtherNetIP();
void Read_GSDML_Sizes_Ethernet();
void Read_GSDML_Sizes_MBus();
void Read_GSDML_Sizes_DMX();
void Read_GSDML_Sizes_J1939();
void Read_GSDML_Sizes_NMEA2000();

// The model's size reader and template writer for Model_Code; false, with
// nothing written, for a model without a template.
bool Write_GSDML_For_Model(const String& Path);
