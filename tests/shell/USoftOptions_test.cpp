#include "shell/USoftOptions.h"

#include <gtest/gtest.h>

TEST(VersionCheck, VersionTextsAsNumbers) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"VER. 1.205", 1205}, {"1.113", 1113},  {"VER.  1.114 ", 1114}, {"VER. 1.2", -1},
        {"VER. x.113", -1},   {"VER. 1a113", 1113},  // the point is skipped unchecked
        {"", -1},             {"garbage", -1},  {"VER. 1.11y", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Conv_Version(S(c.text)), c.value) << c.text;
}

TEST(VersionCheck, OnlyAHigherPublishedVersionIsNewer) {
    EXPECT_TRUE(Is_Newer_Version(u"VER. 1.114", u"1.113"));
    EXPECT_TRUE(Is_Newer_Version(u"  VER. 2.000\r\n", u"1.113"));
    EXPECT_FALSE(Is_Newer_Version(u"VER. 1.113", u"1.113"));
    EXPECT_FALSE(Is_Newer_Version(u"VER. 1.112", u"1.113"));
    EXPECT_FALSE(Is_Newer_Version(u"ver. 0.000", u"1.113"));
    EXPECT_FALSE(Is_Newer_Version(u"", u"1.113"));
    EXPECT_FALSE(Is_Newer_Version(u"<html>Not found</html>", u"1.113"));
}

TEST(VersionCheck, QueryAddressNamesTheCode) {
    EXPECT_EQ(Version_Query_URL(u"127.0.0.1:8080", u"CV52825"),
              u"http://127.0.0.1:8080/home/download/GetversionSW.asp?nomesw=CV52825");
}
