#include "framework/Udp.h"

#include "framework/Posix_p.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace {

// Larger than any IPv4 UDP payload, so a datagram is never cut.
constexpr std::size_t kMaxDatagram = 65536;

std::string Endpoint(const String& address, Word port) {
    return (address.empty() ? std::string("*") : StringToUtf8(address)) + ":" + std::to_string(port);
}

}  // namespace

TUdpSocket::~TUdpSocket() { Close(); }

void TUdpSocket::Open() {
    Close();
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) posix::RaiseOSError("Cannot create a UDP socket", errno);
}

void TUdpSocket::Bind(const String& address, Word port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!address.empty()) addr = posix::ResolveIPv4(address, port);
    Open();
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        const int err = errno;
        Close();
        posix::RaiseOSError("Cannot listen on UDP " + Endpoint(address, port), err);
    }
}

Word TUdpSocket::LocalPort() const {
    if (fd_ < 0) return 0;
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
    return ntohs(addr.sin_port);
}

String TUdpSocket::LocalAddress() const {
    if (fd_ < 0) return {};
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return {};
    return posix::AddressText(addr);
}

void TUdpSocket::SendTo(const String& address, Word port, const ByteString& data) {
    const sockaddr_in to = posix::ResolveIPv4(address, port);
    if (fd_ < 0) Bind(String(), 0);
    for (;;) {
        const ssize_t sent = ::sendto(fd_, data.data(), data.size(), MSG_NOSIGNAL,
                                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (sent >= 0) return;
        if (errno == EINTR) continue;
        posix::RaiseOSError("Cannot send to UDP " + Endpoint(address, port), errno);
    }
}

bool TUdpSocket::ReceiveFrom(TUdpDatagram& datagram, int timeoutMs) {
    if (fd_ < 0) throw EOSError("UDP socket is not open");
    const std::int64_t deadline = posix::NowMs() + (timeoutMs > 0 ? timeoutMs : 0);
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        const int wait = timeoutMs < 0 ? -1 : posix::MsLeft(deadline);
        const int rc = ::poll(&p, 1, wait);
        if (rc < 0) {
            if (errno == EINTR) continue;
            posix::RaiseOSError("Cannot wait for UDP datagrams", errno);
        }
        if (rc == 0) return false;
        std::string buf(kMaxDatagram, '\0');
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t got = ::recvfrom(fd_, buf.data(), buf.size(), MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&from), &len);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            posix::RaiseOSError("Cannot receive on UDP port " + std::to_string(LocalPort()), errno);
        }
        buf.resize(static_cast<std::size_t>(got));
        datagram.Data = std::move(buf);
        datagram.Address = posix::AddressText(from);
        datagram.Port = ntohs(from.sin_port);
        return true;
    }
}

void TUdpSocket::Close() { posix::CloseFd(fd_); }

// ---------------------------------------------------------------------------

TUdpListener::TUdpListener(TDatagramEvent onDatagram, TErrorEvent onError)
    : onDatagram_(std::move(onDatagram)), onError_(std::move(onError)) {}

TUdpListener::~TUdpListener() { Stop(); }

void TUdpListener::Start(const String& address, Word port) {
    std::lock_guard lock(mutex_);
    StopLocked();
    socket_.Bind(address, port);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        const int err = errno;
        socket_.Close();
        posix::RaiseOSError("Cannot create the listener's wake-up event", err);
    }
    running_ = true;
    thread_ = std::thread([this] { Run(); });
}

void TUdpListener::Stop() {
    if (std::this_thread::get_id() == threadId_.load()) {
        running_ = false;  // from the callback: the loop ends when it returns
        return;
    }
    std::lock_guard lock(mutex_);
    StopLocked();
}

void TUdpListener::StopLocked() {
    running_ = false;
    if (wakeFd_ >= 0) eventfd_write(wakeFd_, 1);
    if (thread_.joinable()) thread_.join();
    threadId_ = std::thread::id();
    socket_.Close();
    posix::CloseFd(wakeFd_);
}

void TUdpListener::SendTo(const String& address, Word port, const ByteString& data) {
    if (!socket_.Active()) throw EOSError("Cannot send to UDP " + StringToUtf8(address) + ":" +
                                          std::to_string(port) + ": the listener is not started");
    socket_.SendTo(address, port, data);
}

void TUdpListener::Report(const String& message) {
    if (!onError_) return;
    try {
        onError_(message);
    } catch (...) {
        // the error handler itself failed: nothing is left to tell
    }
}

void TUdpListener::Run() {
    threadId_ = std::this_thread::get_id();
    const int fd = socket_.Handle();
    while (running_) {
        pollfd p[2] = {{fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int rc = ::poll(p, 2, -1);
        if (rc < 0) {
            if (errno == EINTR) continue;
            Report(Utf8ToString("UDP listener stopped: " + posix::ErrnoText(errno)));
            break;
        }
        if (!running_ || (p[1].revents & POLLIN)) break;
        if (p[0].revents & POLLNVAL) {
            Report(u"UDP listener stopped: the socket was closed");
            break;
        }
        if (p[0].revents & POLLERR) {  // a pending socket error: reading it clears it
            int err = 0;
            socklen_t len = sizeof err;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
            if (err != 0) Report(Utf8ToString("UDP port " + std::to_string(socket_.LocalPort()) + ": " +
                                              posix::ErrnoText(err)));
        }
        if (!(p[0].revents & POLLIN)) continue;
        TUdpDatagram datagram;
        try {
            if (!socket_.ReceiveFrom(datagram, 0)) continue;
        } catch (const Exception& e) {
            // Reported, and the listener goes on: a passing error (for example
            // memory) must not end the window's reception for good.
            Report(e.Message());
            continue;
        }
        if (!onDatagram_) continue;
        // An exception of the callback is reported and reception goes on: one
        // bad datagram must not end the listener or the program.
        try {
            onDatagram_(datagram);
        } catch (const Exception& e) {
            Report(e.Message());
        } catch (const std::exception& e) {
            Report(Utf8ToString(e.what()));
        } catch (...) {
            Report(u"UDP datagram handler failed");
        }
    }
}
