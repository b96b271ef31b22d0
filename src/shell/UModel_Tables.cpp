#include "shell/UModel_Tables.h"

#include "shell/Globals.h"

const char16_t* const SW_Code_Table[38] = {
    u"CV52829",    u"CV52831",    u"CV52832",    u"CV52828",    u"CV52825",         u"CV52826",
    u"CV52833",    u"CV52823",    u"CV52830",    u"CV52824",    u"CV52802",         u"CV52834",
    u"CV52835",    u"CV52839",    u"CV52819",    u"CV52804",    u"CV52810",         u"CV52812",
    u"CV52809",    u"CV52811",    u"CV52836",    u"CV52808",    u"CV52837",         u"CV52813",
    u"CV52817",    u"CV529-K311", u"CV529-K312", u"CV52814",    u"CV52820",         u"CV529-K314",
    u"CV529-K313", u"CV52838",    u"CV52807",    u"CV52805",    u"CV52815",         u"CV52806",
    u"RVX-TRP Desktop",           u"ZK-RS485QWT-091144",
};

const char16_t* const SW_Title_Table[37] = {
    u"PROFINET / CAN - Converter",                   // 0
    u"PROFINET / DeviceNet Master - Converter",      // 1
    u"PROFINET / DeviceNet Slave - Converter",       // 2
    u"PROFINET / PROFIBUS Slave - Converter",        // 3
    u"PROFINET / Modbus Master - Converter",         // 4
    u"PROFINET / Modbus Slave - Converter",          // 5
    u"PROFINET / J1939 - Converter",                 // 6
    u"PROFINET / NMEA 2000 - Converter",             // 7
    u"PROFINET / CANopen - Converter",               // 8
    u"PROFINET / Serial - Converter",                // 9
    u"PROFINET / M-Bus - Converter",                 // 10
    u"PROFINET / Modbus TCP Master - Converter",     // 11
    u"PROFINET / Modbus TCP Slave - Converter",      // 12
    u"PROFINET / EtherNet/IP - Converter",           // 13
    u"PROFINET / J1939 - Converter",                 // 14
    u"CAN / SNMP - Converter",                       // 15
    u"Modbus Slave / SNMP - Converter",              // 16
    u"Modbus TCP Slave / SNMP - Converter",          // 17
    u"Modbus Master / SNMP - Converter",             // 18
    u"Modbus TCP Master / SNMP - Converter",         // 19
    u"PROFINET Slave / SNMP - Converter",            // 20
    u"M-Bus Master / SNMP Agent - Converter",        // 21
    u"DMX / PROFINET - Converter",                   // 22
    u"PROFIBUS slave / SNMP Agent - Converter",      // 23
    u"PROFINET / CANopen - Converter",               // 24
    u"PROFINET / Modbus Master - Converter",         // 25
    u"PROFINET / Modbus Slave - Converter",          // 26
    u"PROFINET / CAN - Converter",                   // 27
    u"PROFINET / NMEA 2000 - Converter",             // 28
    u"DMX / PROFINET - Converter",                   // 29
    u"Modbus Master / SNMP Agent - Converter",       // 30
    u"Ethernet / PROFINET - Converter",              // 31
    u"J1939 / SNMP Agent - Converter",               // 32
    u"CANopen / SNMP Agent - Converter",             // 33
    u"CAN / SNMP Agent - Converter",                 // 34
    u"SNMP Agent / EtherNet/IP Slave - Converter",   // 35
    u"PROFINET / Modbus Master - Converter",         // 2004
};

const char16_t* const Title_1018 = u"Modbus Master / SNMP - Converter";

const char16_t* const SW_Code_Update_Table[36] = {
    u"CV52829",    u"CV52831",    u"CV52832",    u"CV52828",    u"CV52825",    u"CV52826",
    u"CV52833",    u"CV52823",    u"CV52830",    u"CV52824",    u"CV52802",    u"CV52834",
    u"CV52835",    u"CV52839",    u"CV52819",    u"CV52804",    u"CV52810",    u"CV52812",
    u"CV52809",    u"CV52811",    u"CV52836",    u"CV52808",    u"CV52837",    u"CV52813",
    u"CV52817",    u"CV529-K311", u"CV529-K312", u"CV52814",    u"CV52820",    u"CV529-K314",
    u"CV529-K313", u"CV52838",    u"CV52807",    u"CV52805",    u"CV52815",    u"CV52806",
};

// The short titles of the caption tails are cut by hand ("DeviceNet m",
// "Modbus s"); they are not derived from the titles.
const TModel_Info Model_Table[38] = {
    {0, u"1.113", u"Bridgeform CV52829 - PROFINET / CAN "},
    {1, u"1.102", u"Bridgeform CV52831 - PROFINET / DeviceNet m "},
    {2, u"1.104", u"Bridgeform CV52832 - PROFINET / DeviceNet s "},
    {3, u"1.204", u"Bridgeform CV52828 - PROFINET / PROFIBUS s "},
    {4, u"1.813", u"Bridgeform CV52825 - PROFINET / Modbus m "},
    {5, u"1.206", u"Bridgeform CV52826 - PROFINET / Modbus s "},
    {6, u"1.206", u"Bridgeform CV52833 - PROFINET / J1939 "},
    {7, u"1.003", u"Bridgeform CV52823 - PROFINET / NMEA 2000 "},
    {8, u"1.508", u"Bridgeform CV52830 - PROFINET / CANopen "},
    {9, u"1.100", u"Bridgeform CV52824 - PROFINET / Serial "},
    {10, u"1.308", u"Bridgeform CV52802 - PROFINET / M-Bus "},
    {11, u"1.200", u"Bridgeform CV52834 - PROFINET / Modbus TCP Master "},
    {12, u"1.300", u"Bridgeform CV52835 - PROFINET / Modbus TCP Slave "},
    {13, u"1.100", u"Bridgeform CV52839 - PROFINET / EtherNet/IP "},
    {14, u"1.100", u"Bridgeform CV52819 - PROFINET / J1939 "},
    {15, u"1.202", u"Bridgeform CV52804 - CAN / SNMP "},
    {16, u"1.103", u"Bridgeform CV52810 - Modbus Slave / SNMP "},
    {17, u"1.100", u"Bridgeform CV52812 - Modbus TCP Slave / SNMP "},
    {18, u"1.700", u"Bridgeform CV52809 - Modbus Master / SNMP "},
    {19, u"1.505", u"Bridgeform CV52811 - Modbus TCP Master / SNMP "},
    {20, u"1.200", u"Bridgeform CV52836 - PROFINET Slave / SNMP "},
    {21, u"1.201", u"Bridgeform CV52808 - M-Bus Master / SNMP Agent "},
    {22, u"1.002", u"Bridgeform CV52837 - DMX / PROFINET "},
    {23, u"1.000", u"Bridgeform CV52813 - PROFIBUS slave / SNMP Agent "},
    {24, u"1.000", u"Bridgeform CV52817 - PROFINET / CANopen "},
    {25, u"1.000", u"Bridgeform CV529-K311 - PROFINET / Modbus m "},
    {26, u"1.000", u"Bridgeform CV529-K312 - PROFINET / Modbus s "},
    {27, u"1.000", u"Bridgeform CV52814 - PROFINET / CAN "},
    {28, u"1.000", u"Bridgeform CV52820 - PROFINET / NMEA 2000 "},
    {29, u"1.000", u"Bridgeform CV529-K314 - DMX / PROFINET "},
    {30, u"1.001", u"Bridgeform CV529-K313 - Modbus Master / SNMP Agent "},
    {31, u"1.005", u"Bridgeform CV52838 - Ethernet / PROFINET "},
    {32, u"1.000", u"Bridgeform CV52807 - J1939 / SNMP Agent "},
    {33, u"1.001", u"Bridgeform CV52805 - CANopen / SNMP Agent "},
    {34, u"1.000", u"Bridgeform CV52815 - CAN / SNMP Agent "},
    {35, u"1.000", u"Bridgeform CV52806 - SNMP Agent / EtherNet/IP Slave "},
    {1018, u"1.700", u"Bridgeform RVX-TRP Desktop - Modbus Master / SNMP "},
    {2004, u"1.813", u"Bridgeform ZK-RS485QWT-091144 - PROFINET / Modbus m "},
};

const char16_t* const Maker_Web_Address = u"www.bridgeform.example";

namespace {

// The head of the caption: the maker's web presence for its own models, the
// partner company for the two partner-branded variants.
const char16_t* const Maker_Label = u"www.bridgeform.example";
const char16_t* const Partner_Label_1018 = u"PA Partner Systems";
const char16_t* const Partner_Label_2004 = u"PBX Partner Automation";

String Replace_CV(int code, const char16_t* head) {
    if (code < 0 || code > 35)
        return String();
    String s = SW_Code_Table[code];
    if (s.rfind(u"CV", 0) == 0)
        s.replace(0, 2, head);
    return s;
}

}  // namespace

int Model_Index(int code) {
    if (code >= 0 && code <= 35)
        return code;
    if (code == 1018)
        return 36;
    if (code == 2004)
        return 37;
    return -1;
}

bool Is_Valid_Model_Code(int code) { return Model_Index(code) >= 0; }

String Model_SW_Code(int code) {
    const int i = Model_Index(code);
    return i < 0 ? String() : String(SW_Code_Table[i]);
}

String Model_Title(int code) {
    if (code == 1018)
        return Title_1018;
    if (code == 2004)
        return SW_Title_Table[36];
    return code >= 0 && code <= 35 ? String(SW_Title_Table[code]) : String();
}

String Model_Version(int code) {
    const int i = Model_Index(code);
    return i < 0 ? String() : String(Model_Table[i].Version);
}

String Model_Main_Caption(int code) {
    const int i = Model_Index(code);
    if (i < 0)
        return String();
    const char16_t* label = code == 1018 ? Partner_Label_1018 : code == 2004 ? Partner_Label_2004 : Maker_Label;
    return String(label) + u" - " + Model_Table[i].Caption_Tail;
}

String Model_Hardware_Code(int code) { return Replace_CV(code, u"GX"); }
String Model_Manual_Code(int code) { return Replace_CV(code, u"DM"); }

String Model_Product_Page(int code) {
    if (code < 0 || code > 35)
        return String();
    return String(u"https://") + Maker_Web_Address + u"/products/" + SW_Code_Table[code];
}

String Model_Download_Page(int code) {
    const int checked = (code == 1018 || code == 2004) ? 0 : code;
    return String(u"https://") + Maker_Web_Address + u"/download/#" + Model_Hardware_Code(checked);
}

void Set_Model_Strings() {
    Main_Caption = Model_Main_Caption(Model_Code);
    SW_Code = Model_SW_Code(Model_Code);
    SW_Title = Model_Title(Model_Code);
}
