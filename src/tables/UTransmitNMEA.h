#pragma once
// The NMEA 2000 transmit table of an NMEA 2000 model's project
// ("NMEA_Send_Frames.xml"): which parameter groups the converter sends,
// with data from the process image, and when.

#include "tables/PGN_Transmit.h"

// Columns 1..10 (Priority .. Mnemonic); key PGN (2), not trimmed.
extern const TTableDesc NMEA_Transmit_Table;
extern const TPGN_Transmit_Rules NMEA_Transmit_Rules;
extern const TPGN_Editor NMEA_Transmit_Editor;

namespace nmea_send_col {
constexpr int Priority = 1, PGN = 2, SA = 3, FP = 4, NByte = 5, Request = 6, Data_Change = 7, On_Timer = 8,
              SendTimer = 9, Mnemonic = 10;
}  // namespace nmea_send_col

class TFTransmitNMEA : public TPGN_Transmit_Form {
public:
    explicit TFTransmitNMEA(TComponent* AOwner);
};
extern TFTransmitNMEA* FTransmitNMEA;
