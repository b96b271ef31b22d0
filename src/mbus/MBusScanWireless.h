#pragma once
// The wireless scan: one step per call of Scan_Decode_Wireless. It switches
// the converter into its configuration mode, asks which radio module is
// fitted, sets the module up for the chosen wireless M-Bus mode and then idles
// while the link's listener hands it the telegrams heard (decoded by its
// TWirelessDecoder). Insert_Wireless_Key, on the user-interface thread, makes
// it load a meter's identity and key into the module between two telegrams.
// The scan ends with the converter leaving its configuration mode.
//
// The exchange goes through a TWirelessLink: the scan thread's UDP road to
// the converter, or a test's.

#include "framework/System.h"
#include "mbus/MBusWirelessDecode.h"

#include <array>
#include <atomic>

// What the wireless steps need of the scan thread's link.
class TWirelessLink {
public:
    virtual ~TWirelessLink() = default;
    // Sends one datagram to the converter, forgets any earlier reply and
    // starts a time-out of TimeOut milliseconds.
    virtual void Send(const ByteString& Data, int TimeOut) = 0;
    // The reply that arrived since the last send, taken once.
    virtual bool Answer(ByteString& Reply) = 0;
    virtual bool TimedOut() = 0;
    // Deactivates the UDP endpoint.
    virtual void Release() = 0;
};

// The mode codes sent to the module, in the order of the window's list
// "S", "T", "N1", "N2", "C".
constexpr int WMBus_Mode_S = 1, WMBus_Mode_T = 5, WMBus_Mode_N1 = 15, WMBus_Mode_N2 = 17, WMBus_Mode_C = 11;

// The byte-command module's key table holds this many keys, from position 1.
constexpr int WMBus_Key_Positions = 64;

// The byte-command module's frames.
ByteString Build_RadioCrafts_Config(int Mode);
ByteString Build_Zero_Ident();
// The meter's application address: identification and manufacturer least
// significant first, version, device type.
ByteString Build_Wireless_Ident(const TSlave_wMBus& Slave);
ByteString Build_Wireless_Key(const TSlave_wMBus& Slave);

class TMBusScanWireless {
public:
    explicit TMBusScanWireless(TWirelessLink& Link) : Link_(Link) {}

    // Resets the machine to its first state; the thread then steps it.
    void Start(int Mode, int Radio_Channel, int Add_TimeOut);
    void Scan_Decode_Wireless();

    // A datagram from the converter: while telegrams are expected it is one
    // (decoded when complete) and true is returned; otherwise false, and the
    // link keeps it as the reply.
    bool Take_Telegram(const Byte* Data, int Length);

    // Called on the user-interface thread. False, and the meter's key left
    // as it was, unless the machine is idling in a receiving state; false
    // too when the byte-command module's key table is full.
    bool Insert_Wireless_Key(int Index, const std::array<Byte, 16>& Key);

    void Stop_Scan() { FStopScan = true; }
    void Abort_Scan() { FAbortScan = true; }
    // The link refused a send: the scan ends with result 2. In the end
    // states the refused leave command counts as one of its tries, so that
    // a link that refuses everything still lets the scan end.
    void Link_Failed();

    int Step() const { return Step_Scan; }
    int Result() const { return FResult; }
    bool InScan() const { return FInScan; }
    TRadioModule Radio_Module() const { return RadioModule; }

    TWirelessDecoder Decoder;
    // When not empty at the end of a scan the result file goes there; a file
    // that cannot be written leaves its message in SaveXMLError.
    String SaveXMLFile;
    String SaveXMLError;

private:
    void Send(const ByteString& Data, int Extra);
    // A waiting state: the reply is examined first, the time-out after.
    // Accept decides the reply; Next is the state after it (or after the
    // time-out when Time_Out_Goes_On).
    template <class TAccept>
    void Wait(TAccept Accept, int Next, bool Time_Out_Goes_On = false);
    void Fail();
    void Telit_Step(int state);
    void RadioCrafts_Step(int state);
    void End_Step(int state);
    TSlave_wMBus* Key_Slave();

    TWirelessLink& Link_;
    std::atomic<int> Step_Scan{0};
    std::atomic<int> FResult{-1};
    std::atomic<bool> FInScan{false};
    std::atomic<bool> FStopScan{false};
    std::atomic<bool> FAbortScan{false};
    std::atomic<bool> Wireless_Receive_Message{false};
    std::atomic<TRadioModule> RadioModule{rmAtCommand};

    int wMBusMode = WMBus_Mode_S;
    int wMBusRadioChannel = 0;
    int Add_TimeOut = 0;
    std::array<Byte, 16> Wireless_Key{};
    std::atomic<int> Wireless_Key_Index{-1};
    int Index_Key_Send = 0;
    int Index_RadioCrafts_Erase_Position = 0;
    std::atomic<int> Index_RadioCrafts_Position_Used{1};
    int Count_Disable_Analyzer = 0;
};
