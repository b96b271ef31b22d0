// Painting: the shown rows from the scroll offset down, each with its tree
// lines, expand button, check box, state and normal images, selection,
// focus mark and the descendant's content; the empty-list message below.

#include "tree/LazyTrees_p.h"

#include "framework/ImgList.h"
#include "framework/Themes.h"
#include "tree/LazyTrees.Utils.h"

#include <algorithm>
#include <cmath>

namespace {

int MulDivRound(int A, int B, int C) { return C == 0 ? 0 : (A * B + (A * B >= 0 ? C / 2 : -C / 2)) / C; }

// Dotted lines keep their phase in tree coordinates, so that scrolling does not make them crawl.
void DottedVertical(TCanvas& Canvas, int X, int Top, int Bottom, int PhaseY, TColor Color) {
    for (int Y = Top; Y < Bottom; ++Y)
        if (((X + Y - PhaseY) & 1) == 0) Canvas.SetPixels(X, Y, Color);
}

void DottedHorizontal(TCanvas& Canvas, int Left, int Right, int Y, int PhaseY, TColor Color) {
    if (Left > Right) std::swap(Left, Right);
    for (int X = Left; X < Right; ++X)
        if (((X + Y - PhaseY) & 1) == 0) Canvas.SetPixels(X, Y, Color);
}

}  // namespace

int TBaseLazyTree::GetCheckImageIndex(TCheckType Type, TCheckState State, bool Enabled, bool Hot) {
    if (Type == ctNone) return -1;
    if (CheckStateIsDisabled(State)) {
        State = EnabledCheckState(State);
        Enabled = false;
    }
    if (Type == ctTriStateCheckBox) Type = ctCheckBox;
    // Rows: disabled, enabled, hot; columns: the six normal and pressed states.
    static const int Table[3][3][6] = {
        {{12, 12, 16, 16, 20, 20}, {9, 11, 13, 15, 17, 19}, {10, 11, 14, 15, 18, 19}},
        {{4, 4, 8, 8, 20, 20}, {1, 3, 5, 7, 17, 19}, {2, 3, 6, 7, 18, 19}},
        {{24, 24, 24, 24, 20, 20}, {21, 23, 21, 23, 17, 19}, {22, 23, 22, 23, 18, 19}}};
    int Kind = Type == ctCheckBox ? 0 : Type == ctRadioButton ? 1 : 2;
    int Row = !Enabled ? 0 : Hot ? 2 : 1;
    int Column = std::min<int>(State, 5);
    return Table[Kind][Row][Column];
}

int TBaseLazyTree::DoGetImageIndex(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                   TImageList*& List) {
    int Index = -1;
    Ghosted = false;
    List = Kind == ikState ? FStateImages : FImages;
    if (OnGetImageIndexEx) OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, List);
    else if (OnGetImageIndex) OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
    if (!List) List = Kind == ikState ? FStateImages : FImages;
    return Index;
}

bool TBaseLazyTree::ShowsCheck(PLazyNode Node) const {
    return FOptions->MiscOptions().Contains(toCheckSupport) && Node->CheckType != ctNone;
}

void TBaseLazyTree::DrawTreeLines(TCanvas& Canvas, PLazyNode Node, int Top, int Height, int VAlign, int Origin) {
    const bool ShowRoot = FOptions->PaintOptions().Contains(toShowRoot);
    const int Level = int(GetNodeLevel(Node));
    const int Length = Level + (ShowRoot ? 1 : 0);
    const TColor Color = ColorToRGB(FColors->GetColor(TLTColors::TreeLineColor));
    const int Half = int(std::nearbyint(FIndent / 2.0));
    const int Indent = int(FIndent);
    const int Phase = FOffsetY;
    auto HasNextVisible = [this](PLazyNode Run) {
        for (PLazyNode S = Run->NextSibling; S; S = S->NextSibling)
            if (GetEffectivelyVisible(S) || S->States.Contains(vsVisible)) return true;
        return false;
    };
    auto HasPreviousVisible = [](PLazyNode Run) {
        for (PLazyNode S = Run->PrevSibling; S; S = S->PrevSibling)
            if (S->States.Contains(vsVisible)) return true;
        return false;
    };
    // Entries from the node's own one leftwards to the top level.
    PLazyNode Run = Node;
    for (int Entry = Length - 1; Entry >= 0 && Run != FRoot; --Entry, Run = Run->Parent) {
        int X = Origin + Entry * Indent;
        bool Next = HasNextVisible(Run);
        bool TopLevel = Run->Parent == FRoot;
        bool Own = Run == Node;
        if (TopLevel && !ShowRoot) break;
        if (Own) {
            bool Up = !TopLevel || HasPreviousVisible(Run);
            int From = Up ? Top : Top + VAlign;
            int To = Next ? Top + Height : Top + VAlign;
            if (Up || Next) DottedVertical(Canvas, X + Half, From, To + (Next ? 0 : 1), Phase, Color);
            DottedHorizontal(Canvas, X + Half, X + Indent, Top + VAlign, Phase, Color);
        } else if (Next) {
            DottedVertical(Canvas, X + Half, Top, Top + Height, Phase, Color);
        }
    }
}

void TBaseLazyTree::DrawNodeButton(TCanvas& Canvas, PLazyNode Node, int X, int Y) {
    const int Size = ButtonSize();
    Canvas.Brush().SetColor(FColors->BackGroundColor());
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Pen().SetColor(FColors->GetColor(TLTColors::TreeLineColor));
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Pen().SetWidth(1);
    Canvas.Rectangle(X, Y, X + Size, Y + Size);
    Canvas.Brush().SetColor(FColors->NodeFontColor());
    Canvas.FillRect(TRect{X + 2, Y + Size / 2, X + Size - 2, Y + Size / 2 + 1});
    if (!Node->States.Contains(vsExpanded))
        Canvas.FillRect(TRect{X + Size / 2, Y + 2, X + Size / 2 + 1, Y + Size - 2});
}

void TBaseLazyTree::DrawCheckImage(TCanvas& Canvas, PLazyNode Node, int X, int Y) {
    bool Enabled = !Node->States.Contains(vsDisabled) && this->Enabled();
    int Index = GetCheckImageIndex(Node->CheckType, Node->CheckState, Enabled, Node == FCurrentHotNode);
    if (Index < 0) return;
    TRect R{X, Y, X + CheckImageSize(), Y + CheckImageSize()};
    if (HTHEME Theme = OpenThemeData(this, S("button"))) {
        if (Index <= 8) DrawThemeBackground(Theme, Canvas, BP_RADIOBUTTON, Index, R);
        else if (Index <= 20) DrawThemeBackground(Theme, Canvas, BP_CHECKBOX, Index - 8, R);
        else DrawThemeBackground(Theme, Canvas, BP_PUSHBUTTON, Index - 20, R);
        CloseThemeData(Theme);
        return;
    }
    // The classic look: the frame-control pictures with the same states.
    unsigned State = Index <= 8 ? DFCS_BUTTONRADIO : Index <= 20 ? DFCS_BUTTONCHECK : DFCS_BUTTONPUSH;
    int Kind = Index <= 8 ? (Index - 1) % 4 : Index <= 20 ? (Index - 9) % 4 : (Index - 21);
    bool Checked = (Index >= 5 && Index <= 8) || (Index >= 13 && Index <= 16);
    bool Mixed = Index >= 17 && Index <= 20;
    if (Mixed) State = DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (Checked) State |= DFCS_CHECKED;
    if (Kind == 1) State |= DFCS_HOT;
    if (Kind == 2) State |= DFCS_PUSHED;
    if (Kind == 3) State |= DFCS_INACTIVE;
    Canvas.DrawFrameControl(R, DFC_BUTTON, State);
}

void TBaseLazyTree::PaintNode(TCanvas& Canvas, PLazyNode Node, int Top) {
    const int Height = int(Node->NodeHeight);
    const int Width = FOffscreen ? FOffscreen->Width : ClientWidth();
    const TRect Row{0, Top, Width, Top + Height};
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColors->BackGroundColor());
    Canvas.FillRect(Row);
    if (DoBeforeItemPaint(Canvas, Node, Row)) return;
    EraseItem(Canvas, Node, Row);
    if (!FHeader->UseColumns()) {
        PaintMainCell(Canvas, Node, Top, NoColumn, Row, FOffsetX);
        DoAfterItemPaint(Canvas, Node, Row);
        return;
    }
    // Scrolling columns first, the fixed ones over them; each cell clipped to itself.
    const TLazyTreeColumns& Columns = FHeader->Columns();
    const TColumnIndex Main = FHeader->GetMainColumn();
    const bool VertLines = FOptions->PaintOptions().Contains(toShowVertGridLines);
    TRegion Saved;
    const bool HadClip = Canvas.GetClipRgn(Saved);
    for (bool Fixed : {false, true})
        for (TLazyTreeColumn* Column : Columns.GetVisibleColumns()) {
            if (Column->Options().Contains(coFixed) != Fixed) continue;
            if (FOffscreen && FOffscreen->Options.Contains(poMainOnly) && Column->Index() != Main) continue;
            const TRect Cell{Column->Left(), Top, Column->Left() + Column->Width(), Top + Height};
            if (Cell.Right <= 0 || Cell.Left >= Width) continue;
            Canvas.IntersectClipRect(Cell.Left, Cell.Top, Cell.Right, Cell.Bottom);
            if (Fixed || !Column->Options().Contains(coParentColor)) {
                Canvas.Brush().SetColor(Column->Options().Contains(coParentColor) ? FColors->BackGroundColor()
                                                                                   : Column->Color());
                Canvas.FillRect(Cell);
            }
            if (Column->Index() == Main) PaintMainCell(Canvas, Node, Top, Main, Cell, Cell.Left);
            else PaintOtherCell(Canvas, Node, Column->Index(), Cell);
            if (VertLines) {
                Canvas.Brush().SetColor(FColors->GetColor(TLTColors::GridLineColor));
                Canvas.FillRect(TRect{Cell.Right - 1, Cell.Top, Cell.Right, Cell.Bottom});
            }
            Canvas.SelectClipRgn(HadClip ? &Saved : nullptr);
        }
    DoAfterItemPaint(Canvas, Node, Row);
}

void TBaseLazyTree::PaintOtherCell(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const TRect& Cell) {
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    TRect Content = Cell;
    if (Paint.Contains(toShowHorzGridLines)) {
        Canvas.Brush().SetColor(FColors->GetColor(TLTColors::GridLineColor));
        Canvas.FillRect(TRect{Cell.Left, Cell.Bottom - 1, Cell.Right, Cell.Bottom});
        Content.Bottom -= 1;
    }
    const bool Focus = Focused() || Paint.Contains(toPopupMode);
    const bool Selected = Node->States.Contains(vsSelected) && !Paint.Contains(toAlwaysHideSelection) &&
                          (Focus || !Paint.Contains(toHideSelection)) && CellShowsSelection(Column);
    TLTPaintInfo Info{&Canvas, Node, Column, Cell, Content, Content.Right - Content.Left};
    PaintMarksAndContent(Info, Content, Selected,
                         Node == FFocusedNode && Column == FFocusedColumn && Focused() && !Paint.Contains(toHideFocusRect));
}

void TBaseLazyTree::PaintMarksAndContent(TLTPaintInfo& Info, const TRect& ContentMarkRect, bool Selected,
                                         bool FocusMark) {
    TCanvas& Canvas = *Info.Canvas;
    // The owner may narrow the part the selection and focus marks cover.
    TRect MarkRect = ContentMarkRect;
    DoBeforeCellPaint(Canvas, Info.Node, Info.Column, cpmPaint, Info.CellRect, MarkRect);
    if (FOffscreen) {
        Selected = Selected && FOffscreen->Options.Contains(poDrawSelection);
        FocusMark = FocusMark && FOffscreen->Options.Contains(poDrawFocusRect);
    }
    if (Selected) {
        const bool Focus = Focused() || FOptions->PaintOptions().Contains(toPopupMode);
        Canvas.Brush().SetColor(FColors->GetColor(Focus ? TLTColors::FocusedSelectionColor
                                                       : TLTColors::UnfocusedSelectionColor));
        Canvas.FillRect(MarkRect);
    }
    if (FocusMark) {
        Canvas.Brush().SetColor(FColors->BackGroundColor());
        Canvas.DrawFocusRect(MarkRect);
    }
    PaintCellContent(Info);
    DoAfterCellPaint(Canvas, Info.Node, Info.Column, Info.CellRect);
}

void TBaseLazyTree::PaintMainCell(TCanvas& Canvas, PLazyNode Node, int Top, TColumnIndex Column, const TRect& Row,
                                  int Origin) {
    const int Height = int(Node->NodeHeight);
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const bool ShowRoot = Paint.Contains(toShowRoot);
    const int IndentSize = int(GetNodeLevel(Node)) + (ShowRoot ? 1 : 0);
    const int Offset = int(FIndent) * (Paint.Contains(toFixedIndent) ? 1 : IndentSize);

    bool Ghosted = false;
    TImageList* StateList = FStateImages;
    int StateIndex = FStateImages ? DoGetImageIndex(Node, ikState, -1, Ghosted, StateList) : -1;
    TImageList* NormalList = FImages;
    bool NormalGhosted = false;
    int NormalIndex = FImages ? DoGetImageIndex(Node, GetSelected(Node) ? ikSelected : ikNormal, -1, NormalGhosted,
                                                NormalList)
                              : -1;
    int VAlign;
    if (FImages || FStateImages) {
        int ImageHeight = FImages ? FImages->Height() : FStateImages->Height();
        VAlign = MulDivRound(Height - ImageHeight, 50, 100) + ImageHeight / 2;
    } else if (Paint.Contains(toShowButtons)) {
        VAlign = MulDivRound(Height - ButtonSize(), 50, 100) + ButtonSize() / 2;
    } else {
        VAlign = MulDivRound(Height, 50, 100);
    }

    if (Paint.Contains(toShowHorzGridLines)) {
        Canvas.Brush().SetColor(FColors->GetColor(TLTColors::GridLineColor));
        Canvas.FillRect(TRect{Row.Left, Row.Bottom - 1, Row.Right, Row.Bottom});
    }
    if (Paint.Contains(toShowTreeLines)) DrawTreeLines(Canvas, Node, Top, Height, VAlign, Origin);
    if (Paint.Contains(toShowButtons) && Node->States.Contains(vsHasChildren) &&
        !(Node->States.Contains(vsAllChildrenHidden) && FOptions->AutoOptions().Contains(toAutoHideButtons))) {
        int ButtonX = int(std::nearbyint((int(FIndent) - ButtonSize()) / 2.0)) + (IndentSize - 1) * int(FIndent) + 1;
        int VButton = VAlign - ButtonSize() / 2 - (ButtonSize() % 2);
        if (IndentSize > 0) DrawNodeButton(Canvas, Node, Origin + ButtonX, Top + VButton);
    }

    int X = Origin + FMargin + Offset;
    if (ShowsCheck(Node)) {
        DrawCheckImage(Canvas, Node, X - 1, Top + VAlign - CheckImageSize() / 2);
        X += CheckImageSize() + 2;
    }
    bool Enabled = !Node->States.Contains(vsDisabled) && this->Enabled();
    if (StateIndex >= 0 && StateList) {
        StateList->Draw(Canvas, X - 1, Top + VAlign - StateList->Height() / 2, StateIndex, Enabled);
        X += StateList->Width() + 2;
    }
    if (NormalIndex >= 0 && NormalList) {
        NormalList->Draw(Canvas, X - 1, Top + VAlign - NormalList->Height() / 2, NormalIndex, Enabled);
        X += NormalList->Width() + 2;
    }

    TRect Content{X, Top, X + QueryCellTextWidth(Node), Row.Bottom - (Paint.Contains(toShowHorzGridLines) ? 1 : 0)};
    // A text narrower than its cell stands where the column's alignment puts it.
    const TAlignment Alignment =
        FHeader->Columns().IsValidColumn(Column) ? FHeader->Columns()[Column]->Alignment() : taLeftJustify;
    if (Alignment != taLeftJustify && Content.Right < Row.Right) {
        const int Width = Content.Right - Content.Left;
        Content.Left = Alignment == taCenter ? (X + Row.Right - Width) / 2 : Row.Right - Width;
        Content.Right = Content.Left + Width;
    }
    if (FOptions->SelectionOptions().Contains(toFullRowSelect)) {
        Content.Left = Row.Left;
        Content.Right = Row.Right;
    }
    const bool Focus = Focused() || Paint.Contains(toPopupMode);
    bool Selected = Node->States.Contains(vsSelected) && !Paint.Contains(toAlwaysHideSelection) &&
                    (Focus || !Paint.Contains(toHideSelection)) && CellShowsSelection(Column);
    TLTPaintInfo Info{&Canvas, Node, Column, Row, Content, Content.Right - Content.Left};
    if (FOptions->SelectionOptions().Contains(toFullRowSelect)) Info.ContentRect.Left = X;
    PaintMarksAndContent(Info, Content, Selected, Node == FFocusedNode && Focused() && !Paint.Contains(toHideFocusRect));
}

void TBaseLazyTree::Paint() {
    TCanvas& Target = Canvas();
    if (FStates.Contains(tsPainting)) return;
    DoStateChange({tsPainting});
    TFinally Done{[this] { DoStateChange({}, {tsPainting}); }};
    DoBeforePaint(Target);
    int Top = 0;
    PLazyNode Node = GetNodeAt(0, 0, &Top);
    const bool Measure = FOptions->MiscOptions().Contains(toVariableNodeHeight);
    while (Node && Top < ClientHeight()) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        if (Measure) MeasureItemHeight(&Target, Node);
        if (!(Node->States.Contains(vsFiltered) && !FOptions->PaintOptions().Contains(toShowFilteredNodes))) {
            PaintNode(Target, Node, Top);
            Top += int(Node->NodeHeight);
        }
        Node = GetNextVisible(Node, false);
    }
    // The area below the last row, unless the owner paints it.
    const TRect Below{0, std::max(Top, 0), ClientWidth(), ClientHeight()};
    if (Below.Top < Below.Bottom && !DoPaintBackground(Target, Below)) {
        Target.Brush().SetStyle(bsSolid);
        Target.Brush().SetColor(FColors->BackGroundColor());
        Target.FillRect(Below);
    }
    if (FStates.Contains(tsDrawSelecting)) {
        TRect Band = FNewSelRect;
        Band.Left += FOffsetX;
        Band.Right += FOffsetX;
        Band.Top += FOffsetY;
        Band.Bottom += FOffsetY;
        DrawSelectionRectangle(Target, 0, Band, ClientRect());
    }
    if (!GetFirstVisibleNoInit() && !EmptyListMessage.empty()) {
        // The message stands two pixels in from the corner, in the disabled colour.
        Target.Font().Assign(&Font());
        Target.Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
        Target.Brush().SetStyle(bsClear);
        TRect R = ClientRect();
        R.Left += 2;
        R.Top += 2;
        Target.DrawText(EmptyListMessage, R, DT_NOPREFIX | DT_WORDBREAK);
    }
    DoAfterPaint(Target);
}

void TBaseLazyTree::EraseItem(TCanvas& Canvas, PLazyNode Node, const TRect& Row) {
    TColor Color = FColors->BackGroundColor();
    TItemEraseAction Action = eaDefault;
    DoBeforeItemErase(Canvas, Node, Row, Color, Action);
    if (Action == eaColor) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Color);
        Canvas.FillRect(Row);
    }
    DoAfterItemErase(Canvas, Node, Row);
}

void TBaseLazyTree::DoBeforePaint(TCanvas& Canvas) {
    if (OnBeforePaint) OnBeforePaint(this, &Canvas);
}

void TBaseLazyTree::DoAfterPaint(TCanvas& Canvas) {
    if (OnAfterPaint) OnAfterPaint(this, &Canvas);
}

bool TBaseLazyTree::DoBeforeItemPaint(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect) {
    bool Custom = false;
    if (OnBeforeItemPaint) OnBeforeItemPaint(this, &Canvas, Node, ItemRect, Custom);
    return Custom;
}

void TBaseLazyTree::DoAfterItemPaint(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect) {
    if (OnAfterItemPaint) OnAfterItemPaint(this, &Canvas, Node, ItemRect);
}

void TBaseLazyTree::DoBeforeItemErase(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect, TColor& Color,
                                      TItemEraseAction& EraseAction) {
    if (OnBeforeItemErase) OnBeforeItemErase(this, &Canvas, Node, ItemRect, Color, EraseAction);
}

void TBaseLazyTree::DoAfterItemErase(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect) {
    if (OnAfterItemErase) OnAfterItemErase(this, &Canvas, Node, ItemRect);
}

void TBaseLazyTree::DoBeforeCellPaint(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, TLTCellPaintMode Mode,
                                      const TRect& CellRect, TRect& ContentRect) {
    if (!OnBeforeCellPaint) return;
    Canvas.Font().Assign(&Font());
    OnBeforeCellPaint(this, &Canvas, Node, Column, Mode, CellRect, ContentRect);
}

void TBaseLazyTree::DoAfterCellPaint(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const TRect& CellRect) {
    if (OnAfterCellPaint) OnAfterCellPaint(this, &Canvas, Node, Column, CellRect);
}

bool TBaseLazyTree::DoPaintBackground(TCanvas& Canvas, const TRect& R) {
    bool Handled = false;
    if (OnPaintBackground) OnPaintBackground(this, &Canvas, R, Handled);
    return Handled;
}

void TBaseLazyTree::DrawSelectionRectangle(TCanvas& Canvas, int WindowLeft, const TRect& SelectionRect,
                                           const TRect& TargetRect) {
    TRect Band{std::min(SelectionRect.Left, SelectionRect.Right), std::min(SelectionRect.Top, SelectionRect.Bottom),
               std::max(SelectionRect.Left, SelectionRect.Right), std::max(SelectionRect.Top, SelectionRect.Bottom)};
    if ((DrawSelectionMode == smBlendedRectangle || FStates.Contains(tsUseThemes)) && MMXAvailable) {
        TRect Target = TargetRect;
        Target.Left += WindowLeft;
        Target.Right += WindowLeft;
        TRect Blend{std::max(Band.Left, Target.Left), std::max(Band.Top, Target.Top),
                    std::min(Band.Right, Target.Right), std::min(Band.Bottom, Target.Bottom)};
        if (Blend.Left >= Blend.Right || Blend.Top >= Blend.Bottom) return;
        Blend.Left -= WindowLeft;
        Blend.Right -= WindowLeft;
        BlendRectWithColor(Canvas, Blend, FColors->GetColor(TLTColors::SelectionRectangleBlendColor),
                           SelectionBlendFactor);
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(FColors->GetColor(TLTColors::SelectionRectangleBorderColor));
        Canvas.FrameRect(Band);
        return;
    }
    // The classic band: a dotted rectangle drawn white on black.
    TColor OldText = Canvas.Font().Color();
    TColor OldBack = Canvas.BkColor();
    Canvas.Font().SetColor(clWhite);
    Canvas.SetBkColor(clBlack);
    Canvas.DrawFocusRect(Band);
    Canvas.Font().SetColor(OldText);
    Canvas.SetBkColor(OldBack);
}

bool TBaseLazyTree::CellShowsSelection(TColumnIndex Column) const {
    if (Column < 0 || FOptions->SelectionOptions().Contains(toFullRowSelect)) return true;
    return Column == FFocusedColumn || (FFocusedColumn < 0 && Column == FHeader->GetMainColumn());
}

bool TBaseLazyTree::DoGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) {
    bool IsEmpty = true;
    if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, Node, Column, IsEmpty);
    return IsEmpty;
}
