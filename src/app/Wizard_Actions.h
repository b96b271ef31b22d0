#pragma once
// The parts of the wizard's actions that read project files: whether the
// SNMP access table and the MIB can be edited, which follows the SNMP map
// chosen in the general parameters.

#include "framework/System.h"

// Models 18, 19, 30 and 1018. The map type: 1 without a general-parameters
// file; for 18 and 19 the number in "SNMP_MapType" (0 when missing or not a
// number). Raises EXmlError when the file is not well-formed.
int Read_SNMP_Map_Type();
// Model 21: 1 when "SNMP_MAP" names the variable map, else 0 (also without
// a file). Raises EXmlError when the file is not well-formed.
int Read_SNMP_Map();
// Whether "Set SNMP Access" and "SNMP MIB" are enabled for the value read:
// always for 30 and 1018, otherwise exactly when it is 1.
bool SNMP_Buttons_Enabled(int mapValue);
