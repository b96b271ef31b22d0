#include "tables/USet_SDO_Client_Access.h"

#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;
using K = TColKind;
using R = TCANopen_Rule_Kind;
using namespace sdo_client_col;

const TColumnDesc Read_Columns[] = {
    {Device_ID, 460, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"Device_ID", nullptr},
    {Index, 461, K::Normal, No_Choices, 0, 55, 0xE0FAFE, u"Index", nullptr},
    {SubIndex, 462, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"SubIndex", nullptr},
    {NByte, 463, K::Normal, No_Choices, 0, 45, 0xE0FAFE, u"NByte", nullptr},
    {Poll_Time, 464, K::Normal, No_Choices, 0, 60, 0xA8FFA8, u"Poll_Time", nullptr},
    {6, 465, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B1", nullptr},
    {7, 466, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B2", nullptr},
    {8, 467, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B3", nullptr},
    {9, 468, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B4", nullptr},
    {R_Mnemonic, 469, K::Normal, No_Choices, 0, 163, 0xFFFFFF, u"Mnemonic", nullptr},
};
const TColumnDesc Write_Columns[] = {
    {Device_ID, 471, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"Device_ID", nullptr},
    {Index, 472, K::Normal, No_Choices, 0, 55, 0xE0FAFE, u"Index", nullptr},
    {SubIndex, 473, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"SubIndex", nullptr},
    {NByte, 474, K::Normal, No_Choices, 0, 45, 0xE0FAFE, u"NByte", nullptr},
    {Poll_Time, 475, K::Normal, No_Choices, 0, 60, 0xA8FFA8, u"Poll_Time", nullptr},
    {W_On_Change, 476, K::CheckBox, No_Choices, 0, 68, 0xA8FFA8, u"On_Change", nullptr},
    {7, 477, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B1", nullptr},
    {8, 478, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B2", nullptr},
    {9, 479, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B3", nullptr},
    {10, 480, K::Normal, No_Choices, 0, 70, 0xFCD6F4, u"Address_B4", nullptr},
    {W_Mnemonic, 481, K::Normal, No_Choices, 0, 95, 0xFFFFFF, u"Mnemonic", nullptr},
};

// A write may be sent once (Poll Time 0); a read must be polled.
constexpr int Max_Poll_Time = 100000000;
const TCANopen_Rule Read_Rules[] = {
    {R::Range, Device_ID, 1, 127, 483},
    {R::Range, Index, 0x1000, 0xFFFF, 484},
    {R::Range, SubIndex, 0, 255, 485},
    {R::One_Two_Or_Four, NByte, 0, 0, 486},
    {R::Range, Poll_Time, 1, Max_Poll_Time, 487},
    {R::Addresses, R_Address_B1, 0, 0, 488},
};
const TCANopen_Rule Write_Rules[] = {
    {R::Range, Device_ID, 1, 127, 492},
    {R::Range, Index, 0x1000, 0xFFFF, 493},
    {R::Range, SubIndex, 0, 255, 494},
    {R::One_Two_Or_Four, NByte, 0, 0, 495},
    {R::Range, Poll_Time, 0, Max_Poll_Time, 496},
    {R::Addresses, W_Address_B1, 0, 0, 497},
};

}  // namespace

const TTableDesc SDO_Client_Read_Table = {u"SDO_Read", u"row", Device_ID, true, SDO_Client_Row_Count, Read_Columns};
const TTableDesc SDO_Client_Write_Table = {u"SDO_Write", u"row", Device_ID, true, SDO_Client_Row_Count,
                                           Write_Columns};

const TCANopen_Editor SDO_Client_Editor = {
    u"FSet_SDO_Client_Access",
    u"EtherNetIP_to_SDO_CANopen",
    {SDO_Client_Read_Table, NByte, Read_Rules},
    {SDO_Client_Write_Table, NByte, Write_Rules},
    true,
    482,
    451,
    470,
    501,
    {u"TS_SDO_Read", u"TS_SDO_Write"},
    &Path_SDO_Client_CANopen,
};

TFSet_SDO_Client_Access* FSet_SDO_Client_Access = nullptr;

TFSet_SDO_Client_Access::TFSet_SDO_Client_Access(TComponent* AOwner)
    : TCANopen_Access_Form(AOwner, SDO_Client_Editor), TS_SDO_Read(Sheet(0)), TS_SDO_Write(Sheet(1)) {}
