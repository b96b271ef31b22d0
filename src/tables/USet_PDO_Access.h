#pragma once
// The process data objects the converter exchanges on the CANopen network
// ("PDO_CANopen.xml"): up to 30 receive PDOs (their bytes go to the
// PROFINET_NB_OUT bytes) and 30 transmit PDOs (from the PROFINET_NB_IN bytes).

#include "tables/CANopen_Access.h"

constexpr int PDO_Row_Count = 30;

// Receive columns 1..12 (COB-ID .. Mnemonic), transmit columns 1..13 with On
// Change at 12; key COB-ID, trimmed.
extern const TTableDesc PDO_Receive_Table;
extern const TTableDesc PDO_Transmit_Table;
extern const TCANopen_Editor PDO_Editor;

namespace pdo_col {
constexpr int COB_ID = 1, Dimension = 2, Address_B1 = 3, Address_B8 = 10, Time_Col = 11;  // TimeOut or Send Time
constexpr int R_Mnemonic = 12, T_On_Change = 12, T_Mnemonic = 13;
}  // namespace pdo_col

class TFSet_PDO_Access : public TCANopen_Access_Form {
public:
    explicit TFSet_PDO_Access(TComponent* AOwner);
    TTabSheet* TS_Receive_PDO;
    TTabSheet* TS_Transmit_PDO;
};
extern TFSet_PDO_Access* FSet_PDO_Access;
