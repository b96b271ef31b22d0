#pragma once
// The objects the converter offers as a CANopen SDO server
// ("SDO_Server_CANopen.xml"): up to 500 objects a client reads (addressing
// PROFINET_NB_IN bytes) and 500 it writes (PROFINET_NB_OUT bytes).

#include "tables/CANopen_Access.h"

constexpr int SDO_Server_Row_Count = 500;

// Columns 1..8: Index .. Mnemonic; key Index, trimmed.
extern const TTableDesc SDO_Server_Read_Table;
extern const TTableDesc SDO_Server_Write_Table;
extern const TCANopen_Editor SDO_Server_Editor;

namespace sdo_server_col {
constexpr int Index = 1, SubIndex = 2, NByte = 3, Address_B1 = 4, Address_B2 = 5, Address_B3 = 6, Address_B4 = 7,
              Mnemonic = 8;
}  // namespace sdo_server_col

class TFSet_SDO_Server_Access : public TCANopen_Access_Form {
public:
    explicit TFSet_SDO_Server_Access(TComponent* AOwner);
    TTabSheet* TS_SDO_Read;
    TTabSheet* TS_SDO_Write;
};
extern TFSet_SDO_Server_Access* FSet_SDO_Server_Access;
