#include "shell/UComon.h"

#include "grid/ExCGrid.h"

#include "framework/Dialogs.h"
#include "framework/Serial.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"

#include <array>

namespace {

const std::array<const char16_t*, 10> Data_Type_Names = {
    u"Byte",          u"Int 1 byte",          u"Int 2 bytes",          u"Int 4 bytes",          u"Int 8 bytes",
    u"Octet String",  u"Float to Int 1 byte", u"Float to Int 2 bytes", u"Float to Int 4 bytes", u"Float to Int 8 bytes",
};

}  // namespace

bool Read_Decimal(const String& s, long long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    if (i == s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
        v = v * 10 + (s[i] - u'0');
        if (v > 4294967296LL)
            return false;
    }
    value = negative ? -v : v;
    return true;
}

int Data_Type_Code(const String& name) {
    for (std::size_t i = 0; i < Data_Type_Names.size(); ++i)
        if (SameText(name, Data_Type_Names[i]))
            return static_cast<int>(i);
    return 0;
}

int SNMP_Security_Level_Code(const String& text) {
    const String s = UpperCase(Trim(text));
    if (s == u"AUTH NOPRIV")
        return 1;
    if (s == u"AUTH PRIV")
        return 2;
    return 0;
}

int SNMP_Auth_Mode_Code(const String& text) { return UpperCase(Trim(text)) == u"SHA" ? 1 : 0; }
int SNMP_Priv_Mode_Code(const String& text) { return UpperCase(Trim(text)) == u"AES" ? 1 : 0; }
int SNMP_Map_Type_Code(const String& text) { return UpperCase(Trim(text)) == u"VARIABLE" ? 1 : 0; }

int Get_BACnet_Eng_Units(Word, int) { return 0; }

int Get_XML_Code_Dev() {
    if (Model_Code == 10)
        return 11;
    if (Model_Code == 21)
        return 20;
    return 0;
}

int Get_Scan_Form_Type() { return 0; }

bool IP_Str_To_Bytes(const String& text, Byte& b0, Byte& b1, Byte& b2, Byte& b3) {
    if (text.empty())
        return true;
    Byte* bytes[4] = {&b0, &b1, &b2, &b3};
    bool error = false;
    String rest = text;
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = rest.find(u'.');
        // The last part is all that remains; the others end at the first point.
        String part;
        if (i == 3)
            part = rest;
        else if (dot != String::npos)
            part = rest.substr(0, dot);
        long long v = 0;
        if (Read_Decimal(part, v) && v >= 0 && v <= 255) {
            *bytes[i] = static_cast<Byte>(v);
        } else {
            *bytes[i] = 0;
            error = true;
        }
        if (dot != String::npos)
            rest = rest.substr(dot + 1);
    }
    return error;
}

int Check_Name_Chars(const String& text, int mode) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        const bool lower = c >= u'a' && c <= u'z';
        const bool upper = c >= u'A' && c <= u'Z';
        const bool digit = c >= u'0' && c <= u'9';
        const bool ok = (i == 0 && mode == 1) ? lower : (lower || upper || digit);
        if (!ok)
            return 1;
    }
    return 0;
}

int TColumnGridRows::GetRowCount() const { return grid_.RowCount(); }
int TColumnGridRows::GetColCount() const { return grid_.ColCount(); }
int TColumnGridRows::NumHiddenColumns() const { return grid_.NumHiddenColumns(); }
String TColumnGridRows::GetCellEx(int col, int row) const { return grid_.GetCellEx(col, row); }
void TColumnGridRows::SetCellEx(int col, int row, const String& text) { grid_.SetCellEx(col, row, text); }
int TColumnGridRows::GetRowEx() const { return grid_.Row(); }
void TColumnGridRows::SetRowEx(int row) { grid_.SetRow(row); }
int TColumnGridRows::GetCol() const { return grid_.Col(); }
void TColumnGridRows::SetCol(int col) { grid_.SetCol(col); }
void TColumnGridRows::AutoSizeCol(int col, int padding) { grid_.AutoSizeCol(col, padding); }
bool TColumnGridRows::IsDataCheckBoxColumn(int col) const {
    return col >= 0 && col < grid_.Columns().Count() && grid_.Columns().Items(col)->Editor() == edDataCheckBox;
}

void Grid_Delete_Row(int row, IRowGrid& grid) {
    const int rows = grid.GetRowCount();
    // Hidden columns move too, or their cells would stay with another row.
    const int cols = grid.GetColCount() + grid.NumHiddenColumns();
    for (int r = row; r <= rows - 2; ++r)
        for (int c = 1; c <= cols - 1; ++c)
            grid.SetCellEx(c, r, grid.GetCellEx(c, r + 1));
    if (rows > 0)
        for (int c = 1; c <= cols - 1; ++c)
            grid.SetCellEx(c, rows - 1, String());
}

void Grid_Insert_Row(int row, IRowGrid& grid) {
    const int rows = grid.GetRowCount();
    const int cols = grid.GetColCount() + grid.NumHiddenColumns();
    for (int r = rows - 2; r >= row; --r)
        for (int c = 1; c <= cols - 1; ++c)
            grid.SetCellEx(c, r + 1, grid.GetCellEx(c, r));
    for (int c = 1; c <= cols - 1; ++c)
        grid.SetCellEx(c, row, String());
}

void Grid_Copy_Row(const IRowGrid& grid, int row) {
    Row_Clipboard.clear();
    const int last = grid.GetColCount() + grid.NumHiddenColumns() - 1;
    for (int c = 1; c <= last; ++c)
        Row_Clipboard.push_back(grid.GetCellEx(c, row));
}

void Grid_DblClick_Auto_Size(IRowGrid& grid, int row, int col) {
    if (Opt_Double_Click_Auto_Size && row == 0)
        grid.AutoSizeCol(col, 0);
}

void Grid_Enter_Next_Cell(IRowGrid& grid, Char& key) {
    if (!Opt_Jump_Field_Tables || key != 13)
        return;
    const int col = grid.GetCol();
    const int row = grid.GetRowEx();
    if (col > 0 && row > 0) {
        if (col < grid.GetColCount() - 1) {
            grid.SetCol(col + 1);
        } else {
            grid.SetCol(1);
            grid.SetRowEx(row == grid.GetRowCount() - 1 ? 1 : row + 1);
        }
    }
    // Consumed also when nothing moved, so the grid does not act on Enter itself.
    key = 0;
}

std::vector<String> Get_COM_Port_List() {
    // Port n is the n-th serial device of this machine; "COM" + n opens it.
    std::vector<String> list;
    const std::size_t count = EnumerateSerialPorts().size();
    for (std::size_t n = 1; n <= count; ++n)
        list.push_back(IntToStr(static_cast<int>(n)));
    return list;
}

void Grid_Paste_Row(IRowGrid& grid, int row, bool sameGrid) {
    if (!sameGrid) {
        MessageDlg(Lang_Table[1102], mtError, TMsgDlgButtons{mbOK});
        return;
    }
    const int last = grid.GetColCount() + grid.NumHiddenColumns() - 1;
    if (last != static_cast<int>(Row_Clipboard.size())) {
        MessageDlg(Lang_Table[1101], mtError, TMsgDlgButtons{mbOK});
        return;
    }
    // Check-box columns always hold a state, so they never make a row in use.
    bool used = false;
    for (int c = 1; c <= last && !used; ++c)
        used = !grid.IsDataCheckBoxColumn(c) && !Trim(grid.GetCellEx(c, row)).empty();
    if (used && MessageDlg(Lang_Table[1100], mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) != mrYes)
        return;
    for (int c = 1; c <= last; ++c)
        grid.SetCellEx(c, row, Row_Clipboard[static_cast<std::size_t>(c - 1)]);
}
