#include "tables/USetAccess.h"

#include "shell/Globals.h"

namespace {

using namespace setaccess_col;
using K = TColKind;

const char16_t* const Read_Types[] = {u"Coil Status", u"Input Status", u"Holding Register", u"Input Register"};
const char16_t* const Write_Types[] = {u"Coil Status", u"Holding Register"};
const char16_t* const Bit_Choices[] = {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"};
const char16_t* const Format_Choices[] = {u"Byte",         u"Int 1 byte",          u"Int 2 bytes",
                                          u"Int 4 bytes",  u"Octet String",        u"Float to Int 1 byte",
                                          u"Float to Int 2 bytes", u"Float to Int 4 bytes"};
// The Position choices are filled on show from the sizes of the areas.
constexpr std::span<const char16_t* const> No_Choices;

const TColumnDesc Read_Columns[] = {
    {Slave, 256, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"Slave_ID", nullptr},
    {Type, 257, K::ComboList, Read_Types, 0, 115, 0xE0FAFE, u"Type", nullptr},
    {Address, 258, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"Address", nullptr},
    {NPoint, 259, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"NPoint", nullptr},
    {Poll, 260, K::Normal, No_Choices, 0, 64, 0xA8FFA8, u"PollTime", nullptr},
    {R_Max_Error, 261, K::Normal, No_Choices, 0, 64, 0xA8FFA8, u"MaxError", nullptr},
    {R_Position, 262, K::ComboList, No_Choices, 0, 61, 0xFCD6F4, u"Position", nullptr},
    {R_Bit, 263, K::ComboList, Bit_Choices, 0, 64, 0xFCD6F4, u"Bit", nullptr},
    {R_Swap, 812, K::CheckBox, No_Choices, 0, 40, 0xFFFFA8, u"Swap", u"N"},
    {R_Swap_Word, 951, K::CheckBox, No_Choices, 0, 80, 0xFFFFA8, u"Swap_Word", u"N"},
    {R_Format, 907, K::ComboList, Format_Choices, 0, 140, 0xFFD8B0, u"Format_SNMP", u"Byte"},
    {R_Mnemonic, 264, K::Normal, No_Choices, 0, 268, 0xFFFFFF, u"Mnemonic", nullptr},
};
const std::vector<TColumnDesc> Read_Columns_No_Format = Without_Column(Read_Columns, R_Format);

const TColumnDesc Write_Columns[] = {
    {Slave, 266, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"Slave_ID", nullptr},
    {Type, 267, K::ComboList, Write_Types, 0, 115, 0xE0FAFE, u"Type", nullptr},
    {Address, 268, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"Address", nullptr},
    {NPoint, 269, K::Normal, No_Choices, 0, 60, 0xE0FAFE, u"NPoint", nullptr},
    {Poll, 270, K::Normal, No_Choices, 0, 64, 0xA8FFA8, u"PollTime", nullptr},
    {W_On_Change, 271, K::CheckBox, No_Choices, 0, 68, 0xA8FFA8, u"OnChange", nullptr},
    {W_Max_Error, 272, K::Normal, No_Choices, 0, 64, 0xA8FFA8, u"MaxError", nullptr},
    {W_Position, 273, K::ComboList, No_Choices, 0, 64, 0xFCD6F4, u"Position", nullptr},
    {W_Bit, 274, K::ComboList, Bit_Choices, 0, 64, 0xFCD6F4, u"Bit", nullptr},
    {W_Swap, 813, K::CheckBox, No_Choices, 0, 40, 0xFFFFA8, u"Swap", u"N"},
    {W_Swap_Word, 952, K::CheckBox, No_Choices, 0, 80, 0xFFFFA8, u"Swap_Word", u"N"},
    {W_Format, 908, K::ComboList, Format_Choices, 0, 140, 0xFFD8B0, u"Format_SNMP", u"Byte"},
    {W_Force_F16, 1827, K::CheckBox, No_Choices, 0, 65, 0xD5D5FF, u"Force_F16", u"N"},
    {W_Mnemonic, 275, K::Normal, No_Choices, 0, 132, 0xFFFFFF, u"Mnemonic", nullptr},
};
const std::vector<TColumnDesc> Write_Columns_No_Format = Without_Column(Write_Columns, W_Format);

const TRequest_Table Read_Table = {
    {u"Modbus_Read", u"row", Slave, true, SetAccess_Row_Count, Read_Columns},
    {u"Modbus_Read", u"row", Slave, true, SetAccess_Row_Count, Read_Columns_No_Format},
    {{-1, -1, Slave, Type, Address, NPoint, Poll, R_Max_Error, R_Position, R_Bit, R_Format},
     0, 0, 277, 1, 247, 278, true, 279, 280, 2000, 125, 281, 1, 282, 283, 284, 285, 909},
    255,
    253,
};

const TRequest_Table Write_Table = {
    {u"Modbus_Write", u"row", Slave, true, SetAccess_Row_Count, Write_Columns},
    {u"Modbus_Write", u"row", Slave, true, SetAccess_Row_Count, Write_Columns_No_Format},
    {{-1, -1, Slave, Type, Address, NPoint, Poll, W_Max_Error, W_Position, W_Bit, W_Format},
     0, 0, 286, 0, 247, 287, false, 288, 289, 1968, 123, 290, 0, 291, 292, 293, 294, 910},
    265,
    254,
};

}  // namespace

const TModbus_Editor_Desc SetAccess_Desc = {
    u"FSetAccess",
    u"EtherNetIP_to_Modbus",
    TTableEditor::Modbus_Master,
    &Path_ModbusM_SetAccess,
    SetAccess_Row_Count,
    Read_Table,
    Write_Table,
    {18, 30, 1018},
    18,
    u"MODBUS_MASTER_NB_IN",
    u"MODBUS_MASTER_NB_OUT",
    1020,
    992,
    1132,
    true,
    247,
    248,
    276,
    295,
    {249, 250, 251, 252, 1825, 1826},
};

TFSetAccess* FSetAccess = nullptr;

TFSetAccess::TFSetAccess(TComponent* AOwner) : TModbus_Request_Form(AOwner, SetAccess_Desc) {
    Btn_CopyRow = Make_Editor_Button(P_Button, u"Btn_CopyRow", 488);
    Btn_PasteRow = Make_Editor_Button(P_Button, u"Btn_PasteRow", 606);
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsertRowClick(s); };
    Btn_OK->OnClick = [this](TObject* s) { bitbtn1Click(s); };
    Btn_CopyRow->OnClick = [this](TObject* s) { Btn_CopyRowClick(s); };
    Btn_PasteRow->OnClick = [this](TObject* s) { Btn_PasteRowClick(s); };
}

void TFSetAccess::Show_Done() {
    Do_Copy_Read = false;
    Do_Copy_Write = false;
}

void TFSetAccess::Btn_CopyRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Grid_Copy_Row(Rows(g), g->Row());
    Do_Copy_Read = g == ACG_Modbus_Read;
    Do_Copy_Write = !Do_Copy_Read;
}

void TFSetAccess::Btn_PasteRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Grid_Paste_Row(Rows(g), g->Row(), g == ACG_Modbus_Read ? Do_Copy_Read : Do_Copy_Write);
}
