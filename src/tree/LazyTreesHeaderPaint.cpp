// Painting the header band: the background, then one cell per visible
// column with its face (themed, or the classic edges of the header's
// style), its caption shortened to the cell, and the sort arrow of the sort
// column; columns drawn by their owner are handed to OnHeaderDraw.

#include "tree/LazyTrees_p.h"

#include "framework/Themes.h"
#include "tree/LazyTrees.Utils.h"

#include <algorithm>

namespace {

// Classic faces by header style: normal, pressed and (plates only) hot.
struct TFaceEdges {
    unsigned NormalEdge, NormalFlags, PressedEdge, PressedFlags, HotEdge, HotFlags;
};
constexpr TFaceEdges FaceEdges[] = {
    // hsThickButtons
    {EDGE_RAISED, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_SOFT | BF_ADJUST, EDGE_RAISED,
     BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST | BF_FLAT, 0, 0},
    // hsFlatButtons
    {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST, BDR_SUNKENOUTER,
     BF_RECT | BF_MIDDLE | BF_ADJUST, 0, 0},
    // hsPlates
    {BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST,
     BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST},
};

constexpr int SortArrowSize = 8;

// The sort arrow: a small triangle pointing up for ascending order.
void DrawSortArrow(TCanvas& Canvas, TPoint At, TSortDirection Direction, TColor Color) {
    Canvas.Brush().SetColor(Color);
    Canvas.Pen().SetColor(Color);
    const int L = At.X, T = At.Y, R = At.X + SortArrowSize - 1, B = At.Y + SortArrowSize / 2;
    if (Direction == sdAscending) Canvas.Polygon({{L, B}, {R, B}, {(L + R) / 2, T}});
    else Canvas.Polygon({{L, T}, {R, T}, {(L + R) / 2, B}});
}

// Where a dragged column would go: a bar at the cell's edge with an arrow pointing at it.
constexpr int DropMarkWidth = 16, DropMarkHeight = 12;
void DrawDropMark(TCanvas& Canvas, const TRect& Cell, bool Left) {
    const int X = Left ? Cell.Left : Cell.Right - DropMarkWidth;
    const int Y = (Cell.Top + Cell.Bottom - DropMarkHeight) / 2;
    Canvas.Brush().SetColor(clBtnText);
    Canvas.Pen().SetColor(clBtnText);
    const int Edge = Left ? X : X + DropMarkWidth - 2;
    Canvas.FillRect(TRect{Edge, Y, Edge + 2, Y + DropMarkHeight});
    const int Tip = Left ? Edge + 3 : Edge - 2, Base = Left ? Tip + 5 : Tip - 5, Mid = Y + DropMarkHeight / 2;
    Canvas.Polygon({{Tip, Mid}, {Base, Mid - 4}, {Base, Mid + 4}});
}

void AdvancedDraw(TLTHeader* Header, TBaseLazyTree::THeaderPaintInfo& Info,
                  TBaseLazyTree::THeaderPaintElements Elements) {
    TCanvas& Canvas = *Info.TargetCanvas;
    TFont Font;
    Font.Assign(&Canvas.Font());
    const TColor Brush = Canvas.Brush().Color(), Pen = Canvas.Pen().Color();
    Header->Treeview()->OnAdvancedHeaderDraw(Header, Info, Elements);
    Canvas.SetFont(Font);
    Canvas.Brush().SetColor(Brush);
    Canvas.Pen().SetColor(Pen);
}

}  // namespace

void TBaseLazyTree::DoHeaderDraw(TCanvas& Canvas, TLazyTreeColumn* Column, const TRect& R, bool Hover, bool Pressed,
                                 TLTDropMarkMode DropMark) {
    if (OnHeaderDraw) OnHeaderDraw(FHeader.get(), &Canvas, Column, R, Hover, Pressed, DropMark);
}

void TLazyTreeColumn::SetStyle(TLazyTreeColumnStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    ReportChange();
}

void TLazyTreeColumns::PaintHeader(TCanvas& Frame, TRect R, int HOffset) {
    const int Width = R.Right - R.Left, Height = R.Bottom - R.Top;
    if (Width <= 0 || Height <= 0) return;
    FHeaderBitmap.SetSize(Width, Height);
    const int Fixed = GetVisibleFixedWidth();
    if (Fixed >= 1) PaintHeader(FHeaderBitmap.Canvas(), TRect{0, 0, std::min(Width, Fixed), Height}, TPoint{0, 0});
    PaintHeader(FHeaderBitmap.Canvas(), TRect{Fixed - HOffset, 0, Width + Fixed - HOffset, Height}, TPoint{Fixed, 0});
    Frame.CopyRect(R, FHeaderBitmap.Canvas(), TRect{0, 0, Width, Height});
}

// The application draws the elements it names itself, with the canvas as it found it.
bool TLazyTreeColumns::AdvancedHeaderDraw() const {
    const TBaseLazyTree* T = FHeader->Treeview();
    return FHeader->Options.Contains(hoOwnerDraw) && T->OnAdvancedHeaderDraw && T->OnHeaderDrawQueryElements;
}


void TLazyTreeColumns::PaintHeader(TCanvas& Canvas, TRect R, TPoint Target) {
    if (R.Right <= R.Left || R.Bottom <= R.Top) return;
    TBaseLazyTree* T = FHeader->Treeview();
    const int Height = FHeader->Height();
    Canvas.SetFont(FHeader->Font());
    const TRect Background{Target.X, Target.Y, Target.X + R.Right - R.Left, Target.Y + Height};
    TBaseLazyTree::THeaderPaintElements Elements;
    TBaseLazyTree::THeaderPaintInfo Info;
    Info.TargetCanvas = &Canvas;
    Info.PaintRectangle = R;
    if (AdvancedHeaderDraw()) T->OnHeaderDrawQueryElements(FHeader, Info, Elements);
    HTHEME Theme = T->TreeStates().Contains(tsUseThemes) ? OpenThemeData(T, u"HEADER") : HTHEME(0);
    if (Elements.Contains(TBaseLazyTree::hpeBackground)) {
        AdvancedDraw(FHeader, Info, {TBaseLazyTree::hpeBackground});
    } else if (Theme) {
        DrawThemeBackground(Theme, Canvas, HP_HEADERITEM, 1, Background);
    } else {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(FHeader->Background());
        Canvas.FillRect(Background);
    }
    if (Theme) CloseThemeData(Theme);
    TRect Part{std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, TotalWidth()), std::min(R.Bottom, Height)};
    if (Part.Right <= Part.Left) return;
    TColumnIndex First = ColumnFromPosition(TPoint{Part.Left, 0}, false);
    if (First < 0) return;
    const int RightLimit = Target.X + (Part.Right - Part.Left);
    TRegion Saved;
    const bool HadClip = Canvas.GetClipRgn(Saved);
    for (Cardinal P = Items(First)->FPosition; P < FPositionToIndex.size(); ++P) {
        TLazyTreeColumn& Column = *Items(FPositionToIndex[P]);
        if (!Column.FOptions.Contains(coVisible)) continue;
        const int Left = Column.FLeft + Target.X - Part.Left;
        if (Left >= RightLimit) break;
        const TRect Cell{Left, Target.Y, Left + Column.FWidth, Target.Y + Height};
        Canvas.IntersectClipRect(std::max(Cell.Left, Target.X), Cell.Top, std::min(Cell.Right, RightLimit), Cell.Bottom);
        PaintCell(Canvas, Column, Cell);
        Canvas.SelectClipRgn(HadClip ? &Saved : nullptr);
    }
}

void TLazyTreeColumns::PaintCell(TCanvas& Canvas, TLazyTreeColumn& Column, const TRect& Cell) {
    TBaseLazyTree* T = FHeader->Treeview();
    const TColumnIndex Index = Column.Index();
    const TLTColumnOptions Options = Column.FOptions;
    const bool Hover = Index == FHoverIndex && FHeader->Options.Contains(hoHotTrack) && Options.Contains(coEnabled);
    const bool Pressed = Index == FDownIndex;
    const bool Enabled = Options.Contains(coEnabled) && T->Enabled();
    const bool ShowSortGlyph = Index == FHeader->SortColumn && FHeader->Options.Contains(hoShowSortGlyphs);
    const auto DropMark = !(Options.Contains(coShowDropMark) && Index == FDropTarget && Index != FDragIndex)
                              ? TBaseLazyTree::dmmNone
                          : FDropBefore ? TBaseLazyTree::dmmLeft
                                        : TBaseLazyTree::dmmRight;
    const bool Advanced = AdvancedHeaderDraw();
    if (!Advanced && Column.FStyle == TLazyTreeColumn::vsOwnerDraw && FHeader->Options.Contains(hoOwnerDraw) &&
        T->OnHeaderDraw) {
        T->DoHeaderDraw(Canvas, &Column, Cell, Hover, Pressed, DropMark);
        return;
    }
    TBaseLazyTree::THeaderPaintInfo Info;
    Info.TargetCanvas = &Canvas;
    Info.Column = &Column;
    Info.PaintRectangle = Cell;
    Info.IsHoverIndex = Hover;
    Info.IsDownIndex = Pressed;
    Info.IsEnabled = Enabled;
    Info.ShowSortGlyph = ShowSortGlyph;
    Info.ShowRightBorder = FHeader->Style() == hsThickButtons || !FHeader->Options.Contains(hoAutoResize);
    Info.DropMark = DropMark;
    TBaseLazyTree::THeaderPaintElements Elements;
    if (Advanced) T->OnHeaderDrawQueryElements(FHeader, Info, Elements);
    const TBaseLazyTree::THeaderPaintElements Taken = Elements - TBaseLazyTree::THeaderPaintElements{TBaseLazyTree::hpeBackground};
    // The face.
    TRect Face = Cell;
    HTHEME Theme = T->TreeStates().Contains(tsUseThemes) ? OpenThemeData(T, u"HEADER") : HTHEME(0);
    if (Elements.Contains(TBaseLazyTree::hpeBackground)) {
        AdvancedDraw(FHeader, Info, {TBaseLazyTree::hpeBackground});
        if (Theme) CloseThemeData(Theme);
    } else if (Theme) {
        DrawThemeBackground(Theme, Canvas, HP_HEADERITEM, Pressed ? 3 : Hover ? 2 : 1, Face);
        CloseThemeData(Theme);
    } else {
        const TFaceEdges& E = FaceEdges[FHeader->Style()];
        const unsigned RightBorder = Index < Count() - 1 || FHeader->Style() == hsThickButtons ||
                                             !FHeader->Options.Contains(hoAutoResize)
                                         ? BF_RIGHT
                                         : 0;
        Canvas.Brush().SetColor(FHeader->Background());
        if (Pressed) Canvas.DrawEdge(Face, E.PressedEdge, E.PressedFlags);
        else if (FHeader->Style() == hsPlates && Hover && Options.Contains(coAllowClick) && Enabled)
            Canvas.DrawEdge(Face, E.HotEdge, E.HotFlags | RightBorder);
        else Canvas.DrawEdge(Face, E.NormalEdge, E.NormalFlags | RightBorder);
    }
    // The layout: the caption by the column's alignment, the sort arrow at the right.
    TRect Client{Cell.Left + 2, Cell.Top + 2, Cell.Right - 2, Cell.Bottom - 2};
    TRect Text{Client.Left + Column.FMargin, Client.Top, Client.Right - Column.FMargin, Client.Bottom};
    TPoint SortPos{Text.Right - SortArrowSize, Client.Top + (Client.Bottom - Client.Top - SortArrowSize / 2) / 2};
    if (ShowSortGlyph) {
        SortPos.X = std::max(SortPos.X, Client.Left + Column.FMargin);
        Text.Right = std::max(Text.Left, SortPos.X - Column.FSpacing);
    }
    if (Pressed) {
        OffsetRect(Text, 1, 1);
        SortPos.X += 1;
        SortPos.Y += 1;
    }
    unsigned Format = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
    Format |= Column.FAlignment == taRightJustify ? DT_RIGHT : Column.FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    Info.TextRectangle = Text;
    Info.SortGlyphPos = SortPos;
    const String Caption = Column.GetText();
    if (!Taken.Contains(TBaseLazyTree::hpeText) && !Caption.empty())
        DrawHeaderCaption(Canvas, Caption, Text, Enabled, Hover && FHeader->Options.Contains(hoHotTrack) && !Theme,
                          Format);
    if (!Taken.Contains(TBaseLazyTree::hpeSortGlyph) && ShowSortGlyph)
        DrawSortArrow(Canvas, SortPos, FHeader->SortDirection, clBtnShadow);
    if (!Taken.Contains(TBaseLazyTree::hpeDropMark) && DropMark != TBaseLazyTree::dmmNone)
        DrawDropMark(Canvas, Cell, DropMark == TBaseLazyTree::dmmLeft);
    if (!Taken.Empty()) AdvancedDraw(FHeader, Info, Taken);
}

void TLazyTreeColumns::DrawHeaderCaption(TCanvas& Canvas, const String& Caption, TRect Bounds, bool Enabled,
                                         bool Hot, unsigned DrawFormat) {
    TBaseLazyTree* T = FHeader->Treeview();
    String Shown = Caption;
    if (Canvas.TextWidth(Caption) > Bounds.Right - Bounds.Left)
        Shown = ShortenToWidth(Canvas, Caption, Bounds.Right - Bounds.Left, 0);
    Canvas.Brush().SetStyle(bsClear);
    if (Enabled) {
        Canvas.Font().SetColor(Hot ? T->Colors().GetColor(TLTColors::HeaderHotColor) : FHeader->Font().Color());
        Canvas.DrawText(Shown, Bounds, DrawFormat);
    } else {
        TRect Shifted = Bounds;
        OffsetRect(Shifted, 1, 1);
        Canvas.Font().SetColor(clBtnHighlight);
        Canvas.DrawText(Shown, Shifted, DrawFormat);
        Canvas.Font().SetColor(clBtnShadow);
        Canvas.DrawText(Shown, Bounds, DrawFormat);
    }
    Canvas.Brush().SetStyle(bsSolid);
}
