#pragma once
// The SNMP read and write maps of an SNMP model's project ("SNMP_Trap.xml"):
// the two tables, the columns and hints by model and SNMP map type, the
// numbering of enabled rows, the checks run by OK and the file.

#include "tables/Table_Frame.h"
#include "framework/ComCtrls.h"
#include "grid/ExCGrid.h"
#include "tables/Table_Window.h"

#include <memory>

#include <vector>

class TXmlDocument;

// Data rows of each map.
constexpr int SNMP_Map_Row_Count = 256;
// Position choices of each map ("0" .. "1023").
constexpr int SNMP_Positions = 1024;

// Read grid: columns 1..14 (Enable .. Mnemonic); key Community Name (2), trimmed.
extern const TTableDesc SNMP_Read_Table;
// Write grid: columns 1..9 (Enable .. Mnemonic).
extern const TTableDesc SNMP_Write_Table;

// Real columns the rules name.
namespace snmp_col {
constexpr int Enable = 1, Community = 2, Type = 3;
constexpr int R_On_Change = 4, R_On_CMD = 5, R_On_Timer = 6, R_Time = 7, R_Position = 8, R_Bit = 9, R_NumBits = 10,
              R_Description = 11, R_IP = 12, R_Conversion = 13, R_Mnemonic = 14;
constexpr int W_Position = 4, W_Bit = 5, W_NumBits = 6, W_Description = 7, W_Conversion = 8, W_Mnemonic = 9;
}  // namespace snmp_col

// The project's SNMP map type for the column set-up, never with a message:
// no file 1, element missing 0, text no number 0, a file that cannot be read 1.
int SNMP_Map_Type(const String& parGenPath);

// What the column set-up gives for a model and map type.
struct TSNMP_Column_Setup {
    bool On_CMD_Shown;       // read column 5
    bool Conversion_Shown;   // read column 13, write column 8
    int Mnemonic_Width_Read;
    int Mnemonic_Width_Write;
    bool Write_Tab;
    std::vector<int> Hint_Read;   // text indices of the shown columns after N, in order
    std::vector<int> Hint_Write;
    std::vector<int> Hidden_Read;   // real columns
    std::vector<int> Hidden_Write;
};
// mapType counts only for models 17, 18 and 19.
TSNMP_Column_Setup SNMP_Column_Setup(int model, int mapType);
// The hint lists Set_Lang puts before the first show.
TSNMP_Column_Setup SNMP_Default_Hints();

// The header hint of display column col in row row; empty elsewhere.
String SNMP_Header_Hint(const std::vector<int>& hints, int row, int col);

// Show's first step: column 0 := row number, Enable := "Y", the rest empty.
void SNMP_Reset(IRowGrid& read, IRowGrid& write);
// Reads the file into the grids (model 21 reads no write rows). Raises on a
// malformed file or a missing table element; rows read before stay.
void SNMP_Load(const String& path, IRowGrid& read, IRowGrid& write, int model);
// Numbers the enabled rows in column 0; other rows get an empty N.
void Index_Row_Build(IRowGrid& grid);

// The checks of OK, in the maps' order; shows the first failure and gives
// false. SL_Check_Desc gathers the enabled rows' descriptions.
bool SNMP_Controllo_dati(const IRowGrid& read, const IRowGrid& write, bool conversionShown,
                         std::vector<String>& SL_Check_Desc);

// The file's document from the grids (model 21 writes an empty write map).
void SNMP_Build_Document(TXmlDocument& doc, const IRowGrid& read, const IRowGrid& write, int model);

// The table steps of show: reset, the file when it exists, the numbering.
// A failure is shown and skips the rest (see TShow_Guard).
void SNMP_Show_Tables(TShow_Guard& guard, IRowGrid& read, IRowGrid& write, int model, const String& path);
// OK: the checks, the question after a failed show, the file. True when the
// window may close.
bool SNMP_OK(const TShow_Guard& guard, const IRowGrid& read, const IRowGrid& write, int model, bool conversionShown,
             std::vector<String>& SL_Check_Desc, const String& path);

// The SNMP map editor window: two grids on two tab sheets, the row buttons
// acting on the grid of the active sheet.
class TFSNMP_Trap_Access : public TTable_Editor_Form {
public:
    explicit TFSNMP_Trap_Access(TComponent* AOwner);
    ~TFSNMP_Trap_Access() override;

    TFlatButton* Btn_DelRow;
    TFlatButton* Btn_InsRow;
    TFlatButton* Btn_CopyRow;
    TFlatButton* Btn_PasteRow;
    TPageControl* PageControl1;
    TTabSheet* TS_SNMP_Read;
    TTabSheet* TS_SNMP_Write;
    TExColumnGrid* ACG_SNMP_Read;
    TExColumnGrid* ACG_SNMP_Write;

    std::vector<int> Hint_SNMP_Read;   // text indices, display order after N
    std::vector<int> Hint_SNMP_Write;
    int NByte_IN = SNMP_Positions;
    int NByte_OUT = SNMP_Positions;
    bool Do_Copy_In_Read = false;
    bool Do_Copy_In_Write = false;
    std::vector<String> SL_Check_Desc;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Hide_Columns();
    void Set_Lang();
    void Index_Row_Build(TExColumnGrid* app_SGA);
    void ACG_SNMP_ReadCheckBoxClick(TObject* Sender, int ACol, int ARow, bool State);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);
    void Btn_CopyRowClick(TObject* Sender);
    void Btn_PasteRowClick(TObject* Sender);
    bool Controllo_dati();
    void Btn_OKClick(TObject* Sender);
    void Grid_DblClickCell(TObject* Sender, int ARow, int ACol);
    void SGA_GridHint(TObject* Sender, int ARow, int ACol, String& hintstr);
    void SGA_KeyPress(TObject* Sender, Char& Key);

private:
    TExColumnGrid* Active_Grid() const;
    IRowGrid& Rows(TExColumnGrid* grid);
    std::unique_ptr<TColumnGridRows> read_rows_, write_rows_;
    TShow_Guard show_;
    bool conversion_shown_ = false;
};
extern TFSNMP_Trap_Access* FSNMP_Trap_Access;
