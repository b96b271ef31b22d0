// The images of models 13, 20 and 35 built from small projects and written
// as bank files, checked byte for byte against blocks worked out by offset.
#include "ImageFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const TKeys Model35_ParGen = {
    {"PROFINET_IP1", "10"}, {"PROFINET_IP2", "0"}, {"PROFINET_IP3", "0"}, {"PROFINET_IP4", "7"},
    {"PROFINET_SM1", "255"}, {"PROFINET_SM2", "255"}, {"PROFINET_SM3", "0"}, {"PROFINET_SM4", "0"},
    {"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "0"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "1"},
    {"PROFINET_EN_GAT", "1"}, {"PROFINET_NAME_STA", "station-35"},
    {"SNMP_Contact", "ops@example.net"}, {"SNMP_Location", "Hall 7 / Rack 12X"},
    {"SNMP_VERSION1", "1"}, {"SNMP_VERSION2", "0"}, {"SNMP_VERSION3", "1"},
    {"SNMP_VER3_USER", "admin"}, {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"},
    {"SNMP_VER3_AUTHORITY", "authpass1"}, {"SNMP_VER3_AUTHORITY_MODE", "SHA"},
    {"SNMP_VER3_PRIVACY_MODE", "AES"}, {"SNMP_VER3_PRIVACY_HEX", "1"}, {"SNMP_VER3_PRIVACY", "0A1bZZ7"},
    {"EtherNetIP_IP1", "192"}, {"EtherNetIP_IP2", "168"}, {"EtherNetIP_IP3", "1"},
    {"EtherNetIP_SM1", "255"}, {"EtherNetIP_SM2", "255"}, {"EtherNetIP_SM3", "255"}, {"EtherNetIP_SM4", "0"},
    {"EtherNetIP_GAT1", "192"}, {"EtherNetIP_GAT2", "168"}, {"EtherNetIP_GAT3", "1"}, {"EtherNetIP_GAT4", "254"},
    {"EtherNetIP_Num_Byte_In", "100"}, {"EtherNetIP_Num_Byte_Out", "$20"},
};

const std::vector<std::string> Read_Rows = {
    R"(Enable="Y" Community_Name="public" Type="Int" On_Change="Y" On_Command="Y" On_Timer="Y" Time="5000" Position="10" Bit="3" NumBits="12" Description="temperature" IP_Address="192.168.0.5" Conversion="Float * 100" Mnemonic="t")",
    R"(Enable="N" Community_Name="skipped" Type="Int" Position="99" NumBits="1" IP_Address="9.9.9.9")",
    R"(Enable="y" Community_Name="a-very-long-community-name" Type="String" On_Change="N" NumBits="4" Position="20" Description="label" Conversion="None")",
};
const std::vector<std::string> Write_Rows = {
    R"(Enable="Y" Community_Name="private" Type="Int" Position="30" Bit="0" NumBits="16" Description="setpoint" Conversion=" int * 10 " IP_Address="1.2.3.4" Time="99" On_Change="Y")",
};

std::string Section(const std::vector<std::string>& read, const std::vector<std::string>& write) {
    std::string s(0x6000, '\0');
    for (std::size_t i = 0; i < read.size(); ++i) s.replace(i * 48, 48, read[i]);
    for (std::size_t i = 0; i < write.size(); ++i) s.replace(256 * 48 + i * 48, 48, write[i]);
    return s;
}

std::vector<std::string> Bin_Files(const TProjectFixture& p) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(p.Project() + "/bin")) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(ImageEtherNetIP, Model35WritesMainBlockSecondProcessorBlockAndTrapSection) {
    TProjectFixture p(35);
    p.ParGen(Model35_ParGen);
    p.SNMP_Trap(Read_Rows, Write_Rows);
    Build_And_Write(p);

    EXPECT_EQ(Bin_Files(p), (std::vector<std::string>{".keep", "bank.bin", "bank1.bin", "bank2.bin"}));

    TExpectedBlock main = Main_Defaults();
    main.Bytes(40, {10, 0, 0, 7, 255, 255, 0, 0, 10, 0, 0, 1}).U16(52, 10000).U16(54, 0).U16(56, 0);
    main.U32(116, 32).U32(120, 100);
    main.Bytes(304, {192, 168, 1, 10, 255, 255, 255, 0, 255, 255, 255, 255});
    main.U32(416, 2).U32(420, 1);  // no table addresses: this processor takes no configuration
    main.U32(432, 0x2B5);          // versions 1 and 3, auth, priv, SHA, AES
    main.Text(456, "ops@example.net").Text(472, "Hall 7 / Rack 12").Text(488, "admin").Text(508, "authpass1");
    main.Bytes(524, {0x0A, 0x1B, 0x00});
    EXPECT_EQ(p.Read_Bin("bank.bin"), main.Close());

    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.Bytes(40, {10, 0, 0, 7, 255, 255, 0, 0, 10, 0, 0, 1}).U16(52, 10000).U16(54, 0).U16(56, 0);
    cpu2.U32(116, 32).U32(120, 100);
    cpu2.Bytes(388, {192, 168, 1, 10, 255, 255, 255, 0, 255, 255, 255, 255});
    cpu2.Text(1396, "station-35");
    cpu2.U32(1436, 2).U32(1440, 1).U32(1444, 0x80000).U32(1448, 0x83000).U32(1452, 0x2B5);
    cpu2.Text(1456, "admin").Text(1476, "authpass1").Bytes(1492, {0x0A, 0x1B, 0x00});
    cpu2.Text(1856, "ops@example.net").Text(1872, "Hall 7 / Rack 12");
    EXPECT_EQ(p.Read_Bin("bank1.bin"), cpu2.Close());

    // On_Command is not read for this model; Conversion is.
    std::string section = Section(
        {Trap_Entry(10, 3, 12, 3, 0x0D, 5000, "public", "temperature", {0x05, 0x00, 0xA8, 0xC0}),
         Trap_Entry(20, 0, 32, 0, 0x00, 0, "a-very-long-com", "label", {})},
        {Trap_Entry(30, 0, 16, 10, 0x08, 0, "private", "setpoint", {})});
    EXPECT_EQ(p.Read_Bin("bank2.bin"), section);
}

TEST(ImageEtherNetIP, Model35EmptyProjectKeepsTheDefaults) {
    TProjectFixture p(35);
    Build_And_Write(p);
    TExpectedBlock main = Main_Defaults();
    main.U16(52, 10000).U16(54, 0).U16(56, 0);
    EXPECT_EQ(p.Read_Bin("bank.bin"), main.Close());
    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.U16(54, 0).U16(56, 0).U32(1444, 0x80000).U32(1448, 0x83000);
    EXPECT_EQ(p.Read_Bin("bank1.bin"), cpu2.Close());
    EXPECT_EQ(p.Read_Bin("bank2.bin"), std::string(0x6000, '\0'));
}

TEST(ImageEtherNetIP, Model13WritesTwoBlocksAndLeavesOtherFilesAlone) {
    TProjectFixture p(13);
    p.Dir().write("proj/bin/bank2.bin", "from another layout");
    p.ParGen({{"PROFINET_IP1", "192"}, {"PROFINET_IP2", "168"}, {"PROFINET_IP3", "0"}, {"PROFINET_IP4", "5"},
              {"PROFINET_GAT1", "192"}, {"PROFINET_GAT2", "168"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "1"},
              {"PROFINET_EN_GAT", "0"}, {"PROFINET_NAME_STA", "plc-13"}, {"PROFINET_NB_IN", " $40"},
              {"EtherNetIP_IP4", "abc"}, {"EtherNetIP_EN_GAT", "1"}, {"SNMP_VERSION1", "1"},
              {"SNMP_Contact", "not for this model"}});
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255}).U16(52, 5000).U16(54, 0).U16(56, 0);
    main.Text(80, "plc-13").U32(116, 496).U32(120, 64);
    main.Bytes(304, {192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1});
    EXPECT_EQ(p.Read_Bin("bank.bin"), main.Close());

    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.Bytes(40, {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255}).U16(52, 5000).U16(54, 0).U16(56, 0);
    cpu2.Text(80, "plc-13").U32(116, 496).U32(120, 64);
    cpu2.Bytes(388, {192, 168, 0, 5, 255, 255, 255, 0, 192, 168, 0, 1});
    EXPECT_EQ(p.Read_Bin("bank1.bin"), cpu2.Close());
    EXPECT_EQ(p.Read_Bin("bank2.bin"), "from another layout");
}

TEST(ImageEtherNetIP, Model20WritesMainBlockWithTrapSectionBehindIt) {
    TProjectFixture p(20);
    p.ParGen({{"PROFINET_IP1", "10"}, {"PROFINET_IP2", "1"}, {"PROFINET_IP3", "2"}, {"PROFINET_IP4", "3"},
              {"PROFINET_NB_IN", "200"}, {"PROFINET_NB_OUT", "300"},
              {"SNMP_GAT1", "10"}, {"SNMP_GAT2", "1"}, {"SNMP_GAT3", "2"}, {"SNMP_GAT4", "254"}, {"SNMP_EN_GAT", "1"},
              {"SNMP_Name_of_Station", "snmp-20"}, {"SNMP_Location", "roof"},
              {"SNMP_VERSION2", "1"}, {"SNMP_VERSION3", "0"}, {"SNMP_VER3_USER", "ignored"},
              {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"}});
    p.SNMP_Trap(Read_Rows, Write_Rows);
    Build_And_Write(p);

    EXPECT_EQ(Bin_Files(p), (std::vector<std::string>{".keep", "bank.bin"}));
    std::string bank = p.Read_Bin("bank.bin");
    ASSERT_EQ(bank.size(), 0x6800u);

    TExpectedBlock main = Main_Defaults();
    main.Bytes(40, {10, 1, 2, 3, 255, 255, 255, 0, 255, 255, 255, 255}).U16(52, 5000).U16(54, 44818).U16(56, 44818);
    main.Text(80, "devicename1").U32(116, 1024).U32(120, 1024);
    main.Bytes(304, {192, 168, 0, 10, 255, 255, 255, 0, 10, 1, 2, 254});
    main.U32(416, 2).U32(420, 1).U32(424, 0x68800).U32(428, 0x6B800).U32(432, 0x2);
    main.Text(440, "snmp-20").Text(472, "roof");
    EXPECT_EQ(bank.substr(0, 2048), main.Close());

    // Neither On_Command nor Conversion is read for this model.
    EXPECT_EQ(bank.substr(2048), Section({Trap_Entry(10, 3, 12, 0, 0x0D, 5000, "public", "temperature", {0x05, 0x00, 0xA8, 0xC0}),
                                          Trap_Entry(20, 0, 32, 0, 0x00, 0, "a-very-long-com", "label", {})},
                                         {Trap_Entry(30, 0, 16, 0, 0x08, 0, "private", "setpoint", {})}));
}

TEST(ImageEtherNetIP, EveryBuildStartsClean) {
    TProjectFixture first(35), second(35);
    first.ParGen(Model35_ParGen);
    first.SNMP_Trap(Read_Rows, Write_Rows);
    Build_And_Write(first);
    Build_And_Write(second);  // no files: nothing of the first project may appear
    TProjectFixture fresh(35);
    Build_And_Write(fresh);
    for (const char* name : {"bank.bin", "bank1.bin", "bank2.bin"}) EXPECT_EQ(second.Read_Bin(name), fresh.Read_Bin(name)) << name;

    std::string once = first.Read_Bin("bank1.bin");
    Build_And_Write(first);
    EXPECT_EQ(first.Read_Bin("bank1.bin"), once);
}
