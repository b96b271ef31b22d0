#include "grid/foundation/FilterMatch.h"
#include "grid/foundation/MarkupRender.h"
#include "grid/foundation/MarkupText.h"
#include "grid/foundation/PictureContainer.h"

#include "TestGif.h"
#include "framework/Streams.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Malformed input of every kind: nothing may crash or hang.
String Garble(std::mt19937& Rng, int MaxLen) {
    static const char16_t* const Pieces[] = {
        u"<", u">", u"</", u"<B>", u"</B>", u"<A HREF=\"x\">", u"</A>", u"<IMG SRC=\"p\" ALT=\"q\">", u"<BR>",
        u"<FONT SIZE=", u"\"", u"&amp;", u"&lt;", u"&", u"<CONTROL TYPE=\"EDIT\" ID=\"a\" WIDTH=\"30\">",
        u"<CONTROL WIDTH=\"x\">", u"<UL>", u"</UL>", u"<LI>", u"<P align=\"right\">", u"</P>", u"<Z>", u"<SUB>",
        u"<R a=\"90\">", u"</R>", u"<IND x=\"50\">", u"*", u"?", u"!", u"(", u")", u"|", u"&", u"^", u";", u">=",
        u"1/2/2020", u" ", u"\r\n", u"a", u"word ", u"9", u"<E>", u"<HI>", u"</HI>", u"<SHAD>", u"<BODY BGCOLOR=\"#FF\">"};
    std::uniform_int_distribution<int> Len(0, MaxLen), Pick(0, int(std::size(Pieces)) - 1);
    String S;
    for (int n = Len(Rng); n > 0; --n) S += Pieces[Pick(Rng)];
    return S;
}

TEST(MarkupRobustness, RandomTextsConditionsAndGifs) {
    std::mt19937 Rng(20261210);
    TBitmap B(120, 60);
    THTMLPictureCache Cache;
    for (int i = 0; i < 1500; ++i) {
        const String T = Garble(Rng, 12);
        TMarkupDrawArgs In;
        In.WrapWords = i % 2 == 0;
        In.HitTestOnly = i % 5 == 0;
        In.MeasureOnly = i % 7 == 0;
        In.MouseX = i % 100;
        In.MouseY = i % 50;
        In.ControlID = u"a";
        In.PictureCache = &Cache;
        TMarkupDrawResult Out;
        DrawHTMLText(B.Canvas(), T, Rect(0, 0, 60 + i % 60, 60), In, Out);
        StripHTMLTags(T);
        const String Marked = InsertHilightTags(T, u"a", u"hi", i % 3 == 0);
        RemoveHilightTags(Marked, u"hi");
        String V;
        GetControlValue(T, u"a", V);
        String S = T;
        SetControlValue(S, u"a", T);
        NextControlID(T, u"");
        VisibleToTaggedIndex(T, i % 20);
        MatchFilterExpression(Garble(Rng, 8), Garble(Rng, 4), i % 2 == 0);
    }

    const std::string Good = testgif::Gif(6, 6, {{0, 0, 6, 6, 5, 0}, {1, 1, 3, 3, 5, 1}, {0, 0, 2, 2, 5, 2}});
    std::uniform_int_distribution<int> Byte(0, 255);
    for (int i = 0; i < 1500; ++i) {
        std::string G = Good;
        const int Changes = 1 + i % 6;
        for (int k = 0; k < Changes; ++k) G[size_t(Byte(Rng)) % G.size()] = char(Byte(Rng));
        if (i % 4 == 0) G.resize(size_t(Byte(Rng)) % G.size());
        THTMLPicture P;
        TMemoryStream Stream;
        Stream.WriteBytes(G);
        try {
            P.LoadFromStream(&Stream);
            for (int f = 0; f < 4; ++f) P.Step();
            P.SetFrame(2);
            B.Canvas().Draw(0, 0, P);
        } catch (const Exception&) {
            // Undecodable data is reported, never a crash.
        }
    }
}

TEST(MarkupRobustness, ManyStarsStayQuick) {
    // Each "*" try is remembered by its two positions: no exponential search.
    const String Value(255, u'a');
    EXPECT_FALSE(MatchFilterExpression(u"*a*a*a*a*a*a*a*b", Value, true));
    EXPECT_TRUE(MatchFilterExpression(u"*a*a*a*a*a*a*a*a", Value, true));
}

}  // namespace
