// Finding texts in the cells: the general search with its options, the
// replace built on it, and the prefix search in the sort column.
#include "grid/ExGrid.h"

#include "grid/foundation/FilterMatch.h"
#include "grid/foundation/MarkupText.h"

#include "framework/SysUtils.h"

bool TExGridTools::MatchCell(const String& CellText, const String& S, TFindParams P) {
    String text = P.Contains(fnMatchCase) ? CellText : AnsiUpperCase(CellText);
    if (P.Contains(fnIgnoreHTMLTags)) text = StripHTMLTags(text);
    if (S == u"\"\"") return text.empty();
    if (P.Contains(fnMatchRegular)) {
        try {
            return MatchFilterExpression(S, text, P.Contains(fnMatchCase));
        } catch (const std::exception&) {
            return false;
        }
    }
    size_t at = text.find(S);
    if (at == String::npos) return false;
    if (P.Contains(fnMatchStart) && at != 0) return false;
    if (P.Contains(fnMatchFull) && text != S) return false;
    return true;
}

TPoint TExGridTools::Find(TPoint StartCell, const String& S, TFindParams P) {
    FFindParams = P;
    FindBusy = true;
    SearchCache = P.Contains(fnMatchCase) ? S : AnsiUpperCase(S);
    TExStringGrid& g = FGrid;
    if (g.ColCount() == g.FixedCols() || g.ColCount() == 0 || g.RowCount() + g.NumHiddenRows() == g.FixedRows() ||
        g.RowCount() == 0) {
        FindBusy = false;
        return {-1, -1};
    }
    int c0, c1, r0, r1;
    if (P.Contains(fnIncludeFixed)) {
        c0 = 0;
        c1 = g.ColCount() - 1;
        r0 = 0;
        r1 = g.RowCount() - 1;
    } else {
        c0 = g.FixedCols();
        c1 = g.ColCount() - g.FixedRightCols() - 1;
        r0 = g.FixedRows();
        r1 = g.RowCount() - g.FixedFooters() - 1;
    }
    if (P.Contains(fnSelectedCells)) {
        TGridRect sel = g.Selection();
        c0 = sel.Left;
        c1 = sel.Right;
        r0 = sel.Top;
        r1 = sel.Bottom;
    }
    bool hiddenCols = P.Contains(fnIncludeHiddenColumns), hiddenRows = P.Contains(fnIncludeHiddenRows);
    if (hiddenCols) c1 += g.NumHiddenColumns();
    if (hiddenRows) r1 += g.NumHiddenRows();
    if (P.Contains(fnFindInCurrentRow)) r0 = r1 = g.Row();
    if (P.Contains(fnFindInPresetRow)) r0 = r1 = FindRow;
    if (P.Contains(fnFindInCurrentCol)) c0 = c1 = g.Col();
    if (P.Contains(fnFindInPresetCol)) c0 = c1 = FindCol;
    int w = c1 - c0 + 1, h = r1 - r0 + 1;
    TPoint result{-1, -1};
    if (w > 0 && h > 0) {
        bool byRow = P.Contains(fnDirectionLeftRight), back = P.Contains(fnBackward);
        long long n = (long long)w * h;
        auto index = [&](TPoint c) {
            return byRow ? (long long)(c.Y - r0) * w + (c.X - c0) : (long long)(c.X - c0) * h + (c.Y - r0);
        };
        long long i;
        if (StartCell.X == -1 && StartCell.Y == -1) i = back ? n - 1 : 0;
        else i = index(StartCell) + (back ? -1 : 1);
        for (; i >= 0 && i < n; i += back ? -1 : 1) {
            int c = byRow ? c0 + int(i % w) : c0 + int(i / h);
            int r = byRow ? r0 + int(i / w) : r0 + int(i % h);
            if (byRow && IgnoreColumns.HasValue(c)) continue;
            int col = hiddenCols ? c : g.RealColIndex(c);
            String text = hiddenRows ? g.AllCells(col, r) : g.GetCellEx(col, r);
            if (MatchCell(text, SearchCache, P)) {
                result = {c, r};
                break;
            }
        }
    }
    if (result.X < 0) {
        FindBusy = false;
        SearchCell = result;
        return result;
    }
    SearchCell = result;
    if (P.Contains(fnAutoGoto)) {
        int row = result.Y;
        if (hiddenRows) {
            if (g.IsHiddenRow(row) && FNumNodes > 0) {
                // The node whose span holds the row opens.
                for (int n = row - 1; n >= 0; --n)
                    if (!g.IsHiddenRow(n) && IsNode(g.DisplRowIndex(n)) && n + GetNodeSpan(g.DisplRowIndex(n)) > row) {
                        ExpandNode(n);
                        break;
                    }
            }
            row = g.IsHiddenRow(row) ? -1 : g.DisplRowIndex(row);
        }
        int col = hiddenCols ? g.DisplColIndex(result.X) : result.X;
        if (row >= 0 && row < g.RowCount() && col >= 0 && col < g.ColCount()) {
            g.SetCol(col);
            g.SetRow(row);
            int f = g.FloatingFooter().Visible() ? 2 : 0;
            if (g.Row() > g.TopRow() + g.VisibleRowCount() - f - 2 &&
                g.RowCount() > g.VisibleRowCount() + g.FixedRows() + f)
                g.SetTopRowEx(g.TopRow() + f + 1);
        }
    }
    return result;
}

TPoint TExGridTools::FindFirst(const String& S, TFindParams FindParams) {
    SearchCell = Find({-1, -1}, S, FindParams);
    return SearchCell;
}

TPoint TExGridTools::FindNext() {
    SearchCell = Find(SearchCell, SearchCache, FFindParams);
    return SearchCell;
}

// The case rule of the search holds for the replacing too, so no text that
// the search passed over is changed.
int TExGridTools::Replace(const String& OrigStr, const String& NewStr, TFindParams FindParams) {
    if (OrigStr.empty()) return 0;
    int count = 0;
    TPoint at{-1, -1};
    TReplaceFlags flags = rfReplaceAll;
    if (!FindParams.Contains(fnMatchCase)) flags |= rfIgnoreCase;
    for (;;) {
        at = Find(at, OrigStr, FindParams);
        if (at.X < 0) break;
        int col = FindParams.Contains(fnIncludeHiddenColumns) ? at.X : FGrid.RealColIndex(at.X);
        if (FindParams.Contains(fnIncludeHiddenRows))
            FGrid.SetAllCells(col, at.Y, StringReplace(FGrid.AllCells(col, at.Y), OrigStr, NewStr, flags));
        else
            FGrid.SetCellEx(col, at.Y, StringReplace(FGrid.GetCellEx(col, at.Y), OrigStr, NewStr, flags));
        ++count;
    }
    return count;
}

int TExGridTools::Search(const String& S) {
    if (FGrid.RowCount() < 2) return -1;
    TSortSettings& ss = FGrid.SortSettings();
    int col;
    if (!ss.Show()) col = FGrid.FixedCols();
    else if (ss.IndexShow()) col = SortIndexes.Count() > 0 ? SortIndexes.GetSortColumns(0) : FGrid.FixedCols();
    else col = ss.Column();
    if (col < 0) return -1;
    for (int r = FGrid.FixedRows(); r < FGrid.RowCount(); ++r) {
        String text = AnsiUpperCase(StripHTMLTags(FGrid.GetCellEx(col, r)));
        if (text.compare(0, S.size(), S) == 0 && text.size() >= S.size()) return r;
    }
    return -1;
}
