#include "grid/foundation/MarkupText.h"

#include <gtest/gtest.h>

namespace {

TEST(MarkupText, PlainTextAndPositions) {
    EXPECT_EQ(StripHTMLTags(u"<b>one</b><br>two<HR>x"), u"one\r\ntwo\r\nx");
    EXPECT_EQ(StripHTMLTags(u"a < b and more"), u"a < b and more");
    EXPECT_EQ(StripTags(u"x > y <b>z</b>"), u"x > y <b>z</b>");  // a ">" before the next "<" stops it
    EXPECT_EQ(StripTags(u"<b>bold</b> words"), u"bold words");

    const String T = u"<b>ab</b>c";
    const struct {
        int N, Expected;
    } Cases[] = {{0, 0}, {1, 1}, {2, 5}, {3, 6}, {4, 11}, {5, 0}};
    for (const auto& C : Cases) EXPECT_EQ(VisibleToTaggedIndex(T, C.N), C.Expected) << C.N;

    int Pos = -1;
    EXPECT_EQ(FindTextFrom(u"AB", u"xabab", 2, Pos, false), 4);
    EXPECT_EQ(Pos, 4);
    EXPECT_EQ(FindTextFrom(u"AB", u"xabab", 0, Pos, true), 0);
    EXPECT_EQ(Pos, 0);
}

TEST(MarkupText, HighlightMarksComeOffAgain) {
    EXPECT_EQ(InsertHilightTags(u"aaa", u"a", u"hi", true), u"<hi>a</hi><hi>a</hi><hi>a</hi>");
    EXPECT_EQ(InsertHilightTags(u"one <b>Two</b> two", u"two", u"hi", false),
              u"one <b><hi>Two</hi></b> <hi>two</hi>");
    EXPECT_EQ(InsertHilightTags(u"xy", u"", u"hi", false), u"xy");
    EXPECT_EQ(InsertHilightTags(u"xy", u"z", u"hi", false), u"xy");
    const String Texts[] = {u"a < b is a", u"a > b > a", u"plain a text", u"<i>a</i>a"};
    for (const String& T : Texts) {
        String Marked = InsertHilightTags(T, u"a", u"e", false);
        EXPECT_NE(Marked, T);
        EXPECT_EQ(RemoveHilightTags(Marked, u"E"), T) << T.size();
    }
    EXPECT_EQ(InsertHilightTags(u"a < b", u"<", u"hi", true), u"a <hi>&lt;</hi> b");
}

TEST(MarkupText, InTextControls) {
    String T = u"Name <CONTROL TYPE=\"EDIT\" ID=\"n\" WIDTH=\"80\" VALUE=\"Bob\" MAXLEN=\"12\" PROP=\"a&amp;b\"> "
               u"<control type=\"check\" id=\"c\" width=\"16\"> <CONTROL TYPE=\"COMBO\" ID=\"k\" WIDTH=\"60\" "
               u"HEIGHT=\"30\"> <CONTROL TYPE=\"RADIO\" ID=\"r1\" WIDTH=\"16\" VALUE=\"TRUE\"><CONTROL TYPE=\"RADIO\" "
               u"ID=\"r2\" WIDTH=\"16\" VALUE=\"true\"> end";
    EXPECT_TRUE(HasControlTag(T));
    EXPECT_FALSE(HasControlTag(u"<b>x</b>"));
    EXPECT_EQ(NextControlID(T, u""), u"n");
    EXPECT_EQ(NextControlID(T, u"n"), u"k");
    EXPECT_EQ(NextControlID(T, u"k"), u"");
    String V = u"unchanged";
    EXPECT_FALSE(GetControlValue(T, u"N", V));
    EXPECT_EQ(V, u"unchanged");
    EXPECT_TRUE(GetControlValue(T, u"n", V));
    EXPECT_EQ(V, u"Bob");
    EXPECT_EQ(GetControlProp(T, u"n"), u"a&b");
    EXPECT_EQ(GetControlMaxLen(T, u"n"), 12);
    EXPECT_EQ(GetControlMaxLen(T, u"k"), 0);

    String S = T;
    EXPECT_TRUE(SetControlValue(S, u"k", u"\"Caf\u00E9\" <1>"));
    EXPECT_TRUE(GetControlValue(S, u"k", V));
    EXPECT_EQ(V, u"\"Caf\u00E9\" <1>");
    EXPECT_NE(S.find(u"HEIGHT=\"30\""), String::npos);
    EXPECT_EQ(S.substr(S.size() - 4), u" end");
    EXPECT_TRUE(SetControlValue(S, u"n", u"Al"));
    EXPECT_EQ(GetControlProp(S, u"n"), u"a&b");
    EXPECT_EQ(GetControlMaxLen(S, u"n"), 12);
    String Before = S;
    EXPECT_FALSE(SetControlValue(S, u"zz", u"x"));
    EXPECT_EQ(S, Before);

    String Cleared = ClearRadioControls(T);
    EXPECT_TRUE(GetControlValue(Cleared, u"r1", V));
    EXPECT_EQ(V, u"FALSE");
    EXPECT_TRUE(GetControlValue(Cleared, u"r2", V));
    EXPECT_EQ(V, u"FALSE");
    EXPECT_NE(Cleared.find(u"<control type=\"check\" id=\"c\" width=\"16\">"), String::npos);
}

}  // namespace
