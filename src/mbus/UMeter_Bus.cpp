#include "mbus/UMeter_Bus.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"
#include "mbus/UNewIDNode.h"
#include "shell/Globals.h"

TFMeter_Bus* FMeter_Bus = nullptr;

namespace {

constexpr int Client_Width = 780, Client_Height = 650;
constexpr int Text_Add_Node = 763, Text_Modify_Node = 764, Text_Add_Var = 781, Text_Modify_Var = 782;
// The page's label column and control column, and the distance between rows.
// Both columns end 17 pixels inside the page, which the tab strip leaves
// 387 pixels wide.
constexpr int Label_Left = 10, Control_Left = 170, Control_Width = 200, Row_Step = 24;
constexpr int Row_Width = Control_Left + Control_Width - Label_Left;
// The page control's strip, tabs and pages take the window's colour.
constexpr TColor Page_Colour = TColor(0xEDF7F8);
const char16_t* const Root_Caption = u"M-Bus Network";

TCheckBox* Make_Check(TWinControl* parent, const char16_t* name, int top) {
    auto* c = new TCheckBox(parent);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(Label_Left, top, Row_Width, 20);
    return c;
}

TEdit* Make_Edit(TWinControl* parent, const char16_t* name, int top, int left = Control_Left,
                 int width = Control_Width) {
    auto* e = new TEdit(parent);
    e->SetName(name);
    e->SetParent(parent);
    e->SetBounds(left, top, width, 21);
    return e;
}

TComboBox* Make_Combo(TWinControl* parent, const char16_t* name, int top, const std::vector<String>& items,
                      int left = Control_Left, int width = Control_Width) {
    auto* c = new TComboBox(parent);
    c->SetName(name);
    c->SetParent(parent);
    c->SetStyle(csDropDownList);
    c->SetBounds(left, top, width, 21);
    for (const String& s : items) c->Items().Add(s);
    c->SetItemIndex(items.empty() ? -1 : 0);
    return c;
}

TRadioButton* Make_Radio(TWinControl* parent, const char16_t* name, int top) {
    auto* r = new TRadioButton(parent);
    r->SetName(name);
    r->SetParent(parent);
    r->SetBounds(Label_Left, top, 155, 20);
    return r;
}

TMenuItem* Make_Item(TPopupMenu* menu, const char16_t* caption, TNotifyEvent onClick) {
    auto* m = new TMenuItem(menu);
    m->SetCaption(caption);
    m->OnClick = std::move(onClick);
    menu->Items().Add(m);
    return m;
}

std::vector<String> Numbers(int from, int to) {
    std::vector<String> v;
    for (int i = from; i <= to; ++i) v.push_back(IntToStr(i));
    return v;
}

bool Ask(const String& text) {
    return MessageDlg(text, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) == mrYes;
}

void Error_Box(const String& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}); }

// A whole number in 0..Max, or Fallback.
int In_Range_Or(const String& text, int max, int fallback) {
    const int v = StrToIntDef(text, -1);
    return v >= 0 && v <= max ? v : fallback;
}

String Var_Caption(const String& desc) { return u"VAR - " + desc; }

}  // namespace

TFMeter_Bus::TFMeter_Bus(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FMeter_Bus");
    Set_Shell_Form_Look(this);
    Make_Title_Panel(this, Client_Width, &L_SW_Code, &L_SW_Desc);
    L_MBus_NumByte = Make_Label(this, u"L_MBus_NumByte", 560, 74);

    TW = new TTreeView(this);
    TW->SetName(u"TW");
    TW->SetParent(this);
    TW->SetBounds(8, 96, 340, 500);
    TW->ReadOnly = true;
    TW->SetRowSelect(true);
    TW->SetHideSelection(false);
    TW->OnClick = [this](TObject* s) { TWClick(s); };
    TW->OnChange = [this](TObject* s, TTreeNode*) { TWClick(s); };
    PM_Tree = new TPopupMenu(this);
    CopyVariable1 = Make_Item(PM_Tree, u"Copy Variable", [this](TObject* s) { CopyVariable1Click(s); });
    PasteVariable1 = Make_Item(PM_Tree, u"Paste Variable", [this](TObject* s) { PasteVariable1Click(s); });
    Make_Item(PM_Tree, u"-", nullptr);
    CopyNode1 = Make_Item(PM_Tree, u"Copy Node", [this](TObject* s) { CopyNode1Click(s); });
    PasteNode1 = Make_Item(PM_Tree, u"Paste Node", [this](TObject* s) { PasteNode1Click(s); });
    Make_Item(PM_Tree, u"-", nullptr);
    DeleteItems1 = Make_Item(PM_Tree, u"Delete Items", [this](TObject* s) { btn_Delete_ItemClick(s); });
    PasteVariable1->Enabled = false;
    PasteNode1->Enabled = false;
    TW->SetPopupMenu(PM_Tree);

    PC_Edit = new TExPageControl(this);
    PC_Edit->SetName(u"PC_Edit");
    PC_Edit->SetParent(this);
    PC_Edit->SetBounds(356, 96, 416, 500);
    PC_Edit->SetTabStyle(tsDotNet);
    PC_Edit->SetTabPosition(tpLeft);
    PC_Edit->SetMultiLine(true);
    PC_Edit->SetActiveColor(clSkyBlue);
    PC_Edit->TabMargin().SetTopMargin(10);
    PC_Edit->TabMargin().SetRightMargin(20);
    PC_Edit->SetTabOverlap(0);
    PC_Edit->SetDefaultTabColor(Page_Colour);
    PC_Edit->SetTabBackGroundColor(Page_Colour);
    TFont tabs;
    tabs.SetName(u"Verdana");
    tabs.SetHeight(-13);
    PC_Edit->Font().Assign(&tabs);
    PC_Edit->SetActiveFont(tabs);
    auto page = [this](const char16_t* name) {
        auto* s = new TExTabSheet(this);
        s->SetName(name);
        s->SetExPageControl(PC_Edit);
        s->SetColor(Page_Colour);
        s->SetColorTo(clNone);
        s->SetTabColor(Page_Colour);
        s->SetTabColorTo(clNone);
        s->SetImageIndex(-1);
        // The controls on the page keep the window's face.
        s->Font().Assign(&Font());
        return s;
    };
    TS_Nodes = page(u"TS_Nodes");
    TS_Variables = page(u"TS_Variables");

    // The node page.
    TWinControl* p = TS_Nodes;
    CB_Enable_Node = Make_Check(p, u"CB_Enable_Node", 8);
    CB_Enable_Node->SetChecked(true);
    L_Node_Desc = Make_Label(p, u"L_Node_Desc", Label_Left, 34);
    E_New_Node_Desc = Make_Edit(p, u"E_New_Node_Desc", 32);
    RB_ID_Primary = Make_Radio(p, u"RB_ID_Primary", 58);
    E_New_Node_ID_Pri = Make_Edit(p, u"E_New_Node_ID_Pri", 58);
    RB_ID_Secondary = Make_Radio(p, u"RB_ID_Secondary", 84);
    E_New_Node_ID_Sec = Make_Edit(p, u"E_New_Node_ID_Sec", 84);
    E_New_Node_ID_Pri->SetText(u"1");
    E_New_Node_ID_Sec->SetText(u"1");
    RB_ID_Primary->SetChecked(true);
    CB_Node_State = Make_Check(p, u"CB_Node_State", 112);
    CB_Ident_Num = Make_Check(p, u"CB_Ident_Num", 136);
    L_Swap_IN = Make_Label(p, u"L_Swap_IN", Label_Left, 162);
    CB_Swap_IN = Make_Combo(p, u"CB_Swap_IN", 160, {u"None", u"Type 1"});
    CB_BCDtoINT_IN = Make_Check(p, u"CB_BCDtoINT_IN", 186);
    CB_SND_NKE = Make_Check(p, u"CB_SND_NKE", 210);
    CB_Reset_App = Make_Check(p, u"CB_Reset_App", 234);
    L_Var_Type = Make_Label(p, u"L_Var_Type", Label_Left, 262);
    CB_Var_Type = Make_Combo(p, u"CB_Var_Type", 260, {u"By Type", u"By Position"});
    L_Cut_After = Make_Label(p, u"L_Cut_After", Label_Left, 290);
    CB_Cut_After = Make_Combo(p, u"CB_Cut_After", 288, {}, Control_Left, 70);
    L_Frames = Make_Label(p, u"L_Frames", Control_Left + 78, 290);
    btn_Add_Node = Make_Button(p, u"btn_Add_Node", Control_Left, 324, Control_Width, 28);
    btn_Add_Node->OnClick = [this](TObject* s) { btn_Add_NodeClick(s); };

    // The variable page; Sposta_Oggetti_Var places its rows.
    p = TS_Variables;
    CB_Var_En = Make_Check(p, u"CB_Var_En", 8);
    CB_Var_En->SetChecked(true);
    L_Var_Desc = Make_Label(p, u"L_Var_Desc", Label_Left, 34);
    E_New_Var_Desc = Make_Edit(p, u"E_New_Var_Desc", 32);
    L_Var_ToD = Make_Label(p, u"L_Var_ToD", Label_Left, 0);
    CB_Var_ToD = Make_Combo(p, u"CB_Var_ToD", 0, Type_Of_Data_Texts);
    CB_Var_ToD->OnChange = [this](TObject* s) { CB_Var_ToDChange(s); };
    L_VIF_ASCII = Make_Label(p, u"L_VIF_ASCII", Label_Left, 0);
    E_VIF_ASCII = Make_Edit(p, u"E_VIF_ASCII", 0);
    L_Var_FF = Make_Label(p, u"L_Var_FF", Label_Left, 0);
    CB_Var_FF = Make_Combo(p, u"CB_Var_FF", 0, Function_Field_Texts);
    L_Var_Dim = Make_Label(p, u"L_Var_Dim", Label_Left, 0);
    CB_Var_Dim = Make_Combo(p, u"CB_Var_Dim", 0, Dimension_Texts);
    CB_Var_Dim->OnChange = [this](TObject* s) { CB_Var_DimChange(s); };
    L_Length = Make_Label(p, u"L_Length", Label_Left, 0);
    E_Length = Make_Edit(p, u"E_Length", 0);
    L_Var_Unit = Make_Label(p, u"L_Var_Unit", Label_Left, 0);
    CB_Var_Unit = Make_Combo(p, u"CB_Var_Unit", 0, Numbers(0, 10));
    CB_Scale = Make_Check(p, u"CB_Scale", 0);
    L_Sto_Num = Make_Label(p, u"L_Sto_Num", Label_Left, 0);
    E_Sto_Num = Make_Edit(p, u"E_Sto_Num", 0);
    L_Tariff = Make_Label(p, u"L_Tariff", Label_Left, 0);
    E_Tariff = Make_Edit(p, u"E_Tariff", 0);
    L_VIFE = Make_Label(p, u"L_VIFE", Label_Left, 0);
    CB_VIFE = Make_Combo(p, u"CB_VIFE", 0, VIFE_Texts);
    CB_BCDtoINT = Make_Check(p, u"CB_BCDtoINT", 0);
    CB_SWAP = Make_Check(p, u"CB_SWAP", 0);
    CB_TP_MR = Make_Check(p, u"CB_TP_MR", 0);
    CB_ForceInt32 = Make_Check(p, u"CB_ForceInt32", 0);
    CB_Float = Make_Check(p, u"CB_Float", 0);
    CB_Float->SetCaption(u"Convert in Float");
    L_PostOpe = Make_Label(p, u"L_PostOpe", Label_Left, 0);
    L_PostOpe->SetCaption(u"Post Operation");
    CB_PostOpe = Make_Combo(p, u"CB_PostOpe", 0, Post_Operation_Texts);
    L_Position = Make_Label(p, u"L_Position", Label_Left, 0);
    E_Position = Make_Edit(p, u"E_Position", 0);
    btn_Add_Var = Make_Button(p, u"btn_Add_Var", Control_Left, 0, Control_Width, 28);
    btn_Add_Var->OnClick = [this](TObject* s) { btn_Add_VarClick(s); };

    Btn_ImportNet = Make_Button(this, u"Btn_ImportNet", 8, 610, 130, 30);
    Btn_ImportNet->OnClick = [this](TObject* s) { Btn_ImportNetClick(s); };
    Btn_Export_Map = Make_Button(this, u"Btn_Export_Map", 146, 610, 130, 30);
    Btn_Export_Map->OnClick = [this](TObject* s) { Btn_Export_MapClick(s); };
    Btn_SNMP = Make_Button(this, u"Btn_SNMP", 284, 610, 130, 30);
    Btn_SNMP->SetCaption(u"SNMP Access");
    Btn_SNMP->OnClick = [this](TObject* s) { Btn_SNMPClick(s); };
    Btn_OK = Make_Button(this, u"Btn_OK", 596, 610, 84, 30);
    Btn_OK->OnClick = [this](TObject* s) { LbButton2Click(s); };
    Btn_Cancel = Make_Button(this, u"Btn_Cancel", 688, 610, 84, 30);
    Btn_Cancel->OnClick = [this](TObject* s) { LbButton4Click(s); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFMeter_Bus::~TFMeter_Bus() = default;

void TFMeter_Bus::FormCreate(TObject*) {
    Copy_Var.reset();
    Copy_Node.reset();
    Widen_Drop_Down(CB_Var_ToD, 30);
    Widen_Drop_Down(CB_VIFE, 65);
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(Client_Width);
    SetClientHeight(Client_Height);
    Btn_SNMP->SetVisible(Model_Code == 21 && Read_Map_Type(Path_ParGen) == 0);
    PC_Edit->SetActivePage(TS_Nodes);
    Sposta_Oggetti_Var(0);
    Set_Lang();
}

// The list is as wide as its widest item, with room for the combo's own
// decoration and a scroll bar when it scrolls; it opens right-aligned.
void TFMeter_Bus::Widen_Drop_Down(TComboBox* Combo, int Extra) {
    TBitmap measure;
    measure.Canvas().SetFont(Font());
    int widest = 0;
    for (int i = 0; i < Combo->Items().Count(); ++i)
        widest = std::max(widest, measure.Canvas().TextWidth(Combo->Items()[i]) + 12);
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);
    int width = widest + Extra;
    if (Combo->Items().Count() > Combo->DropDownCount())
        width += scroll;
    if (width > Combo->Width() - scroll)
        Combo->SetDroppedWidth(width);
    Combo->SetDropDownAlignRight(true);
}

void TFMeter_Bus::Set_Lang() {
    SetCaption(Lang_Table[743]);
    L_SW_Desc->SetCaption(Lang_Table[744]);
    Btn_OK->SetCaption(Lang_Table[745]);
    Btn_Cancel->SetCaption(Lang_Table[746]);
    Btn_ImportNet->SetCaption(Lang_Table[747]);
    Btn_Export_Map->SetCaption(Lang_Table[906]);
    TS_Nodes->SetCaption(Lang_Table[748]);
    TS_Variables->SetCaption(Lang_Table[749]);
    CB_Enable_Node->SetCaption(Lang_Table[750]);
    L_Node_Desc->SetCaption(Lang_Table[751]);
    RB_ID_Primary->SetCaption(Lang_Table[752]);
    RB_ID_Secondary->SetCaption(Lang_Table[753]);
    CB_Node_State->SetCaption(Lang_Table[754]);
    CB_Ident_Num->SetCaption(Lang_Table[755]);
    L_Swap_IN->SetCaption(Lang_Table[756]);
    CB_BCDtoINT_IN->SetCaption(Lang_Table[757]);
    CB_SND_NKE->SetCaption(Lang_Table[758]);
    CB_Reset_App->SetCaption(Lang_Table[759]);
    L_Var_Type->SetCaption(Lang_Table[760]);
    L_Cut_After->SetCaption(Lang_Table[761]);
    L_Frames->SetCaption(Lang_Table[762]);
    btn_Add_Node->SetCaption(Lang_Table[Text_Add_Node]);
    CB_Var_En->SetCaption(Lang_Table[765]);
    L_Var_Desc->SetCaption(Lang_Table[766]);
    L_Var_ToD->SetCaption(Lang_Table[767]);
    L_VIF_ASCII->SetCaption(Lang_Table[768]);
    L_Var_FF->SetCaption(Lang_Table[769]);
    L_Var_Dim->SetCaption(Lang_Table[770]);
    L_Length->SetCaption(Lang_Table[771]);
    L_Var_Unit->SetCaption(Lang_Table[772]);
    CB_Scale->SetCaption(Lang_Table[773]);
    L_Sto_Num->SetCaption(Lang_Table[774]);
    L_Tariff->SetCaption(Lang_Table[775]);
    L_VIFE->SetCaption(Lang_Table[776]);
    CB_BCDtoINT->SetCaption(Lang_Table[777]);
    CB_SWAP->SetCaption(Lang_Table[778]);
    CB_TP_MR->SetCaption(Lang_Table[779]);
    L_Position->SetCaption(Lang_Table[780]);
    btn_Add_Var->SetCaption(Lang_Table[Text_Add_Var]);
    CB_ForceInt32->SetCaption(Lang_Table[971]);
}

void TFMeter_Bus::Clear_Network() {
    TW->OnChange = nullptr;
    TW->Items().Clear();
    TW->OnChange = [this](TObject* s, TTreeNode*) { TWClick(s); };
    Nodi_List.clear();
    NODE_ORIG = NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
}

void TFMeter_Bus::FormShow(TObject*) {
    CB_Cut_After->Items().Clear();
    for (const String& s : Numbers(1, 250)) CB_Cut_After->Items().Add(s);
    CB_Cut_After->SetItemIndex(0);
    Is_Change = false;
    Clear_Network();
    NODE_ORIG = TW->Items().AddChild(nullptr, Root_Caption);
    const TMBus_ParGen pg = Read_MBus_ParGen(Path_ParGen, Model_Code);
    Auto_Calc_Byte_Used = pg.Auto_Calc_Byte_Used;
    Working_Mode = pg.Working_Mode;
    Num_Byte_Par_Gen = pg.Num_Byte_Par_Gen;
    Map_Type_808 = pg.Map_Type_808;
    if (Model_Code == 21)
        Btn_SNMP->SetVisible(Map_Type_808 == 0);
    Load_Network();
    NODE_ORIG->Expand(false);
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
    Aggiorna_Label();
    Sposta_Oggetti_Var(0);
    PasteVariable1->Enabled = Copy_Var != nullptr;
    PasteNode1->Enabled = Copy_Node != nullptr;
    Is_Change = false;
    Aggiorna_Label_Num_Byte();
}

// Reads the network and mirrors it in the tree. A reading that stopped is
// shown, and the nodes read until then stay.
void TFMeter_Bus::Load_Network() {
    const String error = Read_MBus_Network(Path_M_Bus, Model_Code, Nodi_List);
    Load_Incomplete = !error.empty();
    for (const auto& n : Nodi_List) {
        TTreeNode* item = TW->Items().AddChild(NODE_ORIG, u"ID " + IntToStr(Active_ID(*n)) + u" - " + n->Description);
        for (const auto& v : n->Var_List) TW->Items().AddChild(item, Var_Caption(v->Description));
    }
    if (Load_Incomplete)
        Error_Box(error);
}

void TFMeter_Bus::Aggiorna_Label_Num_Byte() { L_MBus_NumByte->SetCaption(Lang_Table[810] + IntToStr(Calcola_Byte_Usati())); }

void TFMeter_Bus::TWClick(TObject*) {
    TTreeNode* sel = TW->Selected();
    IND_NODO = IND_VAR = -1;
    NODE_ID = SELECT_NODE = nullptr;
    if (sel && NODE_ORIG && sel->Parent() == NODE_ORIG) {
        IND_NODO = sel->Index();
        NODE_ID = SELECT_NODE = sel;
    } else if (sel && NODE_ORIG && sel->Parent() && sel->Parent()->Parent() == NODE_ORIG) {
        IND_NODO = sel->Parent()->Index();
        IND_VAR = sel->Index();
        NODE_ID = sel->Parent();
        SELECT_NODE = sel;
    }
    // The tree mirrors the lists; an item without its node or variable selects nothing.
    if (IND_NODO >= int(Nodi_List.size()) ||
        (IND_VAR >= 0 && IND_VAR >= int(Nodi_List[IND_NODO]->Var_List.size()))) {
        IND_NODO = IND_VAR = -1;
        NODE_ID = SELECT_NODE = nullptr;
    }
    Aggiorna_Label();
}

void TFMeter_Bus::Show_Node(const TNodo& n) {
    CB_Enable_Node->SetChecked(n.Enable);
    E_New_Node_Desc->SetText(n.Description);
    E_New_Node_ID_Pri->SetText(IntToStr(n.Node_ID_Primary));
    E_New_Node_ID_Sec->SetText(IntToStr(n.Node_ID_Secondary));
    CB_SND_NKE->SetChecked(n.Send_SNK == 1);
    CB_Reset_App->SetChecked(n.Reset_App == 1);
    CB_Node_State->SetChecked(n.Node_State == 1);
    CB_Ident_Num->SetChecked(n.Ident_Num == 1);
    CB_BCDtoINT_IN->SetChecked(n.BCDtoINT_IN == 1);
    CB_Swap_IN->SetItemIndex(n.Swap_Ident);
    CB_Var_Type->SetItemIndex(n.Var_List_Type);
    CB_Cut_After->SetItemIndex(n.Cut_After);
    (n.Node_ID_Type != 0 ? RB_ID_Secondary : RB_ID_Primary)->SetChecked(true);
}

void TFMeter_Bus::Reset_Node_Page() {
    CB_Enable_Node->SetChecked(true);
    E_New_Node_Desc->SetText(String());
    E_New_Node_ID_Pri->SetText(u"1");
    E_New_Node_ID_Sec->SetText(u"1");
    RB_ID_Primary->SetChecked(true);
    for (TCheckBox* c : {CB_SND_NKE, CB_Reset_App, CB_Node_State, CB_Ident_Num, CB_BCDtoINT_IN}) c->SetChecked(false);
    for (TComboBox* c : {CB_Swap_IN, CB_Var_Type, CB_Cut_After}) c->SetItemIndex(0);
}

void TFMeter_Bus::Reset_Var_Page() {
    CB_Var_En->SetChecked(true);
    E_New_Var_Desc->SetText(String());
    for (TComboBox* c : {CB_Var_ToD, CB_Var_FF, CB_Var_Dim, CB_Var_Unit, CB_VIFE, CB_PostOpe}) c->SetItemIndex(0);
    E_Sto_Num->SetText(u"0");
    E_Tariff->SetText(u"0");
    E_Length->SetText(u"0");
    E_Position->SetText(u"1");
    E_VIF_ASCII->SetText(String());
    for (TCheckBox* c : {CB_Scale, CB_BCDtoINT, CB_SWAP, CB_ForceInt32, CB_TP_MR}) c->SetChecked(false);
}

// A stored code without an item leaves its combo box without a selection.
void TFMeter_Bus::Show_Var(const TVariabile& v) {
    CB_Var_En->SetChecked(v.Enable);
    E_New_Var_Desc->SetText(v.Description);
    CB_Var_ToD->SetItemIndex(v.Type_Of_Data);
    CB_Var_FF->SetItemIndex(v.Function_Field);
    CB_Var_Dim->SetItemIndex(v.Dimension);
    CB_Var_Unit->SetItemIndex(v.Unita);
    CB_VIFE->SetItemIndex(v.VIFE);
    CB_PostOpe->SetItemIndex(v.Post_Operation);
    CB_Scale->SetChecked(v.Scale);
    E_Sto_Num->SetText(IntToStr(v.Storage_Number));
    E_Tariff->SetText(IntToStr(v.Tariff));
    CB_BCDtoINT->SetChecked(v.BCDtoINT);
    CB_SWAP->SetChecked(v.SWAP == 1);
    E_Length->SetText(IntToStr(v.Length));
    E_VIF_ASCII->SetText(v.VIF_ASCII);
    CB_TP_MR->SetChecked(v.TP_Mod_Regs);
    CB_ForceInt32->SetChecked(v.ForceInteger32);
    CB_Float->SetChecked(v.Conv_Float);
    E_Position->SetText(IntToStr(v.Position));
}

void TFMeter_Bus::Aggiorna_Label() {
    if (IND_NODO < 0) {
        // Nothing selected: the pages offer a new node, without the values of one shown before.
        btn_Add_Node->SetCaption(Lang_Table[Text_Add_Node]);
        btn_Add_Var->SetCaption(Lang_Table[Text_Add_Var]);
        Reset_Node_Page();
        Reset_Var_Page();
    } else {
        const TNodo& n = *Nodi_List[IND_NODO];
        Show_Node(n);
        if (IND_VAR < 0) {
            btn_Add_Node->SetCaption(Lang_Table[Text_Modify_Node]);
            btn_Add_Var->SetCaption(Lang_Table[Text_Add_Var]);
            Reset_Var_Page();
        } else {
            btn_Add_Node->SetCaption(Lang_Table[Text_Add_Node]);
            btn_Add_Var->SetCaption(Lang_Table[Text_Modify_Var]);
            Show_Var(*n.Var_List[IND_VAR]);
        }
        Sposta_Oggetti_Var(n.Var_List_Type);
    }
    CB_Var_ToDChange(nullptr);
    CB_Var_DimChange(nullptr);
    if (IND_VAR >= 0)
        PC_Edit->SetActivePage(TS_Variables);
    else if (IND_NODO >= 0)
        PC_Edit->SetActivePage(TS_Nodes);
}

void TFMeter_Bus::CB_Var_ToDChange(TObject*) { E_VIF_ASCII->SetEnabled(CB_Var_ToD->ItemIndex() == Type_VIF_ASCII); }

void TFMeter_Bus::CB_Var_DimChange(TObject*) { E_Length->SetEnabled(CB_Var_Dim->ItemIndex() == Dim_Variable_Length); }

void TFMeter_Bus::Sposta_Oggetti_Var(int List_Type) {
    struct TRow {
        TControl* Label;  // nullptr: a check box or the button, a full row
        TControl* Control;
        bool Shown;
    };
    const bool by_type = List_Type == 0;
    const bool optional = Map_Type_808 != 0;
    const TRow rows[] = {
        {L_Var_ToD, CB_Var_ToD, by_type},
        {L_VIF_ASCII, E_VIF_ASCII, by_type},
        {L_Var_FF, CB_Var_FF, by_type},
        {L_Var_Dim, CB_Var_Dim, true},
        {L_Length, E_Length, true},
        {L_Var_Unit, CB_Var_Unit, by_type},
        {nullptr, CB_Scale, by_type ? Model_Code != 21 : optional},
        {L_Sto_Num, E_Sto_Num, by_type},
        {L_Tariff, E_Tariff, by_type},
        {L_VIFE, CB_VIFE, by_type},
        {nullptr, CB_BCDtoINT, optional},
        {nullptr, CB_SWAP, optional},
        {nullptr, CB_TP_MR, optional},
        {nullptr, CB_ForceInt32, optional},
        {nullptr, CB_Float, by_type && Model_Code == 21 && Map_Type_808 == 1},
        {L_PostOpe, CB_PostOpe, true},
        {L_Position, E_Position, !by_type},
        {nullptr, btn_Add_Var, true},
    };
    int top = 58;
    for (const TRow& r : rows) {
        if (r.Label) {
            r.Label->SetVisible(r.Shown);
            r.Label->SetTop(top + 2);
        }
        r.Control->SetVisible(r.Shown);
        r.Control->SetTop(r.Control == btn_Add_Var ? top + 6 : top);
        if (r.Shown)
            top += Row_Step;
    }
}

// --- Nodes -------------------------------------------------------------------

bool TFMeter_Bus::Controllo_Dati_New_Nodo() {
    const bool secondary = RB_ID_Secondary->Checked();
    const int id = StrToIntDef((secondary ? E_New_Node_ID_Sec : E_New_Node_ID_Pri)->Text(), -1);
    if (id < 0 || id > Max_Node_ID(secondary)) {
        Error_Box(Lang_Table[secondary ? 788 : 787]);
        return false;
    }
    if (!Check_Node_ID(id)) {
        Error_Box(Lang_Table[789]);
        return false;
    }
    return true;
}

// The node page's check compares with every node's address in use, whatever
// its kind, leaving out the node being modified.
bool TFMeter_Bus::Check_Node_ID(int Number) const {
    const int self = IND_VAR < 0 ? IND_NODO : -1;
    for (int i = 0; i < int(Nodi_List.size()); ++i)
        if (i != self && Active_ID(*Nodi_List[i]) == Number)
            return false;
    return true;
}

String TFMeter_Bus::Node_Caption() const {
    const TEdit* id = RB_ID_Primary->Checked() ? E_New_Node_ID_Pri : E_New_Node_ID_Sec;
    return u"ID " + id->Text() + u" - " + E_New_Node_Desc->Text();
}

// The address of the kind not chosen is kept when the field does not hold one.
void TFMeter_Bus::Fill_Node(TNodo& n) const {
    n.Enable = CB_Enable_Node->Checked();
    n.Description = E_New_Node_Desc->Text();
    n.Node_ID_Primary = In_Range_Or(E_New_Node_ID_Pri->Text(), Max_Node_ID(false), n.Node_ID_Primary);
    n.Node_ID_Secondary = In_Range_Or(E_New_Node_ID_Sec->Text(), Max_Node_ID(true), n.Node_ID_Secondary);
    n.Send_SNK = CB_SND_NKE->Checked() ? 1 : 0;
    n.Reset_App = CB_Reset_App->Checked() ? 1 : 0;
    n.Node_State = CB_Node_State->Checked() ? 1 : 0;
    n.Ident_Num = CB_Ident_Num->Checked() ? 1 : 0;
    n.BCDtoINT_IN = CB_BCDtoINT_IN->Checked() ? 1 : 0;
    n.Swap_Ident = std::max(0, CB_Swap_IN->ItemIndex());
    n.Var_List_Type = static_cast<Byte>(std::max(0, CB_Var_Type->ItemIndex()));
    n.Cut_After = static_cast<Byte>(std::max(0, CB_Cut_After->ItemIndex()));
    n.Node_ID_Type = RB_ID_Primary->Checked() ? 0 : 1;
}

void TFMeter_Bus::btn_Add_NodeClick(TObject*) {
    if (btn_Add_Node->Caption() == Lang_Table[Text_Add_Node]) {
        if (Controllo_Dati_New_Nodo()) {
            auto n = std::make_unique<TNodo>();
            n->Node_ID_Primary = n->Node_ID_Secondary = 1;
            Fill_Node(*n);
            TW->Items().AddChild(NODE_ORIG, Node_Caption());
            Nodi_List.push_back(std::move(n));
            Is_Change = true;
        }
    } else if (IND_NODO >= 0 && IND_VAR < 0 && Controllo_Dati_New_Nodo()) {
        NODE_ID->SetText(Node_Caption());
        Fill_Node(*Nodi_List[IND_NODO]);
        Is_Change = true;
    }
    NODE_ORIG->Expand(false);
    Aggiorna_Label_Num_Byte();
}

// --- Variables ---------------------------------------------------------------

bool TFMeter_Bus::Controllo_Dati_New_Var() {
    const Int64 sto = StrToInt64Def(E_Sto_Num->Text(), -1);
    if (sto < 0 || sto > 0xFFFFFFFFLL) {
        Error_Box(Lang_Table[783]);
        return false;
    }
    const Int64 tariff = StrToInt64Def(E_Tariff->Text(), -1);
    if (tariff < 0 || tariff > 0xFFFFF) {
        Error_Box(Lang_Table[784]);
        return false;
    }
    if (CB_Var_Dim->ItemIndex() == Dim_Variable_Length) {
        const int len = StrToIntDef(E_Length->Text(), -1);
        if (len < 0 || len > 191) {
            Error_Box(Lang_Table[785]);
            return false;
        }
    }
    const int pos = StrToIntDef(E_Position->Text(), -1);
    if (pos < 1 || pos > 100) {
        Error_Box(Lang_Table[786]);
        return false;
    }
    return true;
}

// A combo box without a selection (a code from a scan that its list does not
// hold) keeps the stored code.
void TFMeter_Bus::Fill_Var(TVariabile& v) const {
    auto pick = [](const TComboBox* c, int stored) { return c->ItemIndex() >= 0 ? c->ItemIndex() : stored; };
    v.Enable = CB_Var_En->Checked();
    v.Description = E_New_Var_Desc->Text();
    v.Type_Of_Data = pick(CB_Var_ToD, v.Type_Of_Data);
    v.Function_Field = pick(CB_Var_FF, v.Function_Field);
    v.Dimension = pick(CB_Var_Dim, v.Dimension);
    v.Unita = pick(CB_Var_Unit, v.Unita);
    v.VIFE = static_cast<Byte>(pick(CB_VIFE, v.VIFE));
    v.Post_Operation = static_cast<Byte>(pick(CB_PostOpe, v.Post_Operation));
    v.Scale = CB_Scale->Checked();
    v.BCDtoINT = CB_BCDtoINT->Checked();
    v.TP_Mod_Regs = CB_TP_MR->Checked();
    v.ForceInteger32 = CB_ForceInt32->Checked();
    v.Conv_Float = CB_Float->Checked();
    v.SWAP = CB_SWAP->Checked() ? 1 : 0;
    v.Storage_Number = static_cast<Cardinal>(StrToInt64Def(E_Sto_Num->Text(), 0));
    v.Tariff = StrToIntDef(E_Tariff->Text(), 0);
    v.VIF_ASCII = E_VIF_ASCII->Text();
    v.Length = StrToIntDef(E_Length->Text(), 0);
    v.Position = static_cast<Byte>(StrToIntDef(E_Position->Text(), 1));
}

void TFMeter_Bus::btn_Add_VarClick(TObject*) {
    if (btn_Add_Var->Caption() == Lang_Table[Text_Add_Var]) {
        if (NODE_ID && IND_NODO >= 0 && Controllo_Dati_New_Var()) {
            auto v = std::make_unique<TVariabile>();
            Fill_Var(*v);
            TW->Items().AddChild(NODE_ID, Var_Caption(v->Description));
            Nodi_List[IND_NODO]->Var_List.push_back(std::move(v));
            Is_Change = true;
        }
    } else if (IND_VAR >= 0 && Controllo_Dati_New_Var()) {
        TVariabile& v = *Nodi_List[IND_NODO]->Var_List[IND_VAR];
        Fill_Var(v);
        SELECT_NODE->SetText(Var_Caption(v.Description));
        Is_Change = true;
    }
    if (NODE_ORIG)
        NODE_ORIG->Expand(false);
    Aggiorna_Label_Num_Byte();
}

// --- Delete and clipboard -------------------------------------------------------

void TFMeter_Bus::btn_Delete_ItemClick(TObject*) {
    if (IND_NODO < 0) {
        if (Ask(Lang_Table[790])) {
            const bool had = !Nodi_List.empty();
            Clear_Network();
            NODE_ORIG = TW->Items().AddChild(nullptr, Root_Caption);
            Is_Change = Is_Change || had;
            Aggiorna_Label();
        }
    } else if (IND_VAR < 0) {
        if (Ask(Lang_Table[791])) {
            TTreeNode* item = NODE_ID;
            Nodi_List.erase(Nodi_List.begin() + IND_NODO);
            TW->OnChange = nullptr;
            item->Delete();
            TW->OnChange = [this](TObject* s, TTreeNode*) { TWClick(s); };
            Is_Change = true;
            TWClick(nullptr);
        }
    } else if (Ask(Lang_Table[792])) {
        auto& vars = Nodi_List[IND_NODO]->Var_List;
        TTreeNode* item = SELECT_NODE;
        vars.erase(vars.begin() + IND_VAR);
        TW->OnChange = nullptr;
        item->Delete();
        TW->OnChange = [this](TObject* s, TTreeNode*) { TWClick(s); };
        Is_Change = true;
        TWClick(nullptr);
    }
    TW->Invalidate();
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::CopyVariable1Click(TObject*) {
    if (IND_NODO < 0 || IND_NODO >= int(Nodi_List.size())) {
        Error_Box(Lang_Table[794]);
        return;
    }
    const auto& vars = Nodi_List[IND_NODO]->Var_List;
    if (IND_VAR < 0 || IND_VAR >= int(vars.size())) {
        Error_Box(Lang_Table[793]);
        return;
    }
    Copy_Var = Copy_Of_Var(*vars[IND_VAR]);
    PasteVariable1->Enabled = true;
}

void TFMeter_Bus::PasteVariable1Click(TObject*) {
    if (!Copy_Var)
        Error_Box(Lang_Table[796]);
    else if (IND_NODO < 0)
        Error_Box(Lang_Table[797]);
    else {
        TW->Items().AddChild(NODE_ID, Var_Caption(Copy_Var->Description));
        Nodi_List[IND_NODO]->Var_List.push_back(Copy_Of_Var(*Copy_Var));
        Is_Change = true;
    }
    Aggiorna_Label_Num_Byte();
}

void TFMeter_Bus::CopyNode1Click(TObject*) {
    if (IND_NODO < 0 || IND_NODO >= int(Nodi_List.size())) {
        Error_Box(Lang_Table[795]);
        return;
    }
    Copy_Node = Copy_Of_Node(*Nodi_List[IND_NODO]);
    PasteNode1->Enabled = true;
}

void TFMeter_Bus::PasteNode1Click(TObject*) {
    if (!Copy_Node || !FNewIDNode)
        return;
    FNewIDNode->Nodi_List = &Nodi_List;
    (Copy_Node->Node_ID_Type == 1 ? FNewIDNode->RB_ID_Secondary : FNewIDNode->RB_ID_Primary)->SetChecked(true);
    FNewIDNode->E_New_Node_ID_Pri->SetText(IntToStr(Copy_Node->Node_ID_Primary));
    FNewIDNode->E_New_Node_ID_Sec->SetText(IntToStr(Copy_Node->Node_ID_Secondary));
    if (FNewIDNode->ShowModal() == mrOk) {
        const bool secondary = FNewIDNode->RB_ID_Secondary->Checked();
        const String pri = FNewIDNode->E_New_Node_ID_Pri->Text(), sec = FNewIDNode->E_New_Node_ID_Sec->Text();
        auto n = Copy_Of_Node(*Copy_Node);
        n->Node_ID_Primary = In_Range_Or(pri, Max_Node_ID(false), n->Node_ID_Primary);
        n->Node_ID_Secondary = In_Range_Or(sec, Max_Node_ID(true), n->Node_ID_Secondary);
        n->Node_ID_Type = secondary ? 1 : 0;
        TTreeNode* item = TW->Items().AddChild(NODE_ORIG, u"ID " + (secondary ? sec : pri) + u" - " + n->Description);
        for (const auto& v : n->Var_List) TW->Items().AddChild(item, Var_Caption(v->Description));
        Nodi_List.push_back(std::move(n));
        Is_Change = true;
    }
    Aggiorna_Label_Num_Byte();
}

// --- OK and Cancel ---------------------------------------------------------------

void TFMeter_Bus::LbButton2Click(TObject*) {
    const int count = Calcola_Byte_Usati();
    if (Model_Code == 21) {
        if (count > 1024) {
            Error_Box(Lang_Table[936] + u"1024");
            return;
        }
    } else if (Working_Mode != 0 || Auto_Calc_Byte_Used) {
        // 1439 is the most the image holds, though the message says 1440.
        if (Auto_Calc_Byte_Used && count > 1439) {
            Error_Box(Lang_Table[809]);
            return;
        }
    } else if (count > Num_Byte_Par_Gen) {
        MessageDlg(Lang_Table[860] + u" (" + IntToStr(Num_Byte_Par_Gen) + u")", mtWarning, TMsgDlgButtons{mbOK});
    }
    if (Load_Incomplete && !Ask(Lang_Table[1109]))
        return;
    try {
        if (Auto_Calc_Byte_Used && FileExists(Path_ParGen))
            Write_NB_OUT(Path_ParGen, count);
        Write_MBus_Network(Path_M_Bus, Model_Code, Nodi_List);
    } catch (const Exception& e) {
        Error_Box(e.Message());
        return;
    }
    Clear_Network();
    SetModalResult(mrOk);
}

void TFMeter_Bus::LbButton4Click(TObject*) {
    if (Is_Change && !Ask(Lang_Table[798]))
        return;
    SetModalResult(mrCancel);
}
