#include "image/ImageMBus.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "image/ImageError.h"
#include "image/SNMPAgentSettings.h"
#include "shell/Globals.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <climits>
#include <string>

using USaveBincc::TNodo;
using USaveBincc::TTrap_Settings;
using USaveBincc::TVariabile;

namespace {

constexpr Byte Network_Mark = 0xC0;  // the byte in front of every network image
constexpr std::size_t Bank_Base = 2049, Bank2_Base = 1;
constexpr std::size_t Node_Entry_Size = 23;
constexpr std::size_t Variable_Entry_Size = 26;  // model 21 adds the post-operation byte
constexpr std::size_t Max_Nodes = 255;           // the stream counts them in one byte
constexpr int Max_Offset = 0xFFFF;               // offsets are 16-bit fields
constexpr std::size_t Max_VIF_Text = 255;        // its length is one byte

constexpr Byte Device_Kind_SNMP = 224, Device_Kind_Profinet = 192;
constexpr Word Profinet_Port = 34964;  // the converter's PROFINET side
constexpr Word Modbus_Port = 502;
constexpr int Max_Data_Size = 1439, SNMP_Data_Size = 1024;
constexpr Cardinal Process_Data_In = 4;
constexpr Cardinal Trap_Flash_Address = 0x80000;  // where "bank3.bin" lands in the second processor

constexpr std::array<int, 4> Stream_Address{192, 168, 0, 5};

// Meter_Baud index to bit/s (the editor's choices "300" to "38400"); others 2400.
constexpr Cardinal Meter_Speeds[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
constexpr Cardinal Meter_Default_Speed = 2400;

// The file's Dim to the data-field code of the M-Bus record; others 2.
constexpr Byte Data_Field_Codes[] = {1, 2, 4, 7, 3, 6, 5, 13};
// Process-image bytes of a value by Dim 0..6; Dim 7 takes Length, others 2.
constexpr int Value_Sizes[] = {1, 2, 4, 8, 3, 6, 4};
constexpr int Dim_Variable_Length = 7;

constexpr int Type_Time_Point = 20, Type_VIF_ASCII = 21;

// The fixed SNMP map places every value in a slot of its own size.
constexpr int Fixed_Node_State_Size = 3, Fixed_Ident_Size = 8, Fixed_Variable_Size = 20;
constexpr int Node_State_Size = 1, Ident_Size = 4;

String Num(Int64 n) { return S(std::to_string(n)); }

// The framework's number rule, telling "no number" apart from every value.
std::optional<Int64> Whole_Number64(const std::optional<String>& text) {
    if (!text) return std::nullopt;
    constexpr Int64 No_Number = INT64_MIN;
    Int64 value = StrToInt64Def(*text, No_Number);
    if (value == No_Number) return std::nullopt;
    return value;
}

std::optional<int> Whole_Number(const std::optional<String>& text) {
    std::optional<Int64> value = Whole_Number64(text);
    if (!value || *value < INT_MIN || *value > INT_MAX) return std::nullopt;
    return static_cast<int>(*value);
}

String File_Name(const String& path) {
    std::size_t slash = path.find_last_of(u"/\\");
    return slash == String::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void Refuse(const String& what) { throw EImageError(Lang_Message(1114, {what})); }

// A key of "ParGen.xml" without which the converter cannot poll its meters.
int Required_Key(const TParGenImage& pg, const char16_t* key) {
    std::optional<String> text = pg.Raw(key);
    if (!text) Refuse(Lang_Message(1142, {key}));
    std::optional<int> value = Whole_Number(text);
    if (!value) Refuse(Lang_Message(1143, {key, *text}));
    return *value;
}

class TMBus_Reader {
public:
    TMBus_Reader(TMBus_Project& project, String fileName) : p_(project), file_(std::move(fileName)) {}

    void Read(TXmlNode root) {
        int index = 0;
        for (TXmlNode element : root.Children()) {
            ++index;
            std::optional<String> enable = element.Attribute(u"Enable_Node");
            if (enable && Whole_Number(enable) != 1) continue;  // "2" leaves the node out too
            node_ = index;
            variable_ = 0;
            TNodo node = Read_Node(element);
            if (node.Vars.empty()) continue;  // a node enters the image with its first enabled variable
            if (p_.Nodes.size() >= Max_Nodes)
                Fail(Lang_Message(1122, {Num(Max_Nodes), Lang_Table[1145]}));
            p_.Nodes.push_back(std::move(node));
        }
    }

private:
    TNodo Read_Node(TXmlNode e) {
        TNodo n;
        n.File_Index = node_;
        n.ID_Type = Byte_Of(e, u"Node_ID_Type", 0);
        std::optional<int> id = Whole_Number(e.Attribute(u"ID"));
        if (!id) id = Number(e, n.ID_Type != 0 ? u"ID_Secondary" : u"ID_Primary", 1);
        n.ID = static_cast<Cardinal>(*id);
        n.SND_NKE = Byte_Of(e, u"Send_SND_NKE", 0);
        n.Reset_App = Byte_Of(e, u"Reset_App", 0);
        n.Node_State = Byte_Of(e, u"Node_State", 0);
        n.Ident_Num = Byte_Of(e, u"Ident_Num", 0);
        n.BCDtoINT_IN = Byte_Of(e, u"BCDtoINT_IN", 0);
        n.Swap_IN = Byte_Of(e, u"Swap_IN", 0);
        n.Var_Type = Byte_Of(e, u"Var_List_Type", 0);
        // The file holds the index of the "Cut after" choice; without one the converter reads every frame.
        std::optional<int> cut = Whole_Number(e.Attribute(u"Cut_After"));
        n.Cut_After = static_cast<Byte>(cut ? *cut + 1 : 250);
        n.NS_Trap = Trap_Settings(e, u"NS_");
        n.IN_Trap = Trap_Settings(e, u"IN_");
        for (TXmlNode v : e.Children()) {
            ++variable_;
            if (v.Attribute(u"Enable") != u"1") continue;
            n.Vars.push_back(Read_Variable(v));
        }
        return n;
    }

    TVariabile Read_Variable(TXmlNode e) {
        const bool fixedMap = p_.Model == 21 && p_.Map_Type == 0;
        TVariabile v;
        v.Type_Of_Data = static_cast<Byte>(Required(e, u"Type"));
        // The file counts 1 minimum and 2 maximum; the M-Bus function field the other way round.
        int function = Required(e, u"Fun_Field") & 0xFF;
        v.Function_Field = static_cast<Byte>(function == 1 ? 2 : function == 2 ? 1 : function);
        v.Dimension = Required(e, u"Dim");
        v.Unita = Byte_Of(e, u"Unit", 0);
        v.Scale = p_.Model != 21 && Is_One(e, u"Scale");
        v.Storage_Num = static_cast<Cardinal>(Whole_Number64(e.Attribute(u"StoNumber")).value_or(0));
        v.Tarif = static_cast<Cardinal>(Whole_Number64(e.Attribute(u"Tariff")).value_or(0));
        v.VIFE = Byte_Of(e, u"VIFE", 0);
        v.Post_Ope = Byte_Of(e, u"Post_Operation", 0);
        v.Length = v.Dimension == Dim_Variable_Length ? Byte_Of(e, u"Length", 0) : 0;
        v.Position = Byte_Of(e, u"Position", 1);
        if (v.Type_Of_Data == Type_VIF_ASCII) {
            v.VIF_ASCII = e.AttributeOr(u"VIF_ASCII", String());
            if (v.VIF_ASCII.size() > Max_VIF_Text)
                Fail_Variable(Lang_Message(1147, {Num(static_cast<Int64>(v.VIF_ASCII.size())), Num(Max_VIF_Text)}));
        }
        if (!fixedMap) {
            if (Is_One(e, u"BCDtoINT")) v.Options |= MBus_Option_BCDtoINT;
            if (Is_One(e, u"SWAP")) v.Options |= MBus_Option_SWAP;
            if (Is_One(e, u"TP_Mod_Regs")) v.Options |= MBus_Option_TP_Mod_Regs;
            if (Is_One(e, u"ForceInteger32")) v.Options |= MBus_Option_ForceInteger32;
        }
        if (p_.Model == 21 && p_.Map_Type == 1 && Is_One(e, u"Conv_Float")) v.Options |= MBus_Option_Conv_Float;
        v.Trap = Trap_Settings(e, u"Var_");
        return v;
    }

    // A value's settings of the fixed SNMP map: prefix "NS_", "IN_" or "Var_".
    static TTrap_Settings Trap_Settings(TXmlNode e, const String& prefix) {
        TTrap_Settings t;
        t.On_Timer = Is_One(e, (prefix + u"OnTimer").c_str());
        t.Timer = static_cast<Cardinal>(Number(e, (prefix + u"Timer").c_str(), 0));
        t.Community_Name = e.Attribute(prefix + u"Community_Name");
        t.Description = e.Attribute(prefix + u"Desc");
        t.IP_Address = e.AttributeOr(prefix + u"IP_Add", String());
        return t;
    }

    static bool Is_One(TXmlNode e, const char16_t* attribute) { return e.Attribute(attribute) == u"1"; }
    static int Number(TXmlNode e, const char16_t* attribute, int defaultValue) {
        return Whole_Number(e.Attribute(attribute)).value_or(defaultValue);
    }
    static Byte Byte_Of(TXmlNode e, const char16_t* attribute, int defaultValue) {
        return static_cast<Byte>(Number(e, attribute, defaultValue));
    }

    int Required(TXmlNode e, const char16_t* attribute) {
        std::optional<String> text = e.Attribute(attribute);
        if (!text) Fail_Variable(Lang_Message(1120, {attribute}));
        std::optional<int> value = Whole_Number(text);
        if (!value) Fail_Variable(Lang_Message(1148, {attribute, *text}));
        return *value;
    }

    [[noreturn]] void Fail_Variable(const String& what) {
        Refuse(Lang_Message(1146, {file_, Num(variable_), Num(node_), what}));
    }
    [[noreturn]] void Fail(const String& what) { Refuse(Lang_Message(1115, {file_, what})); }

    TMBus_Project& p_;
    String file_;
    int node_ = 0, variable_ = 0;
};

int Value_Size(const TVariabile& v, bool fixedMap) {
    if (fixedMap) return Fixed_Variable_Size;
    if (v.Type_Of_Data == Type_Time_Point && (v.Options & MBus_Option_TP_Mod_Regs)) return 6;
    if (v.Options & (MBus_Option_ForceInteger32 | MBus_Option_Conv_Float)) return 4;
    if (v.Dimension >= 0 && v.Dimension < static_cast<int>(std::size(Value_Sizes))) return Value_Sizes[v.Dimension];
    if (v.Dimension == Dim_Variable_Length) return v.Length;
    return 2;
}

// Gives every value its place in the converter's process image, in node order.
void Place_Values(TMBus_Project& p, const String& fileName) {
    const bool fixedMap = p.Model == 21 && p.Map_Type == 0;
    int offset = 0;
    auto check = [&](int value, const TNodo& node, int variable) {
        if (value <= Max_Offset) return;
        if (variable)
            Refuse(Lang_Message(1150, {fileName, Num(variable), Num(node.File_Index), Num(value), Num(Max_Offset)}));
        Refuse(Lang_Message(1149, {fileName, Num(node.File_Index), Num(value), Num(Max_Offset)}));
    };
    for (TNodo& node : p.Nodes) {
        if (p.Working_Mode == 1) offset = 4;  // "Single Slave Mode": every meter's values start at 4
        node.Add.Add_NS = offset;
        check(offset, node, 0);
        if (node.Node_State == 1) offset += fixedMap ? Fixed_Node_State_Size : Node_State_Size;
        node.Add.Add_IN = offset;
        check(offset, node, 0);
        if (node.Ident_Num == 1) offset += fixedMap ? Fixed_Ident_Size : Ident_Size;
        node.Add.Add_Start_Var = offset;
        int index = 0;
        for (TVariabile& v : node.Vars) {
            ++index;
            v.Add = offset;
            offset += Value_Size(v, fixedMap);
            v.Add_End = offset;
            check(v.Add_End, node, index);
            if (v.Scale) ++offset;
        }
    }
}

std::vector<Byte> Parameter_Stream(const TMBus_Project& p, const TParGenImage& pg, int dataSize) {
    std::vector<Byte> s;
    auto u8 = [&](Cardinal v) { s.push_back(static_cast<Byte>(v)); };
    auto u16 = [&](Cardinal v) { u8(v); u8(v >> 8); };
    auto u32 = [&](Cardinal v) { u16(v); u16(v >> 16); };
    for (Byte b : pg.Octets(u"PROFINET_IP", Stream_Address)) u8(b);
    for (Byte b : pg.Octets(u"PROFINET_SM", Default_Subnet_Mask)) u8(b);
    for (Byte b : pg.Octets(u"PROFINET_GAT", Default_Gateway)) u8(b);  // as read: the blocks alone replace it
    u8(static_cast<Cardinal>(pg.Number(u"PROFINET_EN_GAT", 0)));
    u16(Profinet_Port);
    u16(static_cast<Cardinal>(dataSize));
    u8(static_cast<Cardinal>(Required_Key(pg, u"Meter_Baud")));
    u8(static_cast<Cardinal>(Required_Key(pg, u"Meter_Par")));
    u32(static_cast<Cardinal>(Required_Key(pg, u"Meter_Req_Delay")));
    u8(static_cast<Cardinal>(p.Nodes.size()));
    u8(static_cast<Cardinal>(p.Working_Mode));
    u8(static_cast<Cardinal>(pg.Number(u"Meter_NS_Error_Code", 0)));
    return s;
}

int Data_Size(int model, const TParGenImage& pg) {
    if (model == 21) return SNMP_Data_Size;
    int size = pg.Number(u"PROFINET_NB_OUT", Max_Data_Size) & 0xFFFF;
    return size == 0 ? 1 : std::min(size, Max_Data_Size);
}

std::size_t Variable_Entry(int model) { return Variable_Entry_Size + (model == 21 ? 1 : 0); }

template <class TBlock>
std::size_t Save_Block(const TBlock& block, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, Param_Block_Size, 0);
    dst.PutBytes(pos, block.Data(), TBlock::Member_Size);
    dst.PutU32(pos + Block_Checksum_Offset, Byte_Sum(block.Data(), TBlock::Member_Size));
    return pos + Param_Block_Size;
}

}  // namespace

void Init_MBus_Bank_Head(TMBus_Head_Block& block, int model) {
    static const Byte defaultAddress[] = {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255};
    const Byte kind = model == 21 ? Device_Kind_SNMP : Device_Kind_Profinet;
    TLeBytes b = block.Bytes();
    b.Fill(0, b.Size(), 0);
    b.PutU32(MH_Bus_Baud_Rate, 125000);
    b.PutU32(MH_Meter_Baud_Rate, 9600);
    b.PutU16(MH_Data_Bits, 8);
    b.PutBytes(MH_IP_Address, defaultAddress, sizeof defaultAddress);
    b.PutU16(MH_Application_Port, 10000);
    b.PutU16(MH_Aux_Port_1, 10001);
    b.PutU16(MH_Aux_Port_2, 10001);
    b.PutU16(MH_Function_Flags, kind);
    b.PutU32(MH_Meter_Baud_Rate_2, 2400);
    b.PutU16(MH_Data_Bits_2, 8);
    b.PutU16(MH_Meter_Parity_2, 2);
    b.PutU8(MH_Device_Variant, kind);
}

void Init_MBus_Bank1_Block(TMBus_Bank1_Block& block, int model) {
    static const Byte defaultAddress[] = {192, 168, 0, 5, 255, 255, 255, 0, 255, 255, 255, 255};
    static const Byte secondAddress[] = {192, 168, 0, 10};
    TLeBytes b = block.Bytes();
    b.Fill(0, b.Size(), 0);
    b.PutU32(M1_Bus_Baud_Rate, 250000);
    b.PutU32(M1_Bus_Baud_Rate_2, 250000);
    b.PutU32(M1_Serial_Baud_Rate, 9600);
    b.PutBytes(M1_IP_Address, defaultAddress, sizeof defaultAddress);
    b.PutU16(M1_Application_Port, 10000);
    b.PutU8(M1_Device_Variant, model == 21 ? Device_Kind_SNMP : Device_Kind_Profinet);
    b.PutU32(M1_Serial2_Baud_Rate, 9600);
    b.PutBytes(M1_Second_Address, secondAddress, sizeof secondAddress);
    // Stop bits and data bits of the converter's serial ports.
    b.PutU8(M1_Port_Settings + 6, 1);
    b.PutU8(M1_Port_Settings + 9, 1);
    b.PutU8(M1_Port_Settings + 12, 8);
    b.PutU8(M1_Port_Settings + 15, 8);
    b.PutU8(M1_Fixed_570, 191);
    b.PutU8(M1_Fixed_590, 1);
    b.PutU32(M1_Fixed_596, 0x68800);
    b.PutU32(M1_Fixed_600, 120000);
}

std::size_t Save_MBus_Bank_Head(const TMBus_Head_Block& block, std::size_t pos, TLeBytes dst) {
    return Save_Block(block, pos, dst);
}

std::size_t Save_MBus_Bank1_Block(const TMBus_Bank1_Block& block, std::size_t pos, TLeBytes dst) {
    return Save_Block(block, pos, dst);
}

TMBus_Project Read_MBus_Project(int model, const TParGenImage* pg, const String& mbusPath) {
    TMBus_Project p;
    p.Model = model;
    if (pg) {
        p.Map_Type = SNMP_Map_Type_Code(pg->Raw(u"SNMP_MAP").value_or(String()));
        p.Working_Mode = model == 21 ? 0 : pg->Number(u"Working_mode", 0);
        // Refused before the network is read: without them the converter cannot poll.
        for (const char16_t* key : {u"Meter_Baud", u"Meter_Par", u"Meter_Req_Delay"}) Required_Key(*pg, key);
    }
    if (!mbusPath.empty() && FileExists(mbusPath)) {
        String fileName = File_Name(mbusPath);
        TXmlDocument doc;
        try {
            doc.LoadFromFile(mbusPath);
        } catch (const Exception& e) {
            Refuse(Lang_Message(1117, {fileName, e.Message()}));
        }
        if (!doc.DocumentElement()) Refuse(Lang_Message(1115, {fileName, Lang_Table[1118]}));
        TMBus_Reader(p, fileName).Read(doc.DocumentElement());
        Place_Values(p, fileName);
    }
    if (pg) p.Stream = Parameter_Stream(p, *pg, Data_Size(model, *pg));
    return p;
}

void Fill_MBus_Blocks(const TMBus_Project& project, const TParGenImage* pg, TMBus_Head_Block& head,
                      TMBus_Bank1_Block& bank1) {
    TLeBytes h = head.Bytes(), b1 = bank1.Bytes();
    b1.PutU8(M1_Map_Type, static_cast<Cardinal>(project.Map_Type));
    if (!pg) return;

    // The M-Bus converter takes PROFINET_EN_GAT as a number: only 0 drops the gateway.
    TAddressSet set{pg->Octets(u"PROFINET_IP", Stream_Address), pg->Octets(u"PROFINET_SM", Default_Subnet_Mask),
                    pg->Octets(u"PROFINET_GAT", Default_Gateway)};
    if (pg->Number(u"PROFINET_EN_GAT", 0) == 0) set.Gateway = {255, 255, 255, 255};
    Put_Address_Set(h, MH_IP_Address, MH_Subnet_Mask, MH_Gateway, set);
    Put_Address_Set(b1, M1_IP_Address, M1_Subnet_Mask, M1_Gateway, set);
    h.PutU16(MH_Aux_Port_1, Profinet_Port);
    h.PutU16(MH_Aux_Port_2, Profinet_Port);
    b1.PutU16(M1_Aux_Port_1, Modbus_Port);
    b1.PutU16(M1_Aux_Port_2, Modbus_Port);
    const Cardinal dataSize = static_cast<Cardinal>(Data_Size(project.Model, *pg));
    h.PutU32(MH_NB_In, Process_Data_In);
    h.PutU32(MH_NB_Out, dataSize);
    b1.PutU32(M1_NB_In, Process_Data_In);
    b1.PutU32(M1_NB_Out, dataSize);
    Put_Station_Name(*pg, h, MH_Station_Name);
    Put_Station_Name(*pg, b1, M1_Station_Name);

    if (project.Model == 21) {
        int auxDim = pg->Number(u"SNMP_AUX_INT_DIM", 0);
        h.PutU32(MH_Aux_Int_Size, auxDim == 1 ? 4 : auxDim == 2 ? 8 : 2);
        Read_SNMP_Agent_Settings(*pg, b1, {M1_SNMP_Flags, M1_V3_User, M1_V3_Auth_Password, M1_V3_Priv_Password});
        constexpr std::size_t Text_Field = 16;  // contact and location fill their field
        pg->Put_Text(u"SNMP_Contact", b1, M1_Contact_Text, Text_Field, Text_Field);
        pg->Put_Text(u"SNMP_Location", b1, M1_Location_Text, Text_Field, Text_Field);
    }

    int baud = Required_Key(*pg, u"Meter_Baud");
    Cardinal speed = baud >= 0 && baud < static_cast<int>(std::size(Meter_Speeds)) ? Meter_Speeds[baud] : Meter_Default_Speed;
    h.PutU32(MH_Meter_Baud_Rate, speed);
    h.PutU32(MH_Meter_Baud_Rate_2, speed);
    b1.PutU32(M1_Meter_Baud_Rate, speed);
    // The editor's parity index 0 none, 1 even, 2 odd; the converter counts 0, 2, 3.
    int parity = Required_Key(*pg, u"Meter_Par");
    Cardinal code = static_cast<Cardinal>(parity == 0 ? 0 : parity + 1);
    h.PutU16(MH_Meter_Parity, code);
    h.PutU16(MH_Meter_Parity_2, code);
    b1.PutU8(M1_Meter_Parity, code);
}

std::size_t MBus_Network_Size(const TMBus_Project& project) {
    std::size_t size = 8 + Node_Entry_Size * project.Nodes.size() + project.Stream.size();
    for (const TNodo& node : project.Nodes)
        for (const TVariabile& v : node.Vars) size += Variable_Entry(project.Model) + v.VIF_ASCII.size();
    return size;
}

std::size_t Lay_MBus_Network(const TMBus_Project& project, std::size_t base, TLeBytes dst) {
    const std::size_t variableSize = Variable_Entry(project.Model);
    std::size_t variables = 0;
    for (const TNodo& node : project.Nodes) variables += node.Vars.size();
    const std::size_t nodesAt = base + 8;
    std::size_t variableAt = nodesAt + Node_Entry_Size * project.Nodes.size();
    std::size_t textAt = variableAt + variableSize * variables;

    dst.PutU32(base, static_cast<Cardinal>(nodesAt));
    std::size_t e = nodesAt;
    for (const TNodo& node : project.Nodes) {
        dst.PutU8(e + 0, node.ID_Type);
        for (int i = 0; i < 4; ++i) dst.PutU8(e + 1 + i, node.ID >> (24 - 8 * i));  // the meter's address, high byte first
        dst.PutU16(e + 5, static_cast<Cardinal>(node.Vars.size()));
        dst.PutU32(e + 7, static_cast<Cardinal>(variableAt));
        dst.PutU8(e + 11, node.SND_NKE);
        dst.PutU8(e + 12, node.Reset_App);
        dst.PutU8(e + 13, node.Node_State);
        dst.PutU16(e + 14, static_cast<Cardinal>(node.Add.Add_NS));
        dst.PutU8(e + 16, node.Ident_Num);
        dst.PutU16(e + 17, static_cast<Cardinal>(node.Add.Add_IN));
        dst.PutU8(e + 19, node.BCDtoINT_IN);
        dst.PutU8(e + 20, node.Swap_IN);
        dst.PutU8(e + 21, node.Var_Type);
        dst.PutU8(e + 22, node.Cut_After);
        e += Node_Entry_Size;

        for (const TVariabile& v : node.Vars) {
            const std::size_t a = variableAt;
            const bool known = v.Dimension >= 0 && v.Dimension < static_cast<int>(std::size(Data_Field_Codes));
            dst.PutU8(a + 0, v.Type_Of_Data);
            dst.PutU8(a + 1, v.Function_Field);
            dst.PutU8(a + 2, known ? Data_Field_Codes[v.Dimension] : 2);
            dst.PutU16(a + 3, static_cast<Cardinal>(v.Add));
            dst.PutU8(a + 5, v.Scale ? 1 : 0);
            dst.PutU16(a + 6, static_cast<Cardinal>(v.Add_End));
            dst.PutU8(a + 8, v.Unita);
            dst.PutU32(a + 9, v.Storage_Num);
            dst.PutU32(a + 13, v.Tarif);
            dst.PutU8(a + 17, v.VIFE);
            dst.PutU8(a + 18, v.Options);
            dst.PutU8(a + 19, v.Length);
            dst.PutU8(a + 20, static_cast<Cardinal>(v.VIF_ASCII.size()));
            dst.PutU32(a + 21, static_cast<Cardinal>(textAt));
            dst.PutU8(a + 25, v.Position);
            if (project.Model == 21) dst.PutU8(a + 26, v.Post_Ope);
            variableAt += variableSize;
            // The converter reads a VIF text from its last character.
            for (std::size_t i = v.VIF_ASCII.size(); i-- > 0;) dst.PutU8(textAt++, v.VIF_ASCII[i]);
        }
    }
    dst.PutU32(base + 4, static_cast<Cardinal>(textAt));
    if (!project.Stream.empty()) dst.PutBytes(textAt, project.Stream.data(), project.Stream.size());
    return textAt + project.Stream.size();
}

std::vector<TSNMP_Trap_Entry> Build_MBus_Trap_Table(const TMBus_Project& project) {
    std::vector<TSNMP_Trap_Entry> table;
    auto add = [&](int position, Word bits, const TTrap_Settings& t) {
        if (table.size() >= MBus_Trap_Table_Entries)
            Refuse(Lang_Message(1151, {Num(MBus_Trap_Table_Entries)}));
        TSNMP_Trap_Entry e;
        e.Position = static_cast<Word>(position);
        e.Num_Bits = bits;
        e.Flags = t.On_Timer ? Trap_Flag_On_Timer : 0;
        e.Time = t.Timer;
        // A value without SNMP attributes (a meter added from a scan) gets empty texts and 0.0.0.0.
        Put_SNMP_Trap_Text(e.Community_Name, t.Community_Name);
        Put_SNMP_Trap_Text(e.Description, t.Description);
        e.Trap_IP_Address = SNMP_Trap_Address(t.IP_Address);
        table.push_back(e);
    };
    for (const TNodo& node : project.Nodes) {
        if (node.Node_State == 1) add(node.Add.Add_NS, 8 * Fixed_Node_State_Size, node.NS_Trap);
        if (node.Ident_Num == 1) add(node.Add.Add_IN, 8 * Fixed_Ident_Size, node.IN_Trap);
        for (const TVariabile& v : node.Vars) add(v.Add, 8 * Fixed_Variable_Size, v.Trap);
    }
    return table;
}

std::size_t Save_MBus_Trap_Table(const std::vector<TSNMP_Trap_Entry>& table, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, table.size() * SNMP_Trap_Entry_Size, 0);  // refuses before anything changes when dst has no room
    for (const TSNMP_Trap_Entry& e : table) {
        Put_SNMP_Trap_Entry(e, pos, dst);
        pos += SNMP_Trap_Entry_Size;
    }
    return pos;
}

void Build_Image_MBus(TDeviceImage& image, const TImageSources& sources) {
    const int model = image.Model_Code;
    TMBus_Head_Block head;
    TMBus_Bank1_Block bank1;
    Init_MBus_Bank_Head(head, model);
    Init_MBus_Bank1_Block(bank1, model);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    const TParGenImage* parGen = pg ? &*pg : nullptr;
    TMBus_Project project = Read_MBus_Project(model, parGen, sources.Path_M_Bus);

    const std::size_t size = MBus_Network_Size(project);
    const std::size_t capacity = std::min(image.MBus_Image_Bank.Capacity() - Bank_Base,
                                          image.MBus_Image_Bank2.Capacity() - Bank2_Base);
    if (size > capacity)
        Refuse(Lang_Message(1152, {Num(static_cast<Int64>(size)), Num(static_cast<Int64>(capacity))}));
    Fill_MBus_Blocks(project, parGen, head, bank1);

    std::vector<TSNMP_Trap_Entry> traps;
    const bool variableMap = project.Map_Type == 1;
    if (model == 21) {
        TLeBytes b1 = bank1.Bytes();
        if (variableMap) {
            // The reader puts its descriptor into a main block, which these models do not have.
            TMain_Param_Block scratch;
            Clear_SNMP_Trap_Tables(image.SNMP_Trap);
            Read_SNMP_Trap(model, sources.Path_SNMP_Trap, image.SNMP_Trap, scratch, nullptr);
            b1.PutU32(M1_Trap_Read_Count, image.SNMP_Trap.Read_Count);
            b1.PutU32(M1_Trap_Write_Count, image.SNMP_Trap.Write_Count);
            b1.PutU32(M1_Trap_Read_Address, image.SNMP_Trap.Read_Address);
            b1.PutU32(M1_Trap_Write_Address, image.SNMP_Trap.Write_Address);
        } else {
            traps = Build_MBus_Trap_Table(project);
            b1.PutU32(M1_Trap_Read_Count, static_cast<Cardinal>(traps.size()));
            b1.PutU32(M1_Trap_Write_Count, 0);
            b1.PutU32(M1_Trap_Read_Address, Trap_Flash_Address);
            b1.PutU32(M1_Trap_Write_Address, Trap_Flash_Address);
        }
    }

    image.MBus_Image_Bank1.Len = Save_MBus_Bank1_Block(bank1, 0, image.MBus_Image_Bank1.Bytes());
    TLeBytes bank2 = image.MBus_Image_Bank2.Bytes();
    bank2.PutU8(0, Network_Mark);
    image.MBus_Image_Bank2.Len = Lay_MBus_Network(project, Bank2_Base, bank2);
    TLeBytes bank = image.MBus_Image_Bank.Bytes();
    Save_MBus_Bank_Head(head, 0, bank);
    bank.PutU8(Bank_Base - 1, Network_Mark);
    image.MBus_Image_Bank.Len = Lay_MBus_Network(project, Bank_Base, bank);

    image.MBus_Image_Bank3.Len = 0;
    if (model == 21) {
        TLeBytes bank3 = image.MBus_Image_Bank3.Bytes();
        image.MBus_Image_Bank3.Len =
            variableMap ? Save_SNMP_Trap_Tables(image.SNMP_Trap, 0, bank3) : Save_MBus_Trap_Table(traps, 0, bank3);
    }
}
