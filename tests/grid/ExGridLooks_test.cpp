#include "grid/ExGrid.h"
#include "grid/ExGridDropDowns.h"
#include "grid/ExGridEditors.h"

#include "framework/IniFiles.h"
#include "framework/Messages.h"
#include "framework/Styles.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"

#include "GridOnForm.h"
#include "support/TempDir.h"
#include "PaintForm.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(ExGridLooks, EachLookPresetSetsItsColours) {
    struct Case {
        TGridLook look;
        TColor fixedColor, gradientFrom, gradientTo, mirrorTo, selection, selectionText, activeCell;
        TGridSelectionStyle selectionStyle;
    } cases[] = {
        {glStandard, clBtnFace, clBtnFace, clNone, clNone, clHighlight, clHighlightText, clGray, ssDefault},
        {glSoft, clBtnFace, clBtnFace, clNone, clNone, clHighlight, clHighlightText, clGray, ssDefault},
        {glClassic, clBtnFace, clBtnFace, clNone, clNone, clHighlight, clHighlightText, clGray, ssDefault},
        {glGPK, clBtnFace, clWhite, clSilver, clNone, 0xEACAB6, clBlack, 0xEACAB6, ssDefault},
        {glListView, clBtnFace, clWhite, clBtnFace, clNone, clHighlight, clHighlightText, clGray, ssDefault},
        {glVista, clBtnFace, clWhite, clWhite, 0xF4F2F1, 0xEACAB6, clBlack, 0xFDF8F1, ssVista},
        {glWin7, clBtnFace, 0xFDFCFA, 0xFAF0E6, 0xF7E9DD, 0xEACAB6, clBlack, 0xFCEBDC, ssWin7},
        {glOffice2007, clBtnFace, 0xFBF9F6, 0xE8DBD2, clNone, 0x5EC1F1, clBlack, 0x9DD8F9, ssOffice2007},
    };
    for (const Case& c : cases) {
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        g->SetFixedColor(clRed);
        g->SetBorderColor(clRed);
        g->SetLook(c.look);
        EXPECT_EQ(g->Look(), c.look);
        EXPECT_EQ(g->FixedColor(), c.look <= glClassic ? clBtnFace : clRed) << c.look;
        EXPECT_EQ(g->GPKGradientFrom(), c.gradientFrom) << c.look;
        EXPECT_EQ(g->GPKGradientTo(), c.gradientTo) << c.look;
        EXPECT_EQ(g->GPKGradientMirrorTo(), c.mirrorTo) << c.look;
        EXPECT_EQ(g->SelectionColor(), c.selection) << c.look;
        EXPECT_EQ(g->SelectionTextColor(), c.selectionText) << c.look;
        EXPECT_EQ(g->ActiveCellColor(), c.activeCell) << c.look;
        EXPECT_EQ(g->SelectionStyle(), c.selectionStyle) << c.look;
        EXPECT_EQ(g->BorderColor(), TColor(0xB99D7F)) << c.look;
        EXPECT_EQ(g->GridLineColor(), c.look >= glVista && c.look <= glWin7 ? TColor(0xECECF0)
                                      : c.look == glOffice2007              ? TColor(0xF1EDEB)
                                                                            : clSilver)
            << c.look;
    }
}

TEST(ExGridLooks, TheCurrentLookRunsNoPresetAndLoadingKeepsTheColours) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetSelectionColor(clRed);
    g->SetLook(glXP);  // created with glXP
    EXPECT_EQ(g->SelectionColor(), clRed);

    // While loading only the look's own settings change.
    g->BeginLoading();
    g->SetLook(glStandard);
    EXPECT_EQ(g->SelectionColor(), clRed);
    EXPECT_EQ(g->GPKGradientFrom(), clNone);
    EXPECT_EQ(g->SortSettings().HeaderColor(), clNone);
    EXPECT_EQ(g->SelectionStyle(), ssDefault);
    EXPECT_EQ(g->BorderColor(), TColor(0xB99D7F));
}

TEST(ExGridLooks, TheXPPresetSetsTheHoverAndDownGradients) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetLook(glStandard);
    g->SetLook(glXP);
    const TControlLook& l = g->ControlLook();
    EXPECT_EQ(l.FixedGradientFrom, clWhite);
    EXPECT_EQ(l.FixedGradientTo, clBtnFace);
    EXPECT_EQ(l.FixedGradientHoverFrom, TColor(0xCFD0D1));
    EXPECT_EQ(l.FixedGradientHoverMirrorTo, TColor(0xABBCBF));
    EXPECT_EQ(l.FixedGradientDownFrom, TColor(0x868788));
    EXPECT_EQ(l.FixedGradientDownMirrorTo, TColor(0x627376));
}

TEST(ExGridLooks, StylePresets) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    // tsCustom keeps the look and gradient but resets the selection and the control look.
    g->ControlLook().SetFixedGradientHoverMirrorFrom(clRed);
    g->SetSelectionColor(clRed);
    g->SetStyle(tsCustom);
    EXPECT_EQ(g->Look(), glXP);
    EXPECT_EQ(g->GPKGradientFrom(), clWhite);
    EXPECT_EQ(g->SelectionColor(), clHighlight);
    EXPECT_EQ(g->SelectionTextColor(), clHighlightText);
    EXPECT_EQ(g->ControlLook().FixedGradientHoverMirrorFrom, clNone);
    EXPECT_EQ(g->ControlLook().FixedGradientHoverFrom, clGray);

    struct Case {
        TGPKStyle style;
        TGridLook look;
        TColor from, to, active, line, fixedLine, sortHeader;
    } cases[] = {
        {tsOffice2003Blue, glXP, 0xFCE1CB, 0xE0A57D, 0x94E6FB, clSilver, clGray, clNone},
        {tsOffice2007Obsidian, glOffice2007, 0xF7F7F7, 0xDEDEDE, 0x9DD8F9, 0xE5D7D0, clGray, clNone},
        {tsWindows7, glWin7, 0xFDFCFA, 0xFAF0E6, 0xFCEBDC, 0xECECF0, 0xD4D2D1, 0xFCF9F2},
        {tsOffice2010Black, glOffice2007, 0x6A6A6A, 0x6A6A6A, 0x5BD5FF, clSilver, 0x444444, 0xBABABA},
        {tsTerminal, glStandard, clBtnFace, clNone, clGray, clSilver, clGray, clNone},
    };
    for (const Case& c : cases) {
        g->SetComponentStyle(c.style);
        EXPECT_EQ(g->Style(), c.style);
        EXPECT_EQ(g->Look(), c.look) << c.style;
        EXPECT_EQ(g->GPKGradientFrom(), c.from) << c.style;
        EXPECT_EQ(g->GPKGradientTo(), c.to) << c.style;
        EXPECT_EQ(g->ActiveCellColor(), c.active) << c.style;
        EXPECT_EQ(g->GridLineColor(), c.line) << c.style;
        EXPECT_EQ(g->GridFixedLineColor(), c.fixedLine) << c.style;
        EXPECT_EQ(g->SortSettings().HeaderColor(), c.sortHeader) << c.style;
    }
    // The seven preset's hover colours reach the painter's set and the control look.
    g->SetComponentStyle(tsWindows7);
    EXPECT_EQ(g->ControlLook().FixedGradientHoverFrom, TColor(0xFEFBF8));
    EXPECT_EQ(g->ControlLook().FixedGradientDownBorder, TColor(0xD5BCAA));
    EXPECT_EQ(g->ControlLook().FixedGradientFrom, clNone);
    EXPECT_EQ(g->ControlLook().FixedGradientMirrorFrom, TColor(0xF4E6DC));
}

TEST(ExGridLooks, ColourSchemesAndLookNames) {
    GridOnForm<> f;
    TExStringGrid* g = f.g;
    g->SetTheme(xpGreen);
    EXPECT_EQ(g->GPKGradientFrom(), TColor(0xCFF0EA));
    EXPECT_EQ(g->GPKGradientTo(), TColor(0x8CC0B1));
    EXPECT_EQ(g->ActiveCellColorTo(), TColor(0x1595EE));
    EXPECT_EQ(g->ControlLook().FixedGradientFrom, TColor(0xCFF0EA));
    g->SetTheme(xpNone);
    EXPECT_EQ(g->GPKGradientTo(), clBtnFace);
    EXPECT_EQ(g->ActiveCellColorTo(), TColor(0xFFD9B3));
    EXPECT_EQ(g->ControlLook().FixedGradientFrom, clNone);

    struct Case {
        TGridLook look;
        const char16_t* ident;
        const char16_t* caption;
    } cases[] = {{glXP, u"glXP", u"Windows XP"},
                 {glOffice2007, u"glOffice2007", u"Office2007"},
                 {glListView, u"glListView", u"ListView"},
                 {glCustom, u"", u""}};
    for (const Case& c : cases) {
        EXPECT_EQ(TExStringGrid::LookToString(c.look), String(c.ident));
        EXPECT_EQ(TExStringGrid::LookToCaption(c.look), String(c.caption));
    }
}

TEST(ExGridLooks, ColourTonesGiveTheFlatMetroLook) {
    PaintForm f;
    TColorTones t;
    t.Background = {0xF0F0F0, clNone, 0x202020};
    t.Foreground = {0xC8C8C8, clNone, 0x101010};
    t.Selected = {0x00C000, clNone, clWhite};
    f.g->Columns().Items(1)->SetEditor(edDataCheckBox);
    f.g->SetCellEx(1, 2, u"Y");
    f.g->SetColorTones(t);
    TExColumnGrid* g = f.g;
    EXPECT_EQ(g->Look(), glClassic);
    EXPECT_TRUE(g->Flat());
    EXPECT_EQ(g->ScrollType(), ssMetro);
    EXPECT_EQ(g->FixedColor(), TColor(0xC8C8C8));
    EXPECT_EQ(g->FixedFont().Color(), TColor(0x101010));
    EXPECT_EQ(g->Color(), TColor(0xF0F0F0));
    EXPECT_EQ(g->SelectionColor(), TColor(0x00C000));
    EXPECT_EQ(g->SelectionTextColor(), clWhite);
    EXPECT_EQ(g->GridLineColor(), TColor(0xE6E6E6));
    EXPECT_EQ(g->GridFixedLineColor(), TColor(0xA0A0A0));
    EXPECT_EQ(g->BorderStyle(), bsNone);
    EXPECT_EQ(g->ControlLook().ControlStyle, csGlyph);
    EXPECT_TRUE(g->ControlLook().FlatButton);
    // The checked metro glyph: a dark square inside its box. No border: client 0 is pixel 0.
    TBitmap b;
    RenderControlToBitmap(g, b);
    EXPECT_EQ(b.Canvas().Pixels(51, 51), TColor(0x333333));
    // A style preset brings the regular scroll bars back.
    g->SetComponentStyle(tsOffice2003Blue);
    EXPECT_EQ(g->ScrollType(), ssNormal);
}

TEST(ExGridLooks, SelectedCellsTakeTheSelectionGradient) {
    PaintForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goRangeSelect});
    f.g->SetSelection({1, 1, 2, 2});
    f.g->SetSelectionColor(clRed);
    f.g->SetSelectionColorTo(clBlue);
    auto b = f.Render();
    // Cell (2, 2): client 80..120 x 40..60, red at the top, blue at the bottom.
    const TColor top = PaintForm::At(b, 100, 42), bottom = PaintForm::At(b, 100, 57);
    EXPECT_GT(GetRValue(top), GetBValue(top));
    EXPECT_GT(GetBValue(bottom), GetRValue(bottom));
    f.g->SetSelectionColorTo(clNone);
    b = f.Render();
    EXPECT_EQ(PaintForm::At(b, 100, 57), clRed);
}

// The grid follows the office colour scheme kept in a registry store of the
// test's own: at once when switched on, and at each theme-change message.
TEST(ExGridLooks, AutoThemeAdaptFollowsTheOfficeSchemeOnThemeChange) {
    TempDir dir;
    TRegistryStore::SetDefaultFileName(Utf8ToString(dir.file("registry.ini")));
    auto scheme = [](const char16_t* value) {
        TRegistryStore reg;
        ASSERT_TRUE(reg.OpenKey(u"\\Software\\Microsoft\\Office\\14.0\\Common", true));
        reg.WriteString(u"Theme", value);
    };
    {
        GridOnForm<> f;
        TExStringGrid* g = f.g;
        scheme(u"3");
        g->Perform(WM_THEMECHANGED, 0, 0);
        EXPECT_EQ(g->Style(), tsWindowsXP) << "without AutoThemeAdapt the message changes nothing";
        g->SetAutoThemeAdapt(true);
        EXPECT_EQ(g->Style(), tsOffice2010Black);
        EXPECT_TRUE(g->SearchFooter().AutoThemeAdapt());

        struct Case {
            const char16_t* value;  // nullptr: the key's value removed
            Cardinal msg;
            TGPKStyle want;
        } cases[] = {
            {u"1", WM_THEMECHANGED, tsOffice2010Blue},
            {u"2", WM_OFFICETHEMECHANGE, tsOffice2010Silver},
            {u"7", WM_THEMECHANGED, tsOffice2003Blue},
        };
        for (const Case& c : cases) {
            scheme(c.value);
            g->Perform(c.msg, 0, 0);
            EXPECT_EQ(g->Style(), c.want) << StringToUtf8(c.value);
        }
        // A style set by code stays while the scheme is the one already seen.
        g->SetComponentStyle(tsWindows7);
        g->Perform(WM_THEMECHANGED, 0, 0);
        EXPECT_EQ(g->Style(), tsWindows7);

        g->SetAutoThemeAdapt(false);
        scheme(u"3");
        g->Perform(WM_THEMECHANGED, 0, 0);
        EXPECT_EQ(g->Style(), tsWindows7);
    }
    {
        // Without the office keys the desktop's own renderer decides, and its
        // change reaches the grid through the program-wide message.
        TempDir empty;
        TRegistryStore::SetDefaultFileName(Utf8ToString(empty.file("registry.ini")));
        GridOnForm<> f;
        f.g->SetAutoThemeAdapt(true);
        EXPECT_EQ(f.g->Style(), tsOffice2003Blue);
        SetThemeRenderer(trClassic);
        EXPECT_EQ(f.g->Style(), tsOffice2003Classic);
        SetThemeRenderer(trStyled);
        EXPECT_EQ(f.g->Style(), tsOffice2003Blue);
    }
    TRegistryStore::SetDefaultFileName(String());
}

}  // namespace

namespace {

// The drop-down editors that exist follow the grid's style and tones; the
// trackbar and grid pickers take the tones but keep their own style.
TEST(ExGridLooks, DropDownEditorsFollowTheStyleAndTheTones) {
    GridOnForm<TExStringGrid> f;
    TExCustomDropDown* styled[] = {f.g->ColorPickerDropDown(), f.g->ImagePickerDropDown(), f.g->GridDropDown(),
                                   f.g->DetailPickerDropDown(), f.g->TimePickerDropDown(),
                                   f.g->CalculatorDropDown(), f.g->MemoDropDown()};
    TExCustomDropDown* unstyled[] = {f.g->TrackbarDropDown(), f.g->ExGridDropDown()};
    struct Case {
        std::function<void()> apply;
        TGPKStyle expected;
    };
    const Case cases[] = {
        {[&] { f.g->SetComponentStyle(tsOffice2007Luna); }, tsOffice2007Luna},
        {[&] { f.g->SetLook(glXP); }, tsWindowsXP},
        {[&] { f.g->SetComponentStyle(tsOffice2010Black); }, tsOffice2010Black},
        {[&] { f.g->SetLook(glClassic); }, tsWindowsXP},
    };
    for (const Case& c : cases) {
        for (TExCustomDropDown* d : unstyled) d->SetComponentStyle(tsTerminal);
        c.apply();
        for (TExCustomDropDown* d : styled) EXPECT_EQ(d->GetComponentStyle(), c.expected);
        for (TExCustomDropDown* d : unstyled) EXPECT_EQ(d->GetComponentStyle(), tsTerminal);
    }

    TColorTones tones;
    tones.Background = {0xF0F0F0, 0x123456, clBlack};
    tones.Foreground = {0x654321, 0x222222, clWhite};
    tones.Selected = {0x00AA00, clNone, clWhite};
    tones.Hover = {0xAAAAAA, clNone, clBlack};
    f.g->SetColorTones(tones);
    for (TExCustomDropDown* d : styled) EXPECT_EQ(d->BorderColor(), 0x123456);
    for (TExCustomDropDown* d : unstyled) EXPECT_EQ(d->BorderColor(), 0x123456);
    EXPECT_EQ(f.g->SearchFooter().Color(), 0x654321);
    EXPECT_EQ(f.g->SearchFooter().ColorTo(), 0x654321);
    EXPECT_EQ(f.g->FloatingFooter().Color(), 0x654321);
}

TEST(ExGridLooks, LooksStylesAndSchemesColourTheSearchFooter) {
    struct Case {
        std::function<void(TExStringGrid&)> apply;
        TColor color, colorTo;
    };
    const Case cases[] = {
        {[](TExStringGrid& g) { g.SetLook(glXP); }, clWhite, clBtnFace},
        {[](TExStringGrid& g) { g.SetLook(glClassic); }, clBtnFace, clBtnFace},
        {[](TExStringGrid& g) { g.SetTheme(xpGreen); }, 0xCFF0EA, 0x8CC0B1},
        {[](TExStringGrid& g) { g.SetTheme(vistaAero); }, 0xECE2E1, 0xB39698},
        {[](TExStringGrid& g) { g.SetTheme(xpNone); }, clWhite, 0xFFD9B3},
    };
    for (const Case& c : cases) {
        GridOnForm<TExStringGrid> f;
        c.apply(*f.g);
        EXPECT_EQ(f.g->SearchFooter().Color(), c.color);
        EXPECT_EQ(f.g->SearchFooter().ColorTo(), c.colorTo);
    }
    // A style ends on its gradient start and mirror end; the terminal style keeps the look's.
    for (TGPKStyle s : {tsOffice2007Luna, tsWindows7, tsTerminal}) {
        GridOnForm<TExStringGrid> f;
        f.g->SetComponentStyle(s);
        const TColor from = s == tsTerminal ? clBtnFace : f.g->GPKGradientFrom();
        const TColor to = s == tsTerminal ? clBtnFace : f.g->GPKGradientMirrorTo();
        EXPECT_EQ(f.g->SearchFooter().Color(), from) << int(s);
        EXPECT_EQ(f.g->SearchFooter().ColorTo(), to) << int(s);
    }
}

}  // namespace

namespace {

TEST(ExGridLooks, ColourTonesColourTheEditorButtons) {
    GridOnForm<TExStringGrid> f;
    f.g->SpinEdit();
    f.g->GetEditDate();
    TColorTones tones;
    tones.Background = {0xF0F0F0, 0x123456, clBlack};
    tones.Selected = {0x00AA00, clNone, clWhite};
    tones.Hover = {0xAAAAAA, clNone, clBlack};
    f.g->SetColorTones(tones);
    auto check = [&](auto* E) {
        ASSERT_NE(E, nullptr);
        EXPECT_EQ(E->ButtonColor, 0xF0F0F0);
        EXPECT_EQ(E->ButtonColorHot, 0xAAAAAA);
        EXPECT_EQ(E->ButtonColorDown, 0x00AA00);
        EXPECT_EQ(E->ButtonBorderColor, 0x123456);
    };
    check(f.g->SpinEdit()->Button());
    check(f.g->GetEditDate());
    EXPECT_TRUE(f.g->GetEditDate()->MetroStyle());
    EXPECT_EQ(f.g->GetEditDate()->BorderColor(), 0xF0F0F0);
}

TEST(ExGridLooks, ShowSelectionOffPaintsSelectedCellsInTheirOwnColours) {
    PaintForm f;
    f.g->SetOptions(f.g->Options() + TGridOptions{goRangeSelect});
    f.g->SetSelection({1, 1, 2, 2});
    f.g->SetSelectionColor(clRed);
    EXPECT_TRUE(f.g->ShowSelection());
    EXPECT_EQ(PaintForm::At(f.Render(), 100, 50), clRed);
    f.g->SetShowSelection(false);
    EXPECT_EQ(PaintForm::At(f.Render(), 100, 50), clWhite);
    // Hiding and showing the selection again keeps it unpainted.
    f.g->HideSelection();
    f.g->UnHideSelection();
    EXPECT_EQ(PaintForm::At(f.Render(), 100, 50), clWhite);
    f.g->SetShowSelection(true);
    EXPECT_EQ(PaintForm::At(f.Render(), 100, 50), clRed);
}

TEST(ExGridLooks, SpreadSheetTurnsOnTheSpreadsheetHabits) {
    for (bool value : {true, false}) {
        TExStringGrid g(nullptr);
        g.SetSpreadSheet(value);
        EXPECT_EQ(g.SpreadSheet(), value);
        // Off is not settled: it switches the same habits on.
        EXPECT_TRUE(g.SelectionRectangle());
        EXPECT_TRUE(g.SelectionResizer());
        EXPECT_TRUE(g.Navigation().AllowSmartClipboard());
        EXPECT_TRUE(g.Options().Contains(goRangeSelect));
        EXPECT_TRUE(g.Options().Contains(goEditing));
        EXPECT_TRUE(g.MouseActions().RangeSelectAndEdit());
    }
}

TEST(ExGridLooks, BoxesOfCellsThatCannotBeEditedLookEnabledWhenAsked) {
    PaintForm f;
    f.g->ControlLook().ControlStyle = csWinXP;
    f.g->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    f.g->AddCheckBox(2, 3, true);
    const TRect cell = Rect(80, 60, 120, 80);
    // The csWinXP frames: blue when enabled, grey when not.
    auto framed = [&](TColor c) { return PaintForm::AnyPixel(f.Render(), cell, [c](TColor p) { return p == c; }); };
    EXPECT_TRUE(framed(TColor(0xB5B5B5)));
    EXPECT_FALSE(framed(TColor(0x80511C)));
    f.g->ControlLook().NoDisabledCheckRadioLook = true;
    f.g->Invalidate();
    EXPECT_TRUE(framed(TColor(0x80511C)));
    EXPECT_FALSE(framed(TColor(0xB5B5B5)));
}

TEST(ExGridLooks, TheProgressAppearanceStartsWithItsLevelsAndTellsEveryChange) {
    int told = 0;
    TGridProgressAppearance a([&](TObject*) { ++told; });
    EXPECT_EQ(a.CompleteColor(), TColor(0x0000FF));
    EXPECT_EQ(a.CompleteFontColor(), TColor(0xFF0000));
    EXPECT_EQ(a.UnCompleteColor(), clNone);
    EXPECT_EQ(a.UnCompleteFontColor(), clWindowText);
    const TColor levels[][2] = {{0x00FF00, 0xE1FFE1}, {0x00FFFF, 0xCAFFFF}, {0x53A9FF, 0xA8D3FF}, {0x0000FF, 0xCACAFF}};
    const TColor got[][2] = {{a.Level0Color(), a.Level0ColorTo()},
                             {a.Level1Color(), a.Level1ColorTo()},
                             {a.Level2Color(), a.Level2ColorTo()},
                             {a.Level3Color(), a.Level3ColorTo()}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(got[i][0], levels[i][0]) << i;
        EXPECT_EQ(got[i][1], levels[i][1]) << i;
    }
    EXPECT_EQ(a.Level1Perc(), 70);
    EXPECT_EQ(a.Level2Perc(), 90);
    EXPECT_EQ(a.Steps(), 11);
    EXPECT_EQ(a.Style(), psXP);
    EXPECT_TRUE(a.ShowPercentage() && a.CompletionSmooth() && a.ShowGradient());
    EXPECT_FALSE(a.ShowBorder() || a.Stacked());

    a.SetCompleteColor(TColor(0x0000FF));
    EXPECT_EQ(told, 0) << "an unchanged value tells nothing";
    a.SetUnCompleteFontColor(clRed);
    a.SetStyle(psClassic);
    EXPECT_EQ(told, 2);
    TGridProgressAppearance b;
    b.Assign(&a);
    EXPECT_EQ(b.UnCompleteFontColor(), clRed);
    EXPECT_EQ(b.Style(), psClassic);
    a.Assign(&b);
    EXPECT_EQ(told, 3) << "a copy tells once";
    // The grid copies an appearance into its own, which it repaints by.
    TExStringGrid g(nullptr);
    g.SetProgressAppearance(b);
    EXPECT_EQ(g.ProgressAppearance().Style(), psClassic);
    EXPECT_NE(&g.ProgressAppearance(), &b);
}

}  // namespace

namespace {

TEST(ExGridLooks, AnApplicationStyleGivesTheGridItsCellLineAndTextColours) {
    static const bool known = [] {
        TStyleColors c;
        c.Cell = RGB(20, 30, 40);
        c.CellLine = RGB(50, 60, 70);
        c.CellText = RGB(200, 210, 220);
        c.SelectedText = RGB(250, 240, 0);
        c.FixedLine = RGB(90, 90, 90);  // no fixed text colour: the fixed font keeps its own
        return TStyleManager::RegisterStyle(std::make_unique<TColorStyle>(u"Grid Night", c));
    }();
    (void)known;
    GridOnForm<> f(300, 200);
    TExStringGrid* g = f.g;
    g->FixedFont().SetColor(clMaroon);
    g->SetOptions(g->Options() + TGridOptions{goFixedVertLine, goFixedHorzLine});
    ASSERT_TRUE(TStyleManager::TrySetStyle(u"Grid Night"));
    EXPECT_TRUE(g->UsesFwStyles());
    EXPECT_EQ(g->Color(), RGB(20, 30, 40));
    EXPECT_EQ(g->GridLineColor(), RGB(50, 60, 70));
    EXPECT_EQ(g->GridFixedLineColor(), RGB(90, 90, 90));
    EXPECT_FALSE(g->Options().Contains(goFixedVertLine));
    EXPECT_FALSE(g->Options().Contains(goFixedHorzLine));
    EXPECT_EQ(g->Font().Color(), RGB(200, 210, 220));
    EXPECT_EQ(g->SelectionTextColor(), RGB(250, 240, 0));
    EXPECT_EQ(g->FixedFont().Color(), clMaroon);
    // The system style: the grid no longer wears one, and keeps what it has.
    ASSERT_TRUE(TStyleManager::TrySetStyle(u"Windows"));
    EXPECT_FALSE(g->UsesFwStyles());
    EXPECT_EQ(g->Color(), RGB(20, 30, 40));
}

}  // namespace
