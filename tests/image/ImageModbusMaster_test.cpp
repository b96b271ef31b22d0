// The Modbus RTU master images (models 4, 25, 2004; SNMP 18, 30, 1018)
// built from projects written here and compared byte for byte with blocks
// and entries worked out by offset.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {


TKeys Master_Keys(const std::string& station) {
    TKeys k = Profinet_Keys;
    TKeys more = {
        {"PROFINET_NAME_STA", station}, {"MODBUS_MASTER_SERIAL", "0"}, {"MODBUS_MASTER_PARITY", "2"},
        {"MODBUS_MASTER_STOPBITS", "1"}, {"MODBUS_MASTER_TIMEOUT", "250"}, {"MODBUS_MASTER_CYCLICDELAY", "20"},
    };
    k.insert(k.end(), more.begin(), more.end());
    return k;
}

const TKeys Model4_Keys = [] {
    TKeys k = Master_Keys("station-4");
    TKeys more = {
        {"MODBUS_MASTER_BAUDRATE", "4"}, {"MODBUS_MASTER_NB_IN", "100"}, {"MODBUS_MASTER_NB_OUT", "200"},
        {"MODBUS_MASTER_ENABLE_POLL", "1"}, {"MODBUS_MASTER_CLEAR_DATA", "1"},
        {"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "300"},
        {"PROFINET_ENABLE_MODBUS_POLLS", "1"}, {"PROFINET_MODBUS_POLLS_ADDRESS", "400"},
    };
    k.insert(k.end(), more.begin(), more.end());
    return k;
}();

TKeys SNMP_Master_Keys(const std::string& mapType) {
    TKeys k = Master_Keys("agent-18");
    TKeys more = {
        {"MODBUS_MASTER_BAUDRATE", "10"}, {"SNMP_VERSION1", "1"}, {"SNMP_VERSION3", "1"}, {"SNMP_VER3_USER", "admin"},
        {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"}, {"SNMP_VER3_AUTHORITY", "authpass1"},
        {"SNMP_VER3_AUTHORITY_MODE", "SHA"}, {"SNMP_VER3_PRIVACY_MODE", "DES"}, {"SNMP_VER3_PRIVACY", "privpass1"},
        {"SNMP_Contact", "ops"}, {"SNMP_Location", "hall"}, {"SNMP_MapType", mapType},
    };
    k.insert(k.end(), more.begin(), more.end());
    return k;
}

// The main block of the SNMP models from SNMP_Master_Keys and four requests, without the trap descriptor.
TExpectedBlock SNMP_Master_Main() {
    TExpectedBlock main = Main_Defaults();
    main.Bytes(96, {0, 1, 0, 0}).Bytes(40, Profinet_Bytes).Text(440, "agent-18").U32(432, 0x1B5);
    main.Text(488, "admin").Text(508, "authpass1").Text(524, "privpass1");
    main.U32(12, 625000).U32(60, 625000).U16(18, 2).U16(66, 2).U32(32, 250).U32(36, 20);
    main.U32(116, 1024).U32(120, 1024).U32(356, 2).Text(456, "ops").Text(472, "hall").U32(72, 4);
    return main;
}

// The request file as its editor writes it.
const std::vector<std::string> Read_Rows = {
    R"(Slave_ID="1" Type=" Coil Status " Address="100" NPoint="9" PollTime="500" MaxError="3" Position="0" Bit="2" Swap="N" Swap_Word="N" Format_SNMP="Int 2 bytes" Mnemonic="coils")",
    R"(Slave_ID="2" Type="Holding Register" Address="40001" NPoint="200" PollTime="1000" MaxError="5" Position="10" Bit="0" Swap="Y" Swap_Word="Y" Format_SNMP="float to int 4 bytes" Mnemonic="regs")",
};
const std::vector<std::string> Write_Rows = {
    R"(Slave_ID="3" Type="Coil Status" Address="5" NPoint="1" PollTime="0" MaxError="1" Position="300" Bit="7" Swap="N" Swap_Word="N" OnChange=" y" Force_F16="y" Format_SNMP="Byte" Mnemonic="c")",
    R"(Slave_ID="4" Type="Holding Register" Address="6" NPoint="1" PollTime="100" MaxError="2" Position="302" Bit="9" Swap="N" Swap_Word="Y" OnChange="N" Force_F16=" Y" Format_SNMP="Int 1 byte" Mnemonic="h")",
};
// The same requests as entries; the SNMP data types only where the fixed map names them.
std::vector<TExpectedRequest> Expected_Requests(bool snmpTypes) {
    auto t = [&](std::uint8_t code) { return snmpTypes ? code : std::uint8_t(0); };
    return {
        {.Position = 0, .Bit = 2, .Poll = 500, .Slave = 1, .Function = 1, .Address = 100, .Points = 9, .Max_Error = 3,
         .SNMP_Type = t(2), .Byte_Count = 2},
        {.Position = 10, .Poll = 1000, .Slave = 2, .Function = 3, .Address = 40001, .Points = 200, .Max_Error = 5,
         .SNMP_Type = t(8), .Byte_Count = 144, .Flags = 0x0C},
        {.Position = 300, .Bit = 7, .Slave = 3, .Function = 15, .Address = 5, .Points = 1, .Max_Error = 1,
         .SNMP_Type = t(0), .Byte_Count = 1, .Flags = 0x01},
        {.Position = 302, .Poll = 100, .Slave = 4, .Function = 6, .Address = 6, .Points = 1, .Max_Error = 2,
         .SNMP_Type = t(1), .Byte_Count = 2, .Flags = 0x08},
    };
}

const std::vector<std::string> Trap_Read = {R"(Enable="Y" Community_Name="public" Type="Int" Position="4" NumBits="16" IP_Address="10.0.0.9")"};
const std::vector<std::string> Trap_Write = {R"(Enable="Y" Community_Name="private" Type="Int" Position="8" NumBits="8")"};
std::string Trap_Section(bool filled) {
    std::string s(0x6000, '\0');
    if (filled) {
        s.replace(0, 48, Trap_Entry(4, 0, 16, 0, Trap_Flag_Int, 0, "public", "", {9, 0, 0, 10}));
        s.replace(256 * 48, 48, Trap_Entry(8, 0, 8, 0, Trap_Flag_Int, 0, "private", "", {}));
    }
    return s;
}

}  // namespace

TEST(ImageModbusMaster, Model4WritesMainBlockWithRequestsSecondProcessorBlockAndRequestsAgain) {
    TProjectFixture p(4);
    p.ParGen(Model4_Keys);
    p.ModbusM_SetAccess(Read_Rows, Write_Rows);
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U16(58, 0x0408).Bytes(96, {2, 1, 0, 0}).U16(52, 5000).Bytes(40, Profinet_Bytes).U16(104, 502);
    main.Text(80, "station-4").U32(12, 19200).U32(60, 19200).U16(18, 2).U16(66, 2).U32(20, 2).U32(68, 2);
    main.U32(32, 250).U32(36, 20).U32(116, 100).U32(120, 200).U32(300, 301).U32(436, 401).U32(72, 4);
    const std::string requests = Requests_Bytes(Expected_Requests(false));
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), main.Close() + requests));

    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.Bytes(96, {2, 0x90, 0, 0}).U16(52, 5000).Bytes(40, Profinet_Bytes).U16(104, 502).Text(80, "station-4");
    cpu2.U32(1520, 0x21).U32(400, 19200).U32(412, 19200).U32(416, 19200).Bytes(424, {2, 0, 0, 2, 2, 0, 2, 0, 0, 2, 2, 0});
    cpu2.U32(32, 250).U32(36, 20).U32(116, 100).U32(120, 200).U32(384, 301).U32(1696, 401).U32(72, 4).U32(196, 0x80000);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), cpu2.Close()));
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), requests));
}

TEST(ImageModbusMaster, Model18LaysTrapSectionMainBlockAndRequestsForEitherMapType) {
    for (const char* mapType : {"0", "1"}) {
        const bool variable = std::string(mapType) == "1";
        TProjectFixture p(18);
        p.ParGen(SNMP_Master_Keys(mapType));
        p.ModbusM_SetAccess(Read_Rows, Write_Rows);
        p.SNMP_Trap(Trap_Read, Trap_Write);
        Build_And_Write(p);

        TExpectedBlock main = SNMP_Master_Main();
        if (variable) main.U32(416, 1).U32(420, 1).U32(424, 0x62000).U32(428, 0x65000);
        const std::string requests = Requests_Bytes(Expected_Requests(!variable));
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), Trap_Section(variable) + main.Close() + requests)) << mapType;

        TExpectedBlock cpu2 = CPU2_Defaults();
        cpu2.Bytes(96, {0, 0, 0, 0}).Bytes(40, Profinet_Bytes).Text(1396, "agent-18").U32(1452, 0x1B5);
        cpu2.Text(1456, "admin").Text(1476, "authpass1").Text(1492, "privpass1").U32(1520, 1);
        cpu2.U32(400, 625000).U32(412, 625000).U32(416, 625000).Bytes(424, {2, 0, 0, 2, 2});
        cpu2.U32(32, 250).U32(36, 20).U32(116, 1024).U32(120, 1024).Text(1856, "ops").Text(1872, "hall");
        cpu2.U32(72, 4).U32(196, 0x86000);
        if (variable) cpu2.U32(1436, 1).U32(1440, 1).U32(1444, 0x80000).U32(1448, 0x83000);
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), cpu2.Close())) << mapType;
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Trap_Section(variable) + requests)) << mapType;
    }
}

TEST(ImageModbusMaster, Model30AlwaysUsesTheVariableMapAndWritesOneBank) {
    TProjectFixture p(30);
    p.ParGen(SNMP_Master_Keys("0"));
    p.ModbusM_SetAccess(Read_Rows, Write_Rows);
    p.SNMP_Trap(Trap_Read, Trap_Write);
    Build_And_Write(p);

    TExpectedBlock main = SNMP_Master_Main();
    main.U32(416, 1).U32(420, 1).U32(424, 0x62000).U32(428, 0x65000);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), Trap_Section(true) + main.Close() + Requests_Bytes(Expected_Requests(false))));
    EXPECT_FALSE(std::filesystem::exists(p.Bin("bank1.bin")));
}

TEST(ImageModbusMaster, RequestEntriesByTypeAndCount) {
    struct TCase {
        const char* What;
        bool Write;
        std::string Row;
        std::uint8_t Function, Byte_Count;
        std::uint16_t Bit;
    };
    const std::string common = R"( Slave_ID="1" Address="0" PollTime="0" MaxError="0" Position="0" Bit="5")";
    const TCase cases[] = {
        {"coil write of one point, Force_F16", true, R"(Type="COIL STATUS" NPoint="1" Force_F16="Y")", 15, 1, 5},
        {"coil write of one point", true, R"(Type="COIL STATUS" NPoint="1")", 5, 1, 5},
        {"Force_F16 is upper-cased, not trimmed", true, R"(Type="COIL STATUS" NPoint="1" Force_F16="Y ")", 5, 1, 5},
        {"register write of one point, Force_F16", true, R"(Type="x" NPoint="1" Force_F16="y")", 16, 2, 0},
        {"register write without a type", true, R"(NPoint="3")", 16, 6, 0},
        {"input register read", false, R"(Type="INPUT REGISTER" NPoint="2")", 4, 4, 0},
        {"unknown read type", false, R"(Type="Analog" NPoint="2")", 4, 4, 0},
        {"read without a type", false, R"(NPoint="2")", 4, 4, 0},
        {"input status, 9 points", false, R"(Type="input status" NPoint="9")", 2, 2, 5},
        {"200 registers", false, R"(Type="HOLDING REGISTER" NPoint="200")", 3, 144, 0},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(25);
        p.ModbusM_SetAccess(c.Write ? std::vector<std::string>{} : std::vector<std::string>{c.Row + common},
                            c.Write ? std::vector<std::string>{c.Row + common} : std::vector<std::string>{});
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        const Byte* entry = image->Bank_Image_A.Data() + 2048;
        EXPECT_EQ(entry[9], c.Function) << c.What;
        EXPECT_EQ(entry[30], c.Byte_Count) << c.What;
        EXPECT_EQ(entry[2] | entry[3] << 8, c.Bit) << c.What;
    }
}

TEST(ImageModbusMaster, ParGenValuesOfTheMasterFamily) {
    struct TCase {
        const char* What;
        int Model;
        TKeys Keys;
        std::size_t Offset;
        std::vector<std::uint8_t> Expected;
        bool Cpu2 = false;
    };
    const TCase cases[] = {
        {"baud index 10", 4, {{"MODBUS_MASTER_BAUDRATE", "10"}}, 12, {0x68, 0x89, 0x09, 0}},  // 625000
        {"baud index 11", 4, {{"MODBUS_MASTER_BAUDRATE", "11"}}, 12, {0x80, 0x25, 0, 0}},     // 9600
        {"baud missing", 4, {}, 12, {0x00, 0xC2, 0x01, 0}},                                    // 115200
        {"baud not a number", 4, {{"MODBUS_MASTER_BAUDRATE", "fast"}}, 12, {0x00, 0xC2, 0x01, 0}},
        {"port 34963 is the converter's", 4, {{"PROFINET_PORT", "34963"}}, 104, {0x11, 0x27}},  // 10001
        {"port missing", 2004, {}, 104, {0x11, 0x27}},
        {"SNMP models carry no port", 18, {{"PROFINET_PORT", "502"}}, 104, {0, 0}},
        {"gateway off", 25, {{"PROFINET_EN_GAT", "0"}, {"PROFINET_GAT1", "1"}}, 48, {255, 255, 255, 255}},
        {"diagnostics at 0", 4, {{"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "0"}}, 300, {1, 0, 0, 0}},
        {"diagnostics off", 4, {{"PROFINET_DIAGNOSTIC_ADDRESS", "7"}}, 300, {0, 0, 0, 0}},
        {"SNMP models read no stop bits", 30, {{"MODBUS_MASTER_STOPBITS", "1"}}, 20, {0, 0, 0, 0}},
        {"empty station name stays empty", 4, {{"PROFINET_NAME_STA", ""}}, 80, std::vector<std::uint8_t>(16, 0)},
        {"RS485 unless \"0\"", 4, {{"MODBUS_MASTER_SERIAL", "1"}}, 97, {0}},
        {"second processor keeps 0x10 for RS232", 4, {{"MODBUS_MASTER_SERIAL", "0"}}, 97, {0x10}, true},
        {"parity into port 4, not a trap address", 4, {{"MODBUS_MASTER_PARITY", "1"}}, 428, {1}, true},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(c.Model);
        p.ParGen(c.Keys);
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        const Byte* block = c.Cpu2 ? image->CPU2_Param_Block.Data() : image->Main_Param_Block.Data();
        EXPECT_EQ(std::vector<std::uint8_t>(block + c.Offset, block + c.Offset + c.Expected.size()), c.Expected) << c.What;
    }
}

TEST(ImageModbusMaster, MapTypeFollowsTheKeyOnlyForModel18) {
    struct TCase {
        int Model;
        bool Write_ParGen;
        int Expected;
    };
    const TCase cases[] = {{18, true, 0}, {30, true, 1}, {1018, true, 1}, {18, false, 1}, {4, false, 1}};
    for (const TCase& c : cases) {
        TProjectFixture p(c.Model);
        if (c.Write_ParGen) p.ParGen({{"SNMP_MapType", "0"}});
        EXPECT_EQ(Build_Device_Image(p.Sources())->SNMP_Map_Type, c.Expected) << c.Model << " " << c.Write_ParGen;
    }
}
