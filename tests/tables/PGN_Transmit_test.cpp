#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "tables/Check_Outcome.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

enum class Proto { J1939, NMEA };

// The transmit grid of one editor: 62 data rows, columns 0..10.
struct Table {
    explicit Table(Proto p) : proto(p) { Reset_Table(grid, Desc()); }
    const TTableDesc& Desc() const { return proto == Proto::J1939 ? J1939_Transmit_Table : NMEA_Transmit_Table; }
    const TPGN_Transmit_Rules& Rules() const {
        return proto == Proto::J1939 ? J1939_Transmit_Rules : NMEA_Transmit_Rules;
    }
    int Budget() const { return proto == Proto::J1939 ? J1939_Byte_Budget : NMEA_Byte_Budget; }
    // A row by Num Byte and its timer; J1939 has a Data Page of "0" after the
    // priority, NMEA 2000 an FP box after the source address.
    void Row(int r, const std::string& bytes, const std::string& timer = "N", const std::string& period = "") {
        const std::string tail = bytes + "|N|N|" + timer + "|" + period + "|m";
        grid.SetRow(r, proto == Proto::J1939 ? "6|0|61444|0|" + tail : "6|127250|0|N|" + tail);
    }
    Proto proto;
    StandInGrid grid{63, 11};
};

struct Case {
    const char* name;
    Proto proto;
    std::function<void(Table&)> edit;
    const char* message;  // nullptr: passes
};

void Check_Case(const Case& c) {
    SCOPED_TRACE(c.name);
    Table t(c.proto);
    c.edit(t);
    Expect_Check_Outcome([&] { return PGN_Transmit_Check(t.grid, t.Desc(), t.Rules(), t.Budget()); }, c.message);
}

// The rows of a J1939 transmit file as the loader fills them.
std::string Loaded(const std::string& rows) {
    TXmlDocument doc;
    doc.LoadFromUtf8("<Receive_J1939>" + rows + "</Receive_J1939>");
    StandInGrid grid(63, 11);
    Reset_Table(grid, J1939_Transmit_Table);
    J1939_Transmit_Load(doc.DocumentElement(), grid);
    return grid.Row(1);
}

}  // namespace

TEST(PgnTransmit, FieldChecksInOrder) {
    Load_Default_Texts();
    const auto J = Proto::J1939;
    const auto N = Proto::NMEA;
    auto cell = [](int col, const char* text) {
        return [=](Table& t) {
            t.Row(1, "8");
            t.Row(2, "8");
            t.grid.SetCellEx(col, 2, S(text));
        };
    };
    using namespace j1939_send_col;
    const Case cases[] = {
        {"two rows of 8, no sending box ticked", J, cell(Mnemonic, ""), nullptr},
        {"priority 7", J, cell(Priority, "7"), nullptr},
        {"priority 8", J, cell(Priority, "8"), "Error in row 2!! Priority must be between 0 and 7"},
        {"NMEA priority empty", N, cell(nmea_send_col::Priority, ""), "Error in row 2!! Priority must be between 0 and 7"},
        {"data page empty", J, cell(DP, ""), "Error in row 2!! Data Page must be 0 or 1"},
        {"J1939 PGN 0x1FFFF", J, cell(PGN, "0x1FFFF"), nullptr},
        {"J1939 PGN 0x20000", J, cell(PGN, "0x20000"), "Error in row 2!! PGN must be between 0x00000 and 0x1FFFF"},
        {"NMEA PGN 1.5", N, cell(nmea_send_col::PGN, "1.5"), "Error in row 2!! PGN must be between 0x00000 and 0x1FFFF"},
        {"SA -1", J, cell(SA, "-1"), "Error in row 2!! Source Address must be between 0 and 255"},
        {"NMEA SA 256", N, cell(nmea_send_col::SA, "256"), "Error in row 2!! Source Address must be between 0 and 255"},
        // The J1939 text has no blank before the limit.
        {"J1939 Num Byte 0", J, cell(NByte, "0"), "Error in row 2!! Num Byte must be between 1 and1438"},
        {"NMEA Num Byte 0", N, cell(nmea_send_col::NByte, "0"), nullptr},
        {"NMEA Num Byte empty", N, cell(nmea_send_col::NByte, ""), "Error in row 2!! Num Byte must be between 0 and 512"},
        // Alone over the budget: the range check, not the budget text.
        {"J1939 Num Byte 1439", J, [](Table& t) { t.Row(1, "1439"); }, "Error in row 1!! Num Byte must be between 1 and1438"},
        {"NMEA Num Byte 513", N, [](Table& t) { t.Row(1, "513"); }, "Error in row 1!! Num Byte must be between 0 and 512"},
        {"on timer without a period", J, cell(On_Timer, "Y"), "Error in row 2!! Send Timer must be between 1 and 65535 ms"},
        {"on timer 65535", J, [](Table& t) { t.Row(1, "8", "Y", "65535"); }, nullptr},
        {"on timer 65536", N, [](Table& t) { t.Row(1, "8", "Y", "65536"); },
         "Error in row 1!! Send Timer must be between 1 and 65535 ms"},
        {"on timer 0", J, [](Table& t) { t.Row(1, "8", "Y", "0"); }, "Error in row 1!! Send Timer must be between 1 and 65535 ms"},
        {"timer off: any period", N, [](Table& t) { t.Row(1, "8", "N", "abc"); }, nullptr},
        {"lower-case y is not ticked", J, [](Table& t) { t.Row(1, "8", "y", ""); }, nullptr},
        // A priority without a PGN ends the table: it and the rows below are not checked.
        {"row without PGN ends the table", J, [](Table& t) { t.Row(1, "8"); t.grid.SetRow(2, "9||||||||");
                                                             t.Row(3, "0"); }, nullptr},
        {"empty PGN in row 1", N, [](Table& t) { t.Row(2, "abc"); t.grid.SetCellEx(nmea_send_col::PGN, 1, u""); }, nullptr},
    };
    for (const Case& c : cases) Check_Case(c);
}

TEST(PgnTransmit, ByteBudget) {
    Load_Default_Texts();
    const auto J = Proto::J1939;
    const auto N = Proto::NMEA;
    const Case cases[] = {
        {"J1939 two rows of 719", J, [](Table& t) { t.Row(1, "719"); t.Row(2, "719"); }, nullptr},
        {"J1939 a third row of 1", J, [](Table& t) { t.Row(1, "719"); t.Row(2, "719"); t.Row(3, "1"); },
         "Error!! Too many bytes of data, the max number is 1438"},
        {"NMEA one row of 512 and one of 0", N, [](Table& t) { t.Row(1, "512"); t.Row(2, "0"); }, nullptr},
        {"NMEA one row of 512 and one of 1", N, [](Table& t) { t.Row(1, "512"); t.Row(2, "1"); },
         "Error!! Too many bytes of data, the max number is 512"},
        // The budget fails before the bad timer of the same row.
        {"NMEA budget before timer", N, [](Table& t) { t.Row(1, "500"); t.Row(2, "13", "Y", ""); },
         "Error!! Too many bytes of data, the max number is 512"},
    };
    for (const Case& c : cases) Check_Case(c);
}

TEST(PgnTransmit, J1939LoaderFillsLengthAndReadsTheOlderSendType) {
    // Columns: Priority|DP|PGN|SA|Num Byte|Request|Data Change|On Timer|Send Timer|Mnemonic.
    const struct {
        const char* row;
        const char* cells;
    } cases[] = {
        {"<row Priority='6' DP='0' PGN='61444' SA='0'/>", "6|0|61444|0|8|N|N|N||"},
        {"<row PGN='61444' TP_NByte=''/>", "||61444||8|N|N|N||"},
        {"<row PGN='61444' TP_NByte='12' On_Request='Y' On_Timer='Y' SendTimer='100' Mnemonic='m'/>",
         "||61444||12|Y|N|Y|100|m"},
        {"<row PGN='1' T_Type='On Timer' SendTimer='50'/>", "||1||8|N|N|Y|50|"},
        {"<row PGN='1' T_Type='ON DATA CHANGE'/>", "||1||8|N|Y|N||"},
        // T_Type wins over the boxes of the same row.
        {"<row PGN='1' T_Type='On Timer' On_Request='Y' On_Data_Change='Y'/>", "||1||8|N|N|Y||"},
        {"<row PGN='1' T_Type='On Request' On_Request='Y'/>", "||1||8|N|N|N||"},
        {"<row PGN='1' T_Type='' On_Timer='Y'/>", "||1||8|N|N|N||"},
        // Present but empty boxes stay empty: only a missing one is "N".
        {"<row PGN='1' On_Request=''/>", "||1||8||N|N||"},
    };
    for (const auto& c : cases) EXPECT_EQ(Loaded(c.row), c.cells) << c.row;
}

TEST(PgnTransmit, OlderJ1939RowIsSavedInTheCurrentForm) {
    TXmlDocument in;
    in.LoadFromUtf8("<Receive_J1939><row Priority='3' DP='1' PGN='65226' SA='7' T_Type='On Timer' SendTimer='1000' "
                    "Mnemonic='dm1'/><row PGN='61444'/></Receive_J1939>");
    StandInGrid grid(63, 11);
    Reset_Table(grid, J1939_Transmit_Table);
    J1939_Transmit_Load(in.DocumentElement(), grid);
    TXmlDocument out;
    PGN_Build_Document(out, grid, J1939_Transmit_Editor, 14);
    EXPECT_EQ(out.SaveToUtf8(), "<Receive_J1939><row Priority=\"3\" DP=\"1\" PGN=\"65226\" SA=\"7\" TP_NByte=\"8\" "
                                    "On_Request=\"N\" On_Data_Change=\"N\" On_Timer=\"Y\" SendTimer=\"1000\" "
                                    "Mnemonic=\"dm1\"/><row Priority=\"\" DP=\"\" PGN=\"61444\" SA=\"\" TP_NByte=\"8\" "
                                    "On_Request=\"N\" On_Data_Change=\"N\" On_Timer=\"N\" SendTimer=\"\" "
                                    "Mnemonic=\"\"/></Receive_J1939>\r\n<!--SW_VERSION = 1.100-->\r\n");
}
