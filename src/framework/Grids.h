#pragma once
// The framework's grids: a table of cells with fixed (header) rows and
// columns, a current cell with a selection, scrolling, sizing and moving of
// columns and rows by mouse, and one in-place text editor. TDrawGrid leaves
// the cells' content to its owner (OnDrawCell); TStringGrid keeps a text and
// an object per cell.
//
// Geometry (the classic rules): a cell's rectangle excludes the grid line
// drawn after it at its right and bottom; rectangles are right/bottom
// exclusive; the first scrolled column and row (LeftCol, TopRow) follow the
// fixed ones, and they never go so far that the last page is not full.
// Everything except painting works without a window, so grids and what is
// built on them can be driven headless.

#include "framework/Controls.h"
#include "framework/EditMask.h"
#include "framework/Forms.h"
#include "framework/Sets.h"
#include "framework/System.h"

#include <functional>
#include <memory>
#include <vector>

// A cell address (X the column, Y the row) and a rectangle of cells.
struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    TGridCoord TopLeft() const { return {Left, Top}; }
    TGridCoord BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

inline TGridRect GridRect(TGridCoord a, TGridCoord b) { return {a.X, a.Y, b.X, b.Y}; }
// The cell lies within the rectangle (which is taken as ordered).
inline bool GridRectContains(const TGridRect& r, int ACol, int ARow) {
    return ACol >= r.Left && ACol <= r.Right && ARow >= r.Top && ARow <= r.Bottom;
}

enum TGridOption {
    goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
    goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
    goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

enum TGridDrawStateValue { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateValue>;

// Which scroll bars a control shows (the memo of the standard controls uses it too).
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Wrong use of a grid: a fixed count not below its count, a negative cell
// address written.
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------
// The cell store of TStringGrid: a text and an object per cell, addressable
// for every row and column from 0 without an upper bound, so that columns a
// grid keeps beyond its displayed count (hidden ones) live in the same store.
// Only rows that hold something take memory, and a row only as many columns
// as its last used one. Counts of a grid do not cut the store: what lies
// beyond a shrunk count is there again when the count grows. Deleting a row
// or column removes its cells; inserting shifts the following ones.
class TGridCells {
public:
    TGridCells() = default;
    ~TGridCells();
    TGridCells(const TGridCells&) = delete;
    TGridCells& operator=(const TGridCells&) = delete;

    // Reading outside the store (negative indexes too) gives the empty text and nil.
    const String& Text(int ACol, int ARow) const;
    // The same text as a view that lives until the row is next changed; it
    // leaves a row filled from left to right as it is (Text turns its texts
    // into single Strings), so reading many cells once costs no allocation.
    std::u16string_view TextView(int ACol, int ARow) const;
    TObject* Object(int ACol, int ARow) const {
        const Row* r = RowAt(ARow);
        return !r || ACol < 0 || ACol >= static_cast<int>(r->objects.size()) ? nullptr : r->objects[size_t(ACol)];
    }
    // A negative index raises EInvalidGridOperation.
    void SetText(int ACol, int ARow, const String& Value);
    void SetObject(int ACol, int ARow, TObject* Value);

    void InsertRow(int ARow);
    void DeleteRow(int ARow);
    // The row at FromIndex goes to ToIndex; the ones between shift by one.
    void MoveRow(int FromIndex, int ToIndex);
    // Rows A and B change places, in constant time (sorting swaps rows).
    void SwapRows(int A, int B);
    void InsertColumn(int ACol);
    void DeleteColumn(int ACol);
    void MoveColumn(int FromIndex, int ToIndex);
    // Empties every cell of rows from ARow on, or of columns from ACol on.
    void ClearRowsFrom(int ARow);
    void ClearColumnsFrom(int ACol);
    void Clear();

    // One past the last row that holds something.
    int RowExtent() const { return static_cast<int>(rows_.size()); }
    // One past the last column of ARow that holds a text (0 for a row that holds none).
    int TextExtent(int ARow) const;
    // The number of cell slots held (texts and objects of all rows in use).
    long long SlotsInUse() const;

private:
    struct Row;

public:
    // A row taken out of the store whole, read as the store would read it.
    // Rows leaving a grid for good (hidden ones) move out this way instead
    // of being copied cell by cell and then freed.
    class TTakenRow {
    public:
        TTakenRow() = default;
        TTakenRow(TTakenRow&& Other) noexcept : row_(Other.row_) { Other.row_ = nullptr; }
        TTakenRow& operator=(TTakenRow&& Other) noexcept;
        TTakenRow(const TTakenRow&) = delete;
        TTakenRow& operator=(const TTakenRow&) = delete;
        ~TTakenRow();
        std::u16string_view TextView(int ACol) const;
        TObject* Object(int ACol) const;

    private:
        friend class TGridCells;
        explicit TTakenRow(Row* R) : row_(R) {}
        // The text of a row of the store or of a taken one: both read alike.
        // Inline in the store's source: reading a cell is its most frequent call.
        static inline std::u16string_view ViewOf(const Row* R, int ACol);
        Row* row_ = nullptr;
    };
    // Row ARow leaves the store with its cells; it is empty afterwards.
    TTakenRow TakeRow(int ARow);

private:
    struct Row {
        // A row filled from left to right keeps its texts in one buffer
        // (packed, with each cell's end in ends), sparing an allocation per
        // short text; the first other use turns them into single Strings
        // (texts), which readers get by reference.
        // The buffer is our own: a string would clear what it grows by
        // before each text is copied in.
        bool isPacked = true;
        std::unique_ptr<Char[]> packed;
        int packedLen = 0, packedCap = 0;
        std::vector<int> ends;
        std::vector<String> texts;
        std::vector<TObject*> objects;
        bool Empty() const;
        int TextCount() const { return static_cast<int>(isPacked ? ends.size() : texts.size()); }
        std::u16string_view Packed() const { return {packed.get(), size_t(packedLen)}; }
        void Reserve(int Chars);
        void AppendPacked(const String& Text);
        void Unpack();
    };
    Row* RowAt(int ARow) const {
        return ARow < 0 || ARow >= static_cast<int>(rows_.size()) ? nullptr : rows_[ARow];
    }
    Row& RowFor(int ARow);
    // SetText for what is not the next cell of a row filled from left to right.
    void SetTextElsewhere(int ACol, int ARow, const String& Value);
    Row& NewRow(int ARow);
    void Trim();
    void FreeRow(int ARow);
    // Owned rows, nil for a row that holds nothing; plain pointers so that
    // deleting and moving rows moves memory in one block.
    std::vector<Row*> rows_;
};

// ---------------------------------------------------------------------------
// Where the cells lie along one axis for the current scroll position.
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;   // width of the line after each cell (0 without lines)
    int FixedBoundary = 0;        // end of the fixed cells, their lines included
    int GridBoundary = 0;         // end of the last (maybe partly) visible cell
    int GridExtent = 0;           // the client extent
    int LastFullVisibleCell = 0;  // the last cell wholly in view (at least FirstGridCell)
    int FullVisBoundary = 0;      // end of that cell, its line included
    int FixedCellCount = 0;
    int FirstGridCell = 0;        // LeftCol or TopRow
    int GridCellCount = 0;
    std::function<int(int)> GetExtent;
};

struct TGridDrawInfo {
    TGridAxisDrawInfo Horz;
    TGridAxisDrawInfo Vert;
};

class TCustomGrid;

// The in-place text editor of a grid: a small edit drawn through the canvas,
// owned by the grid and shown over the current cell. Navigation keys it does
// not use itself go to the grid, every typed character goes through the
// grid's KeyPress first, and every change of its text is written into the
// cell at once.
class TInplaceEdit : public TCustomControl {
public:
    explicit TInplaceEdit(TComponent* AOwner);
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return FGrid; }

    // With an edit mask: the text as the mask stores it (see TEditMask); the
    // edit itself shows EditText, one character per mask position.
    String Text() const override;
    void SetText(const String& Value) override;
    const String& EditText() const { return FText; }
    int SelStart() const { return FSelStart; }
    int SelLength() const { return FSelLength; }
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    String SelText() const;
    void SetSelText(const String& Value);
    void SelectAll();
    // Nothing selected, the caret at the end.
    void Deselect();

    // 0: no limit. Typing and pasting stop at the limit; setting Text does not.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value) { FMaxLength = Value; }
    // Non-empty: typing, deleting and pasting keep to the mask (typing
    // overwrites, deleting blanks, MaxLength does not apply), and the text
    // is reformatted for it.
    const String& EditMask() const { return FMask.Mask(); }
    void SetEditMask(const String& Value);
    // Raises EDBEditError when the edit was modified and its entry does not
    // fill the mask; the caret goes to the first position missing.
    void ValidateEdit();

    // The selection to and from the clipboard. A password edit gives nothing
    // away; cutting and pasting change the text as typing does (the mask,
    // MaxLength, and the grid's leave to modify).
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // Non-zero: every character is shown as this one.
    Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(Char Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // A line feed (Ctrl+Enter) that reaches the edit starts a new line.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }

    // The rectangle the text is laid out in, client coordinates.
    TRect FormatRect() const { return FFormatRect; }
    void SetFormatRect(const TRect& R);
    // The text position nearest to a client point (the caret under the mouse).
    int CharFromPos(TPoint P);
    // The client position (left, top) where the character at Pos is shown.
    TPoint PosFromChar(int Pos);

    // Places the edit over Loc (client coordinates of the grid) and shows it;
    // an empty rectangle hides it. It takes the focus when the grid has it.
    void Move(const TRect& Loc);
    // Refills text, mask and limit from the grid for its current cell.
    virtual void UpdateContents();
    void SetVisible(bool Value) override;

    TNotifyEvent OnChange;

protected:
    friend class TCustomGrid;
    // The text changed (typed or set): OnChange, then the grid writes it into the cell.
    virtual void Change();
    void BoundsChanged() override;
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMChar(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    // The clipboard commands (WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR) that its
    // keys send, and EM_CHARFROMPOS.
    void Dispatch(TMessage& Message) override;
    // Inserts typed text in place of the selection (honouring MaxLength).
    void TypeText(const String& S);
    void SetGrid(TCustomGrid* Value) { FGrid = Value; }
    // Moves the caret; Extend keeps the other end of the selection.
    void SetCaret(int Pos, bool Extend);
    // Start and length of each shown line: the text's own lines, broken
    // further at the format width with WordWrap.
    std::vector<std::pair<int, int>> Lines();

private:
    String DisplayText() const;
    // Where a line of this width starts in the format rectangle, by the alignment.
    int LineLeft(int LineWidth) const;
    void DeleteSelection();
    // The text typed or pasted in place of the selection, with a mask.
    bool InsertMasked(const String& S, bool Pasting);
    // Blanks the mask positions in [Start, Start + Count); the caret goes to Start.
    void ClearMasked(int Start, int Count);
    void Modify();
    bool CanModify();

    TCustomGrid* FGrid = nullptr;
    int FSelStart = 0;
    int FSelLength = 0;
    int FAnchorPos = 0;
    int FMaxLength = 0;
    TEditMask FMask;
    Char FPasswordChar = 0;
    TAlignment FAlignment = taLeftJustify;
    bool FWordWrap = false;
    bool FWantReturns = true;
    bool FModified = false;
    bool FFilling = false;
    TRect FFormatRect;
};

// ---------------------------------------------------------------------------
// The grid control.
class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;

    // Counts. A count below 1 becomes 1; a count at or below the fixed count
    // lowers the fixed count. A fixed count not below its count is refused.
    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);

    // Sizes in pixels, grid lines excluded. Setting a default gives every
    // column (row) that size; new columns and rows get the default.
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    // Column Index is a stop of Tab with goTabs (all are, unless changed).
    bool TabStops(int Index) const;
    void SetTabStops(int Index, bool Value);

    // The current cell. Setting asks SelectCell first and scrolls the cell into view.
    int Col() const { return FCurrent.X; }
    void SetCol(int Value);
    int Row() const { return FCurrent.Y; }
    void SetRow(int Value);
    // Setting puts the anchor at (Left, Top) and the current cell at
    // (Right, Bottom) as given; reading gives the ordered rectangle of the two.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& Value);
    TGridCoord Anchor() const { return FAnchor; }

    // First scrolled column and row, kept so that the last page is full.
    int LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopLeft.Y; }
    // PastLastPage lets the view scroll on until the last row is the top
    // one, for a grid that covers its bottom rows with a panel of its own.
    void SetTopRow(int Value, bool PastLastPage = false);
    TGridCoord TopLeft() const { return FTopLeft; }
    // Scrolled columns (rows) wholly in view, at least one.
    int VisibleColCount() const;
    int VisibleRowCount() const;

    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    TGridState GridState() const { return FGridState; }
    void SetGridState(TGridState Value) { FGridState = Value; }

    // The scroll bars are the window's own (see Windows.h), at the right and
    // bottom edges inside the border, each shown when its style allows it and
    // the scrolled rows (columns) do not all fit; they take their room from
    // the client area and talk to the grid through WM_VSCROLL / WM_HSCROLL.
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Their thickness at 96 dpi (the system metrics decide).
    static constexpr int ScrollBarSize = 17;
    bool ScrollBarShown(int Bar) const;
    TRect ClientRect() const override;
    // The thumb position, 0..127 spread over the scrollable rows (SB_VERT) or columns (SB_HORZ).
    int ScrollPos(int Bar) const { return Bar == SB_HORZ ? FScrollPosH : FScrollPosV; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor Value);
    // Off: cells get no background, no text and no focus rectangle from the
    // framework; DrawCell paints everything.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);

    // Client rectangle of a cell (grid line excluded, clipped to the client
    // area); empty for a cell out of view or out of the grid.
    //
    // Right to left (UseRightToLeftAlignment) the grid is laid out from the
    // right edge: column FixedCols - 1 stands at the right and the scrolled
    // ones follow leftwards. Paint mirrors the canvas (LAYOUT_RTL) so that
    // DrawCell gets the rectangle a left-to-right grid would give and draws
    // as ever; CellRect, MouseCoord and the mouse and key handling work in
    // the window's own coordinates, so CellRect gives the mirrored
    // rectangle. Left and Right keys move to the cell on their side of the
    // screen, and the horizontal bar's thumb starts at its right end.
    TRect CellRect(int ACol, int ARow);
    // The cell under a client point; (-1, -1) when there is none.
    TGridCoord MouseCoord(int X, int Y);
    // A client x as the left-to-right layout has it (the pixel's mirror right to left).
    int LogicalX(int X) const { return UseRightToLeftAlignment() ? ClientWidth() - 1 - X : X; }
    void MouseToCell(int X, int Y, int& ACol, int& ARow);
    void CalcDrawInfo(TGridDrawInfo& DrawInfo);

    // Makes a cell current (through SelectCell), the anchor too when
    // MoveAnchor, scrolled into view when Show. Refused: nothing changes.
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
    // Scrolls so that the cell is wholly in view.
    void ScrollInView(int ACol, int ARow);
    void ShowEditor();
    // Clears EditorMode, writes the editor's text into its cell, hides it.
    void HideEditor();
    // The editor forgets its cell and is refilled for the current one.
    void InvalidateEditor();
    void UpdateEditor() { UpdateEdit(); }

    // Structure: the texts and objects of a string grid move with their
    // column or row, as do widths, heights and the current cell. The order
    // of a move, which grids built on this one rely on:
    //   1. the widths and tab stops (MoveRow: the heights) of the displayed
    //      columns, the current cell, the anchor and the editor's cell move;
    //   2. ColumnMoved (RowMoved) runs: TStringGrid's moves the texts and
    //      objects, then TDrawGrid's fires OnColumnMoved (OnRowMoved) once;
    //   3. ColWidthsChanged (RowHeightsChanged), the editor is updated.
    // So an override of ColumnMoved finds the sizes and the current cell
    // already moved and must not move them again; it may call the inherited
    // one with other indexes (columns kept beyond ColCount) to move texts.
    // The mouse moves columns and rows through these, so an override of
    // them sees those moves too.
    virtual void MoveColumn(int FromIndex, int ToIndex);
    virtual void MoveRow(int FromIndex, int ToIndex);
    virtual void DeleteColumn(int ACol);
    virtual void DeleteRow(int ARow);
    virtual void InsertColumn(int ACol);
    virtual void InsertRow(int ARow);

    // Repainting; nothing happens before the window exists.
    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGridRect(const TGridRect& ARect);
    void InvalidateGrid();

    void Dispatch(TMessage& Message) override;

protected:
    friend class TInplaceEdit;

    // A bar (SB_VERT, SB_HORZ) shown even while its rows or columns all fit.
    virtual bool ScrollBarKept(int) const { return false; }
    // A bar (SB_VERT, SB_HORZ) left hidden even while its rows or columns do
    // not fit; a kept bar shows all the same.
    virtual bool ScrollBarHidden(int) const { return false; }

    // Asked before the current cell moves, for every cause; false keeps it.
    virtual bool SelectCell(int ACol, int ARow);
    // Whether the editor is to show now (asked on every editor update).
    virtual bool CanEditShow();
    virtual bool CanEditAcceptKey(Char Key);
    virtual bool CanEditModify();
    virtual TInplaceEdit* CreateEditor();
    virtual String GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const String& Value);
    virtual String GetEditMask(int ACol, int ARow);
    virtual int GetEditLimit();
    // Once per visible cell, fixed cells included, from Paint.
    virtual void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) = 0;
    void Paint() override;
    virtual void TopLeftChanged();
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    // After a column (row) moved, with sizes and current cell already in
    // their new places: a string grid moves its cells here (see MoveColumn).
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    // Whether the point lies on a column border in the fixed rows (or a row
    // border in the fixed columns) that can be dragged.
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                 TGridDrawInfo& FixedInfo);
    // The fonts and sizes scale by M/D.
    virtual void ChangeScale(int M, int D);

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void DoEnter() override;
    void DoExit() override;
    void Resize() override;
    void CreateWnd() override;

    void WMChar(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMTimer(TWMTimer& Message) override;
    void WMHScroll(TWMScroll& Message) override;
    void WMVScroll(TWMScroll& Message) override;
    void WMCancelMode(TMessage& Message) override;
    void WMSetCursor(TMessage& Message) override;
    // The thumb and the editor follow a change of direction.
    void CMBiDiModeChanged(TMessage& Message) override;

    // The editor update protocol (see ShowEditor).
    void UpdateEdit();
    void HideEdit();
    // Writes the editor's text into the cell it stands on.
    void UpdateText();
    // Opens the editor and hands it Ch as its first input.
    void ShowEditorChar(Char Ch);
    // Makes a cell current as the keyboard does (then updates the editor, clicks).
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    // The grid or its editor has the focus of its form.
    bool IsActiveControl();
    void MoveTopLeft(int ALeft, int ATop);
    TGridCoord CalcMaxTopLeft(TGridCoord Coord, const TGridDrawInfo& DrawInfo) const;
    void CalcFixedInfo(TGridDrawInfo& DrawInfo);
    void CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int UseWidth, int UseHeight);
    void UpdateScrollPos();
    // The cell's rectangle as Paint hands it to DrawCell (before mirroring).
    TRect LayoutCellRect(int ACol, int ARow);
    TGridDrawState CellDrawState(int ACol, int ARow, const TGridRect& Sel, bool HasFocus) const;

    int FSizingIndex = -1;
    int FSizingPos = 0;
    int FSizingOfs = 0;
    int FMoveIndex = -1;
    int FMovePos = -1;
    int FEditUpdate = 0;  // while > 0 a change of the current cell's text does not refill the editor

private:
    void ChangeSize(int NewColCount, int NewRowCount);
    void ApplyBorder();
    // Shows or hides the window's bars as the rows and columns need them.
    void SyncScrollBars() const;
    int BarPos(int Bar) const;
    // The thumbs at the scroll position.
    void SetScrollBarPositions();
    bool HandleScrollBarMouse(TMessage& Message);
    void Initialize();
    void MoveAnchorTo(TGridCoord NewAnchor);
    void ModifyScrollBar(int Bar, int ScrollCode, int Pos);
    void ClampTopLeft();
    bool FixedLinesVisible(bool Horz) const;

    int FColCount = 5;
    int FRowCount = 5;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    std::vector<char> FTabStops;
    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TGridState FGridState = gsNormal;
    bool FEditorMode = false;
    TInplaceEdit* FInplaceEdit = nullptr;
    int FInplaceCol = -1;
    int FInplaceRow = -1;
    TScrollStyle FScrollBars = ssBoth;
    int FScrollPosH = 0;
    int FScrollPosV = 0;
    TFormBorderStyle FBorderStyle = bsSingle;
    bool FCtl3D = true;
    TColor FFixedColor = clBtnFace;
    bool FDefaultDrawing = true;
    bool FTimerRunning = false;
};

// ---------------------------------------------------------------------------
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// A grid whose owner paints the cells (OnDrawCell) and answers the editor.
class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;

protected:
    bool SelectCell(int ACol, int ARow) override;
    String GetEditMask(int ACol, int ARow) override;
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void TopLeftChanged() override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
};

// A grid of texts with an object per cell. Cells are addressable beyond
// ColCount and RowCount (see TGridCells). The objects are not owned.
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner) : TDrawGrid(AOwner) {}

    const String& Cells(int ACol, int ARow) const { return FData.Text(ACol, ARow); }
    // Repaints the cell; writing the current cell refills an open editor.
    void SetCells(int ACol, int ARow, const String& Value);
    TObject* Objects(int ACol, int ARow) const { return FData.Object(ACol, ARow); }
    void SetObjects(int ACol, int ARow, TObject* Value);
    TGridCells& Data() { return FData; }

    void DeleteColumn(int ACol) override;
    void DeleteRow(int ARow) override;
    void InsertColumn(int ACol) override;
    void InsertRow(int ARow) override;

protected:
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    void DrawCell(int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;

private:
    void CellChanged(int ACol, int ARow);
    TGridCells FData;
};
