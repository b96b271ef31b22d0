#pragma once
// What the four parameter-group editors share (J1939 and NMEA 2000, each
// receiving and transmitting): one table of 62 rows written right under the
// root, a byte budget of the process image that the rows of one direction
// share, the six window texts, and the window with its grid and row buttons.

#include "grid/ExCGrid.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <memory>

class TXmlDocument;
class TXmlNode;

// Data rows of every parameter-group table.
constexpr int PGN_Row_Count = 62;
// The process-image bytes that the rows of one direction may take.
constexpr int J1939_Byte_Budget = 1438;
constexpr int NMEA_Byte_Budget = 512;

// The choices of a J1939 Data Page cell.
extern const char16_t* const Data_Page_Choices[2];

// One editor as data: its table, file and window texts.
struct TPGN_Editor {
    const TTableDesc& Table;
    TTableEditor Version;  // which version comment the file gets
    const char16_t* Root;  // both directions of a protocol share it
    int Budget;
    int Client_Width;
    int First_Text;  // caption, title, OK, Cancel, Delete Row, Insert Row in a row
    int Header0;     // "N°"
    int Delete_Question;
    // Fills the grid from the root's children; nullptr: every attribute into
    // its column, with the column's default when missing.
    void (*Load)(const TXmlNode& root, IRowGrid& grid);
};

// The reset and, when the file exists, its rows. A failure is shown and
// leaves the rows read before it (see TShow_Guard).
void PGN_Show_Table(TShow_Guard& guard, IRowGrid& grid, const TPGN_Editor& editor, const String& path);
// The file's document: root, version comment, the rows up to the first empty key.
void PGN_Build_Document(TXmlDocument& doc, const IRowGrid& grid, const TPGN_Editor& editor, int model);

// The budget message: the text and the budget, without lead or row number.
void PGN_Budget_Error(int text, int budget);
// A whole number of a cell; anything else is -1, as every range check wants it.
int PGN_Number(const IRowGrid& grid, int col, int row);

// The window of a parameter-group editor: the grid sga under the title panel
// and the four buttons; the direction's form adds its checks.
class TPGN_Frames_Form : public TTable_Editor_Form {
public:
    // path: the project's path global of the editor's file, read at each show and OK.
    TPGN_Frames_Form(TComponent* AOwner, const String& name, const TPGN_Editor& editor, const String& path);
    ~TPGN_Frames_Form() override;

    TFlatButton* Btn_DelRow;
    TFlatButton* Btn_InsRow;
    TExColumnGrid* sga;

    void FormCreate(TObject* Sender);
    virtual void FormShow(TObject* Sender);
    void Set_Lang();
    void Insert_Row(int Num_Row, TExColumnGrid* app_SGA);
    // Asks first; acts only on a data row.
    void Delete_Row(int Num_Row);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);
    virtual bool Controllo_Dati() = 0;
    void Btn_OKClick(TObject* Sender);

protected:
    IRowGrid& Rows() { return *rows_; }
    const TPGN_Editor& editor_;

private:
    const String& path_;
    std::unique_ptr<TColumnGridRows> rows_;
    TShow_Guard show_;
};
