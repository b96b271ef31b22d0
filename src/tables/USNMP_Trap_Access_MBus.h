#pragma once
// The SNMP map of an M-Bus network's objects (meter state, identification
// number, variables): the grid the M-Bus network editor fills, its hints and
// the checks run by OK. The window writes no file.

#include "tables/Table_Frame.h"

#include <vector>

// The 14 columns; N ID (1), V ID (2) and On Change (7) stay hidden.
extern const TTableDesc SNMP_MBus_Table;
constexpr int SNMP_MBus_Hidden[] = {1, 2, 7};

namespace snmp_mbus_col {
constexpr int N_ID = 1, V_ID = 2, Node = 3, Variable = 4, Community = 5, Type = 6, On_Change = 7, On_Timer = 8,
              Time = 9, NumBits = 10, Description = 11, IP = 12, Mnemonic = 13;
}  // namespace snmp_mbus_col

// The header hint of real column col in row row (texts 1920 .. 1932 for
// columns 1 .. 13); empty elsewhere.
String SNMP_MBus_Header_Hint(int row, int col);

// The checks of OK over every row; a row that maps no object (empty N ID)
// is not checked. Shows the first failure and gives false.
bool SNMP_MBus_Controllo_dati(const IRowGrid& grid, std::vector<String>& SL_Check_Desc);
