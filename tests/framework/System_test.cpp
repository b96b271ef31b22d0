#include "framework/System.h"

#include <gtest/gtest.h>

TEST(Utf, RoundTripsEveryPlane) {
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // A, e acute, euro, emoji
    String s = Utf8ToString(text);
    ASSERT_EQ(s.size(), 5u);  // the emoji takes two UTF-16 units
    EXPECT_EQ(s[1], u'\u00E9');
    EXPECT_EQ(StringToUtf8(s), text);
}

TEST(Utf, MalformedBytesBecomeReplacementCharacters) {
    struct Case { std::string in; String out; } cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},      // overlong slash
        {"\xE2\x82", u"\uFFFD\uFFFD"},      // cut short
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToString(c.in), c.out) << c.in;
    EXPECT_EQ(StringToUtf8(String(1, Char(0xD800))), "\xEF\xBF\xBD");
}

TEST(ExceptionTest, CarriesItsMessageInBothForms) {
    try {
        throw Exception(u"Fehler \u00FC");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Fehler \u00FC");
        EXPECT_STREQ(e.what(), "Fehler \xC3\xBC");
    }
}

namespace {
class Plain : public TPersistent {
protected:
    String ClassName() const override { return u"TPlain"; }
};
class Other : public TPersistent {
protected:
    String ClassName() const override { return u"TOther"; }
};
}  // namespace

TEST(PersistentTest, AssignOfAnUnknownKindNamesBothClasses) {
    Plain a;
    Other b;
    try {
        a.Assign(&b);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a TOther to a TPlain");
    }
}
