#pragma once
// The DeviceNet network of model 1 ("DNETM_Net.xml"): one row per slave with
// its MAC ID, its input and output byte counts, the two reset options and a
// mnemonic. The offset editor and the image builder read the file.

#include "grid/ExCGrid.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <memory>

class TXmlDocument;

// Data rows of the network grid: the slaves a DeviceNet master can hold.
constexpr int DNet_Row_Count = 64;

// Real columns of the network grid; the key is ID, not trimmed.
namespace dnet_col {
constexpr int ID = 1, NB_IN = 2, NB_OUT = 3, Reset_DeviceNet = 4, Reset_PROFINET = 5, Mnemonic = 6;
}  // namespace dnet_col

extern const TTableDesc DNet_Table;

// The table steps of show: the grid emptied and numbered, then the file's
// rows when it exists. A failure is shown and skips the rest.
void DNet_Show_Table(TShow_Guard& guard, IRowGrid& grid, const String& path);
// The checks of OK, row by row up to the first empty ID; shows the first
// failure and gives false.
bool DNet_controllo_dati(const IRowGrid& grid);
// The file's document from the grid.
void DNet_Build_Document(TXmlDocument& doc, const IRowGrid& grid);
// OK: the checks, the question after a failed show, the file. True when the
// window may close.
bool DNet_OK(const TShow_Guard& guard, const IRowGrid& grid, const String& path);

// The DeviceNet network editor window.
class TFDNet : public TTable_Editor_Form {
public:
    explicit TFDNet(TComponent* AOwner);
    ~TFDNet() override;

    TFlatButton* Btn_DelRow;
    TFlatButton* Btn_InsRow;
    TExColumnGrid* EXG;

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
    std::unique_ptr<TColumnGridRows> rows_;
    TShow_Guard show_;
};
extern TFDNet* FDNet;
