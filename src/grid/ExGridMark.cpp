// Marking texts inside cells with markup tags ("hi" highlights, "e" marks
// errors) and taking the tags out again, checking cells with the grid's
// cell checker, and filling ranges.
#include "grid/ExGrid.h"

#include "grid/foundation/Markup.h"
#include "grid/foundation/MarkupText.h"

#include "framework/SysUtils.h"

#include <random>

namespace {

const String HiTag = u"hi";
const String ErrorTag = u"e";

}  // namespace

String TExGridTools::HilightText(bool DoCase, const String& S, const String& Text) {
    return InsertHilightTags(S, Text, HiTag, DoCase);
}

String TExGridTools::MarkText(bool DoCase, const String& S, const String& Text) {
    return InsertHilightTags(S, Text, ErrorTag, DoCase);
}

String TExGridTools::UnHilightText(const String& S) { return RemoveHilightTags(S, HiTag); }

String TExGridTools::UnMarkText(const String& S) { return RemoveHilightTags(S, ErrorTag); }

// Texts are tagged in their entity-encoded form, so a tag never splits an entity.
void TExGridTools::HilightCellRange(const String& Text, const String& Tag, int FromCol, int FromRow, int ToCol,
                                    int ToRow, bool DoCase) {
    String find = EncodeHTMLEntities(Text, false);
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c) {
            if (!FGrid.IsBaseCell(c, r)) continue;
            String s = FGrid.OnGetDisplText ? FGrid.GetCellEx(c, r) : FGrid.GetGridCell(c, r);
            FGrid.SetCellEx(c, r, InsertHilightTags(EncodeHTMLEntities(s, false), find, Tag, DoCase));
        }
}

void TExGridTools::UnHilightCellRange(const String& Tag, int FromCol, int FromRow, int ToCol, int ToRow) {
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c) {
            if (!FGrid.IsBaseCell(c, r)) continue;
            String s = FGrid.OnGetDisplText ? FGrid.GetCellEx(c, r) : FGrid.GetGridCell(c, r);
            FGrid.SetCellEx(c, r, RemoveHilightTags(DecodeHTMLEntities(s, false), Tag));
        }
}

void TExGridTools::NormalRange(bool DoFixed, int& FromCol, int& FromRow, int& ToCol, int& ToRow) {
    if (DoFixed) {
        FromCol = 0;
        FromRow = 0;
        ToCol = FGrid.ColCount() - 1;
        ToRow = FGrid.RowCount() - 1;
    } else {
        FromCol = FGrid.FixedCols();
        FromRow = FGrid.FixedRows();
        ToCol = FGrid.ColCount() - FGrid.FixedRightCols() - 1;
        ToRow = FGrid.RowCount() - FGrid.FixedFooters() - 1;
    }
}

void TExGridTools::HilightInCell(bool DoCase, int Col, int Row, const String& HiText) {
    HilightCellRange(HiText, HiTag, Col, Row, Col, Row, DoCase);
}

void TExGridTools::HilightInCol(bool DoFixed, bool DoCase, int Col, const String& HiText) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    HilightCellRange(HiText, HiTag, Col, r0, Col, r1, DoCase);
}

void TExGridTools::HilightInRow(bool DoFixed, bool DoCase, int Row, const String& HiText) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    HilightCellRange(HiText, HiTag, c0, Row, c1, Row, DoCase);
}

void TExGridTools::HilightInGrid(bool DoFixed, bool DoCase, const String& HiText) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    if (!DoFixed) c1 += FGrid.NumHiddenColumns();
    HilightCellRange(HiText, HiTag, c0, r0, c1, r1, DoCase);
}

void TExGridTools::UnHilightInCell(int Col, int Row) { UnHilightCellRange(HiTag, Col, Row, Col, Row); }

void TExGridTools::UnHilightInCol(bool DoFixed, int Col) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    UnHilightCellRange(HiTag, Col, r0, Col, r1);
}

void TExGridTools::UnHilightInRow(bool DoFixed, int Row) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    UnHilightCellRange(HiTag, c0, Row, c1 + FGrid.NumHiddenColumns(), Row);
}

void TExGridTools::UnHilightInGrid(bool DoFixed) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    UnHilightCellRange(HiTag, c0, r0, c1 + FGrid.NumHiddenColumns(), r1);
}

void TExGridTools::MarkInCell(bool DoCase, int Col, int Row, const String& HiText) {
    HilightCellRange(HiText, ErrorTag, Col, Row, Col, Row, DoCase);
}

void TExGridTools::MarkInCol(bool DoFixed, bool DoCase, int Col, const String& HiText) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    HilightCellRange(HiText, ErrorTag, Col, r0, Col, r1, DoCase);
}

void TExGridTools::MarkInRow(bool DoFixed, bool DoCase, int Row, const String& HiText) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    HilightCellRange(HiText, ErrorTag, c0, Row, c1, Row, DoCase);
}

void TExGridTools::MarkInGrid(bool DoFixed, bool DoCase, const String& HiText) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    HilightCellRange(HiText, ErrorTag, c0, r0, c1, r1, DoCase);
}

void TExGridTools::UnMarkInCell(int Col, int Row) { UnHilightCellRange(ErrorTag, Col, Row, Col, Row); }

void TExGridTools::UnMarkInCol(bool DoFixed, int Col) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    UnHilightCellRange(ErrorTag, Col, r0, Col, r1);
}

void TExGridTools::UnMarkInRow(bool DoFixed, int Row) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    UnHilightCellRange(ErrorTag, c0, Row, c1 + FGrid.NumHiddenColumns(), Row);
}

void TExGridTools::UnMarkInGrid(bool DoFixed) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    UnHilightCellRange(ErrorTag, c0, r0, c1 + FGrid.NumHiddenColumns(), r1);
}

// With both correcting and marking, the marks go onto the corrected text,
// so the correction is kept.
bool TExGridTools::CheckCell(int Col, int Row) {
    TExStringGridCheck* checker = FGrid.CellChecker();
    if (!checker) return true;
    String plain = RemoveHilightTags(FGrid.GetCellEx(Col, Row), ErrorTag);
    if (checker->GotoCell && Col < FGrid.ColCount() && Row < FGrid.RowCount()) {
        FGrid.SetCol(Col);
        FGrid.SetRow(Row);
    }
    String text = plain;
    if (checker->UseCorrect) text = checker->Correct(&FGrid, Col, Row, text);
    if (checker->UseMarkError) text = checker->MarkError(&FGrid, Col, Row, text);
    FGrid.SetCellEx(Col, Row, text);
    return text == plain;
}

bool TExGridTools::CheckCells(int FromCol, int FromRow, int ToCol, int ToRow) {
    TExStringGridCheck* checker = FGrid.CellChecker();
    if (!checker) return true;
    int col = FGrid.Col(), row = FGrid.Row();
    bool ok = true;
    checker->StartCheck();
    for (int r = FromRow; r <= ToRow; ++r)
        for (int c = FromCol; c <= ToCol; ++c)
            if (!CheckCell(c, r)) ok = false;
    checker->StopCheck();
    if (checker->GotoCell) {
        FGrid.SetCol(col);
        FGrid.SetRow(row);
    }
    return ok;
}

bool TExGridTools::CheckCol(bool DoFixed, int Col) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    return CheckCells(Col, r0, Col, r1);
}

bool TExGridTools::CheckRow(bool DoFixed, int Row) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    return CheckCells(c0, Row, c1, Row);
}

bool TExGridTools::CheckGrid(bool DoFixed) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    return CheckCells(c0, r0, c1, r1);
}

void TExGridTools::TextFill(bool DoFixed, const String& Txt) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) FGrid.SetCellEx(c, r, Txt);
    FGrid.RecalcFooter(-1);
}

void TExGridTools::FormatFill(bool DoFixed, const String& Fmt) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) FGrid.SetCellEx(c, r, Format(Fmt, {c, r}));
    FGrid.RecalcFooter(-1);
}

void TExGridTools::RandomFill(bool DoFixed, int Rnd) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    static std::mt19937 gen{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, std::max(0, Rnd - 1));
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) FGrid.SetInts(c, r, pick(gen));
    FGrid.RecalcFooter(-1);
}

void TExGridTools::LinearFill(bool DoFixed) {
    int c0, r0, c1, r1;
    NormalRange(DoFixed, c0, r0, c1, r1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) FGrid.SetCellEx(c, r, IntToStr(c) + u":" + IntToStr(r));
    FGrid.RecalcFooter(-1);
}
