#pragma once
// What the three CANopen address editors (SDO server, SDO client, PDO)
// share: two tables in one file under the same root, the byte sizes of the
// data area read from "ParGen.xml" (directly or crossed), the row checks as
// data (ranges, the excluded PDO data indices, the allowed sizes, and the
// address cells that the size cell makes checked), and the window with its
// two tab sheets and row buttons.

#include "framework/ComCtrls.h"
#include "grid/ExCGrid.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <memory>
#include <span>

class TXmlDocument;

// The data area's size each table addresses when "ParGen.xml" says nothing.
constexpr int CANopen_Default_NByte = 1440;

// One check of a row, run in table order.
enum class TCANopen_Rule_Kind {
    Range,               // Lo <= value <= Hi
    Not_PDO_Data_Index,  // outside the data objects of the 30 + 30 PDOs of the EDS file
    One_Two_Or_Four,     // an SDO's size in bytes
    Addresses,           // as many address cells from Col as the size cell says, each 0 .. limit - 1
};
struct TCANopen_Rule {
    TCANopen_Rule_Kind Kind;
    int Col;     // the checked cell; Addresses: the first address cell
    int Lo, Hi;  // Range only
    int Text;    // Lang_Table index of the detail; Addresses: that of byte 1, byte k at Text + k - 1
};

// One table of an editor with its checks.
struct TCANopen_Table {
    const TTableDesc& Table;
    int Size_Col;  // N Byte or Dimension, checked before the addresses
    std::span<const TCANopen_Rule> Rules;
};

// An editor: its file, tables, sizes and texts.
struct TCANopen_Editor {
    const char16_t* Form_Name;
    const char16_t* Root;
    TCANopen_Table First;   // on the first tab sheet, checked and written first
    TCANopen_Table Second;
    // False: the first table addresses PROFINET_NB_IN, the second
    // PROFINET_NB_OUT; true: the other way round.
    bool Crossed;
    int Lead;            // "Error row "
    int Texts;           // caption; + 1 title, + 2 .. + 5 buttons, + 6 and + 7 tabs, + 8 header N of the first grid
    int Header0_Second;  // header N of the second grid
    int Delete_Text;
    const char16_t* Sheet_Names[2];
    String* Path;        // the path global of the file
};

// The limits of the address cells of the two tables.
struct TCANopen_Limits {
    int First = CANopen_Default_NByte;
    int Second = CANopen_Default_NByte;
};
// From "ParGen.xml" (1440 for a missing file, element or number); a file
// that cannot be read raises.
TCANopen_Limits CANopen_Limits(const String& parGenPath, bool crossed);

// The message of the first failing check of the table (lead, row, detail,
// limit), rows from 1 up to the first row whose key is empty after
// trimming; empty when every row passes.
String CANopen_Table_Failure(const IRowGrid& grid, const TCANopen_Table& table, int lead, int limit);
// True for an empty failure; otherwise shows it in an error box.
bool No_Failure(const String& failure);
// Both tables in order; shows the first failure and gives false.
bool CANopen_Controllo_dati(const TCANopen_Editor& editor, const IRowGrid& first, const IRowGrid& second,
                            const TCANopen_Limits& limits);

// Empties both tables (column 0 := row number).
void CANopen_Reset(const TCANopen_Editor& editor, IRowGrid& first, IRowGrid& second);
// Reads the file into the tables; every attribute is required. Raises on a
// malformed file, a missing table element or attribute; what was read stays
// and a failure in the first table leaves the second as it was.
void CANopen_Load(const TCANopen_Editor& editor, const String& path, IRowGrid& first, IRowGrid& second);
void CANopen_Build_Document(TXmlDocument& doc, const TCANopen_Editor& editor, const IRowGrid& first,
                            const IRowGrid& second, int model);

// The window: the frame, the two tab sheets with the grids sga and sgb, and
// Delete Row and Insert Row acting on the grid of the active sheet.
class TCANopen_Access_Form : public TTable_Editor_Form {
public:
    TCANopen_Access_Form(TComponent* AOwner, const TCANopen_Editor& editor);
    ~TCANopen_Access_Form() override;

    TFlatButton* Btn_DelRow;
    TFlatButton* Btn_InsRow;
    TPageControl* PageControl1;
    TExColumnGrid* sga;
    TExColumnGrid* sgb;
    int PROFINET_NByte_IN = CANopen_Default_NByte;   // limit of sga
    int PROFINET_NByte_OUT = CANopen_Default_NByte;  // limit of sgb

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    bool Controllo_dati();
    void Btn_OKClick(TObject* Sender);
    void Insert_Row(int Num_Row, TExColumnGrid* app_SGA);
    void Delete_Row(int Num_Row, TExColumnGrid* app_SGA);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);

protected:
    TTabSheet* Sheet(int i) const { return sheets_[i]; }

private:
    TExColumnGrid* Active_Grid() const;
    IRowGrid& Rows(TExColumnGrid* grid);
    const TCANopen_Editor& editor_;
    TTabSheet* sheets_[2];
    std::unique_ptr<TColumnGridRows> first_rows_, second_rows_;
    TShow_Guard show_;
};
