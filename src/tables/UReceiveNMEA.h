#pragma once
// The NMEA 2000 receive table of an NMEA 2000 model's project
// ("NMEA_Rec_Frames.xml"): which parameter groups the converter takes from
// the network and which of their bytes go into the process image.

#include "tables/PGN_Receive.h"

// Columns 1..8 (PGN .. Mnemonic); key PGN (1), not trimmed.
extern const TTableDesc NMEA_Receive_Table;
extern const TPGN_Receive_Rules NMEA_Receive_Rules;
extern const TPGN_Editor NMEA_Receive_Editor;

namespace nmea_rec_col {
constexpr int PGN = 1, SA = 2, TP = 3, FP = 4, Start = 5, NByte = 6, Delete = 7, Mnemonic = 8;
}  // namespace nmea_rec_col

class TFReceiveNMEA : public TPGN_Receive_Form {
public:
    explicit TFReceiveNMEA(TComponent* AOwner);
};
extern TFReceiveNMEA* FReceiveNMEA;
