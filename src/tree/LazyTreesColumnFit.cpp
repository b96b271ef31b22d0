// Measuring and fitting columns: the width a column's content needs, the
// header's automatic fit of a range of columns and its way back to the last
// widths, and the animated change of one column's width.

#include "tree/LazyTrees_p.h"

#include "framework/ImgList.h"
#include "framework/Threads.h"
#include "framework/Windows.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Columns
// ---------------------------------------------------------------------------

void TLazyTreeColumns::AnimatedResize(TColumnIndex Column, int NewWidth) {
    if (!IsValidColumn(Column)) return;
    TLazyTreeColumn* Item = Items(Column);
    NewWidth = std::min(std::max(NewWidth, Item->FMinWidth), Item->FMaxWidth);
    if (NewWidth == Item->FWidth) return;
    TBaseLazyTree* Tree = FHeader->Treeview();
    // 32 steps; a change of less than 32 pixels has nothing to slide.
    const int Step = (NewWidth - Item->FWidth) / 32;
    if (Step != 0 && Tree->HandleAllocated() && !FHeader->Options.Contains(hoDisableAnimatedResize) &&
        !Item->FOptions.Contains(coDisableAnimatedResize)) {
        // The cells right of the column slide over; the final width repaints the rest.
        TRect Strip{Item->Left() + Item->FWidth, 0, Tree->ClientWidth(), Tree->ClientHeight()};
        if (Step < 0) Strip.Left += Step;
        for (int I = 0; I < 32 && Strip.Left < Strip.Right; ++I) {
            ScrollWindow(Tree->Handle(), Step, 0, &Strip, &Strip);
            Strip.Left += Step;
            Sleep(1);
        }
    }
    Item->SetWidth(NewWidth);
}

void TLazyTreeColumn::RestoreLastWidth() {
    if (TLazyTreeColumns* Columns = Owner()) Columns->AnimatedResize(Index(), FLastWidth);
}

// ---------------------------------------------------------------------------
// Header
// ---------------------------------------------------------------------------

bool TLTHeader::DoBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType) {
    bool Allowed = true;
    if (FOwner->OnBeforeAutoFitColumn) FOwner->OnBeforeAutoFitColumn(this, Column, SmartAutoFitType, Allowed);
    return Allowed;
}

void TLTHeader::DoAfterAutoFitColumn(TColumnIndex Column) {
    if (FOwner->OnAfterAutoFitColumn) FOwner->OnAfterAutoFitColumn(this, Column);
}

void TLTHeader::AutoFitColumns(bool Animated, TSmartAutoFitType SmartAutoFitType, int RangeStartCol,
                               int RangeEndCol) {
    const int Last = FColumns->Count() - 1;
    if (RangeStartCol < 0) RangeStartCol = 0;
    if (RangeEndCol < 0 || RangeEndCol > Last) RangeEndCol = Last;
    if (RangeStartCol > RangeEndCol) return;
    FOwner->StartOperation(okAutoFitColumns);
    TFinally Done{[this] { FOwner->EndOperation(okAutoFitColumns); }};
    if (FOwner->OnBeforeAutoFitColumns) FOwner->OnBeforeAutoFitColumns(this, SmartAutoFitType);
    for (int Position = RangeStartCol; Position <= RangeEndCol; ++Position) {
        const TColumnIndex Index = FColumns->ColumnFromPosition(Position);
        if (!FColumns->IsValidColumn(Index)) continue;
        TLazyTreeColumn* Column = FColumns->Items(Index);
        if (!Column->Options().Contains(coVisible) || !Column->Options().Contains(coResizable)) continue;
        TSmartAutoFitType ColumnType = SmartAutoFitType;
        if (!DoBeforeAutoFitColumn(Index, ColumnType) || FOwner->OperationCanceled()) continue;
        const bool Smart = ColumnType == smaAllColumns ||
                           (ColumnType == smaUseColumnOption && Column->Options().Contains(coSmartResize));
        const int Width = FOwner->GetMaxColumnWidth(Index, Smart);
        if (Animated) FColumns->AnimatedResize(Index, Width);
        else Column->SetWidth(Width);
        DoAfterAutoFitColumn(Index);
    }
    if (FOwner->OnAfterAutoFitColumns) FOwner->OnAfterAutoFitColumns(this);
}

void TLTHeader::RestoreColumns() {
    for (int Position = FColumns->Count() - 1; Position >= 0; --Position) {
        const TColumnIndex Index = FColumns->ColumnFromPosition(Position);
        if (!FColumns->IsValidColumn(Index)) continue;
        TLazyTreeColumn* Column = FColumns->Items(Index);
        if (Column->Options().Contains(coVisible) && Column->Options().Contains(coResizable))
            Column->RestoreLastWidth();
    }
}

// ---------------------------------------------------------------------------
// Tree
// ---------------------------------------------------------------------------

bool TBaseLazyTree::NodeShowsImage(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column) {
    bool Ghosted = false;
    TImageList* List = nullptr;
    return DoGetImageIndex(Node, Kind, Column, Ghosted, List) >= 0 && List;
}

TSize TBaseLazyTree::GetNormalImageSize(PLazyNode) const {
    return FImages ? TSize{FImages->Width(), FImages->Height()} : TSize{0, 0};
}

TPoint TBaseLazyTree::GetCellContentMargin(PLazyNode Node, TColumnIndex Column,
                                           TLTCellContentMarginType CellContentMarginType, TCanvas* Canvas) {
    if (!OnBeforeCellPaint) return TPoint{0, 0};
    const TRect R = GetDisplayRect(Node, Column, true);
    TRect Content = R;
    DoBeforeCellPaint(Canvas ? *Canvas : this->Canvas(), Node, Column, cpmGetContentMargin, R, Content);
    switch (CellContentMarginType) {
    case ccmtTopLeftOnly: return TPoint{Content.Left - R.Left, Content.Top - R.Top};
    case ccmtBottomRightOnly: return TPoint{R.Right - Content.Right, R.Bottom - Content.Bottom};
    default: return TPoint{(R.Right - R.Left) - (Content.Right - Content.Left), (R.Bottom - R.Top) - (Content.Bottom - Content.Top)};
    }
}

int TBaseLazyTree::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth) {
    if (OperationCanceled())
        return FHeader->Columns().IsValidColumn(Column) ? FHeader->Columns()[Column]->Width() : 0;
    StartOperation(okGetMaxColumnWidth);
    TFinally Done{[this] { EndOperation(okGetMaxColumnWidth); }};
    int Result = 0;
    if (OnBeforeGetMaxColumnWidth) OnBeforeGetMaxColumnWidth(FHeader.get(), Column, UseSmartColumnWidth);
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const int StateWidth = FStateImages ? FStateImages->Width() + 2 : 0;
    const int CheckWidth = CheckImageSize() + 2;
    PLazyNode Run = UseSmartColumnWidth ? TopNode() : GetFirstVisible(nullptr, true, false);
    PLazyNode Stop = nullptr;
    if (UseSmartColumnWidth)
        if (PLazyNode Bottom = BottomNode()) Stop = GetNextVisible(Bottom, true);
    const bool Main = !FHeader->UseColumns() || Column < 0 || Column == FHeader->GetMainColumn();
    const bool FixedIndent = Paint.Contains(toFixedIndent);
    const bool Checks = Main && FOptions->MiscOptions().Contains(toCheckSupport);
    int Indent = 0;
    if (Main && Run)
        Indent = FixedIndent ? int(FIndent)
                             : (int(GetNodeLevel(Run)) + (Paint.Contains(toShowRoot) ? 1 : 0)) * int(FIndent);
    Indent += FMargin;
    bool HadImage = false;
    while (Run && Run != Stop && !OperationCanceled()) {
        if (!Run->States.Contains(vsInitialized)) InitializeNode(Run);
        int Width = Indent;
        if (Checks && Run->CheckType != ctNone) Width += CheckWidth;
        // Once a node had an image every later node reserves its room.
        if (FImages && (HadImage || NodeShowsImage(Run, ikNormal, Column))) {
            Width += GetNormalImageSize(Run).cx + 2;
            HadImage = true;
        }
        if (FStateImages && NodeShowsImage(Run, ikState, Column)) Width += StateWidth;
        Width += QueryCellTextWidth(Run, Column) + QueryExtraCellWidth(Run, Column) +
                 GetCellContentMargin(Run, Column, ccmtAllSides).X;
        Result = std::max(Result, Width);
        PLazyNode Next = GetNextVisible(Run, true);
        if (Next && Main && !FixedIndent)
            Indent += LevelDifference(Run, Next) * int(FIndent);
        Run = Next;
    }
    if (Paint.Contains(toShowVertGridLines)) ++Result;
    if (OnAfterGetMaxColumnWidth) OnAfterGetMaxColumnWidth(FHeader.get(), Column, Result);
    return Result;
}
