#pragma once
// Shared helpers of the configurator: text-to-code conversions of the data
// formats and SNMP settings, dotted IPv4 addresses, the SNMP name rule, the
// grid row operations with the one-row clipboard (Row_Clipboard), two grid
// conveniences steered by the option flags, the serial ports of the machine
// and the per-model answers for the M-Bus scan window.

#include "framework/System.h"

#include <vector>

// What the row helpers need of a column grid. Row 0 and column 0 are fixed
// (headers and row numbers); data rows and columns start at 1. ColCount counts
// the visible columns, column 0 included; hidden columns follow them and keep
// their cells. The column grid of the table editors implements this.
class IRowGrid {
public:
    virtual ~IRowGrid() = default;
    virtual int GetRowCount() const = 0;
    virtual int GetColCount() const = 0;
    virtual int NumHiddenColumns() const = 0;
    virtual String GetCellEx(int col, int row) const = 0;
    virtual void SetCellEx(int col, int row, const String& text) = 0;
    // The current row and column.
    virtual int GetRowEx() const = 0;
    virtual void SetRowEx(int row) = 0;
    virtual int GetCol() const = 0;
    virtual void SetCol(int col) = 0;
    virtual void AutoSizeCol(int col, int padding) = 0;
    // True when the column's in-place editor is the data check box.
    virtual bool IsDataCheckBoxColumn(int col) const = 0;
};

class TExColumnGrid;

// The row helpers' view of a column grid (columns real, rows displayed).
class TColumnGridRows : public IRowGrid {
public:
    explicit TColumnGridRows(TExColumnGrid& grid) : grid_(grid) {}
    int GetRowCount() const override;
    int GetColCount() const override;
    int NumHiddenColumns() const override;
    String GetCellEx(int col, int row) const override;
    void SetCellEx(int col, int row, const String& text) override;
    int GetRowEx() const override;
    void SetRowEx(int row) override;
    int GetCol() const override;
    void SetCol(int col) override;
    void AutoSizeCol(int col, int padding) override;
    bool IsDataCheckBoxColumn(int col) const override;

private:
    TExColumnGrid& grid_;
};

// Decimal digits with an optional sign (no blanks, no hex), as the dotted
// addresses and the language files write their numbers; false for anything
// else or a value past 2^32.
bool Read_Decimal(const String& s, long long& value);

// "Byte" 0, "Int 1 byte" 1 ... "Float to Int 8 bytes" 9, compared without
// regard to the case of ASCII letters and not trimmed; anything else 0.
int Data_Type_Code(const String& name);
// Trimmed and upper-cased first; each code is the position of the choice in
// the list the general-parameters form offers.
int SNMP_Security_Level_Code(const String& text);  // "AUTH NOPRIV" 1, "AUTH PRIV" 2, else 0
int SNMP_Auth_Mode_Code(const String& text);       // "SHA" 1, else 0
int SNMP_Priv_Mode_Code(const String& text);       // "AES" 1, else 0
int SNMP_Map_Type_Code(const String& text);        // "VARIABLE" 1, else 0
// The BACnet engineering-units code written for an M-Bus variable: always 0.
int Get_BACnet_Eng_Units(Word type_data, int Type_Data_Vife);
// The device code handed to the scan window: 11 for model 10, 20 for model 21, else 0.
int Get_XML_Code_Dev();
// The scan window always opens in its wired-only form (0).
int Get_Scan_Form_Type();

// Parses a dotted IPv4 address into b0..b3. Returns true on ERROR: an empty
// text (bytes unchanged), or a part that is not 0..255 (that byte becomes 0).
bool IP_Str_To_Bytes(const String& text, Byte& b0, Byte& b1, Byte& b2, Byte& b3);

// The SNMP name rule: letters A-Z, a-z and digits; with mode 1 the first
// character must be a lower-case letter. 1 when the text breaks it, else 0.
int Check_Name_Chars(const String& text, int mode);

// Move the cells of every data column, hidden ones included, up (delete) or
// down (insert) by one row from the given row; column 0 and the row count
// stay.
void Grid_Delete_Row(int row, IRowGrid& grid);
void Grid_Insert_Row(int row, IRowGrid& grid);
// Copies columns 1.. (visible and hidden) of the row into Row_Clipboard.
void Grid_Copy_Row(const IRowGrid& grid, int row);
// Pastes Row_Clipboard into the row. sameGrid: the clipboard was last filled
// from this grid. Shows text 1102 or 1101 and pastes nothing when the copy
// does not fit; asks text 1100 before overwriting a row in use.
void Grid_Paste_Row(IRowGrid& grid, int row, bool sameGrid);
// Double click on a header cell sizes the column when the option is on.
void Grid_DblClick_Auto_Size(IRowGrid& grid, int row, int col);
// With the option on, Enter moves to the next cell (wrapping to row 1) and
// is consumed (key set to 0).
void Grid_Enter_Next_Cell(IRowGrid& grid, Char& key);

// The numbers of the serial ports of this machine, ascending, ports in use
// included (see the serial-port layer for how numbers map to devices).
std::vector<String> Get_COM_Port_List();
