#include "tables/CANopen_Access.h"
#include "tables/UNodeGuard.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// One table of an editor with a row that passes every check.
struct Table_Under_Test {
    const TCANopen_Table& checks;
    int lead;
    const char* valid_row;
};
const Table_Under_Test Server_Read{SDO_Server_Editor.First, 528, "0x2000|0|4|0|1|2|3|m"};
const Table_Under_Test Server_Write{SDO_Server_Editor.Second, 528, "8192|255|1|0|||||"};
const Table_Under_Test Client_Read{SDO_Client_Editor.First, 482, "5|0x1000|0|4|100|0|1|2|3|m"};
const Table_Under_Test Client_Write{SDO_Client_Editor.Second, 482, "127|0xFFFF|0|2|0||0|1|||"};
const Table_Under_Test PDO_Receive{PDO_Editor.First, 427, "0x181|8|0|1|2|3|3|2|1|0|0|m"};
const Table_Under_Test PDO_Transmit{PDO_Editor.Second, 427, "0x201|1|0||||||||100000000|N|m"};
const Table_Under_Test Node_Guard{NodeGuard_Checks, 1711, "1|100|3|m"};

using Edits = std::vector<std::pair<int, const char*>>;

// The table's message for a grid holding the valid row in rows 1 and 2,
// with the edits applied to row 2 (row 3 stays empty and ends the table).
std::string Failure(const Table_Under_Test& t, const Edits& edits, int limit) {
    const TTableDesc& d = t.checks.Table;
    StandInGrid g(d.Rows + 1, static_cast<int>(d.Columns.size()) + 1);
    Reset_Table(g, d);
    g.SetRow(1, t.valid_row);
    g.SetRow(2, t.valid_row);
    for (const auto& [col, text] : edits) g.SetCellEx(col, 2, S(text));
    return StringToUtf8(CANopen_Table_Failure(g, t.checks, t.lead, limit));
}

}  // namespace

TEST(CANopenAccess, EachTableChecksItsRowsInOrderWithItsTexts) {
    Load_Default_Texts();
    namespace sv = sdo_server_col;
    namespace cl = sdo_client_col;
    const std::string pdo_index = "Error row 2!! [SDO in Read] Index must be different from 0x7000 to 0x701D and from "
                                  "0x7050 to 0x706D";
    const struct {
        const char* name;
        const Table_Under_Test& table;
        Edits edits;
        int limit;
        std::string message;  // empty: passes
    } cases[] = {
        {"server valid", Server_Read, {}, 1440, ""},
        {"server 0x701E", Server_Read, {{sv::Index, "0x701E"}}, 1440, ""},
        {"server 0x701D", Server_Read, {{sv::Index, "0x701D"}}, 1440, pdo_index},
        {"server 0x7000", Server_Read, {{sv::Index, "$7000"}}, 1440, pdo_index},
        {"server 0x704F", Server_Read, {{sv::Index, "0x704F"}}, 1440, ""},
        {"server 0x7050", Server_Read, {{sv::Index, "x7050"}}, 1440, pdo_index},
        {"server 0x706D", Server_Read, {{sv::Index, "28781"}}, 1440, pdo_index},
        {"server 0x706E", Server_Read, {{sv::Index, "0x706E"}}, 1440, ""},
        {"server 0x7FFF", Server_Read, {{sv::Index, "0x7FFF"}}, 1440, ""},
        {"server 0x1FFF", Server_Read, {{sv::Index, "0x1FFF"}}, 1440,
         "Error row 2!! [SDO in Read] Index must be between 0x2000 and 0x7FFF"},
        {"server 0x8000", Server_Read, {{sv::Index, "0x8000"}}, 1440,
         "Error row 2!! [SDO in Read] Index must be between 0x2000 and 0x7FFF"},
        {"server abc", Server_Read, {{sv::Index, "abc"}}, 1440,
         "Error row 2!! [SDO in Read] Index must be between 0x2000 and 0x7FFF"},
        {"server index of blanks ends the table", Server_Read, {{sv::Index, "  "}, {sv::NByte, "3"}}, 1440, ""},
        {"server index with a trailing blank", Server_Read, {{sv::Index, "0x2000 "}}, 1440,
         "Error row 2!! [SDO in Read] Index must be between 0x2000 and 0x7FFF"},
        {"server write 0x8000", Server_Write, {{sv::Index, "0x8000"}}, 1440,
         "Error row 2!! [SDO in Write] Index must be between 0x2000 and 0x7FFF"},
        // The text table names the read table in the write table's exclusion text too.
        {"server write 0x7010", Server_Write, {{sv::Index, "0x7010"}}, 1440,
         "Error row 2" + StringToUtf8(Lang_Table[538])},
        {"server subindex 256", Server_Read, {{sv::SubIndex, "256"}}, 1440,
         "Error row 2!! [SDO in Read] SubIndex must be between 0x00 and 0xFF"},
        {"server N Byte 3", Server_Read, {{sv::NByte, "3"}}, 1440, "Error row 2!! [SDO in Read] N Byte must be 1 or 2 or 4"},
        {"server write N Byte 3", Server_Write, {{sv::NByte, "3"}}, 1440,
         "Error row 2!! [SDO in Write] N Byte must be 1 or 2 or 4"},
        {"server N Byte 1 leaves bytes 2 to 4", Server_Read,
         {{sv::NByte, "1"}, {sv::Address_B2, "abc"}, {sv::Address_B3, "-5"}}, 1440, ""},
        {"server N Byte 2 checks byte 2", Server_Read, {{sv::NByte, "2"}, {sv::Address_B2, ""}, {sv::Address_B3, "x"}},
         1440, "Error row 2!! [SDO in Read] Address Byte2 must be between 0 and 1439"},
        {"server N Byte 4 checks byte 4", Server_Read, {{sv::Address_B4, "1440"}}, 1440,
         "Error row 2!! [SDO in Read] Address Byte4 must be between 0 and 1439"},
        {"server byte 1 at the limit", Server_Read, {{sv::Address_B1, "10"}}, 10,
         "Error row 2!! [SDO in Read] Address Byte1 must be between 0 and 9"},
        {"server with no data area", Server_Read, {}, 0,
         "Error row 1!! [SDO in Read] Address Byte1 must be between 0 and -1"},
        {"server with a negative data area", Server_Read, {}, -2147483647 - 1,
         "Error row 1!! [SDO in Read] Address Byte1 must be between 0 and -1"},
        {"server write byte 3", Server_Write, {{sv::NByte, "4"}, {sv::Address_B2, "0"}, {sv::Address_B3, "9"}}, 8,
         "Error row 2!! [SDO in Write] Address Byte3 must be between 0 and 7"},

        {"client valid", Client_Read, {}, 8, ""},
        {"client read byte 1 at the limit", Client_Read, {{cl::R_Address_B1, "8"}}, 8,
         "Error row 2!! [SDO Read] Address Byte1 must be between 0 and 7"},
        {"client write byte 1 below the limit", Client_Write, {{cl::W_Address_B1, "19"}}, 20, ""},
        {"client ID 0", Client_Read, {{cl::Device_ID, "0"}}, 8, "Error row 2!! [SDO Read] Device ID must be between 1 and 127"},
        {"client write ID 128", Client_Write, {{cl::Device_ID, "128"}}, 8,
         "Error row 2!! [SDO Write] Device ID must be between 1 and 127"},
        {"client index 0x0FFF", Client_Read, {{cl::Index, "0x0FFF"}}, 8,
         "Error row 2!! [SDO Read] Index must be between 0x1000 and 0xFFFF"},
        {"client PDO data index allowed", Client_Read, {{cl::Index, "0x7000"}}, 8, ""},
        {"client write index 0x10000", Client_Write, {{cl::Index, "0x10000"}}, 8,
         "Error row 2!! [SDO Write] Index must be between 0x1000 and 0xFFFF"},
        {"client read poll 0", Client_Read, {{cl::Poll_Time, "0"}}, 8,
         "Error row 2!! [SDO Read] Poll Time must be between 1 and 100000000"},
        {"client write poll 100000001", Client_Write, {{cl::Poll_Time, "100000001"}}, 8,
         "Error row 2!! [SDO Write] Poll Time must be between 0 and 100000000"},
        {"client write N Byte 2 checks byte 2", Client_Write, {{cl::W_Address_B1 + 1, "20"}}, 20,
         "Error row 2!! [SDO Write] Address Byte2 must be between 0 and 19"},
        {"client On Change not checked", Client_Write, {{cl::W_On_Change, "maybe"}}, 8, ""},

        {"PDO valid", PDO_Receive, {}, 1440, ""},
        {"PDO COB-ID 0x7FF", PDO_Receive, {{pdo_col::COB_ID, "0x7FF"}}, 1440, ""},
        {"PDO COB-ID 0", PDO_Transmit, {{pdo_col::COB_ID, "0"}}, 1440, ""},
        {"PDO COB-ID 0x800", PDO_Receive, {{pdo_col::COB_ID, "0x800"}}, 1440,
         "Error row 2!! [Receive PDO] COB-ID must be between 0x000 and 0x7FF"},
        {"PDO transmit COB-ID 0x800", PDO_Transmit, {{pdo_col::COB_ID, "0x800"}}, 1440,
         "Error row 2!! [Transmit PDO] COB-ID must be between 0x000 and 0x7FF"},
        {"PDO dimension 0", PDO_Receive, {{pdo_col::Dimension, "0"}}, 1440,
         "Error row 2!! [Receive PDO] Dimension must be between 1 and 8"},
        {"PDO transmit dimension 9", PDO_Transmit, {{pdo_col::Dimension, "9"}}, 1440,
         "Error row 2!! [Transmit PDO] Dimension must be between 1 and 8"},
        {"PDO dimension 2 checks two bytes", PDO_Receive, {{pdo_col::Dimension, "2"}, {5, "abc"}, {10, ""}}, 1440, ""},
        {"PDO dimension 2 byte 2", PDO_Receive, {{pdo_col::Dimension, "2"}, {4, "-1"}}, 1440,
         "Error row 2!! [Receive PDO] Address Byte2 must be between 0 and 1439"},
        {"PDO byte 8", PDO_Receive, {{pdo_col::Address_B8, "4"}}, 4,
         "Error row 2!! [Receive PDO] Address Byte8 must be between 0 and 3"},
        {"PDO receive byte 1 at the limit", PDO_Receive, {{pdo_col::Address_B1, "4"}}, 4,
         "Error row 2!! [Receive PDO] Address Byte1 must be between 0 and 3"},
        {"PDO timeout 100000001", PDO_Receive, {{pdo_col::Time_Col, "100000001"}}, 1440,
         "Error row 2!! [Receive PDO] TimeOut must be between 0 and 100000000"},
        {"PDO send time empty", PDO_Transmit, {{pdo_col::Time_Col, ""}}, 1440,
         "Error row 2!! [Transmit PDO] Send Time must be between 0 and 100000000"},
        {"PDO addresses before the time", PDO_Transmit, {{pdo_col::Time_Col, ""}, {pdo_col::Address_B1, ""}}, 1440,
         "Error row 2!! [Transmit PDO] Address Byte1 must be between 0 and 1439"},

        {"node guard: the same ID twice", Node_Guard, {}, 0, ""},
        {"node guard 0x7F", Node_Guard, {{nodeguard_col::NodeID, "0x7F"}}, 0, ""},
        {"node guard ID 128", Node_Guard, {{nodeguard_col::NodeID, "128"}}, 0,
         "Error row 2!! Device ID must be between 1 and 127"},
        {"node guard time 0", Node_Guard, {{nodeguard_col::GuardTime, "0"}}, 0,
         "Error row 2!! Guard Time must be between 1 and 65535 ms"},
        {"node guard time 65536", Node_Guard, {{nodeguard_col::GuardTime, "65536"}}, 0,
         "Error row 2!! Guard Time must be between 1 and 65535 ms"},
        {"node guard time 65535", Node_Guard, {{nodeguard_col::GuardTime, "65535"}}, 0, ""},
        {"node guard factor 256", Node_Guard, {{nodeguard_col::LifeTimeFactor, "256"}}, 0,
         "Error row 2!! Life Time Factor must be between 1 and 255 ms"},
    };
    for (const auto& c : cases) EXPECT_EQ(Failure(c.table, c.edits, c.limit), c.message) << c.name;
}

TEST(CANopenAccess, TheLastRowIsCheckedAndTheFirstEmptyKeyEndsTheTable) {
    Load_Default_Texts();
    const struct {
        const Table_Under_Test& table;
        const char* bad_row;
        const char* message;
    } cases[] = {
        {Server_Read, "0x1000|0|1|0||||", "Error row 500!! [SDO in Read] Index must be between 0x2000 and 0x7FFF"},
        {Client_Write, "0|0x1000|0|1|0||0||||", "Error row 256!! [SDO Write] Device ID must be between 1 and 127"},
        {PDO_Transmit, "0x800|1|0||||||||0||", "Error row 30!! [Transmit PDO] COB-ID must be between 0x000 and 0x7FF"},
        {Node_Guard, "1|0|1|", "Error row 32!! Guard Time must be between 1 and 65535 ms"},
    };
    for (const auto& c : cases) {
        const TTableDesc& d = c.table.checks.Table;
        StandInGrid g(d.Rows + 1, static_cast<int>(d.Columns.size()) + 1);
        for (int r = 1; r < d.Rows; ++r) g.SetRow(r, c.table.valid_row);
        g.SetRow(d.Rows, c.bad_row);
        EXPECT_EQ(StringToUtf8(CANopen_Table_Failure(g, c.table.checks, c.table.lead, 1440)), c.message);
        // An emptied key above it ends the table before the bad row.
        g.SetCellEx(d.Key_Col, d.Rows - 1, u"");
        EXPECT_EQ(CANopen_Table_Failure(g, c.table.checks, c.table.lead, 1440), u"") << c.message;
    }
}

TEST(CANopenAccess, SizesComeFromTheGeneralParametersDirectOrCrossed) {
    TempDir dir;
    const String path = S(dir.file("ParGen.xml"));
    EXPECT_EQ(CANopen_Limits(path, false).First, 1440);
    EXPECT_EQ(CANopen_Limits(path, true).Second, 1440);
    const struct {
        const char* file;
        int in, out;
    } cases[] = {
        {"<Par_Gen><PROFINET_NB_IN>20</PROFINET_NB_IN><PROFINET_NB_OUT>8</PROFINET_NB_OUT></Par_Gen>", 20, 8},
        {"<Par_Gen><PROFINET_NB_OUT>0x10</PROFINET_NB_OUT></Par_Gen>", 1440, 16},
        {"<Par_Gen><PROFINET_NB_IN>abc</PROFINET_NB_IN><PROFINET_NB_OUT>8 </PROFINET_NB_OUT></Par_Gen>", 1440, 1440},
    };
    for (const auto& c : cases) {
        dir.write("ParGen.xml", c.file);
        const TCANopen_Limits direct = CANopen_Limits(path, false), crossed = CANopen_Limits(path, true);
        EXPECT_EQ(direct.First, c.in) << c.file;
        EXPECT_EQ(direct.Second, c.out) << c.file;
        EXPECT_EQ(crossed.First, c.out) << c.file;
        EXPECT_EQ(crossed.Second, c.in) << c.file;
    }
    dir.write("ParGen.xml", "<Par_Gen><PROFINET_NB_IN>");
    EXPECT_THROW(CANopen_Limits(path, false), Exception);
}

TEST(CANopenAccess, LoadingStopsAtAMissingAttributeAndLeavesTheSecondTableEmpty) {
    TempDir dir;
    const String path = S(dir.file("PDO_CANopen.xml"));
    StandInGrid receive(31, 13), transmit(31, 14);
    CANopen_Reset(PDO_Editor, receive, transmit);
    // Row 2 of the receive table has no Mnemonic; the transmit table is complete.
    dir.write("PDO_CANopen.xml",
              "<Any><Transmit_PDO><row COB-ID='0x201' Dimension='1' Address_B1='0' Address_B2='' Address_B3='' "
              "Address_B4='' Address_B5='' Address_B6='' Address_B7='' Address_B8='' Send_Time='0' On_Change='' "
              "Mnemonic=''/></Transmit_PDO><Receive_PDO><row COB-ID='0x181' Dimension='1' Address_B1='0' "
              "Address_B2='' Address_B3='' Address_B4='' Address_B5='' Address_B6='' Address_B7='' Address_B8='' "
              "TimeOut='5' Mnemonic='a'/><row COB-ID='0x182' Dimension='1' Address_B1='1' Address_B2='' "
              "Address_B3='' Address_B4='' Address_B5='' Address_B6='' Address_B7='' Address_B8='' "
              "TimeOut='5'/></Receive_PDO></Any>");
    try {
        CANopen_Load(PDO_Editor, path, receive, transmit);
        FAIL() << "the missing attribute was not reported";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), Missing_Attribute_Text);
    }
    EXPECT_EQ(receive.Row(1), "0x181|1|0||||||||5|a");
    EXPECT_EQ(receive.Row(2), "0x182|1|1||||||||5|");
    EXPECT_EQ(transmit.Row(1), "||||||||||||");
    // Without the second table element the first is read and the failure names the element.
    dir.write("PDO_CANopen.xml", "<Any><Receive_PDO/></Any>");
    EXPECT_THROW(CANopen_Load(PDO_Editor, path, receive, transmit), EXmlError);
}
