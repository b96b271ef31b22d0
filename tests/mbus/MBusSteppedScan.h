#pragma once
// The scan thread left unstarted, its state machine stepped by the test on a
// clock of the test's own, against the simulated converter: each step waits
// until the converter has handled what was sent and its answer has landed,
// so that no test waits for a time-out in real time.
#include "mbus/MBusScanDecode.h"
#include "support/SimConverter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

// The test's time: the tick moves only when the scan pauses or the test steps.
struct TFakeClock : TScanClock {
    std::atomic<Cardinal>& Now;
    explicit TFakeClock(std::atomic<Cardinal>& now) : Now(now) {}
    Cardinal Tick() override { return Now; }
    void Wait(Cardinal ms) override { Now += ms; }
};

class TSteppedScan : public TMBusScanDecode {
public:
    explicit TSteppedScan(std::atomic<Cardinal>& now) : TMBusScanDecode(true, std::make_unique<TFakeClock>(now)) {}
    Cardinal Sends() const { return Send_Count; }
    bool Landed() { return Answer(); }
    void Deliver(const ByteString& data) { UDP_ServerUDPRead(TUdpDatagram{data, kSimAddress, 10000}); }
    int Length() const { return Ans_Len; }
};

// One step of 40 ms of the test's time. Handled counts the datagrams the
// simulator has handled so far.
inline void Step_Scan(TSteppedScan& scan, TSimConverter& sim, std::size_t& handled, std::atomic<Cardinal>& now) {
    const Cardinal sendsBefore = scan.Sends();
    const std::size_t answersBefore = sim.SentCount();
    scan.Scan_Decode();
    if (scan.Sends() != sendsBefore) {
        ASSERT_TRUE(sim.WaitForHandled(handled += scan.Sends() - sendsBefore));
        if (sim.SentCount() != answersBefore) {
            for (int k = 0; k < 2000 && !scan.Landed(); ++k) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ASSERT_TRUE(scan.Landed());
        }
    }
    now += 40;
}
