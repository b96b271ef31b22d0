// Fitting texts into widths, measured in the canvas font.

#include "tree/LazyTrees.Utils.h"

#include <gtest/gtest.h>

namespace {

struct Measured {
    Measured() {
        Bitmap.SetSize(1, 1);
        Canvas().Font().SetSize(10);
        Digit = Canvas().TextWidth(S("0"));
        Dots = Canvas().TextWidth(S("..."));
    }
    TCanvas& Canvas() { return Bitmap.Canvas(); }
    TBitmap Bitmap;
    int Digit = 0, Dots = 0;
};

}  // namespace

TEST(LazyTreesUtils, ShortenToWidthKeepsTheLongestPrefixThatFitsWithTheEllipsis) {
    Measured M;
    const String Text = S("abcdef");
    auto W = [&](int N) { return M.Canvas().TextWidth(Text.substr(0, N)); };
    struct Case {
        int Width, EllipsisWidth;
        const char* Expected;
    } Cases[] = {
        {0, 0, ""},
        {-5, 0, ""},
        {W(6) + M.Dots, 0, "abcdef"},
        {W(2) + M.Dots, 0, "ab..."},
        {W(2) + M.Dots - 1, 0, "a..."},
        {M.Dots + 1, 0, "..."},
        {M.Dots, 0, ""},  // no room beyond the ellipsis
        {W(2) + 5, 5, "ab..."},  // the given ellipsis width is trusted
    };
    for (const Case& c : Cases)
        EXPECT_EQ(ShortenToWidth(M.Canvas(), Text, c.Width, c.EllipsisWidth), S(c.Expected)) << c.Width;
    // A text that fits only without the ellipsis is still shortened.
    String Cut = ShortenToWidth(M.Canvas(), Text, W(6), 0);
    EXPECT_LT(Cut.size(), Text.size() + 3);
    EXPECT_EQ(Cut.substr(Cut.size() - 3), S("..."));
    EXPECT_EQ(ShortenToWidth(M.Canvas(), S(""), 100, 0), S(""));
}

TEST(LazyTreesUtils, WrapToWidthBreaksAtBlanksAndCutsLongWords) {
    Measured M;
    struct Case {
        const char* Text;
        int Chars;
        bool RightToLeft;
        const char* Expected;
    } Cases[] = {
        {"  111 222 33333  ", 7, false, "111 222\n33333"},
        {"111 222 33333", 7, true, "33333\n111 222"},
        {"0123456789", 4, false, "0123\n4567\n89"},
        {"0123456789", 4, true, "6789\n2345\n01"},
        {"11  22", 3, false, "11 \n22"},
        {"\t ", 10, false, ""},
        {"wide", 0, false, "w\ni\nd\ne"},
    };
    for (const Case& c : Cases) {
        // Room for Chars digits (all digits are equally wide) and not one more.
        int Width = c.Chars == 0 ? 0 : M.Canvas().TextWidth(String(c.Chars, u'0')) + M.Digit / 2;
        TRect Bounds{0, 0, Width, 100};
        EXPECT_EQ(WrapToWidth(M.Canvas(), S(c.Text), Bounds, c.RightToLeft), S(c.Expected)) << c.Text;
    }
}
