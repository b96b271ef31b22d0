#include "tables/UCAN_Rec_Frames.h"
#include "tables/UCAN_Send_Frame.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"
#include "tables/Table_Test_Support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

namespace {

class CanFrameWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_CAN_Rec_Frames = S(dir.file("CAN_Rec_Frames.xml"));
        Path_CAN_Send_Frames = S(dir.file("CAN_Send_Frames.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        Path_CAN_Rec_Frames.clear();
        Path_CAN_Send_Frames.clear();
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST(CanFrames, ValidationOfBothTables) {
    Load_Default_Texts();
    const struct {
        bool send;
        const char* cells;  // receive: Cob-ID|Type|Dimension|TimeOut|Mnemonic; send: ...|Send Type|Timer|Mnemonic
        const char* message;  // nullptr: passes
    } cases[] = {
        {false, "0x7FF|2.0A (11 bits)|8|1000|m", nullptr},
        {false, "0x800|2.0A (11 bits)|8|1000|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x7FF"},
        {false, "$7FF|2.0A (11 bits)|8|1000|m", nullptr},
        {false, "0x7ff| 2.0a (11 BITS) |8|1000|m", nullptr},
        {false, "2048| 2.0a (11 BITS) |8|1000|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x7FF"},
        {false, "0x1FFFFFFF|2.0B (29 bits)|8|0|m", nullptr},
        {false, "0x20000000|2.0B (29 bits)|8|0|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x1FFFFFFF"},
        {false, "0x800|29 bits by hand|8|0|m", nullptr},
        {false, "-1|2.0A (11 bits)|8|0|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x7FF"},
        {false, "-1|2.0B (29 bits)|8|0|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x1FFFFFFF"},
        {false, "abc|2.0B (29 bits)|8|0|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x1FFFFFFF"},
        {false, "0xFFFFFFFF|2.0B (29 bits)|8|0|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x1FFFFFFF"},
        {false, "abc|  |8|0|m", "Error row 1!! Cob-Id Type must be 2.0A (11 bits) or 2.0B (29 bits)"},
        {false, "1|2.0A (11 bits)|0|0|m", "Error row 1!! CAN Dimension must be between 1 and 8"},
        {false, "1|2.0A (11 bits)|9|0|m", "Error row 1!! CAN Dimension must be between 1 and 8"},
        {false, "1|2.0A (11 bits)|1|10000000|m", nullptr},
        {false, "1|2.0A (11 bits)|1|10000001|m", "Error row 1!! TimeOut must be between 0 and 10000000 ms"},
        {false, "1|2.0A (11 bits)|1||m", "Error row 1!! TimeOut must be between 0 and 10000000 ms"},
        {true, "1|2.0A (11 bits)|0|On Timer|0|m", nullptr},
        {true, "1|2.0A (11 bits)|-1|On Timer|0|m", "Error row 1!! CAN Dimension must be between 0 and 8"},
        {true, "0x800|2.0A (11 bits)|0|On Timer|0|m", "Error row 1!! CAN Cob-Id must be between 0x000 and 0x7FF"},
        {true, "1||0|On Timer|0|m", "Error row 1!! Cob-Id Type must be 2.0A (11 bits) or 2.0B (29 bits)"},
        {true, "1|2.0B (29 bits)|8||-1|", "Error row 1!! TimeOut must be between 0 and 10000000 ms"},
        {true, "1|2.0B (29 bits)|8||x10|", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.send ? "send " : "receive ") + c.cells);
        const TCAN_Frame_Desc& d = c.send ? CAN_Send_Frames_Desc : CAN_Rec_Frames_Desc;
        StandInGrid g(501, c.send ? 7 : 6);
        g.SetRow(1, c.cells);
        // Below an empty Cob-ID nothing is checked, not even a blank one.
        g.SetRow(3, c.send ? " |||||" : " ||||");
        TScriptedDialogService dialogs;
        Expect_Validation(dialogs, CAN_Frames_Controllo_dati(d, g), c.message);
    }
}

TEST_F(CanFrameWindows, ScriptedEditsOfModel0AreSavedAsTheGoldenFiles) {
    Model_Code = 0;
    auto rec = Make_Window<TFCAN_Rec_Frames>();
    EXPECT_EQ(rec->ClientWidth(), 759);
    EXPECT_EQ(rec->ClientHeight(), 337);
    EXPECT_EQ(rec->Caption(), u"Receive CAN Frames");
    EXPECT_EQ(rec->sga->Columns().Items(0)->Header(), u"N\u00B0");
    EXPECT_EQ(rec->sga->Columns().Items(0)->Width(), 64);
    dialogs.OnModalForm = [&](TCustomForm*) {
        const char16_t* rows[3][5] = {{u"0x181", u"2.0A (11 bits)", u"8", u"1000", u"status"},
                                      {u"0x18FF50E5", u"2.0B (29 bits)", u"4", u"0", u""},
                                      {u"$7FF", u"2.0A (11 bits)", u"1", u"250", u"last"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 1; c <= 5; ++c) rec->sga->SetCellEx(c, r + 1, rows[r][c - 1]);
        // Delete row 2 after a No, then after a Yes.
        rec->sga->SetRow(2);
        dialogs.AnswerBox(IDNO);
        rec->Btn_DelRow->Click();
        EXPECT_EQ(rec->sga->GetCellEx(1, 2), u"0x18FF50E5");
        dialogs.AnswerBox(IDYES);
        rec->Btn_DelRow->Click();
        EXPECT_EQ(rec->sga->GetCellEx(1, 2), u"$7FF");
        rec->Btn_OK->Click();
    };
    EXPECT_EQ(rec->ShowModal(), mrOk);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Are you sure to delete the Row number 2");
    EXPECT_EQ(dir.read("CAN_Rec_Frames.xml"), Golden("CAN_Rec_Frames_0.xml"));

    auto send = Make_Window<TFCAN_Send_Frame>();
    EXPECT_EQ(send->Caption(), u"Send CAN Frames");
    dialogs.OnModalForm = [&](TCustomForm*) {
        const char16_t* rows[2][6] = {{u"0x201", u"2.0A (11 bits)", u"0", u"On Data Change", u"0", u"empty"},
                                      {u"0x1FFFFFFF", u"2.0B (29 bits)", u"8", u"On Timer", u"100", u"cyclic"}};
        for (int r = 0; r < 2; ++r)
            for (int c = 1; c <= 6; ++c) send->sga->SetCellEx(c, r + 1, rows[r][c - 1]);
        // A row inserted before the second, then filled.
        send->sga->SetRow(2);
        send->Btn_InsRow->Click();
        EXPECT_EQ(send->sga->GetCellEx(6, 3), u"cyclic");
        const char16_t* inserted[] = {u"0x7FF", u"2.0A (11 bits)", u"3", u"On Timer", u"x3E8", u""};
        for (int c = 1; c <= 6; ++c) send->sga->SetCellEx(c, 2, inserted[c - 1]);
        send->Btn_OK->Click();
    };
    EXPECT_EQ(send->ShowModal(), mrOk);
    EXPECT_EQ(dir.read("CAN_Send_Frames.xml"), Golden("CAN_Send_Frames_0.xml"));
}

TEST_F(CanFrameWindows, A501RowFileShowsAndSaves500) {
    Model_Code = 27;
    std::string file = "<PROFINET_to_Receive_CAN><Receive_Frames>";
    for (int r = 1; r <= 501; ++r)
        file += "<row Cob_Id='" + std::to_string(r) + "' Type='2.0A (11 bits)' Dimension='8' TimeOut='0' Mnemonic=''/>";
    file += "</Receive_Frames></PROFINET_to_Receive_CAN>";
    dir.write("CAN_Rec_Frames.xml", file);
    auto w = Make_Window<TFCAN_Rec_Frames>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->sga->GetCellEx(1, 500), u"500");
        // Insert with every row in use pushes the frame of row 500 out.
        w->sga->SetRow(1);
        w->Btn_InsRow->Click();
        w->sga->SetCellEx(1, 1, u"0");
        w->sga->SetCellEx(2, 1, u"2.0A (11 bits)");
        w->sga->SetCellEx(3, 1, u"1");
        w->sga->SetCellEx(4, 1, u"0");
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    const std::string saved = dir.read("CAN_Rec_Frames.xml");
    std::size_t rows = 0;
    for (std::size_t p = saved.find("<row "); p != std::string::npos; p = saved.find("<row ", p + 1)) ++rows;
    EXPECT_EQ(rows, 500u);
    EXPECT_NE(saved.find("Cob_Id=\"499\""), std::string::npos);
    EXPECT_EQ(saved.find("Cob_Id=\"500\""), std::string::npos);
    EXPECT_NE(saved.find("<!--SW_VERSION = 1.000-->"), std::string::npos);
}

TEST_F(CanFrameWindows, EmptyTableAndBrokenFiles) {
    Model_Code = 15;
    auto w = Make_Window<TFCAN_Send_Frame>();
    // No file: an empty table, and OK writes the root, the comment and an empty table element.
    dialogs.OnModalForm = [&](TCustomForm*) { w->Btn_OK->Click(); };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_EQ(dir.read("CAN_Send_Frames.xml"),
              "<PROFINET_to_Send_CAN><Send_Frames/></PROFINET_to_Send_CAN>\r\n<!--SW_VERSION = 1.202-->\r\n");
    // A row without its Send_Type: the rows before it stay, the rest is reset,
    // and OK asks before replacing the file.
    const std::string broken =
        "<PROFINET_to_Send_CAN><Send_Frames><row Cob_Id='1' Type='2.0A (11 bits)' Dimension='1' Send_Type='On Timer' "
        "Timer_Send='5' Mnemonic='a'/><row Cob_Id='2' Type='2.0A (11 bits)' Dimension='1' Timer_Send='5' "
        "Mnemonic='b'/></Send_Frames></PROFINET_to_Send_CAN>";
    dir.write("CAN_Send_Frames.xml", broken);
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"Could not convert variant of type (Null) into type (OleStr)");
        EXPECT_EQ(w->sga->GetCellEx(6, 1), u"a");
        EXPECT_EQ(w->sga->GetCellEx(1, 2), u"2");
        EXPECT_EQ(w->sga->GetCellEx(4, 2), u"");
        dialogs.AnswerBox(IDNO);
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(dir.read("CAN_Send_Frames.xml"), broken);
    // Without the table element.
    dir.write("CAN_Send_Frames.xml", "<PROFINET_to_Send_CAN><Receive_Frames/></PROFINET_to_Send_CAN>");
    dialogs.Shown.clear();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->sga->GetCellEx(1, 1), u"");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
}
