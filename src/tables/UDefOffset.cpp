#include "tables/UDefOffset.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

#include <algorithm>

namespace {

constexpr std::span<const char16_t* const> No_Choices;
const TColumnDesc Byte_Columns[] = {
    {1, 577, TColKind::ComboList, No_Choices, 0, 90, Window_Colour, u"Offset", nullptr},
    {2, 578, TColKind::Normal, No_Choices, 0, 300, Window_Colour, u"Mnemonic", nullptr},
};
// The rows of one byte list under "ByteIN" or "ByteOUT": every byte written.
const TTableDesc Byte_Table = {nullptr, u"row", No_Key_Col, false, 0, Byte_Columns};

const char16_t* const No_Offset = u"None";
constexpr int Row_Height = 21, Byte_Col_Width = 60;

// The slave grid: no fixed column, every column read-only.
const struct {
    int Header_Text, Width;
    std::uint32_t Colour;
} Slave_Columns[] = {{572, 60, 0xCEFFCE}, {573, 90, 0xFFFFD5}, {574, 90, 0xFFFFD5}, {575, 220, Window_Colour}};

// One slave's byte list as rows 1.. of a grid (column 1 the offset, 2 the
// mnemonic), so that the frame's loader and writer serve the lists too.
class TByte_Rows : public IRowGrid {
public:
    TByte_Rows(std::vector<String>& offsets, std::vector<String>& mnemonics) : off_(offsets), mn_(mnemonics) {}
    int GetRowCount() const override { return static_cast<int>(off_.size()) + 1; }
    int GetColCount() const override { return 3; }
    int NumHiddenColumns() const override { return 0; }
    String GetCellEx(int col, int row) const override {
        if (row < 1 || row >= GetRowCount()) return String();
        const std::size_t i = static_cast<std::size_t>(row - 1);
        return col == 1 ? off_[i] : col == 2 ? mn_[i] : col == 0 ? IntToStr(row - 1) : String();
    }
    void SetCellEx(int col, int row, const String& text) override {
        if (row < 1 || row >= GetRowCount()) return;
        const std::size_t i = static_cast<std::size_t>(row - 1);
        if (col == 1) off_[i] = text;
        if (col == 2) mn_[i] = text;
    }
    int GetRowEx() const override { return 1; }
    void SetRowEx(int) override {}
    int GetCol() const override { return 1; }
    void SetCol(int) override {}
    void AutoSizeCol(int, int) override {}
    bool IsDataCheckBoxColumn(int) const override { return false; }

private:
    std::vector<String>& off_;
    std::vector<String>& mn_;
};

String Required(const TXmlNode& row, const char16_t* name) {
    const std::optional<String> v = row.Attribute(name);
    if (!v) throw EConvertError(Missing_Attribute_Text);
    return *v;
}

// The byte grid of a list: one row per byte, column 0 its index from 0.
void Fill_Byte_Grid(TExColumnGrid* grid, const std::vector<String>& offsets, const std::vector<String>& mnemonics) {
    grid->BeginUpdate();
    grid->SetRowCount(static_cast<int>(offsets.size()) + 1);
    for (std::size_t k = 0; k < offsets.size(); ++k) {
        const int r = static_cast<int>(k) + 1;
        grid->SetCellEx(0, r, IntToStr(static_cast<int>(k)));
        grid->SetCellEx(1, r, offsets[k]);
        grid->SetCellEx(2, r, mnemonics[k]);
    }
    grid->EndUpdate();
}

void Take_Byte_Grid(TExColumnGrid* grid, std::vector<String>& offsets, std::vector<String>& mnemonics) {
    const int n = std::min(grid->RowCount() - 1, static_cast<int>(offsets.size()));
    for (int k = 0; k < n; ++k) {
        offsets[static_cast<std::size_t>(k)] = grid->GetCellEx(1, k + 1);
        mnemonics[static_cast<std::size_t>(k)] = grid->GetCellEx(2, k + 1);
    }
}

// A grid whose rows follow data: with none, only its header row.
void Prepare_Data_Grid(TExColumnGrid* grid) {
    grid->SetDefaultRowHeight(Row_Height);
    grid->SetFixedRowAlways(true);
    grid->SetRowCount(1);
    grid->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
}

}  // namespace

int DefOffset_Area_Size(const String& parGenPath, const String& element) {
    return std::clamp(ParGen_Number(parGenPath, element, Default_Area_Size), 0, Max_Area_Size);
}

void Load_Slave_DN(const String& path, TSlave_List& slaves, std::vector<TSlave_Texts>& texts) {
    if (!FileExists(path)) return;
    TXmlDocument doc;
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    for (int i = 0; i < root.ChildCount(); ++i) {
        const TXmlNode row = root.Child(i);
        TSlave_Texts t{Required(row, u"ID"), Required(row, u"NB_IN"), Required(row, u"NB_OUT"),
                       Required(row, u"Mnemonic")};
        auto s = std::make_unique<TSlave_DN>();
        // The fields are the converter's: an 8-bit MAC ID and 16-bit byte counts.
        s->ID = static_cast<std::uint8_t>(StrToInt(t.ID));
        s->ByteIN = static_cast<std::uint16_t>(StrToInt(t.NB_IN));
        s->ByteOUT = static_cast<std::uint16_t>(StrToInt(t.NB_OUT));
        s->SL_ByteIN.assign(s->ByteIN, No_Offset);
        s->SL_ByteIN_M.assign(s->ByteIN, String());
        s->SL_ByteOUT.assign(s->ByteOUT, No_Offset);
        s->SL_ByteOUT_M.assign(s->ByteOUT, String());
        slaves.push_back(std::move(s));
        texts.push_back(std::move(t));
    }
}

void Load_Offset_Slave_DN(const String& path, TSlave_List& slaves) {
    if (!FileExists(path)) return;
    TXmlDocument doc;
    doc.LoadFromFile(path);
    const TXmlNode root = doc.DocumentElement();
    const int n = std::min(root.ChildCount(), static_cast<int>(slaves.size()));
    for (int i = 0; i < n; ++i) {
        const TXmlNode node = root.Child(i);
        TSlave_DN& s = *slaves[static_cast<std::size_t>(i)];
        TByte_Rows in(s.SL_ByteIN, s.SL_ByteIN_M), out(s.SL_ByteOUT, s.SL_ByteOUT_M);
        Load_Rows(Table_Element(node, u"ByteIN"), in, Byte_Table);
        Load_Rows(Table_Element(node, u"ByteOUT"), out, Byte_Table);
    }
}

bool Check_Data(const TSlave_List& slaves, std::map<int, TOffsetOwner>& Check_Byte_Offset) {
    Check_Byte_Offset.clear();
    for (const auto& s : slaves)
        for (std::size_t i = 0; i < s->SL_ByteOUT.size(); ++i) {
            const int offset = StrToIntDef(s->SL_ByteOUT[i], -1);
            if (offset < 0) continue;  // "None"
            const auto [it, fresh] = Check_Byte_Offset.try_emplace(offset, TOffsetOwner{s->ID, static_cast<int>(i)});
            if (fresh) continue;
            MessageDlg(Lang_Table[582] + u"\n\r(First ID = " + IntToStr(it->second.ID) + u" Byte = " +
                           IntToStr(it->second.Byte) + u", Second ID = " + IntToStr(s->ID) + u" Byte = " +
                           IntToStr(static_cast<int>(i)) + u")",
                       mtError, TMsgDlgButtons{mbOK});
            return false;
        }
    return true;
}

void Build_Offset_Document(TXmlDocument& doc, const TSlave_List& slaves) {
    TXmlNode root = doc.CreateRoot(u"Define_Offset");
    doc.AddComment(Version_Comment(TTableEditor::DeviceNet, Model_Code));
    for (const auto& s : slaves) {
        TXmlNode node = root.AddChild(u"Nodo_DNET");
        TByte_Rows in(s->SL_ByteIN, s->SL_ByteIN_M), out(s->SL_ByteOUT, s->SL_ByteOUT_M);
        Save_Rows(node.AddChild(u"ByteIN"), in, Byte_Table);
        Save_Rows(node.AddChild(u"ByteOUT"), out, Byte_Table);
    }
}

TFDefOffset* FDefOffset = nullptr;

TFDefOffset::TFDefOffset(TComponent* AOwner) : TTable_Editor_Form(AOwner, u"FDefOffset", 482, 610) {
    Btn_OK->OnClick = [this](TObject* s) { bitbtn1Click(s); };

    Panel1 = Make_Editor_Panel(this, u"Panel1", alTop, 162);
    Label1 = Make_Label(Panel1, u"Label1", 8, 4);
    ACG_DN_Slaves = new TExColumnGrid(Panel1);
    ACG_DN_Slaves->SetName(u"ACG_DN_Slaves");
    ACG_DN_Slaves->SetParent(Panel1);
    Set_Window_Grid_Look(ACG_DN_Slaves);
    ACG_DN_Slaves->SetBounds(8, 22, 466, 136);
    ACG_DN_Slaves->SetColCount(4);
    ACG_DN_Slaves->SetFixedCols(0);
    Prepare_Data_Grid(ACG_DN_Slaves);
    ACG_DN_Slaves->SetOptions(ACG_DN_Slaves->Options() - TGridOptions{goEditing});
    for (int c = 0; c < 4; ++c) {
        TGridColumnItem* item = ACG_DN_Slaves->Columns().Items(c);
        item->SetWidth(Slave_Columns[c].Width);
        item->SetColor(Column_Colour(Slave_Columns[c].Colour));
        item->SetReadOnly(true);
        item->HeaderFont().SetStyle(TFontStyles{fsBold});
    }
    ACG_DN_Slaves->OnClick = [this](TObject* s) { ACG_DN_SlavesClick(s); };

    Splitter1 = new TSplitter(this);
    Splitter1->SetName(u"Splitter1");
    Splitter1->SetParent(this);
    Splitter1->SetAlign(alTop);
    Splitter1->SetTop(Panel1->Top() + Panel1->Height());
    Splitter1->SetHeight(3);

    Panel3 = Make_Editor_Panel(this, u"Panel3", alClient, 0);
    Label2 = Make_Label(Panel3, u"Label2", 8, 6);
    Label3 = Make_Label(Panel3, u"Label3", 8, 24);
    PageControl1 = new TPageControl(this);
    PageControl1->SetName(u"PageControl1");
    PageControl1->SetParent(Panel3);
    PageControl1->SetBounds(8, 44, 466, Panel3->Height() - 48);
    PageControl1->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    TabSheet1 = Make_Tab_Sheet(this, PageControl1, u"TabSheet1");
    TabSheet2 = Make_Tab_Sheet(this, PageControl1, u"TabSheet2");
    // Made with one data row, so that the header row can be fixed; rows follow the slave from here on.
    ACG_ByteIN = Make_Table_Grid(TabSheet1, u"ACG_ByteIN", Byte_Table, 1);
    ACG_ByteOUT = Make_Table_Grid(TabSheet2, u"ACG_ByteOUT", Byte_Table, 1);
    for (TExColumnGrid* g : {ACG_ByteIN, ACG_ByteOUT}) {
        g->Columns().Items(0)->SetWidth(Byte_Col_Width);
        Prepare_Data_Grid(g);
    }

    // These panels paint their own colour, the window's, rather than their parent's background.
    for (TPanel* p : {P_Button, Panel1, Panel3}) {
        p->SetControlStyle(p->ControlStyle() - TControlStyle{csParentBackground});
        p->SetColor(Color());
    }
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TFDefOffset::~TFDefOffset() = default;

void TFDefOffset::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientHeight(610);
    SetClientWidth(482);
    PageControl1->SetActivePage(TabSheet1);
    Set_Lang();
}

void TFDefOffset::Set_Lang() {
    SetCaption(Lang_Table[562]);
    L_SW_Desc->SetCaption(Lang_Table[563]);
    Btn_OK->SetCaption(Lang_Table[564]);
    Btn_Cancel->SetCaption(Lang_Table[565]);
    Label1->SetCaption(Lang_Table[566]);
    Label2->SetCaption(Lang_Table[567]);
    Label3->SetCaption(Lang_Table[568] + u" \"None\" " + Lang_Table[569]);
    TabSheet1->SetCaption(Lang_Table[570]);
    TabSheet2->SetCaption(Lang_Table[571]);
    for (int c = 0; c < 4; ++c) ACG_DN_Slaves->Columns().Items(c)->SetHeader(Lang_Table[Slave_Columns[c].Header_Text]);
    ACG_ByteIN->Columns().Items(0)->SetHeader(Lang_Table[576]);
    ACG_ByteIN->Columns().Items(1)->SetHeader(Lang_Table[577]);
    ACG_ByteIN->Columns().Items(2)->SetHeader(Lang_Table[578]);
    ACG_ByteOUT->Columns().Items(0)->SetHeader(Lang_Table[579]);
    ACG_ByteOUT->Columns().Items(1)->SetHeader(Lang_Table[580]);
    ACG_ByteOUT->Columns().Items(2)->SetHeader(Lang_Table[581]);
}

void TFDefOffset::FormShow(TObject*) {
    show_.Run([&] {
        // Nothing of an earlier showing may stay: a failure below skips the
        // rest, and the byte grids must never show a freed slave.
        List_Slaves_DN.clear();
        Slave_Before_Select = -1;
        for (TExColumnGrid* g : {ACG_DN_Slaves, ACG_ByteIN, ACG_ByteOUT}) g->SetRowCount(1);
        MAX_BYTE_IN = DefOffset_Area_Size(Path_ParGen, u"PROFINET_NB_IN");
        MAX_BYTE_OUT = DefOffset_Area_Size(Path_ParGen, u"PROFINET_NB_OUT");
        const struct {
            TExColumnGrid* grid;
            int count;
        } choices[] = {{ACG_ByteIN, MAX_BYTE_IN}, {ACG_ByteOUT, MAX_BYTE_OUT}};
        for (const auto& c : choices) {
            Set_Number_Choices(c.grid, 1, c.count);
            c.grid->Columns().Items(1)->ComboItems().Insert(0, No_Offset);
        }
        Load_Slave_DN();
        Load_Offset_Slave_DN();
        Select_First();
    });
}

void TFDefOffset::Load_Slave_DN() {
    std::vector<TSlave_Texts> texts;
    // The grid shows exactly the slaves made, also when a row stops the loading.
    auto fill = [&] {
        ACG_DN_Slaves->SetRowCount(static_cast<int>(texts.size()) + 1);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            const TSlave_Texts& t = texts[i];
            const String* cells[] = {&t.ID, &t.NB_IN, &t.NB_OUT, &t.Mnemonic};
            for (int c = 0; c < 4; ++c) ACG_DN_Slaves->SetCellEx(c, r, *cells[c]);
        }
    };
    try {
        ::Load_Slave_DN(Path_DNETM_Net, List_Slaves_DN, texts);
    } catch (const Exception&) {
        fill();
        throw;
    }
    fill();
}

void TFDefOffset::Load_Offset_Slave_DN() { ::Load_Offset_Slave_DN(Path_DNETM_DefOff, List_Slaves_DN); }

void TFDefOffset::Select_First() {
    if (List_Slaves_DN.empty()) {
        ACG_ByteIN->SetRowCount(1);
        ACG_ByteOUT->SetRowCount(1);
        return;
    }
    ACG_DN_Slaves->SetRow(1);
    ACG_DN_SlavesClick(ACG_DN_Slaves);
}

void TFDefOffset::ACG_DN_SlavesClick(TObject*) {
    if (Slave_Before_Select != -1) Save_Data_ByteIN_ByteOUT();
    const int row = ACG_DN_Slaves->Row();
    const bool has_slave = row >= 1 && row <= static_cast<int>(List_Slaves_DN.size());
    if (has_slave) ACG_DN_Slaves->SelectRows(row, 1);
    Slave_Before_Select = has_slave ? row - 1 : -1;
    Update_Slave_DN();
}

void TFDefOffset::Update_Slave_DN() {
    if (Slave_Before_Select < 0) {
        ACG_ByteIN->SetRowCount(1);
        ACG_ByteOUT->SetRowCount(1);
        return;
    }
    const TSlave_DN& s = *List_Slaves_DN[static_cast<std::size_t>(Slave_Before_Select)];
    Fill_Byte_Grid(ACG_ByteIN, s.SL_ByteIN, s.SL_ByteIN_M);
    Fill_Byte_Grid(ACG_ByteOUT, s.SL_ByteOUT, s.SL_ByteOUT_M);
}

bool TFDefOffset::Save_Data_ByteIN_ByteOUT() {
    if (Slave_Before_Select < 0) return true;
    TSlave_DN& s = *List_Slaves_DN[static_cast<std::size_t>(Slave_Before_Select)];
    Take_Byte_Grid(ACG_ByteIN, s.SL_ByteIN, s.SL_ByteIN_M);
    Take_Byte_Grid(ACG_ByteOUT, s.SL_ByteOUT, s.SL_ByteOUT_M);
    return true;
}

void TFDefOffset::Reset_Array_Check() { Check_Byte_Offset.clear(); }

bool TFDefOffset::Check_Data() { return ::Check_Data(List_Slaves_DN, Check_Byte_Offset); }

bool TFDefOffset::Save_Offset_Slave_DN() {
    TXmlDocument doc;
    Build_Offset_Document(doc, List_Slaves_DN);
    return Save_Table_File(doc, Path_DNETM_DefOff);
}

void TFDefOffset::bitbtn1Click(TObject*) {
    if (Slave_Before_Select != -1) Save_Data_ByteIN_ByteOUT();
    if (!Check_Data() || !show_.Confirm_Replace()) return;
    if (Save_Offset_Slave_DN()) SetModalResult(mrOk);
}
