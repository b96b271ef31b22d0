// The M-Bus network editor driven headless: show, the pages, the tree and its
// menu, OK with the byte limits and "ParGen.xml", Cancel, the address map,
// the SNMP rows and the network import.
#include "mbus/UMeter_Bus.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "mbus/UNewIDNode.h"
#include "shell/Globals.h"
#include "shell/ShellState.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::unique_ptr<TNodo> Node(int id, const char16_t* desc, Byte ns = 0, Byte in = 0) {
    auto n = std::make_unique<TNodo>();
    n->Enable = true;
    n->Description = desc;
    n->Node_ID_Primary = id;
    n->Node_ID_Secondary = 1;
    n->Node_State = ns;
    n->Ident_Num = in;
    return n;
}

std::unique_ptr<TVariabile> Var(const char16_t* desc, int dim, int length = 0, bool scale = false) {
    auto v = std::make_unique<TVariabile>();
    v->Enable = true;
    v->Description = desc;
    v->Dimension = dim;
    v->Length = length;
    v->Scale = scale;
    v->Position = 1;
    return v;
}

class MeterBus : public testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Model_Code = 10;
        Project_Dir = Utf8ToString(dir.path());
        Path_M_Bus = Utf8ToString(dir.file("M_Bus.xml"));
        Path_ParGen = Utf8ToString(dir.file("ParGen.xml"));
        ed = std::make_unique<TFMeter_Bus>(nullptr);
        ed->AfterConstruction();
        id = std::make_unique<TFNewIDNode>(nullptr);
        id->AfterConstruction();
        FNewIDNode = id.get();
    }
    void TearDown() override { FNewIDNode = nullptr; }
    // A network file of one node whose single variable takes Bytes bytes.
    void Network_Of(int bytes) {
        TNodi_List net;
        net.push_back(Node(1, u"big"));
        net[0]->Var_List.push_back(Var(u"v", 7, bytes));
        Write_MBus_Network(Path_M_Bus, Model_Code, net);
    }
    void Show() { ed->FormShow(nullptr); }
    TTreeNode* Item(int node, int var = -1) {
        TTreeNode* n = ed->NODE_ORIG->Item(node);
        return var < 0 ? n : n->Item(var);
    }
    void Select(TTreeNode* item) { ed->TW->SetSelected(item); }
    std::vector<String> Texts() const {
        std::vector<String> t;
        for (const auto& r : dialogs.Shown) t.push_back(r.Text);
        return t;
    }
    ShellState state;
    TempDir dir;
    TScriptedDialogService dialogs;
    std::unique_ptr<TFMeter_Bus> ed;
    std::unique_ptr<TFNewIDNode> id;
};

const char* const ParGen_Auto =
    "<Par_Gen><PROFINET_NB_IN>8</PROFINET_NB_IN><PROFINET_AUTO_CALC_BYTE>1</PROFINET_AUTO_CALC_BYTE>"
    "<Meter_Baud>2</Meter_Baud></Par_Gen>\r\n<!--SW_VERSION = 1.308-->\r\n";

}  // namespace

TEST_F(MeterBus, ANewProjectShowsTheRootAndOneByte) {
    Show();
    ASSERT_EQ(ed->TW->Items().Count(), 1);
    EXPECT_EQ(ed->NODE_ORIG->Text(), u"M-Bus Network");
    EXPECT_EQ(ed->L_MBus_NumByte->Caption(), u"Bytes Used : 1");
    EXPECT_EQ(ed->Caption(), u"M-Bus Network");
}

TEST_F(MeterBus, OkInModel10WithAutomaticCalculationWritesTheCountUpTo1439) {
    dir.write("ParGen.xml", ParGen_Auto);
    Network_Of(1440);
    const std::string before = dir.read("M_Bus.xml");
    Show();
    EXPECT_EQ(ed->L_MBus_NumByte->Caption(), u"Bytes Used : 1440");
    ed->Btn_OK->Click();
    EXPECT_EQ(ed->ModalResult(), mrNone);
    EXPECT_EQ(Texts(), std::vector<String>{Lang_Table[809]});
    EXPECT_EQ(dir.read("ParGen.xml"), ParGen_Auto);
    EXPECT_EQ(dir.read("M_Bus.xml"), before);

    Network_Of(1439);
    Show();
    dialogs.Shown.clear();
    ed->Btn_OK->Click();
    EXPECT_EQ(ed->ModalResult(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(dir.read("ParGen.xml"),
              "<Par_Gen><PROFINET_NB_IN>8</PROFINET_NB_IN><PROFINET_AUTO_CALC_BYTE>1</PROFINET_AUTO_CALC_BYTE>"
              "<Meter_Baud>2</Meter_Baud><PROFINET_NB_OUT>1439</PROFINET_NB_OUT></Par_Gen>\r\n"
              "<!--SW_VERSION = 1.308-->\r\n");
    EXPECT_TRUE(ed->Nodi_List.empty()) << "OK empties the network after writing";
}

TEST_F(MeterBus, OkWarnsOverTheConfiguredCountOrRefusesOverTheModelsLimit) {
    dir.write("ParGen.xml", "<Par_Gen><Working_mode>0</Working_mode><PROFINET_NB_OUT>100</PROFINET_NB_OUT></Par_Gen>\r\n");
    Network_Of(150);
    Show();
    ed->Btn_OK->Click();
    EXPECT_EQ(ed->ModalResult(), mrOk);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, Lang_Table[860] + u" (100)");
    EXPECT_EQ(dialogs.Shown[0].Icon, diWarning);

    Model_Code = 21;
    Network_Of(1025);
    const std::string before = dir.read("M_Bus.xml");
    Show();
    dialogs.Shown.clear();
    ed->SetModalResult(mrNone);
    ed->Btn_OK->Click();
    EXPECT_EQ(ed->ModalResult(), mrNone);
    EXPECT_EQ(Texts(), std::vector<String>{u"Error!! Bytes Used for the configuration are more of 1024"});
    EXPECT_EQ(dir.read("M_Bus.xml"), before);
}

TEST_F(MeterBus, NodeAndVariablePagesValidateAddAndModify) {
    Show();
    ed->E_New_Node_Desc->SetText(u"N");
    ed->RB_ID_Secondary->SetChecked(true);
    ed->E_New_Node_ID_Sec->SetText(u"5");
    ed->E_New_Node_ID_Pri->SetText(u"junk");  // the kind not chosen keeps the earlier value
    ed->CB_Node_State->SetChecked(true);
    ed->btn_Add_Node->Click();
    ASSERT_EQ(ed->Nodi_List.size(), 1u);
    EXPECT_EQ(ed->Nodi_List[0]->Node_ID_Secondary, 5);
    EXPECT_EQ(ed->Nodi_List[0]->Node_ID_Primary, 1);
    EXPECT_EQ(Item(0)->Text(), u"ID 5 - N");
    EXPECT_TRUE(ed->Is_Change);

    const struct {
        bool secondary;
        const char16_t* id;
        int error;
    } nodes[] = {{false, u"256", 787}, {false, u"5", 789}, {true, u"100000000", 788}, {false, u"x", 787}};
    for (const auto& c : nodes) {
        dialogs.Shown.clear();
        (c.secondary ? ed->RB_ID_Secondary : ed->RB_ID_Primary)->SetChecked(true);
        (c.secondary ? ed->E_New_Node_ID_Sec : ed->E_New_Node_ID_Pri)->SetText(c.id);
        ed->btn_Add_Node->Click();
        EXPECT_EQ(Texts(), std::vector<String>{Lang_Table[c.error]}) << StringToUtf8(c.id);
    }
    EXPECT_EQ(ed->Nodi_List.size(), 1u);

    // Modifying the selected node without changing its address is accepted.
    Select(Item(0));
    EXPECT_EQ(ed->btn_Add_Node->Caption(), u"MODIFY NODE");
    EXPECT_TRUE(ed->RB_ID_Secondary->Checked());
    ed->E_New_Node_Desc->SetText(u"M");
    ed->btn_Add_Node->Click();
    EXPECT_EQ(ed->Nodi_List[0]->Description, u"M");
    EXPECT_EQ(Item(0)->Text(), u"ID 5 - M");

    ed->E_New_Var_Desc->SetText(u"V");
    ed->CB_Var_Dim->SetItemIndex(1);
    const struct {
        const char16_t *sto, *tariff, *pos;
        int error;
    } vars[] = {{u"4294967296", u"0", u"1", 783}, {u"-1", u"0", u"1", 783}, {u"0", u"1048576", u"1", 784},
                {u"0", u"0", u"101", 786},         {u"0", u"0", u"0", 786}};
    for (const auto& c : vars) {
        dialogs.Shown.clear();
        ed->E_Sto_Num->SetText(c.sto);
        ed->E_Tariff->SetText(c.tariff);
        ed->E_Position->SetText(c.pos);
        ed->btn_Add_Var->Click();
        EXPECT_EQ(Texts(), std::vector<String>{Lang_Table[c.error]}) << StringToUtf8(c.sto);
    }
    ed->CB_Var_Dim->SetItemIndex(7);
    ed->E_Length->SetText(u"192");
    ed->E_Position->SetText(u"1");
    dialogs.Shown.clear();
    ed->btn_Add_Var->Click();
    EXPECT_EQ(Texts(), std::vector<String>{Lang_Table[785]});
    ed->E_Length->SetText(u"191");
    ed->E_Sto_Num->SetText(u"4294967295");
    ed->btn_Add_Var->Click();
    ASSERT_EQ(ed->Nodi_List[0]->Var_List.size(), 1u);
    EXPECT_EQ(ed->Nodi_List[0]->Var_List[0]->Storage_Number, 4294967295u);
    EXPECT_EQ(Item(0, 0)->Text(), u"VAR - V");
    EXPECT_EQ(ed->L_MBus_NumByte->Caption(), u"Bytes Used : 192");

    Select(Item(0, 0));
    EXPECT_EQ(ed->btn_Add_Var->Caption(), u"MODIFY VARIABLE");
    EXPECT_EQ(ed->E_Sto_Num->Text(), u"4294967295");
    EXPECT_EQ(ed->PC_Edit->ActivePage(), ed->TS_Variables);
}

// With nothing selected (the root, or after a network was imported) the
// pages offer a new node and show nothing of the node selected before.
TEST_F(MeterBus, WithNothingSelectedThePagesOfferANewNode) {
    TNodi_List net;
    net.push_back(Node(7, u"first", 1, 1));
    net[0]->Var_List.push_back(Var(u"v", 3));
    Write_MBus_Network(Path_M_Bus, 10, net);
    dir.write("other.xml", "<M-Bus_Network><Nodo Descrizione=\"g\" ID_Primary=\"9\"/></M-Bus_Network>");
    Show();
    auto pages = [&] {
        return StringToUtf8(ed->btn_Add_Node->Caption() + u"|" + ed->E_New_Node_Desc->Text() + u"|" +
                            ed->E_New_Node_ID_Pri->Text() + u"|" + (ed->CB_Node_State->Checked() ? u"Y" : u"N") +
                            u"|" + ed->btn_Add_Var->Caption() + u"|" + ed->E_New_Var_Desc->Text() + u"|" +
                            IntToStr(ed->CB_Var_Dim->ItemIndex()));
    };
    EXPECT_EQ(pages(), "ADD NODE||1|N|ADD VARIABLE||0");
    Select(Item(0, 0));
    EXPECT_EQ(pages(), "ADD NODE|first|7|Y|MODIFY VARIABLE|v|3");
    Select(ed->NODE_ORIG);
    EXPECT_EQ(pages(), "ADD NODE||1|N|ADD VARIABLE||0");
    Select(Item(0));
    EXPECT_EQ(pages(), "MODIFY NODE|first|7|Y|ADD VARIABLE||0");
    dialogs.AnswerFile(Utf8ToString(dir.file("other.xml")));
    dialogs.AnswerBox(IDYES);
    ed->Btn_ImportNet->Click();
    ASSERT_EQ(ed->Nodi_List.size(), 1u);
    EXPECT_EQ(pages(), "ADD NODE||1|N|ADD VARIABLE||0");
    // So the button adds a node, as it says.
    ed->E_New_Node_Desc->SetText(u"new");
    ed->E_New_Node_ID_Pri->SetText(u"8");
    ed->btn_Add_Node->Click();
    ASSERT_EQ(ed->Nodi_List.size(), 2u);
    EXPECT_EQ(ed->Nodi_List[0]->Description, u"g");
}

TEST_F(MeterBus, ModifyKeepsAScanCodeThatTheListsDoNotHold) {
    TNodi_List net;
    net.push_back(Node(2, u"scan"));
    net[0]->Var_List.push_back(Var(u"v", 255));
    net[0]->Var_List[0]->Type_Of_Data = 65535;
    net[0]->Var_List[0]->VIFE = 140;
    Write_MBus_Network(Path_M_Bus, 10, net);
    Show();
    Select(Item(0, 0));
    EXPECT_EQ(ed->CB_Var_ToD->ItemIndex(), -1);
    EXPECT_EQ(ed->CB_Var_Dim->ItemIndex(), -1);
    EXPECT_EQ(ed->CB_VIFE->ItemIndex(), -1);
    ed->E_New_Var_Desc->SetText(u"w");
    ed->btn_Add_Var->Click();
    const TVariabile& v = *ed->Nodi_List[0]->Var_List[0];
    EXPECT_EQ(v.Description, u"w");
    EXPECT_EQ(v.Type_Of_Data, 65535);
    EXPECT_EQ(v.Dimension, 255);
    EXPECT_EQ(v.VIFE, 140);
}

TEST_F(MeterBus, CopyAndPasteANodeThroughTheNodeIdDialog) {
    TNodi_List net;
    net.push_back(Node(5, u"A"));
    net[0]->Var_List.push_back(Var(u"x", 2));
    net[0]->Var_List[0]->Post_Operation = 3;
    Write_MBus_Network(Path_M_Bus, 10, net);
    Show();
    EXPECT_FALSE(ed->PasteNode1->Enabled);
    Select(Item(0));
    ed->CopyNode1->OnClick(nullptr);
    EXPECT_TRUE(ed->PasteNode1->Enabled);
    int shown = 0;
    dialogs.OnModalForm = [&](TCustomForm* f) {
        ASSERT_EQ(f, id.get());
        EXPECT_EQ(id->E_New_Node_ID_Pri->Text(), u"5") << "preset from the copy";
        if (shown++ == 0) {  // the copy's own address is taken
            id->Btn_OK->Click();
            EXPECT_EQ(id->ModalResult(), mrNone);
            id->E_New_Node_ID_Pri->SetText(u"6");
            id->Btn_OK->Click();
        }
    };
    ed->PasteNode1->OnClick(nullptr);
    EXPECT_EQ(Texts(), std::vector<String>{Lang_Table[789]});
    ASSERT_EQ(ed->Nodi_List.size(), 2u);
    EXPECT_EQ(ed->Nodi_List[1]->Node_ID_Primary, 6);
    ASSERT_EQ(ed->Nodi_List[1]->Var_List.size(), 1u);
    EXPECT_EQ(ed->Nodi_List[1]->Var_List[0]->Post_Operation, 0) << "not part of the copy";
    EXPECT_EQ(Item(1)->Text(), u"ID 6 - A");
    EXPECT_EQ(Item(1, 0)->Text(), u"VAR - x");

    dialogs.Shown.clear();
    Select(ed->NODE_ORIG);
    ed->PasteVariable1->OnClick(nullptr);
    EXPECT_EQ(Texts(), std::vector<String>{Lang_Table[796]});
}

TEST_F(MeterBus, DeleteAsksAndCancelAsksOnlyAfterChanges) {
    TNodi_List net;
    net.push_back(Node(1, u"A"));
    net.push_back(Node(2, u"B"));
    net[1]->Var_List.push_back(Var(u"x", 2));
    Write_MBus_Network(Path_M_Bus, 10, net);
    Show();
    ed->Btn_Cancel->Click();
    EXPECT_EQ(ed->ModalResult(), mrCancel) << "no change, no question";
    EXPECT_TRUE(dialogs.Shown.empty());
    ed->SetModalResult(mrNone);

    Select(Item(1, 0));
    dialogs.AnswerBox(IDNO);
    ed->DeleteItems1->OnClick(nullptr);
    EXPECT_EQ(ed->Nodi_List[1]->Var_List.size(), 1u);
    dialogs.AnswerBox(IDYES);
    ed->DeleteItems1->OnClick(nullptr);
    EXPECT_TRUE(ed->Nodi_List[1]->Var_List.empty());
    EXPECT_EQ(Item(1)->Count(), 0);
    Select(Item(0));
    dialogs.AnswerBox(IDYES);
    ed->DeleteItems1->OnClick(nullptr);
    ASSERT_EQ(ed->Nodi_List.size(), 1u);
    EXPECT_EQ(Item(0)->Text(), u"ID 2 - B");
    EXPECT_EQ(Texts(), (std::vector<String>{Lang_Table[792], Lang_Table[792], Lang_Table[791]}));

    dialogs.AnswerBox(IDNO);
    ed->Btn_Cancel->Click();
    EXPECT_EQ(ed->ModalResult(), mrNone);
    dialogs.AnswerBox(IDYES);
    ed->Btn_Cancel->Click();
    EXPECT_EQ(ed->ModalResult(), mrCancel);
    Show();
    EXPECT_EQ(ed->Nodi_List.size(), 2u) << "Cancel wrote nothing";
}

TEST_F(MeterBus, AnIncompleteFileIsShownAndReplacedOnlyWhenConfirmed) {
    dir.write("M_Bus.xml", "<M-Bus_Network><Nodo Descrizione=\"a\"/><Nodo/></M-Bus_Network>");
    Show();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_EQ(ed->Nodi_List.size(), 1u);
    dialogs.AnswerBox(IDNO);
    ed->Btn_OK->Click();
    EXPECT_EQ(ed->ModalResult(), mrNone);
    EXPECT_EQ(dir.read("M_Bus.xml"), "<M-Bus_Network><Nodo Descrizione=\"a\"/><Nodo/></M-Bus_Network>");
    dialogs.AnswerBox(IDYES);
    ed->Btn_OK->Click();
    EXPECT_EQ(ed->ModalResult(), mrOk);
    TNodi_List back;
    EXPECT_EQ(Read_MBus_Network(Path_M_Bus, 10, back), u"");
    EXPECT_EQ(back.size(), 1u);
}

TEST_F(MeterBus, TheAddressMapIsExportedAsCsv) {
    TNodi_List net;
    net.push_back(Node(3, u"A", 1, 1));
    net[0]->Var_List.push_back(Var(u"T", 1, 0, true));
    net.push_back(Node(4, u"off", 1, 1));
    net[1]->Enable = false;
    net[1]->Var_List.push_back(Var(u"U", 1));
    Write_MBus_Network(Path_M_Bus, 10, net);
    Show();
    dialogs.AnswerFile(Utf8ToString(dir.file("map")));
    ed->Btn_Export_Map->Click();
    EXPECT_EQ(dir.read("map.csv"),
              "ID Node; Node Description; Variable Description; Position; Length;\r\n"
              "3; A; Node State; 0; 1;\r\n"
              "3; A; Identification Number; 1; 4;\r\n"
              "3; A; T; 5; 2;\r\n"
              "3; A; Scale - T; 7; 1;\r\n");
    EXPECT_EQ(Address_Map_File_Name(u"a.CsV.txt"), u"a.CsV.txt");
    EXPECT_EQ(Address_Map_File_Name(u"a.txt"), u"a.txt.csv");
    // The time point's six bytes only for type 20; no float conversion.
    TVariabile v;
    v.Dimension = 2;
    v.TP_Mod_Regs = true;
    v.Conv_Float = true;
    v.Dimension = 0;
    EXPECT_EQ(Address_Map_Length(v), 1);
    v.Type_Of_Data = 20;
    EXPECT_EQ(Address_Map_Length(v), 6);
}

TEST_F(MeterBus, SnmpRowsListTheValuesAndCopyBack) {
    Model_Code = 21;
    TNodi_List net;
    net.push_back(Node(3, u"A", 1, 1));
    net[0]->Var_List.push_back(Var(u"T", 1));
    net[0]->Var_List.push_back(Var(u"off", 1));
    net[0]->Var_List[1]->Enable = false;
    net[0]->Var_List.push_back(Var(u"U", 1));
    net[0]->Var_List[2]->Var_Desc = u"mine";
    auto rows = Network_SNMP_Rows(net);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (TSNMP_Row{u"1", u"0", u"-1", u"ID Pri : 3 - A", u"Node State", u"", u"String", u"N", u"N",
                                  u"0", u"3", u"aNodeState", u"", u""}));
    EXPECT_EQ(rows[1][2], u"-2");
    EXPECT_EQ(rows[1][10], u"8");
    EXPECT_EQ(rows[1][11], u"aIdentNum");
    EXPECT_EQ(rows[2][11], u"aT");
    EXPECT_EQ(rows[3][2], u"2");
    EXPECT_EQ(rows[3][11], u"mine");
    rows[0][5] = u"pub";
    rows[0][8] = u"Y";
    rows[0][9] = u"250";
    rows[2][7] = u"y";  // only an upper-case Y counts
    rows[2][13] = u"mn";
    rows[3][1] = u"";   // an emptied node index skips the row
    rows[3][11] = u"changed";
    Copy_SNMP_Values(net, rows);
    EXPECT_EQ(net[0]->NS_CommName, u"pub");
    EXPECT_TRUE(net[0]->NS_OnTimer);
    EXPECT_EQ(net[0]->NS_Timer, 250);
    EXPECT_EQ(net[0]->NS_Desc, u"aNodeState") << "the default is stored";
    EXPECT_EQ(net[0]->IN_Desc, u"aIdentNum");
    EXPECT_FALSE(net[0]->Var_List[0]->Var_OnChange);
    EXPECT_EQ(net[0]->Var_List[0]->Var_Mnemonic, u"mn");
    EXPECT_EQ(net[0]->Var_List[2]->Var_Desc, u"mine");
}

// The descriptions the map fills in pass the map's own rule for object names
// (letters and digits, a lower-case letter first), so OK takes them as they are.
TEST_F(MeterBus, TheSnmpMapsDefaultDescriptionsPassItsRule) {
    Model_Code = 21;
    const struct {
        const char16_t *node, *var, *state, *ident, *value;
    } cases[] = {
        {u"Heat Meter", u"Energy kWh", u"heatMeterNodeState", u"heatMeterIdentNum", u"heatMeterEnergykWh"},
        {u"3rd floor", u"T_in", u"rdfloorNodeState", u"rdfloorIdentNum", u"rdfloorTin"},
        {u"m", u"v", u"mNodeState", u"mIdentNum", u"mv"},
        {u"42", u"", u"nodeState", u"identNum", u""},
        {u"Z\u00e4hler 7", u"W\u00e4rme", u"zhler7NodeState", u"zhler7IdentNum", u"zhler7Wrme"},
    };
    for (const auto& c : cases) {
        TNodi_List net;
        net.push_back(Node(3, c.node, 1, 1));
        net[0]->Var_List.push_back(Var(c.var, 1));
        const auto rows = Network_SNMP_Rows(net);
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[0][11], c.state);
        EXPECT_EQ(rows[1][11], c.ident);
        EXPECT_EQ(rows[2][11], c.value);
        for (const auto& r : rows) EXPECT_EQ(Check_Name_Chars(r[11], 1), 0) << StringToUtf8(r[11]);
    }
}

// The settings copied back from the map are no change of the network: Cancel
// then closes without asking.
TEST_F(MeterBus, TheSnmpMapsSettingsCopiedBackAreNoChange) {
    Model_Code = 21;
    TNodi_List net;
    net.push_back(Node(3, u"A", 1, 0));
    Write_MBus_Network(Path_M_Bus, 21, net);
    Show();
    ed->Edit_SNMP_Map = [](std::vector<TSNMP_Row>& rows) {
        rows[0][5] = u"pub";
        return true;
    };
    ed->Btn_SNMPClick(nullptr);
    EXPECT_EQ(ed->Nodi_List[0]->NS_CommName, u"pub");
    EXPECT_FALSE(ed->Is_Change);
    ed->Btn_Cancel->Click();
    EXPECT_EQ(ed->ModalResult(), mrCancel);
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(MeterBus, ImportReplacesTheNetworkOnlyWithAReadableFile) {
    Network_Of(4);
    const std::string own = dir.read("M_Bus.xml");
    dir.write("bad.xml", "<M-Bus_Network><Nodo/></M-Bus_Network>");
    dir.write("good.xml", "<M-Bus_Network><Nodo Descrizione=\"g\"/><Nodo Descrizione=\"h\"/></M-Bus_Network>");
    Show();
    dialogs.AnswerFile(Utf8ToString(dir.file("bad.xml")));
    ed->Btn_ImportNet->Click();
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[1].Icon, diError);
    EXPECT_EQ(dir.read("M_Bus.xml"), own);

    dialogs.Shown.clear();
    dialogs.AnswerFile(Path_M_Bus);
    ed->Btn_ImportNet->Click();
    EXPECT_EQ(dialogs.Shown.size(), 1u) << "only the file dialog";
    EXPECT_EQ(dir.read("M_Bus.xml"), own);

    dialogs.Shown.clear();
    dialogs.AnswerFile(Utf8ToString(dir.file("good.xml")));
    dialogs.AnswerBox(IDNO);
    ed->Btn_ImportNet->Click();
    EXPECT_EQ(dir.read("M_Bus.xml"), own);
    dialogs.AnswerFile(Utf8ToString(dir.file("good.xml")));
    dialogs.AnswerBox(IDYES);
    ed->Btn_ImportNet->Click();
    EXPECT_EQ(dir.read("M_Bus.xml"), dir.read("good.xml"));
    EXPECT_EQ(ed->Nodi_List.size(), 2u);
    EXPECT_EQ(ed->TW->Items().Count(), 3);

    DeleteFile(Path_M_Bus);
    dialogs.Shown.clear();
    dialogs.AnswerFile(Utf8ToString(dir.file("good.xml")));
    ed->Btn_ImportNet->Click();
    EXPECT_EQ(dialogs.Shown.size(), 1u) << "no question without a network";
    EXPECT_TRUE(FileExists(Path_M_Bus));
}

TEST_F(MeterBus, TheVariablePageShowsTheRowsOfTheNodesListType) {
    TNodi_List net;
    net.push_back(Node(1, u"type"));
    net.push_back(Node(2, u"position"));
    net[1]->Var_List_Type = 1;
    Write_MBus_Network(Path_M_Bus, 10, net);
    Show();
    Select(Item(1));
    EXPECT_FALSE(ed->CB_Var_ToD->Visible());
    EXPECT_FALSE(ed->CB_VIFE->Visible());
    EXPECT_TRUE(ed->E_Position->Visible());
    // Dimension, length, scale, the four boxes, post operation, position: 24 pixels apart.
    EXPECT_EQ(ed->E_Length->Top() - ed->CB_Var_Dim->Top(), 24);
    EXPECT_EQ(ed->E_Position->Top() - ed->CB_Var_Dim->Top(), 8 * 24);
    Select(Item(0));
    EXPECT_TRUE(ed->CB_Var_ToD->Visible());
    EXPECT_FALSE(ed->E_Position->Visible());
    EXPECT_TRUE(ed->CB_Scale->Visible());
    EXPECT_FALSE(ed->CB_Float->Visible()) << "model 10";

    // Model 21 with the fixed SNMP map hides the optional boxes and the scale.
    Model_Code = 21;
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MAP>Fixed</SNMP_MAP></Par_Gen>\r\n");
    Show();
    Select(Item(0));
    for (TControl* c : {(TControl*)ed->CB_Scale, (TControl*)ed->CB_BCDtoINT, (TControl*)ed->CB_SWAP,
                        (TControl*)ed->CB_TP_MR, (TControl*)ed->CB_ForceInt32, (TControl*)ed->CB_Float})
        EXPECT_FALSE(c->Visible()) << StringToUtf8(c->Name());
    EXPECT_TRUE(ed->Btn_SNMP->Visible());
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MAP>Variable</SNMP_MAP></Par_Gen>\r\n");
    Show();
    Select(Item(0));
    EXPECT_TRUE(ed->CB_Float->Visible());
    EXPECT_FALSE(ed->Btn_SNMP->Visible());
}

TEST_F(MeterBus, TheLongListsOpenWideEnoughForTheirTextsAlignedRight) {
    // Each list is as wide as its widest text with the room the rule adds.
    EXPECT_TRUE(ed->CB_Var_ToD->DropDownAlignRight());
    EXPECT_TRUE(ed->CB_VIFE->DropDownAlignRight());
    TBitmap measure;
    measure.Canvas().SetFont(ed->Font());
    int widest_type = 0;
    for (int i = 0; i < ed->CB_Var_ToD->Items().Count(); ++i)
        widest_type = std::max(widest_type, measure.Canvas().TextWidth(ed->CB_Var_ToD->Items()[i]));
    EXPECT_GE(ed->CB_Var_ToD->DroppedWidth(), std::max(ed->CB_Var_ToD->Width(), widest_type + 12 + 30));
    const int text = measure.Canvas().TextWidth(u"Date(/time) of begin/end of first/last lower/upper limit exceed");
    EXPECT_GE(ed->CB_VIFE->DroppedWidth(), text + 12 + 65);
}

TEST_F(MeterBus, TheMouseSelectsInTheTreeAndItsMenuActs) {
    TNodi_List net;
    net.push_back(Node(1, u"A"));
    net.push_back(Node(2, u"B"));
    Write_MBus_Network(Path_M_Bus, 10, net);
    Show();
    ed->Show();
    TTreeNode* target = Item(1);
    int y = 0;
    while (y < ed->TW->Height() && ed->TW->GetNodeAt(60, y) != target) ++y;
    ASSERT_LT(y, ed->TW->Height());
    SimulateClick(ed->TW, 200, y + 3);  // whole-row selection: far right of the caption
    EXPECT_EQ(ed->IND_NODO, 1);
    EXPECT_EQ(ed->E_New_Node_Desc->Text(), u"B");
    dialogs.AnswerMenu(u"Delete Items");
    dialogs.AnswerBox(IDYES);
    SimulateMouseDown(ed->TW, mbRight, 200, y + 3);
    SimulateMouseUp(ed->TW, mbRight, 200, y + 3);
    ASSERT_EQ(ed->Nodi_List.size(), 1u);
    EXPECT_EQ(ed->Nodi_List[0]->Description, u"A");
    EXPECT_EQ(ed->L_MBus_NumByte->Caption(), u"Bytes Used : 1");
    ed->Hide();
}
