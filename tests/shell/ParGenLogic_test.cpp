#include "framework/SysUtils.h"
#include "shell/ParGenLogic.h"

#include "shell/Globals.h"
#include "shell/ParGenFile.h"
#include "shell/ParGenSchema.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "shell/ParGenGolden.h"

namespace {

std::string Golden(int model) { return ParGen_Golden(model); }

// A project folder with the form's file paths pointing into it.
class ParGenForm : public ::testing::Test {
protected:
    void SetUp() override {
        saved_model_ = Model_Code;
        Load_Default_Texts();
        saved_paths_ = {Path_ParGen, Path_M_Bus, Path_ModbusM_SetAccess, Path_CAN_Rec_Frames, Path_CAN_Send_Frames};
        Path_ParGen = P("ParGen.xml");
        Path_M_Bus = P("M_Bus.xml");
        Path_ModbusM_SetAccess = P("ModbusM_SetAccess.xml");
        Path_CAN_Rec_Frames = P("CAN_Rec_Frames.xml");
        Path_CAN_Send_Frames = P("CAN_Send_Frames.xml");
    }
    void TearDown() override {
        Model_Code = saved_model_;
        Path_ParGen = saved_paths_[0];
        Path_M_Bus = saved_paths_[1];
        Path_ModbusM_SetAccess = saved_paths_[2];
        Path_CAN_Rec_Frames = saved_paths_[3];
        Path_CAN_Send_Frames = saved_paths_[4];
    }
    String P(const std::string& name) const { return Utf8ToString(dir_.file(name)); }

    // The form created once for the model, then shown.
    std::unique_ptr<TParGenLogic> Open(int model, bool expectShown = true) {
        Model_Code = model;
        auto f = std::make_unique<TParGenLogic>();
        f->Show_Error = [this](const String& s) { errors_.push_back(s); };
        f->Ask_Yes_No = [this](const String& s) {
            questions_.push_back(s);
            return answer_;
        };
        f->FormCreate();
        EXPECT_EQ(f->FormShow(), expectShown);
        return f;
    }
    // Sets a control as the tests' tables write it: edits take the text,
    // check boxes "1"/"0", lists "#n".
    static void Set(TParGenLogic& f, const String& name, const String& value) {
        TPGControl& c = f.C(name);
        if (c.Kind == TPGKind::List) c.ItemIndex = StrToIntDef(value.substr(1), -1);
        else if (c.Kind == TPGKind::Check) c.Checked = value == u"1";
        else c.Text = value;
    }

    TempDir dir_;
    std::vector<String> errors_;
    std::vector<String> questions_;
    bool answer_ = true;

private:
    int saved_model_ = 0;
    std::vector<String> saved_paths_;
};

}  // namespace

TEST_F(ParGenForm, NewProjectConfirmedWithOKWritesTheGoldenFileOfEveryModel) {
    for (int model : ParGen_Model_Codes) {
        std::filesystem::remove(dir_.file("ParGen.xml"));
        errors_.clear();
        auto f = Open(model);
        EXPECT_TRUE(f->Btn_OK_Click()) << "model " << model << " " << (errors_.empty() ? "" : StringToUtf8(errors_[0]));
        EXPECT_EQ(dir_.read("ParGen.xml"), Golden(model)) << "model " << model;
    }
}

TEST_F(ParGenForm, AFileReadIntoTheFormAndWrittenAgainIsUnchanged) {
    for (int model : ParGen_Model_Codes) {
        dir_.write("ParGen.xml", Golden(model));
        auto f = Open(model);
        EXPECT_EQ(f->To_File().SaveToUtf8(), Golden(model)) << "model " << model;
    }
    // Values other than the defaults too, including texts kept exactly as typed.
    Model_Code = 4;
    std::string edited = Golden(4);
    auto swap = [&](const std::string& from, const std::string& to) {
        auto at = edited.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        edited.replace(at, from.size(), to);
    };
    swap("<PROFINET_IP4>5<", "<PROFINET_IP4> 12<");
    swap("<PROFINET_PORT>2000<", "<PROFINET_PORT>4711<");
    swap("<PROFINET_NAME_STA>devicename1<", "<PROFINET_NAME_STA>plant&amp;line<");
    swap("<MODBUS_MASTER_SERIAL>0<", "<MODBUS_MASTER_SERIAL>1<");
    swap("<MODBUS_MASTER_BAUDRATE>7<", "<MODBUS_MASTER_BAUDRATE>10<");
    swap("<MODBUS_MASTER_ENABLE_POLL>0<", "<MODBUS_MASTER_ENABLE_POLL>1<");
    dir_.write("ParGen.xml", edited);
    auto f = Open(4);
    EXPECT_TRUE(f->Btn_OK_Click()) << (errors_.empty() ? "" : StringToUtf8(errors_[0]));
    EXPECT_EQ(dir_.read("ParGen.xml"), edited);
}

TEST_F(ParGenForm, LoadingTakesDefaultsForWhatCannotBeRead) {
    dir_.write("ParGen.xml",
               "<Par_Gen><PROFINET_IP1/><PROFINET_IP2><a/></PROFINET_IP2><PROFINET_EN_GAT>yes</PROFINET_EN_GAT>"
               "<MODBUS_MASTER_BAUDRATE>fast</MODBUS_MASTER_BAUDRATE><MODBUS_MASTER_PARITY>-1</MODBUS_MASTER_PARITY>"
               "<MODBUS_MASTER_STOPBITS>2</MODBUS_MASTER_STOPBITS><MODBUS_MASTER_SERIAL>1</MODBUS_MASTER_SERIAL>"
               "</Par_Gen>");
    auto f = Open(4);
    EXPECT_EQ(f->C(u"E_IP1").Text, u"");
    EXPECT_EQ(f->C(u"E_IP2").Text, u"168");
    EXPECT_EQ(f->C(u"E_IP3").Text, u"0");
    EXPECT_FALSE(f->C(u"CB_EN_GAT").Checked);
    EXPECT_EQ(f->C(u"CB_Baud_Modbus_Master").ItemIndex, 7);
    EXPECT_EQ(f->C(u"CB_Par_Modbus_Master").ItemIndex, 0);   // outside the list: the default
    EXPECT_EQ(f->C(u"CB_Stop_Modbus_Master").ItemIndex, 0);
    EXPECT_EQ(f->C(u"CB_Serial_Modbus_Master").ItemIndex, 1);
    EXPECT_EQ(f->C(u"E_PORT").Text, u"2000");
    EXPECT_FALSE(f->Is_Change);
    EXPECT_TRUE(errors_.empty());

    // The port of a non-tunnelling model is always the PROFINET one.
    dir_.write("ParGen.xml", "<Par_Gen><PROFINET_PORT>4711</PROFINET_PORT></Par_Gen>");
    f = Open(5);
    EXPECT_EQ(f->C(u"E_PORT").Text, u"34964");
    // A missing read-input element reads as off; only a new project has it on.
    EXPECT_FALSE(f->C(u"CB_Read_IR").Checked);
    std::filesystem::remove(dir_.file("ParGen.xml"));
    f = Open(5);
    EXPECT_TRUE(f->C(u"CB_Read_IR").Checked);
}

TEST_F(ParGenForm, ANewProjectShowsNothingOfTheProjectShownBefore) {
    dir_.write("ParGen.xml", "<Par_Gen><PROFINET_IP4>77</PROFINET_IP4><EtherNetIP_IP1>10</EtherNetIP_IP1>"
                             "<PROFINET_EN_GAT>1</PROFINET_EN_GAT></Par_Gen>");
    Model_Code = 13;
    TParGenLogic f;
    f.FormCreate();
    ASSERT_TRUE(f.FormShow());
    EXPECT_EQ(f.C(u"E_IP4").Text, u"77");
    EXPECT_EQ(f.C(u"E_EIP_IP4").Text, u"5");  // missing element: 5
    f.C(u"E_EIP_SM1").Text = u"1";
    std::filesystem::remove(dir_.file("ParGen.xml"));
    ASSERT_TRUE(f.FormShow());
    EXPECT_EQ(f.C(u"E_IP4").Text, u"5");
    EXPECT_EQ(f.C(u"E_EIP_IP1").Text, u"192");
    EXPECT_EQ(f.C(u"E_EIP_IP4").Text, u"10");  // a new project's EtherNet/IP address ends in 10
    EXPECT_EQ(f.C(u"E_EIP_SM1").Text, u"255");
    EXPECT_FALSE(f.C(u"CB_EN_GAT").Checked);
}

TEST_F(ParGenForm, AFileThatCannotBeParsedIsNamedAndTheFormNotShown) {
    dir_.write("ParGen.xml", "<Par_Gen><PROFINET_IP1>1</Par_Gen>");
    auto f = Open(4, false);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find(P("ParGen.xml")), String::npos) << StringToUtf8(errors_[0]);

    // A broken table file is named too, and only that one.
    dir_.write("ParGen.xml", Golden(0));
    dir_.write("CAN_Rec_Frames.xml", "<Root><Receive_Frames/></Root>");
    dir_.write("CAN_Send_Frames.xml", "<Root><Send_Frames>");
    errors_.clear();
    Open(0, false);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find(P("CAN_Send_Frames.xml")), String::npos) << StringToUtf8(errors_[0]);
    EXPECT_EQ(errors_[0].find(P("CAN_Rec_Frames.xml")), String::npos) << StringToUtf8(errors_[0]);
}

TEST_F(ParGenForm, TableFilesGiveTheBytesOfOneBitPerPoll) {
    auto entries = [](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += "<Poll/>";
        return s;
    };
    dir_.write("ModbusM_SetAccess.xml", "<Root><Modbus_Read>" + entries(9) + "</Modbus_Read><Modbus_Write>" +
                                            entries(8) + "</Modbus_Write></Root>");
    EXPECT_EQ(Open(4)->Num_Modbus_Polls, 3);
    EXPECT_EQ(Open(2004)->Num_Modbus_Polls, 3);
    EXPECT_EQ(Open(25)->Num_Modbus_Polls, 0);
    dir_.write("ModbusM_SetAccess.xml", "<Root><Modbus_Read/></Root>");  // no write table: no entries
    EXPECT_EQ(Open(4)->Num_Modbus_Polls, 0);
    std::filesystem::remove(dir_.file("ModbusM_SetAccess.xml"));
    EXPECT_EQ(Open(4)->Num_Modbus_Polls, 0);

    dir_.write("CAN_Rec_Frames.xml", "<Root><Receive_Frames>" + entries(16) + "</Receive_Frames></Root>");
    EXPECT_EQ(Open(0)->Num_CAN_Polls, 2);
    dir_.write("CAN_Send_Frames.xml", "<Root><Send_Frames>" + entries(1) + "</Send_Frames></Root>");
    EXPECT_EQ(Open(0)->Num_CAN_Polls, 3);
    EXPECT_EQ(Open(27)->Num_CAN_Polls, 0);
    EXPECT_TRUE(errors_.empty());
}

namespace {

struct TCheckCase {
    int Model;
    std::vector<std::pair<String, String>> Values;
    int Text;           // 0: passes
    String Number = {};  // appended to the text
    int Modbus_Polls = 0, CAN_Polls = 0;
};

}  // namespace

TEST_F(ParGenForm, ValidationReportsTheFirstFailingFieldAndSavesNothing) {
    const TCheckCase cases[] = {
        // 1: the address of the top box
        {0, {{u"E_IP1", u" 12"}}, 0},
        {0, {{u"E_IP1", u"12 "}}, 152},
        {0, {{u"E_SM3", u"$FF"}}, 0},
        {0, {{u"E_SM3", u"$100"}}, 158},
        {0, {{u"E_GAT1", u"300"}}, 0},
        {0, {{u"E_GAT1", u"300"}, {u"CB_EN_GAT", u"1"}}, 160},
        {18, {{u"E_IP1", u"256"}}, 865},
        {0, {{u"E_IP2", u""}, {u"E_IP1", u"x"}}, 152},  // the first failing field only
        // 2: SNMP version 3
        {35, {{u"CB_PROFI_SNMP_Secure_Lev", u"#1"}, {u"E_PROFI_SNMP_Auth_Pass", u" 1234567 "}}, 1836},
        {35, {{u"CB_PROFI_SNMP_Secure_Lev", u"#1"}, {u"E_PROFI_SNMP_Auth_Pass", u"12345678"}}, 0},
        {35, {{u"CB_PROFI_SNMP_Secure_Lev", u"#2"}, {u"E_PROFI_SNMP_Auth_Pass", u"12345678"},
              {u"E_PROFI_SNMP_Priv_Pass", u"12345678901234567"}}, 1803},
        {35, {{u"CB_PROFI_SNMP_Secure_Lev", u"#2"}, {u"E_PROFI_SNMP_Auth_Pass", u"12345678"},
              {u"E_PROFI_SNMP_Priv_Pass", u"1234567890123456"}}, 0},
        {35, {{u"CB_PROFI_SNMP_Version", u"#1"}, {u"CB_PROFI_SNMP_Secure_Lev", u"#1"}}, 0},
        // 3: the port of the top box
        {15, {{u"E_PORT", u"34963"}}, 877},
        {15, {{u"E_PORT", u"2000"}}, 0},
        {25, {{u"E_PORT", u"10001"}}, 164},
        {0, {{u"E_PORT", u"0"}}, 164},
        {9, {{u"E_PORT", u"34965"}}, 165},
        {16, {{u"E_PORT", u"nonsense"}}, 0},
        {2004, {{u"E_PORT", u"0"}}, 164},  // checked although its layout hides it
        {2004, {{u"E_PORT", u"2000"}}, 0},
        // 4
        {0, {{u"E_NB_OUT_PROFINET", u"100"}, {u"CB_PROFINET_En_Diagnostic", u"1"}, {u"E_PROFINET_Diagnostic_Address", u"92"}}, 0},
        {0, {{u"E_NB_OUT_PROFINET", u"100"}, {u"CB_PROFINET_En_Diagnostic", u"1"}, {u"E_PROFINET_Diagnostic_Address", u"93"}}, 712, u"92"},
        {0, {{u"E_NB_OUT_PROFINET", u"5"}, {u"CB_PROFINET_En_Diagnostic", u"1"}, {u"E_PROFINET_Diagnostic_Address", u"0"}}, 712, u"-3"},
        {0, {{u"E_NB_OUT_PROFINET", u"100"}, {u"CB_PROFINET_En_Modbus_Poll", u"1"}, {u"E_PROFINET_ModPolls_Address", u"98"}}, 0, {}, 0, 2},
        {0, {{u"E_NB_OUT_PROFINET", u"100"}, {u"CB_PROFINET_En_Modbus_Poll", u"1"}, {u"E_PROFINET_ModPolls_Address", u"99"}}, 1839, u"98", 0, 2},
        {27, {{u"E_NB_IN_PROFINET", u"1440"}}, 166},
        // 5, 6, 7
        {1, {{u"E_ID_DNET_Master", u""}}, 168},
        {2, {{u"E_NB_IN_DNET_Slave", u"456"}}, 170},
        {3, {{u"E_ID_DEV_PROFI_Slave", u"0"}}, 172},
        {23, {{u"E_B_OUT_PROFI_Slave", u"245"}}, 174},
        // 8
        {4, {{u"E_NB_IN_PROFINET", u"100"}, {u"CB_PROFINET_En_Modbus_Poll", u"1"}, {u"E_PROFINET_ModPolls_Address", u"97"}}, 0, {}, 3},
        {4, {{u"E_NB_IN_PROFINET", u"100"}, {u"CB_PROFINET_En_Modbus_Poll", u"1"}, {u"E_PROFINET_ModPolls_Address", u"98"}}, 958, u"97", 3},
        {4, {{u"E_NB_OUT_PROFINET", u"100"}, {u"CB_PROFINET_En_Diagnostic", u"1"}, {u"E_PROFINET_Diagnostic_Address", u"99"}}, 0},
        {4, {{u"CB_Baud_Modbus_Master", u"#10"}}, 967},
        {4, {{u"CB_Baud_Modbus_Master", u"#10"}, {u"CB_Serial_Modbus_Master", u"#1"}}, 0},
        {4, {{u"CB_Stop_Modbus_Master", u"#1"}, {u"CB_Par_Modbus_Master", u"#2"}}, 960},
        {18, {{u"E_CD_Modbus_Master", u"10001"}}, 176},
        // 9
        {5, {{u"CB_Stop_Modbus_Slave", u"#1"}, {u"CB_Par_Modbus_Slave", u"#2"}, {u"E_ID_Modbus_Slave", u"0"}}, 1830},
        {5, {{u"CB_Stop_Modbus_Slave", u"#1"}, {u"CB_Par_Modbus_Slave", u"#0"}}, 0},
        {26, {{u"E_ID_Modbus_Slave", u"248"}}, 177},
        // 10, 11
        {6, {{u"CB_J1939_En_Not_Std_Cancel_Data", u"1"}, {u"E_J1939_En_Not_Std_Cancel_Data", u"256"}}, 999},
        {32, {{u"E_J1939_DeviceID", u"-1"}}, 998},
        {7, {{u"E_TO_NMEA2000", u"100001"}}, 179},
        // 12
        {8, {{u"CB_CANopen_En_TSDO", u"1"}, {u"E_NB_IN_PROFINET", u"9"}, {u"E_CANopen_TSDO_Add_In", u"99"}}, 993},
        {8, {{u"CB_CANopen_En_TSDO", u"1"}, {u"E_NB_IN_PROFINET", u"20"}, {u"E_CANopen_TSDO_Add_In", u"10"}}, 0},
        {8, {{u"CB_CANopen_En_TSDO", u"1"}, {u"E_NB_IN_PROFINET", u"20"}, {u"E_CANopen_TSDO_Add_In", u"11"}}, 994, u"10"},
        {8, {{u"CB_PROFINET_CANopen_CMD", u"1"}, {u"E_NB_OUT_PROFINET", u"20"}, {u"E_PROFINET_CANopen_CMD", u"7"}}, 976, u"6"},
        {33, {{u"E_CANopen_HeartBeatTime", u"9"}}, 1832},
        {24, {{u"CB_CANopen_En_Sync", u"1"}, {u"E_CANopen_Sync_Time", u"0"}}, 905},
        // 13, 14
        {9, {{u"CB_Ser_DataBits", u"#1"}}, 1834},
        {9, {{u"CB_Ser_DataBits", u"#1"}, {u"CB_Parity_Serial", u"#1"}}, 0},
        {10, {{u"E_CD_Mbus", u"864001"}}, 185},
        {21, {{u"E_NSE_MBus", u"256"}}, 186},
        // 15, 16
        {19, {{u"E_IP3_Modbus_TCP_Master", u"x"}}, 721},
        {11, {{u"CB_PROFINET_En_Diagnostic", u"1"}, {u"E_PROFINET_Diagnostic_Address", u"99999"}}, 0},
        {12, {{u"E_Port_Modbus_TCP_Slave", u"34964"}}, 653},
        {12, {{u"E_Port_Modbus_TCP_Slave", u"10000"}}, 653},
        {17, {{u"E_Port_Modbus_TCP_Slave", u"34964"}}, 0},
        {17, {{u"E_GAT4_Modbus_TCP_Slave", u"256"}, {u"CB_En_GAT_Modbus_TCP_Slave", u"1"}}, 742},
        // 17 to 21
        {13, {{u"E_NB_IN_PROFINET", u"497"}}, 885},
        {35, {{u"E_EIP_Byte_OUT", u"497"}}, 1843},
        {16, {{u"E_ID_Modbus_Slave", u"0"}}, 177},
        {20, {{u"E_NB_IN_PROFINET", u"1023"}, {u"E_NB_OUT_PROFINET", u"1023"}}, 0},
        {20, {{u"E_NB_IN_PROFINET", u"1"}, {u"E_NB_OUT_PROFINET", u"1"}, {u"E_SNMP_SM1", u"-1"}}, 928},
        {22, {{u"E_DMX_Num_Channel", u"0"}}, 939},
        {31, {{u"E_Ethernet_TCP_Port", u"36963"}}, 1823},
        {31, {{u"E_Ethernet_TCP_Port", u"34964"}, {u"E_Ethernet_UDP_Port", u"5000"}}, 1824},
        {31, {{u"E_Ethernet_TCP_Port", u"34964"}}, 0},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir_.file("ParGen.xml"));
        auto f = Open(c.Model);
        if (c.Model == 20)
            for (auto n : {u"E_NB_IN_PROFINET", u"E_NB_OUT_PROFINET"}) f->C(n).Text = u"1000";
        for (const auto& [name, value] : c.Values) Set(*f, name, value);
        f->Num_Modbus_Polls = c.Modbus_Polls;
        f->Num_CAN_Polls = c.CAN_Polls;
        f->Move_GroupBoxs();
        errors_.clear();
        const bool closed = f->Btn_OK_Click();
        std::string what = "model " + std::to_string(c.Model) + " " + StringToUtf8(c.Values.front().first) + "=" +
                           StringToUtf8(c.Values.front().second);
        if (c.Text == 0) {
            EXPECT_TRUE(closed) << what << ": " << (errors_.empty() ? "" : StringToUtf8(errors_[0]));
            EXPECT_TRUE(errors_.empty()) << what;
        } else {
            EXPECT_FALSE(closed) << what;
            ASSERT_EQ(errors_.size(), 1u) << what;
            EXPECT_EQ(errors_[0], Lang_Table[c.Text] + c.Number) << what;
            EXPECT_FALSE(std::filesystem::exists(dir_.file("ParGen.xml"))) << what;
        }
    }
}

TEST_F(ParGenForm, ValidationMessagesAreTheTextsOfTheTable) {
    auto f = Open(4);
    f->C(u"E_NB_IN_PROFINET").Text = u"100";
    f->C(u"CB_PROFINET_En_Modbus_Poll").Checked = true;
    f->C(u"E_PROFINET_ModPolls_Address").Text = u"98";
    f->Num_Modbus_Polls = 3;
    EXPECT_FALSE(f->Controllo_Dati());
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], u"Error PROFINET!! Modbus Polls Address must be between 0 and 97");
    Lang_Table.Set(958, u"Fehler ");
    EXPECT_FALSE(f->Controllo_Dati());
    EXPECT_EQ(errors_[1], u"Fehler 97");
}

// The station-name fields turn letters typed or loaded into lower case; a
// name with blanks or of more than 15 characters is refused with the text
// table's message of its side.
TEST_F(ParGenForm, StationNamesAreLowerCaseWithoutBlanks) {
    struct {
        int model;
        const char16_t* control;
        const char16_t* typed;
        const char16_t* kept;
        int message;  // 0: accepted
    } cases[] = {
        {4, u"E_Profinet_Name_Station", u"MyStation ABC 1", u"mystation abc 1", 1112},
        {4, u"E_Profinet_Name_Station", u"station abc", u"station abc", 1112},
        {4, u"E_Profinet_Name_Station", u"Station", u"station", 0},
        {4, u"E_Profinet_Name_Station", u"St\u00C4tion", u"st\u00E4tion", 0},
        {4, u"E_Profinet_Name_Station", u"abcdefghijklmnop", u"abcdefghijklmnop", 1112},
        {4, u"E_Profinet_Name_Station", u"plant-7.line2", u"plant-7.line2", 0},
        {35, u"E_Profinet_Name_Station", u"Snmp Name", u"snmp name", 1113},
        {20, u"E_SNMP_Name_Of_Station", u"snmp name", u"snmp name", 1113},
        {20, u"E_Profinet_Name_Station", u"P N", u"p n", 1112},
        {20, u"E_SNMP_Name_Of_Station", u"SNMPname2", u"snmpname2", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.typed));
        auto f = Open(c.model);
        f->User_Edit(c.control, c.typed);
        EXPECT_EQ(f->C(c.control).Text, c.kept);
        errors_.clear();
        EXPECT_EQ(f->Controllo_Dati(), c.message == 0);
        if (c.message) {
            ASSERT_EQ(errors_.size(), 1u);
            EXPECT_EQ(errors_[0], Lang_Table[c.message]);
        }
    }
    dir_.write("ParGen.xml", "<Par_Gen><PROFINET_NAME_STA>Line2</PROFINET_NAME_STA></Par_Gen>");
    EXPECT_EQ(Open(4)->C(u"E_Profinet_Name_Station").Text, u"line2");
}

TEST_F(ParGenForm, HexPrivacyPassPhrasesOfTheSNMPAgents) {
    auto f = Open(35);
    f->User_Select(u"CB_PROFI_SNMP_Secure_Lev", 2);
    f->User_Select(u"CB_PROFI_SNMP_Priv_Mode", 1);
    f->C(u"E_PROFI_SNMP_Auth_Pass").Text = u"authauth";
    f->User_Click(u"CB_PROFI_SNMP_Priv_Pass_Hex");
    ASSERT_TRUE(f->C(u"CB_PROFI_SNMP_Priv_Pass_Hex").Visible);
    struct { const char16_t* pass; int text; } cases[] = {
        {u"abc", 1801}, {u"0123456789abcdeG", 1802}, {u"0123456789abcDEF0123456789abcDEF0123", 0}};
    for (const auto& c : cases) {
        errors_.clear();
        f->C(u"E_PROFI_SNMP_Priv_Pass").Text = c.pass;
        EXPECT_EQ(f->Controllo_Dati(), c.text == 0) << StringToUtf8(c.pass);
        if (c.text) {
            EXPECT_EQ(errors_.at(0), Lang_Table[c.text]);
        }
    }
    // Model 20 never shows its Hex box: the 16-character limit applies.
    auto g = Open(20);
    for (auto n : {u"E_NB_IN_PROFINET", u"E_NB_OUT_PROFINET"}) g->C(n).Text = u"100";
    g->User_Select(u"CB_SNMP_Secure_Lev", 2);
    g->C(u"CB_SNMP_Priv_Pass_Hex").Checked = true;
    g->C(u"E_SNMP_Auth_Pass").Text = u"abc";
    g->C(u"E_SNMP_Priv_Pass").Text = u"0123456789abcdef";
    errors_.clear();
    EXPECT_TRUE(g->Controllo_Dati());
    g->C(u"E_SNMP_Priv_Pass").Text = u"0123456789abcdef0";
    EXPECT_FALSE(g->Controllo_Dati());
    EXPECT_EQ(errors_.at(0), Lang_Table[1803]);
}

// --------------------------------------------------------------- editing rules

TEST_F(ParGenForm, MBusByteCountFromTheNetworkFile) {
    struct TCase {
        std::string xml;
        int bytes;
    } cases[] = {
        {"", 1},  // no file
        {"<M-Bus_Network/>", 1},
        {"<M-Bus_Network><M Enable_Node=\"1\" Node_State=\"1\" Ident_Num=\"0\" Var_List_Type=\"0\">"
         "<V Enable=\"1\" Dim=\"2\" Type=\"0\" Scale=\"1\"/><V Enable=\"1\" Dim=\"7\" Type=\"0\" Length=\"10\"/>"
         "</M></M-Bus_Network>",
         16},
        {"<M-Bus_Network><M Enable_Node=\"0\" Node_State=\"1\"><V Enable=\"1\" Dim=\"3\" Type=\"0\"/></M>"
         "<M Ident_Num=\"1\"><V Enable=\"1\" Dim=\"0\" Type=\"0\"/></M></M-Bus_Network>",
         5},
        {"<M-Bus_Network><M Var_List_Type=\"1\"><V Enable=\"1\" Dim=\"3\" TP_Mod_Regs=\"1\"/></M></M-Bus_Network>", 5},
        {"<M-Bus_Network><M Var_List_Type=\"0\"><V Enable=\"1\" Dim=\"3\" Type=\"20\" TP_Mod_Regs=\"1\"/>"
         "<V Enable=\"1\" Dim=\"3\" Type=\"0\" TP_Mod_Regs=\"1\"/></M></M-Bus_Network>",
         13},
        {"<M-Bus_Network><M><V Enable=\"1\" Dim=\"9\" Type=\"0\"/><V Enable=\"0\" Dim=\"3\" Type=\"0\"/>"
         "<V Dim=\"3\" Type=\"0\"/></M></M-Bus_Network>",
         2},
        {"<M-Bus_Network><M><V Enable=\"1\" Dim=\"4\" Type=\"0\"/><V Enable=\"1\" Dim=\"5\" Type=\"0\"/>"
         "<V Enable=\"1\" Dim=\"6\" Type=\"x\"/></M></M-Bus_Network>",
         -1},  // a type that is no number stops the count
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir_.file("M_Bus.xml"));
        if (!c.xml.empty()) dir_.write("M_Bus.xml", c.xml);
        auto f = Open(10);
        if (c.bytes < 0) {
            EXPECT_THROW(f->Calcolate_Byte_Used_in_MBus_Configuration(), EConvertError);
            continue;
        }
        EXPECT_EQ(f->Calcolate_Byte_Used_in_MBus_Configuration(), c.bytes) << c.xml;
    }
}

TEST_F(ParGenForm, SingleSlaveModeAndAutomaticByteCountNeverTogether) {
    dir_.write("M_Bus.xml", "<M-Bus_Network><M Node_State=\"1\"><V Enable=\"1\" Dim=\"3\" Type=\"0\"/></M></M-Bus_Network>");
    auto f = Open(10);
    f->User_Click(u"CB_Auto_Calc_Bytes");
    EXPECT_TRUE(f->C(u"CB_Auto_Calc_Bytes").Checked);
    EXPECT_FALSE(f->C(u"E_NB_OUT_PROFINET").Enabled);
    EXPECT_EQ(f->C(u"E_NB_OUT_PROFINET").Text, u"9");
    f->User_Radio(u"RB_WM_Single_Slave_Mbus");
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], u"Error!! The Single Slave Mode can be enable only if The Auto Calculation of Bytes Used is disable");
    EXPECT_TRUE(f->C(u"RB_WM_Normal_Mbus").Checked);
    EXPECT_FALSE(f->C(u"RB_WM_Single_Slave_Mbus").Checked);
    f->User_Click(u"CB_Auto_Calc_Bytes");
    EXPECT_TRUE(f->C(u"E_NB_OUT_PROFINET").Enabled);
    EXPECT_EQ(f->C(u"E_NB_OUT_PROFINET").Text, u"9");  // the computed count stays

    f->User_Radio(u"RB_WM_Single_Slave_Mbus");
    EXPECT_EQ(errors_.size(), 1u);
    f->User_Click(u"CB_Auto_Calc_Bytes");
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[1], u"Error!! The Auto Calculation of Bytes Used can be used only in Normal Mode");
    EXPECT_FALSE(f->C(u"CB_Auto_Calc_Bytes").Checked);
    EXPECT_TRUE(f->C(u"E_NB_OUT_PROFINET").Enabled);
    EXPECT_TRUE(f->C(u"RB_WM_Single_Slave_Mbus").Checked);

    // A network the count cannot read: reported, the box stays checked.
    dir_.write("M_Bus.xml", "<M-Bus_Network><M><V Enable=\"1\" Type=\"0\"/></M></M-Bus_Network>");
    f->User_Radio(u"RB_WM_Normal_Mbus");
    f->User_Click(u"CB_Auto_Calc_Bytes");
    ASSERT_EQ(errors_.size(), 3u);
    EXPECT_EQ(errors_[2], u"\"" + P("M_Bus.xml") + u"\", element V 1 of meter 1, attribute Dim: "
                          u"'' is not a valid integer value");
    EXPECT_TRUE(f->C(u"CB_Auto_Calc_Bytes").Checked);
    EXPECT_EQ(f->C(u"E_NB_OUT_PROFINET").Text, u"9");
}

// Loading sets the controls as the user would: automatic calculation turned
// on shows the byte count of "M_Bus.xml" in place of the stored one, and a
// file with single-slave mode on as well is corrected to normal mode with
// the handler's message. The form still counts as unchanged.
TEST_F(ParGenForm, LoadingRunsTheHandlersOfTheBytesAndTheWorkingMode) {
    dir_.write("M_Bus.xml", "<M-Bus_Network><M Node_State=\"1\" Ident_Num=\"1\"><V Enable=\"1\" Dim=\"2\" Type=\"0\"/>"
                            "</M></M-Bus_Network>");
    const struct {
        const char* file;
        const char* out;
        bool enabled, automatic, single;
        std::vector<int> messages;
    } cases[] = {
        {"<PROFINET_NB_OUT>300</PROFINET_NB_OUT><PROFINET_AUTO_CALC_BYTE>1</PROFINET_AUTO_CALC_BYTE>"
         "<Working_mode>1</Working_mode>",
         "9", false, true, false, {858}},
        {"<PROFINET_NB_OUT>300</PROFINET_NB_OUT><PROFINET_AUTO_CALC_BYTE>1</PROFINET_AUTO_CALC_BYTE>"
         "<Working_mode>0</Working_mode>",
         "9", false, true, false, {}},
        {"<PROFINET_NB_OUT>300</PROFINET_NB_OUT><PROFINET_AUTO_CALC_BYTE>0</PROFINET_AUTO_CALC_BYTE>"
         "<Working_mode>1</Working_mode>",
         "300", true, false, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        dir_.write("ParGen.xml", std::string("<Par_Gen>") + c.file + "</Par_Gen>");
        errors_.clear();
        auto f = Open(10);
        std::vector<String> want;
        for (int m : c.messages) want.push_back(Lang_Table[m]);
        EXPECT_EQ(errors_, want);
        EXPECT_EQ(f->C(u"E_NB_OUT_PROFINET").Text, S(c.out));
        EXPECT_EQ(f->C(u"E_NB_OUT_PROFINET").Enabled, c.enabled);
        EXPECT_EQ(f->C(u"CB_Auto_Calc_Bytes").Checked, c.automatic);
        EXPECT_EQ(f->C(u"RB_WM_Single_Slave_Mbus").Checked, c.single);
        EXPECT_NE(f->C(u"RB_WM_Normal_Mbus").Checked, c.single);
        EXPECT_FALSE(f->Is_Change);
    }
}

TEST_F(ParGenForm, DotMovesToTheNextOctetOfTheModelsAddressBlocks) {
    auto f = Open(0);
    const char16_t* chain[] = {u"E_IP1", u"E_IP2", u"E_IP3", u"E_IP4", u"E_SM1", u"E_SM2",
                               u"E_SM3", u"E_SM4", u"E_GAT1", u"E_GAT2", u"E_GAT3", u"E_GAT4"};
    for (int i = 0; i < 11; ++i) {
        auto move = f->KeyPress_Dot(chain[i]);
        EXPECT_TRUE(move.Consumed);
        EXPECT_EQ(move.Next, chain[i + 1]);
    }
    for (auto n : {u"E_GAT4", u"E_CANopen_TSDO_Add_In", u"E_IP1_Modbus_TCP_Master"}) {
        auto move = f->KeyPress_Dot(n);
        EXPECT_TRUE(move.Consumed) << StringToUtf8(n);
        EXPECT_TRUE(move.Next.empty()) << StringToUtf8(n);
    }
    EXPECT_FALSE(f->KeyPress_Dot(u"E_NB_IN_PROFINET").Consumed);
    auto g = Open(11);
    EXPECT_EQ(g->KeyPress_Dot(u"E_SM4_Modbus_TCP_Master").Next, u"E_GAT1_Modbus_TCP_Master");
    EXPECT_EQ(Open(31)->KeyPress_Dot(u"E_Ethernet_IP2").Next, u"E_Ethernet_IP3");
}

TEST_F(ParGenForm, CancelAsksOnlyAfterAChange) {
    auto f = Open(4);
    EXPECT_TRUE(f->Btn_Cancel_Click());
    EXPECT_TRUE(questions_.empty());
    f->User_Edit(u"E_IP4", u"6");
    answer_ = false;
    EXPECT_FALSE(f->Btn_Cancel_Click());
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], u"Do you want to exit without saving changes?");
    EXPECT_EQ(f->C(u"E_IP4").Text, u"6");
    answer_ = true;
    EXPECT_TRUE(f->Btn_Cancel_Click());
    EXPECT_FALSE(std::filesystem::exists(dir_.file("ParGen.xml")));
    // Collapsing is no change of a value.
    ASSERT_TRUE(f->FormShow());
    f->Btn_GB_Collapse(u"Btn_PROFINET_Collapse");
    EXPECT_FALSE(f->Is_Change);
}

// --------------------------------------------------------------- layout

TEST_F(ParGenForm, LayoutOfModel0) {
    auto f = Open(0);
    const TPGControl& top = f->C(u"GB_PROFINET");
    EXPECT_EQ(top.Left, 8);
    EXPECT_EQ(top.Top, 70);
    EXPECT_EQ(top.Width, 296);
    EXPECT_EQ(top.Height, 480);
    EXPECT_EQ(f->C(u"GB_CAN").Top, 556);
    EXPECT_EQ(f->C(u"GB_CAN").Height, 58);
    EXPECT_TRUE(f->C(u"GB_CAN").Visible);
    EXPECT_FALSE(f->C(u"GB_Modbus_Master").Visible);
    EXPECT_EQ(f->C(u"Btn_OK").Top, 627);
    EXPECT_EQ(f->C(u"Btn_Cancel").Top, 627);
    EXPECT_EQ(f->ClientHeight, 668);
    EXPECT_EQ(f->ClientWidth, 312);
    const TPGControl& polls = f->C(u"CB_PROFINET_En_Modbus_Poll");
    EXPECT_EQ(polls.Caption, u"En. CAN Polls");
    EXPECT_EQ(std::pair(polls.Left, polls.Top), std::pair(16, 447));
    EXPECT_EQ(std::pair(f->C(u"E_PROFINET_ModPolls_Address").Left, f->C(u"E_PROFINET_ModPolls_Address").Top),
              std::pair(147, 444));
    EXPECT_EQ(f->C(u"L_PROFINET_Port").Caption, u"Tunneling Port");
    EXPECT_TRUE(f->C(u"E_PORT").Enabled);
    EXPECT_EQ(f->C(u"E_PORT").Left, 148);
    EXPECT_EQ(f->C(u"E_PORT").Width, 128);
    EXPECT_FALSE(f->C(u"GB_Working_Mode_MBus").Visible);
}

TEST_F(ParGenForm, CollapsedBoxesStayCollapsedAcrossShowings) {
    auto f = Open(0);
    f->Btn_GB_Collapse(u"Btn_PROFINET_Collapse");
    EXPECT_EQ(f->C(u"GB_PROFINET").Height, 26);
    EXPECT_FALSE(f->C(u"L_PROFINET_IP_Add").Visible);
    EXPECT_FALSE(f->C(u"Btn_PROFINET_Collapse").Visible);
    EXPECT_TRUE(f->C(u"Btn_PROFINET_Expande").Visible);
    EXPECT_EQ(f->C(u"GB_CAN").Top, 102);
    EXPECT_EQ(f->C(u"Btn_OK").Top, 102 + 58 + 13);
    EXPECT_EQ(f->ClientHeight, 102 + 58 + 54);
    f->Btn_GB_Collapse(u"Btn_CAN_Collapse");
    EXPECT_EQ(f->C(u"GB_CAN").Height, 26);
    EXPECT_FALSE(f->C(u"CAN_Baud").Visible);
    ASSERT_TRUE(f->FormShow());
    EXPECT_EQ(f->C(u"GB_PROFINET").Height, 26);
    EXPECT_EQ(f->ClientHeight, 102 + 26 + 54);
    f->Btn_GB_Expande(u"Btn_PROFINET_Expande");
    f->Btn_GB_Expande(u"Btn_CAN_Expande");
    EXPECT_EQ(f->C(u"GB_PROFINET").Height, 480);
    EXPECT_TRUE(f->C(u"CAN_Baud").Visible);
    EXPECT_EQ(f->ClientHeight, 668);
}

TEST_F(ParGenForm, LayoutOfModel13And35) {
    auto f = Open(13);
    EXPECT_EQ(f->C(u"GB_PROFINET").Height, 346);
    EXPECT_EQ(f->C(u"GB_EtherNetIP").Top, 422);
    EXPECT_EQ(f->C(u"GB_EtherNetIP").Height, 224);
    EXPECT_FALSE(f->C(u"E_EIP_Byte_IN").Visible);
    EXPECT_EQ(f->C(u"L_PROFINET_Port").Caption, u"Port");
    EXPECT_FALSE(f->C(u"E_PORT").Enabled);

    auto g = Open(35);
    EXPECT_FALSE(g->C(u"CB_SNMP_PROFINET_Map_Type").Visible);
    EXPECT_EQ(g->C(u"L_PROFI_SNMP_Version").Top, 313);
    EXPECT_EQ(g->C(u"CB_PROFI_SNMP_Version").Top, 312);
    EXPECT_EQ(g->C(u"CB_PROFI_SNMP_Secure_Lev").Top, 378);
    EXPECT_EQ(g->C(u"CB_PROFI_SNMP_Secure_Lev").Left, 148);
    EXPECT_EQ(g->C(u"GB_PROFINET").Height, 415);
    EXPECT_EQ(g->C(u"GB_EtherNetIP").Top, 491);
    EXPECT_EQ(g->C(u"GB_EtherNetIP").Height, 292);
    EXPECT_TRUE(g->C(u"E_EIP_Byte_OUT").Visible);
    EXPECT_EQ(g->C(u"Btn_OK").Top, 796);
    EXPECT_EQ(g->ClientHeight, 837);
    EXPECT_EQ(g->C(u"GB_PROFINET").Caption, u" SNMP ");
    // Version "1" takes the user and security rows away at once.
    g->User_Select(u"CB_PROFI_SNMP_Version", 0);
    EXPECT_FALSE(g->C(u"E_PROFI_SNMP_User").Visible);
    EXPECT_EQ(g->C(u"GB_PROFINET").Height, 312 + 22 + 15);
    EXPECT_TRUE(g->Is_Change);
}

TEST_F(ParGenForm, LayoutOfModel20) {
    auto f = Open(20);
    EXPECT_EQ(f->C(u"GB_PROFINET").Height, 346);
    const TPGControl& box = f->C(u"GB_SNMP");
    EXPECT_EQ(box.Top, 422);
    EXPECT_EQ(box.Height, 380 + 22 + 15);  // version "3", "NoAuth NoPriv"
    EXPECT_FALSE(f->C(u"E_SNMP_Auth_Pass").Visible);
    f->User_Select(u"CB_SNMP_Secure_Lev", 2);
    EXPECT_EQ(f->C(u"GB_SNMP").Height, 516 + 22 + 15);
    EXPECT_TRUE(f->C(u"E_SNMP_Priv_Pass").Visible);
    EXPECT_EQ(f->C(u"E_SNMP_Priv_Pass").Left, 82);
    f->User_Select(u"CB_SNMP_Secure_Lev", 1);
    EXPECT_EQ(f->C(u"GB_SNMP").Height, 448 + 22 + 15);
    EXPECT_FALSE(f->C(u"E_SNMP_Priv_Pass").Visible);
    f->User_Select(u"CB_SNMP_Version", 1);
    EXPECT_EQ(f->C(u"GB_SNMP").Height, 312 + 22 + 15);
    EXPECT_FALSE(f->C(u"CB_SNMP_Priv_Pass_Hex").Visible);
    EXPECT_EQ(f->C(u"Btn_OK").Top, 422 + 349 + 13);
}

TEST_F(ParGenForm, HexBoxAndPrivacyLengths) {
    for (auto [model, hexLength, plainLength] : {std::tuple{15, 30, 15}, std::tuple{30, 32, 16}}) {
        auto f = Open(model);
        f->User_Select(u"CB_PROFI_SNMP_Secure_Lev", 2);
        f->User_Select(u"CB_PROFI_SNMP_Priv_Mode", 1);
        const TPGControl& hex = f->C(u"CB_PROFI_SNMP_Priv_Pass_Hex");
        const TPGControl& pass = f->C(u"E_PROFI_SNMP_Priv_Pass");
        EXPECT_TRUE(hex.Visible);
        EXPECT_EQ(hex.Top, f->C(u"L_PROFI_SNMP_Priv_Pass").Top - 1);
        EXPECT_EQ(hex.Left, 64);
        EXPECT_EQ(pass.Left, 110);
        EXPECT_EQ(pass.Width, 164);
        EXPECT_EQ(pass.MaxLength, plainLength);
        f->User_Click(u"CB_PROFI_SNMP_Priv_Pass_Hex");
        EXPECT_EQ(pass.MaxLength, hexLength) << model;
        f->User_Click(u"CB_PROFI_SNMP_Priv_Pass_Hex");
        EXPECT_EQ(pass.MaxLength, plainLength);
        f->User_Select(u"CB_PROFI_SNMP_Priv_Mode", 0);
        EXPECT_FALSE(hex.Visible);
        EXPECT_EQ(pass.Left, 82);
        EXPECT_EQ(pass.Width, 192);
    }
}

TEST_F(ParGenForm, LayoutOfTheModbusBoxesAnd2004) {
    auto f = Open(4);
    EXPECT_TRUE(f->C(u"CB_Stop_Modbus_Master").Visible);
    EXPECT_TRUE(f->C(u"CB_En_Poll_PROFI_OK_Modbus_Master").Visible);
    EXPECT_EQ(f->C(u"E_TO_Modbus_Master").Top, 157);
    EXPECT_EQ(f->C(u"GB_Modbus_Master").Height, 262 + 17 + 15);
    auto g = Open(18);
    EXPECT_FALSE(g->C(u"CB_Stop_Modbus_Master").Visible);
    EXPECT_EQ(g->C(u"E_TO_Modbus_Master").Top, 123);
    EXPECT_EQ(g->C(u"GB_Modbus_Master").Height, 157 + 21 + 15);
    auto h = Open(16);
    EXPECT_FALSE(h->C(u"CB_Read_IR").Visible);
    EXPECT_EQ(h->C(u"CB_ModSlave_SwapBytes").Top, 194);
    auto p = Open(2004);
    EXPECT_FALSE(p->C(u"E_PORT").Visible);
    EXPECT_EQ(p->C(u"E_Profinet_Name_Station").Top, 210);
    EXPECT_EQ(p->C(u"GB_PROFINET").Height, 246);
    EXPECT_EQ(p->C(u"Btn_OK").Top, 70 + 246 + 13);
    EXPECT_EQ(p->C(u"L_SW_Code").FontSize, 18);
}

TEST_F(ParGenForm, ValuesThatLiveElsewhereOrAreFixed) {
    // DMX: the channel count is the byte count of the chosen direction.
    dir_.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>9</PROFINET_NB_IN><PROFINET_NB_OUT>77</PROFINET_NB_OUT>"
                             "<DMX_TYPE>0</DMX_TYPE></Par_Gen>");
    auto f = Open(22);
    EXPECT_EQ(f->C(u"CB_DMX_DMX").ItemIndex, 0);
    EXPECT_EQ(f->C(u"E_DMX_Num_Channel").Text, u"77");
    ASSERT_TRUE(f->Btn_OK_Click());
    TParGenFile saved = TParGenFile::Load(Path_ParGen);
    EXPECT_EQ(saved.Text(u"PROFINET_NB_IN"), u"1");
    EXPECT_EQ(saved.Text(u"PROFINET_NB_OUT"), u"77");
    f->User_Select(u"CB_DMX_DMX", 1);
    ASSERT_TRUE(f->Btn_OK_Click());
    saved = TParGenFile::Load(Path_ParGen);
    EXPECT_EQ(saved.Text(u"PROFINET_NB_IN"), u"77");
    EXPECT_EQ(saved.Text(u"PROFINET_NB_OUT"), u"1");
    EXPECT_EQ(saved.Text(u"DMX_TYPE"), u"1");

    // Model 21 writes its fixed byte count and no automatic calculation.
    std::filesystem::remove(dir_.file("ParGen.xml"));
    f = Open(21);
    f->C(u"E_NB_OUT_PROFINET").Text = u"5";
    f->C(u"CB_Auto_Calc_Bytes").Checked = true;
    ASSERT_TRUE(f->Btn_OK_Click());
    saved = TParGenFile::Load(Path_ParGen);
    EXPECT_EQ(saved.Text(u"PROFINET_NB_OUT"), u"1024");
    EXPECT_EQ(saved.Text(u"PROFINET_AUTO_CALC_BYTE"), u"0");

    // Model 5's port is always the PROFINET port.
    dir_.write("ParGen.xml", "<Par_Gen><PROFINET_PORT>4711</PROFINET_PORT></Par_Gen>");
    f = Open(5);
    ASSERT_TRUE(f->Btn_OK_Click());
    EXPECT_EQ(TParGenFile::Load(Path_ParGen).Text(u"PROFINET_PORT"), u"34964");

    // The SNMP version: a later "1" wins; none leaves version "3".
    dir_.write("ParGen.xml", "<Par_Gen><SNMP_VERSION1>1</SNMP_VERSION1><SNMP_VERSION3>1</SNMP_VERSION3></Par_Gen>");
    EXPECT_EQ(Open(19)->C(u"CB_PROFI_SNMP_Version").ItemIndex, 2);
    dir_.write("ParGen.xml", "<Par_Gen><SNMP_VERSION2>1</SNMP_VERSION2></Par_Gen>");
    EXPECT_EQ(Open(19)->C(u"CB_PROFI_SNMP_Version").ItemIndex, 1);
    EXPECT_EQ(Open(20)->C(u"CB_SNMP_Version").ItemIndex, 1);
    dir_.write("ParGen.xml", "<Par_Gen/>");
    EXPECT_EQ(Open(20)->C(u"CB_SNMP_Version").ItemIndex, 2);
    // List texts are matched trimmed and in any case.
    dir_.write("ParGen.xml", "<Par_Gen><SNMP_VER3_SECURITY_LEVEL> auth nopriv</SNMP_VER3_SECURITY_LEVEL>"
                             "<SNMP_MAP>VARIABLE</SNMP_MAP></Par_Gen>");
    f = Open(21);
    EXPECT_EQ(f->C(u"CB_PROFI_SNMP_Secure_Lev").ItemIndex, 1);
    EXPECT_EQ(f->C(u"CB_PROFI_SNMP_Map").ItemIndex, 1);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(ParGenForm, AFailedWriteIsReportedAndTheFormStaysOpen) {
    auto f = Open(4);
    Path_ParGen = P("missing-folder/ParGen.xml");
    EXPECT_FALSE(f->Btn_OK_Click());
    EXPECT_EQ(errors_.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir_.file("missing-folder/ParGen.xml")));
}

// Positions worked out by hand from the layout rules: rows 34 apart, edits
// 21 and lists 22 high, boxes 15 under their last control, the second box 6
// under the first, OK 13 and the form's bottom 54 under the last box.
TEST_F(ParGenForm, LayoutArithmeticOfFurtherModels) {
    struct TPlace {
        const char16_t* Control;
        int Left, Top, Height;  // -1: not checked
    };
    struct TCase {
        int Model;
        std::vector<std::pair<const char16_t*, int>> Selections;  // list, position (in this order)
        std::vector<TPlace> Places;
        int Ok_Top, Client_Height;
    };
    const TCase cases[] = {
        {4, {}, {{u"E_PORT", 148, 188, -1}, {u"CB_PROFINET_En_Diagnostic", 16, 347, -1},
                 {u"E_PROFINET_Diagnostic_Address", 147, 344, -1}, {u"CB_PROFINET_En_Modbus_Poll", 16, 381, -1},
                 {u"E_PROFINET_ModPolls_Address", 147, 378, -1}, {u"GB_PROFINET", 8, 70, 414},
                 {u"GB_Modbus_Master", 8, 490, 294}},
         797, 838},
        {10, {}, {{u"CB_Auto_Calc_Bytes", 8, 370, -1}, {u"E_NB_OUT_PROFINET", 145, 401, -1},
                  {u"GB_Working_Mode_MBus", 8, 272, 90}, {u"GB_PROFINET", 8, 70, 437}, {u"GB_MBus", 8, 513, 178}},
         704, 745},
        {15, {{u"CB_PROFI_SNMP_Secure_Lev", 2}, {u"CB_PROFI_SNMP_Priv_Mode", 1}},
         {{u"E_Profinet_Name_Station", 16, 308, -1}, {u"E_SNMP_PROFINET_Contact", 82, 342, -1},
          {u"E_SNMP_PROFINET_Location", 82, 376, -1}, {u"CB_PROFI_SNMP_Version", 82, 412, -1},
          {u"CB_PROFI_SNMP_Secure_Lev", 148, 478, -1}, {u"E_PROFI_SNMP_Auth_Pass", 82, 512, -1},
          {u"E_PROFI_SNMP_Priv_Pass", 110, 580, -1}, {u"CB_PROFI_SNMP_Priv_Pass_Hex", 64, 582, -1},
          {u"CB_PROFI_SNMP_Priv_Mode", 148, 614, -1}, {u"GB_PROFINET", 8, 70, 651}, {u"GB_CAN", 8, 727, 58}},
         798, 839},
        {16, {}, {{u"CB_SNMP_PROFINET_Map_Type", 82, 310, -1}, {u"GB_PROFINET", 8, 70, 347},
                  {u"GB_Modbus_Slave", 8, 423, 226}},
         662, 703},
        {16, {{u"CB_SNMP_PROFINET_Map_Type", 1}},
         {{u"CB_PROFI_SNMP_Version", 82, 346, -1}, {u"CB_PROFI_SNMP_Secure_Lev", 148, 412, -1},
          {u"GB_PROFINET", 8, 70, 449}, {u"GB_Modbus_Slave", 8, 525, 226}},
         764, 805},
        {21, {}, {{u"E_Profinet_Name_Station", 16, 208, -1}, {u"CB_Aux_Int_Dim", 184, 242, -1},
                  {u"CB_PROFI_SNMP_Version", 82, 346, -1}, {u"CB_PROFI_SNMP_Map", 148, 446, -1},
                  {u"GB_PROFINET", 8, 70, 483}, {u"GB_MBus", 8, 559, 178}},
         750, 791},
        {23, {}, {{u"E_Profinet_Name_Station", 16, 208, -1}, {u"GB_PROFINET", 8, 70, 244},
                  {u"GB_PROFIBUS_Slave", 8, 320, 192}},
         525, 566},
    };
    for (const TCase& t : cases) {
        auto f = Open(t.Model);
        for (auto [name, index] : t.Selections) f->User_Select(name, index);
        for (const TPlace& p : t.Places) {
            const TPGControl& c = f->C(p.Control);
            EXPECT_TRUE(c.Visible) << t.Model << " " << StringToUtf8(p.Control);
            EXPECT_EQ(std::pair(c.Left, c.Top), std::pair(p.Left, p.Top)) << t.Model << " " << StringToUtf8(p.Control);
            if (p.Height >= 0) {
                EXPECT_EQ(c.Height, p.Height) << t.Model << " " << StringToUtf8(p.Control);
            }
        }
        EXPECT_EQ(f->C(u"Btn_OK").Top, t.Ok_Top) << t.Model;
        EXPECT_EQ(f->ClientHeight, t.Client_Height) << t.Model;
    }
}
