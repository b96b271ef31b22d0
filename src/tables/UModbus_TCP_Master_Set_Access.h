#pragma once
// The requests of the Modbus TCP masters ("ModbusTCPM_SetAccess.xml"): the
// serial master's two tables with the slave's address and port before each
// request, 480 requests each.

#include "tables/Modbus_Request_Editor.h"

// Data rows of each table.
constexpr int TCP_Master_Row_Count = 480;

// Real columns the rules name.
namespace tcpm_col {
constexpr int IP = 1, Port = 2, Slave = 3, Type = 4, Address = 5, NPoint = 6, Poll = 7;
constexpr int R_Max_Error = 8, R_Position = 9, R_Bit = 10, R_Swap = 11, R_Swap_Word = 12, R_Format = 13,
              R_Mnemonic = 14;
constexpr int W_On_Change = 8, W_Max_Error = 9, W_Position = 10, W_Bit = 11, W_Swap = 12, W_Swap_Word = 13,
              W_Format = 14, W_Mnemonic = 15;
}  // namespace tcpm_col

extern const TModbus_Editor_Desc TCP_Master_Desc;

class TFModbus_TCP_Master_Set_Access : public TModbus_Request_Form {
public:
    explicit TFModbus_TCP_Master_Set_Access(TComponent* AOwner);
    // The base of the editor's texts: its text n is Lang_Table[Ind_Lang + n].
    int Ind_Lang = TCP_Master_Text_Base;
    static constexpr int TCP_Master_Text_Base = 654;

    bool Check_IP_Address(const String& IP_Address) const { return ::Check_IP_Address(IP_Address); }
};
extern TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access;
