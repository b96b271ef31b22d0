// The parameter-group images of the J1939 models (6, 14, 32) and the NMEA
// 2000 models (7, 28): entries byte by byte, the whole files, the cleared
// state between builds, and the builds that are refused.
#include "TableFixture.h"
#include "image/ImageBuild.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr int Tx = 512;  // the first transmit entry

std::string Entry(const TProjectFixture& p, int i) { return p.Read_Bin("bank2.bin").substr(32 * i, 32); }

// A filled entry: identifier, period, cancel time-out, position, start, count, multi-frame flag, byte 30.
std::string PGN(std::uint32_t id, std::uint32_t period, std::uint32_t cancel, int position, int start, int count, int multi,
                int flags) {
    return TExpectedEntry(32).U32(0, id).U32(4, period).U32(8, cancel).U16s(12, {std::uint32_t(position), std::uint32_t(start),
                                                                                std::uint32_t(count)})
        .U16(28, multi).U8(30, flags).Str();
}
std::string Cleared(bool transmit) { return TExpectedEntry(32).U32(0, ~0u).U32(4, ~0u).U32(8, ~0u).U8(30, transmit).Str(); }

void Files(const TProjectFixture& p, const std::string& family, const std::vector<std::string>& receive,
           const std::vector<std::string>& transmit) {
    Row_File(p, family + "_Rec_Frames.xml", family + "_Frames", receive);
    Row_File(p, family + "_Send_Frames.xml", family + "_Frames", transmit);
}

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    TLeBytes b(reinterpret_cast<Byte*>(const_cast<char*>(bytes.data())), bytes.size(), "bytes");
    return b.GetU32(at);
}

}  // namespace

TEST(ImageJ1939, J1939EntriesByteForByte) {
    TProjectFixture p(14);
    p.ParGen({{"J1939_TIMEOUT", "5"}});
    Files(p, "J1939",
          {R"(DP="0" PGN="65262" SA="0" TP="N" TP_Start="" TP_NByte="")",
           R"(DP="0" PGN="65265" SA="0" TP="N" TP_Start="2" TP_NByte="2")",
           R"(DP="1" PGN="61444" SA="17" TP="Y" TP_Start="0" TP_NByte="20" Delete="Y")",
           R"(PGN="x" SA="3" TP_Start="4")"},
          {R"(Priority="6" DP="0" PGN="61444" SA="0" On_Timer="Y" SendTimer="100")",
           R"(Priority="3" DP="0" PGN="131071" SA="1" On_Request="y" On_Data_Change="Y" TP_NByte="20")",
           R"(Priority="3" DP="0" PGN="1" SA="1" T_Type="On Data Change" On_Timer="Y" SendTimer="7")",
           R"(Priority="3" DP="0" PGN="2" SA="1" T_Type="Cyclic" SendTimer="30" On_Request="Y")",
           R"(Priority="3" DP="0" PGN="3" SA="1" T_Type="Cyclic" SendTimer="soon" On_Request="Y")",
           R"(Priority="3" DP="0" PGN="4" SA="1" On_Timer="Y" SendTimer="never")"});
    Build_And_Write(p);
    EXPECT_EQ(Hex(Entry(p, 0).substr(0, 4)), "00 EE FE 00");
    struct Case {
        const char* What;
        int Entry;
        std::string Expected;
    };
    const Case cases[] = {
        {"a single frame without start and count takes 8 bytes", 0, PGN(65262 * 256, 0, 0, 0, 0, 8, 0, 0)},
        {"start and count given", 1, PGN(65265 * 256, 0, 0, 8, 2, 2, 0, 0)},
        {"transport protocol, deleted after the time-out", 2, PGN(0x1000000 + 61444 * 256 + 17, 0, 5000, 10, 0, 20, 1, 0)},
        {"unreadable attributes take their defaults", 3, PGN(3, 0, 0, 30, 0, 8, 0, 0)},
        {"the example transmit row", Tx, PGN(0x18F00400, 100, ~0u, 0, 0, 8, 0, 0x11)},
        {"a PGN above 16 bits reaches the data page", Tx + 1, PGN(3u * 0x4000000 + 131071 * 256 + 1, 0, ~0u, 8, 0, 20, 1, 0x61)},
        {"a send type on data change", Tx + 2, PGN(3u * 0x4000000 + 1 * 256 + 1, 0, ~0u, 28, 0, 8, 0, 0x21)},
        {"a cyclic send type", Tx + 3, PGN(3u * 0x4000000 + 2 * 256 + 1, 30, ~0u, 36, 0, 8, 0, 0x11)},
        {"an unreadable timer falls back to the event attributes", Tx + 4, PGN(3u * 0x4000000 + 3 * 256 + 1, 0, ~0u, 44, 0, 8, 0, 0x41)},
        {"an unreadable timer keeps the timer flag", Tx + 5, PGN(3u * 0x4000000 + 4 * 256 + 1, 0, ~0u, 52, 0, 8, 0, 0x11)},
        {"an unfilled receive entry", 4, Cleared(false)},
        {"an unfilled transmit entry", Tx + 6, Cleared(true)},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(Entry(p, c.Entry)), Hex(c.Expected)) << c.What;
    const std::string main = p.Read_Bin("bank1.bin");
    EXPECT_EQ(U32(main, 116), 38u);
    EXPECT_EQ(U32(main, 120), 60u);
    EXPECT_EQ(U32(main, 144), 4u);
    EXPECT_EQ(U32(main, 148), 6u);
}

TEST(ImageJ1939, PeerToPeerAddressingDropsTheSourceAddressOfReceiveRows) {
    for (const char* sa : {"17", "0"}) {
        TProjectFixture p(6);
        p.ParGen({{"J1939_PEER_TO_PEER", "1"}});
        Files(p, "J1939", {std::string(R"(DP="0" PGN="65262" SA=")") + sa + "\"", }, {R"(Priority="6" DP="0" PGN="1" SA="17")"});
        Build_And_Write(p);
        EXPECT_EQ(Hex(Entry(p, 0).substr(0, 4)), "00 EE FE 00") << sa;
        EXPECT_EQ(U32(Entry(p, Tx), 0), 0x18000111u);
    }
}

TEST(ImageJ1939, NMEA2000FastPacketsAndTransportProtocol) {
    TProjectFixture p(7);
    Files(p, "NMEA",
          {R"(PGN="130306" SA="2" FP="Y" TP_NByte="50")", R"(PGN="1" SA="2" TP="Y" TP_NByte="30")"},
          {R"(Priority="2" PGN="130306" SA="1" FP="Y" TP_NByte="100")", R"(Priority="2" PGN="130306" SA="1" FP="Y" TP_NByte="240")",
           R"(Priority="2" PGN="1" SA="1" TP_NByte="9")", R"(Priority="2" PGN="1" SA="1" On_Timer="Y" SendTimer="5")"});
    Build_And_Write(p);
    struct Case {
        const char* What;
        int Entry;
        std::string Expected;
    };
    const std::uint32_t id = 2u * 0x4000000 + 130306 * 256 + 1;
    const Case cases[] = {
        {"a fast-packet receive row", 0, PGN(130306 * 256 + 2, 0, 0, 0, 0, 50, 1, 0x04)},
        {"a transport-protocol receive row", 1, PGN(256 + 2, 0, 0, 50, 0, 30, 1, 0x02)},
        {"100 bytes as fast packets", Tx, PGN(id, 0, ~0u, 0, 0, 100, 1, 0x05)},
        {"240 bytes also need the transport protocol", Tx + 1, PGN(id, 0, ~0u, 100, 0, 240, 1, 0x07)},
        {"9 bytes need the transport protocol", Tx + 2, PGN(2u * 0x4000000 + 257, 0, ~0u, 340, 0, 9, 1, 0x03)},
        {"a single frame on timer", Tx + 3, PGN(2u * 0x4000000 + 257, 5, ~0u, 349, 0, 8, 0, 0x11)},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(Entry(p, c.Entry)), Hex(c.Expected)) << c.What;
}

const TKeys J1939_ParGen = {
    {"PROFINET_IP1", "10"}, {"PROFINET_IP2", "1"}, {"PROFINET_IP3", "2"}, {"PROFINET_IP4", "3"},
    {"PROFINET_SM1", "255"}, {"PROFINET_SM2", "255"}, {"PROFINET_SM3", "0"}, {"PROFINET_SM4", "0"},
    {"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "1"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "254"},
    {"PROFINET_EN_GAT", "1"}, {"PROFINET_NAME_STA", "j1939-a"},
    {"J1939_BAUDRATE", "2"}, {"J1939_TIMEOUT", "3"}, {"J1939_PEER_TO_PEER", "1"}, {"J1939_ID", "42"},
    {"J1939_EN_NOT_STANDARD_CANCEL_DATA", "1"}, {"J1939_NOT_STANDARD_CANCEL_DATA_VALUE", "7"},
    {"SNMP_VERSION1", "1"}, {"SNMP_Contact", "me"}, {"SNMP_Location", "there"},
    {"NMEA2000_BAUDRATE", "4"}, {"NMEA2000_TIMEOUT", "2"}, {"NMEA2000_PEER_TO_PEER", "1"},
};

void Full_J1939_Project(const TProjectFixture& p) {
    p.ParGen(J1939_ParGen);
    Files(p, "J1939", {R"(DP="0" PGN="65262" SA="5" Delete="Y")"}, {R"(Priority="6" DP="0" PGN="61444" SA="0" On_Timer="Y" SendTimer="100")"});
}

std::string Expected_Tables(const std::string& rx0, const std::string& tx0) {
    std::string t;
    for (int i = 0; i < 512; ++i) t += i == 0 ? rx0 : Cleared(false);
    for (int i = 0; i < 512; ++i) t += i == 0 ? tx0 : Cleared(true);
    return t;
}

TEST(ImageJ1939, Model6WritesMainBlockTablesAndSecondProcessorBlock) {
    TProjectFixture p(6);
    Full_J1939_Project(p);
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U32(0, 50000).U32(28, 42).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 254}).U16(52, 5000);
    main.Text(80, "j1939-a").Bytes(96, {2, 0, 0, 0x10}).U32(116, 8).U32(120, 8).U32(144, 1).U32(148, 1).U32(152, 1);
    main.b[131] = 7;
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), main.Close()));

    TExpectedBlock cpu2 = CPU2_Defaults();
    cpu2.U32(0, 50000).U32(4, 50000).U32(28, 42).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 254}).U16(52, 5000);
    cpu2.Text(80, "j1939-a").Bytes(96, {2, 0, 0, 0x10}).U32(116, 8).U32(120, 8).U32(144, 1).U32(148, 1).U32(152, 1);
    cpu2.U32(204, 0x80000).U32(208, 0x84000).b[1789] = 7;
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank3.bin"), cpu2.Close()));

    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Expected_Tables(PGN(65262 * 256, 0, 3000, 0, 0, 8, 0, 0),
                                                                    PGN(0x18F00400, 100, ~0u, 0, 0, 8, 0, 0x11))));
}

TEST(ImageJ1939, Model32KeepsEmptyAreasAndAddsTheTrapSection) {
    TProjectFixture p(32);
    p.ParGen(J1939_ParGen);
    p.SNMP_Trap({R"(Enable="Y" Community_Name="public" Type="Int" Position="1" NumBits="8" IP_Address="1.2.3.4")"}, {});
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U32(0, 50000).U32(28, 42).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 254}).U16(52, 10000);
    main.U32(152, 1).U32(204, 0x58000).U32(208, 0x5C000).U32(356, 2);  // no rows: both areas stay 0
    main.U32(416, 1).U32(424, 0x68800).U32(428, 0x6B800).U32(432, 1).Text(440, "j1939-a").Text(456, "me").Text(472, "there");
    main.b[131] = 7;
    const std::string bank1 = p.Read_Bin("bank1.bin");
    ASSERT_EQ(bank1.size(), 0x6800u);
    EXPECT_TRUE(Same_Bytes(bank1.substr(0, 2048), main.Close()));
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Expected_Tables(Cleared(false), Cleared(true))));
}

TEST(ImageJ1939, NMEA2000WritesTheBlockAndBothTables) {
    TProjectFixture p(28);
    p.ParGen(J1939_ParGen);
    Files(p, "NMEA", {R"(PGN="127250" SA="5" Delete="Y")"}, {});
    Build_And_Write(p);

    TExpectedBlock main = Main_Defaults();
    main.U32(0, 125000).Bytes(40, {10, 1, 2, 3, 255, 255, 0, 0, 10, 1, 0, 254}).U16(52, 5000);
    main.Text(80, "j1939-a").Bytes(96, {2, 0, 0, 0x30}).U32(116, 8).U32(120, 1).U32(144, 1).U32(152, 1);
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank1.bin"), main.Close()));
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Expected_Tables(PGN(127250 * 256, 0, 2000, 0, 0, 8, 0, 0), Cleared(true))));
}

TEST(ImageJ1939, FileSetsAndSizes) {
    struct Case {
        int Model;
        std::vector<std::pair<std::string, std::size_t>> Files;
        std::uint32_t Empty_Area;
    };
    const Case cases[] = {
        {6, {{"bank1.bin", 2048}, {"bank2.bin", 0x8000}, {"bank3.bin", 2048}}, 1},
        {14, {{"bank1.bin", 2048}, {"bank2.bin", 0x8000}}, 1},
        {32, {{"bank1.bin", 0x6800}, {"bank2.bin", 0x8000}}, 0},
        {7, {{"bank1.bin", 2048}, {"bank2.bin", 0x8000}}, 1},
        {28, {{"bank1.bin", 2048}, {"bank2.bin", 0x8000}}, 1},
    };
    for (const Case& c : cases) {
        for (bool full : {false, true}) {
            TProjectFixture p(c.Model);
            if (full) Full_J1939_Project(p);
            Build_And_Write(p);
            std::size_t files = 0;
            for (const auto& e : std::filesystem::directory_iterator(p.Project() + "/bin")) files += e.path().filename() != ".keep";
            EXPECT_EQ(files, c.Files.size()) << c.Model;
            for (const auto& [name, size] : c.Files) EXPECT_EQ(p.Read_Bin(name).size(), size) << c.Model << " " << name;
            if (full) continue;
            const std::string main = p.Read_Bin("bank1.bin");
            EXPECT_EQ(U32(main, 116), c.Empty_Area) << c.Model;
            EXPECT_EQ(U32(main, 120), c.Empty_Area) << c.Model;
            EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin"), Expected_Tables(Cleared(false), Cleared(true)))) << c.Model;
        }
    }
}

TEST(ImageJ1939, NothingOfAnEarlierBuildReachesTheNext) {
    TProjectFixture p(6);
    p.ParGen({{"J1939_TIMEOUT", "5"}});
    Files(p, "J1939", {R"(PGN="1" Delete="Y")"}, {});
    Build_And_Write(p);
    EXPECT_EQ(U32(Entry(p, 0), 8), 5000u);
    const std::string first = p.Read_Bin("bank2.bin");
    Build_And_Write(p);
    EXPECT_EQ(p.Read_Bin("bank2.bin"), first);

    std::filesystem::remove(p.Project() + "/ParGen.xml");
    Build_And_Write(p);
    EXPECT_EQ(U32(Entry(p, 0), 8), 0u);  // no time-out of the build before
    TProjectFixture fresh(6);
    Files(fresh, "J1939", {R"(PGN="1" Delete="Y")"}, {});
    Build_And_Write(fresh);
    for (const char* file : {"bank1.bin", "bank2.bin", "bank3.bin"}) EXPECT_EQ(p.Read_Bin(file), fresh.Read_Bin(file)) << file;
}

TEST(ImageJ1939, BrokenOrOverfullFilesRefuseTheBuild) {
    struct Case {
        const char* What;
        int Model;
        std::vector<std::string> Receive, Transmit;
        std::string Message;
    };
    const Case cases[] = {
        {"a transmit row without its priority", 6, {}, {R"(DP="0" PGN="1" SA="0")"}, "row 1 of \"J1939_Frames\" has no \"Priority\""},
        {"a transmit source address that is no number", 6, {}, {R"(Priority="1" DP="0" PGN="1" SA="x")"},
         "has no number in \"SA\" (\"x\")"},
        {"a fast-packet row without its length", 7, {}, {R"(Priority="1" PGN="1" SA="0" FP="Y")"},
         "\"NMEA_Send_Frames.xml\": row 1 of \"NMEA_Frames\" has no \"TP_NByte\""},
        {"513 receive rows", 14, std::vector<std::string>(513, R"(PGN="1")"), {}, "holds more than 512 receive parameter groups"},
        {"513 transmit rows", 7, {}, std::vector<std::string>(513, R"(Priority="1" PGN="1" SA="0")"),
         "holds more than 512 transmit parameter groups"},
    };
    for (const Case& c : cases) {
        TProjectFixture p(c.Model);
        Build_And_Write(p);
        const std::string before = p.Read_Bin("bank2.bin");
        Files(p, c.Model == 7 ? "NMEA" : "J1939", c.Receive, c.Transmit);
        const std::string message = Refusal(p);
        EXPECT_NE(message.find(c.Message), std::string::npos) << c.What << ": " << message;
        EXPECT_EQ(p.Read_Bin("bank2.bin"), before) << c.What;
    }
    // Receive rows never refuse: whatever they lack takes its default.
    TProjectFixture p(6);
    Files(p, "J1939", {R"(DP="a" PGN="b" SA="c" TP="Y" TP_Start="d" TP_NByte="e")"}, {});
    EXPECT_EQ(Refusal(p), "(built)");
}
