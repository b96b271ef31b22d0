#pragma once
// The lazy tree: one compact record per node followed by the owner's data
// area, filled on demand through events. This unit holds the node model, the
// tree class with its update bracket and change notification, navigation,
// check states, expanding, sorting, the node stream, selection and focus.
// The window parts (painting, scrolling, mouse, header drawing) build on it.

#include "framework/Controls.h"
#include "framework/Forms.h"
#include "framework/DataTransfer.h"
#include "framework/Graphics.h"
#include "framework/Grids.h"  // TScrollStyle, shared with the grid
#include "framework/ImgList.h"
#include "framework/Sets.h"
#include "framework/Streams.h"
#include "framework/System.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <vector>

class TBaseLazyTree;
struct TLazyNode;
using PLazyNode = TLazyNode*;
using TNodeArray = std::vector<PLazyNode>;
using TColumnIndex = int;

enum TLazyNodeState {
    vsInitialized, vsChecking, vsCutOrCopy, vsDisabled, vsDeleting, vsExpanded, vsHasChildren,
    vsVisible, vsSelected, vsOnFreeNodeCallRequired, vsAllChildrenHidden,
    vsReleaseCallOnUserDataRequired, vsMultiline, vsHeightMeasured, vsToggling, vsFiltered,
    vsInitializing
};
using TLazyNodeStates = TSet<TLazyNodeState>;

enum TLazyNodeInitState {
    ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected, ivsFiltered, ivsReInit
};
using TLazyNodeInitStates = TSet<TLazyNodeInitState>;

enum TCheckType : Byte { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };
enum TCheckState : Byte {
    csUncheckedNormal, csUncheckedPressed, csCheckedNormal, csCheckedPressed, csMixedNormal,
    csMixedPressed, csUncheckedDisabled, csCheckedDisabled, csMixedDisabled
};
bool CheckStateIsDisabled(TCheckState State);
bool CheckStateIsChecked(TCheckState State);
TCheckState EnabledCheckState(TCheckState State);
TCheckState PressedCheckState(TCheckState State);
TCheckState UnpressedCheckState(TCheckState State);
TCheckState ToggledCheckState(TCheckState State);

enum TLTNodeAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum TSortDirection { sdAscending, sdDescending };
enum TChangeReason { crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied, crNodeMoved };
enum TLTUpdateState { usBegin, usBeginSynch, usSynch, usUpdate, usEnd, usEndSynch };
enum TLTOperationKind { okAutoFitColumns, okGetMaxColumnWidth, okSortNode, okSortTree, okExport, okExpand };

enum TLazyTreeState {
    tsCancelHintAnimation, tsChangePending, tsCheckPropagation, tsCollapsing, tsToggleFocusedSelection,
    tsClearPending, tsClipboardFlushing, tsCopyPending, tsCutPending, tsDrawSelPending, tsDrawSelecting,
    tsEditing, tsEditPending, tsExpanding, tsNodeHeightTracking, tsNodeHeightTrackPending, tsHint,
    tsInAnimation, tsIncrementalSearching, tsIncrementalSearchPending, tsIterating, tsKeyCheckPending,
    tsLeftButtonDown, tsLeftDblClick, tsMouseCheckPending, tsMiddleButtonDown, tsMiddleDblClick,
    tsNeedRootCountUpdate, tsOLEDragging, tsOLEDragPending, tsPainting, tsRightButtonDown,
    tsRightDblClick, tsPopupMenuShown, tsScrolling, tsScrollPending, tsSizing, tsStopValidation,
    tsStructureChangePending, tsSynchMode, tsThumbTracking, tsToggling, tsUpdateHiddenChildrenNeeded,
    tsUpdating, tsUseCache, tsUserDragObject, tsUseThemes, tsValidating, tsPreviouslySelectedLocked,
    tsValidationNeeded, tsFwDragging, tsFwDragPending, tsFwDragFinished, tsWheelPanning,
    tsWheelScrolling, tsWindowCreating, tsUseExplorerTheme
};
using TLazyTreeStates = TSet<TLazyTreeState>;

// The background worker's state changes reach the tree as this message, on the tree's own thread:
// WParam names the states to enter, LParam those to leave (ChangeStateFlags).
constexpr Cardinal WM_CHANGESTATE = 0x8020;
// Asked by the framework; the tree answers 1.
constexpr Cardinal CM_TREEQUERY = 0xB7D0;
// The screen cursors of the header over a column border and over its lower edge.
constexpr TCursor crHeaderSplit = 63, crHeaderVertSplit = 62;
// Sent by the tree after each change of its scroll bars, for styled bars to follow them.
constexpr Cardinal CM_UPDATE_FWSTYLE_SCROLLBARS = 0xB802;
// The flags of WM_CHANGESTATE: 1 tsStopValidation, 2 tsUseCache, 4 tsValidating, 8 tsValidationNeeded.
WPARAM ChangeStateFlags(TLazyTreeStates States);
TLazyTreeStates ChangeStateStates(WPARAM Flags);

// Options (bit = ordinal).
enum TLTPaintOption {
    toHideFocusRect, toHideSelection, toHotTrack, toPopupMode, toShowBackground, toShowButtons,
    toShowDropmark, toShowHorzGridLines, toShowRoot, toShowTreeLines, toShowVertGridLines,
    toThemeAware, toUseBlendedImages, toGhostedIfUnfocused, toFullVertGridLines,
    toAlwaysHideSelection, toUseBlendedSelection, toStaticBackground, toChildrenAbove,
    toFixedIndent, toUseExplorerTheme, toHideTreeLinesIfThemed, toShowFilteredNodes
};
using TLTPaintOptions = TSet<TLTPaintOption>;
enum TLTAnimationOption { toAnimatedToggle, toAdvancedAnimatedToggle };
using TLTAnimationOptions = TSet<TLTAnimationOption>;
enum TLTAutoOption {
    toAutoDropExpand, toAutoExpand, toAutoScroll, toAutoScrollOnExpand, toAutoSort,
    toAutoSpanColumns, toAutoTristateTracking, toAutoHideButtons, toAutoDeleteMovedNodes,
    toDisableAutoscrollOnFocus, toAutoChangeScale, toAutoFreeOnCollapse, toDisableAutoscrollOnEdit,
    toAutoBidiColumnOrdering
};
using TLTAutoOptions = TSet<TLTAutoOption>;
enum TLTSelectionOption {
    toDisableDrawSelection, toExtendedFocus, toFullRowSelect, toLevelSelectConstraint,
    toMiddleClickSelect, toMultiSelect, toRightClickSelect, toSiblingSelectConstraint,
    toCenterScrollIntoView, toSimpleDrawSelection, toAlwaysSelectNode, toRestoreSelection
};
using TLTSelectionOptions = TSet<TLTSelectionOption>;
enum TLTMiscOption {
    toAcceptOLEDrop, toCheckSupport, toEditable, toFullRepaintOnResize, toGridExtensions,
    toInitOnSave, toReportMode, toToggleOnDblClick, toWheelPanning, toReadOnly,
    toVariableNodeHeight, toFullRowDrag, toNodeHeightResize, toNodeHeightDblClickResize,
    toEditOnClick, toEditOnDblClick, toReverseFullExpandHotKey
};
using TLTMiscOptions = TSet<TLTMiscOption>;
enum TLTExportMode { emAll, emChecked, emUnchecked, emVisibleDueToExpansion, emSelected };

// The node record. The owner's data area follows it directly; blocks are
// placed so that the area is aligned for any type. The state set sits next
// to the counts so that the record has no gaps.
struct TLazyNode {
    Cardinal Index = 0;
    Cardinal ChildCount = 0;
    TLazyNodeStates States;
    Word NodeHeight = 0;
    Byte Align = 0;
    TCheckState CheckState = csUncheckedNormal;
    TCheckType CheckType = ctNone;
    Byte Dummy = 0;
    Cardinal TotalCount = 0;
    Cardinal TotalHeight = 0;
    PLazyNode Parent = nullptr;
    PLazyNode PrevSibling = nullptr;
    PLazyNode NextSibling = nullptr;
    PLazyNode FirstChild = nullptr;
    PLazyNode LastChild = nullptr;

    static constexpr std::size_t DataOffset = sizeof(void*) * 5 + 32;

    // The owner's data area; marks the node for OnFreeNode.
    void* GetData();
    template <class T> T* GetData() { return static_cast<T*>(GetData()); }
    void SetData(void* UserData);
    void SetData(std::shared_ptr<void> UserData);
    std::byte* RawData() { return reinterpret_cast<std::byte*>(this) + DataOffset; }
};
static_assert(sizeof(TLazyNode) <= TLazyNode::DataOffset && TLazyNode::DataOffset % alignof(TLazyNode) == 0);

// Errors a caller can cause; HelpContext is 2001 to 2007.
class ELazyTreeError : public Exception {
public:
    ELazyTreeError(String Message, int HelpContext) : Exception(std::move(Message)), FHelpContext(HelpContext) {}
    int HelpContext() const { return FHelpContext; }
private:
    int FHelpContext;
};

// ---------------------------------------------------------------------------
// Columns and the header. A column has an index (its place in the collection,
// the TColumnIndex everywhere) and a position (its place on screen). Without
// columns the whole client width is the one main column -1.
// ---------------------------------------------------------------------------
constexpr TColumnIndex InvalidColumn = -2;

enum TLTColumnOption {
    coAllowClick, coDraggable, coEnabled, coParentBidiMode, coParentColor, coResizable, coShowDropMark,
    coVisible, coAutoSpring, coFixed, coSmartResize, coAllowFocus, coDisableAnimatedResize, coWrapCaption,
    coUseCaptionAlignment, coEditable
};
using TLTColumnOptions = TSet<TLTColumnOption>;
inline const TLTColumnOptions DefaultColumnOptions{coAllowClick, coDraggable,    coEnabled,   coParentBidiMode,
                                                   coParentColor, coResizable,  coShowDropMark, coVisible,
                                                   coAllowFocus,  coEditable};

class TLazyTreeColumns;
class TLTHeader;
class TLTDragImage;

class TLazyTreeColumn : public TCollectionItem {
public:
    explicit TLazyTreeColumn(TCollection* Collection);
    ~TLazyTreeColumn() override;
    TLazyTreeColumns* Owner() const;

    virtual String GetText() const { return FText; }
    virtual void SetText(const String& Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    // The left edge in client coordinates: scrolled unless the column is visible and fixed.
    int Left() const;
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    Cardinal Position() const { return FPosition; }
    void SetPosition(Cardinal Value);
    TLTColumnOptions Options() const { return FOptions; }
    void SetOptions(TLTColumnOptions Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The alignment of a cell's content: the column's, or the tree's without a column.
    TAlignment CellTextAlignment(TColumnIndex Column) const;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }
    enum TLazyTreeColumnStyle { vsText, vsOwnerDraw };
    TLazyTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TLazyTreeColumnStyle Value);
    TSortDirection DefaultSortDirection() const { return FDefaultSortDirection; }
    void SetDefaultSortDirection(TSortDirection Value) { FDefaultSortDirection = Value; }
    int LastWidth() const { return FLastWidth; }
    // Back to the width before the last change, animated.
    void RestoreLastWidth();
    // The header cell in window coordinates, without the scroll offset.
    virtual TRect GetRect() const;
    // The caption for a designer: the text, or "Column N" for texts beyond U+00FF.
    String DisplayName() const override;
    void Assign(const TPersistent* Source) override;
    virtual bool Equals(const TLazyTreeColumn& Other) const;
    // Takes the tree's colour again while coParentColor is set.
    void ParentColorChanged();

    // Where the header cell puts its glyph beside the caption (nested: the
    // flat buttons' layout uses the same names).
    enum TLTHeaderColumnLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    TLTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TLTHeaderColumnLayout Value);
    enum TColumnBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
    TColumnBiDiMode BiDiMode() const { return FBiDiMode; }
    // Repaints the tree; a direction of its own ends following the tree's (coParentBidiMode).
    void SetBiDiMode(TColumnBiDiMode Value);
    bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    // Takes the tree's direction again while coParentBidiMode is set.
    void ParentBiDiModeChanged();
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    // A check box in the header cell, drawn with the tree's check pictures; a left click on it
    // gives the next state of its type.
    bool CheckBox() const { return FCheckBox; }
    void SetCheckBox(bool Value);
    TCheckType CheckType() const { return FCheckType; }
    void SetCheckType(TCheckType Value);
    TCheckState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckState Value);
    // The caption as last laid out for drawing (wrapped with coWrapCaption).
    const String& CaptionText() const { return FCaptionText; }
    // Where caption, glyph and sort arrow go in the cell's Client rectangle (absolute positions).
    void LayOutHeaderCell(TCanvas& Canvas, const TRect& Client, unsigned DrawFormat, TRect& TextBounds,
                          TSize& SortGlyphSize, TPoint& SortGlyphPos, TPoint& GlyphPos, bool ShowSortGlyph,
                          bool ShowHeaderGlyph);
    // One column record; Version is the header stream's (-1 for the oldest form).
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream, int Version);

private:
    friend class TLazyTreeColumns;
    friend class TLTHeader;
    TLTHeaderColumnLayout FLayout = blGlyphLeft;
    TColumnBiDiMode FBiDiMode = bdLeftToRight;
    TAlignment FCaptionAlignment = taLeftJustify;
    TBaseLazyTree* Tree() const;
    void ReportChange() { Changed(false); }
    String FText, FHint;
    int FLeft = 0;
    int FWidth = 50;
    Cardinal FPosition = 0;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    int FImageIndex = -1;
    int FMargin = 4;
    int FSpacing = 3;
    TLTColumnOptions FOptions = DefaultColumnOptions;
    std::intptr_t FTag = 0;
    TAlignment FAlignment = taLeftJustify;
    int FLastWidth = 50;
    TColor FColor = clWindow;
    bool FBonusPixel = false;
    float FSpringRest = 0;
    TSortDirection FDefaultSortDirection = sdAscending;
    TLazyTreeColumnStyle FStyle = vsText;
    String FCaptionText;
    bool FCheckBox = false;
    TCheckType FCheckType = ctCheckBox;
    TCheckState FCheckState = csUncheckedNormal;
    TRect FImageRect{};   // the glyph or check box as last painted
    bool FHasImage = false;
    TSize GlyphSize() const;
};

using TColumnsArray = std::vector<TLazyTreeColumn*>;

class TLazyTreeColumns : public TCollection {
public:
    explicit TLazyTreeColumns(TLTHeader* AOwner);
    ~TLazyTreeColumns() override;
    TLTHeader* Header() const { return FHeader; }
    TLazyTreeColumn* Add() { return static_cast<TLazyTreeColumn*>(TCollection::Add()); }
    TLazyTreeColumn* Items(int Index) const { return ItemsAs<TLazyTreeColumn>(Index); }
    TLazyTreeColumn* operator[](int Index) const { return Items(Index); }
    void Clear();
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value) { FDefaultWidth = Value; }
    TColumnIndex ClickIndex() const { return FClickIndex; }
    void SetClickIndex(TColumnIndex Value) { FClickIndex = Value; }
    // The mouse left the tree: no column is hovered or pressed any more.
    void ForgetMouse() {
        FHoverIndex = FDownIndex = -1;
        FCheckBoxHit = false;
    }
    TColumnIndex HoverIndex() const { return FHoverIndex; }
    TColumnIndex TrackIndex() const { return FTrackIndex; }
    bool IsValidColumn(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }
    // Whether the border of a column may be dragged at P: a visible resizable column, unless the owner says otherwise.
    bool CanResizeColumn(TPoint P, TColumnIndex Column);
    virtual bool DoCanSplitterResizeColumn(TPoint P, TColumnIndex Column, bool Allowed);
    // The visible column under a header-relative point (-2 for none).
    TColumnIndex ColumnFromPosition(TPoint P, bool Relative = true) const;
    // The index at a position (-1 beyond the last).
    TColumnIndex ColumnFromPosition(int PositionIndex) const;
    // The visible column whose span holds P.X, with that span; -2 right of the last (Left holds the total).
    TColumnIndex ColumnAtWithBounds(TPoint P, int& Left, int& Right, bool Relative = true) const;
    void GetColumnBounds(TColumnIndex Column, int& Left, int& Right) const;
    TColumnIndex GetFirstColumn() const;
    TColumnIndex GetNextColumn(TColumnIndex Column) const;
    TColumnIndex GetPreviousColumn(TColumnIndex Column) const;
    TColumnIndex GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    TColumnIndex GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus = false) const;
    TColumnIndex GetFirstVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnIndex GetLastVisibleColumn(bool ConsiderAllowFocus = false) const;
    TColumnsArray GetVisibleColumns() const;
    int GetVisibleFixedWidth() const;
    // The horizontal scroll step: the average width of the visible scrolling columns.
    int GetScrollWidth() const;
    int TotalWidth() const;
    const std::vector<TColumnIndex>& PositionToIndex() const { return FPositionToIndex; }
    // Positions from the columns' stored Position values (after reading them).
    void RebuildPositions();
    void ResetPositionOrder(bool RightToLeft);
    void RefreshPositions(bool Force = false);
    // The auto-size column takes the width the others leave.
    void FitAutoSizeColumn(bool Force = false);
    // Sets a column's width within its limits, sliding the cells right of it step by step first.
    void AnimatedResize(TColumnIndex Column, int NewWidth);
    void Assign(const TPersistent* Source) override;
    bool Equals(const TLazyTreeColumns& Other) const;
    // Paints the header part R (header-relative) at Target of the canvas: the
    // background, then each visible column's face, caption and sort arrow.
    void PaintHeader(TCanvas& TargetCanvas, TRect R, TPoint Target);
    // The band into R of the frame: fixed columns in place, the others moved by the scroll offset HOffset.
    // ScrollX and FixedX: where x 0 of the scrolling and of the fixed columns stands in the band.
    void PaintHeader(TCanvas& Frame, TRect R, int ScrollX, int FixedX);
    // The caption, shortened to Bounds; disabled captions are drawn twice, offset, classic style.
    void DrawHeaderCaption(TCanvas& Canvas, const String& Caption, TRect Bounds, bool Enabled, bool Hot,
                           unsigned DrawFormat);
    // The columns block of the header stream.
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream, int Version);

protected:
    void Update(TCollectionItem* Item) override;

private:
    friend class TLazyTreeColumn;
    friend class TLTHeader;
    void SyncPositionArray();
    TLTHeader* FHeader;
    std::vector<TColumnIndex> FPositionToIndex;
    int FDefaultWidth = 50;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
    TColumnIndex FHoverIndex = -1, FDownIndex = -1, FTrackIndex = -1, FClickIndex = -1;
    TColumnIndex FDragIndex = -1, FDropTarget = -1;
    bool FDropBefore = false;  // a dragged column goes before the drop target, else after it
    bool FCheckBoxHit = false;  // the press landed on the pressed column's check box
    // The column under P (client coordinates) made the pressed one, when it may be clicked.
    TColumnIndex PressColumn(TPoint P);
    bool OnGlyph(TColumnIndex Column, TPoint Q) const;
    // The column under P becomes the hover column; answers whether it changed.
    bool UpdateHoverColumn(TPoint P);
    void ProcessHeaderClick(TPoint P, TMouseButton Button, bool Force, bool DblClick);
    void PaintCell(TCanvas& Canvas, TLazyTreeColumn& Column, const TRect& Cell);
    bool AdvancedHeaderDraw() const;
    TBitmap FHeaderBitmap;
};

enum THeaderOption {
    hoAutoResize, hoColumnResize, hoDblClickResize, hoDrag, hoHotTrack, hoOwnerDraw, hoRestrictDrag,
    hoShowHint, hoShowImages, hoShowSortGlyphs, hoVisible, hoAutoSpring, hoFullRepaintOnResize,
    hoDisableAnimatedResize, hoHeightResize, hoHeightDblClickResize, hoHeaderClickAutoSort,
    hoAutoColumnPopupMenu
};
using THeaderOptions = TSet<THeaderOption>;
enum THeaderState { hsAutoSizing, hsDragging, hsDragPending, hsLoading, hsColumnWidthTracking,
                    hsColumnWidthTrackPending, hsHeightTracking, hsHeightTrackPending, hsResizing,
                    hsScaling, hsNeedScaling };
using THeaderStates = TSet<THeaderState>;
enum TLTHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates };
// Which columns an automatic fit measures by the rows in the window only.
enum TSmartAutoFitType { smaAllColumns, smaNoColumn, smaUseColumnOption };

// Percentages (0: none) that hold the header height within header plus
// client height, and the visible fixed columns within the client width.
class TLTFixedAreaConstraints : public TPersistent {
public:
    explicit TLTFixedAreaConstraints(TLTHeader* Header) : FHeader(Header) {}
    using TPersistent::Assign;
    Byte MaxHeightPercent() const { return FMaxHeightPercent; }
    Byte MaxWidthPercent() const { return FMaxWidthPercent; }
    Byte MinHeightPercent() const { return FMinHeightPercent; }
    Byte MinWidthPercent() const { return FMinWidthPercent; }
    void SetMaxHeightPercent(Byte Value);
    void SetMaxWidthPercent(Byte Value);
    void SetMinHeightPercent(Byte Value);
    void SetMinWidthPercent(Byte Value);
    void Assign(const TLTFixedAreaConstraints& Source);

private:
    friend class TLTHeader;
    void Change();
    TLTHeader* FHeader;
    Byte FMaxHeightPercent = 0, FMaxWidthPercent = 0, FMinHeightPercent = 0, FMinWidthPercent = 0;
};

class TLTHeader : public TPersistent {
public:
    explicit TLTHeader(TBaseLazyTree* Owner);
    ~TLTHeader() override;
    using TPersistent::Assign;
    TBaseLazyTree* Treeview() const { return FOwner; }
    // Kept as plain fields for the core's reads; the setters below react.
    TColumnIndex SortColumn = -1;
    TSortDirection SortDirection = sdAscending;
    TColumnIndex MainColumn = -1;
    THeaderOptions Options{hoColumnResize, hoDrag, hoShowSortGlyphs};
    THeaderStates States;
    int ColumnCount() const { return FColumns->Count(); }
    bool UseColumns() const { return FColumns->Count() > 0; }
    TLazyTreeColumns& Columns() { return *FColumns; }
    const TLazyTreeColumns& Columns() const { return *FColumns; }
    // Without columns any column may hold the focus.
    bool AllowFocus(TColumnIndex Column) const;
    // -1 whenever there is no column.
    TColumnIndex GetMainColumn() const { return UseColumns() ? MainColumn : -1; }
    void SetMainColumn(TColumnIndex Value);
    void SetSortColumn(TColumnIndex Value);
    void SetSortDirection(TSortDirection Value);
    void SetOptions(THeaderOptions Value);
    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value);
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor Value);
    // The column glyphs (ImageIndex), not owned; freed elsewhere, the header lets it go.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TLTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TLTHeaderStyle Value);
    TFont& Font() { return FFont; }
    void SetFont(const TFont& Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    int SplitterHitTolerance = 8;
    // Shown on a right click in the band; without it the tree's OnGetPopupMenu is asked (Node nil).
    TPopupMenu* PopupMenu = nullptr;
    TLTFixedAreaConstraints& FixedAreaConstraints() { return FFixedAreaConstraints; }
    virtual void Assign(const TLTHeader& Source);
    // P in client coordinates of the tree (the header lies above row 0).
    bool InHeader(TPoint P) const;
    bool InHeaderSplitterArea(TPoint P) const;
    // Repaints one column's cell (to the border with ExpandToBorder), or the band for -1.
    void Invalidate(TColumnIndex Column = -1, bool ExpandToBorder = false);
    // Spreads ChangeBy pixels in equal parts over the columns of the index
    // range that have all of Options; answers the change applied.
    int ResizeColumns(int ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                      TLTColumnOptions Options = {coVisible});
    // Columns with coAutoSpring follow a change of the header width (hoAutoSpring).
    void ShareWidthWithSpringColumns();
    virtual void ApplyScale(int M, int D);
    void ReapplyFixedAreaConstraints();
    // The tree's header band changed: it recomputes its frame.
    virtual void RefreshHeaderFrame();
    // After the tree was read: the main column within the columns, the positions
    // from the stored ones, the limits applied, the auto-size column fitted.
    void AfterLoading();
    // The tree offers its window messages here first; true when consumed.
    virtual bool HandleHeaderMessage(TMessage& Message);
    // Whether a column border lies under the client x of P (it becomes the tracked column).
    virtual bool FindSplitterColumn(TPoint P);
    // Gives the visible resizable columns of a position range (-1: from the first, to the last)
    // the width their content needs.
    void AutoFitColumns(bool Animated = true, TSmartAutoFitType SmartAutoFitType = smaUseColumnOption,
                        int RangeStartCol = -1, int RangeEndCol = -1);
    // The visible resizable columns go back to their last widths, from the last position on.
    void RestoreColumns();
    virtual bool DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType);
    virtual void DoAfterAutoFitColumn(TColumnIndex Column);
    // The header's own events of the tree (Sender the header); the Allowed answers start true.
    virtual void DoBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift);
    virtual bool DoColumnWidthTracking(TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint, TPoint P);
    virtual void DoAfterColumnWidthTracking(TColumnIndex Column);
    virtual bool DoColumnWidthDblClickResize(TColumnIndex Column, TPoint P, TShiftState Shift);
    virtual void DoBeforeHeaderHeightTracking(TShiftState Shift);
    virtual bool DoHeaderHeightTracking(TPoint& P, TShiftState Shift);
    virtual void DoAfterHeaderHeightTracking();
    virtual bool DoHeaderHeightDblClickResize(TPoint& P, TShiftState Shift);
    // Allowed starts as the answer of hoHeightResize.
    virtual bool DoCanSplitterResizeHeader(TPoint P, bool Allowed);
    // The tree's menu for a column of the header (P in client coordinates), nil for none.
    virtual TPopupMenu* DoGetPopupMenu(TColumnIndex Column, TPoint P);
    // A user's column layout with the header's settings (always the newest
    // version); reading takes every older version too.
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream);
    // Whether the tree writes the columns into its form image ("Columns"): always here.
    virtual bool ColumnsStored() const { return true; }

protected:
    virtual void ApplySortColumn(TColumnIndex Value);
    virtual TLazyTreeColumns* ColumnsClass() { return new TLazyTreeColumns(this); }

private:
    friend class TLazyTreeColumns;
    friend class TLazyTreeColumn;
    bool BorderHit(TPoint P);
    void Press(TPoint P);
    void Release(TPoint P, bool ClientMessage, TShiftState Shift);
    TPoint FTrackPoint;
    void FontChanged();
    void AutoSortAfterChange();
    // The automatic column menu of a right click (owned by the tree).
    void ShowAutoColumnMenu(TPoint Client);
    // Dragging a column to another position (screen points): its cell as a picture under the mouse.
    void PrepareColumnDrag(TPoint P, TPoint Start);
    void DragColumnTo(TPoint P);
    void EndColumnDrag(TPoint Screen, bool Drop);
    TPoint FDragStart;
    std::unique_ptr<TLTDragImage> FDragImage;
    enum TLTHeaderMouseKind { hmDown, hmMove, hmUp };
    TPoint HeaderPoint(TPoint Client) const;
    void MouseEvent(TLTHeaderMouseKind Kind, TMouseButton Button, TPoint Client);
    bool CanResizeHeight(TPoint P);
    TComponent* FAutoColumnMenu = nullptr;
    TBaseLazyTree* FOwner;
    std::unique_ptr<TLazyTreeColumns> FColumns;
    int FHeight = 19, FMinHeight = 10, FMaxHeight = 10000, FDefaultHeight = 19;
    TColor FBackground = clBtnFace;
    TImageList* FImages = nullptr;
    TLTHeaderStyle FStyle = hsThickButtons;
    TFont FFont;
    bool FParentFont = false;
    TColumnIndex FAutoSizeIndex = 0;
    int FLastWidth = 0;
    TLTFixedAreaConstraints FFixedAreaConstraints{this};
};

class TCustomLazyTreeOptions {
public:
    explicit TCustomLazyTreeOptions(TBaseLazyTree* AOwner);
    virtual ~TCustomLazyTreeOptions() = default;
    TBaseLazyTree* Owner() const { return FOwner; }
    TLTPaintOptions PaintOptions() const { return FPaintOptions; }
    TLTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    TLTAutoOptions AutoOptions() const { return FAutoOptions; }
    TLTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    TLTMiscOptions MiscOptions() const { return FMiscOptions; }
    TLTExportMode ExportMode() const { return FExportMode; }
    void SetPaintOptions(TLTPaintOptions Value);
    void SetAnimationOptions(TLTAnimationOptions Value) { FAnimationOptions = Value; }
    void SetAutoOptions(TLTAutoOptions Value);
    void SetSelectionOptions(TLTSelectionOptions Value);
    void SetMiscOptions(TLTMiscOptions Value);
    void SetExportMode(TLTExportMode Value) { FExportMode = Value; }
    // Copies the five sets through Dest's setters; ExportMode stays.
    virtual void AssignTo(TCustomLazyTreeOptions& Dest) const;

private:
    TBaseLazyTree* FOwner;
    TLTPaintOptions FPaintOptions;
    TLTAnimationOptions FAnimationOptions;
    TLTAutoOptions FAutoOptions;
    TLTSelectionOptions FSelectionOptions;
    TLTMiscOptions FMiscOptions;
    TLTExportMode FExportMode = emAll;
};

enum TScrollBarStyle { sbmRegular, sbm3D };
class TScrollBarOptions {
public:
    explicit TScrollBarOptions(TBaseLazyTree* AOwner) : FOwner(AOwner) {}
    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool Value) { FAlwaysVisible = Value; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value) { FScrollBars = Value; }
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    void SetScrollBarStyle(TScrollBarStyle Value) { FScrollBarStyle = Value; }
    Word HorizontalIncrement = 20;
    Word VerticalIncrement = 20;
    void Assign(const TScrollBarOptions& Source);
private:
    bool FAlwaysVisible = false;
    TBaseLazyTree* FOwner;
    TScrollStyle FScrollBars = ssBoth;
    TScrollBarStyle FScrollBarStyle = sbmRegular;
};

class TLTColors {
public:
    enum Index {
        DisabledColor, DropMarkColor, DropTargetColor, FocusedSelectionColor, GridLineColor,
        TreeLineColor, UnfocusedSelectionColor, BorderColor, HotColor, FocusedSelectionBorderColor,
        UnfocusedSelectionBorderColor, DropTargetBorderColor, SelectionRectangleBlendColor,
        SelectionRectangleBorderColor, HeaderHotColor, SelectionTextColor, UnfocusedColor, Count
    };
    explicit TLTColors(TBaseLazyTree* AOwner);
    TColor GetColor(Index I) const { return FColors[I]; }
    void SetColor(Index I, TColor Value);
    // All 17 values at once, then one repaint.
    void Assign(const TLTColors& Source);
    TColor BackGroundColor() const;
    TColor NodeFontColor() const;
private:
    TBaseLazyTree* FOwner;
    TColor FColors[Count];
};

struct TCacheEntry {
    PLazyNode Node = nullptr;
    Cardinal AbsoluteTop = 0;
};
using TCache = std::vector<TCacheEntry>;

// Enumerations over the nodes, for range-for loops and explicit stepping.
enum TLTLazyNodeEnumerationMode {
    vneAll, vneChecked, vneChild, vneCutCopy, vneInitialized, vneLeaf, vneLevel, vneNoInit,
    vneSelected, vneVisible, vneVisibleChild, vneVisibleNoInitChild, vneVisibleNoInit
};
struct TLTLazyNodeEnumeration;
struct TLTLazyNodeEnumerator {
    PLazyNode FNode = nullptr;
    bool FCanModeNext = true;
    const TLTLazyNodeEnumeration* FEnumeration = nullptr;
    bool MoveNext();
    PLazyNode Current() const { return FNode; }
};
struct TLTLazyNodeEnumeration {
    TLTLazyNodeEnumerationMode FMode = vneAll;
    TBaseLazyTree* FTree = nullptr;
    bool FConsiderChildrenAbove = false;
    PLazyNode FNode = nullptr;
    Cardinal FNodeLevel = 0;
    TCheckState FState = csCheckedNormal;
    bool FIncludeFiltered = false;
    TLTLazyNodeEnumerator GetEnumerator() const { return TLTLazyNodeEnumerator{nullptr, true, this}; }
    PLazyNode GetNext(PLazyNode Node) const;

    struct iterator {
        TLTLazyNodeEnumerator E;
        PLazyNode operator*() const { return E.FNode; }
        iterator& operator++() { E.MoveNext(); return *this; }
        bool operator!=(const iterator&) const { return E.FNode != nullptr; }
    };
    iterator begin() const { iterator It{GetEnumerator()}; It.E.MoveNext(); return It; }
    iterator end() const { return iterator{}; }
};

// The edit link of an in-place editor (the editor itself comes with the string tree).
class ILTEditLink {
public:
    virtual ~ILTEditLink() = default;
    virtual bool BeginEdit() = 0;
    virtual bool CancelEdit() = 0;
    virtual bool EndEdit() = 0;
    virtual bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) = 0;
    virtual TRect GetBounds() = 0;
    virtual void SetBounds(TRect R) = 0;
};

enum TLTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TLTSearchDirection { sdForward, sdBackward };
enum TLTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

// Event types.
using TLTInitNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode ParentNode, PLazyNode Node, TLazyNodeInitStates& InitialStates)>;
using TLTInitChildrenEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, Cardinal& ChildCount)>;
using TLTFreeNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTGetNodeDataSizeEvent = std::function<void(TBaseLazyTree* Sender, int& NodeDataSize)>;
using TLTChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, bool& Allowed)>;
using TLTCheckChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TCheckState& NewState, bool& Allowed)>;
using TLTCompareEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node1, PLazyNode Node2, TColumnIndex Column, int& Result)>;
using TLTMeasureItemEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, int& NodeHeight)>;
using TLTStructureChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TChangeReason Reason)>;
using TLTUpdatingEvent = std::function<void(TBaseLazyTree* Sender, TLTUpdateState State)>;
using TLTStateChangeEvent = std::function<void(TBaseLazyTree* Sender, TLazyTreeStates Enter, TLazyTreeStates Leave)>;
using TLTOperationEvent = std::function<void(TBaseLazyTree* Sender, TLTOperationKind OperationKind)>;
using TLTSaveNodeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TStream& Stream)>;
using TLTSaveTreeEvent = std::function<void(TBaseLazyTree* Sender, TStream& Stream)>;
using TLTNodeMovingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, PLazyNode Target, bool& Allowed)>;
using TLTNodeMovedEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTNodeCopyingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, PLazyNode Target, bool& Allowed)>;
using TLTNodeCopiedEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTAddToSelectionEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTRemoveFromSelectionEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node)>;
using TLTFocusChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn, bool& Allowed)>;
using TLTFocusChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column)>;
using TLTIncrementalSearchEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, const String& SearchText, int& Result)>;
using TLTEditChangingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& Allowed)>;
using TLTCreateEditorEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, std::shared_ptr<ILTEditLink>& EditLink)>;
using TLTEditChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column)>;
using TLTEditCancelEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column)>;
using TLTGetNodeCallback = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, void* Data, bool& Abort)>;

class TLazyTreeWorker;
class TClipboardFormats;
class TPrinter;
class IAccessible;
class TLTDragManager;
enum TLTDragType { dtOLE, dtFw };
// Where a drop would go relative to the drop target node.
enum TDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };
enum TDragOperation { doCopy, doMove, doLink };
using TDragOperations = TSet<TDragOperation>;

// Hints: the tree's hint window paints node hints and tooltips from this record.
enum TLTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum TLTTooltipLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };
enum THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };
enum TLTHintKind { vhkText, vhkOwnerDraw };
struct TLTHintData {
    TBaseLazyTree* Tree = nullptr;
    PLazyNode Node = nullptr;
    TColumnIndex Column = -1;
    TRect HintRect;      // an owner-drawn hint's size from OnGetHintSize
    String DefaultHint;  // shown instead of asking the tree
    String HintText;     // what is shown
    TAlignment Alignment = taLeftJustify;
    TLTTooltipLineBreakStyle LineBreakStyle = hlbDefault;
};

class TLazyTreeHintWindow : public THintWindow {
public:
    explicit TLazyTreeHintWindow(TComponent* AOwner);
    ~TLazyTreeHintWindow() override;
    TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData) override;
    void ActivateHint(TRect Rect, const String& AHint) override;
    // Typing or moving over a frame keeps the tree's hint open.
    bool IsHintMsg(const TMessage& Msg) override;
    const TLTHintData& HintData() const { return FHintData; }
    // The animation steps the last showing ran (tests read them).
    int AnimationSteps() const { return FAnimationSteps; }
    // The finished picture of the hint.
    const TBitmap& DrawBuffer() const { return FDrawBuffer; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void PaintHintPicture(int Step, int StepSize);
    bool AnimateHintStep(int Step, int StepSize);

private:
    TLTHintData FHintData;
    TBitmap FBackground, FDrawBuffer, FTarget;
    int FTextHeight = 0;
    int FAnimationSteps = 0;
    THintAnimationType FAnimation = hatNone;
    bool FFrameReady = false;  // FTarget holds an animation frame to show
};

// ---------------------------------------------------------------------------
// The drag picture: a translucent picture over a copy of the screen under
// it, shown in a window that takes no input and follows the mouse. With a
// data object the platform's drag shows the picture instead (the system
// path); the object then only keeps it for the drag.
// ---------------------------------------------------------------------------
enum TLTDragImageKind { diComplete, diMainColumnOnly, diNoImage };
enum TLTDragMoveRestriction { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };
enum TLTDragImageState { disHidden, disInDrag, disPrepared, disSystemSupport };
using TLTDragImageStates = TSet<TLTDragImageState>;
class TLTDragOverlay;

class TLTDragImage {
public:
    explicit TLTDragImage(TBaseLazyTree* AOwner);
    ~TLTDragImage();
    TLTDragImage(const TLTDragImage&) = delete;
    TLTDragImage& operator=(const TLTDragImage&) = delete;

    // ImagePosition and HotSpot are screen points.
    void PrepareDrag(const TBitmap& DragImage, TPoint ImagePosition, TPoint HotSpot,
                     const std::shared_ptr<IDataObject>& DataObject);
    void ShowDragImage();
    void HideDragImage();
    // Follows the mouse to P; true when the picture moved or was repainted.
    bool DragTo(TPoint P, bool ForceRepaint);
    void EndDrag();
    // The tree repainted R (client coordinates) under the picture: the background is taken anew.
    void RecaptureBackground(TRect R, bool ReshowDragImage);
    TRect GetDragImageRect() const;
    bool WillMove(TPoint P) const;
    bool Visible() const;
    TLTDragImageStates States() const { return FStates; }
    // The picture the platform's drag shows on the system path (empty otherwise), its hot spot at its centre.
    const TBitmap& SystemPicture() const { return FSystemPicture; }

    Byte Transparency = 128;
    std::int8_t PreBlendBias = 0, PostBlendBias = 0;
    bool Fade = false;
    TLTDragMoveRestriction MoveRestriction = dmrNone;
    TColor ColorKey = clNone;

private:
    void InternalShowDragImage();
    void Capture();
    TBaseLazyTree* FOwner;
    TBitmap FBackImage, FAlphaImage, FDragImage, FSystemPicture;
    std::vector<Byte> FAlpha;  // the picture's alpha channel, row by row
    TPoint FImagePosition, FLastPosition;
    TLTDragImageStates FStates;
    std::unique_ptr<TLTDragOverlay> FOverlay;
};

// What off-screen painting (printing, drag pictures) draws of the tree.
enum TLTInternalPaintOption {
    poBackground, poColumnColor, poDrawFocusRect, poDrawSelection, poDrawDropMark, poGridLines, poMainOnly,
    poSelectedOnly, poUnbuffered
};
using TLTInternalPaintOptions = TSet<TLTInternalPaintOption>;

// What the painting hands to the content step of one cell.
// One picture of a cell: which image of which list, and where it is drawn.
struct TLTImageInfo {
    int Index = -1;
    TImageList* Images = nullptr;
    bool Ghosted = false;
    int X = 0, Y = 0;
};
enum TLTImageInfoIndex { iiNormal, iiState, iiCheck, iiOverlay };

struct TLTPaintInfo {
    TCanvas* Canvas = nullptr;
    PLazyNode Node = nullptr;
    TColumnIndex Column = -1;
    TRect CellRect;     // the row, in client coordinates
    TRect ContentRect;  // the part after indentation, check box and images
    int NodeWidth = 0;  // the content's width as the tree measures it
    TLTImageInfo ImageInfo[4];  // by TLTImageInfoIndex
    // The cell's alignment (the column's, or the tree's without columns; mirrored right to left), its
    // direction and what this pass paints.
    TAlignment Alignment = taLeftJustify;
    TBiDiMode BidiMode = bdLeftToRight;
    TLTInternalPaintOptions PaintOptions;
};

class TBaseLazyTree : public TCustomControl {
public:
    explicit TBaseLazyTree(TComponent* AOwner);
    ~TBaseLazyTree() override;

    // --- Node model ---------------------------------------------------------
    PLazyNode RootNode() const { return FRoot; }
    virtual PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr);
    PLazyNode AddChild(PLazyNode Parent, std::shared_ptr<void> UserData);
    PLazyNode InsertNode(PLazyNode Node, TLTNodeAttachMode Mode, void* UserData = nullptr);
    void DeleteNode(PLazyNode Node) { DeleteNodeInternal(Node, true, false); }
    void DeleteChildren(PLazyNode Node, bool ResetHasChildren = false);
    virtual void DeleteSelectedNodes();
    virtual void Clear();
    bool IsEmpty() const { return FRoot->ChildCount == 0; }
    Cardinal GetChildCount(PLazyNode Node) const;
    virtual void SetChildCount(PLazyNode Node, Cardinal NewChildCount);
    Cardinal RootNodeCount() const { return FRoot->ChildCount; }
    void SetRootNodeCount(Cardinal Value);
    bool GetHasChildren(PLazyNode Node) const;
    void SetHasChildren(PLazyNode Node, bool Value);
    bool GetChildrenInitialized(PLazyNode Node) const;
    bool GetDisabled(PLazyNode Node) const;
    void SetDisabled(PLazyNode Node, bool Value);
    PLazyNode GetNodeParent(PLazyNode Node) const;
    void SetNodeParent(PLazyNode Node, PLazyNode Value);
    void* GetNodeData(PLazyNode Node);
    template <class T> T* GetNodeData(PLazyNode Node) { return static_cast<T*>(GetNodeData(Node)); }
    void SetNodeData(PLazyNode Node, void* UserData);
    void SetNodeData(PLazyNode Node, std::shared_ptr<void> UserData);
    int NodeDataSize() const { return FNodeDataSize; }
    void SetNodeDataSize(int Value);
    Cardinal TotalCount();
    virtual void ReinitNode(PLazyNode Node, bool Recursive);
    virtual void ReinitChildren(PLazyNode Node, bool Recursive);
    virtual void ResetNode(PLazyNode Node);
    void InitRecursive(PLazyNode Node, Cardinal Levels = 0xFFFFFFFF, bool VisibleOnly = true);
    void ValidateNode(PLazyNode Node, bool Recursive);
    void ValidateChildren(PLazyNode Node, bool Recursive);
    virtual std::size_t ReserveInternalData(std::size_t Size);
    // The tree that owns a node.
    static TBaseLazyTree* TreeFromNode(PLazyNode Node);

    // --- Navigation ---------------------------------------------------------
    PLazyNode GetFirst(bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstNoInit(bool ConsiderChildrenAbove = false);
    PLazyNode GetLast(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false);
    PLazyNode GetLastNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false);
    PLazyNode GetNext(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextNoInit(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPrevious(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousNoInit(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstInitialized(bool ConsiderChildrenAbove = false);
    PLazyNode GetNextInitialized(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousInitialized(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetLastInitialized(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstChild(PLazyNode Node);
    PLazyNode GetFirstChildNoInit(PLazyNode Node);
    PLazyNode GetLastChild(PLazyNode Node);
    PLazyNode GetLastChildNoInit(PLazyNode Node);
    PLazyNode GetNextSibling(PLazyNode Node);
    PLazyNode GetNextSiblingNoInit(PLazyNode Node);
    PLazyNode GetPreviousSibling(PLazyNode Node);
    PLazyNode GetPreviousSiblingNoInit(PLazyNode Node);
    PLazyNode GetFirstVisible(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetFirstVisibleNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetLastVisible(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleNoInit(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    PLazyNode GetNextVisible(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetNextVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetPreviousVisible(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetPreviousVisibleNoInit(PLazyNode Node, bool ConsiderChildrenAbove = true);
    PLazyNode GetFirstVisibleChild(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetFirstVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleChild(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetLastVisibleChildNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetNextVisibleSibling(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetNextVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetPreviousVisibleSibling(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetPreviousVisibleSiblingNoInit(PLazyNode Node, bool IncludeFiltered = false);
    PLazyNode GetFirstChecked(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetNextChecked(PLazyNode Node, TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousChecked(PLazyNode Node, TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    PLazyNode GetFirstLeaf();
    PLazyNode GetNextLeaf(PLazyNode Node);
    PLazyNode GetPreviousLeaf(PLazyNode Node);
    PLazyNode GetFirstLevel(Cardinal NodeLevel);
    PLazyNode GetNextLevel(PLazyNode Node, Cardinal NodeLevel);
    PLazyNode GetPreviousLevel(PLazyNode Node, Cardinal NodeLevel);
    PLazyNode GetVisibleParent(PLazyNode Node, bool IncludeFiltered = false);
    Cardinal GetNodeLevel(PLazyNode Node) const;
    // Level of Node2 minus level of Node1.
    virtual int LevelDifference(PLazyNode Node1, PLazyNode Node2) const;
    Cardinal AbsoluteIndex(PLazyNode Node);
    bool HasAsParent(PLazyNode Node, PLazyNode PotentialParent) const;
    int CompareTreeOrder(PLazyNode Node1, PLazyNode Node2, bool ConsiderChildrenAbove) const;
    PLazyNode IterateSubtree(PLazyNode Node, const TLTGetNodeCallback& Callback, void* Data,
                             TLazyNodeStates Filter = {}, bool DoInit = false, bool ChildNodesOnly = false);
    int CheckedCount();
    TLTLazyNodeEnumeration Nodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration InitializedNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration NoInitNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration SelectedNodes(bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration CheckedNodes(TCheckState State = csCheckedNormal, bool ConsiderChildrenAbove = false);
    TLTLazyNodeEnumeration ChildNodes(PLazyNode Node);
    TLTLazyNodeEnumeration LeafNodes();
    TLTLazyNodeEnumeration LevelNodes(Cardinal NodeLevel);
    TLTLazyNodeEnumeration VisibleNodes(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleNoInitNodes(PLazyNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleChildNodes(PLazyNode Node, bool IncludeFiltered = false);
    TLTLazyNodeEnumeration VisibleChildNoInitNodes(PLazyNode Node, bool IncludeFiltered = false);

    // --- Heights, visibility, filtering ---------------------------------------
    Cardinal GetNodeHeight(PLazyNode Node);
    void SetNodeHeight(PLazyNode Node, Cardinal Value);
    Cardinal DefaultNodeHeight() const { return FDefaultNodeHeight; }
    // With toAutoChangeScale, raises the default height to the height of "Tg" in the control's font.
    virtual void FitDefaultNodeHeight();
    void SetDefaultNodeHeight(Cardinal Value);
    virtual void MeasureItemHeight(TCanvas* Canvas, PLazyNode Node);
    bool GetVisible(PLazyNode Node);
    void SetVisible(PLazyNode Node, bool Value);
    bool GetFullyVisible(PLazyNode Node) const;
    void SetFullyVisible(PLazyNode Node, bool Value);
    bool GetVisiblePath(PLazyNode Node) const;
    void SetVisiblePath(PLazyNode Node, bool Value);
    bool GetFiltered(PLazyNode Node) const { return Node && Node->States.Contains(vsFiltered); }
    void SetFiltered(PLazyNode Node, bool Value);
    bool GetEffectivelyFiltered(PLazyNode Node) const;
    bool GetEffectivelyVisible(PLazyNode Node) const;
    bool GetMultiline(PLazyNode Node) const;
    void SetMultiline(PLazyNode Node, bool Value);
    Cardinal VisibleCount() const { return FVisibleCount; }
    virtual Cardinal CountShownChildren(PLazyNode Node) const;
    virtual void RecheckAllChildrenHidden(PLazyNode Node);
    virtual void RecheckAllChildrenHiddenEverywhere();
    // Position cache.
    void InvalidatePositionCache();
    void StopCacheValidation();
    virtual void RevalidatePositionCache();
    virtual bool BuildPositionCache();
    const TCache& PositionCache() const { return FPositionCache; }

    // --- Check states ---------------------------------------------------------
    TCheckState GetCheckState(PLazyNode Node) const { return Node ? Node->CheckState : csUncheckedNormal; }
    void SetCheckState(PLazyNode Node, TCheckState Value);
    TCheckType GetCheckType(PLazyNode Node) const { return Node ? Node->CheckType : ctNone; }
    void SetCheckType(PLazyNode Node, TCheckType Value);
    void SetCheckStateForAll(TCheckState aCheckState, bool pSelectedOnly, bool pExcludeDisabled = true);
    void ClearChecked();

    // --- Expanding and collapsing ---------------------------------------------
    void ToggleNode(PLazyNode Node);
    bool GetExpanded(PLazyNode Node) const { return Node && Node->States.Contains(vsExpanded); }
    void SetExpanded(PLazyNode Node, bool Value);
    virtual void FullExpand(PLazyNode Node = nullptr);
    virtual void FullCollapse(PLazyNode Node = nullptr);
    Cardinal AnimationDuration() const { return FAnimationDuration; }
    // A timed loop: Callback(Step, StepSize, Data) until Steps are done or
    // Duration has passed (false from the callback ends it), then Callback(0, 0, Data).
    using TLTAnimationCallback = std::function<bool(int Step, int StepSize, void* Data)>;
    virtual void RunAnimation(int Steps, int Duration, const TLTAnimationCallback& Callback, void* Data);
    void SetAnimationDuration(Cardinal Value);
    // What a toggle's animation scrolls, in client coordinates: one or two bands of the window, each
    // moving up or down by its distance; R2 moves ScaleFactor pixels per pixel of R1.
    struct TToggleAnimationData {
        enum TScrollMode { tsmNone, tsmUp, tsmDown };
        TRect R1, R2;
        TScrollMode Mode1 = tsmNone, Mode2 = tsmNone;
        double ScaleFactor = 0;
        double MissedSteps = 0;  // the rounding left over from R2's steps
        TColor Brush = clWindow;
    };
    // One step of a toggle's animation: the bands scroll by StepSize (the pixels left behind keep
    // what they showed; the first step fills them with the ground). Always true.
    virtual bool ToggleAnimationStep(int Step, int StepSize, TToggleAnimationData& Data);

    // --- Sorting --------------------------------------------------------------
    virtual void Sort(PLazyNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
    virtual void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);

    // --- Moving and copying -----------------------------------------------------
    void MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    void MoveTo(PLazyNode Node, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly);
    PLazyNode CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly);
    PLazyNode CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly);
    TLTNodeAttachMode DefaultPasteMode = amAddChildLast;

    // --- Node stream --------------------------------------------------------------
    virtual void SaveToStream(TStream& Stream, PLazyNode Node = nullptr);
    void SaveToFile(const String& FileName);
    virtual void LoadFromStream(TStream& Stream);
    virtual void LoadFromFile(const String& FileName);
    void AddFromStream(TStream& Stream, PLazyNode TargetNode);

    // --- Updates and change notification ------------------------------------------
    virtual void BeginUpdate();
    virtual void EndUpdate();
    void BeginSynch();
    void EndSynch();
    int UpdateCount() const { return FUpdateCount; }
    TLazyTreeStates TreeStates() const { return FStates; }
    void SetTreeStates(TLazyTreeStates Value) { FStates = Value; }
    Cardinal ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(Cardinal Value) { FChangeDelay = Value; }
    void StartOperation(TLTOperationKind Kind);
    void EndOperation(TLTOperationKind Kind);
    void CancelOperation();
    int OperationCount() const { return FOperationCount; }
    bool OperationCanceled() const { return FOperationCanceled && FOperationCount > 0; }
    virtual void StructureChanged(PLazyNode Node, TChangeReason Reason);
    virtual void Changed(PLazyNode Node);
    void Loaded();

    // --- Options and colours ----------------------------------------------------
    TCustomLazyTreeOptions& TreeOptions() { return *FOptions; }
    const TCustomLazyTreeOptions& TreeOptions() const { return *FOptions; }
    TScrollBarOptions& ScrollBarOptions() { return *FScrollBarOptions; }
    TLTColors& Colors() { return *FColors; }
    TLTHeader& Header() { return *FHeader; }
    // The names of the registered formats the tree offers.
    TClipboardFormats& ClipboardFormats() { return *FClipboardFormats; }
    void Assign(const TBaseLazyTree& Source);

    // --- Selection --------------------------------------------------------------
    virtual bool AddToSelection(PLazyNode Node);
    virtual bool AddToSelection(const TNodeArray& NewItems, int NewLength, bool ForceInsert = false);
    virtual void RemoveFromSelection(PLazyNode Node);
    void ClearSelection() { ClearSelectionNotify(true); }
    virtual void ClearSelectionNotify(bool Notify);
    void SelectAll(bool VisibleOnly);
    void InvertSelection(bool VisibleOnly);
    bool GetSelected(PLazyNode Node) const { return Node && Node->States.Contains(vsSelected); }
    void SetSelected(PLazyNode Node, bool Value);
    int SelectedCount() const { return FSelectionCount; }
    bool SelectionLocked = false;
    PLazyNode GetFirstSelected(bool ConsiderChildrenAbove = false);
    PLazyNode GetNextSelected(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousSelected(PLazyNode Node, bool ConsiderChildrenAbove = false);
    TNodeArray GetSortedSelection(bool Resolve);
    virtual void EnsureNodeSelected();
    virtual void SelectRange(PLazyNode StartNode, PLazyNode EndNode, bool AddOnly);
    virtual void ToggleRange(PLazyNode StartNode, PLazyNode EndNode);
    virtual void UnselectRange(PLazyNode StartNode, PLazyNode EndNode);
    // The selection effect of a click with Shift or Ctrl in a multi-selection tree.
    void ApplyClickSelection(PLazyNode LastFocused, PLazyNode NewNode, TShiftState Shift, bool DragPending);
    PLazyNode RangeAnchor() const { return FRangeAnchor; }
    // The selection array as kept (sorted by address); for inspection.
    const TNodeArray& SelectionArray() const { return FSelection; }

    // --- Focus, editing, incremental search ---------------------------------------
    PLazyNode FocusedNode() const { return FFocusedNode; }
    void SetFocusedNode(PLazyNode Value);
    TColumnIndex FocusedColumn() const { return FFocusedColumn; }
    void SetFocusedColumn(TColumnIndex Value);
    bool IsEditing() const { return FStates.Contains(tsEditing); }
    bool EndEditNode();
    bool CancelEditNode();
    virtual bool EditNode(PLazyNode Node, TColumnIndex Column);
    virtual bool CanEdit(PLazyNode Node, TColumnIndex Column);
    std::shared_ptr<ILTEditLink> EditLink() const { return FEditLink; }
    TLTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
    void SetIncrementalSearch(TLTIncrementalSearch Value);
    TLTSearchDirection IncrementalSearchDirection = sdForward;
    TLTSearchStart IncrementalSearchStart = ssFocusedNode;
    Cardinal IncrementalSearchTimeout = 1000;
    Cardinal EditDelay = 1000;
    // One step of the search for a typed character (backspace shortens the text).
    virtual void SearchIncrementally(Char Key);
    const String& SearchBuffer() const { return FSearchBuffer; }
    virtual PLazyNode FocusSomeNode();
    // Moves the focus; with Ask the owner may refuse. Answers whether the node is now focused.
    virtual bool MoveFocus(PLazyNode Node, bool Ask);
    virtual void FocusCell(PLazyNode Node, TColumnIndex Column);
    virtual void StartEditing();
    virtual bool DoEdited();
    virtual bool DoEditCancelled();
    virtual void MainColumnSwitched() { DoEditCancelled(); }
    // --- Window: geometry and scrolling ------------------------------------------
    virtual void InvalidateNode(PLazyNode Node);
    virtual void InvalidateToBottom(PLazyNode Node);
    virtual void UpdateScrollBars(bool DoRepaint);
    // Shows or hides a window scroll bar (SB_HORZ, SB_VERT), then tells the owner.
    virtual void DoShowScrollBar(int Bar, bool Show);
    using TLTScrollBarShowEvent = std::function<void(TBaseLazyTree* Sender, int Bar, bool Show)>;
    TLTScrollBarShowEvent OnShowScrollBar;
    virtual bool ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally = false);
    virtual void PlaceEditor() {}
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    // The horizontal scroll position as the scroll bar shows it: -OffsetX left to right; right to
    // left the distance of the window's left edge from the canvas's left end (RangeX + OffsetX -
    // client width), never below 0.
    int EffectiveOffsetX() const { return FEffectiveOffsetX; }
    // Right to left the canvas hugs the window's right edge: how far columns and painting move
    // right when the content is narrower than the window (the vertical bar's width left out with
    // ExcludeScrollBar, as client coordinates need).
    virtual int RightToLeftShift(bool ExcludeScrollBar);
    // Clamps to the scrollable range (offsets are 0 or negative) and repaints.
    void SetOffsetXY(int X, int Y);
    // Every offset change goes here: clamped, applied, the bars and the owner told; false when nothing moved.
    virtual bool ApplyOffsets(TPoint Value);
    // The range the content needs: widest node and the sum of the shown heights.
    int RangeX();
    int RangeY();
    // Without columns: the widest content of the rows from the window's top down to its height.
    virtual int GetVisibleContentWidth();
    // The shown node at client Y (nil below the last), with its top in client coordinates.
    PLazyNode GetNodeAt(int X, int Y, int* NodeTop = nullptr);
    // Tree coordinates of a node (nil when hidden under a collapsed parent).
    int GetNodeTop(PLazyNode Node);
    // Client rectangle of a node's main cell (the row without columns); TextOnly limits it to the text part.
    TRect GetDisplayRect(PLazyNode Node, bool TextOnly);
    // The same for a column's cell (-1: the whole row, indented as the main column). Unclipped lets
    // the text rectangle run past its cell; ApplyCellContentMargin asks OnBeforeCellPaint for the margins.
    TRect GetDisplayRect(PLazyNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false,
                         bool ApplyCellContentMargin = false);
    // The x in client coordinates where a node's text area begins.
    int NodeContentLeft(PLazyNode Node);
    // The text, its rectangle and its font of a cell: nothing and the tree's font in the base.
    virtual void GetTextInfo(PLazyNode Node, TColumnIndex Column, TFont& AFont, TRect& R, String& Text);
    Cardinal Indent() const { return FIndent; }
    void SetIndent(Cardinal Value);
    int Margin() const { return FMargin; }
    int TextMargin() const { return FTextMargin; }
    TImageList* Images() const { return FImages; }
    // The lists are watched: a list freed elsewhere is dropped from the tree.
    void SetImages(TImageList* Value);
    TImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TImageList* Value);
    // How the text of cells without a column of their own is aligned (a column has its own).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The alignment of a cell's content: the column's, or the tree's without a column.
    TAlignment CellTextAlignment(TColumnIndex Column) const;
    // The direction of a cell: the column's, or the tree's without a column.
    TBiDiMode CellBiDiMode(TColumnIndex Column) const;
    // Whether a cell lays its content out from its right edge (every direction but left to right).
    bool CellRightToLeft(TColumnIndex Column) const { return CellBiDiMode(Column) != bdLeftToRight; }
    // The alignment a cell shows: right to left the column's left and right justification change places.
    TAlignment CellDisplayAlignment(TColumnIndex Column) const;
    // Where a row's lines, button, check box and images sit: each node's Align (0..100, 50 when new)
    // counts pixels from the top or from the bottom, or a percentage of the room left beside the images.
    enum TLTNodeAlignment { naFromBottom, naFromTop, naProportional };
    TLTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
    void SetNodeAlignment(TLTNodeAlignment Value);
    Byte GetVerticalAlignment(PLazyNode Node) const { return Node ? Node->Align : 0; }
    // Values above 100 are taken as 100.
    void SetVerticalAlignment(PLazyNode Node, Byte Value);
    // The row's middle line (VAlign) and the top of its expand button (VButtonAlign), from the row's top.
    void ComputeVerticalAlignment(PLazyNode Node, int& VAlign, int& VButtonAlign);
    // Extra room below the last row, part of the scroll range.
    Cardinal BottomSpace() const { return FBottomSpace; }
    void SetBottomSpace(Cardinal Value);
    // A picture behind the rows with toShowBackground, tiled or, with toStaticBackground, drawn once
    // at the offsets (client coordinates: it stays where it is while the tree scrolls). Only a bitmap counts.
    TPicture& Background() { return *FBackground; }
    void SetBackground(const TPicture& Value);
    int BackgroundOffsetX() const { return FBackgroundOffsetX; }
    void SetBackgroundOffsetX(int Value);
    int BackgroundOffsetY() const { return FBackgroundOffsetY; }
    void SetBackgroundOffsetY(int Value);
    String EmptyListMessage;
    // A single border is a sunken client edge with the 3-D look, else a line; bsNone has none.
    enum TLTBorderStyle { bsNone, bsSingle };
    TLTBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TLTBorderStyle Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    PLazyNode HotNode() const { return FCurrentHotNode; }
    TColumnIndex HotColumn() const { return FCurrentHotColumn; }
    // The shown node at the window's top row and at its bottom row. Setting
    // one expands its collapsed ancestors and scrolls it to that edge.
    PLazyNode TopNode();
    void SetTopNode(PLazyNode Node);
    PLazyNode BottomNode();
    void SetBottomNode(PLazyNode Node);
    // Rescales the default row height and the indent (and the header) for a
    // new screen density, with toAutoChangeScale.
    virtual void ChangeScale(int M, int D);

    // --- Window: hints ---------------------------------------------------------------
    TLTHintMode HintMode = hmDefault;
    THintAnimationType HintAnimation = hatSystemDefault;
    virtual THintWindowClass TreeHintWindowClass();
    // The animation in effect: the system's choice for hatSystemDefault, sliding without blending.
    virtual THintAnimationType ResolveHintAnimation();
    virtual TLTHintKind DefaultHintKind() { return vhkText; }
    void DoGetHintKind(PLazyNode Node, TColumnIndex Column, TLTHintKind& Kind);
    void DoDrawHint(TCanvas& Canvas, PLazyNode Node, TRect R, TColumnIndex Column);
    virtual void DoGetHintSize(PLazyNode Node, TColumnIndex Column, TRect& R);
    // The control's hint in the base tree; the string tree asks its owner and its texts.
    virtual String QueryCellHint(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle);
    virtual String QueryCellTooltip(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle);
    // The client rectangle in which the current hint stays valid.
    TRect LastHintRect() const { return FLastHintRect; }
    using TLTHintKindEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, TLTHintKind& Kind)>;
    using TLTDrawHintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* HintCanvas, PLazyNode Node, TRect R, TColumnIndex Column)>;
    using TLTGetHintSizeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, TRect& R)>;
    TLTHintKindEvent OnGetHintKind;
    TLTDrawHintEvent OnDrawHint;
    TLTGetHintSizeEvent OnGetHintSize;

    // --- Window: automatic scrolling and middle-button panning -------------------
    enum TScrollDirection { sdLeft, sdUp, sdRight, sdDown };
    using TScrollDirections = TSet<TScrollDirection>;
    Cardinal AutoScrollDelay = 1000;
    Cardinal AutoScrollInterval = 1;
    bool IsPanning() const { return FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling); }
    TScrollDirections ScrollDirections() const { return FScrollDirections; }
    // The panning mark's window while panning runs (nil otherwise).
    TWinControl* PanningWindow() const { return FPanningWindow; }
    virtual bool MayAutoScroll();
    virtual TScrollDirections ScrollDirectionsAt(int X, int Y);
    virtual void ArmAutoScroll(int X, int Y);
    // One step of automatic scrolling or panning (timer 4).
    virtual void ScrollTimerStep();
    // Position in screen coordinates: the mark is centred on it.
    virtual void BeginPanning(TPoint Position);
    virtual void EndPanning();
    virtual void ChoosePanningCursor(int X, int Y);
    // The panning mark's window procedure: the mark paints its picture, the rest takes the default way.
    virtual void PanningWindowMessage(TMessage& Message);

    // --- Window: the rubber band (draw selection by mouse) -----------------------
    enum TLTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
    TLTDrawSelectionMode DrawSelectionMode = smDottedRectangle;
    Byte SelectionBlendFactor = 128;
    // Corner radius of selection rectangles.
    int SelectionCurveRadius = 0;
    bool IsMouseSelecting() const { return FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting); }
    // The band in tree coordinates: start corner Left/Top, moving corner Right/Bottom.
    TRect DrawSelectionRect() const { return FNewSelRect; }
    // Moves the band's moving corner to a client point; answers whether it moved.
    virtual bool TrackSelectionRect(int X, int Y);
    // Selects what the band covers now and unselects what it left; answers whether anything changed.
    bool UpdateDrawSelection();
    // Blended with a colour (smBlendedRectangle or themes), else a dotted focus rectangle.
    virtual void DrawSelectionRectangle(TCanvas& Canvas, int WindowLeft, const TRect& SelectionRect,
                                        const TRect& TargetRect);
    // Routes a canvas's font changes through the tree while painting, so that a handler that
    // changes the font is noticed in FontChanged(); the canvas's own handler still runs.
    virtual void HookCanvasFontChange(TCanvas& Canvas);
    virtual void UnhookCanvasFontChange(TCanvas& Canvas);
    virtual void HandleFontChange(TObject* Sender);
    bool FontChanged() const { return FFontChanged; }
    void ClearFontChanged() { FFontChanged = false; }

    // --- Window: hit testing ----------------------------------------------------
    enum THitPosition { hiAbove, hiBelow, hiNowhere, hiOnItem, hiOnItemButton, hiOnItemButtonExact,
                        hiOnItemCheckbox, hiOnItemIndent, hiOnItemLabel, hiOnItemLeft, hiOnItemRight,
                        hiOnNormalIcon, hiOnStateIcon, hiToLeft, hiToRight, hiUpperSplitter, hiLowerSplitter };
    using THitPositions = TSet<THitPosition>;
    struct THitInfo {
        PLazyNode HitNode = nullptr;
        THitPositions HitPositions;
        TColumnIndex HitColumn = -1;  // -1 without columns, -2 right of the last one
        TPoint HitPoint;              // in tree coordinates
    };
    // Relative: X and Y are client coordinates, else tree coordinates.
    virtual void GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo);
    // At a client point.
    THitInfo GetHitTestInfoAt(int X, int Y);

    // --- Images -------------------------------------------------------------------
    enum TLTImageKind { ikNormal, ikSelected, ikState, ikOverlay };
    using TLTGetImageExEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind,
                                                  TColumnIndex Column, bool& Ghosted, int& ImageIndex,
                                                  TImageList*& ImageList)>;
    using TLTGetImageEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind,
                                                TColumnIndex Column, bool& Ghosted, int& ImageIndex)>;
    TLTGetImageExEvent OnGetImageIndexEx;
    TLTGetImageEvent OnGetImageIndex;
    // The image of a kind for a node: index (-1: none) and the list to draw it from.
    virtual int DoGetImageIndex(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                TImageList*& List);
    // The text of a node's image (for readers of the screen), through OnGetImageText.
    using TLTGetImageTextEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TLTImageKind Kind,
                                                    TColumnIndex Column, String& ImageText)>;
    TLTGetImageTextEvent OnGetImageText;
    virtual void DoGetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, String& ImageText);
    // Which pictures the check boxes take: the platform's (themed while a theme is active), its flat
    // ones, the owner's CustomCheckImages, or one of the shared drawn strips of 16-pixel pictures.
    enum TCheckImageKind { ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom, ckSystemFlat,
                           ckSystemDefault };
    TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
    void SetCheckImageKind(TCheckImageKind Value);
    TImageList* CustomCheckImages() const { return FCustomCheckImages; }
    // Watched like the other lists: freed elsewhere, it leaves the tree with the kind back at ckSystemDefault.
    void SetCustomCheckImages(TImageList* Value);
    // The shared list of a kind (none for ckCustom).
    virtual TImageList* CheckImageListForKind(TCheckImageKind Kind);
    // Index of the check picture (1..24, -1 for none) for a type and state.
    static int GetCheckImageIndex(TCheckType Type, TCheckState State, bool Enabled, bool Hot);
    // Side of the check picture: the drawn strips' 16, the owner's list's width, else the system's 13.
    int CheckImageSize() const;
    // The expand button's size: the theme's glyph size with themes, else 9.
    int ButtonSize() {
        ButtonBitmap(bpPlus);
        return FButtonSize;
    }
    // Fires once per node painted, before anything is drawn; DefaultDraw false skips the rest.
    using TLTBeforeItemPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas,
                                                       PLazyNode Node, const TRect& ItemRect, bool& CustomDraw)>;
    TLTBeforeItemPaintEvent OnBeforeItemPaint;
    // Mouse and scrolling notices.
    using TLTNodeClickEvent = std::function<void(TBaseLazyTree* Sender, const THitInfo& HitInfo)>;
    using TLTHotNodeChangeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode OldNode, PLazyNode NewNode)>;
    using TLTScrollEvent = std::function<void(TBaseLazyTree* Sender, int DeltaX, int DeltaY)>;
    using TLTColumnClickEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, TShiftState Shift)>;
    TLTNodeClickEvent OnNodeClick, OnNodeDblClick;
    TLTHotNodeChangeEvent OnHotChange;
    TLTScrollEvent OnScroll;
    TLTColumnClickEvent OnColumnClick;
    virtual void DoNodeClick(const THitInfo& HitInfo);
    virtual void DoNodeDblClick(const THitInfo& HitInfo);
    virtual void DoHotChange(PLazyNode Old, PLazyNode New);
    // The node whose check box or text lies under a client point becomes the hot node, its column the hot column.
    virtual void TrackHotNode(int X, int Y);
    // Tells the owner and repaints both rows when the hot node or column changes.
    void ChangeHotNode(PLazyNode Hot, TColumnIndex Column = -1);
    virtual void DoScroll(int DeltaX, int DeltaY);
    virtual void DoColumnClick(TColumnIndex Column, TShiftState Shift);
    void InvalidateTree() { if (HandleAllocated()) Invalidate(); }

    // Events.
    TLTInitNodeEvent OnInitNode;
    TLTInitChildrenEvent OnInitChildren;
    TLTFreeNodeEvent OnFreeNode;
    TLTGetNodeDataSizeEvent OnGetNodeDataSize;
    TLTChangeEvent OnResetNode;
    TLTMeasureItemEvent OnMeasureItem;
    TLTCheckChangingEvent OnChecking;
    TLTChangeEvent OnChecked;
    TLTChangingEvent OnExpanding, OnCollapsing;
    TLTChangeEvent OnExpanded, OnCollapsed;
    TLTCompareEvent OnCompareNodes;
    TLTStructureChangeEvent OnStructureChange;
    TLTChangeEvent OnChange;
    TLTUpdatingEvent OnUpdating;
    TLTStateChangeEvent OnStateChange;
    TLTOperationEvent OnStartOperation, OnEndOperation;
    TLTSaveNodeEvent OnSaveNode, OnLoadNode;
    TLTSaveTreeEvent OnSaveTree, OnLoadTree;
    TLTNodeMovingEvent OnNodeMoving;
    TLTNodeMovedEvent OnNodeMoved;
    TLTNodeCopyingEvent OnNodeCopying;
    TLTNodeCopiedEvent OnNodeCopied;
    TLTAddToSelectionEvent OnAddToSelection;
    TLTRemoveFromSelectionEvent OnRemoveFromSelection;
    TLTFocusChangingEvent OnFocusChanging;
    TLTFocusChangeEvent OnFocusChanged;
    TLTIncrementalSearchEvent OnIncrementalSearch;
    TLTEditChangingEvent OnEditing;
    TLTCreateEditorEvent OnCreateEditor;
    TLTEditChangeEvent OnEdited;
    TLTEditCancelEvent OnEditCancelled;

    // --- Virtual operations descendants take part through ---------------------------
    virtual void DoInitNode(PLazyNode Parent, PLazyNode Node, TLazyNodeInitStates& InitStates);
    virtual bool DoInitChildren(PLazyNode Node, Cardinal& ChildCount);
    virtual void DoFreeNode(PLazyNode Node);
    virtual int DoGetNodeDataSize();
    virtual void DoResetNode(PLazyNode Node);
    virtual void DoMeasureItem(TCanvas* TargetCanvas, PLazyNode Node, int& NodeHeight);
    virtual bool DoChecking(PLazyNode Node, TCheckState& NewState);
    virtual void DoChecked(PLazyNode Node);
    virtual void ChangeCheckState(PLazyNode Node, TCheckState Value);
    virtual bool UpdateParentCheckState(PLazyNode Node, TCheckState NewCheckState);
    virtual bool DoExpanding(PLazyNode Node);
    virtual void DoExpanded(PLazyNode Node);
    virtual bool DoCollapsing(PLazyNode Node);
    virtual void DoCollapsed(PLazyNode Node);
    virtual int DoCompareNodes(PLazyNode Node1, PLazyNode Node2, TColumnIndex Column);
    virtual void DoStructureChange(PLazyNode Node, TChangeReason Reason);
    virtual void DoChange(PLazyNode Node);
    virtual void DoUpdating(TLTUpdateState State);
    virtual void DoStateChange(TLazyTreeStates Enter, TLazyTreeStates Leave = {});
    virtual void DoStartOperation(TLTOperationKind Kind);
    virtual void DoEndOperation(TLTOperationKind Kind);
    virtual void DoSaveNode(PLazyNode Node, TStream& Stream);
    virtual void DoLoadNode(PLazyNode Node, TStream& Stream);
    virtual bool DoNodeMoving(PLazyNode Node, PLazyNode Target);
    virtual void DoNodeMoved(PLazyNode Node);
    virtual bool DoNodeCopying(PLazyNode Node, PLazyNode Target);
    virtual void DoNodeCopied(PLazyNode Node);
    virtual void DoRemoveFromSelection(PLazyNode Node);
    virtual bool DoFocusChanging(PLazyNode OldNode, PLazyNode NewNode, TColumnIndex OldColumn, TColumnIndex NewColumn);
    virtual void DoFocusChanged(PLazyNode Node, TColumnIndex Column);
    virtual int DoIncrementalSearch(PLazyNode Node, const String& Text);
    virtual bool DoEditing(PLazyNode Node, TColumnIndex Column);
    virtual std::shared_ptr<ILTEditLink> DoCreateEditor(PLazyNode Node, TColumnIndex Column);
    virtual void InitializeNode(PLazyNode Node);
    virtual void InitializeChildren(PLazyNode Node);
    virtual void WriteNodeRecord(TStream& Stream, PLazyNode Node);
    virtual void WriteStreamNode(TStream& Stream, PLazyNode Node);
    virtual void ReadSubtree(TStream& Stream, int Version, PLazyNode Node);
    virtual void ReadNodeRecord(TStream& Stream, int Version, PLazyNode Node);
    virtual bool ReadStreamChunk(TStream& Stream, int Version, PLazyNode Node, Cardinal ChunkType, Cardinal ChunkSize);
    virtual void SkipNodeRecord(TStream& Stream);
    virtual void PatchChunkSize(TStream& Stream, Int64 ChunkStart, Int64 ChunkEnd);
    virtual void NotifyDesigner() {}
    // Notes whether an enabled application style other than the system's is active.
    virtual void UpdateStyleEnabled();
    bool FwStyleEnabled() const { return FFwStyleEnabled; }
    virtual TLTHeader* HeaderClassToCreate() { return new TLTHeader(this); }
    // The column class the header's collection makes.
    virtual TLazyTreeColumn* ColumnItemClass(TCollection* Collection) { return new TLazyTreeColumn(Collection); }
    // A column's width changed: multiline rows are measured again, the bars and the cells follow.
    virtual void DoColumnResize(TColumnIndex Column);
    using TLTHeaderNotifyEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column)>;
    TLTHeaderNotifyEvent OnColumnResize;
    enum TLTDropMarkMode { dmmNone, dmmLeft, dmmRight };
    // Owner drawing of the header cells of vsOwnerDraw columns (with hoOwnerDraw).
    using TLTHeaderPaintEvent = std::function<void(TLTHeader* Sender, TCanvas* HeaderCanvas, TLazyTreeColumn* Column,
                                                   TRect R, bool Hover, bool Pressed, TLTDropMarkMode DropMark)>;
    TLTHeaderPaintEvent OnHeaderDraw;
    // Advanced header drawing (with hoOwnerDraw and both events): the application names the
    // elements of a cell (or of the band's background, Column nil) it draws itself.
    enum THeaderPaintElement { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
    using THeaderPaintElements = TSet<THeaderPaintElement>;
    struct THeaderPaintInfo {
        TCanvas* TargetCanvas = nullptr;
        TLazyTreeColumn* Column = nullptr;
        TRect PaintRectangle, TextRectangle;
        bool IsHoverIndex = false, IsDownIndex = false, IsEnabled = false, ShowHeaderGlyph = false,
             ShowSortGlyph = false, ShowRightBorder = false;
        TLTDropMarkMode DropMark = dmmNone;
        TPoint GlyphPos, SortGlyphPos;
    };
    using TLTHeaderPaintQueryElementsEvent =
        std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;
    using TLTAdvancedHeaderPaintEvent =
        std::function<void(TLTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements)>;
    TLTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
    TLTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;
    // A click on the header: where (header-relative), which button and column.
    enum TLTHeaderHitPosition { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
    using TLTHeaderHitPositions = TSet<TLTHeaderHitPosition>;
    struct TLTHeaderHitInfo {
        int X = 0, Y = 0;
        TMouseButton Button = mbLeft;
        TShiftState Shift;
        TColumnIndex Column = -1;
        TLTHeaderHitPositions HitPosition;
    };
    using TLTHeaderClickEvent = std::function<void(TLTHeader* Sender, TLTHeaderHitInfo& HitInfo)>;
    TLTHeaderClickEvent OnHeaderClick, OnHeaderDblClick;
    // The automatic column menu of the header showed or hid a column.
    using TColumnChangeEvent = std::function<void(TBaseLazyTree* Sender, TColumnIndex Column, bool Visible)>;
    TColumnChangeEvent OnColumnVisibilityChanged;
    // Width tracking of a column border ended (released or cancelled; the width reached stays).
    TLTHeaderNotifyEvent OnAfterColumnWidthTracking;
    // A column drag by the header: may it start; where it ended (the old position), or outside the tree.
    using TLTHeaderDraggingEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, bool& Allowed)>;
    using TLTHeaderDraggedEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, int OldPosition)>;
    using TLTHeaderDraggedOutEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, TPoint DropPosition)>;
    TLTHeaderDraggingEvent OnHeaderDragging;
    TLTHeaderDraggedEvent OnHeaderDragged;
    TLTHeaderDraggedOutEvent OnHeaderDraggedOut;
    // The mouse over the header band (X and Y relative to the header), and what it may do there.
    using TLTHeaderMouseEvent =
        std::function<void(TLTHeader* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
    using TLTHeaderMouseMoveEvent = std::function<void(TLTHeader* Sender, TShiftState Shift, int X, int Y)>;
    using TLTBeforeColumnWidthTrackingEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift)>;
    using TLTColumnWidthTrackingEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift,
                                                           TPoint& TrackPoint, TPoint P, bool& Allowed)>;
    using TLTColumnWidthDblClickResizeEvent =
        std::function<void(TLTHeader* Sender, TColumnIndex Column, TShiftState Shift, TPoint P, bool& Allowed)>;
    using TLTBeforeHeaderHeightTrackingEvent = std::function<void(TLTHeader* Sender, TShiftState Shift)>;
    using TLTHeaderHeightTrackingEvent = std::function<void(TLTHeader* Sender, TPoint& P, TShiftState Shift, bool& Allowed)>;
    using TLTAfterHeaderHeightTrackingEvent = std::function<void(TLTHeader* Sender)>;
    using TLTCanSplitterResizeHeaderEvent = std::function<void(TLTHeader* Sender, TPoint P, bool& Allowed)>;
    using TLTCanSplitterResizeColumnEvent =
        std::function<void(TLTHeader* Sender, TPoint P, TColumnIndex Column, bool& Allowed)>;
    using TLTGetHeaderCursorEvent = std::function<void(TLTHeader* Sender, TCursor& Cursor)>;
    TLTHeaderMouseEvent OnHeaderMouseDown, OnHeaderMouseUp;
    TLTHeaderMouseMoveEvent OnHeaderMouseMove;
    TLTBeforeColumnWidthTrackingEvent OnBeforeColumnWidthTracking;
    TLTColumnWidthTrackingEvent OnColumnWidthTracking;
    TLTColumnWidthDblClickResizeEvent OnColumnWidthDblClickResize;
    TLTBeforeHeaderHeightTrackingEvent OnBeforeHeaderHeightTracking;
    TLTHeaderHeightTrackingEvent OnHeaderHeightTracking, OnHeaderHeightDblClickResize;
    TLTAfterHeaderHeightTrackingEvent OnAfterHeaderHeightTracking;
    TLTCanSplitterResizeHeaderEvent OnCanSplitterResizeHeader;
    TLTCanSplitterResizeColumnEvent OnCanSplitterResizeColumn;
    TLTGetHeaderCursorEvent OnGetHeaderCursor;
    // The header's events pass through these (Sender the header), so that descendants take part without them.
    virtual void DoHeaderDraw(TCanvas& Canvas, TLazyTreeColumn* Column, const TRect& R, bool Hover, bool Pressed,
                              TLTDropMarkMode DropMark);
    virtual void DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements);
    virtual void DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements);
    virtual void DoHeaderClick(TLTHeaderHitInfo& HitInfo);
    virtual void DoHeaderDblClick(TLTHeaderHitInfo& HitInfo);
    // X and Y relative to the header.
    virtual void DoHeaderMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void DoHeaderMouseMove(TShiftState Shift, int X, int Y);
    virtual void DoHeaderMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Whether the column may be dragged (true unless the owner says otherwise).
    virtual bool DoHeaderDragging(TColumnIndex Column);
    virtual void DoHeaderDragged(TColumnIndex Column, int OldPosition);
    // DropPosition in screen coordinates.
    virtual void DoHeaderDraggedOut(TColumnIndex Column, TPoint DropPosition);
    virtual void DoGetHeaderCursor(TCursor& Cursor);
    // The header band in window coordinates (height 0 while the header is hidden).
    TRect HeaderRect() const { return FHeaderRect; }
    void RecomputeHeaderBand();
    virtual TCustomLazyTreeOptions* TreeOptionsClass() { return new TCustomLazyTreeOptions(this); }
    // Form images: the library's tree classes are registered by the set-up; a descendant class
    // registers its name here to be written and read as a tree ("Header", "Columns", the legacy "Options").
    static void RegisterStreamClass(const String& ClassName);

    // Counts the tree's timers started (identifier → count); tests read it.
    Cardinal TimerStarts(unsigned Id) const { return Id < 9 ? FTimerStarts[Id] : 0; }
    // Fires what a timer of the tree fires when it expires (window or not).
    void TimerFired(unsigned Id);

protected:
    void WMTimer(TWMTimer& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WndProc(TMessage& Message) override;
    // What the tree gives up when its window goes (the non-client destroy message).
    void NonClientDestroy();
    void CMEnter(TMessage& Message) override;
    void WMCancelMode(TMessage& Message) override;

    friend class TCustomLazyTreeOptions;
    friend class TLazyTreeWorker;
    friend struct TLazyTreeAccess;
    friend class TLTHeader;
    friend class TLazyTreeColumns;
    friend class TLazyTreeColumn;

    // Structure.
    PLazyNode NewNodeBlock();
    std::size_t NodeBlockSize();
    PLazyNode NewNodeBlockOfSize(std::size_t Size);
    void FreeNodeBlock(PLazyNode Node);
    void CreateRootNode();
    virtual void LinkNode(PLazyNode Node, PLazyNode Destination, TLTNodeAttachMode Mode, TBaseLazyTree* TargetTree);
    virtual void UnlinkNode(PLazyNode Node, bool KeepFocus, bool Reindex, bool ParentClearing);
    void DeleteNodeInternal(PLazyNode Node, bool Reindex, bool ParentClearing);
    void AddToTotalCount(PLazyNode Node, int Value, bool Relative);
    void AddToTotalHeight(PLazyNode Node, Int64 Value, bool Relative);
    void RecountTotals(PLazyNode Node);
    void RecomputeTotalHeights(PLazyNode Node);
    void StoreUserData(PLazyNode Node, void* UserData);
    virtual void RememberNextNodeToSelect(PLazyNode Node);
    void ForgetNode(PLazyNode Node);
    bool ReadOnly() const;
    bool IsLoading() const { return ComponentState().Contains(csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
    virtual void RecordPendingChange(bool StructureChange, PLazyNode Node, TChangeReason Reason);
    void StartTimer(unsigned Id, Cardinal Elapse);
    void StopTimer(unsigned Id);
    bool AutoSortWanted() const;
    // Whether anything compares nodes (a descendant overriding DoCompareNodes says so here).
    virtual bool HasComparison() const;
    void SortChildrenList(PLazyNode Node, TColumnIndex Column, TSortDirection Direction);
    // The bands a toggle of Node scrolls while its children (ChildrenHeight pixels) appear or go,
    // and the animation of them; on the window as it stands before the toggle.
    void AnimateToggle(PLazyNode Node, bool Expanding, int ChildrenHeight);
    // Moves the pixels of R up or down by Distance on the window's canvas.
    void ScrollBand(const TRect& R, TToggleAnimationData::TScrollMode Mode, int Distance);
    // Fills the band Distance + 1 pixels high at R's uncovered edge with the ground of the columns.
    void FillUncoveredBand(const TRect& R, TToggleAnimationData::TScrollMode Mode, int Distance, TColor Brush);
    // Checks.
    bool ApplyCheckState(PLazyNode Node, TCheckState Value);
    // Selection internals.
    virtual bool LocateInSelection(PLazyNode Node, int& Index, int LowBound = -1, int HighBound = -1) const;
    bool MergeIntoSelection(TNodeArray NewItems, int NewLength, bool ForceInsert);
    virtual void MarkRemovedFromSelection(PLazyNode Node);
    virtual void DropSelection();
    void CompactSelectionArray();
    virtual void AnchorAtFocusedNode();
    // The nodes a band or a range collects before they join the selection together.
    virtual void AddToTempList(PLazyNode Node);
    virtual void ClearTempList();
    Cardinal WalkHeight(PLazyNode Node);
    // Stream helpers.
    void ReadStreamInto(TStream& Stream, PLazyNode Target, bool WholeTree);

    // Window parts.
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void WMRButtonDown(TWMMouse& Message) override;
    void WMRButtonDblClk(TWMMouse& Message) override;
    void WMMButtonDown(TWMMouse& Message) override;
    void WMMButtonUp(TWMMouse& Message) override;
    void WMMButtonDblClk(TWMMouse& Message) override;
    // The shared pictures that follow the system colours are loaded again.
    void CMSysColorChange(TMessage& Message) override;
    void WMNCHitTest(TMessage& Message) override;
    // What a press, a release and a double click of a button do at the place the hit test found.
    virtual void ProcessMouseDown(TWMMouse& Message, THitInfo& HitInfo);
    virtual void ProcessMouseUp(TWMMouse& Message, THitInfo& HitInfo);
    virtual void ProcessMouseDoubleClick(TWMMouse& Message, THitInfo& HitInfo);
    // Adds the parts of a cell at Offset pixels from its left edge (Right: the cell's width).
    virtual void ClassifyHitLeftToRight(THitInfo& HitInfo, int Offset, TAlignment Alignment, int Right);
    // The main column's indentation of a node, and the width of the state (or normal) image a
    // node shows in a column (-1 without one), as the hit classification measures them.
    int HitIndent(PLazyNode Node);
    int HitImageWidth(PLazyNode Node, TColumnIndex Column, bool State);
    // The check box and the images of a cell at Distance pixels from its leading edge, the
    // content starting at ImageOffset (moved past them); whether the point lies on one of them.
    bool ClassifyHitImages(THitInfo& HitInfo, int Distance, int& ImageOffset);
    // The indentation of a cell at Distance pixels from its leading edge: the button or the indent.
    void ClassifyHitIndent(THitInfo& HitInfo, int Distance, int Indent);
    // The mirror image for a right-to-left cell: indentation, check box and images from the right edge.
    virtual void ClassifyHitRightToLeft(THitInfo& HitInfo, int Offset, TAlignment Alignment, int Right);
    // The scroll position follows the direction; the columns follow the tree's direction.
    void CMBiDiModeChanged(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void Resize() override;
    void WMVScroll(TWMScroll& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    // A character typed after a key that asked for incremental search goes to it.
    void WMChar(TWMKey& Message) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void ApplyBorder();
    // Follows the renderer: themed check boxes and buttons while a theme is active.
    void ThemeChanged();
    void ApplyExplorerTheme();
    void WMHScroll(TWMScroll& Message) override;
    void WMNCCalcSize(TMessage& Message) override;
    void CMHintShow(TMessage& Message) override;
    void WMNCPaint(TMessage& Message) override;
    // The frame: the border's inset (zero or negative on each axis), and the bevel and the band of
    // BorderWidth pixels inside it, painted on the canvas of the whole window.
    virtual void GetBorderInset(TPoint& Inset);
    virtual void PaintBevelBorder(TCanvas& Frame);
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    // Paints one node's row (lines, button, check, images, selection, content) at Top.
    void PaintNode(TCanvas& Canvas, PLazyNode Node, int Top);
    // The cell's own content (the string tree draws its text here).
    virtual void PaintCellContent(TLTPaintInfo& PaintInfo) {}
    // The width of a node's content in a column in pixels (text plus margins; 0 in the base), measured
    // on Canvas (the tree's own when nil).
    virtual int QueryCellTextWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) { return 0; }
    // From the x Origin rightwards, or right to left (Reverse) from Origin as the cell's right edge.
    void DrawTreeLines(TCanvas& Canvas, PLazyNode Node, int Top, int Height, int VAlign, int Origin,
                       bool Reverse = false);
    // The main column's cell (the whole row without columns) from the x Origin: its leading edge, the
    // right one in a right-to-left cell.
    void PaintMainCell(TCanvas& Canvas, PLazyNode Node, int Top, TColumnIndex Column, const TRect& Row, int Origin);
    void PaintOtherCell(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const TRect& Cell);
    // The dotted grid line along a cell's last pixel row from Left on, when one is asked for;
    // whether it was drawn (the cell's content then ends above it).
    bool DrawHorzGridLine(TCanvas& Canvas, const TRect& Cell, int Left, int Right);
    bool FetchCellImages(TLTPaintInfo& Info);
    void PaintAreaBelow(TCanvas& Canvas, const TRect& Area);
    // What a pass paints of a cell: the pass's options less what the options and the state hide.
    TLTInternalPaintOptions CellPaintOptions(PLazyNode Node, TColumnIndex Column) const;
    // The selection and focus marks, then the cell's content.
    void PaintMarksAndContent(TLTPaintInfo& Info, const std::function<void()>& Decorations);
    // The selection (or drop target) and focus marks of a cell; WindowLeft and WindowWidth give
    // the painted window's device pixels for a blended selection.
    virtual void DrawCellSelection(TLTPaintInfo& PaintInfo, int WindowLeft, int WindowWidth);
    // Where the main column starts in client coordinates (the scroll offset without columns).
    int MainColumnOrigin() const;
    // Where x 0 of the tree canvas stands in the client area: for the scrolling part the offset
    // left to right; right to left the canvas's right end shows at offset 0 and a narrow canvas
    // hugs the window's right edge. Fixed columns do not scroll.
    int ScrollOriginX();
    int FixedOriginX();
    // The same in the header band's coordinates (right to left the band also spans the vertical bar
    // at the left).
    int HeaderOriginX(bool Fixed);
    // Right to left the leading edge of a row without columns: the canvas's right end.
    int RowLeadX();
    // FEffectiveOffsetX from FOffsetX.
    void UpdateEffectiveOffsetX();
    // Whether a selected node shows its selection in a column's cell: the
    // focused column's (the main column's while none is focused), or every cell with full-row selection.
    bool CellShowsSelection(TColumnIndex Column) const;
    void DrawNodeButton(TCanvas& Canvas, PLazyNode Node, int X, int Y);
    void DrawCheckImage(TCanvas& Canvas, PLazyNode Node, int X, int Y);
    // A check picture of a type and state without a node (the header's column check boxes).
    void DrawCheckImage(TCanvas& Canvas, TCheckType Type, TCheckState State, bool Enabled, bool Hot, int X, int Y,
                        bool Selected = false);
    // The image the events name for a kind into one record of the paint info (DefaultImages when they name no list).
    virtual void FetchImageIndex(TLTPaintInfo& PaintInfo, TLTImageKind Kind, TLTImageInfoIndex InfoIndex,
                                 TImageList* DefaultImages);
    // Puts an image at the leading edge of ContentRect (the right one right to left), centred on
    // VAlign, and moves the edge past it.
    virtual void PlaceCellImage(TImageList* Images, bool RightToLeft, int VAlign, TRect& ContentRect,
                                TLTImageInfo& ImageInfo);
    // A state or normal image, greyed when disabled, blended when ghosted, selected or cut, with its overlay.
    virtual void DrawNodeImage(TLTPaintInfo& PaintInfo, TLTImageInfoIndex InfoIndex, bool DoOverlay);
    // Whether a check box is shown for a node.
    bool ShowsCheck(PLazyNode Node) const;
    void HandleCheckKey(bool Down);
    // The state a click or Space gives a check box of Type now in State.
    virtual TCheckState NextCheckState(TCheckType Type, TCheckState State);
    void PressCheck(PLazyNode Node, TLazyTreeState Pending);
    // Steps 4 to 6 of a navigation key: move the focus and let the selection follow.
    void NavigationKey(Word Key, TShiftState Shift);
    // One pass of the band over the rows between the old and the new band (both ordered).
    bool SweepSelectionLeftToRight(int Left, const TRect& NewRect, const TRect& OldRect, int Right,
                                   TAlignment Alignment = taLeftJustify);
    bool SweepSelectionRightToLeft(int Left, const TRect& NewRect, const TRect& OldRect, int Right,
                                   TAlignment Alignment = taLeftJustify);

    // Fields.
    int FOffsetX = 0;
    bool FFontChanged = false;
    bool FFontHooked = false;
    TNotifyEvent FOldFontChange;
    int FOffsetY = 0;
    int FEffectiveOffsetX = 0;
    Cardinal FIndent = 18;
    int FMargin = 4;
    int FTextMargin = 4;
    TAlignment FAlignment = taLeftJustify;
    TLTNodeAlignment FNodeAlignment = naProportional;
    Cardinal FBottomSpace = 0;
    std::unique_ptr<TPicture> FBackground;
    int FBackgroundOffsetX = 0;
    int FBackgroundOffsetY = 0;
    TImageList* FImages = nullptr;
    TImageList* FStateImages = nullptr;
    TLTBorderStyle FBorderStyle = bsSingle;
    bool FCtl3D = true;
    PLazyNode FRoot = nullptr;
    std::size_t FRootBlockSize = 0;
    int FNodeDataSize = -1;
    std::size_t FTotalInternalDataSize = 0;
    Cardinal FDefaultNodeHeight = 18;
    Cardinal FVisibleCount = 0;
    TLazyTreeStates FStates;
    int FUpdateCount = 0;
    int FSynchUpdateCount = 0;
    TChangeReason FLastStructureChangeReason = crIgnore;
    PLazyNode FLastStructureChangeNode = nullptr;
    PLazyNode FLastChangedNode = nullptr;
    Cardinal FChangeDelay = 0;
    int FOperationCount = 0;
    bool FOperationCanceled = false;
    Cardinal FAnimationDuration = 200;
    int FCheckPropagationCount = 0;
    PLazyNode FCheckNode = nullptr;
    TCheckState FPendingCheckState = csUncheckedNormal;
    PLazyNode FFocusedNode = nullptr;
    TColumnIndex FFocusedColumn = -1;
    PLazyNode FLastSelected = nullptr;
    PLazyNode FCurrentHotNode = nullptr;
    TColumnIndex FCurrentHotColumn = -1;
    PLazyNode FDropTargetNode = nullptr;
    PLazyNode FRangeAnchor = nullptr;
    PLazyNode FLastFwDragTarget = nullptr;
    PLazyNode FLastSearchNode = nullptr;
    PLazyNode FHeightTrackNode = nullptr;
    PLazyNode FHintNode = nullptr;
    PLazyNode FEditNode = nullptr;
    PLazyNode FNextNodeToSelect = nullptr;
    TNodeArray FDragSelection;
    TNodeArray FSelection;
    int FSelectionCount = 0;
    int FLastSelectionLevel = -1;
    TNodeArray FTempNodeCache;
    TRect FHeaderRect;
    TRect FLastHintRect;
    TLTHintData FHintData;
    TScrollDirections FScrollDirections;
    Cardinal FDragScrollStart = 0;
    TWinControl* FPanningWindow = nullptr;
    String FPanningCursorName;
    TShiftState FDrawSelShiftState;
    TPoint FLastClickPos;
    TRect FNewSelRect;
    TRect FLastSelRect;
    TCache FPositionCache;
    int FStartIndex = 0;
    String FSearchBuffer;
    TLTIncrementalSearch FIncrementalSearch = isNone;
    std::shared_ptr<ILTEditLink> FEditLink;
    TColumnIndex FEditColumn = -1;
    Cardinal FTimerStarts[9] = {};
    bool FTimerRunning[9] = {};
    std::unique_ptr<TLTHeader> FHeader;
    std::unique_ptr<TCustomLazyTreeOptions> FOptions;
    std::unique_ptr<TScrollBarOptions> FScrollBarOptions;
    std::unique_ptr<TLTColors> FColors;
    std::unique_ptr<TClipboardFormats> FClipboardFormats;
    struct TNodePool;
    std::unique_ptr<TNodePool> FPool;
    // The worker's view of the tree: a stop request it reads without a lock.
    std::atomic<bool> FStopRequested{false};
    TLazyTreeWorker* FWorker = nullptr;
    // Set while a height is measured for the worker's walk.
    bool FInWorkerCall = false;
    bool FRevalidateAfterBuild = false;
    // Handed to the worker and not yet taken back: only then is there a walk to stop.
    bool FWithWorker = false;
    // The work of ToggleNode and InitializeNode inside their clean-up.
    void ToggleNodeUnguarded(PLazyNode Node);
    bool HasLibraryEventOperations() const;
    bool ToggleWouldShowNothing(PLazyNode Node) const;
    bool CacheValidationStopped() const;
    void InitializeNodeUnguarded(PLazyNode Node);
    bool FFwStyleEnabled = false;
    // Lets a call queued by the worker find out whether the tree still exists.
    std::shared_ptr<TBaseLazyTree*> FAliveToken;

    // --- Clipboard and data transfer ------------------------------------------------
public:
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    // Inserts the clipboard's nodes at the focused node; ELazyTreeError when
    // the clipboard cannot be read.
    virtual bool PasteFromClipboard();
    // Makes the clipboard independent of the tree and ends the cut or copy.
    void FlushClipboard();
    void CancelCutOrCopy();
    // Deletes the nodes of a pending cut.
    void FinishCutOrCopy();
    // Inserts the nodes a data object carries; Optimized moves them from
    // Source instead of copying them from the data.
    bool ProcessOLEData(TBaseLazyTree* Source, const std::shared_ptr<IDataObject>& DataObject, PLazyNode TargetNode,
                        TLTNodeAttachMode Mode, bool Optimized);
    PLazyNode GetFirstCutCopy(bool ConsiderChildrenAbove = false);
    PLazyNode GetNextCutCopy(PLazyNode Node, bool ConsiderChildrenAbove = false);
    PLazyNode GetPreviousCutCopy(PLazyNode Node, bool ConsiderChildrenAbove = false);
    TNodeArray GetSortedCutCopySet(bool Resolve);
    Cardinal CutCopyCount();
    TLTLazyNodeEnumeration CutCopyNodes(bool ConsiderChildrenAbove = false);
    // The tree a reference block names: only live trees of this process.
    static TBaseLazyTree* TreeOfReference(Cardinal ProcessId, Cardinal Reference);
    Cardinal ReferenceSerial();
    // Expires when the tree goes.
    std::weak_ptr<TBaseLazyTree*> AliveToken() const;

    using TLTGetUserClipboardFormatsEvent = std::function<void(TBaseLazyTree* Sender, std::vector<FORMATETC>& Formats)>;
    using TLTRenderOLEDataEvent = std::function<void(TBaseLazyTree* Sender, const FORMATETC& FormatEtcIn,
                                                     STGMEDIUM& Medium, bool ForClipboard, HRESULT& Result)>;
    TLTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
    TLTRenderOLEDataEvent OnRenderOLEData;

    virtual void CollectClipboardFormats(std::vector<FORMATETC>& Formats);
    virtual void DoGetUserClipboardFormats(std::vector<FORMATETC>& Formats);
    virtual HRESULT RenderFormatData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard);
    virtual HRESULT DoRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard);
    virtual TBaseLazyTree* SourceTreeOfDataObject(const std::shared_ptr<IDataObject>& DataObject);
    virtual std::shared_ptr<IDataObject> DoCreateDataObject();
    // A data object of the tree's nodes for the clipboard (true) or a drag.
    std::shared_ptr<IDataObject> CreateDataObject(bool ForClipboard);

protected:
    virtual void FlagCutCopyNodes();
    // The cut, copy and paste window messages; true when handled.
    bool ClipboardMessage(TMessage& Message);
    // The top nodes written for a transfer, as one block of node records.
    void WriteTransferNodes(TStream& Stream, bool ForClipboard);

private:
    Cardinal FReferenceSerial = 0;
    // The nodes in a state, in tree order; Resolve leaves out those inside another.
    TNodeArray SortedNodesInState(TLazyNodeState State, bool Resolve);

    // --- Accessibility ----------------------------------------------------------------
public:
    // The objects registered providers gave the tree and its item (nil without).
    std::shared_ptr<IAccessible> Accessible() const { return FAccessible; }
    std::shared_ptr<IAccessible> AccessibleItem() const { return FAccessibleItem; }

protected:
    // The accessibility object request; true when handled.
    bool AccessibilityMessage(TMessage& Message);

private:
    std::shared_ptr<IAccessible> FAccessible;
    std::shared_ptr<IAccessible> FAccessibleItem;

    // --- Drag and drop ----------------------------------------------------------------
public:
    // Starts a drag of the selection: at once, or once the mouse has moved
    // Threshold pixels (-1: the framework's threshold) with the button down.
    void BeginDrag(bool Immediate, int Threshold = -1);
    bool Dragging() const;
    // For OnDragDrop: inserts the dropped nodes; an in-process move reports
    // effect 0, so that the source deletes nothing.
    bool ProcessDrop(const std::shared_ptr<IDataObject>& DataObject, PLazyNode TargetNode, Cardinal& Effect,
                     TLTNodeAttachMode Mode);
    // Drop source and drop target of the tree, made on first use.
    std::shared_ptr<TLTDragManager> DragManager();
    PLazyNode DropTargetNode() const { return FDropTargetNode; }
    TDropMode LastDropMode() const { return FLastDropMode; }
    Cardinal LastDragEffect() const { return FLastDragEffect; }
    TLTDragType DragType = dtOLE;
    TDragOperations DragOperations{doCopy, doMove};
    Cardinal AutoExpandDelay = 1000;
    // The picture of a node drag: what is painted (DragImageKind) and its size around the mouse.
    TLTDragImageKind DragImageKind = diComplete;
    int DragWidth = 200, DragHeight = 350;
    TLTDragImage& DragImage() { return *FDragImage; }
    virtual bool DragPictureWanted() { return DragImageKind != diNoImage; }
    // The selected nodes around HotSpot (client coordinates) become the drag picture.
    void PrepareDragImage(TPoint HotSpot, const std::shared_ptr<IDataObject>& DataObject);
    // Paints the part Window of the whole tree (y from the first node's top)
    // onto TargetCanvas with Window's corner at Target.
    void PaintTree(TCanvas& TargetCanvas, TRect Window, TPoint Target, TLTInternalPaintOptions PaintOptions,
                   TPixelFormat PixelFormat = pfDevice);
    // The whole virtual canvas: at least the client area.
    TRect GetTreeRect();
    // The whole tree (with the header when asked and visible), page by page.
    void Print(TPrinter* Printer, bool PrintHeader);

    using TLTDragAllowedEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, bool& Allowed)>;
    using TLTDragOverEvent = std::function<void(TBaseLazyTree* Sender, TObject* Source, TShiftState Shift, TDragState State,
                                                TPoint Pt, TDropMode Mode, Cardinal& Effect, bool& Accept)>;
    using TLTDragDropEvent = std::function<void(TBaseLazyTree* Sender, TObject* Source, std::shared_ptr<IDataObject> DataObject,
                                                const std::vector<CLIPFORMAT>& Formats, TShiftState Shift, TPoint Pt,
                                                Cardinal& Effect, TDropMode Mode)>;
    using TLTCreateDataObjectEvent = std::function<void(TBaseLazyTree* Sender, std::shared_ptr<IDataObject>& DataObject)>;
    TLTDragAllowedEvent OnDragAllowed;
    TLTDragOverEvent OnDragOver;
    TLTDragDropEvent OnDragDrop;
    TLTCreateDataObjectEvent OnCreateDataObject;
    // The application may give the tree a drag manager of its own (made on first use).
    using TLTCreateDragManagerEvent =
        std::function<void(TBaseLazyTree* Sender, std::shared_ptr<TLTDragManager>& DragManager)>;
    TLTCreateDragManagerEvent OnCreateDragManager;

    virtual Cardinal SuggestedDropEffect(TBaseLazyTree* Source, TShiftState Shift, TPoint Pt, Cardinal AllowedEffects);
    virtual TDropMode DropModeAt(TPoint P, THitInfo& HitInfo, TRect NodeRect);
    // The target side of an OLE drag; points are screen coordinates.
    virtual HRESULT OleDragEnter(TBaseLazyTree* Source, Cardinal KeyState, TPoint Pt, Cardinal& Effect);
    // Source: the dragging tree of an OLE drag, or the source object of a framework drag.
    virtual HRESULT OleDragOver(TObject* Source, Cardinal KeyState, TPoint Pt, TDragState State, Cardinal& Effect);
    virtual void OleDragLeave();
    virtual HRESULT OleDrop(TBaseLazyTree* Source, const std::shared_ptr<IDataObject>& DataObject, Cardinal KeyState,
                            TPoint Pt, Cardinal& Effect);
    // Runs the drag loop with the selection; HotSpot in client coordinates.
    virtual void RunOleDrag(TPoint HotSpot);
    // The platform's drag loop for the data object; Effect receives what the drop did.
    virtual void RunDragLoop(Cardinal AllowedEffects, const std::shared_ptr<IDataObject>& DataObject, Cardinal& Effect);
    // The manager on first use: the owner's (OnCreateDragManager), nil for the tree's own.
    virtual std::shared_ptr<TLTDragManager> DoCreateDragManager();
    // Paints R (client coordinates) at once while a drag of Source runs over this tree, so that
    // Source's picture takes the new background under it (with UpdateNCArea the frame too).
    virtual void RepaintUnderDragImage(TBaseLazyTree* Source, TRect R, bool ReshowDragImage, bool UpdateNCArea);
    virtual void AutoExpandDropTarget();
    virtual bool DoDragAllowed(PLazyNode Node, TColumnIndex Column);
    // The framework's own drag over the tree (dtFw), and the end of one started here.
    void CMDrag(TMessage& Message) override;
    void DoStartDrag(TDragObject*& DragObject) override;
    void DoEndDrag(TObject* Target, int X, int Y) override;
    // Ends the framework drag states and completes the click that began the drag.
    void FinishDrag();
    // Scrolls towards the edge a drag is near; true when the view moved.
    bool ScrollWhileDragging(TPoint Pt);
    Cardinal FFwDragEffect = 0;
    virtual bool DoDragOver(TObject* Source, TShiftState Shift, TDragState State, TPoint Pt, TDropMode Mode, Cardinal& Effect);
    virtual void DoDragDrop(TObject* Source, const std::shared_ptr<IDataObject>& DataObject,
                            const std::vector<CLIPFORMAT>& Formats, TShiftState Shift, TPoint Pt, Cardinal& Effect,
                            TDropMode Mode);

protected:
    // Takes drops with toAcceptOLEDrop while the window exists.
    void UpdateDropTarget();
    // The mouse's part in starting a pending drag; true when a drag ran.
    bool DragMouseMove(int X, int Y);

private:
    std::shared_ptr<TLTDragManager> FDragManager;
    TDropMode FLastDropMode = dmOnNode;
    Cardinal FLastDragEffect = 0;
    int FDragThreshold = DragThreshold;
    std::unique_ptr<TLTDragImage> FDragImage;
    // Set while PaintTree paints off screen: what the row painting leaves out, and the row width.
    struct TOffscreenPaint {
        TLTInternalPaintOptions Options;
        int Width = 0;
        int ScrollX = 0;  // the window's horizontal offset, which the background picture keeps to
    };
    const TOffscreenPaint* FOffscreen = nullptr;

    // --- Pointer: cursor, node popup menus, entering and leaving, node-height dragging ---
public:
    // The cursor over a hot node with toHotTrack (crDefault: the control's cursor).
    TCursor HotCursor = crDefault;
    using TLTGetCursorEvent = std::function<void(TBaseLazyTree* Sender, TCursor& Cursor)>;
    using TLTGetPopupMenuEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                                    TPoint P, bool& AskParent, TPopupMenu*& PopupMenu)>;
    using TLTCanSplitterResizeNodeEvent = std::function<void(TBaseLazyTree* Sender, TPoint P, PLazyNode Node,
                                                             TColumnIndex Column, bool& Allowed)>;
    using TLTNodeHeightTrackingEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                                          TShiftState Shift, TPoint& TrackPoint, TPoint P, bool& Allowed)>;
    using TLTNodeHeightDblClickResizeEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node,
                                                                TColumnIndex Column, TShiftState Shift, TPoint P,
                                                                bool& Allowed)>;
    using TLTKeyActionEvent = std::function<void(TBaseLazyTree* Sender, Word& CharCode, TShiftState& Shift, bool& DoDefault)>;
    TLTGetCursorEvent OnGetCursor;
    TLTGetPopupMenuEvent OnGetPopupMenu;
    TLTCanSplitterResizeNodeEvent OnCanSplitterResizeNode;
    TLTNodeHeightTrackingEvent OnNodeHeightTracking;
    TLTNodeHeightDblClickResizeEvent OnNodeHeightDblClickResize;
    TLTColumnClickEvent OnColumnDblClick;
    TLTKeyActionEvent OnKeyAction;
    // F1: the help topic of a node and column (0: ask the node's parent, then the controls).
    using TLTHelpContextEvent =
        std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, int& HelpContext)>;
    TLTHelpContextEvent OnGetHelpContext;
    // Tab reaches the tree (moving between cells with toExtendedFocus) instead of the next control.
    bool WantTabs = false;

    virtual void DoGetCursor(TCursor& Cursor);
    // The owner's menu for a node, asking its parents in turn while AskParent stays true.
    virtual TPopupMenu* DoGetPopupMenu(PLazyNode Node, TColumnIndex Column, TPoint Position);
    virtual bool PopupMenuAvailable(PLazyNode Node, TColumnIndex Column, TPoint Position);
    // Position in client coordinates.
    virtual void ShowPopupMenu(PLazyNode Node, TColumnIndex Column, TPoint Position);
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual void DoColumnDblClick(TColumnIndex Column, TShiftState Shift);
    // Answers false to swallow the key; the handler may change the key and the shift state.
    virtual bool DoKeyAction(Word& CharCode, TShiftState& Shift);
    virtual bool DoCanSplitterResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column, bool Allowed);
    virtual bool DoNodeHeightTracking(PLazyNode Node, TColumnIndex Column, TShiftState Shift, TPoint& TrackPoint,
                                      TPoint P);
    virtual bool DoNodeHeightDblClickResize(PLazyNode Node, TColumnIndex Column, TShiftState Shift, TPoint P);
    // A row edge may be dragged only in a fixed column, with toNodeHeightResize, unless the owner says otherwise.
    bool SplitterMayResizeNode(TPoint P, PLazyNode Node, TColumnIndex Column);
    // The node whose edge the hit lies on (the row above for a row's top edge), or nil.
    PLazyNode NodeEdgeAt(const THitInfo& Hit);
    bool IsHeightTracking() const { return FStates.Contains(tsNodeHeightTracking); }

protected:
    void WMSetCursor(TMessage& Message) override;
    void WMContextMenu(TMessage& Message) override;
    void WMRButtonUp(TWMMouse& Message) override;
    void CMMouseEnter(TMessage& Message) override;
    // The mouse's part in a height drag; true while one is pending or running.
    bool TrackNodeHeight(TShiftState Shift, int X, int Y);
    // The context-menu key: the menu of the focused cell at the middle of its text.
    void ContextMenuKey();
    // The platform's tree-view queries (item rectangle, next item, item); true when handled.
    bool TreeViewMessage(TMessage& Message);

private:
    TColumnIndex FHeightTrackColumn = -1;
    TPoint FHeightTrackPoint;

    // --- Painting events ------------------------------------------------------------
public:
    enum TItemEraseAction { eaColor, eaDefault, eaNone };
    enum TLTCellPaintMode { cpmPaint, cpmGetContentMargin };
    using TLTPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas)>;
    using TLTBeforeItemEraseEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                                       const TRect& ItemRect, TColor& ItemColor,
                                                       TItemEraseAction& EraseAction)>;
    using TLTAfterItemEraseEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                                      const TRect& ItemRect)>;
    using TLTAfterItemPaintEvent = TLTAfterItemEraseEvent;
    using TLTBeforeCellPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                                       TColumnIndex Column, TLTCellPaintMode CellPaintMode,
                                                       const TRect& CellRect, TRect& ContentRect)>;
    using TLTAfterCellPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                                      TColumnIndex Column, const TRect& CellRect)>;
    using TLTBackgroundPaintEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, const TRect& R,
                                                       bool& Handled)>;
    TLTPaintEvent OnBeforePaint, OnAfterPaint;
    TLTBeforeItemEraseEvent OnBeforeItemErase;
    TLTAfterItemEraseEvent OnAfterItemErase;
    TLTAfterItemPaintEvent OnAfterItemPaint;
    TLTBeforeCellPaintEvent OnBeforeCellPaint;
    TLTAfterCellPaintEvent OnAfterCellPaint;
    TLTBackgroundPaintEvent OnPaintBackground;
    using TLTGetCellIsEmptyEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                                      bool& IsEmpty)>;
    TLTGetCellIsEmptyEvent OnGetCellIsEmpty;
    // Whether a cell shows nothing (a neighbour's text may then run into it); true unless the owner says otherwise.
    virtual bool DoGetCellIsEmpty(PLazyNode Node, TColumnIndex Column);
    // The column painted after PaintInfo's; a descendant may widen the cell over empty ones it skips.
    virtual TColumnIndex SpanCellOverEmptyColumns(TLTPaintInfo& PaintInfo);

    virtual void DoBeforePaint(TCanvas& Canvas);
    virtual void DoAfterPaint(TCanvas& Canvas);
    // Answers CustomDraw: true leaves the row to the handler.
    virtual bool DoBeforeItemPaint(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect);
    virtual void DoAfterItemPaint(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect);
    virtual void DoBeforeItemErase(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect, TColor& Color,
                                   TItemEraseAction& EraseAction);
    virtual void DoAfterItemErase(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect);
    virtual void DoBeforeCellPaint(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, TLTCellPaintMode Mode,
                                   const TRect& CellRect, TRect& ContentRect);
    virtual void DoAfterCellPaint(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const TRect& CellRect);
    // Answers Handled: true leaves the area below the last node to the handler.
    virtual bool DoPaintBackground(TCanvas& Canvas, const TRect& R);
    // The mark above or below the drop target's row R while a drop there would go beside the node.
    virtual void DrawDropMark(TCanvas& Canvas, PLazyNode Node, const TRect& R);

protected:
    // A row's background: the owner's erase events around the tree's own fill, the background
    // picture with UseBackground.
    void EraseItemBackground(TCanvas& Canvas, PLazyNode Node, const TRect& Row, bool UseBackground);
    // The picture over R of Canvas, Origin being the client point of the canvas's (0, 0): once at the
    // offsets on the control's colour, or tiled from the offsets on.
    void DrawStaticBackground(const TBitmap& Source, TCanvas& Canvas, TPoint Origin, const TRect& R);
    void DrawTiledBackground(const TBitmap& Source, TCanvas& Canvas, TPoint Origin, const TRect& R);
    // The background bitmap when the picture is to be shown in this pass (nil otherwise), and the
    // client point of the canvas's origin.
    const TBitmap* BackgroundToShow() const;
    TPoint BackgroundOrigin() const;
    // Static or tiled as the options say; only while BackgroundToShow gives a picture.
    void DrawBackgroundPicture(TCanvas& Canvas, TPoint Origin, const TRect& R);

    // --- Tree lines -------------------------------------------------------------------
public:
    // One entry per indentation level of a node, the last its own.
    enum TLTLineType { ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom };
    using TLineImage = std::vector<TLTLineType>;
    // The lines' 8 x 8 pattern: dotted, solid, or the owner's through OnGetLineStyle.
    enum TLTLineStyle { lsCustomStyle, lsDotted, lsSolid };
    TLTLineStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TLTLineStyle Value);
    // Bands: each level's edge in the grid-line colour instead of the connecting lines.
    enum TLTLineMode { lmNormal, lmBands };
    TLTLineMode LineMode() const { return FLineMode; }
    void SetLineMode(TLTLineMode Value);
    // Expand buttons: a framed plus or minus filled by the fill mode, or a black triangle.
    enum TLTButtonStyle { bsRectangle, bsTriangle };
    enum TLTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
    TLTButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TLTButtonStyle Value);
    TLTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
    void SetButtonFillMode(TLTButtonFillMode Value);
    // The owner draws the six button pictures instead of the tree: they arrive sized and filled with
    // the transparent colour; the size handed back is not applied.
    using TLTPrepareButtonImagesEvent =
        std::function<void(TBaseLazyTree* Sender, TBitmap& PlusBM, TBitmap& PlusHotBM, TBitmap& PlusSelectedHotBM,
                           TBitmap& MinusBM, TBitmap& MinusHotBM, TBitmap& MinusSelectedHotBM, TSize& Size)>;
    TLTPrepareButtonImagesEvent OnPrepareButtonBitmaps;
    // Plus and minus, each normal, hot (the pointer over the button) and hot on a selected node.
    enum TLTButtonPicture { bpPlus, bpPlusHot, bpPlusSelectedHot, bpMinus, bpMinusHot, bpMinusSelectedHot };
    const TBitmap& ButtonBitmap(TLTButtonPicture Which);
    // Bits: 16 bytes, one row of 8 pixels in the first byte of each pair (most significant bit
    // left); a 0 bit takes the line colour, a 1 bit the background.
    using TLTGetLineStyleEvent = std::function<void(TBaseLazyTree* Sender, const void*& Bits)>;
    using TLTBeforeDrawLineImageEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, int Level, int& PosX)>;
    TLTGetLineStyleEvent OnGetLineStyle;
    TLTBeforeDrawLineImageEvent OnBeforeDrawTreeLine;
    // The node's line image; answers how many of its ancestors are selected.
    virtual int BuildLineImage(PLazyNode Node, TLineImage& LineImage);
    virtual void DoBeforeDrawTreeLine(PLazyNode Node, int Level, int& PosX);
    virtual void DoGetLineStyle(const void*& Bits);
    // Pattern lines in the canvas's font colour, both ends included, the gaps in the background colour
    // (for a vertical line on a selected row, with UseSelectedBkColor, the selection colour).
    virtual void DrawDottedHorzLine(TCanvas& Canvas, int Left, int Right, int Top);
    virtual void DrawDottedVertLine(TCanvas& Canvas, int Top, int Bottom, int Left, bool UseSelectedBkColor = false);

private:
    // Reverse: the connectors run left from the level's middle (right-to-left cells).
    void DrawLineSegment(TCanvas& Canvas, int X, int Y, int H, int VAlign, TLTLineType Type, bool Reverse);
    void PaintLinePattern(TCanvas& Canvas, const TRect& R, TColor Background);
    TLTLineStyle FLineStyle = lsDotted;
    TLTLineMode FLineMode = lmNormal;
    TLTButtonStyle FButtonStyle = bsRectangle;
    TLTButtonFillMode FButtonFillMode = fmTreeColor;
    void RebuildButtons();
    TColor ButtonGroundColor() const;
    TBitmap FButtonBM[6];
    int FButtonSize = 9;
    // What the pictures were drawn with; any change draws them again.
    std::vector<std::uint32_t> FButtonKey;
    bool FHotNodeButtonHit = false;
    TCheckImageKind FCheckImageKind = ckSystemDefault;
    TImageList* FCustomCheckImages = nullptr;
    Byte FLinePattern[16] = {};
    bool FLinePatternReady = false;
    // Added to a canvas x to give the x the line pattern's phase follows: the tree's x, which for
    // fixed columns is the client's.
    int FLinePhaseX = 0;

    // --- Measuring columns ------------------------------------------------------------
public:
    using TLTBeforeAutoFitColumnsEvent = std::function<void(TLTHeader* Sender, TSmartAutoFitType& SmartAutoFitType)>;
    using TLTAfterAutoFitColumnsEvent = std::function<void(TLTHeader* Sender)>;
    using TLTBeforeAutoFitColumnEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column,
                                                           TSmartAutoFitType& SmartAutoFitType, bool& Allowed)>;
    using TLTBeforeGetMaxColumnWidthEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column,
                                                               bool& UseSmartColumnWidth)>;
    using TLTAfterGetMaxColumnWidthEvent = std::function<void(TLTHeader* Sender, TColumnIndex Column, int& MaxWidth)>;
    TLTBeforeAutoFitColumnsEvent OnBeforeAutoFitColumns;
    TLTAfterAutoFitColumnsEvent OnAfterAutoFitColumns;
    TLTBeforeAutoFitColumnEvent OnBeforeAutoFitColumn;
    TLTHeaderNotifyEvent OnAfterAutoFitColumn;
    TLTBeforeGetMaxColumnWidthEvent OnBeforeGetMaxColumnWidth;
    TLTAfterGetMaxColumnWidthEvent OnAfterGetMaxColumnWidth;
    enum TLTCellContentMarginType { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };

    // The width a column's content needs: indentation, check box, images, text and margins of
    // every shown node, or with smart width only of the nodes in the window.
    virtual int GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);
    // The margins the owner keeps inside a cell (OnBeforeCellPaint asked in measuring mode).
    virtual TPoint GetCellContentMargin(PLazyNode Node, TColumnIndex Column,
                                        TLTCellContentMarginType CellContentMarginType = ccmtAllSides,
                                        TCanvas* Canvas = nullptr);
    // Width beyond the cell text (none in the base; the string tree's static text).
    virtual int QueryExtraCellWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) { return 0; }
    bool NodeShowsImage(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column);
    TSize GetNormalImageSize(PLazyNode Node) const;
};

// The tree's drop source and drop target in one. It holds its tree weakly:
// a registration or drag loop that outlives the tree reaches nothing.
class TLTDragManager : public IDropSource, public IDropTarget {
public:
    explicit TLTDragManager(TBaseLazyTree* Owner);
    HRESULT QueryContinueDrag(bool EscapePressed, Cardinal KeyState) override;
    HRESULT GiveFeedback(Cardinal Effect) override;
    HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point, Cardinal& Effect) override;
    HRESULT DragOver(Cardinal KeyState, TPoint Point, Cardinal& Effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point, Cardinal& Effect) override;
    // The incoming drag's data, or a new data object of the tree's selection.
    std::shared_ptr<IDataObject> DragDataObject();
    // The tree of this process the incoming drag comes from.
    TBaseLazyTree* SourceTree() const { return FDragSource; }
    bool DropTargetActive() const { return FIsDropTarget; }

private:
    TBaseLazyTree* Owner() const;
    std::weak_ptr<TBaseLazyTree*> FOwner;
    TBaseLazyTree* FDragSource = nullptr;
    bool FIsDropTarget = false;
    std::shared_ptr<IDataObject> FDataObject;
};

// The tree's own formats: its node records, and the identity of the tree
// that offers them.
CLIPFORMAT TreeDataFormat();
CLIPFORMAT TreeReferenceFormat();

// ---------------------------------------------------------------------------
// The string tree: texts come from the owner through events, nothing is kept.
// ---------------------------------------------------------------------------
enum TLSTTextType { ttNormal, ttStatic };
enum TLTStringOption { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TLTStringOptions = TSet<TLTStringOption>;
enum TLTExportType { etNone, etRTF, etHTML, etText, etExcel, etWord, etCustom };
constexpr TColumnIndex NoColumn = -1;

class TCustomLazyStringTree;
// Which nodes an export walks.
enum TLSTTextSourceType { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible, tstChecked };
using TLTTreeExportEvent = std::function<void(TBaseLazyTree* Sender, TLTExportType aExportType)>;
using TLTNodeExportEvent = std::function<bool(TBaseLazyTree* Sender, TLTExportType aExportType, PLazyNode Node)>;
using TLTColumnExportEvent =
    std::function<void(TBaseLazyTree* Sender, TLTExportType aExportType, TLazyTreeColumn* Column)>;
struct TLSTGetCellTextEventArgs {
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    String CellText;
    String StaticText;
    TLTExportType ExportType = etNone;
    TLSTGetCellTextEventArgs(PLazyNode ANode, TColumnIndex AColumn, TLTExportType AExportType = etNone)
        : Node(ANode), Column(AColumn), ExportType(AExportType) {}
};
using TLSTGetTextEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                            TLSTTextType TextType, String& CellText)>;
using TLSTGetCellTextEvent = std::function<void(TCustomLazyStringTree* Sender, TLSTGetCellTextEventArgs& E)>;
using TLSTNewTextEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column, String NewText)>;
using TLTPaintText = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                        TColumnIndex Column, TLSTTextType TextType)>;
// Shortening a text to TextSpace pixels: Done true takes Result instead of the tree's own "..." rule.
using TLSTShortenStringEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node, TColumnIndex Column,
                       const String& S, int TextSpace, String& Result, bool& Done)>;
// A measured width or height of a cell text that the owner may replace.
using TLTMeasureTextEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                               TColumnIndex Column, const String& Text, int& Extent)>;
// Drawing a cell's text into CellRect; DefaultDraw false leaves it to the handler.
using TLTDrawTextEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* TargetCanvas, PLazyNode Node,
                                            TColumnIndex Column, const String& Text, const TRect& CellRect,
                                            bool& DefaultDraw)>;

class TCustomLazyStringTree : public TBaseLazyTree {
public:
    explicit TCustomLazyStringTree(TComponent* AOwner);
    String GetText(PLazyNode Node, TColumnIndex Column);
    void SetText(PLazyNode Node, TColumnIndex Column, const String& Value);
    String GetStaticText(PLazyNode Node, TColumnIndex Column);
    // The owner's text for a node's image, empty without one.
    String GetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column);
    const String& DefaultText() const { return FDefaultText; }
    void SetDefaultText(const String& Value);
    TLTStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TLTStringOptions Value);
    // The texts from the node up to the top level, each followed by Delimiter.
    String Path(PLazyNode Node, TColumnIndex Column, Char Delimiter);
    // One quoted line per top-level node (every column; empty without columns).
    bool SaveToCSVFile(const String& FileNameWithPath, bool IncludeHeading);
    int DoIncrementalSearch(PLazyNode Node, const String& Text) override;
    // A cell with a text is never empty.
    bool DoGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) override;
    // With toAutoSpanColumns a cell reaches over the empty cells after it.
    TColumnIndex SpanCellOverEmptyColumns(TLTPaintInfo& PaintInfo) override;
    // A column's text with its margins (the main column's kept per node); a multiline node fills its column.
    int QueryCellTextWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
    // The static text's width with its margin, with toShowStaticText.
    int QueryExtraCellWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
    // The height S (the cell's text when empty) takes laid out in the cell: word-wrapped for a multiline
    // node, one line otherwise. Without a column the client width is the line's width.
    virtual int ComputeNodeHeight(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, String S = String());

    TLSTGetTextEvent OnGetText;
    TLSTGetCellTextEvent OnGetCellText;
    using TLSTGetHintEvent = std::function<void(TBaseLazyTree* Sender, PLazyNode Node, TColumnIndex Column,
                                                TLTTooltipLineBreakStyle& LineBreakStyle, String& HintText)>;
    TLSTGetHintEvent OnGetHint;
    String QueryCellHint(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle) override;
    String QueryCellTooltip(PLazyNode Node, TColumnIndex Column, TLTTooltipLineBreakStyle& LineBreakStyle) override;
    TLSTNewTextEvent OnNewText;
    TLTPaintText OnPaintText;
    TLSTShortenStringEvent OnShortenString;
    TLTMeasureTextEvent OnMeasureTextWidth, OnMeasureTextHeight;
    TLTDrawTextEvent OnDrawText;

protected:
    virtual void DoGetText(TLSTGetCellTextEventArgs& E);
    virtual void DoNewText(PLazyNode Node, TColumnIndex Column, const String& Text);
    virtual void DoPaintText(PLazyNode Node, TCanvas& Canvas, TColumnIndex Column, TLSTTextType TextType);
    // S cut to Width pixels with "..." (EllipsisWidth 0: "..." measured now), unless OnShortenString does it.
    virtual String DoShortenString(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const String& S, int Width,
                                   int EllipsisWidth = 0);
    // The text in CellRect with the DT_* Format, unless OnDrawText draws it.
    virtual void DoDrawText(TLTPaintInfo& PaintInfo, const String& Text, const TRect& CellRect, unsigned Format);
    // The text's extent in the canvas font (a multiline node's width as its lines lay out), as the owner
    // may correct it.
    virtual TSize MeasureCellText(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const String& Text);
    // In the tree's font after OnPaintText: the text with twice the text margin.
    virtual int MeasureCellTextWidth(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const String& Text);
    // The static text with its margin; 0 when it is not shown (centred tree, multiline node, no text).
    virtual int MeasureStaticTextWidth(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const String& Text);
    // The caption in the content rectangle: word-wrapped for a multiline node, else on one line, shortened
    // with "..." when a column is too narrow.
    virtual void DrawCellText(TLTPaintInfo& PaintInfo, const String& Text);
    // The static text after the caption (before it for a right-justified cell).
    virtual void DrawStaticText(TLTPaintInfo& PaintInfo, const String& Text);
    void PaintCellContent(TLTPaintInfo& PaintInfo) override;
    void MainColumnSwitched() override;

public:
    // With toRestoreSelection, the captions of the selected nodes are kept, and a
    // node added later whose caption is among them comes back selected.
    using TBaseLazyTree::AddChild;
    using TBaseLazyTree::AddToSelection;
    using TBaseLazyTree::RemoveFromSelection;
    PLazyNode AddChild(PLazyNode Parent, void* UserData = nullptr) override;
    bool AddToSelection(PLazyNode Node) override;
    void RemoveFromSelection(PLazyNode Node) override;
    void InvalidateNode(PLazyNode Node) override;
    void ReinitNode(PLazyNode Node, bool Recursive) override;
    void SetChildCount(PLazyNode Node, Cardinal NewChildCount) override;
    // Height of the font and width of "..." in it, taken at every font change.
    int TextHeight() const { return FTextHeight; }
    int EllipsisWidth() const { return FEllipsisWidth; }

protected:
    void CMFontChanged(TMessage& Message) override;
    void CreateWnd() override;
    // The caption chunk: the main column's text, read back through OnNewText.
    void WriteStreamNode(TStream& Stream, PLazyNode Node) override;
    bool ReadStreamChunk(TStream& Stream, int Version, PLazyNode Node, Cardinal ChunkType,
                         Cardinal ChunkSize) override;
    // The kept width of the node's text; 0 means not measured.
    int CachedWidth(PLazyNode Node) const;
    void SetCachedWidth(PLazyNode Node, int Width);
    void TakeFontMetrics();

    // --- In-place editor -----------------------------------------------------------------
public:
    // A TStringEditLink unless OnCreateEditor gives a link.
    std::shared_ptr<ILTEditLink> DoCreateEditor(PLazyNode Node, TColumnIndex Column) override;
    // Lays the editor over the edited node's text.
    void PlaceEditor() override;
    // The font (after OnPaintText), the text and its rectangle, centred on one text line.
    void GetTextInfo(PLazyNode Node, TColumnIndex Column, TFont& AFont, TRect& R, String& Text) override;

    // --- Content export ------------------------------------------------------------------
public:
    // One line per node, indented by one separator per level.
    String ContentToText(TLSTTextSourceType Source, const String& Separator);
    String ContentToText(TLSTTextSourceType Source, Char Separator) { return ContentToText(Source, String(1, Separator)); }
    String ContentToUnicode(TLSTTextSourceType Source, Char Separator) { return ContentToText(Source, String(1, Separator)); }
    // A table with a style block; texts are escaped.
    String ContentToHTML(TLSTTextSourceType Source, const String& Caption = String());
    ByteString ContentToRTF(TLSTTextSourceType Source);
    // One clipboard format's rendering, or nullptr for a format the tree does not render.
    HGLOBAL ContentToClipboard(CLIPFORMAT Format, TLSTTextSourceType Source);
    // Only the export events, no output.
    void ContentToCustom(TLSTTextSourceType Source);
    PLazyNode FirstOfSource(TLSTTextSourceType Source);
    PLazyNode NextOfSource(TLSTTextSourceType Source, PLazyNode Node);
    bool NodePassesExportMode(PLazyNode Node);
    // The node format first, then the text formats.
    HRESULT RenderFormatData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) override;

    TLTTreeExportEvent OnBeforeTreeExport, OnAfterTreeExport;
    TLTNodeExportEvent OnBeforeNodeExport, OnNodeExport, OnAfterNodeExport;
    TLTTreeExportEvent OnBeforeHeaderExport, OnAfterHeaderExport;
    TLTColumnExportEvent OnBeforeColumnExport, OnColumnExport, OnAfterColumnExport;

private:
    // Whether the export mode passes the node and OnBeforeNodeExport does not refuse it.
    bool ExportsNode(TLTExportType Kind, PLazyNode Node);

private:
    struct TCaselessLess {
        bool operator()(const String& A, const String& B) const;
    };
    std::unique_ptr<std::set<String, TCaselessLess>> FPreviouslySelected;
    String SelectionCaption(PLazyNode Node);
    // The caption's font: the tree's, in the hot or selection colours where they apply.
    void PrepareTextFont(TLTPaintInfo& PaintInfo);
    // Whether a node's text shows in the selection's text colour in this cell.
    bool ShownSelected(const TLTPaintInfo& PaintInfo) const;
    void ForgetAllWidths();
    std::size_t FInternalDataOffset = 0;
    int FTextHeight = 0;
    int FEllipsisWidth = 0;
    String FDefaultText;
    TLTStringOptions FStringOptions{toSaveCaptions, toAutoAcceptEditChange};
};

class TLazyStringTree : public TCustomLazyStringTree {
public:
    using TCustomLazyStringTree::TCustomLazyStringTree;
};

// The draw tree: the owner paints each node's content and tells its width.
using TLTDrawNodeEvent = std::function<void(TBaseLazyTree* Sender, const TLTPaintInfo& PaintInfo)>;
using TLTGetNodeWidthEvent = std::function<void(TBaseLazyTree* Sender, TCanvas* HintCanvas, PLazyNode Node,
                                                TColumnIndex Column, int& NodeWidth)>;

using TLTGetCellContentMarginEvent =
    std::function<void(TBaseLazyTree* Sender, TCanvas* HintCanvas, PLazyNode Node, TColumnIndex Column,
                       TBaseLazyTree::TLTCellContentMarginType CellContentMarginType, TPoint& CellContentMargin)>;

class TCustomLazyDrawTree : public TBaseLazyTree {
public:
    using TBaseLazyTree::TBaseLazyTree;
    TLTDrawNodeEvent OnDrawNode;
    TLTGetNodeWidthEvent OnGetNodeWidth;
    // Twice the text margin in any column unless the owner answers for the column asked.
    int QueryCellTextWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas = nullptr) override;
    // (0, 0) unless the owner answers through OnGetCellContentMargin; OnBeforeCellPaint is not asked.
    TPoint GetCellContentMargin(PLazyNode Node, TColumnIndex Column,
                                TLTCellContentMarginType CellContentMarginType = ccmtAllSides,
                                TCanvas* Canvas = nullptr) override;
    TLTHintKind DefaultHintKind() override { return vhkOwnerDraw; }

protected:
    void PaintCellContent(TLTPaintInfo& PaintInfo) override;
    // Not published: descendants set it.
    TLTGetCellContentMarginEvent OnGetCellContentMargin;
};

class TLazyDrawTree : public TCustomLazyDrawTree {
public:
    using TCustomLazyDrawTree::TCustomLazyDrawTree;
};

