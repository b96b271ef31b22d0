#include "mbus/MBusTables.h"

namespace {
constexpr auto Time_Point = TMBus_Code_Kind::Time_Point;
constexpr auto Plain_Text = TMBus_Code_Kind::Plain_Text;
constexpr auto Date = TMBus_Code_Kind::Date;
constexpr auto Phase = TMBus_Code_Kind::Phase;
constexpr auto Plain = TMBus_Code_Kind::Plain;
constexpr bool Stepped = true;
}  // namespace

const std::array<TMBus_Data_Field, 16> MBus_Data_Fields{{
    {0, u"", u"No data", false},
    {1, u"8 Bit Integer", u"8 Bit Integer", false},
    {2, u"16 Bit Integer", u"16 Bit Integer", false},
    {3, u"24 Bit Integer", u"24 Bit Integer", false},
    {4, u"32 Bit Integer", u"32 Bit Integer", false},
    {4, u"32 Bit Real", u"32 Bit real", false},
    {6, u"48 Bit Integer", u"48 Bit Integer", false},
    {8, u"64 Bit Integer", u"64 Bit Integer", false},
    {0, u"", u"Selection for Readout", false},
    {1, u"2 Digit BCD", u"2 digit BCD", true},
    {2, u"4 Digit BCD", u"4 digit BCD", true},
    {3, u"6 Digit BCD", u"6 digit BCD", true},
    {4, u"8 Digit BCD", u"8 digit BCD", true},
    {0, u"", u"", false},  // variable length: MBus_LVAR_Ranges
    {6, u"12 Digit BCD", u"12 digit BCD", true},
    {0, u"Special Function", u"", false},
}};

namespace {
constexpr TText Text_Head = u"Variable Length - ASCII String with ", Text_Tail = u"characters";
constexpr TText Text_Dim_Head = u"Variable length: ASCII string with ", Text_Dim_Tail = u" characters";
constexpr TText Plus_Head = u"Variable Length - Positive BCD Number with ";
constexpr TText Plus_Dim_Head = u"Variable length: Positive BCD number with ";
constexpr TText Minus_Head = u"Variable Length - Negative BCD Number with ";
constexpr TText Minus_Dim_Head = u"Variable length: Negative BCD number with ";
constexpr TText Digits_Tail = u" digits", Digits_Dim_Tail = u" *2 digits";
constexpr TText Binary_Head = u"Variable Length - Binary Number with ", Binary_Tail = u" Bytes";
constexpr TText Binary_Dim_Head = u"Variable length: Binary number with ", Binary_Dim_Tail = u" bytes";
constexpr TText Reserved_Head = u"Variable Length - Reserved", Reserved_Dim_Head = u"Variable length: Reserved";
constexpr auto Text = TMBus_LVAR_Kind::Text;
constexpr auto Plus = TMBus_LVAR_Kind::BCD_Positive;
constexpr auto Minus = TMBus_LVAR_Kind::BCD_Negative;
constexpr auto Binary = TMBus_LVAR_Kind::Binary;
constexpr auto Reserved = TMBus_LVAR_Kind::Reserved;
}  // namespace

// BCD numbers have at most 9 bytes (18 digits); binary numbers grow by
// single bytes to 15, then by 4 bytes to 32, then 48 and 64 bytes.
const std::array<TMBus_LVAR_Range, 10> MBus_LVAR_Ranges{{
    {0x00, 0xBF, 0x00, 1, 0, 1, Text_Head, Text_Tail, Text_Dim_Head, Text_Dim_Tail, Text},
    {0xC0, 0xC9, 0xC0, 1, 0, 2, Plus_Head, Digits_Tail, Plus_Dim_Head, Digits_Dim_Tail, Plus},
    {0xCA, 0xCF, 0xCA, 0, 0, 0, Reserved_Head, u"", Reserved_Dim_Head, u"", Reserved},
    {0xD0, 0xD9, 0xD0, 1, 0, 2, Minus_Head, Digits_Tail, Minus_Dim_Head, Digits_Dim_Tail, Minus},
    {0xDA, 0xDF, 0xDA, 0, 0, 0, Reserved_Head, u"", Reserved_Dim_Head, u"", Reserved},
    {0xE0, 0xEF, 0xE0, 1, 0, 1, Binary_Head, Binary_Tail, Binary_Dim_Head, Binary_Dim_Tail, Binary},
    {0xF0, 0xF4, 0xEC, 4, 0, 1, Binary_Head, Binary_Tail, Binary_Dim_Head, Binary_Dim_Tail, Binary},
    {0xF5, 0xF5, 0xF5, 0, 48, 1, Binary_Head, Binary_Tail, Binary_Dim_Head, Binary_Dim_Tail, Binary},
    {0xF6, 0xF6, 0xF6, 0, 64, 1, Binary_Head, Binary_Tail, Binary_Dim_Head, Binary_Dim_Tail, Binary},
    {0xF7, 0xFF, 0xF7, 0, 0, 0, Reserved_Head, u"", Reserved_Dim_Head, u"", Reserved},
}};

const TMBus_LVAR_Range& Find_LVAR_Range(Byte LVAR) {
    for (const TMBus_LVAR_Range& r : MBus_LVAR_Ranges)
        if (LVAR >= r.First && LVAR <= r.Last) return r;
    return MBus_LVAR_Ranges.back();  // the ranges cover every byte
}

const std::array<TText, 4> MBus_Function_Fields{
    u"Istantaneous value", u"Maximum value", u"Minimum value", u"Value during error state"};

const std::array<TMBus_Medium, 19> MBus_Media{{
    {1, u"Oil"},
    {2, u"Electricity"},
    {3, u"Gas"},
    {4, u"Heat (outlet)"},
    {5, u"Steam"},
    {6, u"Hot Water"},
    {7, u"Water"},
    {8, u"Heat Cost Allocator."},
    {9, u"Compressed Air"},
    {10, u"Cooling load meter (outlet)"},
    {11, u"Cooling load meter (inlet)"},
    {12, u"Heat (inlet) "},
    {13, u"Heat/Cooling load meter"},
    {14, u"Bus/System"},
    {15, u"Unknown Medium"},
    {22, u"Cold Water"},
    {23, u"Dual Water"},
    {24, u"Pressure"},
    {25, u"A/D Converter"},
}};
const TText MBus_Other_Medium = u"Other";

const std::array<TText, 16> MBus_Fixed_Media{
    u"Other",      u"Oil",         u"Electricity",      u"Gas",          u"Heat",
    u"Steam",      u"Hot Water",   u"Water",            u"Heat Cost Allocator.", u"Reserved",
    u"Gas Mode 2", u"Heat Mode 2", u"Hot Water Mode 2", u"Water Mode 2", u"Heat Cost Allocator Mode 2",
    u"Reserved"};

namespace {
// By the unit code; each multiple of a unit is the next power of ten.
constexpr TMBus_Fixed_Unit Fixed_Unit_Table[] = {
    {0x00, 0x00, -1, u"Time (h,m,s)", false, 0},
    {0x01, 0x01, -1, u"Date (D,M,Y)", false, 0},
    {0x02, 0x04, 0, u"Energy Wh", true, 0},          // Wh
    {0x05, 0x07, 0, u"Energy Wh", true, 3},          // kWh
    {0x08, 0x0A, 0, u"Energy Wh", true, 6},          // MWh
    {0x0B, 0x0D, 1, u"Energy J", true, 3},           // kJ
    {0x0E, 0x10, 1, u"Energy J", true, 6},           // MJ
    {0x11, 0x13, 1, u"Energy J", true, 9},           // GJ
    {0x14, 0x16, 6, u"Power W", true, 0},            // W
    {0x17, 0x19, 6, u"Power W", true, 3},            // kW
    {0x1A, 0x1C, 6, u"Power W", true, 6},            // MW
    {0x1D, 0x1F, 7, u"Power J/h", true, 3},          // kJ/h
    {0x20, 0x22, 7, u"Power J/h", true, 6},          // MJ/h
    {0x23, 0x25, 7, u"Power J/h", true, 9},          // GJ/h
    {0x26, 0x28, 2, u"Volume m3", true, -6},         // ml
    {0x29, 0x2B, 2, u"Volume m3", true, -3},         // l
    {0x2C, 0x2E, 2, u"Volume m3", true, 0},          // m3
    {0x2F, 0x31, 8, u"Volume Flow m3/h", true, -6},  // ml/h
    {0x32, 0x34, 8, u"Volume Flow m3/h", true, -3},  // l/h
    {0x35, 0x37, 8, u"Volume Flow m3/h", true, 0},   // m3/h
    {0x38, 0x38, -1, u"Temperature °C", true, -3},
    {0x39, 0x39, 22, u"Units for H.C.A.", false, 0},
    {0x3A, 0x3D, -1, u"Reserved", false, 0},
    {0x3E, 0x3E, -1, u"Reserved", false, 0},  // counter 2 only: counter 1's unit, historic
    {0x3F, 0x3F, -1, u"Without Units", false, 0},
};
}  // namespace

const std::span<const TMBus_Fixed_Unit> MBus_Fixed_Units = Fixed_Unit_Table;

const TMBus_Fixed_Unit& Find_Fixed_Unit(Byte code) {
    for (const TMBus_Fixed_Unit& u : MBus_Fixed_Units)
        if (code >= u.First && code <= u.Last) return u;
    return MBus_Fixed_Units.back();
}

namespace {

// By VIF and 0x7F; n is VIF and 7, m is VIF and 3.
constexpr TMBus_Code_Range Primary_VIF_Table[] = {
    {0x00, 0x07, 0, {u"Energy Wh"}, Pow10_Of(7, -3)},
    {0x08, 0x0F, 1, {u"Energy J"}, Pow10_Of(7, 0)},
    {0x10, 0x17, 2, {u"Volume m3"}, Pow10_Of(7, -6)},
    {0x18, 0x1F, 3, {u"Mass kg"}, Pow10_Of(7, -3)},
    {0x20, 0x23, 4, {u"On Time Seconds", u"On Time Minutes", u"On Time Hours", u"On Time Days"}},
    {0x24, 0x27, 5,
     {u"Operating Time Seconds", u"Operating Time Minutes", u"Operating Time Hours", u"Operating Time Days"}},
    {0x28, 0x2F, 6, {u"Power W"}, Pow10_Of(7, -3)},
    {0x30, 0x37, 7, {u"Power J/h"}, Pow10_Of(7, 0)},
    {0x38, 0x3F, 8, {u"Volume Flow m3/h"}, Pow10_Of(7, -6)},
    {0x40, 0x47, 9, {u"Volume Flow ext. m3/min"}, Pow10_Of(7, -7)},
    {0x48, 0x4F, 10, {u"Volume Flow ext. m3/s"}, Pow10_Of(7, -9)},
    {0x50, 0x57, 11, {u"Mass Flow kg/h"}, Pow10_Of(7, -3)},
    {0x58, 0x5B, 12, {u"Flow Temperature °C"}, Pow10_Of(3, -3)},
    {0x5C, 0x5F, 13, {u"Return Temperature °C"}, Pow10_Of(3, -3)},
    {0x60, 0x63, 14, {u"Temperature Difference K"}, Pow10_Of(3, -3)},
    {0x64, 0x67, 15, {u"External Temperature °C"}, Pow10_Of(3, -3)},
    {0x68, 0x6B, 16, {u"Pressure bar"}, Pow10_Of(3, -3)},
    {0x6C, 0x6D, 20, {}, No_Scale, Time_Point},
    {0x6E, 0x6E, 22, {u"Units for H.C.A."}},
    {0x6F, 0x6F, -1, {}},
    {0x70, 0x73, 17,
     {u"Averaging Duration Seconds", u"Averaging Duration Minutes", u"Averaging Duration Hours",
      u"Averaging Duration Days"}},
    {0x74, 0x77, 18,
     {u"Actuality Duration Seconds", u"Actuality Duration Minutes", u"Actuality Duration Hours",
      u"Actuality Duration Days"}},
    {0x78, 0x78, 23, {u"Fabrication No"}},
    {0x79, 0x79, 24, {u"Identification"}},
    {0x7A, 0x7A, 25, {u"Bus Address"}},
    {0x7B, 0x7B, 19, {}},  // VIF 0xFB continues in the 0xFB table
    {0x7C, 0x7C, 21, {u"Vif in following String"}, No_Scale, Plain_Text},
    {0x7D, 0x7D, 19, {}},  // VIF 0xFD continues in the 0xFD table
    {0x7E, 0x7E, -1, {u"Any VIF"}},
    {0x7F, 0x7F, -1, {u"Manufacturer Specific"}},
};

// By the first VIFE and 0x7F (e); k is e and 3.
constexpr TMBus_Code_Range FD_Extension_Table[] = {
    {0x00, 0x03, 1, {u"Credit of (currency units)"}, Pow10_Of(3, -3)},
    {0x04, 0x07, 2, {u"Debit of (currency units)"}, Pow10_Of(3, -3)},
    {0x08, 0x08, 3, {u"Unique message Identification"}},
    {0x09, 0x09, 4, {u"Device Type"}},
    {0x0A, 0x0A, 5, {u"Manufacturer"}},
    {0x0B, 0x0B, 6, {u"Parameter Set Identification"}},
    {0x0C, 0x0C, 7, {u"Model Version"}},
    {0x0D, 0x0D, 8, {u"Hardware Version Number"}},
    {0x0E, 0x0E, 9, {u"Metrology (Firmware) Version Number"}},
    {0x0F, 0x0F, 10, {u"Other Software Version Number"}},
    {0x10, 0x10, 11, {u"Customer LOcation"}},
    {0x11, 0x11, 12, {u"Customer"}},
    {0x12, 0x12, 13, {u"Access Code User"}},
    {0x13, 0x13, 14, {u"Access Code Operator"}},
    {0x14, 0x14, 15, {u"Access Code System Operator"}},
    {0x15, 0x15, 16, {u"Access Code Developer"}},
    {0x16, 0x16, 17, {u"Password"}},
    {0x17, 0x17, 18, {u"Error Flag (Binary)"}},
    {0x18, 0x18, 19, {u"Error Mask"}},
    {0x19, 0x19, 126, {u"Security Key"}},
    {0x1A, 0x1A, 20, {u"Digital Output (Binary)"}},
    {0x1B, 0x1B, 21, {u"Digital Input (Binary)"}},
    {0x1C, 0x1C, 22, {u"Baudrate [Baud]"}},
    {0x1D, 0x1D, 23, {u"Responce Delay Time [Bit-Times]"}},
    {0x1E, 0x1E, 24, {u"Retry"}},
    {0x1F, 0x1F, 127, {u"Remote Control (Device Specific e.g. Gas Value)"}},
    {0x20, 0x20, 25, {u"First Storage Number for Cyclic Storage"}},
    {0x21, 0x21, 26, {u"Last Storage Number for Cyclic Storage"}},
    {0x22, 0x22, 27, {u"Size of Storage Block"}},
    {0x23, 0x23, -1, {u"Reserved"}},
    {0x24, 0x27, 28,
     {u"Storage Interval Second(s)", u"Storage Interval Minute(s)", u"Storage Interval Hour(s)",
      u"Storage Interval Day(s)"}},
    {0x28, 0x28, 29, {u"Storage Interval Month(s)"}},
    {0x29, 0x29, 30, {u"Storage Interval Year(s)"}},
    {0x2A, 0x2A, 128, {u"Operator Specific Data"}},
    {0x2B, 0x2B, 129, {u"Time Point Second (0 to 59)"}},
    {0x2C, 0x2F, 31,
     {u"Duration Since Last Readout Second(s)", u"Duration Since Last Readout Minute(s)",
      u"Duration Since Last Readout Hour(s)", u"Duration Since Last Readout Day(s)"}},
    {0x30, 0x30, 32, {u"Start (Date/Time) of Tariff"}},
    {0x31, 0x33, 33, {u"Duration of Tariff Minute(s)", u"Duration of Tariff Hour(s)", u"Duration of Tariff Day(s)"}},
    {0x34, 0x37, 34,
     {u"Period of Tariff Second(s)", u"Period of Tariff Minute(s)", u"Period of Tariff Hour(s)",
      u"Period of Tariff Day(s)"}},
    {0x38, 0x38, 35, {u"Period of Tariff Month(s)"}},
    {0x39, 0x39, 36, {u"Period of Tariff Year(s)"}},
    {0x3A, 0x3A, 37, {u"Dimensionless / No VIF"}},
    {0x3B, 0x3B, 130, {u"Data Container for Wireless M-Bus Protocol"}},
    {0x3C, 0x3F, 131,
     {u"Period of Nominal Data Transmissions Second(s)", u"Period of Nominal Data Transmissions Minute(s)",
      u"Period of Nominal Data Transmissions Hour(s)", u"Period of Nominal Data Transmissions Day(s)"}},
    {0x40, 0x4F, 38, {u"Electric Units Volts"}, Pow10_Of(0xF, -9)},
    {0x50, 0x5F, 39, {u"Electric Units A"}, Pow10_Of(0xF, -12)},
    {0x60, 0x60, 40, {u"Reset Counter"}},
    {0x61, 0x61, 41, {u"Cumulation Counter"}},
    {0x62, 0x62, 42, {u"Control Signal"}},
    {0x63, 0x63, 43, {u"Day of Week"}},
    {0x64, 0x64, 44, {u"Week Number"}},
    {0x65, 0x65, 45, {u"Time Point of Day Change"}},
    {0x66, 0x66, 46, {u"State of Parameter Activation"}},
    {0x67, 0x67, 47, {u"Special Supplier Information"}},
    {0x68, 0x6B, 48,
     {u"Duration Since Last Cumulation Hour(s)", u"Duration Since Last Cumulation Day(s)",
      u"Duration Since Last Cumulation Month(s)", u"Duration Since Last Cumulation Year(s)"}},
    {0x6C, 0x6F, 49,
     {u"Operating Time Battery Hour(s)", u"Operating Time Battery Day(s)", u"Operating Time Battery Month(s)",
      u"Operating Time Battery Year(s)"}},
    {0x70, 0x70, 50, {u"Date and Time of Battery Change"}},
    {0x71, 0x71, 132, {u"RF Level Units: dBm"}},
    {0x72, 0x72, 133, {u"Daylight Savings (Beginning, Ending, Deviation) Data Type K"}},
    {0x73, 0x73, 134, {u"Listening Window Management Data Type L"}},
    {0x74, 0x74, 135, {u"Remaining Battery Life Time (Days)"}},
    {0x75, 0x75, 136, {u"Number Times the Meter Was Stopped"}},
    {0x76, 0x7F, -1, {u"Reserved"}},
};

// By the first VIFE and 0x7F (e); b is e and 1, k is e and 3, n is e and 7.
constexpr TMBus_Code_Range FB_Extension_Table[] = {
    {0x00, 0x01, 51, {u"Energy MWh"}, Pow10_Of(1, -1)},
    {0x02, 0x03, 137, {u"Reactive Energy kVARh"}, Pow10_Of(1, 0)},
    {0x04, 0x05, 138, {u"Apparent Energy kVAh"}, Pow10_Of(1, 0)},
    {0x08, 0x09, 52, {u"Energy GJ"}, Pow10_Of(1, -1)},
    {0x0C, 0x0F, 139, {u"Energy MCal"}, Pow10_Of(3, -1)},
    {0x10, 0x11, 53, {u"Volume m3"}, Pow10_Of(1, 2)},
    {0x14, 0x17, 140, {u"Reactive Power kVAR"}, Pow10_Of(3, -3)},
    {0x18, 0x19, 54, {u"Volume t"}, Pow10_Of(1, 2)},
    {0x1A, 0x1B, 141, {u"Relative Humidity %"}, Pow10_Of(1, -1)},
    {0x20, 0x20, 142, {u"Volume Feet 3"}},
    {0x21, 0x21, 55, {u"Volume 0,1 Feet 3"}},
    {0x22, 0x22, 56, {u"Volume 0,1 American Gallon"}},
    {0x23, 0x23, 57, {u"Volume 1 American Gallon"}},
    {0x24, 0x24, 58, {u"Volume Flow 0,001 American Gallon/min"}},
    {0x25, 0x25, 59, {u"Volume Flow 1 American Gallon/min"}},
    {0x26, 0x26, 60, {u"Volume Flow 1 American Gallon/h"}},
    {0x28, 0x29, 61, {u"Power MW"}, Pow10_Of(1, -1)},
    {0x2A, 0x2A, 143, {u"Phase U-U (Volt. to Volt.)"}},
    {0x2B, 0x2B, 144, {u"Phase U-I (Volt. to Current)"}},
    {0x2C, 0x2F, 145, {u"Frequency Hz"}, Pow10_Of(3, -3)},
    {0x30, 0x31, 62, {u"Power GJ/h"}, Pow10_Of(1, -1)},
    {0x34, 0x37, 146, {u"Apparent Power kVA"}, Pow10_Of(3, -3)},
    {0x58, 0x5B, 63, {u"Flow Temperature °F"}, Pow10_Of(3, -3)},
    {0x5C, 0x5F, 64, {u"Return Temperature °F"}, Pow10_Of(3, -3)},
    {0x60, 0x63, 65, {u"Temperature Difference °F"}, Pow10_Of(3, -3)},
    {0x64, 0x67, 66, {u"External Temperature °F"}, Pow10_Of(3, -3)},
    {0x70, 0x73, 67, {u"Cold / Warm Temperature Limit °F"}, Pow10_Of(3, -3)},
    {0x74, 0x77, 68, {u"Cold / Warm Temperature Limit °C"}, Pow10_Of(3, -3)},
    {0x78, 0x7F, 69, {u"Cum. Max. of Active Power W"}, Pow10_Of(7, -3)},
};

// By VIFE and 0x7F (v).
constexpr TMBus_Code_Range VIFE_Table[] = {
    {0x00, 0x00, 108, {u" - None"}},
    {0x01, 0x01, 109, {u" - Too Many DIFEs"}},
    {0x02, 0x02, 110, {u" - Storage Number not Implemented"}},
    {0x03, 0x03, 111, {u" - Unit Number not Implemented"}},
    {0x04, 0x04, 112, {u" - Tariff Number not Implemented"}},
    {0x05, 0x05, 113, {u" - Function not Implemented"}},
    {0x06, 0x06, 114, {u" - Data Class not Implemented"}},
    {0x07, 0x07, 115, {u" - Data Size not Implemented"}},
    {0x08, 0x0A, -1, {u" - Reserved"}},
    {0x0B, 0x0B, 116, {u" - Too Many VIFEs"}},
    {0x0C, 0x0C, 117, {u" - Illegal VIF-Group"}},
    {0x0D, 0x0D, 118, {u" - Illegal VIF-Exponent"}},
    {0x0E, 0x0E, 119, {u" - VIF / DIF Mismatch"}},
    {0x0F, 0x0F, 120, {u" - Unimplemented Action"}},
    {0x10, 0x14, -1, {u" - Reserved"}},
    {0x15, 0x15, 121, {u" - No Data Available (Undefined Value)"}},
    {0x16, 0x16, 122, {u" - Data Overflow"}},
    {0x17, 0x17, 123, {u" - Data Underflow"}},
    {0x18, 0x18, 124, {u" - Data Error"}},
    {0x19, 0x1B, -1, {u" - Reserved"}},
    {0x1C, 0x1C, 125, {u" - Premature End of Record"}},
    {0x1D, 0x1F, -1, {u" - Reserved"}},
    {0x20, 0x27, 70,
     {u" - Per Second", u" - Per Minute", u" - Per Hour", u" - Per Day", u" - Per Week", u" - Per Month",
      u" - Per Year", u" - Per Revolution / Measurement"},
     No_Scale, Plain, Stepped},
    {0x28, 0x29, 78,
     {u" - Increment per Input Pulse on Input Channel 0", u" - Increment per Input Pulse on Input Channel 1"}},
    {0x2A, 0x2B, 79,
     {u" - Increment per Output Pulse on Output Channel 0", u" - Increment per Output Pulse on Output Channel 1"}},
    {0x2C, 0x3C, 80,
     {u" - Per Liter", u" - Per m3", u" - Per kg", u" - Per K (Kelvin)", u" - Per kWh", u" - Per GJ", u" - Per kW",
      u" - Per (K*l)(Kelvin * Litre)", u" - Per V (Volt)", u" - Per (A) (Ampere)", u" - Multiplied by s",
      u" - Multiplied by s / V", u" - Multiplied by s / A", u" - Start Date (/Time) of",
      u" - VIF Contains Uncorrect Unit or Value at Metering Conditions Instead of Converted Unit",
      u" - Accumulation Only if Positive Contributions (Forward Flow Contribution)",
      u" - Accumulation of abs Value Only if Negative Contributions (Backward Flow)"},
     No_Scale, Plain, Stepped},
    {0x3D, 0x3D, 147, {u" - Reserved for Alternate non-metric Unit System (according to Annex C)"}},
    {0x3E, 0x3E, 148, {u" - Value at Base Conditions"}},
    {0x3F, 0x3F, -1, {u" - Reserved"}},
    {0x40, 0x40, 97, {u" - Lower Limit Value"}},
    {0x41, 0x41, 98, {u" - # of Exceeds of Lower Limit"}},
    {0x42, 0x43, 99,
     {u" - Date(/Time) of Begin of First Lower Limit Exceed", u" - Date(/Time) of End of First Lower Limit Exceed"},
     No_Scale, Date},
    {0x44, 0x45, -1, {u" - Reserved"}},
    {0x46, 0x47, 99,
     {u" - Date(/Time) of Begin of Last Lower Limit Exceed", u" - Date(/Time) of End of Last Lower Limit Exceed"},
     No_Scale, Date},
    {0x48, 0x48, 97, {u" - Upper Limit Value"}},
    {0x49, 0x49, 98, {u" - # of Exceeds of Upper Limit"}},
    {0x4A, 0x4B, 99,
     {u" - Date(/Time) of Begin of First Upper Limit Exceed", u" - Date(/Time) of End of First Upper Limit Exceed"},
     No_Scale, Date},
    {0x4C, 0x4D, -1, {u" - Reserved"}},
    {0x4E, 0x4F, 99,
     {u" - Date(/Time) of Begin of Last Upper Limit Exceed", u" - Date(/Time) of End of Last Upper Limit Exceed"},
     No_Scale, Date},
    {0x50, 0x5F, 100,
     {u" - Duration 00 of First Lower Limit Exceed", u" - Duration 01 of First Lower Limit Exceed",
      u" - Duration 02 of First Lower Limit Exceed", u" - Duration 03 of First Lower Limit Exceed",
      u" - Duration 00 of Last Lower Limit Exceed", u" - Duration 01 of Last Lower Limit Exceed",
      u" - Duration 02 of Last Lower Limit Exceed", u" - Duration 03 of Last Lower Limit Exceed",
      u" - Duration 00 of First Upper Limit Exceed", u" - Duration 01 of First Upper Limit Exceed",
      u" - Duration 02 of First Upper Limit Exceed", u" - Duration 03 of First Upper Limit Exceed",
      u" - Duration 00 of Last Upper Limit Exceed", u" - Duration 01 of Last Upper Limit Exceed",
      u" - Duration 02 of Last Upper Limit Exceed", u" - Duration 03 of Last Upper Limit Exceed"}},
    {0x60, 0x67, 101,
     {u" - Duration 00 of First", u" - Duration 01 of First", u" - Duration 02 of First", u" - Duration 03 of First",
      u" - Duration 00 of Last", u" - Duration 01 of Last", u" - Duration 02 of Last", u" - Duration 03 of Last"}},
    {0x68, 0x68, 149, {u" - Value During Lower Limit Exceed"}},
    {0x69, 0x69, 150, {u" - Leakage Values"}},
    {0x6A, 0x6B, 102, {u" - Date(/Time) of Begin of First", u" - Date(/Time) of End of First"}, No_Scale, Date},
    {0x6C, 0x6C, 149, {u" - Value During Upper Limit Exceed"}},
    {0x6D, 0x6D, 151, {u" - Overflow Values"}},
    {0x6E, 0x6F, 102, {u" - Date(/Time) of Begin of Last", u" - Date(/Time) of End of Last"}, No_Scale, Date},
    {0x70, 0x77, 103,
     {u" - Moltiplicative Correction Factor: 10^(-6)", u" - Moltiplicative Correction Factor: 10^(-5)",
      u" - Moltiplicative Correction Factor: 10^(-4)", u" - Moltiplicative Correction Factor: 10^(-3)",
      u" - Moltiplicative Correction Factor: 10^(-2)", u" - Moltiplicative Correction Factor: 10^(-1)",
      u" - Moltiplicative Correction Factor: 10^(0)", u" - Moltiplicative Correction Factor: 10^(1)"},
     Pow10_Of(7, -6)},
    {0x78, 0x7B, 104,
     {u" - Additive Correction Constant: 10^(-3) * Unit of VIF", u" - Additive Correction Constant: 10^(-2) * Unit of VIF",
      u" - Additive Correction Constant: 10^(-1) * Unit of VIF", u" - Additive Correction Constant: 10^(0) * Unit of VIF"},
     Pow10_Of(3, -3)},
    {0x7C, 0x7C, -1, {}, No_Scale, Phase},
    {0x7D, 0x7D, 105, {u" - Multiplicative Cerrection Factor: 10^(3)"}, Pow10_Of(0, 3)},
    {0x7E, 0x7E, 106, {u" - Future Value"}},
    {0x7F, 0x7F, 107, {u" - Next VIFEs and Data of This Block Are Manufacturer Specific"}},
};

}  // namespace

const std::span<const TMBus_Code_Range> MBus_Primary_VIFs{Primary_VIF_Table};
const std::span<const TMBus_Code_Range> MBus_FD_Extensions{FD_Extension_Table};
const std::span<const TMBus_Code_Range> MBus_FB_Extensions{FB_Extension_Table};
const std::span<const TMBus_Code_Range> MBus_VIFEs{VIFE_Table};
const TText MBus_Reserved_Extension = u"Reserved";

const TMBus_Code_Range* Find_Code_Range(std::span<const TMBus_Code_Range> table, Byte code) {
    for (const TMBus_Code_Range& r : table)
        if (code >= r.First && code <= r.Last) return &r;
    return nullptr;
}

const std::array<TMBus_Phase, 8> MBus_Phases{{
    {0x01, u" - At Phase L1"},
    {0x02, u" - At Phase L2"},
    {0x03, u" - At Phase L3"},
    {0x04, u" - At Neutral (N)"},
    {0x05, u" - Between Phase L1 and L2"},
    {0x06, u" - Between Phase L2 and L3"},
    {0x07, u" - Between Phase L3 and L1"},
    {0x10, u" - Accumulation of abs. Value for Both Positive and Negative Contribution (Absolute Count)"},
}};

const std::array<TText, 7> MBus_Weekdays{u"Monday ", u"Tuesday ", u"Wednesday ", u"Thursday ",
                                         u"Friday ", u"Saturday ", u"Sunday "};
