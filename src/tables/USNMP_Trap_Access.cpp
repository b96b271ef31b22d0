#include "tables/USNMP_Trap_Access.h"

#include "descfiles/USNMP_MIB.h"
#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ParGenFile.h"
#include "shell/ULanguage.h"

#include <algorithm>
#include <optional>

namespace {

const char16_t* const Community_Choices[] = {u"Tamrin", u"Velunor"};
const char16_t* const Type_Choices[] = {u"Int", u"String"};
const char16_t* const Bit_Choices[] = {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"};
const char16_t* const Conversion_Choices[] = {u"None",       u"Float",      u"Float * 10", u"Float * 100",
                                              u"Float * 1000", u"Float / 10", u"Float / 100", u"Float / 1000",
                                              u"Int * 10",   u"Int * 100",  u"Int * 1000"};
// The Position choices are filled on show from the map's size.
constexpr std::span<const char16_t* const> No_Choices;

using K = TColKind;
// Widths of Mnemonic are set by the column set-up.
const TColumnDesc Read_Columns[] = {
    {1, 1017, K::CheckBox, No_Choices, 0, 50, 0xFFD8B0, u"Enable", u"Y"},
    {2, 1018, K::ComboEdit, Community_Choices, 15, 130, 0xE0FAFE, u"Community_Name", u""},
    {3, 1019, K::ComboList, Type_Choices, 0, 60, 0xE0FAFE, u"Type", u""},
    {4, 1020, K::CheckBox, No_Choices, 0, 75, 0xA8FFA8, u"On_Change", u"N"},
    {5, 1021, K::CheckBox, No_Choices, 0, 50, 0xA8FFA8, u"On_Command", u"N"},
    {6, 1022, K::CheckBox, No_Choices, 0, 60, 0xA8FFA8, u"On_Timer", u"N"},
    {7, 1023, K::Normal, No_Choices, 0, 65, 0xA8FFA8, u"Time", u""},
    {8, 1024, K::ComboList, No_Choices, 0, 60, 0xFCD6F4, u"Position", u""},
    {9, 1025, K::ComboList, Bit_Choices, 0, 60, 0xFCD6F4, u"Bit", u""},
    {10, 1026, K::Normal, No_Choices, 0, 95, 0xFFFFA8, u"NumBits", u""},
    {11, 1027, K::Normal, No_Choices, 15, 130, 0xD5D5FF, u"Description", u""},
    {12, 1028, K::Normal, No_Choices, 0, 120, 0xC9E4E4, u"IP_Address", u""},
    {13, 1081, K::ComboList, Conversion_Choices, 0, 100, 0xFFD8B0, u"Conversion", u"None"},
    {14, 1029, K::Normal, No_Choices, 0, 230, 0xFFFFFF, u"Mnemonic", u""},
};
const TColumnDesc Write_Columns[] = {
    {1, 1031, K::CheckBox, No_Choices, 0, 50, 0xFFD8B0, u"Enable", u"Y"},
    {2, 1032, K::ComboEdit, Community_Choices, 15, 130, 0xE0FAFE, u"Community_Name", u""},
    {3, 1033, K::ComboList, Type_Choices, 0, 60, 0xE0FAFE, u"Type", u""},
    {4, 1034, K::ComboList, No_Choices, 0, 60, 0xFCD6F4, u"Position", u""},
    {5, 1035, K::ComboList, Bit_Choices, 0, 60, 0xFCD6F4, u"Bit", u""},
    {6, 1036, K::Normal, No_Choices, 0, 95, 0xFFFFA8, u"NumBits", u""},
    {7, 1037, K::Normal, No_Choices, 15, 130, 0xD5D5FF, u"Description", u""},
    {8, 1082, K::ComboList, Conversion_Choices, 0, 100, 0xFFD8B0, u"Conversion", u"None"},
    {9, 1038, K::Normal, No_Choices, 0, 600, 0xFFFFFF, u"Mnemonic", u""},
};

// The column set-up by model.
enum class TShow { Hidden, Shown, By_Map_Type };
struct TModel_Setup {
    std::vector<int> Models;  // empty: every other SNMP model
    bool On_CMD;
    TShow Conversion;
    int Mnemonic_Width_Hidden;  // read Mnemonic width while Conversion is hidden
    bool Write_Tab;
};
const TModel_Setup Model_Setups[] = {
    {{20}, false, TShow::Hidden, 280, true},
    {{17}, true, TShow::By_Map_Type, 280, true},
    {{18, 19}, false, TShow::By_Map_Type, 280, true},
    {{21}, false, TShow::Shown, 280, false},
    {{30, 33, 35, 1018}, false, TShow::Shown, 280, true},
    {{}, true, TShow::Hidden, 230, true},
};
constexpr int Mnemonic_Width_Shown_Read = 180, Mnemonic_Width_Shown_Write = 500, Mnemonic_Width_Hidden_Write = 600;

struct TMap_Texts {
    const IRowGrid& Grid;
    int Community, Type, Time, Position, Bit, Bit_String, Bits_Int, Bytes_String, Description, IP, Conversion;
    int Col_Position, Col_Bit, Col_NumBits, Col_Description, Col_Conversion;
    bool Has_Time_And_IP;
    int Clash;  // the message of a description that cannot name its object in the MIB
};

bool Check_Map(const TMap_Texts& m, std::vector<String>& SL_Check_Desc, bool conversionShown) {
    using namespace snmp_col;
    const IRowGrid& g = m.Grid;
    const String& lead = Lang_Table[1060];
    for (int r = 1; r < g.GetRowCount(); ++r) {
        const String community = g.GetCellEx(Community, r);
        if (Trim(community).empty()) break;
        if (UpperCase(g.GetCellEx(Enable, r)) != u"Y") continue;
        auto fail = [&](int text) {
            Row_Error(lead, r, Lang_Table[text]);
            return false;
        };
        if (Check_Name_Chars(community, 0) != 0) return fail(m.Community);
        const String type = g.GetCellEx(Type, r);
        if (Trim(type).empty()) return fail(m.Type);
        const bool is_int = UpperCase(type) == u"INT";
        if (m.Has_Time_And_IP && UpperCase(g.GetCellEx(R_On_Timer, r)) == u"Y") {
            const int time = StrToIntDef(g.GetCellEx(R_Time, r), -1);
            if (time < 1 || time > 1000000000) return fail(m.Time);
        }
        if (Trim(g.GetCellEx(m.Col_Position, r)).empty()) return fail(m.Position);
        const String bit = Trim(g.GetCellEx(m.Col_Bit, r));
        if (bit.empty()) return fail(m.Bit);
        if (!is_int && bit != u"0") return fail(m.Bit_String);
        const int bits = StrToIntDef(g.GetCellEx(m.Col_NumBits, r), -1);
        if (is_int && (bits < 1 || bits > 64)) return fail(m.Bits_Int);
        if (!is_int && (bits < 1 || bits > 16)) return fail(m.Bytes_String);
        const String description = g.GetCellEx(m.Col_Description, r);
        if (Check_Name_Chars(description, 1) != 0) return fail(m.Description);
        // Managers would bind a name the MIB module uses itself to the wrong object.
        const String why = MIB_Name_Clash(description);
        if (!why.empty()) {
            Row_Error(lead, r, Lang_Message(m.Clash, {description, why}));
            return false;
        }
        SL_Check_Desc.push_back(description);
        if (m.Has_Time_And_IP) {
            Byte b0, b1, b2, b3;
            if (IP_Str_To_Bytes(g.GetCellEx(R_IP, r), b0, b1, b2, b3)) return fail(m.IP);
        }
        if (conversionShown && Trim(g.GetCellEx(m.Col_Conversion, r)).empty()) return fail(m.Conversion);
    }
    return true;
}

}  // namespace

const TTableDesc SNMP_Read_Table = {u"SNMP_Trap_Read", u"row", snmp_col::Community, true, SNMP_Map_Row_Count,
                                    Read_Columns};
const TTableDesc SNMP_Write_Table = {u"SNMP_Trap_Write", u"row", snmp_col::Community, true, SNMP_Map_Row_Count,
                                     Write_Columns};

int SNMP_Map_Type(const String& parGenPath) {
    if (parGenPath.empty() || !FileExists(parGenPath)) return 1;
    try {
        const std::optional<String> raw = TParGenFile::Load(parGenPath).Raw(u"SNMP_MapType");
        return raw ? StrToIntDef(*raw, 0) : 0;
    } catch (const Exception&) {
        // Deliberately silent: the set-up runs at creation too, where no box may show.
        return 1;
    }
}

TSNMP_Column_Setup SNMP_Column_Setup(int model, int mapType) {
    const TModel_Setup* row = &Model_Setups[std::size(Model_Setups) - 1];
    for (const TModel_Setup& s : Model_Setups)
        if (std::find(s.Models.begin(), s.Models.end(), model) != s.Models.end()) row = &s;
    TSNMP_Column_Setup r;
    r.On_CMD_Shown = row->On_CMD;
    r.Conversion_Shown = row->Conversion == TShow::Shown || (row->Conversion == TShow::By_Map_Type && mapType == 1);
    r.Mnemonic_Width_Read = r.Conversion_Shown ? Mnemonic_Width_Shown_Read : row->Mnemonic_Width_Hidden;
    r.Mnemonic_Width_Write = r.Conversion_Shown ? Mnemonic_Width_Shown_Write : Mnemonic_Width_Hidden_Write;
    r.Write_Tab = row->Write_Tab;
    // Hints follow the shown columns after N: 1039 .. 1051 for read columns
    // 1 .. 12 and 14, 1083 for Conversion; 1052 .. 1059 and 1084 likewise.
    for (int c = 1; c <= 12; ++c)
        if (c != snmp_col::R_On_CMD || r.On_CMD_Shown) r.Hint_Read.push_back(1038 + c);
    if (r.Conversion_Shown) r.Hint_Read.push_back(1083);
    r.Hint_Read.push_back(1051);
    for (int t = 1052; t <= 1058; ++t) r.Hint_Write.push_back(t);
    if (r.Conversion_Shown) r.Hint_Write.push_back(1084);
    r.Hint_Write.push_back(1059);
    if (!r.On_CMD_Shown) r.Hidden_Read.push_back(snmp_col::R_On_CMD);
    if (!r.Conversion_Shown) {
        r.Hidden_Read.push_back(snmp_col::R_Conversion);
        r.Hidden_Write.push_back(snmp_col::W_Conversion);
    }
    return r;
}

TSNMP_Column_Setup SNMP_Default_Hints() { return SNMP_Column_Setup(16, 1); }

String SNMP_Header_Hint(const std::vector<int>& hints, int row, int col) {
    if (row != 0 || col < 1 || col > static_cast<int>(hints.size())) return String();
    return Lang_Table[hints[static_cast<std::size_t>(col - 1)]];
}

void SNMP_Reset(IRowGrid& read, IRowGrid& write) {
    Reset_Table(read, SNMP_Read_Table);
    Reset_Table(write, SNMP_Write_Table);
    for (IRowGrid* g : {&read, &write})
        for (int r = 1; r < g->GetRowCount(); ++r) g->SetCellEx(snmp_col::Enable, r, u"Y");
}

void SNMP_Load(const String& path, IRowGrid& read, IRowGrid& write, int model) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    Load_Rows(Table_Element(root, u"SNMP_Trap_Read"), read, SNMP_Read_Table);
    // The M-Bus master model has no write map.
    if (model != 21) Load_Rows(Table_Element(root, u"SNMP_Trap_Write"), write, SNMP_Write_Table);
}

void Index_Row_Build(IRowGrid& grid) {
    int n = 1;
    for (int r = 1; r < grid.GetRowCount(); ++r)
        grid.SetCellEx(0, r, UpperCase(grid.GetCellEx(snmp_col::Enable, r)) == u"Y" ? IntToStr(n++) : String());
}

bool SNMP_Controllo_dati(const IRowGrid& read, const IRowGrid& write, bool conversionShown,
                         std::vector<String>& SL_Check_Desc) {
    using namespace snmp_col;
    SL_Check_Desc.clear();
    const TMap_Texts read_map{read, 1076, 1061, 1062, 1063, 1064, 1065, 1066, 1067, 1077, 1068, 1085,
                              R_Position, R_Bit, R_NumBits, R_Description, R_Conversion, true, 1192};
    const TMap_Texts write_map{write, 1078, 1069, 0, 1070, 1071, 1072, 1073, 1074, 1079, 0, 1086,
                               W_Position, W_Bit, W_NumBits, W_Description, W_Conversion, false, 1193};
    if (!Check_Map(read_map, SL_Check_Desc, conversionShown)) return false;
    if (!Check_Map(write_map, SL_Check_Desc, conversionShown)) return false;
    return All_Different(SL_Check_Desc, Lang_Table[1080]);
}

void SNMP_Build_Document(TXmlDocument& doc, const IRowGrid& read, const IRowGrid& write, int model) {
    Build_Table_Document(doc, u"SNMP_Trap", Version_Comment(TTableEditor::SNMP, model),
                         {{SNMP_Read_Table, read}, {SNMP_Write_Table, write, model != 21}});
}

void SNMP_Show_Tables(TShow_Guard& guard, IRowGrid& read, IRowGrid& write, int model, const String& path) {
    guard.Run([&] {
        SNMP_Reset(read, write);
        if (FileExists(path)) SNMP_Load(path, read, write, model);
        Index_Row_Build(read);
        Index_Row_Build(write);
    });
}

bool SNMP_OK(const TShow_Guard& guard, const IRowGrid& read, const IRowGrid& write, int model, bool conversionShown,
             std::vector<String>& SL_Check_Desc, const String& path) {
    return Check_And_Save(
        guard, [&] { return SNMP_Controllo_dati(read, write, conversionShown, SL_Check_Desc); },
        [&](TXmlDocument& doc) { SNMP_Build_Document(doc, read, write, model); }, path);
}

TFSNMP_Trap_Access* FSNMP_Trap_Access = nullptr;

TFSNMP_Trap_Access::TFSNMP_Trap_Access(TComponent* AOwner)
    : TTable_Editor_Form(AOwner, u"FSNMP_Trap_Access", 1256, 337) {
    Btn_DelRow = Make_Editor_Button(P_Button, u"Btn_DelRow", 252);
    Btn_InsRow = Make_Editor_Button(P_Button, u"Btn_InsRow", 370);
    Btn_CopyRow = Make_Editor_Button(P_Button, u"Btn_CopyRow", 488);
    Btn_PasteRow = Make_Editor_Button(P_Button, u"Btn_PasteRow", 606);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_DelRow->OnClick = [this](TObject* s) { Btn_DelRowClick(s); };
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsRowClick(s); };
    Btn_CopyRow->OnClick = [this](TObject* s) { Btn_CopyRowClick(s); };
    Btn_PasteRow->OnClick = [this](TObject* s) { Btn_PasteRowClick(s); };

    PageControl1 = Make_Editor_Pages(this);
    TS_SNMP_Read = Make_Tab_Sheet(this, PageControl1, u"TS_SNMP_Read");
    TS_SNMP_Write = Make_Tab_Sheet(this, PageControl1, u"TS_SNMP_Write");
    ACG_SNMP_Read = Make_Table_Grid(TS_SNMP_Read, u"ACG_SNMP_Read", SNMP_Read_Table, SNMP_Map_Row_Count);
    ACG_SNMP_Write = Make_Table_Grid(TS_SNMP_Write, u"ACG_SNMP_Write", SNMP_Write_Table, SNMP_Map_Row_Count);
    read_rows_ = std::make_unique<TColumnGridRows>(*ACG_SNMP_Read);
    write_rows_ = std::make_unique<TColumnGridRows>(*ACG_SNMP_Write);
    for (TExColumnGrid* g : {ACG_SNMP_Read, ACG_SNMP_Write}) {
        g->OnCheckBoxClick = [this](TObject* s, int c, int r, bool st) { ACG_SNMP_ReadCheckBoxClick(s, c, r, st); };
        g->OnKeyPress = [this](TObject* s, Char& k) { SGA_KeyPress(s, k); };
        g->OnDblClickCell = [this](TObject* s, int r, int c) { Grid_DblClickCell(s, r, c); };
        Show_Grid_Hints(g, [this](TObject* s, int r, int c, String& h) { SGA_GridHint(s, r, c, h); });
    }
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFSNMP_Trap_Access::~TFSNMP_Trap_Access() = default;

void TFSNMP_Trap_Access::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientHeight(337);
    SetClientWidth(1256);
    PageControl1->SetActivePage(TS_SNMP_Read);
    Hide_Columns();
    Set_Lang();
}

void TFSNMP_Trap_Access::FormShow(TObject*) {
    NByte_IN = SNMP_Positions;
    NByte_OUT = SNMP_Positions;
    Hide_Columns();
    Set_Number_Choices(ACG_SNMP_Read, snmp_col::R_Position, NByte_IN);
    Set_Number_Choices(ACG_SNMP_Write, snmp_col::W_Position, NByte_OUT);
    SNMP_Show_Tables(show_, *read_rows_, *write_rows_, Model_Code, Path_SNMP_Trap);
    if (!show_.Incomplete()) {
        Do_Copy_In_Read = false;
        Do_Copy_In_Write = false;
    }
}

void TFSNMP_Trap_Access::Hide_Columns() {
    TS_SNMP_Write->SetTabVisible(true);
    const TSNMP_Column_Setup s = SNMP_Column_Setup(Model_Code, SNMP_Map_Type(Path_ParGen));
    Show_Columns(ACG_SNMP_Read, s.Hidden_Read);
    Show_Columns(ACG_SNMP_Write, s.Hidden_Write);
    ACG_SNMP_Read->Columns().Items(snmp_col::R_Mnemonic)->SetWidth(s.Mnemonic_Width_Read);
    ACG_SNMP_Write->Columns().Items(snmp_col::W_Mnemonic)->SetWidth(s.Mnemonic_Width_Write);
    TS_SNMP_Write->SetTabVisible(s.Write_Tab);
    Hint_SNMP_Read = s.Hint_Read;
    Hint_SNMP_Write = s.Hint_Write;
    conversion_shown_ = s.Conversion_Shown;
}

void TFSNMP_Trap_Access::Set_Lang() {
    SetCaption(Lang_Table[1000]);
    L_SW_Desc->SetCaption(Lang_Table[1001]);
    TFlatButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (int i = 0; i < 6; ++i) {
        buttons[i]->SetCaption(Lang_Table[1002 + i]);
        buttons[i]->SetHint(Lang_Table[1010 + i]);
    }
    TS_SNMP_Read->SetCaption(Lang_Table[1008]);
    TS_SNMP_Write->SetCaption(Lang_Table[1009]);
    Set_Headers(ACG_SNMP_Read, SNMP_Read_Table, 1016);
    Set_Headers(ACG_SNMP_Write, SNMP_Write_Table, 1030);
    const TSNMP_Column_Setup d = SNMP_Default_Hints();
    Hint_SNMP_Read = d.Hint_Read;
    Hint_SNMP_Write = d.Hint_Write;
}

void TFSNMP_Trap_Access::Index_Row_Build(TExColumnGrid* app_SGA) { ::Index_Row_Build(Rows(app_SGA)); }

void TFSNMP_Trap_Access::ACG_SNMP_ReadCheckBoxClick(TObject* Sender, int ACol, int, bool) {
    if (ACol == snmp_col::Enable) Index_Row_Build(static_cast<TExColumnGrid*>(Sender));
}

TExColumnGrid* TFSNMP_Trap_Access::Active_Grid() const {
    return PageControl1->ActivePage() == TS_SNMP_Read ? ACG_SNMP_Read : ACG_SNMP_Write;
}

IRowGrid& TFSNMP_Trap_Access::Rows(TExColumnGrid* grid) { return grid == ACG_SNMP_Read ? *read_rows_ : *write_rows_; }

void TFSNMP_Trap_Access::Btn_InsRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Grid_Insert_Row(g->Row(), Rows(g));
}

void TFSNMP_Trap_Access::Btn_DelRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Confirm_Delete_Row(Rows(g), g->Row(), Lang_Table[1075]);
}

void TFSNMP_Trap_Access::Btn_CopyRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Grid_Copy_Row(Rows(g), g->Row());
    Do_Copy_In_Read = g == ACG_SNMP_Read;
    Do_Copy_In_Write = !Do_Copy_In_Read;
}

void TFSNMP_Trap_Access::Btn_PasteRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Grid_Paste_Row(Rows(g), g->Row(), g == ACG_SNMP_Read ? Do_Copy_In_Read : Do_Copy_In_Write);
}

bool TFSNMP_Trap_Access::Controllo_dati() {
    return SNMP_Controllo_dati(*read_rows_, *write_rows_, conversion_shown_, SL_Check_Desc);
}

void TFSNMP_Trap_Access::Btn_OKClick(TObject*) {
    if (SNMP_OK(show_, *read_rows_, *write_rows_, Model_Code, conversion_shown_, SL_Check_Desc, Path_SNMP_Trap))
        SetModalResult(mrOk);
}

void TFSNMP_Trap_Access::Grid_DblClickCell(TObject* Sender, int ARow, int ACol) {
    Grid_DblClick_Auto_Size(Rows(static_cast<TExColumnGrid*>(Sender)), ARow, ACol);
}

void TFSNMP_Trap_Access::SGA_GridHint(TObject* Sender, int ARow, int ACol, String& hintstr) {
    hintstr = SNMP_Header_Hint(Sender == ACG_SNMP_Read ? Hint_SNMP_Read : Hint_SNMP_Write, ARow, ACol);
}

void TFSNMP_Trap_Access::SGA_KeyPress(TObject*, Char& Key) {
    // The sender is the grid or its open list box; either is on the shown page.
    Grid_Enter_Next_Cell(Rows(Active_Grid()), Key);
}
