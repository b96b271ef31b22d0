#pragma once
// The J1939 transmit table of a J1939 model's project
// ("J1939_Send_Frames.xml"): which parameter groups the converter sends,
// with data from the process image, and when.

#include "tables/PGN_Transmit.h"

class TXmlNode;

// Columns 1..10 (Priority .. Mnemonic); key PGN (3), not trimmed.
extern const TTableDesc J1939_Transmit_Table;
extern const TPGN_Transmit_Rules J1939_Transmit_Rules;
extern const TPGN_Editor J1939_Transmit_Editor;

namespace j1939_send_col {
constexpr int Priority = 1, DP = 2, PGN = 3, SA = 4, NByte = 5, Request = 6, Data_Change = 7, On_Timer = 8,
              SendTimer = 9, Mnemonic = 10;
}  // namespace j1939_send_col

// The rows of the file. An empty Num Byte is a whole frame ("8"); a row of
// the older form names its one sending condition in T_Type, which then
// decides the three sending boxes.
void J1939_Transmit_Load(const TXmlNode& root, IRowGrid& grid);

class TFTransmitJ1939 : public TPGN_Transmit_Form {
public:
    explicit TFTransmitJ1939(TComponent* AOwner);
};
extern TFTransmitJ1939* FTransmitJ1939;
