#pragma once
// Images of the plain Ethernet model 31 and the plain serial model 9.
//
//  31: Bank_Image_A = Ethernet_Param_Block, a 2048-byte block of its own
//      whose members sit at the main block's offsets ("bank.bin").
//   9: Bank_Image_A = main block ("bank.bin", 2048 bytes), Bank_Image_C =
//      second-processor block ("bank_K64.bin").

#include "image/DeviceImage.h"
#include "image/LeWriter.h"
#include "image/ParGenImage.h"

#include <array>
#include <cstddef>

// Member offsets of Ethernet_Param_Block (widths in the comments); they are
// the main block's offsets of the same members.
enum : std::size_t {
    EB_Bus_Baud_Rate = 0,       // u32
    EB_Serial_Baud_Rate = 12,   // u32
    EB_IP_Address = 40,         // 4 bytes, the PROFINET side
    EB_Subnet_Mask = 44,        // 4 bytes
    EB_Gateway = 48,            // 4 bytes
    EB_Application_Port = 52,   // u16
    EB_TCP_Port = 54,           // u16, the Ethernet side's TCP port
    EB_Aux_Port_2 = 56,         // u16
    EB_Serial2_Baud_Rate = 60,  // u32
    EB_Station_Name = 80,       // 16 bytes
    EB_UDP_Port = 104,          // u16, the Ethernet side's UDP port
    EB_NB_In = 116,             // u32
    EB_NB_Out = 120,            // u32
    EB_IP_Address_2 = 304,      // 4 bytes, the Ethernet side
    EB_Subnet_Mask_2 = 308,     // 4 bytes
    EB_Gateway_2 = 312,         // 4 bytes
    EB_Block_Checksum = Block_Checksum_Offset,  // u32, set by the serialiser
};

class TEthernet_Param_Block {
public:
    TLeBytes Bytes() { return TLeBytes(record_.data(), record_.size(), "Ethernet_Param_Block"); }
    const Byte* Data() const { return record_.data(); }

private:
    friend std::size_t Save_Ethernet_Param_Block(TEthernet_Param_Block&, std::size_t, TLeBytes);
    std::array<Byte, Param_Block_Size> record_{};
};

// +0 250000, +12 9600, +40 192.168.2.205, +44 255.255.255.0,
// +48 255.255.255.255, +52 5000, +54 and +56 10001, +60 9600, the rest 0.
void Init_Ethernet_Param_Block(TEthernet_Param_Block& block);
void Read_ParGen_Ethernet(TEthernet_Param_Block& block, const TParGenImage* pg);
// Stores the byte sum of bytes 0..2043 at +2044, copies the 2048 bytes to
// dst[pos] and returns pos + 2048.
std::size_t Save_Ethernet_Param_Block(TEthernet_Param_Block& block, std::size_t pos, TLeBytes dst);
void Build_Image_Ethernet(TDeviceImage& image, const TImageSources& sources);

void Read_ParGen_Serial(TDeviceImage& image, const TParGenImage* pg);
void Build_Image_Serial(TDeviceImage& image, const TImageSources& sources);
