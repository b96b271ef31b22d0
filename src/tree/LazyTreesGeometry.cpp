// Where nodes lie in the window: tops and display rectangles from the kept
// subtree heights, the scroll offsets with their bars, and invalidation.

#include "tree/LazyTrees_p.h"

#include "framework/Forms.h"
#include "framework/Themes.h"
#include "framework/Windows.h"
#include "tree/LazyTrees.Utils.h"

#include <algorithm>

namespace {

bool ShownOwnRow(const TBaseLazyTree& Tree, PLazyNode Node) {
    return !(Node->States.Contains(vsFiltered) &&
             !Tree.TreeOptions().PaintOptions().Contains(toShowFilteredNodes));
}

}  // namespace

int TBaseLazyTree::GetNodeTop(PLazyNode Node) {
    if (!Node || Node == FRoot) return 0;
    int Top = 0;
    for (PLazyNode Run = Node; Run != FRoot; Run = Run->Parent) {
        if (!Run->States.Contains(vsVisible) || Run->States.Contains(vsDeleting) || !Run->Parent) return -1;
        PLazyNode Parent = Run->Parent;
        if (Parent != FRoot && !Parent->States.Contains(vsExpanded)) return -1;
        for (PLazyNode Sibling = Parent->FirstChild; Sibling != Run; Sibling = Sibling->NextSibling)
            if (Sibling->States.Contains(vsVisible)) Top += int(Sibling->TotalHeight);
        if (Parent != FRoot && ShownOwnRow(*this, Parent)) Top += Parent->NodeHeight;
    }
    return Top;
}

PLazyNode TBaseLazyTree::GetNodeAt(int X, int Y, int* NodeTop) {
    (void)X;
    int Target = Y - FOffsetY;
    if (Target < 0) return nullptr;
    int Top = 0;
    PLazyNode Run = FRoot->FirstChild;
    // Whole subtrees above the point are stepped over by their kept height.
    while (Run) {
        if (!Run->States.Contains(vsVisible)) {
            Run = Run->NextSibling;
            continue;
        }
        int Whole = int(Run->TotalHeight);
        if (Target < Top + Whole) {
            int Own = ShownOwnRow(*this, Run) ? Run->NodeHeight : 0;
            if (Target < Top + Own) {
                if (NodeTop) *NodeTop = Top + FOffsetY;
                return Run;
            }
            Top += Own;
            Run = Run->FirstChild;
        } else {
            Top += Whole;
            Run = Run->NextSibling;
        }
    }
    return nullptr;
}

int TBaseLazyTree::MainColumnOrigin() const {
    TBaseLazyTree* Self = const_cast<TBaseLazyTree*>(this);
    if (!FHeader->UseColumns()) return Self->ScrollOriginX();
    TColumnIndex Main = FHeader->GetMainColumn();
    return FHeader->Columns().IsValidColumn(Main) ? FHeader->Columns()[Main]->Left() : Self->ScrollOriginX();
}

int TBaseLazyTree::RightToLeftShift(bool ExcludeScrollBar) {
    const TScrollStyle Bars = FScrollBarOptions->ScrollBars();
    const bool VBar = ClientHeight() < RangeY() && (Bars == ssVertical || Bars == ssBoth);
    const int BarWidth = GetSystemMetrics(SM_CXVSCROLL);
    int W = VBar ? BarWidth : 0;
    const int Band = FHeaderRect.Right - FHeaderRect.Left;
    if (Band >= W + RangeX()) W = Band - RangeX();
    return ExcludeScrollBar && VBar ? W - BarWidth : W;
}

int TBaseLazyTree::ScrollOriginX() {
    if (!UseRightToLeftAlignment()) return FOffsetX;
    // The canvas's right end stands at the client's right edge less the offset.
    const int Width = FHeader->UseColumns() ? RangeX() : std::max(RangeX(), ClientWidth());
    return ClientWidth() - Width - FOffsetX;
}

int TBaseLazyTree::FixedOriginX() {
    return UseRightToLeftAlignment() ? std::max(0, ClientWidth() - RangeX()) : 0;
}

int TBaseLazyTree::HeaderOriginX(bool Fixed) {
    int Origin = Fixed ? FixedOriginX() : ScrollOriginX();
    // The band starts at the window's inner edge; a vertical bar at the left comes before the client.
    if (UseRightToLeftScrollBar() && HandleAllocated()) {
        TRect Window;
        GetWindowRect(Handle(), Window);
        Origin += ClientOrigin().X - Window.Left - FHeaderRect.Left;
    }
    return Origin;
}

int TBaseLazyTree::RowLeadX() { return ClientWidth() - FOffsetX; }

void TBaseLazyTree::UpdateEffectiveOffsetX() {
    FEffectiveOffsetX = UseRightToLeftAlignment() ? std::max(0, RangeX() + FOffsetX - ClientWidth()) : -FOffsetX;
}

TBiDiMode TBaseLazyTree::CellBiDiMode(TColumnIndex Column) const {
    return FHeader->Columns().IsValidColumn(Column) ? TBiDiMode(FHeader->Columns()[Column]->BiDiMode()) : BiDiMode();
}

TAlignment TBaseLazyTree::CellDisplayAlignment(TColumnIndex Column) const {
    const TAlignment A = CellTextAlignment(Column);
    return CellRightToLeft(Column) ? ChangeBiDiModeAlignment(A) : A;
}

void TBaseLazyTree::CMBiDiModeChanged(TMessage& Message) {
    TCustomControl::CMBiDiModeChanged(Message);
    if (!FHeader) return;
    TLazyTreeColumns& Columns = FHeader->Columns();
    for (int I = 0; I < Columns.Count(); ++I) Columns[I]->ParentBiDiModeChanged();
    if (FOptions->AutoOptions().Contains(toAutoBidiColumnOrdering)) Columns.ResetPositionOrder(UseRightToLeftAlignment());
    UpdateEffectiveOffsetX();
    FHeader->Invalidate(NoColumn);
    Invalidate();
}

int TBaseLazyTree::NodeContentLeft(PLazyNode Node) {
    int Level = int(GetNodeLevel(Node)) + (FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0);
    if (FOptions->PaintOptions().Contains(toFixedIndent)) Level = 1;
    int X = MainColumnOrigin() + FMargin + int(FIndent) * Level;
    if (ShowsCheck(Node)) X += CheckImageSize() + 2;
    bool Ghosted = false;
    TImageList* List = FStateImages;
    if (FStateImages && DoGetImageIndex(Node, ikState, -1, Ghosted, List) >= 0 && List) X += List->Width() + 2;
    List = FImages;
    if (FImages && DoGetImageIndex(Node, GetSelected(Node) ? ikSelected : ikNormal, -1, Ghosted, List) >= 0 && List)
        X += List->Width() + 2;
    return X;
}

TRect TBaseLazyTree::GetDisplayRect(PLazyNode Node, bool TextOnly) {
    return GetDisplayRect(Node, FHeader->UseColumns() ? FHeader->GetMainColumn() : NoColumn, TextOnly);
}

TRect TBaseLazyTree::GetDisplayRect(PLazyNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped,
                                    bool ApplyCellContentMargin) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    TreeAssert(Node != FRoot, "Node must not be the hidden root node.");
    if (!Node->States.Contains(vsInitialized) && !Node->States.Contains(vsDeleting)) InitializeNode(Node);
    const bool MainColumn = Column < 0 || Column == FHeader->GetMainColumn();
    int Indent = 0;
    if (!FOptions->PaintOptions().Contains(toFixedIndent)) {
        for (PLazyNode Run = Node; Run != FRoot; Run = Run->Parent) {
            if (!Run->States.Contains(vsVisible) || !Run->Parent) return TRect{};
            if (Run->Parent != FRoot && !Run->Parent->States.Contains(vsExpanded)) return TRect{};
            if (Run->Parent != FRoot && MainColumn) Indent += int(FIndent);
        }
    }
    const int Top = GetNodeTop(Node);
    if (Top < 0) return TRect{};
    TRect R{0, Top, std::max(ClientWidth(), RangeX()), Top + int(Node->NodeHeight)};
    TAlignment Alignment = CellDisplayAlignment(Column);
    const bool RightToLeft = CellRightToLeft(Column);
    if (Column >= 0 && FHeader->Columns().IsValidColumn(Column)) {
        FHeader->Columns().GetColumnBounds(Column, R.Left, R.Right);
        --R.Right;
        R.Top += FOffsetY;
        R.Bottom += FOffsetY;
    } else {
        OffsetRect(R, ScrollOriginX(), FOffsetY);
    }
    if (!TextOnly) return R;

    int Offset = FMargin + Indent;
    if (MainColumn) {
        if (FOptions->PaintOptions().Contains(toShowRoot)) Offset += int(FIndent);
        if (ShowsCheck(Node)) Offset += CheckImageSize() + 2;
    }
    if (FStateImages && NodeShowsImage(Node, ikState, Column)) Offset += FStateImages->Width() + 2;
    if (FImages && NodeShowsImage(Node, ikNormal, Column)) Offset += GetNormalImageSize(Node).cx + 2;
    if (RightToLeft) R.Right -= Offset;
    else R.Left += Offset;

    const int TextWidth = QueryCellTextWidth(Node, Column);
    const int CellHeight = R.Bottom - R.Top;
    if (ApplyCellContentMargin) {
        TRect Content = R;
        DoBeforeCellPaint(Canvas(), Node, Column, cpmGetContentMargin, R, Content);
        R = Content;
    }
    // LeftWidth: how far a left-justified text reaches from the left edge.
    auto PlaceText = [&](int LeftWidth) {
        switch (Alignment) {
        case taRightJustify: R.Left = R.Right - TextWidth; break;
        case taCenter:
            R.Left = (R.Left + R.Right - TextWidth) / 2;
            R.Right = R.Left + TextWidth;
            break;
        default: R.Right = R.Left + LeftWidth; break;
        }
    };
    if (Unclipped) {
        // A text wider than its cell starts at its reading edge and runs on past the cell.
        if (R.Right - R.Left < TextWidth - 1) Alignment = RightToLeft ? taRightJustify : taLeftJustify;
        TTextMetric Metric{};
        Canvas().GetTextMetrics(Metric);
        const int TextHeight = std::min(int(Metric.tmHeight), CellHeight);
        if (R.Bottom - R.Top < TextHeight) {
            const int Grow = (TextHeight - (R.Bottom - R.Top) + 1) / 2;
            R.Top -= Grow;
            R.Bottom += Grow;
        }
        PlaceText(TextWidth - 1);
    } else if (TextWidth < R.Right - R.Left) {
        PlaceText(TextWidth);
    }
    return R;
}

void TBaseLazyTree::GetTextInfo(PLazyNode, TColumnIndex, TFont& AFont, TRect& R, String& Text) {
    R = TRect{};
    Text.clear();
    AFont.Assign(&Font());
}

// The hidden root's own row is not part of the canvas; the room asked for below the last row is.
int TBaseLazyTree::RangeY() { return int(FRoot->TotalHeight) + int(FBottomSpace) - int(FRoot->NodeHeight); }

void TBaseLazyTree::SetBottomSpace(Cardinal Value) {
    if (Value == FBottomSpace) return;
    FBottomSpace = Value;
    UpdateScrollBars(true);
}

int TBaseLazyTree::RangeX() {
    if (FHeader->UseColumns()) return FHeader->Columns().TotalWidth();
    return GetVisibleContentWidth();
}

// Without columns the width is that of the content in the window, so that a
// large tree is not measured as a whole on every scroll.
int TBaseLazyTree::GetVisibleContentWidth() {
    int NodeTop = 0;
    PLazyNode Run = GetNodeAt(0, 0, &NodeTop);
    int Width = 0;
    if (Run) {
        int Offset = (int(GetNodeLevel(Run)) + (FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0)) * int(FIndent);
        // Room for the pictures is kept on every row once a list is there.
        if (FStateImages) Offset += FStateImages->Width() + 2;
        if (FImages) Offset += FImages->Width() + 2;
        const int CheckWidth = FOptions->MiscOptions().Contains(toCheckSupport) ? CheckImageSize() + 2 : 0;
        for (;;) {
            if (!Run->States.Contains(vsInitialized)) InitializeNode(Run);
            const int Check = Run->CheckType != ctNone ? CheckWidth : 0;
            Width = std::max(Width, Offset + Check + QueryCellTextWidth(Run, NoColumn) + QueryExtraCellWidth(Run, NoColumn));
            NodeTop += int(Run->NodeHeight);
            if (NodeTop > Height()) break;
            PLazyNode Next = GetNextVisible(Run, true);
            if (!Next) break;
            Offset += LevelDifference(Run, Next) * int(FIndent);
            Run = Next;
        }
    }
    return Width + FMargin;
}

void TBaseLazyTree::SetOffsetXY(int X, int Y) { ApplyOffsets(TPoint{X, Y}); }

bool TBaseLazyTree::ApplyOffsets(TPoint Value) {
    const int X = std::clamp(Value.X, std::min(0, ClientWidth() - RangeX()), 0);
    const int Y = std::clamp(Value.Y, std::min(0, ClientHeight() - RangeY()), 0);
    if (X == FOffsetX && Y == FOffsetY) return false;
    // Right to left a growing offset moves the content left.
    const int DeltaX = (X - FOffsetX) * (UseRightToLeftAlignment() ? -1 : 1), DeltaY = Y - FOffsetY;
    FOffsetX = X;
    FOffsetY = Y;
    UpdateEffectiveOffsetX();
    // A hint belongs to what was under the mouse before.
    if (FStates.Contains(tsHint)) Application->CancelHint();
    UpdateScrollBars(true);
    // Another node may lie under a pointer that stood still.
    if (HandleAllocated()) {
        const TPoint P = ScreenToClient(GetCursorPos());
        if (PtInRect(ClientRect(), P)) TrackHotNode(P.X, P.Y);
    }
    DoScroll(DeltaX, DeltaY);
    if (HandleAllocated()) Perform(CM_UPDATE_FWSTYLE_SCROLLBARS);
    return true;
}

void TBaseLazyTree::UpdateScrollBars(bool DoRepaint) {
    if (!HandleAllocated() || FUpdateCount > 0) return;
    // A tree that shrank keeps its last row at the bottom rather than showing empty space.
    FOffsetY = std::clamp(FOffsetY, std::min(0, ClientHeight() - RangeY()), 0);
    FOffsetX = std::clamp(FOffsetX, std::min(0, ClientWidth() - RangeX()), 0);
    UpdateEffectiveOffsetX();
    TScrollStyle Style = FScrollBarOptions->ScrollBars();
    const bool Always = FScrollBarOptions->AlwaysVisible();
    SCROLLINFO Info;
    Info.fMask = SIF_ALL | (Always ? SIF_DISABLENOSCROLL : 0);
    if (Style == ssVertical || Style == ssBoth) {
        DoShowScrollBar(SB_VERT, ClientHeight() < RangeY() || Always);
        Info.nMax = std::max(0, RangeY() - 1);
        Info.nPage = Cardinal(std::max(0, ClientHeight()));
        Info.nPos = -FOffsetY;
        SetScrollInfo(Handle(), SB_VERT, Info, DoRepaint);
    } else {
        DoShowScrollBar(SB_VERT, false);
    }
    if (Style == ssHorizontal || Style == ssBoth) {
        DoShowScrollBar(SB_HORZ, ClientWidth() < RangeX() || Always);
        Info.nMax = std::max(0, RangeX() - 1);
        Info.nPage = Cardinal(std::max(0, ClientWidth()));
        Info.nPos = FEffectiveOffsetX;
        SetScrollInfo(Handle(), SB_HORZ, Info, DoRepaint);
    } else {
        DoShowScrollBar(SB_HORZ, false);
    }
    if (DoRepaint) Invalidate();
    Perform(CM_UPDATE_FWSTYLE_SCROLLBARS);
}

void TBaseLazyTree::DoShowScrollBar(int Bar, bool Show) {
    ShowScrollBar(Handle(), Bar, Show);
    if (OnShowScrollBar) OnShowScrollBar(this, Bar, Show);
}

bool TBaseLazyTree::ScrollIntoView(PLazyNode Node, bool Center, bool Horizontally) {
    if (!Node || Node == FRoot) return false;
    // Expanding an ancestor may scroll already (toAutoScrollOnExpand): that counts as scrolling too.
    const int OldY = FOffsetY, OldX = FOffsetX;
    for (PLazyNode Run = Node->Parent; Run && Run != FRoot; Run = Run->Parent)
        if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
    int Top = GetNodeTop(Node);
    if (Top < 0) return false;
    int Height = int(Node->NodeHeight);
    int NewY = FOffsetY;
    if (Center) NewY = -(Top - (ClientHeight() - Height) / 2);
    else if (Top + FOffsetY < 0) NewY = -Top;
    else if (Top + Height + FOffsetY > ClientHeight()) NewY = ClientHeight() - Top - Height;
    int NewX = FOffsetX;
    if (Horizontally) {
        TRect R = GetDisplayRect(Node, true);
        if (R.Left < 0) NewX -= R.Left;
        else if (R.Right > ClientWidth()) NewX -= std::min(R.Left, R.Right - ClientWidth());
    }
    SetOffsetXY(NewX, NewY);
    return OldY != FOffsetY || OldX != FOffsetX;
}

void TBaseLazyTree::InvalidateNode(PLazyNode Node) {
    if (!HandleAllocated() || !Node || Node == FRoot || IsDestroying()) return;
    TRect R = GetDisplayRect(Node, NoColumn, false);
    if (R.Bottom > R.Top) InvalidateRect(Handle(), &R, false);
}

void TBaseLazyTree::InvalidateToBottom(PLazyNode Node) {
    if (!HandleAllocated() || IsDestroying()) return;
    TRect R = Node && Node != FRoot ? GetDisplayRect(Node, NoColumn, false) : TRect{};
    if (R.Bottom <= R.Top) {
        // A node on its way out has no place any more: repaint everything.
        Invalidate();
        return;
    }
    R.Bottom = ClientHeight();
    R.Right = ClientWidth();
    InvalidateRect(Handle(), &R, false);
}

void TBaseLazyTree::Resize() {
    TCustomControl::Resize();
    if (!FRoot) return;  // sized during construction
    RecomputeHeaderBand();
    FHeader->ShareWidthWithSpringColumns();
    if (FHeader->Options.Contains(hoAutoResize)) FHeader->Columns().FitAutoSizeColumn();
    SetOffsetXY(FOffsetX, FOffsetY);
    UpdateScrollBars(true);
}

void TBaseLazyTree::SetIndent(Cardinal Value) {
    if (FIndent == Value) return;
    FIndent = Value;
    InvalidateTree();
}

void TBaseLazyTree::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TBaseLazyTree::CreateWnd() {
    DoStateChange({tsWindowCreating});
    TFinally Done{[this] { DoStateChange({}, {tsWindowCreating}); }};
    TCustomControl::CreateWnd();
    RecomputeHeaderBand();
    // A height set before the window existed meets its limits now.
    if (FHeader->States.Contains(hsNeedScaling)) FHeader->ReapplyFixedAreaConstraints();
    FHeader->ShareWidthWithSpringColumns();  // the first width to follow from
    UpdateDropTarget();
    ThemeChanged();
    FLinePatternReady = false;  // an owner's pattern is asked for again
    UpdateScrollBars(false);
}

void TBaseLazyTree::ThemeChanged() {
    if (IsThemeActive() && FOptions->PaintOptions().Contains(toThemeAware)) DoStateChange({tsUseThemes});
    else DoStateChange({}, {tsUseThemes, tsUseExplorerTheme});
    ApplyExplorerTheme();
    InvalidateTree();
}

// The explorer look needs themes; the window's theme follows, which notifies the window again:
// the state is set first, so that notice finds nothing more to do.
void TBaseLazyTree::ApplyExplorerTheme() {
    if (!HandleAllocated()) return;
    const bool Wanted = FStates.Contains(tsUseThemes) && PlatformVersionAtLeast6 &&
                        FOptions->PaintOptions().Contains(toUseExplorerTheme);
    if (Wanted == FStates.Contains(tsUseExplorerTheme)) return;
    if (Wanted) DoStateChange({tsUseExplorerTheme});
    else DoStateChange({}, {tsUseExplorerTheme});
    SetWindowTheme(this, Wanted ? S("explorer") : String(), String());
}

void TBaseLazyTree::ApplyBorder() {
    if (!HandleAllocated()) return;
    TCreateParams Params;
    CreateParams(Params);
    SetWindowLong(Handle(), GWL_STYLE, LPARAM(Params.Style | (GetWindowLong(Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))));
    SetWindowLong(Handle(), GWL_EXSTYLE, LPARAM(Params.ExStyle));
    SetWindowPos(Handle(), 0, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RecomputeHeaderBand();  // as a new window would
    Invalidate();
}

void TBaseLazyTree::SetBorderStyle(TLTBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    ApplyBorder();
}

void TBaseLazyTree::SetCtl3D(bool Value) {
    if (FCtl3D == Value) return;
    FCtl3D = Value;
    ApplyBorder();
}

PLazyNode TBaseLazyTree::TopNode() { return GetNodeAt(0, 0); }

PLazyNode TBaseLazyTree::BottomNode() { return GetNodeAt(0, ClientHeight() - 1); }

void TBaseLazyTree::SetTopNode(PLazyNode Node) {
    if (!Node || Node == FRoot) return;
    for (PLazyNode Run = Node->Parent; Run && Run != FRoot; Run = Run->Parent)
        if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
    int Top = GetNodeTop(Node);
    if (Top < 0) return;  // hidden: it has no row to scroll to
    SetOffsetXY(FOffsetX, -Top);
}

void TBaseLazyTree::SetBottomNode(PLazyNode Node) {
    if (!Node || Node == FRoot) return;
    for (PLazyNode Run = Node->Parent; Run && Run != FRoot; Run = Run->Parent)
        if (!Run->States.Contains(vsExpanded)) ToggleNode(Run);
    int Top = GetNodeTop(Node);
    if (Top < 0) return;
    SetOffsetXY(FOffsetX, ClientHeight() - Top - int(Node->NodeHeight));
}

void TBaseLazyTree::DoScroll(int DeltaX, int DeltaY) {
    if (OnScroll) OnScroll(this, DeltaX, DeltaY);
}
