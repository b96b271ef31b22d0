#include "image/ImageProfibus.h"

namespace {

// Model 23's PROFIBUS address and data areas when "ParGen.xml" lacks them.
constexpr int Slave_Default_Address = 10;
constexpr int Slave_Default_Area = 244;

}  // namespace

void Init_Profibus_Param_Block(TProfibus_Param_Block& block) {
    TLeBytes b = block.Bytes();
    b.Fill(0, b.Size(), 0);
    b.PutU32(PB_Bus_Baud_Rate, 125000);
    b.PutU32(PB_Bus_Baud_Rate_2, 125000);
    b.PutU32(PB_Serial_Baud_Rate, 9600);
    b.PutU16(PB_Application_Port, 10000);
    b.PutU16(PB_Aux_Port_1, 10001);
    b.PutU16(PB_Aux_Port_2, 10001);
    b.PutU8(PB_Fixed_59, 192);
    b.PutU32(PB_Serial2_Baud_Rate, 9600);
    b.PutU32(PB_Fixed_64, 2);
    b.PutU32(PB_Option_Flags, 0x20);
}

void Read_ParGen_Profibus_Block(TProfibus_Param_Block& block, const TParGenImage* pg) {
    if (!pg) return;
    TLeBytes b = block.Bytes();
    Put_Address_Set(b, PB_IP_Address, PB_Subnet_Mask, PB_Gateway, Read_Address_Set(*pg, u"PROFINET_"));
    Put_Station_Name(*pg, b, PB_Station_Name);
    b.PutU8(PB_Address, static_cast<Cardinal>(pg->Number(u"PROFIBUS_SLAVE_ID_DEV", 0)));
    b.PutU32(PB_NB_In, static_cast<Cardinal>(pg->Number(u"PROFIBUS_SLAVE_NB_IN", 0)));
    b.PutU32(PB_NB_Out, static_cast<Cardinal>(pg->Number(u"PROFIBUS_SLAVE_NB_OUT", 0)));
    if (pg->Flag(u"PROFIBUS_SLAVE_RESET_DATA")) b.PutU32(PB_Option_Flags, b.GetU32(PB_Option_Flags) | PB_Flag_Reset_Data);
}

void Save_Profibus_Param_Block(const TProfibus_Param_Block& block, TLeBytes dst) {
    constexpr std::size_t Tail_At = 732;  // where the reserved members lie in the image
    constexpr std::size_t Tail_Size = TProfibus_Param_Block::Member_Size - TProfibus_Param_Block::Head_Size;
    dst.Fill(0, Param_Block_Size, 0);
    dst.PutBytes(0, block.Data(), TProfibus_Param_Block::Head_Size);
    dst.PutBytes(Tail_At, block.Data() + TProfibus_Param_Block::Head_Size, Tail_Size);
    dst.PutU32(Block_Checksum_Offset, Byte_Sum(dst.Data(), Block_Checksum_Offset));
}

void Read_ParGen_Profibus_Slave(TMain_Param_Block& block, const TParGenImage* pg) {
    TLeBytes mb = block.Bytes();
    mb.PutU16(MB::Application_Port, 10000);
    if (!pg) return;
    Put_Address_Set(mb, MB::IP_Address, MB::Subnet_Mask, MB::Gateway, Read_Address_Set(*pg, u"PROFINET_"));
    mb.PutU16(MB::User_Port, 0);
    Put_Station_Name(*pg, mb, MB::Station_Name);
    mb.PutU8(MB::Profibus_Address, static_cast<Cardinal>(pg->Number(u"PROFIBUS_SLAVE_ID_DEV", Slave_Default_Address)));
    // The PROFINET side sees the PROFIBUS data areas the other way round.
    mb.PutU32(MB::NB_Out, static_cast<Cardinal>(pg->Number(u"PROFIBUS_SLAVE_NB_IN", Slave_Default_Area)));
    mb.PutU32(MB::NB_In, static_cast<Cardinal>(pg->Number(u"PROFIBUS_SLAVE_NB_OUT", Slave_Default_Area)));
}

void Build_Image_Profibus_Block(TDeviceImage& image, const TImageSources& sources) {
    TProfibus_Param_Block block;
    Init_Profibus_Param_Block(block);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Profibus_Block(block, pg ? &*pg : nullptr);
    Save_Profibus_Param_Block(block, image.Profibus_Block_Image.Bytes());
    image.Profibus_Block_Image.Len = Param_Block_Size;
}

void Build_Image_Profibus_Slave(TDeviceImage& image, const TImageSources& sources) {
    Init_Main_Param_Block(image.Main_Param_Block);
    std::optional<TParGenImage> pg = TParGenImage::Load(sources.Path_ParGen);
    Read_ParGen_Profibus_Slave(image.Main_Param_Block, pg ? &*pg : nullptr);
    image.Bank_Image_A.Len = Save_Main_Param_Block(image.Main_Param_Block, 0, image.Bank_Image_A.Bytes());
}
