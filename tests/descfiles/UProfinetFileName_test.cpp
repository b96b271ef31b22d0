#include "descfiles/UProfinetFileName_Rules.h"

#include "framework/DateUtils.h"

#include <gtest/gtest.h>

namespace {

const String Suffix = u"-20130109.xml";

TEST(ProfinetFileName, NameFromItsParts) {
    const String prefix = GSDML_Name_Prefix(24);
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX52817", prefix);
    EXPECT_EQ(Suffix, GSDML_Name_Suffix(EncodeDateTime(2013, 1, 9, 23, 59, 0, 0)));
    struct Case {
        const char16_t* user;
        const char16_t* name;
    };
    for (const Case& c : {Case{u"", u"GSDML-V2.31-Korvia-GX52817-20130109.xml"},
                          Case{u"   ", u"GSDML-V2.31-Korvia-GX52817-20130109.xml"},
                          Case{u"_1", u"GSDML-V2.31-Korvia-GX52817_1-20130109.xml"},
                          Case{u"1", u"GSDML-V2.31-Korvia-GX52817_1-20130109.xml"},
                          Case{u" 1", u"GSDML-V2.31-Korvia-GX52817_ 1-20130109.xml"},
                          Case{u"line 2 ", u"GSDML-V2.31-Korvia-GX52817_line 2 -20130109.xml"}}) {
        String name, error;
        EXPECT_TRUE(Compose_GSDML_File_Name(prefix, c.user, Suffix, name, error));
        EXPECT_EQ(c.name, name);
    }
}

TEST(ProfinetFileName, SeparatorsAndControlCharactersAreRefused) {
    for (const String& user : {String(u"a/b"), String(u"..\\x"), String(u"tab\there"), String(1, Char(0x7F))}) {
        String name = u"unchanged", error;
        EXPECT_FALSE(Compose_GSDML_File_Name(u"P", user, Suffix, name, error));
        EXPECT_EQ(u"unchanged", name);
        EXPECT_FALSE(error.empty());
    }
}

TEST(ProfinetFileName, Prefixes) {
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX529K311", GSDML_Name_Prefix(25));
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX529K314", GSDML_Name_Prefix(29));
    EXPECT_EQ(u"GSDML-V2.31-Korvia-GX52802", GSDML_Name_Prefix(10));
    EXPECT_EQ(u"GSDML-V2.25-Korvia-", GSDML_Name_Prefix(15));
}

}  // namespace
