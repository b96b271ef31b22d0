#include "mbus/Comm.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr Cardinal Baudrate_Table[] = {110,   300,   600,    1200,   2400,   4800,    9600,   14400,  19200,
                                       38400, 56000, 57600,  115200, 128000, 256000, 1500000, 3000000};

// Device-control-block flag bits.
constexpr Cardinal fBinary = 0x01, fOutxCtsFlow = 0x04, fOutxDsrFlow = 0x08, fDtrHandshake = 0x20,
                   fOutX = 0x100, fInX = 0x200, fRtsHandshake = 0x2000;
// The flag bit of each TCommOption, in declaration order.
constexpr Cardinal Option_Flag[] = {0x02, 0x40, 0x80, 0x400, 0x800};

// Escape functions.
constexpr int SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6, SETBREAK = 8, CLRBREAK = 9;

// The errno of the system call that just failed inside the framework; a
// failure that left none is reported as an input/output error.
int LastSystemError() { return errno != 0 ? errno : EIO; }

[[noreturn]] void RaiseCommError(const char16_t* Text, int Code) { throw ECommError(Text, Code); }

}  // namespace

namespace CommSync {

THandleObject::~THandleObject() {
    if (FHandle >= 0) ::close(FHandle);
}

TEvent::TEvent(bool ManualReset, bool InitialState) : FManualReset(ManualReset) {
    FHandle = ::eventfd(InitialState ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (FHandle < 0) FError = errno;
}

void TEvent::SetEvent() {
    const std::uint64_t one = 1;
    if (FHandle >= 0 && ::write(FHandle, &one, sizeof one) < 0) FError = errno;
}

void TEvent::ResetEvent() {
    std::uint64_t count = 0;
    if (FHandle >= 0 && ::read(FHandle, &count, sizeof count) < 0 && errno != EAGAIN) FError = errno;
}

TEventWaitResult TEvent::WaitFor(Cardinal Timeout) {
    if (FHandle < 0) {
        FError = EBADF;
        return wrError;
    }
    pollfd p{FHandle, POLLIN, 0};
    int n;
    do {
        n = ::poll(&p, 1, Timeout == INFINITE ? -1 : int(std::min<Cardinal>(Timeout, 0x7FFFFFFF)));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        FError = errno;
        return wrError;
    }
    if (n == 0) return wrTimeout;
    if (!(p.revents & POLLIN)) {
        FError = EIO;
        return wrError;
    }
    if (!FManualReset) ResetEvent();  // an automatic event lets one waiter through
    return wrSignaled;
}

}  // namespace CommSync

ECommError::ECommError(const String& Text, int Code)
    : Exception(Text + Format(u" (Error: %d) ", {Code})), ErrorCode(Code) {}

Cardinal BaudrateValue(TBaudrate B) { return Baudrate_Table[B]; }

void TCommEventChars::SetEventChar(int Index, char Value) {
    FChars[Index - 1] = Value;
    if (FOwner) FOwner->UpdateDataControlBlock();
}

void TCommEventChars::Assign(const TCommEventChars& Source) {
    std::memcpy(FChars, Source.FChars, sizeof FChars);
}

TCustomComm::TCustomComm(TComponent* AOwner) : TComponent(AOwner) {}

TCustomComm::~TCustomComm() {
    try {
        Close();
    } catch (...) {
        // a port that fails while the component goes has nobody left to tell
    }
}

void TCustomComm::CheckClosed() const {
    if (Enabled()) RaiseCommError(u"Port already assigned (open)", -1);
}

void TCustomComm::CreateHandle() {
    String path = FDeviceName;
    if (path.rfind(u"\\\\.\\", 0) == 0 || UpperCase(path).rfind(u"COM", 0) == 0) {
        try {
            path = SerialPortDevice(path);
        } catch (const EOSError&) {
            RaiseCommError(u"Error accessing specified device", ENOENT);
        }
    }
    // The system's own answer for a missing or forbidden device comes from a
    // plain open; the framework's port then takes the device exclusively.
    const std::string utf8 = StringToUtf8(path);
    const int fd = ::open(utf8.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) RaiseCommError(u"Error accessing specified device", errno);
    struct stat st{};
    const bool character = ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode);
    ::close(fd);
    if (!character) RaiseCommError(u"Invalid device handle, access denied", -1);
    TSerialSettings settings;
    settings.BaudRate = BaudrateValue(FBaudRate);
    try {
        errno = 0;
        FPort.Open(path, settings);
    } catch (const EOSError&) {
        RaiseCommError(u"Error accessing specified device", errno != 0 ? errno : EBUSY);
    }
}

void TCustomComm::DestroyHandle() { FPort.Close(); }

void TCustomComm::Open() {
    CheckClosed();
    CreateHandle();
    if (!Enabled()) return;
    {
        std::lock_guard lock(FInMutex);
        FInBuf.clear();
    }
    TSerialEvents events;
    events.OnReceive = [this](const ByteString& bytes) {
        {
            std::lock_guard lock(FInMutex);
            FInBuf += bytes;
        }
        Signal(EV_RXCHAR);
    };
    events.OnLinesChanged = [this](const TModemLines&) { Signal(EV_CTS | EV_DSR | EV_RING | EV_RLSD); };
    events.OnError = [this](const String&) { Signal(EV_ERR); };
    FPort.StartEvents(std::move(events));
    // The time-outs need nothing here: a read takes what has arrived, and the
    // queues are the driver's own.
    UpdateDataControlBlock();
}

// On the event thread: hands the pass to the user-interface thread and waits
// until its handlers have run.
void TCustomComm::Signal(Cardinal Status) {
    Status &= FMonitorEvents;
    if (Status == 0 || FClosing) return;
    TThread::Synchronize(nullptr, [this, Status] { HandleCommEvent(Status); });
}

void TCustomComm::HandleCommEvent(Cardinal Status) {
    // A pass that was waiting while the port closed reaches no handler.
    if (FClosing || !Enabled()) return;
    const int inCount = InQueCount();
    if ((Status & EV_CTS) && OnCts) OnCts(this);
    if ((Status & EV_DSR) && OnDsr) OnDsr(this);
    if ((Status & EV_ERR) && OnError) OnError(this, 0x0400);  // an input/output error of the device
    if ((Status & EV_RING) && OnRing) OnRing(this);
    if ((Status & EV_RLSD) && OnRlsd) OnRlsd(this);
    if ((Status & EV_RXCHAR) && OnRxChar && inCount > 0) OnRxChar(this, inCount);
}

void TCustomComm::Close() {
    if (!Enabled()) return;
    FClosing = true;
    if (IsMainThread()) {
        // The event thread may be waiting for this very thread in a
        // synchronised call: serve those calls while it ends.
        CommSync::TSimpleEvent stopped;
        std::thread stopper([&] {
            FPort.StopEvents();
            stopped.SetEvent();
        });
        while (stopped.WaitFor(0) == CommSync::wrTimeout) CheckSynchronize(5);
        stopper.join();
    } else {
        FPort.StopEvents();
    }
    FPort.PurgeIn();
    FPort.PurgeOut();
    DestroyHandle();
    FClosing = false;
}

int TCustomComm::Write(const void* Buf, Cardinal Count) {
    FCriticalSection.Enter();
    try {
        if (!Enabled()) RaiseCommError(u"Write error", EBADF);
        std::size_t done = 0;
        try {
            errno = 0;
            done = FPort.Write(ByteString(static_cast<const char*>(Buf), Count), WriteTimeout);
        } catch (const EOSError&) {
            RaiseCommError(u"Write error", LastSystemError());
        }
        FCriticalSection.Leave();
        return done == Count ? int(done) : -1;
    } catch (...) {
        FCriticalSection.Leave();
        throw;
    }
}

int TCustomComm::Read(void* Buf, Cardinal Count) {
    FCriticalSection.Enter();
    if (!Enabled()) {
        FCriticalSection.Leave();
        RaiseCommError(u"Read error", EBADF);
    }
    std::lock_guard lock(FInMutex);
    const std::size_t n = std::min<std::size_t>(Count, FInBuf.size());
    std::memcpy(Buf, FInBuf.data(), n);
    FInBuf.erase(0, n);
    FCriticalSection.Leave();
    return int(n);
}

int TCustomComm::InQueCount() {
    if (!Enabled()) return -1;
    std::lock_guard lock(FInMutex);
    return int(FInBuf.size()) + std::max(FPort.InQueCount(), 0);
}

int TCustomComm::OutQueCount() { return Enabled() ? FPort.OutQueCount() : -1; }

void TCustomComm::PurgeIn() {
    if (!Enabled()) return;
    FPort.PurgeIn();
    std::lock_guard lock(FInMutex);
    FInBuf.clear();
}

void TCustomComm::PurgeOut() {
    if (Enabled()) FPort.PurgeOut();
}

bool TCustomComm::GetModemState(int Index) {
    if (!Enabled()) return false;
    try {
        const TModemLines l = FPort.ModemLines();
        const bool lines[] = {l.CTS, l.DSR, l.RING, l.CD};
        return lines[Index - 1];
    } catch (const EOSError&) {
        return false;  // the query failed: the line reads off, as the system's would
    }
}

// Linux reports none of the hold flags: a terminal tells neither that its
// output waits for CTS, DSR, RLSD or an XON, nor that it sent XOFF itself.
bool TCustomComm::GetComState(int) const { return false; }

void TCustomComm::EscapeComm(int Function, bool) {
    if (!Enabled()) RaiseCommError(u"Port not open, unable to complete operation", -1);
    try {
        errno = 0;
        switch (Function) {
            case SETDTR: FPort.SetDTR(true); break;
            case CLRDTR: FPort.SetDTR(false); break;
            case SETRTS: FPort.SetRTS(true); break;
            case CLRRTS: FPort.SetRTS(false); break;
            case SETBREAK: FPort.SetBreak(true); break;
            case CLRBREAK: FPort.SetBreak(false); break;
            // As if the other side had sent XOFF or XON: our own sending stops or goes on.
            case SETXOFF: FPort.SetOutputSuspended(true); break;
            case SETXON: FPort.SetOutputSuspended(false); break;
            default: break;
        }
    } catch (const EOSError&) {
        RaiseCommError(u"EscapeCommFunction failure", LastSystemError());
    }
}

void TCustomComm::SetDTRState(bool State) { EscapeComm(State ? SETDTR : CLRDTR, State); }
void TCustomComm::SetRTSState(bool State) { EscapeComm(State ? SETRTS : CLRRTS, State); }
void TCustomComm::SetXONState(bool State) { EscapeComm(State ? SETXON : SETXOFF, State); }

void TCustomComm::SetBREAKState(bool State) {
    EscapeComm(State ? SETBREAK : CLRBREAK, State);
    PurgeIn();
    PurgeOut();
}

void TCustomComm::UpdateDataControlBlock() {
    if (!Enabled()) return;
    FDCB.Flags = FPortFlags;
    FDCB.BaudRate = BaudrateValue(FBaudRate);
    FDCB.Parity = Byte(FParity);
    FDCB.StopBits = Byte(FStopbits);
    FDCB.ByteSize = Byte(FDatabits + 4);
    FDCB.XonChar = FEventChars.EventChar(1);
    FDCB.XoffChar = FEventChars.EventChar(2);
    FDCB.ErrorChar = FEventChars.EventChar(3);
    FDCB.EofChar = FEventChars.EventChar(4);
    FDCB.EvtChar = FEventChars.EventChar(5);
    FDCB.XonLim = FDCB.XoffLim = Word(FReadBufSize / 4);
    switch (FFlowControl) {
        case fcNone: FDCB.Flags = fBinary; break;
        case fcCTS: FDCB.Flags |= fOutxCtsFlow | fRtsHandshake; break;
        case fcDTR: FDCB.Flags |= fOutxDsrFlow | fDtrHandshake; break;
        case fcSoftware: FDCB.Flags |= fOutX | fInX; break;
        case fcDefault: break;
    }
    for (int o = coParityCheck; o <= coNullStrip; ++o) {
        if (FOptions & (1u << o))
            FDCB.Flags |= Option_Flag[o];
        else
            FDCB.Flags &= ~Option_Flag[o];
    }
    // Linux has no 4-bit characters.
    if (FDatabits == da4) RaiseCommError(u"Error updating DataControlBlock", EINVAL);
    TSerialSettings s;
    s.BaudRate = FDCB.BaudRate;
    s.DataBits = FDCB.ByteSize;
    const TSerialParity parities[] = {TSerialParity::None, TSerialParity::Odd, TSerialParity::Even,
                                      TSerialParity::Mark, TSerialParity::Space};
    s.Parity = parities[FParity];
    const TSerialStopBits stops[] = {TSerialStopBits::One, TSerialStopBits::OneAndHalf, TSerialStopBits::Two};
    s.StopBits = stops[FStopbits];
    if (FDCB.Flags & (fOutxCtsFlow | fRtsHandshake))
        s.FlowControl = TSerialFlowControl::RtsCts;
    else if (FDCB.Flags & (fOutX | fInX))
        s.FlowControl = TSerialFlowControl::XonXoff;
    try {
        errno = 0;
        FPort.Configure(s);
    } catch (const EOSError&) {
        RaiseCommError(u"Error updating DataControlBlock", LastSystemError());
    }
    FPortFlags = FDCB.Flags;
}

void TCustomComm::SetDeviceName(const String& Value) {
    if (Value == FDeviceName) return;
    CheckClosed();
    FDeviceName = Value;
}

void TCustomComm::SetMonitorEvents(TCommEventTypes Value) {
    if (Value == FMonitorEvents) return;
    CheckClosed();
    FMonitorEvents = Value;
}

void TCustomComm::SetReadBufSize(int Value) {
    if (Value == FReadBufSize) return;
    CheckClosed();
    FReadBufSize = Value;
}

void TCustomComm::SetWriteBufSize(int Value) {
    if (Value == FWriteBufSize) return;
    CheckClosed();
    FWriteBufSize = Value;
}

// The settings of the line wait for Open on a closed port.
#define COMM_SETTER(Name, Type, Field)   \
    void TCustomComm::Name(Type Value) { \
        if (Value == Field) return;      \
        Field = Value;                   \
        UpdateDataControlBlock();        \
    }
COMM_SETTER(SetBaudRate, TBaudrate, FBaudRate)
COMM_SETTER(SetParity, TParity, FParity)
COMM_SETTER(SetStopbits, TStopbits, FStopbits)
COMM_SETTER(SetDatabits, TDatabits, FDatabits)
COMM_SETTER(SetOptions, TCommOptions, FOptions)
COMM_SETTER(SetFlowControl, TFlowControl, FFlowControl)
#undef COMM_SETTER
