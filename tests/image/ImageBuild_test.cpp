// The dispatch by model code and the writing of the bank files: all files of
// a build or none, and never an image of an earlier or failed build.
#include "ImageFixture.h"
#include "MBusFixture.h"
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

TEST(ImageBuild, ModelsWithoutABuilderSaySoInsteadOfWritingNothing) {
    TProjectFixture p(4);
    EXPECT_TRUE(Contains(Message_Of([&] { Build_Device_Image(p.Sources()); }),
                         "image builder of model 4 (Build_Image_Modbus_Master) is not built yet"));
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

// What each built model writes, from an empty project and from one project
// that holds every file a family reads: the exact set of bank files, their
// sizes, and a valid byte sum in every 2048-byte block at its place.
TEST(ImageBuild, EachBuiltModelWritesItsFilesWithValidBlocks) {
    struct TFile {
        std::string Name;
        std::size_t Empty_Size, Full_Size;
        std::vector<std::size_t> Blocks;  // where its parameter blocks begin
    };
    const std::size_t section = 0x6000;
    const struct {
        int Model;
        std::vector<TFile> Files;
    } cases[] = {
        {3, {{"bank.bin", 2048, 2048, {0}}}},
        {9, {{"bank.bin", 2048, 2048, {0}}, {"bank_K64.bin", 2048, 2048, {0}}}},
        // The network: 8 bytes, one node of 23, two variables of 26 (27), a VIF text of 3, the stream of 26.
        {10, {{"bank.bin", 2057, 2048 + 1 + 112, {0}}, {"bank1.bin", 2048, 2048, {0}}, {"bank2.bin", 9, 113, {}},
              {"bank3.bin", 0, 0, {}}}},
        {21, {{"bank.bin", 2057, 2048 + 1 + 114, {0}}, {"bank1.bin", 2048, 2048, {0}}, {"bank2.bin", 9, 115, {}},
              {"bank3.bin", 0, 4 * 48, {}}}},  // node state, ident and two variables
        {13, {{"bank.bin", 2048, 2048, {0}}, {"bank1.bin", 2048, 2048, {0}}}},
        {20, {{"bank.bin", 2048 + section, 2048 + section, {0}}}},
        {22, {{"bank.bin", 2560, 2560, {0}}}},
        {23, {{"bank.bin", 2048, 2048, {0}}}},
        {29, {{"bank1.bin", 2048, 2048, {0}}, {"bank2.bin", 512, 512, {}}}},
        {31, {{"bank.bin", 2048, 2048, {0}}}},
        {35, {{"bank.bin", 2048, 2048, {0}}, {"bank1.bin", 2048, 2048, {0}}, {"bank2.bin", section, section, {}}}},
    };
    for (const auto& c : cases) {
        for (bool full : {false, true}) {
            TProjectFixture p(c.Model);
            if (full) {
                p.ParGen(MBus_ParGen({{"PROFINET_NAME_STA", "full"}, {"SNMP_VERSION1", "1"}, {"DMX_TYPE", "0"}}));
                p.SNMP_Trap({R"(Enable="Y" Community_Name="public" Position="1")"}, {R"(Enable="Y" Position="2")"});
                MBus_Network(p, {{R"(Node_State="1" Ident_Num="1")",
                                  {R"(Enable="1" Type="21" Fun_Field="0" Dim="0" VIF_ASCII="abc")", R"(Enable="1" Type="0" Fun_Field="0" Dim="1")"}}});
                p.Raw_File("DMX_Default_Values.xml", R"(<DMX_Default_Values><Row Default_Value="9"/></DMX_Default_Values>)");
            }
            Write_Device_Image(*Build_Device_Image(p.Sources()), p.Sources().Project_Dir);

            std::set<std::string> written, expected;
            for (const auto& e : std::filesystem::directory_iterator(p.Project() + "/bin"))
                if (e.path().filename().string()[0] != '.') written.insert(e.path().filename().string());
            for (const TFile& f : c.Files) expected.insert(f.Name);
            EXPECT_EQ(written, expected) << c.Model;
            for (const TFile& f : c.Files) {
                std::string bytes = p.Read_Bin(f.Name);
                EXPECT_EQ(bytes.size(), full ? f.Full_Size : f.Empty_Size) << c.Model << " " << f.Name << (full ? " full" : " empty");
                for (std::size_t at : f.Blocks) {
                    std::uint32_t sum = 0;
                    for (std::size_t i = 0; i < 2044; ++i) sum += std::uint8_t(bytes[at + i]);
                    EXPECT_EQ(U32_At(bytes, at + 2044), sum) << c.Model << " " << f.Name << " block at " << at;
                }
            }
        }
    }
}
