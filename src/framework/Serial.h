#pragma once
// Serial ports of this machine: the list of ports, and a port opened
// exclusively in raw mode with any baud rate, framing, modem lines and an
// event thread. Used by the M-Bus scan's serial road.
//
// Failures raise EOSError with a message naming the device.

#include "framework/System.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// ---------------------------------------------------------------------------
// Port names.
//
// The original named ports "COM" + n and opened "\\.\COM" + n. Here the ports
// are the devices EnumerateSerialPorts finds, in its order:
//   1. /dev/ttyS<n> that are real UARTs (the kernel reports a UART type),
//   2. /dev/ttyUSB<n> (USB serial adapters),
//   3. /dev/ttyACM<n> (USB modems and CDC devices),
//      each group by its number;
//   4. devices that only /dev/serial/by-id names, by that name.
// A port's Name is the device's name ("ttyUSB0") or its by-id name; its
// Description is the by-id name of the adapter when there is one.
// "COM<n>" (also "\\.\COM<n>") means the n-th port of that list, counted from
// 1; SerialPortDevice turns any of these names into the device path.

struct TSerialPortEntry {
    String Name;         // "ttyUSB0", shown to the user
    String Device;       // "/dev/ttyUSB0", what TSerialPort::Open takes
    String Description;  // "usb-FTDI_FT232R_USB_UART_A5028-if00-port0", or empty
};

std::vector<TSerialPortEntry> EnumerateSerialPorts();
// The same below other roots than "/dev" and "/sys" (for tests).
std::vector<TSerialPortEntry> EnumerateSerialPorts(const std::string& devRoot, const std::string& sysRoot);

// The device path of a port name: "COM<n>" or "\\.\COM<n>" -> the n-th entry
// of ports; a port's Name -> its Device; "ttyXYZ" -> "/dev/ttyXYZ"; a path
// beginning with "/" -> itself. Raises EOSError for a COM number beyond the
// list.
String SerialPortDevice(const String& portName, const std::vector<TSerialPortEntry>& ports);
String SerialPortDevice(const String& portName);  // with EnumerateSerialPorts()

// ---------------------------------------------------------------------------
// Settings.

enum class TSerialParity { None, Odd, Even, Mark, Space };
// Linux has no 1.5 stop bits: OneAndHalf sends two.
enum class TSerialStopBits { One, OneAndHalf, Two };
enum class TSerialFlowControl { None, RtsCts, XonXoff };

struct TSerialSettings {
    Cardinal BaudRate = 9600;  // any rate the device can make, standard or not
    int DataBits = 8;          // 5 to 8
    TSerialParity Parity = TSerialParity::None;
    TSerialStopBits StopBits = TSerialStopBits::One;
    TSerialFlowControl FlowControl = TSerialFlowControl::None;
    bool operator==(const TSerialSettings&) const = default;
};

struct TModemLines {
    bool CTS = false;
    bool DSR = false;
    bool RING = false;
    bool CD = false;  // carrier detect (the original's RLSD)
    bool operator==(const TModemLines&) const = default;
};

// Callbacks of the event thread; they run on that thread and must hand work
// for windows over to the user-interface thread themselves. Empty ones are
// skipped. An exception escaping OnReceive or OnLinesChanged goes to OnError
// and the thread goes on.
struct TSerialEvents {
    // Bytes received; while this is set the event thread reads the input, so
    // Read is not used at the same time.
    std::function<void(const ByteString& bytes)> OnReceive;
    // CTS, DSR, RING or CD changed (not on devices without modem lines).
    std::function<void(const TModemLines& lines)> OnLinesChanged;
    // The device failed or went away; the event thread ends after it.
    std::function<void(const String& message)> OnError;
};

// ---------------------------------------------------------------------------

class TSerialPort {
public:
    TSerialPort() = default;
    ~TSerialPort();
    TSerialPort(const TSerialPort&) = delete;
    TSerialPort& operator=(const TSerialPort&) = delete;

    // Opens the device exclusively in raw mode (no echo, no line editing, no
    // character translation) and applies the settings. A port that another
    // port object or program holds is refused ("in use"). Settings the device
    // does not keep raise, except on a pseudo-terminal, which the kernel
    // always keeps at 8 bits without parity.
    void Open(const String& device, const TSerialSettings& settings);
    // Stops the event thread (waiting for a callback that runs) and closes.
    // Closing a closed port does nothing. Not from the port's own callbacks.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const String& Device() const { return device_; }

    void Configure(const TSerialSettings& settings);
    // The settings as the device now has them.
    TSerialSettings Settings() const;

    // Waits up to timeoutMs for the first byte, then returns what has arrived,
    // at most maxCount bytes; empty when nothing came in time.
    ByteString Read(std::size_t maxCount, int timeoutMs);
    // Writes within timeoutMs; returns the number of bytes taken (fewer when
    // the time ran out).
    std::size_t Write(const ByteString& data, int timeoutMs);
    // Bytes waiting in the input and output queues.
    int InQueCount() const;
    int OutQueCount() const;
    // Waits up to timeoutMs until the output has been sent; true when it has.
    bool Flush(int timeoutMs);
    // Discards what is waiting to be read, or to be sent.
    void PurgeIn();
    void PurgeOut();

    void SetBreak(bool on);
    // Holds back (true) or lets go (false) what this side sends, as an XOFF
    // or XON from the other side would.
    void SetOutputSuspended(bool on);
    // Modem lines. A device without them (a pseudo-terminal) raises EOSError
    // saying so; the port stays usable.
    void SetDTR(bool on);
    void SetRTS(bool on);
    TModemLines ModemLines() const;
    bool HasModemLines() const;

    // Starts the event thread; it runs until StopEvents or Close.
    void StartEvents(TSerialEvents events);
    void StopEvents();

private:
    void RequireOpen(const char* what) const;
    void SetLine(int bit, bool on, const char* name);
    void RunEvents();

    int fd_ = -1;
    String device_;
    std::string deviceUtf8_;
    bool pseudoTerminal_ = false;
    TSerialEvents events_;
    std::thread thread_;
    int wakeFd_ = -1;
    std::atomic<bool> stopping_{false};
};
