// Renders a sheet of every drawing primitive, frame control and theme part
// to a PNG, so that a person can check the looks by eye.

#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Resources.h"
#include "framework/Themes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Caption(TCanvas& c, int x, int y, const char* text) {
    c.Brush().SetStyle(bsClear);
    c.Font().SetName(S("Tahoma"));
    c.Font().SetHeight(-11);
    c.Font().SetColor(clNavy);
    c.Font().SetStyle({});
    c.Font().SetEscapement(0);
    c.TextOut(x, y, S(text));
}

void Section(TCanvas& c, int y, const char* title) {
    c.Pen().SetColor(clSilver);
    c.Pen().SetStyle(psSolid);
    c.Pen().SetWidth(1);
    c.Pen().SetMode(pmCopy);
    c.MoveTo(0, y);
    c.LineTo(1000, y);
    c.Brush().SetStyle(bsClear);
    c.Font().SetName(S("Verdana"));
    c.Font().SetHeight(-12);
    c.Font().SetStyle({fsBold});
    c.Font().SetColor(clBlack);
    c.Font().SetEscapement(0);
    c.TextOut(4, y + 2, S(title));
}

void Lines(TCanvas& c, int y) {
    Section(c, y, "Lines, pens and shapes");
    y += 20;
    const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
    const char* names[] = {"solid", "dash", "dot", "dashdot", "dashdotdot"};
    for (int i = 0; i < 5; ++i) {
        c.Pen().SetStyle(styles[i]);
        c.Pen().SetColor(clBlack);
        c.Brush().SetStyle(bsClear);
        c.MoveTo(10, y + 6 + i * 14);
        c.LineTo(110, y + 6 + i * 14);
        Caption(c, 116, y + i * 14, names[i]);
    }
    c.Pen().SetStyle(psSolid);
    for (int w = 1; w <= 4; ++w) {
        c.Pen().SetWidth(w);
        c.Pen().SetColor(clMaroon);
        c.MoveTo(190, y + 4 + (w - 1) * 16);
        c.LineTo(260, y + 14 + (w - 1) * 16);
    }
    c.Pen().SetWidth(1);
    // Diagonals: last point not drawn.
    for (int k = 0; k < 8; ++k) {
        c.Pen().SetColor(RGB(k * 30, 0, 255 - k * 30));
        c.MoveTo(280, y + 2);
        c.LineTo(280 + k * 8, y + 62);
    }
    c.Pen().SetColor(clBlack);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clYellow);
    c.Rectangle(360, y, 410, y + 40);
    Caption(c, 360, y + 44, "Rectangle");
    c.Brush().SetColor(clRed);
    c.FrameRect(Rect(420, y, 470, y + 40));
    Caption(c, 420, y + 44, "FrameRect");
    c.Brush().SetColor(clSkyBlue);
    c.RoundRect(480, y, 530, y + 40, 12, 12);
    Caption(c, 480, y + 44, "RoundRect");
    c.Brush().SetColor(clMoneyGreen);
    c.Ellipse(540, y, 590, y + 40);
    Caption(c, 540, y + 44, "Ellipse");
    c.Arc(600, y, 650, y + 40, 650, y, 600, y);
    Caption(c, 600, y + 44, "Arc");
    c.Brush().SetColor(clCream);
    c.Pie(660, y, 710, y + 40, 710, y + 20, 685, y);
    Caption(c, 660, y + 44, "Pie");
    c.Chord(720, y, 770, y + 40, 770, y + 30, 720, y + 10);
    Caption(c, 720, y + 44, "Chord");
    c.Brush().SetColor(clAqua);
    c.Polygon({Point(790, y + 40), Point(810, y), Point(830, y + 40), Point(780, y + 14), Point(840, y + 14)});
    Caption(c, 780, y + 44, "Polygon");
    c.Brush().SetColor(clAqua);  // the caption left the brush clear
    c.SetPolyFillMode(pfWinding);
    c.Polygon({Point(860, y + 40), Point(880, y), Point(900, y + 40), Point(850, y + 14), Point(910, y + 14)});
    c.SetPolyFillMode(pfAlternate);
    Caption(c, 850, y + 44, "winding");
    c.PolyBezier({Point(920, y + 40), Point(930, y - 10), Point(960, y + 60), Point(990, y)});
    Caption(c, 925, y + 44, "Bezier");

    // Hatches, flood fill, XOR.
    y += 64;
    const TBrushStyle hatches[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
    for (int i = 0; i < 6; ++i) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clWhite);
        c.Pen().SetColor(clBlack);
        c.Rectangle(10 + i * 36, y, 42 + i * 36, y + 32);
        c.Brush().SetStyle(hatches[i]);
        c.Brush().SetColor(clBlue);
        c.FillRect(Rect(11 + i * 36, y + 1, 41 + i * 36, y + 31));
    }
    Caption(c, 10, y + 34, "hatch brushes");
    c.Brush().SetStyle(bsClear);
    c.Pen().SetColor(clGreen);
    c.Ellipse(240, y, 290, y + 32);
    c.Brush().SetColor(clLime);
    c.FloodFill(265, y + 16, clGreen, fsBorder);
    Caption(c, 240, y + 34, "FloodFill");
    c.Brush().SetColor(clNavy);
    c.FillRect(Rect(300, y, 360, y + 32));
    c.Pen().SetMode(pmXor);
    c.Pen().SetColor(clYellow);
    for (int k = 0; k < 6; ++k) {
        c.MoveTo(300, y + k * 6);
        c.LineTo(360, y + 32 - k * 6);
    }
    c.Pen().SetMode(pmCopy);
    Caption(c, 300, y + 34, "XOR pen");
    c.Brush().SetColor(clWhite);
    c.FillRect(Rect(370, y, 440, y + 32));
    c.DrawFocusRect(Rect(374, y + 4, 436, y + 28));
    Caption(c, 370, y + 34, "focus rect");
    for (int x = 0; x < 20; ++x)
        for (int yy = 0; yy < 20; ++yy)
            c.SetPixels(450 + x, y + yy, ((x ^ yy) & 4) ? clBlack : clWhite);
    Caption(c, 450, y + 34, "Pixels");
    // Clipping with a region of bands.
    TRegion a(Rect(490, y, 510, y + 32)), b(Rect(490, y + 20, 560, y + 32)), l;
    l.Combine(a, b, RGN_OR);
    c.SelectClipRgn(&l);
    c.Brush().SetStyle(bsDiagCross);
    c.Brush().SetColor(clPurple);
    c.FillRect(Rect(480, y - 5, 570, y + 40));
    c.SelectClipRgn(nullptr);
    Caption(c, 490, y + 34, "region clip");
}

void Texts(TCanvas& c, int y) {
    Section(c, y, "Text");
    y += 20;
    struct F {
        const char* face;
        TFontStyles style;
    } fonts[] = {{"Verdana", {}}, {"Tahoma", {fsBold}}, {"MS Sans Serif", {fsItalic}}, {"Segoe UI", {fsUnderline}},
                 {"Arial", {fsStrikeOut}}, {"Courier New", {}}, {"Symbol", {}}};
    for (int i = 0; i < 7; ++i) {
        c.Font().SetName(S(fonts[i].face));
        c.Font().SetHeight(-13);
        c.Font().SetStyle(fonts[i].style);
        c.Font().SetColor(clBlack);
        c.Brush().SetStyle(bsClear);
        c.TextOut(10, y + i * 16, S(fonts[i].face) + S(" AaBbGgQq 0123 &"));
    }
    c.Font().SetName(S("Verdana"));
    c.Font().SetStyle({});
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clInfoBk);
    c.TextOut(10, y + 116, S("Opaque background"));
    TRect box = Rect(260, y, 420, y + 100);
    c.Brush().SetColor(clWhite);
    c.Pen().SetColor(clGray);
    c.Rectangle(box);
    c.Brush().SetStyle(bsClear);
    TRect t = box;
    InflateRect(t, -2, -2);
    c.DrawText(S("DrawText with word breaks: a longer caption wraps at blanks inside its box."), t, DT_WORDBREAK);
    TRect t2 = Rect(430, y, 600, y + 20);
    c.Rectangle(t2);
    c.DrawText(S("End ellipsis for a caption that does not fit"), t2, DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER);
    TRect t3 = Rect(430, y + 24, 600, y + 44);
    c.Rectangle(t3);
    c.DrawText(S("C:\\Projects\\Converter\\Settings\\ParGen.xml"), t3, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_VCENTER);
    TRect t4 = Rect(430, y + 48, 600, y + 68);
    c.Rectangle(t4);
    c.DrawText(S("&File && &Edit"), t4, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    TRect t5 = Rect(430, y + 72, 600, y + 92);
    c.Rectangle(t5);
    c.DrawText(S("Right\taligned"), t5, DT_SINGLELINE | DT_RIGHT | DT_VCENTER | DT_EXPANDTABS);
    // Rotated.
    c.Font().SetEscapement(900);
    c.TextOut(630, y + 110, S("Upward 900"));
    c.Font().SetEscapement(-2700);
    c.TextOut(660, y + 110, S("Upward -2700"));
    c.Font().SetEscapement(2700);
    c.TextOut(720, y, S("Downward 2700"));
    c.Font().SetEscapement(-900);
    c.TextOut(750, y, S("Downward -900"));
    c.Font().SetEscapement(0);
    c.Pen().SetColor(clRed);
    for (TPoint p : {Point(630, y + 110), Point(660, y + 110), Point(720, y), Point(750, y)}) {
        c.MoveTo(p.X - 3, p.Y);
        c.LineTo(p.X + 4, p.Y);
        c.MoveTo(p.X, p.Y - 3);
        c.LineTo(p.X, p.Y + 4);
    }
    Caption(c, 780, y + 40, "red crosses: origins");
}

void Frames(TCanvas& c, int y) {
    Section(c, y, "DrawEdge and DrawFrameControl");
    y += 20;
    c.Brush().SetColor(clBtnFace);
    c.FillRect(Rect(0, y, 1000, y + 110));
    struct E {
        unsigned edge, flags;
        const char* name;
    } edges[] = {{EDGE_RAISED, BF_RECT, "raised"},        {EDGE_SUNKEN, BF_RECT, "sunken"},
                 {EDGE_ETCHED, BF_RECT, "etched"},        {EDGE_BUMP, BF_RECT, "bump"},
                 {EDGE_RAISED, BF_RECT | BF_SOFT, "soft"}, {EDGE_SUNKEN, BF_RECT | BF_FLAT, "flat"},
                 {BDR_RAISEDINNER, BF_RECT, "inner"},     {EDGE_RAISED, BF_TOP | BF_BOTTOM, "top+bottom"}};
    for (int i = 0; i < 8; ++i) {
        TRect r = Rect(10 + i * 60, y, 60 + i * 60, y + 30);
        c.DrawEdge(r, edges[i].edge, edges[i].flags);
        Caption(c, 10 + i * 60, y + 32, edges[i].name);
    }
    y += 50;
    struct FC {
        unsigned kind, state;
        int w, h;
        const char* name;
    } fcs[] = {
        {DFC_BUTTON, DFCS_BUTTONPUSH, 60, 24, "push"},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED, 60, 24, "pushed"},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT, 60, 24, "flat"},
        {DFC_BUTTON, DFCS_BUTTONCHECK, 16, 16, "check"},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, 16, 16, "checked"},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, 16, 16, "inactive"},
        {DFC_BUTTON, DFCS_BUTTONRADIO, 16, 16, "radio"},
        {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED, 16, 16, "radio on"},
        {DFC_SCROLL, DFCS_SCROLLUP, 17, 17, "up"},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED, 17, 17, "down pushed"},
        {DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE, 17, 17, "left off"},
        {DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_FLAT, 17, 17, "right flat"},
        {DFC_SCROLL, DFCS_SCROLLCOMBOBOX, 17, 20, "combo"},
    };
    int x = 10;
    for (const auto& f : fcs) {
        TRect r = Bounds(x, y, f.w, f.h);
        c.DrawFrameControl(r, f.kind, f.state);
        Caption(c, x, y + 26, f.name);
        x += std::max(f.w, 56) + 14;
    }
}

void Themed(TCanvas& c, int y, TThemeRenderer renderer, const char* title) {
    SetThemeRenderer(renderer);
    Section(c, y, title);
    y += 20;
    struct P {
        const char* cls;
        int part, states, w, h;
        const char* name;
    } parts[] = {
        {"button", BP_PUSHBUTTON, 5, 44, 22, "push 1-5"},      {"button", BP_CHECKBOX, 12, 16, 16, "check 1-12"},
        {"button", BP_RADIOBUTTON, 8, 16, 16, "radio 1-8"},     {"combobox", CP_DROPDOWNBUTTON, 4, 17, 20, "combo"},
        {"header", HP_HEADERITEM, 3, 50, 20, "header"},         {"spin", SPNP_UP, 4, 16, 10, "spin up"},
        {"spin", SPNP_DOWN, 4, 16, 10, "spin down"},            {"progress", PP_BAR, 1, 80, 14, "progress"},
        {"scrollbar", SBP_ARROWBTN, 16, 17, 17, "arrows"},      {"scrollbar", SBP_THUMBBTNHORZ, 4, 40, 17, "thumb"},
        {"scrollbar", SBP_LOWERTRACKHORZ, 4, 30, 17, "track"}, {"treeview", TVP_GLYPH, 2, 16, 16, "tree glyph"},
        {"tab", TABP_TABITEM, 5, 50, 22, "tab item"},          {"tab", TABP_PANE, 1, 80, 30, "tab pane"},
    };
    int x = 10, row = y;
    for (const auto& p : parts) {
        HTHEME t = OpenThemeData(nullptr, S(p.cls));
        const int total = p.states * (p.w + 3);
        if (x + total > 990) {
            x = 10;
            row += 52;
        }
        Caption(c, x, row + 34, p.name);
        for (int s = 1; s <= p.states; ++s) {
            TRect r = Bounds(x + (s - 1) * (p.w + 3), row + 8, p.w, p.h);
            DrawThemeBackground(t, c, p.part, s, r);
            if (p.part == PP_BAR && std::string(p.cls) == "progress") {
                HTHEME chunk = OpenThemeData(nullptr, S("progress"));
                DrawThemeBackground(chunk, c, PP_CHUNK, 1, Rect(r.Left + 1, r.Top + 1, r.Left + 50, r.Bottom - 1));
                CloseThemeData(chunk);
            }
        }
        CloseThemeData(t);
        x += std::max(total, c.TextWidth(S(p.name))) + 16;
    }
    SetThemeRenderer(trStyled);
}

void Images(TCanvas& c, int y) {
    Section(c, y, "Resources, image lists and copies");
    y += 20;
    const char* names[] = {"FBOK", "FBCANCEL", "FBHELP", "FBYES", "FBNO", "FBCLOSE", "FBABORT",
                           "FBRETRY", "FBIGNORE", "FBALL", "FBARROW"};
    int x = 10;
    for (const char* n : names) {
        TBitmap b;
        LoadBitmapResource(b, S(n));
        b.SetTransparent(true);
        c.Draw(x, y, b);
        Caption(c, x, y + 22, n);
        x += 62;
    }
    y += 40;
    TBitmap kinds;
    LoadBitmapResource(kinds, S("FBOK"));
    TImageList list(18, 18);
    list.AddMasked(kinds, clDefault);
    list.Draw(c, 10, y, 0, true);
    list.Draw(c, 34, y, 0, false);
    ImageList_DrawEx(list, 0, c, 58, y, 0, 0, clNone, clDefault, ILD_SELECTED | ILD_TRANSPARENT);
    Caption(c, 10, y + 22, "list: on / off / selected");
    // CopyRect modes onto a two-colour background.
    const TCopyMode modes[] = {cmSrcCopy, cmSrcAnd, cmSrcPaint, cmSrcInvert, cmNotSrcCopy, cmMergePaint, cmDstInvert};
    const char* mnames[] = {"copy", "and", "paint", "invert", "notsrc", "merge", "dstinv"};
    TBitmap src(24, 24);
    src.Canvas().Brush().SetColor(clRed);
    src.Canvas().FillRect(Rect(0, 0, 12, 24));
    src.Canvas().Brush().SetColor(clBlue);
    src.Canvas().FillRect(Rect(12, 0, 24, 24));
    for (int i = 0; i < 7; ++i) {
        const int dx = 200 + i * 50;
        c.Brush().SetColor(clYellow);
        c.FillRect(Rect(dx, y, dx + 24, y + 12));
        c.Brush().SetColor(clGreen);
        c.FillRect(Rect(dx, y + 12, dx + 24, y + 24));
        c.SetCopyMode(modes[i]);
        c.CopyRect(Rect(dx, y, dx + 24, y + 24), src.Canvas(), Rect(0, 0, 24, 24));
        Caption(c, dx, y + 26, mnames[i]);
    }
    c.SetCopyMode(cmSrcCopy);
    c.StretchDraw(Rect(560, y, 620, y + 30), src);
    Caption(c, 560, y + 32, "StretchDraw");
    c.Brush().SetColor(clLime);
    c.BrushCopy(Rect(640, y, 664, y + 24), src, Rect(0, 0, 24, 24), clBlue);
    Caption(c, 640, y + 26, "BrushCopy");
}

}  // namespace

// draw_sheet [out.png [x y w h zoom]]: the whole sheet, or a part of it enlarged.
int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : "sheet.png";
    TBitmap sheet(1000, 1000);
    TCanvas& c = sheet.Canvas();
    c.Brush().SetColor(clWhite);
    c.FillRect(Rect(0, 0, 1000, 1000));
    Lines(c, 0);
    Texts(c, 150);
    Frames(c, 300);
    Themed(c, 430, trStyled, "Theme parts: styled renderer");
    Themed(c, 610, trClassic, "Theme parts: classic renderer");
    Images(c, 790);
    TBitmap zoomed;
    const TBitmap* result = &sheet;
    if (argc >= 7) {
        const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), w = std::atoi(argv[4]), h = std::atoi(argv[5]);
        const int z = std::max(1, std::atoi(argv[6]));
        zoomed.SetSize(w * z, h * z);
        zoomed.Canvas().CopyRect(Rect(0, 0, w * z, h * z), c, Bounds(x, y, w, h));
        result = &zoomed;
    }
    try {
        result->SaveToPngFile(S(out));
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}
