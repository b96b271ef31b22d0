#include "grid/ExGrid.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintSettings, CopiesEverythingButFixedCellsAlwaysAndOwnsItsFonts) {
    TExStringGrid a(nullptr), b(nullptr);
    TPrintSettings& s = a.PrintSettings();
    EXPECT_EQ(s.Borders, pbSingle);
    EXPECT_TRUE(s.Centered);
    EXPECT_TRUE(s.UseDisplayFont);
    EXPECT_EQ(s.DateFormat, u"dd/mm/yyyy");
    EXPECT_EQ(s.PageNumSep, u"/");
    for (TPrintPosition p : {s.Time, s.Date, s.PageNr, s.Title}) EXPECT_EQ(p, ppNone);

    s.PageNr = ppBottomRight;
    s.MaxPagesOffset = 20;
    s.FitToPage = fpShrink;
    s.TitleLines().Add(u"line");
    s.FixedCellsAlways = true;
    TFont big;
    big.SetSize(20);
    s.SetHeaderFont(big);
    big.SetSize(8);
    EXPECT_EQ(s.HeaderFont().Size(), 20);

    b.PrintSettings().Assign(&s);
    TPrintSettings& t = b.PrintSettings();
    EXPECT_EQ(t.PageNr, ppBottomRight);
    EXPECT_EQ(t.MaxPagesOffset, 20);
    EXPECT_EQ(t.FitToPage, fpShrink);
    EXPECT_EQ(t.TitleLines().Count(), 1);
    EXPECT_EQ(t.HeaderFont().Size(), 20);
    EXPECT_FALSE(t.FixedCellsAlways);
    s.HeaderFont().SetSize(9);
    EXPECT_EQ(t.HeaderFont().Size(), 20);
    EXPECT_EQ(t.Grid(), &b);

    TFont other;
    EXPECT_THROW(t.Assign(&other), Exception);
}

}  // namespace

namespace {

TEST(PrintLayout, RotatedBlockPlacementPerQuadrant) {
    struct Case {
        double angle;
        int left[3];  // left, right, centred
        int top[3];   // top, bottom, centred
    } cases[] = {
        {0, {0, 60, 30}, {0, 40, 20}},      {90, {0, 90, 45}, {40, 50, 45}}, {180, {40, 100, 70}, {10, 50, 30}},
        {270, {10, 100, 55}, {0, 10, 5}}, {300, {8, 80, 44}, {0, 11, 5}},
    };
    TAlignment hs[] = {taLeftJustify, taRightJustify, taCenter};
    TVAlignment vs[] = {vtaTop, vtaBottom, vtaCenter};
    for (const Case& c : cases)
        for (int i = 0; i < 3; ++i) {
            TRect r = Rect(0, 0, 100, 50);
            PlaceRotatedBlock(r, hs[i], vs[i], c.angle, 40, 10);
            EXPECT_EQ(r.Left, c.left[i]) << c.angle << " " << i;
            EXPECT_EQ(r.Top, c.top[i]) << c.angle << " " << i;
            EXPECT_EQ(r.Right, 100);
            EXPECT_EQ(r.Bottom, 50);
        }
}

TEST(PrintLayout, PageNumbersAndTheirPlaceInTheFooter) {
    TExStringGrid g(nullptr);
    TPrintSettings& s = g.PrintSettings();
    s.PageNr = ppBottomRight;
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, 2), u"1/2");
    EXPECT_EQ(PrintPageNumber(s, 1, 1, 1, false, 2), u"2/2");
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, 1), u"1");
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, -1), u"1");  // while counting
    std::array<String, 7> t = PrintPositionTexts(s, u"", u"", PrintPageNumber(s, 0, 0, 1, false, 2), u"");
    EXPECT_EQ(t[ppBottomRight], u"  1/2 ");
    for (int p : {ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomCenter}) EXPECT_EQ(t[size_t(p)], u"");

    s.PageNumberOffset = 10;
    s.MaxPagesOffset = 20;
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, false, 2), u"11/22");
    EXPECT_EQ(PrintPageNumber(s, 1, 1, 1, false, 2), u"12/22");
    // Several strips: page in strip and strip, without offsets.
    EXPECT_EQ(PrintPageNumber(s, 0, 0, 1, true, 4), u"1-1");
    EXPECT_EQ(PrintPageNumber(s, 1, 1, 1, true, 4), u"2-1");
    EXPECT_EQ(PrintPageNumber(s, 2, 0, 2, true, 4), u"1-2");
    EXPECT_EQ(PrintPageNumber(s, 3, 1, 2, true, 4), u"2-2");

    // Left positions put each item in front, the others append it.
    s.Time = ppTopLeft;
    s.Date = ppTopLeft;
    s.Title = ppTopRight;
    s.PageNr = ppTopRight;
    t = PrintPositionTexts(s, u"12:30", u"01/02/2026", u"3", u"Title");
    EXPECT_EQ(t[ppTopLeft], u"01/02/2026 12:30 ");
    EXPECT_EQ(t[ppTopRight], u"  3  Title");
}

}  // namespace
