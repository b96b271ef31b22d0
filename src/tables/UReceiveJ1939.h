#pragma once
// The J1939 receive table of a J1939 model's project ("J1939_Rec_Frames.xml"):
// which parameter groups the converter takes from the network and which of
// their bytes go into the process image.

#include "tables/PGN_Receive.h"

// Columns 1..8 (Data Page .. Mnemonic); key PGN (2), not trimmed.
extern const TTableDesc J1939_Receive_Table;
extern const TPGN_Receive_Rules J1939_Receive_Rules;
extern const TPGN_Editor J1939_Receive_Editor;

namespace j1939_rec_col {
constexpr int DP = 1, PGN = 2, SA = 3, TP = 4, Start = 5, NByte = 6, Delete = 7, Mnemonic = 8;
}  // namespace j1939_rec_col

class TFReceiveJ1939 : public TPGN_Receive_Form {
public:
    explicit TFReceiveJ1939(TComponent* AOwner);
};
extern TFReceiveJ1939* FReceiveJ1939;
