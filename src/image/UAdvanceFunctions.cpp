#include "image/UAdvanceFunctions.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/Threads.h"
#include "framework/Udp.h"
#include "framework/XmlDoc.h"
#include "grid/ExCGrid.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

namespace {

// Command bytes.
constexpr Byte B0_Read_Status = 0xB0, B1_Write_Status = 0xB1, B2_Read_Errors = 0xB2, B3_Write_Transparent = 0xB3,
               B4_Read_Transparent = 0xB4, B5_Slave = 0xB5, B6_Poll = 0xB6;
// B1 carries 129 bitmap bytes, one more than 1024 polls need; the last is 0.
constexpr std::size_t B1_Length = 130;

// The parts of the converter's address in "ParGen.xml", with their defaults.
struct TAddress_Part {
    const char16_t* Key;
    const char16_t* Default;
};
constexpr TAddress_Part Address_Parts[] = {
    {u"PROFINET_IP1", u"192"}, {u"PROFINET_IP2", u"168"}, {u"PROFINET_IP3", u"0"}, {u"PROFINET_IP4", u"5"}};

// The text-table entries of one request's description, in their order:
// the kind, then the names of Slave_ID, Type, Address, NPoint, Mnemonic.
struct TDescription_Entries {
    int Kind, Slave_ID, Type, Address, NPoint, Mnemonic;
};
constexpr TDescription_Entries Read_Entries{849, 256, 257, 258, 259, 264};
constexpr TDescription_Entries Write_Entries{850, 266, 267, 268, 269, 275};

String Describe(TXmlNode request, const TDescription_Entries& e) {
    auto field = [&](int entry, const char16_t* attribute) {
        return Lang_Table[entry] + u" = " + request.AttributeOr(attribute, String()) + u"; ";
    };
    return Lang_Table[e.Kind] + u"; " + field(e.Slave_ID, u"Slave_ID") + field(e.Type, u"Type") +
           field(e.Address, u"Address") + field(e.NPoint, u"NPoint") + field(e.Mnemonic, u"Mnemonic");
}

void Error_Box(const String& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}); }

Byte At(const ByteString& data, std::size_t i) { return static_cast<Byte>(data[i]); }

}  // namespace

String Diag_Converter_Address(const String& pathParGen) {
    TXmlDocument doc;
    bool loaded = false;
    if (FileExists(pathParGen)) {
        try {
            doc.LoadFromFile(pathParGen);
            loaded = true;
        } catch (const Exception& e) {
            // The default address stands; the user can type over it.
            Error_Box(pathParGen + u": " + e.Message());
        }
    }
    const TXmlNode root = loaded ? doc.DocumentElement() : TXmlNode();
    String address;
    for (const TAddress_Part& part : Address_Parts) {
        if (!address.empty()) address += u".";
        const TXmlNode node = root.ChildNode(part.Key);
        address += node ? node.Text() : String(part.Default);
    }
    return address;
}

TAdvance_Functions::TAdvance_Functions(TDiag_Cells& cells) : cells_(cells) {}

TAdvance_Functions::~TAdvance_Functions() { Stop_Listening(); }

void TAdvance_Functions::Start_Listening() {
    Stop_Listening();
    Last_CMD = -1;
    showing_ = std::make_shared<int>(0);
    // Handed over with Queue, never Synchronize: closing waits for the
    // listener's thread, which would otherwise wait for this one.
    std::weak_ptr<int> showing = showing_;
    listener_ = std::make_unique<TUdpListener>([this, showing](const TUdpDatagram& d) {
        TThread::Queue(nullptr, [this, showing, data = d.Data] {
            if (showing.lock()) UDP_Read(data);
        });
    });
    try {
        listener_->Start(String(), Local_Port);
    } catch (const Exception& e) {
        listener_.reset();
        Error_Box(e.Message());
    }
}

void TAdvance_Functions::Stop_Listening() {
    if (listener_) listener_->Stop();
    listener_.reset();
    showing_.reset();
}

bool TAdvance_Functions::Listening() const { return listener_ && listener_->Active(); }

Word TAdvance_Functions::Listening_Port() const { return Listening() ? listener_->LocalPort() : 0; }

void TAdvance_Functions::Fill_Descriptions(const String& pathSetAccess) {
    for (int row = 1; row <= Diag_Polls; ++row) {
        cells_.Set_Cell(TDiag_Column::Write_Status, row, Diag_Enable);
        cells_.Set_Cell(TDiag_Column::Description, row, String());
    }
    if (!FileExists(pathSetAccess)) return;
    TXmlDocument doc;
    try {
        doc.LoadFromFile(pathSetAccess);
    } catch (const Exception& e) {
        Error_Box(pathSetAccess + u": " + e.Message());
        return;
    }
    const TXmlNode root = doc.DocumentElement();
    int row = 1;
    for (auto [table, entries] : {std::pair{u"Modbus_Read", &Read_Entries}, {u"Modbus_Write", &Write_Entries}})
        for (TXmlNode request : root.ChildNode(table).Children()) {
            if (row > Diag_Polls) return;  // the grids end with the converter's last poll
            const String text = Describe(request, *entries);
            cells_.Set_Cell(TDiag_Column::Description, row, text);
            cells_.Set_Cell(TDiag_Column::Error_Description, row, text);
            ++row;
        }
}

void TAdvance_Functions::Send(const String& address, const ByteString& data) {
    try {
        if (!listener_) throw EOSError(Lang_Message(1195, {IntToStr(Local_Port)}));
        listener_->SendTo(address, Converter_Port, data);
    } catch (const Exception& e) {
        Error_Box(e.Message());
    }
}

void TAdvance_Functions::Read_Status(const String& address) {
    Last_CMD = 0;
    Send(address, ByteString(1, char(B0_Read_Status)));
}

void TAdvance_Functions::Write_Status(const String& address) {
    ByteString datagram(B1_Length, '\0');
    datagram[0] = char(B1_Write_Status);
    for (int i = 0; i < Diag_Polls; ++i)
        if (cells_.Cell(TDiag_Column::Write_Status, i + 1) == Diag_Disable)
            datagram[1 + i / 8] = char(At(datagram, 1 + i / 8) | (1u << (i % 8)));
    Send(address, datagram);
}

void TAdvance_Functions::Copy_Status() {
    for (int row = 1; row <= Diag_Polls; ++row) {
        const String state = cells_.Cell(TDiag_Column::Read_Status, row);
        if (state == Diag_Enable || state == Diag_Disable) cells_.Set_Cell(TDiag_Column::Write_Status, row, state);
    }
}

void TAdvance_Functions::Read_Errors(const String& address) {
    Last_CMD = 2;
    Send(address, ByteString(1, char(B2_Read_Errors)));
}

void TAdvance_Functions::Write_Transparent_Mode(const String& address, int itemIndex) {
    Send(address, ByteString{char(B3_Write_Transparent), char(itemIndex == 0 ? 1 : 0)});
}

void TAdvance_Functions::Read_Transparent_Mode(const String& address) {
    Last_CMD = 4;
    cells_.Set_Transparent_Status(u"--");
    Send(address, ByteString(1, char(B4_Read_Transparent)));
}

void TAdvance_Functions::Send_Numbered(const String& address, const TNumbered_Command& c, const String& text,
                                       int itemIndex) {
    const int number = StrToIntDef(text, -1);
    if (number < c.Low || number > c.High) {
        Error_Box(Lang_Table[c.Range_Error]);
        return;
    }
    Send(address, ByteString{char(c.Command), char(number), char(itemIndex)});
    Last_CMD = c.Last_CMD;
}

void TAdvance_Functions::B5_Write(const String& address, const String& slaveText, int itemIndex) {
    Send_Numbered(address, {B5_Slave, 1, 247, 853, 5}, slaveText, itemIndex);
}

void TAdvance_Functions::B6_Write(const String& address, const String& pollText, int itemIndex) {
    Send_Numbered(address, {B6_Poll, 0, 255, 854, 6}, pollText, itemIndex);
}

void TAdvance_Functions::UDP_Read(const ByteString& data) {
    ++read_;
    const std::size_t n = data.size();
    if (Last_CMD == 0 && n >= 2 && At(data, 0) == B0_Read_Status) {
        // Bit j of byte k is poll 8(k - 1) + j; a longer reply names polls
        // the grid has no row for.
        for (std::size_t k = 1; k < n; ++k)
            for (int j = 0; j < 8; ++j) {
                const std::size_t row = 8 * (k - 1) + j + 1;
                if (row > std::size_t(Diag_Polls)) return;
                cells_.Set_Cell(TDiag_Column::Read_Status, int(row), (At(data, k) >> j & 1) ? Diag_Disable : Diag_Enable);
            }
    } else if (Last_CMD == 2 && n >= 1 && At(data, 0) == B2_Read_Errors) {
        // One counter of four bytes, least significant first, per poll; a
        // shorter tail is no counter.
        for (std::size_t m = 1; 4 * m + 1 <= n && m <= std::size_t(Diag_Polls); ++m) {
            const std::uint32_t count = std::uint32_t(At(data, 4 * m - 3)) | std::uint32_t(At(data, 4 * m - 2)) << 8 |
                                        std::uint32_t(At(data, 4 * m - 1)) << 16 | std::uint32_t(At(data, 4 * m)) << 24;
            cells_.Set_Cell(TDiag_Column::Read_Errors, int(m), S(std::to_string(count)));
        }
    } else if (Last_CMD == 4 && n >= 2 && At(data, 0) == B4_Read_Transparent) {
        cells_.Set_Transparent_Status(Lang_Table[At(data, 1) == 1 ? 852 : 851]);
    }
    // Any other datagram is not for the command awaited: ignored.
}

// ---------------------------------------------------------------------------
// The diagnostics window
// ---------------------------------------------------------------------------

TFAdvanceFunctions* FAdvanceFunctions = nullptr;

namespace {

// One column of a diagnostics grid: its width and whether it can be edited
// (only the Write Status list).
struct TDiag_Grid_Column {
    int Width;
    bool Read_Only;
};
constexpr TDiag_Grid_Column Poll_Columns[] = {{40, true}, {85, true}, {85, false}, {390, true}};
constexpr TDiag_Grid_Column Error_Columns[] = {{40, true}, {85, true}, {475, true}};

template <std::size_t N>
TExColumnGrid* Make_Diag_Grid(TForm* owner, TWinControl* parent, const char16_t* name,
                              const TDiag_Grid_Column (&columns)[N]) {
    auto* grid = new TExColumnGrid(owner);
    grid->SetName(name);
    grid->SetParent(parent);
    Set_Window_Grid_Look(grid);
    grid->SetBounds(8, 42, 595, 238);
    grid->SetColCount(int(N));
    grid->SetRowCount(Diag_Polls + 1);  // the header row, then one row per poll
    grid->SetFixedRows(1);
    grid->SetFixedCols(1);
    grid->SetScrollBars(ssBoth);
    grid->SetOptions(grid->Options() + TGridOptions{goColSizing});
    for (std::size_t i = 0; i < N; ++i) {
        TGridColumnItem* column = grid->Columns().Items(int(i));
        column->SetWidth(columns[i].Width);
        column->SetReadOnly(columns[i].Read_Only);
    }
    // Each row is numbered like the rows of every table, so that the poll
    // number that command B6 asks for can be read off the grid.
    for (int row = 1; row <= Diag_Polls; ++row) grid->SetCellEx(0, row, IntToStr(row));
    return grid;
}

TComboBox* Make_Choice(TForm* owner, TWinControl* parent, const char16_t* name, int left, int top) {
    auto* box = new TComboBox(owner);
    box->SetName(name);
    box->SetParent(parent);
    box->SetStyle(csDropDownList);
    box->SetBounds(left, top, 100, 21);
    return box;
}

TEdit* Make_Edit(TForm* owner, TWinControl* parent, const char16_t* name, int left, int top, int width) {
    auto* edit = new TEdit(owner);
    edit->SetName(name);
    edit->SetParent(parent);
    edit->SetBounds(left, top, width, 21);
    return edit;
}

// Enable and Disable from the text table, the first chosen.
void Fill_Choice(TComboBox* box, int enableEntry, int disableEntry) {
    box->Items().Clear();
    box->Items().Add(Lang_Table[enableEntry]);
    box->Items().Add(Lang_Table[disableEntry]);
    box->SetItemIndex(0);
}

}  // namespace

TFAdvanceFunctions::TFAdvanceFunctions(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"FAdvanceFunctions");
    Set_Shell_Form_Look(this);
    SetPosition(poScreenCenter);

    P_Title = Make_Title_Panel(this, 635, &L_SW_Code, &L_SW_Desc);
    L_IP_Address = Make_Label(this, u"L_IP_Address", 16, 76);
    E_IP_Address = Make_Edit(this, this, u"E_IP_Address", 110, 72, 150);

    PageControl1 = new TPageControl(this);
    PageControl1->SetName(u"PageControl1");
    PageControl1->SetParent(this);
    PageControl1->SetBounds(8, 102, 619, 318);
    // The pages and their tabs in Tahoma 8 pt, as designed: in the window's
    // wider face the four tabs do not fit the window's width.
    PageControl1->Font().SetName(u"Tahoma");
    PageControl1->Font().SetHeight(-11);
    auto sheet = [this](const char16_t* name) {
        auto* s = new TTabSheet(this);
        s->SetName(name);
        s->SetPageControl(PageControl1);
        return s;
    };
    TS_B0B1 = sheet(u"TS_B0B1");
    TS_B2 = sheet(u"TS_B2");
    TS_B3B4 = sheet(u"TS_B3B4");
    TS_B5B6 = sheet(u"TS_B5B6");

    Btn_Read_Status = Make_Button(TS_B0B1, u"Btn_Read_Status", 8, 8, 110, 26);
    Btn_Read_Status->OnClick = [this](TObject*) { Functions.Read_Status(Address()); };
    Btn_Write_Status = Make_Button(TS_B0B1, u"Btn_Write_Status", 126, 8, 110, 26);
    Btn_Write_Status->OnClick = [this](TObject*) { Functions.Write_Status(Address()); };
    Btn_Copy = Make_Button(TS_B0B1, u"Btn_Copy", 244, 8, 110, 26);
    Btn_Copy->OnClick = [this](TObject*) { Functions.Copy_Status(); };
    ACG = Make_Diag_Grid(this, TS_B0B1, u"ACG", Poll_Columns);
    TGridColumnItem* writeStatus = ACG->Columns().Items(2);
    writeStatus->SetEditor(edComboList);
    writeStatus->ComboItems().Add(Diag_Enable);
    writeStatus->ComboItems().Add(Diag_Disable);

    Btn_Read_Errors = Make_Button(TS_B2, u"Btn_Read_Errors", 8, 8, 110, 26);
    Btn_Read_Errors->OnClick = [this](TObject*) { Functions.Read_Errors(Address()); };
    ACG2 = Make_Diag_Grid(this, TS_B2, u"ACG2", Error_Columns);

    L_RS_TransparentMode = Make_Label(TS_B3B4, u"L_RS_TransparentMode", 16, 16);
    Btn_Read_Status_Transparent_Mode = Make_Button(TS_B3B4, u"Btn_Read_Status_Transparent_Mode", 16, 36, 110, 26);
    Btn_Read_Status_Transparent_Mode->OnClick = [this](TObject*) { Functions.Read_Transparent_Mode(Address()); };
    L_Status_TransparenMode = Make_Label(TS_B3B4, u"L_Status_TransparenMode", 142, 42);
    L_Status_TransparenMode->SetCaption(u"--");
    L_WS_TransparentMode = Make_Label(TS_B3B4, u"L_WS_TransparentMode", 16, 90);
    CB_WS_TransparentMode = Make_Choice(this, TS_B3B4, u"CB_WS_TransparentMode", 16, 112);
    Btn_Write_Status_Transparent_Mode = Make_Button(TS_B3B4, u"Btn_Write_Status_Transparent_Mode", 126, 109, 110, 26);
    Btn_Write_Status_Transparent_Mode->OnClick = [this](TObject*) {
        Functions.Write_Transparent_Mode(Address(), CB_WS_TransparentMode->ItemIndex());
    };

    L_Title_B5 = Make_Label(TS_B5B6, u"L_Title_B5", 16, 12);
    L_B5_IDDlave = Make_Label(TS_B5B6, u"L_B5_IDDlave", 16, 40);
    E_B5_IDSlave = Make_Edit(this, TS_B5B6, u"E_B5_IDSlave", 110, 36, 60);
    E_B5_IDSlave->SetText(u"1");
    CB_B5_EnableDisable = Make_Choice(this, TS_B5B6, u"CB_B5_EnableDisable", 180, 36);
    Btn_B5_Write = Make_Button(TS_B5B6, u"Btn_B5_Write", 290, 33, 110, 26);
    Btn_B5_Write->OnClick = [this](TObject*) {
        Functions.B5_Write(Address(), E_B5_IDSlave->Text(), CB_B5_EnableDisable->ItemIndex());
    };
    L_Title_B6 = Make_Label(TS_B5B6, u"L_Title_B6", 16, 92);
    L_B6_NumPoll = Make_Label(TS_B5B6, u"L_B6_NumPoll", 16, 120);
    E_B6_NumPoll = Make_Edit(this, TS_B5B6, u"E_B6_NumPoll", 110, 116, 60);
    E_B6_NumPoll->SetText(u"1");
    CB_B6_EnableDisable = Make_Choice(this, TS_B5B6, u"CB_B6_EnableDisable", 180, 116);
    Btn_B6_Write = Make_Button(TS_B5B6, u"Btn_B6_Write", 290, 113, 110, 26);
    Btn_B6_Write->OnClick = [this](TObject*) {
        Functions.B6_Write(Address(), E_B6_NumPoll->Text(), CB_B6_EnableDisable->ItemIndex());
    };

    P_Button = new TPanel(this);
    P_Button->SetName(u"P_Button");
    P_Button->SetParent(this);
    P_Button->SetBounds(0, 425, 635, 40);
    P_Button->SetBevelOuter(bvNone);
    P_Button->SetParentColor(true);
    Btn_Exit = Make_Button(P_Button, u"Btn_Exit", 539, 6, 80, 28);
    Btn_Exit->SetModalResult(mrOk);

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TFAdvanceFunctions::~TFAdvanceFunctions() { Functions.Stop_Listening(); }

void TFAdvanceFunctions::FormCreate(TObject*) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientWidth(635);
    SetClientHeight(465);
    PageControl1->SetActivePageIndex(0);
    Set_Lang();
}

void TFAdvanceFunctions::FormShow(TObject*) {
    Functions.Start_Listening();
    E_IP_Address->SetText(Diag_Converter_Address(Path_ParGen));
    Functions.Fill_Descriptions(Path_ModbusM_SetAccess);
}

void TFAdvanceFunctions::FormClose(TObject*, TCloseAction&) { Functions.Stop_Listening(); }

void TFAdvanceFunctions::Set_Lang() {
    SetCaption(Lang_Table[814]);
    L_SW_Desc->SetCaption(Lang_Table[815]);
    L_IP_Address->SetCaption(Lang_Table[816]);
    TS_B0B1->SetCaption(Lang_Table[817]);
    TS_B2->SetCaption(Lang_Table[818]);
    TS_B3B4->SetCaption(Lang_Table[819]);
    TS_B5B6->SetCaption(Lang_Table[820]);
    Btn_Read_Status->SetCaption(Lang_Table[821]);
    Btn_Write_Status->SetCaption(Lang_Table[822]);
    Btn_Copy->SetCaption(Lang_Table[823]);
    for (int i = 0; i < 4; ++i) ACG->Columns().Items(i)->SetHeader(Lang_Table[824 + i]);
    Btn_Read_Errors->SetCaption(Lang_Table[828]);
    for (int i = 0; i < 3; ++i) ACG2->Columns().Items(i)->SetHeader(Lang_Table[829 + i]);
    L_RS_TransparentMode->SetCaption(Lang_Table[832]);
    Btn_Read_Status_Transparent_Mode->SetCaption(Lang_Table[833]);
    L_WS_TransparentMode->SetCaption(Lang_Table[834]);
    Btn_Write_Status_Transparent_Mode->SetCaption(Lang_Table[835]);
    Fill_Choice(CB_WS_TransparentMode, 836, 837);
    L_Title_B5->SetCaption(Lang_Table[838]);
    L_B5_IDDlave->SetCaption(Lang_Table[839]);
    Fill_Choice(CB_B5_EnableDisable, 840, 841);
    Btn_B5_Write->SetCaption(Lang_Table[842]);
    L_Title_B6->SetCaption(Lang_Table[843]);
    L_B6_NumPoll->SetCaption(Lang_Table[844]);
    Fill_Choice(CB_B6_EnableDisable, 845, 846);
    Btn_B6_Write->SetCaption(Lang_Table[847]);
    Btn_Exit->SetCaption(Lang_Table[848]);
}

String TFAdvanceFunctions::Address() const { return E_IP_Address->Text(); }

namespace {

struct TDiag_Place {
    bool Error_Grid;
    int Column;
};
// The grid and column of each kind of cell, in the order of TDiag_Column.
constexpr TDiag_Place Diag_Places[] = {{false, 1}, {false, 2}, {false, 3}, {true, 1}, {true, 2}};

}  // namespace

String TFAdvanceFunctions::Cell(TDiag_Column column, int row) const {
    const TDiag_Place& p = Diag_Places[int(column)];
    return (p.Error_Grid ? ACG2 : ACG)->GetCellEx(p.Column, row);
}

void TFAdvanceFunctions::Set_Cell(TDiag_Column column, int row, const String& text) {
    const TDiag_Place& p = Diag_Places[int(column)];
    (p.Error_Grid ? ACG2 : ACG)->SetCellEx(p.Column, row, text);
}

void TFAdvanceFunctions::Set_Transparent_Status(const String& text) { L_Status_TransparenMode->SetCaption(text); }
