// The CANopen images (models 8, 24, 33): item entries byte by byte, the
// whole files of models 8 and 33, and the builds that are refused.
#include "TableFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Item(const TProjectFixture& p, int table_entry) { return p.Read_Bin("bank2.bin").substr(32 * table_entry, 32); }

// The first entry of each table.
enum { Server_Read = 0, Server_Write = 512, Client_Read = 1024, Client_Write = 1280, Rx_PDO = 1536, Tx_PDO = 1664 };

std::string Cleared() { return TExpectedEntry(32).U16s(12, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}).Str(); }

void SDO_Server(const TProjectFixture& p, std::vector<std::string> read, std::vector<std::string> write) {
    Table_File(p, "SDO_Server_CANopen.xml", "SDO_Server", {{"SDO_Read", read}, {"SDO_Write", write}});
}
void SDO_Client(const TProjectFixture& p, std::vector<std::string> read, std::vector<std::string> write) {
    Table_File(p, "SDO_Client_CANopen.xml", "SDO_Client", {{"SDO_Read", read}, {"SDO_Write", write}});
}
void PDO(const TProjectFixture& p, std::vector<std::string> receive, std::vector<std::string> transmit) {
    Table_File(p, "PDO_CANopen.xml", "PDO_CANopen", {{"Receive_PDO", receive}, {"Transmit_PDO", transmit}});
}

}  // namespace

TEST(ImageCANopen, ItemEntriesByteForByte) {
    struct Case {
        const char* What;
        int Entry;
        std::string Expected;
    };
    TProjectFixture p(24);
    SDO_Server(p,
               {R"(Index="8192" SubIndex="1" NByte="2" Address_B1="10" Address_B2="11" Address_B3="12" Address_B4="13")",
                R"(Index="1" SubIndex="0" NByte="1" Address_B1="5" Address_B2="6" Address_B3="7" Address_B4="8")",
                R"(Index="2" SubIndex="3" NByte="4" Address_B1="5" Address_B2="6" Address_B3="7" Address_B4="8")"},
               {R"(Index="3" SubIndex="4" NByte="1" Address_B1="9")"});
    SDO_Client(p, {R"(Device_ID="7" Poll_Time="250" Index="4" SubIndex="5" NByte="2" Address_B1="1" Address_B2="2")"},
               {R"(Device_ID="8" Poll_Time="10" Index="5" SubIndex="6" NByte="1" Address_B1="3" On_Change="Y")",
                R"(Device_ID="8" Poll_Time="10" Index="5" SubIndex="6" NByte="1" Address_B1="3" On_Change="N")",
                R"(Device_ID="8" Poll_Time="10" Index="5" SubIndex="6" NByte="1" Address_B1="3")"});
    PDO(p,
        {R"(COB-ID="513" TimeOut="100" Dimension="3" Address_B1="1" Address_B2="2" Address_B3="3" Address_B4="4" Address_B5="5" Address_B6="6" Address_B7="7" Address_B8="8")"},
        {R"(COB-ID="385" Send_Time="50" Dimension="8" Address_B1="1" Address_B2="2" Address_B3="3" Address_B4="4" Address_B5="5" Address_B6="6" Address_B7="7" Address_B8="8" On_Change="Y")",
         R"(COB-ID="386" Send_Time="50" Dimension="1" Address_B1="9" On_Change="N")"});
    Build_And_Write(p);

    const Case cases[] = {
        {"the example server read row", Server_Read,
         TExpectedEntry(32).U16(4, 8192).U8(6, 1).U16s(20, {10, 11, 0, 0}).U8(28, 2).Str()},
        {"one data byte keeps the other addresses 0", Server_Read + 1, TExpectedEntry(32).U16(4, 1).U16s(20, {5, 0, 0, 0}).U8(28, 1).Str()},
        {"four data bytes take all four", Server_Read + 2,
         TExpectedEntry(32).U16(4, 2).U8(6, 3).U16s(20, {5, 6, 7, 8}).U8(28, 4).Str()},
        {"a server write row", Server_Write, TExpectedEntry(32).U16(4, 3).U8(6, 4).U16s(20, {9, 0, 0, 0}).U8(28, 1).U8(29, 1).Str()},
        {"a client read row names its device and poll time", Client_Read,
         TExpectedEntry(32).U16(4, 4).U8(6, 5).U8(7, 7).U32(8, 250).U16s(20, {1, 2, 0, 0}).U8(28, 2).Str()},
        {"a client write row sent on change", Client_Write,
         TExpectedEntry(32).U16(4, 5).U8(6, 6).U8(7, 8).U32(8, 10).U16s(20, {3, 0, 0, 0}).U8(28, 1).U8(29, 3).Str()},
        {"a client write row not on change", Client_Write + 1,
         TExpectedEntry(32).U16(4, 5).U8(6, 6).U8(7, 8).U32(8, 10).U16s(20, {3, 0, 0, 0}).U8(28, 1).U8(29, 1).Str()},
        {"a client write row without On_Change", Client_Write + 2,
         TExpectedEntry(32).U16(4, 5).U8(6, 6).U8(7, 8).U32(8, 10).U16s(20, {3, 0, 0, 0}).U8(28, 1).U8(29, 1).Str()},
        {"a receive PDO of three bytes", Rx_PDO, TExpectedEntry(32).U32(0, 513).U32(8, 100).U16s(12, {1, 2, 3}).U8(28, 3).Str()},
        {"a transmit PDO sent on change", Tx_PDO,
         TExpectedEntry(32).U32(0, 385).U32(8, 50).U16s(12, {1, 2, 3, 4, 5, 6, 7, 8}).U8(28, 8).U8(29, 3).Str()},
        {"a transmit PDO not on change", Tx_PDO + 1, TExpectedEntry(32).U32(0, 386).U32(8, 50).U16s(12, {9}).U8(28, 1).U8(29, 1).Str()},
        {"an unfilled entry", Tx_PDO + 2, Cleared()},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(Item(p, c.Entry)), Hex(c.Expected)) << c.What;

    std::string main = p.Read_Bin("bank1.bin");
    TLeBytes m(reinterpret_cast<Byte*>(main.data()), main.size(), "main");
    const std::uint32_t counts[6] = {3, 1, 1, 3, 1, 2};
    for (int t = 0; t < 6; ++t) EXPECT_EQ(m.GetU32(172 + 4 * t), counts[t]) << "table " << t + 1;
}

TEST(ImageCANopen, BaudRatesTimesAndRestartBits) {
    TProjectFixture p(8);
    p.ParGen({{"CANopen_BAUDRATE", "3"}, {"CANopen_Sync_Time", "5"}, {"CANopen_Delay", "2"}});
    Row_File(p, "ReStart_CANopen.xml", "Enable_ReStart_CANopen",
             {R"(Enable_ReStart="Y" Mnemonic="")", R"(Enable_ReStart="N")", R"(Mnemonic="no flag")", R"(Enable_ReStart="y")",
              R"(Enable_ReStart="N")", R"(Enable_ReStart="N")", R"(Enable_ReStart="N")", R"(Enable_ReStart="N")",
              R"(Enable_ReStart="N")", R"(Enable_ReStart="Y")"});
    Build_And_Write(p);
    std::string main = p.Read_Bin("bank1.bin"), cpu2 = p.Read_Bin("bank3.bin");
    TLeBytes m(reinterpret_cast<Byte*>(main.data()), main.size(), "main");
    TLeBytes c(reinterpret_cast<Byte*>(cpu2.data()), cpu2.size(), "cpu2");
    EXPECT_EQ(m.GetU32(0), 100000u);
    EXPECT_EQ(m.GetU32(360), 5000u);
    EXPECT_EQ(c.GetU32(1708), 5000u);
    EXPECT_EQ(m.GetU32(164), 2000u);
    EXPECT_EQ(Hex(main.substr(540, 2)), "01 02");  // nodes 1 and 10
    EXPECT_EQ(Hex(cpu2.substr(1724, 2)), "01 02");

    TProjectFixture q(24);
    q.ParGen({{"CANopen_BAUDRATE", "9"}});
    Row_File(q, "ReStart_CANopen.xml", "Enable_ReStart_CANopen", {R"(Enable_ReStart="Y")"});
    Row_File(q, "NodeGuard.xml", "NodeGuard", {R"(NodeID="3" GuardTime="100" LifeTimeFactor="2")"});
    Build_And_Write(q);
    main = q.Read_Bin("bank1.bin");
    TLeBytes m24(reinterpret_cast<Byte*>(main.data()), main.size(), "main");
    EXPECT_EQ(m24.GetU32(0), 250000u);
    EXPECT_EQ(m24.GetU32(360), 1000000u);  // the default second, in microseconds
    EXPECT_EQ(m24.GetU8(540), 0u);          // model 24 restarts no node
    EXPECT_EQ(m24.GetU32(556), 0u);
    EXPECT_EQ(main.size(), 2048u);
}

TEST(ImageCANopen, NodeGuardingRowsAreForgiving) {
    TProjectFixture p(33);
    Row_File(p, "NodeGuard.xml", "NodeGuard",
             {R"(NodeID="3" GuardTime="1000" LifeTimeFactor="2")", R"(NodeID="x" GuardTime="500")", R"(GuardTime="70000")"});
    Build_And_Write(p);
    const std::string bank1 = p.Read_Bin("bank1.bin");
    EXPECT_EQ(Hex(bank1.substr(2048, 12)), "E8 03 03 02 F4 01 00 00 70 11 00 00");
    TLeBytes m(reinterpret_cast<Byte*>(const_cast<char*>(bank1.data())), bank1.size(), "main");
    EXPECT_EQ(m.GetU32(556), 3u);
    EXPECT_EQ(m.GetU32(560), 0x68800u);
}

// Every key of the family with a value other than its default.
const TKeys CANopen_ParGen = {
    {"PROFINET_IP1", "10"}, {"PROFINET_IP2", "1"}, {"PROFINET_IP3", "2"}, {"PROFINET_IP4", "3"},
    {"PROFINET_SM1", "255"}, {"PROFINET_SM2", "255"}, {"PROFINET_SM3", "0"}, {"PROFINET_SM4", "0"},
    {"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "1"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "254"},
    {"PROFINET_EN_GAT", "0"}, {"PROFINET_PORT", "34964"}, {"PROFINET_NAME_STA", "canopen-1"},
    {"PROFINET_NB_IN", "100"}, {"PROFINET_NB_OUT", "120"},
    {"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "7"},
    {"PROFINET_ENABLE_CANOPEN_CMD", "1"}, {"PROFINET_CANOPEN_CMD_INDEX", "9"},
    {"CANopen_IDDev", "5"}, {"CANopen_BAUDRATE", "8"}, {"CANopen_Set_Operational", "1"}, {"CANopen_Network_Start", "1"},
    {"CANopen_Delay", "3"}, {"CANopen_SDO_TimeOut", "2000"}, {"CANopen_Sync_Enable", "1"}, {"CANopen_Sync_Time", "20"},
    {"CANopen_Enable_Restart", "1"}, {"CANopen_Enable_Reset_Data", "1"}, {"CANopen_Triggered_SDO_Enable", "1"},
    {"CANopen_Triggered_SDO_Address_Input", "30"}, {"CANopen_Triggered_SDO_Address_Output", "40"},
    {"CANopen_HeartBeat_Time", "500"},
    {"SNMP_VERSION1", "1"}, {"SNMP_VERSION2", "0"}, {"SNMP_VERSION3", "0"}, {"SNMP_Contact", "me"}, {"SNMP_Location", "here"},
};

void Full_CANopen_Project(const TProjectFixture& p) {
    p.ParGen(CANopen_ParGen);
    SDO_Server(p, {R"(Index="8192" SubIndex="1" NByte="2" Address_B1="10" Address_B2="11")"}, {});
    SDO_Client(p, {}, {});
    PDO(p, {}, {R"(COB-ID="385" Send_Time="50" Dimension="1" Address_B1="9" On_Change="Y")"});
    Row_File(p, "NodeGuard.xml", "NodeGuard", {R"(NodeID="3" GuardTime="1000" LifeTimeFactor="2")"});
    Row_File(p, "ReStart_CANopen.xml", "Enable_ReStart_CANopen", {R"(Enable_ReStart="N")", R"(Enable_ReStart="Y")"});
}

// The six tables as the expected files hold them: the two rows above, the rest cleared.
std::string Expected_Tables() {
    std::string items;
    for (int i = 0; i < 1792; ++i) items += Cleared();
    items.replace(32 * Server_Read, 32, TExpectedEntry(32).U16(4, 8192).U8(6, 1).U16s(20, {10, 11, 0, 0}).U8(28, 2).Str());
    items.replace(32 * Tx_PDO, 32, TExpectedEntry(32).U32(0, 385).U32(8, 50).U16s(12, {9}).U8(28, 1).U8(29, 3).Str());
    return items;
}

std::string Expected_Node_Guard() { return TExpectedEntry(512).U16(0, 1000).U8(2, 3).U8(3, 2).Str(); }

TEST(ImageCANopen, Model8WritesFourFiles) {
    TProjectFixture p(8);
    Full_CANopen_Project(p);
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U32(0, 1000000).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 255, 255, 255, 255}).Text(80, "canopen-1");
    main.Bytes(96, {2, 0, 0, 2}).U16(104, 10002).U32(116, 100).U32(120, 120).U32(0x9C, 5).U32(160, 0x3F);
    main.U32(164, 3000).U32(168, 2000).U32(172, 1).U32(192, 1).U32(300, 8).U32(360, 20000).U32(436, 10);
    main.Bytes(540, {0x02}).U32(556, 1).U32(560, 0x68800).U32(580, 30).U32(584, 40).U16(668, 500);
    const std::string bank1 = p.Read_Bin("bank1.bin");
    EXPECT_TRUE(Same_Bytes(bank1, main.Close() + Expected_Node_Guard()));

    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.U32(0, 1000000).U32(4, 1000000).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 255, 255, 255, 255}).Text(80, "canopen-1");
    cpu2.Bytes(96, {2, 0, 0, 2}).U16(104, 10002).U32(116, 100).U32(120, 120).U32(0x9C, 5).U32(160, 0x3F);
    cpu2.U32(164, 3000).U32(168, 2000).U32(172, 1).U32(192, 1);
    cpu2.U32(224, 0x80000).U32(228, 0x84000).U32(232, 0x88000).U32(236, 0x8A000).U32(240, 0x8C000).U32(244, 0x8D000);
    cpu2.U32(384, 8).U32(1696, 10).U32(1708, 20000).U32(1712, 30).U32(1716, 40).Bytes(1724, {0x02});
    cpu2.U32(1740, 1).U32(1744, 0x8E000).U16(1790, 500);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank3.bin"), cpu2.Close()));

    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Expected_Tables()));
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank4.bin"), Expected_Tables() + Expected_Node_Guard()));
}

TEST(ImageCANopen, Model33ReadsItsAgentSettingsAndAddsTheTrapSection) {
    TProjectFixture p(33);
    Full_CANopen_Project(p);
    p.SNMP_Trap({R"(Enable="Y" Community_Name="public" Type="Int" Position="1" NumBits="8" IP_Address="1.2.3.4")"}, {});
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U32(0, 1000000).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 255, 255, 255, 255}).Text(80, "canopen-1");
    main.Bytes(96, {2, 0, 0, 2}).U16(104, 10002).U32(116, 100).U32(120, 120).U32(0x9C, 5).U32(160, 0x27);
    main.U32(164, 3000).U32(168, 2000).U32(172, 1).U32(192, 1).U32(360, 20000);
    main.U32(224, 0x56000).U32(228, 0x5A000).U32(232, 0x5E000).U32(236, 0x60000).U32(240, 0x62000).U32(244, 0x63000);
    main.U32(416, 1).U32(424, 0x68A00).U32(428, 0x6BA00).U32(432, 0x001).Text(456, "me").Text(472, "here");
    main.Bytes(540, {0x02}).U32(556, 1).U32(560, 0x68800).U32(580, 30).U32(584, 40);
    const std::string bank1 = p.Read_Bin("bank1.bin");
    ASSERT_EQ(bank1.size(), 0x6A00u);
    EXPECT_TRUE(Same_Bytes(bank1.substr(0, 2560), main.Close() + Expected_Node_Guard()));
    EXPECT_EQ(bank1.substr(2560 + 12, 6), "public");
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Expected_Tables()));
}

TEST(ImageCANopen, FileSetsAndSizes) {
    struct Case {
        int Model;
        std::vector<std::pair<std::string, std::size_t>> Files;
    };
    const Case cases[] = {
        {8, {{"bank1.bin", 2560}, {"bank2.bin", 0xE000}, {"bank3.bin", 2048}, {"bank4.bin", 0xE200}}},
        {24, {{"bank1.bin", 2048}, {"bank2.bin", 0xE000}}},
        {33, {{"bank1.bin", 0x6A00}, {"bank2.bin", 0xE000}}},
    };
    for (const Case& c : cases) {
        for (bool full : {false, true}) {
            TProjectFixture p(c.Model);
            if (full) Full_CANopen_Project(p);
            Build_And_Write(p);
            std::size_t files = 0;
            for (const auto& e : std::filesystem::directory_iterator(p.Project() + "/bin")) files += e.path().filename() != ".keep";
            EXPECT_EQ(files, c.Files.size()) << c.Model;
            for (const auto& [name, size] : c.Files) EXPECT_EQ(p.Read_Bin(name).size(), size) << c.Model << " " << name;
            if (!full) {
                const std::string tables = p.Read_Bin("bank2.bin");
                for (std::size_t at = 0; at < tables.size(); at += 32)
                    ASSERT_EQ(tables.substr(at, 32), Cleared()) << c.Model << " entry " << at / 32;
            }
        }
    }
}

TEST(ImageCANopen, BrokenOrOverfullFilesRefuseTheBuild) {
    const std::string sdo = R"(Index="1" SubIndex="0" NByte="1" Address_B1="1")";
    struct Case {
        const char* What;
        std::function<void(const TProjectFixture&)> Write;
        std::string Message;
    };
    const Case cases[] = {
        {"an SDO file without its write table",
         [](const TProjectFixture& p) { Table_File(p, "SDO_Server_CANopen.xml", "S", {{"SDO_Read", {}}}); },
         "\"SDO_Server_CANopen.xml\" has no \"SDO_Write\" element"},
        {"513 server read rows", [&](const TProjectFixture& p) { SDO_Server(p, std::vector<std::string>(513, sdo), {}); },
         "holds more than 512 SDO server read objects"},
        {"a missing second address of a two-byte object",
         [](const TProjectFixture& p) { SDO_Server(p, {R"(Index="1" SubIndex="0" NByte="2" Address_B1="1")"}, {}); },
         "row 1 of \"SDO_Read\" has no \"Address_B2\""},
        {"a client row without its poll time",
         [&](const TProjectFixture& p) { SDO_Client(p, {}, {R"(Device_ID="1" Index="1" SubIndex="0" NByte="1" Address_B1="1")"}); },
         "\"SDO_Client_CANopen.xml\": row 1 of \"SDO_Write\" has no \"Poll_Time\""},
        {"a PDO dimension that is no number",
         [](const TProjectFixture& p) { PDO(p, {R"(COB-ID="1" TimeOut="0" Dimension="three" Address_B1="1")"}, {}); },
         "has no number in \"Dimension\" (\"three\")"},
        {"129 restart rows",
         [](const TProjectFixture& p) {
             Row_File(p, "ReStart_CANopen.xml", "R", std::vector<std::string>(129, R"(Enable_ReStart="N")"));
         },
         "holds more than 128 restart rows"},
    };
    for (const Case& c : cases) {
        TProjectFixture p(8);
        Build_And_Write(p);
        const std::string before = p.Read_Bin("bank4.bin");
        c.Write(p);
        const std::string message = Refusal(p);
        EXPECT_NE(message.find(c.Message), std::string::npos) << c.What << ": " << message;
        EXPECT_EQ(p.Read_Bin("bank4.bin"), before) << c.What;
    }
}
