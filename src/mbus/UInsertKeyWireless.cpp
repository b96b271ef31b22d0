#include "mbus/UInsertKeyWireless.h"

#include "controls/FlatButton.h"
#include "framework/Dialogs.h"
#include "framework/StdCtrls.h"
#include "shell/Globals.h"

TFInsertKeyWireless* FInsertKeyWireless = nullptr;

namespace {

constexpr int Key_Characters = 32;  // 16 key bytes in hexadecimal

TFlatButton* Key_Button(TWinControl* parent, int left, int top) {
    TFlatButton* b = new TFlatButton(parent);
    b->SetParent(parent);
    b->SetBounds(left, top, 75, 25);
    return b;
}

}  // namespace

TFInsertKeyWireless::TFInsertKeyWireless(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(bsNone);
    SetPosition(poScreenCenter);
    L_InsKey = new TLabel(this);
    L_InsKey->SetParent(this);
    L_InsKey->SetBounds(8, 16, 90, 13);
    E_Key = new TEdit(this);
    E_Key->SetParent(this);
    E_Key->SetBounds(104, 12, 209, 21);
    E_Key->SetMaxLength(Key_Characters);
    E_Key->SetCharCase(ecUpperCase);
    Btn_OK = Key_Button(this, 320, 10);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_Cancel = Key_Button(this, 400, 10);
    Btn_Cancel->SetModalResult(mrCancel);
    OnCreate = [this](TObject* s) { FormCreate(s); };
}

void TFInsertKeyWireless::FormCreate(TObject*) {
    SetClientWidth(481);
    SetClientHeight(47);
    Set_Lang();
}

void TFInsertKeyWireless::Set_Lang() {
    L_InsKey->SetCaption(Lang_Table[1300]);
    Btn_OK->SetCaption(Lang_Table[1301]);
    Btn_Cancel->SetCaption(Lang_Table[1302]);
}

bool TFInsertKeyWireless::Check_Data(const String& Text) {
    for (Char c : Text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
    return true;
}

void TFInsertKeyWireless::Btn_OKClick(TObject*) {
    const String key = E_Key->Text();
    if (key.size() != Key_Characters) {
        MessageDlg(Lang_Table[1304], mtError, {mbOK});
        return;
    }
    if (!Check_Data(key)) {
        MessageDlg(Lang_Table[1303], mtError, {mbOK});
        return;
    }
    SetModalResult(mrOk);
}
