#pragma once
// Which CANopen nodes (IDs 1 to 127) the converter may restart
// ("ReStart_CANopen.xml"): one fixed row per node ID, every row written, no
// checks.

#include "tables/Table_Frame.h"
#include "tables/Table_Window.h"

#include <memory>

class TXmlDocument;

constexpr int ReStart_Node_Count = 127;

// Column 1 Enable ReStart (check box), column 2 Mnemonic; rows under the root.
extern const TTableDesc ReStart_Table;

// Every node ID "N", every mnemonic empty.
void ReStart_Reset(IRowGrid& grid);
// Reads the file's rows by position; a missing attribute takes its default.
void ReStart_Load(const String& path, IRowGrid& grid);
void ReStart_Build_Document(TXmlDocument& doc, const IRowGrid& grid, int model);

class TFReStart_Devices : public TTable_Editor_Form {
public:
    explicit TFReStart_Devices(TComponent* AOwner);
    ~TFReStart_Devices() override;

    TFlatButton* Btn_SelectAll;
    TFlatButton* Btn_ClearAll;
    TExColumnGrid* sga;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void Select_Clear_All_Click(TObject* Sender);
    void Btn_OKClick(TObject* Sender);

private:
    std::unique_ptr<TColumnGridRows> rows_;
    TShow_Guard show_;
};
extern TFReStart_Devices* FReStart_Devices;
