#pragma once
// The result of a scan as an XML file: every meter found with every decoded
// record, as the scan window shows them. Written at the end of a scan only
// when its caller named a path. A file that cannot be written raises the XML
// service's error (EFCreateError); the old file stays.

#include "framework/System.h"

// The wired meters of MBus_Slave_List, root "SCAN_M-Bus_Wired".
void Save_XML_File_DLL(const String& Path);
// The wireless meters of WMBus_Slave_List, root "SCAN_M-Bus_Wireless", read
// under the list's lock.
void Save_Wireless_XML_File_DLL(const String& Path);
