#include "mbus/MBusScanWireless.h"

#include "framework/SysUtils.h"
#include "mbus/MBusResultFiles.h"
#include "mbus/MBusScanDecode.h"
#include "shell/Globals.h"

#include <mutex>

namespace {
const ByteString Enable_Configuration = "Korvia_Enable_Configuration_Mode";
const ByteString Configuration_Enabled = "\n\rConfiguration_Mode Enabled!\n\r";
const ByteString Type_Radio_Module = "Korvia_Type_Radio_Module";
const ByteString Module_At = "\n\rTELIT\n\r";
const ByteString Module_Byte = "\n\rRADIOCRAFTS\n\r";
const ByteString Disable_Configuration = "Korvia_Disable_Configuration_Mode";
const ByteString Configuration_Disabled = "\n\rConfiguration_Mode Disabled!\n\r";
const ByteString Ok = "OK\r";
const ByteString Prompt = ">";
constexpr int Leave_Tries = 3;

ByteString Bytes(std::initializer_list<int> values) {
    ByteString s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}
ByteString Text(const String& s) { return StringToUtf8(s); }

bool Is_Ok(const ByteString& r) { return r == Ok; }
bool Is_Prompt(const ByteString& r) { return r == Prompt; }
bool Starts_With_Prompt(const ByteString& r) { return !r.empty() && r[0] == '>'; }
bool Any(const ByteString&) { return true; }
// The byte-command module lists its 256 configuration bytes before its prompt.
bool Is_Config_List(const ByteString& r) { return r.size() == 257 && r.back() == '>'; }

// The AT-command set-up: each send state, its command, the state after "OK\r"
// and the state after it in modes N1 and N2, which skip three settings.
struct TAt_Setting {
    int State;
    const char* Command;  // nullptr: built from the mode or the channel
    int Next, Next_N;
};
constexpr TAt_Setting At_Setup[] = {
    {100, "+++", 102, 102},           {102, "ATR\r", 104, 104},         {104, nullptr, 106, 106},
    {106, "ATS401=0\r", 108, 108},    {108, "ATS402=191\r", 110, 110},  {110, nullptr, 112, 114},
    {112, "ATS421=0\r", 114, 114},    {114, "ATS422=3\r", 116, 116},    {116, "ATS430=5\r", 118, 118},
    {118, "ATS431=5\r", 120, 120},    {120, "ATS440=0\r", 122, 122},    {122, "ATS441=0\r", 124, 126},
    {124, "ATS442=0\r", 126, 126},    {126, "ATS452=0\r", 128, 128},    {128, "ATS453=0\r", 130, 132},
    {130, "ATS454=0\r", 132, 132},
};
}  // namespace

ByteString Build_RadioCrafts_Config(int Mode) {
    int m = 0x03;
    switch (Mode) {
    case WMBus_Mode_T: m = 0x01; break;
    case WMBus_Mode_N1: m = 0x11; break;
    case WMBus_Mode_N2: m = 0x10; break;
    case WMBus_Mode_C: m = 0x0A; break;
    default: break;
    }
    return Bytes({0x03, m, 0x04, 0x00, 0x05, 0x01, 0x12, 0x01, 0x16, 0x17, 0x3A, 0x01, 0x3D, 0x02, 0x37, 0x01});
}

ByteString Build_Zero_Ident() { return ByteString(8, '\0'); }

ByteString Build_Wireless_Ident(const TSlave_wMBus& Slave) {
    const auto a = static_cast<std::uint32_t>(Slave.ALA_Address);
    return Bytes({static_cast<int>(a & 0xFF), static_cast<int>(a >> 8 & 0xFF), static_cast<int>(a >> 16 & 0xFF),
                  static_cast<int>(a >> 24), Slave.ALA_Manufacturer & 0xFF, Slave.ALA_Manufacturer >> 8,
                  Slave.ALA_Version, Slave.ALA_DeviceType});
}

ByteString Build_Wireless_Key(const TSlave_wMBus& Slave) {
    return ByteString(reinterpret_cast<const char*>(Slave.Key.data()), Slave.Key.size());
}

void TMBusScanWireless::Start(int Mode, int Radio_Channel, int Add_TimeOut_) {
    wMBusMode = Mode;
    wMBusRadioChannel = Radio_Channel;
    Add_TimeOut = Add_TimeOut_;
    FStopScan = FAbortScan = false;
    Wireless_Receive_Message = false;
    FResult = 1;
    Step_Scan = 0;
    SaveXMLError.clear();
    FInScan = true;
}

bool TMBusScanWireless::Take_Telegram(const Byte* Data, int Length) {
    if (!Wireless_Receive_Message) return false;
    if (Wireless_Telegram_Complete(Data, Length, RadioModule)) Decoder.Decode_Wireless_Telegram(Data, Length, RadioModule);
    return true;
}

void TMBusScanWireless::Send(const ByteString& Data, int Extra) { Link_.Send(Data, Add_TimeOut + Extra); }

template <class TAccept>
void TMBusScanWireless::Wait(TAccept Accept, int Next, bool Time_Out_Goes_On) {
    ByteString reply;
    if (Link_.Answer(reply)) {
        if (Accept(reply)) Step_Scan = Next;
        else Fail();
    } else if (Link_.TimedOut()) {
        if (Time_Out_Goes_On) Step_Scan = Next;
        else Fail();
    }
}

void TMBusScanWireless::Link_Failed() {
    if (Step_Scan >= 500) {
        FResult = 2;
        Step_Scan = 501;
        return;
    }
    Fail();
}

void TMBusScanWireless::Fail() {
    FResult = 2;
    Step_Scan = 500;
}

TSlave_wMBus* TMBusScanWireless::Key_Slave() {
    const int i = Wireless_Key_Index;
    if (i < 0 || i >= static_cast<int>(WMBus_Slave_List.size())) return nullptr;
    return dynamic_cast<TSlave_wMBus*>(WMBus_Slave_List[static_cast<std::size_t>(i)]);
}

bool TMBusScanWireless::Insert_Wireless_Key(int Index, const std::array<Byte, 16>& Key) {
    std::lock_guard<std::mutex> hold(WMBus_Slave_Lock());
    const bool byteModule = RadioModule == rmByteCommand;
    const int receiving = byteModule ? 320 : 134;
    // A key refused while another is being loaded must not change the one
    // on its way to the module, nor take a place in its key table.
    if (Step_Scan != receiving || Index < 0 || Index >= static_cast<int>(WMBus_Slave_List.size())) return false;
    auto* slave = dynamic_cast<TSlave_wMBus*>(WMBus_Slave_List[static_cast<std::size_t>(Index)]);
    if (!slave) return false;
    if (byteModule && slave->RadioCrafts_Ind_Tab_Decript < 1) {
        if (Index_RadioCrafts_Position_Used > WMBus_Key_Positions) return false;
        slave->RadioCrafts_Ind_Tab_Decript = Index_RadioCrafts_Position_Used++;
    }
    Wireless_Key = Key;
    Wireless_Key_Index = Index;
    slave->Enable_Key = true;
    slave->Key = Key;
    // A receiving step does nothing, so nothing else moves the state now.
    Step_Scan = byteModule ? 400 : 200;
    return true;
}

void TMBusScanWireless::Scan_Decode_Wireless() {
    if (!FInScan) return;
    if (FAbortScan || FStopScan) {
        if (Step_Scan < 500) Step_Scan = 500;
    }
    const int state = Step_Scan;
    switch (state) {
    case 0:
        Wireless_Receive_Message = false;
        FResult = 1;
        Send(Enable_Configuration, 1000);
        Step_Scan = 1;
        break;
    case 1: Wait([](const ByteString& r) { return r == Configuration_Enabled; }, 2); break;
    case 2:
        FResult = 1;
        Send(Type_Radio_Module, 1000);
        Step_Scan = 3;
        break;
    case 3: {
        ByteString reply;
        if (Link_.Answer(reply)) {
            if (reply == Module_At) {
                RadioModule = rmAtCommand;
                Step_Scan = 100;
            } else if (reply == Module_Byte) {
                RadioModule = rmByteCommand;
                Step_Scan = 300;
            } else {
                Fail();
            }
        } else if (Link_.TimedOut()) {
            Fail();
        }
        break;
    }
    default:
        if (state >= 500) End_Step(state);
        else if (state >= 300) RadioCrafts_Step(state);
        else if (state >= 100) Telit_Step(state);
        break;
    }
}

void TMBusScanWireless::Telit_Step(int state) {
    const bool narrow = wMBusMode == WMBus_Mode_N1 || wMBusMode == WMBus_Mode_N2;
    for (const TAt_Setting& s : At_Setup) {
        if (state == s.State) {
            ByteString command;
            if (s.Command) command = s.Command;
            else if (state == 104) command = "ATS400=" + std::to_string(wMBusMode) + "\r";
            else command = "ATS420=" + std::to_string(wMBusRadioChannel) + "\r";
            Send(command, 1000);
            Step_Scan = state + 1;
            return;
        }
        if (state == s.State + 1) {
            Wait(Is_Ok, narrow ? s.Next_N : s.Next);
            return;
        }
    }
    std::lock_guard<std::mutex> hold(WMBus_Slave_Lock());
    const TSlave_wMBus* slave = Key_Slave();
    auto send_value = [&](int reg, int value) {
        Send("ATS" + std::to_string(reg) + "=" + std::to_string(value) + "\r", 1000);
        Step_Scan = state + 1;
    };
    switch (state) {
    case 132:
        Send("ATO\r", 1000);
        Step_Scan = 133;
        break;
    case 133:
        Wait(Is_Ok, 134);
        if (Step_Scan == 134) Wireless_Receive_Message = true;
        break;
    case 134: break;  // telegrams arrive through the listener
    case 200:
        Wireless_Receive_Message = false;
        Send("+++", 1000);
        Step_Scan = 201;
        break;
    case 202:
    case 204:
    case 206:
    case 208:
    case 210:
    case 212:
    case 214:
    case 216: {
        if (!slave) {
            Fail();
            break;
        }
        const auto a = static_cast<std::uint32_t>(slave->ALA_Address);
        const int values[] = {slave->ALA_Manufacturer & 0xFF,
                              slave->ALA_Manufacturer >> 8,
                              static_cast<int>(a & 0xFF),
                              static_cast<int>(a >> 8 & 0xFF),
                              static_cast<int>(a >> 16 & 0xFF),
                              static_cast<int>(a >> 24),
                              slave->ALA_Version,
                              slave->ALA_DeviceType};
        const int k = (state - 202) / 2;
        send_value(461 + k, values[k]);
        break;
    }
    case 201:
    case 203:
    case 205:
    case 207:
    case 209:
    case 211:
    case 213:
    case 215: Wait(Is_Ok, state + 1); break;
    case 217:
        Wait(Is_Ok, 218);
        if (Step_Scan == 218) Index_Key_Send = 0;
        break;
    case 218: send_value(470 + Index_Key_Send, Wireless_Key[static_cast<std::size_t>(Index_Key_Send)]); break;
    case 219:
        Wait(Is_Ok, 218);
        if (Step_Scan == 218 && ++Index_Key_Send >= 16) Step_Scan = 220;
        break;
    case 220: send_value(460, 5); break;
    case 221:
        Wait(Is_Ok, 132);
        if (Step_Scan == 132) Index_Key_Send = 0;
        break;
    default: Fail(); break;
    }
}

void TMBusScanWireless::RadioCrafts_Step(int state) {
    std::lock_guard<std::mutex> hold(WMBus_Slave_Lock());
    const TSlave_wMBus* slave = Key_Slave();
    const Byte position = slave ? static_cast<Byte>(slave->RadioCrafts_Ind_Tab_Decript) : 0;
    auto send = [&](const ByteString& data, int extra = 1000) {
        Send(data, extra);
        Step_Scan = state + 1;
    };
    switch (state) {
    case 300:
        Index_RadioCrafts_Position_Used = 1;
        send(Bytes({0x00}));
        break;
    case 301: Wait(Is_Prompt, 302); break;
    case 302: send("0"); break;
    case 303: Wait(Is_Config_List, 304); break;
    case 304: send("M"); break;
    case 305: Wait(Is_Prompt, 306); break;
    case 306: send(Build_RadioCrafts_Config(wMBusMode), 500); break;
    case 307: Wait(Any, 308, true); break;
    case 308: send(Bytes({0xFF})); break;
    case 309:
        Wait(Is_Prompt, 310);
        if (Step_Scan == 310) Index_RadioCrafts_Erase_Position = 0;
        break;
    case 310:
        if (Index_RadioCrafts_Erase_Position >= 63) Step_Scan = 318;
        else send("B");
        break;
    case 311: Wait(Is_Prompt, 313); break;
    case 313:
        if (Index_RadioCrafts_Erase_Position >= WMBus_Key_Positions) {
            Step_Scan = 318;
        } else {
            ++Index_RadioCrafts_Erase_Position;
            Step_Scan = 314;
        }
        break;
    case 314: send(Bytes({Index_RadioCrafts_Erase_Position}), 100); break;
    case 315: Wait(Any, 316, true); break;
    case 316: send(Build_Zero_Ident()); break;
    case 317: Wait(Starts_With_Prompt, 310); break;
    case 318:
        send("X");
        break;  // no reply awaited
    case 319:
        Wireless_Receive_Message = true;
        Step_Scan = 320;
        break;
    case 320: break;  // telegrams arrive through the listener
    case 400:
        Wireless_Receive_Message = false;
        send(Bytes({0x00}));
        break;
    case 401: Wait(Is_Prompt, 402); break;
    case 402: send("B"); break;
    case 403: Wait(Is_Prompt, 404); break;
    case 404:
    case 410:
    case 416: send(Bytes({position}), 100); break;
    case 405: Wait(Any, 406, true); break;
    case 406:
        if (slave) send(Build_Wireless_Ident(*slave));
        else Fail();
        break;
    case 407: Wait(Starts_With_Prompt, 408); break;
    case 408: send("K"); break;
    case 409: Wait(Is_Prompt, 410); break;
    case 411: Wait(Any, 412, true); break;
    case 412:
        if (slave) send(Build_Wireless_Key(*slave));
        else Fail();
        break;
    case 413: Wait(Starts_With_Prompt, 414); break;
    case 414: send("A"); break;
    case 415: Wait(Is_Prompt, 416); break;
    case 417: Wait(Any, 418, true); break;
    case 418: send(Bytes({0x00, 0x40})); break;
    case 419: Wait(Is_Prompt, 318); break;
    default: Fail(); break;
    }
}

void TMBusScanWireless::End_Step(int state) {
    switch (state) {
    case 500:
        Count_Disable_Analyzer = 0;
        FAbortScan = FStopScan = false;
        Step_Scan = 501;
        [[fallthrough]];
    case 501:
        Wireless_Receive_Message = false;
        if (Count_Disable_Analyzer >= Leave_Tries) {
            Step_Scan = 503;
            End_Step(503);
            break;
        }
        ++Count_Disable_Analyzer;
        Send(Disable_Configuration, 1000);
        Step_Scan = 502;
        break;
    case 502: {
        ByteString reply;
        if (Link_.Answer(reply)) Step_Scan = reply == Configuration_Disabled ? 503 : 501;
        else if (Link_.TimedOut()) Step_Scan = 501;
        break;
    }
    case 503:
        Link_.Release();
        FInScan = false;
        if (!SaveXMLFile.empty()) {
            try {
                Save_Wireless_XML_File_DLL(SaveXMLFile);
            } catch (const Exception& e) {
                // The scan itself has ended well; the caller that named the
                // file reads why it is missing.
                SaveXMLError = e.Message();
            }
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// The wireless scan on the scan thread and its UDP link.

class TThreadWirelessLink : public TWirelessLink {
public:
    explicit TThreadWirelessLink(TMBusScanDecode& Thread) : T(Thread) {}
    void Send(const ByteString& Data, int TimeOut) override {
        T.Req_Array = Data;
        T.TimeOut_Calc = TimeOut;
        T.Send_Command(T.Port_Wireless);
    }
    bool Answer(ByteString& Reply) override {
        if (!T.Answer()) return false;
        Reply.assign(reinterpret_cast<const char*>(T.Ans_Array.data()), std::size_t(T.Ans_Len));
        T.Answer_Arrived.store(false, std::memory_order_release);
        return true;
    }
    bool TimedOut() override { return T.Is_TimeOut(); }
    void Release() override { T.Release_Link(); }

private:
    TMBusScanDecode& T;
};

bool TMBusScanDecode::Start_Scan_Wireless(const String& Address, Word Port, int Mode, int Radio_Channel,
                                          bool Remote_Scan, const String& Local_Address,
                                          std::function<void(int, TSlave_wMBus*)> Callback) {
    if (FInScan) return false;
    if (!Wireless_) {
        Wireless_Link_ = std::make_unique<TThreadWirelessLink>(*this);
        Wireless_ = std::make_unique<TMBusScanWireless>(*Wireless_Link_);
    }
    Select_Hardware = shEthernet;
    IP_Address = Address;
    ComPort.clear();
    Port_Wireless = Port;
    Add_TimeOut = Remote_Scan ? Remote_Add_TimeOut : 0;
    UDP_Server_->Start(Local_Address, Port);  // raises when the port cannot be had
    MBusType = mtWireless;
    Wireless_->Decoder.UpdateListWirelessSlave = std::move(Callback);
    Wireless_->SaveXMLFile = SaveXMLFile;
    Wireless_->Start(Mode, Radio_Channel, Add_TimeOut);
    Step_Scan = 0;
    FResult = 1;
    FStopScan = false;
    FAbortScan = false;
    FInScan = true;
    return true;
}

void TMBusScanDecode::Scan_Decode_Wireless() {
    if (!Wireless_) return;
    if (FStopScan.exchange(false)) Wireless_->Stop_Scan();
    if (FAbortScan.exchange(false)) Wireless_->Abort_Scan();
    try {
        Wireless_->Scan_Decode_Wireless();
    } catch (const Exception&) {
        Wireless_->Link_Failed();
    }
    Step_Scan = Wireless_->Step();
    FResult = Wireless_->Result();
    if (!Wireless_->InScan()) FInScan = false;
}

bool TMBusScanDecode::Insert_Wireless_Key(int Index, const std::array<Byte, 16>& Key) {
    return Wireless_ && Wireless_->Insert_Wireless_Key(Index, Key);
}
