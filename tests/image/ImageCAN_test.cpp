// The CAN images (models 0, 15, 27, 34) built from small projects: the frame
// entries byte by byte, the whole files against blocks worked out by offset,
// and the builds the converter must never get.
#include "TableFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

void CAN_Files(const TProjectFixture& p, const std::vector<std::string>& receive, const std::vector<std::string>& receiveInfo,
               const std::vector<std::string>& send, const std::vector<std::string>& sendInfo) {
    Table_File(p, "CAN_Rec_Frames.xml", "CAN_Rec_Frames", {{"Receive_Frames", receive}});
    Row_File(p, "CAN_Rec_Info.xml", "CAN_Rec_Info", receiveInfo);
    Table_File(p, "CAN_Send_Frames.xml", "CAN_Send_Frames", {{"Send_Frames", send}});
    Row_File(p, "CAN_Send_Info.xml", "CAN_Send_Info", sendInfo);
}

// A frame entry: identifier, period, time-out, direction, length and the byte map.
std::string Frame(std::uint32_t id, std::uint32_t period, std::uint32_t timeout, int direction, int length,
                  std::vector<int> map) {
    TExpectedEntry e(32);
    e.U32(0, id).U32(4, period).U32(8, timeout).U8(13, direction).U8(14, length);
    map.resize(8, -1);
    for (int n = 0; n < 8; ++n) e.U16(16 + 2 * n, std::uint16_t(map[n]));
    return e.Str();
}

std::string Entry(const TProjectFixture& p, int i) { return p.Read_Bin("bank2.bin").substr(32 * i, 32); }

}  // namespace

TEST(ImageCAN, TheExampleReceiveEntryByteForByte) {
    TProjectFixture p(27);
    CAN_Files(p, {R"#(Cob_Id="291" Type="2.0B (29 bits)" Dimension="2" TimeOut="500" Mnemonic="m")#"},
              {R"#(B1="10" B2="11" B3="12" B4="65535" B5="0" B6="0" B7="0" B8="0")#"}, {}, {});
    Build_And_Write(p);
    EXPECT_EQ(Hex(p.Read_Bin("bank2.bin")),
              "23 01 00 80 00 00 00 00 F4 01 00 00 00 00 02 00 0A 00 0B 00 FF FF FF FF FF FF FF FF FF FF FF FF");
}

TEST(ImageCAN, EntriesOfBothDirectionsAndTheirMaps) {
    struct Case {
        const char* What;
        std::vector<std::string> Receive, ReceiveInfo, Send, SendInfo;
        int Entry;
        std::string Expected;
    };
    const Case cases[] = {
        {"on data change in mixed case has no period",
         {}, {}, {R"#(Cob_Id="5" Type="2.0A (11 bits)" Dimension="1" Send_Type="oN dATA cHANGE" Timer_Send="100")#"}, {},
         0, Frame(5, 0, 0, 1, 1, {})},
        {"a cyclic send frame keeps its period",
         {}, {}, {R"#(Cob_Id="6" Type="2.0A (11 bits)" Dimension="1" Send_Type="Cyclic" Timer_Send="100")#"}, {R"#(B1="7")#"},
         0, Frame(6, 100, 0, 1, 1, {7})},
        {"length 0 maps no byte whatever its info row says",
         {R"#(Cob_Id="1" Type="x" Dimension="0" TimeOut="0")#"}, {R"#(B1="1" B2="2")#"}, {}, {},
         0, Frame(1, 0, 0, 0, 0, {})},
        {"a frame without an info row keeps every byte unmapped",
         {R"#(Cob_Id="1" Type="x" Dimension="8" TimeOut="9")#", R"#(Cob_Id="2" Type="x" Dimension="8" TimeOut="9")#"},
         {R"#(B1="1" B2="2" B3="3" B4="4" B5="5" B6="6" B7="7" B8="8")#"}, {}, {},
         1, Frame(2, 0, 9, 0, 8, {})},
        {"the first send-info row maps the first send entry, after two receive entries",
         {R"#(Cob_Id="1" Type="x" Dimension="1" TimeOut="0")#", R"#(Cob_Id="2" Type="x" Dimension="1" TimeOut="0")#"},
         {R"#(B1="100")#", R"#(B1="101")#"},
         {R"#(Cob_Id="3" Type="x" Dimension="2" Send_Type="C" Timer_Send="1")#",
          R"#(Cob_Id="4" Type="x" Dimension="1" Send_Type="C" Timer_Send="1")#",
          R"#(Cob_Id="5" Type="x" Dimension="1" Send_Type="C" Timer_Send="1")#"},
         {R"#(B1="200" B2="201")#"},
         2, Frame(3, 1, 0, 1, 2, {200, 201})},
        {"extra info rows are ignored",
         {R"#(Cob_Id="1" Type="x" Dimension="1" TimeOut="0")#"}, {R"#(B1="3")#", R"#(B1="4")#", R"#(B1="5")#"}, {}, {},
         0, Frame(1, 0, 0, 0, 1, {3})},
    };
    for (const Case& c : cases) {
        TProjectFixture p(0);
        CAN_Files(p, c.Receive, c.ReceiveInfo, c.Send, c.SendInfo);
        Build_And_Write(p);
        EXPECT_EQ(Hex(Entry(p, c.Entry)), Hex(c.Expected)) << c.What;
        const std::size_t frames = c.Receive.size() + c.Send.size();
        EXPECT_EQ(p.Read_Bin("bank2.bin").size(), 32 * frames) << c.What;
        EXPECT_EQ(std::uint8_t(p.Read_Bin("bank1.bin")[112]), frames) << c.What;
    }
}

TEST(ImageCAN, BaudRatesAndTheUserPort) {
    struct Case {
        const char* Baud;
        std::uint32_t Rate;
        const char* Port;
        std::uint16_t User_Port;
    };
    const Case cases[] = {
        {"3", 62500, "34963", 2000}, {"0", 10000, "502", 502},   {"12", 1000000, "10000", 2000},
        {nullptr, 1000000, nullptr, 2000}, {"fast", 1000000, "x", 2000}, {"9", 1000000, "34962", 2000},
    };
    for (const Case& c : cases) {
        TProjectFixture p(0);
        TKeys keys;
        if (c.Baud) keys.push_back({"CAN_BAUDRATE", c.Baud});
        if (c.Port) keys.push_back({"PROFINET_PORT", c.Port});
        p.ParGen(keys);
        Build_And_Write(p);
        std::string main = p.Read_Bin("bank1.bin"), cpu2 = p.Read_Bin("bank3.bin");
        TLeBytes m(reinterpret_cast<Byte*>(main.data()), main.size(), "main");
        TLeBytes c2(reinterpret_cast<Byte*>(cpu2.data()), cpu2.size(), "cpu2");
        EXPECT_EQ(m.GetU32(0), c.Rate) << (c.Baud ? c.Baud : "(missing)");
        EXPECT_EQ(c2.GetU32(0), c.Rate);
        EXPECT_EQ(c2.GetU32(4), c.Rate);
        EXPECT_EQ(m.GetU16(104), c.User_Port) << (c.Port ? c.Port : "(missing)");
        EXPECT_EQ(c2.GetU16(104), c.User_Port);
    }
}

// Every key of the family with a value other than its default.
const TKeys CAN_ParGen = {
    {"PROFINET_IP1", "10"}, {"PROFINET_IP2", "1"}, {"PROFINET_IP3", "2"}, {"PROFINET_IP4", "3"},
    {"PROFINET_SM1", "255"}, {"PROFINET_SM2", "255"}, {"PROFINET_SM3", "0"}, {"PROFINET_SM4", "0"},
    {"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "1"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "254"},
    {"PROFINET_EN_GAT", "1"}, {"PROFINET_PORT", "4000"}, {"PROFINET_NAME_STA", "can-station-name-long"},
    {"PROFINET_SEND_BACK_CAN_MESS", "1"}, {"PROFINET_SEND_REPLAY_TUNNEL_PORT", "1"},
    {"PROFINET_NB_IN", "200"}, {"PROFINET_NB_OUT", "300"},
    {"PROFINET_ENABLE_DIAGNOSTIC", "1"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "40"},
    {"PROFINET_ENABLE_MODBUS_POLLS", "1"}, {"PROFINET_MODBUS_POLLS_ADDRESS", "x"},
    {"CAN_BAUDRATE", "7"},
    {"SNMP_VERSION1", "1"}, {"SNMP_VERSION2", "1"}, {"SNMP_VERSION3", "0"},
    {"SNMP_Contact", "ops"}, {"SNMP_Location", "hall 3"},
};

void Full_CAN_Project(const TProjectFixture& p) {
    p.ParGen(CAN_ParGen);
    CAN_Files(p, {R"#(Cob_Id="291" Type="2.0B (29 bits)" Dimension="2" TimeOut="500" Mnemonic="a")#"},
              {R"#(B1="10" B2="11" B3="0" B4="0" B5="0" B6="0" B7="0" B8="0")#"},
              {R"#(Cob_Id="16" Type="2.0A (11 bits)" Dimension="1" Send_Type="Cyclic" Timer_Send="250" Mnemonic="b")#"},
              {R"#(B1="20" B2="0" B3="0" B4="0" B5="0" B6="0" B7="0" B8="0")#"});
}

TEST(ImageCAN, Model0WritesMainBlockFrameTableAndSecondProcessorBlock) {
    TProjectFixture p(0);
    Full_CAN_Project(p);
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U32(0, 500000).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 254}).U16(52, 5000);
    main.Text(80, "can-station-nam").Bytes(96, {2, 0, 0, 3}).U16(104, 4000).U32(112, 2).U32(116, 200).U32(120, 300);
    main.U32(300, 41).U32(672, 1);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), main.Close()));

    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.U32(0, 500000).U32(4, 500000).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 254}).U16(52, 5000);
    cpu2.Text(80, "can-station-nam").Bytes(96, {2, 0, 0, 3}).U16(104, 4000).U32(112, 2).U32(116, 200).U32(120, 300);
    cpu2.U32(200, 0x80000).U32(384, 41).U32(1748, 1);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank3.bin"), cpu2.Close()));

    EXPECT_EQ(Hex(p.Read_Bin("bank2.bin")),
              Hex(Frame(0x80000123, 0, 500, 0, 2, {10, 11}) + Frame(16, 250, 0, 1, 1, {20})));
}

TEST(ImageCAN, Model15PutsTheTrapSectionBehindTheMainBlock) {
    TProjectFixture p(15);
    Full_CAN_Project(p);
    p.SNMP_Trap({R"#(Enable="Y" Community_Name="public" Type="Int" Position="1" NumBits="8" IP_Address="1.2.3.4")#"}, {});
    Build_And_Write(p);

    const std::string bank1 = p.Read_Bin("bank1.bin");
    ASSERT_EQ(bank1.size(), 0x6800u);
    TExpectedBlock main = Main_Defaults();
    main.U32(0, 500000).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 254}).U16(52, 10000);
    main.Bytes(96, {0, 0, 0, 3}).U16(104, 4000).U32(112, 2);
    main.U32(116, 1024).U32(120, 1024);  // the agent's own areas, whatever the file says
    main.U32(416, 1).U32(424, 0x68800).U32(428, 0x6B800).U32(432, 0x003);
    main.Text(440, "can-station-nam").Text(456, "ops").Text(472, "hall 3");
    EXPECT_TRUE(Same_Bytes(bank1.substr(0, 2048), main.Close()));
    EXPECT_EQ(bank1.substr(2048 + 12, 6), "public");
    EXPECT_EQ(std::filesystem::exists(p.Bin("bank3.bin")), false);
}

TEST(ImageCAN, FileSetsAndSizes) {
    struct Case {
        int Model;
        std::vector<std::pair<std::string, std::size_t>> Empty, Full;
    };
    const Case cases[] = {
        {0, {{"bank1.bin", 2048}, {"bank2.bin", 0}, {"bank3.bin", 2048}}, {{"bank1.bin", 2048}, {"bank2.bin", 64}, {"bank3.bin", 2048}}},
        {27, {{"bank1.bin", 2048}, {"bank2.bin", 0}}, {{"bank1.bin", 2048}, {"bank2.bin", 64}}},
        {15, {{"bank1.bin", 0x6800}, {"bank2.bin", 0}}, {{"bank1.bin", 0x6800}, {"bank2.bin", 64}}},
        {34, {{"bank1.bin", 0x6800}, {"bank2.bin", 0}}, {{"bank1.bin", 0x6800}, {"bank2.bin", 64}}},
    };
    for (const Case& c : cases) {
        for (bool full : {false, true}) {
            TProjectFixture p(c.Model);
            if (full) Full_CAN_Project(p);
            Build_And_Write(p);
            std::size_t files = 0;
            for (const auto& e : std::filesystem::directory_iterator(p.Project() + "/bin"))
                files += e.path().filename() != ".keep";
            const auto& expected = full ? c.Full : c.Empty;
            EXPECT_EQ(files, expected.size()) << c.Model;
            for (const auto& [name, size] : expected) EXPECT_EQ(p.Read_Bin(name).size(), size) << c.Model << " " << name;
        }
    }
}

TEST(ImageCAN, BrokenOrOverfullFilesRefuseTheBuildAndKeepTheOldFiles) {
    struct Case {
        const char* What;
        std::vector<std::string> Receive, Info, Send;
        std::string Message;
    };
    std::vector<std::string> tooMany(1025, R"#(Cob_Id="1" Type="x" Dimension="0" TimeOut="0")#");
    const Case cases[] = {
        {"missing time-out", {R"#(Cob_Id="1" Type="x" Dimension="1")#"}, {}, {},
         "\"CAN_Rec_Frames.xml\": row 1 of \"Receive_Frames\" has no \"TimeOut\""},
        {"identifier no number", {R"#(Cob_Id="0x" Type="x" Dimension="1" TimeOut="0")#"}, {}, {},
         "row 1 of \"Receive_Frames\" has no number in \"Cob_Id\" (\"0x\")"},
        {"info position no number", {R"#(Cob_Id="1" Type="x" Dimension="2" TimeOut="0")#"}, {R"#(B1="1" B2="two")#"}, {},
         "\"CAN_Rec_Info.xml\": row 1 of \"CAN_Rec_Info\" has no number in \"B2\""},
        {"missing send type", {}, {}, {R"#(Cob_Id="1" Type="x" Dimension="1" Timer_Send="5")#"},
         "row 1 of \"Send_Frames\" has no \"Send_Type\""},
        {"1025 frames", tooMany, {}, {}, "holds more than 1024 CAN frames"},
    };
    for (const Case& c : cases) {
        TProjectFixture p(0);
        Build_And_Write(p);  // the files of a good build, which a refused one must leave
        const std::string before = p.Read_Bin("bank1.bin");
        Table_File(p, "CAN_Rec_Frames.xml", "CAN_Rec_Frames", {{"Receive_Frames", c.Receive}});
        Row_File(p, "CAN_Rec_Info.xml", "CAN_Rec_Info", c.Info);
        Table_File(p, "CAN_Send_Frames.xml", "CAN_Send_Frames", {{"Send_Frames", c.Send}});
        const std::string message = Refusal(p);
        EXPECT_NE(message.find(c.Message), std::string::npos) << c.What << ": " << message;
        EXPECT_EQ(p.Read_Bin("bank1.bin"), before) << c.What;
        EXPECT_EQ(p.Read_Bin("bank2.bin"), "") << c.What;
    }

    TProjectFixture p(27);
    p.Raw_File("CAN_Send_Frames.xml", "<CAN_Send_Frames><Frames/></CAN_Send_Frames>");
    EXPECT_NE(Refusal(p).find("\"CAN_Send_Frames.xml\" has no \"Send_Frames\" element"), std::string::npos) << Refusal(p);
}
