// Bitmaps, progress bars and push buttons carried by cells: adding,
// querying and removing them, and painting them where their alignment puts
// them.
#include "grid/ExGrid.h"

#include "grid/foundation/CellIndicators.h"
#include "grid/foundation/PartDrawing.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// The graphic's objects

TBitmap* TCellGraphic::Bitmap() const {
    const auto* b = std::get_if<TBitmap*>(&CellBitmap);
    return b ? *b : nullptr;
}

void TCellGraphic::ReleaseObjects() {
    if (CellCreated) delete Bitmap();
    CellCreated = false;
    CellBitmap = std::monostate{};
    CellIcon = std::monostate{};
}

// A fresh graphic of the kind: what the cell held before is dropped.
TCellGraphic* TExStringGrid::NewGraphic(int ACol, int ARow, TCellType Kind) {
    TCellGraphic* g = MakeOwnGraphic(ACol, ARow);
    g->ReleaseObjects();
    g->CellType = Kind;
    g->CellBoolean = g->CellTransparent = false;
    g->CellAngle = 0;
    g->CellIndex = -1;
    g->CellHAlign = taLeftJustify;
    g->CellVAlign = vtaTop;
    g->CellBalloon.clear();
    g->CellText.clear();
    g->CellErrFrom = g->CellErrLen = 0;
    g->CellValue = 0;
    return g;
}

// ---------------------------------------------------------------------------
// Bitmaps

void TExStringGrid::AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TAlignment HAlign,
                              TVAlignment VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctBitmap);
    g->CellBitmap = ABmp;
    g->CellTransparent = Transparent;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

TBitmap* TExStringGrid::CreateBitmap(int ACol, int ARow, bool Transparent, TAlignment HAlign, TVAlignment VAlign) {
    auto* b = new TBitmap;
    AddBitmap(ACol, ARow, b, Transparent, HAlign, VAlign);
    OwnGraphic(ACol, ARow)->CellCreated = true;
    return b;
}

TBitmap* TExStringGrid::GetBitmap(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? OwnGraphic(ACol, ARow) : nullptr;
    return g && g->CellType == ctBitmap ? g->Bitmap() : nullptr;
}

void TExStringGrid::RemoveBitmap(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctBitmap);
}

// ---------------------------------------------------------------------------
// Progress bars

void TExStringGrid::AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                                         TColor BKTextColor, const String& Fmt, int Min, int Max) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctProgress);
    g->CellBitmap = FGColor;
    g->CellIcon = BKColor;
    g->CellIndex = int(FGTextColor);
    g->CellAngle = int(BKTextColor);
    g->CellBoolean = true;
    g->CellText = Fmt;
    g->CellErrFrom = Min;
    g->CellErrLen = Max;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
                                  TColor BKTextColor) {
    AddProgressFormatted(ACol, ARow, FGColor, FGTextColor, BKColor, BKTextColor, String(), 0, 100);
}

void TExStringGrid::AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor) {
    AddProgressFormatted(ACol, ARow, FGColor, clNone, BKColor, clNone, String(), 0, 100);
    OwnGraphic(ACol, ARow)->CellBoolean = false;
}

void TExStringGrid::RemoveProgress(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctProgress);
}

// ---------------------------------------------------------------------------
// Buttons

void TExStringGrid::AddButton(int ACol, int ARow, int BW, int BH, const String& Caption, TAlignment HAlign,
                              TVAlignment VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctButton);
    g->CellIndex = BH * 65536 + (BW & 65535);
    g->CellText = Caption;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

String TExStringGrid::GetButtonText(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? OwnGraphic(RealColIndex(ACol), ARow) : nullptr;
    return g ? g->CellText : String();
}

void TExStringGrid::SetButtonText(int ACol, int ARow, const String& Caption) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? OwnGraphic(RealColIndex(ACol), ARow) : nullptr;
    if (!g) return;
    g->CellText = Caption;
    RepaintCell(ACol, ARow);
}

void TExStringGrid::PushButton(int ACol, int ARow, bool Push) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? OwnGraphic(RealColIndex(ACol), ARow) : nullptr;
    if (!g || g->CellType == ctNode) return;
    g->CellBoolean = Push;
    RepaintCell(ACol, ARow);
}

void TExStringGrid::RemoveButton(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctButton);
}

void TExStringGrid::RemoveAllButtons() {
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount() + FNumHidden; ++c)
            if (CellPropsAssigned(c, r)) RemoveButton(c, r);
}

// ---------------------------------------------------------------------------
// Painting

namespace {

// Where a W x H graphic stands in R by its alignment.
TPoint PlaceGraphic(const TRect& R, int W, int H, TAlignment HA, TVAlignment VA) {
    const int width = R.Right - R.Left, height = R.Bottom - R.Top;
    const int x = HA == taRightJustify ? R.Right - 1 - W
                  : HA == taCenter     ? (W < width ? R.Left + (width - W) / 2 : R.Left + 1)
                                       : R.Left + 1;
    const int y = VA == vtaBottom   ? R.Bottom - 1 - H
                  : VA == vtaCenter ? (H < height ? R.Top + (height - H) / 2 : R.Top + 1)
                                    : R.Top + 1;
    return {x, y};
}

TColor Opposite(TColor C) { return TColor(ColorToRGB(C) ^ 0xFFFFFF); }

}  // namespace

bool TExStringGrid::DrawCellGraphic(TCanvas& C, int RCol, int ARow, TRect R, TCellGraphic& G) {
    switch (G.CellType) {
        case ctBitmap: {
            TBitmap* b = G.Bitmap();
            if (!b || b->Empty()) return true;
            InflateRect(R, -(FXYOffset.X - 1), -(FXYOffset.Y - 1));
            const TPoint at = PlaceGraphic(R, b->Width(), b->Height(), G.CellHAlign, G.CellVAlign);
            b->SetTransparent(G.CellTransparent);
            C.Draw(at.X, at.Y, *b);
            return true;
        }
        case ctProgress: {
            const TColor bar = std::holds_alternative<TColor>(G.CellBitmap) ? std::get<TColor>(G.CellBitmap) : clNone;
            const TColor rest = std::holds_alternative<TColor>(G.CellIcon) ? std::get<TColor>(G.CellIcon) : clNone;
            const TColor barText = G.CellBoolean ? TColor(G.CellIndex) : Opposite(bar);
            const TColor restText = G.CellBoolean ? TColor(G.CellAngle) : Opposite(rest);
            const double value = std::clamp(StrToFloatDef(GetCellEx(RCol, ARow), 0.0), double(G.CellErrFrom),
                                            double(std::max(G.CellErrFrom, G.CellErrLen)));
            InflateRect(R, -2, -2);
            DrawProgressBar(C, R, bar, barText, rest, restText, value, FControlLook.ProgressMarginX,
                            FControlLook.ProgressMarginY, G.CellErrFrom, G.CellErrLen, G.CellText,
                            FControlLook.ProgressBorderColor, false);
            return true;
        }
        case ctButton: {
            InflateRect(R, -(FXYOffset.X - 1), -(FXYOffset.Y - 1));
            const int w = G.CellIndex & 65535, h = G.CellIndex >> 16;
            const TPoint at = PlaceGraphic(R, w, h, G.CellHAlign, G.CellVAlign);
            G.CellValue = double(at.Y - R.Top) * 65536 + (at.X - R.Left);
            bool enabled = true;
            CellEditable(RCol, ARow, enabled);
            const bool hot = FHoverButton.X >= 0 && RealColIndex(FHoverButton.X) == RCol && FHoverButton.Y == ARow;
            const TPartState state = G.CellBoolean ? stDown : !enabled ? stDisabled : hot ? stHot : stNormal;
            TRect b = Bounds(at.X, at.Y, w, h);
            DrawPushButton(C, this, b, FControlLook.FlatButton ? plFlat : plThemed, state, TColorTones{});
            if (G.CellBoolean) OffsetRect(b, 1, 1);
            C.Brush().SetStyle(bsClear);
            C.Font().SetColor(enabled ? clBtnText : clGrayText);
            C.DrawText(G.CellText, b, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
            C.Brush().SetStyle(bsSolid);
            return true;
        }
        default: return false;
    }
}
