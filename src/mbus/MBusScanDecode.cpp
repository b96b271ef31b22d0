#include "mbus/MBusScanDecode.h"

#include <cstring>

namespace {

// The base of every meter time-out: 400 ms and 50 more for the converter.
constexpr int Base_TimeOut = 400 + 50;

Byte Sum(const ByteString& s, std::size_t from, std::size_t to) {
    Byte cs = 0;
    for (std::size_t i = from; i < to; ++i) cs = Byte(cs + Byte(s[i]));
    return cs;
}

// The C field of a send/confirm frame: 53 with the fixed "0x5X", else 73.
Byte Send_C(bool Fix_C_Field, Byte Fix_C_Field_Value) { return Fix_C_Field && Fix_C_Field_Value == 0 ? 0x53 : 0x73; }

}  // namespace

Cardinal TScanClock::Tick() { return GetTickCount(); }
void TScanClock::Wait(Cardinal Milliseconds) { Sleep(Milliseconds); }

ByteString Build_SND_NKE(Byte A) { return ByteString{char(0x10), char(0x40), char(A), char(Byte(0x40 + A)), char(0x16)}; }

ByteString Build_REQ_UD2(Byte A, int Num_Frame, bool Fix_C_Field, Byte Fix_C_Field_Value) {
    Byte c;
    if (Fix_C_Field)
        c = Fix_C_Field_Value == 0 ? 0x5B : 0x7B;
    else
        c = Num_Frame % 2 == 0 ? 0x7B : 0x5B;  // the frame-count bit toggles per frame of one meter
    return ByteString{char(0x10), char(c), char(A), char(Byte(c + A)), char(0x16)};
}

ByteString Build_App_Reset(Byte A, bool Fix_C_Field, Byte Fix_C_Field_Value) {
    const Byte c = Send_C(Fix_C_Field, Fix_C_Field_Value);
    return ByteString{char(0x68), char(0x03), char(0x03), char(0x68), char(c),
                      char(A),    char(0x50), char(Byte(c + A + 0x50)), char(0x16)};
}

ByteString Build_Select_Secondary(const std::array<int, 8>& Index, bool Fix_C_Field, Byte Fix_C_Field_Value) {
    auto nibble = [&](int i) { return Byte(Index[i] < 0 ? 0x0F : Index[i]); };
    auto pair = [&](int hi, int lo) { return char(Byte(nibble(hi) << 4 | nibble(lo))); };
    ByteString f{char(0x68), char(0x0B), char(0x0B), char(0x68), char(Send_C(Fix_C_Field, Fix_C_Field_Value)),
                 char(0xFD), char(0x52)};
    // The identification number in BCD, least significant byte first.
    f += {pair(6, 7), pair(4, 5), pair(2, 3), pair(0, 1)};
    f += ByteString(4, char(0xFF));  // manufacturer, version and medium: any
    f += char(Sum(f, 4, f.size()));
    f += char(0x16);
    return f;
}

ByteString Build_Set_Serial_Param(int Baudrate, int Parity) {
    static constexpr Byte Parity_Code[] = {0, 2, 1};  // "NONE", "EVEN", "ODD"
    ByteString f = "Korvia_S_M:";
    const auto b = Cardinal(Baudrate);
    f += {char(b >> 24), char(b >> 16), char(b >> 8), char(b), ','};
    f += char(Parity >= 0 && Parity <= 2 ? Parity_Code[Parity] : 0);
    return f;
}

bool Is_Ack(const Byte* Ans, int Len) { return Len == 1 && Ans[0] == 0xE5; }

bool Is_Long_Frame(const Byte* Ans, int Len) {
    if (Len <= MBus_Min_Long_Frame) return false;
    if (Ans[0] != 0x68 || Ans[3] != 0x68 || Ans[1] != Ans[2] || Ans[Len - 1] != 0x16) return false;
    Byte cs = 0;
    for (int i = 4; i < Len - 2; ++i) cs = Byte(cs + Ans[i]);
    return Ans[Len - 2] == cs;
}

bool Is_No_Slave(const Byte* Ans, int Len) { return Len == 10 && std::memcmp(Ans, "NO_SLAVE\n\r", 10) == 0; }

bool Is_Text(const Byte* Ans, int Len, const char* Expected) {
    return std::size_t(Len) == std::strlen(Expected) && std::memcmp(Ans, Expected, std::size_t(Len)) == 0;
}

int Short_TimeOut(int Baudrate, int Add_TimeOut) { return 330000 / Baudrate + Base_TimeOut + Add_TimeOut; }
int Long_TimeOut(int Baudrate, int Add_TimeOut) { return 3245000 / Baudrate + Base_TimeOut + Add_TimeOut; }

bool Is_TimeOut(Cardinal Start, Cardinal Now, int TimeOut) { return Cardinal(Now - Start) > Cardinal(TimeOut); }

// ---------------------------------------------------------------------------

TMBusScanDecode::TMBusScanDecode(bool CreateSuspended, std::unique_ptr<TScanClock> AClock)
    : TThread(CreateSuspended), Clock(AClock ? std::move(AClock) : std::make_unique<TScanClock>()) {
    UDP_Server_ = std::make_unique<TUdpListener>([this](const TUdpDatagram& d) { UDP_ServerUDPRead(d); });
    Comm_ = std::make_unique<TComm>(nullptr);
    Comm_->SetBaudRate(br115200);
    Comm_->SetDatabits(da8);
    Comm_->SetParity(paNone);
    Comm_->SetStopbits(sb10);
    Comm_->SetFlowControl(fcNone);
    Comm_->SetReadBufSize(4096);
    Comm_->SetWriteBufSize(4096);
    Comm_->OnRxChar = [this](TObject* Sender, int Count) { CommRxChar(Sender, Count); };
}

TMBusScanDecode::~TMBusScanDecode() {
    FExit = true;
    Event_Run.SetEvent();
    WaitFor();
    Comm_->Close();
    UDP_Server_->Stop();
}

void TMBusScanDecode::Execute() {
    while (!FExit) {
        if (FInScan) {
            if (MBusType == mtWireless)
                Scan_Decode_Wireless();
            else
                Scan_Decode();
            Sleep(40);
        } else {
            Sleep(10);
        }
        Event_Run.WaitFor(INFINITE);
    }
}

bool TMBusScanDecode::Start_Scan(TScanType Type, TSelectHard Hardware, const String& Address, int ABaudrate,
                                 int AParity, bool AApp_Reset, bool ASND_NKE, int ACut_After, bool AFix_C_Field,
                                 Byte AFix_C_Field_Value, bool Remote_Scan, TUpdateSlaveList Callback) {
    if (FInScan) return false;
    Update_Slave_List = std::move(Callback);
    MBusType = mtWired;
    ScanType = Type;
    Select_Hardware = Hardware;
    IP_Address.clear();
    ComPort.clear();
    (Hardware == shSerial ? ComPort : IP_Address) = Address;
    Baudrate = ABaudrate > 0 ? ABaudrate : 2400;
    Parity = AParity;
    App_Reset = AApp_Reset;
    SND_NKE = ASND_NKE;
    Cut_After = ACut_After;
    Fix_C_Field = AFix_C_Field;
    Fix_C_Field_Value = AFix_C_Field_Value;
    Add_TimeOut = Remote_Scan ? Remote_Add_TimeOut : 0;
    if (Select_Hardware == shSerial) {
        Comm_->SetDeviceName(ComPort);
        try {
            Comm_->Open();
        } catch (...) {
            // An open that failed half-way must not hold the port for the next start.
            Comm_->Close();
            throw;
        }
    } else if (!UDP_Server_->Active()) {
        UDP_Server_->Start(u"", 0);
    }
    Step_Scan = 0;
    FStopScan = false;
    FAbortScan = false;
    SaveXMLError.clear();
    FInScan = true;
    return true;
}

void TMBusScanDecode::Send_Command(const char* Text, Word Port) {
    Req_Array = Text;
    Send_Command(Port);
}

void TMBusScanDecode::Send_Command(Word Port) {
    Answer_Arrived.store(false, std::memory_order_release);
    if (Select_Hardware == shSerial) {
        {
            std::lock_guard lock(Serial_Mutex);
            Serial_Pending.clear();
        }
        Comm_->Write(Req_Array.data(), Cardinal(Req_Array.size()));
    } else {
        UDP_Server_->SendTo(IP_Address, Port, Req_Array);
    }
    Start_Send = Clock->Tick();
    ++Send_Count;
}

bool TMBusScanDecode::Is_TimeOut() { return ::Is_TimeOut(Start_Send, Clock->Tick(), TimeOut_Calc); }

void TMBusScanDecode::Store_Answer(const Byte* Data, int Len) {
    if (Len > MBus_Answer_Size) return;  // no answer of a meter is that long: dropped
    std::memcpy(Ans_Array.data(), Data, std::size_t(Len));
    Ans_Len = Len;
    Answer_Arrived.store(true, std::memory_order_release);
}

void TMBusScanDecode::UDP_ServerUDPRead(const TUdpDatagram& Datagram) {
    // While the wireless scan receives, a datagram is a telegram.
    if (MBusType == mtWireless && Wireless_ &&
        Wireless_->Take_Telegram(reinterpret_cast<const Byte*>(Datagram.Data.data()), int(Datagram.Data.size())))
        return;
    Store_Answer(reinterpret_cast<const Byte*>(Datagram.Data.data()), int(Datagram.Data.size()));
}

void TMBusScanDecode::CommRxChar(TObject*, int Count) {
    ByteString bytes(std::size_t(Count), '\0');
    bytes.resize(std::size_t(std::max(Comm_->Read(bytes.data(), Cardinal(Count)), 0)));
    std::lock_guard lock(Serial_Mutex);
    Serial_Pending += bytes;
    Serial_Last = GetTickCount();
    // A long frame is complete with its L field plus 6 bytes.
    const std::size_t n = Serial_Pending.size();
    if (n >= 4 && Byte(Serial_Pending[0]) == 0x68) {
        const std::size_t whole = std::size_t(Byte(Serial_Pending[1])) + 6;
        if (n >= whole) {
            Store_Answer(reinterpret_cast<const Byte*>(Serial_Pending.data()), int(whole));
            Serial_Pending.clear();
        }
    }
}

bool TMBusScanDecode::Answer() {
    if (Select_Hardware == shSerial) {
        std::lock_guard lock(Serial_Mutex);
        if (!Serial_Pending.empty() && GetTickCount() - Serial_Last >= MBus_Serial_Pause) {
            Store_Answer(reinterpret_cast<const Byte*>(Serial_Pending.data()), int(Serial_Pending.size()));
            Serial_Pending.clear();
        }
    }
    return Answer_Arrived.load(std::memory_order_acquire);
}

void TMBusScanDecode::Do_Update_Slave_List(int Phase, int Address, int Found, int Kind) {
    if (!Update_Slave_List) return;
    try {
        Update_Slave_List(Phase, Address, Found, Kind);
    } catch (...) {
        // deliberately swallowed: the window's trouble must not end the scan
    }
}

void TMBusScanDecode::Release_Link() {
    if (Select_Hardware == shSerial)
        Comm_->Close();
    else
        UDP_Server_->Stop();
}
