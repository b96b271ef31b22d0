#include "descfiles/UEds.h"

#include "descfiles/DescFile_Text.h"
#include "descfiles/Maker_Identity.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <algorithm>
#include <climits>
#include <set>

std::vector<SDO_Index> EDS_SDO_List;
std::vector<TEDS_PDO> EDS_RPDO_Table;
std::vector<TEDS_PDO> EDS_TPDO_Table;
int EDS_RPDO_Count = 0;
int EDS_TPDO_Count = 0;
String EDS_File_Name;
String EDS_Description;
String EDS_Product_Number;
String EDS_Order_Code;

namespace {

// Name prefixes of the data bytes of receive and transmit PDO i.
const char16_t* const EDS_RPDO_Var_Names[30] = {
    u"b",  u"c",  u"d",  u"e",  u"f",  u"g",  u"h",  u"j",  u"k",  u"i",  u"aa", u"ab", u"ac", u"ad", u"ae",
    u"af", u"ag", u"ah", u"ai", u"al", u"am", u"an", u"ao", u"ap", u"aq", u"ar", u"as", u"at", u"au", u"av"};
const char16_t* const EDS_TPDO_Var_Names[30] = {
    u"l",  u"m",  u"n",  u"o",  u"p",  u"q",  u"r",  u"s",  u"t",  u"u",  u"ca", u"cb", u"cc", u"cd", u"ce",
    u"cf", u"cg", u"ch", u"ci", u"cl", u"cm", u"cn", u"co", u"cp", u"cq", u"cr", u"cs", u"ct", u"cu", u"cv"};

// Rows past the editor's 30 get names of their own that cannot meet the
// table's ("rx31_1", "tx31_1").
String Var_Name(const char16_t* const (&names)[30], const char16_t* prefix, int i) {
    if (i < 30) return names[i];
    return prefix + IntToStr(i + 1) + u"_";
}

struct TEDS_Identity {
    int Model;  // -1: every other model
    const char16_t* File_Name;
    const char16_t* Description;
    const char16_t* Product_Number;
    const char16_t* Order_Code;
};

const TEDS_Identity EDS_Identities[] = {
    {24, u"PROFINET_CANopen.eds", u"Converter PROFINET / CANopen", u"817", u"GX52817"},
    {33, u"CANopen_SNMP_Agent.eds", u"Converter CANopen / SNMP Agent", u"805", u"GX52805"},
    {-1, u"PROFINET_CANopen.eds", u"Converter PROFINET / CANopen", u"830", u"GX52830"},
};

void Set_Identity() {
    for (const TEDS_Identity& id : EDS_Identities) {
        if (id.Model == Model_Code || id.Model == -1) {
            EDS_File_Name = id.File_Name;
            EDS_Description = id.Description;
            EDS_Product_Number = id.Product_Number;
            EDS_Order_Code = id.Order_Code;
            return;
        }
    }
}

String H2(int x) { return IntToHex(x, 2); }
String H4(int x) { return IntToHex(x, 4); }
String H8(int x) { return IntToHex(x, 8); }

// The table element of a table file; its absence ends the generation.
TXmlNode Table_Element(const TXmlNode& root, const char16_t* name, const String& path) {
    TXmlNode table = root.ChildNode(name);
    if (!table)
        throw EDescFileError(Lang_Message(1171, {path, name}));
    return table;
}

void Read_PDO_Table(const TXmlNode& table, const char16_t* name, std::vector<TEDS_PDO>& rows) {
    rows.clear();
    int n = 0;
    for (const TXmlNode& row : table.Children()) {
        ++n;
        TEDS_PDO pdo;
        pdo.COB_ID = Number_Or(row.Attribute(u"COB-ID"), 0);
        pdo.Dimension = Number_Or(row.Attribute(u"Dimension"), 8);
        // A PDO carries at most 8 bytes; other sizes would map sub-indexes
        // that the data objects do not have.
        if (pdo.Dimension < 1 || pdo.Dimension > 8)
            throw EDescFileError(Lang_Message(1172, {IntToStr(n), name, IntToStr(pdo.Dimension)}));
        rows.push_back(pdo);
    }
}

int Required_Number(const TXmlNode& row, const char16_t* attribute, const char16_t* table, int n, int low, int high) {
    auto text = row.Attribute(attribute);
    int value;
    if (!text || !Read_Number(*text, value) || value < low || value > high) {
        const String what = text ? u"\"" + *text + u"\"" : Lang_Table[1174];
        throw EDescFileError(Lang_Message(1173, {IntToStr(n), table, attribute, what, IntToStr(low), IntToStr(high)}));
    }
    return value;
}

void Read_SDO_Table(const TXmlNode& table, const char16_t* name, bool readonly) {
    int n = 0;
    for (const TXmlNode& row : table.Children()) {
        ++n;
        const int index = Required_Number(row, u"Index", name, n, 0, 0xFFFF);
        const int sub = Required_Number(row, u"SubIndex", name, n, 0, 255);
        const int nbyte = Required_Number(row, u"NByte", name, n, INT_MIN, INT_MAX);
        SDO_Sub_Type entry;
        entry.Sub = Byte(sub);
        entry.Quantity = Byte(nbyte == 1 || nbyte == 2 ? nbyte : 4);
        entry.Readonly = readonly;
        const int at = Find_SDO_Index(index);
        if (at < 0) {
            EDS_SDO_List.push_back({Word(index), {entry}});
            continue;
        }
        // One entry per sub-index: the data sheet may not hold a section twice.
        bool merged = false;
        for (SDO_Sub_Type& s : EDS_SDO_List[at].Sub_Indexs) {
            if (s.Sub == entry.Sub) {
                s.Readonly = s.Readonly && readonly;
                merged = true;
                break;
            }
        }
        if (!merged) EDS_SDO_List[at].Sub_Indexs.push_back(entry);
    }
}

// Key lines of one variable or sub-entry.
void Var(std::vector<String>& l, const String& section, const String& name, const String& object_type,
         const String& data_type, const String& access, const String& default_value, const String& pdo_mapping = u"0") {
    l.push_back(u"[" + section + u"]");
    l.push_back(u"ParameterName=" + name);
    l.push_back(u"ObjectType=" + object_type);
    l.push_back(u"DataType=" + data_type);
    l.push_back(u"AccessType=" + access);
    if (!default_value.empty()) l.push_back(u"DefaultValue=" + default_value);
    l.push_back(u"PDOMapping=" + pdo_mapping);
    l.push_back(String());
}

void Header(std::vector<String>& l, const String& section, int sub_number, const String& name, const String& object_type) {
    l.push_back(u"[" + section + u"]");
    l.push_back(u"SubNumber=" + IntToStr(sub_number));
    l.push_back(u"ParameterName=" + name);
    l.push_back(u"ObjectType=" + object_type);
    l.push_back(String());
}

String Sub_Section(int object, int sub) { return H4(object) + u"sub" + IntToHex(sub, 1); }

// Every object index the sheet will hold, so that a clash is refused before
// two sections of one name are written.
void Check_Unique_Objects() {
    std::set<int> seen;
    auto claim = [&seen](int object, const String& what) {
        if (!seen.insert(object).second)
            throw EDescFileError(Lang_Message(1175, {H4(object), what}));
    };
    for (int fixed : {0x1000, 0x1001, 0x1005, 0x1006, 0x1008, 0x1014, 0x1016, 0x1017, 0x1018, 0x1029, 0x1280})
        claim(fixed, Lang_Table[1176]);
    for (int i = 0; i < EDS_RPDO_Count; ++i) {
        claim(0x1400 + i, Lang_Message(1177, {IntToStr(i + 1)}));
        claim(0x1600 + i, Lang_Message(1177, {IntToStr(i + 1)}));
        claim(0x7000 + i, Lang_Message(1177, {IntToStr(i + 1)}));
    }
    for (int i = 0; i < EDS_TPDO_Count; ++i) {
        claim(0x1800 + i, Lang_Message(1178, {IntToStr(i + 1)}));
        claim(0x1A00 + i, Lang_Message(1178, {IntToStr(i + 1)}));
        claim(0x7050 + i, Lang_Message(1178, {IntToStr(i + 1)}));
    }
    for (const SDO_Index& sdo : EDS_SDO_List) claim(sdo.Index, Lang_Table[1179]);
}

}  // namespace

void Read_PDO_CANopen() {
    EDS_RPDO_Count = EDS_TPDO_Count = 0;
    EDS_RPDO_Table.clear();
    EDS_TPDO_Table.clear();
    if (!FileExists(Path_PDO_CANopen)) return;
    TXmlDocument doc;
    doc.LoadFromFile(Path_PDO_CANopen);
    TXmlNode root = doc.DocumentElement();
    Read_PDO_Table(Table_Element(root, u"Receive_PDO", Path_PDO_CANopen), u"Receive_PDO", EDS_RPDO_Table);
    Read_PDO_Table(Table_Element(root, u"Transmit_PDO", Path_PDO_CANopen), u"Transmit_PDO", EDS_TPDO_Table);
    EDS_RPDO_Count = int(EDS_RPDO_Table.size());
    EDS_TPDO_Count = int(EDS_TPDO_Table.size());
}

void Read_SDO_Server_CANopen() {
    if (!FileExists(Path_SDO_Server_CANopen)) return;
    TXmlDocument doc;
    doc.LoadFromFile(Path_SDO_Server_CANopen);
    TXmlNode root = doc.DocumentElement();
    Read_SDO_Table(Table_Element(root, u"SDO_Read", Path_SDO_Server_CANopen), u"SDO_Read", true);
    Read_SDO_Table(Table_Element(root, u"SDO_Write", Path_SDO_Server_CANopen), u"SDO_Write", false);
}

int Find_SDO_Index(int Index) {
    for (size_t i = 0; i < EDS_SDO_List.size(); ++i)
        if (EDS_SDO_List[i].Index == Index) return int(i);
    return -1;
}

void Sort_SDO_Sub_Indexs() {
    // Exchange passes until none is needed: equal sub-indexes keep their order.
    for (SDO_Index& element : EDS_SDO_List) {
        auto& subs = element.Sub_Indexs;
        bool exchanged = true;
        while (exchanged) {
            exchanged = false;
            for (size_t i = 1; i < subs.size(); ++i) {
                if (subs[i - 1].Sub > subs[i].Sub) {
                    std::swap(subs[i - 1], subs[i]);
                    exchanged = true;
                }
            }
        }
    }
}

String EDS_Date_Text(TDateTime t) { return FormatDateTime(u"mm\"-\"dd\"-\"yyyy", t); }

String EDS_Time_Text(TDateTime t) {
    Word hour, minute, second, msec;
    DecodeTime(t, hour, minute, second, msec);
    const int h12 = hour % 12 == 0 ? 12 : hour % 12;
    return Format(u"%.2d:%.2d", {h12, int(minute)}) + (hour < 12 ? u"AM" : u"PM");
}

std::vector<String> Build_EDS_Lines(TDateTime now) {
    Set_Identity();
    EDS_SDO_List.clear();
    Read_PDO_CANopen();
    Read_SDO_Server_CANopen();
    Sort_SDO_Sub_Indexs();
    Check_Unique_Objects();

    const String date = EDS_Date_Text(now);
    const String time = EDS_Time_Text(now);
    const String vendor = Maker.Vendor_Name;
    const int RN = EDS_RPDO_Count;
    const int TN = EDS_TPDO_Count;
    const String B;
    std::vector<String> l;
    auto add = [&l](std::initializer_list<String> lines) { l.insert(l.end(), lines); };

    add({u"[FileInfo]", u"FileName=" + EDS_File_Name, u"FileVersion=1", u"FileRevision=0", u"EDSVersion=4.0",
         u"Description=" + EDS_Description, u"CreationTime=" + time, u"CreationDate=" + date, u"CreatedBy=" + vendor,
         u"ModificationTime=" + time, u"ModificationDate=" + date, u"ModifiedBy=" + vendor, B});
    add({u"[DeviceInfo]", u"VendorName=" + vendor, u"VendorNumber=0x00", u"ProductName=" + EDS_Description,
         u"ProductNumber=" + EDS_Product_Number, u"RevisionNumber=0x0", u"OrderCode=" + EDS_Order_Code,
         u"BaudRate_10=1", u"BaudRate_20=1", u"BaudRate_50=1", u"BaudRate_125=1", u"BaudRate_250=1",
         u"BaudRate_500=1", u"BaudRate_800=0", u"BaudRate_1000=1", u"DynamicChannelsSupported=0",
         u"GroupMessaging=0", u"LSS_Supported=0", u"Granularity=0", u"SimpleBootUpSlave=1",
         u"SimpleBootUpMaster=0", u"NrOfRXPDO=" + IntToStr(RN), u"NrOfTXPDO=" + IntToStr(TN), B});
    add({u"[Comments]", u"Lines=0", B});
    l.push_back(u"[DummyUsage]");
    for (int d = 1; d <= 7; ++d) l.push_back(u"Dummy000" + IntToStr(d) + u"=0");
    l.push_back(B);
    add({u"[MandatoryObjects]", u"SupportedObjects=3", u"1=0x1000", u"2=0x1001", u"3=0x1018", B});

    add({u"[OptionalObjects]", u"SupportedObjects=" + IntToStr(3 * RN + 3 * TN + 8), u"1=0x1005", u"2=0x1006",
         u"3=0x1008", u"4=0x1014", u"5=0x1016", u"6=0x1017", u"7=0x1029", u"8=0x1280"});
    int n = 9;
    auto list = [&](int base, int count) {
        for (int i = 0; i < count; ++i) l.push_back(IntToStr(n++) + u"=0x" + H4(base + i));
    };
    list(0x1400, RN);
    list(0x1600, RN);
    list(0x1800, TN);
    list(0x1A00, TN);
    list(0x7000, RN);
    list(0x7050, TN);
    l.push_back(B);

    l.push_back(u"[ManufacturerObjects]");
    l.push_back(u"SupportedObjects=" + IntToStr(EDS_SDO_List.size()));
    for (size_t k = 0; k < EDS_SDO_List.size(); ++k)
        l.push_back(IntToStr(k + 1) + u"=0x" + H4(EDS_SDO_List[k].Index));
    l.push_back(B);

    // The fixed communication objects.
    Var(l, u"1000", u"Device Type", u"0x07", u"0x0007", u"const", u"0x000101A4");
    Var(l, u"1001", u"Error Register", u"0x07", u"0x0005", u"ro", u"0x00");
    Var(l, u"1005", u"COB-ID SYNC", u"0x07", u"0x0007", u"rw", u"0x80000080");
    Var(l, u"1006", u"Communication Cycle Period", u"0x07", u"0x0007", u"rw", u"0x00000000");
    Var(l, u"1008", u"Manufacturer Device Name", u"0x07", u"0x0009", u"const", u"s1");
    Var(l, u"1014", u"COB-ID EMCY", u"0x07", u"0x0007", u"ro", u"$NODEID+0x80");
    Header(l, u"1016", 3, u"Heartbeat Consumer Entries", u"0x08");
    Var(l, u"1016sub0", u"Number of Entries", u"0x07", u"0x0005", u"ro", u"0x02");
    Var(l, u"1016sub1", u"Consumer Heartbeat Time 1", u"0x07", u"0x0007", u"rw", u"0x00000000");
    Var(l, u"1016sub2", u"Consumer Heartbeat Time 2", u"0x07", u"0x0007", u"rw", u"0x00000000");
    Var(l, u"1017", u"Producer Heartbeat Time", u"0x07", u"0x0006", u"rw", u"0x000003E8");
    Header(l, u"1018", 5, u"Identity Object", u"0x09");
    Var(l, u"1018sub0", u"number of entries", u"0x07", u"0x0005", u"ro", u"0x4");
    Var(l, u"1018sub1", u"Vendor Id", u"0x07", u"0x0007", u"ro", u"");
    Var(l, u"1018sub2", u"Product Code", u"0x07", u"0x0007", u"ro", u"");
    Var(l, u"1018sub3", u"Revision number", u"0x07", u"0x0007", u"ro", u"");
    Var(l, u"1018sub4", u"Serial number", u"0x07", u"0x0007", u"ro", u"");
    Header(l, u"1029", 2, u"Error Behaviour", u"0x08");
    Var(l, u"1029sub0", u"Number of Entries", u"0x07", u"0x0005", u"ro", u"1");
    Var(l, u"1029sub1", u"Communication Error", u"0x07", u"0x0005", u"rw", u"0x0");
    Header(l, u"1280", 4, u"Client SDO Parameter 1", u"0x09");
    Var(l, u"1280sub0", u"Number of Entries", u"0x07", u"0x0005", u"ro", u"0x03");
    Var(l, u"1280sub1", u"COB-ID Client -> Server", u"0x07", u"0x0007", u"rw", u"");
    Var(l, u"1280sub2", u"COB-ID Server -> Client", u"0x07", u"0x0007", u"rw", u"");
    Var(l, u"1280sub3", u"Node ID of the SDO Server", u"0x07", u"0x0005", u"rw", u"");

    auto communication = [&](int object, const String& name, const TEDS_PDO& pdo) {
        Header(l, H4(object), 4, name, u"0x09");
        Var(l, Sub_Section(object, 0), u"Number of Entries", u"0x07", u"0x0005", u"ro", u"0x03");
        Var(l, Sub_Section(object, 1), u"COB-ID", u"0x07", u"0x0007", u"rw", u"0x" + H8(pdo.COB_ID));
        Var(l, Sub_Section(object, 2), u"Transmission Type", u"0x07", u"0x0005", u"rw", u"0xFE");
        Var(l, Sub_Section(object, 3), u"Inhibit Time", u"0x07", u"0x0006", u"rw", u"0x0");
    };
    auto mapping = [&](int object, const String& name, int data_object, int d) {
        Header(l, H4(object), d + 1, name, u"0x09");
        Var(l, Sub_Section(object, 0), u"Number of Entries", u"0x07", u"0x0005", u"ro", u"0x" + H2(d));
        for (int j = 1; j <= d; ++j)
            Var(l, Sub_Section(object, j), u"Mapping Entry " + IntToStr(j), u"0x07", u"0x0007", u"ro",
                u"0x" + H4(data_object) + H2(j) + u"08");
    };
    auto data = [&](int object, const String& name, int d, const String& sub0_access, const String& var,
                    const String& access) {
        Header(l, H4(object), d + 1, name, u"0x08");
        Var(l, Sub_Section(object, 0), u"Number of Entries", u"0x07", u"0x0005", sub0_access, u"0x" + H2(d));
        for (int j = 1; j <= d; ++j)
            Var(l, Sub_Section(object, j), var + IntToStr(j), u"0x07", u"0x0005", access, u"0x00", u"1");
    };

    for (int i = 0; i < RN; ++i)
        communication(0x1400 + i, u"Receive PDO Communication Parameter " + IntToStr(i + 1), EDS_RPDO_Table[i]);
    for (int i = 0; i < RN; ++i)
        mapping(0x1600 + i, u"Receive PDO Mapping Parameter", 0x7000 + i, EDS_RPDO_Table[i].Dimension);
    for (int i = 0; i < TN; ++i)
        communication(0x1800 + i, u"Transmit PDO Communication Parameter " + IntToStr(i + 1), EDS_TPDO_Table[i]);
    for (int i = 0; i < TN; ++i)
        mapping(0x1A00 + i, u"Transmit PDO Mapping Parameter " + IntToStr(i + 1), 0x7050 + i, EDS_TPDO_Table[i].Dimension);
    for (int i = 0; i < RN; ++i)
        data(0x7000 + i, u"RPDO" + IntToStr(i + 1), EDS_RPDO_Table[i].Dimension, u"ro",
             Var_Name(EDS_RPDO_Var_Names, u"rx", i), u"rww");
    for (int i = 0; i < TN; ++i)
        data(0x7050 + i, u"TPDO" + IntToStr(i + 1), EDS_TPDO_Table[i].Dimension, u"rw",
             Var_Name(EDS_TPDO_Var_Names, u"tx", i), u"rwr");

    // The keys of one application variable, after its section and name.
    auto application_variable = [&](const SDO_Sub_Type& s) {
        l.push_back(u"ObjectType=0x7");
        if (s.Quantity == 1)
            add({u"DataType=0x0005", u"LowLimit=0x00", u"HighLimit=0xFF", u"DefaultValue=0x00"});
        else if (s.Quantity == 2)
            add({u"DataType=0x0006", u"LowLimit=0x0000", u"HighLimit=0xFFFF", u"DefaultValue=0x0000"});
        else
            add({u"DataType=0x0007", u"LowLimit=0x00000000", u"HighLimit=0xFFFFFFFF", u"DefaultValue=0x00000000"});
        add({s.Readonly ? u"AccessType=ro" : u"AccessType=rw", u"PDOMapping=0", B});
    };
    for (const SDO_Index& sdo : EDS_SDO_List) {
        const auto& subs = sdo.Sub_Indexs;
        // An object with sub-index 0 alone is a plain variable: a record's
        // sub-index 0 can only be the UNSIGNED8 count of its entries.
        if (subs.size() == 1 && subs.front().Sub == 0) {
            add({u"[" + H4(sdo.Index) + u"]", u"ParameterName=Application Variable"});
            application_variable(subs.front());
            continue;
        }
        // Otherwise sub-index 0 is the count, whatever a row at sub-index 0
        // said: a CANopen master reads the number of entries there.
        const int entries = int(std::count_if(subs.begin(), subs.end(), [](const SDO_Sub_Type& s) { return s.Sub != 0; }));
        l.push_back(u"[" + H4(sdo.Index) + u"]");
        l.push_back(u"SubNumber=" + IntToStr(entries + 1));
        add({u"ParameterName=App Vars", u"ObjectType=0x9", B});
        add({u"[" + Sub_Section(sdo.Index, 0) + u"]", u"ParameterName=Largest Sub-Index supported", u"ObjectType=0x7",
             u"DataType=0x0005", u"AccessType=ro", u"DefaultValue=0x" + H2(subs.back().Sub), u"PDOMapping=0", B});
        for (const SDO_Sub_Type& s : subs) {
            if (s.Sub == 0) continue;
            add({u"[" + Sub_Section(sdo.Index, s.Sub) + u"]", u"ParameterName=Application Variable"});
            application_variable(s);
        }
    }
    l.push_back(B);
    return l;
}

void Write_EDS_File(const String& FileName) {
    Save_Desc_Lines(FileName, Build_EDS_Lines(Now()), TDescEncoding::Ansi);
}
