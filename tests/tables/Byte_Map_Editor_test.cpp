#include "tables/U_Rec_Info.h"
#include "tables/U_Sen_Info.h"

#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"
#include "tables/Table_Test_Support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

// A frames file of the given root and table with (Cob_Id, Dimension) rows.
std::string Frames_File(bool send, std::initializer_list<std::pair<const char*, const char*>> frames) {
    const std::string table = send ? "Send_Frames" : "Receive_Frames";
    std::string s = std::string("<") + (send ? "PROFINET_to_Send_CAN" : "PROFINET_to_Receive_CAN") + "><" + table + ">";
    for (const auto& f : frames)
        s += std::string("<row Cob_Id='") + f.first + "' Type='2.0A (11 bits)' Dimension='" + f.second +
             "' TimeOut='0' Send_Type='On Timer' Timer_Send='0' Mnemonic=''/>";
    return s + "</" + table + "></" + (send ? "PROFINET_to_Send_CAN" : "PROFINET_to_Receive_CAN") + ">";
}

class ByteMapWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_CAN_Rec_Frames = S(dir.file("CAN_Rec_Frames.xml"));
        Path_CAN_Send_Frames = S(dir.file("CAN_Send_Frames.xml"));
        Path_CAN_Rec_Info = S(dir.file("CAN_Rec_Info.xml"));
        Path_CAN_Send_Info = S(dir.file("CAN_Send_Info.xml"));
        Path_ParGen = S(dir.file("ParGen.xml"));
        Model_Code = 0;
    }
    void TearDown() override {
        Model_Code = model_;
        for (String* p : {&Path_CAN_Rec_Frames, &Path_CAN_Send_Frames, &Path_CAN_Rec_Info, &Path_CAN_Send_Info,
                          &Path_ParGen})
            p->clear();
    }
    // Types text into the field of byte n (0-based) as a person would and leaves it with Tab.
    static void Type_Into(TByte_Map_Form* w, int n, const String& text) {
        w->Edit[n]->SetFocus();
        w->Edit[n]->SelectAll();
        if (text.empty())
            SimulateKey(VK_DELETE);
        else
            SimulateText(text);
        SimulateKey(VK_TAB);
    }
    static void Click(TControl* c) { SimulateClick(c, 5, 5); }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST_F(ByteMapWindows, FramesAndFieldsFollowTheSelectionAndSaveAsTheGoldenFile) {
    dir.write("CAN_Rec_Frames.xml", Frames_File(false, {{"0x181", "8"}, {"0x182", "3"}, {"0x183", "0"}}));
    // Row 2 holds a position beyond its Dimension; frame 3 has no row.
    dir.write("CAN_Rec_Info.xml",
              "<Receive_Frames_Info><row B1='0' B2='1' B3='2' B4='3' B5='4' B6='5' B7='6' B8='$7'/>"
              "<row B1='10' B2='11' B3='65535' B4='99'/></Receive_Frames_Info>");
    auto w = Make_Window<TF_Rec_Info>();
    EXPECT_EQ(w->ClientWidth(), 654);
    EXPECT_EQ(w->ClientHeight(), 508);
    EXPECT_EQ(w->Caption(), u"Receive CAN Frames Info");
    EXPECT_EQ(w->StaticText_Byte[7]->Caption(), u"Byte 8 of frame CAN go to byte");
    EXPECT_EQ(w->StaticText_Of[0]->Caption(), u"of PROFINET");
    auto fields = [&] {
        std::string s;
        for (int n = 0; n < 8; ++n)
            s += (n ? " " : "") + StringToUtf8(w->Edit[n]->Text()) + (w->Panel[n]->Enabled() ? "" : "-") +
                 (w->Label_Not_In_Use[n]->Visible() ? "*" : "");
        return s;
    };
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(w->ListBox1->Items().Count(), 3);
        EXPECT_EQ(w->ListBox1->Items()[1], u"0x182");
        EXPECT_EQ(w->ListBox1->ItemIndex(), 0);
        EXPECT_EQ(fields(), "0 1 2 3 4 5 6 7");
        w->ListBox1->SetItemIndex(1);
        w->ListBox1Click(w->ListBox1);
        EXPECT_EQ(fields(), "10 11 none none-* none-* none-* none-* none-*");
        Type_Into(w.get(), 2, u"0x10");
        w->ListBox1->SetItemIndex(2);
        w->ListBox1Click(w->ListBox1);
        EXPECT_EQ(fields(), "none-* none-* none-* none-* none-* none-* none-* none-*");
        Click(w->Btn_OK);
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(dir.read("CAN_Rec_Info.xml"), Golden("CAN_Rec_Info_0.xml"));
}

TEST_F(ByteMapWindows, TypedPositionsAreStoredOrRefusedWithTheLimitOfTheModel) {
    const struct {
        int model;
        const char* pargen;  // PROFINET_NB_OUT; nullptr: no "ParGen.xml"
        int limit;           // the highest position accepted
        const char* of;
    } models[] = {
        {15, nullptr, 1023, "of SNMP"},
        {34, "100", 1023, "of SNMP"},
        {0, "100", 99, "of PROFINET"},
        {0, nullptr, 1438, "of PROFINET"},
        {27, "99999", 1439, "of PROFINET"},
    };
    const struct {
        const char* typed;
        int stored;  // -1: refused, the former value kept
    } texts[] = {{"NONE", 65535}, {" none ", 65535}, {"", 65535}, {"0x10", 16}, {" 3", 3}, {"-1", -1}, {"abc", -1},
                 {"1.5", -1}};
    dir.write("CAN_Rec_Frames.xml", Frames_File(false, {{"0x181", "8"}}));
    for (const auto& m : models) {
        SCOPED_TRACE("model " + std::to_string(m.model));
        Model_Code = m.model;
        std::remove(dir.file("ParGen.xml").c_str());
        if (m.pargen) dir.write("ParGen.xml", std::string("<Par_Gen><PROFINET_NB_OUT>") + m.pargen + "</PROFINET_NB_OUT></Par_Gen>");
        auto w = Make_Window<TF_Rec_Info>();
        EXPECT_EQ(StringToUtf8(w->StaticText_Of[3]->Caption()), m.of);
        dialogs.Shown.clear();
        const std::string refusal =
            "Error Byte 2!! Value have to be between 0 to " + std::to_string(m.limit) + " or none";
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->Num_Byte_Max, m.limit + 1);
            for (const auto& t : texts) {
                SCOPED_TRACE(t.typed);
                Type_Into(w.get(), 1, u"7");
                const std::size_t shown = dialogs.Shown.size();
                Type_Into(w.get(), 1, S(t.typed));
                EXPECT_EQ(w->Map.Data_arr[0].PosB[1], t.stored < 0 ? 7 : t.stored);
                if (t.stored < 0) {
                    ASSERT_EQ(dialogs.Shown.size(), shown + 1);
                    EXPECT_EQ(StringToUtf8(dialogs.Shown.back().Text), refusal);
                    EXPECT_TRUE(w->Edit[1]->Focused());
                } else {
                    EXPECT_EQ(dialogs.Shown.size(), shown);
                    EXPECT_TRUE(w->Edit[2]->Focused());
                }
            }
            Type_Into(w.get(), 1, IntToStr(m.limit));
            EXPECT_EQ(w->Map.Data_arr[0].PosB[1], m.limit);
            const std::size_t shown = dialogs.Shown.size();
            Type_Into(w.get(), 1, IntToStr(m.limit + 1));
            EXPECT_EQ(dialogs.Shown.size(), shown + 1);
            EXPECT_EQ(w->Map.Data_arr[0].PosB[1], m.limit);
            w->Btn_Cancel->Click();
        };
        EXPECT_EQ(w->ShowModal(), mrCancel);
    }
}

TEST_F(ByteMapWindows, OkJudgesTheFieldBeingEditedOnceAndCancelNever) {
    dir.write("CAN_Rec_Frames.xml", Frames_File(false, {{"0x181", "2"}}));
    auto w = Make_Window<TF_Rec_Info>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        w->Edit[0]->SetFocus();
        w->Edit[0]->SelectAll();
        SimulateText(u"abc");
        // A press on OK: the field's exit refuses, and OK does not ask again.
        Click(w->Btn_OK);
        EXPECT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(w->ModalResult(), mrNone);
        EXPECT_TRUE(w->Edit[0]->Focused());
        // OK without the focus moving (as by a key): it takes over the field itself.
        w->Edit[0]->SelectAll();
        SimulateText(u"-5");
        w->Btn_OK->Click();
        EXPECT_EQ(dialogs.Shown.size(), 2u);
        EXPECT_EQ(w->ModalResult(), mrNone);
        w->Edit[0]->SelectAll();
        SimulateText(u"12");
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_NE(dir.read("CAN_Rec_Info.xml").find("<row B1=\"12\" B2=\"65535\""), std::string::npos);

    // Cancel and the close box close without a word about the field.
    const std::string saved = dir.read("CAN_Rec_Info.xml");
    for (bool close_box : {false, true}) {
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->Edit[0]->Text(), u"12");
            w->Edit[0]->SetFocus();
            w->Edit[0]->SelectAll();
            SimulateText(u"abc");
            if (close_box)
                SimulateCloseBox(w.get());
            else
                Click(w->Btn_Cancel);
        };
        EXPECT_EQ(w->ShowModal(), mrCancel);
        EXPECT_EQ(dialogs.Shown.size(), 2u);
        EXPECT_EQ(dir.read("CAN_Rec_Info.xml"), saved);
    }
    // A field left towards Cancel, when Cancel then is not pressed, is taken over by OK.
    dialogs.OnModalForm = [&](TCustomForm*) {
        w->Edit[1]->SetFocus();
        w->Edit[1]->SelectAll();
        SimulateText(u"9");
        w->Btn_Cancel->SetFocus();
        EXPECT_EQ(w->Map.Data_arr[0].PosB[1], No_Position);
        Click(w->Btn_OK);
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_NE(dir.read("CAN_Rec_Info.xml").find("<row B1=\"12\" B2=\"9\""), std::string::npos);
}

TEST_F(ByteMapWindows, DuplicatesAreRefusedOnlyInTheReceiveMap) {
    dir.write("CAN_Rec_Frames.xml", Frames_File(false, {{"0x100", "2"}, {"0x200", "2"}, {"0x300", "1"}}));
    dir.write("CAN_Send_Frames.xml", Frames_File(true, {{"0x100", "2"}, {"0x200", "2"}, {"0x300", "1"}}));
    const std::string map = "<row B1='5' B2='6'/><row B1='7' B2='5'/><row B1='9'/>";
    dir.write("CAN_Rec_Info.xml", "<Receive_Frames_Info>" + map + "</Receive_Frames_Info>");
    dir.write("CAN_Send_Info.xml", "<Send_Frames_Info>" + map + "</Send_Frames_Info>");
    auto rec = Make_Window<TF_Rec_Info>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        Click(rec->Btn_OK);
        EXPECT_EQ(rec->ModalResult(), mrNone);
        EXPECT_FALSE(rec->Controlla_dati());
        // A frame using one position twice is named twice.
        rec->ListBox1->SetItemIndex(1);
        rec->ListBox1Click(rec->ListBox1);
        Type_Into(rec.get(), 1, u"7");
        Click(rec->Btn_OK);
        Click(rec->Btn_Cancel);
    };
    EXPECT_EQ(rec->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 3u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error!! The Byte 5 is used in COB ID 0x200 in Byte 2 and in COB ID 0x100 in Byte 1");
    EXPECT_EQ(dialogs.Shown[2].Text, u"Error!! The Byte 7 is used in COB ID 0x200 in Byte 2 and in COB ID 0x200 in Byte 1");
    auto send = Make_Window<TF_Sen_Info>();
    EXPECT_EQ(send->Caption(), u"Send CAN Frames Info");
    EXPECT_EQ(send->StaticText_Byte[0]->Caption(), u"Byte 1 of frame CAN go to byte");
    dialogs.OnModalForm = [&](TCustomForm*) { Click(send->Btn_OK); };
    EXPECT_EQ(send->ShowModal(), mrOk);
    EXPECT_EQ(dialogs.Shown.size(), 3u);
    EXPECT_NE(dir.read("CAN_Send_Info.xml").find("<row B1=\"7\" B2=\"5\""), std::string::npos);
}

TEST_F(ByteMapWindows, AHandEditedPositionIsRefusedAtOk) {
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>200</PROFINET_NB_IN></Par_Gen>");
    dir.write("CAN_Send_Frames.xml", Frames_File(true, {{"0x100", "1"}, {"0x200", "2"}}));
    const std::string map = "<Send_Frames_Info><row B1='1'/><row B1='2' B2='5000'/></Send_Frames_Info>";
    dir.write("CAN_Send_Info.xml", map);
    auto w = Make_Window<TF_Sen_Info>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->ListBox1->ItemIndex(), 0);
        w->Btn_OK->Click();
        EXPECT_EQ(w->ListBox1->ItemIndex(), 1);
        EXPECT_EQ(w->Edit[1]->Text(), u"5000");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error Byte 2!! Value have to be between 0 to 199 or none");
    EXPECT_EQ(dir.read("CAN_Send_Info.xml"), map);
}

TEST_F(ByteMapWindows, MapRowsBelongToFramesByPositionAlone) {
    // Dimension 0 frames, fewer map rows than frames, then more.
    dir.write("CAN_Send_Frames.xml", Frames_File(true, {{"0x1", "0"}, {"0x2", "1"}, {"0x3", "1"}}));
    dir.write("CAN_Send_Info.xml", "<Send_Frames_Info><row B1='4'/><row B1='8'/></Send_Frames_Info>");
    auto w = Make_Window<TF_Sen_Info>();
    dialogs.OnModalForm = [&](TCustomForm*) { w->Btn_OK->Click(); };
    EXPECT_EQ(w->ShowModal(), mrOk);
    const std::string none7 = " B2=\"65535\" B3=\"65535\" B4=\"65535\" B5=\"65535\" B6=\"65535\" B7=\"65535\" B8=\"65535\"/>";
    EXPECT_EQ(dir.read("CAN_Send_Info.xml"), "<Send_Frames_Info><row B1=\"65535\"" + none7 + "<row B1=\"8\"" + none7 +
                                                 "<row B1=\"65535\"" + none7 +
                                                 "</Send_Frames_Info>\r\n<!--SW_VERSION = 1.113-->\r\n");
    dir.write("CAN_Send_Frames.xml", Frames_File(true, {{"0x2", "1"}}));
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_EQ(dir.read("CAN_Send_Info.xml"),
              "<Send_Frames_Info><row B1=\"65535\"" + none7 + "</Send_Frames_Info>\r\n<!--SW_VERSION = 1.113-->\r\n");
    // Every row of the frames file is a frame, past the frame editor's 500 too.
    std::string many = "<PROFINET_to_Send_CAN><Send_Frames>";
    for (int r = 1; r <= 501; ++r) many += "<row Cob_Id='" + std::to_string(r) + "' Dimension='1'/>";
    dir.write("CAN_Send_Frames.xml", many + "</Send_Frames></PROFINET_to_Send_CAN>");
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->ListBox1->Items().Count(), 501);
        EXPECT_EQ(w->ListBox1->Items()[500], u"501");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    // No frames at all: the fields are disabled and OK writes no row.
    std::remove(dir.file("CAN_Send_Frames.xml").c_str());
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->ListBox1->Items().Count(), 0);
        EXPECT_FALSE(w->Panel[0]->Enabled());
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_EQ(dir.read("CAN_Send_Info.xml"), "<Send_Frames_Info/>\r\n<!--SW_VERSION = 1.113-->\r\n");
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(ByteMapWindows, AFailedLoadListsTheFramesReadAndSelectsNone) {
    dir.write("CAN_Rec_Frames.xml", Frames_File(false, {{"0x1", "2"}, {"0x2", "x"}, {"0x3", "1"}}));
    dir.write("CAN_Rec_Info.xml", "<Receive_Frames_Info><row B1='4' B2='5'/></Receive_Frames_Info>");
    auto w = Make_Window<TF_Rec_Info>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"'x' is not a valid integer value");
        EXPECT_EQ(w->ListBox1->Items().Count(), 1);
        EXPECT_EQ(w->ListBox1->ItemIndex(), -1);
        EXPECT_FALSE(w->Panel[0]->Enabled());
        // The map was not read: its positions stay none, and OK asks first.
        EXPECT_EQ(w->Map.Data_arr[0].PosB[0], No_Position);
        dialogs.AnswerBox(IDNO);
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(dialogs.Shown.size(), 2u);
    // A map row without a needed attribute: the frames stay listed, none selected.
    dir.write("CAN_Rec_Frames.xml", Frames_File(false, {{"0x1", "2"}, {"0x3", "1"}}));
    dir.write("CAN_Rec_Info.xml", "<Receive_Frames_Info><row B1='4' B2='5'/><row/></Receive_Frames_Info>");
    dialogs.Shown.clear();
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"Could not convert variant of type (Null) into type (OleStr)");
        EXPECT_EQ(w->ListBox1->Items().Count(), 2);
        EXPECT_EQ(w->ListBox1->ItemIndex(), -1);
        EXPECT_EQ(w->Map.Data_arr[0].PosB[1], 5);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
}

TEST_F(ByteMapWindows, RenderedPanelsShowTheFieldsOfTheSelectedFrame) {
    dir.write("CAN_Rec_Frames.xml", Frames_File(false, {{"0x181", "2"}}));
    auto w = Make_Window<TF_Rec_Info>();
    TBitmap in_use, not_in_use;
    dialogs.OnModalForm = [&](TCustomForm*) {
        RenderControlToBitmap(w->Panel[1], in_use);
        RenderControlToBitmap(w->Panel[2], not_in_use);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    auto at = [](TBitmap& b, TControl* c, int dx, int dy) {
        return ColorToRGB(b.Canvas().Pixels(c->Left() + dx, c->Top() + dy));
    };
    const TColor window = RGB(0xF8, 0xF7, 0xED), white = RGB(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(ColorToRGB(in_use.Canvas().Pixels(2, 2)), window);
    // Byte 2 is in use and editable; byte 3 is not.
    EXPECT_EQ(at(in_use, w->Edit[1], w->Edit[1]->Width() - 4, w->Edit[1]->Height() / 2), white);
    EXPECT_NE(at(not_in_use, w->Edit[2], w->Edit[2]->Width() - 4, w->Edit[2]->Height() / 2), white);
    // "Not in use" is drawn beside byte 3 only: dark text pixels in its label's place.
    auto has_text = [&](TBitmap& b, TLabel* l) {
        for (int x = 0; x < l->Width(); ++x)
            for (int y = 0; y < l->Height(); ++y)
                if (GetRValue(at(b, l, x, y)) < 0x80) return true;
        return false;
    };
    EXPECT_TRUE(has_text(not_in_use, w->Label_Not_In_Use[2]));
    EXPECT_FALSE(has_text(in_use, w->Label_Not_In_Use[1]));
    EXPECT_TRUE(has_text(in_use, w->StaticText_Of[1]));
}
