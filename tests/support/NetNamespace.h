#pragma once
// Runs a piece of a test inside a network namespace of its own, so a test can
// meet an unreachable network or an address that never answers without
// touching the machine's network. The namespace belongs to one thread (and to
// the processes that thread starts): the rest of the test process keeps the
// machine's network.

#include <arpa/inet.h>
#include <net/if.h>
#include <net/route.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

// The documentation network routed into the loopback interface by
// RunInNetNamespace: packets to it leave and are dropped, nothing answers.
inline constexpr const char* kSilentNetwork = "192.0.2.0";
inline constexpr const char* kSilentAddress = "192.0.2.55";

// Runs body on a new thread inside a fresh network namespace that has only the
// loopback interface, switched on, and a route for kSilentNetwork/24 into it.
// Returns "" after body ran, or why the namespace could not be made (body did
// not run); such a test skips with that reason.
inline std::string RunInNetNamespace(const std::function<void()>& body) {
    std::string why;
    std::thread worker([&] {
        if (::unshare(CLONE_NEWNET) != 0) {
            why = std::string("cannot make a network namespace (needs root): ") + std::strerror(errno);
            return;
        }
        const int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq ifr{};
        std::strcpy(ifr.ifr_name, "lo");
        bool ok = s >= 0 && ::ioctl(s, SIOCGIFFLAGS, &ifr) == 0;
        ifr.ifr_flags |= IFF_UP | IFF_RUNNING;
        ok = ok && ::ioctl(s, SIOCSIFFLAGS, &ifr) == 0;
        rtentry rt{};
        auto* dst = reinterpret_cast<sockaddr_in*>(&rt.rt_dst);
        auto* mask = reinterpret_cast<sockaddr_in*>(&rt.rt_genmask);
        dst->sin_family = mask->sin_family = AF_INET;
        inet_pton(AF_INET, kSilentNetwork, &dst->sin_addr);
        inet_pton(AF_INET, "255.255.255.0", &mask->sin_addr);
        char dev[] = "lo";
        rt.rt_dev = dev;
        rt.rt_flags = RTF_UP;
        ok = ok && ::ioctl(s, SIOCADDRT, &rt) == 0;
        if (!ok) why = std::string("cannot set up the namespace's loopback: ") + std::strerror(errno);
        if (s >= 0) ::close(s);
        if (ok) body();
    });
    worker.join();
    return why;
}
