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

// The utility pictures: the drop marks pointing at the left and the right edge, then the sort
// arrows, classic and themed.
constexpr int DropMarkLeftImage = 0, DropMarkRightImage = 1;
int SortArrowImage(TSortDirection Direction, bool Themed) {
    return Direction == sdAscending ? (Themed ? 5 : 3) : (Themed ? 4 : 2);
}

void AdvancedDraw(TLTHeader* Header, TBaseLazyTree::THeaderPaintInfo& Info,
                  TBaseLazyTree::THeaderPaintElements Elements) {
    TCanvas& Canvas = *Info.TargetCanvas;
    TFont Font;
    Font.Assign(&Canvas.Font());
    const TColor Brush = Canvas.Brush().Color(), Pen = Canvas.Pen().Color();
    Header->Treeview()->DoAdvancedHeaderDraw(Info, Elements);
    Canvas.SetFont(Font);
    Canvas.Brush().SetColor(Brush);
    Canvas.Pen().SetColor(Pen);
}

}  // namespace

void TBaseLazyTree::DoHeaderDraw(TCanvas& Canvas, TLazyTreeColumn* Column, const TRect& R, bool Hover, bool Pressed,
                                 TLTDropMarkMode DropMark) {
    if (OnHeaderDraw) OnHeaderDraw(FHeader.get(), &Canvas, Column, R, Hover, Pressed, DropMark);
}

void TBaseLazyTree::DoHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements) {
    if (OnHeaderDrawQueryElements) OnHeaderDrawQueryElements(FHeader.get(), PaintInfo, Elements);
}

void TBaseLazyTree::DoAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, THeaderPaintElements Elements) {
    if (OnAdvancedHeaderDraw) OnAdvancedHeaderDraw(FHeader.get(), PaintInfo, Elements);
}

void TLazyTreeColumn::SetStyle(TLazyTreeColumnStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    ReportChange();
}

void TLazyTreeColumns::PaintHeader(TCanvas& Frame, TRect R, int ScrollX, int FixedX) {
    const int Width = R.Right - R.Left, Height = R.Bottom - R.Top;
    if (Width <= 0 || Height <= 0) return;
    FHeaderBitmap.SetSize(Width, Height);
    const int Fixed = GetVisibleFixedWidth();
    // Left to right the fixed columns go first and the scrolling ones after them; right to left
    // (FixedX > 0) the band's ground and the scrolling columns first, the fixed ones over them.
    auto PaintFixed = [&] {
        if (Fixed >= 1)
            PaintHeader(FHeaderBitmap.Canvas(), TRect{0, 0, std::min(Width, Fixed), Height}, TPoint{FixedX, 0});
    };
    if (FixedX == 0) PaintFixed();
    const int Start = FixedX == 0 ? Fixed : 0;
    PaintHeader(FHeaderBitmap.Canvas(), TRect{Start - ScrollX, 0, Width + Start - ScrollX, Height}, TPoint{Start, 0});
    if (FixedX != 0) PaintFixed();
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
    if (AdvancedHeaderDraw()) T->DoHeaderDrawQueryElements(Info, Elements);
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
    // R may start left of the canvas (right to left a narrow canvas hugs the band's right edge).
    const int RightLimit = Target.X + (Part.Right - R.Left);
    TRegion Saved;
    const bool HadClip = Canvas.GetClipRgn(Saved);
    for (Cardinal P = Items(First)->FPosition; P < FPositionToIndex.size(); ++P) {
        TLazyTreeColumn& Column = *Items(FPositionToIndex[P]);
        if (!Column.FOptions.Contains(coVisible)) continue;
        const int Left = Column.FLeft + Target.X - R.Left;
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
    const bool Pressed = Index == FDownIndex && !FCheckBoxHit;
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
    if (Advanced) T->DoHeaderDrawQueryElements(Info, Elements);
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
    // The layout: glyph, caption and sort arrow inside the cell less 2 pixels.
    const TRect Client{Cell.Left + 2, Cell.Top + 2, Cell.Right - 2, Cell.Bottom - 2};
    TAlignment Alignment = Column.FOptions.Contains(coUseCaptionAlignment) ? Column.FCaptionAlignment
                                                                           : Column.FAlignment;
    if (Column.UseRightToLeftReading()) Alignment = ChangeBiDiModeAlignment(Alignment);
    unsigned Format = DT_NOPREFIX | (Options.Contains(coWrapCaption) ? 0u : DT_SINGLELINE | DT_VCENTER);
    if (Column.UseRightToLeftReading()) Format |= DT_RTLREADING;
    Format |= Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
    Info.ShowHeaderGlyph = FHeader->Options.Contains(hoShowImages) &&
                           ((FHeader->Images() && Column.FImageIndex >= 0) || Column.FCheckBox);
    TRect Text;
    TSize SortSize;
    TPoint SortPos, GlyphPos;
    Column.LayOutHeaderCell(Canvas, Client, Format, Text, SortSize, SortPos, GlyphPos, ShowSortGlyph,
                            Info.ShowHeaderGlyph);
    if (Pressed) {
        OffsetRect(Text, 1, 1);
        SortPos.X += 1;
        SortPos.Y += 1;
        GlyphPos.X += 1;
        GlyphPos.Y += 1;
    }
    Info.TextRectangle = Text;
    Info.SortGlyphPos = SortPos;
    Info.GlyphPos = GlyphPos;
    Column.FHasImage = false;
    const TSize Glyph = Column.GlyphSize();
    if (!Taken.Contains(TBaseLazyTree::hpeHeaderGlyph) && Info.ShowHeaderGlyph &&
        (!ShowSortGlyph || SortPos.X >= GlyphPos.X + Glyph.cx)) {
        if (Column.FCheckBox)
            T->DrawCheckImage(Canvas, Column.FCheckType, Column.FCheckState, Enabled, false, GlyphPos.X, GlyphPos.Y);
        else FHeader->Images()->Draw(Canvas, GlyphPos.X, GlyphPos.Y, Column.FImageIndex, Enabled);
        Column.FHasImage = true;
        Column.FImageRect = TRect{GlyphPos.X, GlyphPos.Y, GlyphPos.X + Glyph.cx, GlyphPos.Y + Glyph.cy};
    }
    const String Caption = Column.GetText();
    if (!Taken.Contains(TBaseLazyTree::hpeText) && !Caption.empty())
        DrawHeaderCaption(Canvas, Options.Contains(coWrapCaption) ? Column.FCaptionText : Caption, Text, Enabled,
                          Hover && FHeader->Options.Contains(hoHotTrack) && !Theme, Format);
    if (!Taken.Contains(TBaseLazyTree::hpeSortGlyph) && ShowSortGlyph) {
        HTHEME Explorer = T->TreeStates().Contains(tsUseExplorerTheme) ? OpenThemeData(T, u"HEADER") : HTHEME(0);
        if (Explorer) {
            DrawThemeBackground(Explorer, Canvas, HP_HEADERSORTARROW,
                                FHeader->SortDirection == sdAscending ? HSAS_SORTEDUP : HSAS_SORTEDDOWN,
                                TRect{SortPos.X, SortPos.Y, SortPos.X + SortSize.cx, SortPos.Y + SortSize.cy});
            CloseThemeData(Explorer);
        } else {
            UtilityImageList()->Draw(Canvas, SortPos.X, SortPos.Y,
                                     SortArrowImage(FHeader->SortDirection, T->TreeStates().Contains(tsUseThemes)));
        }
    }
    if (!Taken.Contains(TBaseLazyTree::hpeDropMark) && DropMark != TBaseLazyTree::dmmNone) {
        TImageList& Utilities = *UtilityImageList();
        const bool Left = DropMark == TBaseLazyTree::dmmLeft;
        Utilities.Draw(Canvas, Left ? Cell.Left : Cell.Right - 16, (Cell.Top + Cell.Bottom - Utilities.Height()) / 2,
                       Left ? DropMarkLeftImage : DropMarkRightImage);
    }
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

// ---------------------------------------------------------------------------
// Column glyphs, check boxes and the layout of a header cell
// ---------------------------------------------------------------------------

void TLazyTreeColumn::SetCheckBox(bool Value) {
    if (Value == FCheckBox) return;
    FCheckBox = Value;
    ReportChange();
}

void TLazyTreeColumn::SetCheckType(TCheckType Value) {
    if (Value == FCheckType) return;
    FCheckType = Value;
    ReportChange();
}

void TLazyTreeColumn::SetCheckState(TCheckState Value) {
    if (Value == FCheckState) return;
    FCheckState = Value;
    ReportChange();
}

void TLTHeader::SetImages(TImageList* Value) {
    if (Value == FImages) return;
    FImages = Value;
    if (Value) Value->FreeNotification(FOwner);
    if (!FOwner->IsDestroying()) Invalidate();
}

// A check-box column takes the tree's check pictures, the others the header's images.
TSize TLazyTreeColumn::GlyphSize() const {
    TBaseLazyTree* T = Tree();
    if (FCheckBox && T) return TSize{T->CheckImageSize(), T->CheckImageSize()};
    TImageList* Images = T ? T->Header().Images() : nullptr;
    return Images ? TSize{Images->Width(), Images->Height()} : TSize{};
}

void TLazyTreeColumn::LayOutHeaderCell(TCanvas& Canvas, const TRect& Client, unsigned DrawFormat, TRect& TextBounds,
                                       TSize& SortGlyphSize, TPoint& SortGlyphPos, TPoint& GlyphPos,
                                       bool ShowSortGlyph, bool ShowHeaderGlyph) {
    const int W = Client.Right - Client.Left, H = Client.Bottom - Client.Top;
    const TSize Glyph = ShowHeaderGlyph ? GlyphSize() : TSize{};
    SortGlyphSize = {};
    if (ShowSortGlyph) {
        // The explorer look's arrow has the theme's size, the others are utility pictures.
        TBaseLazyTree* Owner = Tree();
        HTHEME Explorer = Owner && Owner->TreeStates().Contains(tsUseExplorerTheme) ? OpenThemeData(Owner, u"HEADER")
                                                                                     : HTHEME(0);
        if (!Explorer || FAILED(GetThemePartSize(Explorer, &Canvas, HP_HEADERSORTARROW, HSAS_SORTEDUP, nullptr,
                                                 TS_TRUE, SortGlyphSize)))
            SortGlyphSize = TSize{UtilityImageList()->Width(), UtilityImageList()->Height()};
        if (Explorer) CloseThemeData(Explorer);
    }
    const String Text = GetText();
    TSize TextSize;
    if (!Text.empty()) {
        if (FOptions.Contains(coWrapCaption)) {
            // Wrapped once; the unwrapped text left by a layout without coWrapCaption is wrapped anew.
            if (FCaptionText.empty() || FCaptionText == Text)
                FCaptionText = WrapToWidth(Canvas, Text, TRect{0, 0, W, H}, false);
            TRect Measured{0, 0, W, H};
            Canvas.DrawText(FCaptionText, Measured, (DrawFormat & ~unsigned(DT_SINGLELINE | DT_VCENTER)) | DT_CALCRECT);
            TextSize = TSize{Measured.Right - Measured.Left, Measured.Bottom - Measured.Top};
        } else {
            FCaptionText = Text;
            TextSize = Canvas.TextExtent(Text);
            TextSize.cx += 2;
        }
    }
    // Spacing follows an element only when it is there.
    const int GlyphGap = Glyph.cx > 0 ? FSpacing : 0, TextGap = TextSize.cx > 0 ? FSpacing : 0;
    const int SortGap = SortGlyphSize.cx > 0 ? FSpacing : 0;
    const bool Beside = FLayout == blGlyphLeft || FLayout == blGlyphRight;
    TPoint TextPos;
    // Vertical.
    if (Beside) {
        GlyphPos.Y = (H - Glyph.cy) / 2;
        TextPos.Y = std::max(-5, (H - TextSize.cy) / 2);
    } else if (FLayout == blGlyphTop) {
        GlyphPos.Y = (H - (Glyph.cy + TextSize.cy + FSpacing)) / 2;
        TextPos.Y = GlyphPos.Y + Glyph.cy + FSpacing;
    } else {
        TextPos.Y = (H - (Glyph.cy + TextSize.cy + FSpacing)) / 2;
        GlyphPos.Y = TextPos.Y + TextSize.cy + FSpacing;
    }
    SortGlyphPos.Y = (H - SortGlyphSize.cy) / 2;
    // Horizontal: glyph and caption in layout order, the sort arrow after them.
    // A right-to-left column puts the sort arrow before glyph and caption, at their left.
    const bool RightToLeft = UseRightToLeftReading();
    const int Alignment = DrawFormat & (DT_CENTER | DT_RIGHT);
    if (Alignment == DT_RIGHT) {
        SortGlyphPos.X = W - FMargin - SortGlyphSize.cx;
        const int X = RightToLeft ? W - FMargin : SortGlyphPos.X - SortGap;
        if (FLayout == blGlyphLeft) {
            TextPos.X = X - TextSize.cx;
            GlyphPos.X = TextPos.X - GlyphGap - Glyph.cx;
        } else if (FLayout == blGlyphRight) {
            GlyphPos.X = X - Glyph.cx;
            TextPos.X = GlyphPos.X - TextGap - TextSize.cx;
        } else {
            TextPos.X = X - TextSize.cx;
            GlyphPos.X = X - Glyph.cx;
        }
        if (RightToLeft) SortGlyphPos.X = std::min(TextPos.X - TextGap, GlyphPos.X - GlyphGap) - SortGlyphSize.cx;
    } else {
        int X = FMargin;
        if (RightToLeft && Alignment != DT_CENTER) {
            SortGlyphPos.X = FMargin;
            X += SortGlyphSize.cx + SortGap;
        }
        if (Alignment == DT_CENTER)
            X = Beside ? (W - (Glyph.cx + (TextSize.cx > 0 ? GlyphGap : 0) + TextSize.cx)) / 2
                       : (W - TextSize.cx) / 2;
        if (FLayout == blGlyphLeft) {
            GlyphPos.X = X;
            TextPos.X = X + Glyph.cx + GlyphGap;
            SortGlyphPos.X = TextPos.X + TextSize.cx + TextGap;
        } else if (FLayout == blGlyphRight) {
            TextPos.X = X;
            GlyphPos.X = X + TextSize.cx + TextGap;
            SortGlyphPos.X = GlyphPos.X + Glyph.cx + GlyphGap;
        } else {
            TextPos.X = X;
            GlyphPos.X = Alignment == DT_CENTER ? (W - Glyph.cx) / 2 : X;
            SortGlyphPos.X = std::max(TextPos.X + TextSize.cx + TextGap, GlyphPos.X + Glyph.cx + GlyphGap);
        }
        if (RightToLeft && Alignment == DT_CENTER) SortGlyphPos.X = TextPos.X - SortGap - SortGlyphSize.cx;
        else if (RightToLeft) SortGlyphPos.X = FMargin;
    }
    // Limits.
    SortGlyphPos.X = std::max(FMargin, std::min(SortGlyphPos.X, W - FMargin - SortGlyphSize.cx));
    const int TextLimit = ShowSortGlyph && !RightToLeft ? SortGlyphPos.X - FSpacing : W;
    if (ShowHeaderGlyph) {
        GlyphPos.X = std::max(FMargin, std::min(GlyphPos.X, TextLimit - Glyph.cx));
        TBaseLazyTree* T = Tree();
        const bool Main = T && Index() == T->Header().GetMainColumn();
        if (!Main || FCheckBox) GlyphPos.X -= 2;
        if (FLayout == blGlyphLeft) TextPos.X = std::max(TextPos.X, GlyphPos.X + Glyph.cx);
    }
    TextBounds = TRect{TextPos.X, TextPos.Y, std::min(TextPos.X + TextSize.cx, TextLimit), TextPos.Y + TextSize.cy};
    if (TextBounds.Right < TextBounds.Left) TextBounds.Right = TextBounds.Left;
    OffsetRect(TextBounds, Client.Left, Client.Top);
    GlyphPos.X += Client.Left;
    GlyphPos.Y += Client.Top;
    SortGlyphPos.X += Client.Left;
    SortGlyphPos.Y += Client.Top;
}
