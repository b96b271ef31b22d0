// The grid control's paint pass: the look of each cell (fixed cells,
// selection, per-cell colours), the fixed-cell frame of the looks, the text,
// the check-box glyphs, the focus rectangle and the border frame.
#include "grid/ExGrid.h"

#include "grid/foundation/GridColors.h"
#include "grid/foundation/GridText.h"

#include "framework/Themes.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// Colour mix: each channel round(w/100 * a + (1 - w/100) * b), half to even.

TColor MixColors(TColor A, TColor B, int W) {
    if (W >= 100) return A;
    if (W < 1 || A == clNone) return B;
    if (B == clNone) return A;
    TColor a = ColorToRGB(A), b = ColorToRGB(B);
    auto mix = [W](int x, int y) {
        double v = std::nearbyint(W / 100.0 * x + (1.0 - W / 100.0) * y);
        return std::min(255, int(v));
    };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void TExStringGrid::SetSelectionColorMixerFactor(int Value) { FSelectionColorMixerFactor = std::clamp(Value, 0, 100); }

// ---------------------------------------------------------------------------
// The look of one cell

namespace {

// The owner's gradient for a cell, from the colour reached so far.
void AskCellGradient(TExStringGrid& G, int RCol, int ARow, TBrush& ABrush, TColor& AColorTo, TColor& AMirrorColor,
                     TColor& AMirrorColorTo, TCellGradientDirection& GD) {
    if (!G.OnGetCellGradient) return;
    TColor from = ABrush.Color();
    G.OnGetCellGradient(&G, ARow, RCol, from, AColorTo, AMirrorColor, AMirrorColorTo, GD);
    ABrush.SetColor(from);
}

}  // namespace

void TExStringGrid::DoGetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush& ABrush, TFont& AFont) {
    // The headers of the current cell: its row's in the last fixed column, its column's in the last fixed row.
    if (FActiveCellShow) {
        const int fc = TCustomGrid::FixedCols(), fr = TCustomGrid::FixedRows();
        const int d = DisplColIndex(ACol);
        if ((fc > 0 && ARow == Row() && d == fc - 1) || (fr > 0 && d == Col() && ARow == fr - 1)) {
            AFont.Assign(&FActiveCellFont);
            ABrush.SetColor(FActiveCellColor);
        }
    }
    if (CellPropsAssigned(ACol, ARow)) {
        TCellProperties* p = GetCellProperties(ACol, ARow);
        // Cells whose graphic paints the background keep the brush they were given.
        const TCellType kind = GetCellType(ACol, ARow);
        const bool plain = kind == ctIcon || kind == ctNone || kind == ctImageList || kind == ctEmpty ||
                           kind == ctImages || kind == ctComment;
        if (plain && p->BrushColor() != clNone) ABrush.SetColor(p->BrushColor());
        if (p->FontColor() != clNone) AFont.SetColor(p->FontColor());
        if (!p->FontStyle().Empty()) AFont.SetStyle(p->FontStyle());
        if (p->FontSize() != 0) AFont.SetSize(p->FontSize());
        if (!p->FontName().empty()) AFont.SetName(p->FontName());
    }
    if (OnGetCellColor) OnGetCellColor(this, ARow, ACol, AState, ABrush, AFont);
}


TAlignment TExStringGrid::DoGetAlignment(int ACol, int ARow) {
    if (CellPropsAssigned(ACol, ARow)) return GetCellProperties(ACol, ARow)->Alignment();
    return FDefaultAlignment;
}

void TExStringGrid::GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool,
                                        TBrush& ABrush, TColor& AColorTo, TColor& AMirrorColor,
                                        TColor& AMirrorColorTo, TFont& AFont, TAlignment& HA, TVAlignment& VA,
                                        bool& WW, TCellGradientDirection& GD) {
    int rc = RealColIndex(ACol);
    bool fixed = AState.Contains(gdFixed) || IsFixed(ACol, ARow);
    HA = CellAlignment(rc, ARow, &VA);
    WW = WordWrap();
    GD = GradientVertical;
    AMirrorColor = clNone;
    AMirrorColorTo = clNone;
    if (fixed) {
        AState.Include(gdFixed);
        AFont.Assign(&FFixedFont);
        ABrush.SetColor(FixedColor());
        AColorTo = clNone;
        // The looks from glGPK on paint the fixed gradient, unless the cell has its own colour.
        const bool own = CellPropsAssigned(rc, ARow) && GetCellProperties(rc, ARow)->BrushColor() != clNone;
        if (FLook >= glGPK && !FFlat && !own) {
            ABrush.SetColor(FGPKGradientFrom);
            AColorTo = FGPKGradientTo;
            AMirrorColor = FGPKGradientMirrorFrom;
            AMirrorColorTo = FGPKGradientMirrorTo;
        }
        DoGetCellColor(rc, ARow, AState, ABrush, AFont);
        AskCellGradient(*this, rc, ARow, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, GD);
        if (FZoomFactor != 0) AFont.SetSize(AFont.Size() + FZoomFactor);
        ApplyDisabledFont(ARow, AFont);
        return;
    }
    ABrush.SetColor(BandColor(ACol, ARow, Print, rc));
    AColorTo = clNone;
    DoGetCellColor(rc, ARow, AState, ABrush, AFont);
    if (Select && !Print) ApplyDisjunctSelection(ACol, ARow, AState);
    AskCellGradient(*this, rc, ARow, ABrush, AColorTo, AMirrorColor, AMirrorColorTo, GD);
    if (Select && FShowSel && AState.Contains(gdSelected)) {
        TColor own = ABrush.Color();
        if (FSelectionColor != clNone)
            ABrush.SetColor(!FSelectionColorMixer || ColorToRGB(own) == ColorToRGB(Color())
                                ? FSelectionColor
                                : MixColors(FSelectionColor, own, FSelectionColorMixerFactor));
        else if (!AState.Contains(gdFocused))
            ABrush.SetColor(clHighlight);  // no selection colour: the platform's, unless focused
        if (FSelectionTextColor != clNone) AFont.SetColor(FSelectionTextColor);
        AColorTo = FSelectionColorTo;
        AMirrorColor = FSelectionMirrorColor;
        AMirrorColorTo = FSelectionMirrorColorTo;
    } else
        AState.Exclude(gdSelected);
    // Zooming adds its steps to every cell's font size.
    if (FZoomFactor != 0) AFont.SetSize(AFont.Size() + FZoomFactor);
    ApplyDisabledFont(ARow, AFont);
}

// The background of a normal cell before its own and its column's colours:
// the bands' colour where they are active, else the grid's.
TColor TExStringGrid::BandColor(int ACol, int ARow, bool Print, int RCol) {
    if (!FBands.Active() || (Print && !FBands.Print()) || FBands.TotalLength() <= 0) return Color();
    if (ACol < FixedCols() || ARow < FixedRows() || ARow >= RowCount() - FFixedFooters) return Color();
    if (RCol >= ColCount() + FNumHidden - FFixedRightCols) return Color();
    if (CellPropsAssigned(RCol, ARow) && GetCellProperties(RCol, ARow)->BrushColor() != clNone) return Color();
    return (ARow - FixedRows()) % FBands.TotalLength() < FBands.PrimaryLength() ? FBands.PrimaryColor()
                                                                               : FBands.SecondaryColor();
}

// ---------------------------------------------------------------------------
// Check-box glyphs, 16 x 16, drawn anew: checked and unchecked, each enabled
// and for a cell that cannot be edited.

namespace {

struct TCheckGlyph {
    const char16_t* Name;
    bool Checked;
    bool Enabled;
};

constexpr TCheckGlyph CheckGlyphs[] = {
    {u"EXGCHK05", true, true},
    {u"EXGCHK06", false, true},
    {u"EXGCHK07", true, false},
    {u"EXGCHK08", false, false},
};

// The colours of a glyph set: frame, fill and tick, enabled and disabled.
struct TGlyphColors {
    TColor FrameEnabled, FrameDisabled, FillEnabled, FillDisabled, MarkEnabled, MarkDisabled;
};

// "EXGCHK05" .. "EXGCHK08" of csWinXP.
constexpr TGlyphColors WinXPGlyphs{0x80511C, 0xB5B5B5, clWhite, 0xF0F0F0, 0x21A121, 0xA0A0A0};
// "EXGCHK01" .. "EXGCHK04" of csGPK: the same marks on a blue-grey frame.
constexpr TGlyphColors GPKGlyphs{0x8B6A4E, 0xC0B8B0, 0xFFF8F0, 0xF0F0F0, 0x3C3C3C, 0xA0A0A0};
constexpr int GlyphSize = 16;

void DrawCheckGlyph(TCanvas& C, int X, int Y, const TCheckGlyph& G, const TGlyphColors& K) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(G.Enabled ? K.FrameEnabled : K.FrameDisabled);
    C.FillRect(Rect(X + 1, Y + 1, X + 14, Y + 14));
    C.Brush().SetColor(G.Enabled ? K.FillEnabled : K.FillDisabled);
    C.FillRect(Rect(X + 2, Y + 2, X + 13, Y + 13));
    if (!G.Checked) return;
    C.Brush().SetColor(G.Enabled ? K.MarkEnabled : K.MarkDisabled);
    // A tick of 3-pixel-high strokes: down from the left, up to the right.
    const int pts[][2] = {{4, 7}, {5, 8}, {6, 9}, {7, 8}, {8, 7}, {9, 6}, {10, 5}};
    for (const auto& p : pts) C.FillRect(Rect(X + p[0], Y + p[1], X + p[0] + 1, Y + p[1] + 3));
}

}  // namespace

// Grayed: the mixed state of a three-state box. The picture styles have no
// mixed picture and show it unchecked; the vintage box gets a grey tick.
void TExStringGrid::DrawCheckBox(TCanvas& C, TRect R, bool Checked, bool Enabled, bool Grayed) {
    int x = R.Left + (R.Right - R.Left - GlyphSize) / 2;
    int y = R.Top + (R.Bottom - R.Top - GlyphSize) / 2;
    if (FControlLook.ControlStyle == csTheme) {
        if (HTHEME theme = OpenThemeData(this, u"button")) {
            int state = Grayed    ? (Enabled ? CBS_MIXEDNORMAL : CBS_MIXEDDISABLED)
                        : Checked ? (Enabled ? CBS_CHECKEDNORMAL : CBS_CHECKEDDISABLED)
                                  : (Enabled ? CBS_UNCHECKEDNORMAL : CBS_UNCHECKEDDISABLED);
            DrawThemeBackground(theme, C, BP_CHECKBOX, state, Bounds(x, y, GlyphSize, GlyphSize), nullptr);
            CloseThemeData(theme);
            return;
        }
    }
    const TGridControlStyle style = FControlLook.ControlStyle;
    if (style == csGlyph) {
        TBitmap& glyph = Checked ? FControlLook.CheckedGlyph : FControlLook.UnCheckedGlyph;
        if (glyph.Empty()) return;
        glyph.SetTransparent(true);
        C.Draw(x, y, glyph);
        return;
    }
    if (style == csVintage) {
        // A button-face box with raised edges and a two-pixel tick.
        const int s = FControlLook.CheckSize;
        const TRect b = Bounds(x, y, s, s);
        C.Brush().SetColor(Enabled ? clBtnFace : clBtnShadow);
        C.Pen().SetColor(clBtnFace);
        C.Rectangle(b.Left, b.Top, b.Right, b.Bottom);
        DrawRaisedFrame(C, b, clBtnHighlight, clBtnShadow);
        if (!Checked && !Grayed) return;
        C.Pen().SetColor(Enabled && !Grayed ? FControlLook.Color : clGray);
        C.Pen().SetWidth(1);
        C.MoveTo(b.Left + 2, b.Top + s / 2);
        C.LineTo(b.Left + 2, b.Bottom - 2);
        C.MoveTo(b.Left + 3, b.Top - 1 + s / 2);
        C.LineTo(b.Left + 3, b.Bottom - 3);
        C.MoveTo(b.Left + 2, b.Bottom - 2);
        C.LineTo(b.Right - 2, b.Top + 2);
        C.MoveTo(b.Left + 3, b.Bottom - 2);
        C.LineTo(b.Right - 1, b.Top + 2);
        return;
    }
    if (style == csClassic || style == csFlat || style == csTheme) {
        // The platform's frame-control box, centred, at CheckSize.
        const int s = FControlLook.CheckSize;
        TRect b = Bounds(R.Left + (R.Right - R.Left - s) / 2, R.Top + (R.Bottom - R.Top - s) / 2, s, s);
        unsigned state = DFCS_BUTTONCHECK;
        if (Checked) state |= DFCS_CHECKED;
        if (Grayed) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
        if (style == csFlat) state |= DFCS_FLAT;
        if (!Enabled) state |= DFCS_INACTIVE;
        DrawFrameControl(C, b, DFC_BUTTON, state);
        return;
    }
    const TGlyphColors& colors = style == csGPK ? GPKGlyphs : WinXPGlyphs;
    for (const TCheckGlyph& g : CheckGlyphs)
        if (g.Checked == Checked && g.Enabled == Enabled) DrawCheckGlyph(C, x, y, g, colors);
}

// ---------------------------------------------------------------------------
// Painting one cell

void TExStringGrid::DrawGridCell(TCanvas& C, int ACol, int ARow, TRect ARect, TGridDrawState AState) {
    int rc = RealColIndex(ACol);
    bool fixed = AState.Contains(gdFixed);
    TColor fontColor = C.Font().Color();
    const int fontSize = C.Font().Size();
    TRect R = ARect;
    DrawCellScrollBar(C, rc, ARow, R);
    const bool gradientLook =
        FLook == glGPK || FLook == glXP || FLook == glVista || FLook == glWin7 || FLook == glOffice2007;
    if (fixed && gradientLook) {
        TRect h = R;
        DrawFixedHoverDown(C, ACol, rc, ARow, h);
        if (h.Bottom == R.Bottom) DrawFixedHighlight(C, ACol, rc, ARow, R);
        else R.Right = h.Right;
    }
    const int indicator = DrawRowIndicator(C, rc, ARow, R);
    if (fixed && FLook == glListView && !FFlat) DrawListViewHeader(C, ACol, ARow, R);
    if (ACol == 0) DrawModifiedMark(C, ARow, R);
    if (FZoomFactor != 0) C.Font().SetSize(std::max(1, fontSize + FZoomFactor));
    if (OnCustomCellBkgDraw) OnCustomCellBkgDraw(this, C, ACol, ARow, AState, R, false);
    const int right = R.Right;
    if (!IsFixed(ACol, ARow)) DrawAlwaysVisibleButtons(C, rc, ARow, R);

    DrawCellBackGround(C, ACol, rc, ARow, R, AState);
    // Content: the text with the graphic beside it, or the graphic alone.
    FPaintGraphic = GetCellGraphicLayout(rc, ARow);
    // A group row's glyph takes the room of its level's indent.
    if (rc == 0 && FHasNodeRows && IsNode(ARow)) FPaintGraphic.Width = GetNodeLevel(ARow) * 12 + 4;
    FPaintNodeIndent = rc == 0 && FHasNodeRows && !IsNode(ARow) ? FTools->NodeIndentOf(ARow) : 0;
    FPaintTextWidth = 0;
    FPaintTextAlign = taLeftJustify;
    TCellGraphic* g = FPaintGraphic.Graphic;
    TCellType kind = g ? g->CellType : ctEmpty;
    // Graphics of fixed cells stand one pixel lower, below the header's highlight line.
    TRect gr = R;
    if (fixed) gr.Top += 1;
    if (rc == 0 && FHasNodeRows) FTools->PaintNodeColumn(C, ARow, R, fixed);
    if (kind == ctRotated) {
        DrawRotatedText(C, rc, ARow, R, g->CellAngle);
    } else if (CellTextKind(GetCellEx(rc, ARow), true) == RichTextKind) {
        DrawCellRTF(rc, ARow, R, C);
    } else if (g && !GraphicKeepsText(kind)) {
        DrawCellGraphic(C, rc, ARow, gr, *g);
    } else {
        // NoImageAndText leaves a cell with a graphic to its graphic.
        const bool withText = !FNoImageAndText || kind == ctEmpty;
        if (withText && kind == ctScrollbar) DrawScrolledCellText(C, ACol, rc, ARow, R, AState);
        else if (withText) DrawCellText(C, ACol, rc, ARow, R, AState);
        if (kind == ctComment) DrawCommentMark(C, *g, R);
        if (g) DrawCellGraphic(C, rc, ARow, gr, *g);
    }
    FPaintGraphic = {};
    FPaintNodeIndent = 0;
    FTools->PaintFilterButton(C, rc, ARow, R);
    DrawSelectionRectangle(C, ACol, ARow, R);
    C.Font().SetColor(fontColor);
    C.Font().SetSize(fontSize);
    R.Right = right;
    {
        TRect b = R;
        if (ACol == 0) b.Left -= indicator;
        DrawCellBorders(C, ACol, ARow, b);
    }
    // The fixed-cell edges of the looks (a line in half the fixed colour at
    // the bottom and white highlight lines at the top and left for glXP).
    if (fixed) DrawLookFrame(C, rc, R);
    if (OnCustomCellDraw) OnCustomCellDraw(this, C, ACol, ARow, AState, R, false);

    // Focus rectangle on the current normal cell of a focused grid.
    if (!FHideFocusRect && !fixed && Focused() && !Options().Contains(goRowSelect)) {
        TPoint b = BaseCell(rc, ARow);
        if (DisplColIndex(b.X) == Col() && b.Y == Row()) {
            TRect fr = R;
            InflateRect(fr, GridLineWidth() - 1, GridLineWidth() - 1);
            fr.Right -= 1;
            fr.Bottom -= 1;
            C.Brush().SetColor(clWhite);
            C.Font().SetColor(clBlack);
            C.DrawFocusRect(fr);
        }
    }
}

// The border: a frame in BorderColor inside a ring of the parent's colour.
void TExStringGrid::WMNCPaint(TMessage& Message) {
    TBaseGrid::WMNCPaint(Message);
    auto* canvas = reinterpret_cast<TCanvas*>(Message.LParam);
    if (!canvas || FUpdateCount > 0 || FFlat || BorderStyle() != bsSingle || FBorderColor == clNone) return;
    if (FLook == glStandard || FLook == glClassic || FLook == glCustom) return;
    int w = Width(), h = Height();
    canvas->Brush().SetStyle(bsClear);
    canvas->Pen().SetWidth(1);
    canvas->Pen().SetStyle(psSolid);
    canvas->Pen().SetColor(FBorderColor);
    canvas->Rectangle(1, 1, w - 1, h - 1);
    canvas->Pen().SetColor(Parent() ? Parent()->Color() : clBtnFace);
    canvas->Rectangle(0, 0, w, h);
    canvas->Brush().SetStyle(bsSolid);
}

// The looks with gradient headers show the current row's and column's
// header cells in the active-cell gradient, else the sorted column's header
// in the sort settings' colours.
bool TExStringGrid::DrawFixedHighlight(TCanvas& C, int ACol, int RCol, int ARow, TRect R) {
    if (FLook != glGPK && FLook != glXP && FLook != glVista && FLook != glWin7 && FLook != glOffice2007)
        return false;
    if (FActiveCellShow && ((ACol + 1 == FixedCols() && ARow == Row()) || (ARow + 1 == FixedRows() && ACol == Col()))) {
        DrawGradient(C, FActiveCellColor, FActiveCellColorTo, 64, R, false);
        return true;
    }
    const TSortSettings& s = FSortSettings;
    if (s.Column() != -1 && s.HeaderColor() != clNone && RCol == s.Column() && ARow + 1 == FixedRows() &&
        (ACol >= FixedCols() || s.FixedCols())) {
        DrawMirrorGradient(C, R, s.HeaderColor(), s.HeaderColorTo(), s.HeaderMirrorColor(), s.HeaderMirrorColorTo(),
                           true, clNone, false, true);
        return true;
    }
    return false;
}

// A turned text, clipped to the cell less 2 on each side.
void TExStringGrid::DrawRotatedText(TCanvas& C, int RCol, int ARow, TRect R, int Angle) {
    const String text = GetFormattedCell(RCol, ARow);
    if (text.empty()) return;
    TVAlignment va = FVAlignment;
    TAlignment ha = CellAlignment(RCol, ARow, &va);
    const TPoint at = PlaceRotatedText(C, R, Angle, va, ha, text);
    const int saved = C.SaveDC();
    C.IntersectClipRect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
    const int escapement = C.Font().Escapement(), orientation = C.Font().Orientation();
    C.Font().SetEscapement(Angle * 10);
    C.Font().SetOrientation(Angle * 10);
    C.Brush().SetStyle(bsClear);
    C.TextOut(at.X, at.Y, text);
    C.Brush().SetStyle(bsSolid);
    C.Font().SetEscapement(escapement);
    C.Font().SetOrientation(orientation);
    C.RestoreDC(saved);
}
