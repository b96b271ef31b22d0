#pragma once
// UDP datagram sockets (IPv4) and a listener thread that hands every datagram
// to a callback. Used for the converter's scan link, the wireless mode and the
// diagnostic commands.
//
// Errors: every failure (address in use, an address text that names no IPv4
// address, a destination that cannot be reached, a closed socket) raises
// EOSError with a message naming the address and port; nothing is dropped
// silently.
//
// Address reuse: a socket may bind the same port as another socket on a
// different local address (127.0.0.1:P and 127.0.0.2:P); Linux allows that as
// it is. SO_REUSEADDR is deliberately not set: on Linux it would let a second
// socket bind the very same address and port and silently take the first
// one's datagrams, where the user must be told that the port is in use.

#include "framework/System.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

// One received datagram and its sender.
struct TUdpDatagram {
    ByteString Data;
    String Address;  // sender, dotted IPv4
    Word Port = 0;   // sender's port
};

class TUdpSocket {
public:
    TUdpSocket() = default;
    ~TUdpSocket();
    TUdpSocket(const TUdpSocket&) = delete;
    TUdpSocket& operator=(const TUdpSocket&) = delete;

    // Binds to a local address ("" or "0.0.0.0" for every local address) and
    // port (0: the system chooses; LocalPort tells which). Closes an earlier
    // binding first.
    void Bind(const String& address, Word port);
    bool Active() const { return fd_ >= 0; }
    Word LocalPort() const;
    String LocalAddress() const;

    // Sends one datagram. An unbound socket is first bound to any address and
    // a port the system chooses, so answers can come back to it.
    void SendTo(const String& address, Word port, const ByteString& data);

    // Waits up to timeoutMs (0: only looks, negative: without limit) for one
    // datagram; false when none came. Datagrams are never cut.
    bool ReceiveFrom(TUdpDatagram& datagram, int timeoutMs);

    void Close();

    // The descriptor, for a listener's poll loop; -1 when closed.
    int Handle() const { return fd_; }

private:
    void Open();
    int fd_ = -1;
};

// A socket with its own thread that receives datagrams and calls OnDatagram
// for each, on that thread. The callback must hand work for windows over to
// the user-interface thread itself. An exception escaping OnDatagram goes to
// OnError and reception goes on. Stop (and the destructor) wake the thread and
// wait for it; a callback running at that moment is finished first.
class TUdpListener {
public:
    using TDatagramEvent = std::function<void(const TUdpDatagram&)>;
    using TErrorEvent = std::function<void(const String& message)>;

    explicit TUdpListener(TDatagramEvent onDatagram, TErrorEvent onError = {});
    ~TUdpListener();
    TUdpListener(const TUdpListener&) = delete;
    TUdpListener& operator=(const TUdpListener&) = delete;

    // Binds (as TUdpSocket::Bind) and starts the thread. A listener already
    // running is stopped first. Raises EOSError when the bind fails.
    void Start(const String& address, Word port);
    // Stops the thread and closes the socket. Called from the callback itself,
    // it only asks the thread to end after the callback; the thread is waited
    // for and the socket closed at the next Start, Stop or destruction.
    void Stop();
    bool Active() const { return running_; }
    Word LocalPort() const { return socket_.LocalPort(); }

    // Sends from the listening socket, so that answers return to it.
    void SendTo(const String& address, Word port, const ByteString& data);

private:
    void Run();
    void StopLocked();
    void Report(const String& message);

    TDatagramEvent onDatagram_;
    TErrorEvent onError_;
    TUdpSocket socket_;
    std::thread thread_;
    int wakeFd_ = -1;
    std::atomic<bool> running_{false};
    std::atomic<std::thread::id> threadId_{};
    std::mutex mutex_;  // Start and Stop from different threads
};
