#pragma once
// The project's M-Bus network written from a scan: one node per meter of the
// result list, one variable per decoded record, into "M_Bus.xml" (a new file
// or appended to the existing one).

#include "framework/System.h"

#include <vector>

// What the scan window hands to the writers.
struct TSaveConfXML {
    int Append = 0;         // 1: add to the existing file
    int XML_Code_Dev = 0;   // scan device code: 11 model 10, 20 model 21
    int Mod_Start = 1;      // first value of the register counter
    int Index_Baud = 0;     // not written for codes 11 and 20
    int Index_Par = 0;      // not written for codes 11 and 20
    int Node_ID_Type = 0;   // 0 the scan went by primary address, 1 by secondary
    int SND_NKE = 0;
    int Reset_App = 0;
    int Cut_After = 3;      // most answer frames read from one meter
    int StartModnode = 0;   // 1: each meter's register counter starts from SMN_Array
    std::vector<int> SMN_Array;
    bool En_NodeState = false;  // not used for codes 11 and 20
    bool En_IdeNum = false;
    String File_Name;
};

// Both return false, touching nothing, when their result list is empty, and
// true once the file is written. A file that cannot be loaded (appending) or
// saved raises its error to the caller.
bool Save_XML_Conf_Wired(const TSaveConfXML& DataIn, bool Check_BCD);
bool Save_XML_Conf_Wireless(const TSaveConfXML& DataIn, bool Check_BCD);

// The network's data size code and the 16-bit registers a value takes, by the
// data field of the record (Length_Bytes for a variable-length one).
struct TMBus_Dim_Regs {
    int Dim;
    int Regs;
};
TMBus_Dim_Regs Dim_And_Registers(Byte DataField, int Length_Bytes);
