// The dispatch by model code and the writing of the bank files: all files of
// a build or none, and never an image of an earlier or failed build.
#include "ImageFixture.h"
#include "MBusImageFixture.h"
#include "image/ImageBuild.h"
#include "shell/Globals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

namespace {

std::string Message_Of(const std::function<void()>& action) {
    try {
        action();
    } catch (const EImageError& e) {
        return e.what();
    }
    return "(no error)";
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(ImageBuild, AnUnknownModelCodeWritesNothing) {
    TProjectFixture p(10);
    TImageSources unknown = p.Sources();
    unknown.Model_Code = 99;
    EXPECT_TRUE(Contains(Message_Of([&] { Build_Device_Image(unknown); }), "no converter model with the code 99"));
    EXPECT_FALSE(std::filesystem::exists(p.Bin("bank.bin")));
}

TEST(ImageBuild, AMissingBinFolderIsAnError) {
    TProjectFixture p(35);
    std::filesystem::remove_all(p.Project() + "/bin");
    std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
    EXPECT_TRUE(Contains(Message_Of([&] { Write_Device_Image(*image, p.Sources().Project_Dir); }), "/proj/bin\" does not exist"));
    EXPECT_FALSE(std::filesystem::exists(p.Project() + "/bin"));
}

TEST(ImageBuild, AFailedWriteLeavesEveryOldFile) {
    TProjectFixture p(35);
    for (const char* name : {"bank.bin", "bank1.bin", "bank2.bin"}) p.Dir().write(std::string("proj/bin/") + name, name);
    // The second file cannot be written: its temporary's place is taken by a folder.
    std::filesystem::create_directory(p.Bin(".bank1.bin.new"));
    std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
    std::string message = Message_Of([&] { Write_Device_Image(*image, p.Sources().Project_Dir); });
    EXPECT_TRUE(Contains(message, "The images cannot be written")) << message;
    for (const char* name : {"bank.bin", "bank1.bin", "bank2.bin"}) EXPECT_EQ(p.Read_Bin(name), name);
    EXPECT_FALSE(std::filesystem::exists(p.Bin(".bank.bin.new")));
}

TEST(ImageBuild, TheShellRoadWritesOnlyTheImageOfASuccessfulBuild) {
    TProjectFixture p(35);
    const int savedModel = Model_Code;
    const String savedDir = Project_Dir, savedParGen = Path_ParGen, savedTrap = Path_SNMP_Trap;
    TImageSources s = p.Sources();
    Model_Code = 35;
    Project_Dir = s.Project_Dir;
    Path_ParGen = s.Path_ParGen;
    Path_SNMP_Trap = s.Path_SNMP_Trap;

    Build_Device_Image();
    Write_Device_Image();
    EXPECT_EQ(p.Read_Bin("bank2.bin").size(), 0x6000u);

    p.Raw_File("SNMP_Trap.xml", "<SNMP_Trap>");
    EXPECT_TRUE(Contains(Message_Of([] { Build_Device_Image(); }), "SNMP maps \"SNMP_Trap.xml\" cannot be read"));
    EXPECT_TRUE(Contains(Message_Of([] { Write_Device_Image(); }), "no built image"));

    Model_Code = savedModel;
    Project_Dir = savedDir;
    Path_ParGen = savedParGen;
    Path_SNMP_Trap = savedTrap;
}

// Every model code's builder and bank files, as the converter family's
// layout table gives them: file name, source buffer, and "2048" where the
// writer takes exactly the first 2048 bytes whatever the length.
TEST(ImageBuild, EveryModelHasItsBuilderAndBankFiles) {
    using B = TBank;
    struct TFile {
        std::string Name;
        TBank Buffer;
        bool First_2048;
    };
    const TFile a_len{"bank.bin", B::A, false}, a_2048{"bank.bin", B::A, true}, a1_len{"bank1.bin", B::A, false},
        a1_2048{"bank1.bin", B::A, true}, b1{"bank1.bin", B::B, false}, b2{"bank2.bin", B::B, false},
        c1{"bank1.bin", B::C, false}, c2{"bank2.bin", B::C, false}, c3{"bank3.bin", B::C, false},
        d4{"bank4.bin", B::D, false}, k64{"bank_K64.bin", B::C, false};
    const std::vector<TFile> mbus = {{"bank.bin", B::MBus_Bank, false}, {"bank1.bin", B::MBus_Bank1, false},
                                     {"bank2.bin", B::MBus_Bank2, false}, {"bank3.bin", B::MBus_Bank3, false}};
    struct TCase {
        int Model;
        std::string Builder;
        std::vector<TFile> Files;
    } cases[] = {
        {0, "Build_Image_CAN", {a1_len, b2, c3}},
        {27, "Build_Image_CAN", {a1_len, b2}},
        {15, "Build_Image_CAN", {a1_len, b2}},
        {34, "Build_Image_CAN", {a1_len, b2}},
        {1, "Build_Image_DeviceNet_Master", {a_len}},
        {2, "Build_Image_DeviceNet_Slave", {a_2048}},
        {3, "Build_Image_Profibus_Block", {{"bank.bin", B::Profibus_Block, true}}},
        {4, "Build_Image_Modbus_Master", {a_len, b1, c2}},
        {2004, "Build_Image_Modbus_Master", {a_len, b1, c2}},
        {18, "Build_Image_Modbus_Master", {a_len, b1, c2}},
        {1018, "Build_Image_Modbus_Master", {a_len, b1, c2}},
        {25, "Build_Image_Modbus_Master", {a_len}},
        {30, "Build_Image_Modbus_Master", {a_len}},
        {5, "Build_Image_Modbus_Slave", {a_len}},
        {16, "Build_Image_Modbus_Slave", {a_len}},
        {26, "Build_Image_Modbus_Slave", {a_len}},
        {6, "Build_Image_J1939", {a1_len, b2, c3}},
        {14, "Build_Image_J1939", {a1_len, b2}},
        {32, "Build_Image_J1939", {a1_len, b2}},
        {7, "Build_Image_NMEA2000", {a1_2048, b2}},
        {28, "Build_Image_NMEA2000", {a1_2048, b2}},
        {8, "Build_Image_CANopen", {a1_len, b2, c3, d4}},
        {24, "Build_Image_CANopen", {a1_len, b2}},
        {33, "Build_Image_CANopen", {a1_len, b2}},
        {9, "Build_Image_Serial", {a_2048, k64}},
        {10, "Build_Image_MBus", mbus},
        {21, "Build_Image_MBus", mbus},
        {11, "Build_Image_Modbus_TCP_Master", {a1_2048, b2, c3}},
        {19, "Build_Image_Modbus_TCP_Master", {a_len}},
        {12, "Build_Image_Modbus_TCP_Slave", {a_len, c1}},
        {17, "Build_Image_Modbus_TCP_Slave", {a_len, c1}},
        {13, "Build_Image_EtherNetIP", {a_2048, b1}},
        {35, "Build_Image_EtherNetIP", {a_2048, b1, c2}},
        {20, "Build_Image_SNMP_Agent", {a_len}},
        {22, "Build_Image_DMX", {a_len}},
        {29, "Build_Image_DMX", {a1_len, b2}},
        {23, "Build_Image_Profibus_Slave", {a_len}},
        {31, "Build_Image_Ethernet", {a_len}},
    };
    for (const TCase& c : cases) {
        const TImageFamily* family = Find_Image_Family(c.Model);
        ASSERT_NE(family, nullptr) << c.Model;
        EXPECT_EQ(family->Builder_Name, c.Builder) << c.Model;
        EXPECT_NE(family->Build, nullptr) << c.Model;
        ASSERT_EQ(family->Files.size(), c.Files.size()) << c.Model;
        for (std::size_t i = 0; i < c.Files.size(); ++i) {
            EXPECT_EQ(StringToUtf8(family->Files[i].Name), c.Files[i].Name) << c.Model << " file " << i;
            EXPECT_EQ(family->Files[i].Buffer, c.Files[i].Buffer) << c.Model << " file " << i;
            EXPECT_EQ(family->Files[i].First_2048, c.Files[i].First_2048) << c.Model << " file " << i;
        }
    }
    EXPECT_EQ(Find_Image_Family(36), nullptr);
    EXPECT_EQ(Find_Image_Family(-1), nullptr);

    // The capacities of the buffers: what the largest image of every family needs.
    TDeviceImage image;
    const std::pair<TBank, std::size_t> capacities[] = {
        {B::A, 59392},          {B::B, 131073},          {B::C, 131073},          {B::D, 131073},
        {B::Profibus_Block, 2048}, {B::MBus_Bank, 200004}, {B::MBus_Bank1, 2048}, {B::MBus_Bank2, 200004},
        {B::MBus_Bank3, 400004}};
    for (const auto& [bank, capacity] : capacities) EXPECT_EQ(image.Buffer(bank).Capacity(), capacity) << image.Buffer(bank).Name();
}

namespace {

std::string Rtu_Row(int i) {
    return "Slave_ID=\"1\" Type=\"Holding Register\" Address=\"" + std::to_string(i) +
           "\" NPoint=\"2\" PollTime=\"100\" MaxError=\"3\" Position=\"" + std::to_string(2 * i) + "\" Bit=\"0\"";
}
std::string Tcp_Row(int i) { return "IP_Address=\"10.0.0.2\" " + Rtu_Row(i); }
std::vector<std::string> Rows(int count, std::string (*row)(int), int first = 0) {
    std::vector<std::string> rows;
    for (int i = 0; i < count; ++i) rows.push_back(row(first + i));
    return rows;
}

// A project with every file the families of these models read.
void Full_Project(const TProjectFixture& p) {
    p.ParGen({{"PROFINET_NAME_STA", "full"}, {"SNMP_MapType", "1"}, {"MODBUS_MASTER_NB_IN", "10"}});
    p.SNMP_Trap({R"(Enable="Y" Community_Name="public" IP_Address="1.2.3.4")"}, {R"(Enable="Y" Community_Name="w")"});
    p.ModbusM_SetAccess(Rows(2, Rtu_Row), Rows(1, Rtu_Row, 2));
    p.ModbusTCPM_SetAccess(Rows(2, Tcp_Row), Rows(1, Tcp_Row, 2));
    p.DNETM_Net({R"(ID="3" NB_IN="2" NB_OUT="1")"});
    p.DNETM_DefOff({{{"0", "1"}, {"5"}}});
}

std::vector<std::pair<std::string, std::size_t>> Written(const TProjectFixture& p) {
    std::vector<std::pair<std::string, std::size_t>> files;
    for (const auto& e : std::filesystem::directory_iterator(p.Project() + "/bin"))
        if (e.path().filename() != ".keep") files.push_back({e.path().filename().string(), std::size_t(e.file_size())});
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(ImageBuild, FileSetsAndSizesOfTheModbusAndDeviceNetModels) {
    using F = std::vector<std::pair<std::string, std::size_t>>;
    const std::size_t n = 3 * 32;  // three requests
    struct TCase {
        int Model;
        F Empty, Full;
    };
    const TCase cases[] = {
        {4, {{"bank.bin", 2048}, {"bank1.bin", 2048}, {"bank2.bin", 0}}, {{"bank.bin", 2048 + n}, {"bank1.bin", 2048}, {"bank2.bin", n}}},
        {2004, {{"bank.bin", 2048}, {"bank1.bin", 2048}, {"bank2.bin", 0}}, {{"bank.bin", 2048 + n}, {"bank1.bin", 2048}, {"bank2.bin", n}}},
        {25, {{"bank.bin", 2048}}, {{"bank.bin", 2048 + n}}},
        {18, {{"bank.bin", 0x6800}, {"bank1.bin", 2048}, {"bank2.bin", 0x6000}},
         {{"bank.bin", 0x6800 + n}, {"bank1.bin", 2048}, {"bank2.bin", 0x6000 + n}}},
        {1018, {{"bank.bin", 0x6800}, {"bank1.bin", 2048}, {"bank2.bin", 0x6000}},
         {{"bank.bin", 0x6800 + n}, {"bank1.bin", 2048}, {"bank2.bin", 0x6000 + n}}},
        {30, {{"bank.bin", 0x6800}}, {{"bank.bin", 0x6800 + n}}},
        {5, {{"bank.bin", 2048}}, {{"bank.bin", 2048}}},
        {26, {{"bank.bin", 2048}}, {{"bank.bin", 2048}}},
        {16, {{"bank.bin", 0x6800}}, {{"bank.bin", 0x6800}}},
        {2, {{"bank.bin", 2048}}, {{"bank.bin", 2048}}},
        {11, {{"bank1.bin", 2048}, {"bank2.bin", 0x7800}, {"bank3.bin", 2048}},
         {{"bank1.bin", 2048}, {"bank2.bin", 0x7800}, {"bank3.bin", 2048}}},
        {19, {{"bank.bin", 0xE000}}, {{"bank.bin", 0xE000}}},
        {12, {{"bank.bin", 2048}, {"bank1.bin", 2048}}, {{"bank.bin", 2048}, {"bank1.bin", 2048}}},
        {17, {{"bank.bin", 0x6800}, {"bank1.bin", 2048}}, {{"bank.bin", 0x6800}, {"bank1.bin", 2048}}},
        {1, {{"bank.bin", 16384}}, {{"bank.bin", 16384}}},
    };
    for (const TCase& c : cases) {
        TProjectFixture empty(c.Model), full(c.Model);
        Full_Project(full);
        for (const TProjectFixture* p : {&empty, &full}) {
            Write_Device_Image(*Build_Device_Image(p->Sources()), p->Sources().Project_Dir);
            EXPECT_EQ(Written(*p), p == &empty ? c.Empty : c.Full) << c.Model << (p == &empty ? " empty" : " full");
        }
    }

    // Model 4 with a request file without rows still sends an empty second bank.
    TProjectFixture none(4);
    none.ModbusM_SetAccess({}, {});
    Write_Device_Image(*Build_Device_Image(none.Sources()), none.Sources().Project_Dir);
    EXPECT_EQ(Written(none), (F{{"bank.bin", 2048}, {"bank1.bin", 2048}, {"bank2.bin", 0}}));
}

TEST(ImageBuild, Model18WithTheMostRequestsFillsTheFirstBank) {
    TProjectFixture p(18);
    p.ModbusM_SetAccess(Rows(512, Rtu_Row), Rows(512, Rtu_Row, 512));
    Write_Device_Image(*Build_Device_Image(p.Sources()), p.Sources().Project_Dir);

    std::string requests;
    for (int i = 0; i < 1024; ++i)
        requests += TExpectedRequest{.Position = std::uint16_t(2 * i), .Poll = 100, .Slave = 1,
                                     .Function = std::uint8_t(i < 512 ? 3 : 16), .Address = std::uint16_t(i), .Points = 2,
                                     .Max_Error = 3, .Byte_Count = 4}
                        .Bytes();
    const std::string bank = p.Read_Bin("bank.bin");
    ASSERT_EQ(bank.size(), 0xE800u);
    EXPECT_TRUE(Same_Bytes(bank.substr(0x6800), requests));
    EXPECT_TRUE(Same_Bytes(p.Read_Bin("bank2.bin").substr(0x6000), requests));
}

TEST(ImageBuild, TableFilesTheConverterCannotTakeRefuseTheBuildAndChangeNothing) {
    struct TCase {
        const char* What;
        int Model;
        std::function<void(const TProjectFixture&)> Write;
        std::string Message;
    };
    const std::string r = R"(Slave_ID="1" Address="0" NPoint="2" MaxError="0" Position="0")";
    const TCase cases[] = {
        {"RTU poll time no number", 4, [&](auto& p) { p.ModbusM_SetAccess({r + R"( PollTime="0")", r + R"( PollTime="1s")"}, {}); },
         "\"ModbusM_SetAccess.xml\": row 2 of \"Modbus_Read\" has no number in \"PollTime\" (\"1s\")."},
        {"RTU write without a slave", 25,
         [](auto& p) { p.ModbusM_SetAccess({}, {R"(Address="0" NPoint="1" PollTime="0" MaxError="0" Position="0")"}); },
         "\"ModbusM_SetAccess.xml\": row 1 of \"Modbus_Write\" has no \"Slave_ID\"."},
        {"RTU bit request without a bit", 18,
         [&](auto& p) { p.ModbusM_SetAccess({r + R"( PollTime="0" Type="Coil Status")"}, {}); },
         "\"ModbusM_SetAccess.xml\": row 1 of \"Modbus_Read\" has no \"Bit\"."},
        {"TCP address with two dots", 11,
         [&](auto& p) { p.ModbusTCPM_SetAccess({r + R"( PollTime="0" Bit="0" IP_Address="10.1.2")"}, {}); },
         "\"ModbusTCPM_SetAccess.xml\": row 1 of \"Modbus_Read\" has no IPv4 address in \"IP_Address\" (\"10.1.2\")."},
        {"TCP register request without a bit", 19,
         [&](auto& p) { p.ModbusTCPM_SetAccess({}, {r + R"( PollTime="0" IP_Address="1.2.3.4")"}); },
         "\"ModbusTCPM_SetAccess.xml\": row 1 of \"Modbus_Write\" has no \"Bit\"."},
        {"slave output size no number", 1, [](auto& p) { p.DNETM_Net({R"(ID="1" NB_IN="1" NB_OUT="many")"}); },
         "\"DNETM_Net.xml\": row 1 of \"DNET_Net\" has no number in \"NB_OUT\" (\"many\")."},
        {"offsets without ByteOUT", 1,
         [](auto& p) {
             p.DNETM_Net({R"(ID="1" NB_IN="1" NB_OUT="1")"});
             p.Raw_File("DNETM_DefOff.xml", "<Define_Offset><Nodo_DNET><ByteIN/></Nodo_DNET></Define_Offset>");
         },
         "\"DNETM_DefOff.xml\": row 1 of \"Define_Offset\" has no \"ByteOUT\" element."},
        {"request file without Modbus_Read", 4,
         [](auto& p) { p.Raw_File("ModbusM_SetAccess.xml", "<EtherNetIP_to_Modbus><Modbus_Write/></EtherNetIP_to_Modbus>"); },
         "\"ModbusM_SetAccess.xml\" has no \"Modbus_Read\" element."},
        {"1025 RTU requests", 30, [](auto& p) { p.ModbusM_SetAccess(Rows(513, Rtu_Row), Rows(512, Rtu_Row)); },
         "\"ModbusM_SetAccess.xml\" holds more than 1024 requests (\"Modbus_Read\" and \"Modbus_Write\" together), the "
         "most the converter holds."},
        {"961 TCP requests", 19, [](auto& p) { p.ModbusTCPM_SetAccess(Rows(481, Tcp_Row), Rows(480, Tcp_Row)); },
         "\"ModbusTCPM_SetAccess.xml\" holds more than 960 requests (\"Modbus_Read\" and \"Modbus_Write\" together), "
         "the most the converter holds."},
        {"65 slaves", 1,
         [](auto& p) { p.DNETM_Net(std::vector<std::string>(65, R"(ID="1" NB_IN="1" NB_OUT="1")")); },
         "\"DNETM_Net.xml\" holds more than 64 slaves, the most the converter holds."},
        {"slave address 64", 1, [](auto& p) { p.DNETM_Net({R"(ID="2" NB_IN="1" NB_OUT="1")", R"(ID="64" NB_IN="1" NB_OUT="1")"}); },
         "\"DNETM_Net.xml\": row 2 of \"DNET_Net\" has the slave address 64 in \"ID\", but DeviceNet slaves have 0 to 63."},
        {"an offset for byte 1024", 1,
         [](auto& p) {
             p.DNETM_Net({R"(ID="0" NB_IN="1030" NB_OUT="0")"});
             std::vector<std::string> in(1025, "");
             in[1024] = "3";
             p.DNETM_DefOff({{in, {}}});
         },
         "\"DNETM_DefOff.xml\": row 1025 of \"ByteIN\" of row 1 of \"Define_Offset\" gives an offset to byte 1024 of its "
         "slave, but the converter maps bytes 0 to 1023 of each slave."},
        {"1537 mapped output bytes", 1,
         [](auto& p) {
             p.DNETM_Net({R"(ID="0" NB_IN="0" NB_OUT="1000")", R"(ID="1" NB_IN="0" NB_OUT="1000")"});
             p.DNETM_DefOff({{{}, std::vector<std::string>(1000, "1")}, {{}, std::vector<std::string>(537, "2")}});
         },
         "\"DNETM_DefOff.xml\" holds more than 1536 mapped output bytes, the most the converter holds."},
    };
    for (const TCase& c : cases) {
        TProjectFixture p(c.Model);
        for (const auto& file : Find_Image_Family(c.Model)->Files)
            p.Dir().write("proj/bin/" + StringToUtf8(file.Name), "earlier " + StringToUtf8(file.Name));
        c.Write(p);
        const std::string message = Message_Of([&] { Build_Device_Image(p.Sources()); });
        EXPECT_EQ(message, "The image cannot be built: " + c.Message) << c.What;
        for (const auto& file : Find_Image_Family(c.Model)->Files)
            EXPECT_EQ(p.Read_Bin(StringToUtf8(file.Name)), "earlier " + StringToUtf8(file.Name)) << c.What;
    }
}

TEST(ImageBuild, EveryBuildOfTheModbusModelsStartsClean) {
    TProjectFixture p(18);
    Full_Project(p);
    p.ParGen({{"PROFINET_NAME_STA", "full"}, {"SNMP_MapType", "0"}, {"MODBUS_MASTER_TIMEOUT", "5"}});
    auto build = [](const TProjectFixture& q) {
        Write_Device_Image(*Build_Device_Image(q.Sources()), q.Sources().Project_Dir);
        return std::vector<std::string>{q.Read_Bin("bank.bin"), q.Read_Bin("bank1.bin"), q.Read_Bin("bank2.bin")};
    };
    const std::vector<std::string> first = build(p);
    EXPECT_EQ(build(p), first);

    std::filesystem::remove(p.Project() + "/ParGen.xml");
    const std::vector<std::string> withoutParGen = build(p);
    TProjectFixture fresh(18);
    Full_Project(fresh);
    std::filesystem::remove(fresh.Project() + "/ParGen.xml");
    EXPECT_EQ(withoutParGen, build(fresh));
    EXPECT_NE(withoutParGen, first);
}

// Every model code, from an empty project and from one project that holds
// every file a family reads: exactly its bank files, each parameter block at
// its place closed by a valid byte sum, and the sizes of the files of the
// families whose own tests do not give them.
TEST(ImageBuild, EveryModelCodeWritesItsFilesWithValidBlocks) {
    struct TBlock {
        std::string File;
        std::size_t At;
    };
    struct TSize {
        std::string File;
        std::size_t Empty, Full;
    };
    struct TCase {
        int Model;
        std::vector<TBlock> Blocks;
        std::vector<TSize> Sizes;
    };
    const TBlock bank{"bank.bin", 0}, bank1{"bank1.bin", 0}, bank3{"bank3.bin", 0}, behindTraps{"bank.bin", 0x6000};
    const std::size_t section = 0x6000;
    // The network: 8 bytes, one node of 23, two variables of 26 (27), a VIF text of 3, the stream of 26.
    const std::vector<TSize> mbus10 = {{"bank.bin", 2057, 2048 + 1 + 112}, {"bank1.bin", 2048, 2048}, {"bank2.bin", 9, 113}, {"bank3.bin", 0, 0}};
    const std::vector<TSize> mbus21 = {{"bank.bin", 2057, 2048 + 1 + 114}, {"bank1.bin", 2048, 2048}, {"bank2.bin", 9, 115},
                                       {"bank3.bin", 0, 4 * 48}};  // node state, ident and two variables
    const TCase cases[] = {
        {0, {bank1, bank3}, {}},
        {1, {{"bank.bin", 0x3800}}, {}},
        {2, {bank}, {}},
        {3, {bank}, {{"bank.bin", 2048, 2048}}},
        {4, {bank, bank1}, {}},
        {5, {bank}, {}},
        {6, {bank1, bank3}, {}},
        {7, {bank1}, {}},
        {8, {bank1, bank3}, {}},
        {9, {bank, {"bank_K64.bin", 0}}, {{"bank.bin", 2048, 2048}, {"bank_K64.bin", 2048, 2048}}},
        {10, {bank, bank1}, mbus10},
        {11, {bank1, bank3}, {}},
        {12, {bank, bank1}, {}},
        {13, {bank, bank1}, {{"bank.bin", 2048, 2048}, {"bank1.bin", 2048, 2048}}},
        {14, {bank1}, {}},
        {15, {bank1}, {}},
        {16, {bank}, {}},
        {17, {bank, bank1}, {}},
        {18, {behindTraps, bank1}, {}},
        {19, {behindTraps}, {}},
        {20, {bank}, {{"bank.bin", 2048 + section, 2048 + section}}},
        {21, {bank, bank1}, mbus21},
        {22, {bank}, {{"bank.bin", 2560, 2560}}},
        {23, {bank}, {{"bank.bin", 2048, 2048}}},
        {24, {bank1}, {}},
        {25, {bank}, {}},
        {26, {bank}, {}},
        {27, {bank1}, {}},
        {28, {bank1}, {}},
        {29, {bank1}, {{"bank1.bin", 2048, 2048}, {"bank2.bin", 512, 512}}},
        {30, {behindTraps}, {}},
        {31, {bank}, {{"bank.bin", 2048, 2048}}},
        {32, {bank1}, {}},
        {33, {bank1}, {}},
        {34, {bank1}, {}},
        {35, {bank, bank1}, {{"bank.bin", 2048, 2048}, {"bank1.bin", 2048, 2048}, {"bank2.bin", section, section}}},
        {1018, {behindTraps, bank1}, {}},
        {2004, {bank, bank1}, {}},
    };
    ASSERT_EQ(std::size(cases), 38u);
    for (const TCase& c : cases) {
        const TImageFamily* family = Find_Image_Family(c.Model);
        ASSERT_NE(family, nullptr) << c.Model;
        std::set<std::string> expected;
        for (const TBankFile& f : family->Files) expected.insert(StringToUtf8(f.Name));
        for (bool full : {false, true}) {
            TProjectFixture p(c.Model);
            if (full) {
                Full_Project(p);
                p.ParGen(MBus_ParGen({{"PROFINET_NAME_STA", "full"}, {"SNMP_MapType", "1"}, {"MODBUS_MASTER_NB_IN", "10"},
                                      {"SNMP_VERSION1", "1"}, {"DMX_TYPE", "0"}}));
                MBus_Network(p, {{R"(Node_State="1" Ident_Num="1")",
                                  {R"(Enable="1" Type="21" Fun_Field="0" Dim="0" VIF_ASCII="abc")", R"(Enable="1" Type="0" Fun_Field="0" Dim="1")"}}});
                p.Raw_File("DMX_Default_Values.xml", R"(<DMX_Default_Values><Row Default_Value="9"/></DMX_Default_Values>)");
            }
            Build_And_Write(p);
            const std::string what = std::to_string(c.Model) + (full ? " full" : " empty");

            std::set<std::string> written;
            for (const auto& [name, size] : Written(p)) written.insert(name);
            EXPECT_EQ(written, expected) << what;
            for (const TSize& f : c.Sizes) EXPECT_EQ(p.Read_Bin(f.File).size(), full ? f.Full : f.Empty) << what << " " << f.File;
            for (const TBlock& b : c.Blocks) {
                std::string bytes = p.Read_Bin(b.File);
                ASSERT_GE(bytes.size(), b.At + 2048) << what << " " << b.File;
                std::uint32_t sum = 0;
                for (std::size_t i = 0; i < 2044; ++i) sum += std::uint8_t(bytes[b.At + i]);
                EXPECT_EQ(U32_At(bytes, b.At + 2044), sum) << what << " " << b.File << " block at " << b.At;
                EXPECT_NE(sum, 0u) << what << " " << b.File << " block at " << b.At;
            }
        }
    }
}
