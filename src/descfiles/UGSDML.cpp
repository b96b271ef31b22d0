#include "descfiles/UGSDML.h"

#include "descfiles/DescFile_Text.h"
#include "descfiles/UGSDML_Template.h"
#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ParGenFile.h"
#include "shell/ULanguage.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

int GSDML_Input_Len = 0;
int GSDML_Output_Len = 0;
String GSDML_Station_Name;
String GSDML_Input_Field;
String GSDML_Output_Field;

namespace {

// How a reader of the common scheme takes its values from "ParGen.xml".
struct TSize_Reader {
    const char16_t* Input_Key;
    const char16_t* Output_Key;
    int Default;
    const char16_t* Station_Default;  // null: the station name is not read
};

constexpr TSize_Reader CAN = {u"PROFINET_NB_OUT", u"PROFINET_NB_IN", 1438, u"SERIAL"};
constexpr TSize_Reader CANopen = {u"PROFINET_NB_OUT", u"PROFINET_NB_IN", 1440, u"SERIAL"};
constexpr TSize_Reader Serial = {u"PROFINET_NB_IN", u"PROFINET_NB_OUT", 500, u"SERIAL"};
constexpr TSize_Reader SNMP_Agent = {u"PROFINET_NB_IN", u"PROFINET_NB_OUT", 1024, u"SERIAL"};
constexpr TSize_Reader DeviceNet_Master = {u"PROFINET_NB_IN", u"PROFINET_NB_OUT", 1438, nullptr};
constexpr TSize_Reader DeviceNet_Slave = {u"DNETS_NB_OUT", u"DNETS_NB_IN", 455, nullptr};
constexpr TSize_Reader PROFIBUS_Slave = {u"PROFIBUS_SLAVE_NB_OUT", u"PROFIBUS_SLAVE_NB_IN", 0, nullptr};
constexpr TSize_Reader Modbus_Master = {u"MODBUS_MASTER_NB_OUT", u"MODBUS_MASTER_NB_IN", 512, u"SERIAL"};
constexpr TSize_Reader Modbus_Slave = {u"MODBUS_SLAVE_NB_OUT", u"MODBUS_SLAVE_NB_IN", 512, u"gx52826"};
constexpr TSize_Reader Modbus_TCP_Master = {u"MODBUS_TCP_MASTER_NB_OUT", u"MODBUS_TCP_MASTER_NB_IN", 512, nullptr};
constexpr TSize_Reader Modbus_TCP_Slave = {u"MODBUS_TCP_Slave_NB_OUT", u"MODBUS_TCP_Slave_NB_IN", 512, u"SERIAL"};
constexpr TSize_Reader EtherNetIP = {u"PROFINET_NB_OUT", u"PROFINET_NB_IN", 496, nullptr};
constexpr TSize_Reader Ethernet = {u"PROFINET_NB_OUT", u"PROFINET_NB_IN", 512, u"SERIAL"};

std::optional<TParGenFile> Load_ParGen() {
    if (!FileExists(Path_ParGen)) return std::nullopt;
    return TParGenFile::Load(Path_ParGen);
}

// The untrimmed name; a name that is blank once trimmed takes the default.
void Read_Station_Name(const std::optional<TParGenFile>& par, const char16_t* Default) {
    GSDML_Station_Name.clear();
    if (par) GSDML_Station_Name = par->Raw(u"PROFINET_NAME_STA").value_or(String());
    if (Trim(GSDML_Station_Name).empty()) GSDML_Station_Name = Default;
}

// Where each length comes from, for the message that refuses it.
void Set_Fields(const String& input, const String& output) {
    GSDML_Input_Field = input;
    GSDML_Output_Field = output;
}

void Read_Common(const TSize_Reader& r) {
    Set_Fields(r.Input_Key, r.Output_Key);
    GSDML_Input_Len = GSDML_Output_Len = r.Default;
    if (r.Station_Default) GSDML_Station_Name.clear();
    const std::optional<TParGenFile> par = Load_ParGen();
    if (par) {
        GSDML_Input_Len = Number_Or(par->Raw(r.Input_Key), r.Default);
        GSDML_Output_Len = Number_Or(par->Raw(r.Output_Key), r.Default);
    }
    if (r.Station_Default) Read_Station_Name(par, r.Station_Default);
}

int Clamp_Sum(Int64 sum) { return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : int(sum); }

bool Is_Y(const TXmlNode& row, const char16_t* attribute) {
    return UpperCase(Trim(row.AttributeOr(attribute, String()))) == u"Y";
}

// The row's TP_NByte; a value that does not read ends the generation when
// the row requires it, and counts as a full frame of 8 otherwise.
int Row_Bytes(const TXmlNode& row, bool required, const String& path, int n) {
    auto text = row.Attribute(u"TP_NByte");
    int value;
    if (text && Read_Number(*text, value)) return value;
    if (!required) return 8;
    throw EDescFileError(Lang_Message(1180, {IntToStr(n), path, text ? u"\"" + *text + u"\"" : Lang_Table[1174]}));
}

// Sum of the rows of a frame table; 0 without the file.
template <class Required>
Int64 Sum_Table(const String& path, Required required) {
    if (!FileExists(path)) return 0;
    TXmlDocument doc;
    doc.LoadFromFile(path);
    Int64 sum = 0;
    int n = 0;
    for (const TXmlNode& row : doc.DocumentElement().Children()) {
        ++n;
        sum += Row_Bytes(row, required(row), path, n);
    }
    return sum;
}

int At_Least_One(Int64 sum) { return sum == 0 ? 1 : Clamp_Sum(sum); }

}  // namespace

void Read_GSDML_Sizes_CAN() { Read_Common(CAN); }
void Read_GSDML_Sizes_CANopen() { Read_Common(CANopen); }
void Read_GSDML_Sizes_Serial() { Read_Common(Serial); }
void Read_GSDML_Sizes_SNMP_Agent() { Read_Common(SNMP_Agent); }
void Read_GSDML_Sizes_DeviceNet_Master() { Read_Common(DeviceNet_Master); }
void Read_GSDML_Sizes_DeviceNet_Slave() { Read_Common(DeviceNet_Slave); }
void Read_GSDML_Sizes_PROFIBUS_Slave() { Read_Common(PROFIBUS_Slave); }
void Read_GSDML_Sizes_Modbus_Master() { Read_Common(Modbus_Master); }
void Read_GSDML_Sizes_Modbus_TCP_Master() { Read_Common(Modbus_TCP_Master); }
void Read_GSDML_Sizes_Modbus_TCP_Slave() { Read_Common(Modbus_TCP_Slave); }
void Read_GSDML_Sizes_EtherNetIP() { Read_Common(EtherNetIP); }
void Read_GSDML_Sizes_Ethernet() { Read_Common(Ethernet); }

void Read_GSDML_Sizes_Modbus_Slave() {
    Set_Fields(Modbus_Slave.Input_Key, Modbus_Slave.Output_Key);
    GSDML_Input_Len = GSDML_Output_Len = Modbus_Slave.Default;
    const std::optional<TParGenFile> par = Load_ParGen();
    GSDML_Station_Name.clear();
    if (par) {
        GSDML_Input_Len = Number_Or(par->Raw(Modbus_Slave.Input_Key), Modbus_Slave.Default);
        GSDML_Output_Len = Number_Or(par->Raw(Modbus_Slave.Output_Key), Modbus_Slave.Default);
        GSDML_Station_Name = par->Raw(u"PROFINET_NAME_STA").value_or(String());
    }
    // Only an empty name takes the default: a name of blanks is kept.
    if (GSDML_Station_Name.empty()) GSDML_Station_Name = Modbus_Slave.Station_Default;
}

void Read_GSDML_Sizes_MBus() {
    Set_Fields(u"PROFINET_NB_OUT", String());
    GSDML_Input_Len = 0;
    GSDML_Output_Len = 4;  // the M-Bus master's four status bytes
    const std::optional<TParGenFile> par = Load_ParGen();
    // As the image takes the value: its low 16 bits, at most the 1439 bytes
    // that the converter's process image holds.
    constexpr int MBus_Max_Data_Size = 1439;
    if (par) GSDML_Input_Len = std::min(Number_Or(par->Raw(u"PROFINET_NB_OUT"), MBus_Max_Data_Size) & 0xFFFF,
                                        MBus_Max_Data_Size);
    if (GSDML_Input_Len == 0) GSDML_Input_Len = 1;
    Read_Station_Name(par, u"devicefl");
}

void Read_GSDML_Sizes_DMX() {
    Set_Fields(u"PROFINET_NB_OUT", u"PROFINET_NB_IN");
    GSDML_Input_Len = 1;
    GSDML_Output_Len = 512;
    const std::optional<TParGenFile> par = Load_ParGen();
    if (!par) return;
    // "0" is the IN direction: the converter sends the DMX data to the controller.
    if (par->Raw(u"DMX_TYPE").value_or(String()) == u"0") {
        GSDML_Input_Len = Number_Or(par->Raw(u"PROFINET_NB_OUT"), 512);
        GSDML_Output_Len = 1;
    } else {
        GSDML_Output_Len = Number_Or(par->Raw(u"PROFINET_NB_IN"), 512);
        GSDML_Input_Len = 1;
    }
}

void Read_GSDML_Sizes_J1939() {
    const Int64 in = Sum_Table(Path_J1939_Rec_Frames, [](const TXmlNode& row) { return Is_Y(row, u"TP"); });
    const Int64 out = Sum_Table(Path_J1939_Send_Frames, [](const TXmlNode&) { return false; });
    Set_Fields(u"TP_NByte of \"J1939_Rec_Frames.xml\"", u"TP_NByte of \"J1939_Send_Frames.xml\"");
    GSDML_Input_Len = At_Least_One(in);
    GSDML_Output_Len = At_Least_One(out);
    Read_Station_Name(Load_ParGen(), u"SERIAL");
}

void Read_GSDML_Sizes_NMEA2000() {
    Read_Station_Name(Load_ParGen(), u"SERIAL");
    const Int64 in = Sum_Table(Path_NMEA_Rec_Frames,
                               [](const TXmlNode& row) { return Is_Y(row, u"TP") || Is_Y(row, u"FP"); });
    const Int64 out = Sum_Table(Path_NMEA_Send_Frames, [](const TXmlNode&) { return true; });
    Set_Fields(u"TP_NByte of \"NMEA_Rec_Frames.xml\"", u"TP_NByte of \"NMEA_Send_Frames.xml\"");
    GSDML_Input_Len = At_Least_One(in);
    GSDML_Output_Len = At_Least_One(out);
}

String GSDML_Target_Path(const String& picked, const String& FileName) {
    return PathJoin(ExtractFileDir(picked), FileName);
}

namespace {

struct TGSDML_Dispatch {
    int Model;
    void (*Writer)(const String& Path);
};

// Model code -> template writer (each writer runs its own size reader).
const TGSDML_Dispatch GSDML_Dispatch[] = {
    {0, Write_GSDML_CAN},
    {27, Write_GSDML_CAN},
    {1, Write_GSDML_DeviceNet_Master},
    {2, Write_GSDML_DeviceNet_Slave},
    {3, Write_GSDML_PROFIBUS_Slave},
    {4, Write_GSDML_Modbus_Master},
    {25, Write_GSDML_Modbus_Master},
    {5, Write_GSDML_Modbus_Slave},
    {26, Write_GSDML_Modbus_Slave},
    {6, Write_GSDML_J1939_6},
    {7, Write_GSDML_NMEA2000_7},
    {8, Write_GSDML_CANopen_8},
    {9, Write_GSDML_Serial},
    {10, Write_GSDML_MBus},
    {11, Write_GSDML_Modbus_TCP_Master},
    {12, Write_GSDML_Modbus_TCP_Slave},
    {13, Write_GSDML_EtherNetIP},
    {14, Write_GSDML_J1939_14},
    {20, Write_GSDML_SNMP_Agent},
    {22, Write_GSDML_DMX},
    {29, Write_GSDML_DMX},
    {24, Write_GSDML_CANopen_24},
    {28, Write_GSDML_NMEA2000_28},
    {31, Write_GSDML_Ethernet},
};

}  // namespace

bool Write_GSDML_For_Model(const String& Path) {
    for (const TGSDML_Dispatch& d : GSDML_Dispatch) {
        if (d.Model == Model_Code) {
            d.Writer(Path);
            return true;
        }
    }
    return false;
}

void Create_GSDML_File(const String& FileName) {
    try {
        std::unique_ptr<TSaveDialog> save(new TSaveDialog(nullptr));
        save->InitialDir = Project_Dir;
        // One filter entry whose pattern is the composed name itself.
        save->Filter = u"PROFINET XML (*.xml)|" + FileName;
        save->FileName = FileName;
        if (!save->Execute()) return;
        const String path = GSDML_Target_Path(save->FileName, FileName);
        if (FileExists(path) && MessageDlg(Lang_Table[196], mtConfirmation, {mbYes, mbNo}) != mrYes) return;
        Write_GSDML_For_Model(path);
    } catch (const Exception& e) {
        Show_Desc_Error(e);
    }
}
