#include "mbus/UModbusStartAdd_SD.h"

#include "controls/FlatButton.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "framework/SysUtils.h"
#include "grid/ExCGrid.h"
#include "mbus/Scan_Dialog.h"
#include "shell/Globals.h"
#include "shell/Shell_Controls.h"

TFModbusStartAdd_SD* FModbusStartAdd_SD = nullptr;

namespace {

constexpr int First_Address = 1, Last_Address = 59999;
constexpr int Col_Meter = 0, Col_Address = 1;

}  // namespace

TFModbusStartAdd_SD::TFModbusStartAdd_SD(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    Place_Title(this, 511, P_Title, L_SW_Code, L_SW_Desc);
    sga = Place<TExColumnGrid>(this, 16, 68, 479, 184);
    sga->SetName(u"sga");
    Set_Window_Grid_Look(sga);
    sga->SetColCount(2);
    sga->SetRowCount(2);
    sga->SetFixedRows(1);
    sga->SetFixedCols(0);
    sga->SetDefaultRowHeight(21);
    sga->SetOptions(sga->Options() + TGridOptions{goEditing});
    for (int c : {Col_Meter, Col_Address}) sga->Columns().Items(c)->SetWidth(200);
    CB_En_NodeState = Place<TCheckBox>(this, 16, 260, 240, 17);
    CB_En_IndNum = Place<TCheckBox>(this, 16, 280, 240, 17);
    Btn_OK = Place<TFlatButton>(this, 16, 302, 100, 28);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_Cancel = Place<TFlatButton>(this, 124, 302, 100, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    OnCreate = [this](TObject* s) { FormCreate(s); };
}

void TFModbusStartAdd_SD::FormCreate(TObject*) {
    SetClientWidth(511);
    SetClientHeight(336);
    L_SW_Code->SetCaption(SW_Code);
    Set_Lang();
}

void TFModbusStartAdd_SD::Set_Lang() {
    SetCaption(Lang_Table[1500]);
    L_SW_Desc->SetCaption(Lang_Table[1501]);
    CB_En_NodeState->SetCaption(Lang_Table[1502]);
    CB_En_IndNum->SetCaption(Lang_Table[1503]);
    sga->Columns().Items(Col_Meter)->SetHeader(Lang_Table[1504]);
    sga->Columns().Items(Col_Address)->SetHeader(Lang_Table[1505]);
    Btn_OK->SetCaption(Lang_Table[1506]);
    Btn_Cancel->SetCaption(Lang_Table[1507]);
}

bool TFModbusStartAdd_SD::Check_Data() {
    for (int row = 1; row < sga->RowCount(); ++row) {
        const String text = sga->GetCellEx(Col_Address, row);
        int entry = 0;
        if (text.empty())
            entry = 1509;
        else if (const int value = StrToIntDef(text, -1); value < First_Address || value > Last_Address)
            entry = 1510;
        if (entry) {
            MessageDlg(Lang_Table[1508] + IntToStr(row) + Lang_Table[entry], mtError, {mbOK});
            return false;
        }
    }
    return true;
}

void TFModbusStartAdd_SD::Btn_OKClick(TObject*) {
    if (Check_Data()) SetModalResult(mrOk);
}
