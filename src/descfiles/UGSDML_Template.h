#pragma once
// The GSDML document of each PROFINET model: one skeleton with the data-item
// lengths, the station text and the per-model identity and texts filled in.
// Each writer runs its model's size reader, builds the lines and saves them
// (UTF-8 with a byte-order mark, or ISO-8859-1 for the three templates that
// declare it; CR LF after every line).

#include "descfiles/DescFile_Text.h"
#include "framework/System.h"

#include <vector>

void Write_GSDML_CAN(const String& Path);
void Write_GSDML_DeviceNet_Master(const String& Path);
void Write_GSDML_DeviceNet_Slave(const String& Path);
void Write_GSDML_PROFIBUS_Slave(const String& Path);
void Write_GSDML_Modbus_Master(const String& Path);
void Write_GSDML_Modbus_Slave(const String& Path);
void Write_GSDML_J1939_6(const String& Path);
void Write_GSDML_NMEA2000_7(const String& Path);
void Write_GSDML_CANopen_8(const String& Path);
void Write_GSDML_Serial(const String& Path);
void Write_GSDML_MBus(const String& Path);
void Write_GSDML_Modbus_TCP_Master(const String& Path);
void Write_GSDML_Modbus_TCP_Slave(const String& Path);
void Write_GSDML_EtherNetIP(const String& Path);
void Write_GSDML_J1939_14(const String& Path);
void Write_GSDML_SNMP_Agent(const String& Path);
void Write_GSDML_DMX(const String& Path);
void Write_GSDML_CANopen_24(const String& Path);
void Write_GSDML_NMEA2000_28(const String& Path);
void Write_GSDML_Ethernet(const String& Path);

// True for the model codes that have a template.
bool GSDML_Has_Template(int model);
// The document's lines for Model_Code from the present lengths and station
// name (no size reader runs), and the encoding its file is saved in. A
// station name with a character that XML cannot carry raises EDescFileError.
std::vector<String> Build_GSDML_Lines();
TDescEncoding GSDML_Encoding();

// Text for an attribute value or element text: & < > " ' and tab, line feed
// and carriage return as references. Characters XML 1.0 cannot hold at all
// raise EDescFileError naming them.
String GSDML_Escape(const String& text);
