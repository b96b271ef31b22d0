#include "tables/USet_SDO_Server_Access.h"

#include "shell/Globals.h"

#include <array>

namespace {

constexpr std::span<const char16_t* const> No_Choices;
using K = TColKind;
using R = TCANopen_Rule_Kind;
using namespace sdo_server_col;

// The two tables differ only in their texts: headers from h + 1, check
// messages from t.
constexpr std::array<TColumnDesc, 8> Columns(int h) {
    return {{
        {Index, h + 1, K::Normal, No_Choices, 0, 65, 0xE0FAFE, u"Index", nullptr},
        {SubIndex, h + 2, K::Normal, No_Choices, 0, 61, 0xE0FAFE, u"SubIndex", nullptr},
        {NByte, h + 3, K::Normal, No_Choices, 0, 55, 0xE0FAFE, u"NByte", nullptr},
        {Address_B1, h + 4, K::Normal, No_Choices, 0, 80, 0xFCD6F4, u"Address_B1", nullptr},
        {Address_B2, h + 5, K::Normal, No_Choices, 0, 80, 0xFCD6F4, u"Address_B2", nullptr},
        {Address_B3, h + 6, K::Normal, No_Choices, 0, 80, 0xFCD6F4, u"Address_B3", nullptr},
        {Address_B4, h + 7, K::Normal, No_Choices, 0, 80, 0xFCD6F4, u"Address_B4", nullptr},
        {Mnemonic, h + 8, K::Normal, No_Choices, 0, 170, 0xFFFFFF, u"Mnemonic", nullptr},
    }};
}
constexpr std::array<TCANopen_Rule, 5> Rules(int t) {
    return {{
        {R::Range, Index, 0x2000, 0x7FFF, t},
        {R::Not_PDO_Data_Index, Index, 0, 0, t + 1},
        {R::Range, SubIndex, 0, 255, t + 2},
        {R::One_Two_Or_Four, NByte, 0, 0, t + 3},
        {R::Addresses, Address_B1, 0, 0, t + 4},
    }};
}

constexpr auto Read_Columns = Columns(510);
constexpr auto Write_Columns = Columns(519);
constexpr auto Read_Rules = Rules(529);
constexpr auto Write_Rules = Rules(537);

}  // namespace

const TTableDesc SDO_Server_Read_Table = {u"SDO_Read", u"row", Index, true, SDO_Server_Row_Count, Read_Columns};
const TTableDesc SDO_Server_Write_Table = {u"SDO_Write", u"row", Index, true, SDO_Server_Row_Count, Write_Columns};

const TCANopen_Editor SDO_Server_Editor = {
    u"FSet_SDO_Server_Access",
    u"EtherNetIP_to_SDO_CANopen",
    {SDO_Server_Read_Table, NByte, Read_Rules},
    {SDO_Server_Write_Table, NByte, Write_Rules},
    false,
    528,
    502,
    519,
    545,
    {u"TS_SDO_Read", u"TS_SDO_Write"},
    &Path_SDO_Server_CANopen,
};

TFSet_SDO_Server_Access* FSet_SDO_Server_Access = nullptr;

TFSet_SDO_Server_Access::TFSet_SDO_Server_Access(TComponent* AOwner)
    : TCANopen_Access_Form(AOwner, SDO_Server_Editor), TS_SDO_Read(Sheet(0)), TS_SDO_Write(Sheet(1)) {}
