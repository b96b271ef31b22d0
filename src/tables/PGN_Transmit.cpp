#include "tables/PGN_Transmit.h"

#include "framework/SysUtils.h"
#include "shell/Globals.h"

namespace {

// CAN priorities are three bits.
constexpr int Priority_Max = 7;
constexpr int PGN_Max = 0x1FFFF;
// The send period in milliseconds is a 16-bit value of the converter.
constexpr int SendTimer_Max = 65535;

}  // namespace

bool PGN_Transmit_Check(const IRowGrid& grid, const TTableDesc& table, const TPGN_Transmit_Rules& k, int budget) {
    const String& lead = Lang_Table[k.Lead];
    long long total = 0;
    for (int r = 1; r < grid.GetRowCount() && !Is_End_Row(grid, table, r); ++r) {
        auto fail = [&](const String& detail) {
            Row_Error(lead, r, detail);
            return false;
        };
        auto outside = [&](int col, int low, int high) {
            const int n = PGN_Number(grid, col, r);
            return n < low || n > high;
        };
        if (outside(k.Col_Priority, 0, Priority_Max)) return fail(Lang_Table[k.Text_Priority]);
        if (k.Col_DP != 0 && grid.GetCellEx(k.Col_DP, r).empty()) return fail(Lang_Table[k.Text_DP]);
        if (outside(k.Col_PGN, 0, PGN_Max)) return fail(Lang_Table[k.Text_PGN]);
        if (outside(k.Col_SA, 0, 255)) return fail(Lang_Table[k.Text_SA]);
        // The limit follows the text as it stands, even where it ends without a blank.
        if (outside(k.Col_NByte, k.NByte_Min, budget)) return fail(Lang_Table[k.Text_NByte] + IntToStr(budget));
        total += PGN_Number(grid, k.Col_NByte, r);
        if (total > budget) {
            PGN_Budget_Error(k.Text_Budget, budget);
            return false;
        }
        if (grid.GetCellEx(k.Col_On_Timer, r) == u"Y" && outside(k.Col_SendTimer, 1, SendTimer_Max))
            return fail(Lang_Table[k.Text_SendTimer]);
    }
    return true;
}

TPGN_Transmit_Form::TPGN_Transmit_Form(TComponent* AOwner, const String& name, const TPGN_Editor& editor,
                                       const TPGN_Transmit_Rules& rules, const String& path)
    : TPGN_Frames_Form(AOwner, name, editor, path), NUM_BYTE_OUT(editor.Budget), rules_(rules) {}

void TPGN_Transmit_Form::FormShow(TObject* Sender) {
    NUM_BYTE_OUT = editor_.Budget;
    TPGN_Frames_Form::FormShow(Sender);
}

bool TPGN_Transmit_Form::Controllo_Dati() { return PGN_Transmit_Check(Rows(), editor_.Table, rules_, NUM_BYTE_OUT); }
