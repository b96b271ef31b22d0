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
