#include "image/UBootTCP.h"

#include "controls/FlatButton.h"
#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/Icmp.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "framework/XmlDoc.h"
#include "image/ParGenImage.h"
#include "shell/Globals.h"
#include "shell/Shell_Controls.h"
#include "shell/ULanguage.h"
#include "shell/UModel_Tables.h"
#include "shell/UStart_Program.h"

#include <algorithm>
#include <initializer_list>

namespace {

// Identity codes of the processors, chosen for this configurator: main
// processors 0x5A000 + model number, second processors 0x5B000 + model number.
constexpr TProcessor_Identity Processor_Identity_Table[] = {
    {0, u"0x5A000", u"0x5B000"},    {4, u"0x5A004", u"0x5B004"},    {6, u"0x5A006", u"0x5B006"},
    {8, u"0x5A008", u"0x5B008"},    {9, u"0x5A009", u"0x5B009"},    {10, u"0x5A00A", u"0x5B00A"},
    {11, u"0x5A00B", u"0x5B00B"},   {12, u"0x5A00C", u"0x5B00C"},   {13, u"0x5A00D", u"0x5B00D"},
    {15, u"0x5A00F", nullptr},      {16, u"0x5A010", nullptr},      {17, u"0x5A011", nullptr},
    {18, u"0x5A012", u"0x5B012"},   {19, u"0x5A013", nullptr},      {20, u"0x5A014", nullptr},
    {21, u"0x5A015", u"0x5B015"},   {25, u"0x5A019", nullptr},      {26, u"0x5A01A", nullptr},
    {27, u"0x5A01B", nullptr},      {28, u"0x5A01C", nullptr},      {29, u"0x5A01D", nullptr},
    {30, u"0x5A01E", nullptr},      {31, u"0x5A01F", nullptr},      {32, u"0x5A020", nullptr},
    {33, u"0x5A021", nullptr},      {34, u"0x5A022", nullptr},      {35, nullptr, u"0x5B023"},
    {1018, u"0x5A3FA", u"0x5B3FA"}, {2004, u"0x5A7D4", u"0x5B7D4"},
};

// The names at the head of the job title.
constexpr const char16_t* Maker_Site_Name = u"www.bridgeform.example";
struct TPartner_Name {
    int Model_Code;
    const char16_t* Name;
};
constexpr TPartner_Name Partner_Name_Table[] = {
    {1018, u"PA Partner Systems"},
    {2004, u"PBX Partner Automation"},
};

bool In(int model, std::initializer_list<int> models) {
    return std::find(models.begin(), models.end(), model) != models.end();
}

// Models whose second processor (firmware "_K64") the job configures.
bool Has_Second_Processor(int m) { return In(m, {0, 4, 6, 8, 9, 11, 12, 13, 18, 35, 1018, 2004}); }
bool Own_Updater(int m) { return In(m, {1, 2, 3, 5, 7, 14, 22, 23, 24}); }

const char16_t* Code_Or_Empty(const char16_t* code) { return code ? code : u""; }

// The firmware number N: the software code without its two-letter prefix;
// the partner variants run the firmware of the model they derive from.
String Firmware_Number(int model) {
    int base = model == 1018 ? 18 : model == 2004 ? 4 : model;
    String code = Model_SW_Code(base);
    return code.size() > 2 ? code.substr(2) : code;
}

String Firmware_File(const TUpdate_Context& ctx, const String& suffix) {
    return Find_Master_File(ctx.Master_Dir, u"Sim" + Firmware_Number(ctx.Model_Code) + suffix + u".sim");
}

String Bank_File(const TUpdate_Context& ctx, const char16_t* name) {
    return PathJoin(PathJoin(ctx.Project_Dir, u"bin"), name);
}

struct TOperation {
    String Protection;
    String File;
    String Start;
    bool Firmware;  // bank type "1" and CSS written; else configuration, bank type "2"
    String Address_CSS, Command_CSS;
    bool With_WID = true;
    String WID_Address, WID_Command, WID_Data;
    bool GoToApp_After;
};

const char16_t* Bit(bool on) { return on ? u"1" : u"0"; }

void Add_Operation(TXmlNode operations, const TUpdate_Context& ctx, const TOperation& op) {
    TXmlNode o = operations.AddChild(u"Operation");
    o.AddChild(u"Ope_Protection_Enabled", op.Protection);
    o.AddChild(u"Ope_GoToBoot_Before", u"0");
    o.AddChild(u"Ope_GoToApp_Before", u"0");
    o.AddChild(u"Ope_IP_Address", u"");
    o.AddChild(u"Ope_Port", u"2008");
    o.AddChild(u"Ope_Port_Sec", u"2007");
    o.AddChild(u"Ope_Erase_Memory", u"0");
    o.AddChild(u"Ope_FileName", op.File);
    o.AddChild(u"Ope_Start_Address", op.Start);
    o.AddChild(u"Ope_Memory_Type", u"0");
    o.AddChild(u"Ope_Bank_Type", op.Firmware ? u"1" : u"2");
    o.AddChild(u"Ope_Read_Back", Bit(op.Firmware ? ctx.Options.Read_Firm : ctx.Options.Read_Conf));
    o.AddChild(u"Ope_Write_CSS", Bit(op.Firmware));
    o.AddChild(u"Ope_Address_CSS", op.Address_CSS);
    o.AddChild(u"Ope_Command_CSS", op.Command_CSS);
    if (op.With_WID) {
        o.AddChild(u"Ope_Write_Internal_Data", u"0");
        o.AddChild(u"Ope_WID_Address", op.WID_Address);
        o.AddChild(u"Ope_WID_Command", op.WID_Command);
        o.AddChild(u"Ope_WID_Data", op.WID_Data);
    }
    o.AddChild(u"Ope_GoToApp_After", Bit(op.GoToApp_After));
}

// Root, header elements and the protections; returns the root.
TXmlNode Job_Header(TXmlDocument& doc, const TUpdate_Context& ctx, const char16_t* applicationPort,
                    const char16_t* addressProtection, bool secondProtection, std::initializer_list<const char16_t*> codes) {
    TXmlNode root = doc.CreateRoot(u"Ethernet_Update");
    root.AddChild(u"Version", u"1000");
    root.AddChild(u"Title", Update_Title_Name(ctx.Model_Code) + u" - " + Model_SW_Code(ctx.Model_Code) + u" Ethernet Update");
    root.AddChild(u"IP_Address_Dev", ctx.IP_Address);
    root.AddChild(u"Application_Port", applicationPort);
    root.AddChild(u"Boot_Port", u"2008");
    root.AddChild(u"Boot_Port_Sec", u"2007");
    root.AddChild(u"Address_Protection", addressProtection);
    if (secondProtection) root.AddChild(u"Address_Protection_Sec", u"0x07800");
    TXmlNode protections = root.AddChild(u"Protections");
    for (const char16_t* code : codes)
        if (code) protections.AddChild(u"Protection", code);
    return root;
}

const TProcessor_Identity& Identity(int model) {
    const TProcessor_Identity* id = Find_Processor_Identity(model);
    if (!id) throw EImageError(Lang_Message(1169, {S(std::to_string(model))}));
    return *id;
}

}  // namespace

TUpdate_Context TUpdate_Context::From_Globals(const String& ipAddress, const TUpdate_Options& options) {
    TUpdate_Context ctx;
    ctx.Model_Code = ::Model_Code;
    ctx.IP_Address = ipAddress;
    ctx.Exe_Dir = ::Exe_Dir;
    ctx.Master_Dir = ::Master_Dir;
    ctx.Project_Dir = ::Project_Dir;
    ctx.Options = options;
    if (In(ctx.Model_Code, {16, 17, 18, 19, 30, 1018})) ctx.map_type_809 = Get_Map_Type_809(ctx.Model_Code, Path_ParGen);
    return ctx;
}

const TProcessor_Identity* Find_Processor_Identity(int modelCode) {
    for (const TProcessor_Identity& id : Processor_Identity_Table)
        if (id.Model_Code == modelCode) return &id;
    return nullptr;
}

String Update_Title_Name(int modelCode) {
    for (const TPartner_Name& p : Partner_Name_Table)
        if (p.Model_Code == modelCode) return p.Name;
    return Maker_Site_Name;
}

bool Writes_Update_Job(int modelCode) { return Find_Processor_Identity(modelCode) != nullptr; }

void Compile_XML_Parameter(TXmlDocument& doc, const TUpdate_Context& ctx) {
    const int m = ctx.Model_Code;
    const TProcessor_Identity& id = Identity(m);
    const bool two = Has_Second_Processor(m);
    const bool F = ctx.Options.Firmware, C = ctx.Options.Conf;
    const String mainCode = two ? Code_Or_Empty(id.Main) : u"";
    const String secondCode = Code_Or_Empty(id.Second);
    const bool tableBankModel = In(m, {0, 6, 8, 11, 15, 27, 28, 32, 33, 34});

    const char16_t* port = In(m, {0, 4, 6, 11, 12, 13, 20, 25, 26, 27, 2004}) ? u"5000" : u"10000";
    TXmlNode root = Job_Header(doc, ctx, port, u"0x78000", two, {m == 35 ? nullptr : id.Main, two ? id.Second : nullptr});
    TXmlNode ops = root.AddChild(u"Operations");
    const String css = u"0x50100", cmd = u"0x0B", wid = u"0x78300";

    if (F && m != 35) {
        String fixMap = In(m, {16, 17, 18, 19}) && ctx.map_type_809 != 1 ? u"_FixMap" : u"";
        Add_Operation(ops, ctx, {mainCode, Firmware_File(ctx, fixMap), u"0x8000", true, u"0x78100", cmd, true, wid, cmd, u"", !C});
    }
    if (F && two)
        Add_Operation(ops, ctx, {secondCode, Firmware_File(ctx, u"_K64"), u"0x8000", true, u"0x7A00", u"0x02", true, wid, cmd, u"", !C});
    if (C && m != 35) {
        const char16_t* start = In(m, {18, 19, 30, 1018}) ? u"0x62000" : u"0x68000";
        Add_Operation(ops, ctx, {mainCode, Bank_File(ctx, tableBankModel ? u"bank1.bin" : u"bank.bin"), start, false, css, cmd,
                                 true, wid, cmd, u"", !tableBankModel});
    }
    if (C && two) {
        const char16_t* file = In(m, {0, 6, 8, 11}) ? u"bank3.bin" : m == 9 ? u"bank_K64.bin" : u"bank1.bin";
        Add_Operation(ops, ctx, {secondCode, Bank_File(ctx, file), u"0x07000", false, css, cmd, true, wid, cmd, u"",
                                 In(m, {9, 12, 13})});
    }
    if (C && In(m, {4, 18, 35, 1018, 2004}))
        Add_Operation(ops, ctx, {secondCode, Bank_File(ctx, u"bank2.bin"), u"0x80000", false, css, cmd, true, wid, cmd, u"", true});
    if (C && tableBankModel) {
        const char16_t* start = In(m, {0, 15, 27, 34}) ? u"0x50000" : In(m, {8, 33}) ? u"0x56000" : u"0x58000";
        Add_Operation(ops, ctx, {mainCode, Bank_File(ctx, u"bank2.bin"), start, false, css, cmd, true, wid, cmd, u"", true});
    }
    if (C && In(m, {0, 6, 8, 11}))
        Add_Operation(ops, ctx, {secondCode, Bank_File(ctx, m == 8 ? u"bank4.bin" : u"bank2.bin"), u"0x80000", false, css, cmd,
                                 true, wid, cmd, u"", true});

    if (m == 12) {
        TXmlNode stm32 = root.AddChild(u"STM32");
        stm32.AddChild(u"Address_Protection", u"0x08020000");
        TXmlNode stmOps = stm32.AddChild(u"Operations");
        if (F)
            Add_Operation(stmOps, ctx, {u"", Firmware_File(ctx, u"_STM32"), u"0x08040000", true, u"0x08020400", u"0x02", false,
                                        u"", u"", u"", !C});
        if (C)
            Add_Operation(stmOps, ctx, {u"", Bank_File(ctx, u"bank1.bin"), u"0x08020800", false, css, cmd, true, u"0x07810",
                                        u"0x02", u"0x00, 0x00, 0x00, 0x01", true});
    }
}

void Compile_XML_Parameter_802(TXmlDocument& doc, const TUpdate_Context& ctx) {
    const int m = ctx.Model_Code;
    const TProcessor_Identity& m10 = Identity(10);
    const TProcessor_Identity& m21 = Identity(21);
    const String mains = String(m10.Main) + u", " + m21.Main;
    const String seconds = String(m10.Second) + u", " + m21.Second;
    TXmlNode root = m == 10 ? Job_Header(doc, ctx, u"10000", u"0x78000", false, {m10.Main, m21.Main, m10.Second})
                            : Job_Header(doc, ctx, u"10000", u"0x78000", false, {m21.Main, m21.Second});
    TXmlNode ops = root.AddChild(u"Operations");
    const bool F = ctx.Options.Firmware, C = ctx.Options.Conf;
    const String css = u"0x78100", conf = u"0x50100", cmd = u"0x0B", wid = u"0x78300";
    if (F) {
        Add_Operation(ops, ctx, {mains, Firmware_File(ctx, u""), u"0x8000", true, css, cmd, true, u"0x78200", cmd, u"", !C});
        Add_Operation(ops, ctx, {seconds, Firmware_File(ctx, u"_R731"), u"0x8000", true, css, cmd, true, wid, cmd, u"", !C});
    }
    if (C) {
        Add_Operation(ops, ctx, {mains, Bank_File(ctx, u"bank.bin"), u"0x50000", false, conf, cmd, true, wid, cmd, u"", true});
        Add_Operation(ops, ctx, {seconds, Bank_File(ctx, u"bank1.bin"), u"0x68000", false, conf, cmd, true, wid, cmd, u"", false});
        Add_Operation(ops, ctx, {seconds, Bank_File(ctx, u"bank2.bin"), u"0x50800", false, conf, cmd, true, wid, cmd, u"", m == 10});
        if (m == 21)
            Add_Operation(ops, ctx, {m21.Second, Bank_File(ctx, u"bank3.bin"), u"0x80000", false, conf, cmd, true, wid, cmd, u"", true});
    }
}

void Compile_XML_Parameter_New_Boot(TXmlDocument& doc, const TUpdate_Context& ctx) {
    const int m = ctx.Model_Code;
    TXmlNode root = Job_Header(doc, ctx, u"5000", u"0x07800", false, {Identity(m).Main});
    TXmlNode ops = root.AddChild(u"Operations");
    const bool F = ctx.Options.Firmware, C = ctx.Options.Conf;
    const String css = u"0x07A00", cmd = u"0x02", wid = u"0x07810", data = u"0x00, 0x00, 0x00, 0x01";
    if (F) Add_Operation(ops, ctx, {u"", Firmware_File(ctx, u""), u"0x8000", true, css, cmd, true, wid, cmd, data, !C});
    if (C) {
        Add_Operation(ops, ctx, {u"", Bank_File(ctx, m == 29 ? u"bank1.bin" : u"bank.bin"), u"0x07000", false, css, cmd, true, wid,
                                 cmd, data, m == 31});
        if (m == 29)
            Add_Operation(ops, ctx, {u"", Bank_File(ctx, u"bank2.bin"), u"0x68800", false, css, cmd, true, wid, cmd, data, true});
    }
}

namespace {

void Compile_Job(TXmlDocument& doc, const TUpdate_Context& ctx) {
    if (!Writes_Update_Job(ctx.Model_Code))
        throw EImageError(Lang_Message(1169, {S(std::to_string(ctx.Model_Code))}));
    if (In(ctx.Model_Code, {10, 21}))
        Compile_XML_Parameter_802(doc, ctx);
    else if (In(ctx.Model_Code, {29, 31}))
        Compile_XML_Parameter_New_Boot(doc, ctx);
    else
        Compile_XML_Parameter(doc, ctx);
}

}  // namespace

std::string Update_Job_Text(const TUpdate_Context& ctx) {
    TXmlDocument doc;
    Compile_Job(doc, ctx);
    return doc.SaveToUtf8();
}

void Write_Update_Job(const TUpdate_Context& ctx) {
    TXmlDocument doc;
    Compile_Job(doc, ctx);
    String path = PathJoin(ctx.Exe_Dir, u"Ethernet_Update.xml");
    try {
        doc.SaveToFile(path);
    } catch (const Exception& e) {
        throw EImageError(Lang_Message(1170, {e.Message()}));
    }
}

int Get_Map_Type_809(int modelCode, const String& pathParGen) {
    if (modelCode == 1018 || modelCode == 30) return 1;
    std::optional<TParGenImage> pg = TParGenImage::Load(pathParGen);
    if (!pg) return 1;
    return pg->Number(u"SNMP_MapType", 0);
}

TUpdater_Call Updater_Call(const TUpdate_Context& ctx) {
    const int m = ctx.Model_Code;
    if (!Own_Updater(m)) {
        const char16_t* program = m == 1018 ? u"Ethernet_Update_PA.exe" : m == 2004 ? u"Ethernet_Update_PBX.exe" : u"Ethernet_Update.exe";
        return {PathJoin(ctx.Exe_Dir, program), String()};
    }
    const TUpdate_Options& o = ctx.Options;
    String n = Firmware_Number(m);
    String bin = PathJoin(ctx.Project_Dir, u"bin");
    String target = In(m, {7, 14, 24}) ? bin : PathJoin(bin, u"bank.bin");
    String parameters = ctx.IP_Address + u" 2007 " + (o.Firmware ? u"FW " : u"NO ") + (o.Read_Firm ? u"FR " : u"NO ") +
                        (o.Conf ? u"PW " : u"NO ") + (o.Read_Conf ? u"PR " : u"NO ") + u"\"" +
                        Find_Master_File(ctx.Master_Dir, u"sim" + n + u".sim") + u"\" \"" + target + u"\"";
    return {PathJoin(ctx.Exe_Dir, u"TCP_" + n + u"_Update.exe"), parameters};
}

String Find_Master_File(const String& masterDir, const String& name) {
    try {
        for (const TDirEntry& entry : ListDirectory(masterDir))
            if (!entry.IsDirectory && UpperCase(entry.Name) == UpperCase(name)) return PathJoin(masterDir, entry.Name);
    } catch (const Exception&) {
        // An unreadable folder: the updater reports the missing file itself.
    }
    return PathJoin(masterDir, name);
}

// ---------------------------------------------------------------------------
// The update dialog
// ---------------------------------------------------------------------------

TFBootTCP* FBootTCP = nullptr;

String Update_Order_Code(int modelCode) {
    // The partner variants are ordered by their partner's product code, which
    // is their software code.
    if (modelCode == 1018 || modelCode == 2004) return Model_SW_Code(modelCode);
    return Model_Hardware_Code(modelCode);
}

namespace {

// Carries one echo off the user-interface thread, so that the dialog keeps
// painting while it waits; the answer comes back through Queue.
class TEchoThread : public TThread {
public:
    TEchoThread(TFBootTCP* dialog, TEcho_Routine echo, String address, int timeoutMs, bool* failed)
        : TThread(true), dialog_(dialog), echo_(std::move(echo)), address_(std::move(address)), timeoutMs_(timeoutMs),
          failed_(failed) {}

protected:
    void Execute() override {
        bool answered = false, failed = false;
        try {
            answered = echo_(address_, timeoutMs_);
        } catch (const std::exception&) {
            failed = true;  // shown as entry 84, like every failure of the echo client
        }
        if (answered) Queue([d = dialog_] { d->PingReply(); });
        if (failed) Queue([f = failed_] { *f = true; });
    }

private:
    TFBootTCP* dialog_;
    TEcho_Routine echo_;
    String address_;
    int timeoutMs_;
    bool* failed_;
};

TCheckBox* Make_Check(TWinControl* parent, const char16_t* name, int left, int top) {
    TCheckBox* c = new TCheckBox(parent);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(left, top, 280, 20);
    c->SetChecked(true);
    return c;
}

TEdit* Make_Octet(TWinControl* parent, const char16_t* name, int left) {
    TEdit* e = new TEdit(parent);
    e->SetName(name);
    e->SetParent(parent);
    e->SetBounds(left, 97, 41, 21);
    e->SetText(u"0");
    return e;
}

}  // namespace

TFBootTCP::TFBootTCP(TComponent* AOwner) : TForm(AOwner), Updater_Wait_Ms(Start_Program_Limit_Ms) {
    SetName(u"FBootTCP");
    Set_Shell_Form_Look(this);
    Echo = [](const String& address, int timeoutMs) { return Ping(address, timeoutMs).Answered; };

    P_Title = Make_Title_Panel(this, 350, &L_SW_Code, &L_SW_Desc);
    L_IP_Address = Make_Label(this, u"L_IP_Address", 16, 75);
    E_IP1 = Make_Octet(this, u"E_IP1", 35);
    E_IP2 = Make_Octet(this, u"E_IP2", 91);
    E_IP3 = Make_Octet(this, u"E_IP3", 147);
    E_IP4 = Make_Octet(this, u"E_IP4", 203);
    Label2 = Make_Label(this, u"Label2", 83, 105);
    Label3 = Make_Label(this, u"Label3", 139, 105);
    Label4 = Make_Label(this, u"Label4", 195, 105);
    for (TLabel* dot : {Label2, Label3, Label4}) dot->SetCaption(u".");
    E_IP1->OnKeyPress = [this](TObject* s, Char& k) { E_IP1KeyPress(s, k); };
    E_IP2->OnKeyPress = [this](TObject* s, Char& k) { E_IP2KeyPress(s, k); };
    E_IP3->OnKeyPress = [this](TObject* s, Char& k) { E_IP3KeyPress(s, k); };
    L_Ping = Make_Label(this, u"L_Ping", 16, 136);
    Btn_Ping = Make_Button(this, u"Btn_Ping", 35, 155, 100, 28);
    Btn_Ping->OnClick = [this](TObject* s) { LbButton1Click(s); };
    LPing = Make_Label(this, u"LPing", 151, 163);
    LPing->Font().SetStyle(TFontStyles{fsBold});

    L_Options = Make_Label(this, u"L_Options", 16, 75);
    CB_Firmware = Make_Check(this, u"CB_Firmware", 36, 96);
    CB_Read_Firm = Make_Check(this, u"CB_Read_Firm", 56, 119);
    CB_Conf = Make_Check(this, u"CB_Conf", 36, 142);
    CB_Read_Conf = Make_Check(this, u"CB_Read_Conf", 56, 165);

    P_Button = new TPanel(this);
    P_Button->SetName(u"P_Button");
    P_Button->SetParent(this);
    P_Button->SetBounds(0, 193, 350, 40);
    P_Button->SetBevelOuter(bvNone);
    P_Button->SetParentColor(true);
    Btn_Cancel = Make_Button(P_Button, u"Btn_Cancel", 174, 6, 80, 28);
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Next = Make_Button(P_Button, u"Btn_Next", 262, 6, 80, 28);
    Btn_Next->OnClick = [this](TObject* s) { LbButton2Click(s); };
    Btn_Update = Make_Button(P_Button, u"Btn_Update", 16, 6, 200, 28);
    Btn_Update->OnClick = [this](TObject* s) { LbButton4Click(s); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFBootTCP::~TFBootTCP() = default;

void TFBootTCP::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    L_SW_Code->Font().SetSize(Model_Code == 2004 ? 18 : 24);
    SetClientWidth(350);
    SetClientHeight(233);
    for (TCheckBox* c : {CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf}) c->SetChecked(true);
    Set_Lang();
}

void TFBootTCP::Set_Lang() {
    SetCaption(Lang_Table[70]);
    L_SW_Desc->SetCaption(Lang_Table[70]);
    L_IP_Address->SetCaption(Lang_Table[71] + Update_Order_Code(Model_Code));
    L_Ping->SetCaption(Lang_Table[72]);
    Btn_Ping->SetCaption(Lang_Table[73]);
    Btn_Cancel->SetCaption(Lang_Table[74]);
    Btn_Next->SetCaption(Lang_Table[75]);
    L_Options->SetCaption(Lang_Table[76]);
    CB_Firmware->SetCaption(Lang_Table[77]);
    CB_Read_Firm->SetCaption(Lang_Table[78]);
    CB_Conf->SetCaption(Lang_Table[79]);
    CB_Read_Conf->SetCaption(Lang_Table[80]);
    Btn_Update->SetCaption(Lang_Table[81]);
}

void TFBootTCP::Show_Page(bool options) {
    for (TControl* c : std::initializer_list<TControl*>{L_IP_Address, E_IP1, E_IP2, E_IP3, E_IP4, Label2, Label3, Label4,
                                                        L_Ping, Btn_Ping, LPing, Btn_Cancel, Btn_Next})
        c->SetVisible(!options);
    for (TControl* c : std::initializer_list<TControl*>{L_Options, CB_Firmware, CB_Read_Firm, CB_Conf, CB_Read_Conf, Btn_Update})
        c->SetVisible(options);
}

void TFBootTCP::FormShow(TObject*) {
    Show_Page(false);
    LPing->SetCaption(u"");
    String ip1, ip2, ip3, ip4;
    if (!Last_IP_Address.empty() && Valid_IP(Last_IP_Address, ip1, ip2, ip3, ip4)) {
        E_IP1->SetText(ip1);
        E_IP2->SetText(ip2);
        E_IP3->SetText(ip3);
        E_IP4->SetText(ip4);
    }
    L_IP_Address->SetCaption(Lang_Table[71] + Update_Order_Code(Model_Code));
    Esegui_Ping = false;
}

bool TFBootTCP::Valid_IP(const String& IP, String& IP1, String& IP2, String& IP3, String& IP4) {
    String rest = Trim(IP);
    String* parts[] = {&IP1, &IP2, &IP3};
    for (String* part : parts) {
        const std::size_t dot = rest.find(u'.');
        if (dot == String::npos) return false;
        *part = Trim(rest.substr(0, dot));
        rest = Trim(rest.substr(dot + 1));
    }
    IP4 = rest;
    for (const String* part : {&IP1, &IP2, &IP3, &IP4}) {
        const int value = StrToIntDef(*part, 1000);  // not a number: out of range
        if (value < 0 || value > 255) return false;
    }
    return true;
}

String TFBootTCP::Typed_Address() const {
    return E_IP1->Text() + u"." + E_IP2->Text() + u"." + E_IP3->Text() + u"." + E_IP4->Text();
}

void TFBootTCP::Move_Focus(TEdit* next, Char& Key) {
    if (Key != u'.') return;
    if (next->CanFocus()) next->SetFocus();
    Key = 0;
}

void TFBootTCP::E_IP1KeyPress(TObject*, Char& Key) { Move_Focus(E_IP2, Key); }
void TFBootTCP::E_IP2KeyPress(TObject*, Char& Key) { Move_Focus(E_IP3, Key); }
void TFBootTCP::E_IP3KeyPress(TObject*, Char& Key) { Move_Focus(E_IP4, Key); }

void TFBootTCP::PingReply() { ping_ = 1; }

bool TFBootTCP::Run_Echo(const String& address) {
    echo_failed_ = false;
    TEchoThread echo(this, Echo, address, Echo_Timeout_Ms, &echo_failed_);
    const Cardinal sent = GetTickCount();
    echo.Start();
    while (ping_ == 0 && !echo_failed_ && GetTickCount() - sent <= Cardinal(Echo_Timeout_Ms) && ModalResult() == mrNone) {
        Sleep(10);
        Application->ProcessMessages();
    }
    // Never two echoes in flight: the next one waits for this one to end. An
    // answer that comes while it is awaited still counts, also one queued
    // just before the thread ended (the thread drops its queued calls).
    echo.WaitFor();
    CheckSynchronize();
    return !echo_failed_;
}

void TFBootTCP::LbButton1Click(TObject*) {
    // Messages run inside the loop: a second click must not start a second loop.
    if (pinging_) return;
    pinging_ = true;
    Esegui_Ping = false;
    // The converter found before may be gone: no result until this ping has one.
    LPing->SetCaption(u"");
    const Cardinal start = GetTickCount();
    ping_ = 0;
    const String address = Typed_Address();
    int successes = 0;
    bool failed = false;
    do {
        if (!Run_Echo(address)) {
            failed = true;
            break;
        }
        if (ping_ == 1) ++successes;
    } while (successes < 2 && GetTickCount() - start <= Cardinal(Ping_Budget_Ms) && ModalResult() == mrNone);
    pinging_ = false;

    Esegui_Ping = !failed && ping_ == 1;
    LPing->Font().SetColor(Esegui_Ping ? clGreen : clRed);  // green: RGB(0, 128, 0)
    LPing->SetCaption(Lang_Table[failed ? 84 : Esegui_Ping ? 82 : 83]);
}

void TFBootTCP::LbButton2Click(TObject*) {
    if (pinging_) return;
    if (!Esegui_Ping) {
        MessageDlg(Lang_Table[85], mtError, TMsgDlgButtons{mbOK});
        return;
    }
    Show_Page(true);
    Last_IP_Address = Typed_Address();
}

void TFBootTCP::LbButton4Click(TObject*) {
    const TUpdate_Options options{CB_Firmware->Checked(), CB_Read_Firm->Checked(), CB_Conf->Checked(),
                                  CB_Read_Conf->Checked()};
    const TUpdate_Context ctx = TUpdate_Context::From_Globals(Typed_Address(), options);
    map_type_809 = ctx.map_type_809;
    if (Writes_Update_Job(ctx.Model_Code)) {
        try {
            Write_Update_Job(ctx);
        } catch (const EImageError& e) {
            // Without its job the updater would write whatever an old job says.
            MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
            return;
        }
    }
    const TUpdater_Call call = Updater_Call(ctx);
    // The windows do not respond while the updater runs; one still running
    // after the wait is left to itself.
    if (!Start_Program(call.Program, call.Parameters, false, Updater_Wait_Ms))
        MessageDlg(Lang_Message(1111, {call.Program}), mtError, TMsgDlgButtons{mbOK});
}
