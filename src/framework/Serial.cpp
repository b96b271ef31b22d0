#include "framework/Serial.h"

#include "framework/Posix_p.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

namespace fs = std::filesystem;

namespace {

// The kernel's termios2, which carries the baud rate as a number and so takes
// rates that have no Bnnn constant. Declared here because the kernel header
// that has it clashes with <termios.h>.
struct KernelTermios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
constexpr unsigned long kGetTermios2 = _IOR('T', 0x2A, KernelTermios2);
constexpr unsigned long kSetTermios2 = _IOW('T', 0x2B, KernelTermios2);
constexpr tcflag_t kBaudOther = 0010000;  // BOTHER: the rate is in c_ospeed
constexpr int kInputBaudShift = 16;       // IBSHIFT: the input rate's field lies above the output one's
constexpr int kLinePollMs = 20;           // how often the event thread looks at the modem lines
constexpr std::size_t kEventReadSize = 4096;

std::string Dev(const std::string& device) { return "serial port " + device; }

// ioctl errors that mean "this device has no such thing" (a pseudo-terminal
// has no modem lines).
bool NotSupported(int err) { return err == ENOTTY || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP; }

int Ioctl(int fd, unsigned long request, void* arg) {
    int rc;
    while ((rc = ::ioctl(fd, request, arg)) < 0 && errno == EINTR) {}
    return rc;
}

// The rates that have a Bnnn constant. They are set by that constant, so that
// programs reading the settings the old way see them; any other rate goes by
// number (BOTHER).
struct StandardRate {
    Cardinal rate;
    tcflag_t code;
};
constexpr StandardRate kStandardRates[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

tcflag_t RateCode(Cardinal rate) {
    for (const auto& r : kStandardRates)
        if (r.rate == rate) return r.code;
    return kBaudOther;
}

// The input lines; false (errno set) when the device has none or fails.
bool ReadModemLines(int fd, TModemLines& lines) {
    int bits = 0;
    if (Ioctl(fd, TIOCMGET, &bits) != 0) return false;
    lines.CTS = bits & TIOCM_CTS;
    lines.DSR = bits & TIOCM_DSR;
    lines.RING = bits & TIOCM_RNG;
    lines.CD = bits & TIOCM_CAR;
    return true;
}

// "ttyUSB12" -> ("ttyUSB", 12); -1 when the name is not prefix + digits.
long NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atol(digits.c_str());
}

// Whether a /dev/ttyS<n> is a real UART: the kernel creates these nodes for
// every possible port, and reports the type of the ones that exist.
bool IsRealUart(const std::string& devPath, const std::string& sysRoot, const std::string& name) {
    std::ifstream typeFile(sysRoot + "/class/tty/" + name + "/type");
    int type = 0;
    if (typeFile >> type) return type != PORT_UNKNOWN;
    const int fd = ::open(devPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY || errno == EACCES;  // present, but in use or not ours
    serial_struct info{};
    const bool real = Ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

}  // namespace

// ---------------------------------------------------------------------------

std::vector<TSerialPortEntry> EnumerateSerialPorts(const std::string& devRoot, const std::string& sysRoot) {
    static const char* const kGroups[] = {"ttyS", "ttyUSB", "ttyACM"};
    std::map<std::pair<int, long>, std::string> found;  // (group, number) -> name
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(devRoot, ec)) {
        const std::string name = entry.path().filename().string();
        for (int g = 0; g < 3; ++g) {
            const long n = NumberAfter(name, kGroups[g]);
            if (n < 0) continue;
            if (g == 0 && !IsRealUart(entry.path().string(), sysRoot, name)) break;
            found[{g, n}] = name;
            break;
        }
    }
    std::vector<TSerialPortEntry> ports;
    for (const auto& [key, name] : found)
        ports.push_back({Utf8ToString(name), Utf8ToString(devRoot + "/" + name), {}});

    // The stable by-id names describe the adapters they point to; a device
    // reachable only through them is listed under that name.
    std::vector<fs::path> links;
    for (const auto& entry : fs::directory_iterator(devRoot + "/serial/by-id", ec)) links.push_back(entry.path());
    std::sort(links.begin(), links.end());
    for (const auto& link : links) {
        const fs::path target = fs::canonical(link, ec);
        if (ec) continue;
        bool known = false;
        for (auto& p : ports) {
            std::error_code ec2;
            if (fs::canonical(fs::path(StringToUtf8(p.Device)), ec2) == target && !ec2) {
                if (p.Description.empty()) p.Description = Utf8ToString(link.filename().string());
                known = true;
                break;
            }
        }
        if (!known) ports.push_back({Utf8ToString(link.filename().string()), Utf8ToString(link.string()), {}});
    }
    return ports;
}

std::vector<TSerialPortEntry> EnumerateSerialPorts() { return EnumerateSerialPorts("/dev", "/sys"); }

String SerialPortDevice(const String& portName, const std::vector<TSerialPortEntry>& ports) {
    std::string name = StringToUtf8(portName);
    if (name.rfind("\\\\.\\", 0) == 0) name.erase(0, 4);
    if (name.size() > 3 && (name[0] == 'C' || name[0] == 'c') && (name[1] == 'O' || name[1] == 'o') &&
        (name[2] == 'M' || name[2] == 'm')) {
        const long n = NumberAfter("COM" + name.substr(3), "COM");
        if (n >= 1) {
            if (static_cast<std::size_t>(n) > ports.size())
                throw EOSError("There is no serial port " + name + " (this machine has " +
                               std::to_string(ports.size()) + ")");
            return ports[static_cast<std::size_t>(n) - 1].Device;
        }
    }
    if (!name.empty() && name[0] == '/') return Utf8ToString(name);
    for (const auto& p : ports)
        if (p.Name == Utf8ToString(name)) return p.Device;
    return Utf8ToString("/dev/" + name);
}

String SerialPortDevice(const String& portName) { return SerialPortDevice(portName, EnumerateSerialPorts()); }

// ---------------------------------------------------------------------------

TSerialPort::~TSerialPort() {
    try {
        Close();
    } catch (...) {
        // Destroyed from its own callback: nothing sound is left to do.
    }
}

void TSerialPort::RequireOpen(const char* what) const {
    if (fd_ < 0) throw EOSError(std::string("Cannot ") + what + ": the serial port is not open");
}

void TSerialPort::Open(const String& device, const TSerialSettings& settings) {
    if (fd_ >= 0) throw EOSError("Cannot open " + Dev(StringToUtf8(device)) + ": this port object already has " +
                                 deviceUtf8_ + " open");
    const std::string path = StringToUtf8(device);
    if (path.empty()) throw EOSError("Cannot open a serial port: no device named");
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == EBUSY) throw EOSError("Cannot open " + Dev(path) + ": it is in use by another program");
        posix::RaiseOSError("Cannot open " + Dev(path), err);
    }
    auto fail = [&](const std::string& why) {
        ::close(fd);
        throw EOSError("Cannot open " + Dev(path) + ": " + why);
    };
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) fail("not a character device");
    // flock refuses a second open by any port object of ours (and by programs
    // that lock the same way); TIOCEXCL makes the kernel refuse other
    // programs' opens (except root's, hence the flock).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) fail("it is in use by another program");
        fail("cannot lock it: " + posix::ErrnoText(errno));
    }
    int exclusive = 0;
    if (Ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive) fail("it is in use by another program");
    termios probe{};
    if (::tcgetattr(fd, &probe) != 0) fail("not a serial port (" + posix::ErrnoText(errno) + ")");
    Ioctl(fd, TIOCEXCL, nullptr);

    // Pseudo-terminal slaves have the majors 136 to 143 (3 in the old scheme).
    const unsigned major = ::major(st.st_rdev);
    pseudoTerminal_ = (major >= 136 && major <= 143) || major == 3;
    fd_ = fd;
    device_ = device;
    deviceUtf8_ = path;
    try {
        Configure(settings);
    } catch (...) {
        Close();
        throw;
    }
    tcflush(fd_, TCIOFLUSH);  // nothing from before the open
}

void TSerialPort::Close() {
    if (fd_ < 0) return;
    StopEvents();
    Ioctl(fd_, TIOCNXCL, nullptr);
    posix::CloseFd(fd_);  // also releases the flock
    device_.clear();
    deviceUtf8_.clear();
}

void TSerialPort::Configure(const TSerialSettings& s) {
    RequireOpen("set the serial port");
    const std::string what = "Cannot set " + Dev(deviceUtf8_);
    if (s.BaudRate == 0) throw EOSError(what + ": the baud rate must be above 0");
    if (s.DataBits < 5 || s.DataBits > 8)
        throw EOSError(what + ": " + std::to_string(s.DataBits) + " data bits (5 to 8 are possible)");

    KernelTermios2 t{};
    if (Ioctl(fd_, kGetTermios2, &t) != 0) posix::RaiseOSError(what, errno);
    // Raw: no break or parity marking, no CR/LF translation, no XON/XOFF
    // unless asked, no output processing, no echo, no line editing, no signals.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                        IXANY | INPCK | IUCLC | IMAXBEL);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | CIBAUD);
    static const tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= kSizes[s.DataBits - 5] | CREAD | CLOCAL;
    switch (s.Parity) {
        case TSerialParity::None: break;
        case TSerialParity::Odd: t.c_cflag |= PARENB | PARODD; break;
        case TSerialParity::Even: t.c_cflag |= PARENB; break;
        case TSerialParity::Mark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case TSerialParity::Space: t.c_cflag |= PARENB | CMSPAR; break;
    }
    if (s.StopBits != TSerialStopBits::One) t.c_cflag |= CSTOPB;  // 1.5 is sent as 2
    if (s.FlowControl == TSerialFlowControl::RtsCts) t.c_cflag |= CRTSCTS;
    if (s.FlowControl == TSerialFlowControl::XonXoff) t.c_iflag |= IXON | IXOFF;
    const tcflag_t code = RateCode(s.BaudRate);
    t.c_cflag |= code | (code << kInputBaudShift);
    t.c_ispeed = t.c_ospeed = s.BaudRate;
    if (Ioctl(fd_, kSetTermios2, &t) != 0) posix::RaiseOSError(what, errno);

    // A device may quietly keep what it cannot do: check what it has now.
    TSerialSettings want = s;
    if (want.StopBits == TSerialStopBits::OneAndHalf) want.StopBits = TSerialStopBits::Two;
    const TSerialSettings got = Settings();
    const double ratio = double(got.BaudRate) / double(s.BaudRate);
    if (ratio < 0.97 || ratio > 1.03)
        throw EOSError(what + ": the device cannot run at " + std::to_string(s.BaudRate) + " baud (it runs at " +
                       std::to_string(got.BaudRate) + ")");
    want.BaudRate = got.BaudRate;
    if (pseudoTerminal_) {
        // The kernel keeps a pseudo-terminal at 8 bits without parity, since
        // nothing is framed there; the rest of the settings it keeps.
        want.DataBits = got.DataBits;
        want.Parity = got.Parity;
    }
    if (!(got == want)) throw EOSError(what + ": the device does not take this framing or flow control");
}

TSerialSettings TSerialPort::Settings() const {
    RequireOpen("read the serial port's settings");
    KernelTermios2 t{};
    if (Ioctl(fd_, kGetTermios2, &t) != 0) posix::RaiseOSError("Cannot read the settings of " + Dev(deviceUtf8_), errno);
    TSerialSettings s;
    s.BaudRate = t.c_ospeed;
    switch (t.c_cflag & CSIZE) {
        case CS5: s.DataBits = 5; break;
        case CS6: s.DataBits = 6; break;
        case CS7: s.DataBits = 7; break;
        default: s.DataBits = 8; break;
    }
    if (!(t.c_cflag & PARENB)) s.Parity = TSerialParity::None;
    else if (t.c_cflag & CMSPAR) s.Parity = (t.c_cflag & PARODD) ? TSerialParity::Mark : TSerialParity::Space;
    else s.Parity = (t.c_cflag & PARODD) ? TSerialParity::Odd : TSerialParity::Even;
    s.StopBits = (t.c_cflag & CSTOPB) ? TSerialStopBits::Two : TSerialStopBits::One;
    s.FlowControl = (t.c_cflag & CRTSCTS)  ? TSerialFlowControl::RtsCts
                    : (t.c_iflag & IXON) ? TSerialFlowControl::XonXoff
                                           : TSerialFlowControl::None;
    return s;
}

ByteString TSerialPort::Read(std::size_t maxCount, int timeoutMs) {
    RequireOpen("read from the serial port");
    const std::int64_t deadline = posix::NowMs() + std::max(timeoutMs, 0);
    ByteString out;
    if (maxCount == 0) return out;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        const int rc = ::poll(&p, 1, posix::MsLeft(deadline));
        if (rc < 0) {
            if (errno == EINTR) continue;
            posix::RaiseOSError("Cannot read from " + Dev(deviceUtf8_), errno);
        }
        if (rc == 0) return out;
        out.resize(maxCount);
        const ssize_t got = ::read(fd_, out.data(), maxCount);
        if (got > 0) {
            out.resize(static_cast<std::size_t>(got));
            return out;
        }
        out.clear();
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got == 0 || errno == EIO) throw EOSError("Cannot read from " + Dev(deviceUtf8_) + ": the device went away");
        posix::RaiseOSError("Cannot read from " + Dev(deviceUtf8_), errno);
    }
}

std::size_t TSerialPort::Write(const ByteString& data, int timeoutMs) {
    RequireOpen("write to the serial port");
    const std::int64_t deadline = posix::NowMs() + std::max(timeoutMs, 0);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            if (errno == EIO) throw EOSError("Cannot write to " + Dev(deviceUtf8_) + ": the device went away");
            posix::RaiseOSError("Cannot write to " + Dev(deviceUtf8_), errno);
        }
        if (posix::MsLeft(deadline) == 0) break;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, posix::MsLeft(deadline)) == 0) break;
    }
    return done;
}

int TSerialPort::InQueCount() const {
    if (fd_ < 0) return -1;
    int n = 0;
    return Ioctl(fd_, FIONREAD, &n) == 0 ? n : -1;
}

int TSerialPort::OutQueCount() const {
    if (fd_ < 0) return -1;
    int n = 0;
    return Ioctl(fd_, TIOCOUTQ, &n) == 0 ? n : -1;
}

bool TSerialPort::Flush(int timeoutMs) {
    RequireOpen("flush the serial port");
    const std::int64_t deadline = posix::NowMs() + std::max(timeoutMs, 0);
    // tcdrain has no time-out; wait for the queue to empty first, so that it
    // is left only the last character's time.
    for (;;) {
        const int left = OutQueCount();
        if (left <= 0) break;
        if (posix::MsLeft(deadline) == 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return ::tcdrain(fd_) == 0 || errno == EINTR;
}

void TSerialPort::PurgeIn() {
    if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

void TSerialPort::PurgeOut() {
    if (fd_ >= 0) ::tcflush(fd_, TCOFLUSH);
}

void TSerialPort::SetBreak(bool on) {
    RequireOpen("set the break state");
    if (Ioctl(fd_, on ? TIOCSBRK : TIOCCBRK, nullptr) != 0)
        posix::RaiseOSError("Cannot " + std::string(on ? "set" : "clear") + " break on " + Dev(deviceUtf8_), errno);
}

void TSerialPort::SetOutputSuspended(bool on) {
    RequireOpen("suspend or resume the output");
    if (::tcflow(fd_, on ? TCOOFF : TCOON) != 0)
        posix::RaiseOSError("Cannot " + std::string(on ? "suspend" : "resume") + " the output of " + Dev(deviceUtf8_),
                            errno);
}

void TSerialPort::SetLine(int bit, bool on, const char* name) {
    RequireOpen("set a modem line");
    if (Ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0) {
        const int err = errno;
        const std::string what = std::string("Cannot ") + (on ? "set " : "clear ") + name + " on " + Dev(deviceUtf8_);
        if (NotSupported(err)) throw EOSError(what + ": the device has no modem lines (" + posix::ErrnoText(err) + ")");
        posix::RaiseOSError(what, err);
    }
}

void TSerialPort::SetDTR(bool on) { SetLine(TIOCM_DTR, on, "DTR"); }
void TSerialPort::SetRTS(bool on) { SetLine(TIOCM_RTS, on, "RTS"); }

TModemLines TSerialPort::ModemLines() const {
    RequireOpen("read the modem lines");
    TModemLines l;
    if (!ReadModemLines(fd_, l)) {
        const int err = errno;
        const std::string what = "Cannot read the modem lines of " + Dev(deviceUtf8_);
        if (NotSupported(err)) throw EOSError(what + ": the device has none (" + posix::ErrnoText(err) + ")");
        posix::RaiseOSError(what, err);
    }
    return l;
}

bool TSerialPort::HasModemLines() const {
    if (fd_ < 0) return false;
    TModemLines l;
    return ReadModemLines(fd_, l);
}

void TSerialPort::StartEvents(TSerialEvents events) {
    RequireOpen("watch the serial port");
    StopEvents();
    events_ = std::move(events);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) posix::RaiseOSError("Cannot watch " + Dev(deviceUtf8_), errno);
    stopping_ = false;
    thread_ = std::thread([this] { RunEvents(); });
}

void TSerialPort::StopEvents() {
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id())
        throw EInvalidOperation("The serial port cannot be stopped or closed from its own event callback");
    stopping_ = true;
    eventfd_write(wakeFd_, 1);
    thread_.join();
    posix::CloseFd(wakeFd_);
}

namespace {

// Runs a callback of the event thread; an exception escaping it is reported
// through OnError (when that is not the one failing) instead of ending the
// program.
template <class Call>
void Guarded(const TSerialEvents& events, Call call) {
    String message;
    try {
        call();
        return;
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = Utf8ToString(e.what());
    } catch (...) {
        message = u"serial port event handler failed";
    }
    try {
        if (events.OnError) events.OnError(message);
    } catch (...) {
        // the error handler itself failed: nothing is left to tell
    }
}

}  // namespace

void TSerialPort::RunEvents() {
    bool watchLines = bool(events_.OnLinesChanged) && HasModemLines();
    TModemLines last;
    watchLines = watchLines && ReadModemLines(fd_, last);
    auto fail = [&](const std::string& why) {
        if (events_.OnError) Guarded(TSerialEvents{}, [&] { events_.OnError(Utf8ToString(Dev(deviceUtf8_) + ": " + why)); });
    };
    std::string buf(kEventReadSize, '\0');
    while (!stopping_) {
        pollfd p[2] = {{fd_, static_cast<short>(events_.OnReceive ? POLLIN : 0), 0}, {wakeFd_, POLLIN, 0}};
        const int rc = ::poll(p, 2, watchLines ? kLinePollMs : -1);
        if (rc < 0) {
            if (errno == EINTR) continue;
            fail(posix::ErrnoText(errno));
            return;
        }
        if (stopping_ || (p[1].revents & POLLIN)) return;
        if (p[0].revents & POLLIN) {
            const ssize_t got = ::read(fd_, buf.data(), buf.size());
            if (got > 0) {
                Guarded(events_, [&] { events_.OnReceive(ByteString(buf.data(), static_cast<std::size_t>(got))); });
            } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
                fail(got == 0 || errno == EIO ? std::string("the device went away") : posix::ErrnoText(errno));
                return;
            }
        } else if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            fail("the device went away");
            return;
        }
        if (watchLines) {
            TModemLines now;
            if (!ReadModemLines(fd_, now)) {
                watchLines = false;
                continue;
            }
            if (!(now == last)) {
                last = now;
                Guarded(events_, [&] { events_.OnLinesChanged(now); });
            }
        }
    }
}
