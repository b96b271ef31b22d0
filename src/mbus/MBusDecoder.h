#pragma once
// The decoder of M-Bus application data: the fixed header of a wired RSP_UD
// long frame, the walk over the variable data records of a frame or of a
// wireless telegram, and the value and unit of each record. The scan thread
// owns one decoder; tests and benchmarks use it without a thread.
//
// The input comes from meters and radios: nothing is read outside the data
// area a caller names. A record that cannot be read whole ends the walk; it is
// kept, marked with errata and "Non analizabile", after the records before it.
// A value the meter marks as not valid (a time point with its invalid bit,
// BCD digits A to F) is marked with errata and "Valore non valido"; a marked
// record shows its error text as its value.

#include "mbus/MBusRecords.h"

#include <array>

enum TMBusType { mtWired = 0, mtWireless = 1 };

// The shortest long frame: header, checksum and stop byte around no data.
constexpr int MBus_Min_Long_Frame = 21;

class TMBusDecoder {
public:
    // Wired: idle fillers are skipped. Wireless: they are kept as records
    // that are not real, so that the tree can show them.
    TMBusType MBusType = mtWired;

    // The record being decoded, handed to Decode_VIF: its data bytes from
    // the first (the rest zero) and its VIFEs in the order received.
    std::array<Byte, 256> App_Data_Val{};
    std::array<Byte, 10> App_Vife_Val{};

    // Decodes one accepted RSP_UD long frame of Ans_Len bytes: the variable
    // data structure, or the fixed one (CI 0x73, or 0x77 with the most
    // significant byte first) with its two counters. Index -1: the
    // meter's first frame, which creates its TSlave_MBus at the end of
    // MBus_Slave_List; otherwise the position of the meter the frame adds
    // records to. Returns the meter's position; Last_Frame is false when the
    // frame announces more frames (DIF 0x1F). A frame too short to hold the
    // fixed header, or an Index that names no wired meter, creates nothing
    // and gives -1 with Last_Frame true.
    int Decode_RSP_UD(const Byte* Ans_Array, int Ans_Len, int Index, bool& Last_Frame);

    // Walks the data records Data[0..Last] (Last is the position of the last
    // data byte, not a length) and appends one record per data record to
    // List. False when a DIF 0x1F said that more records follow in a further
    // frame. Every record of one call gets the same date and time texts.
    bool Decode_Data_Records(TVar_List& List, int Last, const Byte* Data);

    // Fills type_data, Type_Data_Vife, Desc_Type_Data and ValueStr of Record
    // from App_Data_Val and App_Vife_Val.
    void Decode_VIF(Byte VIF, Byte First_VIFE, Byte Data_Field, Byte LVAR, int Length, TVariable_MBus& Record);

    // The first N bytes of App_Data_Val as BCD, least significant first.
    // Nibbles 0xA to 0xE count at their face value; a high nibble 0xF in the
    // last byte makes the number negative.
    Int64 BCD_To_Int64(int N) const;

private:
    // The two counters of a fixed data structure frame (CI 0x73 or 0x77),
    // as records; a counter the frame does not hold whole ends them, marked.
    void Decode_Fixed_Counters(TVar_List& List, const Byte* Frame, int Frame_Len, bool Msb_First);
    // Copies a record's data and VIFEs into the work areas, the rest zero.
    void Set_Work_Areas(const Byte* data, int length, const Byte* vifes, int numVife);

    int App_Data_Used_ = 0;  // bytes of App_Data_Val the last record filled
};

// The name of a medium (device type) byte; "Other" for codes no meter type has.
String Trova_Medium(int Medium);
// The three-letter maker code of a manufacturer field. The field is not
// masked to 15 bits: a value of 32768 or more starts with "?".
String Trova_Man(int Manufacturer);
// The letter of character code Code when it is 'A'..'Z', else "?".
String Man_Char(int Code);
// 10 to the power N; 0 for a negative N, and held at the 64-bit range.
Int64 Power10(int N);
// The decimal digits of Value, at least two.
String Two_Digits(int Value);
