#pragma once
// The serial-port component of the M-Bus scan's serial road: a port with its
// settings as properties, open and close, reads and writes with time-outs,
// queue counts, purges, modem lines and escape functions, and an event thread
// whose events are handed to the user-interface thread, where the On...
// handlers run while the event thread waits.
//
// It sits on the framework's TSerialPort. Settings that Linux has no
// counterpart for (DTR handshake, the event characters, the Xon/Xoff limits,
// the error-character and null-strip options, the queue sizes) are kept as
// properties and have no effect. The hold flags (CtsHold, DsrHold, RlsdHold,
// XoffHold, XOffSent) read false: Linux does not report them.
//
// Every failure raises ECommError, whose ErrorCode is the system's errno, or
// -1 where the failure is the component's own.

#include "framework/Components.h"
#include "framework/Serial.h"
#include "framework/Threads.h"

#include <atomic>
#include <mutex>

// The component's own event, apart from the framework's synchronisation
// classes: a system event (an eventfd) that a wait reports on as the
// component's waits expect.
namespace CommSync {

enum TEventWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

class THandleObject {
public:
    THandleObject() = default;
    THandleObject(const THandleObject&) = delete;
    THandleObject& operator=(const THandleObject&) = delete;
    virtual ~THandleObject();  // closes the handle
    int Handle() const { return FHandle; }
    // The system error of the last wait that failed.
    int LastError() const { return FError; }

protected:
    int FHandle = -1;
    int FError = 0;
};

class TEvent : public THandleObject {
public:
    TEvent(bool ManualReset, bool InitialState);
    // Timeout in milliseconds, INFINITE for none. Linux has no owned events,
    // so no wait ends wrAbandoned here.
    TEventWaitResult WaitFor(Cardinal Timeout);
    void SetEvent();
    void ResetEvent();

private:
    bool FManualReset;
};

// Manual reset, not signalled at first.
class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

}  // namespace CommSync

class ECommError : public Exception {
public:
    // The message is Text, then " (Error: <Code>) " with its closing blank.
    ECommError(const String& Text, int Code);
    int ErrorCode;
};

enum TBaudrate {
    br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400,
    br56000, br57600, br115200, br128000, br256000, br1500000, br3000000
};
enum TParity { paNone, paOdd, paEven, paMark, paSpace };
enum TStopbits { sb10, sb15, sb20 };
enum TDatabits { da4, da5, da6, da7, da8 };
enum TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };

enum TCommOption { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coNullStrip };
using TCommOptions = Byte;  // bit (1 << option)

enum TCommEventType { evBreak, evCts, evDsr, evError, evRing, evRlsd, evRxChar, evRxFlag, evTxEmpty };
using TCommEventTypes = Word;  // bit (1 << event type)
constexpr TCommEventTypes AllCommEvents = 0x1FF;

// The event bits of a signalled pass, as the event mask numbers them.
constexpr Cardinal EV_RXCHAR = 0x01, EV_RXFLAG = 0x02, EV_TXEMPTY = 0x04, EV_CTS = 0x08, EV_DSR = 0x10,
                   EV_RLSD = 0x20, EV_BREAK = 0x40, EV_ERR = 0x80, EV_RING = 0x100;

// The number of baud of each TBaudrate.
Cardinal BaudrateValue(TBaudrate B);

// The device control block as the component composes it: the working copy
// that UpdateDataControlBlock fills before it applies it to the port.
struct TDCB {
    Cardinal BaudRate = 0;
    Cardinal Flags = 0;  // fBinary 0x01, fParity 0x02, fOutxCtsFlow 0x04, ...
    Word XonLim = 0, XoffLim = 0;
    Byte ByteSize = 0, Parity = 0, StopBits = 0;
    char XonChar = 0, XoffChar = 0, ErrorChar = 0, EofChar = 0, EvtChar = 0;
};

class TCustomComm;

using TCommRxCharEvent = std::function<void(TObject* Sender, int Count)>;
using TCommErrorEvent = std::function<void(TObject* Sender, int Errors)>;

class TCommEventChars : public TPersistent {
public:
    explicit TCommEventChars(TCustomComm* Owner) : FOwner(Owner) {}
    // Index 1 XonChar, 2 XoffChar, 3 ErrorChar, 4 EofChar, 5 EvtChar.
    char EventChar(int Index) const { return FChars[Index - 1]; }
    void SetEventChar(int Index, char Value);
    // Copies the five characters without updating a port.
    void Assign(const TCommEventChars& Source);

private:
    TCustomComm* FOwner;
    char FChars[5] = {17, 19, 0, 0, 0};
};

class TCustomComm : public TComponent {
public:
    explicit TCustomComm(TComponent* AOwner);
    ~TCustomComm() override;

    void Open();
    void Close();
    bool Enabled() const { return FPort.IsOpen(); }

    // Bytes written, or -1 when they did not all go out within WriteTimeout.
    int Write(const void* Buf, Cardinal Count);
    // The bytes received so far, at most Count, possibly none; never waits.
    int Read(void* Buf, Cardinal Count);
    int InQueCount();
    int OutQueCount();
    void PurgeIn();
    void PurgeOut();

    void SetDTRState(bool State);
    void SetRTSState(bool State);
    void SetBREAKState(bool State);
    void SetXONState(bool State);

    bool CTS() { return GetModemState(1); }
    bool DSR() { return GetModemState(2); }
    bool RING() { return GetModemState(3); }
    bool RLSD() { return GetModemState(4); }
    bool CtsHold() const { return GetComState(1); }
    bool DsrHold() const { return GetComState(2); }
    bool RlsdHold() const { return GetComState(3); }
    bool XoffHold() const { return GetComState(4); }
    bool XOffSent() const { return GetComState(5); }

    const String& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const String& Value);
    TCommEventTypes MonitorEvents() const { return FMonitorEvents; }
    void SetMonitorEvents(TCommEventTypes Value);
    int ReadBufSize() const { return FReadBufSize; }
    void SetReadBufSize(int Value);
    int WriteBufSize() const { return FWriteBufSize; }
    void SetWriteBufSize(int Value);
    TBaudrate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudrate Value);
    TParity Parity() const { return FParity; }
    void SetParity(TParity Value);
    TStopbits Stopbits() const { return FStopbits; }
    void SetStopbits(TStopbits Value);
    TDatabits Databits() const { return FDatabits; }
    void SetDatabits(TDatabits Value);
    TCommOptions Options() const { return FOptions; }
    void SetOptions(TCommOptions Value);
    TFlowControl FlowControl() const { return FFlowControl; }
    void SetFlowControl(TFlowControl Value);
    TCommEventChars& EventChars() { return FEventChars; }
    // The block last applied to the port (or composed for it).
    const TDCB& DCB() const { return FDCB; }

    int ReadTimeout = 1000;
    int WriteTimeout = 1000;

    TNotifyEvent OnBreak, OnCts, OnDsr, OnRing, OnRlsd, OnRxFlag, OnTxEmpty;
    TCommErrorEvent OnError;
    TCommRxCharEvent OnRxChar;

    void UpdateDataControlBlock();

protected:
    virtual void CreateHandle();
    void DestroyHandle();

private:
    void CheckClosed() const;
    void HandleCommEvent(Cardinal Status);
    void Signal(Cardinal Status);
    bool GetModemState(int Index);
    bool GetComState(int Index) const;
    void EscapeComm(int Function, bool State);

    TSerialPort FPort;
    TDCB FDCB;
    Cardinal FPortFlags = 0x01;  // the flags word as the port last took it
    String FDeviceName = u"Com2";
    int FReadBufSize = 4096;
    int FWriteBufSize = 2048;
    TCommEventTypes FMonitorEvents = AllCommEvents;
    TBaudrate FBaudRate = br9600;
    TParity FParity = paNone;
    TStopbits FStopbits = sb10;
    TDatabits FDatabits = da8;
    TCommEventChars FEventChars{this};
    TCommOptions FOptions = 0;
    TFlowControl FFlowControl = fcDefault;

    TCriticalSection FCriticalSection;  // serialises Read and Write
    std::mutex FInMutex;
    ByteString FInBuf;  // received by the event thread, not yet read
    std::atomic<bool> FClosing{false};
};

class TComm : public TCustomComm {
public:
    using TCustomComm::TCustomComm;
};
