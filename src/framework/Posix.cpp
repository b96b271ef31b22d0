#include "framework/Posix_p.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace posix {

std::string ErrnoText(int err) {
    char buf[256];
    // GNU strerror_r returns the text, which may or may not be in buf.
    const char* text = strerror_r(err, buf, sizeof buf);
    return text ? std::string(text) : std::string("error ") + std::to_string(err);
}

void RaiseOSError(const std::string& what, int err) {
    throw EOSError(what + ": " + ErrnoText(err));
}

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int MsLeft(std::int64_t deadline) {
    const std::int64_t left = deadline - NowMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

sockaddr_in ResolveIPv4(const String& address, Word port) {
    const std::string text = StringToUtf8(address);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (text.empty()) throw EOSError("No address given (port " + std::to_string(port) + ")");
    // Dotted numbers first: no name service is asked for an address typed as numbers.
    if (inet_pton(AF_INET, text.c_str(), &addr.sin_addr) == 1) return addr;
    // Text of digits and dots that is no address (300.1.2.3, 1.2.3.4.5) is
    // refused at once instead of being asked of the name service.
    if (text.find_first_not_of("0123456789.") == std::string::npos)
        throw EOSError("Bad address \"" + text + "\": not an IPv4 address");
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(text.c_str(), nullptr, &hints, &found);
    if (rc != 0 || !found) {
        const std::string why = rc == EAI_SYSTEM ? ErrnoText(errno) : std::string(gai_strerror(rc));
        throw EOSError("Bad address \"" + text + "\": " + why);
    }
    addr.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return addr;
}

String AddressText(const sockaddr_in& addr) {
    char buf[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr.sin_addr, buf, sizeof buf);
    return Utf8ToString(buf);
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace posix
