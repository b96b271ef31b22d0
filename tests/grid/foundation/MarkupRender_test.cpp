#include "grid/foundation/MarkupRender.h"

#include "TestGif.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "grid/foundation/PictureContainer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// A white bitmap with a plain black font; expectations come from its own measures.
class MarkupRender : public ::testing::Test {
protected:
    TBitmap B{300, 120};
    TCanvas& C = B.Canvas();
    void SetUp() override {
        C.Brush().SetColor(clWhite);
        C.FillRect(Rect(0, 0, 300, 120));
        C.Font().SetColor(clBlack);
        C.Font().SetSize(10);
    }
    TMarkupDrawResult Draw(const String& Text, TRect R, TMarkupDrawArgs A = {}) {
        TMarkupDrawResult Out;
        Result = DrawHTMLText(C, Text, R, A, Out);
        return Out;
    }
    int Width(const String& S, TFontStyles Style = {}) {
        TFontStyles Old = C.Font().Style();
        C.Font().SetStyle(Style);
        int W = C.TextWidth(S);
        C.Font().SetStyle(Old);
        return W;
    }
    int Gh() { return C.TextHeight(u"gh"); }
    bool Has(TRect R, TColor Col) {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (C.Pixels(x, y) == Col) return true;
        return false;
    }
    // The leftmost column holding anything but white, or -1.
    int InkLeft(TRect R) {
        for (int x = R.Left; x < R.Right; ++x)
            for (int y = R.Top; y < R.Bottom; ++y)
                if (C.Pixels(x, y) != clWhite) return x;
        return -1;
    }
    bool Result = false;
};

TEST_F(MarkupRender, EmptyTextAndTagSelection) {
    TMarkupDrawResult O = Draw(u"", Rect(0, 0, 300, 100));
    EXPECT_EQ(O.ExtentX, 0);
    EXPECT_EQ(O.ExtentY, Gh());
    EXPECT_EQ(O.AnchorCount, 0);
    EXPECT_FALSE(Result);

    TMarkupDrawArgs M;
    M.MeasureOnly = true;
    const struct {
        const char16_t* Text;
        int Expected;
    } Cases[] = {
        {u"<b>Wide words</b>", Width(u"Wide words", {fsBold})},
        {u"<B>Wide</B> words", Width(u"Wide", {fsBold}) + Width(u" words")},
        {u"<BIG>Wide words", Width(u"Wide words")},
        {u"<QQ>Wide words</QQ>", Width(u"Wide words")},
        {u"a &amp; b", Width(u"a & b")},
        {u"a &lt; b", Width(u"a < b")},
        {u"a < b", Width(u"a")},  // the trailing blank does not count
        {u"<Z>hidden</Z>shown", Width(u"shown")},
    };
    for (const auto& T : Cases) EXPECT_EQ(Draw(T.Text, Rect(0, 0, 300, 100), M).ExtentX, T.Expected) << String(T.Text).size();
    EXPECT_EQ(Draw(u"one<BR>two\r\nthree", Rect(0, 0, 300, 100), M).PlainText, u"one\rtwo\rthree");
}

TEST_F(MarkupRender, FontSizesAndColours) {
    TMarkupDrawArgs M;
    M.MeasureOnly = true;
    const struct {
        const char16_t* Size;
        int Points;
    } Sizes[] = {{u"1", 8}, {u"2", 10}, {u"\"3\"", 12}, {u"3", 12}, {u"4", 14}, {u"5", 16}, {u"7", 7}};
    for (const auto& S : Sizes) {
        TFont Old;
        Old.Assign(&C.Font());
        C.Font().SetSize(S.Points);
        int H = C.TextHeight(u"Xy");
        C.Font().Assign(&Old);
        EXPECT_EQ(Draw(u"<FONT SIZE=" + String(S.Size) + u">Xy</FONT>", Rect(0, 0, 300, 100), M).ExtentY,
                  std::max(H, Gh())) << S.Points;  // a line is at least as high as the base font
    }
    const struct {
        const char16_t* Color;
        TColor Expected;
    } Colours[] = {{u"\"#FF0000\"", clRed}, {u"\"clRed\"", clRed}, {u"\"clLime\"", clLime}, {u"\"red\"", clBlack}};
    for (const auto& Col : Colours) {
        SetUp();
        C.Font().SetColor(clBlue);
        Draw(u"<FONT COLOR=" + String(Col.Color) + u">MMMM</FONT>", Rect(0, 0, 300, 100));
        EXPECT_TRUE(Has(Rect(0, 0, 100, 40), Col.Expected));
        EXPECT_FALSE(Has(Rect(0, 0, 100, 40), clBlue));
        EXPECT_EQ(C.Font().Color(), clBlue);  // the canvas font comes back
    }
    SetUp();
    C.Font().SetColor(clBlue);
    TMarkupDrawArgs Keep;
    Keep.KeepColors = true;
    Draw(u"<FONT COLOR=\"#FF0000\">MMMM</FONT>", Rect(0, 0, 300, 100), Keep);
    EXPECT_TRUE(Has(Rect(0, 0, 100, 40), clBlue));
    EXPECT_FALSE(Has(Rect(0, 0, 100, 40), clRed));

    // Any tag starting with BL blinks: hidden in the off phase (text in the brush colour).
    SetUp();
    TMarkupDrawArgs Off;
    Off.BlinkVisible = false;
    Draw(u"<BLINKY>MMMM</BLINKY>", Rect(0, 0, 300, 100), Off);
    EXPECT_EQ(InkLeft(Rect(0, 0, 300, 100)), -1);
    Draw(u"<BLINKY>MMMM</BLINKY>", Rect(0, 0, 300, 100));
    EXPECT_NE(InkLeft(Rect(0, 0, 300, 100)), -1);
}

TEST_F(MarkupRender, WrapsAtBlanksAndKeepsWordsWhole) {
    TMarkupDrawArgs W;
    W.WrapWords = true;
    W.MeasureOnly = true;
    const String Words = u"aaa bbb ccc ddd";
    const int Line = Width(u"aaa ") + Width(u"bbb ") + 3;
    TMarkupDrawResult O = Draw(Words, Rect(0, 0, Line, 100), W);
    EXPECT_EQ(O.ExtentY, 2 * Gh());
    EXPECT_LE(O.ExtentX, Line);

    O = Draw(u"Supercalifragilistic", Rect(0, 0, 30, 100), W);  // an overlong word stays and overflows
    EXPECT_EQ(O.ExtentY, Gh());
    EXPECT_EQ(O.ExtentX, Width(u"Supercalifragilistic"));

    // A word split by a bold tag is not broken at the tag.
    const int Room = Width(u"aaaa bb") + 2;
    O = Draw(u"aaaa bb<B>cc</B>", Rect(0, 0, Room, 100), W);
    EXPECT_EQ(O.ExtentY, Gh());

    // Without wrapping, an overflowing line drops everything after it.
    TMarkupDrawArgs N;
    N.MeasureOnly = true;
    O = Draw(u"first <B>sec</B><BR>next line", Rect(0, 0, Width(u"first s"), 100), N);
    EXPECT_EQ(O.ExtentY, Gh());
    EXPECT_EQ(O.PlainText.find(u"next"), String::npos);
    SetUp();
    Draw(u"first second third fourth", Rect(0, 0, Width(u"first se") + 1, 40));
    EXPECT_EQ(InkLeft(Rect(Width(u"first se") + 1, 0, 300, 40)), -1);  // clipped, ellipsis inside

    // A line that would start below the rectangle is dropped unless only measuring.
    O = Draw(u"one<BR>two<BR>three", Rect(0, 0, 300, Gh() + 2));
    EXPECT_EQ(O.ExtentY, Gh());
    EXPECT_EQ(Draw(u"one<BR>two<BR>three", Rect(0, 0, 300, Gh() + 2), N).ExtentY, 3 * Gh());
}

TEST_F(MarkupRender, RightAlignmentPersistsAfterTheParagraph) {
    Draw(u"<P align=\"right\">ab</P>cd<BR>ef", Rect(0, 0, 300, 100));
    const int H = Gh();
    for (int Line = 0; Line < 3; ++Line) {
        int Left = InkLeft(Rect(0, Line * H, 300, Line * H + H));
        EXPECT_GT(Left, 300 - Width(u"ab") - 4) << Line;
    }
}

TEST_F(MarkupRender, HitTests) {
    const String Text = u"<A HREF=\"one\">first</A> and <A HREF=\"a&amp;b\" TITLE=\"Two\">second</A> end";
    TMarkupDrawArgs A;
    A.HitTestOnly = true;
    A.MouseX = 1 + Width(u"first and ") + Width(u"sec");
    A.MouseY = Gh() - 3;
    TMarkupDrawResult O = Draw(Text, Rect(0, 0, 300, 100), A);
    EXPECT_TRUE(Result);
    EXPECT_EQ(O.AnchorHref, u"a&b");
    EXPECT_EQ(O.AnchorTitle, u"Two");
    EXPECT_EQ(O.HotAnchorNumber, 2);
    EXPECT_EQ(O.AnchorCount, 2);
    EXPECT_EQ(O.HotAnchorRect.Left, 1 + Width(u"first and "));
    EXPECT_EQ(InkLeft(Rect(0, 0, 300, 100)), -1);  // nothing drawn

    A.MouseX = 1 + Width(u"first an");
    O = Draw(Text, Rect(0, 0, 300, 100), A);
    EXPECT_FALSE(Result);
    EXPECT_EQ(O.HotAnchorNumber, -1);

    // Attribute names in any case; the values keep theirs.
    A.MouseX = 1 + Width(u"first and ") + Width(u"sec");
    O = Draw(u"<a href=\"one\">first</a> and <a Href=\"Two.htm\" title=\"Zwei\">second</a>", Rect(0, 0, 300, 100),
             A);
    EXPECT_TRUE(Result);
    EXPECT_EQ(O.AnchorHref, u"Two.htm");
    EXPECT_EQ(O.AnchorTitle, u"Zwei");
    EXPECT_EQ(O.HotAnchorNumber, 2);

    // A check control is found by its ID whatever the mouse.
    TMarkupDrawArgs Ctl;
    Ctl.HitTestOnly = true;
    Ctl.ControlID = u"c1";
    O = Draw(u"Tick <CONTROL TYPE=\"CHECK\" ID=\"c1\" WIDTH=\"20\" VALUE=\"true\"> here", Rect(0, 0, 300, 100), Ctl);
    EXPECT_TRUE(Result);
    EXPECT_EQ(O.ControlType, u"CHECK");
    EXPECT_EQ(O.ControlValue, u"true");
    EXPECT_EQ(O.AnchorHref, u"ctrl");
    EXPECT_EQ(O.ControlRect, Bounds(1 + Width(u"Tick "), 0, 16, 16));

    TMarkupDrawArgs M;
    M.MeasureOnly = true;
    O = Draw(u"Go <CONTROL TYPE=\"BUTTON\" ID=\"b\" WIDTH=\"60\" HEIGHT=\"30\" VALUE=\"Run\">", Rect(0, 0, 300, 100), M);
    EXPECT_GE(O.ExtentY, 28);
    EXPECT_EQ(Draw(u"x <CONTROL TYPE=\"EDIT\" ID=\"e\" VALUE=\"v\">", Rect(0, 0, 300, 100), M).ExtentX, Width(u"x"));
}

// A click on an edit control's face finds it, so that its editor can open over it.
TEST_F(MarkupRender, EditControlsAreHitOverTheirTextHeight) {
    const String Text = u"Name <CONTROL TYPE=\"EDIT\" ID=\"e1\" WIDTH=\"60\" VALUE=\"abc\">";
    TMarkupDrawArgs A;
    A.MeasureOnly = true;
    A.MouseX = 1 + Width(u"Name ") + 10;
    A.MouseY = Gh() + 5;
    TMarkupDrawResult O = Draw(Text, Rect(0, 0, 300, 100), A);
    EXPECT_EQ(O.ControlID, u"e1");
    EXPECT_EQ(O.ControlType, u"EDIT");
    EXPECT_EQ(O.ControlRect, Bounds(1 + Width(u"Name "), 0, 60, Gh() + 10));
    A.MouseY = Gh() + 11;
    EXPECT_TRUE(Draw(Text, Rect(0, 0, 300, 100), A).ControlID.empty());
}

TEST_F(MarkupRender, PicturesInAnchorsAndTheErrorMark) {
    TPictureContainer Pics(nullptr);
    auto Add = [&](const char16_t* Name, int Colour) {
        TPictureItem* I = Pics.Items().Add();
        I->SetName(Name);
        TMemoryStream S;
        S.WriteBytes(testgif::Gif(10, 10, {{0, 0, 10, 10, 0, Colour}}));
        I->Picture()->LoadFromStream(&S);
    };
    Add(u"redpic", 0);
    Add(u"bluepic", 2);
    const String Text = u"<A HREF=\"go\"><IMG SRC=\"redpic\" ALT=\"bluepic\"></A>";
    TMarkupDrawArgs A;
    A.Pictures = &Pics;
    Draw(Text, Rect(0, 0, 300, 100), A);
    EXPECT_EQ(C.Pixels(5, 5), clRed);
    A.MouseX = 5;
    A.MouseY = 5;
    TMarkupDrawResult O = Draw(Text, Rect(0, 0, 300, 100), A);
    EXPECT_TRUE(Result);
    EXPECT_EQ(O.AnchorHref, u"go");
    EXPECT_EQ(C.Pixels(5, 5), clBlue);
    EXPECT_EQ(Draw(u"<IMG SRC=\"redpic\" WIDTH=\"20\">", Rect(0, 0, 300, 100), A).ExtentX, 20);
    EXPECT_EQ(Draw(u"<IMG SRC=\"nothere\">x", Rect(0, 0, 300, 100), A).ExtentX, Width(u"x"));

    // The zigzag under a run starting at x 10 starts one pixel above the bottom.
    SetUp();
    TMarkupDrawArgs E;
    Draw(u"<E>MMMMMMMM</E>", Rect(9, 0, 300, 40), E);
    const int Bottom = Gh();
    EXPECT_EQ(C.Pixels(10, Bottom - 1), clRed);
    EXPECT_EQ(C.Pixels(11, Bottom), clRed);
    EXPECT_EQ(C.Pixels(12, Bottom + 1), clRed);
    EXPECT_EQ(C.Pixels(14, Bottom - 1), clRed);
    EXPECT_NE(C.Pixels(12, Bottom - 1), clRed);
}

}  // namespace

// Right-to-left reading needs a Middle-East system locale; then reading
// order 1 right-justifies and lays the runs out from the right edge.
TEST_F(MarkupRender, RightToLeftReadingInAMiddleEastLocale) {
    const TSysLocale Kept = SetSysLocale(TSysLocale{false});
    for (int Order : {0, 1, 2, 3}) EXPECT_EQ(BiDiDrawTextFlags(DT_BOTTOM, Order), DT_BOTTOM) << Order;
    SetSysLocale(TSysLocale{true});
    const struct {
        unsigned Flags;
        int Order;
        unsigned Expected;
    } Cases[] = {
        {DT_BOTTOM, 0, DT_BOTTOM},
        {DT_BOTTOM, 1, DT_BOTTOM | DT_RIGHT | DT_RTLREADING},
        {DT_RIGHT, 1, DT_RTLREADING},
        {DT_CENTER, 1, DT_CENTER | DT_RTLREADING},
        {DT_BOTTOM, 2, DT_BOTTOM | DT_RTLREADING},
        {DT_RIGHT, 3, DT_RIGHT | DT_RTLREADING},
    };
    for (const auto& K : Cases) EXPECT_EQ(BiDiDrawTextFlags(K.Flags, K.Order), K.Expected) << K.Flags << "/" << K.Order;

    // The first run stands at the right edge, the next one left of it.
    TMarkupDrawArgs A;
    A.ReadingOrder = 1;
    Draw(u"<FONT COLOR=\"#FF0000\">MMM</FONT>WWW", Rect(0, 0, 300, 40), A);
    auto InkSpan = [&](TColor Col) {
        int L = 300, R = -1;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 300; ++x)
                if (C.Pixels(x, y) == Col) L = std::min(L, x), R = std::max(R, x);
        return std::pair<int, int>{L, R};
    };
    const auto Red = InkSpan(0x0000FF), Black = InkSpan(clBlack);
    EXPECT_GT(Red.second, 300 - 4);
    EXPECT_GT(Red.first, Black.second);
    EXPECT_GE(Black.first, 300 - Width(u"MMMWWW") - 4);

    // The anchor under the mouse is found where it is drawn, counted from the right.
    const String Text = u"<A HREF=\"first\">one</A> two";
    A.HitTestOnly = true;
    A.MouseY = Gh() - 3;
    A.MouseX = 300 - Width(u"o");
    TMarkupDrawResult O = Draw(Text, Rect(0, 0, 300, 40), A);
    EXPECT_TRUE(Result);
    EXPECT_EQ(O.AnchorHref, u"first");
    A.MouseX = 300 - Width(u"one tw");
    O = Draw(Text, Rect(0, 0, 300, 40), A);
    EXPECT_FALSE(Result);
    SetSysLocale(Kept);
}
