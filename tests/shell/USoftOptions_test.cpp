#include "shell/USoftOptions.h"

#include "shell/Globals.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <chrono>

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


namespace {

struct HostGuard {
    String host = Version_Service_Host;
    int model = Model_Code;
    ~HostGuard() {
        Version_Service_Host = host;
        Model_Code = model;
    }
};

}  // namespace

TEST(VersionCheck, AsksTheServiceForTheModelsCodeAndCompares) {
    HostGuard guard;
    const struct {
        int model;
        const char* body;
        bool newer;
        const char* code;
    } cases[] = {
        {0, "VER. 1.114", true, "CV52829"},   {0, "VER. 1.113", false, "CV52829"},
        {0, "garbage", false, "CV52829"},     {4, "VER. 1.900", true, "CV52825"},
        {2004, "VER. 1.114", true, "CV52829"},  // model 0's code, compared with 1.113
        {4, "ver. 0.000", false, "CV52825"},
    };
    for (const auto& c : cases) {
        LoopbackHttpServer server(c.body);
        Version_Service_Host = server.Host();
        Model_Code = c.model;
        EXPECT_EQ(Check_Version(), c.newer) << c.model << " " << c.body;
        EXPECT_NE(server.request.find(std::string("GET /home/download/GetversionSW.asp?nomesw=") + c.code + " HTTP/1.0"),
                  std::string::npos)
            << server.request;
    }
}

TEST(VersionCheck, NoAnswerWithinTheTimeOutIsNoNewerVersion) {
    HostGuard guard;
    Model_Code = 0;
    {
        LoopbackHttpServer silent("", true);
        Version_Service_Host = silent.Host();
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(Check_Version());
        const auto waited = std::chrono::steady_clock::now() - t0;
        EXPECT_GE(waited, std::chrono::milliseconds(Version_Query_Timeout_Ms - 500));
        EXPECT_LT(waited, std::chrono::milliseconds(Version_Query_Timeout_Ms + 5000));
    }
    Version_Service_Host = u"127.0.0.1:1";  // refused
    EXPECT_FALSE(Check_Version());
}
