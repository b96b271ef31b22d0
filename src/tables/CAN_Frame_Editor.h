#pragma once
// The CAN frame tables of the CAN models, received and sent alike: one table
// of up to 500 frames, its checks and its file. Each editor gives its own
// description (columns, texts, ranges); the window below serves both.

#include "grid/ExCGrid.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <memory>

class TXmlDocument;

// Data rows of each table.
constexpr int CAN_Frame_Row_Count = 500;

// Real columns both tables share.
namespace canframe_col {
constexpr int Cob_ID = 1, Type = 2, Dimension = 3;
}  // namespace canframe_col

struct TCAN_Frame_Desc {
    const char16_t* Form_Name;
    const char16_t* Root;
    TTableDesc Table;  // the table element under the root, its columns
    String* Path;
    int Time_Col;      // TimeOut or Timer Send
    int Dimension_Min;
    int Caption_Text, Desc_Text;
    int Button_Texts[4];  // OK, Cancel, Delete Row, Insert Row
    int Header0_Text;
    int Lead_Text, Type_Text, Cob_ID_11_Text, Cob_ID_29_Text, Dimension_Text, Time_Text, Delete_Text;
};

// The checks of OK; shows the first failure and gives false.
bool CAN_Frames_Controllo_dati(const TCAN_Frame_Desc& d, const IRowGrid& grid);
// Reads the file into the grid. Raises on a malformed file, a missing table
// element or a missing attribute; rows read before stay.
void CAN_Frames_Load(const TCAN_Frame_Desc& d, const String& path, IRowGrid& grid, int model);
void CAN_Frames_Build_Document(const TCAN_Frame_Desc& d, TXmlDocument& doc, const IRowGrid& grid, int model);

// The frame editor window: one grid, the row buttons acting on it.
class TCAN_Frame_Form : public TTable_Editor_Form {
public:
    TCAN_Frame_Form(TComponent* AOwner, const TCAN_Frame_Desc& desc);
    ~TCAN_Frame_Form() override;

    TFlatButton* Btn_DelRow;
    TFlatButton* Btn_InsRow;
    TExColumnGrid* sga;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void Insert_Row(int Num_Row, TExColumnGrid* app_SGA);
    void Delete_Row(int Num_Row, TExColumnGrid* SGA);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);
    bool controllo_dati();
    void bitbtn1Click(TObject* Sender);

private:
    const TCAN_Frame_Desc& desc_;
    std::unique_ptr<TColumnGridRows> rows_;
    TShow_Guard show_;
};
