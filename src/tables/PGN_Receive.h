#pragma once
// The rules of the receive tables of J1939 and NMEA 2000: which part of each
// received parameter group goes into the process image, and how many bytes
// all rows together take.

#include "tables/PGN_Frames.h"

// Where the checks find their cells and texts; 0 for a column or text the
// protocol lacks.
struct TPGN_Receive_Rules {
    int Col_DP, Col_PGN, Col_SA, Col_TP, Col_FP, Col_Start, Col_NByte;
    int PGN_Max;
    int Lead;
    int Text_DP, Text_PGN, Text_SA;
    int Text_TP_Start, Text_TP_Sum;  // a transport-protocol row
    int Text_FP_Start, Text_FP_Sum;  // a fast-packet row
    // A single frame with a part of its data taken.
    int Text_Both, Text_Start, Text_NByte, Text_Frame_Sum;
    int Text_Budget;
};

// The checks of OK, row by row up to the first empty PGN; shows the first
// failure and gives false.
bool PGN_Receive_Check(const IRowGrid& grid, const TTableDesc& table, const TPGN_Receive_Rules& rules, int budget);

// A receive editor's window: the frame with its checks.
class TPGN_Receive_Form : public TPGN_Frames_Form {
public:
    TPGN_Receive_Form(TComponent* AOwner, const String& name, const TPGN_Editor& editor,
                      const TPGN_Receive_Rules& rules, const String& path);
    int NUM_BYTE_IN;
    void FormShow(TObject* Sender) override;
    bool Controllo_Dati() override;

private:
    const TPGN_Receive_Rules& rules_;
};
