#include "framework/Http.h"

#include "support/NetNamespace.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// A one-connection web server on 127.0.0.1: reads the request head, gives it
// to the handler with the connection, closes when the handler returns.
class TinyServer {
public:
    using Handler = std::function<void(int fd, const std::string& request)>;

    explicit TinyServer(Handler handler) {
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listen_, 4);
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this, handler] {
            const int fd = ::accept(listen_, nullptr, nullptr);
            if (fd < 0) return;
            std::string req;
            char buf[1024];
            while (req.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0) break;
                req.append(buf, static_cast<std::size_t>(n));
            }
            request_ = req;
            handler(fd, req);
            ::close(fd);
        });
    }
    ~TinyServer() {
        ::shutdown(listen_, SHUT_RDWR);  // wakes an accept that never got a client
        thread_.join();
        ::close(listen_);
    }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int Port() const { return port_; }
    const std::string& Request() const { return request_; }

private:
    int listen_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::string request_;
};

void Send(int fd, const std::string& s) { ::send(fd, s.data(), s.size(), MSG_NOSIGNAL); }

// Waits until the client closes its end.
void WaitForClientToGiveUp(int fd) {
    char c;
    while (::recv(fd, &c, 1, 0) > 0) {}
}

std::string ErrorOf(const std::function<void()>& act) {
    try {
        act();
    } catch (const EOSError& e) {
        return e.what();
    }
    return "(no exception)";
}

}  // namespace

TEST(Http, GetReturnsStatusAndBodyAndSendsAnHttp10Request) {
    TinyServer server([](int fd, const std::string&) {
        Send(fd, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nVER. 1.205");
    });
    const THttpResponse r = HttpGet(Utf8ToString(server.Url("/home/download/GetversionSW.asp?nomesw=CV52809")));
    EXPECT_EQ(r.StatusCode, 200);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.StatusText, u"OK");
    EXPECT_EQ(r.Body, "VER. 1.205");
    EXPECT_EQ(server.Request().rfind("GET /home/download/GetversionSW.asp?nomesw=CV52809 HTTP/1.0\r\n", 0), 0u)
        << server.Request();
    EXPECT_NE(server.Request().find("Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos);
}

TEST(Http, ErrorStatusIsReturnedNotRaised) {
    TinyServer server([](int fd, const std::string&) {
        Send(fd, "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here!");
    });
    const THttpResponse r = HttpGet(Utf8ToString(server.Url("/missing")));
    EXPECT_EQ(r.StatusCode, 404);
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.StatusText, u"Not Found");
    EXPECT_EQ(r.Body, "not here!");
}

TEST(Http, BodyLengthAndChunksEndTheReplyWithoutWaitingForTheClose) {
    struct Case {
        const char* reply;
        const char* body;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nVER. 1.113", "VER. 1.113"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nVER.\r\n6\r\n 1.113\r\n0\r\n\r\n", "VER. 1.113"},
        {"HTTP/1.0 200 OK\nContent-Length: 3\n\nabc", "abc"},  // lines ended by LF alone
    };
    for (const auto& c : cases) {
        TinyServer server([&](int fd, const std::string&) {
            Send(fd, c.reply);
            WaitForClientToGiveUp(fd);  // keeps the connection open
        });
        const auto t0 = Clock::now();
        const THttpResponse r = HttpGet(Utf8ToString(server.Url("/")), 3000);
        EXPECT_EQ(r.Body, c.body);
        EXPECT_LT(MsSince(t0), 1000);
    }
}

TEST(Http, AServerThatNeverAnswersTimesOut) {
    TinyServer server([](int fd, const std::string&) { WaitForClientToGiveUp(fd); });
    const auto t0 = Clock::now();
    const std::string error = ErrorOf([&] { HttpGet(Utf8ToString(server.Url("/")), 300); });
    EXPECT_NE(error.find("time-out"), std::string::npos) << error;
    EXPECT_NE(error.find(server.Url("/")), std::string::npos) << error;
    EXPECT_GE(MsSince(t0), 280);
    EXPECT_LT(MsSince(t0), 2000);
}

TEST(Http, BrokenRepliesAreReported) {
    struct Case {
        const char* reply;
        const char* says;
    } cases[] = {
        {"garbage\r\n\r\n", "not HTTP"},
        {"HTTP/1.0 2x0 OK\r\n\r\n", "not HTTP"},
        {"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort", "cut short"},
        {"HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\n", "Content-Length"},
        {"HTTP/1.0 200 OK\r\nContent-", "inside its header"},
        {"", "without a reply"},
    };
    for (const auto& c : cases) {
        TinyServer server([&](int fd, const std::string&) { Send(fd, c.reply); });
        const std::string error = ErrorOf([&] { HttpGet(Utf8ToString(server.Url("/")), 2000); });
        EXPECT_NE(error.find(c.says), std::string::npos) << c.reply << " -> " << error;
    }
}

TEST(Http, RefusedConnectionsAndBadAddressesAreReported) {
    int port;
    {
        TinyServer gone([](int, const std::string&) {});
        port = gone.Port();
        // connect once so the server thread ends; then nothing listens there
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::send(fd, "\r\n\r\n", 4, MSG_NOSIGNAL);
        ::close(fd);
    }
    const std::string refused = "http://127.0.0.1:" + std::to_string(port) + "/";
    EXPECT_NE(ErrorOf([&] { HttpGet(Utf8ToString(refused), 2000); }).find("refused"), std::string::npos);

    for (const char* url : {"ftp://127.0.0.1/", "https://127.0.0.1/", "http://", "http://127.0.0.1:99999/",
                            "http://127.0.0.1:8x/", "http://127.0.0.1/a b", "http://user@127.0.0.1/"}) {
        EXPECT_NE(ErrorOf([&] { HttpGet(Utf8ToString(url), 500); }).find(url), std::string::npos) << url;
    }
}

TEST(Http, ConnectingToAHostThatIsNotThereTimesOut) {
    std::string error;
    long long took = 0;
    const std::string why = RunInNetNamespace([&] {
        const auto t0 = Clock::now();
        error = ErrorOf([&] { HttpGet(Utf8ToString(std::string("http://") + kSilentAddress + "/"), 300); });
        took = MsSince(t0);
    });
    if (!why.empty()) GTEST_SKIP() << why;
    EXPECT_NE(error.find("no connection within the time-out"), std::string::npos) << error;
    EXPECT_GE(took, 280);
    EXPECT_LT(took, 2000);
}
