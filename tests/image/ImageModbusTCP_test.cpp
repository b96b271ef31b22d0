// The Modbus TCP master images (models 11, 19) with their 960-entry request
// table, and the Modbus TCP slave images (models 12, 17).
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

namespace {

const TKeys Station_Keys = With(Profinet_Keys, {{"PROFINET_NAME_STA", "tcp-station"}});

TKeys Side_Keys(const std::string& prefix) {
    return {{prefix + "IP1", "172"}, {prefix + "IP2", "16"}, {prefix + "IP3", "3"}, {prefix + "IP4", "4"},
            {prefix + "SM1", "255"}, {prefix + "SM2", "255"}, {prefix + "SM3", "255"}, {prefix + "SM4", "128"},
            {prefix + "GAT1", "172"}, {prefix + "GAT2", "16"}, {prefix + "GAT3", "3"}, {prefix + "GAT4", "1"},
            {prefix + "EN_GAT", "1"}};
}
const std::vector<std::uint8_t> Side_Bytes = {172, 16, 3, 4, 255, 255, 255, 128, 172, 16, 3, 1};

const TKeys SNMP_Keys = {
    {"SNMP_VERSION1", "1"}, {"SNMP_Contact", "ops"}, {"SNMP_Location", "hall"},
};

const std::vector<std::string> Read_Rows = {
    R"(IP_Address=" 10 . 1.2.3" Port="1502" Slave_ID="1" Type="Coil Status" Address="100" NPoint="9" PollTime="500" MaxError="3" Position="0" Bit="2" Swap="N" Swap_Word="N" Format_SNMP="Int 2 bytes" Mnemonic="coils")",
    R"(IP_Address="192.168.0.20" Slave_ID="2" Type=" HOLDING REGISTER" Address="7" NPoint="200" PollTime="1000" MaxError="5" Position="10" Bit="4" Swap="Y" Swap_Word="Y" Mnemonic="unknown type: untrimmed")",
};
const std::vector<std::string> Write_Rows = {
    R"(IP_Address="192.168.0.21" Port="x" Slave_ID="3" Type="holding register" Address="5" NPoint="1" PollTime="0" MaxError="1" Position="300" Bit="1" Swap="N" Swap_Word="Y" OnChange="y" Format_SNMP="Byte" Mnemonic="h")",
};
std::vector<TExpectedRequest> Expected_Requests(bool snmpTypes) {
    return {
        {.Position = 0, .Bit = 2, .Poll = 500, .Slave = 1, .Function = 1, .Address = 100, .Points = 9, .Port = 1502,
         .IP_Image_Bytes = {3, 2, 1, 10}, .Max_Error = 3, .SNMP_Type = std::uint8_t(snmpTypes ? 2 : 0), .Byte_Count = 2},
        {.Position = 10, .Bit = 4, .Poll = 1000, .Slave = 2, .Function = 0, .Address = 7, .Points = 200, .Port = 502,
         .IP_Image_Bytes = {20, 0, 168, 192}, .Max_Error = 5, .Byte_Count = 144, .Flags = 0x0C},
        {.Position = 300, .Bit = 1, .Slave = 3, .Function = 6, .Address = 5, .Points = 1, .Port = 502,
         .IP_Image_Bytes = {21, 0, 168, 192}, .Max_Error = 1, .Byte_Count = 2, .Flags = 0x09},
    };
}
std::string Table(bool snmpTypes) {
    std::string t = Requests_Bytes(Expected_Requests(snmpTypes));
    return t + std::string(0x7800 - t.size(), '\0');
}

}  // namespace

TEST(ImageModbusTCP, Model11WritesMainBlockWholeTableAndSecondProcessorBlock) {
    TProjectFixture p(11);
    p.ParGen(With(With(Station_Keys, Side_Keys("Modbus_TCP_Master_")),
                  {{"Modbus_TCP_Master_TimeOut", "300"}, {"Modbus_TCP_Master_Cyclic", "50"},
                   {"MODBUS_TCP_MASTER_NB_IN", "128"}, {"MODBUS_TCP_MASTER_NB_OUT", "64"},
                   {"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "10"}}));
    p.ModbusTCPM_SetAccess(Read_Rows, Write_Rows);
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U16(52, 5000).U32(76, 0x58000).U32(196, 0x58000).Bytes(40, Profinet_Bytes).Text(80, "tcp-station");
    main.U32(32, 300).U32(36, 50).U32(116, 128).U32(120, 64).Bytes(304, Side_Bytes).U32(300, 11).U32(72, 3);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), main.Close()));
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Table(false)));

    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.Bytes(96, {0, 0, 0, 0}).U16(52, 5000).U32(76, 0x80000).U32(196, 0x80000).Bytes(40, Profinet_Bytes);
    cpu2.Text(80, "tcp-station").U32(32, 300).U32(36, 50).U32(116, 128).U32(120, 64).Bytes(388, Side_Bytes);
    cpu2.U32(384, 11).U32(72, 3);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank3.bin"), cpu2.Close()));
}

TEST(ImageModbusTCP, Model19LaysTrapSectionMainBlockAndTableInOneBank) {
    TProjectFixture p(19);
    p.ParGen(With(With(With(Station_Keys, Side_Keys("Modbus_TCP_Master_")), SNMP_Keys),
                  {{"Modbus_TCP_Master_TimeOut", "300"}, {"Modbus_TCP_Master_Cyclic", "50"}, {"SNMP_MapType", "0"},
                   {"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "10"}}));
    p.ModbusTCPM_SetAccess(Read_Rows, Write_Rows);
    p.SNMP_Trap({R"(Enable="Y" Community_Name="unused" IP_Address="1.2.3.4")"}, {});
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.Bytes(96, {3, 0, 0, 0}).U16(52, 10000).U32(76, 0x68800).U32(196, 0x68800).Bytes(40, Profinet_Bytes);
    main.Text(440, "tcp-station").U32(432, 1).U32(32, 300).U32(36, 50).U32(116, 1024).U32(120, 1024);
    main.Text(456, "ops").Text(472, "hall").Bytes(304, Side_Bytes).U32(72, 3);
    // The fixed map: no trap rows, the SNMP data types from the requests.
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), std::string(0x6000, '\0') + main.Close() + Table(true)));
}

TEST(ImageModbusTCP, Models12And17WriteMainBlockAndSecondProcessorBlock) {
    const TKeys slave = With(Side_Keys("Modbus_TCP_Slave_"), {{"Modbus_TCP_Slave_Port", "1502"}});
    {
        TProjectFixture p(12);
        p.ParGen(With(With(Station_Keys, slave),
                      {{"MODBUS_TCP_Slave_NB_IN", "128"}, {"MODBUS_TCP_Slave_NB_OUT", "64"},
                       {"Modbus_TCP_Slave_READ_INPUT_REG", "1"}, {"Modbus_TCP_Slave_SWAPBYTES", "1"}}));
        Build_And_Write(p);
        TExpectedBlock main = Main_Defaults();
        main.U16(58, 1).Bytes(96, {0x42, 0, 0, 0}).U16(52, 5000).Bytes(40, Profinet_Bytes).Text(80, "tcp-station");
        main.U32(116, 128).U32(120, 64).Bytes(304, Side_Bytes).U16(54, 1502);
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), main.Close()));
        TExpectedBlock cpu2 = CPU2_Defaults();
        cpu2.Bytes(96, {0x42, 0, 0, 0}).U16(52, 5000).Bytes(40, Profinet_Bytes).Text(80, "tcp-station");
        cpu2.U32(116, 128).U32(120, 64).Bytes(388, Side_Bytes).U16(54, 1502);
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), cpu2.Close()));
    }
    {
        TProjectFixture p(17);
        p.ParGen(With(With(With(Station_Keys, slave), SNMP_Keys),
                      {{"SNMP_MapType", "1"}, {"Modbus_TCP_Slave_SWAPBYTES", "1"}}));
        p.SNMP_Trap({R"(Enable="Y" Community_Name="public" Type="Int" Position="4" NumBits="16" IP_Address="10.0.0.9")"}, {});
        Build_And_Write(p);
        TExpectedBlock main = Main_Defaults();
        main.Bytes(96, {0, 0x08, 0, 0}).U16(52, 10000).Bytes(40, Profinet_Bytes).Text(440, "tcp-station");
        main.U32(116, 1024).U32(120, 1024).U32(356, 2).U32(432, 1).Text(456, "ops").Text(472, "hall");
        main.Bytes(304, Side_Bytes).U16(54, 1502).U32(416, 1).U32(424, 0x68800).U32(428, 0x6B800);
        std::string section(0x6000, '\0');
        section.replace(0, 48, Trap_Entry(4, 0, 16, 0, Trap_Flag_Int, 0, "public", "", {9, 0, 0, 10}));
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank.bin"), main.Close() + section));
        TExpectedBlock cpu2 = CPU2_Defaults();
        cpu2.Bytes(96, {0, 0x40, 0, 0}).U16(52, 10000).Bytes(40, Profinet_Bytes).Bytes(388, Side_Bytes).U16(54, 1502);
        EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), cpu2.Close()));
    }
}

TEST(ImageModbusTCP, RequestTypesAndSlaveFlags) {
    struct TTypeCase {
        bool Write;
        const char* Type;  // nullptr: no "Type"
        const char* Points;
        std::uint8_t Function;
    };
    const TTypeCase types[] = {
        {false, "INPUT REGISTER", "2", 4}, {false, "input status", "2", 2}, {false, "Analog", "2", 0},
        {false, nullptr, "2", 0},          {false, "COIL STATUS ", "2", 0}, {true, "Coil Status", "1", 5},
        {true, "COIL STATUS", "3", 15},    {true, "HOLDING REGISTER", "3", 16}, {true, nullptr, "1", 0},
    };
    for (const TTypeCase& c : types) {
        TProjectFixture p(11);
        std::string row = std::string(R"(IP_Address="10.1.2.3" Slave_ID="1" Address="0" PollTime="0" MaxError="0" Position="0" Bit="0" NPoint=")") +
                          c.Points + "\"" + (c.Type ? std::string(" Type=\"") + c.Type + "\"" : std::string());
        p.ModbusTCPM_SetAccess(c.Write ? std::vector<std::string>{} : std::vector<std::string>{row},
                               c.Write ? std::vector<std::string>{row} : std::vector<std::string>{});
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        const Byte* entry = image->Bank_Image_B.Data();
        EXPECT_EQ(entry[9], c.Function) << (c.Type ? c.Type : "(none)") << " " << c.Write;
        EXPECT_EQ(std::vector<std::uint8_t>(entry + 16, entry + 20), (std::vector<std::uint8_t>{3, 2, 1, 10}));
    }

    struct TSlaveCase {
        TKeys Keys;
        std::uint16_t Main_58;
        std::uint8_t CPU2_97;
        std::uint16_t Port;
    };
    const TSlaveCase slaves[] = {
        {{{"Modbus_TCP_Slave_READ_INPUT_REG", "1"}}, 1, 0x00, 502},
        {{{"Modbus_TCP_Slave_READ_INPUT_REG", "0"}, {"Modbus_TCP_Slave_Port", "x"}}, 0, 0x40, 502},
    };
    for (const TSlaveCase& c : slaves) {
        TProjectFixture p(12);
        p.ParGen(c.Keys);
        std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
        const Byte* mb = image->Main_Param_Block.Data();
        EXPECT_EQ(mb[58] | mb[59] << 8, c.Main_58);
        EXPECT_EQ(image->CPU2_Param_Block.Data()[97], c.CPU2_97);
        EXPECT_EQ(mb[54] | mb[55] << 8, c.Port);
    }
}
