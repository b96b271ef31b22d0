#include "image/ImageCANopen.h"

#include "framework/SysUtils.h"
#include "image/ImageCANCommon.h"
#include "image/SNMPAgentSettings.h"
#include "image/SNMPTrap.h"
#include "image/TableFile.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

namespace {

constexpr Word CANopen_Default_Port = 10002;
constexpr int CANopen_Default_Data_Area = 1440;
constexpr Cardinal Node_Guard_Flash = 0x68800, CPU2_Node_Guard_Flash = 0x8E000;

// The six tables: where each begins among the items, how many entries the
// converter holds, and the flash addresses of model 33 (main block) and of
// model 8 (second processor).
struct TItemTable {
    std::size_t First_Entry;
    std::size_t Entries;
    int Name;  // the text that names its entries
    Cardinal Flash_33, Flash_8;
};
constexpr TItemTable Item_Tables[6] = {
    {0, 512, 1125, 0x56000, 0x80000},
    {512, 512, 1126, 0x5A000, 0x84000},
    {1024, 256, 1127, 0x5E000, 0x88000},
    {1280, 256, 1128, 0x60000, 0x8A000},
    {1536, 128, 1129, 0x62000, 0x8C000},
    {1664, 128, 1130, 0x63000, 0x8D000},
};
enum { Server_Read, Server_Write, Client_Read, Client_Write, Receive_PDO, Transmit_PDO };

constexpr std::size_t Restart_Rows = 128;  // the bits of the 16-byte map

bool Guards_Nodes(int model) { return model == 8 || model == 33; }

Cardinal Times_1000(int value) { return static_cast<Cardinal>(value) * 1000u; }

// The entry the next row of table t fills; refuses a table already full.
TLeBytes Next_Entry(TCANopen_Tables& tables, int t, const TTableFile& file) {
    const TItemTable& table = Item_Tables[t];
    file.Check_Capacity(tables.Counts[t], table.Entries, Lang_Table[table.Name]);
    const std::size_t at = (table.First_Entry + tables.Counts[t]++) * CANopen_Entry_Size;
    return TLeBytes(tables.Items.data() + at, CANopen_Entry_Size, "CANopen item entry");
}

// SDO rows: the object, its data length and the positions of up to four data bytes.
void Read_SDO_Table(const TTableFile& file, const char16_t* name, int t, bool client, Byte flags,
                    bool sendOnChange, TCANopen_Tables& tables) {
    TTable rows = file.Table(name);
    for (int i = 0; i < rows.Count(); ++i) {
        TTableRow row = rows.Row(i);
        TLeBytes e = Next_Entry(tables, t, file);
        e.Fill(0, CANopen_Entry_Size, 0);
        e.PutU16(4, static_cast<Cardinal>(row.Number(u"Index")));
        e.PutU8(6, static_cast<Cardinal>(row.Number(u"SubIndex")));
        if (client) {
            e.PutU8(7, static_cast<Cardinal>(row.Number(u"Device_ID")));
            e.PutU32(8, static_cast<Cardinal>(row.Number(u"Poll_Time")));
        }
        const int bytes = row.Number(u"NByte");
        e.PutU8(28, static_cast<Cardinal>(bytes));
        e.PutU16(20, static_cast<Cardinal>(row.Number(u"Address_B1")));
        if (bytes >= 2) e.PutU16(22, static_cast<Cardinal>(row.Number(u"Address_B2")));
        if (bytes >= 4) {
            e.PutU16(24, static_cast<Cardinal>(row.Number(u"Address_B3")));
            e.PutU16(26, static_cast<Cardinal>(row.Number(u"Address_B4")));
        }
        Byte f = flags;
        if (sendOnChange && row.Flag(u"On_Change", TFlagFold::Exact)) f |= 0x02;
        e.PutU8(29, f);
    }
}

// PDO rows: the COB-ID, its time, its length and the positions of up to eight data bytes.
void Read_PDO_Table(const TTableFile& file, const char16_t* name, int t, const char16_t* timeAttribute,
                    bool transmit, TCANopen_Tables& tables) {
    TTable rows = file.Table(name);
    for (int i = 0; i < rows.Count(); ++i) {
        TTableRow row = rows.Row(i);
        TLeBytes e = Next_Entry(tables, t, file);
        e.Fill(0, CANopen_Entry_Size, 0);
        e.PutU32(0, static_cast<Cardinal>(row.Number(u"COB-ID")));
        e.PutU32(8, static_cast<Cardinal>(row.Number(timeAttribute)));
        const int dimension = row.Number(u"Dimension");
        e.PutU8(28, static_cast<Cardinal>(dimension));
        e.PutU16(12, static_cast<Cardinal>(row.Number(u"Address_B1")));
        for (int n = 2; n <= 8; ++n) {
            if (dimension < n) continue;
            const String attribute = S("Address_B") + static_cast<Char>(u'0' + n);
            e.PutU16(12 + 2 * (n - 1), static_cast<Cardinal>(row.Number(attribute.c_str())));
        }
        if (transmit) e.PutU8(29, row.Flag(u"On_Change", TFlagFold::Exact) ? 3 : 1);
    }
}

// A node-guarding field: a text that is no number is 0; a missing one leaves the field.
void Guard_Field(const TTableRow& row, const char16_t* attribute, TLeBytes e, std::size_t offset, bool word) {
    std::optional<String> text = row.Text(attribute);
    if (!text) return;
    const Cardinal value = static_cast<Cardinal>(StrToIntDef(*text, 0));
    if (word) e.PutU16(offset, value);
    else e.PutU8(offset, value);
}

void Read_Node_Guard(const String& path, TCANopen_Tables& tables) {
    std::optional<TTableFile> file = TTableFile::Load(path);
    if (!file) return;
    TTable rows = file->Root_Rows();
    for (int i = 0; i < rows.Count(); ++i) {
        file->Check_Capacity(tables.Node_Guard_Count, Node_Guard_Entries, Lang_Table[1131]);
        TTableRow row = rows.Row(i);
        TLeBytes e(tables.Node_Guard.data() + 4 * tables.Node_Guard_Count, 4, "node-guarding entry");
        Guard_Field(row, u"NodeID", e, 2, false);
        Guard_Field(row, u"GuardTime", e, 0, true);
        Guard_Field(row, u"LifeTimeFactor", e, 3, false);
        ++tables.Node_Guard_Count;
    }
}

void Read_Restart_Bits(TDeviceImage& image, const String& path) {
    std::optional<TTableFile> file = TTableFile::Load(path);
    if (!file) return;
    TTable rows = file->Root_Rows();
    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    for (int i = 0; i < rows.Count(); ++i) {
        file->Check_Capacity(static_cast<std::size_t>(i), Restart_Rows, Lang_Table[1132]);
        if (!rows.Row(i).Flag(u"Enable_ReStart", TFlagFold::Exact)) continue;
        const std::size_t byte = static_cast<std::size_t>(i) / 8;
        const Byte bit = static_cast<Byte>(1u << (i % 8));
        mb.PutU8(MB::Restart_Node_Bits + byte, mb.GetU8(MB::Restart_Node_Bits + byte) | bit);
        cb.PutU8(C2_Restart_Node_Bits + byte, cb.GetU8(C2_Restart_Node_Bits + byte) | bit);
    }
}

}  // namespace

void Clear_CANopen_Tables(TCANopen_Tables& tables) {
    for (std::size_t at = 0; at < CANopen_Tables_Size; at += CANopen_Entry_Size) {
        std::fill_n(tables.Items.begin() + at, CANopen_Entry_Size, Byte{0});
        std::fill_n(tables.Items.begin() + at + 12, 16, Byte{0xFF});  // the eight positions: none
    }
    tables.Counts.fill(0);
    std::fill(tables.Node_Guard.begin(), tables.Node_Guard.end(), Byte{0});
    tables.Node_Guard_Count = 0;
}

void Read_ParGen_CANopen(TDeviceImage& image, const TParGenImage* pg) {
    const int model = image.Model_Code;
    TLeBytes mb = image.Main_Param_Block.Bytes();
    TLeBytes cb = image.CPU2_Param_Block.Bytes();
    Put_Family_Presets(image, 2, 2, mb.GetU16(MB::Application_Port), true);
    if (Guards_Nodes(model)) {
        mb.PutU32(MB::Node_Guard_Address, Node_Guard_Flash);
        cb.PutU32(C2_Node_Guard_Address, CPU2_Node_Guard_Flash);
    }
    if (!pg) return;

    Put_Profinet_Address(image, *pg, true);
    const Word port = Read_Profinet_Port(*pg, CANopen_Default_Port);
    mb.PutU16(MB::User_Port, port);
    cb.PutU16(C2_User_Port, port);
    Put_Station_Name(*pg, mb, MB::Station_Name);
    Put_Station_Name(*pg, cb, C2_Station_Name);
    if (model == 33) {
        // The agent of model 33 needs its versions and user like every SNMP model;
        // its name stays at +80 and its kind 0.
        Read_SNMP_Agent_Settings(*pg, image.Main_Param_Block, nullptr);
        Read_SNMP_Contact_Location(*pg, image.Main_Param_Block, nullptr);
    }
    Put_U32_Both(image, MB::NB_In, C2_NB_In, static_cast<Cardinal>(pg->Number(u"PROFINET_NB_IN", CANopen_Default_Data_Area)));
    Put_U32_Both(image, MB::NB_Out, C2_NB_Out,
                 static_cast<Cardinal>(pg->Number(u"PROFINET_NB_OUT", CANopen_Default_Data_Area)));
    if (model == 8) {
        if (auto a = Read_Enabled_Address(*pg, u"PROFINET_ENABLE_DIAGNOSTIC", u"PROFINET_DIAGNOSTIC_ADDRESS"))
            mb.PutU32(MB::Diagnostic_Address, *a);
        cb.PutU32(C2_Diagnostic_Address, mb.GetU32(MB::Diagnostic_Address));
        if (auto a = Read_Enabled_Address(*pg, u"PROFINET_ENABLE_CANOPEN_CMD", u"PROFINET_CANOPEN_CMD_INDEX"))
            mb.PutU32(MB::Command_Address, *a);
        cb.PutU32(C2_Command_Address, mb.GetU32(MB::Command_Address));
    }
    Put_U32_Both(image, MB::CANopen_Node_ID, C2_CANopen_Node_ID, static_cast<Cardinal>(pg->Number(u"CANopen_IDDev", 1)));
    const Cardinal rate = Read_List_Choice(*pg, u"CANopen_BAUDRATE", CAN_Bus_Rates_9, 5, 250000);
    mb.PutU32(MB::Bus_Baud_Rate, rate);
    cb.PutU32(C2_Bus_Baud_Rate, rate);
    cb.PutU32(C2_Bus_Baud_Rate_2, rate);

    Cardinal flags = 0;
    if (pg->Flag(u"CANopen_Set_Operational")) flags |= 0x01;
    if (pg->Flag(u"CANopen_Network_Start")) flags |= 0x02;
    Put_U32_Both(image, MB::CANopen_Delay_ms, C2_CANopen_Delay_ms, Times_1000(pg->Number(u"CANopen_Delay", 0)));
    Put_U32_Both(image, MB::CANopen_SDO_Timeout, C2_CANopen_SDO_Timeout,
                 static_cast<Cardinal>(pg->Number(u"CANopen_SDO_TimeOut", 10000)));
    if (pg->Flag(u"CANopen_Sync_Enable")) flags |= 0x04;
    Put_U32_Both(image, MB::CANopen_Sync_Time, C2_CANopen_Sync_Time, Times_1000(pg->Number(u"CANopen_Sync_Time", 1000)));
    if (model == 8 && pg->Flag(u"CANopen_Enable_Restart")) flags |= 0x08;
    if (model == 8 && pg->Flag(u"CANopen_Enable_Reset_Data")) flags |= 0x10;
    if (pg->Flag(u"CANopen_Triggered_SDO_Enable")) flags |= 0x20;
    Put_U32_Both(image, MB::Triggered_SDO_Input_Address, C2_Triggered_SDO_Input_Address,
                 static_cast<Cardinal>(pg->Number(u"CANopen_Triggered_SDO_Address_Input", 0)));
    Put_U32_Both(image, MB::Triggered_SDO_Output_Address, C2_Triggered_SDO_Output_Address,
                 static_cast<Cardinal>(pg->Number(u"CANopen_Triggered_SDO_Address_Output", 0)));
    if (model == 8) {
        const Cardinal heartbeat = static_cast<Cardinal>(pg->Number(u"CANopen_HeartBeat_Time", 1000));
        mb.PutU16(MB::Heartbeat_Time, heartbeat);
        cb.PutU16(C2_Heartbeat_Time, heartbeat);
    }
    Put_U32_Both(image, MB::CANopen_Flags, C2_CANopen_Flags, flags);
}

void Read_CANopen_Tables(TDeviceImage& image, const TImageSources& sources, TCANopen_Tables& tables) {
    if (std::optional<TTableFile> server = TTableFile::Load(sources.Path_SDO_Server_CANopen)) {
        Read_SDO_Table(*server, u"SDO_Read", Server_Read, false, 0, false, tables);
        Read_SDO_Table(*server, u"SDO_Write", Server_Write, false, 1, false, tables);
    }
    if (std::optional<TTableFile> client = TTableFile::Load(sources.Path_SDO_Client_CANopen)) {
        Read_SDO_Table(*client, u"SDO_Read", Client_Read, true, 0, false, tables);
        Read_SDO_Table(*client, u"SDO_Write", Client_Write, true, 1, true, tables);
    }
    if (std::optional<TTableFile> pdo = TTableFile::Load(sources.Path_PDO_CANopen)) {
        Read_PDO_Table(*pdo, u"Receive_PDO", Receive_PDO, u"TimeOut", false, tables);
        Read_PDO_Table(*pdo, u"Transmit_PDO", Transmit_PDO, u"Send_Time", true, tables);
    }
    for (std::size_t t = 0; t < 6; ++t)
        Put_U32_Both(image, MB::CANopen_Counts + 4 * t, C2_CANopen_Counts + 4 * t, tables.Counts[t]);

    if (!Guards_Nodes(image.Model_Code)) return;
    Read_Node_Guard(sources.Path_NodeGuard, tables);
    Put_U32_Both(image, MB::Node_Guard_Count, C2_Node_Guard_Count, tables.Node_Guard_Count);
    Read_Restart_Bits(image, sources.Path_ReStart_CANopen);
}

std::size_t Save_CANopen_Tables(const TCANopen_Tables& tables, std::size_t pos, TLeBytes dst) {
    dst.PutBytes(pos, tables.Items.data(), CANopen_Tables_Size);
    return pos + CANopen_Tables_Size;
}

std::size_t Save_Node_Guard_Table(const TCANopen_Tables& tables, std::size_t pos, TLeBytes dst) {
    dst.PutBytes(pos, tables.Node_Guard.data(), Node_Guard_Section_Size);
    return pos + Node_Guard_Section_Size;
}

void Build_Image_CANopen(TDeviceImage& image, const TImageSources& sources) {
    const int model = image.Model_Code;
    Init_Main_Param_Block(image.Main_Param_Block);
    Init_CPU2_Param_Block(image.CPU2_Param_Block);
    TCANopen_Tables tables;
    Clear_CANopen_Tables(tables);
    if (model == 33) Clear_SNMP_Trap_Tables(image.SNMP_Trap);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_CANopen(image, pg ? &*pg : nullptr);
    Read_CANopen_Tables(image, sources, tables);
    TLeBytes mb = image.Main_Param_Block.Bytes();
    if (model == 33) {
        Read_SNMP_Trap(model, sources.Path_SNMP_Trap, image.SNMP_Trap, image.Main_Param_Block, nullptr);
        for (std::size_t t = 0; t < 6; ++t) mb.PutU32(MB::CANopen_Table_Addresses + 4 * t, Item_Tables[t].Flash_33);
    }

    TLeBytes a = image.Bank_Image_A.Bytes();
    std::size_t lenA = Save_Main_Param_Block(image.Main_Param_Block, 0, a);
    if (Guards_Nodes(model)) lenA = Save_Node_Guard_Table(tables, lenA, a);
    if (model == 33) lenA = Save_SNMP_Trap_Tables(image.SNMP_Trap, lenA, a);
    image.Bank_Image_A.Len = lenA;
    image.Bank_Image_B.Len = Save_CANopen_Tables(tables, 0, image.Bank_Image_B.Bytes());

    if (model == 8) {
        TLeBytes cb = image.CPU2_Param_Block.Bytes();
        for (std::size_t t = 0; t < 6; ++t) cb.PutU32(C2_CANopen_Table_Addresses + 4 * t, Item_Tables[t].Flash_8);
        image.Bank_Image_C.Len = Save_CPU2_Param_Block(image.CPU2_Param_Block, 0, image.Bank_Image_C.Bytes());
        TLeBytes d = image.Bank_Image_D.Bytes();
        image.Bank_Image_D.Len = Save_Node_Guard_Table(tables, Save_CANopen_Tables(tables, 0, d), d);
    }
}
