#include "mbus/UNewIDNode.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"

TFNewIDNode* FNewIDNode = nullptr;

namespace {

constexpr int Client_Width = 265, Client_Height = 195;

TRadioButton* Make_Radio(TWinControl* parent, const char16_t* name, int top) {
    auto* r = new TRadioButton(parent);
    r->SetName(name);
    r->SetParent(parent);
    r->SetBounds(16, top, 140, 20);
    return r;
}

TEdit* Make_Edit(TWinControl* parent, const char16_t* name, int top) {
    auto* e = new TEdit(parent);
    e->SetName(name);
    e->SetParent(parent);
    e->SetBounds(160, top, 89, 21);
    e->SetText(u"1");
    return e;
}

}  // namespace

TFNewIDNode::TFNewIDNode(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FNewIDNode");
    Set_Shell_Form_Look(this);
    SetPosition(poScreenCenter);
    Make_Title_Panel(this, Client_Width, &L_SW_Code, &L_SW_Desc);
    Label1 = Make_Label(this, u"Label1", 16, 72);
    RB_ID_Primary = Make_Radio(this, u"RB_ID_Primary", 96);
    E_New_Node_ID_Pri = Make_Edit(this, u"E_New_Node_ID_Pri", 96);
    RB_ID_Secondary = Make_Radio(this, u"RB_ID_Secondary", 124);
    E_New_Node_ID_Sec = Make_Edit(this, u"E_New_Node_ID_Sec", 124);
    RB_ID_Primary->SetChecked(true);
    Btn_OK = Make_Button(this, u"Btn_OK", 80, 158, 80, 28);
    Btn_OK->OnClick = [this](TObject* s) { LbButton2Click(s); };
    Btn_Cancel = Make_Button(this, u"Btn_Cancel", 169, 158, 80, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
    OnCreate = [this](TObject* s) { FormCreate(s); };
}

void TFNewIDNode::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(Client_Width);
    SetClientHeight(Client_Height);
    Set_Lang();
}

void TFNewIDNode::LbButton2Click(TObject*) {
    const bool secondary = !RB_ID_Primary->Checked();
    const int id = StrToIntDef((secondary ? E_New_Node_ID_Sec : E_New_Node_ID_Pri)->Text(), -1);
    if (id < 0 || id > Max_Node_ID(secondary)) {
        MessageDlg(Lang_Table[secondary ? 808 : 807], mtError, TMsgDlgButtons{mbOK});
        return;
    }
    if (Nodi_List && !Check_Node_ID2(*Nodi_List, id, secondary)) {
        MessageDlg(Lang_Table[789], mtError, TMsgDlgButtons{mbOK});
        return;
    }
    SetModalResult(mrOk);
}

void TFNewIDNode::Set_Lang() {
    SetCaption(Lang_Table[800]);
    L_SW_Desc->SetCaption(Lang_Table[801]);
    Btn_OK->SetCaption(Lang_Table[802]);
    Btn_Cancel->SetCaption(Lang_Table[803]);
    Label1->SetCaption(Lang_Table[804]);
    RB_ID_Primary->SetCaption(Lang_Table[805]);
    RB_ID_Secondary->SetCaption(Lang_Table[806]);
}
