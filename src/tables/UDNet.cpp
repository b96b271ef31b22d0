#include "tables/UDNet.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;
using K = TColKind;
const TColumnDesc DNet_Columns[] = {
    {dnet_col::ID, 553, K::Normal, No_Choices, 0, 85, 0xCEFFCE, u"ID", nullptr},
    {dnet_col::NB_IN, 554, K::Normal, No_Choices, 0, 85, 0xFFFFD5, u"NB_IN", nullptr},
    {dnet_col::NB_OUT, 555, K::Normal, No_Choices, 0, 85, 0xFFFFD5, u"NB_OUT", nullptr},
    {dnet_col::Reset_DeviceNet, 955, K::CheckBox, No_Choices, 0, 134, 0xFCD6F4, u"Reset_DeviceNet", u"N"},
    {dnet_col::Reset_PROFINET, 956, K::CheckBox, No_Choices, 0, 134, 0xFCD6F4, u"Reset_PROFINET", u"N"},
    {dnet_col::Mnemonic, 556, K::Normal, No_Choices, 0, 191, Window_Colour, u"Mnemonic", nullptr},
};

constexpr int Number_Col_Width = 45, Row_Height = 21;
// DeviceNet MAC IDs; byte counts are 16-bit fields of the image.
constexpr int Max_MAC_ID = 63, Max_Byte_Count = 65535;

}  // namespace

const TTableDesc DNet_Table = {nullptr, u"row", dnet_col::ID, false, DNet_Row_Count, DNet_Columns};

void DNet_Show_Table(TShow_Guard& guard, IRowGrid& grid, const String& path) {
    guard.Run([&] {
        Reset_Table(grid, DNet_Table);
        if (!FileExists(path)) return;
        TXmlDocument doc;
        doc.LoadFromFile(path);
        Load_Rows(doc.DocumentElement(), grid, DNet_Table);
    });
}

bool DNet_controllo_dati(const IRowGrid& grid) {
    using namespace dnet_col;
    const struct {
        int Col, Max, Text;
    } checks[] = {{ID, Max_MAC_ID, 558}, {NB_IN, Max_Byte_Count, 559}, {NB_OUT, Max_Byte_Count, 560}};
    for (int r = 1; r < grid.GetRowCount() && !Is_End_Row(grid, DNet_Table, r); ++r)
        for (const auto& c : checks) {
            const int v = StrToIntDef(grid.GetCellEx(c.Col, r), -1);
            if (v < 0 || v > c.Max) {
                Row_Error(Lang_Table[557], r, Lang_Table[c.Text]);
                return false;
            }
        }
    return true;
}

void DNet_Build_Document(TXmlDocument& doc, const IRowGrid& grid) {
    Build_Table_Document(doc, u"DNET_Net", Version_Comment(TTableEditor::DeviceNet, Model_Code),
                         {{DNet_Table, grid}});
}

bool DNet_OK(const TShow_Guard& guard, const IRowGrid& grid, const String& path) {
    return Check_And_Save(
        guard, [&] { return DNet_controllo_dati(grid); }, [&](TXmlDocument& doc) { DNet_Build_Document(doc, grid); },
        path);
}

TFDNet* FDNet = nullptr;

TFDNet::TFDNet(TComponent* AOwner) : TTable_Editor_Form(AOwner, u"FDNet", 784, 337) {
    Btn_DelRow = Make_Editor_Button(P_Button, u"Btn_DelRow", 252);
    Btn_InsRow = Make_Editor_Button(P_Button, u"Btn_InsRow", 370);
    Btn_OK->OnClick = [this](TObject* s) { bitbtn1Click(s); };
    Btn_DelRow->OnClick = [this](TObject* s) { Btn_DelRowClick(s); };
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsRowClick(s); };
    EXG = Make_Table_Grid(this, u"EXG", DNet_Table, DNet_Row_Count);
    EXG->SetDefaultRowHeight(Row_Height);
    EXG->Columns().Items(0)->SetWidth(Number_Col_Width);
    rows_ = std::make_unique<TColumnGridRows>(*EXG);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFDNet::~TFDNet() = default;

void TFDNet::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientHeight(337);
    SetClientWidth(784);
    Set_Lang();
}

void TFDNet::FormShow(TObject*) { DNet_Show_Table(show_, *rows_, Path_DNETM_Net); }

void TFDNet::Set_Lang() {
    SetCaption(Lang_Table[546]);
    L_SW_Desc->SetCaption(Lang_Table[547]);
    TFlatButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow};
    for (int i = 0; i < 4; ++i) buttons[i]->SetCaption(Lang_Table[548 + i]);
    Set_Headers(EXG, DNet_Table, 552);
}

void TFDNet::Insert_Row(int Num_Row, TExColumnGrid*) { Grid_Insert_Row(Num_Row, *rows_); }

void TFDNet::Delete_Row(int Num_Row, TExColumnGrid*) { Confirm_Delete_Row(*rows_, Num_Row, Lang_Table[561]); }

void TFDNet::Btn_InsRowClick(TObject*) { Insert_Row(EXG->Row(), EXG); }

void TFDNet::Btn_DelRowClick(TObject*) { Delete_Row(EXG->Row(), EXG); }

bool TFDNet::controllo_dati() { return DNet_controllo_dati(*rows_); }

void TFDNet::bitbtn1Click(TObject*) {
    if (DNet_OK(show_, *rows_, Path_DNETM_Net)) SetModalResult(mrOk);
}
