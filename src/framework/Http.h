#pragma once
// A blocking HTTP GET, as the online version query uses it.
//
// Failures of the exchange itself raise EOSError with a message naming the
// URL: an address that cannot be resolved, no route, a refused connection, no
// connection or no complete reply within the time-out, a reply that is not
// HTTP, a body cut short. A reply with an error status (404, 500, ...) is no
// exception: it is returned, and the caller decides (Ok() tells 2xx).

#include "framework/System.h"

struct THttpResponse {
    int StatusCode = 0;
    String StatusText;  // the reason phrase, "Not Found"
    ByteString Body;
    bool Ok() const { return StatusCode >= 200 && StatusCode <= 299; }
};

// The original had no time-out, so a silent network froze every window.
inline constexpr int kHttpDefaultTimeoutMs = 10000;

// GET of "http://host[:port]/path[?query]" with HTTP/1.0. timeoutMs bounds the
// connection (over all addresses of the host) and, separately, the whole reply
// once connected. Redirections are not followed (returned as their status).
// Resolving a host name is left to the system's resolver and its own limits.
THttpResponse HttpGet(const String& url, int timeoutMs = kHttpDefaultTimeoutMs);
