#pragma once
// The M-Bus network editor: a tree of nodes and variables, a page for each,
// the process-image byte count, and the buttons that write the network,
// export its address map and import a network file.

#include "controls/ExPageControl.h"
#include "framework/Menus.h"
#include "mbus/MBusNetwork.h"
#include "shell/Shell_Controls.h"

#include <array>
#include <functional>

// The address map of the process image: the header line and one line per
// value of the enabled nodes and variables, each without its line break.
std::vector<String> Address_Map_Lines(const TNodi_List& List);
// A variable's length in the address map (its own rule: the time point only
// for type 20, no float conversion).
int Address_Map_Length(const TVariabile& Var);
// The name the map is written under: ".csv" appended unless the name holds
// ".CSV" in any case.
String Address_Map_File_Name(const String& Chosen);

// One row of the SNMP map grid: the 14 columns by index, hidden ones included.
using TSNMP_Row = std::array<String, 14>;
std::vector<TSNMP_Row> Network_SNMP_Rows(const TNodi_List& List);
// Copies the settings of the rows back into the nodes and variables.
void Copy_SNMP_Values(TNodi_List& List, const std::vector<TSNMP_Row>& Rows);
String Get_Node_Desc(const TNodo& Node);
String Get_Var_Desc(const TVariabile& Var);

class TFMeter_Bus : public TForm {
public:
    explicit TFMeter_Bus(TComponent* AOwner);
    ~TFMeter_Bus() override;

    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TLabel* L_MBus_NumByte;
    TTreeView* TW;
    TPopupMenu* PM_Tree;
    TMenuItem* CopyVariable1;
    TMenuItem* PasteVariable1;
    TMenuItem* CopyNode1;
    TMenuItem* PasteNode1;
    TMenuItem* DeleteItems1;
    TExPageControl* PC_Edit;
    TExTabSheet* TS_Nodes;
    TExTabSheet* TS_Variables;

    // Node page.
    TCheckBox* CB_Enable_Node;
    TLabel* L_Node_Desc;
    TEdit* E_New_Node_Desc;
    TRadioButton* RB_ID_Primary;
    TEdit* E_New_Node_ID_Pri;
    TRadioButton* RB_ID_Secondary;
    TEdit* E_New_Node_ID_Sec;
    TCheckBox* CB_Node_State;
    TCheckBox* CB_Ident_Num;
    TLabel* L_Swap_IN;
    TComboBox* CB_Swap_IN;
    TCheckBox* CB_BCDtoINT_IN;
    TCheckBox* CB_SND_NKE;
    TCheckBox* CB_Reset_App;
    TLabel* L_Var_Type;
    TComboBox* CB_Var_Type;
    TLabel* L_Cut_After;
    TComboBox* CB_Cut_After;
    TLabel* L_Frames;
    TFlatButton* btn_Add_Node;

    // Variable page.
    TCheckBox* CB_Var_En;
    TLabel* L_Var_Desc;
    TEdit* E_New_Var_Desc;
    TLabel* L_Var_ToD;
    TComboBox* CB_Var_ToD;
    TLabel* L_VIF_ASCII;
    TEdit* E_VIF_ASCII;
    TLabel* L_Var_FF;
    TComboBox* CB_Var_FF;
    TLabel* L_Var_Dim;
    TComboBox* CB_Var_Dim;
    TLabel* L_Length;
    TEdit* E_Length;
    TLabel* L_Var_Unit;
    TComboBox* CB_Var_Unit;
    TCheckBox* CB_Scale;
    TLabel* L_Sto_Num;
    TEdit* E_Sto_Num;
    TLabel* L_Tariff;
    TEdit* E_Tariff;
    TLabel* L_VIFE;
    TComboBox* CB_VIFE;
    TCheckBox* CB_BCDtoINT;
    TCheckBox* CB_SWAP;
    TCheckBox* CB_TP_MR;
    TCheckBox* CB_ForceInt32;
    TCheckBox* CB_Float;
    TLabel* L_PostOpe;
    TComboBox* CB_PostOpe;
    TLabel* L_Position;
    TEdit* E_Position;
    TFlatButton* btn_Add_Var;

    TFlatButton* Btn_OK;
    TFlatButton* Btn_Cancel;
    TFlatButton* Btn_ImportNet;
    TFlatButton* Btn_Export_Map;
    TFlatButton* Btn_SNMP;

    // Window state.
    TTreeNode* NODE_ORIG = nullptr;
    TTreeNode* NODE_ID = nullptr;
    TTreeNode* SELECT_NODE = nullptr;
    TNodi_List Nodi_List;
    int IND_NODO = -1;
    int IND_VAR = -1;
    std::unique_ptr<TVariabile> Copy_Var;
    std::unique_ptr<TNodo> Copy_Node;
    bool Is_Change = false;
    bool Auto_Calc_Byte_Used = false;
    int Working_Mode = 0;
    int Num_Byte_Par_Gen = 1439;
    int Map_Type_808 = 1;
    // Shows the SNMP map form with Rows and gives true with the rows edited
    // when it closes with OK; the application sets it once that form exists.
    std::function<bool(std::vector<TSNMP_Row>& Rows)> Edit_SNMP_Map;
    // The last reading of "M_Bus.xml" stopped early: OK asks before replacing it.
    bool Load_Incomplete = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void TWClick(TObject* Sender);
    void btn_Add_NodeClick(TObject* Sender);
    void btn_Add_VarClick(TObject* Sender);
    void btn_Delete_ItemClick(TObject* Sender);
    void CopyVariable1Click(TObject* Sender);
    void PasteVariable1Click(TObject* Sender);
    void CopyNode1Click(TObject* Sender);
    void PasteNode1Click(TObject* Sender);
    void CB_Var_ToDChange(TObject* Sender);
    void CB_Var_DimChange(TObject* Sender);
    void LbButton2Click(TObject* Sender);
    void LbButton4Click(TObject* Sender);
    void Btn_Export_MapClick(TObject* Sender);
    void Btn_ImportNetClick(TObject* Sender);
    void Btn_SNMPClick(TObject* Sender);

    int Calcola_Byte_Usati() const { return ::Calcola_Byte_Usati(Nodi_List); }
    void Aggiorna_Label_Num_Byte();
    void Aggiorna_Label();
    void Sposta_Oggetti_Var(int List_Type);
    bool Controllo_Dati_New_Nodo();
    bool Controllo_Dati_New_Var();
    bool Check_Node_ID(int Number) const;
    bool Check_Node_ID2(int Number, bool Secondary) const { return ::Check_Node_ID2(Nodi_List, Number, Secondary); }

private:
    void Load_Network();
    void Fill_Node(TNodo& Node) const;
    void Fill_Var(TVariabile& Var) const;
    void Show_Node(const TNodo& Node);
    void Show_Var(const TVariabile& Var);
    void Reset_Node_Page();
    void Reset_Var_Page();
    String Node_Caption() const;
    void Clear_Network();
    void Widen_Drop_Down(TComboBox* Combo, int Extra);
    bool Page_Is_Node_Add() const;
};
extern TFMeter_Bus* FMeter_Bus;
