#include "tables/UDMXDefVal.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

#include <algorithm>

namespace {

constexpr std::span<const char16_t* const> No_Choices;
const TColumnDesc DMX_Columns[] = {
    {dmx_col::Default_Value, 946, TColKind::Normal, No_Choices, 0, 100, 0xE0FAFE, u"Default_Value", u"0"},
    {dmx_col::Mnemonic, 947, TColKind::Normal, No_Choices, 0, 250, Window_Colour, u"Mnemonic", u""},
};

constexpr int Channel_Col_Width = 100;
// A DMX slot carries one byte.
constexpr int Max_DMX_Value = 255;
// The active cell's colour, #B6CAEA.
constexpr std::uint32_t Active_Cell_Colour = 0xB6CAEA;

}  // namespace

const TTableDesc DMX_Table = {nullptr, u"Row", No_Key_Col, false, DMX_Max_Channels, DMX_Columns};

int DMX_Channel_Count(const String& parGenPath) {
    return std::clamp(ParGen_Number(parGenPath, u"PROFINET_NB_IN", DMX_Max_Channels), 0, DMX_Max_Channels);
}

void DMX_Reset(IRowGrid& grid) {
    Reset_Table(grid, DMX_Table);
    for (int r = 1; r < grid.GetRowCount(); ++r) grid.SetCellEx(dmx_col::Default_Value, r, u"0");
}

void DMX_Load(const String& path, IRowGrid& grid) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    Load_Rows(doc.DocumentElement(), grid, DMX_Table);
}

bool DMX_Controllo_dati(const IRowGrid& grid) {
    for (int r = 1; r < grid.GetRowCount(); ++r) {
        const int v = StrToIntDef(grid.GetCellEx(dmx_col::Default_Value, r), -1);
        if (v < 0 || v > Max_DMX_Value) {
            Row_Error(Lang_Table[948], r, Lang_Table[949]);
            return false;
        }
    }
    return true;
}

void DMX_Build_Document(TXmlDocument& doc, const IRowGrid& grid, int model) {
    Build_Table_Document(doc, u"DMX_Default_Values", Version_Comment(TTableEditor::DMX, model), {{DMX_Table, grid}});
}

TFDMXDefVal* FDMXDefVal = nullptr;

TFDMXDefVal::TFDMXDefVal(TComponent* AOwner) : TTable_Editor_Form(AOwner, u"FDMXDefVal", 475, 337) {
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    ACG_DMX_Def_Val = Make_Table_Grid(this, u"ACG_DMX_Def_Val", DMX_Table, DMX_Max_Channels);
    ACG_DMX_Def_Val->Columns().Items(0)->SetWidth(Channel_Col_Width);
    ACG_DMX_Def_Val->SetSelectionColor(Column_Colour(Active_Cell_Colour));
    // A project may have no channels: the header row stays a header.
    ACG_DMX_Def_Val->SetFixedRowAlways(true);
    rows_ = std::make_unique<TColumnGridRows>(*ACG_DMX_Def_Val);
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFDMXDefVal::~TFDMXDefVal() = default;

void TFDMXDefVal::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientHeight(337);
    SetClientWidth(475);
    Set_Lang();
}

void TFDMXDefVal::FormShow(TObject*) {
    show_.Run([&] {
        int channels = DMX_Max_Channels;
        try {
            channels = DMX_Channel_Count(Path_ParGen);
        } catch (const Exception&) {
            // The table is reset all the same, so that nothing of an earlier showing stays.
            ACG_DMX_Def_Val->SetRowCount(channels + 1);
            DMX_Reset(*rows_);
            throw;
        }
        ACG_DMX_Def_Val->SetRowCount(channels + 1);
        DMX_Reset(*rows_);
        if (FileExists(Path_DMX_Default_Values)) DMX_Load(Path_DMX_Default_Values, *rows_);
    });
}

void TFDMXDefVal::Set_Lang() {
    SetCaption(Lang_Table[941]);
    L_SW_Desc->SetCaption(Lang_Table[942]);
    Btn_OK->SetCaption(Lang_Table[943]);
    Btn_Cancel->SetCaption(Lang_Table[944]);
    for (int c = 0; c < 3; ++c) ACG_DMX_Def_Val->SetCellEx(c, 0, Lang_Table[945 + c]);
}

bool TFDMXDefVal::Controllo_dati() { return DMX_Controllo_dati(*rows_); }

void TFDMXDefVal::Btn_OKClick(TObject*) {
    if (Check_And_Save(
            show_, [&] { return Controllo_dati(); },
            [&](TXmlDocument& doc) { DMX_Build_Document(doc, *rows_, Model_Code); }, Path_DMX_Default_Values))
        SetModalResult(mrOk);
}
