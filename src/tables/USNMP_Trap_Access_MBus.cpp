#include "tables/USNMP_Trap_Access_MBus.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"

namespace {

const char16_t* const Community_Choices[] = {u"Tamrin", u"Velunor"};
const char16_t* const Type_Choices[] = {u"Int", u"String"};
constexpr std::span<const char16_t* const> No_Choices;

using K = TColKind;
// No file: the attribute names stay empty.
const TColumnDesc Columns[] = {
    {1, 1907, K::Normal, No_Choices, 0, 40, Window_Colour, u"", u""},
    {2, 1908, K::Normal, No_Choices, 0, 40, Window_Colour, u"", u""},
    {3, 1909, K::Normal, No_Choices, 0, 120, Window_Colour, u"", u""},
    {4, 1910, K::Normal, No_Choices, 0, 120, Window_Colour, u"", u""},
    {5, 1911, K::ComboEdit, Community_Choices, 15, 120, 0xE0FAFE, u"", u""},
    {6, 1912, K::ComboList, Type_Choices, 0, 60, 0xE0FAFE, u"", u""},
    {7, 1913, K::CheckBox, No_Choices, 0, 75, 0xA8FFA8, u"", u""},
    {8, 1914, K::CheckBox, No_Choices, 0, 60, 0xA8FFA8, u"", u""},
    {9, 1915, K::Normal, No_Choices, 0, 65, 0xA8FFA8, u"", u""},
    {10, 1916, K::Normal, No_Choices, 0, 95, 0xFFFFA8, u"", u""},
    {11, 1917, K::Normal, No_Choices, 15, 130, 0xD5D5FF, u"", u""},
    {12, 1918, K::Normal, No_Choices, 0, 120, 0xC9E4E4, u"", u""},
    {13, 1919, K::Normal, No_Choices, 0, 130, 0xFFFFFF, u"", u""},
};

constexpr int First_Hint = 1920;

}  // namespace

const TTableDesc SNMP_MBus_Table = {nullptr, nullptr, snmp_mbus_col::N_ID, false, 0, Columns};

String SNMP_MBus_Header_Hint(int row, int col) {
    if (row != 0 || col < 1 || col > 13) return String();
    return Lang_Table[First_Hint + col - 1];
}

bool SNMP_MBus_Controllo_dati(const IRowGrid& grid, std::vector<String>& SL_Check_Desc) {
    using namespace snmp_mbus_col;
    SL_Check_Desc.clear();
    const String& lead = Lang_Table[1933];
    for (int r = 1; r < grid.GetRowCount(); ++r) {
        // A network without objects leaves one empty row, which maps nothing.
        if (grid.GetCellEx(N_ID, r).empty()) continue;
        auto fail = [&](int text) {
            Row_Error(lead, r, Lang_Table[text]);
            return false;
        };
        if (Check_Name_Chars(grid.GetCellEx(Community, r), 0) != 0) return fail(1934);
        if (UpperCase(grid.GetCellEx(On_Timer, r)) == u"Y") {
            const int time = StrToIntDef(grid.GetCellEx(Time, r), -1);
            if (time < 1 || time > 1000000000) return fail(1935);
        }
        const String description = grid.GetCellEx(Description, r);
        if (Check_Name_Chars(description, 1) != 0) return fail(1936);
        SL_Check_Desc.push_back(description);
        Byte b0, b1, b2, b3;
        if (IP_Str_To_Bytes(grid.GetCellEx(IP, r), b0, b1, b2, b3)) return fail(1937);
    }
    return All_Different(SL_Check_Desc, Lang_Table[1938]);
}
