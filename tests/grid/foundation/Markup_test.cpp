#include "grid/foundation/Markup.h"

#include <gtest/gtest.h>

namespace {

TEST(Markup, Colours) {
    const struct {
        const char16_t* Text;
        TColor Expected;
    } Names[] = {{u"clred", 0x0000FF}, {u"clteal", 0x808000}, {u"clbtnface", clBtnFace},
                 {u"clinfobk", clInfoBk}, {u"red", 0}, {u"clRed", 0}};
    for (const auto& C : Names) EXPECT_EQ(HTMLColorNameToColor(C.Text), C.Expected) << String(C.Text).size();
    EXPECT_EQ(HTMLHexToColor(u"#FF0000"), 0x0000FF);
    EXPECT_EQ(HTMLHexToColor(u"#1234AB"), 0xAB3412);
    EXPECT_EQ(HTMLHexToColor(u"#FF"), 0x0000FF);  // missing components are 0
    EXPECT_EQ(HexPairToByte(u"7"), 0);
}

TEST(Markup, EntityRoundTripNeverDecodesWhatItProduced) {
    String All;
    for (const TAccentedEntity& E : AccentedEntities) {
        String One(1, E.Character);
        EXPECT_EQ(EncodeHTMLEntities(One, true), String(E.Entity));
        EXPECT_EQ(DecodeHTMLEntities(E.Entity, true), One);
        EXPECT_EQ(DecodeHTMLEntities(E.Entity, false), String(E.Entity));
        All += One;
    }
    const String Texts[] = {All, u"&amp;amp;", u"&Eacute; &eacute;", u"a<b>\"c\" & d", u"&lt; &LT;", u"&&&;"};
    for (const String& T : Texts) {
        EXPECT_EQ(DecodeHTMLEntities(EncodeHTMLEntities(T, true), true), T);
        EXPECT_EQ(DecodeHTMLEntities(EncodeHTMLEntities(T, false), false), T);
    }
    EXPECT_EQ(DecodeHTMLEntities(u"&amp;amp;", false), u"&amp;");
    EXPECT_EQ(DecodeHTMLEntities(u"&amp;lt;", false), u"&lt;");
    EXPECT_EQ(DecodeHTMLEntities(u"&LT; &lt;", false), u"&LT; <");
    EXPECT_EQ(DecodeHTMLEntities(u"&Otilde;&otilde;", true), u"\u00D5\u00F5");
    EXPECT_EQ(EncodeHTMLEntities(u"\u20AC<", true), u"&euro;&lt;");
}

TEST(Markup, TextHelpers) {
    EXPECT_EQ(PosIgnoreCase(u"bC", u"aBc"), 2);
    EXPECT_EQ(PosIgnoreCase(u"x", u"aBc"), 0);
    String T = u"one TWO two";
    EXPECT_TRUE(ReplaceFirstIgnoreCase(u"two", u"2", T));
    EXPECT_EQ(T, u"one 2 two");
    EXPECT_FALSE(ReplaceFirstIgnoreCase(u"six", u"6", T));
    EXPECT_EQ(SpacesToNbsp(u"a b"), u"a&nbsp;b");
    EXPECT_EQ(LineBreaksToBR(u"a\r\nb\n", true), u"a<BR>b");
    EXPECT_EQ(LineBreaksToBR(u"a\r\nb", false), u"ab");
    EXPECT_EQ(StripTemplateMarkers(u"Dear <#name>, <b>x</b> <#id>"), u"Dear #name, <b>x</b> #id");
    EXPECT_EQ(StripTemplateMarkers(u"open <#name"), u"open #name");
}

TEST(Markup, ParseControlTag) {
    TControlTag T = ParseControlTag(u"CONTROL TYPE=\"edit\" ID=\"e1\" WIDTH=\"80\">");
    EXPECT_EQ(T.Type, u"EDIT");
    EXPECT_EQ(T.ID, u"e1");
    EXPECT_EQ(T.Width, u"80");
    EXPECT_TRUE(T.Height.empty() && T.Value.empty() && T.Prop.empty() && T.MaxLen.empty());

    T = ParseControlTag(u"control type=\"Check\" value=\"Caf&eacute; &amp;\" id=\"Mixed\" maxlen=\"5\" "
                        u"prop=\"&lt;p&gt;\" height=\"30\">");
    EXPECT_EQ(T.Type, u"CHECK");
    EXPECT_EQ(T.ID, u"Mixed");
    EXPECT_EQ(T.Value, u"Caf\u00E9 &");
    EXPECT_EQ(T.Prop, u"<p>");
    EXPECT_EQ(T.MaxLen, u"5");
    EXPECT_EQ(T.Height, u"30");

    EXPECT_EQ(MarkupTagAttribute(u"<A HREF=\"x.htm\" TITLE=\"t\">", u"TITLE", 3), u"t");
    EXPECT_EQ(MarkupTagAttribute(u"<A HREF=x>", u"HREF", 3), u"");
    int V = 0;
    EXPECT_TRUE(MarkupValidInt(u" 20", V));
    EXPECT_EQ(V, 20);
    EXPECT_FALSE(MarkupValidInt(u"20px", V));
}

}  // namespace
