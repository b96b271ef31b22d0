// The generators as the wizard runs them: file dialogs and questions
// answered by a script, files checked afterwards.

#include "DescFixture.h"
#include "controls/FlatButton.h"
#include "descfiles/UGSDML.h"
#include "descfiles/UProfibus_GSD.h"
#include "descfiles/UProfinetFileName.h"
#include "descfiles/USNMP_MIB.h"
#include "framework/DateUtils.h"
#include "framework/Dialogs.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "shell/ULanguage.h"

namespace {

class Flows : public DescProject {
protected:
    void SetUp() override {
        DescProject::SetUp();
        Load_Default_Texts();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(dir.file(name)); }
    TScriptedDialogService dialogs;
};

// ---------------------------------------------------------------------------
// PROFINET XML: the file-name dialog, then the generator
// ---------------------------------------------------------------------------

class GSDMLFlow : public Flows {
protected:
    void SetUp() override {
        Flows::SetUp();
        Model_Code = 24;
        SW_Code = u"SW52817";
        form = std::make_unique<TFProfinetFileName>(nullptr);
        form->AfterConstruction();  // as the application's CreateForm does at start-up
    }
    // The main window's step: the dialog, and on OK the generator.
    TModalResult Step(const String& user, bool press_ok) {
        dialogs.OnModalForm = [&](TCustomForm*) {
            form->E_XML_User->SetText(user);
            SimulateClick(press_ok ? form->Btn_OK : form->Btn_Cancel, 20, 10);
        };
        const TModalResult result = form->ShowModal();
        if (result == mrOk) Create_GSDML_File(form->Name_File_XML);
        return result;
    }
    std::unique_ptr<TFProfinetFileName> form;
    const std::string name = "GSDML-V2.31-Korvia-GX52817_plc-20130109.xml";
};

TEST_F(GSDMLFlow, TheComposedNameIsWrittenIntoThePickedFolder) {
    TClockGuard clock(EncodeDateTime(2013, 1, 9, 10, 0, 0, 0));
    dialogs.AnswerFile(P("picked-name.xml"));
    EXPECT_EQ(mrOk, Step(u"plc", true));
    ASSERT_EQ(1u, dialogs.Shown.size());
    EXPECT_EQ(dkSaveFile, dialogs.Shown[0].Kind);
    EXPECT_TRUE(Exists(name));
    EXPECT_FALSE(Exists("picked-name.xml"));
    EXPECT_EQ("\xEF\xBB\xBF<?xml", dir.read(name).substr(0, 8));
}

TEST_F(GSDMLFlow, CancelWritesNothing) {
    TClockGuard clock(EncodeDateTime(2013, 1, 9, 10, 0, 0, 0));
    EXPECT_EQ(mrCancel, Step(u"plc", false));  // the file-name dialog
    dialogs.OnModalForm = [&](TCustomForm* f) { SimulateCloseBox(f); };
    EXPECT_EQ(mrCancel, form->ShowModal());  // its close box
    EXPECT_TRUE(dialogs.Shown.empty());
    dialogs.AnswerFile(u"");  // the save dialog
    EXPECT_EQ(mrOk, Step(u"plc", true));
    EXPECT_EQ(1u, dialogs.Shown.size());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(GSDMLFlow, OverwriteAnsweredNoKeepsTheOldBytes) {
    TClockGuard clock(EncodeDateTime(2013, 1, 9, 10, 0, 0, 0));
    dir.write(name, "old bytes");
    dialogs.AnswerFile(P(name));
    dialogs.AnswerBox(IDNO);
    Step(u"plc", true);
    ASSERT_EQ(2u, dialogs.Shown.size());
    EXPECT_EQ(u"File already exists! Do you want to overwrite the file?", dialogs.Shown[1].Text);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), dialogs.Shown[1].Buttons);
    EXPECT_EQ("old bytes", dir.read(name));

    dialogs.AnswerFile(P(name));
    dialogs.AnswerBox(IDYES);
    Step(u"plc", true);
    EXPECT_NE("old bytes", dir.read(name));
}

TEST_F(GSDMLFlow, TheDateIsTakenAtEachShowingAndTheUserPartIsKept) {
    {
        TClockGuard clock(EncodeDateTime(2013, 1, 9, 23, 59, 0, 0));
        dialogs.AnswerFile(u"");
        Step(u"plc", true);
        EXPECT_EQ(u"GSDML-V2.31-Korvia-GX52817_plc-20130109.xml", form->Name_File_XML);
    }
    TClockGuard clock(EncodeDateTime(2013, 1, 10, 0, 1, 0, 0));
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(u"plc", form->E_XML_User->Text());
        form->Btn_OK->Click();
    };
    dialogs.AnswerFile(u"");
    form->ShowModal();
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX52817_plc-20130110.xml", form->Name_File_XML);
}

TEST_F(GSDMLFlow, AUserPartWithASeparatorIsRefusedAndTheDialogStays) {
    dialogs.AnswerBox(IDOK);
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(form->E_XML_User, form->ActiveControl());  // first in the tab order
        form->E_XML_User->SetText(u"../x");
        form->Btn_OK->Click();
        EXPECT_EQ(mrNone, form->ModalResult());
        form->E_XML_User->SetText(u"x");
        form->Btn_OK->Click();
    };
    EXPECT_EQ(mrOk, form->ShowModal());
    ASSERT_EQ(1u, dialogs.Shown.size());
    EXPECT_EQ(diError, dialogs.Shown[0].Icon);
    EXPECT_NE(String::npos, dialogs.Shown[0].Text.find(u"\"/\""));
}

TEST_F(GSDMLFlow, CaptionsComeFromTheTextTableAndTheWindowFitsTheModel) {
    EXPECT_EQ(u"PROFINET XML File Name", form->Caption());
    EXPECT_EQ(u"SW52817", form->L_SW_Code->Caption());
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX52817", form->L_XML_Fix1->Caption());
    EXPECT_EQ(540, form->ClientWidth());
    Lang_Table.Set(194, u"Bene");
    form->Set_Lang();
    EXPECT_EQ(u"Bene", form->Btn_OK->Caption());
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX52817", form->L_XML_Fix1->Caption());

    Model_Code = 25;
    TFProfinetFileName accessory(nullptr);
    accessory.AfterConstruction();
    EXPECT_EQ(550, accessory.ClientWidth());
    EXPECT_EQ(189, accessory.E_XML_User->Left());
    EXPECT_EQ(457, accessory.L_XML_Fix2->Left());
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX529K311", accessory.L_XML_Fix1->Caption());
}

TEST_F(GSDMLFlow, AFailureIsShownAndWritesNothing) {
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>");
    dialogs.AnswerFile(P("x.xml"));
    dialogs.AnswerBox(IDOK);
    Create_GSDML_File(u"GSDML-test.xml");
    ASSERT_EQ(2u, dialogs.Shown.size());
    EXPECT_EQ(diError, dialogs.Shown[1].Icon);
    EXPECT_EQ(u"Error", dialogs.Shown[1].Caption);
    EXPECT_FALSE(Exists("GSDML-test.xml"));
}

// ---------------------------------------------------------------------------
// PROFIBUS GSD
// ---------------------------------------------------------------------------

TEST_F(Flows, GsdWithoutGeneralParametersShowsText336AndNoDialog) {
    Model_Code = 3;
    dialogs.AnswerBox(IDOK);
    Create_GSD_File();
    ASSERT_EQ(1u, dialogs.Shown.size());
    EXPECT_EQ(dkMessageBox, dialogs.Shown[0].Kind);
    EXPECT_EQ(u"Error! Please set the Set Communication Parameter before to create the GSD file", dialogs.Shown[0].Text);
    EXPECT_EQ(diError, dialogs.Shown[0].Icon);
    EXPECT_EQ(0, dialogs.Unanswered);
}

TEST_F(Flows, GsdCancelNoAndYes) {
    Model_Code = 23;
    ParGen({{"PROFIBUS_SLAVE_NB_IN", "8"}});
    dialogs.AnswerFile(u"");
    Create_GSD_File();
    EXPECT_FALSE(Exists("station.gsd"));

    dialogs.AnswerFile(P("station"));  // ".gsd" is added
    Create_GSD_File();
    EXPECT_TRUE(Exists("station.gsd"));

    dir.write("station.gsd", "old bytes");
    dialogs.AnswerFile(P("station.gsd"));
    dialogs.AnswerBox(IDNO);
    Create_GSD_File();
    EXPECT_EQ(u"File already exists! Do you want to overwrite the file?", dialogs.Shown.back().Text);
    EXPECT_EQ("old bytes", dir.read("station.gsd"));

    dialogs.AnswerFile(P("station.gsd"));
    dialogs.AnswerBox(IDYES);
    Create_GSD_File();
    EXPECT_EQ(0u, dir.read("station.gsd").find(";\r\n;****"));
    EXPECT_EQ(0, dialogs.Unanswered);
}

// ---------------------------------------------------------------------------
// SNMP MIB
// ---------------------------------------------------------------------------

TEST_F(Flows, MibCancelNoAndYes) {
    Model_Code = 15;
    dialogs.AnswerFile(u"");
    Create_MIB_File();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    dialogs.AnswerFile(P("agent"));  // the default extension is added
    Create_MIB_File();
    EXPECT_TRUE(Exists("agent.mib"));

    dir.write("agent.mib", "old bytes");
    dialogs.AnswerFile(P("agent.mib"));
    dialogs.AnswerBox(IDNO);
    Create_MIB_File();
    EXPECT_EQ(u"File already exists. Do you want to overwrite?", dialogs.Shown.back().Text);
    EXPECT_EQ("old bytes", dir.read("agent.mib"));

    dialogs.AnswerFile(P("agent.mib"));
    dialogs.AnswerBox(IDYES);
    Create_MIB_File();
    EXPECT_EQ(0u, dir.read("agent.mib").find("GATEWAY DEFINITIONS ::= BEGIN\r\n"));
}

TEST_F(Flows, MibFailureIsShownAndKeepsTheOldFile) {
    Model_Code = 15;
    dir.write("agent.mib", "old bytes");
    Table("SNMP_Trap.xml", "SNMP_Trap", "<SNMP_Trap_Read/>");  // no write table
    dialogs.AnswerFile(P("agent.mib"));
    dialogs.AnswerBox(IDYES);
    dialogs.AnswerBox(IDOK);
    Create_MIB_File();
    ASSERT_EQ(3u, dialogs.Shown.size());
    EXPECT_EQ(diError, dialogs.Shown[2].Icon);
    EXPECT_EQ(u"Error", dialogs.Shown[2].Caption);
    EXPECT_NE(String::npos, dialogs.Shown[2].Text.find(u"SNMP_Trap_Write"));
    EXPECT_EQ("old bytes", dir.read("agent.mib"));
}

}  // namespace

namespace {

TEST_F(GSDMLFlow, TheWindowIsDrawnInItsColours) {
    TBitmap picture;
    picture.SetSize(form->Width(), form->Height());
    form->Show();
    form->PaintTo(picture.Canvas(), 0, 0);
    form->Hide();
    const TColor window = 15595512;  // red 248, green 247, blue 237
    EXPECT_EQ(window, picture.Canvas().Pixels(form->ClientWidth() - 5, 5));  // the title strip
    EXPECT_EQ(window, picture.Canvas().Pixels(form->ClientWidth() - 5, form->ClientHeight() - 5));  // the button strip
    // The OK button is drawn over the strip: its frame, glyph and caption.
    int drawn = 0;
    for (int x = 0; x < 110; ++x)
        for (int y = 0; y < 28; ++y)
            if (picture.Canvas().Pixels(16 + x, form->ClientHeight() - 40 + 6 + y) != window) ++drawn;
    EXPECT_GT(drawn, 200);
}

}  // namespace
