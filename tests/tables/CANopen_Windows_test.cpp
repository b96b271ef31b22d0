#include "tables/UNodeGuard.h"
#include "tables/UReStart_Devices.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"

#include "Editor_Windows.h"
#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The saved file, byte for byte.
void Expect_Golden(const std::string& saved, const std::string& name) {
    EXPECT_EQ(saved, Golden(name)) << name;
}

// A press inside the cell, as the user toggles a check box.
void Press(TExColumnGrid* g, int col, int row) {
    const TRect R = g->CellRect(col, row);
    SimulateClick(g, R.Left + 4, R.Top + 4);
}

// "a|b|c" into columns 1.. of a grid row.
void Fill(TExColumnGrid* g, int row, const std::string& cells) {
    int c = 1;
    std::string cur;
    for (char ch : cells + "|") {
        if (ch != '|') {
            cur += ch;
            continue;
        }
        g->SetCellEx(c++, row, S(cur));
        cur.clear();
    }
}

std::string Row(TExColumnGrid* g, int row) {
    std::string s;
    for (int c = 1; c < g->ColCount() + g->NumHiddenColumns(); ++c)
        s += (c > 1 ? "|" : "") + StringToUtf8(g->GetCellEx(c, row));
    return s;
}

// OK, which must close the window; a window kept open by a failed check is
// cancelled so that the test goes on.
void Press_OK(TTable_Editor_Form* w) {
    w->Btn_OK->Click();
    if (w->ModalResult() != mrNone) return;
    ADD_FAILURE() << "OK kept the window open";
    w->Btn_Cancel->Click();
}

class CanopenWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_ParGen = S(dir.file("ParGen.xml"));
        Path_SDO_Server_CANopen = S(dir.file("SDO_Server_CANopen.xml"));
        Path_SDO_Client_CANopen = S(dir.file("SDO_Client_CANopen.xml"));
        Path_PDO_CANopen = S(dir.file("PDO_CANopen.xml"));
        Path_ReStart_CANopen = S(dir.file("ReStart_CANopen.xml"));
        Path_NodeGuard = S(dir.file("NodeGuard.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        for (String* p : {&Path_ParGen, &Path_SDO_Server_CANopen, &Path_SDO_Client_CANopen, &Path_PDO_CANopen,
                          &Path_ReStart_CANopen, &Path_NodeGuard})
            p->clear();
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

const int Models[] = {8, 33};
std::string Suffix(int model) { return "_" + std::to_string(model) + ".xml"; }

}  // namespace

TEST_F(CanopenWindows, SdoServerEditsAreSavedAsTheGoldenFile) {
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>10</PROFINET_NB_IN><PROFINET_NB_OUT>20</PROFINET_NB_OUT></Par_Gen>");
    for (int model : Models) {
        Model_Code = model;
        auto w = Make_Window<TFSet_SDO_Server_Access>();
        EXPECT_EQ(w->ClientWidth(), 798);
        EXPECT_EQ(w->ClientHeight(), 337);
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->PROFINET_NByte_IN, 10);
            EXPECT_EQ(w->PROFINET_NByte_OUT, 20);
            EXPECT_EQ(w->PageControl1->ActivePage(), w->TS_SDO_Read);
            Fill(w->sga, 1, "0x2000|0|4|0|1|2|3|speed");
            Fill(w->sga, 2, "8193|1|1|9|abc|||");  // N Byte 1: the other address cells stay as typed
            // An empty row inserted before row 1, filled, then row 2 deleted.
            w->sga->SetRow(1);
            w->Btn_InsRow->Click();
            Fill(w->sga, 1, "0x3000|0x10|2|8|9|||first");
            w->sga->SetRow(2);
            dialogs.AnswerBox(IDYES);
            w->Btn_DelRow->Click();
            w->PageControl1->SetActivePage(w->TS_SDO_Write);
            Fill(w->sgb, 1, "x7FFF|255|2|19|0|||out");
            Fill(w->sgb, 3, "0x2000|0|1|0||||after the end");
            Press_OK(w.get());
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"Are you sure to delete the Row number 2");
        Expect_Golden(dir.read("SDO_Server_CANopen.xml"), "SDO_Server_CANopen" + Suffix(model));
        dialogs.Shown.clear();

        // The next show reads the file back and starts on the read sheet.
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->PageControl1->ActivePage(), w->TS_SDO_Read);
            EXPECT_EQ(Row(w->sga, 2), "8193|1|1|9|abc|||");
            EXPECT_EQ(Row(w->sgb, 1), "x7FFF|255|2|19|0|||out");
            EXPECT_EQ(Row(w->sgb, 3), "|||||||");
            w->Btn_Cancel->Click();
        };
        EXPECT_EQ(w->ShowModal(), mrCancel);
    }
}

TEST_F(CanopenWindows, AFailedCheckShowsOneBoxAndKeepsTheFileAndTheWindow) {
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>10</PROFINET_NB_IN></Par_Gen>");
    dir.write("SDO_Server_CANopen.xml", "<EtherNetIP_to_SDO_CANopen><SDO_Read/><SDO_Write/></EtherNetIP_to_SDO_CANopen>");
    auto w = Make_Window<TFSet_SDO_Server_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        Fill(w->sga, 1, "0x2000|0|1|10||||");
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        EXPECT_EQ(Row(w->sga, 1), "0x2000|0|1|10||||");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error row 1!! [SDO in Read] Address Byte1 must be between 0 and 9");
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_EQ(dir.read("SDO_Server_CANopen.xml"),
              "<EtherNetIP_to_SDO_CANopen><SDO_Read/><SDO_Write/></EtherNetIP_to_SDO_CANopen>");
}

TEST_F(CanopenWindows, InsertOnTheLastRowOnlyEmptiesIt) {
    auto w = Make_Window<TFSet_SDO_Server_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->sga->RowCount(), 501);
        Fill(w->sga, 499, "0x2000|0|1|0||||a");
        Fill(w->sga, 500, "0x2001|0|1|0||||b");
        w->sga->SetRow(500);
        w->Btn_InsRow->Click();
        EXPECT_EQ(Row(w->sga, 499), "0x2000|0|1|0||||a");
        EXPECT_EQ(Row(w->sga, 500), "|||||||");
        EXPECT_EQ(w->sga->GetCellEx(0, 500), u"500");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
}

TEST_F(CanopenWindows, SdoClientReadsTheSizesCrossedAndSavesTheOnChangeBox) {
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>20</PROFINET_NB_IN><PROFINET_NB_OUT>8</PROFINET_NB_OUT></Par_Gen>");
    for (int model : Models) {
        Model_Code = model;
        auto w = Make_Window<TFSet_SDO_Client_Access>();
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->PROFINET_NByte_IN, 8);
            EXPECT_EQ(w->PROFINET_NByte_OUT, 20);
            Fill(w->sga, 1, "5|0x1000|0|4|100|4|5|6|7|temp");
            Fill(w->sga, 2, "127|0xFFFF|255|1|1|7||||");
            // A click on the box of a never-set cell ticks it; a row never clicked saves it empty.
            Fill(w->sgb, 1, "1|0x2000|1|2|0||18|19|||set");
            w->PageControl1->SetActivePage(w->TS_SDO_Write);
            Press(w->sgb, sdo_client_col::W_On_Change, 1);
            EXPECT_EQ(w->sgb->GetCellEx(sdo_client_col::W_On_Change, 1), u"Y");
            Fill(w->sgb, 2, "2|0x2000|2|1|500||0||||");
            Press_OK(w.get());
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        EXPECT_TRUE(dialogs.Shown.empty());
        Expect_Golden(dir.read("SDO_Client_CANopen.xml"), "SDO_Client_CANopen" + Suffix(model));
    }
}

TEST_F(CanopenWindows, AFailureInTheFirstTableLeavesTheSecondEmptyAndOkAsksFirst) {
    // The second read row lacks its Mnemonic.
    const std::string file =
        "<EtherNetIP_to_SDO_CANopen><SDO_Read><row Device_ID='1' Index='0x1000' SubIndex='0' NByte='1' "
        "Poll_Time='10' Address_B1='0' Address_B2='' Address_B3='' Address_B4='' Mnemonic='a'/><row Device_ID='2' "
        "Index='0x1000' SubIndex='0' NByte='1' Poll_Time='10' Address_B1='1' Address_B2='' Address_B3='' "
        "Address_B4=''/></SDO_Read><SDO_Write><row Device_ID='3' Index='0x1000' SubIndex='0' NByte='1' Poll_Time='0' "
        "On_Change='Y' Address_B1='0' Address_B2='' Address_B3='' Address_B4='' Mnemonic=''/></SDO_Write>"
        "</EtherNetIP_to_SDO_CANopen>";
    dir.write("SDO_Client_CANopen.xml", file);
    auto w = Make_Window<TFSet_SDO_Client_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"Could not convert variant of type (Null) into type (OleStr)");
        EXPECT_EQ(Row(w->sga, 2), "2|0x1000|0|1|10|1||||");
        EXPECT_EQ(Row(w->sgb, 1), "||||||||||");
        dialogs.AnswerBox(IDNO);
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        ASSERT_EQ(dialogs.Shown.size(), 2u);
        EXPECT_EQ(dialogs.Shown[1].Text,
                  u"The file could not be read completely. Do you want to replace it with the rows shown?");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(dir.read("SDO_Client_CANopen.xml"), file);
}

TEST_F(CanopenWindows, UnreadableGeneralParametersSkipTheFileAndOkAsksFirst) {
    const std::string file = "<EtherNetIP_to_SDO_CANopen><Receive_PDO/><Transmit_PDO/></EtherNetIP_to_SDO_CANopen>";
    dir.write("PDO_CANopen.xml", file);
    auto w = Make_Window<TFSet_PDO_Access>();
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>8</PROFINET_NB_IN><PROFINET_NB_OUT>4</PROFINET_NB_OUT></Par_Gen>");
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->PROFINET_NByte_IN, 4);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>");
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(w->PROFINET_NByte_IN, 1440);
        EXPECT_EQ(w->PROFINET_NByte_OUT, 1440);
        Fill(w->sga, 1, "0x181|1|1439||||||||0|");
        dialogs.AnswerBox(IDNO);
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        dialogs.AnswerBox(IDYES);
        Press_OK(w.get());
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_EQ(dialogs.Shown.size(), 3u);
    EXPECT_NE(dir.read("PDO_CANopen.xml").find("Address_B1=\"1439\""), std::string::npos);
}

TEST_F(CanopenWindows, PdoEditsAreSavedAsTheGoldenFile) {
    for (int model : Models) {
        Model_Code = model;
        auto w = Make_Window<TFSet_PDO_Access>();
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->sga->RowCount(), 31);
            EXPECT_EQ(w->sgb->ColCount(), 14);
            EXPECT_EQ(w->PageControl1->ActivePage(), w->TS_Receive_PDO);
            Fill(w->sga, 1, "0x181|2|0|1|x||||||1000|drive");
            // Below the first empty COB-ID: neither checked nor saved.
            Fill(w->sga, 30, "0x800|9|||||||||x|last");
            Fill(w->sgb, 1, "0x201|1|1439||||||||0||out");
            w->PageControl1->SetActivePage(w->TS_Transmit_PDO);
            Press(w->sgb, pdo_col::T_On_Change, 1);
            Press(w->sgb, pdo_col::T_On_Change, 1);
            Press_OK(w.get());
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        EXPECT_TRUE(dialogs.Shown.empty());
        Expect_Golden(dir.read("PDO_CANopen.xml"), "PDO_CANopen" + Suffix(model));
    }
}

TEST_F(CanopenWindows, RestartWritesEveryNode) {
    for (int model : Models) {
        Model_Code = model;
        std::remove(dir.file("ReStart_CANopen.xml").c_str());
        auto w = Make_Window<TFReStart_Devices>();
        EXPECT_EQ(w->ClientWidth(), 798);
        EXPECT_EQ(w->ClientHeight(), 336);
        // No file: 127 rows "N".
        dialogs.OnModalForm = [&](TCustomForm*) { Press_OK(w.get()); };
        EXPECT_EQ(w->ShowModal(), mrOk);
        std::string expected = "<Enable_ReStart_CANopen>";
        for (int i = 0; i < 127; ++i) expected += "<row Enable_ReStart=\"N\" Mnemonic=\"\"/>";
        expected += "</Enable_ReStart_CANopen>\r\n<!--SW_VERSION = " + std::string(model == 33 ? "1.001" : "1.508") + "-->\r\n";
        EXPECT_EQ(dir.read("ReStart_CANopen.xml"), expected);

        // Select All, one node cleared again by its box, a mnemonic.
        dialogs.OnModalForm = [&](TCustomForm*) {
            w->Btn_SelectAll->Click();
            Press(w->sga, 1, 2);
            w->sga->SetCellEx(2, 127, u"last node");
            Press_OK(w.get());
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        Expect_Golden(dir.read("ReStart_CANopen.xml"), "ReStart_CANopen" + Suffix(model));

        // Clear All: every node "N" again.
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->sga->GetCellEx(1, 1), u"Y");
            EXPECT_EQ(w->sga->GetCellEx(1, 2), u"N");
            w->Btn_ClearAll->Click();
            for (int r = 1; r <= 127; ++r) ASSERT_EQ(w->sga->GetCellEx(1, r), u"N") << r;
            w->Btn_Cancel->Click();
        };
        EXPECT_EQ(w->ShowModal(), mrCancel);
    }
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(CanopenWindows, RestartFillsTheNodesOfAShortFileAndDefaultsMissingAttributes) {
    dir.write("ReStart_CANopen.xml",
              "<Any><row Enable_ReStart='Y' Mnemonic='one'/><x Mnemonic='two'/><row Enable_ReStart=''/></Any>");
    auto w = Make_Window<TFReStart_Devices>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->sga->GetCellEx(0, 3), u"3");
        EXPECT_EQ(Row(w->sga, 1), "Y|one");
        EXPECT_EQ(Row(w->sga, 2), "N|two");
        EXPECT_EQ(Row(w->sga, 3), "|");
        EXPECT_EQ(Row(w->sga, 4), "N|");
        Press_OK(w.get());
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    const std::string saved = dir.read("ReStart_CANopen.xml");
    EXPECT_EQ(saved.rfind("<Enable_ReStart_CANopen><row Enable_ReStart=\"Y\" Mnemonic=\"one\"/><row Enable_ReStart=\"N\" "
                          "Mnemonic=\"two\"/><row Enable_ReStart=\"\" Mnemonic=\"\"/><row Enable_ReStart=\"N\"",
                          0),
              0u);
    std::size_t rows = 0;
    for (std::size_t p = saved.find("<row "); p != std::string::npos; p = saved.find("<row ", p + 1)) ++rows;
    EXPECT_EQ(rows, 127u);

    // A file that is not well-formed: reported, every node "N".
    dir.write("ReStart_CANopen.xml", "<Enable_ReStart_CANopen><row");
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(Row(w->sga, 1), "N|");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
}

TEST_F(CanopenWindows, NodeGuardEditsAreSavedAsTheGoldenFile) {
    for (int model : Models) {
        Model_Code = model;
        auto w = Make_Window<TFNodeGuard>();
        EXPECT_EQ(w->ClientWidth(), 700);
        EXPECT_EQ(w->ClientHeight(), 337);
        dialogs.OnModalForm = [&](TCustomForm*) {
            Fill(w->EXG, 1, "0x7F|65535|255|pump");
            Fill(w->EXG, 2, "0x7F|1|1|");  // the same node twice passes
            Fill(w->EXG, 3, " |0|0|below the end");
            Press_OK(w.get());
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        EXPECT_TRUE(dialogs.Shown.empty());
        Expect_Golden(dir.read("NodeGuard.xml"), "NodeGuard" + Suffix(model));
    }
}

TEST_F(CanopenWindows, NodeGuardLoadsMissingAttributesEmptyAndDeletesRowOne) {
    std::string file = "<Node_Guarding>";
    for (int i = 1; i <= 32; ++i)
        file += "<row NodeID='" + std::to_string(i) + "' GuardTime='100' LifeTimeFactor='3'" +
                (i == 5 ? "" : " Mnemonic='m" + std::to_string(i) + "'") + "/>";
    dir.write("NodeGuard.xml", file + "</Node_Guarding>");
    auto w = Make_Window<TFNodeGuard>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(Row(w->EXG, 5), "5|100|3|");
        EXPECT_EQ(Row(w->EXG, 32), "32|100|3|m32");
        w->EXG->SetRow(1);
        dialogs.AnswerBox(IDNO);
        w->Btn_DelRow->Click();
        EXPECT_EQ(Row(w->EXG, 1), "1|100|3|m1");
        dialogs.AnswerBox(IDYES);
        w->Btn_DelRow->Click();
        for (int r = 1; r <= 31; ++r) {
            const std::string id = std::to_string(r + 1);
            ASSERT_EQ(Row(w->EXG, r), id + "|100|3|" + (r + 1 == 5 ? "" : "m" + id)) << r;
        }
        EXPECT_EQ(Row(w->EXG, 32), "|||");
        for (int r = 1; r <= 32; ++r) ASSERT_EQ(w->EXG->GetCellEx(0, r), IntToStr(r));
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[1].Text, u"Are you sure to delete the Row number 1");
}

TEST_F(CanopenWindows, TextsFollowTheLanguageTable) {
    auto pdo = Make_Window<TFSet_PDO_Access>();
    auto client = Make_Window<TFSet_SDO_Client_Access>();
    auto restart = Make_Window<TFReStart_Devices>();
    auto guard = Make_Window<TFNodeGuard>();
    const struct {
        String actual;
        const char16_t* expected;
    } texts[] = {
        {pdo->Caption(), u"Set PDO Access"},
        {pdo->TS_Transmit_PDO->Caption(), u"Transmit PDO"},
        {pdo->Btn_InsRow->Caption(), u"Insert Row"},
        {pdo->sga->Columns().Items(0)->Header(), u"N\u00B0"},
        {pdo->sga->Columns().Items(12)->Header(), u"Mnemonic"},
        {pdo->sgb->Columns().Items(11)->Header(), u"Send Time"},
        {client->sgb->Columns().Items(6)->Header(), u"On Change"},
        {client->TS_SDO_Write->Caption(), u"SDO Write"},
        {client->L_SW_Desc->Caption(), u"Set SDO Client Access"},
        {restart->Btn_ClearAll->Caption(), u"Clear All"},
        {restart->sga->Columns().Items(0)->Header(), u"CANopen ID"},
        {guard->L_SW_Desc->Caption(), u"Node Guarding Access Definition"},
        {guard->EXG->Columns().Items(3)->Header(), u"Life Time Factor"},
    };
    for (const auto& t : texts) EXPECT_EQ(t.actual, t.expected);
    // A new language reaches every text at the next Set_Lang.
    Apply_Lang_Lines({u"STR425 = Bei \u00C4nderung", u"STR1701 = Knoten\u00FCberwachung"});
    pdo->Set_Lang();
    guard->Set_Lang();
    EXPECT_EQ(pdo->sgb->Columns().Items(12)->Header(), u"Bei \u00C4nderung");
    EXPECT_EQ(guard->L_SW_Desc->Caption(), u"Knoten\u00FCberwachung");
    Load_Default_Texts();
}

TEST_F(CanopenWindows, RenderedGridsShowTheColumnColours) {
    auto server = Make_Window<TFSet_SDO_Server_Access>();
    auto restart = Make_Window<TFReStart_Devices>();
    const struct {
        TExColumnGrid* grid;
        int col;
        std::uint32_t rgb;  // #RRGGBB
    } cells[] = {
        {server->sga, 1, 0xE0FAFE}, {server->sga, 3, 0xE0FAFE}, {server->sga, 4, 0xFCD6F4},
        {server->sga, 7, 0xFCD6F4}, {server->sga, 8, 0xFFFFFF}, {restart->sga, 1, 0xE0FAFE},
        {restart->sga, 2, 0xFFFFFF},
    };
    TBitmap server_bmp, restart_bmp;
    dialogs.OnModalForm = [&](TCustomForm* f) {
        if (f == server.get()) RenderControlToBitmap(server->sga, server_bmp);
        else RenderControlToBitmap(restart->sga, restart_bmp);
        static_cast<TForm*>(f)->SetModalResult(mrCancel);
    };
    EXPECT_EQ(server->ShowModal(), mrCancel);
    EXPECT_EQ(restart->ShowModal(), mrCancel);
    for (const auto& c : cells) {
        TBitmap& bmp = c.grid == server->sga ? server_bmp : restart_bmp;
        int left = 0;
        for (int i = 0; i < c.col; ++i) left += c.grid->Columns().Items(i)->Width();
        const TColor want = RGB((c.rgb >> 16) & 0xFF, (c.rgb >> 8) & 0xFF, c.rgb & 0xFF);
        // Row 2, clear of the current cell in row 1 and of the check boxes in the middle.
        EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(left + 6, 2 * 22 + 6)), want) << c.col;
    }
    EXPECT_EQ(restart->sga->Columns().Items(0)->Width(), 80);
    EXPECT_TRUE(server->sgb->Columns().Items(5)->HeaderFont().Style().Contains(fsBold));
}

// Typing after a click on the other tab goes into no cell of the table
// left behind: its editor is closed with the value it had.
TEST_F(CanopenWindows, TypingAfterATabClickLeavesTheHiddenTableAlone) {
    auto w = Make_Window<TFSet_PDO_Access>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TPageControl* p = w->PageControl1;
        SimulateClick(p, 150, 10);
        ASSERT_EQ(p->ActivePage(), w->TS_Transmit_PDO);
        Press(w->sgb, 1, 2);
        SimulateText(u"1");
        SimulateClick(p, 50, 10);
        ASSERT_EQ(p->ActivePage(), w->TS_Receive_PDO);
        SimulateText(u"5");
        EXPECT_EQ(w->sgb->GetCellEx(1, 2), u"1");
        EXPECT_FALSE(w->sgb->EditorMode() && w->sgb->InplaceEditor() && w->sgb->InplaceEditor()->Visible());
        w->Btn_Cancel->Click();
    };
    w->ShowModal();
}
