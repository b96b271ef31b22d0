#pragma once
// The option objects of the grid's data tools (sorting, filtering, footer,
// grouping, drag and drop, balloons) that the grid creates with itself, and
// the data-tools object the grid forwards its data-tool operations to. The
// base object answers as a grid without data tools: no nodes, no filter,
// nothing sorted, footers invisible, no balloon window, sizes not saved.

#include "grid/foundation/BaseGrid.h"
#include "grid/foundation/GridOptions.h"

#include "framework/Classes.h"
#include "framework/Components.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/StdCtrls.h"

#include <functional>
#include <memory>
#include <vector>

class TExStringGrid;

// Accessors of a setting whose setter only stores.
#define DATA_TOOL_SETTING(Type, Name, Default)      \
public:                                             \
    Type Name() const { return F##Name; }           \
    void Set##Name(Type Value) { F##Name = Value; } \
                                                    \
private:                                            \
    Type F##Name = Default;

// A header glyph its settings own: copying the settings copies the picture.
class TSortGlyph {
public:
    TSortGlyph() : FBitmap(std::make_unique<TBitmap>()) {}
    TSortGlyph(const TSortGlyph& Source) : TSortGlyph() { FBitmap->Assign(Source.FBitmap.get()); }
    TSortGlyph& operator=(const TSortGlyph& Source) {
        if (this != &Source) FBitmap->Assign(Source.FBitmap.get());
        return *this;
    }
    TBitmap& Bitmap() const { return *FBitmap; }

private:
    std::unique_ptr<TBitmap> FBitmap;
};

// A glyph setting: the setter copies the picture and repaints the grid.
#define SORT_GLYPH_SETTING(Name)                             \
public:                                                      \
    TBitmap& Name() const { return F##Name.Bitmap(); }       \
    void Set##Name(const TBitmap* Value) {                   \
        F##Name.Bitmap().Assign(Value);                      \
        GlyphChanged();                                      \
    }                                                        \
                                                             \
private:                                                     \
    TSortGlyph F##Name;

// A colour of the sorted column's header: a change repaints the header row.
#define SORT_HEADER_COLOR(Name)          \
public:                                  \
    TColor Name() const { return F##Name; } \
    void Set##Name(TColor Value) {       \
        if (F##Name == Value) return;    \
        F##Name = Value;                 \
        HeaderChanged();                 \
    }                                    \
                                         \
private:                                 \
    TColor F##Name = clNone;

enum TSortDirection { sdAscending, sdDescending };
enum TSortBlankPosition { blFirst, blLast };
enum TIndexSortKey { ikShift, ikCtrl };

class TSortSettings : public TPersistent {
public:
    explicit TSortSettings(TExStringGrid* AGrid) : FGrid(AGrid) {}
    // Everything but SortOnVirtualCells and IgnoreCase.
    void Assign(const TPersistent* Source) override;
    // ----- text form and shortcuts of the sorting
    // "d3"/"u3", or "i;" and the sort index with IndexShow.
    String SaveToString() const;
    // Sorts by what it reads; "Invalid sort settings specifier" for one character.
    void LoadFromString(const String& Value);
    void Remove();
    void ToggleDirection();
    // -----
    bool Show() const { return FShow; }
    void SetShow(bool Value);
    int Row() const { return FRow; }
    // "Sort row should be smaller than number of fixed rows" at or past the fixed rows.
    void SetRow(int Value);
    DATA_TOOL_SETTING(bool, IndexShow, false)
    DATA_TOOL_SETTING(int, Column, -1)
    DATA_TOOL_SETTING(TSortDirection, Direction, sdAscending)
    DATA_TOOL_SETTING(TSortDirection, InitSortDirection, sdAscending)
    DATA_TOOL_SETTING(bool, Full, true)
    DATA_TOOL_SETTING(bool, SingleColumn, false)
    DATA_TOOL_SETTING(bool, IgnoreBlanks, false)
    DATA_TOOL_SETTING(TSortBlankPosition, BlankPos, blFirst)
    DATA_TOOL_SETTING(bool, AutoFormat, true)
    DATA_TOOL_SETTING(bool, IgnoreCase, false)
    DATA_TOOL_SETTING(bool, SortOnVirtualCells, true)
    DATA_TOOL_SETTING(bool, NormalCellsOnly, false)
    DATA_TOOL_SETTING(bool, FixedCols, false)
    DATA_TOOL_SETTING(bool, UndoSort, false)
    DATA_TOOL_SETTING(bool, AutoColumnMerge, false)
    DATA_TOOL_SETTING(bool, AutoSortForGrouping, true)
    DATA_TOOL_SETTING(TIndexSortKey, IndexSortKey, ikShift)
    DATA_TOOL_SETTING(TColor, IndexColor, TColor(0xFFFF))
    SORT_HEADER_COLOR(HeaderColor)
    SORT_HEADER_COLOR(HeaderColorTo)
    SORT_HEADER_COLOR(HeaderMirrorColor)
    SORT_HEADER_COLOR(HeaderMirrorColorTo)
    SORT_GLYPH_SETTING(UpGlyph)
    SORT_GLYPH_SETTING(DownGlyph)
    SORT_GLYPH_SETTING(IndexUpGlyph)
    SORT_GLYPH_SETTING(IndexDownGlyph)

private:
    void GlyphChanged();
    // Repaints the last fixed row, where the sorted column's header is.
    void HeaderChanged();
    TExStringGrid* FGrid;
    bool FShow = false;
    int FRow = 0;
};

enum TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
using TCalcFooterEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;

class TFloatingFooter : public TPersistent {
public:
    explicit TFloatingFooter(TExStringGrid* AGrid);
    void Assign(const TPersistent* Source) override;
    // ----- setters with effects: the grid's fixed footer row and its hidden last row follow them
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle Value);
    // -----
    DATA_TOOL_SETTING(TColor, Color, clBtnFace)
    DATA_TOOL_SETTING(int, Column, 0)
    DATA_TOOL_SETTING(String, CustomTemplate, String())
    DATA_TOOL_SETTING(TColor, BorderColor, clNone)
    DATA_TOOL_SETTING(bool, ShowHint, false)
    DATA_TOOL_SETTING(bool, CalculateHiddenRows, true)
    DATA_TOOL_SETTING(int, Height, 22)
    DATA_TOOL_SETTING(bool, EnableCalculation, true)
public:
    // Kept in the cell properties of the footer cell (ACol, RowCount - 1).
    TColumnCalcType ColumnCalc(int ACol) const;
    void SetColumnCalc(int ACol, TColumnCalcType Value);
    TCalcFooterEvent OnCalcFooter;

private:
    TExStringGrid* FGrid;
    bool FVisible = false;
    TFooterStyle FFooterStyle = fsFixedLastRow;
};

class TBalloonSettings : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    bool Enable() const { return FEnable; }
    // Stores and tells the grid, which creates or drops its balloon window.
    void SetEnable(bool Value);
    DATA_TOOL_SETTING(TColor, BackgroundColor, clNone)
    DATA_TOOL_SETTING(TColor, TextColor, clNone)
    DATA_TOOL_SETTING(int, InitialDelay, -1)
    DATA_TOOL_SETTING(int, ReshowDelay, -1)
    DATA_TOOL_SETTING(int, AutoHideDelay, -1)
    DATA_TOOL_SETTING(Byte, Transparency, 0)
public:
    TNotifyEvent OnEnableChange;

private:
    bool FEnable = false;
};

enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow };
enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };
enum TFilterMethod { fmExpression, fmLiteral };

class TFilterData : public TCollectionItem {
public:
    explicit TFilterData(TCollection* Collection) : TCollectionItem(Collection) {}
    void Assign(const TPersistent* Source) override;
    DATA_TOOL_SETTING(int, Column, 0)
    DATA_TOOL_SETTING(String, Condition, String())
    DATA_TOOL_SETTING(bool, CaseSensitive, true)
    DATA_TOOL_SETTING(TFilterCells, Data, fcVirtual)
    DATA_TOOL_SETTING(String, Prefix, String())
    DATA_TOOL_SETTING(String, Suffix, String())
    DATA_TOOL_SETTING(TFilterOperation, Operation, foSHORT)
    DATA_TOOL_SETTING(TFilterMethod, Method, fmExpression)
};

// The grid's filter conditions.
class TFilter : public TCollection {
public:
    explicit TFilter(TExStringGrid* AGrid);
    TFilterData* Items(int Index) const { return ItemsAs<TFilterData>(Index); }
    // The first gets foNONE, the later ones foAND.
    TFilterData* Add();
    // The entry of a column, added when missing.
    TFilterData* GetColFilter(int Col);
    bool HasFilter(int Col) const;
    // ----- Deletes every item of the column.
    void RemoveColumnFilter(int Col);
    String ClassName() const override { return u"TFilter"; }
};

class TGrouping : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    DATA_TOOL_SETTING(bool, MergeHeader, false)
    DATA_TOOL_SETTING(bool, MergeSummary, false)
    DATA_TOOL_SETTING(bool, Summary, false)
    DATA_TOOL_SETTING(TColor, HeaderColor, clNone)
    DATA_TOOL_SETTING(TColor, HeaderColorTo, clNone)
    DATA_TOOL_SETTING(TColor, HeaderTextColor, clNone)
    DATA_TOOL_SETTING(TColor, SummaryColor, clNone)
    DATA_TOOL_SETTING(TColor, SummaryColorTo, clNone)
    DATA_TOOL_SETTING(TColor, SummaryTextColor, clNone)
    DATA_TOOL_SETTING(bool, HeaderUnderline, false)
    DATA_TOOL_SETTING(TColor, HeaderLineColor, clBlue)
    DATA_TOOL_SETTING(int, HeaderLineWidth, 2)
    DATA_TOOL_SETTING(bool, SummaryLine, false)
    DATA_TOOL_SETTING(TColor, SummaryLineColor, clBlue)
    DATA_TOOL_SETTING(int, SummaryLineWidth, 2)
    DATA_TOOL_SETTING(bool, ShowGroupCount, false)
    DATA_TOOL_SETTING(String, GroupCountFormat, String())
    DATA_TOOL_SETTING(bool, AutoSelectGroup, false)
    DATA_TOOL_SETTING(bool, AutoCheckGroup, false)
};

class TDragDropSettings : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    // Rich text offered and taken by every grid (DropRTFEnabled follows).
    bool OleDropRTF() const { return FOleDropRTF; }
    void SetOleDropRTF(bool Value);
    // The grid's window takes drops while set.
    bool OleDropTarget() const { return FOleDropTarget; }
    void SetOleDropTarget(bool Value);
    // The grid these settings belong to (set by the grid).
    TExStringGrid* Grid = nullptr;
    DATA_TOOL_SETTING(bool, OleAcceptText, true)
    DATA_TOOL_SETTING(bool, OleEntireRows, false)
    DATA_TOOL_SETTING(bool, OleDropSource, false)
    DATA_TOOL_SETTING(bool, OleRemoveRows, false)
    DATA_TOOL_SETTING(bool, OleAcceptFiles, true)
    DATA_TOOL_SETTING(bool, OleAcceptURLs, true)
    DATA_TOOL_SETTING(bool, OleInsertRows, false)
    DATA_TOOL_SETTING(bool, OleAppendRows, false)
    DATA_TOOL_SETTING(bool, OleCopyAlways, false)
    DATA_TOOL_SETTING(bool, OleColumnDragDrop, false)
    DATA_TOOL_SETTING(bool, OleColumnReorder, false)
    DATA_TOOL_SETTING(bool, OleColumnsOnly, false)
    DATA_TOOL_SETTING(bool, ShowCells, true)
private:
    bool FOleDropRTF = false;
    bool FOleDropTarget = false;
};

// The look and size of a column's filter list.
class TFilterDropDown : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    DATA_TOOL_SETTING(bool, AutoSize, false)
    DATA_TOOL_SETTING(TColor, Color, clWindow)
    DATA_TOOL_SETTING(bool, ColumnWidth, false)
    DATA_TOOL_SETTING(int, Width, 150)
    DATA_TOOL_SETTING(int, Height, 150)
public:
    TFont& Font() { return FFont; }
    // The button pictures of a column without and with a filter item; an
    // empty one shows the grid's own filter glyph.
    TBitmap& Glyph() { return FGlyph; }
    void SetGlyph(const TBitmap& Value) { FGlyph.Assign(&Value); }
    TBitmap& GlyphActive() { return FGlyphActive; }
    void SetGlyphActive(const TBitmap& Value) { FGlyphActive.Assign(&Value); }

private:
    TFont FFont;
    TBitmap FGlyph;
    TBitmap FGlyphActive;
};

#undef DATA_TOOL_SETTING

// The data tools of a grid. Every operation the grid forwards here sits
// behind a data-tool setting that is off by default; this base answers as
// a grid without data tools.
class TGridDataTools {
public:
    explicit TGridDataTools(TExStringGrid& AGrid) : FGrid(AGrid) {}
    virtual ~TGridDataTools() = default;

    virtual bool IsNode(int) { return false; }
    virtual bool IsSummary(int) { return false; }
    // The node is collapsed.
    virtual bool GetNodeState(int) { return false; }
    virtual int GetNodeSpan(int) { return 0; }
    virtual void RemoveAllNodes() {}
    virtual void ApplyFilter() {}
    virtual void RemoveFilter() {}
    virtual void QSort() {}
    virtual void QUnSort() {}
    virtual void CalcFooter(int) {}
    virtual void BalloonInit() {}
    virtual void BalloonDone() {}
    virtual bool HasBalloonWindow() { return false; }
    virtual void SaveColSizes() {}
    virtual void LoadColSizes() {}
    virtual int SortedRowIndex(int ARow) { return ARow; }
    virtual int UnSortedRowIndex(int ARow) { return ARow; }

    // ===== Sorting by header click: the base sorts nothing; InitSortXRef
    // resets the grid's cross-reference to where the rows stand now.
    virtual void QSortIndexed() {}
    virtual void QSortGroup() {}
    virtual void QSortGroupIndexed() {}
    virtual void InitSortXRef() {}
    // A floating picture of the cells of Rect for a column or row drag; nil: the grid shows its header button.
    virtual TCustomForm* SelectionToForm(const TGridRect&) { return nullptr; }
    // The filter lists of the grid's columns, a check list for several values; nil: no list to open.
    virtual TListBox* FilterDropList(bool Check) { (void)Check; return nullptr; }

protected:
    TExStringGrid& FGrid;
};
