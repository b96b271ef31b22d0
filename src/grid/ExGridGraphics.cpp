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
    const TPoint natural = NaturalSize();
    const int w = natural.X, h = natural.Y;
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
        delete Object<TFilePicture>();
        delete Object<TStringList>();
        delete Icon();
    }
    delete Object<TIntList>();  // the image indexes always belong to the cell
    CellCreated = false;
    CellBitmap = std::monostate{};
    CellIcon = std::monostate{};
}

TCellGraphic* TExStringGrid::CreateCellGraphic(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() + FNumHidden || ARow >= RowCount() + NumHiddenRows())
        throw Exception(u"Invalid cell");
    // Only the cell's own object is freed: the row check box column 0 shows
    // belongs to the grid.
    TCellProperties* p = GetCellProperties(ACol, ARow);
    if (auto* old = dynamic_cast<TCellGraphic*>(p->GraphicObject())) {
        p->SetGraphicObject(nullptr);
        delete old;
    }
    auto* g = new TCellGraphic;
    p->SetGraphicObject(g);
    if (FNumHidden > 0 && DisplColIndex(ACol) != ACol) RepaintDisplCell(ACol, ARow);
    return g;
}

// A fresh graphic of the kind: what the cell held before is dropped.
TCellGraphic* TExStringGrid::NewGraphic(int ACol, int ARow, TCellType Kind) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = Kind;
    return g;
}

bool IsDataGraphicCell(TExStringGrid* Grid, int ACol, int ARow) {
    return Grid && Grid->HasGraphicOfKinds(ACol, ARow, {ctDataCheckBox, ctDataImage, ctVirtCheckBox, ctRowCheckBox});
}

// ---------------------------------------------------------------------------
// Bitmaps

void TExStringGrid::AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign HAlign,
                              TCellVAlign VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctBitmap);
    g->CellBitmap = ABmp;
    g->CellTransparent = Transparent;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

TBitmap* TExStringGrid::CreateBitmap(int ACol, int ARow, bool Transparent, TCellHAlign HAlign, TCellVAlign VAlign) {
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
    RemoveCellGraphicOfType(ACol, ARow, ctBitmap);
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
    if (FAutoNumAlign) SetAlignments(ACol, ARow, taRightJustify);
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
    RemoveCellGraphicOfType(ACol, ARow, ctProgress);
}

// ---------------------------------------------------------------------------
// Buttons

void TExStringGrid::AddButton(int ACol, int ARow, int BW, int BH, const String& Caption, TCellHAlign HAlign,
                              TCellVAlign VAlign) {
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

void TExStringGrid::AddBitButton(int ACol, int ARow, int BW, int BH, const String& Caption, TBitmap* Glyph,
                                 TCellHAlign HAlign, TCellVAlign VAlign) {
    AddButton(ACol, ARow, BW, BH, Caption, HAlign, VAlign);
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    g->CellType = ctBitButton;
    g->CellBitmap = Glyph;
}

TBitmap* TExStringGrid::CreateBitButton(int ACol, int ARow, int BW, int BH, const String& Caption, TCellHAlign HAlign,
                                        TCellVAlign VAlign) {
    auto* b = new TBitmap;
    AddBitButton(ACol, ARow, BW, BH, Caption, b, HAlign, VAlign);
    OwnGraphic(ACol, ARow)->CellCreated = true;
    return b;
}

void TExStringGrid::RemoveBitButton(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctBitButton);
}

void TExStringGrid::RemoveButton(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctButton);
    RemoveCellGraphicOfType(ACol, ARow, ctBitButton);
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
    if (ACol < 0 || ARow < 0) return nullptr;
    const TPoint b = BaseCell(ACol, ARow);
    TCellGraphic* g = GraphicOf(OwnGraphic(b.X, b.Y), ctRadio);
    return g ? g->Object<TStringList>() : nullptr;
}

bool TExStringGrid::ToggleRadioGroup(int ACol, int ARow, bool User) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(GetCellGraphic(ACol, ARow), ctRadio) : nullptr;
    if (!g) return false;
    if (User && !FControlLook.RadioAlwaysActive) {
        bool editable = true;
        CellEditable(ACol, ARow, editable);
        if (!editable) return false;
    }
    const TStringList* items = g->Object<TStringList>();
    const int count = items ? items->Count() : 0;
    // From the chosen option, or from the one the text names (an unknown text starts at the first).
    int next = g->CellIndex >= 0 ? g->CellIndex + 1 : (items ? items->IndexOf(GetCellEx(ACol, ARow)) : -1) + 1;
    if (next >= count) next = 0;
    // An index below -1 keeps the choice in the text only.
    if (g->CellIndex >= -1) g->CellIndex = next;
    g->CellVar = next;
    if (next < count) SetCellEx(ACol, ARow, items->Strings(next));
    RepaintDisplCell(ACol, ARow);
    return false;
}

bool TExStringGrid::KeyMayUseControl(int RCol, int ARow, bool AlwaysActive) {
    bool editable = Options().Contains(goEditing) || FMouseActions.RangeSelectAndEdit();
    CellEditable(RCol, ARow, editable);
    return editable || AlwaysActive;
}

void TExStringGrid::ToggleRadioByKey() {
    const int rc = RealColIndex(Col()), r = Row();
    if (!IsRadio(rc, r) || !KeyMayUseControl(rc, r, FControlLook.RadioAlwaysActive)) return;
    ToggleRadioGroup(rc, r, true);
    const TCellGraphic* g = GetCellGraphic(rc, r);
    if (OnRadioClick && g) OnRadioClick(this, rc, r, g->CellVar);
    RepaintCell(Col(), r);
}

void TExStringGrid::RadioGroupClick(int ACol, int ARow, int XOffset, int YOffset) {
    TBitmap measure(1, 1);
    TCanvas& m = measure.Canvas();
    m.Font().Assign(&Font());
    DoGetCellColor(ACol, ARow, TGridDrawState{}, m.Brush(), m.Font());
    const TPoint base = BaseCell(ACol, ARow);
    TCellGraphic* g = GraphicOf(GetCellGraphic(base.X, base.Y), ctRadio);
    if (!g) return;
    const int dc = DisplColIndex(base.X);
    if (!IsFixed(dc, base.Y)) MoveColRow(dc, base.Y, true, true);
    const TGridControlStyle style = FControlLook.ControlStyle;
    const int glyph = style == csClassic || style == csFlat ? FControlLook.RadioSize : 16;
    const TStringList* items = g->Object<TStringList>();
    const int count = items ? items->Count() : 0;
    // Side by side each option spans its glyph and text; stacked, one line each.
    const int line = std::max(glyph, m.TextHeight(u"gh"));
    const int offset = g->CellBoolean ? XOffset : YOffset;
    int start = 0, index = -1;
    for (int i = 0; i < count && index < 0; ++i) {
        const int end = start + (g->CellBoolean ? m.TextWidth(items->Strings(i)) + glyph : line);
        if (offset > start && offset <= end) index = i;
        start = end;
    }
    if (index < 0) return;
    if (g->CellIndex == -1) SetCellEx(base.X, base.Y, items->Strings(index));
    else g->CellIndex = index;
    SetCellEx(base.X, base.Y, GetCellEx(base.X, base.Y));
    SetRadioIdx(base.X, base.Y, index);
    if (OnRadioClick) OnRadioClick(this, base.X, base.Y, index);
}

bool TExStringGrid::RadioGroupPress(int ACol, int ARow, int X, int Y) {
    const int rc = RealColIndex(ACol);
    if (!IsRadio(rc, ARow) || (!IsEditable(rc, ARow) && !FControlLook.RadioAlwaysActive)) return false;
    HideInplaceEdit();
    const TRect R = CellRect(ACol, ARow);
    RadioGroupClick(rc, ARow, CellOffsetX(ACol, ARow, X), Y - R.Top);
    if (CanFocus()) SetFocus();
    return true;
}

void TExStringGrid::RemoveRadio(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctRadio);
}

// ---------------------------------------------------------------------------
// Icons, pictures and images of the grid's list

void TExStringGrid::AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign HAlign, TCellVAlign VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctIcon);
    g->CellIcon = AIcon;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

TIcon* TExStringGrid::CreateIcon(int ACol, int ARow, TCellHAlign HAlign, TCellVAlign VAlign) {
    auto* i = new TIcon;
    AddIcon(ACol, ARow, i, HAlign, VAlign);
    OwnGraphic(ACol, ARow)->CellCreated = true;
    return i;
}

void TExStringGrid::RemoveIcon(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctIcon);
}

// A picture or file picture fitted to the cell by StretchMode less Padding.
void TExStringGrid::AddFittedPicture(int ACol, int ARow, TCellType Kind, decltype(TCellGraphic::CellBitmap) Picture,
                                     bool Transparent, TStretchMode StretchMode, int Padding, TCellHAlign HAlign,
                                     TCellVAlign VAlign) {
    TCellGraphic* g = NewGraphic(ACol, ARow, Kind);
    g->CellBitmap = Picture;
    g->CellTransparent = Transparent;
    g->CellAngle = int(StretchMode);
    g->CellIndex = Padding;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::AddPicture(int ACol, int ARow, TPicture* APicture, bool Transparent, TStretchMode StretchMode,
                               int Padding, TCellHAlign HAlign, TCellVAlign VAlign) {
    AddFittedPicture(ACol, ARow, ctPicture, APicture, Transparent, StretchMode, Padding, HAlign, VAlign);
}

TPicture* TExStringGrid::CreatePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int Padding,
                                       TCellHAlign HAlign, TCellVAlign VAlign) {
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
    RemoveCellGraphicOfType(ACol, ARow, ctPicture);
}

void TExStringGrid::AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent,
                                   TStretchMode StretchMode, int Padding, TCellHAlign HAlign, TCellVAlign VAlign) {
    AddFittedPicture(ACol, ARow, ctFilePicture, AFilePicture, Transparent, StretchMode, Padding, HAlign, VAlign);
}

TFilePicture* TExStringGrid::CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode,
                                               int Padding, TCellHAlign HAlign, TCellVAlign VAlign) {
    auto* p = new TFilePicture;
    AddFilePicture(ACol, ARow, p, Transparent, StretchMode, Padding, HAlign, VAlign);
    OwnGraphic(ACol, ARow)->CellCreated = true;
    return p;
}

TFilePicture* TExStringGrid::GetFilePicture(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctFilePicture) : nullptr;
    return g ? g->Object<TFilePicture>() : nullptr;
}

void TExStringGrid::RemoveFilePicture(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctFilePicture);
}

void TExStringGrid::AddDataImage(int ACol, int ARow, int Idx, TCellHAlign HAlign, TCellVAlign VAlign) {
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
    RemoveCellGraphicOfType(ACol, ARow, ctDataImage);
    SetCellEx(ACol, ARow, String());
}

void TExStringGrid::AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign HAlign, TCellVAlign VAlign) {
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
    RemoveCellGraphicOfType(ACol, ARow, ctImages);
}

// ---------------------------------------------------------------------------
// Pies, range bars, styled progress, shapes and ratings

void TExStringGrid::AddProgressPie(int ACol, int ARow, TColor Color, int Value) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctProgressPie);
    g->CellBitmap = Color;
    g->CellAngle = Value;
    g->CellHAlign = haBeforeText;
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
    RemoveCellGraphicOfType(ACol, ARow, ctProgressPie);
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
    RemoveCellGraphicOfType(ACol, ARow, ctRangeIndicator);
}

void TExStringGrid::AddExProgress(int ACol, int ARow, int Min, int Max) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctXPProgress);
    g->CellErrFrom = Min;
    g->CellErrLen = Max;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveExProgress(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctXPProgress);
}

void TGridProgressAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TGridProgressAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FValues = s->FValues;
    Changed();
}

TProgressDrawInfo TGridProgressAppearance::DrawInfo() const {
    TProgressDrawInfo i;
    const TValues& v = FValues;
    i.Level0Color = v.Level0Color;
    i.Level0ColorTo = v.Level0ColorTo;
    i.Level1Color = v.Level1Color;
    i.Level1ColorTo = v.Level1ColorTo;
    i.Level2Color = v.Level2Color;
    i.Level2ColorTo = v.Level2ColorTo;
    i.Level3Color = v.Level3Color;
    i.Level3ColorTo = v.Level3ColorTo;
    i.Level1Perc = v.Level1Perc;
    i.Level2Perc = v.Level2Perc;
    i.BorderColor = v.BorderColor;
    i.ShowBorder = v.ShowBorder;
    i.Stacked = v.Stacked;
    i.ShowPercentage = v.ShowPercentage;
    i.CompleteFontColor = v.CompleteFontColor;
    i.CompletionSmooth = v.CompletionSmooth;
    i.ShowGradient = v.ShowGradient;
    i.Steps = v.Steps;
    i.UnCompleteColor = v.UnCompleteColor;
    return i;
}

void TExStringGrid::AddShape(int ACol, int ARow, TCellShape Shape, TColor FillColor, TColor LineColor,
                             TCellHAlign HAlign, TCellVAlign VAlign) {
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
    RemoveCellGraphicOfType(ACol, ARow, ctShape);
}

void TExStringGrid::AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor) {
    TCellGraphic* g = NewGraphic(ACol, ARow, ctRating);
    g->CellAngle = Scale;
    g->CellHAlign = haFull;
    g->CellIndex = int(FillColor);
    g->CellBitmap = EmptyColor;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveRating(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctRating);
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
    const TRect c = CellLayoutRect(DisplColIndex(ACol), ARow);
    return MirroredRect(Rect(c.Right - 13, c.Top + 2, c.Right - 2, c.Top + 13));
}

bool TExStringGrid::ToggleExpand(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GraphicOf(OwnGraphic(ACol, ARow), ctExpand) : nullptr;
    if (!g) return false;
    g->CellExpanded = !g->CellExpanded;
    return g->CellExpanded;
}

void TExStringGrid::RemoveExpand(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) return;
    RemoveCellGraphicOfType(ACol, ARow, ctExpand);
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
    RemoveCellGraphicOfType(ACol, ARow, ctInterface);
}

// ---------------------------------------------------------------------------
// Sizes

namespace {

bool BesideText(TCellHAlign A) { return A == haBeforeText || A == haAfterText; }
bool OverText(TCellVAlign A) { return A == vaUnderText || A == vaAboveText; }

}  // namespace

TPoint TCellGraphic::NaturalSize() const {
    if (const TPicture* p = Object<TPicture>()) return {p->Width(), p->Height()};
    if (const TFilePicture* f = Object<TFilePicture>()) return {f->Width(), f->Height()};
    return {0, 0};
}

TPoint TExStringGrid::CalcCellGraphicSize(int ACol, int ARow, int Extra) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GetCellGraphic(ACol, ARow) : nullptr;
    if (!g) return {0, 0};
    const bool hasText = !GetCellEx(ACol, ARow).empty();
    const bool beside = BesideText(g->CellHAlign), over = OverText(g->CellVAlign);
    const int cellW = ColWidths(DisplColIndex(ACol)), cellH = RowHeights(ARow);
    const TImageList* list = GetCellImageList(ACol, ARow);
    const int listW = list ? list->Width() : 0, listH = list ? list->Height() : 0;
    TBitmap measure(1, 1);
    TCanvas& m = measure.Canvas();
    m.Font().Assign(&Font());
    // Width counts beside the text (or alone), height above or under it (or alone).
    auto sized = [&](int W, int H) { return TPoint{beside || !hasText ? W : 0, over || !hasText ? H : 0}; };
    TPoint size{0, 0};
    bool captionWidth = false;
    switch (g->CellType) {
        case ctBitmap: {
            const TBitmap* b = g->Bitmap();
            if (b) size = sized(b->Width(), b->Height());
            break;
        }
        case ctIcon: {
            const TIcon* i = g->Icon();
            if (i) size = {sized(i->Width(), 0).X, i->Height()};
            break;
        }
        case ctImageList:
        case ctDataImage: size = sized(listW, listH); break;
        case ctPicture:
        case ctFilePicture:
            size = g->GetPictureSize(cellW - TotalXOffset() - 1, cellH - TotalYOffset() - Extra - 1);
            break;
        case ctButton:
        case ctBitButton: {
            const int w = g->CellIndex & 65535, h = g->CellIndex >> 16;
            const int caption = m.TextWidth(g->CellText) + 4;
            captionWidth = g->CellHAlign == haFull && !g->CellText.empty();
            if (!hasText) size = {g->CellHAlign == haFull ? caption : w, h};
            else
                size = {g->CellHAlign == haCenter ? 0 : g->CellHAlign == haFull ? caption : over ? 0 : w,
                        over ? h : 0};
            break;
        }
        case ctInterface: {
            IGridCellGraphic* o = g->Object<IGridCellGraphic>();
            const int w = o ? o->GetWidth() : 0, h = o ? o->GetHeight() : 0;
            size = w == 0 || h == 0 ? TPoint{cellW, cellH} : TPoint{w, h};
            break;
        }
        case ctProgressPie: size = {20, 20}; break;
        case ctRadioButton: size = {FControlLook.RadioSize, FControlLook.RadioSize}; break;
        case ctCheckBox:
        case ctDataCheckBox:
        case ctVirtCheckBox:
        case ctRowCheckBox:
        case ctTriStateCheckBox: size = {FControlLook.CheckSize, FControlLook.CheckSize}; break;
        case ctRadio: {
            const TStringList* items = g->Object<TStringList>();
            const int n = items ? items->Count() : 0, th = m.TextHeight(u"gh");
            int sum = 0, widest = 0;
            for (int i = 0; i < n; ++i) {
                const int w = m.TextWidth(items->Strings(i)) + 12;
                sum += w;
                widest = std::max(widest, w);
            }
            size = g->CellBoolean ? TPoint{sum, th} : TPoint{std::max(12, widest), std::max(16, th) * n};
            break;
        }
        case ctRating: size = {g->CellAngle * 18, 16}; break;
        case ctImages: {
            const TIntList* l = g->Object<TIntList>();
            const int n = l ? l->Count() : 0;
            size = g->CellBoolean ? TPoint{n * listW, listH} : TPoint{listW, n * listH};
            break;
        }
        default: break;
    }
    // A graphic over the whole width or height takes the cell's, except a
    // button already as wide as its caption and the stars of a rating.
    if (g->CellVAlign == vaFull) size.Y = cellH;
    if (g->CellHAlign == haFull && !captionWidth && g->CellType != ctRating) size.X = cellW;
    return size;
}

TCellGraphicLayout TExStringGrid::GetCellGraphicLayout(int ACol, int ARow) {
    TCellGraphicLayout l;
    l.Graphic = ACol >= 0 && ARow >= 0 ? GetCellGraphic(ACol, ARow) : nullptr;
    if (!l.Graphic) return l;
    const TCellGraphic& g = *l.Graphic;
    l.HAlign = g.CellHAlign;
    l.VAlign = g.CellVAlign;
    const TImageList* list = GetCellImageList(ACol, ARow);
    const int listW = list ? list->Width() : 0, listH = list ? list->Height() : 0;
    auto set = [&l](int W, int H, bool Text = true) {
        l.Width = W;
        l.Height = H;
        l.TextBeside = Text;
    };
    switch (g.CellType) {
        case ctBitmap:
            if (const TBitmap* b = g.Bitmap()) set(b->Width(), b->Height());
            break;
        case ctIcon:
            if (const TIcon* i = g.Icon()) set(i->Width(), i->Height());
            break;
        case ctImageList: set(listW, listH); break;
        case ctDataImage: set(listW, listH, false); break;
        case ctCheckBox:
        case ctTriStateCheckBox: set(FControlLook.CheckSize, FControlLook.CheckSize); break;
        case ctDataCheckBox:
        case ctVirtCheckBox:
        case ctRowCheckBox: set(FControlLook.CheckSize, FControlLook.CheckSize, false); break;
        case ctRotated:
        case ctRadio:
        case ctProgress:
        case ctRangeIndicator:
        case ctXPProgress: set(0, 0, false); break;
        case ctImages: {
            const TIntList* list = g.Object<TIntList>();
            const int n = list ? list->Count() : 0;
            if (g.CellBoolean) set(n * listW, listH);
            else set(listW, n * listH);
            break;
        }
        case ctPicture:
        case ctFilePicture: {
            const TPoint p = g.GetPictureSize(ColWidths(DisplColIndex(ACol)) - TotalXOffset() - 1,
                                              RowHeights(ARow) - TotalYOffset() - 1);
            set(p.X, p.Y);
            break;
        }
        case ctButton:
        case ctBitButton: set(g.CellIndex & 65535, g.CellIndex >> 16); break;
        case ctProgressPie: set(20, 20); break;
        case ctInterface:
            if (IGridCellGraphic* o = g.Object<IGridCellGraphic>()) set(o->GetWidth(), o->GetHeight());
            break;
        case ctRadioButton: set(FControlLook.RadioSize + 4, FControlLook.RadioSize + 4); break;
        case ctShape: {
            const int s = RowHeights(ARow) - 2 * FXYOffset.Y;
            set(s, s);
            break;
        }
        case ctRating: set(g.CellAngle * 18, 16, false); break;
        default: break;
    }
    return l;
}

// ---------------------------------------------------------------------------
// Painting

namespace {

// The top of an H high graphic in R.
int PlaceVertically(const TRect& R, int H, TCellVAlign VA) {
    const int height = R.Bottom - R.Top;
    switch (VA) {
        case vaBottom: return R.Bottom - 1 - H;
        case vaCenter: return H < height ? R.Top + (height - H) / 2 : R.Top + 1;
        case vaUnderText: return R.Bottom - H;
        case vaFull: return R.Top;
        default: return R.Top + 1;
    }
}

// Where a W x H graphic stands in R by its alignment; T is the width of
// the text drawn beside it (+ 2), TA that text's alignment. A graphic over
// the whole width or height takes R's.
TRect PlaceGraphic(const TRect& R, int W, int H, TCellHAlign HA, TCellVAlign VA, TAlignment TA = taLeftJustify,
                   int T = 0) {
    const int width = R.Right - R.Left, height = R.Bottom - R.Top;
    int x = R.Left + 1;
    switch (HA) {
        case haRight: x = R.Right - 1 - W; break;
        case haCenter: x = W < width ? R.Left + (width - W) / 2 : R.Left + 1; break;
        case haBeforeText:
            x = TA == taRightJustify ? R.Right - T - W : TA == taCenter ? R.Left + (width - T - W) / 2 : R.Left + 1;
            x = std::max(x, R.Left + 1);
            break;
        case haAfterText:
            x = TA == taRightJustify ? R.Right - 1 - W
                : TA == taCenter     ? R.Left + T + (width - T - W) / 2
                                     : R.Left + T;
            x = std::max(x, R.Left + 1);
            break;
        case haFull:
            x = R.Left;
            W = width;
            break;
        default: break;
    }
    const int y = PlaceVertically(R, H, VA);
    if (VA == vaFull) H = height;
    return Bounds(x, y, W, H);
}

bool IsBoxKind(TCellType Kind) { return IsCheckBoxKind(Kind) || Kind == ctRadioButton; }

// A check box or radio button goes by the text's alignment: T is the width of
// the text beside it (+ 2), 0 without; a data box has no text and keeps to the
// right edge itself.
TRect PlaceBox(const TRect& R, int W, int H, TCellVAlign VA, TAlignment TA, int T, bool DataBox) {
    const int width = R.Right - R.Left;
    int x = R.Left + 1;
    if (TA == taRightJustify) x = (DataBox ? R.Right : R.Right - T) - W - 1;
    else if (TA == taCenter) x = T > 0 ? R.Left + std::max(0, width - T) / 2 - W : R.Left + std::max(0, width - W) / 2;
    x = std::max(x, R.Left + 1);
    return Bounds(x, PlaceVertically(R, H, VA), W, H);
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
        case ctDataCheckBox:
        case ctVirtCheckBox:
        case ctRowCheckBox:
        case ctRating: return false;
        default: return true;
    }
}

void TExStringGrid::DrawRadioGlyph(TCanvas& C, int x, int y, TGridControlStyle Style, bool On, bool Enabled) {
    const int rs = FControlLook.RadioSize;
    if (Style == csClassic || Style == csFlat || Style == csTheme) {
        unsigned state = DFCS_BUTTONRADIO;
        if (On) state |= DFCS_CHECKED;
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
        C.Pen().SetColor(On ? clGray : clWhite);
        C.MoveTo(x + 2, y + 8);
        C.LineTo(x + 8, y + 2);
        C.LineTo(x + 14, y + 8);
        C.Pen().SetColor(On ? clWhite : clGray);
        C.LineTo(x + 8, y + 14);
        C.LineTo(x + 2, y + 8);
        if (On) {
            C.Brush().SetColor(FControlLook.Color);
            C.Pen().SetColor(FControlLook.Color);
            C.Polygon({{x + 5, y + 8}, {x + 8, y + 5}, {x + 11, y + 8}, {x + 8, y + 11}});
        }
    } else if (Style == csGlyph) {
        TBitmap& b = On ? FControlLook.RadioOnGlyph : FControlLook.RadioOffGlyph;
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
        if (On) {
            const TColor dot = Enabled ? (Style == csGPK ? clBlack : TColor(0x21A121)) : clGray;
            C.Brush().SetColor(dot);
            C.Pen().SetColor(dot);
            C.Ellipse(x + 5, y + 5, x + 11, y + 11);
        }
    }
}

void TExStringGrid::DrawRadio(TCanvas& C, TRect R, TGridControlStyle Style, const TStringList* Items, int Count,
                              int Index, const String& Current, bool Enabled, bool Horizontal) {
    if (FControlLook.RadioAlwaysActive || FControlLook.NoDisabledCheckRadioLook) Enabled = true;
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
        DrawRadioGlyph(C, x, y, Style, on, Enabled);
        if (!text.empty()) {
            C.Brush().SetStyle(bsClear);
            C.Font().SetColor(Enabled ? C.Font().Color() : clGrayText);
            C.TextOut(tx, ty, text);
            textsBefore += C.TextWidth(text);
        }
    }
    C.Brush().SetStyle(bsSolid);
}

void TExStringGrid::FitTextBesideGraphic(TRect& R, TAlignment TextAlign) {
    FPaintTextAlign = TextAlign;
    R.Left += FPaintNodeIndent;
    const TCellGraphicLayout& l = FPaintGraphic;
    if (!l.Graphic || !l.TextBeside) return;
    if (l.HAlign == haBeforeText) R.Left += l.Width;
    else if (l.HAlign == haAfterText) R.Right -= l.Width;
    if (l.VAlign == vaAboveText) R.Top += l.Height;
    else if (l.VAlign == vaUnderText) R.Bottom -= l.Height;
}

void TExStringGrid::NoteTextWidth(TCanvas& C, const String& Text, TRect R, unsigned Flags) {
    if (!FPaintGraphic.Graphic || Text.empty()) return;
    C.DrawText(Text, R, Flags | DT_CALCRECT);
    const int w = R.Right - R.Left;
    FPaintTextWidth = w > 0 ? w + 2 : 0;
}

TRect TExStringGrid::PlacePaintedGraphic(const TRect& R, int W, int H, const TCellGraphic& G) const {
    return PlaceGraphic(R, W, H, G.CellHAlign, G.CellVAlign, FPaintTextAlign, FPaintTextWidth);
}

void TExStringGrid::DrawCellButton(TCanvas& C, int RCol, int ARow, TRect B, TCellGraphic& G) {
    // Where the mouse finds it: the offset from the cell's own rectangle.
    const TRect own = CellLayoutRect(DisplColIndex(RCol), ARow);
    G.CellValue = double(B.Top - own.Top) * 65536 + (B.Left - own.Left);
    bool enabled = true;
    if (!FControlLook.NoDisabledButtonLook) CellEditable(RCol, ARow, enabled);
    const bool hot = FHoverButton.X >= 0 && RealColIndex(FHoverButton.X) == RCol && FHoverButton.Y == ARow;
    const TPartState state = G.CellBoolean ? stDown : !enabled ? stDisabled : hot ? stHot : stNormal;
    DrawPushButton(C, this, B, FControlLook.FlatButton ? plFlat : plThemed, state, TColorTones{});
    if (G.CellBoolean) OffsetRect(B, 1, 1);
    TRect text = B;
    text.Left += 1;
    // A bit button's glyph: at the left with the caption after it, or
    // centred when it stands alone in a button wider than itself.
    TBitmap* glyph = G.CellType == ctBitButton ? G.Bitmap() : nullptr;
    if (glyph && !glyph->Empty()) {
        const int bw = B.Right - B.Left, bh = B.Bottom - B.Top, gw = glyph->Width(), gh = glyph->Height();
        const int y = gh < bh ? B.Top + (bh - gh) / 2 : B.Top + 3;
        const bool atLeft = !G.CellText.empty() || gw >= bw;
        const int x = atLeft ? B.Left + 3 : B.Left + (bw - gw) / 2;
        glyph->SetTransparent(true);
        C.Draw(x, y, *glyph);
        if (atLeft) text.Left = x + gw + 4;
    }
    C.Brush().SetStyle(bsClear);
    C.Font().SetColor(enabled ? clBtnText : clGrayText);
    const bool lines = G.CellText.find(u'\n') != String::npos;
    C.DrawText(G.CellText, text,
               DT_CENTER | DT_END_ELLIPSIS | DT_NOPREFIX | (lines ? DT_WORDBREAK : DT_VCENTER | DT_SINGLELINE));
    C.Brush().SetStyle(bsSolid);
}

void TExStringGrid::DrawCellBox(TCanvas& C, int RCol, int ARow, TRect R, TCellGraphic& G) {
    TVAlignment cellVA = FVAlignment;
    const TAlignment ta = CellAlignment(RCol, ARow, &cellVA);
    // A cell aligned unlike the grid takes its own vertical alignment.
    TCellVAlign va = G.CellVAlign;
    if (cellVA != FVAlignment) va = cellVA == vtaCenter ? vaCenter : cellVA == vtaBottom ? vaBottom : vaTop;
    const bool radio = G.CellType == ctRadioButton;
    const bool dataBox = G.CellType == ctDataCheckBox || G.CellType == ctVirtCheckBox || G.CellType == ctRowCheckBox;
    const int size = radio ? FControlLook.RadioSize + 4 : FControlLook.CheckSize;
    const TRect at = PlaceBox(R, size, size, va, ta, dataBox ? 0 : FPaintTextWidth, dataBox);
    bool enabled = FControlLook.NoDisabledCheckRadioLook ||
                   (radio ? FControlLook.RadioAlwaysActive : FControlLook.CheckAlwaysActive);
    if (!enabled) {
        enabled = true;
        CellEditable(RCol, ARow, enabled);
    }
    if (radio) {
        DrawRadioGlyph(C, at.Left + FXYOffset.X, at.Top, FControlLook.ControlStyle, G.CellBoolean, enabled);
        C.Brush().SetStyle(bsSolid);
        return;
    }
    bool checked = G.CellBoolean, grayed = false;
    if (G.CellType == ctTriStateCheckBox) {
        checked = G.CellCheckBoxState == cbChecked;
        grayed = G.CellCheckBoxState == cbGrayed;
    } else if (G.CellType == ctRowCheckBox) {
        grayed = G.CellAngle > 0;
    } else if (dataBox) {
        checked = GetCellEx(RCol, ARow) == DoGetCheckTrue(RCol, ARow);
    }
    DrawCheckBox(C, at, checked, enabled, grayed);
}

bool TExStringGrid::DrawCellGraphic(TCanvas& C, int RCol, int ARow, TRect R, TCellGraphic& G) {
    const bool shrink = G.CellType != ctNode && G.CellType != ctProgress && G.CellType != ctRangeIndicator &&
                        G.CellType != ctXPProgress;
    const TRect cell = R;
    if (shrink) InflateRect(R, -(FXYOffset.X - 1), -(FXYOffset.Y - 1));
    auto value = [&] { return StrToFloatDef(GetCellEx(RCol, ARow), 0.0); };
    if (IsBoxKind(G.CellType)) {
        DrawCellBox(C, RCol, ARow, R, G);
        return true;
    }
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
            const TRect at = PlacePaintedGraphic(R, i->Width(), i->Height(), G);
            C.Draw(at.Left, at.Top, *i);
            return true;
        }
        case ctPicture:
        case ctFilePicture: {
            const TPoint size = G.GetPictureSize(ColWidths(DisplColIndex(RCol)) - TotalXOffset() - 1,
                                                 RowHeights(ARow) - TotalYOffset() - 1);
            const TRect at = PlacePaintedGraphic(R, size.X, size.Y, G);
            if (TFilePicture* f = G.Object<TFilePicture>()) {
                // A file gone or spoilt since it was named paints nothing.
                try {
                    f->DrawPicture(C, at);
                } catch (const Exception&) {
                }
                return true;
            }
            TPicture* p = G.Object<TPicture>();
            if (!p || !p->Graphic() || p->Graphic()->Empty()) return true;
            TGraphic& pic = *p->Graphic();
            pic.SetTransparent(G.CellTransparent);
            if (G.CellAngle != noStretch) C.StretchDraw(at, pic);
            else C.Draw(at.Left, at.Top, pic);
            return true;
        }
        case ctImageList: {
            TImageList* list = GetCellImageList(RCol, ARow);
            if (!list || G.CellIndex < 0 || G.CellIndex >= list->Count()) return true;
            const TRect at = PlacePaintedGraphic(R, list->Width(), list->Height(), G);
            list->Draw(C, at.Left, at.Top, G.CellIndex);
            return true;
        }
        case ctDataImage: {
            if (!FGridImages) return true;
            // The cell's value is the image; its starting index went into the text.
            const int idx = StrToIntDef(Trim(GetCellEx(RCol, ARow)), -1);
            if (idx < 0 || idx >= FGridImages->Count()) return true;
            const TRect at = PlacePaintedGraphic(R, FGridImages->Width(), FGridImages->Height(), G);
            FGridImages->Draw(C, at.Left, at.Top, idx);
            return true;
        }
        case ctImages: {
            const TIntList* l = G.Object<TIntList>();
            if (!FGridImages || !l) return true;
            const int w = FGridImages->Width(), h = FGridImages->Height(), n = l->Count();
            const TRect at = PlacePaintedGraphic(R, G.CellBoolean ? n * w : w, G.CellBoolean ? h : n * h, G);
            TPoint p{at.Left, at.Top};
            for (int i = 0; i < n; ++i) {
                const int idx = l->GetInteger(i);
                if (idx >= 0 && idx < FGridImages->Count()) FGridImages->Draw(C, p.X, p.Y, idx);
                (G.CellBoolean ? p.X : p.Y) += G.CellBoolean ? w : h;
            }
            return true;
        }
        case ctProgressPie: {
            const TRect at = PlacePaintedGraphic(R, 20, 20, G);
            DrawPieIndicator(C, Bounds(at.Left, at.Top, 20, 20), G.BitmapColor(), G.CellAngle, false);
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
            TProgressDrawInfo info = FProgressAppearance.DrawInfo();
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
            const TRect at = PlacePaintedGraphic(R, s, s, G);
            DrawCellShape(C, at.Left, at.Top, at.Right - at.Left - 1, at.Bottom - at.Top - 1, TCellShape(G.CellAngle),
                          TColor(G.CellIndex), G.BitmapColor());
            return true;
        }
        case ctRating: {
            const double v = std::floor(value() * 2) / 2;
            const TRect at = PlacePaintedGraphic(R, G.CellAngle * 18, 16, G);
            for (int i = 1; i <= G.CellAngle; ++i) {
                const int x = at.Left + (i - 1) * 18, y = at.Top;
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
            // Where the mouse finds it, in the left-to-right layout the painting works in.
            TRect b = MirroredRect(GetExpandButtonRect(RCol, ARow));
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
            const TRect at = PlacePaintedGraphic(R, b->Width(), b->Height(), G);
            b->SetTransparent(G.CellTransparent);
            C.Draw(at.Left, at.Top, *b);
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
        case ctButton:
        case ctBitButton: {
            const TRect at = PlacePaintedGraphic(R, G.CellIndex & 65535, G.CellIndex >> 16, G);
            DrawCellButton(C, RCol, ARow, at, G);
            return true;
        }
        default: return false;
    }
}
