#pragma once
// A pseudo-terminal pair for the serial road: the test plays the M-Bus line
// (the meters) on the master side, the component opens the slave device by
// its path.

#include <gtest/gtest.h>

#include <chrono>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

struct MBusPty {
    int master = -1;
    std::string slave;
    MBusPty() {
        int slaveFd = -1;
        char name[256] = {};
        if (::openpty(&master, &slaveFd, name, nullptr, nullptr) != 0) return;
        slave = name;
        ::close(slaveFd);  // the component opens its own
    }
    ~MBusPty() {
        if (master >= 0) ::close(master);
    }
    void Write(const std::string& bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Reads until n bytes came or 2 s passed.
    std::string Read(std::size_t n) const {
        std::string out;
        const auto t0 = std::chrono::steady_clock::now();
        while (out.size() < n && std::chrono::steady_clock::now() - t0 < std::chrono::seconds(2)) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buf[512];
            const ssize_t got = ::read(master, buf, std::min(sizeof buf, n - out.size()));
            if (got > 0) out.append(buf, static_cast<std::size_t>(got));
        }
        return out;
    }
};
