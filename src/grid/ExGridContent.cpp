// The text inside a cell: insets, single-line, wrapped and multi-line
// layouts with their ellipsis, links without their scheme, masked password
// cells, markup texts with their in-text controls and blinking parts, the sort indicator of the sorted column's
// header and the rectangle around the selection.
#include "grid/ExGrid.h"

#include "grid/foundation/GridColors.h"
#include "grid/foundation/GridText.h"
#include "grid/foundation/MarkupRender.h"

#include "framework/Resources.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Settings: each repaints the grid.

void TExStringGrid::SetMultilinecells(bool Value) {
    FTools->Multilinecells = Value;
    InvalidateGrid();
}
void TExStringGrid::SetEnhTextSize(bool Value) {
    FEnhTextSize = Value;
    InvalidateGrid();
}
void TExStringGrid::SetURLShow(bool Value) {
    if (Value == FURLShow) return;
    FURLShow = Value;
    InvalidateGrid();
}
void TExStringGrid::SetURLShowInText(bool Value) {
    if (Value == FURLShowInText) return;
    FURLShowInText = Value;
    InvalidateGrid();
}
void TExStringGrid::SetURLFull(bool Value) {
    FURLFull = Value;
    if (FURLShow) InvalidateGrid();
}
void TExStringGrid::SetURLColor(TColor Value) {
    if (Value == FURLColor) return;
    FURLColor = Value;
    if (FURLShow) InvalidateGrid();
}
void TExStringGrid::SetPasswordChar(Char Value) {
    FPasswordChar = Value;
    InvalidateGrid();
}
void TExStringGrid::SetSelectionRectangle(bool Value) {
    if (Value == FSelectionRectangle) return;
    FSelectionRectangle = Value;
    InvalidateGrid();
}
void TExStringGrid::SetSelectionRectangleColor(TColor Value) {
    FSelectionRectangleColor = Value;
    InvalidateGrid();
}
void TExStringGrid::SetSelectionResizer(bool Value) {
    if (Value == FSelectionResizer) return;
    FSelectionResizer = Value;
    InvalidateGrid();
}
void TExStringGrid::SetXYOffsetTopLeftOnly(bool Value) {
    FXYOffsetTopLeftOnly = Value;
    InvalidateGrid();
}
void TExStringGrid::SetEnableHTML(bool Value) {
    if (Value == FEnableHTML) return;
    FEnableHTML = Value;
    InvalidateGrid();
}
void TExStringGrid::SetURLUnderlineOnHover(bool Value) {
    if (Value == FURLUnderlineOnHover) return;
    FURLUnderlineOnHover = Value;
    if (!Value) {
        FHoverCell = {-1, -1};
        FHoverLink = 0;
    }
    InvalidateGrid();
}
void TExStringGrid::SetEnableBlink(bool Value) {
    FEnableBlink = Value;
    // Switched off in the hidden half, the text would stay hidden.
    if (!Value && FGridBlink) {
        FGridBlink = false;
        InvalidateGrid();
    }
}

int TExStringGrid::GridTextKind(const String& Text) const { return CellTextKind(Text, FEnableHTML); }

bool TExStringGrid::DoIsPasswordCell(int ACol, int ARow) {
    bool password = false;
    if (OnIsPasswordCell) OnIsPasswordCell(this, ARow, ACol, password);
    return password;
}

void TExStringGrid::DoGetWordWrap(int ACol, int ARow, bool& WW) {
    if (OnGetWordWrap) OnGetWordWrap(this, ACol, ARow, WW);
}

// ---------------------------------------------------------------------------
// Text

void TExStringGrid::DrawCellText(TCanvas& C, int ACol, int RCol, int ARow, TRect R, TGridDrawState AState) {
    String text = GetFormattedCell(RCol, ARow);
    if (DoIsPasswordCell(RCol, ARow)) text.assign(text.size(), FPasswordChar);
    // The data tools paint the filter row's button over the right 16 pixels.
    const bool filter = ARow == FFilterDropDownRow && DoGetColumnFilter(RCol);
    const bool sortShown = SortIndicatorShown(ACol, RCol, ARow);
    if (text.empty() && !sortShown) return;

    if (GridTextKind(text) == MarkupTextKind) {
        DrawCellMarkup(C, ACol, RCol, ARow, R, AState, text, filter, sortShown);
        return;
    }

    TRect tr = R;
    tr.Left += FXYOffset.X;
    tr.Top += FXYOffset.Y - 1;
    if (!FXYOffsetTopLeftOnly) tr.Right -= FXYOffset.X;
    if (filter) tr.Right -= 16;
    TVAlignment va = FVAlignment;
    const TAlignment ha = CellAlignment(RCol, ARow, &va);
    if (sortShown && ha == taCenter) tr.Left += 10;
    FitTextBesideGraphic(tr, ha);

    // Links: shown without their scheme, underlined in the link colour.
    const TFont keep = [&] {
        TFont f;
        f.Assign(&C.Font());
        return f;
    }();
    if (FURLShow && IsURLText(text)) {
        if (!FURLFull) StripURLProtocol(text);
        const bool selected = AState.Contains(gdSelected) && FShowSel && FSelectionTextColor != clNone;
        C.Font().SetColor(selected ? FSelectionTextColor : FURLColor);
        C.Font().SetStyle(C.Font().Style() + TFontStyles{fsUnderline});
    }

    // Layout: a cell that does not wrap shows its first line only (every
    // text counts as one line without Multilinecells); a text that fits on
    // one line keeps the vertical alignment.
    bool ww = WordWrap();
    if (CellPropsAssigned(RCol, ARow)) ww = GetCellProperties(RCol, ARow)->WordWrap();
    DoGetWordWrap(RCol, ARow, ww);
    const bool multi = Multilinecells() && text.find(u'\n') != String::npos;
    unsigned flags = DT_NOPREFIX | DT_EXPANDTABS;
    flags |= ha == taRightJustify ? DT_RIGHT : ha == taCenter ? DT_CENTER : DT_LEFT;
    if (!multi && !ww) {
        if (const auto p = text.find_first_of(u"\r\n"); p != String::npos) text.resize(p);
    }
    const bool oneLine = text.find(u'\n') == String::npos && (!ww || C.TextWidth(text) <= tr.Right - tr.Left);
    if (oneLine) {
        flags |= DT_SINGLELINE;
        if (va == vtaCenter) flags |= DT_VCENTER;
        if (va == vtaBottom) flags |= DT_BOTTOM;
        if (FEnhTextSize) flags |= DT_END_ELLIPSIS;
    } else {
        flags |= DT_WORDBREAK | DT_EDITCONTROL;
        if (FEnhTextSize && !Multilinecells()) flags |= DT_END_ELLIPSIS;
    }
    if (!text.empty()) {
        NoteTextWidth(C, text, tr, flags);
        C.Brush().SetStyle(bsClear);
        TRect dr = tr;
        C.DrawText(text, dr, flags);
        C.Brush().SetStyle(bsSolid);
        DrawErrorUnderline(C, text, tr, RCol, ARow);
    }

    if (sortShown) {
        const String first = text.substr(0, text.find_first_of(u"\r\n"));
        const int w = std::min(C.TextWidth(first), R.Right - R.Left - 16);
        // A graphic at the left keeps the indicator after it, though the text does not move.
        const int left = FPaintGraphic.Graphic && FPaintGraphic.HAlign == haLeft ? FPaintGraphic.Width : 0;
        const int x = ha == taRightJustify ? tr.Right - w - 10 : ha == taCenter ? R.Left + 8 : tr.Left + left + w + 10;
        const int y = va == vtaCenter ? (R.Top + R.Bottom) / 2 : va == vtaBottom ? R.Bottom - 8 : R.Top + 8;
        DrawSortIndicator(C, x, y, RCol);
    }
    C.Font().Assign(&keep);
}

// The markup renderer lays out a markup text and its in-text controls; a
// BUTTON control is drawn pressed in the cell where it was pressed, while the
// mouse is down on it.
void TExStringGrid::DrawCellMarkup(TCanvas& C, int ACol, int RCol, int ARow, const TRect& R, TGridDrawState AState,
                                   const String& Text, bool Filter, bool SortShown) {
    TRect tr = R;
    tr.Left += FXYOffset.X - 1;
    tr.Top += FXYOffset.Y;
    if (!FXYOffsetTopLeftOnly) tr.Right -= FXYOffset.X;
    if (Filter) tr.Right -= 18;
    if (SortShown) tr.Right -= 10;
    FitTextBesideGraphic(tr, taLeftJustify);

    TMarkupDrawArgs in;
    in.Images = FGridImages;
    in.Pictures = FPictureContainer;
    in.PictureCache = &FImageCache;
    in.WindowHandle = this;
    in.ShadowColor = clGray;
    const bool selected = AState.Contains(gdSelected) && FShowSel && FSelectionTextColor != clNone;
    in.LinkColor = selected ? FSelectionTextColor : FURLColor;
    // The anchor or control under the mouse answers to it only in the cell the mouse is in.
    const TPoint mouse = ScreenToClient(GetCursorPos());
    if (PtInRect(R, mouse)) {
        in.MouseX = mouse.X;
        in.MouseY = mouse.Y;
    }
    in.MousePressed = FCtrlDown && FCtrlXY.X == RCol && FCtrlXY.Y == ARow;
    in.HoverUnderlineOnly = FURLUnderlineOnHover;
    if (FHoverCell == TPoint{ACol, ARow}) in.HoverAnchorNumber = FHoverLink;
    in.BlinkVisible = !FGridBlink;
    in.EndEllipsis = FEnhTextSize;
    TMarkupDrawResult out;
    C.Brush().SetStyle(bsClear);
    {
        // The renderer's highlight colours are shared by every markup text; this grid's hold for its cells only.
        THiLightColorsScope hi(FHighlightColor, FHighlightTextColor);
        DrawHTMLText(C, Text, tr, in, out);
    }
    C.Brush().SetStyle(bsSolid);
    if (FPaintGraphic.Graphic && out.ExtentX > 0) FPaintTextWidth = out.ExtentX + 2;

    if (SortShown) {
        const int y = FVAlignment == vtaCenter   ? (R.Top + R.Bottom) / 2
                      : FVAlignment == vtaBottom ? R.Bottom - 8
                                                 : R.Top + 8;
        DrawSortIndicator(C, tr.Right + 2, y, RCol);
    }
}

// ---------------------------------------------------------------------------
// Sort indicator

bool TExStringGrid::ShowsSortIndicator(int ACol, int ARow) {
    const int row = IsMergedCell(ACol, ARow) ? ARow + CellSpan(ACol, ARow).Y : ARow;
    return row == FSortSettings.Row() && FSortSettings.Show() && TCustomGrid::FixedRows() + 1 < RowCount();
}

bool TExStringGrid::SortIndicatorShown(int ACol, int RCol, int ARow) {
    const TSortSettings& s = FSortSettings;
    if (TCustomGrid::FixedRows() <= 0 || !ShowsSortIndicator(ACol, ARow)) return false;
    if (ACol < TCustomGrid::FixedCols() && !s.FixedCols()) return false;
    if (RCol == s.Column()) return true;
    const int i = SortIndexes().FindIndex(RCol);
    return i == 0 || (i > 0 && s.IndexShow());
}

void TExStringGrid::DrawSortIndicator(TCanvas& C, int X, int Y, int RCol) {
    const TSortSettings& s = FSortSettings;
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    const int i = s.IndexShow() ? SortIndexes().FindIndex(RCol) : -1;
    if (i >= 0) {
        // A numbered, filled triangle per sort key.
        C.Brush().SetColor(s.IndexColor());
        C.Brush().SetStyle(bsSolid);
        C.Pen().SetColor(clBlack);
        const bool down = !SortIndexes().GetSortDirections(i);
        if (!s.IndexUpGlyph().Empty() && !s.IndexDownGlyph().Empty()) {
            // The settings' pictures name the entry the other way round: a
            // descending one shows the up picture.
            TBitmap& glyph = down ? s.IndexUpGlyph() : s.IndexDownGlyph();
            glyph.SetTransparent(true);
            C.Draw(X - 7, Y - 7, glyph);
        } else if (down) {
            C.Polygon({{X - 7, Y - 5}, {X + 7, Y - 5}, {X, Y + 8}});
        } else {
            C.Polygon({{X - 6, Y + 8}, {X + 6, Y + 8}, {X, Y - 4}});
        }
        TFont keep;
        keep.Assign(&C.Font());
        C.Font().SetColor(clBlack);
        C.Font().SetSize(6);
        C.Font().SetStyle({});
        C.Brush().SetStyle(bsClear);
        C.TextOut(X - 2, down ? Y - 4 : Y - 2, IntToStr(i + 1));
        C.Brush().SetStyle(bsSolid);
        C.Font().Assign(&keep);
        return;
    }
    if (!s.UpGlyph().Empty() && !s.DownGlyph().Empty()) {
        TBitmap& glyph = s.Direction() == sdDescending ? s.DownGlyph() : s.UpGlyph();
        glyph.SetTransparent(true);
        C.Draw(X - 4, Y - 4, glyph);
        C.Brush().SetColor(FixedColor());
        return;
    }
    if (s.Direction() == sdDescending) {
        C.Pen().SetColor(clWhite);
        C.MoveTo(X + 4, Y - 4);
        C.LineTo(X, Y + 4);
        C.Pen().SetColor(clGray);
        C.LineTo(X - 4, Y - 4);
        C.LineTo(X + 4, Y - 4);
    } else {
        C.Pen().SetColor(clWhite);
        C.MoveTo(X - 4, Y + 4);
        C.LineTo(X + 4, Y + 4);
        C.LineTo(X, Y - 4);
        C.Pen().SetColor(clGray);
        C.LineTo(X - 4, Y + 4);
    }
    C.Pen().SetColor(clBlack);
}

// ---------------------------------------------------------------------------
// Selection rectangle

void TExStringGrid::DrawSelectionRectangle(TCanvas& C, int ACol, int ARow, TRect R) {
    if (!FSelectionRectangle || IsFixed(ACol, ARow)) return;
    const TGridRect sel = Selection();
    if (ACol < sel.Left || ACol > sel.Right || ARow < sel.Top || ARow > sel.Bottom) return;
    const int lw = GridLineWidth();
    C.Pen().SetStyle(psSolid);
    C.Pen().SetColor(FSelectionRectangleColor);
    C.Pen().SetWidth(2);
    auto line = [&C](int X1, int Y1, int X2, int Y2) {
        C.MoveTo(X1, Y1);
        C.LineTo(X2, Y2);
    };
    const int left = R.Left - lw + 1, top = R.Top - lw + 1;
    if (ACol == sel.Left) line(left, top, left, R.Bottom);
    if (ACol == sel.Right) line(R.Right - 1, top, R.Right - 1, R.Bottom);
    if (ARow == sel.Top) line(left, top, R.Right, top);
    if (ARow == sel.Bottom) line(left, R.Bottom, R.Right, R.Bottom);
    if (FSelectionResizer && ACol == sel.Right && ARow == sel.Bottom) {
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(FSelectionRectangleColor);
        C.FillRect(Rect(R.Right - 4, R.Bottom - 4, R.Right, R.Bottom));
    }
    C.Pen().SetWidth(1);
}

// ---------------------------------------------------------------------------
// Comment marks

void TExStringGrid::AddColorComment(int ACol, int ARow, const String& Comment, TColor AColor) {
    AddComment(ACol, ARow, Comment);
    if (TCellGraphic* g = OwnGraphic(ACol, ARow)) g->CellIndex = int(AColor);
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::DrawCommentMark(TCanvas& C, const TCellGraphic& G, TRect R) {
    if (FControlLook.CommentColor == clNone) return;
    InflateRect(R, -(FXYOffset.X - 1), -(FXYOffset.Y - 1));
    const TColor own = TColor(G.CellIndex);
    const TColor colour = G.CellIndex >= 0 && own != clNone ? own : FControlLook.CommentColor;
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(colour);
    C.Pen().SetColor(colour);
    C.Pen().SetWidth(1);
    C.Polygon({{R.Right - 7, R.Top}, {R.Right - 2, R.Top}, {R.Right - 2, R.Top + 5}});
}

// ---------------------------------------------------------------------------
// Blinking markup

void TExStringGrid::BlinkTick() {
    if (!FEnableBlink) return;
    FGridBlink = !FGridBlink;
    // Texts are read at their stored column and repainted where they are shown.
    auto repaint = [this](int C, int R) {
        if (C < 0 || R < 0 || C >= TotalColCount() || R >= RowCount() || IsHiddenColumn(C)) return;
        if (AnsiUpperCase(GetCellEx(C, R)).find(u"<BLI") != String::npos) RepaintCell(DisplColIndex(C), R);
    };
    const int top = TopRow(), bottom = TopRow() + VisibleRowCount() - 1;
    const int left = LeftCol(), right = LeftCol() + VisibleColCount() - 1;
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right + NumHiddenColumns(); ++c) repaint(c, r);
    for (int r = 0; r < TCustomGrid::FixedRows(); ++r)
        for (int c = left; c <= right; ++c) repaint(c, r);
    for (int c = 0; c < TCustomGrid::FixedCols(); ++c)
        for (int r = top; r <= bottom; ++r) repaint(c, r);
}
