#include "tables/USetAccess.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/RealDisplay.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"
#include "tables/Table_Test_Support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace {

using namespace setaccess_col;

// The two tables as the window has them: 513 rows, read columns 0..12, write 0..14.
struct Tables {
    StandInGrid read{513, 13};
    StandInGrid write{513, 15};
    Tables() {
        Reset_Table(read, SetAccess_Desc.Read.All);
        Reset_Table(write, SetAccess_Desc.Write.All);
        read.SetRow(1, "1|Holding Register|0|10|100|3|0|0|N|N|Byte|m");
        write.SetRow(1, "1|Holding Register|0|10|100|N|3|0|0|N|N|Byte|N|m");
    }
};

class SetAccessWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Load_Default_Texts();
        Path_ModbusM_SetAccess = S(dir.file("ModbusM_SetAccess.xml"));
        Path_ParGen = S(dir.file("ParGen.xml"));
    }
    void TearDown() override {
        Model_Code = model_;
        Path_ModbusM_SetAccess.clear();
        Path_ParGen.clear();
        Row_Clipboard.clear();
    }
    TempDir dir;
    TScriptedDialogService dialogs;
    int model_ = Model_Code;
};

}  // namespace

TEST(SetAccess, ValidationStopsAtTheFirstFailureWithItsMessage) {
    Load_Default_Texts();
    using Edit = std::function<void(Tables&)>;
    auto read = [](const char* cells) { return [=](Tables& t) { t.read.SetRow(1, cells); }; };
    auto write = [](const char* cells) { return [=](Tables& t) { t.write.SetRow(1, cells); }; };
    const struct {
        const char* name;
        Edit edit;
        bool format_required;
        const char* message;  // nullptr: passes
    } cases[] = {
        {"valid tables", [](Tables&) {}, true, nullptr},
        {"125 registers", read("1|Holding Register|0|125|100|3|0|0|N|N|Byte|m"), false, nullptr},
        {"126 registers", read("1|Holding Register|0|126|100|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] NPoint must be between 1 and 125"},
        {"2000 coils", read("1|Coil Status|0|2000|100|3|0|0|N|N|Byte|m"), false, nullptr},
        {"2001 inputs", read("1| input status |0|2001|100|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] NPoint must be between 1 and 2000"},
        {"unknown type is a register request", read("1|Holding|0|126|100|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] NPoint must be between 1 and 125"},
        {"one register ending on the last byte", read("1|Input Register|0|1|100|3|510|0|N|N|Byte|m"), false, nullptr},
        {"one register past the last byte", read("1|Input Register|0|1|100|3|511|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Too many bytes to save starting from the Position indicate"},
        {"16 coils from bit 0", read("1|Coil Status|0|16|100|3|510|0|N|N|Byte|m"), false, nullptr},
        {"17 coils from bit 0", read("1|Coil Status|0|17|100|3|510|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Too many bytes to save starting from the Position indicate"},
        {"16 coils from bit 1", read("1|Coil Status|0|16|100|3|510|1|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Too many bytes to save starting from the Position indicate"},
        {"bit request without start bit", read("1|Coil Status|0|1|100|3|0||N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Bit must be between 0 and 7"},
        {"register request without start bit", read("1|Holding Register|0|1|100|3|0||N|N|Byte|m"), false, nullptr},
        {"slave with a leading blank", read(" 5|Holding Register|0|1|100|3|0|0|N|N|Byte|m"), false, nullptr},
        {"slave with a trailing blank", read("5 |Holding Register|0|1|100|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Slave ID must be between 1 and 247"},
        {"slave 0 reads", read("0|Holding Register|0|1|100|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Slave ID must be between 1 and 247"},
        {"type empty", read("1||0|1|100|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Type must be Coil Status or Input Status or Holding Register or Input Register"},
        {"address 65536", read("1|Coil Status|65536|1|100|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Address must be between 0 and 65535"},
        {"poll time 0 reads", read("1|Coil Status|0|1|0|3|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Poll Time must be between 1 and 100000000"},
        {"max error letters", read("1|Coil Status|0|1|1|x|0|0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Max Error must be between 0 and 100000000"},
        {"position empty", read("1|Coil Status|0|1|1|0||0|N|N|Byte|m"), false,
         "Error row 1!! [Modbus Read] Position must be between 0 and 511"},
        {"format required", read("1|Coil Status|0|1|1|0|0|0|N|N| |m"), true,
         "Error row 1!! [Modbus Read] Select a Format SNMP from the list"},
        {"format not required", read("1|Coil Status|0|1|1|0|0|0|N|N||m"), false, nullptr},
        {"rows after the end unchecked",
         [](Tables& t) { t.read.SetCellEx(Slave, 2, u"  "); t.read.SetRow(3, "999|||||||||||"); }, false, nullptr},
        {"second row checked", [](Tables& t) { t.read.SetRow(2, "1|Coil Status|0|0|1|0|0|0|N|N||"); }, false,
         "Error row 2!! [Modbus Read] NPoint must be between 1 and 2000"},
        {"poll time 0 writes", write("0|Holding Register|0|123|0|N|0|0|0|N|N||N|"), false, nullptr},
        {"124 registers written", write("0|Holding Register|0|124|0|N|0|0|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] NPoint must be between 1 and 123"},
        {"1968 coils written", write("0|Coil Status|0|1968|0|N|0|0|0|N|N||N|"), false, nullptr},
        {"input status written counts as registers", write("0|Input Status|0|124|0|N|0|0|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] NPoint must be between 1 and 123"},
        {"slave 248 written", write("248|Coil Status|0|1|0|N|0|0|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] Slave ID must be between 0 and 247"},
        {"write type empty", write("1||0|1|0|N|0|0|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] Type must be Coil Status or Holding Register"},
        {"write poll time negative", write("1|Coil Status|0|1|-1|N|0|0|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] Poll Time must be between 0 and 100000000"},
        {"write max error from its own column", write("1|Coil Status|0|1|0|N|-1|0|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] Max Error must be between 0 and 100000000"},
        {"write position", write("1|Coil Status|0|1|0|N|0|512|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] Position must be between 0 and 511"},
        {"write bit empty", write("1|Coil Status|0|1|0|N|0|0||N|N||N|"), false,
         "Error row 1!! [Modbus Write] Bit must be between 0 and 7"},
        {"write past the end", write("1|Holding Register|0|2|0|N|0|509|0|N|N||N|"), false,
         "Error row 1!! [Modbus Write] Too many bytes to read starting from the Position indicate"},
        {"write format", write("1|Holding Register|0|2|0|N|0|0|0|N|N||N|"), true,
         "Error row 1!! [Modbus Write] Select a Format SNMP from the list"},
        {"read table first", [](Tables& t) { t.read.SetCellEx(NPoint, 1, u""); t.write.SetCellEx(NPoint, 1, u""); },
         false, "Error row 1!! [Modbus Read] NPoint must be between 1 and 125"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tables t;
        c.edit(t);
        TScriptedDialogService dialogs;
        const bool ok = Modbus_Controllo_dati(SetAccess_Desc, t.read, t.write, {512, 512}, c.format_required);
        Expect_Validation(dialogs, ok, c.message);
    }
}

TEST_F(SetAccessWindow, ModelMatrixOfWidthFormatAndSizes) {
    // One read row holding a format; the write row without one.
    const std::string file =
        "<EtherNetIP_to_Modbus><Modbus_Read><row Slave_ID='1' Type='Coil Status' Address='0' NPoint='8' "
        "PollTime='10' MaxError='0' Position='3' Bit='0' Swap='N' Swap_Word='N' Format_SNMP='Int 2 bytes' "
        "Mnemonic='r'/></Modbus_Read><Modbus_Write><row Slave_ID='1' Type='Coil Status' Address='0' NPoint='8' "
        "PollTime='10' OnChange='N' MaxError='0' Position='3' Bit='0' Mnemonic='w'/></Modbus_Write>"
        "</EtherNetIP_to_Modbus>";
    const struct {
        int model;
        const char* pargen;  // nullptr: no file
        int width;
        bool shown;     // Format SNMP shown and required
        bool written;   // Format SNMP loaded and written
        int positions;  // read and write choices
    } cases[] = {
        {4, nullptr, 1020, false, false, 512},
        {25, nullptr, 1020, false, false, 512},
        {18, nullptr, 992, false, true, 1024},
        {18, "<Par_Gen><X>1</X></Par_Gen>", 1132, true, true, 1024},
        {18, "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>", 1132, true, true, 1024},
        {18, "<Par_Gen><SNMP_MapType>1</SNMP_MapType></Par_Gen>", 992, false, true, 1024},
        {30, "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>", 992, false, true, 1024},
        {1018, "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>", 992, false, true, 1024},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("model " + std::to_string(c.model) + (c.pargen ? c.pargen : " no ParGen"));
        Model_Code = c.model;
        std::remove(dir.file("ParGen.xml").c_str());
        if (c.pargen) dir.write("ParGen.xml", c.pargen);
        dir.write("ModbusM_SetAccess.xml", file);
        auto w = Make_Window<TFSetAccess>();
        dialogs.Shown.clear();
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->ClientWidth(), c.width);
            EXPECT_EQ(w->ClientHeight(), 337);
            EXPECT_EQ(w->ACG_Modbus_Read->IsHiddenColumn(R_Format), !c.shown);
            EXPECT_EQ(w->ACG_Modbus_Write->IsHiddenColumn(W_Format), !c.shown);
            EXPECT_FALSE(w->ACG_Modbus_Write->IsHiddenColumn(W_Force_F16));
            EXPECT_EQ(w->ACG_Modbus_Read->GetCellEx(R_Format, 1), c.written ? u"Int 2 bytes" : u"");
            EXPECT_EQ(w->ACG_Modbus_Write->GetCellEx(W_Format, 1), c.written ? u"Byte" : u"");
            for (TExColumnGrid* g : {w->ACG_Modbus_Read, w->ACG_Modbus_Write}) {
                const TStringList& items = g->Columns().Items(g == w->ACG_Modbus_Read ? R_Position : W_Position)->ComboItems();
                ASSERT_EQ(items.Count(), c.positions);
                EXPECT_EQ(items[0], u"0");
                EXPECT_EQ(items[c.positions - 1], IntToStr(c.positions - 1));
            }
            w->ACG_Modbus_Write->SetCellEx(W_Format, 1, u"");
            w->Btn_OK->Click();
            if (c.shown) {
                ASSERT_EQ(dialogs.Shown.size(), 1u);
                EXPECT_EQ(dialogs.Shown[0].Text, u"Error row 1!! [Modbus Write] Select a Format SNMP from the list");
                w->ACG_Modbus_Write->SetCellEx(W_Format, 1, u"Byte");
                w->Btn_OK->Click();
            }
        };
        EXPECT_EQ(w->ShowModal(), mrOk);
        const std::string saved = dir.read("ModbusM_SetAccess.xml");
        EXPECT_EQ(saved.find("Format_SNMP") != std::string::npos, c.written) << saved;
    }
}

TEST_F(SetAccessWindow, SizesAreCrossedAndClampedFromTheGeneralParameters) {
    Model_Code = 4;
    const struct {
        const char* nb_in;
        const char* nb_out;
        int read, write;  // Position choices
    } cases[] = {
        {"100", "200", 200, 100},
        {"0x40", "abc", 512, 64},
        {"100000", "-5", 0, 1440},
    };
    auto w = Make_Window<TFSetAccess>();
    for (const auto& c : cases) {
        dir.write("ParGen.xml", std::string("<Par_Gen><MODBUS_MASTER_NB_IN>") + c.nb_in +
                                    "</MODBUS_MASTER_NB_IN><MODBUS_MASTER_NB_OUT>" + c.nb_out +
                                    "</MODBUS_MASTER_NB_OUT></Par_Gen>");
        dialogs.OnModalForm = [&](TCustomForm*) {
            EXPECT_EQ(w->NByte_IN, c.read);
            EXPECT_EQ(w->NByte_OUT, c.write);
            EXPECT_EQ(w->ACG_Modbus_Read->Columns().Items(R_Position)->ComboItems().Count(), c.read);
            EXPECT_EQ(w->ACG_Modbus_Write->Columns().Items(W_Position)->ComboItems().Count(), c.write);
            w->Btn_Cancel->Click();
        };
        EXPECT_EQ(w->ShowModal(), mrCancel);
    }
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(SetAccessWindow, ScriptedEditsOfModel4AreSavedAsTheGoldenFile) {
    Model_Code = 4;
    // A format in a file of model 4 is dropped at the next save.
    dir.write("ModbusM_SetAccess.xml",
              "<EtherNetIP_to_Modbus><Modbus_Read><row Slave_ID='2' Type='Holding Register' Address='100' "
              "NPoint='4' PollTime='500' MaxError='3' Position='0' Bit='0' Format_SNMP='Byte' Mnemonic='temps'/>"
              "</Modbus_Read><Modbus_Write/></EtherNetIP_to_Modbus><!--SW_VERSION = 1.813-->");
    auto w = Make_Window<TFSetAccess>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_Modbus_Read;
        EXPECT_EQ(r->GetCellEx(R_Swap, 1), u"N");
        // A second request, then a row inserted before it.
        r->SetRow(2);
        const char16_t* cells[] = {u"3", u"Coil Status", u"0x10", u"12", u"1000", u"0", u"8", u"2"};
        for (int c = 1; c <= 8; ++c) r->SetCellEx(c, 2, cells[c - 1]);
        r->ToggleCheckBox(R_Swap_Word, 2);
        r->SetCellEx(R_Mnemonic, 2, u"coils");
        w->Btn_InsRow->Click();
        EXPECT_EQ(r->GetCellEx(R_Mnemonic, 3), u"coils");
        const char16_t* inserted[] = {u" 4", u"Input Status", u"7", u"1", u"$10", u"0", u"511", u"7"};
        for (int c = 1; c <= 8; ++c) r->SetCellEx(c, 2, inserted[c - 1]);
        w->PageControl1->SetActivePage(w->TS_Modbus_Write);
        TExColumnGrid* wr = w->ACG_Modbus_Write;
        const char16_t* wcells[] = {u"0", u"Holding Register", u"40001", u"2", u"0", u"Y", u"5", u"10", u"0",
                                    u"N", u"Y", u"", u"Y", u"set point"};
        for (int c = 1; c <= 14; ++c) wr->SetCellEx(c, 1, wcells[c - 1]);
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(dir.read("ModbusM_SetAccess.xml"), Golden("ModbusM_SetAccess_4.xml"));
}

TEST_F(SetAccessWindow, Model18WithFixedMapSavesTheFormatAsTheGoldenFile) {
    Model_Code = 18;
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>");
    auto w = Make_Window<TFSetAccess>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_Modbus_Read;
        const char16_t* cells[] = {u"1", u"Input Register", u"0", u"2", u"250", u"1", u"1020", u"0", u"Y", u"N",
                                   u"Float to Int 4 bytes", u"flow"};
        for (int c = 1; c <= 12; ++c) r->SetCellEx(c, 1, cells[c - 1]);
        TExColumnGrid* wr = w->ACG_Modbus_Write;
        const char16_t* wcells[] = {u"7", u"Coil Status", u"5", u"3", u"100", u"N", u"1", u"1023", u"5",
                                    u"N", u"N", u"Int 1 byte", u"N", u""};
        for (int c = 1; c <= 14; ++c) wr->SetCellEx(c, 1, wcells[c - 1]);
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_TRUE(dialogs.Shown.empty());
    EXPECT_EQ(dir.read("ModbusM_SetAccess.xml"), Golden("ModbusM_SetAccess_18.xml"));
}

TEST_F(SetAccessWindow, InsertMovesTheHiddenFormatWithItsRow) {
    Model_Code = 30;
    dir.write("ModbusM_SetAccess.xml",
              "<EtherNetIP_to_Modbus><Modbus_Read><row Slave_ID='1' Type='Coil Status' Address='0' NPoint='8' "
              "PollTime='10' MaxError='0' Position='3' Bit='0' Format_SNMP='Octet String' Mnemonic='a'/>"
              "</Modbus_Read><Modbus_Write/></EtherNetIP_to_Modbus>");
    auto w = Make_Window<TFSetAccess>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_Modbus_Read;
        EXPECT_TRUE(r->IsHiddenColumn(R_Format));
        r->SetRow(1);
        w->Btn_InsRow->Click();
        EXPECT_EQ(r->GetCellEx(R_Format, 1), u"");
        EXPECT_EQ(r->GetCellEx(R_Format, 2), u"Octet String");
        EXPECT_EQ(r->GetCellEx(R_Mnemonic, 2), u"a");
        EXPECT_EQ(r->GetCellEx(0, 1), u"1");
        EXPECT_EQ(r->GetCellEx(0, 2), u"2");
        dialogs.AnswerBox(IDNO);
        w->Btn_DelRow->Click();
        ASSERT_EQ(dialogs.Shown.size(), 1u);
        EXPECT_EQ(dialogs.Shown[0].Text, u"Are you sure to delete the Row number 1");
        // Row 1 is empty now and ends the table: nothing is saved.
        w->Btn_OK->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrOk);
    EXPECT_EQ(dir.read("ModbusM_SetAccess.xml"),
              "<EtherNetIP_to_Modbus><Modbus_Read/><Modbus_Write/></EtherNetIP_to_Modbus>\r\n<!--SW_VERSION = 1.001-->\r\n");
}

TEST_F(SetAccessWindow, PasteOnlyIntoTheTableCopiedFromDuringTheSameShow) {
    Model_Code = 4;
    auto w = Make_Window<TFSetAccess>();
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* r = w->ACG_Modbus_Read;
        r->SetCellEx(Slave, 1, u"9");
        r->SetCellEx(R_Mnemonic, 1, u"x");
        r->SetRow(1);
        w->Btn_CopyRow->Click();
        w->PageControl1->SetActivePage(w->TS_Modbus_Write);
        w->Btn_PasteRow->Click();
        EXPECT_EQ(w->ACG_Modbus_Write->GetCellEx(Slave, 1), u"");
        w->PageControl1->SetActivePage(w->TS_Modbus_Read);
        r->SetRow(2);
        w->Btn_PasteRow->Click();
        EXPECT_EQ(r->GetCellEx(R_Mnemonic, 2), u"x");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"Error!!! Copy a valid row before Paste it");
    // Opened again without a new copy: the clipboard still holds the row, the flag does not.
    dialogs.OnModalForm = [&](TCustomForm*) {
        w->ACG_Modbus_Read->SetRow(3);
        w->Btn_PasteRow->Click();
        EXPECT_EQ(w->ACG_Modbus_Read->GetCellEx(Slave, 3), u"");
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[1].Text, u"Error!!! Copy a valid row before Paste it");
    EXPECT_FALSE(Row_Clipboard.empty());
}

TEST_F(SetAccessWindow, TextsAndRenderedColumns) {
    Model_Code = 18;
    dir.write("ParGen.xml", "<Par_Gen><SNMP_MapType>0</SNMP_MapType></Par_Gen>");
    auto w = Make_Window<TFSetAccess>();
    EXPECT_EQ(w->Caption(), u"Set Modbus Access");
    EXPECT_EQ(w->Btn_CopyRow->Caption(), u"Copy Row");
    EXPECT_EQ(w->Btn_PasteRow->Caption(), u"Paste Row");
    EXPECT_EQ(w->TS_Modbus_Write->Caption(), u"Modbus Write");
    EXPECT_EQ(w->ACG_Modbus_Write->Columns().Items(W_Force_F16)->Header(), u"Force F16");
    EXPECT_EQ(w->ACG_Modbus_Read->Columns().Items(0)->Header(), u"N");
    TBitmap bmp;
    dialogs.OnModalForm = [&](TCustomForm*) {
        RenderControlToBitmap(w->ACG_Modbus_Read, bmp);
        w->Btn_Cancel->Click();
    };
    EXPECT_EQ(w->ShowModal(), mrCancel);
    const struct {
        int col;
        TColor rgb;
    } colours[] = {{Slave, 0xE0FAFE}, {Poll, 0xA8FFA8}, {R_Position, 0xFCD6F4}, {R_Swap_Word, 0xFFFFA8},
                   {R_Format, 0xFFD8B0}, {R_Mnemonic, 0xFFFFFF}};
    int left[13] = {0};
    for (int c = 1; c < 13; ++c) left[c] = left[c - 1] + w->ACG_Modbus_Read->Columns().Items(c - 1)->Width();
    for (const auto& c : colours) {
        const TColor want = RGB((c.rgb >> 16) & 0xFF, (c.rgb >> 8) & 0xFF, c.rgb & 0xFF);
        EXPECT_EQ(ColorToRGB(bmp.Canvas().Pixels(left[c.col] + 4, 2 * 22 + 4)), want) << c.col;
    }
}

// The window system's own double click, in a virtual X display
// (QT_QPA_PLATFORM=xcb): at the border between the Type and Address headers
// it sizes the Type column to its contents, as in the program.
class SetAccessWindowRealDisplay : public SetAccessWindow {};

TEST_F(SetAccessWindowRealDisplay, AHeaderDoubleClickSizesItsColumn) {
    if (!HaveXDisplay()) GTEST_SKIP() << "needs an X display";
    Model_Code = 4;
    auto w = Make_Window<TFSetAccess>();
    int before = 0, after = 0, fitted = 0;
    dialogs.OnModalForm = [&](TCustomForm*) {
        TExColumnGrid* g = w->ACG_Modbus_Read;
        PumpEvents(25);
        before = g->ColWidths(Type);
        const TRect R = g->CellRect(Address, 0);
        XDoubleClick(g->ClientToScreen({R.Left + 2, R.Top + 5}));
        PumpEvents(100, [&] { return g->ColWidths(Type) != before; });
        PumpEvents(30);
        after = g->ColWidths(Type);
        g->SetColWidths(Type, before);
        g->AutoSizeCol(Type, 0);
        fitted = g->ColWidths(Type);
        w->Btn_Cancel->Click();
    };
    w->ShowModal();
    EXPECT_NE(after, before);
    EXPECT_EQ(after, fitted);
}
