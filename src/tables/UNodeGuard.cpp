#include "tables/UNodeGuard.h"

#include "framework/Files.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

namespace {

constexpr std::span<const char16_t* const> No_Choices;
using K = TColKind;
using R = TCANopen_Rule_Kind;
using namespace nodeguard_col;

const TColumnDesc Columns[] = {
    {NodeID, 1707, K::Normal, No_Choices, 0, 120, 0xE0FAFE, u"NodeID", u""},
    {GuardTime, 1708, K::Normal, No_Choices, 0, 120, 0xFFFFA8, u"GuardTime", u""},
    {LifeTimeFactor, 1709, K::Normal, No_Choices, 0, 120, 0xFFFFA8, u"LifeTimeFactor", u""},
    {Mnemonic, 1710, K::Normal, No_Choices, 0, 275, 0xFFFFFF, u"Mnemonic", u""},
};

const TCANopen_Rule Rules[] = {
    {R::Range, NodeID, 1, 127, 1712},
    {R::Range, GuardTime, 1, 65535, 1713},
    {R::Range, LifeTimeFactor, 1, 255, 1714},
};

constexpr int Lead = 1711;

}  // namespace

const TTableDesc NodeGuard_Table = {nullptr, u"row", NodeID, true, NodeGuard_Row_Count, Columns};
const TCANopen_Table NodeGuard_Checks = {NodeGuard_Table, 0, Rules};

void NodeGuard_Load(const String& path, IRowGrid& grid) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    Load_Rows(doc.DocumentElement(), grid, NodeGuard_Table);
}

void NodeGuard_Build_Document(TXmlDocument& doc, const IRowGrid& grid, int model) {
    Build_Table_Document(doc, u"Node_Guarding", Version_Comment(TTableEditor::CANopen, model),
                         {{NodeGuard_Table, grid}});
}

TFNodeGuard* FNodeGuard = nullptr;

TFNodeGuard::TFNodeGuard(TComponent* AOwner) : TTable_Editor_Form(AOwner, u"FNodeGuard", 700, 337) {
    Btn_DelRow = Make_Editor_Button(P_Button, u"Btn_DelRow", 252);
    Btn_InsRow = Make_Editor_Button(P_Button, u"Btn_InsRow", 370);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_DelRow->OnClick = [this](TObject* s) { Btn_DelRowClick(s); };
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsRowClick(s); };
    EXG = Make_Table_Grid(this, u"EXG", NodeGuard_Table, NodeGuard_Row_Count);
    rows_ = std::make_unique<TColumnGridRows>(*EXG);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFNodeGuard::~TFNodeGuard() = default;

void TFNodeGuard::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(700);
    SetClientHeight(337);
    Set_Lang();
}

void TFNodeGuard::Set_Lang() {
    SetCaption(Lang_Table[1700]);
    L_SW_Desc->SetCaption(Lang_Table[1701]);
    TFlatButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow};
    for (int i = 0; i < 4; ++i) buttons[i]->SetCaption(Lang_Table[1702 + i]);
    Set_Headers(EXG, NodeGuard_Table, 1706);
}

void TFNodeGuard::FormShow(TObject*) {
    show_.Run([&] {
        Reset_Table(*rows_, NodeGuard_Table);
        if (FileExists(Path_NodeGuard)) NodeGuard_Load(Path_NodeGuard, *rows_);
    });
}

bool TFNodeGuard::Controllo_dati() {
    return No_Failure(CANopen_Table_Failure(*rows_, NodeGuard_Checks, Lead, 0));
}

void TFNodeGuard::Btn_OKClick(TObject*) {
    if (Check_And_Save(
            show_, [&] { return Controllo_dati(); },
            [&](TXmlDocument& doc) { NodeGuard_Build_Document(doc, *rows_, Model_Code); }, Path_NodeGuard))
        SetModalResult(mrOk);
}

void TFNodeGuard::Btn_InsRowClick(TObject*) { Grid_Insert_Row(EXG->Row(), *rows_); }

void TFNodeGuard::Btn_DelRowClick(TObject*) { Confirm_Delete_Row(*rows_, EXG->Row(), Lang_Table[1715]); }
