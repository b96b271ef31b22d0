// The button's painter, its colour schemes and its bitmap resources: pure
// canvas work, kept apart from the control's input handling.

#include "controls/FlatButton.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr TColor Magenta = 0xFF00FF;  // the key colour of transparent faces

// Classic rounding: halves go to the even neighbour.
int Round(double v) { return int(std::lrint(v)); }

const TFlatColorScheme ColorSchemes[] = {
    {lcsGold, 0xC0C0, 0xFFFF, 0x8080, clNone, 0xDFDF, false, bsModern, clBlack},
    {lcsChrome, 0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, false, bsModern, clBlack},
    {lcsBlue, 0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, false, bsModern, clBlack},
    {lcsRed, 0xFF, 0xC0C0FF, 0xC0, clNone, clNone, false, bsModern, clBlack},
    {lcsUltraFlat1, clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, true, bsNormal, clBlack},
    {lcsUltraFlat2, clBtnFace, 0, 0, 0x24DABC, 0x8CF6E4, true, bsNormal, clBlack},
    {lcsUltraFlatXP, 0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, true, bsNormal, clBlack},
    {lcsAqua, 0xECCE94, 0xFCE6D4, 0, clNone, clNone, false, bsModern, clBlack},
    {lcsDefault, clBtnFace, 0xFFFFFF, 0x808080, clNone, clNone, false, bsNormal, clBlack},
    {lcsQuicken, 0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, false, bsQuicken, clWhite},
};

const TFlatButtonKindInfo Kinds[] = {
    {bkOK, mrOk, "FBOK", "OK"},
    {bkCancel, mrCancel, "FBCANCEL", "Abbrechen"},
    {bkHelp, mrNone, "FBHELP", "Hilfe"},
    {bkYes, mrYes, "FBYES", "Ja"},
    {bkNo, mrNo, "FBNO", "Nein"},
    {bkClose, mrNone, "FBCLOSE", "Schließen"},
    {bkAbort, mrAbort, "FBABORT", "Abbrechen"},
    {bkRetry, mrRetry, "FBRETRY", "Wiederholen"},
    {bkIgnore, mrIgnore, "FBIGNORE", "Ignorieren"},
    {bkAll, mrAll, "FBALL", "Alle"},
};

// ---------------------------------------------------------------------------
// The kind glyphs: two 18-pixel images side by side (normal, disabled) on an
// olive background, which the bottom-left pixel makes transparent. Each
// symbol is drawn once in its colour and once, for the disabled look, as a
// gray shape with a white shadow one pixel down and right.

constexpr TColor GlyphBack = clOlive;

using SymbolPainter = void (*)(TCanvas& c, int ox, TColor ink);

void Thick(TCanvas& c, std::initializer_list<TPoint> pts, TColor ink) {
    c.Pen().SetColor(ink);
    for (int dy = 0; dy <= 1; ++dy) {
        auto it = pts.begin();
        c.MoveTo(it->X, it->Y + dy);
        for (++it; it != pts.end(); ++it) c.LineTo(it->X, it->Y + dy);
        c.LineTo(pts.end()[-1].X + 1, pts.end()[-1].Y + dy);  // the end point too
    }
}

void Check(TCanvas& c, int ox, TColor ink) { Thick(c, {{ox + 3, 8}, {ox + 7, 12}, {ox + 14, 4}}, ink); }
void Cross(TCanvas& c, int ox, TColor ink) {
    Thick(c, {{ox + 4, 4}, {ox + 13, 13}}, ink);
    Thick(c, {{ox + 4, 13}, {ox + 13, 4}}, ink);
}
void Question(TCanvas& c, int ox, TColor ink) {
    Thick(c, {{ox + 5, 5}, {ox + 7, 3}, {ox + 11, 3}, {ox + 12, 5}, {ox + 12, 6}, {ox + 9, 9}, {ox + 9, 11}}, ink);
    c.Brush().SetColor(ink);
    c.FillRect(Rect(ox + 8, 13, ox + 11, 16));
}
void NoSign(TCanvas& c, int ox, TColor ink) {
    c.Pen().SetColor(ink);
    c.Brush().SetStyle(bsClear);
    c.Ellipse(ox + 3, 3, ox + 15, 15);
    c.Ellipse(ox + 4, 4, ox + 14, 14);
    c.Brush().SetStyle(bsSolid);
    Thick(c, {{ox + 5, 5}, {ox + 12, 12}}, ink);
}
void Door(TCanvas& c, int ox, TColor ink) {
    c.Pen().SetColor(ink);
    c.Brush().SetStyle(bsClear);
    c.Rectangle(ox + 4, 2, ox + 14, 16);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(ink);
    c.FillRect(Rect(ox + 5, 3, ox + 9, 15));
    c.FillRect(Rect(ox + 10, 8, ox + 12, 10));
}
void StopCross(TCanvas& c, int ox, TColor ink) {
    c.Pen().SetColor(ink);
    c.Brush().SetStyle(bsClear);
    c.Ellipse(ox + 2, 2, ox + 16, 16);
    c.Brush().SetStyle(bsSolid);
    Thick(c, {{ox + 6, 6}, {ox + 11, 11}}, ink);
    Thick(c, {{ox + 6, 11}, {ox + 11, 6}}, ink);
}
void Circular(TCanvas& c, int ox, TColor ink) {
    c.Pen().SetColor(ink);
    c.Arc(ox + 3, 3, ox + 15, 15, ox + 15, 3, ox + 15, 9);
    c.Arc(ox + 4, 4, ox + 14, 14, ox + 15, 3, ox + 15, 9);
    Thick(c, {{ox + 11, 2}, {ox + 14, 5}, {ox + 10, 6}}, ink);
}
void Arrow(TCanvas& c, int ox, TColor ink) {
    Thick(c, {{ox + 2, 9}, {ox + 14, 9}}, ink);
    Thick(c, {{ox + 10, 5}, {ox + 14, 9}, {ox + 10, 13}}, ink);
}
void DoubleCheck(TCanvas& c, int ox, TColor ink) {
    Thick(c, {{ox + 1, 8}, {ox + 4, 11}, {ox + 10, 4}}, ink);
    Thick(c, {{ox + 6, 11}, {ox + 9, 14}, {ox + 16, 6}}, ink);
}

struct GlyphResource {
    const char* Name;
    SymbolPainter Paint;
    TColor Ink;
    int Height;
};

const GlyphResource GlyphResources[] = {
    {"FBOK", Check, clGreen, 18},       {"FBCANCEL", Cross, clRed, 18},    {"FBHELP", Question, clNavy, 18},
    {"FBYES", Check, clGreen, 18},      {"FBNO", NoSign, clRed, 18},       {"FBCLOSE", Door, clTeal, 18},
    {"FBABORT", StopCross, clRed, 18},  {"FBRETRY", Circular, clGreen, 18}, {"FBIGNORE", Arrow, clNavy, 18},
    {"FBALL", DoubleCheck, clGreen, 19},
};

}  // namespace

const TFlatColorScheme* FlatColorScheme(TFlatColorStyle Style) {
    for (const auto& s : ColorSchemes)
        if (s.Style == Style) return &s;
    return nullptr;
}

const TFlatButtonKindInfo* FlatButtonKindInfo(TFlatButtonKind Kind) {
    for (const auto& k : Kinds)
        if (k.Kind == Kind) return &k;
    return nullptr;
}

bool LoadFlatButtonResource(const String& Name, TBitmap& Bitmap) {
    if (Name == S("FBARROW")) {
        // The small down arrow of a button with a popup menu, on a magenta key.
        Bitmap.SetPixelFormat(pf4bit);
        Bitmap.SetSize(5, 3);
        TCanvas& c = Bitmap.Canvas();
        c.Brush().SetColor(Magenta);
        c.FillRect(Rect(0, 0, 5, 3));
        c.Brush().SetColor(clBlack);
        c.FillRect(Rect(0, 0, 5, 1));
        c.FillRect(Rect(1, 1, 4, 2));
        c.FillRect(Rect(2, 2, 3, 3));
        return true;
    }
    for (const auto& g : GlyphResources) {
        if (Name != Utf8ToString(g.Name)) continue;
        Bitmap.SetPixelFormat(pf4bit);
        Bitmap.SetSize(36, g.Height);
        TCanvas& c = Bitmap.Canvas();
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(GlyphBack);
        c.FillRect(Rect(0, 0, 36, g.Height));
        g.Paint(c, 0, g.Ink);
        // Disabled image: white shadow first, the gray shape above it.
        c.SetViewportOrg(1, 1);
        g.Paint(c, 18, clWhite);
        c.SetViewportOrg(0, 0);
        g.Paint(c, 18, clGray);
        c.Brush().SetColor(GlyphBack);
        c.FillRect(Rect(0, g.Height - 1, 1, g.Height));  // keep the key pixel
        c.FillRect(Rect(18, g.Height - 1, 19, g.Height));
        return true;
    }
    return false;
}

TColor FlatHotTrackBlend(TColor Color, TColor HotTrack, int Step) {
    const TColor c = ColorToRGB(Color), h = ColorToRGB(HotTrack);
    const double s = Step / 8.0;
    auto mix = [&](int a, int b) { return Round(a * (1 - s) + b * s); };
    return RGB(mix(GetRValue(c), GetRValue(h)), mix(GetGValue(c), GetGValue(h)), mix(GetBValue(c), GetBValue(h)));
}

void FillGradient32(TCanvas& Canvas, int L, int T, int R, int B, TColor A, TColor Z) {
    const TColor a = ColorToRGB(A), z = ColorToRGB(Z);
    const int span = B - T;
    const int bandHeight = span / 31 + 1;
    const TPenStyle oldStyle = Canvas.Pen().Style();
    Canvas.Pen().SetStyle(psClear);
    Canvas.Brush().SetStyle(bsSolid);
    for (int i = 0; i <= 31; ++i) {
        const int top = T + i * span / 31;
        const int bottom = std::min(top + bandHeight, B);
        auto ch = [&](int from, int to) { return Round(from + (to - from) / 31.0 * i); };
        Canvas.Brush().SetColor(
            RGB(ch(GetRValue(a), GetRValue(z)), ch(GetGValue(a), GetGValue(z)), ch(GetBValue(a), GetBValue(z))));
        Canvas.FillRect(Rect(L, top, R, bottom));
    }
    Canvas.Pen().SetStyle(oldStyle);
}

void PaintButton(TCanvas& Canvas, int W, int H, TAlignment Alignment, const String& Caption,
                 TFlatButtonLayout Layout, const TFont& Font, TColor ShadowColor, TColor LightColor,
                 TColor HotTrackColor, TColor ColorWhenDown, TColor Color, TFlatButtonStyle Style, bool HasPopupMenu,
                 bool WordWrap, bool Flat, bool Enabled, bool Hot, bool Pressed, const TBitmap& Glyph, int NumGlyphs,
                 int HotTrackStep) {
    if (!Enabled) Pressed = false;
    const int d = (Pressed && Style != bsEncarta) ? 1 : 0;

    // Face colour.
    TColor F = ColorToRGB(Color);
    if (Enabled && HotTrackColor != clNone) F = FlatHotTrackBlend(Color, HotTrackColor, HotTrackStep);
    if (Pressed && ColorWhenDown != clNone) F = ColorWhenDown;

    // Face.
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Pen().SetStyle(psSolid);
    switch (Style) {
    case bsShape:
        Canvas.Brush().SetColor(Magenta);
        Canvas.FillRect(Rect(0, 0, W, H));
        break;
    case bsNormal:
    case bsEncarta:
    case bsOld:
        Canvas.Brush().SetColor(F);
        Canvas.FillRect(Rect(0, 0, W, H));
        break;
    case bsModern:
        FillGradient32(Canvas, 2, 2, W - 2, H / 4 + d, LightColor, F);
        FillGradient32(Canvas, 2, H / 4 + d, W - 2, H - 1, F, LightColor);
        break;
    case bsQuicken:
        break;
    }

    // Frame.
    const bool framed = !Flat || (Enabled && (Hot || Pressed));
    auto pen = [&](TColor c) { Canvas.Pen().SetColor(c); };
    switch (Style) {
    case bsNormal:
    case bsEncarta:
        if (framed) {
            pen(Pressed ? ShadowColor : LightColor);
            Canvas.MoveTo(0, H - 1);
            Canvas.LineTo(0, 0);
            Canvas.LineTo(W - 1, 0);
            pen(Pressed ? LightColor : ShadowColor);
            Canvas.LineTo(W - 1, H - 1);
            Canvas.LineTo(0, H - 1);
        }
        break;
    case bsOld:
        if (framed) {
            pen(ShadowColor);
            if (Pressed) {
                Canvas.MoveTo(1, H - 3);
                Canvas.LineTo(1, 1);
                Canvas.LineTo(W - 2, 1);
            } else {
                Canvas.MoveTo(W - 2, 0);
                Canvas.LineTo(W - 2, H - 2);
                Canvas.LineTo(0, H - 2);
            }
            pen(Pressed ? cl3DDkShadow : LightColor);
            Canvas.MoveTo(0, H - 1);
            Canvas.LineTo(0, 0);
            Canvas.LineTo(W - 1, 0);
            pen(Pressed ? LightColor : cl3DDkShadow);
            Canvas.LineTo(W - 1, H - 1);
            Canvas.LineTo(-1, H - 1);
        }
        break;
    case bsModern:
        Canvas.Brush().SetStyle(bsClear);
        pen(Pressed ? ShadowColor : F);
        Canvas.Rectangle(1, 1, W - 1, H - 1);
        pen(ShadowColor);
        Canvas.RoundRect(0, 0, W, H, 6, 6);
        Canvas.Brush().SetStyle(bsSolid);
        break;
    case bsQuicken:
        Canvas.Brush().SetColor(F);
        Canvas.Pen().SetStyle(psClear);
        Canvas.RoundRect(0, 1, W, H, 4, 4);
        Canvas.Pen().SetStyle(psSolid);
        pen(ShadowColor);
        Canvas.MoveTo(4, 0);
        Canvas.LineTo(W - 5, 0);
        Canvas.MoveTo(4, H - 1);
        Canvas.LineTo(W - 5, H - 1);
        break;
    case bsShape:
        break;
    }

    // Font.
    Canvas.SetFont(Font);
    if (Style == bsEncarta && Pressed) {
        TFontStyles st = Canvas.Font().Style();
        st.Include(fsBold);
        Canvas.Font().SetStyle(st);
    }

    // Glyph image.
    const int gh = Glyph.Empty() ? 0 : Glyph.Height();
    const int gw = (NumGlyphs > 0 && !Glyph.Empty()) ? Glyph.Width() / NumGlyphs : 0;
    int column = 0;
    if (!Enabled) {
        column = 1;
    } else {
        if (Hot && NumGlyphs > 3) column = 3;
        if (Pressed && NumGlyphs > 2) column = 2;
    }
    if (column * gw >= Glyph.Width()) column = 0;
    TBitmap image;
    if (gw > 0 && gh > 0) {
        image.SetSize(gw, gh);
        image.Canvas().CopyRect(Rect(0, 0, gw, gh), const_cast<TBitmap&>(Glyph).Canvas(),
                                Rect(column * gw, 0, column * gw + gw, gh));
        image.SetTransparent(true);
    }

    // Text format and the available width.
    unsigned format = DT_WORDBREAK;
    if (Alignment == taLeftJustify) format |= DT_LEFT;
    else if (Alignment == taRightJustify) format |= DT_RIGHT;
    else format |= DT_CENTER;

    int v;
    if (Style == bsShape || Layout == blGlyphTop || Layout == blGlyphBottom)
        v = std::max(W - 8, 0);
    else
        v = std::max(gw > 0 ? W - gw - 12 : W - 8, 0);

    String text = Caption;
    if (!WordWrap)
        while (!text.empty() && Canvas.TextWidth(text) > v) text.pop_back();
    TRect block = Rect(0, 0, v, 0);
    Canvas.DrawText(text, block, format | DT_CALCRECT);
    const int tw = block.Right - block.Left, th = block.Bottom - block.Top;

    int textLeft = 0, textTop = 0, glyphLeft = 0, glyphTop = 0;
    TRect textRect;
    if (Style == bsShape) {
        glyphLeft = (W - gw) / 2;
        glyphTop = (H - gh) / 2;
        textRect = Rect(d, (H - th) / 2 + d, W, H);
        format = DT_WORDBREAK | DT_CENTER;
    } else if (Layout == blGlyphTop || Layout == blGlyphBottom) {
        const int bh = th + (gh > 0 ? gh + 4 : 0);
        const int c = (H - bh) / 2;
        textLeft = d + 4;
        if (Layout == blGlyphTop) {
            glyphTop = c + d;
            textTop = c + gh + d;
        } else {
            textTop = c + d;
            glyphTop = c + th + d;
        }
        if (Alignment == taLeftJustify) glyphLeft = d + 4;
        else if (Alignment == taRightJustify) glyphLeft = W - gw - 4 + d;
        else glyphLeft = (W - gw) / 2 + d;
        textRect = Rect(textLeft, textTop, textLeft + v, textTop + th);
    } else {
        textTop = (H - th) / 2 + d;
        textLeft = d + 4;
        glyphTop = (H - gh) / 2 + d;
        const int t4 = text.empty() ? 0 : tw + 4;
        if (Layout == blGlyphLeft) {
            if (gw > 0) textLeft += gw + 4;
            glyphLeft = d + 4;
            if (!WordWrap) {
                if (Alignment == taRightJustify) glyphLeft = W + d - gw - t4 - 4;
                else if (Alignment == taCenter) glyphLeft = (W - gw) / 2 + d - t4 / 2;
            }
        } else {
            glyphLeft = textLeft + t4;
            if (!WordWrap) {
                if (Alignment == taRightJustify) glyphLeft = W + d - gw - 4;
                else if (Alignment == taCenter) glyphLeft = (W - gw) / 2 + d + t4 / 2;
            }
        }
        textRect = Rect(textLeft, textTop, textLeft + v, textTop + th);
    }

    if (!Enabled) Canvas.Font().SetColor(clGray);
    Canvas.Brush().SetStyle(bsClear);
    Canvas.DrawText(text, textRect, format);
    Canvas.Brush().SetStyle(bsSolid);
    if (!image.Empty()) Canvas.Draw(glyphLeft, glyphTop, image);

    if (HasPopupMenu) {
        TBitmap arrow;
        LoadFlatButtonResource(S("FBARROW"), arrow);
        arrow.SetTransparent(true);
        Canvas.Draw(W - 11, H / 2 - 1, arrow);
    }
}
