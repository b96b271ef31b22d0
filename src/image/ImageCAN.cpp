#include "image/ImageCAN.h"

#include "framework/SysUtils.h"
#include "image/ImageCANCommon.h"
#include "image/SNMPAgentSettings.h"
#include "image/SNMPTrap.h"
#include "image/TableFile.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <algorithm>

namespace {

// CAN has 62500 among its rates, so its list is its own.
constexpr Cardinal CAN_Bus_Rates[] = {10000, 20000, 50000, 62500, 100000, 125000, 250000, 500000, 800000, 1000000};
constexpr Word CAN_Default_Port = 2000;
constexpr int CAN_Default_Data_Area = 1440;
constexpr Cardinal SNMP_Data_Area = 1024;
constexpr Cardinal Extended_Identifier = 0x80000000;  // a 29-bit identifier
constexpr Cardinal CPU2_CAN_Table_Flash = 0x80000;

bool Is_SNMP_Model(int model) { return model == 15 || model == 34; }

// A text the editors always write; a row without it is as broken as one without a number.
String Required_Text(const TTableRow& row, const char16_t* attribute) {
    std::optional<String> text = row.Text(attribute);
    if (!text) row.Fail(Lang_Message(1120, {attribute}));
    return *text;
}

TCAN_Frame_Entry Frame_Entry(const TTableRow& row) {
    TCAN_Frame_Entry e;
    e.Identifier = static_cast<Cardinal>(row.Number(u"Cob_Id"));
    if (Required_Text(row, u"Type") == u"2.0B (29 bits)") e.Identifier += Extended_Identifier;
    e.Data_Length = static_cast<Byte>(row.Number(u"Dimension"));
    return e;
}

// Frames of one direction and then their info rows, which map the data bytes.
void Read_Direction(const String& framesPath, const char16_t* tableName, const String& infoPath, bool send,
                    TCAN_Frame_Table& table) {
    std::optional<TTableFile> frames = TTableFile::Load(framesPath);
    if (!frames) return;  // no frames of this direction; its info file is not read
    const std::size_t first = table.size();
    TTable rows = frames->Table(tableName);
    for (int i = 0; i < rows.Count(); ++i) {
        frames->Check_Capacity(table.size(), CAN_Frame_Table_Entries, Lang_Table[1124]);
        TTableRow row = rows.Row(i);
        TCAN_Frame_Entry e = Frame_Entry(row);
        if (send) {
            e.Direction = 1;
            e.Send_Period = static_cast<Cardinal>(row.Number(u"Timer_Send"));
            if (UpperCase(Required_Text(row, u"Send_Type")) == u"ON DATA CHANGE") e.Send_Period = 0;
        } else {
            e.Receive_Timeout = static_cast<Cardinal>(row.Number(u"TimeOut"));
        }
        table.push_back(e);
    }

    std::optional<TTableFile> info = TTableFile::Load(infoPath);
    if (!info) return;
    TTable infoRows = info->Root_Rows();
    const std::size_t count = std::min(table.size() - first, static_cast<std::size_t>(infoRows.Count()));
    for (std::size_t i = 0; i < count; ++i) {
        TTableRow row = infoRows.Row(static_cast<int>(i));
        TCAN_Frame_Entry& e = table[first + i];
        for (int n = 1; n <= 8; ++n) {
            if (n > e.Data_Length) continue;  // bytes beyond the frame stay unmapped
            const String attribute = S("B") + static_cast<Char>(u'0' + n);
            e.Byte_Map[n - 1] = static_cast<SmallInt>(row.Number(attribute.c_str()));
        }
    }
}

}  // namespace

void Read_ParGen_CAN(TDeviceImage& image, const TParGenImage* pg) {
    const int model = image.Model_Code;
    const bool snmp = Is_SNMP_Model(model);
    if (snmp) Put_Family_Presets(image, 0, 0, 10000, false);
    else Put_Family_Presets(image, 2, 0, 5000, true);
    if (!pg) return;

    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    Put_Profinet_Address(image, *pg, true);
    const Word port = Read_Profinet_Port(*pg, CAN_Default_Port);
    mb.PutU16(MB::User_Port, port);
    cb.PutU16(C2_User_Port, port);
    if (snmp) {
        Put_Station_Name(*pg, mb, MB::SNMP_Station_Name);
    } else {
        Put_Station_Name(*pg, mb, MB::Station_Name);
        Put_Station_Name(*pg, cb, C2_Station_Name);
    }
    mb.PutU8(MB::Option_Flags, pg->Flag(u"PROFINET_SEND_BACK_CAN_MESS") ? 1 : 0);
    if (pg->Flag(u"PROFINET_SEND_REPLAY_TUNNEL_PORT")) mb.PutU8(MB::Option_Flags, mb.GetU8(MB::Option_Flags) | 0x02);
    cb.PutU8(C2_Option_Flags, mb.GetU8(MB::Option_Flags));

    if (snmp) {
        Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, nullptr);
        mb.PutU32(MB::SNMP_Kind, 0);
        Read_SNMP_Contact_Location(*pg, image.Main_Param_Block, nullptr);
        // The agent serves fixed data areas, whatever the file says.
        mb.PutU32(MB::NB_In, SNMP_Data_Area);
        mb.PutU32(MB::NB_Out, SNMP_Data_Area);
    } else {
        Put_U32_Both(image, MB::NB_In, C2_NB_In, static_cast<Cardinal>(pg->Number(u"PROFINET_NB_IN", CAN_Default_Data_Area)));
        Put_U32_Both(image, MB::NB_Out, C2_NB_Out,
                     static_cast<Cardinal>(pg->Number(u"PROFINET_NB_OUT", CAN_Default_Data_Area)));
        if (auto a = Read_Enabled_Address(*pg, u"PROFINET_ENABLE_DIAGNOSTIC", u"PROFINET_DIAGNOSTIC_ADDRESS"))
            mb.PutU32(MB::Diagnostic_Address, *a);
        cb.PutU32(C2_Diagnostic_Address, mb.GetU32(MB::Diagnostic_Address));
        if (model == 0) {
            if (auto a = Read_Enabled_Address(*pg, u"PROFINET_ENABLE_MODBUS_POLLS", u"PROFINET_MODBUS_POLLS_ADDRESS"))
                mb.PutU32(MB::Modbus_Polls_Address, *a);
            cb.PutU32(C2_Modbus_Polls_Address, mb.GetU32(MB::Modbus_Polls_Address));
        }
    }

    const Cardinal rate = Read_List_Choice(*pg, u"CAN_BAUDRATE", CAN_Bus_Rates, 9, 1000000);
    mb.PutU32(MB::Bus_Baud_Rate, rate);
    cb.PutU32(C2_Bus_Baud_Rate, rate);
    cb.PutU32(C2_Bus_Baud_Rate_2, rate);
}

void Read_CAN_Frames(TDeviceImage& image, const TImageSources& sources, TCAN_Frame_Table& table) {
    table.clear();
    Read_Direction(sources.Path_CAN_Rec_Frames, u"Receive_Frames", sources.Path_CAN_Rec_Info, false, table);
    Read_Direction(sources.Path_CAN_Send_Frames, u"Send_Frames", sources.Path_CAN_Send_Info, true, table);
    Put_U32_Both(image, MB::CAN_Frame_Count, C2_CAN_Frame_Count, static_cast<Cardinal>(table.size()));
}

void Save_CAN_Frame_Table(TDeviceImage& image, const TCAN_Frame_Table& table) {
    TLeBytes b = image.Bank_Image_B.Bytes();
    std::size_t pos = 0;
    for (const TCAN_Frame_Entry& e : table) {
        b.Fill(pos, CAN_Frame_Entry_Size, 0);
        b.PutU32(pos + 0, e.Identifier);
        b.PutU32(pos + 4, e.Send_Period);
        b.PutU32(pos + 8, e.Receive_Timeout);
        b.PutU8(pos + 13, e.Direction);
        b.PutU8(pos + 14, e.Data_Length);
        for (std::size_t n = 0; n < 8; ++n) b.PutU16(pos + 16 + 2 * n, static_cast<Word>(e.Byte_Map[n]));
        pos += CAN_Frame_Entry_Size;
    }
    image.Bank_Image_B.Len = pos;
}

void Build_Image_CAN(TDeviceImage& image, const TImageSources& sources) {
    const int model = image.Model_Code;
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    TCAN_Frame_Table table;
    if (Is_SNMP_Model(model)) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_CAN(image, pg ? &*pg : nullptr);
    Read_CAN_Frames(image, sources, table);
    if (Is_SNMP_Model(model))
        Read_SNMP_Trap(model, sources.Path_SNMP_Trap, image.SNMP_Trap, image.Main_Param_Block, nullptr);
    image.CPU2_Param_Block.Bytes().PutU32(C2_CAN_Table_Address, CPU2_CAN_Table_Flash);

    TLeBytes a = image.Bank_Image_A.Bytes();
    image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, 0, a);
    Save_CAN_Frame_Table(image, table);
    if (Is_SNMP_Model(model)) image.Bank_Image_A.Len = Save_SNMP_Trap_Tables(image.SNMP_Trap, image.Bank_Image_A.Len, a);
    if (model == 0)
        image.Bank_Image_C.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_C.Bytes());
}
