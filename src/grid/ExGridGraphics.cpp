// Bitmaps, progress bars and push buttons carried by cells: adding,
// querying and removing them, and painting them where their alignment puts
// them.
#include "grid/ExGrid.h"

#include "grid/foundation/CellIndicators.h"
#include "grid/foundation/PartDrawing.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// The graphic's objects

TBitmap* TCellGraphic::Bitmap() const {
    const auto* b = std::get_if<TBitmap*>(&CellBitmap);
    return b ? *b : nullptr;
}

TIcon* TCellGraphic::Icon() const {
    const auto* i = std::get_if<TIcon*>(&CellIcon);
    return i ? *i : nullptr;
}

TColor TCellGraphic::BitmapColor() const {
    const auto* c = std::get_if<TColor>(&CellBitmap);
    return c ? *c : clNone;
}

TColor TCellGraphic::IconColor() const {
    const auto* c = std::get_if<TColor>(&CellIcon);
    return c ? *c : clNone;
}

TPoint TCellGraphic::GetPictureSize(int CW, int RH) const {
    const TPicture* p = Object<TPicture>();
    if (!p) return {0, 0};
    const int w = p->Width(), h = p->Height();
    const int aw = CW - CellIndex, ah = RH - CellIndex;
    auto aspect = [&](bool Cap) -> TPoint {
        double fx = w <= 0 ? 1.0 : double(aw) / w, fy = h <= 0 ? 1.0 : double(ah) / h;
        if (Cap) fx = std::min(fx, 1.0), fy = std::min(fy, 1.0);
        if (fx >= fy) return {int(std::nearbyint(w * fy)), Cap ? int(std::nearbyint(h * fy)) : ah};
        return {Cap ? int(std::nearbyint(w * fx)) : aw, int(std::nearbyint(h * fx))};
    };
    const bool fits = aw >= w && ah >= h;
    switch (TStretchMode(CellAngle)) {
        case Stretch: return {aw, ah};
        case StretchWithAspectRatio: return aspect(false);
        case Shrink: return fits ? TPoint{w, h} : TPoint{aw, ah};
        case ShrinkWithAspectRatio: return fits ? TPoint{w, h} : aspect(true);
        default: return {w, h};
    }
}

void TCellGraphic::ReleaseObjects() {
    if (CellCreated) {
        delete Bitmap();
        delete Object<TPicture>();
        delete Object<TStringList>();
        delete Icon();
    }
    delete Object<TIntList>();  // the image indexes always belong to the cell
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
// Radio groups

void TExStringGrid::AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStringList* Options) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctRadio);
    g->CellBitmap = Options;
    g->CellBoolean = DirRadio != 0;
    g->CellIndex = IdxRadio;
    g->CellAngle = Options ? Options->Count() : 0;
    RepaintDisplCell(ACol, ARow);
}

TStringList* TExStringGrid::CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio) {
    auto* l = new TStringList;
    AddRadio(ACol, ARow, DirRadio, IdxRadio, l);
    OwnGraphic(ACol, ARow)->CellCreated = true;
    return l;
}

namespace {

// The graphic of the kind in the cell, nil for another or none.
TCellGraphic* GraphicOf(TCellGraphic* Own, TCellType Kind) {
    return Own && Own->CellType == Kind ? Own : nullptr;
}

}  // namespace

int TExStringGrid::GetRadioIdx(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctRadio) : nullptr;
    return g ? g->CellIndex : -1;
}

void TExStringGrid::SetRadioIdx(int ACol, int ARow, int Idx) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctRadio) : nullptr;
    if (!g) return;
    g->CellIndex = Idx;
    if (Idx == -1) SetCellEx(ACol, ARow, String());
    RepaintDisplCell(ACol, ARow);
}

TStringList* TExStringGrid::GetRadioStrings(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctRadio) : nullptr;
    return g ? g->Object<TStringList>() : nullptr;
}

void TExStringGrid::RemoveRadio(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctRadio);
}

// ---------------------------------------------------------------------------
// Icons, pictures and images of the grid's list

void TExStringGrid::AddIcon(int ACol, int ARow, TIcon* AIcon, TAlignment HAlign, TVAlignment VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctIcon);
    g->CellIcon = AIcon;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

TIcon* TExStringGrid::CreateIcon(int ACol, int ARow, TAlignment HAlign, TVAlignment VAlign) {
    auto* i = new TIcon;
    AddIcon(ACol, ARow, i, HAlign, VAlign);
    OwnGraphic(ACol, ARow)->CellCreated = true;
    return i;
}

void TExStringGrid::RemoveIcon(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctIcon);
}

void TExStringGrid::AddPicture(int ACol, int ARow, TPicture* APicture, bool Transparent, TStretchMode StretchMode,
                               int Padding, TAlignment HAlign, TVAlignment VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctPicture);
    g->CellBitmap = APicture;
    g->CellTransparent = Transparent;
    g->CellAngle = int(StretchMode);
    g->CellIndex = Padding;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

TPicture* TExStringGrid::CreatePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int Padding,
                                       TAlignment HAlign, TVAlignment VAlign) {
    auto* p = new TPicture;
    AddPicture(ACol, ARow, p, Transparent, StretchMode, Padding, HAlign, VAlign);
    OwnGraphic(ACol, ARow)->CellCreated = true;
    return p;
}

TPicture* TExStringGrid::GetPicture(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctPicture) : nullptr;
    return g ? g->Object<TPicture>() : nullptr;
}

void TExStringGrid::RemovePicture(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctPicture);
}

void TExStringGrid::AddDataImage(int ACol, int ARow, int Idx, TAlignment HAlign, TVAlignment VAlign) {
    if (!FGridImages) return;
    TCellGraphic* g = NewGraphic(ACol, ARow, ctDataImage);
    g->CellIndex = Idx;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    if (GetCellEx(ACol, ARow).empty()) SetCellEx(ACol, ARow, IntToStr(Idx));
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveDataImage(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctDataImage);
    SetCellEx(ACol, ARow, String());
}

void TExStringGrid::AddMultiImage(int ACol, int ARow, int Dir, TAlignment HAlign, TVAlignment VAlign) {
    if (!FGridImages) return;
    TCellGraphic* g = NewGraphic(ACol, ARow, ctImages);
    auto* l = new TIntList(ACol, ARow);
    l->OnChange = [this](TObject*, int C, int R) { RepaintDisplCell(C, R); };
    g->CellBitmap = l;
    g->CellBoolean = Dir == 0;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

TIntList* TExStringGrid::GetCellImages(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctImages) : nullptr;
    return g ? g->Object<TIntList>() : nullptr;
}

void TExStringGrid::RemoveMultiImage(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctImages);
}

// ---------------------------------------------------------------------------
// Pies, range bars, styled progress, shapes and ratings

void TExStringGrid::AddProgressPie(int ACol, int ARow, TColor Color, int Value) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctProgressPie);
    g->CellBitmap = Color;
    g->CellAngle = Value;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::SetProgressPie(int ACol, int ARow, int Value) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctProgressPie) : nullptr;
    if (!g) return;
    g->CellAngle = Value;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveProgressPie(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctProgressPie);
}

void TExStringGrid::AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor,
                                      bool ShowValue) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctRangeIndicator);
    g->CellIndex = Range;
    g->CellBitmap = NegColor;
    g->CellIcon = PosColor;
    g->CellBoolean = ShowValue;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveRangeIndicator(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctRangeIndicator);
}

void TExStringGrid::AddExProgress(int ACol, int ARow, int Min, int Max) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctXPProgress);
    g->CellErrFrom = Min;
    g->CellErrLen = Max;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveExProgress(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctXPProgress);
}

void TExStringGrid::SetProgressAppearance(const TProgressDrawInfo& Value) {
    FProgressAppearance = Value;
    Invalidate();
}

void TExStringGrid::AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor,
                             TAlignment HAlign, TVAlignment VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctShape);
    g->CellAngle = int(Shape);
    g->CellIndex = int(FillColor);
    g->CellBitmap = LineColor;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

TColor TExStringGrid::GetShapeColor(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctShape) : nullptr;
    return g ? TColor(g->CellIndex) : clNone;
}

void TExStringGrid::SetShapeColor(int ACol, int ARow, TColor FillColor) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctShape) : nullptr;
    if (g) g->CellIndex = int(FillColor);
}

void TExStringGrid::RemoveShape(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctShape);
}

void TExStringGrid::AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctRating);
    g->CellAngle = Scale;
    g->CellIndex = int(FillColor);
    g->CellBitmap = EmptyColor;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveRating(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctRating);
}

void TExStringGrid::AddExpand(int ACol, int ARow, int ExpandedHeight) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctExpand);
    g->CellAngle = ExpandedHeight;
    g->CellIndex = RowHeights(ARow);
    g->CellExpanded = false;
    RepaintDisplCell(ACol, ARow);
}

TRect TExStringGrid::GetExpandButtonRect(int ACol, int ARow) {
    if (GetCellType(ACol, ARow) != ctExpand) return TRect{};
    const TRect c = CellRect(DisplColIndex(ACol), ARow);
    return Rect(c.Right - 13, c.Top + 2, c.Right - 2, c.Top + 13);
}

bool TExStringGrid::ToggleExpand(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctExpand) : nullptr;
    if (!g) return false;
    g->CellExpanded = !g->CellExpanded;
    return g->CellExpanded;
}

void TExStringGrid::RemoveExpand(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctExpand);
}

bool TExStringGrid::GetExpandState(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctExpand) : nullptr;
    return g && g->CellExpanded;
}

int TExStringGrid::GetExpandHeight(int ACol, int ARow, bool Expanded) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctExpand) : nullptr;
    if (!g) return DefaultRowHeight();
    return Expanded ? g->CellAngle : g->CellIndex;
}

void TExStringGrid::DoExpandClick(int ACol, int ARow, bool Expanded) {
    if (OnExpandClick) OnExpandClick(this, ACol, ARow, Expanded);
    SetRowHeights(ARow, GetExpandHeight(RealColIndex(ACol), ARow, Expanded));
}

void TExStringGrid::AddInterfacedCell(int ACol, int ARow, IGridCellGraphic* AObject) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctInterface);
    g->CellBitmap = AObject;
    RepaintDisplCell(ACol, ARow);
}

IGridCellGraphic* TExStringGrid::GetInterfacedCell(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctInterface) : nullptr;
    return g ? g->Object<IGridCellGraphic>() : nullptr;
}

void TExStringGrid::RemoveInterfacedCell(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveOwnGraphic(ACol, ARow, ctInterface);
}

// ---------------------------------------------------------------------------
// Sizes

TPoint TExStringGrid::CalcCellGraphicSize(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GetCellGraphic(ACol, ARow) : nullptr;
    if (!g) return {0, 0};
    const bool bare = GetCellEx(ACol, ARow).empty();
    const int cellW = ColWidths(DisplColIndex(ACol)), cellH = RowHeights(ARow);
    const int listW = FGridImages ? FGridImages->Width() : 0, listH = FGridImages ? FGridImages->Height() : 0;
    TBitmap measure(1, 1);
    TCanvas& m = measure.Canvas();
    m.Font().Assign(&Font());
    switch (g->CellType) {
        case ctBitmap: {
            const TBitmap* b = g->Bitmap();
            return b && bare ? TPoint{b->Width(), b->Height()} : TPoint{0, 0};
        }
        case ctIcon: {
            const TIcon* i = g->Icon();
            return i ? TPoint{bare ? i->Width() : 0, i->Height()} : TPoint{0, 0};
        }
        case ctImageList:
        case ctDataImage: return bare ? TPoint{listW, listH} : TPoint{0, 0};
        case ctPicture: return g->GetPictureSize(cellW - TotalXOffset() - 1, cellH - TotalYOffset() - 1);
        case ctButton:
        case ctBitButton: {
            const int w = g->CellIndex & 65535, h = g->CellIndex >> 16;
            if (bare) return {w, h};
            return {g->CellHAlign == taCenter ? 0 : w, 0};
        }
        case ctInterface: {
            IGridCellGraphic* o = g->Object<IGridCellGraphic>();
            const int w = o ? o->GetWidth() : 0, h = o ? o->GetHeight() : 0;
            return w == 0 || h == 0 ? TPoint{cellW, cellH} : TPoint{w, h};
        }
        case ctProgressPie: return {20, 20};
        case ctRadioButton: return {FControlLook.RadioSize, FControlLook.RadioSize};
        case ctCheckBox:
        case ctDataCheckBox:
        case ctVirtCheckBox:
        case ctRowCheckBox:
        case ctTriStateCheckBox: return {FControlLook.CheckSize, FControlLook.CheckSize};
        case ctRadio: {
            const TStringList* items = g->Object<TStringList>();
            const int n = items ? items->Count() : 0, th = m.TextHeight(u"gh");
            int sum = 0, widest = 0;
            for (int i = 0; i < n; ++i) {
                const int w = m.TextWidth(items->Strings(i)) + 12;
                sum += w;
                widest = std::max(widest, w);
            }
            if (g->CellBoolean) return {sum, th};
            return {std::max(12, widest), std::max(16, th) * n};
        }
        case ctRating: return {g->CellAngle * 18, 16};
        case ctImages: {
            const TIntList* l = g->Object<TIntList>();
            const int n = l ? l->Count() : 0;
            return g->CellBoolean ? TPoint{n * listW, listH} : TPoint{listW, n * listH};
        }
        default: return {0, 0};
    }
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

bool TExStringGrid::GraphicKeepsText(TCellType Kind) {
    switch (Kind) {
        case ctRadio:
        case ctProgress:
        case ctRangeIndicator:
        case ctXPProgress:
        case ctDataImage:
        case ctRating: return false;
        default: return true;
    }
}

void TExStringGrid::DrawRadio(TCanvas& C, TRect R, TGridControlStyle Style, const TStringList* Items, int Count,
                              int Index, const String& Current, bool Enabled, bool Horizontal) {
    if (FControlLook.RadioAlwaysActive) Enabled = true;
    const int rs = FControlLook.RadioSize;
    // Bitmap-like styles draw a 16-pixel glyph; the frame-control styles one of RadioSize.
    const bool classic = Style == csClassic || Style == csFlat || Style == csTheme;
    const bool bitmapLike = Style == csWinXP || Style == csGPK || Style == csGlyph;
    C.Brush().SetStyle(bsClear);
    const int lineH = classic ? C.TextHeight(u"gh") : std::max(16, C.TextHeight(u"gh"));
    int textsBefore = 0;
    for (int i = 1; i <= Count; ++i) {
        const String text = Items && i <= Items->Count() ? Items->Strings(i - 1) : String();
        const bool on = Index == -1 ? (!text.empty() && text == Current) : Index == i - 1;
        const int glyph = classic ? rs : 16;
        int x, y, tx, ty;
        if (Horizontal) {
            x = classic ? R.Left + 2 + (i - 1) * rs + textsBefore : R.Left + 16 * i - 14 + textsBefore;
            y = R.Top + (R.Bottom - R.Top - glyph) / 2;
            tx = x + glyph;
            ty = classic ? y - 2 : bitmapLike ? y + 1 : y - 2;
        } else {
            y = R.Top + (i - 1) * lineH + 2;
            x = text.empty() ? R.Left + (R.Right - R.Left - glyph) / 2 : classic ? R.Left + 2 : R.Left + 2;
            tx = classic ? R.Left + 2 + rs + 4 : bitmapLike ? R.Left + 18 : R.Left + 20;
            ty = bitmapLike ? y + 1 : y;
        }
        if (classic) {
            unsigned state = DFCS_BUTTONRADIO;
            if (on) state |= DFCS_CHECKED;
            if (Style == csFlat) state |= DFCS_FLAT;
            if (!Enabled) state |= DFCS_INACTIVE;
            const int size = Style == csFlat ? rs + 2 : rs;
            C.Brush().SetStyle(bsSolid);
            TRect box = Bounds(x, y, size, size);
            DrawFrameControl(C, box, DFC_BUTTON, state);
        } else if (Style == csVintage) {
            C.Brush().SetStyle(bsSolid);
            C.Brush().SetColor(clBtnFace);
            C.Pen().SetColor(clBtnFace);
            C.Polygon({{x + 2, y + 8}, {x + 8, y + 2}, {x + 14, y + 8}, {x + 8, y + 14}});
            C.Pen().SetColor(on ? clGray : clWhite);
            C.MoveTo(x + 2, y + 8);
            C.LineTo(x + 8, y + 2);
            C.LineTo(x + 14, y + 8);
            C.Pen().SetColor(on ? clWhite : clGray);
            C.LineTo(x + 8, y + 14);
            C.LineTo(x + 2, y + 8);
            if (on) {
                C.Brush().SetColor(FControlLook.Color);
                C.Pen().SetColor(FControlLook.Color);
                C.Polygon({{x + 5, y + 8}, {x + 8, y + 5}, {x + 11, y + 8}, {x + 8, y + 11}});
            }
        } else if (Style == csGlyph) {
            TBitmap& b = on ? FControlLook.RadioOnGlyph : FControlLook.RadioOffGlyph;
            if (!b.Empty()) {
                b.SetTransparent(true);
                C.Draw(x, y, b);
            }
        } else {
            // The drawn 16-pixel glyph: a ring, filled in the middle when on.
            C.Brush().SetStyle(bsSolid);
            C.Brush().SetColor(Enabled ? clWindow : clBtnFace);
            C.Pen().SetColor(Enabled ? TColor(0x7F9DB9) : clGray);
            C.Ellipse(x + 1, y + 1, x + 15, y + 15);
            if (on) {
                const TColor dot = Enabled ? (Style == csGPK ? clBlack : TColor(0x21A121)) : clGray;
                C.Brush().SetColor(dot);
                C.Pen().SetColor(dot);
                C.Ellipse(x + 5, y + 5, x + 11, y + 11);
            }
        }
        if (!text.empty()) {
            C.Brush().SetStyle(bsClear);
            C.Font().SetColor(Enabled ? C.Font().Color() : clGrayText);
            C.TextOut(tx, ty, text);
            textsBefore += C.TextWidth(text);
        }
    }
    C.Brush().SetStyle(bsSolid);
}

bool TExStringGrid::DrawCellGraphic(TCanvas& C, int RCol, int ARow, TRect R, TCellGraphic& G) {
    const bool shrink = G.CellType != ctNode && G.CellType != ctProgress && G.CellType != ctRangeIndicator &&
                        G.CellType != ctXPProgress;
    const TRect cell = R;
    if (shrink) InflateRect(R, -(FXYOffset.X - 1), -(FXYOffset.Y - 1));
    auto value = [&] { return StrToFloatDef(GetCellEx(RCol, ARow), 0.0); };
    switch (G.CellType) {
        case ctRadio: {
            bool enabled = true;
            CellEditable(RCol, ARow, enabled);
            const TStringList* items = G.Object<TStringList>();
            const int count = std::max(G.CellAngle, items ? items->Count() : 0);
            DrawRadio(C, R, FControlLook.ControlStyle, items, count, G.CellIndex, GetCellEx(RCol, ARow), enabled,
                      G.CellBoolean);
            return true;
        }
        case ctIcon: {
            TIcon* i = G.Icon();
            if (!i || i->Empty()) return true;
            const TPoint at = PlaceGraphic(R, i->Width(), i->Height(), G.CellHAlign, G.CellVAlign);
            C.Draw(at.X, at.Y, *i);
            return true;
        }
        case ctPicture: {
            TPicture* p = G.Object<TPicture>();
            if (!p || !p->Graphic() || p->Graphic()->Empty()) return true;
            const TPoint size = G.GetPictureSize(R.Right - R.Left - 1, R.Bottom - R.Top - 1);
            const TPoint at = PlaceGraphic(R, size.X, size.Y, G.CellHAlign, G.CellVAlign);
            TGraphic& pic = *p->Graphic();
            pic.SetTransparent(G.CellTransparent);
            if (G.CellAngle != noStretch) C.StretchDraw(Bounds(at.X, at.Y, size.X, size.Y), pic);
            else C.Draw(at.X, at.Y, pic);
            return true;
        }
        case ctDataImage: {
            if (!FGridImages) return true;
            // The cell's value is the image; its starting index went into the text.
            const int idx = StrToIntDef(Trim(GetCellEx(RCol, ARow)), -1);
            if (idx < 0 || idx >= FGridImages->Count()) return true;
            const TPoint at = PlaceGraphic(R, FGridImages->Width(), FGridImages->Height(), G.CellHAlign, G.CellVAlign);
            FGridImages->Draw(C, at.X, at.Y, idx);
            return true;
        }
        case ctImages: {
            const TIntList* l = G.Object<TIntList>();
            if (!FGridImages || !l) return true;
            const int w = FGridImages->Width(), h = FGridImages->Height(), n = l->Count();
            TPoint at = PlaceGraphic(R, G.CellBoolean ? n * w : w, G.CellBoolean ? h : n * h, G.CellHAlign,
                                     G.CellVAlign);
            for (int i = 0; i < n; ++i) {
                const int idx = l->GetInteger(i);
                if (idx >= 0 && idx < FGridImages->Count()) FGridImages->Draw(C, at.X, at.Y, idx);
                (G.CellBoolean ? at.X : at.Y) += G.CellBoolean ? w : h;
            }
            return true;
        }
        case ctProgressPie: {
            const TPoint at = PlaceGraphic(R, 20, 20, taLeftJustify, G.CellVAlign);
            DrawPieIndicator(C, Bounds(at.X, at.Y, 20, 20), G.BitmapColor(), G.CellAngle, false);
            return true;
        }
        case ctRangeIndicator: {
            TRect b = R;
            InflateRect(b, -FControlLook.ProgressMarginX, -FControlLook.ProgressMarginY);
            DrawRangeIndicator(C, b, int(value()), G.CellIndex, G.CellBoolean, G.BitmapColor(), G.IconColor());
            return true;
        }
        case ctXPProgress: {
            TRect b = R;
            InflateRect(b, -FControlLook.ProgressMarginX, -FControlLook.ProgressMarginY);
            b.Right -= 1;
            b.Bottom -= 1;
            TProgressDrawInfo info = FProgressAppearance;
            info.Font = &Font();
            if (info.UnCompleteColor == clNone) info.UnCompleteColor = C.Brush().Color();
            // A graphic whose maximum equals its minimum shows nothing done.
            const int span = G.CellErrLen - G.CellErrFrom;
            const int percent = span == 0 ? 0
                                          : int(std::nearbyint(std::fabs(value() - G.CellErrFrom) / span * 100));
            DrawStyledProgress(C, b, std::clamp(percent, 0, 100), info);
            return true;
        }
        case ctShape: {
            const int s = RowHeights(ARow) - 2 * FXYOffset.Y;
            const TPoint at = PlaceGraphic(R, s, s, G.CellHAlign, G.CellVAlign);
            DrawCellShape(C, at.X, at.Y, s - 1, s - 1, TCellShape(G.CellAngle), TColor(G.CellIndex), G.BitmapColor());
            return true;
        }
        case ctRating: {
            const double v = std::floor(value() * 2) / 2;
            const int y = R.Top + 1;
            for (int i = 1; i <= G.CellAngle; ++i) {
                const int x = R.Left + (i - 1) * 18;
                if (i <= v) {
                    DrawCellShape(C, x, y, 16, 16, csStar, TColor(G.CellIndex), TColor(G.CellIndex));
                    continue;
                }
                DrawCellShape(C, x, y, 16, 16, csStar, G.BitmapColor(), G.BitmapColor());
                if (i - 1 < v) DrawCellShape(C, x, y, 16, 16, csHalfStar, TColor(G.CellIndex), TColor(G.CellIndex));
            }
            return true;
        }
        case ctExpand: {
            // Where the mouse finds it.
            TRect b = GetExpandButtonRect(RCol, ARow);
            DrawPushButton(C, this, b, FControlLook.FlatButton ? plFlat : plThemed,
                           G.CellBoolean ? stDown : stNormal, TColorTones{});
            C.Pen().SetColor(clBtnText);
            C.Pen().SetWidth(1);
            const int r = b.Right, t = b.Top;
            // A chevron up closes the expanded cell, one down opens it.
            if (G.CellExpanded) C.Polyline({{r - 10, t + 8}, {r - 7, t + 5}, {r - 3, t + 9}});
            else C.Polyline({{r - 10, t + 5}, {r - 7, t + 8}, {r - 3, t + 4}});
            return true;
        }
        case ctInterface: {
            IGridCellGraphic* o = G.Object<IGridCellGraphic>();
            if (!o) return true;
            const bool selected = IsSelected(DisplColIndex(RCol), ARow);
            o->Draw(C, Rect(cell.Left - 1, cell.Top - 1, cell.Right, cell.Bottom), RCol, ARow, selected, this);
            return true;
        }
        case ctBitmap: {
            TBitmap* b = G.Bitmap();
            if (!b || b->Empty()) return true;
            const TPoint at = PlaceGraphic(R, b->Width(), b->Height(), G.CellHAlign, G.CellVAlign);
            b->SetTransparent(G.CellTransparent);
            C.Draw(at.X, at.Y, *b);
            return true;
        }
        case ctProgress: {
            if (DrawThemedProgress(C, R, RCol, ARow)) return true;
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
            const int w = G.CellIndex & 65535, h = G.CellIndex >> 16;
            const TPoint at = PlaceGraphic(R, w, h, G.CellHAlign, G.CellVAlign);
            G.CellValue = double(at.Y - R.Top) * 65536 + (at.X - R.Left);
            bool enabled = true;
            if (!FControlLook.NoDisabledButtonLook) CellEditable(RCol, ARow, enabled);
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
