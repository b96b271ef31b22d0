// The diagnostics window shown modally and driven headless: its pages and
// grids as laid out, its Write Status list chosen by mouse and keys, its
// buttons against the simulated converter on the loopback (datagrams both
// ways through the window's grids), its pages rendered, and a listening port
// that is taken.
#include "framework/Dialogs.h"
#include "framework/Graphics.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "framework/Udp.h"
#include "grid/ExCGrid.h"
#include "image/UAdvanceFunctions.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/SimConverter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>

namespace {

ByteString Bytes(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

constexpr const char* Par_Gen_Xml =
    "<Par_Gen><PROFINET_IP1>127</PROFINET_IP1><PROFINET_IP2>0</PROFINET_IP2>"
    "<PROFINET_IP3>0</PROFINET_IP3><PROFINET_IP4>2</PROFINET_IP4></Par_Gen>";

std::string Requests() {
    std::string xml = "<EtherNetIP_to_Modbus><Modbus_Read>";
    for (int i = 0; i < 3; ++i)
        xml += "<row Slave_ID=\"" + std::to_string(i + 1) +
               "\" Type=\"HOLDING REGISTER\" Address=\"0\" NPoint=\"10\" Mnemonic=\"Level\"/>";
    xml += "</Modbus_Read><Modbus_Write>";
    for (int i = 0; i < 2; ++i) xml += "<row Slave_ID=\"9\" Type=\"COIL STATUS\" Address=\"100\" NPoint=\"1\"/>";
    return xml + "</Modbus_Write></EtherNetIP_to_Modbus>\r\n";
}

class DiagnosticsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        saved_ = {Path_ParGen, Path_ModbusM_SetAccess};
        dir.write("ParGen.xml", Par_Gen_Xml);
        dir.write("ModbusM_SetAccess.xml", Requests());
        Path_ParGen = Utf8ToString(dir.file("ParGen.xml"));
        Path_ModbusM_SetAccess = Utf8ToString(dir.file("ModbusM_SetAccess.xml"));
        sim.Start();
        win.reset(new TFAdvanceFunctions(nullptr));
        win->AfterConstruction();
        win->Functions.Local_Port = 0;
        win->Functions.Converter_Port = sim.Port();
    }
    void TearDown() override {
        win.reset();
        Path_ParGen = saved_.first;
        Path_ModbusM_SetAccess = saved_.second;
    }
    // Shows the window; body runs while it is modal; "Exit" closes it.
    TModalResult Show(const std::function<void()>& body) {
        dialogs.OnModalForm = [&](TCustomForm*) {
            body();
            win->Btn_Exit->Click();
        };
        return win->ShowModal();
    }
    // Clicks the button, then lets queued calls run until the window has
    // read one more datagram.
    bool Click_And_Await(TShellButton* button) {
        const int before = win->Functions.Datagrams_Read();
        button->Click();
        const Cardinal t0 = GetTickCount();
        while (win->Functions.Datagrams_Read() <= before) {
            if (GetTickCount() - t0 > 2000) return false;
            CheckSynchronize(10);
        }
        return true;
    }
    // The count-th datagram that the simulator received (from 1), checked to
    // come from the window's listening port.
    ByteString Received(std::size_t count) {
        if (!sim.WaitForReceived(count)) return "<none>";
        const TUdpDatagram d = sim.Received()[count - 1];
        EXPECT_EQ(d.Port, win->Functions.Listening_Port());
        return d.Data;
    }
    String Acg(int col, int row) { return win->ACG->GetCellEx(col, row); }

    TempDir dir;
    TScriptedDialogService dialogs;
    TSimConverter sim;
    std::unique_ptr<TFAdvanceFunctions> win;

private:
    std::pair<String, String> saved_;
};

}  // namespace

TEST_F(DiagnosticsWindow, LaysOutItsPagesAndGridsInTheLanguage) {
    EXPECT_EQ(win->ClientWidth(), 635);
    EXPECT_EQ(win->ClientHeight(), 465);
    EXPECT_EQ(win->Caption(), u"Advance Functions");
    EXPECT_EQ(win->PageControl1->ActivePage(), win->TS_B0B1);
    const struct {
        TTabSheet* page;
        const char16_t* caption;
    } pages[] = {{win->TS_B0B1, u"Enable/Disable Modbus Polls (B0/B1)"},
                 {win->TS_B2, u"Errors Poll Number (B2)"},
                 {win->TS_B3B4, u"Transparent Mode (B3/B4)"},
                 {win->TS_B5B6, u"Other Commands (B5/B6)"}};
    for (const auto& p : pages) EXPECT_EQ(p.page->Caption(), p.caption);

    const struct {
        TExColumnGrid* grid;
        int col;
        const char16_t* header;
        int width;
        bool editable;
    } columns[] = {
        {win->ACG, 0, u"N", 40, false},           {win->ACG, 1, u"Read Status", 85, false},
        {win->ACG, 2, u"Write Status", 85, true}, {win->ACG, 3, u"Description", 390, false},
        {win->ACG2, 0, u"N", 40, false},          {win->ACG2, 1, u"Read Errors", 85, false},
        {win->ACG2, 2, u"Description", 475, false},
    };
    for (const auto& c : columns) {
        SCOPED_TRACE(StringToUtf8(c.header));
        EXPECT_EQ(c.grid->GetCellEx(c.col, 0), c.header);
        EXPECT_EQ(c.grid->ColWidths(c.col), c.width);
        EXPECT_EQ(c.grid->IsCellEditable(c.col, 1024), c.editable);
    }
    for (TExColumnGrid* grid : {win->ACG, win->ACG2}) {
        EXPECT_EQ(grid->RowCount(), 1025);
        // Rows are numbered, the first poll in row 1.
        EXPECT_EQ(grid->GetCellEx(0, 1), u"1");
        EXPECT_EQ(grid->GetCellEx(0, 1024), u"1024");
    }
    EXPECT_EQ(win->ACG->ColCount(), 4);
    EXPECT_EQ(win->ACG2->ColCount(), 3);
    TGridColumnItem* list = win->ACG->Columns().Items(2);
    EXPECT_EQ(list->Editor(), edComboList);
    ASSERT_EQ(list->ComboItems().Count(), 2);
    EXPECT_EQ(list->ComboItems()[1], u"Disable");

    for (TComboBox* box : {win->CB_WS_TransparentMode, win->CB_B5_EnableDisable, win->CB_B6_EnableDisable}) {
        ASSERT_EQ(box->Items().Count(), 2);
        EXPECT_EQ(box->Items()[0], u"Enable");
        EXPECT_EQ(box->ItemIndex(), 0);
    }
    EXPECT_EQ(win->L_Status_TransparenMode->Caption(), u"--");
    EXPECT_EQ(win->Btn_B6_Write->Caption(), u"Write Status");
    EXPECT_EQ(win->L_Title_B5->Caption(), u"Command B5 - Enable/Disable the Polls of a Modbus Slave");
}

TEST_F(DiagnosticsWindow, ItsButtonsTalkToTheConverterThroughTheGrids) {
    sim.SetErrorCounter(4, 70000);
    const TModalResult result = Show([&] {
        ASSERT_TRUE(win->Functions.Listening());
        EXPECT_EQ(win->Functions.Last_CMD, -1);
        EXPECT_EQ(win->E_IP_Address->Text(), u"127.0.0.2");
        EXPECT_EQ(Acg(3, 1), u"Read; Slave ID = 1; Type = HOLDING REGISTER; Address = 0; NPoint = 10; Mnemonic = Level; ");
        EXPECT_EQ(Acg(3, 4).substr(0, 6), u"Write;");
        EXPECT_EQ(win->ACG2->GetCellEx(2, 5).substr(0, 6), u"Write;");
        EXPECT_EQ(Acg(3, 6), u"");
        EXPECT_EQ(Acg(2, 1024), u"Enable");

        // Write Status sends the grid's bitmap; Read Status brings it back.
        win->ACG->SetCellEx(2, 1, u"Disable");
        win->ACG->SetCellEx(2, 10, u"Disable");
        win->Btn_Write_Status->Click();
        ByteString bitmap(130, '\0');
        bitmap[0] = char(0xB1);
        bitmap[1] = 0x01;
        bitmap[2] = 0x02;
        EXPECT_EQ(Received(1), bitmap);
        ASSERT_TRUE(Click_And_Await(win->Btn_Read_Status));
        EXPECT_EQ(Received(2), Bytes({0xB0}));
        EXPECT_EQ(Acg(1, 1), u"Disable");
        EXPECT_EQ(Acg(1, 2), u"Enable");
        EXPECT_EQ(Acg(1, 10), u"Disable");
        win->ACG->SetCellEx(2, 1, u"Enable");
        win->Btn_Copy->Click();
        EXPECT_EQ(Acg(2, 1), u"Disable");

        ASSERT_TRUE(Click_And_Await(win->Btn_Read_Errors));
        EXPECT_EQ(win->ACG2->GetCellEx(1, 5), u"70000");
        EXPECT_EQ(win->ACG2->GetCellEx(1, 1), u"0");

        win->CB_WS_TransparentMode->SetItemIndex(1);
        win->Btn_Write_Status_Transparent_Mode->Click();
        EXPECT_EQ(Received(4), Bytes({0xB3, 0x00}));
        ASSERT_TRUE(Click_And_Await(win->Btn_Read_Status_Transparent_Mode));
        EXPECT_EQ(win->L_Status_TransparenMode->Caption(), u"Transparent Mode Disable");

        win->E_B5_IDSlave->SetText(u"12");
        win->CB_B5_EnableDisable->SetItemIndex(1);
        win->Btn_B5_Write->Click();
        EXPECT_EQ(Received(6), Bytes({0xB5, 0x0C, 0x01}));
        win->E_B6_NumPoll->SetText(u"256");
        win->Btn_B6_Write->Click();
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, Lang_Table[854]);
        EXPECT_EQ(win->Functions.Last_CMD, 5);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_FALSE(win->Functions.Listening());
    EXPECT_EQ(sim.Received().size(), 6u);
}

// A user's choice in the Write Status list, by mouse on row 1 and by keys on
// row 10 below the grid's first page, reaches the converter.
TEST_F(DiagnosticsWindow, WriteStatusCellsArePickedInTheirComboAndSent) {
    Show([&] {
        TExColumnGrid* g = win->ACG;
        TGridCombo* c = g->Combobox();
        const TRect r = g->CellRect(2, 1);
        SimulateClick(g, r.Left + 5, r.Top + 5);
        EXPECT_FALSE(c->Visible());
        // A click on the current cell opens its list on the cell's item; the
        // wheel steps to the next one.
        SimulateClick(g, r.Left + 5, r.Top + 5);
        ASSERT_TRUE(c->Visible());
        EXPECT_EQ(c->Text(), u"Enable");
        SimulateWheel(c, 5, 5, -120);
        SimulateKey(VK_RETURN);
        EXPECT_FALSE(c->Visible());
        EXPECT_EQ(Acg(2, 1), u"Disable");

        for (int i = 0; i < 9; ++i) SimulateKey(VK_DOWN);
        ASSERT_EQ(g->Row(), 10);
        SimulateKey(VK_F2);
        ASSERT_TRUE(c->Visible());
        SimulateKey(VK_DOWN, TShiftState{ssAlt});
        ASSERT_TRUE(c->DroppedDown());
        SimulateKey(VK_DOWN);
        SimulateKey(VK_RETURN);
        EXPECT_FALSE(c->Visible());
        EXPECT_EQ(Acg(2, 10), u"Disable");
        EXPECT_EQ(Acg(2, 2), u"Enable");

        SimulateClick(win->Btn_Write_Status, 5, 5);
        ByteString bitmap(130, '\0');
        bitmap[0] = char(0xB1);
        bitmap[1] = 0x01;
        bitmap[2] = 0x02;
        EXPECT_EQ(Received(1), bitmap);
    });
    EXPECT_EQ(sim.Received().size(), 1u);
}

TEST_F(DiagnosticsWindow, EachPageIsRendered) {
    TempDir out;
    std::array<TBitmap, 4> shots;
    Show([&] {
        for (int page = 0; page < 4; ++page) {
            win->PageControl1->SetActivePageIndex(page);
            const String png = Utf8ToString(out.file("page" + std::to_string(page) + ".png"));
            SaveControlToPng(win.get(), png);
            TPngImage picture;
            picture.LoadFromFile(png);
            EXPECT_EQ(picture.Width(), 635);
            EXPECT_EQ(picture.Height(), 465);
            shots[page].SetSize(picture.Width(), picture.Height());
            shots[page].Canvas().Draw(0, 0, picture);
        }
    });
    // Each page shows something of its own inside the page control.
    const TRect r = win->PageControl1->BoundsRect();
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b) {
            int differing = 0;
            for (int y = r.Top + 30; y < r.Bottom; y += 2)
                for (int x = r.Left; x < r.Right; x += 2)
                    differing += shots[a].Canvas().Pixels(x, y) != shots[b].Canvas().Pixels(x, y);
            EXPECT_GT(differing, 200) << "pages " << a << " and " << b;
        }
}

TEST_F(DiagnosticsWindow, ATakenPortIsToldAndTheWindowStillWorks) {
    TUdpSocket taken;
    taken.Bind(u"", 0);
    win->Functions.Local_Port = taken.LocalPort();
    bool shown = false;
    const TModalResult result = Show([&] {
        shown = win->Visible();
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Icon, diError);
        EXPECT_NE(dialogs.Shown[0].Text.find(IntToStr(taken.LocalPort())), String::npos);
        EXPECT_EQ(win->E_IP_Address->Text(), u"127.0.0.2");
        EXPECT_EQ(Acg(3, 5).substr(0, 6), u"Write;");
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(result, mrOk);
}
