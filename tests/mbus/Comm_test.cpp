#include "mbus/Comm.h"

#include "MBusPty.h"
#include "support/TempDir.h"

#include "framework/Threads.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// Serves synchronised calls (where the component's handlers run) until done
// says so or two seconds passed.
template <class Done>
bool PumpUntil(Done done) {
    const auto t0 = std::chrono::steady_clock::now();
    while (!done()) {
        if (std::chrono::steady_clock::now() - t0 > std::chrono::seconds(2)) return false;
        CheckSynchronize(10);
    }
    return true;
}

template <class Call>
std::pair<String, int> CommError(Call call) {
    try {
        call();
    } catch (const ECommError& e) {
        return {e.Message(), e.ErrorCode};
    }
    return {u"(none)", 0};
}

}  // namespace

TEST(Comm, NewComponentIsClosedWithItsDefaults) {
    TComm comm(nullptr);
    EXPECT_FALSE(comm.Enabled());
    EXPECT_EQ(comm.DeviceName(), u"Com2");
    EXPECT_EQ(comm.BaudRate(), br9600);
    EXPECT_EQ(comm.Databits(), da8);
    EXPECT_EQ(comm.Parity(), paNone);
    EXPECT_EQ(comm.Stopbits(), sb10);
    EXPECT_EQ(comm.FlowControl(), fcDefault);
    EXPECT_EQ(comm.MonitorEvents(), 0x1FF);
    EXPECT_EQ(comm.ReadTimeout, 1000);
    EXPECT_EQ(comm.WriteTimeout, 1000);
    EXPECT_EQ(comm.ReadBufSize(), 4096);
    EXPECT_EQ(comm.WriteBufSize(), 2048);
    EXPECT_EQ(comm.EventChars().EventChar(1), 17);
    EXPECT_EQ(comm.EventChars().EventChar(2), 19);
    EXPECT_EQ(comm.InQueCount(), -1);
    EXPECT_EQ(comm.OutQueCount(), -1);
    EXPECT_FALSE(comm.CTS() || comm.DSR() || comm.RING() || comm.RLSD() || comm.CtsHold() || comm.XOffSent());
    comm.Close();
    comm.Close();
}

TEST(Comm, FailuresCarryTheirTextsAndCodes) {
    TempDir dir;
    dir.write("plain", "x");
    MBusPty pty;
    TComm comm(nullptr);

    comm.SetDeviceName(Utf8ToString(dir.file("missing")));
    EXPECT_EQ(CommError([&] { comm.Open(); }),
              std::make_pair(String(u"Error accessing specified device (Error: 2) "), 2));
    comm.SetDeviceName(Utf8ToString(dir.file("plain")));
    EXPECT_EQ(CommError([&] { comm.Open(); }),
              std::make_pair(String(u"Invalid device handle, access denied (Error: -1) "), -1));
    EXPECT_FALSE(comm.Enabled());
    EXPECT_EQ(CommError([&] { comm.SetDTRState(true); }),
              std::make_pair(String(u"Port not open, unable to complete operation (Error: -1) "), -1));

    comm.SetDeviceName(Utf8ToString(pty.slave));
    comm.Open();
    ASSERT_TRUE(comm.Enabled());
    EXPECT_EQ(CommError([&] { comm.Open(); }).first, u"Port already assigned (open) (Error: -1) ");
    EXPECT_EQ(CommError([&] { comm.SetDeviceName(u"/dev/null"); }).first, u"Port already assigned (open) (Error: -1) ");
    comm.SetDeviceName(Utf8ToString(pty.slave));  // the same name is no change
    // A pseudo-terminal has no modem lines: the system refuses the escape.
    const auto dtr = CommError([&] { comm.SetDTRState(true); });
    EXPECT_EQ(dtr.first.rfind(u"EscapeCommFunction failure (Error: ", 0), 0u) << StringToUtf8(dtr.first);
    EXPECT_GT(dtr.second, 0);
    EXPECT_FALSE(comm.CTS());
    EXPECT_EQ(CommError([&] { comm.SetDatabits(da4); }).first, u"Error updating DataControlBlock (Error: 22) ");
    comm.Close();
    EXPECT_EQ(CommError([&] { char b; comm.Read(&b, 1); }).second, EBADF);
}

TEST(Comm, ControlBlockTakesFlowControlOptionsAndLimits) {
    MBusPty pty;
    TComm comm(nullptr);
    comm.SetDeviceName(Utf8ToString(pty.slave));
    comm.SetOptions(1 << coParityCheck | 1 << coNullStrip);
    comm.SetFlowControl(fcSoftware);
    comm.Open();
    EXPECT_EQ(comm.DCB().Flags, 0x01u | 0x100 | 0x200 | 0x02 | 0x800);
    EXPECT_EQ(comm.DCB().XonLim, 1024);
    EXPECT_EQ(comm.DCB().XoffLim, 1024);
    comm.SetFlowControl(fcNone);
    EXPECT_EQ(comm.DCB().Flags, 0x01u | 0x02 | 0x800);
    comm.SetBaudRate(br115200);
    EXPECT_EQ(comm.DCB().BaudRate, 115200u);
}

TEST(Comm, BytesReachTheReceiveHandlerUnchangedAndReadTakesThem) {
    MBusPty pty;
    TComm comm(nullptr);
    comm.SetDeviceName(Utf8ToString(pty.slave));
    std::string got;
    comm.OnRxChar = [&](TObject* sender, int count) {
        EXPECT_EQ(sender, &comm);
        std::string buf(std::size_t(count), '\0');
        buf.resize(std::size_t(comm.Read(buf.data(), Cardinal(count))));
        got += buf;
    };
    comm.Open();
    char none;
    EXPECT_EQ(comm.Read(&none, 1), 0);  // nothing received: at once, nothing
    const std::string control("\x0A\x0D\x11\x13\x00\xE5", 6);
    pty.Write(control);
    EXPECT_TRUE(PumpUntil([&] { return got.size() >= control.size(); }));
    EXPECT_EQ(got, control);
    EXPECT_EQ(comm.Write("\x10\x40\xFF\x3F\x16", 5), 5);
    EXPECT_EQ(pty.Read(5), std::string("\x10\x40\xFF\x3F\x16", 5));
    // Closing while bytes keep coming ends the event thread without a hang.
    pty.Write("\xE5\xE5");
    comm.Close();
    EXPECT_FALSE(comm.Enabled());
}

TEST(Comm, XoffHoldsBackWhatThePortSendsAndXonLetsItGo) {
    MBusPty pty;
    TComm comm(nullptr);
    comm.SetDeviceName(Utf8ToString(pty.slave));
    EXPECT_EQ(CommError([&] { comm.SetXONState(false); }),
              std::make_pair(String(u"Port not open, unable to complete operation (Error: -1) "), -1));
    comm.Open();
    comm.WriteTimeout = 100;
    comm.SetXONState(false);
    EXPECT_EQ(comm.Write("\x10\x40", 2), -1);  // held back: not out within the time-out
    pollfd line{pty.master, POLLIN, 0};
    EXPECT_EQ(::poll(&line, 1, 100), 0);  // nothing reached the line
    comm.SetXONState(true);
    EXPECT_EQ(comm.Write("\x5B\x16", 2), 2);
    EXPECT_EQ(pty.Read(2), "\x5B\x16");
    // Linux does not say that output waits, so the hold flags stay false.
    EXPECT_FALSE(comm.XoffHold() || comm.XOffSent() || comm.CtsHold() || comm.DsrHold() || comm.RlsdHold());
    comm.Close();
}

TEST(Comm, EventWaitsEndSignalledOrAtTheirTimeOut) {
    CommSync::TSimpleEvent manual;
    EXPECT_EQ(manual.WaitFor(20), CommSync::wrTimeout);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        manual.SetEvent();
    });
    EXPECT_EQ(manual.WaitFor(INFINITE), CommSync::wrSignaled);
    setter.join();
    EXPECT_EQ(manual.WaitFor(0), CommSync::wrSignaled);  // a manual event stays set
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(0), CommSync::wrTimeout);

    CommSync::TEvent automatic(false, true);
    EXPECT_EQ(automatic.WaitFor(0), CommSync::wrSignaled);
    EXPECT_EQ(automatic.WaitFor(0), CommSync::wrTimeout);  // it let one waiter through
    EXPECT_EQ(automatic.LastError(), 0);
}
