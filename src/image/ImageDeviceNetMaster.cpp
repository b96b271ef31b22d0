#include "image/ImageDeviceNetMaster.h"

#include "framework/SysUtils.h"
#include "image/TableFile.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <array>
#include <vector>

namespace {

constexpr std::size_t Max_Slaves = 64;
constexpr std::size_t Max_Mapped_Bytes = 1536;  // per direction
constexpr std::size_t Node_Record_Size = 16, Map_Entry_Size = 4;
// The key holds the slave address above 10 bits of byte number.
constexpr int Max_Slave_Address = 63, Key_Bytes_Per_Slave = 1024;

// Image layout of the bank.
constexpr std::size_t Nodes_At = 0, Input_Map_At = 2048, Output_Map_At = 8192, Main_Block_At = 14336;
// Flash addresses of the sections for the bank laid down at 0x64800.
constexpr Cardinal Nodes_Address = 0x64800, Input_Map_Address = 0x65000, Output_Map_Address = 0x66800;

// "DNETM_BAUDRATE": 125K, 250K, 500K; any other value 500K.
constexpr Cardinal Master_Baud_Rates[] = {125000, 250000, 500000};
constexpr int Default_Baud_Index = 2;

struct TNode_Record {
    Byte Address = 0;
    Word Input_Size = 0, Output_Size = 0;
    Word Reset_Flags = 0;
    Word Input_Start = 0, Output_Start = 0;
};

struct TMap_Entry {
    Word Key, Offset;
};

struct TDeviceNet_Tables {
    std::vector<TNode_Record> Nodes;
    std::vector<TMap_Entry> Input_Map, Output_Map;
};

void Read_DNETM_Net(const String& path, TDeviceNet_Tables& t) {
    std::optional<TTableFile> file = TTableFile::Load(path);
    if (!file) return;
    TTable slaves = file->Root_Rows();
    Word inputStart = 0, outputStart = 0;
    for (int i = 0; i < slaves.Count(); ++i) {
        file->Check_Capacity(t.Nodes.size(), Max_Slaves, Lang_Table[1133]);
        TTableRow row = slaves.Row(i);
        const int id = row.Number(u"ID");
        // A larger address would file its bytes under another slave's key.
        if (id < 0 || id > Max_Slave_Address)
            row.Fail(Lang_Message(1139, {IntToStr(id)}));
        TNode_Record n;
        n.Address = static_cast<Byte>(id);
        n.Input_Size = static_cast<Word>(row.Number(u"NB_IN"));
        n.Output_Size = static_cast<Word>(row.Number(u"NB_OUT"));
        if (row.Flag(u"Reset_DeviceNet", TFlagFold::Trim_Upper)) n.Reset_Flags |= 0x01;
        if (row.Flag(u"Reset_PROFINET", TFlagFold::Trim_Upper)) n.Reset_Flags |= 0x02;
        n.Input_Start = inputStart;
        n.Output_Start = outputStart;
        inputStart = static_cast<Word>(inputStart + n.Input_Size);
        outputStart = static_cast<Word>(outputStart + n.Output_Size);
        t.Nodes.push_back(n);
    }
}

// The mapped bytes of one slave's "ByteIN" or "ByteOUT": rows past the
// slave's size are not its bytes; an empty, negative or non-numeric offset
// maps nothing.
void Read_Byte_Map(const TTableFile& file, const TTableRow& node, const char16_t* name, const TNode_Record& n, Word size,
                   std::vector<TMap_Entry>& map, const String& what) {
    TTable bytes = node.Table(name);
    for (int k = 0; k < bytes.Count() && k < size; ++k) {
        TTableRow row = bytes.Row(k);
        const int offset = row.Number(u"Offset", -1);
        if (offset < 0) continue;
        if (k >= Key_Bytes_Per_Slave)
            row.Fail(Lang_Message(1140, {IntToStr(k)}));
        file.Check_Capacity(map.size(), Max_Mapped_Bytes, what);
        map.push_back({static_cast<Word>(n.Address * Key_Bytes_Per_Slave + k), static_cast<Word>(offset)});
    }
}

void Read_DNETM_DefOff(const String& path, TDeviceNet_Tables& t) {
    std::optional<TTableFile> file = TTableFile::Load(path);
    if (!file) return;
    TTable nodes = file->Root_Rows();
    // Children beyond the slave list belong to no slave.
    for (int j = 0; j < nodes.Count() && static_cast<std::size_t>(j) < t.Nodes.size(); ++j) {
        TTableRow node = nodes.Row(j);
        const TNode_Record& n = t.Nodes[static_cast<std::size_t>(j)];
        Read_Byte_Map(*file, node, u"ByteIN", n, n.Input_Size, t.Input_Map, Lang_Table[1134]);
        Read_Byte_Map(*file, node, u"ByteOUT", n, n.Output_Size, t.Output_Map, Lang_Table[1135]);
    }
}

// Both files into the tables, and the three counts into the main block.
void Read_DNETM_Files(const TImageSources& sources, TDeviceNet_Tables& t, TMain_Param_Block& main) {
    Read_DNETM_Net(sources.Path_DNETM_Net, t);
    Read_DNETM_DefOff(sources.Path_DNETM_DefOff, t);
    TLeBytes mb = main.Bytes();
    mb.PutU32(MB::DNet_Node_Count, static_cast<Cardinal>(t.Nodes.size()));
    mb.PutU32(MB::DNet_In_Map_Count, static_cast<Cardinal>(t.Input_Map.size()));
    mb.PutU32(MB::DNet_Out_Map_Count, static_cast<Cardinal>(t.Output_Map.size()));
}

void Save_Map(const std::vector<TMap_Entry>& map, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, Max_Mapped_Bytes * Map_Entry_Size, 0xFF);  // unused entries: both words 0xFFFF
    for (const TMap_Entry& e : map) {
        dst.PutU16(pos, e.Key);
        dst.PutU16(pos + 2, e.Offset);
        pos += Map_Entry_Size;
    }
}

// Node records, the zero gap and both maps: the 14336 bytes before the main block.
std::size_t Save_DeviceNet_Master_Tables(const TDeviceNet_Tables& t, TLeBytes dst) {
    dst.Fill(Nodes_At, Input_Map_At, 0);
    std::size_t pos = Nodes_At;
    for (const TNode_Record& n : t.Nodes) {
        dst.PutU8(pos + 0, n.Address);
        dst.PutU16(pos + 4, n.Input_Size);
        dst.PutU16(pos + 6, n.Output_Size);
        dst.PutU16(pos + 10, n.Reset_Flags);
        dst.PutU16(pos + 12, n.Input_Start);
        dst.PutU16(pos + 14, n.Output_Start);
        pos += Node_Record_Size;
    }
    Save_Map(t.Input_Map, Input_Map_At, dst);
    Save_Map(t.Output_Map, Output_Map_At, dst);
    return Main_Block_At;
}

}  // namespace

void Read_ParGen_DeviceNet_Master(TDeviceImage& image, const TParGenImage* pg) {
    TLeBytes mb = image.Main_Param_Block.Bytes();
    mb.PutU16(MB::Function_Flags, 0);
    mb.Fill(MB::Device_Variant, 4, 0);  // +96..+99
    mb.PutU32(MB::DNet_Section_Addresses + 0, Input_Map_Address);
    mb.PutU32(MB::DNet_Section_Addresses + 4, Output_Map_Address);
    mb.PutU32(MB::DNet_Section_Addresses + 8, Nodes_Address);
    mb.PutU16(MB::Application_Port, 5000);
    if (!pg) return;

    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, Read_Address_Set(*pg, u"PROFINET_"));
    Put_Station_Name(*pg, mb, MB::Station_Name);
    mb.PutU32(MB::NB_In, pg->Number(u"PROFINET_NB_IN", 1438));
    mb.PutU32(MB::NB_Out, pg->Number(u"PROFINET_NB_OUT", 1438));
    if (auto diagnostic = Read_Enabled_Address(*pg, u"PROFINET_ENABLE_DIAGNOSTIC", u"PROFINET_DIAGNOSTIC_ADDRESS"))
        mb.PutU32(MB::Diagnostic_Address, *diagnostic);
    mb.PutU8(MB::DNet_Master_ID, pg->Number(u"DNETM_ID_DEV", 0));
    mb.PutU32(MB::Bus_Baud_Rate,
              Read_List_Choice(*pg, u"DNETM_BAUDRATE", Master_Baud_Rates, Default_Baud_Index, Master_Baud_Rates[2]));
}

void Build_Image_DeviceNet_Master(TDeviceImage& image, const TImageSources& sources) {
    Init_Main_Param_Block(image.Main_Param_Block);
    TDeviceNet_Tables tables;  // this build's alone
    Read_DNETM_Files(sources, tables, image.Main_Param_Block);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_DeviceNet_Master(image, pg ? &*pg : nullptr);

    TLeBytes a = image.Bank_Image_A.Bytes();
    std::size_t pos = Save_DeviceNet_Master_Tables(tables, a);
    image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, pos, a);
}
