#include "framework/Icmp.h"

#include "support/NetNamespace.h"

#include <gtest/gtest.h>

#include <netinet/ip_icmp.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// Sysctls under /proc/sys/net belong to the network namespace of the thread
// that opens them.
bool SetSysctl(const std::string& name, const std::string& value) {
    std::ofstream f("/proc/sys/net/ipv4/" + name);
    f << value;
    f.flush();
    return bool(f);
}

bool HavePingProgram() { return std::system("command -v ping >/dev/null 2>&1") == 0; }

struct MethodCase {
    TPingMethod method;
    const char* name;
};
const MethodCase kMethods[] = {
    {TPingMethod::RawSocket, "raw socket"},
    {TPingMethod::DatagramSocket, "datagram socket"},
    {TPingMethod::PingProgram, "ping program"},
};

std::uint16_t Sum(const unsigned char* d, std::size_t n) {
    std::uint32_t s = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2) s += (d[i] << 8) | d[i + 1];
    if (n & 1) s += d[n - 1] << 8;
    while (s >> 16) s = (s & 0xFFFF) + (s >> 16);
    return static_cast<std::uint16_t>(~s);
}

}  // namespace

TEST(Icmp, LoopbackAnswers) {
    const TPingResult r = Ping(u"127.0.0.1", 2000);
    EXPECT_TRUE(r.Answered);
    EXPECT_GE(r.RoundTripMs, 0);
    EXPECT_LT(r.RoundTripMs, 2000);
}

TEST(Icmp, AnAddressThatCannotBeParsedRaises) {
    EXPECT_THROW(Ping(u"192.168.1.300", 100), EOSError);
    EXPECT_THROW(Ping(u"", 100), EOSError);
}

// Every way of pinging: loopback answers, an address where nobody is stays
// unanswered for its time-out, a network without a route is not answered at
// once. Run in a namespace of the test's own, where the unprivileged ICMP
// socket can be allowed without touching the machine's settings.
TEST(Icmp, EachMethodTellsAnsweredFromSilentWithinItsTimeOut) {
    const bool havePing = HavePingProgram();
    const std::string why = RunInNetNamespace([&] {
        ASSERT_TRUE(SetSysctl("ping_group_range", "0 2147483647"));
        for (const auto& m : kMethods) {
            if (m.method == TPingMethod::PingProgram && !havePing) continue;
            SCOPED_TRACE(m.name);
            EXPECT_TRUE(Ping(u"127.0.0.1", 2000, m.method).Answered);

            auto t0 = Clock::now();
            const TPingResult silent = Ping(Utf8ToString(kSilentAddress), 300, m.method);
            const long long took = MsSince(t0);
            EXPECT_FALSE(silent.Answered);
            EXPECT_GE(took, 280);
            EXPECT_LT(took, 1500);

            t0 = Clock::now();
            EXPECT_FALSE(Ping(u"10.9.8.7", 300, m.method).Answered);  // no route at all
            EXPECT_LT(MsSince(t0), 1500);
        }
    });
    if (!why.empty()) GTEST_SKIP() << why;
    if (!havePing) GTEST_SKIP() << "no ping program installed: its way was not tried";
}

// The unprivileged socket is refused when the group is outside the allowed
// range; asking for it then raises, and the automatic choice moves on.
TEST(Icmp, ForbiddenDatagramSocketIsReportedAndAutomaticMovesOn) {
    const std::string why = RunInNetNamespace([&] {
        ASSERT_TRUE(SetSysctl("ping_group_range", "1 0"));
        try {
            Ping(u"127.0.0.1", 500, TPingMethod::DatagramSocket);
            if (::geteuid() == 0) ADD_FAILURE() << "expected a refusal";
        } catch (const EOSError& e) {
            EXPECT_NE(std::string(e.what()).find("ping_group_range"), std::string::npos) << e.what();
        }
        EXPECT_TRUE(Ping(u"127.0.0.1", 2000).Answered);
    });
    if (!why.empty()) GTEST_SKIP() << why;
}

// The address answers nothing itself (echo replies switched off); a forger
// watches the echo request and sends replies that are almost right: another
// identifier, another sequence number, other data, a bad checksum. None may
// count; the one true reply then does.
TEST(Icmp, OnlyTheReplyToThisEchoCounts) {
    const std::string why = RunInNetNamespace([&] {
        ASSERT_TRUE(SetSysctl("icmp_echo_ignore_all", "1"));
        ASSERT_TRUE(SetSysctl("ping_group_range", "0 2147483647"));
        for (const auto& m : {kMethods[0], kMethods[1]}) {
            for (bool sendTrueReply : {false, true}) {
                SCOPED_TRACE(std::string(m.name) + (sendTrueReply ? ", with true reply" : ", forgeries only"));
                const int watcher = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
                ASSERT_GE(watcher, 0);
                std::atomic<bool> forged{false};
                std::thread forger([&] {
                    unsigned char buf[2048];
                    for (int tries = 0; tries < 50; ++tries) {
                        pollfd p{watcher, POLLIN, 0};
                        if (::poll(&p, 1, 100) <= 0) continue;
                        const ssize_t got = ::recv(watcher, buf, sizeof buf, 0);
                        if (got < 28) continue;
                        const std::size_t ip = (buf[0] & 0x0F) * 4u;
                        unsigned char* icmp = buf + ip;
                        const std::size_t size = static_cast<std::size_t>(got) - ip;
                        if (icmp[0] != 8) continue;  // wait for the echo request
                        sockaddr_in to{};
                        to.sin_family = AF_INET;
                        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                        auto send = [&](int tweak) {
                            std::string m(reinterpret_cast<char*>(icmp), size);
                            m[0] = 0;
                            m[2] = m[3] = 0;
                            if (tweak == 1) m[5] = static_cast<char>(m[5] ^ 0x55);  // identifier
                            if (tweak == 2) m[7] = static_cast<char>(m[7] + 1);     // sequence
                            if (tweak == 3) m.back() = static_cast<char>(m.back() ^ 1);  // data
                            const std::uint16_t s = Sum(reinterpret_cast<unsigned char*>(m.data()), m.size());
                            m[2] = static_cast<char>(s >> 8);
                            m[3] = static_cast<char>(s & 0xFF);
                            if (tweak == 4) m[3] = static_cast<char>(m[3] ^ 0x10);  // checksum
                            ::sendto(watcher, m.data(), m.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
                        };
                        for (int tweak = 1; tweak <= 4; ++tweak) send(tweak);
                        if (sendTrueReply) send(0);
                        forged = true;
                        return;
                    }
                });
                const TPingResult r = Ping(u"127.0.0.1", 600, m.method);
                forger.join();
                ::close(watcher);
                EXPECT_TRUE(forged);
                EXPECT_EQ(r.Answered, sendTrueReply);
            }
        }
    });
    if (!why.empty()) GTEST_SKIP() << why;
}

TEST(Icmp, ConcurrentPingsEachGetTheirOwnAnswer) {
    std::atomic<int> answered{0};
    std::thread others[4];
    for (auto& t : others)
        t = std::thread([&] {
            for (int i = 0; i < 5; ++i)
                if (Ping(u"127.0.0.1", 2000).Answered) ++answered;
        });
    for (auto& t : others) t.join();
    EXPECT_EQ(answered, 20);
}
