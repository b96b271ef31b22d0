#include "image/SNMPTrap.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "image/ImageError.h"
#include "shell/Globals.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <optional>
#include <string>

namespace {

struct TConversion {
    const char16_t* Text;
    Byte Code;
};
constexpr TConversion Conversion_Table[] = {
    {u"FLOAT", 1},      {u"FLOAT * 10", 2},  {u"FLOAT * 100", 3}, {u"FLOAT / 10", 4}, {u"FLOAT / 100", 5},
    {u"FLOAT * 1000", 6}, {u"FLOAT / 1000", 7}, {u"INT * 1000", 8},  {u"INT * 100", 9},  {u"INT * 10", 10},
};

// Where the descriptor and the table addresses go, by model.
struct TTrapPlacement {
    int Model;
    Cardinal Read_Address, Write_Address;
    bool Main_Addresses;  // main +424/+428 hold them
    bool CPU2_Descriptor; // CPU2 +1436..+1448 hold counts and the second processor's addresses
    bool Reads_Write_Map;
    bool Reads_On_Command;
    bool Reads_Conversion;
};
// The section lands at these flash addresses when the bank files are written
// (0x68800 behind the main block at 0x68000; 0x62000 at the head of a first
// bank written there; 0x80000 for the second processor's table banks).
constexpr TTrapPlacement Placement_Table[] = {
    // model, read, write, main, cpu2, write map, On_Command, Conversion
    {15, 0x68800, 0x6B800, true, false, true, true, false},
    {16, 0x68800, 0x6B800, true, false, true, true, false},
    {17, 0x68800, 0x6B800, true, false, true, true, true},
    {18, 0x62000, 0x65000, true, true, true, true, true},
    {19, 0x62000, 0x65000, true, false, true, true, true},
    {20, 0x68800, 0x6B800, true, false, true, false, false},
    {21, 0x80000, 0x80000, false, false, false, false, true},
    {30, 0x62000, 0x65000, true, false, true, true, true},
    {32, 0x68800, 0x6B800, true, false, true, true, false},
    {33, 0x68A00, 0x6BA00, true, false, true, true, true},
    {34, 0x68800, 0x6B800, true, false, true, true, false},
    {35, 0x80000, 0x83000, false, true, true, false, true},
    {1018, 0x62000, 0x65000, true, true, true, true, true},
};
// Second-processor addresses of models 18 and 1018, which keep a copy there.
constexpr Cardinal CPU2_Read_Address = 0x80000, CPU2_Write_Address = 0x83000;

const TTrapPlacement& Placement(int model) {
    for (const TTrapPlacement& p : Placement_Table)
        if (p.Model == model) return p;
    // A model without an SNMP agent has no section; the main-block addresses
    // the converter expects by default.
    static const TTrapPlacement other{-1, 0x68800, 0x6B800, true, false, true, true, false};
    return other;
}

String File_Name(const String& path) {
    std::size_t slash = path.find_last_of(u"/\\");
    return slash == String::npos ? path : path.substr(slash + 1);
}

class TTrapReader {
public:
    TTrapReader(const TTrapPlacement& placement, const String& path) : p_(placement), file_(File_Name(path)) {}

    void Read_Map(TXmlNode map, bool readMap, std::array<TSNMP_Trap_Entry, SNMP_Trap_Table_Entries>& table,
                  Cardinal& count) {
        read_map_ = readMap;
        int rowNumber = 0;
        for (TXmlNode row : map.Children()) {
            ++rowNumber;
            if (UpperCase(row.AttributeOr(u"Enable", String())) != u"Y") continue;
            if (count >= static_cast<Cardinal>(SNMP_Trap_Table_Entries))
                Fail(Lang_Message(read_map_ ? 1154 : 1155, {Num(SNMP_Trap_Table_Entries)}));
            row_ = rowNumber;
            table[count] = Read_Row(row, readMap);
            ++count;
        }
    }

private:
    TSNMP_Trap_Entry Read_Row(TXmlNode row, bool readMap) {
        TSNMP_Trap_Entry e;
        Put_SNMP_Trap_Text(e.Community_Name, row.Attribute(u"Community_Name"));
        e.Flags = 0;
        if (Is(row, u"Type", u"INT")) e.Flags |= Trap_Flag_Int;
        if (readMap) {
            if (Is(row, u"On_Change", u"Y")) e.Flags |= Trap_Flag_On_Change;
            if (p_.Reads_On_Command && Is(row, u"On_Command", u"Y")) e.Flags |= Trap_Flag_On_Command;
            if (Is(row, u"On_Timer", u"Y")) e.Flags |= Trap_Flag_On_Timer;
            e.Time = static_cast<Cardinal>(Ranged(row, u"Time", 0, 0, 0xFFFFFFFF));
        }
        e.Position = static_cast<Word>(Ranged(row, u"Position", 0, 0, 0xFFFF));
        e.Bit = static_cast<Word>(Ranged(row, u"Bit", 0, 0, 0xFFFF));
        if (std::optional<String> numBits = row.Attribute(u"NumBits")) {
            Int64 bits = StrToInt64Def(*numBits, 1);
            if (!(e.Flags & Trap_Flag_Int) && bits >= 0 && bits <= 0xFFFF) bits *= 8;  // strings count bytes
            if (bits < 0 || bits > 0xFFFF) Out_Of_Range(u"NumBits", *numBits, Lang_Table[1158]);
            e.Num_Bits = static_cast<Word>(bits);
        }
        Put_SNMP_Trap_Text(e.Description, row.Attribute(u"Description"));
        if (readMap) {
            // A row without an address sends to 0.0.0.0, never to the previous row's.
            e.Trap_IP_Address = SNMP_Trap_Address(row.AttributeOr(u"IP_Address", String()));
        }
        if (p_.Reads_Conversion)
            e.Conversion = SNMP_Conversion_Code(UpperCase(Trim(row.AttributeOr(u"Conversion", String()))));
        return e;
    }

    static bool Is(TXmlNode row, const char16_t* attribute, const char16_t* upper) {
        std::optional<String> text = row.Attribute(attribute);
        return text && UpperCase(*text) == upper;
    }

    Int64 Ranged(TXmlNode row, const char16_t* attribute, Int64 missing, Int64 low, Int64 high) {
        std::optional<String> text = row.Attribute(attribute);
        if (!text) return missing;
        Int64 value = StrToInt64Def(*text, 0);  // a number too large for 32 bits is out of range, not "no number"
        if (value < low || value > high)
            Out_Of_Range(attribute, *text, Lang_Message(1159, {Num(low), Num(high)}));
        return value;
    }

    [[noreturn]] void Out_Of_Range(const char16_t* attribute, const String& text, const String& limit) {
        Fail(Lang_Message(read_map_ ? 1156 : 1157, {Num(row_), attribute, text, limit}));
    }

    [[noreturn]] void Fail(const String& what) {
        throw EImageError(Lang_Message(1114, {Lang_Message(1153, {file_, what})}));
    }

    static String Num(Int64 n) { return S(std::to_string(n)); }

    const TTrapPlacement& p_;
    String file_;
    bool read_map_ = true;
    int row_ = 0;
};

}  // namespace

void Put_SNMP_Trap_Entry(const TSNMP_Trap_Entry& e, std::size_t pos, TLeBytes dst) {
    dst.PutU16(pos + 0, e.Position);
    dst.PutU16(pos + 2, e.Bit);
    dst.PutU16(pos + 4, e.Num_Bits);
    dst.PutU8(pos + 6, e.Conversion);
    dst.PutU8(pos + 7, e.Flags);
    dst.PutU32(pos + 8, e.Time);
    dst.PutBytes(pos + 12, e.Community_Name.data(), e.Community_Name.size());
    dst.PutBytes(pos + 28, e.Description.data(), e.Description.size());
    dst.PutU32(pos + 44, e.Trap_IP_Address);
}

void Put_SNMP_Trap_Text(std::array<Byte, 16>& field, const std::optional<String>& text) {
    field.fill(0);
    if (!text) return;
    std::size_t n = std::min<std::size_t>(text->size(), field.size() - 1);
    for (std::size_t i = 0; i < n; ++i) field[i] = static_cast<Byte>((*text)[i]);
}

Cardinal SNMP_Trap_Address(const String& text) {
    Byte a = 0, b = 0, c = 0, d = 0;  // an empty text leaves them: never another entry's address
    IP_Str_To_Bytes(text, a, b, c, d);
    return (Cardinal(a) << 24) | (Cardinal(b) << 16) | (Cardinal(c) << 8) | d;
}

void Clear_SNMP_Trap_Tables(TSNMP_Trap_Tables& tables) { tables = TSNMP_Trap_Tables{}; }

Byte SNMP_Conversion_Code(const String& text) {
    for (const TConversion& c : Conversion_Table)
        if (text == c.Text) return c.Code;
    return 0;
}

void Read_SNMP_Trap(int model, const String& path, TSNMP_Trap_Tables& tables, TMain_Param_Block& main,
                    TCPU2_Param_Block* cpu2) {
    const TTrapPlacement& p = Placement(model);
    TLeBytes mb = main.Bytes();
    tables.Read_Count = tables.Write_Count = 0;
    tables.Read_Address = p.Read_Address;
    tables.Write_Address = p.Write_Address;

    if (!path.empty() && FileExists(path)) {
        TXmlDocument doc;
        try {
            doc.LoadFromFile(path);
        } catch (const Exception& e) {
            throw EImageError(Lang_Message(1114, {Lang_Message(1160, {File_Name(path), e.Message()})}));
        }
        TTrapReader reader(p, path);
        TXmlNode root = doc.DocumentElement();
        TXmlNode readMap = root.ChildNode(u"SNMP_Trap_Read");
        TXmlNode writeMap = root.ChildNode(u"SNMP_Trap_Write");
        String file = File_Name(path);
        auto missing = [&](const char16_t* element) {
            return EImageError(Lang_Message(1114, {Lang_Message(1115, {file, Lang_Message(1119, {element})})}));
        };
        if (!readMap) throw missing(u"SNMP_Trap_Read");
        if (p.Reads_Write_Map && !writeMap) throw missing(u"SNMP_Trap_Write");
        reader.Read_Map(readMap, true, tables.Read, tables.Read_Count);
        if (p.Reads_Write_Map) reader.Read_Map(writeMap, false, tables.Write, tables.Write_Count);
    }

    mb.PutU32(MB::Trap_Read_Count, tables.Read_Count);
    mb.PutU32(MB::Trap_Write_Count, tables.Write_Count);
    if (p.Main_Addresses) {
        mb.PutU32(MB::Trap_Read_Address, p.Read_Address);
        mb.PutU32(MB::Trap_Write_Address, p.Write_Address);
    }
    if (p.CPU2_Descriptor) {
        if (!cpu2) throw EImageError(Lang_Table[1161]);
        TLeBytes cb = cpu2->Bytes();
        cb.PutU32(C2_Trap_Read_Count, tables.Read_Count);
        cb.PutU32(C2_Trap_Write_Count, tables.Write_Count);
        cb.PutU32(C2_Trap_Read_Address, CPU2_Read_Address);
        cb.PutU32(C2_Trap_Write_Address, CPU2_Write_Address);
    }
}

std::size_t Save_SNMP_Trap_Tables(const TSNMP_Trap_Tables& tables, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, SNMP_Trap_Section_Size, 0);  // refuses before anything changes when dst has no room
    for (int i = 0; i < SNMP_Trap_Table_Entries; ++i) {
        Put_SNMP_Trap_Entry(tables.Read[i], pos + i * SNMP_Trap_Entry_Size, dst);
        Put_SNMP_Trap_Entry(tables.Write[i], pos + (SNMP_Trap_Table_Entries + i) * SNMP_Trap_Entry_Size, dst);
    }
    return pos + SNMP_Trap_Section_Size;
}
