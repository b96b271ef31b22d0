#include "tables/UReStart_Devices.h"

#include "framework/Files.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;
constexpr int Enable_Col = 1;
constexpr int Node_ID_Width = 80;

const TColumnDesc Columns[] = {
    {Enable_Col, 1607, TColKind::CheckBox, No_Choices, 0, 90, 0xE0FAFE, u"Enable_ReStart", u"N"},
    {2, 1608, TColKind::Normal, No_Choices, 0, 440, 0xFFFFFF, u"Mnemonic", u""},
};

}  // namespace

// Every row is a node and is written.
const TTableDesc ReStart_Table = {nullptr, u"row", No_Key_Col, false, ReStart_Node_Count, Columns};

void ReStart_Reset(IRowGrid& grid) {
    Reset_Table(grid, ReStart_Table);
    for (int r = 1; r < grid.GetRowCount(); ++r) grid.SetCellEx(Enable_Col, r, u"N");
}

void ReStart_Load(const String& path, IRowGrid& grid) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    Load_Rows(doc.DocumentElement(), grid, ReStart_Table);
}

void ReStart_Build_Document(TXmlDocument& doc, const IRowGrid& grid, int model) {
    Build_Table_Document(doc, u"Enable_ReStart_CANopen", Version_Comment(TTableEditor::CANopen, model),
                         {{ReStart_Table, grid}});
}

TFReStart_Devices* FReStart_Devices = nullptr;

TFReStart_Devices::TFReStart_Devices(TComponent* AOwner) : TTable_Editor_Form(AOwner, u"FReStart_Devices", 798, 336) {
    Btn_SelectAll = Make_Editor_Button(P_Button, u"Btn_SelectAll", 252);
    Btn_ClearAll = Make_Editor_Button(P_Button, u"Btn_ClearAll", 370);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_SelectAll->OnClick = [this](TObject* s) { Select_Clear_All_Click(s); };
    Btn_ClearAll->OnClick = [this](TObject* s) { Select_Clear_All_Click(s); };
    sga = Make_Table_Grid(this, u"sga", ReStart_Table, ReStart_Node_Count);
    sga->Columns().Items(0)->SetWidth(Node_ID_Width);
    rows_ = std::make_unique<TColumnGridRows>(*sga);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFReStart_Devices::~TFReStart_Devices() = default;

void TFReStart_Devices::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(798);
    Set_Lang();
}

void TFReStart_Devices::Set_Lang() {
    SetCaption(Lang_Table[1600]);
    L_SW_Desc->SetCaption(Lang_Table[1601]);
    TFlatButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_SelectAll, Btn_ClearAll};
    for (int i = 0; i < 4; ++i) buttons[i]->SetCaption(Lang_Table[1602 + i]);
    Set_Headers(sga, ReStart_Table, 1606);
}

void TFReStart_Devices::FormShow(TObject*) {
    show_.Run([&] {
        ReStart_Reset(*rows_);
        if (FileExists(Path_ReStart_CANopen)) ReStart_Load(Path_ReStart_CANopen, *rows_);
    });
}

void TFReStart_Devices::Select_Clear_All_Click(TObject* Sender) {
    const String value = Sender == Btn_SelectAll ? u"Y" : u"N";
    for (int r = 1; r < sga->RowCount(); ++r) sga->SetCellEx(Enable_Col, r, value);
}

void TFReStart_Devices::Btn_OKClick(TObject*) {
    if (Check_And_Save(
            show_, [] { return true; },
            [&](TXmlDocument& doc) { ReStart_Build_Document(doc, *rows_, Model_Code); }, Path_ReStart_CANopen))
        SetModalResult(mrOk);
}
