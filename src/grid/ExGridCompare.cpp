// The comparisons of sorting: two cells of a column by the column's sort
// format, and two rows by a column and the ones after it or by the sort keys.
#include "grid/ExGrid.h"
#include "grid/foundation/GridText.h"

#include "framework/DateUtils.h"
#include "framework/SysUtils.h"

#include <charconv>
#include <string>

namespace {

int ThreeWay(double A, double B) { return A > B ? 1 : (A == B ? 0 : -1); }

bool IsBoxType(TCellType T) {
    return T == ctCheckBox || T == ctDataCheckBox || T == ctVirtCheckBox || T == ctRowCheckBox;
}

// Integer, float or scientific notation.
bool ReadsAsNumber(const String& S) {
    const int kind = ClassifyNumberText(S);
    return kind == 0 || kind == 1 || kind == 5;
}

// The first Sep stands at position 2 or 3, is not the last character, and
// has digits on both sides: the text starts like a date ("1/6/2023") or a
// time ("12:30").
bool StartsWithSeparatedDigits(const String& S, Char Sep) {
    const size_t p = S.find(Sep);
    if (p == String::npos || (p != 1 && p != 2) || p + 1 >= S.size()) return false;
    return IsDigitChar(S[p - 1]) && IsDigitChar(S[p + 1]);
}

// Reads a decimal number with optional sign, fraction and exponent. Value is
// that of the longest leading part that reads (0 when none does); the answer
// tells whether the whole text read.
bool ReadDecimal(const String& S, double& Value) {
    const size_t n = S.size();
    size_t i = 0;
    while (i < n && S[i] == u' ') ++i;
    std::string ascii;
    if (i < n && (S[i] == u'+' || S[i] == u'-')) ascii += char(S[i++]);
    int digits = 0;
    while (i < n && S[i] >= u'0' && S[i] <= u'9') ascii += char(S[i++]), ++digits;
    if (i < n && S[i] == u'.') {
        ascii += '.';
        ++i;
        while (i < n && S[i] >= u'0' && S[i] <= u'9') ascii += char(S[i++]), ++digits;
    }
    if (digits > 0 && i < n && (S[i] == u'e' || S[i] == u'E')) {
        size_t j = i + 1;
        std::string exp = "e";
        if (j < n && (S[j] == u'+' || S[j] == u'-')) exp += char(S[j++]);
        const size_t firstExpDigit = j;
        while (j < n && S[j] >= u'0' && S[j] <= u'9') exp += char(S[j++]);
        if (j > firstExpDigit) {
            ascii += exp;
            i = j;
        }
    }
    Value = 0;
    if (digits == 0) return false;
    const char* first = ascii.data();
    if (*first == '+') ++first;  // from_chars takes no plus sign
    double v = 0;
    if (std::from_chars(first, ascii.data() + ascii.size(), v).ec == std::errc()) Value = v;
    return i == n;
}

void DeleteFirst(String& S, const String& Part) {
    if (Part.empty()) return;
    if (size_t p = S.find(Part); p != String::npos) S.erase(p, Part.size());
}

void UpperAscii(String& S) {
    for (Char& c : S)
        if (c >= u'a' && c <= u'z') c = Char(c - (u'a' - u'A'));
}

int TextOrder(const String& A, const String& B) {
    const int r = A.compare(B);
    return r > 0 ? 1 : (r < 0 ? -1 : 0);
}

double DateValue(const String& S, bool TimeOnly) {
    if (S.empty()) return 0;
    TDateTime v = 0;
    const bool ok = TimeOnly ? TryStrToTime(S, v) : TryStrToDateTime(S, v);
    return ok ? double(v) : 0;
}

// A text that is no date, or names a day that does not exist, counts as 0.
double ShortDateValue(const String& S, bool DayFirst) {
    try {
        return double(DayFirst ? ParseDateDMY(S) : ParseDateMDY(S));
    } catch (const Exception&) {
        return 0;
    }
}

}  // namespace

int TExStringGrid::CompareCells(int ACol, int ARow1, int ARow2, TSortDirection ADirection) {
    ++FCompares;
    int result = 1;
    TSortStyle style = FSortSettings.AutoFormat() ? ssAutomatic
                       : FSortSettings.IgnoreCase() ? ssAlphaNoCase
                                                    : ssAlphabetic;
    String prefix, suffix;
    DoGetFormat(ACol, style, prefix, suffix);

    const bool virt = FSortSettings.SortOnVirtualCells();
    String s1 = virt ? GetCellEx(ACol, ARow1) : GetGridCell(ACol, ARow1);
    String s2 = virt ? GetCellEx(ACol, ARow2) : GetGridCell(ACol, ARow2);

    // Each automatic choice needs both cells to qualify, so that swapping the
    // two rows turns the answer round.
    if (style == ssAutomatic) {
        const Char dateSep = GetDateSeparatorChar(), timeSep = GetTimeSeparatorChar();
        if (IsBoxType(GetCellType(ACol, ARow1)) && IsBoxType(GetCellType(ACol, ARow2)))
            style = ssCheckBox;
        else if (ReadsAsNumber(s1) && ReadsAsNumber(s2))
            style = ssNumeric;
        else if (StartsWithSeparatedDigits(s1, dateSep) && StartsWithSeparatedDigits(s2, dateSep))
            style = s1.find(timeSep) != String::npos || s2.find(timeSep) != String::npos ? ssDateTime : ssDate;
        else if (StartsWithSeparatedDigits(s1, timeSep) && StartsWithSeparatedDigits(s2, timeSep))
            style = ssTime;
        else
            style = FSortSettings.IgnoreCase() ? ssAlphaNoCase : ssAlphabetic;
    }
    if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
        const bool numbers = ReadsAsNumber(s1) && ReadsAsNumber(s2);
        style = numbers ? ssNumeric : style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
    }

    switch (style) {
    case ssAlphabetic:
    case ssAlphaCase: result = TextOrder(s1, s2); break;
    case ssAlphaNoCase:
        UpperAscii(s1);
        UpperAscii(s2);
        result = TextOrder(s1, s2);
        break;
    case ssAnsiAlphaCase: {
        const int r = AnsiCompareStr(s1, s2);
        result = r > 0 ? 1 : (r < 0 ? -1 : 0);
        break;
    }
    case ssAnsiAlphaNoCase: {
        const int r = AnsiCompareText(s1, s2);
        result = r > 0 ? 1 : (r < 0 ? -1 : 0);
        break;
    }
    case ssHTML:
        s1 = StrippedCells(ACol, ARow1);
        s2 = StrippedCells(ACol, ARow2);
        result = TextOrder(s1, s2);
        break;
    case ssNumeric:
    case ssFinancial: {
        const bool empty1 = s1.empty(), empty2 = s2.empty();
        DeleteFirst(s1, suffix);
        DeleteFirst(s2, suffix);
        DeleteFirst(s1, prefix);
        DeleteFirst(s2, prefix);
        if (style == ssFinancial) {
            const Char thousand = GetThousandSeparatorChar();
            std::erase(s1, thousand);
            std::erase(s2, thousand);
        }
        if (const Char dec = GetDecimalSeparatorChar(); dec != u'.') {
            if (size_t p = s1.find(dec); p != String::npos) s1[p] = u'.';
            if (size_t p = s2.find(dec); p != String::npos) s2[p] = u'.';
        }
        double v1 = 0, v2 = 0;
        const bool valid1 = ReadDecimal(s1, v1) || empty1;
        const bool valid2 = ReadDecimal(s2, v2) || empty2;
        result = !valid1 && !valid2 ? 0 : ThreeWay(v1, v2);
        break;
    }
    case ssDate:
    case ssDateTime: result = ThreeWay(DateValue(s1, false), DateValue(s2, false)); break;
    case ssTime: result = ThreeWay(DateValue(s1, true), DateValue(s2, true)); break;
    case ssShortDateEU: result = ThreeWay(ShortDateValue(s1, true), ShortDateValue(s2, true)); break;
    case ssShortDateUS: result = ThreeWay(ShortDateValue(s1, false), ShortDateValue(s2, false)); break;
    case ssCheckBox: {
        bool c1 = false, c2 = false;
        GetCheckBoxState(ACol, RealRowIndex(ARow1), c1);
        GetCheckBoxState(ACol, RealRowIndex(ARow2), c2);
        result = int(c1) - int(c2);
        break;
    }
    case ssImages: {
        // Image cells carry no picture index here: cells order by the kind
        // of graphic they hold, cells without one first.
        auto key = [this, ACol](int ARow) {
            const TCellGraphic* g = GetCellGraphic(ACol, ARow);
            return g && g->CellType != ctEmpty ? int(g->CellType) : -1;
        };
        result = ThreeWay(key(ARow1), key(ARow2));
        break;
    }
    case ssCustom:
        result = 0;
        if (OnCustomCompare) OnCustomCompare(this, s1, s2, result);
        break;
    case ssRaw:
        result = 0;
        if (OnRawCompare) OnRawCompare(this, ACol, ARow1, ARow2, result);
        break;
    default: break;
    }

    if (FSortSettings.IgnoreBlanks() && s1.empty() != s2.empty()) {
        // Blanks keep their place whatever the direction: the answer is
        // turned for a descending sort, which reads it the other way round.
        const bool last = FSortSettings.BlankPos() == blLast;
        const int ascending = s1.empty() ? (last ? 1 : -1) : (last ? -1 : 1);
        result = ADirection == sdAscending ? ascending : -ascending;
    }
    return result;
}

int TExStringGrid::CompareRowsFull(int ACol, int ARow1, int ARow2) {
    for (;;) {
        const int result = IsIgnoredColumn(ACol) ? 0 : CompareCells(ACol, ARow1, ARow2, FSortSettings.Direction());
        if (result != 0 || !FSortSettings.Full() || ACol > ColCount() - 2) return result;
        ++ACol;
    }
}

int TExStringGrid::CompareRowsIndexed(int AIndex, int ARow1, int ARow2) {
    for (;;) {
        if (AIndex < 0 || AIndex >= FSortIndexes.Count()) return 0;
        const int entry = FSortIndexes.GetInteger(AIndex);
        const bool descending = entry < 0;  // bit 31
        const int column = entry & 0x7FFFFFFF;
        const int result =
            IsIgnoredColumn(column) ? 0 : CompareCells(column, ARow1, ARow2, descending ? sdDescending : sdAscending);
        if (result == 0 && FSortSettings.Full()) {
            if (AIndex < FSortIndexes.Count() - 1) {
                ++AIndex;
                continue;
            }
            return 0;
        }
        return descending ? -result : result;
    }
}
