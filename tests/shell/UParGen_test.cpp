#include "shell/UParGen.h"

#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "shell/Globals.h"
#include "shell/ParGenFile.h"
#include "shell/ULanguage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

class UParGenTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_model_ = Model_Code;
        saved_path_ = Path_ParGen;
        Load_Default_Texts();
        Path_ParGen = Utf8ToString(dir_.file("ParGen.xml"));
    }
    void TearDown() override {
        Model_Code = saved_model_;
        Path_ParGen = saved_path_;
    }
    std::unique_ptr<TFParGen> Create(int model) {
        Model_Code = model;
        auto f = std::make_unique<TFParGen>(nullptr);
        f->AfterConstruction();  // FormCreate, as the application does
        return f;
    }
    static TRect B(TFParGen& f, const char16_t* name) { return f.Control(name)->BoundsRect(); }

    TempDir dir_;

private:
    int saved_model_ = 0;
    String saved_path_;
};

}  // namespace

TEST_F(UParGenTest, TheWindowTakesTheLayoutOfItsModel) {
    auto f = Create(0);
    f->FormShow(f.get());
    EXPECT_EQ(B(*f, u"GB_PROFINET"), Bounds(8, 70, 296, 480));
    EXPECT_EQ(B(*f, u"GB_CAN"), Bounds(8, 556, 296, 58));
    EXPECT_EQ(B(*f, u"Btn_OK"), Bounds(68, 627, 112, 28));
    EXPECT_EQ(B(*f, u"Btn_Cancel"), Bounds(192, 627, 112, 28));
    EXPECT_EQ(B(*f, u"CAN_Baud"), Bounds(82, 21, 192, 22));
    EXPECT_EQ(B(*f, u"E_IP3"), Bounds(148, 43, 60, 21));
    EXPECT_EQ(f->ClientWidth(), 312);
    EXPECT_EQ(f->ClientHeight(), 668);
    EXPECT_FALSE(f->Control(u"GB_Modbus_Master")->Visible());
    EXPECT_EQ(f->Control(u"CB_PROFINET_En_Modbus_Poll")->Caption(), u"En. CAN Polls");
    EXPECT_EQ(f->Caption(), u"Set Communication");

    // Collapsing the top box moves the CAN box up and shrinks the form.
    SimulateClick(f->Control(u"Btn_PROFINET_Collapse"), 5, 5);
    EXPECT_EQ(f->Control(u"GB_PROFINET")->Height(), 26);
    EXPECT_EQ(f->Control(u"GB_CAN")->Top(), 102);
    EXPECT_FALSE(f->Control(u"Btn_PROFINET_Collapse")->Visible());
    EXPECT_TRUE(f->Control(u"Btn_PROFINET_Expande")->Visible());
    EXPECT_EQ(f->ClientHeight(), 102 + 58 + 54);
    SimulateClick(f->Control(u"Btn_PROFINET_Expande"), 5, 5);
    EXPECT_EQ(f->ClientHeight(), 668);

    auto g = Create(35);
    g->FormShow(g.get());
    EXPECT_EQ(B(*g, u"GB_EtherNetIP"), Bounds(8, 491, 296, 292));
    EXPECT_EQ(g->ClientHeight(), 837);
    auto h = Create(20);
    h->FormShow(h.get());
    EXPECT_EQ(h->Control(u"GB_SNMP")->Top(), 422);
    EXPECT_EQ(h->Control(u"GB_SNMP")->Height(), 417);
    auto k = Create(13);
    k->FormShow(k.get());
    EXPECT_EQ(k->Control(u"GB_EtherNetIP")->Height(), 224);
}

TEST_F(UParGenTest, AGrowingFormStaysInsideTheWorkArea) {
    auto f = Create(20);
    f->Show();
    const TRect work = Screen->WorkAreaRect();
    // Placed low, as a person may have moved it.
    f->SetTop(work.Bottom - f->Height() + 40 > work.Top ? work.Bottom - f->Height() + 40 : work.Top + 40);
    const int before = f->Height();
    f->Logic.User_Select(u"CB_SNMP_Version", 2);
    f->Logic.User_Select(u"CB_SNMP_Secure_Lev", 2);
    f->Sync();
    EXPECT_GE(f->Top(), work.Top);
    EXPECT_LE(f->Top() + f->Height(), work.Bottom);
    auto* ok = f->Control(u"Btn_OK");
    if (f->Logic.ClientHeight <= f->ClientHeight()) {
        EXPECT_GT(f->Height(), before);
    } else {
        // Taller than the screen: the contents scroll, down to OK and Cancel.
        auto* bar = static_cast<TScrollBar*>(f->FindComponent(u"SB_Form"));
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->Visible());
        EXPECT_GT(ok->Top() + ok->Height(), f->ClientHeight());
        bar->SetPosition(bar->Max());
        const auto& c = f->Logic.C(u"Btn_OK");  // the same margin under OK as unscrolled
        EXPECT_EQ(f->ClientHeight() - (ok->Top() + ok->Height()), f->Logic.ClientHeight - (c.Top + c.Height));
        EXPECT_GT(ok->Top(), 0);
    }
    f->Hide();
}

TEST_F(UParGenTest, RenderedFormsOfThreeModels) {
    struct TShot {
        int model;
        const char* file;
    } shots[] = {{0, "ParGen_model0.png"}, {15, "ParGen_model15.png"}, {10, "ParGen_model10.png"}};
    for (const auto& s : shots) {
        auto f = Create(s.model);
        f->FormShow(f.get());
        if (s.model == 15) {
            // Version 3 with privacy, AES and the Hex box.
            f->Logic.User_Select(u"CB_PROFI_SNMP_Secure_Lev", 2);
            f->Logic.User_Select(u"CB_PROFI_SNMP_Priv_Mode", 1);
            f->Sync();
        }
        TBitmap bmp;
        RenderControlToBitmap(f.get(), bmp);
        EXPECT_EQ(bmp.Width(), f->ClientWidth());
        EXPECT_EQ(bmp.Height(), f->ClientHeight());
        // The form's own colour left of the boxes.
        EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(3, 300)), RGB(248, 247, 237)) << s.model;
        // OK and Cancel look as the buttons of every other window: the
        // shell's face inside a plain grey line.
        for (const char16_t* name : {u"Btn_OK", u"Btn_Cancel"}) {
            const TRect b = B(*f, name);
            EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(b.Left + 3, b.Top + 3)), TColor(0xEDF7F8)) << s.model;
            EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(b.Left, b.Top + 5)), clGray) << s.model;
            EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(b.Right - 1, b.Top + 5)), clGray) << s.model;
        }
        SaveControlToPng(f.get(), Utf8ToString(dir_.file(s.file)));
        EXPECT_TRUE(std::filesystem::exists(dir_.file(s.file)));
    }
}

TEST_F(UParGenTest, AFileThatCannotBeReadIsNamedAndTheDialogNotShown) {
    dir_.write("ParGen.xml", "<Par_Gen>");
    auto f = Create(4);
    TScriptedDialogService dialogs;
    EXPECT_THROW(f->ShowModal(), EAbort);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_NE(dialogs.Shown[0].Text.find(Path_ParGen), String::npos);
    EXPECT_FALSE(f->Visible());
}

TEST_F(UParGenTest, TypingAnAddressAndConfirmingWritesTheFile) {
    auto f = Create(4);
    TScriptedDialogService dialogs;
    dialogs.OnModalForm = [&](TCustomForm*) {
        auto* ip1 = static_cast<TEdit*>(f->Control(u"E_IP1"));
        ip1->SetFocus();
        ip1->SelectAll();
        SimulateText(u"192.168.0.10");
        EXPECT_EQ(static_cast<TEdit*>(f->Control(u"E_IP4"))->Text(), u"10");
        EXPECT_TRUE(f->Is_Change);
        SimulateClick(f->Control(u"Btn_OK"), 10, 10);
    };
    EXPECT_EQ(f->ShowModal(), mrOk);
    TParGenFile saved = TParGenFile::Load(Path_ParGen);
    EXPECT_EQ(saved.Text(u"PROFINET_IP1"), u"192");
    EXPECT_EQ(saved.Text(u"PROFINET_IP2"), u"168");
    EXPECT_EQ(saved.Text(u"PROFINET_IP3"), u"0");
    EXPECT_EQ(saved.Text(u"PROFINET_IP4"), u"10");
    EXPECT_TRUE(dialogs.Shown.empty());
}

// Capitals typed into the station name arrive in lower case and are saved so.
TEST_F(UParGenTest, TheStationNameTakesTypedCapitalsInLowerCase) {
    auto f = Create(4);
    TScriptedDialogService dialogs;
    dialogs.OnModalForm = [&](TCustomForm*) {
        auto* name = static_cast<TEdit*>(f->Control(u"E_Profinet_Name_Station"));
        name->SetFocus();
        name->SelectAll();
        SimulateText(u"Line-2A");
        EXPECT_EQ(name->Text(), u"line-2a");
        SimulateClick(f->Control(u"Btn_OK"), 10, 10);
    };
    EXPECT_EQ(f->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(TParGenFile::Load(Path_ParGen).Text(u"PROFINET_NAME_STA"), u"line-2a");
}

TEST_F(UParGenTest, CancelAsksAfterAChangeAndNoKeepsTheDialog) {
    auto f = Create(4);
    TScriptedDialogService dialogs;
    dialogs.AnswerBox(IDNO);
    dialogs.AnswerBox(IDYES);
    dialogs.OnModalForm = [&](TCustomForm*) {
        static_cast<TEdit*>(f->Control(u"E_IP4"))->SetText(u"6");
        SimulateClick(f->Control(u"Btn_Cancel"), 10, 10);
        EXPECT_EQ(f->ModalResult(), mrNone);
        EXPECT_EQ(static_cast<TEdit*>(f->Control(u"E_IP4"))->Text(), u"6");
        SimulateClick(f->Control(u"Btn_Cancel"), 10, 10);
    };
    EXPECT_EQ(f->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Do you want to exit without saving changes?");
    EXPECT_FALSE(std::filesystem::exists(dir_.file("ParGen.xml")));
}
