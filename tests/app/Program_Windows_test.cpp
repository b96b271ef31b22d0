// The whole program as it starts: every window created in order, then the
// wizard driven as a person would, with scripted answers.

#include "app/Program_Windows.h"
#include "app/UBridgeformeFirmWare.h"
#include "descfiles/UProfinetFileName.h"
#include "framework/Dialogs.h"
#include "image/UAdvanceFunctions.h"
#include "image/UBootTCP.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UScanDecode.h"
#include "shell/Globals.h"
#include "shell/UAbout.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/UParGen.h"
#include "shell/USoftOptions.h"
#include "tables/UCAN_Rec_Frames.h"
#include "tables/UCAN_Send_Frame.h"
#include "tables/UDMXDefVal.h"
#include "tables/UDNet.h"
#include "tables/UDefOffset.h"
#include "tables/UModbus_TCP_Master_Set_Access.h"
#include "tables/UNodeGuard.h"
#include "tables/UReStart_Devices.h"
#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"
#include "tables/USNMP_Trap_Access.h"
#include "tables/USetAccess.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"
#include "tables/U_Rec_Info.h"
#include "tables/U_Sen_Info.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Each test is its own process, so the windows are created once per test.
class ProgramTest : public ::testing::Test {
protected:
    void Start(int model) {
        Model_Code = model;
        Start_Folder = Utf8ToString(dir.path());
        Create_Program_Windows();
        w = FBridgeformeFirmWare;
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    TFBridgeformeFirmWare* w = nullptr;
};

}  // namespace

TEST_F(ProgramTest, NewProjectThenTheScanStepAsksBeforeReplacingTheMBusNetwork) {
    Start(10);
    EXPECT_EQ(FNew_Project->L_SW_Code->Caption(), u"CV52802");
    std::vector<TCustomForm*> modal;
    dialogs.OnModalForm = [&](TCustomForm* form) {
        modal.push_back(form);
        if (form == FNew_Project) {
            FNew_Project->E_New_Proj->SetText(u"Meters");
            FNew_Project->Btn_OK->Click();
        } else {
            form->SetModalResult(mrCancel);
        }
    };
    w->Button(u"Btn_New")->Click();
    EXPECT_EQ(w->L_Name_Conf->Caption(), u"Opened Configuration of the Converter : ");
    EXPECT_EQ(w->L_Name_Conf_L2->Caption(), u"Meters");
    EXPECT_EQ(Path_M_Bus, Utf8ToString(dir.file("PROJECTS/Meters/M_Bus.xml")));

    dir.write("PROJECTS/Meters/M_Bus.xml", "<M-Bus_Network/>");
    dialogs.AnswerBox(IDNO);
    w->Button(u"Btn_ScanDecode")->Click();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diWarning);
    EXPECT_EQ(dialogs.Shown[0].Text,
              u"M-Bus network configuration already exists for this configuration. Do you want to continue?");
    EXPECT_EQ(modal.size(), 1u);  // the scan window stayed closed

    dialogs.AnswerBox(IDYES);
    w->Button(u"Btn_ScanDecode")->Click();
    ASSERT_EQ(modal.size(), 2u);
    EXPECT_EQ(modal[1], FScanDecode);
    EXPECT_EQ(FScanDecode->XML_Code_Dev, 11);
    EXPECT_EQ(FScanDecode->FileName_MBus, Path_M_Bus);
    EXPECT_EQ(FScanDecode->Form_Type, 0);
}

TEST_F(ProgramTest, ALanguagePickedInTheOptionsReachesTheMainWindowAtOnce) {
    dir.write("LANGUAGE/Deutsch.lng", "STR17 = Neue Konfiguration\nSTR9 = \xB6Keine Konfiguration \xB6\n");
    Start(4);
    dialogs.AnswerBox(IDYES);
    dialogs.OnModalForm = [&](TCustomForm* form) {
        ASSERT_EQ(form, FSoftOptions);
        FSoftOptions->L_L[1]->Click();
        FSoftOptions->Btn_OK->Click();
    };
    w->Btn_Opz->Click();
    EXPECT_EQ(w->Button(u"Btn_New")->Caption(), u"Neue Konfiguration");
    EXPECT_EQ(w->L_Name_Conf->Caption(), u"Keine Konfiguration ");
    EXPECT_EQ(FNew_Project->Btn_OK->Caption(), u"OK");
    // Confirmed: the settings are written at once.
    EXPECT_NE(dir.read("Bridgeform.xml").find("<language>Deutsch</language>"), std::string::npos);
}

TEST_F(ProgramTest, TheOptionsOpenTheDiagnosticsWindowWhichListensWhileShown) {
    Start(4);
    FAdvanceFunctions->Functions.Local_Port = 0;  // the converter's port stays free on this machine
    std::vector<TCustomForm*> modal;
    bool listening = false;
    dialogs.OnModalForm = [&](TCustomForm* form) {
        modal.push_back(form);
        if (form == FSoftOptions) {
            FSoftOptions->Btn_Advance_Functions->Click();
            FSoftOptions->Btn_Cancel->Click();
        } else if (form == FAdvanceFunctions) {
            listening = FAdvanceFunctions->Functions.Listening();
            FAdvanceFunctions->Btn_Exit->Click();
        }
    };
    w->Btn_Opz->Click();
    ASSERT_EQ(modal.size(), 2u);
    EXPECT_EQ(modal[1], FAdvanceFunctions);
    EXPECT_TRUE(listening);
    EXPECT_FALSE(FAdvanceFunctions->Functions.Listening());
    EXPECT_EQ(FAdvanceFunctions->L_SW_Code->Caption(), SW_Code);
    EXPECT_EQ(FAdvanceFunctions->E_IP_Address->Text(), u"192.168.0.5");
}

TEST_F(ProgramTest, SnmpButtonsOfModel18FollowTheMapTypeWhenShown) {
    std::filesystem::create_directories(dir.file("PROJECTS/Agent/bin"));
    dir.write("PROJECTS/Agent/ParGen.xml", "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>");
    dir.write("Bridgeform.xml", "<Conf_Settings><lastproj><projectname>Agent</projectname></lastproj></Conf_Settings>");
    Start(18);
    w->FormShow(w);
    EXPECT_FALSE(w->Button(u"Btn_SNMP_Trap")->Enabled());
    EXPECT_FALSE(w->Button(u"Btn_SNMP_MIB")->Enabled());
    dir.write("PROJECTS/Agent/ParGen.xml", "<Par_Gen><SNMP_MapType>1</SNMP_MapType></Par_Gen>");
    dialogs.OnModalForm = [](TCustomForm* form) { form->SetModalResult(mrCancel); };
    w->Button(u"Btn_Prm_Gen")->Click();  // the general parameters close: read again
    EXPECT_TRUE(w->Button(u"Btn_SNMP_Trap")->Enabled());
    EXPECT_TRUE(w->Button(u"Btn_SNMP_MIB")->Enabled());

    dir.write("PROJECTS/Agent/ParGen.xml", "<Par_Gen><SNMP_MapType>");
    w->FormShow(w);  // a damaged file: the parser's message, the buttons keep their state
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_TRUE(w->Button(u"Btn_SNMP_Trap")->Enabled());
}

TEST_F(ProgramTest, UpdateDeviceBuildsTheImagesThenOpensTheUpdateDialog) {
    std::filesystem::create_directories(dir.file("PROJECTS/Gate/bin"));
    dir.write("Bridgeform.xml", "<Conf_Settings><lastproj><projectname>Gate</projectname></lastproj></Conf_Settings>");
    Start(13);
    std::vector<TCustomForm*> modal;
    dialogs.OnModalForm = [&](TCustomForm* form) {
        modal.push_back(form);
        form->SetModalResult(mrCancel);
    };
    w->Button(u"Btn_CreateBin")->Click();
    for (const auto& shown : dialogs.Shown)
        ADD_FAILURE() << StringToUtf8(shown.Text);
    ASSERT_EQ(modal.size(), 1u);
    EXPECT_EQ(modal[0], FBootTCP);
    EXPECT_TRUE(std::filesystem::exists(dir.file("PROJECTS/Gate/bin/bank.bin")));
}

TEST_F(ProgramTest, UpdateDeviceStopsWithTheBuildersMessage) {
    std::filesystem::create_directories(dir.file("PROJECTS/Gate/bin"));
    dir.write("Bridgeform.xml", "<Conf_Settings><lastproj><projectname>Gate</projectname></lastproj></Conf_Settings>");
    dir.write("PROJECTS/Gate/ParGen.xml", "<Par_Gen><broken>");
    Start(13);
    int modal = 0;
    dialogs.OnModalForm = [&](TCustomForm* form) {
        ++modal;
        form->SetModalResult(mrCancel);
    };
    w->Button(u"Btn_CreateBin")->Click();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_EQ(modal, 0);  // no update dialog after a refused build
}

TEST_F(ProgramTest, TheTimerChecksTheVersionAndShowsTheLinkOnlyForANewerOne) {
    dir.write("Bridgeform.xml",
              "<Conf_Settings><lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update>"
              "</lastinternet></Conf_Settings>");
    const String host = Version_Service_Host;
    Start(2004);
    EXPECT_TRUE(w->Timer_Update->Enabled());
    EXPECT_EQ(w->Timer_Update->Interval(), 60000u);
    EXPECT_FALSE(FSoftOptions->TS_Con_Options->TabVisible());
    {
        LoopbackHttpServer server("VER. 1.114");  // model 0's code, compared with 1.113
        Version_Service_Host = server.Host();
        w->Timer_UpdateTimer(w->Timer_Update);
        EXPECT_NE(server.request.find("nomesw=CV52829 "), std::string::npos);
    }
    EXPECT_TRUE(w->LL_Update->Visible());
    EXPECT_NE(w->LL_Update->Text().find(u"New Version Available. Click Here for more Details"), String::npos);
    EXPECT_NE(w->LL_Update->Text().find(u"#GX52829"), String::npos);
    EXPECT_EQ(w->Timer_Update->Interval(), 7200000u);
    EXPECT_TRUE(w->Timer_Update->Enabled());
    {
        LoopbackHttpServer server("VER. 1.113");
        Version_Service_Host = server.Host();
        w->Timer_UpdateTimer(w->Timer_Update);
    }
    EXPECT_FALSE(w->LL_Update->Visible());
    Version_Service_Host = host;
}

TEST_F(ProgramTest, TheManualCheckSaysWhetherAnUpdateIsAvailable) {
    const String host = Version_Service_Host;
    Start(4);
    LoopbackHttpServer server("VER. 1.900");
    Version_Service_Host = server.Host();
    dialogs.OnModalForm = [&](TCustomForm*) {
        FSoftOptions->CB_En_Con->SetChecked(true);
        FSoftOptions->CB_Update->SetChecked(true);
        FSoftOptions->Btn_Check_Update->Click();
        EXPECT_TRUE(FSoftOptions->LL_Check_Update->Visible());
        EXPECT_NE(FSoftOptions->LL_Check_Update->Text().find(u"New Version Available"), String::npos);
        FSoftOptions->Btn_OK->Click();
    };
    w->Btn_Opz->Click();
    // Confirmed with both flags on: the settings are written and the timer runs.
    EXPECT_TRUE(w->Timer_Update->Enabled());
    EXPECT_NE(dir.read("Bridgeform.xml").find("<enable_update>1</enable_update>"), std::string::npos);
    Version_Service_Host = host;
}

TEST_F(ProgramTest, TheWebLabelOpensTheProductPageAndCloseEndsWithTheSettings) {
    Start(8);
    w->L_Korvia->Click();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Kind, dkOpenLink);
    EXPECT_NE(dialogs.Shown[0].FileName.find(u"CV52830"), String::npos);
    w->Btn_Close->Click();
    EXPECT_NE(dir.read("Bridgeform.xml").find("<Conf_Settings>"), std::string::npos);
}

TEST_F(ProgramTest, EachWizardButtonShowsItsOwnWindow) {
    std::filesystem::create_directories(dir.file("PROJECTS/Any/bin"));
    dir.write("Bridgeform.xml", "<Conf_Settings><lastproj><projectname>Any</projectname></lastproj></Conf_Settings>");
    Start(4);
    std::vector<TCustomForm*> modal;
    dialogs.OnModalForm = [&](TCustomForm* form) {
        modal.push_back(form);
        form->SetModalResult(mrCancel);
    };
    const struct {
        const char16_t* button;
        int model;
        TCustomForm* window;
    } cases[] = {
        {u"Btn_Prm_Gen", 4, FParGen},
        {u"Btn_CAN_Rec_Frame", 4, FCAN_Rec_Frames},
        {u"Btn_CAN_Send_Frame", 4, FCAN_Send_Frame},
        {u"Btn_CAN_Rec_Info", 4, F_Rec_Info},
        {u"Btn_CAN_Send_Info", 4, F_Sen_Info},
        {u"Btn_DNet_Net", 4, FDNet},
        {u"Btn_DNet_Offset", 4, FDefOffset},
        {u"Btn_ModM_SetAccess", 4, FSetAccess},
        {u"Btn_ModM_SetAccess", 18, FSetAccess},
        {u"Btn_ModM_SetAccess", 11, FModbus_TCP_Master_Set_Access},
        {u"Btn_ModM_SetAccess", 19, FModbus_TCP_Master_Set_Access},
        {u"Btn_J1939_Rec_Frame", 4, FReceiveJ1939},
        {u"Btn_J1939_Send_Frame", 4, FTransmitJ1939},
        {u"Btn_NMEA_Rec_Frame", 4, FReceiveNMEA},
        {u"Btn_NMEA_Send_Frame", 4, FTransmitNMEA},
        {u"Btn_SDO_Server_CANopen", 4, FSet_SDO_Server_Access},
        {u"Btn_SDO_Client_CANopen", 4, FSet_SDO_Client_Access},
        {u"Btn_PDO_CANopen", 4, FSet_PDO_Access},
        {u"Btn_ReStart_Devices_CANopen", 4, FReStart_Devices},
        {u"Btn_NodeGuard_CANopen", 4, FNodeGuard},
        {u"Btn_MBus", 4, FMeter_Bus},
        {u"Btn_DMX_Default", 4, FDMXDefVal},
        {u"Btn_SNMP_Trap", 4, FSNMP_Trap_Access},
        {u"Btn_PROFINET_XML", 4, FProfinetFileName},
        {u"Btn_Open", 4, FOpenConf},
        {u"Btn_New", 4, FNew_Project},
    };
    for (const auto& c : cases) {
        modal.clear();
        Model_Code = c.model;
        // The dispatch goes by the button; model 4 hides most of them.
        w->Button(c.button)->SetVisible(true);
        w->Button(c.button)->Click();
        ASSERT_EQ(modal.size(), 1u) << StringToUtf8(c.button) << " " << c.model;
        EXPECT_EQ(modal[0], c.window) << StringToUtf8(c.button) << " " << c.model;
    }
    Model_Code = 4;
    modal.clear();
    w->Btn_Info->Click();
    w->Btn_Opz->Click();
    ASSERT_EQ(modal.size(), 2u);
    EXPECT_EQ(modal[0], FAbout);
    EXPECT_EQ(modal[1], FSoftOptions);
    EXPECT_TRUE(dialogs.Shown.empty());
}
