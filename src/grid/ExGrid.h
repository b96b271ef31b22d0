#pragma once
// The grid control: a string grid over the base grid with fixed header rows
// and columns that can be kept, typed cell views, hidden columns and rows,
// structure operations, check boxes in cells, a repaint lock and the editing
// road (edit permission per cell, validation, the end-of-edit message).
// The column grid (ExCGrid.h) puts a collection of typed columns on top.
//
// Indexes: a real column counts hidden columns, a displayed one does not;
// likewise for rows. The base grid's cell access takes a real column and a
// displayed row.

#include "grid/ExGridTools.h"
#include "grid/ExgCombo.h"
#include "grid/GridDataTools.h"
#include "grid/foundation/BaseGrid.h"
#include "grid/foundation/CellIndicators.h"
#include "grid/foundation/DropDownLooks.h"
#include "grid/foundation/ExStyleIF.h"
#include "grid/foundation/GridHelpers.h"
#include "grid/foundation/GridOptions.h"
#include "grid/foundation/PictureContainer.h"

#include "framework/Classes.h"
#include "framework/DataTransfer.h"
#include "framework/DateUtils.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/StdCtrls.h"
#include "framework/Windows.h"

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <variant>
#include <vector>

class TExStringGrid;
class TExInplaceEdit;
class TEditLink;
class TGridCombo;
class THTMLHintWindow;
class TPictureContainer;
class TScrollControl;
class THeaderDragButton;
struct TMarkupDrawResult;

// Misuse of the grid's cell access and selection.
class EExGridError : public Exception {
public:
    using Exception::Exception;
};

// The kind of graphic a cell carries beside its text (streamed by ordinal).
enum TCellType {
    ctBitmap, ctIcon, ctNone, ctImageList, ctCheckBox, ctDataCheckBox, ctRotated, ctDataImage, ctNode, ctRadio,
    ctEmpty, ctImages, ctPicture, ctFilePicture, ctValue, ctProgress, ctComment, ctButton, ctBitButton,
    ctVirtCheckBox, ctRowCheckBox, ctProgressPie, ctSummary, ctRangeIndicator, ctXPProgress, ctInterface,
    ctScrollbar, ctRadioButton, ctBalloon, ctShape, ctRating, ctTriStateCheckBox, ctExpand
};
static_assert(ctExpand == 32, "the cell types are streamed by their ordinal");

// The kinds drawn as a check box, whatever holds their state.
inline bool IsCheckBoxKind(TCellType T) {
    return T == ctCheckBox || T == ctDataCheckBox || T == ctVirtCheckBox || T == ctRowCheckBox ||
           T == ctTriStateCheckBox;
}

// Where the full text of a cell too small for it is shown as hint.
enum THintShowLargeTextPos { hpCell, hpCursor };
// The icon of a cell's balloon (stored as one byte).
enum TBalloonIcon { biNone, biInfo, biWarning, biError };
// Which fixed cells show the mouse over them.
enum THoverFixedCells { hfNone, hfAll, hfFixedRows, hfFixedColumns };
// Directions of panning with the middle mouse button.
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
// The look of the scroll bars: the window's regular bars, flat bars (flat
// or encarta), or the slim bars of the metro look.
enum TScrollType { ssNormal, ssFlat, ssEncarta, ssMetro };
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
enum TScrollDirection { sdVertical, sdHorizontal };
// What a press at the mouse position would select.
enum TMouseSelectMode { msNormal, msColumn, msRow, msAll, msURL, msResize };
enum TGridLook { glStandard, glSoft, glClassic, glGPK, glXP, glListView, glVista, glWin7, glOffice2007, glCustom };
// The sides of a cell's border, as members of a TSet<int>.
enum TCellBorder { cbLeft, cbTop, cbRight, cbBottom };
enum TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
// The shown height and the whole height of a cell's scrolled text.
struct TScrollProp {
    int PageSize = 0;
    int Range = 0;
};
using TScrollCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, int ScrollPosition, int ScrollMin, int ScrollMax)>;
// The colour schemes of SetTheme.
enum TXPColorScheme { xpNone, xpBlue, xpGreen, xpGray, vistaAero };
// The look of check boxes and radio buttons in cells.
enum TGridControlStyle { csClassic, csFlat, csWinXP, csVintage, csGPK, csGlyph, csTheme };

// Settings of the controls drawn in cells.
struct TControlLook {
    TGridControlStyle ControlStyle = csTheme;
    int CheckSize = 15;
    int RadioSize = 10;
    bool CheckAlwaysActive = false;
    bool RadioAlwaysActive = false;
    int DropDownCount = 8;
    // Fixed cells carry a drop-down button at their right.
    bool FixedDropDownButton = false;
    // The widest a hint of the grid may be; 0 leaves the framework's.
    int HintMaxWidth = 0;
    // csGlyph's check-box and radio glyphs, and csVintage's tick colour.
    TBitmap CheckedGlyph, UnCheckedGlyph, RadioOnGlyph, RadioOffGlyph;
    TColor Color = clBlack;
    // The corner mark of comment cells; clNone shows none.
    TColor CommentColor = TColor(0x0000FF);
    // Progress bars: the frame and the inset.
    TColor ProgressBorderColor = clGray;
    int ProgressMarginX = 2;
    int ProgressMarginY = 2;
    // Buttons of cells and the always-visible drop-down and spin buttons.
    bool FlatButton = false;
    // Progress bars take the desktop theme's look where it has one.
    bool ProgressXP = false;
    bool DropDownAlwaysVisible = false;
    bool SpinButtonsAlwaysVisible = false;
    // Buttons in cells look and click as enabled even where the cell cannot be edited.
    bool NoDisabledButtonLook = false;
    // Check boxes and radio buttons never show their disabled look.
    bool NoDisabledCheckRadioLook = false;
    // The header and footer bars the drop-down cell editors take when they open.
    THeaderAppearance DropDownHeader{nullptr};
    TFooterAppearance DropDownFooter{nullptr};
    void SetDropDownHeader(const THeaderAppearance& Value) { DropDownHeader.Assign(&Value); }
    void SetDropDownFooter(const TFooterAppearance& Value) { DropDownFooter.Assign(&Value); }
    // The fixed-cell gradients. Read them here; set them through the setters,
    // which also hand them to the grid's painter.
    TColor FixedGradientFrom = clNone, FixedGradientTo = clNone;
    TColor FixedGradientMirrorFrom = clNone, FixedGradientMirrorTo = clNone;
    TColor FixedGradientHoverFrom = clGray, FixedGradientHoverTo = clWhite;
    TColor FixedGradientHoverMirrorFrom = clNone, FixedGradientHoverMirrorTo = clNone;
    TColor FixedGradientHoverBorder = clSilver;
    TColor FixedGradientDownFrom = clGray, FixedGradientDownTo = clSilver;
    TColor FixedGradientDownMirrorFrom = clNone, FixedGradientDownMirrorTo = clNone;
    TColor FixedGradientDownBorder = clGray;
    // From, To and the hover and down colours reach the grid unless clNone;
    // the mirror colours always.
    void SetFixedGradientFrom(TColor Value);
    void SetFixedGradientTo(TColor Value);
    void SetFixedGradientMirrorFrom(TColor Value);
    void SetFixedGradientMirrorTo(TColor Value);
    void SetFixedGradientHoverFrom(TColor Value);
    void SetFixedGradientHoverTo(TColor Value);
    void SetFixedGradientHoverMirrorFrom(TColor Value);
    void SetFixedGradientHoverMirrorTo(TColor Value);
    void SetFixedGradientHoverBorder(TColor Value);
    void SetFixedGradientDownFrom(TColor Value);
    void SetFixedGradientDownTo(TColor Value);
    void SetFixedGradientDownMirrorFrom(TColor Value);
    void SetFixedGradientDownMirrorTo(TColor Value);
    void SetFixedGradientDownBorder(TColor Value);
    // The grid whose painter takes the gradients; set by the grid.
    TExStringGrid* Grid = nullptr;
};

// The mix of colour A with B at weight W percent (each channel rounded half to even).
TColor MixColors(TColor A, TColor B, int W);

enum TProgressStyle { psXP, psClassic };

// The look of styled progress cells: level colours by the share done, the
// percentage and the frame. Every change is told through OnChange (the grid
// repaints); the completed and uncompleted colours are kept with the look.
class TGridProgressAppearance : public TPersistent {
public:
    explicit TGridProgressAppearance(TNotifyEvent AOnChange = nullptr) : OnChange(std::move(AOnChange)) {}
    // Copies every setting of another appearance, then tells the change.
    void Assign(const TPersistent* Source) override;
#define GRID_PROGRESS_SETTING(Type, Name)        \
    Type Name() const { return FValues.Name; }  \
    void Set##Name(Type Value) {                 \
        if (FValues.Name == Value) return;       \
        FValues.Name = Value;                    \
        Changed();                               \
    }
    GRID_PROGRESS_SETTING(TColor, CompleteColor)
    GRID_PROGRESS_SETTING(TColor, CompleteFontColor)
    GRID_PROGRESS_SETTING(TColor, UnCompleteColor)
    GRID_PROGRESS_SETTING(TColor, UnCompleteFontColor)
    GRID_PROGRESS_SETTING(TColor, Level0Color)
    GRID_PROGRESS_SETTING(TColor, Level0ColorTo)
    GRID_PROGRESS_SETTING(TColor, Level1Color)
    GRID_PROGRESS_SETTING(TColor, Level1ColorTo)
    GRID_PROGRESS_SETTING(TColor, Level2Color)
    GRID_PROGRESS_SETTING(TColor, Level2ColorTo)
    GRID_PROGRESS_SETTING(TColor, Level3Color)
    GRID_PROGRESS_SETTING(TColor, Level3ColorTo)
    GRID_PROGRESS_SETTING(int, Level1Perc)
    GRID_PROGRESS_SETTING(int, Level2Perc)
    GRID_PROGRESS_SETTING(TColor, BorderColor)
    GRID_PROGRESS_SETTING(bool, ShowBorder)
    GRID_PROGRESS_SETTING(bool, Stacked)
    GRID_PROGRESS_SETTING(bool, ShowPercentage)
    GRID_PROGRESS_SETTING(bool, CompletionSmooth)
    GRID_PROGRESS_SETTING(bool, ShowGradient)
    GRID_PROGRESS_SETTING(int, Steps)
    GRID_PROGRESS_SETTING(TProgressStyle, Style)
#undef GRID_PROGRESS_SETTING
    // What the styled progress painter draws with (font and vertical bar left to the caller).
    TProgressDrawInfo DrawInfo() const;
    TNotifyEvent OnChange;

private:
    struct TValues {
        TColor CompleteColor = TColor(0x0000FF);
        TColor CompleteFontColor = TColor(0xFF0000);
        TColor UnCompleteColor = clNone;  // the cell's brush
        TColor UnCompleteFontColor = clWindowText;
        TColor Level0Color = TColor(0x00FF00), Level0ColorTo = TColor(0xE1FFE1);
        TColor Level1Color = TColor(0x00FFFF), Level1ColorTo = TColor(0xCAFFFF);
        TColor Level2Color = TColor(0x53A9FF), Level2ColorTo = TColor(0xA8D3FF);
        TColor Level3Color = TColor(0x0000FF), Level3ColorTo = TColor(0xCACAFF);
        int Level1Perc = 70;
        int Level2Perc = 90;
        TColor BorderColor = clBlack;
        bool ShowBorder = false;
        bool Stacked = false;
        bool ShowPercentage = true;
        bool CompletionSmooth = true;
        bool ShowGradient = true;
        int Steps = 11;
        TProgressStyle Style = psXP;
    };
    void Changed() {
        if (OnChange) OnChange(this);
    }
    TValues FValues;
};

// An object that paints a cell itself; the grid keeps only a reference.
class IGridCellGraphic {
public:
    virtual ~IGridCellGraphic() = default;
    virtual void Draw(TCanvas& Canvas, const TRect& R, int ACol, int ARow, bool Selected, TExStringGrid* Grid) = 0;
    // The size it wants; 0 takes the whole cell.
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
};

// How a cell's picture is fitted to the cell.
enum TStretchMode { noStretch, Stretch, StretchWithAspectRatio, Shrink, ShrinkWithAspectRatio };
// Where a cell's graphic stands: at an edge, in the middle, before or after
// the text (which moves aside), or over the whole width or height.
enum TCellHAlign { haLeft, haRight, haCenter, haBeforeText, haAfterText, haFull };
enum TCellVAlign { vaTop, vaBottom, vaCenter, vaUnderText, vaAboveText, vaFull };

// The one graphic object a cell may carry. Only the kinds whose painting
// and state this grid knows get data here; the shared graphic of a column
// grid's data check boxes is one of these.
class TCellGraphic : public TCellGraphicBase {
public:
    TCellType CellType = ctEmpty;
    bool CellBoolean = false;
    bool CellTransparent = false;
    // 1: a check box or radio button that also carries a balloon.
    int CellAngle = 0;
    // ctImageList: the image of the grid's list; a balloon: its icon.
    int CellIndex = -1;
    // Where the graphic stands in the cell.
    TCellHAlign CellHAlign = haLeft;
    TCellVAlign CellVAlign = vaTop;
    // The balloon's title and text.
    std::vector<String> CellBalloon;
    // A comment: its text; a button: its caption; a progress bar: its format.
    String CellText;
    // By kind: a bitmap (owned when CellCreated) or a colour; progress bars
    // keep their bar colour here and the remaining colour in CellIcon.
    // Other kinds keep their object here: a picture, a radio group's options,
    // the image indexes of several images, an object that paints itself.
    std::variant<std::monostate, TColor, TBitmap*, TPicture*, TFilePicture*, TStringList*, TIntList*, IGridCellGraphic*>
        CellBitmap;
    std::variant<std::monostate, TColor, TIcon*> CellIcon;
    bool CellCreated = false;
    // Progress bars: minimum and maximum.
    int CellErrFrom = 0, CellErrLen = 0;
    // Buttons: where painting put the button in the cell, y * 65536 + x.
    double CellValue = 0;
    // An expand button: the cell shows its expanded height.
    bool CellExpanded = false;
    // A three-state box: its state.
    TCheckBoxState CellCheckBoxState = cbUnchecked;
    // A radio group: the option the keyboard chose last.
    int CellVar = 0;
    // The bitmap of CellBitmap, nil for a colour or nothing.
    TBitmap* Bitmap() const;
    // The object of that type in CellBitmap or CellIcon, nil when it holds another.
    template <class T> T* Object() const {
        if (const auto* b = std::get_if<T*>(&CellBitmap)) return *b;
        return nullptr;
    }
    TIcon* Icon() const;
    // The colour in CellBitmap or CellIcon, clNone when it holds none.
    TColor BitmapColor() const;
    TColor IconColor() const;
    // A picture's size fitted to an area of CW x RH (the padding taken once).
    TPoint GetPictureSize(int CW, int RH) const;
    // The size of a picture or file picture as it is.
    TPoint NaturalSize() const;
    // Frees a created bitmap and forgets the objects.
    void ReleaseObjects();
    ~TCellGraphic() override { ReleaseObjects(); }
};

// What painting reads of a cell's graphic: where it stands, its size, and
// whether the cell's text is drawn beside it.
struct TCellGraphicLayout {
    TCellGraphic* Graphic = nullptr;
    TCellHAlign HAlign = haLeft;
    TCellVAlign VAlign = vaTop;
    bool TextBeside = true;
    int Width = 0;
    int Height = 0;
};

// A hidden row while it is out of the grid: its cell texts with their
// objects by real column (Items), its height, its real index (for a row-list
// hiding its displayed index of then) and the hide level of a row-list hiding
// (0 for other hidings).
class TGridItem : public TCollectionItem {
public:
    explicit TGridItem(TCollection* Collection) : TCollectionItem(Collection) {}
    int Idx = 0;
    int Height = 0;
    int Level = 0;
    TStringList& Items() {
        Unpack();
        return FItems;
    }
    const TStringList& Items() const {
        Unpack();
        return FItems;
    }
    void SetItems(const TStringList& Value) { Items().Assign(Value); }
    // Empty and nil past the saved columns.
    String Text(int ACol) const { return ACol >= 0 && ACol < Items().Count() ? FItems[ACol] : String(); }
    TObject* Object(int ACol) const { return ACol >= 0 && ACol < Items().Count() ? FItems.Objects(ACol) : nullptr; }
    // Room for the columns 0 .. Count - 1.
    void Grow(int Count) {
        while (Items().Count() < Count) FItems.Add(String());
    }
    // Keeps the first Count cells of a row taken from the grid's store; they
    // become the string list when it is first asked for, so that hiding
    // many rows neither copies nor frees their cells.
    void TakeCells(TGridCells::TTakenRow&& Row, int Count);
    String DisplayName() const override { return u"TGridItem"; }

private:
    void Unpack() const;
    mutable TStringList FItems;
    mutable TGridCells::TTakenRow FRow;
    mutable int FRowCells = -1;  // the cells of FRow still to unpack; -1 when there is no row
};

// The hidden-row store: one TGridItem per hidden row.
class TGridItems : public TCollection {
public:
    TGridItems() : TCollection([](TCollection* C) { return new TGridItem(C); }) {}
    TGridItem& operator[](int Index) const { return *ItemsAs<TGridItem>(Index); }
    TGridItem* Add() { return static_cast<TGridItem*>(TCollection::Add()); }
    TGridItem* Insert(int Index) { return static_cast<TGridItem*>(TCollection::Insert(Index)); }
    bool Empty() const { return Count() == 0; }
    class Iterator {
    public:
        Iterator(const TGridItems* Owner, int Index) : FOwner(Owner), FIndex(Index) {}
        TGridItem& operator*() const { return (*FOwner)[FIndex]; }
        Iterator& operator++() {
            ++FIndex;
            return *this;
        }
        bool operator!=(const Iterator& Other) const { return FIndex != Other.FIndex; }

    private:
        const TGridItems* FOwner;
        int FIndex;
    };
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, Count()}; }
    String ClassName() const override { return u"TGridItems"; }
};

// Corrects and marks cell values on validation; the base leaves them as they are.
class TExStringGridCheck : public TComponent {
public:
    explicit TExStringGridCheck(TComponent* AOwner) : TComponent(AOwner) {}
    bool AutoCorrect = false;
    bool AutoMarkError = false;
    // ----- used by the grid's checking of ranges
    bool GotoCell = false;
    bool UseCorrect = false;
    bool UseMarkError = false;
    virtual void StartCheck() {}
    virtual void StopCheck() {}
    // -----
    virtual String Correct(TExStringGrid* Grid, int ACol, int ARow, const String& Value);
    virtual String MarkError(TExStringGrid* Grid, int ACol, int ARow, const String& Value);
};

using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TGetEditorTypeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;
using TColChangingEvent = std::function<void(TObject* Sender, int OldCol, int NewCol, bool& Allow)>;
using TCellChangingEvent =
    std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow)>;
using TRowChangedEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
using TClickCellEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TExpandClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool Expanded)>;
// Row first, as the grid reports its clicks.
using TRowColClickEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TCanClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TCellValidateEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Valid)>;
using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
using TGetCheckEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TCellsChangedEvent = std::function<void(TObject* Sender, TRect R)>;
using TEditChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
using TUnitChangedEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& NewUnit)>;
// The per-cell questions a handler may answer: row first for the fixed and
// password questions, column first for the button questions.
using TSelectionChanged = std::function<void(TObject* Sender, int ALeft, int ATop, int ARight, int ABottom)>;
using TIsFixedCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsFixed)>;
using TIsPasswordCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& IsPassword)>;
using THasComboEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasComboBox)>;
using THasSpinEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& HasSpinEdit)>;
using TCellCursorEvent = std::function<void(TObject* Sender, int ACol, int ARow, int X, int Y, TCursor& ACursor)>;
// A choice in the colour or image drop-down while it is open.
using TColorSelectEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor Color, const String& Value)>;
using TImageSelectEvent = std::function<void(TObject* Sender, int ACol, int ARow, int Index)>;
// The validation of a cell holding wide text: Value is the decoded text.
using TCellValidateWideEvent = TCellValidateEvent;
// Where an application fills a cell's combo items, spin limits or edit link before its editor opens.
using TGetEditorPropEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditLink* AEditLink)>;
using TComboChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex, const String& ASelection)>;
using TComboObjectChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex,
                                                   const String& ASelection, TObject* AObject)>;
// Row first; the column is a displayed one.
using TGridHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, String& hintstr)>;
// ARow: the row, or the column for horizontal scrolling.
using TScrollHintEvent = std::function<void(TObject* Sender, int ARow, String& hintstr)>;
using TColumnSizingEvent = std::function<void(TObject* Sender, int ACol, int ColumnSize)>;
using TRowSizingEvent = std::function<void(TObject* Sender, int ARow, int RowSize)>;
using TEndColumnSizeEvent = std::function<void(TObject* Sender, int ACol)>;
using TEndRowSizeEvent = std::function<void(TObject* Sender, int ARow)>;
using TColumnSizeEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using TRowSizeEvent = std::function<void(TObject* Sender, int ARow, bool& Allow)>;
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;

// The grid's own cursors: panning at rest (the eight directions follow,
// down, left, right, up, up-right, up-left, down-right, down-left), and the
// offers to select a row, a column or everything.
constexpr TCursor crGridPan = 8000;
constexpr TCursor crGridSelectRow = 8010, crGridSelectCol = 8011, crGridSelectAll = 8012;
// Makes the grid's cursors known to the screen (once).
void UseGridCursors();
// ===== Sorting, moving and range services: types

// The sort format of a column (streamed by ordinal).
enum TSortStyle {
    ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU, ssShortDateUS,
    ssCustom, ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox, ssDateTime,
    ssTime, ssAlphaNumeric, ssAlphaNumericNoCase
};
static_assert(ssAlphaNumericNoCase == 19, "the sort styles are streamed by their ordinal");

// What a cell compares by when the grid sorts, read once from the cell:
// a sort may keep one per row and swap them with the rows. Two keys of a
// column compare as CompareCells compares their cells (ssRaw hands the
// handler the rows the keys were read at).
struct TCellSortKey {
    TSortStyle Style = ssAutomatic;  // the column's format
    String Text;                     // as compared: the display or the stored text
    String Folded;                   // upper-cased, or without markup for ssHTML
    bool Box = false;                // a check box cell
    bool Checked = false;
    bool Number = false;             // reads as integer, float or scientific number
    bool DateLike = false;           // starts like a date or a time
    bool TimeLike = false;
    bool NumberBlank = false;        // empty once prefix, suffix and separators are out
    bool NumberValid = false;
    double NumberValue = 0;
    double DateValue = 0;
    double TimeValue = 0;
    std::intptr_t ImageKey = -1;
    int Col = 0;
    int Row = 0;
};

// How the cells of one column read as sort keys: the format DoGetFormat
// gives the column and the locale's separators, taken once for many cells.
struct TSortFormat {
    TSortStyle Style = ssAutomatic;
    String Prefix;
    String Suffix;
    Char DateSeparator = u'/';
    Char TimeSeparator = u':';
    Char DecimalSeparator = u'.';
    Char ThousandSeparator = u',';
};

// Told of every cell the grid selects.
class ITExStringGridSelect {
public:
    virtual ~ITExStringGridSelect() = default;
    virtual void SelectCell(int ACol, int ARow) = 0;
};

// Told of every rectangle of changed cells, after OnCellsChanged.
class TGridChangeNotifier : public TComponent {
public:
    explicit TGridChangeNotifier(TComponent* AOwner) : TComponent(AOwner) {}
    virtual void CellsChanged(TRect R) { (void)R; }
};

enum TDragScrollDirectionValue { dsdUp, dsdDown, dsdLeft, dsdRight };
using TDragScrollDirection = TSet<TDragScrollDirectionValue>;

// Scrolling while something is dragged near the grid's edges.
struct TDragScrollDelays {
    int InitialDelay = 1000;
    int RepeatDelay = 250;
};
struct TDragScrollMargins {
    int TopMargin = 50;
    int BottomMargin = 50;
    int LeftMargin = 50;
    int RightMargin = 50;
};
class TDragScrollOptions : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    bool Active = false;
    TDragScrollDelays Delays;
    TDragScrollMargins Margins;
};

using TCustomCompareEvent = std::function<void(TObject* Sender, const String& Str1, const String& Str2, int& Res)>;
using TRawCompareEvent = std::function<void(TObject* Sender, int ACol, int Row1, int Row2, int& Res)>;
using TGetFormatEvent =
    std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix)>;
using TCanSortEvent = std::function<void(TObject* Sender, int ACol, bool& DoSort)>;
using TClickSortEvent = std::function<void(TObject* Sender, int ACol)>;
// OnColumnMove / OnRowMove (the drag may start) and OnColumnMoving / OnRowMoving (the drop place is fine).
using TMoveAllowEvent = std::function<void(TObject* Sender, int Index, bool& Allow)>;
using TGetColumnFilterEvent = std::function<void(TObject* Sender, int Column, TStringList& Filter)>;
using TDragScrollEvent = std::function<void(TObject* Sender, int TopRow, int LeftCol,
                                            TDragScrollDirection& DragScrollDir, bool& CanScroll)>;
// The look of a cell: colours, gradient, alignment, number format, owner drawing.
using TGridColorEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush& ABrush, TFont& AFont)>;
using TGridGradientEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo, TColor& ColorMirror,
                       TColor& ColorMirrorTo, TCellGradientDirection& GD)>;
using TGridAlignEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign)>;
using TFloatFormatEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, bool& IsFloat, String& FloatFormat)>;
using TCustomCellDrawEvent = std::function<void(TObject* Sender, TCanvas& Canvas, int ACol, int ARow,
                                                TGridDrawState AState, TRect ARect, bool Printing)>;
using TCustomCellSizeEvent =
    std::function<void(TObject* Sender, TCanvas& Canvas, int ACol, int ARow, TPoint& ASize, bool Printing)>;
// Rows added, inserted and deleted by keys.
using TCanAddRowEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TCanInsertRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanInsert)>;
using TCanDeleteRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanDelete)>;
using TAutoRowEvent = std::function<void(TObject* Sender, int ARow)>;
// A paste into the text editor: the text may be changed or refused before, and is told after.
using TBeforeCellPasteEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Allow)>;
using TAfterCellPasteEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
// A column appended by the Enter advance.
using TAutoInsertColEvent = std::function<void(TObject* Sender, int ACol)>;
// Links in cell texts: pressed (AutoHandle false keeps the grid from following
// it), entered and left by the mouse.
using TAnchorClickEvent =
    std::function<void(TObject* Sender, int ARow, int ACol, const String& Anchor, bool& AutoHandle)>;
using TAnchorEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& Anchor)>;

// Registered once when the grid unit starts.
Cardinal WM_GRIDEDITDONE();
Cardinal WM_DTPSHIFTFOCUS();
CLIPFORMAT GridCellsClipboardFormat();
// The common-controls library is 4.70 or later: date and time editors store their values.
bool ComCtl470();

// While the user types in the text editor the column, or the row, grows to fit the text.
class TSizeWhileTyping : public TPersistent {
public:
    bool Height() const { return FHeight; }
    void SetHeight(bool Value) { FHeight = Value; }
    bool Width() const { return FWidth; }
    void SetWidth(bool Value) { FWidth = Value; }

private:
    bool FHeight = false;
    bool FWidth = false;
};

enum TColumnSizeLocation { clRegistry, clIniFile };
enum TAutoSizeRows { arAll, arNormal, arFixed };

// One column of the grid filling the rest of its client width.
class TColumnSize {
public:
    explicit TColumnSize(TExStringGrid* AGrid) : FGrid(AGrid) {}
    // The settings only; no stretch is applied.
    void Assign(const TColumnSize& Source);
    bool Stretch() const { return FStretch; }
    // Applies the stretch at once when the grid has a parent.
    void SetStretch(bool Value);
    // -1: the last column.
    int StretchColumn() const { return FStretchColumn; }
    void SetStretchColumn(int Value) { FStretchColumn = Value; }
    // Where the column widths are saved: the registry key or ini file, and the section.
    bool Save() const { return FSave; }
    void SetSave(bool Value) { FSave = Value; }
    const String& Key() const { return FKey; }
    void SetKey(const String& Value) { FKey = Value; }
    const String& Section() const { return FSection; }
    void SetSection(const String& Value) { FSection = Value; }
    TColumnSizeLocation Location() const { return FLocation; }
    void SetLocation(TColumnSizeLocation Value) { FLocation = Value; }
    // The columns follow the control's width in proportion to their widths
    // when the grid was loaded (the fixed columns kept with SynchNormalCellsOnly).
    bool SynchWithGrid() const { return FSynchWithGrid; }
    void SetSynchWithGrid(bool Value) { FSynchWithGrid = Value; }
    bool SynchNormalCellsOnly() const { return FSynchNormalCellsOnly; }
    void SetSynchNormalCellsOnly(bool Value) { FSynchNormalCellsOnly = Value; }
    // The rows a column's auto-size measures.
    TAutoSizeRows Rows() const { return FRows; }
    void SetRows(TAutoSizeRows Value) { FRows = Value; }

private:
    TExStringGrid* FGrid;
    bool FStretch = false;
    int FStretchColumn = -1;
    bool FSave = false;
    String FKey;
    String FSection;
    TColumnSizeLocation FLocation = clRegistry;
    bool FSynchWithGrid = false;
    bool FSynchNormalCellsOnly = false;
    TAutoSizeRows FRows = arAll;
};

// The marker of modified rows: a bar at the right of column 0.
class TShowModified : public TPersistent {
public:
    // Copies everything but OnChange.
    void Assign(const TPersistent* Source) override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // The grid repaints column 0 through it.
    TNotifyEvent OnChange;

private:
    bool FEnabled = false;
    TColor FColor = TColor(0x00FFFF);
};

using TRowDisjunctSelectEvent = std::function<void(TObject* Sender, int ARow, bool AState, bool& Allow)>;
using TRowDisjunctSelectedEvent = std::function<void(TObject* Sender, int ARow)>;

// True for the editor kinds edited in the grid's text editor.
bool IsTextEditorKind(TEditorType Kind);

class TExStringGrid : public TBaseGrid, public IGPKStyle, public IGPKTones {
public:
    explicit TExStringGrid(TComponent* AOwner);
    ~TExStringGrid() override;

    // ===== Lifecycle
    void Assign(const TPersistent* Source) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    virtual int GetVersionNr();
    virtual String GetVersionString();
    // The four numbers of the version joined by "."; writing it does nothing.
    String Version();
    bool IsLoaded() const { return FLoaded; }

    // ===== Dimensions and fixed cells
    void SetRowCount(int Value);
    void SetColCount(int Value);
    int FixedRows() const;
    void SetFixedRows(int Value);
    int FixedCols() const;
    void SetFixedCols(int Value);
    bool FixedRowAlways() const { return FFixedRowAlways; }
    void SetFixedRowAlways(bool Value) { FFixedRowAlways = Value; }
    bool FixedColAlways() const { return FFixedColAlways; }
    void SetFixedColAlways(bool Value) { FFixedColAlways = Value; }
    int FixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int Value);
    int FixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int Value);
    void SetDefaultRowHeight(int Value);
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int Value);
    int FixedColWidth() const { return ColWidths(0); }
    void SetFixedColWidth(int Value);
    // The current column and row as the grid's own properties: a synchronised
    // grid follows them (the framework's setters stay for the grid's inner moves).
    void SetColEx(int Value);
    void SetCol(int Value) { SetColEx(Value); }
    void SetRowEx(int Value);
    void SetRow(int Value) { SetRowEx(Value); }
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment Value);
    TVAlignment VAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment Value) { FVAlignment = Value; }
    void SetWordWrap(bool Value);
    // The limits of every auto-sized width and height: 0 or less is no
    // limit, and equal limits switch limiting off.
    int MinRowHeight() const { return FMinRowHeight; }
    void SetMinRowHeight(int Value) { FMinRowHeight = Value; }
    int MaxRowHeight() const { return FMaxRowHeight; }
    void SetMaxRowHeight(int Value) { FMaxRowHeight = Value; }
    int MinColWidth() const { return FMinColWidth; }
    void SetMinColWidth(int Value) { FMinColWidth = Value; }
    int MaxColWidth() const { return FMaxColWidth; }
    void SetMaxColWidth(int Value) { FMaxColWidth = Value; }
    int ClampColWidth(int Value) const;
    int ClampRowHeight(int Value) const;
    // Auto-size never makes a column or row smaller than it is.
    bool SizeGrowOnly() const { return FSizeGrowOnly; }
    void SetSizeGrowOnly(bool Value) { FSizeGrowOnly = Value; }
    int MaxRowCount() const { return FMaxRowCount; }
    int MaxColCount() const { return FMaxColCount; }
    TScrollBarAlways ScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways Value);
    // Thumbs in proportion to the rows (columns) in view.
    bool ScrollProportional() const { return FScrollProportional; }
    void SetScrollProportional(bool Value);
    void UpdateVScrollProportional();
    void UpdateHScrollProportional();
    bool IntegralHeight() const { return FIntegralHeight; }
    // Applies the rule to the height at once.
    void SetIntegralHeight(bool Value) {
        FIntegralHeight = Value;
        SetBounds(Left(), Top(), Width(), Height());
    }
    bool SizeWithForm() const { return FSizeWithForm; }
    void SetSizeWithForm(bool Value) { FSizeWithForm = Value; }
    // The form's width and height when the grid last followed it.
    int PrevSizeX() const { return FFormWidth; }
    int PrevSizeY() const { return FFormHeight; }

    // ===== Sizing (displayed columns)
    void SizeColToContents(int Index, bool GrowOnly);
    void AutoSizeCol(int Index, int Padding = 0);
    void AutoSizeColumns(bool DoFixedCols, int Padding);
    // Columns fit their widest cell and rows grow to their highest, each cell
    // with PaddingX and PaddingY added.
    void AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY);
    // The row takes the height of its highest cell, texts wrapped as the grid
    // wraps them; Padding is the height graphics keep free.
    void SizeRowToContents(int Index, bool GrowOnly, int Padding = 0);
    void AutoSizeRow(int Index, int Padding);
    // Every row from the first (DoFixedRows) or the first normal one: by its
    // content with WordWrap, else by its line count; Padding added.
    void AutoSizeRows(bool DoFixedRows, int Padding);
    // The columns (the fixed ones with DoFixedCells) scaled to fill the control's width.
    void AutoFitColumns(bool DoFixedCells);
    // The client area takes the size of all columns, of all rows, or both
    // (without scroll bars for the time).
    void SizeToCols();
    void SizeToRows();
    void SizeToCells();
    // The row takes Lines lines of its first data cell's font plus Padding, grown or shrunk.
    void SizeRowToLines(int Index, int Lines, int Padding);
    TColumnSize& ColumnSize() { return FColumnSize; }
    // Column Index (-1: the last) takes the client width the others leave;
    // "Stretch column index out of range" past the columns, stretching or not.
    void ApplyColumnStretch(int Index);
    void StretchRightColumn();

    // ===== Cell access (indexes: real column, displayed row unless named All*)
    long long Ints(int ACol, int ARow);
    void SetInts(int ACol, int ARow, long long Value);
    double Floats(int ACol, int ARow);
    void SetFloats(int ACol, int ARow, double Value);
    // Real rows: a hidden row's cells live with the row.
    String AllCells(int ACol, int ARow);
    void SetAllCells(int ACol, int ARow, const String& Value);
    long long AllInts(int ACol, int ARow);
    double AllFloats(int ACol, int ARow);
    TObject* AllObjects(int ACol, int ARow);
    // By real row: in a hidden row the saved cell's object (inside its
    // properties when it has them).
    void SetAllObjects(int ACol, int ARow, TObject* Value);
    String StrippedCells(int ACol, int ARow);
    int AllColWidths(int ACol);
    void SetAllColWidths(int ACol, int Value);
    int AllColCount() { return TotalColCount(); }
    int AllRowCount() const { return RowCount() + NumHiddenRows(); }
    TColor Colors(int ACol, int ARow);
    void SetColors(int ACol, int ARow, TColor Value);
    TColor FontColors(int ACol, int ARow);
    void SetFontColors(int ACol, int ARow, TColor Value);
    TAlignment Alignments(int ACol, int ARow);
    void SetAlignments(int ACol, int ARow, TAlignment Value);
    bool ReadOnly(int ACol, int ARow);
    void SetReadOnly(int ACol, int ARow, bool Value);
    // clNone clears that colour of the row only.
    void SetRowColor(int ARow, TColor Value);
    void SetRowColorTo(int ARow, TColor Value);
    void SetRowFontColor(int ARow, TColor Value);
    const String& FloatFormat() const { return FFloatFormat; }
    void SetFloatFormat(const String& Value) { FFloatFormat = Value; }
    String CurrentCell() { return GetCurrentCell(); }
    void SetCurrentCell(const String& Value);
    int ColumnByHeader(const String& Text);
    // Header texts shown in row 0 and column 0 ("\n" becomes a line break).
    TStringList& ColumnHeaders() { return FColumnHeaders; }
    void SetColumnHeaders(const TStringList& Value);
    TStringList& RowHeaders() { return FRowHeaders; }
    void SetRowHeaders(const TStringList& Value);
    void ShowColumnHeaders();
    void ClearColumnHeaders();
    void ShowRowHeaders();
    const String& CheckTrue() const { return FCheckTrue; }
    void SetCheckTrue(const String& Value) { FCheckTrue = Value; }
    const String& CheckFalse() const { return FCheckFalse; }
    void SetCheckFalse(const String& Value) { FCheckFalse = Value; }
    bool Modified() const { return FModifiedPublic; }
    void SetModified(bool Value) { FModifiedPublic = Value; }

    // ===== More cell views and per-cell looks (ExGridCellViews.cpp). The
    // look setters repaint the displayed cell of the real column.
    // Cells may hold wide text in the legacy encoding ("|\" and byte pairs):
    // these views read it decoded; a String is already wide, so they write it as it is.
    String WideCells(int ACol, int ARow);
    void SetWideCells(int ACol, int ARow, const String& Value);
    String AllWideCells(int ACol, int ARow);
    void SetAllWideCells(int ACol, int ARow, const String& Value);
    // Real rows, the raw store: no display hooks, no change notification.
    String AllGridCells(int ACol, int ARow);
    void SetAllGridCells(int ACol, int ARow, const String& Value);
    // The cell of the row that stood at ARow before the rows were sorted.
    String UnSortedCells(int ACol, int ARow);
    void SetUnSortedCells(int ACol, int ARow, const String& Value);
    // ACol is the column's design-time index, wherever it was moved to.
    String OriginalCells(int ACol, int ARow);
    void SetOriginalCells(int ACol, int ARow, const String& Value);
    // The VALUE of the in-text control ID in the cell's markup; empty when
    // there is none. Writing changes only a control that is there.
    String ControlValues(int ACol, int ARow, const String& ID);
    void SetControlValues(int ACol, int ARow, const String& ID, const String& Value);
    // Lines of the text (1 for a single line).
    int LinesInCell(int ACol, int ARow);
    // The last print layout (0.1 mm); "Columns is not in valid range" outside 0 .. 511.
    int PrintColWidth(int ACol);
    int PrintColOffset(int ACol);
    TColor ColorsTo(int ACol, int ARow);
    void SetColorsTo(int ACol, int ARow, TColor Value);
    TCellGradientDirection Gradients(int ACol, int ARow);
    void SetGradients(int ACol, int ARow, TCellGradientDirection Value);
    // The grid's font for a cell without properties, else a font of the
    // grid's filled with what the cell sets (valid until the next call).
    TFont& Fonts(int ACol, int ARow);
    // Name, size, style and colour of AFont.
    void SetFonts(int ACol, int ARow, const TFont& AFont);
    TFontStyles FontStyles(int ACol, int ARow);
    void SetFontStyles(int ACol, int ARow, TFontStyles Value);
    int FontSizes(int ACol, int ARow);
    void SetFontSizes(int ACol, int ARow, int Value);
    String FontNames(int ACol, int ARow);
    void SetFontNames(int ACol, int ARow, const String& Value);
    // Reading gives the cell properties it asks.
    bool WordWraps(int ACol, int ARow);
    void SetWordWraps(int ACol, int ARow, bool Value);
    // Where a column (design-time index) now stands, and which stands at a
    // position; both leave out a grouped column.
    int ColumnPosition(int ACol);
    int ColumnAtPosition(int APosition);
    // The order becomes 0, 1, ... ColCount - 1.
    void SetColumnOrder();

    // ===== Cell graphics and check boxes (indexes: real column, real row for the state)
    // Column 0 holds a row check box in every row while MouseActions.HotmailRowSelect is on.
    virtual TCellType GetCellType(int ACol, int ARow);
    virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
    // Drops the cell's graphic (never the grid's shared one) and attaches a
    // fresh one; "Invalid cell" outside the grid.
    TCellGraphic* CreateCellGraphic(int ACol, int ARow);
    // Frees the cell's own graphic and repaints the cell; false when it had none.
    bool RemoveCellGraphic(int ACol, int ARow);
    // The same when GetCellType answers Kind for the cell.
    bool RemoveCellGraphicOfType(int ACol, int ARow, TCellType Kind);
    // What a cell's picture is known by: the bitmap or icon object of those
    // kinds, the image index of an image-list cell; -1 for any other cell.
    std::intptr_t CellGraphicRef(int ACol, int ARow);
    // The row of the cell (the bottom of a merged one) is the sort row of a
    // shown sort indicator.
    bool ShowsSortIndicator(int ACol, int ARow);
    // The image list of image-list cells: GridImages.
    virtual TImageList* GetCellImageList() { return FGridImages; }
    // A check box of the cell's own; "Invalid cell" outside the grid. A data
    // box's state is the cell's text: a cell holding neither check text gets
    // the one for State.
    void AddCheckBox(int ACol, int ARow, bool State, bool Data = false);
    void RemoveCheckBox(int ACol, int ARow);
    bool HasCheckBox(int ACol, int ARow);
    bool GetCheckBoxState(int ACol, int ARow, bool& State);
    bool IsChecked(int ACol, int ARow);
    bool SetCheckBoxState(int ACol, int ARow, bool State);
    bool SetCheckBoxStateEx(int ACol, int ARow, bool State);
    // User: the cell must be editable (unless CheckAlwaysActive).
    virtual bool ToggleCellCheck(int ACol, int ARow, bool User);
    bool ToggleCheckBox(int ACol, int ARow) { return ToggleCellCheck(ACol, ARow, false); }
    // A new box or radio button: flat, before the text, at the grid's vertical alignment.
    void SetBoxPlacement(TCellGraphic& G) const {
        G.CellTransparent = true;
        G.CellAngle = 0;
        G.CellHAlign = haBeforeText;
        G.CellVAlign = FVAlignment == vtaCenter ? vaCenter : FVAlignment == vtaBottom ? vaBottom : vaTop;
    }

    // ===== Three-state check boxes (real row for the state)
    static TCheckBoxState BoolToCheckBoxState(bool bChecked) { return bChecked ? cbChecked : cbUnchecked; }
    // A three-state box of the cell's own; "Invalid cell" outside the grid.
    void AddCheckBox(int ACol, int ARow, TCheckBoxState State);
    // From row 0 with MouseActions.CheckAllCheck, else from the first normal row.
    void AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State);
    // The same rows; group headers get a three-state box, summary rows none,
    // the others a box (a data box keeps a check text already in the cell).
    void AddCheckBoxColumn(int ACol, bool DefaultState = false, bool DataCheckBox = false);
    // The boxes of those rows go again.
    void RemoveCheckBoxColumn(int ACol);
    // Every box of the data rows checked (unchecked), each change reported.
    void CheckAll(int ACol);
    void UnCheckAll(int ACol);
    // Any box kind read as three states; false, State untouched, without a box.
    bool GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State);
    // Three-state boxes only.
    bool SetCheckBoxState(int ACol, int ARow, TCheckBoxState State);
    TControlLook& ControlLook() { return FControlLook; }
    // An image of GridImages in a cell, in place of its text; "Invalid cell"
    // outside the grid. Removing leaves the cell's text.
    TImageList* GridImages() const { return FGridImages; }
    void SetGridImages(TImageList* Value);
    // The list a cell's image index refers to: GridImages, unless a descendant gives the cell another.
    virtual TImageList* GetCellImageList(int ACol, int ARow) {
        (void)ACol, (void)ARow;
        return GetCellImageList();
    }
    void AddImageIdx(int ACol, int ARow, int Idx, TCellHAlign HAlign, TCellVAlign VAlign);
    void RemoveImageIdx(int ACol, int ARow);
    // The image index of a cell, -1 for none.
    int GetImageIdx(int ACol, int ARow);

    // ===== Hidden columns and rows
    void HideColumn(int ColIndex) { HideColumns(ColIndex, ColIndex); }
    void HideColumns(int FromCol, int ToCol);
    void UnHideColumn(int ColIndex) { UnHideColumns(ColIndex, ColIndex); }
    void UnHideColumns(int FromCol, int ToCol);
    void UnHideColumnsAll() { UnHideColumns(0, ColCount() + FNumHidden); }
    bool IsHiddenColumn(int ColIndex) const;
    int NumHiddenColumns() const { return FNumHidden; }
    int TotalColCount() override { return ColCount() + FNumHidden; }
    int RealColIndex(int ACol) const;
    int DisplColIndex(int ACol) override;
    int RealCol() const { return RealColIndex(Col()); }
    void HideRow(int RowIndex) { HideRows(RowIndex, RowIndex); }
    void HideRows(int FromRow, int ToRow);
    // Rows FromRow .. ToRow (real) that are all shown, appended to the store;
    // nothing when FromRow is hidden.
    void HideRowsEx(int FromRow, int ToRow);
    // One hide level of displayed rows (ascending).
    void HideRowList(const std::vector<int>& RowList);
    void UnHideRow(int RowIndex) { UnHideRows(RowIndex, RowIndex); }
    void UnHideRows(int FromRow, int ToRow);
    void UnHideRowsAll();
    // Brings back the rows of the latest hide level.
    void UnHideRowList();
    bool IsHiddenRow(int RowIndex) const;
    int NumHiddenRows() const { return FGridItems.Count(); }
    int TotalRowCount() const { return RowCount() + NumHiddenRows(); }
    int RealRowIndex(int ARow) const;
    int DisplRowIndex(int ARow) const;
    int RealRow() const { return RealRowIndex(Row()); }
    const TGridItems& GridItems() const { return FGridItems; }
    // The saved cells of a hidden row; nil when the row is shown.
    TStringList* GetHiddenRowCells(int RowIndex);
    // Only FixedRows .. RowCount - 1.
    void SetTopRowEx(int Value);
    // Makes the cell visible, centring it when it was out of view.
    void ScrollInView(int ColIndex, int RowIndex);
    // The cell under a screen point, -1 outside the cells.
    void ScreenToCell(TPoint pt, int& ACol, int& ARow);
    void HideSelection();
    void UnHideSelection();
    void UpdateEditMode() { SelectCell(Col(), Row()); }

    // ===== Structure (displayed rows, real columns)
    virtual void InsertRows(int RowIndex, int RCount, bool UpdateCellControls = true);
    virtual void RemoveRows(int RowIndex, int RCount);
    virtual void InsertCols(int ColIndex, int CCount);
    virtual void RemoveCols(int ColIndex, int CCount);
    void AddRow();
    void AddColumn() { InsertCols(ColCount(), 1); }
    // Texts only, one block.
    void MoveRows(int FromIndex, int ToIndex, int Count);
    virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void ClearRows(int RowIndex, int RCount);
    void ClearCols(int ColIndex, int CCount);
    void ClearNormalCells();
    void Clear();
    // Clear, and the saved cells of the hidden rows too (the rows stay hidden).
    void ClearAll();
    void RemoveDuplicates(int ACol, bool DoCase);
    void RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked);
    // The chosen rows (disjunct row selection), else the selection's rows; the row choice is cleared.
    void RemoveSelectedRows();
    // The data rows not chosen go; the rest stay chosen with RowSelectPersistent, else the choice is cleared.
    void RemoveUnSelectedRows();
    // Hides the chosen rows, or those not chosen.
    void HideSelectedRows();
    void HideUnSelectedRows();
    // The chosen columns (disjunct column selection), else the selection's
    // columns; or all the others from the fixed ones on. The column choice is cleared.
    void RemoveSelectedCols();
    void RemoveUnSelectedCols();
    // The cells between the fixed columns (rows) and the right fixed columns (footer rows) only.
    void ClearNormalRows(int RowIndex, int RCount);
    void ClearNormalCols(int ColIndex, int CCount);
    // Blanks and control characters at both ends of the texts go (display
    // columns mapped to real ones with SaveHiddenCells).
    virtual void TrimRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void TrimColumn(int ACol) { TrimRect(ACol, 0, ACol, RowCount() - 1); }
    void TrimRow(int ARow) { TrimRect(0, ARow, ColCount() - 1, ARow); }
    void TrimAll() { TrimRect(0, 0, ColCount() - 1, RowCount() - 1); }
    // Every cell of the rectangle takes the colour (nothing for ARow2 < ARow1).
    void ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor);
    // The text is wide text: it begins with the two characters | and \.
    bool IsWideCell(int ACol, int ARow) { return GetGridCell(ACol, ARow).starts_with(u"|\\"); }
    // Empties the chosen rows, else the chosen columns, else the selection rectangle.
    void ClearSelection();
    bool IsCell(const String& SubStr, int& ACol, int& ARow);

    // ===== Selection
    void SelectRows(int RowIndex, int RCount);
    void SelectCols(int ColIndex, int CCount);
    // "Invalid row <n> accessed" outside the grid.
    bool GetRowSelect(int ARow);
    bool RowSelect(int ARow) { return GetRowSelect(ARow); }
    void RepaintRow(int ARow) { InvalidateRow(ARow); }
    void RepaintCol(int ACol) { InvalidateCol(ACol); }
    // The cells from (Left, Top) to (Right, Bottom), the right edge cut at the
    // first column past the visible ones; nothing for a negative index, the
    // whole control when either corner cell is out of view.
    void RepaintRect(TRect R);
    // The current cell and the anchor go to the cell, scrolled into view.
    void MoveToCell(int ACol, int ARow) { MoveColRow(ACol, ARow, true, true); }
    // The text editor; nil before it was first opened.
    TExInplaceEdit* NormalEdit() const;

    // ===== Repaint lock
    void BeginUpdate();
    void EndUpdate();
    // Counting only: no repaint at the end.
    void StartUpdate() { ++FUpdateCount; }
    // True while the lock is held; true takes it (BeginUpdate), false releases it (EndUpdate).
    bool LockUpdate() const { return FUpdateCount > 0; }
    void SetLockUpdate(bool Value) {
        if (Value) BeginUpdate();
        else EndUpdate();
    }
    // Forgets the offer to size a fixed column or row and puts out a lit fixed cell.
    void ResetFixedCellHighlight();
    // With the search footer shown, the last row is in view and ends above the footer's top.
    bool LastRowClearOfSearchFooter() { return RowClearOfSearchFooter(RowCount() - 1); }
    // The grid changed its own Cursor: the cursor notification keeps what a press would select.
    bool Invokedchange = false;
    // The grid moves the focus itself: its next focus gain does nothing of the grid's own.
    bool InvokedFocusChange = false;
    // Takes the cell, line and text colours of an active application style
    // (other than the system's); at load and whenever the style changes.
    void ApplyStyleColors();
    // The grid wears an application style's colours.
    bool UsesFwStyles() const { return FUseFwStyles; }
    // The grid's own cursor changes.
    void SetOwnCursor(TCursor Value) {
        if (Cursor() == Value) return;
        Invokedchange = true;
        SetCursor(Value);
    }
    void ResetUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Ticks of the grid's 500 ms timer since the window was created.
    int TimerTicks() const { return FTimerTicks; }
    // The characters of the incremental lookup, and the timer ticks since the
    // last of them: the fourth tick without a character drops the text.
    String SearchInc;
    int SearchTics = 0;
    bool Hovering() const { return FHovering; }
    void SetHovering(bool Value) { FHovering = Value; }

    // ===== Editing
    TNavigation& Navigation() { return FNavigation; }
    // The keypad's decimal key types the locale's decimal separator.
    bool ExcelStyleDecimalSeparator() const { return FExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool Value) { FExcelStyleDecimalSeparator = Value; }
    TSizeWhileTyping& SizeWhileTyping() { return FSizeWhileTyping; }
    TMouseActions& MouseActions() { return FMouseActions; }
    TEditorType DefaultEditor() const { return FDefaultEditor; }
    void SetDefaultEditor(TEditorType Value) { FDefaultEditor = Value; }
    int MaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int Value) { FMaxEditLength = Value; }
    // The longest text the editable combo editor takes; 0: no limit.
    int MaxComboLength() const { return FMaxComboLength; }
    void SetMaxComboLength(int Value) { FMaxComboLength = Value; }
    const String& EditMask() const { return FEditMask; }
    void SetEditMask(const String& Value) { FEditMask = Value; }
    bool AlwaysValidate() const { return FAlwaysValidate; }
    void SetAlwaysValidate(bool Value) { FAlwaysValidate = Value; }
    TExStringGridCheck* CellChecker() const { return FCellChecker; }
    // The grid lets go of a checker that is freed.
    void SetCellChecker(TExStringGridCheck* Value) {
        FCellChecker = Value;
        if (Value) Value->FreeNotification(this);
    }
    const String& InvalidEntryTitle() const { return FInvalidEntryTitle; }
    void SetInvalidEntryTitle(const String& Value) { FInvalidEntryTitle = Value; }
    const String& InvalidEntryText() const { return FInvalidEntryText; }
    void SetInvalidEntryText(const String& Value) { FInvalidEntryText = Value; }
    TInvalidEntryIcon InvalidEntryIcon() const { return FInvalidEntryIcon; }
    void SetInvalidEntryIcon(TInvalidEntryIcon Value) { FInvalidEntryIcon = Value; }
    bool IsEditable(int ACol, int ARow);
    bool IsCellEditable(int ACol, int ARow);
    bool IsFixed(int ACol, int ARow) override;
    void ShowInplaceEdit();
    void HideInplaceEdit();
    void Select() { SelectCell(Col(), Row()); }
    // The end of an edit (real column): OnEditingDone now, OnEditCellDone through the message queue.
    void EditingDone(int ACol, int ARow);
    // Enter movement from (ACol, ARow) by Navigation's AdvanceDirection;
    // nothing unless AdvanceOnEnter or Force.
    void AdvanceCell(int ACol, int ARow, bool EditorShown, bool Forward, bool AutoEdit, bool Force);
    // Tab movement with goTabs by Navigation's TabAdvanceDirection over the
    // cells that may be selected; false when the focus went on to the next control.
    bool TabAdvance(bool Backward);
    // A left press and release 2 pixels inside the cell's top-left corner, as
    // the grid's own mouse handling sees it, without OnMouseDown and OnMouseUp.
    void SimulateCellClick(int ACol, int ARow);
    // Whether (ACol, ARow) may become the current cell: editable with goEditing,
    // otherwise not fixed; OnSelectCell has the last word.
    bool CanSelectCell(int ACol, int ARow);
    // The first (last) column of row ARow that CanSelectCell accepts, -1 when none.
    int FirstSelectableCol(int ARow);
    int LastSelectableCol(int ARow);
    // The first column the Enter and Tab moves return to: past the node
    // column when the grid shows nodes without fixed columns.
    int FirstDataCol() const;
    // FixedRightCols less those of them that are hidden.
    int VisibleFixedRightCols() const;
    // The caret of an editor walked past the edge of its text: on to the cell
    // beside, row by row. Commit validates and writes the editor's text and
    // says whether it was taken; it runs first when CommitFirst, and always
    // before a move onto a check box, radio or button cell.
    void CursorWalk(bool Forward, bool CommitFirst, const std::function<bool()>& Commit);
    // The cell holds a control a press changes (check boxes, radios, buttons).
    bool HasClickControl(int ACol, int ARow);
    // A dedicated editor ended editing with Key: the grid takes the focus,
    // Tab and the arrow keys then move the current cell.
    void DoneInplaceEdit(Word Key, TShiftState Shift);
    // The kind of editor the current edit uses.
    TEditorType EditControl() const { return FEditControl; }
    // The dedicated editor control opened last; nil for the text editor, the
    // check-box and the date-and-time editors. A refused value's balloon shows on it.
    TWinControl* EditCtrl() const { return FEditCtrl; }
    // Opens the editor on the current cell as F2 on the grid does.
    void ShowCellEdit();
    // The combo editor of the combo kinds, and the items it opens with.
    TGridCombo* Combobox() const { return FEditCombo; }
    TGridCombo* EditCombo() const { return FEditCombo; }
    void ShowCellEditor(int ACol, int ARow);
    void EditorToCell(int ACol, int ARow);
    // Writes the open dedicated editor's value into the current cell and hides it.
    void HideCellEdit() { EditorToCell(Col(), Row()); }
    void AddComboString(const String& S);
    void AddComboStringObject(const String& S, TObject* AObject);
    bool RemoveComboString(const String& S);
    void ClearComboString();
    int GetComboCount();
    // The item the next combo editor selects when the cell names none.
    void SetComboSelection(int Idx) { FComboIdx = Idx; }
    bool SetComboSelectionString(const String& S);
    void SetComboIndex(int ACol, int ARow, int Value);
    int GetComboIndex(int ACol, int ARow);
    // Typing completes the text from LookupItems (the combo editor: from its items first).
    bool Lookup() const { return FLookup; }
    void SetLookup(bool Value) { FLookup = Value; }
    bool LookupCaseSensitive() const { return FLookupCaseSensitive; }
    void SetLookupCaseSensitive(bool Value) { FLookupCaseSensitive = Value; }
    // A text left in an editor joins the lookup items (the combo's items).
    bool LookupHistory() const { return FLookupHistory; }
    void SetLookupHistory(bool Value) { FLookupHistory = Value; }
    TStringList& LookupItems() { return FLookupItems; }
    const String& ValidChars() const { return FValidChars; }
    void SetValidChars(const String& Value) { FValidChars = Value; }
    // With ValidChars empty: the 8-bit characters an edValidChars cell takes.
    std::array<bool, 256> ValidCharSet{};
    bool EditActive() const { return FEditActive; }
    bool EditMode() const { return FEditMode; }
    virtual bool ValidateCell(const String& NewValue);
    // The validation of a cell holding wide text (decoded): OnCellValidateWide.
    virtual bool ValidateCellWide(const String& NewValue);
    virtual void StoreOldCell(int ACol, int ARow);
    virtual String GetCurrentCell();
    // The current (base) cell's text as displayed: through GetCellEx and its display hooks.
    virtual String GetCurrentCellText();
    virtual void SetCurrentCellText(const String& Value);
    virtual void RestoreEditValue();
    virtual void SetEditorValue(int ACol, int ARow, const String& Value);
    void DisableEditing();

    // ===== Sorting comparisons, column and row moving, range services
    // Rows are grid rows, ACol a real column. 1: row 1 sorts after row 2
    // ascending, -1 before, 0 equal; the blank rule follows ADirection.
    int CompareCells(int ACol, int ARow1, int ARow2, TSortDirection ADirection);
    TCellSortKey CellSortKey(int ACol, int ARow);
    // The same in two steps, for a sort that reads many cells of a column.
    TSortFormat SortFormat(int ACol);
    // The display text of a cell as a view of its stored text, when nothing
    // maps or changes it (no cell object, no display-text hook for the row);
    // false otherwise. The view lives until the cell's row next changes.
    bool DisplTextView(int ACol, int ARow, std::u16string_view& Text);
    TCellSortKey CellSortKey(const TSortFormat& Format, int ACol, int ARow);
    // Reading sort keys fires no event (OnGetFormat, OnGetCheckTrue, and the
    // display-text events when sorting by displayed texts), so that a sort
    // may read each cell once and keep its key.
    bool SortKeysSilent() const;
    int CompareCellSortKeys(const TCellSortKey& A, const TCellSortKey& B, TSortDirection ADirection);
    // ACol, then the following columns while equal (with SortSettings.Full).
    int CompareRowsFull(int ACol, int ARow1, int ARow2);
    // By SortIndexes from entry AIndex on; a descending key's answer is negated.
    int CompareRowsIndexed(int AIndex, int ARow1, int ARow2);
    // The sort state lives with the data tools.
    TSortIndexList& SortIndexes() { return FTools->SortIndexes; }
    TIntList& IgnoreColumns() { return FTools->IgnoreColumns; }
    bool IsIgnoredColumn(int ACol) const { return FTools->IgnoreColumns.HasValue(ACol); }
    // Counters of comparisons and row swaps; the sorts reset and read them.
    long long Compares() const { return FTools->Compares; }
    void SetCompares(long long Value) { FTools->Compares = Value; }
    long long Swaps() const { return FTools->Swaps; }
    void SetSwaps(long long Value) { FTools->Swaps = Value; }
    // Milliseconds the last sort by header click took.
    unsigned long long SortTime() const { return FTools->SortTime; }
    // Where each row's data stood when the list was last reset (the sorts keep it).
    const std::vector<int>& SortRowXRef() const { return FTools->SortRowXRef(); }
    // The row a sort follows through its swaps.
    int SortRow() const { return FTools->SortRow(); }
    void SetSortRow(int Value) { FTools->SetSortRow(Value); }
    // The sort's swap step: storage, heights and the cross-reference entries
    // change places (with SortSettings.SingleColumn only the sort column's cells).
    virtual void SortSwapRows(int Index, int Index2);
    // Grid rows with their heights; real columns with their widths (SortSettings.Column follows).
    void SwapRows(int Index, int Index2);
    void SwapColumns(int Index, int Index2);

    void SelectCells(int FromCol, int FromRow, int ToCol, int ToRow);
    // Cells joined by TAB, rows by CR LF.
    String SelectedText();
    bool IsSelected(int ACol, int ARow);
    bool ExcelClipboardFormat() const { return FExcelClipboardFormat; }
    void SetExcelClipboardFormat(bool Value) { FExcelClipboardFormat = Value; }
    int AutoNumberStart() const { return FAutoNumberStart; }
    void SetAutoNumberStart(int Value) { FAutoNumberStart = Value; }
    int AutoNumberOffset() const { return FAutoNumberOffset; }
    void SetAutoNumberOffset(int Value) { FAutoNumberOffset = Value; }
    TSortDirection AutoNumberDirection() const { return FAutoNumberDirection; }
    void SetAutoNumberDirection(TSortDirection Value) { FAutoNumberDirection = Value; }
    void AutoNumberCol(int ACol);
    void AutoNumberRow(int ARow);

    // One listener; a second registration replaces the first.
    void RegisterSelListener(ITExStringGridSelect* AListener) { FISelect = AListener; }
    void UnRegisterSelListener(ITExStringGridSelect* AListener);
    void RegisterNotifier(TGridChangeNotifier* Item);
    void UnRegisterNotifier(TGridChangeNotifier* ANotifier);
    // The colour of the arrows that mark where a moved column or row lands.
    TColor ArrowColor();
    void SetArrowColor(TColor Value);
    // The drop arrow pointing that way (made on first use).
    TArrowWindow* Arrow(TArrowDirection Dir) {
        EnsureArrows();
        return FArrows[Dir];
    }
    TDragScrollOptions& DragScrollOptions() { return FDragScrollOptions; }
    TDragScrollDirection DragScrollDirection() const { return FDragScrollDirection; }
    // Moved columns and rows keep their widths and heights, and the drag shows where they land.
    bool EnhRowColMove() const { return FEnhRowColMove; }
    void SetEnhRowColMove(bool Value) { FEnhRowColMove = Value; }
    TSyncGrid& SyncGrid() { return FSyncGrid; }
    // The header button that follows the mouse while a column or row is dragged.
    THeaderDragButton* MoveButton();
    // The mouse handling calls these while a column or row is dragged by
    // its header: the button (or the data tools' picture) follows the
    // mouse, the arrows show the drop place and the events may refuse it;
    // the left release then lets the framework move only an accepted drop.
    // The press that took the header: where in it, so that it moves with the mouse.
    void MovePressed(int X, int Y);
    void MoveFeedback(int X, int Y);
    void MoveCompletion(int X, int Y);
    bool MoveAccepted() const { return FMoveAccept; }
    // Moving the last row is refused while the floating footer shows it.
    void MoveRow(int FromIndex, int ToIndex) override;
    // The first move records the column order, which every move then keeps in step.
    void MoveColumn(int FromIndex, int ToIndex) override;
    // The real column shown at each real position since the first move; empty before it.
    const std::vector<int>& ColumnOrder() const { return FColumnOrder; }
    void SetColumnOrder(const std::vector<int>& Value) { FColumnOrder = Value; }
    // Moves each column to the position its ColumnOrder entry names.
    void ResetColumnOrder();
    // The width of a real column, a hidden one's kept width included.
    int RealColWidth(int ACol);

    // The left release on a cell (ACol, ARow displayed; X, Y the release
    // point) after a press on cell (PressCol, PressRow): a release in the
    // sort row sorts by the column; Shift or Ctrl (IndexSortKey) read at the
    // release adds the column to the sort keys. The mouse handling calls it
    // when no sizing or auto-size double click came before.
    void HeaderSortClick(int ACol, int ARow, int X, int Y, int PressCol, int PressRow);
    // A release of either button: opens, or closes, the filter list of a column.
    void FilterButtonRelease(int X, int Y);
    // The point (client) hits the check box of cell (ACol real, ARow): anywhere in
    // the cell, or with MouseActions.PreciseCheckBoxCheck only on the box itself.
    bool IsInCheckBox(int ACol, int ARow, int XPos, int YPos);
    int FilterDropDownRow() const { return FFilterDropDownRow; }
    void SetFilterDropDownRow(int Value) { FFilterDropDownRow = Value; }
    bool FilterDropDownCheck() const { return FFilterDropDownCheck; }
    void SetFilterDropDownCheck(bool Value) { FFilterDropDownCheck = Value; }
    // The column whose filter list is open (real index), -1 for none.
    int FilterCol() const { return FFilterCol; }
    TStringList& FilterList() { return FFilterList; }
    TFilterDropDown& FilterDropDown() { return FFilterDropDown; }
    // A column or row moved by a drag with EnhRowColMove: the release does not sort.
    bool ColMoveFlg() const { return FColMoveFlg; }
    void SetColMoveFlg(bool Value) { FColMoveFlg = Value; }

    // ===== Data tools: their option objects and the operations forwarded to them
    TSortSettings& SortSettings() { return FSortSettings; }
    TFloatingFooter& FloatingFooter() { return FFloatingFooter; }
    TBalloonSettings& Balloon() { return FBalloon; }
    TFilter& Filter() { return FFilter; }
    TGrouping& Grouping() { return FGrouping; }
    TDragDropSettings& DragDropSettings() { return FDragDropSettings; }
    TGridDataTools& DataTools() { return *FDataTools; }
    // The grid owns the tools given.
    void SetDataTools(std::unique_ptr<TGridDataTools> Value);
    bool FilterActive() const { return FFilterActive; }
    void SetFilterActive(bool Value);
    bool IsNode(int ARow) { return FHasNodeRows && FDataTools->IsNode(ARow); }
    bool GetNodeState(int ARow) { return FHasNodeRows && FDataTools->GetNodeState(ARow); }
    int GetNodeSpan(int ARow) { return FHasNodeRows ? FDataTools->GetNodeSpan(ARow) : 0; }
    void RemoveAllNodes();
    // All columns for -1; only with a visible floating footer.
    virtual void CalcFooter(int ACol) { CalcFooterColumn(ACol); }
    // Repaints the floating footer's panel.
    void UpdateFooter();
    // The canvas of the floating footer's panel.
    TCanvas& GetFooterCanvas();
    TGridRect UsedCells() { return GetUsedCells(); }
    // The text offsets of a cell, doubled for both sides.
    int TotalXOffset() const { return 2 * FXYOffset.X; }
    int TotalYOffset() const { return 2 * FXYOffset.Y; }
    // The column widths as now laid out, for sizing in proportion later.
    void InitOrigColSizes();
    const std::vector<int>& OrigColSizes() const { return FOrigColSizes; }
    // The largest line count among the row's shown cells; 1 unless the
    // tools' Multilinecells is on.
    int MaxRowLines(int ARow);
    // Date and time views of a cell in the locale's short formats; "Cell does not contain a date" otherwise.
    TDateTime GetDates(int ACol, int ARow);
    // A date of 0 or less is written as an empty text unless ShowNullDates.
    void SetDates(int ACol, int ARow, TDateTime Value);
    bool ShowNullDates = false;
    // The colours of highlighted ("hi") runs in markup cells.
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    TColor HighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(TColor Value);
    TDateTime GetTimes(int ACol, int ARow);
    void SetTimes(int ACol, int ARow, TDateTime Value);

    // ===== Data tools: the operations of the grid's own tools object
    // (nodes, calculations, sorting, filtering, finding, marking).
    TExGridTools& Tools() { return *FTools; }
    // False while the grid is still making its tools (their panels' windows come first).
    bool ToolsReady() const { return FTools != nullptr; }
    TSearchFooter& SearchFooter() { return FTools->SearchFooter(); }
    TPrintSettings& PrintSettings() { return FTools->PrintSettings(); }
    TCustomForm* SelectionToForm(const TGridRect& ARect) { return FTools->SelectionToForm(ARect); }
    void ShowFocusWindow(TRect R) { FTools->ShowFocusWindow(R); }
    void MoveFocusWindow() { FTools->MoveFocusWindow(); }
    void HideFocusWindow() { FTools->HideFocusWindow(); }
    TSearchPanel* SearchPanel() const { return FTools->SearchPanel(); }
    // With the search footer shown, the view scrolls on until the last row is clear of it.
    void ScrollAboveSearchFooter() { ScrollRowAboveSearchFooter(RowCount() - 1); }
    // The cursor is on the last data row: above the fixed footers and a shown floating footer.
    bool IsLastDataRow();
    void UpdateSearchPanel() { FTools->UpdateSearchPanel(); }
    void ExpandNode(int ARow) { FTools->ExpandNode(ARow); }
    void ContractNode(int ARow) { FTools->ContractNode(ARow); }
    void ExpandAll() { FTools->ExpandAll(); }
    void ContractAll() { FTools->ContractAll(); }
    int GetNodeLevel(int ARow) { return FTools->GetNodeLevel(ARow); }
    int GetSubNodeCount(int ARow) { return FTools->GetSubNodeCount(ARow); }
    int GetParentRow(int ARow) { return FTools->GetParentRow(ARow); }
    virtual void Group(int Col) { FTools->Group(Col); }
    virtual void UnGroup() { FTools->UnGroup(); }
    int GroupColumn() const { return FTools->GroupColumn; }
    void SetGroupColumn(int Value) { FTools->SetGroupColumn(Value); }
    double ColumnSum(int ACol, int FromRow, int ToRow) { return FTools->ColumnSum(ACol, FromRow, ToRow); }
    double ColumnAvg(int ACol, int FromRow, int ToRow) { return FTools->ColumnAvg(ACol, FromRow, ToRow); }
    double ColumnMin(int ACol, int FromRow, int ToRow) { return FTools->ColumnMin(ACol, FromRow, ToRow); }
    double ColumnMax(int ACol, int FromRow, int ToRow) { return FTools->ColumnMax(ACol, FromRow, ToRow); }
    double ColumnDistinct(int ACol, int FromRow, int ToRow) { return FTools->ColumnDistinct(ACol, FromRow, ToRow); }
    double ColumnStdDev(int ACol, int FromRow, int ToRow) { return FTools->ColumnStdDev(ACol, FromRow, ToRow); }
    void QSort() { FTools->QSort(); }
    void QSortIndexed() { FTools->QSortIndexed(); }
    void QSortGroup() { FTools->QSortGroup(); }
    void QSortGroupIndexed() { FTools->QSortGroupIndexed(); }
    void QUnSort() { FTools->QUnSort(); }
    void InitSortXRef() { FTools->InitSortXRef(); }
    void ApplyFilter() { FTools->ApplyFilter(); }
    bool RemoveLastFilter() { return FTools->RemoveLastFilter(); }
    void RemoveAllFilters() { FTools->RemoveAllFilters(); }
    void NarrowDown(const String& ACondition, int AColumn) { FTools->NarrowDown(ACondition, AColumn); }
    TPoint Find(TPoint StartCell, const String& S, TFindParams P) { return FTools->Find(StartCell, S, P); }
    TPoint FindFirst(const String& S, TFindParams P) { return FTools->FindFirst(S, P); }
    TPoint FindNext() { return FTools->FindNext(); }
    int Replace(const String& OrigStr, const String& NewStr, TFindParams P) { return FTools->Replace(OrigStr, NewStr, P); }
    int Search(const String& S) { return FTools->Search(S); }
    void HilightCellRange(const String& Text, const String& Tag, int ToRow, int ToCol, int FromRow, int FromCol,
                          bool DoCase) {
        FTools->HilightCellRange(Text, Tag, FromCol, FromRow, ToCol, ToRow, DoCase);
    }
    void UnHilightCellRange(const String& Tag, int FromCol, int ToRow, int ToCol, int FromRow) {
        FTools->UnHilightCellRange(Tag, FromCol, FromRow, ToCol, ToRow);
    }

    // ===== Data tools: exchange with files, streams, the clipboard, office
    // files and drags, and the kept layout (the options stay on Tools())
    void SaveToFile(const String& FileName, bool Unicode = false) { FTools->SaveToFile(FileName, Unicode); }
    void LoadFromFile(const String& FileName) { FTools->LoadFromFile(FileName); }
    void SaveToStream(TStream& Stream) { FTools->SaveToStream(Stream); }
    void LoadFromStream(TStream& Stream) { FTools->LoadFromStream(Stream); }
    void SaveToCSV(const String& FileName, bool Unicode = false) { FTools->SaveToCSV(FileName, Unicode); }
    void AppendToCSV(const String& FileName, bool Unicode = false) { FTools->AppendToCSV(FileName, Unicode); }
    void LoadFromCSV(const String& FileName, int MaxRows = 0) { FTools->LoadFromCSV(FileName, MaxRows); }
    void InsertFromCSV(const String& FileName, int MaxRows = 0) { FTools->InsertFromCSV(FileName, MaxRows); }
    void LoadFromCSVStream(TStream& AStream, int MaxRows = 0) { FTools->LoadFromCSVStream(AStream, MaxRows); }
    void SaveToFixed(const String& FileName, TIntList& Widths) { FTools->SaveToFixed(FileName, Widths); }
    void LoadFromFixed(const String& FileName, TIntList& Positions, int MaxRows = -1, bool DoTrim = true) {
        FTools->LoadFromFixed(FileName, Positions, MaxRows, DoTrim);
    }
    double CellToReal(int ACol, int ARow) { return FTools->CellToReal(ACol, ARow); }
    void SaveToXML(const String& FileName, const String& ListDescr, const String& RecordDescr,
                   const TStringList* FieldDescr, bool ExportEmptyCells) {
        FTools->SaveToXML(FileName, ListDescr, RecordDescr, FieldDescr, ExportEmptyCells);
    }
    void LoadFromXML(const String& FileName, bool LevelToRow, bool LoadFieldDescr) {
        FTools->LoadFromXML(FileName, LevelToRow, LoadFieldDescr);
    }
    void SaveToASCII(const String& FileName, bool Unicode = false) { FTools->SaveToASCII(FileName, Unicode); }
    void AppendToASCII(const String& FileName, bool Unicode = false) { FTools->AppendToASCII(FileName, Unicode); }
    void SaveToHTML(const String& FileName, bool Show = false, bool Unicode = false) {
        FTools->SaveToHTML(FileName, Show, Unicode);
    }
    void AppendToHTML(const String& FileName, bool Show = false, bool Unicode = false) {
        FTools->AppendToHTML(FileName, Show, Unicode);
    }
    void SaveRectToBinStream(TGridRect R, TStream& Stream) { FTools->SaveRectToBinStream(R, Stream); }
    void SaveToBinStream(TStream& Stream) { FTools->SaveToBinStream(Stream); }
    void SaveToBinFile(const String& FileName) { FTools->SaveToBinFile(FileName); }
    void LoadAtPointFromBinStream(TPoint Point, TStream& Stream) { FTools->LoadAtPointFromBinStream(Point, Stream); }
    void LoadFromBinStream(TStream& Stream) { FTools->LoadFromBinStream(Stream); }
    void LoadFromBinFile(const String& FileName) { FTools->LoadFromBinFile(FileName); }
    std::unique_ptr<TStringList> GetXLSSheets(const String& FileName) { return FTools->GetXLSSheets(FileName); }
    void LoadFromXLS(const String& FileName) { FTools->LoadFromXLS(FileName); }
    void LoadFromXLSSheet(const String& FileName, const String& SheetName) {
        FTools->LoadFromXLSSheet(FileName, SheetName);
    }
    void SaveToXLS(const String& FileName, bool CreateNewSheet = true) { FTools->SaveToXLS(FileName, CreateNewSheet); }
    void SaveToXLSSheet(const String& FileName, const String& SheetName) { FTools->SaveToXLSSheet(FileName, SheetName); }
    void SaveToDOC(const String& FileName, bool CreateNewDocument = true) {
        FTools->SaveToDOC(FileName, CreateNewDocument);
    }
    void AppendToDoc(const String& FileName, const String& Bookmark) { FTools->AppendToDoc(FileName, Bookmark); }
    void LoadFromMDBSQL(const String& FileName, const String& SQL) { FTools->LoadFromMDBSQL(FileName, SQL); }
    void LoadFromMDBTable(const String& FileName, const String& Table) { FTools->LoadFromMDBTable(FileName, Table); }
    void CopyToClipBoard() { FTools->CopyToClipBoard(); }
    void CopySelectionToClipboard() { FTools->CopySelectionToClipboard(); }
    void CutToClipboard() { FTools->CutToClipboard(); }
    void CutSelectionToClipboard() { FTools->CutSelectionToClipboard(); }
    void CopyToClipBoardAsHTML() { FTools->CopyToClipBoardAsHTML(); }
    void PasteFromClipboard() { FTools->PasteFromClipboard(); }
    void PasteSelectionFromClipboard() { FTools->PasteSelectionFromClipboard(); }
    String GetSelectionAsText() { return FTools->GetSelectionAsText(); }
    void SetSelectionAsText(const String& Value) { FTools->SetSelectionAsText(Value); }
    String ColumnStatesToString() { return FTools->ColumnStatesToString(); }
    void StringToColumnStates(const String& Value) { FTools->StringToColumnStates(Value); }
    void SaveColSizes() { FTools->SaveColSizes(); }
    void LoadColSizes() { FTools->LoadColSizes(); }
    // The column grid keeps its positions elsewhere for an INI location.
    virtual void SaveColPositions() { FTools->SaveColPositions(); }
    virtual void LoadColPositions() { FTools->LoadColPositions(); }
    void SavePrintSettings(const String& Key, const String& Section) { FTools->SavePrintSettings(Key, Section); }
    void LoadPrintSettings(const String& Key, const String& Section) { FTools->LoadPrintSettings(Key, Section); }
    void SaveVisualProps(const String& FileName) { FTools->SaveVisualProps(FileName); }
    void LoadVisualProps(const String& FileName) { FTools->LoadVisualProps(FileName); }
    void OleColumnDragStart(int ACol, int AIndex, TListBox* AList) { FTools->OleColumnDragStart(ACol, AIndex, AList); }

    // ===== Looks read by painting
    TGridLook Look() const { return FLook; }
    void SetLook(TGridLook Value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value);
    TColor SelectionColor() const { return FSelectionColor; }
    void SetSelectionColor(TColor Value);
    TColor SelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; InvalidateGrid(); }
    bool SelectionColorMixer() const { return FSelectionColorMixer; }
    void SetSelectionColorMixer(bool Value) { FSelectionColorMixer = Value; }
    int SelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    void SetSelectionColorMixerFactor(int Value);
    // Selected cells show the selection colours.
    bool ShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool Value);
    // Texts that read as numbers are right-aligned.
    bool AutoNumAlign() const { return FAutoNumAlign; }
    void SetAutoNumAlign(bool Value);
    // Spreadsheet habits: the selection rectangle with its resizer, smart
    // clipboard, range selection, editing and range select and edit. Off
    // changes nothing back (what it should switch off is not settled).
    bool SpreadSheet() const { return FSpreadSheet; }
    void SetSpreadSheet(bool Value);
    bool HideFocusRect() const { return FHideFocusRect; }
    void SetHideFocusRect(bool Value) { FHideFocusRect = Value; }
    TFont& FixedFont() { return FFixedFont; }
    TFont& ActiveCellFont() { return FActiveCellFont; }
    // The row shown as hover row, -1 none.
    int HoverRowIndex() const { return FHoverRowIdx; }
    // What a press at the mouse position would select (the headers offer rows,
    // columns or everything when MouseActions allows it).
    TMouseSelectMode MouseSelectMode() const { return FMouseSelectMode; }

    // ===== Painting: active-cell headers, bands, disabled text, rotated text
    // The fixed cells of the current row and column in their own gradient.
    bool ActiveCellShow() const { return FActiveCellShow; }
    void SetActiveCellShow(bool Value);
    TColor ActiveCellColor() const { return FActiveCellColor; }
    void SetActiveCellColor(TColor Value);
    TColor ActiveCellColorTo() const { return FActiveCellColorTo; }
    void SetActiveCellColorTo(TColor Value);
    TBands& Bands() { return FBands; }
    // The text colour of every cell while the grid is disabled.
    TColor DisabledFontColor() const { return FDisabledFontColor; }
    void SetDisabledFontColor(TColor Value);
    // The cell's text S turned by AAngle degrees (counter-clockwise); "Invalid cell" outside the grid.
    void AddRotated(int ACol, int ARow, int AAngle, const String& S);
    void SetRotated(int ACol, int ARow, int AAngle);
    void RemoveRotated(int ACol, int ARow);
    bool IsRotated(int ACol, int ARow, int& AAngle);
    // Where a text turned by Angle starts (its unturned top-left corner) so
    // that its turned extent stands aligned inside R less 2 on each side.
    TPoint PlaceRotatedText(TCanvas& ACanvas, TRect R, int Angle, TVAlignment VA, TAlignment HA, const String& S);
    // The size a text needs turned by Angle: |w cos| + |h sin| by |w sin| + |h cos|, 12 added to each.
    static TPoint RotatedTextSize(int W, int H, int Angle);

    // ===== Hints and balloons
    bool HintShowCells() const { return FHintShowCells; }
    void SetHintShowCells(bool Value) { FHintShowCells = Value; }
    bool HintShowLargeText() const { return FHintShowLargeText; }
    void SetHintShowLargeText(bool Value) { FHintShowLargeText = Value; }
    THintShowLargeTextPos HintShowLargeTextPos() const { return FHintShowLargeTextPos; }
    void SetHintShowLargeTextPos(THintShowLargeTextPos Value) { FHintShowLargeTextPos = Value; }
    bool HintShowSizing() const { return FHintShowSizing; }
    void SetHintShowSizing(bool Value) { FHintShowSizing = Value; }
    // Cell hints keep the cell's markup (otherwise the tags are removed).
    bool HTMLHint() const { return FHTMLHint; }
    void SetHTMLHint(bool Value) { FHTMLHint = Value; }
    // Markup and wide-text hints are drawn by THTMLHintWindow.
    bool UseInternalHintClass() const { return FUseInternalHintClass; }
    void SetUseInternalHintClass(bool Value) { FUseInternalHintClass = Value; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    // Every hint of the program is drawn by THTMLHintWindow (else the framework's window).
    bool UseHTMLHints() const { return FUseHTMLHints; }
    void SetUseHTMLHints(bool Value);
    // Fills the hint of the cell under HintInfo.CursorPos: what it says,
    // where it shows (screen) and which window draws it. HintStr arrives
    // with the grid's ordinary hint.
    void GetCellHintInfo(String& HintStr, THintInfo& HintInfo);
    // The base cell whose hint was prepared last, (-1, -1) after a cancel.
    TPoint LastHintPos() const { return FLastHintPos; }
    // The base cell whose balloon shows (displayed column), (-1, -1) none.
    TPoint LastBalloonPos() const { return FLastBalloonPos; }
    // The font name of the grid that prepared the last hint; wide-text hints use it.
    static const String& HintFontName();
    // The grid's own hint window, for sizing and scroll hints.
    THTMLHintWindow* ScrollHintWindow() const { return FScrollHintWnd; }
    bool ScrollHintShowing() const { return FScrollHintShow; }
    // A balloon of a cell (real column, displayed row): a cell of its own
    // gets a balloon graphic, a check box or radio button cell carries it,
    // any other graphic refuses it.
    void AddBalloon(int ACol, int ARow, const String& Title, const String& Text, TBalloonIcon Icon);
    void RemoveBalloon(int ACol, int ARow);
    // The base cell's graphic is a balloon of its own.
    bool HasBalloon(int ACol, int ARow);
    bool IsBalloon(int ACol, int ARow, String& Title, String& Text, TBalloonIcon& Icon);
    // A comment of a cell, shown as its hint beside its top-right corner;
    // "Invalid cell" outside the grid.
    void AddComment(int ACol, int ARow, const String& Comment);
    void RemoveComment(int ACol, int ARow);
    // True for a comment cell, whose text then fills Comment.
    bool IsComment(int ACol, int ARow, String& Comment);
    // Links in markup cells show their title (or target) as hint.
    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool Value) { FAnchorHint = Value; }
    const String& LastAnchorHint() const { return FLastAnchorHint; }
    // Pictures named in markup hints (and cells) by their name.
    TPictureContainer* PictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    // Lets the handler change the hint of the link under the mouse.
    std::function<void(TObject* Sender, int ARow, int ACol, String& Anchor)> OnAnchorHint;
    // Controls placed over cells: they follow their cells through scrolling,
    // sorting, swaps and moves, and hide while their cell is out of view.
    TControl* CellControls(int ACol, int ARow);
    void SetCellControls(int ACol, int ARow, TControl* Control);
    // Puts the placed controls on their cells; RebuildList first reads the
    // cells anew (after their contents moved).
    void CellControlsUpdate(bool RebuildList);
    int NumCellControls() const { return FControlList.Count(); }
    // URLShow (with the cell content's settings): a text holding a link is one link; a press follows it.
    // The link under the mouse at its last move; empty when none.
    const String& HoveredAnchor() const { return FAnchor; }
    TAnchorClickEvent OnAnchorClick;
    TAnchorEvent OnAnchorEnter, OnAnchorExit;
    // A hint in any script: a non-empty answer replaces the hint.
    TGridHintEvent OnGridWideHint;

    // ===== Hovered and hot fixed cells
    THoverFixedCells HoverFixedCells() const { return FHoverFixedCells; }
    void SetHoverFixedCells(THoverFixedCells Value) { FHoverFixedCells = Value; }
    // The cell lies where HoverFixedCells shows the mouse over fixed cells.
    bool IsHoverFixedCell(int ACol, int ARow);
    // The fixed cell the painter shows hovered; (-1, -1) when none is.
    TPoint HoverFixedCell();
    // In the list-view look: the cell under the mouse, which the painter
    // shows hot when it is a fixed cell; (-1, -1) after the mouse left.
    TPoint HotFixedCell() const { return FHotFixedCell; }

    // ===== Wheel, panning, zoom and scroll bars
    bool EnableWheel() const { return FEnableWheel; }
    void SetEnableWheel(bool Value) { FEnableWheel = Value; }
    TIntelliPan IntelliPan() const { return FIntelliPan; }
    void SetIntelliPan(TIntelliPan Value) { FIntelliPan = Value; }
    bool IntelliZoom() const { return FIntelliZoom; }
    void SetIntelliZoom(bool Value) { FIntelliZoom = Value; }
    // Net zoom steps applied, within -10 .. 10.
    int ZoomFactor() const { return FZoomFactor; }
    // Sizes every column and row by Delta pixels, unless the factor would leave -10 .. 10.
    void Zoom(int Delta);
    // Rows per wheel notch: the desktop's lines (the visible rows for one page).
    int WheelScrollRows();
    bool Panning() const { return wheelpan; }
    TScrollType ScrollType() const { return FScrollType; }
    void SetScrollType(TScrollType Value);
    // Background of the flat and the metro bars; clNone leaves the system's (the grid's) colour.
    TColor ScrollColor() const { return FScrollColor; }
    void SetScrollColor(TColor Value);
    TScrollHintType ScrollHints() const { return FScrollHints; }
    void SetScrollHints(TScrollHintType Value) { FScrollHints = Value; }
    // The grid scrolls while a thumb is dragged.
    bool ScrollSynch() const { return FScrollSynch; }
    void SetScrollSynch(bool Value) { FScrollSynch = Value; }
    // The width of the flat vertical bar and the height of the flat horizontal one.
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int Value);
    // The flat scroll bars: initialised on the window for ssFlat and
    // ssEncarta (IsFlat then), given the look, colour and width, shown
    // while the cells do not fit, and kept in step with the window's bars.
    bool IsFlat() const { return FIsFlat; }
    void InitFlatScrollBars();
    void DoneFlatScrollBars();
    void FlatSetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw);
    void FlatSetScrollProp(Cardinal Index, std::intptr_t Value, bool Redraw);
    // Only a bar that ScrollBars allows.
    void FlatShowScrollBar(int Bar, bool Show);
    void SyncFlatVScroll() { SyncFlatScroll(SB_VERT); }
    void SyncFlatHScroll() { SyncFlatScroll(SB_HORZ); }
    // The flat bars' style by ScrollType (nothing for ssMetro), their
    // background (unless clNone) and their thickness.
    void ApplyScrollType();
    void ApplyScrollColor();
    void ApplyScrollWidth();
    void ApplyFlatScrollStyle() { ApplyScrollType(); }
    void ApplyFlatScrollColor() { ApplyScrollColor(); }
    void ApplyFlatScrollWidth() { ApplyScrollWidth(); }
    void UpdateFlatScrollBars();
    // The two slim bars of ssMetro, each made when missing.
    void CreateScrollControls();
    // The two slim bars of the metro look, nil otherwise.
    TScrollControl* VertScrollControl() const { return FVScrollCtrl; }
    TScrollControl* HorzScrollControl() const { return FHScrollCtrl; }
    // Every change typed into an open spin or button editor goes into its
    // cell at once, not only when the editor closes.
    bool ShowEditProcess() const { return FShowEditProcess; }
    void SetShowEditProcess(bool Value) { FShowEditProcess = Value; }

    // ===== Events
    TCanEditCellEvent OnCanEditCell;
    TGetEditorTypeEvent OnGetEditorType;
    TRowChangingEvent OnRowChanging;
    TColChangingEvent OnColChanging;
    TCellChangingEvent OnCellChanging;
    TRowChangedEvent OnRowUpdate;
    // A sort that leaves the current row's index in place reports the old and the current row.
    TRowChangedEvent OnRowChanged;
    TNotifyEvent OnEditingDone;
    TClickCellEvent OnEditCellDone;
    TEditChangeEvent OnEditChange;
    TComboChangeEvent OnComboChange;
    TComboObjectChangeEvent OnComboObjectChange;
    // The list of the combo editor opened and closed (row, real column).
    TRowColClickEvent OnComboDropDown;
    TRowColClickEvent OnComboCloseUp;
    // The selection moved by keys, mouse or code (its corners).
    TSelectionChanged OnSelectionChanged;
    // An Enter advance about to move the cursor from (OldCol, OldRow): may
    // choose another target or refuse the move.
    std::function<void(TObject* Sender, int OldRow, int OldCol, int& NewRow, int& NewCol, bool& Allow)>
        OnAutoAdvance;
    // Fill the combo items of a cell here, just before its editor opens.
    TClickCellEvent OnGetEditorPropInt;
    TGetEditorPropEvent OnGetEditorProp;
    TCellValidateEvent OnCellValidate;
    TCellValidateWideEvent OnCellValidateWide;
    TCheckBoxClickEvent OnCheckBoxChange;
    TCheckBoxClickEvent OnCheckBoxClick;
    TCanClickCellEvent OnCanClickCell;
    TRowColClickEvent OnClickCell;
    // A double click on a cell (a fixed one too), after the control's OnDblClick.
    TRowColClickEvent OnDblClickCell;
    TGetCheckEvent OnGetCheckTrue;
    TGetCheckEvent OnGetCheckFalse;
    TCellsChangedEvent OnCellsChanged;
    TUpdateColumnSizeEvent OnUpdateColumnSize;
    TNotifyEvent OnPainted;
    TGridHintEvent OnGridHint;
    // Also with (-1, -1) for a right click outside the cells.
    TRowColClickEvent OnRightClickCell;
    TColumnSizingEvent OnColumnSizing;
    TRowSizingEvent OnRowSizing;
    TColumnSizeEvent OnColumnSize;
    // Asked while the mouse is over a row border in the fixed columns; a
    // refusal keeps that row from being sized.
    TRowSizeEvent OnRowSize;
    TEndColumnSizeEvent OnEndColumnSize;
    TEndRowSizeEvent OnEndRowSize;
    TCheckBoxClickEvent OnCheckBoxMouseUp;
    TScrollHintEvent OnScrollHint;
    // Sorting, moving and drag scrolling.
    TCustomCompareEvent OnCustomCompare;
    TRawCompareEvent OnRawCompare;
    TGetFormatEvent OnGetFormat;
    TCanSortEvent OnCanSort;
    TClickSortEvent OnClickSort;
    // Whether a fixed cell of the column shows its drop-down button.
    std::function<void(TObject* Sender, int ACol, bool& CanShow)> OnCanShowFixedDropDown;
    // A press on a header's drop-down button: the handler may choose or clear the
    // menu shown under the button, and keep the header lit after it closes.
    std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu*& AMenu, bool& KeepFixedCellHighlighted)>
        OnFixedDropDownClick;
    // The menu of the headers' drop-down buttons (its Tag: the pressed column); not owned.
    TPopupMenu* FixedDropDownMenu() const { return FFixedDropDownMenu; }
    void SetFixedDropDownMenu(TPopupMenu* Value) { FFixedDropDownMenu = Value; }
    TMoveAllowEvent OnColumnMove;
    TMoveAllowEvent OnRowMove;
    TMoveAllowEvent OnColumnMoving;
    TMoveAllowEvent OnRowMoving;
    TDragScrollEvent OnDragScroll;
    TGetColumnFilterEvent OnGetColumnFilter;
    // The look of a cell: OnGetCellColor after the cell's own colours,
    // OnGetCellGradient after it; OnCustomCellBkgDraw before the content,
    // OnCustomCellDraw after it. Work that takes the focus out of the grid
    // (a row or column dragged) runs between OnStartBlockFocus and OnEndBlockFocus.
    TGridColorEvent OnGetCellColor;
    TGridColorEvent OnGetCellPrintColor;
    TGridGradientEvent OnGetCellGradient;
    TGridAlignEvent OnGetAlignment;
    TFloatFormatEvent OnGetFloatFormat;
    TCustomCellDrawEvent OnCustomCellBkgDraw;
    TCustomCellDrawEvent OnCustomCellDraw;
    // A printed cell's measured size (0.1 mm) may be changed here.
    TCustomCellSizeEvent OnCustomCellSize;
    TNotifyEvent OnStartBlockFocus;
    TNotifyEvent OnEndBlockFocus;
    // The alignment a cell is painted with: its own or the grid's, then
    // OnGetAlignment; VA, when given, receives the vertical one.
    TAlignment CellAlignment(int ACol, int ARow, TVAlignment* VA = nullptr);
    // Down on the last data row appends a row (Navigation.AppendOnArrowDown),
    // Insert inserts one (AllowInsertRow, at InsertPosition) and Delete
    // deletes the current one (AllowDeleteRow); each asks first and tells after.
    // Ctrl+X (Shift+Delete), Ctrl+C (Ctrl+Insert) and Ctrl+V (Shift+Insert)
    // with Navigation.AllowClipboardShortCuts; each may refuse.
    TCanAddRowEvent OnClipboardCut;
    TCanAddRowEvent OnClipboardCopy;
    TCanAddRowEvent OnClipboardPaste;
    // Sender: the text editor, whose paste these frame.
    TBeforeCellPasteEvent OnClipboardBeforePasteCell;
    TAfterCellPasteEvent OnClipboardAfterPasteCell;
    TCanAddRowEvent OnCanAddRow;
    TAutoRowEvent OnAutoAddRow;
    TCanInsertRowEvent OnCanInsertRow;
    TAutoRowEvent OnAutoInsertRow;
    TAutoInsertColEvent OnAutoInsertCol;
    TCanDeleteRowEvent OnCanDeleteRow;
    TAutoRowEvent OnAutoDeleteRow;
    // The per-cell questions (each asked through its Do slot, which a
    // descendant may answer first): a cell the grid does not count as fixed
    // may be declared fixed; the drop-down and spin buttons a cell shows
    // always (with ControlLook's DropDownAlwaysVisible and
    // SpinButtonsAlwaysVisible); the cursor over a cell, from the grid's.
    TIsFixedCellEvent OnIsFixedCell;
    THasComboEvent OnHasComboBox;
    THasSpinEditEvent OnHasSpinEdit;
    TCellCursorEvent OnGetCellCursor;
    // The open colour or image drop-down chose a colour (with its text) or an image.
    TColorSelectEvent OnColorSelect;
    TImageSelectEvent OnImageSelect;
    // A cell's password question (OnIsPasswordCell after a column grid's own answer).
    bool IsPasswordCell(int ACol, int ARow) { return DoIsPasswordCell(ACol, ARow); }
    // The form that holds the control (the control itself when it is a form); nil when none does.
    static TCustomForm* FindParentForm(TControl* AControl);
    // Down on the last data row with Navigation.AppendOnArrowDown: a row is
    // added (above a floating footer's row) when OnCanAddRow allows it.
    void AppendRowOnArrowDown();

protected:
    // Inside BeginUpdate/EndUpdate (see EndUpdate).
    bool RepaintsLocked() override;
    // The row keys above: Down before the cursor moves, Insert and Delete after the base handling.
    void AutoRowKey(Word Key, TShiftState Shift, bool BeforeMove);

protected:
    // ===== Per-cell queries a column grid answers first
    virtual void CellEditable(int ACol, int ARow, bool& CanEdit);
    virtual void IsFixedCell(int ACol, int ARow, bool& IsFixed);
    virtual void GetCellEditor(int ACol, int ARow, TEditorType& AEditor);
    virtual String GetFloatFormat(int ACol, int ARow);
    virtual String DoGetCheckTrue(int ACol, int ARow);
    virtual String DoGetCheckFalse(int ACol, int ARow);
    virtual void DoCheckBoxChange(int ACol, int ARow, bool State);
    virtual void DoCellsChanged(TRect R);
    virtual void DoCanEditCell(int ACol, int ARow, bool& CanEdit);
    virtual void DoCellChanging(int NewCol, int NewRow, bool& Allow);
    virtual void ColumnHeadersChanged() {}
    bool IsEditorNone(int ACol, int ARow);
    // The cell's colours and font (real column).
    virtual void DoGetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont);
    virtual TAlignment DoGetAlignment(int ACol, int ARow);

    // ===== Operations whose bodies come with the grid's later parts: each
    // starts neutral (does nothing, leaves the answer), in slot order.
    // The floating footer's row takes each column's figure (-1: every column).
    virtual void CalcFooterColumn(int ACol);
    virtual void DoClickSort(int ACol) {
        if (OnClickSort) OnClickSort(this, ACol);
    }
    virtual void DoF2Key(int, int) {}
    virtual void AdjustKeySelection() {}
    // Stores one pasted value (a check box takes CheckTrue as checked), through the undo list.
    virtual void PasteCell(int ACol, int ARow, const String& Value);
    // The cell text; a number in the format OnGetFloatFormat answers.
    virtual String GetFormattedCell(int ACol, int ARow);
    // The size of a cell's printed graphic in grid pixels; Area is the printed
    // cell in 0.1 mm, Scale the 0.1 mm per grid pixel.
    virtual TPoint CalcPrintGraphicSize(int ACol, int ARow, TRect Area, double Scale);
    // Fires OnPrintGetPageNum (the data tools' event) with the page text to print.
    virtual void DoPrintGetPageNum(int PageNum, int PageColNum, String& PageNumString);
    // OnGetEditorProp with the editor's link (nil for the text and combo-index questions), then OnGetEditorPropInt.
    virtual void DoGetEditorProp(int ACol, int ARow, TEditLink* AEditLink = nullptr);
    virtual void DoCheckBoxClick(int ACol, int ARow, bool State) {
        if (OnCheckBoxClick) OnCheckBoxClick(this, ACol, ARow, State);
    }
    virtual void SelectionChanged(int ALeft, int ATop, int ARight, int ABottom);
    // For descendants: the text editor's key went up (Pos: client position of
    // the character before the caret at Caret), or the editor was left
    // (Pos (-1, -1), Caret -1).
    virtual void InplaceEditHook(const String&, TPoint, int) {}
    // For descendants: after a key in the text editor, whether its text is a
    // formula (begins with "="); false when the editor is left.
    virtual void EditHook(bool) {}
    virtual void InsertRowAuto(int ARow) { InsertRows(ARow, 1); }
    // The only data row is emptied instead, unless the header row may stand alone.
    virtual void DeleteRowAuto(int ARow);
    // After a filter choice from a column's list has been applied.
    virtual void DoFilterDone();
    virtual void DoUpdateColumnSize(int ACol, int& AWidth) {
        if (OnUpdateColumnSize) OnUpdateColumnSize(this, ACol, AWidth);
    }
    virtual void DoUpdateColumnSizeAuto(int ACol, int& AWidth) {
        if (OnUpdateColumnSize) OnUpdateColumnSize(this, ACol, AWidth);
    }
    virtual bool MatchFilter(int ARow);
    virtual void BeforePaste(int, int) {}
    virtual void AfterPaste(int, int) {}
    virtual void MarkPastedRows(int, int) {}
    virtual String GetCalcCell(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
    // The text saves and exports write: the displayed text with SaveVirtCells,
    // else the stored one; an empty check-box cell gives its check text,
    // markup loses its tags unless SaveWithHTML, a rich-text cell gives its
    // plain text (or with SaveWithRTF its source without line breaks); then
    // OnSaveCell may change it.
    virtual String SaveCell(int ACol, int ARow);
    // SaveCell's text as a view of the stored text, when nothing on the way
    // changes it (no hook, no float format, not empty, no markup to strip, no
    // rich text); false otherwise. A class that changes SaveCell or
    // GetFormattedCell answers false where its text may differ. The view
    // lives until the cell's row next changes.
    virtual bool SaveCellView(int ACol, int ARow, std::u16string_view& Text);
    // OnLoadCell may change the text; it is stored at exactly that cell.
    virtual void LoadCell(int ACol, int ARow, const String& Value);
    virtual void RecalcFooterColumn(int ACol) { CalcFooter(ACol); }
    // Tells OnSearchFooterAction what the search panel found (-1, -1: nothing).
    virtual void DoSearchFooterAction(const String& Value, int ACol, int ARow, TSearchAction SearchAction);
    virtual void DoButtonClick(int ACol, int ARow) {
        if (OnButtonClick) OnButtonClick(this, ACol, ARow);
    }
    // Reports the click and gives the row the height of the new state.
    virtual void DoExpandClick(int ACol, int ARow, bool Expanded);
    virtual void DoComboCloseUp(int ARow, int ACol) {
        if (OnComboCloseUp) OnComboCloseUp(this, ARow, ACol);
    }
    virtual void DoComboDropDown(int ARow, int ACol) {
        if (OnComboDropDown) OnComboDropDown(this, ARow, ACol);
    }
    // OnGetCellCursor, starting from the grid's Cursor; its answer is shown at once.
    virtual void DoGetCellCursor(int ACol, int ARow, int X, int Y);
    virtual void RecalcFooter(int ACol) { CalcFooter(ACol); }
    // Fires OnGridHint; the handler sees the hint chosen so far.
    virtual void DoGridHint(int ACol, int ARow, String& HintStr);
    // Fires OnGetCellPrintColor.
    virtual void DoGetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont) {
        if (OnGetCellPrintColor) OnGetCellPrintColor(this, ARow, ACol, AState, ABrush, AFont);
    }
    // Fires OnGetCellBorder.
    virtual void DoGetCellBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders);
    // Fires OnGetCellPrintBorder (the data tools' event); Borders holds TCellBorder values.
    virtual void DoGetCellPrintBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders);
    // The sort format of a column.
    virtual void DoGetFormat(int ACol, TSortStyle& AStyle, String& APrefix, String& ASuffix) {
        if (OnGetFormat) OnGetFormat(this, ACol, AStyle, APrefix, ASuffix);
    }
    virtual void DoGetEditorType(int ACol, int ARow, TEditorType& AEditor) {
        if (OnGetEditorType) OnGetEditorType(this, ACol, ARow, AEditor);
    }
    // Fire OnIsPasswordCell and OnGetWordWrap.
    virtual bool DoIsPasswordCell(int ACol, int ARow);
    virtual void DoGetWordWrap(int ACol, int ARow, bool& WW);
    // OnHasComboBox decides; without it the combo editor kinds show their
    // button while ControlLook.DropDownAlwaysVisible is on.
    virtual bool DoHasComboBox(int ACol, int ARow);
    // Never on fixed cells; OnHasSpinEdit decides, else the spin editor kinds
    // while ControlLook.SpinButtonsAlwaysVisible is on.
    virtual bool DoHasSpinEdit(int ACol, int ARow);
    // Fills FilterList with the values offered by the column's filter list; true when it holds any.
    virtual bool DoGetColumnFilter(int Col);
    // The smallest rectangle holding every cell of the grid with a text; (0, 0, 0, 0) for none.
    virtual TGridRect GetUsedCells();
    virtual void RemoveRowsInternal(int ARow, int ACount) {
        FreeCellPropsRect(0, ARow, ColCount() - 1, ARow + ACount - 1);
        DoRemoveRows(ARow, ACount, true);
    }
    virtual void DoCanAddRow(bool& CanAdd) {
        if (OnCanAddRow) OnCanAddRow(this, CanAdd);
    }
    virtual void DoCanInsertRow(int ARow, bool& CanInsert) {
        if (OnCanInsertRow) OnCanInsertRow(this, ARow, CanInsert);
    }
    virtual void AddRowAuto() { SetRowCount(RowCount() + 1); }
    virtual void MouseActionsChanged() {}
    virtual bool IsDesigning() { return ComponentState().Contains(csDesigning); }
    virtual void EditKeyUpHook(Word&, TShiftState) {}
    virtual void EditKeyDownHook(Word&, TShiftState) {}
    virtual void NavigationChanged() {}
    virtual void GotoFirstRow() { SetRow(TCustomGrid::FixedRows()); }
    virtual bool AllowFmtClipboard() { return FNavigation.AllowFmtClipboard(); }
    // A pick in the open filter list, and a change of the checked filter list (the data tools apply them).
    virtual void DoFilterSelect(int ItemIndex) { FTools->DoFilterSelect(ItemIndex); }
    virtual void DoFilterCheck() { FTools->DoFilterCheck(); }
    // The filter list closed: no column's list is open any more.
    void ForgetFilterCol() { FFilterCol = -1; }
    // Fires OnRatingChange; false when the handler refuses the new rate.
    virtual bool DoRatingChange(int ACol, int ARow, double& NewRate) {
        bool allow = true;
        if (OnRatingChange) OnRatingChange(this, ACol, ARow, NewRate, allow);
        return allow;
    }
    // Fire OnColorSelect and OnImageSelect.
    virtual void DoColorSelect(int ACol, int ARow, TColor Color, const String& Value);
    virtual void DoImageSelect(int ACol, int ARow, int Index);
    // OnScrollCell with the cell bar's position and limits.
    virtual void DoScrollCell(int ACol, int ARow);
    virtual bool DoCanShowFixedDropDown(int ACol) {
        bool canShow = true;
        if (OnCanShowFixedDropDown) OnCanShowFixedDropDown(this, ACol, canShow);
        return canShow;
    }
    virtual void DoStartBlockFocus() {
        if (OnStartBlockFocus) OnStartBlockFocus(this);
    }
    virtual void DoEndBlockFocus() {
        if (OnEndBlockFocus) OnEndBlockFocus(this);
    }
    // ARow is the row the state concerns, -1 for none.
    virtual void ExportNotification(int /*AState*/, int /*ARow*/ = -1) {}
    // A press in the top-left corner is about to select ARect (every cell); it may change it.
    virtual void ClickHook(TGridRect& /*ARect*/) {}
    // For descendants: a mouse button went down on the grid (client point).
    virtual void MouseDownHook(TMouseButton, TShiftState, int, int) {}
    virtual void ImportNotification(int /*AState*/, int /*ARow*/ = -1) {}
    virtual void AssignCells(const TPersistent* Source);
    virtual void RemoveRowsEx(int RowIndex, int RCount) { DoRemoveRows(RowIndex, RCount, false); }

    // ===== Framework overrides
    // Also the fixed-cell and active-cell fonts, rounded to the nearest size.
    void ChangeScale(int M, int D) override;
    void Loaded() override;
    // The footer panel shows the hidden last row's new texts.
    void HiddenLastRowChanged() override;
    void CreateWnd() override;
    void Resize() override;
    bool SelectCell(int ACol, int ARow) override;
    bool CanEditShow() override;
    TInplaceEdit* CreateEditor() override;
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    String GetEditMask(int ACol, int ARow) override;
    int GetEditLimit() override;
    void WndProc(TMessage& Message) override;
    void WMTimer(TWMTimer& Message) override;
    // Displayed indexes: the cells move by their real columns, hidden columns between keep their place in the order.
    void ColumnMoved(int FromIndex, int ToIndex) override;
    // What moves with a row: heights with EnhRowColMove; OnRowMoved once, after them.
    void RowMoved(int FromIndex, int ToIndex) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The base answer, plus the characters when the grid does not edit or goes to typed text.
    void WMGetDlgCode(TMessage& Message) override;
    // Drag scrolling, then the base handling.
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    // A drop ends the drag without a leave: the scrolling stops.
    void DragDrop(TObject* Source, int X, int Y) override;
    void DoEnter() override;
    // An open combo closes with its text written when the grid scrolls.
    void TopLeftChanged() override;
    // The grid's own keys before and after the framework's navigation; Enter
    // and F2 on a cell that cannot be edited are swallowed after OnKeyDown.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Escape restores an edit, Enter advances when the grid is set to.
    void KeyPress(Char& Key) override;
    // The accelerators of the search footer's buttons.
    void CMDialogChar(TCMDialogChar& Message) override;
    void WMChar(TWMKey& Message) override;
    // A press on an editable check box cell toggles it and reports the check
    // box click instead of the cell click; any other press on a cell selects
    // it through the framework and reports the cell click.
    void WMLButtonDown(TWMMouse& Message) override;
    // Hover row, sizing events and hints, the cursor's offer for the next press.
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseLeave(TMessage& Message) override;
    // A cursor the grid did not set itself ends the offer of a press.
    void CMCursorChanged(TMessage& Message) override;
    // The splitter cursor over a fixed column's border that can be dragged.
    void WMSetCursor(TMessage& Message) override;
    // Ends fixed sizing and the sizing hint, reports clicks on fixed cells
    // and check-box releases.
    void WMLButtonUp(TWMMouse& Message) override;
    // A double click at a header border sizes the column left of it.
    void WMLButtonDblClk(TWMMouse& Message) override;
    void WMRButtonDown(TWMMouse& Message) override;
    void WMRButtonUp(TWMMouse& Message) override;
    void CMHintShow(TMessage& Message) override;
    void WMHScroll(TWMScroll& Message) override;
    void WMVScroll(TWMScroll& Message) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    // Called after a wheel notch moved the grid by Delta rows.
    virtual void WndProcHook(int, bool&) {}
    // The sort click of a left release on a data column (X, Y: the release
    // point); it comes with the grid's sorting and does nothing until then.
    virtual void SortClick(int ACol, int ARow, int X, int Y);
    // The drag feedback of a header move, and the filter list's button, on every release.
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The cell of the last left press: a sort needs press and release in the sort row.
    int FPressCol = -1, FPressRow = -1;
    // A press on the selection of a grid that drags its cells out keeps the
    // selection for the drag; a release without a drag narrows it to the
    // released cell (true: the release ends there).
    bool FSelectionClick = false;
    bool SelectionClickPress(int ACol, int ARow, int X, int Y, const TRect& R, TShiftState Shift);
    bool SelectionClickRelease(int ACol, int ARow, int X, int Y, TShiftState Shift);
    // MouseActions.CaretPositioning: the press that opens the text editor
    // puts its caret under the mouse (the editor clears it when it has).
    bool LButFlg = false;
    // The press state that sizing and moving read (Clickposx .. MoveOfsY).
    void NotePress(int X, int Y, int ACol, int ARow);
    // A press in the top-left corner selecting every cell (MouseActions.AllSelect).
    void SelectAllPress();
    // The selection before the last press; the release reports a different one.
    TGridRect FPressSelection{};
    // A column (row) sizing dropped right of (below) the grid.
    bool SizingReleasedOutside(int X, int Y);
    // Space on an editable check box cell toggles it, Space or Enter on an
    // editable button cell clicks it (the key goes on).
    void ClickControlByKey(Word Key);
    void Paint() override;
    void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool Remap,
                             TBrush& ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo,
                             TFont& AFont, TAlignment& HA, TVAlignment& VA, bool& WW,
                             TCellGradientDirection& GD) override;
    void DrawGridCell(TCanvas& ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    void WMNCPaint(TMessage& Message) override;
    void DrawCheckBox(TCanvas& ACanvas, TRect R, bool Checked, bool Enabled, bool Grayed = false);
    TColor BandColor(int ACol, int ARow, bool Print, int RCol);
    // The gradient of an active-cell header or of the sorted column's header; false: neither.
    bool DrawFixedHighlight(TCanvas& ACanvas, int ACol, int RCol, int ARow, TRect R);
    void DrawRotatedText(TCanvas& ACanvas, int RCol, int ARow, TRect R, int Angle);
    void GetCellPropDefaults(int ACol, int ARow, TFont& AFont, TBrush& ABrush, TColor& AColorTo,
                             TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA,
                             bool& WW, TCellGradientDirection& GD) override;

    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    void ApplyScrollBarAlways(bool HideWhenFit);
    bool ScrollBarKept(int Bar) const override;
    // With proportional thumbs a horizontal bar not kept shows only while the
    // columns' own widths, lines left out, fill the grid's width.
    bool ScrollBarHidden(int Bar) const override;
    // The proportional horizontal thumb's share of the columns (E), their
    // whole extent and the extent before LeftCol; false when none is set.
    bool HScrollShare(float& E, int& Total, int& Left) const;
    // The stretch after the columns or the client width changed: a stretch
    // column past the columns stands for the last one.
    void StretchAfterChange();
    void ColWidthsChanged() override;
    // The end of a row sized by the mouse (with AllRowSize the others follow).
    void RowHeightsChanged() override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    // The framework's sizing decision, which OnColumnSize and OnRowSize may refuse.
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                         TGridDrawInfo& FixedInfo) override;
    // Copies row contents over all real columns (texts, objects and height).
    void CopyRowOut(int ARow, TGridItem& Item);
    void CopyRowIn(const TGridItem& Item, int ARow);
    std::vector<std::unique_ptr<TGridItem>> TakeGridItems(const std::function<bool(const TGridItem&)>& Which);
    // Removes displayed rows with their texts, objects and heights; hidden
    // rows keep their indexes unless UpdateHidden.
    void DoRemoveRows(int RowIndex, int RCount, bool UpdateHidden);
    // Displayed rows, ascending and unique, without touching hidden-row indexes.
    void DoRemoveRowList(const std::vector<int>& Rows);
    void DoInsertRows(int RowIndex, int RCount);
    void FormResized(TObject* Sender);
    // The footer row's texts and objects move to another row (that row's own go).
    void MoveFooterRow(int FromRow, int ToRow);

    int FFixedRowsMin = 1;
    int FFixedColsMin = 1;
    int FMaxRowCount = 10;
    int FMaxColCount = 5;
    bool FLoaded = false;
    bool FUseFwStyles = false;
    int FUpdateCount = 0;
    bool FRepaintHeld = false;  // a cell repaint was left to the end of the lock
    int FTimerTicks = 0;
    bool FHovering = false;
    bool FInvalidPending = false;  // a repaint was asked for and has not run yet
    bool FEditDisable = false;
    bool FEditChange = false;
    TImageList* FGridImages = nullptr;
    bool FEditing = false;
    bool FEditMode = false;
    bool FEditActive = false;
    bool FValidating = false;
    bool FLastValidation = true;
    bool FForceSel = false;
    // The cell a Tab move runs from (a nested Tab for it returns at once), -1 when none.
    int FLastTabCol = -1, FLastTabRow = -1;
    // One Tab move from the current cell; false when nothing could move.
    // HandOn tells a move past the end, after which the focus may go on.
    bool TabStep(bool Backward, bool& HandOn);
    // Where the last Enter move started; the move reports its own cell change.
    int FAECol = -1, FAERow = -1;
    bool FDisableChange = false;
    // The press that opens a spin editor hit the upper or lower half of an
    // always-visible spin button: the editor steps once when it opens.
    void LookupKey(Char Key);
    bool FSpinUpClick = false;
    bool FSpinDnClick = false;
    bool FEntered = false;
    String FCellCache;
    int FOldCol = -1;
    int FOldRow = -1;
    String FOldCellText;
    bool FOldModifiedValue = false;
    bool FModified = false;
    String FNewCellText;
    int FOldRowSel = -1;
    TEditorType FEditControl = edNormal;
    TWinControl* FEditCtrl = nullptr;
    // The stored text of the edited cell, decoded when it holds wide text.
    String FOldCellTextWide;
    // A refused value's balloon, on the editor the user is sent back to.
    void ShowInvalidEntryBalloon();
    bool FBlockFocus = false;
    bool FSpecialEditor = false;
    int FComboIdx = -1;
    // The character typed on the grid that is opening the editor; a dedicated
    // editor takes it as its first input (0: opened otherwise).
    Char FStartEditChar = 0;
    // Types that character into the editor just opened and focused.
    void TypeStartEditChar(TWinControl* Editor);
    TGridCombo* FEditCombo = nullptr;
    // The editors claim Tab when the grid moves by it or someone validates the values.
    bool EditorTakesTab() {
        return Options().Contains(goTabs) || OnCellValidate != nullptr || OnCellValidateWide != nullptr;
    }
    // The keys a cell editor keeps from the form's default and cancel buttons and its Tab order.
    bool EditorClaimsKey(Word Key) {
        return Key == VK_RETURN || Key == VK_ESCAPE || (Key == VK_TAB && EditorTakesTab());
    }
    // An editor's Tab passed validation and editing ended: the grid moves on
    // with goTabs, otherwise the form moves the focus on from the grid.
    void TabFromEditor(TShiftState Shift);
    // After such a press: the mouse's point in E's client area when it lies
    // inside E (the flag is then cleared); false otherwise.
    bool TakeCaretPress(const TControl& E, TPoint& P);

    // ===== Sorting, moving and range services: state
    void DragScrollTick(TObject* Sender);
    void StopDragScroll();
    void EnsureArrows();
    void SwapCells(int Col1, int Row1, int Col2, int Row2);
    void SwapRowStorage(int Index, int Index2);
    void RepeatMoveOnSyncGrid(bool Column, int FromIndex, int ToIndex);
    bool FExcelClipboardFormat = false;
    int FAutoNumberStart = 0;
    int FAutoNumberOffset = 0;
    TSortDirection FAutoNumberDirection = sdAscending;
    ITExStringGridSelect* FISelect = nullptr;
    std::vector<TGridChangeNotifier*> FNotifierList;
    TDragScrollOptions FDragScrollOptions;
    TDragScrollDirection FDragScrollDirection;
    TTimer* FDragTmr = nullptr;
    bool FEnhRowColMove = true;
    TSyncGrid FSyncGrid{this};
    bool FSyncedMove = false;
    std::vector<int> FColumnOrder;
    bool FColMoveFlg = false;
    int FFilterDropDownRow = 0;
    bool FFilterDropDownCheck = false;
    int FFilterCol = -1;
    TStringList FFilterList;
    TFilterDropDown FFilterDropDown;
    TArrowWindow* FArrows[4] = {};
    THeaderDragButton* FMoveButton = nullptr;
    int FMoveColInd = -1;
    int FMoveRowInd = -1;
    bool FMoveAccept = true;
    bool FMovePressed = false;
    TPoint FMovePressPoint;
    std::unique_ptr<TCustomForm> FMovePicture;

private:
    // Wheel, panning and scroll bars (ExGridWindow.cpp). True: the message was handled.
    bool PanAndWheelMessage(TMessage& Message);
    void FollowThumbs(Cardinal Msg);
    // The grid took the focus (from the window Previous): the editor of an
    // always-editing grid opens, a merged current cell repaints whole.
    void FocusGained(HWND Previous);
    // Notifications of the children: the editors' changes, relayed as the grid's events.
    bool ChildCommand(TMessage& Message);
    void ShowEditProcessOf(TWinControl* Child);
    // A move ended by the window system puts its feedback away.
    void CancelEnhancedMove();
    // The synchronised grid follows a row the framework's handling chose.
    bool WheelNotch(TMessage& Message);
    bool FrameworkWheel(bool Down, TShiftState Shift, TPoint MousePos);
    void PanStart(TPoint At);
    void PanStep();
    void PanEnd();
    void DrawPanMark();
    void InvalidatePanMark();
    void ShowScrollHint(bool Horizontal, int Pos);
    void HideCheckBoxEditor();
    void HideScrollHint();
    void UpdateMetroBars();
    // The mouse offers to size a fixed column (row) at its right (bottom) border.
    bool OverFixedColBorder(int X, int& Index);
    void ShowSizingHint(const String& Text, int AnchorCol, int AnchorRow);
    // A press on a header that offers a selection makes it.
    void HeaderSelectPress(int ACol, int ARow, TShiftState Shift);
    // A drag that began on a header extends its selection to the cell under the mouse.
    // True when a row drag above the rows brought the row before the top one into view.
    bool HeaderSelectDrag(int ACol, int ARow, int Y);
    // The point lies on a column or row border the framework would size.
    bool IsOnSizingBorder(int X, int Y);
    // The line that follows the mouse while a fixed column is sized.
    void DrawFixedSizingLine();
    // A press on a fixed column's (row's) border starts sizing it.
    bool StartFixedSizing(int X, int Y);
    // The release ends it: the column takes its new width.
    void EndFixedSizing(int X);

    bool FLookup = false;
    bool FLookupCaseSensitive = false;
    bool FLookupHistory = false;
    TStringList FLookupItems;
    bool FUseHTMLHints = false;
    bool FHintShowCells = false;
    bool FHintShowLargeText = false;
    THintShowLargeTextPos FHintShowLargeTextPos = hpCell;
    bool FHintShowSizing = false;
    bool FHTMLHint = false;
    bool FUseInternalHintClass = true;
    TColor FHintColor = clInfoBk;
    TPoint FLastHintPos{-1, -1};
    // The base cell whose balloon text was given last, (-1, -1) after a close.
    TPoint FLastBalloonPos{-1, -1};
    // Closes a shown hint or balloon that belongs to a cell other than (ACol, ARow).
    void CancelHintsOffCell(int ACol, int ARow);
    bool FAnchorHint = false;
    String FLastAnchorHint;
    TControlList FControlList;
    // Set once a control was placed: from then on structure changes place them anew.
    bool FHasPlacedControls = false;
    void CellControlsMoved() {
        if (FHasPlacedControls) CellControlsUpdate(true);
        else CellScrollBarUpdate();
    }
    // A placed control that is freed leaves its cell.
    void ForgetCellControl(TComponent* AComponent);
    bool HasPlacedControl(TControl* Control) const;
    String FAnchor;
    // What lies under (X, Y) in the markup Text laid out in R with AFont: links,
    // controls; with ControlID, where the in-text control of that ID lies.
    TMarkupDrawResult MarkupAt(const String& Text, const TRect& R, int X, int Y, TFont& AFont,
                               const String& ControlID = String());
    // Where the text of cell (ACol displayed, ARow) is laid out, and its font.
    TRect MarkupRect(int ACol, int ARow, TFont*& AFont);
    // The link of the cell's text under the point (Title gets its title); empty when none.
    // Link gets the markup link's number (from 1; 0 none; -1 when the text is no markup).
    String AnchorAt(int ACol, int ARow, int X, int Y, String* Title = nullptr, int* Link = nullptr);
    // A press on a link: reports it and follows it; false when no link is under the point.
    bool AnchorPress(int ACol, int ARow, int X, int Y);
    // The link under the moving mouse: its enter, exit and hint events; true over a link.
    bool TrackAnchor(int ACol, int ARow, int X, int Y);
    TPictureContainer* FPictureContainer = nullptr;
    THTMLHintWindow* FScrollHintWnd = nullptr;
    bool FScrollHintShow = false;
    bool FEnableWheel = true;
    TIntelliPan FIntelliPan = ipVertical;
    bool FIntelliZoom = true;
    int FZoomFactor = 0;
    bool FScrollLock = false;
    bool FPrevShowHint = true;
    TScrollType FScrollType = ssNormal;
    TColor FScrollColor = clNone;
    TScrollHintType FScrollHints = shNone;
    bool FScrollSynch = false;
    TScrollControl* FVScrollCtrl = nullptr;
    TScrollControl* FHScrollCtrl = nullptr;
    bool FShowEditProcess = false;
    int FScrollWidth = 17;
    bool FIsFlat = false;
    bool ScrollBarsAllow(int Bar) const;
    // After a change of counts or size the flat bars show while their cells do not fit.
    void FollowFlatBars();
    void SyncFlatScroll(int Bar);
public:
    // Wheel and panning state: the message that carries wheel notches (0
    // before the window knows it), the rows per notch, panning running, its
    // anchor (client), the pan timer and the cursor to restore after it.
    Cardinal wheelmsg = 0;
    int wheelscrl = 3;
    bool wheelpan = false;
    TPoint wheelpanpos;
    std::uintptr_t wheeltimer = 0;
    TCursor prevcurs = crDefault;
    // Press state of the mouse handling, read by sizing and moving: the
    // press point; the column and row whose right and bottom border the
    // press took, their sizes then and the press's distance from those
    // borders; the column or row a header drag would move and the press's
    // offset in its header cell.
    int Clickposx = 0, Clickposy = 0;
    int Colclicked = -1, Rowclicked = -1;
    int Colclickedsize = 0, Rowclickedsize = 0;
    int Clickposdx = 0, Clickposdy = 0;
    int Movecell = -1;
    int MoveOfsX = 0, MoveOfsY = 0;
    // A column or row is being sized by the mouse: its width (height) change ends the sizing.
    bool ColSized = false, Rowsized = false;

private:
    bool FDblClk = false;
    bool FColSizeFlg = false;
    bool FDoOnClick = false;
    bool FSizeFixed = false;
    bool FSizingFixed = false;
    int FSizingFixedCol = -1;
    int FSizeFixedX = 0;
    TMouseSelectMode FMouseSelectMode = msNormal;
    int FMouseSelectStart = -1;
    // Fixed rows sized by the mouse at their bottom border.
    bool FSizeFixedR = false;
    bool FSizingFixedR = false;
    int FSizingFixedRow = -1;
    int FSizeFixedY = 0;
    THoverFixedCells FHoverFixedCells = hfNone;
    int FHoverFixedX = -1;
    int FHoverFixedY = -1;
    TPoint FHotFixedCell{-1, -1};
    void TrackHoverFixedCell(int ACol, int ARow);
    // The cell whose in-cell or expand button is under the mouse, drawn hot; (-1, -1) none.
    TPoint FHoverButton{-1, -1};
    void TrackHoverButton(TPoint Cell);
    // The cell whose in-cell button (or, with FixedAsButtons, whose fixed
    // cell) is held down by the mouse; (-1, -1) none.
    TPoint FPushedCellButton{-1, -1};
    bool CellButtonPress(int ACol, int ARow, int X, int Y);
    void CellButtonRelease(int X, int Y);
    // The release point lies on the button or expand button of its cell.
    bool OnCellButton(int X, int Y);
    // The selection resizer's grip, its press and its release.
    bool OnSelectionGrip(int X, int Y);
    bool SelectionResizePress(int X, int Y, TWMMouse& Message);
    void SelectionResizeRelease();
    bool FMouseResize = false;
    // A fixed cell pressed as a button: drawn sunken until the release.
    bool FFixedAsButtons = false;
    TPopupMenu* FFixedDropDownMenu = nullptr;
    // The header stays lit after its drop-down menu closed.
    bool FKeepFixedHighlight = false;
    bool FixedDropDownPress(int ACol, int ARow, int X);
    // Keys of the grid's key-down handling; true when they took the key.
    bool ScrollOnlyKey(Word Key);
    bool HomeEndKey(Word Key, TShiftState Shift);
    void CursorAdvanceKey(Word Key, int X0, int Y0);
    bool ClipboardKey(Word Key, TShiftState Shift);
    // An arrow whose neighbour is fixed walks on to the first cell that is
    // not (Navigation.SkipFixedCells); the key is then spent.
    bool SkipFixedKey(Word& Key, TShiftState Shift);
    // With goRowSelect, Ctrl+Left/Right (or, without
    // Navigation.LeftRightRowSelect, plain Left/Right, then spent) scroll
    // the columns one place.
    bool RowSelectScrollKey(Word& Key, TShiftState Shift);
    // Ctrl+F with the search footer shown puts the focus in its edit field.
    bool SearchFooterKey(Word Key, TShiftState Shift);
    // Ctrl+Up/Down with Navigation.CursorMoveRows move the rows selected
    // before the key one place up or down.
    void MoveRowsKey(Word Key, TShiftState Shift, const TGridRect& Before, int R0);
    // The key is spent here: OnKeyDown sees it as pressed, nothing after it does.
    void ConsumeKey(Word& Key, TShiftState Shift);
    // Enter and F2 on a cell that cannot be edited are swallowed; with
    // MouseActions.EditOnDblClickOnly or RangeSelectAndEdit they switch
    // editing on for a cell that can be (the latter also opens the editor).
    bool EditStartKey(Word& Key, TShiftState Shift);
    // Right and Left on a node row expand and contract the node.
    void NodeKey(Word Key);
    // The view scrolls on, past its usual end, until ARow's bottom is above the shown search footer.
    void ScrollRowAboveSearchFooter(int ARow);
    // With the search footer shown, ARow is in view with its bottom at or above the footer's top.
    bool RowClearOfSearchFooter(int ARow);
    // A grid following this one's cursor (SyncGrid) takes its column (Cols) and
    // row (Rows) where it has them, through its framework setters so that two
    // grids following each other do not chase each other.
    void SyncGridFollow(bool Cols, bool Rows);
    bool RatingPress(int ACol, int ARow, int X);
    bool FFixedCellPushed = false;
    TRect FPushedFixedCell{};
    void FixedCellButtonPress(int ACol, int ARow, int X, const TRect& R);
    void DrawPushedFixedCell(TCanvas& C);

public:
    TPoint HoverButton() const { return FHoverButton; }
    TPoint PushedCellButton() const { return FPushedCellButton; }
    // Fixed cells press and click like buttons (with both fixed grid lines and the 3D look).
    bool FixedAsButtons() const { return FFixedAsButtons; }
    void SetFixedAsButtons(bool Value) { FFixedAsButtons = Value; }
    bool FixedCellPushed() const { return FFixedCellPushed; }
    // Where a cell's push button was last drawn (display column); empty without one.
    TRect GetCellButtonRect(int ACol, int ARow);

private:
    bool OverFixedRowBorder(int Y, int& Index);
    void EndFixedRowSizing(int Y);
    // Range select and edit: a press on the current cell edits it, a press
    // elsewhere or a drag selects.
    bool RangeSelectEditPress(int ACol, int ARow, TShiftState Shift, TWMMouse& Message);
    // A double click that opens the editor (edit on double click only, or range select and edit).
    void DblClickEdit(int ACol, int ARow);
    // MouseActions.DirectEdit (or a combo shown in the cell): the press
    // that selected a cell opens its editor at once.
    void DirectEditPress(int ACol, int ARow, int X, const TRect& R);

protected:

private:
    friend class TExInplaceEdit;
    friend class TGridCombo;
    friend class TExGridTools;
    friend class TFooterPanel;
    friend class TColumnSize;
    String ReadNumberText(const String& Raw);
    TCellGraphic* OwnGraphic(int ACol, int ARow);
    // The cell's own graphic, made when it has none; "Invalid cell" outside
    // the grid. Removing drops it when it is of that kind.
    TCellGraphic* MakeOwnGraphic(int ACol, int ARow);
    // The graphic of a real row, a hidden row's kept cells included.
    TCellGraphic* RealRowGraphic(int ACol, int ARow);
    // The next state of a three-state box clicked in display row ARow; true when it is now checked.
    bool ToggleTriState(TCellGraphic& G, int ARow);
    // A plain check box takes a written-back check text as its state.
    void UndoWriteCell(int ACol, int ARow, const String& Value) override;
    void RepaintDisplCell(int ACol, int ARow);

    bool FFixedRowAlways = false;
    bool FExcelStyleDecimalSeparator = false;
    bool FFixedColAlways = false;
    int FFixedFooters = 0;
    int FFixedRightCols = 0;
    int FFixedRowHeight = 22;
    int FMinRowHeight = 0;
    int FMinColWidth = 0;
    int FMaxRowHeight = 0;
    int FMaxColWidth = 0;
    bool FSizeGrowOnly = false;
    TAlignment FDefaultAlignment = taLeftJustify;
    TVAlignment FVAlignment = vtaTop;
    TScrollBarAlways FScrollBarAlways = saNone;
    bool FIntegralHeight = false;
    bool FScrollProportional = false;
    bool FSizeWithForm = false;
    String FFloatFormat = u"%.2f";
    String FCheckTrue = u"Y";
    String FCheckFalse = u"N";
    TControlLook FControlLook;
    TSortSettings FSortSettings{this};
    TFloatingFooter FFloatingFooter{this};
    TBalloonSettings FBalloon;
    TFilter FFilter{this};
    TGrouping FGrouping;
    TDragDropSettings FDragDropSettings;
    std::unique_ptr<TGridDataTools> FDataTools;
    // The grid's own tools: FDataTools, or kept aside while a caller's tools answer the grid's queries.
    TExGridTools* FTools = nullptr;
    std::unique_ptr<TGridDataTools> FToolsAside;
    bool FFilterActive = false;
    bool FHasNodeRows = false;
    std::vector<int> FOrigColSizes;
    int FOldSize = 0;  // the control's width when FOrigColSizes were taken
    bool FFlat = false;
    bool FSelectionColorMixer = false;
    int FSelectionColorMixerFactor = 50;
    bool FHideFocusRect = false;
    TPoint FXYOffset{2, 2};
    bool FModifiedPublic = false;
    TStringList FColumnHeaders;
    TStringList FRowHeaders;
    std::vector<bool> FVisibleCol;
    std::vector<int> FAllColWidths;
    int FNumHidden = 0;
    TGridItems FGridItems;
    int FFilterLevel = 0;
    TGridRect FOldSelection;
    bool FSelHidden = false;
    TNavigation FNavigation;
    TSizeWhileTyping FSizeWhileTyping;
    TMouseActions FMouseActions{this};
    TEditorType FDefaultEditor = edNormal;
    int FMaxEditLength = 0;
    int FMaxComboLength = 0;
    String FEditMask;
    String FValidChars;
    bool FAlwaysValidate = false;
    TExStringGridCheck* FCellChecker = nullptr;
    TFont FCellFont;  // what Fonts returns for a cell with properties
    String FInvalidEntryTitle;
    String FInvalidEntryText;
    TInvalidEntryIcon FInvalidEntryIcon = ieWarning;
    TGridLook FLook = glXP;
    TColor FBorderColor = TColor(0xB99D7F);
    TColor FSelectionColor = TColor(0xEACAB6);
    TColor FSelectionTextColor = clBlack;
    bool FShowSelection = true;
    bool FAutoNumAlign = false;
    bool FSpreadSheet = false;
    TFont FFixedFont;
    TFont FActiveCellFont;
    // ----- column stretch
    TColumnSize FColumnSize{this};
    bool FIsColChanging = false;  // a stretch is running
    bool FColchgFlg = true;       // width changes re-apply the stretch
    // ----- painting
    bool FActiveCellShow = false;
    TColor FActiveCellColor = clGray;
    TColor FActiveCellColorTo = clNone;
    TBands FBands;
    TColor FDisabledFontColor = clSilver;
    // -----
    TCustomForm* FOwnerForm = nullptr;
    TNotifyEvent FOldFormResize;
    int FFormWidth = 0;
    int FFormHeight = 0;

    // ===== Disjunct selections, modified rows and merged areas (ExGridSelection.cpp)
    // Row flags are indexed by displayed row, or by real row with
    // MouseActions.RowSelectPersistent; the flag lists grow on demand.
public:
    // "Invalid row accessed" outside the rows (any row while the grid has no data row).
    void SetRowSelect(int ARow, bool Value);
    // "Invalid column accessed" outside the columns.
    bool GetColSelect(int ACol);
    bool ColSelect(int ACol) { return GetColSelect(ACol); }
    void SetColSelect(int ACol, bool Value);
    void UnSelectRows(int RowIndex, int RCount);
    void UnSelectCols(int ColIndex, int CCount);
    void ClearRowSelect();
    void ClearColSelect();
    // The flags of the rows (columns) take the selection rectangle's: all data rows, or only those inside it.
    void SelectRowsFromSelection(bool All);
    void SelectColsFromSelection(bool All);
    // Set flags with the disjunct selection on, else the rectangle's extent.
    int RowSelectCount();
    int ColSelectCount();
    // The rows in the order they were selected (merged areas widen the rectangle's count).
    int SelectedRowCount();
    int SelectedColCount();
    // -1 past the end.
    int SelectedRow(int Index);
    bool SelectedCells(int ACol, int ARow);
    void SetSelectedCells(int ACol, int ARow, bool Value);
    // Without the disjunct cell selection the list is rebuilt from the rectangle, column by column.
    int SelectedCellsCount();
    TGridCoord SelectedCell(int Index);
    void ClearSelectedCells();
    // The current cell moved for the application: the cell alone becomes the selection.
    using TCustomGrid::FocusCell;
    void FocusCell(int ACol, int ARow) { SetSelection({ACol, ARow, ACol, ARow}); }
    void GotoCell(int ACol, int ARow) {
        SetRow(ARow);
        SetCol(ACol);
    }
    // The current cell ends at (ToCol, ToRow).
    void SelectRange(int FromCol, int ToCol, int FromRow, int ToRow) {
        SetRow(ToRow);
        SetCol(ToCol);
        SetSelection({FromCol, FromRow, ToCol, ToRow});
    }
    // The selection changed since the last reset.
    bool SelChange() const { return FSelChange; }
    // Real rows.
    bool RowModified(int ARow) const;
    void SetRowModified(int ARow, bool Value);
    int ModifiedRowCount() const;
    void ClearModifiedRows();
    TShowModified& ShowModified() { return FShowModified; }
    void SetShowModified(const TShowModified& Value) { FShowModified.Assign(&Value); }
    // Merging by equal texts (real columns): runs of equal cells become one area.
    void MergeColumnCells(int ColIndex, bool MainMerge);
    void MergeRowCells(int RowIndex, bool MainMerge);
    void SplitColumnCells(int ColIndex);
    void SplitRowCells(int RowIndex);
    void SplitAllCells();
    // Column 1 takes "text1 Separator text2" trimmed in every data row; column 2 goes.
    void MergeCols(int ColIndex1, int ColIndex2, const String& Separator);
    // The columns merged again after a sort with SortSettings.AutoColumnMerge.
    TIntList& MergedColumns() { return FMergedColumns; }
    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;

protected:
    // The draw state of a normal cell under the disjunct selections.
    void ApplyDisjunctSelection(int ACol, int ARow, TGridDrawState& AState);
    // The modified marker of a cell in column 0.
    void DrawModifiedMark(TCanvas& ACanvas, int ARow, TRect R);
    // The row index the row flags use for a displayed row.
    int RowSelectIndex(int ARow) const;
    // The press, release and key steps of the disjunct selections.
    void DisjunctPress(int ACol, int ARow, TShiftState Shift, const TGridRect& OldSel);
    // True when the release deselected the pressed row or column.
    bool DisjunctRelease(int ACol, int ARow);
    void DisjunctCellRelease(int ACol, int ARow, TShiftState Shift);
    void DisjunctKey(Word Key, TShiftState Shift);
    // Marks the row modified when ShowModified is on (a check box toggled by mouse or key).
    void MarkRowModifiedByToggle(int ARow);
    // The per-row lists follow the rows: inserted, removed, moved and swapped.
    // Real: rows that come or go for good (the lists by real row), else rows
    // shown or hidden (the lists by displayed row).
    void RowListsInserted(int RowIndex, int RCount, bool Real);
    void RowListsRemoved(int RowIndex, int RCount, bool Real);
    void RowListsMoved(int FromIndex, int ToIndex);
    void RowListsSwapped(int Index, int Index2, bool Selection = true, bool Modified = true);
    void ColListsMoved(int FromIndex, int ToIndex);

private:
    std::vector<char> FRowSelect;
    std::vector<char> FColSelect;
    std::vector<int> FSelectedRows;
    std::vector<int> FSelectedCells;
    std::vector<char> FModifiedRows;
    bool FSelChange = false;
    bool FDeselectState = false;
    bool FDisjunctMouseDown = false;
    TShowModified FShowModified;
    TIntList FMergedColumns{-1, -1};
    // ===== end of the disjunct selections

    // ===== Further cell editors (ExGridEditors.h, ExGridEditors.cpp): the spin
    // edit, the edits with a button, the check box and the push button.
public:
    using TSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
    using TFloatSpinClickEvent =
        std::function<void(TObject* Sender, int ACol, int ARow, double AValue, bool UpDown)>;
    using TDateTimeSpinClickEvent =
        std::function<void(TObject* Sender, int ACol, int ARow, TDateTime AValue, bool UpDown)>;
    using TEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& S)>;
    // The spin editor, made on first use.
    class TGridSpin* SpinEdit();
    class TGridEditBtn* EditBtn() const { return FEditBtn; }
    class TGridUnitEditBtn* UnitEditBtn() const { return FUnitEditBtn; }
    // The same editors under the names the grid publishes them by.
    TGridEditBtn* BtnEdit() const { return FEditBtn; }
    TGridUnitEditBtn* BtnUnitEdit() const { return FUnitEditBtn; }
    class TGridCheckBox* EditCheck() const { return FEditCheck; }
    class TGridButton* GridButton() const { return FGridButton; }
    // The date picker of the date and time kinds, made on first use.
    class TGridDatePicker* GetEditDate();
    TGridDatePicker* GetDatePickerEditor() { return GetEditDate(); }
    // The date-and-time picker of edDateTimeEdit, made on first use.
    class TGridDateTimePicker* DateAndTimePicker();
    // The link of the custom editor kind (the grid never frees it).
    class TEditLink* EditLink() const { return FEditLink; }
    void SetEditLink(TEditLink* Value) { FEditLink = Value; }
    // The drop-down editors, made on first use.
    class TGridTrackbarDropDown* TrackbarDropDown();
    class TGridMemoDropDown* MemoDropDown();
    class TGridCalculatorDropDown* CalculatorDropDown();
    class TGridTimepickerDropDown* TimePickerDropDown();
    class TGridDetailPickerDropDown* DetailPickerDropDown();
    class TGridImageDropDown* ImagePickerDropDown();
    class TGridGridDropDown* GridDropDown();
    class TGridExGridDropDown* ExGridDropDown();
    class TGridColorDropDown* ColorPickerDropDown();
    // The grid's style and colour tones reach its editors: the style goes to
    // the drop-down editors that exist and to every one opened later; the
    // tones colour the buttons of the edit-button, combo, spin and date
    // editors and go to every drop-down editor that exists.
    void HandStyleToEditors(TGPKStyle AStyle);
    void HandTonesToEditors(const TColorTones& ATones);
    // A button of a drop-down editor's header or footer strip was clicked.
    virtual void DoDropDownHeaderButtonClick(int ButtonIndex);
    virtual void DoDropDownFooterButtonClick(int ButtonIndex);
    std::function<void(TObject* Sender, int ACol, int ARow, int ButtonIndex)> OnDropDownHeaderButtonClick,
        OnDropDownFooterButtonClick;
    // The memo drop-down's text becomes the edit text of the current cell.
    void MemoDropDownToCell();
    // The colour picker's choice is about to be written: the handler may change the colour and its text.
    std::function<void(TObject* Sender, int ACol, int ARow, TColor& Color, String& Value)> OnColorSelected;
    // The image picker's choice is about to be written: the handler may change the image index.
    std::function<void(TObject* Sender, int ACol, int ARow, int& Index)> OnImageSelected;
    // A shape's fill colour (AddShape with the cell graphics) is what the colour picker edits.
    // The button of an edit-with-button editor was clicked: OnEllipsClick may change the text.
    virtual String DoEllipsClick(const String& Value);
    TSpinClickEvent OnSpinClick;
    TFloatSpinClickEvent OnFloatSpinClick;
    TDateTimeSpinClickEvent OnDateSpinClick;
    TDateTimeSpinClickEvent OnTimeSpinClick;
    TEllipsClickEvent OnEllipsClick;
    TClickCellEvent OnButtonClick;
    // The unit editor's menu picked another unit for the current cell.
    TUnitChangedEvent OnUnitChanged;
    TExpandClickEvent OnExpandClick;
    // The rich edits: the hidden one that converts and measures rich-text
    // cells, and the in-place editor of rich-text cells; made on first use.
    class TExRichEdit* RichEdit();
    class TExRichEdit* InplaceRichEdit();
    // A rich-text cell holds its RTF source, one character per byte.
    void CellToRich(int ACol, int ARow, class TRichEdit* Richeditor);
    String RichToString(TRichEdit* Richeditor);
    void RichToCell(int ACol, int ARow, TRichEdit* Richeditor);
    // Draws the rich-text cell (real column ACol, ARow) into ARect of the canvas.
    void DrawCellRTF(int ACol, int ARow, TRect ARect, TCanvas& ACanvas);
    // Selected rich text keeps its own colours instead of SelectionTextColor.
    bool SaveWithRTF() const { return FSaveWithRTF; }
    void SetSaveWithRTF(bool Value) { FSaveWithRTF = Value; }
    // Saves write the displayed text (on) or the stored one; markup keeps its tags (on) or loses them.
    bool SaveVirtCells() const { return FSaveVirtCells; }
    void SetSaveVirtCells(bool Value) { FSaveVirtCells = Value; }
    bool SaveWithHTML() const { return FSaveWithHTML; }
    void SetSaveWithHTML(bool Value) { FSaveWithHTML = Value; }
    std::function<void(TObject* Sender, int ACol, int ARow, String& Value)> OnSaveCell, OnLoadCell;
    bool SelectionRTFKeep() const { return FSelectionRTFKeep; }
    void SetSelectionRTFKeep(bool Value) { FSelectionRTFKeep = Value; }
    // The size the text of cell (real column ACol, ARow) needs: VS wraps it
    // into the cell's width, SB keeps room for a vertical scroll bar.
    TPoint GetCellTextSize(int ACol, int ARow, bool VS, bool SB);
    TNotifyEvent OnRichEditSelectionChange;
    // The date pickers' calendar opened or closed, and the date-and-time picker's value changed.
    TRowColClickEvent OnDatePickerCloseUp;
    // Reads a date cell's text for the date editor (ADate starts as now).
    std::function<void(TObject* Sender, const String& Value, TDateTime& ADate)> OnCustomStrToDate;
    TRowColClickEvent OnDatePickerDropDown;
    std::function<void(TObject* Sender, int ACol, int ARow, TDateTime ADateTime)> OnDateTimeChange;

private:
    friend class TGridSpin;
    friend class TGridEditBtn;
    friend class TGridUnitEditBtn;
    friend class TGridCheckBox;
    friend class TGridButton;
    friend class TExRichEdit;
    friend class TGridDatePicker;
    friend class TGridDateTimePicker;
    friend class TEditLink;
    template <class>
    friend class TGridDropDownWrapper;
    // The drop-down editor of a drop-down kind (nil for other kinds).
    class TExCustomDropDown* DropDownOfKind(TEditorType Kind);
    void ShowDropDownEditor(int ACol, int ARow, TExCustomDropDown& D);
    void CreateFurtherEditors();
    // The kinds these editors serve.
    bool IsFurtherEditorKind(TEditorType Kind) const;
    void ShowFurtherEditor(int ACol, int ARow);
    // Writes back and hides the open editor of these kinds; false for other kinds.
    bool FurtherEditorToCell(int ACol, int ARow);
    // Leaving keys of the spin and button editors: write the text and validate it.
    bool WriteAndValidate(const String& Text);
    void DatePickerClosedUp();
    // A selection or text change in the combo of the open editor link fires OnComboChange.
    void EditLinkComboNotify(const TMessage& Message);
    // The graphic of a cell showing an image of GridImages, nil for other cells.
    TCellGraphic* ImageCell(int ACol, int ARow);
    TGridSpin* FEditSpin = nullptr;
    TGridEditBtn* FEditBtn = nullptr;
    TGridUnitEditBtn* FUnitEditBtn = nullptr;
    TGridCheckBox* FEditCheck = nullptr;
    TGridButton* FGridButton = nullptr;
    TExRichEdit* FRichEdit = nullptr;
    TGridDatePicker* FEditDate = nullptr;
    TGridDateTimePicker* FEditDateTime = nullptr;
    TDateTime FOriginalDateTime = 0;  // the value the date-and-time picker opened with
    TEditLink* FEditLink = nullptr;
    TGridTrackbarDropDown* FEditTrackBar = nullptr;
    TGridMemoDropDown* FEditMemo = nullptr;
    TGridCalculatorDropDown* FEditCalculator = nullptr;
    TGridTimepickerDropDown* FEditTimePicker = nullptr;
    TGridDetailPickerDropDown* FEditDetailPicker = nullptr;
    TGridImageDropDown* FEditImagePicker = nullptr;
    TGridGridDropDown* FEditGridPicker = nullptr;
    TGridExGridDropDown* FEditExGridPicker = nullptr;
    TGridColorDropDown* FEditColorPicker = nullptr;
    TExRichEdit* FInplaceRichEdit = nullptr;
    TGPKStyle FEditorStyle = tsCustom;  // the style drop-down editors open with
    bool FSelectionRTFKeep = false;
    bool FSaveWithRTF = false;
    bool FSaveVirtCells = true;
    bool FSaveWithHTML = true;
    // ===== end of the further cell editors

    // ===== Data tools: node look, background, the empty area, node presses
    // and the key-up handling (ExGridNodes.cpp, ExGridMisc.cpp)
public:
    using TNodeAllowEvent = std::function<void(TObject* Sender, int ARow, int ARowReal, bool& Allow)>;
    using TNodeEvent = std::function<void(TObject* Sender, int ARow, int ARowReal)>;
    TCellNode& CellNode() { return FTools->CellNode(); }
    TBackGround& BackGround() { return FTools->BackGround(); }
    bool InNodeClickArea(int ARow, int X) { return FTools->InNodeClickArea(ARow, X); }
    void PaintEmptyArea() { FTools->PaintEmptyArea(Canvas()); }
    TNodeAllowEvent OnBeforeExpandNode;
    TNodeAllowEvent OnBeforeContractNode;
    TNodeEvent OnExpandNode;
    TNodeEvent OnContractNode;

protected:
    void KeyUp(Word& Key, TShiftState Shift) override;
    // Appends a group header's row count with Grouping.ShowGroupCount.
    // Final: the data tools read a cell's stored text as its display text
    // when none of the hooks here applies (DisplTextView).
    void DoGetDisplText(int ACol, int ARow, String& Value) final;
    // ===== end of the data tools' node look, background and key-up
    // ===== In-text controls and fixed-cell editing (ExGridCellControls.h, ExGridCellControls.cpp)
public:
    using TCellControlEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID,
                                                 const String& CtrlType, const String& CtrlVal)>;
    using TControlComboListEvent =
        std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID, const String& CtrlType,
                           const String& CtrlVal, TStringList& Values, bool& Edit, int& DropCount)>;
    using TControlComboSelectEvent = std::function<void(TObject* Sender, int ARow, int ACol, int ItemIndex,
                                                        const String& CtrlID, const String& CtrlValue)>;
    using TFixedEditEvent =
        std::function<void(TObject* Sender, int ACol, int ARow, TGridFixedCellEditor& AEditor, TStringList& Values)>;
    // Opens the editor of an EDIT, PASSWORD, MASK or COMBO control of a cell's
    // markup Text over CtrlRect (grid coordinates); other types open nothing.
    void StartCellControl(const String& Text, const String& CtrlType, const String& CtrlID, const String& CtrlVal,
                          TRect CtrlRect, int ARow, int RealCol, int DisplCol);
    // Writes the open in-text editor's value into its control and closes it.
    void EndCellControl(TObject* Sender);
    void ControlComboSelect(TObject* Sender);
    // Opens the in-text control of cell (ACol displayed, ARow) that follows
    // ControlID (empty: the first); with none the grid takes the focus.
    void ActivateCellControl(int ACol, int ARow, const String& ControlID);
    // Opens the transparent editor on a displayed fixed cell.
    void FixedCellEdit(int ACol, int ARow);
    void FixedEditChange(TObject* Sender);
    virtual void DoFixedEdit(int ACol, int ARow, TGridFixedCellEditor& AEditor, TStringList& Values) {
        if (OnFixedEdit) OnFixedEdit(this, ACol, ARow, AEditor, Values);
    }
    class TControlEdit* ControlEdit() const { return FControlEdit; }
    class TControlCombo* ControlCombo() const { return FControlCombo; }
    class TGridTransEdit* EditTrans() const { return FEditTrans; }
    class TGridTransCombo* ComboTrans() const { return FComboTrans; }
    bool CtrlEditing() const { return FCtrlEditing; }
    bool CtrlDown() const { return FCtrlDown; }
    // The cell (real column, row) of the control last pressed or edited.
    TPoint CtrlXY() const { return FCtrlXY; }
    TCellControlEvent OnControlClick;
    TCellControlEvent OnControlEditDone;
    TControlComboListEvent OnControlComboList;
    TControlComboSelectEvent OnControlComboSelect;
    TFixedEditEvent OnFixedEdit;

protected:
    // The fixed-cell starts of a left or right press.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // A pressed in-text button comes up when the grid loses the focus.
    void DoExit() override;

private:
    template <class>
    friend class TGridTransEditor;
    template <class>
    friend class TCellControlEditor;
    void CreateCellControlEditors();
    // The control of cell (ACol displayed, ARow) at (X, Y), or the one named ID: false when none.
    bool CellControlAt(int ACol, int ARow, int X, int Y, const String& ID, TMarkupDrawResult& Out);
    // A left press on a markup cell holding controls: true when the press is handled.
    bool CellControlPress(int ACol, int ARow, int X, int Y);
    // The left release or the loss of the focus lets a pressed in-text button up.
    void ReleaseCellControlButton();
    // Enter and F2 on a cell holding in-text controls open the first of them.
    bool CellControlKeyDown(Word& Key);
    // Enter and Tab in an in-text editor.
    void CellControlKey(Char& Key);
    // The double-click start of the fixed-cell editor.
    void FixedCellDblClick(int ACol, int ARow);
    // The end of a fixed-cell edit: validated, stored and hidden, or refused and kept open.
    bool StopFixedEdit(TWinControl* Editor, const String& Text, int ACol, int ARow);
    TControlEdit* FControlEdit = nullptr;
    TControlCombo* FControlCombo = nullptr;
    TGridTransEdit* FEditTrans = nullptr;
    TGridTransCombo* FComboTrans = nullptr;
    TPoint FCtrlXY{-1, -1};
    String FCtrlID, FCtrlType;
    bool FCtrlEditing = false;
    bool FCtrlDown = false;
    int FFixedColEdit = -1, FFixedRowEdit = -1;
    // ===== end of the in-text controls and fixed-cell editing
    // ===== Fixed-cell looks, row indicator and cell borders (ExGridFrame.cpp)
public:
    // The normal fixed-cell gradient of the looks from glGPK on.
    TColor GPKGradientFrom() const { return FGPKGradientFrom; }
    void SetGPKGradientFrom(TColor Value);
    TColor GPKGradientTo() const { return FGPKGradientTo; }
    void SetGPKGradientTo(TColor Value);
    TColor GPKGradientMirrorFrom() const { return FGPKGradientMirrorFrom; }
    void SetGPKGradientMirrorFrom(TColor Value);
    TColor GPKGradientMirrorTo() const { return FGPKGradientMirrorTo; }
    void SetGPKGradientMirrorTo(TColor Value);
    // Drawn in column 0 of the current row when there are fixed columns.
    TBitmap& RowIndicator() { return FRowIndicator; }
    void SetRowIndicator(const TBitmap& Value);
    // The cell borders of a cell (cbLeft .. cbBottom) with their pen.
    std::function<void(TObject* Sender, int ARow, int ACol, TPen& APen, TSet<int>& Borders)> OnGetCellBorder;
    std::function<void(TObject* Sender, int ARow, int ACol, TPen& LeftPen, TPen& TopPen, TPen& RightPen,
                       TPen& BottomPen)>
        OnGetCellBorderProp;

protected:
    friend struct TControlLook;
    // A fixed cell pressed (FMouseDownMove) and its drop-down button pressed.
    void SetFixedCellPressed(bool Pressed, bool DropDown);
    // Steps of the cell frame: hovered and pressed header gradients, the row
    // indicator (R loses its width), the list-view header, the always-visible
    // buttons (R loses them), the borders, the classic and soft frames and the
    // lines of flat right fixed columns.
    void DrawFixedHoverDown(TCanvas& ACanvas, int ACol, int RCol, int ARow, TRect& R);
    int DrawRowIndicator(TCanvas& ACanvas, int RCol, int ARow, TRect& R);
    void DrawListViewHeader(TCanvas& ACanvas, int ACol, int ARow, TRect R);
    void DrawAlwaysVisibleButtons(TCanvas& ACanvas, int RCol, int ARow, TRect& R);
    void DrawCellBorders(TCanvas& ACanvas, int ACol, int ARow, TRect R);
    void DrawLookFrame(TCanvas& ACanvas, int RCol, TRect R);
    bool FMouseDownMove = false;
    bool FDropDownDown = false;

private:
    TColor FGPKGradientFrom = clWhite;
    TColor FGPKGradientTo = clNone;  // the button face's RGB, taken at creation
    TColor FGPKGradientMirrorFrom = clNone;
    TColor FGPKGradientMirrorTo = clNone;
    TColor FGPKGradientHoverFrom = clGray, FGPKGradientHoverTo = clWhite;
    TColor FGPKGradientHoverMirrorFrom = clNone, FGPKGradientHoverMirrorTo = clNone;
    TColor FGPKGradientHoverBorder = clSilver;
    TColor FGPKGradientDownFrom = clGray, FGPKGradientDownTo = clSilver;
    TColor FGPKGradientDownMirrorFrom = clNone, FGPKGradientDownMirrorTo = clNone;
    TColor FGPKGradientDownBorder = clGray;
    TBitmap FRowIndicator;
    // ===== end of the fixed-cell looks

    // ===== Cell content: text layout, links, passwords, sort indicator and
    // the selection rectangle (ExGridContent.cpp)
public:
    // Line breaks start new lines even in cells that do not wrap.
    // One setting with the data tools' line handling of files and the editor.
    bool Multilinecells() const { return FTools->Multilinecells; }
    void SetMultilinecells(bool Value);
    // Clipped texts end in an ellipsis.
    bool EnhTextSize() const { return FEnhTextSize; }
    void SetEnhTextSize(bool Value);
    // Texts holding "://" or "mailto:" show underlined in URLColor, without
    // their scheme unless URLFull.
    bool URLShow() const { return FURLShow; }
    void SetURLShow(bool Value);
    // Display texts starting a web, mail, news, file or ftp address show as links.
    bool URLShowInText() const { return FURLShowInText; }
    void SetURLShowInText(bool Value);
    bool URLFull() const { return FURLFull; }
    void SetURLFull(bool Value);
    // A right click on a link cell edits its text (the left click follows the link).
    bool URLEdit() const { return FURLEdit; }
    void SetURLEdit(bool Value) { FURLEdit = Value; }
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor Value);
    // Replaces every character of a password cell.
    Char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(Char Value);
    // A 2-pixel frame around the selection, with a 4 x 4 handle at its bottom right.
    bool SelectionRectangle() const { return FSelectionRectangle; }
    void SetSelectionRectangle(bool Value);
    TColor SelectionRectangleColor() const { return FSelectionRectangleColor; }
    void SetSelectionRectangleColor(TColor Value);
    bool SelectionResizer() const { return FSelectionResizer; }
    void SetSelectionResizer(bool Value);
    // XYOffset insets the text at the left and top only.
    bool XYOffsetTopLeftOnly() const { return FXYOffsetTopLeftOnly; }
    void SetXYOffsetTopLeftOnly(bool Value);
    // Texts with markup tags are drawn by the markup renderer; off, every
    // text shows as it is stored, tags included.
    bool EnableHTML() const { return FEnableHTML; }
    void SetEnableHTML(bool Value);
    // The kind of a cell text (GridText.h), markup counted only with EnableHTML.
    int GridTextKind(const String& Text) const;
    // Links of markup texts are underlined only while the mouse is over them.
    bool URLUnderlineOnHover() const { return FURLUnderlineOnHover; }
    void SetURLUnderlineOnHover(bool Value);
    // The displayed cell holding the link under the mouse and that link's
    // number (from 1; 0 none), tracked with URLUnderlineOnHover.
    TPoint HoverCell() const { return FHoverCell; }
    int HoverLink() const { return FHoverLink; }
    // Markup text between blink tags hides and shows again at each tick of
    // the grid's timer; switched off, it stays shown.
    bool EnableBlink() const { return FEnableBlink; }
    void SetEnableBlink(bool Value);
    // The blinking text is hidden in this half of the blink.
    bool GridBlink() const { return FGridBlink; }
    TIsPasswordCellEvent OnIsPasswordCell;
    std::function<void(TObject* Sender, int ACol, int ARow, bool& WordWrap)> OnGetWordWrap;

    // A comment whose corner mark takes its own colour.
    void AddColorComment(int ACol, int ARow, const String& Comment, TColor AColor);

protected:
    // The corner mark of a comment cell.
    void DrawCommentMark(TCanvas& ACanvas, const TCellGraphic& G, TRect R);
    // The text of a cell (displayed column ACol, real column RCol) in R.
    void DrawCellText(TCanvas& ACanvas, int ACol, int RCol, int ARow, TRect R, TGridDrawState AState);
    void DrawCellMarkup(TCanvas& C, int ACol, int RCol, int ARow, const TRect& R, TGridDrawState AState,
                        const String& Text, bool Filter, bool SortShown);
    // The header cell shows the sort indicator.
    bool SortIndicatorShown(int ACol, int RCol, int ARow);
    // The indicator centred at (X, Y) for the real column.
    void DrawSortIndicator(TCanvas& ACanvas, int X, int Y, int RCol);
    void DrawSelectionRectangle(TCanvas& ACanvas, int ACol, int ARow, TRect R);
    // The cell and link under the mouse changed: both cells repaint.
    void TrackHoverLink(TPoint Cell, int Link);
    // A tick of the grid's timer: the blink turns and the visible cells that blink repaint.
    void BlinkTick();
    // Display texts holding an address show it as a link (URLShowInText).
    void LinkURLInText(String& Value) const;
    // A progress cell drawn by the visual style (ControlLook.ProgressXP); false
    // when the style does not draw it.
    bool DrawThemedProgress(TCanvas& ACanvas, TRect R, int RCol, int ARow);

private:
    bool FEnableHTML = true;
    bool FURLUnderlineOnHover = false;
    TPoint FHoverCell{-1, -1};
    int FHoverLink = 0;
    bool FEnableBlink = false;
    bool FGridBlink = false;
    bool FEnhTextSize = false;
    bool FURLShow = false;
    bool FURLShowInText = false;
    bool FURLEdit = false;
    bool FURLFull = false;
    TColor FURLColor = clBlue;
    TColor FHighlightColor = clHighlight;
    TColor FHighlightTextColor = clHighlightText;
    Char FPasswordChar = u'*';
    bool FSelectionRectangle = false;
    TColor FSelectionRectangleColor = clBlack;
    bool FSelectionResizer = false;
    bool FXYOffsetTopLeftOnly = false;
    // ===== end of the cell content

    // ===== Enabled rows, error markers, the editing frame and sizing lines
    // (ExGridRowMarks.cpp)
public:
    // Real rows; a row never set is enabled. Setting any row switches row
    // enabling on: disabled rows are then painted in DisabledFontColor and,
    // with Navigation.SkipDisabledRows, refused as the current row.
    bool RowEnabled(int ARow) const;
    void SetRowEnabled(int ARow, bool Value);
    bool UseEnabledRows() const { return FUseEnabledRows; }
    bool UseDisabledFont() const { return FUseDisabledFont; }
    void SetUseDisabledFont(bool Value) { FUseDisabledFont = Value; }
    // A cell with a graphic shows the graphic alone.
    bool NoImageAndText() const { return FNoImageAndText; }
    void SetNoImageAndText(bool Value);
    // Characters ErrPos .. ErrPos + ErrLen - 1 (0-based) of a cell's text get
    // a red zigzag underline; real columns, displayed rows.
    void AddMarker(int ACol, int ARow, int ErrPos, int ErrLen);
    void GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen);
    void RemoveMarker(int ACol, int ARow);
    void RemoveAllMarkers();

protected:
    // Dotted lines in XOR mode: drawn twice at one place they leave no trace.
    void DrawSizingLineX(int X);
    void DrawSizingLineY(int Y);
    // The frame around the current cell while an editor is open.
    void DrawEditingFrame(TCanvas& ACanvas);
    // The disabled text colour of a displayed row, if any.
    void ApplyDisabledFont(int ARow, TFont& AFont);
    // A displayed row that may not become the current row.
    bool RowRefused(int ARow) const;
    // Up and Down that stayed on row R0 go on to the nearest enabled row.
    void SkipDisabledRows(Word Key, int R0);
    void DrawErrorUnderline(TCanvas& ACanvas, const String& Text, TRect R, int RCol, int ARow);

public:
    TFocusHelper& FocusHelper() { return FFocusHelper; }

private:
    std::vector<char> FEnabledRows;  // 1: disabled
    bool FUseEnabledRows = false;
    bool FUseDisabledFont = true;
    bool FNoImageAndText = false;
    TFocusHelper FFocusHelper{nullptr};
    // ===== end of the enabled rows and markers

    // ===== Look, style and colour-scheme presets (ExGridLooks.cpp)
public:
    // Selected cells in a gradient, in two halves with the mirror colours.
    TColor SelectionColorTo() const { return FSelectionColorTo; }
    void SetSelectionColorTo(TColor Value);
    TColor SelectionMirrorColor() const { return FSelectionMirrorColor; }
    void SetSelectionMirrorColor(TColor Value);
    TColor SelectionMirrorColorTo() const { return FSelectionMirrorColorTo; }
    void SetSelectionMirrorColorTo(TColor Value);
    // A style preset's colours, then a repaint.
    virtual void SetStyle(TGPKStyle AStyle);
    // Remembers the style, applies it and leaves the slim scroll bars.
    void SetComponentStyle(TGPKStyle AStyle) override;
    TGPKStyle Style() const { return FStyle; }
    // The gradient, active-cell and control-look colours of a colour scheme, without repainting.
    void SetTheme(TXPColorScheme Scheme);
    // The flat look of colour tones: classic, flat, slim bars, no border,
    // the tones' colours and the metro check glyphs.
    void SetColorTones(const TColorTones& ATones) override;
    const TColorTones& ColorTones() const { return FTones; }
    // "glXP" and "Windows XP" for glXP; glCustom answers nothing.
    static String LookToString(TGridLook Look);
    static String LookToCaption(TGridLook Look);
    // Follows the desktop's office colour scheme: adapts now and at each
    // theme-change message.
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);

private:
    // Look presets for the six plain looks: steps 1 and 3 of the preset.
    void ApplyPlainLook(TGridLook Value);
    TColor FSelectionColorTo = clNone;
    TColor FSelectionMirrorColor = clNone;
    TColor FSelectionMirrorColorTo = clNone;
    TGPKStyle FStyle = tsWindowsXP;
    TColorTones FTones;
    // Takes the style of the office scheme when it differs from the last one seen.
    void ThemeAdapt();
    // Adds the window to the theme notifier's list, or takes it off.
    void ThemeNotifierRegister(bool Add);
    bool FAutoThemeAdapt = false;
    TOfficeTheme FLastOfficeTheme = otUnknown;
    // ===== end of the look presets

    // ===== Background bitmap and gradient (ExGridBackGround.cpp)
public:
    // Goes to the framework's assignment, which refuses it: set the parts one by one.
    void SetBackGround(const TBackGround& Value);
    // The background bitmap placed at (BackGround.Left, BackGround.Top) in
    // client coordinates, the part inside R; tiled over R from one pixel
    // left of and above its corner.
    void DrawBackGroundFixed(TCanvas& ACanvas, TRect R);
    void DrawBackGroundTiled(TCanvas& ACanvas, TRect R);

protected:
    // Behind the content of a cell (displayed column ACol, real RCol).
    void DrawCellBackGround(TCanvas& ACanvas, int ACol, int RCol, int ARow, TRect R, TGridDrawState AState);
    // ===== end of the background

    // ===== Bitmaps, progress bars and buttons in cells (ExGridGraphics.cpp);
    // real columns, displayed rows
public:
    // The caller keeps the bitmap; CreateBitmap's belongs to the cell.
    void AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign HAlign, TCellVAlign VAlign);
    TBitmap* CreateBitmap(int ACol, int ARow, bool Transparent, TCellHAlign HAlign, TCellVAlign VAlign);
    TBitmap* GetBitmap(int ACol, int ARow);
    bool HasBitmap(int ACol, int ARow) { return GetBitmap(ACol, ARow) != nullptr; }
    void RemoveBitmap(int ACol, int ARow);
    // A bar of the cell's value between 0 and 100 (or Min and Max), the
    // text in the opposite colours unless given.
    void AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor);
    void AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor, TColor BKTextColor);
    void AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                              TColor BKTextColor, const String& Fmt, int Min, int Max);
    bool HasProgress(int ACol, int ARow) { return GetCellType(ACol, ARow) == ctProgress; }
    void RemoveProgress(int ACol, int ARow);
    // A push button of BW x BH pixels.
    void AddButton(int ACol, int ARow, int BW, int BH, const String& Caption, TCellHAlign HAlign, TCellVAlign VAlign);
    // A push button with a glyph before its caption, or centred without one;
    // AddBitButton's glyph stays the caller's, CreateBitButton's belongs to the cell.
    void AddBitButton(int ACol, int ARow, int BW, int BH, const String& Caption, TBitmap* Glyph, TCellHAlign HAlign,
                      TCellVAlign VAlign);
    TBitmap* CreateBitButton(int ACol, int ARow, int BW, int BH, const String& Caption, TCellHAlign HAlign,
                             TCellVAlign VAlign);
    void RemoveBitButton(int ACol, int ARow);
    // Either kind of button (of a merged area's base cell).
    bool HasButton(int ACol, int ARow) { return HasGraphicOfKinds(ACol, ARow, {ctButton, ctBitButton}); }
    String GetButtonText(int ACol, int ARow);
    void SetButtonText(int ACol, int ARow, const String& Caption);
    void PushButton(int ACol, int ARow, bool Push);
    void RemoveButton(int ACol, int ARow);
    void RemoveAllButtons();
    // A group of radio buttons, one per option, side by side when DirRadio is
    // not 0; IdxRadio the chosen one (-1: the option the cell text names).
    // AddRadio's options stay the caller's, CreateRadio's belong to the cell.
    void AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStringList* Options);
    TStringList* CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio);
    bool IsRadio(int ACol, int ARow) { return HasGraphicOfKinds(ACol, ARow, {ctRadio}); }
    // The chosen option, -1 for none or another kind.
    int GetRadioIdx(int ACol, int ARow);
    // -1 also empties the cell text.
    void SetRadioIdx(int ACol, int ARow, int Idx);
    TStringList* GetRadioStrings(int ACol, int ARow);
    void RemoveRadio(int ACol, int ARow);
    // Moves a radio group to its next option (after the last, the first) and
    // writes the option into the cell; User: the cell must be editable unless
    // RadioAlwaysActive. Answers false.
    bool ToggleRadioGroup(int ACol, int ARow, bool User);
    // Chooses the option under a point given from the cell's top-left corner
    // (nothing before the first or after the last) and reports OnRadioClick.
    void RadioGroupClick(int ACol, int ARow, int XOffset, int YOffset);
    // Space on the current cell chose an option of its radio group.
    std::function<void(TObject* Sender, int ACol, int ARow, int AIdx)> OnRadioClick;
    // A radio button of a cell chosen by mouse or Space.
    std::function<void(TObject* Sender, int ACol, int ARow)> OnRadioButtonClick;
    // A drag on the selection's grip stretched it (before and after the paste).
    std::function<void(TObject* Sender, const TGridRect& OrigSelection, const TGridRect& NewSelection)>
        OnSelectionResize;
    std::function<void(TObject* Sender, const TGridRect& OrigSelection, const TGridRect& NewSelection)>
        OnSelectionResized;
    // A press on a rating cell chose NewRate stars (half steps); may change or refuse it.
    std::function<void(TObject* Sender, int ACol, int ARow, double& NewRate, bool& Allow)> OnRatingChange;
    // The mouse was released over a radio group cell (its chosen option).
    std::function<void(TObject* Sender, int ACol, int ARow, int AIdx)> OnRadioMouseUp;
    // Icons and pictures; the Add forms keep the caller's object.
    void AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign HAlign, TCellVAlign VAlign);
    TIcon* CreateIcon(int ACol, int ARow, TCellHAlign HAlign, TCellVAlign VAlign);
    void RemoveIcon(int ACol, int ARow);
    void AddPicture(int ACol, int ARow, TPicture* APicture, bool Transparent, TStretchMode StretchMode, int Padding,
                    TCellHAlign HAlign, TCellVAlign VAlign);
    TPicture* CreatePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int Padding,
                            TCellHAlign HAlign, TCellVAlign VAlign);
    TPicture* GetPicture(int ACol, int ARow);
    bool HasPicture(int ACol, int ARow) { return GetPicture(ACol, ARow) != nullptr; }
    void RemovePicture(int ACol, int ARow);
    // A picture read from its file when painted, fitted as a picture is.
    void AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent, TStretchMode StretchMode,
                        int Padding, TCellHAlign HAlign, TCellVAlign VAlign);
    TFilePicture* CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int Padding,
                                    TCellHAlign HAlign, TCellVAlign VAlign);
    TFilePicture* GetFilePicture(int ACol, int ARow);
    void RemoveFilePicture(int ACol, int ARow);
    // The image of GridImages that the cell's value names (an empty cell
    // starts at Idx); nothing without GridImages.
    void AddDataImage(int ACol, int ARow, int Idx, TCellHAlign HAlign, TCellVAlign VAlign);
    bool HasDataImage(int ACol, int ARow) { return HasGraphicOfKinds(ACol, ARow, {ctDataImage}); }
    // Also empties the cell text.
    void RemoveDataImage(int ACol, int ARow);
    // Images of GridImages side by side (Dir 0) or stacked; changes of the
    // list repaint the cell. Nothing without GridImages.
    void AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign HAlign, TCellVAlign VAlign);
    TIntList* GetCellImages(int ACol, int ARow);
    void RemoveMultiImage(int ACol, int ARow);
    // A pie of Value percent.
    void AddProgressPie(int ACol, int ARow, TColor Color, int Value);
    void SetProgressPie(int ACol, int ARow, int Value);
    void RemoveProgressPie(int ACol, int ARow);
    // A bar of the cell's value from -Range to Range.
    void AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor, bool ShowValue);
    void RemoveRangeIndicator(int ACol, int ARow);
    // A bar of the cell's value between Min and Max in ProgressAppearance's look.
    void AddExProgress(int ACol, int ARow, int Min, int Max);
    void RemoveExProgress(int ACol, int ARow);
    TGridProgressAppearance& ProgressAppearance() { return FProgressAppearance; }
    // Copies the settings into the grid's own appearance.
    void SetProgressAppearance(const TGridProgressAppearance& Value) { FProgressAppearance.Assign(&Value); }
    void AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor, TCellHAlign HAlign,
                  TCellVAlign VAlign);
    // The fill colour, clNone when the cell holds no shape.
    TColor GetShapeColor(int ACol, int ARow);
    void SetShapeColor(int ACol, int ARow, TColor FillColor);
    void RemoveShape(int ACol, int ARow);
    // Scale stars, as many filled as the cell's value (in halves).
    void AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor);
    bool HasRating(int ACol, int ARow) { return GetCellType(ACol, ARow) == ctRating; }
    void RemoveRating(int ACol, int ARow);
    // A small button at the cell's top right that expands its row to
    // ExpandedHeight; the row's height now is kept to return to.
    void AddExpand(int ACol, int ARow, int ExpandedHeight);
    // The expand button of the cell (empty for another kind).
    TRect GetExpandButtonRect(int ACol, int ARow);
    bool HasExpand(int ACol, int ARow) { return GetCellType(ACol, ARow) == ctExpand; }
    // Flips the expanded state and returns the new one; the height is left to the caller.
    bool ToggleExpand(int ACol, int ARow);
    // Removes the cell's expand button; a graphic of another kind stays.
    void RemoveExpand(int ACol, int ARow);
    bool GetExpandState(int ACol, int ARow);
    int GetExpandHeight(int ACol, int ARow, bool Expanded);
    // The room the cell's graphic takes on screen, beside or over the text;
    // Extra: height kept free in the cell.
    virtual TPoint GetCellGraphicSize(int ACol, int ARow) { return CalcCellGraphicSize(ACol, ARow, 0); }
    virtual TPoint CalcCellGraphicSize(int ACol, int ARow, int Extra);
    // Where the cell's graphic stands, its size and whether the text is drawn beside it.
    TCellGraphicLayout GetCellGraphicLayout(int ACol, int ARow);
    // Whether the graphic of the merged area's base cell is of one of the kinds;
    // false for negative indexes.
    bool HasGraphicOfKinds(int ACol, int ARow, std::initializer_list<TCellType> Kinds);
    // A radio button before the cell's text; "Invalid cell" outside the grid.
    // In one column at most one stays checked when the user picks one.
    void AddRadioButton(int ACol, int ARow, bool State);
    void RemoveRadioButton(int ACol, int ARow);
    // Every row from the first normal one.
    void AddRadioButtonColumn(int ACol);
    void RemoveRadioButtonColumn(int ACol);
    bool HasRadioButton(int ACol, int ARow) { return HasGraphicOfKinds(ACol, ARow, {ctRadioButton}); }
    bool IsRadioButtonChecked(int ACol, int ARow);
    // The base cell's radio button only; the other rows keep theirs.
    bool SetRadioButtonState(int ACol, int ARow, bool State);
    // Checks the button of row Index and unchecks the rest of the column.
    void SetRadioButtonColumnIndex(int ACol, int Index);
    // The first normal row whose button is checked, -1 for none.
    int GetRadioButtonColumnIndex(int ACol);
    // Checks a radio button and unchecks the others of its column; User: the
    // cell must be editable unless CheckAlwaysActive. False for another kind.
    virtual bool ToggleCellRadio(int ACol, int ARow, bool User);
    // A box whose state is the cell's text (a column's data boxes included).
    bool HasDataCheckBox(int ACol, int ARow) {
        return HasGraphicOfKinds(ACol, ARow, {ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox});
    }
    // Pictures that markup texts of cells and hints name by a "://" source,
    // loaded once and kept while the grid lives.
    THTMLPictureCache& ImageCache() { return FImageCache; }
    void AddInterfacedCell(int ACol, int ARow, IGridCellGraphic* AObject);
    IGridCellGraphic* GetInterfacedCell(int ACol, int ARow);
    void RemoveInterfacedCell(int ACol, int ARow);

protected:
    // The graphic of a cell for one of these kinds; false when the cell has none.
    bool DrawCellGraphic(TCanvas& ACanvas, int RCol, int ARow, TRect R, TCellGraphic& G);
    // A group of radio buttons in R: Items texts (fewer than Count leave the
    // rest bare), item Index on (-1: the one whose text is Current).
    void DrawRadio(TCanvas& ACanvas, TRect R, TGridControlStyle Style, const TStringList* Items, int Count, int Index,
                   const String& Current, bool Enabled, bool Horizontal);
    // Whether a cell of the kind shows its text beside the graphic.
    static bool GraphicKeepsText(TCellType Kind);
    // Space on the current cell: the next option of its radio group, when it may be edited.
    void ToggleRadioByKey();
    // A key may use the control of a cell that may be edited, or with the control's AlwaysActive.
    bool KeyMayUseControl(int RCol, int ARow, bool AlwaysActive);
    // A press on a radio group cell that may be edited (displayed column):
    // its option is chosen and the press ends there.
    bool RadioGroupPress(int ACol, int ARow, int X, int Y);
    // The text's rectangle less the room of a graphic placed before, after,
    // above or under it, for the cell being painted.
    void FitTextBesideGraphic(TRect& R, TAlignment TextAlign);
    // Keeps the width of the text drawn with Flags in R: a graphic after the
    // text stands behind it.
    void NoteTextWidth(TCanvas& ACanvas, const String& Text, TRect R, unsigned Flags);
    // A W x H graphic placed in R for the cell being painted.
    TRect PlacePaintedGraphic(const TRect& R, int W, int H, const TCellGraphic& G) const;
    // One radio glyph of the style with its top-left corner at (X, Y).
    void DrawRadioGlyph(TCanvas& ACanvas, int X, int Y, TGridControlStyle Style, bool On, bool Enabled);
    // A check box or radio button placed by the cell's text alignment.
    void DrawCellBox(TCanvas& ACanvas, int RCol, int ARow, TRect R, TCellGraphic& G);
    // A push button of a button or bit-button cell in B.
    void DrawCellButton(TCanvas& ACanvas, int RCol, int ARow, TRect B, TCellGraphic& G);
    // The cell being painted: its graphic's layout, and its text's width and alignment.
    TCellGraphicLayout FPaintGraphic;
    int FPaintTextWidth = 0;
    TAlignment FPaintTextAlign = taLeftJustify;
    // The text of a row inside groups stands at its level's indent in column 0.
    int FPaintNodeIndent = 0;

private:
    TCellGraphic* NewGraphic(int ACol, int ARow, TCellType Kind);
    // The row check box column 0 shows, prepared for each row it is asked for.
    TCellGraphic FRowCheckGraphic;
    void AddFittedPicture(int ACol, int ARow, TCellType Kind, decltype(TCellGraphic::CellBitmap) Picture,
                          bool Transparent, TStretchMode StretchMode, int Padding, TCellHAlign HAlign,
                          TCellVAlign VAlign);
    TGridProgressAppearance FProgressAppearance{[this](TObject*) { Invalidate(); }};
    THTMLPictureCache FImageCache;
    // ===== end of the bitmaps, progress bars and buttons

public:
    // ===== Cell scroll bars (ExGridCellScroll.cpp; indexes: real column,
    // displayed row). A cell's text scrolls under a bar at the cell's right
    // edge while the page (shown height) is below the range (text height).
    // With AutoRange the page follows the row height and the range the
    // text's height whenever the text changes.
    void AddScrollBar(int ACol, int ARow, bool AutoRange);
    bool HasScrollBar(int ACol, int ARow) { return GetCellType(ACol, ARow) == ctScrollbar; }
    bool HasAutoRangeScrollBar(int ACol, int ARow);
    // -1 when the cell has no scroll bar.
    int GetScrollPosition(int ACol, int ARow);
    // Also moves the bar shown over the cell.
    void SetScrollPosition(int ACol, int ARow, int Pos);
    // (-1, -1) when the cell has no scroll bar.
    TScrollProp GetScrollProp(int ACol, int ARow);
    void SetScrollProp(int ACol, int ARow, TScrollProp Prop);
    void RemoveScrollBar(int ACol, int ARow);
    // The bar the person scrolls, over the cell under the mouse (nil while designing).
    TScrollBar* CellScrollBar() const { return FScrollBar; }
    TScrollCellEvent OnScrollCell;

protected:
    void CellTextChanged(int ACol, int ARow) override;

private:
    void CreateCellScrollBars();
    // Puts the bar over cell (ACol displayed, ARow) when its text scrolls,
    // else takes it away.
    void PlaceCellScrollBar(int ACol, int ARow);
    // Keeps the shown bar on its cell: none while the cell is out of view.
    void CellScrollBarUpdate();
    // A scroll of the cell's bar: true when it was one.
    bool CellScrollBarScrolled(TWMScroll& Message);
    // Paints the cell's bar at the right of R, which loses its width.
    void DrawCellScrollBar(TCanvas& C, int RCol, int ARow, TRect& R);
    // The text of a scroll-bar cell, moved up by its position and clipped to R.
    void DrawScrolledCellText(TCanvas& C, int ACol, int RCol, int ARow, const TRect& R, TGridDrawState AState);
    // Where a cell's text lies when its bar shows: R left of the bar, moved up by the position.
    void ScrolledTextRect(int RCol, int ARow, TRect& R);
    TScrollBar* FScrollBar = nullptr;
    // Never shown: only painted into the cells that scroll.
    TScrollBar* FPaintScrollBar = nullptr;
    int FScrollCol = -1;
    int FScrollRow = -1;
    // ===== end of the cell scroll bars
};

// Whether the base cell's graphic takes its state or image from the cell's
// data: a data check box or data image, a column's shared box, a row check box.
bool IsDataGraphicCell(TExStringGrid* Grid, int ACol, int ARow);

// The first of Items that begins with the text up to Caret (an empty prefix
// matches nothing), case ignored unless CaseSensitive: -1 when none, else
// its index, with Completed the typed part followed by the item's rest (at
// most 255 characters of it).
int LookupCompletion(const String& Text, int Caret, const TStringList& Items, bool CaseSensitive, String& Completed);

// The grid's editor for the text kinds: filters typed characters by the
// cell's editor kind, keeps the length limit, and validates before Enter
// or Escape hands the key on.
class TExInplaceEdit : public TInplaceEdit {
public:
    explicit TExInplaceEdit(TExStringGrid* AGrid);
    TExStringGrid* ExGrid() const { return FExGrid; }
    int LengthLimit() const { return FLengthLimit; }
    // Completes the typed text from the grid's lookup items (after every key but Left and Right).
    void DoChange();
    // A key went down since the editor was made or last completed its text.
    bool GotKey() const { return FGotKey; }
    // Completion is on: off after Backspace or Delete went down, on again after any other key.
    bool Workmode() const { return FWorkmode; }
    // Right-aligned text; set from the cell's alignment whenever the editor is placed on a cell.
    bool VAlign() const { return FValign; }
    void SetVAlign(bool Value);

protected:
    void UpdateContents() override;
    void Change() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // Completes the text from the lookup items after every key but Left and
    // Right, and grows the column to the text when the grid says so.
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void WMChar(TWMKey& Message) override;
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
    // A double click in the editor is one on its cell.
    void WMLButtonDblClk(TWMMouse& Message) override;
    void DoEnter() override;
    void DoExit() override;
    // Placed over its cell, the editor takes the cell's colour, font and alignment.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // A paste is taken whole or not at all: within the length limit and fitting the kind.
    void Dispatch(TMessage& Message) override;

private:
    // false: the character goes no further (with a beep where the kind says so).
    bool FilterChar(Char& Ch);
    // Enter breaks the line in the text kinds while the grid asks for it.
    bool TypesLineBreakOnEnter() const;
    // A refused value: the validated text back, selected or with the caret at the end.
    void RestoreRefused();
    // Validates the text before the caret walks out of it; false restores.
    bool CommitWalk();
    // Ctrl or Shift with Enter in a grid of multi-line cells sized while typing.
    void GrowRowForNewLine();
    // The caret to the same place of the line above or below; false on the first or last line.
    bool StepLine(bool Up, bool Extend);

    TExStringGrid* FExGrid;
    int FLengthLimit = 0;
    int FSelKeyDown = 0;  // the caret at the last key-down
    bool FFilling = false;  // the grid is filling the editor with the cell's text
    bool FGotFocus = false;
    bool FEnterRefused = false;  // the key-down refused: its Enter character goes no further
    HWND FFocusTo = 0;           // the window the focus went to when the editor lost it
    bool FWorkmode = true;       // Backspace and Delete suspend the lookup until the next key
    bool FGotKey = false;
    bool FValign = false;
    bool FAltBack = false;       // Alt+Backspace is held: losing the focus meanwhile ends nothing
    int FColE = -1, FRowE = -1;  // the cell the editor was last filled for (display column, row)
};

// The combo editor of the combo kinds: Enter, Up and Down validate and
// move on, Page Up and Page Down commit and stay, Escape restores.
class TGridCombo : public TExgComboBox {
public:
    explicit TGridCombo(TExStringGrid* AGrid);
    // Widens the list to its widest item, measured with the grid's font.
    void SizeDropDownWidth();
    // Completes the typed text from the items, then from the grid's lookup
    // items (at the end of every key release).
    void DoChange();
    // The item index the last change was reported for.
    int ReportedIndex = -1;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void Change() override;
    void DoEnter() override;
    void DoExit() override;
    void WndProc(TMessage& Message) override;
    // Enter and Escape always, Tab when the grid validates it: a form's default
    // and cancel buttons never see them.
    void CMWantSpecialKey(TCMWantSpecialKey& Message) override;
    void DropDown() override;
    // With MouseActions.DirectComboClose the picked item is written and editing ends.
    void CloseUp() override;

public:
    // Enter typed in the editor.
    TNotifyEvent OnReturnKey;

private:
    void ReportIndexChange();
    bool FWorkMode = true;
    TExStringGrid* FGrid;
    bool FGotFocus = false;
};

// The grid's hint window: markup hints drawn by the grid's markup renderer,
// wide-text hints as one line in the font of the grid that prepared them.
class THTMLHintWindow : public THintWindow {
public:
    explicit THTMLHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}
    TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData) override;
    // Kept inside the work area of the nearest monitor: moved left or up, never cut.
    void ActivateHint(TRect Rect, const String& AHint) override;
    // AData from a grid's cell hint: its images and pictures draw in the hint.
    void ActivateHintData(TRect Rect, const String& AHint, void* AData) override;
    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }

protected:
    void Paint() override;

private:
    // The text's size; Wide: the hint is wide text, drawn as one line.
    TSize Measure(const String& AHint, int MaxWidth, bool& Wide, String& Decoded);
    // The images and pictures of the grid whose cell hint this is, if AData is one.
    void TakeGridOf(void* AData);
    int FTextHeight = 0;
    int FTextWidth = 0;
    String FWideCaption;
    TImageList* FImages = nullptr;
    TPictureContainer* FPictureContainer = nullptr;
    THTMLPictureCache* FPictureCache = nullptr;
};

// The slim scroll bar of the metro look, a child of its grid: the thumb
// shows the part of the rows (columns) in view; a press before or after it
// pages, a drag on it scrolls.
class TScrollControl : public TCustomControl {
public:
    // Its Color (silver) is the thumb's; the grid's cells show around it.
    explicit TScrollControl(TComponent* AOwner);
    // The thickness of the thumb.
    int ScrollWidth() const { return FScrollWidth; }
    void SetScrollWidth(int Value) { FScrollWidth = Value; Invalidate(); }
    TScrollDirection Direction() const { return FDirection; }
    void SetDirection(TScrollDirection Value) { FDirection = Value; Invalidate(); }
    // The thumb's start and length along the control; length 0 when everything is in view.
    void ThumbExtent(int& Start, int& Length);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TExStringGrid* Grid() const;
    int FScrollWidth = 4;
    TScrollDirection FDirection = sdVertical;
    bool FDownOnScroller = false;
    int FDownPos = 0;
    int FDownRow = 0;
};

// The header-looking button that follows the mouse while a column or row is
// dragged: a pop-up that is never activated, painted as the grid's cell
// (0, 0) with the dragged header's caption on it.
class THeaderDragButton : public TCustomControl {
public:
    explicit THeaderDragButton(TComponent* AOwner);
    TExStringGrid* Grid() const { return FGrid; }
    void SetGrid(TExStringGrid* Value) { FGrid = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    TExStringGrid* FGrid = nullptr;
    bool FFlat = false;
};
