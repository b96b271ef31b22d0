#include "image/ImageDMX.h"

#include "image/TableFile.h"

namespace {

// Where the converter finds the channel defaults: behind the block at 0x68000.
constexpr Cardinal Channels_Flash_Address = 0x68800;
constexpr int DMX_Type_Default = 1;  // the converter receives DMX
constexpr int In_Default = 512, Out_Default = 1;

// Image bytes of the two tail members: they close the block before its sum.
constexpr std::size_t Tail_Array_At = 1912, Tail_Array_Size = 128, Tail_Word_At = 2040;

}  // namespace

void Init_DMX_Param_Block(TDMX_Param_Block& block) {
    static const Byte defaultAddress[] = {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255};
    TLeBytes b = block.Bytes();
    b.Fill(0, b.Size(), 0);
    b.PutU32(DX_Bus_Baud_Rate, 125000);
    b.PutU32(DX_Serial_Baud_Rate, 9600);
    b.PutU16(DX_Serial_Data_Bits, 8);
    b.PutBytes(DX_IP_Address, defaultAddress, sizeof defaultAddress);
    b.PutU16(DX_Application_Port, 10000);
    b.PutU16(DX_Aux_Port_1, 10001);
    b.PutU16(DX_Aux_Port_2, 10001);
    b.PutU32(DX_Serial2_Baud_Rate, 9600);
    b.PutU16(DX_Serial2_Data_Bits, 8);
    b.PutU32(DX_Port_Baud_Rates + 4, 38400);
    b.PutU8(DX_Port_Stop_Bits + 1, 1);
    b.Fill(DX_Port_Data_Bits, 8, 8);
    b.PutU16(DX_Fixed_460, 3671);
    b.PutU16(DX_Ports, 50000);
    b.PutU16(DX_Ports + 2, 50001);
    b.PutU16(DX_Ports + 4, 50002);
}

void Read_ParGen_DMX(TDMX_Param_Block& block, const TParGenImage* pg) {
    TLeBytes b = block.Bytes();
    b.Fill(DX_Device_Variant, 4, 0);
    b.PutU16(DX_Application_Port, 5000);
    b.Fill(DX_Ports, 6, 0);
    b.PutU32(DX_Channels_Address, Channels_Flash_Address);
    if (!pg) return;

    Put_Address_Set(b, DX_IP_Address, DX_Subnet_Mask, DX_Gateway, Read_Address_Set(*pg, u"PROFINET_"));
    b.PutU16(DX_User_Port, 0);
    Put_Station_Name(*pg, b, DX_Station_Name);
    // Only the side that carries the DMX channels has a size; the other keeps one byte.
    if (pg->Number(u"DMX_TYPE", DMX_Type_Default) != 0) {
        b.PutU32(DX_NB_In, static_cast<Cardinal>(pg->Number(u"PROFINET_NB_IN", In_Default)));
        b.PutU16(DX_In_Channels, b.GetU32(DX_NB_In));
        b.PutU32(DX_NB_Out, 1);
    } else {
        b.PutU32(DX_NB_Out, static_cast<Cardinal>(pg->Number(u"PROFINET_NB_OUT", Out_Default)));
        b.PutU16(DX_Out_Channels, b.GetU32(DX_NB_Out));
        b.PutU32(DX_NB_In, 1);
    }
}

void Read_DMX_Default_Values(const String& path, TDMX_Channel_Defaults& channels) {
    std::optional<TTableFile> file = TTableFile::Load(path);
    if (!file) return;
    TTable rows = file->Root_Rows();
    int n = std::min(rows.Count(), DMX_Channels);  // the editor's further rows have no channel
    for (int i = 0; i < n; ++i)
        channels[static_cast<std::size_t>(i)] = static_cast<Byte>(rows.Row(i).Number(u"Default_Value", 0));
}

std::size_t Save_DMX_Param_Block(const TDMX_Param_Block& block, std::size_t pos, TLeBytes dst) {
    dst.Fill(pos, Param_Block_Size, 0);
    dst.PutBytes(pos, block.Data(), TDMX_Param_Block::Parameter_Size);
    dst.PutBytes(pos + Tail_Array_At, block.Data() + DX_Tail_Array, Tail_Array_Size);
    dst.PutBytes(pos + Tail_Word_At, block.Data() + DX_Tail_Word, 4);
    dst.PutU32(pos + Block_Checksum_Offset, Byte_Sum(dst.Data() + pos, Block_Checksum_Offset));
    return pos + Param_Block_Size;
}

std::size_t Save_DMX_Channels(const TDMX_Channel_Defaults& channels, std::size_t pos, TLeBytes dst) {
    dst.PutBytes(pos, channels.data(), channels.size());
    return pos + channels.size();
}

void Build_Image_DMX(TDeviceImage& image, const TImageSources& sources) {
    TDMX_Param_Block block;
    TDMX_Channel_Defaults channels{};
    Init_DMX_Param_Block(block);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_DMX(block, pg ? &*pg : nullptr);
    Read_DMX_Default_Values(sources.Path_DMX_Default_Values, channels);

    TLeBytes a = image.Bank_Image_A.Bytes();
    std::size_t end = Save_DMX_Param_Block(block, 0, a);
    if (image.Model_Code == 29) {
        image.Bank_Image_A.Len = end;
        image.Bank_Image_B.Len = Save_DMX_Channels(channels, 0, image.Bank_Image_B.Bytes());
    } else {
        image.Bank_Image_A.Len = Save_DMX_Channels(channels, end, a);
    }
}
