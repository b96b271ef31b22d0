#include "tables/USNMP_Trap_Access_MBus.h"

#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"

#include <algorithm>

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
            const int time = StrToIntDef(grid.GetCellEx(Trap_Time, r), -1);
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

TFSNMP_Trap_Access_MBus* FSNMP_Trap_Access_MBus = nullptr;

TFSNMP_Trap_Access_MBus::TFSNMP_Trap_Access_MBus(TComponent* AOwner)
    : TTable_Editor_Form(AOwner, u"FSNMP_Trap_Access_MBus", 1256, 337) {
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    // The filler sets the rows; one empty row until then.
    ACG_SNMP_Read = Make_Table_Grid(this, u"ACG_SNMP_Read", SNMP_MBus_Table, 1);
    // Type is always "String", which the filler does not read back.
    for (int c : {snmp_mbus_col::N_ID, snmp_mbus_col::V_ID, snmp_mbus_col::Node, snmp_mbus_col::Variable,
                  snmp_mbus_col::Type, snmp_mbus_col::NumBits})
        ACG_SNMP_Read->Columns().Items(c)->SetReadOnly(true);
    rows_ = std::make_unique<TColumnGridRows>(*ACG_SNMP_Read);
    ACG_SNMP_Read->OnKeyPress = [this](TObject* s, Char& k) { ACG_SNMP_ReadKeyPress(s, k); };
    ACG_SNMP_Read->OnDblClickCell = [this](TObject* s, int r, int c) { ACG_SNMP_ReadDblClickCell(s, r, c); };
    Show_Grid_Hints(ACG_SNMP_Read,
                    [this](TObject* s, int r, int c, String& h) { ACG_SNMP_ReadGridHint(s, r, c, h); });
    OnCreate = [this](TObject* s) { FormCreate(s); };
}

TFSNMP_Trap_Access_MBus::~TFSNMP_Trap_Access_MBus() = default;

void TFSNMP_Trap_Access_MBus::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientHeight(337);
    SetClientWidth(1256);
    Hide_Columns();
    Set_Lang();
}

void TFSNMP_Trap_Access_MBus::Hide_Columns() { Show_Columns(ACG_SNMP_Read, SNMP_MBus_Hidden); }

void TFSNMP_Trap_Access_MBus::Set_Lang() {
    SetCaption(Lang_Table[1900]);
    L_SW_Desc->SetCaption(Lang_Table[1901]);
    Btn_OK->SetCaption(Lang_Table[1902]);
    Btn_Cancel->SetCaption(Lang_Table[1903]);
    Btn_OK->SetHint(Lang_Table[1904]);
    Btn_Cancel->SetHint(Lang_Table[1905]);
    Set_Headers(ACG_SNMP_Read, SNMP_MBus_Table, 1906);
    Hint_SNMP.clear();
    for (int c = 1; c <= 13; ++c) Hint_SNMP.push_back(SNMP_MBus_Header_Hint(0, c));
}

bool TFSNMP_Trap_Access_MBus::Controllo_dati() { return SNMP_MBus_Controllo_dati(*rows_, SL_Check_Desc); }

void TFSNMP_Trap_Access_MBus::Btn_OKClick(TObject*) {
    if (Controllo_dati()) SetModalResult(mrOk);
}

void TFSNMP_Trap_Access_MBus::ACG_SNMP_ReadKeyPress(TObject*, Char& Key) { Grid_Enter_Next_Cell(*rows_, Key); }

void TFSNMP_Trap_Access_MBus::ACG_SNMP_ReadDblClickCell(TObject*, int ARow, int ACol) {
    Grid_DblClick_Auto_Size(*rows_, ARow, ACol);
}

void TFSNMP_Trap_Access_MBus::ACG_SNMP_ReadGridHint(TObject*, int ARow, int ACol, String& hintstr) {
    // The hint follows the real column, so hidden columns keep their hints' places.
    const int c = ACG_SNMP_Read->RealColIndex(ACol);
    const bool header = ARow == 0 && c >= 1 && c <= static_cast<int>(Hint_SNMP.size());
    hintstr = header ? Hint_SNMP[static_cast<std::size_t>(c - 1)] : String();
}

bool TFSNMP_Trap_Access_MBus::Edit_Rows(std::vector<std::array<String, 14>>& Rows) {
    TExColumnGrid* g = ACG_SNMP_Read;
    g->SetRowCount(2);
    for (int c = 0; c < 14; ++c) g->SetCellEx(c, 1, String());
    g->SetRowCount(std::max<int>(static_cast<int>(Rows.size()), 1) + 1);
    for (std::size_t r = 0; r < Rows.size(); ++r)
        for (int c = 0; c < 14; ++c) g->SetCellEx(c, static_cast<int>(r) + 1, Rows[r][static_cast<std::size_t>(c)]);
    if (ShowModal() != mrOk) return false;
    for (std::size_t r = 0; r < Rows.size(); ++r)
        for (int c = 1; c < 14; ++c) Rows[r][static_cast<std::size_t>(c)] = g->GetCellEx(c, static_cast<int>(r) + 1);
    return true;
}
