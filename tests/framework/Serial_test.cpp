#include "framework/Serial.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// A pseudo-terminal pair: the test plays the meter on the master side, the
// port under test opens the slave device by its path.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        int slaveFd = -1;
        char name[256] = {};
        if (::openpty(&master, &slaveFd, name, nullptr, nullptr) != 0) return;
        slave = name;
        ::close(slaveFd);  // the port opens its own
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
    void Write(const std::string& bytes) const { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    // Reads until n bytes came or 2 s passed.
    std::string Read(std::size_t n) const {
        std::string out;
        const auto t0 = Clock::now();
        while (out.size() < n && MsSince(t0) < 2000) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buf[512];
            const ssize_t got = ::read(master, buf, std::min(sizeof buf, n - out.size()));
            if (got > 0) out.append(buf, static_cast<std::size_t>(got));
        }
        return out;
    }
};

std::string AllByteValues() {
    std::string s;
    for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
    return s;
}

TSerialSettings Frame(Cardinal baud, int bits, TSerialParity parity, TSerialStopBits stop) {
    TSerialSettings s;
    s.BaudRate = baud;
    s.DataBits = bits;
    s.Parity = parity;
    s.StopBits = stop;
    return s;
}

}  // namespace

// A pseudo-terminal starts in line mode, which would hold bytes back until a
// line end, turn CR into LF, eat ^C and XON/XOFF: raw mode passes every value.
TEST(Serial, EveryByteValuePassesUnchangedBothWays) {
    Pty pty;
    ASSERT_GE(pty.master, 0);
    TSerialPort port;
    port.Open(Utf8ToString(pty.slave), Frame(2400, 8, TSerialParity::Even, TSerialStopBits::One));
    const std::string all = AllByteValues();

    pty.Write(all);
    std::string got;
    const auto t0 = Clock::now();
    while (got.size() < all.size() && MsSince(t0) < 2000) got += port.Read(all.size() - got.size(), 200);
    EXPECT_EQ(got, all);

    EXPECT_EQ(port.Write(all, 1000), all.size());
    EXPECT_TRUE(port.Flush(1000));
    EXPECT_EQ(pty.Read(all.size()), all);

    // A single short frame arrives without waiting for anything more.
    pty.Write("\xE5");
    EXPECT_EQ(port.Read(16, 1000), "\xE5");
}

TEST(Serial, FramingSettingsAreAcceptedAsGiven) {
    Pty pty;
    ASSERT_GE(pty.master, 0);
    // As another program sees the device (opened before the port takes it
    // exclusively). A pseudo-terminal keeps 8 bits without parity whatever is
    // asked, but keeps the parity kind's other flags, the rate and the stop bits.
    const int other = ::open(pty.slave.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    auto view = [&] {
        termios t{};
        EXPECT_EQ(::tcgetattr(other, &t), 0);
        return t;
    };
    TSerialPort port;
    port.Open(Utf8ToString(pty.slave), Frame(2400, 8, TSerialParity::Even, TSerialStopBits::One));
    termios t = view();
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_FALSE(t.c_cflag & CMSPAR);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_EQ(::cfgetospeed(&t), speed_t(B2400));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(t.c_iflag & (ICRNL | IXON));
    EXPECT_FALSE(t.c_oflag & OPOST);

    struct Case {
        TSerialSettings set;
        tcflag_t flags;  // of PARODD, CMSPAR, CSTOPB
    } cases[] = {
        {Frame(300, 7, TSerialParity::Odd, TSerialStopBits::Two), PARODD | CSTOPB},
        {Frame(115200, 8, TSerialParity::None, TSerialStopBits::One), 0},
        {Frame(250000, 8, TSerialParity::Mark, TSerialStopBits::One), PARODD | CMSPAR},  // no Bnnn for 250000
        {Frame(1234, 6, TSerialParity::Space, TSerialStopBits::One), CMSPAR},
        {Frame(9600, 5, TSerialParity::Even, TSerialStopBits::OneAndHalf), CSTOPB},  // 1.5 is sent as 2
    };
    for (const auto& c : cases) {
        port.Configure(c.set);
        const TSerialSettings got = port.Settings();
        EXPECT_EQ(got.BaudRate, c.set.BaudRate);
        EXPECT_EQ(got.StopBits, c.flags & CSTOPB ? TSerialStopBits::Two : TSerialStopBits::One);
        EXPECT_EQ(view().c_cflag & (PARODD | CMSPAR | CSTOPB), c.flags) << c.set.BaudRate;
    }
    TSerialSettings flow = Frame(19200, 8, TSerialParity::None, TSerialStopBits::One);
    flow.FlowControl = TSerialFlowControl::XonXoff;
    port.Configure(flow);
    EXPECT_EQ(port.Settings(), flow);

    EXPECT_THROW(port.Configure(Frame(9600, 4, TSerialParity::None, TSerialStopBits::One)), EOSError);
    EXPECT_THROW(port.Configure(Frame(0, 8, TSerialParity::None, TSerialStopBits::One)), EOSError);
    ::close(other);
}

TEST(Serial, ReadWaitsForItsTimeOut) {
    Pty pty;
    TSerialPort port;
    port.Open(Utf8ToString(pty.slave), TSerialSettings{});
    auto t0 = Clock::now();
    EXPECT_EQ(port.Read(10, 200), "");
    EXPECT_GE(MsSince(t0), 190);
    EXPECT_LT(MsSince(t0), 1000);
    EXPECT_EQ(port.InQueCount(), 0);

    pty.Write("abc");
    for (int i = 0; i < 100 && port.InQueCount() < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(port.InQueCount(), 3);
    port.PurgeIn();
    EXPECT_EQ(port.Read(10, 50), "");
}

TEST(Serial, ASecondOpenIsRefusedUntilTheFirstCloses) {
    Pty pty;
    TSerialPort first, second;
    first.Open(Utf8ToString(pty.slave), TSerialSettings{});
    try {
        second.Open(Utf8ToString(pty.slave), TSerialSettings{});
        ADD_FAILURE() << "second open succeeded";
    } catch (const EOSError& e) {
        EXPECT_NE(std::string(e.what()).find("in use"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(pty.slave), std::string::npos) << e.what();
    }
    EXPECT_FALSE(second.IsOpen());
    // Other programs are kept out by the kernel (root passes that check,
    // which is why our own ports also lock the device).
    if (::geteuid() != 0) {
        const int fd = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_LT(fd, 0);
        if (fd >= 0) ::close(fd);
    }
    EXPECT_THROW(first.Open(Utf8ToString(pty.slave), TSerialSettings{}), EOSError);
    first.Close();
    first.Close();  // twice does nothing
    EXPECT_NO_THROW(second.Open(Utf8ToString(pty.slave), TSerialSettings{}));
}

TEST(Serial, DevicesThatAreNoSerialPortsAreRefused) {
    TempDir dir;
    dir.write("file", "x");
    struct Case {
        std::string path;
        std::string says;
    } cases[] = {
        {"/dev/ttyUSB-no-such", "No such file"},
        {dir.file("file"), "not a character device"},
        {"/dev/null", "not a serial port"},
    };
    for (const auto& c : cases) {
        TSerialPort port;
        try {
            port.Open(Utf8ToString(c.path), TSerialSettings{});
            ADD_FAILURE() << "opened " << c.path;
        } catch (const EOSError& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.path), std::string::npos) << e.what();
        }
        EXPECT_FALSE(port.IsOpen());
    }
    TSerialPort closed;
    EXPECT_THROW(closed.Write("x", 10), EOSError);
    EXPECT_THROW(closed.SetDTR(true), EOSError);
    EXPECT_EQ(closed.InQueCount(), -1);
    EXPECT_FALSE(closed.HasModemLines());
}

// A pseudo-terminal has no modem lines: that is said clearly, and the port
// goes on working.
TEST(Serial, MissingModemLinesAreReportedAndThePortCarriesOn) {
    Pty pty;
    TSerialPort port;
    port.Open(Utf8ToString(pty.slave), TSerialSettings{});
    EXPECT_FALSE(port.HasModemLines());
    for (auto act : {+[](TSerialPort& p) { p.SetDTR(true); }, +[](TSerialPort& p) { p.SetRTS(false); },
                     +[](TSerialPort& p) { (void)p.ModemLines(); }}) {
        try {
            act(port);
            ADD_FAILURE() << "no report";
        } catch (const EOSError& e) {
            EXPECT_NE(std::string(e.what()).find("modem lines"), std::string::npos) << e.what();
        }
    }
    EXPECT_NO_THROW(port.SetBreak(true));
    EXPECT_NO_THROW(port.SetBreak(false));
    EXPECT_EQ(port.Write("ok", 500), 2u);
    EXPECT_EQ(pty.Read(2), "ok");
}

TEST(Serial, EventThreadReportsReceivedBytesAndCloseWaitsForIt) {
    Pty pty;
    TSerialPort port;
    port.Open(Utf8ToString(pty.slave), TSerialSettings{});
    std::mutex m;
    std::condition_variable cv;
    std::string received;
    bool inCallback = false, callbackDone = false;
    TSerialEvents events;
    events.OnReceive = [&](const ByteString& bytes) {
        std::unique_lock lock(m);
        received += bytes;
        if (received.find("slow") != std::string::npos) {
            inCallback = true;
            cv.notify_all();
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            lock.lock();
            callbackDone = true;
        }
        cv.notify_all();
    };
    port.StartEvents(events);

    pty.Write("\x68\x03\x03\x68");
    pty.Write("\x73\xFF\x50\xC2\x16");
    {
        std::unique_lock lock(m);
        EXPECT_TRUE(cv.wait_for(lock, std::chrono::seconds(2), [&] { return received.size() >= 9; }));
        EXPECT_EQ(received, "\x68\x03\x03\x68\x73\xFF\x50\xC2\x16");
    }

    pty.Write("slow");
    {
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(2), [&] { return inCallback; }));
    }
    port.Close();  // must wait for the running callback
    EXPECT_TRUE(callbackDone);
    EXPECT_FALSE(port.IsOpen());
}

TEST(Serial, EventThreadReportsADeviceThatGoesAwayAndEnds) {
    auto pty = std::make_unique<Pty>();
    TSerialPort port;
    port.Open(Utf8ToString(pty->slave), TSerialSettings{});
    std::mutex m;
    std::condition_variable cv;
    int errors = 0;
    String message;
    TSerialEvents events;
    events.OnReceive = [](const ByteString&) {};
    events.OnError = [&](const String& text) {
        std::lock_guard lock(m);
        ++errors;
        message = text;
        cv.notify_all();
    };
    port.StartEvents(events);
    pty.reset();  // the other side hangs up
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(2), [&] { return errors > 0; }));
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(errors, 1);  // once, then the thread ended instead of spinning
    EXPECT_NE(StringToUtf8(message).find("went away"), std::string::npos);
    port.Close();
}

TEST(Serial, AnExceptionOfAnEventCallbackIsReportedAndTheThreadGoesOn) {
    Pty pty;
    TSerialPort port;
    port.Open(Utf8ToString(pty.slave), TSerialSettings{});
    std::mutex m;
    std::condition_variable cv;
    std::string received;
    std::vector<String> errors;
    TSerialEvents events;
    events.OnReceive = [&](const ByteString& bytes) {
        if (bytes == "!") throw EConvertError(u"garbled frame");
        std::lock_guard lock(m);
        received += bytes;
        cv.notify_all();
    };
    events.OnError = [&](const String& message) {
        std::lock_guard lock(m);
        errors.push_back(message);
    };
    port.StartEvents(events);
    pty.Write("!");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // two separate reads
    pty.Write("\xE5");
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(2), [&] { return !received.empty(); }));
    EXPECT_EQ(received, "\xE5");
    EXPECT_EQ(errors, std::vector<String>{u"garbled frame"});
}

TEST(SerialPorts, AreListedInTheDocumentedOrderWithTheirAdapterNames) {
    TempDir dir;
    const std::string dev = dir.file("dev"), sys = dir.file("sys");
    for (const char* d : {"/serial/by-id"}) fs::create_directories(dev + d);
    for (const char* name : {"ttyS0", "ttyS1", "ttyS10", "ttyUSB10", "ttyUSB2", "ttyACM0", "ttyXR0", "tty1", "ttyS"})
        dir.write(std::string("dev/") + name, "");
    // ttyS0 and ttyS10 are real UARTs, ttyS1 is a placeholder (type 0).
    for (auto [name, type] : {std::pair{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS10", "4"}}) {
        fs::create_directories(sys + "/class/tty/" + name);
        dir.write(std::string("sys/class/tty/") + name + "/type", type);
    }
    fs::create_symlink("../../ttyUSB2", dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A5028-if00-port0");
    fs::create_symlink("../../ttyXR0", dev + "/serial/by-id/usb-Exar_XR21V1410-if00");

    const auto ports = EnumerateSerialPorts(dev, sys);
    std::vector<std::string> names, devices, descriptions;
    for (const auto& p : ports) {
        names.push_back(StringToUtf8(p.Name));
        devices.push_back(StringToUtf8(p.Device));
        descriptions.push_back(StringToUtf8(p.Description));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ttyS0", "ttyS10", "ttyUSB2", "ttyUSB10", "ttyACM0",
                                               "usb-Exar_XR21V1410-if00"}));
    EXPECT_EQ(devices[2], dev + "/ttyUSB2");
    EXPECT_EQ(devices[5], dev + "/serial/by-id/usb-Exar_XR21V1410-if00");
    EXPECT_EQ(descriptions[2], "usb-FTDI_FT232R_USB_UART_A5028-if00-port0");
    EXPECT_EQ(descriptions[0], "");

    // The original's COM numbers count along this list, from 1.
    struct Case {
        String name;
        std::string device;
    } cases[] = {
        {u"COM1", dev + "/ttyS0"},
        {u"\\\\.\\COM3", dev + "/ttyUSB2"},
        {u"com6", dev + "/serial/by-id/usb-Exar_XR21V1410-if00"},
        {u"ttyACM0", dev + "/ttyACM0"},
        {u"usb-Exar_XR21V1410-if00", dev + "/serial/by-id/usb-Exar_XR21V1410-if00"},
        {u"ttyAMA0", "/dev/ttyAMA0"},
        {u"/dev/pts/7", "/dev/pts/7"},
    };
    for (const auto& c : cases) EXPECT_EQ(StringToUtf8(SerialPortDevice(c.name, ports)), c.device);
    EXPECT_THROW(SerialPortDevice(u"COM7", ports), EOSError);
}

TEST(SerialPorts, ListingThisMachineWorks) {
    // Whatever this machine has: every entry names a device path.
    for (const auto& p : EnumerateSerialPorts()) {
        EXPECT_FALSE(p.Name.empty());
        EXPECT_EQ(p.Device.rfind(u"/dev/", 0), 0u);
    }
}
