#include "tables/UTransmitJ1939.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

#include <algorithm>

namespace {

constexpr std::span<const char16_t* const> No_Choices;

using K = TColKind;
constexpr std::uint32_t W = Window_Colour;
const TColumnDesc Columns[] = {
    {1, 613, K::Normal, No_Choices, 0, 50, W, u"Priority", u""},
    {2, 614, K::ComboList, Data_Page_Choices, 0, 65, W, u"DP", u""},
    {3, 615, K::Normal, No_Choices, 0, 85, W, u"PGN", u""},
    {4, 616, K::Normal, No_Choices, 0, 95, W, u"SA", u""},
    {5, 618, K::Normal, No_Choices, 0, 60, W, u"TP_NByte", u""},
    {6, 619, K::CheckBox, No_Choices, 0, 55, W, u"On_Request", u"N"},
    {7, 617, K::CheckBox, No_Choices, 0, 80, W, u"On_Data_Change", u"N"},
    {8, 632, K::CheckBox, No_Choices, 0, 60, W, u"On_Timer", u"N"},
    {9, 620, K::Normal, No_Choices, 0, 70, W, u"SendTimer", u""},
    {10, 621, K::Normal, No_Choices, 0, 115, W, u"Mnemonic", u""},
};

// A group without a length is one whole frame.
constexpr const char16_t* Frame_Length = u"8";

}  // namespace

const TTableDesc J1939_Transmit_Table = {nullptr, u"row", j1939_send_col::PGN, false, PGN_Row_Count, Columns};

const TPGN_Transmit_Rules J1939_Transmit_Rules = {
    j1939_send_col::Priority, j1939_send_col::DP, j1939_send_col::PGN, j1939_send_col::SA, j1939_send_col::NByte,
    j1939_send_col::On_Timer, j1939_send_col::SendTimer,
    1,  // a J1939 group carries at least one byte
    622, 623, 624, 625, 626, 627, 628, 630,
};

const TPGN_Editor J1939_Transmit_Editor = {
    J1939_Transmit_Table, TTableEditor::J1939, u"Receive_J1939", J1939_Byte_Budget, 800, 606, 612, 631,
    J1939_Transmit_Load,
};

void J1939_Transmit_Load(const TXmlNode& root, IRowGrid& grid) {
    using namespace j1939_send_col;
    // Every attribute has a default, so this never stops halfway.
    Load_Rows(root, grid, J1939_Transmit_Table);
    const int rows = std::min(root.ChildCount(), grid.GetRowCount() - 1);
    for (int i = 0; i < rows; ++i) {
        const TXmlNode row = root.Child(i);
        const int r = i + 1;
        if (grid.GetCellEx(NByte, r).empty()) grid.SetCellEx(NByte, r, Frame_Length);
        const std::optional<String> type = row.Attribute(u"T_Type");
        if (!type) continue;
        // The older form had one condition per row; it wins over the boxes.
        const String upper = UpperCase(*type);
        grid.SetCellEx(Request, r, u"N");
        grid.SetCellEx(Data_Change, r, upper == u"ON DATA CHANGE" ? u"Y" : u"N");
        grid.SetCellEx(On_Timer, r, upper == u"ON TIMER" ? u"Y" : u"N");
    }
}

TFTransmitJ1939* FTransmitJ1939 = nullptr;

TFTransmitJ1939::TFTransmitJ1939(TComponent* AOwner)
    : TPGN_Transmit_Form(AOwner, u"FTransmitJ1939", J1939_Transmit_Editor, J1939_Transmit_Rules,
                         Path_J1939_Send_Frames) {}
