#include "shell/USoftOptions.h"

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

#include "shell/Globals.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

// A one-connection-at-a-time HTTP server on 127.0.0.1 that answers every
// request with the given body, or holds the connection open without a word.
class LoopbackVersionServer {
public:
    explicit LoopbackVersionServer(std::string body, bool silent = false) : body_(std::move(body)), silent_(silent) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        listen(fd_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackVersionServer() {
        stop_ = true;
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        thread_.join();
    }
    String Host() const { return S("127.0.0.1:" + std::to_string(port_)); }
    std::string request;

private:
    void Serve() {
        while (!stop_) {
            const int c = accept(fd_, nullptr, nullptr);
            if (c < 0)
                return;
            char buf[2048];
            const ssize_t n = recv(c, buf, sizeof buf, 0);
            if (n > 0)
                request.assign(buf, static_cast<std::size_t>(n));
            if (silent_) {
                while (!stop_)
                    usleep(10000);
            } else {
                const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                          std::to_string(body_.size()) + "\r\n\r\n" + body_;
                send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
            close(c);
        }
    }
    std::string body_;
    bool silent_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

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
        LoopbackVersionServer server(c.body);
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
        LoopbackVersionServer silent("", true);
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
