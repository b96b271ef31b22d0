// The wired scan: one step per call. Over UDP the converter is first put into
// its analyzer mode with the line's baud rate and parity; then the meters are
// searched by primary address (0 to 250) or by secondary address (a wildcard
// walk over the eight digits of the identification number), each meter found
// is read with REQ_UD2 frame by frame, and the end leaves the analyzer mode
// and releases the link.

#include "mbus/MBusScanDecode.h"

#include "framework/SysUtils.h"
#include "mbus/MBusResultFiles.h"
#include "shell/Globals.h"

#include <cstdlib>

namespace {

// State codes.
enum : int {
    S_Start = 0, S_Analyzer_Answer = 1, S_Serial_Param = 300, S_Serial_Param_Answer = 301,
    S_Primary = 2, S_Primary_NKE_Answer = 3, S_Next_Address = 4, S_App_Reset = 5, S_App_Reset_Answer = 6,
    S_SND_NKE = 7, S_SND_NKE_Answer = 8, S_REQ_UD2 = 9, S_REQ_UD2_Answer = 10,
    S_Secondary = 100, S_Sec_NKE_FD = 101, S_Sec_NKE_FD_Answer = 102, S_Sec_App_Reset = 103,
    S_Sec_App_Reset_Answer = 104, S_Sec_NKE_FF = 105, S_Sec_NKE_FF_Answer = 106, S_Sec_Clear = 107,
    S_Digit_A = 108,  // digit states 108, 110, ..., 122; answer states one above each
    S_Sec_REQ_UD2 = 124, S_Sec_REQ_UD2_Answer = 125,
    S_End = 200, S_Leave_Analyzer = 201, S_Leave_Analyzer_Answer = 202, S_Done = 203
};
constexpr int Primary_First = 0, Primary_Last = 250;
constexpr Byte Broadcast = 0xFF;      // every meter; SND_NKE to it resets the line
constexpr Byte Selected = 0xFD;       // the meter chosen by the last secondary select
constexpr Cardinal Primary_Pause = 500;
constexpr Cardinal Secondary_Pause = 800;
constexpr int Command_TimeOut = 1000;  // converter text commands, plus Add_TimeOut

constexpr const char* Analyzer_Enabled = "\n\rAnalyzer_Mode Enabled!\n\r";
constexpr const char* Analyzer_Disabled = "\n\rAnalyzer_Mode Disabled!\n\r";
constexpr const char* Serial_Param_Done = "\n\rDone!";

}  // namespace

void TMBusScanDecode::Scan_Decode() {
    try {
        Wired_Step();
    } catch (...) {
        Fail_Step();
    }
}

// A step that failed (a send refused, a port error) ends the scan through the
// end states as a failed set-up does, so the window learns of it; a failure
// inside the end states goes straight to the last one.
void TMBusScanDecode::Fail_Step() {
    Enable_Send_In_Last_Step = false;
    FResult = 2;
    if (Step_Scan < S_End) {
        Step_Scan = S_End;
        return;
    }
    Step_Scan = S_Done;
    try {
        Release_Link();
    } catch (...) {
        // the link is gone either way; the scan must still end
    }
    FInScan = false;
}

void TMBusScanDecode::Read_Answer_Frame(bool Secondary) {
    const int next = Secondary ? Sec_Add_Next_Step : S_Next_Address;
    auto report_secondary = [&] {
        const auto* slave = static_cast<TSlave_MBus*>(MBus_Slave_List.back());
        // The identification number read as a hexadecimal number, all 32 bits.
        const auto id = std::strtoul(StringToUtf8(slave->Secondary_Addresss).c_str(), nullptr, 16);
        Do_Update_Slave_List(2, int(Cardinal(id)), 1, 2);
    };
    ID_Dev_Found = false;
    // The secondary road looks at the time-out first; an answer then overrides it.
    if (Secondary && Is_TimeOut()) {
        TimeOut_Calc = Short_TimeOut(Baudrate, Add_TimeOut);
        Step_Scan = next;
    }
    if (Answer()) {
        if (Is_Long_Frame(Ans_Array.data(), Ans_Len)) {
            bool last = true;
            const int at = Decoder.Decode_RSP_UD(Ans_Array.data(), Ans_Len, Num_Frame_Read == 0 ? -1 : Index_Device, last);
            if (at >= 0) Index_Device = at;
            ++Num_Frame_Read;
            if (last || Num_Frame_Read == Cut_After) {
                ID_Dev_Found = true;
                if (Secondary) {
                    TimeOut_Calc = Short_TimeOut(Baudrate, Add_TimeOut);
                    if (!MBus_Slave_List.empty()) report_secondary();
                } else {
                    Do_Update_Slave_List(2, ID_Dev_Primary, 1, 1);
                }
                Step_Scan = next;
            } else {
                Step_Scan = Secondary ? S_Sec_REQ_UD2 : S_REQ_UD2;
            }
        } else {
            if (Secondary)
                TimeOut_Calc = Short_TimeOut(Baudrate, Add_TimeOut);
            else
                Do_Update_Slave_List(2, ID_Dev_Primary, 0, 1);
            Step_Scan = next;
        }
    }
    // A time-out taken after an accepted answer in the same step overrides it.
    if (!Secondary && Is_TimeOut() && !ID_Dev_Found) {
        Do_Update_Slave_List(2, ID_Dev_Primary, 0, 1);
        Step_Scan = S_Next_Address;
    }
}

// Digit state of level 0 (A) to 7 (H).
void TMBusScanDecode::Secondary_Digit(int Level) {
    if (FStopScan) {
        Step_Scan = S_End;
        return;
    }
    ++Index[Level];
    for (int deeper = Level + 1; deeper < 8; ++deeper) Index[deeper] = -1;
    if (Index[Level] > 9) {
        if (Level == 0) {
            Enable_Send_In_Last_Step = true;
            Type_To_Send_In_Last_Step = 2;
            Step_Scan = S_End;
        } else {
            Step_Scan = S_Digit_A + 2 * (Level - 1);
        }
        return;
    }
    Clock->Wait(Secondary_Pause);
    Req_Array = Build_Select_Secondary(Index, Fix_C_Field, Fix_C_Field_Value);
    Send_Command(Converter_Port);
    Step_Scan = S_Digit_A + 2 * Level + 1;
}

void TMBusScanDecode::Secondary_Answer(int Level) {
    const int digit = S_Digit_A + 2 * Level;
    // The time-out is looked at first; an answer then overrides it.
    if (Is_TimeOut()) Step_Scan = digit;
    if (!Answer()) return;
    if (Is_Ack(Ans_Array.data(), Ans_Len)) {
        Num_Frame_Read = 0;
        Sec_Add_Next_Step = digit;
        Step_Scan = S_Sec_REQ_UD2;
    } else if (Level == 7 || Is_No_Slave(Ans_Array.data(), Ans_Len)) {
        Step_Scan = digit;
    } else {
        Step_Scan = digit + 2;  // several meters answered at once: one digit deeper
    }
}

void TMBusScanDecode::Wired_Step() {
    if (FAbortScan) Step_Scan = S_End;
    const bool serial = Select_Hardware == shSerial;
    const int step = Step_Scan;
    auto short_timeout = [&] { TimeOut_Calc = Short_TimeOut(Baudrate, Add_TimeOut); };
    auto send_frame = [&](Cardinal pause, ByteString frame) {
        Clock->Wait(pause);
        Req_Array = std::move(frame);
        Send_Command(Converter_Port);
    };
    auto answered_or_timeout = [&] { return Answer() || Is_TimeOut(); };
    // A set-up command's answer: true for the expected text; another text or
    // none in time ends the scan as a converter that failed its set-up.
    auto set_up_answer = [&](const char* expected) {
        const bool answered = Answer();
        if (answered && Is_Text(Ans_Array.data(), Ans_Len, expected)) return true;
        if (answered || Is_TimeOut()) {
            FResult = 2;
            Step_Scan = S_End;
        }
        return false;
    };

    if (step >= S_Digit_A && step <= S_Digit_A + 15) {
        const int level = (step - S_Digit_A) / 2;
        if ((step - S_Digit_A) % 2 == 0)
            Secondary_Digit(level);
        else
            Secondary_Answer(level);
        return;
    }

    switch (step) {
        case S_Start:
            Enable_Send_In_Last_Step = false;
            FResult = 1;
            if (serial) {
                Step_Scan = ScanType == saSecondaryAddress ? S_Secondary : S_Primary;
            } else {
                TimeOut_Calc = Add_TimeOut + Command_TimeOut;
                Send_Command("Korvia_Enable_Analyzer_Mode", Converter_Port);
                Step_Scan = S_Analyzer_Answer;
            }
            break;
        case S_Analyzer_Answer:
            if (set_up_answer(Analyzer_Enabled)) {
                ID_Dev_Primary = -1;
                Step_Scan = S_Serial_Param;
            }
            break;
        case S_Serial_Param:
            FResult = 1;
            TimeOut_Calc = Add_TimeOut + Command_TimeOut;
            Req_Array = Build_Set_Serial_Param(Baudrate, Parity);
            Send_Command(Converter_Port);
            Step_Scan = S_Serial_Param_Answer;
            break;
        case S_Serial_Param_Answer:
            if (set_up_answer(Serial_Param_Done)) Step_Scan = ScanType == saSecondaryAddress ? S_Secondary : S_Primary;
            break;

        // Primary-address search.
        case S_Primary:
            short_timeout();
            ID_Dev_Primary = Primary_First - 1;
            Do_Update_Slave_List(1, 0, 0, 1);
            send_frame(Primary_Pause, Build_SND_NKE(Broadcast));
            Step_Scan = S_Primary_NKE_Answer;
            break;
        case S_Primary_NKE_Answer:
            if (answered_or_timeout()) Step_Scan = S_Next_Address;
            break;
        case S_Next_Address:
            short_timeout();
            Num_Frame_Read = 0;
            ++ID_Dev_Primary;
            if (ID_Dev_Primary > Primary_Last || FStopScan) {
                Enable_Send_In_Last_Step = true;
                Type_To_Send_In_Last_Step = 1;
                FResult = 1;
                Step_Scan = S_End;
            } else {
                Step_Scan = App_Reset ? S_App_Reset : SND_NKE ? S_SND_NKE : S_REQ_UD2;
            }
            break;
        case S_App_Reset:
            send_frame(Primary_Pause, Build_App_Reset(Byte(ID_Dev_Primary), Fix_C_Field, Fix_C_Field_Value));
            Step_Scan = S_App_Reset_Answer;
            break;
        case S_App_Reset_Answer:
            if ((Answer() && Is_Ack(Ans_Array.data(), Ans_Len)) || Is_TimeOut())
                Step_Scan = SND_NKE ? S_SND_NKE : S_REQ_UD2;
            break;
        case S_SND_NKE:
            send_frame(Primary_Pause, Build_SND_NKE(Byte(ID_Dev_Primary)));
            Step_Scan = S_SND_NKE_Answer;
            break;
        case S_SND_NKE_Answer:
            if ((Answer() && Is_Ack(Ans_Array.data(), Ans_Len)) || Is_TimeOut()) Step_Scan = S_REQ_UD2;
            break;
        case S_REQ_UD2:
            TimeOut_Calc = Long_TimeOut(Baudrate, Add_TimeOut);
            send_frame(Primary_Pause, Build_REQ_UD2(Byte(ID_Dev_Primary), Num_Frame_Read, Fix_C_Field, Fix_C_Field_Value));
            Step_Scan = S_REQ_UD2_Answer;
            break;
        case S_REQ_UD2_Answer:
            Read_Answer_Frame(false);
            break;

        // Secondary-address search.
        case S_Secondary:
            short_timeout();
            Do_Update_Slave_List(1, 0, 0, 2);
            Step_Scan = SND_NKE ? S_Sec_NKE_FD : App_Reset ? S_Sec_App_Reset : S_Sec_NKE_FF;
            break;
        case S_Sec_NKE_FD:
            send_frame(Secondary_Pause, Build_SND_NKE(Selected));
            Step_Scan = S_Sec_NKE_FD_Answer;
            break;
        case S_Sec_NKE_FD_Answer:
            if ((Answer() && Is_Ack(Ans_Array.data(), Ans_Len)) || Is_TimeOut())
                Step_Scan = App_Reset ? S_Sec_App_Reset : S_Sec_NKE_FF;
            break;
        case S_Sec_App_Reset:
            send_frame(Secondary_Pause, Build_App_Reset(Broadcast, Fix_C_Field, Fix_C_Field_Value));
            Step_Scan = S_Sec_App_Reset_Answer;
            break;
        case S_Sec_App_Reset_Answer:
            if ((Answer() && Is_Ack(Ans_Array.data(), Ans_Len)) || Is_TimeOut()) Step_Scan = S_Sec_NKE_FF;
            break;
        case S_Sec_NKE_FF:
            send_frame(Secondary_Pause, Build_SND_NKE(Broadcast));
            Step_Scan = S_Sec_NKE_FF_Answer;
            break;
        case S_Sec_NKE_FF_Answer:
            if (answered_or_timeout()) Step_Scan = S_Sec_Clear;
            break;
        case S_Sec_Clear:
            Index.fill(-1);
            Step_Scan = S_Digit_A;
            break;
        case S_Sec_REQ_UD2:
            TimeOut_Calc = Long_TimeOut(Baudrate, Add_TimeOut);
            send_frame(Secondary_Pause, Build_REQ_UD2(Selected, Num_Frame_Read, Fix_C_Field, Fix_C_Field_Value));
            Step_Scan = S_Sec_REQ_UD2_Answer;
            break;
        case S_Sec_REQ_UD2_Answer:
            Read_Answer_Frame(true);
            break;

        // End.
        case S_End:
            Count_Disable_Analyzer = 0;
            FAbortScan = false;
            Step_Scan = S_Leave_Analyzer;
            break;
        case S_Leave_Analyzer:
            if (serial || Count_Disable_Analyzer >= 3) {
                Step_Scan = S_Done;
            } else {
                ++Count_Disable_Analyzer;
                TimeOut_Calc = Add_TimeOut + Command_TimeOut;
                Send_Command("Korvia_Disable_Analyzer_Mode", Converter_Port);
                Step_Scan = S_Leave_Analyzer_Answer;
            }
            break;
        case S_Leave_Analyzer_Answer:
            if (Answer())
                Step_Scan = Is_Text(Ans_Array.data(), Ans_Len, Analyzer_Disabled) ? S_Done : S_Leave_Analyzer;
            else if (Is_TimeOut())
                Step_Scan = S_Leave_Analyzer;
            break;
        case S_Done:
            if (!FInScan) break;
            Release_Link();
            FInScan = false;
            if (!SaveXMLFile.empty()) {
                try {
                    Save_XML_File_DLL(SaveXMLFile);
                } catch (const Exception& e) {
                    // The scan itself has ended well; the caller that named the
                    // file reads why it is missing.
                    SaveXMLError = e.Message();
                }
            }
            if (Enable_Send_In_Last_Step) Do_Update_Slave_List(3, 0, 0, Type_To_Send_In_Last_Step);
            break;
        default:
            break;
    }
}
