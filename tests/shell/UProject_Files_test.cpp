#include "ShellState.h"
#include "framework/Files.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

const int All_Codes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,   17,
                         18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 1018, 2004};

// The project files each model has besides "ParGen.xml" and "SNMP_Trap.xml".
std::set<std::string> Model_Files(int code) {
    const std::set<std::string> can = {"CAN_Rec_Frames.xml", "CAN_Send_Frames.xml", "CAN_Rec_Info.xml",
                                       "CAN_Send_Info.xml"};
    const std::set<std::string> canopen = {"SDO_Server_CANopen.xml", "SDO_Client_CANopen.xml", "PDO_CANopen.xml",
                                           "ReStart_CANopen.xml", "NodeGuard.xml"};
    const std::set<std::string> j1939 = {"J1939_Rec_Frames.xml", "J1939_Send_Frames.xml"};
    switch (code) {
    case 0: case 15: case 27: case 34: return can;
    case 1: return {"DNETM_Net.xml", "DNETM_DefOff.xml"};
    case 4: case 18: case 25: case 30: case 1018: case 2004: return {"ModbusM_SetAccess.xml"};
    case 6: case 14: case 32: return j1939;
    case 7: case 28: return {"NMEA_Rec_Frames.xml", "NMEA_Send_Frames.xml"};
    case 8: case 24: case 33: return canopen;
    case 10: case 21: return {"M_Bus.xml"};
    case 11: case 19: return {"ModbusTCPM_SetAccess.xml"};
    case 22: case 29: return {"DMX_Default_Values.xml"};
    default: return {};
    }
}

}  // namespace

TEST(ProjectFiles, EveryModelGetsItsPathsAndNoOthers) {
    ShellState state;
    Projects_Dir = u"/x/PROJECTS";
    for (int code : All_Codes) {
        SCOPED_TRACE(code);
        ShellState::Clear();
        Projects_Dir = u"/x/PROJECTS";
        Model_Code = code;
        Open_Project_Named(u"P");
        std::set<std::string> expected = Model_Files(code);
        expected.insert({"ParGen.xml", "SNMP_Trap.xml"});
        std::set<std::string> set;
        ASSERT_EQ(Project_Files().size(), 21u);
        for (const TProject_File& f : Project_Files()) {
            if (f.Path->empty())
                continue;
            const std::string name = StringToUtf8(f.File_Name);
            EXPECT_EQ(*f.Path, u"/x/PROJECTS/P/" + String(f.File_Name));
            set.insert(name);
        }
        EXPECT_EQ(set, expected);
    }
    // Stored order and names of the two that every model has.
    EXPECT_EQ(Project_Files().front().Path, &Path_ParGen);
    EXPECT_EQ(Project_Files().back().Path, &Path_SNMP_Trap);
}

TEST(ProjectFiles, WithoutAProjectThePathsAreBareFileNames) {
    ShellState state;
    Model_Code = 4;
    Set_Files();
    EXPECT_EQ(Path_ParGen, u"/ParGen.xml");
    EXPECT_EQ(Path_ModbusM_SetAccess, u"/ModbusM_SetAccess.xml");
    EXPECT_EQ(Path_CAN_Rec_Frames, u"");
}

TEST(ProjectFiles, StartMakesTheThreeFoldersAndReopensOnlyAnExistingProject) {
    ExeFolder exe;
    namespace fs = std::filesystem;
    for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(fs::is_directory(exe.dir.file(sub))) << sub;
    EXPECT_EQ(Projects_Dir, Utf8ToString(exe.dir.file("PROJECTS")));

    Project_Name = u"Gone";
    Reopen_Last_Project();
    EXPECT_EQ(Project_Dir, u"");
    EXPECT_EQ(Project_Name, u"Gone");  // written back unchanged

    fs::create_directories(exe.dir.file("PROJECTS/Kept"));
    Project_Name = u"Kept";
    Reopen_Last_Project();
    EXPECT_EQ(Project_Dir, Utf8ToString(exe.dir.file("PROJECTS/Kept")));

    // A hand-edited settings file never opens a folder outside "PROJECTS".
    for (const char16_t* name : {u"..", u"../PROJECTS/Kept", u"Kept/..", u"."}) {
        Project_Name = name;
        Reopen_Last_Project();
        EXPECT_EQ(Project_Dir, u"") << StringToUtf8(name);
    }
}

TEST(ProjectFiles, NewProjectCreatesTheFolderWithBinOrNamesTheFault) {
    ExeFolder exe;
    Model_Code = 4;
    EXPECT_EQ(Create_Project_Folder(u"Plant A"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(exe.dir.file("PROJECTS/Plant A/bin")));
    EXPECT_EQ(Project_Name, u"Plant A");
    EXPECT_EQ(Path_ParGen, Utf8ToString(exe.dir.file("PROJECTS/Plant A/ParGen.xml")));

    const struct {
        const char* name;
        int text;
    } refused[] = {{"", 45}, {"Plant A", 44}, {"a/b", 43}, {"..", 43}, {".", 43}, {"a\\b", 43}, {"/tmp", 43}};
    for (const auto& r : refused) {
        EXPECT_EQ(Create_Project_Folder(S(r.name)), r.text) << r.name;
        EXPECT_EQ(Project_Name, u"Plant A") << r.name;  // the open project is kept
    }
    EXPECT_FALSE(std::filesystem::exists(exe.dir.file("PROJECTS/a")));
}

TEST(ProjectFiles, OpenListsTheFoldersAndFindsTheCurrentOneIgnoringCase) {
    ExeFolder exe;
    exe.dir.write("PROJECTS/readme.txt", "a file is no project");
    for (const char* name : {"Beta", "Plant A", "alpha"})
        std::filesystem::create_directories(exe.dir.file(std::string("PROJECTS/") + name));
    const std::vector<String> SL = Load_Existing_Configuration();
    EXPECT_EQ(std::set<String>(SL.begin(), SL.end()), (std::set<String>{u"Beta", u"Plant A", u"alpha"}));

    Project_Dir = Projects_Dir + u"/plant a";
    EXPECT_EQ(Current_Project_Folder_Name(), u"plant a");
    const int found = Search_Open_Conf(SL, Current_Project_Folder_Name());
    ASSERT_GE(found, 0);
    EXPECT_EQ(SL[found], u"Plant A");
    EXPECT_EQ(Search_Open_Conf(SL, u"gamma"), -1);
    Project_Dir.clear();
    EXPECT_EQ(Current_Project_Folder_Name(), u"");
}
