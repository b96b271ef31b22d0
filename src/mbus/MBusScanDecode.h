#pragma once
// The worker thread of every M-Bus scan and its link to the meters: either
// the converter over UDP (its analyzer mode passes our request frames to the
// M-Bus line and the meters' answers back) or a serial port of this machine
// wired to the line. The scan window creates one thread, which lives until
// the window goes; the window starts, stops and aborts scans and polls
// FInScan and FResult.
//
// Threads: the scan thread runs the state machine; answers arrive on the UDP
// listener's thread or, for the serial road, on the user-interface thread
// (the port's event thread hands each receive over and waits). An answer is
// stored whole before Answer_Arrived is published (release/acquire).

#include "mbus/Comm.h"
#include "mbus/MBusDecoder.h"
#include "mbus/MBusScanWireless.h"

#include "framework/Threads.h"
#include "framework/Udp.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

enum TScanType { saPrimaryAddress = 0, saSecondaryAddress = 1 };
enum TSelectHard { shEthernet = 0, shSerial = 1 };

// The remote option ("Enable Remote Scan (Enlarge TimeOut)") adds this to
// every time-out.
constexpr int Remote_Add_TimeOut = 10000;
// The converter's UDP port of the wired scan.
constexpr Word MBus_Converter_Port = 10000;
// The answer buffer: the size of a received datagram; a longer one is dropped.
constexpr int MBus_Answer_Size = 8192;
// The serial road ends an answer that is no complete long frame after this
// pause on the line (a lone E5, several meters at once, garbage).
constexpr Cardinal MBus_Serial_Pause = 20;

// The time of the scan: the millisecond tick and the pauses before each
// request. Tests replace it to step the state machine without waiting.
class TScanClock {
public:
    virtual ~TScanClock() = default;
    virtual Cardinal Tick();
    virtual void Wait(Cardinal Milliseconds);
};

// phase (1 start, 2 one address or meter tried, 3 end), address, found (0/1),
// kind (1 primary, 2 secondary).
using TUpdateSlaveList = std::function<void(int Phase, int Address, int Found, int Kind)>;

// The request frames and converter commands; each returns the whole frame.
ByteString Build_SND_NKE(Byte A);
ByteString Build_REQ_UD2(Byte A, int Num_Frame, bool Fix_C_Field, Byte Fix_C_Field_Value);
ByteString Build_App_Reset(Byte A, bool Fix_C_Field, Byte Fix_C_Field_Value);
// Index[0..7] are the digits Index_A to Index_H, -1 for a wildcard.
ByteString Build_Select_Secondary(const std::array<int, 8>& Index, bool Fix_C_Field, Byte Fix_C_Field_Value);
// Parity: 0 "NONE", 1 "EVEN", 2 "ODD" (the index of the window's list).
ByteString Build_Set_Serial_Param(int Baudrate, int Parity);

// Acceptance of answers.
bool Is_Ack(const Byte* Ans, int Len);
bool Is_Long_Frame(const Byte* Ans, int Len);
bool Is_No_Slave(const Byte* Ans, int Len);
bool Is_Text(const Byte* Ans, int Len, const char* Expected);

// The time-outs of an exchange with the meters, in milliseconds.
int Short_TimeOut(int Baudrate, int Add_TimeOut);
int Long_TimeOut(int Baudrate, int Add_TimeOut);
// True when more than TimeOut milliseconds passed from Start to Now, counted
// on the 32-bit tick across its wrap.
bool Is_TimeOut(Cardinal Start, Cardinal Now, int TimeOut);

class TMBusScanDecode : public TThread {
public:
    // Created suspended, the thread can be left unstarted and its state
    // machine stepped by hand (tests); the link exists either way.
    explicit TMBusScanDecode(bool CreateSuspended, std::unique_ptr<TScanClock> Clock = nullptr);
    // Sets FExit and Event_Run and waits for the thread.
    ~TMBusScanDecode() override;

    bool Start_Scan(TScanType Type, TSelectHard Hardware, const String& Address, int Baudrate, int Parity,
                    bool App_Reset, bool SND_NKE, int Cut_After, bool Fix_C_Field, Byte Fix_C_Field_Value,
                    bool Remote_Scan, TUpdateSlaveList Callback);
    void Stop_Scan() { FStopScan = true; }
    void Abort_Scan() { FAbortScan = true; }

    // One step of the wired scan (the thread calls it every 40 ms).
    void Scan_Decode();

    // A wireless scan with the converter at Address:Port. The local end is
    // bound to Local_Address ("" for every address) and the same port, where
    // the converter sends the telegrams; a bind that fails raises EOSError
    // and no scan starts. Callback reports each telegram's meter, on the
    // listener thread.
    bool Start_Scan_Wireless(const String& Address, Word Port, int Mode, int Radio_Channel, bool Remote_Scan,
                             const String& Local_Address, std::function<void(int, TSlave_wMBus*)> Callback);
    // One step of the wireless scan.
    void Scan_Decode_Wireless();
    // From the user-interface thread: see TMBusScanWireless.
    bool Insert_Wireless_Key(int Index, const std::array<Byte, 16>& Key);
    // The wireless machine of the last wireless scan (its SaveXMLError), or
    // none before one.
    const TMBusScanWireless* Wireless_Scan() const { return Wireless_.get(); }

    bool InScan() const { return FInScan; }
    int Result() const { return FResult; }
    int Step() const { return Step_Scan; }
    TUdpListener& UDP_Server() { return *UDP_Server_; }
    TComm& Comm() { return *Comm_; }

    TMBusType MBusType = mtWired;
    // The converter's port of the wired scan (tests point it at their own).
    Word Converter_Port = MBus_Converter_Port;
    // Gates the loop: the window sets it while it is shown.
    TEvent Event_Run{true, false};
    // When not empty at the end of a scan the result file goes there; a file
    // that cannot be written leaves its message in SaveXMLError.
    String SaveXMLFile;
    String SaveXMLError;

protected:
    void Execute() override;

    // Link.
    void Send_Command(const char* Text, Word Port);
    void Send_Command(Word Port);
    bool Is_TimeOut();
    // Whether an answer has arrived; on the serial road an answer that
    // paused long enough is completed first.
    bool Answer();
    void UDP_ServerUDPRead(const TUdpDatagram& Datagram);
    void CommRxChar(TObject* Sender, int Count);
    void Store_Answer(const Byte* Data, int Len);
    void Do_Update_Slave_List(int Phase, int Address, int Found, int Kind);
    // Ends a step that failed (a refused send, a port error) through the
    // end states with FResult 2.
    void Fail_Step();
    void Release_Link();

    std::unique_ptr<TScanClock> Clock;
    TMBusDecoder Decoder;

    std::atomic<bool> FExit{false};
    std::atomic<bool> FInScan{false};
    std::atomic<int> FResult{-1};
    std::atomic<bool> FStopScan{false};
    std::atomic<bool> FAbortScan{false};
    std::atomic<int> Step_Scan{0};

    TScanType ScanType = saPrimaryAddress;
    TSelectHard Select_Hardware = shEthernet;
    String IP_Address;
    String ComPort;
    int Baudrate = 2400;
    int Parity = 1;
    bool App_Reset = false;
    bool SND_NKE = false;
    int Cut_After = 0;
    bool Fix_C_Field = false;
    Byte Fix_C_Field_Value = 0;
    int Add_TimeOut = 0;
    TUpdateSlaveList Update_Slave_List;

    std::unique_ptr<TUdpListener> UDP_Server_;
    std::unique_ptr<TComm> Comm_;
    std::array<Byte, MBus_Answer_Size> Ans_Array{};
    int Ans_Len = 0;
    std::atomic<bool> Answer_Arrived{false};
    ByteString Req_Array;
    int TimeOut_Calc = 0;
    Cardinal Start_Send = 0;
    Cardinal Send_Count = 0;  // requests sent since the thread began
    // Serial bytes of an answer still being gathered, and when the last came.
    std::mutex Serial_Mutex;
    ByteString Serial_Pending;
    Cardinal Serial_Last = 0;

    // Wired scan state.
    int ID_Dev_Primary = -1;
    bool ID_Dev_Found = false;
    int Num_Frame_Read = 0;
    int Index_Device = -1;
    std::array<int, 8> Index{-1, -1, -1, -1, -1, -1, -1, -1};  // Index_A .. Index_H
    int Sec_Add_Next_Step = 0;
    bool Enable_Send_In_Last_Step = false;
    int Type_To_Send_In_Last_Step = 0;
    int Count_Disable_Analyzer = 0;

    // The wireless scan and its road over this thread's link.
    friend class TThreadWirelessLink;
    Word Port_Wireless = 0;
    std::unique_ptr<TWirelessLink> Wireless_Link_;
    std::unique_ptr<TMBusScanWireless> Wireless_;

private:
    void Wired_Step();
    void Read_Answer_Frame(bool Secondary);
    void Secondary_Digit(int Level);
    void Secondary_Answer(int Level);
};
