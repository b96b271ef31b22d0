#include "app/UBridgeformeFirmWare.h"

#include "Wizard_Table.h"
#include "app/Program_Windows.h"
#include "app/Wizard_Layout.h"
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "shell/UModel_Tables.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/UProject_Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <memory>

namespace {

// The English caption of each wizard button.
const std::map<std::string, std::string> Captions = {
    {"New", "New Configuration"},          {"Open", "Open Configuration"},
    {"Prm_Gen", "Set Communication"},      {"CreateBin", "Update Device"},
    {"PROFINET_XML", "PROFINET XML"},      {"CAN_Rec_Frame", "Receive Frames"},
    {"CAN_Send_Frame", "Send Frames"},     {"CAN_Rec_Info", "Info Receive"},
    {"CAN_Send_Info", "Info Send"},        {"DNet_Net", "DeviceNet Network"},
    {"DNet_Offset", "Define Offset"},      {"ModM_SetAccess", "Set Access"},
    {"J1939_Rec_Frame", "Receive Frames"}, {"J1939_Send_Frame", "Send Frames"},
    {"NMEA_Rec_Frame", "Receive NMEA"},    {"NMEA_Send_Frame", "Send NMEA"},
    {"SDO_Server_CANopen", "Set SDO Server"}, {"SDO_Client_CANopen", "Set SDO Client"},
    {"PDO_CANopen", "Set PDO Access"},     {"MBus", "M-Bus"},
    {"PROFIBUS_GSD", "PROFIBUS GSD"},      {"ReStart_Devices_CANopen", "ReStart Devices"},
    {"NodeGuard_CANopen", "Set Node Guarding"},
    {"CANopen_EDS", "EDS File"},           {"DMX_Default", "DMX Default Value"},
    {"SNMP_Trap", "Set SNMP Access"},      {"SNMP_MIB", "SNMP MIB"},
};

// Puts the program-wide state back and gives the window a folder of its own
// in place of the executable's.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedModel_ = Model_Code;
        Start_Folder = Utf8ToString(dir.path());
    }
    void TearDown() override {
        window.reset();
        Start_Folder.clear();
        Model_Code = savedModel_;
        Project_Name.clear();
        Project_Dir.clear();
    }
    TFBridgeformeFirmWare* Start(int model) {
        window.reset();
        Model_Code = model;
        window.reset(new TFBridgeformeFirmWare(nullptr));
        window->AfterConstruction();
        return window.get();
    }
    TempDir dir;
    std::unique_ptr<TFBridgeformeFirmWare> window;

private:
    int savedModel_ = 4;
};

}  // namespace

TEST_F(MainWindowTest, CaptionCodeAndWizardStepsPerModel) {
    for (const auto& [model, rows] : Rows_From_3) {
        SCOPED_TRACE(model);
        TFBridgeformeFirmWare* w = Start(model);
        EXPECT_EQ(w->Caption(), Model_Main_Caption(model));
        EXPECT_EQ(w->L_SW_Code->Caption(), Model_SW_Code(model));
        EXPECT_EQ(w->L_SW_Desc->Caption(), Model_Title(model));

        // Every button of the model's rows where the table puts it, with its caption.
        std::set<String> placed;
        const std::string all = (model == 2004 ? "Open;Prm_Gen" : "New+Open;Prm_Gen") +
                                (rows.empty() ? std::string() : ";" + rows) + ";CreateBin";
        int row = 1;
        for (const std::string& line : Split(all, ';')) {
            int column = 1;
            for (const std::string& name : Split(line, '+')) {
                TShellButton* b = w->Button(S("Btn_" + name));
                ASSERT_NE(b, nullptr) << name;
                EXPECT_TRUE(b->Visible()) << name;
                EXPECT_EQ(b->Left(), column == 1 ? 80 : 258) << name;
                EXPECT_EQ(b->Top(), 112 + 44 * (row - 1)) << name;
                EXPECT_EQ(b->Width(), 170);
                EXPECT_EQ(b->Height(), 36);
                if (Captions.count(name))
                    EXPECT_EQ(b->Caption(), S(Captions.at(name))) << name;
                placed.insert(S("Btn_" + name));
                ++column;
            }
            ++row;
        }
        const int n = row - 1;
        for (const char* name : All_Wizard_Buttons)
            if (!placed.count(S(name)))
                EXPECT_FALSE(w->Button(S(name))->Visible()) << name;
        for (int k = 1; k <= 10; ++k) {
            EXPECT_EQ(w->L_Step[k]->Visible(), k <= n) << k;
            EXPECT_EQ(w->L_Step[k]->Top(), 128 + 44 * (k - 1));
        }
        EXPECT_EQ(w->L_Step[10]->Caption(), u"Step 10");
        EXPECT_EQ(w->ClientWidth(), 694);
        EXPECT_EQ(w->ClientHeight(), 112 + 44 * (n - 1) + 152);
        EXPECT_EQ(w->L_Korvia->Visible(), model != 1018 && model != 2004);
        EXPECT_EQ(w->L_Korvia->Top(), 128 + 44 * (n - 1));
        EXPECT_EQ(w->Button(u"Btn_ScanDecode")->Visible(), model == 10 || model == 21);
        EXPECT_EQ(w->Button(u"Btn_ScanDecode")->Caption(), u"Scan && Decode");
        const struct {
            TControl* control;
            int left, top;
        } fixed[] = {
            {w->L_SW_Code, 16, 8},   {w->L_SW_Desc, 16, 42},       {w->L_Begin, 16, 84},
            {w->Shape2, 80, 70},     {w->L_Name_Conf, 87, 75},     {w->L_Name_Conf_L2, 87, 88},
            {w->Btn_Info, 516, 8},   {w->Btn_Opz, 574, 8},         {w->Btn_Close, 632, 8},
            {w->LL_Update, 208, 19}, {w->Button(u"Btn_ScanDecode"), 516, 70},
        };
        for (const auto& f : fixed) {
            EXPECT_EQ(f.control->Left(), f.left) << StringToUtf8(f.control->Name());
            EXPECT_EQ(f.control->Top(), f.top) << StringToUtf8(f.control->Name());
        }
        EXPECT_EQ(w->Btn_Info->Hint(), u"Information");
        EXPECT_EQ(w->Btn_Opz->Hint(), u"Options");
        EXPECT_EQ(w->Btn_Close->Hint(), u"Close Configurator");
        EXPECT_EQ(w->Shape1->Top(), w->Button(u"Btn_CreateBin")->Top() + 51);
        EXPECT_EQ(w->L_Korvia->Left(), 565);
        EXPECT_EQ(w->L_Name_Conf->Caption(), u"None Configuration Opened ");
        EXPECT_EQ(w->L_Name_Conf_L2->Caption(), u"Use Step1 to open or create new configuration");
    }
}

TEST_F(MainWindowTest, RendersTheWizardOfThreeModels) {
    for (int model : {4, 33, 2004}) {
        TFBridgeformeFirmWare* w = Start(model);
        TBitmap bitmap;
        bitmap.SetSize(w->ClientWidth(), w->ClientHeight());
        w->PaintTo(bitmap.Canvas(), 0, 0);
        // A person looks at these; the test probes a few pixels.
        bitmap.SaveToPngFile(S(dir.file("main_window_" + std::to_string(model) + ".png")));
        EXPECT_EQ(bitmap.Canvas().Pixels(4, w->ClientHeight() - 4), TColor(0xEDF7F8)) << model;
        // The rule under "Update Device" spans the window.
        const int ruleY = w->Button(u"Btn_CreateBin")->Top() + 51;
        EXPECT_NE(bitmap.Canvas().Pixels(340, ruleY), TColor(0xEDF7F8)) << model;
    }
}

TEST_F(MainWindowTest, FirstStartMakesTheFoldersAndCloseWritesTheSettings) {
    TFBridgeformeFirmWare* w = Start(4);
    for (const char* sub : {"MASTER", "PROJECTS", "LANGUAGE"})
        EXPECT_TRUE(std::filesystem::is_directory(dir.file(sub))) << sub;
    EXPECT_EQ(Project_Dir, u"");
    EXPECT_EQ(Path_ParGen, u"/ParGen.xml");

    std::filesystem::create_directories(dir.file("PROJECTS/Plant A/bin"));
    Open_Project_Named(u"Plant A");
    TCloseAction action = caHide;
    w->FormClose(w, action);
    EXPECT_EQ(dir.read("Bridgeform.xml"),
              "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj><lastipadd><ipaddress>"
              "192.168.2.205</ipaddress></lastipadd><lastlang><language>English</language></lastlang>"
              "<lastinternet><enable_internet>0</enable_internet><enable_update>0</enable_update>"
              "<enable_jump_field_tables>0</enable_jump_field_tables><Double_Click_Auto_Size>0"
              "</Double_Click_Auto_Size></lastinternet></Conf_Settings>\r\n");

    // The next start reopens it.
    Project_Name.clear();
    Project_Dir.clear();
    w = Start(4);
    EXPECT_EQ(Project_Dir, Utf8ToString(dir.file("PROJECTS/Plant A")));
    EXPECT_EQ(w->L_Name_Conf->Caption(), u"Opened Configuration of the Converter : ");
    EXPECT_EQ(w->L_Name_Conf_L2->Caption(), u"Plant A");
    EXPECT_EQ(Path_ModbusM_SetAccess, Utf8ToString(dir.file("PROJECTS/Plant A/ModbusM_SetAccess.xml")));
}

TEST_F(MainWindowTest, ProjectButtonsNeedAnOpenProject) {
    TFBridgeformeFirmWare* w = Start(4);
    TScriptedDialogService dialogs;
    for (const char* name : {"Btn_PROFINET_XML", "Btn_Prm_Gen", "Btn_ModM_SetAccess", "Btn_CreateBin"}) {
        w->Button(S(name))->Click();
        ASSERT_FALSE(dialogs.Shown.empty()) << name;
        EXPECT_EQ(dialogs.Shown.back().Text, u"Error! Project not Valid") << name;
        EXPECT_EQ(dialogs.Shown.back().Icon, diError);
    }
    EXPECT_EQ(dialogs.Shown.size(), 4u);
}
