#pragma once
// A converter on loopback for the tests: a UDP peer bound where the test says
// (127.0.0.2 and a port of the system's choice unless told otherwise) that
// records every datagram with its sender and answers to the sender's address
// and port as the converter does.
//
// It serves, on one socket, what the real converter serves on several ports:
// - the diagnostic commands B0 to B6 of the Modbus master models: 1024 poll
//   states (set by B1 and B6, and by B5 for the polls of one slave), 1024 error
//   counters and the transparent mode (B3), read back by B0, B2 and B4;
// - the M-Bus link: analyzer mode with its serial-parameter command and a
//   table from request frame to answer, and configuration mode with a Telit or
//   RadioCrafts radio module whose commands are answered while the mode is on.
// The converter's text commands are recognised first; in configuration mode
// every other datagram goes to the radio module; otherwise a datagram that
// starts with B0 to B6 is a diagnostic command and, in analyzer mode, any
// other datagram is an M-Bus request frame.
//
// A test can make it stay silent, answer twice, or answer a datagram with a
// given one instead, and can push datagrams (telegrams) of its own.
//
// Echo requests need no simulation: the loopback answers them (kEchoAddress),
// and kSilentAddress of support/NetNamespace.h never answers.

#include "framework/Udp.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

inline constexpr const char16_t* kSimAddress = u"127.0.0.2";
inline constexpr const char16_t* kEchoAddress = u"127.0.0.1";

// The 10 bytes with which the converter tells that no meter answered a
// secondary select: NO_SLAVE, line feed, carriage return.
inline const ByteString kNoSlaveReply = ByteString("NO_SLAVE\n\r", 10);

enum class TSimRadioModule { Telit, RadioCrafts };

class TSimConverter {
public:
    static constexpr int kPolls = 1024;

    TSimConverter();
    ~TSimConverter();
    TSimConverter(const TSimConverter&) = delete;
    TSimConverter& operator=(const TSimConverter&) = delete;

    // Binds and starts listening (EOSError when the bind fails).
    void Start(const String& address = kSimAddress, Word port = 0);
    void Stop();
    Word Port() const { return listener_.LocalPort(); }

    // What arrived, in order, with the senders.
    std::vector<TUdpDatagram> Received() const;
    // Waits until at least count datagrams have arrived in all; false after
    // timeoutMs without them.
    bool WaitForReceived(std::size_t count, int timeoutMs = 2000) const;
    // Waits until at least count datagrams have been sent (answers and pushes).
    bool WaitForSent(std::size_t count, int timeoutMs = 2000) const;
    std::size_t SentCount() const;
    // Waits until count datagrams have been handled in all: received and
    // answered (or left unanswered), so that a test knows whether an answer
    // is on its way.
    bool WaitForHandled(std::size_t count, int timeoutMs = 2000) const;

    // How it answers.
    void SetSilent(bool silent);
    void SetAnswerTwice(bool twice);
    // The next datagram that arrives is answered with data instead of its own
    // answer (even one that the converter would leave unanswered); queued in
    // order for the following ones.
    void AnswerNextWith(const ByteString& data);
    // Sends data to the last sender (false when nothing has arrived yet).
    bool Push(const ByteString& data);

    // Diagnostic service: poll i (0..1023) disabled, its error counter, the
    // slave address that its requests go to (for B5), the transparent mode.
    bool PollDisabled(int poll) const;
    void SetPollDisabled(int poll, bool disabled);
    void SetErrorCounter(int poll, std::uint32_t count);
    void SetPollSlave(int poll, int slave);
    Byte TransparentMode() const;
    void SetTransparentMode(Byte mode);

    // M-Bus link.
    bool AnalyzerMode() const;
    bool ConfigurationMode() const;
    // Baud rate and parity byte of the last serial-parameter command (0, 0
    // before one).
    std::uint32_t SerialBaud() const;
    Byte SerialParity() const;
    // The answer of the meters to a request frame in analyzer mode (E5, a long
    // frame, kNoSlaveReply); a frame not in the table is left unanswered, as
    // when no meter is on the line.
    void SetFrameAnswer(const ByteString& request, const ByteString& answer);
    // Answers that request once each, in the order added, before the table's
    // answer: meters that share a request (the selected meter's address FD)
    // answer it in turn.
    void AddFrameAnswer(const ByteString& request, const ByteString& answer);
    void SetRadioModule(TSimRadioModule module);

private:
    void OnDatagram(const TUdpDatagram& d);
    // The answer to one datagram, empty for none; called with the lock held.
    ByteString Answer(const ByteString& data);
    ByteString Diagnostic(const ByteString& data);
    ByteString RadioModule(const ByteString& data) const;
    void Send(const String& address, Word port, const ByteString& data);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<TUdpDatagram> received_;
    std::size_t sent_ = 0;
    std::size_t handled_ = 0;
    bool silent_ = false;
    bool twice_ = false;
    std::deque<ByteString> instead_;

    std::array<bool, kPolls> disabled_{};
    std::array<std::uint32_t, kPolls> errors_{};
    std::array<int, kPolls> slave_{};
    Byte transparent_ = 0;

    bool analyzer_ = false;
    bool configuration_ = false;
    std::uint32_t baud_ = 0;
    Byte parity_ = 0;
    std::map<ByteString, ByteString> frames_;
    std::map<ByteString, std::deque<ByteString>> frameTurns_;
    TSimRadioModule radio_ = TSimRadioModule::Telit;

    TUdpListener listener_;  // last: its thread ends before the state above goes
};
