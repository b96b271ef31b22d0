// The shell's dialogs, built and driven headless: new and open project,
// About and Options.

#include "ShellState.h"
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "shell/UAbout.h"
#include "shell/ULanguage.h"
#include "shell/UModel_Tables.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/USoftOptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

template <class T>
std::unique_ptr<T> Make_Window() {
    std::unique_ptr<T> form(new T(nullptr));
    form->AfterConstruction();
    return form;
}

class ShellWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Model_Code = 4;
        Set_Model_Strings();
    }
    ExeFolder exe;
    TScriptedDialogService dialogs;
};

}  // namespace

TEST_F(ShellWindows, NewProjectDialogRefusesBadNamesAndCreatesTheProject) {
    auto dlg = Make_Window<TFNew_Project>();
    EXPECT_EQ(dlg->Caption(), u"Create New Configuration");
    EXPECT_EQ(dlg->ClientWidth(), 331);
    EXPECT_EQ(dlg->ClientHeight(), 162);
    std::filesystem::create_directories(exe.dir.file("PROJECTS/Old"));
    dialogs.OnModalForm = [&](TCustomForm*) {
        for (const char* name : {"", "Old", "../x"}) {
            dlg->E_New_Proj->SetText(S(name));
            dlg->Btn_OK->Click();
            EXPECT_EQ(dlg->ModalResult(), mrNone) << name;  // the dialog stays open
        }
        dlg->E_New_Proj->SetText(u"Plant A");
        Char enter = 13;
        dlg->E_New_ProjKeyPress(dlg->E_New_Proj, enter);
    };
    EXPECT_EQ(dlg->ShowModal(), mrOk);
    ASSERT_EQ(dialogs.Shown.size(), 3u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error! Name Project is not valid");
    EXPECT_EQ(dialogs.Shown[1].Text, u"Error! Name project is not valid because directory already exists");
    EXPECT_EQ(dialogs.Shown[2].Text, u"Error! Name project is not valid");
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_TRUE(std::filesystem::is_directory(exe.dir.file("PROJECTS/Plant A/bin")));
    EXPECT_EQ(Project_Name, u"Plant A");
}

TEST_F(ShellWindows, OpenDialogListsTheProjectsWithTheOpenOneSelected) {
    for (const char* name : {"Beta", "Plant A", "alpha"})
        std::filesystem::create_directories(exe.dir.file(std::string("PROJECTS/") + name));
    Project_Dir = Projects_Dir + u"/plant a";
    auto dlg = Make_Window<TFOpenConf>();
    EXPECT_EQ(dlg->L_SW_Desc->Caption(), u"Open an Existing Configuration");
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(dlg->ListBox1->Items().Count(), 3);
        EXPECT_EQ(dlg->ListBox1->Items()[dlg->ListBox1->ItemIndex()], u"Plant A");
        dlg->Btn_OK->Click();
    };
    EXPECT_EQ(dlg->ShowModal(), mrOk);
    EXPECT_EQ(dlg->Name_Conf, u"Plant A");
}

TEST_F(ShellWindows, OpenDialogWithNoProjectsKeepsTheEarlierChoice) {
    auto dlg = Make_Window<TFOpenConf>();
    dialogs.OnModalForm = [&](TCustomForm*) { dlg->Btn_OK->Click(); };
    EXPECT_EQ(dlg->ShowModal(), mrOk);
    EXPECT_EQ(dlg->ListBox1->Items().Count(), 0);
    EXPECT_EQ(dlg->Name_Conf, u"");
    Open_Project_Named(dlg->Name_Conf);
    EXPECT_EQ(Project_Dir, u"");
}

TEST_F(ShellWindows, AboutNamesTheModelAndShowsItsLogo) {
    const struct {
        int model;
        const char* title;
        const char* code;
        const char* version;
        const char* manual;
        bool maker, pa, pbx;
    } cases[] = {
        {18, "Modbus Master / SNMP - Converter", "CV52809", "1.700", "DM52809", true, false, false},
        {35, "SNMP Agent / EtherNet/IP Slave - Converter", "CV52806", "1.000", "DM52806", true, false, false},
        {1018, "Modbus Master / SNMP - Converter", "RVX-TRP Desktop", "1.700", "", false, true, false},
        {2004, "PROFINET / Modbus Master - Converter", "ZK-RS485QWT-091144", "1.813", "", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        Model_Code = c.model;
        auto about = Make_Window<TFAbout>();
        dialogs.OnModalForm = [&](TCustomForm*) { about->LbButton1->Click(); };
        EXPECT_EQ(about->ShowModal(), mrOk);
        EXPECT_EQ(about->Caption(), u"About...");
        EXPECT_EQ(about->Label2->Caption(), S(c.title));
        EXPECT_EQ(about->Label9->Caption(), S(c.code));
        EXPECT_EQ(about->Label10->Caption(), S(c.version));
        EXPECT_EQ(about->Label12->Caption(), S(c.manual));
        EXPECT_EQ(about->Image2->Visible(), c.maker);
        EXPECT_EQ(about->Label4->Visible(), c.maker);
        EXPECT_EQ(about->I_PA->Visible(), c.pa);
        EXPECT_EQ(about->I_PBX->Visible(), c.pbx);
        EXPECT_EQ(about->ClientWidth(), 406);
        EXPECT_EQ(about->ClientHeight(), 148);
        // The logo was decoded: its middle is not the window's background.
        TBitmap shot;
        shot.SetSize(about->ClientWidth(), about->ClientHeight());
        about->PaintTo(shot.Canvas(), 0, 0);
        EXPECT_NE(shot.Canvas().Pixels(32 + 40, 24 + 30), TColor(0xEDF7F8));
        if (c.model == 1018)
            shot.SaveToPngFile(Utf8ToString(exe.dir.file("about_1018.png")));
    }
}

TEST_F(ShellWindows, CaptionsFitTheirControlsAtTheFormsFontSizes) {
    // The widest text of a control in its own font.
    auto width = [](const String& text, const TFont& font) {
        TBitmap b(1, 1);
        b.Canvas().SetFont(font);
        return b.Canvas().TextWidth(text);
    };
    Model_Code = 4;
    auto options = Make_Window<TFSoftOptions>();
    for (int text : {65, 66}) {
        options->LL_Check_Update->SetCaption(Lang_Table[text]);
        const int needed = width(Lang_Table[text], options->LL_Check_Update->Font());
        EXPECT_GE(options->LL_Check_Update->Width(), needed) << text;
        EXPECT_LE(options->LL_Check_Update->Left() + needed, options->TS_Con_Options->ClientWidth()) << text;
    }
}

TEST_F(ShellWindows, OptionsPagesTheLanguagesSixAtATime) {
    for (int i = 1; i <= 7; ++i)
        exe.dir.write("LANGUAGE/Lang" + std::to_string(i) + ".lng", "STR17 = New " + std::to_string(i) + "\n");
    exe.dir.write("LANGUAGE/notes.txt", "not a language");
    exe.dir.write("LANGUAGE/Shouted.LNG", "STR17 = never loadable by its name\n");
    std::filesystem::create_directories(exe.dir.file("LANGUAGE/Folder.lng"));
    Language_Name = u"English";
    auto dlg = Make_Window<TFSoftOptions>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(dlg->SL_Languages.size(), 7u);
        EXPECT_EQ(dlg->L_Sel_Lang->Caption(), u"Selected Language : English");
        EXPECT_EQ(dlg->L_Page_Lang->Caption(), u"Page 1 / 2");
        for (int k = 1; k <= 6; ++k)
            EXPECT_TRUE(dlg->L_L[k]->Visible()) << k;
        EXPECT_EQ(dlg->L_L[1]->Caption(), u"Lang1");
        EXPECT_FALSE(dlg->Btn_Prev->Visible());
        EXPECT_TRUE(dlg->Btn_Next->Visible());
        dlg->Btn_Next->Click();
        EXPECT_EQ(dlg->L_Page_Lang->Caption(), u"Page 2 / 2");
        EXPECT_EQ(dlg->L_L[1]->Caption(), u"Lang7");
        EXPECT_FALSE(dlg->L_L[2]->Visible());
        EXPECT_TRUE(dlg->Btn_Prev->Visible());
        EXPECT_FALSE(dlg->Btn_Next->Visible());
        dlg->Btn_Cancel->Click();
    };
    EXPECT_EQ(dlg->ShowModal(), mrCancel);
}

TEST_F(ShellWindows, OptionsWithoutLanguageFilesShowsNoSlot) {
    auto dlg = Make_Window<TFSoftOptions>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        EXPECT_EQ(dlg->L_Page_Lang->Caption(), u"Page 1 / 0");
        for (int k = 1; k <= 6; ++k)
            EXPECT_FALSE(dlg->L_L[k]->Visible() || dlg->I_L[k]->Visible()) << k;
        EXPECT_FALSE(dlg->Btn_Prev->Visible());
        EXPECT_TRUE(dlg->Btn_Next->Visible());
        dlg->Btn_Next->Click();  // does nothing
        EXPECT_EQ(dlg->Show_Page, 1);
        dlg->Btn_Cancel->Click();
    };
    dlg->ShowModal();
}

TEST_F(ShellWindows, APickedLanguageAppliesAtOnceButIsKeptOnlyWithOk) {
    exe.dir.write("LANGUAGE/Deutsch.lng", "STR17 = Neue Konfiguration\n");
    Language_Name = u"English";
    auto dlg = Make_Window<TFSoftOptions>();
    int changes = 0;
    dlg->Change_Language = [&] { ++changes; };
    dialogs.AnswerBox(IDYES);
    dialogs.OnModalForm = [&](TCustomForm*) {
        dlg->L_L[1]->Click();
        dlg->Btn_Cancel->Click();
    };
    dlg->ShowModal();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Do you want to change the Language from English to Deutsch?");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Lang_Table[17], u"Neue Konfiguration");
    EXPECT_EQ(Language_Name, u"English");

    dialogs.AnswerBox(IDYES);
    dialogs.OnModalForm = [&](TCustomForm*) {
        dlg->L_L[1]->Click();
        dlg->CB_En_Con->SetChecked(true);
        dlg->CB_Update->SetChecked(true);
        EXPECT_TRUE(dlg->Btn_Check_Update->Enabled());
        dlg->CB_En_Con->SetChecked(false);
        EXPECT_FALSE(dlg->CB_Update->Enabled());
        EXPECT_FALSE(dlg->Btn_Check_Update->Enabled());
        dlg->Btn_OK->Click();
    };
    EXPECT_EQ(dlg->ShowModal(), mrOk);
    EXPECT_EQ(Language_Name, u"Deutsch");
    EXPECT_FALSE(Opt_Enable_Internet);
    EXPECT_TRUE(Opt_Enable_Update);  // taken also from the disabled box
}

TEST_F(ShellWindows, OptionsPagesDependOnTheModel) {
    const struct {
        int model;
        bool connection, advanced, settings;
    } cases[] = {{4, true, true, false}, {25, true, true, false}, {15, true, false, true},
                 {34, true, false, true}, {2004, false, false, false}, {1018, false, false, false},
                 {18, true, false, false}};
    for (const auto& c : cases) {
        Model_Code = c.model;
        auto dlg = Make_Window<TFSoftOptions>();
        EXPECT_TRUE(dlg->TS_Language->TabVisible()) << c.model;
        EXPECT_EQ(dlg->TS_Con_Options->TabVisible(), c.connection) << c.model;
        EXPECT_EQ(dlg->TS_AdvanceFunctions->TabVisible(), c.advanced) << c.model;
        EXPECT_EQ(dlg->TS_Soft_Settings->TabVisible(), c.settings) << c.model;
    }
}
