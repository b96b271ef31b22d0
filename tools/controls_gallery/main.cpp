// Renders the push button in its states and the page control in its
// configurations onto one form and writes it as a PNG.

#include "controls/ExPageControl.h"
#include "controls/FlatButton.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"

#include <cstdio>
#include <memory>

namespace {

constexpr TColor WindowColor = 0xEDF7F8;  // the windows' face colour
constexpr TColor Orange = 33023;

// A glyph strip of Count 16-pixel images: a coloured disc per image on an olive key.
std::unique_ptr<TBitmap> GlyphStrip(int Count) {
    const TColor colours[] = {clGreen, clGray, clRed, clBlue};
    auto p = std::make_unique<TBitmap>(16 * Count, 16);
    TBitmap& b = *p;
    b.Canvas().Brush().SetColor(clOlive);
    b.Canvas().FillRect(Rect(0, 0, 16 * Count, 16));
    for (int i = 0; i < Count; ++i) {
        b.Canvas().Brush().SetColor(colours[i % 4]);
        b.Canvas().Pen().SetColor(clBlack);
        b.Canvas().Ellipse(16 * i + 2, 2, 16 * i + 14, 14);
    }
    return p;
}

TFlatButton* WindowButton(TForm& form, int x, int y, const char* caption, TFlatButtonStyle style) {
    auto* b = new TFlatButton(&form);
    b->SetParent(&form);
    b->SetBounds(x, y, 110, 28);
    b->SetStyle(style);
    b->SetColor(WindowColor);
    b->SetLightColor(clGray);
    b->SetColorWhenDown(Orange);
    b->SetHotTrackColor(clYellow);
    b->SetCaption(Utf8ToString(caption));
    b->SetGlyph(GlyphStrip(1).get());
    return b;
}

TExPageControl* PageControl(TForm& form, int x, int y, int w, int h, TTabPosition pos, TTabStyle style) {
    auto* pc = new TExPageControl(&form);
    pc->SetParent(&form);
    pc->SetBounds(x, y, w, h);
    pc->SetTabStyle(style);
    pc->SetTabPosition(pos);
    pc->SetMultiLine(true);
    pc->SetActiveColor(clSkyBlue);
    pc->SetDefaultTabColor(WindowColor);
    pc->SetTabBackGroundColor(WindowColor);
    pc->TabMargin().SetTopMargin(pos == tpLeft ? 10 : 0);
    pc->TabMargin().SetRightMargin(20);
    TFont f;
    f.SetName(S("Verdana"));
    f.SetHeight(-13);
    pc->SetFont(f);
    pc->SetActiveFont(f);
    const char* captions[] = {"Nodes     ", "Variables     "};
    for (const char* c : captions) {
        auto* page = new TExTabSheet(&form);
        page->SetExPageControl(pc);
        page->SetColor(WindowColor);
        page->SetTabColor(WindowColor);
        page->SetCaption(Utf8ToString(c));
    }
    pc->SetActivePage(pc->Pages(0));
    return pc;
}

}  // namespace

int main(int argc, char** argv) {
    const String out = argc > 1 ? Utf8ToString(argv[1]) : S("controls_gallery.png");
    TForm form(nullptr);
    form.SetColor(WindowColor);
    form.SetBounds(0, 0, 1230, 640);

    // Row 1: the window buttons (bsEncarta) at rest, hot, pressed, disabled, focused.
    auto* rest = WindowButton(form, 10, 10, "At rest", bsEncarta);
    auto* hot = WindowButton(form, 130, 10, "Hot", bsEncarta);
    auto* pressed = WindowButton(form, 250, 10, "Pressed", bsEncarta);
    auto* disabled = WindowButton(form, 370, 10, "Disabled", bsEncarta);
    disabled->SetEnabled(false);
    auto* disabled2 = WindowButton(form, 490, 10, "Disabled 2", bsEncarta);
    disabled2->SetGlyph(GlyphStrip(2).get());
    disabled2->SetEnabled(false);
    auto* focused = WindowButton(form, 610, 10, "Focused", bsEncarta);
    auto* cut = WindowButton(form, 730, 10, "A caption far too long to fit", bsEncarta);
    auto* wrap = WindowButton(form, 850, 10, "Wrapped caption here", bsEncarta);
    wrap->SetWordWrap(true);
    wrap->SetHeight(40);
    (void)rest;
    (void)cut;

    // Row 2: the main window's bsNormal buttons, the stock kinds, the colour schemes.
    auto* normal = WindowButton(form, 10, 60, "Normal", bsNormal);
    auto* normalDown = WindowButton(form, 130, 60, "Normal down", bsNormal);
    auto* big = WindowButton(form, 250, 60, "Update Device", bsNormal);
    big->SetBounds(250, 60, 170, 36);
    int x = 430;
    for (TFlatButtonKind k : {bkOK, bkCancel, bkHelp, bkYes, bkNo}) {
        auto* b = new TFlatButton(&form);
        b->SetParent(&form);
        b->SetBounds(x, 60, 100, 28);
        b->SetStyle(bsEncarta);
        b->SetColor(WindowColor);
        b->SetKind(k);
        x += 108;
    }
    x = 10;
    for (TFlatColorStyle s : {lcsGold, lcsChrome, lcsBlue, lcsRed, lcsUltraFlat1, lcsUltraFlatXP, lcsAqua, lcsDefault,
                              lcsQuicken}) {
        auto* b = new TFlatButton(&form);
        b->SetParent(&form);
        b->SetBounds(x, 106, 100, 28);
        b->SetCaption(S("Scheme"));
        b->SetColorStyle(s);
        x += 106;
    }

    // The page controls: the M-Bus editor's configuration first, then the other sides and looks.
    PageControl(form, 10, 150, 300, 220, tpLeft, tsDotNet);
    PageControl(form, 320, 150, 300, 220, tpTop, tsDotNet);
    auto* classic = PageControl(form, 630, 150, 340, 220, tpTop, tsClassic);
    classic->Pages(1)->SetShowClose(true);
    classic->SetActivePage(classic->Pages(1));
    PageControl(form, 10, 390, 300, 220, tpRight, tsDotNet);
    PageControl(form, 320, 390, 300, 220, tpBottom, tsClassic);
    auto* left = PageControl(form, 630, 390, 340, 220, tpLeft, tsClassic);
    left->SetActivePage(left->Pages(1));
    // The strip's own drawing, as with three-dimensional tab borders.
    auto* platform = PageControl(form, 985, 500, 240, 130, tpTop, tsClassic);
    platform->SetTabBorder3D(true);

    form.Show();
    SimulateMouseMove(hot, 20, 10);
    SimulateMouseDown(pressed, mbLeft, 20, 10);
    focused->SetFocus();
    TBitmap shot;
    RenderControlToBitmap(&form, shot);
    // The pressed looks are captured while the buttons are held.
    SimulateMouseUp(pressed, mbLeft, 20, 10);
    SimulateMouseDown(normalDown, mbLeft, 20, 10);
    TBitmap shot2;
    RenderControlToBitmap(&form, shot2);
    SimulateMouseUp(normalDown, mbLeft, 20, 10);
    shot.Canvas().CopyRect(Rect(130, 60, 240, 88), shot2.Canvas(), Rect(130, 60, 240, 88));
    (void)normal;

    // Beside it, the editor's tab strip three times enlarged, to see its pixels.
    TBitmap strip(80, 160);
    strip.Canvas().CopyRect(Rect(0, 0, 80, 160), shot.Canvas(), Rect(10, 150, 90, 310));
    shot.Canvas().StretchDraw(Rect(985, 10, 1225, 490), strip);
    shot.SaveToPngFile(out);
    std::printf("%s\n", StringToUtf8(out).c_str());
    return 0;
}
