#include "tables/UReceiveNMEA.h"

#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;

using K = TColKind;
constexpr std::uint32_t W = Window_Colour;
const TColumnDesc Columns[] = {
    {1, 204, K::Normal, No_Choices, 0, 80, W, u"PGN", u""},
    {2, 205, K::Normal, No_Choices, 0, 95, W, u"SA", u""},
    {3, 206, K::CheckBox, No_Choices, 0, 113, W, u"TP", u"N"},
    {4, 207, K::CheckBox, No_Choices, 0, 73, W, u"FP", u"N"},
    {5, 208, K::Normal, No_Choices, 0, 65, W, u"TP_Start", u""},
    {6, 209, K::Normal, No_Choices, 0, 50, W, u"TP_NByte", u""},
    {7, 210, K::CheckBox, No_Choices, 0, 74, W, u"Delete", u"N"},
    {8, 211, K::Normal, No_Choices, 0, 195, W, u"Mnemonic", u""},
};

}  // namespace

const TTableDesc NMEA_Receive_Table = {nullptr, u"row", nmea_rec_col::PGN, false, PGN_Row_Count, Columns};

const TPGN_Receive_Rules NMEA_Receive_Rules = {
    0, nmea_rec_col::PGN, nmea_rec_col::SA, nmea_rec_col::TP, nmea_rec_col::FP, nmea_rec_col::Start,
    nmea_rec_col::NByte,
    0x1FFFF,
    212, 0, 213, 214, 215, 216, 217, 218, 637, 638, 639, 640, 219,
};

const TPGN_Editor NMEA_Receive_Editor = {
    NMEA_Receive_Table, TTableEditor::NMEA_2000, u"Receive_NMEA_2000", NMEA_Byte_Budget, 810, 197, 203, 220, nullptr,
};

TFReceiveNMEA* FReceiveNMEA = nullptr;

TFReceiveNMEA::TFReceiveNMEA(TComponent* AOwner)
    : TPGN_Receive_Form(AOwner, u"FReceiveNMEA", NMEA_Receive_Editor, NMEA_Receive_Rules, Path_NMEA_Rec_Frames) {}
