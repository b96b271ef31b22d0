#pragma once
// The modal window "Scan & Decode": the user sets up a scan of the meters of
// an M-Bus line (wired, or with form type 1 also wireless), watches its
// progress, looks at what the meters returned in a tree (and, wireless, in a
// grid of the meters heard) and saves the ticked results as the project's
// M-Bus network. It drives the scan thread it creates and polls it every
// second while a scan runs; the thread's progress reports reach the window
// through TThread::Queue.

#include "framework/Forms.h"
#include "mbus/MBusScanDecode.h"

#include <functional>
#include <memory>

class TLabel;
class TEdit;
class TComboBox;
class TCheckBox;
class TListBox;
class TPanel;
class TSplitter;
class TTimer;
class TImageList;
class TFlatButton;
class TExColumnGrid;
class TLazyStringTree;
class TBaseLazyTree;
struct TLazyNode;

// The data area of every node of the two trees.
struct TMyRec {
    String Caption;
    bool Check = false;
};

class TFScanDecode : public TForm {
public:
    // Thread: the scan thread to drive (tests give one they step by hand);
    // none makes the window create a running one.
    explicit TFScanDecode(TComponent* AOwner, std::unique_ptr<TMBusScanDecode> Thread = nullptr);
    ~TFScanDecode() override;

    std::unique_ptr<TMBusScanDecode> TR_ScanDecode;
    int XML_Code_Dev = 0;
    String FileName_MBus;
    int Form_Type = 0;
    int Index_Dev_MBus = -1;
    // The local address the wireless scan listens on: every address unless set.
    String Wireless_Local_Address;

    TPanel* P_Title;
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;

    TPanel* P_Main;
    TLabel* L_ScanMethod;
    TComboBox* CB_ScanMethod;
    TLabel* L_ScanBy;
    TComboBox* CB_ScanBy;
    TLabel* L_HardwareType;
    TComboBox* CB_HardwareType;
    TLabel* L_IP;
    TEdit* E_IP1;
    TEdit* E_IP2;
    TEdit* E_IP3;
    TEdit* E_IP4;
    TLabel* L_Dot[3];
    TLabel* L_ComPort;
    TComboBox* CB_ComPort;
    TFlatButton* Btn_COM_List;
    TLabel* L_Port;
    TEdit* E_Port;
    TLabel* L_MBus_ParGen;
    TLabel* L_MBus_Baud;
    TComboBox* CB_MBus_Baud;
    TLabel* L_MBus_Parity;
    TComboBox* CB_MBus_Parity;
    TLabel* L_wMBus_Mode;
    TComboBox* CB_wMBus_Mode;
    TLabel* L_wMBus_Radio_Channel;
    TComboBox* CB_wMBus_Radio_Channel;
    TLabel* L_Option_Scan;
    TCheckBox* CB_Opt_App_Reset;
    TCheckBox* CB_Opt_SND_NKE;
    TCheckBox* CB_Opt_Use_Fix_C_Field;
    TComboBox* CB_Opt_Use_Fix_C_Field_Value;
    TCheckBox* CB_Opt_Check_BCD_to_Int;
    TCheckBox* CB_Opt_Enable_Remote_Scan;
    TLabel* L_Opt_Cut_After;
    TEdit* E_Opt_Cut_After;

    TPanel* P_Buttons;
    TFlatButton* Btn_StartScan;
    TFlatButton* Btn_StopScan;
    TFlatButton* Btn_AbortScan;
    TFlatButton* Btn_NewScan;
    TFlatButton* Btn_SaveConf;
    TFlatButton* Btn_SaveConfManual;

    TPanel* P_TreeView;
    TLabel* L_ScanProgress;
    TLabel* L_AvailableDevice;
    TLabel* L_Num_Slave;
    TListBox* LB_AvailableDevice;
    TLazyStringTree* LST;

    TPanel* P_View_Wireless;
    TPanel* P_Grid_Wireless;
    TExColumnGrid* EXG_Wireless;
    TSplitter* Splitter_Wireless;
    TLazyStringTree* LST_Wireless;

    TImageList* IL_Tree;
    TImageList* IL_Grid;
    TTimer* T_InScan;
    // After a close during a scan: resets Event_Run once the scan has ended.
    TTimer* T_Closing;

    // The style shown last (1 to 5).
    int Style() const { return FStyle; }
    // The meter whose records LST_Wireless shows, -1 for none.
    int Wireless_Tree_Slave() const { return FWireless_Tree_Slave; }

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void BtnClick(TObject* Sender);
    void CB_HardwareTypeChange(TObject* Sender);
    void KeyPress(TObject* Sender, Char& Key);
    void Btn_COM_ListClick(TObject* Sender);
    void T_InScanTimer(TObject* Sender);
    void T_ClosingTimer(TObject* Sender);
    void EXG_WirelessClickCell(TObject* Sender, int ARow, int ACol);
    void EXG_WirelessDblClickCell(TObject* Sender, int ARow, int ACol);
    // Draws line Index of the progress list into Rect of its canvas.
    void LB_AvailableDeviceDrawItem(int Index, TRect Rect);

    // On the user-interface thread; the thread's callbacks queue them.
    void Update_Scan_Progress(int Phase, int Address, int Found, int Kind);
    void Update_Wireless_Slave_Row(int Position);

    void Form_Style(int Style);
    void Move_Object_Type_Form();
    void Move_Object_Select_Hardware();
    void Set_Lang();
    void Select_Scan();
    void StartScan();
    void StarScanWireless();
    void StopScan();
    void AbortScan();
    void NewScan();
    // Kind 0 "Save Conf.", 1 "Save Node Add. Conf.".
    void Select_SaveXML(int Kind);
    void SaveXML(bool Append, int Start_Register, int Kind);
    void SaveXMLWireless(bool Append, int Start_Register, int Kind);
    void Carica_Dati_Modbus_Start_Add();
    void Show_Slave_in_Tree();
    void Show_Slave_in_Tree_Wireless(int Position);
    void Cancel_Device_List();
    void Cancel_Device_List_Wireless();
    void Cancel_Grid_Wireless();
    void Colomns_Width_Init();
    void Update_List_of_COM_Port();

private:
    // Runs Start (a start of the thread); when it starts a scan, shows its
    // style and polls; otherwise shows why not.
    void Begin_Scan(bool Wireless, const std::function<bool()>& Start);
    TLazyStringTree* Make_Tree(TWinControl* Parent, const char16_t* Name, bool Wireless);
    void Place_Tree(TLazyStringTree* Tree, TRect Bounds, TAnchors Anchors, TAlign Align);
    void Show_Tree(bool Shown);
    void Clear_Trees();
    void Tree_InitNode(TBaseLazyTree* Sender, TLazyNode* Node, bool Wireless, bool ReInit);
    void Tree_FreeNode(TBaseLazyTree* Sender, TLazyNode* Node);
    void Tree_GetText(TBaseLazyTree* Sender, TLazyNode* Node, String& Text);
    void Tree_Checked(TBaseLazyTree* Sender, TLazyNode* Node, bool Wireless);
    void Read_ParGen_Address();
    bool Wireless_Method() const;
    int FStyle = 1;
    int FWireless_Tree_Slave = -1;
    bool FScan_Wireless = false;          // the scan started last is the wireless one
    bool FStart_Addresses_Asked = false;  // the saving under way showed the start-address dialog
};

extern TFScanDecode* FScanDecode;

// The wireless meter at a position of WMBus_Slave_List, or none; the caller
// holds WMBus_Slave_Lock.
TSlave_wMBus* Wireless_Slave_At(int Position);
