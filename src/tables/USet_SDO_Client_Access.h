#pragma once
// The SDO requests the converter sends as a CANopen SDO client
// ("SDO_Client_CANopen.xml"): up to 256 reads (their data go to the
// PROFINET_NB_OUT bytes) and 256 writes (taken from the PROFINET_NB_IN bytes).

#include "tables/CANopen_Access.h"

constexpr int SDO_Client_Row_Count = 256;

// Read columns 1..10 (ID Device .. Mnemonic), write columns 1..11 with On
// Change at 6; key ID Device, trimmed.
extern const TTableDesc SDO_Client_Read_Table;
extern const TTableDesc SDO_Client_Write_Table;
extern const TCANopen_Editor SDO_Client_Editor;

namespace sdo_client_col {
constexpr int Device_ID = 1, Index = 2, SubIndex = 3, NByte = 4, Poll_Time = 5;
constexpr int R_Address_B1 = 6, R_Mnemonic = 10;
constexpr int W_On_Change = 6, W_Address_B1 = 7, W_Mnemonic = 11;
}  // namespace sdo_client_col

class TFSet_SDO_Client_Access : public TCANopen_Access_Form {
public:
    explicit TFSet_SDO_Client_Access(TComponent* AOwner);
    TTabSheet* TS_SDO_Read;
    TTabSheet* TS_SDO_Write;
};
extern TFSet_SDO_Client_Access* FSet_SDO_Client_Access;
