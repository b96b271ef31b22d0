#include "tables/PGN_Receive.h"

#include "framework/SysUtils.h"
#include "shell/Globals.h"

namespace {

// A single CAN frame carries at most this many data bytes.
constexpr int Frame_Bytes = 8;
// The highest byte offset of a group sent with the transport protocol.
constexpr int TP_Last_Byte = 1785;
// The highest byte offset of a fast packet.
constexpr int FP_Last_Byte = 223;

}  // namespace

bool PGN_Receive_Check(const IRowGrid& grid, const TTableDesc& table, const TPGN_Receive_Rules& k, int budget) {
    const String& lead = Lang_Table[k.Lead];
    // Wide enough that no sum of cell numbers wraps.
    long long total = 0;
    for (int r = 1; r < grid.GetRowCount() && !Is_End_Row(grid, table, r); ++r) {
        auto fail = [&](int text) {
            Row_Error(lead, r, Lang_Table[text]);
            return false;
        };
        auto ticked = [&](int col) { return col != 0 && grid.GetCellEx(col, r) == u"Y"; };
        if (k.Col_DP != 0 && grid.GetCellEx(k.Col_DP, r).empty()) return fail(k.Text_DP);
        const int pgn = PGN_Number(grid, k.Col_PGN, r);
        if (pgn < 0 || pgn > k.PGN_Max) return fail(k.Text_PGN);
        const int sa = PGN_Number(grid, k.Col_SA, r);
        if (sa < 0 || sa > 255) return fail(k.Text_SA);
        const long long start = PGN_Number(grid, k.Col_Start, r);
        const long long count = PGN_Number(grid, k.Col_NByte, r);
        long long size = Frame_Bytes;
        // A multi-packet group: a part of up to its last byte; TP wins over FP.
        auto part = [&](int last, int text_start, int text_sum) {
            if (start < 0 || start > last) return fail(text_start);
            if (count < 0 || start + count > last) return fail(text_sum);
            size = count;
            return true;
        };
        if (ticked(k.Col_TP)) {
            if (!part(TP_Last_Byte, k.Text_TP_Start, k.Text_TP_Sum)) return false;
        } else if (ticked(k.Col_FP)) {
            if (!part(FP_Last_Byte, k.Text_FP_Start, k.Text_FP_Sum)) return false;
        } else {
            // A single frame: both cells empty take all of it; otherwise the
            // part from Start Byte (0 is the first data byte), which the image
            // builder reserves exactly N° Byte for.
            const bool no_start = Trim(grid.GetCellEx(k.Col_Start, r)).empty();
            const bool no_count = Trim(grid.GetCellEx(k.Col_NByte, r)).empty();
            if (no_start != no_count) return fail(k.Text_Both);
            if (!no_start) {
                if (start < 0) return fail(k.Text_Start);
                if (count < 1 || count > Frame_Bytes) return fail(k.Text_NByte);
                if (start + count > Frame_Bytes) return fail(k.Text_Frame_Sum);
                size = count;
            }
        }
        total += size;
        if (total > budget) {
            PGN_Budget_Error(k.Text_Budget, budget);
            return false;
        }
    }
    return true;
}

TPGN_Receive_Form::TPGN_Receive_Form(TComponent* AOwner, const String& name, const TPGN_Editor& editor,
                                     const TPGN_Receive_Rules& rules, const String& path)
    : TPGN_Frames_Form(AOwner, name, editor, path), NUM_BYTE_IN(editor.Budget), rules_(rules) {}

void TPGN_Receive_Form::FormShow(TObject* Sender) {
    NUM_BYTE_IN = editor_.Budget;
    TPGN_Frames_Form::FormShow(Sender);
}

bool TPGN_Receive_Form::Controllo_Dati() { return PGN_Receive_Check(Rows(), editor_.Table, rules_, NUM_BYTE_IN); }
