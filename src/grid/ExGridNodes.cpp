// Row nodes: a node row heads a span of rows that contracting hides; the
// marks live in column 0's cell data, so they travel with their rows.
// Grouping builds its header and summary rows on them. The tools object is
// made and torn down here too.
#include "grid/ExGrid.h"

#include "grid/foundation/GridColors.h"
#include "grid/foundation/GridOptions.h"

#include "framework/BalloonTip.h"
#include "framework/Resources.h"

#include <algorithm>

class TNodeGraphic : public TCellGraphic {
public:
    int Span = 0;
    int SubNodes = 0;
    int DisplRow = 0;
    int Value = -1;
};

// Rows hidden by contracting carry this level: no filter level releases them.
static constexpr int NodeHideLevel = -1;

TExGridTools::TExGridTools(TExStringGrid& AGrid) : TGridDataTools(AGrid) {
    CreateSearchPanel();
    CreateFilterLists();
    FFooterPanel = new TFooterPanel(&FGrid);
}

// The panels, lists and windows call back into the tools: they go first.
TExGridTools::~TExGridTools() {
    delete FSearchPanel;
    delete FFooterPanel;
    delete FDropList;
    delete FDropCheckList;
    delete FFocusWindow;
    delete FBalloonTip;
    delete FLookMenu;
}

TNodeGraphic* TExGridTools::NodeAt(int ARow) {
    if (ARow < 0 || ARow >= FGrid.RowCount() || !FGrid.CellPropsAssigned(0, ARow)) return nullptr;
    auto* g = dynamic_cast<TNodeGraphic*>(FGrid.GetCellProperties(0, ARow)->GraphicObject());
    return g && g->CellType == ctNode ? g : nullptr;
}

TNodeGraphic* TExGridTools::NodeAtReal(int ARow) {
    if (!FGrid.IsHiddenRow(ARow)) return NodeAt(FGrid.DisplRowIndex(ARow));
    TCellProperties* p = LevelProps(ARow);
    auto* g = p ? dynamic_cast<TNodeGraphic*>(p->GraphicObject()) : nullptr;
    return g && g->CellType == ctNode ? g : nullptr;
}

TCellProperties* TExGridTools::LevelProps(int ARow) {
    if (!FGrid.IsHiddenRow(ARow)) {
        int d = FGrid.DisplRowIndex(ARow);
        return d >= 0 && d < FGrid.RowCount() ? FGrid.GetCellProperties(0, d) : nullptr;
    }
    for (const TGridItem& i : FGrid.FGridItems)
        if (i.Idx == ARow) return dynamic_cast<TCellProperties*>(i.Object(0));
    return nullptr;
}

void TExGridTools::RaiseLevels(int ARow, int Span, int Delta) {
    for (int r = ARow; r < ARow + Span && r < FGrid.TotalRowCount(); ++r)
        if (TCellProperties* p = LevelProps(r)) p->SetNodeLevel(std::max(0, p->NodeLevel() + Delta));
}

int TExGridTools::SpanEnd(int ARow, int Span) {
    if (Span > 0) return ARow + Span;
    int d = FGrid.DisplRowIndex(ARow) + 1;
    while (d < FGrid.RowCount() && !NodeAt(d)) ++d;
    return d < FGrid.RowCount() ? FGrid.RealRowIndex(d) : FGrid.TotalRowCount();
}

void TExGridTools::NodesChanged() { FGrid.FHasNodeRows = FNumNodes > 0; }

void TExGridTools::AddNode(int ARow, int Span) {
    if (ARow < 0 || ARow >= FGrid.TotalRowCount() || FGrid.IsHiddenRow(ARow)) return;
    int d = FGrid.DisplRowIndex(ARow);
    TCellProperties* p = FGrid.GetCellProperties(0, d);
    auto* g = new TNodeGraphic;
    g->CellType = ctNode;
    g->Span = Span;
    g->DisplRow = d;
    if (auto* old = dynamic_cast<TCellGraphicBase*>(p->GraphicObject())) delete old;
    p->SetGraphicObject(g);
    RaiseLevels(ARow, std::max(Span, 1), 1);
    if (++FNumNodes == 1) FGrid.RepaintCol(0);
    NodesChanged();
    if (FGrid.Col() == 0 && FGrid.ColCount() > 1) FGrid.SetCol(1);
}

void TExGridTools::RemoveNode(int ARow) {
    TNodeGraphic* g = NodeAtReal(ARow);
    if (!g) return;
    ExpandNode(ARow);
    g = NodeAtReal(ARow);
    RaiseLevels(ARow, std::max(g->Span, 1), -1);
    TCellProperties* p = LevelProps(ARow);
    p->SetGraphicObject(nullptr);
    delete g;
    FNumNodes = std::max(0, FNumNodes - 1);
    NodesChanged();
    FGrid.InvalidateGrid();
}

void TExGridTools::RemoveAllNodes() {
    for (int d = 0; d < FGrid.RowCount(); ++d)
        if (NodeAt(d)) RemoveNode(FGrid.RealRowIndex(d));
    FGrid.InvalidateGrid();
}

bool TExGridTools::IsNode(int ARow) { return NodeAt(ARow) != nullptr; }

bool TExGridTools::IsSummary(int ARow) {
    if (ARow < 0 || ARow >= FGrid.RowCount() || !FGrid.CellPropsAssigned(0, ARow)) return false;
    auto* g = dynamic_cast<TCellGraphic*>(FGrid.GetCellProperties(0, ARow)->GraphicObject());
    return g && g->CellType == ctSummary;
}

bool TExGridTools::GetNodeState(int ARow) {
    TNodeGraphic* g = NodeAt(ARow);
    return g && g->CellBoolean;
}

void TExGridTools::SetNodeState(int ARow, bool Value) {
    if (!NodeAt(ARow) || GetNodeState(ARow) == Value) return;
    if (Value) ContractNode(FGrid.RealRowIndex(ARow));
    else ExpandNode(FGrid.RealRowIndex(ARow));
}

int TExGridTools::GetNodeLevel(int ARow) {
    return NodeAt(ARow) ? FGrid.GetCellProperties(0, ARow)->NodeLevel() : -1;
}

int TExGridTools::GetNodeSpan(int ARow) {
    TNodeGraphic* g = NodeAt(ARow);
    return g ? g->Span : -1;
}

void TExGridTools::SetNodeSpan(int ARow, int Span) {
    if (TNodeGraphic* g = NodeAt(ARow)) g->Span = Span;
}

void TExGridTools::UpdateNodeSpan(int ARow, int Delta) {
    if (TNodeGraphic* g = NodeAt(ARow)) g->Span += Delta;
}

int TExGridTools::GetSubNodeCount(int ARow) {
    TNodeGraphic* g = NodeAt(ARow);
    return g ? g->SubNodes : 0;
}

void TExGridTools::UpdateSubNodeCount(int ARow, int Delta) {
    if (TNodeGraphic* g = NodeAt(ARow)) g->SubNodes += Delta;
}

void TExGridTools::ExpandNode(int ARow) {
    if (FCellNode.ExpandOne()) {
        // The node's own ancestors stay open, or it would vanish with them.
        std::vector<int> keep;
        for (int p = FGrid.IsHiddenRow(ARow) ? -1 : GetParentRow(FGrid.DisplRowIndex(ARow)); p >= 0;) {
            keep.push_back(FGrid.RealRowIndex(p));
            const int up = GetParentRow(p);
            if (up < 0 || up == p) break;
            p = up;
        }
        for (int d = FGrid.FixedRows(); d < FGrid.RowCount(); ++d) {
            const int real = FGrid.RealRowIndex(d);
            if (real != ARow && IsNode(d) && !GetNodeState(d) && std::ranges::find(keep, real) == keep.end())
                ContractNode(real);
        }
    }
    TNodeGraphic* g = NodeAtReal(ARow);
    if (!g || !g->CellBoolean || FGrid.IsHiddenRow(ARow)) return;
    g->CellBoolean = false;
    int d = FGrid.DisplRowIndex(ARow);
    int end = d + 1 < FGrid.RowCount() ? FGrid.RealRowIndex(d + 1) : FGrid.TotalRowCount();
    if (g->Span <= 0) end = SpanEnd(ARow, g->Span);
    bool disjunct = FGrid.MouseActions().DisjunctRowSelect();
    FGrid.MouseActions().SetDisjunctRowSelect(false);
    FGrid.BeginUpdate();
    try {
        if (end - 1 >= ARow + 1) FGrid.UnHideRows(ARow + 1, end - 1);
    } catch (...) {
        FGrid.EndUpdate();
        FGrid.MouseActions().SetDisjunctRowSelect(disjunct);
        throw;
    }
    FGrid.EndUpdate();
    FGrid.MouseActions().SetDisjunctRowSelect(disjunct);
    FGrid.CalcFooter(-1);
}

void TExGridTools::ContractNode(int ARow) {
    FGrid.HideInplaceEdit();
    TNodeGraphic* g = NodeAtReal(ARow);
    if (!g || g->CellBoolean || FGrid.IsHiddenRow(ARow)) return;
    g->CellBoolean = true;
    int end = SpanEnd(ARow, g->Span);
    // Nested nodes found contracted come back expanded with this one: their
    // rows are hidden already and return when this node expands.
    for (int r = ARow + 1; r < end; ++r)
        if (TNodeGraphic* inner = NodeAtReal(r); inner && inner->CellBoolean && !FGrid.IsHiddenRow(r))
            inner->CellBoolean = false;
    if (end - 1 >= ARow + 1) {
        std::vector<bool> was(size_t(end - ARow), false);
        for (const TGridItem& i : FGrid.FGridItems)
            if (i.Idx > ARow && i.Idx < end) was[size_t(i.Idx - ARow)] = true;
        FGrid.BeginUpdate();
        FGrid.HideRows(ARow + 1, end - 1);
        for (TGridItem& i : FGrid.FGridItems)
            if (i.Idx > ARow && i.Idx < end && !was[size_t(i.Idx - ARow)]) i.Level = NodeHideLevel;
        FGrid.EndUpdate();
    }
    FGrid.CalcFooter(-1);
}

void TExGridTools::ExpandAll() {
    if (FNumNodes <= 0) return;
    FGrid.BeginUpdate();
    const bool one = FCellNode.ExpandOne();
    FCellNode.SetExpandOne(false);
    for (int d = FGrid.FixedRows(); d < FGrid.RowCount(); ++d)
        if (TNodeGraphic* g = NodeAt(d); g && g->CellBoolean) ExpandNode(FGrid.RealRowIndex(d));
    FCellNode.SetExpandOne(one);
    FGrid.EndUpdate();
    FGrid.CalcFooter(-1);
}

void TExGridTools::ContractAll() {
    FGrid.BeginUpdate();
    ExpandAll();
    std::vector<int> rows;
    for (int d = FGrid.FixedRows(); d < FGrid.RowCount();) {
        TNodeGraphic* g = NodeAt(d);
        if (!g) {
            ++d;
            continue;
        }
        g->CellBoolean = true;
        int end = g->Span > 0 ? d + g->Span : FGrid.DisplRowIndex(SpanEnd(FGrid.RealRowIndex(d), g->Span));
        for (int r = d + 1; r < end && r < FGrid.RowCount(); ++r) rows.push_back(r);
        d = std::max(end, d + 1);
    }
    FGrid.HideRowList(rows);
    FGrid.EndUpdate();
    FGrid.CalcFooter(-1);
}

int TExGridTools::GetParentRow(int ARow) {
    if (FNumNodes <= 0) return -1;
    int level = 65535, result = -1;
    if (NodeAt(ARow)) {
        level = GetNodeLevel(ARow);
        result = ARow;
    }
    // A node's rows on screen are its span less the rows its contracted
    // nodes (itself included) hide between it and ARow.
    int hidden = 0;
    for (int r = ARow - 1; r >= FGrid.FixedRows(); --r) {
        TNodeGraphic* g = NodeAt(r);
        if (!g) continue;
        if (g->CellBoolean) hidden += g->Span - 1;
        if (GetNodeLevel(r) < level && r + g->Span - hidden > ARow) return r;
    }
    return result;
}

int TExGridTools::GetNodeSpanType(int ARow) {
    if (NodeAt(ARow)) return 0;
    int next = ARow + 1;
    int last = FGrid.RowCount() - 1 - FGrid.FixedFooters();
    if (next < last && FGrid.CellPropsAssigned(0, next) && FGrid.CellPropsAssigned(0, ARow) &&
        FGrid.GetCellProperties(0, next)->NodeLevel() >= FGrid.GetCellProperties(0, ARow)->NodeLevel())
        return 2;
    return 1;
}

void TExGridTools::InsertChildRow(int ARow, int InsertAt) {
    if (FGrid.IsHiddenRow(ARow)) return;
    int r = FGrid.DisplRowIndex(ARow);
    int p = GetParentRow(r);
    int level = 1;
    int parentReal = -1;
    if (p >= 0) {
        parentReal = FGrid.RealRowIndex(p);
        UpdateNodeSpan(p, 1);
        UpdateSubNodeCount(p, 1);
        ExpandNode(parentReal);
        level = FGrid.GetCellProperties(0, p)->NodeLevel();
        // Every enclosing node grows with it.
        int q = p;
        int cur = level;
        while (cur > 1) {
            int up = GetParentRow(q);
            if (up < 0 || up == q) break;
            int upLevel = FGrid.GetCellProperties(0, up)->NodeLevel();
            if (upLevel < cur) {
                UpdateNodeSpan(up, 1);
                UpdateSubNodeCount(up, 1);
                ExpandNode(FGrid.RealRowIndex(up));
                cur = upLevel;
            }
            q = up;
        }
        r = FGrid.DisplRowIndex(ARow);
        p = FGrid.DisplRowIndex(parentReal);
    }
    int at;
    if (NodeAt(r) && InsertAt == 0) {
        at = r + 1;
        FGrid.DoInsertRows(at, 1);
        for (int c = 0; c < FGrid.TotalColCount(); ++c) {
            FGrid.SetGridCell(c, at, FGrid.GetGridCell(c, r));
            FGrid.SetGridCell(c, r, u"");
            if (c >= 1) {
                FGrid.SetGridObject(c, at, FGrid.GetGridObject(c, r));
                FGrid.SetGridObject(c, r, nullptr);
            }
        }
    } else {
        at = r + InsertAt;
        FGrid.DoInsertRows(at, 1);
    }
    if (p >= 0) FGrid.GetCellProperties(0, at)->SetNodeLevel(level);
    if (parentReal >= 0)
        for (TGridItem& i : FGrid.FGridItems)
            if (i.Idx > parentReal) ++i.Idx;
    FGrid.InvalidateGrid();
}

void TExGridTools::RemoveChildRow(int ARow) {
    if (FGrid.IsHiddenRow(ARow)) return;
    int r = FGrid.DisplRowIndex(ARow);
    int p = GetParentRow(r);
    if (p >= 0 && p != r) {
        int l = GetNodeLevel(p);
        if (GetNodeSpan(p) > 1) {
            UpdateNodeSpan(p, -1);
            UpdateSubNodeCount(p, -1);
        }
        for (;;) {
            ExpandNode(FGrid.RealRowIndex(p));
            if (GetNodeLevel(p) <= 1) break;
            int up = GetParentRow(p);
            if (up < 0 || up == p || GetNodeLevel(up) >= l) break;
            p = up;
            if (GetNodeSpan(p) > 1) {
                UpdateNodeSpan(p, -1);
                UpdateSubNodeCount(p, -1);
            }
        }
        r = FGrid.DisplRowIndex(ARow);
    }
    FGrid.RemoveRowsInternal(r, 1);
    FGrid.FMaxRowCount = std::max(0, FGrid.FMaxRowCount - 1);
}

void TExGridTools::SetSummaryRow(int ARow) {
    if (ARow < 0 || ARow >= FGrid.TotalRowCount() || FGrid.IsHiddenRow(ARow)) return;
    TCellProperties* p = FGrid.GetCellProperties(0, FGrid.DisplRowIndex(ARow));
    auto* g = dynamic_cast<TCellGraphic*>(p->GraphicObject());
    if (!g) {
        g = new TCellGraphic;
        p->SetGraphicObject(g);
    }
    g->CellType = ctSummary;
}

// ---------------------------------------------------------------------------
// Grouping: a header row (a node) before each run of equal values of one
// column, that column taken out, and optionally a summary row per group.

namespace {

void HeaderLook(TExStringGrid& G, int ARow) {
    TGrouping& gr = G.Grouping();
    if (gr.HeaderColor() != clNone) G.SetRowColor(ARow, gr.HeaderColor());
    if (gr.HeaderColorTo() != clNone) G.SetRowColorTo(ARow, gr.HeaderColorTo());
    if (gr.HeaderTextColor() != clNone) G.SetRowFontColor(ARow, gr.HeaderTextColor());
}

void SummaryLook(TExStringGrid& G, int ARow) {
    TGrouping& gr = G.Grouping();
    if (gr.SummaryColor() != clNone) G.SetRowColor(ARow, gr.SummaryColor());
    if (gr.SummaryColorTo() != clNone) G.SetRowColorTo(ARow, gr.SummaryColorTo());
    if (gr.SummaryTextColor() != clNone) G.SetRowFontColor(ARow, gr.SummaryTextColor());
}

void PlainLook(TExStringGrid& G, int ARow) {
    G.SetRowColor(ARow, clNone);
    G.SetRowColorTo(ARow, clNone);
    G.SetRowFontColor(ARow, clNone);
}

// Cells from column 1 to the last as one cell in the given colours.
void MergeRow(TExStringGrid& G, int ARow, TColor Color, TColor ColorTo, TColor TextColor) {
    if (G.ColCount() <= 2) return;
    G.MergeCells(1, ARow, G.ColCount() - 1, 1);
    TCellProperties* p = G.GetCellProperties(1, ARow);
    if (Color != clNone) p->SetBrushColor(Color);
    if (ColorTo != clNone) p->SetBrushColorTo(ColorTo);
    if (TextColor != clNone) p->SetFontColor(TextColor);
}

}  // namespace

// Column 0 holds the node marks: grouping by it could not be undone.
void TExGridTools::Group(int Colindex) {
    if (Colindex < FGrid.FixedCols() || Colindex <= 0 || Colindex >= FGrid.ColCount()) return;
    if (GroupColumn != -1) UnGroup();
    if (FGrid.RowCount() <= FGrid.FixedRows()) return;
    TGrouping& gr = FGrid.Grouping();
    bool summary = gr.Summary();
    FGrid.BeginUpdate();
    FIsGrouping = true;
    try {
        int c = Colindex;
        GroupColumn = c;
        FGroupWidth = FGrid.ColWidths(c);
        FGroupCaption = FGrid.FixedRows() > 0 ? FGrid.GetGridCell(c, 0) : String();
        FGroupFooter = FGrid.FixedFooters() > 0 ? FGrid.GetGridCell(c, FGrid.RowCount() - 1) : String();
        if (FGrid.SortSettings().AutoSortForGrouping()) {
            FGrid.SortSettings().SetColumn(c);
            QSort();
        }
        int valueCol = c == 1 ? 2 : 1;
        int header = -1;
        // Closes the group of header H whose data end at Last; the summary of
        // the group before goes directly above H.
        auto close = [&](int& H, int& Last) {
            if (summary && H > FGrid.FixedRows()) {
                FGrid.InsertRows(H, 1);
                SetSummaryRow(FGrid.RealRowIndex(H));
                if (!gr.MergeSummary()) SummaryLook(FGrid, H);
                ++H;
                ++Last;
            }
            AddNode(FGrid.RealRowIndex(H), Last - H + 1);
        };
        String prev;
        int r = FGrid.FixedRows();
        while (r <= FGrid.RowCount() - FGrid.FixedFooters() - 1) {
            String v = FGrid.GetGridCell(c, r);
            if (header >= 0 && v == prev) {
                ++r;
                continue;
            }
            if (header >= 0) {
                int last = r - 1;
                int before = header;
                close(header, last);
                r += header - before;
            }
            FGrid.InsertRows(r, 1);
            FGrid.SetCellEx(valueCol, r, v);
            if (!gr.MergeHeader()) HeaderLook(FGrid, r);
            header = r;
            prev = v;
            r += 2;
        }
        if (header >= 0) {
            int last = FGrid.RowCount() - FGrid.FixedFooters() - 1;
            close(header, last);
            if (!gr.MergeHeader()) HeaderLook(FGrid, header);
            if (summary) {
                int at = last + 1;
                FGrid.InsertRows(at, 1);
                SetSummaryRow(FGrid.RealRowIndex(at));
                if (!gr.MergeSummary()) SummaryLook(FGrid, at);
            }
        }
        FGrid.RemoveCols(c, 1);
        if (gr.MergeHeader() || (gr.MergeSummary() && summary))
            for (int row = FGrid.FixedRows(); row < FGrid.RowCount(); ++row) {
                if (gr.MergeHeader() && IsNode(row))
                    MergeRow(FGrid, row, gr.HeaderColor(), gr.HeaderColorTo(), gr.HeaderTextColor());
                else if (gr.MergeSummary() && summary && IsSummary(row))
                    MergeRow(FGrid, row, gr.SummaryColor(), gr.SummaryColorTo(), gr.SummaryTextColor());
            }
        if (FCellNode.ExpandOne())
            for (int row = FGrid.FixedRows(); row < FGrid.RowCount(); ++row)
                if (IsNode(row)) {
                    ExpandNode(FGrid.RealRowIndex(row));
                    break;
                }
        if (FGrid.Col() >= FGrid.ColCount()) FGrid.SetCol(FGrid.FixedCols());
        if (FGrid.RowCount() > FGrid.FixedRows()) FGrid.SetRow(FGrid.FixedRows());
    } catch (...) {
        FIsGrouping = false;
        FGrid.EndUpdate();
        throw;
    }
    FIsGrouping = false;
    FGrid.EndUpdate();
}

void TExGridTools::UnGroup() {
    if (GroupColumn <= 0) return;
    TGrouping& gr = FGrid.Grouping();
    FGrid.BeginUpdate();
    const bool one = FCellNode.ExpandOne();
    FCellNode.SetExpandOne(false);
    ExpandAll();
    int c = GroupColumn;
    FGrid.InsertCols(c, 1);
    FGrid.SetColWidths(c, FGroupWidth);
    if (FGrid.FixedRows() > 0) FGrid.SetCellEx(c, 0, FGroupCaption);
    if (FGrid.FixedFooters() > 0) FGrid.SetCellEx(c, FGrid.RowCount() - 1, FGroupFooter);
    int valueCol = c == 1 ? 2 : 1;
    FIsGrouping = true;
    String value;
    int r = FGrid.FixedRows();
    while (r <= FGrid.RowCount() - FGrid.FixedFooters() - 1) {
        if (IsSummary(r)) {
            // A summary without its header (the last one): it goes too.
            if (FGrid.IsMergedCell(1, r)) FGrid.SplitCells(1, r);
            PlainLook(FGrid, r);
            FGrid.RemoveRows(r, 1);
            continue;
        }
        if (!IsNode(r)) {
            FGrid.SetCellEx(c, r, value);
            ++r;
            continue;
        }
        int span = GetNodeSpan(r);
        if (gr.Summary() && IsSummary(r + span)) {
            if (FGrid.IsMergedCell(1, r + span)) FGrid.SplitCells(1, r + span);
            PlainLook(FGrid, r + span);
            FGrid.RemoveRows(r + span, 1);
        }
        value = FGrid.GetGridCell(valueCol, r);
        if (FGrid.IsMergedCell(1, r)) FGrid.SplitCells(1, r);
        RemoveNode(FGrid.RealRowIndex(r));
        PlainLook(FGrid, r);
        FGrid.RemoveRows(r, 1);
    }
    FIsGrouping = false;
    GroupColumn = -1;
    FCellNode.SetExpandOne(one);
    FGrid.EndUpdate();
    FGrid.InvalidateGrid();
}

void TExGridTools::SetGroupColumn(int Value) {
    if (Value == -1) UnGroup();
    else if (Value > 0) Group(Value);
}

void TExGridTools::GroupCalc(int Colindex, int Method) {
    if (Method < 1 || Method > 8) return;
    bool summary = FGrid.Grouping().Summary();
    for (int r = FGrid.FixedRows(); r < FGrid.RowCount(); ++r) {
        if (!IsNode(r) || GetNodeState(r)) continue;
        int span = GetNodeSpan(r);
        int from = r + 1, to = r + span - 1;
        int target = summary ? r + span : r;
        if (target >= FGrid.RowCount()) continue;
        double v = 0;
        switch (Method) {
            case 1: v = ColumnSum(Colindex, from, to); break;
            case 2: v = ColumnAvg(Colindex, from, to); break;
            case 3: v = ColumnMin(Colindex, from, to); break;
            case 4: v = ColumnMax(Colindex, from, to); break;
            case 5: FGrid.SetInts(Colindex, target, span - 1); continue;
            case 6:
                if (OnGroupCalc) OnGroupCalc(&FGrid, Colindex, from, to, v);
                break;
            case 7: v = ColumnDistinct(Colindex, from, to); break;
            case 8: v = ColumnStdDev(Colindex, from, to); break;
        }
        FGrid.SetFloats(Colindex, target, v);
    }
}

namespace {

void FooterCalc(TExStringGrid& G, int ACol, TColumnCalcType Type) {
    if (G.FloatingFooter().Visible()) G.FloatingFooter().SetColumnCalc(ACol, Type);
}

}  // namespace

void TExGridTools::GroupSum(int Colindex) {
    GroupCalc(Colindex, 1);
    FooterCalc(FGrid, Colindex, acSUM);
}

void TExGridTools::GroupAvg(int Colindex) {
    GroupCalc(Colindex, 2);
    FooterCalc(FGrid, Colindex, acAVG);
}

void TExGridTools::GroupMin(int Colindex) {
    GroupCalc(Colindex, 3);
    FooterCalc(FGrid, Colindex, acMIN);
}

void TExGridTools::GroupMax(int Colindex) {
    GroupCalc(Colindex, 4);
    FooterCalc(FGrid, Colindex, acMAX);
}

void TExGridTools::GroupCount(int Colindex) {
    GroupCalc(Colindex, 5);
    FooterCalc(FGrid, Colindex, acCOUNT);
}

// ---------------------------------------------------------------------------
// Second-level groups: a header row (a child row of the enclosing group,
// made a node whose value names the column) before each run of equal texts.

void TExGridTools::SubGroup(int Colindex) {
    int c = Colindex;
    if (c < FGrid.FixedCols() || c + 1 >= FGrid.ColCount()) return;
    TGrouping& gr = FGrid.Grouping();
    FGrid.BeginUpdate();
    GroupColumn = c;
    FGroupWidth = FGrid.ColWidths(c);
    FGroupCaption = FGrid.FixedRows() > 0 ? FGrid.GetCellEx(c, 0) : String();
    FGroupFooter = FGrid.FixedFooters() > 0 ? FGrid.GetCellEx(c, FGrid.RowCount() - 1) : String();
    auto headerLook = [&](int r) {
        if (gr.MergeHeader()) MergeRow(FGrid, r, gr.HeaderColor(), gr.HeaderColorTo(), gr.HeaderTextColor());
        else HeaderLook(FGrid, r);
    };
    // The sub-group header at Header gets its node over the rows before End.
    auto close = [&](int Header, int End) {
        if (Header < 0 || IsNode(Header) || IsSummary(Header)) return;
        AddNode(FGrid.RealRowIndex(Header), End - Header);
        NodeAt(Header)->Value = c;
    };
    int header = -1;
    bool havePrev = false;
    String prev;
    int r = FGrid.FixedRows() + 1;
    while (r <= FGrid.RowCount() - FGrid.FixedFooters() - 1) {
        bool special = IsNode(r) || IsSummary(r);
        String v = FGrid.GetCellEx(c, r);
        if (special || !havePrev || v != prev) {
            close(header, r);
            header = -1;
            if (!special) {
                InsertChildRow(FGrid.RealRowIndex(r), 0);
                FGrid.SetCellEx(c + 1, r, v);
                headerLook(r);
                header = r;
                ++r;  // the data row moved below its header
            }
        }
        if (special) {
            havePrev = false;
        } else {
            prev = v;
            havePrev = true;
            FGrid.SetCellEx(c, r, u"");
        }
        ++r;
    }
    close(header, FGrid.RowCount() - FGrid.FixedFooters());
    if (gr.Summary()) {
        int at = FGrid.RowCount() - FGrid.FixedFooters();
        FGrid.InsertRows(at, 1);
        SetSummaryRow(FGrid.RealRowIndex(at));
        if (gr.MergeSummary()) MergeRow(FGrid, at, gr.SummaryColor(), gr.SummaryColorTo(), gr.SummaryTextColor());
        else SummaryLook(FGrid, at);
    }
    if (FGrid.RowCount() > FGrid.FixedRows()) FGrid.SetRow(FGrid.FixedRows());
    FGrid.EndUpdate();
}

void TExGridTools::SubUnGroup(int Colindex) {
    int c = Colindex;
    FGrid.BeginUpdate();
    ExpandAll();
    String text;
    int r = FGrid.FixedRows();
    while (r <= FGrid.RowCount() - FGrid.FixedFooters() - 1) {
        TNodeGraphic* g = NodeAt(r);
        if (g && g->Value == c) {
            text = FGrid.GetCellEx(c + 1, r);
            if (FGrid.IsMergedCell(1, r)) FGrid.SplitCells(1, r);
            RemoveNode(FGrid.RealRowIndex(r));
            PlainLook(FGrid, r);
            RemoveChildRow(FGrid.RealRowIndex(r));
            continue;
        }
        if (!g) FGrid.SetCellEx(c, r, text);
        ++r;
    }
    FGrid.EndUpdate();
}

// ---------------------------------------------------------------------------
// Node look, node presses and the group rules of display and input

void TGridLookObject::Changed() {
    if (FOwner) FOwner->InvalidateGrid();
}

void TCellNode::Assign(const TPersistent* Source) {
    const auto* n = dynamic_cast<const TCellNode*>(Source);
    if (!n) return;
    FColor = n->FColor;
    FNodeColor = n->FNodeColor;
    FNodeType = n->FNodeType;
    FNodeIndent = n->FNodeIndent;
    FShowTree = n->FShowTree;
    FShowTreeFull = n->FShowTreeFull;
    FTreeColor = n->FTreeColor;
    FExpandOne = n->FExpandOne;
    FExpandGlyph.Assign(&n->FExpandGlyph);
    FContractGlyph.Assign(&n->FContractGlyph);
    Changed();
}

bool TExGridTools::InNodeClickArea(int ARow, int X) {
    if (!FGrid.MouseActions().PreciseNodeClick()) return true;
    const int level = GetNodeLevel(ARow), indent = FCellNode.NodeIndent();
    const bool glyph = !FCellNode.ExpandGlyph().Empty();
    int reach = 4, offset = 4;
    switch (FCellNode.NodeType()) {
    case cnFlat:
    case cnXP: break;
    case cn3D: reach = 6, offset = 0; break;
    case cnGlyph: reach = glyph ? FCellNode.ExpandGlyph().Width() / 2 : 0, offset = glyph ? 2 : 0; break;
    case cnLeaf: reach = 8, offset = 2; break;
    }
    return offset + (level - 1) * indent < X && X < reach + level * indent;
}

bool TExGridTools::NodePress(int ARow, int X, int Y, TShiftState Shift) {
    if (ARow < 0 || !FGrid.IsNode(ARow) || !InNodeClickArea(ARow, X)) return false;
    if (ARow < FGrid.FixedRows()) {
        // A node in the header opens or closes every node; the press goes on.
        if (!FGrid.MouseActions().NodeAllExpandContract()) return false;
        TNodeGraphic* g = NodeAt(ARow);
        if (g->CellBoolean) ExpandAll();
        else ContractAll();
        g->CellBoolean = !g->CellBoolean;
        FGrid.RepaintCell(0, ARow);
        return false;
    }
    if (FGrid.OnMouseDown) FGrid.OnMouseDown(&FGrid, mbLeft, Shift, X, Y);
    if (FGrid.OnClickCell) FGrid.OnClickCell(&FGrid, ARow, 0);
    const int real = FGrid.RealRowIndex(ARow);
    bool allow = true;
    if (GetNodeState(ARow)) {
        if (FGrid.OnBeforeExpandNode) FGrid.OnBeforeExpandNode(&FGrid, ARow, real, allow);
        if (allow) {
            ExpandNode(real);
            if (FGrid.OnExpandNode) FGrid.OnExpandNode(&FGrid, ARow, real);
        }
    } else {
        if (FGrid.OnBeforeContractNode) FGrid.OnBeforeContractNode(&FGrid, ARow, real, allow);
        if (allow) {
            ContractNode(real);
            if (FGrid.OnContractNode) FGrid.OnContractNode(&FGrid, ARow, real);
        }
    }
    if (FGrid.MouseActions().MoveRowOnNodeClick()) FGrid.SetRow(ARow);
    return true;
}

void TExGridTools::GroupCountText(int ARow, String& Value) {
    TGrouping& gr = FGrid.Grouping();
    if (!gr.ShowGroupCount() || !FGrid.IsNode(ARow)) return;
    const int n = GetNodeSpan(ARow) - GetSubNodeCount(ARow) - 1;
    Value += gr.GroupCountFormat().empty() ? u" (" + IntToStr(n) + u")" : Format(gr.GroupCountFormat(), {n});
}

void TExGridTools::AutoSelectGroupRelease(int ACol, int ARow) {
    if (!FGrid.Grouping().AutoSelectGroup() || ACol <= 0 || ARow < FGrid.FixedRows() || !FGrid.IsNode(ARow) ||
        GetNodeState(ARow))
        return;
    const int span = GetNodeSpan(ARow);
    if (FGrid.MouseActions().DisjunctRowSelect()) {
        for (int e = 1; e < span && ARow + e < FGrid.RowCount(); ++e)
            FGrid.SetRowSelect(FGrid.RowSelectIndex(ARow + e), true);
        return;
    }
    const int last = std::min(ARow + span - 1, FGrid.RowCount() - 1);
    FGrid.SetSelection({FGrid.FixedCols(), ARow, FGrid.ColCount() - 1, last});
}

void TExGridTools::AutoCheckGroupToggle(int ACol, int ARow, bool State) {
    if (!FGrid.Grouping().AutoCheckGroup() || FNumNodes <= 0) return;
    // Rows are counted from the header's real row, so the rows a closed
    // group or sub-group keeps hidden take part as well.
    if (FGrid.IsNode(ARow)) {
        const int span = GetNodeSpan(ARow);
        const int first = FGrid.RealRowIndex(ARow);
        for (int e = 1; e < span; ++e)
            if (!FGrid.SetCheckBoxState(ACol, first + e, State))
                FGrid.SetCheckBoxState(ACol, first + e, TExStringGrid::BoolToCheckBoxState(State));
    }
    // Each header up the line takes the state its rows now have together.
    for (int parent = GetParentRow(ARow), below = ARow; parent >= 0 && parent != below;
         below = parent, parent = GetParentRow(parent)) {
        const int span = GetNodeSpan(parent);
        const int first = FGrid.RealRowIndex(parent);
        int checked = 0, unchecked = 0, grayed = 0;
        for (int e = 1; e < span; ++e) {
            TCheckBoxState s = cbUnchecked;
            if (!FGrid.GetCheckBoxState(ACol, first + e, s)) continue;
            ++(s == cbChecked ? checked : s == cbGrayed ? grayed : unchecked);
        }
        if (checked + unchecked + grayed == 0) return;
        const bool mixed = grayed > 0 || (checked > 0 && unchecked > 0);
        if (FGrid.SetCheckBoxState(ACol, first, mixed ? cbGrayed : TExStringGrid::BoolToCheckBoxState(checked > 0)))
            continue;
        // A plain box on the header only says something when its rows agree.
        if (!mixed) FGrid.SetCheckBoxState(ACol, first, checked > 0);
    }
}

bool TExStringGrid::DisplTextView(int ACol, int ARow, std::u16string_view& Text) {
    if (GetGridObject(ACol, ARow)) return false;  // properties may map it to a merged area's base cell
    if (ARow < FNormalRowCount &&
        (OnGetDisplText || OnGetDisplWideText || FURLShowInText || (ACol == 1 && FHasNodeRows)))
        return false;
    Text = GridCellView(ACol, ARow);
    return true;
}

void TExStringGrid::DoGetDisplText(int ACol, int ARow, String& Value) {
    TBaseGrid::DoGetDisplText(ACol, ARow, Value);
    LinkURLInText(Value);
    if (ACol == 1 && FHasNodeRows) FTools->GroupCountText(ARow, Value);
}

// ---------------------------------------------------------------------------
// Painting of node glyphs and tree lines

namespace {

constexpr TColor XPNodeFrame = 0xBD9E7B;
constexpr TColor XPNodeFace = 0xF7F7F7;
constexpr TColor LeafColor = 0x3C9A3C;

// The sign of a node box: a minus, and the plus bar when it is closed.
void NodeSign(TCanvas& C, int X, int Y, int Size, bool Closed) {
    const int m = Size / 2;
    C.MoveTo(X + 2, Y + m);
    C.LineTo(X + Size - 2, Y + m);
    if (!Closed) return;
    C.MoveTo(X + m, Y + 2);
    C.LineTo(X + m, Y + Size - 2);
}

void PaintXPNode(TBitmap& B, bool Closed) {
    TCanvas& c = GlyphCanvas(B, 9, 9);
    c.Pen().SetColor(XPNodeFrame);
    c.Brush().SetColor(XPNodeFace);
    c.Rectangle(0, 0, 9, 9);
    // Rounded corners; the top-left one also tells the see-through colour.
    for (TPoint p : {TPoint{0, 0}, TPoint{8, 0}, TPoint{0, 8}, TPoint{8, 8}}) c.SetPixels(p.X, p.Y, GlyphSeeThrough);
    c.Pen().SetColor(clBlack);
    NodeSign(c, 0, 0, 9, Closed);
}

// A leaf: closed, a bud pointing right; open, spread downwards.
void PaintLeaf(TBitmap& B, bool Closed) {
    TCanvas& c = GlyphCanvas(B, 16, 16);
    c.Pen().SetColor(LeafColor);
    c.Brush().SetColor(LeafColor);
    if (Closed) c.Polygon({TPoint{4, 3}, TPoint{12, 8}, TPoint{4, 13}});
    else c.Polygon({TPoint{3, 5}, TPoint{13, 5}, TPoint{8, 12}});
}

const TResourceRegistrar NodeGlyphs([] {
    RegisterBitmapResource(u"XPNODEC", [](TBitmap& B) { PaintXPNode(B, true); });
    RegisterBitmapResource(u"XPNODEO", [](TBitmap& B) { PaintXPNode(B, false); });
    RegisterBitmapResource(u"EXGLEAFCLOSE", [](TBitmap& B) { PaintLeaf(B, true); });
    RegisterBitmapResource(u"EXGLEAFOPEN", [](TBitmap& B) { PaintLeaf(B, false); });
});

}  // namespace

int TExGridTools::NodeIndentOf(int ARow) {
    if (FNumNodes <= 0 || ARow < 0 || ARow >= FGrid.RowCount() || !FGrid.CellPropsAssigned(0, ARow)) return 0;
    return FGrid.GetCellProperties(0, ARow)->NodeLevel() * FCellNode.NodeIndent();
}

void TExGridTools::PaintNodeColumn(TCanvas& C, int ARow, TRect R, bool Fixed) {
    if (FNumNodes <= 0) return;
    const TColor back = C.Brush().Color();
    const int n = FCellNode.NodeIndent(), indent = NodeIndentOf(ARow);
    const int mid = (R.Top + R.Bottom) / 2, h = R.Bottom - R.Top;
    const bool normal = ARow >= FGrid.FixedRows() && ARow < FGrid.RowCount() - FGrid.FixedFooters();
    const int x = R.Left + indent - n + n / 2 + 2;
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    C.Pen().SetColor(FCellNode.TreeColor());
    TNodeGraphic* g = NodeAt(ARow);
    if (!g) {
        // A row inside nodes: its branch, and the lines of the levels around it.
        const int level = indent / std::max(n, 1);
        if (!FCellNode.ShowTree() || !normal || level <= 0) return;
        C.MoveTo(x, mid);
        C.LineTo(FCellNode.ShowTreeFull() ? R.Right : x + 4, mid);
        const int type = GetNodeSpanType(ARow);
        C.MoveTo(x, R.Top);
        C.LineTo(x, type == 2 ? R.Bottom : mid);
        const bool more = NodeIndentOf(ARow + 1) > 0;
        for (int i = 1; i < level; ++i) {
            C.MoveTo(x - i * n, R.Top);
            C.LineTo(x - i * n, more ? R.Bottom : mid);
        }
        return;
    }
    const bool closed = g->CellBoolean;
    if (FCellNode.ShowTree() && normal) {
        const int next = NodeIndentOf(ARow + 1);
        if (next > 0 && !(closed && next < indent)) {
            C.MoveTo(x, mid);
            C.LineTo(x, R.Bottom);
        }
        if (ARow - 1 >= FGrid.FixedRows() && NodeIndentOf(ARow - 1) >= indent) {
            C.MoveTo(x, R.Top);
            C.LineTo(x, R.Top + 6);
        }
    }
    int left = R.Left + indent - n / 2 - 4;
    const TGridLook look = FGrid.Look();
    if (Fixed && !FGrid.Flat() && (look == glSoft || look == glGPK || look == glXP || look == glListView)) ++left;
    TBitmap& own = closed ? FCellNode.ContractGlyph() : FCellNode.ExpandGlyph();
    switch (FCellNode.NodeType()) {
    case cnLeaf:
        DrawResourceBitmapTransparent(C, back, Rect(left, R.Top + (h - 12) / 2, left + 16, R.Bottom),
                                      closed ? u"EXGLEAFCLOSE" : u"EXGLEAFOPEN");
        return;
    case cnXP:
        DrawResourceBitmapTransparent(C, back, Rect(left + 4, R.Top + (h - 10) / 2, left + 13, R.Bottom),
                                      closed ? u"XPNODEC" : u"XPNODEO");
        return;
    case cnGlyph:
        if (!FCellNode.ExpandGlyph().Empty() && !FCellNode.ContractGlyph().Empty()) {
            const int top = R.Top + (h - own.Height()) / 2;
            DrawBitmapTransparent(C, own, back, Rect(left, top, left + own.Width(), top + own.Height()));
            return;
        }
        break;
    case cn3D:
        C.Brush().SetColor(FCellNode.Color());
        C.FillRect(R);
        C.Pen().SetColor(clWhite);
        C.MoveTo(R.Left, R.Bottom - 1);
        C.LineTo(R.Left, R.Top);
        C.LineTo(R.Right - 1, R.Top);
        C.Pen().SetColor(clGray);
        C.LineTo(R.Right - 1, R.Bottom - 1);
        C.LineTo(R.Left, R.Bottom - 1);
        break;
    case cnFlat: break;
    }
    const int bx = left + 4, by = R.Top + (h - 8) / 2;
    C.Brush().SetColor(FCellNode.Color());
    if (FCellNode.NodeType() == cnFlat) {
        C.Pen().SetColor(FCellNode.NodeColor());
        C.Rectangle(bx, by, bx + 9, by + 9);
        NodeSign(C, bx, by, 9, closed);
    } else {
        // A soft raised edge while closed, sunken while open.
        C.FillRect(Rect(bx, by, bx + 9, by + 9));
        C.Pen().SetColor(closed ? clWhite : clGray);
        C.MoveTo(bx, by + 8);
        C.LineTo(bx, by);
        C.LineTo(bx + 8, by);
        C.Pen().SetColor(closed ? clGray : clWhite);
        C.LineTo(bx + 8, by + 8);
        C.LineTo(bx, by + 8);
        C.Pen().SetColor(clBlack);
        NodeSign(C, bx, by, 9, closed);
    }
    C.Brush().SetColor(back);
}
