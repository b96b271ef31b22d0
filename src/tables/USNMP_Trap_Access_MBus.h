#pragma once
// The SNMP map of an M-Bus network's objects (meter state, identification
// number, variables): the grid the M-Bus network editor fills, its hints and
// the checks run by OK. The window writes no file.

#include "tables/Table_Frame.h"
#include "grid/ExCGrid.h"
#include "tables/Table_Window.h"

#include <array>
#include <memory>

#include <vector>

// The 14 columns; N ID (1), V ID (2) and On Change (7) stay hidden.
extern const TTableDesc SNMP_MBus_Table;
constexpr int SNMP_MBus_Hidden[] = {1, 2, 7};

namespace snmp_mbus_col {
constexpr int N_ID = 1, V_ID = 2, Node = 3, Variable = 4, Community = 5, Type = 6, On_Change = 7, On_Timer = 8,
              Trap_Time = 9, NumBits = 10, Description = 11, IP = 12, Mnemonic = 13;
}  // namespace snmp_mbus_col

// The header hint of real column col in row row (texts 1920 .. 1932 for
// columns 1 .. 13); empty elsewhere.
String SNMP_MBus_Header_Hint(int row, int col);

// The checks of OK over every row; a row that maps no object (empty N ID)
// is not checked. Shows the first failure and gives false.
bool SNMP_MBus_Controllo_dati(const IRowGrid& grid, std::vector<String>& SL_Check_Desc);

// The window. The M-Bus network editor sets the row count of ACG_SNMP_Read,
// fills rows 1..n (see the filler contract of the column table above), shows
// it modally and, for the OK result only, reads the rows back. Btn_OKClick
// closes with OK only when every row passes. Nothing is written here.
class TFSNMP_Trap_Access_MBus : public TTable_Editor_Form {
public:
    explicit TFSNMP_Trap_Access_MBus(TComponent* AOwner);
    ~TFSNMP_Trap_Access_MBus() override;

    TExColumnGrid* ACG_SNMP_Read;

    std::vector<String> SL_Check_Desc;
    std::vector<String> Hint_SNMP;  // item c - 1: the header hint of real column c

    void FormCreate(TObject* Sender);
    void Hide_Columns();
    void Set_Lang();
    bool Controllo_dati();
    void Btn_OKClick(TObject* Sender);
    void ACG_SNMP_ReadKeyPress(TObject* Sender, Char& Key);
    void ACG_SNMP_ReadDblClickCell(TObject* Sender, int ARow, int ACol);
    void ACG_SNMP_ReadGridHint(TObject* Sender, int ARow, int ACol, String& hintstr);

    // The filler's road for the M-Bus network editor: the grid gets one row
    // per entry (columns 0 .. 13; one empty row when there is none), the
    // window is shown modally, and only on OK the edited cells go back into
    // the entries. True for OK.
    bool Edit_Rows(std::vector<std::array<String, 14>>& Rows);

private:
    std::unique_ptr<TColumnGridRows> rows_;
};
extern TFSNMP_Trap_Access_MBus* FSNMP_Trap_Access_MBus;
