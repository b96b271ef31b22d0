#include "image/ImageJ1939.h"

#include "framework/SysUtils.h"
#include "image/ImageCANCommon.h"
#include "image/SNMPAgentSettings.h"
#include "image/SNMPTrap.h"
#include "image/TableFile.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <climits>

namespace {

// Byte 30 of an entry.
enum : Byte {
    PGN_Transmit = 0x01,
    PGN_Transport_Protocol = 0x02,
    PGN_Fast_Packet = 0x04,
    PGN_On_Timer = 0x10,
    PGN_On_Data_Change = 0x20,
    PGN_On_Request = 0x40,
};
constexpr Cardinal PGN_Peer_To_Peer = 0x01;  // PGN_Flags bit 0
constexpr int Single_Frame_Bytes = 8;
// Fast packets above this many bytes also need the transport protocol; the
// converter's firmware uses this threshold.
constexpr int Fast_Packet_Limit = 233;
constexpr Cardinal J1939_Table_Flash_32[2] = {0x58000, 0x5C000};
constexpr Cardinal J1939_Table_Flash_CPU2[2] = {0x80000, 0x84000};

enum class TFamily { J1939, NMEA2000 };

TLeBytes Entry(TPGN_Tables& tables, bool transmit, std::size_t index) {
    const std::size_t at = ((transmit ? PGN_Table_Entries : 0) + index) * PGN_Entry_Size;
    return TLeBytes(tables.Entries.data() + at, PGN_Entry_Size, "parameter-group entry");
}

// An optional number of a receive row: missing and unreadable give fallback.
Cardinal Optional(const TTableRow& row, const char16_t* attribute, int fallback) {
    return static_cast<Cardinal>(row.Number(attribute, fallback));
}

// Fills the receive table; returns the bytes its rows take in the input area.
Cardinal Read_Receive(TFamily family, const String& path, bool peerToPeer, TPGN_Tables& tables, Cardinal& count) {
    count = 0;
    Cardinal p = 0;
    std::optional<TTableFile> file = TTableFile::Load(path);
    if (!file) return p;
    TTable rows = file->Root_Rows();
    for (int i = 0; i < rows.Count(); ++i) {
        file->Check_Capacity(count, PGN_Table_Entries, Lang_Table[1136]);
        TTableRow row = rows.Row(i);
        TLeBytes e = Entry(tables, false, count);
        Cardinal id = 0;
        if (family == TFamily::J1939) id = Optional(row, u"DP", 0) * 0x1000000u;
        id += Optional(row, u"PGN", 0) * 0x100u;
        if (!peerToPeer) id += Optional(row, u"SA", 0);
        e.PutU32(0, id);
        e.PutU32(4, 0);
        e.PutU32(8, row.Flag(u"Delete", TFlagFold::Exact) ? tables.PGN_Cancel_Timeout : 0);

        Byte flags = 0;
        bool multiFrame = row.Flag(u"TP", TFlagFold::Exact);
        if (family == TFamily::NMEA2000) {
            if (multiFrame) flags |= PGN_Transport_Protocol;
            if (row.Flag(u"FP", TFlagFold::Exact)) {
                flags |= PGN_Fast_Packet;
                multiFrame = true;
            }
        }
        e.PutU8(30, flags);
        e.PutU16(12, p);
        if (multiFrame) {
            e.PutU16(28, 1);
            e.PutU16(14, Optional(row, u"TP_Start", 0));
            e.PutU16(16, Optional(row, u"TP_NByte", 0));
        } else {
            e.PutU16(28, 0);
            const int start = row.Number(u"TP_Start", -1), bytes = row.Number(u"TP_NByte", -1);
            const bool given = start != -1 && bytes != -1;
            e.PutU16(14, given ? static_cast<Cardinal>(start) : 0);
            e.PutU16(16, given ? static_cast<Cardinal>(bytes) : Single_Frame_Bytes);
        }
        p += e.GetU16(16);
        ++count;
    }
    return p;
}

// The event flags of a J1939 row that names its send type in "T_Type";
// false when the row has none or its timer is unreadable, so the three event
// attributes decide.
bool Read_Send_Type(const TTableRow& row, TLeBytes e, Byte& flags) {
    std::optional<String> type = row.Text(u"T_Type");
    if (!type) return false;
    if (UpperCase(*type) == u"ON DATA CHANGE") {
        flags |= PGN_On_Data_Change;
        e.PutU32(4, 0);
        return true;
    }
    constexpr int No_Number = INT_MIN;
    const int period = row.Number(u"SendTimer", No_Number);
    if (period == No_Number) return false;
    flags |= PGN_On_Timer;
    e.PutU32(4, static_cast<Cardinal>(period));
    return true;
}

// Fills the transmit table; returns the bytes its rows take in the output area.
Cardinal Read_Transmit(TFamily family, const String& path, TPGN_Tables& tables, Cardinal& count) {
    count = 0;
    Cardinal p = 0;
    std::optional<TTableFile> file = TTableFile::Load(path);
    if (!file) return p;
    TTable rows = file->Root_Rows();
    for (int j = 0; j < rows.Count(); ++j) {
        file->Check_Capacity(count, PGN_Table_Entries, Lang_Table[1137]);
        TTableRow row = rows.Row(j);
        TLeBytes e = Entry(tables, true, count);
        // The identifier is the plain sum of its fields, on 32 bits and unmasked.
        Cardinal id = static_cast<Cardinal>(row.Number(u"Priority")) * 0x4000000u;
        if (family == TFamily::J1939) id += static_cast<Cardinal>(row.Number(u"DP")) * 0x1000000u;
        id += static_cast<Cardinal>(row.Number(u"PGN")) * 0x100u;
        id += static_cast<Cardinal>(row.Number(u"SA"));
        e.PutU32(0, id);
        e.PutU32(4, 0);

        Byte flags = PGN_Transmit;
        if (family != TFamily::J1939 || !Read_Send_Type(row, e, flags)) {
            if (row.Flag(u"On_Request", TFlagFold::Upper)) flags |= PGN_On_Request;
            if (row.Flag(u"On_Data_Change", TFlagFold::Upper)) flags |= PGN_On_Data_Change;
            if (row.Flag(u"On_Timer", TFlagFold::Upper)) {
                flags |= PGN_On_Timer;
                e.PutU32(4, Optional(row, u"SendTimer", 0));
            }
        }

        const bool fastPacket = family == TFamily::NMEA2000 && row.Flag(u"FP", TFlagFold::Exact);
        // A fast packet's length cannot be guessed: its row must give it.
        if (fastPacket && !row.Text(u"TP_NByte")) row.Fail(Lang_Message(1120, {u"TP_NByte"}));
        const int n = row.Number(u"TP_NByte", Single_Frame_Bytes);
        bool multiFrame = n > Single_Frame_Bytes;
        if (family == TFamily::NMEA2000) {
            if (fastPacket) {
                flags |= PGN_Fast_Packet;
                multiFrame = true;
                if (n > Fast_Packet_Limit) flags |= PGN_Transport_Protocol;
            } else if (multiFrame) {
                flags |= PGN_Transport_Protocol;
            }
        }
        e.PutU16(28, multiFrame ? 1 : 0);
        e.PutU8(30, flags);
        e.PutU16(12, p);
        e.PutU16(14, 0);
        e.PutU16(16, static_cast<Cardinal>(n));
        p += static_cast<Cardinal>(n);
        ++count;
    }
    return p;
}

void Read_Frames(TFamily family, TDeviceImage& image, const String& receivePath, const String& transmitPath,
                 TPGN_Tables& tables) {
    TLeBytes mb = image.Main_Param_Block.Bytes();
    const bool peerToPeer = (mb.GetU32(MB::PGN_Flags) & PGN_Peer_To_Peer) != 0;
    // An empty direction still takes one byte, except on the SNMP model, whose areas are its own.
    const Cardinal empty = image.Model_Code == 32 ? 0 : 1;
    Cardinal rx = 0, tx = 0;
    Cardinal in = Read_Receive(family, receivePath, peerToPeer, tables, rx);
    Cardinal out = Read_Transmit(family, transmitPath, tables, tx);
    mb.PutU32(MB::NB_In, in == 0 ? empty : in);
    mb.PutU32(MB::NB_Out, out == 0 ? empty : out);
    mb.PutU32(MB::PGN_Rx_Count, rx);
    mb.PutU32(MB::PGN_Tx_Count, tx);
    if (family != TFamily::J1939) return;
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    for (std::size_t offset : {MB::NB_In, MB::NB_Out, MB::PGN_Rx_Count, MB::PGN_Tx_Count}) cb.PutU32(offset, mb.GetU32(offset));
}

}  // namespace

void Clear_PGN_Tables(TPGN_Tables& tables) {
    for (std::size_t i = 0; i < 2 * PGN_Table_Entries; ++i) {
        Byte* e = tables.Entries.data() + i * PGN_Entry_Size;
        std::fill_n(e, 12, Byte{0xFF});
        std::fill_n(e + 12, PGN_Entry_Size - 12, Byte{0});
        if (i >= PGN_Table_Entries) e[30] = PGN_Transmit;
    }
}

void Read_ParGen_J1939(TDeviceImage& image, const TParGenImage* pg, TPGN_Tables& tables) {
    const bool snmp = image.Model_Code == 32;
    if (snmp) Put_Family_Presets(image, 0, 0, 10000, false);
    else Put_Family_Presets(image, 2, 0x10, 5000, true);
    tables.PGN_Cancel_Timeout = 0;
    if (!pg) return;

    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    Put_Profinet_Address(image, *pg, true);
    if (snmp) {
        Put_Station_Name(*pg, mb, MB::SNMP_Station_Name);
    } else {
        Put_Station_Name(*pg, mb, MB::Station_Name);
        Put_Station_Name(*pg, cb, C2_Station_Name);
    }
    Put_U32_Both(image, MB::NB_In, C2_NB_In, 0);
    Put_U32_Both(image, MB::NB_Out, C2_NB_Out, 0);
    if (snmp) {
        Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, nullptr);
        mb.PutU32(MB::Diagnostic_Address, 0);
        mb.PutU32(MB::SNMP_Kind, 2);
        Read_SNMP_Contact_Location(*pg, image.Main_Param_Block, nullptr);
    }

    const Cardinal rate = Read_List_Choice(*pg, u"J1939_BAUDRATE", CAN_Bus_Rates_9, 5, 250000);
    mb.PutU32(MB::Bus_Baud_Rate, rate);
    cb.PutU32(C2_Bus_Baud_Rate, rate);
    cb.PutU32(C2_Bus_Baud_Rate_2, rate);
    tables.PGN_Cancel_Timeout = static_cast<Cardinal>(pg->Number(u"J1939_TIMEOUT", 0)) * 1000u;
    if (pg->Flag(u"J1939_PEER_TO_PEER")) mb.PutU32(MB::PGN_Flags, mb.GetU32(MB::PGN_Flags) | PGN_Peer_To_Peer);
    cb.PutU32(C2_PGN_Flags, mb.GetU32(MB::PGN_Flags));
    Put_U32_Both(image, MB::Node_ID, C2_Node_ID, static_cast<Cardinal>(pg->Number(u"J1939_ID", 0)));
    mb.PutU8(MB::Cancel_Data_Value, 255);
    if (pg->Flag(u"J1939_EN_NOT_STANDARD_CANCEL_DATA"))
        mb.PutU8(MB::Cancel_Data_Value, static_cast<Cardinal>(pg->Number(u"J1939_NOT_STANDARD_CANCEL_DATA_VALUE", 255)));
    cb.PutU8(C2_Cancel_Data_Value, mb.GetU8(MB::Cancel_Data_Value));
}

void Read_ParGen_NMEA2000(TDeviceImage& image, const TParGenImage* pg, TPGN_Tables& tables) {
    Put_Family_Presets(image, 2, 0x30, 5000, false);
    tables.PGN_Cancel_Timeout = 0;
    if (!pg) return;

    TLeBytes mb = image.Main_Param_Block.Bytes();
    Put_Profinet_Address(image, *pg, false);
    Put_Station_Name(*pg, mb, MB::Station_Name);
    mb.PutU32(MB::NB_In, 0);
    mb.PutU32(MB::NB_Out, 0);
    mb.PutU32(MB::Bus_Baud_Rate, Read_List_Choice(*pg, u"NMEA2000_BAUDRATE", CAN_Bus_Rates_9, 5, 250000));
    tables.PGN_Cancel_Timeout = static_cast<Cardinal>(pg->Number(u"NMEA2000_TIMEOUT", 0)) * 1000u;
    if (pg->Flag(u"NMEA2000_PEER_TO_PEER")) mb.PutU32(MB::PGN_Flags, mb.GetU32(MB::PGN_Flags) | PGN_Peer_To_Peer);
}

void Read_J1939_Frames(TDeviceImage& image, const TImageSources& sources, TPGN_Tables& tables) {
    Read_Frames(TFamily::J1939, image, sources.Path_J1939_Rec_Frames, sources.Path_J1939_Send_Frames, tables);
}

void Read_NMEA_Frames(TDeviceImage& image, const TImageSources& sources, TPGN_Tables& tables) {
    Read_Frames(TFamily::NMEA2000, image, sources.Path_NMEA_Rec_Frames, sources.Path_NMEA_Send_Frames, tables);
}

std::size_t Save_PGN_Tables(const TPGN_Tables& tables, std::size_t pos, TLeBytes dst) {
    dst.PutBytes(pos, tables.Entries.data(), PGN_Tables_Size);
    return pos + PGN_Tables_Size;
}

void Build_Image_J1939(TDeviceImage& image, const TImageSources& sources) {
    const int model = image.Model_Code;
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    TPGN_Tables tables;
    Clear_PGN_Tables(tables);
    if (model == 32) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_J1939(image, pg ? &*pg : nullptr, tables);
    Read_J1939_Frames(image, sources, tables);
    TLeBytes mb = image.Main_Param_Block.Bytes();
    if (model == 32) {
        Read_SNMP_Trap(model, sources.Path_SNMP_Trap, image.SNMP_Trap, image.Main_Param_Block, nullptr);
        mb.PutU32(MB::PGN_Table_Addresses, J1939_Table_Flash_32[0]);
        mb.PutU32(MB::PGN_Table_Addresses + 4, J1939_Table_Flash_32[1]);
    }

    TLeBytes a = image.Bank_Image_A.Bytes();
    image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, 0, a);
    image.Bank_Image_B.Len = Save_PGN_Tables(tables, 0, image.Bank_Image_B.Bytes());
    if (model == 32) image.Bank_Image_A.Len = Save_SNMP_Trap_Tables(image.SNMP_Trap, image.Bank_Image_A.Len, a);
    if (model == 6) {
        TLeBytes cb = image.CPU2_Param_Block.Bytes();
        cb.PutU32(C2_PGN_Table_Addresses, J1939_Table_Flash_CPU2[0]);
        cb.PutU32(C2_PGN_Table_Addresses + 4, J1939_Table_Flash_CPU2[1]);
        image.Bank_Image_C.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_C.Bytes());
    }
}

void Build_Image_NMEA2000(TDeviceImage& image, const TImageSources& sources) {
    Init_Main_Param_Block(image.Main_Param_Block);
    TPGN_Tables tables;
    Clear_PGN_Tables(tables);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_NMEA2000(image, pg ? &*pg : nullptr, tables);
    Read_NMEA_Frames(image, sources, tables);
    // bank1.bin takes the block's 2048 bytes whatever the length says.
    Save_Main_Param_Block(image.Main_Param_Block, 0, image.Bank_Image_A.Bytes());
    image.Bank_Image_B.Len = Save_PGN_Tables(tables, 0, image.Bank_Image_B.Bytes());
}
