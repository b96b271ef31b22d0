#include "app/UBridgeformeFirmWare.h"

#include "app/Program_Windows.h"
#include "app/Wizard_Actions.h"
#include "app/Wizard_Layout.h"
#include "descfiles/UEds.h"
#include "descfiles/UGSDML.h"
#include "descfiles/UProfibus_GSD.h"
#include "descfiles/UProfinetFileName.h"
#include "descfiles/USNMP_MIB.h"
#include "framework/Files.h"
#include "image/ImageBuild.h"
#include "image/UAdvanceFunctions.h"
#include "image/UBootTCP.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "shell/Globals.h"
#include "shell/UAbout.h"
#include "shell/ULanguage.h"
#include "shell/UModel_Tables.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/UComon.h"
#include "shell/UParGen.h"
#include "shell/UProject_Files.h"
#include "shell/USettings.h"
#include "shell/USoftOptions.h"
#include "shell/UStart_Program.h"
#include "tables/UCAN_Rec_Frames.h"
#include "tables/UCAN_Send_Frame.h"
#include "tables/UDMXDefVal.h"
#include "tables/UDNet.h"
#include "tables/UDefOffset.h"
#include "tables/UModbus_TCP_Master_Set_Access.h"
#include "tables/UNodeGuard.h"
#include "tables/UReStart_Devices.h"
#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"
#include "tables/USNMP_Trap_Access.h"
#include "tables/USetAccess.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"
#include "tables/U_Rec_Info.h"
#include "tables/U_Sen_Info.h"

TFBridgeformeFirmWare* FBridgeformeFirmWare = nullptr;

const char16_t* const Project_Not_Valid_Message = u"Error! Project not Valid";

namespace {

// The wizard's buttons: name and the text of its caption (-1: a fixed caption).
struct TButton_Def {
    const char16_t* Name;
    int Text;
    const char16_t* Fixed_Caption;
};

const TButton_Def Wizard_Buttons[] = {
    {u"Btn_New", 17, nullptr},
    {u"Btn_Open", 18, nullptr},
    {u"Btn_Prm_Gen", 19, nullptr},
    {u"Btn_CreateBin", 20, nullptr},
    {u"Btn_PROFINET_XML", 21, nullptr},
    {u"Btn_CAN_Rec_Frame", 22, nullptr},
    {u"Btn_CAN_Send_Frame", 23, nullptr},
    {u"Btn_CAN_Rec_Info", 24, nullptr},
    {u"Btn_CAN_Send_Info", 25, nullptr},
    {u"Btn_DNet_Net", 26, nullptr},
    {u"Btn_DNet_Offset", 27, nullptr},
    {u"Btn_ModM_SetAccess", 28, nullptr},
    {u"Btn_J1939_Rec_Frame", 29, nullptr},
    {u"Btn_J1939_Send_Frame", 30, nullptr},
    {u"Btn_NMEA_Rec_Frame", 31, nullptr},
    {u"Btn_NMEA_Send_Frame", 32, nullptr},
    {u"Btn_SDO_Server_CANopen", 33, nullptr},
    {u"Btn_SDO_Client_CANopen", 34, nullptr},
    {u"Btn_PDO_CANopen", 35, nullptr},
    {u"Btn_MBus", 36, nullptr},
    {u"Btn_PROFIBUS_GSD", 37, nullptr},
    {u"Btn_CANopen_EDS", 899, nullptr},
    {u"Btn_DMX_Default", 940, nullptr},
    {u"Btn_SNMP_Trap", 961, nullptr},
    {u"Btn_SNMP_MIB", 962, nullptr},
    {u"Btn_ReStart_Devices_CANopen", -1, u"ReStart Devices"},
    {u"Btn_NodeGuard_CANopen", -1, u"Set Node Guarding"},
};

constexpr TColor Main_Back_Color = 0xEDF7F8;  // red 248, green 247, blue 237

void Show_Modal(TCustomForm* form) { form->ShowModal(); }

// The pictures of the three square buttons, drawn on a fuchsia ground that
// the button leaves out (its bottom-left pixel names the transparent colour).
enum class TGlyph { Info, Options, Close };

void Set_Glyph(TShellButton* button, TGlyph kind) {
    TBitmap glyph;
    glyph.SetSize(32, 32);
    TCanvas& c = glyph.Canvas();
    c.Brush().SetColor(clFuchsia);
    c.FillRect(Rect(0, 0, 32, 32));
    switch (kind) {
    case TGlyph::Info:
        c.Pen().SetColor(0x804000);
        c.Brush().SetColor(0xC07020);
        c.Ellipse(2, 2, 30, 30);
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(14, 13, 18, 25));
        c.FillRect(Rect(14, 7, 18, 11));
        break;
    case TGlyph::Options:
        c.Pen().SetColor(0x505050);
        c.Pen().SetWidth(3);
        for (int y : {8, 16, 24}) {
            c.MoveTo(4, y);
            c.LineTo(28, y);
        }
        c.Pen().SetWidth(1);
        c.Brush().SetColor(0x2090E0);
        c.Rectangle(18, 4, 24, 13);
        c.Rectangle(7, 12, 13, 21);
        c.Rectangle(15, 20, 21, 29);
        break;
    case TGlyph::Close:
        c.Pen().SetColor(0x2020C0);
        c.Pen().SetWidth(5);
        c.MoveTo(8, 8);
        c.LineTo(24, 24);
        c.MoveTo(24, 8);
        c.LineTo(8, 24);
        break;
    }
    button->SetGlyph(&glyph);
    button->SetCaption(String());
}

}  // namespace

TFBridgeformeFirmWare::TFBridgeformeFirmWare(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FBridgeformeFirmWare");
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetPosition(poScreenCenter);
    SetScaled(false);
    SetColor(Main_Back_Color);
    Font().SetName(u"Verdana");
    Font().SetHeight(-11);

    L_SW_Code = Make_Label(this, u"L_SW_Code", 16, 8);
    L_SW_Code->Font().SetHeight(-32);
    L_SW_Code->Font().SetColor(clGray);
    L_SW_Desc = Make_Label(this, u"L_SW_Desc", 16, 42);
    L_SW_Desc->Font().SetStyle(TFontStyles{fsBold});
    L_Begin = Make_Label(this, u"L_Begin", 16, 84);
    Shape2 = Make_Shape(this, u"Shape2", 80, 70, 348, 36);
    L_Name_Conf = Make_Label(this, u"L_Name_Conf", 87, 75);
    L_Name_Conf_L2 = Make_Label(this, u"L_Name_Conf_L2", 87, 88);
    L_Step[0] = nullptr;
    for (int k = 1; k <= 10; ++k)
        L_Step[k] = Make_Label(this, u"L_Step_" + IntToStr(k), 16, Wizard_Step_Label_Top(k));
    Shape1 = Make_Shape(this, u"Shape1", 10, 0, 674, 1);
    L_Korvia = Make_Label(this, u"L_Korvia", 565, 0);
    L_Korvia->SetCaption(u"bridgeform.example");
    L_Korvia->Font().SetColor(clBlue);
    L_Korvia->Font().SetStyle(TFontStyles{fsUnderline});
    L_Korvia->SetCursor(crHandPoint);
    L_Korvia->OnClick = [this](TObject* s) { L_KorviaClick(s); };
    LL_Update = new TLinkLabel(this);
    LL_Update->SetName(u"LL_Update");
    LL_Update->SetParent(this);
    LL_Update->SetLeft(208);
    LL_Update->SetTop(19);
    LL_Update->SetVisible(false);
    LL_Update->OnLinkClick = [this](TObject* s, const String& link, TSysLinkType) { LL_UpdateLinkClick(s, link); };

    Btn_Info = Add_Button(u"Btn_Info", 50, 50);
    Btn_Info->SetBounds(516, 8, 50, 50);
    Set_Glyph(Btn_Info, TGlyph::Info);
    Btn_Opz = Add_Button(u"Btn_Opz", 50, 50);
    Btn_Opz->SetBounds(574, 8, 50, 50);
    Set_Glyph(Btn_Opz, TGlyph::Options);
    Btn_Close = Add_Button(u"Btn_Close", 50, 50);
    Btn_Close->SetBounds(632, 8, 50, 50);
    Set_Glyph(Btn_Close, TGlyph::Close);
    for (const TButton_Def& def : Wizard_Buttons) {
        TShellButton* b = Add_Button(def.Name, Wizard_Button_Width, Wizard_Button_Height);
        if (def.Fixed_Caption)
            b->SetCaption(def.Fixed_Caption);
    }
    Add_Button(u"Btn_ScanDecode", 166, 36)->SetBounds(516, 70, 166, 36);

    Timer_Update = new TTimer(this);
    Timer_Update->SetEnabled(false);
    Timer_Update->SetInterval(60000);
    Timer_Update->OnTimer = [this](TObject* s) { Timer_UpdateTimer(s); };
    SaveEDS = new TSaveDialog(this);
    SaveEDS->Filter = u"Electronic Data Sheet (*.eds)|*.eds";
    SaveEDS->DefaultExt = u"*.eds";
    SaveMIB = new TSaveDialog(this);
    SaveMIB->Filter = u"Management Information Base (*.mib)|*.mib";
    SaveMIB->DefaultExt = u"*.mib";

    // What each button does, and whether it needs an open project.
    auto show = [](auto*& form) { return [&form] { Show_Modal(form); }; };
    actions_ = {
        {Button(u"Btn_New"), {false, [this] { Create_New_Project(); }}},
        {Button(u"Btn_Open"), {false, [this] { Open_Project(); }}},
        {Btn_Close, {false, [this] { Close(); }}},
        {Btn_Info, {false, [] { Show_Modal(FAbout); }}},
        {Btn_Opz, {false, [this] {
             if (FSoftOptions->ShowModal() == mrOk) {
                 Save_Setting();
                 Timer_Update->SetEnabled(Opt_Enable_Internet && Opt_Enable_Update);
             }
         }}},
        {Button(u"Btn_Prm_Gen"), {true, [this] {
             Show_Modal(FParGen);
             if (Model_Code == 18 || Model_Code == 19 || Model_Code == 30 || Model_Code == 1018)
                 Select_Type();
             else if (Model_Code == 21)
                 Select_Map_SNMP();
         }}},
        {Button(u"Btn_CAN_Rec_Frame"), {true, show(FCAN_Rec_Frames)}},
        {Button(u"Btn_CAN_Send_Frame"), {true, show(FCAN_Send_Frame)}},
        {Button(u"Btn_CAN_Rec_Info"), {true, show(F_Rec_Info)}},
        {Button(u"Btn_CAN_Send_Info"), {true, show(F_Sen_Info)}},
        {Button(u"Btn_DNet_Net"), {true, show(FDNet)}},
        {Button(u"Btn_DNet_Offset"), {true, show(FDefOffset)}},
        {Button(u"Btn_ModM_SetAccess"), {true, [] {
             if (Model_Code == 11 || Model_Code == 19)
                 Show_Modal(FModbus_TCP_Master_Set_Access);
             else
                 Show_Modal(FSetAccess);
         }}},
        {Button(u"Btn_J1939_Rec_Frame"), {true, show(FReceiveJ1939)}},
        {Button(u"Btn_J1939_Send_Frame"), {true, show(FTransmitJ1939)}},
        {Button(u"Btn_NMEA_Rec_Frame"), {true, show(FReceiveNMEA)}},
        {Button(u"Btn_NMEA_Send_Frame"), {true, show(FTransmitNMEA)}},
        {Button(u"Btn_SDO_Server_CANopen"), {true, show(FSet_SDO_Server_Access)}},
        {Button(u"Btn_SDO_Client_CANopen"), {true, show(FSet_SDO_Client_Access)}},
        {Button(u"Btn_PDO_CANopen"), {true, show(FSet_PDO_Access)}},
        {Button(u"Btn_ReStart_Devices_CANopen"), {true, show(FReStart_Devices)}},
        {Button(u"Btn_NodeGuard_CANopen"), {true, show(FNodeGuard)}},
        {Button(u"Btn_MBus"), {true, show(FMeter_Bus)}},
        {Button(u"Btn_DMX_Default"), {true, show(FDMXDefVal)}},
        {Button(u"Btn_SNMP_Trap"), {true, show(FSNMP_Trap_Access)}},
        {Button(u"Btn_SNMP_MIB"), {true, [] { Create_MIB_File(); }}},
        {Button(u"Btn_PROFIBUS_GSD"), {true, [] { Create_GSD_File(); }}},
        {Button(u"Btn_CANopen_EDS"), {true, [this] { Build_EDS_File(); }}},
        {Button(u"Btn_PROFINET_XML"), {true, [this] { PROFINET_XML(); }}},
        {Button(u"Btn_ScanDecode"), {true, [] {
             if (FileExists(Path_M_Bus) &&
                 MessageDlg(Lang_Table[973], mtWarning, TMsgDlgButtons{mbYes, mbNo}) == mrNo)
                 return;
             FScanDecode->XML_Code_Dev = Get_XML_Code_Dev();
             FScanDecode->FileName_MBus = Path_M_Bus;
             FScanDecode->Form_Type = Get_Scan_Form_Type();
             Show_Modal(FScanDecode);
         }}},
        {Button(u"Btn_CreateBin"), {true, [this] { Update_Device(); }}},
    };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TShellButton* TFBridgeformeFirmWare::Add_Button(const char16_t* name, int width, int height) {
    // The three square buttons and "Update Device" are the window's large buttons.
    const bool large = width == 50 || String(name) == u"Btn_CreateBin";
    TShellButton* b = Make_Button(this, name, 0, 0, width, height, large);
    b->OnClick = [this](TObject* s) { Btn_SNMP_MIB_Click(s); };
    buttons_[name] = b;
    return b;
}

TShellButton* TFBridgeformeFirmWare::Button(const String& name) const {
    auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

void TFBridgeformeFirmWare::Lay_Out_Wizard() {
    for (const TButton_Def& def : Wizard_Buttons)
        Button(def.Name)->SetVisible(false);
    for (const TWizard_Place& place : Wizard_Places(Model_Code)) {
        TShellButton* b = Button(place.Button);
        b->SetBounds(Wizard_Column_Left[place.Column], Wizard_Row_Top(place.Row), Wizard_Button_Width,
                     Wizard_Button_Height);
        b->SetVisible(true);
    }
    const int n = Wizard_Step_Count(Model_Code);
    for (int k = 1; k <= 10; ++k)
        L_Step[k]->SetVisible(k <= n);
    L_Korvia->SetTop(Wizard_Step_Label_Top(n));
    L_Korvia->SetVisible(Model_Code != 1018 && Model_Code != 2004);
    Button(u"Btn_ScanDecode")->SetVisible(Model_Code == 10 || Model_Code == 21);
    const int createBinTop = Button(u"Btn_CreateBin")->Top();
    Shape1->SetTop(createBinTop + 51);
    SetClientWidth(Main_Client_Width);
    SetClientHeight(createBinTop + 152);
}

void TFBridgeformeFirmWare::FormCreate(TObject*) {
    Lang_Table.Clear();
    Lay_Out_Wizard();
    Set_Program_Folders(Start_Folder.empty() ? ExeDir() : Start_Folder);
    Read_Settings();
    Timer_Update->SetEnabled(Opt_Enable_Internet && Opt_Enable_Update);
    Set_Model_Strings();
    SetCaption(Main_Caption);
    L_SW_Code->SetCaption(SW_Code);
    L_SW_Desc->SetCaption(SW_Title);
    Load_Language();
    Reopen_Last_Project();
    MBus_Slave_List.clear();
    WMBus_Slave_List.clear();
    Set_Lang();
    Set_Files();
    Row_Clipboard.clear();
    SNMP_MIB_Read_List.clear();
    SNMP_MIB_Write_List.clear();
}

void TFBridgeformeFirmWare::FormShow(TObject*) {
    if (Model_Code == 18 || Model_Code == 19 || Model_Code == 30 || Model_Code == 1018)
        Select_Type();
    else if (Model_Code == 21)
        Select_Map_SNMP();
}

void TFBridgeformeFirmWare::FormClose(TObject*, TCloseAction&) {
    try {
        Save_Setting();
    } catch (const Exception& e) {
        // The program still ends; the person learns that the settings were not kept.
        MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
    }
}

void TFBridgeformeFirmWare::Set_Lang() {
    L_Begin->SetCaption(Lang_Table[0]);
    for (int k = 1; k <= 8; ++k)
        L_Step[k]->SetCaption(Lang_Table[k]);
    // Steps 9 and 10 keep their captions in every language.
    L_Step[9]->SetCaption(u"Step 9");
    L_Step[10]->SetCaption(u"Step 10");
    Btn_Info->SetHint(Lang_Table[12]);
    Btn_Opz->SetHint(Lang_Table[13]);
    Btn_Close->SetHint(Lang_Table[14]);
    for (TShellButton* b : {Btn_Info, Btn_Opz, Btn_Close})
        b->SetShowHint(true);
    for (const TButton_Def& def : Wizard_Buttons)
        if (def.Text >= 0)
            Button(def.Name)->SetCaption(Lang_Table[def.Text]);
    Button(u"Btn_ScanDecode")->SetCaption(Lang_Table[972]);
    Set_Project_Labels();
}

void TFBridgeformeFirmWare::Set_Project_Labels() {
    if (!Project_Dir.empty()) {
        L_Name_Conf->SetCaption(Lang_Table[11]);
        L_Name_Conf_L2->SetCaption(Project_Name);
    } else {
        L_Name_Conf->SetCaption(Lang_Table[9]);
        L_Name_Conf_L2->SetCaption(Lang_Table[10]);
    }
}

void TFBridgeformeFirmWare::Change_Language() {
    Set_Lang();
    FProfinetFileName->Set_Lang();
    FBootTCP->Set_Lang();
    FNew_Project->Set_Lang();
    FOpenConf->Set_Lang();
    FParGen->Set_Lang();
    FSoftOptions->Set_Lang();
    FReceiveNMEA->Set_Lang();
    FTransmitNMEA->Set_Lang();
    FSetAccess->Set_Lang();
    FCAN_Rec_Frames->Set_Lang();
    FCAN_Send_Frame->Set_Lang();
    F_Rec_Info->Set_Lang();
    F_Sen_Info->Set_Lang();
    FSet_PDO_Access->Set_Lang();
    FSet_SDO_Client_Access->Set_Lang();
    FSet_SDO_Server_Access->Set_Lang();
    FReStart_Devices->Set_Lang();
    FNodeGuard->Set_Lang();
    FDefOffset->Set_Lang();
    FDNet->Set_Lang();
    FReceiveJ1939->Set_Lang();
    FTransmitJ1939->Set_Lang();
    FMeter_Bus->Set_Lang();
    FNewIDNode->Set_Lang();
    FAdvanceFunctions->Set_Lang();
    FModbus_TCP_Master_Set_Access->Set_Lang();
    FSNMP_Trap_Access->Set_Lang();
}

void TFBridgeformeFirmWare::Btn_SNMP_MIB_Click(TObject* Sender) {
    auto it = actions_.find(Sender);
    if (it == actions_.end())
        return;
    if (it->second.Needs_Project && Project_Dir.empty()) {
        MessageDlg(Project_Not_Valid_Message, mtError, TMsgDlgButtons{mbOK});
        return;
    }
    it->second.Run();
}

void TFBridgeformeFirmWare::Create_New_Project() {
    if (FNew_Project->ShowModal() == mrOk)
        Set_Project_Labels();
}

void TFBridgeformeFirmWare::Open_Project() {
    if (FOpenConf->ShowModal() != mrOk)
        return;
    Open_Project_Named(FOpenConf->Name_Conf);
    Set_Project_Labels();
}

void TFBridgeformeFirmWare::Update_Device() {
    try {
        Build_Device_Image();
        Write_Device_Image();
    } catch (const Exception& e) {
        // A project the builder refuses: its message, and no update dialog.
        MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
        return;
    }
    FBootTCP->ShowModal();
}

void TFBridgeformeFirmWare::PROFINET_XML() {
    if (FProfinetFileName->ShowModal() == mrOk)
        Create_GSDML_File(FProfinetFileName->Name_File_XML);
}

void TFBridgeformeFirmWare::Build_EDS_File() {
    SaveEDS->InitialDir = Project_Dir;
    if (SaveEDS->Execute())
        Write_EDS_File(SaveEDS->FileName);
}

void TFBridgeformeFirmWare::Set_SNMP_Buttons(bool enabled) {
    Button(u"Btn_SNMP_Trap")->SetEnabled(enabled);
    Button(u"Btn_SNMP_MIB")->SetEnabled(enabled);
}

int TFBridgeformeFirmWare::Select_Type() {
    try {
        const int r = Read_SNMP_Map_Type();
        Set_SNMP_Buttons(SNMP_Buttons_Enabled(r));
        return r;
    } catch (const Exception& e) {
        // A damaged general-parameters file: the buttons keep their state.
        MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
        return 0;
    }
}

int TFBridgeformeFirmWare::Select_Map_SNMP() {
    try {
        Set_SNMP_Buttons(SNMP_Buttons_Enabled(Read_SNMP_Map()));
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
    }
    return 0;
}

void TFBridgeformeFirmWare::Save_Setting() { ::Save_Setting(); }

void TFBridgeformeFirmWare::Set_Files() { ::Set_Files(); }

bool TFBridgeformeFirmWare::Start_Program(const String& NomeSW, const String& Parameter, bool tipo) {
    return ::Start_Program(NomeSW, Parameter, tipo);
}

void TFBridgeformeFirmWare::Timer_UpdateTimer(TObject*) {
    Timer_Update->SetEnabled(false);
    if (Check_Version()) {
        const String link = Model_Download_Page(Model_Code);
        LL_Update->SetCaption(u"<a href=\"" + link + u"\">" + Lang_Table[16] + u"</a>");
        LL_Update->SetVisible(true);
    } else {
        LL_Update->SetVisible(false);
    }
    Timer_Update->SetInterval(7200000);  // two hours
    Timer_Update->SetEnabled(true);
}

void TFBridgeformeFirmWare::LL_UpdateLinkClick(TObject*, const String& Link) { OpenLink(Link); }

void TFBridgeformeFirmWare::L_KorviaClick(TObject*) {
    const String page = Model_Product_Page(Model_Code);
    if (!page.empty())
        OpenLink(page);
}
