#pragma once
// The dialog that gives each scanned meter its Modbus start address: a grid
// with one row per meter (column 0 names it, column 1 holds the address) and
// two options for the written network.

#include "framework/Forms.h"

class TLabel;
class TPanel;
class TCheckBox;
class TFlatButton;
class TExColumnGrid;

class TFModbusStartAdd_SD : public TForm {
public:
    explicit TFModbusStartAdd_SD(TComponent* AOwner);

    TPanel* P_Title;
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TExColumnGrid* sga;
    TCheckBox* CB_En_NodeState;
    TCheckBox* CB_En_IndNum;
    TFlatButton* Btn_OK;
    TFlatButton* Btn_Cancel;

    void FormCreate(TObject* Sender);
    void Set_Lang();
    // Every data row holds an address from 1 to 59999; the first row that
    // does not is reported in an error box.
    bool Check_Data();
    void Btn_OKClick(TObject* Sender);
};

extern TFModbusStartAdd_SD* FModbusStartAdd_SD;
