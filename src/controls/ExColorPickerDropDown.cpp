// The colour selector panels and the colour picker.

#include "controls/ExColorPickerDropDown.h"

#include "framework/Forms.h"
#include "framework/Resources.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>

namespace {

TColor Red(TColor c) { return c & 0xFF; }
TColor Green(TColor c) { return (c >> 8) & 0xFF; }
TColor Blue(TColor c) { return (c >> 16) & 0xFF; }

// ---------------------------------------------------------------------------
// The spectrum picture and the pipette cursor, drawn by our own painters
// ---------------------------------------------------------------------------
// Hue (degrees) at the columns where the picture names it; linear between.
struct TKnot {
    double At, Value;
};
constexpr TKnot HueKnots[] = {{0, 1.4},     {21, 61.6},  {43, 122.0}, {64, 178.8},
                              {85, 239.5},  {107, 298.0}, {127, 359.0}};
// Down the picture a channel goes from Low (where the saturated hue has 0)
// to High (where it has 255): nearly white at the top, the pure hue in
// the middle row, nearly black at the bottom.
struct TLightKnot {
    double Row, Low, High;
};
constexpr TLightKnot LightKnots[] = {
    {0, 253, 254}, {32, 94, 234}, {64, 0, 255}, {96, 28, 170}, {127, 0, 3}};

template <typename T, size_t N, typename Key, typename Get>
double Interpolate(const T (&knots)[N], double at, Key key, Get get) {
    for (size_t i = 1; i < N; ++i)
        if (at <= key(knots[i])) {
            const T& a = knots[i - 1];
            const T& b = knots[i];
            return get(a) + (get(b) - get(a)) * (at - key(a)) / (key(b) - key(a));
        }
    return get(knots[N - 1]);
}

// The saturated colour of a hue as 0..255 per channel (red, green, blue).
std::array<double, 3> PureHue(double hue) {
    const double h = std::fmod(hue, 360.0) / 60.0;
    const double x = 255.0 * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    switch (int(h)) {
    case 0: return {255, x, 0};
    case 1: return {x, 255, 0};
    case 2: return {0, 255, x};
    case 3: return {0, x, 255};
    case 4: return {x, 0, 255};
    default: return {255, 0, x};
    }
}

constexpr int SpectrumSize = 128;

void PaintSpectrum(TBitmap& b) {
    b.SetPixelFormat(pf24bit);
    b.SetSize(SpectrumSize, SpectrumSize);
    for (int x = 0; x < SpectrumSize; ++x) {
        const double hue = Interpolate(HueKnots, x, [](const TKnot& k) { return k.At; },
                                       [](const TKnot& k) { return k.Value; });
        const auto pure = PureHue(hue);
        for (int y = 0; y < SpectrumSize; ++y) {
            const double low = Interpolate(LightKnots, y, [](const TLightKnot& k) { return k.Row; },
                                           [](const TLightKnot& k) { return k.Low; });
            const double high = Interpolate(LightKnots, y, [](const TLightKnot& k) { return k.Row; },
                                            [](const TLightKnot& k) { return k.High; });
            int c[3];
            for (int i = 0; i < 3; ++i)
                c[i] = std::clamp(int(std::nearbyint(low + (high - low) * pure[size_t(i)] / 255.0)), 0, 255);
            b.Canvas().SetPixels(x, y, TColor(c[0] | c[1] << 8 | c[2] << 16));
        }
    }
}

// A pipette lying from the bottom-left tip (the hot spot) to the top-right bulb.
void PaintPipette(TCursorResource& c) {
    constexpr TColor clear = 0x00FF00;
    TBitmap& b = c.Image;
    b.SetSize(32, 32);
    b.Canvas().Brush().SetColor(clear);
    b.Canvas().FillRect(Rect(0, 0, 32, 32));
    TCanvas& k = b.Canvas();
    k.Pen().SetColor(0x000000);
    k.Pen().SetWidth(3);
    k.MoveTo(3, 28);
    k.LineTo(22, 9);
    k.Pen().SetWidth(1);
    k.Pen().SetColor(0xFFFFFF);
    k.MoveTo(4, 27);
    k.LineTo(21, 10);
    k.Brush().SetColor(0x000000);
    k.Pen().SetColor(0x000000);
    k.Ellipse(20, 3, 29, 12);
    k.SetPixels(1, 30, 0x000000);
    k.SetPixels(2, 29, 0x000000);
    b.SetTransparentColor(clear);
    c.HotSpot = TPoint{1, 30};
}

const TResourceRegistrar Registrar([] {
    RegisterBitmapResource(u"GPK_SPECTRUM", PaintSpectrum);
    RegisterCursorResource(u"GPK_POINTER", PaintPipette);
});

// ---------------------------------------------------------------------------
// Tables
// ---------------------------------------------------------------------------
// The honeycomb's colours, row by row (7 to 13 cells, then 12 down to 7).
constexpr TColor CubeColors[TExColorCubePanel::CellCount] = {
    0x663300, 0x996633, 0xCC6633, 0x993300, 0x990000, 0xCC0000, 0x660000,
    0x666600, 0x996600, 0xCC9900, 0xCC6600, 0xCC3300, 0xFF0000, 0xFF3333, 0x993333,
    0x808000, 0x999900, 0xCCCC33, 0xFFCC00, 0xFF9900, 0xFF6600, 0xFF6633, 0xCC3333, 0x996666,
    0x669933, 0x99CC00, 0xCCFF00, 0xFFFF00, 0xFFCC33, 0xFF9933, 0xFF9966, 0xFF6666, 0xFF0066, 0xCC0066,
    0x339933, 0x66CC00, 0x99FF00, 0xCCFF66, 0xFFFF66, 0xFFCC66, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399, 0xFF0099,
    0x006600, 0x00CC00, 0x00FF00, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFECCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF00CC,
    0xCC0099,
    0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF,
    0xCC00CC, 0x660066,
    0x006633, 0x009900, 0x33FF66, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC33FF, 0x9900CC,
    0x800080,
    0x003333, 0x009966, 0x33FF99, 0x66FFCC, 0x99FFFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9933CC, 0x990099,
    0x336666, 0x00CC99, 0x33FFCC, 0x66FFFF, 0x66CCFF, 0x6699FF, 0x807CFF, 0x6600FF, 0x9300D6, 0x663399,
    0x008080, 0x00CCCC, 0x00FFFF, 0x00CCFF, 0x3399FF, 0x0066FF, 0x5050FF, 0x6600CC, 0x330066,
    0x336699, 0x0099CC, 0x0099FF, 0x0066CC, 0x0033FF, 0x0000FF, 0x0000CC, 0x330099,
    0x003366, 0x006699, 0x0033CC, 0x003399, 0x000099, 0x000080, 0x2100A5,
};
constexpr int CubeRows = 13;

// The theme palette: a row of base colours, then per column the base
// colour's tints and shades as one strip.
struct TThemeRow {
    TItemPos Pos;
    TColor Colors[10];
};
constexpr TThemeRow ThemePalette[] = {
    {ipStandAlone, {0xFFFFFF, 0x000000, 0xE1ECEE, 0x7D491F, 0xBD814F, 0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B, 0x4696F7}},
    {ipTop, {0xF2F2F2, 0x7F7F7F, 0xC3D9DD, 0xDACEC2, 0xF1E5DB, 0xDBDCF2, 0xDDF1EB, 0xECE0E5, 0xF3EEDB, 0xDAEAFD}},
    {ipMiddle, {0xD8D8D8, 0x595959, 0x97BDC4, 0xE2B38D, 0xE4CCB8, 0xB7B9E5, 0xBCE3D7, 0xD9C1CC, 0xE8DDB7, 0xB5D5FB}},
    {ipMiddle, {0xBFBFBF, 0x3F3F3F, 0x538993, 0xD48D54, 0xD7B395, 0x9496D9, 0x9BD6C3, 0xC7A2B2, 0xDCCD92, 0x8FC0FA}},
    {ipMiddle, {0xA5A5A5, 0x262626, 0x294449, 0x5D3617, 0x926036, 0x343795, 0x3C9276, 0x7A495F, 0x9B8531, 0x096CE3}},
    {ipBottom, {0x7F7F7F, 0x0C0C0C, 0x101B1D, 0x3E240F, 0x614024, 0x232463, 0x28614F, 0x51313F, 0x675820, 0x064897}},
};

struct TNamedColor {
    const char16_t* Caption;
    TColor Color;
};
constexpr TNamedColor DefaultColors[] = {
    {u"Black", 0x000000}, {u"Maroon", 0x000080}, {u"Green", 0x008000},  {u"Olive", 0x008080},
    {u"Navy", 0x800000},  {u"Purple", 0x800080}, {u"Teal", 0x808000},   {u"Gray", 0x808080},
    {u"Silver", 0xC0C0C0}, {u"Red", 0x0000FF},   {u"Lime", 0x00FF00},   {u"Yellow", 0x00FFFF},
    {u"Blue", 0xFF0000},  {u"Fuchsia", 0xFF00FF}, {u"Aqua", 0xFFFF00},  {u"White", 0xFFFFFF},
};

String TwoHex(TColor Byte) { return IntToHex(Byte, 2); }

}  // namespace

const TWebColor WebColors[138] = {
    {u"Snow", 0xFFFAFA}, {u"FloralWhite", 0xFFFAF0}, {u"LavenderBlush", 0xFFF0F5}, {u"OldLace", 0xFDF5E6},
    {u"Ivory", 0xFFFFF0}, {u"CornSilk", 0xFFF8DC}, {u"Beige", 0xF5F5DC}, {u"AntiqueWhite", 0xFAEBD7},
    {u"Wheat", 0xF5DEB3}, {u"AliceBlue", 0xF0F8FF}, {u"GhostWhite", 0xF8F8FF}, {u"Lavender", 0xE6E6FA},
    {u"Seashell", 0xFFF5EE}, {u"LightYellow", 0xFFFFE0}, {u"PapayaWhip", 0xFFEFD5}, {u"NavajoWhite", 0xFFDEAD},
    {u"Moccasin", 0xFFE4B5}, {u"Burlywood", 0xDEB887}, {u"Azure", 0xF0FFFF}, {u"Mintcream", 0xF5FFFA},
    {u"Honeydew", 0xF0FFF0}, {u"Linen", 0xFAF0E6}, {u"LemonChiffon", 0xFFFACD}, {u"BlanchedAlmond", 0xFFEBCD},
    {u"Bisque", 0xFFE4C4}, {u"PeachPuff", 0xFFDAB9}, {u"Tan", 0xD2B48C}, {u"Yellow", 0xFFFF00},
    {u"DarkOrange", 0xFF8C00}, {u"Red", 0xFF0000}, {u"DarkRed", 0x8B0000}, {u"Maroon", 0x800000},
    {u"IndianRed", 0xCD5C5C}, {u"Salmon", 0xFA8072}, {u"Coral", 0xFF7F50}, {u"Gold", 0xFFD700},
    {u"Tomato", 0xFF6347}, {u"Crimson", 0xDC143C}, {u"Brown", 0xA52A2A}, {u"Chocolate", 0xD2691E},
    {u"SandyBrown", 0xF4A460}, {u"LightSalmon", 0xFFA07A}, {u"LightCoral", 0xF08080}, {u"Orange", 0xFFA500},
    {u"OrangeRed", 0xFF4500}, {u"Firebrick", 0xB22222}, {u"SaddleBrown", 0x8B4513}, {u"Sienna", 0xA0522D},
    {u"Peru", 0xCD853F}, {u"DarkSalmon", 0xE9967A}, {u"RosyBrown", 0xBC8F8F}, {u"PaleGoldenrod", 0xEEE8AA},
    {u"LightGoldenrodYellow", 0xFAFAD2}, {u"Olive", 0x808000}, {u"ForestGreen", 0x228B22},
    {u"GreenYellow", 0xADFF2F}, {u"Chartreuse", 0x7FFF00}, {u"LightGreen", 0x90EE90}, {u"Aquamarine", 0x7FFFD4},
    {u"SeaGreen", 0x2E8B57}, {u"GoldenRod", 0xDAA520}, {u"Khaki", 0xF0E68C}, {u"OliveDrab", 0x6B8E23},
    {u"Green", 0x008000}, {u"YellowGreen", 0x9ACD32}, {u"LawnGreen", 0x7CFC00}, {u"PaleGreen", 0x98FB98},
    {u"MediumAquamarine", 0x66CDAA}, {u"MediumSeaGreen", 0x3CB371}, {u"DarkGoldenRod", 0xB8860B},
    {u"DarkKhaki", 0xBDB76B}, {u"DarkOliveGreen", 0x556B2F}, {u"Darkgreen", 0x006400}, {u"LimeGreen", 0x32CD32},
    {u"Lime", 0x00FF00}, {u"SpringGreen", 0x00FF7F}, {u"MediumSpringGreen", 0x00FA9A},
    {u"DarkSeaGreen", 0x8FBC8F}, {u"LightSeaGreen", 0x20B2AA}, {u"PaleTurquoise", 0xAFEEEE},
    {u"LightCyan", 0xE0FFFF}, {u"LightBlue", 0xADD8E6}, {u"LightSkyBlue", 0x87CEFA}, {u"CornFlowerBlue", 0x6495ED},
    {u"DarkBlue", 0x00008B}, {u"Indigo", 0x4B0082}, {u"MediumTurquoise", 0x48D1CC}, {u"Turquoise", 0x40E0D0},
    {u"Cyan", 0x00FFFF}, {u"PowderBlue", 0xB0E0E6}, {u"SkyBlue", 0x87CEEB}, {u"RoyalBlue", 0x4169E1},
    {u"MediumBlue", 0x0000CD}, {u"MidnightBlue", 0x191970}, {u"DarkTurquoise", 0x00CED1},
    {u"CadetBlue", 0x5F9EA0}, {u"DarkCyan", 0x008B8B}, {u"Teal", 0x008080}, {u"DeepskyBlue", 0x00BFFF},
    {u"DodgerBlue", 0x1E90FF}, {u"Blue", 0x0000FF}, {u"Navy", 0x000080}, {u"DarkViolet", 0x9400D3},
    {u"DarkOrchid", 0x9932CC}, {u"Magenta", 0xFF00FF}, {u"DarkMagenta", 0x8B008B},
    {u"MediumVioletRed", 0xC71585}, {u"PaleVioletRed", 0xDB7093}, {u"BlueViolet", 0x8A2BE2},
    {u"MediumOrchid", 0xBA55D3}, {u"MediumPurple", 0x9370DB}, {u"Purple", 0x800080}, {u"DeepPink", 0xFF1493},
    {u"LightPink", 0xFFB6C1}, {u"Violet", 0xEE82EE}, {u"Orchid", 0xDA70D6}, {u"Plum", 0xDDA0DD},
    {u"Thistle", 0xD8BFD8}, {u"HotPink", 0xFF69B4}, {u"Pink", 0xFFC0CB}, {u"LightSteelBlue", 0xB0C4DE},
    {u"MediumSlateBlue", 0x7B68EE}, {u"LightSlateGray", 0x778899}, {u"White", 0xFFFFFF},
    {u"Lightgrey", 0xD3D3D3}, {u"Gray", 0x808080}, {u"SteelBlue", 0x4682B4}, {u"SlateBlue", 0x6A5ACD},
    {u"SlateGray", 0x708090}, {u"WhiteSmoke", 0xF5F5F5}, {u"Silver", 0xC0C0C0}, {u"DimGray", 0x696969},
    {u"MistyRose", 0xFFE4E1}, {u"DarkSlateBlue", 0x483D8B}, {u"DarkSlategray", 0x2F4F4F},
    {u"Gainsboro", 0xDCDCDC}, {u"DarkGray", 0xA9A9A9}, {u"Black", 0x000000},
};

String WebColorName(TColor RGB) {
    const unsigned rrggbb = unsigned(Red(RGB)) << 16 | unsigned(Green(RGB)) << 8 | unsigned(Blue(RGB));
    for (const TWebColor& w : WebColors)
        if (w.RRGGBB == rrggbb) return String(u"clWeb") + w.Name;
    return u"#" + TwoHex(Red(RGB)) + TwoHex(Green(RGB)) + TwoHex(Blue(RGB));
}

// ---------------------------------------------------------------------------
// Panels
// ---------------------------------------------------------------------------
TExCustomColorSelectorPanel::TExCustomColorSelectorPanel(TComponent* AOwner) : TCustomControl(AOwner) {}

TExColorCubePanel::TExColorCubePanel(TComponent* AOwner) : TExCustomColorSelectorPanel(AOwner) {
    InitCubeCells();
    SetShowHint(true);
    SetPanelSize(160, 182);
}

void TExColorCubePanel::InitCubeCells() {
    FCubeSize = TPoint{6, 3};
    const int w = FCubeSize.X;
    size_t cell = 0;
    // Rows grow from 7 cells to 13 and shrink again, each 2W wide, stepping
    // half a cell to the left (upper half) or right (lower half).
    for (int r = 1; r <= CubeRows; ++r) {
        const int count = r <= 7 ? r + 6 : 20 - r;
        const int x0 = r <= 7 ? 55 - w * (r - 1) : 19 + w * (r - 7);
        const int y = 20 + 10 * (r - 1);
        for (int i = 0; i < count; ++i, ++cell) {
            FCubeCells[cell].Center = TPoint{x0 + 2 * w * i, y};
            FCubeCells[cell].Color = CubeColors[cell];
        }
    }
}

void TExColorCubePanel::SelectColor(TColor Color, int Index) {
    FSelectedColor = Color;
    if (Index >= 1 && Index <= CellCount) {
        FSelectedIndex = Index;
        return;
    }
    FSelectedIndex = -1;
    for (int i = 1; i <= CellCount; ++i)
        if (Cell(i).Color == Color) {
            FSelectedIndex = i;
            return;
        }
}

void TExColorCubePanel::SetShowRGBHint(bool Value) {
    FShowRGBHint = Value;
    SetShowHint(Value);
}

void TExColorCubePanel::ResetPanel() {
    FHotIndex = -1;
    SetPanelSize(160, 182);
    Invalidate();
}

bool TExColorCubePanel::PtInCell(int Index, TPoint P) const {
    if (Index < 1 || Index > CellCount) return false;
    const TPoint c = Cell(Index).Center;
    return (c.X - P.X) * (c.X - P.X) + (c.Y - P.Y) * (c.Y - P.Y) <= FCubeSize.X * FCubeSize.X;
}

int TExColorCubePanel::CellAtPos(int X, int Y) const {
    for (int i = 1; i <= CellCount; ++i)
        if (PtInCell(i, TPoint{X, Y})) return i;
    return -1;
}

void TExColorCubePanel::DrawHexagon(TCanvas& Canvas, TPoint C, int H, int W) {
    Canvas.Polygon({{C.X - W, C.Y - H}, {C.X, C.Y - 2 * H}, {C.X + W, C.Y - H}, {C.X + W, C.Y + H},
                    {C.X, C.Y + 2 * H}, {C.X - W, C.Y + H}});
}

void TExColorCubePanel::DrawCell(TCanvas& Canvas, int Index) {
    if (Index < 1 || Index > CellCount) return;
    const TCubeCell& c = Cell(Index);
    const int w = FCubeSize.X, h = FCubeSize.Y;
    Canvas.Pen().SetWidth(1);
    Canvas.Pen().SetColor(c.Color);
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(c.Color);
    DrawHexagon(Canvas, c.Center, h, w);
    auto frame = [&](TColor outer) {
        Canvas.Brush().SetStyle(bsClear);
        Canvas.Pen().SetColor(outer);
        DrawHexagon(Canvas, c.Center, h, w - 1);
        Canvas.Pen().SetColor(0xFFFFFF);
        DrawHexagon(Canvas, c.Center, h - 1, w - 2);
    };
    if (Index == FHotIndex) frame(0x0000FF);
    // Drawn last, so that a cell both hot and selected shows the selected frame.
    if (Index == FSelectedIndex) frame(0x000000);
}

void TExColorCubePanel::DrawAllCells(TCanvas& Canvas) {
    for (int i = 1; i <= CellCount; ++i) DrawCell(Canvas, i);
}

void TExColorCubePanel::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    DrawAllCells(c);
}

void TExColorCubePanel::InvalidateCell(int Index) {
    if (Index < 1 || Index > CellCount || !HandleAllocated()) return;
    const TPoint c = Cell(Index).Center;
    const TRect r = Rect(c.X - FCubeSize.X - 1, c.Y - 2 * FCubeSize.Y - 1, c.X + FCubeSize.X + 2,
                         c.Y + 2 * FCubeSize.Y + 2);
    InvalidateRect(Handle(), &r, true);
}

void TExColorCubePanel::MouseMove(TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseMove(Shift, X, Y);
    const int i = CellAtPos(X, Y);
    if (i < 0) {
        if (FShowRGBHint) {
            SetHint(String());
            Application->CancelHint();
        }
        return;
    }
    if (i == FHotIndex) return;
    const int old = FHotIndex;
    FHotIndex = i;
    InvalidateCell(old);
    InvalidateCell(i);
    if (FShowRGBHint) {
        const TColor c = Cell(i).Color;
        SetHint(Format(u"Red: %d,  Green: %d,  Blue: %d", {int(Red(c)), int(Green(c)), int(Blue(c))}));
        Application->CancelHint();
    }
}

void TExColorCubePanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseDown(Button, Shift, X, Y);
    const int i = CellAtPos(X, Y);
    if (i < 0) return;
    const int old = FSelectedIndex;
    FSelectedIndex = -1;
    InvalidateCell(old);
    SelectColor(Cell(i).Color, i);
    InvalidateCell(i);
    if (OnSelect) OnSelect(this);
}

void TExColorCubePanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseUp(Button, Shift, X, Y);
    ShouldHide();
}

TExColorSpectrumPanel::TExColorSpectrumPanel(TComponent* AOwner) : TExCustomColorSelectorPanel(AOwner) {
    Screen->SetCursors(crPipette, u"GPK_POINTER");
    FSpectrumImage = new TImage(this);
    FSpectrumImage->SetParent(this);
    FSpectrumImage->SetBounds(0, 0, SpectrumSize, SpectrumSize);
    LoadBitmapResource(FSpectrumImage->Picture().Bitmap(), u"GPK_SPECTRUM");
    FSpectrumImage->SetCursor(crPipette);
    FSpectrumImage->OnMouseDown = [this](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
        ImageMouseDown(B, S, X, Y);
    };
    FSpectrumImage->OnMouseMove = [this](TObject*, TShiftState S, int X, int Y) { ImageMouseMove(S, X, Y); };
    FSpectrumImage->OnMouseUp = [this](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
        ImageMouseUp(B, S, X, Y);
    };
    ResetPanel();
}

void TExColorSpectrumPanel::ResetPanel() {
    SetPanelSize(174, 150);
    TImage& p = *FSpectrumImage;
    p.SetBounds((Width() - p.Width()) / 2, 10, p.Width(), p.Height());
    const int pl = p.Left(), pt = p.Top(), pw = p.Width(), ph = p.Height();
    FSelectedRect = Rect(pl - 1, pt + ph + 8, pl + pw / 2 - 2, pt + ph + 28);
    FHotRect = Rect(FSelectedRect.Right + 4, FSelectedRect.Top, pl + pw + 1, FSelectedRect.Bottom);
    FHotColor = clNone;
    Invalidate();
}

void TExColorSpectrumPanel::DrawSwatch(TCanvas& Canvas, const TRect& R, TColor Color) {
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Pen().SetColor(0x808080);
    Canvas.Rectangle(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
    Canvas.Pen().SetColor(0xFFFFFF);
    if (Color != clNone) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Color);
    }
    Canvas.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
}

void TExColorSpectrumPanel::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    const TRect p = FSpectrumImage->BoundsRect();
    c.Pen().SetWidth(1);
    c.Brush().SetStyle(bsClear);
    c.Pen().SetColor(0xFFFFFF);
    c.Rectangle(p.Left - 1, p.Top - 1, p.Right + 1, p.Bottom + 1);
    c.Pen().SetColor(0x808080);
    c.Rectangle(p.Left - 2, p.Top - 2, p.Right + 2, p.Bottom + 2);
    DrawSwatch(c, FSelectedRect, FSelectedColor);
    DrawSwatch(c, FHotRect, FHotColor);
}

void TExColorSpectrumPanel::ImageMouseMove(TShiftState, int X, int Y) {
    // The picture is shown unscaled, so its pixel is the one under the pointer.
    TBitmap& b = FSpectrumImage->Picture().Bitmap();
    if (X < 0 || Y < 0 || X >= b.Width() || Y >= b.Height()) return;
    FHotColor = b.Canvas().Pixels(X, Y);
    if (HandleAllocated()) {
        const TRect r = Rect(FHotRect.Left - 1, FHotRect.Top - 1, FHotRect.Right + 1, FHotRect.Bottom + 1);
        InvalidateRect(Handle(), &r, true);
    }
}

void TExColorSpectrumPanel::ImageMouseDown(TMouseButton, TShiftState, int, int) {
    FSelectedColor = FHotColor;
    if (HandleAllocated()) {
        const TRect r =
            Rect(FSelectedRect.Left - 1, FSelectedRect.Top - 1, FSelectedRect.Right + 1, FSelectedRect.Bottom + 1);
        InvalidateRect(Handle(), &r, true);
    }
    if (OnSelect) OnSelect(this);
}

void TExColorSpectrumPanel::ImageMouseUp(TMouseButton, TShiftState, int, int) { ShouldHide(); }

void TExColorSpectrumPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseUp(Button, Shift, X, Y);
    ShouldHide();
}

// ---------------------------------------------------------------------------
// The discrete selector
// ---------------------------------------------------------------------------
void TColorBoxAppearance::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorBoxAppearance*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    BorderColor = s->BorderColor;
    OuterBorderColorHot = s->OuterBorderColorHot;
    InnerBorderColorHot = s->InnerBorderColorHot;
    OuterBorderColorSelected = s->OuterBorderColorSelected;
    InnerBorderColorSelected = s->InnerBorderColorSelected;
}

void TColorBoxItem::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    if (auto* items = dynamic_cast<TColorBoxItems*>(Collection()); items && items->OnChange) items->OnChange(items);
}

void TColorBoxItem::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TColorBoxItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetColor(s->FColor);
    Enabled = s->Enabled;
}

TColorBoxItems::TColorBoxItems(TPersistent* AOwner)
    : TCollection([](TCollection* c) { return new TColorBoxItem(c); }, AOwner) {}

TCustomColorSelector::TCustomColorSelector(TComponent* AOwner)
    : TExCustomColorSelectorPanel(AOwner), FItems(this) {
    SetParentColor(true);
}

void TCustomColorSelector::LoadThemeColors() {
    FItems.BeginUpdate();
    FItems.Clear();
    for (const TThemeRow& row : ThemePalette)
        for (TColor c : row.Colors) {
            TColorBoxItem* it = FItems.Add();
            it->SetColor(c);
            it->ColorBoxPos = row.Pos;
        }
    FItems.EndUpdate();
}

#define STORE_AND_ARRANGE(Field, Value) \
    if (Field == Value) return;         \
    Field = Value;                      \
    ArrangeItems();
void TCustomColorSelector::SetColumns(int Value) { STORE_AND_ARRANGE(FColumns, Value) }
void TCustomColorSelector::SetColumnGap(int Value) { STORE_AND_ARRANGE(FColumnGap, Value) }
void TCustomColorSelector::SetColorBoxWidth(int Value) { STORE_AND_ARRANGE(FColorBoxWidth, Value) }
void TCustomColorSelector::SetColorBoxHeight(int Value) { STORE_AND_ARRANGE(FColorBoxHeight, Value) }
#undef STORE_AND_ARRANGE

void TCustomColorSelector::GetItemsRect(TRect& R) const {
    const TRect c = ClientRect();
    R = Rect(c.Left + FOffSetX, c.Top + FOffSetY, c.Right - FOffSetX, c.Bottom - FOffSetY);
}

void TCustomColorSelector::GetItemSize(TPoint& Size) const { Size = TPoint{FColorBoxWidth, FColorBoxHeight}; }

void TCustomColorSelector::ArrangeItems() {
    if (FItems.Count() == 0) {
        SetBounds(Left(), Top(), 100, 50);
        return;
    }
    FItemHot = -1;
    TPoint size;
    GetItemSize(size);
    const int w = size.X, h = size.Y;
    TRect area;
    GetItemsRect(area);
    int x = area.Left, y = area.Top, column = 0, widest = 0;
    bool standalone = false;
    for (int i = 0; i < FItems.Count(); ++i) {
        TColorBoxItem* it = FItems.Items(i);
        it->Rect = Rect(x, y, x + w, y + h);
        ++column;
        if (i == FItems.Count() - 1) break;
        if (it->ColorBoxPos == ipStandAlone) standalone = true;
        if (column >= FColumns) {
            // A row of standalone boxes keeps a gap to the next; strips touch.
            widest = std::max(widest, x);
            x = area.Left;
            y += h + (standalone ? FColumnGap : 0);
            column = 0;
            standalone = false;
        } else {
            x += w + FColumnGap;
        }
    }
    widest = std::max(widest, x);
    SetBounds(Left(), Top(), widest + w + area.Left + 1, y + h + area.Top);
}

TRect TCustomColorSelector::GetItemRect(int Index) const {
    return Valid(Index) ? FItems.Items(Index)->Rect : Rect(-1, -1, -1, -1);
}

int TCustomColorSelector::ItemAtPos(int X, int Y) const {
    for (int i = 0; i < FItems.Count(); ++i)
        if (PtInRect(FItems.Items(i)->Rect, TPoint{X, Y})) return i;
    return -1;
}

void TCustomColorSelector::InvalidateItem(int Index) {
    if (!Valid(Index) || !HandleAllocated()) return;
    const TRect r = FItems.Items(Index)->Rect;
    const TRect grown = Rect(r.Left, r.Top, r.Right + 1, r.Bottom + 2);
    InvalidateRect(Handle(), &grown, true);
}

void TCustomColorSelector::DrawItem(int Index, TCanvas& Canvas) {
    if (!Valid(Index)) return;
    TColorBoxItem* it = FItems.Items(Index);
    TRect r = it->Rect;
    if (r.Left < 0 && r.Right < 0) return;
    const TColorBoxAppearance& a = FColorBoxAppearance;
    TColor outer = a.BorderColor, inner = clNone;
    bool framed = false;
    if (Index == FItemHot) outer = a.OuterBorderColorHot, inner = a.InnerBorderColorHot, framed = true;
    if (Index == FItemIndex) outer = a.OuterBorderColorSelected, inner = a.InnerBorderColorSelected, framed = true;
    Canvas.Pen().SetWidth(1);
    if (it->Color() != clNone) {
        Canvas.Pen().SetColor(it->Color());
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(it->Color());
        Canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    }
    if (framed) {
        Canvas.Brush().SetStyle(bsClear);
        if (outer != clNone) {
            Canvas.Pen().SetColor(outer);
            Canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        }
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        if (inner != clNone) {
            Canvas.Pen().SetColor(inner);
            Canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        }
        return;
    }
    Canvas.Pen().SetColor(a.BorderColor);
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    switch (it->ColorBoxPos) {
    case ipStandAlone:
        Canvas.MoveTo(L, B);
        Canvas.LineTo(L, T);
        Canvas.LineTo(R, T);
        Canvas.LineTo(R, B);
        Canvas.LineTo(L, B);
        break;
    case ipTop:
        Canvas.MoveTo(L, B);
        Canvas.LineTo(L, T);
        Canvas.LineTo(R, T);
        Canvas.LineTo(R, B);
        break;
    case ipMiddle:
        Canvas.MoveTo(L, T);
        Canvas.LineTo(L, B);
        Canvas.MoveTo(R, T);
        Canvas.LineTo(R, B);
        break;
    case ipBottom:
        Canvas.MoveTo(L, T);
        Canvas.LineTo(L, B);
        Canvas.LineTo(R, B);
        Canvas.LineTo(R, B + 1);
        Canvas.MoveTo(R, T);
        Canvas.LineTo(R, B + 1);
        break;
    }
}

void TCustomColorSelector::DrawItems(TCanvas& Canvas) {
    for (int i = 0; i < FItems.Count(); ++i) DrawItem(i, Canvas);
}

void TCustomColorSelector::Paint() {
    TCanvas& c = Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    DrawItems(c);
}

void TCustomColorSelector::SetItemIndex(int Value) {
    if (Disabled(Value)) return;
    // Above the boxes: refused, as a caller outside the selector could pass it.
    if (Value >= FItems.Count()) return;
    MoveItemMark(FItemIndex, Value, [this](int i) { InvalidateItem(i); });
    if (Value < 0) return;
    FSelectedColor = FItems.Items(Value)->Color();
    InvalidateItem(Value);
    if (OnItemSelect) OnItemSelect(this);
}

void TCustomColorSelector::SetItemHot(int Index) {
    if (Index == FItemHot || Disabled(Index)) return;
    MoveItemMark(FItemHot, Index, [this](int i) { InvalidateItem(i); });
    if (Index >= 0) InvalidateItem(Index);
}

void TCustomColorSelector::SetSelectedColor(TColor Value) {
    if (FSelectedColor == Value) return;
    FSelectedColor = Value;
    if (Value == clNone) SetItemIndex(-1);
    int found = -1;
    for (int i = 0; i < FItems.Count() && found < 0; ++i)
        if (FItems.Items(i)->Color() == Value) found = i;
    SetItemIndex(found);
}

void TCustomColorSelector::SetItemColorStyle(TSelectionColorStyle Value) {
    if (FItemColorStyle == Value) return;
    FItemColorStyle = Value;
    if (Value == scCustom) return;
    // The three platform styles share one set of frames.
    TColorBoxAppearance& a = FColorBoxAppearance;
    a.OuterBorderColorSelected = 0x0000FF;
    a.InnerBorderColorSelected = 0x94E2FF;
    a.OuterBorderColorHot = 0x3694F2;
    a.InnerBorderColorHot = 0x94E2FF;
    a.BorderColor = 0xC5C5C5;
}

void TCustomColorSelector::SelectFirst() {
    if (FItems.Count() > 0) SetItemIndex(0);
}

void TCustomColorSelector::SelectLast() {
    if (FItems.Count() > 0) SetItemIndex(FItems.Count() - 1);
}

void TCustomColorSelector::SelectStep(int Step) {
    if (Valid(FItemIndex + Step)) SetItemIndex(FItemIndex + Step);
}

void TCustomColorSelector::SelectNext() { SelectStep(1); }
void TCustomColorSelector::SelectPrevious() { SelectStep(-1); }

void TCustomColorSelector::HotNext() {
    if (Valid(FItemHot + 1)) SetItemHot(FItemHot + 1);
}

void TCustomColorSelector::HotPrevious() {
    if (Valid(FItemHot - 1)) SetItemHot(FItemHot - 1);
}

void TCustomColorSelector::HandleKey(Word Key, bool EditorEnabled, bool DroppedDown) {
    if (!Enabled()) return;
    auto byRow = [&](int Step) {
        const int target = FItemIndex < 0 ? 0 : FItemIndex + Step;
        if (Valid(target)) SetItemIndex(target);
    };
    switch (Key) {
    case VK_PRIOR:
    case VK_HOME: SelectFirst(); break;
    case VK_NEXT:
    case VK_END: SelectLast(); break;
    case VK_LEFT:
        if (!(EditorEnabled && !DroppedDown)) SelectPrevious();
        break;
    case VK_RIGHT:
        if (!(EditorEnabled && !DroppedDown)) SelectNext();
        break;
    case VK_UP:
        if (DroppedDown) byRow(-FColumns);
        else SelectPrevious();
        break;
    case VK_DOWN:
        if (DroppedDown) byRow(FColumns);
        else SelectNext();
        break;
    default: break;
    }
}

void TCustomColorSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseDown(Button, Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i >= 0 && !Disabled(i)) SetItemIndex(i);
}

void TCustomColorSelector::MouseMove(TShiftState Shift, int X, int Y) {
    TExCustomColorSelectorPanel::MouseMove(Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    SetItemHot(i >= 0 && !Disabled(i) ? i : -1);
}

void TCustomColorSelector::CMMouseLeave(TMessage& Message) {
    TExCustomColorSelectorPanel::CMMouseLeave(Message);
    SetItemHot(-1);
}

// ---------------------------------------------------------------------------
// Colour entries
// ---------------------------------------------------------------------------
void TColorItem::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TColorItem::Assign(const TPersistent* Source) {
    TPickerItem::Assign(Source);
    if (auto* s = dynamic_cast<const TColorItem*>(Source)) {
        SetColor(s->FColor);
        Enabled = s->Enabled;
        Hint = s->Hint;
    }
}

TColorItems::TColorItems(TPersistent* AOwner)
    : TPickerItems([](TCollection* c) { return new TColorItem(c); }, AOwner) {}

// ---------------------------------------------------------------------------
// The picker
// ---------------------------------------------------------------------------
TExColorPickerDropDown::TExColorPickerDropDown(TComponent* AOwner) : TExCustomDropDown(AOwner), FColors(this) {
    // A change of Colors shows at the next drop-down.
    FColors.OnChange = [](TObject*) {};
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetDropDownHeight(200);
    DropDownHeader().SetVisible(false);
    DropDownFooter().SetVisible(false);
    SetCursor(crArrow);
    FKeyTimer = NewSearchTimer(this, FCurSearch);
    CreateDropDownForm();
}

TExColorPickerDropDown::~TExColorPickerDropDown() {
    FKeyTimer->SetEnabled(false);
    if (FItemSelector) FItemSelector->OnItemSelect = nullptr, FItemSelector->OnDrawItem = nullptr;
    if (FColorSelector) FColorSelector->OnItemSelect = nullptr;
    if (FCubePanel) FCubePanel->OnSelect = nullptr;
    if (FSpectrumPanel) FSpectrumPanel->OnSelect = nullptr;
}

void TExColorPickerDropDown::AddDefaultColors() {
    for (const TNamedColor& c : DefaultColors) {
        TColorItem* it = FColors.Add();
        it->SetCaption(c.Caption);
        it->SetColor(c.Color);
    }
}

void TExColorPickerDropDown::SetItemIndex(int Value) {
    if (Value >= FColors.Count()) return;
    FItemIndex = Value;
    if (Value >= 0) FSelectedColor = FColors.GetItem(Value)->Color();
    Invalidate();
    if (OnSelect) OnSelect(this);
}

void TExColorPickerDropDown::SetSelectedColor(TColor Value) {
    if (FSelectedColor == Value) return;
    FSelectedColor = Value;
    int found = -1;
    for (int i = 0; i < FColors.Count() && found < 0; ++i)
        if (FColors.GetItem(i)->Color() == Value) found = i;
    SetItemIndex(found);
    Invalidate();
}

void TExColorPickerDropDown::SetShowText(bool Value) {
    if (FShowText == Value) return;
    FShowText = Value;
    Invalidate();
}

void TExColorPickerDropDown::SelectFirst() {
    if (FColors.Count() > 0) SetItemIndex(0);
}

void TExColorPickerDropDown::SelectLast() {
    if (FColors.Count() > 0) SetItemIndex(FColors.Count() - 1);
}

void TExColorPickerDropDown::SelectNext() {
    if (FColors.Count() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex + 1 < FColors.Count()) SetItemIndex(FItemIndex + 1);
}

void TExColorPickerDropDown::SelectPrevious() {
    if (FColors.Count() == 0) return;
    if (FItemIndex < 0) SetItemIndex(0);
    else if (FItemIndex > 0) SetItemIndex(FItemIndex - 1);
}

String TExColorPickerDropDown::GetSelectedColorText() const {
    if (FColorSelectionStyle == csList && FItemIndex >= 0) return FColors.GetItem(FItemIndex)->Caption();
    // System colours name their current value, except in the hexadecimal form.
    const TColor rgb = ColorToRGB(FSelectedColor);
    switch (FColorValueText) {
    case cvtNone: return String();
    case cvtHex: return IntToHex(FSelectedColor, 6);
    case cvtRGB:
        return Format(u"Red:%d,Green:%d,Blue:%d", {int(Red(rgb)), int(Green(rgb)), int(Blue(rgb))});
    case cvtHTML: return u"#" + TwoHex(Red(rgb)) + TwoHex(Green(rgb)) + TwoHex(Blue(rgb));
    case cvtWebName: return WebColorName(rgb);
    }
    return String();
}

void TExColorPickerDropDown::SetComponentStyle(TGPKStyle AStyle) {
    TExCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(&FItemAppearance, AStyle);
}

void TExColorPickerDropDown::SetSelectionColorStyle(TSelectionColorStyle Value) {
    TExCustomDropDown::SetSelectionColorStyle(Value);
    if (FItemSelector) FItemSelector->ItemAppearance().SetColorStyle(Value);
}

void TExColorPickerDropDown::Notification(TComponent* AComponent, TOperation Operation) {
    TExCustomDropDown::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FItemSelector) FItemSelector = nullptr;
    if (AComponent == FColorSelector) FColorSelector = nullptr;
    if (AComponent == FCubePanel) FCubePanel = nullptr;
    if (AComponent == FSpectrumPanel) FSpectrumPanel = nullptr;
}

// ---------------------------------------------------------------------------
// The pop-up controls
// ---------------------------------------------------------------------------
void TExColorPickerDropDown::CreateItemSelector() {
    if (FItemSelector || !FDropDownForm) return;
    FItemSelector = NewPickerSelector(this, FDropDownForm, stColor);
    FItemSelector->FreeNotification(this);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
}

void TExColorPickerDropDown::CreateColorSelector() {
    if (FColorSelector || !FDropDownForm) return;
    FColorSelector = new TCustomColorSelector(this);
    FColorSelector->FreeNotification(this);
    FColorSelector->SetParent(FDropDownForm);
    FColorSelector->LoadThemeColors();
}

void TExColorPickerDropDown::CreateCubePanel() {
    if (FCubePanel || !FDropDownForm) return;
    FCubePanel = new TExColorCubePanel(this);
    FCubePanel->FreeNotification(this);
    FCubePanel->SetParent(FDropDownForm);
}

void TExColorPickerDropDown::CreateSpectrumPanel() {
    if (FSpectrumPanel || !FDropDownForm) return;
    FSpectrumPanel = new TExColorSpectrumPanel(this);
    FSpectrumPanel->FreeNotification(this);
    FSpectrumPanel->SetParent(FDropDownForm);
}

void TExColorPickerDropDown::CreateDropDownForm() {
    TExCustomDropDown::CreateDropDownForm();
    switch (FColorSelectionStyle) {
    case csList: CreateItemSelector(); break;
    case csDiscrete: CreateColorSelector(); break;
    case csColorCube: CreateCubePanel(); break;
    case csSpectrum: CreateSpectrumPanel(); break;
    }
    if (FColorSelectionStyle == csList && FItemSelector) SetControl(FItemSelector);
}

TControl* TExColorPickerDropDown::StyleControl() const {
    switch (FColorSelectionStyle) {
    case csList: return FItemSelector;
    case csDiscrete: return FColorSelector;
    case csColorCube: return FCubePanel;
    case csSpectrum: return FSpectrumPanel;
    }
    return nullptr;
}

void TExColorPickerDropDown::UpdateItemSelector() {
    if (!FItemSelector) return;
    TExCustomItemSelector& s = *FItemSelector;
    s.OnItemSelect = nullptr;
    s.SetColumns(FColumns);
    s.SetImages(Images());
    s.SetItemLayout(FLayout);
    s.SetColor(DropDownColor());
    s.Items().BeginUpdate();
    s.Items().Clear();
    for (int i = 0; i < FColors.Count(); ++i) {
        TColorItem* e = FColors.GetItem(i);
        TSelectorItem* it = s.Items().Add();
        it->SetCaption(e->Caption());
        it->SetColor(e->Color());
        it->Hint = e->Hint;
    }
    s.Items().EndUpdate();
    s.SetColorBoxHeight(FColorBoxHeight);
    s.SetColorBoxWidth(FColorBoxWidth);
    s.ItemAppearance().Assign(&FItemAppearance);
    s.UpdateSelectorPanel();
    s.SetItemIndex(FItemIndex);
    s.OnItemSelect = [this](TObject*) {
        SetItemIndex(FItemSelector->ItemIndex());
        if (!FInternalCall) DoHideDropDown(false);
    };
    s.SetShowHint(ShowHint());
}

// The cube and the spectrum: placed, loaded with the colour and reset; a
// click on them chooses and closes.
template <class TPanel> TControl* TExColorPickerDropDown::PreparePanel(TPanel& P) {
    P.SetBounds(0, 0, P.Width(), P.Height());
    P.SetColor(DropDownColor());
    SetControl(&P);
    P.SetSelectedColor(FSelectedColor);
    P.ResetPanel();
    P.OnSelect = [this, &P](TObject*) {
        SetSelectedColor(P.SelectedColor());
        SetItemIndex(-1);
        DoHideDropDown(false);
    };
    return &P;
}

void TExColorPickerDropDown::PrepareControl() {
    if (!FDropDownForm) return;
    TControl* shown = nullptr;
    switch (FColorSelectionStyle) {
    case csList:
        CreateItemSelector();
        SetControl(FItemSelector);
        UpdateItemSelector();
        if (OnDrawColor)
            FItemSelector->OnDrawItem = [this](TObject*, TCanvas& Canvas, TRect R, int Index) {
                OnDrawColor(this, Canvas, R, Index);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
        FOldItemIndex = FItemIndex;
        shown = FItemSelector;
        break;
    case csDiscrete: {
        CreateColorSelector();
        TCustomColorSelector& s = *FColorSelector;
        s.SetBounds(0, 0, s.Width(), s.Height());
        s.SetColor(DropDownColor());
        s.ArrangeItems();
        SetControl(&s);
        s.OnItemSelect = nullptr;
        SyncColorSelector();
        s.ArrangeItems();
        s.OnItemSelect = [this](TObject*) {
            SetSelectedColor(FColorSelector->SelectedColor());
            SetItemIndex(-1);
            if (!FInternalCall) DoHideDropDown(false);
        };
        s.SetItemColorStyle(SelectionColorStyle());
        shown = &s;
        break;
    }
    case csColorCube:
        CreateCubePanel();
        FCubePanel->InitCubeCells();
        shown = PreparePanel(*FCubePanel);
        break;
    case csSpectrum:
        CreateSpectrumPanel();
        shown = PreparePanel(*FSpectrumPanel);
        break;
    }
    for (TControl* c : {static_cast<TControl*>(FItemSelector), static_cast<TControl*>(FColorSelector),
                        static_cast<TControl*>(FCubePanel), static_cast<TControl*>(FSpectrumPanel)})
        if (c) c->SetVisible(c == shown);
}

void TExColorPickerDropDown::DoBeforeDropDown() {
    TExCustomDropDown::DoBeforeDropDown();
    PrepareControl();
    FOldSelectedColor = FSelectedColor;
}

void TExColorPickerDropDown::SetColorSelectionStyle(TColorSelectionStyle Value) {
    if (FColorSelectionStyle == Value) return;
    FColorSelectionStyle = Value;
    if (ComponentState().Contains(csDesigning) || !FDropDownForm) return;
    PrepareControl();
    if (TControl* c = StyleControl()) {
        c->SetAlign(alNone);
        if (Value == csList) {
            UpdateDropDownSize();
        } else {
            SizeToControl();
        }
        c->SetAlign(alClient);
    }
    FOldSelectedColor = FSelectedColor;
    FDropDownForm->Invalidate();
}

void TExColorPickerDropDown::PlaceDropDownControl() {
    TExCustomDropDown::PlaceDropDownControl();
    // The panels have a fixed size; only the list can be sized by the user.
    if (FDropDownForm) FDropDownForm->SetSizeable(FColorSelectionStyle == csList && DropDownSizeable());
}

void TExColorPickerDropDown::SizeToControl() {
    TControl* c = StyleControl();
    const bool shown = c && c->Visible();
    const int b = DropDownBorderWidth();
    int h = 2 * b;
    if (DropDownHeader().Visible()) h += DropDownHeader().Height();
    if (DropDownFooter().Visible()) h += DropDownFooter().Height();
    if (shown) h += c->Height();
    const int w = shown ? c->Width() + 2 * b : Width();
    FDropDownForm->SetBounds(FDropDownForm->Left(), FDropDownForm->Top(), w, h);
}

void TExColorPickerDropDown::UpdateDropDownSize() {
    if (!FDropDownForm) return;
    if (FColorSelectionStyle != csList) {
        SizeToControl();
        return;
    }
    if (!FItemSelector) {
        TExCustomDropDown::UpdateDropDownSize();
        return;
    }
    FItemSelector->SetAlign(alNone);
    TSize panel;
    FItemSelector->GetPanelSize(panel);
    if (DropDownWidth() < 1) FItemSelector->SetWidth(panel.cx);
    if (DropDownHeight() < 1) FItemSelector->SetHeight(panel.cy);
    TExCustomDropDown::UpdateDropDownSize();
    if (FItemSelector->VertRange() > FItemSelector->ClientHeight())
        FDropDownForm->SetWidth(FDropDownForm->Width() + GetSystemMetrics(SM_CXVSCROLL));
}

void TExColorPickerDropDown::FormDestroy() {
    if (ComponentState().Contains(csDestroying)) return;
    FItemSelector = nullptr;
    FColorSelector = nullptr;
    FCubePanel = nullptr;
    FSpectrumPanel = nullptr;
}

void TExColorPickerDropDown::DoHideDropDown(bool Cancelled) {
    TExCustomDropDown::DoHideDropDown(Cancelled);
    if (!Cancelled) return;
    if (FColorSelectionStyle == csList) {
        SetItemIndex(FOldItemIndex);
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        Internally([&] { FColorSelector->SetSelectedColor(FOldSelectedColor); });
        // A colour outside the palette selects no box and so carries nothing
        // back; the picker still returns to it.
        SetSelectedColor(FOldSelectedColor);
    }
}

void TExColorPickerDropDown::SyncColorSelector() {
    TCustomColorSelector& s = *FColorSelector;
    TNotifyEvent bound = s.OnItemSelect;
    s.OnItemSelect = nullptr;
    s.SetSelectedColor(FSelectedColor);
    s.OnItemSelect = bound;
}

void TExColorPickerDropDown::WheelStep(bool Down) {
    if (!Enabled() || ReadOnly()) return;
    // Closed, the step starts from the picker's colour: the pop-up control
    // still holds the choice of its last opening, which keys or the owner
    // may have changed since.
    if (FColorSelectionStyle == csList && FItemSelector) {
        if (!DroppedDown()) Down ? SelectNext() : SelectPrevious();
        else if (Down) FItemSelector->HotNext();
        else FItemSelector->HotPrevious();
    } else if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        if (!DroppedDown()) {
            SyncColorSelector();
            Internally([&] { Down ? FColorSelector->SelectNext() : FColorSelector->SelectPrevious(); });
        } else if (Down) {
            FColorSelector->HotNext();
        } else {
            FColorSelector->HotPrevious();
        }
    }
}

void TExColorPickerDropDown::WheelDown() {
    TExCustomDropDown::WheelDown();
    WheelStep(true);
}

void TExColorPickerDropDown::WheelUp() {
    TExCustomDropDown::WheelUp();
    WheelStep(false);
}

// ---------------------------------------------------------------------------
// The edit area
// ---------------------------------------------------------------------------
void TExColorPickerDropDown::DrawSelectedColor() {
    if (!HandleAllocated()) return;
    TControlCanvas c;
    c.SetControl(this);
    const TRect r = Rect(1, 1, Width() - DropDownButtonWidth() - 2, Height() - 2);
    if (OnDrawSelectedColor) {
        OnDrawSelectedColor(this, c, r);
        return;
    }
    if (FSelectedColor == clNone) return;
    const int top = r.Top + (Height() - FColorBoxHeight) / 2;
    const TRect box = Rect(r.Left + 4, top, r.Left + 4 + FColorBoxWidth, top + FColorBoxHeight);
    c.Pen().SetWidth(1);
    c.Pen().SetColor(clBlack);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(FSelectedColor);
    c.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
    if (!FShowText) return;
    const bool focused = Focused();
    c.SetFont(Font());
    if (!EditorEnabled() && focused) c.Font().SetColor(clHighlightText);
    TRect t = Rect(box.Right + 4, r.Top, r.Right, r.Bottom);
    c.Brush().SetColor(focused ? clHighlight : Color());
    c.FillRect(t);
    c.Brush().SetStyle(bsClear);
    c.DrawText(SelectedColorText(), t, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void TExColorPickerDropDown::PaintEditArea() {
    TExCustomDropDown::PaintEditArea();
    DrawSelectedColor();
}

void TExColorPickerDropDown::WMPaint(TMessage& Message) {
    TExCustomDropDown::WMPaint(Message);
    DrawSelectedColor();
}

// ---------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------
void TExColorPickerDropDown::WMKeyDown(TWMKey& Message) {
    const Word key = Message.CharCode();
    bool handled = false;
    if (Enabled() && DroppedDown() && key == VK_RETURN) {
        if (FColorSelectionStyle == csList && FItemSelector && FItemSelector->ItemHot() >= 0) {
            FItemSelector->SetItemIndex(FItemSelector->ItemHot());
            handled = true;
        } else if (FColorSelectionStyle == csDiscrete && FColorSelector && FColorSelector->ItemHot() >= 0) {
            FColorSelector->SetItemIndex(FColorSelector->ItemHot());
            handled = true;
        }
    }
    const bool open = DroppedDown();
    TExCustomDropDown::WMKeyDown(Message);
    if (!Enabled() || GetKeyState(VK_MENU) < 0) return;
    if (FColorSelectionStyle == csDiscrete && FColorSelector) {
        if (!open) SyncColorSelector();
        Internally([&] { FColorSelector->HandleKey(key, EditorEnabled(), open); });
        if (key == VK_RETURN && !handled && OnSelect) OnSelect(this);
        return;
    }
    if (FColorSelectionStyle != csList || !FItemSelector) return;
    HandlePickerListKey(key, open, EditorEnabled(), handled,
                        PickerListKeys(*this, FItemSelector, FColors.Count(), FColumns, FInternalCall, FCurSearch, FKeyTimer,
                                       [this] { UpdateItemSelector(); }));
}
