// Filtering the data rows in levels: each application hides the rows that
// fail the conditions among those still shown; levels come back last first.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/FilterMatch.h"
#include "grid/foundation/MarkupText.h"

#include "framework/SysUtils.h"

#include <cmath>

bool TExStringGrid::MatchFilter(int ARow) { return FTools->MatchFilter(ARow); }

namespace {

// Upper case of the ASCII letters only.
String AsciiUpper(String S) {
    for (Char& c : S)
        if (c >= u'a' && c <= u'z') c = Char(c - 32);
    return S;
}

}  // namespace

bool TExGridTools::MatchFilter(int ARow) {
    bool result = true;
    TFilter& filter = FGrid.Filter();
    for (int i = 0; i < filter.Count(); ++i) {
        TFilterData* f = filter.Items(i);
        int col = f->Column();
        String text;
        switch (f->Data()) {
            case fcNormal: text = FGrid.GetGridCell(col, ARow); break;
            case fcStripHTML: text = StripHTMLTags(FGrid.GetCellEx(col, ARow)); break;
            case fcCalcValue: text = FGrid.GetCalcCell(col, ARow); break;
            case fcRow:
                for (int c = 0; c < FGrid.TotalColCount(); ++c) {
                    if (c > 0) text += u"\r\n";
                    text += FGrid.GetCellEx(c, ARow);
                }
                break;
            default: text = FGrid.GetCellEx(col, ARow); break;
        }
        text = Trim(text);
        if (text.find(u"|\\") != String::npos) text = DecodeWideCellText(text);
        bool match = false;
        try {
            if (f->Data() == fcRow) {
                match = !f->Condition().empty() && AsciiUpper(text).find(AsciiUpper(f->Condition())) != String::npos;
            } else {
                const String& prefix = f->Prefix();
                if (!prefix.empty() && text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
                const String& suffix = f->Suffix();
                if (!suffix.empty()) {
                    size_t at = text.find(suffix);
                    if (at != String::npos && at + suffix.size() == text.size()) text.erase(at);
                }
                if (f->Condition().empty()) match = true;
                else if (f->Method() == fmLiteral) match = text == f->Condition();
                else match = MatchFilterExpression(f->Condition(), text, f->CaseSensitive());
            }
        } catch (const std::exception&) {
            match = false;
        }
        bool stop = false;
        switch (f->Operation()) {
            case foSHORT:
                result = match;
                stop = !match;
                break;
            case foNONE: result = match; break;
            case foAND: result = result && match; break;
            case foXOR: result = result != match; break;
            case foOR: result = result || match; break;
        }
        if (stop) break;
    }
    if (OnCustomFilter) OnCustomFilter(&FGrid, ARow, result);
    return result;
}

namespace {

short Percent(int Done, int Total) { return short(std::nearbyint(double(Done) / Total * 100)); }

}  // namespace

void TExGridTools::ApplyFilter() {
    FFilterFixedRows = FGrid.FixedRows();
    int from = FGrid.FixedRows(), to = FGrid.RowCount() - FGrid.FixedFooters() - 1;
    int total = FGrid.RowCount() - FGrid.FixedFooters() - FGrid.FixedRows();
    std::vector<int> fail;
    int tested = 0;
    for (int r = from; r <= to; ++r) {
        if (FilterNormalCellsOnly && (IsNode(r) || IsSummary(r))) continue;
        if (!FGrid.MatchFilter(r)) fail.push_back(r);
        ++tested;
        if (OnFilterProgress && total > 0) OnFilterProgress(&FGrid, Percent(tested, total));
    }
    FGrid.HideRowList(fail);
    if (OnFilterProgress && total > 0) OnFilterProgress(&FGrid, Percent(tested, total));
}

void TExGridTools::RemoveFilter() {
    if (FGrid.FFilterLevel <= 0) return;
    FGrid.UnHideRowList();
    FGrid.SetFixedRows(FFilterFixedRows);
}

void TExGridTools::FilterRow(int ARow) {
    if (ARow < 0 || ARow >= FGrid.RowCount()) return;
    if (!FGrid.MatchFilter(ARow)) FGrid.HideRow(FGrid.RealRowIndex(ARow));
}

bool TExGridTools::RemoveLastFilter() {
    if (FGrid.FFilterLevel <= 0) return false;
    RemoveFilter();
    FGrid.CalcFooter(-1);
    return FGrid.FFilterLevel >= 2;
}

void TExGridTools::RemoveAllFilters() {
    if (FGrid.FFilterLevel <= 0) {
        FGrid.Filter().Clear();
        return;
    }
    while (FGrid.FFilterLevel > 0) RemoveLastFilter();
}

void TExGridTools::NarrowDown(const String& ACondition, int AColumn) {
    FGrid.SetFixedRowAlways(true);
    auto narrow = [&] {
        TFilter& filter = FGrid.Filter();
        filter.Clear();
        TFilterData* f = filter.Add();
        if (AColumn == -1) {
            f->SetData(fcRow);
            f->SetCondition(ACondition);
        } else {
            String cond = u"*" + ACondition + u"*";
            if (cond.find(u' ') != String::npos) cond = u"\"" + cond + u"\"";
            f->SetData(fcNormal);
            f->SetCondition(cond);
        }
        f->SetCaseSensitive(false);
        f->SetColumn(AColumn);
        ApplyFilter();
    };
    bool grown = !FLastFilter.empty() && ACondition.size() == FLastFilter.size() + 1 &&
                 ACondition.compare(0, FLastFilter.size(), FLastFilter) == 0;
    bool shrunk = !ACondition.empty() && ACondition.size() + 1 == FLastFilter.size() &&
                  FLastFilter.compare(0, ACondition.size(), ACondition) == 0;
    if (grown) {
        narrow();
    } else if (shrunk) {
        RemoveLastFilter();
    } else {
        RemoveAllFilters();
        if (!ACondition.empty()) narrow();
    }
    // With the text gone every filter level is released; rows of contracted
    // nodes and rows hidden one by one stay where they are.
    FLastFilter = ACondition;
}
