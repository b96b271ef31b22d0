#pragma once
// The rules of the transmit tables of J1939 and NMEA 2000: the identity of
// each sent parameter group, its data length, when it is sent, and how many
// bytes all rows together take.

#include "tables/PGN_Frames.h"

// Where the checks find their cells and texts; 0 for a column or text the
// protocol lacks.
struct TPGN_Transmit_Rules {
    int Col_Priority, Col_DP, Col_PGN, Col_SA, Col_NByte, Col_On_Timer, Col_SendTimer;
    int NByte_Min;  // the smallest Num Byte; the largest is the budget
    int Lead;
    int Text_Priority, Text_DP, Text_PGN, Text_SA;
    int Text_NByte;  // the budget follows it
    int Text_Budget, Text_SendTimer;
};

// The checks of OK, row by row up to the first empty PGN; shows the first
// failure and gives false.
bool PGN_Transmit_Check(const IRowGrid& grid, const TTableDesc& table, const TPGN_Transmit_Rules& rules, int budget);

// A transmit editor's window: the frame with its checks.
class TPGN_Transmit_Form : public TPGN_Frames_Form {
public:
    TPGN_Transmit_Form(TComponent* AOwner, const String& name, const TPGN_Editor& editor,
                       const TPGN_Transmit_Rules& rules, const String& path);
    int NUM_BYTE_OUT;
    void FormShow(TObject* Sender) override;
    bool Controllo_Dati() override;

private:
    const TPGN_Transmit_Rules& rules_;
};
