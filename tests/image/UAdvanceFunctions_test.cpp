// The diagnostic commands against the simulated converter, datagrams checked
// byte for byte both ways; the replies are awaited by letting queued calls
// run with a time-out.
#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "framework/Udp.h"
#include "image/UAdvanceFunctions.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/NetNamespace.h"
#include "support/SimConverter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace {

ByteString Bytes(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

// The cells of the two grids and the status label; a row outside the grids
// is a fault.
class TTable_Cells : public TDiag_Cells {
public:
    String Cell(TDiag_Column column, int row) const override {
        Check(row);
        auto it = cells.find({column, row});
        return it == cells.end() ? String() : it->second;
    }
    void Set_Cell(TDiag_Column column, int row, const String& text) override {
        Check(row);
        cells[{column, row}] = text;
        ++writes;
    }
    void Set_Transparent_Status(const String& text) override { status = text; }

    // The cells of rows first..last of a column joined by "|".
    String Column(TDiag_Column column, int first, int last) const {
        String all;
        for (int row = first; row <= last; ++row) all += (row > first ? u"|" : u"") + Cell(column, row);
        return all;
    }

    std::map<std::pair<TDiag_Column, int>, String> cells;
    String status;
    int writes = 0;

private:
    static void Check(int row) { EXPECT_TRUE(row >= 1 && row <= Diag_Polls) << "row " << row; }
};

class Diagnostics : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        sim.Start();
        logic.Local_Port = 0;
        logic.Converter_Port = sim.Port();
        logic.Start_Listening();
        ASSERT_TRUE(logic.Listening());
    }
    // Lets queued calls run until the logic has read count datagrams in all.
    bool Await_Read(int count, int timeoutMs = 2000) {
        const Cardinal t0 = GetTickCount();
        while (logic.Datagrams_Read() < count) {
            if (GetTickCount() - t0 > Cardinal(timeoutMs)) return false;
            CheckSynchronize(10);
        }
        return true;
    }
    // The datagram the simulator received as the count-th one (from 1), and
    // that it came from the listening port.
    ByteString Received(std::size_t count) {
        if (!sim.WaitForReceived(count)) return "<none>";
        const TUdpDatagram d = sim.Received()[count - 1];
        EXPECT_EQ(d.Port, logic.Listening_Port());
        return d.Data;
    }
    // Sends the command; the simulator answers it with reply instead of its
    // own answer; returns once the logic has read the reply.
    void Reply(const std::function<void()>& command, const ByteString& reply) {
        sim.AnswerNextWith(reply);
        const int before = logic.Datagrams_Read();
        command();
        ASSERT_TRUE(Await_Read(before + 1));
    }

    const String address = kSimAddress;
    TScriptedDialogService dialogs;
    TSimConverter sim;
    TTable_Cells cells;
    TAdvance_Functions logic{cells};
};

}  // namespace

TEST_F(Diagnostics, WriteStatusSendsTheBitmapOfTheDisabledRows) {
    const struct {
        std::vector<int> disabled;
        std::map<int, int> bytes;  // nonzero bitmap bytes by position
    } cases[] = {
        {{}, {}},
        {{1, 10}, {{1, 0x01}, {2, 0x02}}},
        {{8, 9, 1024}, {{1, 0x80}, {2, 0x01}, {128, 0x80}}},
    };
    std::size_t count = 0;
    for (const auto& c : cases) {
        logic.Fill_Descriptions(u"");  // every Write Status "Enable"
        for (int row : c.disabled) cells.Set_Cell(TDiag_Column::Write_Status, row, u"Disable");
        cells.Set_Cell(TDiag_Column::Write_Status, 2, u"disable");  // only the exact word counts
        logic.Write_Status(address);
        ByteString expected(130, '\0');
        expected[0] = char(0xB1);
        for (auto [k, v] : c.bytes) expected[k] = char(v);
        EXPECT_EQ(Received(++count), expected);
    }
    EXPECT_EQ(logic.Last_CMD, -1);
    // Back through the converter's state.
    logic.Read_Status(address);
    ASSERT_TRUE(Await_Read(1));
    EXPECT_EQ(cells.Column(TDiag_Column::Read_Status, 7, 10), u"Enable|Disable|Disable|Enable");
    EXPECT_EQ(cells.Cell(TDiag_Column::Read_Status, 1024), u"Disable");
    EXPECT_EQ(Received(++count), Bytes({0xB0}));
}

TEST_F(Diagnostics, ReadStatusDecodesOnlyAReplyToIt) {
    cells.Set_Cell(TDiag_Column::Read_Status, 9, u"kept");
    Reply([&] { logic.Read_Status(address); }, Bytes({0xB0, 0x05}));
    EXPECT_EQ(logic.Last_CMD, 0);
    EXPECT_EQ(cells.Column(TDiag_Column::Read_Status, 1, 9), u"Disable|Enable|Disable|Enable|Enable|Enable|Enable|Enable|kept");

    const int writes = cells.writes;
    Reply([&] { logic.Read_Status(address); }, Bytes({0xB0}));           // no bitmap
    Reply([&] { logic.Read_Status(address); }, Bytes({0xB2, 0xFF}));     // another command's reply
    Reply([&] { logic.Read_Errors(address); }, Bytes({0xB0, 0x00}));     // not awaited any more
    EXPECT_EQ(cells.writes, writes);
    EXPECT_EQ(cells.Cell(TDiag_Column::Read_Status, 1), u"Disable");
}

TEST_F(Diagnostics, ReadErrorsShowsEachCounterUnsigned) {
    cells.Set_Cell(TDiag_Column::Read_Errors, 3, u"kept");
    Reply([&] { logic.Read_Errors(address); }, Bytes({0xB2, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x07}));
    EXPECT_EQ(Received(1), Bytes({0xB2}));
    EXPECT_EQ(logic.Last_CMD, 2);
    EXPECT_EQ(cells.Column(TDiag_Column::Read_Errors, 1, 3), u"1|4294967295|kept");

    // The simulator's own counters, all 1024 of them.
    sim.SetErrorCounter(1023, 70000);
    logic.Read_Errors(address);
    ASSERT_TRUE(Await_Read(2));
    EXPECT_EQ(cells.Cell(TDiag_Column::Read_Errors, 1024), u"70000");
    EXPECT_EQ(cells.Cell(TDiag_Column::Read_Errors, 3), u"0");
}

TEST_F(Diagnostics, TransparentModeIsWrittenAndReadBack) {
    logic.Write_Transparent_Mode(address, 0);
    EXPECT_EQ(Received(1), Bytes({0xB3, 0x01}));
    logic.Write_Transparent_Mode(address, 1);
    EXPECT_EQ(Received(2), Bytes({0xB3, 0x00}));
    EXPECT_EQ(logic.Last_CMD, -1);

    sim.SetSilent(true);
    logic.Read_Transparent_Mode(address);
    EXPECT_EQ(Received(3), Bytes({0xB4}));
    EXPECT_EQ(cells.status, u"--");
    sim.SetSilent(false);
    for (auto [mode, text] : {std::pair{1, "Transparent Mode Enable"}, {0, "Transparent Mode Disable"}}) {
        sim.SetTransparentMode(Byte(mode));
        const int before = logic.Datagrams_Read();
        logic.Read_Transparent_Mode(address);
        ASSERT_TRUE(Await_Read(before + 1));
        EXPECT_EQ(cells.status, S(text));
    }
    EXPECT_EQ(logic.Last_CMD, 4);
}

TEST_F(Diagnostics, SlaveAndPollCommandsCheckTheirNumbers) {
    const struct {
        bool b5;
        const char* text;
        int item;
        ByteString sent;  // empty: refused
    } cases[] = {
        {true, "12", 1, Bytes({0xB5, 0x0C, 0x01})}, {true, "1", 0, Bytes({0xB5, 0x01, 0x00})},
        {true, "247", 0, Bytes({0xB5, 0xF7, 0x00})}, {true, "0", 0, {}},
        {true, "248", 0, {}},                       {true, "abc", 0, {}},
        {false, "255", 0, Bytes({0xB6, 0xFF, 0x00})}, {false, "0", 1, Bytes({0xB6, 0x00, 0x01})},
        {false, "256", 0, {}},                       {false, "-1", 0, {}},
    };
    std::size_t count = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        dialogs.Shown.clear();
        logic.Last_CMD = -1;
        if (c.b5)
            logic.B5_Write(address, S(c.text), c.item);
        else
            logic.B6_Write(address, S(c.text), c.item);
        if (c.sent.empty()) {
            ASSERT_EQ(dialogs.Shown.size(), 1u);
            EXPECT_EQ(dialogs.Shown[0].Text, Lang_Table[c.b5 ? 853 : 854]);
            EXPECT_EQ(dialogs.Shown[0].Icon, diError);
            EXPECT_EQ(logic.Last_CMD, -1);
        } else {
            EXPECT_TRUE(dialogs.Shown.empty());
            EXPECT_EQ(Received(++count), c.sent);  // a refused one would be here instead
            EXPECT_EQ(logic.Last_CMD, c.b5 ? 5 : 6);
        }
    }
}

TEST_F(Diagnostics, CopyStatusCopiesOnlyTheTwoWords) {
    logic.Fill_Descriptions(u"");
    cells.Set_Cell(TDiag_Column::Read_Status, 1, u"Disable");
    cells.Set_Cell(TDiag_Column::Read_Status, 2, u"Enable");
    cells.Set_Cell(TDiag_Column::Read_Status, 3, u"disable");
    cells.Set_Cell(TDiag_Column::Write_Status, 4, u"Disable");
    logic.Copy_Status();
    EXPECT_EQ(cells.Column(TDiag_Column::Write_Status, 1, 5), u"Disable|Enable|Enable|Disable|Enable");
}

TEST_F(Diagnostics, OverLongRepliesWriteOnlyTheRowsOfTheGrids) {
    Reply([&] { logic.Read_Status(address); }, ByteString(1, char(0xB0)) + ByteString(199, char(0xFF)));
    EXPECT_EQ(cells.Cell(TDiag_Column::Read_Status, 1024), u"Disable");

    ByteString counters(1, char(0xB2));
    for (int m = 1; m <= 2000; ++m) counters += Bytes({m & 0xFF, m >> 8, 0, 0});
    Reply([&] { logic.Read_Errors(address); }, counters);
    EXPECT_EQ(cells.Cell(TDiag_Column::Read_Errors, 1024), u"1024");
    EXPECT_EQ(cells.cells.size(), 2u * 1024);  // nothing beyond row 1024 (checked per write too)
}

TEST_F(Diagnostics, RepliesAfterClosingAreDroppedAndShowingAgainListensAgain) {
    logic.Read_Status(address);
    ASSERT_TRUE(sim.WaitForSent(1));
    logic.Stop_Listening();  // the reply may be queued already: it must not be decoded
    EXPECT_FALSE(Await_Read(1, 100));
    EXPECT_TRUE(cells.cells.empty());

    logic.Start_Listening();
    EXPECT_EQ(logic.Last_CMD, -1);
    logic.Read_Status(address);
    ASSERT_TRUE(Await_Read(1));
    EXPECT_EQ(cells.Cell(TDiag_Column::Read_Status, 1), u"Enable");
}

TEST_F(Diagnostics, SocketFailuresAreShownAndTheCommandsStayUsable) {
    logic.Read_Status(u"no.such.host");
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_NE(dialogs.Shown[0].Text.find(u"no.such.host"), String::npos);

    TUdpSocket taken;
    taken.Bind(u"", 0);
    logic.Local_Port = taken.LocalPort();
    logic.Start_Listening();
    EXPECT_FALSE(logic.Listening());
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_NE(dialogs.Shown[1].Text.find(IntToStr(taken.LocalPort())), String::npos);
    logic.Read_Status(address);  // nothing to send from: told, not crashed
    EXPECT_EQ(dialogs.Shown.size(), 3u);
}

TEST(DiagnosticsPort, ThePortIsHeldOnlyWhileTheWindowListens) {
    Load_Default_Texts();
    TScriptedDialogService dialogs;
    const std::string why = RunInNetNamespace([&] {
        TTable_Cells cells;
        TAdvance_Functions logic(cells);
        logic.Start_Listening();
        EXPECT_TRUE(logic.Listening());
        EXPECT_EQ(logic.Listening_Port(), 5000);
        TUdpSocket other;
        EXPECT_THROW(other.Bind(u"127.0.0.1", 5000), EOSError);
        logic.Stop_Listening();
        EXPECT_NO_THROW(other.Bind(u"127.0.0.1", 5000));

        // Taken before showing: an error box, and the commands still answer.
        logic.Start_Listening();
        EXPECT_FALSE(logic.Listening());
        EXPECT_EQ(dialogs.Shown.size(), 1u);
    });
    if (!why.empty()) GTEST_SKIP() << why;
}

// ---------------------------------------------------------------------------
// What showing reads: the converter's address and the request descriptions
// ---------------------------------------------------------------------------

TEST(DiagnosticsFiles, TheAddressComesFromTheGeneralParameters) {
    TScriptedDialogService dialogs;
    TempDir dir;
    const struct {
        const char* xml;  // nullptr: no file
        const char* address;
    } cases[] = {
        {nullptr, "192.168.0.5"},
        {"<Par_Gen><PROFINET_IP1>10</PROFINET_IP1><PROFINET_IP2>1</PROFINET_IP2><PROFINET_IP4>7</PROFINET_IP4></Par_Gen>",
         "10.1.0.7"},
        {"<Par_Gen><PROFINET_IP1> a </PROFINET_IP1></Par_Gen>", " a .168.0.5"},
        {"<Par_Gen><PROFINET_IP1>", "192.168.0.5"},
    };
    for (const auto& c : cases) {
        if (c.xml) dir.write("ParGen.xml", c.xml);
        EXPECT_EQ(Diag_Converter_Address(Utf8ToString(dir.file("ParGen.xml"))), S(c.address));
    }
    ASSERT_EQ(dialogs.Shown.size(), 1u);  // the malformed file is named
    EXPECT_NE(dialogs.Shown[0].Text.find(Utf8ToString(dir.file("ParGen.xml"))), String::npos);
}

namespace {

std::string Requests(int reads, int writes, bool withRead = true, bool withWrite = true) {
    std::string xml = "<EtherNetIP_to_Modbus>";
    if (withRead) {
        xml += "<Modbus_Read>";
        for (int i = 0; i < reads; ++i)
            xml += "<row Slave_ID=\"" + std::to_string(i + 1) +
                   "\" Type=\"HOLDING REGISTER\" Address=\"0\" NPoint=\"10\" PollTime=\"100\" Mnemonic=\"Level\"/>";
        xml += "</Modbus_Read>";
    }
    if (withWrite) {
        xml += "<Modbus_Write>";
        for (int i = 0; i < writes; ++i)
            xml += "<row Slave_ID=\"9\" Type=\"COIL STATUS\" Address=\"" + std::to_string(100 + i) + "\" NPoint=\"1\"/>";
        xml += "</Modbus_Write>";
    }
    return xml + "</EtherNetIP_to_Modbus>\r\n<!--Version 1.813-->\r\n";
}

}  // namespace

TEST(DiagnosticsFiles, EachRequestIsDescribedInItsRow) {
    Load_Default_Texts();
    TScriptedDialogService dialogs;
    TempDir dir;
    const String path = Utf8ToString(dir.file("ModbusM_SetAccess.xml"));
    TTable_Cells cells;
    TAdvance_Functions logic(cells);
    cells.Set_Cell(TDiag_Column::Error_Description, 6, u"kept");
    cells.Set_Cell(TDiag_Column::Description, 6, u"cleared");
    dir.write("ModbusM_SetAccess.xml", Requests(3, 2));
    logic.Fill_Descriptions(path);
    const String read1 = u"Read; Slave ID = 1; Type = HOLDING REGISTER; Address = 0; NPoint = 10; Mnemonic = Level; ";
    const String write2 = u"Write; Slave ID = 9; Type = COIL STATUS; Address = 101; NPoint = 1; Mnemonic = ; ";
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 1), read1);
    EXPECT_EQ(cells.Cell(TDiag_Column::Error_Description, 1), read1);
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 3).substr(0, 17), u"Read; Slave ID = ");
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 5), write2);
    EXPECT_EQ(cells.Cell(TDiag_Column::Error_Description, 5), write2);
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 6), u"");
    EXPECT_EQ(cells.Cell(TDiag_Column::Error_Description, 6), u"kept");
    EXPECT_EQ(cells.Cell(TDiag_Column::Write_Status, 1024), u"Enable");

    // Without its write table, and with more requests than the grids have rows.
    dir.write("ModbusM_SetAccess.xml", Requests(1100, 2, true, false));
    logic.Fill_Descriptions(path);
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 1024).substr(0, 22), u"Read; Slave ID = 1024;");
    dir.write("ModbusM_SetAccess.xml", Requests(0, 2, false, true));
    logic.Fill_Descriptions(path);
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 2).substr(0, 6), u"Write;");
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 3), u"");
    EXPECT_TRUE(dialogs.Shown.empty());

    dir.write("ModbusM_SetAccess.xml", "<EtherNetIP_to_Modbus><Modbus_Read>");
    logic.Fill_Descriptions(path);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_NE(dialogs.Shown[0].Text.find(path), String::npos);
    EXPECT_EQ(cells.Cell(TDiag_Column::Description, 1), u"");
}
