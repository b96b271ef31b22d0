#include "tables/Modbus_Request_Editor.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "tables/USNMP_Trap_Access.h"

#include <algorithm>

namespace {

constexpr int Most_Poll_Time = 100000000, Most_Max_Error = 100000000, Most_Address = 65535, Most_Port = 65535;

// A number of the cell as it stands, -1 when it is none.
int Cell_Number(const IRowGrid& g, int col, int row) { return StrToIntDef(g.GetCellEx(col, row), -1); }

bool In_Range(int v, int lo, int hi) { return v >= lo && v <= hi; }

bool Check_Table(const IRowGrid& g, const TRequest_Table& t, int leadText, int nbyte, bool formatRequired) {
    const TRequest_Rules& r = t.Rules;
    const TRequest_Cols& c = r.Col;
    const String& lead = Lang_Table[leadText];
    for (int row = 1; row < g.GetRowCount() && !Is_End_Row(g, t.All, row); ++row) {
        auto fail = [&](int text, int limit = 0) {
            Row_Error(lead, row, Lang_Table[text], limit);
            return false;
        };
        if (c.IP >= 0) {
            if (Check_IP_Address(g.GetCellEx(c.IP, row))) return fail(r.IP_Text);
            if (!In_Range(Cell_Number(g, c.Port, row), 0, Most_Port)) return fail(r.Port_Text);
        }
        if (!In_Range(Cell_Number(g, c.Slave, row), r.Slave_Min, r.Slave_Max)) return fail(r.Slave_Text);
        const String type = g.GetCellEx(c.Type, row);
        if (type.empty()) return fail(r.Type_Text);
        // Any text but the bit choices, also one from a hand-edited file, is a register request.
        const String kind = UpperCase(Trim(type));
        const bool bits = kind == u"COIL STATUS" || (r.Input_Status_Is_Bit && kind == u"INPUT STATUS");
        if (!In_Range(Cell_Number(g, c.Address, row), 0, Most_Address)) return fail(r.Address_Text);
        const int npoint = Cell_Number(g, c.NPoint, row);
        const int most = bits ? r.Bit_NPoint_Max : r.Register_NPoint_Max;
        if (!In_Range(npoint, 1, most)) return fail(r.NPoint_Text, most);
        if (!In_Range(Cell_Number(g, c.Poll, row), r.Poll_Min, Most_Poll_Time)) return fail(r.Poll_Text);
        if (!In_Range(Cell_Number(g, c.Max_Error, row), 0, Most_Max_Error)) return fail(r.Max_Error_Text);
        const int position = Cell_Number(g, c.Position, row);
        if (!In_Range(position, 0, nbyte - 1)) return fail(r.Position_Text, nbyte - 1);
        int last;
        if (bits) {
            const String bit = g.GetCellEx(c.Bit, row);
            if (bit.empty()) return fail(r.Bit_Text);
            last = position + (npoint + StrToIntDef(bit, 0) - 1) / 8;
        } else {
            last = position + 2 * npoint - 1;
        }
        if (last >= nbyte) return fail(r.Last_Byte_Text);
        if (formatRequired && Trim(g.GetCellEx(c.Format, row)).empty()) return fail(r.Format_Text);
    }
    return true;
}

int Clamped_Area(int v) { return std::clamp(v, 0, Largest_Process_Image); }

}  // namespace

bool Check_IP_Address(const String& IP_Address) {
    if (IP_Address.empty()) return true;
    String rest = IP_Address;
    for (int i = 0; i < 4; ++i) {
        String field;
        const std::size_t dot = rest.find(u'.');
        // The fourth field is all that follows the third point, further points included.
        if (i == 3 || dot == String::npos) {
            field = rest;
            rest.clear();
        } else {
            field = rest.substr(0, dot);
            rest = rest.substr(dot + 1);
        }
        if (!In_Range(StrToIntDef(field, -1), 0, 255)) return true;
    }
    return false;
}

std::vector<TColumnDesc> Without_Column(std::span<const TColumnDesc> columns, int col) {
    std::vector<TColumnDesc> r;
    for (const TColumnDesc& c : columns)
        if (c.Col != col) r.push_back(c);
    return r;
}

bool Is_SNMP_Model(const TModbus_Editor_Desc& d, int model) {
    return std::find(d.SNMP_Models.begin(), d.SNMP_Models.end(), model) != d.SNMP_Models.end();
}

int Modbus_Map_Type(const TModbus_Editor_Desc& d, int model, const String& parGenPath) {
    if (!Is_SNMP_Model(d, model)) return 0;
    return model == d.Map_Type_Model ? SNMP_Map_Type(parGenPath) : 1;
}

TModbus_Layout Modbus_Layout(const TModbus_Editor_Desc& d, int model, int mapType) {
    if (!Is_SNMP_Model(d, model)) return {d.Width_Plain, false, false};
    if (mapType == 1) return {d.Width_Map_1, false, false};
    return {d.Width_Map_0, true, true};
}

TModbus_Sizes Modbus_Sizes(const TModbus_Editor_Desc& d, int model, const String& parGenPath) {
    if (Is_SNMP_Model(d, model)) return {Modbus_SNMP_Area, Modbus_SNMP_Area};
    return {Clamped_Area(ParGen_Number(parGenPath, d.NB_OUT_Key, Modbus_Default_Area)),
            Clamped_Area(ParGen_Number(parGenPath, d.NB_IN_Key, Modbus_Default_Area))};
}

bool Modbus_Controllo_dati(const TModbus_Editor_Desc& d, const IRowGrid& read, const IRowGrid& write,
                           const TModbus_Sizes& sizes, bool formatRequired) {
    return Check_Table(read, d.Read, d.Lead_Text, sizes.NByte_IN, formatRequired) &&
           Check_Table(write, d.Write, d.Lead_Text, sizes.NByte_OUT, formatRequired);
}

namespace {
const TTableDesc& File_Table(const TModbus_Editor_Desc& d, const TRequest_Table& t, int model) {
    return Is_SNMP_Model(d, model) ? t.All : t.No_Format;
}
}  // namespace

void Modbus_Load(const TModbus_Editor_Desc& d, const String& path, IRowGrid& read, IRowGrid& write, int model) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    Load_Rows(Table_Element(root, d.Read.All.Container), read, File_Table(d, d.Read, model));
    Load_Rows(Table_Element(root, d.Write.All.Container), write, File_Table(d, d.Write, model));
}

void Modbus_Build_Document(const TModbus_Editor_Desc& d, TXmlDocument& doc, const IRowGrid& read,
                           const IRowGrid& write, int model) {
    Build_Table_Document(doc, d.Root, Version_Comment(d.Version, model),
                         {{File_Table(d, d.Read, model), read}, {File_Table(d, d.Write, model), write}});
}

TModbus_Request_Form::TModbus_Request_Form(TComponent* AOwner, const TModbus_Editor_Desc& desc)
    : TTable_Editor_Form(AOwner, desc.Form_Name, desc.Width_Plain, 337), desc_(desc) {
    Btn_DelRow = Make_Editor_Button(P_Button, u"Btn_DelRow", 252);
    Btn_InsRow = Make_Editor_Button(P_Button, u"Btn_InsRow", 370);
    Btn_OK->OnClick = [this](TObject* s) { Btn_OKClick(s); };
    Btn_DelRow->OnClick = [this](TObject* s) { Btn_DelRowClick(s); };
    Btn_InsRow->OnClick = [this](TObject* s) { Btn_InsRowClick(s); };

    PageControl1 = Make_Editor_Pages(this);
    TS_Modbus_Read = Make_Tab_Sheet(this, PageControl1, u"TS_Modbus_Read");
    TS_Modbus_Write = Make_Tab_Sheet(this, PageControl1, u"TS_Modbus_Write");
    ACG_Modbus_Read = Make_Table_Grid(TS_Modbus_Read, u"ACG_Modbus_Read", desc.Read.All, desc.Rows);
    ACG_Modbus_Write = Make_Table_Grid(TS_Modbus_Write, u"ACG_Modbus_Write", desc.Write.All, desc.Rows);
    read_rows_ = std::make_unique<TColumnGridRows>(*ACG_Modbus_Read);
    write_rows_ = std::make_unique<TColumnGridRows>(*ACG_Modbus_Write);
    for (TExColumnGrid* g : {ACG_Modbus_Read, ACG_Modbus_Write}) {
        g->OnKeyPress = [this, g](TObject*, Char& k) { Grid_Enter_Next_Cell(Rows(g), k); };
    }
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TModbus_Request_Form::~TModbus_Request_Form() = default;

void TModbus_Request_Form::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    if (desc_.Set_Up_At_Create)
        Hide_Columns();
    else
        Apply_Layout(Modbus_Layout(desc_, Model_Code, 0));
    SetClientHeight(337);
    PageControl1->SetActivePage(TS_Modbus_Read);
    Set_Lang();
}

void TModbus_Request_Form::Apply_Layout(const TModbus_Layout& l) {
    SetClientWidth(l.Client_Width);
    const int hidden_read[] = {desc_.Read.Rules.Col.Format};
    const int hidden_write[] = {desc_.Write.Rules.Col.Format};
    Show_Columns(ACG_Modbus_Read, l.Format_Shown ? std::span<const int>() : hidden_read);
    Show_Columns(ACG_Modbus_Write, l.Format_Shown ? std::span<const int>() : hidden_write);
    format_required_ = l.Format_Required;
}

void TModbus_Request_Form::Hide_Columns() {
    Select_Type_Map = Modbus_Map_Type(desc_, Model_Code, Path_ParGen);
    Apply_Layout(Modbus_Layout(desc_, Model_Code, Select_Type_Map));
}

void TModbus_Request_Form::Set_Lang() {
    SetCaption(Lang_Table[desc_.Caption_Text]);
    L_SW_Desc->SetCaption(Lang_Table[desc_.Desc_Text]);
    for (int i = 0; i < P_Button->ControlCount() && i < 6; ++i)
        if (desc_.Button_Texts[i]) P_Button->Controls(i)->SetCaption(Lang_Table[desc_.Button_Texts[i]]);
    TS_Modbus_Read->SetCaption(Lang_Table[desc_.Read.Tab_Text]);
    TS_Modbus_Write->SetCaption(Lang_Table[desc_.Write.Tab_Text]);
    Set_Headers(ACG_Modbus_Read, desc_.Read.All, desc_.Read.Header0_Text);
    Set_Headers(ACG_Modbus_Write, desc_.Write.All, desc_.Write.Header0_Text);
}

void TModbus_Request_Form::FormShow(TObject*) {
    show_.Run([&] {
        Reset_Table(*read_rows_, desc_.Read.All);
        Reset_Table(*write_rows_, desc_.Write.All);
        PageControl1->SetActivePage(TS_Modbus_Read);
        // The map type may have changed in the general parameters since the last show.
        if (Is_SNMP_Model(desc_, Model_Code)) Hide_Columns();
        const TModbus_Sizes s = Modbus_Sizes(desc_, Model_Code, Path_ParGen);
        NByte_IN = s.NByte_IN;
        NByte_OUT = s.NByte_OUT;
        Set_Number_Choices(ACG_Modbus_Read, desc_.Read.Rules.Col.Position, NByte_IN);
        Set_Number_Choices(ACG_Modbus_Write, desc_.Write.Rules.Col.Position, NByte_OUT);
        if (FileExists(*desc_.Path)) Modbus_Load(desc_, *desc_.Path, *read_rows_, *write_rows_, Model_Code);
        Show_Done();
    });
}

TExColumnGrid* TModbus_Request_Form::Active_Grid() const {
    return PageControl1->ActivePage() == TS_Modbus_Read ? ACG_Modbus_Read : ACG_Modbus_Write;
}

IRowGrid& TModbus_Request_Form::Rows(TExColumnGrid* grid) {
    return grid == ACG_Modbus_Read ? *read_rows_ : *write_rows_;
}

void TModbus_Request_Form::Insert_Row(int Num_Row, TExColumnGrid* app_SGA) { Grid_Insert_Row(Num_Row, Rows(app_SGA)); }

void TModbus_Request_Form::Delete_Row(int Num_Row, TExColumnGrid* SGA) { Grid_Delete_Row(Num_Row, Rows(SGA)); }

void TModbus_Request_Form::Btn_InsRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Insert_Row(g->Row(), g);
}

void TModbus_Request_Form::Btn_DelRowClick(TObject*) {
    TExColumnGrid* g = Active_Grid();
    Confirm_Delete_Row(Rows(g), g->Row(), Lang_Table[desc_.Delete_Text]);
}

bool TModbus_Request_Form::Controllo_dati() {
    return Modbus_Controllo_dati(desc_, *read_rows_, *write_rows_, {NByte_IN, NByte_OUT}, format_required_);
}

void TModbus_Request_Form::Btn_OKClick(TObject*) {
    if (Check_And_Save(
            show_, [&] { return Controllo_dati(); },
            [&](TXmlDocument& doc) { Modbus_Build_Document(desc_, doc, *read_rows_, *write_rows_, Model_Code); },
            *desc_.Path))
        SetModalResult(mrOk);
}
