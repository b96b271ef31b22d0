#pragma once
// A one-connection-at-a-time HTTP server on 127.0.0.1 for tests: answers
// every request with "200 OK" and the given body, or, when silent, holds the
// connection open without a word. Host() is "127.0.0.1:<port>".

#include "framework/System.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(std::string body, bool silent = false) : body_(std::move(body)), silent_(silent) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        listen(fd_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackHttpServer() {
        stop_ = true;
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        thread_.join();
    }
    String Host() const { return S("127.0.0.1:" + std::to_string(port_)); }
    std::string request;

private:
    void Serve() {
        while (!stop_) {
            const int c = accept(fd_, nullptr, nullptr);
            if (c < 0)
                return;
            char buf[2048];
            const ssize_t n = recv(c, buf, sizeof buf, 0);
            if (n > 0)
                request.assign(buf, static_cast<std::size_t>(n));
            if (silent_) {
                while (!stop_)
                    usleep(10000);
            } else {
                const std::string reply = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                          std::to_string(body_.size()) + "\r\n\r\n" + body_;
                send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
            close(c);
        }
    }
    std::string body_;
    bool silent_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
