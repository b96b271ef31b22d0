#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "support/StandInRowGrid.h"

#include <gtest/gtest.h>

TEST(PgnFrames, AnEmptyPgnInRow1SavesTheRootAndVersionOnly) {
    // Both directions of a protocol share the root; the model picks the version.
    const struct {
        const TPGN_Editor& editor;
        int model;
        const char* document;
    } cases[] = {
        {J1939_Receive_Editor, 6, "<Receive_J1939/>\r\n<!--SW_VERSION = 1.206-->\r\n"},
        {J1939_Receive_Editor, 14, "<Receive_J1939/>\r\n<!--SW_VERSION = 1.100-->\r\n"},
        {J1939_Transmit_Editor, 32, "<Receive_J1939/>\r\n<!--SW_VERSION = 1.000-->\r\n"},
        {NMEA_Receive_Editor, 7, "<Receive_NMEA_2000/>\r\n<!--SW_VERSION = 1.003-->\r\n"},
        {NMEA_Transmit_Editor, 28, "<Receive_NMEA_2000/>\r\n<!--SW_VERSION = 1.000-->\r\n"},
    };
    for (const auto& c : cases) {
        StandInGrid grid(63, static_cast<int>(c.editor.Table.Columns.size()) + 1);
        Reset_Table(grid, c.editor.Table);
        // Every cell of row 2 filled, the key of row 1 empty.
        for (const TColumnDesc& col : c.editor.Table.Columns) {
            grid.SetCellEx(col.Col, 1, u"1");
            grid.SetCellEx(col.Col, 2, u"1");
        }
        grid.SetCellEx(c.editor.Table.Key_Col, 1, u"");
        TXmlDocument doc;
        PGN_Build_Document(doc, grid, c.editor, c.model);
        EXPECT_EQ(doc.SaveToUtf8(), c.document) << c.model;
    }
}
