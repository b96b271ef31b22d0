// Filtering the data rows in levels: each application hides the rows that
// fail the conditions among those still shown; levels come back last first.
// The header's filter buttons open lists of a column's values to choose from.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/FilterMatch.h"
#include "grid/foundation/GridColors.h"
#include "grid/foundation/MarkupText.h"

#include "framework/Messages.h"
#include "framework/Resources.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

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

namespace {

std::u16string_view TrimView(std::u16string_view S) {
    size_t b = 0, e = S.size();
    while (b < e && S[b] <= u' ') ++b;
    while (e > b && S[e - 1] <= u' ') --e;
    return S.substr(b, e - b);
}

}  // namespace

// Texts are read as views of the grid's store where nothing changes them,
// so that testing a row copies nothing.
bool TExGridTools::MatchFilter(int ARow) {
    bool result = true;
    TFilter& filter = FGrid.Filter();
    if (int(FFilterExpressions.size()) < filter.Count()) FFilterExpressions.resize(size_t(filter.Count()));
    for (int i = 0; i < filter.Count(); ++i) {
        TFilterData* f = filter.Items(i);
        int col = f->Column();
        String owned;
        std::u16string_view text;
        bool viewed = false;  // text views the store, else it is in owned
        switch (f->Data()) {
            case fcNormal:
                text = FGrid.GridCellView(col, ARow);
                viewed = true;
                break;
            case fcStripHTML: owned = StripHTMLTags(FGrid.GetCellEx(col, ARow)); break;
            case fcCalculated: owned = FGrid.GetCalcCell(col, ARow); break;
            case fcRow:
                for (int c = 0; c < FGrid.TotalColCount(); ++c) {
                    if (c > 0) owned += u"\r\n";
                    owned += FGrid.GetCellEx(c, ARow);
                }
                break;
            default:
                viewed = FGrid.DisplTextView(col, ARow, text);
                if (!viewed) owned = FGrid.GetCellEx(col, ARow);
                break;
        }
        if (!viewed) text = owned;
        text = TrimView(text);
        if (text.find(u"|\\") != std::u16string_view::npos) {
            String decoded = DecodeWideCellText(String(text));
            owned = std::move(decoded);
            text = owned;
        }
        bool match = false;
        try {
            if (f->Data() == fcRow) {
                match = !f->Condition().empty() &&
                        AsciiUpper(String(text)).find(AsciiUpper(f->Condition())) != String::npos;
            } else {
                const String condition = f->Condition();  // one copy for the row, not one per use
                const String& prefix = f->Prefix();
                if (!prefix.empty() && text.starts_with(prefix)) text.remove_prefix(prefix.size());
                const String& suffix = f->Suffix();
                if (!suffix.empty()) {
                    size_t at = text.find(suffix);
                    if (at != std::u16string_view::npos && at + suffix.size() == text.size()) text = text.substr(0, at);
                }
                if (condition.empty()) {
                    match = true;
                } else if (f->Method() == fmLiteral) {
                    match = text == condition;
                } else {
                    TFilterExpression& e = FFilterExpressions[size_t(i)];
                    if (e.Condition() != condition || e.CaseSensitive() != f->CaseSensitive())
                        e = TFilterExpression(condition, f->CaseSensitive());
                    match = e.Match(text);
                }
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

// ---------------------------------------------------------------------------
// The filter lists of the header buttons

void TDropList::Choose() {
    SetVisible(false);
    if (OnSelect) OnSelect(this, ItemIndex());
}

void TDropList::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        Key = 0;
        Choose();
        return;
    }
    TListBox::KeyDown(Key, Shift);
}

void TDropList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TListBox::MouseUp(Button, Shift, X, Y);
    Choose();
}

namespace {

// A press on another window closes the list unless the mouse is over it.
bool MouseOutside(TControl& C) {
    TPoint p = C.ScreenToClient(GetCursorPos());
    return p.X < 0 || p.Y < 0 || p.X >= C.Width() || p.Y >= C.Height();
}

}  // namespace

void TDropList::WMCancelMode(TMessage& Message) {
    TListBox::WMCancelMode(Message);
    if (MouseOutside(*this)) {
        SetVisible(false);
        if (OnCancel) OnCancel(this);
    }
}

TDropCheckList::TDropCheckList(TComponent* AOwner) : TCheckListBox(AOwner) {
    OnClickCheck = [this](TObject*) {
        if (OnSelect) OnSelect(this, -1);
    };
}

void TDropCheckList::WMCancelMode(TMessage& Message) {
    TCheckListBox::WMCancelMode(Message);
    if (MouseOutside(*this)) {
        SetVisible(false);
        if (OnCancel) OnCancel(this);
    }
}

void TExGridTools::CreateFilterLists() {
    FDropList = new TDropList(&FGrid);
    FDropCheckList = new TDropCheckList(&FGrid);
    for (TListBox* l : {static_cast<TListBox*>(FDropList), static_cast<TListBox*>(FDropCheckList)}) {
        l->SetParent(&FGrid);
        l->SetVisible(false);
        l->SetBounds(0, 0, 0, 0);
    }
    // Through the grid's slots, which a column grid answers from its columns.
    FDropList->OnSelect = [this](TObject*, int Index) { FGrid.DoFilterSelect(Index); };
    FDropCheckList->OnSelect = [this](TObject*, int) { FGrid.DoFilterCheck(); };
    auto cancel = [this](TObject*) { FGrid.FFilterCol = -1; };
    FDropList->OnCancel = cancel;
    FDropCheckList->OnCancel = cancel;
}

TListBox* TExGridTools::FilterDropList(bool Check) {
    return Check ? static_cast<TListBox*>(FDropCheckList) : static_cast<TListBox*>(FDropList);
}

namespace {

String FriendlyPart(const String& Entry) {
    size_t eq = Entry.find(u'=');
    return eq == String::npos ? Entry : Entry.substr(0, eq);
}

String ConditionPart(const String& Entry) {
    size_t eq = Entry.find(u'=');
    return eq == String::npos ? Entry : Entry.substr(eq + 1);
}

}  // namespace

bool TExGridTools::DoGetColumnFilter(int Col) {
    TStringList& list = FGrid.FilterList();
    list.Clear();
    bool normal = Col >= FGrid.FixedCols() || FilterDropDownColumns == fdAll;
    if (FilterDropDownAuto && normal) {
        list.SetSorted(true);
        list.SetDuplicates(dupIgnore);
        // A text with a blank filters by itself in double quotes.
        auto add = [&](const String& Raw) {
            String t = Trim(Raw);
            if (t.find(u' ') != String::npos) list.Add(t + u"=\"" + t + u"\"");
            else list.Add(t);
        };
        for (int r = FGrid.FixedRows(); r <= FGrid.RowCount() - FGrid.FixedFooters() - 1; ++r)
            add(FGrid.GetCellEx(Col, r));
        if (!FilterIncremental)
            for (const TGridItem& i : FGrid.FGridItems)
                if (Col < i.Items().Count()) add(i.Text(Col));
        list.SetSorted(false);
        if (!FilterDropDownClear.empty()) list.Insert(0, FilterDropDownClear);
    }
    list.SetSorted(false);
    if (FGrid.OnGetColumnFilter) FGrid.OnGetColumnFilter(&FGrid, Col, list);
    return list.Count() > 0;
}

void TExGridTools::DoFilterSelect(int ItemIndex) {
    if (FGrid.CanFocus()) FGrid.SetFocus();
    int col = FGrid.FFilterCol;
    FGrid.FFilterCol = -1;
    if (col < 0 || col >= FGrid.TotalColCount()) return;
    FGrid.DoGetColumnFilter(col);
    TStringList& list = FGrid.FilterList();
    if (ItemIndex < 0 || ItemIndex >= list.Count()) return;
    String entry = list[ItemIndex];
    String friendly = FriendlyPart(entry), condition = ConditionPart(entry);
    if (AutoFilterUpdate) FGrid.SetFilterActive(false);
    if (condition == FilterDropDownClear) condition.clear();
    if (OnFilterSelect) OnFilterSelect(&FGrid, col, ItemIndex, friendly, condition);
    if (!condition.empty()) FGrid.Filter().GetColFilter(col)->SetCondition(condition);
    else FGrid.Filter().RemoveColumnFilter(col);
    if (AutoFilterUpdate) {
        FGrid.SetFixedRowAlways(true);
        FGrid.SetFilterActive(true);
        if (FGrid.RowCount() > FGrid.FixedRows()) FGrid.SetRow(FGrid.FixedRows());
        FGrid.DoFilterDone();
    }
}

void TExGridTools::DoFilterCheck() {
    int col = FGrid.FFilterCol;
    if (col < 0 || col >= FGrid.TotalColCount()) return;
    FGrid.DoGetColumnFilter(col);
    TStringList& list = FGrid.FilterList();
    if (AutoFilterUpdate) FGrid.SetFilterActive(false);
    TFilter& filter = FGrid.Filter();
    filter.Clear();
    for (int i = 0; i < FDropCheckList->Items().Count() && i < list.Count(); ++i) {
        if (!FDropCheckList->Checked(i)) continue;
        String entry = list[i];
        String friendly = FriendlyPart(entry), condition = ConditionPart(entry);
        if (condition == FilterDropDownClear) condition.clear();
        if (OnFilterCheck) OnFilterCheck(&FGrid, col, i, friendly, condition, FDropCheckList);
        TFilterData* item = filter.Add();
        item->SetCondition(condition);
        item->SetColumn(col);
        item->SetOperation(filter.Count() == 1 ? foNONE : foOR);
    }
    FGrid.SetFilterActive(true);
    FDropCheckList->Invalidate();
}

// ---------------------------------------------------------------------------
// The filter button: a funnel drawn anew, or the drop-down's own pictures

namespace {

void PaintFunnel(TBitmap& B) {
    TCanvas& c = GlyphCanvas(B, 16, 16);
    c.Pen().SetColor(TColor(0x404040));
    c.Brush().SetColor(TColor(0x808080));
    c.Polygon({TPoint{2, 3}, TPoint{13, 3}, TPoint{9, 8}, TPoint{9, 13}, TPoint{6, 12}, TPoint{6, 8}});
}

const TResourceRegistrar FilterGlyph([] { RegisterBitmapResource(u"EXGFILT", PaintFunnel); });

}  // namespace

void TExGridTools::PaintFilterButton(TCanvas& C, int ACol, int ARow, TRect R) {
    if (ARow != FGrid.FilterDropDownRow()) return;
    // The grid's own answer: a column grid offers its columns' filter lists.
    if (!FGrid.DoGetColumnFilter(ACol)) return;
    TFilterDropDown& fd = FGrid.FilterDropDown();
    TBitmap& own = FGrid.Filter().HasFilter(ACol) ? fd.GlyphActive() : fd.Glyph();
    const TRect button = Rect(R.Right - 16, R.Top, R.Right, R.Top + 16);
    if (own.Empty()) DrawResourceBitmapTransparent(C, FGrid.FixedColor(), button, u"EXGFILT");
    else DrawBitmapTransparent(C, own, FGrid.FixedColor(), button);
}
