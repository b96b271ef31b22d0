#include "tables/UTransmitNMEA.h"

#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;

using K = TColKind;
constexpr std::uint32_t W = Window_Colour;
const TColumnDesc Columns[] = {
    {1, 228, K::Normal, No_Choices, 0, 50, W, u"Priority", u""},
    {2, 229, K::Normal, No_Choices, 0, 75, W, u"PGN", u""},
    {3, 230, K::Normal, No_Choices, 0, 95, W, u"SA", u""},
    {4, 232, K::CheckBox, No_Choices, 0, 75, W, u"FP", u"N"},
    {5, 233, K::Normal, No_Choices, 0, 60, W, u"TP_NByte", u""},
    {6, 231, K::CheckBox, No_Choices, 0, 55, W, u"On_Request", u"N"},
    {7, 234, K::CheckBox, No_Choices, 0, 80, W, u"On_Data_Change", u"N"},
    {8, 641, K::CheckBox, No_Choices, 0, 64, W, u"On_Timer", u"N"},
    {9, 235, K::Normal, No_Choices, 0, 75, W, u"SendTimer", u""},
    {10, 236, K::Normal, No_Choices, 0, 116, W, u"Mnemonic", u""},
};

}  // namespace

const TTableDesc NMEA_Transmit_Table = {nullptr, u"row", nmea_send_col::PGN, false, PGN_Row_Count, Columns};

const TPGN_Transmit_Rules NMEA_Transmit_Rules = {
    nmea_send_col::Priority, 0, nmea_send_col::PGN, nmea_send_col::SA, nmea_send_col::NByte,
    nmea_send_col::On_Timer, nmea_send_col::SendTimer,
    0,  // a group of no data bytes takes nothing of the budget
    237, 238, 0, 239, 240, 241, 243, 245,
};

const TPGN_Editor NMEA_Transmit_Editor = {
    NMEA_Transmit_Table, TTableEditor::NMEA_2000, u"Receive_NMEA_2000", NMEA_Byte_Budget, 810, 221, 227, 246,
    nullptr,
};

TFTransmitNMEA* FTransmitNMEA = nullptr;

TFTransmitNMEA::TFTransmitNMEA(TComponent* AOwner)
    : TPGN_Transmit_Form(AOwner, u"FTransmitNMEA", NMEA_Transmit_Editor, NMEA_Transmit_Rules, Path_NMEA_Send_Frames) {}
