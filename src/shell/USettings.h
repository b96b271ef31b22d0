#pragma once
// The settings kept between runs in "Bridgeform.xml" beside the executable:
// the last project, the last converter address, the language and the four
// option flags.

#include "framework/System.h"

constexpr const char16_t* Default_IP_Address = u"192.168.2.205";

// Exe_Dir + "/Bridgeform.xml".
String Settings_File_Name();

// Reads the settings into the globals. A missing file, a missing element or a
// file that cannot be parsed gives the defaults (each setting on its own),
// without a message; an unparsable file stays on disk until the next save.
void Read_Settings();

// Writes the file whole from the globals (atomically: a failed write leaves
// the old file and raises EFCreateError).
void Save_Setting();
