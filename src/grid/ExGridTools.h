#pragma once
// The grid's data tools: row nodes, column and row calculations with the
// floating footer's values, sorting, filtering, finding and cell marking.
// Every grid creates one; the grid's own members forward to it.
//
// Rows are displayed indexes unless a member says real rows (hidden rows
// counted). Columns are real columns.

#include "grid/GridDataTools.h"
#include "grid/foundation/FilterMatch.h"
#include "grid/foundation/GridHelpers.h"

#include "framework/Classes.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/Grids.h"
#include "framework/Menus.h"
#include "framework/Printers.h"
#include "framework/StdCtrls.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TCellProperties;
class TCellGraphic;
class TGridDropTarget;
class TGridDropSource;
class IDropTarget;
// Readies the grid unit's drag and drop for the run: the formats it offers.
void GridOleInitialize();
class TBalloonTip;
class TExGridButton;
class TExCheckBox;
class TSearchFooter;
class TGridFocusWindow;
class TStream;

// A form that never becomes active (the floating snapshot of cells).
class TNoActiveForm : public TForm {
public:
    explicit TNoActiveForm(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
};

enum TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
enum TPrintBorders {
    pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical, pbAroundHorizontal, pbCustom
};
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };

// How the HTML export writes the table: its attributes, the text around it,
// colours, picture files and the XHTML wrapping.
class THTMLSettings : public TPersistent {
public:
    THTMLSettings() = default;
    // Every setting but ExportImages; ColWidths stays.
    void Assign(const TPersistent* Source) override;
    bool AutoPreview = false;
    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    bool ConvertSpecialChars = false;
    bool ExportImages = true;
    String FooterFile;
    String HeaderFile;
    bool NonBreakingText = false;
    String PrefixTag;
    bool SaveColor = true;
    bool SaveFonts = true;
    String SuffixTag;
    String Summary;
    String TableStyle;
    int Width = 100;
    bool XHTML = false;
    // Optional widths for the cells' WIDTH attributes.
    TIntList ColWidths{0, 0};
};

enum TClipOperation { coCut, coCopy };
using TClipboardPasteCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Allow)>;
using TClipboardAfterPasteCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;

// What the grid's printing needs to know about the page: header and footer
// items and their places, fonts, borders, margins and spacing (0.1 mm),
// column and row sizing, fitting and page numbering. Read at each print.
class TPrintSettings : public TPersistent {
public:
    explicit TPrintSettings(TExStringGrid* AOwner);
    ~TPrintSettings() override;
    // Only from another TPrintSettings (EConvertError otherwise); all but FixedCellsAlways.
    void Assign(const TPersistent* Source) override;
    TExStringGrid* Grid() const { return FGrid; }
    int FooterSize = 0;
    int HeaderSize = 0;
    TPrintPosition Time = ppNone;
    TPrintPosition Date = ppNone;
    String DateFormat = u"dd/mm/yyyy";
    TPrintPosition PageNr = ppNone;
    TPrintPosition Title = ppNone;
    String TitleText;
    TStringList& TitleLines() { return *FTitleLines; }
    void SetTitleLines(const TStringList& Value);
    TFont& Font() { return *FFont; }
    void SetFont(const TFont& Value);
    TFont& FixedFont() { return *FFixedFont; }
    void SetFixedFont(const TFont& Value);
    TFont& HeaderFont() { return *FHeaderFont; }
    void SetHeaderFont(const TFont& Value);
    TFont& FooterFont() { return *FFooterFont; }
    void SetFooterFont(const TFont& Value);
    TPrintBorders Borders = pbSingle;
    TPenStyle BorderStyle = psSolid;
    TColor BorderColor = TColor(0);
    bool Centered = true;
    bool RepeatFixedRows = false;
    bool RepeatFixedCols = false;
    int LeftSize = 0;
    int RightSize = 0;
    int ColumnSpacing = 0;
    int RowSpacing = 0;
    int TitleSpacing = 0;
    TPrinterOrientation Orientation = poPortrait;
    String PagePrefix;
    String PageSuffix;
    int PageNumberOffset = 0;
    int MaxPagesOffset = 0;
    int FixedWidth = 0;
    int FixedHeight = 0;
    bool UseFixedHeight = false;
    bool UseFixedWidth = false;
    TFitToPage FitToPage = fpNever;
    String JobName;
    String PageNumSep = u"/";
    bool NoAutoSize = false;
    bool NoAutoSizeRow = false;
    bool PrintGraphics = false;
    bool UseDisplayFont = true;
    bool UseDefaultOrientation = false;
    bool FixedCellsAlways = false;

private:
    TExStringGrid* FGrid;
    std::unique_ptr<TStringList> FTitleLines;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TFont> FFixedFont;
    std::unique_ptr<TFont> FHeaderFont;
    std::unique_ptr<TFont> FFooterFont;
};

using TPrintStartEvent = std::function<void(TObject* Sender, int NrOfPages, int& FromPage, int& ToPage)>;
using TPrintPageEvent = std::function<void(TObject* Sender, TCanvas& Canvas, int PageNr, int PageXSize, int PageYSize)>;
using TPrintPageDoneEvent = std::function<void(TObject* Sender, TCanvas& Canvas, int LastRow, int LastRowOffset,
                                               int LastPage, int PageXSize, int PageYSize)>;
using TPrintCancelEvent = std::function<void(TObject* Sender, int PageNr, bool& Cancel)>;
using TPrintNewPageEvent = std::function<void(TObject* Sender, int ARow, bool& NewPage)>;
using TPrintSizeEvent = std::function<void(TObject* Sender, int Index, int& Size)>;
using TPrintPageNumEvent = std::function<void(TObject* Sender, int PageNum, int PageColNum, String& PageNumString)>;
using TFitToPageEvent = std::function<void(TObject* Sender, double& ScaleFactor, bool& Allow)>;
using TCellPrintBorderEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen& APen, TSet<int>& Borders)>;

// Moves R's left and top to where a text block of W x H rotated by Angle
// degrees starts, for the alignments given (y grows downwards in R's terms:
// callers in upward units pass their extents negated).
void PlaceRotatedBlock(TRect& R, TAlignment HAlign, TVAlignment VAlign, double Angle, int W, int H);
// The page-number text: "page-strip" with several strips, else the page
// (with its offset), the separator and the total (with its offset) when
// there are several pages.
String PrintPageNumber(const TPrintSettings& S, int PageIndex, int PageInStrip, int Strip, bool MultiStrip,
                       int Total);
// The header and footer texts by position (index: TPrintPosition): left
// positions put each item in front, the others append it, a blank between.
std::array<String, 7> PrintPositionTexts(const TPrintSettings& S, const String& Time, const String& Date,
                                         const String& PageNumber, const String& Title);

using TDropSelectEvent = std::function<void(TObject* Sender, int ItemIndex)>;

// The single-choice filter list: Enter or a click chooses and closes it.
class TDropList : public TListBox {
public:
    explicit TDropList(TComponent* AOwner) : TListBox(AOwner) {}
    TDropSelectEvent OnSelect;
    TNotifyEvent OnCancel;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMCancelMode(TMessage& Message) override;

private:
    void Choose();
};

// The check list: every toggled mark applies the filter; it stays open.
class TDropCheckList : public TCheckListBox {
public:
    explicit TDropCheckList(TComponent* AOwner);
    TDropSelectEvent OnSelect;
    TNotifyEvent OnCancel;

protected:
    void WMCancelMode(TMessage& Message) override;
};

enum TFilterDropDownColumns { fdNormal, fdAll };
using TFilterSelectEvent =
    std::function<void(TObject* Sender, int Column, int ItemIndex, const String& FriendlyName, String& FilterCondition)>;
using TFilterCheckEvent = std::function<void(TObject* Sender, int Column, int ItemIndex, const String& FriendlyName,
                                             String& FilterCondition, TCheckListBox* CheckList)>;

using TFooterPaintEvent = std::function<void(TObject* Sender, int AColumn, TCanvas& Canvas, TRect ARect)>;

enum TSearchAction { saFindFirst, saFindPrevious, saFindNext };
using TSearchEditChangeEvent = std::function<void(TObject* Sender, const String& Value, bool& DefaultSearch)>;
using TSearchFooterActionEvent =
    std::function<void(TObject* Sender, const String& Value, int ACol, int ARow, TSearchAction SearchAction)>;

// The floating footer's strip under the grid: the grid's last row as a
// calculated footer row, or a preview of the current row.
class TFooterPanel : public TPanel {
public:
    explicit TFooterPanel(TExStringGrid* AGrid);
    // The grid column under client x (fixed ones included), -1 past the last.
    int ColumnAt(int X);
    // The footer's own part: the fixed columns and those from the left column on.
    int FooterWidth();

    // Tells the grid's OnCreatedFloatingFooter once that the window exists: when it is made,
    // or, made while the grid was still building its tools, when it first shows.
    void ReportCreated();

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FCreatedReported = false;
    TExStringGrid* FGrid;
    int FLastHintX = -1;
};

// An edit that takes Enter: Enter fires OnReturn, Control+Enter OnCtrlReturn.
class TRetEdit : public TEdit {
public:
    explicit TRetEdit(TComponent* AOwner) : TEdit(AOwner) {}
    TNotifyEvent OnReturn;
    TNotifyEvent OnCtrlReturn;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void WMGetDlgCode(TMessage& Message) override;
};

// The strip at the grid's bottom with the search edit, the next, previous
// and highlight buttons, the match-case box and the close button.
class TSearchPanel : public TPanel {
public:
    explicit TSearchPanel(TExStringGrid* AGrid);
    TRetEdit* EditControl;
    TExGridButton* ForwardButton;
    TExGridButton* BackwardButton;
    TExGridButton* ExitButton;
    TExGridButton* HiliteButton;
    TExCheckBox* MatchCase;
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);
    TNotifyEvent OnForwardClick;
    TNotifyEvent OnBackwardClick;
    TNotifyEvent OnEditChange;
    TNotifyEvent OnExitClick;
    TNotifyEvent OnHighlightClick;

    // Tells the grid's OnCreatedSearchFooter once that the window exists: when it is made,
    // or, made while the grid was still building its tools, when it first shows.
    void ReportCreated();

protected:
    void CreateWnd() override;
    void Paint() override;

private:
    bool FCreatedReported = false;
    void EditChanged();
    TExStringGrid* FGrid;
    TColor FColorTo = clNone;
};

enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };

// Accessors of a look setting: a changed value repaints the owner grid.
#define GRID_LOOK_SETTING(Type, Name, Default)     \
public:                                            \
    Type Name() const { return F##Name; }          \
    void Set##Name(Type Value) {                   \
        if (F##Name == Value) return;              \
        F##Name = Value;                           \
        Changed();                                 \
    }                                              \
                                                   \
private:                                           \
    Type F##Name = Default;

// A look object of the grid: a changed setting repaints its grid.
class TGridLookObject : public TPersistent {
public:
    explicit TGridLookObject(TExStringGrid* AOwner) : FOwner(AOwner) {}

protected:
    void Changed();

private:
    TExStringGrid* FOwner;
};

// The look of node rows: glyph kind, indent per level, tree lines, and
// whether expanding one node contracts the others.
class TCellNode : public TGridLookObject {
public:
    using TGridLookObject::TGridLookObject;
    // Every setting, from another TCellNode only.
    void Assign(const TPersistent* Source) override;
    TBitmap& ExpandGlyph() { return FExpandGlyph; }
    void SetExpandGlyph(const TBitmap& Value) { FExpandGlyph.Assign(&Value); }
    TBitmap& ContractGlyph() { return FContractGlyph; }
    void SetContractGlyph(const TBitmap& Value) { FContractGlyph.Assign(&Value); }
    GRID_LOOK_SETTING(TColor, Color, clSilver)
    GRID_LOOK_SETTING(TColor, NodeColor, clBlack)
    GRID_LOOK_SETTING(TNodeType, NodeType, cnXP)
    GRID_LOOK_SETTING(int, NodeIndent, 12)
    GRID_LOOK_SETTING(bool, ShowTree, true)
    GRID_LOOK_SETTING(bool, ShowTreeFull, true)
    GRID_LOOK_SETTING(TColor, TreeColor, clGray)
    GRID_LOOK_SETTING(bool, ExpandOne, false)

private:
    TBitmap FExpandGlyph;
    TBitmap FContractGlyph;
};

enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
enum TBackGroundCells { bcNormal, bcFixed, bcAll };

// What the grid paints behind its cells and in the client area they leave empty.
class TBackGround : public TGridLookObject {
public:
    using TGridLookObject::TGridLookObject;
    TBitmap& Bitmap() { return FBitmap; }
    void SetBitmap(const TBitmap& Value) {
        FBitmap.Assign(&Value);
        Changed();
    }
    GRID_LOOK_SETTING(int, Left, 0)
    GRID_LOOK_SETTING(int, Top, 0)
    GRID_LOOK_SETTING(TBackGroundDisplay, Display, bdTile)
    GRID_LOOK_SETTING(TBackGroundCells, Cells, bcNormal)
    GRID_LOOK_SETTING(TColor, Color, clWindow)
    GRID_LOOK_SETTING(TColor, ColorTo, clBtnFace)

private:
    TBitmap FBitmap;
};

#undef GRID_LOOK_SETTING

// The grid's own glyph pictures: a W x H bitmap cleared to the see-through
// colour, whose canvas is returned for drawing.
constexpr TColor GlyphSeeThrough = clFuchsia;
TCanvas& GlyphCanvas(TBitmap& B, int W, int H);

// A node row's mark, carried by the cell graphic of column 0.
// CellBoolean of the graphic is the contracted flag.
class TNodeGraphic;

using TGroupCalcEvent = std::function<void(TObject* Sender, int ACol, int FromRow, int ToRow, double& Res)>;
using TCustomFilterEvent = std::function<void(TObject* Sender, int ARow, bool& AcceptRow)>;
using TCellBalloonEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, String& ATitle, String& AText, int& AIcon)>;
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
    TCellNode& CellNode() { return FCellNode; }
    // The indent of a displayed row's node level (0 without nodes or level).
    int NodeIndentOf(int ARow);
    // Column 0 of a grid with nodes: the expand glyph of a node row and the
    // tree lines of every row (displayed row, R the cell).
    void PaintNodeColumn(TCanvas& C, int ARow, TRect R, bool Fixed);
    // Whether a press at client x on a displayed node row hits its expand glyph.
    bool InNodeClickArea(int ARow, int X);
    // A press in column 0 of a displayed node row: expands or contracts it
    // through the grid's events. False when the press is not on the glyph.
    bool NodePress(int ARow, int X, int Y, TShiftState Shift);
    // The text of column 1 of a node row with the group's row count appended.
    void GroupCountText(int ARow, String& Value);
    // A released click on an expanded group header selects the group's rows.
    void AutoSelectGroupRelease(int ACol, int ARow);
    // A toggled check box of a group header or group row carries to the group.
    void AutoCheckGroupToggle(int ACol, int ARow, bool State);

    // ===== Grouping
    void Group(int Colindex);
    void UnGroup();
    // Second-level groups by another column inside the existing rows, and their removal.
    void SubGroup(int Colindex);
    void SubUnGroup(int Colindex);
    // -1 ungroups, a value above 0 groups; others do nothing.
    void SetGroupColumn(int Value);
    // Methods 1 sum, 2 average, 3 minimum, 4 maximum, 5 count, 6 custom, 7 distinct, 8 deviation.
    void GroupCalc(int Colindex, int Method);
    void GroupSum(int Colindex);
    void GroupAvg(int Colindex);
    void GroupMin(int Colindex);
    void GroupMax(int Colindex);
    void GroupCount(int Colindex);
    void GroupCustomCalc(int Colindex) { GroupCalc(Colindex, 6); }
    void GroupDistinct(int Colindex) { GroupCalc(Colindex, 7); }
    void GroupStdDev(int Colindex) { GroupCalc(Colindex, 8); }
    bool IsGrouping() const { return FIsGrouping; }
    TGroupCalcEvent OnGroupCalc;

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
    // The footer's visibility or style changed: the grid's fixed footer row,
    // hidden last row and the footer panel follow.
    void FooterChanged();
    TFooterPanel* FooterPanel() const { return FFooterPanel; }
    TFooterPaintEvent OnFooterPaint;
    TNotifyEvent OnCreatedFloatingFooter;
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

    // ===== Filter lists of the header buttons (the grid opens them, the
    // tools supply them and act on a choice)
    TListBox* FilterDropList(bool Check) override;
    TDropList* DropList() const { return FDropList; }
    TDropCheckList* DropCheckList() const { return FDropCheckList; }
    // Fills the grid's FilterList with the column's entries (real column); true when it has any.
    bool DoGetColumnFilter(int Col);
    // The filter button at the right of a cell of the filter row (real column).
    void PaintFilterButton(TCanvas& C, int ACol, int ARow, TRect R);
    void DoFilterSelect(int ItemIndex);
    void DoFilterCheck();
    bool FilterDropDownAuto = false;
    TFilterDropDownColumns FilterDropDownColumns = fdNormal;
    String FilterDropDownClear = u"(All)";
    bool FilterIncremental = false;
    bool AutoFilterUpdate = true;
    TFilterSelectEvent OnFilterSelect;
    TFilterCheckEvent OnFilterCheck;
    TNotifyEvent OnFilterDone;

    // ===== Finding
    TPoint Find(TPoint StartCell, const String& S, TFindParams FindParams);
    TPoint FindWide(TPoint StartCell, const String& S, TFindParams FindParams);
    TPoint FindFirst(const String& S, TFindParams FindParams);
    TPoint FindNext();
    int Replace(const String& OrigStr, const String& NewStr, TFindParams FindParams);
    int Search(const String& S);
    TPoint SearchCell{-1, -1};
    String SearchCache;
    int FindCol = 0;
    int FindRow = 0;
    bool FindBusy = false;

    // ===== Balloons
    void BalloonInit() override;
    void BalloonDone() override;
    bool HasBalloonWindow() override { return FBalloonTip != nullptr; }
    TBalloonTip* BalloonTip() const { return FBalloonTip; }
    // What the balloon of a cell shows (real column): the plain text, tabs as
    // blanks, at most 2048 characters; OnCellBalloon may change all three.
    void BalloonText(int ACol, int ARow, String& Title, String& Text, int& Icon);
    TCellBalloonEvent OnCellBalloon;

    // ===== Search panel
    TSearchFooter& SearchFooter() { return *FSearchFooter; }
    TSearchPanel* SearchPanel() const { return FSearchPanel; }
    // Copies the search footer's settings onto the panel and sizes it.
    void UpdateSearchPanel();
    void SearchPanelEditChange();
    void SearchPanelFindNext();
    void SearchPanelFindPrev();
    void SearchPanelClose();
    void SearchPanelHighlight();
    TSearchEditChangeEvent OnSearchEditChange;
    TSearchFooterActionEvent OnSearchFooterAction;
    TNotifyEvent OnSearchFooterClose;
    TNotifyEvent OnCreatedSearchFooter;

    // ===== Printing (lengths in 0.1 mm)
    TPrintSettings& PrintSettings() { return FPrintSettings; }
    // The whole grid, or a range of displayed cells, to the process printer.
    void Print();
    void PrintRect(TGridRect R);
    // The page PreviewPage of the grid (or of a range) into R of Canvas.
    void PrintPreview(TCanvas& Canvas, TRect R);
    void PrintPreviewRect(TCanvas& Canvas, TRect R, TGridRect G);
    // The grid (or a range) as one page into R.
    void PrintDraw(TCanvas& Canvas, TRect R);
    void PrintDrawRect(TCanvas& Canvas, TRect R, TGridRect G);
    void PrintSelection();
    void PrintPreviewSelection(TCanvas& Canvas, TRect R);
    // Every column of the selected rows, or the selected columns of every
    // row: by the one-by-one selections where the grid keeps them, else by
    // the selection rectangle; with FixedCellsAlways the fixed ones too.
    void PrintSelectedRows();
    void PrintSelectedCols();
    void PrintPreviewSelectedRows(TCanvas& Canvas, TRect R);
    void PrintPreviewSelectedCols(TCanvas& Canvas, TRect R);
    void SetPreviewPage(int Page) { FPrintPageFrom = FPrintPageTo = Page; }
    int PrintNrOfPages() const { return FPrintPageNum; }
    TRect PrintPageRect() const { return FPrintPageRect; }
    int PrintColStart() const { return FPrintColStart; }
    int PrintColEnd() const { return FPrintColEnd; }
    int PrintPageWidth() const { return FPrintPageWidth; }
    bool IsPrintPreview() const { return FIsPrintPreview; }
    int MapFontHeight(int PointSize) const;
    static int MapFontSize(int Height) { return Height * 72 / 254; }
    // Print widths of the columns (real index) of the last run.
    const std::vector<int>& MaxWidths() const { return FMaxWidths; }
    // The left edge of each column on the last page strip, in print units.
    const std::vector<int>& Indents() const { return FIndents; }
    // The page rectangle of the last run: the printable page in 0.1 mm when
    // printing, the target rectangle of a preview or direct drawing.
    TRect PrevRect() const { return FPrevRect; }
    // The factor MapFontHeight applies: the fit-to-page ratio while rows and
    // headers are drawn, 1.0 otherwise; it keeps the last page's value.
    double Fontscalefactor() const { return FFontScale; }
    bool FastPrint = false;
    TPrintStartEvent OnPrintStart;
    TPrintPageEvent OnPrintPage;
    TPrintPageDoneEvent OnPrintPageDone;
    TPrintCancelEvent OnPrintCancel;
    TPrintNewPageEvent OnPrintNewPage;
    TPrintSizeEvent OnPrintSetColumnWidth;
    TPrintSizeEvent OnPrintSetRowHeight;
    TPrintPageNumEvent OnPrintGetPageNum;
    TFitToPageEvent OnFitToPage;
    TCellPrintBorderEvent OnGetCellPrintBorder;

    // ===== Snapshot and focus window
    // The cells of ARect painted into a borderless, stay-on-top form owned by
    // the grid (not shown; the caller shows and frees it).
    TCustomForm* SelectionToForm(const TGridRect& ARect) override;
    // R in client coordinates: a translucent frame 4 pixels around it, the cell left open.
    void ShowFocusWindow(TRect R);
    void MoveFocusWindow();
    void HideFocusWindow();
    TGridFocusWindow* FocusWindow() const { return FFocusWindow; }

    // ===== Empty area and key-up handling
    TBackGround& BackGround() { return FBackGround; }
    // Paints the background into the client area right of the last column
    // and below the last row.
    void PaintEmptyArea(TCanvas& C);
    // The grid's key-up: clears the incremental search text, opens the
    // editor where the grid always edits, reports a moved selection and
    // keeps the one-by-one cell selection.
    void KeyUp(Word& Key, TShiftState Shift);
    // The selection when the last key went down.
    TGridRect KeyDownSelection{};

    // ===== Quick configuration in a form designer
    // The entry under a client point: 1 "Allow edit", 2 "Column numbers",
    // 3 the look, 4 close; -1 none.
    int DesignHelperChoiceAt(int X, int Y);
    void PaintDesignHelper(TCanvas& C);
    // The designer's hit test: true when the grid wants the click.
    bool DesignHitTest(int X, int Y);
    void DesignHelperClick(int X, int Y);
    TPopupMenu& DesignLookMenu();
    bool ShowDesignHelper = true;
    bool ShowColNrs = false;

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
    // The smallest or (Largest) the largest counted value of the rows.
    double ColumnExtreme(int ACol, int FromRow, int ToRow, bool Largest);
    // ----- sorting
    int CompareRows(int A, int B, int Col, int Dir, bool Full);
    void SortRows(int FromRow, int ToRow, bool Indexed);
    void RunSort(bool Indexed, bool Group);
    void ApplyOrder(int FromRow, const std::vector<int>& Order);
    // ----- finding
    bool MatchCell(const String& CellText, const String& S, TFindParams P);
    // ----- printing
    struct TPrintRun;
    int PrintPages(TCanvas& C, int Mode, int Total);
    void PrintColumnWidths(TPrintRun& Run);
    int PrintCellMeasure(TPrintRun& Run, int ACol, int ARow, int* Width);
    int PrintCellHeight(TPrintRun& Run, int ACol, int ARow, int* Width);
    int PrintRowHeight(TPrintRun& Run, int ARow);
    int PrintRowDrawn(TPrintRun& Run, int ARow);
    void PrintDrawRow(TPrintRun& Run, int Y, int ARow, bool FixedPart);
    void PrintHeaderFooter(TPrintRun& Run, int PageIndex, int PageInStrip);
    TPoint FindCell(TPoint StartCell, const String& S, TFindParams FindParams, bool Scroll);
    void PrintInDeviceUnits(TPrintRun& Run, TRect R, const TFont& Font, int Size, const std::function<void(TRect)>& Draw);
    const TFont& PrintBaseFont(bool Fixed);
    void PrintCustomCellDraw(TPrintRun& Run, int ACol, int ARow, bool Fixed, TRect Cell);
    void PrintFont(TPrintRun& Run, int ACol, int ARow);
    // The graphic a printed cell shows with PrintGraphics, its size in 0.1 mm
    // for a cell of Area (0.1 mm; empty: the cell's size on screen); {0, 0} for none.
    TPoint PrintGraphicSize(TPrintRun& Run, int ACol, int ARow, TRect Area = {});
    // Draws it into the cell and narrows Text to what is left beside it.
    void PrintGraphic(TPrintRun& Run, int ACol, int ARow, TRect Cell, TRect& Text);
    // A graphic painted as on screen into a bitmap of W x H grid pixels on
    // the cell's colour, then scaled into Box.
    void PrintScreenGraphic(TPrintRun& Run, int ACol, int ARow, TCellGraphic& G, TRect Box, int W, int H);
    // A markup cell measured (Draw false: Width and the returned height) or
    // drawn into R, in the output's device units at the print font's size.
    int PrintMarkup(TPrintRun& Run, int ACol, int ARow, const String& Text, TRect R, bool Draw, int* Width);
    int PrintMarkupText(TPrintRun& Run, TFont& Font, const String& Text, TRect R, bool Draw, int* Width);
    // The title lines as one markup text, empty when they hold none.
    String PrintMarkupTitle();
    // The text a cell prints: none for check boxes, the words of rich text,
    // the result of a formula, else the formatted text.
    String PrintText(int ACol, int ARow);
    // A rich-text cell drawn with its formatting into R (0.1 mm).
    void PrintRich(TPrintRun& Run, int ACol, int ARow, TRect R);
    // The escapement a rotated cell's font takes, 0 for none: the canvas
    // turns text on the device, so the page shows it turned as the screen does.
    int PrintEscapement(int ACol, int ARow);
    void PreviewRun(TCanvas& Canvas, TRect R, TGridRect G, bool DrawOnly);
    bool PrintRowWanted(int ARow);
    bool PrintColWanted(int ACol);
    // Runs Print (Preview with a canvas) with the row or column choice on.
    void PrintChosen(bool Rows, TCanvas* Canvas, TRect R);
    // ----- search panel
    void CreateSearchPanel();
    void CreateFilterLists();
    TFindParams PanelParams(bool Stepping);
    void PanelHighlight(bool On);
    void ScrollFoundInView();
    void PanelRowStep();
    // ----- marking
    void NormalRange(bool DoFixed, int& FromCol, int& FromRow, int& ToCol, int& ToRow);

    int FNumNodes = 0;
    TCellNode FCellNode{&FGrid};
    TBackGround FBackGround{&FGrid};
    std::unique_ptr<TSearchFooter> FSearchFooter;
    TSearchPanel* FSearchPanel = nullptr;  // owned by the grid as a component
    TGridFocusWindow* FFocusWindow = nullptr;  // owned by the grid as a component
    int FLastDesignChoice = -1;
    TPopupMenu* FLookMenu = nullptr;  // owned by the grid as a component
    TFooterPanel* FFooterPanel = nullptr;  // owned by the grid as a component
    TPrintSettings FPrintSettings{&FGrid};
    TGridRect FPrintRect{};
    TRect FPrevRect;
    int FPrintPageFrom = 1;
    int FPrintPageTo = 1;
    int FPrintPageNum = 0;
    TRect FPrintPageRect;
    int FPrintColStart = 0;
    int FPrintColEnd = 0;
    int FPrintPageWidth = 0;
    bool FIsPrintPreview = false;
    double FFontScale = 1.0;
    std::vector<int> FMaxWidths;
    std::vector<int> FRawWidths;  // as measured, before fitting and the width event
    bool FReuseWidths = false;
    std::vector<int> FIndents;
    TPrinter* FPrinter = nullptr;  // set while a run goes to the printer
    bool FPageOutput = false;
    bool FPrintChosenRows = false;  // only the selected rows print
    bool FPrintChosenCols = false;  // only the selected columns print
    TDropList* FDropList = nullptr;  // both lists owned by the grid as components
    TDropCheckList* FDropCheckList = nullptr;
    TBalloonTip* FBalloonTip = nullptr;  // owned by the grid as a component
    bool FForceReal = false;  // the footer counts hidden rows: read by real row
    bool FIsGrouping = false;
    String FGroupCaption;
    String FGroupFooter;
    int FGroupWidth = 0;
    // The grid keeps the cross reference: its row swaps keep it in step too.
    std::vector<int> FSortRowXRef;
    int FFilterFixedRows = 0;
    String FLastFilter;
    // The conditions of Filter's items as last prepared, by item.
    std::vector<TFilterExpression> FFilterExpressions;
    TFindParams FFindParams;
    int FSortDir = 1;
    int FSortRow = -1;  // the current row, followed through the swaps

    // ===== Exchange with files, streams and the clipboard
public:
    // What the exports write and where reading starts: the save range runs
    // over the fixed cells too with SaveFixedCells (or SaveFixedRows /
    // SaveFixedCols for one direction); otherwise it leaves out the fixed
    // rows and columns, the fixed right columns and the footer rows.
    bool SaveFixedCells = true;
    bool SaveFixedRows = false;
    bool SaveFixedCols = false;
    bool SaveHiddenCells = false;
    bool LoadFirstRow = true;
    // Character 0: "," when writing, guessed when reading.
    Char Delimiter = 0;
    bool QuoteEmptyCells = true;
    bool AlwaysQuotes = false;
    // Line breaks as "~", empty fields as "^", multi-line fields unquoted.
    bool JavaCSV = false;
    bool OemConvert = false;
    // Loaded cells keep every line of their text, not only the first.
    bool Multilinecells = false;
    TGridProgressEvent OnFileProgress;
    int SaveStartCol();
    int SaveEndCol();
    int SaveStartRow();
    int SaveEndRow();
    int SaveColCount() { return SaveEndCol() - SaveStartCol() + 1; }
    int SaveRowCount() { return SaveEndRow() - SaveStartRow() + 1; }

    // The grid's own text format: "cols,rows", "cw i,width" lines and one
    // "col,row,text" line per non-empty cell. The file holds grid indexes,
    // the stream indexes relative to the save range (and no byte-order mark).
    void SaveToFile(const String& FileName, bool Unicode = false);
    void LoadFromFile(const String& FileName);
    void SaveToStream(TStream& Stream);
    // Stops before the first line that is not a grid line.
    void LoadFromStream(TStream& Stream);

    // Delimiter-separated text, one record per line.
    void SaveToCSV(const String& FileName, bool Unicode = false);
    void AppendToCSV(const String& FileName, bool Unicode = false);
    // MaxRows <= 0: all records.
    void LoadFromCSV(const String& FileName, int MaxRows = 0);
    void InsertFromCSV(const String& FileName, int MaxRows = 0);
    void LoadFromCSVStream(TStream& AStream, int MaxRows = 0);
    // The delimiter the reader takes for these first two lines (0: none found).
    static Char GuessDelimiter(const String& L1, const String& L2);
    // Missing widths (characters) are measured and appended to Widths.
    void SaveToFixed(const String& FileName, TIntList& Widths);
    // Positions are 1-based character positions, sorted in place; MaxRows -1: all lines.
    void LoadFromFixed(const String& FileName, TIntList& Positions, int MaxRows = -1, bool DoTrim = true);
    // The cell's number as shown (parentheses or a leading minus negative); 0 for an empty cell.
    double CellToReal(int ACol, int ARow);

    // A list of records with one element per field; the texts escape "&" as
    // "$amp;" and "<", ">" and the double quote as entities. Written in
    // XMLEncoding (UTF-8, else Latin-1 with "&#N;" for other characters).
    String XMLEncoding = u"ISO-8859-1";
    // Fields are named FieldDescr[i], or "FIELD" and i where it has no entry.
    void SaveToXML(const String& FileName, const String& ListDescr, const String& RecordDescr,
                   const TStringList* FieldDescr, bool ExportEmptyCells);
    // Elements and attributes to cells: one row per child of the document
    // element, or per element with attributes or several children with LevelToRow.
    void LoadFromXML(const String& FileName, bool LevelToRow, bool LoadFieldDescr);

    // Plain text in aligned columns, one line per row plus the further lines
    // of multi-line cells (with Multilinecells).
    void SaveToASCII(const String& FileName, bool Unicode = false);
    void AppendToASCII(const String& FileName, bool Unicode = false);

    // The print settings in section Section of the INI file Key; missing
    // values read as the defaults, values out of range leave the setting.
    void SavePrintSettings(const String& Key, const String& Section);
    void LoadPrintSettings(const String& Key, const String& Section);
    // The look of the grid and its option objects as "key=value" lines;
    // loading applies the keys found (any case) and leaves the others.
    void SaveVisualProps(const String& FileName);
    void LoadVisualProps(const String& FileName);

    // The column layout: "count#widths#order#visibility", each list joined
    // by ","; applying one raises EConvertError for an item that is no
    // number and EListError for a list shorter than the count.
    String ColumnStatesToString();
    void StringToColumnStates(const String& Value);
    // Widths as "Col<i>" and the column order as "Pos<i>" in the store that
    // ColumnSize names (nothing without a key and a section).
    void SaveColSizes() override;
    void LoadColSizes() override;
    void SaveColPositions();
    void LoadColPositions();

    // The binary cell stream: a rectangle of cells with their properties and
    // graphics as component images. Loading places the first saved cell at
    // Point (a whole-grid stream sets the counts and sizes first); a damaged
    // stream raises EReadError and keeps the cells read before.
    void SaveRectToBinStream(TGridRect R, TStream& Stream);
    void SaveToBinStream(TStream& Stream);
    void SaveToBinFile(const String& FileName);
    void LoadAtPointFromBinStream(TPoint Point, TStream& Stream);
    void LoadFromBinStream(TStream& Stream);
    void LoadFromBinFile(const String& FileName);

    // The cells as an HTML table with one style class per distinct cell look;
    // pictures of image cells go to Dir + "images" as JPEG files.
    THTMLSettings& HTMLSettings() { return FHTMLSettings; }
    String SaveToHTMLString(const String& Dir);
    // Show (or AutoPreview) opens the file afterwards. Without Unicode the
    // file is 7-bit: other characters are written as "&#N;".
    void SaveToHTML(const String& FileName, bool Show = false, bool Unicode = false);
    void AppendToHTML(const String& FileName, bool Show = false, bool Unicode = false);

    // ----- workbooks (.xlsx), documents (.docx) and database files. A
    // workbook that cannot be read raises "Incorrect XLS file", any other
    // file that cannot be read or written EExGridError; the grid stays as it was.
    // The sheet names in order; the caller owns the list.
    std::unique_ptr<TStringList> GetXLSSheets(const String& FileName);
    // The active sheet's used range, or the named sheet's.
    void LoadFromXLS(const String& FileName);
    void LoadFromXLSSheet(const String& FileName, const String& SheetName);
    // A new workbook of one sheet holding the save range from A1 (no workbook
    // is ever open, so CreateNewSheet changes nothing).
    void SaveToXLS(const String& FileName, bool CreateNewSheet = true);
    // Into the sheet of that name (added when missing) of the workbook,
    // which is made when the file does not exist; other sheets and cells stay.
    void SaveToXLSSheet(const String& FileName, const String& SheetName);
    // The window text, then a table of the cells with their alignment: a new
    // document, or inserted after the bookmark's paragraph (else at the end).
    void SaveToDOC(const String& FileName, bool CreateNewDocument = true);
    void AppendToDoc(const String& FileName, const String& Bookmark);
    // The query's fields as columns from the first normal column, their
    // names in the last fixed row.
    void LoadFromMDBSQL(const String& FileName, const String& SQL);
    void LoadFromMDBTable(const String& FileName, const String& Table) {
        LoadFromMDBSQL(FileName, u"SELECT * FROM " + Table);
    }
    // A1 addresses: the used range's bounds (1-based; false when a part
    // does not read) and a column's letters.
    static bool XLSRangeBounds(const String& Address, int& FromCol, int& FromRow, int& ToCol, int& ToRow);
    static String XLSColumnLetters(int Col);

    // ----- drag and drop with other windows and programs (DragDropSettings)
    // Registers the grid's window as a drop target, or revokes it.
    void SetOleDropTargetRegistered(bool Value);
    bool OleDropTargetAssigned() const { return FOleDropTargetAssigned; }
    // The registered target (nil before OleDropTarget is first set).
    IDropTarget* GridDropTarget() const;
    // After loading: the registered target takes the accept settings.
    void DropTargetLoaded();
    // Starts the drag from cell (ACol, ARow) at client point (X, Y): a column
    // from a header cell with OleColumnDragDrop, else the selected cells as
    // text, the pointed cell's raw text as rich text and, with the grid's
    // own clipboard format allowed, the cells' stream. A move clears the
    // cells or removes the rows afterwards. The mouse handling calls it once
    // the pointer has left the press point with the button held.
    void OleDragStart(int ACol, int ARow, int X, int Y);
    // The mouse handling's part: a press on a cell arms the drag, and a move
    // with the left button held more than 3 pixels away starts it with
    // DragDropSettings.OleDropSource (true: the move was taken).
    void OleArm(int ACol, int ARow, int X, int Y);
    bool OleDragMove(int ACol, int ARow, int X, int Y, TShiftState Shift);
    // A column dragged from a list box (item AIndex of AList) that stands
    // for the hidden grid column ACol.
    void OleColumnDragStart(int ACol, int AIndex, TListBox* AList);
    // The selection of the last drag started from the grid.
    TGridRect DropSelection() const { return FDropSelection; }
    void SetDropSelection(const TGridRect& Value) { FDropSelection = Value; }
    std::function<void(TObject* Sender, int ARow, int ACol, const String& Data, bool& Allow)> OnOleDrag;
    std::function<void(TObject* Sender, int ARow, int ACol)> OnOleDragStart;
    std::function<void(TObject* Sender, Cardinal OLEEffect)> OnOleDragStop;
    std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)> OnOleDragOver;
    std::function<void(TObject* Sender, int ARow, int ACol, const String& Data, bool& Allow)> OnOleDrop;
    std::function<void(TObject* Sender, int ARow, int ACol, const String& URL, bool& Allow)> OnOleDropURL;
    std::function<void(TObject* Sender, int ARow, int ACol, const String& FileName, bool& Allow)> OnOleDropFile;
    std::function<void(TObject* Sender, int ARow, int ACol, int DropCol)> OnOleDropCol;
    std::function<void(TObject* Sender, TGridRect ARect)> OnOleDropped;

    // ----- the clipboard: tab-separated text always; the private cell format
    // with Navigation.AllowFmtClipboard, one cell's rich text with
    // AllowRTFClipboard. Pastes write only inside the counts, growing first
    // where Navigation allows it.
    String GetRectAsText(TGridRect R, bool Disjunct);
    void CopyRectToClipboard(TGridRect R, bool Disjunct);
    void CopySelectionToClipboard();
    void CopyToClipBoard();
    void CutToClipboard();
    void CutSelectionToClipboard();
    // The HTML of the save range under "HTML Format", its cells as the text.
    void CopyToClipBoardAsHTML();
    // The count of values pasted; Rows and Cols report the extent.
    int PasteFromClipboardAt(int ACol, int ARow, int& Rows, int& Cols);
    // The count of fields processed.
    int PasteText(int ACol, int ARow, int& Rows, int& Cols, const String& Text);
    void PasteFromClipboard();
    // Fills a larger selection from a small clip (one value, a series, a repeat)
    // with Navigation.AllowSmartClipboard.
    void PasteSelectionFromClipboard();
    String GetSelectionAsText();
    void SetSelectionAsText(const String& Value);
    // The widest line's field count and the number of non-empty lines minus one.
    static void GetClipTextSize(const String& Text, int& Cols, int& Rows);
    void ExpandSelectionToMerged();
    TPoint ClipTopLeft() const { return FClipTopLeft; }
    TClipOperation ClipLastOp() const { return FClipLastOp; }
    // Where the rows marked by the last paste came from: the copied origin
    // for a clip of this grid, (-1, -1) for another's.
    TPoint PasteOrigin() const { return FPasteOrigin; }
    TClipboardPasteCellEvent OnClipboardBeforePasteCell;
    TClipboardAfterPasteCellEvent OnClipboardAfterPasteCell;
    TClipboardPasteCellEvent OnClipboardBeforePasteWideCell;
    TClipboardAfterPasteCellEvent OnClipboardAfterPasteWideCell;

private:
    void FileProgress(int Value, int& Last);
    // Characters of the longest line (split at CR) of any cell of the real column.
    int LongestLine(int ACol);
    void WriteASCII(const String& FileName, bool Unicode, bool Append);
    int SaveColumn(int ACol);
    void ReadCSVLines(const std::vector<std::u16string_view>& Lines, int MaxRows, bool Insert);
    void CellsLoaded();
    friend struct TXMLWalk;
    // Only inside the counts.
    void LoadXMLCell(int ACol, int ARow, const String& Value);
    bool FAppending = false;
    THTMLSettings FHTMLSettings;
    void WriteHTML(const String& FileName, bool Show, bool Unicode, bool Append);
    void LoadXLS(const String& FileName, const String* SheetName);
    // NewBook: a new workbook replaces the file whatever it held.
    void WriteXLS(const String& FileName, const String* SheetName, bool NewBook);
    // NewDocument: a new document replaces the file; otherwise the file's
    // document takes the grid at Bookmark (AppendToDoc) or at its start.
    void WriteDOC(const String& FileName, const String* Bookmark, bool NewDocument);
    friend class TGridDropTarget;
    friend class TGridDropSource;
    std::shared_ptr<TGridDropTarget> FGridDropTarget;
    bool FOleDropTargetAssigned = false;
    TGridRect FDropSelection{};
    int FOleDragCol = -1;
    int FOleDragIndex = -1;
    TListBox* FOleDragList = nullptr;
    TCustomForm* FMoveForm = nullptr;  // the drag's picture of the cells, while a drag runs
    bool FOleArmed = false;
    TPoint FOleDown{0, 0};
    // At most one sideways scroll per tick of the grid's timer.
    bool HorzScrollTick();
    // The column and row counts and writer's ID of a binary cell stream's header.
    void ReadBinHeader(TStream& Stream, int& Cols, int& Rows, int& ID);
    TGridRect SaveRange();
    bool ClipboardWritable(int ACol, int ARow);
    void MarkPastedRows(TPoint FromPoint, TGridRect R, TClipOperation Operation);
    bool SmartPut(int ACol, int ARow, String Value, bool First);
    void SmartSeries(const TGridRect& S, int N);
    TPoint FClipTopLeft{0, 0};
    TClipOperation FClipLastOp = coCopy;
    TPoint FPasteOrigin{-1, -1};
    TClipOperation FPasteOperation = coCopy;
    bool FPasteAll = false;
};
