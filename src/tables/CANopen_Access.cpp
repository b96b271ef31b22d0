#include "tables/CANopen_Access.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

#include <utility>

namespace {

// The EDS file maps the data of the 30 receive PDOs to 0x7000.. and of the
// 30 transmit PDOs to 0x7050..; an SDO object there would clash with them.
constexpr int Receive_PDO_Data = 0x7000, Transmit_PDO_Data = 0x7050, PDO_Count = 30;

bool In(int value, int lo, int hi) { return value >= lo && value <= hi; }

// The detail text of the row's first failing rule, or 0. The size cell
// counts the address cells only after its own rule has passed.
int Row_Failure(const IRowGrid& g, int row, const TCANopen_Table& t, int limit) {
    auto cell = [&](int col) { return StrToIntDef(g.GetCellEx(col, row), -1); };
    for (const TCANopen_Rule& r : t.Rules) {
        const int v = cell(r.Col);
        switch (r.Kind) {
        case TCANopen_Rule_Kind::Range:
            if (!In(v, r.Lo, r.Hi)) return r.Text;
            break;
        case TCANopen_Rule_Kind::Not_PDO_Data_Index:
            if (In(v, Receive_PDO_Data, Receive_PDO_Data + PDO_Count - 1) ||
                In(v, Transmit_PDO_Data, Transmit_PDO_Data + PDO_Count - 1))
                return r.Text;
            break;
        case TCANopen_Rule_Kind::One_Two_Or_Four:
            if (v != 1 && v != 2 && v != 4) return r.Text;
            break;
        case TCANopen_Rule_Kind::Addresses: {
            const int count = cell(t.Size_Col);
            for (int k = 0; k < count; ++k) {
                const int address = cell(r.Col + k);
                if (address < 0 || address >= limit) return r.Text + k;
            }
            break;
        }
        }
    }
    return 0;
}

void Load_Table(const TXmlNode& root, const TCANopen_Table& t, IRowGrid& grid) {
    Load_Rows(Table_Element(root, t.Table.Container), grid, t.Table);
}

}  // namespace

TCANopen_Limits CANopen_Limits(const String& parGenPath, bool crossed) {
    TCANopen_Limits l;
    l.First = ParGen_Number(parGenPath, u"PROFINET_NB_IN", CANopen_Default_NByte);
    l.Second = ParGen_Number(parGenPath, u"PROFINET_NB_OUT", CANopen_Default_NByte);
    if (crossed) std::swap(l.First, l.Second);
    return l;
}

String CANopen_Table_Failure(const IRowGrid& grid, const TCANopen_Table& table, int lead, int limit) {
    for (int r = 1; r < grid.GetRowCount() && !Is_End_Row(grid, table.Table, r); ++r)
        if (const int text = Row_Failure(grid, r, table, limit))
            // A hand-edited size can be any number; the last address must not overflow.
            return Row_Message(Lang_Table[lead], r, Lang_Table[text], limit > 0 ? limit - 1 : -1);
    return String();
}

bool No_Failure(const String& failure) {
    if (failure.empty()) return true;
    MessageDlg(failure, mtError, TMsgDlgButtons{mbOK});
    return false;
}

bool CANopen_Controllo_dati(const TCANopen_Editor& editor, const IRowGrid& first, const IRowGrid& second,
                            const TCANopen_Limits& limits) {
    String failure = CANopen_Table_Failure(first, editor.First, editor.Lead, limits.First);
    if (failure.empty()) failure = CANopen_Table_Failure(second, editor.Second, editor.Lead, limits.Second);
    return No_Failure(failure);
}

void CANopen_Reset(const TCANopen_Editor& editor, IRowGrid& first, IRowGrid& second) {
    Reset_Table(first, editor.First.Table);
    Reset_Table(second, editor.Second.Table);
}

void CANopen_Load(const TCANopen_Editor& editor, const String& path, IRowGrid& first, IRowGrid& second) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    Load_Table(root, editor.First, first);
    Load_Table(root, editor.Second, second);
}

void CANopen_Build_Document(TXmlDocument& doc, const TCANopen_Editor& editor, const IRowGrid& first,
                            const IRowGrid& second, int model) {
    Build_Table_Document(doc, editor.Root, Version_Comment(TTableEditor::CANopen, model),
                         {{editor.First.Table, first}, {editor.Second.Table, second}});
}

TCANopen_Access_Form::TCANopen_Access_Form(TComponent* AOwner, const TCANopen_Editor& editor)
    : TTable_Editor_Form(AOwner, editor.Form_Name, 798, 337), editor_(editor) {
    Btn_DelRow = Make_Editor_Button(P_Button, u"Btn_DelRow", 252);
    Btn_InsRow = Make_Editor_Button(P_Button, u"Btn_InsRow", 370);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_DelRow->OnClick = [this](TObject* s) { Btn_DelRowClick(s); };
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsRowClick(s); };

    PageControl1 = Make_Editor_Pages(this);
    for (int i = 0; i < 2; ++i) sheets_[i] = Make_Tab_Sheet(this, PageControl1, editor.Sheet_Names[i]);
    sga = Make_Table_Grid(sheets_[0], u"sga", editor.First.Table, editor.First.Table.Rows);
    sgb = Make_Table_Grid(sheets_[1], u"sgb", editor.Second.Table, editor.Second.Table.Rows);
    first_rows_ = std::make_unique<TColumnGridRows>(*sga);
    second_rows_ = std::make_unique<TColumnGridRows>(*sgb);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TCANopen_Access_Form::~TCANopen_Access_Form() = default;

void TCANopen_Access_Form::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(798);
    Set_Lang();
}

void TCANopen_Access_Form::Set_Lang() {
    const int t = editor_.Texts;
    SetCaption(Lang_Table[t]);
    L_SW_Desc->SetCaption(Lang_Table[t + 1]);
    TFlatButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow};
    for (int i = 0; i < 4; ++i) buttons[i]->SetCaption(Lang_Table[t + 2 + i]);
    sheets_[0]->SetCaption(Lang_Table[t + 6]);
    sheets_[1]->SetCaption(Lang_Table[t + 7]);
    Set_Headers(sga, editor_.First.Table, t + 8);
    Set_Headers(sgb, editor_.Second.Table, editor_.Header0_Second);
}

void TCANopen_Access_Form::FormShow(TObject*) {
    // Sizes that cannot be read leave no limits of an earlier show behind.
    PROFINET_NByte_IN = PROFINET_NByte_OUT = CANopen_Default_NByte;
    show_.Run([&] {
        CANopen_Reset(editor_, *first_rows_, *second_rows_);
        PageControl1->SetActivePage(sheets_[0]);
        const TCANopen_Limits limits = CANopen_Limits(Path_ParGen, editor_.Crossed);
        PROFINET_NByte_IN = limits.First;
        PROFINET_NByte_OUT = limits.Second;
        if (FileExists(*editor_.Path)) CANopen_Load(editor_, *editor_.Path, *first_rows_, *second_rows_);
    });
}

bool TCANopen_Access_Form::Controllo_dati() {
    return CANopen_Controllo_dati(editor_, *first_rows_, *second_rows_, {PROFINET_NByte_IN, PROFINET_NByte_OUT});
}

void TCANopen_Access_Form::Btn_OKClick(TObject*) {
    if (Check_And_Save(
            show_, [&] { return Controllo_dati(); },
            [&](TXmlDocument& doc) { CANopen_Build_Document(doc, editor_, *first_rows_, *second_rows_, Model_Code); },
            *editor_.Path))
        SetModalResult(mrOk);
}

TExColumnGrid* TCANopen_Access_Form::Active_Grid() const {
    return PageControl1->ActivePage() == sheets_[0] ? sga : sgb;
}

IRowGrid& TCANopen_Access_Form::Rows(TExColumnGrid* grid) { return grid == sga ? *first_rows_ : *second_rows_; }

void TCANopen_Access_Form::Insert_Row(int Num_Row, TExColumnGrid* app_SGA) { Grid_Insert_Row(Num_Row, Rows(app_SGA)); }

void TCANopen_Access_Form::Delete_Row(int Num_Row, TExColumnGrid* app_SGA) { Grid_Delete_Row(Num_Row, Rows(app_SGA)); }

void TCANopen_Access_Form::Btn_InsRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Insert_Row(g->Row(), g);
}

void TCANopen_Access_Form::Btn_DelRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Confirm_Delete_Row(Rows(g), g->Row(), Lang_Table[editor_.Delete_Text]);
}
