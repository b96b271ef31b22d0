#include "tables/USet_PDO_Access.h"

#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;
using K = TColKind;
using R = TCANopen_Rule_Kind;
using namespace pdo_col;

const TColumnDesc Receive_Columns[] = {
    {COB_ID, 401, K::Normal, No_Choices, 0, 65, 0xE0FAFE, u"COB-ID", nullptr},
    {Dimension, 402, K::Normal, No_Choices, 0, 65, 0xE0FAFE, u"Dimension", nullptr},
    {3, 403, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B1", nullptr},
    {4, 404, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B2", nullptr},
    {5, 405, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B3", nullptr},
    {6, 406, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B4", nullptr},
    {7, 407, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B5", nullptr},
    {8, 408, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B6", nullptr},
    {9, 409, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B7", nullptr},
    {10, 410, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B8", nullptr},
    {Time_Col, 411, K::Normal, No_Choices, 0, 65, 0xA8FFA8, u"TimeOut", nullptr},
    {R_Mnemonic, 412, K::Normal, No_Choices, 0, 168, 0xFFFFFF, u"Mnemonic", nullptr},
};
const TColumnDesc Transmit_Columns[] = {
    {COB_ID, 414, K::Normal, No_Choices, 0, 65, 0xE0FAFE, u"COB-ID", nullptr},
    {Dimension, 415, K::Normal, No_Choices, 0, 65, 0xE0FAFE, u"Dimension", nullptr},
    {3, 416, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B1", nullptr},
    {4, 417, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B2", nullptr},
    {5, 418, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B3", nullptr},
    {6, 419, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B4", nullptr},
    {7, 420, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B5", nullptr},
    {8, 421, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B6", nullptr},
    {9, 422, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B7", nullptr},
    {10, 423, K::Normal, No_Choices, 0, 45, 0xFCD6F4, u"Address_B8", nullptr},
    {Time_Col, 424, K::Normal, No_Choices, 0, 65, 0xA8FFA8, u"Send_Time", nullptr},
    {T_On_Change, 425, K::CheckBox, No_Choices, 0, 68, 0xA8FFA8, u"On_Change", nullptr},
    {T_Mnemonic, 426, K::Normal, No_Choices, 0, 105, 0xFFFFFF, u"Mnemonic", nullptr},
};

// A PDO is one CAN frame: an 11-bit identifier and up to 8 data bytes.
constexpr int Max_COB_ID = 0x7FF, Max_Time = 100000000;
const TCANopen_Rule Receive_Rules[] = {
    {R::Range, COB_ID, 0, Max_COB_ID, 428},
    {R::Range, Dimension, 1, 8, 429},
    {R::Addresses, Address_B1, 0, 0, 430},
    {R::Range, Time_Col, 0, Max_Time, 438},
};
const TCANopen_Rule Transmit_Rules[] = {
    {R::Range, COB_ID, 0, Max_COB_ID, 439},
    {R::Range, Dimension, 1, 8, 440},
    {R::Addresses, Address_B1, 0, 0, 441},
    {R::Range, Time_Col, 0, Max_Time, 449},
};

}  // namespace

const TTableDesc PDO_Receive_Table = {u"Receive_PDO", u"row", COB_ID, true, PDO_Row_Count, Receive_Columns};
const TTableDesc PDO_Transmit_Table = {u"Transmit_PDO", u"row", COB_ID, true, PDO_Row_Count, Transmit_Columns};

const TCANopen_Editor PDO_Editor = {
    u"FSet_PDO_Access",
    u"EtherNetIP_to_SDO_CANopen",
    {PDO_Receive_Table, Dimension, Receive_Rules},
    {PDO_Transmit_Table, Dimension, Transmit_Rules},
    true,
    427,
    392,
    413,
    450,
    {u"TS_Receive_PDO", u"TS_Transmit_PDO"},
    &Path_PDO_CANopen,
};

TFSet_PDO_Access* FSet_PDO_Access = nullptr;

TFSet_PDO_Access::TFSet_PDO_Access(TComponent* AOwner)
    : TCANopen_Access_Form(AOwner, PDO_Editor), TS_Receive_PDO(Sheet(0)), TS_Transmit_PDO(Sheet(1)) {}
