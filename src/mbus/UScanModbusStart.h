#pragma once
// The dialog that asks for the first Modbus register when a scan result is
// appended to an existing M-Bus network.

#include "framework/Forms.h"

class TLabel;
class TEdit;
class TPanel;
class TFlatButton;

class TFScanModbusStart : public TForm {
public:
    explicit TFScanModbusStart(TComponent* AOwner);

    TPanel* P_Title;
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* L_StartModAdd;
    TEdit* E_StartModAdd;
    TFlatButton* Btn_OK;
    TFlatButton* Btn_Cancel;

    // The register accepted last.
    int StartModAdd = 0;

    void FormCreate(TObject* Sender);
    void Set_Lang();
    void Btn_OKClick(TObject* Sender);
};

extern TFScanModbusStart* FScanModbusStart;
