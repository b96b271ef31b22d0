#include "mbus/MBusNetwork.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

int Active_ID(const TNodo& Node) { return Node.Node_ID_Type != 0 ? Node.Node_ID_Secondary : Node.Node_ID_Primary; }

const std::vector<String> Type_Of_Data_Texts = {
    u"Energy (Wh)", u"Energy (J)", u"Volume (m³)", u"Mass (Kg)", u"On Time", u"Operating Time", u"Power (W)",
    u"Power (J/h)", u"Volume Flow (m³/h)", u"Volume Flow Ext. (m³/min)", u"Volume Flow Ext. (m³/s)",
    u"Mass Flow (Kg/h)", u"Flow Temperature (°C)", u"Return Temperature (°C)", u"Temperature Difference (K)",
    u"External Temperature (°C)", u"Pressure (bar)", u"Averaging Duration ", u"Actuality Duration",
    u"Type of  Data in VIFE", u"Time Point", u"VIF is in ASCII", u"Unit for H.C.A.", u"Fabrication No",
    u"(Enhanced) Identification", u"Bus Address",
};

const std::vector<String> VIFE_Texts = {
    u"Not Selected",
    u"Credit of the nominal local legal currency units",
    u"Debit of the nominal local legal currency units",
    u"Access Number (transmission count)",
    u"Medium (as in fixed header)",
    u"Manufacturer (as in fixed header)",
    u"Parameter set identification",
    u"Model/Version",
    u"Hardware Version #",
    u"Firmware Version #",
    u"Software Version #",
    u"Customer Location",
    u"Customer",
    u"Access Code User",
    u"Access Code Operator",
    u"Access Code System Operator",
    u"Access Code Developer",
    u"Password",
    u"Error flags (binary)",
    u"Error mask",
    u"Digital Output (binary)",
    u"Digital Input (binary)",
    u"Baudrate [Baud]",
    u"response delay time [bittimes]",
    u"Retry",
    u"First storage # for cyclic storage",
    u"Last storage # for cyclic storage",
    u"Size of storage block",
    u"Storage interval [sec(s)..day(s)]",
    u"Storage interval month(s)",
    u"Storage interval year(s)",
    u"Duration since last readout[sec(s)..day(s)]",
    u"Start (date/time) of tariff",
    u"Duration of tariff (nn=01..11:min to day)",
    u"Period of tariff [sec(s) to day(s)]",
    u"Period of tariff months(s)",
    u"Period of tariff year(s)",
    u"dimensionless/ no VIF",
    u"Volts ",
    u"Ampere",
    u"Reset counter",
    u"Comulation counter",
    u"Control signal",
    u"Day of week",
    u"Week number",
    u"Time point of day change",
    u"State of parameter activation",
    u"Special supplier information",
    u"Duration since last comulation [hour(s)..year(s)]",
    u"Operation time battery [hour(s)..year(s)]",
    u"Date and time of battery change",
    u"Energy MWh",
    u"Energy GJ",
    u"Volume ",
    u"Mass",
    u"Volume 0,1 feet^3",
    u"Volume 0,1 american gallon",
    u"Volume 1 american gallon",
    u"Volume flow 0,001 american gallon/min",
    u"Volume flow 1 american gallon/min",
    u"Volume flow 1 american gallon/h",
    u"Power MW",
    u"Power GJ/h",
    u"Flow Temperature",
    u"Return Temperature",
    u"Temperature Difference",
    u"External Temperature",
    u"Cold/Warm Temperature Limit °F",
    u"Cold/Worm Temperature Limit °C",
    u"Cumul. count max power",
    u"per second",
    u"per minute",
    u"per hour",
    u"per day",
    u"per week",
    u"per month",
    u"per year",
    u"per revolution/measurement",
    u"increment per input pulse on input channel",
    u"increment per output pulse on output channel",
    u"per liter",
    u"per m^3",
    u"per kg",
    u"per K (Kelvin)",
    u"per kWh",
    u"per GJ",
    u"per kW",
    u"per (K*l)(Kelvin*liter) ",
    u"per V (Volt)",
    u"per A (Ampere)",
    u"multiplied by sek",
    u"multiplied by sek/V",
    u"multiplied by sek/A",
    u"start date(/time) of",
    u"VIF contains uncorrected unit instead of corrected unit",
    u"Accumulation only if positive contributions",
    u"Accumulation of abs value only if negative contributions",
    u"upper/lower limit value",
    u"# of exceeds of lower/upper limit",
    u"Date(/time) of begin/end of first/last lower/upper limit exceed",
    u"Duration of limit exceed",
    u"Duration of first/last",
    u"Date(/time) of first/last begin/end",
    u"Multiplicative currection factor",
    u"Additive correction constant * unit of VIF (offset)",
    u"Moltiplicative correction factor: 10^3",
    u"future value",
    u"next VIFE's and data of this block are manufacturer specific",
    u"None",
    u"Too many DIFE's",
    u"Storage number not implemented",
    u"Unit number not implemented",
    u"Tariff number not implemented",
    u"Function not implemented",
    u"Data class not implemented",
    u"Data size not implemented",
    u"Too many VIFE's",
    u"Illegal VIF-Group",
    u"Illegal VIF-Exponent",
    u"VIF/DIF mismatch",
    u"Unimplemented action",
    u"No data available (undefined value)",
    u"Data overflow",
    u"Data underflow",
    u"Data error",
    u"Premature end of record ",
};

const std::vector<String> Function_Field_Texts = {u"Instantaneous Value", u"Minimun Value", u"Maximum Value",
                                                  u"Value During Error State"};
const std::vector<String> Dimension_Texts = {u"8", u"16", u"32", u"64", u"24", u"48", u"32 Real", u"Variable Length"};
const std::vector<String> Post_Operation_Texts = {u"None",       u" : 10",      u" : 100",     u" : 1000",
                                                  u" : 10000",   u" : 100000",  u" : 1000000", u" * 10",
                                                  u" * 100",     u" * 1000",    u" * 10000",   u" * 100000",
                                                  u" * 1000000"};

namespace {

constexpr int SNMP_Model = 21;

// ---------------------------------------------------------------------------
// Reading: every attribute by its own rule.

bool Whole(const TXmlNode& e, std::u16string_view name, int& value) {
    const auto text = e.Attribute(name);
    return text && TryStrToInt(*text, value);
}

int Whole_Or(const TXmlNode& e, std::u16string_view name, int fallback) {
    int v;
    return Whole(e, name, v) ? v : fallback;
}

// An 8-bit field keeps the low 8 bits of the number.
Byte Byte_Or(const TXmlNode& e, std::u16string_view name, int fallback) {
    return static_cast<Byte>(Whole_Or(e, name, fallback));
}

bool Only_One(const TXmlNode& e, std::u16string_view name) { return e.AttributeOr(name, String()) == u"1"; }

// "0" clears; any other value sets; missing gives Missing.
bool Not_Zero(const TXmlNode& e, std::u16string_view name, bool missing) {
    const auto text = e.Attribute(name);
    return text ? *text != u"0" : missing;
}

String Required_Text(const TXmlNode& e, std::u16string_view name) {
    const auto text = e.Attribute(name);
    if (!text)
        throw EConvertError(Lang_Message(1196, {String(name), e.NodeName()}));
    return *text;
}

int Required_Whole(const TXmlNode& e, std::u16string_view name) {
    const String text = Required_Text(e, name);
    int v;
    if (!TryStrToInt(text, v))
        throw EConvertError(u"'" + text + u"' is not a valid integer value (attribute \"" + String(name) + u"\")");
    return v;
}

// The three SNMP groups share one set of attributes.
struct TSNMP_Ref {
    String& CommName;
    bool& OnChange;
    bool& OnTimer;
    int& Timer;
    String& Desc;
    String& IP_Add;
    String& Mnemonic;
};

void Read_SNMP(const TXmlNode& e, const String& prefix, const TSNMP_Ref& s) {
    s.CommName = e.AttributeOr(prefix + u"Community_Name", String());
    s.OnChange = Not_Zero(e, prefix + u"OnChange", false);
    s.OnTimer = Not_Zero(e, prefix + u"OnTimer", false);
    s.Timer = Whole_Or(e, prefix + u"Timer", 0);
    s.Desc = e.AttributeOr(prefix + u"Desc", String());
    s.IP_Add = e.AttributeOr(prefix + u"IP_Add", String());
    s.Mnemonic = e.AttributeOr(prefix + u"Mnemonic", String());
}

TSNMP_Ref NS(TNodo& n) {
    return {n.NS_CommName, n.NS_OnChange, n.NS_OnTimer, n.NS_Timer, n.NS_Desc, n.NS_IP_Add, n.NS_Mnemonic};
}
TSNMP_Ref IN(TNodo& n) {
    return {n.IN_CommName, n.IN_OnChange, n.IN_OnTimer, n.IN_Timer, n.IN_Desc, n.IN_IP_Add, n.IN_Mnemonic};
}
TSNMP_Ref VarS(TVariabile& v) {
    return {v.Var_CommName, v.Var_OnChange, v.Var_OnTimer, v.Var_Timer, v.Var_Desc, v.Var_IP_Add, v.Var_Mnemonic};
}

std::unique_ptr<TVariabile> Read_Var(const TXmlNode& e, int model) {
    auto v = std::make_unique<TVariabile>();
    v->Enable = Only_One(e, u"Enable");
    v->Description = Required_Text(e, u"Desc");
    v->Type_Of_Data = Required_Whole(e, u"Type");
    v->Function_Field = Required_Whole(e, u"Fun_Field");
    v->Dimension = Required_Whole(e, u"Dim");
    v->Unita = Whole_Or(e, u"Unit", 0);
    v->Scale = Only_One(e, u"Scale");
    Int64 sto = 0;
    const auto stoText = e.Attribute(u"StoNumber");
    if (!stoText || !TryStrToInt64(*stoText, sto) || sto < 0 || sto > 0xFFFFFFFFLL)
        sto = 0;
    v->Storage_Number = static_cast<Cardinal>(sto);
    v->Tariff = Whole_Or(e, u"Tariff", 0);
    v->VIFE = Byte_Or(e, u"VIFE", 0);
    v->BCDtoINT = Only_One(e, u"BCDtoINT");
    v->SWAP = Byte_Or(e, u"SWAP", 0);
    v->VIF_ASCII = e.AttributeOr(u"VIF_ASCII", String());
    v->Length = Whole_Or(e, u"Length", 0);
    v->TP_Mod_Regs = Only_One(e, u"TP_Mod_Regs");
    v->ForceInteger32 = Only_One(e, u"ForceInteger32");
    v->Position = Byte_Or(e, u"Position", 1);
    v->Post_Operation = Byte_Or(e, u"Post_Operation", 0);
    if (model == SNMP_Model) {
        v->Conv_Float = Only_One(e, u"Conv_Float");
        Read_SNMP(e, u"Var_", VarS(*v));
    }
    return v;
}

void Read_Node(const TXmlNode& e, int model, TNodo& n) {
    n.Enable = Not_Zero(e, u"Enable_Node", true);
    n.Description = Required_Text(e, u"Descrizione");
    n.Node_ID_Type = Byte_Or(e, u"Node_ID_Type", 0);
    // An ID attribute names the address in use; the other one becomes 1.
    int id;
    if (Whole(e, u"ID", id)) {
        n.Node_ID_Primary = n.Node_ID_Type != 0 ? 1 : id;
        n.Node_ID_Secondary = n.Node_ID_Type != 0 ? id : 1;
    } else {
        n.Node_ID_Primary = Whole_Or(e, u"ID_Primary", 1);
        n.Node_ID_Secondary = Whole_Or(e, u"ID_Secondary", 1);
    }
    n.Send_SNK = Byte_Or(e, u"Send_SND_NKE", 0);
    n.Reset_App = Byte_Or(e, u"Reset_App", 0);
    n.Node_State = Byte_Or(e, u"Node_State", 0);
    n.Ident_Num = Byte_Or(e, u"Ident_Num", 0);
    n.BCDtoINT_IN = Byte_Or(e, u"BCDtoINT_IN", 0);
    n.Swap_Ident = Whole_Or(e, u"Swap_IN", 0);
    n.Var_List_Type = Byte_Or(e, u"Var_List_Type", 0);
    n.Cut_After = Byte_Or(e, u"Cut_After", 0);
    if (model == SNMP_Model) {
        Read_SNMP(e, u"NS_", NS(n));
        Read_SNMP(e, u"IN_", IN(n));
    }
}

// ---------------------------------------------------------------------------
// Writing

String Flag(bool b) { return b ? u"1" : u"0"; }

void Write_SNMP(TXmlNode& e, const String& prefix, const TSNMP_Ref& s) {
    e.SetAttribute(prefix + u"Community_Name", s.CommName);
    e.SetAttribute(prefix + u"OnChange", Flag(s.OnChange));
    e.SetAttribute(prefix + u"OnTimer", Flag(s.OnTimer));
    e.SetAttribute(prefix + u"Timer", IntToStr(s.Timer));
    e.SetAttribute(prefix + u"Desc", s.Desc);
    e.SetAttribute(prefix + u"IP_Add", s.IP_Add);
    e.SetAttribute(prefix + u"Mnemonic", s.Mnemonic);
}

void Write_Node(TXmlNode& root, TNodo& n, int model) {
    TXmlNode e = root.AddChild(u"Nodo");
    e.SetAttribute(u"Enable_Node", Flag(n.Enable));
    e.SetAttribute(u"ID_Primary", IntToStr(n.Node_ID_Primary));
    e.SetAttribute(u"ID_Secondary", IntToStr(n.Node_ID_Secondary));
    e.SetAttribute(u"Descrizione", n.Description);
    e.SetAttribute(u"Send_SND_NKE", IntToStr(n.Send_SNK));
    e.SetAttribute(u"Reset_App", IntToStr(n.Reset_App));
    e.SetAttribute(u"Node_State", IntToStr(n.Node_State));
    e.SetAttribute(u"Ident_Num", IntToStr(n.Ident_Num));
    e.SetAttribute(u"BCDtoINT_IN", IntToStr(n.BCDtoINT_IN));
    e.SetAttribute(u"Swap_IN", IntToStr(n.Swap_Ident));
    e.SetAttribute(u"Node_ID_Type", IntToStr(n.Node_ID_Type));
    e.SetAttribute(u"Var_List_Type", IntToStr(n.Var_List_Type));
    e.SetAttribute(u"Cut_After", IntToStr(n.Cut_After));
    if (model == SNMP_Model) {
        Write_SNMP(e, u"NS_", NS(n));
        Write_SNMP(e, u"IN_", IN(n));
    }
    for (const auto& vp : n.Var_List) {
        TVariabile& v = *vp;
        TXmlNode x = e.AddChild(u"Variabile");
        x.SetAttribute(u"Enable", Flag(v.Enable));
        x.SetAttribute(u"Desc", v.Description);
        x.SetAttribute(u"Type", IntToStr(v.Type_Of_Data));
        x.SetAttribute(u"Fun_Field", IntToStr(v.Function_Field));
        x.SetAttribute(u"Dim", IntToStr(v.Dimension));
        x.SetAttribute(u"Unit", IntToStr(v.Unita));
        x.SetAttribute(u"Scale", Flag(v.Scale));
        x.SetAttribute(u"StoNumber", IntToStr(v.Storage_Number));
        x.SetAttribute(u"Tariff", IntToStr(v.Tariff));
        x.SetAttribute(u"VIFE", IntToStr(v.VIFE));
        x.SetAttribute(u"BCDtoINT", Flag(v.BCDtoINT));
        x.SetAttribute(u"SWAP", IntToStr(v.SWAP));
        x.SetAttribute(u"VIF_ASCII", v.VIF_ASCII);
        x.SetAttribute(u"Length", IntToStr(v.Length));
        x.SetAttribute(u"TP_Mod_Regs", Flag(v.TP_Mod_Regs));
        x.SetAttribute(u"ForceInteger32", Flag(v.ForceInteger32));
        x.SetAttribute(u"Position", IntToStr(v.Position));
        x.SetAttribute(u"Post_Operation", IntToStr(v.Post_Operation));
        if (model == SNMP_Model) {
            x.SetAttribute(u"Conv_Float", Flag(v.Conv_Float));
            Write_SNMP(x, u"Var_", VarS(v));
        }
    }
}

void Build(TXmlDocument& doc, const TNodi_List& list, int model) {
    TXmlNode root = doc.CreateRoot(u"M-Bus_Network");
    doc.AddComment(u"SW_VERSION = 1.308");
    for (const auto& n : list) Write_Node(root, *n, model);
}

}  // namespace

String Read_MBus_Network(const String& Path, int Model, TNodi_List& List) {
    if (!FileExists(Path))
        return String();
    try {
        TXmlDocument doc;
        doc.LoadFromFile(Path);
        const TXmlNode root = doc.DocumentElement();
        for (const TXmlNode& ne : root.Children()) {
            auto node = std::make_unique<TNodo>();
            Read_Node(ne, Model, *node);
            // The node's variables read so far stay with it when one fails.
            TNodo& kept = *List.emplace_back(std::move(node));
            for (const TXmlNode& ve : ne.Children()) kept.Var_List.push_back(Read_Var(ve, Model));
        }
    } catch (const Exception& e) {
        return e.Message();
    }
    return String();
}

std::string MBus_Network_Xml(const TNodi_List& List, int Model) {
    TXmlDocument doc;
    Build(doc, List, Model);
    return doc.SaveToUtf8();
}

void Write_MBus_Network(const String& Path, int Model, const TNodi_List& List) {
    TXmlDocument doc;
    Build(doc, List, Model);
    doc.SaveToFile(Path);
}

namespace {

// The text of a root child of "ParGen.xml", or nothing.
bool ParGen_Text(const TXmlNode& root, std::u16string_view key, String& text) {
    const TXmlNode e = root.ChildNode(key);
    return e && e.TryText(text);
}

}  // namespace

TMBus_ParGen Read_MBus_ParGen(const String& Path, int Model) {
    TMBus_ParGen p;
    if (Model == SNMP_Model) {
        p.Num_Byte_Par_Gen = 1024;
        p.Map_Type_808 = Read_Map_Type(Path);
        return p;
    }
    if (!FileExists(Path))
        return p;
    try {
        TXmlDocument doc;
        doc.LoadFromFile(Path);
        const TXmlNode root = doc.DocumentElement();
        String text;
        p.Auto_Calc_Byte_Used = ParGen_Text(root, u"PROFINET_AUTO_CALC_BYTE", text) && text == u"1";
        int v;
        if (ParGen_Text(root, u"Working_mode", text) && TryStrToInt(text, v))
            p.Working_Mode = v;
        if (ParGen_Text(root, u"PROFINET_NB_OUT", text) && TryStrToInt(text, v))
            p.Num_Byte_Par_Gen = v;
    } catch (const Exception&) {
        // An unreadable general-parameters file leaves the defaults, as a missing one does.
    }
    return p;
}

int Read_Map_Type(const String& Path) {
    if (!FileExists(Path))
        return 0;
    try {
        TXmlDocument doc;
        doc.LoadFromFile(Path);
        String text;
        return ParGen_Text(doc.DocumentElement(), u"SNMP_MAP", text) ? SNMP_Map_Type_Code(text) : 0;
    } catch (const Exception&) {
        return 0;
    }
}

void Write_NB_OUT(const String& Path, int Count) {
    TXmlDocument doc;
    doc.LoadFromFile(Path);
    TXmlNode root = doc.DocumentElement();
    TXmlNode e = root.ChildNode(u"PROFINET_NB_OUT");
    if (!e)
        e = root.AddChild(u"PROFINET_NB_OUT");
    e.SetText(IntToStr(Count));
    doc.SaveToFile(Path);
}

int Var_Byte_Count(const TNodo& Node, const TVariabile& Var) {
    if ((Node.Var_List_Type != 0 || Var.Type_Of_Data == Type_Time_Point) && Var.TP_Mod_Regs)
        return 6;
    if (Var.ForceInteger32 || Var.Conv_Float)
        return 4;
    return Dimension_Bytes(Var);
}

int Dimension_Bytes(const TVariabile& Var) {
    static constexpr int by_dimension[] = {1, 2, 4, 8, 3, 6, 4};
    if (Var.Dimension == Dim_Variable_Length)
        return Var.Length;
    return Var.Dimension >= 0 && Var.Dimension < 7 ? by_dimension[Var.Dimension] : 2;
}

int Calcola_Byte_Usati(const TNodi_List& List) {
    int count = 0;
    for (const auto& n : List) {
        if (!n->Enable)
            continue;
        count += n->Node_State == 1 ? 1 : 0;
        count += n->Ident_Num == 1 ? 4 : 0;
        for (const auto& v : n->Var_List)
            if (v->Enable)
                count += Var_Byte_Count(*n, *v) + (v->Scale ? 1 : 0);
    }
    return count == 0 ? 1 : count;
}

std::unique_ptr<TVariabile> Copy_Of_Var(const TVariabile& s) {
    auto v = std::make_unique<TVariabile>();
    v->Enable = s.Enable;
    v->Description = s.Description;
    v->Type_Of_Data = s.Type_Of_Data;
    v->Function_Field = s.Function_Field;
    v->Dimension = s.Dimension;
    v->Unita = s.Unita;
    v->Scale = s.Scale;
    v->Storage_Number = s.Storage_Number;
    v->Tariff = s.Tariff;
    v->VIFE = s.VIFE;
    v->BCDtoINT = s.BCDtoINT;
    v->SWAP = s.SWAP;
    v->Length = s.Length;
    v->VIF_ASCII = s.VIF_ASCII;
    v->TP_Mod_Regs = s.TP_Mod_Regs;
    v->ForceInteger32 = s.ForceInteger32;
    v->Position = s.Position;
    return v;
}

std::unique_ptr<TNodo> Copy_Of_Node(const TNodo& s) {
    auto n = std::make_unique<TNodo>();
    n->Enable = s.Enable;
    n->Description = s.Description;
    n->Node_ID_Primary = s.Node_ID_Primary;
    n->Node_ID_Secondary = s.Node_ID_Secondary;
    n->Send_SNK = s.Send_SNK;
    n->Reset_App = s.Reset_App;
    n->Node_State = s.Node_State;
    n->Ident_Num = s.Ident_Num;
    n->BCDtoINT_IN = s.BCDtoINT_IN;
    n->Swap_Ident = s.Swap_Ident;
    n->Node_ID_Type = s.Node_ID_Type;
    n->Var_List_Type = s.Var_List_Type;
    n->Cut_After = s.Cut_After;
    for (const auto& v : s.Var_List) n->Var_List.push_back(Copy_Of_Var(*v));
    return n;
}

bool Check_Node_ID2(const TNodi_List& List, int Number, bool Secondary) {
    for (const auto& n : List)
        if (Active_ID(*n) == Number && n->Node_ID_Type == (Secondary ? 1 : 0))
            return false;
    return true;
}
