#pragma once
// Internals shared by the socket, serial and process units: error texts of the
// operating system, address parsing and a monotonic clock. Private to the
// framework.

#include "framework/System.h"

#include <netinet/in.h>

#include <cstdint>
#include <string>

namespace posix {

// The system's text for an errno value ("Connection refused").
std::string ErrnoText(int err);

// Raises EOSError "<what>: <system text>".
[[noreturn]] void RaiseOSError(const std::string& what, int err);

// Milliseconds of a clock that never jumps.
std::int64_t NowMs();

// Milliseconds left until deadline (never negative).
int MsLeft(std::int64_t deadline);

// An IPv4 socket address from a dotted address or a host name and a port.
// Raises EOSError naming the text when it names no IPv4 address.
sockaddr_in ResolveIPv4(const String& address, Word port);

// "a.b.c.d" of an IPv4 socket address.
String AddressText(const sockaddr_in& addr);

// Closes a descriptor, retrying nothing (a close interrupted by a signal has
// still released the descriptor on Linux).
void CloseFd(int& fd);

}  // namespace posix
