// The scan window shown headless over a stepped scan thread and the simulated
// converter: its styles and buttons through a wired scan, the progress list
// (also rendered), saving the network with the questions and dialogs on the
// way, a failed set-up, closing during a scan, the layout of the parameter
// rows, and the wireless half with its grid, key entry and saving.
#include "ScanWindowFixture.h"

#include "controls/FlatButton.h"
#include "framework/ExtCtrls.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "grid/ExCGrid.h"
#include "mbus/MBusNetwork.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanModbusStart.h"

#include <chrono>
#include <thread>

namespace {

ByteString Bytes(const TBytes& b) { return ByteString(b.begin(), b.end()); }

const ByteString Disable = "Korvia_Disable_Analyzer_Mode";

std::vector<String> Lines(TListBox* list) {
    std::vector<String> out;
    for (int i = 0; i < list->Items().Count(); ++i) out.push_back(list->Items()[i]);
    return out;
}

// Per node of a network file, the Modbus register of its first variable.
std::vector<int> First_Registers(const String& file) {
    TXmlDocument doc;
    doc.LoadFromFile(file);
    std::vector<int> out;
    for (const TXmlNode& n : doc.DocumentElement().Children())
        out.push_back(StrToIntDef(n.Child(0).AttributeOr(u"ModReg", u""), -1));
    return out;
}

}  // namespace

TEST_F(ScanWindow, WiredScanRunsThroughItsStylesAndSavesTheNetwork) {
    sim.SetFrameAnswer(Build_REQ_UD2(2, 0, false, 0), Bytes(Example_Frame));
    const String file = win->FileName_MBus;
    Show([&] {
        // The converter's address from the project, style 1.
        EXPECT_EQ(win->E_IP1->Text() + u"." + win->E_IP2->Text() + u"." + win->E_IP3->Text() + u"." +
                      win->E_IP4->Text(),
                  u"127.0.0.2");
        EXPECT_EQ(win->Caption(), u"Scan & Decode");
        EXPECT_EQ(win->Style(), 1);
        EXPECT_TRUE(win->Btn_StartScan->Visible());
        EXPECT_FALSE(win->Btn_StopScan->Visible());
        EXPECT_FALSE(win->P_TreeView->Visible());
        EXPECT_FALSE(win->CB_HardwareType->Enabled());
        EXPECT_EQ(win->CB_HardwareType->Text(), u"Ethernet");

        win->Btn_StartScan->Click();
        EXPECT_EQ(win->Style(), 2);
        EXPECT_TRUE(win->T_InScan->Enabled());
        EXPECT_EQ(win->L_ScanProgress->Caption(), u"Scan in Progress...");
        EXPECT_TRUE(win->LB_AvailableDevice->Visible());
        EXPECT_FALSE(win->L_Num_Slave->Visible());
        EXPECT_EQ(win->Btn_StopScan->Left(), win->Btn_StartScan->Left());
        EXPECT_EQ(win->Btn_AbortScan->Left(), win->Btn_StopScan->Left() + win->Btn_StopScan->Width() + 8);
        EXPECT_TRUE(win->Btn_AbortScan->Visible());
        EXPECT_FALSE(win->Btn_StartScan->Visible());
        // A second start while this one runs.
        win->BtnClick(win->Btn_StartScan);
        EXPECT_EQ(Boxes(diError), std::vector<String>{u"Another Scan Operation in Progress. Try again when finish"});

        for (int i = 0; i < 20000 && win->LB_AvailableDevice->Items().Count() < 3; ++i) Step();
        EXPECT_EQ(Lines(win->LB_AvailableDevice),
                  (std::vector<String>{u"ID = 0\t[NOT FOUND]", u"ID = 1\t[NOT FOUND]", u"ID = 2\t"}));
        // The poll keeps waiting while the scan runs.
        win->T_InScanTimer(nullptr);
        EXPECT_TRUE(win->T_InScan->Enabled());
        EXPECT_EQ(win->Style(), 2);

        win->Btn_StopScan->Click();
        Run();
        EXPECT_EQ(sim.Received().back().Data, Disable);
        win->T_InScanTimer(nullptr);
        EXPECT_FALSE(win->T_InScan->Enabled());
        EXPECT_EQ(win->Style(), 3);
        EXPECT_EQ(win->L_ScanProgress->Caption(), u"Number of Slaves");
        EXPECT_EQ(win->L_Num_Slave->Caption(), u"1");
        EXPECT_FALSE(win->LB_AvailableDevice->Visible());
        EXPECT_TRUE(win->Btn_NewScan->Visible());
        EXPECT_EQ(win->Btn_NewScan->Left(), win->Btn_StartScan->Left());
        EXPECT_EQ(win->Btn_SaveConf->Left(), win->Btn_AbortScan->Left());
        EXPECT_FALSE(win->Btn_SaveConfManual->Visible()) << "code 11";

        // A new file, then each answer to the question about the existing one.
        win->CB_Opt_Check_BCD_to_Int->SetChecked(true);
        win->Btn_SaveConf->Click();
        EXPECT_EQ(dir.read("M_Bus.xml"), Example_Network_Xml);
        EXPECT_EQ(Boxes(diInformation).back().substr(0, 20), u"Configuration saved!");
        dialogs.AnswerBox(mrYes);
        win->Btn_SaveConf->Click();
        EXPECT_EQ(dialogs.Shown.back().Text.substr(0, 20), u"Configuration saved!");
        EXPECT_EQ(First_Registers(file).size(), 2u);
        EXPECT_EQ(dialogs.Shown[dialogs.Shown.size() - 2].Text,
                  u"File XML already exists. Do you want to add to this file?");
        dialogs.AnswerBox(mrNo);
        win->Btn_SaveConf->Click();
        EXPECT_EQ(First_Registers(file).size(), 1u);
        const std::string before = dir.read("M_Bus.xml");
        const std::size_t shown = dialogs.Shown.size();
        dialogs.AnswerBox(mrCancel);
        win->Btn_SaveConf->Click();
        EXPECT_EQ(dir.read("M_Bus.xml"), before);
        EXPECT_EQ(dialogs.Shown.size(), shown + 1) << "the question only";

        win->Btn_NewScan->Click();
        EXPECT_EQ(win->Style(), 1);
        EXPECT_TRUE(MBus_Slave_List.empty());
    });
}

TEST_F(ScanWindow, NodeAddressesAndStartRegisterComeFromTheirDialogs) {
    TFModbusStartAdd_SD addresses(nullptr);
    addresses.AfterConstruction();
    TFScanModbusStart start(nullptr);
    start.AfterConstruction();
    FModbusStartAdd_SD = &addresses;
    FScanModbusStart = &start;
    const String file = win->FileName_MBus;
    win->XML_Code_Dev = 0;
    Add_Example_Meter(2);
    Add_Example_Meter(3, {0x79, 0x56, 0x34, 0x12});
    Add_Example_Meter(4, {0x80, 0x56, 0x34, 0x12});
    int rows = 0;
    std::vector<String> names;
    Show([&] {
        win->T_InScanTimer(nullptr);  // no scan running: the results as they are
        ASSERT_EQ(win->Style(), 3);
        ASSERT_TRUE(win->Btn_SaveConfManual->Visible()) << "code 0";
        for (int code : {6, 11, 15, 20}) {
            win->XML_Code_Dev = code;
            win->Form_Style(3);
            EXPECT_FALSE(win->Btn_SaveConfManual->Visible()) << code;
        }
        win->XML_Code_Dev = 0;
        win->Form_Style(3);
        EXPECT_EQ(win->Btn_SaveConfManual->Left(), win->Btn_SaveConf->Left() + win->Btn_SaveConf->Width() + 8);

        onDialog = [&](TCustomForm* form) {
            ASSERT_EQ(form, &addresses);
            rows = addresses.sga->RowCount();
            for (int r = 1; r < rows; ++r) {
                names.push_back(addresses.sga->GetCellEx(0, r));
                EXPECT_EQ(addresses.sga->GetCellEx(1, r), u"1");
            }
            addresses.sga->SetCellEx(1, 2, u"40");
            addresses.Btn_OK->Click();
        };
        win->Btn_SaveConfManual->Click();
        EXPECT_EQ(rows, 4);
        EXPECT_EQ(names, (std::vector<String>{u"2 - 12345678", u"3 - 12345679", u"4 - 12345680"}));
        EXPECT_EQ(First_Registers(file), (std::vector<int>{1, 40, 1}));
        // A code without the dialog: no start address of that earlier save is used.
        win->XML_Code_Dev = 10;
        win->Form_Style(3);
        ASSERT_TRUE(win->Btn_SaveConfManual->Visible());
        onDialog = [&](TCustomForm* form) { ADD_FAILURE() << StringToUtf8(form->Name()); };
        dialogs.AnswerBox(mrNo);
        win->Btn_SaveConfManual->Click();
        EXPECT_EQ(First_Registers(file), (std::vector<int>{1, 1, 1}));
        win->XML_Code_Dev = 0;

        // Appending asks for the first register; a cancelled dialog writes nothing.
        onDialog = [&](TCustomForm* form) {
            ASSERT_EQ(form, &start);
            start.SetModalResult(mrCancel);
        };
        const std::string before = dir.read("M_Bus.xml");
        dialogs.AnswerBox(mrYes);
        win->Btn_SaveConf->Click();
        EXPECT_EQ(dir.read("M_Bus.xml"), before);
        onDialog = [&](TCustomForm* form) {
            ASSERT_EQ(form, &start);
            start.E_StartModAdd->SetText(u"100");
            start.Btn_OK->Click();
        };
        dialogs.AnswerBox(mrYes);
        win->Btn_SaveConf->Click();
        const std::vector<int> regs = First_Registers(file);
        ASSERT_EQ(regs.size(), 6u);
        EXPECT_EQ(regs[3], 100);
    });
    FModbusStartAdd_SD = nullptr;
    FScanModbusStart = nullptr;
}

TEST_F(ScanWindow, FailedSetUpAndEmptyScanEndAsTheyShould) {
    sim.SetSilent(true);
    Show([&] {
        win->Btn_StartScan->Click();
        Run();
        win->T_InScanTimer(nullptr);
        EXPECT_EQ(Boxes(diError), std::vector<String>{u"Error! Device Analyzer not found"});
        EXPECT_EQ(win->Style(), 1);
        EXPECT_TRUE(win->Btn_StartScan->Visible());

        // A secondary search that finds nobody.
        sim.SetSilent(false);
        win->CB_ScanBy->SetItemIndex(1);
        win->Btn_StartScan->Click();
        Run();
        win->T_InScanTimer(nullptr);
        EXPECT_EQ(win->Style(), 3);
        EXPECT_EQ(win->L_Num_Slave->Caption(), u"0");
        EXPECT_EQ(Lines(win->LB_AvailableDevice),
                  (std::vector<String>{u"Start Scan By Secondary Address", u"Finish Scan By Secondary Address"}));
    });
}

TEST_F(ScanWindow, ClosingDuringAScanEndsItThroughTheConverter) {
    Show([&] {
        win->Btn_StartScan->Click();
        for (int i = 0; i < 1000 && sim.Received().size() < 4; ++i) Step();
        ASSERT_EQ(sim.Received().back().Data, Build_REQ_UD2(0, 0, false, 0));
    });
    // Closed: the poll is off, the thread runs on until the scan has left.
    EXPECT_FALSE(win->T_InScan->Enabled());
    EXPECT_TRUE(win->T_Closing->Enabled());
    EXPECT_EQ(scan->Event_Run.WaitFor(0), wrSignaled);
    win->T_ClosingTimer(nullptr);
    EXPECT_EQ(scan->Event_Run.WaitFor(0), wrSignaled) << "still scanning";
    Run();
    EXPECT_EQ(sim.Received().back().Data, Disable);
    EXPECT_EQ(scan->Result(), 1);
    win->T_ClosingTimer(nullptr);
    EXPECT_FALSE(win->T_Closing->Enabled());
    EXPECT_EQ(scan->Event_Run.WaitFor(0), wrTimeout);
    // Reopened, it shows style 1 and lets the thread run.
    Show([&] {
        EXPECT_EQ(win->Style(), 1);
        EXPECT_EQ(scan->Event_Run.WaitFor(0), wrSignaled);
    });
    EXPECT_EQ(scan->Event_Run.WaitFor(0), wrTimeout);
}

TEST_F(ScanWindow, ParameterRowsFollowFormTypeAndMethod) {
    const struct {
        int formType;
        int method;
        int code;
        int clientHeight;
        std::vector<TControl*> shown, hidden;
        String port;
        bool portEnabled;
    } cases[] = {
        {0, 0, 11, 523, {win->CB_ScanBy, win->CB_MBus_Baud, win->E_Opt_Cut_After, win->CB_Opt_Use_Fix_C_Field_Value},
         {win->CB_ScanMethod, win->E_Port, win->CB_wMBus_Mode, win->CB_ComPort}, u"502", true},
        {1, 0, 11, 571, {win->CB_ScanMethod, win->CB_ScanBy, win->CB_Opt_App_Reset},
         {win->E_Port, win->CB_wMBus_Radio_Channel}, u"502", true},
        {1, 1, 11, 571, {win->CB_ScanMethod, win->E_Port, win->CB_wMBus_Mode, win->CB_wMBus_Radio_Channel,
                         win->CB_Opt_Check_BCD_to_Int},
         {win->CB_ScanBy, win->CB_MBus_Baud, win->CB_MBus_Parity, win->CB_Opt_SND_NKE, win->E_Opt_Cut_After}, u"502",
         true},
        {1, 1, 12, 571, {win->E_Port}, {}, u"10001", false},
        {1, 1, 18, 571, {win->E_Port}, {}, u"10001", true},
        {1, 1, 15, 571, {win->E_Port}, {}, u"10001", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.formType) + "/" + std::to_string(c.method) + "/" + std::to_string(c.code));
        win->Form_Type = c.formType;
        win->XML_Code_Dev = c.code;
        win->E_Port->SetText(u"502");
        Show([&] {
            win->CB_ScanMethod->SetItemIndex(c.method);
            win->CB_HardwareTypeChange(win->CB_ScanMethod);
            EXPECT_EQ(win->ClientHeight(), c.clientHeight);
            for (TControl* s : c.shown) EXPECT_TRUE(s->Visible()) << StringToUtf8(s->Name());
            for (TControl* h : c.hidden) EXPECT_FALSE(h->Visible()) << StringToUtf8(h->Name());
            EXPECT_EQ(win->E_Port->Text(), c.port);
            EXPECT_EQ(win->E_Port->Enabled(), c.portEnabled);
            // Rows stand 24 pixels apart, 32 before a section title; fields at 176.
            const int first = c.formType == 1 ? win->CB_ScanMethod->Top() : win->CB_ScanBy->Top();
            EXPECT_EQ(first, 12);
            EXPECT_EQ(win->CB_HardwareType->Top(), first + (c.formType == 1 && c.method == 0 ? 48 : 24));
            EXPECT_EQ(win->L_MBus_ParGen->Left(), 16);
            EXPECT_EQ(win->L_HardwareType->Left(), 32);
            EXPECT_EQ(win->CB_HardwareType->Left(), 176);
            EXPECT_EQ(win->E_IP2->Left() - win->E_IP1->Left(), 66);
            EXPECT_EQ(win->L_MBus_ParGen->Top() - 3, win->E_IP1->Top() + (c.method == 1 ? 56 : 32));
        });
    }
    // A dot typed into an address edit moves on and is never entered.
    win->Form_Type = 0;
    Show([&] {
        win->E_IP1->SetText(u"");
        win->E_IP1->SetFocus();
        SimulateText(u"10.");
        EXPECT_EQ(win->E_IP1->Text(), u"10");
        EXPECT_TRUE(win->E_IP2->Focused());
        win->E_IP4->SetFocus();
        SimulateText(u".");
        EXPECT_EQ(win->E_IP4->Text(), u"2");
        EXPECT_TRUE(win->E_IP4->Focused());
    });
}

TEST_F(ScanWindow, ProgressListDrawsFoundLinesBlueAndMissingOnesRedInTwoColumns) {
    Show([&] {
        win->Form_Style(2);
        win->Update_Scan_Progress(1, 0, 0, 1);  // phase 1 of a primary search adds nothing
        win->Update_Scan_Progress(2, 7, 1, 1);
        win->Update_Scan_Progress(2, 8, 0, 1);
        win->Update_Scan_Progress(2, 0x12345678, 1, 2);
        ASSERT_EQ(Lines(win->LB_AvailableDevice),
                  (std::vector<String>{u"ID = 7\t", u"ID = 8\t[NOT FOUND]", u"ID = 12345678"}));
        TBitmap bmp;
        RenderControlToBitmap(win->LB_AvailableDevice, bmp);
        // Client coordinates inside the list's border.
        const int edge = (win->LB_AvailableDevice->Width() - win->LB_AvailableDevice->ClientWidth()) / 2;
        const int h = win->LB_AvailableDevice->ItemHeight();
        // Colour counts per line and, for the red line, the columns.
        auto count = [&](int line, TColor colour, int x0, int x1) {
            int n = 0;
            for (int y = line * h; y < (line + 1) * h; ++y)
                for (int x = x0; x < x1; ++x) n += bmp.Canvas().Pixels(x + edge, y + edge) == colour;
            return n;
        };
        const int w = win->LB_AvailableDevice->ClientWidth();
        EXPECT_GT(count(0, clBlue, 0, w), 10);
        EXPECT_EQ(count(0, clRed, 0, w), 0);
        EXPECT_GT(count(1, clRed, 0, 60), 10) << "ID = 8";
        EXPECT_EQ(count(1, clRed, 55, 70), 0) << "the first column ends at 70";
        EXPECT_GT(count(1, clRed, 70, 78), 0) << "[NOT FOUND] starts at 70";
        EXPECT_EQ(count(1, clBlue, 0, w), 0);
        EXPECT_GT(count(2, clBlue, 0, w), 10);
    });
}

namespace {

// Steps the wireless machine until done() holds, running the queued reports
// meanwhile; false after 5 s. Step_Ms moves the test's clock per step.
template <class TDone>
bool Step_Wireless_Until(TMBusScanDecode& scan, TDone done, std::atomic<Cardinal>* now = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        scan.Scan_Decode_Wireless();
        CheckSynchronize(1);
        if (now) *now += 40;
    }
    return true;
}

}  // namespace

TEST_F(ScanWindow, WirelessPortMustBeANumberUpTo65535) {
    win->Form_Type = 1;
    win->Wireless_Local_Address = u"127.0.0.1";
    Show([&] {
        win->CB_ScanMethod->SetItemIndex(1);
        win->CB_HardwareTypeChange(win->CB_ScanMethod);
        for (const char16_t* port : {u"70000", u"abc", u"-1"}) {
            win->E_Port->SetText(port);
            win->Btn_StartScan->Click();
            EXPECT_EQ(win->Style(), 1) << StringToUtf8(port);
        }
        EXPECT_EQ(Boxes(diError), std::vector<String>(3, u"Port must be between 0 and 65535"));
        for (const char16_t* port : {u"0", u"65535"}) {
            win->E_Port->SetText(port);
            win->Btn_StartScan->Click();
            EXPECT_EQ(win->Style(), 4) << StringToUtf8(port);
            win->Btn_AbortScan->Click();
            // Nobody answers there: the waits end by the test's clock.
            EXPECT_TRUE(Step_Wireless_Until(*scan, [&] { return !scan->InScan(); }, &now));
            win->Form_Style(1);
        }
        EXPECT_EQ(Boxes(diError).size(), 3u);
    });
}

TEST_F(ScanWindow, WirelessScanFillsTheGridTakesAKeyAndSaves) {
    TFInsertKeyWireless keyDialog(nullptr);
    keyDialog.AfterConstruction();
    FInsertKeyWireless = &keyDialog;
    win->Form_Type = 1;
    win->Wireless_Local_Address = u"127.0.0.1";
    const String file = win->FileName_MBus;
    int keyDialogs = 0;
    Show([&] {
        win->CB_ScanMethod->SetItemIndex(1);
        win->CB_HardwareTypeChange(win->CB_ScanMethod);
        win->E_Port->SetText(IntToStr(sim.Port()));
        win->Btn_StartScan->Click();
        ASSERT_EQ(win->Style(), 4);
        EXPECT_TRUE(win->P_View_Wireless->Visible());
        EXPECT_FALSE(win->P_TreeView->Visible());
        // The grid's panel, 200 pixels high, the splitter under it, the tree below.
        EXPECT_EQ(win->P_Grid_Wireless->Height(), 200);
        EXPECT_EQ(win->Splitter_Wireless->Top(), 200);
        EXPECT_EQ(win->Splitter_Wireless->Height(), 4);
        ASSERT_TRUE(Step_Wireless_Until(*scan, [&] { return scan->Step() == 134; }));

        TExColumnGrid* g = win->EXG_Wireless;
        auto wait_cell = [&](int col, int row, const String& text) {
            for (int i = 0; i < 2000 && g->GetCellEx(col, row) != text; ++i) CheckSynchronize(1);
            return g->GetCellEx(col, row) == text;
        };
        ASSERT_TRUE(sim.Push(Bytes(Telegram5_At)));
        ASSERT_TRUE(wait_cell(0, 1, u"1"));
        EXPECT_EQ(g->GetCellEx(2, 1), u"0x44");
        EXPECT_EQ(g->GetCellEx(4, 1), u"12345678");
        EXPECT_EQ(g->GetCellEx(5, 1), u"51 (33)");
        EXPECT_EQ(g->GetCellEx(6, 1), u"3 (03)");
        EXPECT_EQ(g->GetCellEx(11, 1), u"-92");
        EXPECT_EQ(g->GetImageIdx(12, 1), 0);
        EXPECT_EQ(g->GetCellProperties(5, 1)->BrushColor(), TColor(12172287));
        EXPECT_EQ(g->GetCellProperties(12, 1)->BrushColor(), TColor(12172287));

        // A click shows the meter in the tree; a double click asks for its key.
        const TRect cell = g->CellRect(3, 1);
        SimulateClick(g, cell.Left + 5, cell.Top + 5);
        EXPECT_EQ(win->Wireless_Tree_Slave(), 0);
        onDialog = [&](TCustomForm* form) {
            ASSERT_EQ(form, &keyDialog);
            ++keyDialogs;
            keyDialog.E_Key->SetText(u"0102030405060708090A0B0C0D0E0F11");
            keyDialog.Btn_OK->Click();
        };
        const std::size_t before = sim.Received().size();
        SimulateDblClick(g, cell.Left + 5, cell.Top + 5);
        EXPECT_EQ(keyDialogs, 1);
        // Placed inside the window's client area.
        const TPoint client_end = win->ClientToScreen(TPoint{win->ClientWidth(), win->ClientHeight()});
        EXPECT_LE(keyDialog.Left() + keyDialog.Width(), client_end.X);
        EXPECT_LE(keyDialog.Top() + keyDialog.Height(), client_end.Y);
        // The key goes to the module (the AT-command key loading ends with "ATO\r").
        ASSERT_TRUE(Step_Wireless_Until(
            *scan, [&] { return scan->Step() == 134 && sim.Received().size() >= before + 27; }));
        ASSERT_TRUE(sim.Push(Bytes(Telegram5_At)));
        for (int i = 0; i < 2000 && g->GetImageIdx(12, 1) != 1; ++i) CheckSynchronize(1);
        ASSERT_EQ(g->GetImageIdx(12, 1), 1);
        EXPECT_EQ(g->GetCellProperties(5, 1)->BrushColor(), TColor(11075496));
        EXPECT_EQ(g->RowCount(), 2);
        // A meter that is not encrypted asks for no key.
        SimulateDblClick(g, cell.Left + 5, cell.Top + 5);
        EXPECT_EQ(keyDialogs, 1);

        win->Btn_StopScan->Click();
        ASSERT_TRUE(Step_Wireless_Until(*scan, [&] { return !scan->InScan(); }));
        win->T_InScanTimer(nullptr);
        EXPECT_EQ(win->Style(), 5);
        EXPECT_TRUE(win->Btn_SaveConfManual->Visible());
        win->Btn_SaveConf->Click();
        TNodi_List net;
        EXPECT_EQ(Read_MBus_Network(file, 10, net), u"");
        ASSERT_EQ(net.size(), 1u);
        EXPECT_EQ(net[0]->Var_List.size(), 3u) << "the idle fillers are left out";
        EXPECT_EQ(Boxes(diInformation).size(), 1u);
    });
    FInsertKeyWireless = nullptr;
}

// The window as the program makes it: its own running thread, gated by the
// window being shown, and its real poll timer.
TEST_F(ScanWindow, OwnThreadRunsWhileShownAndItsTimerReportsTheFailedSetUp) {
    TFScanDecode own(nullptr);
    own.AfterConstruction();
    own.TR_ScanDecode->Converter_Port = sim.Port();
    own.XML_Code_Dev = 11;  // the converter's address from the project
    EXPECT_EQ(own.TR_ScanDecode->Event_Run.WaitFor(0), wrTimeout);
    sim.AnswerNextWith("\n\rDone!");  // not the analyzer's reply
    dialogs.OnModalForm = [&](TCustomForm* form) {
        ASSERT_EQ(form, &own);
        EXPECT_EQ(own.TR_ScanDecode->Event_Run.WaitFor(0), wrSignaled);
        own.Btn_StartScan->Click();
        EXPECT_EQ(own.Style(), 2);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (own.Style() == 2 && std::chrono::steady_clock::now() < end) {
            Application->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        own.Close();
    };
    own.ShowModal();
    EXPECT_EQ(own.Style(), 1);
    EXPECT_EQ(Boxes(diError), std::vector<String>{u"Error! Device Analyzer not found"});
    EXPECT_EQ(own.TR_ScanDecode->Event_Run.WaitFor(0), wrTimeout);
    ASSERT_FALSE(sim.Received().empty());
    EXPECT_EQ(sim.Received().back().Data, Disable);
}
