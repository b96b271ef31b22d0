#pragma once
// The dialog in which the user gives the address of a pasted node: one of the
// two kinds, checked for its range and against the addresses of the network.

#include "mbus/MBusNetwork.h"
#include "shell/Shell_Controls.h"

class TFNewIDNode : public TForm {
public:
    explicit TFNewIDNode(TComponent* AOwner);
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* Label1;
    TRadioButton* RB_ID_Primary;
    TRadioButton* RB_ID_Secondary;
    TEdit* E_New_Node_ID_Pri;
    TEdit* E_New_Node_ID_Sec;
    TFlatButton* Btn_OK;
    TFlatButton* Btn_Cancel;

    // The network whose addresses the check looks at; the editor sets it
    // before showing the dialog.
    const TNodi_List* Nodi_List = nullptr;

    void FormCreate(TObject* Sender);
    void LbButton2Click(TObject* Sender);
    void Set_Lang();
};
extern TFNewIDNode* FNewIDNode;
