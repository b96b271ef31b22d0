#pragma once
// ICMP echo ("ping") of an IPv4 address, as the update dialog uses it to find
// the converter.

#include "framework/System.h"

struct TPingResult {
    bool Answered = false;
    int RoundTripMs = -1;  // when answered
};

// How the echo is sent. Automatic takes the first that this process may use:
// a raw ICMP socket (root or CAP_NET_RAW), an unprivileged ICMP datagram
// socket (when the group is inside net.ipv4.ping_group_range), else one run
// of the system's ping program with the same time-out.
enum class TPingMethod { Automatic, RawSocket, DatagramSocket, PingProgram };

// Sends one echo request and waits up to timeoutMs for its reply. Only a reply
// from that address with this request's identifier, sequence number and data
// counts: an unrelated echo reply never makes an address answer.
// Not answered: no reply in time, or the address is unreachable from here (no
// route: reported at once, without waiting).
// Raises EOSError for an address text that names no IPv4 address, and when no
// method can be used (or the method asked for cannot).
TPingResult Ping(const String& address, int timeoutMs, TPingMethod method = TPingMethod::Automatic);
