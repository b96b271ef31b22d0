#include "framework/Icmp.h"

#include "framework/Posix_p.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr std::size_t kIcmpHeader = 8;
constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;

std::atomic<std::uint16_t> g_sequence{0};

// The Internet checksum over the ICMP message.
std::uint16_t Checksum(const unsigned char* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) sum += (data[i] << 8) | data[i + 1];
    if (size & 1) sum += data[size - 1] << 8;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

struct Echo {
    std::uint16_t id = 0;
    std::uint16_t sequence = 0;
    std::string data;  // what the reply must carry back
};

std::string BuildRequest(const Echo& echo) {
    std::string msg(kIcmpHeader, '\0');
    msg[0] = static_cast<char>(kEchoRequest);
    msg[4] = static_cast<char>(echo.id >> 8);
    msg[5] = static_cast<char>(echo.id & 0xFF);
    msg[6] = static_cast<char>(echo.sequence >> 8);
    msg[7] = static_cast<char>(echo.sequence & 0xFF);
    msg += echo.data;
    const std::uint16_t sum = Checksum(reinterpret_cast<const unsigned char*>(msg.data()), msg.size());
    msg[2] = static_cast<char>(sum >> 8);
    msg[3] = static_cast<char>(sum & 0xFF);
    return msg;
}

// Whether an ICMP message (without IP header) is the reply to this echo.
// checkId is false for datagram sockets, where the system chose the identifier
// and already passes only replies that carry it.
bool IsReplyTo(const unsigned char* icmp, std::size_t size, const Echo& echo, bool checkId) {
    if (size < kIcmpHeader) return false;
    if (icmp[0] != kEchoReply || icmp[1] != 0) return false;
    if (Checksum(icmp, size) != 0) return false;
    const std::uint16_t id = static_cast<std::uint16_t>((icmp[4] << 8) | icmp[5]);
    const std::uint16_t seq = static_cast<std::uint16_t>((icmp[6] << 8) | icmp[7]);
    if (checkId && id != echo.id) return false;
    if (seq != echo.sequence) return false;
    return std::string(reinterpret_cast<const char*>(icmp + kIcmpHeader), size - kIcmpHeader) == echo.data;
}

Echo NewEcho(const String& address) {
    Echo echo;
    const std::uint16_t seq = ++g_sequence;
    echo.sequence = seq;
    // The identifier tells this process's echoes from other programs' on the
    // same machine; the sequence number and the data tell this call's reply
    // from replies to earlier calls and to other threads.
    echo.id = static_cast<std::uint16_t>(::getpid() & 0xFFFF);
    const std::int64_t stamp = posix::NowMs();
    echo.data.assign(reinterpret_cast<const char*>(&stamp), sizeof stamp);
    echo.data += StringToUtf8(address);
    return echo;
}

bool Unreachable(int err) {
    return err == ENETUNREACH || err == EHOSTUNREACH || err == EHOSTDOWN || err == EADDRNOTAVAIL;
}

// Sends the echo over a socket already opened and waits for its reply.
TPingResult Exchange(int fd, const sockaddr_in& to, const Echo& echo, int timeoutMs, bool raw) {
    TPingResult result;
    const std::string request = BuildRequest(echo);
    const std::int64_t start = posix::NowMs();
    const std::int64_t deadline = start + timeoutMs;
    if (::sendto(fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) {
        const int err = errno;
        if (Unreachable(err)) return result;
        posix::RaiseOSError("Cannot send an echo request to " + StringToUtf8(posix::AddressText(to)), err);
    }
    std::vector<unsigned char> buf(65536);
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int rc = ::poll(&p, 1, posix::MsLeft(deadline));
        if (rc < 0 && errno == EINTR) continue;
        if (rc <= 0) return result;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t got = ::recvfrom(fd, buf.data(), buf.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &len);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            if (Unreachable(errno) || errno == ECONNREFUSED) continue;  // a reported error of an earlier packet
            posix::RaiseOSError("Cannot receive echo replies", errno);
        }
        if (from.sin_addr.s_addr != to.sin_addr.s_addr) continue;
        const unsigned char* icmp = buf.data();
        std::size_t size = static_cast<std::size_t>(got);
        if (raw) {  // a raw socket hands over the IP header too
            if (size < 20) continue;
            const std::size_t ipHeader = (buf[0] & 0x0F) * 4u;
            if (ipHeader < 20 || ipHeader > size) continue;
            icmp += ipHeader;
            size -= ipHeader;
        }
        if (!IsReplyTo(icmp, size, echo, raw)) continue;
        result.Answered = true;
        result.RoundTripMs = static_cast<int>(posix::NowMs() - start);
        return result;
    }
}

// Opens the ICMP socket of the kind asked for; -1 with errno when this
// process may not.
int OpenIcmp(bool raw) {
    return ::socket(AF_INET, (raw ? SOCK_RAW : SOCK_DGRAM) | SOCK_CLOEXEC, IPPROTO_ICMP);
}

bool NotPermitted(int err) {
    return err == EPERM || err == EACCES || err == EPROTONOSUPPORT || err == ESOCKTNOSUPPORT;
}

TPingResult PingSocket(const sockaddr_in& to, const Echo& echo, int timeoutMs, int fd, bool raw) {
    try {
        TPingResult r = Exchange(fd, to, echo, timeoutMs, raw);
        ::close(fd);
        return r;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

// One run of the system's ping program. Returns false in started when it could
// not be run at all.
TPingResult PingProgram(const sockaddr_in& to, int timeoutMs, bool& started) {
    TPingResult result;
    started = false;
    const std::string target = StringToUtf8(posix::AddressText(to));
    // ping waits whole seconds at least; the wait below ends at the caller's
    // time-out whatever ping does.
    const std::string waitSeconds = std::to_string(std::max(1, (timeoutMs + 999) / 1000));
    std::vector<std::string> args = {"ping", "-n", "-q", "-c", "1", "-W", waitSeconds, target};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) posix::RaiseOSError("Cannot run ping", errno);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    pid_t pid = -1;
    const std::int64_t start = posix::NowMs();
    const int rc = ::posix_spawnp(&pid, "ping", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        return result;
    }
    started = true;
    // The output is only drained, so that ping never blocks on a full pipe.
    const std::int64_t deadline = start + timeoutMs;
    bool open = true;
    while (open && posix::MsLeft(deadline) > 0) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const int n = ::poll(&p, 1, posix::MsLeft(deadline));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        char buf[512];
        const ssize_t got = ::read(pipeFds[0], buf, sizeof buf);
        if (got <= 0 && !(got < 0 && errno == EINTR)) open = false;
    }
    ::close(pipeFds[0]);
    int status = 0;
    pid_t done = ::waitpid(pid, &status, open ? WNOHANG : 0);
    if (done == 0) {  // still waiting after the time-out: not answered
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
        return result;
    }
    if (done == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        result.Answered = true;
        result.RoundTripMs = static_cast<int>(posix::NowMs() - start);
    }
    return result;
}

}  // namespace

TPingResult Ping(const String& address, int timeoutMs, TPingMethod method) {
    const sockaddr_in to = posix::ResolveIPv4(address, 0);
    if (timeoutMs < 0) timeoutMs = 0;
    const Echo echo = NewEcho(address);
    std::string tried;

    if (method == TPingMethod::Automatic || method == TPingMethod::RawSocket) {
        const int fd = OpenIcmp(true);
        if (fd >= 0) return PingSocket(to, echo, timeoutMs, fd, true);
        if (!NotPermitted(errno) || method == TPingMethod::RawSocket)
            posix::RaiseOSError("Cannot open a raw ICMP socket", errno);
        tried += "raw ICMP socket: " + posix::ErrnoText(errno) + "; ";
    }
    if (method == TPingMethod::Automatic || method == TPingMethod::DatagramSocket) {
        const int fd = OpenIcmp(false);
        if (fd >= 0) return PingSocket(to, echo, timeoutMs, fd, false);
        if (!NotPermitted(errno) || method == TPingMethod::DatagramSocket)
            posix::RaiseOSError("Cannot open an ICMP datagram socket (net.ipv4.ping_group_range)", errno);
        tried += "ICMP datagram socket: " + posix::ErrnoText(errno) + "; ";
    }
    bool started = false;
    const TPingResult r = PingProgram(to, timeoutMs, started);
    if (!started) throw EOSError("Cannot ping " + StringToUtf8(address) + ": " + tried + "no ping program found");
    return r;
}
