#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include "support/TempDir.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
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
