// The dispatch by model code and the writing of the bank files: all files of
// a build or none, and never an image of an earlier or failed build.
#include "ImageFixture.h"
#include "image/ImageBuild.h"
#include "shell/Globals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
