// The frame around a cell's content: hovered and pressed header gradients,
// the row indicator, the list-view header, the always-visible buttons, the
// cell borders and the classic and soft fixed-cell edges.
#include "grid/ExGrid.h"

#include "grid/foundation/GridColors.h"
#include "grid/foundation/PartDrawing.h"

#include "framework/Themes.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// The control look's fixed gradients

namespace {

// From, To and the hover and down colours: a clNone leaves the grid's colour.
void StoreAndPass(TColor& Field, TColor Value, TColor* GridColor) {
    Field = Value;
    if (GridColor && Value != clNone) *GridColor = Value;
}

}  // namespace

void TControlLook::SetFixedGradientFrom(TColor Value) {
    FixedGradientFrom = Value;
    if (Grid && Value != clNone) Grid->SetGPKGradientFrom(Value);
}
void TControlLook::SetFixedGradientTo(TColor Value) {
    FixedGradientTo = Value;
    if (Grid && Value != clNone) Grid->SetGPKGradientTo(Value);
}
void TControlLook::SetFixedGradientMirrorFrom(TColor Value) {
    FixedGradientMirrorFrom = Value;
    if (Grid) Grid->SetGPKGradientMirrorFrom(Value);
}
void TControlLook::SetFixedGradientMirrorTo(TColor Value) {
    FixedGradientMirrorTo = Value;
    if (Grid) Grid->SetGPKGradientMirrorTo(Value);
}
void TControlLook::SetFixedGradientHoverFrom(TColor Value) {
    StoreAndPass(FixedGradientHoverFrom, Value, Grid ? &Grid->FGPKGradientHoverFrom : nullptr);
}
void TControlLook::SetFixedGradientHoverTo(TColor Value) {
    StoreAndPass(FixedGradientHoverTo, Value, Grid ? &Grid->FGPKGradientHoverTo : nullptr);
}
void TControlLook::SetFixedGradientHoverBorder(TColor Value) {
    StoreAndPass(FixedGradientHoverBorder, Value, Grid ? &Grid->FGPKGradientHoverBorder : nullptr);
}
void TControlLook::SetFixedGradientDownFrom(TColor Value) {
    StoreAndPass(FixedGradientDownFrom, Value, Grid ? &Grid->FGPKGradientDownFrom : nullptr);
}
void TControlLook::SetFixedGradientDownTo(TColor Value) {
    StoreAndPass(FixedGradientDownTo, Value, Grid ? &Grid->FGPKGradientDownTo : nullptr);
}
void TControlLook::SetFixedGradientDownBorder(TColor Value) {
    StoreAndPass(FixedGradientDownBorder, Value, Grid ? &Grid->FGPKGradientDownBorder : nullptr);
}
void TControlLook::SetFixedGradientHoverMirrorFrom(TColor Value) {
    FixedGradientHoverMirrorFrom = Value;
    if (Grid) Grid->FGPKGradientHoverMirrorFrom = Value;
}
void TControlLook::SetFixedGradientHoverMirrorTo(TColor Value) {
    FixedGradientHoverMirrorTo = Value;
    if (Grid) Grid->FGPKGradientHoverMirrorTo = Value;
}
void TControlLook::SetFixedGradientDownMirrorFrom(TColor Value) {
    FixedGradientDownMirrorFrom = Value;
    if (Grid) Grid->FGPKGradientDownMirrorFrom = Value;
}
void TControlLook::SetFixedGradientDownMirrorTo(TColor Value) {
    FixedGradientDownMirrorTo = Value;
    if (Grid) Grid->FGPKGradientDownMirrorTo = Value;
}

void TExStringGrid::SetGPKGradientFrom(TColor Value) { FGPKGradientFrom = Value; }
void TExStringGrid::SetGPKGradientTo(TColor Value) { FGPKGradientTo = Value; }
void TExStringGrid::SetGPKGradientMirrorFrom(TColor Value) { FGPKGradientMirrorFrom = Value; }
void TExStringGrid::SetGPKGradientMirrorTo(TColor Value) { FGPKGradientMirrorTo = Value; }

void TExStringGrid::SetRowIndicator(const TBitmap& Value) {
    FRowIndicator.Assign(&Value);
    if (ColCount() > 0 && Row() < RowCount()) RepaintCell(0, Row());
}

void TExStringGrid::SetFixedCellPressed(bool Pressed, bool DropDown) {
    if (Pressed == FMouseDownMove && DropDown == FDropDownDown) return;
    FMouseDownMove = Pressed;
    FDropDownDown = DropDown;
    const TPoint h = HoverFixedCell();
    if (h.X >= 0 && h.X < ColCount() && h.Y < RowCount()) RepaintCell(h.X, h.Y);
}

// ---------------------------------------------------------------------------
// Hovered and pressed fixed cells

void TExStringGrid::DrawFixedHoverDown(TCanvas& C, int ACol, int RCol, int ARow, TRect& R) {
    if (!IsHoverFixedCell(ACol, ARow) || IsDesigning()) return;
    const bool moving = GridState() == gsColMoving;
    const bool hovered = moving ? ACol == FMoveColInd : ACol == FHoverFixedX && ARow == FHoverFixedY;
    if (!hovered) return;
    R.Bottom += 1;
    const bool pressed = (FMouseDownMove || moving) && !(moving && FMoveColInd < 0);
    auto hover = [&](TRect r) {
        DrawMirrorGradient(C, r, FGPKGradientHoverFrom, FGPKGradientHoverTo, FGPKGradientHoverMirrorFrom,
                           FGPKGradientHoverMirrorTo, true, FGPKGradientHoverBorder, false, true);
    };
    auto down = [&](TRect r) {
        DrawMirrorGradient(C, r, FGPKGradientDownFrom, FGPKGradientDownTo, FGPKGradientDownMirrorFrom,
                           FGPKGradientDownMirrorTo, true, FGPKGradientDownBorder, false, true);
    };
    const bool button = FControlLook.FixedDropDownButton && DoCanShowFixedDropDown(RCol);
    TRect rest = R, right = R;
    rest.Right = right.Left = R.Right - 16;
    if (!pressed) hover(R);
    else if (!button) down(R);
    else if (FDropDownDown) {
        hover(rest);
        down(right);
    } else {
        down(rest);
        hover(right);
    }
    if (!button) return;
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    C.Pen().SetColor(pressed ? FGPKGradientDownBorder : FGPKGradientHoverBorder);
    C.MoveTo(R.Right - 16, R.Top);
    C.LineTo(R.Right - 16, R.Bottom);
    DrawSmallDownArrow(C, R.Right - 8, R.Top + 8, clBlack);
    R.Right -= 16;
}

// ---------------------------------------------------------------------------
// Row indicator and list-view header

int TExStringGrid::DrawRowIndicator(TCanvas& C, int RCol, int ARow, TRect& R) {
    if (RCol != 0 || ARow != Row() || TCustomGrid::FixedCols() <= 0 || FRowIndicator.Empty()) return 0;
    if (RowCount() == TCustomGrid::FixedRows() && FFixedRowAlways) return 0;
    const int w = FRowIndicator.Width(), h = FRowIndicator.Height();
    const int y = FVAlignment == vtaCenter   ? (R.Top + R.Bottom - h) / 2
                  : FVAlignment == vtaBottom ? R.Bottom - h
                                             : R.Top;
    FRowIndicator.SetTransparent(true);
    C.Draw(R.Left + 2, y, FRowIndicator);
    R.Left += w + 2;
    return w + 2;
}

void TExStringGrid::DrawListViewHeader(TCanvas& C, int ACol, int ARow, TRect R) {
    R.Bottom += 1;
    if (HTHEME theme = OpenThemeData(this, u"header")) {
        const bool inside = FHotFixedCell.X == ACol && FHotFixedCell.Y == ARow;
        if (inside && FMouseDownMove) DrawThemeBackground(theme, C, HP_HEADERITEM, HIS_PRESSED, R, nullptr);
        else if (inside) DrawThemeBackground(theme, C, HP_HEADERITEM, HIS_HOT, R, nullptr);
        else DrawThemeBackground(theme, C, HP_HEADERITEMRIGHT, HIS_NORMAL, R, nullptr);
        CloseThemeData(theme);
        C.Pen().SetStyle(psSolid);
        C.Pen().SetWidth(1);
        C.Pen().SetColor(clWhite);
        C.MoveTo(R.Left, R.Top);
        C.LineTo(R.Right, R.Top);
        return;
    }
    C.Brush().SetColor(clBtnFace);
    C.Pen().SetColor(clWhite);
    C.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
}

// ---------------------------------------------------------------------------
// Always-visible buttons

void TExStringGrid::DrawAlwaysVisibleButtons(TCanvas& C, int RCol, int ARow, TRect& R) {
    if (!FControlLook.DropDownAlwaysVisible && !FControlLook.SpinButtonsAlwaysVisible) return;
    const TPartLook look = FControlLook.FlatButton ? plFlat : plThemed;
    bool editable = true;
    CellEditable(RCol, ARow, editable);
    const TPartState state = editable ? stNormal : stDisabled;
    if (FControlLook.DropDownAlwaysVisible && DoHasComboBox(RCol, ARow)) {
        DrawComboButton(C, this, Rect(R.Left - 2, R.Top - 1, R.Right + 1, R.Bottom), look, state, TColorTones{});
        R.Right -= 16;
    }
    if (FControlLook.SpinButtonsAlwaysVisible && DoHasSpinEdit(RCol, ARow)) {
        DrawSpinButtons(C, this, Rect(R.Left - 2, R.Top - 1, R.Right + 1, R.Bottom), look, state, TColorTones{});
        R.Right -= 16;
    }
}

// ---------------------------------------------------------------------------
// Cell borders

void TExStringGrid::DrawCellBorders(TCanvas& C, int ACol, int ARow, TRect R) {
    TPen pen;
    pen.Assign(&C.Pen());
    TSet<int> borders;
    DoGetCellBorder(ACol, ARow, pen, borders);
    if (borders.Empty()) return;
    TPen keep, left, top, right, bottom;
    keep.Assign(&C.Pen());
    for (TPen* p : {&left, &top, &right, &bottom}) p->Assign(&pen);
    if (OnGetCellBorderProp) OnGetCellBorderProp(this, ARow, ACol, left, top, right, bottom);
    InflateRect(R, 1, 1);
    const int h = (pen.Width() + 1) / 2;
    const int dx = Options().Contains(goVertLine) ? h : 0;
    const int dy = Options().Contains(goHorzLine) ? h : 0;
    R.Left += dx;
    R.Bottom -= dy;
    R.Right -= dx;
    if (borders.Contains(cbLeft)) {
        C.Pen().Assign(&left);
        C.MoveTo(std::max(0, R.Left), R.Top);
        C.LineTo(std::max(0, R.Left), R.Bottom);
    }
    if (borders.Contains(cbRight)) {
        C.Pen().Assign(&right);
        C.MoveTo(R.Right - 1, R.Top);
        C.LineTo(R.Right - 1, R.Bottom);
    }
    if (borders.Contains(cbTop)) {
        C.Pen().Assign(&top);
        const int y = GridLineWidth() > 0 ? std::max(0, R.Top + dy - GridLineWidth()) : R.Top + dy + 1;
        C.MoveTo(R.Left, y);
        C.LineTo(R.Right, y);
    }
    if (borders.Contains(cbBottom)) {
        C.Pen().Assign(&bottom);
        C.MoveTo(R.Left - GridLineWidth() - 1, R.Bottom - 1);
        C.LineTo(R.Right, R.Bottom - 1);
    }
    C.Pen().Assign(&keep);
}

void TExStringGrid::DoGetCellBorder(int ACol, int ARow, TPen& APen, TSet<int>& Borders) {
    if (OnGetCellBorder) OnGetCellBorder(this, ARow, ACol, APen, Borders);
}

// ---------------------------------------------------------------------------
// The classic, soft and flat right-fixed frames of fixed-looking cells

void TExStringGrid::DrawLookFrame(TCanvas& C, int RCol, TRect R) {
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    const TColor half = HalveColor(ColorToRGB(FixedColor()));
    if (FLook == glClassic && !FFlat) {
        R.Top += 1;
        R.Bottom += 1;
        R.Left += 1;
        TRect e = R;
        DrawEdge(C, e, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
        e = R;
        DrawEdge(C, e, BDR_RAISEDINNER | BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
        C.Pen().SetColor(clBlack);
        C.MoveTo(R.Right - 1, R.Top);
        C.LineTo(R.Right - 1, R.Bottom - 1);
        C.LineTo(R.Left - 1, R.Bottom - 1);
    } else if ((FLook == glGPK || FLook == glXP) && !FFlat) {
        R.Bottom += 1;
        if (Options().Contains(goFixedHorzLine)) {
            C.Pen().SetColor(half);
            C.MoveTo(R.Left, R.Bottom - 1);
            C.LineTo(R.Right - 1, R.Bottom - 1);
        }
        C.Pen().SetColor(clWhite);
        C.MoveTo(R.Right - 2, R.Top + 1);
        C.LineTo(R.Left + 1, R.Top + 1);
        C.LineTo(R.Left + 1, R.Bottom - 1);
    } else if (FLook == glSoft && !FFlat) {
        R.Right += 1;
        R.Bottom += 1;
        if (Options().Contains(goFixedHorzLine)) {
            C.Pen().SetColor(half);
            C.MoveTo(R.Left, R.Bottom - 1);
            C.LineTo(R.Right - 1, R.Bottom - 1);
            C.Pen().SetColor(clWhite);
            C.MoveTo(R.Right, R.Top + 1);
            C.LineTo(R.Left + 1, R.Top + 1);
            C.LineTo(R.Left + 1, R.Bottom - 1);
        }
        if (Options().Contains(goFixedVertLine)) {
            C.Pen().SetColor(half);
            C.MoveTo(R.Right - 2, R.Top);
            C.LineTo(R.Right - 2, R.Bottom - 1);
            C.Pen().SetColor(clWhite);
            C.MoveTo(R.Right - 1, R.Top);
            C.LineTo(R.Right - 1, R.Bottom - 1);
        }
    }
    if (FFlat && FLook != glClassic && FFixedRightCols > 0 && FFixedRightCols >= ColCount() + FNumHidden - RCol) {
        C.Pen().SetColor(clGray);
        if (Options().Contains(goFixedHorzLine)) {
            C.MoveTo(R.Left - 1, R.Top - 1);
            C.LineTo(R.Right + 1, R.Top - 1);
            C.MoveTo(R.Left - 1, R.Bottom);
            C.LineTo(R.Right + 1, R.Bottom);
        }
        if (Options().Contains(goFixedVertLine)) {
            C.MoveTo(R.Left - 1, R.Top - 1);
            C.LineTo(R.Left - 1, R.Bottom + 1);
            C.MoveTo(R.Right, R.Top - 1);
            C.LineTo(R.Right, R.Bottom + 1);
        }
    }
}
