#pragma once
// The grid's data tools: row nodes, column and row calculations with the
// floating footer's values, sorting, filtering, finding and cell marking.
// Every grid creates one; the grid's own members forward to it.
//
// Rows are displayed indexes unless a member says real rows (hidden rows
// counted). Columns are real columns.

#include "grid/GridDataTools.h"
#include "grid/foundation/GridHelpers.h"

#include "framework/Classes.h"

#include <functional>
#include <vector>

class TCellProperties;

// A node row's mark, carried by the cell graphic of column 0.
// CellBoolean of the graphic is the contracted flag.
class TNodeGraphic;

using TGroupCalcEvent = std::function<void(TObject* Sender, int ACol, int FromRow, int ToRow, double& Res)>;
using TCustomFilterEvent = std::function<void(TObject* Sender, int ARow, bool& AcceptRow)>;
using TGridProgressEvent = std::function<void(TObject* Sender, short Progress)>;

enum TFindParameters {
    fnMatchCase, fnMatchFull, fnMatchRegular, fnDirectionLeftRight, fnMatchStart, fnFindInCurrentRow,
    fnFindInCurrentCol, fnIncludeFixed, fnAutoGoto, fnIgnoreHTMLTags, fnBackward, fnIncludeHiddenColumns,
    fnFindInPresetCol, fnFindInPresetRow, fnSelectedCells, fnIncludeHiddenRows
};
using TFindParams = TSet<TFindParameters>;

// What a cell compares by when the grid sorts (ExGrid.h).
struct TCellSortKey;

class TExGridTools : public TGridDataTools {
public:
    explicit TExGridTools(TExStringGrid& AGrid);
    ~TExGridTools() override;

    // ===== Row nodes
    void AddNode(int ARow, int Span);  // real row
    void RemoveNode(int ARow);         // real row
    void RemoveAllNodes() override;
    bool IsNode(int ARow) override;
    bool IsSummary(int ARow) override;
    bool GetNodeState(int ARow) override;
    void SetNodeState(int ARow, bool Value);
    int GetNodeLevel(int ARow);
    int GetNodeSpan(int ARow) override;
    void SetNodeSpan(int ARow, int Span);
    void UpdateNodeSpan(int ARow, int Delta);
    int GetSubNodeCount(int ARow);
    void UpdateSubNodeCount(int ARow, int Delta);
    void ExpandNode(int ARow);    // real row
    void ContractNode(int ARow);  // real row
    void ExpandAll();
    void ContractAll();
    int GetParentRow(int ARow);
    int GetNodeSpanType(int ARow);
    void InsertChildRow(int ARow, int InsertAt);  // real row
    void RemoveChildRow(int ARow);                // real row
    void SetSummaryRow(int ARow);                 // real row
    int NumNodes() const { return FNumNodes; }

    // ===== Calculations
    double ColumnSum(int ACol, int FromRow, int ToRow);
    double ColumnAvg(int ACol, int FromRow, int ToRow);
    double ColumnMin(int ACol, int FromRow, int ToRow);
    double ColumnMax(int ACol, int FromRow, int ToRow);
    double ColumnStdDev(int ACol, int FromRow, int ToRow);
    double ColumnDistinct(int ACol, int FromRow, int ToRow);
    double ColumnCustomCalc(int ACol, int FromRow, int ToRow);
    double RowSum(int ARow, int FromCol, int ToCol);
    double RowAvg(int ARow, int FromCol, int ToCol);
    double RowMin(int ARow, int FromCol, int ToCol);
    double RowMax(int ARow, int FromCol, int ToCol);
    void CalcFooter(int ACol) override;
    // The footer's visibility or style changed: the grid's fixed footer row and hidden last row follow.
    void FooterChanged();
    // The preview template with each "<#n>" replaced by column n of the current row.
    String FillTemplate(const String& Template);
    TGroupCalcEvent OnColumnCalc;
    TCalcFooterEvent OnFooterCalc;
    int GroupColumn = -1;

    // ===== Sorting
    void QSort() override;
    void QSortIndexed() override;
    void QSortGroup() override;
    void QSortGroupIndexed() override;
    void QUnSort() override;
    void InitSortXRef() override;
    // Where each row's data stood when the cross-reference was last reset.
    const std::vector<int>& SortRowXRef() const { return FSortRowXRef; }
    // The row a sort follows through its swaps.
    int SortRow() const { return FSortRow; }
    void SetSortRow(int Value) { FSortRow = Value; }
    // Rows A and B changed places in a sort: their entries, the followed row and the count follow.
    void SortRowsSwapped(int A, int B);
    void Sort(int Column, TSortDirection Direction);
    void SortByColumn(int Col);
    int SortedRowIndex(int ARow) override;
    int UnSortedRowIndex(int ARow) override;
    TSortIndexList SortIndexes;
    TIntList IgnoreColumns{0, 0};
    long long Compares = 0;
    long long Swaps = 0;
    unsigned long long SortTime = 0;

    // ===== Filtering
    bool MatchFilter(int ARow);
    void ApplyFilter() override;
    // Releases the latest level (the grid's FilterActive := False).
    void RemoveFilter() override;
    void FilterRow(int ARow);
    bool RemoveLastFilter();
    void RemoveAllFilters();
    void NarrowDown(const String& ACondition, int AColumn);
    bool FilterNormalCellsOnly = true;
    TCustomFilterEvent OnCustomFilter;
    TGridProgressEvent OnFilterProgress;

    // ===== Finding
    TPoint Find(TPoint StartCell, const String& S, TFindParams FindParams);
    TPoint FindFirst(const String& S, TFindParams FindParams);
    TPoint FindNext();
    int Replace(const String& OrigStr, const String& NewStr, TFindParams FindParams);
    int Search(const String& S);
    TPoint SearchCell{-1, -1};
    String SearchCache;
    int FindCol = 0;
    int FindRow = 0;
    bool FindBusy = false;

    // ===== Marking, checking and filling
    static String HilightText(bool DoCase, const String& S, const String& Text);
    static String MarkText(bool DoCase, const String& S, const String& Text);
    static String UnHilightText(const String& S);
    static String UnMarkText(const String& S);
    void HilightCellRange(const String& Text, const String& Tag, int FromCol, int FromRow, int ToCol, int ToRow,
                          bool DoCase);
    void UnHilightCellRange(const String& Tag, int FromCol, int FromRow, int ToCol, int ToRow);
    void HilightInCell(bool DoCase, int Col, int Row, const String& HiText);
    void HilightInCol(bool DoFixed, bool DoCase, int Col, const String& HiText);
    void HilightInRow(bool DoFixed, bool DoCase, int Row, const String& HiText);
    void HilightInGrid(bool DoFixed, bool DoCase, const String& HiText);
    void UnHilightInCell(int Col, int Row);
    void UnHilightInCol(bool DoFixed, int Col);
    void UnHilightInRow(bool DoFixed, int Row);
    void UnHilightInGrid(bool DoFixed);
    void MarkInCell(bool DoCase, int Col, int Row, const String& HiText);
    void MarkInCol(bool DoFixed, bool DoCase, int Col, const String& HiText);
    void MarkInRow(bool DoFixed, bool DoCase, int Row, const String& HiText);
    void MarkInGrid(bool DoFixed, bool DoCase, const String& HiText);
    void UnMarkInCell(int Col, int Row);
    void UnMarkInCol(bool DoFixed, int Col);
    void UnMarkInRow(bool DoFixed, int Row);
    void UnMarkInGrid(bool DoFixed);
    bool CheckCell(int Col, int Row);
    bool CheckCells(int FromCol, int FromRow, int ToCol, int ToRow);
    bool CheckCol(bool DoFixed, int Col);
    bool CheckRow(bool DoFixed, int Row);
    bool CheckGrid(bool DoFixed);
    void TextFill(bool DoFixed, const String& Txt);
    void FormatFill(bool DoFixed, const String& Fmt);
    void RandomFill(bool DoFixed, int Rnd);
    void LinearFill(bool DoFixed);

private:
    // ----- nodes
    TNodeGraphic* NodeAt(int ARow);  // displayed row
    TNodeGraphic* NodeAtReal(int ARow);
    // Column 0's properties of a real row (a hidden row's only when it has them).
    TCellProperties* LevelProps(int ARow);
    void RaiseLevels(int ARow, int Span, int Delta);  // real rows
    // The real row after a node's span (the next node row for a span of 0 or less).
    int SpanEnd(int ARow, int Span);
    void NodesChanged();
    // ----- calculations
    bool CountedRow(int ARow, bool Real);
    void CalcRange(int& FromRow, int& ToRow);
    bool RangeIsReal(int ToRow);
    double ReadValue(int ACol, int ARow, bool Real);
    // ----- sorting
    int CompareRows(int A, int B, int Col, int Dir, bool Full);
    void SortRows(int FromRow, int ToRow, bool Indexed);
    void RunSort(bool Indexed, bool Group);
    void ApplyOrder(int FromRow, const std::vector<int>& Order);
    // ----- finding
    bool MatchCell(const String& CellText, const String& S, TFindParams P);
    // ----- marking
    void NormalRange(bool DoFixed, int& FromCol, int& FromRow, int& ToCol, int& ToRow);

    int FNumNodes = 0;
    bool FForceReal = false;  // the footer counts hidden rows: read by real row
    // The grid keeps the cross reference: its row swaps keep it in step too.
    std::vector<int> FSortRowXRef;
    int FFilterFixedRows = 0;
    String FLastFilter;
    TFindParams FFindParams;
    int FSortDir = 1;
    int FSortRow = -1;  // the current row, followed through the swaps
};
