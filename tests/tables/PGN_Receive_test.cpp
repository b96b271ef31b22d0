#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"

#include "framework/SysUtils.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "tables/Check_Outcome.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

enum class Proto { J1939, NMEA };

// The receive grid of one editor: 62 data rows, columns 0..8.
struct Table {
    explicit Table(Proto p) : proto(p) { Reset_Table(grid, Desc()); }
    const TTableDesc& Desc() const { return proto == Proto::J1939 ? J1939_Receive_Table : NMEA_Receive_Table; }
    const TPGN_Receive_Rules& Rules() const {
        return proto == Proto::J1939 ? J1939_Receive_Rules : NMEA_Receive_Rules;
    }
    int Budget() const { return proto == Proto::J1939 ? J1939_Byte_Budget : NMEA_Byte_Budget; }
    // A row by its fields; J1939 puts a Data Page of "0" before them, NMEA 2000
    // an FP box after TP.
    void Row(int r, const std::string& pgn, const std::string& tp, const std::string& start, const std::string& count,
             const std::string& fp = "N") {
        if (proto == Proto::J1939)
            grid.SetRow(r, "0|" + pgn + "|0|" + tp + "|" + start + "|" + count + "|N|m");
        else
            grid.SetRow(r, pgn + "|0|" + tp + "|" + fp + "|" + start + "|" + count + "|N|m");
    }
    void Whole_Frames(int from, int to) {
        for (int r = from; r <= to; ++r) Row(r, "61444", "N", "", "");
    }
    Proto proto;
    StandInGrid grid{63, 9};
};

using Edit = std::function<void(Table&)>;

struct Case {
    const char* name;
    Proto proto;
    Edit edit;
    const char* message;  // nullptr: passes
};

void Check_Case(const Case& c) {
    SCOPED_TRACE(c.name);
    Table t(c.proto);
    c.edit(t);
    Expect_Check_Outcome([&] { return PGN_Receive_Check(t.grid, t.Desc(), t.Rules(), t.Budget()); }, c.message);
}

}  // namespace

TEST(PgnReceive, TransportAndFastPacketRanges) {
    Load_Default_Texts();
    const auto J = Proto::J1939;
    const auto N = Proto::NMEA;
    const Case cases[] = {
        {"TP part up to byte 1785", J, [](Table& t) { t.Row(1, "61444", "Y", "1000", "785"); }, nullptr},
        {"TP part past byte 1785", J, [](Table& t) { t.Row(1, "61444", "Y", "1000", "786"); },
         "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 1785"},
        {"TP start 1786", J, [](Table& t) { t.Row(1, "61444", "Y", "1786", "0"); },
         "Error in row 1!! Start Byte must be between 0 and 1785"},
        {"TP start empty", J, [](Table& t) { t.Row(1, "61444", "Y", "", "8"); },
         "Error in row 1!! Start Byte must be between 0 and 1785"},
        {"TP count empty", J, [](Table& t) { t.Row(1, "61444", "Y", "0", ""); },
         "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 1785"},
        // A sum that would wrap a 32-bit value must not pass.
        {"TP count at the integer limit", J, [](Table& t) { t.Row(1, "61444", "Y", "1785", "2147483647"); },
         "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 1785"},
        {"NMEA TP start 1786", N, [](Table& t) { t.Row(2, "127488", "Y", "1786", "0"); t.Whole_Frames(1, 1); },
         "Error in row 2!! Start Byte must be between 0 and 1785"},
        {"FP part up to byte 223", N, [](Table& t) { t.Row(1, "129029", "N", "200", "23", "Y"); }, nullptr},
        {"FP part past byte 223", N, [](Table& t) { t.Row(1, "129029", "N", "200", "24", "Y"); },
         "Error in row 1!! Start Byte plus Number Bytes must be between 0 and 223"},
        {"FP start 224", N, [](Table& t) { t.Row(1, "129029", "N", "224", "0", "Y"); },
         "Error in row 1!! Start Byte must be between 0 and 223"},
        {"TP and FP: the TP ranges", N, [](Table& t) { t.Row(1, "129029", "Y", "0", "300", "Y"); }, nullptr},
        // Only an exact "Y" ticks: this row is a single frame, whose N° Byte is at most 8.
        {"lower-case y", J, [](Table& t) { t.Row(1, "61444", "y", "1000", "785"); },
         "Error in row 1!! The Number Bytes must be between 1 and 8"},
        {"NMEA lower-case y on FP", N, [](Table& t) { t.Row(1, "129029", "N", "0", "23", "y"); },
         "Error in row 1!! The Number Bytes must be between 1 and 8"},
    };
    for (const Case& c : cases) Check_Case(c);
}

TEST(PgnReceive, SingleFrameParts) {
    Load_Default_Texts();
    const auto J = Proto::J1939;
    const auto N = Proto::NMEA;
    const Case cases[] = {
        {"both empty or blank", J, [](Table& t) { t.Row(1, "61444", "N", " ", ""); }, nullptr},
        {"start without count", J, [](Table& t) { t.Row(1, "61444", "N", "3", ""); },
         "Error in row 1!! Start Byte and Number Bytes must be both compiled"},
        {"count without start", N, [](Table& t) { t.Row(1, "130306", "N", "  ", "2"); },
         "Error in row 1!! Start Byte and Number Bytes must be both compiled"},
        {"first byte", J, [](Table& t) { t.Row(1, "61444", "N", "0", "8"); }, nullptr},
        {"last byte", N, [](Table& t) { t.Row(1, "130306", "N", "7", "1"); }, nullptr},
        {"5 and 4", J, [](Table& t) { t.Row(1, "61444", "N", "5", "4"); },
         "Error in row 1!! The Number Bytes plus Start Byte must be minor of 9"},
        {"NMEA 5 and 4", N, [](Table& t) { t.Row(1, "130306", "N", "5", "4"); },
         "Error in row 1!! The Number Bytes plus Start Byte must be minor of 9"},
        {"negative start", N, [](Table& t) { t.Row(1, "130306", "N", "-1", "2"); },
         "Error in row 1!! The Start Byte must be between 1 and 8"},
        // Their sum alone (-2) would pass.
        {"start and count not numbers", J, [](Table& t) { t.Row(1, "61444", "N", "abc", "abc"); },
         "Error in row 1!! The Start Byte must be between 1 and 8"},
        {"count 0", N, [](Table& t) { t.Row(1, "130306", "N", "0", "0"); },
         "Error in row 1!! The Number Bytes must be between 1 and 8"},
        {"count 9", J, [](Table& t) { t.Row(1, "61444", "N", "0", "9"); },
         "Error in row 1!! The Number Bytes must be between 1 and 8"},
    };
    for (const Case& c : cases) Check_Case(c);
}

TEST(PgnReceive, IdentityChecksInOrder) {
    Load_Default_Texts();
    const auto J = Proto::J1939;
    const auto N = Proto::NMEA;
    auto cell = [](int col, int row, const char* text) {
        return [=](Table& t) {
            t.Whole_Frames(1, 3);
            t.grid.SetCellEx(col, row, S(text));
        };
    };
    using namespace j1939_rec_col;
    const Case cases[] = {
        {"three whole frames", J, cell(Mnemonic, 1, ""), nullptr},
        // Data Page first, however bad the PGN is.
        {"empty data page", J, [](Table& t) { t.Row(1, "70000", "N", "", ""); t.grid.SetCellEx(DP, 1, u""); },
         "Error in row 1!! Data Page must be 0 or 1"},
        {"data page 7 from a file", J, cell(DP, 2, "7"), nullptr},
        {"J1939 PGN 0xFFFF", J, cell(PGN, 2, "0xFFFF"), nullptr},
        {"J1939 PGN 0x10000", J, cell(PGN, 2, "0x10000"), "Error in row 2!! PGN must be between 0x0000 and 0xFFFF"},
        {"J1939 PGN -1", J, cell(PGN, 3, "-1"), "Error in row 3!! PGN must be between 0x0000 and 0xFFFF"},
        // The key is not trimmed: blanks are a row, and not a number.
        {"PGN of blanks", J, cell(PGN, 2, "  "), "Error in row 2!! PGN must be between 0x0000 and 0xFFFF"},
        {"NMEA PGN $1FFFF", N, cell(nmea_rec_col::PGN, 1, "$1FFFF"), nullptr},
        {"NMEA PGN 0x20000", N, cell(nmea_rec_col::PGN, 1, "0x20000"),
         "Error in row 1!! PGN must be between 0x00000 and 0x1FFFF"},
        {"SA 255", J, cell(SA, 1, "255"), nullptr},
        {"SA 256", J, cell(SA, 1, "256"), "Error in row 1!! Source Address must be between 0 and 255"},
        {"NMEA SA empty", N, cell(nmea_rec_col::SA, 3, ""), "Error in row 3!! Source Address must be between 0 and 255"},
        // The table ends at the first empty PGN; rows below are not checked.
        {"rows after an empty PGN", J, [](Table& t) { t.Whole_Frames(1, 3); t.grid.SetCellEx(PGN, 2, u"");
                                                      t.grid.SetCellEx(SA, 3, u"bad"); }, nullptr},
        {"empty PGN in row 1", N, [](Table& t) { t.grid.SetRow(2, "x|x|x|x|x|x|x|x"); }, nullptr},
    };
    for (const Case& c : cases) Check_Case(c);
}

TEST(PgnReceive, ByteBudget) {
    Load_Default_Texts();
    const auto J = Proto::J1939;
    const auto N = Proto::NMEA;
    const Case cases[] = {
        {"J1939 62 whole frames take 496", J, [](Table& t) { t.Whole_Frames(1, 62); }, nullptr},
        {"J1939 TP of 1438", J, [](Table& t) { t.Row(1, "60416", "Y", "0", "1438"); }, nullptr},
        {"J1939 TP of 1439", J, [](Table& t) { t.Row(1, "60416", "Y", "0", "1439"); },
         "Error!! Too many bytes of data, the max number is 1438"},
        {"J1939 TP of 1431 and a whole frame", J, [](Table& t) { t.Row(1, "60416", "Y", "0", "1431"); t.Whole_Frames(2, 2); },
         "Error!! Too many bytes of data, the max number is 1438"},
        {"NMEA TP of 400 and 14 frames take 512", N, [](Table& t) { t.Row(1, "126996", "Y", "0", "400"); t.Whole_Frames(2, 15); },
         nullptr},
        {"NMEA a fifteenth frame", N, [](Table& t) { t.Row(1, "126996", "Y", "0", "400"); t.Whole_Frames(2, 16); },
         "Error!! Too many bytes of data, the max number is 512"},
        {"NMEA FP of 223 and 36 frames take 511", N, [](Table& t) { t.Row(1, "129029", "N", "0", "223", "Y"); t.Whole_Frames(2, 37); },
         nullptr},
        // A part of a single frame takes its N° Byte only: 62 x 8.
        {"NMEA 62 rows of 0 and 8 take 496", N, [](Table& t) { for (int r = 1; r <= 62; ++r) t.Row(r, "130306", "N", "0", "8"); },
         nullptr},
        {"NMEA a TP row of 505 and a part of 7", N, [](Table& t) { t.Row(1, "126996", "Y", "0", "505"); t.Row(2, "130306", "N", "1", "7"); },
         nullptr},
        {"NMEA a TP row of 505 and a part of 8", N, [](Table& t) { t.Row(1, "126996", "Y", "0", "505"); t.Row(2, "130306", "N", "0", "8"); },
         "Error!! Too many bytes of data, the max number is 512"},
    };
    for (const Case& c : cases) Check_Case(c);
}
