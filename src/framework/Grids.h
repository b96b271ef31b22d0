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
    TObject* Object(int ACol, int ARow) const;
    // A negative index raises EInvalidGridOperation.
    void SetText(int ACol, int ARow, const String& Value);
    void SetObject(int ACol, int ARow, TObject* Value);

    void InsertRow(int ARow);
    void DeleteRow(int ARow);
    // The row at FromIndex goes to ToIndex; the ones between shift by one.
    void MoveRow(int FromIndex, int ToIndex);
    void InsertColumn(int ACol);
    void DeleteColumn(int ACol);
    void MoveColumn(int FromIndex, int ToIndex);
    // Empties every cell of rows from ARow on, or of columns from ACol on.
    void ClearRowsFrom(int ARow);
    void ClearColumnsFrom(int ACol);
    void Clear();

    // One past the last row that holds something.
    int RowExtent() const { return static_cast<int>(rows_.size()); }
    // The number of cell slots held (texts and objects of all rows in use).
    long long SlotsInUse() const;

private:
    struct Row {
        std::vector<String> texts;
        std::vector<TObject*> objects;
        bool Empty() const;
    };
    Row* RowAt(int ARow) const;
    Row& RowFor(int ARow);
    void Trim();
    std::vector<std::unique_ptr<Row>> rows_;
};
