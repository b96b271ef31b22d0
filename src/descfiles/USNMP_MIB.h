#pragma once
// The SNMP MIB module of the SNMP-agent models: a fixed header and object
// tree under the maker's enterprise node, one object per enabled row of the
// read and write maps of "SNMP_Trap.xml", one notification per enabled read
// row.

#include "framework/System.h"

#include <vector>

// Entry n: the n-th enabled row (from 0) of the read, resp. write, map has
// the type "INT". As many entries as the lists (SNMP_MIB_Read_List and
// SNMP_MIB_Write_List of the shell) have.
extern std::vector<bool> MIB_Read_Is_Int;
extern std::vector<bool> MIB_Write_Is_Int;

// The wizard's "SNMP MIB" step: asks for the file, asks text 1103 before
// replacing one, reads the maps and writes the module. Cancel or No writes
// nothing; a failure is shown in an error box and writes nothing.
void Create_MIB_File();

// Refills the two lists and flag arrays from the project's "SNMP_Trap.xml"
// (both empty without it). Model 21 reads no write map. Raises
// EDescFileError for a file without its table elements or with an enabled
// row whose description cannot name a MIB object (the message names the row
// and the rule), EXmlError for a malformed one.
void Read_SNMP_Trap_For_MIB();

// Why a map row's description cannot name its object in the module: it is
// (upper and lower case alike) a name the module gives one of its own nodes
// or objects, or one it makes from a row's position ("countin",
// "bufferinval2", "trapval7"). Empty when it can.
String MIB_Name_Clash(const String& description);

// The module's lines from the lists and flags. A description holding a
// double quote or a control character raises EDescFileError: it would end
// the quoted text early; so does one that MIB_Name_Clash refuses or that
// names another enabled row too.
std::vector<String> Build_MIB_Lines();
// Writes them to FileName (Windows-1252, CR LF), replacing the file.
void Write_MIB_File(const String& FileName);
