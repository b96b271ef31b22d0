#include "mbus/UScanDecode.h"

#include "controls/FlatButton.h"
#include "framework/DateUtils.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Files.h"
#include "framework/StdCtrls.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "grid/ExCGrid.h"
#include "mbus/MBusSaveConf.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanModbusStart.h"
#include "shell/Globals.h"
#include "shell/Shell_Controls.h"
#include "shell/UComon.h"

#include <memory>
#include <new>

TFScanDecode* FScanDecode = nullptr;

namespace {

constexpr int Client_Width = 640;
constexpr int Client_Height_Wired = 523, Client_Height_Wireless = 571;
constexpr int Title_Height = 64, Buttons_Height = 48;
// The parameter rows: section titles at x 16, other labels at 32, fields at
// 176; rows 24 pixels apart, 32 before a section title.
constexpr int Title_Left = 16, Label_Left = 32, Field_Left = 176, First_Row = 12, Row_Step = 24, Title_Step = 32;
constexpr int IP_Step = 66, IP_Width = 50;
constexpr int Button_Left = 16, Button_Top = 10, Button_Width = 150, Button_Height = 28, Button_Gap = 8;
// The two columns of a "[NOT FOUND]" line of the progress list.
constexpr int Not_Found_Column = 70;
constexpr TColor Encrypted_Colour = TColor(12172287), Plain_Colour = TColor(11075496);

const char16_t* const Not_Found = u"[NOT FOUND]";

enum { Col_N, Col_DateTime, Col_Type, Col_Grid_Count = 13 };
constexpr int Grid_Widths[Col_Grid_Count] = {40, 65, 90, 120, 90, 85, 110, 120, 90, 85, 110, 50, 70};
const char16_t* const Grid_Headers[Col_Grid_Count] = {u"N",
                                                      u"Date Time",
                                                      u"Message Type",
                                                      u"Manufacturer (LLA)",
                                                      u"Address (LLA)",
                                                      u"Version (LLA)",
                                                      u"Device Type (LLA)",
                                                      u"Manufacturer (ALA)",
                                                      u"Address (ALA)",
                                                      u"Version (ALA)",
                                                      u"Device Type (ALA)",
                                                      u"RSSI",
                                                      u"Cripted"};

// The mode codes in the order of the mode list "S", "T", "N1", "N2", "C".
constexpr int Mode_Codes[] = {WMBus_Mode_S, WMBus_Mode_T, WMBus_Mode_N1, WMBus_Mode_N2, WMBus_Mode_C};

template <class T>
T* Make(TWinControl* parent, const char16_t* name, int left, int top, int width, int height) {
    T* c = new T(parent);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

TComboBox* Make_Combo(TWinControl* parent, const char16_t* name, int width = 150) {
    auto* c = Make<TComboBox>(parent, name, Field_Left, 0, width, 21);
    c->SetStyle(csDropDownList);
    return c;
}

void Fill(TComboBox* combo, std::initializer_list<String> items, int selected = 0) {
    combo->Items().Clear();
    for (const String& s : items) combo->Items().Add(s);
    combo->SetItemIndex(selected);
}

void Error_Box(const String& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}); }

String Hex2(int v) { return IntToHex(v & 0xFF, 2); }

String Number_And_Hex(int v) { return IntToStr(v) + u" (" + Hex2(v) + u")"; }

// The pictures of the lists: a meter, a record and a detail line for the
// trees' levels; a closed and an open padlock for the grid.
// Adds a picture drawn on a fuchsia ground, which stays transparent.
void Add_Picture(TImageList& list, const std::function<void(TCanvas&)>& draw) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas().Brush().SetColor(clFuchsia);
    b.Canvas().FillRect(TRect{0, 0, 16, 16});
    draw(b.Canvas());
    list.AddMasked(b, clFuchsia);
}

void Fill_Tree_Pictures(TImageList& list) {
    Add_Picture(list, [](TCanvas& c) {
        c.Pen().SetColor(clNavy);
        c.Brush().SetColor(clSilver);
        c.Rectangle(1, 1, 15, 15);
        c.Brush().SetColor(clWhite);
        c.Rectangle(3, 3, 13, 8);
    });
    Add_Picture(list, [](TCanvas& c) {
        c.Pen().SetColor(clNavy);
        c.Brush().SetColor(clSkyBlue);
        c.Rectangle(3, 3, 13, 13);
    });
    Add_Picture(list, [](TCanvas& c) {
        c.Pen().SetColor(clTeal);
        c.Brush().SetColor(clTeal);
        c.Ellipse(5, 5, 11, 11);
    });
}

void Fill_Grid_Pictures(TImageList& list) {
    auto padlock = [&list](bool open) {
        Add_Picture(list, [open](TCanvas& c) {
            c.Pen().SetColor(clBlack);
            c.Pen().SetWidth(2);
            c.Brush().SetStyle(bsClear);
            c.Arc(4, 1, 12, 10, 12, 5, 4, 5);
            c.MoveTo(4, 5);
            c.LineTo(4, 8);
            if (!open) {
                c.MoveTo(11, 5);
                c.LineTo(11, 8);
            }
            c.Pen().SetWidth(1);
            c.Brush().SetStyle(bsSolid);
            c.Brush().SetColor(open ? clGreen : clMaroon);
            c.Rectangle(2, 7, 14, 15);
        });
    };
    padlock(false);
    padlock(true);
}

}  // namespace

TFScanDecode::TFScanDecode(TComponent* AOwner, std::unique_ptr<TMBusScanDecode> Thread)
    : TForm(AOwner), TR_ScanDecode(std::move(Thread)) {
    SetName(u"FScanDecode");
    Set_Shell_Form_Look(this);
    SetBorderStyle(bsSingle);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetClientWidth(Client_Width);
    SetClientHeight(Client_Height_Wired);

    P_Title = Make_Title_Panel(this, Client_Width, &L_SW_Code, &L_SW_Desc);
    P_Title->SetAlign(alTop);

    P_Buttons = Make<TPanel>(this, u"P_Buttons", 0, Client_Height_Wired - Buttons_Height, Client_Width, Buttons_Height);
    P_Buttons->SetAlign(alBottom);
    P_Buttons->SetBevelOuter(bvNone);
    auto button = [this](const char16_t* name) {
        TFlatButton* b = Make_Button(P_Buttons, name, Button_Left, Button_Top, Button_Width, Button_Height);
        b->OnClick = [this](TObject* s) { BtnClick(s); };
        return b;
    };
    Btn_StartScan = button(u"Btn_StartScan");
    Btn_StopScan = button(u"Btn_StopScan");
    Btn_AbortScan = button(u"Btn_AbortScan");
    Btn_NewScan = button(u"Btn_NewScan");
    Btn_SaveConf = button(u"Btn_SaveConf");
    Btn_SaveConfManual = button(u"Btn_SaveConfManual");

    // The parameter panel; Move_Object_Type_Form places its rows.
    const int body_height = Client_Height_Wired - Title_Height - Buttons_Height;
    P_Main = Make<TPanel>(this, u"P_Main", 0, Title_Height, Client_Width, body_height);
    P_Main->SetBevelOuter(bvNone);
    TWinControl* p = P_Main;
    auto label = [p](const char16_t* name) { return Make_Label(p, name, Label_Left, 0); };
    auto check = [p](const char16_t* name) { return Make<TCheckBox>(p, name, Label_Left, 0, 400, 17); };
    // A row of a label and a drop-down list, named "L_" and "CB_" + Name.
    auto list_row = [&](TLabel*& l, TComboBox*& c, const String& name) {
        l = label((u"L_" + name).c_str());
        c = Make_Combo(p, (u"CB_" + name).c_str());
    };
    list_row(L_ScanMethod, CB_ScanMethod, u"ScanMethod");
    list_row(L_ScanBy, CB_ScanBy, u"ScanBy");
    list_row(L_HardwareType, CB_HardwareType, u"HardwareType");
    L_IP = label(u"L_IP");
    const char16_t* ip_names[] = {u"E_IP1", u"E_IP2", u"E_IP3", u"E_IP4"};
    TEdit** ips[] = {&E_IP1, &E_IP2, &E_IP3, &E_IP4};
    const char16_t* ip_defaults[] = {u"192", u"168", u"2", u"205"};
    for (int i = 0; i < 4; ++i) {
        *ips[i] = Make<TEdit>(p, ip_names[i], Field_Left + i * IP_Step, 0, IP_Width, 21);
        (*ips[i])->SetText(ip_defaults[i]);
        (*ips[i])->OnKeyPress = [this](TObject* s, Char& k) { KeyPress(s, k); };
    }
    for (int i = 0; i < 3; ++i) {
        L_Dot[i] = Make_Label(p, u"L_Dot" + IntToStr(i + 1), Field_Left + i * IP_Step + IP_Width + 6, 0);
        L_Dot[i]->SetCaption(u".");
    }
    L_ComPort = label(u"L_ComPort");
    CB_ComPort = Make_Combo(p, u"CB_ComPort", 100);
    Btn_COM_List = Make_Button(p, u"Btn_COM_List", Field_Left + 100 + 6, 0, 24, 21);
    Btn_COM_List->SetCaption(u"...");
    Btn_COM_List->SetHint(u"Update COM Ports List");
    Btn_COM_List->SetShowHint(true);
    Btn_COM_List->OnClick = [this](TObject* s) { Btn_COM_ListClick(s); };
    L_Port = label(u"L_Port");
    E_Port = Make<TEdit>(p, u"E_Port", Field_Left, 0, 80, 21);
    E_Port->SetText(u"502");
    L_MBus_ParGen = label(u"L_MBus_ParGen");
    L_MBus_ParGen->Font().SetStyle(TFontStyles{fsBold});
    list_row(L_MBus_Baud, CB_MBus_Baud, u"MBus_Baud");
    list_row(L_MBus_Parity, CB_MBus_Parity, u"MBus_Parity");
    list_row(L_wMBus_Mode, CB_wMBus_Mode, u"wMBus_Mode");
    list_row(L_wMBus_Radio_Channel, CB_wMBus_Radio_Channel, u"wMBus_Radio_Channel");
    L_Option_Scan = label(u"L_Option_Scan");
    L_Option_Scan->Font().SetStyle(TFontStyles{fsBold});
    CB_Opt_App_Reset = check(u"CB_Opt_App_Reset");
    CB_Opt_SND_NKE = check(u"CB_Opt_SND_NKE");
    L_Opt_Cut_After = label(u"L_Opt_Cut_After");
    E_Opt_Cut_After = Make<TEdit>(p, u"E_Opt_Cut_After", Field_Left, 0, 50, 21);
    E_Opt_Cut_After->SetText(u"3");
    CB_Opt_Use_Fix_C_Field =
        Make<TCheckBox>(p, u"CB_Opt_Use_Fix_C_Field", Label_Left, 0, Field_Left - Label_Left - 4, 17);
    CB_Opt_Use_Fix_C_Field_Value = Make_Combo(p, u"CB_Opt_Use_Fix_C_Field_Value", 80);
    Fill(CB_Opt_Use_Fix_C_Field_Value, {u"0x5X", u"0x7X"});
    CB_Opt_Check_BCD_to_Int = check(u"CB_Opt_Check_BCD_to_Int");
    CB_Opt_Enable_Remote_Scan = check(u"CB_Opt_Enable_Remote_Scan");
    for (TComboBox* c : {CB_HardwareType, CB_MBus_Baud, CB_MBus_Parity, CB_ScanBy, CB_ScanMethod})
        c->OnChange = [this](TObject* s) { CB_HardwareTypeChange(s); };

    // The wired result panel: the progress list while scanning, the tree after.
    P_TreeView = Make<TPanel>(this, u"P_TreeView", 0, Title_Height, Client_Width, body_height);
    P_TreeView->SetBevelOuter(bvNone);
    L_ScanProgress = Make_Label(P_TreeView, u"L_ScanProgress", 16, 8);
    L_ScanProgress->Font().SetStyle(TFontStyles{fsBold});
    L_Num_Slave = Make_Label(P_TreeView, u"L_Num_Slave", Field_Left, 8);
    L_Num_Slave->Font().SetStyle(TFontStyles{fsBold});
    L_AvailableDevice = Make_Label(P_TreeView, u"L_AvailableDevice", 16, 32);
    const TAnchors all{akLeft, akTop, akRight, akBottom};
    LB_AvailableDevice = Make<TListBox>(P_TreeView, u"LB_AvailableDevice", 16, 52, Client_Width - 32, body_height - 60);
    LB_AvailableDevice->SetStyle(lbOwnerDrawFixed);
    LB_AvailableDevice->SetItemHeight(16);
    LB_AvailableDevice->SetAnchors(all);
    LB_AvailableDevice->OnDrawItem = [this](TWinControl*, int i, TRect r, TOwnerDrawState) {
        LB_AvailableDeviceDrawItem(i, r);
    };
    IL_Tree = new TImageList(this);
    IL_Tree->SetSize(16, 16);
    Fill_Tree_Pictures(*IL_Tree);
    IL_Grid = new TImageList(this);
    IL_Grid->SetSize(16, 16);
    Fill_Grid_Pictures(*IL_Grid);

    LST = Make_Tree(P_TreeView, u"LST", false);
    Place_Tree(LST, TRect{16, 32, Client_Width - 16, body_height - 8}, all, alNone);

    // The wireless result panel: the grid of the meters heard over the tree
    // of the one chosen.
    P_View_Wireless = Make<TPanel>(this, u"P_View_Wireless", 0, Title_Height, Client_Width, body_height);
    P_View_Wireless->SetBevelOuter(bvNone);
    P_Grid_Wireless = Make<TPanel>(P_View_Wireless, u"P_Grid_Wireless", 0, 0, Client_Width, 200);
    P_Grid_Wireless->SetAlign(alTop);
    P_Grid_Wireless->SetBevelOuter(bvNone);
    EXG_Wireless = Make<TExColumnGrid>(P_Grid_Wireless, u"EXG_Wireless", 0, 0, Client_Width, 200);
    Set_Window_Grid_Look(EXG_Wireless);
    EXG_Wireless->SetAlign(alClient);
    EXG_Wireless->SetColCount(Col_Grid_Count);
    EXG_Wireless->SetRowCount(2);
    EXG_Wireless->SetFixedRows(1);
    EXG_Wireless->SetFixedCols(0);
    EXG_Wireless->SetOptions(EXG_Wireless->Options() + TGridOptions{goRowSelect} - TGridOptions{goEditing});
    EXG_Wireless->SetGridImages(IL_Grid);
    for (int c = 0; c < Col_Grid_Count; ++c) EXG_Wireless->Columns().Items(c)->SetHeader(Grid_Headers[c]);
    EXG_Wireless->OnClickCell = [this](TObject* s, int r, int c) { EXG_WirelessClickCell(s, r, c); };
    EXG_Wireless->OnDblClickCell = [this](TObject* s, int r, int c) { EXG_WirelessDblClickCell(s, r, c); };
    // Aligned before it has a parent: a new splitter stands at the left.
    Splitter_Wireless = new TSplitter(this);
    Splitter_Wireless->SetAlign(alTop);
    Splitter_Wireless->SetParent(P_View_Wireless);
    Splitter_Wireless->SetBounds(0, 200, Client_Width, 4);
    LST_Wireless = Make_Tree(P_View_Wireless, u"LST_Wireless", true);
    Place_Tree(LST_Wireless, TRect{0, 204, Client_Width, body_height}, TAnchors{akLeft, akTop}, alClient);

    T_InScan = new TTimer(this);
    T_InScan->SetEnabled(false);
    T_InScan->SetInterval(1000);
    T_InScan->OnTimer = [this](TObject* s) { T_InScanTimer(s); };
    T_Closing = new TTimer(this);
    T_Closing->SetEnabled(false);
    T_Closing->SetInterval(100);
    T_Closing->OnTimer = [this](TObject* s) { T_ClosingTimer(s); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TFScanDecode::~TFScanDecode() {
    // The thread ends first (it may queue a last report), then its queued
    // reports go unrun: the window is going.
    TMBusScanDecode* tag = TR_ScanDecode.get();
    TR_ScanDecode.reset();
    TThread::RemoveQueuedEvents(tag);
    Clear_Trees();
}

void TFScanDecode::FormCreate(TObject*) {
    if (!TR_ScanDecode) TR_ScanDecode = std::make_unique<TMBusScanDecode>(false);
    Form_Type = 0;
    Colomns_Width_Init();
    Set_Lang();
    CB_ScanMethod->SetItemIndex(0);
}

void TFScanDecode::Set_Lang() {
    SetCaption(Lang_Table[1200]);
    L_SW_Code->SetCaption(Lang_Table[1201]);
    L_SW_Desc->SetCaption(Lang_Table[1202]);
    L_ScanMethod->SetCaption(Lang_Table[1231]);
    Fill(CB_ScanMethod, {Lang_Table[1232], Lang_Table[1233]});
    L_ScanBy->SetCaption(Lang_Table[1203]);
    Fill(CB_ScanBy, {Lang_Table[1204], Lang_Table[1205]});
    L_HardwareType->SetCaption(Lang_Table[1206]);
    Fill(CB_HardwareType, {Lang_Table[1207], Lang_Table[1208]});
    L_IP->SetCaption(Lang_Table[1209]);
    L_ComPort->SetCaption(Lang_Table[1210]);
    L_Port->SetCaption(Lang_Table[1236]);
    L_MBus_ParGen->SetCaption(Lang_Table[1211]);
    L_MBus_Baud->SetCaption(Lang_Table[1212]);
    Fill(CB_MBus_Baud, {u"300", u"600", u"1200", u"2400", u"4800", u"9600", u"19200", u"38400"}, 3);
    L_MBus_Parity->SetCaption(Lang_Table[1213]);
    Fill(CB_MBus_Parity, {u"NONE", u"EVEN", u"ODD"}, 1);
    L_wMBus_Mode->SetCaption(Lang_Table[1234]);
    Fill(CB_wMBus_Mode, {u"S", u"T", u"N1", u"N2", u"C"});
    L_wMBus_Radio_Channel->SetCaption(Lang_Table[1235]);
    Fill(CB_wMBus_Radio_Channel,
         {u"1a @ 4800 bps", u"1b @ 4800 bps", u"2a @ 2400 bps", u"2b @ 2400 bps", u"3a @ 4800 bps", u"3b @ 4800 bps",
          u"0 @ 19200 bps", u"2a @ 4800 bps", u"2b @ 4800 bps"});
    L_Option_Scan->SetCaption(Lang_Table[1214]);
    CB_Opt_App_Reset->SetCaption(Lang_Table[1215]);
    CB_Opt_SND_NKE->SetCaption(Lang_Table[1216]);
    L_Opt_Cut_After->SetCaption(Lang_Table[1217]);
    CB_Opt_Use_Fix_C_Field->SetCaption(Lang_Table[1240]);
    CB_Opt_Check_BCD_to_Int->SetCaption(Lang_Table[1241]);
    CB_Opt_Enable_Remote_Scan->SetCaption(Lang_Table[1242]);
    L_ScanProgress->SetCaption(Lang_Table[1218]);
    L_AvailableDevice->SetCaption(Lang_Table[1220]);
    Btn_StartScan->SetCaption(Lang_Table[1221]);
    Btn_StopScan->SetCaption(Lang_Table[1222]);
    Btn_AbortScan->SetCaption(Lang_Table[1223]);
    Btn_NewScan->SetCaption(Lang_Table[1224]);
    Btn_SaveConf->SetCaption(Lang_Table[1225]);
    Btn_SaveConfManual->SetCaption(Lang_Table[1239]);
}

void TFScanDecode::Colomns_Width_Init() {
    for (int c = 0; c < Col_Grid_Count; ++c) EXG_Wireless->SetColWidths(c, Grid_Widths[c]);
}

void TFScanDecode::FormShow(TObject*) {
    Move_Object_Type_Form();
    Update_List_of_COM_Port();
    // An abort left running by the last close finishes while shown again.
    T_Closing->SetEnabled(false);
    TR_ScanDecode->Event_Run.SetEvent();
    Read_ParGen_Address();
    Form_Style(1);
}

void TFScanDecode::Read_ParGen_Address() {
    if (!FileExists(Path_ParGen)) return;
    const char16_t* prefix;
    switch (XML_Code_Dev) {
        case 15: prefix = u"Modbus_TCP_Slave_IP"; break;
        case 11:
        case 17:
        case 20: prefix = u"PROFINET_IP"; break;
        case 6: prefix = u"BACnet_IP"; break;
        case 10:
        case 16:
        case 19: prefix = u"Eth_IP"; break;
        case 18: prefix = u"Ethernet_IP"; break;
        default: prefix = u"IP_"; break;
    }
    TXmlDocument doc;
    try {
        doc.LoadFromFile(Path_ParGen);
    } catch (const Exception&) {
        return;  // an unreadable file leaves the address as it is
    }
    TEdit* edits[] = {E_IP1, E_IP2, E_IP3, E_IP4};
    for (int i = 0; i < 4; ++i) {
        const TXmlNode n = doc.DocumentElement().ChildNode(String(prefix) + IntToStr(i + 1));
        if (n) edits[i]->SetText(n.Text());
    }
}

void TFScanDecode::FormClose(TObject*, TCloseAction&) {
    T_InScan->SetEnabled(false);
    if (TR_ScanDecode->InScan()) {
        // The scan ends through its end states (the converter leaves its
        // mode); the thread runs until then.
        TR_ScanDecode->Abort_Scan();
        T_Closing->SetEnabled(true);
    } else {
        TR_ScanDecode->Event_Run.ResetEvent();
    }
}

void TFScanDecode::T_ClosingTimer(TObject*) {
    if (TR_ScanDecode->InScan()) return;
    T_Closing->SetEnabled(false);
    if (!Visible()) TR_ScanDecode->Event_Run.ResetEvent();
}

bool TFScanDecode::Wireless_Method() const { return Form_Type == 1 && CB_ScanMethod->ItemIndex() == 1; }

// ---------------------------------------------------------------------------
// Styles and layout

void TFScanDecode::Form_Style(int Style) {
    FStyle = Style;
    CB_HardwareType->SetItemIndex(0);
    CB_HardwareType->SetEnabled(false);
    const bool wired_result = Style == 2 || Style == 3;
    const bool wireless_result = Style == 4 || Style == 5;
    P_Main->SetAlign(Style == 1 ? alClient : alNone);
    P_TreeView->SetVisible(wired_result);
    P_View_Wireless->SetVisible(wireless_result);
    if (wired_result) {
        P_TreeView->SetAlign(alClient);
        P_TreeView->BringToFront();
    }
    if (wireless_result) {
        P_View_Wireless->SetAlign(alClient);
        P_View_Wireless->BringToFront();
    }
    const bool running = Style == 2 || Style == 4;
    const bool result = Style == 3 || Style == 5;
    Show_Tree(Style == 3);
    L_ScanProgress->SetCaption(Lang_Table[Style == 3 ? 1219 : 1218]);
    L_Num_Slave->SetVisible(Style == 3);
    LB_AvailableDevice->SetVisible(Style == 2);
    L_AvailableDevice->SetVisible(Style == 2);

    const int place0 = Button_Left, place1 = place0 + Button_Width + Button_Gap,
              place2 = place1 + Button_Width + Button_Gap;
    Btn_StartScan->SetVisible(Style == 1);
    Btn_StartScan->SetLeft(place0);
    Btn_StopScan->SetVisible(running);
    Btn_StopScan->SetLeft(place0);
    Btn_AbortScan->SetVisible(running);
    Btn_AbortScan->SetLeft(place1);
    Btn_NewScan->SetVisible(result);
    Btn_NewScan->SetLeft(place0);
    Btn_SaveConf->SetVisible(result);
    Btn_SaveConf->SetLeft(place1);
    const bool manual_hidden =
        Style == 3 ? (XML_Code_Dev == 6 || XML_Code_Dev == 11 || XML_Code_Dev == 15 || XML_Code_Dev == 20)
                   : XML_Code_Dev == 15;
    Btn_SaveConfManual->SetVisible(result && !manual_hidden);
    Btn_SaveConfManual->SetLeft(place2);
}

void TFScanDecode::Move_Object_Type_Form() {
    const bool wireless = Wireless_Method();
    SetClientHeight(Form_Type == 1 ? Client_Height_Wireless : Client_Height_Wired);
    int top = First_Row;
    bool first = true;
    // Places one row (or hides it); a title stands further from the row above.
    auto row = [&](TControl* lbl, std::initializer_list<TControl*> fields, bool shown, bool title = false) {
        lbl->SetVisible(shown);
        for (TControl* f : fields) f->SetVisible(shown);
        if (!shown) return;
        if (!first) top += title ? Title_Step : Row_Step;
        first = false;
        lbl->SetLeft(title ? Title_Left : Label_Left);
        lbl->SetTop(top + 3);
        for (TControl* f : fields) f->SetTop(top);
    };
    const bool serial = CB_HardwareType->ItemIndex() == 1;
    row(L_ScanMethod, {CB_ScanMethod}, Form_Type == 1);
    row(L_ScanBy, {CB_ScanBy}, !wireless);
    row(L_HardwareType, {CB_HardwareType}, true);
    row(L_IP, {E_IP1, E_IP2, E_IP3, E_IP4, L_Dot[0], L_Dot[1], L_Dot[2]}, !serial);
    for (TLabel* dot : L_Dot) dot->SetTop(top + 3);
    row(L_ComPort, {CB_ComPort, Btn_COM_List}, serial);
    row(L_Port, {E_Port}, wireless);
    row(L_MBus_ParGen, {}, true, true);
    row(L_MBus_Baud, {CB_MBus_Baud}, !wireless);
    row(L_MBus_Parity, {CB_MBus_Parity}, !wireless);
    row(L_wMBus_Mode, {CB_wMBus_Mode}, wireless);
    row(L_wMBus_Radio_Channel, {CB_wMBus_Radio_Channel}, wireless);
    row(L_Option_Scan, {}, true, true);
    row(CB_Opt_App_Reset, {}, !wireless);
    row(CB_Opt_SND_NKE, {}, !wireless);
    row(L_Opt_Cut_After, {E_Opt_Cut_After}, !wireless);
    row(CB_Opt_Use_Fix_C_Field, {CB_Opt_Use_Fix_C_Field_Value}, !wireless);
    row(CB_Opt_Check_BCD_to_Int, {}, true);
    row(CB_Opt_Enable_Remote_Scan, {}, true);
    // Check boxes stand on the row's top like the fields.
    for (TControl* c : std::initializer_list<TControl*>{CB_Opt_App_Reset, CB_Opt_SND_NKE, CB_Opt_Use_Fix_C_Field,
                                                        CB_Opt_Check_BCD_to_Int, CB_Opt_Enable_Remote_Scan})
        c->SetTop(c->Top() - 1);
    if (wireless) {
        if (XML_Code_Dev == 12 || XML_Code_Dev == 15 || XML_Code_Dev == 18) E_Port->SetText(u"10001");
        E_Port->SetEnabled(XML_Code_Dev != 12 && XML_Code_Dev != 15);
    }
    Move_Object_Select_Hardware();
}

void TFScanDecode::Move_Object_Select_Hardware() {
    // The COM port row takes the place of the address row.
    CB_ComPort->SetLeft(Field_Left);
    Btn_COM_List->SetLeft(CB_ComPort->Left() + CB_ComPort->Width() + 6);
    Btn_COM_List->SetTop(CB_ComPort->Top());
}

void TFScanDecode::CB_HardwareTypeChange(TObject*) { Move_Object_Type_Form(); }

void TFScanDecode::KeyPress(TObject* Sender, Char& Key) {
    if (Key != u'.') return;
    Key = 0;
    TEdit* next = Sender == E_IP1 ? E_IP2 : Sender == E_IP2 ? E_IP3 : Sender == E_IP3 ? E_IP4 : nullptr;
    if (next && next->CanFocus()) next->SetFocus();
}

void TFScanDecode::Btn_COM_ListClick(TObject*) { Update_List_of_COM_Port(); }

void TFScanDecode::Update_List_of_COM_Port() {
    CB_ComPort->Items().Clear();
    for (const String& n : Get_COM_Port_List()) CB_ComPort->Items().Add(u"COM" + n);
    CB_ComPort->SetItemIndex(CB_ComPort->Items().Count() > 0 ? 0 : -1);
}

// ---------------------------------------------------------------------------
// Buttons

void TFScanDecode::BtnClick(TObject* Sender) {
    if (Sender == Btn_StartScan)
        Select_Scan();
    else if (Sender == Btn_StopScan)
        StopScan();
    else if (Sender == Btn_AbortScan)
        AbortScan();
    else if (Sender == Btn_NewScan)
        NewScan();
    else if (Sender == Btn_SaveConf)
        Select_SaveXML(0);
    else if (Sender == Btn_SaveConfManual)
        Select_SaveXML(1);
}

void TFScanDecode::Select_Scan() {
    if (Wireless_Method())
        StarScanWireless();
    else
        StartScan();
}

void TFScanDecode::StartScan() {
    if (TR_ScanDecode->InScan()) {
        Error_Box(Lang_Table[1226]);
        return;
    }
    Cancel_Device_List();
    const TScanType type = CB_ScanBy->ItemIndex() == 1 ? saSecondaryAddress : saPrimaryAddress;
    const TSelectHard hardware = CB_HardwareType->ItemIndex() == 1 ? shSerial : shEthernet;
    const String address = hardware == shSerial
                               ? u"\\\\.\\" + CB_ComPort->Text()
                               : E_IP1->Text() + u"." + E_IP2->Text() + u"." + E_IP3->Text() + u"." + E_IP4->Text();
    const int baud = StrToIntDef(CB_MBus_Baud->Text(), 2400);
    const int cut_after = StrToIntDef(E_Opt_Cut_After->Text(), 3);
    LB_AvailableDevice->Clear();
    LB_AvailableDevice->SetVisible(true);
    TR_ScanDecode->SaveXMLFile.clear();
    TMBusScanDecode* thread = TR_ScanDecode.get();
    auto progress = [this, thread](int phase, int address, int found, int kind) {
        TThread::Queue(thread,
                       [this, phase, address, found, kind] { Update_Scan_Progress(phase, address, found, kind); });
    };
    Begin_Scan(false, [&] {
        return TR_ScanDecode->Start_Scan(type, hardware, address, baud, CB_MBus_Parity->ItemIndex(),
                                         CB_Opt_App_Reset->Checked(), CB_Opt_SND_NKE->Checked(), cut_after,
                                         CB_Opt_Use_Fix_C_Field->Checked(),
                                         Byte(std::max(CB_Opt_Use_Fix_C_Field_Value->ItemIndex(), 0)),
                                         CB_Opt_Enable_Remote_Scan->Checked(), progress);
    });
}

void TFScanDecode::StarScanWireless() {
    if (TR_ScanDecode->InScan()) {
        Error_Box(Lang_Table[1226]);
        return;
    }
    const int port = StrToIntDef(Trim(E_Port->Text()), -1);
    if (port < 0 || port > 65535) {
        Error_Box(Lang_Table[1238]);
        return;
    }
    {
        std::lock_guard hold(WMBus_Slave_Lock());
        Cancel_Device_List_Wireless();
        Cancel_WMBus_Slave_List();
    }
    Cancel_Grid_Wireless();
    const String address = E_IP1->Text() + u"." + E_IP2->Text() + u"." + E_IP3->Text() + u"." + E_IP4->Text();
    const int mode_index = CB_wMBus_Mode->ItemIndex();
    const int mode = mode_index >= 0 && mode_index < 5 ? Mode_Codes[mode_index] : WMBus_Mode_S;
    TMBusScanDecode* thread = TR_ScanDecode.get();
    auto row = [this, thread](int position, TSlave_wMBus*) {
        TThread::Queue(thread, [this, position] { Update_Wireless_Slave_Row(position); });
    };
    Begin_Scan(true, [&] {
        return TR_ScanDecode->Start_Scan_Wireless(address, Word(port), mode,
                                                  std::max(CB_wMBus_Radio_Channel->ItemIndex(), 0),
                                                  CB_Opt_Enable_Remote_Scan->Checked(), Wireless_Local_Address, row);
    });
}

void TFScanDecode::Begin_Scan(bool Wireless, const std::function<bool()>& Start) {
    bool started;
    try {
        started = Start();
    } catch (const Exception& e) {
        Error_Box(e.Message());  // the port or the endpoint cannot be had here
        return;
    }
    if (!started) {
        Error_Box(Lang_Table[1226]);
        return;
    }
    FScan_Wireless = Wireless;
    Form_Style(Wireless ? 4 : 2);
    T_InScan->SetEnabled(true);
}

void TFScanDecode::StopScan() {
    if (TR_ScanDecode->InScan()) TR_ScanDecode->Stop_Scan();
}

void TFScanDecode::AbortScan() {
    if (TR_ScanDecode->InScan()) TR_ScanDecode->Abort_Scan();
}

void TFScanDecode::NewScan() {
    Cancel_Device_List();
    Form_Style(1);
}

void TFScanDecode::T_InScanTimer(TObject*) {
    T_InScan->SetEnabled(false);
    if (TR_ScanDecode->InScan()) {
        T_InScan->SetEnabled(true);
        return;
    }
    if (TR_ScanDecode->Result() == 2) {
        Error_Box(Lang_Table[1229]);
        Form_Style(1);
        return;
    }
    if (FScan_Wireless) {
        Form_Style(5);
    } else {
        Form_Style(3);
        L_Num_Slave->SetCaption(IntToStr(int(MBus_Slave_List.size())));
        Show_Slave_in_Tree();
    }
}

// ---------------------------------------------------------------------------
// Progress

void TFScanDecode::Update_Scan_Progress(int Phase, int Address, int Found, int Kind) {
    const bool secondary = Kind == 2;
    TStringList& lines = LB_AvailableDevice->Items();
    if (Phase == 1 && secondary)
        lines.Add(Lang_Table[1227]);
    else if (Phase == 2 && !secondary)
        lines.Add(u"ID = " + IntToStr(Address) + u"\t" + (Found ? u"" : Not_Found));
    else if (Phase == 2)
        lines.Add(u"ID = " + IntToHex(Address, 8));
    else if (Phase == 3 && secondary)
        lines.Add(Lang_Table[1228]);
    const int shown = std::max(1, LB_AvailableDevice->ClientHeight() / std::max(1, LB_AvailableDevice->ItemHeight()));
    LB_AvailableDevice->SetTopIndex(std::max(0, lines.Count() - shown));
}

void TFScanDecode::LB_AvailableDeviceDrawItem(int Index, TRect Rect) {
    TCanvas& c = LB_AvailableDevice->Canvas();
    const String text = LB_AvailableDevice->Items()[Index];
    c.FillRect(Rect);
    const std::size_t mark = text.find(Not_Found);
    if (mark == String::npos) {
        c.Font().SetColor(clBlue);
        c.TextRect(Rect, Rect.Left, Rect.Top, TrimRight(text));
        return;
    }
    c.Font().SetColor(clRed);
    TRect first = Rect;
    first.Right = Rect.Left + Not_Found_Column;
    c.TextRect(first, first.Left, first.Top, Trim(text.substr(0, text.find(u'['))));
    TRect second = Rect;
    second.Left = Rect.Left + Not_Found_Column;
    second.Right = second.Left + (Rect.Right - Rect.Left) - (Not_Found_Column + 1);
    c.TextRect(second, second.Left, second.Top, Not_Found);
}

// ---------------------------------------------------------------------------
// The wireless grid

void TFScanDecode::Cancel_Grid_Wireless() {
    EXG_Wireless->SetRowCount(2);
    for (int c = 0; c < Col_Grid_Count; ++c) {
        EXG_Wireless->RemoveImageIdx(c, 1);
        EXG_Wireless->SetCellEx(c, 1, u"");
        EXG_Wireless->GetCellProperties(c, 1)->SetBrushColor(clWhite);
    }
}

void TFScanDecode::Update_Wireless_Slave_Row(int Position) {
    if (Position < 0) return;
    String cells[Col_Grid_Count];
    bool encrypted;
    {
        std::lock_guard hold(WMBus_Slave_Lock());
        const TSlave_wMBus* s = Wireless_Slave_At(Position);
        if (!s) return;  // the list was emptied since
        encrypted = s->Cripted;
        cells[Col_N] = IntToStr(Position + 1);
        cells[Col_DateTime] = DateTimeToStr(s->DateTime);
        cells[Col_Type] = u"0x" + Hex2(s->Message_Type);
        cells[3] = s->LLA_Manu_str + u"(" + IntToHex(s->LLA_Manufacturer, 4) + u")";
        cells[4] = IntToHex(s->LLA_Address, 8);
        cells[5] = Number_And_Hex(s->LLA_Version);
        cells[6] = Number_And_Hex(s->LLA_DeviceType);
        cells[7] = s->ALA_Manu_str + u"(" + IntToHex(s->ALA_Manufacturer, 4) + u")";
        cells[8] = IntToHex(s->ALA_Address, 8);
        cells[9] = Number_And_Hex(s->ALA_Version);
        cells[10] = Number_And_Hex(s->ALA_DeviceType);
        cells[11] = IntToStr(s->RSSI);
    }
    if (EXG_Wireless->RowCount() < Position + 2) EXG_Wireless->SetRowCount(Position + 2);
    const int r = Position + 1;
    const TColor colour = encrypted ? Encrypted_Colour : Plain_Colour;
    for (int c = 0; c < Col_Grid_Count - 1; ++c) EXG_Wireless->SetCellEx(c, r, cells[c]);
    EXG_Wireless->AddImageIdx(Col_Grid_Count - 1, r, encrypted ? 0 : 1, haCenter, vaCenter);
    for (int c = 1; c < Col_Grid_Count; ++c) EXG_Wireless->GetCellProperties(c, r)->SetBrushColor(colour);
}

void TFScanDecode::EXG_WirelessClickCell(TObject*, int ARow, int) {
    if (ARow < 1 || !Wireless_Slave_At(ARow - 1)) return;
    Show_Slave_in_Tree_Wireless(ARow - 1);
}

void TFScanDecode::EXG_WirelessDblClickCell(TObject*, int ARow, int) {
    const int position = ARow - 1;
    {
        std::lock_guard hold(WMBus_Slave_Lock());
        const TSlave_wMBus* s = Wireless_Slave_At(position);
        if (!s || !s->Cripted) return;
    }
    if (!FInsertKeyWireless) return;
    // At the pointer, moved back inside the window's client area.
    TPoint at = GetCursorPos();
    const TPoint client_right_bottom = ClientToScreen(TPoint{ClientWidth(), ClientHeight()});
    at.X -= std::max(0, at.X + FInsertKeyWireless->Width() - client_right_bottom.X);
    at.Y -= std::max(0, at.Y + FInsertKeyWireless->Height() - client_right_bottom.Y);
    FInsertKeyWireless->SetPosition(poDesigned);
    FInsertKeyWireless->SetLeft(at.X);
    FInsertKeyWireless->SetTop(at.Y);
    if (FInsertKeyWireless->ShowModal() != mrOk) return;
    const String text = FInsertKeyWireless->E_Key->Text();
    std::array<Byte, 16> key{};
    for (std::size_t i = 0; i < key.size() && 2 * i + 1 < text.size(); ++i)
        key[i] = Byte(StrToIntDef(u"0x" + text.substr(2 * i, 2), 0));
    TR_ScanDecode->Insert_Wireless_Key(position, key);
}

// ---------------------------------------------------------------------------
// Saving

void TFScanDecode::Select_SaveXML(int Kind) {
    int start_register = 1;
    bool append = false;
    if (FileExists(FileName_MBus)) {
        const int answer = MessageDlg(Lang_Table[1237], mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbCancel});
        if (answer == mrCancel) return;
        append = answer == mrYes;
    }
    const bool start_codes =
        XML_Code_Dev == 0 || XML_Code_Dev == 1 || XML_Code_Dev == 9 || XML_Code_Dev == 13 || XML_Code_Dev == 14;
    // The start addresses are the ones given for this result only: without
    // the dialog, rows left from an earlier save would go to other meters.
    FStart_Addresses_Asked = Kind == 1 && start_codes;
    if (FStart_Addresses_Asked) {
        if (!FModbusStartAdd_SD) return;
        Carica_Dati_Modbus_Start_Add();
        if (FModbusStartAdd_SD->ShowModal() != mrOk) return;
    } else if (Kind == 0 && append && start_codes) {
        if (!FScanModbusStart || FScanModbusStart->ShowModal() != mrOk) return;
        start_register = FScanModbusStart->StartModAdd;
    }
    try {
        if (Wireless_Method())
            SaveXMLWireless(append, start_register, Kind);
        else
            SaveXML(append, start_register, Kind);
    } catch (const Exception& e) {
        Error_Box(e.Message());  // the file could not be read or written: nothing saved
    }
}

namespace {

TSaveConfXML Common_Save_Params(int Code, const String& File, bool Append, int Start_Register, int Kind,
                                bool Start_Addresses) {
    TSaveConfXML d;
    d.Append = Append ? 1 : 0;
    d.XML_Code_Dev = Code;
    d.Mod_Start = Start_Register;
    d.StartModnode = Kind;
    d.File_Name = File;
    if (FModbusStartAdd_SD) {
        TExColumnGrid* g = FModbusStartAdd_SD->sga;
        if (Start_Addresses)
            for (int r = 1; r < g->RowCount(); ++r) d.SMN_Array.push_back(StrToIntDef(g->GetCellEx(1, r), 1));
        d.En_NodeState = FModbusStartAdd_SD->CB_En_NodeState->Checked();
        d.En_IdeNum = FModbusStartAdd_SD->CB_En_IndNum->Checked();
    }
    return d;
}

}  // namespace

void TFScanDecode::SaveXML(bool Append, int Start_Register, int Kind) {
    TSaveConfXML d =
        Common_Save_Params(XML_Code_Dev, FileName_MBus, Append, Start_Register, Kind, FStart_Addresses_Asked);
    d.Index_Baud = CB_MBus_Baud->ItemIndex();
    d.Index_Par = CB_MBus_Parity->ItemIndex();
    d.Node_ID_Type = CB_ScanBy->ItemIndex();
    d.SND_NKE = CB_Opt_SND_NKE->Checked() ? 1 : 0;
    d.Reset_App = CB_Opt_App_Reset->Checked() ? 1 : 0;
    d.Cut_After = StrToIntDef(E_Opt_Cut_After->Text(), 3);
    if (Save_XML_Conf_Wired(d, CB_Opt_Check_BCD_to_Int->Checked()))
        MessageDlg(Lang_Table[1230], mtInformation, TMsgDlgButtons{mbOK});
}

void TFScanDecode::SaveXMLWireless(bool Append, int Start_Register, int Kind) {
    TSaveConfXML d =
        Common_Save_Params(XML_Code_Dev, FileName_MBus, Append, Start_Register, Kind, FStart_Addresses_Asked);
    d.Node_ID_Type = CB_ScanBy->ItemIndex();
    d.Cut_After = 3;
    bool saved;
    {
        std::lock_guard hold(WMBus_Slave_Lock());
        saved = Save_XML_Conf_Wireless(d, CB_Opt_Check_BCD_to_Int->Checked());
    }
    if (saved) MessageDlg(Lang_Table[1230], mtInformation, TMsgDlgButtons{mbOK});
}

void TFScanDecode::Carica_Dati_Modbus_Start_Add() {
    TExColumnGrid* g = FModbusStartAdd_SD->sga;
    const bool wireless = Wireless_Method();
    std::vector<String> names;
    if (wireless) {
        std::lock_guard hold(WMBus_Slave_Lock());
        for (TObject* o : WMBus_Slave_List) names.push_back(IntToStr(static_cast<TSlave_wMBus*>(o)->ALA_Address));
    } else {
        for (TObject* o : MBus_Slave_List) {
            const auto* s = static_cast<TSlave_MBus*>(o);
            names.push_back(IntToStr(s->Primary_Addresss) + u" - " + s->Secondary_Addresss);
        }
    }
    g->SetRowCount(int(names.size()) + 1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        g->SetCellEx(0, int(i) + 1, names[i]);
        g->SetCellEx(1, int(i) + 1, u"1");
    }
}
