#pragma once
// The default value of every DMX channel of models 22 and 29
// ("DMX_Default_Values.xml"): one row per channel, each with the value the
// converter sends until PROFINET sets one, and a mnemonic.

#include "grid/ExCGrid.h"
#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <memory>

class TXmlDocument;

// The channels of a DMX universe: the most rows the table and the image have.
constexpr int DMX_Max_Channels = 512;

namespace dmx_col {
constexpr int Default_Value = 1, Mnemonic = 2;
}  // namespace dmx_col

// Every row is a channel: no key, every row written.
extern const TTableDesc DMX_Table;

// The number of channels: PROFINET_NB_IN of the general parameters (512
// without one), kept within 0 .. 512 so that a hand-edited file builds
// neither a huge nor a negative table. A file that cannot be read raises.
int DMX_Channel_Count(const String& parGenPath);
// Channel numbers in column 0, "0" and an empty mnemonic in every row.
void DMX_Reset(IRowGrid& grid);
// The file's rows by position, no more than the table has; missing
// attributes give "0" and the empty mnemonic.
void DMX_Load(const String& path, IRowGrid& grid);
// Every row's default value from 0 to 255; shows the first failure.
bool DMX_Controllo_dati(const IRowGrid& grid);
// The file's document: one "Row" per channel.
void DMX_Build_Document(TXmlDocument& doc, const IRowGrid& grid, int model);

// The DMX default value editor window. It takes its texts at creation only.
class TFDMXDefVal : public TTable_Editor_Form {
public:
    explicit TFDMXDefVal(TComponent* AOwner);
    ~TFDMXDefVal() override;

    TExColumnGrid* ACG_DMX_Def_Val;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    bool Controllo_dati();
    void Btn_OKClick(TObject* Sender);

private:
    std::unique_ptr<TColumnGridRows> rows_;
    TShow_Guard show_;
};
extern TFDMXDefVal* FDMXDefVal;
