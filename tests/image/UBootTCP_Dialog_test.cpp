// The update dialog, shown modally and driven headless: the address page with
// its ping (scripted echoes, the loopback, a namespace where nothing answers),
// the option page, and the updater it starts (a stand-in built with the tests).
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/Icmp.h"
#include "framework/Simulate.h"
#include "framework/Threads.h"
#include "image/UBootTCP.h"
#include "shell/ShellState.h"
#include "shell/ULanguage.h"
#include "shell/UModel_Tables.h"
#include "support/NetNamespace.h"
#include "support/SimConverter.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

std::string StandIn() { return (fs::read_symlink("/proc/self/exe").parent_path() / "updater_stand_in").string(); }

// The arguments that the stand-in recorded.
std::vector<std::string> Arguments(const std::string& file) {
    std::vector<std::string> args;
    std::ifstream in(file, std::ios::binary);
    std::string arg;
    while (std::getline(in, arg, '\0')) args.push_back(arg);
    return args;
}

class UpdateDialog : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Use_Model(35);
        dlg.reset(new TFBootTCP(nullptr));
        dlg->AfterConstruction();
        dlg->Echo_Timeout_Ms = 40;
        dlg->Ping_Budget_Ms = 400;
    }
    void Use_Model(int model) {
        Model_Code = model;
        Set_Model_Strings();
    }
    // Echoes answered as the pattern says, one letter per echo (the last
    // letter repeats): 'a' answered, 's' silent, 'r' raises.
    void Script_Echoes(std::string pattern) {
        dlg->Echo = [this, pattern](const String& address, int) {
            const std::size_t n = echoes++;
            echoed = address;
            const char c = pattern[std::min(n, pattern.size() - 1)];
            if (c == 'r') throw EOSError(u"no such address");
            return c == 'a';
        };
    }
    // Shows the dialog; body runs while it is modal; closes it after.
    void Show(const std::function<void()>& body) {
        dialogs.OnModalForm = [&](TCustomForm*) {
            body();
            dlg->Close();
        };
        dlg->ShowModal();
    }
    // Pings with answered echoes and goes on to the option page.
    void To_Options() {
        Script_Echoes("a");
        dlg->Btn_Ping->Click();
        dlg->Btn_Next->Click();
        ASSERT_TRUE(dlg->Btn_Update->Visible());
    }
    TColor Label_Colour() const { return dlg->LPing->Font().Color(); }

    ExeFolder exe;
    TScriptedDialogService dialogs;
    std::unique_ptr<TFBootTCP> dlg;
    std::atomic<int> echoes{0};
    String echoed;
};

}  // namespace

TEST_F(UpdateDialog, ShowingFillsTheAddressFromTheLastOneAndNamesTheModel) {
    const struct {
        const char* last;
        const char* fields;
    } cases[] = {
        {"192.168.2.205", "192|168|2|205"},
        {" 10 . 1 .2. 3 ", "10|1|2|3"},
        {"192.168.2.256", "0|0|0|0"},
        {"1.2.3", "0|0|0|0"},
        {"a.b.c.d", "0|0|0|0"},
        {"", "0|0|0|0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        dlg.reset(new TFBootTCP(nullptr));
        dlg->AfterConstruction();
        Last_IP_Address = S(c.last);
        Show([&] {
            const String got = dlg->E_IP1->Text() + u"|" + dlg->E_IP2->Text() + u"|" + dlg->E_IP3->Text() + u"|" +
                               dlg->E_IP4->Text();
            EXPECT_EQ(got, S(c.fields));
        });
    }
    EXPECT_EQ(dlg->Caption(), u"Update Firmware from Etherner (UDP)");
    EXPECT_EQ(dlg->ClientWidth(), 350);
    EXPECT_EQ(dlg->ClientHeight(), 233);
    for (auto [model, prompt] : {std::pair{35, "Insert the IP Address of GX52806"},
                                 {25, "Insert the IP Address of GX529-K311"},
                                 {1018, "Insert the IP Address of RVX-TRP Desktop"},
                                 {2004, "Insert the IP Address of ZK-RS485QWT-091144"}}) {
        Use_Model(model);
        Show([&, prompt = prompt] { EXPECT_EQ(dlg->L_IP_Address->Caption(), S(prompt)); });
    }
}

TEST_F(UpdateDialog, ADotTypedInAnOctetMovesToTheNextOneExceptInTheLast) {
    Show([&] {
        dlg->E_IP1->SetFocus();
        SimulateText(u"10.0.0.5");
        EXPECT_EQ(dlg->E_IP1->Text(), u"10");
        EXPECT_EQ(dlg->E_IP2->Text(), u"0");
        EXPECT_EQ(dlg->E_IP3->Text(), u"0");
        EXPECT_EQ(dlg->E_IP4->Text(), u"5");
        SimulateText(u".");
        EXPECT_EQ(dlg->E_IP4->Text(), u"5.");
        EXPECT_EQ(dlg->FocusedControl(), dlg->E_IP4);
    });
}

TEST_F(UpdateDialog, ScriptedEchoesDecideTheResult) {
    const int rounds = dlg->Ping_Budget_Ms / dlg->Echo_Timeout_Ms;
    const struct {
        const char* pattern;
        int minEchoes, maxEchoes;
        int entry;
        bool found;
    } cases[] = {
        {"a", 2, 2, 82, true},
        {"s", rounds / 3, rounds + 1, 83, false},
        {"as", 2, 2, 82, true},  // the first answer sticks
        {"ssa", 4, 4, 82, true},
        {"r", 1, 1, 84, false},
        {"ar", 2, 2, 84, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        echoes = 0;
        Script_Echoes(c.pattern);
        Show([&] {
            dlg->E_IP4->SetText(u"7");
            dlg->Btn_Ping->Click();
        });
        EXPECT_GE(echoes, c.minEchoes);
        EXPECT_LE(echoes, c.maxEchoes);
        EXPECT_EQ(echoed, u"0.0.0.7");
        EXPECT_EQ(dlg->LPing->Caption(), Lang_Table[c.entry]);
        EXPECT_EQ(Label_Colour(), c.found ? clGreen : clRed);
        EXPECT_EQ(dlg->Esegui_Ping, c.found);
    }
}

TEST_F(UpdateDialog, NextWithoutAPingShowsAnErrorAndStays) {
    Show([&] {
        dlg->Btn_Next->Click();
        EXPECT_TRUE(dlg->E_IP1->Visible());
        EXPECT_FALSE(dlg->L_Options->Visible());
    });
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Device not found in network");
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_EQ(dialogs.Shown[0].Buttons, std::vector<int>{IDOK});
}

TEST_F(UpdateDialog, PingAndNextDoNothingWhileThePingRuns) {
    bool wasPinging = false;
    Cardinal nestedMs = 0;
    dlg->Echo = [&](const String&, int) {
        // Clicks that arrive while the loop lets messages run.
        if (++echoes == 2)
            TThread::Queue(nullptr, [&] {
                wasPinging = dlg->Pinging();
                const Cardinal t0 = GetTickCount();
                dlg->Btn_Ping->Click();
                dlg->Btn_Next->Click();
                nestedMs = GetTickCount() - t0;
            });
        return false;
    };
    Show([&] { dlg->Btn_Ping->Click(); });
    EXPECT_TRUE(wasPinging);
    EXPECT_LT(nestedMs, 100u);           // a nested ping would have run its whole budget
    EXPECT_TRUE(dialogs.Shown.empty());  // and "Next" showed no error
    EXPECT_EQ(dlg->LPing->Caption(), u"Device Not Found!");
}

// A new ping shows no result until it has one: the converter found by the
// last ping may be gone.
TEST_F(UpdateDialog, ANewPingClearsTheLastResultUntilItEnds) {
    String during;
    bool found_first = false;
    dlg->Echo = [&](const String&, int) {
        const int n = ++echoes;
        if (n == 3) TThread::Queue(nullptr, [&] { during = dlg->LPing->Caption(); });
        return n <= 2;
    };
    Show([&] {
        dlg->Btn_Ping->Click();
        found_first = dlg->Esegui_Ping;
        EXPECT_EQ(dlg->LPing->Caption(), u"Device Found!");
        dlg->Btn_Ping->Click();
    });
    EXPECT_TRUE(found_first);
    EXPECT_EQ(during, u"");
    EXPECT_EQ(dlg->LPing->Caption(), u"Device Not Found!");
}

TEST_F(UpdateDialog, ClosingTheDialogEndsThePing) {
    dlg->Ping_Budget_Ms = 60000;
    dlg->Echo = [&](const String&, int) {
        if (++echoes == 3) TThread::Queue(nullptr, [&] { dlg->Close(); });
        return false;
    };
    dialogs.OnModalForm = [&](TCustomForm*) { dlg->Btn_Ping->Click(); };
    const Cardinal t0 = GetTickCount();
    EXPECT_EQ(dlg->ShowModal(), mrCancel);
    EXPECT_LT(GetTickCount() - t0, 5000u);
    EXPECT_LE(echoes, 4);
}

TEST_F(UpdateDialog, TheLoopbackIsFoundAndNextLeadsToTheOptions) {
    dlg->Echo_Timeout_Ms = 400;
    dlg->Ping_Budget_Ms = 10000;
    try {
        Ping(kEchoAddress, 400);
    } catch (const Exception& e) {
        GTEST_SKIP() << "no echo can be sent here: " << StringToUtf8(e.Message());
    }
    TempDir out;
    Last_IP_Address = kEchoAddress;
    Show([&] {
        dlg->Btn_Ping->Click();
        EXPECT_EQ(dlg->LPing->Caption(), u"Device Found!");
        const String png = Utf8ToString(out.file("found.png"));
        SaveControlToPng(dlg.get(), png);
        TPngImage picture;
        picture.LoadFromFile(png);
        TBitmap bmp;
        bmp.SetSize(picture.Width(), picture.Height());
        bmp.Canvas().Draw(0, 0, picture);
        const TRect r = dlg->LPing->BoundsRect();
        int green = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) green += bmp.Canvas().Pixels(x, y) == clGreen;
        EXPECT_GT(green, 20);

        dlg->Btn_Next->Click();
        SaveControlToPng(dlg.get(), Utf8ToString(out.file("options.png")));
        const struct {
            TControl* control;
            int left, top;
        } placed[] = {{dlg->L_Options, 16, 75}, {dlg->CB_Firmware, 36, 96}, {dlg->CB_Read_Firm, 56, 119},
                      {dlg->CB_Conf, 36, 142}, {dlg->CB_Read_Conf, 56, 165}};
        for (const auto& p : placed) {
            EXPECT_TRUE(p.control->Visible()) << StringToUtf8(p.control->Name());
            EXPECT_EQ(p.control->Left(), p.left) << StringToUtf8(p.control->Name());
            EXPECT_EQ(p.control->Top(), p.top) << StringToUtf8(p.control->Name());
        }
        EXPECT_TRUE(dlg->Btn_Update->Visible());
        EXPECT_EQ(dlg->Btn_Update->Left(), 16);
        for (TControl* gone : std::initializer_list<TControl*>{dlg->E_IP1, dlg->Btn_Ping, dlg->Btn_Next, dlg->Btn_Cancel})
            EXPECT_FALSE(gone->Visible()) << StringToUtf8(gone->Name());
    });
    EXPECT_EQ(Last_IP_Address, u"127.0.0.1");
}

TEST_F(UpdateDialog, AnAddressThatNeverAnswersIsNotFound) {
    const std::string why = RunInNetNamespace([] {});
    if (!why.empty()) GTEST_SKIP() << why;
    dlg->Echo_Timeout_Ms = 400;
    dlg->Ping_Budget_Ms = 1000;
    // Each echo goes out from inside a namespace where the address is routed
    // into nothing.
    dlg->Echo = [](const String& address, int timeoutMs) {
        bool answered = true;
        RunInNetNamespace([&] { answered = Ping(address, timeoutMs).Answered; });
        return answered;
    };
    Last_IP_Address = S(kSilentAddress);
    const Cardinal t0 = GetTickCount();
    Show([&] { dlg->Btn_Ping->Click(); });
    EXPECT_GE(GetTickCount() - t0, 1000u);
    EXPECT_EQ(dlg->LPing->Caption(), u"Device Not Found!");
    EXPECT_EQ(Label_Colour(), clRed);
}

// ---------------------------------------------------------------------------
// The updater
// ---------------------------------------------------------------------------

namespace {

// The executable folder with the stand-in under the updater's name, a
// firmware folder and an open project.
class Updater : public UpdateDialog {
protected:
    void Prepare(int model, const std::string& program) {
        Use_Model(model);
        dlg.reset(new TFBootTCP(nullptr));
        dlg->AfterConstruction();
        Project_Dir = Exe_Dir + u"/PROJECTS/Plant A";
        Path_ParGen = Project_Dir + u"/ParGen.xml";
        fs::create_directories(StringToUtf8(Project_Dir) + "/bin");
        exe.dir.write("MASTER/Sim52806_K64.sim", "firmware");
        if (!program.empty()) {
            fs::copy_file(StandIn(), exe.dir.file(program));
            fs::permissions(exe.dir.file(program), fs::perms::owner_all);
        }
        Last_IP_Address = u"192.168.2.205";
    }
    // Runs the update with the boxes given (firmware, read firmware, project,
    // read project).
    void Update(std::array<bool, 4> boxes = {true, true, true, true}) {
        Show([&] {
            To_Options();
            dlg->CB_Firmware->SetChecked(boxes[0]);
            dlg->CB_Read_Firm->SetChecked(boxes[1]);
            dlg->CB_Conf->SetChecked(boxes[2]);
            dlg->CB_Read_Conf->SetChecked(boxes[3]);
            dlg->Btn_Update->Click();
            EXPECT_TRUE(dlg->Btn_Update->Visible());  // the dialog stays on the option page
        });
    }
    std::vector<std::string> Args() const { return Arguments(exe.dir.file("args.bin")); }
    std::string Master() const { return exe.dir.file("MASTER"); }
    std::string Bin() const { return StringToUtf8(Project_Dir) + "/bin"; }
};

}  // namespace

TEST_F(Updater, Model35WritesItsJobBeforeTheUpdaterStartsWithoutArguments) {
    Prepare(35, "Ethernet_Update.exe");
    Update();
    EXPECT_TRUE(dialogs.Shown.empty());
    ASSERT_TRUE(fs::exists(exe.dir.file("ended")));
    EXPECT_TRUE(Args().empty());
    const TUpdate_Context ctx = TUpdate_Context::From_Globals(u"192.168.2.205", {});
    EXPECT_EQ(exe.dir.read("job_at_start.xml"), Update_Job_Text(ctx));
    EXPECT_NE(exe.dir.read("job_at_start.xml").find("Sim52806_K64.sim"), std::string::npos);
}

TEST_F(Updater, CommandLineModelsGetTheAddressTheBoxesAndThePaths) {
    Prepare(1, "TCP_52831_Update.exe");
    exe.dir.write("MASTER/sim52831.sim", "firmware");
    Update();
    EXPECT_EQ(Args(), (std::vector<std::string>{"192.168.2.205", "2007", "FW", "FR", "PW", "PR",
                                                Master() + "/sim52831.sim", Bin() + "/bank.bin"}));
    EXPECT_FALSE(fs::exists(exe.dir.file("Ethernet_Update.xml")));  // no job for these models

    fs::remove(exe.dir.file("args.bin"));
    Prepare(7, "TCP_52823_Update.exe");
    Update({false, false, false, false});
    EXPECT_EQ(Args(), (std::vector<std::string>{"192.168.2.205", "2007", "NO", "NO", "NO", "NO",
                                                Master() + "/sim52823.sim", Bin()}));
}

TEST_F(Updater, PartnerVariantsStartTheirOwnUpdaters) {
    for (auto [model, program] : {std::pair{1018, "Ethernet_Update_PA.exe"}, {2004, "Ethernet_Update_PBX.exe"}}) {
        SCOPED_TRACE(model);
        fs::remove(exe.dir.file("ended"));
        Prepare(model, program);
        Update();
        EXPECT_TRUE(fs::exists(exe.dir.file("ended")));
        EXPECT_TRUE(dialogs.Shown.empty());
    }
}

TEST_F(Updater, AMissingUpdaterOrAJobThatCannotBeWrittenIsShown) {
    Prepare(35, "");
    Update();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_NE(dialogs.Shown[0].Text.find(Exe_Dir + u"/Ethernet_Update.exe"), String::npos);

    dialogs.Shown.clear();
    Prepare(35, "Ethernet_Update.exe");
    fs::remove(exe.dir.file("Ethernet_Update.xml"));
    fs::create_directory(exe.dir.file("Ethernet_Update.xml"));  // its place is taken
    Update();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_NE(dialogs.Shown[0].Text.find(u"The update job cannot be written"), String::npos);
    EXPECT_FALSE(fs::exists(exe.dir.file("args.bin")));  // no updater started
}

TEST_F(Updater, AnUpdaterStillRunningAfterTheWaitIsLeftRunning) {
    Prepare(35, "Ethernet_Update.exe");
    exe.dir.write("sleep_ms", "1200");
    dlg->Updater_Wait_Ms = 200;
    const Cardinal t0 = GetTickCount();
    Update();
    EXPECT_GE(GetTickCount() - t0, 200u);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_FALSE(fs::exists(exe.dir.file("ended")));  // returned while it still runs
    // Wait for the stand-in, so that it does not outlive its folder.
    const Cardinal t1 = GetTickCount();
    while (!fs::exists(exe.dir.file("ended")) && GetTickCount() - t1 < 10000) Sleep(20);
    EXPECT_TRUE(fs::exists(exe.dir.file("ended")));
}
