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
int Sign(int V) { return V > 0 ? 1 : (V < 0 ? -1 : 0); }

bool IsBoxType(TCellType T) {
    return T == ctCheckBox || T == ctDataCheckBox || T == ctVirtCheckBox || T == ctRowCheckBox;
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
    // Whole numbers of up to 15 digits are exact as they are read here.
    if (n > 0 && n <= 16) {
        size_t k = S[0] == u'-' ? 1 : 0;
        long long v = 0;
        while (k < n && S[k] >= u'0' && S[k] <= u'9') v = v * 10 + (S[k++] - u'0');
        if (k == n && n > size_t(S[0] == u'-') && n - size_t(S[0] == u'-') <= 15) {
            Value = double(S[0] == u'-' ? -v : v);
            return true;
        }
    }
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

TSortFormat TExStringGrid::SortFormat(int ACol) {
    TSortFormat f;
    f.Style = FSortSettings.AutoFormat() ? ssAutomatic : FSortSettings.IgnoreCase() ? ssAlphaNoCase : ssAlphabetic;
    DoGetFormat(ACol, f.Style, f.Prefix, f.Suffix);
    const TFormatSettings& fs = FormatSettings();
    f.DateSeparator = fs.DateSeparator;
    f.TimeSeparator = fs.TimeSeparator;
    f.DecimalSeparator = fs.DecimalSeparator;
    f.ThousandSeparator = fs.ThousandSeparator;
    return f;
}

bool TExStringGrid::SortKeysSilent() const {
    if (OnGetFormat || OnGetCheckTrue) return false;
    return !FSortSettings.SortOnVirtualCells() || (!OnGetDisplText && !OnGetDisplWideText);
}

TCellSortKey TExStringGrid::CellSortKey(int ACol, int ARow) { return CellSortKey(SortFormat(ACol), ACol, ARow); }

TCellSortKey TExStringGrid::CellSortKey(const TSortFormat& Format, int ACol, int ARow) {
    TCellSortKey k;
    k.Col = ACol;
    k.Row = ARow;
    k.Style = Format.Style;
    k.Text = FSortSettings.SortOnVirtualCells() ? GetCellEx(ACol, ARow) : GetGridCell(ACol, ARow);
    const TSortStyle style = k.Style;
    const bool automatic = style == ssAutomatic;
    const bool alphaNumeric = style == ssAlphaNumeric || style == ssAlphaNumericNoCase;

    if (automatic || style == ssCheckBox) {
        k.Box = IsBoxType(GetCellType(ACol, ARow));
        if (k.Box || style == ssCheckBox) GetCheckBoxState(ACol, RealRowIndex(ARow), k.Checked);
    }
    if (automatic || alphaNumeric) {
        const int kind = ClassifyNumberText(k.Text, Format.ThousandSeparator, Format.DecimalSeparator);
        k.Number = kind == 0 || kind == 1 || kind == 5;
    }
    if (automatic) {
        k.DateLike = StartsWithSeparatedDigits(k.Text, Format.DateSeparator);
        k.TimeLike = StartsWithSeparatedDigits(k.Text, Format.TimeSeparator);
    }
    if (automatic || alphaNumeric || style == ssNumeric || style == ssFinancial) {
        const Char dec = Format.DecimalSeparator;
        if (Format.Prefix.empty() && Format.Suffix.empty() && style != ssFinancial &&
            (dec == u'.' || k.Text.find(dec) == String::npos)) {
            // Nothing to take out or to turn into a point: the text reads as it is.
            k.NumberBlank = k.Text.empty();
            k.NumberValid = ReadDecimal(k.Text, k.NumberValue) || k.Text.empty();
        } else {
            String n = k.Text;
            DeleteFirst(n, Format.Suffix);
            DeleteFirst(n, Format.Prefix);
            if (style == ssFinancial) std::erase(n, Format.ThousandSeparator);
            if (dec != u'.')
                if (size_t p = n.find(dec); p != String::npos) n[p] = u'.';
            k.NumberBlank = n.empty();
            k.NumberValid = ReadDecimal(n, k.NumberValue) || k.Text.empty();
        }
    }
    if (k.DateLike || style == ssDate || style == ssDateTime) k.DateValue = DateValue(k.Text, false);
    if (k.TimeLike || style == ssTime) k.TimeValue = DateValue(k.Text, true);
    if (style == ssShortDateEU || style == ssShortDateUS) k.DateValue = ShortDateValue(k.Text, style == ssShortDateEU);
    if (style == ssAlphaNoCase || style == ssAlphaNumericNoCase || ((automatic || style == ssAlphabetic) &&
                                                                    FSortSettings.IgnoreCase())) {
        k.Folded = k.Text;
        UpperAscii(k.Folded);
    }
    if (style == ssHTML) k.Folded = StrippedCells(ACol, ARow);
    // Image-list cells order by their image, cells without a picture first.
    if (style == ssImages) k.ImageKey = CellGraphicRef(ACol, ARow);
    return k;
}

int TExStringGrid::CompareCellSortKeys(const TCellSortKey& A, const TCellSortKey& B, TSortDirection ADirection) {
    ++FTools->Compares;
    TSortStyle style = A.Style;
    // Each automatic choice needs both cells to qualify, so that swapping the
    // two rows turns the answer round.
    if (style == ssAutomatic) {
        if (A.Box && B.Box) style = ssCheckBox;
        else if (A.Number && B.Number) style = ssNumeric;
        else if (A.DateLike && B.DateLike) style = ssDate;
        else if (A.TimeLike && B.TimeLike) style = ssTime;
        else style = FSortSettings.IgnoreCase() ? ssAlphaNoCase : ssAlphabetic;
    } else if (style == ssAlphaNumeric || style == ssAlphaNumericNoCase) {
        style = A.Number && B.Number ? ssNumeric : style == ssAlphaNumeric ? ssAlphabetic : ssAlphaNoCase;
    }

    int result = 1;
    bool blankA = A.Text.empty(), blankB = B.Text.empty();
    switch (style) {
    case ssAlphabetic:
    case ssAlphaCase: result = TextOrder(A.Text, B.Text); break;
    case ssAlphaNoCase: result = TextOrder(A.Folded, B.Folded); break;
    case ssAnsiAlphaCase: result = Sign(AnsiCompareStr(A.Text, B.Text)); break;
    case ssAnsiAlphaNoCase: result = Sign(AnsiCompareText(A.Text, B.Text)); break;
    case ssHTML:
        result = TextOrder(A.Folded, B.Folded);
        blankA = A.Folded.empty();
        blankB = B.Folded.empty();
        break;
    case ssNumeric:
    case ssFinancial:
        result = !A.NumberValid && !B.NumberValid ? 0 : ThreeWay(A.NumberValue, B.NumberValue);
        blankA = A.NumberBlank;
        blankB = B.NumberBlank;
        break;
    case ssDate:
    case ssDateTime:
    case ssShortDateEU:
    case ssShortDateUS: result = ThreeWay(A.DateValue, B.DateValue); break;
    case ssTime: result = ThreeWay(A.TimeValue, B.TimeValue); break;
    case ssCheckBox: result = int(A.Checked) - int(B.Checked); break;
    case ssImages: result = ThreeWay(A.ImageKey, B.ImageKey); break;
    case ssCustom:
        result = 0;
        if (OnCustomCompare) OnCustomCompare(this, A.Text, B.Text, result);
        break;
    case ssRaw:
        result = 0;
        if (OnRawCompare) OnRawCompare(this, A.Col, A.Row, B.Row, result);
        break;
    default: break;
    }

    if (FSortSettings.IgnoreBlanks() && blankA != blankB) {
        // Blanks keep their place whatever the direction: the answer is
        // turned for a descending sort, which reads it the other way round.
        const bool last = FSortSettings.BlankPos() == blLast;
        const int ascending = blankA ? (last ? 1 : -1) : (last ? -1 : 1);
        result = ADirection == sdAscending ? ascending : -ascending;
    }
    return result;
}

int TExStringGrid::CompareCells(int ACol, int ARow1, int ARow2, TSortDirection ADirection) {
    return CompareCellSortKeys(CellSortKey(ACol, ARow1), CellSortKey(ACol, ARow2), ADirection);
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
        if (AIndex < 0 || AIndex >= SortIndexes().Count()) return 0;
        const int entry = SortIndexes().GetInteger(AIndex);
        const bool descending = entry < 0;  // bit 31
        const int column = entry & 0x7FFFFFFF;
        const int result =
            IsIgnoredColumn(column) ? 0 : CompareCells(column, ARow1, ARow2, descending ? sdDescending : sdAscending);
        if (result == 0 && FSortSettings.Full()) {
            if (AIndex < SortIndexes().Count() - 1) {
                ++AIndex;
                continue;
            }
            return 0;
        }
        return descending ? -result : result;
    }
}
