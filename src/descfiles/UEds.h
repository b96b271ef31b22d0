#pragma once
// The CANopen electronic data sheet (EDS 4.0) of the CANopen models (8, 24,
// 33): fixed communication objects, one receive and one transmit PDO per row
// of "PDO_CANopen.xml" with their mapping and data objects, and one
// manufacturer object per object index of "SDO_Server_CANopen.xml".

#include "framework/DateUtils.h"
#include "framework/System.h"

#include <vector>

struct SDO_Sub_Type {
    Byte Sub = 0;       // sub-index
    Byte Quantity = 0;  // size in bytes (1, 2, else 4)
    bool Readonly = false;
    String Mnemonic;    // always empty here
};

struct SDO_Index {
    Word Index = 0;
    std::vector<SDO_Sub_Type> Sub_Indexs;
};

struct TEDS_PDO {
    int COB_ID = 0;
    int Dimension = 8;
};

// One element per distinct object index, in order of first appearance (the
// read table's rows first). A sub-index met twice is one entry, read-write
// when either row is a write.
extern std::vector<SDO_Index> EDS_SDO_List;
// As many entries as the file has rows.
extern std::vector<TEDS_PDO> EDS_RPDO_Table;
extern std::vector<TEDS_PDO> EDS_TPDO_Table;
extern int EDS_RPDO_Count;
extern int EDS_TPDO_Count;

extern String EDS_File_Name;
extern String EDS_Description;
extern String EDS_Product_Number;
extern String EDS_Order_Code;

// Reads the project's PDO and SDO tables and writes the data sheet, dated
// by one reading of the clock (Now), to FileName (Windows-1252, CR LF),
// replacing it. Raises EDescFileError for an
// SDO row whose Index, SubIndex or NByte does not read, a PDO Dimension
// outside 1..8, a table file without its table elements, or two objects of
// the same index; EXmlError for a malformed table file; EFCreateError when
// the file cannot be written. Nothing is written then.
void Write_EDS_File(const String& FileName);

void Read_PDO_CANopen();
void Read_SDO_Server_CANopen();
// Position in EDS_SDO_List of the element with that Index, or -1.
int Find_SDO_Index(int Index);
void Sort_SDO_Sub_Indexs();

// "12-09-2026" and "03:07PM" (12-hour clock: 12:30 is 12:30PM, 00:05 is 12:05AM).
String EDS_Date_Text(TDateTime t);
String EDS_Time_Text(TDateTime t);

// The identity strings for Model_Code, the tables read, the lines built.
std::vector<String> Build_EDS_Lines(TDateTime now);
