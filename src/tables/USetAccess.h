#pragma once
// The Modbus master's requests of the serial Modbus masters
// ("ModbusM_SetAccess.xml"): a read and a write table of 512 requests each,
// with row copy and paste within one table.

#include "tables/Modbus_Request_Editor.h"

// Data rows of each table.
constexpr int SetAccess_Row_Count = 512;

// Real columns the rules name.
namespace setaccess_col {
constexpr int Slave = 1, Type = 2, Address = 3, NPoint = 4, Poll = 5;
constexpr int R_Max_Error = 6, R_Position = 7, R_Bit = 8, R_Swap = 9, R_Swap_Word = 10, R_Format = 11,
              R_Mnemonic = 12;
constexpr int W_On_Change = 6, W_Max_Error = 7, W_Position = 8, W_Bit = 9, W_Swap = 10, W_Swap_Word = 11,
              W_Format = 12, W_Force_F16 = 13, W_Mnemonic = 14;
}  // namespace setaccess_col

extern const TModbus_Editor_Desc SetAccess_Desc;

class TFSetAccess : public TModbus_Request_Form {
public:
    explicit TFSetAccess(TComponent* AOwner);

    TFlatButton* Btn_CopyRow;
    TFlatButton* Btn_PasteRow;
    bool Do_Copy_Read = false;
    bool Do_Copy_Write = false;

    void Btn_InsertRowClick(TObject* Sender) { Btn_InsRowClick(Sender); }
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    void bitbtn1Click(TObject* Sender) { Btn_OKClick(Sender); }

protected:
    void Show_Done() override;
};
extern TFSetAccess* FSetAccess;
