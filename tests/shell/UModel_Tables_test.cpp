#include "shell/Globals.h"
#include "shell/UModel_Tables.h"

#include <gtest/gtest.h>

namespace {

struct ModelRow {
    int code;
    const char* title;
    const char* swCode;
    const char* version;
    const char* tail;
};

const ModelRow Rows[] = {
    {0, "PROFINET / CAN - Converter", "CV52829", "1.113", "Bridgeform CV52829 - PROFINET / CAN "},
    {1, "PROFINET / DeviceNet Master - Converter", "CV52831", "1.102", "Bridgeform CV52831 - PROFINET / DeviceNet m "},
    {2, "PROFINET / DeviceNet Slave - Converter", "CV52832", "1.104", "Bridgeform CV52832 - PROFINET / DeviceNet s "},
    {3, "PROFINET / PROFIBUS Slave - Converter", "CV52828", "1.204", "Bridgeform CV52828 - PROFINET / PROFIBUS s "},
    {4, "PROFINET / Modbus Master - Converter", "CV52825", "1.813", "Bridgeform CV52825 - PROFINET / Modbus m "},
    {5, "PROFINET / Modbus Slave - Converter", "CV52826", "1.206", "Bridgeform CV52826 - PROFINET / Modbus s "},
    {6, "PROFINET / J1939 - Converter", "CV52833", "1.206", "Bridgeform CV52833 - PROFINET / J1939 "},
    {7, "PROFINET / NMEA 2000 - Converter", "CV52823", "1.003", "Bridgeform CV52823 - PROFINET / NMEA 2000 "},
    {8, "PROFINET / CANopen - Converter", "CV52830", "1.508", "Bridgeform CV52830 - PROFINET / CANopen "},
    {9, "PROFINET / Serial - Converter", "CV52824", "1.100", "Bridgeform CV52824 - PROFINET / Serial "},
    {10, "PROFINET / M-Bus - Converter", "CV52802", "1.308", "Bridgeform CV52802 - PROFINET / M-Bus "},
    {11, "PROFINET / Modbus TCP Master - Converter", "CV52834", "1.200", "Bridgeform CV52834 - PROFINET / Modbus TCP Master "},
    {12, "PROFINET / Modbus TCP Slave - Converter", "CV52835", "1.300", "Bridgeform CV52835 - PROFINET / Modbus TCP Slave "},
    {13, "PROFINET / EtherNet/IP - Converter", "CV52839", "1.100", "Bridgeform CV52839 - PROFINET / EtherNet/IP "},
    {14, "PROFINET / J1939 - Converter", "CV52819", "1.100", "Bridgeform CV52819 - PROFINET / J1939 "},
    {15, "CAN / SNMP - Converter", "CV52804", "1.202", "Bridgeform CV52804 - CAN / SNMP "},
    {16, "Modbus Slave / SNMP - Converter", "CV52810", "1.103", "Bridgeform CV52810 - Modbus Slave / SNMP "},
    {17, "Modbus TCP Slave / SNMP - Converter", "CV52812", "1.100", "Bridgeform CV52812 - Modbus TCP Slave / SNMP "},
    {18, "Modbus Master / SNMP - Converter", "CV52809", "1.700", "Bridgeform CV52809 - Modbus Master / SNMP "},
    {19, "Modbus TCP Master / SNMP - Converter", "CV52811", "1.505", "Bridgeform CV52811 - Modbus TCP Master / SNMP "},
    {20, "PROFINET Slave / SNMP - Converter", "CV52836", "1.200", "Bridgeform CV52836 - PROFINET Slave / SNMP "},
    {21, "M-Bus Master / SNMP Agent - Converter", "CV52808", "1.201", "Bridgeform CV52808 - M-Bus Master / SNMP Agent "},
    {22, "DMX / PROFINET - Converter", "CV52837", "1.002", "Bridgeform CV52837 - DMX / PROFINET "},
    {23, "PROFIBUS slave / SNMP Agent - Converter", "CV52813", "1.000", "Bridgeform CV52813 - PROFIBUS slave / SNMP Agent "},
    {24, "PROFINET / CANopen - Converter", "CV52817", "1.000", "Bridgeform CV52817 - PROFINET / CANopen "},
    {25, "PROFINET / Modbus Master - Converter", "CV529-K311", "1.000", "Bridgeform CV529-K311 - PROFINET / Modbus m "},
    {26, "PROFINET / Modbus Slave - Converter", "CV529-K312", "1.000", "Bridgeform CV529-K312 - PROFINET / Modbus s "},
    {27, "PROFINET / CAN - Converter", "CV52814", "1.000", "Bridgeform CV52814 - PROFINET / CAN "},
    {28, "PROFINET / NMEA 2000 - Converter", "CV52820", "1.000", "Bridgeform CV52820 - PROFINET / NMEA 2000 "},
    {29, "DMX / PROFINET - Converter", "CV529-K314", "1.000", "Bridgeform CV529-K314 - DMX / PROFINET "},
    {30, "Modbus Master / SNMP Agent - Converter", "CV529-K313", "1.001", "Bridgeform CV529-K313 - Modbus Master / SNMP Agent "},
    {31, "Ethernet / PROFINET - Converter", "CV52838", "1.005", "Bridgeform CV52838 - Ethernet / PROFINET "},
    {32, "J1939 / SNMP Agent - Converter", "CV52807", "1.000", "Bridgeform CV52807 - J1939 / SNMP Agent "},
    {33, "CANopen / SNMP Agent - Converter", "CV52805", "1.001", "Bridgeform CV52805 - CANopen / SNMP Agent "},
    {34, "CAN / SNMP Agent - Converter", "CV52815", "1.000", "Bridgeform CV52815 - CAN / SNMP Agent "},
    {35, "SNMP Agent / EtherNet/IP Slave - Converter", "CV52806", "1.000", "Bridgeform CV52806 - SNMP Agent / EtherNet/IP Slave "},
    {1018, "Modbus Master / SNMP - Converter", "RVX-TRP Desktop", "1.700", "Bridgeform RVX-TRP Desktop - Modbus Master / SNMP "},
    {2004, "PROFINET / Modbus Master - Converter", "ZK-RS485QWT-091144", "1.813", "Bridgeform ZK-RS485QWT-091144 - PROFINET / Modbus m "},
};

class ModelCodeGuard {
public:
    ModelCodeGuard() : saved_(Model_Code) {}
    ~ModelCodeGuard() { Model_Code = saved_; }
private:
    int saved_;
};

}  // namespace

TEST(ModelTables, EveryModelHasItsTitleCodeVersionAndCaption) {
    ModelCodeGuard guard;
    for (const ModelRow& row : Rows) {
        SCOPED_TRACE(row.code);
        Model_Code = row.code;
        Set_Model_Strings();
        EXPECT_EQ(SW_Title, S(row.title));
        EXPECT_EQ(SW_Code, S(row.swCode));
        EXPECT_EQ(Model_Version(row.code), S(row.version));
        // A maker or partner label, " - ", then the tail, which ends in one blank.
        const String tail = S(row.tail);
        ASSERT_GT(Main_Caption.size(), tail.size() + 3);
        EXPECT_EQ(Main_Caption.substr(Main_Caption.size() - tail.size()), tail);
        EXPECT_EQ(Main_Caption.substr(Main_Caption.size() - tail.size() - 3, 3), u" - ");
        if (row.code <= 35) {
            EXPECT_EQ(SW_Code_Update_Table[row.code], SW_Code);
            const String rest = SW_Code.substr(2);
            EXPECT_EQ(Model_Hardware_Code(row.code), u"GX" + rest);
            EXPECT_EQ(Model_Manual_Code(row.code), u"DM" + rest);
            EXPECT_FALSE(Model_Product_Page(row.code).empty());
        } else {
            EXPECT_EQ(Model_Hardware_Code(row.code), u"");
            EXPECT_EQ(Model_Manual_Code(row.code), u"");
            EXPECT_EQ(Model_Product_Page(row.code), u"");
        }
    }
}

TEST(ModelTables, PartnerVariantsAreIndexedApartAndOtherCodesAreNoModel) {
    EXPECT_EQ(String(SW_Code_Table[36]), u"RVX-TRP Desktop");
    EXPECT_EQ(String(SW_Code_Table[37]), u"ZK-RS485QWT-091144");
    EXPECT_EQ(String(SW_Title_Table[36]), u"PROFINET / Modbus Master - Converter");
    EXPECT_EQ(Model_Download_Page(1018), Model_Download_Page(0));
    EXPECT_NE(Model_Download_Page(0).find(u"#GX52829"), String::npos);
    for (int code : {-1, 36, 1017, 2003, 3000})
        EXPECT_FALSE(Is_Valid_Model_Code(code)) << code;
    EXPECT_EQ(Model_SW_Code(36), u"");
}
