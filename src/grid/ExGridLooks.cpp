// The grid's visual presets: the looks, the style presets, the colour
// schemes, and the selection gradient they set; progress bars drawn by the
// visual style.
#include "grid/ExGrid.h"
#include "grid/ExGridDropDowns.h"
#include "grid/ExGridEditors.h"

#include "grid/foundation/ExStyleIF.h"
#include "grid/foundation/GridColors.h"

#include "framework/Resources.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"

#include <algorithm>
#include <iterator>

// The metro look's check and radio glyphs, 16 x 16 on a see-through ground
// (the bottom-left colour).
static TResourceRegistrar MetroGlyphs([] {
    auto box = [](TBitmap& B, bool Radio, bool On) {
        B.SetSize(16, 16);
        TCanvas& c = B.Canvas();
        c.Brush().SetColor(clFuchsia);
        c.FillRect(Rect(0, 0, 16, 16));
        c.Pen().SetColor(TColor(0x555555));
        c.Brush().SetColor(clWhite);
        if (Radio) c.Ellipse(1, 1, 15, 15);
        else c.Rectangle(1, 1, 15, 15);
        if (!On) return;
        c.Brush().SetColor(TColor(0x333333));
        c.Pen().SetColor(TColor(0x333333));
        if (Radio) c.Ellipse(5, 5, 11, 11);
        else c.FillRect(Rect(4, 4, 12, 12));
    };
    RegisterBitmapResource(u"metrocheckon", [box](TBitmap& B) { box(B, false, true); });
    RegisterBitmapResource(u"metrocheckoff", [box](TBitmap& B) { box(B, false, false); });
    RegisterBitmapResource(u"metroradioon", [box](TBitmap& B) { box(B, true, true); });
    RegisterBitmapResource(u"metroradiooff", [box](TBitmap& B) { box(B, true, false); });
});

// ---------------------------------------------------------------------------
// Selection gradient

void TExStringGrid::SetSelectionColorTo(TColor Value) {
    if (Value == FSelectionColorTo) return;
    FSelectionColorTo = Value;
    InvalidateGrid();
}
void TExStringGrid::SetSelectionMirrorColor(TColor Value) {
    if (Value == FSelectionMirrorColor) return;
    FSelectionMirrorColor = Value;
    InvalidateGrid();
}
void TExStringGrid::SetSelectionMirrorColorTo(TColor Value) {
    if (Value == FSelectionMirrorColorTo) return;
    FSelectionMirrorColorTo = Value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Look names

namespace {

struct TLookName {
    TGridLook Look;
    const char16_t* Ident;
    const char16_t* Caption;
};

constexpr TLookName LookNames[] = {
    {glStandard, u"glStandard", u"Standard"},  {glSoft, u"glSoft", u"Soft"},
    {glClassic, u"glClassic", u"Classic"},     {glGPK, u"glGPK", u"GPK"},
    {glXP, u"glXP", u"Windows XP"},            {glListView, u"glListView", u"ListView"},
    {glVista, u"glVista", u"Windows Vista"},   {glWin7, u"glWin7", u"Windows 7"},
    {glOffice2007, u"glOffice2007", u"Office2007"},
};

const TLookName* FindLook(TGridLook Look) {
    for (const TLookName& n : LookNames)
        if (n.Look == Look) return &n;
    return nullptr;
}

}  // namespace

String TExStringGrid::LookToString(TGridLook Look) {
    const TLookName* n = FindLook(Look);
    return n ? String(n->Ident) : String();
}

String TExStringGrid::LookToCaption(TGridLook Look) {
    const TLookName* n = FindLook(Look);
    return n ? String(n->Caption) : String();
}

// ---------------------------------------------------------------------------
// Look preset

void TExStringGrid::SetLook(TGridLook Value) {
    if (Value == FLook) return;
    FLook = Value;
    if (Value != glCustom) {
        FControlLook.SetFixedGradientMirrorFrom(clNone);
        FControlLook.SetFixedGradientMirrorTo(clNone);
        FControlLook.FixedGradientFrom = clNone;
        FControlLook.FixedGradientTo = clNone;
        FGPKGradientFrom = FGPKGradientTo = FGPKGradientMirrorFrom = FGPKGradientMirrorTo = clNone;
        FSortSettings.SetHeaderColor(clNone);
    }
    switch (Value) {
        case glVista:
            SetStyle(tsWindowsVista);
            FStyle = tsWindowsVista;
            SetSelectionStyle(ssVista);
            break;
        case glWin7:
            SetStyle(tsWindows7);
            FStyle = tsWindows7;
            SetSelectionStyle(ssWin7);
            break;
        case glOffice2007:
            SetStyle(tsOffice2007Luna);
            FStyle = tsOffice2007Luna;
            SetSelectionStyle(ssOffice2007);
            break;
        case glCustom: break;
        default: ApplyPlainLook(Value);
    }
    SetScrollType(ssNormal);
    SetBorderStyle(bsSingle);
    SetBorderColor(TColor(0xB99D7F));
    InvalidateGrid();
}

void TExStringGrid::ApplyPlainLook(TGridLook Value) {
    HandStyleToEditors(tsWindowsXP);
    SetSelectionStyle(ssDefault);
    if (IsLoading()) return;
    if (Value == glStandard || Value == glSoft || Value == glClassic) {
        SetFixedColor(clBtnFace);
        FControlLook.SetFixedGradientFrom(clBtnFace);
        FControlLook.SetFixedGradientTo(clNone);
    } else {
        FControlLook.SetFixedGradientFrom(clWhite);
        FControlLook.SetFixedGradientTo(clBtnFace);
    }
    SetGridFixedLineColor(clGray);
    FControlLook.SetFixedGradientMirrorFrom(clNone);
    FControlLook.SetFixedGradientMirrorTo(clNone);
    SetGridLineColor(clSilver);
    if (Value == glGPK || Value == glXP) {
        SetActiveCellColor(TColor(0xEACAB6));
        SetActiveCellColorTo(clNone);
        SetSelectionColor(TColor(0xEACAB6));
        SetSelectionColorTo(clNone);
        SetSelectionTextColor(clBlack);
        FControlLook.SetFixedGradientFrom(clWhite);
        FControlLook.SetFixedGradientTo(Value == glXP ? clBtnFace : clSilver);
        FControlLook.SetFixedGradientHoverFrom(TColor(0xCFD0D1));
        FControlLook.SetFixedGradientHoverTo(TColor(0xBEC6C8));
        FControlLook.SetFixedGradientHoverMirrorFrom(TColor(0xBEC6C8));
        FControlLook.SetFixedGradientHoverMirrorTo(TColor(0xABBCBF));
        FControlLook.SetFixedGradientDownFrom(TColor(0x868788));
        FControlLook.SetFixedGradientDownTo(TColor(0x737C7E));
        FControlLook.SetFixedGradientDownMirrorFrom(TColor(0x737C7E));
        FControlLook.SetFixedGradientDownMirrorTo(TColor(0x627376));
        SearchFooter().SetColor(FGPKGradientFrom);
        SearchFooter().SetColorTo(FGPKGradientTo);
    } else {
        SetActiveCellColor(clGray);
        SetActiveCellColorTo(clNone);
        SetSelectionColor(clHighlight);
        SetSelectionTextColor(clHighlightText);
        SearchFooter().SetColor(clBtnFace);
        SearchFooter().SetColorTo(clBtnFace);
    }
}

// ---------------------------------------------------------------------------
// Style presets

namespace {

constexpr TColor N = clNone;
// A colour the preset leaves as it is.
constexpr TColor Keep = TColor(0x2FFFFFFF);

// One style: its look (-1 keeps the look), the header gradient G, the
// active-cell colours A, the grid and fixed line colours, the selection
// colour, its gradient end and text colour (Keep: not set), the control
// look's gradient (from G, its mirror from G, cleared at the end), the hover and down colours (from,
// to, mirror from, mirror to, border; Keep: not set), the sorted header's
// colours and the selection style.
struct TStylePreset {
    TGPKStyle Style;
    int Look;
    TColor G[4];
    TColor A[2];
    TColor Lines[2];
    TColor S[3];
    bool GradientFromG;
    bool MirrorFromG;
    // The control look's gradient ends cleared.
    bool GradientCleared;
    TColor Hover[5];
    TColor Down[5];
    TColor SortHeader[4];
    TGridSelectionStyle SelectionStyle;
};

const TStylePreset StylePresets[] = {
    {tsOffice2003Blue, glXP, {0xFCE1CB, 0xE0A57D, N, N}, {0x94E6FB, 0x1595EE}, {clSilver, clGray},
     {0x94E6FB, 0x1595EE, clBlack}, true, false, false, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep},
     {N, N, N, N}, ssDefault},
    {tsOffice2003Silver, glXP, {0xECE2E1, 0xB39698, N, N}, {0x94E6FB, 0x1595EE}, {clSilver, clGray},
     {0x94E6FB, 0x1595EE, clBlack}, true, false, false, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep},
     {N, N, N, N}, ssDefault},
    {tsOffice2003Olive, glXP, {0xCFF0EA, 0x8CC0B1, N, N}, {0x94E6FB, 0x1595EE}, {clSilver, clGray},
     {0x94E6FB, 0x1595EE, clBlack}, true, false, false, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep},
     {N, N, N, N}, ssDefault},
    {tsOffice2003Classic, glXP, {clWhite, 0xCCD4D8, N, N}, {0xD8D5D4, 0xD8D5D4}, {clSilver, clGray},
     {Keep, Keep, Keep}, false, false, true, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep},
     {N, N, N, N}, ssDefault},
    {tsOffice2007Luna, glOffice2007, {0xFBF9F6, 0xE8DBD2, N, N}, {0x9DD8F9, 0x5EC1F1}, {0xF1EDEB, 0xD1BBA4},
     {0x5EC1F1, Keep, clBlack}, true, false, false, {0xE4E2DF, 0xDBD3CD, 0xDBD3CD, 0xD2C5BC, 0xB79F87},
     {0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D, 0xE4C19D}, {N, N, N, N}, ssOffice2007},
    {tsOffice2007Obsidian, glOffice2007, {0xF7F7F7, 0xDEDEDE, N, N}, {0x9DD8F9, 0x5EC1F1}, {0xE5D7D0, clGray},
     {0x5EC1F1, Keep, clBlack}, true, false, false, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep},
     {N, N, N, N}, ssDefault},
    {tsWindowsXP, glXP, {clBtnFace, clBtnFace, N, N}, {clBtnFace, clBtnFace}, {clSilver, clGray}, {Keep, Keep, Keep},
     false, false, true, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep}, {N, N, N, N}, ssDefault},
    {tsWhidbey, -1, {clWhite, clBtnFace, N, N}, {0x94E6FB, 0x1595EE}, {clSilver, clGray}, {Keep, Keep, Keep}, false, false,
     true, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep}, {N, N, N, N}, ssDefault},
    {tsOffice2007Silver, glOffice2007, {0xF3F3F1, 0xCAC9C8, Keep, Keep}, {0x99CCFF, 0x699CFF}, {0xE5D7D0, clGray},
     {0x95C7F5, Keep, clBlack}, true, false, false, {Keep, Keep, Keep, Keep, Keep}, {Keep, Keep, Keep, Keep, Keep},
     {N, N, N, N}, ssDefault},
    {tsWindowsVista, glVista, {clWhite, clWhite, 0xFAF8F7, 0xF4F2F1}, {0xFDF8F1, 0xFCEFD5}, {0xECECF0, 0xD4D2D1},
     {0xEACAB6, Keep, clBlack}, true, true, true, {0xFFF7E3, 0xFFF7E3, 0xFFEDBD, 0xFBE7B7, 0xE3C993},
     {0xF9E4BC, 0xF9E4BC, 0xF7D68D, 0xF5D18A, 0xAE904F}, {0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8}, ssVista},
    {tsWindows7, glWin7, {0xFDFCFA, 0xFAF0E6, 0xF4E6DC, 0xF7E9DD}, {0xFCEBDC, 0xFCDBC1}, {0xECECF0, 0xD4D2D1},
     {0xEACAB6, Keep, clBlack}, true, true, true, {0xFEFBF8, 0xFAF2ED, 0xF4E4D7, 0xE8D2C1, 0xEEE8E3},
     {0xF1E8DD, 0xF1E4D8, 0xECDBCF, 0xEDDCCF, 0xD5BCAA}, {0xFCF9F2, 0xFCF9F2, 0xF9F1E1, 0xF6ECD8}, ssWin7},
    {tsOffice2010Blue, glOffice2007, {0xF5E7DA, 0xF5E7DA, 0xF5E7DA, 0xF5E7DA}, {0x5BD5FF, 0x71EFFF},
     {clSilver, 0xC7B0A0}, {0xFFDBB7, Keep, clBlack}, true, true, true, {0x6BDFFF, 0xAFEFFF, 0xAFEFFF, 0xE6FCFF, 0x3ABFE8},
     {0x5BD5FF, 0x64E0FF, 0x64E0FF, 0x71EFFF, 0x308AC2}, {0xD6CEC7, 0xD6CEC7, 0xD6CEC7, 0xD6CEC7}, ssDefault},
    {tsOffice2010Silver, glOffice2007, {0xE8E3DF, 0xE8E3DF, 0xE8E3DF, 0xE8E3DF}, {0x5BD5FF, 0x71EFFF},
     {clSilver, 0xBAB5B1}, {0xFFDBB7, Keep, clBlack}, true, true, true, {0x6BDFFF, 0xAFEFFF, 0xAFEFFF, 0xE6FCFF, 0x3ABFE8},
     {0x5BD5FF, 0x64E0FF, 0x64E0FF, 0x71EFFF, 0x308AC2}, {0xAAAAAA, 0xAAAAAA, 0xAAAAAA, 0xAAAAAA}, ssDefault},
    {tsOffice2010Black, glOffice2007, {0x6A6A6A, 0x6A6A6A, 0x6A6A6A, 0x6A6A6A}, {0x5BD5FF, 0x71EFFF},
     {clSilver, 0x444444}, {0xFFDBB7, Keep, clBlack}, true, true, true, {0x6BDFFF, 0xAFEFFF, 0xAFEFFF, 0xE6FCFF, 0x3ABFE8},
     {0x5BD5FF, 0x64E0FF, 0x64E0FF, 0x71EFFF, 0x308AC2}, {0xBABABA, 0xBABABA, 0xBABABA, 0xBABABA}, ssDefault},
};

// Resets the control look as at creation: colours stored, only the hover and
// down mirror colours reaching the grid.
void InitControlLook(TControlLook& L) {
    L.FixedGradientFrom = L.FixedGradientTo = L.FixedGradientMirrorFrom = L.FixedGradientMirrorTo = clNone;
    L.FixedGradientHoverFrom = clGray;
    L.FixedGradientHoverTo = clWhite;
    L.FixedGradientHoverBorder = clSilver;
    L.FixedGradientDownFrom = clGray;
    L.FixedGradientDownTo = clSilver;
    L.FixedGradientDownBorder = clGray;
    L.SetFixedGradientHoverMirrorFrom(clNone);
    L.SetFixedGradientHoverMirrorTo(clNone);
    L.SetFixedGradientDownMirrorFrom(clNone);
    L.SetFixedGradientDownMirrorTo(clNone);
}

}  // namespace

void TExStringGrid::SetStyle(TGPKStyle AStyle) {
    SetSelectionColor(clHighlight);
    SetSelectionColorTo(clNone);
    SetSelectionTextColor(clHighlightText);
    SetSelectionStyle(ssDefault);
    FSortSettings.SetHeaderColor(clNone);
    FSortSettings.SetHeaderColorTo(clNone);
    FSortSettings.SetHeaderMirrorColor(clNone);
    FSortSettings.SetHeaderMirrorColorTo(clNone);
    InitControlLook(FControlLook);
    if (AStyle == tsTerminal) SetLook(glStandard);
    for (const TStylePreset& p : StylePresets) {
        if (p.Style != AStyle) continue;
        if (p.Look >= 0) SetLook(TGridLook(p.Look));
        FGPKGradientFrom = p.G[0];
        FGPKGradientTo = p.G[1];
        if (p.G[2] != Keep) FGPKGradientMirrorFrom = p.G[2];
        if (p.G[3] != Keep) FGPKGradientMirrorTo = p.G[3];
        SetActiveCellColor(p.A[0]);
        SetActiveCellColorTo(p.A[1]);
        SetGridLineColor(p.Lines[0]);
        SetGridFixedLineColor(p.Lines[1]);
        if (p.S[0] != Keep) SetSelectionColor(p.S[0]);
        if (p.S[1] != Keep) SetSelectionColorTo(p.S[1]);
        if (p.S[2] != Keep) SetSelectionTextColor(p.S[2]);
        if (p.GradientFromG) {
            FControlLook.SetFixedGradientFrom(p.G[0]);
            FControlLook.SetFixedGradientTo(p.G[1]);
        }
        if (p.MirrorFromG) {
            FControlLook.SetFixedGradientMirrorFrom(p.G[2]);
            FControlLook.SetFixedGradientMirrorTo(p.G[3]);
        }
        if (p.Hover[0] != Keep) {
            FControlLook.SetFixedGradientHoverFrom(p.Hover[0]);
            FControlLook.SetFixedGradientHoverTo(p.Hover[1]);
            FControlLook.SetFixedGradientHoverMirrorFrom(p.Hover[2]);
            FControlLook.SetFixedGradientHoverMirrorTo(p.Hover[3]);
            FGPKGradientHoverBorder = p.Hover[4];
            FControlLook.SetFixedGradientDownFrom(p.Down[0]);
            FControlLook.SetFixedGradientDownTo(p.Down[1]);
            FControlLook.SetFixedGradientDownMirrorFrom(p.Down[2]);
            FControlLook.SetFixedGradientDownMirrorTo(p.Down[3]);
            FControlLook.SetFixedGradientDownBorder(p.Down[4]);
        }
        FSortSettings.SetHeaderColor(p.SortHeader[0]);
        FSortSettings.SetHeaderColorTo(p.SortHeader[1]);
        FSortSettings.SetHeaderMirrorColor(p.SortHeader[2]);
        FSortSettings.SetHeaderMirrorColorTo(p.SortHeader[3]);
        SetSelectionStyle(p.SelectionStyle);
        if (p.GradientCleared) FControlLook.FixedGradientFrom = FControlLook.FixedGradientTo = clNone;
    }
    if (AStyle != tsCustom && AStyle != tsTerminal) {
        SearchFooter().SetColor(FGPKGradientFrom);
        SearchFooter().SetColorTo(FGPKGradientMirrorTo);
    }
    InvalidateGrid();
}

// The style remembered is the one applied, also when its look's own preset ran on the way.
void TExStringGrid::SetComponentStyle(TGPKStyle AStyle) {
    SetStyle(AStyle);
    FStyle = AStyle;
    HandStyleToEditors(AStyle);
    if (AStyle != tsCustom && FScrollType == ssMetro) SetScrollType(ssNormal);
}

// ---------------------------------------------------------------------------
// Following the desktop's office colour scheme

void TExStringGrid::SetAutoThemeAdapt(bool Value) {
    if (FAutoThemeAdapt == Value) return;
    FAutoThemeAdapt = Value;
    SearchFooter().SetAutoThemeAdapt(Value);
    if (Value) {
        ThemeAdapt();
        Invalidate();
    }
    if (!ComponentState().Contains(csDesigning) && HandleAllocated() && !IsLoading()) ThemeNotifierRegister(Value);
}

void TExStringGrid::ThemeAdapt() {
    if (ComponentState().Contains(csDesigning)) return;
    const TOfficeTheme theme = CurrentOfficeTheme();
    if (theme == FLastOfficeTheme) return;
    FLastOfficeTheme = theme;
    if (theme != otUnknown) SetComponentStyle(OfficeThemeStyle(theme));
}

void TExStringGrid::ThemeNotifierRegister(bool Add) {
    // Owned by the form when there is one, so that it outlives this grid.
    TThemeNotifier* notifier = GetThemeNotifier(Owner() ? Owner() : this);
    if (Add) notifier->RegisterWindow(Handle());
    else notifier->UnRegisterWindow(Handle());
}

// ---------------------------------------------------------------------------
// Colour schemes

void TExStringGrid::SetTheme(TXPColorScheme Scheme) {
    struct TScheme {
        TXPColorScheme Scheme;
        TColor From, To, MirrorFrom, MirrorTo, Active, ActiveTo, Footer, FooterTo;
    };
    static constexpr TScheme schemes[] = {
        {xpBlue, 0xFCE1CB, 0xE0A57D, clNone, clNone, 0x94E6FB, 0x1595EE, 0xFCE1CB, 0xE0A57D},
        {xpGreen, 0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x94E6FB, 0x1595EE, 0xCFF0EA, 0x8CC0B1},
        {xpGray, 0xECE2E1, 0xB39698, clNone, clNone, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698},
        {vistaAero, clWhite, clWhite, 0xFAF8F7, 0xF4F2F1, 0x94E6FB, 0x1595EE, 0xECE2E1, 0xB39698},
        {xpNone, clWhite, clBtnFace, clNone, clNone, clWhite, 0xFFD9B3, clWhite, 0xFFD9B3},
    };
    for (const TScheme& s : schemes) {
        if (s.Scheme != Scheme) continue;
        FGPKGradientFrom = s.From;
        FGPKGradientTo = s.To;
        FGPKGradientMirrorFrom = s.MirrorFrom;
        FGPKGradientMirrorTo = s.MirrorTo;
        FActiveCellColor = s.Active;
        FActiveCellColorTo = s.ActiveTo;
        SearchFooter().SetColor(s.Footer);
        SearchFooter().SetColorTo(s.FooterTo);
        FControlLook.FixedGradientFrom = Scheme == xpNone ? clNone : s.From;
        FControlLook.FixedGradientTo = Scheme == xpNone ? clNone : s.To;
    }
}

// ---------------------------------------------------------------------------
// Colour tones

void TExStringGrid::SetColorTones(const TColorTones& ATones) {
    FTones = ATones;
    SetLook(glClassic);
    SetFlat(true);
    SetScrollType(ssMetro);
    const String font = GetDefaultFontName();
    SetFixedColor(ATones.Foreground.BrushColor);
    FFixedFont.SetColor(ATones.Foreground.TextColor);
    FFixedFont.SetName(font);
    SetColor(ATones.Background.BrushColor);
    Font().SetName(font);
    Font().SetColor(ATones.Background.TextColor);
    SetSelectionColor(ATones.Selected.BrushColor);
    SetSelectionTextColor(ATones.Selected.TextColor);
    SetSelectionColorTo(clNone);
    SetGridLineColor(TColor(0xE6E6E6));
    SetGridFixedLineColor(AdjustColorPercent(ATones.Foreground.BrushColor, -20));
    SetBorderStyle(bsNone);
    FControlLook.ControlStyle = csGlyph;
    LoadBitmapResource(FControlLook.CheckedGlyph, u"metrocheckon");
    LoadBitmapResource(FControlLook.UnCheckedGlyph, u"metrocheckoff");
    LoadBitmapResource(FControlLook.RadioOffGlyph, u"metroradiooff");
    LoadBitmapResource(FControlLook.RadioOnGlyph, u"metroradioon");
    HandTonesToEditors(ATones);
    FControlLook.FlatButton = true;
    FFloatingFooter.SetColor(ATones.Foreground.BrushColor);
    CellNode().SetNodeType(cnFlat);
    SearchFooter().SetColor(ATones.Foreground.BrushColor);
    SearchFooter().SetColorTo(ATones.Foreground.BrushColor);
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Themed progress bars

bool TExStringGrid::DrawThemedProgress(TCanvas& C, TRect R, int RCol, int ARow) {
    const TGridControlStyle style = FControlLook.ControlStyle;
    if (!FControlLook.ProgressXP || (style != csWinXP && style != csTheme) || !IsWinXPOrLater()) return false;
    const HTHEME theme = OpenThemeData(this, u"Progress");
    if (!theme) return false;
    // The style's bar shows percent: the value is taken as it is, kept to 0..100.
    const double value = std::clamp(StrToFloatDef(GetCellEx(RCol, ARow), 0.0), 0.0, 100.0);
    InflateRect(R, -FControlLook.ProgressMarginX, -FControlLook.ProgressMarginY);
    DrawThemeBackground(theme, C, PP_BAR, 1, R);
    InflateRect(R, -2, -2);
    R.Right = R.Left + int((R.Right - R.Left) * value / 100);
    if (R.Right > R.Left && R.Bottom > R.Top) DrawThemeBackground(theme, C, PP_CHUNK, 1, R);
    CloseThemeData(theme);
    return true;
}
