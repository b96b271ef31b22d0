#include "grid/ExGrid.h"

#include "framework/IniFiles.h"
#include "framework/SysUtils.h"

#include "support/TempDir.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace {

std::string Golden(const std::string& name) {
    std::ifstream f(TestDataDir() + "/" + name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(ExGridPrintSettingsFile, GoldenFileAndReadBack) {
    TempDir t;
    const String ini = Utf8ToString(t.file("print.ini"));
    TExStringGrid g(nullptr);
    TPrintSettings& p = g.PrintSettings();
    p.ColumnSpacing = 30;
    p.RepeatFixedRows = true;
    p.Centered = false;
    p.Borders = pbAround;
    p.BorderStyle = psDot;
    p.PageNr = ppBottomRight;
    p.DateFormat = u"yyyy-mm-dd";
    p.LeftSize = 150;
    p.FitToPage = fpShrink;
    p.Font().SetName(u"Courier");
    p.Font().SetSize(12);
    p.Font().SetStyle({fsBold, fsUnderline});
    p.Font().SetColor(TColor(0x0000FF));
    p.HeaderFont().SetStyle({});
    p.Orientation = poLandscape;
    TStringList title;
    title.Add(u"first");
    title.Add(u"second");
    p.SetTitleLines(title);
    p.PrintGraphics = true;
    g.Tools().SavePrintSettings(ini, u"Print");
    EXPECT_EQ(t.read("print.ini"), Golden("print.ini"));

    TExStringGrid h(nullptr);
    TPrintSettings& q = h.PrintSettings();
    q.HeaderFont().SetStyle({fsBold});
    h.Tools().LoadPrintSettings(ini, u"Print");
    EXPECT_EQ(q.ColumnSpacing, 30);
    EXPECT_TRUE(q.RepeatFixedRows);
    EXPECT_FALSE(q.Centered);
    EXPECT_EQ(q.Borders, pbAround);
    EXPECT_EQ(q.BorderStyle, psDot);
    EXPECT_EQ(q.PageNr, ppBottomRight);
    EXPECT_EQ(q.DateFormat, u"yyyy-mm-dd");
    EXPECT_EQ(q.LeftSize, 150);
    EXPECT_EQ(q.FitToPage, fpShrink);
    EXPECT_EQ(q.Font().Name(), u"Courier");
    EXPECT_EQ(q.Font().Size(), 12);
    EXPECT_EQ(q.Font().Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(q.Font().Color(), TColor(0x0000FF));
    EXPECT_TRUE(q.HeaderFont().Style().Empty());  // a stored plain style clears bold
    EXPECT_EQ(q.Orientation, poLandscape);
    EXPECT_EQ(q.TitleLines().Count(), 2);
    EXPECT_EQ(q.TitleLines()[1], u"second");
    EXPECT_TRUE(q.PrintGraphics);
}

TEST(ExGridPrintSettingsFile, EmptySectionAndValuesOutOfRange) {
    TempDir t;
    t.write("p.ini", "[Print]\r\nBorders=9\r\nBorderStyle=7\r\nFitToPage=-1\r\nOrientation=2\r\nDate=7\r\nCentered=y\r\n");
    TExStringGrid g(nullptr);
    TPrintSettings& p = g.PrintSettings();
    p.Borders = pbDouble;
    p.BorderStyle = psDash;
    p.FitToPage = fpGrow;
    p.Orientation = poLandscape;
    p.Date = ppTopLeft;
    p.Font().SetStyle({fsItalic});
    g.Tools().LoadPrintSettings(Utf8ToString(t.file("p.ini")), u"Print");
    EXPECT_EQ(p.Borders, pbDouble);
    EXPECT_EQ(p.BorderStyle, psDash);
    EXPECT_EQ(p.FitToPage, fpGrow);
    EXPECT_EQ(p.Orientation, poLandscape);
    EXPECT_EQ(p.Date, ppNone);
    EXPECT_FALSE(p.Centered);  // only exactly "Y" is true

    g.Tools().LoadPrintSettings(Utf8ToString(t.file("p.ini")), u"Other");
    EXPECT_EQ(p.ColumnSpacing, 20);
    EXPECT_EQ(p.TitleSpacing, 20);
    EXPECT_EQ(p.FooterSize, 100);
    EXPECT_EQ(p.RightSize, 100);
    EXPECT_EQ(p.FixedHeight, 0);
    for (TFont* f : {&p.Font(), &p.HeaderFont(), &p.FooterFont()}) {
        EXPECT_EQ(f->Name(), u"Arial");
        EXPECT_EQ(f->Size(), 10);
    }
    EXPECT_TRUE(p.Centered);
    EXPECT_EQ(p.DateFormat, u"");
}

namespace {

// Four columns named by their first cell, widths 64, 64, 80 and 100.
void FillColumns(TExStringGrid& g) {
    g.SetColCount(4);
    g.SetRowCount(2);
    const int widths[] = {64, 64, 80, 100};
    for (int c = 0; c < 4; ++c) {
        g.SetCellEx(c, 0, u"c" + IntToStr(c));
        g.SetColWidths(c, widths[c]);
    }
}

// The first cells of the shown columns, left to right, with their widths.
String Shown(TExStringGrid& g) {
    String s;
    for (int c = 0; c < g.ColCount(); ++c) s += g.Cells(g.RealColIndex(c), 0) + u":" + IntToStr(g.ColWidths(c)) + u" ";
    return s;
}

// The registry store of the run kept in the test's folder.
struct TempRegistry {
    TempDir dir;
    TempRegistry() { TRegistryStore::SetDefaultFileName(Utf8ToString(dir.file("registry.ini"))); }
    ~TempRegistry() { TRegistryStore::SetDefaultFileName(String()); }
};

}  // namespace

TEST(ExGridColumnStates, StringAndApplyingIt) {
    TExStringGrid g(nullptr);
    FillColumns(g);
    EXPECT_EQ(g.Tools().ColumnStatesToString(), u"4#64,64,80,100#0,1,2,3#1,1,1,1");

    // Moved and hidden columns come back in a grid of the same cells.
    g.MoveColumn(0, 3);
    g.HideColumn(1);
    const String state = g.Tools().ColumnStatesToString();
    EXPECT_EQ(state, u"4#64,80,100,64#1,2,3,0#1,0,1,1");
    TExStringGrid h(nullptr);
    FillColumns(h);
    h.Tools().StringToColumnStates(state);
    EXPECT_EQ(Shown(h), Shown(g));
    EXPECT_EQ(Shown(h), u"c1:64 c3:100 c0:64 ");
    EXPECT_TRUE(h.IsHiddenColumn(1));
    EXPECT_EQ(h.Tools().ColumnStatesToString(), state);
    h.UnHideColumnsAll();
    EXPECT_EQ(Shown(h), u"c1:64 c2:80 c3:100 c0:64 ");

    // Without "#" nothing changes; bad items stop with the platform's errors.
    const String before = Shown(h);
    h.Tools().StringToColumnStates(u"4,64,64");
    EXPECT_EQ(Shown(h), before);
    EXPECT_THROW(h.Tools().StringToColumnStates(u"x#1#0#1"), EConvertError);
    EXPECT_THROW(h.Tools().StringToColumnStates(u"4#64,64#0,1,2,3#1,1,1,1"), EListError);
    EXPECT_THROW(h.Tools().StringToColumnStates(u"3#64,64,64#0,1,2#1"), EListError);
}

TEST(ExGridColumnStates, SizesAndPositionsInIniFileAndRegistry) {
    TempRegistry reg;
    for (TColumnSizeLocation where : {clIniFile, clRegistry}) {
        SCOPED_TRACE(int(where));
        auto setUp = [&](TExStringGrid& g) {
            FillColumns(g);
            g.ColumnSize().SetLocation(where);
            g.ColumnSize().SetKey(where == clIniFile ? Utf8ToString(reg.dir.file("cols.ini")) : String(u"Software\\Grid"));
            g.ColumnSize().SetSection(u"Main" + IntToStr(int(where)));
        };
        TExStringGrid g(nullptr);
        setUp(g);

        // An empty store leaves every width and the order.
        TExStringGrid fresh(nullptr);
        setUp(fresh);
        fresh.SetColWidths(2, 33);
        fresh.Tools().LoadColSizes();
        fresh.Tools().LoadColPositions();
        EXPECT_EQ(Shown(fresh), u"c0:64 c1:64 c2:33 c3:100 ");

        g.SetColWidths(1, 120);
        g.MoveColumn(3, 0);
        g.Tools().SaveColSizes();
        g.Tools().SaveColPositions();
        EXPECT_EQ(Shown(g), u"c3:100 c0:64 c1:120 c2:80 ");

        TExStringGrid h(nullptr);
        setUp(h);
        h.Tools().LoadColPositions();
        h.Tools().LoadColSizes();
        EXPECT_EQ(Shown(h), Shown(g));
        EXPECT_EQ(h.ColumnOrder(), g.ColumnOrder());

        // Without a section nothing is read or written.
        TExStringGrid none(nullptr);
        setUp(none);
        none.ColumnSize().SetSection(String());
        none.Tools().LoadColSizes();
        EXPECT_EQ(Shown(none), u"c0:64 c1:64 c2:80 c3:100 ");
    }
    const std::string ini = reg.dir.read("cols.ini");
    EXPECT_NE(ini.find("Col2=120"), std::string::npos);
    EXPECT_NE(ini.find("Pos0=3"), std::string::npos);
}

TEST(ExGridColumnStates, GridKeepsWidthsWhenSaveIsSet) {
    TempDir t;
    const String ini = Utf8ToString(t.file("keep.ini"));
    {
        TExStringGrid g(nullptr);
        FillColumns(g);
        g.ColumnSize().SetSave(true);
        g.ColumnSize().SetLocation(clIniFile);
        g.ColumnSize().SetKey(ini);
        g.ColumnSize().SetSection(u"Grid");
        g.SetColWidths(3, 140);
    }
    EXPECT_NE(t.read("keep.ini").find("Col3=140"), std::string::npos);
    // Read back once the grid is loaded as a form loads it.
    TExStringGrid h(nullptr);
    h.BeginLoading();
    FillColumns(h);
    h.ColumnSize().SetSave(true);
    h.ColumnSize().SetLocation(clIniFile);
    h.ColumnSize().SetKey(ini);
    h.ColumnSize().SetSection(u"Grid");
    h.EndLoading();
    EXPECT_EQ(h.ColWidths(3), 140);
}

// The grid's own members reach the exchange of its tools.
TEST(ExGridColumnStates, GridMembersReachTheTools) {
    TempDir t;
    TExStringGrid g(nullptr);
    FillColumns(g);
    g.SetCellEx(2, 1, u"x,y");
    TExStringGrid h(nullptr);
    g.SaveToCSV(Utf8ToString(t.file("a.csv")));
    h.LoadFromCSV(Utf8ToString(t.file("a.csv")));
    EXPECT_EQ(h.Cells(2, 1), u"x,y");
    g.SaveToXLS(Utf8ToString(t.file("a.xlsx")));
    TExStringGrid k(nullptr);
    k.LoadFromXLS(Utf8ToString(t.file("a.xlsx")));
    EXPECT_EQ(k.Cells(3, 0), u"c3");
    g.HideColumn(2);
    h.StringToColumnStates(g.ColumnStatesToString());
    EXPECT_EQ(Shown(h), Shown(g));
}

namespace {

// A look every value of which differs from a new grid's.
void DressGrid(TExStringGrid& g) {
    g.SetLook(glSoft);
    g.SetColor(TColor(0x00F0E0D0));
    g.SetHintColor(clInfoBk);
    g.SetSelectionColor(TColor(0x00123456));
    g.SetSelectionColorTo(clNavy);
    g.SetSelectionMirrorColor(clNone);
    g.SetSelectionMirrorColorTo(TColor(0x00ABCDEF));
    g.SetSelectionTextColor(clWhite);
    g.SetURLColor(clGreen);
    g.SetURLShow(true);
    g.SetURLShowInText(true);
    g.SetScrollColor(TColor(0x00332211));
    g.SetActiveRowColor(TColor(0x00C0FFEE));
    g.SetActiveRowShow(true);
    g.SetActiveCellShow(true);
    g.Font().SetName(u"Courier");
    g.Font().SetSize(11);
    g.Font().SetStyle({fsBold, fsStrikeOut});
    g.Font().SetColor(clMaroon);
    g.SetActiveCellColor(clYellow);
    g.SetActiveCellColorTo(TColor(0x00010203));
    g.ActiveCellFont().SetStyle({fsItalic});
    g.ActiveCellFont().SetSize(9);
    g.FixedFont().SetName(u"Arial");
    g.FixedFont().SetStyle({});
    g.FixedFont().SetColor(clBlue);
    g.Balloon().SetBackgroundColor(clAqua);
    g.Balloon().SetTextColor(clPurple);
    g.Balloon().SetTransparency(120);
    g.Bands().SetPrimaryColor(clLime);
    g.Bands().SetSecondaryColor(TColor(0x00EEEEEE));
    g.Bands().SetActive(true);
    g.SortSettings().SetIndexColor(clRed);
    g.FloatingFooter().SetColor(clTeal);
    TControlLook& cl = g.ControlLook();
    cl.CheckSize = 13;
    cl.Color = clOlive;
    cl.CommentColor = clFuchsia;
    cl.ControlStyle = csFlat;
    cl.SetFixedGradientFrom(TColor(0x00FAFAFA));
    cl.SetFixedGradientTo(clGray);
    cl.RadioSize = 12;
    cl.FlatButton = true;
    cl.ProgressBorderColor = clBlack;
    cl.ProgressXP = true;
    g.SearchFooter().SetColor(TColor(0x00112233));
    g.SearchFooter().SetColorTo(clSilver);
    TGrouping& gr = g.Grouping();
    gr.SetHeaderColor(clWhite);
    gr.SetHeaderColorTo(clBtnFace);
    gr.SetHeaderTextColor(clBlack);
    gr.SetHeaderUnderline(true);
    gr.SetHeaderLineColor(clRed);
    gr.SetHeaderLineWidth(3);
    gr.SetSummaryColor(clCream);
    gr.SetSummaryColorTo(clMoneyGreen);
    gr.SetSummaryTextColor(clNavy);
    gr.SetSummaryLine(true);
    gr.SetSummaryLineColor(clGreen);
    gr.SetSummaryLineWidth(4);
    g.SetGridLineColor(TColor(0x00D0D0D0));
    g.SetGridFixedLineColor(clDkGray);
    TBackGround& bg = g.BackGround();
    bg.SetTop(7);
    bg.SetLeft(5);
    bg.SetDisplay(bdGradientVert);
    bg.SetCells(bcAll);
    bg.SetColor(clSkyBlue);
    bg.SetColorTo(TColor(0x00FEDCBA));
}

// Every value the file holds, as one comparable text.
std::string LookOf(TExStringGrid& g) {
    TempDir t;
    g.SaveVisualProps(Utf8ToString(t.file("look.txt")));
    return t.read("look.txt");
}

}  // namespace

TEST(ExGridVisualProps, GoldenFileAndSecondGrid) {
    TempDir t;
    const String file = Utf8ToString(t.file("look.txt"));
    TExStringGrid g(nullptr);
    DressGrid(g);
    g.SaveVisualProps(file);
    EXPECT_EQ(t.read("look.txt"), Golden("visual_props.txt"));

    TExStringGrid h(nullptr);
    ASSERT_NE(LookOf(h), LookOf(g));
    h.LoadVisualProps(file);
    EXPECT_EQ(LookOf(h), LookOf(g));
    EXPECT_EQ(h.Look(), glSoft);
    EXPECT_EQ(h.ControlLook().FixedGradientFrom, TColor(0x00FAFAFA));
    EXPECT_EQ(h.Font().Style(), TFontStyles({fsBold, fsStrikeOut}));
    EXPECT_EQ(h.Balloon().Transparency(), 120);
    EXPECT_TRUE(h.URLShowInText());
    EXPECT_EQ(h.ScrollColor(), TColor(0x00332211));
    EXPECT_TRUE(h.ControlLook().ProgressXP);
    EXPECT_EQ(h.BackGround().Display(), bdGradientVert);
}

TEST(ExGridVisualProps, KeysAndValuesReadWithoutRegardToCase) {
    struct Case {
        const char* Line;
        std::function<bool(TExStringGrid&)> Holds;
    };
    const Case cases[] = {
        {"Balloon.BackGroundColor=clRed", [](TExStringGrid& g) { return g.Balloon().BackgroundColor() == clRed; }},
        {"balloon.backgroundcolor=$000000ff", [](TExStringGrid& g) { return g.Balloon().BackgroundColor() == clRed; }},
        {"URLShow=TRUE", [](TExStringGrid& g) { return g.URLShow(); }},
        {"Bands.Active=yes", [](TExStringGrid& g) { return !g.Bands().Active(); }},
        {"Color=", [](TExStringGrid& g) { return g.Color() == clNone; }},
        {"ControlLook.ControlStyle=CSGLYPH", [](TExStringGrid& g) { return g.ControlLook().ControlStyle == csGlyph; }},
        {"ControlLook.ControlStyle=csNothing", [](TExStringGrid& g) { return g.ControlLook().ControlStyle == csTheme; }},
        {"BackGround.Cells=bcfixed", [](TExStringGrid& g) { return g.BackGround().Cells() == bcFixed; }},
        {"BackGround.Display=nowhere", [](TExStringGrid& g) { return g.BackGround().Display() == bdTile; }},
        {"Look=GLXP", [](TExStringGrid& g) { return g.Look() == glXP; }},
        {"FixedFont.Style=fsUnderline,fsItalic", [](TExStringGrid& g) {
             return g.FixedFont().Style() == TFontStyles({fsItalic, fsUnderline});
         }},
        {"Grouping.HeaderLineWidth=6", [](TExStringGrid& g) { return g.Grouping().HeaderLineWidth() == 6; }},
    };
    TempDir t;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        t.write("look.txt", std::string(c.Line) + "\r\n");
        TExStringGrid g(nullptr);
        g.Bands().SetActive(true);
        g.LoadVisualProps(Utf8ToString(t.file("look.txt")));
        EXPECT_TRUE(c.Holds(g));
    }
}

TEST(ExGridVisualProps, EmptyFileKeepsDefaultsAndFailuresAreNamed) {
    TempDir t;
    t.write("empty.txt", "");
    TExStringGrid fresh(nullptr), g(nullptr);
    g.LoadVisualProps(Utf8ToString(t.file("empty.txt")));
    EXPECT_EQ(LookOf(g), LookOf(fresh));

    auto expectMessage = [](const std::function<void()>& Call, const String& Message) {
        try {
            Call();
            ADD_FAILURE() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), Message);
        }
    };
    const String missing = Utf8ToString(t.file("missing.txt"));
    expectMessage([&] { g.LoadVisualProps(missing); }, u"Cannot open file " + missing);
    const String unwritable = Utf8ToString(t.file("no/such/folder/look.txt"));
    expectMessage([&] { g.SaveVisualProps(unwritable); }, u"Cannot Create " + unwritable);
    t.write("bad.txt", "Balloon.Transparency=12x\r\n");
    EXPECT_THROW(g.LoadVisualProps(Utf8ToString(t.file("bad.txt"))), EConvertError);
}
