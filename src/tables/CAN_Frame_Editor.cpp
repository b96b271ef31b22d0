#include "tables/CAN_Frame_Editor.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

namespace {

using namespace canframe_col;

constexpr std::uint32_t Most_Cob_ID_11 = 0x7FF, Most_Cob_ID_29 = 0x1FFFFFFF;
constexpr int Most_Dimension = 8, Most_Time = 10000000;
constexpr int Frame_Client_Width = 759, Frame_Client_Height = 337, Number_Col_Width = 64;

}  // namespace

bool CAN_Frames_Controllo_dati(const TCAN_Frame_Desc& d, const IRowGrid& g) {
    const String& lead = Lang_Table[d.Lead_Text];
    for (int row = 1; row < g.GetRowCount() && !Is_End_Row(g, d.Table, row); ++row) {
        auto fail = [&](int text) {
            Row_Error(lead, row, Lang_Table[text]);
            return false;
        };
        // Taken as unsigned, so a negative number is as far out as a text that is none.
        const auto cob_id = static_cast<std::uint32_t>(StrToIntDef(g.GetCellEx(Cob_ID, row), -1));
        const String type = UpperCase(Trim(g.GetCellEx(Type, row)));
        if (type.empty()) return fail(d.Type_Text);
        if (type == u"2.0A (11 BITS)") {
            if (cob_id > Most_Cob_ID_11) return fail(d.Cob_ID_11_Text);
        } else if (cob_id > Most_Cob_ID_29) {
            return fail(d.Cob_ID_29_Text);
        }
        const int dim = StrToIntDef(g.GetCellEx(Dimension, row), -1);
        if (dim < d.Dimension_Min || dim > Most_Dimension) return fail(d.Dimension_Text);
        const int time = StrToIntDef(g.GetCellEx(d.Time_Col, row), -1);
        if (time < 0 || time > Most_Time) return fail(d.Time_Text);
    }
    return true;
}

void CAN_Frames_Load(const TCAN_Frame_Desc& d, const String& path, IRowGrid& grid, int) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    Load_Rows(Table_Element(doc.DocumentElement(), d.Table.Container), grid, d.Table);
}

void CAN_Frames_Build_Document(const TCAN_Frame_Desc& d, TXmlDocument& doc, const IRowGrid& grid, int model) {
    Build_Table_Document(doc, d.Root, Version_Comment(TTableEditor::CAN_Frames, model), {{d.Table, grid}});
}

TCAN_Frame_Form::TCAN_Frame_Form(TComponent* AOwner, const TCAN_Frame_Desc& desc)
    : TTable_Editor_Form(AOwner, desc.Form_Name, Frame_Client_Width, Frame_Client_Height), desc_(desc) {
    Btn_DelRow = Make_Editor_Button(P_Button, u"Btn_DelRow", 252);
    Btn_InsRow = Make_Editor_Button(P_Button, u"Btn_InsRow", 370);
    Btn_OK->OnClick = [this](TObject* s) { bitbtn1Click(s); };
    Btn_DelRow->OnClick = [this](TObject* s) { Btn_DelRowClick(s); };
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsRowClick(s); };
    sga = Make_Table_Grid(this, u"sga", desc.Table, CAN_Frame_Row_Count);
    sga->Columns().Items(0)->SetWidth(Number_Col_Width);
    rows_ = std::make_unique<TColumnGridRows>(*sga);
    sga->OnKeyPress = [this](TObject*, Char& k) { Grid_Enter_Next_Cell(*rows_, k); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TCAN_Frame_Form::~TCAN_Frame_Form() = default;

void TCAN_Frame_Form::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(Frame_Client_Width);
    SetClientHeight(Frame_Client_Height);
    Set_Lang();
}

void TCAN_Frame_Form::Set_Lang() {
    SetCaption(Lang_Table[desc_.Caption_Text]);
    L_SW_Desc->SetCaption(Lang_Table[desc_.Desc_Text]);
    TFlatButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow};
    for (int i = 0; i < 4; ++i) buttons[i]->SetCaption(Lang_Table[desc_.Button_Texts[i]]);
    Set_Headers(sga, desc_.Table, desc_.Header0_Text);
}

void TCAN_Frame_Form::FormShow(TObject*) {
    show_.Run([&] {
        Reset_Table(*rows_, desc_.Table);
        if (FileExists(*desc_.Path)) CAN_Frames_Load(desc_, *desc_.Path, *rows_, Model_Code);
    });
}

void TCAN_Frame_Form::Insert_Row(int Num_Row, TExColumnGrid*) { Grid_Insert_Row(Num_Row, *rows_); }

void TCAN_Frame_Form::Delete_Row(int Num_Row, TExColumnGrid*) { Grid_Delete_Row(Num_Row, *rows_); }

void TCAN_Frame_Form::Btn_InsRowClick(TObject*) { Insert_Row(sga->Row(), sga); }

void TCAN_Frame_Form::Btn_DelRowClick(TObject*) {
    Confirm_Delete_Row(*rows_, sga->Row(), Lang_Table[desc_.Delete_Text]);
}

bool TCAN_Frame_Form::controllo_dati() { return CAN_Frames_Controllo_dati(desc_, *rows_); }

void TCAN_Frame_Form::bitbtn1Click(TObject*) {
    if (Check_And_Save(
            show_, [&] { return controllo_dati(); },
            [&](TXmlDocument& doc) { CAN_Frames_Build_Document(desc_, doc, *rows_, Model_Code); }, *desc_.Path))
        SetModalResult(mrOk);
}
