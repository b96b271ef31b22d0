#include "framework/Udp.h"

#include "support/NetNamespace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// Collects what a listener hands over, for the test thread to wait on.
struct Inbox {
    std::mutex m;
    std::condition_variable cv;
    std::vector<TUdpDatagram> got;

    void Put(const TUdpDatagram& d) {
        std::lock_guard lock(m);
        got.push_back(d);
        cv.notify_all();
    }
    bool WaitFor(std::size_t n, int ms = 2000) {
        std::unique_lock lock(m);
        return cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return got.size() >= n; });
    }
};

}  // namespace

// The converter's link in miniature: an echo peer on 127.0.0.2 shares its port
// number with the client's socket on 127.0.0.1, and answers to the sender.
TEST(Udp, EchoPeerAnswersToTheSendersPortAcrossTwoLoopbackAddresses) {
    TUdpSocket client;
    client.Bind(u"127.0.0.1", 0);
    const Word port = client.LocalPort();
    ASSERT_NE(port, 0);

    TUdpListener* self = nullptr;
    TUdpListener peer([&](const TUdpDatagram& d) { self->SendTo(d.Address, d.Port, d.Data); });
    self = &peer;
    peer.Start(u"127.0.0.2", port);
    EXPECT_TRUE(peer.Active());
    EXPECT_EQ(peer.LocalPort(), port);

    const ByteString payloads[] = {
        ByteString("Korvia_Enable_Analyzer_Mode"),
        ByteString("\x10\x7B\x00\x7B\x16\x00\x00", 7),  // zero bytes kept
        ByteString(60000, '\xE5'),                      // large datagram not cut
    };
    for (const auto& sent : payloads) {
        client.SendTo(u"127.0.0.2", port, sent);
        TUdpDatagram back;
        ASSERT_TRUE(client.ReceiveFrom(back, 2000));
        EXPECT_EQ(back.Data, sent);
        EXPECT_EQ(back.Address, u"127.0.0.2");
        EXPECT_EQ(back.Port, port);
    }
}

TEST(Udp, UnboundSocketBindsOnFirstSendSoAnswersReachIt) {
    TUdpSocket server;
    server.Bind(u"127.0.0.1", 0);
    TUdpSocket client;
    EXPECT_FALSE(client.Active());
    client.SendTo(u"127.0.0.1", server.LocalPort(), "ping");
    EXPECT_TRUE(client.Active());

    TUdpDatagram request;
    ASSERT_TRUE(server.ReceiveFrom(request, 2000));
    EXPECT_EQ(request.Port, client.LocalPort());
    server.SendTo(request.Address, request.Port, "pong");
    TUdpDatagram answer;
    ASSERT_TRUE(client.ReceiveFrom(answer, 2000));
    EXPECT_EQ(answer.Data, "pong");
}

TEST(Udp, ReceiveWaitsForItsTimeOutAndPollingReturnsAtOnce) {
    TUdpSocket s;
    s.Bind(u"127.0.0.1", 0);
    TUdpDatagram d;
    auto t0 = Clock::now();
    EXPECT_FALSE(s.ReceiveFrom(d, 150));
    EXPECT_GE(MsSince(t0), 140);
    EXPECT_LT(MsSince(t0), 1000);

    t0 = Clock::now();
    EXPECT_FALSE(s.ReceiveFrom(d, 0));
    EXPECT_LT(MsSince(t0), 50);

    TUdpSocket other;
    other.SendTo(u"127.0.0.1", s.LocalPort(), "x");
    // A datagram already waiting is found by a poll without waiting.
    for (int i = 0; i < 100 && !s.ReceiveFrom(d, 0); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(d.Data, "x");
}

TEST(Udp, FailuresRaiseAMessageNamingAddressAndPort) {
    TUdpSocket first;
    first.Bind(u"127.0.0.1", 0);
    const std::string port = std::to_string(first.LocalPort());

    struct Case {
        std::function<void()> act;
        std::string mustName;
    } cases[] = {
        {[&] { TUdpSocket s; s.Bind(u"127.0.0.1", first.LocalPort()); }, "127.0.0.1:" + port},
        {[&] { TUdpSocket s; s.Bind(u"", first.LocalPort()); }, "*:" + port},  // every address clashes too
        {[&] { TUdpSocket s; s.Bind(u"300.1.2.3", 0); }, "300.1.2.3"},
        {[&] { first.SendTo(u"1.2.3.4.5", 5000, "x"); }, "1.2.3.4.5"},
        {[&] { first.SendTo(u"", 5000, "x"); }, "5000"},
    };
    for (const auto& c : cases) {
        try {
            c.act();
            ADD_FAILURE() << "no exception; expected one naming " << c.mustName;
        } catch (const EOSError& e) {
            EXPECT_NE(std::string(e.what()).find(c.mustName), std::string::npos) << e.what();
        }
    }
    // The same port on another loopback address is no clash.
    TUdpSocket second;
    EXPECT_NO_THROW(second.Bind(u"127.0.0.2", first.LocalPort()));

    TUdpSocket closed;
    TUdpDatagram d;
    EXPECT_THROW(closed.ReceiveFrom(d, 0), EOSError);
}

TEST(Udp, SendingToAnUnreachableNetworkRaises) {
    std::string message;
    const std::string why = RunInNetNamespace([&] {
        TUdpSocket s;
        try {
            s.SendTo(u"10.20.30.40", 10000, "Korvia_Enable_Analyzer_Mode");
        } catch (const EOSError& e) {
            message = e.what();
        }
    });
    if (!why.empty()) GTEST_SKIP() << why;
    EXPECT_NE(message.find("10.20.30.40:10000"), std::string::npos) << message;
    EXPECT_NE(message.find("unreachable"), std::string::npos) << message;
}

TEST(Udp, ListenerHandsOverEveryDatagramAndStopsCleanly) {
    Inbox inbox;
    TUdpListener listener([&](const TUdpDatagram& d) { inbox.Put(d); });
    listener.Start(u"127.0.0.1", 0);
    const Word port = listener.LocalPort();

    TUdpSocket sender;
    sender.Bind(u"127.0.0.1", 0);
    for (int i = 0; i < 20; ++i) sender.SendTo(u"127.0.0.1", port, ByteString(1, char('\xB0' + i % 7)));
    ASSERT_TRUE(inbox.WaitFor(20));
    EXPECT_EQ(inbox.got[0].Data, "\xB0");
    EXPECT_EQ(inbox.got[0].Port, sender.LocalPort());

    // Stop wakes the idle thread at once and frees the port.
    auto t0 = Clock::now();
    listener.Stop();
    EXPECT_LT(MsSince(t0), 500);
    EXPECT_FALSE(listener.Active());
    sender.SendTo(u"127.0.0.1", port, "late");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(inbox.got.size(), 20u);  // nothing after Stop
    TUdpSocket again;
    EXPECT_NO_THROW(again.Bind(u"127.0.0.1", port));
}

TEST(Udp, ListenerCanBeStoppedFromItsOwnCallbackAndRestarted) {
    Inbox inbox;
    TUdpListener* self = nullptr;
    TUdpListener listener([&](const TUdpDatagram& d) {
        if (d.Data == "stop") self->Stop();
        inbox.Put(d);
    });
    self = &listener;
    listener.Start(u"127.0.0.1", 0);
    TUdpSocket sender;
    sender.SendTo(u"127.0.0.1", listener.LocalPort(), "stop");
    ASSERT_TRUE(inbox.WaitFor(1));
    for (int i = 0; i < 100 && listener.Active(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(listener.Active());

    listener.Start(u"127.0.0.1", 0);
    sender.SendTo(u"127.0.0.1", listener.LocalPort(), "again");
    ASSERT_TRUE(inbox.WaitFor(2));
    EXPECT_EQ(inbox.got[1].Data, "again");
}

TEST(Udp, AnExceptionOfTheCallbackIsReportedAndReceptionGoesOn) {
    Inbox inbox;
    std::mutex m;
    std::vector<String> errors;
    TUdpListener listener(
        [&](const TUdpDatagram& d) {
            if (d.Data == "bad") throw EConvertError(u"garbled datagram");
            inbox.Put(d);
        },
        [&](const String& message) {
            std::lock_guard lock(m);
            errors.push_back(message);
        });
    listener.Start(u"127.0.0.1", 0);
    TUdpSocket sender;
    sender.SendTo(u"127.0.0.1", listener.LocalPort(), "bad");
    sender.SendTo(u"127.0.0.1", listener.LocalPort(), "good");
    ASSERT_TRUE(inbox.WaitFor(1));
    EXPECT_EQ(inbox.got[0].Data, "good");
    std::lock_guard lock(m);
    EXPECT_EQ(errors, std::vector<String>{u"garbled datagram"});
}
