// The column model and the header: positions and left edges of the columns,
// the width rules (limits, the fixed area's percentages, the auto-size
// column, springs, the equal-parts resize), the header's height limits and
// its main and sort column. Without columns every query answers as for the
// one main column -1, and the header band has height 0 while hidden.

#include "tree/LazyTrees_p.h"

#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

namespace {

// The client area in window coordinates (the header band lies right above it).
TRect ClientInWindowRect(TWinControl* Control) {
    TRect Window;
    GetWindowRect(Control->Handle(), Window);
    const TPoint Origin = Control->ClientOrigin();
    const int Left = Origin.X - Window.Left, Top = Origin.Y - Window.Top;
    return TRect{Left, Top, Left + Control->ClientWidth(), Top + Control->ClientHeight()};
}

}  // namespace

// ---------------------------------------------------------------------------
// Column
// ---------------------------------------------------------------------------

// The base joins the collection only after the fields exist, so that the
// collection's change hook never reads an unbuilt column.
TLazyTreeColumn::TLazyTreeColumn(TCollection* Collection) : TCollectionItem(nullptr) {
    auto* Columns = dynamic_cast<TLazyTreeColumns*>(Collection);
    if (Columns) {
        FWidth = FLastWidth = Columns->FDefaultWidth;
        FPosition = Cardinal(Columns->Count());
    }
    SetCollection(Collection);
    if (Columns) {
        ParentBiDiModeChanged();
        ParentColorChanged();
    }
}

TLazyTreeColumn::~TLazyTreeColumn() {
    TLazyTreeColumns* Columns = Owner();
    if (!Columns || Columns->FClearing) return;
    TBaseLazyTree* T = Tree();
    const TColumnIndex Own = Index();
    if (T && T->IsEditing() && T->FEditColumn == Own) T->CancelEditNode();
    auto& Positions = Columns->FPositionToIndex;
    Positions.erase(std::remove(Positions.begin(), Positions.end(), Own), Positions.end());
    for (TColumnIndex& I : Positions)
        if (I > Own) --I;
    auto Adjust = [Own](TColumnIndex& I) {
        if (I == Own) I = -1;
        else if (I > Own) --I;
    };
    Adjust(Columns->FHoverIndex);
    Adjust(Columns->FDownIndex);
    Adjust(Columns->FTrackIndex);
    Adjust(Columns->FClickIndex);
    TLTHeader* H = Columns->FHeader;
    Adjust(H->FAutoSizeIndex);
    Adjust(H->SortColumn);
    if (H->MainColumn == Own) H->MainColumn = Columns->Count() > 1 ? 0 : -1;
    else if (H->MainColumn > Own) --H->MainColumn;
    if (T && !T->IsLoading() && T->FFocusedColumn == Own) T->FFocusedColumn = -1;
    else if (T && T->FFocusedColumn > Own) --T->FFocusedColumn;
}

TLazyTreeColumns* TLazyTreeColumn::Owner() const { return static_cast<TLazyTreeColumns*>(Collection()); }

TBaseLazyTree* TLazyTreeColumn::Tree() const {
    TLazyTreeColumns* Columns = Owner();
    return Columns ? Columns->FHeader->Treeview() : nullptr;
}

void TLazyTreeColumn::SetText(const String& Value) {
    if (FText == Value) return;
    FText = Value;
    FCaptionText.clear();
    ReportChange();
}

int TLazyTreeColumn::Left() const {
    TBaseLazyTree* T = Tree();
    if (!T) return FLeft;
    if (FOptions.Contains(coVisible) && FOptions.Contains(coFixed)) return FLeft + T->FixedOriginX();
    return FLeft + T->ScrollOriginX();
}

void TLazyTreeColumn::SetWidth(int Value) {
    TLazyTreeColumns* Columns = Owner();
    TLTHeader* H = Columns ? Columns->FHeader : nullptr;
    TBaseLazyTree* T = Tree();
    if (!H || !H->States.Contains(hsScaling)) {
        if (!(FOptions.Contains(coVisible) && FOptions.Contains(coFixed)) || !H || !T) {
            Value = std::min(std::max(Value, FMinWidth), FMaxWidth);
        } else {
            const TLTFixedAreaConstraints& C = H->FFixedAreaConstraints;
            const int CW = T->ClientWidth();
            const int Others = Columns->GetVisibleFixedWidth() - FWidth;
            int SumMax = 0, SumMin = 0;
            for (int I = 0; I < Columns->Count(); ++I) {
                TLazyTreeColumn* Column = Columns->Items(I);
                if (Column->FOptions.Contains(coVisible) && Column->FOptions.Contains(coFixed)) {
                    SumMax += Column->FMaxWidth;
                    SumMin += Column->FMinWidth;
                }
            }
            int Upper = C.MinWidthPercent() ? std::max(SumMax, CW * C.MinWidthPercent() / 100) : SumMax;
            int Lower = C.MaxWidthPercent() ? std::min(SumMin, CW * C.MaxWidthPercent() / 100) : SumMin;
            int Hi = std::min(Upper - Others, FMaxWidth);
            int Lo = std::max(Lower - Others, FMinWidth);
            Value = std::min(std::max(Lo, Value), Hi);
            if (C.MinWidthPercent()) Value = std::max(Value, CW * C.MinWidthPercent() / 100 - Others);
            if (C.MaxWidthPercent()) Value = std::min(Value, CW * C.MaxWidthPercent() / 100 - Others);
        }
    }
    if (Value == FWidth) return;
    FLastWidth = FWidth;
    if (H && !H->States.Contains(hsResizing)) FBonusPixel = false;
    const bool AutoSized = H && H->Options.Contains(hoAutoResize) && Index() == H->FAutoSizeIndex;
    if (!AutoSized) {
        FWidth = Value;
        if (Columns) Columns->RefreshPositions();
    }
    if (T && !T->IsLoading() && Columns && Columns->UpdateCount() == 0) {
        if (H->Options.Contains(hoAutoResize)) Columns->FitAutoSizeColumn();
        T->DoColumnResize(Index());
    }
}

void TLazyTreeColumn::SetMinWidth(int Value) {
    Value = std::min(std::max(Value, 0), FMaxWidth);
    if (Value == FMinWidth) return;
    FMinWidth = Value;
    SetWidth(FWidth);
    ReportChange();
}

void TLazyTreeColumn::SetMaxWidth(int Value) {
    Value = std::max(Value, FMinWidth);
    if (Value == FMaxWidth) return;
    FMaxWidth = Value;
    SetWidth(FWidth);
    ReportChange();
}

void TLazyTreeColumn::SetPosition(Cardinal Value) {
    TLazyTreeColumns* Columns = Owner();
    TBaseLazyTree* T = Tree();
    if (!Columns || (T && T->IsLoading())) {
        FPosition = Value;
        return;
    }
    if (Value >= Cardinal(Columns->Count())) Value = Cardinal(Columns->Count() - 1);
    if (Value == FPosition) return;
    Columns->SyncPositionArray();
    if (T && T->IsEditing()) T->CancelEditNode();
    auto& Positions = Columns->FPositionToIndex;
    const TColumnIndex Own = Index();
    Positions.erase(Positions.begin() + FPosition);
    Positions.insert(Positions.begin() + Value, Own);
    FPosition = Value;
    ReportChange();
    if (Columns->UpdateCount() == 0 && T && T->HandleAllocated()) {
        Columns->FHeader->Invalidate(Own);
        T->InvalidateTree();
    }
    // A column dropped among the fixed ones becomes fixed, one dragged out loses the flag.
    TColumnIndex Neighbour = FOptions.Contains(coFixed) && FPosition > 0 ? Columns->ColumnFromPosition(int(FPosition) - 1)
                                                                         : Columns->ColumnFromPosition(int(FPosition) + 1);
    if (Neighbour >= 0) {
        TLTColumnOptions Options = FOptions;
        if (Columns->Items(Neighbour)->FOptions.Contains(coFixed)) Options.Include(coFixed);
        else Options.Exclude(coFixed);
        SetOptions(Options);
    }
}

void TLazyTreeColumn::SetOptions(TLTColumnOptions Value) {
    if (Value == FOptions) return;
    const TLTColumnOptions Old = FOptions;
    FOptions = Value;
    if (!Old.Contains(coParentColor) && Value.Contains(coParentColor)) ParentColorChanged();
    if (!Old.Contains(coParentBidiMode) && Value.Contains(coParentBidiMode)) ParentBiDiModeChanged();
    if (!Old.Contains(coAutoSpring) && Value.Contains(coAutoSpring)) FSpringRest = 0;
    TLazyTreeColumns* Columns = Owner();
    if (Old.Contains(coFixed) != Value.Contains(coFixed) && Value.Contains(coVisible) && Columns)
        Columns->FHeader->ReapplyFixedAreaConstraints();
    ReportChange();
    TBaseLazyTree* T = Tree();
    if (T && !T->IsLoading() &&
        (Old.Contains(coVisible) != Value.Contains(coVisible) ||
         (!Old.Contains(coParentColor) && Value.Contains(coParentColor))) &&
        T->FUpdateCount == 0 && T->HandleAllocated()) {
        T->InvalidateTree();
        if (Old.Contains(coVisible) != Value.Contains(coVisible)) T->UpdateScrollBars(true);
    }
}

void TLazyTreeColumn::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    ReportChange();
    if (TBaseLazyTree* T = Tree()) T->InvalidateTree();
}

void TLazyTreeColumn::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    FOptions.Exclude(coParentColor);
    ReportChange();
    if (TBaseLazyTree* T = Tree()) T->InvalidateTree();
}

void TLazyTreeColumn::SetBiDiMode(TColumnBiDiMode Value) {
    FOptions.Exclude(coParentBidiMode);
    if (Value == FBiDiMode) return;
    FBiDiMode = Value;
    ReportChange();
    if (TBaseLazyTree* T = Tree()) T->InvalidateTree();
}

void TLazyTreeColumn::ParentBiDiModeChanged() {
    TBaseLazyTree* T = Tree();
    if (!FOptions.Contains(coParentBidiMode) || !T || FBiDiMode == TColumnBiDiMode(T->BiDiMode())) return;
    FBiDiMode = TColumnBiDiMode(T->BiDiMode());
    ReportChange();
}

void TLazyTreeColumn::ParentColorChanged() {
    TBaseLazyTree* T = Tree();
    if (!FOptions.Contains(coParentColor) || !T || FColor == T->Color()) return;
    FColor = T->Color();
    ReportChange();
}

void TLazyTreeColumn::SetMargin(int Value) {
    if (Value < 0) Value = 4;
    if (Value == FMargin) return;
    FMargin = Value;
    ReportChange();
}

void TLazyTreeColumn::SetSpacing(int Value) {
    if (Value == FSpacing) return;
    FSpacing = Value;
    ReportChange();
}

void TLazyTreeColumn::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    ReportChange();
}

TRect TLazyTreeColumn::GetRect() const {
    TBaseLazyTree* T = Tree();
    TRect R = T ? T->FHeaderRect : TRect{};
    R.Left += FLeft;
    R.Right = R.Left + FWidth;
    return R;
}

String TLazyTreeColumn::DisplayName() const {
    for (Char C : FText)
        if (C > 0xFF) return S("Column ") + Utf8ToString(std::to_string(Index()));
    return FText;
}

void TLazyTreeColumn::Assign(const TPersistent* Source) {
    auto* Other = dynamic_cast<const TLazyTreeColumn*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    TLTColumnOptions Own = FOptions;
    FOptions = {};
    SetBiDiMode(Other->FBiDiMode);
    SetImageIndex(Other->FImageIndex);
    SetMargin(Other->FMargin);
    SetMaxWidth(Other->FMaxWidth);
    SetMinWidth(Other->FMinWidth);
    SetPosition(Other->FPosition);
    SetSpacing(Other->FSpacing);
    SetText(Other->GetText());
    SetHint(Other->FHint);
    SetWidth(Other->FWidth);
    SetAlignment(Other->FAlignment);
    SetColor(Other->FColor);
    SetTag(Other->FTag);
    FOptions = Own;
    SetOptions(Other->FOptions);
    ReportChange();
}

bool TLazyTreeColumn::Equals(const TLazyTreeColumn& Other) const {
    return FImageIndex == Other.FImageIndex && FMargin == Other.FMargin && FMaxWidth == Other.FMaxWidth &&
           FMinWidth == Other.FMinWidth && FPosition == Other.FPosition && FSpacing == Other.FSpacing &&
           GetText() == Other.GetText() && FHint == Other.FHint && FWidth == Other.FWidth &&
           FAlignment == Other.FAlignment && FColor == Other.FColor && FTag == Other.FTag &&
           FOptions == Other.FOptions && FBiDiMode == Other.FBiDiMode;
}

// ---------------------------------------------------------------------------
// Collection
// ---------------------------------------------------------------------------

TLazyTreeColumns::TLazyTreeColumns(TLTHeader* AOwner)
    : TCollection([AOwner](TCollection* C) -> TCollectionItem* { return AOwner->Treeview()->ColumnItemClass(C); }),
      FHeader(AOwner) {}

TLazyTreeColumns::~TLazyTreeColumns() {
    FClearing = true;
    BeginUpdate();
    while (Count() > 0) delete Items(Count() - 1);
}

void TLazyTreeColumns::Clear() {
    FClearing = true;
    TFinally Done{[this] { FClearing = false; }};
    TBaseLazyTree* T = FHeader->Treeview();
    if (T->IsEditing()) T->CancelEditNode();
    FHoverIndex = FDownIndex = FTrackIndex = FClickIndex = -1;
    if (!FHeader->States.Contains(hsLoading)) {
        FHeader->FAutoSizeIndex = -1;
        FHeader->MainColumn = -1;
        FHeader->SortColumn = -1;
    }
    if (!T->IsLoading()) T->FFocusedColumn = -1;
    FPositionToIndex.clear();
    TCollection::Clear();
}

void TLazyTreeColumns::SyncPositionArray() {
    const int N = Count();
    if (int(FPositionToIndex.size()) < N) {
        for (int P = int(FPositionToIndex.size()); P < N; ++P) FPositionToIndex.push_back(P);
    } else if (int(FPositionToIndex.size()) > N) {
        FPositionToIndex.resize(std::size_t(N));
        while (std::any_of(FPositionToIndex.begin(), FPositionToIndex.end(), [N](TColumnIndex I) { return I >= N; }))
            for (TColumnIndex& I : FPositionToIndex)
                if (I >= N) --I;
    }
}

void TLazyTreeColumns::RefreshPositions(bool Force) {
    TBaseLazyTree* T = FHeader->Treeview();
    if (T->IsDestroying() || FNeedPositionsFix || (!Force && UpdateCount() > 0)) return;
    int Sum = 0;
    for (std::size_t P = 0; P < FPositionToIndex.size(); ++P) {
        TLazyTreeColumn* Column = Items(FPositionToIndex[P]);
        Column->FPosition = Cardinal(P);
        Column->FLeft = Sum;
        if (Column->FOptions.Contains(coVisible)) Sum += Column->FWidth;
    }
    T->UpdateScrollBars(false);
}

void TLazyTreeColumns::Update(TCollectionItem* Item) {
    TCollection::Update(Item);
    SyncPositionArray();
    TBaseLazyTree* T = FHeader->Treeview();
    if (T->IsDestroying()) return;
    if (T->IsLoading()) FNeedPositionsFix = true;
    else RefreshPositions();
    if (Count() > 0 && FHeader->MainColumn < 0) FHeader->MainColumn = 0;
    if (T->IsLoading() || FHeader->States.Contains(hsLoading)) return;
    if (FHeader->Options.Contains(hoAutoResize)) FitAutoSizeColumn();
    if (Item) {
        FHeader->Invalidate(static_cast<TLazyTreeColumn*>(Item)->Index());
    } else if (T->HandleAllocated()) {
        T->UpdateScrollBars(false);
        FHeader->Invalidate();
        T->InvalidateTree();
    }
}

void TLazyTreeColumns::RebuildPositions() {
    FPositionToIndex.assign(std::size_t(Count()), 0);
    for (int I = 0; I < Count(); ++I) {
        Cardinal P = Items(I)->FPosition;
        if (P < FPositionToIndex.size()) FPositionToIndex[P] = I;
    }
    FNeedPositionsFix = false;
    RefreshPositions(true);
}

void TLazyTreeColumns::ResetPositionOrder(bool RightToLeft) {
    const int N = Count();
    FPositionToIndex.resize(std::size_t(N));
    for (int P = 0; P < N; ++P) FPositionToIndex[std::size_t(P)] = RightToLeft ? N - 1 - P : P;
    RefreshPositions(true);
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(int PositionIndex) const {
    if (PositionIndex < 0 || PositionIndex >= int(FPositionToIndex.size())) return -1;
    return FPositionToIndex[std::size_t(PositionIndex)];
}

TColumnIndex TLazyTreeColumns::ColumnAtWithBounds(TPoint P, int& Left, int& Right, bool Relative) const {
    TBaseLazyTree* T = FHeader->Treeview();
    // Relative: client coordinates, where the fixed columns stand apart from the scrolled ones.
    int Edge = 0;
    if (Relative) {
        const int FixedLeft = T->FixedOriginX();
        Edge = P.X >= FixedLeft && P.X < FixedLeft + GetVisibleFixedWidth() ? FixedLeft : T->ScrollOriginX();
    }
    // Right to left a narrow canvas leaves room at the left where no column stands.
    if (P.X < Edge) {
        Left = Right = Edge;
        return InvalidColumn;
    }
    for (TColumnIndex Index : FPositionToIndex) {
        TLazyTreeColumn* Column = Items(Index);
        if (!Column->FOptions.Contains(coVisible)) continue;
        Left = Edge;
        Edge += Column->FWidth;
        Right = Edge;
        if (P.X < Edge) return Index;
    }
    Left = Edge;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::ColumnFromPosition(TPoint P, bool Relative) const {
    if (P.X < 0 || P.Y < 0 || P.Y > FHeader->Treeview()->Height()) return InvalidColumn;
    int Left = 0, Right = 0;
    return ColumnAtWithBounds(P, Left, Right, Relative);
}

void TLazyTreeColumns::GetColumnBounds(TColumnIndex Column, int& Left, int& Right) const {
    if (Column < 0) {
        Left = 0;
        Right = FHeader->Treeview()->ClientWidth();
        return;
    }
    Left = Items(Column)->Left();
    Right = Left + Items(Column)->FWidth;
}

TColumnIndex TLazyTreeColumns::GetFirstColumn() const {
    return FPositionToIndex.empty() ? InvalidColumn : FPositionToIndex.front();
}

TColumnIndex TLazyTreeColumns::GetNextColumn(TColumnIndex Column) const {
    if (Column < 0 || !IsValidColumn(Column)) return InvalidColumn;
    Cardinal P = Items(Column)->FPosition + 1;
    return P < FPositionToIndex.size() ? FPositionToIndex[P] : InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetPreviousColumn(TColumnIndex Column) const {
    if (Column < 0 || !IsValidColumn(Column)) return InvalidColumn;
    Cardinal P = Items(Column)->FPosition;
    return P > 0 ? FPositionToIndex[P - 1] : InvalidColumn;
}

namespace {
bool Qualifies(const TLazyTreeColumn* Column, bool ConsiderAllowFocus) {
    return Column->Options().Contains(coVisible) && (!ConsiderAllowFocus || Column->Options().Contains(coAllowFocus));
}
}  // namespace

TColumnIndex TLazyTreeColumns::GetNextVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const {
    for (Column = GetNextColumn(Column); Column >= 0; Column = GetNextColumn(Column))
        if (Qualifies(Items(Column), ConsiderAllowFocus)) return Column;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetPreviousVisibleColumn(TColumnIndex Column, bool ConsiderAllowFocus) const {
    for (Column = GetPreviousColumn(Column); Column >= 0; Column = GetPreviousColumn(Column))
        if (Qualifies(Items(Column), ConsiderAllowFocus)) return Column;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetFirstVisibleColumn(bool ConsiderAllowFocus) const {
    for (TColumnIndex Index : FPositionToIndex)
        if (Qualifies(Items(Index), ConsiderAllowFocus)) return Index;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::GetLastVisibleColumn(bool ConsiderAllowFocus) const {
    for (auto It = FPositionToIndex.rbegin(); It != FPositionToIndex.rend(); ++It)
        if (Qualifies(Items(*It), ConsiderAllowFocus)) return *It;
    return InvalidColumn;
}

TColumnsArray TLazyTreeColumns::GetVisibleColumns() const {
    TColumnsArray Result;
    for (TColumnIndex Index : FPositionToIndex)
        if (Items(Index)->FOptions.Contains(coVisible)) Result.push_back(Items(Index));
    return Result;
}

int TLazyTreeColumns::GetVisibleFixedWidth() const {
    int Sum = 0;
    for (int I = 0; I < Count(); ++I) {
        const TLazyTreeColumn* Column = Items(I);
        if (Column->FOptions.Contains(coVisible) && Column->FOptions.Contains(coFixed)) Sum += Column->FWidth;
    }
    return Sum;
}

int TLazyTreeColumns::GetScrollWidth() const {
    int Sum = 0, N = 0;
    for (int I = 0; I < Count(); ++I) {
        const TLazyTreeColumn* Column = Items(I);
        if (Column->FOptions.Contains(coVisible) && !Column->FOptions.Contains(coFixed)) {
            Sum += Column->FWidth;
            ++N;
        }
    }
    if (N == 0) return int(FHeader->Treeview()->Indent());
    return int(std::nearbyint(double(Sum) / N));  // halves to even
}

int TLazyTreeColumns::TotalWidth() const {
    TColumnIndex Last = GetLastVisibleColumn();
    if (Last < 0) return 0;
    return Items(Last)->FLeft + Items(Last)->FWidth;
}

void TLazyTreeColumns::FitAutoSizeColumn(bool Force) {
    if (Count() == 0) return;
    TColumnIndex Index = IsValidColumn(FHeader->FAutoSizeIndex) ? FHeader->FAutoSizeIndex : Count() - 1;
    TBaseLazyTree* T = FHeader->Treeview();
    int Available = T->HandleAllocated() ? T->ClientWidth() : T->Width();
    for (int I = 0; I < Count(); ++I)
        if (I != Index && Items(I)->FOptions.Contains(coVisible)) Available -= Items(I)->FWidth;
    TLazyTreeColumn* Column = Items(Index);
    int NewWidth = std::max(std::min(Available, Column->FMaxWidth), Column->FMinWidth);
    if (!Force && NewWidth == Column->FWidth) return;
    Column->FWidth = NewWidth;
    RefreshPositions();
    T->DoColumnResize(Index);
}

void TLazyTreeColumns::Assign(const TPersistent* Source) {
    TCollection::Assign(Source);
    if (auto* Other = dynamic_cast<const TLazyTreeColumns*>(Source)) {
        FPositionToIndex = Other->FPositionToIndex;
        FNeedPositionsFix = false;
        RefreshPositions();
    }
}

bool TLazyTreeColumns::Equals(const TLazyTreeColumns& Other) const {
    if (Count() != Other.Count() || FPositionToIndex != Other.FPositionToIndex) return false;
    for (int I = 0; I < Count(); ++I)
        if (!Items(I)->Equals(*Other.Items(I))) return false;
    return true;
}

// ---------------------------------------------------------------------------
// Fixed-area constraints
// ---------------------------------------------------------------------------

void TLTFixedAreaConstraints::SetMaxHeightPercent(Byte Value) {
    Value = std::min<Byte>(Value, 100);
    if (Value == FMaxHeightPercent) return;
    FMaxHeightPercent = Value;
    if (Value > 0 && Value < FMinHeightPercent) FMinHeightPercent = Value;
    Change();
}

void TLTFixedAreaConstraints::SetMaxWidthPercent(Byte Value) {
    Value = std::min<Byte>(Value, 100);
    if (Value == FMaxWidthPercent) return;
    FMaxWidthPercent = Value;
    if (Value > 0 && Value < FMinWidthPercent) FMinWidthPercent = Value;
    Change();
}

void TLTFixedAreaConstraints::SetMinHeightPercent(Byte Value) {
    Value = std::min<Byte>(Value, 100);
    if (Value == FMinHeightPercent) return;
    FMinHeightPercent = Value;
    if (FMaxHeightPercent > 0 && Value > FMaxHeightPercent) FMaxHeightPercent = Value;
    Change();
}

void TLTFixedAreaConstraints::SetMinWidthPercent(Byte Value) {
    Value = std::min<Byte>(Value, 100);
    if (Value == FMinWidthPercent) return;
    FMinWidthPercent = Value;
    if (FMaxWidthPercent > 0 && Value > FMaxWidthPercent) FMaxWidthPercent = Value;
    Change();
}

void TLTFixedAreaConstraints::Assign(const TLTFixedAreaConstraints& Source) {
    FMaxHeightPercent = Source.FMaxHeightPercent;
    FMaxWidthPercent = Source.FMaxWidthPercent;
    FMinHeightPercent = Source.FMinHeightPercent;
    FMinWidthPercent = Source.FMinWidthPercent;
    Change();
}

void TLTFixedAreaConstraints::Change() {
    if (FHeader->Treeview()->HandleAllocated()) FHeader->ReapplyFixedAreaConstraints();
    else FHeader->States.Include(hsNeedScaling);
}

// ---------------------------------------------------------------------------
// Header
// ---------------------------------------------------------------------------

TLTHeader::TLTHeader(TBaseLazyTree* Owner) : FOwner(Owner) {
    FColumns.reset(ColumnsClass());
    FFont.OnChange = [this](TObject*) { FontChanged(); };
}

// The columns go without change reports: the tree is on its way out.
TLTHeader::~TLTHeader() { FFont.OnChange = nullptr; }

bool TLTHeader::AllowFocus(TColumnIndex Column) const {
    if (!UseColumns()) return true;
    return FColumns->IsValidColumn(Column) && FColumns->Items(Column)->Options().Contains(coAllowFocus);
}

void TLTHeader::SetMainColumn(TColumnIndex Value) {
    if (FOwner->IsLoading()) {
        MainColumn = Value;
        return;
    }
    Value = UseColumns() ? std::clamp(Value, 0, ColumnCount() - 1) : -1;
    if (Value == MainColumn) return;
    MainColumn = Value;
    FOwner->MainColumnSwitched();
    if (!FOwner->TreeOptions().SelectionOptions().Contains(toExtendedFocus)) FOwner->FFocusedColumn = Value;
    FOwner->InvalidateTree();
}

void TLTHeader::SetSortColumn(TColumnIndex Value) {
    if (FOwner->IsLoading()) SortColumn = Value;
    else ApplySortColumn(Value);
}

void TLTHeader::ApplySortColumn(TColumnIndex Value) {
    Value = std::clamp(Value, -1, ColumnCount() - 1);
    if (Value == SortColumn) return;
    if (SortColumn >= 0) Invalidate(SortColumn);
    SortColumn = Value;
    if (SortColumn >= 0) Invalidate(SortColumn);
    AutoSortAfterChange();
}

void TLTHeader::SetSortDirection(TSortDirection Value) {
    if (Value == SortDirection) return;
    SortDirection = Value;
    Invalidate();
    AutoSortAfterChange();
}

void TLTHeader::AutoSortAfterChange() {
    if ((FOwner->TreeOptions().AutoOptions().Contains(toAutoSort) || Options.Contains(hoHeaderClickAutoSort)) &&
        FOwner->UpdateCount() == 0)
        FOwner->SortTree(SortColumn, SortDirection, true);
}

void TLTHeader::SetOptions(THeaderOptions Value) {
    const THeaderOptions Old = Options;
    Options = Value;
    if (Old.Contains(hoAutoResize) != Value.Contains(hoAutoResize) && UseColumns()) {
        FColumns->FitAutoSizeColumn();
        if (FOwner->HandleAllocated()) {
            FOwner->UpdateScrollBars(false);
            if (Value.Contains(hoAutoResize)) FOwner->InvalidateTree();
        }
    }
    if (FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
    if (Old.Contains(hoVisible) != Value.Contains(hoVisible)) RefreshHeaderFrame();
    Invalidate();
    FOwner->InvalidateTree();
}

void TLTHeader::SetAutoSizeIndex(TColumnIndex Value) {
    if (Value == FAutoSizeIndex) return;
    FAutoSizeIndex = Value;
    if (Options.Contains(hoAutoResize)) FColumns->FitAutoSizeColumn();
}

void TLTHeader::SetHeight(int Value) {
    if (!FOwner->HandleAllocated()) {
        FHeight = Value;
        States.Include(hsNeedScaling);
        return;
    }
    const TLTFixedAreaConstraints& C = FFixedAreaConstraints;
    const int Total = FOwner->ClientHeight() + FHeight;
    const int HiP = Total * C.MaxHeightPercent() / 100;
    const int LoP = Total * C.MinHeightPercent() / 100;
    const int Lo = C.MaxHeightPercent() ? std::min(HiP, FMinHeight) : FMinHeight;
    const int Hi = C.MinHeightPercent() ? std::max(LoP, FMaxHeight) : FMaxHeight;
    Value = std::min(std::max(Lo, Value), Hi);
    if (C.MinHeightPercent()) Value = std::max(Value, LoP);
    if (C.MaxHeightPercent()) Value = std::min(Value, HiP);
    if (Value == FHeight) return;
    FHeight = Value;
    if (!FOwner->IsLoading() && !States.Contains(hsScaling)) RefreshHeaderFrame();
    FOwner->InvalidateTree();
    UpdateWindow(FOwner->Handle());
}

void TLTHeader::SetMinHeight(int Value) {
    FMinHeight = std::min(std::max(Value, 0), FMaxHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetMaxHeight(int Value) {
    FMaxHeight = std::max(Value, FMinHeight);
    SetHeight(FHeight);
}

void TLTHeader::SetDefaultHeight(int Value) {
    Value = std::clamp(Value, FMinHeight, FMaxHeight);
    if (FHeight == FDefaultHeight) SetHeight(Value);
    FDefaultHeight = Value;
}

void TLTHeader::SetBackground(TColor Value) {
    if (Value == FBackground) return;
    FBackground = Value;
    Invalidate();
}

void TLTHeader::SetStyle(TLTHeaderStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    if (!FOwner->IsLoading()) Invalidate();
}

void TLTHeader::SetFont(const TFont& Value) {
    FFont.Assign(&Value);
    FParentFont = false;
}

void TLTHeader::SetParentFont(bool Value) {
    if (Value == FParentFont) return;
    FParentFont = Value;
    if (Value) FFont.Assign(&FOwner->Font());
}

// With automatic scaling the band grows to hold a line of the header font.
void TLTHeader::FontChanged() {
    if (FOwner->TreeOptions().AutoOptions().Contains(toAutoChangeScale)) {
        int Spacing = 0;
        for (int I = 0; I < ColumnCount(); ++I) Spacing = std::max(Spacing, FColumns->Items(I)->Spacing());
        TBitmap Scratch;
        Scratch.SetSize(1, 1);
        Scratch.Canvas().SetFont(FFont);
        int TextHeight = Scratch.Canvas().TextHeight(u"Q");
        SetHeight(std::max(FHeight, TextHeight + Spacing + Spacing / 2));
    }
    Invalidate();
}

void TLTHeader::Assign(const TLTHeader& Source) {
    SetAutoSizeIndex(Source.FAutoSizeIndex);
    SetBackground(Source.FBackground);
    FColumns->Assign(Source.FColumns.get());
    SetFont(Source.FFont);
    FFixedAreaConstraints.Assign(Source.FFixedAreaConstraints);
    SetHeight(Source.FHeight);
    SetImages(Source.FImages);
    SetMainColumn(Source.GetMainColumn());
    SetOptions(Source.Options);
    SetParentFont(Source.FParentFont);
    SetSortColumn(Source.SortColumn);
    SetSortDirection(Source.SortDirection);
    SetStyle(Source.FStyle);
    ReapplyFixedAreaConstraints();
}

bool TLTHeader::InHeader(TPoint P) const {
    if (!FOwner->HandleAllocated()) return false;
    TRect R = FOwner->FHeaderRect;
    const TRect Client = ClientInWindowRect(FOwner);
    OffsetRect(R, -Client.Left, -Client.Top);
    return PtInRect(R, P);
}

bool TLTHeader::InHeaderSplitterArea(TPoint P) const {
    if (!Options.Contains(hoVisible) || P.Y < -2 || P.Y > 2 || !FOwner->HandleAllocated()) return false;
    TRect R = FOwner->FHeaderRect;
    R.Bottom += 2;
    const TRect Client = ClientInWindowRect(FOwner);
    OffsetRect(R, -Client.Left, -Client.Top);
    return PtInRect(R, P);
}

void TLTHeader::Invalidate(TColumnIndex Column, bool ExpandToBorder) {
    if (!Options.Contains(hoVisible) || !FOwner->HandleAllocated()) return;
    TRect R = FOwner->FHeaderRect;
    if (FColumns->IsValidColumn(Column)) {
        const TLazyTreeColumn* C = FColumns->Items(Column);
        TRect Cell = C->GetRect();
        OffsetRect(Cell, FOwner->HeaderOriginX(C->Options().Contains(coFixed)), 0);
        if (ExpandToBorder) {
            if (Options.Contains(hoFullRepaintOnResize)) Cell.Left = R.Left;
            Cell.Right = R.Right;
        }
        R = Cell;
    }
    RedrawWindow(FOwner->Handle(), &R, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
}

int TLTHeader::ResizeColumns(int ChangeBy, TColumnIndex RangeStartCol, TColumnIndex RangeEndCol,
                             TLTColumnOptions Options) {
    if (ChangeBy == 0 || !UseColumns()) return 0;
    RangeStartCol = std::max(RangeStartCol, 0);
    RangeEndCol = std::min(RangeEndCol, ColumnCount() - 1);
    if (RangeStartCol > RangeEndCol) return 0;
    const bool Grow = ChangeBy > 0;
    const int Step = Grow ? 1 : -1;
    int Remaining = std::abs(ChangeBy);
    const int N0 = RangeEndCol - RangeStartCol + 1;
    std::vector<int> Width(static_cast<std::size_t>(N0)), Limit(static_cast<std::size_t>(N0));
    std::vector<bool> Eligible(static_cast<std::size_t>(N0));
    for (int I = 0; I < N0; ++I) {
        TLazyTreeColumn* C = FColumns->Items(RangeStartCol + I);
        Width[I] = C->Width();
        Limit[I] = Grow ? C->MaxWidth() : C->MinWidth();
        Eligible[I] = (C->Options() * Options) == Options;
    }
    auto CanMove = [&](int I) { return Eligible[I] && (Grow ? Width[I] < Limit[I] : Width[I] > Limit[I]); };
    auto Room = [&](int I) { return Grow ? Limit[I] - Width[I] : Width[I] - Limit[I]; };
    while (Remaining > 0) {
        int Capacity = 0, N = 0;
        for (;;) {
            Capacity = N = 0;
            for (int I = 0; I < N0; ++I)
                if (CanMove(I)) {
                    Capacity += Room(I);
                    ++N;
                }
            // While rescaling a shrink that does not fit lowers the widest column's limit by a tenth.
            if (!(Remaining > Capacity && States.Contains(hsScaling) && !Grow)) break;
            int Widest = -1;
            for (int I = 0; I < N0; ++I)
                if (Eligible[I] && (Widest < 0 || Width[I] > Width[Widest])) Widest = I;
            if (Widest < 0 || Limit[Widest] <= 10) break;
            Limit[Widest] -= Limit[Widest] / 10;
        }
        if (N == 0) break;
        Remaining = std::min(Remaining, Capacity);
        const int Each = Remaining / N;
        int Rest = Remaining % N;
        if (Each > 0)
            for (int I = 0; I < N0; ++I)
                if (CanMove(I)) {
                    int Move = std::min(Each, Room(I));
                    Width[I] += Move * Step;
                    Remaining -= Move;
                }
        // The odd pixels go one by one to columns that did not have one last time.
        int I = Grow ? 0 : N0 - 1;
        int Guard = 0;
        while (Rest > 0 && Guard++ < 4 * N0 + 4) {
            TLazyTreeColumn* C = FColumns->Items(RangeStartCol + I);
            if (CanMove(I) && C->FBonusPixel != Grow) {
                Width[I] += Step;
                --Rest;
                --Remaining;
                C->FBonusPixel = Grow;
            }
            I += Grow ? 1 : -1;
            if (I < 0 || I >= N0) {
                for (int J = 0; J < N0; ++J)
                    if (Eligible[J]) {
                        TLazyTreeColumn* E = FColumns->Items(RangeStartCol + J);
                        E->FBonusPixel = !E->FBonusPixel;
                    }
                I = Grow ? 0 : N0 - 1;
            }
        }
    }
    int Result = 0;
    States.Include(hsResizing);
    TFinally Done{[this] { States.Exclude(hsResizing); }};
    for (int I = 0; I < N0; ++I) {
        if (!Eligible[I]) continue;
        TLazyTreeColumn* C = FColumns->Items(RangeStartCol + I);
        Result += Width[I] - C->Width();
        C->SetWidth(Width[I]);
    }
    return Result;
}

void TLTHeader::ShareWidthWithSpringColumns() {
    const int HeaderWidth = FOwner->FHeaderRect.Right - FOwner->FHeaderRect.Left;
    float Delta = float(HeaderWidth - FLastWidth);
    if (Options.Contains(hoAutoSpring) && FLastWidth != 0 && Delta != 0) {
        const int Sign = Delta >= 0 ? 1 : -1;
        Delta = std::abs(Delta);
        int N = 0;
        for (int I = 0; I < ColumnCount(); ++I) {
            TLTColumnOptions O = FColumns->Items(I)->Options();
            if (O.Contains(coVisible) && O.Contains(coAutoSpring)) ++N;
        }
        if (N > 0) {
            const float Part = Delta / float(N);
            for (int I = 0; I < ColumnCount(); ++I) {
                TLazyTreeColumn* C = FColumns->Items(I);
                if (!(C->Options().Contains(coVisible) && C->Options().Contains(coAutoSpring))) continue;
                float Rest = C->FSpringRest + Part;
                if (Rest >= 1) C->SetWidth(C->Width() + Sign * int(Rest));
                C->FSpringRest = Rest - std::trunc(Rest);
                Delta -= Part;
                if (Delta < 0) break;
            }
        }
    }
    FLastWidth = HeaderWidth;
}

void TLTHeader::ApplyScale(int M, int D) {
    if (M == D || D == 0) return;
    SetHeight(MulDiv(FHeight, M, D));
    if (!FParentFont) FFont.SetSize(MulDiv(FFont.Size(), M, D));
    for (int I = 0; I < ColumnCount(); ++I) {
        TLazyTreeColumn* C = FColumns->Items(I);
        C->SetWidth(MulDiv(C->Width(), M, D));
    }
}

void TLTHeader::ReapplyFixedAreaConstraints() {
    if (FOwner->IsLoading() || FOwner->IsDestroying() || States.Contains(hsLoading) || !FOwner->HandleAllocated())
        return;
    States.Include(hsScaling);
    TFinally Done{[this] { States.Exclude(hsScaling); States.Exclude(hsNeedScaling); }};
    SetHeight(FHeight);
    RefreshHeaderFrame();
    const TLTFixedAreaConstraints& C = FFixedAreaConstraints;
    if (C.MinHeightPercent() == 0 && C.MaxHeightPercent() == 0) return;
    for (int I = 0; I < ColumnCount(); ++I) {
        TLazyTreeColumn* Column = FColumns->Items(I);
        if (Column->Options().Contains(coVisible) && Column->Options().Contains(coFixed) &&
            Column->FWidth < Column->FMinWidth)
            Column->FWidth = Column->FMinWidth;
    }
    const int FixedW = FColumns->GetVisibleFixedWidth();
    const int MinW = FOwner->ClientWidth() * C.MinWidthPercent() / 100;
    const int MaxW = FOwner->ClientWidth() * C.MaxWidthPercent() / 100;
    if (C.MaxWidthPercent() && FixedW > MaxW) ResizeColumns(MaxW - FixedW, 0, ColumnCount() - 1, {coVisible, coFixed});
    else if (C.MinWidthPercent() && FixedW < MinW)
        ResizeColumns(MinW - FixedW, 0, ColumnCount() - 1, {coVisible, coFixed});
    FColumns->RefreshPositions();
}

void TLTHeader::AfterLoading() {
    MainColumn = UseColumns() ? std::clamp(MainColumn, 0, ColumnCount() - 1) : -1;
    SortColumn = std::clamp(SortColumn, -1, ColumnCount() - 1);
    FColumns->RebuildPositions();
    if (States.Contains(hsNeedScaling)) ReapplyFixedAreaConstraints();
    else RefreshHeaderFrame();
    if (Options.Contains(hoAutoResize)) FColumns->FitAutoSizeColumn(true);
}

void TLTHeader::RefreshHeaderFrame() {
    if (!FOwner->HandleAllocated()) return;
    SetWindowPos(FOwner->Handle(), 0, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    FOwner->RecomputeHeaderBand();
}

// ---------------------------------------------------------------------------
// The tree's side: the band in the frame, column resizes
// ---------------------------------------------------------------------------

// The band spans the window inside the border, bevel and border band: over the vertical scroll
// bar too, which starts below it.
void TBaseLazyTree::RecomputeHeaderBand() {
    if (!HandleAllocated()) {
        FHeaderRect = TRect{};
        return;
    }
    TRect R{0, 0, Width(), Height()};
    TPoint Inset;
    GetBorderInset(Inset);
    InflateRect(R, Inset.X, Inset.Y);
    int H = BorderWidth(), V = BorderWidth();
    if (BevelKind() != bkNone) {
        auto Cut = [this](TBevelCut C) { return C == bvLowered || C == bvRaised ? BevelWidth() : 0; };
        const int E = Cut(BevelInner()) + Cut(BevelOuter());
        if (BevelEdges().Contains(beLeft)) H += E;
        if (BevelEdges().Contains(beTop)) V += E;
    }
    InflateRect(R, -H, -V);
    if (R.Left > R.Right || R.Top > R.Bottom) R = TRect{};
    else R.Bottom = R.Top + (FHeader && FHeader->Options.Contains(hoVisible) ? FHeader->Height() : 0);
    FHeaderRect = R;
}

// The header band sits above the client area, inside the border.
void TBaseLazyTree::WMNCCalcSize(TMessage& Message) {
    TCustomControl::WMNCCalcSize(Message);
    if (!FHeader || !FHeader->Options.Contains(hoVisible) || !Message.LParam) return;
    TRect& R = *reinterpret_cast<TRect*>(Message.LParam);
    R.Top = std::min(R.Bottom, R.Top + FHeader->Height());
}

void TBaseLazyTree::WMNCPaint(TMessage& Message) {
    TCustomControl::WMNCPaint(Message);
    if (Message.LParam) PaintBevelBorder(*reinterpret_cast<TCanvas*>(Message.LParam));
    RecomputeHeaderBand();
    if (!FHeader || !FHeader->Options.Contains(hoVisible) || !Message.LParam) return;
    TCanvas& Frame = *reinterpret_cast<TCanvas*>(Message.LParam);
    FHeader->Columns().PaintHeader(Frame, FHeaderRect, HeaderOriginX(false), HeaderOriginX(true));
}

void TBaseLazyTree::DoColumnResize(TColumnIndex Column) {
    if (IsLoading() || !HandleAllocated()) return;
    for (PLazyNode Run = GetFirstInitialized(); Run; Run = GetNextInitialized(Run))
        if (Run->States.Contains(vsMultiline)) Run->States.Exclude(vsHeightMeasured);
    UpdateScrollBars(true);
    if (Column >= 0) {
        TRect R = ClientRect();
        // Right to left a width change moves what lies left of the column's right edge.
        if (!FOptions->AutoOptions().Contains(toAutoSpanColumns) && FHeader->Columns().IsValidColumn(Column)) {
            const TLazyTreeColumn* C = FHeader->Columns()[Column];
            if (UseRightToLeftAlignment()) R.Right = C->Left() + C->Width();
            else R.Left = C->Left();
        }
        InvalidateRect(Handle(), &R, false);
        FHeader->Invalidate(Column, true);
    }
    if (FHeader->States.Contains(hsColumnWidthTracking) && !FHeader->States.Contains(hsResizing))
        UpdateWindow(Handle());
    if (!FHeader->States.Contains(hsResizing) && OnColumnResize) OnColumnResize(FHeader.get(), Column);
    PlaceEditor();
}
