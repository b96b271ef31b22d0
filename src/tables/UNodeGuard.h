#pragma once
// The CANopen nodes the converter guards ("NodeGuard.xml"): up to 32 rows of
// node ID, guard time and life time factor.

#include "tables/CANopen_Access.h"

#include <memory>

class TXmlDocument;

constexpr int NodeGuard_Row_Count = 32;

// Columns 1..4 (Device ID .. Mnemonic), rows under the root; key Device ID,
// trimmed; every attribute loads empty when missing.
extern const TTableDesc NodeGuard_Table;
extern const TCANopen_Table NodeGuard_Checks;

namespace nodeguard_col {
constexpr int NodeID = 1, GuardTime = 2, LifeTimeFactor = 3, Mnemonic = 4;
}  // namespace nodeguard_col

void NodeGuard_Load(const String& path, IRowGrid& grid);
void NodeGuard_Build_Document(TXmlDocument& doc, const IRowGrid& grid, int model);

class TFNodeGuard : public TTable_Editor_Form {
public:
    explicit TFNodeGuard(TComponent* AOwner);
    ~TFNodeGuard() override;

    TFlatButton* Btn_DelRow;
    TFlatButton* Btn_InsRow;
    TExColumnGrid* EXG;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    bool Controllo_dati();
    void Btn_OKClick(TObject* Sender);
    void Btn_InsRowClick(TObject* Sender);
    void Btn_DelRowClick(TObject* Sender);

private:
    std::unique_ptr<TColumnGridRows> rows_;
    TShow_Guard show_;
};
extern TFNodeGuard* FNodeGuard;
