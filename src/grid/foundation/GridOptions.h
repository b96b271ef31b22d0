#pragma once
// The settings objects a grid creates with itself and streams with every
// window: search panel, keyboard, mouse, scroll and selection coupling,
// alternating row colours, the focus helper switch; and the alpha mask of
// the grid's translucent focus frame with its mask and blur routines. Each
// settings object copies from one of its own kind (Assign) and reports
// changes through OnChange where it has one.

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Grids.h"

#include <functional>

// Accessors of a setting whose setter only stores.
#define GRID_PLAIN_SETTING(Type, Name, Default)     \
public:                                             \
    Type Name() const { return F##Name; }           \
    void Set##Name(Type Value) { F##Name = Value; } \
                                                    \
private:                                            \
    Type F##Name = Default;

enum TSearchDirection { sdTopBottom, sdLeftRight };

class TSearchFooter : public TPersistent {
public:
    // The captions and hints get their texts only when InitDesign.
    TSearchFooter(TPersistent* AOwner, bool InitDesign);
    ~TSearchFooter() override;
    // Copies everything but AutoSearch, SearchFixedCells, AutoThemeAdapt,
    // LastSearch and OnChange, without reporting a change.
    void Assign(const TPersistent* Source) override;
    TPersistent* Owner() const { return FOwner; }

    bool ShowFindPrev() const { return FShowFindPrev; }
    void SetShowFindPrev(bool Value);
    bool ShowFindNext() const { return FShowFindNext; }
    void SetShowFindNext(bool Value);
    const String& FindNextCaption() const { return FFindNextCaption; }
    void SetFindNextCaption(const String& Value);
    const String& FindPrevCaption() const { return FFindPrevCaption; }
    void SetFindPrevCaption(const String& Value);
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    bool ShowClose() const { return FShowClose; }
    void SetShowClose(bool Value);
    bool ShowHighLight() const { return FShowHighLight; }
    void SetShowHighLight(bool Value);
    bool ShowMatchCase() const { return FShowMatchCase; }
    void SetShowMatchCase(bool Value);
    const String& MatchCaseCaption() const { return FMatchCaseCaption; }
    void SetMatchCaseCaption(const String& Value);
    const String& HintClose() const { return FHintClose; }
    void SetHintClose(const String& Value);
    const String& HintFindPrev() const { return FHintFindPrev; }
    void SetHintFindPrev(const String& Value);
    const String& HintHighlight() const { return FHintHighlight; }
    void SetHintHighlight(const String& Value);
    const String& HintFindNext() const { return FHintFindNext; }
    void SetHintFindNext(const String& Value);
    const String& HighLightCaption() const { return FHighLightCaption; }
    void SetHighLightCaption(const String& Value);
    TFont& Font() { return FFont; }
    void SetFont(const TFont& Value);

    GRID_PLAIN_SETTING(bool, AutoSearch, true)
    GRID_PLAIN_SETTING(String, LastSearch, String())
    GRID_PLAIN_SETTING(int, SearchColumn, -1)
    GRID_PLAIN_SETTING(bool, SearchActiveColumnOnly, false)
    GRID_PLAIN_SETTING(bool, SearchMatchStart, false)
    GRID_PLAIN_SETTING(bool, SearchFixedCells, false)
    GRID_PLAIN_SETTING(bool, SearchHiddenRows, false)
    GRID_PLAIN_SETTING(bool, AlwaysHighLight, false)
    GRID_PLAIN_SETTING(TSearchDirection, SearchDirection, sdTopBottom)

public:
    TNotifyEvent OnChange;

protected:
    void DoChange();
    String ClassName() const override { return u"TSearchFooter"; }

private:
    TPersistent* FOwner;
    bool FShowFindPrev = true;
    bool FShowFindNext = true;
    String FFindNextCaption;
    String FFindPrevCaption;
    TColor FColorTo = clBtnFace;
    TColor FColor = clWhite;
    bool FVisible = false;
    bool FAutoThemeAdapt = false;
    bool FShowClose = true;
    bool FShowHighLight = true;
    bool FShowMatchCase = true;
    String FMatchCaseCaption;
    String FHintClose;
    String FHintFindPrev;
    String FHintHighlight;
    String FHintFindNext;
    String FHighLightCaption;
    TFont FFont;
};

enum TClipboardPasteAction { paReplace, paInsert };
enum TAdvanceDirection { adLeftRight, adTopBottom, adLeftRightInRow, adTopBottomInCol };
enum TInsertPosition { pInsertBefore, pInsertAfter };
enum THomeEndAction { heFirstLastColumn, heFirstLastRow, heFirstLastCell };
enum TCursorAdvance { caDefault, caSnake, caLoop };

// Keyboard settings.
class TNavigation : public TPersistent {
public:
    // Copies everything but KeepScrollOnSort and OnChange, without reporting a change.
    void Assign(const TPersistent* Source) override;

    GRID_PLAIN_SETTING(bool, AllowInsertRow, false)
    GRID_PLAIN_SETTING(bool, AllowDeleteRow, false)
    GRID_PLAIN_SETTING(bool, AdvanceOnEnter, false)
public:
    bool AdvanceInsert() const { return FAdvanceInsert; }
    void SetAdvanceInsert(bool Value);
    GRID_PLAIN_SETTING(bool, AutoGotoWhenSorted, false)
    GRID_PLAIN_SETTING(bool, AutoGotoIncremental, false)
    GRID_PLAIN_SETTING(bool, AutoComboDropSize, false)
    GRID_PLAIN_SETTING(bool, AllowClipboardShortCuts, false)
    GRID_PLAIN_SETTING(bool, AllowRTFClipboard, false)
    GRID_PLAIN_SETTING(bool, AllowSmartClipboard, false)
    GRID_PLAIN_SETTING(bool, AllowClipboardAlways, false)
    GRID_PLAIN_SETTING(bool, AllowClipboardColGrow, true)
    GRID_PLAIN_SETTING(bool, AllowClipboardRowGrow, true)
    GRID_PLAIN_SETTING(TClipboardPasteAction, ClipboardPasteAction, paReplace)
    GRID_PLAIN_SETTING(bool, CopyHTMLTagsToClipboard, true)
public:
    TAdvanceDirection AdvanceDirection() const { return FAdvanceDirection; }
    void SetAdvanceDirection(TAdvanceDirection Value);
    bool AdvanceAuto() const { return FAdvanceAuto; }
    // Switching it on switches AdvanceOnEnter on too.
    void SetAdvanceAuto(bool Value);
    GRID_PLAIN_SETTING(bool, AdvanceAutoEdit, true)
    GRID_PLAIN_SETTING(bool, CursorWalkEditor, false)
    GRID_PLAIN_SETTING(bool, CursorWalkAlwaysEdit, true)
    GRID_PLAIN_SETTING(bool, MoveRowOnSort, false)
    GRID_PLAIN_SETTING(bool, KeepScrollOnSort, false)
    GRID_PLAIN_SETTING(bool, ImproveMaskSel, false)
    GRID_PLAIN_SETTING(bool, AlwaysEdit, false)
    GRID_PLAIN_SETTING(TInsertPosition, InsertPosition, pInsertBefore)
    GRID_PLAIN_SETTING(bool, LineFeedOnEnter, false)
    GRID_PLAIN_SETTING(THomeEndAction, HomeEndKey, heFirstLastColumn)
    GRID_PLAIN_SETTING(bool, KeepHorizScroll, false)
    GRID_PLAIN_SETTING(bool, AllowFmtClipboard, false)
    GRID_PLAIN_SETTING(bool, TabToNextAtEnd, false)
    GRID_PLAIN_SETTING(bool, EditSelectAll, true)
    GRID_PLAIN_SETTING(TAdvanceDirection, TabAdvanceDirection, adLeftRight)
    GRID_PLAIN_SETTING(bool, SkipFixedCells, true)
    GRID_PLAIN_SETTING(bool, SkipDisabledRows, true)
    GRID_PLAIN_SETTING(bool, AllowCtrlEnter, true)
    GRID_PLAIN_SETTING(bool, AppendOnArrowDown, false)
    GRID_PLAIN_SETTING(bool, LeftRightRowSelect, true)
    GRID_PLAIN_SETTING(bool, MoveScrollOnly, false)
    GRID_PLAIN_SETTING(bool, ComboGetUpDown, true)
    GRID_PLAIN_SETTING(bool, AdvanceOnEnterLoop, true)
    GRID_PLAIN_SETTING(TCursorAdvance, CursorAdvance, caDefault)
    GRID_PLAIN_SETTING(bool, AdvanceSkipReadOnlyCells, true)
    GRID_PLAIN_SETTING(bool, CursorMoveRows, false)

public:
    TNotifyEvent OnChange;

protected:
    void DoChange();
    String ClassName() const override { return u"TNavigation"; }

private:
    bool FAdvanceInsert = false;
    TAdvanceDirection FAdvanceDirection = adLeftRight;
    bool FAdvanceAuto = false;
};

enum TGridFixedCellEdit { fceNone, fceDblClick, fceLeftClick, fceRightClick };
enum TGridFixedCellEditor { fceEdit, fceComboEdit, fceComboList };
enum TWheelAction { waMoveSelection, waScroll };
using TIsDesigningEvent = std::function<void(TObject* Sender, bool& IsDesigning)>;

// Mouse settings.
class TMouseActions : public TPersistent {
public:
    explicit TMouseActions(TPersistent* AOwner) : FOwner(AOwner) {}
    // Copies everything but SizeFixedRow, HotmailRowSelect,
    // EditOnDblClickOnly, FixedComboValues and the events.
    void Assign(const TPersistent* Source) override;
    TPersistent* Owner() const { return FOwner; }

    GRID_PLAIN_SETTING(bool, ColSelect, false)
    GRID_PLAIN_SETTING(bool, RowSelect, false)
    GRID_PLAIN_SETTING(bool, AllSelect, false)
    GRID_PLAIN_SETTING(bool, DirectEdit, false)
    GRID_PLAIN_SETTING(bool, DirectComboDrop, false)
    GRID_PLAIN_SETTING(bool, DirectComboClose, false)
    GRID_PLAIN_SETTING(bool, DirectDateClose, false)
    GRID_PLAIN_SETTING(bool, DirectDateDrop, false)
public:
    // The three disjunct selections exclude one another at design time only.
    bool DisjunctRowSelect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelect(bool Value);
    bool DisjunctRowSelectDirect() const { return FDisjunctRowSelect; }
    void SetDisjunctRowSelectDirect(bool Value) { FDisjunctRowSelect = Value; }
    bool DisjunctColSelect() const { return FDisjunctColSelect; }
    void SetDisjunctColSelect(bool Value);
    bool DisjunctCellSelect() const { return FDisjunctCellSelect; }
    void SetDisjunctCellSelect(bool Value);
    GRID_PLAIN_SETTING(bool, AllColumnSize, false)
    GRID_PLAIN_SETTING(bool, AllRowSize, false)
    GRID_PLAIN_SETTING(bool, CaretPositioning, false)
    GRID_PLAIN_SETTING(bool, SizeFixedCol, false)
    GRID_PLAIN_SETTING(bool, SizeFixedRow, false)
    GRID_PLAIN_SETTING(TGridFixedCellEdit, FixedRowsEdit, fceNone)
    GRID_PLAIN_SETTING(TGridFixedCellEdit, FixedColsEdit, fceNone)
    GRID_PLAIN_SETTING(TGridFixedCellEditor, FixedRowsEditor, fceEdit)
    GRID_PLAIN_SETTING(TGridFixedCellEditor, FixedColsEditor, fceEdit)
public:
    bool HotmailRowSelect() const { return FHotmailRowSelect; }
    // On also switches DisjunctRowSelect and CheckAllCheck on; OnInvalidate follows.
    void SetHotmailRowSelect(bool Value);
    GRID_PLAIN_SETTING(bool, RangeSelectAndEdit, false)
    GRID_PLAIN_SETTING(bool, NoAutoRangeScroll, false)
    GRID_PLAIN_SETTING(bool, PreciseCheckBoxCheck, false)
    GRID_PLAIN_SETTING(bool, PreciseNodeClick, true)
    GRID_PLAIN_SETTING(bool, CheckAllCheck, false)
    GRID_PLAIN_SETTING(bool, NodeAllExpandContract, false)
    GRID_PLAIN_SETTING(bool, MoveRowOnNodeClick, false)
    GRID_PLAIN_SETTING(bool, RowSelectPersistent, false)
    GRID_PLAIN_SETTING(bool, SelectOnRightClick, false)
    GRID_PLAIN_SETTING(bool, NoScrollOnPartialRow, false)
    GRID_PLAIN_SETTING(int, WheelIncrement, 0)
public:
    TWheelAction WheelAction() const { return FWheelAction; }
    void SetWheelAction(TWheelAction Value);
    GRID_PLAIN_SETTING(bool, AutoSizeColOnDblClick, true)
public:
    bool EditOnDblClickOnly() const { return FEditOnDblClickOnly; }
    // On fires OnDisableEdit.
    void SetEditOnDblClickOnly(bool Value);
    GRID_PLAIN_SETTING(bool, DisjunctRowSelectNoCtrl, false)
public:
    TStringList& FixedComboValues() { return FFixedComboValues; }
    void SetFixedComboValues(const TStringList& Value) { FFixedComboValues.Assign(Value); }

    TNotifyEvent OnChange;
    TNotifyEvent OnInvalidate;
    TNotifyEvent OnDisableEdit;
    TIsDesigningEvent OnIsDesigning;

protected:
    void DoChange();
    bool IsDesigning();
    String ClassName() const override { return u"TMouseActions"; }

private:
    TPersistent* FOwner;
    bool FDisjunctRowSelect = false;
    bool FDisjunctColSelect = false;
    bool FDisjunctCellSelect = false;
    bool FHotmailRowSelect = false;
    TWheelAction FWheelAction = waMoveSelection;
    bool FEditOnDblClickOnly = false;
    TStringList FFixedComboValues;
};

// Scrolling and selection coupled to another grid.
class TSyncGrid : public TPersistent {
public:
    explicit TSyncGrid(TStringGrid* AOwner) : FOwner(AOwner) {}
    void Assign(const TPersistent* Source) override;
    TStringGrid* Grid() const { return FGrid; }
    // The owner grid itself is ignored: a grid is never coupled to itself.
    void SetGrid(TStringGrid* Value);

    GRID_PLAIN_SETTING(bool, ScrollHorizontal, false)
    GRID_PLAIN_SETTING(bool, ScrollVertical, false)
    GRID_PLAIN_SETTING(bool, SelectionRow, false)
    GRID_PLAIN_SETTING(bool, SelectionColumn, false)
    GRID_PLAIN_SETTING(bool, MoveRow, false)
    GRID_PLAIN_SETTING(bool, MoveColumn, false)

protected:
    String ClassName() const override { return u"TSyncGrid"; }

private:
    TStringGrid* FOwner;
    TStringGrid* FGrid = nullptr;
};

// Alternating row colours; changes are reported only while active.
class TBands : public TPersistent {
public:
    void Assign(const TPersistent* Source) override;
    GRID_PLAIN_SETTING(bool, Print, false)
public:
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TColor PrimaryColor() const { return FPrimaryColor; }
    void SetPrimaryColor(TColor Value);
    TColor SecondaryColor() const { return FSecondaryColor; }
    void SetSecondaryColor(TColor Value);
    int PrimaryLength() const { return FPrimaryLength; }
    void SetPrimaryLength(int Value);
    int SecondaryLength() const { return FSecondaryLength; }
    void SetSecondaryLength(int Value);
    int TotalLength() const { return FTotalLength; }

    TNotifyEvent OnChange;

protected:
    void DoChange();
    String ClassName() const override { return u"TBands"; }

private:
    bool FActive = false;
    TColor FPrimaryColor = clInfoBk;
    TColor FSecondaryColor = clWindow;
    int FPrimaryLength = 1;
    int FSecondaryLength = 1;
    int FTotalLength = 2;
};

// The translucent focus frame around the current cell is used.
class TFocusHelper : public TPersistent {
public:
    explicit TFocusHelper(TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
    void Assign(const TPersistent* Source) override;
    GRID_PLAIN_SETTING(bool, Enabled, false)

protected:
    String ClassName() const override { return u"TFocusHelper"; }

private:
    TPersistent* FOwner;
};

#undef GRID_PLAIN_SETTING

// The grid's floating focus frame: a disabled, topmost pop-up tool window
// that never takes the focus. The grid makes it layered and fills it from a
// TGridAlphaMask.
class TGridFocusWindow : public TCustomControl {
public:
    explicit TGridFocusWindow(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
};

// A 32-bit bitmap (blue, green, red, premultiplied alpha) for a layered
// window, with the whole-window opacity used with it.
class TGridAlphaMask : public TBitmap {
public:
    TGridAlphaMask();
    // From another mask: its size, pixels and opacity; from any other
    // picture the bitmap copy. Either way 32 bits per pixel after.
    void Assign(const TPersistent* Source) override;
    // Alpha from Mask's red channel, colour from Bitmap premultiplied by it.
    // Only for a 24-bit Bitmap and a Mask of its size; Color is not used.
    void MergeMask(TBitmap& Mask, TBitmap& Bitmap, TColor Color);
    Byte Opacity = 255;

protected:
    String ClassName() const override { return u"TGridAlphaMask"; }
};

// Bitmap becomes a 24-bit W x H black picture with a white rounded ring
// (PenWidth > 0) or a filled white rounded rectangle, blurred when Blur > 0.
void CreateRoundRectMask(TBitmap& Bitmap, int W, int H, int PenWidth, int Radius, double Blur);
// A two-pass Gaussian blur of a 24-bit bitmap. The middle rows and columns
// (from 21 to the size less 21) are copies of row and column 15, which is
// exact for the rounded ring above; anything else raises EInvalidOperation
// "Blur only works for 24-bit bitmaps".
void GaussianBlur(TBitmap& Bitmap, double Sigma);
