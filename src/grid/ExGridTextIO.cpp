// The grid's own text format (file and stream), delimiter-separated text
// and fixed-width text.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"
#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridText.h"

#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TextFiles.h"

#include <algorithm>
#include <charconv>
#include <deque>
#include <cmath>
#include <string>

namespace {

constexpr Char CR = 13;
constexpr Char LF = 10;
const String CRLF = u"\r\n";

// Progress values round half to even, as the grid's other percentages do.
int Percent(double Part, double Whole) { return int(std::nearbyint(Part / Whole * 100.0)); }

// A field of the file variant: empty reads as 0, anything else must be a number.
int FieldNumber(const String& S) { return S.empty() ? 0 : StrToInt(S); }

// Cuts the text before the first "," off S (and the ","); empty when S has none.
String CutField(String& S) {
    const auto p = S.find(u',');
    if (p == String::npos) return String();
    String f = S.substr(0, p);
    S.erase(0, p + 1);
    return f;
}

String JoinLines(const std::vector<String>& Lines) {
    String s;
    for (const String& l : Lines) s += l + CRLF;
    return s;
}

// The repaint lock of a long operation, released on every path.
class TUpdateLock {
public:
    explicit TUpdateLock(TExStringGrid& G) : FGrid(G) { FGrid.BeginUpdate(); }
    ~TUpdateLock() { FGrid.EndUpdate(); }
    TUpdateLock(const TUpdateLock&) = delete;
    TUpdateLock& operator=(const TUpdateLock&) = delete;

private:
    TExStringGrid& FGrid;
};

// A file's encoding, told by its byte-order mark.
TTextEncoding MarkedEncoding(const ByteString& Bytes) {
    if (Bytes.size() >= 3 && Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return TTextEncoding::Utf8Bom;
    if (Bytes.size() >= 2 && (Bytes.compare(0, 2, "\xFF\xFE") == 0 || Bytes.compare(0, 2, "\xFE\xFF") == 0))
        return TTextEncoding::Utf16LE;
    return TTextEncoding::Windows1252;
}

// CSV records are single lines; a line whose quoted field is still open
// (an odd number of quotes) continues on the next line, joined by CR LF.
// Lines are split at CR, LF or CR LF; the records view the text, or the
// joined lines kept with them.
struct TCSVRecords {
    std::vector<std::u16string_view> Lines;
    std::deque<String> Joined;
};

TCSVRecords ReadRecords(const String& Text) {
    std::vector<std::u16string_view> raw;
    std::vector<char> odd;  // each line's quotes are odd in number
    const std::u16string_view text(Text);
    std::size_t start = 0;
    int quotes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        // CR, LF and the quote lie below every letter and digit.
        if (c > u'"') continue;
        if (c == u'"') ++quotes;
        if (c != CR && c != LF) continue;
        raw.push_back(text.substr(start, i - start));
        odd.push_back(quotes % 2);
        quotes = 0;
        if (c == CR && i + 1 < text.size() && text[i + 1] == LF) ++i;
        start = i + 1;
    }
    if (start < text.size()) {
        raw.push_back(text.substr(start));
        odd.push_back(quotes % 2);
    }
    TCSVRecords records;
    records.Lines.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (!odd[i] || i + 1 == raw.size()) {
            records.Lines.push_back(raw[i]);
            continue;
        }
        String line(raw[i]);
        bool open = true;
        while (open && i + 1 < raw.size()) {
            line += CRLF;
            line += raw[++i];
            open = open != bool(odd[i]);
        }
        records.Joined.push_back(std::move(line));
        records.Lines.push_back(records.Joined.back());
    }
    return records;
}

// A field that a CSV line carries as it is: not empty, and no quote,
// delimiter or CR that would need quoting.
bool PlainCSVField(std::u16string_view S, Char Delimiter) {
    // Looked at whole, without a branch per character: such characters are rare.
    bool special = false;
    for (Char c : S) special |= (c == u'"') | (c == CR) | (c == Delimiter);
    return !S.empty() && !special;
}

// The existing content of a file that is appended to, ending with a line end,
// and the encoding it was found in (ANSI when there is no file).
void ReadForAppend(const String& FileName, TTextEncoding& Enc, String& Text) {
    if (!FileExists(FileName)) return;
    const ByteString bytes = ReadFileBytes(FileName);
    Enc = MarkedEncoding(bytes);
    Text = DecodeText(bytes);
    if (!Text.empty() && Text.back() != LF && Text.back() != CR) Text += CRLF;
}

// Leading blanks go, but never the last character; true when any went.
bool StripLeadingBlanks(std::u16string_view& S) {
    std::size_t n = 0;
    while (S.size() - n >= 2 && S[n] == u' ') ++n;
    S.remove_prefix(n);
    return n > 0;
}

}  // namespace

// ----- the save range

int TExGridTools::SaveStartCol() { return SaveFixedCells || SaveFixedCols ? 0 : FGrid.FixedCols(); }

int TExGridTools::SaveEndCol() {
    return SaveFixedCells || SaveFixedCols ? FGrid.ColCount() - 1 : FGrid.ColCount() - FGrid.FixedRightCols() - 1;
}

int TExGridTools::SaveStartRow() { return SaveFixedCells || SaveFixedRows ? 0 : FGrid.FixedRows(); }

int TExGridTools::SaveEndRow() {
    return SaveFixedCells || SaveFixedRows ? FGrid.RowCount() - 1 : FGrid.RowCount() - FGrid.FixedFooters() - 1;
}

int TExGridTools::SaveColumn(int ACol) { return SaveHiddenCells ? ACol : FGrid.RealColIndex(ACol); }

void TExGridTools::FileProgress(int Value, int& Last) {
    if (!OnFileProgress || Value == Last) return;
    Last = Value;
    OnFileProgress(&FGrid, short(Value));
}

void TExGridTools::CellsLoaded() {
    FGrid.DoCellsChanged(Rect(0, 0, FGrid.ColCount(), FGrid.RowCount()));
    FGrid.RecalcFooter(-1);
}

// ----- own text format

void TExGridTools::SaveToFile(const String& FileName, bool Unicode) {
    const int h = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h, r0 = SaveStartRow(), r1 = SaveEndRow();
    std::vector<String> lines;
    lines.push_back(IntToStr(SaveColCount() + h) + u"," + IntToStr(SaveRowCount()));
    for (int c = c0; c <= c1; ++c)
        lines.push_back(u"cw " + IntToStr(c) + u"," +
                        IntToStr(SaveHiddenCells ? FGrid.AllColWidths(c) : FGrid.ColWidths(c)));
    FGrid.ExportNotification(0, r0);
    int last = -1;
    for (int r = r0; r <= r1; ++r) {
        FGrid.ExportNotification(5, r);
        for (int c = c0; c <= c1; ++c) {
            const String s = FGrid.SaveCell(SaveColumn(c), r);
            if (!s.empty()) lines.push_back(IntToStr(c) + u"," + IntToStr(r) + u"," + EncodeCellLineBreaks(s));
        }
        FileProgress(Percent(r, std::max(1, SaveRowCount() - 1)), last);
    }
    FGrid.ExportNotification(2);
    WriteTextFile(FileName, JoinLines(lines), Unicode ? TTextEncoding::Utf16LE : TTextEncoding::Windows1252);
}

void TExGridTools::LoadFromFile(const String& FileName) {
    const std::vector<String> lines = ReadTextLines(FileName);
    const int startCol = SaveFixedCells || SaveFixedCols ? 0 : FGrid.FixedCols();
    const int startRow = SaveFixedCells || SaveFixedRows ? 0 : FGrid.FixedRows();
    TUpdateLock lock(FGrid);
    if (!lines.empty() && !lines[0].empty()) {
        String head = lines[0];
        const auto p = head.find(u',');
        const int cols = startCol + FieldNumber(p == String::npos ? head : head.substr(0, p));
        const int rows = startRow + FieldNumber(p == String::npos ? String() : head.substr(p + 1));
        if (cols <= 0 || rows <= 0) throw EExGridError(u"File contains no data or corrupt file " + FileName);
        FGrid.SetColCount(cols);
        FGrid.SetRowCount(rows);
    }
    if (FGrid.ColCount() == 0 || FGrid.RowCount() == 0)
        throw EExGridError(u"File contains no data or corrupt file " + FileName);
    int last = -1;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        String s = lines[i];
        if (s.starts_with(u"cw")) {
            s.erase(0, std::min<std::size_t>(3, s.size()));
            const auto p = s.find(u',');
            const int idx = FieldNumber(s.substr(0, p));
            const int width = p == String::npos ? 0 : FieldNumber(s.substr(p + 1, 255));
            if (idx >= 0 && idx < FGrid.ColCount()) FGrid.SetColWidths(idx, width);
            continue;
        }
        const int c = FieldNumber(CutField(s));
        const int r = FieldNumber(CutField(s));
        // Only cells inside the grid: a negative index is as foreign as one past the end.
        if (c < 0 || r < 0 || c >= FGrid.ColCount() || r >= FGrid.RowCount()) continue;
        FGrid.LoadCell(c, r, DecodeCellLineBreaks(s, Multilinecells));
        FileProgress(Percent(r, std::max(1, FGrid.RowCount() - 1)), last);
    }
    CellsLoaded();
}

void TExGridTools::SaveToStream(TStream& Stream) {
    const int c0 = SaveStartCol(), c1 = SaveEndCol(), r0 = SaveStartRow(), r1 = SaveEndRow();
    String text = IntToStr(SaveColCount()) + u"," + IntToStr(SaveRowCount()) + CRLF;
    for (int c = 0; c < FGrid.ColCount(); ++c)
        text += u"cw " + IntToStr(c) + u"," + IntToStr(FGrid.ColWidths(c)) + CRLF;
    FGrid.ExportNotification(0, r0);
    for (int r = r0; r <= r1; ++r) {
        FGrid.ExportNotification(5, r);
        for (int c = c0; c <= c1; ++c) {
            const String s = FGrid.SaveCell(SaveColumn(c), r);
            if (!s.empty())
                text += IntToStr(c - c0) + u"," + IntToStr(r - r0) + u"," + EncodeCellLineBreaks(s) + CRLF;
        }
    }
    FGrid.ExportNotification(2);
    Stream.WriteBytes(StringToUtf16LE(text));
}

namespace {

// One line of UTF-16 code units up to a CR; the LF after it is dropped.
bool ReadStreamLine(TStream& S, String& Line) {
    Line.clear();
    Word w = 0;
    bool any = false;
    while (S.Read(&w, 2) == 2) {
        any = true;
        if (w == CR) {
            S.Read(&w, 2);
            return true;
        }
        Line += Char(w);
    }
    return any;
}

}  // namespace

void TExGridTools::LoadFromStream(TStream& Stream) {
    TUpdateLock lock(FGrid);
    String line;
    if (ReadStreamLine(Stream, line)) {
        if (!line.empty()) {
            const auto p = line.find(u',');
            FGrid.SetColCount(StrToInt(line.substr(0, p)) + SaveStartCol());
            FGrid.SetRowCount(StrToInt(p == String::npos ? String() : line.substr(p + 1)) + SaveStartRow());
        }
    }
    for (;;) {
        const Int64 at = Stream.Position();
        if (!ReadStreamLine(Stream, line)) break;
        if (line.starts_with(u"cw")) {
            line.erase(0, std::min<std::size_t>(3, line.size()));
            const auto p = line.find(u',');
            const int idx = StrToInt(line.substr(0, p));
            if (idx < 0 || idx >= FGrid.ColCount()) throw EInvalidGridOperation(u"Grid index out of range");
            FGrid.SetColWidths(idx, StrToInt(p == String::npos ? String() : line.substr(p + 1)));
            continue;
        }
        const String cf = CutField(line);
        const String rf = cf.empty() ? String() : CutField(line);
        if (cf.empty() || rf.empty()) {
            Stream.SetPosition(at);
            break;
        }
        FGrid.LoadCell(StrToInt(cf) + SaveStartCol(), StrToInt(rf) + SaveStartRow(),
                       DecodeCellLineBreaks(line, Multilinecells));
    }
    CellsLoaded();
}

// ----- delimiter-separated text

Char TExGridTools::GuessDelimiter(const String& L1, const String& L2) {
    static constexpr Char Candidates[] = {u',', u';', u'#', u'\t', u'|', u'@', u'*', u'-', u'+', u'&'};
    Char d = 0;
    int best = 0;
    for (Char c : Candidates) {
        const int n = CountQuoteEnds(c, L1);
        if (n == CountQuoteEnds(c, L2) && n > best) best = n, d = c;
    }
    if (best == 0)
        for (Char c : Candidates) {
            const int n = CountChar(c, L1);
            if (n == CountChar(c, L2) && n > best) best = n, d = c;
        }
    if (best == 0)
        for (Char c : Candidates) {
            const int n1 = CountChar(c, L1), n2 = CountChar(c, L2);
            if (n1 > best || n2 > best) best = std::max(n1, n2), d = c;
        }
    return d;
}

void TExGridTools::SaveToCSV(const String& FileName, bool Unicode) {
    const int h = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    const Char d = Delimiter ? Delimiter : u',';
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h, r0 = SaveStartRow(), r1 = SaveEndRow();
    TTextEncoding enc = TTextEncoding::Windows1252;
    String text;
    if (FAppending) ReadForAppend(FileName, enc, text);
    const std::size_t start = text.size();
    const bool plain = !OemConvert && !AlwaysQuotes;
    FGrid.ExportNotification(0, r0);
    int last = -1;
    for (int r = r0; r <= r1; ++r) {
        FGrid.ExportNotification(5, r);
        for (int c = c0; c <= c1; ++c) {
            const int col = SaveColumn(c);
            // Most cells need nothing of what follows, and their stored text
            // is what they save: it goes out without a copy.
            std::u16string_view v;
            if (plain && FGrid.SaveCellView(col, r, v) && PlainCSVField(v, d)) {
                if (c > c0) text += d;
                text += v;
                continue;
            }
            String t = FGrid.SaveCell(col, r);
            if (plain && PlainCSVField(t, d)) {
                if (c > c0) text += d;
                text += t;
                continue;
            }
            t = DoubleQuoteChars(t);
            if (OemConvert) StringToOem(t);
            bool quoted = false;
            if (AlwaysQuotes || (t.find(d) == String::npos && t.find(u'"') != String::npos)) {
                t = u"\"" + t + u"\"";
                quoted = true;
            }
            if (t.empty()) {
                if (JavaCSV) t = u"^";
                else if (QuoteEmptyCells) t = u"\"\"";
            }
            if (t.find(d) != String::npos || t.find(CR) != String::npos) {
                if (JavaCSV) {
                    CRLFToTilde(t);
                    // Unquoted, a delimiter inside the text would split the cell when read back.
                    if (!quoted && t.find(d) != String::npos) t = u"\"" + t + u"\"";
                } else if (quoted) {
                    CRLFToLF(t);
                } else {
                    QuoteMultiLine(t);
                }
            }
            if (c > c0) text += d;
            text += t;
        }
        text += CRLF;
        // Rows are much alike: room for all of them like the first, and some.
        if (r == r0) text.reserve(text.size() + (text.size() - start) * std::size_t(r1 - r0) * 9 / 8);
        if (OnFileProgress) FileProgress(Percent(r, std::max(1, FGrid.RowCount() - 1)), last);
    }
    FGrid.ExportNotification(2);
    WriteTextFile(FileName, text, Unicode ? TTextEncoding::Utf8Bom : enc);
}

void TExGridTools::AppendToCSV(const String& FileName, bool Unicode) {
    FAppending = true;
    try {
        SaveToCSV(FileName, Unicode);
    } catch (...) {
        FAppending = false;
        throw;
    }
    FAppending = false;
}

void TExGridTools::LoadFromCSV(const String& FileName, int MaxRows) {
    const ByteString bytes = ReadFileBytes(FileName);
    if (bytes.empty()) return;
    const String text = DecodeText(bytes);
    ReadCSVLines(ReadRecords(text).Lines, MaxRows, false);
}

void TExGridTools::InsertFromCSV(const String& FileName, int MaxRows) {
    const ByteString bytes = ReadFileBytes(FileName);
    if (bytes.empty()) return;
    const String text = DecodeText(bytes);
    ReadCSVLines(ReadRecords(text).Lines, MaxRows, true);
}

void TExGridTools::LoadFromCSVStream(TStream& AStream, int MaxRows) {
    const Int64 left = AStream.Size() - AStream.Position();
    const ByteString bytes = left > 0 ? AStream.ReadBytes(int(left)) : ByteString();
    const String text = DecodeText(bytes);
    ReadCSVLines(ReadRecords(text).Lines, MaxRows, false);
}

void TExGridTools::ReadCSVLines(const std::vector<std::u16string_view>& Lines, int MaxRows, bool Insert) {
    if (Lines.empty()) throw Exception(u"File is empty");
    TUpdateLock lock(FGrid);
    const int startCol = SaveStartCol();
    const bool footer = FGrid.FloatingFooter().Visible();
    const int footers = FGrid.FixedFooters();
    int R = SaveStartRow();
    std::vector<String> kept;
    if (Insert) {
        R = FGrid.RowCount();
        if (footer) {
            const int lastRow = FGrid.RowCount() - 1;
            for (int c = 0; c < FGrid.TotalColCount(); ++c) kept.push_back(FGrid.GetGridCell(c, lastRow));
            FGrid.ResetRowCells(lastRow);
            --R;
        }
    }
    const Char d = Delimiter ? Delimiter : GuessDelimiter(String(Lines[0]), Lines.size() > 1 ? String(Lines[1]) : String());
    int first = LoadFirstRow ? 0 : 1;
    int n = 0;
    if (OnFileProgress) {
        n = int(Lines.size()) - first;
        if (Insert) FGrid.SetRowCount(FGrid.RowCount() + int(Lines.size()));
        else FGrid.SetRowCount(SaveStartRow() + int(Lines.size()) + footers);
    }
    const int a = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    auto convert = [this](String& f) {
        if (JavaCSV) TildeToCRLF(f);
        else LTToCRLF(f);
    };
    int records = 0;
    int last = -1;
    for (int i = first; i < int(Lines.size()) && (MaxRows <= 0 || records < MaxRows); ++i) {
        String converted;
        if (OemConvert) {
            converted.assign(Lines[size_t(i)]);
            OemToString(converted);
        }
        // The rest of the line, taken from the front field by field.
        std::u16string_view line = OemConvert ? std::u16string_view(converted) : Lines[size_t(i)];
        if (R >= FGrid.RowCount() - footers) FGrid.SetRowCount(R + 1000);
        int c = startCol;
        std::size_t p;
        String field;
        // A vertical tab stands for a line break in a cell; most lines have none.
        const bool lineBreaks = JavaCSV || line.find(Char(11)) != String::npos;
        while (d && (p = line.find(d)) != String::npos) {
            if (StripLeadingBlanks(line)) p = line.find(d);
            field.clear();
            if (!line.empty() && line[0] == u'"') {
                line.remove_prefix(1);
                int q = 0;
                const String rest(line);
                if (FindQuoteEnd(u'"', rest, q) > 0) {
                    field = CollapseDoubledChar(u'"', rest.substr(0, size_t(q - 1)));
                    line.remove_prefix(size_t(q));
                }
                p = line.find(d);
            } else {
                field.assign(line.substr(0, p));
            }
            if (lineBreaks) convert(field);
            FGrid.LoadCell(c, R, field);
            line.remove_prefix(p == String::npos ? 0 : p + 1);
            if (c + 1 - a > FGrid.ColCount()) FGrid.SetColCount(c + 1 - a);
            ++c;
        }
        if (!line.empty()) {
            StripLeadingBlanks(line);
            if (line[0] == u'"') {
                line.remove_prefix(1);
                if (!line.empty() && line.back() == u'"') line.remove_suffix(1);
                field = CollapseDoubledChar(u'"', String(line));
            } else {
                field.assign(line);
            }
            if (lineBreaks) convert(field);
            FGrid.LoadCell(c, R, field);
            if (c + 1 - a > FGrid.ColCount()) FGrid.SetColCount(c + 1 - a);
        }
        ++R;
        ++records;
        if (OnFileProgress && n > 0) FileProgress(Percent(records, n), last);
    }
    FGrid.SetRowCount(R + footers);
    FGrid.FMaxRowCount = FGrid.RowCount();
    if (footer) {
        const int lastRow = FGrid.RowCount() - 1;
        FGrid.ResetRowCells(lastRow);
        for (int c = 0; c < int(kept.size()) && c < FGrid.TotalColCount(); ++c) FGrid.SetGridCell(c, lastRow, kept[c]);
    }
    CellsLoaded();
}

// ----- fixed-width text

int TExGridTools::LongestLine(int ACol) {
    int longest = 0;
    for (int r = 0; r < FGrid.RowCount(); ++r) {
        const String s = FGrid.GetGridCell(ACol, r);
        std::size_t from = 0;
        for (;;) {
            const auto e = s.find(CR, from);
            String part = s.substr(from, e == String::npos ? String::npos : e - from);
            std::erase(part, LF);
            longest = std::max(longest, int(part.size()));
            if (e == String::npos) break;
            from = e + 1;
        }
    }
    return longest;
}

void TExGridTools::SaveToFixed(const String& FileName, TIntList& Widths) {
    const int h = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    const int c0 = SaveStartCol(), c1 = SaveEndCol() + h, r0 = SaveStartRow(), r1 = SaveEndRow();
    for (int c = c0; c <= c1; ++c)
        if (c - c0 >= Widths.Count()) Widths.Add(LongestLine(SaveColumn(c)) + 1);
    String text;
    FGrid.ExportNotification(0, r0);
    for (int r = r0; r <= r1; ++r) {
        FGrid.ExportNotification(5, r);
        for (int c = c0; c <= c1; ++c) {
            const std::size_t w = std::size_t(std::max(0, Widths.GetInteger(c - c0)));
            String s = FGrid.SaveCell(SaveColumn(c), r);
            if (s.size() > w) s.resize(w);
            else s.append(w - s.size(), u' ');
            text += s;
        }
        text += CRLF;
    }
    FGrid.ExportNotification(2);
    try {
        WriteTextFile(FileName, text, TTextEncoding::Windows1252);
    } catch (const EFCreateError&) {
        throw EExGridError(u"Cannot Create file " + FileName);
    }
}

void TExGridTools::LoadFromFixed(const String& FileName, TIntList& Positions, int MaxRows, bool DoTrim) {
    std::vector<String> lines;
    try {
        lines = ReadTextLines(FileName);
    } catch (const EFOpenError&) {
        throw EExGridError(u"File " + FileName + u" not found");
    }
    TUpdateLock lock(FGrid);
    const int n = Positions.Count();
    FGrid.SetColCount(FGrid.FixedCols() + n - 1);
    std::vector<int> pos;
    for (int i = 0; i < n; ++i) pos.push_back(Positions.GetInteger(i));
    std::sort(pos.begin(), pos.end());
    for (int i = 0; i < n; ++i)
        if (Positions.GetInteger(i) != pos[std::size_t(i)]) Positions.SetInteger(i, pos[std::size_t(i)]);
    int r = SaveStartRow();
    int k = 1;
    for (std::size_t li = 0; li < lines.size(); ++li) {
        if (r >= FGrid.RowCount()) FGrid.SetRowCount(r + 1);
        const String& line = lines[li];
        for (int j = 1; j < n; ++j) {
            const std::size_t from = std::size_t(std::max(1, pos[std::size_t(j - 1)]) - 1);
            const int len = pos[std::size_t(j)] - pos[std::size_t(j - 1)];
            String field = from < line.size() && len > 0 ? line.substr(from, std::size_t(len)) : String();
            if (DoTrim) field = Trim(field);
            FGrid.LoadCell(SaveStartCol() + j - 1, r, field);
        }
        ++k;
        if (MaxRows != -1 && k > MaxRows) break;
        if (r + 1 >= FGrid.RowCount() && li + 1 < lines.size()) FGrid.SetRowCount(r + 2);
        ++r;
    }
    CellsLoaded();
}

double TExGridTools::CellToReal(int ACol, int ARow) {
    const String cell = FGrid.GetCellEx(ACol, ARow);
    if (cell.empty()) return 0;
    const String s = DisplayToFloatText(cell);
    // Sign, digits, one decimal point, an exponent: the first other character is the error's position.
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t from = i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') ++i;
        return i > from;
    };
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) ++i;
    bool any = digits();
    if (i < s.size() && s[i] == u'.') {
        ++i;
        any = digits() || any;
    }
    if (any && i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::size_t back = i++;
        if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) ++i;
        if (!digits()) i = back;
    }
    if (s.empty()) return 0;
    if (!any || i < s.size())
        throw EExGridError(u"Error at position: " + IntToStr(int(i + 1)) +
                           u" in Cell [" + IntToStr(ACol) + u", " + IntToStr(ARow) + u"].");
    // The text is plain ASCII by now; read it without the process locale.
    const std::string a(s.begin() + (s[0] == u'+' ? 1 : 0), s.begin() + std::ptrdiff_t(i));
    double v = 0;
    std::from_chars(a.data(), a.data() + a.size(), v);
    return v;
}

// ----- aligned plain text

void TExGridTools::SaveToASCII(const String& FileName, bool Unicode) { WriteASCII(FileName, Unicode, false); }

void TExGridTools::AppendToASCII(const String& FileName, bool Unicode) { WriteASCII(FileName, Unicode, true); }

void TExGridTools::WriteASCII(const String& FileName, bool Unicode, bool Append) {
    TTextEncoding enc = TTextEncoding::Windows1252;
    String text;
    if (Append) ReadForAppend(FileName, enc, text);
    const int h = SaveHiddenCells ? FGrid.NumHiddenColumns() : 0;
    const int s0 = SaveFixedCells || SaveFixedCols ? 0 : FGrid.FixedCols();
    const int f0 = SaveFixedCells || SaveFixedRows ? 0 : FGrid.FixedRows();
    const int c1 = FGrid.ColCount() - 1 + h;
    std::vector<int> widths;
    for (int c = s0; c <= c1; ++c) widths.push_back(LongestLine(SaveColumn(c)));
    FGrid.ExportNotification(0, f0);
    for (int r = f0; r < FGrid.RowCount(); ++r) {
        FGrid.ExportNotification(5, r);
        String first;
        std::vector<String> more;
        for (int c = s0; c <= c1; ++c) {
            const int rc = SaveColumn(c);
            const std::size_t w = std::size_t(widths[std::size_t(c - s0)]);
            const TAlignment a = FGrid.DoGetAlignment(rc, r);
            auto align = [&](String t) {
                if (a == taRightJustify) {
                    if (t.size() < w) t.insert(0, w - t.size(), u' ');
                } else if (a == taCenter) {
                    while (t.size() < w) t = u" " + t + u" ";
                }
                return t;
            };
            std::vector<String> parts;
            String cell = FGrid.SaveCell(rc, r);
            for (std::size_t p; (p = cell.find(CRLF)) != String::npos;) {
                parts.push_back(cell.substr(0, p));
                cell.erase(0, p + 2);
            }
            parts.push_back(cell);
            if (!Multilinecells) parts.resize(1);
            const std::size_t at = first.size();
            String t = align(parts[0]);
            if (t.size() < w + 1) t.append(w + 1 - t.size(), u' ');
            first += t;
            for (std::size_t i = 1; i < parts.size(); ++i) {
                if (more.size() < i) more.resize(i);
                String& line = more[i - 1];
                if (line.size() < at) line.append(at - line.size(), u' ');
                line += align(parts[i]);
            }
        }
        text += first + CRLF;
        for (const String& l : more) text += l + CRLF;
    }
    FGrid.ExportNotification(2);
    WriteTextFile(FileName, text, Unicode ? TTextEncoding::Utf16LE : enc);
}
