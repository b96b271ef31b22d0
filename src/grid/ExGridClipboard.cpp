// Copy, cut and paste of cells through the clipboard: tab-separated text,
// the grid's private cell format, rich text of one cell and an HTML copy;
// the smart paste that fills a selection from a small clip.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"
#include "grid/ExgDD.h"
#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/GridUndoRedo.h"

#include "framework/DataTransfer.h"
#include "framework/DateUtils.h"
#include "framework/Encoding.h"
#include "framework/RichEdit.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const String CRLF = u"\r\n";

bool IsWide(const String& S) { return S.size() >= 2 && S[0] == u'|' && S[1] == u'\\'; }

CLIPFORMAT HTMLFormat() {
    static const CLIPFORMAT f = RegisterClipboardFormat(u"HTML Format");
    return f;
}

String RichToPlainText(const String& Rich) {
    return ReadRTF(StringToWindows1252(Rich)).PlainText();
}

// A pasted field that spans lines comes enclosed in quotes with character
// 11 for its line breaks.
void UnquoteField(String& F) {
    if (F.find(u'\n') == String::npos) return;
    if (!F.empty() && F[0] == u'"') F.erase(0, 1);
    const auto q = F.find(u'"');
    if (q != String::npos && q + 1 == F.size()) F.erase(q, 1);
    LTToCRLF(F);
}

// The lines of a pasted text: each ends at CR, a LF right after it skipped.
std::vector<String> ClipLines(const String& Text) {
    std::vector<String> lines;
    std::size_t p = 0;
    while (p < Text.size()) {
        const auto cr = Text.find(u'\r', p);
        if (cr == String::npos) {
            lines.push_back(Text.substr(p));
            break;
        }
        lines.push_back(Text.substr(p, cr - p));
        p = cr + 1;
        if (p < Text.size() && Text[p] == u'\n') ++p;
    }
    return lines;
}

std::vector<String> Fields(const String& Line) {
    std::vector<String> f;
    std::size_t p = 0;
    for (;;) {
        const auto t = Line.find(u'\t', p);
        f.push_back(Line.substr(p, t == String::npos ? String::npos : t - p));
        if (t == String::npos) break;
        p = t + 1;
    }
    return f;
}

void SetClipboardObject(const std::shared_ptr<TDataObject>& Data) { OleSetClipboard(Data); }

}  // namespace

// ---------------------------------------------------------------------------
// The grid's own paste of one value

void TExStringGrid::PasteCell(int ACol, int ARow, const String& Value) {
    const int c = RealColIndex(ACol);
    if (UndoRedo()) UndoRedo()->RegisterChange(ACol, ARow, GetCellEx(c, ARow), Value);
    if (HasCheckBox(c, ARow))
        SetCheckBoxStateEx(c, ARow, Value == CheckTrue());
    else
        SetCellEx(c, ARow, Value);
    if (c != ACol) RepaintCell(ACol, ARow);
}

// ---------------------------------------------------------------------------
// Copying

void TExGridTools::ExpandSelectionToMerged() {
    TGridRect s = FGrid.Selection();
    TGridRect n = s;
    const TPoint tl = FGrid.BaseCell(s.Left, s.Top);
    n.Left = tl.X;
    n.Top = tl.Y;
    const TPoint br = FGrid.BaseCell(s.Right, s.Bottom);
    const TPoint span = FGrid.CellSpan(br.X, br.Y);
    n.Right = std::max(n.Right, br.X + std::max(0, span.X));
    n.Bottom = std::max(n.Bottom, br.Y + std::max(0, span.Y));
    if (n.Left != s.Left || n.Top != s.Top || n.Right != s.Right || n.Bottom != s.Bottom) FGrid.SetSelection(n);
}

String TExGridTools::GetRectAsText(TGridRect R, bool Disjunct) {
    FClipTopLeft = TPoint{R.Left, R.Top};
    FGrid.ExportNotification(0);
    const bool skipRows = Disjunct && FGrid.MouseActions().DisjunctRowSelect() && !FGrid.MouseActions().DisjunctColSelect();
    String text;
    for (int r = R.Top; r <= R.Bottom; ++r) {
        if (skipRows && !FGrid.RowSelect(r)) continue;
        FGrid.ExportNotification(1, r);
        for (int c = R.Left; c <= R.Right; ++c) {
            String s = FGrid.SaveCell(FGrid.RealColIndex(c), r);
            if (IsWide(s)) s = DecodeWideCellText(s);
            if (s.find(u'\r') != String::npos) s = u"\"" + CRToLF(s) + u"\"";
            if (!FGrid.Navigation().CopyHTMLTagsToClipboard() && s.find(u"</") != String::npos)
                s = FGrid.StrippedCells(FGrid.RealColIndex(c), r);
            else if (s.find(u"{\\") != String::npos)
                s = RichToPlainText(s);
            if (FGrid.ExcelClipboardFormat() && CountTextLines(s, Multilinecells) > 1) QuoteMultiLine(s);
            text += s;
            if (c < R.Right) text += u'\t';
        }
        if (R.Bottom > R.Top) text += CRLF;
    }
    FGrid.ExportNotification(2);
    return text;
}

void TExGridTools::CopyRectToClipboard(TGridRect R, bool Disjunct) {
    auto data = std::make_shared<TDataObject>();
    data->SetText(GetRectAsText(R, Disjunct));
    if (FGrid.Navigation().AllowRTFClipboard()) {
        const String rich = FGrid.GetCellEx(R.Left, R.Top);
        // 8-bit, as every reader of the format expects it.
        if (rich.find(u"{\\") != String::npos) data->SetBytes(CF_RTF(), StringToWindows1252(rich) + '\0');
    }
    if (FGrid.AllowFmtClipboard()) {
        TMemoryStream s;
        SaveRectToBinStream(R, s);
        data->SetBytes(GridCellsClipboardFormat(), s.Bytes());
    }
    SetClipboardObject(data);
}

TGridRect TExGridTools::SaveRange() {
    TGridRect r;
    r.Left = SaveStartCol();
    r.Top = SaveStartRow();
    r.Right = SaveEndCol();
    r.Bottom = SaveEndRow();
    return r;
}

void TExGridTools::CopySelectionToClipboard() {
    ExpandSelectionToMerged();
    const bool fmt = FGrid.AllowFmtClipboard();
    if (FGrid.MouseActions().DisjunctRowSelect() && !fmt) {
        TGridRect r;
        r.Left = FGrid.FixedCols();
        r.Top = SaveStartRow();
        r.Right = FGrid.ColCount() - FGrid.FixedRightCols() - 1;
        r.Bottom = SaveEndRow();
        CopyRectToClipboard(r, true);
    } else if (FGrid.MouseActions().DisjunctColSelect() && !fmt) {
        CopyRectToClipboard(SaveRange(), true);
    } else {
        CopyRectToClipboard(FGrid.Selection(), false);
    }
    FClipLastOp = coCopy;
}

void TExGridTools::CopyToClipBoard() {
    CopyRectToClipboard(SaveRange(), false);
    FClipLastOp = coCopy;
}

bool TExGridTools::ClipboardWritable(int ACol, int ARow) {
    return FGrid.Navigation().AllowClipboardAlways() || FGrid.IsEditable(FGrid.RealColIndex(ACol), ARow);
}

void TExGridTools::CutToClipboard() {
    const TGridRect r = SaveRange();
    CopyRectToClipboard(r, false);
    for (int row = r.Top; row <= r.Bottom; ++row)
        for (int c = r.Left; c <= r.Right; ++c)
            if (ClipboardWritable(c, row)) FGrid.SetCellEx(c, row, String());
    FClipLastOp = coCut;
}

void TExGridTools::CutSelectionToClipboard() {
    const TGridRect sel = FGrid.Selection();
    CopySelectionToClipboard();
    if (FGrid.MouseActions().DisjunctRowSelect()) {
        for (int r = FGrid.FixedRows(); r < FGrid.RowCount(); ++r)
            if (FGrid.RowSelect(r)) FGrid.ClearRows(r, 1);
    } else {
        const TGridRect s = FGrid.Selection();
        TExGridUndoRedo* undo = FGrid.UndoRedo();
        if (undo) undo->StartSequence();
        for (int r = s.Top; r <= s.Bottom; ++r)
            for (int c = s.Left; c <= s.Right; ++c) {
                if (!ClipboardWritable(c, r)) continue;
                const int rc = FGrid.RealColIndex(c);
                if (undo) undo->RegisterChange(c, r, FGrid.GetCellEx(rc, r), String());
                FGrid.SetCellEx(rc, r, String());
            }
        if (undo) undo->StopSequence();
        if (FGrid.AllowFmtClipboard()) FGrid.FreeCellPropsRect(s.Left, s.Top, s.Right, s.Bottom);
    }
    FClipLastOp = coCut;
    FGrid.DoCellsChanged(Rect(sel.Left, sel.Top, sel.Right, sel.Bottom));
    if (FGrid.NumHiddenColumns() > 0) FGrid.Invalidate();
}

void TExGridTools::CopyToClipBoardAsHTML() {
    String html = SaveToHTMLString(String());
    MakeCFHTML(html);
    auto data = std::make_shared<TDataObject>();
    data->SetBytes(HTMLFormat(), StringToWindows1252(html));
    data->SetText(GetRectAsText(SaveRange(), false));
    SetClipboardObject(data);
}

String TExGridTools::GetSelectionAsText() {
    ExpandSelectionToMerged();
    return GetRectAsText(FGrid.Selection(), false);
}

// ---------------------------------------------------------------------------
// Pasting

void TExGridTools::MarkPastedRows(TPoint FromPoint, TGridRect R, TClipOperation Operation) {
    FPasteOrigin = FromPoint;
    FPasteOperation = Operation;
    FGrid.MarkPastedRows(R.Top, R.Bottom);
}

void TExGridTools::GetClipTextSize(const String& Text, int& Cols, int& Rows) {
    Cols = 0;
    Rows = -1;
    for (const String& l : ClipLines(Text)) {
        Cols = std::max(Cols, int(std::count(l.begin(), l.end(), u'\t')) + 1);
        if (!l.empty()) ++Rows;
    }
}

int TExGridTools::PasteText(int ACol, int ARow, int& Rows, int& Cols, const String& Text) {
    if (ACol < 0 || ARow < 0) return 0;
    if (!FGrid.Options().Contains(goEditing) && !FGrid.Navigation().AllowClipboardAlways() &&
        !FGrid.MouseActions().RangeSelectAndEdit())
        return 0;
    TExGridUndoRedo* undo = FGrid.UndoRedo();
    if (undo) undo->StartSequence();
    const bool insert = FGrid.Navigation().ClipboardPasteAction() == paInsert;
    const std::vector<String> lines = ClipLines(Text);
    int processed = 0, r = ARow, maxC = ACol, maxR = ARow;
    Rows = 0;
    for (std::size_t li = 0; li < lines.size(); ++li) {
        const String& line = lines[li];
        const bool more = li + 1 < lines.size();
        ++Rows;
        FGrid.ImportNotification(FPasteAll ? 1 : 3, r);
        if (insert && !line.empty()) FGrid.InsertRows(r, 1, true);
        Cols = 1;
        int c = ACol;
        const std::vector<String> fields = Fields(line);
        for (std::size_t fi = 0; fi < fields.size(); ++fi) {
            const bool last = fi + 1 == fields.size();
            if (!last) ++Cols;
            String field = fields[fi];
            UnquoteField(field);
            // Written only inside the counts, growing first where allowed.
            if (c >= FGrid.ColCount() && FGrid.Navigation().AllowClipboardColGrow()) FGrid.SetColCount(c + 1);
            bool pasted = false;
            const bool emptyTail = last && field.empty() && !more;
            if (c < FGrid.ColCount() && r < FGrid.RowCount() && !emptyTail && ClipboardWritable(c, r)) {
                bool allow = true;
                const bool wide = IsWide(field);
                if (wide) {
                    String w = DecodeWideCellText(field);
                    if (OnClipboardBeforePasteWideCell) OnClipboardBeforePasteWideCell(&FGrid, c, r, w, allow);
                    field = EncodeWideCellText(w);
                } else if (OnClipboardBeforePasteCell) {
                    OnClipboardBeforePasteCell(&FGrid, c, r, field, allow);
                }
                if (allow) {
                    FGrid.PasteCell(c, r, field);
                    maxC = std::max(maxC, c);
                    maxR = std::max(maxR, r);
                    pasted = true;
                    if (wide && OnClipboardAfterPasteWideCell)
                        OnClipboardAfterPasteWideCell(&FGrid, c, r, DecodeWideCellText(field));
                    else if (!wide && OnClipboardAfterPasteCell)
                        OnClipboardAfterPasteCell(&FGrid, c, r, field);
                }
            }
            ++processed;
            if (!last || pasted) ++c;
        }
        if (more) {
            ++r;
            if (r >= FGrid.RowCount() && FGrid.Navigation().AllowClipboardRowGrow()) FGrid.SetRowCount(r + 1);
        }
    }
    if (undo) undo->StopSequence();
    TGridRect pastedRect;
    pastedRect.Left = ACol;
    pastedRect.Top = ARow;
    pastedRect.Right = maxC;
    pastedRect.Bottom = maxR;
    MarkPastedRows(FClipTopLeft, pastedRect, FClipLastOp);
    FGrid.DoCellsChanged(Rect(FGrid.RealColIndex(ACol), ARow, FGrid.RealColIndex(maxC), maxR));
    return processed;
}

int TExGridTools::PasteFromClipboardAt(int ACol, int ARow, int& Rows, int& Cols) {
    std::shared_ptr<IDataObject> data;
    if (OleGetClipboard(data) != S_OK || !data) return 0;
    ByteString bytes;
    if (FGrid.AllowFmtClipboard() && GetFormatBytes(*data, GridCellsClipboardFormat(), bytes)) {
        TMemoryStream s;
        s.WriteBytes(bytes);
        s.SetPosition(0);
        // The header is read before anything changes: a damaged clip leaves the grid as it was.
        int hCols = 0, hRows = 0, id = 0;
        ReadBinHeader(s, hCols, hRows, id);
        FGrid.BeforePaste(ACol, ARow);
        const bool insert = FGrid.Navigation().ClipboardPasteAction() == paInsert;
        const TNavigation& nav = FGrid.Navigation();
        if (nav.AllowClipboardColGrow() || nav.AllowClipboardRowGrow() || insert) {
            if (hCols + ACol >= FGrid.ColCount() && nav.AllowClipboardColGrow()) FGrid.SetColCount(hCols + ACol);
            if (hRows + ARow >= FGrid.RowCount() && nav.AllowClipboardRowGrow()) FGrid.SetRowCount(hRows + ARow);
            Cols = FGrid.ColCount();
            Rows = FGrid.RowCount();
            if (insert) FGrid.InsertRows(ARow, hRows);
        }
        s.SetPosition(0);
        LoadAtPointFromBinStream(TPoint{ACol, ARow}, s);
        TGridRect r;
        r.Left = ACol;
        r.Top = ARow;
        r.Right = ACol + hCols - 1;
        r.Bottom = ARow + hRows - 1;
        const bool own = id == int(std::uint32_t(FGrid.Handle()));
        MarkPastedRows(own ? FClipTopLeft : TPoint{-1, -1}, r, FClipLastOp);
        FGrid.AfterPaste(ACol, ARow);
        return hCols * hRows;
    }
    if (FGrid.Navigation().AllowRTFClipboard() && GetFormatBytes(*data, CF_RTF(), bytes)) {
        const auto z = bytes.find('\0');
        const String text = Windows1252ToString(std::string_view(bytes).substr(0, z));
        if (FGrid.IsEditable(FGrid.RealColIndex(ACol), ARow)) FGrid.PasteCell(ACol, ARow, text);
        Rows = 1;
        Cols = 1;
        return 0;
    }
    String text;
    if (GetTextData(*data, text) && !text.empty()) return PasteText(ACol, ARow, Rows, Cols, text);
    return 0;
}

void TExGridTools::PasteFromClipboard() {
    FGrid.ImportNotification(0);
    FPasteAll = true;
    int rows = 0, cols = 0;
    try {
        PasteFromClipboardAt(SaveStartCol(), SaveStartRow(), rows, cols);
    } catch (...) {
        FPasteAll = false;
        throw;
    }
    FPasteAll = false;
    FGrid.ImportNotification(2);
    FGrid.RecalcFooter(-1);
}

// One value of a smart fill, with the paste events of every cell but the first.
bool TExGridTools::SmartPut(int ACol, int ARow, String Value, bool First) {
    if (!ClipboardWritable(ACol, ARow)) return false;
    bool allow = true;
    if (!First && OnClipboardBeforePasteCell) OnClipboardBeforePasteCell(&FGrid, ACol, ARow, Value, allow);
    if (!allow) return false;
    FGrid.PasteCell(ACol, ARow, Value);
    if (!First && OnClipboardAfterPasteCell) OnClipboardAfterPasteCell(&FGrid, ACol, ARow, Value);
    TGridRect r;
    r.Left = r.Right = ACol;
    r.Top = r.Bottom = ARow;
    MarkPastedRows(FClipTopLeft, r, coCopy);
    return true;
}

void TExGridTools::SmartSeries(const TGridRect& S, int N) {
    const bool column = S.Left == S.Right;
    const int count = column ? S.Bottom - S.Top + 1 : S.Right - S.Left + 1;
    auto cellAt = [&](int i) { return column ? TPoint{S.Left, S.Top + i} : TPoint{S.Left + i, S.Top}; };
    const String P = FGrid.GetCellEx(FGrid.RealColIndex(S.Left), S.Top);
    const TPoint q = cellAt(1);
    const String Q = FGrid.GetCellEx(FGrid.RealColIndex(q.X), q.Y);
    const TFormatSettings& fs = FormatSettings();
    auto fill = [&](auto Next) {
        for (int i = 0; i < count; ++i) {
            String v;
            if (!Next(i, v)) return;
            const TPoint c = cellAt(i);
            SmartPut(c.X, c.Y, v, i == 0);
        }
    };
    const bool dates = (LooksLikeDate(P) && LooksLikeDate(Q)) ||
                       (P.find(fs.TimeSeparator) != String::npos && Q.find(fs.TimeSeparator) != String::npos);
    if (dates) {
        TDateTime d1 = 0, d2 = 0;
        if (!TryStrToDateTime(P, d1) || !TryStrToDateTime(Q, d2)) return;
        const bool asDate = P.find(fs.DateSeparator) != String::npos;
        Word y1, m1, dd1, y2, m2, dd2;
        DecodeDate(d1, y1, m1, dd1);
        DecodeDate(d2, y2, m2, dd2);
        const int dY = int(y2) - int(y1), dM = int(m2) - int(m1), dD = int(dd2) - int(dd1);
        const double delta = double(d2) - double(d1);
        TDateTime cur = d1;
        const double timeOfDay = double(d1) - std::floor(double(d1));
        fill([&](int i, String& v) {
            if (i > 0) {
                Word y, m, d;
                DecodeDate(cur, y, m, d);
                if (dY == 0 && dM != 0 && dD == 0) {
                    // Month by month with the same day: a month without it ends the fill.
                    int months = int(y) * 12 + int(m) - 1 + dM;
                    TDateTime next = 0;
                    if (!TryEncodeDate(Word(months / 12), Word(months % 12 + 1), dd1, next)) return false;
                    cur = TDateTime(double(next) + timeOfDay);
                } else if (dY != 0 && dM == 0 && dD == 0) {
                    TDateTime next = 0;
                    if (!TryEncodeDate(Word(int(y) + dY), m1, dd1, next)) return false;
                    cur = TDateTime(double(next) + timeOfDay);
                } else {
                    cur = IncDateParts(0, 0, SmallInt(dY == 0 && dM == 0 ? dD : 0), cur, delta);
                }
            }
            v = asDate ? DateToStr(cur) : TimeToStr(cur);
            return true;
        });
    } else if (P.find(fs.DecimalSeparator) != String::npos || Q.find(fs.DecimalSeparator) != String::npos) {
        double f1 = 0, f2 = 0;
        if (!TryStrToFloat(P, f1) || !TryStrToFloat(Q, f2)) return;
        fill([&](int i, String& v) {
            v = Format(FGrid.FloatFormat(), {f1 + i * (f2 - f1)});
            return true;
        });
    } else {
        int i1 = 0, i2 = 0;
        if (TryStrToInt(P, i1) && TryStrToInt(Q, i2)) {
            fill([&](int i, String& v) {
                v = IntToStr(i1 + i * (i2 - i1));
                return true;
            });
        } else {
            // Text: the pasted block of N values repeats after itself (each
            // cell takes the one N before it, so the block is not overwritten).
            for (int i = N; i < count; ++i) {
                const TPoint src = cellAt(i - N), dst = cellAt(i);
                SmartPut(dst.X, dst.Y, FGrid.GetCellEx(FGrid.RealColIndex(src.X), src.Y), false);
            }
        }
    }
}

void TExGridTools::PasteSelectionFromClipboard() {
    FGrid.ImportNotification(0);
    FPasteAll = false;
    ExpandSelectionToMerged();
    const TGridRect sel = FGrid.Selection();
    int rows = 0, cols = 0;
    const int n = FGrid.Options().Contains(goRowSelect)
                      ? PasteFromClipboardAt(FGrid.FixedCols(), sel.Top, rows, cols)
                      : PasteFromClipboardAt(sel.Left, sel.Top, rows, cols);
    // Every paste that announced its start also announces its end.
    const int cells = (sel.Right - sel.Left + 1) * (sel.Bottom - sel.Top + 1);
    if (!FGrid.Navigation().AllowSmartClipboard() || n == cells + 1) {
        FGrid.ImportNotification(2);
        return;
    }
    FGrid.BeforePaste(sel.Left, sel.Top);
    if (n == 1 && cells > 1) {
        const int rc = FGrid.RealColIndex(sel.Left);
        String v = FGrid.GetCellEx(rc, sel.Top);
        if (FGrid.HasCheckBox(rc, sel.Top)) v = FGrid.IsChecked(rc, sel.Top) ? FGrid.CheckTrue() : FGrid.CheckFalse();
        for (int c = sel.Left; c <= sel.Right; ++c)
            for (int r = sel.Top; r <= sel.Bottom; ++r) SmartPut(c, r, v, c == sel.Left && r == sel.Top);
        FGrid.AfterPaste(sel.Left, sel.Top);
    } else if (n > 1 && (sel.Left == sel.Right || sel.Top == sel.Bottom) && cells > 1) {
        SmartSeries(sel, n);
        FGrid.AfterPaste(sel.Left, sel.Top);
        FGrid.DoCellsChanged(Rect(sel.Left, sel.Top, sel.Right, sel.Bottom));
        return;
    } else if (sel.Bottom > sel.Top && sel.Right > sel.Left && (rows == 1 || cols == 1)) {
        // A one-row clip repeats on every row of the selection, a one-column clip on every column.
        if (rows == 1)
            for (int r = sel.Top + 1; r <= sel.Bottom; ++r) PasteFromClipboardAt(sel.Left, r, rows, cols);
        else
            for (int c = sel.Left + 1; c <= sel.Right; ++c) PasteFromClipboardAt(c, sel.Top, rows, cols);
        FGrid.SetSelection(sel);
        FGrid.AfterPaste(sel.Left, sel.Top);
    }
    FGrid.ImportNotification(2);
    FGrid.DoCellsChanged(Rect(sel.Left, sel.Top, sel.Right, sel.Bottom));
    FGrid.RecalcFooter(-1);
}

void TExGridTools::SetSelectionAsText(const String& Value) {
    const TGridRect sel = FGrid.Selection();
    int r = sel.Top, maxC = sel.Left, maxR = sel.Top;
    const std::vector<String> lines = ClipLines(Value);
    for (std::size_t li = 0; li < lines.size(); ++li) {
        int c = sel.Left;
        for (String field : Fields(lines[li])) {
            UnquoteField(field);
            if (IsWide(field)) field = EncodeWideCellText(DecodeWideCellText(field));
            if (c >= FGrid.ColCount()) FGrid.SetColCount(c + 1);
            if (r < FGrid.RowCount()) {
                FGrid.SetGridCell(FGrid.RealColIndex(c), r, field);
                maxC = std::max(maxC, c);
                maxR = std::max(maxR, r);
            }
            ++c;
        }
        if (li + 1 < lines.size()) {
            ++r;
            if (r >= FGrid.RowCount()) FGrid.SetRowCount(r + 1);
        }
    }
    FGrid.DoCellsChanged(Rect(FGrid.RealColIndex(sel.Left), sel.Top, FGrid.RealColIndex(maxC), maxR));
}
