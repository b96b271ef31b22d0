#include "mbus/MBusDecoder.h"

#include "framework/DateUtils.h"
#include "framework/SysUtils.h"
#include "mbus/MBusTables.h"
#include "shell/Globals.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

namespace {

// Position of the data records in a long frame: after start, L fields, start,
// C, A, CI, identification, manufacturer, version, medium, access number,
// status and signature.
constexpr int Frame_Data_Start = 19;
constexpr int Max_DIFEs = 10;
constexpr int Max_VIFEs = 10;
constexpr int Max_Plain_Text = 192;  // characters of a plain-text unit
constexpr Word No_Type = 65535;      // type_data of a VIF without a class

const String Text_Not_Analysable = u"Non analizabile";
// A value the meter itself marks as not valid: a time point with its invalid
// bit, or BCD digits A to F, which the meters send for their error states.
const String Text_Not_Valid = u"Valore non valido";

// The fixed data structure: CI 0x73, least significant byte first, or 0x77,
// most significant byte first. Its header and two counters follow the CI.
constexpr Byte CI_Fixed = 0x73;
constexpr Byte CI_Fixed_MSB_First = 0x77;
constexpr int Fixed_Id_At = 7, Fixed_Status_At = 12, Fixed_Units_At = 13, Fixed_Counters_At = 15;
constexpr Byte Fixed_Status_Binary = 0x01;      // the counters are binary, not BCD
constexpr Byte Fixed_Status_Historic = 0x02;    // the counters were stored at a fixed date
constexpr int Fixed_Counter_Length = 4;

constexpr Char Hex_Digits[] = u"0123456789ABCDEF";

void Append_Hex(String& s, Byte b) {
    s.push_back(Hex_Digits[b >> 4]);
    s.push_back(Hex_Digits[b & 0xF]);
}

// "$XX" per byte, each followed by a blank when Blank is set.
String Dollar_Hex(const Byte* bytes, int count, bool blank) {
    String s;
    s.reserve(count * 4);
    for (int i = 0; i < count; ++i) {
        s.push_back(u'$');
        Append_Hex(s, bytes[i]);
        if (blank) s.push_back(u' ');
    }
    return s;
}

bool Is_Plain_Text_VIF(Byte vif) { return (vif & 0x7F) == 0x7C; }

// One data record as read from the frame, before it becomes a record. The
// counts say how far the reading got when it stopped at a fault.
struct TRaw_Record {
    Byte DIF = 0;
    std::array<Byte, Max_DIFEs> DIFEs{};
    int Num_DIFE = 0;
    bool Has_VIF = false;
    Byte VIF = 0;
    int Text_Length = -1;  // -1: no plain-text unit read
    const Byte* Text = nullptr;
    std::array<Byte, Max_VIFEs> VIFEs{};
    int Num_VIFE = 0;
    bool Has_LVAR = false;
    Byte LVAR = 0;
    bool Has_Data = false;
    int Length = 0;
    const Byte* Data = nullptr;

    Byte Data_Field() const { return DIF & 0x0F; }
};

enum class TRead_Fault { None, Past_Last, Too_Many_Extensions, Text_Too_Long, Reserved_Length };

// The bytes Data[0..Last] of a walk, read forward from Pos.
class TReader {
public:
    TReader(const Byte* data, int last) : data_(data), last_(last) {}
    int Pos = 0;
    bool More() const { return Pos <= last_; }
    bool Next(Byte& b) {
        if (Pos > last_) return false;
        b = data_[Pos++];
        return true;
    }
    // Count bytes from Pos, or nullptr when they would run past Last.
    const Byte* Take(int count) {
        if (count > last_ - Pos + 1) return nullptr;
        const Byte* p = data_ + Pos;
        Pos += count;
        return p;
    }

private:
    const Byte* data_;
    int last_;
};

// A chain of extension bytes: one each while the previous has bit 7 set.
TRead_Fault Read_Chain(TReader& in, std::array<Byte, 10>& chain, int& count) {
    Byte b = 0x80;
    while (b & 0x80) {
        if (count == static_cast<int>(chain.size())) return TRead_Fault::Too_Many_Extensions;
        if (!in.Next(b)) return TRead_Fault::Past_Last;
        chain[count++] = b;
    }
    return TRead_Fault::None;
}

bool Ends_Header(Byte dif) { return dif == 0x0F || dif == 0x1F || dif == 0x2F; }

TRead_Fault Read_Record(TReader& in, TRaw_Record& r) {
    in.Next(r.DIF);  // the caller made sure there is one
    if (Ends_Header(r.DIF)) return TRead_Fault::None;
    if (r.DIF & 0x80)
        if (TRead_Fault f = Read_Chain(in, r.DIFEs, r.Num_DIFE); f != TRead_Fault::None) return f;
    if (!in.Next(r.VIF)) return TRead_Fault::Past_Last;
    r.Has_VIF = true;
    if (Is_Plain_Text_VIF(r.VIF)) {
        Byte length = 0;
        if (!in.Next(length)) return TRead_Fault::Past_Last;
        if (length > Max_Plain_Text) return TRead_Fault::Text_Too_Long;
        r.Text = in.Take(length);
        if (!r.Text) return TRead_Fault::Past_Last;
        r.Text_Length = length;
    }
    if (r.VIF & 0x80)
        if (TRead_Fault f = Read_Chain(in, r.VIFEs, r.Num_VIFE); f != TRead_Fault::None) return f;
    if (r.Data_Field() == MBus_Variable_Length) {
        if (!in.Next(r.LVAR)) return TRead_Fault::Past_Last;
        r.Has_LVAR = true;
        const TMBus_LVAR_Range& range = Find_LVAR_Range(r.LVAR);
        if (range.Reserved()) return TRead_Fault::Reserved_Length;
        r.Length = range.Length(r.LVAR);
    } else {
        r.Length = MBus_Data_Fields[r.Data_Field()].Length;
    }
    r.Data = in.Take(r.Length);
    if (!r.Data) return TRead_Fault::Past_Last;
    r.Has_Data = true;
    return TRead_Fault::None;
}

String LVAR_Text(TText head, int number, TText tail) {
    String s(head);
    s += IntToStr(number);
    s += tail;
    return s;
}

// Every field that what was read of r gives.
void Fill_Record(TVariable_MBus& v, const TRaw_Record& r) {
    const Byte field = r.Data_Field();
    const TMBus_Data_Field& coding = MBus_Data_Fields[field];
    v.Is_BCD = coding.BCD;
    v.Real_Wireless_Var = true;
    v.DIF = Dollar_Hex(&r.DIF, 1, false);
    v.dimension = field;
    if (field == MBus_Variable_Length) {
        if (r.Has_LVAR) {
            const TMBus_LVAR_Range& range = Find_LVAR_Range(r.LVAR);
            if (range.Reserved()) {
                v.DataFieldStr = range.Field_Head;
                v.descdim = range.Dim_Head;
            } else {
                const int n = range.Length(r.LVAR);
                v.DataFieldStr = LVAR_Text(range.Field_Head, n * range.Field_Factor, range.Field_Tail);
                v.descdim = LVAR_Text(range.Dim_Head, n, range.Dim_Tail);
            }
        }
    } else {
        v.DataFieldStr = coding.DataFieldStr;
        v.descdim = coding.descdim;
    }
    v.function_fild = (r.DIF >> 4) & 0x03;
    v.FunctionFieldStr = MBus_Function_Fields[v.function_fild];

    // The last DIFE is the most significant; computed in 32 bits, where
    // more than eight DIFEs wrap.
    std::uint32_t storage = 0, tariff = 0, unit = 0;
    for (int i = r.Num_DIFE - 1; i >= 0; --i) {
        storage = storage * 16 + (r.DIFEs[i] & 0x0F);
        tariff = tariff * 4 + ((r.DIFEs[i] >> 4) & 0x03);
        unit = unit * 2 + ((r.DIFEs[i] >> 6) & 0x01);
    }
    v.storage_number = storage * 2u + ((r.DIF >> 6) & 0x01);
    if (r.Num_DIFE > 0) {
        v.DIFE = Dollar_Hex(r.DIFEs.data(), r.Num_DIFE, true);
        v.numdife = r.Num_DIFE;
        v.tarif = static_cast<Word>(tariff);
        v.device = static_cast<Word>(unit);
    }

    if (r.Has_VIF) {
        v.VIF = r.VIF;
        switch (r.VIF) {
        case 0x7C:
        case 0xFC:
            v.casovif = 101;
            if (r.Text_Length >= 0) v.VIF_ASCII.assign(std::reverse_iterator(r.Text + r.Text_Length),
                                                       std::reverse_iterator(r.Text));
            break;
        case 0x7B:
        case 0x7D:
            break;  // constructor values stand
        case 0xFB:
        case 0xFD:
            v.casovif = r.VIF == 0xFD ? 1 : 2;
            if (r.Num_VIFE > 0) v.vifvalue = r.VIFEs[0];
            break;
        case 0x7F:
        case 0xFF:
            v.casovif = 100;
            break;
        default:
            v.casovif = 0;
            v.vifvalue = r.VIF;
        }
    }
    if (r.Num_VIFE > 0) {
        v.PrinVIFE = r.VIFEs[0];
        v.VIFE = Dollar_Hex(r.VIFEs.data(), r.Num_VIFE, true);
    }

    if (r.Has_Data) {
        v.nbyte = r.Length;
        v.totdati.reserve(r.Length * 2);
        for (int i = 0; i < r.Length; ++i) Append_Hex(v.totdati, r.Data[i]);
        std::uint32_t a = 0, b = 0;
        for (int i = std::min(r.Length, 4) - 1; i >= 0; --i) a = (a << 8) | r.Data[i];
        for (int i = std::min(r.Length, 8) - 1; i >= 4; --i) b = (b << 8) | r.Data[i];
        v.dato_A = static_cast<int>(a);
        v.dato_B = static_cast<int>(b);
    }
}

// ---------------------------------------------------------------------------
// Values

long double Power10_Of(int e) {
    static constexpr long double Powers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                             1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                             1e14L, 1e15L, 1e16L, 1e17L, 1e18L};
    return Powers[std::clamp(e, 0, 18)];
}

// The power of ten that a code's scale applies.
int Exponent_Of(const TMBus_Scale& scale, Byte code) { return scale.Scaled ? (code & scale.Mask) + scale.Offset : 0; }

// Dividing by an exact power keeps 12565 * 10^-3 at 12.565 where multiplying
// by an inexact 0.001 could show a last-digit error.
long double Scaled(long double value, int e) { return e >= 0 ? value * Power10_Of(e) : value / Power10_Of(-e); }

// Little-endian two's-complement integer of n bytes (1..8).
Int64 Signed_LE(const Byte* bytes, int n) {
    std::uint64_t u = 0;
    for (int i = n - 1; i >= 0; --i) u = (u << 8) | bytes[i];
    const int unused = 64 - 8 * n;
    return static_cast<Int64>(u << unused) >> unused;
}

// The BCD digits of n bytes are all decimal; Sign allows the high nibble 0xF
// of the last byte, the minus sign of a fixed-length BCD field.
bool BCD_Is_Valid(const Byte* bytes, int n, bool sign) {
    for (int i = 0; i < n; ++i) {
        const Byte high = bytes[i] >> 4;
        if ((bytes[i] & 0x0F) > 9) return false;
        if (high > 9 && !(sign && i == n - 1 && high == 0xF)) return false;
    }
    return true;
}

// A binary number longer than 64 bits, most significant digit first.
String Hex_Number(const Byte* bytes, int n) {
    String s = u"0x";
    for (int i = n - 1; i >= 0; --i) Append_Hex(s, bytes[i]);
    return s;
}

// The data of a record before its VIF scales it: a number (exact while it is
// a whole number), a text, or a value that the meter marks as not valid.
struct TRaw_Value {
    long double Number = 0;
    bool Exact = false;
    Int64 Integer = 0;
    std::optional<String> Text;
    bool Not_Valid = false;

    void Set_Integer(Int64 v) {
        Integer = v;
        Exact = true;
        Number = static_cast<long double>(v);
    }
};

TRaw_Value Raw_Value(const TMBusDecoder& d, Byte field, Byte LVAR, int length) {
    TRaw_Value raw;
    const Byte* data = d.App_Data_Val.data();
    const TMBus_Data_Field& coding = MBus_Data_Fields[field];
    if (field == 0x5) {
        raw.Number = std::bit_cast<float>(static_cast<std::uint32_t>(Signed_LE(data, 4)));
    } else if (coding.BCD) {
        if (BCD_Is_Valid(data, coding.Length, true)) raw.Set_Integer(d.BCD_To_Int64(coding.Length));
        else raw.Not_Valid = true;
    } else if (field >= 0x1 && field <= 0x7) {
        raw.Set_Integer(Signed_LE(data, coding.Length));
    } else if (field == MBus_Variable_Length) {
        const int n = std::clamp(length, 0, static_cast<int>(d.App_Data_Val.size()));
        const TMBus_LVAR_Kind kind = Find_LVAR_Range(LVAR).Kind;
        switch (kind) {
        case TMBus_LVAR_Kind::Text:
            // Sent last character first, like the unit of a plain-text VIF.
            raw.Text = String(std::reverse_iterator(data + n), std::reverse_iterator(data));
            break;
        case TMBus_LVAR_Kind::BCD_Positive:
        case TMBus_LVAR_Kind::BCD_Negative:
            // The sign is the LVAR's: every digit is decimal.
            if (!BCD_Is_Valid(data, n, false)) raw.Not_Valid = true;
            else raw.Set_Integer(kind == TMBus_LVAR_Kind::BCD_Negative ? -d.BCD_To_Int64(n) : d.BCD_To_Int64(n));
            break;
        case TMBus_LVAR_Kind::Binary:
            if (n <= 8) raw.Set_Integer(n == 0 ? 0 : Signed_LE(data, n));
            else raw.Text = Hex_Number(data, n);
            break;
        case TMBus_LVAR_Kind::Reserved:
            break;  // the walk has marked the record
        }
    }
    return raw;
}

// ---------------------------------------------------------------------------
// Time points, by the data field: G date, F date and time, J time, I date,
// weekday and time. Minutes and seconds have 6 bits, hours and days 5, months
// 4; the year's low three bits sit above the day, its high four above the
// month.

int Year_Of(Byte dayByte, Byte monthByte) { return ((dayByte & 0xE0) >> 5) | ((monthByte & 0xF0) >> 1); }

String Date_Text(Byte dayByte, Byte monthByte) {
    return Two_Digits(dayByte & 0x1F) + u'/' + Two_Digits(monthByte & 0x0F) + u'/' +
           Two_Digits(Year_Of(dayByte, monthByte));
}

String Type_G(const Byte* d) { return Date_Text(d[0], d[1]); }
String Type_F(const Byte* d) {
    return Date_Text(d[2], d[3]) + u' ' + Two_Digits(d[1] & 0x1F) + u':' + Two_Digits(d[0] & 0x3F);
}
String Type_J(const Byte* d) {
    return Two_Digits(d[2] & 0x1F) + u':' + Two_Digits(d[1] & 0x3F) + u':' + Two_Digits(d[0] & 0x3F);
}
String Type_I(const Byte* d) {
    const int weekday = d[2] >> 5;
    String s = weekday >= 1 ? String(MBus_Weekdays[weekday - 1]) : String();
    return s + Date_Text(d[3], d[4]) + u' ' + Type_J(d);
}

// Type G has no bit to spare: a date with every bit set is the one it
// cannot be. Type F carries an invalid bit at the top of its minute byte.
bool Invalid_G(const Byte* d) { return d[0] == 0xFF && d[1] == 0xFF; }
bool Invalid_F(const Byte* d) { return (d[0] & 0x80) != 0; }
bool Never_Invalid(const Byte*) { return false; }

struct TTime_Point_Type {
    Byte Data_Field;
    TText Description;
    bool Date_VIFEs_Use_It;
    String (*Text)(const Byte* data);
    bool (*Invalid)(const Byte* data);
};
constexpr TTime_Point_Type Time_Point_Types[] = {
    {0x2, u"Time Point Date (Type G)", true, Type_G, Invalid_G},
    {0x4, u"Time Point Date and Time (Type F)", true, Type_F, Invalid_F},
    {0x3, u"Time Point Extended Time Point (Type J)", false, Type_J, Never_Invalid},
    {0x6, u"Time Point Extended Date and Time Point (Type I)", false, Type_I, Never_Invalid},
};

const TTime_Point_Type* Find_Time_Point_Type(Byte dataField, bool forDateVIFE) {
    for (const TTime_Point_Type& t : Time_Point_Types)
        if (t.Data_Field == dataField && (t.Date_VIFEs_Use_It || !forDateVIFE)) return &t;
    return nullptr;
}

// The value text of a record, and its mark when the meter said the value is
// not valid. A marked record shows why instead of a number.
void Set_Value_Text(TVariable_MBus& record, const TRaw_Value& raw, int exponent, String date) {
    if (raw.Not_Valid && !record.errata) {
        record.errata = true;
        record.sterror = Text_Not_Valid;
    }
    if (record.errata) record.ValueStr = record.sterror;
    else if (!date.empty()) record.ValueStr = std::move(date);
    else if (raw.Text) record.ValueStr = *raw.Text;
    // Whole numbers that no power of ten scales keep every digit.
    else if (raw.Exact && exponent == 0) record.ValueStr = IntToStr(raw.Integer);
    else record.ValueStr = FloatToStr(static_cast<double>(Scaled(raw.Number, exponent)));
}

// The bytes of a fixed-structure field in least-significant-first order.
template <int N>
std::array<Byte, N> Fixed_Field(const Byte* frame, int at, bool msbFirst) {
    std::array<Byte, N> b{};
    for (int i = 0; i < N; ++i) b[i] = msbFirst ? frame[at + N - 1 - i] : frame[at + i];
    return b;
}

}  // namespace

// ---------------------------------------------------------------------------
// Small routines

String Trova_Medium(int Medium) {
    for (const TMBus_Medium& m : MBus_Media)
        if (m.Code == Medium) return String(m.Name);
    return String(MBus_Other_Medium);
}

String Man_Char(int Code) { return Code >= 'A' && Code <= 'Z' ? String(1, static_cast<Char>(Code)) : u"?"; }

String Trova_Man(int Manufacturer) {
    return Man_Char(64 + Manufacturer / 1024) + Man_Char(64 + (Manufacturer % 1024) / 32) +
           Man_Char(64 + Manufacturer % 32);
}

Int64 Power10(int N) {
    if (N < 0) return 0;  // 10^N below 1 truncates to 0
    if (N > 18) return std::numeric_limits<Int64>::max();
    Int64 p = 1;
    for (int i = 0; i < N; ++i) p *= 10;
    return p;
}

String Two_Digits(int Value) {
    String s = IntToStr(Value);
    if (s.size() == 1) s.insert(s.begin(), u'0');
    return s;
}

Int64 TMBusDecoder::BCD_To_Int64(int N) const {
    N = std::clamp(N, 0, static_cast<int>(App_Data_Val.size()));
    // Unsigned, so that nibbles beyond nine in long numbers wrap instead of
    // overflowing.
    std::uint64_t sum = 0;
    for (int i = 0; i < N; ++i) {
        const Byte b = App_Data_Val[i];
        sum += static_cast<std::uint64_t>(b & 0x0F) * static_cast<std::uint64_t>(Power10(2 * i));
        if (i == N - 1 && (b >> 4) == 0x0F) return static_cast<Int64>(0 - sum);
        sum += static_cast<std::uint64_t>(b >> 4) * static_cast<std::uint64_t>(Power10(2 * i + 1));
    }
    return static_cast<Int64>(sum);
}

// ---------------------------------------------------------------------------
// Frame and records

int TMBusDecoder::Decode_RSP_UD(const Byte* Ans_Array, int Ans_Len, int Index, bool& Last_Frame) {
    Last_Frame = true;
    if (!Ans_Array || Ans_Len < MBus_Min_Long_Frame) return -1;
    const Byte* f = Ans_Array;
    const bool fixed = f[6] == CI_Fixed || f[6] == CI_Fixed_MSB_First;
    const bool msbFirst = f[6] == CI_Fixed_MSB_First;
    TSlave_MBus* slave = nullptr;
    int position = Index;
    if (Index < 0) {
        auto fresh = std::make_unique<TSlave_MBus>();
        fresh->Primary_Addresss = f[5];
        const auto idBytes = Fixed_Field<4>(f, Fixed_Id_At, msbFirst);
        const std::uint32_t id =
            idBytes[0] | (idBytes[1] << 8) | (idBytes[2] << 16) | (static_cast<std::uint32_t>(idBytes[3]) << 24);
        fresh->Secondary_Addresss = IntToHex(id, 2);
        if (fixed) {
            // No maker and no version: the medium takes two bits from the top
            // of each unit byte, counter 1's the low ones.
            const auto units = Fixed_Field<2>(f, Fixed_Units_At, msbFirst);
            fresh->Medium = (units[0] >> 6) | ((units[1] >> 6) << 2);
            fresh->Status = f[Fixed_Status_At];
            fresh->descmedium = MBus_Fixed_Media[fresh->Medium];
        } else {
            fresh->Manufacture = f[11] | (f[12] << 8);
            fresh->Version = f[13];
            fresh->Medium = f[14];
            fresh->Status = f[16];
            fresh->descmedium = Trova_Medium(fresh->Medium);
        }
        fresh->descManufacture = Trova_Man(fresh->Manufacture);
        slave = fresh.get();
        MBus_Slave_List.push_back(slave);
        fresh.release();  // the list owns it now
        position = static_cast<int>(MBus_Slave_List.size()) - 1;
    } else {
        if (Index >= static_cast<int>(MBus_Slave_List.size())) return -1;
        slave = dynamic_cast<TSlave_MBus*>(MBus_Slave_List[Index]);
        if (!slave) return -1;
    }
    if (fixed) {
        Decode_Fixed_Counters(slave->List_Var, f, Ans_Len, msbFirst);
        return position;
    }
    // The data records end before the checksum and the stop byte.
    Last_Frame = Decode_Data_Records(slave->List_Var, Ans_Len - Frame_Data_Start - 3, Ans_Array + Frame_Data_Start);
    return position;
}

void TMBusDecoder::Decode_Fixed_Counters(TVar_List& List, const Byte* Frame, int Frame_Len, bool Msb_First) {
    const TDateTime now = Now();
    const String datagiorno = DateToStr(now);
    const String tempo = TimeToStr(now);
    const Byte status = Frame[Fixed_Status_At];
    const auto units = Fixed_Field<2>(Frame, Fixed_Units_At, Msb_First);
    const Byte field = (status & Fixed_Status_Binary) ? 0x4 : 0xC;
    const int end = Frame_Len - 2;  // the checksum and the stop byte follow
    for (int c = 0; c < 2; ++c) {
        const int at = Fixed_Counters_At + c * Fixed_Counter_Length;
        auto record = std::make_unique<TVariable_MBus>();
        TVariable_MBus& v = *record;
        v.datagiorno = datagiorno;
        v.tempo = tempo;
        v.Real_Wireless_Var = true;
        v.FunctionFieldStr = MBus_Function_Fields[0];
        if (at + Fixed_Counter_Length > end) {
            // Kept so that the user sees where the frame stopped making sense.
            v.errata = true;
            v.sterror = Text_Not_Analysable;
            v.ValueStr = v.sterror;
            List.push_back(std::move(record));
            return;
        }
        Byte unit = units[c] & 0x3F;
        bool historic = (status & Fixed_Status_Historic) != 0;
        if (c == 1 && unit == MBus_Fixed_Unit_Historic) {
            unit = units[0] & 0x3F;
            historic = true;
        }
        const auto le = Fixed_Field<Fixed_Counter_Length>(Frame, at, Msb_First);
        const TMBus_Data_Field& coding = MBus_Data_Fields[field];
        v.dimension = field;
        v.Is_BCD = coding.BCD;
        v.DataFieldStr = coding.DataFieldStr;
        v.descdim = coding.descdim;
        v.nbyte = Fixed_Counter_Length;
        v.storage_number = historic ? 1 : 0;
        for (int i = 0; i < Fixed_Counter_Length; ++i) Append_Hex(v.totdati, Frame[at + i]);
        v.dato_A = static_cast<int>(le[0] | (le[1] << 8) | (le[2] << 16) | (static_cast<std::uint32_t>(le[3]) << 24));
        Set_Work_Areas(le.data(), Fixed_Counter_Length, nullptr, 0);
        const TMBus_Fixed_Unit& row = Find_Fixed_Unit(unit);
        v.type_data = row.Code < 0 ? No_Type : static_cast<Word>(row.Code);
        v.Type_Data_Vife = 0;
        v.Desc_Type_Data = row.Description;
        Set_Value_Text(v, Raw_Value(*this, field, 0, Fixed_Counter_Length), row.Exponent_Of(unit), String());
        List.push_back(std::move(record));
    }
}

bool TMBusDecoder::Decode_Data_Records(TVar_List& List, int Last, const Byte* Data) {
    if (!Data || Last < 0) return true;
    // One stamp for the whole frame or telegram.
    const TDateTime now = Now();
    const String datagiorno = DateToStr(now);
    const String tempo = TimeToStr(now);
    auto New_Record = [&] {
        auto record = std::make_unique<TVariable_MBus>();
        record->datagiorno = datagiorno;
        record->tempo = tempo;
        return record;
    };

    TReader in(Data, Last);
    while (in.More()) {
        TRaw_Record r;
        const TRead_Fault fault = Read_Record(in, r);

        if (fault != TRead_Fault::None) {
            // Kept so that the user sees where the frame stopped making sense.
            auto record = New_Record();
            Fill_Record(*record, r);
            record->errata = true;
            record->sterror = Text_Not_Analysable;
            record->ValueStr = record->sterror;
            TVariable_MBus& kept = *record;
            List.push_back(std::move(record));
            if (fault == TRead_Fault::Reserved_Length) {
                Set_Work_Areas(nullptr, 0, r.VIFEs.data(), r.Num_VIFE);
                Decode_VIF(r.VIF, r.Num_VIFE > 0 ? r.VIFEs[0] : 0, r.Data_Field(), r.LVAR, 0, kept);
            }
            return true;
        }

        switch (r.DIF) {
        case 0x0F:  // manufacturer-specific data to the end
            return true;
        case 0x1F:  // the same, and more records in a further frame
            return false;
        case 0x2F:  // idle filler
            if (MBusType == mtWireless) {
                auto record = New_Record();
                record->Real_Wireless_Var = false;
                record->DIF = Dollar_Hex(&r.DIF, 1, false);
                record->DataFieldStr = MBus_Data_Fields[0xF].DataFieldStr;
                List.push_back(std::move(record));
            }
            continue;
        default:
            break;
        }
        if (r.Data_Field() == 0xF) {
            if (r.DIF <= 0x7F) return true;  // a data type that cannot be analysed
            continue;                        // skipped with its header
        }
        if (r.Data_Field() == 0x8) return true;  // selection for readout
        if ((r.VIF & 0x7F) == 0x7E) return true;  // any VIF

        auto record = New_Record();
        Fill_Record(*record, r);
        TVariable_MBus& added = *record;
        List.push_back(std::move(record));
        Set_Work_Areas(r.Data, r.Length, r.VIFEs.data(), r.Num_VIFE);
        Decode_VIF(r.VIF, r.Num_VIFE > 0 ? r.VIFEs[0] : 0, r.Data_Field(), r.LVAR, r.Length, added);
    }
    return true;
}

void TMBusDecoder::Set_Work_Areas(const Byte* data, int length, const Byte* vifes, int numVife) {
    if (length > 0) std::memcpy(App_Data_Val.data(), data, length);
    if (App_Data_Used_ > length) std::fill(App_Data_Val.begin() + length, App_Data_Val.begin() + App_Data_Used_, 0);
    App_Data_Used_ = length;
    App_Vife_Val.fill(0);
    if (numVife > 0) std::memcpy(App_Vife_Val.data(), vifes, numVife);
}

// ---------------------------------------------------------------------------
// Value and unit

void TMBusDecoder::Decode_VIF(Byte VIF, Byte First_VIFE, Byte Data_Field, Byte LVAR, int Length,
                              TVariable_MBus& Record) {
    Data_Field &= 0x0F;
    const Byte* data = App_Data_Val.data();
    TRaw_Value raw = Raw_Value(*this, Data_Field, LVAR, Length);
    int exponent = 0;  // the powers of ten of the VIF and its extensions, together

    String description, valueText;
    const Byte code = VIF & 0x7F;
    const TMBus_Code_Range& primary = *Find_Code_Range(MBus_Primary_VIFs, code);  // the table covers every code
    const int type = primary.Code;
    int vifeCode = -1;
    description = primary.Text_Of(code);
    exponent += Exponent_Of(primary.Scale, code);
    // A time point that the meter marks as not valid shows no date.
    auto Date_Of = [&](const TTime_Point_Type& t) {
        if (t.Invalid(data)) {
            raw.Not_Valid = true;
            return String();
        }
        return t.Text(data);
    };
    if (primary.Kind == TMBus_Code_Kind::Time_Point) {
        if (const TTime_Point_Type* t = Find_Time_Point_Type(Data_Field, false)) {
            description = t->Description;
            valueText = Date_Of(*t);
        }
    } else if (primary.Kind == TMBus_Code_Kind::Plain_Text) {
        // The data are coded by the data field like any other; the text
        // after the VIF is their unit.
        if (!Record.VIF_ASCII.empty()) description += u" [" + Record.VIF_ASCII + u"]";
    }

    std::span<const TMBus_Code_Range> extension;
    if (VIF == 0xFD) extension = MBus_FD_Extensions;
    if (VIF == 0xFB) extension = MBus_FB_Extensions;
    if (!extension.empty()) {
        const Byte e = First_VIFE & 0x7F;
        if (const TMBus_Code_Range* row = Find_Code_Range(extension, e)) {
            description = row->Text_Of(e);
            vifeCode = row->Code_Of(e);
            exponent += Exponent_Of(row->Scale, e);
        } else {
            description = MBus_Reserved_Extension;
        }
    }

    // Which VIFEs add to the description: none after a manufacturer's VIF;
    // after an extension VIF the first one was its code.
    int i = -1;
    if ((VIF & 0x80) && VIF != 0xFF && VIF != 0xFE) i = extension.empty() ? 0 : (App_Vife_Val[0] & 0x80) ? 1 : -1;
    while (i >= 0 && i < Max_VIFEs) {
        Byte handled = App_Vife_Val[i];
        const Byte v = handled & 0x7F;
        const TMBus_Code_Range& row = *Find_Code_Range(MBus_VIFEs, v);  // the table covers every code
        if (row.Kind == TMBus_Code_Kind::Phase) {
            if (i == Max_VIFEs - 1) break;
            handled = App_Vife_Val[++i];
            for (const TMBus_Phase& phase : MBus_Phases)
                if (phase.Code == (handled & 0x7F)) description += phase.Text;
        } else {
            description += row.Text_Of(v);
            if (vifeCode == -1) vifeCode = row.Code_Of(v);
            exponent += Exponent_Of(row.Scale, v);
            if (row.Kind == TMBus_Code_Kind::Date) {
                const TTime_Point_Type* t = Find_Time_Point_Type(Data_Field, true);
                valueText = t ? Date_Of(*t) : String();
            }
        }
        if (!(handled & 0x80)) break;
        ++i;
    }

    Record.type_data = type < 0 ? No_Type : static_cast<Word>(type);
    Record.Type_Data_Vife = vifeCode < 0 ? 0 : vifeCode;
    Record.Desc_Type_Data = std::move(description);
    Set_Value_Text(Record, raw, exponent, std::move(valueText));
}
