#include "mbus/UScanModbusStart.h"

#include "controls/FlatButton.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "mbus/Scan_Dialog.h"
#include "shell/Globals.h"

TFScanModbusStart* FScanModbusStart = nullptr;

namespace {

constexpr int First_Register = 1, Last_Register = 65535;

}  // namespace

TFScanModbusStart::TFScanModbusStart(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    Place_Title(this, 331, P_Title, L_SW_Code, L_SW_Desc);
    L_StartModAdd = Place<TLabel>(this, 16, 72, 300, 13);
    E_StartModAdd = Place<TEdit>(this, 16, 90, 121, 21);
    Btn_OK = Place<TFlatButton>(this, 16, 126, 100, 28);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_Cancel = Place<TFlatButton>(this, 124, 126, 100, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    OnCreate = [this](TObject* s) { FormCreate(s); };
}

void TFScanModbusStart::FormCreate(TObject*) {
    SetClientWidth(331);
    SetClientHeight(162);
    Set_Lang();
}

void TFScanModbusStart::Set_Lang() {
    SetCaption(Lang_Table[1400]);
    L_SW_Code->SetCaption(Lang_Table[1401]);
    L_SW_Desc->SetCaption(Lang_Table[1402]);
    L_StartModAdd->SetCaption(Lang_Table[1403]);
    Btn_OK->SetCaption(Lang_Table[1404]);
    Btn_Cancel->SetCaption(Lang_Table[1405]);
}

void TFScanModbusStart::Btn_OKClick(TObject*) {
    const int value = StrToIntDef(E_StartModAdd->Text(), -1);
    if (value < First_Register || value > Last_Register) {
        MessageDlg(Lang_Table[1406], mtError, {mbOK});
        return;
    }
    StartModAdd = value;
    SetModalResult(mrOk);
}
