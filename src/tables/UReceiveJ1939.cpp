#include "tables/UReceiveJ1939.h"

#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;

using K = TColKind;
constexpr std::uint32_t W = Window_Colour;
const TColumnDesc Columns[] = {
    {1, 590, K::ComboList, Data_Page_Choices, 0, 65, W, u"DP", u""},
    {2, 591, K::Normal, No_Choices, 0, 85, W, u"PGN", u""},
    {3, 592, K::Normal, No_Choices, 0, 95, W, u"SA", u""},
    {4, 593, K::CheckBox, No_Choices, 0, 113, W, u"TP", u"N"},
    {5, 594, K::Normal, No_Choices, 0, 65, W, u"TP_Start", u""},
    {6, 595, K::Normal, No_Choices, 0, 55, W, u"TP_NByte", u""},
    {7, 596, K::CheckBox, No_Choices, 0, 75, W, u"Delete", u"N"},
    {8, 597, K::Normal, No_Choices, 0, 180, W, u"Mnemonic", u""},
};

}  // namespace

const TTableDesc J1939_Receive_Table = {nullptr, u"row", j1939_rec_col::PGN, false, PGN_Row_Count, Columns};

const TPGN_Receive_Rules J1939_Receive_Rules = {
    j1939_rec_col::DP, j1939_rec_col::PGN, j1939_rec_col::SA, j1939_rec_col::TP, 0, j1939_rec_col::Start,
    j1939_rec_col::NByte,
    0xFFFF,  // the data page bit is not part of a J1939 PGN
    598, 599, 600, 601, 602, 603, 0, 0, 633, 634, 635, 636, 604,
};

const TPGN_Editor J1939_Receive_Editor = {
    J1939_Receive_Table, TTableEditor::J1939, u"Receive_J1939", J1939_Byte_Budget, 800, 583, 589, 605, nullptr,
};

TFReceiveJ1939* FReceiveJ1939 = nullptr;

TFReceiveJ1939::TFReceiveJ1939(TComponent* AOwner)
    : TPGN_Receive_Form(AOwner, u"FReceiveJ1939", J1939_Receive_Editor, J1939_Receive_Rules, Path_J1939_Rec_Frames) {}
