#include "tables/UModbus_TCP_Master_Set_Access.h"

#include "shell/Globals.h"

namespace {

using namespace tcpm_col;
using K = TColKind;

// Texts are the editor's own list from its base index, except the Swap,
// Swap Word and Format SNMP texts, which come from the shared part of the table.
constexpr int L = TFModbus_TCP_Master_Set_Access::TCP_Master_Text_Base;

const char16_t* const Read_Types[] = {u"Coil Status", u"Input Status", u"Holding Register", u"Input Register"};
const char16_t* const Write_Types[] = {u"Coil Status", u"Holding Register"};
const char16_t* const Bit_Choices[] = {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"};
const char16_t* const Format_Choices[] = {u"Byte",
                                          u"Int 1 byte",
                                          u"Int 2 bytes",
                                          u"Int 4 bytes",
                                          u"Int 8 bytes",
                                          u"Octet String",
                                          u"Float to Int 1 byte",
                                          u"Float to Int 2 bytes",
                                          u"Float to Int 4 bytes",
                                          u"Float to Int 8 bytes"};
constexpr std::span<const char16_t* const> No_Choices;

const TColumnDesc Read_Columns[] = {
    {IP, L + 9, K::Normal, No_Choices, 0, 101, 0xE0FAFE, u"IP_Address", nullptr},
    {Port, L + 10, K::Normal, No_Choices, 0, 45, 0xE0FAFE, u"Port", nullptr},
    {Slave, L + 11, K::Normal, No_Choices, 0, 55, 0xE0FAFE, u"Slave_ID", nullptr},
    {Type, L + 12, K::ComboList, Read_Types, 0, 100, 0xE0FAFE, u"Type", nullptr},
    {Address, L + 13, K::Normal, No_Choices, 0, 55, 0xE0FAFE, u"Address", nullptr},
    {NPoint, L + 14, K::Normal, No_Choices, 0, 45, 0xE0FAFE, u"NPoint", nullptr},
    {Poll, L + 15, K::Normal, No_Choices, 0, 60, 0xA8FFA8, u"PollTime", nullptr},
    {R_Max_Error, L + 16, K::Normal, No_Choices, 0, 64, 0xA8FFA8, u"MaxError", nullptr},
    {R_Position, L + 17, K::ComboList, No_Choices, 0, 60, 0xFCD6F4, u"Position", nullptr},
    {R_Bit, L + 18, K::ComboList, Bit_Choices, 0, 60, 0xFCD6F4, u"Bit", nullptr},
    {R_Swap, 911, K::CheckBox, No_Choices, 0, 40, 0xFFFFA8, u"Swap", u"N"},
    {R_Swap_Word, 953, K::CheckBox, No_Choices, 0, 80, 0xFFFFA8, u"Swap_Word", u"N"},
    {R_Format, 913, K::ComboList, Format_Choices, 0, 140, 0xFFD8B0, u"Format_SNMP", u"Byte"},
    {R_Mnemonic, L + 19, K::Normal, No_Choices, 0, 144, 0xFFFFFF, u"Mnemonic", nullptr},
};
const std::vector<TColumnDesc> Read_Columns_No_Format = Without_Column(Read_Columns, R_Format);

const TColumnDesc Write_Columns[] = {
    {IP, L + 21, K::Normal, No_Choices, 0, 101, 0xE0FAFE, u"IP_Address", nullptr},
    {Port, L + 22, K::Normal, No_Choices, 0, 45, 0xE0FAFE, u"Port", nullptr},
    {Slave, L + 23, K::Normal, No_Choices, 0, 55, 0xE0FAFE, u"Slave_ID", nullptr},
    {Type, L + 24, K::ComboList, Write_Types, 0, 100, 0xE0FAFE, u"Type", nullptr},
    {Address, L + 25, K::Normal, No_Choices, 0, 55, 0xE0FAFE, u"Address", nullptr},
    {NPoint, L + 26, K::Normal, No_Choices, 0, 45, 0xE0FAFE, u"NPoint", nullptr},
    {Poll, L + 27, K::Normal, No_Choices, 0, 60, 0xA8FFA8, u"PollTime", nullptr},
    // One pixel wider than designed: the bold caption "On Change" needs it here.
    {W_On_Change, L + 28, K::CheckBox, No_Choices, 0, 67, 0xA8FFA8, u"OnChange", nullptr},
    {W_Max_Error, L + 29, K::Normal, No_Choices, 0, 62, 0xA8FFA8, u"MaxError", nullptr},
    {W_Position, L + 30, K::ComboList, No_Choices, 0, 55, 0xFCD6F4, u"Position", nullptr},
    {W_Bit, L + 31, K::ComboList, Bit_Choices, 0, 55, 0xFCD6F4, u"Bit", nullptr},
    {W_Swap, 912, K::CheckBox, No_Choices, 0, 40, 0xFFFFA8, u"Swap", u"N"},
    {W_Swap_Word, 954, K::CheckBox, No_Choices, 0, 80, 0xFFFFA8, u"Swap_Word", u"N"},
    {W_Format, 914, K::ComboList, Format_Choices, 0, 140, 0xFFD8B0, u"Format_SNMP", u"Byte"},
    {W_Mnemonic, L + 32, K::Normal, No_Choices, 0, 90, 0xFFFFFF, u"Mnemonic", nullptr},
};
const std::vector<TColumnDesc> Write_Columns_No_Format = Without_Column(Write_Columns, W_Format);

const TRequest_Table Read_Table = {
    {u"Modbus_Read", u"row", IP, true, TCP_Master_Row_Count, Read_Columns},
    {u"Modbus_Read", u"row", IP, true, TCP_Master_Row_Count, Read_Columns_No_Format},
    {{IP, Port, Slave, Type, Address, NPoint, Poll, R_Max_Error, R_Position, R_Bit, R_Format},
     L + 34, L + 35, L + 36, 0, 255, L + 37, true, L + 38, L + 39, 2000, 125, L + 40, 1, L + 41, L + 42, L + 43, L + 44,
     915},
    L + 8,
    L + 6,
};

const TRequest_Table Write_Table = {
    {u"Modbus_Write", u"row", IP, true, TCP_Master_Row_Count, Write_Columns},
    {u"Modbus_Write", u"row", IP, true, TCP_Master_Row_Count, Write_Columns_No_Format},
    {{IP, Port, Slave, Type, Address, NPoint, Poll, W_Max_Error, W_Position, W_Bit, W_Format},
     L + 45, L + 46, L + 47, 0, 255, L + 48, false, L + 49, L + 50, 1968, 123, L + 51, 0, L + 52, L + 53, L + 54, L + 55,
     916},
    L + 20,
    L + 7,
};

}  // namespace

const TModbus_Editor_Desc TCP_Master_Desc = {
    u"FModbus_TCP_Master_Set_Access",
    u"PROFINET_Master_to_Modbus_TCP_Master",
    TTableEditor::Modbus_TCP_Master,
    &Path_ModbusTCPM_SetAccess,
    TCP_Master_Row_Count,
    Read_Table,
    Write_Table,
    {19},
    19,
    u"MODBUS_TCP_MASTER_NB_IN",
    u"MODBUS_TCP_MASTER_NB_OUT",
    980,
    980,
    1120,
    false,
    L + 0,
    L + 1,
    L + 33,
    L + 56,
    {L + 2, L + 3, L + 4, L + 5, 0, 0},
};

TFModbus_TCP_Master_Set_Access* FModbus_TCP_Master_Set_Access = nullptr;

TFModbus_TCP_Master_Set_Access::TFModbus_TCP_Master_Set_Access(TComponent* AOwner)
    : TModbus_Request_Form(AOwner, TCP_Master_Desc) {}
