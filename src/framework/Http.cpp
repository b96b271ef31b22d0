#include "framework/Http.h"

#include "framework/Posix_p.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>

namespace {

// A reply larger than this is no version text: refused rather than kept.
constexpr std::size_t kMaxReply = 16u << 20;

struct Url {
    std::string host;  // without brackets
    std::string port = "80";
    std::string target = "/";  // path and query
    std::string hostHeader;
};

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

[[noreturn]] void Fail(const std::string& url, const std::string& why) {
    throw EOSError("HTTP request \"" + url + "\" failed: " + why);
}

Url ParseUrl(const std::string& text) {
    Url u;
    const std::string scheme = "http://";
    if (Lower(text.substr(0, scheme.size())) != scheme) Fail(text, "only http:// addresses are supported");
    for (unsigned char c : text)
        if (c <= 0x20 || c >= 0x7F) Fail(text, "the address holds blanks or characters that must be encoded");
    std::string rest = text.substr(scheme.size());
    const auto hash = rest.find('#');
    if (hash != std::string::npos) rest.erase(hash);
    const auto slash = rest.find_first_of("/?");
    std::string authority = rest.substr(0, slash);
    if (slash != std::string::npos) u.target = rest.substr(slash);
    if (u.target[0] == '?') u.target = "/" + u.target;
    if (authority.find('@') != std::string::npos) Fail(text, "user names in the address are not supported");
    u.hostHeader = authority;
    std::string portText;
    if (!authority.empty() && authority[0] == '[') {  // an IPv6 address
        const auto close = authority.find(']');
        if (close == std::string::npos) Fail(text, "bad host");
        u.host = authority.substr(1, close - 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':') Fail(text, "bad host");
            portText = authority.substr(close + 2);
        }
    } else {
        const auto colon = authority.find(':');
        u.host = authority.substr(0, colon);
        if (colon != std::string::npos) portText = authority.substr(colon + 1);
    }
    if (u.host.empty()) Fail(text, "no host");
    if (!portText.empty() || authority.back() == ':') {
        if (portText.empty() || portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(portText) < 1 || std::stoi(portText) > 65535)
            Fail(text, "bad port \"" + portText + "\"");
        u.port = portText;
    }
    return u;
}

// Connects to one of the host's addresses within the deadline.
int Connect(const std::string& url, const Url& u, std::int64_t deadline) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int rc = getaddrinfo(u.host.c_str(), u.port.c_str(), &hints, &list);
    if (rc != 0) Fail(url, "cannot resolve \"" + u.host + "\": " +
                               (rc == EAI_SYSTEM ? posix::ErrnoText(errno) : std::string(gai_strerror(rc))));
    std::string lastError = "no address";
    int fd = -1;
    for (addrinfo* a = list; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            lastError = posix::ErrnoText(errno);
            continue;
        }
        int err = 0;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            err = errno;
            if (err == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                int n;
                while ((n = ::poll(&p, 1, posix::MsLeft(deadline))) < 0 && errno == EINTR) {}
                if (n == 0) {
                    err = ETIMEDOUT;
                } else {
                    socklen_t len = sizeof err;
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
                }
            }
        }
        if (err != 0) {
            lastError = err == ETIMEDOUT ? "no connection within the time-out" : posix::ErrnoText(err);
            posix::CloseFd(fd);
            if (posix::MsLeft(deadline) == 0) break;
        }
    }
    freeaddrinfo(list);
    if (fd < 0) Fail(url, "cannot connect to " + u.hostHeader + ": " + lastError);
    return fd;
}

void SendAll(const std::string& url, int fd, const std::string& data, std::int64_t deadline) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n >= 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN) Fail(url, "cannot send the request: " + posix::ErrnoText(errno));
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, posix::MsLeft(deadline)) == 0) Fail(url, "no reply within the time-out");
    }
}

// Reads until the peer closes, stop(received) is true, or the deadline.
template <class Stop>
void Receive(const std::string& url, int fd, std::string& in, std::int64_t deadline, bool& closed, Stop stop) {
    char buf[8192];
    closed = false;
    while (!stop(in)) {
        pollfd p{fd, POLLIN, 0};
        const int n = ::poll(&p, 1, posix::MsLeft(deadline));
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) Fail(url, "no complete reply within the time-out");
        const ssize_t got = ::recv(fd, buf, sizeof buf, 0);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            Fail(url, "cannot read the reply: " + posix::ErrnoText(errno));
        }
        if (got == 0) {
            closed = true;
            return;
        }
        in.append(buf, static_cast<std::size_t>(got));
        if (in.size() > kMaxReply) Fail(url, "the reply is too large");
    }
}

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// Decodes a chunked body; false when it is incomplete or malformed.
bool Dechunk(const std::string& in, std::string& out, bool& complete) {
    out.clear();
    complete = false;
    std::size_t pos = 0;
    for (;;) {
        const auto eol = in.find("\r\n", pos);
        if (eol == std::string::npos) return true;
        const std::string sizeText = Trim(in.substr(pos, in.find(';', pos) < eol ? in.find(';', pos) - pos : eol - pos));
        if (sizeText.empty() || sizeText.size() > 8 || sizeText.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        const std::size_t size = std::stoul(sizeText, nullptr, 16);
        if (size == 0) {
            complete = true;
            return true;
        }
        if (in.size() < eol + 2 + size + 2) return true;
        out.append(in, eol + 2, size);
        pos = eol + 2 + size + 2;
    }
}

THttpResponse Exchange(const std::string& url, int fd, const Url& u, int timeoutMs) {
    const std::int64_t deadline = posix::NowMs() + timeoutMs;
    SendAll(url, fd,
            "GET " + u.target + " HTTP/1.0\r\nHost: " + u.hostHeader +
                "\r\nAccept: */*\r\nConnection: close\r\n\r\n",
            deadline);

    std::string in;
    bool closed = false;
    std::size_t headerEnd = std::string::npos, bodyStart = 0;
    Receive(url, fd, in, deadline, closed, [&](const std::string& s) {
        headerEnd = s.find("\r\n\r\n");
        bodyStart = headerEnd + 4;
        if (headerEnd == std::string::npos) {  // a server that ends lines with LF alone
            headerEnd = s.find("\n\n");
            bodyStart = headerEnd + 2;
        }
        return headerEnd != std::string::npos;
    });
    if (headerEnd == std::string::npos) {
        if (in.empty()) Fail(url, "the server closed the connection without a reply");
        Fail(url, "the reply ends inside its header");
    }

    // Status line: HTTP/1.x 200 Reason
    THttpResponse r;
    std::string head = in.substr(0, headerEnd);
    std::size_t lineEnd = head.find('\n');
    std::string status = head.substr(0, lineEnd);
    if (!status.empty() && status.back() == '\r') status.pop_back();
    if (status.size() < 12 || status.compare(0, 5, "HTTP/") != 0 || status[8] != ' ' ||
        !std::isdigit(static_cast<unsigned char>(status[9])) || !std::isdigit(static_cast<unsigned char>(status[10])) ||
        !std::isdigit(static_cast<unsigned char>(status[11])) || (status.size() > 12 && status[12] != ' '))
        Fail(url, "the reply is not HTTP (\"" + status.substr(0, 40) + "\")");
    r.StatusCode = std::stoi(status.substr(9, 3));
    r.StatusText = Utf8ToString(status.size() > 13 ? status.substr(13) : std::string());

    long long contentLength = -1;
    bool chunked = false;
    while (lineEnd != std::string::npos) {
        const std::size_t next = head.find('\n', lineEnd + 1);
        std::string line = head.substr(lineEnd + 1, next == std::string::npos ? std::string::npos : next - lineEnd - 1);
        lineEnd = next;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string name = Lower(Trim(line.substr(0, colon)));
        const std::string value = Trim(line.substr(colon + 1));
        if (name == "content-length") {
            if (value.empty() || value.size() > 12 || value.find_first_not_of("0123456789") != std::string::npos)
                Fail(url, "bad Content-Length \"" + value + "\"");
            contentLength = std::stoll(value);
        } else if (name == "transfer-encoding" && Lower(value).find("chunked") != std::string::npos) {
            chunked = true;
        }
    }
    if (contentLength > static_cast<long long>(kMaxReply)) Fail(url, "the reply is too large");

    in.erase(0, bodyStart);
    if (chunked) {
        bool complete = false, ok = true;
        if (!closed) Receive(url, fd, in, deadline, closed, [&](const std::string& s) {
            ok = Dechunk(s, r.Body, complete);
            return !ok || complete;
        });
        ok = ok && Dechunk(in, r.Body, complete);
        if (!ok) Fail(url, "bad chunked body");
        if (!complete) Fail(url, "the reply was cut short");
    } else if (contentLength >= 0) {
        const auto want = static_cast<std::size_t>(contentLength);
        if (!closed) Receive(url, fd, in, deadline, closed, [&](const std::string& s) { return s.size() >= want; });
        if (in.size() < want) Fail(url, "the reply was cut short (" + std::to_string(in.size()) + " of " +
                                            std::to_string(want) + " bytes)");
        in.resize(want);
        r.Body = std::move(in);
    } else {
        // HTTP/1.0 without a length: the body ends where the server closes.
        if (!closed) Receive(url, fd, in, deadline, closed, [](const std::string&) { return false; });
        r.Body = std::move(in);
    }
    return r;
}

}  // namespace

THttpResponse HttpGet(const String& urlText, int timeoutMs) {
    const std::string url = StringToUtf8(urlText);
    const Url u = ParseUrl(url);
    if (timeoutMs < 1) timeoutMs = 1;
    int fd = Connect(url, u, posix::NowMs() + timeoutMs);
    try {
        THttpResponse r = Exchange(url, fd, u, timeoutMs);
        posix::CloseFd(fd);
        return r;
    } catch (...) {
        posix::CloseFd(fd);
        throw;
    }
}
