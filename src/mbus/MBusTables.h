#pragma once
// The code tables of M-Bus data records, as data: data fields and variable
// lengths, function fields, media, the primary VIF ranges, the two extension
// tables that VIF 0xFD and 0xFB select, the VIFE table and the phase texts
// after VIFE 0x7C. The record walk and Decode_VIF read them.

#include "framework/System.h"

#include <array>
#include <span>
#include <string_view>

using TText = std::u16string_view;

// Coding of the data by the low four bits of the DIF.
struct TMBus_Data_Field {
    int Length;           // data bytes; for 0xD the LVAR byte gives them
    TText DataFieldStr;
    TText descdim;
    bool BCD;
};
extern const std::array<TMBus_Data_Field, 16> MBus_Data_Fields;
constexpr Byte MBus_Variable_Length = 0xD;

// Variable length (data field 0xD), by the LVAR byte, as the current edition
// of the application layer codes it. The length in bytes is Fixed, or
// (LVAR - Base) * Step; the texts carry a number between their two halves:
// DataFieldStr the length times Field_Factor (BCD digits count two per byte),
// descdim the length itself. A reserved range has no number and no length.
enum class TMBus_LVAR_Kind : Byte { Text, BCD_Positive, BCD_Negative, Binary, Reserved };
struct TMBus_LVAR_Range {
    Byte First, Last, Base;
    int Step;
    int Fixed;  // 0: by Base and Step
    int Field_Factor;
    TText Field_Head, Field_Tail;
    TText Dim_Head, Dim_Tail;
    TMBus_LVAR_Kind Kind;

    bool Reserved() const { return Kind == TMBus_LVAR_Kind::Reserved; }
    int Length(Byte LVAR) const { return Fixed ? Fixed : (LVAR - Base) * Step; }
};
extern const std::array<TMBus_LVAR_Range, 10> MBus_LVAR_Ranges;
const TMBus_LVAR_Range& Find_LVAR_Range(Byte LVAR);

// FunctionFieldStr by the function field (DIF bits 4 and 5).
extern const std::array<TText, 4> MBus_Function_Fields;

struct TMBus_Medium {
    Byte Code;
    TText Name;
};
extern const std::array<TMBus_Medium, 19> MBus_Media;
extern const TText MBus_Other_Medium;

// The medium of a fixed data structure: four bits, two from the top of each
// of its medium and unit bytes; numbered as the variable structure's media
// up to 8.
extern const std::array<TText, 16> MBus_Fixed_Media;

// The unit of a counter of a fixed data structure (six bits), as the primary
// type code and description of the VIF that means the same quantity; a
// scaled unit's value is brought to that description's unit by
// 10^(Exponent + code - First).
struct TMBus_Fixed_Unit {
    Byte First, Last;
    int Code;  // -1: none
    TText Description;
    bool Scaled;
    signed char Exponent;

    int Exponent_Of(Byte code) const { return Scaled ? Exponent + (code - First) : 0; }
};
extern const std::span<const TMBus_Fixed_Unit> MBus_Fixed_Units;
// Counter 2's unit code for "as counter 1, a value stored at a fixed date".
constexpr Byte MBus_Fixed_Unit_Historic = 0x3E;
// The row holding code; the table covers every six-bit code.
const TMBus_Fixed_Unit& Find_Fixed_Unit(Byte code);

// A power of ten that a code applies to the value: 10^((code & Mask) + Offset).
struct TMBus_Scale {
    bool Scaled;
    Byte Mask;
    signed char Offset;
};
constexpr TMBus_Scale No_Scale{false, 0, 0};
constexpr TMBus_Scale Pow10_Of(Byte mask, int offset) { return {true, mask, static_cast<signed char>(offset)}; }

// What a code does beyond its text, code and scale.
enum class TMBus_Code_Kind : Byte {
    Plain,
    Time_Point,  // primary 0x6C, 0x6D: text and value by the data field
    Plain_Text,  // primary 0x7C: the value is the data as characters
    Date,        // VIFE: the value text becomes the date (types G and F)
    Phase,       // VIFE 0x7C: the next VIFE selects a phase text
};

constexpr int MBus_Max_Texts = 17;

// A range First..Last of codes (VIF and 0x7F, an extension code, or VIFE and
// 0x7F) sharing a result code, or numbering them from Code on when Stepped.
// One text serves the whole range; several are taken in order, First's first.
struct TMBus_Code_Range {
    Byte First, Last;
    int Code;  // -1: none
    std::array<TText, MBus_Max_Texts> Texts;
    TMBus_Scale Scale = No_Scale;
    TMBus_Code_Kind Kind = TMBus_Code_Kind::Plain;
    bool Stepped = false;

    TText Text_Of(Byte code) const { return Texts[1].empty() ? Texts[0] : Texts[code - First]; }
    int Code_Of(Byte code) const { return Stepped ? Code + (code - First) : Code; }
};

extern const std::span<const TMBus_Code_Range> MBus_Primary_VIFs;
extern const std::span<const TMBus_Code_Range> MBus_FD_Extensions;
extern const std::span<const TMBus_Code_Range> MBus_FB_Extensions;
extern const std::span<const TMBus_Code_Range> MBus_VIFEs;
// The row of table holding code, or nullptr when none does.
const TMBus_Code_Range* Find_Code_Range(std::span<const TMBus_Code_Range> table, Byte code);
// An extension code that no row lists.
extern const TText MBus_Reserved_Extension;

// Text that VIFE 0x7C's following VIFE (and 0x7F) selects; others add none.
struct TMBus_Phase {
    Byte Code;
    TText Text;
};
extern const std::array<TMBus_Phase, 8> MBus_Phases;

// Weekday texts of a type I time point, Monday first.
extern const std::array<TText, 7> MBus_Weekdays;
