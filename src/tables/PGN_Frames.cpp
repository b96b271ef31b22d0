#include "tables/PGN_Frames.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

const char16_t* const Data_Page_Choices[2] = {u"0", u"1"};

void PGN_Show_Table(TShow_Guard& guard, IRowGrid& grid, const TPGN_Editor& editor, const String& path) {
    guard.Run([&] {
        Reset_Table(grid, editor.Table);
        if (!FileExists(path)) return;
        TXmlDocument doc;
        doc.LoadFromFile(path);
        // The rows sit right under the root, whatever the root is called.
        const TXmlNode root = doc.DocumentElement();
        if (!root) return;
        if (editor.Load)
            editor.Load(root, grid);
        else
            Load_Rows(root, grid, editor.Table);
    });
}

void PGN_Build_Document(TXmlDocument& doc, const IRowGrid& grid, const TPGN_Editor& editor, int model) {
    Build_Table_Document(doc, editor.Root, Version_Comment(editor.Version, model), {{editor.Table, grid}});
}

void PGN_Budget_Error(int text, int budget) {
    MessageDlg(Lang_Table[text] + IntToStr(budget), mtError, TMsgDlgButtons{mbOK});
}

int PGN_Number(const IRowGrid& grid, int col, int row) { return StrToIntDef(grid.GetCellEx(col, row), -1); }

TPGN_Frames_Form::TPGN_Frames_Form(TComponent* AOwner, const String& name, const TPGN_Editor& editor,
                                   const String& path)
    : TTable_Editor_Form(AOwner, name, editor.Client_Width, 337), editor_(editor), path_(path) {
    Btn_DelRow = Make_Editor_Button(P_Button, u"Btn_DelRow", 252);
    Btn_InsRow = Make_Editor_Button(P_Button, u"Btn_InsRow", 370);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_DelRow->OnClick = [this](TObject* s) { Btn_DelRowClick(s); };
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsRowClick(s); };
    sga = Make_Table_Grid(this, u"sga", editor.Table, PGN_Row_Count);
    rows_ = std::make_unique<TColumnGridRows>(*sga);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TPGN_Frames_Form::~TPGN_Frames_Form() = default;

void TPGN_Frames_Form::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(editor_.Client_Width);
    SetClientHeight(337);
    Set_Lang();
}

void TPGN_Frames_Form::FormShow(TObject*) { PGN_Show_Table(show_, *rows_, editor_, path_); }

void TPGN_Frames_Form::Set_Lang() {
    SetCaption(Lang_Table[editor_.First_Text]);
    L_SW_Desc->SetCaption(Lang_Table[editor_.First_Text + 1]);
    TFlatButton* buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow};
    for (int i = 0; i < 4; ++i) buttons[i]->SetCaption(Lang_Table[editor_.First_Text + 2 + i]);
    Set_Headers(sga, editor_.Table, editor_.Header0);
}

void TPGN_Frames_Form::Insert_Row(int Num_Row, TExColumnGrid* app_SGA) {
    TColumnGridRows rows(*app_SGA);
    // The header row holds the titles, not a row to push down.
    if (Num_Row >= 1 && Num_Row < rows.GetRowCount()) Grid_Insert_Row(Num_Row, rows);
}

void TPGN_Frames_Form::Delete_Row(int Num_Row) {
    if (Num_Row >= 1 && Num_Row < rows_->GetRowCount()) Confirm_Delete_Row(*rows_, Num_Row, Lang_Table[editor_.Delete_Question]);
}

void TPGN_Frames_Form::Btn_InsRowClick(TObject*) { Insert_Row(sga->Row(), sga); }

void TPGN_Frames_Form::Btn_DelRowClick(TObject*) { Delete_Row(sga->Row()); }

void TPGN_Frames_Form::Btn_OKClick(TObject*) {
    if (Check_And_Save(
            show_, [this] { return Controllo_Dati(); },
            [this](TXmlDocument& doc) { PGN_Build_Document(doc, *rows_, editor_, Model_Code); }, path_))
        SetModalResult(mrOk);
}
