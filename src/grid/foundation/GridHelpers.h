#pragma once
// Small classes the grid and its data tools build on: integer lists that
// belong to a cell, the multi-column sort order with its text form,
// a picture known by its file name, the list of controls placed in cells and
// a line cursor and builder over a list of text lines.

#include "framework/Classes.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Graphics.h"

#include <functional>
#include <memory>
#include <vector>

enum TArrowDirection { arrUp, arrDown, arrLeft, arrRight };

// The arrow that shows where a dragged column or row will land: a pop-up
// shaped by its region. arrLeft points right and arrRight left: the name
// tells the side of the target the arrow stands on.
class TArrowWindow : public TPanel {
public:
    // Lime green, a child component of Owner, hidden.
    TArrowWindow(TWinControl* AOwner, TArrowDirection ADir);
    static TArrowWindow* Init(TWinControl* AOwner, TArrowDirection ADir) { return new TArrowWindow(AOwner, ADir); }
    TArrowDirection Dir() const { return FDir; }
    // The outline for the direction, in window pixels.
    static std::vector<TPoint> ArrowPolygon(TArrowDirection ADir);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;

private:
    TArrowDirection FDir;
    TPoint Arrow[10] = {};
};

using TIntListChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;

// Whole numbers of one cell; a change reports the cell. Indexes out of the
// list raise EListError.
class TIntList : public TList {
public:
    TIntList(int ACol, int ARow) : FCol(ACol), FRow(ARow) {}

    int GetInteger(int Index) const { return static_cast<int>(reinterpret_cast<std::intptr_t>(Items(Index))); }
    void SetInteger(int Index, int Value);
    int Add(int Value);
    void Delete(int Index);
    // Removes the first equal entry; nothing when absent.
    void DeleteValue(int Value);
    // Inserts without reporting a change.
    void Insert(int Index, int Value);
    bool HasValue(int Value) const;
    // "3,-1,17"; written as comma text (commas and blanks separate, quotes
    // allowed), each item strictly a whole number (EConvertError otherwise,
    // the items before it stay).
    String StrValue() const;
    void SetStrValue(const String& Value);

    int Col() const { return FCol; }
    int Row() const { return FRow; }
    TIntListChangeEvent OnChange;

protected:
    void Changed();

private:
    int FCol;
    int FRow;
};

// Sort keys: bits 0 to 30 the column, bit 31 set for descending.
class TSortIndexList : public TIntList {
public:
    TSortIndexList() : TIntList(0, 0) {}
    void AddIndex(int ColumnIndex, bool Ascending);
    // The first entry of the column, -1 when absent.
    int FindIndex(int ColumnIndex) const;
    int GetSortColumns(int Index) const;
    // Keeps the entry's direction.
    void SetSortColumns(int Index, int Value);
    bool GetSortDirections(int Index) const;
    void SetSortDirections(int Index, bool Ascending);
    // Flips the direction of the column's first entry; nothing when absent.
    void ToggleIndex(int ColumnIndex);
    // "u3;d0;u12": "u" ascending or "d" descending, the column's low 16 bits.
    String SaveToString() const;
    // Entries shorter than two characters are skipped; the column is the
    // leading number of the rest; only "u" means ascending.
    void LoadFromString(const String& Value);
};

// A picture known by its file name and loaded only when needed.
class TFilePicture : public TPersistent {
public:
    const String& Filename() const { return FFilename; }
    // Reads the picture's size. A file that cannot be read raises the
    // framework's error; the name stays and the size keeps its old value.
    void SetFilename(const String& Value);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Stretched into R; nothing without a file name.
    void DrawPicture(TCanvas& Canvas, const TRect& R) const;
    // Name and size, without loading.
    void Assign(const TPersistent* Source) override;

protected:
    String ClassName() const override { return u"TFilePicture"; }

private:
    String FFilename;
    int FWidth = 0;
    int FHeight = 0;
};

// A control placed in a cell (not owned).
struct TControlItem {
    int X = 0;
    int Y = 0;
    TControl* Control = nullptr;
};

// The controls placed in cells; owns its items, not their controls.
class TControlList {
public:
    int Count() const { return int(FItems.size()); }
    void AddControl(int X, int Y, TControl* Control);
    // The first item of the cell, -1 when none.
    int ControlIndex(int X, int Y) const;
    TControlItem* GetControl(int Index) const;
    void RemoveControl(int Index);
    void Clear() { FItems.clear(); }
    // Whether a placed windowed control has the handle (asking creates its window).
    bool HasHandle(HWND Handle) const;

private:
    std::vector<std::unique_ptr<TControlItem>> FItems;
};

// Reads lines one after another and builds lines piece by piece.
class TFileStringList : public TStringList {
public:
    void Reset();
    bool Eof() const { return fp >= Count(); }
    // The next line (EListError past the end).
    void ReadLn(String& Line);
    // Appends to the pending line.
    void Write(const String& Text) { cache += Text; }
    // Adds the pending line followed by Text as a new last line.
    void WriteLn(const String& Text);

private:
    int fp = 0;
    String cache;
};
