#pragma once
// Images of the DMX models: a parameter block of their own, then the start
// values of the 512 DMX channels.
//
//  22: Bank_Image_A = DMX_Param_Block (2048 bytes), then the channels ("bank.bin", 2560 bytes).
//  29: Bank_Image_A = DMX_Param_Block ("bank1.bin"), Bank_Image_B = the channels ("bank2.bin").

#include "image/DeviceImage.h"
#include "image/LeWriter.h"
#include "image/ParGenImage.h"

#include <array>
#include <cstddef>

// Member offsets of DMX_Param_Block (widths in the comments). +400..+443
// are the second-processor block's serial port settings.
enum : std::size_t {
    DX_Bus_Baud_Rate = 0,         // u32
    DX_Serial_Baud_Rate = 12,     // u32
    DX_Serial_Data_Bits = 16,     // u16
    DX_IP_Address = 40,           // 4 bytes, first dotted number first
    DX_Subnet_Mask = 44,          // 4 bytes
    DX_Gateway = 48,              // 4 bytes
    DX_Application_Port = 52,     // u16
    DX_Aux_Port_1 = 54,           // u16
    DX_Aux_Port_2 = 56,           // u16
    DX_Serial2_Baud_Rate = 60,    // u32
    DX_Serial2_Data_Bits = 64,    // u16
    DX_Station_Name = 80,         // 16 bytes
    DX_Device_Variant = 96,       // 4 bytes
    DX_User_Port = 104,           // u16
    DX_NB_In = 116,               // u32
    DX_NB_Out = 120,              // u32
    DX_Port_Baud_Rates = 400,     // 6 x u32
    DX_Port_Parities = 424,       // 6 x u8
    DX_Port_Stop_Bits = 430,      // 6 x u8
    DX_Port_Data_Bits = 436,      // 8 x u8
    DX_Fixed_460 = 460,           // u16, a fixed value the converter expects
    DX_Ports = 468,               // 3 x u16
    DX_Out_Channels = 476,        // u16, the output size when the converter sends DMX
    DX_In_Channels = 478,         // u16, the input size when it receives DMX
    DX_Channels_Address = 480,    // u32, flash address of the channel defaults
    DX_Tail_Array = 492,          // 128 bytes, zero in every image
    DX_Tail_Word = 620,           // u32, zero in every image
};

constexpr int DMX_Channels = 512;

class TDMX_Param_Block {
public:
    static constexpr std::size_t Member_Size = 624;
    static constexpr std::size_t Parameter_Size = 492;

    TLeBytes Bytes() { return TLeBytes(record_.data(), record_.size(), "DMX_Param_Block"); }
    const Byte* Data() const { return record_.data(); }

private:
    std::array<Byte, Member_Size> record_{};
};

using TDMX_Channel_Defaults = std::array<Byte, DMX_Channels>;  // byte 0 is channel 1

void Init_DMX_Param_Block(TDMX_Param_Block& block);
void Read_ParGen_DMX(TDMX_Param_Block& block, const TParGenImage* pg);
// "Default_Value" of the first 512 rows of the file at path, the low 8 bits
// of the number, 0 when missing or no number; further rows are not read.
// No file leaves every channel 0.
void Read_DMX_Default_Values(const String& path, TDMX_Channel_Defaults& channels);
// The 2048-byte image of the block at dst[pos] (byte sum of 0..2043 in
// 2044..2047); returns pos + 2048.
std::size_t Save_DMX_Param_Block(const TDMX_Param_Block& block, std::size_t pos, TLeBytes dst);
std::size_t Save_DMX_Channels(const TDMX_Channel_Defaults& channels, std::size_t pos, TLeBytes dst);

void Build_Image_DMX(TDeviceImage& image, const TImageSources& sources);
