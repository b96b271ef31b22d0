#pragma once
// Images of the PROFIBUS slave models. Model 3 carries a parameter block of
// its own, laid as one 2048-byte block into Profibus_Block_Image
// ("bank.bin"); model 23 uses the main parameter block in Bank_Image_A
// ("bank.bin", 2048 bytes).

#include "image/DeviceImage.h"
#include "image/LeWriter.h"
#include "image/ParGenImage.h"

#include <array>
#include <cstddef>

// Member offsets of Profibus_Param_Block (widths in the comments).
enum : std::size_t {
    PB_Bus_Baud_Rate = 0,      // u32
    PB_Bus_Baud_Rate_2 = 4,    // u32
    PB_Serial_Baud_Rate = 8,   // u32
    PB_IP_Address = 40,        // 4 bytes, first dotted number first
    PB_Subnet_Mask = 44,       // 4 bytes
    PB_Gateway = 48,           // 4 bytes
    PB_Application_Port = 52,  // u16
    PB_Aux_Port_1 = 54,        // u16
    PB_Aux_Port_2 = 56,        // u16
    PB_Address = 58,           // u8, the PROFIBUS station address
    PB_Fixed_59 = 59,          // u8, a fixed value the converter expects
    PB_Serial2_Baud_Rate = 60, // u32
    PB_Fixed_64 = 64,          // u32, a fixed value the converter expects
    PB_Option_Flags = 80,      // u32
    PB_Station_Name = 344,     // 16 bytes
    PB_NB_In = 368,            // u32
    PB_NB_Out = 372,           // u32
};

// Option_Flags bit: the converter clears its data when the master stops.
constexpr Cardinal PB_Flag_Reset_Data = 0x40;

class TProfibus_Param_Block {
public:
    // The record: 376 bytes of parameters and 1312 reserved bytes, which the
    // image places behind a run of 356 zero bytes (image bytes 732..2043).
    static constexpr std::size_t Member_Size = 1688;
    static constexpr std::size_t Head_Size = 376;

    TLeBytes Bytes() { return TLeBytes(record_.data(), record_.size(), "Profibus_Param_Block"); }
    const Byte* Data() const { return record_.data(); }

private:
    std::array<Byte, Member_Size> record_{};
};

// +0 and +4 125000, +8 9600, +52 10000, +54 and +56 10001, +59 192,
// +60 9600, +64 2, +80 0x20, everything else 0.
void Init_Profibus_Param_Block(TProfibus_Param_Block& block);
void Read_ParGen_Profibus_Block(TProfibus_Param_Block& block, const TParGenImage* pg);
// The 2048-byte image of the block at dst[0] (byte sum of 0..2043 in 2044..2047).
void Save_Profibus_Param_Block(const TProfibus_Param_Block& block, TLeBytes dst);

void Read_ParGen_Profibus_Slave(TMain_Param_Block& block, const TParGenImage* pg);

void Build_Image_Profibus_Block(TDeviceImage& image, const TImageSources& sources);  // model 3
void Build_Image_Profibus_Slave(TDeviceImage& image, const TImageSources& sources);  // model 23
