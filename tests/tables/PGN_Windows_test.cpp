#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"

#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"
#include "tables/Editor_Windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class PgnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_J1939_Rec_Frames = S(dir.file("J1939_Rec_Frames.xml"));
        Path_J1939_Send_Frames = S(dir.file("J1939_Send_Frames.xml"));
        Path_NMEA_Rec_Frames = S(dir.file("NMEA_Rec_Frames.xml"));
        Path_NMEA_Send_Frames = S(dir.file("NMEA_Send_Frames.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        for (String* p : {&Path_J1939_Rec_Frames, &Path_J1939_Send_Frames, &Path_NMEA_Rec_Frames, &Path_NMEA_Send_Frames})
            p->clear();
        Load_Default_Texts();
    }
    // A real click inside a cell, as the user's mouse gives it.
    static void Click(TExColumnGrid* g, int col, int row) {
        const TRect R = g->CellRect(col, row);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
    // Clicks the cell and types into it; the next click ends the edit.
    static void Type(TExColumnGrid* g, int col, int row, const String& text) {
        Click(g, col, row);
        SimulateText(text);
    }
    static void Fill(TExColumnGrid* g, int row, std::initializer_list<const char16_t*> cells) {
        int c = 1;
        for (const char16_t* t : cells) g->SetCellEx(c++, row, t);
    }
    // OK that must close the window; when it stays open the test fails
    // with what it showed and the window is cancelled, so the run goes on.
    void Press_OK(TPGN_Frames_Form* w) {
        w->Btn_OK->Click();
        if (w->ModalResult() == mrOk) return;
        ADD_FAILURE() << "OK did not close: " << (dialogs.Shown.empty() ? "" : StringToUtf8(dialogs.Shown.back().Text));
        w->Btn_Cancel->Click();
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST_F(PgnWindows, ScriptedEditsOfEachEditorAreSavedAsItsGoldenFile) {
    const struct {
        const char* name;
        std::function<std::unique_ptr<TPGN_Frames_Form>()> make;
        int model;
        const char* file;
        int width;
        const char16_t* caption;
        const char16_t* header4;
        std::function<void(TPGN_Frames_Form*)> edit;
    } cases[] = {
        {"J1939 receive", Make_Window<TFReceiveJ1939>, 6, "J1939_Rec_Frames.xml", 800, u"Receive J1939 Frames",
         u"Transport Protocol",
         [](TPGN_Frames_Form* w) {
             using namespace j1939_rec_col;
             TExColumnGrid* g = w->sga;
             Fill(g, 1, {u"0", u"", u"0", u"", u"", u"", u"", u"engine"});
             Type(g, PGN, 1, u"61444");
             Fill(g, 2, {u"1", u"0xFECA", u"3", u"", u"0", u"20", u"", u"dm1"});
             Click(g, TP, 2);
             Click(g, j1939_rec_col::Delete, 1);
             Click(g, j1939_rec_col::Delete, 1);
             // A row pushed in between, and the table ends before row 4.
             g->SetRow(2);
             w->Btn_InsRow->Click();
             Fill(g, 2, {u"0", u"65262", u"0", u"N", u"2", u"2", u"Y", u""});
             Fill(g, 5, {u"0", u"65263", u"0", u"N", u"", u"", u"N", u"below the end"});
         }},
        {"J1939 transmit", Make_Window<TFTransmitJ1939>, 32, "J1939_Send_Frames.xml", 800, u"Transmit J1939 Frames",
         u"Source Address",
         [](TPGN_Frames_Form* w) {
             using namespace j1939_send_col;
             TExColumnGrid* g = w->sga;
             Fill(g, 1, {u"3", u"0", u"", u"0", u"8", u"", u"", u"", u"", u"tsc1"});
             Type(g, PGN, 1, u"0");
             Click(g, On_Timer, 1);
             Type(g, SendTimer, 1, u"10");
             Click(g, Request, 1);
             Fill(g, 2, {u"6", u"1", u"65226", u"7", u"719", u"N", u"Y", u"N", u"", u""});
         }},
        {"NMEA 2000 receive", Make_Window<TFReceiveNMEA>, 7, "NMEA_Rec_Frames.xml", 810, u"Receive NMEA 2000 Frames",
         u"Fast Packet",
         [](TPGN_Frames_Form* w) {
             using namespace nmea_rec_col;
             TExColumnGrid* g = w->sga;
             Fill(g, 1, {u"129029", u"1", u"", u"", u"0", u"43", u"", u"gnss"});
             Click(g, FP, 1);
             Fill(g, 2, {u"127250", u"2", u"N", u"N", u"1", u"2", u"Y", u"heading"});
         }},
        {"NMEA 2000 transmit", Make_Window<TFTransmitNMEA>, 28, "NMEA_Send_Frames.xml", 810, u"Transmit NMEA 2000 Frames",
         u"Fast Packet",
         [](TPGN_Frames_Form* w) {
             using namespace nmea_send_col;
             TExColumnGrid* g = w->sga;
             Fill(g, 1, {u"2", u"127488", u"0", u"N", u"0", u"N", u"Y", u"N", u"", u"engine"});
             Fill(g, 2, {u"3", u"129029", u"0", u"", u"43", u"", u"", u"", u"1000", u""});
             Click(g, FP, 2);
             Click(g, On_Timer, 2);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Model_Code = c.model;
        auto w = c.make();
        EXPECT_EQ(w->ClientWidth(), c.width);
        EXPECT_EQ(w->ClientHeight(), 337);
        EXPECT_EQ(w->Caption(), c.caption);
        EXPECT_EQ(w->L_SW_Desc->Caption(), c.caption);
        EXPECT_EQ(w->Btn_DelRow->Caption(), u"Delete Row");
        EXPECT_EQ(w->Btn_InsRow->Caption(), u"Insert Row");
        EXPECT_EQ(w->sga->Columns().Items(0)->Header(), u"N\u00B0");
        EXPECT_EQ(w->sga->Columns().Items(4)->Header(), c.header4);
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->sga->RowCount(), 63);
            EXPECT_EQ(w->sga->GetCellEx(0, 62), u"62");
            c.edit(w.get());
            Press_OK(w.get());
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        EXPECT_TRUE(dialogs.Shown.empty()) << StringToUtf8(dialogs.Shown[0].Text);
        const std::string stem = std::string(c.file).substr(0, std::string(c.file).size() - 4);
        EXPECT_EQ(dir.read(c.file), Golden(stem + "_" + std::to_string(c.model) + ".xml"));
    }
}

TEST_F(PgnWindows, ShowingReadsTheFileAndOkKeepsItsFirst62Rows) {
    Model_Code = 28;
    std::string rows = "<row PGN='1' SA='2' TP_Start='3' TP_NByte='4' Mnemonic='first'/><row PGN='2' SA='5' TP='' FP='Y'/>";
    for (int i = 3; i <= 64; ++i) rows += "<r PGN='" + std::to_string(i) + "' SA='0'/>";
    dir.write("NMEA_Rec_Frames.xml", "<Any>" + rows + "</Any>");
    auto w = Make_Window<TFReceiveNMEA>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->sga;
        using namespace nmea_rec_col;
        // Missing boxes are "N", a present empty one stays empty, missing texts are empty.
        const struct {
            int col, row;
            const char16_t* text;
        } cells[] = {{PGN, 1, u"1"},   {SA, 1, u"2"},   {TP, 1, u"N"},  {FP, 1, u"N"},     {Start, 1, u"3"},
                     {NByte, 1, u"4"}, {nmea_rec_col::Delete, 1, u"N"}, {Mnemonic, 1, u"first"}, {TP, 2, u""}, {FP, 2, u"Y"},
                     {Mnemonic, 2, u""}, {PGN, 62, u"62"}};
        for (const auto& c : cells) EXPECT_EQ(g->GetCellEx(c.col, c.row), c.text) << c.col << "," << c.row;
        // Row 2, an FP row without Start and N° Byte, would fail; make it whole frames.
        g->SetCellEx(FP, 2, u"N");
        Press_OK(w.get());
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty()) << StringToUtf8(dialogs.Shown[0].Text);
    const std::string saved = dir.read("NMEA_Rec_Frames.xml");
    EXPECT_EQ(Count(saved, "<row "), 62u);
    EXPECT_EQ(saved.rfind("<Receive_NMEA_2000><row PGN=\"1\" SA=\"2\" TP=\"N\" FP=\"N\" TP_Start=\"3\" TP_NByte=\"4\" "
                          "Delete=\"N\" Mnemonic=\"first\"/>",
                          0),
              0u);
    EXPECT_NE(saved.find("PGN=\"62\""), std::string::npos);
    EXPECT_EQ(saved.find("PGN=\"63\""), std::string::npos);
}

TEST_F(PgnWindows, AFailedCheckKeepsTheWindowOpenAndTheFile) {
    Model_Code = 14;
    const std::string original = "<Receive_J1939><row Priority='6' DP='0' PGN='61444' SA='0' TP_NByte='8'/></Receive_J1939>";
    dir.write("J1939_Send_Frames.xml", original);
    auto w = Make_Window<TFTransmitJ1939>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        w->sga->SetCellEx(j1939_send_col::NByte, 1, u"0");
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"Error in row 1!! Num Byte must be between 1 and1438");
        EXPECT_EQ(dir.read("J1939_Send_Frames.xml"), original);
        w->sga->SetCellEx(j1939_send_col::NByte, 1, u"16");
        Press_OK(w.get());
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_NE(dir.read("J1939_Send_Frames.xml").find("TP_NByte=\"16\""), std::string::npos);
    // Cancel after edits writes nothing, and the next show reads the file again.
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->sga->GetCellEx(j1939_send_col::NByte, 1), u"16");
        w->sga->SetCellEx(j1939_send_col::NByte, 1, u"4");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(w->sga->GetCellEx(j1939_send_col::NByte, 1), u"16");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
}

TEST_F(PgnWindows, AFileThatIsNotXmlIsReportedAndReplacedOnlyWhenConfirmed) {
    Model_Code = 6;
    const std::string broken = "<Receive_J1939><row PGN='1'";
    dir.write("J1939_Rec_Frames.xml", broken);
    auto w = Make_Window<TFReceiveJ1939>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Icon, diError);
        EXPECT_EQ(w->sga->GetCellEx(j1939_rec_col::PGN, 1), u"");
        EXPECT_EQ(w->sga->GetCellEx(0, 1), u"1");
        Fill(w->sga, 1, {u"0", u"61444", u"0", u"N", u"", u"", u"N", u""});
        dialogs.AnswerBox(IDNO);
        w->Btn_OK->Click();
        EXPECT_EQ(w->ModalResult(), mrNone);
        ASSERT_EQ(dialogs.Shown.size(), 2u);
        EXPECT_EQ(dialogs.Shown[1].Icon, diQuestion);
        EXPECT_EQ(dir.read("J1939_Rec_Frames.xml"), broken);
        dialogs.AnswerBox(IDYES);
        Press_OK(w.get());
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_NE(dir.read("J1939_Rec_Frames.xml").find("PGN=\"61444\""), std::string::npos);
}

TEST_F(PgnWindows, DeleteRowAsksAndInsertRowPushesDown) {
    Model_Code = 7;
    auto w = Make_Window<TFTransmitNMEA>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->sga;
        for (int r = 1; r <= 3; ++r) g->SetCellEx(nmea_send_col::PGN, r, IntToStr(100 + r));
        g->SetCellEx(nmea_send_col::Mnemonic, 62, u"last");
        g->SetRow(2);
        dialogs.AnswerBox(IDNO);
        w->Btn_DelRow->Click();
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"Are you sure to delete the Row number 2");
        EXPECT_EQ(g->GetCellEx(nmea_send_col::PGN, 2), u"102");
        dialogs.AnswerBox(IDYES);
        w->Btn_DelRow->Click();
        EXPECT_EQ(g->GetCellEx(nmea_send_col::PGN, 2), u"103");
        EXPECT_EQ(g->GetCellEx(nmea_send_col::Mnemonic, 61), u"last");
        EXPECT_EQ(g->GetCellEx(nmea_send_col::Mnemonic, 62), u"");
        EXPECT_EQ(g->GetCellEx(0, 2), u"2");
        // Only data rows: nothing is asked for the header row.
        w->Delete_Row(0);
        w->Delete_Row(63);
        EXPECT_EQ(dialogs.Shown.size(), 2u);
        // Insert on row 1 pushes every row down; the last one falls out.
        g->SetRow(1);
        w->Btn_InsRow->Click();
        EXPECT_EQ(g->GetCellEx(nmea_send_col::PGN, 1), u"");
        EXPECT_EQ(g->GetCellEx(nmea_send_col::PGN, 2), u"101");
        EXPECT_EQ(g->GetCellEx(nmea_send_col::Mnemonic, 62), u"last");
        g->SetRow(62);
        w->Btn_InsRow->Click();
        EXPECT_EQ(g->GetCellEx(nmea_send_col::Mnemonic, 62), u"");
        EXPECT_EQ(g->GetCellEx(0, 62), u"62");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
}

TEST_F(PgnWindows, RenderedGridShowsTheTickedBoxesAndTheLanguage) {
    Model_Code = 6;
    auto w = Make_Window<TFReceiveJ1939>();
    // A language change puts the new texts in.
    Lang_Table.Set(593, u"TP");
    Lang_Table.Set(583, u"J1939 Empfang");
    w->Set_Lang();
    EXPECT_EQ(w->sga->Columns().Items(j1939_rec_col::TP)->Header(), u"TP");
    EXPECT_EQ(w->Caption(), u"J1939 Empfang");
    TBitmap bmp;
    dialogs.OnModalForm = [&](TCustomForm*) {
        w->sga->SetCellEx(j1939_rec_col::TP, 2, u"Y");
        w->sga->SetCellEx(j1939_rec_col::TP, 3, u"N");
        RenderControlToBitmap(w->sga, bmp);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    // Dark pixels inside the TP cells of rows 2 (ticked) and 3 (not).
    auto dark = [&](int row) {
        const TRect R = w->sga->CellRect(j1939_rec_col::TP, row);
        int n = 0;
        for (int x = R.Left + 1; x < R.Right - 1; ++x)
            for (int y = R.Top + 1; y < R.Bottom - 1; ++y) {
                const TColor c = ColorToRGB(bmp.Canvas().Pixels(x, y));
                if ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 3 * 96) ++n;
            }
        return n;
    };
    EXPECT_GT(dark(2), dark(3));
    for (int c = 0; c < 9; ++c) EXPECT_TRUE(w->sga->Columns().Items(c)->HeaderFont().Style().Contains(fsBold)) << c;
}

// A row filled by keys alone: a list value taken with Enter, then the arrow
// keys and typing through text cells and a check box.
TEST_F(PgnWindows, KeysAloneFillAReceiveRow) {
    auto w = Make_Window<TFReceiveJ1939>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->sga;
        Click(g, 2, 1);
        Click(g, 1, 1);
        Click(g, 1, 1);
        SimulateText(u"1");
        SimulateKey(VK_RETURN);
        SimulateKey(VK_RIGHT);
        SimulateText(u"65262");
        SimulateKey(VK_RIGHT);
        SimulateText(u"7");
        SimulateKey(VK_RIGHT);
        SimulateKey(VK_SPACE);
        SimulateKey(VK_RIGHT);
        SimulateText(u"3");
        SimulateKey(VK_RETURN);
        EXPECT_EQ(g->GetCellEx(1, 1), u"1");
        EXPECT_EQ(g->GetCellEx(2, 1), u"65262");
        EXPECT_EQ(g->GetCellEx(3, 1), u"7");
        EXPECT_EQ(g->GetCellEx(4, 1), u"Y");
        EXPECT_EQ(g->GetCellEx(5, 1), u"3");
        w->Btn_Cancel->Click();
    };
    w->ShowModal();
}
