#pragma once
// The SNMP trap section: the read map (values the manager may read, each with
// its trap rules) and the write map of "SNMP_Trap.xml", laid into the image as
// 256 read entries and 256 write entries of 48 bytes (always 0x6000 bytes),
// with a descriptor of counts and flash addresses in a parameter block.

#include "image/CPU2ParamBlock.h"
#include "image/LeWriter.h"
#include "image/MainParamBlock.h"

#include <array>
#include <cstddef>
#include <optional>

constexpr int SNMP_Trap_Table_Entries = 256;  // per map: what the converter holds
constexpr std::size_t SNMP_Trap_Entry_Size = 48;
constexpr std::size_t SNMP_Trap_Section_Size = 0x6000;

// SNMP_Trap_Entry.Flags bits.
enum : Byte {
    Trap_Flag_On_Change = 0x01,
    Trap_Flag_On_Command = 0x02,
    Trap_Flag_On_Timer = 0x04,
    Trap_Flag_Int = 0x08,
};

struct TSNMP_Trap_Entry {
    Word Position = 0;
    Word Bit = 0;
    Word Num_Bits = 0;
    Byte Conversion = 0;
    Byte Flags = 0;
    Cardinal Time = 0;                        // ms; read entries only
    std::array<Byte, 16> Community_Name{};   // one byte per character, zero-filled
    std::array<Byte, 16> Description{};
    Cardinal Trap_IP_Address = 0;             // a.b.c.d as a*2^24 + b*2^16 + c*2^8 + d
};

struct TSNMP_Trap_Tables {
    std::array<TSNMP_Trap_Entry, SNMP_Trap_Table_Entries> Read{};
    std::array<TSNMP_Trap_Entry, SNMP_Trap_Table_Entries> Write{};
    // The descriptor: entry counts and the flash addresses of the two tables.
    Cardinal Read_Count = 0, Write_Count = 0;
    Cardinal Read_Address = 0, Write_Address = 0;
};

// Every entry and the descriptor to zero.
void Clear_SNMP_Trap_Tables(TSNMP_Trap_Tables& tables);

// The conversion code of a trimmed, upper-cased "Conversion" text: "FLOAT" 1,
// "FLOAT * 10" 2, "FLOAT * 100" 3, "FLOAT / 10" 4, "FLOAT / 100" 5,
// "FLOAT * 1000" 6, "FLOAT / 1000" 7, "INT * 1000" 8, "INT * 100" 9,
// "INT * 10" 10, anything else 0.
Byte SNMP_Conversion_Code(const String& text);

// Fills the tables from the file at path for the model and sets the
// descriptor: the counts in main +416/+420; the table addresses in main
// +424/+428 (not for models 21 and 35); for models 18, 35 and 1018 the counts
// and the second processor's addresses in CPU2 +1436..+1448 (cpu2 must then
// be given). No file: no entries, the addresses all the same.
//
// Raises EImageError, naming the file, the map and the limit, when the file
// cannot be read or is malformed, lacks "SNMP_Trap_Read" (or
// "SNMP_Trap_Write", except for model 21, which has no write map), holds more
// enabled rows in a map than the 256 the converter holds, or gives a value
// outside its field (Position, Bit and the size in bits 0..65535, Time
// 0..4294967295, a number too large for 32 bits included). The tables are
// then unusable and the build must stop.
void Read_SNMP_Trap(int model, const String& path, TSNMP_Trap_Tables& tables, TMain_Param_Block& main,
                    TCPU2_Param_Block* cpu2);

// One entry's 48 bytes at dst[pos].
void Put_SNMP_Trap_Entry(const TSNMP_Trap_Entry& entry, std::size_t pos, TLeBytes dst);
// A text into a 16-byte entry field: its first 15 characters, the rest zero
// (the converter reads the field up to a zero byte); none leaves it empty.
void Put_SNMP_Trap_Text(std::array<Byte, 16>& field, const std::optional<String>& text);
// A dotted address as the entry stores it, a*2^24 + b*2^16 + c*2^8 + d; an
// empty text or a part that is no octet gives 0 for that part.
Cardinal SNMP_Trap_Address(const String& text);

// Writes the 256 read entries, then the 256 write entries, at dst[pos] and
// returns pos + 0x6000, whatever the counts.
std::size_t Save_SNMP_Trap_Tables(const TSNMP_Trap_Tables& tables, std::size_t pos, TLeBytes dst);
